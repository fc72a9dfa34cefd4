#include "zqColumnSolver.h"

#include "zqPlanck.h"
#include "zqRadiativeTransfer.h"
#include "zqWorkerPool.h"

#include <algorithm>
#include <array>
#include <new>
#include <numbers>

namespace {

constexpr std::size_t kChunk = 1024; // grid points per task
// Chunks between two looks at the cancel flag and two progress reports.
constexpr std::size_t kBatch = 8;
constexpr std::size_t kMaxNodes = 64; // the settings' limit

class PointSolver {
public:
  PointSolver(std::size_t layers, int angleNodes)
      : layers_(layers), quadrature_(zqrt::GaussLegendre01(angleNodes)), nodes_(quadrature_.Nodes.size()) {
    for (std::size_t i = 0; i < nodes_; ++i) {
      mus_[i] = quadrature_.Nodes[i];
      secants_[i] = 1 / quadrature_.Nodes[i];
      weights_[i] = 2 * std::numbers::pi * quadrature_.Weights[i] * quadrature_.Nodes[i];
    }
  }

  // Fluxes at every level for vertical layer optical depths tau[k] (k from the ground up); b holds the
  // level Planck radiances; factors is scratch of Nodes() entries per layer; up and down receive one
  // flux per level. All angles advance together layer by layer: their recursions are independent, so
  // the processor overlaps them.
  void Solve(const double* tau, const double* b, double bSurface, zqrt::LayerTransfer* factors, double* up,
             double* down) const {
    // The default count unrolled at compile time; any other count as it comes.
    if (nodes_ == 4)
      solve<4>(tau, b, bSurface, factors, up, down);
    else
      solve<0>(tau, b, bSurface, factors, up, down);
  }

  std::size_t Nodes() const { return nodes_; }

private:
  template <std::size_t Fixed>
  double flux(const std::array<double, Fixed ? Fixed : kMaxNodes>& intensity) const {
    const std::size_t m = Fixed ? Fixed : nodes_;
    double f = 0;
    for (std::size_t i = 0; i < m; ++i)
      f += weights_[i] * intensity[i];
    return f;
  }

  template <std::size_t Fixed>
  void solve(const double* tau, const double* b, double bSurface, zqrt::LayerTransfer* factors, double* up,
             double* down) const {
    const std::size_t n = layers_, m = Fixed ? Fixed : nodes_;
    std::array<double, Fixed ? Fixed : kMaxNodes> intensity{};
    down[n] = 0;
    // Down from the top (layer k runs from level k + 1 down to level k).
    for (std::size_t k = n; k-- > 0;) {
      const double inverse = tau[k] > 0 ? 1 / tau[k] : 0; // 1 / x = mu / tau: one division for all angles
      zqrt::LayerTransfer* f = factors + k * m;
      for (std::size_t i = 0; i < m; ++i) {
        f[i] = zqrt::LayerTransferFactors(tau[k] * secants_[i], mus_[i] * inverse);
        intensity[i] = zqrt::Transfer(intensity[i], b[k], b[k + 1], f[i]);
      }
      down[k] = flux<Fixed>(intensity);
    }
    // Up from the ground.
    intensity.fill(bSurface);
    up[0] = flux<Fixed>(intensity);
    for (std::size_t k = 0; k < n; ++k) {
      const zqrt::LayerTransfer* f = factors + k * m;
      for (std::size_t i = 0; i < m; ++i)
        intensity[i] = zqrt::Transfer(intensity[i], b[k + 1], b[k], f[i]);
      up[k + 1] = flux<Fixed>(intensity);
    }
  }

  std::size_t layers_;
  zqrt::Quadrature quadrature_;
  std::size_t nodes_;
  std::array<double, kMaxNodes> mus_{}, secants_{}, weights_{}; // mu, 1 / mu, flux weights 2 pi w mu
};

} // namespace

