// Tray icons in Wine's real notification area (the virtual desktop's tray),
// checked on the screen's pixels; the messages Wine never sends itself
// (pop-up open, "TaskbarCreated") are sent by the tests.
#include "tray/u_tray_win32.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <uxtheme.h>

#include <gtest/gtest.h>

#include <cstring>

#include "fakes/win32_screen.h"
#include "tray/f_hint.h"

namespace {

constexpr COLORREF Green = RGB(18, 196, 86);
constexpr COLORREF Violet = RGB(151, 23, 219);

bool Shows(COLORREF colour) {
  return PumpUntil([&] { return FindColour(colour).Count > 0; }, 4000);
}
bool Gone(COLORREF colour) {
  return PumpUntil([&] { return FindColour(colour).Count == 0; }, 4000);
}

LRESULT Send(const TMyTrayIcon& icon, UINT message, WPARAM wParam, LPARAM lParam) {
  return SendMessageW(reinterpret_cast<HWND>(icon.Window()), message, wParam, lParam);
}

class TrayWin32 : public ::testing::Test {
 protected:
  void SetUp() override { Images = SolidImageList({Green, Violet}); }
  void TearDown() override {
    FreeHintWindow();
    ImageList_Destroy(Images);
  }
  HIMAGELIST Images = nullptr;
};

}  // namespace

TEST_F(TrayWin32, IconAppearsInTheTrayChangesAndGoes) {
  ASSERT_EQ(FindColour(Green).Count, 0);
  {
    TMyTrayIcon icon(Win32TrayShell(), L"{PULSERY-ALL}");
    ASSERT_NE(icon.Window(), 0u);
    EXPECT_EQ(icon.NotifyData().cbSize, 976u);
    icon.SetImages(reinterpret_cast<uintptr_t>(Images));
    PumpFor(200);
    EXPECT_EQ(FindColour(Green).Count, 0);  // not before it is made visible

    icon.SetVisible(true);
    ASSERT_TRUE(Shows(Green));
    const TColourHits hits = FindColour(Green);
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int small = GetSystemMetrics(SM_CXSMICON);
    EXPECT_EQ(hits.Count, small * GetSystemMetrics(SM_CYSMICON));
    // In the taskbar's band below the work area.
    EXPECT_GE(hits.Box.top, work.bottom) << hits.Box.left << "," << hits.Box.top;
    EXPECT_GT(hits.Box.left, GetSystemMetrics(SM_CXSCREEN) / 2);

    icon.SetIconIndex(1);  // changed in place
    ASSERT_TRUE(Shows(Violet));
    EXPECT_TRUE(Gone(Green));
    EXPECT_EQ(FindColour(Violet).Box.left, hits.Box.left);

    icon.SetVisible(false);
    EXPECT_TRUE(Gone(Violet));
    icon.SetIconIndex(0);  // hidden: waits for the next add
    PumpFor(200);
    EXPECT_EQ(FindColour(Green).Count, 0);
    icon.SetVisible(true);
    EXPECT_TRUE(Shows(Green));
  }
  EXPECT_TRUE(Gone(Green));  // destroyed: removed from the tray
}

TEST_F(TrayWin32, TaskbarCreatedReaddsAShownIconOnly) {
  const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
  TMyTrayIcon icon(Win32TrayShell(), L"{0A1B2C3D-0000-1111-2222-333344445555}");
  icon.SetImages(reinterpret_cast<uintptr_t>(Images));
  icon.SetVisible(true);
  ASSERT_TRUE(Shows(Green));

  // A new taskbar knows nothing of the icon: take it away behind its back.
  NOTIFYICONDATAW data;
  std::memcpy(&data, &icon.NotifyData(), sizeof data);
  ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &data));
  ASSERT_TRUE(Gone(Green));
  Send(icon, taskbarCreated, 0, 0);
  EXPECT_TRUE(Shows(Green));

  // Sent again while the icon is still there (Wine then refuses the add): the
  // icon is replaced, not lost.
  Send(icon, taskbarCreated, 0, 0);
  PumpFor(200);
  EXPECT_TRUE(Shows(Green));
  ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &data));  // it was there exactly once
  EXPECT_TRUE(Gone(Green));
  EXPECT_FALSE(Shell_NotifyIconW(NIM_DELETE, &data));

  // Hidden icons stay out.
  icon.SetVisible(false);
  Send(icon, taskbarCreated, 0, 0);
  PumpFor(300);
  EXPECT_EQ(FindColour(Green).Count, 0);
}

TEST_F(TrayWin32, AnIconLeftOverWithTheSameIdentityIsReplaced) {
  TMyTrayIcon icon(Win32TrayShell(), L"{LEFTOVER}");
  icon.SetImages(reinterpret_cast<uintptr_t>(Images));
  // The same identity already in the tray, as after a crash.
  NOTIFYICONDATAW data;
  std::memcpy(&data, &icon.NotifyData(), sizeof data);
  HICON violet = ImageList_GetIcon(Images, 1, ILD_NORMAL);
  data.hIcon = violet;
  ASSERT_TRUE(Shell_NotifyIconW(NIM_ADD, &data));
  ASSERT_TRUE(Shows(Violet));
  icon.SetVisible(true);
  EXPECT_TRUE(Shows(Green));
  EXPECT_TRUE(Gone(Violet));
  DestroyIcon(violet);
}

