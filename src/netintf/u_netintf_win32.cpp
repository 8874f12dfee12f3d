#include "netintf/u_netintf_win32.h"

#include <windows.h>

#include "common/u_handles_win32.h"

std::optional<std::vector<std::wstring>> ReadTcpipInterfaceNames() {
  HKEY raw = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE,
                    L"SYSTEM\\CurrentControlSet\\services\\Tcpip\\Parameters\\Interfaces", 0,
                    KEY_READ, &raw) != ERROR_SUCCESS)
    return std::nullopt;
  TRegKey key(raw);
  std::vector<std::wstring> names;
  DWORD count = 0, longest = 0;
  if (RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr,
                       nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
    return names;
  std::wstring name(longest + 1, L'\0');
  for (DWORD i = 0; i < count; ++i) {
    DWORD length = DWORD(name.size());
    if (RegEnumKeyExW(key.get(), i, name.data(), &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS)
      break;  // what was listed so far stands
    names.emplace_back(name.data(), length);
  }
  return names;
}
