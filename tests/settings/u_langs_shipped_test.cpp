// The language file we ship: every language complete, nothing stray, and the
// marks each text needs in its place.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "common/u_common.h"
#include "fakes/fake_code_page.h"
#include "settings/u_langs.h"

namespace {

const std::vector<std::wstring> ShippedSections = {L"English", L"German",  L"French",
                                                   L"Spanish", L"Italian", L"Portuguese (Brazil)",
                                                   L"Russian", L"Polish",  L"Chinese (Simplified)",
                                                   L"Japanese"};

// Every index the tool looks up: 0 to 72 without 12 to 14, 33 and 34.
std::set<uint16_t> LookedUp() {
  std::set<uint16_t> indices;
  for (uint16_t i = 0; i <= 72; ++i) {
    if ((i < 12 || i > 14) && i != 33 && i != 34) indices.insert(i);
  }
  return indices;
}

// Menu items, check boxes, radio buttons and buttons other than OK and Cancel
// carry one "&" mnemonic. Texts shown elsewhere too (window captions 2 and 64),
// the Language menu (21, whose English text is compared as a plain word) and
// labels, messages and status texts carry none.
const std::set<uint16_t> WithMnemonic = {7,  9,  15, 16, 17, 18, 19, 20, 22, 27, 40,
                                         41, 42, 43, 44, 47, 48, 49, 50, 51, 52, 53,
                                         54, 55, 56, 61, 62, 63, 65, 66, 67, 68};

// Items seen together in one menu or window: their mnemonics must differ.
const std::vector<std::vector<uint16_t>> MnemonicGroups = {
    {15, 16, 61, 17, 18, 47, 19},  // tray menu of an interface
    {27, 17, 18, 47, 19},          // tray menu of the all-interfaces entry
    {22, 41, 52, 48, 19},          // Options menu
    {40, 53, 54, 55},              // status-text submenu
    {49, 50, 51},                  // animation speed submenu
    {65, 62, 66, 67},              // Help menu
    {20, 63, 7, 9, 56, 44},        // settings window of an interface, with the menu bar
    {20, 63, 7, 42, 43, 44},       // settings window of the all-interfaces entry
};

std::filesystem::path ShippedPath() {
  // The source tree's file, else the copy beside the program one folder up.
  const std::filesystem::path candidates[] = {
      std::filesystem::path(__FILE__).parent_path() / ".." / ".." / "data" / "PulseryLangs.ini",
      std::filesystem::path("..") / "PulseryLangs.ini",
  };
  for (const auto& path : candidates) {
    std::error_code error;
    if (std::filesystem::is_regular_file(path, error)) return path;
  }
  return {};
}

// The character after the single "&" mark, or 0 when there is none.
wchar_t Mnemonic(const std::wstring& text) {
  const size_t mark = text.find(L'&');
  return mark == std::wstring::npos || mark + 1 >= text.size() ? 0 : text[mark + 1];
}

// What a translation must keep of the English text: its mnemonic mark and any
// format placeholders ("%" and "{" sequences; the table has none today).
std::multiset<std::wstring> Placeholders(const std::wstring& text) {
  std::multiset<std::wstring> marks;
  if (text.find(L'&') != std::wstring::npos) marks.insert(L"&");
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'%' && i + 1 < text.size()) marks.insert(text.substr(i, 2));
    if (text[i] == L'{') marks.insert(text.substr(i, text.find(L'}', i) - i + 1));
  }
  return marks;
}

class ShippedLangs : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    path_ = new std::filesystem::path(ShippedPath());
    TFakeCodePage codePage;
    if (!path_->empty()) LoadLangFile(path_->wstring(), codePage);
  }
  static void TearDownTestSuite() {
    FreeLangFile();
    delete path_;
  }
  static std::filesystem::path* path_;
};
std::filesystem::path* ShippedLangs::path_ = nullptr;

}  // namespace

