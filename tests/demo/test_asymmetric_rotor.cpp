// Asymmetric-rotor levels and line strengths against closed forms, sum rules and selection rules.
#include "zqAsymmetricRotor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace zqdemo;

namespace {

RotorConstants rigid(double A, double B, double C) {
  RotorConstants c;
  c.A = A;
  c.B = B;
  c.C = C;
  return c;
}

// Water-like constants with quartic distortion, to exercise the full Hamiltonian.
RotorConstants waterLike() {
  RotorConstants c = rigid(27.88, 14.52, 9.28);
  c.DeltaJ = 1.25e-3;
  c.DeltaJK = -5.76e-3;
  c.DeltaK = 3.25e-2;
  c.deltaJ = 5.09e-4;
  c.deltaK = 1.31e-3;
  return c;
}

const RotorLevel& find(const std::vector<RotorLevel>& levels, int Ka, int Kc) {
  auto it = std::find_if(levels.begin(), levels.end(),
                         [&](const RotorLevel& l) { return l.Ka == Ka && l.Kc == Kc; });
  EXPECT_NE(it, levels.end()) << Ka << " " << Kc;
  return *it;
}

} // namespace

TEST(Wigner3j, KnownValuesAndOrthogonality) {
  EXPECT_NEAR(Wigner3j(1, 1, 0, 0, 0, 0), -1.0 / std::sqrt(3.0), 1e-13);
  EXPECT_NEAR(Wigner3j(2, 1, 1, 0, 0, 0), std::sqrt(2.0 / 15.0), 1e-13);
  EXPECT_NEAR(Wigner3j(1, 1, 1, 1, -1, 0), 1.0 / std::sqrt(6.0), 1e-13);
  EXPECT_EQ(Wigner3j(1, 1, 1, 0, 0, 0), 0.0); // odd sum of j with all m = 0
  EXPECT_EQ(Wigner3j(3, 1, 1, 0, 0, 0), 0.0); // triangle rule
  EXPECT_EQ(Wigner3j(2, 1, 2, 1, 1, 1), 0.0); // m do not add to zero
  for (int j1 = 0; j1 <= 12; ++j1) {
    for (int j3 = std::abs(j1 - 1); j3 <= j1 + 1; ++j3) {
      double sum = 0.0;
      for (int m1 = -j1; m1 <= j1; ++m1)
        for (int m2 = -1; m2 <= 1; ++m2)
          sum += std::pow(Wigner3j(j1, 1, j3, m1, m2, -m1 - m2), 2);
      EXPECT_NEAR(sum, 1.0, 1e-12) << j1 << " " << j3;
    }
  }
}

TEST(AsymmetricRotor, RigidLevelsMatchClosedForms) {
  const double A = 27.88, B = 14.52, C = 9.28;
  const auto one = RotorLevelsOfJ(rigid(A, B, C), 1);
  ASSERT_EQ(one.size(), 3u);
  EXPECT_NEAR(find(one, 0, 1).energy, B + C, 1e-10);
  EXPECT_NEAR(find(one, 1, 1).energy, A + C, 1e-10);
  EXPECT_NEAR(find(one, 1, 0).energy, A + B, 1e-10);

  const auto two = RotorLevelsOfJ(rigid(A, B, C), 2);
  const double root = 2.0 * std::sqrt((B - C) * (B - C) + (A - C) * (A - B));
  EXPECT_NEAR(find(two, 0, 2).energy, 2 * (A + B + C) - root, 1e-10);
  EXPECT_NEAR(find(two, 2, 0).energy, 2 * (A + B + C) + root, 1e-10);
  EXPECT_NEAR(find(two, 1, 2).energy, A + B + 4 * C, 1e-10);
  EXPECT_NEAR(find(two, 1, 1).energy, A + 4 * B + C, 1e-10);
  EXPECT_NEAR(find(two, 2, 1).energy, 4 * A + B + C, 1e-10);
  EXPECT_NEAR(RotorLevelsOfJ(rigid(A, B, C), 0).front().energy, 0.0, 1e-12);
}

