// Speed and figures of the atmosphere column on the real H2O 161 and CO2 626 lists, 60 layers to
// 70 km, 0-2500 cm-1, 288 K, 60 % RH, 400 ppm and its double: a computation from nothing (every layer
// cross-section computed by the line engine, 1x and 2x solved), re-solves from the cached
// cross-sections for a new CO2 multiple and a new humidity, and the grid convergence (the default step
// and its half); the same from nothing with the water-vapour continuum (its wing convention on the
// water lines; needs AER's file in ../shared/data/continuum). Counters: OLR 1x and 2x, the forcings at
// the top and the tropopause (W/m2).
#include "../BenchHitranLists.h"
#include "zqColumn.h"
#include "zqContinuum.h"
#include "zqCrossSectionCache.h"
#include "zqHITRAN.h"
#include "zqHitranColumnSource.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

namespace {

// Both lists, read once for all cases; null when either is missing.
TzqHitranColumnSource* source() {
  static TzqHitranColumnSource s(&benchlists::Water(), &benchlists::CO2());
  return benchlists::Present() ? &s : nullptr;
}

TzqColumnSettings settings(double step = 0.01) {
  TzqColumnSettings s;
  s.CO2 = 400;
  s.CO2Factor = 2;
  s.Step = step;
  return s;
}

void report(benchmark::State& state, const TzqColumnResult& r) {
  if (!r.Computed) return state.SkipWithError(r.Refusal.c_str());
  state.counters["points"] = static_cast<double>(r.Wavenumber.size());
  state.counters["OLR1x"] = r.OLR1x;
  state.counters["OLR2x"] = r.OLRNx;
  state.counters["F_TOA"] = r.ForcingTOA;
  state.counters["F_trop"] = r.ForcingTropopause;
  state.counters["down1x"] = r.SurfaceDownwelling1x;
}

void BM_HitranColumnFromNothing(benchmark::State& state) {
  TzqHitranColumnSource* src = source();
  if (!src) return state.SkipWithError("HITRAN H2O/CO2 lists not found beside the project");
  const TzqColumnSettings s = settings(0.01 / static_cast<double>(state.range(0)));
  TzqColumnResult r;
  for (auto _ : state) {
    TzqCrossSectionCache::Shared().Clear(); // every layer from the line engine
    TzqColumn column;
    r = column.Compute(s, *src);
  }
  report(state, r);
}

// Water lines under the continuum's wing convention and the continuum itself; null without the lists
// or the file.
struct ContinuumSources {
  TzqHitranColumnSource lines{&benchlists::Water(), &benchlists::CO2()};
  TzqContinuumColumnSource continuum;
  TzqColumnSources sources;
  std::string error;
  ContinuumSources() {
    lines.SetContinuumWings(true);
    const auto file =
        std::filesystem::path(ABSORBVIEW_HITRAN_DIR).parent_path() / "continuum" / "absco-ref_wv-mt-ckd.nc";
    auto table = std::make_shared<TzqContinuumTable>(ReadContinuumFile(file.string(), error));
    if (table->Empty()) return;
    continuum.SetTable(table);
    sources = SameSourceForEveryGas(lines);
    sources[TzqColumnGas::H2O].push_back(&continuum);
  }
};

void BM_HitranColumnWithContinuumFromNothing(benchmark::State& state) {
  if (!benchlists::Present()) return state.SkipWithError("HITRAN H2O/CO2 lists not found beside the project");
  static ContinuumSources c;
  if (!c.error.empty()) return state.SkipWithError(c.error.c_str());
  const TzqColumnSettings s = settings(0.01 / static_cast<double>(state.range(0)));
  TzqColumnResult r;
  for (auto _ : state) {
    TzqCrossSectionCache::Shared().Clear();
    TzqColumn column;
    r = column.Compute(s, c.sources);
  }
  report(state, r);
}

template <class Change> void re_solve(benchmark::State& state, Change change) {
  TzqHitranColumnSource* src = source();
  if (!src) return state.SkipWithError("HITRAN H2O/CO2 lists not found beside the project");
  TzqColumnSettings s = settings();
  TzqColumn column;
  TzqColumnResult r = column.Compute(s, *src);
  int i = 0;
  for (auto _ : state) {
    change(s, ++i);
    r = column.Compute(s, *src);
  }
  // A new humidity asks the source again for the water of the lower layers: a weighted sum there.
  report(state, r);
}

void BM_HitranColumnNewMultiple(benchmark::State& state) {
  re_solve(state, [](TzqColumnSettings& s, int i) { s.CO2Factor = 2 + i % 2; });
}

void BM_HitranColumnNewHumidity(benchmark::State& state) {
  re_solve(state, [](TzqColumnSettings& s, int i) { s.RelativeHumidity = 50 + (i % 2) * 10; });
}

} // namespace

// Arg: the default step divided by it (1: 0.01 cm-1, 2: 0.005 cm-1, the convergence check).
BENCHMARK(BM_HitranColumnFromNothing)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK(BM_HitranColumnWithContinuumFromNothing)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK(BM_HitranColumnNewMultiple)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_HitranColumnNewHumidity)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

BENCHMARK_MAIN();
