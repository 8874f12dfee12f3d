#include "common/u_common.h"

#include <cstdio>

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
  wchar_t buffer[16];
  std::swprintf(buffer, 16, L"%u.%u.%u.%u", address[0], address[1], address[2], address[3]);
  return buffer;
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
