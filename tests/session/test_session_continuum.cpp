// The water-vapour continuum in the session: switched off (or without a table) every spectrum and
// column keeps its bits; switched on, water's Voigt cross-section is its lines under the continuum's wing
// convention plus the continuum, composed here from the model's own pieces; the "Continuum" type is the
// continuum alone; the column is that of the model's sources so composed, darker, and its balance sees
// the same sources; a damaged file is refused by name and changes nothing shown.
#include "ContinuumTestFiles.h"
#include "DemoSessionTest.h"
#include "TestSupport.h"
#include "zqColumn.h"
#include "zqContinuum.h"
#include "zqContinuumUse.h"
#include "zqCrossSection.h"
#include "zqHitranColumnSource.h"
#include "zqHitranMode.h"
#include "zqSession.h"

#include <gtest/gtest.h>

#include <limits>

using namespace zqsession;

namespace {

class ContinuumSessionTest : public DemoSessionTest {
protected:
  void SetUp() override {
    DemoSessionTest::SetUp();
    TControls& c = session.Controls;
    c.WavenumberMin = 300;
    c.WavenumberMax = 1300;
    c.Temperature = 280;
    c.Pressure = 900;
    c.Water = 12000;
    c.CO2 = 400;
    c.Physics = TLinePhysics::Hitran;
    c.SpectraType = TSpectraType::Voigt;
  }
  // A spectrum of the three gas series, refusals failing the test.
  std::vector<std::vector<double>> spectra() {
    const TzqStatus status = session.ComputeSpectra(Sink());
    EXPECT_FALSE(status.Refused()) << status.Headline();
    return {ys(TSeriesRole::Water), ys(TSeriesRole::CO2), ys(TSeriesRole::Combined)};
  }
  static TzqColumnSettings small_column() {
    TzqColumnSettings s;
    s.CO2 = 400;
    s.WavenumberMin = 760;
    s.WavenumberMax = 1000;
    s.Layers = 6;
    s.Step = 0.1;
    return s;
  }
};

} // namespace

TEST_F(ContinuumSessionTest, SwitchedOffOrClassicEverythingKeepsItsBits) {
  ZQ_REQUIRE_CONTINUUM();
  const auto hitranBefore = spectra();
  const TColumnRun columnBefore = session.ComputeColumn(small_column());
  session.Controls.Physics = TLinePhysics::Classic;
  session.Controls.SpectraType = TSpectraType::PressureBroadened;
  const auto classicBefore = spectra();

  ASSERT_FALSE(session.LoadContinuum(zqtest::ContinuumFile().string()).Refused());
  // The classic model never takes it, switch or not.
  session.Controls.Continuum = true;
  EXPECT_EQ(spectra(), classicBefore);
  // The HITRAN physics and the column with the switch off: as without a table.
  session.Controls.Continuum = false;
  session.Controls.Physics = TLinePhysics::Hitran;
  session.Controls.SpectraType = TSpectraType::Voigt;
  EXPECT_EQ(spectra(), hitranBefore);
  const TColumnRun columnOff = session.ComputeColumn(small_column());
  ASSERT_TRUE(columnOff.Result.Computed);
  EXPECT_EQ(columnOff.Result.OLR1xSpectrum, columnBefore.Result.OLR1xSpectrum);
  EXPECT_EQ(columnOff.Result.OLRNxSpectrum, columnBefore.Result.OLRNxSpectrum);
}

TEST_F(ContinuumSessionTest, OnWaterIsItsLinesWithTheContinuumsWingsPlusTheContinuum) {
  ZQ_REQUIRE_CONTINUUM();
  const auto off = spectra();
  ASSERT_FALSE(session.LoadContinuum(zqtest::ContinuumFile().string()).Refused());
  session.Controls.Continuum = true;
  const auto on = spectra();

  const TControls& c = session.Controls;
  THitranConditions wings = HitranConditions(c, c.Water);
  wings.ContinuumWings = true;
  const THitranCrossSection lines = ComputeHitranCrossSection(HitranLineSet(water), wings);
  ASSERT_TRUE(lines.Valid());
  std::vector<double> continuum(lines.X.size());
  std::string error;
  const TzqContinuumTable table = ReadContinuumFile(zqtest::ContinuumFile().string(), error);
  ContinuumCrossSections(table, 280, 900, 0.012, lines.X, continuum);
  ASSERT_EQ(on[0].size(), lines.X.size());
  double darkest = 0;
  for (std::size_t k = 0; k < lines.X.size(); ++k) {
    ASSERT_TRUE(zqtest::RelClose(on[0][k], (lines.Sigma[k] + continuum[k]) * 1e20, 1e-14)) << k;
    darkest = std::max(darkest, continuum[k] * 1e20);
  }
  EXPECT_GT(darkest, 1e-4); // the continuum is there to be seen at 12,000 ppm
  EXPECT_EQ(on[1], off[1]); // CO2 has no continuum
  for (std::size_t k = 0; k < on[2].size(); k += 97)
    ASSERT_TRUE(zqtest::RelClose(on[2][k], (12000 * on[0][k] + 400 * on[1][k]), 1e-12)) << k;

  // The Doppler profile has no pressure broadening to join: its lines as before, with a note.
  session.Controls.SpectraType = TSpectraType::Doppler;
  const TzqStatus status = session.ComputeSpectra(Sink());
  EXPECT_FALSE(status.Refused());
  EXPECT_FALSE(status.Notes.empty());
  session.Controls.Continuum = false;
  const auto dopplerOff = spectra();
  session.Controls.Continuum = true;
  EXPECT_EQ(spectra(), dopplerOff);
}

