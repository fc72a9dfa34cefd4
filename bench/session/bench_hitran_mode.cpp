// The HITRAN mode as the window runs it, on the real lists at the controls' defaults (0-5000 cm-1 in
// 50,000 cells, 288 K, 1013 mb, 10,000 ppm water, 350 ppm CO2): a spectra plot, an optical-depth plot
// and the Power table (1 km), for the Voigt and the Doppler profile (Arg 0 / 1). The shared
// cross-section cache is cleared before each, so every iteration computes from the lines.
#include "../BenchHitranLists.h"
#include "zqCrossSectionCache.h"
#include "zqHITRAN.h"
#include "zqLineSeries.h"
#include "zqSession.h"

#include <benchmark/benchmark.h>

namespace {

benchlists::TLists lists() {
  return benchlists::Lists();
}

void set_up(zqsession::TzqSession& s, benchmark::State& state, TPlotType plot) {
  s.Water = &lists().h2o;
  s.CO2 = &lists().co2;
  s.Controls.Physics = TLinePhysics::Hitran;
  s.Controls.SpectraType = state.range(0) == 0 ? TSpectraType::Voigt : TSpectraType::Doppler;
  s.Controls.PlotType = plot;
}

void plot(benchmark::State& state, TPlotType type) {
  if (!lists().ok) return state.SkipWithError("HITRAN H2O/CO2 lists not found beside the project");
  zqsession::TzqSession s;
  set_up(s, state, type);
  TLineSeries series[3];
  const zqsession::TzqSession::TSeriesSink sink{
      [&](zqsession::TSeriesRole role) { return &series[zqsession::SeriesIndex(role)]; }, {}};
  for (auto _ : state) {
    state.PauseTiming();
    TzqCrossSectionCache::Shared().Clear();
    state.ResumeTiming();
    benchmark::DoNotOptimize(s.ComputeSpectra(sink).Refused());
  }
}

void BM_HitranSpectraPlot(benchmark::State& state) {
  plot(state, TPlotType::Spectra);
}

void BM_HitranOpticalDepthPlot(benchmark::State& state) {
  plot(state, TPlotType::OpticalDepth);
}

void BM_HitranPowerTable(benchmark::State& state) {
  if (!lists().ok) return state.SkipWithError("HITRAN H2O/CO2 lists not found beside the project");
  zqsession::TzqSession s;
  set_up(s, state, TPlotType::Spectra);
  for (auto _ : state) {
    state.PauseTiming();
    TzqCrossSectionCache::Shared().Clear();
    state.ResumeTiming();
    const zqsession::TPowerResult r = s.ComputePower(1000);
    if (!r.Table) return state.SkipWithError(r.Status.Headline().c_str());
    benchmark::DoNotOptimize(r.Table->CO2_1x);
  }
}

} // namespace

// Arg 0: Voigt, 1: Doppler.
BENCHMARK(BM_HitranSpectraPlot)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_HitranOpticalDepthPlot)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_HitranPowerTable)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
