// The HITRAN-mode formulas. Each is written to stay accurate at its edges (expm1 for the stimulated-
// emission and Planck denominators, one exponential for the Boltzmann ratio) because the spectrum is
// compared with reference tools to 1e-7.
#include "zqHitranPhysics.h"

#include "zqFaddeeva.h"
#include "zqPhysicalConstants.h"
#include "zqPlanck.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace zqphys {
namespace {

constexpr double kTref = zqconst::HitranReferenceTemperature;
constexpr double kC2 = zqconst::SecondRadiationCm;
constexpr double kLn2 = std::numbers::ln2;
constexpr double kPi = std::numbers::pi;

} // namespace

double LineIntensity(double sRef, double nu, double lowerEnergy, double temperature, double qRef, double qT) {
  // exp(-c2 E/T) / exp(-c2 E/Tref) as one exponential, so large E'' never underflows to 0/0.
  const double boltzmann = std::exp(-kC2 * lowerEnergy * (1 / temperature - 1 / kTref));
  const double stimulated = std::expm1(-kC2 * nu / temperature) / std::expm1(-kC2 * nu / kTref);
  return sRef * (qRef / qT) * boltzmann * stimulated;
}

double LorentzHalfWidth(double gammaAir, double gammaSelf, double nAir, double temperature, double pressureMb,
                        double mixingRatioPpm) {
  return LorentzHalfWidthAt(WidthTemperatureFactor(nAir, temperature), gammaAir, gammaSelf, pressureMb,
                            mixingRatioPpm);
}

double WidthTemperatureFactor(double nAir, double temperature) {
  return std::pow(kTref / temperature, nAir);
}

double LorentzHalfWidthAt(double temperatureFactor, double gammaAir, double gammaSelf, double pressureMb,
                          double mixingRatioPpm) {
  const double chi = mixingRatioPpm * 1e-6;
  const double pAtm = pressureMb / zqconst::StandardAtmosphere;
  return temperatureFactor * pAtm * (gammaAir * (1 - chi) + gammaSelf * chi);
}

double PressureShift(double deltaAir, double pressureMb) {
  return deltaAir * (pressureMb / zqconst::StandardAtmosphere);
}

double ShiftedCentre(double nu, double deltaAir, double pressureMb) {
  return nu + PressureShift(deltaAir, pressureMb);
}

double DopplerHalfWidth(double centre, double temperature, double molarMassGPerMol) {
  return centre * DopplerWidthFactor(temperature, molarMassGPerMol);
}

double DopplerWidthFactor(double temperature, double molarMassGPerMol) {
  const double mass = molarMassGPerMol * 1e-3; // kg/mol
  return std::sqrt(2 * zqconst::Avogadro * zqconst::Boltzmann * temperature * kLn2 / mass) /
         zqconst::SpeedOfLight;
}

double NumberDensity(double mixingRatioPpm, double pressureMb, double temperature) {
  // p in Pa is 100 * mb; molecules per m3 times 1e-6 gives per cm3.
  return mixingRatioPpm * 1e-6 * (pressureMb * 100) / (zqconst::Boltzmann * temperature) * 1e-6;
}

double LorentzProfile(double d, double gammaL) {
  return gammaL / (kPi * (d * d + gammaL * gammaL));
}

double GaussProfile(double d, double gammaD) {
  return std::sqrt(kLn2 / kPi) / gammaD * std::exp(-kLn2 * d * d / (gammaD * gammaD));
}

double VoigtProfile(double d, double gammaL, double gammaD) {
  if (gammaL == 0) return GaussProfile(d, gammaD); // the limit, exactly
  const double c = std::sqrt(kLn2) / gammaD;
  return std::sqrt(kLn2 / kPi) / gammaD * zqvoigt::ReW(c * d, c * gammaL);
}

double LorentzProfileShare(double a, double b, double gammaL) {
  if (!(a < b)) return 0;
  // atan(b/g) - atan(a/g) = atan2(g (b - a), g^2 + a b): the angle lies in (0, pi), so no branch is lost.
  return std::atan2(gammaL * (b - a), gammaL * gammaL + a * b) / kPi;
}

double GaussProfileShare(double a, double b, double gammaD) {
  if (!(a < b)) return 0;
  const double c = std::sqrt(kLn2) / gammaD, xa = c * a, xb = c * b;
  // erfc on the side of the wing, where erf is 1 to the last bits.
  if (xa >= 0) return 0.5 * (std::erfc(xa) - std::erfc(xb));
  if (xb <= 0) return 0.5 * (std::erfc(-xb) - std::erfc(-xa));
  return 0.5 * (std::erf(xb) - std::erf(xa));
}

double VoigtProfileShare(double a, double b, double gammaL, double gammaD) {
  if (gammaL == 0) return GaussProfileShare(a, b, gammaD);
  const double c = std::sqrt(kLn2) / gammaD;
  return zqvoigt::ReWIntegral(c * a, c * b, c * gammaL) * std::numbers::inv_sqrtpi;
}

double LorentzProfileCumulative(double d, double gammaL) {
  return 0.5 + std::atan(d / gammaL) / kPi;
}

double GaussProfileCumulative(double d, double gammaD) {
  return 0.5 * (1 + std::erf(std::sqrt(kLn2) * d / gammaD));
}

double VoigtHalfWidth(double gammaL, double gammaD) {
  return 0.5346 * gammaL + std::sqrt(0.2166 * gammaL * gammaL + gammaD * gammaD);
}

double OpticalDepth(double sigma, double numberDensity, double pathM) {
  return sigma * numberDensity * (pathM * 100);
}

