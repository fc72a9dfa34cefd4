// Speed of the HITRAN-mode cross-section on the real CO2 626 list: Lorentz and Voigt at 250 K /
// 506.625 mb and 220 K / 10 mb, over the 15 um band (500-700 cm-1, step 0.004, where the lines are
// resolved) and over the whole 0-5000 cm-1 range, with 1 and 2 threads: the whole computation, and
// the summation pass alone. Each case reports ms, line-point pairs per second, and for Voigt how many
// pairs each region of the Faddeeva kernel takes.
#include "zqCrossSection.h"
#include "zqFaddeeva.h"
#include "zqHITRAN.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>

namespace {

const std::filesystem::path kHitran = ABSORBVIEW_HITRAN_DIR;

// The CO2 list, read once for all cases.
const T_zq_HITRAN* co2_list() {
  static const std::unique_ptr<T_zq_HITRAN> list = [] {
    auto l = std::make_unique<T_zq_HITRAN>();
    l->MoleculeType = " 2";
    const auto file = kHitran / "co2_626_hitran.par";
    if (std::filesystem::exists(file)) l->LoadFromFile(file.string());
    return l;
  }();
  return list->Records.empty() ? nullptr : list.get();
}

THitranConditions case_conditions(THitranProfile profile, double temperature, double pressure, double lo,
                                  double hi, unsigned threads) {
  THitranConditions c;
  c.Temperature = temperature;
  c.Pressure = pressure;
  c.MixingRatio = 400;
  c.Profile = profile;
  c.WavenumberMin = lo;
  c.WavenumberMax = hi;
  c.Threads = threads;
  return c;
}

// The counters of a case: pairs, pairs per second, the kernel in use and, for Voigt, the pairs of each
// region of the Faddeeva kernel.
void report(benchmark::State& state, const THitranLineSet& set, const THitranConditions& c, double pairs) {
  state.counters["pairs"] = pairs;
  state.counters["pairs/s"] = benchmark::Counter(pairs, benchmark::Counter::kIsIterationInvariantRate);
  if (c.Profile == THitranProfile::Voigt) {
    const TVoigtRegionCounts n = CountVoigtRegions(set, c);
    state.counters["central"] = n.Central;
    state.counters["mid"] = n.Mid;
    state.counters["far"] = n.Far;
    state.counters["gauss"] = n.Gauss;
  }
  state.SetLabel(zqvoigt::KernelName());
}

// The whole computation: line preparation (pass 1) and summation (pass 2).
void cross_section(benchmark::State& state, THitranProfile profile, double temperature, double pressure,
                   double lo, double hi) {
  const T_zq_HITRAN* list = co2_list();
  if (!list) {
    state.SkipWithError("co2_626_hitran.par not found");
    return;
  }
  const THitranConditions c =
      case_conditions(profile, temperature, pressure, lo, hi, static_cast<unsigned>(state.range(0)));
  const THitranLineSet set = HitranLineSet(*list);
  double pairs = 0;
  for (auto _ : state) {
    const THitranCrossSection r = ComputeHitranCrossSection(set, c);
    if (!r.Valid()) {
      state.SkipWithError(r.Refusal.c_str());
      return;
    }
    pairs = r.Pairs;
    benchmark::DoNotOptimize(r.Sigma.data());
  }
  report(state, set, c, pairs);
}

// The summation pass alone (the profile kernels), on lines prepared once.
void summation(benchmark::State& state, THitranProfile profile, double temperature, double pressure,
               double lo, double hi) {
  const T_zq_HITRAN* list = co2_list();
  if (!list) {
    state.SkipWithError("co2_626_hitran.par not found");
    return;
  }
  const auto threads = static_cast<unsigned>(state.range(0));
  const THitranConditions c = case_conditions(profile, temperature, pressure, lo, hi, threads);
  const THitranLineSet set = HitranLineSet(*list);
  THitranPlacement placement = PlaceHitranLines(set, c);
  for (auto _ : state) {
    SumHitranLines(placement, threads);
    benchmark::DoNotOptimize(placement.Result.Sigma.data());
  }
  report(state, set, c, placement.Result.Pairs);
}

} // namespace

BENCHMARK_CAPTURE(cross_section, lorentz_250K_506mb_band, THitranProfile::Lorentz, 250, 506.625, 500, 700)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(cross_section, voigt_250K_506mb_band, THitranProfile::Voigt, 250, 506.625, 500, 700)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(cross_section, lorentz_220K_10mb_band, THitranProfile::Lorentz, 220, 10, 500, 700)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(cross_section, voigt_220K_10mb_band, THitranProfile::Voigt, 220, 10, 500, 700)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(cross_section, lorentz_250K_506mb_full, THitranProfile::Lorentz, 250, 506.625, 0, 5000)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(cross_section, voigt_250K_506mb_full, THitranProfile::Voigt, 250, 506.625, 0, 5000)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(cross_section, lorentz_220K_10mb_full, THitranProfile::Lorentz, 220, 10, 0, 5000)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(cross_section, voigt_220K_10mb_full, THitranProfile::Voigt, 220, 10, 0, 5000)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(summation, lorentz_250K_506mb_band, THitranProfile::Lorentz, 250, 506.625, 500, 700)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(summation, voigt_250K_506mb_band, THitranProfile::Voigt, 250, 506.625, 500, 700)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(summation, lorentz_220K_10mb_band, THitranProfile::Lorentz, 220, 10, 500, 700)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(summation, voigt_220K_10mb_band, THitranProfile::Voigt, 220, 10, 500, 700)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(summation, lorentz_250K_506mb_full, THitranProfile::Lorentz, 250, 506.625, 0, 5000)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(summation, voigt_250K_506mb_full, THitranProfile::Voigt, 250, 506.625, 0, 5000)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(summation, lorentz_220K_10mb_full, THitranProfile::Lorentz, 220, 10, 0, 5000)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(summation, voigt_220K_10mb_full, THitranProfile::Voigt, 220, 10, 0, 5000)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK_MAIN();
