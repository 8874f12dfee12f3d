#include "common/u_placement_win32.h"

#include "common/u_placement.h"

namespace {

TScreenRect ToScreenRect(const RECT& r) {
  return {r.left, r.top, r.right, r.bottom};
}

bool MonitorRects(HMONITOR monitor, MONITORINFO& info) {
  info = MONITORINFO{};
  info.cbSize = sizeof info;
  return monitor != nullptr && GetMonitorInfoW(monitor, &info);
}

// The on-screen corrections of the window's position against its monitor's
// work area. A minimised window is corrected in its restored place.
void CorrectOnScreen(HWND window) {
  MONITORINFO info;
  if (!MonitorRects(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), info)) return;
  const TScreenRect work = ToScreenRect(info.rcWork);
  if (!IsIconic(window)) {
    RECT r;
    if (!GetWindowRect(window, &r)) return;
    const TScreenPoint pos = OnScreenPos(ToScreenRect(r), work);
    if (pos.X != r.left || pos.Y != r.top)
      SetWindowPos(window, nullptr, pos.X, pos.Y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return;
  }
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  if (!GetWindowPlacement(window, &placement)) return;
  // The restored place is kept in workspace coordinates (relative to the
  // primary monitor's work area) except for tool windows.
  POINT offset{0, 0};
  MONITORINFO primary;
  if (!(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) &&
      MonitorRects(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), primary))
    offset = {primary.rcWork.left - primary.rcMonitor.left,
              primary.rcWork.top - primary.rcMonitor.top};
  RECT& normal = placement.rcNormalPosition;
  TScreenRect r = ToScreenRect(normal);
  r.Left += offset.x;
  r.Right += offset.x;
  r.Top += offset.y;
  r.Bottom += offset.y;
  const TScreenPoint pos = OnScreenPos(r, work);
  if (pos.X == r.Left && pos.Y == r.Top) return;
  OffsetRect(&normal, pos.X - r.Left, pos.Y - r.Top);
  placement.showCmd = SW_SHOWMINNOACTIVE;  // only the restored place changes here
  SetWindowPlacement(window, &placement);
}

}  // namespace

void CenterOnCursorMonitor(HWND window) {
  POINT cursor;
  if (!GetCursorPos(&cursor)) return;
  HMONITOR monitor = MonitorFromPoint(cursor, MONITOR_DEFAULTTONULL);
  if (monitor == nullptr) {
    if (MonitorFromWindow(window, MONITOR_DEFAULTTONULL) != nullptr) {
      // The pointer may have been between monitors: look once more.
      if (!GetCursorPos(&cursor)) return;
      monitor = MonitorFromPoint(cursor, MONITOR_DEFAULTTONULL);
      if (monitor == nullptr) return;
    } else {
      monitor = MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY);
    }
  }
  MONITORINFO info;
  RECT r;
  if (!MonitorRects(monitor, info) || !GetWindowRect(window, &r)) return;
  const TScreenPoint pos =
      CenteredPos(ToScreenRect(info.rcMonitor), r.right - r.left, r.bottom - r.top);
  SetWindowPos(window, nullptr, pos.X, pos.Y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ShowOnScreen(HWND window) {
  if (window == nullptr) return;
  CorrectOnScreen(window);
  ShowWindow(window, SW_SHOW);
  SetForegroundWindow(window);
  if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
}

void ShowOnScreenNoActivate(HWND window, bool minimised) {
  if (window == nullptr) return;
  CorrectOnScreen(window);
  ShowWindow(window, minimised ? SW_SHOWMINNOACTIVE : SW_SHOWNA);
}

void HideWindow(HWND window) {
  if (window != nullptr) ShowWindow(window, SW_HIDE);
}
