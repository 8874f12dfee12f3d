// The INI reader against the system's own profile-string reader, and failing
// writes against the real file system.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/u_handles_win32.h"
#include "settings/u_inifile.h"

namespace fs = std::filesystem;

namespace {

class IniWin32 : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    Dir = fs::temp_directory_path() / (std::string("pulsery_ini_") + info->name());
    fs::remove_all(Dir);
    fs::create_directories(Dir);
  }
  void TearDown() override {
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(Dir, ignored))
      SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    fs::remove_all(Dir, ignored);
  }
  static void Put(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  static std::string Bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static std::wstring SystemRead(const fs::path& path, const std::wstring& section,
                                 const std::wstring& key, const std::wstring& def) {
    std::wstring buffer(2048, L'\0');
    const DWORD n = GetPrivateProfileStringW(section.c_str(), key.c_str(), def.c_str(),
                                             buffer.data(), 2048, path.c_str());
    buffer.resize(n);
    return buffer;
  }
  fs::path Dir;
};

struct TAgreeCase {
  const char* Name;
  std::string Bytes;
};

}  // namespace

TEST_F(IniWin32, ReaderAgreesWithGetPrivateProfileString) {
  auto u16 = [](const std::wstring& text) { return EncodeUtf16Le(text); };
  const TAgreeCase files[] = {
      {"plain", u16(L"[Options]\r\nCurLang=German\r\nStartUp=0\r\n")},
      {"case", u16(L"[oPTIONS]\r\ncURLANG=GeRman\r\nSTARTUP=1\r\n")},
      {"blanks", u16(L"  [Options]  \r\n  CurLang \t=   Ger man  \r\n\tStartUp= 1\r\n")},
      {"quotes", u16(L"[Options]\r\nCurLang=\"  German \"\r\nStartUp='1'\r\nShowMAC=\"x'\r\n"
                     L"ShowIPv4=\"\r\nShowIPv6=\"\"\"\"\r\nDailyUpd=\"\"\r\n")},
      {"empty", u16(L"[Options]\r\nCurLang=\r\nStartUp=   \r\n")},
      {"equals", u16(L"[Options]\r\nCurLang=a=b\r\nStartUp==1\r\n")},
      {"duplicates",
       u16(L"[Options]\r\nCurLang=A\r\nCurLang=B\r\n[Other]\r\nx=1\r\n[options]\r\nCurLang=C\r\n"
           L"StartUp=1\r\n")},
      {"missing", u16(L"[Other]\r\nCurLang=A\r\n[Options]\r\nStartUp=1\r\n")},
      {"comments", u16(L"; CurLang=A\r\n[Options]\r\n;CurLang=B\r\n; StartUp=1\r\nShowMAC\r\n")},
      {"before section", u16(L"CurLang=A\r\n[Options]\r\nStartUp=1\r\n")},
      {"line ends", u16(L"[Options]\nCurLang=A\nStartUp=0\n[Other]\r\nx=1")},
      {"long value", u16(L"[Options]\r\nCurLang=" + std::wstring(3000, L'v') + L"\r\n")},
      {"non-ascii", u16(L"[Options]\r\nCurLang=\x0420\x0443\x0441\x0441\x043A\x0438\x0439\r\n")},
      {"utf8 bom", "\xEF\xBB\xBF[Options]\r\nCurLang=Espa\xC3\xB1ol\r\nStartUp=0\r\n"},
      {"ansi", "[Options]\r\nCurLang= 'German' \r\nStartUp=0x1\r\n"},
      {"odd headers", u16(L"[ Options ]\r\nCurLang=A\r\n[Other] ; note\r\nx=1\r\n")},
      {"inner blanks", u16(L"[Options]\r\nCur Lang=A\r\nCurLang\t =\tB\t\r\n")},
      {"nul", u16(std::wstring(L"[Options]\r\nCurLang=A") + L'\0' + L"B\r\nStartUp=1\r\n")},
      {"no file", ""},
  };
  const std::wstring sections[] = {L"Options", L"OPTIONS", L"Other", L"Missing"};
  const std::wstring keys[] = {L"CurLang",  L"curlang",  L"StartUp", L"ShowMAC", L"ShowIPv4",
                               L"ShowIPv6", L"DailyUpd", L"x",       L"Nothing"};
  int index = 0;
  int found = 0;  // answers that are no default: the table really compares values
  for (const TAgreeCase& file : files) {
    // A new name per file: the system caches profiles by name and time.
    const fs::path path = Dir / ("agree" + std::to_string(index++) + ".ini");
    if (!file.Bytes.empty()) Put(path, file.Bytes);
    const TIniFile ini = TIniFile::Parse(file.Bytes);
    for (const std::wstring& section : sections)
      for (const std::wstring& key : keys) {
        const std::wstring system = SystemRead(path, section, key, L"<def>");
        EXPECT_EQ(ini.ReadString(section, key, L"<def>"), system)
            << file.Name << " [" << fs::path(section).string() << "] " << fs::path(key).string();
        found += system != L"<def>";
      }
  }
  EXPECT_GT(found, 60);
}

