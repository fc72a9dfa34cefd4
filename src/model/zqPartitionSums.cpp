// TIPS tables: parsed once from the embedded text on first use. The interpolation is HAPI's rule, so
// the HITRAN mode's Q(T) agrees with the reference tools to the last bit or so.
#include "zqPartitionSums.h"

#include "zqPhysicalConstants.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <string_view>
#include <vector>

extern const unsigned char zqTipsCO2_626Bytes[];
extern const std::size_t zqTipsCO2_626Size;
extern const unsigned char zqTipsH2O_161Bytes[];
extern const std::size_t zqTipsH2O_161Size;
extern const unsigned char zqTipsO3_666Bytes[];
extern const std::size_t zqTipsO3_666Size;
extern const unsigned char zqTipsN2O_446Bytes[];
extern const std::size_t zqTipsN2O_446Size;
extern const unsigned char zqTipsCH4_211Bytes[];
extern const std::size_t zqTipsCH4_211Size;

namespace zqtips {
namespace {

// Natural abundances: HAPI 1.3.0.0's isotopologue table (src/model/data/tips/README.md).
constexpr std::array<TIsotopologue, 5> kIsotopologues{{
    {1, 1, "H2O 161", zqconst::MolarMassH2O161, 0.9973173},
    {2, 1, "CO2 626", zqconst::MolarMassCO2626, 0.9842043},
    {3, 1, "O3 666", zqconst::MolarMassO3666, 0.9929009},
    {4, 1, "N2O 446", zqconst::MolarMassN2O446, 0.9903328},
    {6, 1, "CH4 211", zqconst::MolarMassCH4211, 0.9882741},
}};

struct Table {
  std::vector<double> t, q;
  bool ok = false;
};

// "T Q" per line; false for anything else, or nodes not strictly ascending.
Table parse(const unsigned char* bytes, std::size_t size) {
  Table table;
  std::string_view text(reinterpret_cast<const char*>(bytes), size);
  while (!text.empty()) {
    const std::size_t eol = text.find('\n');
    std::string_view line = text.substr(0, eol);
    text = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
    if (line.empty()) continue;
    const std::size_t blank = line.find(' ');
    if (blank == std::string_view::npos) return {};
    double t = 0, q = 0;
    const auto [t_end, t_err] = std::from_chars(line.data(), line.data() + blank, t);
    const auto [q_end, q_err] = std::from_chars(line.data() + blank + 1, line.data() + line.size(), q);
    if (t_err != std::errc() || q_err != std::errc() || t_end != line.data() + blank ||
        q_end != line.data() + line.size() || !(q > 0) || (!table.t.empty() && !(t > table.t.back())))
      return {};
    table.t.push_back(t);
    table.q.push_back(q);
  }
  table.ok = table.t.size() >= 3;
  return table;
}

const Table& table_of(const TIsotopologue& iso) {
  static const Table h2o = parse(zqTipsH2O_161Bytes, zqTipsH2O_161Size);
  static const Table co2 = parse(zqTipsCO2_626Bytes, zqTipsCO2_626Size);
  static const Table o3 = parse(zqTipsO3_666Bytes, zqTipsO3_666Size);
  static const Table n2o = parse(zqTipsN2O_446Bytes, zqTipsN2O_446Size);
  static const Table ch4 = parse(zqTipsCH4_211Bytes, zqTipsCH4_211Size);
  static const Table none;
  switch (iso.Molecule) {
  case 1:
    return h2o;
  case 2:
    return co2;
  case 3:
    return o3;
  case 4:
    return n2o;
  case 6:
    return ch4;
  default:
    return none;
  }
}

} // namespace

const TIsotopologue* FindIsotopologue(int molecule, int isotopologue) {
  for (const TIsotopologue& iso : kIsotopologues)
    if (iso.Molecule == molecule && iso.Isotopologue == isotopologue) return &iso;
  return nullptr;
}

std::span<const TIsotopologue> Isotopologues() {
  return kIsotopologues;
}

double LagrangeInterpolate(std::span<const double> t, std::span<const double> q, double temperature) {
  const std::size_t n = t.size();
  std::size_t m = 1;
  while (m < n - 1 && t[m] < temperature)
    ++m;
  // Cubic stencil m-2 .. m+1 inside the table, quadratic at either end.
  std::size_t first = 0, count = 3;
  if (m == 1) {
    first = 0;
  } else if (m == n - 1) {
    first = n - 3;
  } else {
    first = m - 2;
    count = 4;
  }
  double sum = 0;
  for (std::size_t a = first; a < first + count; ++a) {
    double basis = 1;
    for (std::size_t b = first; b < first + count; ++b)
      if (b != a) basis *= (temperature - t[b]) / (t[a] - t[b]);
    sum += q[a] * basis;
  }
  return sum;
}

TPartitionSum PartitionSum(const TIsotopologue& iso, double temperature) {
  TPartitionSum result;
  const Table& table = table_of(iso);
  if (!table.ok) {
    result.Refusal = std::string("The partition-sum table of ") + iso.Name + " is damaged";
    return result;
  }
  if (!(temperature >= table.t.front() && temperature <= table.t.back())) {
    char text[160];
    std::snprintf(text, sizeof text, "Temperature %g K is outside the partition-sum table of %s (%g to %g K)",
                  temperature, iso.Name, table.t.front(), table.t.back());
    result.Refusal = text;
    return result;
  }
  result.Q = LagrangeInterpolate(table.t, table.q, temperature);
  return result;
}

} // namespace zqtips
