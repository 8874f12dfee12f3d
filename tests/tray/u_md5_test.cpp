// The identity arithmetic of the tray icons: MD5 (RFC 1321), the GUID text and
// GUID, the complemented CRC-32 and the identity text they are taken of.
#include "tray/u_md5.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tray/u_crc32.h"
#include "tray/u_tray.h"

namespace {

std::string Hex(const std::array<uint8_t, 16>& digest) {
  static const char* digits = "0123456789abcdef";
  std::string text;
  for (uint8_t b : digest) {
    text += digits[b >> 4];
    text += digits[b & 15];
  }
  return text;
}

std::string DigestOf(const std::string& bytes) {
  TMD5 md5;
  md5.Update(bytes.data(), bytes.size());
  return Hex(md5.Digest());
}

}  // namespace

TEST(Md5, Rfc1321TestSuite) {
  const struct {
    const char* Input;
    const char* Digest;
  } cases[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
       "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"1234567890123456789012345678901234567890123456789012345678901234567890123456789"
       "0",
       "57edf4a22be3c955ac49da2e2107b67a"},
  };
  for (const auto& c : cases) EXPECT_EQ(DigestOf(c.Input), c.Digest) << c.Input;
}

TEST(Md5, PiecewiseUpdatesAcrossBlockBoundaries) {
  // 55, 56 and 64 bytes sit at the padding's edge cases.
  for (size_t length : {55u, 56u, 63u, 64u, 65u, 130u}) {
    const std::string bytes(length, 'q');
    TMD5 pieces;
    for (size_t i = 0; i < length; i += 7)
      pieces.Update(bytes.data() + i, std::min<size_t>(7, length - i));
    EXPECT_EQ(Hex(pieces.Digest()), DigestOf(bytes)) << length;
  }
}

TEST(Md5, GuidTextOfAbcAndTextUpdates) {
  TMD5Ref md5 = CreateMD5();
  md5->UpdateText(L"");  // adds nothing
  md5->UpdateText(L"ab");
  md5->UpdateText(L"c");
  EXPECT_EQ(md5->GuidText(), L"{90015098-3CD2-4FB0-D696-3F7D28E17F72}");

  TGuid guid;
  ASSERT_TRUE(TextToGuid(md5->GuidText(), guid));
  EXPECT_EQ(guid.Data1, 0x90015098u);
  EXPECT_EQ(guid.Data2, 0x3CD2);
  EXPECT_EQ(guid.Data3, 0x4FB0);
  const uint8_t rest[8] = {0xD6, 0x96, 0x3F, 0x7D, 0x28, 0xE1, 0x7F, 0x72};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(guid.Data4[i], rest[i]) << i;
}

TEST(Md5, TextToGuidRejectsMalformedTexts) {
  TGuid guid;
  EXPECT_FALSE(TextToGuid(L"", guid));
  EXPECT_FALSE(TextToGuid(L"90015098-3CD2-4FB0-D696-3F7D28E17F72", guid));
  EXPECT_FALSE(TextToGuid(L"{90015098-3CD2-4FB0-D696-3F7D28E17F7G}", guid));
  EXPECT_FALSE(TextToGuid(L"{90015098+3CD2-4FB0-D696-3F7D28E17F72}", guid));
  EXPECT_TRUE(TextToGuid(L"{90015098-3cd2-4fb0-d696-3f7d28e17f72}", guid));
}

TEST(Md5, Utf8OfTextsIncludingSupplementaryCharacters) {
  // The same bytes whether wchar_t holds UTF-16 (Windows) or UTF-32.
  EXPECT_EQ(TextToUtf8(L"abc"), "abc");
  EXPECT_EQ(TextToUtf8(L"C:\\Tools\\\u00e9t\u00e9"), "C:\\Tools\\\xC3\xA9t\xC3\xA9");
  EXPECT_EQ(TextToUtf8(L"\u20AC"), "\xE2\x82\xAC");
  EXPECT_EQ(TextToUtf8(L"\U0001F600"), "\xF0\x9F\x98\x80");
  std::wstring lone;
  lone += static_cast<wchar_t>(0xD800);
  lone += L'x';
  EXPECT_EQ(TextToUtf8(lone), "\xEF\xBF\xBDx");  // U+FFFD, nothing lost after it
}

TEST(Crc32, ComplementedCrcAndTheZeroRule) {
  EXPECT_EQ(Crc32Register("abc", 3), 0xCADBBE3Du);
  EXPECT_EQ(~Crc32Register("abc", 3), 0x352441C2u);  // the usual CRC-32
  EXPECT_EQ(Crc32Identity("abc"), 0xCADBBE3Du);
  EXPECT_EQ(Crc32Register("", 0), 0xFFFFFFFFu);
  // Four 0xFF bytes bring the register to 0: never a valid icon number.
  EXPECT_EQ(Crc32Register("\xFF\xFF\xFF\xFF", 4), 0u);
  EXPECT_EQ(Crc32Identity("\xFF\xFF\xFF\xFF"), 1u);
  EXPECT_EQ(IdentityNumber(L"abc"), 0xCADBBE3Du);
}

TEST(Identity, TextIsKeyAllMarkerAndExePath) {
  EXPECT_EQ(IdentityText(L"{4D36E972-E325-11CE-BFC1-08002BE10318}", L"C:\\P\\pulsery.exe"),
            L"{4D36E972-E325-11CE-BFC1-08002BE10318}{PULSERY-ALL}C:\\P\\pulsery.exe");
  EXPECT_EQ(IdentityText(L"{PULSERY-ALL}", L"D:\\x.exe"), L"{PULSERY-ALL}{PULSERY-ALL}D:\\x.exe");

  // Digest of the UTF-8 bytes of the whole text.
  const std::wstring identity = IdentityText(L"{PULSERY-ALL}", L"C:\\\u00c9\\pulsery.exe");
  const std::string utf8 = "{PULSERY-ALL}{PULSERY-ALL}C:\\\xC3\x89\\pulsery.exe";
  TMD5 md5;
  md5.Update(utf8.data(), utf8.size());
  TGuid expected;
  ASSERT_TRUE(TextToGuid(md5.GuidText(), expected));
  EXPECT_EQ(IdentityGuid(identity), expected);
  EXPECT_EQ(IdentityNumber(identity), Crc32Identity(utf8));

  // Different interfaces and different paths give different identities.
  EXPECT_FALSE(IdentityGuid(IdentityText(L"{A}", L"C:\\p.exe")) ==
               IdentityGuid(IdentityText(L"{B}", L"C:\\p.exe")));
  EXPECT_FALSE(IdentityGuid(IdentityText(L"{A}", L"C:\\p.exe")) ==
               IdentityGuid(IdentityText(L"{A}", L"D:\\p.exe")));
  EXPECT_NE(IdentityNumber(IdentityText(L"{A}", L"C:\\p.exe")),
            IdentityNumber(IdentityText(L"{A}", L"D:\\p.exe")));
}

TEST(Identity, GuidFromWindows7On) {
  EXPECT_FALSE(UsesGuidIdentity({6, 0}));
  EXPECT_TRUE(UsesGuidIdentity({6, 1}));
  EXPECT_TRUE(UsesGuidIdentity({6, 2}));
  EXPECT_TRUE(UsesGuidIdentity({10, 0}));
  EXPECT_FALSE(UsesGuidIdentity({5, 1}));
}
