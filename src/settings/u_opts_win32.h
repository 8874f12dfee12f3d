// The options' platform on Windows: shell folders, the executable's path,
// the local clock and the per-user Run key; and the tool's own entry points
// bound to them.
#pragma once

#include <string>

#include "settings/u_opts.h"

TShellPaths& Win32ShellPaths();
TClock& Win32Clock();
TRunKey& Win32RunKey();

// SHGetSpecialFolderPathW without creation; "" on failure.
std::wstring GetSpecialFolder(int csidl);
// The per-user data folder (see GetDataFolder(paths, fs)).
std::wstring GetDataFolder();
bool IsAutoStart();
void SetAutoStart(bool enable);
// At start: writes the Run value when StartUp is set and it is missing.
void ApplyStartUp(const TOptParams& params);
