// INI files as the tool reads and writes them.
//
// Reading follows the system's profile-string reader: section and key names
// match without regard to case, the first matching section and key win,
// blanks around a value are dropped and so is one pair of enclosing quotes,
// and at most 2047 UTF-16 units are returned. Files may be UTF-16 (with a
// byte-order mark), UTF-8 (with or without one) or ANSI.
//
// Writing loads the whole file, changes it in memory and writes it back as
// UTF-16 LE with a byte-order mark, CR LF line ends and an empty line after
// each section. Sections and keys keep their places; new keys go to the end
// of their section, new sections to the end of the file; comments and blank
// lines are not kept.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "settings/u_filesys.h"

// Longest value the reader returns, in UTF-16 units.
constexpr size_t IniMaxValue = 2047;

// One line of a section: "Key=Value", or a line without "=" kept as it stood
// (in Key, with HasValue false).
struct TIniLine {
  std::wstring Key;
  std::wstring Value;
  bool HasValue = true;
};

struct TIniSection {
  std::wstring Name;
  std::vector<TIniLine> Lines;
};

class TIniFile {
 public:
  // Any bytes: what cannot be understood is skipped, never an error.
  static TIniFile Parse(std::string_view bytes);
  // UTF-16 LE with byte-order mark, CR LF, an empty line after each section.
  std::string Serialize() const;

  // The value as the profile-string reader returns it; false when the section
  // or key is missing (value then untouched).
  bool FindString(std::wstring_view section, std::wstring_view key, std::wstring& value) const;
  std::wstring ReadString(std::wstring_view section, std::wstring_view key,
                          const std::wstring& def) const;
  // ParseIniInteger of the value; `def` when missing or not a number.
  int32_t ReadInteger(std::wstring_view section, std::wstring_view key, int32_t def) const;
  // Any integer other than 0 is true.
  bool ReadBool(std::wstring_view section, std::wstring_view key, bool def) const;

  // Sets the key in the first section of that name (made at the end if
  // missing): an existing key keeps its place, a new one is appended. Line
  // breaks and NULs in names and values become blanks.
  void WriteString(std::wstring_view section, std::wstring_view key, std::wstring_view value);
  void WriteInteger(std::wstring_view section, std::wstring_view key, int32_t value);
  void WriteBool(std::wstring_view section, std::wstring_view key, bool value);  // "1" / "0"
  // Removes every section of that name.
  void EraseSection(std::wstring_view section);
  bool HasSection(std::wstring_view section) const;

  const std::vector<TIniSection>& Sections() const { return Sections_; }

 private:
  const TIniSection* FindSection(std::wstring_view name) const;
  std::vector<TIniSection> Sections_;
};

// Integer rule of the INI values: with three or more characters and a "0x" or
// "0X" prefix the rest is hexadecimal (up to 32 bits, taken as signed);
// otherwise a signed 32-bit decimal. False for anything else.
bool ParseIniInteger(std::wstring_view text, int32_t& value);
// A signed 64-bit decimal; false for anything else.
bool ParseInt64(std::wstring_view text, int64_t& value);

// Bytes of a file as text: UTF-16 LE/BE by byte-order mark, UTF-8 with a mark
// or when valid, else Windows-1252.
std::wstring DecodeIniText(std::string_view bytes);
// UTF-16 LE with byte-order mark.
std::string EncodeUtf16Le(std::wstring_view text);

// --- Whole files -----------------------------------------------------------

// Missing leaves `ini` empty; Failed means the file exists but could not be
// read, so it must not be overwritten from an empty copy.
TReadResult LoadIniFile(TFileSystem& fs, const std::wstring& path, TIniFile& ini);
// Atomic: on failure the old file is untouched.
bool SaveIniFile(TFileSystem& fs, const std::wstring& path, const TIniFile& ini);

// One value straight from a file (a missing or unreadable file gives `def`).
std::wstring IniReadString(TFileSystem& fs, const std::wstring& path, std::wstring_view section,
                           std::wstring_view key, const std::wstring& def);

using TIniKeys = std::vector<std::pair<std::wstring, std::wstring>>;
// Load, set these keys of one section in order, save. False when the file
// could not be read or written; the old file is then untouched.
bool IniWriteSection(TFileSystem& fs, const std::wstring& path, std::wstring_view section,
                     const TIniKeys& keys);
// Load, remove the section, save (nothing written when there is no such section).
bool IniEraseSection(TFileSystem& fs, const std::wstring& path, std::wstring_view section);
