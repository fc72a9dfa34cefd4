// The session under the HITRAN line physics, without widgets: each gas's series is its own
// cross-section (its own mixing ratio for self broadening) shown x 1e20, the combined optical depth is
// the sum of both gases', the Power table keeps the order absorption must have, and switching back
// to the classic physics gives the classic numbers bit for bit. Also the INI key of the choice and the
// Spectra Type items of each physics.
#include "DemoSessionTest.h"
#include "TestSupport.h"
#include "zqCrossSection.h"
#include "zqCrossSectionCache.h"
#include "zqDemoLines.h"
#include "zqHITRAN.h"
#include "zqHitranMode.h"
#include "zqHitranPhysics.h"
#include "zqINI_File.h"
#include "zqLineSeries.h"
#include "zqPhysicalConstants.h"
#include "zqPlotTitles.h"
#include "zqSession.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <fstream>
#include <thread>

using namespace zqsession;

namespace {

class HitranSessionTest : public DemoSessionTest {
protected:
  void SetUp() override {
    DemoSessionTest::SetUp();
    TControls& c = session.Controls;
    c.WavenumberMin = 550;
    c.WavenumberMax = 750;
    c.Temperature = 250;
    c.Pressure = 506.625;
    c.Water = 3000;
    c.CO2 = 400;
  }
};

} // namespace

TEST_F(HitranSessionTest, EachGasIsItsOwnCrossSectionAndScalingMultipliesByItsMixingRatio) {
  TControls& c = session.Controls;
  c.Physics = TLinePhysics::Hitran;
  c.SpectraType = TSpectraType::Voigt;
  ASSERT_FALSE(session.ComputeSpectra(Sink()).Refused());
  const auto expected = [&](const T_zq_HITRAN& list, double ppm) {
    return ComputeHitranCrossSection(HitranLineSet(list), HitranConditions(c, ppm));
  };
  const THitranCrossSection w = expected(water, 3000), q = expected(co2, 400);
  ASSERT_TRUE(w.Valid() && q.Valid());
  ASSERT_EQ(ys(TSeriesRole::Water).size(), 50000u);
  for (std::size_t k = 0; k < 50000; k += 7) {
    ASSERT_EQ(ys(TSeriesRole::Water)[k], w.Sigma[k] * 1e20) << k;
    ASSERT_EQ(ys(TSeriesRole::CO2)[k], q.Sigma[k] * 1e20) << k;
    ASSERT_EQ(series[0].XValues()[k], w.X[k]);
  }
  // Self broadening: the water curve depends on the water mixing ratio, not on the CO2 one.
  const THitranCrossSection other = expected(water, 400);
  EXPECT_NE(other.Sigma, w.Sigma);

  c.Scaling = TScaling::MixingRatio;
  const std::vector<double> combinedBefore = ys(TSeriesRole::Combined);
  ASSERT_FALSE(session.ComputeSpectra(Sink()).Refused());
  for (std::size_t k = 0; k < 50000; k += 7) {
    ASSERT_EQ(ys(TSeriesRole::Water)[k], w.Sigma[k] * (1e20 * 3000)) << k;
    ASSERT_EQ(ys(TSeriesRole::CO2)[k], q.Sigma[k] * (1e20 * 400)) << k;
  }
  // The combined spectrum carries the mixing ratios already: scaling leaves it as it was.
  EXPECT_EQ(ys(TSeriesRole::Combined), combinedBefore);
}

