// One icon in the taskbar notification area per interface entry: its picture
// from the main window's image list, its visibility, its stable identity, the
// entry's last status text, and the notification area's callbacks turned into
// OnSelect / OnContextMenu events and into showing and hiding the one hint
// window of the process.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "tray/u_hint.h"
#include "tray/u_md5.h"

class TMyTrayIcon;

// Shell_NotifyIconW messages and flags, and the version-4 callback codes.
constexpr uint32_t NimAdd = 0;
constexpr uint32_t NimModify = 1;
constexpr uint32_t NimDelete = 2;
constexpr uint32_t NimSetVersion = 4;
constexpr uint32_t NifMessage = 0x01;
constexpr uint32_t NifIcon = 0x02;
constexpr uint32_t NifTip = 0x04;
constexpr uint32_t NifGuid = 0x20;
constexpr uint32_t NifShowTip = 0x80;
constexpr uint32_t NotifyIconVersion4 = 4;

constexpr uint32_t TrayCallbackMessage = 0x0401;  // WM_USER + 1
constexpr uint32_t WmQueryEndSession = 0x0011;
constexpr uint32_t WmEndSession = 0x0016;
constexpr uint32_t WmContextMenu = 0x007B;
constexpr uint32_t WmMouseMove = 0x0200;
constexpr uint32_t WmLButtonUp = 0x0202;
constexpr uint32_t NinSelect = 0x0400;
constexpr uint32_t NinKeySelect = 0x0401;
constexpr uint32_t NinPopupOpen = 0x0406;
constexpr uint32_t NinPopupClose = 0x0407;

// The platform's NOTIFYICONDATAW of the Vista layout, byte for byte (checked
// against the real one in the Windows build). Handles are carried as numbers.
struct TNotifyData {
  uint32_t cbSize;
  uintptr_t hWnd;
  uint32_t uID;
  uint32_t uFlags;
  uint32_t uCallbackMessage;
  uintptr_t hIcon;
  char16_t szTip[128];
  uint32_t dwState;
  uint32_t dwStateMask;
  char16_t szInfo[256];
  uint32_t uVersion;  // shares its place with uTimeout
  char16_t szInfoTitle[64];
  uint32_t dwInfoFlags;
  TGuid guidItem;
  uintptr_t hBalloonIcon;
};
static_assert(sizeof(void*) != 8 || sizeof(TNotifyData) == 976);

struct TOsVersion {
  uint32_t Major = 0;
  uint32_t Minor = 0;
};

// Windows 7 (6.1) and later identify an icon by GUID; Vista by its number.
bool UsesGuidIdentity(TOsVersion version);

// Key + "{PULSERY-ALL}" + the executable's full path: the same for the same
// interface and executable on every run, different for different interfaces
// and for copies of the executable elsewhere.
std::wstring IdentityText(const std::wstring& key, const std::wstring& exePath);
// The GUID of an identity text: its MD5 digest text read as a GUID.
TGuid IdentityGuid(const std::wstring& identity);
// The number of an identity text on Vista: complemented CRC-32, never 0.
uint32_t IdentityNumber(const std::wstring& identity);

// Keys are compared without regard to ASCII letter case.
bool SameKey(const std::wstring& a, const std::wstring& b);

// What a tray icon needs of the platform.
class TTrayShell {
 public:
  virtual ~TTrayShell() = default;
  // Shell_NotifyIconW; its success.
  virtual bool Notify(uint32_t message, const TNotifyData& data) = 0;
  // A never-shown 0 x 0 top-level tool window whose messages go to
  // owner.WndProc (the default procedure when it returns false).
  virtual uintptr_t CreateUtilityWindow(TMyTrayIcon& owner) = 0;
  virtual void DestroyUtilityWindow(uintptr_t window) = 0;
  // ImageList_GetIcon with normal drawing; 0 when the index names no picture.
  virtual uintptr_t GetIcon(uintptr_t images, int32_t index) = 0;
  virtual void DestroyIcon(uintptr_t icon) = 0;
  virtual TOsVersion OsVersion() = 0;
  virtual std::wstring ExePath() = 0;
  // The registered "TaskbarCreated" message.
  virtual uint32_t TaskbarCreatedMessage() = 0;
  // The hint window, created on first need.
  virtual std::unique_ptr<THintWindow> CreateHintWindow() = 0;
};

class TMyTrayIcon {
 public:
  using TOnSelect = std::function<void(TMyTrayIcon& sender, bool byKeyboard)>;
  using TOnContextMenu = std::function<void(TMyTrayIcon& sender, int32_t x, int32_t y)>;

  // Ready, with its identity, but not yet in the notification area.
  TMyTrayIcon(TTrayShell& shell, const std::wstring& key);
  // Removed from the notification area whatever Visible says.
  virtual ~TMyTrayIcon();
  TMyTrayIcon(const TMyTrayIcon&) = delete;
  TMyTrayIcon& operator=(const TMyTrayIcon&) = delete;

  // The image list (not owned) pictures are taken from; 0 for none.
  void SetImages(uintptr_t images);
  // Adds to (true) or removes from (false) the notification area.
  virtual void SetVisible(bool visible);
  // The picture shown; an index without picture shows an empty place.
  virtual void SetIconIndex(int32_t index);
  // The utility window's procedure: true when the message was handled (with
  // `result` as the answer), false when it goes to the default procedure.
  virtual bool WndProc(uint32_t message, uintptr_t wParam, intptr_t lParam, intptr_t& result);

  // Keeps the entry's text; updates the hint window when it shows this icon.
  void SetStatusText(const std::wstring& text);

  const std::wstring& Key() const { return Key_; }
  const std::wstring& StatusText() const { return StatusText_; }
  bool Visible() const { return Visible_; }
  int32_t IconIndex() const { return IconIndex_; }
  uintptr_t Images() const { return Images_; }
  uintptr_t Icon() const { return Icon_; }
  uintptr_t Window() const { return NotifyData_->hWnd; }
  const TNotifyData& NotifyData() const { return *NotifyData_; }
  TTrayShell& Shell() const { return Shell_; }

  TOnSelect OnSelect;
  TOnContextMenu OnContextMenu;

 private:
  void SetIcon(uintptr_t icon);
  void UpdateIcon();
  bool Notify(uint32_t message);

  TTrayShell& Shell_;
  std::wstring Key_;
  uintptr_t Icon_ = 0;                                                         // owned
  std::unique_ptr<TNotifyData> NotifyData_ = std::make_unique<TNotifyData>();  // zero-filled
  uintptr_t Images_ = 0;
  std::wstring StatusText_;
  int32_t IconIndex_ = 0;
  bool Visible_ = false;
  uint32_t TaskbarCreated_ = 0;
};

// The one hint window of the process, shared by all tray icons; created on
// first need, freed by FreeHintWindow at the end of the process.
extern std::unique_ptr<THintWindow> HintWindow;

// Shows the hint for the icon at the point (nothing when its text is empty).
void ShowHint(TMyTrayIcon& icon, int32_t x, int32_t y);
// Hides the hint, whichever icon it shows.
void HideHint();
void FreeHintWindow();
