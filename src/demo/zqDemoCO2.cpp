// Carbon dioxide (12C16O2) demonstration lines. Each vibrational level is a linear-molecule term
// G + B J(J+1) - D [J(J+1)]^2 with separate B for the e and f l-doublet components; the two 16O nuclei
// (spin 0) leave only half of the levels (even J in the ground state). Line strengths are the
// Hoenl-London factors for l'' -> l' of a linear molecule; the transition moments of the two
// fundamentals come from their published band strengths, the hot bands follow from them with
// harmonic-oscillator scaling.
#include "zqDemoLines.h"
#include "zqDemoPhysics.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace {

using namespace zqdemo;

constexpr double kAbundance = 0.984204; // natural abundance of 12C16O2 (HITRAN)
constexpr int kMaxJ = 130;

// Vibrational levels in AFGL notation v1 v2 l2 v3 r (term values and rotational constants of the
// carbon-dioxide effective-Hamiltonian literature, cm-1).
struct LinearLevel {
  const char* name;
  double G;  // band-centre term value
  double Be; // B of the e component
  double Bf; // B of the f component
  double D;
  int l;
  bool gerade;
};

const std::array<LinearLevel, 7> kLevels = {{
    {"00001", 0.0, 0.39021894, 0.39021894, 1.3337e-7, 0, true},
    {"01101", 667.37997, 0.39063900, 0.39125400, 1.3530e-7, 1, false},
    {"10002", 1285.40869, 0.39048000, 0.39048000, 1.5700e-7, 0, true},
    {"02201", 1335.13179, 0.39166800, 0.39166800, 1.3700e-7, 2, true},
    {"10001", 1388.18474, 0.39018000, 0.39018000, 1.1500e-7, 0, true},
    {"00011", 2349.14291, 0.38714000, 0.38714000, 1.3300e-7, 0, false},
    {"01111", 3004.01220, 0.38756000, 0.38818000, 1.3500e-7, 1, true},
}};

// Published band strengths at 296 K (cm-1/(molecule cm-2), abundance included) of the two
// fundamentals: nu2 01101<-00001 about 7.9e-18, nu3 00011<-00001 about 9.5e-17.
constexpr double kNu2BandStrength = 7.9e-18;
constexpr double kNu3BandStrength = 9.5e-17;

// Harmonic fundamentals for the vibrational partition function (cm-1): nu1 (mean of the Fermi
// dyad), nu2 twice (degenerate), nu3.
constexpr std::array<double, 4> kModes = {1336.8, 667.38, 667.38, 2349.14};

// The 16O nuclei allow only symmetric levels: e levels of even J in g states, odd J in u states,
// and the f levels the other way round.
bool level_exists(const LinearLevel& level, int J, bool f) {
  if (J < level.l) return false;
  if (level.l == 0 && f) return false;
  return (J + (f ? 1 : 0) + (level.gerade ? 0 : 1)) % 2 == 0;
}

double level_energy(const LinearLevel& level, int J, bool f) {
  const double X = double(J) * (J + 1);
  return level.G + (f ? level.Bf : level.Be) * X - level.D * X * X;
}

double rotational_partition_ground() {
  double q = 0.0;
  for (int J = 0; J <= 200; ++J)
    if (level_exists(kLevels[0], J, false))
      q += (2.0 * J + 1.0) * Boltzmann(level_energy(kLevels[0], J, false));
  return q;
}

// Hoenl-London factor for lower J, lower l, change of l dl and change of J dJ (-1 P, 0 Q, +1 R);
// over the three branches they sum to 2J+1.
double hoenl_london(int J, int l, int dl, int dJ) {
  const double j = J;
  const double L = l;
  if (dl == 0) {
    if (dJ == 1) return (j + 1 + L) * (j + 1 - L) / (j + 1);
    if (J == 0) return 0.0;
    if (dJ == 0) return (2 * j + 1) * L * L / (j * (j + 1));
    return (j + L) * (j - L) / j;
  }
  const double s = dl; // +1 or -1
  if (dJ == 1) return (j + s * L + 1) * (j + s * L + 2) / (2 * (j + 1));
  if (J == 0) return 0.0;
  if (dJ == 0) return (j - s * L) * (j + s * L + 1) * (2 * j + 1) / (2 * j * (j + 1));
  return (j - s * L - 1) * (j - s * L) / (2 * j);
}

