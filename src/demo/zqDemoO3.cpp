// The demonstration list of ozone: the 9.6 um band of (16)O3 as a near-prolate symmetric top with
// parallel (Delta K = 0) P, Q and R branches. A teaching stand-in for a HITRAN list, not HITRAN data:
// the asymmetry splitting, the nu1 band near 1103 cm-1, hot bands and nuclear-spin statistics are left
// out, and the band's total intensity is set to 1.4e-17 cm-1/(molecule cm-2) at 296 K, the order of the
// 9.6 um region's total in HITRAN (not checked against a HITRAN file here), so what a column takes from
// it is of the right size but not its exact figure.
#include "zqDemoLines.h"
#include "zqDemoPhysics.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

using namespace zqdemo;

// Rotational constants of (16)O3 (cm-1) in the ground and 001 states as a symmetric top: A and the mean
// of B and C, rounded literature values (ground state A 3.5537, B 0.4453, C 0.3948).
constexpr double kOrigin = 1042.084;
constexpr double kA0 = 3.5537, kB0 = 0.4201;
constexpr double kA3 = 3.5010, kB3 = 0.4170;
constexpr double kBandStrength = 1.4e-17;
constexpr int kMaxJ = 60, kMaxK = 20;
constexpr double kAirWidth = 0.07, kSelfWidth = 0.09, kWidthExponent = 0.76; // cm-1/atm, 296 K

// Rotational term of a symmetric top (cm-1): B J(J+1) + (A - B) K^2.
double term(double a, double b, int j, int k) {
  return b * j * (j + 1) + (a - b) * k * k;
}

// Hoenl-London factor of a parallel band from lower (J, K) to upper J + dj.
double hoenl_london(int j, int k, int dj) {
  if (dj == 1) return double((j + 1) * (j + 1) - k * k) / (j + 1);
  if (dj == -1) return j == 0 ? 0.0 : double(j * j - k * k) / j;
  return j == 0 ? 0.0 : double(k * k) * (2 * j + 1) / (j * (j + 1));
}

std::string quanta(int j, int k) {
  char text[32];
  std::snprintf(text, sizeof text, "%3d%3d   ", j, k);
  return text;
}

} // namespace

std::vector<DemoLine> DemoO3Lines() {
  std::vector<DemoLine> lines;
  double sum = 0;
  for (int j = 0; j <= kMaxJ; ++j)
    for (int k = 0; k <= std::min(j, kMaxK); ++k)
      for (int dj : {-1, 0, 1}) {
        const int ju = j + dj;
        if (ju < k || ju < 0) continue;
        const double hl = hoenl_london(j, k, dj);
        if (!(hl > 0)) continue;
        DemoLine line;
        line.LowerStateEnergy = term(kA0, kB0, j, k);
        line.Wavenumber = kOrigin + term(kA3, kB3, ju, k) - line.LowerStateEnergy;
        // Relative intensity: degeneracy of K (2 for K > 0), line strength, Boltzmann factor, nu.
        line.Intensity = (k == 0 ? 1.0 : 2.0) * hl * Boltzmann(line.LowerStateEnergy) * line.Wavenumber *
                         StimulatedEmissionFactor(line.Wavenumber);
        line.AirWidth = kAirWidth;
        line.SelfWidth = kSelfWidth;
        line.WidthExponent = kWidthExponent;
        line.UpperGlobal = 3;
        line.LowerGlobal = 0;
        line.UpperLocal = quanta(ju, k);
        line.LowerLocal = quanta(j, k);
        line.Band = "001-000";
        line.BandOrigin = kOrigin;
        sum += line.Intensity;
        lines.push_back(line);
      }
  for (DemoLine& line : lines)
    line.Intensity *= kBandStrength / sum;
  std::erase_if(lines, [](const DemoLine& l) { return l.Intensity < kIntensityCutoff; });
  std::sort(lines.begin(), lines.end(),
            [](const DemoLine& a, const DemoLine& b) { return a.Wavenumber < b.Wavenumber; });
  return lines;
}
