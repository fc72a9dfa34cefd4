// The column's computation in its steps: profile, optical depths, transfer per state (cached), then
// the diagnostics and the figures of the first two states.
#include "zqColumn.h"

#include "zqPlanck.h"

#include <exception>
#include <new>

namespace {

// The settings that shape a state's transfer, with what only chooses states or views cleared.
TzqColumnSettings transfer_key(TzqColumnSettings s) {
  s.CO2Factor = 0;
  s.Offset = 0;
  s.Hold = TzqHold::Vapour;
  s.MoreStates.clear();
  s.ObserverAltitude.reset();
  s.Look = TzqLook::Down;
  s.HeatingBands.clear();
  s.Threads = 0;
  return s;
}

std::vector<double> profile_numbers(const TzqColumnProfile& p) {
  std::vector<double> out = p.LevelTemperature;
  out.insert(out.end(), p.LevelPressure.begin(), p.LevelPressure.end());
  out.push_back(p.SurfaceTemperature);
  for (const TzqColumnLayer& l : p.Layers) {
    out.insert(out.end(), {l.Pressure, l.Temperature, l.AirColumn});
    out.insert(out.end(), l.Ppmv.Values.begin(), l.Ppmv.Values.end());
  }
  return out;
}

} // namespace

double TzqColumnResult::ForcingAt(int level, std::size_t a, std::size_t b) const {
  const auto l = static_cast<std::size_t>(level);
  const TzqStateDiagnostics &x = Diagnostics[a], &y = Diagnostics[b];
  return (x.LevelUp[l] - x.LevelDown[l]) - (y.LevelUp[l] - y.LevelDown[l]);
}

void TzqColumn::ClearCache() {
  depths_.Clear();
  solutions_.clear();
}

TzqColumnResult TzqColumn::Compute(const TzqColumnSettings& s, TzqCrossSectionSource& source,
                                   const TzqColumnProgress& progress) {
  return Compute(s, SameSourceForEveryGas(source), progress);
}

TzqColumnResult TzqColumn::Compute(const TzqColumnSettings& s, const TzqColumnSources& sources,
                                   const TzqColumnProgress& progress) {
  // Refusals, never exceptions, reach the caller: memory running out for the caches or a source that
  // throws ends the computation with its reason.
  TzqColumnResult result;
  last_solves_ = 0;
  try {
    if (compute(s, sources, progress, result)) return result;
  } catch (const std::bad_alloc&) {
    ClearCache();
    result.Refusal =
        "Not enough memory for the column: try a coarser grid step, a narrower band or fewer layers";
  } catch (const std::exception& e) {
    result.Refusal = std::string("Column computation failed: ") + e.what();
  }
  TzqColumnResult refused;
  refused.Refusal = result.Refusal.empty() ? "The column was not computed" : result.Refusal;
  refused.Profile = std::move(result.Profile);
  return refused;
}

bool TzqColumn::compute(const TzqColumnSettings& s, const TzqColumnSources& sources,
                        const TzqColumnProgress& progress, TzqColumnResult& result) {
  result.Profile = BuildColumnProfile(s);
  if (!result.Profile.Refusal.empty()) {
    result.Refusal = result.Profile.Refusal;
    return false;
  }
  result.Notes = result.Profile.Notes;
  result.States = ColumnStates(s);
  const TzqColumnGrid grid = ColumnGrid(s);
  // Each state's profile; the unwarmed ones share the base profile (and so their Planck terms).
  std::vector<const TzqColumnProfile*> profiles;
  for (const TzqColumnState& state : result.States)
    result.StateProfiles.push_back(StateProfile(result.Profile, state));
  for (std::size_t i = 0; i < result.States.size(); ++i)
    profiles.push_back(result.States[i].TemperatureOffset == 0 ? &result.Profile : &result.StateProfiles[i]);

  // Where any state has some of a gas that a source computes.
  const std::size_t layers = result.Profile.Layers.size();
  std::vector<bool> absorbs(layers * kColumnGases, false);
  TzqPerGas<bool> computed{};
  for (const TzqColumnGasInfo& gas : ColumnGases())
    for (const TzqCrossSectionSource* source : sources[gas.Gas])
      computed[gas.Gas] = computed[gas.Gas] || source->Computes(gas.Gas);
  for (std::size_t k = 0; k < layers; ++k)
    for (const TzqColumnGasInfo& gas : ColumnGases())
      for (std::size_t i = 0; computed[gas.Gas] && i < result.States.size(); ++i)
        if (ColumnAmount(profiles[i]->Layers[k], gas.Gas, result.States[i].GasFactor[gas.Gas]) != 0)
          absorbs[k * kColumnGases + static_cast<std::size_t>(gas.Gas)] = true;

  if (!depths_.Update(profiles, grid, sources, absorbs, progress, 0.7, result.Refusal)) return false;
  const double fetched = depths_.LastFetches() > 0 ? 0.7 : 0.0; // of the progress bar
  if (!solve_states(s, grid, profiles, absorbs, fetched, progress, result)) return false;
  diagnose(s, grid, result);
  result.Computed = true;
  return true;
}

