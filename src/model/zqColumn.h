// The atmosphere column: a clear-sky column of an atmosphere (the program's standard atmosphere, a
// built-in model atmosphere or the user's profile) with its absorbing gases, line by line on a grid of
// its own, solved for a base state and any number of changed states. A computation runs in four
// steps, each in a file of its own: the profile (zqColumnProfile), the layers' optical depths from
// their sources with a cache (zqOpticalDepths), the transfer (zqColumnSolver), and what the fluxes say
// (zqColumnDiagnostics). A new state, observer or band re-solves only what it changes.
#pragma once

#include "zqColumnDiagnostics.h"

#include <memory>
#include <string>
#include <vector>

// Fluxes in W/m2, spectra in W m-2 per cm-1. "1x" is the first state, "Nx" the second (the CO2
// multiple).
struct TzqColumnResult {
  bool Computed = false;
  std::string Refusal; // why nothing was computed (bad settings, a refused source, a cancel)
  std::vector<std::string> Notes;

  std::vector<double> Wavenumber; // cm-1, the midpoints of the grid steps
  std::vector<double> OLR1xSpectrum, OLRNxSpectrum;
  double Step = 0; // cm-1, the step used
  double OLR1x = 0, OLRNx = 0;
  double ForcingTOA = 0;        // OLR1x - OLRNx
  double ForcingTropopause = 0; // net upward flux at the tropopause, 1x minus Nx
  double SurfaceDownwelling1x = 0, SurfaceDownwellingNx = 0;
  double SurfaceEmission = 0;    // blackbody exitance of the ground over the band
  double TropopausePressure = 0; // mb
  TzqColumnProfile Profile;

  // Every state, its profile (the base one warmed by its offset), its fluxes at every level and grid
  // point, and what they say.
  std::vector<TzqColumnState> States;
  std::vector<TzqColumnProfile> StateProfiles;
  std::vector<std::shared_ptr<const TzqSpectralFluxes>> Fluxes;
  std::vector<TzqStateDiagnostics> Diagnostics;
  std::vector<TzqBand> Bands; // of the band heating rates
  int ObserverLevel = 0;
  double ObserverAltitude = 0; // km, of the observer's level
  TzqLook Look = TzqLook::Down;

  // The observed spectrum of a state.
  const std::vector<double>& ObservedSpectrum(std::size_t state) const { return Diagnostics[state].Observed; }
  // Net upward flux at a level, state a minus state b: the forcing of going from a to b (W/m2).
  double ForcingAt(int level, std::size_t a = 0, std::size_t b = 1) const;
  // The forcing at the observer's level.
  double ObserverForcing() const { return ForcingAt(ObserverLevel); }
};

// A column computation with its caches: layer cross-sections and the states' solutions.
class TzqColumn {
public:
  // Every gas from its own sources.
  TzqColumnResult Compute(const TzqColumnSettings& settings, const TzqColumnSources& sources,
                          const TzqColumnProgress& progress = {});
  // Every gas from one source.
  TzqColumnResult Compute(const TzqColumnSettings& settings, TzqCrossSectionSource& source,
                          const TzqColumnProgress& progress = {});
  // Drops the cached cross-sections and solutions.
  void ClearCache();
  // Layer cross-sections fetched from a source by the last Compute (0 when all came from the cache).
  int LastFetches() const { return depths_.LastFetches(); }
  // Layer cross-sections the last Compute interpolated in temperature (SetTemperatureInterpolation).
  int LastInterpolated() const { return depths_.LastInterpolated(); }
  void SetTemperatureInterpolation(bool on) {
    depths_.SetTemperatureInterpolation(on);
    interpolate_ = on;
  }
  // States whose transfer the last Compute solved (0 when every state came from the cache).
  int LastSolves() const { return last_solves_; }

private:
  bool compute(const TzqColumnSettings& settings, const TzqColumnSources& sources,
               const TzqColumnProgress& progress, TzqColumnResult& result);
  bool solve_states(const TzqColumnSettings& settings, const TzqColumnGrid& grid,
                    const std::vector<const TzqColumnProfile*>& profiles, const std::vector<bool>& absorbs,
                    double progressFrom, const TzqColumnProgress& progress, TzqColumnResult& result);
  static void diagnose(const TzqColumnSettings& settings, const TzqColumnGrid& grid, TzqColumnResult& result);

  TzqOpticalDepths depths_;
  // The solutions of the last computation, reused for a state whose transfer inputs are the same.
  struct Solution {
    TzqColumnSettings key; // the settings that shape the transfer (no state, observer or bands)
    uint64_t generation = 0;
    std::vector<double> profile; // every number of the profile the transfer reads
    bool interpolated = false;   // made with cross-sections interpolated in temperature
    TzqColumnState state;
    std::shared_ptr<const TzqSpectralFluxes> fluxes;
  };
  std::vector<Solution> solutions_;
  int last_solves_ = 0;
  bool interpolate_ = false;
};
