// Speed of the water-vapour continuum: its cross-sections for the 60 layers of a column on the
// column's default grid (0-2500 cm-1 at 0.01 cm-1, 250,000 points), one thread. A column takes 2-3 s,
// so this should stay far below 5 % of that. Needs AER's file beside the project
// (../shared/data/continuum/absco-ref_wv-mt-ckd.nc); skips with a message without it.
#include "zqContinuum.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <vector>

namespace {

void BM_ContinuumSixtyLayers(benchmark::State& state) {
  const auto file =
      std::filesystem::path(ABSORBVIEW_HITRAN_DIR).parent_path() / "continuum" / "absco-ref_wv-mt-ckd.nc";
  std::string error;
  const TzqContinuumTable table = ReadContinuumFile(file.string(), error);
  if (table.Empty()) {
    state.SkipWithError(("continuum file not found or refused: " + error).c_str());
    return;
  }
  std::vector<double> grid(250000), sigma(grid.size());
  for (std::size_t j = 0; j < grid.size(); ++j)
    grid[j] = (static_cast<double>(j) + 0.5) * 0.01;
  // Layers like a humid standard column: pressure falling 7 km per e-fold, 6.5 K/km to 217 K, water
  // from 2 % falling 2 km per e-fold to 5 ppm.
  constexpr int kLayers = 60;
  for (auto _ : state) {
    for (int k = 0; k < kLayers; ++k) {
      const double z = 70.0 * (k + 0.5) / kLayers;
      const double t = std::max(288 - 6.5 * z, 217.0);
      const double x = std::max(0.02 * std::exp(-z / 2), 5e-6);
      ContinuumCrossSections(table, t, 1013.25 * std::exp(-z / 7), x, grid, sigma);
      benchmark::DoNotOptimize(sigma.data());
    }
  }
  state.counters["time/point"] =
      benchmark::Counter(static_cast<double>(grid.size()) * kLayers,
                         benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ContinuumSixtyLayers)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
