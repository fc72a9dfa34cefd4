// T_zq_HITRAN's absorbed-power integrals over the grid for a path of L metres: the fraction of points
// below the path, a weighted absorption, and the blackbody power absorbed.
#include "zqHITRAN.h"

#include "zqClassicFormulas.h"
#include "zqPlanck.h"

#include <cmath>

// ---- integrals -----------------------------------------------------------------------------------

namespace {
// The absorbed-power sums visit the grid points whose path is shorter than L.
template <class Visit>
bool for_paths_below(const std::array<double, T_zq_HITRAN::kGridPoints + 1>& spectrum, double q,
                     double maxPath, double L, Visit visit) {
  for (long k = 1; k <= T_zq_HITRAN::kGridPoints; ++k) {
    const double s = spectrum[k];
    const double path = s > 0 ? q / s : maxPath * 1000;
    if (path < L) visit(k, path);
  }
  return true;
}
} // namespace

bool T_zq_HITRAN::integral_ready(double& q, double& step) {
  reset_reason();
  // The spectrum is brought up to date even when no integral can be formed: the combined spectrum
  // is built from it next.
  UpdateSpectrum();
  take_spectrum_reasons();
  if (!reason_.empty()) return false;                   // a refused spectrum yields no integral
  if (!path_constant(q) || std::isinf(q)) return false; // no molecules: nothing is absorbed
  if (const char* problem = grid_problem(step)) {
    refuse(problem);
    return false;
  }
  return true;
}

double T_zq_HITRAN::FractionBelowPath(double L) {
  double q = 0, step = 0;
  if (!integral_ready(q, step)) return 0;
  long count = 0;
  for_paths_below(Spectrum, q, MaxPath, L, [&](long, double) { ++count; });
  return static_cast<double>(count) / kGridPoints;
}

double T_zq_HITRAN::WeightedAbsorption(double L, std::span<const double> weights) {
  double q = 0, step = 0;
  if (!integral_ready(q, step)) return 0;
  double sum = 0;
  for_paths_below(Spectrum, q, MaxPath, L, [&](long k, double path) {
    const std::size_t i = static_cast<std::size_t>(k - 1);
    if (i < weights.size()) sum += (1 - std::exp(-L / path)) * weights[i];
  });
  if (!std::isfinite(sum)) {
    refuse("Weighted absorption is too large to represent");
    return 0;
  }
  return sum;
}

double T_zq_HITRAN::AbsorbedBlackbodyPower(double L) {
  double q = 0, step = 0;
  if (!integral_ready(q, step)) return 0;
  const long double t = Temperature;
  long double sum = 0;
  for_paths_below(Spectrum, q, MaxPath, L, [&](long k, double path) {
    const long double lambda = 0.01L / (WavenumberMin + static_cast<long double>(k) * step); // m
    const long double b = zqplanck::ClassicLaw(zqconst::ClassicPowerPlanckC1, zqconst::ClassicPowerPlanckC2,
                                               lambda * lambda * lambda, lambda, t);
    sum += b * (1 - std::exp(-static_cast<long double>(L) / path));
  });
  const double power = static_cast<double>(step * sum / 0.01L);
  if (!std::isfinite(power)) {
    refuse("Absorbed power is too large to represent");
    return 0;
  }
  return power;
}
