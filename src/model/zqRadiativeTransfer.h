// Building blocks of the column's infrared radiative transfer: the exact Planck function and its band
// integral, Gauss-Legendre nodes in the cosine of the zenith angle, and the transfer of intensity
// through one layer whose Planck source varies linearly in optical depth.
#pragma once

#include <cmath>
#include <vector>

namespace zqrt {

// Planck spectral radiance (W m-2 sr-1 per cm-1) at wavenumber nu (cm-1) and temperature T (K), with
// the exact SI constants h, c and k. 0 when nu <= 0 or T <= 0.
double PlanckRadiance(double nu, double temperature);

// Hemispheric blackbody exitance pi * integral of PlanckRadiance over [nu1, nu2] (W m-2), from the
// analytic series of integral x^3 / (e^x - 1): exact to rounding, independent of any grid.
double PlanckBandExitance(double nu1, double nu2, double temperature);

// n-point Gauss-Legendre rule on [0, 1]: nodes ascending, weights summing to 1.
struct Quadrature {
  std::vector<double> Nodes;
  std::vector<double> Weights;
};
Quadrature GaussLegendre01(int n);

// Transfer of intensity along a slant path of optical thickness x = dtau / mu through a layer whose
// source is B_near at the end the ray leaves and B_far at the end it enters, linear in optical depth:
//   I_out = I_in * T + B_near * A + (B_far - B_near) * L,
// with T = e^-x, A = 1 - e^-x and L = (1 - (1 + x) e^-x) / x. L comes from its series below x = 0.01,
// where the closed form would lose digits to cancellation.
struct LayerTransfer {
  double T, A, L;
};

// L for x < 0.01: (1 - (1 + x) e^-x) / x = sum_{n>=2} (-1)^n (n - 1) x^(n-1) / n!, through n = 8
// (the rest is below 1e-16 of L).
inline double TransferLinearSeries(double x) {
  return x * (1.0 / 2 -
              x * (1.0 / 3 - x * (1.0 / 8 - x * (1.0 / 30 - x * (1.0 / 144 - x * (1.0 / 840 - x / 5760))))));
}

// The factors for x, given 1 / x (a caller with many angles per layer saves the divisions). A = 1 - e^-x
// and the closed form of L lose relative digits for small x but keep absolute errors near rounding
// (1e-14 of L at the switch), which is all the intensity sees; below the switch L's cancellation
// would grow, hence its series.
inline LayerTransfer LayerTransferFactors(double x, double inverseX) {
  const double t = std::exp(-x), a = 1 - t;
  return {t, a, x < 0.01 ? TransferLinearSeries(x) : (a - x * t) * inverseX};
}
inline LayerTransfer LayerTransferFactors(double x) {
  return LayerTransferFactors(x, 1 / x);
}

inline double Transfer(double intensityIn, double bNear, double bFar, const LayerTransfer& f) {
  return intensityIn * f.T + bNear * f.A + (bFar - bNear) * f.L;
}

} // namespace zqrt
