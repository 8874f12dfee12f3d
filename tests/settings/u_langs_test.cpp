#include "settings/u_langs.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>

#include "fakes/fake_code_page.h"

namespace {

// Bytes of a UTF-8 literal with the byte-order mark in front.
std::string Utf8Bom(std::string_view text) {
  return "\xEF\xBB\xBF" + std::string(text);
}

std::string Utf16Bytes(const std::u16string& text, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t unit : text) {
    const char high = char(unit >> 8), low = char(unit & 0xFF);
    bytes += bigEndian ? std::string{high, low} : std::string{low, high};
  }
  return bytes;
}

std::optional<std::wstring> Lookup(const TLangFile& file, std::wstring_view lang, uint16_t index) {
  const std::wstring* text = file.Find(lang, index);
  if (text == nullptr) return std::nullopt;
  return *text;
}

TLangFile ParseUtf8(std::string_view text) {
  TFakeCodePage codePage;
  return TLangFile::Parse(DecodeLangBytes(Utf8Bom(text), codePage));
}

std::filesystem::path TempFile(const std::wstring& name) {
  return std::filesystem::temp_directory_path() / name;
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), std::streamsize(bytes.size()));
  ASSERT_TRUE(out.good());
}

class LangFileTest : public ::testing::Test {
 protected:
  void TearDown() override { FreeLangFile(); }
  TFakeCodePage codePage;
};

struct TLineCase {
  const char* name;
  const char* file;  // UTF-8
  const wchar_t* lang;
  uint16_t index;
  std::optional<std::wstring> expected;
};

class LangLineRules : public ::testing::TestWithParam<TLineCase> {};

const TLineCase LineCases[] = {
    {"plain", "[English]\r\n5=OK\r\n", L"English", 5, L"OK"},
    {"section in another case", "[English]\n5=OK", L"eNGLISH", 5, L"OK"},
    {"section case beyond ASCII", "[Русский]\n5=ОК", L"РУССКИЙ", 5, L"ОК"},
    {"lookup name is not trimmed", "[English]\n5=OK", L"English ", 5, std::nullopt},
    {"section name trimmed", "[ \tEnglish  ]\n5=OK", L"English", 5, L"OK"},
    {"empty section name", "[]\n5=OK", L"", 5, L"OK"},
    {"second of a twice-written key", "[E]\n5=first\n5=second", L"E", 5, L"second"},
    {"quotes are kept", "[E]\n5=\"OK\"", L"E", 5, L"\"OK\""},
    {"blanks around key and value go", "[E]\n  5  =   OK now  ", L"E", 5, L"OK now"},
    {"tabs and controls go", "[E]\n\t5\t=\tOK\x01\x1f", L"E", 5, L"OK"},
    {"further equals stay in the value", "[E]\n5=a=b==", L"E", 5, L"a=b=="},
    {"no escapes", "[E]\n5=a\\nb\\t", L"E", 5, L"a\\nb\\t"},
    {"no inline comment", "[E]\n5=a ; b", L"E", 5, L"a ; b"},
    {"empty value is present", "[E]\n5=", L"E", 5, L""},
    {"leading zero is never found", "[E]\n05=x", L"E", 5, std::nullopt},
    {"zero itself", "[E]\n0=English", L"E", 0, L"English"},
    {"double zero is not zero", "[E]\n00=x", L"E", 0, std::nullopt},
    {"sign is not decimal", "[E]\n+5=x", L"E", 5, std::nullopt},
    {"largest index", "[E]\n65535=x", L"E", 65535, L"x"},
    {"beyond 16 bits does not wrap", "[E]\n65536=x", L"E", 0, std::nullopt},
    {"full-width digit is no key", "[E]\n\xEF\xBC\x95=x", L"E", 5, std::nullopt},
    {"comment line", "[E]\n;5=x", L"E", 5, std::nullopt},
    {"indented comment line", "[E]\n   ;5=x", L"E", 5, std::nullopt},
    {"before the first section", "5=x\n[E]\n", L"E", 5, std::nullopt},
    {"bracket line with a tail is no section", "[A]\n[B]x\n5=y", L"A", 5, L"y"},
    {"line without equals never matches", "[E]\n5\n6=x", L"E", 5, std::nullopt},
    {"CR alone breaks lines", "[E]\r5=a\r6=b", L"E", 6, L"b"},
    {"LF CR is two breaks", "[E]\n\r5=a\n\r", L"E", 5, L"a"},
    {"missing section", "[E]\n5=a", L"F", 5, std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Cases, LangLineRules, ::testing::ValuesIn(LineCases),
                         [](const auto& info) {
                           std::string name;
                           for (const char* c = info.param.name; *c; ++c) {
                             name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                           }
                           return name;
                         });

}  // namespace

