// A full options load (construction) and save, and the INI reader on a large
// per-interface settings file, on the real file system.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "settings/u_inifile.h"
#include "settings/u_opts.h"

namespace fs = std::filesystem;

namespace {

class TBenchPaths final : public TShellPaths {
 public:
  std::wstring Base;
  std::wstring SpecialFolder(int) override { return Base; }
  std::wstring ExePath() override { return Base + PathDelim + L"pulsery.exe"; }
};

class TBenchClock final : public TClock {
 public:
  TLocalDateTime LocalNow() override { return EncodeDateTime({2026, 12, 10, 14, 0, 0}); }
};

struct TBenchFolder {
  TBenchFolder() {
    Dir = fs::temp_directory_path() / "pulsery_options_bench";
    fs::remove_all(Dir);
    fs::create_directories(Dir);
    Paths.Base = Dir.wstring();
  }
  ~TBenchFolder() { fs::remove_all(Dir); }
  fs::path Dir;
  TBenchPaths Paths;
  TBenchClock Clock;
};

void BM_OptionsLoad(benchmark::State& state) {
  TBenchFolder folder;
  TMyOpts opts(NativeFileSystem(), folder.Paths, folder.Clock);
  opts.SaveOptions();
  for (auto _ : state) {
    opts.LoadOptions();
    benchmark::DoNotOptimize(opts.Params.AnimSpeed);
  }
}
BENCHMARK(BM_OptionsLoad);

void BM_OptionsSave(benchmark::State& state) {
  TBenchFolder folder;
  TMyOpts opts(NativeFileSystem(), folder.Paths, folder.Clock);
  for (auto _ : state) {
    opts.Params.AnimSpeed = static_cast<uint8_t>((opts.Params.AnimSpeed + 1) % 3);
    benchmark::DoNotOptimize(opts.SaveOptions());
  }
}
BENCHMARK(BM_OptionsSave);

// Parsing and one lookup in a settings file of `range(0)` interface sections.
void BM_IniParseSections(benchmark::State& state) {
  TIniFile ini;
  for (int i = 0; i < state.range(0); ++i) {
    const std::wstring key =
        L"{" + std::to_wstring(100000000 + i) + L"-0000-0000-0000-000000000000}";
    ini.WriteBool(key, L"OwnIcon", true);
    ini.WriteBool(key, L"HideOff", true);
    ini.WriteBool(key, L"InetIcon", false);
    ini.WriteString(key, L"IconSet", L"Default2");
  }
  const std::string bytes = ini.Serialize();
  for (auto _ : state) {
    const TIniFile parsed = TIniFile::Parse(bytes);
    benchmark::DoNotOptimize(parsed.ReadString(L"{missing}", L"IconSet", L""));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(BM_IniParseSections)->Arg(10)->Arg(1000);

}  // namespace
