// Loading the shipped icon sets on Windows: FindFirstFileW, decoding, real
// icons (CreateDIBSection, CreateIconIndirect) and a real image list, per set.
#include <windows.h>
#include <commctrl.h>

#include <benchmark/benchmark.h>

#include "fakes/disk_iconset_files.h"
#include "tray/u_iconsets_win32.h"

namespace {

void BM_LoadShippedSetsIntoImageList(benchmark::State& state) {
  TWin32IconSetFiles files(ShippedIconSetsFolder().wstring());
  const int size = int(state.range(0));
  int count = 0;
  for (auto _ : state) {
    state.PauseTiming();
    HIMAGELIST list = ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 40, 40);
    TWin32IconImages images(list);
    state.ResumeTiming();
    TMyIconSets sets(files);
    sets.Images = &images;
    sets.LoadAll();
    count = sets.Count();
    state.PauseTiming();
    ImageList_Destroy(list);
    state.ResumeTiming();
  }
  if (count == 0) state.SkipWithError("no shipped icon sets found");
  state.counters["sets"] = count;
  state.counters["time_per_set"] = benchmark::Counter(
      double(count), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_LoadShippedSetsIntoImageList)
    ->Arg(16)
    ->Arg(20)
    ->Arg(32)
    ->Unit(benchmark::kMicrosecond);

}  // namespace

namespace {

TIconBits OpaqueBits(int size) {
  TPngPicture picture;
  picture.Width = picture.Height = size;
  picture.HasAlpha = true;
  picture.Rgba.assign(size_t(size) * size * 4, 200);
  return PngToIconBits(picture, size, size);
}

// One icon made of ready bits (the platform's share of a frame).
void BM_CreateIconFromBits(benchmark::State& state) {
  const TIconBits bits = OpaqueBits(16);
  for (auto _ : state) {
    HICON icon = CreateIconFromBits(bits);
    benchmark::DoNotOptimize(icon);
    DestroyIcon(icon);
  }
}
BENCHMARK(BM_CreateIconFromBits)->Unit(benchmark::kMicrosecond);

// One ready icon appended to the image list.
void BM_ImageListReplaceIcon(benchmark::State& state) {
  HICON icon = CreateIconFromBits(OpaqueBits(16));
  HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 64, 64);
  for (auto _ : state) benchmark::DoNotOptimize(ImageList_ReplaceIcon(list, -1, icon));
  ImageList_Destroy(list);
  DestroyIcon(icon);
}
BENCHMARK(BM_ImageListReplaceIcon)->Unit(benchmark::kMicrosecond);

}  // namespace
