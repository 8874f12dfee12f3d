#include "tray/u_tray_win32.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstddef>
#include <cstring>

#include "tray/f_hint.h"

// The portable record must be the platform's, byte for byte.
static_assert(sizeof(NOTIFYICONDATAW) == sizeof(TNotifyData));
static_assert(sizeof(void*) != 8 || sizeof(NOTIFYICONDATAW) == 976);
static_assert(offsetof(NOTIFYICONDATAW, hWnd) == offsetof(TNotifyData, hWnd));
static_assert(offsetof(NOTIFYICONDATAW, uID) == offsetof(TNotifyData, uID));
static_assert(offsetof(NOTIFYICONDATAW, uFlags) == offsetof(TNotifyData, uFlags));
static_assert(offsetof(NOTIFYICONDATAW, uCallbackMessage) ==
              offsetof(TNotifyData, uCallbackMessage));
static_assert(offsetof(NOTIFYICONDATAW, hIcon) == offsetof(TNotifyData, hIcon));
static_assert(offsetof(NOTIFYICONDATAW, szTip) == offsetof(TNotifyData, szTip));
static_assert(offsetof(NOTIFYICONDATAW, szInfo) == offsetof(TNotifyData, szInfo));
static_assert(offsetof(NOTIFYICONDATAW, uVersion) == offsetof(TNotifyData, uVersion));
static_assert(offsetof(NOTIFYICONDATAW, szInfoTitle) == offsetof(TNotifyData, szInfoTitle));
static_assert(offsetof(NOTIFYICONDATAW, dwInfoFlags) == offsetof(TNotifyData, dwInfoFlags));
static_assert(offsetof(NOTIFYICONDATAW, guidItem) == offsetof(TNotifyData, guidItem));
static_assert(offsetof(NOTIFYICONDATAW, hBalloonIcon) == offsetof(TNotifyData, hBalloonIcon));
static_assert(NIM_ADD == NimAdd && NIM_MODIFY == NimModify && NIM_DELETE == NimDelete &&
              NIM_SETVERSION == NimSetVersion);
static_assert(NIF_MESSAGE == NifMessage && NIF_ICON == NifIcon && NIF_TIP == NifTip &&
              NIF_GUID == NifGuid && NIF_SHOWTIP == NifShowTip);
static_assert(NIN_SELECT == NinSelect && NIN_KEYSELECT == NinKeySelect &&
              NIN_POPUPOPEN == NinPopupOpen && NIN_POPUPCLOSE == NinPopupClose);
static_assert(NOTIFYICON_VERSION_4 == NotifyIconVersion4 && WM_CONTEXTMENU == WmContextMenu);

namespace {

// Registered once when the process starts.
const UINT TaskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");

constexpr wchar_t UtilityWindowClass[] = L"PulseryTrayIconWindow";

LRESULT CALLBACK UtilityWindowProc(HWND window, UINT message, WPARAM wParam,
                                   LPARAM lParam) noexcept {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* icon = reinterpret_cast<TMyTrayIcon*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (icon != nullptr) {
    try {
      intptr_t result = 0;
      if (icon->WndProc(message, wParam, lParam, result)) return result;
    } catch (...) {  // never unwind into the system
      return 0;
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

TOsVersion ReadOsVersion() {
  // RtlGetVersion tells the truth whatever the manifest says.
  using TRtlGetVersion = LONG(WINAPI*)(OSVERSIONINFOW*);
  TOsVersion version{6, 0};
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");  // always loaded
  auto get = ntdll ? reinterpret_cast<TRtlGetVersion>(
                         reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
                   : nullptr;
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (get != nullptr && get(&info) == 0) version = {info.dwMajorVersion, info.dwMinorVersion};
  return version;
}

class TWin32TrayShell final : public TTrayShell {
 public:
  bool Notify(uint32_t message, const TNotifyData& data) override {
    NOTIFYICONDATAW record;
    std::memcpy(&record, &data, sizeof record);
    return Shell_NotifyIconW(message, &record) != FALSE;
  }

  uintptr_t CreateUtilityWindow(TMyTrayIcon& owner) override {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW cls{};
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = &UtilityWindowProc;
    cls.hInstance = instance;
    cls.lpszClassName = UtilityWindowClass;
    RegisterClassExW(&cls);  // fails harmlessly when already registered
    // A real top-level window, not a message-only one: only those receive the
    // "TaskbarCreated" and end-of-session broadcasts.
    HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, UtilityWindowClass, L"", WS_POPUP, 0, 0, 0, 0,
                                  nullptr, nullptr, instance, &owner);
    return reinterpret_cast<uintptr_t>(window);
  }

  void DestroyUtilityWindow(uintptr_t window) override {
    if (window != 0) DestroyWindow(reinterpret_cast<HWND>(window));
  }

  uintptr_t GetIcon(uintptr_t images, int32_t index) override {
    auto list = reinterpret_cast<HIMAGELIST>(images);
    if (index < 0 || index >= ImageList_GetImageCount(list)) return 0;
    return reinterpret_cast<uintptr_t>(ImageList_GetIcon(list, index, ILD_NORMAL));
  }

  void DestroyIcon(uintptr_t icon) override { ::DestroyIcon(reinterpret_cast<HICON>(icon)); }

  TOsVersion OsVersion() override {
    static const TOsVersion version = ReadOsVersion();
    return version;
  }

  std::wstring ExePath() override {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
      const DWORD length = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
      if (length == 0) return L"";
      if (length < path.size()) {
        path.resize(length);
        return path;
      }
      if (path.size() >= 65536) return L"";
      path.resize(path.size() * 2);  // cut off: try a larger buffer
    }
  }

  uint32_t TaskbarCreatedMessage() override { return TaskbarCreated; }

  std::unique_ptr<THintWindow> CreateHintWindow() override { return std::make_unique<TfrmHint>(); }
};

}  // namespace

TTrayShell& Win32TrayShell() {
  static TWin32TrayShell shell;
  return shell;
}
