// Program entry: binds the IP Helper library, starts the sampling timer and
// runs the message loop until the window is closed or the session ends.
#include <windows.h>
#include <objbase.h>

#include <memory>

#include "sampling/u_iphlpapi_win32.h"
#include "sampling/u_timer_win32.h"
#include "settings/u_langs.h"
#include "settings/u_langs_win32.h"
#include "settings/u_opts.h"
#include "settings/u_opts_win32.h"
#include "tray/u_tray.h"

namespace {

constexpr wchar_t MainWindowClass[] = L"PulseryMainWindow";
constexpr uint32_t FirstInterval = 99;
constexpr uint32_t TickInterval = 1000;

struct TApp {
  std::unique_ptr<TMyTimer> Timer;
  bool Ticked = false;

  std::unique_ptr<TMyOpts> Opts;

  void Start() {
    Opts = std::make_unique<TMyOpts>(NativeFileSystem(), Win32ShellPaths(), Win32Clock());
    MyOpts = Opts.get();
    ApplyStartUp(Opts->Params);
    Timer = std::make_unique<TMyTimer>(Win32TimerPlatform());
    Timer->SetOnTimer([this](TMyTimer& timer) { Tick(timer); });
    Timer->SetInterval(FirstInterval);
    Timer->SetEnabled(true);
  }

  void Tick(TMyTimer& timer) {
    // The first tick comes quickly after start; then the regular period.
    if (timer.Interval() == FirstInterval) timer.SetInterval(TickInterval);
    if (!Ticked) {
      Ticked = true;
      OutputDebugStringW(L"Pulsery: first tick\n");
    }
  }

  // In order: the timer is stopped before it is destroyed; then what the
  // process set up at start, the library last.
  void Stop() {
    if (Timer) {
      Timer->SetEnabled(false);
      Timer.reset();
    }
    MyOpts = nullptr;
    Opts.reset();  // writes the options file
    FreeHintWindow();
    FreeLangFile();
    UnbindIpHelper();
    OutputDebugStringW(L"Pulsery: stopped\n");
  }
};

TApp App;

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  try {
    switch (message) {
      case WM_QUERYENDSESSION:
        return TRUE;  // never block a logoff
      case WM_ENDSESSION:
        // The process may be ended as soon as this returns.
        if (wParam) {
          App.Stop();
          ExitProcess(0);
        }
        return 0;
      case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
  } catch (...) {
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // The UI thread is a COM apartment (the connectivity probe lives on it).
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  BindIpHelper();
  LoadLangFileAtStart();

  WNDCLASSEXW cls{};
  cls.cbSize = sizeof cls;
  cls.lpfnWndProc = &MainWindowProc;
  cls.hInstance = instance;
  cls.hIcon = LoadIconW(instance, L"MAINICON");
  cls.lpszClassName = MainWindowClass;
  RegisterClassExW(&cls);
  // A hidden top-level window: it receives the end-of-session broadcasts.
  HWND window = CreateWindowExW(0, MainWindowClass, L"Pulsery", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                instance, nullptr);
  if (window == nullptr) {
    UnbindIpHelper();
    return 1;
  }

  App.Start();
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  App.Stop();
  if (SUCCEEDED(com)) CoUninitialize();
  return static_cast<int>(msg.wParam);
}
