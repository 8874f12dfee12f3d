#include "settings/u_filesys.h"

bool WriteFileAtomic(TFileSystem& fs, const std::wstring& path, const std::string& bytes) {
  const std::wstring temp = path + L".tmp";
  // A temporary file left by an interrupted save would only be overwritten;
  // removing it first also clears one that was made read-only.
  fs.Remove(temp);
  if (!fs.WriteAll(temp, bytes)) {
    fs.Remove(temp);
    return false;
  }
  if (!fs.Replace(temp, path)) {
    // A replacement can fail after the old file is already gone (the system
    // removed it, then could not rename the new one): the new file is then
    // the only copy left and goes into the free name instead of away.
    std::string ignored;
    if (fs.ReadAll(path, ignored) == TReadResult::Missing && fs.Replace(temp, path)) return true;
    fs.Remove(temp);
    return false;
  }
  return true;
}

bool IsPathDelim(wchar_t c) {
  return c == L'\\' || c == L'/';
}

std::wstring IncludeTrailingPathDelimiter(const std::wstring& path) {
  if (!path.empty() && IsPathDelim(path.back())) return path;
  return path + PathDelim;
}

std::wstring ExtractFilePath(const std::wstring& path) {
  size_t n = path.size();
  while (n > 0 && !IsPathDelim(path[n - 1]) && path[n - 1] != L':') --n;
  return path.substr(0, n);
}
