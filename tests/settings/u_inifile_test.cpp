#include "settings/u_inifile.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// A file as the tool writes it: UTF-16 LE with byte-order mark.
std::string Utf16(const std::wstring& text) {
  return EncodeUtf16Le(text);
}

std::wstring Text(const std::string& bytes) {
  return DecodeIniText(bytes);
}

struct TReadCase {
  const char* Name;
  std::wstring File;
  std::wstring Section;
  std::wstring Key;
  std::wstring Expected;  // L"<default>" when the default must come back
};

const std::wstring Def = L"<default>";

class IniReadTest : public ::testing::TestWithParam<TReadCase> {};

}  // namespace

TEST_P(IniReadTest, ReadsLikeTheProfileReader) {
  const TReadCase& c = GetParam();
  const TIniFile ini = TIniFile::Parse(Utf16(c.File));
  EXPECT_EQ(ini.ReadString(c.Section, c.Key, Def), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IniReadTest,
    ::testing::Values(
        TReadCase{"Plain", L"[Options]\r\nCurLang=German\r\n", L"Options", L"CurLang", L"German"},
        TReadCase{"CaseOfNames", L"[oPTIONS]\r\ncURLANG=German\r\n", L"Options", L"CurLang",
                  L"German"},
        TReadCase{"CaseOfValueKept", L"[Options]\r\nCurLang=GeRman\r\n", L"options", L"curlang",
                  L"GeRman"},
        TReadCase{"Blanks", L"[Options]\r\n  CurLang \t=   German  \r\n", L"Options", L"CurLang",
                  L"German"},
        TReadCase{"DoubleQuotes", L"[Options]\r\nCurLang=\"  German \"\r\n", L"Options", L"CurLang",
                  L"  German "},
        TReadCase{"SingleQuotes", L"[Options]\r\nCurLang='German'\r\n", L"Options", L"CurLang",
                  L"German"},
        TReadCase{"OnePairOnly", L"[Options]\r\nCurLang=\"\"x\"\"\r\n", L"Options", L"CurLang",
                  L"\"x\""},
        TReadCase{"MixedQuotesKept", L"[Options]\r\nCurLang=\"x'\r\n", L"Options", L"CurLang",
                  L"\"x'"},
        TReadCase{"LoneQuoteKept", L"[Options]\r\nCurLang=\"\r\n", L"Options", L"CurLang", L"\""},
        TReadCase{"EmptyQuotes", L"[Options]\r\nCurLang=\"\"\r\n", L"Options", L"CurLang", L""},
        TReadCase{"EmptyValueIsNotDefault", L"[Options]\r\nCurLang=\r\n", L"Options", L"CurLang",
                  L""},
        TReadCase{"EqualsInValue", L"[Options]\r\nCurLang=a=b\r\n", L"Options", L"CurLang", L"a=b"},
        TReadCase{"FirstDuplicateKeyWins", L"[Options]\r\nCurLang=A\r\nCurLang=B\r\n", L"Options",
                  L"CurLang", L"A"},
        TReadCase{"FirstDuplicateSectionWins",
                  L"[Options]\r\nCurLang=A\r\n[Other]\r\nx=1\r\n[Options]\r\nCurLang=B\r\n",
                  L"Options", L"CurLang", L"A"},
        TReadCase{"MissingKey", L"[Options]\r\nStartUp=1\r\n", L"Options", L"CurLang", Def},
        TReadCase{"MissingSection", L"[Other]\r\nCurLang=A\r\n", L"Options", L"CurLang", Def},
        TReadCase{"KeyInOtherSection", L"[Other]\r\nCurLang=A\r\n[Options]\r\n", L"Options",
                  L"CurLang", Def},
        TReadCase{"CommentLine", L"[Options]\r\n;CurLang=A\r\n", L"Options", L"CurLang", Def},
        TReadCase{"KeyWithoutEquals", L"[Options]\r\nCurLang\r\n", L"Options", L"CurLang", Def},
        TReadCase{"BeforeAnySection", L"CurLang=A\r\n[Options]\r\n", L"Options", L"CurLang", Def},
        TReadCase{"LfOnly", L"[Options]\nStartUp=0\nCurLang=A\n", L"Options", L"CurLang", L"A"},
        TReadCase{"NoFinalLineEnd", L"[Options]\r\nCurLang=A", L"Options", L"CurLang", L"A"},
        TReadCase{"IndentedSection", L"   [Options]\r\nCurLang=A\r\n", L"Options", L"CurLang",
                  L"A"},
        TReadCase{"NonLatinCase", L"[\x0414\x0410]\r\nK=1\r\n", L"\x0434\x0430", L"k", L"1"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(IniReadLimits, ValueIsCutAt2047Units) {
  const std::wstring file = L"[S]\r\nK=" + std::wstring(3000, L'a') + L"\r\n";
  EXPECT_EQ(TIniFile::Parse(Utf16(file)).ReadString(L"S", L"K", Def), std::wstring(2047, L'a'));
  // A pair of surrogates counts two units and is never split.
  const std::wstring pair = Text(std::string("\xFF\xFE\x3D\xD8\x00\xDE", 6));
  ASSERT_EQ(EncodeUtf16Le(pair), std::string("\xFF\xFE\x3D\xD8\x00\xDE", 6));
  const std::wstring tail = L"[S]\r\nK=" + std::wstring(2046, L'a') + pair + L"\r\n";
  EXPECT_EQ(TIniFile::Parse(Utf16(tail)).ReadString(L"S", L"K", Def), std::wstring(2046, L'a'));
}

TEST(IniEncodings, ReadsEveryFormItMeets) {
  struct {
    const char* Name;
    std::string Bytes;
  } cases[] = {
      {"utf16le", Utf16(L"[S]\r\nK=Espa\xF1ol\r\n")},
      {"utf16be", std::string("\xFE\xFF\0[\0S\0]\0\n\0K\0=\0E\0s\0p\0a\0\xF1\0o\0l", 28)},
      {"utf8bom", "\xEF\xBB\xBF[S]\r\nK=Espa\xC3\xB1ol\r\n"},
      {"utf8", "[S]\nK=Espa\xC3\xB1ol\n"},
      {"ansi", "[S]\nK=Espa\xF1ol\n"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(TIniFile::Parse(c.Bytes).ReadString(L"S", L"K", Def), L"Espa\xF1ol") << c.Name;
  EXPECT_EQ(TIniFile::Parse("[S]\nK=\x80\x9F\n").ReadString(L"S", L"K", Def), L"\x20AC\x0178");
}

TEST(IniIntegers, FollowTheValueRules) {
  struct {
    const wchar_t* Text;
    int32_t Expected;  // 77: not a number, the default
  } cases[] = {
      {L"0", 0},
      {L"2", 2},
      {L"-1", -1},
      {L"+7", 7},
      {L"007", 7},
      {L"0x2", 2},
      {L"0X1f", 31},
      {L"0x0", 0},
      {L"0x", 77},
      {L"0X", 77},
      {L"0x-1", 77},
      {L"0xG", 77},
      {L"0xFFFFFFFF", -1},
      {L"0x100000000", 77},
      {L"0x000000001", 1},
      {L"2147483647", INT32_MAX},
      {L"2147483648", 77},
      {L"-2147483648", INT32_MIN},
      {L"-2147483649", 77},
      {L"yes", 77},
      {L"true", 77},
      {L"false", 77},
      {L"", 77},
      {L"1.5", 77},
      {L"-", 77},
      {L"1 2", 77},
      {L"$10", 77},
      {L"99999999999999999999999", 77},
  };
  for (const auto& c : cases) {
    TIniFile ini;
    ini.WriteString(L"S", L"K", c.Text);
    EXPECT_EQ(ini.ReadInteger(L"S", L"K", 77), c.Expected)
        << "'" << std::string(c.Text, c.Text + wcslen(c.Text)) << "'";
  }
  TIniFile ini = TIniFile::Parse(Utf16(L"[S]\r\nA=2\r\nB=0x0\r\nC=yes\r\nD=\" 1\"\r\n"));
  EXPECT_TRUE(ini.ReadBool(L"S", L"A", false));
  EXPECT_FALSE(ini.ReadBool(L"S", L"B", true));
  EXPECT_TRUE(ini.ReadBool(L"S", L"C", true));
  EXPECT_FALSE(ini.ReadBool(L"S", L"C", false));
  EXPECT_TRUE(ini.ReadBool(L"S", L"D", true));  // a blank inside quotes is no number
  EXPECT_TRUE(ini.ReadBool(L"S", L"Missing", true));

  int64_t v = 0;
  EXPECT_TRUE(ParseInt64(L"-9223372036854775808", v));
  EXPECT_EQ(v, INT64_MIN);
  EXPECT_TRUE(ParseInt64(L"9223372036854775807", v));
  EXPECT_EQ(v, INT64_MAX);
  EXPECT_FALSE(ParseInt64(L"9223372036854775808", v));
  EXPECT_FALSE(ParseInt64(L"12a", v));
}

TEST(IniWriter, KeepsSectionsAndKeysInPlace) {
  const std::wstring before =
      L"; a comment\r\nLoose=1\r\n[First]\r\n  A = 1 \r\n\r\nlone line\r\nB=\"q\"\r\n"
      L"[Options]\r\nx=1\r\n;gone\r\n   \r\n[Last]\r\nZ=9";
  TIniFile ini = TIniFile::Parse(Utf16(before));
  ini.WriteString(L"first", L"a", L"2");  // in place, name as it stood
  ini.WriteString(L"First", L"C", L"3");  // appended to its section
  ini.WriteBool(L"New", L"On", true);     // new section at the end
  ini.WriteInteger(L"Options", L"n", -5);
  EXPECT_EQ(Text(ini.Serialize()),
            L"[First]\r\nA=2\r\nlone line\r\nB=\"q\"\r\nC=3\r\n\r\n"
            L"[Options]\r\nx=1\r\nn=-5\r\n\r\n"
            L"[Last]\r\nZ=9\r\n\r\n"
            L"[New]\r\nOn=1\r\n\r\n");
  EXPECT_EQ(ini.Serialize().substr(0, 2), "\xFF\xFE");
}

TEST(IniWriter, ValuesCannotBreakTheirLine) {
  TIniFile ini;
  ini.WriteString(L"S", L"K", std::wstring(L"a\r\n[Evil]\nX=1") + L'\0' + L"b");
  const TIniFile back = TIniFile::Parse(ini.Serialize());
  EXPECT_FALSE(back.HasSection(L"Evil"));
  EXPECT_EQ(back.ReadString(L"S", L"K", Def), L"a  [Evil] X=1 b");
}

TEST(IniWriter, RoundTripsEveryCharacter) {
  std::wstring odd = L"\x00E9\x4E2D\x0416 '\"x\"' = ;[]";
  if constexpr (sizeof(wchar_t) == 2)
    odd += L"\xD83D\xDE00";
  else
    odd += static_cast<wchar_t>(0x1F600);
  TIniFile ini;
  ini.WriteString(L"\x00C4rger", L"K\x00FC", odd);
  const TIniFile back = TIniFile::Parse(ini.Serialize());
  EXPECT_EQ(back.ReadString(L"\x00E4RGER", L"k\x00DC", Def), odd);
  EXPECT_EQ(back.Serialize(), ini.Serialize());
}

TEST(IniWriter, EraseSectionRemovesEveryCopy) {
  TIniFile ini = TIniFile::Parse(Utf16(L"[A]\r\nx=1\r\n[B]\r\ny=2\r\n[a]\r\nz=3\r\n"));
  ini.EraseSection(L"A");
  EXPECT_EQ(Text(ini.Serialize()), L"[B]\r\ny=2\r\n\r\n");
}

// Whatever the bytes, parsing ends and yields what is valid, or nothing.
TEST(IniBadInput, ReadsAsDefaultsOrAsFarAsValid) {
  EXPECT_TRUE(TIniFile::Parse("").Sections().empty());
  EXPECT_TRUE(TIniFile::Parse("\xFF\xFE").Sections().empty());
  EXPECT_TRUE(TIniFile::Parse("\xFF\xFE[").Sections().empty());  // odd last byte

  std::mt19937 random(7);
  std::string garbage(64 * 1024, '\0');
  for (char& c : garbage) c = static_cast<char>(random());
  for (const char* head : {"", "\xFF\xFE", "\xFE\xFF", "\xEF\xBB\xBF"}) {
    const TIniFile ini = TIniFile::Parse(head + garbage);
    EXPECT_EQ(ini.ReadInteger(L"Options", L"AnimSpeed", 5), 5);
  }

  // A NUL ends its line; what follows is still read.
  const std::string withNul = Utf16(std::wstring(L"[S]\r\nA=1", 8) + L'\0' + L"junk\r\nB=2\r\n");
  EXPECT_EQ(TIniFile::Parse(withNul).ReadString(L"S", L"A", Def), L"1");
  EXPECT_EQ(TIniFile::Parse(withNul).ReadString(L"S", L"B", Def), L"2");
  EXPECT_EQ(TIniFile::Parse(std::string("[S]\nA=1\0x\nB=2\n", 14)).ReadString(L"S", L"B", Def),
            L"2");

  // Odd byte-order marks: UTF-32 LE reads as UTF-16 with NULs between the
  // characters, a doubled mark is no text.
  EXPECT_EQ(TIniFile::Parse(std::string("\xFF\xFE\0\0[\0\0\0", 8)).Sections().size(), 0u);
  const std::string doubled = "\xFF\xFE" + Utf16(L"[S]\r\nK=1\r\n");
  EXPECT_EQ(TIniFile::Parse(doubled).ReadString(L"S", L"K", Def), L"1");
  EXPECT_EQ(TIniFile::Parse("\xEF\xBB\xBF\xEF\xBB\xBF[S]\nK=1\n").ReadString(L"S", L"K", Def),
            L"1");
}

TEST(IniBadInput, HugeFilesAndLines) {
  // 10 MB: the wanted key after a long run of others.
  std::wstring big = L"[Other]\r\n";
  while (big.size() < 5 * 1024 * 1024) big += L"SomeKey=Some value of a key\r\n";
  big += L"[Options]\r\nAnimSpeed=2\r\n";
  const std::string bytes = Utf16(big);
  ASSERT_GE(bytes.size(), 10u * 1024 * 1024);
  EXPECT_EQ(TIniFile::Parse(bytes).ReadInteger(L"Options", L"AnimSpeed", 0), 2);

  const std::wstring longLine = L"[S]\r\nK=" + std::wstring(100000, L'v') + L"\r\n" +
                                std::wstring(100000, L'k') + L"=1\r\nL=2\r\n[" +
                                std::wstring(100000, L's');
  const TIniFile ini = TIniFile::Parse(Utf16(longLine));
  EXPECT_EQ(ini.ReadString(L"S", L"K", Def).size(), IniMaxValue);
  EXPECT_EQ(ini.ReadString(L"S", std::wstring(100000, L'K'), Def), L"1");
  EXPECT_EQ(ini.ReadString(L"S", L"L", Def), L"2");
  // Nothing is lost on the way back: the long value is written whole.
  EXPECT_EQ(TIniFile::Parse(ini.Serialize()).Serialize(), ini.Serialize());
}
