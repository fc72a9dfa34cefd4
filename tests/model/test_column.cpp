// The column's outgoing radiation against what must hold whatever the line data: an isothermal
// column and an empty one emit the surface's blackbody; a thin absorber acts linearly; a CO2-like band
// forces positively, more at the tropopause than at the top; the angular and spectral quadratures
// converge; threads, the cache and cancellation never change numbers; bad input is refused.
#include "ColumnTestSources.h"
#include "TestSupport.h"
#include "zqColumn.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>

namespace {

// A short band around the CO2 bending band, dry unless a test adds water.
TzqColumnSettings band_settings() {
  TzqColumnSettings s;
  s.WavenumberMin = 560;
  s.WavenumberMax = 780;
  s.RelativeHumidity = 0;
  s.CO2 = 400;
  return s;
}

TzqColumnResult compute(const TzqColumnSettings& s, TzqCrossSectionSource& source) {
  TzqColumn column;
  return column.Compute(s, source);
}

void expect_same_numbers(const TzqColumnResult& a, const TzqColumnResult& b) {
  ASSERT_TRUE(a.Computed && b.Computed);
  EXPECT_EQ(a.OLR1x, b.OLR1x);
  EXPECT_EQ(a.OLRNx, b.OLRNx);
  EXPECT_EQ(a.ForcingTropopause, b.ForcingTropopause);
  EXPECT_EQ(a.SurfaceDownwelling1x, b.SurfaceDownwelling1x);
  EXPECT_EQ(a.SurfaceDownwellingNx, b.SurfaceDownwellingNx);
  EXPECT_EQ(a.OLR1xSpectrum, b.OLR1xSpectrum);
  EXPECT_EQ(a.OLRNxSpectrum, b.OLRNxSpectrum);
}

} // namespace

TEST(Column, IsothermalColumnEmitsTheSurfaceBlackbodyWhateverTheGases) {
  columntest::BandSource band(3e-19, 1e-21);
  for (double t : {220.0, 288.0, 320.0}) {
    TzqColumnSettings s;
    s.Isothermal = true;
    s.SurfaceTemperature = t;
    s.Step = 0.2;
    s.CO2 = 1000;
    s.RelativeHumidity = 80;
    const TzqColumnResult r = compute(s, band);
    ASSERT_TRUE(r.Computed) << r.Refusal;
    EXPECT_TRUE(zqtest::RelClose(r.OLR1x, r.SurfaceEmission, 1e-6)) << r.OLR1x << " vs " << r.SurfaceEmission;
    EXPECT_TRUE(zqtest::RelClose(r.OLRNx, r.SurfaceEmission, 1e-6));
    EXPECT_NEAR(r.ForcingTOA, 0, 1e-6 * r.SurfaceEmission);
  }
}

TEST(Column, WithoutAbsorbersTheSurfaceShinesThrough) {
  columntest::GreySource grey(1e-21, 1e-21);
  TzqColumnSettings s;
  s.CO2 = 0;
  s.RelativeHumidity = 0;
  s.Step = 0.1;
  const TzqColumnResult r = compute(s, grey);
  ASSERT_TRUE(r.Computed) << r.Refusal;
  EXPECT_EQ(grey.calls, 0); // no amount, nothing asked of the source
  EXPECT_TRUE(zqtest::RelClose(r.OLR1x, r.SurfaceEmission, 1e-6));
  EXPECT_EQ(r.ForcingTOA, 0);
  EXPECT_EQ(r.ForcingTropopause, 0);
  EXPECT_EQ(r.SurfaceDownwelling1x, 0);
  EXPECT_NEAR(r.SurfaceEmission, 389.54, 0.01); // 288 K over 0-2500 cm-1
}

TEST(Column, ThinAbsorberChangesOLRLinearly) {
  // A grey absorber of vertical optical depth about 4e-6: the OLR deficit against an empty column
  // doubles with the amount, and the factor-3 run (the amount tripled) adds twice the deficit again.
  columntest::GreySource grey(0, 1e-28);
  TzqColumnSettings s = band_settings();
  s.Step = 0.5;
  s.CO2Factor = 3;
  s.CO2 = 0;
  const TzqColumnResult empty = compute(s, grey);
  s.CO2 = 400;
  const TzqColumnResult r1 = compute(s, grey);
  s.CO2 = 800;
  const TzqColumnResult r2 = compute(s, grey);
  ASSERT_TRUE(empty.Computed && r1.Computed && r2.Computed);
  const double d1 = empty.OLR1x - r1.OLR1x, d2 = empty.OLR1x - r2.OLR1x;
  EXPECT_GT(d1, 0);
  EXPECT_TRUE(zqtest::RelClose(d2, 2 * d1, 1e-4)) << d1 << " " << d2;
  EXPECT_TRUE(zqtest::RelClose(r1.ForcingTOA, 2 * d1, 1e-4));
  // The downwelling at the surface is the same thin emission seen from below.
  EXPECT_TRUE(zqtest::RelClose(r2.SurfaceDownwelling1x, 2 * r1.SurfaceDownwelling1x, 1e-4));
}

