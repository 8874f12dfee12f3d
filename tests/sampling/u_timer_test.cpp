#include "sampling/u_timer.h"

#include <gtest/gtest.h>

#include <future>
#include <stdexcept>

#include "fakes/fake_iphlpapi.h"
#include "fakes/fake_timer_platform.h"

namespace {

using Calls = std::vector<std::string>;

// Whether another thread could take SampleLock right now.
bool LockFreeForOthers() {
  return std::async(std::launch::async,
                    [] {
                      std::unique_lock lock(SampleLock, std::try_to_lock);
                      return lock.owns_lock();
                    })
      .get();
}

class TimerTest : public ::testing::Test {
 protected:
  TFakeIpHelper api;
  TIpHelperScope installed{api};
  TFakeTimerPlatform platform;
};

}  // namespace

TEST_F(TimerTest, CreatedStoppedAndDestroyedInOrder) {
  {
    TMyTimer timer(platform);
    EXPECT_FALSE(timer.Enabled());
    EXPECT_FALSE(timer.InTick());
    EXPECT_EQ(timer.Interval(), 1000u);
    EXPECT_EQ(timer.TimerId(), 0u);
    EXPECT_EQ(timer.Window(), platform.WindowHandle);
    EXPECT_EQ(platform.Calls, (Calls{"begin 1", "window"}));
    platform.Calls.clear();
  }
  EXPECT_EQ(platform.Calls, (Calls{"end 1", "destroy window"}));
}

TEST_F(TimerTest, DestructionKillsAnEventTheOwnerLeftRunning) {
  platform.CapsMin = 5;
  {
    TMyTimer timer(platform);
    timer.SetOnTimer([](TMyTimer&) {});
    timer.SetEnabled(true);
    platform.Calls.clear();
    // A table left behind is released too.
    ASSERT_EQ(api.GetIfTable2(&RawTable), 0u);
  }
  EXPECT_EQ(platform.Calls, (Calls{"kill 1", "end 5", "destroy window"}));
  EXPECT_EQ(RawTable, nullptr);
  EXPECT_EQ(api.TablesOutstanding, 0);
}

TEST_F(TimerTest, DeviceCapsFailureUsesTheDocumentedRange) {
  platform.CapsFail = true;
  TMyTimer timer(platform);
  EXPECT_EQ(timer.PeriodMin(), DefaultPeriodMin);
  EXPECT_EQ(timer.PeriodMax(), DefaultPeriodMax);
  timer.SetInterval(99);
  EXPECT_EQ(timer.Interval(), 99u);
}