TEST_F(IniWin32, FirstSaveAndReplacementOnTheRealFileSystem) {
  const std::wstring path = (Dir / "PulseryIntfs.ini").wstring();
  ASSERT_TRUE(IniWriteSection(NativeFileSystem(), path, L"{A}", {{L"OwnIcon", L"1"}}));
  ASSERT_TRUE(IniWriteSection(NativeFileSystem(), path, L"{B}", {{L"OwnIcon", L"0"}}));
  EXPECT_EQ(Bytes(path), EncodeUtf16Le(L"[{A}]\r\nOwnIcon=1\r\n\r\n[{B}]\r\nOwnIcon=0\r\n\r\n"));
  EXPECT_EQ(SystemRead(path, L"{b}", L"ownicon", L"?"), L"0");
  EXPECT_FALSE(fs::exists(path + L".tmp"));
}

TEST_F(IniWin32, FailedWritesLeaveTheOldFileWhole) {
  TFileSystem& real = NativeFileSystem();
  const std::string old =
      EncodeUtf16Le(L"[Options]\r\nCurLang=German\r\n\r\n[Keep]\r\nx=1\r\n\r\n");
  const TIniKeys keys = {{L"CurLang", L"French"}};

  // The folder does not exist.
  EXPECT_FALSE(IniWriteSection(real, (Dir / "missing" / "o.ini").wstring(), L"Options", keys));
  EXPECT_FALSE(fs::exists(Dir / "missing"));

  // A read-only file.
  const fs::path readOnly = Dir / "readonly.ini";
  Put(readOnly, old);
  ASSERT_TRUE(SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(IniWriteSection(real, readOnly.wstring(), L"Options", keys));
  EXPECT_EQ(Bytes(readOnly), old);

  // A file another program holds open: first one that may only be read,
  // then one that may not even be read.
  for (const DWORD share : {DWORD{FILE_SHARE_READ}, DWORD{0}}) {
    const fs::path locked = Dir / ("locked" + std::to_string(share) + ".ini");
    Put(locked, old);
    THandle holder(CreateFileW(locked.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_NE(holder.get(), INVALID_HANDLE_VALUE);
    EXPECT_FALSE(IniWriteSection(real, locked.wstring(), L"Options", keys)) << share;
    holder.reset();
    EXPECT_EQ(Bytes(locked), old) << share;
    EXPECT_FALSE(fs::exists(locked.wstring() + L".tmp")) << share;
  }

  // A folder where the file should be.
  const fs::path folder = Dir / "folder.ini";
  fs::create_directory(folder);
  EXPECT_FALSE(IniWriteSection(real, folder.wstring(), L"Options", keys));
  EXPECT_TRUE(fs::is_directory(folder));
}
