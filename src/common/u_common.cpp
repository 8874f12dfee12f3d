#include "common/u_common.h"


std::wstring Utf16ToText(const char16_t* text, size_t maxUnits) {
  size_t n = 0;
  while (n < maxUnits && text[n] != 0) ++n;
  std::wstring out;
  out.reserve(n);
  if constexpr (sizeof(wchar_t) == 2) {
    for (size_t i = 0; i < n; ++i) out.push_back(static_cast<wchar_t>(text[i]));
  } else {
    for (size_t i = 0; i < n; ++i) {
      char32_t c = text[i];
      if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && text[i + 1] >= 0xDC00 &&
          text[i + 1] <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
        ++i;
      }
      out.push_back(static_cast<wchar_t>(c));
    }
  }
  return out;
}

namespace {

// Pairs where the upper-case letter is one below the lower-case one
// (Latin Extended-A/B stretches): returns the partner or 0.
uint32_t AlternatingPartner(uint32_t c, bool toUpper) {
  struct TRange {
    uint32_t first, last;  // inclusive; `first` is an upper-case letter
  };
  static constexpr TRange ranges[] = {
      {0x0100, 0x012F}, {0x0132, 0x0137}, {0x0139, 0x0148}, {0x014A, 0x0177},
      {0x0179, 0x017E}, {0x01CD, 0x01DC}, {0x01DE, 0x01EF}, {0x01F8, 0x021F},
      {0x0222, 0x0233}, {0x0460, 0x0481}, {0x048A, 0x04BF}, {0x04C1, 0x04CE},
      {0x04D0, 0x052F}, {0x1E00, 0x1E95}, {0x1EA0, 0x1EFF},
  };
  for (const TRange& r : ranges) {
    if (c < r.first || c > r.last) continue;
    const bool isUpper = ((c - r.first) % 2) == 0;
    if (toUpper && !isUpper) return c - 1;
    if (!toUpper && isUpper) return c + 1;
    return c;
  }
  return 0;
}

}  // namespace

wchar_t UpperChar(wchar_t ch) {
  const uint32_t c = static_cast<uint32_t>(ch);
  if (c < 0x80) return (c >= 'a' && c <= 'z') ? wchar_t(c - 32) : ch;
  if ((c >= 0xE0 && c <= 0xFE && c != 0xF7)) return wchar_t(c - 32);
  if (c == 0xFF) return wchar_t(0x178);
  if (c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) return ch;  // no simple partner
  if (uint32_t p = AlternatingPartner(c, true)) return wchar_t(p);
  if (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2) return wchar_t(c - 32);  // Greek
  if (c == 0x3C2) return wchar_t(0x3A3);                               // final sigma
  if (c >= 0x3AC && c <= 0x3AF) {
    static constexpr uint32_t tonos[] = {0x386, 0x388, 0x389, 0x38A};
    return wchar_t(tonos[c - 0x3AC]);
  }
  if (c == 0x3CC) return wchar_t(0x38C);
  if (c == 0x3CD || c == 0x3CE) return wchar_t(c - 0x3F);
  if (c >= 0x430 && c <= 0x44F) return wchar_t(c - 32);  // Cyrillic
  if (c >= 0x450 && c <= 0x45F) return wchar_t(c - 80);
  if (c >= 0x561 && c <= 0x586) return wchar_t(c - 48);    // Armenian
  if (c >= 0xFF41 && c <= 0xFF5A) return wchar_t(c - 32);  // full-width
  return ch;
}

wchar_t LowerChar(wchar_t ch) {
  const uint32_t c = static_cast<uint32_t>(ch);
  if (c < 0x80) return (c >= 'A' && c <= 'Z') ? wchar_t(c + 32) : ch;
  if ((c >= 0xC0 && c <= 0xDE && c != 0xD7)) return wchar_t(c + 32);
  if (c == 0x178) return wchar_t(0xFF);
  if (c == 0x130) return ch;  // dotted capital I: no simple partner
  if (uint32_t p = AlternatingPartner(c, false)) return wchar_t(p);
  if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return wchar_t(c + 32);
  if (c == 0x386) return wchar_t(0x3AC);
  if (c >= 0x388 && c <= 0x38A) return wchar_t(c + 37);
  if (c == 0x38C) return wchar_t(0x3CC);
  if (c == 0x38E || c == 0x38F) return wchar_t(c + 0x3F);
  if (c >= 0x410 && c <= 0x42F) return wchar_t(c + 32);
  if (c >= 0x400 && c <= 0x40F) return wchar_t(c + 80);
  if (c >= 0x531 && c <= 0x556) return wchar_t(c + 48);
  if (c >= 0xFF21 && c <= 0xFF3A) return wchar_t(c + 32);
  return ch;
}