// The symmetry blocks label their levels on their own; for a rigid rotor the levels of one J never
// cross, so ordering all of them by energy must give the same labels in rising tau.
TEST(AsymmetricRotor, BlockLabelsAgreeWithEnergyOrder) {
  for (double B : {10.0, 14.52, 20.0, 26.0}) {
    const RotorConstants c = rigid(27.88, B, 9.28);
    for (int J = 0; J <= 14; ++J) {
      auto levels = RotorLevelsOfJ(c, J);
      ASSERT_EQ(levels.size(), std::size_t(2 * J + 1));
      for (std::size_t i = 1; i < levels.size(); ++i) {
        EXPECT_LT(levels[i - 1].Ka - levels[i - 1].Kc, levels[i].Ka - levels[i].Kc);
        EXPECT_LE(levels[i - 1].energy, levels[i].energy + 1e-9) << "J=" << J << " B=" << B;
      }
      for (const RotorLevel& l : levels) {
        EXPECT_TRUE(l.Ka + l.Kc == J || l.Ka + l.Kc == J + 1);
        double norm = 0.0;
        for (double v : l.coefficients)
          norm += v * v;
        EXPECT_NEAR(norm, 1.0, 1e-12);
      }
    }
  }
}

TEST(AsymmetricRotor, LineStrengthsSumToTwoJPlusOne) {
  const RotorConstants c = waterLike();
  std::vector<std::vector<RotorLevel>> byJ;
  for (int J = 0; J <= 9; ++J)
    byJ.push_back(RotorLevelsOfJ(c, J));
  for (DipoleAxis axis : {DipoleAxis::a, DipoleAxis::b, DipoleAxis::c}) {
    for (int J = 0; J <= 8; ++J) {
      for (const RotorLevel& lower : byJ[std::size_t(J)]) {
        double sum = 0.0;
        for (int Jp = std::max(0, J - 1); Jp <= J + 1; ++Jp)
          for (const RotorLevel& upper : byJ[std::size_t(Jp)])
            sum += RotorLineStrength(upper, lower, axis);
        EXPECT_NEAR(sum, 2.0 * J + 1.0, 1e-9) << "J=" << J << " " << lower.Ka << lower.Kc;
      }
    }
  }
}

TEST(AsymmetricRotor, SelectionRulesOfEachAxis) {
  const RotorConstants c = waterLike();
  const auto zero = RotorLevelsOfJ(c, 0);
  const auto one = RotorLevelsOfJ(c, 1);
  // From 0(0,0) each axis reaches exactly one J = 1 level: a -> 1(0,1), b -> 1(1,1), c -> 1(1,0).
  EXPECT_NEAR(RotorLineStrength(find(one, 0, 1), zero[0], DipoleAxis::a), 1.0, 1e-12);
  EXPECT_NEAR(RotorLineStrength(find(one, 1, 1), zero[0], DipoleAxis::b), 1.0, 1e-12);
  EXPECT_NEAR(RotorLineStrength(find(one, 1, 0), zero[0], DipoleAxis::c), 1.0, 1e-12);

  // b-type: Ka and Kc both change parity (ee <-> oo, eo <-> oe); every other pair is forbidden.
  for (int J = 1; J <= 7; ++J) {
    const auto lowers = RotorLevelsOfJ(c, J);
    for (int Jp = J - 1; Jp <= J + 1; ++Jp) {
      for (const RotorLevel& upper : RotorLevelsOfJ(c, Jp)) {
        for (const RotorLevel& lower : lowers) {
          const bool allowed = (upper.Ka - lower.Ka) % 2 != 0 && (upper.Kc - lower.Kc) % 2 != 0;
          const double s = RotorLineStrength(upper, lower, DipoleAxis::b);
          if (!allowed) {
            EXPECT_LT(s, 1e-20);
          }
        }
      }
    }
  }
}
