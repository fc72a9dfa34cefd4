// The line physics of the HITRAN mode as pure named formulas, one per quantity, each with its formula
// and units: line intensity at a temperature, Lorentz and Doppler half widths, the pressure-shifted
// centre, number density, and the path quantities built on the Planck function (zqPlanck.h).
// Conventions follow HITRAN: T in K, p in mb (p_atm = p / 1013.25), mixing ratio in ppm, Tref = 296 K.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace zqphys {

// Line intensity at T (cm-1 / (molecule cm-2)):
//   S(T) = S_ref * Q(Tref)/Q(T) * exp(-c2 E''/T) / exp(-c2 E''/Tref)
//          * (1 - exp(-c2 nu/T)) / (1 - exp(-c2 nu/Tref)),   c2 = 1.4387769 cm K.
// sRef at 296 K; nu and lowerEnergy (E'') in cm-1; qRef = Q(296 K), qT = Q(T).
double LineIntensity(double sRef, double nu, double lowerEnergy, double temperature, double qRef, double qT);

// Lorentz half width at half maximum (cm-1):
//   gammaL = (Tref/T)^n_air * p_atm * (gamma_air (1 - chi) + gamma_self chi),  chi = x * 1e-6.
// Widths in cm-1/atm at 296 K, p in mb, x in ppm.
double LorentzHalfWidth(double gammaAir, double gammaSelf, double nAir, double temperature, double pressureMb,
                        double mixingRatioPpm);
// The same in two steps, for callers that reuse the temperature factor (Tref/T)^n_air of lines sharing
// an exponent: LorentzHalfWidth = LorentzHalfWidthAt(WidthTemperatureFactor(n_air, T), ...).
double WidthTemperatureFactor(double nAir, double temperature);
double LorentzHalfWidthAt(double temperatureFactor, double gammaAir, double gammaSelf, double pressureMb,
                          double mixingRatioPpm);

// Pressure shift of a line (cm-1): delta_air * p_atm (delta_air in cm-1/atm); not scaled by the air
// fraction and independent of temperature.
double PressureShift(double deltaAir, double pressureMb);
// Pressure-shifted line centre (cm-1): nu* = nu + delta_air * p_atm.
double ShiftedCentre(double nu, double deltaAir, double pressureMb);

// Doppler half width at half maximum (cm-1): gammaD = nu*/c * sqrt(2 N_A k T ln2 / M), M in kg/mol
// (molarMass given in g/mol).
double DopplerHalfWidth(double centre, double temperature, double molarMassGPerMol);
// gammaD / nu*, the same for every line of an isotopologue at T: DopplerHalfWidth = centre * this.
double DopplerWidthFactor(double temperature, double molarMassGPerMol);

// Number density of the gas (molecules/cm3): n = x * 1e-6 * p / (k T), p in Pa (= 100 mb).
double NumberDensity(double mixingRatioPpm, double pressureMb, double temperature);

// Unit-area profiles at distance d = x - nu* from the shifted centre (cm), all in 1/cm-1:
//   Lorentz L(d) = gammaL / (pi (d^2 + gammaL^2))
//   Gauss   G(d) = sqrt(ln2/pi)/gammaD * exp(-ln2 d^2/gammaD^2)
//   Voigt   V(d) = sqrt(ln2/pi)/gammaD * Re w(z), z = sqrt(ln2) (d + i gammaL)/gammaD
// (scalar forms; the spectrum uses the vector kernels of zqFaddeeva.h, which compute the same).
double LorentzProfile(double d, double gammaL);
double GaussProfile(double d, double gammaD);
double VoigtProfile(double d, double gammaL, double gammaD);

// The share of a unit-area profile's area between the distances a < b (cm-1) from its centre, the
// integrals of the profiles above (0 unless a < b):
//   Lorentz (atan(b/gammaL) - atan(a/gammaL)) / pi
//   Gauss   (erf(sqrt(ln2) b/gammaD) - erf(sqrt(ln2) a/gammaD)) / 2
//   Voigt   integral of Re w(x + iy) dx from c a to c b, over sqrt(pi); c = sqrt(ln2)/gammaD, y = c gammaL
//           (zqvoigt::ReWIntegral)
// Each keeps its relative precision in the far wings (one arctangent of the difference; erfc there).
double LorentzProfileShare(double a, double b, double gammaL);
double GaussProfileShare(double a, double b, double gammaD);
double VoigtProfileShare(double a, double b, double gammaL, double gammaD);

