// The icon-set file port on the real disk with the standard library, for the
// shipped sets in the native tests and benchmarks. Folders are listed in name
// order (as NTFS lists them); '\' in paths is read as the separator.
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tray/u_iconsets.h"

class TDiskIconSetFiles final : public TIconSetFiles {
 public:
  explicit TDiskIconSetFiles(std::filesystem::path folder) : Folder_(std::move(folder)) {}

  std::wstring IconSetsFolder() override { return Folder_.wstring(); }
  std::vector<TFolderEntry> List(const std::wstring& folder) override {
    std::vector<TFolderEntry> entries;
    std::error_code error;
    for (const auto& item : std::filesystem::directory_iterator(Path(folder), error)) {
      entries.push_back(
          {item.path().filename().wstring(), item.is_directory() ? FileAttrDirectory : 0u});
    }
    std::sort(entries.begin(), entries.end(),
              [](const TFolderEntry& a, const TFolderEntry& b) { return a.Name < b.Name; });
    return entries;
  }
  bool FileExists(const std::wstring& path) override {
    std::error_code error;
    return std::filesystem::is_regular_file(Path(path), error);
  }
  bool ReadFile(const std::wstring& path, std::vector<uint8_t>& data) override {
    std::ifstream in(Path(path), std::ios::binary);
    if (!in) return false;
    data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return data.size() <= MaxPngFileSize;
  }

 private:
  static std::filesystem::path Path(std::wstring text) {
    if (std::filesystem::path::preferred_separator != L'\\')
      std::replace(text.begin(), text.end(), L'\\', L'/');
    return std::filesystem::path(text);
  }
  std::filesystem::path Folder_;
};

// data/IconSets of the source tree, found by walking up from the current
// folder (ctest runs in the build tree); empty when not found.
inline std::filesystem::path ShippedIconSetsFolder() {
  std::error_code error;
  for (auto dir = std::filesystem::current_path(error); !dir.empty(); dir = dir.parent_path()) {
    const auto candidate = dir / "data" / "IconSets";
    if (std::filesystem::is_directory(candidate, error)) return candidate;
    if (dir == dir.parent_path()) break;
  }
  return {};
}
