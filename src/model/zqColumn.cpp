// The column's computation: layer cross-sections from the source (cached), then the radiative
// transfer point by point over spectral chunks on the worker pool.
//
// Transfer: non-scattering, LTE, plane-parallel; black surface at the surface temperature; zero
// downward intensity at the top; within a layer the Planck source is linear in optical depth between
// its level values. Intensities at Gauss-Legendre cosines mu give the fluxes F = 2 pi sum w mu I.
// Every grid point is computed on its own and the band sums run in grid order afterwards, so the
// results are identical for any number of threads.
#include "zqColumn.h"

#include "zqPlanck.h"
#include "zqRadiativeTransfer.h"
#include "zqWorkerPool.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <exception>
#include <new>
#include <numbers>

namespace {

constexpr std::size_t kChunk = 1024; // grid points per task
constexpr int kRuns = 2;             // 1x and Nx CO2
// Chunks between two looks at the cancel flag and two progress reports.
constexpr std::size_t kBatch = 8;
constexpr std::size_t kMaxNodes = 64; // the settings' limit

struct Grid {
  std::size_t points = 0;
  double min = 0, step = 0;
  double At(std::size_t j) const { return min + (static_cast<double>(j) + 0.5) * step; }
};

// Midpoints of equal steps that cut the band into whole steps no larger than the requested one.
Grid make_grid(const TzqColumnSettings& s) {
  Grid g;
  const double width = s.WavenumberMax - s.WavenumberMin;
  g.points = static_cast<std::size_t>(std::max(1.0, std::ceil(width / s.Step * (1 - 1e-12))));
  g.min = s.WavenumberMin;
  g.step = width / static_cast<double>(g.points);
  return g;
}

// Per grid point of a chunk and run: upward flux at the top, net upward flux at the tropopause and
// downward flux at the surface (W m-2 per cm-1).
struct PointFluxes {
  double top = 0, tropopauseNet = 0, surfaceDown = 0;
};

class Solver {
public:
  Solver(const TzqColumnProfile& profile, int angleNodes)
      : layers_(profile.Layers.size()), tropopause_(static_cast<std::size_t>(profile.TropopauseLevel)),
        quadrature_(zqrt::GaussLegendre01(angleNodes)), nodes_(quadrature_.Nodes.size()) {
    for (std::size_t i = 0; i < nodes_; ++i) {
      mus_[i] = quadrature_.Nodes[i];
      secants_[i] = 1 / quadrature_.Nodes[i];
      weights_[i] = 2 * std::numbers::pi * quadrature_.Weights[i] * quadrature_.Nodes[i];
    }
  }

  // Fluxes for vertical layer optical depths tau[k] (k from the surface up); b holds the level Planck
  // radiances; factors is scratch of Nodes() entries per layer. All angles advance together layer by
  // layer: their recursions are independent, so the processor overlaps them.
  PointFluxes Solve(const double* tau, const double* b, double bSurface, zqrt::LayerTransfer* factors) const {
    // The default count unrolled at compile time; any other count as it comes.
    return nodes_ == 4 ? solve<4>(tau, b, bSurface, factors) : solve<0>(tau, b, bSurface, factors);
  }

  std::size_t Nodes() const { return nodes_; }

private:
  template <std::size_t Fixed>
  PointFluxes solve(const double* tau, const double* b, double bSurface, zqrt::LayerTransfer* factors) const {
    const std::size_t n = layers_, m = Fixed ? Fixed : nodes_;
    std::array<double, Fixed ? Fixed : kMaxNodes> down{}, downTropopause{}, up{}, upTropopause{};
    // Down from the top (layer k runs from level k + 1 down to level k).
    for (std::size_t k = n; k-- > 0;) {
      if (k + 1 == tropopause_) downTropopause = down;
      const double inverse = tau[k] > 0 ? 1 / tau[k] : 0; // 1 / x = mu / tau: one division for all angles
      zqrt::LayerTransfer* f = factors + k * m;
      for (std::size_t i = 0; i < m; ++i) {
        f[i] = zqrt::LayerTransferFactors(tau[k] * secants_[i], mus_[i] * inverse);
        down[i] = zqrt::Transfer(down[i], b[k], b[k + 1], f[i]);
      }
    }
    if (tropopause_ == 0) downTropopause = down;
    // Up from the surface.
    up.fill(bSurface);
    upTropopause = up;
    for (std::size_t k = 0; k < n; ++k) {
      const zqrt::LayerTransfer* f = factors + k * m;
      for (std::size_t i = 0; i < m; ++i)
        up[i] = zqrt::Transfer(up[i], b[k + 1], b[k], f[i]);
      if (k + 1 == tropopause_) upTropopause = up;
    }
    PointFluxes out;
    for (std::size_t i = 0; i < m; ++i) {
      out.top += weights_[i] * up[i];
      out.tropopauseNet += weights_[i] * (upTropopause[i] - downTropopause[i]);
      out.surfaceDown += weights_[i] * down[i];
    }
    return out;
  }

