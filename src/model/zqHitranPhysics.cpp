// The HITRAN-mode formulas. Each is written to stay accurate at its edges (expm1 for the stimulated-
// emission and Planck denominators, one exponential for the Boltzmann ratio) because the spectrum is
// compared with reference tools to 1e-7.
#include "zqHitranPhysics.h"

#include "zqFaddeeva.h"
#include "zqPhysicalConstants.h"
#include "zqPlanck.h"

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

double OpticalDepth(double sigma, double numberDensity, double pathM) {
  return sigma * numberDensity * (pathM * 100);
}

double PathForFraction(double sigma, double numberDensity, double fraction) {
  const double per_cm = sigma * numberDensity;
  if (!(per_cm > 0)) return std::numeric_limits<double>::infinity();
  return -std::log1p(-fraction) / per_cm / 100;
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
