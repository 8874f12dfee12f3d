// Loading the shipped icon sets: reading, decoding, the icon bits and the
// marked frames of every set, per set, into an image list that only keeps
// the bits. The Windows run adds the real icons and image list
// (iconsets_win32_bench.cpp).
#include <benchmark/benchmark.h>

#include "fakes/disk_iconset_files.h"
#include "fakes/fake_iconsets.h"

namespace {

// An image list that drops what it gets, so that memory stays flat.
class TCountingImages final : public TIconImages {
 public:
  int Cx = 16;
  int Count = 0;
  void IconSize(int& cx, int& cy) override { cx = cy = Cx; }
  int Append(const TIconBits& icon) override {
    benchmark::DoNotOptimize(icon.Bgra.data());
    return Count++;
  }
};

void BM_LoadShippedSets(benchmark::State& state) {
  TDiskIconSetFiles files(ShippedIconSetsFolder());
  TCountingImages images;
  images.Cx = int(state.range(0));
  TMyIconSets sets(files);
  sets.Images = &images;
  for (auto _ : state) sets.LoadAll();
  if (sets.Count() == 0) state.SkipWithError("no shipped icon sets found");
  state.counters["sets"] = sets.Count();
  // Seconds per set (one iteration loads them all), CPU time.
  state.counters["time_per_set"] =
      benchmark::Counter(double(sets.Count()), benchmark::Counter::kIsIterationInvariantRate |
                                                   benchmark::Counter::kInvert);
}
BENCHMARK(BM_LoadShippedSets)->Arg(16)->Arg(20)->Arg(32)->Unit(benchmark::kMicrosecond);

// The pixel work alone, on pictures already in memory: one set's six
// pictures decoded, converted and the four marked frames made.
void BM_DecodeAndConvertOneSet(benchmark::State& state) {
  TDiskIconSetFiles files(ShippedIconSetsFolder());
  const std::wstring folder = files.IconSetsFolder() + L"\\Default2\\";
  std::vector<std::vector<uint8_t>> data(6);
  for (int n = 1; n <= 6; ++n)
    if (!files.ReadFile(folder + IconFileName(n, 16, false), data[size_t(n - 1)]))
      state.SkipWithError("Default2 not found");
  for (auto _ : state) {
    TPngPicture pictures[6];
    for (int n = 0; n < 6; ++n) DecodePng(data[n].data(), data[n].size(), pictures[n]);
    for (int n = 0; n < 6; ++n) benchmark::DoNotOptimize(PngToIconBits(pictures[n], 16, 16));
    for (int n = 0; n < 4; ++n)
      benchmark::DoNotOptimize(PngToIconBits(OverlayPng(pictures[n], pictures[5]), 16, 16));
  }
}
BENCHMARK(BM_DecodeAndConvertOneSet)->Unit(benchmark::kMicrosecond);

}  // namespace
