// The HITRAN line physics in the session: each gas's cross-section at the controls (its own mixing
// ratio for self broadening), the chart series formed from it (sigma x 1e20, ln of the optical depth
// of 1 km, the mean path to absorb the chosen fraction) and the Power page's table with the exact
// Planck function. The classic pipeline in zqSession.cpp is not touched by any of this.
#pragma once

#include "zqCrossSection.h"
#include "zqSession.h"

#include <vector>

namespace zqsession {

// What a spectrum value is multiplied by for the chart: sigma in cm2/molecule is shown x 1e20.
inline constexpr double kHitranDisplayFactor = 1e20;
// The path of the optical-depth plot (m): "Optical Depth for 1 km".
inline constexpr double kOpticalDepthPath = 1000;

// The conditions of one gas's cross-section: the controls' temperature, pressure, range and line-width
// limit, the profile of the spectra type (the raw-line types use Voigt) and the gas's mixing ratio.
THitranConditions HitranConditions(const TControls& controls, double mixingRatioPpm);
THitranProfile HitranProfileOf(TSpectraType type);

// The cross-sections of the gases present, computed once for a plot or the Power table.
struct THitranGases {
  const THitranCrossSection* Of(TSeriesRole role) const;
  double DensityOf(TSeriesRole role) const; // molecules/cm3 of the gas (1 ppm for Combined)
  // The combined spectrum: water ppm x sigma_water + co2Factor x CO2 ppm x sigma_CO2 (cm2/molecule x
  // ppm), with the number density of 1 ppm it gives the sum of both optical depths. Empty unless both
  // gases were computed.
  std::vector<double> Combined(double co2Factor = 1) const;

  bool HasWater = false, HasCO2 = false;
  THitranCrossSection Water, CO2;
  double WaterPpm = 0, CO2Ppm = 0;
  double WaterDensity = 0, CO2Density = 0, UnitDensity = 0;
  TzqStatus Status; // each gas's refusal and notes under its section
};
THitranGases ComputeHitranGases(const T_zq_HITRAN* water, const T_zq_HITRAN* co2, const TControls& controls);

// Fills the gas roles' series for the plot of the controls from the cross-sections; a role whose
// series is missing is skipped, one whose gas was refused is emptied.
TzqStatus FillHitranSeries(const THitranGases& gases, const TControls& controls, double pathFactor,
                           const std::function<TLineSeries*(TSeriesRole)>& series);

// The Power page's table for a path of P metres: absorbed blackbody power with the exact Planck
// function at the gas temperature; "2x" doubles the CO2 path (as much CO2 again, widths unchanged).
TPowerResult HitranPowerTable(const THitranGases& gases, const TControls& controls, double P);

} // namespace zqsession