TEST_F(HitranSessionTest, CombinedOpticalDepthIsTheSumOfBothGases) {
  TControls& c = session.Controls;
  c.Physics = TLinePhysics::Hitran;
  c.SpectraType = TSpectraType::Lorentz;
  c.PlotType = TPlotType::OpticalDepth;
  ASSERT_FALSE(session.ComputeSpectra(Sink()).Refused());
  const auto w = ys(TSeriesRole::Water), q = ys(TSeriesRole::CO2), s = ys(TSeriesRole::Combined);
  ASSERT_EQ(s.size(), 50000u);
  int compared = 0;
  for (std::size_t k = 0; k < s.size(); ++k) {
    if (w[k] <= -5 || q[k] <= -5) continue; // raised to the floor: not the optical depth itself
    ++compared;
    ASSERT_TRUE(zqtest::RelClose(std::exp(s[k]), std::exp(w[k]) + std::exp(q[k]), 1e-12)) << k;
  }
  EXPECT_GT(compared, 1000);

  // The mean path to absorb the fraction f: tau of that path is -ln(1 - f), whatever the gas.
  c.PlotType = TPlotType::MeanPath;
  c.PathFactor = 2.0;
  c.MaxPath = 1e30;
  ASSERT_FALSE(session.ComputeSpectra(Sink()).Refused());
  const auto pw = ys(TSeriesRole::Water), ps = ys(TSeriesRole::Combined);
  for (std::size_t k = 0; k < s.size(); k += 11) {
    if (w[k] <= -5) continue;
    // tau(1 km) x path / 1 km = 2 for the water path.
    ASSERT_TRUE(zqtest::RelClose(std::exp(w[k]) * pw[k] / 1000, 2.0, 1e-12)) << k;
    ASSERT_TRUE(zqtest::RelClose(std::exp(s[k]) * ps[k] / 1000, 2.0, 1e-12)) << k;
  }
}

TEST_F(HitranSessionTest, PowerTableKeepsTheOrderAbsorptionMustHave) {
  TControls& c = session.Controls;
  c.Physics = TLinePhysics::Hitran;
  c.SpectraType = TSpectraType::Voigt;
  c.WavenumberMin = 0;
  c.WavenumberMax = 5000;
  c.Temperature = 288;
  c.Pressure = 1013;
  const TPowerResult r = session.ComputePower(1000);
  ASSERT_TRUE(r.Table) << r.Status.Headline();
  const TPowerTable& t = *r.Table;
  ASSERT_TRUE(t.BandPower);
  // Nearly the whole blackbody lies in 0 .. 5000 cm-1 at 288 K.
  EXPECT_TRUE(zqtest::RelClose(*t.BandPower, zqconst::StefanBoltzmann * std::pow(288.0, 4), 1e-6));
  EXPECT_GT(t.CO2_1x, 0);
  EXPECT_GT(t.H2O_1x, 0);
  EXPECT_GT(t.CO2_2x, t.CO2_1x);
  EXPECT_LT(t.CO2_2x, 2 * t.CO2_1x); // absorption saturates
  // Both gases together absorb more than either, less than both apart (they share lines' wings).
  EXPECT_GT(t.Combined_1x, std::max(t.CO2_1x, t.H2O_1x));
  EXPECT_LE(t.Combined_1x, t.Total_1x * (1 + 1e-12));
  EXPECT_GT(t.Combined_2x, t.Combined_1x);
  EXPECT_LT(t.Combined_2x, *t.BandPower);
  EXPECT_EQ(t.Total_1x, t.CO2_1x + t.H2O_1x);
}

