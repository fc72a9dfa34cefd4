// The column's set-up: levels from the standard atmosphere, evenly spaced in log-pressure; the
// temperature rule for another surface temperature; layer means; water vapour and CO2 amounts.
//
// Rules:
// - The column lives in pressure. The surface is at the standard atmosphere's 1013 mb, the top at the
//   standard pressure of the top altitude; hydrostatics makes a layer's air column dp / (g m_air)
//   whatever its temperature, so no altitude is needed beyond the top's.
// - Surface temperature Ts: the troposphere keeps the standard lapse rate (6.5 K/km) from Ts, that is
//   T = Ts (p / ps)^(lapse / (g M / R)), and the standard stratosphere and above stay as they are in
//   pressure; the temperature is the warmer of the two, so the tropopause rises for a warmer surface
//   and sinks for a colder one. This is the fixed-lapse-rate, fixed-stratosphere column of classical
//   radiative-convective studies; shifting the whole profile would warm the stratosphere with the
//   surface, which is not what a surface change does. Ts = 288 K gives the standard atmosphere.
// - Layer means weight by mass (dp): p_layer = (p_bottom + p_top) / 2, T_layer = integral T dp / dp,
//   and the water mixing ratio likewise, so a layer holds the exact amount of water the profile has
//   in it (the Curtis-Godson mean for a well-mixed gas).
// - Water: the surface relative humidity holds up to the tropopause level (where temperature stops
//   falling), with the program's saturation pressure; above it the mixing ratio is constant at the
//   stratospheric value, or the tropopause value if that is lower.
// - O3, N2O and CH4: the U.S. standard 1976 table of AFGL 1986 by pressure (ln p interpolation), so the
//   standard column has the ozone layer and the well-mixed trace gases of the teaching runs.
#include "zqColumnProfile.h"

#include "zqAtmosphere.h"
#include "zqAtmosphereTable.h"
#include "zqPhysicalConstants.h"
#include "zqSaturation.h"

#include <algorithm>
#include <cmath>

namespace {

// The temperature profile: standard atmosphere by pressure and the fixed-lapse troposphere of Ts.
class Profile {
public:
  explicit Profile(const TzqColumnSettings& s) : s_(s) {
    const TAtmosphereLayer& ground = atmosphere_.Layers[0];
    const TAtmosphereLayer& tropopause = atmosphere_.Layers[1];
    surface_pressure_ = ground.BasePressure;
    tropopause_pressure_ = tropopause.BasePressure;
    tropopause_temperature_ = tropopause.BaseTemperature;
    exponent_ = -ground.LapseRate / static_cast<double>(T_zq_Atmosphere::HydrostaticConstant);
  }

  double SurfacePressure() const { return surface_pressure_; }
  double TopPressure(double altitude) { return static_cast<double>(atmosphere_.PressureAt(altitude)); }

  double TemperatureAt(double p) {
    if (s_.Isothermal) return s_.SurfaceTemperature;
    return std::max(troposphere(p), standard_above_troposphere(p));
  }

  // Pressures in (pTop, pBottom) where the profile has a kink: the table's layer bases and the
  // meeting of the troposphere with the stratosphere.
  std::vector<double> Kinks(double pTop, double pBottom) {
    std::vector<double> out;
    if (s_.Isothermal) return out;
    for (const TAtmosphereLayer& l : atmosphere_.Layers)
      if (l.BasePressure > pTop && l.BasePressure < pBottom) out.push_back(l.BasePressure);
    // Bisection in ln p of troposphere - stratosphere, positive below the meeting.
    auto f = [this](double p) { return troposphere(p) - standard_above_troposphere(p); };
    if (f(pBottom) > 0 && f(pTop) < 0) {
      double lo = std::log(pTop), hi = std::log(pBottom);
      for (int i = 0; i < 200 && hi - lo > 1e-15 * std::fabs(hi); ++i) {
        const double mid = (lo + hi) / 2;
        (f(std::exp(mid)) > 0 ? hi : lo) = mid;
      }
      out.push_back(std::exp((lo + hi) / 2));
    }
    std::sort(out.begin(), out.end());
    return out;
  }

private:
  double troposphere(double p) const {
    return s_.SurfaceTemperature * std::pow(p / surface_pressure_, exponent_);
  }
  // The standard atmosphere above its tropopause; below it, the tropopause temperature.
  double standard_above_troposphere(double p) {
    if (p >= tropopause_pressure_) return tropopause_temperature_;
    atmosphere_.AltitudeAt(p);
    return static_cast<double>(atmosphere_.LastTemperature);
  }

