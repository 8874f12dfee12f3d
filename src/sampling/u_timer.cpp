#include "sampling/u_timer.h"

#include <utility>

#include "sampling/u_iphlpapi.h"

std::recursive_mutex SampleLock;

bool TimerProc(uint32_t id, uintptr_t window, TPostTick post) {
  bool sampled;
  {
    std::unique_lock lock(SampleLock, std::try_to_lock);
    if (!lock.owns_lock()) return false;  // a tick is reading the snapshot
    sampled = SampleInterfaces();
  }
  // Never post while holding the lock.
  return sampled && post(window, id);
}

TMyTimer::TMyTimer(TTimerPlatform& platform) : Platform_(platform) {
  {
    std::lock_guard lock(SampleLock);
    IfTable = TOwnIfTable2();
  }
  uint32_t periodMin = 0, periodMax = 0;
  if (Platform_.GetDevCaps(periodMin, periodMax) && periodMin > 0 && periodMin <= periodMax) {
    PeriodMin_ = periodMin;
    PeriodMax_ = periodMax;
  }
  Platform_.BeginPeriod(PeriodMin_);
  Window_ = Platform_.CreateTickWindow(*this);
}

TMyTimer::~TMyTimer() {
  OnTimer_ = nullptr;
  // Kill a still running event here too, so that no callback can run once
  // the window and the snapshot are gone.
  if (TimerId_ != 0) {
    Platform_.KillEvent(TimerId_);
    TimerId_ = 0;
  }
  Platform_.EndPeriod(PeriodMin_);
  Enabled_ = false;
  Platform_.DestroyTickWindow(Window_);
  Window_ = 0;
  std::lock_guard lock(SampleLock);
  ReleaseRawTable();
}

void TMyTimer::SetEnabled(bool enabled) {
  if (enabled == Enabled_) return;
  Enabled_ = enabled;
  Restart();
}

void TMyTimer::SetInterval(uint32_t interval) {
  if (interval == Interval_) return;
  if (interval < PeriodMin_) interval = PeriodMin_;
  if (interval > PeriodMax_) interval = PeriodMax_;
  Interval_ = interval;
  Restart();
}

void TMyTimer::SetOnTimer(TOnTimer handler) {
  OnTimer_ = std::move(handler);
  Restart();
}

void TMyTimer::Restart() {
  if (TimerId_ != 0) {
    Platform_.KillEvent(TimerId_);
    // Messages still queued from the killed event are no ticks any more.
    TimerId_ = 0;
  }
  if (Interval_ != 0 && Enabled_ && OnTimer_) {
    TimerId_ = Platform_.SetEvent(Interval_, Window_);
    InTick_ = false;
  }
}

bool TMyTimer::WndProc(uint32_t message, uintptr_t wParam) {
  if (message != WmTimer || TimerId_ == 0 || wParam != TimerId_) return false;
  if (InTick_) return true;  // no nested ticks: dropped, not deferred
  struct TInTickScope {
    bool& flag;
    explicit TInTickScope(bool& f) : flag(f) { flag = true; }
    ~TInTickScope() { flag = false; }
  } scope(InTick_);
  DispatchTick();
  return true;
}

void TMyTimer::DispatchTick() {
  std::unique_lock lock(SampleLock, std::try_to_lock);
  if (!lock.owns_lock()) return;  // the timer thread is sampling: skip this tick
  if (OnTimer_) {
    // The handler may replace itself (SetOnTimer) while it runs.
    TOnTimer handler = OnTimer_;
    handler(*this);
  }
}