TEST_P(LangLineRules, Lookup) {
  const TLineCase& c = GetParam();
  EXPECT_EQ(Lookup(ParseUtf8(c.file), c.lang, c.index), c.expected);
}

TEST(LangKeys, OnlyCanonicalDecimal) {
  uint16_t index = 7;
  EXPECT_TRUE(ParseLangKey(L"0", index));
  EXPECT_EQ(index, 0);
  EXPECT_TRUE(ParseLangKey(L"72", index));
  EXPECT_EQ(index, 72);
  for (const wchar_t* bad : {L"", L"05", L"-1", L"+1", L"1 ", L"1a", L"0x1", L"65536", L"999999"}) {
    EXPECT_FALSE(ParseLangKey(bad, index)) << std::wstring(bad).size();
  }
}

TEST_F(LangFileTest, TwoSectionsOfOneNameAreListedTwiceAndTheLastAnswers) {
  LoadLangBytes(Utf8Bom("[A]\n0=first\n1=only here\n[B]\n0=b\n[a]\n0=second\n"), codePage);
  std::vector<std::wstring> sections{L"left over"};
  GetLangSections(sections);
  EXPECT_EQ(sections, (std::vector<std::wstring>{L"A", L"B", L"a"}));
  EXPECT_EQ(GetLangStr(L"A", 0), L"second");
  EXPECT_EQ(GetLangStr(L"a", 0), L"second");
  EXPECT_EQ(GetLangStr(L"A", 1), L"");  // the first section is shadowed as a whole
  EXPECT_EQ(GetLangStr(L"B", 0), L"b");
  // The first section keeps its lines, in order.
  ASSERT_EQ(LangFile.Sections().size(), 3u);
  EXPECT_EQ(LangFile.Sections()[0].Lines.size(), 2u);
}

TEST_F(LangFileTest, NoFileNoTexts) {
  const std::filesystem::path missing = TempFile(L"pulsery-no-such-langs.ini");
  std::filesystem::remove(missing);
  LoadLangBytes(Utf8Bom("[E]\n1=x"), codePage);
  EXPECT_FALSE(LoadLangFile(missing.wstring(), codePage));
  EXPECT_TRUE(LangFile.Empty());  // a failed load leaves nothing of the previous file
  EXPECT_EQ(GetLangStr(L"E", 1), L"");
  std::vector<std::wstring> sections{L"x"};
  GetLangSections(sections);
  EXPECT_TRUE(sections.empty());
  EXPECT_FALSE(LoadLangFile(L"", codePage));
}

TEST_F(LangFileTest, ReadsAFileWithAWideName) {
  // Named through the path type's UTF-8 form, so that the native build does
  // not depend on the C library's locale to write it.
  const std::filesystem::path folder = std::filesystem::temp_directory_path();
  const std::filesystem::path path =
      folder / std::filesystem::path(u8"Pulsery-spr\u00e5k-\u0444\u0430\u0439\u043b.ini");
  const std::wstring wideName =
      folder.generic_wstring() + L"/Pulsery-spr\u00e5k-\u0444\u0430\u0439\u043b.ini";
  WriteFile(path, Utf8Bom("[Deutsch]\r\n5=\xC3\x9C"
                          "bernehmen\r\n"));
  EXPECT_TRUE(LoadLangFile(wideName, codePage));
  EXPECT_EQ(GetLangStr(L"DEUTSCH", 5), L"\u00DCbernehmen");
  std::filesystem::remove(path);
}