  const TzqColumnSettings& s_;
  T_zq_Atmosphere atmosphere_;
  double surface_pressure_ = 0, tropopause_pressure_ = 0, tropopause_temperature_ = 0, exponent_ = 0;
};

} // namespace

double ColumnTemperatureAt(const TzqColumnSettings& settings, double p) {
  Profile profile(settings);
  return profile.TemperatureAt(p);
}

double AirColumnOf(double dp) {
  const long double massPerMolecule = zqconst::AirMolarMass * 1e-3L / zqconst::Avogadro; // kg
  return static_cast<double>(dp * 100 / (zqconst::StandardGravity * massPerMolecule) * 1e-4L);
}

double HypsometricThickness(double t, double pBottom, double pTop) {
  return t / static_cast<double>(T_zq_Atmosphere::HydrostaticConstant) * std::log(pBottom / pTop);
}

std::vector<double> LogPressureLevels(double ps, double pt, int n) {
  std::vector<double> p(static_cast<std::size_t>(n) + 1);
  for (int i = 0; i <= n; ++i)
    p[static_cast<std::size_t>(i)] = i == 0   ? ps
                                     : i == n ? pt
                                              : ps * std::pow(pt / ps, static_cast<double>(i) / n);
  return p;
}

TzqColumnProfile BuildColumnProfile(const TzqColumnSettings& s) {
  if (std::string why = CheckColumnSettings(s); !why.empty()) {
    TzqColumnProfile out;
    out.Refusal = std::move(why);
    return out;
  }
  return IsStandardAtmosphere(s) ? BuildStandardProfile(s) : BuildTableProfile(s);
}

TzqColumnProfile StateProfile(const TzqColumnProfile& base, const TzqColumnState& state) {
  const double dT = state.TemperatureOffset;
  if (dT == 0) return base;
  TzqColumnProfile out = base;
  const auto warmed = [&](double t, double ppmv) {
    return state.Hold == TzqHold::RH
               ? ppmv * static_cast<double>(SaturationVapourPressure(t + dT) / SaturationVapourPressure(t))
               : ppmv;
  };
  const auto tropopause = static_cast<std::size_t>(base.TropopauseLevel);
  out.SurfaceTemperature += dT;
  for (std::size_t i = 0; i <= tropopause && i < out.LevelTemperature.size(); ++i) {
    out.LevelPpmv[TzqColumnGas::H2O][i] =
        warmed(base.LevelTemperature[i], base.LevelPpmv[TzqColumnGas::H2O][i]);
    out.LevelTemperature[i] += dT;
  }
  for (std::size_t k = 0; k < tropopause && k < out.Layers.size(); ++k) {
    TzqColumnLayer& l = out.Layers[k];
    l.Ppmv[TzqColumnGas::H2O] = warmed(l.Temperature, l.Ppmv[TzqColumnGas::H2O]);
    l.Temperature += dT;
  }
  return out;
}

