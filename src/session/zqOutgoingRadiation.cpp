#include "zqOutgoingRadiation.h"

#include "zqPlanck.h"

namespace zqsession {

std::array<double, 3> OutgoingRadiationTemperatures(const TzqColumnSettings& s) {
  return {s.SurfaceTemperature, 250, 220};
}

std::vector<TPlanckCurve> OutgoingRadiationCurves(const TzqColumnSettings& s,
                                                  const std::array<double, 3>& temperatures) {
  const double step = (s.WavenumberMax - s.WavenumberMin) / kPlanckCurvePoints;
  std::vector<TPlanckCurve> curves;
  for (double t : temperatures) {
    TPlanckCurve c;
    c.Temperature = t;
    c.X.resize(kPlanckCurvePoints + 1);
    c.Y.resize(kPlanckCurvePoints + 1);
    for (int i = 0; i <= kPlanckCurvePoints; ++i) {
      c.X[i] = s.WavenumberMin + i * step;
      c.Y[i] = zqplanck::Exitance(c.X[i], t);
    }
    curves.push_back(std::move(c));
  }
  return curves;
}

} // namespace zqsession
