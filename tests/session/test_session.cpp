// The session both front ends drive, without widgets: the pipeline's combined spectrum and Power table
// against the lists' own results, refusals that stop what depends on them, notes carried as data, and
// the CO2 default of the INI file.
#include "DemoSessionTest.h"
#include "FakePlatform.h"
#include "TestSupport.h"
#include "zqDemoLines.h"
#include "zqHITRAN.h"
#include "zqINI_File.h"
#include "zqLineSeries.h"
#include "zqSession.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace zqsession;

namespace {

// The demonstration lists, loaded once, with a combined list beside them.
class SessionTest : public DemoSessionTest {
protected:
  void SetUp() override {
    DemoSessionTest::SetUp();
    session.Controls.WavenumberMin = 600;
    session.Controls.WavenumberMax = 700;
    session.Controls.SpectraType = TSpectraType::PressureBroadened;
    session.Controls.Water = 3000;
    session.Controls.CO2 = 400;
  }
};

} // namespace

TEST_F(SessionTest, CombinedSeriesIsTheMixingRatioWeightedSum) {
  const TzqStatus status = session.ComputeSpectra(Sink());
  ASSERT_FALSE(status.Refused()) << status.Headline();
  const TLineSeries &w = series[0], &c = series[1], &s = series[2];
  ASSERT_EQ(s.Count(), 50000u);
  ASSERT_EQ(w.XValues(), s.XValues());
  for (std::size_t i = 0; i < s.Count(); i += 37)
    ASSERT_TRUE(zqtest::RelClose(s.YValues()[i], 3000 * w.YValues()[i] + 400 * c.YValues()[i], 1e-12)) << i;
  for (long k = 1; k <= T_zq_HITRAN::kGridPoints; k += 41)
    ASSERT_EQ(combined.Spectrum[k], 3000 * water.Spectrum[k] + 400 * co2.Spectrum[k]) << k;
  EXPECT_TRUE(combined.Locked);
  // The controls reached every list, the mode as the table's text.
  for (const T_zq_HITRAN* l : {&water, &co2, &combined}) {
    EXPECT_EQ(l->SpectraType, "Temperature and Pressure Broadened");
    EXPECT_EQ(l->WavenumberMin, 600);
  }
  EXPECT_EQ(combined.MixingRatio, 1);
}

TEST_F(SessionTest, ARefusedSourceClearsTheCombinedSeriesAndNamesItsList) {
  session.ComputeSpectra(Sink());
  ASSERT_GT(series[2].Count(), 0u);
  session.Controls.Temperature = -5;
  const TzqStatus status = session.ComputeSpectra(Sink());
  ASSERT_TRUE(status.Refused());
  EXPECT_EQ(status.Refusals.front().Source, "h2o");
  EXPECT_EQ(status.Headline(), status.Refusals.front().Text);
  EXPECT_EQ(series[2].Count(), 0u);
  // Without its lists the Power page refuses instead of integrating nothing.
  session.Combined = nullptr;
  EXPECT_FALSE(session.ComputePower(1000).Table);
}

TEST_F(SessionTest, PowerTableIsTheListsIntegrals) {
  ASSERT_FALSE(session.ComputeSpectra(Sink()).Refused());
  const TPowerResult r = session.ComputePower(1000);
  ASSERT_TRUE(r.Table) << r.Status.Headline();
  const TPowerTable& t = *r.Table;
  EXPECT_EQ(t.CO2_1x, co2.AbsorbedBlackbodyPower(1000));
  EXPECT_EQ(t.CO2_2x, co2.AbsorbedBlackbodyPower(2000));
  EXPECT_EQ(t.H2O_1x, water.AbsorbedBlackbodyPower(1000));
  EXPECT_EQ(t.Total_1x, t.CO2_1x + t.H2O_1x);
  EXPECT_EQ(t.Total_2x, t.H2O_1x + t.CO2_2x);
  // The combined table entries use the CO2 ratio once and twice; the session leaves it doubled.
  EXPECT_EQ(t.Combined_2x, combined.AbsorbedBlackbodyPower(1000));
  session.CombineSpectra();
  EXPECT_EQ(t.Combined_1x, combined.AbsorbedBlackbodyPower(1000));
  EXPECT_GT(t.Combined_2x, t.Combined_1x);
  EXPECT_LE(t.Combined_1x, t.Total_1x * (1 + 1e-12));
}

