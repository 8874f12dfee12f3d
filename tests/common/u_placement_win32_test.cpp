// The placement helpers on Wine's real windows and its one virtual monitor.
#include "common/u_placement_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "fakes/win32_screen.h"

namespace {

class PlacementWin32 : public ::testing::Test {
 protected:
  void SetUp() override {
    Window = CreateWindowExW(0, L"STATIC", L"placed", WS_OVERLAPPEDWINDOW, 10, 10, 300, 200,
                             nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(Window, nullptr);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &Work, 0);
  }
  void TearDown() override { DestroyWindow(Window); }
  RECT Rect() const {
    RECT r;
    GetWindowRect(Window, &r);
    return r;
  }
  HWND Window = nullptr;
  RECT Work{};
};

}  // namespace

TEST_F(PlacementWin32, CentresOnTheWholeScreen) {
  SetCursorPos(100, 100);
  CenterOnCursorMonitor(Window);
  const RECT r = Rect();
  EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 300) / 2);
  EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - 200) / 2);  // the taskbar's band included
  EXPECT_EQ(r.right - r.left, 300);
}

TEST_F(PlacementWin32, ShowOnScreenPullsBackShowsAndActivates) {
  SetWindowPos(Window, nullptr, Work.right + 500, 100, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowOnScreen(Window);
  PumpFor(100);
  EXPECT_EQ(Rect().left, Work.right - 300);
  EXPECT_TRUE(IsWindowVisible(Window));
  EXPECT_EQ(GetForegroundWindow(), Window);

  HideWindow(Window);
  EXPECT_FALSE(IsWindowVisible(Window));
  ShowOnScreen(nullptr);  // nothing happens
  ShowOnScreenNoActivate(nullptr, false);
}

TEST_F(PlacementWin32, ShowOnScreenRestoresAMinimisedWindow) {
  SetWindowPos(Window, nullptr, Work.right + 500, 100, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(Window, SW_SHOWMINIMIZED);
  ASSERT_TRUE(IsIconic(Window));
  ShowOnScreen(Window);
  PumpFor(100);
  EXPECT_FALSE(IsIconic(Window));
  EXPECT_TRUE(IsWindowVisible(Window));
  EXPECT_EQ(Rect().left, Work.right - 300);  // corrected in its restored place
}

TEST_F(PlacementWin32, ShowOnScreenNoActivateLeavesTheFocus) {
  HWND front = CreateWindowExW(0, L"STATIC", L"front", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100,
                               100, nullptr, nullptr, nullptr, nullptr);
  SetForegroundWindow(front);
  PumpFor(50);
  SetWindowPos(Window, nullptr, 100, Work.bottom + 100, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowOnScreenNoActivate(Window, false);
  PumpFor(50);
  EXPECT_TRUE(IsWindowVisible(Window));
  EXPECT_EQ(Rect().top, Work.bottom / 2);
  EXPECT_EQ(GetForegroundWindow(), front);
  HideWindow(Window);
  ShowOnScreenNoActivate(Window, true);
  EXPECT_TRUE(IsIconic(Window));
  EXPECT_EQ(GetForegroundWindow(), front);
  DestroyWindow(front);
}
