// The warming that restores the balance: the solve lands on the base flux from any start, a change
// that forces nothing needs no warming, a grey column agrees with its closed form, and the water held
// at fixed relative humidity warms more than fixed vapour.
#include "ColumnTestSources.h"
#include "TestSupport.h"
#include "zqColumnBalance.h"
#include "zqPlanck.h"
#include "zqRadiativeTransfer.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TzqColumnSettings balance_settings() {
  TzqColumnSettings s;
  s.WavenumberMin = 450;
  s.WavenumberMax = 850;
  s.Step = 0.25;
  s.Layers = 24;
  s.CO2 = 400;
  return s;
}

// A grey CO2 absorber everywhere but in the lowest layer, which stays transparent: only the ground's
// warming then reaches the top.
class GreyAboveTheGround : public TzqCrossSectionSource {
public:
  explicit GreyAboveTheGround(double sigma) : sigma_(sigma) {}
  bool CrossSections(TzqColumnGas gas, const TzqLayerConditions& layer, std::span<const double>,
                     std::span<double> sigma, std::string&) override {
    if (gas == TzqColumnGas::CO2 && layer.Layer > 0) std::fill(sigma.begin(), sigma.end(), sigma_);
    return true;
  }

private:
  double sigma_;
};

} // namespace

TEST(ColumnBalance, LandsOnTheBaseFluxFromAnyStartAndNeedsNothingWithoutAForcing) {
  columntest::BandSource band(3e-19, 2e-22);
  const TzqColumnSources sources = SameSourceForEveryGas(band);
  for (TzqHold hold : {TzqHold::Vapour, TzqHold::RH}) {
    double first = std::nan("");
    for (double start : {0.01, 5.0, 10.0}) {
      TzqColumn column;
      const TzqBalance b = SolveBalance(column, balance_settings(), sources, hold, {}, start);
      ASSERT_TRUE(b.Solved) << b.Refusal;
      const TzqColumnResult& r = b.Result;
      EXPECT_NEAR(r.Diagnostics[1].ObservedFlux, r.Diagnostics[0].ObservedFlux, 1e-6) << start;
      EXPECT_GT(b.Warming, 0);
      EXPECT_LT(std::fabs(b.InterpolationError), 0.005) << start;
      if (std::isnan(first)) first = b.Warming;
      EXPECT_NEAR(b.Warming, first, 1e-4) << start;
      EXPECT_NEAR(b.FeedbackParameter * b.Warming, b.Forcing, 1e-9);
    }
  }
  TzqColumnSettings same = balance_settings();
  same.CO2Factor = 1;
  TzqColumn column;
  const TzqBalance none = SolveBalance(column, same, sources, TzqHold::RH);
  ASSERT_TRUE(none.Solved);
  EXPECT_EQ(none.Warming, 0);
  EXPECT_EQ(none.Iterations, 0);
}

TEST(ColumnBalance, GreyColumnAgreesWithItsClosedForm) {
  // A ground at 200 K under the standard stratosphere: the tropopause is the lowest level, so the
  // warming moves the ground and that level alone, and the lowest layer is transparent. The top then
  // sees t M(Ts + dT) + (what the air sends), t the grey flux transmittance 2 sum w mu e^(-tau / mu) of
  // the doubled CO2: the balance is M(Ts + dT) = M(Ts) + F / t, F the forcing at dT = 0.
  constexpr double kSigma = 2e-23;
  GreyAboveTheGround grey(kSigma);
  TzqColumnSettings s = balance_settings();
  s.SurfaceTemperature = 200;
  s.RelativeHumidity = 0;
  TzqColumn column;
  const TzqBalance b = SolveBalance(column, s, SameSourceForEveryGas(grey), TzqHold::Vapour);
  ASSERT_TRUE(b.Solved) << b.Refusal;
  ASSERT_EQ(b.Result.Profile.TropopauseLevel, 0);
  double tau = 0;
  for (std::size_t k = 1; k < b.Result.Profile.Layers.size(); ++k)
    tau += ColumnAmount(b.Result.Profile.Layers[k], TzqColumnGas::CO2, s.CO2Factor) * kSigma;
  const zqrt::Quadrature q = zqrt::GaussLegendre01(s.AngleNodes);
  double t = 0;
  for (std::size_t i = 0; i < q.Nodes.size(); ++i)
    t += 2 * q.Weights[i] * q.Nodes[i] * std::exp(-tau / q.Nodes[i]);
  ASSERT_GT(t, 0.05);
  ASSERT_LT(t, 0.95);
  const double m = zqplanck::BandExitance(s.WavenumberMin, s.WavenumberMax, 200) + b.Forcing / t;
  const double expected = zqplanck::BandEffectiveTemperature(s.WavenumberMin, s.WavenumberMax, m) - 200;
  EXPECT_NEAR(b.Warming, expected, 1e-4) << "forcing " << b.Forcing;
}

TEST(ColumnBalance, FixedRelativeHumidityWarmsMore) {
  columntest::BandSource band(3e-19, 3e-22); // water absorbs in the far wings of the band
  TzqColumnSettings s = balance_settings();
  s.RelativeHumidity = 80;
  TzqColumn column;
  const TzqBalance vapour = SolveBalance(column, s, SameSourceForEveryGas(band), TzqHold::Vapour);
  const TzqBalance rh = SolveBalance(column, s, SameSourceForEveryGas(band), TzqHold::RH);
  ASSERT_TRUE(vapour.Solved && rh.Solved);
  EXPECT_GT(rh.Warming, vapour.Warming);
  EXPECT_LT(rh.FeedbackParameter, vapour.FeedbackParameter);
  // Warming the state by the answer reproduces its flux through the public settings.
  s.Offset = rh.Warming;
  s.Hold = TzqHold::RH;
  const TzqColumnResult r = column.Compute(s, band);
  ASSERT_TRUE(r.Computed);
  EXPECT_NEAR(r.OLRNx, r.OLR1x, 1e-6);
}
