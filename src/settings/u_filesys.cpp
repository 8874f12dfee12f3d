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
