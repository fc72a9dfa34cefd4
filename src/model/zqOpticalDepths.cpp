#include "zqOpticalDepths.h"

#include <algorithm>

namespace {

// Far above any molecular cross-section; keeps every optical depth finite.
constexpr double kLargestSigma = 1e-10; // cm2

} // namespace

TzqColumnSources SameSourceForEveryGas(TzqCrossSectionSource& source) {
  TzqColumnSources sources;
  for (auto& list : sources.Values)
    list = {&source};
  return sources;
}

void TzqColumnProgress::Report(double fraction) const {
  if (OnProgress) OnProgress(std::clamp(fraction, 0.0, 1.0));
}

double ColumnAmount(const TzqColumnLayer& layer, TzqColumnGas gas, double factor) {
  return layer.AirColumn * layer.Ppmv[gas] * 1e-6 * factor;
}

void TzqOpticalDepths::Clear() {
  entries_.clear();
  keys_.clear();
  grid_points_ = 0;
  ++generation_;
}

void TzqOpticalDepths::reset_if_stale(const TzqColumnProfile& profile, const TzqColumnGrid& grid,
                                      const TzqColumnSources& sources) {
  std::vector<Key> keys;
  std::size_t slots = 0;
  for (const auto& list : sources.Values) {
    slots = std::max(slots, list.size());
    for (std::size_t i = 0; i < list.size(); ++i)
      keys.push_back({list[i], list[i]->Revision()});
    keys.push_back({}); // ends the gas's list
  }
  if (keys == keys_ && slots == slots_ && grid_points_ == grid.Points && grid_min_ == grid.Min &&
      grid_step_ == grid.Step && layers_ == profile.Layers.size())
    return;
  keys_ = std::move(keys);
  slots_ = slots;
  grid_points_ = grid.Points;
  grid_min_ = grid.Min;
  grid_step_ = grid.Step;
  layers_ = profile.Layers.size();
  entries_.assign(layers_ * kColumnGases * slots_, Entry{});
  ++generation_;
}

std::vector<std::size_t> TzqOpticalDepths::needed(const TzqColumnProfile& profile,
                                                  const TzqColumnSources& sources,
                                                  const std::vector<bool>& absorbs) const {
  std::vector<std::size_t> out;
  for (std::size_t k = 0; k < layers_; ++k)
    for (const TzqColumnGasInfo& gas : ColumnGases()) {
      if (!absorbs[k * kColumnGases + static_cast<std::size_t>(gas.Gas)]) continue; // nothing absorbs
      const TzqColumnLayer& l = profile.Layers[k];
      const auto& list = sources[gas.Gas];
      for (std::size_t i = 0; i < list.size(); ++i) {
        const Entry& e = entries_[index(k, gas.Gas, i)];
        const bool sameAmounts = !list[i]->DependsOnMixingRatio(gas.Gas) || e.ppmv == l.Ppmv;
        if (!e.valid || e.temperature != l.Temperature || e.pressure != l.Pressure || !sameAmounts)
          out.push_back(index(k, gas.Gas, i));
      }
    }
  return out;
}

bool TzqOpticalDepths::Update(const TzqColumnProfile& profile, const TzqColumnGrid& grid,
                              const TzqColumnSources& sources, const std::vector<bool>& absorbs,
                              const TzqColumnProgress& progress, double share, std::string& reason) {
  last_fetches_ = 0;
  reset_if_stale(profile, grid, sources);
  const std::vector<std::size_t> todo = needed(profile, sources, absorbs);
  if (todo.empty()) return true;
  ++generation_;
  std::vector<double> wavenumber(grid.Points), sigma(grid.Points);
  for (std::size_t j = 0; j < grid.Points; ++j)
    wavenumber[j] = grid.At(j);
  for (std::size_t i = 0; i < todo.size(); ++i) {
    if (progress.Cancelled()) {
      reason = "Column computation cancelled";
      return false;
    }
    const std::size_t k = todo[i] / (kColumnGases * slots_);
    const auto gas = static_cast<TzqColumnGas>(todo[i] / slots_ % kColumnGases);
    TzqCrossSectionSource& source = *sources[gas][todo[i] % slots_];
    const TzqColumnLayer& l = profile.Layers[k];
    const TzqLayerConditions conditions{static_cast<int>(k), l.Temperature, l.Pressure, l.Ppmv};
    Entry& e = entries_[todo[i]];
    e.valid = false;
    std::fill(sigma.begin(), sigma.end(), 0.0);
    std::string why;
    if (!source.CrossSections(gas, conditions, wavenumber, sigma, why)) {
      // A source that reads the cancel flag itself stops inside the layer.
      reason = progress.Cancelled() ? "Column computation cancelled"
               : why.empty()        ? "Cross-sections could not be computed"
                                    : why;
      return false;
    }
    if (!std::all_of(sigma.begin(), sigma.end(), [](double v) { return v >= 0 && v <= kLargestSigma; })) {
      reason = "Cross-sections must be numbers from 0 to 1e-10 cm2";
      return false;
    }
    e.sigma.assign(sigma.begin(), sigma.end());
    e.temperature = l.Temperature;
    e.pressure = l.Pressure;
    e.ppmv = l.Ppmv;
    e.valid = true;
    ++last_fetches_;
    progress.Report(share * static_cast<double>(i + 1) / static_cast<double>(todo.size()));
  }
  return true;
}

bool TzqOpticalDepths::Holds(std::size_t layer, TzqColumnGas gas) const {
  for (std::size_t i = 0; i < slots_; ++i)
    if (layer < layers_ && entries_[index(layer, gas, i)].valid) return true;
  return false;
}

void TzqOpticalDepths::AddOpticalDepth(std::size_t layer, TzqColumnGas gas, double amount, std::size_t first,
                                       std::size_t count, double* tau) const {
  for (std::size_t i = 0; i < slots_; ++i) {
    const Entry& e = entries_[index(layer, gas, i)];
    if (!e.valid) continue;
    const float* sigma = e.sigma.data() + first;
    for (std::size_t j = 0; j < count; ++j)
      tau[j] += amount * static_cast<double>(sigma[j]);
  }
}
