// The HITRAN-mode cross-sections already computed, shared by the plots, the Power page and the
// atmosphere column. An entry is keyed on everything the engine's result depends on: the list's
// revision (a number that changes whenever the list's contents change, never its address), the
// molecule and isotopologue, temperature, pressure, mixing ratio, profile, line-width limit, grid and
// whether it holds point values or cell means (and on which cells).
// Memory is bounded: the least recently used entries go once the limit in bytes is passed. Safe to use
// from several threads at once.
#pragma once

#include "zqCrossSection.h"

#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>

class TzqCrossSectionCache {
public:
  explicit TzqCrossSectionCache(std::size_t maxBytes);

  // The program's cache (128 MB).
  static TzqCrossSectionCache& Shared();

  // The cross-section of lines, whose contents are those of list revision revision, at conditions:
  // kept from an earlier call or computed now (and kept when it is valid). Revision 0 means contents
  // of unknown identity: always computed, never kept. A cancelled computation is never kept.
  std::shared_ptr<const THitranCrossSection> Get(uint64_t revision, const THitranLineSet& lines,
                                                 const THitranConditions& conditions);

  // Engine computations made by Get so far (what the cache could not answer).
  uint64_t Computations() const;
  std::size_t Bytes() const;
  void Clear();

private:
  struct Key {
    uint64_t revision = 0, grid_hash = 0, edges_hash = 0;
    int molecule = 0, isotopologue = 0;
    double temperature = 0, pressure = 0, mixing_ratio = 0, width_limit = 0, min = 0, max = 0;
    THitranProfile profile = THitranProfile::Voigt;
    std::size_t grid_points = 0, lines = 0, edges = 0;
    bool cell_average = false;
    bool continuum_wings = false, coarse_wings = true;
    bool operator==(const Key&) const = default;
  };
  struct Entry {
    Key key;
    std::shared_ptr<const THitranCrossSection> value;
    std::size_t bytes = 0;
  };
  static Key key_of(uint64_t revision, const THitranLineSet& lines, const THitranConditions& c);

  mutable std::mutex mutex_;
  std::list<Entry> entries_; // most recently used first
  std::size_t max_bytes_, bytes_ = 0;
  uint64_t computations_ = 0;
};
