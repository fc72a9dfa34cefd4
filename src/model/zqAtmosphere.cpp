// Layer table and barometric formula of the standard atmosphere.
#include "zqAtmosphere.h"

#include "zqPhysicalConstants.h"

#include <cmath>
#include <limits>

namespace {

struct LayerStart {
  double altitude;  // km
  double lapseRate; // K/km
};
constexpr LayerStart kLayerStarts[] = {{0, -6.5}, {11, 0},    {20, 1},  {32, 2.8},
                                       {47, 0},   {51, -2.8}, {71, -2}, {84.852, 0}};

// Pressure at temperature t after rising d km from (t0, p0) with lapse rate l; isothermal when l = 0.
long double barometric(long double p0, long double t0, long double t, long double l, long double d) {
  if (l == 0) return p0 * std::exp(-T_zq_Atmosphere::HydrostaticConstant * d / t);
  return p0 * std::exp(std::log(t0 / t) * T_zq_Atmosphere::HydrostaticConstant / l);
}

} // namespace

T_zq_Atmosphere::T_zq_Atmosphere() {
  long double t0 = zqconst::ClassicSeaLevelTemperature, p0 = zqconst::ClassicAtmosphere, lapse = 0, h0 = 0;
  for (const LayerStart& s : kLayerStarts) {
    const long double d = s.altitude - h0;
    const long double t = lapse * d + t0; // the layer below, extended to this base
    const long double p = barometric(p0, t0, t, lapse, d);
    Layers.push_back({s.altitude, s.lapseRate, static_cast<double>(t), static_cast<double>(p)});
    t0 = t;
    lapse = s.lapseRate;
    p0 = p;
    h0 = s.altitude;
  }
}

long double T_zq_Atmosphere::PressureAt(long double h) {
  reason_.clear();
  const TAtmosphereLayer* layer = &Layers.front();
  for (const TAtmosphereLayer& l : Layers)
    if (l.BaseAltitude < h) layer = &l;
  const auto refuse = [this](const char* why) {
    reason_ = why;
    LastPressure = 0;
    LastTemperature = 0;
    return 0.0L;
  };
  if (!std::isfinite(h)) return refuse("Altitude is not a number");
  const double d = static_cast<double>(h - layer->BaseAltitude);
  const long double t = layer->LapseRate * static_cast<long double>(d) + layer->BaseTemperature;
  if (!(t > 0)) return refuse("Altitude out of range: the temperature there would be 0 K or below");
  const long double p = barometric(layer->BasePressure, layer->BaseTemperature, t, layer->LapseRate, d);
  if (!(p <= std::numeric_limits<double>::max())) return refuse("Altitude out of range: pressure too large");
  LastTemperature = t;
  LastPressure = p;
  return p;
}

long double T_zq_Atmosphere::AltitudeAt(long double p) {
  constexpr long double kLow = -40, kHigh = 300; // km: the range the inverse searches
  long double lo = kLow, hi = kHigh;
  const long double pLow = PressureAt(lo), pHigh = PressureAt(hi);
  if (!(p <= pLow && p >= pHigh)) {
    reason_ = "Pressure out of range: outside the standard atmosphere from -40 to 300 km";
    LastPressure = 0;
    LastTemperature = 0;
    return 0;
  }
  // Newton on ln p, whose slope is -HydrostaticConstant / T (exact within an isothermal layer), kept
  // inside a shrinking bracket; a step that leaves the bracket bisects instead.
  const long double target = std::log(p);
  long double z = 0;
  for (int i = 0; i < 200; ++i) {
    const long double f = std::log(PressureAt(z)) - target;
    if (f == 0) break;
    (f > 0 ? lo : hi) = z;
    long double next = z + f * LastTemperature / HydrostaticConstant;
    if (!(next > lo && next < hi)) next = (lo + hi) / 2;
    if (std::fabs(next - z) <= 1e-15L * (1 + std::fabs(z))) {
      z = next;
      break;
    }
    z = next;
  }
  PressureAt(z);
  return z;
}
