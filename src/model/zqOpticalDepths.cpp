#include "zqOpticalDepths.h"

#include <algorithm>
#include <cmath>

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

void TzqOpticalDepths::reset_if_stale(std::size_t layers, const TzqColumnGrid& grid,
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
      grid_step_ == grid.Step && layers_ == layers)
    return;
  keys_ = std::move(keys);
  slots_ = slots;
  grid_points_ = grid.Points;
  grid_min_ = grid.Min;
  grid_step_ = grid.Step;
  layers_ = layers;
  entries_.assign(layers_ * kColumnGases * slots_, {});
  depends_.assign(entries_.size(), false);
  for (std::size_t k = 0; k < layers_; ++k)
    for (const TzqColumnGasInfo& gas : ColumnGases())
      for (std::size_t i = 0; i < sources[gas.Gas].size(); ++i)
        depends_[index(k, gas.Gas, i)] = sources[gas.Gas][i]->DependsOnMixingRatio(gas.Gas);
  ++generation_;
}

const TzqOpticalDepths::Entry* TzqOpticalDepths::find(std::size_t slot, const TzqColumnLayer& l,
                                                      bool dependsOnAmounts) const {
  for (const Entry& e : entries_[slot])
    if ((e.exact || interpolate_) && e.temperature == l.Temperature && e.pressure == l.Pressure &&
        (!dependsOnAmounts || e.ppmv == l.Ppmv))
      return &e;
  return nullptr;
}

bool TzqOpticalDepths::Update(const std::vector<const TzqColumnProfile*>& profiles, const TzqColumnGrid& grid,
                              const TzqColumnSources& sources, const std::vector<bool>& absorbs,
                              const TzqColumnProgress& progress, double share, std::string& reason) {
  last_fetches_ = last_interpolated_ = 0;
  reset_if_stale(profiles.front()->Layers.size(), grid, sources);
  for (auto& slot : entries_)
    for (Entry& e : slot)
      e.used = false;
  // What is missing: (slot, the state whose layer conditions it lacks), each condition once.
  std::vector<std::pair<std::size_t, const TzqColumnLayer*>> todo;
  for (std::size_t k = 0; k < layers_; ++k)
    for (const TzqColumnGasInfo& gas : ColumnGases()) {
      if (!absorbs[k * kColumnGases + static_cast<std::size_t>(gas.Gas)]) continue; // nothing absorbs
      for (std::size_t i = 0; i < sources[gas.Gas].size(); ++i) {
        const std::size_t slot = index(k, gas.Gas, i);
        for (const TzqColumnProfile* profile : profiles) {
          const TzqColumnLayer& l = profile->Layers[k];
          if (const Entry* e = find(slot, l, depends_[slot])) {
            e->used = true;
            continue;
          }
          if (interpolate_ && interpolated(slot, l)) continue;
          const bool queued = std::any_of(todo.begin(), todo.end(), [&](const auto& t) {
            return t.first == slot && t.second->Temperature == l.Temperature &&
                   t.second->Pressure == l.Pressure && (!depends_[slot] || t.second->Ppmv == l.Ppmv);
          });
          if (!queued) todo.push_back({slot, &l});
        }
      }
    }
  // Entries no state uses any more go (their memory is a grid's worth of floats each).
  for (auto& slot : entries_)
    slot.erase(std::remove_if(slot.begin(), slot.end(), [](const Entry& e) { return !e.used; }), slot.end());
  if (todo.empty()) return true;
  std::vector<double> wavenumber(grid.Points), sigma(grid.Points);
  for (std::size_t j = 0; j < grid.Points; ++j)
    wavenumber[j] = grid.At(j);
  for (std::size_t i = 0; i < todo.size(); ++i) {
    if (progress.Cancelled()) {
      reason = "Column computation cancelled";
      return false;
    }
    const std::size_t slot = todo[i].first, k = slot / (kColumnGases * slots_);
    const auto gas = static_cast<TzqColumnGas>(slot / slots_ % kColumnGases);
    TzqCrossSectionSource& source = *sources[gas][slot % slots_];
    const TzqColumnLayer& l = *todo[i].second;
    const TzqLayerConditions conditions{static_cast<int>(k), l.Temperature, l.Pressure, l.Ppmv};
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
    Entry e = entry_for(l, true);
    e.sigma.assign(sigma.begin(), sigma.end());
    entries_[slot].push_back(std::move(e));
    ++last_fetches_;
    progress.Report(share * static_cast<double>(i + 1) / static_cast<double>(todo.size()));
  }
  return true;
}

TzqOpticalDepths::Entry TzqOpticalDepths::entry_for(const TzqColumnLayer& l, bool exact) {
  Entry e;
  e.used = true;
  e.exact = exact;
  e.temperature = l.Temperature;
  e.pressure = l.Pressure;
  e.ppmv = l.Ppmv;
  return e;
}

bool TzqOpticalDepths::interpolated(std::size_t slot, const TzqColumnLayer& l) {
  // Anchors: exact entries at the layer's pressure, those with the same amounts first, then nearest in
  // temperature.
  std::vector<const Entry*> anchors;
  for (const Entry& e : entries_[slot])
    if (e.exact && e.pressure == l.Pressure) anchors.push_back(&e);
  const auto rank = [&](const Entry* e) {
    return std::pair{e->ppmv != l.Ppmv, std::fabs(e->temperature - l.Temperature)};
  };
  std::sort(anchors.begin(), anchors.end(),
            [&](const Entry* a, const Entry* b) { return rank(a) < rank(b); });
  const auto second = std::find_if(anchors.begin(), anchors.end(), [&](const Entry* e) {
    return e->temperature != anchors.front()->temperature;
  });
  if (anchors.empty() || second == anchors.end()) return false;
  const Entry &a = *anchors.front(), &b = **second;
  a.used = b.used = true;
  Entry e = entry_for(l, false);
  const double f = (l.Temperature - a.temperature) / (b.temperature - a.temperature);
  e.sigma.resize(a.sigma.size());
  for (std::size_t j = 0; j < e.sigma.size(); ++j)
    e.sigma[j] = std::max(0.0f, static_cast<float>(a.sigma[j] + f * (b.sigma[j] - a.sigma[j])));
  entries_[slot].push_back(std::move(e));
  ++last_interpolated_;
  return true;
}

bool TzqOpticalDepths::Interpolated(const TzqColumnProfile& profile) const {
  for (std::size_t slot = 0; slot < entries_.size(); ++slot) {
    const Entry* e = find(slot, profile.Layers[slot / (kColumnGases * slots_)], depends_[slot]);
    if (e && !e->exact) return true;
  }
  return false;
}

bool TzqOpticalDepths::Holds(std::size_t layer, TzqColumnGas gas) const {
  for (std::size_t i = 0; i < slots_; ++i)
    if (layer < layers_ && !entries_[index(layer, gas, i)].empty()) return true;
  return false;
}

void TzqOpticalDepths::AddOpticalDepth(std::size_t layer, const TzqColumnLayer& conditions, TzqColumnGas gas,
                                       double amount, std::size_t first, std::size_t count,
                                       double* tau) const {
  for (std::size_t i = 0; i < slots_; ++i) {
    const std::size_t slot = index(layer, gas, i);
    const Entry* e = find(slot, conditions, depends_[slot]);
    if (!e) continue;
    const float* sigma = e->sigma.data() + first;
    for (std::size_t j = 0; j < count; ++j)
      tau[j] += amount * static_cast<double>(sigma[j]);
  }
}