std::wstring UpperStr(const std::wstring& text) {
  std::wstring out(text);
  for (wchar_t& c : out) c = UpperChar(c);
  return out;
}

std::wstring LowerStr(const std::wstring& text) {
  std::wstring out(text);
  for (wchar_t& c : out) c = LowerChar(c);
  return out;
}

std::wstring TrimText(const std::wstring& text) {
  size_t first = 0;
  size_t last = text.size();
  while (first < last && static_cast<uint32_t>(text[first]) <= 0x20) ++first;
  while (last > first && static_cast<uint32_t>(text[last - 1]) <= 0x20) --last;
  return text.substr(first, last - first);
}

namespace {

constexpr wchar_t UpperHex[] = L"0123456789ABCDEF";
constexpr wchar_t LowerHex[] = L"0123456789abcdef";

void AppendHexGroup(std::wstring& out, unsigned group) {
  bool started = false;
  for (int shift = 12; shift >= 0; shift -= 4) {
    unsigned digit = (group >> shift) & 0xF;
    if (digit != 0 || started || shift == 0) {
      out.push_back(LowerHex[digit]);
      started = true;
    }
  }
}

}  // namespace

std::wstring MacToText(const uint8_t* bytes, uint32_t length) {
  if (length == 0) return L"00-00-00-00-00-00";
  // The adapter record holds eight bytes; a larger length never reads past them.
  if (length > 8) length = 8;
  std::wstring out;
  out.reserve(length * 3);
  for (uint32_t i = 0; i < length; ++i) {
    if (i > 0) out.push_back(L'-');
    out.push_back(UpperHex[bytes[i] >> 4]);
    out.push_back(UpperHex[bytes[i] & 0xF]);
  }
  return out;
}

std::wstring IPv4ToText(const uint8_t* address) {
  std::wstring out;
  out.reserve(15);
  for (int i = 0; i < 4; ++i) {
    if (i > 0) out.push_back(L'.');
    const unsigned b = address[i];
    if (b >= 100) out.push_back(wchar_t(L'0' + b / 100));
    if (b >= 10) out.push_back(wchar_t(L'0' + b / 10 % 10));
    out.push_back(wchar_t(L'0' + b % 10));
  }
  return out;
}

std::wstring IPv6ToText(const uint8_t* bytes) {
  unsigned groups[8];
  for (int i = 0; i < 8; ++i) groups[i] = (unsigned(bytes[2 * i]) << 8) | bytes[2 * i + 1];

  // The run to compress: strictly longer than every earlier run, so the first
  // of equally long runs wins; a single zero group counts.
  int bestStart = -1, bestLength = 0, runStart = -1, runLength = 0;
  for (int i = 0; i < 8; ++i) {
    if (groups[i] == 0) {
      if (runLength == 0) runStart = i;
      ++runLength;
      if (runLength > bestLength) {
        bestStart = runStart;
        bestLength = runLength;
      }
    } else {
      runLength = 0;
    }
  }

  std::wstring out;
  out.reserve(40);
  if (bestStart < 0) {
    for (int i = 0; i < 8; ++i) {
      if (i > 0) out.push_back(L':');
      AppendHexGroup(out, groups[i]);
    }
    return out;
  }
  for (int i = 0; i < bestStart; ++i) {
    if (i > 0) out.push_back(L':');
    AppendHexGroup(out, groups[i]);
  }
  out += L"::";
  for (int i = bestStart + bestLength; i < 8; ++i) {
    if (i > bestStart + bestLength) out.push_back(L':');
    AppendHexGroup(out, groups[i]);
  }
  return out;
}

std::wstring SockAddr6ToText(const TSockAddrIn6* address) {
  if (address == nullptr) return {};
  std::wstring out = IPv6ToText(address->sin6_addr);
  if (address->sin6_scope_id != 0) {
    out.push_back(L'%');
    out += std::to_wstring(address->sin6_scope_id);
  }
  return out;
}
