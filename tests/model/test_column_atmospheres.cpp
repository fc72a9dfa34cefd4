// The column over every atmosphere it offers, against what must hold whatever the line data: the
// isothermal and empty limits, an observer at the top or the ground seeing the fluxes the column
// reports, heating rates that account for every watt the net flux leaves behind, brightness
// temperatures of an isothermal column, a user profile equal to a built-in one, and views that
// re-solve nothing.
#include "ColumnTestSources.h"
#include "TestSupport.h"
#include "zqAtmosphereTable.h"
#include "zqColumn.h"
#include "zqPhysicalConstants.h"
#include "zqPlanck.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

std::vector<std::string> every_atmosphere() {
  std::vector<std::string> out{"standard"};
  for (const std::string& name : BuiltInAtmosphereNames())
    out.push_back(name);
  return out;
}

// A short band around the CO2 bending band, with a weak grey water absorber outside the band centre.
TzqColumnSettings band_settings(const std::string& atmosphere) {
  TzqColumnSettings s;
  s.Atmosphere = atmosphere;
  s.WavenumberMin = 450;
  s.WavenumberMax = 850;
  s.Step = 0.25;
  s.Layers = 30;
  s.CO2 = 400;
  s.HeatingBands = {{450, 600}, {600, 700}, {700, 850}};
  return s;
}

} // namespace

TEST(ColumnAtmospheres, IsothermalAndEmptyColumnsEmitTheGroundsBlackbody) {
  columntest::BandSource band(3e-19, 1e-22);
  for (const std::string& name : every_atmosphere()) {
    TzqColumnSettings s = band_settings(name);
    s.Isothermal = true;
    TzqColumn column;
    const TzqColumnResult r = column.Compute(s, band);
    ASSERT_TRUE(r.Computed) << name << ": " << r.Refusal;
    const double t = r.Profile.SurfaceTemperature;
    EXPECT_TRUE(zqtest::RelClose(r.OLR1x, r.SurfaceEmission, 1e-6)) << name;
    EXPECT_NEAR(r.ForcingTOA, 0, 1e-6 * r.SurfaceEmission) << name;
    double worst = 0;
    for (double tb : r.Diagnostics[1].BrightnessTemperature)
      worst = std::max(worst, std::fabs(tb - t));
    EXPECT_LT(worst, 1e-9) << name << " at " << t << " K";

    // Nothing to absorb: the ground shines through and nothing comes down.
    TzqColumnSettings empty = band_settings(name);
    empty.CO2 = 0;
    empty.RelativeHumidity = 0;
    empty.H2OScale = 0;
    const TzqColumnResult e = column.Compute(empty, band);
    ASSERT_TRUE(e.Computed) << name;
    EXPECT_TRUE(zqtest::RelClose(e.OLR1x, e.SurfaceEmission, 1e-6)) << name; // the grid's midpoint rule
    EXPECT_EQ(e.SurfaceDownwelling1x, 0) << name;
  }
}

TEST(ColumnAtmospheres, ObserverFluxesAndHeatingRatesCloseTheEnergy) {
  columntest::BandSource band(3e-19, 2e-22);
  const double g = static_cast<double>(zqconst::StandardGravity);
  for (const std::string& name : every_atmosphere()) {
    TzqColumnSettings s = band_settings(name);
    TzqColumn column;
    const TzqColumnResult top = column.Compute(s, band);
    ASSERT_TRUE(top.Computed) << name << ": " << top.Refusal;
    EXPECT_EQ(top.ObserverLevel, static_cast<int>(top.Profile.Layers.size()));
    EXPECT_EQ(top.Diagnostics[0].ObservedFlux, top.OLR1x) << name;
    EXPECT_EQ(top.ObserverForcing(), top.ForcingTOA) << name;
    EXPECT_NEAR(top.ObserverAltitude, s.TopAltitude, 1e-3) << name;

    for (std::size_t state = 0; state < 2; ++state) {
      const TzqStateDiagnostics& d = top.Diagnostics[state];
      const std::size_t n = top.Profile.Layers.size();
      // The heat every layer gains adds up to the net flux that enters at the ground and not at the top.
      long double absorbed = 0;
      for (std::size_t k = 0; k < n; ++k)
        absorbed += d.Heating[k] * zqconst::DryAirHeatCapacity *
                    (top.Profile.LevelPressure[k] - top.Profile.LevelPressure[k + 1]) * 100 / (g * 86400);
      const double divergence = (d.LevelUp[0] - d.LevelDown[0]) - (d.LevelUp[n] - d.LevelDown[n]);
      EXPECT_TRUE(zqtest::RelClose(static_cast<double>(absorbed), divergence, 1e-9)) << name;
      // Bands that tile the column's band share its heating out (band sums come from the kept float
      // spectra: 1e-7 of the fluxes, which the thinnest layers see magnified in their difference).
      for (std::size_t k = 0; k < n; ++k) {
        double sum = 0;
        for (const auto& heating : d.BandHeating)
          sum += heating[k];
        EXPECT_NEAR(sum, d.Heating[k], 1e-5 * (1 + std::fabs(d.Heating[k]))) << name << " layer " << k;
      }
    }
    // The stratosphere cools in the CO2 band, more with more CO2.
    const std::size_t high = top.Profile.Layers.size() - 3;
    EXPECT_LT(top.Diagnostics[0].BandHeating[1][high], 0) << name;
    EXPECT_LT(top.Diagnostics[1].BandHeating[1][high], top.Diagnostics[0].BandHeating[1][high]) << name;

    // At the ground looking up: the downward flux; a new view re-solves and re-fetches nothing.
    s.ObserverAltitude = 0;
    s.Look = TzqLook::Up;
    s.HeatingBands.clear();
    const TzqColumnResult ground = column.Compute(s, band);
    ASSERT_TRUE(ground.Computed) << name;
    EXPECT_EQ(column.LastSolves(), 0) << name;
    EXPECT_EQ(column.LastFetches(), 0) << name;
    EXPECT_EQ(ground.ObserverLevel, 0);
    EXPECT_EQ(ground.Diagnostics[0].ObservedFlux, top.SurfaceDownwelling1x) << name;
    EXPECT_EQ(ground.Diagnostics[1].ObservedFlux, top.SurfaceDownwellingNx) << name;
    EXPECT_EQ(ground.OLR1xSpectrum, top.OLR1xSpectrum) << name;
    EXPECT_EQ(ground.Bands, DefaultHeatingBands());
    // A new CO2 multiple solves that state alone.
    s.CO2Factor = 4;
    ASSERT_TRUE(column.Compute(s, band).Computed);
    EXPECT_EQ(column.LastSolves(), 1) << name;
  }
}

