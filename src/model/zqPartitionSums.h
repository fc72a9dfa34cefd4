// The isotopologues the HITRAN line-physics mode knows (HITRAN molecule and isotopologue numbers,
// molar mass) and their TIPS-2025 partition sums Q(T), embedded in the library at build time and
// interpolated by the Lagrange rule of the tables' README (src/model/data/tips/README.md).
#pragma once

#include <span>
#include <string>

namespace zqtips {

// One isotopologue with a partition-sum table.
struct TIsotopologue {
  int Molecule;     // HITRAN molecule number (1 = H2O, 2 = CO2)
  int Isotopologue; // HITRAN isotopologue number within the molecule (1 = most abundant)
  const char* Name; // e.g. "CO2 626"
  double MolarMass; // g/mol (zqconst::MolarMass...)
};

// The isotopologue (molecule, isotopologue), or nullptr when the program holds no table for it.
const TIsotopologue* FindIsotopologue(int molecule, int isotopologue);

// Every isotopologue with a table.
std::span<const TIsotopologue> Isotopologues();

// Lowest and highest temperature of the tables (K); outside them Q is refused, never extrapolated.
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