TEST_F(TimerTest, SetIntervalClampsAndRestarts) {
  platform.CapsMin = 10;
  platform.CapsMax = 5000;
  TMyTimer timer(platform);
  timer.SetOnTimer([](TMyTimer&) {});
  timer.SetEnabled(true);
  platform.Calls.clear();

  struct {
    uint32_t requested, stored;
    Calls calls;
  } cases[] = {
      {99, 99, {"kill 1", "set 99"}},
      {99, 99, {}},  // same value: no restart
      {5, 10, {"kill 2", "set 10"}},
      {3, 10, {"kill 3", "set 10"}},  // clamped to the old value: restarts all the same
      {6000, 5000, {"kill 4", "set 5000"}},
      {1700, 1700, {"kill 5", "set 1700"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.requested);
    platform.Calls.clear();
    timer.SetInterval(c.requested);
    EXPECT_EQ(timer.Interval(), c.stored);
    EXPECT_EQ(platform.Calls, c.calls);
  }
  timer.SetEnabled(false);
}

TEST_F(TimerTest, EventStartsOnlyWhenEnabledWithHandler) {
  TMyTimer timer(platform);
  platform.Calls.clear();

  timer.SetInterval(250);  // disabled: only stored
  EXPECT_EQ(timer.Interval(), 250u);
  EXPECT_TRUE(platform.Calls.empty());

  timer.SetEnabled(true);  // no handler yet: nothing starts
  EXPECT_TRUE(platform.Calls.empty());
  EXPECT_EQ(timer.TimerId(), 0u);
  timer.SetEnabled(true);  // unchanged: no restart
  EXPECT_TRUE(platform.Calls.empty());

  timer.SetOnTimer([](TMyTimer&) {});
  EXPECT_EQ(platform.Calls, (Calls{"set 250"}));
  EXPECT_EQ(timer.TimerId(), 1u);

  platform.Calls.clear();
  timer.SetOnTimer([](TMyTimer&) {});  // a new handler restarts the event
  EXPECT_EQ(platform.Calls, (Calls{"kill 1", "set 250"}));

  platform.Calls.clear();
  timer.SetEnabled(false);
  EXPECT_EQ(platform.Calls, (Calls{"kill 2"}));
  EXPECT_EQ(timer.TimerId(), 0u);
  // A message the killed event left in the queue is no tick.
  EXPECT_FALSE(timer.WndProc(WmTimer, 2));
}

TEST_F(TimerTest, FailedEventStartLeavesTimerEnabledWithoutTicks) {
  platform.SetEventFails = true;
  TMyTimer timer(platform);
  int ticks = 0;
  timer.SetOnTimer([&](TMyTimer&) { ++ticks; });
  timer.SetEnabled(true);
  EXPECT_TRUE(timer.Enabled());
  EXPECT_EQ(timer.TimerId(), 0u);
  EXPECT_FALSE(timer.WndProc(WmTimer, 0));
  EXPECT_EQ(ticks, 0);
}

TEST_F(TimerTest, WndProcRunsOneTickPerMessageOfTheCurrentEvent) {
  TMyTimer timer(platform);
  int ticks = 0;
  bool lockHeld = false;
  timer.SetOnTimer([&](TMyTimer& t) {
    ++ticks;
    EXPECT_TRUE(t.InTick());
    lockHeld = !LockFreeForOthers();
  });
  timer.SetEnabled(true);
  const uint32_t id = timer.TimerId();

  EXPECT_TRUE(timer.WndProc(WmTimer, id));
  EXPECT_EQ(ticks, 1);
  EXPECT_TRUE(lockHeld);
  EXPECT_FALSE(timer.InTick());
  EXPECT_TRUE(LockFreeForOthers());

  EXPECT_FALSE(timer.WndProc(WmTimer, id + 7));  // another identifier: default procedure
  EXPECT_FALSE(timer.WndProc(0x0010, id));       // another message
  EXPECT_EQ(ticks, 1);

  // After a restart the old identifier's queued messages are ignored.
  timer.SetInterval(500);
  EXPECT_NE(timer.TimerId(), id);
  EXPECT_FALSE(timer.WndProc(WmTimer, id));
  EXPECT_TRUE(timer.WndProc(WmTimer, timer.TimerId()));
  EXPECT_EQ(ticks, 2);
  timer.SetEnabled(false);
}

TEST_F(TimerTest, TicksNeverNest) {
  TMyTimer timer(platform);
  int ticks = 0;
  bool nestedAnswer = false;
  timer.SetOnTimer([&](TMyTimer& t) {
    ++ticks;
    // A tick that pumps messages meets the next tick message: dropped.
    nestedAnswer = t.WndProc(WmTimer, t.TimerId());
  });
  timer.SetEnabled(true);
  EXPECT_TRUE(timer.WndProc(WmTimer, timer.TimerId()));
  EXPECT_EQ(ticks, 1);
  EXPECT_TRUE(nestedAnswer);  // handled (dropped), not passed on
  EXPECT_TRUE(timer.WndProc(WmTimer, timer.TimerId()));
  EXPECT_EQ(ticks, 2);  // not deferred: only the new message ran
  timer.SetEnabled(false);
}

TEST_F(TimerTest, TickIsSkippedWhileTheTimerThreadSamples) {
  TMyTimer timer(platform);
  int ticks = 0;
  timer.SetOnTimer([&](TMyTimer&) { ++ticks; });
  timer.SetEnabled(true);

  std::promise<void> locked, release;
  auto sampler = std::async(std::launch::async, [&] {
    std::lock_guard lock(SampleLock);
    locked.set_value();
    release.get_future().wait();
  });
  locked.get_future().wait();
  EXPECT_TRUE(timer.WndProc(WmTimer, timer.TimerId()));
  EXPECT_EQ(ticks, 0);
  release.set_value();
  sampler.get();
  EXPECT_TRUE(timer.WndProc(WmTimer, timer.TimerId()));
  EXPECT_EQ(ticks, 1);
  timer.SetEnabled(false);
}

TEST_F(TimerTest, RaisingHandlerReleasesInTickAndLock) {
  TMyTimer timer(platform);
  int ticks = 0;
  timer.SetOnTimer([&](TMyTimer&) {
    if (++ticks == 1) throw std::runtime_error("tick failed");
  });
  timer.SetEnabled(true);
  EXPECT_THROW(timer.WndProc(WmTimer, timer.TimerId()), std::runtime_error);
  EXPECT_FALSE(timer.InTick());
  EXPECT_TRUE(LockFreeForOthers());
  EXPECT_TRUE(timer.WndProc(WmTimer, timer.TimerId()));
  EXPECT_EQ(ticks, 2);
  timer.SetEnabled(false);
}

TEST_F(TimerTest, FirstTickSwitchesFrom99ToThePeriod) {
  TMyTimer timer(platform);
  timer.SetOnTimer([](TMyTimer& t) {
    if (t.Interval() == 99) t.SetInterval(1000);
  });
  timer.SetInterval(99);
  timer.SetEnabled(true);
  EXPECT_EQ(timer.Interval(), 99u);  // 99 lies inside the platform's range
  platform.Calls.clear();
  EXPECT_TRUE(timer.WndProc(WmTimer, timer.TimerId()));
  EXPECT_EQ(timer.Interval(), 1000u);
  EXPECT_EQ(platform.Calls, (Calls{"kill 1", "set 1000"}));
  EXPECT_FALSE(timer.InTick());
  timer.SetEnabled(false);
}

namespace {
struct TPosted {
  int count = 0;
  uintptr_t window = 0;
  uint32_t id = 0;
  bool lockFree = false;
};
TPosted Posted;
bool RecordPost(uintptr_t window, uint32_t id) {
  ++Posted.count;
  Posted.window = window;
  Posted.id = id;
  Posted.lockFree = LockFreeForOthers();
  return true;
}
}  // namespace

TEST_F(TimerTest, TimerProcPostsOnePerSuccessfulSample) {
  api.Rows = {FakeRow(1, u"Ethernet")};
  Posted = {};
  EXPECT_TRUE(TimerProc(5, 0x77, &RecordPost));
  EXPECT_EQ(Posted.count, 1);
  EXPECT_EQ(Posted.window, 0x77u);
  EXPECT_EQ(Posted.id, 5u);
  EXPECT_TRUE(Posted.lockFree);  // never posted while holding the lock
  EXPECT_EQ(IfTable.NumEntries, 1u);

  // A failed sample posts nothing.
  api.IfTableResult = 8;
  EXPECT_FALSE(TimerProc(5, 0x77, &RecordPost));
  EXPECT_EQ(Posted.count, 1);

  // A busy lock takes no sample at all.
  api.IfTableResult = NoError;
  api.IfTableCalls = 0;
  std::promise<void> locked, release;
  auto tick = std::async(std::launch::async, [&] {
    std::lock_guard lock(SampleLock);
    locked.set_value();
    release.get_future().wait();
  });
  locked.get_future().wait();
  EXPECT_FALSE(TimerProc(5, 0x77, &RecordPost));
  release.set_value();
  tick.get();
  EXPECT_EQ(api.IfTableCalls, 0);
  EXPECT_EQ(Posted.count, 1);
}

TEST_F(TimerTest, FailingSamplesNeverReachTheHandler) {
  api.IfTableResult = 8;
  TMyTimer timer(platform);
  int ticks = 0;
  timer.SetOnTimer([&](TMyTimer&) { ++ticks; });
  timer.SetEnabled(true);
  Posted = {};
  for (int period = 0; period < 20; ++period) {
    if (TimerProc(timer.TimerId(), timer.Window(), &RecordPost)) timer.WndProc(WmTimer, Posted.id);
  }
  EXPECT_EQ(Posted.count, 0);
  EXPECT_EQ(ticks, 0);
  timer.SetEnabled(false);
}
