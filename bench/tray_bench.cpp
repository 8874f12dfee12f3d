// What the tick costs a tray icon per shown entry: unchanged frames and texts
// (the usual case, no platform call at all) against a changed frame.
#include <benchmark/benchmark.h>

#include <string>

#include "tray/u_hint.h"
#include "tray/u_tray.h"

namespace {

// Counts platform calls; does nothing else.
class TCountingShell final : public TTrayShell {
 public:
  int64_t Calls = 0;
  bool Notify(uint32_t, const TNotifyData&) override { return ++Calls, true; }
  uintptr_t CreateUtilityWindow(TMyTrayIcon&) override { return ++Calls, 0x10; }
  void DestroyUtilityWindow(uintptr_t) override { ++Calls; }
  uintptr_t GetIcon(uintptr_t, int32_t index) override { return ++Calls, uintptr_t(index) + 1; }
  void DestroyIcon(uintptr_t) override { ++Calls; }
  TOsVersion OsVersion() override { return {10, 0}; }
  std::wstring ExePath() override { return L"C:\\Program Files\\Pulsery\\pulsery.exe"; }
  uint32_t TaskbarCreatedMessage() override { return 0xC0F0; }
  std::unique_ptr<THintWindow> CreateHintWindow() override { return nullptr; }
};

const std::wstring StatusText =
    L"\x0002"
    L"Ethernet\r\n\x0003"
    L"Intel(R) Ethernet Connection I219-V\r\n\r\n"
    L"IPv4: 192.168.1.23\r\nSpeed: 1 Gbit/s\r\nSent: 12.3 MB\r\nReceived: 456.7 MB";

void ShownIcon(TCountingShell& shell, TMyTrayIcon& icon) {
  icon.SetImages(7);
  icon.SetVisible(true);
  icon.SetIconIndex(3);
  icon.SetStatusText(StatusText);
  shell.Calls = 0;
}

void BM_SetIconIndexUnchanged(benchmark::State& state) {
  TCountingShell shell;
  TMyTrayIcon icon(shell, L"{PULSERY-ALL}");
  ShownIcon(shell, icon);
  for (auto _ : state) icon.SetIconIndex(3);
  state.counters["platform_calls"] = double(shell.Calls);
}
BENCHMARK(BM_SetIconIndexUnchanged);

void BM_SetStatusTextUnchanged(benchmark::State& state) {
  TCountingShell shell;
  TMyTrayIcon icon(shell, L"{PULSERY-ALL}");
  ShownIcon(shell, icon);
  const std::wstring same = StatusText;  // equal, not the same object
  for (auto _ : state) icon.SetStatusText(same);
  state.counters["platform_calls"] = double(shell.Calls);
}
BENCHMARK(BM_SetStatusTextUnchanged);

void BM_SetIconIndexChanged(benchmark::State& state) {
  TCountingShell shell;
  TMyTrayIcon icon(shell, L"{PULSERY-ALL}");
  ShownIcon(shell, icon);
  int32_t frame = 0;
  for (auto _ : state) icon.SetIconIndex(frame ^= 1);
  state.counters["calls_per_change"] =
      benchmark::Counter(double(shell.Calls), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_SetIconIndexChanged);

void BM_IdentityGuid(benchmark::State& state) {
  const std::wstring identity =
      IdentityText(L"{4D36E972-E325-11CE-BFC1-08002BE10318}", L"C:\\Program Files\\Pulsery\\p.exe");
  for (auto _ : state) benchmark::DoNotOptimize(IdentityGuid(identity));
}
BENCHMARK(BM_IdentityGuid);

void BM_PlaceHintPos(benchmark::State& state) {
  THintScreen screen;
  screen.HasMonitor = screen.HasTaskbar = true;
  screen.Bounds = {0, 0, 1920, 1080};
  screen.Work = {0, 0, 1920, 1040};
  screen.Taskbar = {0, 1040, 1920, 1080};
  for (auto _ : state) benchmark::DoNotOptimize(PlaceHintPos({1850, 1060}, 260, 140, screen));
}
BENCHMARK(BM_PlaceHintPos);

}  // namespace
