// One sampling attempt's own work: copying the rows and building the address
// texts, with the platform's answers prepared in advance.
#include <benchmark/benchmark.h>

#include "fakes/fake_iphlpapi.h"
#include "sampling/u_iphlpapi.h"

namespace {

void PrepareFake(TFakeIpHelper& api, int interfaces) {
  api.Rows.clear();
  api.AdapterList.clear();
  for (int i = 0; i < interfaces; ++i) {
    api.Rows.push_back(FakeRow(uint32_t(i + 1), u"Ethernet adapter"));
    TFakeAdapter a;
    a.Name = "{4D36E972-E325-11CE-BFC1-08002BE1" + std::to_string(10000 + i) + "}";
    a.Mac = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, uint8_t(i)};
    a.MacLength = 6;
    a.Addresses = {FakeIPv4(192, 168, uint8_t(i >> 8), uint8_t(i)),
                   FakeIPv6({0xfe80, 0, 0, 0, 0x21a, 0x2bff, 0xfe3c, uint16_t(i)}, uint32_t(i + 1)),
                   FakeIPv6({0x2001, 0xdb8, 0, 0, 0, 0, 0, uint16_t(i)})};
    api.AdapterList.push_back(a);
  }
}

void BM_SampleInterfaces(benchmark::State& state) {
  TFakeIpHelper api;
  PrepareFake(api, int(state.range(0)));
  TIpHelperScope installed(api);
  for (auto _ : state) {
    bool ok = SampleInterfaces();
    benchmark::DoNotOptimize(ok);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SampleInterfaces)->Arg(8)->Arg(64)->Arg(256);

void BM_CopyRows(benchmark::State& state) {
  TFakeIpHelper api;
  PrepareFake(api, int(state.range(0)));
  TMibIfTable2* table = nullptr;
  api.GetIfTable2(&table);
  RawTable = table;
  for (auto _ : state) {
    CopyRows();
    benchmark::ClobberMemory();
  }
  RawTable = nullptr;
  api.FreeMibTable(table);
  ReleaseSnapshot();
}
BENCHMARK(BM_CopyRows)->Arg(8)->Arg(64)->Arg(256);

}  // namespace