// The same texts by every byte-order mark and, without one, the code page.
TEST_F(LangFileTest, EveryEncodingGivesTheSameTexts) {
  const std::u16string text =
      u"[Fran\u00e7ais]\r\n0=Fran\u00e7ais\r\n5=\u00c9tat \U0001F600 \u4E2D\r\n6=x\n";
  const std::string utf8 =
      "[Fran\xC3\xA7"
      "ais]\r\n0=Fran\xC3\xA7"
      "ais\r\n5=\xC3\x89tat \xF0\x9F\x98\x80 \xE4\xB8\xAD\r\n6=x\n";
  for (const std::string& bytes :
       {Utf8Bom(utf8), Utf16Bytes(text, false), Utf16Bytes(text, true)}) {
    const TLangFile file = TLangFile::Parse(DecodeLangBytes(bytes, codePage));
    EXPECT_EQ(Lookup(file, L"FRAN\u00c7AIS", 0), L"Fran\u00e7ais");
    EXPECT_EQ(Lookup(file, L"fran\u00e7ais", 5), L"\u00c9tat \U0001F600 \u4E2D");
    EXPECT_EQ(Lookup(file, L"Fran\u00e7ais", 6), L"x");
  }
  EXPECT_TRUE(codePage.Calls.empty());  // a marked file never goes through the code page

  const std::string latin1 =
      "[Fran\xE7"
      "ais]\r\n5=\xC9tat\r\n";
  const TLangFile file = TLangFile::Parse(DecodeLangBytes(latin1, codePage));
  EXPECT_EQ(Lookup(file, L"fran\u00e7ais", 5), L"\u00c9tat");
  ASSERT_EQ(codePage.Calls.size(), 1u);
  EXPECT_EQ(codePage.Calls[0], latin1);
}

struct TBytesCase {
  const char* name;
  std::string bytes;
  std::optional<std::wstring> text1;  // [E] 1
  std::optional<std::wstring> text2;  // [E] 2
};

TEST_F(LangFileTest, BadInputReadsAsFarAsValid) {
  const TBytesCase cases[] = {
      {"empty", "", std::nullopt, std::nullopt},
      {"mark only", "\xEF\xBB\xBF", std::nullopt, std::nullopt},
      {"incomplete mark is code page text", std::string("\xEF\xBB\r\n[E]\n1=a"), L"a",
       std::nullopt},
      {"NUL ends the text", std::string("[E]\n1=a\n\0\n2=b", 13), L"a", std::nullopt},
      {"NUL ends UTF-8", Utf8Bom(std::string("[E]\n1=a\0b\n2=c", 13)), L"a", std::nullopt},
      {"NUL ends UTF-16", Utf16Bytes(std::u16string(u"[E]\n1=a\0\n2=b", 12), false), L"a",
       std::nullopt},
      {"UTF-32 mark reads as UTF-16 ending at once", std::string("\xFF\xFE\0\0[\0E\0]\0", 10),
       std::nullopt, std::nullopt},
      {"UTF-32 BE mark starts with a NUL", std::string("\0\0\xFE\xFF\0\0\0[", 8), std::nullopt,
       std::nullopt},
      {"doubled mark hides the first section", Utf8Bom(Utf8Bom("[E]\n1=a")), std::nullopt,
       std::nullopt},
      {"odd trailing UTF-16 byte is dropped", Utf16Bytes(u"[E]\n1=ab", true) + "A", L"ab",
       std::nullopt},
      {"malformed UTF-8 becomes replacement characters",
       Utf8Bom("[E]\n1=a\xFF"
               "b\n2=\xC0\xAF\xED\xA0\x80\xE2\x82"),
       L"a\uFFFDb", L"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"lone surrogate in UTF-16 is kept", Utf16Bytes(u"[E]\n1=\xD800", false),
       std::wstring(1, wchar_t(0xD800)), std::nullopt},
  };
  for (const TBytesCase& c : cases) {
    LoadLangBytes(c.bytes, codePage);
    EXPECT_EQ(Lookup(LangFile, L"E", 1), c.text1) << c.name;
    EXPECT_EQ(Lookup(LangFile, L"E", 2), c.text2) << c.name;
  }
}

