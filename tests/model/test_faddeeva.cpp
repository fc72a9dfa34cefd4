// The Faddeeva kernel against libcerf (an independent implementation accurate to about 1e-13) over the
// (x, y) plane that spectra use, its limits, and the agreement of every instruction-set version.
#include "CerfQuadrature.h"
#include "TestSupport.h"
#include "zqFaddeeva.h"
#include "zqHitranPhysics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iostream>
#include <numbers>
#include <vector>

namespace {

TEST(Faddeeva, RealPartAgreesWithLibcerfOverTheSpectraPlane) {
  // y from 1e-4 (low pressure, narrow Lorentz width) to 1e4, x from the centre out past the
  // 200-half-width wings (|x| <= 200 max(sqrt(ln2), y) + 10), denser near the centre.
  double worst = 0, worst_x = 0, worst_y = 0;
  long points = 0;
  double per_region[3] = {0, 0, 0};
  for (double ly = -4; ly <= 4.0001; ly += 0.02) {
    const double y = std::pow(10.0, ly);
    const double reach = 200 * std::max(0.8326, y) + 10;
    std::vector<double> xs;
    for (double x = 0; x < 12; x += 0.0137)
      xs.push_back(x);
    for (double x = 12; x < reach; x *= 1.003)
      xs.push_back(x);
    for (double x : xs) {
      const double ref = re_w_of_z(x, y);
      const double rel = std::fabs(zqvoigt::ReW(x, y) - ref) / ref;
      const int region = static_cast<int>(zqvoigt::RegionOf(x, y));
      per_region[region] = std::max(per_region[region], rel);
      if (rel > worst) worst = rel, worst_x = x, worst_y = y;
      ++points;
    }
  }
  std::cout << points << " points; largest relative error " << worst << " at x = " << worst_x
            << ", y = " << worst_y << " (central " << per_region[0] << ", mid " << per_region[1] << ", far "
            << per_region[2] << ")\n";
  EXPECT_LT(worst, 1e-8);
  // Re w is even in x.
  EXPECT_EQ(zqvoigt::ReW(-3.7, 0.2), zqvoigt::ReW(3.7, 0.2));
}

TEST(Faddeeva, VoigtTendsToLorentzAtHighPressureAndToGaussAtLowPressure) {
  const double gd = 1e-3;
  // gammaL = 1e4 gammaD: the Gauss part is a relative correction of order (gammaD/gammaL)^2.
  for (double d : {0.0, 3.0, 30.0, 2000.0})
    EXPECT_TRUE(zqtest::RelClose(zqphys::VoigtProfile(d, 10, gd), zqphys::LorentzProfile(d, 10), 1e-8)) << d;
  // gammaL = 1e-4 gammaD: near the core the Lorentz part adds about gammaL/gammaD relative.
  for (double d : {0.0, 0.5e-3, 1e-3, 2e-3})
    EXPECT_TRUE(zqtest::RelClose(zqphys::VoigtProfile(d, 1e-7, gd), zqphys::GaussProfile(d, gd), 5e-4)) << d;
  // ... and in the far wing the Lorentz part takes over again, as it must.
  EXPECT_GT(zqphys::VoigtProfile(0.05, 1e-7, gd), 1e3 * zqphys::GaussProfile(0.05, gd));
}

TEST(Faddeeva, EveryVersionGivesTheScalarResultWhereverARunStarts) {
  // A grid through a line so that runs cross all three regions; runs start at every alignment.
  std::vector<double> grid(400);
  for (int k = 0; k < 400; ++k)
    grid[static_cast<std::size_t>(k)] = 600 + (k + 1) * 0.004;
  const double nu = 600.7913, shift = -1.1e-3, c = std::sqrt(std::numbers::ln2) / 6e-4, y = c * 1.3e-3 / 2,
               a = 2.5e-19;
  std::vector<double> expect_v(400, 1e-21), expect_l(400, 1e-21);
  for (int k = 0; k < 400; ++k) {
    const auto u = static_cast<std::size_t>(k);
    const double d = (grid[u] - nu) - shift;
    expect_v[u] = std::fma(a, zqvoigt::ReW(d * c, y), expect_v[u]);
    expect_l[u] = expect_l[u] + 1e-21 / std::fma(d, d, 1e-6);
  }
  zqvoigt::TKernelSet kernels[3];
  const int n = zqvoigt::AvailableKernels(kernels);
  for (int i = 0; i < n; ++i)
    for (long lo : {0L, 1L, 3L, 5L, 7L})
      for (long hi : {399L, 398L, 396L, 394L}) {
        std::vector<double> v(400, 1e-21), l(400, 1e-21);
        kernels[i].Voigt(v.data(), grid.data(), lo, hi, nu, shift, c, y, a);
        kernels[i].Lorentz(l.data(), grid.data(), lo, hi, nu, shift, 1e-21, 1e-6);
        for (long k = 0; k < 400; ++k) {
          const auto u = static_cast<std::size_t>(k);
          const bool inside = k >= lo && k <= hi;
          ASSERT_EQ(v[u], inside ? expect_v[u] : 1e-21)
              << kernels[i].Name << " " << lo << " " << hi << " " << k;
          ASSERT_EQ(l[u], inside ? expect_l[u] : 1e-21)
              << kernels[i].Name << " " << lo << " " << hi << " " << k;
        }
      }
}

// The integral of Re w over cells from 1e-6 to 25 units wide, at the centre, across the regions'
// borders and in the far wings, for 1e-8 <= y <= 1e4: within 1e-11 of the whole line's sqrt(pi), and in
// the wings to 1e-8 of itself; over the whole line it is sqrt(pi) less the Lorentz tails. A region's
// cumulative gives the same cells by its differences, one evaluation per edge.
TEST(Faddeeva, IntegralAgreesWithLibcerfQuadratureAndKeepsTheArea) {
  const double root_pi = std::sqrt(std::numbers::pi);
  double worst = 0, worst_wing = 0;
  for (double y : {1e-8, 1e-4, 0.01, 0.3, 1.0, 9.0, 11.0, 63.0, 64.0, 300.0, 1e4}) {
    for (double a : {-300.0, -12.0, -9.99, -2.0, -0.3, 0.0, 0.7, 3.0, 9.9, 10.1, 70.0, 250.0})
      for (double width : {1e-6, 1e-3, 0.3, 4.0, 25.0}) {
        const double mine = zqvoigt::ReWIntegral(a, a + width, y),
                     ref = modeltest::ReWQuadrature(a, a + width, y);
        worst = std::max(worst, std::fabs(mine - ref) / root_pi);
        if (std::fabs(a) > 50 * std::max(1.0, y) && ref > 1e-290)
          worst_wing = std::max(worst_wing, std::fabs(mine - ref) / ref);
      }
    const double tails = 2 / std::numbers::pi * std::atan(y / 1e7); // Lorentz wings beyond |x| = 1e7
    EXPECT_NEAR(zqvoigt::ReWIntegral(-1e7, 1e7, y) / root_pi, 1 - tails, 1e-12) << y;
    EXPECT_EQ(zqvoigt::ReWIntegral(1, 1, y), 0);
  }
  std::cout << "largest error " << worst << " of sqrt(pi), in the wings " << worst_wing << " of the cell\n";
  EXPECT_LT(worst, 1e-11);
  EXPECT_LT(worst_wing, 1e-8);

  for (double y : {0.3, 20.0, 100.0}) {
    const zqvoigt::Region region = zqvoigt::IntervalRegion(-3, 3, y);
    for (double x = -3; x < 3; x += 0.05) {
      const double by_difference =
          zqvoigt::ReWCumulative(x + 0.05, y, region) - zqvoigt::ReWCumulative(x, y, region);
      EXPECT_NEAR(by_difference, zqvoigt::ReWIntegral(x, x + 0.05, y), 1e-14) << x << " " << y;
    }
    // From -infinity: the Lorentz tail y / (sqrt(pi) |x|) far out on either side.
    EXPECT_NEAR(zqvoigt::ReWCumulative(-1e9, y, region), y / (root_pi * 1e9), 1e-13) << y;
    EXPECT_NEAR(zqvoigt::ReWCumulative(1e9, y, region), root_pi - y / (root_pi * 1e9), 1e-13) << y;
  }
}

} // namespace