  std::size_t layers_, tropopause_;
  zqrt::Quadrature quadrature_;
  std::size_t nodes_;
  std::array<double, kMaxNodes> mus_{}, secants_{}, weights_{}; // mu, 1 / mu, flux weights 2 pi w mu
};

bool cancelled(const TzqColumnProgress& p) {
  return p.Cancel && p.Cancel->load(std::memory_order_relaxed);
}
void report(const TzqColumnProgress& p, double fraction) {
  if (p.OnProgress) p.OnProgress(std::clamp(fraction, 0.0, 1.0));
}

} // namespace

void TzqColumn::ClearCache() {
  entries_.clear();
  one_x_.valid = false;
  source_ = nullptr;
  grid_points_ = 0;
}

TzqColumnResult TzqColumn::Compute(const TzqColumnSettings& s, TzqCrossSectionSource& source,
                                   const TzqColumnProgress& progress) {
  // Refusals, never exceptions, reach the caller: memory running out for the cache or a source that
  // throws ends the computation with its reason.
  try {
    return compute(s, source, progress);
  } catch (const std::bad_alloc&) {
    ClearCache();
    TzqColumnResult result;
    result.Refusal =
        "Not enough memory for the column: try a coarser grid step, a narrower band or fewer layers";
    return result;
  } catch (const std::exception& e) {
    TzqColumnResult result;
    result.Refusal = std::string("Column computation failed: ") + e.what();
    return result;
  }
}

