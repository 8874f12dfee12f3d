#include "settings/u_inifile.h"

#include "common/u_common.h"

namespace {

// --- Text encodings ----------------------------------------------------------

void AppendCodePoint(std::wstring& out, char32_t c) {
  if constexpr (sizeof(wchar_t) == 2) {
    if (c > 0xFFFF) {
      c -= 0x10000;
      out.push_back(static_cast<wchar_t>(0xD800 + (c >> 10)));
      out.push_back(static_cast<wchar_t>(0xDC00 + (c & 0x3FF)));
      return;
    }
  }
  out.push_back(static_cast<wchar_t>(c));
}

std::wstring DecodeUtf16(std::string_view bytes, bool bigEndian) {
  std::wstring out;
  out.reserve(bytes.size() / 2);
  const size_t count = bytes.size() / 2;  // an odd last byte is no character
  auto unit = [&](size_t i) -> char16_t {
    const auto lo = static_cast<unsigned char>(bytes[2 * i + (bigEndian ? 1 : 0)]);
    const auto hi = static_cast<unsigned char>(bytes[2 * i + (bigEndian ? 0 : 1)]);
    return static_cast<char16_t>(lo | (hi << 8));
  };
  for (size_t i = 0; i < count; ++i) {
    char32_t c = unit(i);
    // Where wchar_t holds code points, a surrogate pair becomes one character;
    // a lone surrogate stays as it is, as it would in a 16-bit string.
    if (sizeof(wchar_t) > 2 && c >= 0xD800 && c <= 0xDBFF && i + 1 < count) {
      const char32_t low = unit(i + 1);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    out.push_back(static_cast<wchar_t>(c));
  }
  return out;
}

// Decodes one UTF-8 sequence at bytes[i]; returns its length, 0 when invalid.
size_t DecodeUtf8Char(std::string_view bytes, size_t i, char32_t& c) {
  const auto b0 = static_cast<unsigned char>(bytes[i]);
  if (b0 < 0x80) {
    c = b0;
    return 1;
  }
  size_t length;
  char32_t min;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    length = 2, c = b0 & 0x1F, min = 0x80;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    length = 3, c = b0 & 0x0F, min = 0x800;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    length = 4, c = b0 & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (i + length > bytes.size()) return 0;
  for (size_t k = 1; k < length; ++k) {
    const auto b = static_cast<unsigned char>(bytes[i + k]);
    if ((b & 0xC0) != 0x80) return 0;
    c = (c << 6) | (b & 0x3F);
  }
  if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
  return length;
}

bool IsValidUtf8(std::string_view bytes) {
  char32_t c;
  for (size_t i = 0; i < bytes.size();) {
    const size_t n = DecodeUtf8Char(bytes, i, c);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

std::wstring DecodeUtf8(std::string_view bytes) {
  std::wstring out;
  out.reserve(bytes.size());
  char32_t c;
  for (size_t i = 0; i < bytes.size();) {
    const size_t n = DecodeUtf8Char(bytes, i, c);
    if (n == 0) {
      out.push_back(L'\xFFFD');
      ++i;
    } else {
      AppendCodePoint(out, c);
      i += n;
    }
  }
  return out;
}

// Windows-1252, the ANSI code page of western systems; its five unused bytes
// map to the C1 controls as the system does.
constexpr char16_t Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::wstring DecodeAnsi(std::string_view bytes) {
  std::wstring out;
  out.reserve(bytes.size());
  for (const char ch : bytes) {
    const auto b = static_cast<unsigned char>(ch);
    out.push_back(static_cast<wchar_t>(b >= 0x80 && b < 0xA0 ? Cp1252High[b - 0x80] : b));
  }
  return out;
}

// --- Names and values ---------------------------------------------------------

bool SameName(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i] && UpperChar(a[i]) != UpperChar(b[i])) return false;
  return true;
}

std::wstring TrimView(std::wstring_view text) {
  size_t first = 0;
  size_t last = text.size();
  while (first < last && static_cast<uint32_t>(text[first]) <= 0x20) ++first;
  while (last > first && static_cast<uint32_t>(text[last - 1]) <= 0x20) --last;
  return std::wstring(text.substr(first, last - first));
}

// A line break or NUL inside a name or value would split the line on reading.
std::wstring OneLine(std::wstring_view text) {
  std::wstring out(text);
  for (wchar_t& c : out)
    if (c == L'\r' || c == L'\n' || c == L'\0') c = L' ';
  return out;
}

// The stored value as the reader hands it out: one pair of enclosing quotes
// (double or single) removed, cut to IniMaxValue UTF-16 units without
// splitting a surrogate pair.
std::wstring ReaderValue(const std::wstring& stored) {
  std::wstring_view value = stored;
  if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') &&
      value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  size_t units = 0;
  size_t n = 0;
  for (; n < value.size(); ++n) {
    const auto c = static_cast<uint32_t>(value[n]);
    size_t width = c > 0xFFFF ? 2 : 1;
    if (sizeof(wchar_t) == 2 && c >= 0xD800 && c <= 0xDBFF && n + 1 < value.size() &&
        static_cast<uint32_t>(value[n + 1]) >= 0xDC00 &&
        static_cast<uint32_t>(value[n + 1]) <= 0xDFFF)
      width = 2;  // a pair is kept or cut as a whole
    if (units + width > IniMaxValue) break;
    units += width;
    if (width == 2 && c <= 0xFFFF) ++n;
  }
  return std::wstring(value.substr(0, n));
}

int HexDigit(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  return -1;
}

}  // namespace

// --- Encodings ------------------------------------------------------------------

std::wstring DecodeIniText(std::string_view bytes) {
  auto starts = [&](std::string_view mark) { return bytes.substr(0, mark.size()) == mark; };
  std::wstring text;
  if (starts("\xFF\xFE"))
    text = DecodeUtf16(bytes.substr(2), false);
  else if (starts("\xFE\xFF"))
    text = DecodeUtf16(bytes.substr(2), true);
  else if (starts("\xEF\xBB\xBF"))
    text = DecodeUtf8(bytes.substr(3));
  else if (IsValidUtf8(bytes))
    text = DecodeUtf8(bytes);
  else
    text = DecodeAnsi(bytes);
  // Further byte-order marks (a file saved twice with one) are no text either.
  size_t marks = 0;
  while (marks < text.size() && text[marks] == L'\xFEFF') ++marks;
  text.erase(0, marks);
  return text;
}

std::string EncodeUtf16Le(std::wstring_view text) {
  std::string out;
  out.reserve(2 + 2 * text.size());
  out += "\xFF\xFE";
  auto put = [&](char16_t u) {
    out.push_back(static_cast<char>(u & 0xFF));
    out.push_back(static_cast<char>(u >> 8));
  };
  for (const wchar_t ch : text) {
    const auto c = static_cast<uint32_t>(ch);
    if (c <= 0xFFFF) {
      put(static_cast<char16_t>(c));
    } else if (c <= 0x10FFFF) {
      put(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
      put(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    } else {
      put(0xFFFD);
    }
  }
  return out;
}

// --- Numbers ----------------------------------------------------------------------

bool ParseIniInteger(std::wstring_view text, int32_t& value) {
  if (text.size() >= 3 && text[0] == L'0' && (text[1] == L'x' || text[1] == L'X')) {
    uint64_t v = 0;
    for (const wchar_t c : text.substr(2)) {
      const int d = HexDigit(c);
      if (d < 0) return false;
      v = v * 16 + static_cast<uint64_t>(d);
      if (v > 0xFFFFFFFFu) return false;
    }
    value = static_cast<int32_t>(static_cast<uint32_t>(v));
    return true;
  }
  int64_t v;
  if (!ParseInt64(text, v) || v < INT32_MIN || v > INT32_MAX) return false;
  value = static_cast<int32_t>(v);
  return true;
}

bool ParseInt64(std::wstring_view text, int64_t& value) {
  size_t i = 0;
  const bool negative = !text.empty() && text[0] == L'-';
  if (!text.empty() && (text[0] == L'-' || text[0] == L'+')) i = 1;
  if (i == text.size()) return false;
  // Accumulated negatively so that INT64_MIN fits.
  int64_t v = 0;
  for (; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (c < L'0' || c > L'9') return false;
    const int d = c - L'0';
    if (v < (INT64_MIN + d) / 10) return false;
    v = v * 10 - d;
  }
  if (!negative) {
    if (v == INT64_MIN) return false;
    v = -v;
  }
  value = v;
  return true;
}

// --- The in-memory file -------------------------------------------------------------

TIniFile TIniFile::Parse(std::string_view bytes) {
  const std::wstring text = DecodeIniText(bytes);
  TIniFile ini;
  TIniSection* current = nullptr;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = start;
    while (end < text.size() && text[end] != L'\r' && text[end] != L'\n' && text[end] != L'\0')
      ++end;
    const std::wstring line = TrimView(std::wstring_view(text).substr(start, end - start));
    start = end + 1;
    if (line.empty() || line[0] == L';') continue;
    if (line[0] == L'[') {
      const size_t close = line.rfind(L']');
      if (close != std::wstring::npos) {
        ini.Sections_.push_back({TrimView(std::wstring_view(line).substr(1, close - 1)), {}});
        current = &ini.Sections_.back();
        continue;
      }
    }
    if (current == nullptr) continue;  // nothing belongs to no section
    const size_t equals = line.find(L'=');
    if (equals == std::wstring::npos)
      current->Lines.push_back({line, {}, false});
    else
      current->Lines.push_back({TrimView(std::wstring_view(line).substr(0, equals)),
                                TrimView(std::wstring_view(line).substr(equals + 1)), true});
  }
  return ini;
}

std::string TIniFile::Serialize() const {
  std::wstring text;
  for (const TIniSection& section : Sections_) {
    text += L'[' + section.Name + L"]\r\n";
    for (const TIniLine& line : section.Lines) {
      text += line.Key;
      if (line.HasValue) text += L'=' + line.Value;
      text += L"\r\n";
    }
    text += L"\r\n";
  }
  return EncodeUtf16Le(text);
}

const TIniSection* TIniFile::FindSection(std::wstring_view name) const {
  for (const TIniSection& section : Sections_)
    if (SameName(section.Name, name)) return &section;
  return nullptr;
}

bool TIniFile::HasSection(std::wstring_view section) const {
  return FindSection(section) != nullptr;
}

bool TIniFile::FindString(std::wstring_view section, std::wstring_view key,
                          std::wstring& value) const {
  // Only the first section of a name counts, as with the system's reader.
  const TIniSection* found = FindSection(section);
  if (found == nullptr) return false;
  for (const TIniLine& line : found->Lines) {
    if (line.HasValue && SameName(line.Key, key)) {
      value = ReaderValue(line.Value);
      return true;
    }
  }
  return false;
}

std::wstring TIniFile::ReadString(std::wstring_view section, std::wstring_view key,
                                  const std::wstring& def) const {
  std::wstring value;
  return FindString(section, key, value) ? value : def;
}

int32_t TIniFile::ReadInteger(std::wstring_view section, std::wstring_view key, int32_t def) const {
  std::wstring text;
  int32_t value;
  if (FindString(section, key, text) && ParseIniInteger(text, value)) return value;
  return def;
}

bool TIniFile::ReadBool(std::wstring_view section, std::wstring_view key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TIniFile::WriteString(std::wstring_view section, std::wstring_view key,
                           std::wstring_view value) {
  TIniSection* target = nullptr;
  for (TIniSection& s : Sections_)
    if (SameName(s.Name, section)) {
      target = &s;
      break;
    }
  if (target == nullptr) {
    Sections_.push_back({OneLine(section), {}});
    target = &Sections_.back();
  }
  for (TIniLine& line : target->Lines) {
    if (line.HasValue && SameName(line.Key, key)) {
      line.Value = OneLine(value);
      return;
    }
  }
  target->Lines.push_back({OneLine(key), OneLine(value), true});
}

void TIniFile::WriteInteger(std::wstring_view section, std::wstring_view key, int32_t value) {
  WriteString(section, key, std::to_wstring(value));
}

void TIniFile::WriteBool(std::wstring_view section, std::wstring_view key, bool value) {
  WriteString(section, key, value ? L"1" : L"0");
}

void TIniFile::EraseSection(std::wstring_view section) {
  std::erase_if(Sections_, [&](const TIniSection& s) { return SameName(s.Name, section); });
}

// --- Whole files ------------------------------------------------------------------------

TReadResult LoadIniFile(TFileSystem& fs, const std::wstring& path, TIniFile& ini) {
  std::string bytes;
  const TReadResult result = fs.ReadAll(path, bytes);
  ini = result == TReadResult::Ok ? TIniFile::Parse(bytes) : TIniFile();
  return result;
}

bool SaveIniFile(TFileSystem& fs, const std::wstring& path, const TIniFile& ini) {
  return WriteFileAtomic(fs, path, ini.Serialize());
}

std::wstring IniReadString(TFileSystem& fs, const std::wstring& path, std::wstring_view section,
                           std::wstring_view key, const std::wstring& def) {
  TIniFile ini;
  LoadIniFile(fs, path, ini);
  return ini.ReadString(section, key, def);
}

bool IniWriteSection(TFileSystem& fs, const std::wstring& path, std::wstring_view section,
                     const TIniKeys& keys) {
  TIniFile ini;
  if (LoadIniFile(fs, path, ini) == TReadResult::Failed) return false;
  for (const auto& [key, value] : keys) ini.WriteString(section, key, value);
  return SaveIniFile(fs, path, ini);
}

bool IniEraseSection(TFileSystem& fs, const std::wstring& path, std::wstring_view section) {
  TIniFile ini;
  const TReadResult read = LoadIniFile(fs, path, ini);
  if (read == TReadResult::Failed) return false;
  if (!ini.HasSection(section)) return true;
  ini.EraseSection(section);
  return SaveIniFile(fs, path, ini);
}
