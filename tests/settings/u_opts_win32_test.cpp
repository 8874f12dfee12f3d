// Options, data folder and start at logon against Wine's real shell folders,
// registry and file system.
#include "settings/u_opts_win32.h"

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>

#include "settings/u_inifile.h"

namespace fs = std::filesystem;

namespace {

constexpr wchar_t RunKeyPath[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// The Run value as stored, or nothing.
std::optional<std::wstring> ReadRunValue(DWORD* type = nullptr) {
  wchar_t data[1024] = {};
  DWORD size = sizeof data - sizeof(wchar_t);
  DWORD kind = 0;
  if (RegGetValueW(HKEY_CURRENT_USER, RunKeyPath, L"Pulsery", RRF_RT_ANY | RRF_NOEXPAND, &kind,
                   data, &size) != ERROR_SUCCESS)
    return std::nullopt;
  if (type) *type = kind;
  return std::wstring(data);
}

// Puts back whatever Run value there was before the test.
class RunValueGuard {
 public:
  RunValueGuard() : Saved_(ReadRunValue()) {}
  ~RunValueGuard() {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, RunKeyPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
      return;
    if (Saved_)
      RegSetValueExW(key, L"Pulsery", 0, REG_SZ, reinterpret_cast<const BYTE*>(Saved_->c_str()),
                     static_cast<DWORD>((Saved_->size() + 1) * sizeof(wchar_t)));
    else
      RegDeleteValueW(key, L"Pulsery");
    RegCloseKey(key);
  }

 private:
  std::optional<std::wstring> Saved_;
};

std::wstring ExePath() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return path;
}

// A data folder of the test's own.
class TTempPaths final : public TShellPaths {
 public:
  std::wstring Base;
  std::wstring SpecialFolder(int) override { return Base; }
  std::wstring ExePath() override { return ::ExePath(); }
};

}  // namespace

TEST(AutoStartWin32, RunValueIsWrittenReadAndDeleted) {
  RunValueGuard guard;
  const std::wstring expected = L"\"" + ExePath() + L"\" /tray";

  SetAutoStart(false);
  EXPECT_FALSE(IsAutoStart());
  EXPECT_FALSE(ReadRunValue());

  SetAutoStart(true);
  DWORD type = 0;
  EXPECT_EQ(ReadRunValue(&type), expected);
  EXPECT_EQ(type, DWORD{REG_SZ});
  EXPECT_TRUE(IsAutoStart());

  // Start-up leaves a present value alone, whatever it holds...
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, RunKeyPath, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
  const wchar_t other[] = L"\"C:\\elsewhere.exe\" /tray";
  RegSetValueExW(key, L"Pulsery", 0, REG_SZ, reinterpret_cast<const BYTE*>(other), sizeof other);
  RegCloseKey(key);
  TOptParams params;
  ApplyStartUp(params);
  EXPECT_EQ(ReadRunValue(), std::wstring(other));

  // ...and writes a missing one while StartUp is set, but not when clear.
  SetAutoStart(false);
  params.StartUp = false;
  ApplyStartUp(params);
  EXPECT_FALSE(ReadRunValue());
  params.StartUp = true;
  ApplyStartUp(params);
  EXPECT_EQ(ReadRunValue(), expected);

  SetAutoStart(false);
  EXPECT_FALSE(IsAutoStart());
}

TEST(DataFolderWin32, CreatedUnderLocalAppData) {
  wchar_t local[MAX_PATH] = {};
  ASSERT_TRUE(SHGetSpecialFolderPathW(nullptr, local, CSIDL_LOCAL_APPDATA, FALSE));
  EXPECT_EQ(GetSpecialFolder(CSIDL_LOCAL_APPDATA), local);
  const fs::path expected = fs::path(local) / L"Pulsery";
  const bool existed = fs::exists(expected);

  EXPECT_EQ(GetDataFolder(), expected.wstring());
  EXPECT_TRUE(fs::is_directory(expected));
  EXPECT_EQ(GetDataFolder(), expected.wstring());  // found the second time
  if (!existed) fs::remove(expected);

  // Where the folder cannot be made, the executable's folder.
  TTempPaths paths;
  paths.Base = (fs::temp_directory_path() / "pulsery_no_such" / "deeper").wstring();
  EXPECT_EQ(GetDataFolder(paths, NativeFileSystem()), ExtractFilePath(ExePath()));
  EXPECT_EQ(GetSpecialFolder(-1), L"");
}

TEST(OptionsWin32, FirstRunFileOnDiskAndTheLocalClock) {
  TTempPaths paths;
  const fs::path base = fs::temp_directory_path() / "pulsery_opts_win32";
  fs::remove_all(base);
  fs::create_directories(base);
  paths.Base = base.wstring();

  SYSTEMTIME before{};
  GetLocalTime(&before);
  uint16_t minute;
  {
    TMyOpts opts(NativeFileSystem(), paths, Win32Clock());
    minute = opts.CheckMinute;
  }
  SYSTEMTIME after{};
  GetLocalTime(&after);
  EXPECT_TRUE(minute == before.wMinute || minute == after.wMinute);

  const fs::path file = base / "Pulsery" / "PulseryOpts.ini";
  std::ifstream in(file, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), {}};
  EXPECT_EQ(
      bytes,
      EncodeUtf16Le(L"[Options]\r\nCurLang=English\r\nStartUp=1\r\nUseRound=1\r\nExcludeSvc=0\r\n"
                    L"AnimSpeed=0\r\nShowMAC=1\r\nShowIPv4=1\r\nShowIPv6=1\r\nLastUpd=0\r\n"
                    L"DailyUpd=1\r\n\r\n"));
  wchar_t lang[64] = {};
  GetPrivateProfileStringW(L"options", L"curlang", L"", lang, 64, file.c_str());
  EXPECT_STREQ(lang, L"English");

  const TLocalDateTime now = Win32Clock().LocalNow();
  const TDateTimeParts parts = DecodeDateTime(now);
  EXPECT_EQ(parts.Year, after.wYear);
  EXPECT_EQ(parts.Month, after.wMonth);
  in.close();
  fs::remove_all(base);
}