TEST(Column, CO2BandForcesMoreAtTheTropopauseThanAtTheTop) {
  columntest::BandSource band;
  TzqColumnSettings s = band_settings();
  const TzqColumnResult r = compute(s, band);
  ASSERT_TRUE(r.Computed) << r.Refusal;
  EXPECT_GT(r.ForcingTOA, 0);
  EXPECT_GT(r.ForcingTropopause, r.ForcingTOA);
  EXPECT_GT(r.SurfaceDownwellingNx, r.SurfaceDownwelling1x);
  EXPECT_LT(r.OLR1x, r.SurfaceEmission);
  // The bite: at the band centre the top sees the cold upper air, far out the warm surface.
  const auto at = [&](double nu) {
    return r.OLR1xSpectrum[static_cast<std::size_t>((nu - s.WavenumberMin) / r.Step)];
  };
  EXPECT_LT(at(667.4), 0.5 * at(565));
  // Water in the lower troposphere adds absorption: less OLR, more downwelling.
  columntest::BandSource wet(3e-19, 1e-22);
  s.WavenumberMin = 400;
  const TzqColumnResult dry = compute(s, band);
  s.RelativeHumidity = 60;
  const TzqColumnResult humid = compute(s, wet);
  ASSERT_TRUE(dry.Computed && humid.Computed);
  EXPECT_LT(humid.OLR1x, dry.OLR1x);
  EXPECT_GT(humid.SurfaceDownwelling1x, dry.SurfaceDownwelling1x);
}

TEST(Column, AngularQuadratureWithinATenthOfAPercent) {
  // The default nodes against a 48-node reference, in a humid column with the band.
  columntest::BandSource band(3e-19, 3e-22);
  TzqColumnSettings s = band_settings();
  s.WavenumberMin = 450;
  s.RelativeHumidity = 60;
  s.Step = 0.05;
  const TzqColumnResult r = compute(s, band);
  s.AngleNodes = 48;
  const TzqColumnResult reference = compute(s, band);
  ASSERT_TRUE(r.Computed && reference.Computed);
  EXPECT_TRUE(zqtest::RelClose(r.OLR1x, reference.OLR1x, 1e-3));
  EXPECT_TRUE(zqtest::RelClose(r.SurfaceDownwelling1x, reference.SurfaceDownwelling1x, 1e-3));
  EXPECT_TRUE(zqtest::RelClose(r.ForcingTOA, reference.ForcingTOA, 1e-3));
  EXPECT_TRUE(zqtest::RelClose(r.ForcingTropopause, reference.ForcingTropopause, 1e-3));
  // One node (a single slant path) is not enough: the check above can fail.
  s.AngleNodes = 1;
  EXPECT_FALSE(zqtest::RelClose(compute(s, band).ForcingTOA, reference.ForcingTOA, 1e-3));
}

TEST(Column, HalvingTheDefaultStepMovesOLRByLessThanFiveHundredthsOfAWatt) {
  columntest::BandSource band;
  TzqColumnSettings s = band_settings();
  const TzqColumnResult r = compute(s, band);
  s.Step /= 2;
  const TzqColumnResult half = compute(s, band);
  ASSERT_TRUE(r.Computed && half.Computed);
  EXPECT_LT(std::fabs(r.OLR1x - half.OLR1x), 0.05);
  EXPECT_LT(std::fabs(r.OLRNx - half.OLRNx), 0.05);
  EXPECT_LT(std::fabs(r.ForcingTOA - half.ForcingTOA), 0.01);
  EXPECT_EQ(half.Wavenumber.size(), 2 * r.Wavenumber.size());
}

TEST(Column, ThreadsAndTheCacheNeverChangeNumbers) {
  columntest::BandSource band(3e-19, 2e-22);
  TzqColumnSettings s = band_settings();
  s.WavenumberMin = 450;
  s.RelativeHumidity = 50;
  s.Step = 0.02;
  s.Threads = 1;
  const TzqColumnResult one = compute(s, band);
  s.Threads = 2;
  TzqColumn cached;
  const TzqColumnResult two = cached.Compute(s, band);
  expect_same_numbers(one, two);
  EXPECT_EQ(cached.LastFetches(), 2 * s.Layers);

  // A new multiple reuses the cross-sections and the 1x solution; with a new humidity as well, the
  // cross-sections only. Both agree with a fresh column.
  s.CO2Factor = 3;
  const TzqColumnResult multiple = cached.Compute(s, band);
  EXPECT_EQ(cached.LastFetches(), 0);
  expect_same_numbers(multiple, compute(s, band));
  EXPECT_EQ(multiple.OLR1x, two.OLR1x);
  s.CO2Factor = 4;
  s.RelativeHumidity = 70;
  const int callsBefore = band.calls;
  const TzqColumnResult again = cached.Compute(s, band);
  EXPECT_EQ(cached.LastFetches(), 0);
  EXPECT_EQ(band.calls, callsBefore);
  expect_same_numbers(again, compute(s, band));

  // A new surface temperature changes the tropospheric layers: those are fetched again.
  s.SurfaceTemperature = 290;
  const TzqColumnResult warmer = cached.Compute(s, band);
  int changed = 0;
  for (std::size_t k = 0; k < warmer.Profile.Layers.size(); ++k)
    changed += warmer.Profile.Layers[k].Temperature != two.Profile.Layers[k].Temperature;
  EXPECT_GT(changed, 5);
  EXPECT_LT(changed, s.Layers / 2);
  EXPECT_EQ(cached.LastFetches(), 2 * changed);
}

