// The gases beyond water and CO2 (O3, N2O, CH4): a single line of each integrates to its intensity at
// the temperature, checked against S(T) evaluated here from the TIPS nodes and HITRAN's formula; each
// table refuses temperatures beyond its end by name; and the column's registry: a gas without lines
// changes nothing, and one list split between two gases gives the fluxes of the summed amount.
#include "ModelTestHelpers.h"
#include "zqColumn.h"
#include "zqCrossSection.h"
#include "zqHitranColumnSource.h"
#include "zqPartitionSums.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

struct Gas {
  const char* code; // molecule field of the records
  const char* name;
  double nu, energy; // cm-1
  double q250, q296; // Q at 250 K (a node of the table) and 296 K (the tables' README)
};
constexpr Gas kGases[] = {
    {" 3", "O3", 1042.0, 300.0, 2.634798E+03, 3474.99948},
    {" 4", "N2O", 1285.0, 200.0, 4.003914E+03, 4984.993472},
    {" 6", "CH4", 1306.0, 100.0, 4.566274E+02, 590.5286008},
};

// S(T) of a line from its 296 K intensity (HITRAN's temperature law): partition sums, Boltzmann factor
// of the lower state, stimulated emission. c2 = hc/k (CODATA 2018), cm K.
double intensity_at(double s296, double nu, double energy, double t, double qt, double q296) {
  const double c2 = 1.438776877;
  return s296 * (q296 / qt) * std::exp(-c2 * energy / t) / std::exp(-c2 * energy / 296) *
         (-std::expm1(-c2 * nu / t)) / (-std::expm1(-c2 * nu / 296));
}

} // namespace

TEST(TraceGases, OneLineOfEachIntegratesToItsIntensityAtTheTemperature) {
  for (const Gas& g : kGases) {
    const auto list =
        modeltest::LoadText(modeltest::Line(g.nu, 1e-19, 0.07, g.energy, std::string(g.code) + "1"), g.code);
    ASSERT_EQ(list->Records.size(), 1u) << g.name;
    THitranConditions c;
    c.Temperature = 250;
    c.Pressure = 0; // the Doppler profile: all of its area lies within the line's window
    c.Profile = THitranProfile::Voigt;
    std::vector<double> x;
    const double step = 1e-5;
    for (int j = -20000; j <= 20000; ++j)
      x.push_back(g.nu + j * step);
    c.Grid = x;
    const THitranCrossSection r = ComputeHitranCrossSection(HitranLineSet(*list), c);
    ASSERT_TRUE(r.Valid()) << g.name << ": " << r.Refusal;
    double area = 0;
    for (double s : r.Sigma)
      area += s * step;
    const double expected = intensity_at(1e-19, g.nu, g.energy, 250, g.q250, g.q296);
    EXPECT_TRUE(zqtest::RelClose(area, expected, 1e-6)) << g.name << ": " << area << " vs " << expected;
    // Not the 296 K intensity: the temperature law is applied.
    EXPECT_GT(std::fabs(area / 1e-19 - 1), 0.01) << g.name;
  }
}

TEST(TraceGases, EachTableRefusesTemperaturesBeyondItsEndByName) {
  const auto* o3 = zqtips::FindIsotopologue(3, 1);
  const auto* n2o = zqtips::FindIsotopologue(4, 1);
  const auto* ch4 = zqtips::FindIsotopologue(6, 1);
  ASSERT_TRUE(o3 && n2o && ch4);
  EXPECT_EQ(zqtips::PartitionSum(*o3, 1000).Q, 5.329170E+04); // the last node
  const auto hot = zqtips::PartitionSum(*o3, 1000.5);
  EXPECT_FALSE(hot.Valid());
  EXPECT_NE(hot.Refusal.find("O3 666 (1 to 1000 K)"), std::string::npos) << hot.Refusal;
  EXPECT_TRUE(zqtips::PartitionSum(*ch4, 2500).Valid());
  EXPECT_NE(zqtips::PartitionSum(*ch4, 2501).Refusal.find("CH4 211 (1 to 2500 K)"), std::string::npos);
  EXPECT_TRUE(zqtips::PartitionSum(*n2o, 5000).Valid());
  EXPECT_FALSE(zqtips::PartitionSum(*n2o, 0.5).Valid());
  // The Lagrange rule between nodes, as the README gives Q(296 K).
  for (const Gas& g : kGases) {
    const auto* iso = zqtips::FindIsotopologue(std::stoi(g.code), 1);
    EXPECT_TRUE(zqtest::RelClose(zqtips::PartitionSum(*iso, 296).Q, g.q296, 1e-9)) << g.name;
  }
}

