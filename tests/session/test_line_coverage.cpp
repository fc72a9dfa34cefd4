// Holes in a line list's coverage: found where dense lines stop suddenly, not where a band's wing thins
// out; on the real lists they are the ones their README documents.
#include "TestSupport.h"
#include "zqHITRAN.h"
#include "zqLineCoverage.h"
#include "zqReadout.h"

#include <gtest/gtest.h>

using namespace zqsession;

namespace {
// Lines every step cm-1 from lo up to hi.
void add_lines(std::vector<double>& out, double lo, double hi, double step) {
  for (double x = lo; x <= hi + 1e-9; x += step)
    out.push_back(x);
}
} // namespace

TEST(LineCoverage, DenseLinesThatStopMakeAHoleAThinningWingDoesNot) {
  std::vector<double> p;
  add_lines(p, 100, 133, 0.1); // dense up to 133
  add_lines(p, 666, 700, 0.2); // dense again from 666
  // A wing: spacing growing step by step from 700 on to a lone far line.
  double x = 700;
  for (double step = 0.5; step < 40; step *= 1.5)
    p.push_back(x += step);
  ASSERT_TRUE(std::is_sorted(p.begin(), p.end()));
  const std::vector<TLineGap> gaps = FindLineGaps(p);
  ASSERT_EQ(gaps.size(), 1u);
  EXPECT_NEAR(gaps[0].Lo, 133, 0.05);
  EXPECT_NEAR(gaps[0].Hi, 666, 1e-9);
  EXPECT_EQ(LineGapsText("water", gaps), "water list: no lines 133-666 cm-1");
  EXPECT_EQ(LineGapsText("water", {}), "");
  EXPECT_EQ(GapsWithin(gaps, 500, 1000), (std::vector<TLineGap>{{500, 666}}));
  EXPECT_TRUE(GapsWithin(gaps, 700, 1000).empty());
  // A step of at most the width is no hole; too few lines say nothing.
  EXPECT_TRUE(FindLineGaps(p, 600).empty());
  EXPECT_TRUE(FindLineGaps(std::vector<double>{1, 2, 500, 501}).empty());
}

TEST(LineCoverage, RealListsShowTheirDocumentedHoles) {
  ZQ_REQUIRE_HITRAN();
  auto h2o = std::make_unique<T_zq_HITRAN>();
  h2o->MoleculeType = " 1";
  h2o->LoadFromFile((zqtest::HitranDir() / "h2o_161_hitran.par").string());
  const std::vector<TLineGap> water = FindLineGaps(h2o->Records);
  // 133.4-666.4 and 764.7-862.5 cm-1 are wider than 20 cm-1; 925.8-943.8 (18) and 989.4-1000.3 are not.
  ASSERT_EQ(water.size(), 2u) << LineGapsText("water", water);
  EXPECT_NEAR(water[0].Lo, 133.4, 0.1);
  EXPECT_NEAR(water[0].Hi, 666.4, 0.1);
  EXPECT_NEAR(water[1].Lo, 764.7, 0.1);
  EXPECT_NEAR(water[1].Hi, 862.5, 0.1);
  EXPECT_EQ(LineGapsText("water", water), "water list: no lines 133-666 cm-1, 765-862 cm-1");

  auto co2 = std::make_unique<T_zq_HITRAN>();
  co2->MoleculeType = " 2";
  co2->LoadFromFile((zqtest::HitranDir() / "co2_626_hitran.par").string());
  const std::vector<TLineGap> gaps = FindLineGaps(co2->Records);
  // Among them the documented 765-831, 1117.5-2000 and the empty 2400-2972.6 cm-1.
  auto has = [&](double lo, double hi) {
    for (const TLineGap& g : gaps)
      if (std::abs(g.Lo - lo) < 1 && std::abs(g.Hi - hi) < 1) return true;
    return false;
  };
  EXPECT_TRUE(has(765, 830.9)) << LineGapsText("CO2", gaps);
  EXPECT_TRUE(has(1117.5, 2000.1)) << LineGapsText("CO2", gaps);
  EXPECT_TRUE(has(2400, 2972.6)) << LineGapsText("CO2", gaps);
  for (const TLineGap& g : gaps)
    EXPECT_GT(g.Hi - g.Lo, kMinGapWidth);
}

TEST(LineCoverage, KnownBandsAreOrderedAndNamed) {
  double last = -1;
  for (const TSpectralBand& b : KnownBands()) {
    EXPECT_LT(b.Lo, b.Hi);
    EXPECT_GE(b.Lo, last);
    last = b.Hi;
  }
  // The CO2 bending band holds 667 cm-1, the asymmetric stretch 2349; the window is 8-12 um.
  auto band = [](const char* label) {
    for (const TSpectralBand& b : KnownBands())
      if (std::string(b.Label) == label) return b;
    return TSpectralBand{0, 0, ""};
  };
  EXPECT_TRUE(band("CO2 15 um").Lo < 667 && band("CO2 15 um").Hi > 667);
  EXPECT_TRUE(band("CO2 4.3 um").Lo < 2349 && band("CO2 4.3 um").Hi > 2349);
  EXPECT_NEAR(1e4 / band("8-12 um window").Hi, 8, 0.01);
  EXPECT_NEAR(1e4 / band("8-12 um window").Lo, 12, 0.01);
}

TEST(Readout, CursorAndStrongestLineNearIt) {
  EXPECT_EQ(CursorReadoutText(667.024, 1.23456e-19), "667.02 cm-1   14.992 um   y = 1.2346e-19");
  EXPECT_EQ(CursorReadoutText(0, std::nullopt), "0.00 cm-1");
  std::vector<THitranLine> lines(4);
  const double nu[] = {660, 667.1, 667.3, 680}, s[] = {9e-19, 1e-20, 3e-19, 5e-18};
  for (int i = 0; i < 4; ++i)
    lines[i].Wavenumber = nu[i], lines[i].Intensity = s[i];
  lines[2].AirWidth = 0.0707, lines[2].SelfWidth = 0.09, lines[2].LowerStateEnergy = 1.5,
  lines[2].WidthExponent = 0.76;
  // The window around 667.2 holds two lines: the stronger one is read out, whatever lies outside.
  const THitranLine* near = StrongestLineIn(lines, 667.0, 667.4);
  ASSERT_EQ(near, &lines[2]);
  EXPECT_EQ(
      LineReadoutText("CO2", *near),
      "CO2 line nu 667.3000 cm-1  S 3e-19  gamma_air 0.0707  gamma_self 0.0900  E'' 1.5000  n_air 0.76");
  EXPECT_EQ(StrongestLineIn(lines, 670, 679), nullptr);
  EXPECT_EQ(StrongestLineIn(lines, 680, 680), &lines[3]);
  EXPECT_EQ(StrongestLineIn({}, 0, 1e6), nullptr);
}