bool SolveColumn(const TzqSolveRequest& r, const TzqColumnProgress& progress, std::string& reason) {
  const std::size_t layers = r.Profiles.front()->Layers.size(), levels = layers + 1, points = r.Grid.Points;
  std::vector<std::size_t> runs; // the states to solve
  for (std::size_t s = 0; s < r.States.size(); ++s)
    if (r.Out[s]) {
      runs.push_back(s);
      r.Out[s]->Up.assign(levels, std::vector<float>(points));
      r.Out[s]->Down.assign(levels, std::vector<float>(points));
      r.Out[s]->TopUp.assign(points, 0.0);
    }
  if (runs.empty()) return true;
  const std::size_t chunks = (points + kChunk - 1) / kChunk;
  // Per run, chunk and level: the chunk's sums of the upward and downward spectra.
  std::vector<double> upSums(runs.size() * chunks * levels), downSums(upSums.size());
  // Amounts (molecules per cm2) per run and absorber.
  std::vector<double> amount(runs.size() * r.Absorbers.size());
  for (std::size_t run = 0; run < runs.size(); ++run)
    for (std::size_t a = 0; a < r.Absorbers.size(); ++a) {
      const TzqAbsorber& ab = r.Absorbers[a];
      amount[run * r.Absorbers.size() + a] = ColumnAmount(r.Profiles[runs[run]]->Layers[ab.Layer], ab.Gas,
                                                          r.States[runs[run]].GasFactor[ab.Gas]);
    }

  const PointSolver solver(layers, r.AngleNodes);
  std::atomic<bool> stop{false}, outOfMemory{false};
  auto solve_chunk_body = [&](std::size_t c) {
    const std::size_t first = c * kChunk, count = std::min(kChunk, points - first);
    // tau[run][layer][point], rows padded so that a point's layers do not all fall in one cache set
    const std::size_t row = count + 8;
    std::vector<double> tau(runs.size() * layers * row, 0.0);
    for (std::size_t a = 0; a < r.Absorbers.size(); ++a)
      for (std::size_t run = 0; run < runs.size(); ++run) {
        const std::size_t k = r.Absorbers[a].Layer;
        r.Depths->AddOpticalDepth(k, r.Profiles[runs[run]]->Layers[k], r.Absorbers[a].Gas,
                                  amount[run * r.Absorbers.size() + a], first, count,
                                  &tau[(run * layers + k) * row]);
      }
    std::vector<double> b(levels), column(layers), up(levels), down(levels), upSum(runs.size() * levels),
        downSum(upSum.size());
    std::vector<zqrt::LayerTransfer> factors(layers * solver.Nodes());
    for (std::size_t j = 0; j < count; ++j) {
      const double nu = r.Grid.At(first + j);
      const TzqColumnProfile* planck = nullptr; // the profile b holds
      double bSurface = 0;
      for (std::size_t run = 0; run < runs.size(); ++run) {
        if (const TzqColumnProfile* p = r.Profiles[runs[run]]; p != planck) {
          for (std::size_t level = 0; level < levels; ++level) // isothermal runs share one value
            b[level] = level > 0 && p->LevelTemperature[level] == p->LevelTemperature[level - 1]
                           ? b[level - 1]
                           : zqplanck::Radiance(nu, p->LevelTemperature[level]);
          bSurface = zqplanck::Radiance(nu, p->SurfaceTemperature);
          planck = p;
        }
        for (std::size_t k = 0; k < layers; ++k)
          column[k] = tau[(run * layers + k) * row + j];
        solver.Solve(column.data(), b.data(), bSurface, factors.data(), up.data(), down.data());
        TzqSpectralFluxes& out = *r.Out[runs[run]];
        out.TopUp[first + j] = up[layers];
        for (std::size_t level = 0; level < levels; ++level) {
          out.Up[level][first + j] = static_cast<float>(up[level]);
          out.Down[level][first + j] = static_cast<float>(down[level]);
          upSum[run * levels + level] += up[level];
          downSum[run * levels + level] += down[level];
        }
      }
    }
    for (std::size_t run = 0; run < runs.size(); ++run)
      for (std::size_t level = 0; level < levels; ++level) {
        upSums[(run * chunks + c) * levels + level] = upSum[run * levels + level];
        downSums[(run * chunks + c) * levels + level] = downSum[run * levels + level];
      }
  };
  auto solve_chunk = [&](std::size_t c) {
    if (stop.load(std::memory_order_relaxed) || progress.Cancelled()) {
      stop = true;
      return;
    }
    try { // a pool task must not throw
      solve_chunk_body(c);
    } catch (const std::bad_alloc&) {
      outOfMemory = true;
      stop = true;
    }
  };

  TzqWorkerPool* pool = r.Threads == 1 ? nullptr : &TzqWorkerPool::Shared();
  for (std::size_t done = 0; done < chunks;) {
    const auto parts = static_cast<unsigned>(std::min(kBatch, chunks - done));
    if (pool) {
      auto task = [&, done](unsigned part) { solve_chunk(done + part); };
      pool->Run(parts, task);
    } else {
      for (unsigned part = 0; part < parts; ++part)
        solve_chunk(done + part);
    }
    done += parts;
    if (outOfMemory) throw std::bad_alloc();
    if (stop || progress.Cancelled()) {
      reason = "Column computation cancelled";
      return false;
    }
    progress.Report(r.ProgressFrom +
                    (1 - r.ProgressFrom) * static_cast<double>(done) / static_cast<double>(chunks));
  }
  for (std::size_t run = 0; run < runs.size(); ++run) {
    TzqSpectralFluxes& out = *r.Out[runs[run]];
    out.LevelUp.assign(levels, 0.0);
    out.LevelDown.assign(levels, 0.0);
    for (std::size_t level = 0; level < levels; ++level) {
      long double up = 0, down = 0;
      for (std::size_t c = 0; c < chunks; ++c) {
        up += upSums[(run * chunks + c) * levels + level];
        down += downSums[(run * chunks + c) * levels + level];
      }
      out.LevelUp[level] = static_cast<double>(up * r.Grid.Step);
      out.LevelDown[level] = static_cast<double>(down * r.Grid.Step);
    }
    // The top's upward flux summed point by point, as the OLR always was.
    long double top = 0;
    for (double v : out.TopUp)
      top += v;
    out.LevelUp[layers] = static_cast<double>(top * r.Grid.Step);
  }
  return true;
}
