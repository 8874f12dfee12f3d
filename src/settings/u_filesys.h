// What the settings files need of the file system: whole-file reads, a
// flushed write of a new file, and an atomic replacement of one file by
// another. Kept small so that the INI logic runs on any platform and tests
// can inject failures (disk full, locked file) without touching a disk.
#pragma once

#include <string>

enum class TReadResult { Ok, Missing, Failed };

class TFileSystem {
 public:
  virtual ~TFileSystem() = default;
  // The whole file. Missing when neither it nor its folder exists; Failed when
  // it exists but cannot be read (locked, no access, a folder).
  virtual TReadResult ReadAll(const std::wstring& path, std::string& bytes) = 0;
  // Creates or truncates the file, writes all bytes and flushes them to the
  // disk; false when any step fails.
  virtual bool WriteAll(const std::wstring& path, const std::string& bytes) = 0;
  // Puts `source` in the place of `target` in one step; `target` may or may
  // not exist. On failure both files are as they were, except that Windows
  // may have removed `target` already (`source` then still exists).
  virtual bool Replace(const std::wstring& source, const std::wstring& target) = 0;
  virtual bool Remove(const std::wstring& path) = 0;
  // A folder, or a link to one.
  virtual bool FolderExists(const std::wstring& path) = 0;
  // One level only; false when it fails or already exists.
  virtual bool MakeFolder(const std::wstring& path) = 0;
};

// The real file system of the platform this build runs on.
TFileSystem& NativeFileSystem();

// Writes `bytes` to `path` so that a reader sees either the old file or the
// new one, never a mix: the bytes go to "<path>.tmp" in the same folder, are
// flushed, and that file then replaces the old one. Returns false when any
// step fails; the old file is then untouched and the temporary file removed.
bool WriteFileAtomic(TFileSystem& fs, const std::wstring& path, const std::string& bytes);

// The platform's path delimiter; both "\" and "/" are taken as delimiters.
#ifdef _WIN32
constexpr wchar_t PathDelim = L'\\';
#else
constexpr wchar_t PathDelim = L'/';
#endif
bool IsPathDelim(wchar_t c);
std::wstring IncludeTrailingPathDelimiter(const std::wstring& path);
// The folder part of a file path, with its trailing delimiter ("" if none).
std::wstring ExtractFilePath(const std::wstring& path);
