// The language file's Windows side against Wine's real code page and module
// path.
#include "settings/u_langs_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

class LangsWin32 : public ::testing::Test {
 protected:
  void TearDown() override { FreeLangFile(); }
};

}  // namespace

TEST_F(LangsWin32, AnsiCodePageDecodesLikeTheSystem) {
  const TCodePage& codePage = Win32AnsiCodePage();
  EXPECT_EQ(codePage.Decode("[English]\r\n5=OK"), L"[English]\r\n5=OK");
  EXPECT_EQ(codePage.Decode(""), L"");
  if (GetACP() == 1252) {
    EXPECT_EQ(codePage.Decode("\xC9tat \x80 \xFC"), L"\u00C9tat \u20AC \u00FC");
  }
  // A file without a mark reads through it.
  LoadLangBytes(
      "[Fran\xE7"
      "ais]\r\n0=Fran\xE7"
      "ais\r\n",
      codePage);
  wchar_t expected[16] = {};
  ASSERT_GT(MultiByteToWideChar(CP_ACP, 0,
                                "Fran\xE7"
                                "ais",
                                -1, expected, 16),
            0);
  EXPECT_EQ(GetLangStr(expected, 0), expected);
}

TEST_F(LangsWin32, FileLiesBesideTheExecutable) {
  wchar_t exe[MAX_PATH * 4] = {};
  ASSERT_GT(GetModuleFileNameW(nullptr, exe, MAX_PATH * 4), 0u);
  const std::filesystem::path expected = std::filesystem::path(exe).parent_path() / LangFileName;
  EXPECT_EQ(std::filesystem::path(LangFilePath()), expected);
}

TEST_F(LangsWin32, ReadsAFileBesideTheExecutableAtStart) {
  // A language file put beside the test executable for the duration of the test.
  const std::filesystem::path path(LangFilePath());
  ASSERT_FALSE(std::filesystem::exists(path)) << "left over from an earlier run";
  {
    std::ofstream out(path, std::ios::binary);
    static const char bytes[] =
        "\xFF\xFE[\0T\0]\0\r\0\n\0"
        "1\0=\0\x14\x20";  // UTF-16 LE
    out.write(bytes, sizeof bytes - 1);
  }
  LoadLangFileAtStart();
  std::filesystem::remove(path);
  EXPECT_EQ(GetLangStr(L"t", 1), L"\u2014");
  std::vector<std::wstring> sections;
  GetLangSections(sections);
  EXPECT_EQ(sections, std::vector<std::wstring>{L"T"});

  LoadLangFileAtStart();  // no file: no texts, and the tool runs on
  EXPECT_EQ(GetLangStr(L"T", 1), L"");
}
