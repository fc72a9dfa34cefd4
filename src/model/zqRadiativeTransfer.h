// Building blocks of the column's infrared radiative transfer: Gauss-Legendre nodes in the cosine of the
// zenith angle and the transfer of intensity through one layer whose Planck source (zqPlanck.h) varies
// linearly in optical depth.
#pragma once

#include <cmath>
#include <vector>

namespace zqrt {

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
