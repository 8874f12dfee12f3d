#include "settings/u_opts_win32.h"

#include <windows.h>
#include <shlobj.h>

#include <vector>

#include "common/u_handles_win32.h"

namespace {

constexpr wchar_t RunKeyPath[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

inline void RegCloseKeyOwner(HKEY key) {
  RegCloseKey(key);
}
using TRegKey = TUnique<HKEY, &RegCloseKeyOwner>;

class TWin32ShellPaths final : public TShellPaths {
 public:
  std::wstring SpecialFolder(int csidl) override {
    wchar_t path[MAX_PATH + 1] = {};
    if (!SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE)) return {};
    return path;
  }
  std::wstring ExePath() override {
    // Paths may exceed MAX_PATH; grow until the whole path fits.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
      const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
      if (n == 0) return {};
      if (n < buffer.size()) return std::wstring(buffer.data(), n);
      if (buffer.size() >= 32768) return {};
      buffer.resize(buffer.size() * 2);
    }
  }
};

class TWin32Clock final : public TClock {
 public:
  TLocalDateTime LocalNow() override {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    return EncodeDateTime({t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond});
  }
};

class TWin32RunKey final : public TRunKey {
 public:
  bool ValueExists(const std::wstring& name) override {
    HKEY raw = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, RunKeyPath, 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS)
      return false;
    TRegKey key(raw);
    return RegQueryValueExW(key.get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS;
  }
  bool DeleteValue(const std::wstring& name) override {
    TRegKey key = CreateKey();
    return key && RegDeleteValueW(key.get(), name.c_str()) == ERROR_SUCCESS;
  }
  bool WriteValue(const std::wstring& name, const std::wstring& text) override {
    TRegKey key = CreateKey();
    if (!key) return false;
    const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key.get(), name.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(text.c_str()), bytes) == ERROR_SUCCESS;
  }

 private:
  static TRegKey CreateKey() {
    HKEY raw = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, RunKeyPath, 0, nullptr, 0,
                        KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &raw, nullptr) != ERROR_SUCCESS)
      return TRegKey();
    return TRegKey(raw);
  }
};

}  // namespace

TShellPaths& Win32ShellPaths() {
  static TWin32ShellPaths paths;
  return paths;
}

TClock& Win32Clock() {
  static TWin32Clock clock;
  return clock;
}

TRunKey& Win32RunKey() {
  static TWin32RunKey run;
  return run;
}

std::wstring GetSpecialFolder(int csidl) {
  return Win32ShellPaths().SpecialFolder(csidl);
}

std::wstring GetDataFolder() {
  return GetDataFolder(Win32ShellPaths(), NativeFileSystem());
}

bool IsAutoStart() {
  return IsAutoStart(Win32RunKey());
}

void SetAutoStart(bool enable) {
  try {
    SetAutoStart(Win32RunKey(), Win32ShellPaths().ExePath(), enable);
  } catch (...) {
  }
}

void ApplyStartUp(const TOptParams& params) {
  try {
    ApplyStartUp(params, Win32RunKey(), Win32ShellPaths().ExePath());
  } catch (...) {
  }
}
