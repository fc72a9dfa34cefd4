// Water vapour (H2 16O) demonstration lines: the pure-rotation band and the bending fundamental
// 010 <- 000. The levels come from the Watson A-reduced Hamiltonian of each vibrational state; both
// bands are b-type (the dipole and the nu2 transition moment lie along the C2 axis, the b axis), and
// the two protons give ortho levels (Ka + Kc odd) three times the weight of para levels.
#include "zqAsymmetricRotor.h"
#include "zqDemoLines.h"
#include "zqDemoPhysics.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace {

using namespace zqdemo;

constexpr double kAbundance = 0.997317; // natural abundance of H2 16O (HITRAN)
constexpr int kMaxJ = 20;
constexpr double kMaxLevelEnergy = 6000.0; // cm-1; the distortion series is not trusted above

// Ground and 010 states: A-reduced constants of the water-vapour rotational literature (cm-1).
const RotorConstants kGround = {27.88063,  14.52177,  9.27771,   1.2502e-3, -5.7616e-3,
                                3.2494e-2, 5.0868e-4, 1.3073e-3, 5.07e-7,   1.55e-6,
                                -2.4e-5,   1.24e-4,   2.51e-7,   -4.0e-7,   3.22e-5};
const RotorConstants kBend = {31.12828,  14.68667,  9.12915,   1.3797e-3, -8.3360e-3,
                              4.6894e-2, 5.7850e-4, 2.2960e-3, 6.16e-7,   2.3e-6,
                              -4.7e-5,   2.45e-4,   3.07e-7,   -6.0e-7,   6.17e-5};
constexpr double kBendOrigin = 1594.74630;

constexpr double kDipoleMoment = 1.8546; // debye, permanent dipole along b
// Published band strength of nu2 (010 <- 000) at 296 K, about 1.05e-17 cm-1/(molecule cm-2).
constexpr double kNu2BandStrength = 1.05e-17;
constexpr std::array<double, 3> kModes = {3657.05, 1594.75, 3755.93};

struct Level {
  RotorLevel rotor;
  double energy; // including the vibrational term
  double spinWeight;
};

std::vector<std::vector<Level>> state_levels(const RotorConstants& constants, double origin) {
  std::vector<std::vector<Level>> byJ;
  for (int J = 0; J <= kMaxJ; ++J) {
    std::vector<Level> levels;
    for (RotorLevel& r : RotorLevelsOfJ(constants, J)) {
      if (r.energy > kMaxLevelEnergy) continue;
      const double weight = ((r.Ka + r.Kc) % 2 == 1) ? 3.0 : 1.0;
      const double energy = origin + r.energy;
      levels.push_back({std::move(r), energy, weight});
    }
    byJ.push_back(std::move(levels));
  }
  return byJ;
}

double rotational_partition(const std::vector<std::vector<Level>>& levels) {
  double q = 0.0;
  for (const auto& ofJ : levels)
    for (const Level& l : ofJ)
      q += l.spinWeight * (2.0 * l.rotor.J + 1.0) * Boltzmann(l.energy);
  return q;
}

double air_width(int J) {
  return 0.02 + 0.09 * std::exp(-(J / 9.0) * (J / 9.0));
}

std::string quanta(const RotorLevel& r) {
  char text[16];
  std::snprintf(text, sizeof text, "%3d%3d%3d", r.J, r.Ka, r.Kc);
  return text;
}

void add_line(std::vector<DemoLine>& lines, const Level& upper, const Level& lower, int upperGlobal,
              double momentSquared, double Q, const char* band) {
  const double nu = upper.energy - lower.energy;
  if (nu <= 0.0) return;
  const double factor = RotorLineStrength(upper.rotor, lower.rotor, DipoleAxis::b);
  if (factor < 1e-12) return;
  const double S = LineIntensity(nu, lower.energy, lower.spinWeight, Q, momentSquared, factor, kAbundance);
  if (S < kIntensityCutoff) return;
  DemoLine line;
  line.Wavenumber = nu;
  line.Intensity = S;
  line.EinsteinA = EinsteinA(nu, momentSquared, factor, upper.rotor.J);
  line.AirWidth = air_width(lower.rotor.J);
  line.SelfWidth = 5.0 * line.AirWidth;
  line.LowerStateEnergy = lower.energy;
  line.WidthExponent = 0.70;
  line.UpperGlobal = upperGlobal;
  line.LowerGlobal = 1;
  line.UpperLocal = quanta(upper.rotor);
  line.LowerLocal = quanta(lower.rotor);
  line.Band = band;
  line.BandOrigin = upperGlobal == 2 ? kBendOrigin : 0.0;
  lines.push_back(std::move(line));
}

} // namespace

double DemoH2OPartitionFunction() {
  return rotational_partition(state_levels(kGround, 0.0)) * HarmonicVibrationalPartition(kModes);
}

std::vector<DemoLine> DemoH2OLines() {
  const auto ground = state_levels(kGround, 0.0);
  const auto bend = state_levels(kBend, kBendOrigin);
  const double Q = rotational_partition(ground) * HarmonicVibrationalPartition(kModes);
  const double rotationMoment = kDipoleMoment * kDipoleMoment;
  const double bendMoment = MomentSquaredFromBandStrength(kNu2BandStrength, kBendOrigin,
                                                          rotational_partition(ground) / Q, kAbundance);

  std::vector<DemoLine> lines;
  for (int J = 0; J <= kMaxJ; ++J) {
    for (int Jp = std::max(0, J - 1); Jp <= std::min(kMaxJ, J + 1); ++Jp) {
      for (const Level& lower : ground[std::size_t(J)]) {
        // Pure rotation: every pair once, the lower-energy level as the lower state.
        for (const Level& upper : ground[std::size_t(Jp)])
          if (upper.energy > lower.energy) add_line(lines, upper, lower, 1, rotationMoment, Q, "000-000");
        for (const Level& upper : bend[std::size_t(Jp)])
          add_line(lines, upper, lower, 2, bendMoment, Q, "010-000");
      }
    }
  }
  std::stable_sort(lines.begin(), lines.end(),
                   [](const DemoLine& a, const DemoLine& b) { return a.Wavenumber < b.Wavenumber; });
  return lines;
}