TEST_F(TrayWin32, EndOfSessionRemovesTheIcon) {
  TMyTrayIcon icon(Win32TrayShell(), L"{SESSION}");
  icon.SetImages(reinterpret_cast<uintptr_t>(Images));
  icon.SetVisible(true);
  ASSERT_TRUE(Shows(Green));
  EXPECT_EQ(Send(icon, WM_QUERYENDSESSION, 0, 0), 1);
  Send(icon, WM_ENDSESSION, 0, 0);
  PumpFor(200);
  EXPECT_GT(FindColour(Green).Count, 0);
  Send(icon, WM_ENDSESSION, 1, 0);
  EXPECT_TRUE(Gone(Green));
  EXPECT_TRUE(icon.Visible());
}

TEST_F(TrayWin32, CallbacksRaiseEventsWithSignedCoordinates) {
  TMyTrayIcon icon(Win32TrayShell(), L"{EVENTS}");
  int selects = 0, keySelects = 0, menuX = 0, menuY = 0;
  icon.OnSelect = [&](TMyTrayIcon&, bool byKeyboard) { ++(byKeyboard ? keySelects : selects); };
  icon.OnContextMenu = [&](TMyTrayIcon&, int32_t x, int32_t y) {
    menuX = x;
    menuY = y;
  };
  Send(icon, WM_USER + 1, MAKEWPARAM(-300, -40), MAKELPARAM(WM_CONTEXTMENU, 1));
  Send(icon, WM_USER + 1, MAKEWPARAM(5, 5), MAKELPARAM(NIN_SELECT, 1));
  Send(icon, WM_USER + 1, MAKEWPARAM(5, 5), MAKELPARAM(NIN_KEYSELECT, 1));
  EXPECT_EQ(menuX, -300);
  EXPECT_EQ(menuY, -40);
  EXPECT_EQ(selects, 1);
  EXPECT_EQ(keySelects, 1);
  // Other messages reach the default procedure: the window's empty title.
  EXPECT_EQ(Send(icon, WM_GETTEXTLENGTH, 0, 0), 0);
}

TEST_F(TrayWin32, PopupOpenShowsTheHintAndAClickHidesIt) {
  // A window of ours in front, to see that the hint takes nothing from it.
  HWND front = CreateWindowExW(0, L"STATIC", L"front", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                               200, 120, nullptr, nullptr, nullptr, nullptr);
  SetForegroundWindow(front);
  PumpFor(100);
  const HWND foreground = GetForegroundWindow();

  TMyTrayIcon icon(Win32TrayShell(), L"{HINT}");
  icon.SetStatusText(
      L"\x0002"
      L"Ethernet\r\n\x0003"
      L"Intel(R) Gigabit & Co\r\n\r\nSent 1 KB");
  const int x = 700, y = 760;  // an icon in the taskbar at the bottom
  Send(icon, WM_USER + 1, MAKEWPARAM(x, y), MAKELPARAM(NIN_POPUPOPEN, 1));
  ASSERT_TRUE(HintWindow);
  auto* hint = dynamic_cast<TfrmHint*>(HintWindow.get());
  ASSERT_NE(hint, nullptr);
  const HWND window = hint->Handle();
  PumpFor(100);
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(hint->OwnerKey, L"{HINT}");
  EXPECT_EQ(hint->Lines().size(), 4u);
  EXPECT_NE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  EXPECT_NE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
  EXPECT_EQ(GetWindowLongPtrW(window, GWL_STYLE) & ~(WS_VISIBLE | WS_CLIPSIBLINGS), WS_POPUP);
  EXPECT_EQ(GetForegroundWindow(), foreground);
  EXPECT_NE(GetActiveWindow(), window);

  // Next to the point, within the screen, not over the point.
  RECT r;
  GetWindowRect(window, &r);
  EXPECT_FALSE(PtInRect(&r, POINT{x, y}));
  EXPECT_GE(r.left, 0);
  EXPECT_LE(r.right, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_GE(r.top, 0);
  EXPECT_LE(r.bottom, GetSystemMetrics(SM_CYSCREEN));
  EXPECT_EQ(r.left, x);
  RECT work;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  if (FindWindowW(L"Shell_TrayWnd", nullptr) != nullptr)
    EXPECT_EQ(r.bottom, work.bottom + 2);  // 2 pixels into the taskbar's band
  else
    EXPECT_EQ(r.bottom, work.bottom);

  // Painted on the screen: the classic tooltip look where no visual style is active.
  if (!IsThemeActive()) {
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(GetPixel(screen, r.left, r.top), GetSysColor(COLOR_INFOTEXT));
    EXPECT_EQ(GetPixel(screen, r.left + 2, r.top + 1), GetSysColor(COLOR_INFOBK));
    ReleaseDC(nullptr, screen);
  }

  // A new text of the shown icon resizes and re-places it at once.
  icon.SetStatusText(
      L"\x0002"
      L"Ethernet\r\n" +
      std::wstring(60, L'M') + L"\r\nSent 2 KB");
  RECT wider;
  GetWindowRect(window, &wider);
  EXPECT_GT(wider.right - wider.left, r.right - r.left);
  EXPECT_LT(wider.bottom - wider.top, r.bottom - r.top);  // one line fewer
  EXPECT_EQ(wider.bottom, r.bottom);
  EXPECT_LE(wider.right, GetSystemMetrics(SM_CXSCREEN));
  r = wider;
  PumpFor(100);

  // A click on it closes it without activating it.
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  INPUT clicks[2]{};
  clicks[0].type = clicks[1].type = INPUT_MOUSE;
  clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, clicks, sizeof(INPUT));
  EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(window); }, 3000));
  EXPECT_EQ(GetForegroundWindow(), foreground);
  EXPECT_TRUE(IsWindow(window));  // hidden, not destroyed
  DestroyWindow(front);
}