struct Band {
  int upper;
  int lower;
  double momentSquared;
};

double air_width(int m) {
  return 0.062 + 0.020 * std::exp(-std::abs(m) / 20.0);
}

} // namespace

double DemoCO2PartitionFunction() {
  return rotational_partition_ground() * HarmonicVibrationalPartition(kModes);
}

std::vector<DemoLine> DemoCO2Lines() {
  const double Q = DemoCO2PartitionFunction();
  const double groundFraction = rotational_partition_ground() / Q;
  const double nu2Moment =
      MomentSquaredFromBandStrength(kNu2BandStrength, kLevels[1].G, groundFraction, kAbundance);
  const double nu3Moment =
      MomentSquaredFromBandStrength(kNu3BandStrength, kLevels[5].G, groundFraction, kAbundance);
  // Harmonic scaling: 01101 -> 02201 carries the whole bending moment per molecule, 01101 -> 02001
  // half of it, shared between the two Fermi-mixed levels 10002 and 10001; the nu3 hot band carries
  // the nu3 moment.
  const std::array<Band, 6> bands = {{
      {1, 0, nu2Moment},
      {3, 1, nu2Moment},
      {2, 1, 0.5 * nu2Moment},
      {4, 1, 0.5 * nu2Moment},
      {5, 0, nu3Moment},
      {6, 1, nu3Moment},
  }};

  std::vector<DemoLine> lines;
  for (const Band& band : bands) {
    const LinearLevel& up = kLevels[std::size_t(band.upper)];
    const LinearLevel& low = kLevels[std::size_t(band.lower)];
    const int dl = up.l - low.l;
    for (int J = 0; J <= kMaxJ; ++J) {
      for (bool f : {false, true}) {
        if (!level_exists(low, J, f)) continue;
        const double lowerEnergy = level_energy(low, J, f);
        for (int dJ = -1; dJ <= 1; ++dJ) {
          const int Jp = J + dJ;
          const bool fp = (dJ == 0) ? !f : f; // P and R keep e/f, Q changes it
          if (Jp < 0 || !level_exists(up, Jp, fp)) continue;
          const double factor = hoenl_london(J, low.l, dl, dJ);
          if (factor <= 0.0) continue;
          const double nu = level_energy(up, Jp, fp) - lowerEnergy;
          const double S = LineIntensity(nu, lowerEnergy, 1.0, Q, band.momentSquared, factor, kAbundance);
          if (S < kIntensityCutoff) continue;
          DemoLine line;
          line.Wavenumber = nu;
          line.Intensity = S;
          line.EinsteinA = EinsteinA(nu, band.momentSquared, factor, Jp);
          const int m = dJ == 1 ? J + 1 : (dJ == 0 ? J : -J);
          line.AirWidth = air_width(m);
          line.SelfWidth = 1.3 * line.AirWidth;
          line.LowerStateEnergy = lowerEnergy;
          line.WidthExponent = 0.75;
          line.UpperGlobal = band.upper + 1;
          line.LowerGlobal = band.lower + 1;
          char local[16];
          std::snprintf(local, sizeof local, "     %c%3d", dJ == 1 ? 'R' : (dJ == 0 ? 'Q' : 'P'), J);
          line.UpperLocal = "         ";
          line.LowerLocal = local;
          line.Band = std::string(up.name) + "-" + low.name;
          line.BandOrigin = up.G - low.G;
          lines.push_back(std::move(line));
        }
      }
    }
  }
  std::stable_sort(lines.begin(), lines.end(),
                   [](const DemoLine& a, const DemoLine& b) { return a.Wavenumber < b.Wavenumber; });
  return lines;
}