TzqColumnProfile BuildStandardProfile(const TzqColumnSettings& s) {
  TzqColumnProfile out;
  Profile profile(s);
  const int n = s.Layers;
  out.Atmosphere = "Standard atmosphere";
  out.SurfaceTemperature = s.SurfaceTemperature;
  out.LevelPressure = LogPressureLevels(profile.SurfacePressure(), profile.TopPressure(s.TopAltitude), n);
  out.LevelTemperature.resize(out.LevelPressure.size());
  for (std::size_t i = 0; i < out.LevelPressure.size(); ++i)
    out.LevelTemperature[i] = profile.TemperatureAt(out.LevelPressure[i]);
  out.TropopauseLevel = n;
  for (int i = 0; i < n; ++i)
    if (out.LevelTemperature[static_cast<std::size_t>(i) + 1] >=
        out.LevelTemperature[static_cast<std::size_t>(i)]) {
      out.TropopauseLevel = i;
      break;
    }
  if (out.LevelTemperature[0] > s.SurfaceTemperature)
    out.Notes.push_back("The surface is colder than the standard tropopause: the column has no troposphere");

  const double rh = s.RelativeHumidity / 100;
  const auto tropopause = static_cast<std::size_t>(out.TropopauseLevel);
  auto humid = [rh](double p, double t) {
    return static_cast<double>(rh * SaturationVapourPressure(t) / p * 1e6);
  };
  const double stratospheric =
      std::min(s.StratosphericH2O, humid(out.LevelPressure[tropopause], out.LevelTemperature[tropopause]));
  std::vector<double>& water = out.LevelPpmv[TzqColumnGas::H2O];
  water.resize(out.LevelPressure.size());
  for (std::size_t i = 0; i < water.size(); ++i)
    water[i] = i < tropopause ? humid(out.LevelPressure[i], out.LevelTemperature[i]) : stratospheric;
  out.LevelPpmv[TzqColumnGas::CO2].assign(out.LevelPressure.size(), s.CO2);
  // The other gases as the U.S. standard 1976 table (AFGL 1986) gives them, by its own interpolation.
  const TzqAtmosphereTable& us = *BuiltInAtmosphere("us-standard");
  const auto tabled = [&](TzqColumnGas gas, double p) {
    const int column = us.GasIndex(ColumnGasInfo(gas).Key);
    return column < 0 ? 0.0 : us.PpmvAt(column, p);
  };
  for (const TzqColumnGasInfo& gas : ColumnGases())
    if (gas.Gas != TzqColumnGas::H2O && gas.Gas != TzqColumnGas::CO2)
      for (double p : out.LevelPressure)
        out.LevelPpmv[gas.Gas].push_back(tabled(gas.Gas, p));

  out.Layers.resize(static_cast<std::size_t>(n));
  out.LevelAltitude.assign(out.LevelPressure.size(), 0.0);
  for (int k = 0; k < n; ++k) {
    const double pBottom = out.LevelPressure[static_cast<std::size_t>(k)];
    const double pTop = out.LevelPressure[static_cast<std::size_t>(k) + 1];
    const std::vector<double> kinks = profile.Kinks(pTop, pBottom);
    TzqColumnLayer& layer = out.Layers[static_cast<std::size_t>(k)];
    layer.Pressure = (pBottom + pTop) / 2;
    layer.Temperature = s.Isothermal ? s.SurfaceTemperature
                                     : MassWeightedMean([&](double p) { return profile.TemperatureAt(p); },
                                                        pTop, pBottom, kinks);
    layer.Ppmv[TzqColumnGas::H2O] =
        k < out.TropopauseLevel
            ? MassWeightedMean([&](double p) { return humid(p, profile.TemperatureAt(p)); }, pTop, pBottom,
                               kinks)
            : stratospheric;
    layer.Ppmv[TzqColumnGas::CO2] = s.CO2;
    for (const TzqColumnGasInfo& gas : ColumnGases())
      if (gas.Gas != TzqColumnGas::H2O && gas.Gas != TzqColumnGas::CO2)
        layer.Ppmv[gas.Gas] = MassWeightedMean([&](double p) { return tabled(gas.Gas, p); }, pTop, pBottom,
                                               us.PressuresWithin(pTop, pBottom));
    layer.AirColumn = AirColumnOf(pBottom - pTop);
    // Altitudes on the standard atmosphere's own (geopotential) scale, for any surface temperature.
    const double tMean = s.Isothermal ? s.SurfaceTemperature
                                      : LogPressureMean([&](double p) { return profile.TemperatureAt(p); },
                                                        pTop, pBottom, kinks);
    out.LevelAltitude[static_cast<std::size_t>(k) + 1] =
        out.LevelAltitude[static_cast<std::size_t>(k)] + HypsometricThickness(tMean, pBottom, pTop);
  }
  return out;
}
