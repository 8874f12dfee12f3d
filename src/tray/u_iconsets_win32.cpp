#include "tray/u_iconsets_win32.h"

#include <cstring>

#include "common/u_handles_win32.h"

namespace {

void DeleteBitmapOwner(HBITMAP bitmap) {
  DeleteObject(bitmap);
}
void DestroyIconOwner(HICON icon) {
  DestroyIcon(icon);
}
void FindCloseOwner(HANDLE find) {
  FindClose(find);
}

using TBitmapOwner = TUnique<HBITMAP, &DeleteBitmapOwner>;
using TIconOwner = TUnique<HICON, &DestroyIconOwner>;
using TFindOwner = TUnique<HANDLE, &FindCloseOwner>;

}  // namespace

HICON CreateIconFromBits(const TIconBits& bits) {
  const int w = bits.Width, h = bits.Height;
  if (w <= 0 || h <= 0 || bits.Bgra.size() != size_t(w) * h * 4 ||
      bits.Mask.size() != size_t(TIconBits::MaskStride(w)) * h)
    return nullptr;

  BITMAPV4HEADER header{};
  header.bV4Size = sizeof header;
  header.bV4Width = w;
  header.bV4Height = h;  // positive: rows bottom-up, as the bits are
  header.bV4Planes = 1;
  header.bV4BitCount = 32;
  header.bV4V4Compression = BI_BITFIELDS;
  header.bV4BlueMask = 0x000000FF;
  header.bV4GreenMask = 0x0000FF00;
  header.bV4RedMask = 0x00FF0000;
  header.bV4AlphaMask = 0xFF000000;
  header.bV4CSType = 0x73524742;  // LCS_sRGB ('sRGB'; the macro is a multi-character constant)
  void* pixels = nullptr;
  TBitmapOwner color(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&header),
                                      DIB_RGB_COLORS, &pixels, nullptr, 0));
  if (!color || pixels == nullptr) return nullptr;
  std::memcpy(pixels, bits.Bgra.data(), bits.Bgra.size());
  GdiFlush();

  // Mask rows are top-down and WORD-aligned, as CreateBitmap takes them.
  TBitmapOwner mask(CreateBitmap(w, h, 1, 1, bits.Mask.data()));
  if (!mask) return nullptr;

  ICONINFO info{};
  info.fIcon = TRUE;
  info.hbmMask = mask.get();
  info.hbmColor = color.get();
  return CreateIconIndirect(&info);  // copies both bitmaps; the owners free ours
}

HICON PngToIcon(const TPngPicture& picture, int cx, int cy) {
  return CreateIconFromBits(PngToIconBits(picture, cx, cy));
}

HICON PngToIcon(const TPngPicture& picture) {
  return PngToIcon(picture, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON));
}

void TWin32IconImages::IconSize(int& cx, int& cy) {
  if (!ImageList_GetIconSize(List_, &cx, &cy)) {
    cx = GetSystemMetrics(SM_CXSMICON);
    cy = GetSystemMetrics(SM_CYSMICON);
  }
}

int TWin32IconImages::Append(const TIconBits& icon) {
  if (List_ == nullptr) return -1;
  int cx = 0, cy = 0;
  if (!ImageList_GetIconSize(List_, &cx, &cy)) return -1;
  // The list would stretch a smaller icon into a blurred frame.
  if (icon.Width < cx || icon.Height < cy) return -1;
  TIconOwner handle(CreateIconFromBits(icon));
  if (!handle) return -1;
  return ImageList_ReplaceIcon(List_, -1, handle.get());  // the list keeps a copy
}

std::wstring ExeFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
    if (n == 0) return L".";
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    if (path.size() >= 32768) return L".";
    path.resize(path.size() * 2);
  }
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? L"." : path.substr(0, slash);
}

TWin32IconSetFiles::TWin32IconSetFiles() : Folder_(ExeFolder() + L"\\IconSets") {}

std::vector<TFolderEntry> TWin32IconSetFiles::List(const std::wstring& folder) {
  std::vector<TFolderEntry> entries;
  WIN32_FIND_DATAW data{};
  const HANDLE first = FindFirstFileW((folder + L"\\*.*").c_str(), &data);
  if (first == INVALID_HANDLE_VALUE) return entries;
  TFindOwner find(first);
  do {
    entries.push_back({data.cFileName, data.dwFileAttributes});
  } while (FindNextFileW(find.get(), &data));
  return entries;
}

bool TWin32IconSetFiles::FileExists(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool TWin32IconSetFiles::ReadFile(const std::wstring& path, std::vector<uint8_t>& data) {
  data.clear();
  THandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) {
    file.release();
    return false;
  }
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 ||
      uint64_t(size.QuadPart) > MaxPngFileSize)
    return false;
  data.resize(size_t(size.QuadPart));
  size_t done = 0;
  while (done < data.size()) {
    DWORD got = 0;
    if (!::ReadFile(file.get(), data.data() + done, DWORD(data.size() - done), &got, nullptr) ||
        got == 0)
      return false;
    done += got;
  }
  return true;
}

TIconSetFiles& Win32IconSetFiles() {
  static TWin32IconSetFiles files;
  return files;
}
