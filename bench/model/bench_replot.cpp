// How long a replot of the window takes while the Column page computes: the HITRAN Voigt
// cross-sections of both real lists over 0-2500 cm-1 (new conditions, so the line engine runs) and
// the classic Lorentz spectra of both, each alone (Arg 0) and while another thread computes
// atmosphere columns without pause (Arg 1). The column's lists are copies of unknown identity, so the
// cross-section cache never answers for it and it keeps the line engine busy.
#include "../BenchHitranLists.h"
#include "zqColumn.h"
#include "zqCrossSection.h"
#include "zqHITRAN.h"
#include "zqHitranColumnSource.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

namespace {

benchlists::TLists lists() {
  return benchlists::Lists();
}

// Columns computed one after another on a thread of their own while it lives.
class ColumnLoad {
public:
  ColumnLoad() {
    h2o_.MoleculeType = " 1";
    co2_.MoleculeType = " 2";
    h2o_.Records = lists().h2o.Records; // written directly: revision 0, never cached
    h2o_.PressureShifts = lists().h2o.PressureShifts;
    co2_.Records = lists().co2.Records;
    co2_.PressureShifts = lists().co2.PressureShifts;
    thread_ = std::thread([this] {
      while (!stop_) {
        TzqHitranColumnSource source(&h2o_, &co2_);
        TzqColumn column;
        TzqColumnSettings s;
        s.Step = 0.02;
        s.Layers = 30;
        TzqColumnProgress p;
        p.Cancel = &stop_;
        column.Compute(s, source, p);
      }
    });
  }
  ~ColumnLoad() {
    stop_ = true;
    thread_.join();
  }

private:
  T_zq_HITRAN h2o_, co2_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

template <class Replot> void replot(benchmark::State& state, Replot one) {
  if (!lists().ok) return state.SkipWithError("HITRAN H2O/CO2 lists not found beside the project");
  std::unique_ptr<ColumnLoad> load;
  if (state.range(0) == 1) {
    load = std::make_unique<ColumnLoad>();
    std::this_thread::sleep_for(std::chrono::milliseconds(300)); // into its layers
  }
  int i = 0;
  for (auto _ : state)
    one(++i);
}

void BM_ReplotHitranVoigt(benchmark::State& state) {
  replot(state, [](int i) {
    for (T_zq_HITRAN* l : {&lists().h2o, &lists().co2}) {
      THitranConditions c;
      c.WavenumberMin = 0;
      c.WavenumberMax = 2500;
      c.Temperature = 288 + i % 2; // new conditions each time
      c.Pressure = 1013;
      c.MixingRatio = l == &lists().h2o ? 10000 : 350;
      benchmark::DoNotOptimize(ComputeHitranCrossSection(HitranLineSet(*l), c).Sigma.data());
    }
  });
}

void BM_ReplotClassic(benchmark::State& state) {
  replot(state, [](int i) {
    for (T_zq_HITRAN* l : {&lists().h2o, &lists().co2}) {
      l->SetWavenumberMin(0);
      l->SetWavenumberMax(2500);
      l->SetPressure(1013);
      l->SetTemperature(288 + i % 2);
      l->SetLineWidthLimit(200);
      l->UpdateSpectrum();
      benchmark::DoNotOptimize(l->Spectrum.data());
    }
  });
}

} // namespace

// Arg 0: alone; 1: while columns compute on another thread.
BENCHMARK(BM_ReplotHitranVoigt)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(8);
BENCHMARK(BM_ReplotClassic)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(8);

BENCHMARK_MAIN();
