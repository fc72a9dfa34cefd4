// The column's per-layer absorption: optical-depth sources per gas (line lists now, a continuum
// later), and the cache of what each source gave for each layer, keyed on what the source depends on
// (the layer's temperature and pressure, and its gas amounts when the source says so), so a new state,
// observer or band re-solves only the transfer.
#pragma once

#include "zqColumnProfile.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

// One layer's conditions as a cross-section source sees them.
struct TzqLayerConditions {
  int Layer = 0;            // 0 = the lowest
  double Temperature = 0;   // K
  double Pressure = 0;      // mb
  TzqPerGas<double> Ppmv{}; // at the first state (1x)
};

// A source of absorption cross-sections.
class TzqCrossSectionSource {
public:
  virtual ~TzqCrossSectionSource() = default;
  // Absorption cross-sections (cm2 per molecule of gas) in a layer at every grid wavenumber (cm-1),
  // written into sigma (same length, arriving filled with 0). Called on the column's calling thread,
  // one call at a time, so the source may use the worker pool itself. False refuses the computation
  // with reason filled.
  virtual bool CrossSections(TzqColumnGas gas, const TzqLayerConditions& layer,
                             std::span<const double> wavenumber, std::span<double> sigma,
                             std::string& reason) = 0;
  // True when the gas's cross-sections change with the layer's mixing ratios (self-broadening): the
  // cache then fetches them again when an amount changes. False (the default): T and p only.
  virtual bool DependsOnMixingRatio(TzqColumnGas) const { return false; }
  // Changes whenever what the source computes changes (other lines, other settings), so the cache
  // knows to drop what it holds.
  virtual uint64_t Revision() const { return 0; }
};

// The sources of each gas, summed in this order. The sources must outlive the computation.
using TzqColumnSources = TzqPerGas<std::vector<TzqCrossSectionSource*>>;
TzqColumnSources SameSourceForEveryGas(TzqCrossSectionSource& source);

// Progress and cancellation of one computation. OnProgress gets the fraction done (0 to 1) on the
// calling thread; Cancel is read between layers and between spectral chunks.
struct TzqColumnProgress {
  std::function<void(double)> OnProgress;
  const std::atomic<bool>* Cancel = nullptr;
  bool Cancelled() const { return Cancel && Cancel->load(std::memory_order_relaxed); }
  void Report(double fraction) const;
};

// Molecules per cm2 of a gas in a layer at a state: air column x ppmv x 1e-6 x the state's factor.
double ColumnAmount(const TzqColumnLayer& layer, TzqColumnGas gas, double factor);

// Layer cross-sections from the sources, cached.
class TzqOpticalDepths {
public:
  // Fetches what the cache lacks for this profile and grid; absorbs[layer * kColumnGases + gas] says
  // whether the gas has any amount in the layer at any state (nothing is fetched where it has none). False
  // refuses with reason filled
  // ("Column computation cancelled" on a cancel). share: the part of the progress bar the fetches take
  // when there are any.
  bool Update(const TzqColumnProfile& profile, const TzqColumnGrid& grid, const TzqColumnSources& sources,
              const std::vector<bool>& absorbs, const TzqColumnProgress& progress, double share,
              std::string& reason);
  // Adds a layer's optical depth of gas times amount (molecules per cm2) over grid points [first,
  // first + count) to tau. Gases whose Update said they absorb nothing add nothing.
  void AddOpticalDepth(std::size_t layer, TzqColumnGas gas, double amount, std::size_t first,
                       std::size_t count, double* tau) const;
  // Whether this layer's gas has cross-sections (it absorbs).
  bool Holds(std::size_t layer, TzqColumnGas gas) const;
  void Clear();
  // Layer cross-sections fetched by the last Update.
  int LastFetches() const { return last_fetches_; }
  // Changes whenever an Update fetched anything, so solutions made before are known to be stale.
  uint64_t Generation() const { return generation_; }

private:
  struct Entry {
    bool valid = false;
    double temperature = 0, pressure = 0;
    TzqPerGas<double> ppmv{};
    std::vector<float> sigma; // cm2 per molecule at the grid points; floats: 120 MB at the defaults
  };
  struct Key {
    const TzqCrossSectionSource* source = nullptr;
    uint64_t revision = 0;
    bool operator==(const Key&) const = default;
  };
  void reset_if_stale(const TzqColumnProfile& profile, const TzqColumnGrid& grid,
                      const TzqColumnSources& sources);
  std::vector<std::size_t> needed(const TzqColumnProfile& profile, const TzqColumnSources& sources,
                                  const std::vector<bool>& absorbs) const;
  std::size_t index(std::size_t layer, TzqColumnGas gas, std::size_t source) const {
    return (layer * kColumnGases + static_cast<std::size_t>(gas)) * slots_ + source;
  }

  std::vector<Key> keys_; // per gas and source, as TzqColumnSources orders them
  std::size_t slots_ = 0; // sources per gas at most
  double grid_min_ = 0, grid_step_ = 0;
  std::size_t grid_points_ = 0, layers_ = 0;
  std::vector<Entry> entries_; // (layer, gas, source)
  int last_fetches_ = 0;
  uint64_t generation_ = 0;
};
