// Shared physics of the demonstration lists: the reference temperature, the line-intensity and
// Einstein-A formulas in HITRAN units, and the squared transition moment that a band strength implies.
#pragma once

#include <cmath>
#include <span>

namespace zqdemo {

constexpr double kReferenceTemperature = 296.0;        // K, HITRAN's
constexpr double kSecondRadiationConstant = 1.4387769; // c2 = hc/k, cm K
// 8 pi^3 / (3 h c) with the dipole in debye (1e-18 esu cm): S in cm-1/(molecule cm-2) from nu in cm-1.
constexpr double kIntensityConstant = 4.162349e-19;
// 64 pi^4 / (3 h) with the dipole in debye: A in s-1 from nu in cm-1.
constexpr double kEinsteinConstant = 3.136189e-7;
// Intensities below this are left out of the lists (HITRAN itself goes lower, the plots do not need it).
constexpr double kIntensityCutoff = 1e-27;

inline double Boltzmann(double energy) {
  return std::exp(-kSecondRadiationConstant * energy / kReferenceTemperature);
}

inline double StimulatedEmissionFactor(double wavenumber) {
  return 1.0 - std::exp(-kSecondRadiationConstant * wavenumber / kReferenceTemperature);
}

// Intensity at 296 K of one line: transition moment squared momentSquared (debye^2), line-strength
// factor lineStrength (summing to 2J''+1 over the upper levels of a lower level), lower level of
// energy lowerEnergy and nuclear-spin weight spinWeight, partition function Q.
inline double LineIntensity(double wavenumber, double lowerEnergy, double spinWeight, double Q,
                            double momentSquared, double lineStrength, double abundance) {
  return kIntensityConstant * abundance * wavenumber * spinWeight * Boltzmann(lowerEnergy) *
         StimulatedEmissionFactor(wavenumber) / Q * momentSquared * lineStrength;
}

inline double EinsteinA(double wavenumber, double momentSquared, double lineStrength, int upperJ) {
  return kEinsteinConstant * wavenumber * wavenumber * wavenumber * momentSquared * lineStrength /
         (2.0 * upperJ + 1.0);
}

// Harmonic vibrational partition function of the given fundamentals (cm-1, a degenerate mode listed
// once per component).
inline double HarmonicVibrationalPartition(std::span<const double> modes) {
  double q = 1.0;
  for (double mode : modes)
    q /= 1.0 - Boltzmann(mode);
  return q;
}

// Transition moment squared (debye^2) of a band of origin nu0 whose strength at 296 K is
// bandStrength, when the fraction lowerFraction of the molecules is in its lower vibrational state.
inline double MomentSquaredFromBandStrength(double bandStrength, double nu0, double lowerFraction,
                                            double abundance) {
  return bandStrength /
         (kIntensityConstant * abundance * nu0 * StimulatedEmissionFactor(nu0) * lowerFraction);
}

} // namespace zqdemo
