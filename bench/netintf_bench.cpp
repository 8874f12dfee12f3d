// One tick of the interface list (reconciliation plus accounting) with the
// snapshot already taken and no platform calls.
#include <benchmark/benchmark.h>

#include "fakes/fake_netintf.h"
#include "netintf/u_netintf.h"

namespace {

void BM_UpdateTraffic(benchmark::State& state) {
  const int n = int(state.range(0));
  TFakeIntfPlatform platform;
  TFakeSettingsStore settings;
  TMyIntfs intfs(platform, settings);
  intfs.Reset();
  TOwnIfTable2 table;
  TOwnAdapters adapters;
  for (int i = 0; i < n; ++i) {
    TMibIfRow2 row{};
    row.InterfaceGuid.Data1 = 0xD0000000u + uint32_t(i);
    row.InterfaceGuid.Data4[7] = uint8_t(i);
    row.Alias[0] = char16_t(u'A' + i % 26);
    row.Alias[1] = char16_t(u'0' + i % 10);
    row.InterfaceAndOperStatusFlags = IfFlagHardwareInterface;
    row.MediaConnectState = 1;
    row.OperStatus = OperStatusUp;
    row.Type = 6;
    table.Table.push_back(row);
    adapters.push_back({GuidToText(row.InterfaceGuid), L"00-1A-2B-3C-4D-5E", L"192.168.1.10",
                        L"fe80::21a:2bff:fe3c:4d5e%12"});
  }
  table.NumEntries = uint32_t(n);
  intfs.UpdateTraffic(table, adapters, false, 1000);  // creates the entries
  uint64_t tick = 0;
  for (auto _ : state) {
    ++tick;
    for (TMibIfRow2& row : table.Table) {
      row.InOctets += tick;
      row.OutOctets += tick & 1;
    }
    intfs.UpdateTraffic(table, adapters, false, 1000);
  }
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_UpdateTraffic)->Arg(4)->Arg(16)->Arg(64)->Arg(256);

}  // namespace