TEST_F(SessionTest, NotesAreCarriedOnceWithTheirSource) {
  session.Controls.CO2 = 0; // at the floor: a zero spectrum, said as a note
  const TzqStatus status = session.ComputeSpectra(Sink());
  ASSERT_FALSE(status.Refused());
  ASSERT_FALSE(status.Notes.empty());
  EXPECT_EQ(status.Notes.front().Source, "co2");
  EXPECT_NE(status.Headline().find("floor"), std::string::npos);
  TzqStatus twice = status;
  twice.Append(status);
  EXPECT_EQ(twice.Notes.size(), status.Notes.size());
}

TEST(SessionRoles, IndicesAndSectionsOfTheChartSeries) {
  EXPECT_EQ(SeriesIndex(TSeriesRole::Water), 0);
  EXPECT_EQ(SeriesIndex(TSeriesRole::Combined), 2);
  EXPECT_EQ(SeriesIndex(kBlackbodyRoles[0]), 3);
  EXPECT_EQ(SeriesIndex(kBlackbodyRoles[2]), 5);
  EXPECT_EQ(SectionOf(TSeriesRole::CO2), "co2");
  EXPECT_EQ(SectionOf(TSeriesRole::Blackbody1), "");
}

TEST(SessionCO2Default, IniValueIsUsedOrRefusedByName) {
  zq::FakePlatform fake;
  struct Case {
    const char* text;
    bool refused;
    double value;
  };
  for (const Case& c : {Case{"400", false, 400}, Case{"0", false, 0}, Case{"1000000", false, 1e6},
                        Case{"-350", true, 350}, Case{"NaN", true, 350}, Case{"1e400", true, 350},
                        Case{"inf", true, 350}, Case{"lots", true, 350}, Case{"", true, 350}}) {
    TzqINI_File ini;
    ini.LoadFromLines({"[CO2]", std::string("ppmv = ") + c.text});
    const TCO2Default d = ReadCO2Default(ini);
    EXPECT_EQ(d.Refusal.has_value(), c.refused) << c.text;
    EXPECT_EQ(d.Value, c.value) << c.text;
    if (d.Refusal) {
      EXPECT_NE(d.Refusal->Text.find("[CO2] ppmv"), std::string::npos);
    }
  }
  TzqINI_File empty;
  EXPECT_EQ(ReadCO2Default(empty).Value, 350);
  EXPECT_FALSE(empty.FindRecord("CO2", "ppmv")); // reading added nothing
}

// The column from the session's lists: refused without a list, and never answered from cross-sections
// of a list that has since been read again.
TEST_F(SessionTest, ColumnFollowsItsListsAndRefusesWithoutThem) {
  TzqColumnSettings s;
  s.CO2 = 400;
  s.WavenumberMin = 600;
  s.WavenumberMax = 720;
  s.Layers = 6;
  s.Step = 0.1;
  const TColumnRun first = session.ComputeColumn(s);
  ASSERT_FALSE(first.Status.Refused()) << first.Status.Headline();
  ASSERT_TRUE(first.Result.Computed);
  EXPECT_GT(first.Result.ForcingTOA, 0);
  // The same settings from the kept cross-sections give the same numbers.
  EXPECT_EQ(session.ComputeColumn(s).Result.OLR1x, first.Result.OLR1x);

  co2.ClearRecords(); // as reading an empty file would leave it
  const TColumnRun emptied = session.ComputeColumn(s);
  ASSERT_TRUE(emptied.Result.Computed);
  EXPECT_EQ(emptied.Result.ForcingTOA, 0);
  EXPECT_GT(emptied.Result.OLR1x, first.Result.OLR1x);

  co2.LoadFromFile((dir->path() / "02_CO2.txt").string());
  EXPECT_EQ(session.ComputeColumn(s).Result.OLR1x, first.Result.OLR1x);

  session.CO2 = nullptr;
  const TColumnRun refused = session.ComputeColumn(s);
  EXPECT_FALSE(refused.Result.Computed);
  ASSERT_TRUE(refused.Status.Refused());
  EXPECT_EQ(refused.Status.Refusals.front().Source, "co2");
}
