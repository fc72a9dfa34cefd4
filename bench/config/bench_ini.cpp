// Reading speed of large INI texts: one section holding many keys, and many small sections, parsed
// into the store and then looked up. Peak resident memory is printed with each case.
#include "zqINI_File.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <sys/resource.h>

namespace {

// About 16 bytes a line, so 300,000 keys make a file of about 4.7 MB.
std::string ini_text(int keys, int keysPerSection) {
  std::string text;
  text.reserve(static_cast<std::size_t>(keys) * 18);
  char line[64];
  for (int i = 0; i < keys; ++i) {
    if (i % keysPerSection == 0) {
      std::snprintf(line, sizeof line, "[S%d]\n", i / keysPerSection);
      text += line;
    }
    std::snprintf(line, sizeof line, "K%06d = %d\n", i, i);
    text += line;
  }
  return text;
}

double peak_rss_mb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void read_ini(benchmark::State& state, int keysPerSection) {
  const int keys = static_cast<int>(state.range(0));
  const std::string text = ini_text(keys, keysPerSection);
  for (auto _ : state) {
    auto ini = std::make_unique<TzqINI_File>();
    std::istringstream in(text);
    ini->LoadFromText(in);
    // Every key read back once, as a loader would.
    char key[32], section[32];
    std::snprintf(section, sizeof section, "S%d", (keys - 1) / keysPerSection);
    std::snprintf(key, sizeof key, "k%06d", keys - 1);
    benchmark::DoNotOptimize(ini->FindRecord(section, key));
    // Freeing the store is not part of reading it.
    state.PauseTiming();
    ini.reset();
    state.ResumeTiming();
  }
  state.counters["file_MB"] = static_cast<double>(text.size()) / 1e6;
  state.counters["peak_rss_MB"] = peak_rss_mb();
}

void BM_IniOneSection(benchmark::State& state) {
  read_ini(state, 1 << 30);
}
void BM_IniManySections(benchmark::State& state) {
  read_ini(state, 3);
}

} // namespace

BENCHMARK(BM_IniOneSection)->Arg(40000)->Arg(300000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_IniManySections)->Arg(40000)->Arg(300000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
