// The session under the HITRAN line physics, without widgets: each gas's series is its own
// cross-section (its own mixing ratio for self broadening) shown x 1e20, the optical depth and mean
// path are those of each cell's mean transmittance, the Power table keeps the order absorption must
// have and (with the real lists) the lines' area and a resolved absorption, and switching back to the
// classic physics gives the classic numbers bit for bit. Also the INI key of the choice and the Spectra
// Type items of each physics.
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
#include "zqPartitionSums.h"
#include "zqPhysicalConstants.h"
#include "zqPlanck.h"
#include "zqPlotTitles.h"
#include "zqSession.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <fstream>
#include <iostream>
#include <map>
#include <numbers>
#include <thread>
#include <tuple>

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

// At 10 mb the lines are far narrower than the 0.004 cm-1 cells: each cell's optical depth and mean path
// must be those of its mean transmittance, checked against the point cross-sections sampled 400 times
// in each cell. Averaging the cross-section over the cell first would spread each saturated line's
// absorption over the whole cell. (The resolving grid steps a line's wing at a quarter of the distance
// from its centre: a cell's transmittance is good to about 1e-3.)
TEST_F(HitranSessionTest, OpticalDepthAndMeanPathAreThoseOfEachCellsMeanTransmittance) {
  TControls& c = session.Controls;
  c.Physics = TLinePhysics::Hitran;
  c.SpectraType = TSpectraType::Voigt;
  c.Pressure = 10;
  c.PlotType = TPlotType::OpticalDepth;
  ASSERT_FALSE(session.ComputeSpectra(Sink()).Refused());
  const auto depth_w = ys(TSeriesRole::Water), depth_all = ys(TSeriesRole::Combined);
  c.PlotType = TPlotType::MeanPath;
  c.MaxPath = 1e4;
  c.PathFactor = 1;
  ASSERT_FALSE(session.ComputeSpectra(Sink()).Refused());
  const auto path_all = ys(TSeriesRole::Combined);
  const std::vector<double> x = series[2].XValues();
  ASSERT_EQ(x.size(), 50000u);

  const double h = 0.004;
  constexpr int kSamples = 400;
  std::vector<std::size_t> cells;
  std::vector<double> grid;
  for (std::size_t k = 3; k < x.size(); k += 37) {
    cells.push_back(k);
    for (int j = 0; j < kSamples; ++j)
      grid.push_back(x[k] - h / 2 + (j + 0.5) * h / kSamples);
  }
  auto points = [&](const T_zq_HITRAN& list, double ppm) {
    THitranConditions p = HitranConditions(c, ppm);
    p.CellAverage = false;
    p.Grid = grid;
    return ComputeHitranCrossSection(HitranLineSet(list), p);
  };
  const THitranCrossSection w = points(water, c.Water), q = points(co2, c.CO2);
  ASSERT_TRUE(w.Valid() && q.Valid());
  const double nw = zqphys::NumberDensity(c.Water, c.Pressure, c.Temperature);
  const double nq = zqphys::NumberDensity(c.CO2, c.Pressure, c.Temperature);
  // Mean transmittance of a cell through path L (m), water alone or both gases.
  auto transmittance = [&](std::size_t i, double L, bool both) {
    double sum = 0;
    for (int j = 0; j < kSamples; ++j) {
      const std::size_t u = i * kSamples + static_cast<std::size_t>(j);
      sum += std::exp(-zqphys::OpticalDepth(w.Sigma[u], nw, L) -
                      (both ? zqphys::OpticalDepth(q.Sigma[u], nq, L) : 0));
    }
    return sum / kSamples;
  };
  // The plot shows ln(tau), raised to -5 (tau up to e^-5 is shown as e^-5).
  auto agrees = [](double y, double t) {
    const double floor = std::exp(-std::exp(-5.0));
    return y > -5 ? std::fabs(std::exp(-std::exp(y)) - t) < 2e-3 : t > floor - 2e-3;
  };
  int partly = 0;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    const std::size_t k = cells[i];
    const double t_w = transmittance(i, 1000, false), t_all = transmittance(i, 1000, true);
    EXPECT_TRUE(agrees(depth_w[k], t_w)) << x[k] << ": " << depth_w[k] << " for " << t_w;
    EXPECT_TRUE(agrees(depth_all[k], t_all)) << x[k] << ": " << depth_all[k] << " for " << t_all;
    partly += t_all > 0.05 && t_all < 0.95;
    // Through the path shown, the cell lets 1/e through (unless the path is cut at MaxPath).
    if (path_all[k] < c.MaxPath) {
      EXPECT_NEAR(transmittance(i, path_all[k], true), std::exp(-1.0), 2e-3) << x[k];
    }
  }
  EXPECT_GT(partly, 50); // cells where the lines' shapes decide what passes
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
  EXPECT_EQ(cache.Computations() - start, 2u);
  // The Power table needs the gases on a grid that resolves their lines: computed once, then kept.
  ASSERT_TRUE(session.ComputePower(1000).Table);
  ASSERT_TRUE(session.ComputePower(1000).Table);
  EXPECT_EQ(cache.Computations() - start, 4u);

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
  EXPECT_EQ(cache.Computations() - start, 5u); // the CO2 list only
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