namespace {
// The band source, with water cross-sections that depend on the amount (self-broadening).
class SelfBroadenedSource : public columntest::BandSource {
public:
  SelfBroadenedSource() : BandSource(3e-19, 1e-22) {}
  bool DependsOnMixingRatio(TzqColumnGas gas) const override { return gas == TzqColumnGas::H2O; }
};
} // namespace

TEST(Column, AmountDependentCrossSectionsAreFetchedAgain) {
  SelfBroadenedSource source;
  TzqColumnSettings s = band_settings();
  s.RelativeHumidity = 40;
  s.Step = 0.05;
  TzqColumn column;
  column.Compute(s, source);
  s.RelativeHumidity = 50; // water below the tropopause changes, above it stays at 5 ppm
  const TzqColumnResult r = column.Compute(s, source);
  ASSERT_TRUE(r.Computed);
  EXPECT_EQ(column.LastFetches(), r.Profile.TropopauseLevel);
  s.CO2Factor = 3;
  column.Compute(s, source);
  EXPECT_EQ(column.LastFetches(), 0);
}

TEST(Column, CancelRefusesAndProgressRuns) {
  columntest::BandSource band;
  TzqColumnSettings s = band_settings();
  s.Step = 0.005; // 44 chunks of 1024 points: several progress reports
  s.Layers = 10;
  std::vector<double> fractions;
  std::atomic<bool> cancel{false};
  TzqColumnProgress progress{[&](double f) { fractions.push_back(f); }, &cancel};
  TzqColumn column;
  const TzqColumnResult done = column.Compute(s, band, progress);
  ASSERT_TRUE(done.Computed);
  ASSERT_FALSE(fractions.empty());
  EXPECT_TRUE(std::is_sorted(fractions.begin(), fractions.end()));
  EXPECT_EQ(fractions.back(), 1.0);

  // Cancelled while fetching and while solving: a refusal and no numbers.
  for (bool warm : {false, true}) {
    TzqColumn fresh;
    TzqColumn& target = warm ? column : fresh;
    int calls = 0;
    TzqColumnProgress stopper{[&](double) {
                                if (++calls == 2) cancel = true;
                              },
                              &cancel};
    cancel = false;
    s.CO2Factor = warm ? 3 : 2;
    const TzqColumnResult r = target.Compute(s, band, stopper);
    EXPECT_FALSE(r.Computed) << warm;
    EXPECT_EQ(r.Refusal, "Column computation cancelled");
    EXPECT_EQ(r.OLR1x, 0);
    EXPECT_TRUE(r.OLR1xSpectrum.empty());
  }
  // After a cancel the column computes as before.
  cancel = false;
  s.CO2Factor = 2;
  expect_same_numbers(column.Compute(s, band, progress), done);
}

namespace {
// Refuses (0), gives a negative cross-section (1), or throws (2).
class RefusingSource : public TzqCrossSectionSource {
public:
  explicit RefusingSource(int how) : how_(how) {}
  bool CrossSections(TzqColumnGas, const TzqLayerConditions&, std::span<const double>,
                     std::span<double> sigma, std::string& reason) override {
    if (how_ == 2) throw std::runtime_error("line list vanished");
    if (how_ == 1) {
      sigma[0] = -1;
      return true;
    }
    reason = "No CO2 lines loaded";
    return false;
  }

private:
  int how_;
};
} // namespace

TEST(Column, RefusalsAreDataNotNumbers) {
  RefusingSource refusing(0), negative(1), throwing(2);
  TzqColumnSettings s = band_settings();
  s.Step = 0.1;
  TzqColumnResult r = compute(s, refusing);
  EXPECT_FALSE(r.Computed);
  EXPECT_EQ(r.Refusal, "No CO2 lines loaded");
  r = compute(s, negative);
  EXPECT_FALSE(r.Computed);
  EXPECT_EQ(r.Refusal, "Cross-sections must be numbers from 0 to 1e-10 cm2");
  r = compute(s, throwing);
  EXPECT_FALSE(r.Computed);
  EXPECT_EQ(r.Refusal, "Column computation failed: line list vanished");
  columntest::GreySource grey(1e-22, 1e-22);
  s.Layers = 0;
  r = compute(s, grey);
  EXPECT_FALSE(r.Computed);
  EXPECT_EQ(r.Refusal, "Number of layers must be 1 to 500");
  EXPECT_EQ(grey.calls, 0);
}