TzqColumnResult TzqColumn::compute(const TzqColumnSettings& s, TzqCrossSectionSource& source,
                                   const TzqColumnProgress& progress) {
  TzqColumnResult result;
  last_fetches_ = 0;
  result.Profile = BuildColumnProfile(s);
  if (!result.Profile.Refusal.empty()) {
    result.Refusal = result.Profile.Refusal;
    return result;
  }
  const TzqColumnProfile& profile = result.Profile;
  result.Notes = profile.Notes;
  const Grid grid = make_grid(s);
  const std::size_t layers = profile.Layers.size();

  // Amounts (molecules per cm2) per run, layer and gas.
  std::vector<double> amount(kRuns * layers * kColumnGases);
  auto amount_at = [&](int run, std::size_t k, int gas) -> double& {
    return amount[(static_cast<std::size_t>(run) * layers + k) * kColumnGases +
                  static_cast<std::size_t>(gas)];
  };
  for (std::size_t k = 0; k < layers; ++k) {
    const TzqColumnLayer& l = profile.Layers[k];
    for (int run = 0; run < kRuns; ++run) {
      amount_at(run, k, 0) = l.AirColumn * l.H2O * 1e-6;
      amount_at(run, k, 1) = l.AirColumn * l.CO2 * 1e-6 * (run == 0 ? 1 : s.CO2Factor);
    }
  }

  // Cross-sections: reuse what the cache holds for the same source, grid and layer conditions.
  if (source_ != &source || revision_ != source.Revision() || grid_points_ != grid.points ||
      grid_min_ != grid.min || grid_step_ != grid.step || entries_.size() != layers * kColumnGases) {
    entries_.assign(layers * kColumnGases, Entry{});
    one_x_.valid = false;
    source_ = &source;
    revision_ = source.Revision();
    grid_min_ = grid.min;
    grid_step_ = grid.step;
    grid_points_ = grid.points;
  }
  std::vector<std::size_t> needed;
  for (std::size_t k = 0; k < layers; ++k)
    for (int gas = 0; gas < kColumnGases; ++gas) {
      if (amount_at(0, k, gas) == 0 && amount_at(1, k, gas) == 0) continue; // nothing absorbs
      const Entry& e = entries_[k * kColumnGases + static_cast<std::size_t>(gas)];
      const TzqColumnLayer& l = profile.Layers[k];
      const bool sameAmounts =
          !source.DependsOnMixingRatio(static_cast<TzqColumnGas>(gas)) || (e.h2o == l.H2O && e.co2 == l.CO2);
      if (!e.valid || e.temperature != l.Temperature || e.pressure != l.Pressure || !sameAmounts)
        needed.push_back(k * kColumnGases + static_cast<std::size_t>(gas));
    }
  const double fetchShare = needed.empty() ? 0.0 : 0.7; // of the progress bar
  if (!needed.empty()) {
    one_x_.valid = false;
    std::vector<double> wavenumber(grid.points), sigma(grid.points);
    for (std::size_t j = 0; j < grid.points; ++j)
      wavenumber[j] = grid.At(j);
    for (std::size_t i = 0; i < needed.size(); ++i) {
      if (cancelled(progress)) {
        result.Refusal = "Column computation cancelled";
        return result;
      }
      const std::size_t k = needed[i] / kColumnGases;
      const auto gas = static_cast<TzqColumnGas>(needed[i] % kColumnGases);
      const TzqColumnLayer& l = profile.Layers[k];
      const TzqLayerConditions conditions{static_cast<int>(k), l.Temperature, l.Pressure, l.H2O, l.CO2};
      Entry& e = entries_[needed[i]];
      e.valid = false;
      std::string reason;
      std::fill(sigma.begin(), sigma.end(), 0.0);
      if (!source.CrossSections(gas, conditions, wavenumber, sigma, reason)) {
        // A source that reads the cancel flag itself stops inside the layer.
        result.Refusal = cancelled(progress) ? "Column computation cancelled"
                         : reason.empty()    ? "Cross-sections could not be computed"
                                             : reason;
        return result;
      }
      // Far above any molecular cross-section; keeps every optical depth finite.
      constexpr double kLargestSigma = 1e-10; // cm2
      if (!std::all_of(sigma.begin(), sigma.end(), [](double v) { return v >= 0 && v <= kLargestSigma; })) {
        result.Refusal = "Cross-sections must be numbers from 0 to 1e-10 cm2";
        return result;
      }
      e.sigma.assign(sigma.begin(), sigma.end());
      e.temperature = l.Temperature;
      e.pressure = l.Pressure;
      e.h2o = l.H2O;
      e.co2 = l.CO2;
      e.valid = true;
      ++last_fetches_;
      report(progress, fetchShare * static_cast<double>(i + 1) / static_cast<double>(needed.size()));
    }
  }
  // The layers and gases that absorb, with their cross-sections.
  struct Absorber {
    std::size_t layer;
    int gas;
    const float* sigma;
  };
  std::vector<Absorber> absorbers;
  for (std::size_t k = 0; k < layers; ++k)
    for (int gas = 0; gas < kColumnGases; ++gas) {
      const Entry& e = entries_[k * kColumnGases + static_cast<std::size_t>(gas)];
      if ((amount_at(0, k, gas) != 0 || amount_at(1, k, gas) != 0) && e.valid)
        absorbers.push_back({k, gas, e.sigma.data()});
    }

  // Radiative transfer, chunk by chunk.
  const Solver solver(profile, s.AngleNodes);
  const std::size_t chunks = (grid.points + kChunk - 1) / kChunk;
  result.Wavenumber.resize(grid.points);
  result.OLR1xSpectrum.resize(grid.points);
  result.OLRNxSpectrum.resize(grid.points);
  std::vector<double> tropopauseSums(chunks * kRuns), surfaceSums(chunks * kRuns);
  TzqColumnSettings oneXKey = s;
  oneXKey.CO2Factor = 0;
  oneXKey.Threads = 0;
  const bool reuseOneX = one_x_.valid && one_x_.key == oneXKey;
  const int firstRun = reuseOneX ? 1 : 0;
  std::atomic<bool> stop{false}, outOfMemory{false};
  auto solve_chunk_body = [&](std::size_t c) {
    const std::size_t first = c * kChunk, count = std::min(kChunk, grid.points - first);
    // tau[run][layer][point], rows padded so that a point's layers do not all fall in one cache set
    const std::size_t row = count + 8;
    std::vector<double> tau(kRuns * layers * row, 0.0);
    for (const Absorber& a : absorbers)
      for (int run = firstRun; run < kRuns; ++run) {
        const double n = amount_at(run, a.layer, a.gas);
        double* out = &tau[(static_cast<std::size_t>(run) * layers + a.layer) * row];
        for (std::size_t j = 0; j < count; ++j)
          out[j] += n * static_cast<double>(a.sigma[first + j]);
      }
    std::vector<double> b(layers + 1), column(layers);
    std::vector<zqrt::LayerTransfer> factors(layers * solver.Nodes());
    double tropopause[kRuns] = {0, 0}, surface[kRuns] = {0, 0};
    for (std::size_t j = 0; j < count; ++j) {
      const double nu = grid.At(first + j);
      result.Wavenumber[first + j] = nu;
      for (std::size_t level = 0; level <= layers; ++level) // isothermal runs share one value
        b[level] = level > 0 && profile.LevelTemperature[level] == profile.LevelTemperature[level - 1]
                       ? b[level - 1]
                       : zqplanck::Radiance(nu, profile.LevelTemperature[level]);
      const double bSurface = zqplanck::Radiance(nu, s.SurfaceTemperature);
      for (int run = firstRun; run < kRuns; ++run) {
        for (std::size_t k = 0; k < layers; ++k)
          column[k] = tau[(static_cast<std::size_t>(run) * layers + k) * row + j];
        const PointFluxes f = solver.Solve(column.data(), b.data(), bSurface, factors.data());
        (run == 0 ? result.OLR1xSpectrum : result.OLRNxSpectrum)[first + j] = f.top;
        tropopause[run] += f.tropopauseNet;
        surface[run] += f.surfaceDown;
      }
    }
    for (int run = firstRun; run < kRuns; ++run) {
      tropopauseSums[c * kRuns + static_cast<std::size_t>(run)] = tropopause[run];
      surfaceSums[c * kRuns + static_cast<std::size_t>(run)] = surface[run];
    }
  };

  auto solve_chunk = [&](std::size_t c) {
    if (stop.load(std::memory_order_relaxed) || cancelled(progress)) {
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

  TzqWorkerPool* pool = s.Threads == 1 ? nullptr : &TzqWorkerPool::Shared();
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
    if (stop || cancelled(progress)) {
      result.Wavenumber.clear();
      result.OLR1xSpectrum.clear();
      result.OLRNxSpectrum.clear();
      result.Refusal = "Column computation cancelled";
      return result;
    }
    report(progress, fetchShare + (1 - fetchShare) * static_cast<double>(done) / static_cast<double>(chunks));
  }

  if (reuseOneX) {
    result.OLR1xSpectrum = one_x_.spectrum;
    for (std::size_t c = 0; c < chunks; ++c) {
      tropopauseSums[c * kRuns] = one_x_.tropopauseSums[c];
      surfaceSums[c * kRuns] = one_x_.surfaceSums[c];
    }
  } else {
    one_x_.key = oneXKey;
    one_x_.spectrum = result.OLR1xSpectrum;
    one_x_.tropopauseSums.resize(chunks);
    one_x_.surfaceSums.resize(chunks);
    for (std::size_t c = 0; c < chunks; ++c) {
      one_x_.tropopauseSums[c] = tropopauseSums[c * kRuns];
      one_x_.surfaceSums[c] = surfaceSums[c * kRuns];
    }
    one_x_.valid = true;
  }

  // Band sums in grid order (midpoint rule).
  long double olr[kRuns] = {0, 0}, tropopause[kRuns] = {0, 0}, surface[kRuns] = {0, 0};
  for (std::size_t j = 0; j < grid.points; ++j) {
    olr[0] += result.OLR1xSpectrum[j];
    olr[1] += result.OLRNxSpectrum[j];
  }
  for (std::size_t c = 0; c < chunks; ++c)
    for (int run = 0; run < kRuns; ++run) {
      tropopause[run] += tropopauseSums[c * kRuns + static_cast<std::size_t>(run)];
      surface[run] += surfaceSums[c * kRuns + static_cast<std::size_t>(run)];
    }
  result.Step = grid.step;
  result.OLR1x = static_cast<double>(olr[0] * grid.step);
  result.OLRNx = static_cast<double>(olr[1] * grid.step);
  result.ForcingTOA = result.OLR1x - result.OLRNx;
  result.ForcingTropopause = static_cast<double>((tropopause[0] - tropopause[1]) * grid.step);
  result.SurfaceDownwelling1x = static_cast<double>(surface[0] * grid.step);
  result.SurfaceDownwellingNx = static_cast<double>(surface[1] * grid.step);
  result.SurfaceEmission = zqplanck::BandExitance(s.WavenumberMin, s.WavenumberMax, s.SurfaceTemperature);
  result.TropopausePressure = profile.LevelPressure[static_cast<std::size_t>(profile.TropopauseLevel)];
  result.Computed = true;
  return result;
}
