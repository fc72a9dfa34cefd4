// The column's per-layer absorption: optical-depth sources per gas (line lists now, a continuum
// later), and the cache of what each source gave for each layer, keyed on what the source depends on
// (the layer's temperature and pressure, and its gas amounts when the source says so), so a new state,
// observer or band re-solves only the transfer. A layer may hold several entries at once (the states'
// own temperatures), so warming one state never evicts another's.
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
  // True for a gas the source computes cross-sections of; the column fetches no other. The default is
  // water and CO2, the gases every source computed before the column had more; a source of the other
  // gases (O3, N2O, CH4) says so, and the HITRAN source does for each gas with lines.
  virtual bool Computes(TzqColumnGas gas) const { return gas == TzqColumnGas::H2O || gas == TzqColumnGas::CO2; }
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
  // Fetches what the cache lacks for these profiles (one per state; their layers' conditions) and the
  // grid, and drops entries no profile uses; absorbs[layer * kColumnGases + gas] says whether the gas has
  // any amount in the layer at any state (nothing is fetched where it has none). False
  // refuses with reason filled
  // ("Column computation cancelled" on a cancel). share: the part of the progress bar the fetches take
  // when there are any.
  bool Update(const std::vector<const TzqColumnProfile*>& profiles, const TzqColumnGrid& grid,
              const TzqColumnSources& sources, const std::vector<bool>& absorbs,
              const TzqColumnProgress& progress, double share, std::string& reason);
  // Adds the optical depth of gas in a layer under the given conditions, times amount (molecules per
  // cm2), over grid points [first, first + count) to tau. Gases whose Update said they absorb nothing
  // add nothing.
  void AddOpticalDepth(std::size_t layer, const TzqColumnLayer& conditions, TzqColumnGas gas, double amount,
                       std::size_t first, std::size_t count, double* tau) const;
  // Whether this layer's gas has cross-sections (it absorbs).
  bool Holds(std::size_t layer, TzqColumnGas gas) const;
  void Clear();
  // Layer cross-sections fetched by the last Update, and those it interpolated.
  int LastFetches() const { return last_fetches_; }
  int LastInterpolated() const { return last_interpolated_; }
  // When on, a layer at a temperature the cache lacks, at a pressure where it holds two exact entries of
  // other temperatures, gets its cross-sections interpolated linearly in temperature between them instead
  // of fetched (a warming explored step by step: its steps cost no line sums). Off by default.
  void SetTemperatureInterpolation(bool on) { interpolate_ = on; }
  // Whether any layer of profile takes interpolated cross-sections.
  bool Interpolated(const TzqColumnProfile& profile) const;
  // Changes whenever the cache was emptied (new sources, revisions or grid), so solutions made before
  // are known to be stale; an entry, once made, never changes.
  uint64_t Generation() const { return generation_; }

private:
  struct Entry {
    mutable bool used = false; // by the profiles of the current Update
    bool exact = true;         // fetched from the source, not interpolated
    double temperature = 0, pressure = 0;
    TzqPerGas<double> ppmv{};
    std::vector<float> sigma; // cm2 per molecule at the grid points; floats: 120 MB at the defaults
  };
  struct Key {
    const TzqCrossSectionSource* source = nullptr;
    uint64_t revision = 0;
    bool operator==(const Key&) const = default;
  };
  void reset_if_stale(std::size_t layers, const TzqColumnGrid& grid, const TzqColumnSources& sources);
  const Entry* find(std::size_t slot, const TzqColumnLayer& l, bool dependsOnAmounts) const;
  bool interpolated(std::size_t slot, const TzqColumnLayer& l);
  // A new entry for a layer's conditions, in use, without its cross-sections.
  static Entry entry_for(const TzqColumnLayer& l, bool exact);
  std::size_t index(std::size_t layer, TzqColumnGas gas, std::size_t source) const {
    return (layer * kColumnGases + static_cast<std::size_t>(gas)) * slots_ + source;
  }

  std::vector<Key> keys_; // per gas and source, as TzqColumnSources orders them
  std::size_t slots_ = 0; // sources per gas at most
  double grid_min_ = 0, grid_step_ = 0;
  std::size_t grid_points_ = 0, layers_ = 0;
  std::vector<std::vector<Entry>> entries_; // per (layer, gas, source)
  std::vector<bool> depends_;               // per slot: its source depends on the mixing ratios
  int last_fetches_ = 0, last_interpolated_ = 0;
  bool interpolate_ = false;
  uint64_t generation_ = 0;
};
