// The blackbody curves the Outgoing Radiation plot draws beside a column's top spectra, so the window
// only shows them.
#pragma once

#include "zqColumn.h"
#include "zqColumnReport.h"

#include <array>
#include <vector>

namespace zqsession {

struct TPlanckCurve {
  double Temperature = 0;   // K
  std::vector<double> X, Y; // cm-1 or um; exitance in W m-2 per cm-1, or K
};

// Points of each curve over the band: smooth at any zoom, far fewer than the column's grid.
inline constexpr int kPlanckCurvePoints = 2000;

// The curves' temperatures until the user sets others (K): the ground's as the column computed it (a
// table's own when the surface is the table's), then about the tropopause and the coldest stratosphere
// of the standard column.
std::array<double, 3> OutgoingRadiationTemperatures(double surfaceTemperature);

// The curves at the given temperatures (in that order) over the column's band: exitance, kPlanckCurvePoints
// + 1 evenly spaced points each; for the brightness temperature a level line at the curve's
// temperature (a blackbody's brightness temperature is its own at every wavenumber). x in the unit; in
// wavelengths a point at 0 cm-1 is left out (a level line starts at the first grid point instead).
std::vector<TPlanckCurve> OutgoingRadiationCurves(const TzqColumnSettings& settings,
                                                  const std::array<double, 3>& temperatures,
                                                  TColumnQuantity quantity = TColumnQuantity::Flux,
                                                  TColumnXUnit unit = TColumnXUnit::Wavenumber);

} // namespace zqsession
