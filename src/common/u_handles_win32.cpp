#include "common/u_handles_win32.h"

#include <string>

HMODULE LoadSystemLibrary(const wchar_t* name) {
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  std::wstring path(folder, length);
  path += L'\\';
  path += name;
  return LoadLibraryW(path.c_str());
}
