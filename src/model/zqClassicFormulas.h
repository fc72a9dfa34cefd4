// The classic model's formulas, each a named pure function with its units: the temperature and pressure
// adjustment of a line, the Doppler width, the column density and the saturation vapour pressure.
// T_zq_HITRAN and T_zq_Blackbody call them; the digits come from the constants header. Planck's law
// with the classic constant pairs is zqplanck::ClassicLaw (zqPlanck.h).
#pragma once

#include "zqPhysicalConstants.h"

#include <cmath>

namespace zqclassic {

// Factors that carry a line from HITRAN's 296 K and 1013 mb to temperature t (K) and pressure p (mb):
// r the partition-function ratio ((296/t)^1.5 for a nonlinear molecule, 296/t otherwise), e the
// Boltzmann exponent per cm-1 of lower-state energy, g the width factor sqrt(296/t) p / 1013.
struct TLineAdjustment {
  long double r, e, g;
};
inline TLineAdjustment LineAdjustment(bool nonlinear, long double p, long double t) {
  const long double ref = zqconst::HitranReferenceTemperature;
  const long double ratio = ref / t;
  const long double r = nonlinear ? std::pow(ratio, 1.5L) : ratio;
  const long double e = (ref - t) / (ref * t * zqconst::ClassicBoltzmannWavenumber);
  const long double g = std::sqrt(ratio) * p / static_cast<long double>(zqconst::ClassicAtmosphere);
  return {r, e, g};
}
// Intensity S (cm-1/(molecule cm-2)) with lower-state energy E (cm-1) at the adjustment's conditions. One
// exponential per line in double precision: its rounding is far below what the spectrum keeps.
inline double AdjustedIntensity(double S, double E, const TLineAdjustment& f) {
  return S * static_cast<double>(f.r) * std::exp(-E * static_cast<double>(f.e));
}
// Air-broadened half width (cm-1) at the adjustment's conditions (exponent 0.5, the classic choice).
inline double AdjustedWidth(double airWidth, const TLineAdjustment& f) {
  return static_cast<double>(airWidth * f.g);
}

// Doppler width per cm-1 of line position at temperature t (K) for molecular mass m (u): the classic
// factor 4.298e-5 sqrt(t / m), so that sigma = nu x this.
inline long double DopplerWidthFactor(long double t, long double mass) {
  return zqconst::ClassicDopplerFactor * std::sqrt(t / mass);
}

// Absorbing molecules per cm2 per metre of path for mixing ratio ppm (ppm), pressure p (mb) and
// temperature t (K), scaled from the classic column density at 1013 mb and 288 K.
inline double ColumnDensity(double ppm, double p, double t) {
  return (ppm * zqconst::ClassicColumnDensity) * p / zqconst::ClassicAtmosphere *
         zqconst::ClassicDensityTemperature / t;
}

// Saturation vapour pressure over water (mb) at temperature t (K), the classic four-term fit about the
// steam point; 0 at or below 0 K.
inline long double SaturationVapourPressure(long double t) {
  if (!(t > 0)) return 0;
  const long double x = 1 - zqconst::SteamPoint / t;
  return static_cast<long double>(zqconst::StandardAtmosphere) *
         std::exp(x * (13.3185L - x * (1.97L - x * (0.6445L - x * 0.1299L))));
}

} // namespace zqclassic
