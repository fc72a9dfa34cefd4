// Repaint time of the chart in the program's worst case: six series of 50,000 points at 1200 x 800,
// the full range, a zoomed range, a scroll step, and the curves in mask mode. Run offscreen:
// QT_QPA_PLATFORM=offscreen bench_chart
#include "zqChart.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

namespace {

constexpr int kSeries = 6;
constexpr int kPoints = 50000;

// Spectrum-like curves: many narrow lines over a wavenumber grid of 0.1 cm-1, the last three smooth
// (like the blackbody curves) on the right axis.
std::unique_ptr<TChart> make_chart(TPenMode mode) {
  auto chart = std::make_unique<TChart>();
  chart->resize(1200, 800);
  chart->show();
  chart->Title().SetText(QStringLiteral("Benchmark"));
  for (int s = 0; s < kSeries; ++s) {
    TLineSeries& series = chart->AddSeries();
    std::vector<double> x(kPoints), y(kPoints);
    for (int k = 0; k < kPoints; ++k) {
      x[k] = 0.1 * (k + 1);
      y[k] = s < 3 ? std::pow(std::sin(0.37 * k + s) * std::sin(0.0013 * k), 8) * (1 + s)
                   : std::exp(-x[k] / (900.0 * (s - 1)));
    }
    series.Assign(std::move(x), std::move(y));
    series.SetPenMode(mode);
    if (s >= 3) series.SetVertAxis(TVertAxis::Right);
  }
  chart->Refresh();
  return chart;
}

// Arg 0: every curve in copy mode; 1: every curve in mask mode; 2: as the program's "Transparent plots"
// does it, the three spectra in mask mode and the three blackbody curves in copy mode.
void BM_RepaintFull(benchmark::State& state) {
  auto chart = make_chart(state.range(0) ? TPenMode::Mask : TPenMode::Copy);
  if (state.range(0) == 2)
    for (int s = 3; s < kSeries; ++s)
      chart->Series(s).SetPenMode(TPenMode::Copy);
  for (auto _ : state)
    chart->Refresh();
  static const char* const labels[] = {"copy pen", "mask pen", "spectra mask, blackbody copy"};
  state.SetLabel(labels[state.range(0)]);
}
BENCHMARK(BM_RepaintFull)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// The same chart without series: what axes, grid, title and buffers cost by themselves.
void BM_RepaintNoSeries(benchmark::State& state) {
  TChart chart;
  chart.resize(1200, 800);
  chart.show();
  chart.Title().SetText(QStringLiteral("Benchmark"));
  chart.BottomAxis().SetMinMax(0, 5000);
  chart.Refresh();
  for (auto _ : state)
    chart.Refresh();
}
BENCHMARK(BM_RepaintNoSeries)->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_RepaintZoomed(benchmark::State& state) {
  auto chart = make_chart(TPenMode::Copy);
  chart->BottomAxis().SetMinMax(600, 800); // 2,000 points per series in view
  for (auto _ : state)
    chart->Refresh();
}
BENCHMARK(BM_RepaintZoomed)->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kMillisecond);

// One mouse-move step of a right-button scroll: new ranges, then the repaint.
void BM_ScrollStep(benchmark::State& state) {
  auto chart = make_chart(TPenMode::Copy);
  int dx = 5;
  for (auto _ : state) {
    chart->ScrollBy(dx, 2);
    dx = -dx;
    chart->Refresh();
  }
}
BENCHMARK(BM_ScrollStep)->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kMillisecond);

// Filling all six series point by point, as the data files do, up to the one coalesced repaint.
void BM_FillAndRepaint(benchmark::State& state) {
  auto chart = make_chart(TPenMode::Copy);
  for (auto _ : state) {
    for (int s = 0; s < kSeries; ++s) {
      TLineSeries& series = chart->Series(s);
      series.Clear();
      for (int k = 0; k < kPoints; ++k)
        series.AddXY(0.1 * (k + 1), std::cos(0.01 * k) + s);
    }
    chart->Refresh();
  }
}
BENCHMARK(BM_FillAndRepaint)->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