TEST_F(HitranSessionTest, SwitchingBackToClassicGivesTheClassicNumbersBitForBit) {
  TControls& c = session.Controls;
  c.SpectraType = TSpectraType::PressureBroadened;
  ASSERT_FALSE(session.ComputeSpectra(Sink()).Refused());
  const auto classic = ys(TSeriesRole::Combined);
  const auto classicPower = session.ComputePower(1000);
  ASSERT_TRUE(classicPower.Table);
  EXPECT_FALSE(classicPower.Table->BandPower);

  c.Physics = TLinePhysics::Hitran;
  c.SpectraType = TSpectraType::Lorentz;
  ASSERT_FALSE(session.ComputeSpectra(Sink()).Refused());
  EXPECT_NE(ys(TSeriesRole::Combined), classic);

  c.Physics = TLinePhysics::Classic;
  c.SpectraType = TSpectraType::PressureBroadened;
  ASSERT_FALSE(session.ComputeSpectra(Sink()).Refused());
  EXPECT_EQ(ys(TSeriesRole::Combined), classic);
  const auto again = session.ComputePower(1000);
  ASSERT_TRUE(again.Table);
  EXPECT_EQ(again.Table->Combined_1x, classicPower.Table->Combined_1x);
  EXPECT_EQ(again.Table->CO2_2x, classicPower.Table->CO2_2x);

  // A profile of the other physics is refused by name, never drawn with the wrong formulas.
  c.SpectraType = TSpectraType::Voigt;
  const TzqStatus classicVoigt = session.ComputeSpectra(Sink());
  EXPECT_TRUE(classicVoigt.Refused());
  EXPECT_NE(classicVoigt.Headline().find("HITRAN"), std::string::npos) << classicVoigt.Headline();
  c.Physics = TLinePhysics::Hitran;
  c.SpectraType = TSpectraType::DopplerBroadened;
  EXPECT_TRUE(session.ComputeSpectra(Sink()).Refused());
  EXPECT_EQ(series[0].Count(), 0u);
}

TEST(LinePhysicsChoice, ComesFromTheIniFileAndSpectraItemsFollowThePhysics) {
  for (const auto& [text, physics, refused] : {std::tuple{"hitran", TLinePhysics::Hitran, false},
                                               std::tuple{" HITRAN ", TLinePhysics::Hitran, false},
                                               std::tuple{"Classic", TLinePhysics::Classic, false},
                                               std::tuple{"exact", TLinePhysics::Classic, true}}) {
    TzqINI_File ini;
    ini.LoadFromLines({"[Line Physics]", std::string("Model = ") + text});
    const TPhysicsDefault d = ReadPhysicsDefault(ini);
    EXPECT_EQ(d.Value, physics) << text;
    EXPECT_EQ(d.Refusal.has_value(), refused) << text;
    if (refused) {
      EXPECT_NE(d.Refusal->Text.find("exact"), std::string::npos);
    }
  }
  TzqINI_File empty;
  EXPECT_EQ(ReadPhysicsDefault(empty).Value, TLinePhysics::Classic);
  EXPECT_FALSE(empty.FindRecord("Line Physics", "Model")); // reading added nothing
  for (TLinePhysics physics : {TLinePhysics::Classic, TLinePhysics::Hitran}) {
    const auto items = SpectraTypeItems(physics);
    for (int i = 0; i < static_cast<int>(items.size()); ++i) {
      EXPECT_EQ(SpectraTypeIndex(physics, *SpectraTypeOfIndex(physics, i)), i);
      EXPECT_EQ(ParseSpectraType(SpectraTypeText(items[static_cast<std::size_t>(i)])), items[i]);
    }
    EXPECT_FALSE(SpectraTypeOfIndex(physics, static_cast<int>(items.size())));
  }
  // Switching keeps the choice as close as the other group allows, and back again restores it.
  for (TSpectraType t : SpectraTypeItems(TLinePhysics::Classic)) {
    const int there = SpectraTypeIndex(TLinePhysics::Hitran, t);
    EXPECT_EQ(SpectraTypeOfIndex(TLinePhysics::Classic, there), t);
  }
  EXPECT_EQ(SpectraTypeIndex(TLinePhysics::Classic, TSpectraType::Voigt), 2);
  EXPECT_EQ(SpectraTypeIndex(TLinePhysics::Classic, TSpectraType::Doppler), 3);
}

