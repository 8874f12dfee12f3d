// The file-system port on POSIX systems (the native build of the core).
#ifndef _WIN32

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "settings/u_filesys.h"

namespace {

std::string NarrowPath(const std::wstring& path) {
  return std::filesystem::path(path).string();
}

class TPosixFileSystem final : public TFileSystem {
 public:
  TReadResult ReadAll(const std::wstring& path, std::string& bytes) override {
    bytes.clear();
    const int fd = open(NarrowPath(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
      return (errno == ENOENT || errno == ENOTDIR) ? TReadResult::Missing : TReadResult::Failed;
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
      close(fd);
      return TReadResult::Failed;
    }
    char buffer[65536];
    for (;;) {
      const ssize_t n = read(fd, buffer, sizeof buffer);
      if (n == 0) break;
      if (n < 0) {
        if (errno == EINTR) continue;
        close(fd);
        bytes.clear();
        return TReadResult::Failed;
      }
      bytes.append(buffer, static_cast<size_t>(n));
    }
    close(fd);
    return TReadResult::Ok;
  }

  bool WriteAll(const std::wstring& path, const std::string& bytes) override {
    const int fd = open(NarrowPath(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        close(fd);
        return false;
      }
      done += static_cast<size_t>(n);
    }
    const bool flushed = fsync(fd) == 0;
    return close(fd) == 0 && flushed;
  }

  bool Replace(const std::wstring& source, const std::wstring& target) override {
    return rename(NarrowPath(source).c_str(), NarrowPath(target).c_str()) == 0;
  }

  bool Remove(const std::wstring& path) override { return unlink(NarrowPath(path).c_str()) == 0; }

  bool FolderExists(const std::wstring& path) override {
    struct stat info {};
    return stat(NarrowPath(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
  }

  bool MakeFolder(const std::wstring& path) override {
    return mkdir(NarrowPath(path).c_str(), 0755) == 0;
  }
};

}  // namespace

TFileSystem& NativeFileSystem() {
  static TPosixFileSystem fs;
  return fs;
}

#endif
