// Speed of the atmosphere column over 0-2500 cm-1 with synthetic cross-sections (the CO2-like band and
// grey water): a computation from nothing (cross-sections fetched, 1x and 2x solved) and re-solves
// from the cache for a new CO2 multiple and a new humidity, with 1 thread and with the worker pool.
// Each case reports ms per computation; the counters give grid points and layer-point-angle steps.
#include "ColumnTestSources.h"
#include "zqColumn.h"

#include <benchmark/benchmark.h>

namespace {

TzqColumnSettings settings(unsigned threads) {
  TzqColumnSettings s; // 60 layers to 70 km, 0-2500 cm-1 at the default step, 288 K, 60 % RH
  s.CO2 = 400;
  s.Threads = threads;
  return s;
}

void report(benchmark::State& state, const TzqColumnSettings& s, const TzqColumnResult& r) {
  if (!r.Computed) state.SkipWithError(r.Refusal.c_str());
  state.counters["points"] = static_cast<double>(r.Wavenumber.size());
  state.counters["steps/s"] =
      benchmark::Counter(2.0 * static_cast<double>(r.Wavenumber.size()) * s.Layers * s.AngleNodes,
                         benchmark::Counter::kIsIterationInvariantRate);
  state.counters["OLR1x"] = r.OLR1x;
  state.counters["forcing"] = r.ForcingTOA;
}

void BM_ColumnFromNothing(benchmark::State& state) {
  const TzqColumnSettings s = settings(static_cast<unsigned>(state.range(0)));
  columntest::BandSource source(3e-19, 1e-22);
  TzqColumnResult r;
  for (auto _ : state) {
    TzqColumn column;
    r = column.Compute(s, source);
  }
  report(state, s, r);
}

// Re-solves from a warm cache, each iteration changing the settings with change(settings, iteration).
template <class Change> void re_solve(benchmark::State& state, Change change) {
  TzqColumnSettings s = settings(static_cast<unsigned>(state.range(0)));
  columntest::BandSource source(3e-19, 1e-22);
  TzqColumn column;
  TzqColumnResult r = column.Compute(s, source);
  int i = 0;
  for (auto _ : state) {
    change(s, ++i);
    r = column.Compute(s, source);
  }
  if (column.LastFetches() != 0) state.SkipWithError("cross-sections were fetched again");
  report(state, s, r);
}

void BM_ColumnNewMultiple(benchmark::State& state) {
  re_solve(state, [](TzqColumnSettings& s, int i) { s.CO2Factor = 2 + i % 2; });
}

void BM_ColumnNewHumidity(benchmark::State& state) {
  re_solve(state, [](TzqColumnSettings& s, int i) { s.RelativeHumidity = 50 + (i % 2) * 10; });
}

} // namespace

BENCHMARK(BM_ColumnFromNothing)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(BM_ColumnNewMultiple)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_ColumnNewHumidity)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

BENCHMARK_MAIN();
