#include "zqCrossSectionCache.h"

#include <algorithm>
#include <cstring>

namespace {

// FNV-1a over the grid's bits: two grids with the same ends and size but other points differ.
uint64_t grid_hash(std::span<const double> grid) {
  uint64_t h = 1469598103934665603ull;
  for (double v : grid) {
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    h = (h ^ bits) * 1099511628211ull;
  }
  return h;
}

std::size_t bytes_of(const THitranCrossSection& cs) {
  return sizeof cs + (cs.X.capacity() + cs.Sigma.capacity()) * sizeof(double);
}

} // namespace

TzqCrossSectionCache::TzqCrossSectionCache(std::size_t maxBytes) : max_bytes_(maxBytes) {}

TzqCrossSectionCache& TzqCrossSectionCache::Shared() {
  static TzqCrossSectionCache cache(std::size_t{128} << 20);
  return cache;
}

TzqCrossSectionCache::Key TzqCrossSectionCache::key_of(uint64_t revision, const THitranLineSet& lines,
                                                       const THitranConditions& c) {
  Key k;
  k.revision = revision;
  k.molecule = lines.Molecule;
  k.isotopologue = lines.Isotopologue;
  k.lines = lines.Lines.size();
  k.temperature = c.Temperature;
  k.pressure = c.Pressure;
  k.mixing_ratio = c.MixingRatio;
  k.width_limit = c.LineWidthLimit;
  k.profile = c.Profile;
  k.cell_average = c.CellAverage;
  k.continuum_wings = c.ContinuumWings;
  k.coarse_wings = c.CoarseWings;
  k.edges = c.CellEdges.size();
  if (!c.CellEdges.empty()) k.edges_hash = grid_hash(c.CellEdges);
  if (c.Grid.empty()) {
    k.min = c.WavenumberMin;
    k.max = c.WavenumberMax;
  } else {
    k.grid_points = c.Grid.size();
    k.grid_hash = grid_hash(c.Grid);
  }
  return k;
}

std::shared_ptr<const THitranCrossSection> TzqCrossSectionCache::Get(uint64_t revision,
                                                                     const THitranLineSet& lines,
                                                                     const THitranConditions& conditions) {
  const Key key = key_of(revision, lines, conditions);
  if (revision != 0) {
    std::lock_guard lock(mutex_);
    const auto hit =
        std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.key == key; });
    if (hit != entries_.end()) {
      entries_.splice(entries_.begin(), entries_, hit);
      return hit->value;
    }
    ++computations_;
  } else {
    std::lock_guard lock(mutex_);
    ++computations_;
  }
  // Computed outside the lock, so other threads' look-ups and computations are not held up.
  auto value = std::make_shared<const THitranCrossSection>(ComputeHitranCrossSection(lines, conditions));
  if (revision == 0 || !value->Valid()) return value;
  const std::size_t bytes = bytes_of(*value);
  if (bytes > max_bytes_) return value;
  std::lock_guard lock(mutex_);
  if (std::none_of(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.key == key; })) {
    entries_.push_front({key, value, bytes});
    bytes_ += bytes;
    while (bytes_ > max_bytes_) {
      bytes_ -= entries_.back().bytes;
      entries_.pop_back();
    }
  }
  return value;
}

uint64_t TzqCrossSectionCache::Computations() const {
  std::lock_guard lock(mutex_);
  return computations_;
}

std::size_t TzqCrossSectionCache::Bytes() const {
  std::lock_guard lock(mutex_);
  return bytes_;
}

void TzqCrossSectionCache::Clear() {
  std::lock_guard lock(mutex_);
  entries_.clear();
  bytes_ = 0;
}
