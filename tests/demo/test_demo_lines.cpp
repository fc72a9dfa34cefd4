// The demonstration lines against published molecular figures and against the real HITRAN lists:
// partition functions, band origins and strengths, region sums and the strongest lines.
#include "TestSupport.h"
#include "zqDemoLines.h"
#include "zqHitranRecord.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>

namespace {

const std::vector<DemoLine>& co2() {
  static const std::vector<DemoLine> lines = DemoCO2Lines();
  return lines;
}

const std::vector<DemoLine>& h2o() {
  static const std::vector<DemoLine> lines = DemoH2OLines();
  return lines;
}

DemoBand band(const std::vector<DemoLine>& lines, const std::string& name) {
  for (const DemoBand& b : DemoBands(lines))
    if (b.Name == name) return b;
  ADD_FAILURE() << "no band " << name;
  return {};
}

// One real line: position, intensity and the two global-quanta fields of the 160-character record.
struct RealLine {
  double nu, S;
  std::string upper, lower;
};

std::vector<RealLine> readReal(const std::string& name, double lo, double hi) {
  std::vector<RealLine> lines;
  std::ifstream in(zqtest::HitranDir() / name);
  std::string text;
  long n = 0;
  while (std::getline(in, text)) {
    ++n;
    const THitranLine l = zqhitran::ParseLine(text, name, n);
    if (l.Wavenumber < lo || l.Wavenumber > hi) continue;
    auto field = [&](std::size_t at) {
      std::string s = text.size() >= at + 15 ? text.substr(at, 15) : std::string();
      s.erase(std::remove(s.begin(), s.end(), ' '), s.end());
      return s;
    };
    lines.push_back({l.Wavenumber, l.Intensity, field(67), field(82)});
  }
  return lines;
}

double realSum(const std::vector<RealLine>& lines, double lo, double hi) {
  double s = 0.0;
  for (const RealLine& l : lines)
    if (l.nu >= lo && l.nu <= hi) s += l.S;
  return s;
}

std::vector<DemoLine> strongest(const std::vector<DemoLine>& lines, double lo, double hi, std::size_t n) {
  std::vector<DemoLine> in;
  for (const DemoLine& l : lines)
    if (l.Wavenumber >= lo && l.Wavenumber <= hi) in.push_back(l);
  std::sort(in.begin(), in.end(),
            [](const DemoLine& a, const DemoLine& b) { return a.Intensity > b.Intensity; });
  in.resize(std::min(n, in.size()));
  return in;
}

// Every one of the n strongest real lines of the region has a demonstration line within tol cm-1
// whose intensity is within a factor of two.
void expectStrongestMatch(const std::vector<DemoLine>& demo, std::vector<RealLine> real, double lo, double hi,
                          std::size_t n, double tol) {
  std::erase_if(real, [&](const RealLine& l) { return l.nu < lo || l.nu > hi; });
  std::sort(real.begin(), real.end(), [](const RealLine& a, const RealLine& b) { return a.S > b.S; });
  ASSERT_GE(real.size(), n);
  const double top = strongest(demo, lo, hi, 1).front().Intensity;
  EXPECT_TRUE(top < 2.0 * real[0].S && top > 0.5 * real[0].S) << top << " vs " << real[0].S;
  for (std::size_t i = 0; i < n; ++i) {
    const DemoLine* best = nullptr;
    for (const DemoLine& d : demo)
      if (std::abs(d.Wavenumber - real[i].nu) <= tol && (!best || d.Intensity > best->Intensity)) best = &d;
    ASSERT_NE(best, nullptr) << "no demonstration line near " << real[i].nu;
    EXPECT_TRUE(best->Intensity < 2.0 * real[i].S && best->Intensity > 0.5 * real[i].S)
        << real[i].nu << ": " << best->Intensity << " vs " << real[i].S;
  }
}

} // namespace

