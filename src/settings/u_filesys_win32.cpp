// The file-system port on Windows. Replacing uses ReplaceFileW, which keeps
// the old file's attributes and security; a first save moves the new file
// into place.
#include <windows.h>

#include <algorithm>

#include "common/u_handles_win32.h"
#include "settings/u_filesys.h"

namespace {

// CreateFileW reports failure as INVALID_HANDLE_VALUE, not as a null handle.
THandle OwnFile(HANDLE file) {
  return THandle(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

bool IsMissingError(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

class TWin32FileSystem final : public TFileSystem {
 public:
  TReadResult ReadAll(const std::wstring& path, std::string& bytes) override {
    bytes.clear();
    const THandle file =
        OwnFile(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return IsMissingError(GetLastError()) ? TReadResult::Missing : TReadResult::Failed;
    char buffer[65536];
    for (;;) {
      DWORD n = 0;
      if (!::ReadFile(file.get(), buffer, sizeof buffer, &n, nullptr)) {
        bytes.clear();
        return TReadResult::Failed;
      }
      if (n == 0) break;
      bytes.append(buffer, n);
    }
    return TReadResult::Ok;
  }

  bool WriteAll(const std::wstring& path, const std::string& bytes) override {
    const THandle file = OwnFile(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    size_t done = 0;
    while (done < bytes.size()) {
      const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
      DWORD n = 0;
      if (!::WriteFile(file.get(), bytes.data() + done, chunk, &n, nullptr) || n == 0) return false;
      done += n;
    }
    return FlushFileBuffers(file.get()) != FALSE;
  }

  bool Replace(const std::wstring& source, const std::wstring& target) override {
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
      if (!IsMissingError(GetLastError())) return false;
      return MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) != FALSE;
    }
    // A read-only file is one the user wants left alone; a folder cannot be
    // replaced by a file.
    if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) return false;
    return ReplaceFileW(target.c_str(), source.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                        nullptr, nullptr) != FALSE;
  }

  bool Remove(const std::wstring& path) override { return DeleteFileW(path.c_str()) != FALSE; }

  bool FolderExists(const std::wstring& path) override {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
  }

  bool MakeFolder(const std::wstring& path) override {
    return CreateDirectoryW(path.c_str(), nullptr) != FALSE;
  }
};

}  // namespace

TFileSystem& NativeFileSystem() {
  static TWin32FileSystem fs;
  return fs;
}
