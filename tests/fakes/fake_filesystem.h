// An in-memory file system for the settings files, with injectable faults:
// a full disk (writes fail part-way), a locked file (replacement fails), an
// unreadable file. Records every operation.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "settings/u_filesys.h"

class TFakeFileSystem final : public TFileSystem {
 public:
  std::map<std::wstring, std::string> Files;
  std::set<std::wstring> Folders;
  std::set<std::wstring> Unreadable;  // ReadAll answers Failed
  bool DiskFull = false;              // WriteAll leaves half a file and fails
  bool ReplaceFails = false;          // the target is locked
  // Replacing an existing file removes it, then fails to rename the new one
  // (the system's "unable to move replacement"); moving into a free name works.
  bool ReplaceDropsTarget = false;
  bool MakeFolderFails = false;
  std::vector<std::wstring> Calls;  // "write <path>", "replace <a> <b>", ...

  TReadResult ReadAll(const std::wstring& path, std::string& bytes) override {
    Calls.push_back(L"read " + path);
    if (Unreadable.count(path)) return TReadResult::Failed;
    auto it = Files.find(path);
    if (it == Files.end()) return TReadResult::Missing;
    bytes = it->second;
    return TReadResult::Ok;
  }
  bool WriteAll(const std::wstring& path, const std::string& bytes) override {
    Calls.push_back(L"write " + path);
    if (DiskFull) {
      Files[path] = bytes.substr(0, bytes.size() / 2);
      return false;
    }
    Files[path] = bytes;
    return true;
  }
  bool Replace(const std::wstring& source, const std::wstring& target) override {
    Calls.push_back(L"replace " + source + L" " + target);
    auto it = Files.find(source);
    if (ReplaceFails || it == Files.end()) return false;
    if (ReplaceDropsTarget && Files.erase(target) > 0) return false;
    Files[target] = it->second;
    Files.erase(source);
    return true;
  }
  bool Remove(const std::wstring& path) override {
    Calls.push_back(L"remove " + path);
    return Files.erase(path) > 0;
  }
  bool FolderExists(const std::wstring& path) override { return Folders.count(path) > 0; }
  bool MakeFolder(const std::wstring& path) override {
    Calls.push_back(L"mkdir " + path);
    if (MakeFolderFails || Folders.count(path)) return false;
    Folders.insert(path);
    return true;
  }
};
