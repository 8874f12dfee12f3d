// In-memory icon-set folders and a recording image list for the loader.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "tray/u_iconsets.h"

// Files and folders under the root "C:\App\IconSets", listed in the order
// they were added.
class TFakeIconSetFiles final : public TIconSetFiles {
 public:
  static constexpr const wchar_t* Root = L"C:\\App\\IconSets";

  std::map<std::wstring, std::vector<uint8_t>> Files;         // full path -> contents
  std::map<std::wstring, std::vector<TFolderEntry>> Folders;  // full path -> entries
  std::vector<std::wstring> Reads;                            // paths read, in order

  // A set folder in the listing of Root ("." and ".." come first, as on disk).
  void AddSet(const std::wstring& name, uint32_t attributes = FileAttrDirectory) {
    auto& root = Folders[Root];
    if (root.empty()) root = {{L".", FileAttrDirectory}, {L"..", FileAttrDirectory}};
    root.push_back({name, attributes});
  }
  void AddFile(const std::wstring& set, const std::wstring& file, std::vector<uint8_t> data) {
    Files[std::wstring(Root) + L"\\" + set + L"\\" + file] = std::move(data);
  }

  std::wstring IconSetsFolder() override { return Root; }
  std::vector<TFolderEntry> List(const std::wstring& folder) override {
    auto it = Folders.find(folder);
    return it == Folders.end() ? std::vector<TFolderEntry>{} : it->second;
  }
  bool FileExists(const std::wstring& path) override { return Files.count(path) != 0; }
  bool ReadFile(const std::wstring& path, std::vector<uint8_t>& data) override {
    Reads.push_back(path);
    auto it = Files.find(path);
    if (it == Files.end() || it->second.size() > MaxPngFileSize) return false;
    data = it->second;
    return true;
  }
};

// An image list of cx x cy that keeps the icons it accepts and, like the
// real one, refuses icons smaller than its image size.
class TFakeIconImages final : public TIconImages {
 public:
  int Cx = 16, Cy = 16;
  std::vector<TIconBits> Icons;
  int Refused = 0;

  void IconSize(int& cx, int& cy) override {
    cx = Cx;
    cy = Cy;
  }
  int Append(const TIconBits& icon) override {
    if (icon.Width < Cx || icon.Height < Cy) {
      ++Refused;
      return -1;
    }
    Icons.push_back(icon);
    return int(Icons.size()) - 1;
  }
};