bool TzqColumn::solve_states(const TzqColumnSettings& s, const TzqColumnGrid& grid,
                             const std::vector<const TzqColumnProfile*>& profiles,
                             const std::vector<bool>& absorbs, double progressFrom,
                             const TzqColumnProgress& progress, TzqColumnResult& result) {
  const TzqColumnSettings key = transfer_key(s);
  TzqSolveRequest request;
  request.Profiles = profiles;
  request.Grid = grid;
  request.AngleNodes = s.AngleNodes;
  request.Threads = s.Threads;
  request.Depths = &depths_;
  request.States = result.States;
  for (std::size_t k = 0; k < result.Profile.Layers.size(); ++k)
    for (const TzqColumnGasInfo& gas : ColumnGases())
      if (absorbs[k * kColumnGases + static_cast<std::size_t>(gas.Gas)] && depths_.Holds(k, gas.Gas))
        request.Absorbers.push_back({k, gas.Gas});
  request.ProgressFrom = progressFrom;

  // Each state from the last computation's solutions when its transfer inputs are the same.
  std::vector<std::shared_ptr<TzqSpectralFluxes>> fresh(result.States.size());
  result.Fluxes.assign(result.States.size(), nullptr);
  std::vector<std::vector<double>> numbers;
  for (const TzqColumnProfile* p : profiles)
    numbers.push_back(profile_numbers(*p));
  for (std::size_t i = 0; i < result.States.size(); ++i) {
    for (const Solution& old : solutions_)
      if (old.key == key && old.generation == depths_.Generation() && old.state == result.States[i] &&
          old.profile == numbers[i] && (interpolate_ || !old.interpolated))
        result.Fluxes[i] = old.fluxes;
    if (!result.Fluxes[i]) {
      fresh[i] = std::make_shared<TzqSpectralFluxes>();
      ++last_solves_;
    }
    request.Out.push_back(fresh[i].get());
  }
  solutions_.clear(); // frees what the new solutions replace before they are allocated
  if (!SolveColumn(request, progress, result.Refusal)) return false;
  for (std::size_t i = 0; i < result.States.size(); ++i) {
    if (fresh[i]) result.Fluxes[i] = fresh[i];
    solutions_.push_back({key, depths_.Generation(), numbers[i], depths_.Interpolated(*profiles[i]),
                          result.States[i], result.Fluxes[i]});
  }
  return true;
}

void TzqColumn::diagnose(const TzqColumnSettings& s, const TzqColumnGrid& grid, TzqColumnResult& result) {
  const TzqColumnProfile& profile = result.Profile;
  result.Bands = HeatingBandsOf(s);
  result.Look = s.Look;
  result.ObserverLevel = ObserverLevel(profile, s.ObserverAltitude);
  result.ObserverAltitude = profile.LevelAltitude[static_cast<std::size_t>(result.ObserverLevel)];
  for (const auto& fluxes : result.Fluxes)
    result.Diagnostics.push_back(
        DiagnoseState(profile, grid, *fluxes, result.ObserverLevel, s.Look, result.Bands));

  // The figures of 1x and Nx.
  const std::size_t top = profile.Layers.size(),
                    tropopause = static_cast<std::size_t>(profile.TropopauseLevel);
  result.Step = grid.Step;
  result.Wavenumber.resize(grid.Points);
  for (std::size_t j = 0; j < grid.Points; ++j)
    result.Wavenumber[j] = grid.At(j);
  result.OLR1xSpectrum = result.Fluxes[0]->TopUp;
  result.OLRNxSpectrum = result.Fluxes[1]->TopUp;
  result.OLR1x = result.Diagnostics[0].LevelUp[top];
  result.OLRNx = result.Diagnostics[1].LevelUp[top];
  result.ForcingTOA = result.OLR1x - result.OLRNx;
  result.ForcingTropopause = result.ForcingAt(static_cast<int>(tropopause));
  result.SurfaceDownwelling1x = result.Diagnostics[0].LevelDown[0];
  result.SurfaceDownwellingNx = result.Diagnostics[1].LevelDown[0];
  result.SurfaceEmission =
      zqplanck::BandExitance(s.WavenumberMin, s.WavenumberMax, profile.SurfaceTemperature);
  result.TropopausePressure = profile.LevelPressure[tropopause];
}
