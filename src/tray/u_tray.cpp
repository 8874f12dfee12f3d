#include "tray/u_tray.h"

#include "tray/u_crc32.h"

std::unique_ptr<THintWindow> HintWindow;

bool UsesGuidIdentity(TOsVersion version) {
  return version.Major > 6 || (version.Major == 6 && version.Minor >= 1);
}

std::wstring IdentityText(const std::wstring& key, const std::wstring& exePath) {
  return key + L"{PULSERY-ALL}" + exePath;
}

TGuid IdentityGuid(const std::wstring& identity) {
  TMD5Ref md5 = CreateMD5();
  md5->UpdateText(identity);
  TGuid guid;
  TextToGuid(md5->GuidText(), guid);  // always well-formed
  return guid;
}

uint32_t IdentityNumber(const std::wstring& identity) {
  return Crc32Identity(TextToUtf8(identity));
}

bool SameKey(const std::wstring& a, const std::wstring& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    wchar_t x = a[i], y = b[i];
    if (x >= L'a' && x <= L'z') x = x - L'a' + L'A';
    if (y >= L'a' && y <= L'z') y = y - L'a' + L'A';
    if (x != y) return false;
  }
  return true;
}

TMyTrayIcon::TMyTrayIcon(TTrayShell& shell, const std::wstring& key) : Shell_(shell), Key_(key) {
  TaskbarCreated_ = Shell_.TaskbarCreatedMessage();
  TNotifyData& data = *NotifyData_;
  data.cbSize = sizeof(TNotifyData);
  data.uFlags = NifMessage | NifIcon;
  data.uCallbackMessage = TrayCallbackMessage;
  // Everything that can fail comes before the window: once it exists, its
  // messages go to this object, which must then be complete.
  const std::wstring identity = IdentityText(Key_, Shell_.ExePath());
  const bool byGuid = UsesGuidIdentity(Shell_.OsVersion());
  if (byGuid) {
    data.uFlags |= NifGuid;
    data.guidItem = IdentityGuid(identity);
  } else {
    data.uID = IdentityNumber(identity);
  }
  data.hWnd = Shell_.CreateUtilityWindow(*this);
  if (byGuid) data.uID = static_cast<uint32_t>(data.hWnd);
}

TMyTrayIcon::~TMyTrayIcon() {
  Notify(NimDelete);
  Shell_.DestroyUtilityWindow(NotifyData_->hWnd);
  SetIcon(0);
}

void TMyTrayIcon::SetIcon(uintptr_t icon) {
  const uintptr_t old = Icon_;
  Icon_ = icon;
  if (old != 0) Shell_.DestroyIcon(old);  // the shell keeps its own copy
}

void TMyTrayIcon::SetImages(uintptr_t images) {
  if (images == Images_) return;
  Images_ = images;
  if (Images_ == 0) return;
  SetIcon(Shell_.GetIcon(Images_, IconIndex_));
  UpdateIcon();
}

void TMyTrayIcon::SetIconIndex(int32_t index) {
  if (index == IconIndex_) return;
  IconIndex_ = index;
  if (Images_ != 0) SetIcon(Shell_.GetIcon(Images_, IconIndex_));
  UpdateIcon();
}

void TMyTrayIcon::SetVisible(bool visible) {
  if (visible == Visible_) return;
  Visible_ = visible;
  Notify(Visible_ ? NimAdd : NimDelete);
}

void TMyTrayIcon::UpdateIcon() {
  NotifyData_->hIcon = Icon_;
  if (Visible_) Notify(NimModify);
}

bool TMyTrayIcon::Notify(uint32_t message) {
  TNotifyData& data = *NotifyData_;
  bool ok = Shell_.Notify(message, data);
  if (message != NimAdd) return ok;
  if (!ok) {
    // An icon with our identity is still there (left over from a crashed run,
    // or never removed by a restarting taskbar): take it away and add again.
    Shell_.Notify(NimDelete, data);
    ok = Shell_.Notify(NimAdd, data);
  }
  data.uVersion = NotifyIconVersion4;
  data.uFlags |= NifTip;
  data.szTip[0] = u' ';  // a blank tip: the hint window stands in for it
  data.szTip[1] = 0;
  Shell_.Notify(NimSetVersion, data);
  Shell_.Notify(NimModify, data);
  return ok;
}

bool TMyTrayIcon::WndProc(uint32_t message, uintptr_t wParam, intptr_t lParam, intptr_t& result) {
  result = 0;
  switch (message) {
    case WmQueryEndSession:
      result = 1;  // never block the end of a session
      return true;
    case WmEndSession:
      if (wParam != 0) Notify(NimDelete);
      return true;
    case TrayCallbackMessage: {
      const uint32_t code = static_cast<uint32_t>(lParam) & 0xFFFF;
      // Signed: monitors left of or above the primary one have negative coordinates.
      const int32_t x = static_cast<int16_t>(wParam & 0xFFFF);
      const int32_t y = static_cast<int16_t>((wParam >> 16) & 0xFFFF);
      switch (code) {
        case WmContextMenu:
          if (OnContextMenu) OnContextMenu(*this, x, y);
          break;
        case NinSelect:
        case NinKeySelect:
          if (OnSelect) OnSelect(*this, code == NinKeySelect);
          break;
        case NinPopupOpen:
          ShowHint(*this, x, y);
          break;
        case NinPopupClose:
          HideHint();
          break;
        default:
          break;
      }
      return true;
    }
    default:
      break;
  }
  // The taskbar was recreated: our icon went with it.
  if (TaskbarCreated_ != 0 && message == TaskbarCreated_ && Visible_) Notify(NimAdd);
  return false;
}

void TMyTrayIcon::SetStatusText(const std::wstring& text) {
  if (text == StatusText_) return;
  StatusText_ = text;
  if (HintWindow && HintWindow->Visible() && SameKey(HintWindow->OwnerKey, Key_)) {
    HintWindow->SetText(StatusText_);
    HintWindow->PlaceHint(HintWindow->AnchorX, HintWindow->AnchorY);
    HintWindow->Repaint();
  }
}

void ShowHint(TMyTrayIcon& icon, int32_t x, int32_t y) {
  if (icon.StatusText().empty()) return;
  if (!HintWindow) HintWindow = icon.Shell().CreateHintWindow();
  if (!HintWindow) return;
  THintWindow& hint = *HintWindow;
  if (!SameKey(hint.OwnerKey, icon.Key()) && hint.Visible()) hint.Close();
  hint.OwnerKey = icon.Key();
  hint.SetText(icon.StatusText());
  hint.AnchorX = x;
  hint.AnchorY = y;
  hint.PlaceHint(x, y);
  if (!hint.Visible()) hint.ShowNoActivate();
}

void HideHint() {
  if (HintWindow && HintWindow->Visible()) HintWindow->Close();
}

void FreeHintWindow() {
  HintWindow.reset();
}
