// The classic formulas as named functions: fixed points where the answer is known exactly, and
// Planck's law against the exact SI constants.
#include "TestSupport.h"
#include "zqClassicFormulas.h"
#include "zqPlanck.h"

#include <gtest/gtest.h>

#include <numbers>

TEST(ClassicFormulas, LineAdjustmentIsTheIdentityAtHitranConditions) {
  for (bool nonlinear : {false, true}) {
    const auto f = zqclassic::LineAdjustment(nonlinear, 1013, 296);
    EXPECT_EQ(f.r, 1);
    EXPECT_EQ(f.e, 0);
    EXPECT_EQ(f.g, 1);
    EXPECT_EQ(zqclassic::AdjustedIntensity(2.5e-20, 1234.5, f), 2.5e-20);
    EXPECT_EQ(zqclassic::AdjustedWidth(0.0746, f), 0.0746);
  }
  // Colder: a nonlinear molecule's partition ratio is the linear one to the power 1.5; half the
  // pressure halves the width at the same temperature.
  const auto lin = zqclassic::LineAdjustment(false, 506.5, 250),
             non = zqclassic::LineAdjustment(true, 506.5, 250);
  EXPECT_TRUE(zqtest::RelClose(double(non.r), std::pow(double(lin.r), 1.5), 1e-15));
  EXPECT_TRUE(zqtest::RelClose(double(lin.g), std::sqrt(296.0 / 250) / 2, 1e-15));
  EXPECT_GT(zqclassic::AdjustedIntensity(1e-20, 0, lin), 1e-20);
  EXPECT_LT(zqclassic::AdjustedIntensity(1e-20, 3000, lin), 1e-20); // high lower state empties in the cold
}

TEST(ClassicFormulas, ColumnDensityScalesWithPressureAndInverseTemperature) {
  EXPECT_EQ(zqclassic::ColumnDensity(1, 1013, 288), zqconst::ClassicColumnDensity);
  EXPECT_TRUE(zqtest::RelClose(zqclassic::ColumnDensity(350, 506.5, 144), 350 * zqconst::ClassicColumnDensity,
                               1e-15));
  EXPECT_TRUE(zqtest::RelClose(double(zqclassic::DopplerWidthFactor(44, 44)), 4.298e-5, 1e-15));
}

TEST(ClassicFormulas, SaturationPressureAtTheSteamPointIsOneAtmosphere) {
  EXPECT_EQ(zqclassic::SaturationVapourPressure(373.15L), 1013.25L);
  EXPECT_EQ(zqclassic::SaturationVapourPressure(0), 0);
  EXPECT_LT(zqclassic::SaturationVapourPressure(288), zqclassic::SaturationVapourPressure(289));
}

// Both classic Planck pairs agree with 2 pi h c^2 / lambda^5 / (exp(hc / lambda k T) - 1) to their
// digits: the curves' pair to 1e-4, the power integral's shorter pair (c2 = 0.014388) to 1e-3.
TEST(ClassicFormulas, PlanckPairsAgreeWithTheSIConstants) {
  const long double h = zqconst::Planck, c = zqconst::SpeedOfLight, k = zqconst::Boltzmann;
  const long double c1 = 2 * std::numbers::pi_v<long double> * h * c * c, c2 = h * c / k;
  for (long double lambda : {4e-6L, 15e-6L, 100e-6L}) {
    const long double l5 = std::pow(lambda, 5.0L);
    const double exact = double(zqplanck::ClassicLaw(c1, c2, l5, lambda, 288));
    EXPECT_TRUE(zqtest::RelClose(
        double(zqplanck::ClassicLaw(zqconst::ClassicPlanckC1, zqconst::ClassicPlanckC2, l5, lambda, 288)),
        exact, 1e-4));
    EXPECT_TRUE(zqtest::RelClose(double(zqplanck::ClassicLaw(zqconst::ClassicPowerPlanckC1,
                                                             zqconst::ClassicPowerPlanckC2, l5, lambda, 288)),
                                 exact, 1e-3));
  }
}
