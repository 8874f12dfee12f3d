// A shipped icon-set frame shown by a real tray icon: its opaque pixels are
// found in the virtual desktop's tray, exactly as the image list draws them.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <vector>

#include "fakes/disk_iconset_files.h"
#include "fakes/win32_iconsets.h"
#include "fakes/win32_screen.h"
#include "tray/u_iconsets.h"
#include "tray/u_iconsets_win32.h"
#include "tray/u_tray.h"
#include "tray/u_tray_win32.h"

namespace {

TPixels Frame(HIMAGELIST list, int index, int size, COLORREF background) {
  return Capture(size, size, [&](HDC dc, HDC) {
    HBRUSH brush = CreateSolidBrush(background);
    RECT r{0, 0, size, size};
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    ImageList_Draw(list, index, dc, 0, 0, ILD_NORMAL);
  });
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
        match = screen.At(x + i % size, y + i / size) == onBlack.Bits[i];
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
  TLoadedIconSets loaded(folder.wstring(), size);
  HIMAGELIST list = loaded.List.List;
  ASSERT_NE(list, nullptr);
  {
    TMyIconSets& sets = loaded.Sets;
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
}
