// What a line list covers and what a reader should know about it: the holes in its coverage (ranges
// inside its span without a single line although lines are dense on both sides, as where a list was
// pieced together from fragments) and the absorption bands a class looks for first. Plain C++; the
// window shades both on its chart, the status bar and the Column page name the holes.
#pragma once

#include "zqHitranRecord.h"

#include <span>
#include <string>
#include <vector>

namespace zqsession {

struct TLineGap {
  double Lo = 0, Hi = 0; // cm-1: the lines on either side of the hole
  bool operator==(const TLineGap&) const = default;
};

// A hole is a step between neighbouring lines wider than minWidth (cm-1) where the nearest
// kGapNeighbours lines on each side lie, on average, closer than a tenth of the step: a sudden end of
// dense lines, not the thinning wing of a band. positions must be ascending.
inline constexpr double kMinGapWidth = 20;
inline constexpr int kGapNeighbours = 10;
std::vector<TLineGap> FindLineGaps(std::span<const double> positions, double minWidth = kMinGapWidth);
// The same for a list's records (ascending by wavenumber as HITRAN files are; sorted here otherwise).
std::vector<TLineGap> FindLineGaps(std::span<const THitranLine> lines, double minWidth = kMinGapWidth);

// The gaps that reach into the range lo..hi (cm-1), cut to it.
std::vector<TLineGap> GapsWithin(const std::vector<TLineGap>& gaps, double lo, double hi);

// "water list: no lines 133-666 cm-1, 765-862 cm-1"; empty without gaps.
std::string LineGapsText(const std::string& listName, const std::vector<TLineGap>& gaps);

// A named absorption band or window (cm-1).
struct TSpectralBand {
  double Lo, Hi;
  const char* Label;
};
// CO2 15 um (667 cm-1) and 4.3 um (2349), H2O rotation (below 500) and 6.3 um (1595), the 8-12 um
// atmospheric window.
std::span<const TSpectralBand> KnownBands();

} // namespace zqsession
