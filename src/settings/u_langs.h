// The language file: every text the tool shows, found by language (a section
// name) and text index (a decimal key), read once at start from
// "PulseryLangs.ini" beside the executable and kept in memory until exit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

constexpr wchar_t LangFileName[] = L"PulseryLangs.ini";

// A real language file is a few dozen kilobytes; anything past this many bytes
// is not read.
constexpr size_t MaxLangFileBytes = size_t(16) << 20;

// What the reader needs of the platform: the system's 8-bit code page, used
// for a file without a byte-order mark.
class TCodePage {
 public:
  virtual ~TCodePage() = default;
  // Decodes bytes (never holding a zero byte) to text.
  virtual std::wstring Decode(std::string_view bytes) const = 0;
};

// Section names compare without regard to case, with the invariant lower-case
// mapping: the same rule that marks the current language in the Language menu.
struct TFoldHash {
  using is_transparent = void;
  size_t operator()(std::wstring_view text) const noexcept;
};
struct TFoldEqual {
  using is_transparent = void;
  bool operator()(std::wstring_view a, std::wstring_view b) const noexcept;
};

// One line of a section: "key=value" (both trimmed), or a line without an
// equals sign, which is kept but never matches a key.
struct TLangLine {
  std::wstring Key;
  std::wstring Value;
  bool HasValue = false;
};

struct TLangSection {
  std::wstring Name;
  std::vector<TLangLine> Lines;
  // Text index -> position in Lines of its last line. Only keys written as
  // canonical decimal (0 to 65535, no sign, no leading zeros) are here.
  std::unordered_map<uint16_t, size_t> Keys;
};

// The whole file in memory: sections in file order, duplicates included, and
// a hash from the section name to the last section of that name.
class TLangFile {
 public:
  // Reads decoded text (see DecodeLangBytes).
  static TLangFile Parse(std::wstring_view text);

  // The value of key `index` in the last section named `lang`; nullptr when
  // the section or the key is missing.
  const std::wstring* Find(std::wstring_view lang, uint16_t index) const;
  std::vector<std::wstring> SectionNames() const;
  const std::vector<TLangSection>& Sections() const { return sections_; }
  bool Empty() const { return sections_.empty(); }

 private:
  std::vector<TLangSection> sections_;
  std::unordered_map<std::wstring, size_t, TFoldHash, TFoldEqual> byName_;
};

// The file's bytes as text, by byte-order mark: UTF-8 (EF BB BF), UTF-16 LE
// (FF FE), UTF-16 BE (FE FF), otherwise the code page. The text ends at the
// first NUL; malformed UTF-8 becomes U+FFFD; a lone trailing byte of UTF-16
// is dropped.
std::wstring DecodeLangBytes(std::string_view bytes, const TCodePage& codePage);

// Canonical decimal key text to index; false for anything else ("05", "+5",
// "65536", "").
bool ParseLangKey(std::wstring_view key, uint16_t& index);

// The process-wide language file.
extern TLangFile LangFile;

// Reads the file at `path` into LangFile: its first maxBytes bytes, then cut
// back to the last complete line. A missing or unreadable file leaves LangFile
// empty; returns whether it was read.
bool LoadLangFile(const std::wstring& path, const TCodePage& codePage,
                  size_t maxBytes = MaxLangFileBytes);
// The same from bytes already in memory.
void LoadLangBytes(std::string_view bytes, const TCodePage& codePage);
void FreeLangFile();

// Text `index` of language `lang`; empty when the file, the section or the key
// is missing. Nothing falls back to another language.
std::wstring GetLangStr(std::wstring_view lang, uint16_t index);

// All section names in file order, duplicates included; empty without a file.
void GetLangSections(std::vector<std::wstring>& list);
