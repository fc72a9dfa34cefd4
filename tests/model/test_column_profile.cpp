// The column's set-up: levels on the standard atmosphere, the surface-temperature rule, layer means
// against brute-force integration, water vapour by humidity and above the tropopause, air columns by
// hydrostatics, and the settings it refuses.
#include "TestSupport.h"
#include "zqAtmosphere.h"
#include "zqColumn.h"
#include "zqHITRAN.h"
#include "zqSaturation.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Mass-weighted mean of f(p) over [pTop, pBottom] by a fine trapezoid in p.
template <class F> double brute_mean(F f, double pTop, double pBottom) {
  const int n = 20000;
  long double sum = 0;
  for (int i = 0; i <= n; ++i) {
    const double p = pTop + (pBottom - pTop) * i / n;
    sum += (i == 0 || i == n ? 0.5L : 1.0L) * f(p);
  }
  return static_cast<double>(sum / n);
}

} // namespace

TEST(Atmosphere, AltitudeAtInvertsPressureAt) {
  T_zq_Atmosphere a;
  for (double h : {-10.0, 0.0, 5.0, 11.0, 15.0, 30.0, 50.0, 70.0, 84.852, 99.0}) {
    const long double p = a.PressureAt(h);
    EXPECT_NEAR(static_cast<double>(a.AltitudeAt(p)), h, 1e-9) << h;
    EXPECT_TRUE(a.Reason().empty());
  }
  EXPECT_EQ(a.AltitudeAt(1e6), 0);
  EXPECT_FALSE(a.Reason().empty());
  EXPECT_EQ(a.AltitudeAt(std::nan("")), 0);
  EXPECT_FALSE(a.Reason().empty());
}

TEST(Saturation, OneFormulaForTheHumidityControlsAndTheColumn) {
  T_zq_HITRAN list;
  for (double t : {0.0, 150.0, 216.5, 288.0, 300.5}) {
    list.SetTemperature(t);
    EXPECT_EQ(list.SaturationPressure(), SaturationVapourPressure(t)) << t;
  }
  EXPECT_NEAR(static_cast<double>(SaturationVapourPressure(288)), 16.335, 5e-4);
}

TEST(ColumnProfile, StandardColumnAt288K) {
  const TzqColumnSettings s;
  const TzqColumnProfile c = BuildColumnProfile(s);
  ASSERT_TRUE(c.Refusal.empty()) << c.Refusal;
  ASSERT_EQ(c.Layers.size(), 60u);
  T_zq_Atmosphere a;
  EXPECT_DOUBLE_EQ(c.LevelPressure.front(), 1013);
  EXPECT_DOUBLE_EQ(c.LevelPressure.back(), static_cast<double>(a.PressureAt(70)));
  // Evenly spaced in log-pressure, and each level at the standard atmosphere's temperature.
  const double ratio = c.LevelPressure[1] / c.LevelPressure[0];
  for (std::size_t i = 0; i + 1 < c.LevelPressure.size(); ++i) {
    EXPECT_NEAR(c.LevelPressure[i + 1] / c.LevelPressure[i], ratio, 1e-12);
    a.AltitudeAt(c.LevelPressure[i]);
    EXPECT_NEAR(c.LevelTemperature[i], static_cast<double>(a.LastTemperature), 1e-9) << i;
  }
  // The tropopause is the first level where temperature stops falling: the standard 216.5 K.
  const auto tp = static_cast<std::size_t>(c.TropopauseLevel);
  EXPECT_EQ(c.LevelTemperature[tp], 216.5);
  EXPECT_GT(c.LevelTemperature[tp - 1], 216.5);
  EXPECT_GT(c.LevelPressure[tp], 150);
  EXPECT_LT(c.LevelPressure[tp], 227);
  // Hydrostatics: the air columns add up to (ps - ptop) / (g m_air), 2.15e25 per cm2 per atmosphere.
  double air = 0;
  for (const TzqColumnLayer& l : c.Layers)
    air += l.AirColumn;
  EXPECT_TRUE(zqtest::RelClose(air, 2.1476e25 * (1013 - c.LevelPressure.back()) / 1013, 2e-4)) << air;
}

TEST(ColumnProfile, LayerMeansWeighByMass) {
  TzqColumnSettings s;
  s.SurfaceTemperature = 295;
  s.Layers = 7; // thick layers, several with kinks inside
  const TzqColumnProfile c = BuildColumnProfile(s);
  ASSERT_TRUE(c.Refusal.empty());
  for (std::size_t k = 0; k < c.Layers.size(); ++k) {
    const double top = c.LevelPressure[k + 1], bottom = c.LevelPressure[k];
    const auto temperature = [&](double p) { return ColumnTemperatureAt(s, p); };
    EXPECT_DOUBLE_EQ(c.Layers[k].Pressure, (top + bottom) / 2);
    EXPECT_NEAR(c.Layers[k].Temperature, brute_mean(temperature, top, bottom), 1e-5) << k;
    if (static_cast<int>(k) < c.TropopauseLevel) {
      const auto water = [&](double p) {
        return static_cast<double>(0.6 * SaturationVapourPressure(temperature(p)) / p * 1e6);
      };
      EXPECT_TRUE(zqtest::RelClose(c.Layers[k].Ppmv[TzqColumnGas::H2O], brute_mean(water, top, bottom), 1e-6))
          << k;
    }
  }
}

