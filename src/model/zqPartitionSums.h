// The isotopologues the HITRAN line-physics mode knows (HITRAN molecule and isotopologue numbers,
// molar mass) and their TIPS-2025 partition sums Q(T), embedded in the library at build time and
// interpolated by the Lagrange rule of the tables' README (src/model/data/tips/README.md).
#pragma once

#include <span>
#include <string>

namespace zqtips {

// One isotopologue with a partition-sum table.
struct TIsotopologue {
  int Molecule;     // HITRAN molecule number (1 = H2O, 2 = CO2, 3 = O3, 4 = N2O, 6 = CH4)
  int Isotopologue; // HITRAN isotopologue number within the molecule (1 = most abundant)
  const char* Name; // e.g. "CO2 626"
  double MolarMass; // g/mol (zqconst::MolarMass...)
  double Abundance; // natural abundance, already in HITRAN's intensities
};

// The isotopologue (molecule, isotopologue), or nullptr when the program holds no table for it.
const TIsotopologue* FindIsotopologue(int molecule, int isotopologue);

// Every isotopologue with a table.
std::span<const TIsotopologue> Isotopologues();

// Lowest and highest temperature of the tables (K): 1 to 5000 K for H2O, CO2 and N2O, to 1000 K for O3
// and to 2500 K for CH4; outside its table Q is refused by name, never extrapolated.
inline constexpr double kMinTemperature = 1;
inline constexpr double kMaxTemperature = 5000;

// Q(T) of an isotopologue, or the reason it cannot be given (empty when Q is valid).
struct TPartitionSum {
  double Q = 0;
  std::string Refusal;
  bool Valid() const { return Refusal.empty(); }
};
TPartitionSum PartitionSum(const TIsotopologue& iso, double temperature);

// The Lagrange rule on any node table (nodes ascending, at least three): exposed for the tests.
// temperature must lie within the nodes.
double LagrangeInterpolate(std::span<const double> t, std::span<const double> q, double temperature);

} // namespace zqtips