double PathForFraction(double sigma, double numberDensity, double fraction) {
  const double per_cm = sigma * numberDensity;
  if (!(per_cm > 0)) return std::numeric_limits<double>::infinity();
  return -std::log1p(-fraction) / per_cm / 100;
}

namespace {

double total_width(std::span<const double> width) {
  double w = 0;
  for (double v : width)
    w += v;
  return w;
}

// The smallest optical depth of a piece, about which its transmittance is summed.
double smallest_depth(std::span<const double> sigma, double numberDensity, double pathM) {
  double m = HUGE_VAL;
  for (double s : sigma)
    m = std::fmin(m, OpticalDepth(s, numberDensity, pathM));
  return m;
}

} // namespace

double MeanTransmittance(std::span<const double> sigma, std::span<const double> width, double numberDensity,
                         double pathM) {
  const std::size_t n = std::min(sigma.size(), width.size());
  double sum = 0;
  for (std::size_t j = 0; j < n; ++j)
    sum += width[j] * std::exp(-OpticalDepth(sigma[j], numberDensity, pathM));
  return sum / total_width(width.first(n));
}

double MeanAbsorptance(std::span<const double> sigma, std::span<const double> width, double numberDensity,
                       double pathM) {
  const std::size_t n = std::min(sigma.size(), width.size());
  double sum = 0;
  for (std::size_t j = 0; j < n; ++j)
    sum += width[j] * -std::expm1(-OpticalDepth(sigma[j], numberDensity, pathM));
  return sum / total_width(width.first(n));
}

double EffectiveOpticalDepth(std::span<const double> sigma, std::span<const double> width,
                             double numberDensity, double pathM) {
  const std::size_t n = std::min(sigma.size(), width.size());
  if (n == 1) return OpticalDepth(sigma[0], numberDensity, pathM);
  const double m = smallest_depth(sigma.first(n), numberDensity, pathM);
  if (!std::isfinite(m)) return m;
  // -ln T = m - ln(sum w_j exp(-(tau_j - m)) / sum w_j), and the sum is at least the smallest one's width.
  double sum = 0;
  for (std::size_t j = 0; j < n; ++j)
    sum += width[j] * std::exp(-(OpticalDepth(sigma[j], numberDensity, pathM) - m));
  return m - std::log(sum / total_width(width.first(n)));
}

double PathForFractionOfPiece(std::span<const double> sigma, std::span<const double> width,
                              double numberDensity, double fraction, double maxPathM) {
  const std::size_t n = std::min(sigma.size(), width.size());
  if (n == 0) return std::numeric_limits<double>::infinity();
  if (n == 1) return PathForFraction(sigma[0], numberDensity, fraction);
  const double w = total_width(width.first(n));
  double mean = 0;
  for (std::size_t j = 0; j < n; ++j)
    mean += width[j] * sigma[j];
  mean /= w;
  double path = PathForFraction(mean, numberDensity, fraction);
  if (!(path < maxPathM)) return path; // infinite, or beyond the longest path asked for
  const double target = -std::log1p(-fraction);
  // -ln T(L) and its slope, summed about the smallest optical depth (k_j = sigma_j n per m of path).
  auto depth = [&](double L, double& slope) {
    double m = HUGE_VAL;
    for (std::size_t j = 0; j < n; ++j)
      m = std::fmin(m, OpticalDepth(sigma[j], numberDensity, 1) * L);
    double sum = 0, weighted = 0;
    for (std::size_t j = 0; j < n; ++j) {
      const double k = OpticalDepth(sigma[j], numberDensity, 1);
      const double e = width[j] * std::exp(-(k * L - m));
      sum += e;
      weighted += k * e;
    }
    slope = weighted / sum;
    return m - std::log(sum / w);
  };
  double slope = 0;
  if (depth(maxPathM, slope) < target) return std::numeric_limits<double>::infinity();
  for (int i = 0; i < 100; ++i) {
    const double missing = target - depth(path, slope);
    if (!(missing > 0) || !(slope > 0)) break;
    const double next = std::fmin(path + missing / slope, maxPathM);
    if (!(next > path * (1 + 1e-13))) break;
    path = next;
  }
  return path;
}

double AbsorbedBlackbodyPowerOfPieces(std::span<const double> x, std::span<const double> width,
                                      std::span<const double> sigma, double numberDensity, double pathM,
                                      double temperature) {
  return AbsorbedPowerOfPieces(ExitanceOfPieces(x, width, temperature), sigma, numberDensity, pathM);
}

std::vector<double> ExitanceOfPieces(std::span<const double> x, std::span<const double> width,
                                     double temperature) {
  std::vector<double> e(std::min(x.size(), width.size()));
  for (std::size_t j = 0; j < e.size(); ++j)
    e[j] = zqplanck::Exitance(x[j], temperature) * width[j];
  return e;
}

double AbsorbedPowerOfPieces(std::span<const double> exitance, std::span<const double> sigma,
                             double numberDensity, double pathM) {
  const std::size_t n = std::min(exitance.size(), sigma.size());
  double sum = 0;
  for (std::size_t j = 0; j < n; ++j)
    sum += exitance[j] * -std::expm1(-OpticalDepth(sigma[j], numberDensity, pathM));
  return sum;
}

double AbsorbedBlackbodyPower(std::span<const double> x, std::span<const double> sigma, double step,
                              double numberDensity, double pathM, double temperature) {
  const std::size_t n = std::min(x.size(), sigma.size());
  double sum = 0;
  for (std::size_t k = 0; k < n; ++k)
    sum += zqplanck::Exitance(x[k], temperature) * -std::expm1(-OpticalDepth(sigma[k], numberDensity, pathM));
  return step * sum;
}

} // namespace zqphys
