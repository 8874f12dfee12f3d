// The sampling timer on Wine's real multimedia timer and window messages.
#include "sampling/u_timer_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>

#include "fakes/fake_iphlpapi.h"
#include "sampling/u_iphlpapi.h"

namespace {

// Pumps this thread's messages until done() or the time runs out.
template <class F>
bool PumpUntil(F done, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  while (!done()) {
    if (GetTickCount64() > end) return false;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

// Counts sampling attempts and makes each one slow, so that a callback is
// likely to be running whenever the test stops the timer.
class TSlowIpHelper final : public TIpHelperApi {
 public:
  std::atomic<int> Attempts{0};
  std::atomic<bool> Inside{false};
  TFakeIpHelper Inner;

  bool HasGetIfTable2() const override { return true; }
  bool HasFreeMibTable() const override { return true; }
  bool HasGetAdaptersAddresses() const override { return true; }
  uint32_t GetIfTable2(TMibIfTable2** table) override {
    Inside = true;
    ++Attempts;
    Sleep(15);
    const uint32_t result = Inner.GetIfTable2(table);
    Inside = false;
    return result;
  }
  void FreeMibTable(TMibIfTable2* table) override { Inner.FreeMibTable(table); }
  uint32_t GetAdaptersAddresses(uint32_t f, uint32_t g, TAdapterAddresses* b,
                                uint32_t* s) override {
    return Inner.GetAdaptersAddresses(f, g, b, s);
  }
  void* AllocBuffer(size_t size) override { return Inner.AllocBuffer(size); }
  void FreeBuffer(void* buffer) override { Inner.FreeBuffer(buffer); }
  std::wstring AnsiToText(const char* text) override { return Inner.AnsiToText(text); }
};

}  // namespace

TEST(TimerWin32, TicksArriveOnTheUiThreadAndStopWithTheTimer) {
  TSlowIpHelper api;
  api.Inner.Rows = {FakeRow(1, u"Ethernet")};
  TIpHelperScope installed(api);

  const DWORD uiThread = GetCurrentThreadId();
  int ticks = 0;
  bool onUiThread = true;
  auto timer = std::make_unique<TMyTimer>(Win32TimerPlatform());
  EXPECT_LE(timer->PeriodMin(), 99u);
  EXPECT_GE(timer->PeriodMax(), 1700u);
  timer->SetOnTimer([&](TMyTimer& t) {
    ++ticks;
    onUiThread = onUiThread && GetCurrentThreadId() == uiThread;
    EXPECT_EQ(IfTable.NumEntries, 1u);
    if (t.Interval() == 99) t.SetInterval(20);
  });
  timer->SetInterval(99);
  timer->SetEnabled(true);
  EXPECT_NE(timer->TimerId(), 0u);

  EXPECT_TRUE(PumpUntil([&] { return ticks >= 5; }, 5000));
  EXPECT_TRUE(onUiThread);
  EXPECT_EQ(timer->Interval(), 20u);

  // Stop while callbacks keep coming: no callback may run after this.
  timer->SetEnabled(false);
  EXPECT_FALSE(api.Inside);
  timer.reset();
  const int attempts = api.Attempts;
  Sleep(200);
  EXPECT_EQ(api.Attempts, attempts);
  EXPECT_EQ(api.Inner.TablesOutstanding, 0);

  // Messages still queued for the destroyed window are gone with it.
  const int ticksAtStop = ticks;
  PumpUntil([] { return false; }, 100);
  EXPECT_EQ(ticks, ticksAtStop);
}

TEST(TimerWin32, DestructionAloneStopsARunningEvent) {
  TSlowIpHelper api;
  TIpHelperScope installed(api);
  {
    TMyTimer timer(Win32TimerPlatform());
    timer.SetOnTimer([](TMyTimer&) {});
    timer.SetInterval(10);
    timer.SetEnabled(true);
    Sleep(100);
  }  // destroyed while enabled
  EXPECT_FALSE(api.Inside);
  const int attempts = api.Attempts;
  EXPECT_GT(attempts, 0);
  Sleep(150);
  EXPECT_EQ(api.Attempts, attempts);
}

TEST(TimerWin32, OtherMessagesReachTheDefaultProcedure) {
  TFakeIpHelper api;
  TIpHelperScope installed(api);
  TMyTimer timer(Win32TimerPlatform());
  HWND window = reinterpret_cast<HWND>(timer.Window());
  ASSERT_NE(window, nullptr);
  // WM_GETTEXTLENGTH goes to DefWindowProcW: the window's empty title.
  EXPECT_EQ(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0), 0);
  // A timer message of no event of ours is not a tick.
  int ticks = 0;
  timer.SetOnTimer([&](TMyTimer&) { ++ticks; });
  SendMessageW(window, WM_TIMER, 12345, 0);
  EXPECT_EQ(ticks, 0);
}
