// The radiative-transfer building blocks against independent references: the Planck band integral
// against brute-force quadrature of the Planck function and the Stefan-Boltzmann law, Gauss-Legendre
// exactness, and the layer factors against direct integration of the linear source along a ray.
#include "TestSupport.h"
#include "zqPhysicalConstants.h"
#include "zqPlanck.h"
#include "zqRadiativeTransfer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

// pi * integral of Radiance over [a, b]: composite 20-point Gauss-Legendre on 1 cm-1 panels.
double brute_force_exitance(double a, double b, double t) {
  const zqrt::Quadrature g = zqrt::GaussLegendre01(20);
  long double sum = 0;
  for (double lo = a; lo < b; lo += 1) {
    const double hi = std::min(b, lo + 1);
    for (std::size_t i = 0; i < g.Nodes.size(); ++i)
      sum += g.Weights[i] * (hi - lo) * zqplanck::Radiance(lo + (hi - lo) * g.Nodes[i], t);
  }
  return static_cast<double>(std::numbers::pi * sum);
}

} // namespace

TEST(PlanckBand, WholeSpectrumIsStefanBoltzmann) {
  for (double t : {3.0, 200.0, 288.0, 1000.0})
    EXPECT_TRUE(
        zqtest::RelClose(zqplanck::BandExitance(0, 1e7, t), zqconst::StefanBoltzmann * std::pow(t, 4), 1e-9))
        << t;
  EXPECT_EQ(zqplanck::BandExitance(0, 100, 0), 0);
  EXPECT_EQ(zqplanck::BandExitance(500, 400, 288), 0);
}

TEST(PlanckBand, MatchesQuadratureOnBothSidesOfTheSeriesSwitch) {
  // x = c2 nu / T crosses 1 (where the series switch) near 200 cm-1 at 288 K and 70 cm-1 at 100 K.
  struct Band {
    double a, b, t;
  };
  for (const Band& band : {Band{0, 150, 288}, Band{150, 260, 288}, Band{0, 2500, 288}, Band{600, 740, 220},
                           Band{2000, 2500, 200}, Band{40, 90, 100}, Band{3000, 3100, 150}}) {
    const double exact = zqplanck::BandExitance(band.a, band.b, band.t);
    EXPECT_TRUE(zqtest::RelClose(exact, brute_force_exitance(band.a, band.b, band.t), 1e-12))
        << band.a << "-" << band.b << " at " << band.t;
  }
  // Additive across the switch.
  EXPECT_TRUE(zqtest::RelClose(zqplanck::BandExitance(0, 180, 288) + zqplanck::BandExitance(180, 500, 288),
                               zqplanck::BandExitance(0, 500, 288), 1e-14));
}

TEST(GaussLegendre, ExactForPolynomialsUpToDegreeTwoNMinusOne) {
  for (int n : {1, 2, 3, 4, 7, 16, 48}) {
    const zqrt::Quadrature q = zqrt::GaussLegendre01(n);
    ASSERT_EQ(q.Nodes.size(), static_cast<std::size_t>(n));
    for (int degree = 0; degree < 2 * n; ++degree) {
      long double sum = 0;
      for (int i = 0; i < n; ++i)
        sum += q.Weights[static_cast<std::size_t>(i)] *
               std::pow(static_cast<long double>(q.Nodes[static_cast<std::size_t>(i)]), degree);
      EXPECT_NEAR(static_cast<double>(sum), 1.0 / (degree + 1), 1e-14) << n << " nodes, degree " << degree;
    }
    for (int i = 0; i + 1 < n; ++i)
      EXPECT_LT(q.Nodes[static_cast<std::size_t>(i)], q.Nodes[static_cast<std::size_t>(i) + 1]);
  }
  EXPECT_TRUE(zqrt::GaussLegendre01(0).Nodes.empty());
}

TEST(LayerTransfer, MatchesDirectIntegrationOfTheLinearSource) {
  // Along a ray of optical thickness x leaving at s = 0: I = I_in e^-x + integral_0^x B(s) e^-s ds with
  // B(s) = bNear + (bFar - bNear) s / x; 64-point Gauss-Legendre on the ray in long double.
  const zqrt::Quadrature g = zqrt::GaussLegendre01(64);
  const double in = 0.7, bNear = 1.3, bFar = 2.9;
  for (double x : {1e-12, 1e-6, 1e-3, 0.00999, 0.01, 0.0101, 0.1, 1.0, 7.0, 40.0}) {
    long double source = 0;
    for (std::size_t i = 0; i < g.Nodes.size(); ++i) {
      const long double s = x * static_cast<long double>(g.Nodes[i]);
      source += g.Weights[i] * x * (bNear + (bFar - bNear) * s / x) * std::exp(-s);
    }
    const double expected = static_cast<double>(in * std::exp(-static_cast<long double>(x)) + source);
    const double got = zqrt::Transfer(in, bNear, bFar, zqrt::LayerTransferFactors(x));
    EXPECT_TRUE(zqtest::RelClose(got, expected, 3e-14)) << "x = " << x << ": " << got << " vs " << expected;
  }
  // The series and the closed form meet at the switch without a step.
  EXPECT_TRUE(zqtest::RelClose(zqrt::TransferLinearSeries(0.01), zqrt::LayerTransferFactors(0.01).L, 2e-12));
  const zqrt::LayerTransfer zero = zqrt::LayerTransferFactors(0);
  EXPECT_EQ(zero.T, 1);
  EXPECT_EQ(zero.A, 0);
  EXPECT_EQ(zero.L, 0);
}
