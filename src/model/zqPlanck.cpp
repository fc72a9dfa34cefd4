// Planck's law and its band integral.
#include "zqPlanck.h"

#include "zqPhysicalConstants.h"

#include <algorithm>
#include <limits>
#include <numbers>

namespace zqplanck {

namespace {

// 2 h c^2 (W m2) and h c / k (cm K) from the exact SI constants.
constexpr double kFirst = 2 * zqconst::Planck * zqconst::SpeedOfLight * zqconst::SpeedOfLight;
constexpr double kSecondCm = 100 * zqconst::Planck * zqconst::SpeedOfLight / zqconst::Boltzmann;
// Radiance per cm-1 with nu in cm-1: 2 h c^2 (100 nu)^3 per m-1, times 100 m-1 per cm-1.
constexpr double kFirstCm = kFirst * 1e8;

// integral_x^inf t^3 / (e^t - 1) dt = sum_n e^-nx (x^3/n + 3x^2/n^2 + 6x/n^3 + 6/n^4), for x >= 1.
long double planck_tail(long double x) {
  long double sum = 0;
  for (int n = 1; n < 400; ++n) {
    const long double e = std::exp(-n * x);
    const long double term =
        e * (x * x * x / n + 3 * x * x / (n * n) + 6 * x / (n * n * n) + 6.0L / (n * n * n * n));
    sum += term;
    if (term <= sum * 1e-21L) break;
  }
  return sum;
}

// integral_0^x t^3 / (e^t - 1) dt from t^3 / (e^t - 1) = sum B_n t^(n+2) / n!, for x < 1 (the series
// converges like (x / 2 pi)^n; twenty terms leave less than 1e-16).
long double planck_head(long double x) {
  static constexpr long double kBernoulliEven[] = {1.0L / 6,       -1.0L / 30,      1.0L / 42, -1.0L / 30,
                                                   5.0L / 66,      -691.0L / 2730,  7.0L / 6,  -3617.0L / 510,
                                                   43867.0L / 798, -174611.0L / 330};
  long double sum = x * x * x / 3 - x * x * x * x / 8;
  long double power = x * x * x; // x^(2k+3) / (2k)! built up term by term
  long double factorial = 1;
  for (int k = 1; k <= 10; ++k) {
    power *= x * x;
    factorial *= (2 * k - 1) * (2 * k);
    sum += kBernoulliEven[k - 1] * power / ((2 * k + 3) * factorial);
  }
  return sum;
}

// integral_0^x t^3 / (e^t - 1) dt; the full integral is pi^4 / 15.
long double planck_integral(long double x) {
  constexpr long double kPi = std::numbers::pi_v<long double>;
  if (x < 1) return planck_head(x);
  return kPi * kPi * kPi * kPi / 15 - planck_tail(x);
}

} // namespace

double Radiance(double nu, double temperature) {
  if (!(nu > 0) || !(temperature > 0)) return 0;
  return kFirstCm * nu * nu * nu / std::expm1(kSecondCm * nu / temperature);
}

double Exitance(double nu, double temperature) {
  return std::numbers::pi * Radiance(nu, temperature);
}

double BrightnessTemperature(double nu, double flux) {
  if (!(nu > 0) || !(flux > 0)) return 0;
  // B = kFirstCm nu^3 / expm1(kSecondCm nu / T)  =>  T = kSecondCm nu / log1p(kFirstCm nu^3 / B)
  const double radiance = flux / std::numbers::pi;
  return kSecondCm * nu / std::log1p(kFirstCm * nu * nu * nu / radiance);
}

double BandEffectiveTemperature(double nu1, double nu2, double flux) {
  if (!(nu2 > nu1)) return std::numeric_limits<double>::quiet_NaN();
  if (!(flux > 0)) return 0;
  // BandExitance rises with T: bracket, then bisect.
  double lo = 0, hi = 100;
  while (BandExitance(nu1, nu2, hi) < flux && hi < 1e7)
    hi *= 2;
  for (int i = 0; i < 200 && hi - lo > 1e-12 * hi; ++i) {
    const double mid = (lo + hi) / 2;
    (BandExitance(nu1, nu2, mid) < flux ? lo : hi) = mid;
  }
  return (lo + hi) / 2;
}

double BandExitance(double nu1, double nu2, double temperature) {
  if (!(temperature > 0) || !(nu2 > nu1)) return 0;
  const long double scale = temperature / kSecondCm;
  const long double x1 = std::max(0.0L, static_cast<long double>(nu1) / scale);
  const long double x2 = std::max(0.0L, static_cast<long double>(nu2) / scale);
  // Above x = 1 difference the two tails, so a band far out on the Wien side keeps its digits.
  const long double part =
      x1 >= 1 ? planck_tail(x1) - planck_tail(x2) : planck_integral(x2) - planck_integral(x1);
  return static_cast<double>(std::numbers::pi_v<long double> * kFirstCm * scale * scale * scale * scale *
                             part);
}

} // namespace zqplanck
