// Planck's law in one place: the blackbody spectral radiance and exitance per wavenumber with the exact
// SI constants, their band integral, and the classic model's form, which carries its own constant pair.
// The classic formulas, the HITRAN line physics, the atmosphere column and the plots all call these.
#pragma once

#include <cmath>

namespace zqplanck {

// Spectral radiance (W m-2 sr-1 per cm-1) at wavenumber nu (cm-1) and temperature T (K):
//   B(nu, T) = 2 h c^2 (100 nu)^3 * 100 / (exp(100 h c nu / (k T)) - 1)
// (Planck 1901; h, c, k the exact SI 2019 values). 0 when nu <= 0 or T <= 0.
double Radiance(double nu, double temperature);

// Hemispherical spectral exitance (W m-2 per cm-1): M(nu, T) = pi B(nu, T). Its integral over all
// wavenumbers is sigma T^4.
double Exitance(double nu, double temperature);

// Exitance of the band [nu1, nu2] cm-1 (W m-2), pi times the integral of Radiance, from the analytic
// series of int x^3 / (e^x - 1) dx: exact to rounding, independent of any grid. 0 for an empty band
// or T <= 0; the part of a band below 0 cm-1 adds nothing.
double BandExitance(double nu1, double nu2, double temperature);

// Brightness temperature (K) of a hemispherical spectral flux F (W m-2 per cm-1) at nu (cm-1): the T
// with pi B(nu, T) = F, the inverse of Exitance. 0 when F <= 0 or nu <= 0.
double BrightnessTemperature(double nu, double flux);

// Effective temperature (K) of a band flux F (W m-2) over [nu1, nu2] cm-1: the T whose BandExitance
// equals F (bisection to 1e-12 relative). 0 when F <= 0; NaN for an empty band.
double BandEffectiveTemperature(double nu1, double nu2, double flux);

// The classic model's Planck law c1 / (lambdaPower (exp(c2 / (lambda t)) - 1)) with the caller's
// constant pair c1 (W m2), c2 (m K), wavelength lambda (m), temperature t (K) and lambdaPower =
// lambda^n (n picks per wavelength or per wavenumber). expm1 keeps the Rayleigh-Jeans end exact where
// exp(x) - 1 would lose every digit.
inline long double ClassicLaw(long double c1, long double c2, long double lambdaPower, long double lambda,
                              long double t) {
  return c1 / (lambdaPower * std::expm1(c2 / (lambda * t)));
}

} // namespace zqplanck
