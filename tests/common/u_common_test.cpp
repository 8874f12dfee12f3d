#include "common/u_common.h"

#include <gtest/gtest.h>

TEST(AddressTexts, MacToTextByLength) {
  const uint8_t bytes[8] = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0x6F, 0x70};
  const uint8_t zeros[8] = {};
  EXPECT_EQ(MacToText(bytes, 0), L"00-00-00-00-00-00");
  EXPECT_EQ(MacToText(zeros, 6), L"00-00-00-00-00-00");
  EXPECT_EQ(MacToText(bytes, 6), L"00-1A-2B-3C-4D-5E");
  EXPECT_EQ(MacToText(bytes, 8), L"00-1A-2B-3C-4D-5E-6F-70");
  EXPECT_EQ(MacToText(bytes, 1), L"00");
  // A length beyond the record's eight bytes never reads past them.
  EXPECT_EQ(MacToText(bytes, 32), L"00-1A-2B-3C-4D-5E-6F-70");
}

TEST(AddressTexts, IPv4ToText) {
  struct {
    uint8_t bytes[4];
    const wchar_t* text;
  } cases[] = {
      {{192, 168, 0, 1}, L"192.168.0.1"},
      {{0, 0, 0, 0}, L"0.0.0.0"},
      {{255, 255, 255, 255}, L"255.255.255.255"},
      {{10, 0, 0, 5}, L"10.0.0.5"},
  };
  for (const auto& c : cases) EXPECT_EQ(IPv4ToText(c.bytes), c.text);
}

TEST(AddressTexts, IPv6ToTextAndScope) {
  struct {
    uint16_t groups[8];
    uint32_t scope;
    const wchar_t* text;
  } cases[] = {
      {{0, 0, 0, 0, 0, 0, 0, 0}, 0, L"::"},
      {{0, 0, 0, 0, 0, 0, 0, 1}, 0, L"::1"},
      {{1, 0, 0, 2, 0, 0, 0, 3}, 0, L"1:0:0:2::3"},
      {{1, 0, 0, 2, 0, 0, 3, 4}, 0, L"1::2:0:0:3:4"},
      {{1, 0, 0, 2, 0, 3, 0, 0}, 0, L"1::2:0:3:0:0"},
      {{1, 0, 3, 4, 5, 6, 7, 8}, 0, L"1::3:4:5:6:7:8"},
      {{0xfe80, 0, 0, 0, 0, 0, 0, 0}, 0, L"fe80::"},
      {{0xfe80, 0, 0, 0, 1, 2, 3, 4}, 11, L"fe80::1:2:3:4%11"},
      {{0x2001, 0xdb8, 1, 2, 3, 4, 5, 6}, 0, L"2001:db8:1:2:3:4:5:6"},
      {{0xABCD, 0xEF01, 1, 2, 3, 4, 5, 6}, 0, L"abcd:ef01:1:2:3:4:5:6"},
      {{0, 0, 1, 0, 0, 0, 0, 0}, 0, L"0:0:1::"},
      {{1, 2, 3, 4, 5, 6, 7, 0}, 4294967295u, L"1:2:3:4:5:6:7::%4294967295"},
  };
  for (const auto& c : cases) {
    TSockAddrIn6 address{};
    address.sin6_family = 23;
    for (int i = 0; i < 8; ++i) {
      address.sin6_addr[2 * i] = uint8_t(c.groups[i] >> 8);
      address.sin6_addr[2 * i + 1] = uint8_t(c.groups[i]);
    }
    address.sin6_scope_id = c.scope;
    EXPECT_EQ(SockAddr6ToText(&address), c.text);
    if (c.scope == 0) {
      EXPECT_EQ(IPv6ToText(address.sin6_addr), c.text);
    }
  }
  EXPECT_EQ(SockAddr6ToText(nullptr), L"");
}

TEST(TextHelpers, TrimAndUtf16) {
  EXPECT_EQ(TrimText(L"\r\n 1.2.3.4\r\n5.6.7.8\r\n"), L"1.2.3.4\r\n5.6.7.8");
  EXPECT_EQ(TrimText(L" \t\r\n"), L"");
  const char16_t text[] = {u'E', u't', 0xD83D, 0xDE00, 0, u'x'};
  const std::wstring decoded = Utf16ToText(text, 6);
  if (sizeof(wchar_t) == 2) {
    EXPECT_EQ(decoded.size(), 4u);
  } else {
    EXPECT_EQ(decoded, std::wstring(L"Et") + wchar_t(0x1F600));
  }
  const char16_t full[3] = {u'a', u'b', u'c'};  // no terminator within the bound
  EXPECT_EQ(Utf16ToText(full, 3), L"abc");
}
