// The sampling timer: a periodic multimedia event whose callback, on the
// timer thread, takes a snapshot and posts one tick message per successful
// sample to a hidden window; the window runs the tick handler on the UI thread.
// Both sides only try to take SampleLock, so neither ever waits for the other.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>

class TMyTimer;

// Guards the snapshot (IfTable, Adapters, RawTable). Recursive like a
// critical section: a tick that pumps messages may try it again on its thread.
extern std::recursive_mutex SampleLock;

constexpr uint32_t WmTimer = 0x0113;

// What the timer needs of the platform: multimedia timer services and the
// hidden window that receives the tick messages.
class TTimerPlatform {
 public:
  virtual ~TTimerPlatform() = default;
  // timeGetDevCaps; false when it fails.
  virtual bool GetDevCaps(uint32_t& periodMin, uint32_t& periodMax) = 0;
  virtual void BeginPeriod(uint32_t period) = 0;
  virtual void EndPeriod(uint32_t period) = 0;
  // Starts a periodic event that runs TimerProc(id, window, ...) on the timer
  // thread every `interval` ms; returns its identifier, 0 on failure.
  virtual uint32_t SetEvent(uint32_t interval, uintptr_t window) = 0;
  // Stops the event; once it returns no callback of it is running or will run.
  virtual void KillEvent(uint32_t id) = 0;
  // The hidden window whose tick messages go to owner.WndProc.
  virtual uintptr_t CreateTickWindow(TMyTimer& owner) = 0;
  virtual void DestroyTickWindow(uintptr_t window) = 0;
};

// Posts the tick message (WM_TIMER, id, 0) to the window; false when it fails.
using TPostTick = bool (*)(uintptr_t window, uint32_t id);

// The periodic event's callback, on the timer thread: one sampling attempt if
// SampleLock is free, and one tick message if it succeeded. Returns whether a
// message was posted.
bool TimerProc(uint32_t id, uintptr_t window, TPostTick post);

// Used when the platform cannot report its timer range.
constexpr uint32_t DefaultPeriodMin = 1;
constexpr uint32_t DefaultPeriodMax = 1000000;

class TMyTimer {
 public:
  using TOnTimer = std::function<void(TMyTimer&)>;

  explicit TMyTimer(TTimerPlatform& platform);
  ~TMyTimer();
  TMyTimer(const TMyTimer&) = delete;
  TMyTimer& operator=(const TMyTimer&) = delete;

  void SetEnabled(bool enabled);
  void SetInterval(uint32_t interval);
  void SetOnTimer(TOnTimer handler);

  bool Enabled() const { return Enabled_; }
  bool InTick() const { return InTick_; }
  uint32_t Interval() const { return Interval_; }
  uint32_t TimerId() const { return TimerId_; }
  uint32_t PeriodMin() const { return PeriodMin_; }
  uint32_t PeriodMax() const { return PeriodMax_; }
  uintptr_t Window() const { return Window_; }

  // The hidden window's procedure: true when the message was a tick of the
  // current event (answered 0), false when it goes to the default procedure.
  bool WndProc(uint32_t message, uintptr_t wParam);

 private:
  void Restart();
  void DispatchTick();

  TTimerPlatform& Platform_;
  bool Enabled_ = false;
  bool InTick_ = false;
  uintptr_t Window_ = 0;
  uint32_t Interval_ = 1000;
  uint32_t TimerId_ = 0;
  uint32_t PeriodMin_ = DefaultPeriodMin;
  uint32_t PeriodMax_ = DefaultPeriodMax;
  TOnTimer OnTimer_;
};
