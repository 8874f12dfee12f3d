// Loading icon-set folders into frames, and finding a set by name.
#include "tray/u_iconsets.h"

#include "common/u_common.h"

std::wstring IconFileName(int file, int smallIconWidth, bool sized) {
  std::wstring name = L"00" + std::to_wstring(file);
  if (sized) {
    name += L'_';
    if (smallIconWidth > 16) name += std::to_wstring(smallIconWidth);
  }
  return name + L".png";
}

void TMyIconSets::LoadAll() {
  Clear();
  const std::wstring folder = Files_.IconSetsFolder();
  for (const TFolderEntry& entry : Files_.List(folder)) {
    if ((entry.Attributes & (FileAttrHidden | FileAttrSystem)) != 0) continue;
    if ((entry.Attributes & FileAttrDirectory) == 0) continue;
    if (entry.Name == L"." || entry.Name == L"..") continue;
    if (TrimText(entry.Name).empty()) continue;
    LoadSet(entry.Name);
  }
}

void TMyIconSets::LoadSet(const std::wstring& name) {
  int cx = 16, cy = 16;
  if (Images != nullptr) Images->IconSize(cx, cy);
  const std::wstring folder = Files_.IconSetsFolder() + L'\\' + name + L'\\';

  // A picture drawn for this small-icon width wins over the 16-pixel one.
  std::array<std::wstring, 6> paths;
  for (int file = 1; file <= 6; ++file) {
    const std::wstring sized = folder + IconFileName(file, cx, true);
    paths[file - 1] = Files_.FileExists(sized) ? sized : folder + IconFileName(file, cx, false);
  }
  for (int file = 1; file <= 5; ++file)
    if (!Files_.FileExists(paths[file - 1])) return;

  TIconSet set;
  set.Name = name;
  set.Frames.fill(-1);
  std::array<TPngPicture, 4> pictures;  // files 1 to 4, kept for the marked frames
  for (int file = 1; file <= 5; ++file) {
    TPngPicture picture;
    if (!LoadPicture(paths[file - 1], picture)) continue;
    set.Frames[(file - 1) * 2] = AppendFrame(picture);
    if (file <= 4) pictures[file - 1] = std::move(picture);
  }

  TPngPicture marker;
  if (Files_.FileExists(paths[5]) && LoadPicture(paths[5], marker)) {
    set.Frames[9] = AppendFrame(marker);
    for (int file = 1; file <= 4; ++file) {
      const TPngPicture& base = pictures[file - 1];
      if (base.Empty()) continue;  // its own frame failed: so does the marked one
      set.Frames[(file - 1) * 2 + 1] = AppendFrame(OverlayPng(base, marker));
    }
  } else {
    // No usable marker: the Internet frames are the plain ones.
    for (int file = 1; file <= 4; ++file)
      set.Frames[(file - 1) * 2 + 1] = set.Frames[(file - 1) * 2];
  }
  Sets_.push_back(std::move(set));
}

bool TMyIconSets::LoadPicture(const std::wstring& path, TPngPicture& picture) {
  std::vector<uint8_t> data;
  if (!Files_.ReadFile(path, data)) return false;
  return DecodePng(data.data(), data.size(), picture) && !picture.Empty();
}

int TMyIconSets::AppendFrame(const TPngPicture& picture) {
  if (Images == nullptr) return -1;
  int cx = 16, cy = 16;
  Images->IconSize(cx, cy);
  return Images->Append(PngToIconBits(picture, cx, cy));
}

const TIconSet* TMyIconSets::Get(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return &Sets_[size_t(index)];
}

const TIconSet* TMyIconSets::FindByName(const std::wstring& name, int& index) const {
  index = -1;
  if (Sets_.empty()) return nullptr;
  const std::wstring key = LowerStr(name);
  for (int i = Count() - 1; i >= 0; --i) {
    if (LowerStr(Sets_[size_t(i)].Name) == key) {
      index = i;
      return &Sets_[size_t(i)];
    }
  }
  index = 0;
  return &Sets_.front();
}

void TMyIconSets::Clear() {
  while (!Sets_.empty()) Sets_.pop_back();
}
