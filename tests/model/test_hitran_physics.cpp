// The HITRAN-mode formulas against values computed independently in 40-digit arithmetic (mpmath,
// from the formulas as published), the TIPS interpolation against its tables, and the Planck
// integrals against their closed forms.
#include "TestSupport.h"
#include "zqHitranPhysics.h"
#include "zqHitranRecord.h"
#include "zqPartitionSums.h"
#include "zqPhysicalConstants.h"
#include "zqPlanck.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

using zqtest::RelClose;

const zqtips::TIsotopologue& iso(int molecule) {
  const zqtips::TIsotopologue* found = zqtips::FindIsotopologue(molecule, 1);
  EXPECT_NE(found, nullptr);
  return *found;
}

TEST(PartitionSums, MatchTheTablesAtNodesAndTheLagrangeRuleBetween) {
  struct Row {
    double t, h2o, co2, rel;
  };
  // Nodes are returned exactly as printed; 296 K is the cubic through 280..310 K (README values).
  const Row rows[] = {{220, 112.2112, 201.2421, 1e-7},
                      {250, 135.7004, 232.8373, 1e-7},
                      {296, 174.5813504, 286.0939488, 1e-9},
                      {300, 178.1207, 291.0406, 1e-7},
                      {310, 187.0777, 303.6480, 1e-7}};
  for (const Row& r : rows) {
    const auto h2o = zqtips::PartitionSum(iso(1), r.t), co2 = zqtips::PartitionSum(iso(2), r.t);
    ASSERT_TRUE(h2o.Valid() && co2.Valid()) << r.t;
    EXPECT_TRUE(RelClose(h2o.Q, r.h2o, r.rel)) << r.t << " " << h2o.Q;
    EXPECT_TRUE(RelClose(co2.Q, r.co2, r.rel)) << r.t << " " << co2.Q;
  }
  // A node of the table comes back bit for bit.
  EXPECT_EQ(zqtips::PartitionSum(iso(2), 10).Q, 9.074332);
}

TEST(PartitionSums, LagrangeRuleReproducesCubicsInsideAndQuadraticsAtTheEnds) {
  // Nodes like the tables' (1, 10, 20, ...): the cubic stencil is exact for a cubic, the quadratic
  // end stencils for a quadratic.
  std::vector<double> t{1}, cubic{}, quadratic{};
  for (int k = 1; k <= 20; ++k)
    t.push_back(10.0 * k);
  auto p3 = [](double x) { return 2 + 0.5 * x - 3e-3 * x * x + 1e-5 * x * x * x; };
  auto p2 = [](double x) { return 7 - 0.25 * x + 4e-3 * x * x; };
  for (double x : t) {
    cubic.push_back(p3(x));
    quadratic.push_back(p2(x));
  }
  for (double x : {15.0, 33.3, 100.0, 187.5})
    EXPECT_TRUE(RelClose(zqtips::LagrangeInterpolate(t, cubic, x), p3(x), 1e-12)) << x;
  for (double x : {1.0, 4.5, 10.0, 191.0, 199.9, 200.0})
    EXPECT_TRUE(RelClose(zqtips::LagrangeInterpolate(t, quadratic, x), p2(x), 1e-12)) << x;
}

TEST(PartitionSums, RefuseTemperaturesOutsideTheTablesAndUnknownIsotopologues) {
  for (double t : {0.99, 5000.01, -10.0, std::nan(""), HUGE_VAL}) {
    const auto q = zqtips::PartitionSum(iso(1), t);
    EXPECT_FALSE(q.Valid()) << t;
    EXPECT_NE(q.Refusal.find("H2O 161"), std::string::npos) << q.Refusal;
  }
  EXPECT_TRUE(zqtips::PartitionSum(iso(2), 1).Valid());
  EXPECT_TRUE(zqtips::PartitionSum(iso(2), 5000).Valid());
  EXPECT_EQ(zqtips::FindIsotopologue(2, 2), nullptr);
  EXPECT_EQ(zqtips::FindIsotopologue(5, 1), nullptr);
  EXPECT_EQ(iso(1).MolarMass, 18.010565);
  EXPECT_EQ(iso(2).MolarMass, 43.98983);
}