namespace {

// A few CO2 lines in the 667 cm-1 band and a few "CH4" lines near 1306 cm-1.
std::string lines_near(double centre, const char* code) {
  std::string text;
  for (int m = -4; m <= 4; ++m)
    text +=
        modeltest::Line(centre + 0.9 * m, 3e-19 * std::exp(-0.1 * m * m), 0.07, 50.0 * m * m, code) + "\n";
  return text;
}

TzqColumnSettings small_column() {
  TzqColumnSettings s;
  s.WavenumberMin = 620;
  s.WavenumberMax = 1360;
  s.Step = 0.05;
  s.Layers = 20;
  s.Threads = 1;
  s.CO2Factor = 1;
  return s;
}

// A profile table with constant mixing ratios (ppmv) of the named gases.
std::string profile_csv(const std::string& columns, const std::string& values) {
  std::string text = "z_km,p_mb,T_K,h2o_ppmv" + columns + "\n";
  const double z[] = {0, 5, 11, 20, 32, 50, 70}, p[] = {1013, 540, 226, 55, 8.7, 0.8, 0.05},
               t[] = {288, 255, 217, 217, 229, 271, 219};
  for (int i = 0; i < 7; ++i)
    text += std::to_string(z[i]) + "," + std::to_string(p[i]) + "," + std::to_string(t[i]) + ",100" + values +
            "\n";
  return text;
}

} // namespace

TEST(TraceGases, AGasWithoutLinesChangesNothingAndSplitListsAddUp) {
  const auto co2 = modeltest::LoadText(lines_near(667, " 21"), " 2");
  const auto ch4 = modeltest::LoadText(lines_near(1306, " 61"), " 6");
  const auto none = modeltest::LoadText("", " 3");
  ASSERT_FALSE(co2->Records.empty() || ch4->Records.empty());

  // The standard atmosphere carries O3, N2O and CH4; with no lines (none, or an empty list) they change
  // no bit of the two-gas column.
  TzqColumnSettings s = small_column();
  s.CO2Factor = 2;
  TzqHitranColumnSource twoGases(nullptr, co2.get());
  TzqPerGas<const T_zq_HITRAN*> lists{};
  lists[TzqColumnGas::CO2] = co2.get();
  lists[TzqColumnGas::O3] = none.get();
  TzqHitranColumnSource withEmpty(lists);
  TzqColumn a, b;
  const TzqColumnResult ra = a.Compute(s, twoGases), rb = b.Compute(s, withEmpty);
  ASSERT_TRUE(ra.Computed && rb.Computed) << ra.Refusal << rb.Refusal;
  EXPECT_GT(rb.Profile.Layers[0].Ppmv[TzqColumnGas::CH4], 1);
  EXPECT_EQ(ra.OLR1xSpectrum, rb.OLR1xSpectrum);
  EXPECT_EQ(ra.OLRNxSpectrum, rb.OLRNxSpectrum);
  EXPECT_EQ(ra.ForcingTOA, rb.ForcingTOA);
  EXPECT_GT(ra.ForcingTOA, 0.01);

  // One list serving CH4 (1.2 ppm) and N2O (0.8 ppm), both doubled, against the list serving CH4 alone
  // at 2.0 ppm, doubled: the same optical depths, so the same fluxes to rounding.
  zqtest::TempDir dir;
  zqtest::WriteFile(dir / "split.csv", profile_csv(",ch4_ppmv,n2o_ppmv", ",1.2,0.8"));
  zqtest::WriteFile(dir / "summed.csv", profile_csv(",ch4_ppmv", ",2.0"));
  TzqPerGas<const T_zq_HITRAN*> split{}, summed{};
  split[TzqColumnGas::CO2] = summed[TzqColumnGas::CO2] = co2.get();
  split[TzqColumnGas::CH4] = split[TzqColumnGas::N2O] = summed[TzqColumnGas::CH4] = ch4.get();
  TzqHitranColumnSource splitSource(split), summedSource(summed);
  s.CO2Factor = 1;
  s.GasFactors[TzqColumnGas::CH4] = s.GasFactors[TzqColumnGas::N2O] = 2;
  s.Atmosphere = (dir / "split.csv").string();
  TzqColumn c, d;
  const TzqColumnResult rs = c.Compute(s, splitSource);
  s.Atmosphere = (dir / "summed.csv").string();
  const TzqColumnResult rt = d.Compute(s, summedSource);
  ASSERT_TRUE(rs.Computed && rt.Computed) << rs.Refusal << rt.Refusal;
  EXPECT_TRUE(zqtest::RelClose(rs.OLR1x, rt.OLR1x, 1e-12)) << rs.OLR1x << " vs " << rt.OLR1x;
  EXPECT_TRUE(zqtest::RelClose(rs.ForcingTOA, rt.ForcingTOA, 1e-9))
      << rs.ForcingTOA << " vs " << rt.ForcingTOA;
  EXPECT_GT(rs.ForcingTOA, 0.01);
  double worst = 0;
  for (std::size_t j = 0; j < rs.OLRNxSpectrum.size(); ++j)
    worst = std::max(worst, std::fabs(rs.OLRNxSpectrum[j] - rt.OLRNxSpectrum[j]));
  EXPECT_LT(worst, 1e-12);
}