TEST(ColumnProfile, SurfaceTemperatureMovesTheTroposphereOnly) {
  TzqColumnSettings warm, standard;
  warm.SurfaceTemperature = 298;
  for (double p : {1013.0, 700.0, 400.0})
    EXPECT_GT(ColumnTemperatureAt(warm, p), ColumnTemperatureAt(standard, p) + 5) << p;
  EXPECT_DOUBLE_EQ(ColumnTemperatureAt(warm, 1013), 298);
  for (double p : {100.0, 10.0, 1.0, 0.1})
    EXPECT_DOUBLE_EQ(ColumnTemperatureAt(warm, p), ColumnTemperatureAt(standard, p)) << p;
  // The warmer troposphere meets the stratosphere higher up; the profile stays continuous.
  const TzqColumnProfile w = BuildColumnProfile(warm), c = BuildColumnProfile(standard);
  EXPECT_LT(w.LevelPressure[static_cast<std::size_t>(w.TropopauseLevel)],
            c.LevelPressure[static_cast<std::size_t>(c.TropopauseLevel)]);
  for (double p = 1013; p > 0.05; p *= 0.999)
    ASSERT_NEAR(ColumnTemperatureAt(warm, p), ColumnTemperatureAt(warm, p * 0.999), 0.08)
        << p; // 6.5 K/km over 8 m

  TzqColumnSettings cold = standard;
  cold.SurfaceTemperature = 200;
  const TzqColumnProfile k = BuildColumnProfile(cold);
  EXPECT_EQ(k.TropopauseLevel, 0);
  EXPECT_EQ(k.Notes.size(), 1u);

  TzqColumnSettings iso = standard;
  iso.Isothermal = true;
  iso.SurfaceTemperature = 250;
  const TzqColumnProfile i = BuildColumnProfile(iso);
  for (double t : i.LevelTemperature)
    EXPECT_EQ(t, 250);
  for (const TzqColumnLayer& l : i.Layers)
    EXPECT_EQ(l.Temperature, 250);
}

TEST(ColumnProfile, WaterAboveTheTropopauseIsConstant) {
  TzqColumnSettings s;
  TzqColumnProfile c = BuildColumnProfile(s);
  const auto tp = static_cast<std::size_t>(c.TropopauseLevel);
  for (std::size_t k = tp; k < c.Layers.size(); ++k)
    EXPECT_EQ(c.Layers[k].Ppmv[TzqColumnGas::H2O], 5);
  EXPECT_GT(c.Layers[tp - 1].Ppmv[TzqColumnGas::H2O], 5);
  EXPECT_GT(c.Layers[0].Ppmv[TzqColumnGas::H2O], 5000); // 60 % at about 284 K and 935 mb: about 9,000 ppm
  for (const TzqColumnLayer& l : c.Layers)
    EXPECT_EQ(l.Ppmv[TzqColumnGas::CO2], 350);

  // A stratospheric value above the tropopause's own takes the tropopause's.
  s.StratosphericH2O = 1e5;
  c = BuildColumnProfile(s);
  const double tropopauseValue =
      static_cast<double>(0.6 * SaturationVapourPressure(c.LevelTemperature[tp]) / c.LevelPressure[tp] * 1e6);
  EXPECT_DOUBLE_EQ(c.Layers[tp].Ppmv[TzqColumnGas::H2O], tropopauseValue);
  EXPECT_DOUBLE_EQ(c.Layers.back().Ppmv[TzqColumnGas::H2O], tropopauseValue);

  s.RelativeHumidity = 0;
  c = BuildColumnProfile(s);
  for (const TzqColumnLayer& l : c.Layers)
    EXPECT_EQ(l.Ppmv[TzqColumnGas::H2O], 0);
}

TEST(ColumnProfile, RefusesSettingsItCannotCompute) {
  const auto refusal = [](auto change) {
    TzqColumnSettings s;
    change(s);
    return BuildColumnProfile(s).Refusal;
  };
  EXPECT_EQ(refusal([](TzqColumnSettings&) {}), "");
  EXPECT_NE(refusal([](TzqColumnSettings& s) { s.Layers = 0; }), "");
  EXPECT_NE(refusal([](TzqColumnSettings& s) { s.Layers = 501; }), "");
  EXPECT_NE(refusal([](TzqColumnSettings& s) { s.TopAltitude = 0; }), "");
  EXPECT_NE(refusal([](TzqColumnSettings& s) { s.TopAltitude = -3; }), "");
  EXPECT_NE(refusal([](TzqColumnSettings& s) { s.WavenumberMax = s.WavenumberMin; }), "");
  EXPECT_NE(refusal([](TzqColumnSettings& s) { s.WavenumberMin = 800, s.WavenumberMax = 600; }), "");
  EXPECT_NE(refusal([](TzqColumnSettings& s) { s.WavenumberMin = -1; }), "");
  EXPECT_NE(refusal([](TzqColumnSettings& s) { s.RelativeHumidity = -0.1; }), "");
  EXPECT_NE(refusal([](TzqColumnSettings& s) { s.RelativeHumidity = 100.1; }), "");
  EXPECT_NE(refusal([](TzqColumnSettings& s) { s.SurfaceTemperature = std::nan(""); }), "");
  EXPECT_NE(refusal([](TzqColumnSettings& s) { s.SurfaceTemperature = 0; }), "");
  EXPECT_NE(refusal([](TzqColumnSettings& s) { s.CO2 = -1; }), "");
  EXPECT_NE(refusal([](TzqColumnSettings& s) { s.CO2Factor = -1; }), "");
  EXPECT_NE(refusal([](TzqColumnSettings& s) { s.Step = 0; }), "");
  EXPECT_NE(refusal([](TzqColumnSettings& s) { s.Step = 1e-6; }), ""); // the cache would not fit
  EXPECT_NE(refusal([](TzqColumnSettings& s) { s.AngleNodes = 0; }), "");
  EXPECT_EQ(refusal([](TzqColumnSettings& s) { s.RelativeHumidity = 100, s.Layers = 1; }), "");
}
