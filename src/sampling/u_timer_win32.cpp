#include "sampling/u_timer_win32.h"

#include <windows.h>
#include <mmsystem.h>

namespace {

constexpr wchar_t TickWindowClass[] = L"PulseryTickWindow";

bool PostTickMessage(uintptr_t window, uint32_t id) {
  return PostMessageW(reinterpret_cast<HWND>(window), WM_TIMER, id, 0) != FALSE;
}

void CALLBACK MultimediaTimerProc(UINT id, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) noexcept {
  try {
    TimerProc(id, user, &PostTickMessage);
  } catch (...) {  // never unwind into the timer thread
  }
}

LRESULT CALLBACK TickWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* timer = reinterpret_cast<TMyTimer*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (timer != nullptr && message == WM_TIMER) {
    try {
      if (timer->WndProc(message, wParam)) return 0;
    } catch (...) {  // a failing tick handler: InTick and the lock are already released
      return 0;
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

class TWin32TimerPlatform final : public TTimerPlatform {
 public:
  bool GetDevCaps(uint32_t& periodMin, uint32_t& periodMax) override {
    TIMECAPS caps{};
    if (timeGetDevCaps(&caps, sizeof caps) != TIMERR_NOERROR) return false;
    periodMin = caps.wPeriodMin;
    periodMax = caps.wPeriodMax;
    return true;
  }
  void BeginPeriod(uint32_t period) override { timeBeginPeriod(period); }
  void EndPeriod(uint32_t period) override { timeEndPeriod(period); }
  uint32_t SetEvent(uint32_t interval, uintptr_t window) override {
    return timeSetEvent(interval, interval, &MultimediaTimerProc, window,
                        TIME_PERIODIC | TIME_CALLBACK_FUNCTION | TIME_KILL_SYNCHRONOUS);
  }
  void KillEvent(uint32_t id) override { timeKillEvent(id); }

  uintptr_t CreateTickWindow(TMyTimer& owner) override {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW cls{};
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = &TickWindowProc;
    cls.hInstance = instance;
    cls.lpszClassName = TickWindowClass;
    RegisterClassExW(&cls);  // fails harmlessly when already registered
    HWND window = CreateWindowExW(0, TickWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  instance, &owner);
    return reinterpret_cast<uintptr_t>(window);
  }
  void DestroyTickWindow(uintptr_t window) override {
    if (window != 0) DestroyWindow(reinterpret_cast<HWND>(window));
  }
};

}  // namespace

TTimerPlatform& Win32TimerPlatform() {
  static TWin32TimerPlatform platform;
  return platform;
}
