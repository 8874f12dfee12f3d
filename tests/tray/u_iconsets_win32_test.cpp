// Icon sets against Wine's real folder listing, icons and image lists: frame
// indexes, the pixels and alpha read back with ImageList_GetIcon, refusals.
#include "tray/u_iconsets_win32.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "fakes/disk_iconset_files.h"
#include "fakes/png_writer.h"
#include "fakes/win32_iconsets.h"
#include "fakes/win32_screen.h"

namespace {

namespace fs = std::filesystem;
using TFrames = std::array<int32_t, IconSetFrames>;

// A fresh folder under %TEMP%, removed with everything in it.
class TTempFolder {
 public:
  TTempFolder() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    Path = fs::path(temp) / (L"pulsery-iconsets-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                             std::to_wstring(GetTickCount64()));
    fs::create_directories(Path);
  }
  ~TTempFolder() {
    std::error_code error;
    for (auto& item : fs::recursive_directory_iterator(Path, error))
      SetFileAttributesW(item.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    fs::remove_all(Path, error);
  }
  void Write(const fs::path& relative, const std::vector<uint8_t>& data) {
    fs::create_directories((Path / relative).parent_path());
    std::ofstream out(Path / relative, std::ios::binary);
    out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
  }
  fs::path Path;
};

// The colour (B G R A, top-down) and mask (true = white) of an icon.
struct TIconPixels {
  int Width = 0, Height = 0;
  std::vector<uint32_t> Color;
  std::vector<bool> MaskWhite;
  uint32_t At(int x, int y) const { return Color[size_t(y) * Width + x]; }
};

std::vector<uint32_t> ReadBitmap(HBITMAP bitmap, int width, int height) {
  std::vector<uint32_t> pixels(size_t(width) * height);
  BITMAPINFO info = TopDownInfo(width, height);
  HDC dc = GetDC(nullptr);
  GetDIBits(dc, bitmap, 0, UINT(height), pixels.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  return pixels;
}

TIconPixels ReadIcon(HICON icon) {
  TIconPixels out;
  ICONINFO info{};
  if (icon == nullptr || !GetIconInfo(icon, &info)) return out;
  BITMAP bm{};
  GetObjectW(info.hbmColor, sizeof bm, &bm);
  out.Width = bm.bmWidth;
  out.Height = bm.bmHeight;
  out.Color = ReadBitmap(info.hbmColor, out.Width, out.Height);
  for (uint32_t m : ReadBitmap(info.hbmMask, out.Width, out.Height))
    out.MaskWhite.push_back((m & 0xFFFFFF) != 0);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return out;
}

TIconPixels ReadListIcon(HIMAGELIST list, int index) {
  HICON icon = ImageList_GetIcon(list, index, ILD_NORMAL);
  TIconPixels pixels = ReadIcon(icon);
  if (icon != nullptr) DestroyIcon(icon);
  return pixels;
}

uint32_t Bgra(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
  return uint32_t(a) << 24 | uint32_t(r) << 16 | uint32_t(g) << 8 | b;
}

// 16 x 16: opaque colour `red` everywhere but three pixels on row 0.
std::vector<uint8_t> Frame(uint8_t red, int size = 16) {
  TPngFixture fixture;
  fixture.Width = fixture.Height = size;
  for (int i = 0; i < size * size; ++i)
    fixture.Samples.insert(fixture.Samples.end(), {red, 0, 0, 255});
  const uint8_t row0[] = {0, 0, 255, 255, 0, 255, 0, 200, 9, 9, 9, 0};
  std::copy(std::begin(row0), std::end(row0), fixture.Samples.begin());
  return WritePng(fixture);
}

void WriteSet(TTempFolder& temp, const fs::path& name, int files = 0b111111) {
  for (int n = 1; n <= 6; ++n)
    if ((files >> (n - 1)) & 1)
      temp.Write(name / IconFileName(n, 16, false), Frame(uint8_t(n * 40)));
}

TEST(IconSetsWin32, LoadsTheFolderIntoARealImageList) {
  TTempFolder temp;
  WriteSet(temp, "Alpha");
  WriteSet(temp, "Beta", 0b011111);   // no marker
  WriteSet(temp, "Gamma", 0b101111);  // no file 5: not a set
  WriteSet(temp, "Hidden");
  SetFileAttributesW((temp.Path / "Hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
  WriteSet(temp, "Broken");
  const std::vector<uint8_t> whole = Frame(1);
  temp.Write("Broken/002.png", std::vector<uint8_t>(whole.begin(), whole.begin() + 60));
  temp.Write("Broken/004.png", HeaderOnlyPng(100000, 100000));
  temp.Write("loose.png", Frame(1));

  TLoadedIconSets loaded(temp.Path.wstring(), 16);
  TMyIconSets& sets = loaded.Sets;
  HIMAGELIST list = loaded.List.List;

  ASSERT_EQ(sets.Count(), 3);
  EXPECT_EQ(sets.Get(0)->Name, L"Alpha");
  EXPECT_EQ(sets.Get(1)->Name, L"Beta");
  EXPECT_EQ(sets.Get(2)->Name, L"Broken");
  EXPECT_EQ(sets.Get(0)->Frames, (TFrames{0, 6, 1, 7, 2, 8, 3, 9, 4, 5}));
  EXPECT_EQ(sets.Get(1)->Frames, (TFrames{10, 10, 11, 11, 12, 12, 13, 13, 14, -1}));
  EXPECT_EQ(sets.Get(2)->Frames, (TFrames{15, 19, -1, -1, 16, 20, -1, -1, 17, 18}));
  EXPECT_EQ(ImageList_GetImageCount(list), 21);

  int index = -1;
  EXPECT_EQ(sets.FindByName(L"beta", index), sets.Get(1));
  EXPECT_EQ(index, 1);
  EXPECT_EQ(sets.FindByName(L"hidden", index), sets.Get(0));
  EXPECT_EQ(index, 0);
}

TEST(IconSetsWin32, IconsReadBackWithTheirPixelsAndAlpha) {
  TTempFolder temp;
  WriteSet(temp, "Set");
  TLoadedIconSets loaded(temp.Path.wstring(), 16);
  TMyIconSets& sets = loaded.Sets;
  HIMAGELIST list = loaded.List.List;
  ASSERT_EQ(sets.Count(), 1);

  const TIconPixels two = ReadListIcon(list, sets.Get(0)->Frames[2]);
  ASSERT_EQ(two.Width, 16);
  ASSERT_EQ(two.Height, 16);
  EXPECT_EQ(two.At(0, 0), Bgra(0, 0, 255, 255));
  EXPECT_EQ(two.At(1, 0), Bgra(0, 255, 0, 200));  // straight alpha, not premultiplied
  EXPECT_EQ(two.At(2, 0) >> 24, 0u);
  EXPECT_FALSE(two.MaskWhite[0]);
  EXPECT_FALSE(two.MaskWhite[1]);
  EXPECT_TRUE(two.MaskWhite[2]);
  EXPECT_EQ(two.At(5, 5), Bgra(80, 0, 0, 255));
  EXPECT_EQ(two.At(15, 15), Bgra(80, 0, 0, 255));

  // The marked frame: the opaque marker's own pixels win everywhere.
  const TIconPixels marked = ReadListIcon(list, sets.Get(0)->Frames[3]);
  ASSERT_EQ(marked.Width, 16);
  EXPECT_EQ(marked.At(5, 5), Bgra(240, 0, 0, 255));
  EXPECT_EQ(marked.At(1, 0), Bgra(0, 255, 0, 243));  // 200 + 55 * 200 div 255
  const TIconPixels marker = ReadListIcon(list, sets.Get(0)->Frames[9]);
  EXPECT_EQ(marker.At(5, 5), Bgra(240, 0, 0, 255));
}

TEST(IconSetsWin32, SmallPicturesAreRefusedOrCentred) {
  TTempFolder temp;
  WriteSet(temp, "Set", 0b011111);
  temp.Write("Set/003.png", Frame(7, 15));
  temp.Write("Set/004.png", Frame(66, 32));  // larger: the list scales it down

  TImageList list16(16);
  TWin32IconImages images16(list16.List);
  TWin32IconSetFiles files(temp.Path.wstring());
  TMyIconSets sets(files);
  sets.Images = &images16;
  sets.LoadAll();
  ASSERT_EQ(sets.Count(), 1);
  EXPECT_EQ(sets.Get(0)->Frames, (TFrames{0, 0, 1, 1, -1, -1, 2, 2, 3, -1}));
  EXPECT_EQ(ImageList_GetImageCount(list16.List), 4);
  const TIconPixels scaled = ReadListIcon(list16.List, 2);
  ASSERT_EQ(scaled.Width, 16);
  EXPECT_EQ(scaled.At(8, 8), Bgra(66, 0, 0, 255));

  temp.Write("Set/001_20.png", Frame(99, 20));
  TImageList list20(20);
  TWin32IconImages images20(list20.List);
  sets.Images = &images20;
  sets.LoadAll();
  ASSERT_EQ(sets.Count(), 1);
  EXPECT_EQ(sets.Get(0)->Frames, (TFrames{0, 0, 1, 1, 2, 2, 3, 3, 4, -1}));

  const TIconPixels sized = ReadListIcon(list20.List, 0);  // drawn for 20: as it is
  ASSERT_EQ(sized.Width, 20);
  EXPECT_EQ(sized.At(0, 0), Bgra(0, 0, 255, 255));
  EXPECT_EQ(sized.At(19, 19), Bgra(99, 0, 0, 255));

  const TIconPixels centred = ReadListIcon(list20.List, 1);  // 16 x 16 at left 2, top 2
  ASSERT_EQ(centred.Width, 20);
  EXPECT_EQ(centred.At(1, 1) >> 24, 0u);
  EXPECT_TRUE(centred.MaskWhite[1 * 20 + 1]);
  EXPECT_EQ(centred.At(2, 2), Bgra(0, 0, 255, 255));
  EXPECT_EQ(centred.At(3, 2), Bgra(0, 200, 0, 200));  // drawn over black, alpha kept
  EXPECT_EQ(centred.At(17, 17), Bgra(80, 0, 0, 255));
  EXPECT_EQ(centred.At(18, 17) >> 24, 0u);

  const TIconPixels odd = ReadListIcon(list20.List, 2);  // 15 x 15 at left 3, top 3
  EXPECT_EQ(odd.At(2, 5) >> 24, 0u);
  EXPECT_EQ(odd.At(3, 5), Bgra(7, 0, 0, 255));
}

TEST(IconSetsWin32, PngToIconMakesAnIconOfTheSmallIconSize) {
  TPngPicture picture;
  const std::vector<uint8_t> file = Frame(50);
  ASSERT_TRUE(DecodePng(file.data(), file.size(), picture));
  HICON icon = PngToIcon(picture);
  ASSERT_NE(icon, nullptr);
  const TIconPixels pixels = ReadIcon(icon);
  DestroyIcon(icon);
  EXPECT_EQ(pixels.Width, 16);  // the picture's own size at SM_CXSMICON 16
  EXPECT_EQ(pixels.At(8, 8), Bgra(50, 0, 0, 255));
  EXPECT_EQ(CreateIconFromBits(TIconBits{}), nullptr);
}

TEST(IconSetsWin32, ShippedSetsLoadIntoARealImageList) {
  const fs::path folder = ShippedIconSetsFolder();
  ASSERT_FALSE(folder.empty());
  for (int size : {16, 20, 32}) {
    SCOPED_TRACE(size);
    TLoadedIconSets loaded(folder.wstring(), size);
    TMyIconSets& sets = loaded.Sets;
    HIMAGELIST list = loaded.List.List;
    ASSERT_GE(sets.Count(), 3);
    for (int i = 0; i < sets.Count(); ++i)
      for (int32_t frame : sets.Get(i)->Frames) EXPECT_GE(frame, 0);
    EXPECT_EQ(ImageList_GetImageCount(list), sets.Count() * 10);
    int index = -1;
    ASSERT_NE(sets.FindByName(L"Default1", index), nullptr);
    EXPECT_EQ(sets.Get(index)->Name, L"Default1");
    ASSERT_NE(sets.FindByName(L"Default2", index), nullptr);
    EXPECT_EQ(sets.Get(index)->Name, L"Default2");
    const TIconPixels idle = ReadListIcon(list, sets.Get(index)->Frames[0]);
    EXPECT_EQ(idle.Width, size);
    // Real alpha: some pixels are transparent, some opaque.
    int clear = 0, solid = 0;
    for (uint32_t p : idle.Color) {
      clear += (p >> 24) == 0;
      solid += (p >> 24) == 255;
    }
    EXPECT_GT(clear, 0);
    EXPECT_GT(solid, 0);
  }
}

}  // namespace

namespace {

// The application icon drawn with the sets: every size is in the exe.
TEST(IconSetsWin32, TheExeCarriesTheApplicationIconAtEverySize) {
  const std::wstring exe = ExeFolder() + L"\\..\\pulsery.exe";
  HMODULE module = LoadLibraryExW(exe.c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (module == nullptr) GTEST_SKIP() << "pulsery.exe is not beside the tests folder";
  for (int size : {16, 20, 24, 32, 48, 256}) {
    SCOPED_TRACE(size);
    HICON icon = HICON(LoadImageW(module, L"MAINICON", IMAGE_ICON, size, size, 0));
    ASSERT_NE(icon, nullptr);
    const TIconPixels pixels = ReadIcon(icon);
    DestroyIcon(icon);
    EXPECT_EQ(pixels.Width, size);
    // Drawn for this size, with real alpha: opaque middle, clear corner.
    EXPECT_EQ(pixels.At(size / 2, size / 2) >> 24, 255u);
    EXPECT_LT(pixels.At(0, 0) >> 24, 128u);
  }
  FreeLibrary(module);
}

}  // namespace
