#include "zqOutgoingRadiation.h"

#include "zqPlanck.h"

namespace zqsession {

std::vector<TPlanckCurve> OutgoingRadiationCurves(const TzqColumnSettings& s) {
  // Besides the surface: about the tropopause and the coldest stratosphere of the standard column.
  const double temperatures[] = {s.SurfaceTemperature, 250, 220};
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
