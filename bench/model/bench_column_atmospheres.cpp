// Speed and figures of the column over the six model atmospheres on the real H2O 161 and CO2 626
// lists: 60 layers to 70 km, 0-2500 cm-1, 400 ppm and its double. A computation from nothing (every
// layer cross-section from the line engine), a new observer or band view on the cached solutions, and
// a synthetic CO2 list five times the shipped one (its lines repeated at four offsets inside the
// band, so density and strengths stay realistic). Counters: OLR 1x and 2x, the forcings at the top and
// the tropopause (W/m2), the brightness temperature at 667 cm-1 (K) and the emission height (km). With
// the water-vapour continuum (AER's file in ../shared/data/continuum), each atmosphere from nothing
// and, against the same column without it, what the continuum takes from the OLR in each band.
#include "../BenchHitranLists.h"
#include "zqAtmosphereTable.h"
#include "zqColumn.h"
#include "zqColumnBalance.h"
#include "zqColumnDiagnostics.h"
#include "zqContinuum.h"
#include "zqCrossSectionCache.h"
#include "zqHITRAN.h"
#include "zqHitranColumnSource.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <numeric>

namespace {

const T_zq_HITRAN& water() {
  return benchlists::Water();
}
const T_zq_HITRAN& co2() {
  return benchlists::CO2();
}

// The shipped CO2 lines and four copies shifted by fractions of their mean spacing, in order.
const T_zq_HITRAN& co2_five_times() {
  static const auto list = [] {
    auto l = std::make_unique<T_zq_HITRAN>();
    l->MoleculeType = " 2";
    const T_zq_HITRAN& shipped = co2();
    std::vector<std::pair<THitranLine, double>> lines;
    for (int copy = 0; copy < 5; ++copy)
      for (std::size_t i = 0; i < shipped.Records.size(); ++i) {
        THitranLine line = shipped.Records[i];
        line.Wavenumber += 0.0731 * copy;
        lines.push_back({line, i < shipped.PressureShifts.size() ? shipped.PressureShifts[i] : 0.0});
      }
    std::stable_sort(lines.begin(), lines.end(),
                     [](const auto& a, const auto& b) { return a.first.Wavenumber < b.first.Wavenumber; });
    for (const auto& [line, shift] : lines) {
      l->Records.push_back(line);
      l->PressureShifts.push_back(shift);
    }
    l->LinesChanged();
    return l;
  }();
  return *list;
}

bool have_lists() {
  return benchlists::Present();
}

TzqColumnSettings settings(int atmosphere) {
  TzqColumnSettings s;
  s.Atmosphere = atmosphere < 0 ? "standard" : BuiltInAtmosphereNames()[static_cast<std::size_t>(atmosphere)];
  s.CO2 = 400;
  s.CO2Factor = 2;
  return s;
}

void report(benchmark::State& state, const TzqColumnResult& r) {
  if (!r.Computed) return state.SkipWithError(r.Refusal.c_str());
  state.SetLabel(r.Profile.Atmosphere);
  state.counters["OLR1x"] = r.OLR1x;
  state.counters["OLR2x"] = r.OLRNx;
  state.counters["F_TOA"] = r.ForcingTOA;
  state.counters["F_trop"] = r.ForcingTropopause;
  state.counters["trop_km"] = r.Profile.LevelAltitude[static_cast<std::size_t>(r.Profile.TropopauseLevel)];
  const auto at667 = static_cast<std::size_t>((667 - r.Wavenumber.front()) / r.Step + 0.5);
  state.counters["Tb667"] = r.Diagnostics[0].BrightnessTemperature[at667];
  state.counters["z_emit"] = r.Diagnostics[0].EmissionHeight;
}

// Arg: the atmosphere (-1 the program's standard one, 0-5 the built-in tables).
void BM_AtmosphereFromNothing(benchmark::State& state) {
  if (!have_lists()) return state.SkipWithError("HITRAN H2O/CO2 lists not found beside the project");
  TzqHitranColumnSource source(&water(), &co2());
  const TzqColumnSettings s = settings(static_cast<int>(state.range(0)));
  TzqColumnResult r;
  for (auto _ : state) {
    TzqCrossSectionCache::Shared().Clear();
    TzqColumn column;
    r = column.Compute(s, source);
  }
  report(state, r);
}

// Observer heights, directions and bands in turn: no cross-section and no transfer anew.
void BM_AtmosphereNewView(benchmark::State& state) {
  if (!have_lists()) return state.SkipWithError("HITRAN H2O/CO2 lists not found beside the project");
  TzqHitranColumnSource source(&water(), &co2());
  TzqColumnSettings s = settings(0);
  TzqColumn column;
  TzqColumnResult r = column.Compute(s, source);
  int i = 0;
  for (auto _ : state) {
    ++i;
    s.ObserverAltitude = (i * 7) % 70;
    s.Look = i % 2 ? TzqLook::Up : TzqLook::Down;
    s.HeatingBands = {{0, 500.0 + i % 3 * 100}, {500.0 + i % 3 * 100, 2500}};
    r = column.Compute(s, source);
    if (column.LastSolves() != 0 || column.LastFetches() != 0) state.SkipWithError("a view re-solved");
  }
  report(state, r);
}

void BM_AtmosphereFiveTimesTheCO2Lines(benchmark::State& state) {
  if (!have_lists()) return state.SkipWithError("HITRAN H2O/CO2 lists not found beside the project");
  TzqHitranColumnSource source(&water(), &co2_five_times());
  const TzqColumnSettings s = settings(0);
  TzqColumnResult r;
  for (auto _ : state) {
    TzqCrossSectionCache::Shared().Clear();
    TzqColumn column;
    r = column.Compute(s, source);
  }
  state.counters["lines"] = static_cast<double>(co2_five_times().Records.size());
  report(state, r);
}

// From a computed column, the fixed-RH warming to balance 2x CO2. Arg 1: finished with exact steps
// (the answer checked against the straight recomputation); 0: the interpolated answer alone.
void BM_AtmosphereBalanceFixedRH(benchmark::State& state) {
  if (!have_lists()) return state.SkipWithError("HITRAN H2O/CO2 lists not found beside the project");
  TzqHitranColumnSource source(&water(), &co2());
  const TzqColumnSources sources = SameSourceForEveryGas(source);
  const TzqColumnSettings s = settings(5);
  TzqBalance b;
  for (auto _ : state) {
    state.PauseTiming();
    TzqColumn column;
    column.Compute(s, source);
    state.ResumeTiming();
    b = SolveBalance(column, s, sources, TzqHold::RH, {}, std::nan(""), state.range(0) != 0);
  }
  if (!b.Solved) return state.SkipWithError(b.Refusal.c_str());
  state.counters["dT"] = b.Warming;
  state.counters["steps"] = b.Iterations;
  state.counters["interp_err"] = b.InterpolationError;
  state.counters["lambda"] = b.FeedbackParameter;
}

// The continuum table, read once; null (with why) when the file is absent or refused.
std::shared_ptr<const TzqContinuumTable> continuum_table(std::string& why) {
  static std::string error;
  static const auto table = [] {
    const auto file =
        std::filesystem::path(ABSORBVIEW_HITRAN_DIR).parent_path() / "continuum" / "absco-ref_wv-mt-ckd.nc";
    auto t = std::make_shared<TzqContinuumTable>(ReadContinuumFile(file.string(), error));
    return t->Empty() ? nullptr : t;
  }();
  why = error;
  return table;
}

// Arg: the atmosphere, as BM_AtmosphereFromNothing. Timed: the column with the continuum from nothing.
void BM_AtmosphereWithContinuum(benchmark::State& state) {
  if (!have_lists()) return state.SkipWithError("HITRAN H2O/CO2 lists not found beside the project");
  std::string why;
  const auto table = continuum_table(why);
  if (!table) return state.SkipWithError(why.c_str());
  TzqHitranColumnSource plain(&water(), &co2()), wings(&water(), &co2());
  wings.SetContinuumWings(true);
  TzqContinuumColumnSource continuum(table);
  TzqColumnSources sources = SameSourceForEveryGas(wings);
  sources[TzqColumnGas::H2O].push_back(&continuum);
  const TzqColumnSettings s = settings(static_cast<int>(state.range(0)));
  TzqColumnResult on, off;
  for (auto _ : state) {
    TzqCrossSectionCache::Shared().Clear();
    TzqColumn column;
    on = column.Compute(s, sources);
  }
  off = TzqColumn().Compute(s, plain);
  report(state, on);
  if (!off.Computed) return;
  state.counters["F_TOA_off"] = off.ForcingTOA;
  state.counters["F_trop_off"] = off.ForcingTropopause;
  state.counters["OLR1x_off"] = off.OLR1x;
  for (const TzqBand& b : DefaultHeatingBands())
    state.counters["dOLR_" + std::to_string(static_cast<int>(b.Min)) + "_" +
                   std::to_string(static_cast<int>(b.Max))] =
        BandIntegral(off.OLR1xSpectrum, ColumnGrid(s), b) - BandIntegral(on.OLR1xSpectrum, ColumnGrid(s), b);
}

} // namespace

BENCHMARK(BM_AtmosphereWithContinuum)
    ->DenseRange(-1, 5)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK(BM_AtmosphereBalanceFixedRH)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK(BM_AtmosphereFromNothing)
    ->DenseRange(-1, 5)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK(BM_AtmosphereNewView)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(6);
BENCHMARK(BM_AtmosphereFiveTimesTheCO2Lines)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

BENCHMARK_MAIN();