TEST_F(ShippedLangs, IsUtf8WithMarkAndHoldsTheLanguagesInOrder) {
  ASSERT_FALSE(path_->empty()) << "PulseryLangs.ini not found";
  std::ifstream in(*path_, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
  for (size_t i = bytes.find('\n'); i != std::string::npos; i = bytes.find('\n', i + 1)) {
    ASSERT_EQ(bytes[i - 1], '\r') << "line end at byte " << i;
  }

  std::vector<std::wstring> sections;
  GetLangSections(sections);
  EXPECT_EQ(sections, ShippedSections);
  // The default language exists, and every language names itself differently.
  EXPECT_EQ(GetLangStr(L"English", 0), L"English");
  std::set<std::wstring> ownNames;
  for (const std::wstring& s : sections) ownNames.insert(LowerStr(GetLangStr(s, 0)));
  EXPECT_EQ(ownNames.size(), sections.size());
}

TEST_F(ShippedLangs, EveryLanguageHasEveryIndexOnceAndNothingElse) {
  ASSERT_EQ(LangFile.Sections().size(), ShippedSections.size());
  const std::set<uint16_t> expected = LookedUp();
  for (const TLangSection& section : LangFile.Sections()) {
    std::set<uint16_t> found;
    for (const TLangLine& line : section.Lines) {
      uint16_t index = 0;
      ASSERT_TRUE(line.HasValue && ParseLangKey(line.Key, index))
          << "stray line in " << testing::PrintToString(section.Name);
      EXPECT_TRUE(found.insert(index).second) << "twice: " << index;
      EXPECT_FALSE(line.Value.empty()) << index;
    }
    EXPECT_EQ(found, expected) << testing::PrintToString(section.Name);
  }
}

TEST_F(ShippedLangs, TranslationsKeepMnemonicsAndPlaceholders) {
  for (uint16_t index : LookedUp()) {
    const std::wstring english = GetLangStr(L"English", index);
    EXPECT_EQ(Mnemonic(english) != 0, WithMnemonic.count(index) == 1) << index;
    for (const std::wstring& lang : ShippedSections) {
      const std::wstring text = GetLangStr(lang, index);
      SCOPED_TRACE(testing::PrintToString(lang) + " " + std::to_string(index));
      EXPECT_EQ(Placeholders(text), Placeholders(english));
      // One mark, followed by the letter it underlines ("&&" would show "&").
      if (WithMnemonic.count(index)) {
        EXPECT_EQ(text.find(L'&'), text.rfind(L'&'));
        EXPECT_GT(static_cast<uint32_t>(Mnemonic(text)), 0x20u);
      }
      // The tool appends the colons itself (labels, status text, update dialog).
      EXPECT_NE(text.back(), L':');
      EXPECT_NE(text.back(), L'\xFF1A');
      EXPECT_EQ(text.find_first_of(L"\t\r\n\x02\x03"), std::wstring::npos);
    }
  }
}

TEST_F(ShippedLangs, MnemonicsDifferWithinEachMenuAndWindow) {
  for (const std::wstring& lang : ShippedSections) {
    for (const auto& group : MnemonicGroups) {
      std::map<wchar_t, uint16_t> seen;
      for (uint16_t index : group) {
        const wchar_t key = UpperChar(Mnemonic(GetLangStr(lang, index)));
        const auto [at, fresh] = seen.emplace(key, index);
        EXPECT_TRUE(fresh) << testing::PrintToString(lang) << ": " << index << " and "
                           << at->second;
      }
    }
  }
}

TEST_F(ShippedLangs, LanguageMenuCaptionAndButtonsFit) {
  // English text 21 is the plain word, so its menu reads "Language" alone.
  EXPECT_EQ(LowerStr(GetLangStr(L"English", 21)), L"language");
  for (const std::wstring& lang : ShippedSections) {
    SCOPED_TRACE(testing::PrintToString(lang));
    // Buttons of 92 and 177 pixels at 96 dots per inch.
    for (uint16_t index : {5, 6, 7}) EXPECT_LE(GetLangStr(lang, index).size(), 14u) << index;
    EXPECT_LE(GetLangStr(lang, 68).size(), 26u);
  }
}

TEST_F(ShippedLangs, UnitsAreDistinctAndSafeForTheNumberPatterns) {
  for (const std::wstring& lang : ShippedSections) {
    SCOPED_TRACE(testing::PrintToString(lang));
    std::set<std::wstring> speed, size;
    for (uint16_t index : {29, 30, 31, 32}) speed.insert(GetLangStr(lang, index));
    for (uint16_t index : {35, 36, 37, 38, 39}) size.insert(GetLangStr(lang, index));
    EXPECT_EQ(speed.size(), 4u);
    EXPECT_EQ(size.size(), 5u);
    // Speed units 30 to 32 go through the number pattern with the value, so
    // none of the pattern's own characters may appear in them.
    for (uint16_t index : {30, 31, 32}) {
      const std::wstring unit = GetLangStr(lang, index);
      EXPECT_EQ(unit.find_first_of(L"0#.,;'\""), std::wstring::npos) << index;
      for (size_t i = 0; i + 1 < unit.size(); ++i) {
        const bool exponent =
            (unit[i] == L'E' || unit[i] == L'e') && (unit[i + 1] == L'+' || unit[i + 1] == L'-');
        EXPECT_FALSE(exponent) << index;
      }
    }
  }
}

TEST_F(ShippedLangs, CopyBesideTheProgramIsTheShippedFile) {
  // The Windows build copies the file beside pulsery.exe, one folder above the
  // test executable; a native build has no copy.
  const std::filesystem::path copy = std::filesystem::path("..") / "PulseryLangs.ini";
  std::error_code error;
  if (!std::filesystem::is_regular_file(copy, error) ||
      std::filesystem::equivalent(copy, *path_, error)) {
    GTEST_SKIP() << "no copy beside the program";
  }
  auto read = [](const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  };
  EXPECT_EQ(read(copy), read(*path_));
  TFakeCodePage codePage;
  ASSERT_TRUE(LoadLangFile(copy.wstring(), codePage));
  std::vector<std::wstring> sections;
  GetLangSections(sections);
  EXPECT_EQ(sections, ShippedSections);
  EXPECT_EQ(GetLangStr(L"japanese", 21), L"\u8A00\u8A9E");
  LoadLangFile(path_->wstring(), codePage);  // as the other tests of the suite expect
}
