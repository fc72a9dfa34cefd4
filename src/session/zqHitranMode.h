// The HITRAN line physics in the session: each gas's cross-section at the controls (its own mixing
// ratio for self broadening), the chart series formed from it (sigma x 1e20, ln of the optical depth
// of 1 km, the mean path to absorb the chosen fraction) and the Power page's table with the exact
// Planck function. The classic pipeline in zqSession.cpp is not touched by any of this.
//
// Every value is one of a plot cell: the spectra are the cross-section's cell means, which keep the
// area of lines narrower than a cell. What a path absorbs depends on the lines' shapes, not only their
// areas, so the optical depth, the mean paths and the Power table are taken from the transmittance
// exp(-tau) averaged over each cell on a grid that resolves the lines thick enough to matter
// (zqResolvingGrid.h).
#pragma once

#include "zqCrossSection.h"
#include "zqResolvingGrid.h"
#include "zqSession.h"

#include <cstddef>
#include <vector>

struct TzqContinuumTable;

namespace zqsession {

// What a spectrum value is multiplied by for the chart: sigma in cm2/molecule is shown x 1e20.
inline constexpr double kHitranDisplayFactor = 1e20;
// The path of the optical-depth plot (m): "Optical Depth for 1 km".
inline constexpr double kOpticalDepthPath = 1000;

// The conditions of one gas's cross-section on the plot grid: the controls' temperature, pressure,
// range and line-width limit, the profile of the spectra type (the raw-line types use Voigt), the gas's
// mixing ratio, and cell means.
THitranConditions HitranConditions(const TControls& controls, double mixingRatioPpm);
THitranProfile HitranProfileOf(TSpectraType type);

// The longest path (m) the plot of the controls looks through: 1 km for the optical depth, the longest
// path shown for the mean paths, none (0) for spectra.
double HitranResolvedPath(const TControls& controls);

// The cross-sections of the gases present, computed once for a plot or the Power table: on the plot
// grid (cell means), or on a resolving grid for paths up to a longest one.
struct THitranGases {
  const THitranCrossSection* Of(TSeriesRole role) const;
  double DensityOf(TSeriesRole role) const; // molecules/cm3 of the gas (1 ppm for Combined)
  // The combined cross-section: water ppm x sigma_water + co2Factor x CO2 ppm x sigma_CO2
  // (cm2/molecule x ppm), with the number density of 1 ppm it gives the sum of both optical depths.
  // Empty unless both gases were computed.
  std::vector<double> Combined(double co2Factor = 1) const;

  // The plot cells over the cross-sections' points: cell k, centred at PlotX[k], holds points
  // First[k] .. First[k + 1] - 1, point j standing for Width[j] cm-1 of it (one point of the cell's
  // width each on the plot grid).
  std::vector<double> PlotX;
  std::vector<std::size_t> First;
  std::vector<double> Width;
  double BandMin = 0, BandMax = 0; // the cells' span (cm-1)
  bool Resolved = false;           // on a resolving grid

  bool HasWater = false, HasCO2 = false;
  THitranCrossSection Water, CO2;
  double WaterPpm = 0, CO2Ppm = 0;
  double WaterDensity = 0, CO2Density = 0, UnitDensity = 0;
  TzqStatus Status; // each gas's refusal and notes under its section, the resolving grid's under ""
};
// resolvedPathM > 0: on a grid that resolves the lines thick enough to matter through paths up to it.
// continuum: the session's table (or none). When the controls use it (ContinuumUsed), the Lorentz and
// Voigt water cross-sections are the lines under the continuum's wing convention plus the continuum
// (AddContinuum); the Doppler profile, which has no pressure broadening, keeps the lines alone (with a
// note). The spectra type Continuum gives water the continuum alone and CO2 zeros (it has none here, and
// the legend says which gas is which),
// and is refused without a table or with the switch off.
// co2 is the list of the second series' gas (controls.Gas, at controls.SecondGasPpm()); the CO2 members
// below hold that gas.
THitranGases ComputeHitranGases(const T_zq_HITRAN* water, const T_zq_HITRAN* co2, const TControls& controls,
                                const TzqContinuumTable* continuum, double resolvedPathM = 0,
                                const TResolvingGridOptions& resolution = {});

// Adds the continuum cross-section (cm2 per water molecule, ContinuumCrossSections of zqContinuum.h) at
// the controls' temperature, pressure and water mixing ratio x = ppm / 1e6 to sigma at its points X.
void AddContinuum(const TzqContinuumTable& table, const TControls& controls, THitranCrossSection& sigma);

// Fills the gas roles' series for the plot of the controls from the cross-sections; a role whose
// series is missing is skipped, one whose gas was refused is emptied.
TzqStatus FillHitranSeries(const THitranGases& gases, const TControls& controls, double pathFactor,
                           const std::function<TLineSeries*(TSeriesRole)>& series);

// The Power page's table for a path of P metres: absorbed blackbody power with the exact Planck
// function at the gas temperature; "2x" doubles the CO2 path (as much CO2 again, widths unchanged).
// The gases should be resolved for 2P (TzqSession::ComputePower does so).
TPowerResult HitranPowerTable(const THitranGases& gases, const TControls& controls, double P);

} // namespace zqsession
