// The blackbody curves the Outgoing Radiation plot draws beside a column's top spectra, so the window
// only shows them.
#pragma once

#include "zqColumn.h"

#include <array>
#include <vector>

namespace zqsession {

struct TPlanckCurve {
  double Temperature = 0;   // K
  std::vector<double> X, Y; // cm-1; exitance in W m-2 per cm-1
};

// Points of each curve over the band: smooth at any zoom, far fewer than the column's grid.
inline constexpr int kPlanckCurvePoints = 2000;

// The curves' temperatures until the user sets others (K): the surface's, then about the tropopause and
// the coldest stratosphere of the standard column.
std::array<double, 3> OutgoingRadiationTemperatures(const TzqColumnSettings& settings);

// Exitance curves at the given temperatures (in that order) over the column's band, kPlanckCurvePoints
// + 1 evenly spaced points each.
std::vector<TPlanckCurve> OutgoingRadiationCurves(const TzqColumnSettings& settings,
                                                  const std::array<double, 3>& temperatures);

} // namespace zqsession
