// Icon sets loaded from a folder into a real image list, for the Windows tests.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "tray/u_iconsets.h"
#include "tray/u_iconsets_win32.h"

// The main window's kind of image list, owned here.
struct TImageList {
  explicit TImageList(int size)
      : List(ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 10, 10)) {}
  ~TImageList() { ImageList_Destroy(List); }
  TImageList(const TImageList&) = delete;
  TImageList& operator=(const TImageList&) = delete;
  HIMAGELIST List;
};

// Every set of the folder, loaded into a new image list of the given size.
struct TLoadedIconSets {
  TLoadedIconSets(const std::wstring& folder, int size)
      : List(size), Images(List.List), Files(folder), Sets(Files) {
    Sets.Images = &Images;
    Sets.LoadAll();
  }
  TImageList List;
  TWin32IconImages Images;
  TWin32IconSetFiles Files;
  TMyIconSets Sets;
};