TEST(HitranRecords, PressureShiftIsReadFromColumns60To67OrIsUnknown) {
  std::string record(100, ' ');
  auto with_shift = [&](const std::string& field) {
    std::string r = record;
    r.replace(59, 8, field);
    return r;
  };
  EXPECT_EQ(zqhitran::PressureShift(with_shift("-.002000")), -0.002);
  EXPECT_EQ(zqhitran::PressureShift(with_shift(" 0.00123")), 0.00123);
  EXPECT_EQ(zqhitran::PressureShift(with_shift("-1.2D-03")), -1.2e-3);
  EXPECT_TRUE(std::isnan(zqhitran::PressureShift(with_shift("        "))));
  EXPECT_TRUE(std::isnan(zqhitran::PressureShift(with_shift("  -.0x1 "))));
  EXPECT_TRUE(std::isnan(zqhitran::PressureShift(record.substr(0, 64)))); // cut short
}

TEST(HitranFormulas, IntensityWidthsCentreAndDensityAgreeWithHandValues) {
  // CO2 line at 667.493806 cm-1 of the 250 K / 506.625 mb / 400 ppm reference case.
  EXPECT_TRUE(RelClose(zqphys::LineIntensity(2.564e-19, 667.493806, 42.9225, 250, 286.0939488, 232.8373),
                       3.0871028823543345e-19, 1e-14));
  // Low wavenumber, high E'': the stimulated-emission factor matters and must not cancel.
  EXPECT_TRUE(RelClose(zqphys::LineIntensity(1e-22, 5.0, 3000, 220, 286.0939488, 201.2421),
                       1.2362084928998152e-24, 1e-13));
  EXPECT_TRUE(RelClose(zqphys::LorentzHalfWidth(0.0791, 0.108, 0.68, 250, 506.625, 400), 0.044369967479474404,
                       1e-14));
  // Negative temperature exponent and strong self broadening (2 % H2O).
  EXPECT_TRUE(
      RelClose(zqphys::LorentzHalfWidth(0.05, 0.3, -0.61, 220, 10, 20000), 0.00045293509081735043, 1e-14));
  const double centre = zqphys::ShiftedCentre(667.493806, -0.002, 506.625);
  EXPECT_TRUE(RelClose(centre, 667.492806, 1e-15));
  EXPECT_TRUE(RelClose(zqphys::DopplerHalfWidth(centre, 250, 43.98983), 0.00056985527117921485, 1e-14));
  EXPECT_TRUE(RelClose(zqphys::DopplerHalfWidth(1600, 296, 18.010565), 0.0023228773946390619, 1e-14));
  EXPECT_TRUE(RelClose(zqphys::NumberDensity(400, 506.625, 250), 5871151900301959.4, 1e-14));
}

TEST(HitranFormulas, ProfilesHaveUnitArea) {
  // Midpoint sums over +-2000 half widths: the Lorentz tails beyond hold 2/pi/2000 of the area.
  auto area = [](auto f, double width) {
    const double h = width / 200, reach = 2000 * width;
    double sum = 0;
    for (double d = -reach + h / 2; d < reach; d += h)
      sum += f(d) * h;
    return sum;
  };
  const double tail = 2 / std::numbers::pi / 2000;
  EXPECT_NEAR(area([](double d) { return zqphys::LorentzProfile(d, 0.05); }, 0.05), 1 - tail, 1e-6);
  EXPECT_NEAR(area([](double d) { return zqphys::GaussProfile(d, 0.002); }, 0.002), 1, 1e-12);
  EXPECT_NEAR(area([](double d) { return zqphys::VoigtProfile(d, 0.01, 0.002); }, 0.01), 1 - tail, 1e-5);
}

TEST(Planck, ExitanceAndBandIntegralsAgreeWithExactValues) {
  EXPECT_TRUE(RelClose(zqplanck::Exitance(667, 288), 0.41125179631950811, 1e-13));
  EXPECT_TRUE(RelClose(zqplanck::Exitance(0.5, 5000), 3.2505932108088796e-5, 1e-13));
  EXPECT_TRUE(RelClose(zqplanck::Exitance(4000, 200), 7.624302269944264e-10, 1e-13));
  EXPECT_TRUE(RelClose(zqplanck::BandExitance(500, 800, 288), 122.03686729685651, 1e-12));
  EXPECT_TRUE(RelClose(zqplanck::BandExitance(0.001, 50, 288), 0.28381967549103505, 1e-12));
  // The whole spectrum gives sigma T^4.
  for (double t : {3.0, 255.0, 288.0, 5800.0})
    EXPECT_TRUE(RelClose(zqplanck::BandExitance(0, 1e7, t), zqconst::StefanBoltzmann * std::pow(t, 4), 1e-9))
        << t;
  EXPECT_EQ(zqplanck::Exitance(0, 288), 0);
  EXPECT_EQ(zqplanck::BandExitance(800, 500, 288), 0);
}