namespace {

// The real lists at the controls' defaults (0-5000 cm-1 in 0.1 cm-1 cells, 288 K, 1013 mb).
struct RealLists {
  T_zq_HITRAN h2o, co2;
  RealLists() {
    h2o.MoleculeType = " 1";
    co2.MoleculeType = " 2";
    h2o.LoadFromFile((zqtest::HitranDir() / "h2o_161_hitran.par").string());
    co2.LoadFromFile((zqtest::HitranDir() / "co2_626_hitran.par").string());
  }
};

// Sums over a list's lines of S_i(T) times the share of its profile in its window [nu - W, nu + W]
// inside the band of the cells (erf for Doppler; for Voigt the Lorentz wings, which any Voigt profile
// has 200 half widths out), plain and weighted by the exitance at the line.
struct LineSums {
  double area = 0, weighted = 0;
};
LineSums line_sums(const T_zq_HITRAN& list, int molecule, const TControls& c, THitranProfile profile,
                   double ppm) {
  const zqtips::TIsotopologue& iso = *zqtips::FindIsotopologue(molecule, 1);
  const double T = c.Temperature, p = c.Pressure, h = 0.1;
  const double qt = zqtips::PartitionSum(iso, T).Q, qref = zqtips::PartitionSum(iso, 296).Q;
  const double lo = c.WavenumberMin + h / 2, hi = c.WavenumberMin + (50000 + 0.5) * h;
  LineSums sums;
  for (std::size_t i = 0; i < list.Records.size(); ++i) {
    const THitranLine& l = list.Records[i];
    const double S = zqphys::LineIntensity(l.Intensity, l.Wavenumber, l.LowerStateEnergy, T, qref, qt);
    const double centre = zqphys::ShiftedCentre(l.Wavenumber, list.PressureShifts[i], p);
    const double gl = zqphys::LorentzHalfWidth(l.AirWidth, l.SelfWidth, l.WidthExponent, T, p, ppm);
    const double gd = zqphys::DopplerHalfWidth(centre, T, iso.MolarMass);
    const double W = 200 * (profile == THitranProfile::Doppler ? gd : std::max(gl, gd));
    const double a = std::max(lo, l.Wavenumber - W) - centre, b = std::min(hi, l.Wavenumber + W) - centre;
    if (!(a < b)) continue;
    const double share =
        profile == THitranProfile::Doppler
            ? (std::erf(std::sqrt(std::log(2.0)) * b / gd) - std::erf(std::sqrt(std::log(2.0)) * a / gd)) / 2
            : (std::atan(b / gl) - std::atan(a / gl)) / std::numbers::pi;
    sums.area += S * share;
    sums.weighted += S * share * zqplanck::Exitance(centre, T);
  }
  return sums;
}

TControls default_hitran_controls(TSpectraType type) {
  TControls c;
  c.Physics = TLinePhysics::Hitran;
  c.SpectraType = type;
  return c;
}

} // namespace