TEST(ColumnAtmospheres, AProfileFileEqualToABuiltInTableGivesTheSameFluxes) {
  columntest::BandSource band(3e-19, 2e-22);
  zqtest::TempDir dir;
  const auto file = dir / "tropics.csv";
  zqtest::WriteFile(file, std::string(BuiltInAtmosphereCsv("tropical")));
  TzqColumnSettings builtin = band_settings("tropical"), user = band_settings(file.string());
  builtin.H2OScale = user.H2OScale = 0.5;
  TzqColumn a, b;
  const TzqColumnResult x = a.Compute(builtin, band), y = b.Compute(user, band);
  ASSERT_TRUE(x.Computed && y.Computed) << y.Refusal;
  EXPECT_EQ(x.OLR1xSpectrum, y.OLR1xSpectrum);
  EXPECT_EQ(x.OLRNxSpectrum, y.OLRNxSpectrum);
  EXPECT_EQ(x.ForcingTropopause, y.ForcingTropopause);
  EXPECT_EQ(x.Diagnostics[0].Heating, y.Diagnostics[0].Heating);
  EXPECT_EQ(y.Profile.Atmosphere, "tropics.csv");
  EXPECT_EQ(x.Profile.SurfaceTemperature, 299.7);

  // The water-vapour factor scales the table's water, level by level; CO2 is the user's everywhere.
  builtin.H2OScale = 1;
  const TzqColumnProfile full = BuildColumnProfile(builtin);
  for (std::size_t i = 0; i < full.LevelPressure.size(); ++i) {
    EXPECT_TRUE(zqtest::RelClose(y.Profile.LevelPpmv[TzqColumnGas::H2O][i],
                                 0.5 * full.LevelPpmv[TzqColumnGas::H2O][i], 1e-12));
    EXPECT_EQ(full.LevelPpmv[TzqColumnGas::CO2][i], 400);
  }
  // A tropical tropopause near 17 km, and a surface the user sets warms only the ground.
  EXPECT_NEAR(full.LevelAltitude[static_cast<std::size_t>(full.TropopauseLevel)], 17, 1.5);
  builtin.SurfaceFromTable = false;
  builtin.SurfaceTemperature = 310;
  const TzqColumnProfile warm = BuildColumnProfile(builtin);
  EXPECT_EQ(warm.SurfaceTemperature, 310);
  EXPECT_EQ(warm.LevelTemperature, full.LevelTemperature);
}

TEST(ColumnAtmospheres, RefusalsNameWhatIsWrong) {
  columntest::GreySource grey(0, 1e-24);
  zqtest::TempDir dir;
  const auto file = dir / "bad.csv";
  zqtest::WriteFile(file, "z_km,p_mb,T_K,h2o_ppmv\n0,1000,290,100\n1,1005,285,80\n");
  auto refusal = [&](auto change) {
    TzqColumnSettings s = band_settings("us-standard");
    change(s);
    TzqColumn column;
    return column.Compute(s, grey).Refusal;
  };
  EXPECT_NE(refusal([&](TzqColumnSettings& s) { s.Atmosphere = file.string(); }).find("line 3"),
            std::string::npos);
  EXPECT_NE(
      refusal([&](TzqColumnSettings& s) { s.Atmosphere = (dir / "none.csv").string(); }).find("none.csv"),
      std::string::npos);
  EXPECT_EQ(refusal([](TzqColumnSettings& s) { s.ObserverAltitude = 71; }),
            "Observer altitude must be 0 to the top altitude (70 km)");
  EXPECT_NE(refusal([](TzqColumnSettings& s) { s.HeatingBands = {{800, 700}}; }), "");
  EXPECT_EQ(refusal([](TzqColumnSettings& s) { s.H2OScale = -1; }), "Water-vapour factor must be 0 to 10");
  zqtest::WriteFile(file, "z_km,p_mb,T_K\n0,1000,290\n10,250,230\n");
  EXPECT_EQ(refusal([&](TzqColumnSettings& s) { s.Atmosphere = file.string(); }),
            "bad.csv reaches 10 km: choose a top altitude of at most that");
}

TEST(ColumnAtmospheres, BrightnessAndEffectiveTemperaturesInvertPlanck) {
  for (double t : {150.0, 220.0, 288.0, 330.0}) {
    for (double nu : {1.0, 100.0, 667.0, 2400.0})
      EXPECT_TRUE(zqtest::RelClose(zqplanck::BrightnessTemperature(nu, zqplanck::Exitance(nu, t)), t, 1e-12));
    EXPECT_TRUE(zqtest::RelClose(
        zqplanck::BandEffectiveTemperature(0, 2500, zqplanck::BandExitance(0, 2500, t)), t, 1e-10));
  }
  EXPECT_EQ(zqplanck::BrightnessTemperature(667, 0), 0);
}