TEST_F(ContinuumSessionTest, ContinuumTypeIsTheContinuumAloneAndNeedsTheSwitch) {
  ZQ_REQUIRE_CONTINUUM();
  session.Controls.SpectraType = TSpectraType::Continuum;
  // Without a table (or with the switch off) it is refused by name and the series are emptied.
  const TzqStatus refused = session.ComputeSpectra(Sink());
  ASSERT_TRUE(refused.Refused());
  EXPECT_NE(refused.Headline().find("Continuum spectra type"), std::string::npos) << refused.Headline();
  EXPECT_TRUE(ys(TSeriesRole::Water).empty());

  ASSERT_FALSE(session.LoadContinuum(zqtest::ContinuumFile().string()).Refused());
  session.Controls.Continuum = true;
  const auto alone = spectra();
  std::string error;
  const TzqContinuumTable table = ReadContinuumFile(zqtest::ContinuumFile().string(), error);
  const std::vector<double> x = series[0].XValues();
  ASSERT_EQ(x.size(), 50000u);
  EXPECT_EQ(x.front(), 300 + 0.02);
  std::vector<double> sigma(x.size());
  ContinuumCrossSections(table, 280, 900, 0.012, x, sigma);
  for (std::size_t k = 0; k < x.size(); ++k) {
    ASSERT_EQ(alone[0][k], sigma[k] * 1e20) << k;
    ASSERT_EQ(alone[1][k], 0) << k;
    ASSERT_TRUE(zqtest::RelClose(alone[2][k], 12000 * sigma[k] * 1e20, 1e-14)) << k;
  }
}

TEST_F(ContinuumSessionTest, ColumnDarkensWithTheContinuumAndTheBalanceUsesTheSameSources) {
  ZQ_REQUIRE_CONTINUUM();
  const TzqColumnSettings s = small_column();
  const TColumnRun off = session.ComputeColumn(s);
  ASSERT_TRUE(off.Result.Computed) << off.Status.Headline();
  ASSERT_FALSE(session.LoadContinuum(zqtest::ContinuumFile().string()).Refused());
  session.Controls.Continuum = true;
  session.Controls.Physics = TLinePhysics::Classic; // the column is HITRAN lines whatever the plots use
  const TColumnRun on = session.ComputeColumn(s);
  ASSERT_TRUE(on.Result.Computed) << on.Status.Headline();
  // The window (760-1000 cm-1) of a humid column: the continuum takes a good part of its OLR.
  EXPECT_LT(on.Result.OLR1x, off.Result.OLR1x - 1);
  // The same numbers as a column of the model's own sources: the lines with the continuum's wings for
  // water, then the continuum.
  TzqHitranColumnSource lines(&water, &co2);
  lines.SetContinuumWings(true);
  TzqContinuumColumnSource continuum(session.ContinuumTable());
  TzqColumnSources sources = SameSourceForEveryGas(lines);
  sources[TzqColumnGas::H2O].push_back(&continuum);
  TzqColumn column;
  EXPECT_EQ(column.Compute(s, sources).OLR1xSpectrum, on.Result.OLR1xSpectrum);
  const TBalanceRun balance = session.ComputeBalance(s, TzqHold::Vapour);
  ASSERT_TRUE(balance.Balance.Solved) << balance.Status.Headline();
  EXPECT_EQ(balance.Balance.Result.OLR1x, on.Result.OLR1x);
  // Off again: the kept cross-sections of the lines without wings give the first numbers back.
  session.Controls.Continuum = false;
  EXPECT_EQ(session.ComputeColumn(s).Result.OLR1xSpectrum, off.Result.OLR1xSpectrum);
}

TEST_F(ContinuumSessionTest, DamagedFilesAreRefusedByNameAndChangeNothingShown) {
  ZQ_REQUIRE_CONTINUUM();
  ASSERT_FALSE(session.LoadContinuum(zqtest::ContinuumFile().string()).Refused());
  session.Controls.Continuum = true;
  const auto shown = spectra();
  const auto table = session.ContinuumTable();
  zqtest::TempDir dir;
  std::vector<zqtest::Var> missing = zqtest::small_table(), nan = zqtest::small_table();
  missing.erase(missing.begin() + 1); // self_absco_ref
  nan[2].Values[1] = std::numeric_limits<double>::quiet_NaN();
  zqtest::write_netcdf(dir / "missing.nc", missing);
  zqtest::write_netcdf(dir / "nan.nc", nan);
  zqtest::WriteFile(dir / "text.nc", "wavenumbers,self_absco_ref\n0,1e-22\n");
  for (const auto& [name, why] :
       {std::pair{"missing.nc", "'self_absco_ref'"}, std::pair{"nan.nc", "'for_absco_ref'"},
        std::pair{"text.nc", "is not a netCDF file"}}) {
    const std::string file = (dir / name).string();
    const TzqStatus status = session.LoadContinuum(file);
    ASSERT_TRUE(status.Refused()) << name;
    EXPECT_EQ(status.Refusals.front().Source, kContinuumSection);
    EXPECT_EQ(status.Headline().rfind(file, 0), 0u) << status.Headline();
    EXPECT_NE(status.Headline().find(why), std::string::npos) << status.Headline();
    EXPECT_EQ(session.ContinuumTable(), table) << name;
  }
  EXPECT_EQ(spectra(), shown);
}