// The spectra of the real lists are cell means: over the band they keep each line's area in its
// window, Doppler lines a hundred times narrower than a cell included (point values gave 0.68 and 3.2
// times the area). Through a path so short that every line is thin (1 nm), the Power table absorbs
// n L sum S_i(T) M(nu_i, T) whatever the profile.
TEST(HitranSessionRealLists, SpectraKeepTheLinesAreaAndThinPathsAbsorbIt) {
  ZQ_REQUIRE_HITRAN();
  RealLists lists;
  for (TSpectraType type : {TSpectraType::Voigt, TSpectraType::Doppler}) {
    TzqSession session;
    session.Water = &lists.h2o;
    session.CO2 = &lists.co2;
    session.Controls = default_hitran_controls(type);
    const TControls& c = session.Controls;
    TLineSeries series[3];
    TzqSession::TSeriesSink sink{[&](TSeriesRole role) { return &series[SeriesIndex(role)]; }, {}};
    ASSERT_FALSE(session.ComputeSpectra(sink).Refused());
    const THitranProfile profile = HitranProfileOf(type);
    const LineSums water = line_sums(lists.h2o, 1, c, profile, c.Water);
    const LineSums co2 = line_sums(lists.co2, 2, c, profile, c.CO2);
    for (const auto& [role, sums] :
         {std::pair{TSeriesRole::Water, water}, std::pair{TSeriesRole::CO2, co2}}) {
      double area = 0;
      for (double y : series[SeriesIndex(role)].YValues())
        area += y * 0.1 / kHitranDisplayFactor;
      EXPECT_NEAR(area / sums.area, 1, 1e-5) << SectionOf(role) << " " << SpectraTypeText(type);
    }
    const double P = 1e-9, u = 100 * P;
    const TPowerResult thin = session.ComputePower(P);
    ASSERT_TRUE(thin.Table) << thin.Status.Headline();
    const double nw = zqphys::NumberDensity(c.Water, c.Pressure, c.Temperature);
    const double nq = zqphys::NumberDensity(c.CO2, c.Pressure, c.Temperature);
    EXPECT_NEAR(thin.Table->H2O_1x / (nw * u * water.weighted), 1, 1e-4) << SpectraTypeText(type);
    EXPECT_NEAR(thin.Table->CO2_1x / (nq * u * co2.weighted), 1, 1e-4) << SpectraTypeText(type);
  }
}

// Through the Power page's 1 km the lines saturate, and what they absorb depends on their shapes: on
// the resolving grid halving every fine step changes no row by 0.1 %, for the Doppler profile (lines a
// few 1e-4 cm-1 wide) as for Voigt. Saturated Doppler lines absorb far less than pressure-broadened ones.
TEST(HitranSessionRealLists, ResolvedPowerDoesNotDependOnTheFineGrid) {
  ZQ_REQUIRE_HITRAN();
  RealLists lists;
  const double P = 1000;
  std::map<TSpectraType, double> co2;
  for (TSpectraType type : {TSpectraType::Voigt, TSpectraType::Doppler}) {
    const TControls c = default_hitran_controls(type);
    auto table = [&](double fraction) {
      TResolvingGridOptions o;
      o.StepFraction = fraction;
      const TPowerResult r =
          HitranPowerTable(ComputeHitranGases(&lists.h2o, &lists.co2, c, nullptr, 2 * P, o), c, P);
      EXPECT_TRUE(r.Table) << r.Status.Headline();
      EXPECT_TRUE(r.Status.Notes.empty()) << r.Status.Headline();
      return r.Table.value_or(TPowerTable{});
    };
    const TPowerTable a = table(0.25), b = table(0.125);
    for (const auto& [name, x, y] :
         {std::tuple{"CO2 1x", a.CO2_1x, b.CO2_1x}, std::tuple{"CO2 2x", a.CO2_2x, b.CO2_2x},
          std::tuple{"H2O 1x", a.H2O_1x, b.H2O_1x}, std::tuple{"Combined 1x", a.Combined_1x, b.Combined_1x},
          std::tuple{"Combined 2x", a.Combined_2x, b.Combined_2x}})
      EXPECT_NEAR(x / y, 1, 1e-3) << name << " " << SpectraTypeText(type);
    std::cout << SpectraTypeText(type) << ": CO2 " << b.CO2_1x << ", H2O " << b.H2O_1x << ", combined "
              << b.Combined_1x << " W/m2\n";
    co2[type] = b.CO2_1x;
  }
  EXPECT_LT(co2[TSpectraType::Doppler], 0.2 * co2[TSpectraType::Voigt]);
}
