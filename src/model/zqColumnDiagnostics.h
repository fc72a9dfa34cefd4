// What the column's fluxes say: integrals over the grid and over bands, the observer's level and
// spectrum, brightness temperatures, heating rates per layer (total and per band) and the emission
// height. Each a function of the solved fluxes alone, so a new observer or band needs no new transfer.
#pragma once

#include "zqColumnSolver.h"

#include <optional>
#include <span>
#include <vector>

// Midpoint-rule integral of a spectrum over the grid (W m-2 from W m-2 per cm-1), summed in grid order
// in extended precision so that it does not depend on how the work was split.
double GridIntegral(std::span<const double> spectrum, double step);
double GridIntegral(std::span<const float> spectrum, double step);
// The same over the grid points whose midpoints lie in [band.Min, band.Max).
double BandIntegral(std::span<const float> spectrum, const TzqColumnGrid& grid, const TzqBand& band);
double BandIntegral(std::span<const double> spectrum, const TzqColumnGrid& grid, const TzqBand& band);

// The level nearest (in altitude) to the observer's altitude (km); the top when none is given.
int ObserverLevel(const TzqColumnProfile& profile, std::optional<double> altitude);

// Heating rate (K/day) of a layer between pressures pBottom and pTop (mb) whose net upward flux (W/m2)
// is netBottom at its base and netTop at its top: the flux it absorbs over its heat capacity,
//   dT/dt = g (F_bottom - F_top) / (c_p (p_bottom - p_top)) x 86400 s/day
// (e.g. Petty 2006, eq. 10.53), with g the standard gravity and c_p that of dry air.
double HeatingRate(double netBottom, double netTop, double pBottom, double pTop);
// Heating rate of every layer from the net upward flux at every level.
std::vector<double> HeatingRates(const std::vector<double>& levelNet,
                                 const std::vector<double>& levelPressure);

// The altitude (km) whose temperature equals t, searched upwards from the ground, linear between
// levels; NaN when no level of the column is that cold.
double EmissionHeight(const TzqColumnProfile& profile, double t);

struct TzqStateDiagnostics {
  std::vector<double> LevelUp, LevelDown;       // W/m2 at every level
  std::vector<double> Heating;                  // K/day per layer
  std::vector<std::vector<double>> BandHeating; // K/day, [band][layer]
  std::vector<double> Observed;                 // W m-2 per cm-1: the observed spectrum
  std::vector<double> BrightnessTemperature;    // K at every grid point of the observed spectrum
  double ObservedFlux = 0;                      // W/m2
  double EffectiveTemperature = 0;              // K, of the observed flux over the column's band
  double EmissionHeight = 0;                    // km, of the upward flux at the top; NaN when none
  double SurfaceEmission = 0;                   // W/m2, the ground's blackbody over the band
};

// The observed spectrum of a state: the upward flux through the observer's level looking down, the
// downward flux looking up.
std::vector<double> ObservedSpectrum(const TzqSpectralFluxes& fluxes, int level, TzqLook look);

TzqStateDiagnostics DiagnoseState(const TzqColumnProfile& profile, const TzqColumnGrid& grid,
                                  const TzqSpectralFluxes& fluxes, int observerLevel, TzqLook look,
                                  const std::vector<TzqBand>& bands);
