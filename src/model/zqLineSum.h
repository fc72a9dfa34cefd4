// The one summation of line profiles over a grid, shared by the classic spectrum (zqHITRANSpectrum.cpp)
// and the HITRAN cross-section (zqCrossSection.cpp) for every line shape and grid. A computation runs
// in two passes over the worker pool: the lines are split between the parts to place them (each
// part writes the lines it keeps into slots of its own share, in file order), then the grid is split
// so that each part sums its own points over the placed lines in file order. Each point therefore gets
// the same sum, bit for bit, whatever the number of parts. A cancel flag is read between lines of both
// passes; a cancelled computation reports false and its sums must be thrown away.
#pragma once

#include "zqWorkerPool.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <span>
#include <utility>

namespace zqsum {

inline constexpr unsigned kMaxParts = 64;

enum class TPlacement { Placed, Skipped, Stop };

// Splits [0, count) into parts nearly equal ranges; part p gets [first, last).
inline std::pair<long, long> Share(long count, unsigned parts, unsigned part) {
  return {count * part / parts, count * (part + 1) / parts};
}

// Parts of a computation for a thread count (0 = every thread the pool can run), 1 .. kMaxParts.
inline unsigned PartsFor(unsigned threads, const TzqWorkerPool& pool) {
  return std::clamp(threads == 0 ? pool.Concurrency() : threads, 1u, kMaxParts);
}

inline bool Cancelled(const std::atomic<bool>* cancel) {
  return cancel && cancel->load(std::memory_order_relaxed);
}

// The slots pass 1 filled: part p's placed lines are slots First[p] .. First[p] + Count[p] - 1, and no
// part after the first that stopped counts.
struct TPlacedRuns {
  unsigned Parts = 1;
  std::array<long, kMaxParts> First{}, Count{};
  std::array<bool, kMaxParts> Stopped{};

  // visit(slot) for every placed line in file order.
  template <class Visit> void ForEach(Visit visit) const {
    for (unsigned p = 0; p < Parts; ++p) {
      for (long i = First[p]; i < First[p] + Count[p]; ++i)
        visit(i);
      if (Stopped[p]) break; // no later line is processed
    }
  }
  // One run of count slots from 0 (lines already placed elsewhere).
  static TPlacedRuns Whole(long count) {
    TPlacedRuns r;
    r.Count[0] = count;
    return r;
  }
};

// Pass 1: place_one(part, line, slot) for line = 0 .. lines - 1 split between parts; it writes the
// line into slot and says whether it was placed, skipped, or ends the list (lines after a Stop are not
// processed). False when cancelled.
template <class PlaceOne>
bool PlaceLines(TzqWorkerPool& pool, unsigned parts, long lines, PlaceOne place_one, TPlacedRuns& runs,
                const std::atomic<bool>* cancel) {
  runs = TPlacedRuns{};
  runs.Parts = parts;
  auto place = [&](unsigned part) {
    const auto [first, last] = Share(lines, parts, part);
    long slot = first;
    for (long i = first; i < last; ++i) {
      if ((i & 1023) == 0 && Cancelled(cancel)) break;
      const TPlacement placement = place_one(part, i, slot);
      if (placement == TPlacement::Placed) ++slot;
      if (placement == TPlacement::Stop) {
        runs.Stopped[part] = true;
        break;
      }
    }
    runs.First[part] = first;
    runs.Count[part] = slot - first;
  };
  pool.Run(parts, place);
  return !Cancelled(cancel);
}

// Pass 2: grid points first_point .. end_point - 1 split between parts with an equal number of
// line-point pairs in each (line lists are dense in some bands and empty in others), then
// sum_run(slot, lo, hi) for each placed line whose window window(slot) = {lo, hi} (inclusive) meets a
// part's points, clipped to them, in file order. delta is working space of end_point + 1 entries.
// False when cancelled.
template <class Window, class SumRun>
bool SumLines(TzqWorkerPool& pool, unsigned parts, const TPlacedRuns& runs, int32_t first_point,
              int32_t end_point, std::span<int32_t> delta, Window window, SumRun sum_run,
              const std::atomic<bool>* cancel) {
  std::array<int32_t, kMaxParts + 1> bounds{}; // part p sums points bounds[p] .. bounds[p + 1] - 1
  bounds[0] = first_point;
  bounds[parts] = end_point;
  if (parts > 1) {
    std::fill(delta.begin(), delta.end(), 0);
    double total = 0;
    runs.ForEach([&](long slot) {
      const auto [lo, hi] = window(slot);
      total += hi - lo + 1;
      ++delta[static_cast<std::size_t>(lo)];
      --delta[static_cast<std::size_t>(hi) + 1];
    });
    double running = 0;
    int64_t active = 0;
    unsigned next = 1;
    for (int32_t k = first_point; k < end_point && next < parts; ++k) {
      running += static_cast<double>(active += delta[static_cast<std::size_t>(k)]);
      while (next < parts && running >= total * next / parts)
        bounds[next++] = k + 1;
    }
    for (; next < parts; ++next)
      bounds[next] = end_point;
  }
  auto accumulate = [&](unsigned part) {
    const int32_t k0 = bounds[part], k1 = bounds[part + 1] - 1;
    if (k0 > k1) return;
    bool stop = false;
    runs.ForEach([&](long slot) {
      if (stop || (stop = Cancelled(cancel))) return;
      const auto [lo, hi] = window(slot);
      const int32_t a = std::max(lo, k0), b = std::min(hi, k1);
      if (a <= b) sum_run(slot, a, b);
    });
  };
  pool.Run(parts, accumulate);
  return !Cancelled(cancel);
}

} // namespace zqsum
