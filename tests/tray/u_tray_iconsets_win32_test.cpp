// A shipped icon-set frame shown by a real tray icon: its opaque pixels are
// found in the virtual desktop's tray, exactly as the image list draws them.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <vector>

#include "fakes/disk_iconset_files.h"
#include "fakes/win32_screen.h"
#include "tray/u_iconsets.h"
#include "tray/u_iconsets_win32.h"
#include "tray/u_tray.h"
#include "tray/u_tray_win32.h"

namespace {

struct TPixels {
  int Width = 0, Height = 0;
  std::vector<DWORD> Bits;  // 0x00RRGGBB, top-down
};

// Runs `draw` on a top-down 32-bit DIB of the given size and returns it.
template <class F>
TPixels Capture(int w, int h, F draw) {
  TPixels out{w, h, std::vector<DWORD>(size_t(w) * h)};
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof bi.bmiHeader, w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bitmap);
  draw(dc, screen);
  GdiFlush();
  for (size_t i = 0; i < out.Bits.size(); ++i)
    out.Bits[i] = static_cast<const DWORD*>(bits)[i] & 0xFFFFFF;
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return out;
}

TPixels Frame(HIMAGELIST list, int index, int size, COLORREF background) {
  return Capture(size, size, [&](HDC dc, HDC) {
    HBRUSH brush = CreateSolidBrush(background);
    RECT r{0, 0, size, size};
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    ImageList_Draw(list, index, dc, 0, 0, ILD_NORMAL);
  });
}

TPixels Screen() {
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  return Capture(w, h, [&](HDC dc, HDC screen) { BitBlt(dc, 0, 0, w, h, screen, 0, 0, SRCCOPY); });
}

// Places in the taskbar band where every opaque pixel of the frame shows.
int CountFrameInTray(const TPixels& onBlack, const TPixels& onWhite) {
  RECT work;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const TPixels screen = Screen();
  const int size = onBlack.Width;
  int found = 0;
  for (int y = work.bottom; y + size <= screen.Height; ++y)
    for (int x = screen.Width / 2; x + size <= screen.Width; ++x) {
      bool match = true;
      for (int i = 0; match && i < size * size; ++i) {
        if (onBlack.Bits[i] != onWhite.Bits[i]) continue;  // not opaque
        match = screen.Bits[size_t(y + i / size) * screen.Width + x + i % size] == onBlack.Bits[i];
      }
      found += match;
    }
  return found;
}

}  // namespace

TEST(TrayIconSetsWin32, ADefault2FrameAppearsInTheTray) {
  const std::filesystem::path folder = ShippedIconSetsFolder();
  ASSERT_FALSE(folder.empty());
  const int size = GetSystemMetrics(SM_CXSMICON);
  HIMAGELIST list =
      ImageList_Create(size, GetSystemMetrics(SM_CYSMICON), ILC_COLOR32 | ILC_MASK, 10, 10);
  ASSERT_NE(list, nullptr);
  {
    TWin32IconImages images(list);
    TWin32IconSetFiles files(folder.wstring());
    TMyIconSets sets(files);
    sets.Images = &images;
    sets.LoadAll();
    int index = -1;
    const TIconSet* set = sets.FindByName(L"default2", index);
    ASSERT_NE(set, nullptr);
    const int32_t frame = set->Frames[3];  // received and sent
    ASSERT_GE(frame, 0);

    const TPixels onBlack = Frame(list, frame, size, RGB(0, 0, 0));
    const TPixels onWhite = Frame(list, frame, size, RGB(255, 255, 255));
    int opaque = 0;
    for (int i = 0; i < size * size; ++i) opaque += onBlack.Bits[i] == onWhite.Bits[i];
    ASSERT_GT(opaque, size * size / 8);  // enough of a picture to recognise
    EXPECT_EQ(CountFrameInTray(onBlack, onWhite), 0);

    TMyTrayIcon icon(Win32TrayShell(), L"{A0000001-0000-0000-0000-0000000000AB}");
    icon.SetImages(reinterpret_cast<uintptr_t>(list));
    icon.SetIconIndex(frame);
    icon.SetVisible(true);
    EXPECT_TRUE(PumpUntil([&] { return CountFrameInTray(onBlack, onWhite) == 1; }, 4000));
    icon.SetVisible(false);
    EXPECT_TRUE(PumpUntil([&] { return CountFrameInTray(onBlack, onWhite) == 0; }, 4000));
  }
  ImageList_Destroy(list);
}
