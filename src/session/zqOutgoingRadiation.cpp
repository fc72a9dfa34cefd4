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
  const int intervals = level ? 1 : kPlanckCurvePoints;
  const double step = (s.WavenumberMax - s.WavenumberMin) / intervals;
  std::vector<TPlanckCurve> curves;
  for (double t : temperatures) {
    TPlanckCurve c;
    c.Temperature = t;
    for (int i = 0; i <= intervals; ++i) {
      const double nu = s.WavenumberMin + i * step;
      if (unit == TColumnXUnit::Wavelength && !(nu > 0)) continue;
      c.X.push_back(unit == TColumnXUnit::Wavelength ? WavelengthOfWavenumber(nu) : nu);
      c.Y.push_back(level ? t : zqplanck::Exitance(nu, t));
    }
    curves.push_back(std::move(c));
  }
  return curves;
}

} // namespace zqsession