// Total internal partition functions at 296 K of HITRAN's TIPS tables: 12C16O2 286.09, H2 16O 174.58.
TEST(DemoLines, PartitionFunctionsMatchTips) {
  EXPECT_TRUE(zqtest::RelClose(DemoCO2PartitionFunction(), 286.09, 0.02)) << DemoCO2PartitionFunction();
  EXPECT_TRUE(zqtest::RelClose(DemoH2OPartitionFunction(), 174.58, 0.02)) << DemoH2OPartitionFunction();
}

TEST(DemoLines, ListsAreSortedCompleteAndPlausible) {
  for (const auto* list : {&co2(), &h2o()}) {
    ASSERT_GT(list->size(), 1000u);
    for (std::size_t i = 0; i < list->size(); ++i) {
      const DemoLine& l = (*list)[i];
      if (i > 0) {
        EXPECT_LE((*list)[i - 1].Wavenumber, l.Wavenumber);
      }
      EXPECT_GT(l.Wavenumber, 0.0);
      EXPECT_LT(l.Wavenumber, 5000.0);
      EXPECT_GT(l.Intensity, 0.0);
      EXPECT_GT(l.EinsteinA, 0.0);
      EXPECT_GE(l.LowerStateEnergy, 0.0);
      EXPECT_TRUE(l.AirWidth > 0.015 && l.AirWidth < 0.12) << l.AirWidth;
    }
  }
  EXPECT_GT(co2().size() + h2o().size(), 4000u);
}

// Air widths fall with the rotational quantum number (CO2 P branch by J'', H2O by J'').
TEST(DemoLines, AirWidthsDecreaseWithRotation) {
  std::map<int, double> co2Width, h2oWidth;
  for (const DemoLine& l : co2())
    if (l.Band == "00011-00001" && l.LowerLocal[5] == 'P')
      co2Width[std::stoi(l.LowerLocal.substr(6))] = l.AirWidth;
  for (const DemoLine& l : h2o())
    h2oWidth[std::stoi(l.LowerLocal.substr(0, 3))] = l.AirWidth;
  for (const auto* widths : {&co2Width, &h2oWidth}) {
    ASSERT_GT(widths->size(), 10u);
    for (auto it = std::next(widths->begin()); it != widths->end(); ++it)
      EXPECT_LT(it->second, std::prev(it)->second);
  }
  EXPECT_NEAR(co2Width.begin()->second, 0.08, 0.01);   // low-J CO2 air widths are about 0.08 cm-1/atm
  EXPECT_NEAR(h2oWidth.begin()->second, 0.105, 0.015); // low-J H2O air widths about 0.1 cm-1/atm
}

// Band centres of HITRAN's vibrational levels (cm-1).
TEST(DemoLines, BandOriginsWithinOneWavenumber) {
  const std::map<std::string, double> co2Origins = {{"01101-00001", 667.380},  {"02201-01101", 667.752},
                                                    {"10002-01101", 618.029},  {"10001-01101", 720.805},
                                                    {"00011-00001", 2349.143}, {"01111-01101", 2336.632}};
  for (const auto& [name, origin] : co2Origins)
    EXPECT_NEAR(band(co2(), name).Origin, origin, 1.0) << name;
  EXPECT_NEAR(band(h2o(), "010-000").Origin, 1594.746, 1.0);

  // The origins also follow from the lines themselves: a line that ends on the lowest level of the
  // upper state has wavenumber + lower-state energy = origin (H2O 0(0,0) of 010; CO2 Q(J) -> origin
  // as J -> 0, the R(0) line of nu3 at origin + 2B').
  for (const DemoLine& l : h2o())
    if (l.Band == "010-000" && l.UpperLocal == "  0  0  0") {
      EXPECT_NEAR(l.Wavenumber + l.LowerStateEnergy, 1594.746, 1.0);
    }
  for (const DemoLine& l : co2())
    if (l.Band == "00011-00001" && l.LowerLocal == "     R  0") {
      EXPECT_NEAR(l.Wavenumber - 2 * 0.387, 2349.143, 1.0);
    }
}

