// One real sampling attempt against the system's IP Helper library.
#include <benchmark/benchmark.h>

#include <mutex>

#include "sampling/u_iphlpapi.h"
#include "sampling/u_iphlpapi_win32.h"
#include "sampling/u_timer.h"

namespace {

void BM_SampleInterfacesReal(benchmark::State& state) {
  if (!BindIpHelper()) {
    state.SkipWithError("iphlpapi.dll not loadable");
    return;
  }
  std::lock_guard lock(SampleLock);
  for (auto _ : state) {
    bool ok = SampleInterfaces();
    benchmark::DoNotOptimize(ok);
  }
  state.counters["rows"] = IfTable.NumEntries;
  state.counters["adapters"] = double(Adapters.size());
  UnbindIpHelper();
}
BENCHMARK(BM_SampleInterfacesReal)->Unit(benchmark::kMicrosecond);

}  // namespace