TEST(PathQuantities, OpticalDepthPathsAndAbsorbedPowerAreConsistent) {
  const double sigma = 3e-19, n = 1e16;
  EXPECT_TRUE(RelClose(zqphys::OpticalDepth(sigma, n, 2), 3e-19 * 1e16 * 200, 1e-15));
  for (double f : {1e-9, 0.5, 0.9, 0.999999}) {
    const double path = zqphys::PathForFraction(sigma, n, f);
    EXPECT_TRUE(RelClose(-std::expm1(-zqphys::OpticalDepth(sigma, n, path)), f, 1e-12)) << f;
  }
  EXPECT_TRUE(std::isinf(zqphys::PathForFraction(0, n, 0.5)));
  // An opaque path absorbs the whole band (rectangle sum of the exact integral), a transparent none.
  std::vector<double> x, opaque, clear;
  const double step = 0.01;
  for (int k = 1; k <= 30000; ++k) {
    x.push_back(500 + k * step);
    opaque.push_back(1);
    clear.push_back(0);
  }
  EXPECT_TRUE(RelClose(zqphys::AbsorbedBlackbodyPower(x, opaque, step, n, 1000, 288),
                       zqplanck::BandExitance(500, 800, 288), 1e-5));
  EXPECT_EQ(zqphys::AbsorbedBlackbodyPower(x, clear, step, n, 1000, 288), 0);
}

// A piece of spectrum made of two equal halves: its transmittance, absorptance and effective depth are
// those of the halves' mean, the depth stays finite where the transmittance underflows, and the path
// that absorbs a fraction solves A(L) = f, also where only one half absorbs (at most half the light).
TEST(PathQuantities, APieceAbsorbsTheMeanOfItsPartsAndItsPathSolvesThat) {
  const double n = 1e16, k = 3e-19 * n * 100; // per m
  const std::vector<double> halves{3e-19, 1e-19}, width{0.002, 0.002};
  const double L = 2;
  const double t = (std::exp(-k * L) + std::exp(-k * L / 3)) / 2;
  EXPECT_TRUE(RelClose(zqphys::MeanTransmittance(halves, width, n, L), t, 1e-14));
  EXPECT_TRUE(RelClose(zqphys::MeanAbsorptance(halves, width, n, L), 1 - t, 1e-14));
  EXPECT_TRUE(RelClose(zqphys::EffectiveOpticalDepth(halves, width, n, L), -std::log(t), 1e-14));
  // tau = 1000 and 2000: exp underflows, -ln T = 1000 + ln 2 - ln(1 + e^-1000).
  const double dense = 1000 / (n * 100 * L);
  const std::vector<double> thick{dense, 2 * dense};
  EXPECT_TRUE(RelClose(zqphys::EffectiveOpticalDepth(thick, width, n, L), 1000 + std::log(2.0), 1e-14));
  // One point is a point.
  const std::vector<double> one{3e-19}, one_width{0.1};
  EXPECT_EQ(zqphys::EffectiveOpticalDepth(one, one_width, n, L), zqphys::OpticalDepth(3e-19, n, L));
  EXPECT_EQ(zqphys::PathForFractionOfPiece(one, one_width, n, 0.7, 1e9),
            zqphys::PathForFraction(3e-19, n, 0.7));

  for (double f : {0.01, 0.5, 0.9}) {
    const double path = zqphys::PathForFractionOfPiece(halves, width, n, f, 1e9);
    EXPECT_TRUE(RelClose(zqphys::MeanAbsorptance(halves, width, n, path), f, 1e-12)) << f;
    // Longer than the path of the mean cross-section (it would spread the strong half over the piece).
    EXPECT_GT(path, zqphys::PathForFraction(2e-19, n, f)) << f;
  }
  const std::vector<double> half_clear{3e-19, 0};
  EXPECT_TRUE(
      RelClose(zqphys::PathForFractionOfPiece(half_clear, width, n, 0.4, 1e9), std::log(5.0) / k, 1e-12));
  EXPECT_TRUE(std::isinf(zqphys::PathForFractionOfPiece(half_clear, width, n, 0.6, 1e9)));
  EXPECT_GE(zqphys::PathForFractionOfPiece(halves, width, n, 0.9, 1e-6), 1e-6);
}

} // namespace
