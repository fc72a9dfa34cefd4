#include "zqColumnSettings.h"

#include "zqINI_File.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace {

constexpr double kMinSurfaceTemperature = 150, kMaxSurfaceTemperature = 350; // K
constexpr int kMaxLayers = 500;
constexpr double kMaxTopAltitude = 100; // km
constexpr int kMaxAngleNodes = 64;
constexpr double kMaxH2OScale = 10;
constexpr double kMaxOffset = 50; // K
// Grid points times layers the cross-section cache may hold (two gases as floats: 1.2 GB).
constexpr double kMaxCachePoints = 1.5e8;

bool finite_all(std::initializer_list<double> values) {
  return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

std::string number(double v) {
  return zqFloatToText(v, ".");
}

std::string check_states(const TzqColumnSettings& s) {
  for (const TzqColumnState& state : s.MoreStates) {
    if (!(std::fabs(state.TemperatureOffset) <= kMaxOffset)) return "Warming must be -50 to 50 K";
    for (const TzqColumnGasInfo& gas : ColumnGases()) {
      const double f = state.GasFactor[gas.Gas];
      if (!std::isfinite(f) || f < 0) return std::string(gas.Name) + " multiple must be 0 or more";
      if (gas.Gas == TzqColumnGas::CO2 && s.CO2 * f > 1e6)
        return "CO2 " + number(s.CO2) + " ppm times its multiple " + number(f) + " is above 1000000 ppm";
    }
  }
  return {};
}

std::string check_view(const TzqColumnSettings& s) {
  if (s.ObserverAltitude && !(std::isfinite(*s.ObserverAltitude) && *s.ObserverAltitude >= 0 &&
                              *s.ObserverAltitude <= s.TopAltitude))
    return "Observer altitude must be 0 to the top altitude (" + number(s.TopAltitude) + " km)";
  for (const TzqBand& b : s.HeatingBands)
    if (!finite_all({b.Min, b.Max}) || b.Min < 0 || !(b.Max > b.Min))
      return "Heating-rate band " + number(b.Min) + "-" + number(b.Max) +
             " cm-1: its end must lie above its start, both 0 or more";
  return {};
}

} // namespace

std::string CheckColumnSettings(const TzqColumnSettings& s) {
  if (!finite_all({s.SurfaceTemperature, s.RelativeHumidity, s.CO2, s.CO2Factor, s.StratosphericH2O,
                   s.WavenumberMin, s.WavenumberMax, s.Step, s.TopAltitude, s.H2OScale}))
    return "Column settings must be numbers";
  if (s.Layers < 1 || s.Layers > kMaxLayers) return "Number of layers must be 1 to 500";
  if (!(s.TopAltitude > 0) || s.TopAltitude > kMaxTopAltitude)
    return "Top altitude must be above 0 and at most 100 km";
  if (s.SurfaceTemperature < kMinSurfaceTemperature || s.SurfaceTemperature > kMaxSurfaceTemperature)
    return "Surface temperature must be 150 to 350 K";
  if (s.RelativeHumidity < 0 || s.RelativeHumidity > 100) return "Relative humidity must be 0 to 100 %";
  if (s.CO2 < 0 || s.CO2 > 1e6) return "CO2 must be 0 to 1000000 ppm";
  if (s.CO2Factor < 0) return "CO2 multiple must be 0 or more";
  for (const TzqColumnGasInfo& gas : ColumnGases())
    if (const double f = s.GasFactors[gas.Gas]; gas.Gas != TzqColumnGas::CO2 && !(std::isfinite(f) && f >= 0))
      return std::string(gas.Name) + " multiple must be 0 or more";
  if (s.CO2 * s.CO2Factor > 1e6)
    return "CO2 " + number(s.CO2) + " ppm times its multiple " + number(s.CO2Factor) +
           " is above 1000000 ppm";
  if (s.StratosphericH2O < 0 || s.StratosphericH2O > 1e6)
    return "Stratospheric water must be 0 to 1000000 ppm";
  if (s.H2OScale < 0 || s.H2OScale > kMaxH2OScale) return "Water-vapour factor must be 0 to 10";
  if (!(std::fabs(s.Offset) <= kMaxOffset)) return "Warming must be -50 to 50 K";
  if (s.Atmosphere.empty()) return "Choose an atmosphere";
  if (s.WavenumberMin < 0) return "Wavenumber minimum must not be negative";
  if (!(s.WavenumberMax > s.WavenumberMin)) return "Wavenumber maximum must be above the minimum";
  if (!(s.Step > 0)) return "Grid step must be above 0 cm-1";
  if (std::ceil((s.WavenumberMax - s.WavenumberMin) / s.Step) * s.Layers > kMaxCachePoints)
    return "Grid step too fine for this band and number of layers: the layer cross-sections would not fit "
           "in memory";
  if (s.AngleNodes < 1 || s.AngleNodes > kMaxAngleNodes) return "Angle nodes must be 1 to 64";
  if (std::string why = check_states(s); !why.empty()) return why;
  return check_view(s);
}

bool IsStandardAtmosphere(const TzqColumnSettings& s) {
  return s.Atmosphere == "standard";
}

std::vector<TzqColumnState> ColumnStates(const TzqColumnSettings& s) {
  std::vector<TzqColumnState> states(2);
  states[1].GasFactor = ChangedFactors(s);
  states[1].TemperatureOffset = s.Offset;
  states[1].Hold = s.Hold;
  states.insert(states.end(), s.MoreStates.begin(), s.MoreStates.end());
  return states;
}

TzqPerGas<double> ChangedFactors(const TzqColumnSettings& s) {
  TzqPerGas<double> f = s.GasFactors;
  f[TzqColumnGas::CO2] = s.CO2Factor;
  return f;
}

std::vector<TzqColumnGas> ChangedGases(const TzqColumnSettings& s) {
  std::vector<TzqColumnGas> out;
  const TzqPerGas<double> f = ChangedFactors(s);
  for (const TzqColumnGasInfo& gas : ColumnGases())
    if (f[gas.Gas] != 1) out.push_back(gas.Gas);
  return out;
}

std::vector<TzqColumnState> OneGasStates(const TzqColumnSettings& s) {
  const std::vector<TzqColumnGas> changed = ChangedGases(s);
  if (changed.size() < 2) return {};
  const TzqPerGas<double> f = ChangedFactors(s);
  std::vector<TzqColumnState> out;
  for (TzqColumnGas gas : changed) {
    TzqColumnState state;
    state.GasFactor[gas] = f[gas];
    out.push_back(state);
  }
  return out;
}

std::vector<TzqBand> DefaultHeatingBands() {
  return {{0, 550}, {550, 800}, {800, 1250}, {1250, 2500}};
}

const std::vector<TzqBand>& HeatingBandsOf(const TzqColumnSettings& s) {
  static const std::vector<TzqBand> defaults = DefaultHeatingBands();
  return s.HeatingBands.empty() ? defaults : s.HeatingBands;
}

TzqColumnGrid ColumnGrid(const TzqColumnSettings& s) {
  TzqColumnGrid g;
  const double width = s.WavenumberMax - s.WavenumberMin;
  g.Points = static_cast<std::size_t>(std::max(1.0, std::ceil(width / s.Step * (1 - 1e-12))));
  g.Min = s.WavenumberMin;
  g.Step = width / static_cast<double>(g.Points);
  return g;
}
