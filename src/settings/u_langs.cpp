#include "settings/u_langs.h"

#include <filesystem>
#include <fstream>

#include "common/u_common.h"

TLangFile LangFile;

size_t TFoldHash::operator()(std::wstring_view text) const noexcept {
  // FNV-1a over the folded characters: equal up to case means equal hash.
  uint64_t hash = 14695981039346656037ull;
  for (wchar_t c : text) {
    hash ^= static_cast<uint32_t>(LowerChar(c));
    hash *= 1099511628211ull;
  }
  return static_cast<size_t>(hash);
}

bool TFoldEqual::operator()(std::wstring_view a, std::wstring_view b) const noexcept {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i] && LowerChar(a[i]) != LowerChar(b[i])) return false;
  }
  return true;
}

bool ParseLangKey(std::wstring_view key, uint16_t& index) {
  if (key.empty() || key.size() > 5) return false;
  if (key[0] == L'0' && key.size() > 1) return false;  // "05" is not the key of 5
  uint32_t value = 0;
  for (wchar_t c : key) {
    if (c < L'0' || c > L'9') return false;
    value = value * 10 + uint32_t(c - L'0');
  }
  if (value > 0xFFFF) return false;
  index = static_cast<uint16_t>(value);
  return true;
}

namespace {

// TrimText's rule (blanks and controls up to U+0020) on a view, without copies.
std::wstring_view Trimmed(std::wstring_view text) {
  while (!text.empty() && static_cast<uint32_t>(text.front()) <= 0x20) text.remove_prefix(1);
  while (!text.empty() && static_cast<uint32_t>(text.back()) <= 0x20) text.remove_suffix(1);
  return text;
}

void AppendCodePoint(std::wstring& out, uint32_t c) {
  if constexpr (sizeof(wchar_t) == 2) {
    if (c >= 0x10000) {
      c -= 0x10000;
      out.push_back(static_cast<wchar_t>(0xD800 + (c >> 10)));
      out.push_back(static_cast<wchar_t>(0xDC00 + (c & 0x3FF)));
      return;
    }
  }
  out.push_back(static_cast<wchar_t>(c));
}

// Strict UTF-8: overlong forms, surrogates and values above U+10FFFF are
// malformed; each malformed sequence (its longest valid start) becomes one
// U+FFFD, as the usual decoders do.
std::wstring Utf8ToText(std::string_view bytes) {
  std::wstring out;
  out.reserve(bytes.size());
  const size_t n = bytes.size();
  size_t i = 0;
  while (i < n) {
    const uint8_t b = static_cast<uint8_t>(bytes[i]);
    if (b < 0x80) {
      out.push_back(static_cast<wchar_t>(b));
      ++i;
      continue;
    }
    size_t length = 0;
    uint32_t c = 0;
    uint8_t low = 0x80, high = 0xBF;  // allowed range of the second byte
    if (b >= 0xC2 && b <= 0xDF) {
      length = 2;
      c = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
      length = 3;
      c = b & 0x0F;
      if (b == 0xE0) low = 0xA0;   // overlong
      if (b == 0xED) high = 0x9F;  // surrogates
    } else if (b >= 0xF0 && b <= 0xF4) {
      length = 4;
      c = b & 0x07;
      if (b == 0xF0) low = 0x90;   // overlong
      if (b == 0xF4) high = 0x8F;  // above U+10FFFF
    } else {
      out.push_back(L'\xFFFD');
      ++i;
      continue;
    }
    size_t taken = 1;
    while (taken < length && i + taken < n) {
      const uint8_t next = static_cast<uint8_t>(bytes[i + taken]);
      if (next < low || next > high) break;
      c = (c << 6) | (next & 0x3F);
      low = 0x80;
      high = 0xBF;
      ++taken;
    }
    if (taken < length) {
      out.push_back(L'\xFFFD');
    } else {
      AppendCodePoint(out, c);
    }
    i += taken;
  }
  return out;
}

std::wstring Utf16ToTextOf(std::string_view bytes, bool bigEndian) {
  std::u16string units;
  units.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const uint8_t first = static_cast<uint8_t>(bytes[i]);
    const uint8_t second = static_cast<uint8_t>(bytes[i + 1]);
    units.push_back(bigEndian ? char16_t((first << 8) | second) : char16_t((second << 8) | first));
  }
  return Utf16ToText(units.c_str(), units.size());  // ends at the first NUL
}

bool StartsWith(std::string_view bytes, std::string_view mark) {
  return bytes.substr(0, mark.size()) == mark;
}

std::string_view UpToNul(std::string_view bytes) {
  return bytes.substr(0, bytes.find('\0'));
}

