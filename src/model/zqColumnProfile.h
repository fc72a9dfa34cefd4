// The column's profile: levels (pressure, temperature, altitude, gas amounts) and layer means, from a
// profile provider: the program's standard atmosphere with its humidity rule, or a table of levels (a
// built-in model atmosphere or the user's profile file). Level 0 is the surface, level N the top;
// layer k lies between levels k and k + 1.
#pragma once

#include "zqColumnSettings.h"

#include <string>
#include <vector>

struct TzqColumnLayer {
  double Pressure = 0;      // mb, mass-weighted mean
  double Temperature = 0;   // K, mass-weighted mean
  TzqPerGas<double> Ppmv{}; // mass-weighted means, at the first state (1x)
  double AirColumn = 0;     // molecules of air per cm2
};

struct TzqColumnProfile {
  std::string Atmosphere;               // caption of the atmosphere the profile comes from
  std::vector<double> LevelPressure;    // mb
  std::vector<double> LevelTemperature; // K
  std::vector<double> LevelAltitude;    // km above the ground
  TzqPerGas<std::vector<double>> LevelPpmv;
  double SurfaceTemperature = 0; // K, of the ground (may differ from the lowest air level)
  std::vector<TzqColumnLayer> Layers;
  int TropopauseLevel = 0; // the first level above which temperature stops falling
  std::string Refusal;     // why no profile could be built; empty when built
  std::vector<std::string> Notes;
};

// Builds the levels, layer means and gas amounts of a column (no spectra) from the provider the
// settings name. Refuses bad settings and unreadable or unphysical profile files.
TzqColumnProfile BuildColumnProfile(const TzqColumnSettings& settings);

// The profile of a state: the ground and every level at or below the tropopause pressure (and the
// layers below it) warmed by the state's offset, the levels above as they are; under fixed RH the
// water of each warmed level and layer times e_sat(T + dT) / e_sat(T) (the program's one saturation
// formula), under fixed vapour unchanged. Gas multiples are not applied here (ColumnAmount does).
TzqColumnProfile StateProfile(const TzqColumnProfile& base, const TzqColumnState& state);

// Temperature (K) of the standard atmosphere column at pressure p (mb): the rule behind its levels.
double ColumnTemperatureAt(const TzqColumnSettings& settings, double p);

// Molecules of air per cm2 above a pressure difference of dp mb: dp / (g m_air) (hydrostatic balance).
double AirColumnOf(double dp);

// Mass-weighted mean of f over [pTop, pBottom] (mb), Gauss-Legendre in ln p (dp = p dln p) piece by
// piece between the kinks (pressures where f bends, inside the interval): integral f dp / dp.
template <class F>
double MassWeightedMean(F&& f, double pTop, double pBottom, const std::vector<double>& kinks);
// The same weighted by ln p (integral f dln p / dln p): the mean temperature the hypsometric equation
// takes.
template <class F>
double LogPressureMean(F&& f, double pTop, double pBottom, const std::vector<double>& kinks);

// The providers.
TzqColumnProfile BuildStandardProfile(const TzqColumnSettings& settings);
TzqColumnProfile BuildTableProfile(const TzqColumnSettings& settings);

// Levels evenly spaced in ln p from ps to pt (the ends exact).
std::vector<double> LogPressureLevels(double ps, double pt, int layers);
// The first level above which the temperature stops falling, starting from the first level where it
// has fallen (a surface inversion is not a tropopause); the top when it never stops.
int TropopauseLevelOf(const std::vector<double>& levelTemperature);

// Height (km) of a layer of mean temperature t (K) between pressures pBottom and pTop (mb), the
// hypsometric equation: dz = R t / (g M) ln(pBottom / pTop).
double HypsometricThickness(double t, double pBottom, double pTop);

// Gauss-Legendre nodes per smooth piece of a layer for its means.
inline constexpr int kMeanNodes = 8;

#include "zqRadiativeTransfer.h"

#include <cmath>

template <class F>
double LayerMean(F&& f, double pTop, double pBottom, const std::vector<double>& kinks, bool byMass) {
  static const zqrt::Quadrature gauss = zqrt::GaussLegendre01(kMeanNodes);
  std::vector<double> edges{pTop};
  edges.insert(edges.end(), kinks.begin(), kinks.end());
  edges.push_back(pBottom);
  double sum = 0, weights = 0;
  for (std::size_t e = 0; e + 1 < edges.size(); ++e) {
    const double lo = std::log(edges[e]), hi = std::log(edges[e + 1]);
    for (std::size_t g = 0; g < gauss.Nodes.size(); ++g) {
      const double p = std::exp(lo + (hi - lo) * gauss.Nodes[g]);
      const double w = gauss.Weights[g] * (hi - lo) * (byMass ? p : 1);
      sum += w * f(p);
      weights += w;
    }
  }
  return sum / weights;
}

template <class F>
double MassWeightedMean(F&& f, double pTop, double pBottom, const std::vector<double>& kinks) {
  return LayerMean(f, pTop, pBottom, kinks, true);
}

template <class F>
double LogPressureMean(F&& f, double pTop, double pBottom, const std::vector<double>& kinks) {
  return LayerMean(f, pTop, pBottom, kinks, false);
}
