// One text lookup per operation, as the status texts do on every tick: a hash
// on the language name, then one on the index.
#include <benchmark/benchmark.h>

#include <string>

#include "fakes/fake_code_page.h"
#include "settings/u_langs.h"

namespace {

// Ten languages of 68 texts each, like the shipped file.
std::string TenLanguages() {
  static const char* const names[] = {"English",
                                      "German",
                                      "French",
                                      "Spanish",
                                      "Italian",
                                      "Russian",
                                      "Polish",
                                      "Japanese",
                                      "Portuguese (Brazil)",
                                      "Chinese (Simplified)"};
  std::string file = "\xEF\xBB\xBF";
  for (const char* name : names) {
    file += std::string("[") + name + "]\r\n";
    for (int i = 0; i <= 72; ++i) {
      if ((i >= 12 && i <= 14) || i == 33 || i == 34) continue;
      file += std::to_string(i) + "=Text number " + std::to_string(i) + " of " + name + "\r\n";
    }
  }
  return file;
}

void BM_GetLangStr(benchmark::State& state) {
  TFakeCodePage codePage;
  LoadLangBytes(TenLanguages(), codePage);
  // The current language as the options hold it, in another case than the file.
  const std::wstring lang = L"portuguese (brazil)";
  uint16_t index = 28;
  for (auto _ : state) {
    benchmark::DoNotOptimize(GetLangStr(lang, index));
    index = index == 60 ? 28 : index + 1;  // the status-text range
  }
  FreeLangFile();
}
BENCHMARK(BM_GetLangStr);

void BM_GetLangStrMissing(benchmark::State& state) {
  TFakeCodePage codePage;
  LoadLangBytes(TenLanguages(), codePage);
  const std::wstring lang = L"Klingon";
  for (auto _ : state) benchmark::DoNotOptimize(GetLangStr(lang, 45));
  FreeLangFile();
}
BENCHMARK(BM_GetLangStrMissing);

}  // namespace