// The path of a file as the platform names it: UTF-16 on Windows, UTF-8
// bytes elsewhere (never the C library's locale, which may not hold the name).
std::filesystem::path PathOf(const std::wstring& name) {
  if constexpr (sizeof(wchar_t) == 2) {
    return std::filesystem::path(name);
  } else {
    std::u8string bytes;
    for (wchar_t c : name) {
      const uint32_t cp = static_cast<uint32_t>(c);
      if (cp < 0x80) {
        bytes.push_back(char8_t(cp));
      } else if (cp < 0x800) {
        bytes += {char8_t(0xC0 | (cp >> 6)), char8_t(0x80 | (cp & 0x3F))};
      } else if (cp < 0x10000) {
        bytes += {char8_t(0xE0 | (cp >> 12)), char8_t(0x80 | ((cp >> 6) & 0x3F)),
                  char8_t(0x80 | (cp & 0x3F))};
      } else {
        bytes += {char8_t(0xF0 | (cp >> 18)), char8_t(0x80 | ((cp >> 12) & 0x3F)),
                  char8_t(0x80 | ((cp >> 6) & 0x3F)), char8_t(0x80 | (cp & 0x3F))};
      }
    }
    return std::filesystem::path(bytes);
  }
}

}  // namespace

std::wstring DecodeLangBytes(std::string_view bytes, const TCodePage& codePage) {
  if (StartsWith(bytes, "\xEF\xBB\xBF")) return Utf8ToText(UpToNul(bytes.substr(3)));
  if (StartsWith(bytes, "\xFF\xFE")) return Utf16ToTextOf(bytes.substr(2), false);
  if (StartsWith(bytes, "\xFE\xFF")) return Utf16ToTextOf(bytes.substr(2), true);
  // A zero byte is a NUL in every 8-bit code page, so the text ends there too.
  const std::string_view text = UpToNul(bytes);
  if (text.empty()) return {};
  return codePage.Decode(text);
}

TLangFile TLangFile::Parse(std::wstring_view text) {
  TLangFile file;
  TLangSection* section = nullptr;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find_first_of(L"\r\n", pos);
    if (end == std::wstring_view::npos) end = text.size();
    const std::wstring_view line = Trimmed(text.substr(pos, end - pos));
    // CR LF is one break; a lone CR or LF is one too.
    pos = end;
    if (pos < text.size()) {
      const bool crlf = text[pos] == L'\r' && pos + 1 < text.size() && text[pos + 1] == L'\n';
      pos += crlf ? 2 : 1;
    }

    if (line.empty() || line[0] == L';') continue;
    if (line.size() >= 2 && line.front() == L'[' && line.back() == L']') {
      file.sections_.push_back(
          TLangSection{std::wstring(Trimmed(line.substr(1, line.size() - 2))), {}, {}});
      section = &file.sections_.back();
      continue;
    }
    if (section == nullptr) continue;  // before the first section

    TLangLine entry;
    const size_t equals = line.find(L'=');
    if (equals == std::wstring_view::npos) {
      entry.Key = line;
    } else {
      entry.Key = Trimmed(line.substr(0, equals));
      entry.Value = Trimmed(line.substr(equals + 1));
      entry.HasValue = true;
      uint16_t index;
      if (ParseLangKey(entry.Key, index)) section->Keys[index] = section->Lines.size();
    }
    section->Lines.push_back(std::move(entry));
  }
  // Later sections of the same name win the lookups.
  for (size_t i = 0; i < file.sections_.size(); ++i) {
    file.byName_.insert_or_assign(file.sections_[i].Name, i);
  }
  return file;
}

const std::wstring* TLangFile::Find(std::wstring_view lang, uint16_t index) const {
  const auto section = byName_.find(lang);
  if (section == byName_.end()) return nullptr;
  const TLangSection& s = sections_[section->second];
  const auto key = s.Keys.find(index);
  if (key == s.Keys.end()) return nullptr;
  return &s.Lines[key->second].Value;
}

std::vector<std::wstring> TLangFile::SectionNames() const {
  std::vector<std::wstring> names;
  names.reserve(sections_.size());
  for (const TLangSection& s : sections_) names.push_back(s.Name);
  return names;
}

bool LoadLangFile(const std::wstring& path, const TCodePage& codePage, size_t maxBytes) try {
  LangFile = TLangFile();
  if (path.empty()) return false;
  std::ifstream in(PathOf(path), std::ios::binary);
  if (!in) return false;
  std::string bytes;
  char chunk[65536];
  while (bytes.size() <= maxBytes && in.read(chunk, sizeof chunk).gcount() > 0) {
    bytes.append(chunk, size_t(in.gcount()));
  }
  if (in.bad()) return false;
  const bool cut = bytes.size() > maxBytes;
  if (cut) bytes.resize(maxBytes);

  std::wstring text = DecodeLangBytes(bytes, codePage);
  if (cut) {
    // Keep only complete lines: the last one may have been cut anywhere.
    const size_t lastBreak = text.find_last_of(L"\r\n");
    text.resize(lastBreak == std::wstring::npos ? 0 : lastBreak);
  }
  LangFile = TLangFile::Parse(text);
  return true;
} catch (...) {
  // An unconvertible path or no memory: the tool runs on without texts.
  LangFile = TLangFile();
  return false;
}

void LoadLangBytes(std::string_view bytes, const TCodePage& codePage) {
  LangFile = TLangFile::Parse(DecodeLangBytes(bytes, codePage));
}

void FreeLangFile() {
  LangFile = TLangFile();
}

std::wstring GetLangStr(std::wstring_view lang, uint16_t index) {
  const std::wstring* text = LangFile.Find(lang, index);
  return text != nullptr ? *text : std::wstring();
}

void GetLangSections(std::vector<std::wstring>& list) {
  list = LangFile.SectionNames();
}
