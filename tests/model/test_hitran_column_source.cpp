// The atmosphere column's HITRAN source on the real lists: its cross-sections against the line engine
// called directly at the same layer conditions, and a short-band column on them whose OLR settles as
// the grid step halves.
#include "ModelTestHelpers.h"
#include "zqColumn.h"
#include "zqCrossSection.h"
#include "zqHitranColumnSource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

std::unique_ptr<T_zq_HITRAN> load(const char* name, const char* code) {
  auto list = std::make_unique<T_zq_HITRAN>();
  list->MoleculeType = code;
  list->LoadFromFile((zqtest::HitranDir() / name).string());
  return list;
}

struct Lists {
  std::unique_ptr<T_zq_HITRAN> h2o = load("h2o_161_hitran.par", " 1");
  std::unique_ptr<T_zq_HITRAN> co2 = load("co2_626_hitran.par", " 2");
};
const Lists& lists() {
  static const Lists l;
  return l;
}

// Midpoints of 0.01 cm-1 steps over [lo, hi], as the column lays its grid.
std::vector<double> grid(double lo, double hi) {
  std::vector<double> x;
  for (int j = 0; lo + (j + 0.5) * 0.01 < hi; ++j)
    x.push_back(lo + (j + 0.5) * 0.01);
  return x;
}

std::vector<double> engine(const T_zq_HITRAN& list, const TzqLayerConditions& l, double ppm,
                           const std::vector<double>& x) {
  THitranConditions c;
  c.Temperature = l.Temperature;
  c.Pressure = l.Pressure;
  c.MixingRatio = ppm;
  c.Profile = THitranProfile::Voigt;
  c.Grid = x;
  auto r = ComputeHitranCrossSection(HitranLineSet(list), c);
  EXPECT_TRUE(r.Valid()) << r.Refusal;
  return r.Sigma;
}

std::vector<double> source(TzqHitranColumnSource& s, TzqColumnGas gas, const TzqLayerConditions& l,
                           const std::vector<double>& x) {
  std::vector<double> sigma(x.size(), 0.0);
  std::string reason;
  EXPECT_TRUE(s.CrossSections(gas, l, x, sigma, reason)) << reason;
  return sigma;
}

// Largest |a - b| relative to the largest value of b.
double worst(const std::vector<double>& a, const std::vector<double>& b) {
  double d = 0;
  for (std::size_t j = 0; j < a.size(); ++j)
    d = std::max(d, std::fabs(a[j] - b[j]));
  return d / *std::max_element(b.begin(), b.end());
}

TEST(HitranColumnSource, GivesTheEngineCrossSectionsAtEachLayersConditions) {
  ZQ_REQUIRE_HITRAN();
  const Lists& l = lists();
  TzqHitranColumnSource s(l.h2o.get(), l.co2.get());
  const auto x = grid(1500, 1700); // water's bending band, with CO2 absent from the list there
  const auto xc = grid(600, 700);
  // High in the column: both gases exactly as the engine gives them (CO2 broadened by air alone).
  const TzqLayerConditions high{40, 230, 50, {{5, 400}}};
  EXPECT_EQ(source(s, TzqColumnGas::H2O, high, x), engine(*l.h2o, high, 5, x));
  EXPECT_EQ(source(s, TzqColumnGas::CO2, high, xc), engine(*l.co2, high, 0, xc));
  // CO2's own amount does not matter to within its self-broadening.
  const TzqLayerConditions low{2, 280, 900, {{8000, 400}}};
  EXPECT_LT(worst(source(s, TzqColumnGas::CO2, low, xc), engine(*l.co2, low, 400, xc)), 1e-4);
  // Water near the ground: its self-broadening changes the cross-section visibly, and the source's
  // interpolation in the mixing ratio follows the engine closely at 0, a middle amount and saturation.
  const auto dry = engine(*l.h2o, low, 0, x), moist = engine(*l.h2o, low, 8000, x);
  EXPECT_GT(worst(dry, moist), 0.02);
  for (double ppm : {0.0, 8000.0, 9000.0}) {
    TzqLayerConditions at = low;
    at.Ppmv[TzqColumnGas::H2O] = ppm;
    EXPECT_LT(worst(source(s, TzqColumnGas::H2O, at, x), engine(*l.h2o, at, ppm, x)), 1e-3) << ppm << " ppm";
  }
}

TEST(HitranColumnSource, AbsorbsNothingWithoutAListAndPassesOnRefusals) {
  ZQ_REQUIRE_HITRAN();
  TzqHitranColumnSource s(nullptr, lists().co2.get());
  const auto x = grid(600, 610);
  const TzqLayerConditions layer{0, 288, 1000, {{10000, 400}}};
  EXPECT_EQ(source(s, TzqColumnGas::H2O, layer, x), std::vector<double>(x.size(), 0.0));
  std::vector<double> sigma(x.size());
  std::string reason;
  TzqLayerConditions frozen = layer;
  frozen.Temperature = 0.5; // below the partition-sum table
  EXPECT_FALSE(s.CrossSections(TzqColumnGas::CO2, frozen, x, sigma, reason));
  EXPECT_EQ(reason.rfind("CO2 lines: ", 0), 0u) << reason;
  const uint64_t before = s.Revision();
  s.SetLists(lists().h2o.get(), lists().co2.get());
  EXPECT_NE(s.Revision(), before);
}

TEST(HitranColumnSource, ShortBandColumnSettlesAsTheStepHalves) {
  ZQ_REQUIRE_HITRAN();
  TzqHitranColumnSource s(lists().h2o.get(), lists().co2.get());
  TzqColumnSettings settings;
  settings.CO2 = 400;
  settings.WavenumberMin = 600;
  settings.WavenumberMax = 740;
  settings.Layers = 30;
  settings.Step = 0.02;
  TzqColumn column;
  const TzqColumnResult coarse = column.Compute(settings, s);
  settings.Step = 0.01;
  const TzqColumnResult fine = column.Compute(settings, s);
  ASSERT_TRUE(coarse.Computed && fine.Computed) << coarse.Refusal << fine.Refusal;
  EXPECT_LT(std::fabs(coarse.OLR1x - fine.OLR1x), 0.05);
  EXPECT_LT(std::fabs(coarse.ForcingTOA - fine.ForcingTOA), 0.05);
  // The CO2 band takes a large bite out of the surface's emission, and doubling deepens it.
  EXPECT_LT(fine.OLR1x, 0.8 * fine.SurfaceEmission);
  EXPECT_GT(fine.ForcingTOA, 0.5);
  EXPECT_GT(fine.ForcingTropopause, fine.ForcingTOA);
}

} // namespace
