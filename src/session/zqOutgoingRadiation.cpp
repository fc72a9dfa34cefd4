#include "zqOutgoingRadiation.h"

#include "zqPlanck.h"

namespace zqsession {

std::array<double, 3> OutgoingRadiationTemperatures(double surfaceTemperature) {
  return {surfaceTemperature, 250, 220};
}

std::vector<TPlanckCurve> OutgoingRadiationCurves(const TzqColumnSettings& s,
                                                  const std::array<double, 3>& temperatures,
                                                  TColumnQuantity quantity, TColumnXUnit unit) {
  const bool level = quantity == TColumnQuantity::BrightnessTemperature;
  const bool wavelength = unit == TColumnXUnit::Wavelength;
  const int intervals = level ? 1 : kPlanckCurvePoints;
  // 0 cm-1 has no wavelength: a level line then starts at the first grid point.
  const double lo = wavelength && level && !(s.WavenumberMin > 0) ? ColumnGrid(s).At(0) : s.WavenumberMin;
  const double step = (s.WavenumberMax - lo) / intervals;
  std::vector<TPlanckCurve> curves;
  for (double t : temperatures) {
    TPlanckCurve c;
    c.Temperature = t;
    for (int i = 0; i <= intervals; ++i) {
      const double nu = lo + i * step;
      if (wavelength && !(nu > 0)) continue;
      c.X.push_back(unit == TColumnXUnit::Wavelength ? WavelengthOfWavenumber(nu) : nu);
      c.Y.push_back(level ? t : zqplanck::Exitance(nu, t));
    }
    curves.push_back(std::move(c));
  }
  return curves;
}

} // namespace zqsession
