// A recording notification area: every call is kept with a copy of the
// notify data it was given; results and pictures are scripted.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "tray/u_tray.h"

// A hint window that only records what the tray icons ask of it.
class TFakeHintWindow final : public THintWindow {
 public:
  explicit TFakeHintWindow(std::vector<std::string>& log) : Log(log) {}
  std::vector<std::string>& Log;
  bool Shown = false;
  std::wstring Text;

  bool Visible() const override { return Shown; }
  void SetText(const std::wstring& text) override {
    Text = text;
    Log.push_back("text");
  }
  void PlaceHint(int32_t x, int32_t y) override {
    Log.push_back("place " + std::to_string(x) + "," + std::to_string(y));
  }
  void Close() override {
    Shown = false;
    Log.push_back("close");
  }
  void ShowNoActivate() override {
    Shown = true;
    Log.push_back("show");
  }
  void Repaint() override { Log.push_back("repaint"); }
};

struct TNotifyCall {
  uint32_t Message;
  TNotifyData Data;
};

class TFakeTrayShell final : public TTrayShell {
 public:
  TOsVersion Version{10, 0};
  std::wstring Exe = L"C:\\Tools\\Pulsery\\pulsery.exe";
  uintptr_t NextWindow = 0x1234'0000'0010;
  uint32_t TaskbarCreated = 0xC0F0;
  std::deque<bool> NotifyResults;  // scripted results, then true
  bool ExePathThrows = false;      // as when memory runs out

  std::vector<TNotifyCall> Notifies;
  std::vector<std::string> Calls;  // everything, in order: "notify 0", "geticon 3", ...
  std::map<uintptr_t, int> LiveIcons;
  int HintsCreated = 0;

  bool Notify(uint32_t message, const TNotifyData& data) override {
    Notifies.push_back({message, data});
    Calls.push_back("notify " + std::to_string(message));
    if (NotifyResults.empty()) return true;
    const bool result = NotifyResults.front();
    NotifyResults.pop_front();
    return result;
  }
  uintptr_t CreateUtilityWindow(TMyTrayIcon&) override {
    Calls.push_back("window");
    return NextWindow++;
  }
  void DestroyUtilityWindow(uintptr_t) override { Calls.push_back("destroy window"); }
  // Pictures exist for indexes 0..9 of any list; the handle names list and index.
  uintptr_t GetIcon(uintptr_t images, int32_t index) override {
    Calls.push_back("geticon " + std::to_string(index));
    if (index < 0 || index > 9) return 0;
    const uintptr_t icon = images * 100 + uintptr_t(index) + 1;
    ++LiveIcons[icon];
    return icon;
  }
  void DestroyIcon(uintptr_t icon) override {
    Calls.push_back("destroyicon");
    if (--LiveIcons[icon] == 0) LiveIcons.erase(icon);
  }
  TOsVersion OsVersion() override { return Version; }
  std::wstring ExePath() override {
    if (ExePathThrows) throw std::bad_alloc();
    return Exe;
  }
  uint32_t TaskbarCreatedMessage() override { return TaskbarCreated; }
  std::unique_ptr<THintWindow> CreateHintWindow() override {
    ++HintsCreated;
    Calls.push_back("create hint");
    return std::make_unique<TFakeHintWindow>(Calls);
  }

  std::vector<uint32_t> Messages() const {
    std::vector<uint32_t> m;
    for (const auto& call : Notifies) m.push_back(call.Message);
    return m;
  }
  void Clear() {
    Notifies.clear();
    Calls.clear();
  }
};