// Published band strengths at 296 K (cm-1/(molecule cm-2), natural abundance included): CO2 nu2
// 01101-00001 about 7.9e-18 and, with its hot bands, about 8e-18 between 600 and 750 cm-1 (HITRAN;
// 8.95e-18 summed over the real list); CO2 nu3 00011-00001 about 9.5e-17 (HITRAN band statistics);
// H2O nu2 010-000 about 1.05e-17 (HITRAN band statistics).
TEST(DemoLines, BandStrengthsMatchPublishedFigures) {
  EXPECT_TRUE(zqtest::RelClose(band(co2(), "01101-00001").Strength, 7.9e-18, 0.30));
  EXPECT_TRUE(zqtest::RelClose(DemoIntensitySum(co2(), 600, 750), 8.0e-18, 0.30));
  EXPECT_TRUE(zqtest::RelClose(band(co2(), "00011-00001").Strength, 9.5e-17, 0.30));
  EXPECT_TRUE(zqtest::RelClose(band(h2o(), "010-000").Strength, 1.05e-17, 0.30));
  // The hot bands follow from the fundamental's moment: the first bending hot band is about 8 % of
  // it (two-fold degenerate lower level at 667 cm-1, Boltzmann factor 0.039).
  const double ratio = band(co2(), "02201-01101").Strength / band(co2(), "01101-00001").Strength;
  EXPECT_NEAR(ratio, 0.078, 0.01);
}

TEST(DemoLines, Co2ComparesWithRealList) {
  ZQ_REQUIRE_HITRAN();
  const auto real = readReal("co2_626_hitran.par", 500, 765);
  EXPECT_TRUE(zqtest::RelClose(DemoIntensitySum(co2(), 600, 750), realSum(real, 600, 750), 0.30))
      << DemoIntensitySum(co2(), 600, 750) << " vs " << realSum(real, 600, 750);
  // Band by band where the real list still carries quantum numbers (up to 704.5 cm-1).
  const std::map<std::string, std::pair<std::string, std::string>> labels = {
      {"01101-00001", {"01101", "00001"}},
      {"02201-01101", {"02201", "01101"}},
      {"10002-01101", {"10002", "01101"}}};
  for (const auto& [name, quanta] : labels) {
    double realBand = 0.0, demoBand = 0.0;
    for (const RealLine& l : real)
      if (l.nu <= 704.5 && l.upper == quanta.first && l.lower == quanta.second) realBand += l.S;
    for (const DemoLine& l : co2())
      if (l.Wavenumber >= 500 && l.Wavenumber <= 704.5 && l.Band == name) demoBand += l.Intensity;
    EXPECT_TRUE(zqtest::RelClose(demoBand, realBand, 0.30)) << name << ": " << demoBand << " vs " << realBand;
  }
  expectStrongestMatch(co2(), real, 600, 750, 10, 0.02);
}

TEST(DemoLines, H2OComparesWithRealList) {
  ZQ_REQUIRE_HITRAN();
  const auto real = readReal("h2o_161_hitran.par", 0, 1900);
  EXPECT_TRUE(zqtest::RelClose(DemoIntensitySum(h2o(), 1300, 1900), realSum(real, 1300, 1900), 0.30))
      << DemoIntensitySum(h2o(), 1300, 1900) << " vs " << realSum(real, 1300, 1900);
  // The pure-rotation band is complete in the real list only below 133.4 cm-1.
  EXPECT_TRUE(zqtest::RelClose(DemoIntensitySum(h2o(), 0, 133.4), realSum(real, 0, 133.4), 0.30))
      << DemoIntensitySum(h2o(), 0, 133.4) << " vs " << realSum(real, 0, 133.4);
  expectStrongestMatch(h2o(), real, 1300, 1900, 8, 0.5);
  expectStrongestMatch(h2o(), real, 0, 133.4, 6, 0.5);
}
