#include "zqColumnDiagnostics.h"

#include "zqPhysicalConstants.h"
#include "zqPlanck.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Full-precision spectra are summed in long double in grid order: their integrals are the reported
// fluxes, the same to the bit whatever the grid's split.
double long_integral(std::span<const double> spectrum, double step) {
  long double sum = 0;
  for (double v : spectrum)
    sum += v;
  return static_cast<double>(sum * step);
}

// The kept float spectra (1e-7 already) in double over eight interleaved partial sums, which the
// processor runs side by side: the band views sum every level of every state.
double float_sum(std::span<const float> spectrum) {
  constexpr std::size_t kLanes = 8;
  double lanes[kLanes] = {};
  const std::size_t whole = spectrum.size() / kLanes * kLanes;
  for (std::size_t j = 0; j < whole; j += kLanes)
    for (std::size_t l = 0; l < kLanes; ++l)
      lanes[l] += spectrum[j + l];
  double sum = 0;
  for (std::size_t j = whole; j < spectrum.size(); ++j)
    sum += spectrum[j];
  for (double v : lanes)
    sum += v;
  return sum;
}

} // namespace

double GridIntegral(std::span<const double> spectrum, double step) {
  return long_integral(spectrum, step);
}

double GridIntegral(std::span<const float> spectrum, double step) {
  return float_sum(spectrum) * step;
}

namespace {

// The grid points whose midpoints lie in [band.Min, band.Max), integrated.
template <class T>
double band_integral(std::span<const T> spectrum, const TzqColumnGrid& grid, const TzqBand& band) {
  // The first point at or above a wavenumber, from the midpoints Min + (j + 1/2) Step.
  const auto first_at = [&](double nu) {
    const double j = std::ceil((nu - grid.Min) / grid.Step - 0.5);
    return static_cast<std::size_t>(std::clamp(j, 0.0, static_cast<double>(spectrum.size())));
  };
  const std::size_t from = first_at(band.Min), to = first_at(band.Max);
  return from < to ? GridIntegral(spectrum.subspan(from, to - from), grid.Step) : 0;
}

} // namespace

double BandIntegral(std::span<const float> spectrum, const TzqColumnGrid& grid, const TzqBand& band) {
  return band_integral(spectrum, grid, band);
}

double BandIntegral(std::span<const double> spectrum, const TzqColumnGrid& grid, const TzqBand& band) {
  return band_integral(spectrum, grid, band);
}

int ObserverLevel(const TzqColumnProfile& profile, std::optional<double> altitude) {
  const int top = static_cast<int>(profile.LevelAltitude.size()) - 1;
  if (!altitude || top < 0) return std::max(top, 0);
  int best = 0;
  for (int i = 1; i <= top; ++i)
    if (std::fabs(profile.LevelAltitude[static_cast<std::size_t>(i)] - *altitude) <
        std::fabs(profile.LevelAltitude[static_cast<std::size_t>(best)] - *altitude))
      best = i;
  return best;
}

double HeatingRate(double netBottom, double netTop, double pBottom, double pTop) {
  constexpr double kSecondsPerDay = 86400;
  const double g = static_cast<double>(zqconst::StandardGravity);
  return g * (netBottom - netTop) / (zqconst::DryAirHeatCapacity * (pBottom - pTop) * 100) * kSecondsPerDay;
}

std::vector<double> HeatingRates(const std::vector<double>& levelNet,
                                 const std::vector<double>& levelPressure) {
  std::vector<double> out;
  for (std::size_t k = 0; k + 1 < levelNet.size(); ++k)
    out.push_back(HeatingRate(levelNet[k], levelNet[k + 1], levelPressure[k], levelPressure[k + 1]));
  return out;
}

double EmissionHeight(const TzqColumnProfile& profile, double t) {
  const std::vector<double>& T = profile.LevelTemperature;
  const std::vector<double>& z = profile.LevelAltitude;
  if (!T.empty() && T[0] == t) return z[0];
  for (std::size_t i = 0; i + 1 < T.size(); ++i)
    if ((T[i] - t) * (T[i + 1] - t) <= 0 && T[i + 1] != T[i])
      return z[i] + (z[i + 1] - z[i]) * (t - T[i]) / (T[i + 1] - T[i]);
  return std::numeric_limits<double>::quiet_NaN();
}

std::vector<double> ObservedSpectrum(const TzqSpectralFluxes& fluxes, int level, TzqLook look) {
  const auto l = static_cast<std::size_t>(level);
  if (look == TzqLook::Down && l + 1 == fluxes.Up.size()) return fluxes.TopUp;
  const std::vector<float>& kept = look == TzqLook::Down ? fluxes.Up[l] : fluxes.Down[l];
  return {kept.begin(), kept.end()};
}

TzqStateDiagnostics DiagnoseState(const TzqColumnProfile& profile, const TzqColumnGrid& grid,
                                  const TzqSpectralFluxes& fluxes, int observerLevel, TzqLook look,
                                  const std::vector<TzqBand>& bands) {
  TzqStateDiagnostics d;
  const std::size_t levels = fluxes.Up.size();
  d.LevelUp = fluxes.LevelUp;
  d.LevelDown = fluxes.LevelDown;
  std::vector<double> net(levels);
  for (std::size_t l = 0; l < levels; ++l)
    net[l] = d.LevelUp[l] - d.LevelDown[l];
  d.Heating = HeatingRates(net, profile.LevelPressure);
  for (const TzqBand& band : bands) {
    for (std::size_t l = 0; l < levels; ++l)
      net[l] = BandIntegral(fluxes.Up[l], grid, band) - BandIntegral(fluxes.Down[l], grid, band);
    d.BandHeating.push_back(HeatingRates(net, profile.LevelPressure));
  }
  d.Observed = ObservedSpectrum(fluxes, observerLevel, look);
  d.BrightnessTemperature.resize(d.Observed.size());
  for (std::size_t j = 0; j < d.Observed.size(); ++j)
    d.BrightnessTemperature[j] = zqplanck::BrightnessTemperature(grid.At(j), d.Observed[j]);
  const auto observer = static_cast<std::size_t>(observerLevel);
  d.ObservedFlux = look == TzqLook::Down ? d.LevelUp[observer] : d.LevelDown[observer];
  const double bandEnd = grid.Min + static_cast<double>(grid.Points) * grid.Step;
  d.EffectiveTemperature = zqplanck::BandEffectiveTemperature(grid.Min, bandEnd, d.ObservedFlux);
  d.EmissionHeight =
      levels
          ? EmissionHeight(profile, zqplanck::BandEffectiveTemperature(grid.Min, bandEnd, d.LevelUp.back()))
          : std::numeric_limits<double>::quiet_NaN();
  return d;
}
