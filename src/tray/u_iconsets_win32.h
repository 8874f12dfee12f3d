// Icon sets on Windows: icons made with CreateDIBSection/CreateIconIndirect,
// appended to a real image list, and the set folders listed with
// FindFirstFileW.
//
// How the main window uses it:
//   ImageList1 = ImageList_Create(GetSystemMetrics(SM_CXSMICON),
//                                 GetSystemMetrics(SM_CYSMICON), ILC_COLOR32 | ILC_MASK, 10, 10);
//   TWin32IconImages images(ImageList1);        // lives as long as the sets
//   TMyIconSets sets(Win32IconSetFiles());
//   sets.Images = &images;
//   sets.LoadAll();
//   int index; const TIconSet* set = sets.FindByName(L"Default2", index);
//   int frame = set ? set->Frames[2] : -1;        // index into ImageList1
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "tray/u_iconsets.h"

// An icon of the bits: a 32-bit BI_BITFIELDS DIB section as colour, a
// monochrome bitmap as mask. None when the platform refuses.
HICON CreateIconFromBits(const TIconBits& bits);

// PngToIcon: the picture as an icon of the small-icon size
// (SM_CXSMICON x SM_CYSMICON), or of cx x cy.
HICON PngToIcon(const TPngPicture& picture);
HICON PngToIcon(const TPngPicture& picture, int cx, int cy);

// The image list port on a real image list (not owned). The icon size is
// the list's image size; icons smaller than it are refused.
class TWin32IconImages final : public TIconImages {
 public:
  explicit TWin32IconImages(HIMAGELIST list) : List_(list) {}
  void IconSize(int& cx, int& cy) override;
  int Append(const TIconBits& icon) override;

 private:
  HIMAGELIST List_;
};

// The file system port on FindFirstFileW and friends, for the folder
// "IconSets" beside the executable, or for the given folder.
class TWin32IconSetFiles final : public TIconSetFiles {
 public:
  TWin32IconSetFiles();
  explicit TWin32IconSetFiles(std::wstring folder) : Folder_(std::move(folder)) {}
  std::wstring IconSetsFolder() override { return Folder_; }
  std::vector<TFolderEntry> List(const std::wstring& folder) override;
  bool FileExists(const std::wstring& path) override;
  bool ReadFile(const std::wstring& path, std::vector<uint8_t>& data) override;

 private:
  std::wstring Folder_;
};

// The process's port for the folder beside the executable.
TIconSetFiles& Win32IconSetFiles();

// The folder of the running executable, without a trailing '\'.
std::wstring ExeFolder();
