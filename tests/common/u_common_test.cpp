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

TEST(TextHelpers, InvariantCaseMapping) {
  struct {
    const wchar_t* lower;
    const wchar_t* upper;
  } pairs[] = {
      {L"{4d36e972-e325-11ce-bfc1-08002be10318}", L"{4D36E972-E325-11CE-BFC1-08002BE10318}"},
      {L"\u00e0\u00e9\u00ee\u00f5\u00fc\u00fe", L"\u00c0\u00c9\u00ce\u00d5\u00dc\u00de"},
      {L"\u0105\u0107\u0119\u0142\u0144\u015b\u017a\u017c",
       L"\u0104\u0106\u0118\u0141\u0143\u015a\u0179\u017b"},  // Polish
      {L"\u0440\u0443\u0441\u0441\u043a\u0438\u0439\u0451",
       L"\u0420\u0423\u0421\u0421\u041a\u0418\u0419\u0401"},                   // Russian
      {L"\u03b1\u03b2\u03b3\u03ac\u03ce", L"\u0391\u0392\u0393\u0386\u038f"},  // Greek
      {L"\uff41\uff5a", L"\uff21\uff3a"},                                      // full-width
  };
  for (const auto& p : pairs) {
    EXPECT_EQ(UpperStr(p.lower), p.upper);
    EXPECT_EQ(LowerStr(p.upper), p.lower);
  }
  // Unchanged: digits, punctuation, CJK, the letters without a simple partner.
  for (const wchar_t* same : {L"0123-{}_ .", L"\u65e5\u672c\u8a9e", L"\u00df\u0131"})
    EXPECT_EQ(UpperStr(same), same);
  EXPECT_EQ(UpperStr(L"\u00f7\u00ff\u03c2"), L"\u00f7\u0178\u03a3");
  EXPECT_EQ(LowerStr(L"\u00d7\u0130"), L"\u00d7\u0130");
}