// Titles name the physics, the profile and the unit; the raw-line plots keep the classic titles.
TEST(HitranTitles, NameThePhysicsProfileAndUnit) {
  const zqapp::PlotTexts texts{"250", "500", "3000", "400"};
  using zqapp::BuildPlotTitles;
  const auto spectra = BuildPlotTitles(
      {TPlotType::Spectra, TSpectraType::Voigt, TScaling::Raw, TLinePhysics::Hitran}, 0.5, texts);
  EXPECT_EQ(spectra.firstLine, "Voigt Profile, HITRAN Line Physics - Spectra (per Molecule)");
  EXPECT_EQ(spectra.leftAxis, "Cross-section x 1E20 [cm2/molecule]");
  // The widths depend on temperature, pressure and (self broadening) both mixing ratios.
  EXPECT_EQ(spectra.secondLine, "250 °K   500 mb   3000 ppm water vapor   400 ppm CO2");
  const auto scaled = BuildPlotTitles(
      {TPlotType::Spectra, TSpectraType::Doppler, TScaling::MixingRatio, TLinePhysics::Hitran}, 0.5, texts);
  EXPECT_EQ(scaled.leftAxis, "Cross-section x 1E20 x mixing ratio [cm2/molecule x ppm]");
  EXPECT_EQ(scaled.firstLine.rfind("Doppler Profile", 0), 0u);
  // Optical depth from a raw-line choice is the Voigt profile's, and the profile stays selectable.
  const auto depth = BuildPlotTitles(
      {TPlotType::OpticalDepth, TSpectraType::Raw, TScaling::Raw, TLinePhysics::Hitran}, 0.5, texts);
  EXPECT_EQ(depth.firstLine, "Voigt Profile, HITRAN Line Physics - Optical Depth for 1 km");
  EXPECT_TRUE(depth.groupsEnabled);
  for (TSpectraType raw : {TSpectraType::Raw, TSpectraType::IOverAlpha}) {
    const auto h =
        BuildPlotTitles({TPlotType::Spectra, raw, TScaling::Raw, TLinePhysics::Hitran}, 0.5, texts);
    const auto c =
        BuildPlotTitles({TPlotType::Spectra, raw, TScaling::Raw, TLinePhysics::Classic}, 0.5, texts);
    EXPECT_EQ(h.firstLine, c.firstLine);
    EXPECT_EQ(h.leftAxis, c.leftAxis);
  }
}

// The cross-sections come from the shared cache, keyed on the lists' revisions: a replot and the
// Power table at the same controls compute nothing again; a list read again from another file into
// the same object is computed anew (and gives that file's numbers), the unchanged one is not.
TEST_F(HitranSessionTest, ComputesAListAgainOnlyWhenItsContentsChanged) {
  TControls& c = session.Controls;
  c.Physics = TLinePhysics::Hitran;
  c.SpectraType = TSpectraType::Voigt;
  TzqCrossSectionCache& cache = TzqCrossSectionCache::Shared();
  cache.Clear();
  const uint64_t start = cache.Computations();
  ASSERT_FALSE(session.ComputeSpectra(Sink()).Refused());
  EXPECT_EQ(cache.Computations() - start, 2u);
  const std::vector<double> water_before = ys(TSeriesRole::Water), co2_before = ys(TSeriesRole::CO2);
  ASSERT_FALSE(session.ComputeSpectra(Sink()).Refused());
  ASSERT_TRUE(session.ComputePower(1000).Table);
  EXPECT_EQ(cache.Computations() - start, 2u);

  // The same object, other contents: the CO2 lines of the upper half of the band only.
  const T_zq_HITRAN* address = &co2;
  std::string upper;
  {
    std::ifstream in(dir->path() / "02_CO2.txt");
    for (std::string line; std::getline(in, line);)
      if (line.size() > 15 && std::atof(line.substr(3, 12).c_str()) > 667) upper += line + "\n";
  }
  zqtest::WriteFile(dir->path() / "02_CO2_upper.txt", upper);
  co2.LoadFromFile((dir->path() / "02_CO2_upper.txt").string());
  ASSERT_EQ(&co2, address);
  ASSERT_FALSE(session.ComputeSpectra(Sink()).Refused());
  EXPECT_EQ(cache.Computations() - start, 3u); // the CO2 list only
  EXPECT_EQ(ys(TSeriesRole::Water), water_before);
  EXPECT_NE(ys(TSeriesRole::CO2), co2_before);
  const THitranCrossSection expected =
      ComputeHitranCrossSection(HitranLineSet(co2), HitranConditions(c, c.CO2));
  ASSERT_EQ(ys(TSeriesRole::CO2).size(), expected.Sigma.size());
  for (std::size_t k = 0; k < expected.Sigma.size(); k += 11)
    ASSERT_EQ(ys(TSeriesRole::CO2)[k], expected.Sigma[k] * 1e20) << k;
}