TEST_F(LangFileTest, BinaryGarbageNeverCrashes) {
  std::mt19937 random(20261210);
  std::string bytes(1 << 16, '\0');
  for (int round = 0; round < 8; ++round) {
    for (char& b : bytes) b = char(random());
    // Every prefix kind: no mark, UTF-8, UTF-16 LE and BE.
    static const char* const marks[] = {"", "\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"};
    std::string input = marks[round % 4] + bytes;
    // Sprinkle brackets and equals signs so that lines get parsed.
    for (size_t i = 0; i < input.size(); i += 97) input[i] = "[]=\n"[i % 4];
    LoadLangBytes(input, codePage);
    std::vector<std::wstring> sections;
    GetLangSections(sections);
    for (const std::wstring& name : sections) (void)GetLangStr(name, 1);
  }
}

TEST_F(LangFileTest, LongLineIsReadWhole) {
  const std::string longValue(100000, 'v');
  const std::string longName(100000, 'N');
  LoadLangBytes(Utf8Bom("[E]\n1=" + longValue + "\n[" + longName + "]\n2=x"), codePage);
  EXPECT_EQ(GetLangStr(L"E", 1), std::wstring(100000, L'v'));
  EXPECT_EQ(GetLangStr(std::wstring(100000, L'n'), 2), L"x");
}

TEST_F(LangFileTest, LargeFilesAreReadUpToTheLimitInWholeLines) {
  const std::filesystem::path path = TempFile(L"pulsery-large-langs.ini");
  const std::string filler = "1=" + std::string(98, 'f') + "\r\n";  // 102 bytes

  std::string ten(Utf8Bom("[E]\r\n"));
  while (ten.size() < 10'000'000) ten += filler;
  ten += "2=last";
  WriteFile(path, ten);
  EXPECT_TRUE(LoadLangFile(path.wstring(), codePage));
  EXPECT_EQ(GetLangStr(L"E", 2), L"last");

  // Past the limit (a small one here): a line that starts 92 bytes before it
  // and ends 110 bytes after it is dropped whole.
  constexpr size_t limit = 1 << 16;
  std::string over(Utf8Bom("[E]\r\n"));
  while (over.size() + filler.size() < limit - 200) over += filler;
  over += ";" + std::string(limit - 100 - over.size() - 3, 'p') + "\r\n";
  over += "3=kept\r\n2=" + std::string(200, 'c') + "\r\n4=beyond";
  ASSERT_EQ(over.find("2=c"), limit - 92);
  WriteFile(path, over);
  EXPECT_TRUE(LoadLangFile(path.wstring(), codePage, limit));
  EXPECT_EQ(GetLangStr(L"E", 3), L"kept");
  EXPECT_EQ(GetLangStr(L"E", 2), L"");
  EXPECT_EQ(GetLangStr(L"E", 4), L"");
  EXPECT_TRUE(LoadLangFile(path.wstring(), codePage, limit - 92));  // cut right after a break
  EXPECT_EQ(GetLangStr(L"E", 3), L"kept");
  EXPECT_TRUE(LoadLangFile(path.wstring(), codePage));  // the real limit reads it all
  EXPECT_EQ(GetLangStr(L"E", 4), L"beyond");
  FreeLangFile();
  std::filesystem::remove(path);
}
