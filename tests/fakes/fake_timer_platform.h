// A recording multimedia-timer platform: events are only numbers, nothing
// runs by itself; tests call TimerProc and WndProc as the platform would.
#pragma once

#include <string>
#include <vector>

#include "sampling/u_timer.h"

class TFakeTimerPlatform final : public TTimerPlatform {
 public:
  bool CapsFail = false;
  uint32_t CapsMin = 1, CapsMax = 1000000;
  bool SetEventFails = false;

  std::vector<std::string> Calls;  // "begin 1", "set 99", "kill 1", ...
  uint32_t NextId = 1;
  uintptr_t WindowHandle = 0x4242;
  TMyTimer* Owner = nullptr;

  bool GetDevCaps(uint32_t& periodMin, uint32_t& periodMax) override {
    if (CapsFail) return false;
    periodMin = CapsMin;
    periodMax = CapsMax;
    return true;
  }
  void BeginPeriod(uint32_t p) override { Calls.push_back("begin " + std::to_string(p)); }
  void EndPeriod(uint32_t p) override { Calls.push_back("end " + std::to_string(p)); }
  uint32_t SetEvent(uint32_t interval, uintptr_t window) override {
    Calls.push_back("set " + std::to_string(interval) + (window == WindowHandle ? "" : " ?window"));
    return SetEventFails ? 0 : NextId++;
  }
  void KillEvent(uint32_t id) override { Calls.push_back("kill " + std::to_string(id)); }
  uintptr_t CreateTickWindow(TMyTimer& owner) override {
    Owner = &owner;
    Calls.push_back("window");
    return WindowHandle;
  }
  void DestroyTickWindow(uintptr_t window) override {
    Calls.push_back(window == WindowHandle ? "destroy window" : "destroy ?window");
  }
};