// The share of a unit-area profile's area below the distance d (cm-1) from its centre (0 .. 1), whose
// differences give the shares of a run of cells near a line with one evaluation per edge (they keep no
// relative precision in the far wings; the shares above do):
//   Lorentz 1/2 + atan(d/gammaL) / pi
//   Gauss   (1 + erf(sqrt(ln2) d/gammaD)) / 2
double LorentzProfileCumulative(double d, double gammaL);
double GaussProfileCumulative(double d, double gammaD);

// Half width at half maximum of the Voigt profile (cm-1), Olivero and Longbothum, J. Quant. Spectrosc.
// Radiat. Transfer 17, 233 (1977), good to 0.02 %: 0.5346 gammaL + sqrt(0.2166 gammaL^2 + gammaD^2).
double VoigtHalfWidth(double gammaL, double gammaD);

// Optical depth of a path of pathM metres: tau = sigma * n * L (sigma in cm2/molecule, n in cm-3).
double OpticalDepth(double sigma, double numberDensity, double pathM);

// Path (m) in which the fraction f (0 < f < 1) of the radiation is absorbed: 1 - exp(-tau) = f, so
// L = -ln(1 - f) / (sigma n) / 100; infinite where sigma n = 0.
double PathForFraction(double sigma, double numberDensity, double fraction);

// A piece of spectrum seen through a path, from the cross-sections sigma_j (cm2/molecule) at points
// that stand for widths w_j (cm-1) of it; n in molecules/cm3, the path in m, tau_j = OpticalDepth:
//   mean transmittance  T = sum w_j exp(-tau_j) / sum w_j
//   mean absorptance    A = sum w_j (1 - exp(-tau_j)) / sum w_j (expm1: exact for thin paths)
//   effective depth     -ln T, which is sigma n L for a single point (taken about the smallest tau_j,
//                       so it stays finite where T itself underflows)
// A piece that holds lines narrower than itself absorbs its A, not 1 - exp(-mean tau): averaging the
// cross-section first would spread a saturated line's absorption over the piece.
double MeanTransmittance(std::span<const double> sigma, std::span<const double> width, double numberDensity,
                         double pathM);
double MeanAbsorptance(std::span<const double> sigma, std::span<const double> width, double numberDensity,
                       double pathM);
double EffectiveOpticalDepth(std::span<const double> sigma, std::span<const double> width,
                             double numberDensity, double pathM);

// The path (m) through which a piece absorbs the fraction f (0 < f < 1) of the radiation: A(L) = f,
// i.e. -ln T(L) = -ln(1 - f). -ln T is concave in L with slope mean(sigma) n at 0, so
// PathForFraction(mean sigma) is a lower bound and Newton's method from it converges from below.
// For a single point it is PathForFraction. A path of maxPathM or more when the answer lies beyond it
// (infinite where the piece does not absorb f within maxPathM: nothing absorbs, or too little of it).
double PathForFractionOfPiece(std::span<const double> sigma, std::span<const double> width,
                              double numberDensity, double fraction, double maxPathM);

// Absorbed blackbody power of a path over a grid (W/m2): step * sum_k M(x_k, T) (1 - exp(-tau_k)),
// tau_k = sigma_k n L, M the exitance of zqPlanck.h; x and sigma hold the grid points and their
// cross-sections.
double AbsorbedBlackbodyPower(std::span<const double> x, std::span<const double> sigma, double step,
                              double numberDensity, double pathM, double temperature);

// The same over points that stand for pieces of the band of widths w_j (cm-1), as a grid made finer
// around lines (W/m2): sum_j M(x_j, T) w_j (1 - exp(-tau_j)); in two steps, the pieces' exitances
// e_j = M(x_j, T) w_j (W/m2), then sum_j e_j (1 - exp(-tau_j)) for each path.
double AbsorbedBlackbodyPowerOfPieces(std::span<const double> x, std::span<const double> width,
                                      std::span<const double> sigma, double numberDensity, double pathM,
                                      double temperature);
std::vector<double> ExitanceOfPieces(std::span<const double> x, std::span<const double> width,
                                     double temperature);
double AbsorbedPowerOfPieces(std::span<const double> exitance, std::span<const double> sigma,
                             double numberDensity, double pathM);

} // namespace zqphys
