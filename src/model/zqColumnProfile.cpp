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
#include "zqAtmosphere.h"
#include "zqColumn.h"
#include "zqINI_File.h"
#include "zqPhysicalConstants.h"
#include "zqRadiativeTransfer.h"
#include "zqSaturation.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kMinSurfaceTemperature = 150, kMaxSurfaceTemperature = 350; // K
constexpr int kMaxLayers = 500;
constexpr double kMaxTopAltitude = 100; // km
constexpr int kMaxAngleNodes = 64;
// Grid points times layers the cross-section cache may hold (two gases as floats: 1.2 GB).
constexpr double kMaxCachePoints = 1.5e8;
// Gauss-Legendre nodes per smooth piece of a layer for its means.
constexpr int kMeanNodes = 8;

bool finite_all(std::initializer_list<double> values) {
  return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

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

// Molecules of air per cm2 above a pressure difference of dp mb: dp / (g m_air).
double air_column(double dp) {
  const long double massPerMolecule = zqconst::AirMolarMass * 1e-3L / zqconst::Avogadro; // kg
  return static_cast<double>(dp * 100 / (zqconst::StandardGravity * massPerMolecule) * 1e-4L);
}

} // namespace

std::string CheckColumnSettings(const TzqColumnSettings& s) {
  if (!finite_all({s.SurfaceTemperature, s.RelativeHumidity, s.CO2, s.CO2Factor, s.StratosphericH2O,
                   s.WavenumberMin, s.WavenumberMax, s.Step, s.TopAltitude}))
    return "Column settings must be numbers";
  if (s.Layers < 1 || s.Layers > kMaxLayers) return "Number of layers must be 1 to 500";
  if (!(s.TopAltitude > 0) || s.TopAltitude > kMaxTopAltitude)
    return "Top altitude must be above 0 and at most 100 km";
  if (s.SurfaceTemperature < kMinSurfaceTemperature || s.SurfaceTemperature > kMaxSurfaceTemperature)
    return "Surface temperature must be 150 to 350 K";
  if (s.RelativeHumidity < 0 || s.RelativeHumidity > 100) return "Relative humidity must be 0 to 100 %";
  if (s.CO2 < 0 || s.CO2 > 1e6) return "CO2 must be 0 to 1000000 ppm";
  if (s.CO2Factor < 0) return "CO2 multiple must be 0 or more";
  if (s.CO2 * s.CO2Factor > 1e6)
    return "CO2 " + zqFloatToText(s.CO2, ".") + " ppm times its multiple " + zqFloatToText(s.CO2Factor, ".") +
           " is above 1000000 ppm";
  if (s.StratosphericH2O < 0 || s.StratosphericH2O > 1e6)
    return "Stratospheric water must be 0 to 1000000 ppm";
  if (s.WavenumberMin < 0) return "Wavenumber minimum must not be negative";
  if (!(s.WavenumberMax > s.WavenumberMin)) return "Wavenumber maximum must be above the minimum";
  if (!(s.Step > 0)) return "Grid step must be above 0 cm-1";
  if (std::ceil((s.WavenumberMax - s.WavenumberMin) / s.Step) * s.Layers > kMaxCachePoints)
    return "Grid step too fine for this band and number of layers: the layer cross-sections would not fit "
           "in memory";
  if (s.AngleNodes < 1 || s.AngleNodes > kMaxAngleNodes) return "Angle nodes must be 1 to 64";
  return {};
}

double ColumnTemperatureAt(const TzqColumnSettings& settings, double p) {
  Profile profile(settings);
  return profile.TemperatureAt(p);
}

TzqColumnProfile BuildColumnProfile(const TzqColumnSettings& s) {
  TzqColumnProfile out;
  out.Refusal = CheckColumnSettings(s);
  if (!out.Refusal.empty()) return out;
  Profile profile(s);
  const int n = s.Layers;
  const double ps = profile.SurfacePressure();
  const double pt = profile.TopPressure(s.TopAltitude);

  out.LevelPressure.resize(static_cast<std::size_t>(n) + 1);
  out.LevelTemperature.resize(out.LevelPressure.size());
  for (int i = 0; i <= n; ++i) {
    const double p = i == 0 ? ps : i == n ? pt : ps * std::pow(pt / ps, static_cast<double>(i) / n);
    out.LevelPressure[static_cast<std::size_t>(i)] = p;
    out.LevelTemperature[static_cast<std::size_t>(i)] = profile.TemperatureAt(p);
  }
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
  const double pTropopause = out.LevelPressure[static_cast<std::size_t>(out.TropopauseLevel)];
  auto humid = [rh](double p, double t) {
    return static_cast<double>(rh * SaturationVapourPressure(t) / p * 1e6);
  };
  const double stratospheric =
      std::min(s.StratosphericH2O,
               humid(pTropopause, out.LevelTemperature[static_cast<std::size_t>(out.TropopauseLevel)]));

  const zqrt::Quadrature gauss = zqrt::GaussLegendre01(kMeanNodes);
  out.Layers.resize(static_cast<std::size_t>(n));
  for (int k = 0; k < n; ++k) {
    const double pBottom = out.LevelPressure[static_cast<std::size_t>(k)];
    const double pTop = out.LevelPressure[static_cast<std::size_t>(k) + 1];
    const bool belowTropopause = k < out.TropopauseLevel;
    // integral T dp and integral q dp, piece by piece between kinks, Gauss-Legendre in ln p (dp = p dln p).
    std::vector<double> edges{pTop};
    for (double kink : profile.Kinks(pTop, pBottom))
      edges.push_back(kink);
    edges.push_back(pBottom);
    double sumT = 0, sumQ = 0, sumW = 0;
    for (std::size_t e = 0; e + 1 < edges.size(); ++e) {
      const double lo = std::log(edges[e]), hi = std::log(edges[e + 1]);
      for (std::size_t g = 0; g < gauss.Nodes.size(); ++g) {
        const double p = std::exp(lo + (hi - lo) * gauss.Nodes[g]);
        const double w = gauss.Weights[g] * (hi - lo) * p;
        const double t = profile.TemperatureAt(p);
        sumT += w * t;
        if (belowTropopause) sumQ += w * humid(p, t);
        sumW += w;
      }
    }
    TzqColumnLayer& layer = out.Layers[static_cast<std::size_t>(k)];
    layer.Pressure = (pBottom + pTop) / 2;
    layer.Temperature = s.Isothermal ? s.SurfaceTemperature : sumT / sumW;
    layer.H2O = belowTropopause ? sumQ / sumW : stratospheric;
    layer.CO2 = s.CO2;
    layer.AirColumn = air_column(pBottom - pTop);
  }
  return out;
}
