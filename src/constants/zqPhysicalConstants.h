// Every physical constant of the program, in one place, each with its unit and where it comes from.
// Two families live here on purpose: the classic teaching model's own values (kept exactly, digits and
// all, because its documented results depend on them) and the exact SI / HITRAN values of the HITRAN
// line-physics mode. Code takes a constant from here, never writes the digits again.
#pragma once

#include <numbers>

namespace zqconst {

// ---- Classic teaching model (documented conventions; do not "correct" them)

// Celsius offset of the whole classic program: 273, not 273.15 (K).
inline constexpr double KelvinOffset = 273.0;
// One atmosphere as the classic model writes it (mb).
inline constexpr double ClassicAtmosphere = 1013.0;
// Stefan-Boltzmann constant as the classic power fields use it (W m-2 K-4).
inline constexpr long double ClassicStefanBoltzmann = 5.67e-8L;
// First and second radiation constants of the classic Planck table: c1 = 2 pi h c^2 (W m2) and
// c2 = h c / k (m K), with the digits the blackbody curves were built on.
inline constexpr long double ClassicPlanckC1 = 3.741771e-16L;
inline constexpr long double ClassicPlanckC2 = 0.01438775L;
// Boltzmann constant in wavenumber units, k / (h c) (cm-1 K-1), as the classic intensity adjustment uses.
inline constexpr long double ClassicBoltzmannWavenumber = 0.69503563L;
// Classic Doppler width factor: width = nu * factor * sqrt(T / M) (cm-1 with nu in cm-1, T in K, M in u).
inline constexpr long double ClassicDopplerFactor = 4.298e-5L;
// The second Planck pair, with which the classic absorbed-power integral weights the spectrum:
// c1 = 2 pi h c^2 (W m2) and c2 = h c / k (m K), to fewer digits than the curves' pair above.
inline constexpr long double ClassicPowerPlanckC1 = 3.74183e-16L;
inline constexpr long double ClassicPowerPlanckC2 = 0.014388L;
// Boiling point of water at one atmosphere (K), the reference of the classic saturation pressure fit.
inline constexpr long double SteamPoint = 373.15L;
// Sea-level temperature of the classic standard atmosphere (K).
inline constexpr double ClassicSeaLevelTemperature = 288.0;
// Classic column density: molecules/cm2 per m of path per ppm at 1013 mb and 288 K.
inline constexpr double ClassicColumnDensity = 2.5294256e15;
// Temperature at which the classic column density is taken (K).
inline constexpr double ClassicDensityTemperature = 288.0;

// ---- Standard atmosphere (U.S. Standard Atmosphere 1976, whose hydrostatic constant g M / R the
// program's atmosphere model uses; long double so that constant keeps its exact bits)

// Standard acceleration of gravity (m s-2), exact by definition (3rd CGPM, 1901).
inline constexpr long double StandardGravity = 9.80665L;
// Mean molar mass of dry air (g/mol), U.S. Standard Atmosphere 1976.
inline constexpr long double AirMolarMass = 28.9644L;
// Universal gas constant as the U.S. Standard Atmosphere 1976 gives it (J mol-1 K-1); not CODATA's.
inline constexpr long double AtmosphereGasConstant = 8.31432L;
// Specific heat of dry air at constant pressure (J kg-1 K-1), the value of radiative heating-rate
// studies (e.g. Petty, A First Course in Atmospheric Radiation, 2006, ch. 10).
inline constexpr double DryAirHeatCapacity = 1004;

// ---- HITRAN reference conditions

// Temperature of HITRAN's line intensities and widths (K).
inline constexpr double HitranReferenceTemperature = 296.0;
// HITRAN's reference pressure, one standard atmosphere (mb).
inline constexpr double StandardAtmosphere = 1013.25;

// Molar masses of the isotopologues the HITRAN mode knows (g/mol), as HAPI 1.3.0.0's isotopologue
// table gives them: H2(16)O "161" (HITRAN 1, 1) and (12)C(16)O2 "626" (HITRAN 2, 1).
inline constexpr double MolarMassH2O161 = 18.010565;
inline constexpr double MolarMassCO2626 = 43.98983;
// The same table for (16)O3 "666" (3, 1), (14)N2(16)O "446" (4, 1) and (12)CH4 "211" (6, 1).
inline constexpr double MolarMassO3666 = 47.984745;
inline constexpr double MolarMassN2O446 = 44.001062;
inline constexpr double MolarMassCH4211 = 16.031300;

// ---- Exact SI defining constants (SI brochure, 9th edition, 2019) and derived values

// Speed of light in vacuum (m/s).
inline constexpr double SpeedOfLight = 299792458.0;
// Planck constant (J s).
inline constexpr double Planck = 6.62607015e-34;
// Boltzmann constant (J/K).
inline constexpr double Boltzmann = 1.380649e-23;
// Avogadro constant (1/mol).
inline constexpr double Avogadro = 6.02214076e23;
// Second radiation constant h c / k in cm K, the value HITRAN's tools use (CODATA 2018: 1.438776877).
inline constexpr double SecondRadiationCm = 1.4387769;
// First radiation constant 2 pi h c^2 (W m2), from the exact SI values above.
inline constexpr double FirstRadiation = 2 * std::numbers::pi * Planck * SpeedOfLight * SpeedOfLight;
// Second radiation constant h c / k (m K), from the exact SI values above (for the exact Planck
// function; the line intensities keep HITRAN's SecondRadiationCm).
inline constexpr double SecondRadiationExact = Planck * SpeedOfLight / Boltzmann;
// Stefan-Boltzmann constant, 2 pi^5 k^4 / (15 h^3 c^2) (W m-2 K-4), CODATA 2018 (exact to the digits shown).
inline constexpr double StefanBoltzmann = 5.670374419e-8;

} // namespace zqconst