// The Mean Path page's views go through the session and honour the line physics: under HITRAN the
// per-line buttons draw the cross-sections' paths and spectrum; the lines as read stay the file's.
TEST_F(HitranSessionTest, LineViewsFollowTheLinePhysics) {
  TControls& c = session.Controls;
  c.Physics = TLinePhysics::Hitran;
  c.SpectraType = TSpectraType::Voigt;
  c.PlotType = TPlotType::MeanPath;
  ASSERT_FALSE(session.ComputePaths(Sink(), 0, 0).Refused());
  const std::vector<double> paths = ys(TSeriesRole::Water);
  series[0].Clear();
  series[2].Clear();
  ASSERT_FALSE(session.ComputeLineView(TLineView::LineMeanPaths, Sink()).Refused());
  EXPECT_EQ(ys(TSeriesRole::Water), paths);

  c.PlotType = TPlotType::Spectra;
  ASSERT_FALSE(session.ComputeSpectra(Sink()).Refused());
  const std::vector<double> spectrum = ys(TSeriesRole::CO2);
  series[1].Clear();
  series[2].Clear();
  c.PlotType = TPlotType::MeanPath; // the view decides what is drawn, not the plot type
  ASSERT_FALSE(session.ComputeLineView(TLineView::AdjustedSpectrum, Sink(), 506.625f, 250).Refused());
  EXPECT_EQ(ys(TSeriesRole::CO2), spectrum);

  ASSERT_FALSE(session.ComputeLineView(TLineView::RawLines, Sink()).Refused());
  std::size_t in_range = 0;
  for (const THitranLine& l : co2.Records)
    in_range += l.Wavenumber >= c.WavenumberMin && l.Wavenumber <= c.WavenumberMax;
  EXPECT_EQ(ys(TSeriesRole::CO2).size(), in_range);
  EXPECT_TRUE(series[2].YValues().empty()); // the views draw the two gases only
}

// A column cancelled while it computes leaves nothing behind: computed again, it gives the bits of a
// session that was never cancelled.
TEST_F(HitranSessionTest, ACancelledColumnLeavesNoPartialCrossSections) {
  TzqColumnSettings s;
  s.WavenumberMin = 550;
  s.WavenumberMax = 800;
  s.Layers = 20;
  s.Step = 0.005;
  TzqCrossSectionCache::Shared().Clear();
  std::atomic<bool> cancel{false}, reported{false};
  TzqColumnProgress progress;
  progress.Cancel = &cancel;
  progress.OnProgress = [&](double) { reported = true; };
  TColumnRun cancelled;
  std::thread run([&] { cancelled = session.ComputeColumn(s, progress); });
  while (!reported)
    std::this_thread::yield();
  std::this_thread::sleep_for(std::chrono::milliseconds(5));
  cancel = true;
  run.join();
  if (!cancelled.Result.Computed) {
    EXPECT_EQ(cancelled.Result.Refusal, "Column computation cancelled");
  }
  TzqCrossSectionCache::Shared().Clear();
  const TColumnRun again = session.ComputeColumn(s);
  TzqSession fresh;
  fresh.Water = &water;
  fresh.CO2 = &co2;
  const TColumnRun reference = fresh.ComputeColumn(s);
  ASSERT_TRUE(again.Result.Computed && reference.Result.Computed);
  EXPECT_EQ(again.Result.OLR1xSpectrum, reference.Result.OLR1xSpectrum);
  EXPECT_EQ(again.Result.OLRNxSpectrum, reference.Result.OLRNxSpectrum);
}
