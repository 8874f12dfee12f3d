// Text helpers shared by the whole tool, and the display texts of network
// addresses (hardware, IPv4, IPv6) used in the status texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The platform's GUID, byte for byte (registry form: a 32-bit number, two
// 16-bit numbers, then eight bytes in order).
struct TGuid {
  uint32_t Data1 = 0;
  uint16_t Data2 = 0;
  uint16_t Data3 = 0;
  uint8_t Data4[8] = {};
  bool operator==(const TGuid&) const = default;
};
static_assert(sizeof(TGuid) == 16);

// One UTF-16 text from the platform (NUL-terminated, at most maxUnits units),
// as a wide string: unchanged where wchar_t is 16 bits, decoded elsewhere.
std::wstring Utf16ToText(const char16_t* text, size_t maxUnits);

// Upper- or lower-case a text character by character with the invariant
// (language-neutral) simple case mapping: Latin, Greek, Cyrillic, Armenian and
// full-width Latin letters. Used wherever keys and names are compared without
// regard to case; the length never changes.
std::wstring UpperStr(const std::wstring& text);
std::wstring LowerStr(const std::wstring& text);
wchar_t UpperChar(wchar_t c);
wchar_t LowerChar(wchar_t c);

// Removes leading and trailing characters up to U+0020 (blanks and controls).
std::wstring TrimText(const std::wstring& text);

// "00-1A-2B-3C-4D-5E": the first `length` bytes (at most 8) as upper-case hex
// pairs joined by "-"; length 0 gives the all-zero six-byte text.
std::wstring MacToText(const uint8_t* bytes, uint32_t length);

// The four bytes of an IPv4 address in storage order, dotted decimal.
std::wstring IPv4ToText(const uint8_t* address);

// The 16 bytes of an IPv6 address (eight big-endian groups), lower-case hex
// with the first longest run of zero groups compressed to "::".
std::wstring IPv6ToText(const uint8_t* groups);

// The platform's sockaddr_in6, byte for byte (28 bytes).
struct TSockAddrIn6 {
  uint16_t sin6_family;
  uint16_t sin6_port;
  uint32_t sin6_flowinfo;
  uint8_t sin6_addr[16];
  uint32_t sin6_scope_id;
};
static_assert(sizeof(TSockAddrIn6) == 28);

// IPv6ToText of the address, with "%" and the scope id when it is not 0;
// empty for none.
std::wstring SockAddr6ToText(const TSockAddrIn6* address);
