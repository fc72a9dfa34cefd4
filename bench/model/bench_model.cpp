// Speed of the line list: the Lorentz recomputation (the hot path) on a synthetic 100,000-line list
// and on the real CO2 and H2O lists at 288 K and 1013 mb, with 1 and 2 threads; the Doppler
// recomputation; and reading a 40 MB line file. Each case reports ms per recomputation and
// line-point pairs per second.
#include "zqFaddeeva.h"
#include "zqHITRAN.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <string>

namespace {

const std::filesystem::path kHitran = ABSORBVIEW_HITRAN_DIR;

std::string record(double nu, double s, double air) {
  char line[128];
  std::snprintf(line, sizeof line, " 21%12.6f%10.3E%10.3E%5.4f%5.3f%10.4f%4.2f", nu, s, 1.0, air, 0.1, 100.0,
                0.73);
  // "%5.4f" writes 0.0700 (six characters); HITRAN drops the leading zero.
  std::string text(line);
  text.erase(35, 1);
  text.resize(100, ' ');
  return text;
}

// 100,000 lines spread over 0-5000 cm-1 with half width 0.07 at 296 K and 1013 mb.
std::filesystem::path synthetic_file() {
  const auto path = std::filesystem::temp_directory_path() / "absorbview-bench-synthetic.par";
  if (!std::filesystem::exists(path)) {
    std::ofstream out(path);
    std::mt19937_64 random(42);
    std::uniform_real_distribution<double> log_s(-26, -19);
    for (int i = 0; i < 100000; ++i)
      out << record(0.05 * i + 0.025, std::pow(10.0, log_s(random)), 0.07) << "\n";
  }
  return path;
}

struct Case {
  std::string file;
  std::string code;
  double temperature, pressure;
};

std::unique_ptr<T_zq_HITRAN> load(const Case& c) {
  auto list = std::make_unique<T_zq_HITRAN>();
  list->MoleculeType = c.code;
  list->LoadFromFile(c.file);
  list->SetWavenumberMin(0);
  list->SetWavenumberMax(5000);
  list->SetTemperature(c.temperature);
  list->SetPressure(c.pressure);
  return list;
}

// Line-point pairs of one recomputation (the reach of every line, clipped to the grid).
double pairs(const T_zq_HITRAN& list) {
  const double step = list.Step();
  double n = 0;
  for (const THitranLine& l : list.Records) {
    const double w = l.AdjustedWidth * list.LineWidthLimit;
    if (l.Wavenumber < list.WavenumberMin - w || l.Wavenumber > list.WavenumberMax + w) continue;
    const double h = std::trunc(w / step), m = std::nearbyint((l.Wavenumber - list.WavenumberMin) / step);
    const double lo = std::max(1.0, m - h), hi = std::min(50000.0, m + h);
    if (lo <= hi) n += hi - lo + 1;
  }
  return n;
}

// The list of a case with the benchmark's width limit and thread count, or none when its file is missing.
std::unique_ptr<T_zq_HITRAN> prepared(benchmark::State& state, const Case& c) {
  if (!std::filesystem::exists(c.file)) {
    state.SkipWithError("line file not found");
    return nullptr;
  }
  auto list = load(c);
  list->SetLineWidthLimit(static_cast<double>(state.range(0)));
  list->SetThreadCount(static_cast<unsigned>(state.range(1)));
  return list;
}

void lorentz(benchmark::State& state, Case c) {
  auto list = prepared(state, c);
  if (!list) return;
  list->UpdateSpectrum(); // lines adjusted once; each iteration places and sums them
  const double n = pairs(*list);
  for (auto _ : state) {
    list->Dirty = true;
    list->UpdateSpectrum();
    benchmark::DoNotOptimize(list->Spectrum[25000]);
  }
  state.counters["pairs"] = n;
  state.counters["pairs/s"] = benchmark::Counter(n, benchmark::Counter::kIsIterationInvariantRate);
  state.SetLabel(zqvoigt::KernelName());
}

// Recomputation after a temperature change: the lines are adjusted again (one exp per line).
void lorentz_new_temperature(benchmark::State& state, Case c) {
  auto list = prepared(state, c);
  if (!list) return;
  bool flip = false;
  for (auto _ : state) {
    list->SetTemperature(flip ? 288 : 288.5);
    flip = !flip;
    list->UpdateSpectrum();
    benchmark::DoNotOptimize(list->Spectrum[25000]);
  }
}

void doppler(benchmark::State& state, Case c) {
  if (!std::filesystem::exists(c.file)) {
    state.SkipWithError("line file not found");
    return;
  }
  auto list = load(c);
  list->SetDopplerBroadening(true);
  list->SetThreadCount(static_cast<unsigned>(state.range(0)));
  for (auto _ : state) {
    list->Dirty = true;
    list->UpdateSpectrum();
    benchmark::DoNotOptimize(list->Spectrum[25000]);
  }
}

// A 40 MB line file: the CO2 list four times over.
void read_40mb(benchmark::State& state) {
  const auto source = kHitran / "co2_626_hitran.par";
  if (!std::filesystem::exists(source)) {
    state.SkipWithError("line file not found");
    return;
  }
  const auto path = std::filesystem::temp_directory_path() / "absorbview-bench-40mb.par";
  if (!std::filesystem::exists(path)) {
    std::ifstream in(source, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::ofstream out(path, std::ios::binary);
    for (int i = 0; i < 4; ++i)
      out << text;
  }
  for (auto _ : state) {
    auto list = std::make_unique<T_zq_HITRAN>();
    list->MoleculeType = " 2";
    list->LoadFromFile(path.string());
    benchmark::DoNotOptimize(list->Records.size());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(std::filesystem::file_size(path)));
}

const Case kSynthetic{synthetic_file().string(), " 2", 296, 1013};
const Case kCO2{(kHitran / "co2_626_hitran.par").string(), " 2", 288, 1013};
const Case kH2O{(kHitran / "h2o_161_hitran.par").string(), " 1", 288, 1013};

} // namespace

BENCHMARK_CAPTURE(lorentz, synthetic_100k, kSynthetic)
    ->ArgsProduct({{0, 200}, {1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(lorentz, co2, kCO2)
    ->ArgsProduct({{200, 800}, {1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(lorentz, h2o, kH2O)
    ->ArgsProduct({{200, 800}, {1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(lorentz_new_temperature, synthetic_100k, kSynthetic)
    ->ArgsProduct({{200}, {1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(doppler, co2, kCO2)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(read_40mb)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
