// absorbview-cli under the HITRAN line physics: the Voigt spectra of the two public reference cases are
// the cross-sections' cell means, which keep the reference's area and, where the lines are wide against
// the cells, its point values; the choice of physics and its spectra types are checked at the command
// line and in the INI file; the combined column and the power rows keep the relations the physics gives
// them.
#include "CliRun.h"
#include "TestSupport.h"
#include "zqCli.h"
#include "zqCrossSection.h"
#include "zqDemoLines.h"
#include "zqHITRAN.h"
#include "zqHitranMode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <map>
#include <sstream>

namespace {

using clitest::cli;
using clitest::CliRun;

// Data rows of a grid CSV as numbers; the header must be the four columns the tool promises.
std::vector<std::vector<double>> grid_rows(const std::string& text) {
  std::istringstream in(text);
  std::string line;
  std::getline(in, line);
  EXPECT_EQ(line, "wavenumber_cm-1,H2O,CO2,Combined");
  std::vector<std::vector<double>> rows;
  while (std::getline(in, line))
    rows.push_back(clitest::NumberCells(line));
  return rows;
}

std::map<std::string, double> power_rows(const std::string& text) {
  std::map<std::string, double> rows;
  std::istringstream in(text);
  std::string line;
  std::getline(in, line);
  while (std::getline(in, line)) {
    const auto comma = line.find(',');
    rows[line.substr(0, comma)] = std::stod(line.substr(comma + 1));
  }
  return rows;
}

class CliHitranTest : public ::testing::Test {
protected:
  void SetUp() override {
    WriteDemoLineLists(dir.path());
    zqtest::WriteFile(ini(), "; test configuration\n");
  }
  std::string ini() const { return (dir / "absorbview.ini").string(); }
  zqtest::TempDir dir;
};

struct Case {
  const char* par;
  const char* reference;
  const char *min, *max;
  double x0, step;
  int column;        // 1 H2O, 2 CO2
  bool point_values; // every line is four cells wide or more: the spectrum keeps its point values
};

// The reference lists as the tool's line lists, the reference conditions on the command line.
void check_reference(const zqtest::TempDir& dir, const Case& c) {
  const auto refDir = zqtest::HitranDir();
  const auto refFile = refDir / "reference-hitran" / c.reference;
  const auto co2 = refDir / "reference" / "co2_626_450_750.par";
  const auto h2o = refDir / "reference" / "h2o_161_1250_1950.par";
  if (!std::filesystem::exists(refFile) || !std::filesystem::exists(co2) || !std::filesystem::exists(h2o))
    GTEST_SKIP() << "reference spectra or their line lists not found under " << refDir;
  const auto ini = dir / "reference.ini";
  zqtest::WriteFile(ini, "[CO2]\nFilename = " + co2.string() + "\n[h2o]\nFilename = " + h2o.string() + "\n");
  const CliRun r = cli({"spectrum",      "--ini", ini.string(), "--physics", "hitran", "--spectra", "voigt",
                        "--temperature", "250",   "--pressure", "506.625",   "--co2",  "400",       "--h2o",
                        "10000",         "--min", c.min,        "--max",     c.max,    "--quiet"});
  ASSERT_EQ(r.code, 0) << r.err;
  const auto rows = grid_rows(r.out);
  ASSERT_EQ(rows.size(), 50000u);
  // The spectrum is the cross-section's cell means at the command line's conditions.
  T_zq_HITRAN list;
  list.MoleculeType = c.column == 1 ? " 1" : " 2";
  list.LoadFromFile((refDir / "reference" / c.par).string());
  zqsession::TControls controls;
  controls.Temperature = 250;
  controls.Pressure = 506.625;
  controls.WavenumberMin = std::stod(c.min);
  controls.WavenumberMax = std::stod(c.max);
  controls.SpectraType = TSpectraType::Voigt;
  const THitranCrossSection means = ComputeHitranCrossSection(
      HitranLineSet(list), zqsession::HitranConditions(controls, c.column == 1 ? 10000 : 400));
  ASSERT_EQ(means.Sigma.size(), 50000u);
  for (std::size_t k = 0; k < 50000; ++k)
    ASSERT_TRUE(zqtest::RelClose(rows[k][static_cast<std::size_t>(c.column)], means.Sigma[k] * 1e20, 1e-11))
        << k;

  std::FILE* f = std::fopen(refFile.string().c_str(), "r");
  ASSERT_NE(f, nullptr);
  std::vector<double> rel;
  double sumOut = 0, sumRef = 0;
  int k = 0;
  double x = 0, sigma = 0;
  while (std::fscanf(f, "%d %lf %lf", &k, &x, &sigma) == 3) {
    ASSERT_LE(k, 50000);
    const std::vector<double>& row = rows[static_cast<std::size_t>(k - 1)];
    ASSERT_EQ(row.size(), 4u);
    // The grid rule x0 + k step, as the reference builds it (printed to twelve digits here).
    ASSERT_NEAR(row[0], c.x0 + k * c.step, 1e-9) << k;
    const double mine = row[static_cast<std::size_t>(c.column)] / 1e20; // the CSV shows sigma x 1e20
    rel.push_back(std::fabs(mine - sigma) / sigma);
    sumOut += mine;
    sumRef += sigma;
    // The combined column is the mixing-ratio weighted sum of the two gases' columns.
    ASSERT_TRUE(zqtest::RelClose(row[3], 10000 * row[1] + 400 * row[2], 1e-11)) << k;
  }
  std::fclose(f);
  ASSERT_EQ(rel.size(), 50000u);
  std::sort(rel.begin(), rel.end());
  const double median = rel[rel.size() / 2], p99 = rel[rel.size() * 99 / 100];
  const double sum = std::fabs(sumOut - sumRef) / sumRef;
  std::cout << c.reference << " through the CLI: median " << median << ", p99 " << p99 << ", max "
            << rel.back() << ", sum " << sum << "\n";
  // The area agrees either way; cell means differ from the reference's point values near the peaks of
  // lines narrower than four cells.
  EXPECT_LT(sum, 1e-6);
  EXPECT_LT(median, c.point_values ? 1e-7 : 1e-5);
  if (c.point_values) {
    EXPECT_LT(p99, 1e-5);
  }
}

} // namespace

TEST_F(CliHitranTest, VoigtSpectrumAgreesWithTheCO2Reference) {
  check_reference(
      dir, {"co2_626_450_750.par", "co2_500_700_250K_506mb_voigt.txt", "500", "700", 500, 0.004, 2, true});
}

TEST_F(CliHitranTest, VoigtSpectrumAgreesWithTheH2OReference) {
  check_reference(dir, {"h2o_161_1250_1950.par", "h2o_1300_1900_250K_506mb_voigt.txt", "1300", "1900", 1300,
                        0.012, 1, false});
}

// Classic stays the default, byte for byte; the INI key sets the default of both front ends; a spectra
// type of the other physics and an unusable INI value are refused by name.
TEST_F(CliHitranTest, PhysicsChoiceAndItsSpectraTypes) {
  const std::vector<std::string> base = {"spectrum", "--ini", ini(), "--min",
                                         "600",      "--max", "700", "--quiet"};
  auto run = [&](std::vector<std::string> more) {
    auto a = base;
    a.insert(a.end(), more.begin(), more.end());
    return cli(a);
  };
  const CliRun classic = run({"--spectra", "pressure"});
  ASSERT_EQ(classic.code, 0) << classic.err;
  EXPECT_EQ(run({"--spectra", "pressure", "--physics", "classic"}).out, classic.out);
  const CliRun hitran = run({"--spectra", "lorentz", "--physics", "hitran"});
  ASSERT_EQ(hitran.code, 0) << hitran.err;
  EXPECT_NE(hitran.out, classic.out);
  // The raw lines are the file's values in either physics.
  EXPECT_EQ(run({"--physics", "hitran"}).out, run({}).out);

  zqtest::WriteFile(ini(), "[Line Physics]\nModel = HITRAN\n");
  EXPECT_EQ(run({"--spectra", "lorentz"}).out, hitran.out);
  EXPECT_EQ(run({"--spectra", "pressure", "--physics", "classic"}).out, classic.out);

  const CliRun classicVoigt = run({"--spectra", "voigt", "--physics", "classic"});
  EXPECT_EQ(classicVoigt.code, 2);
  EXPECT_NE(classicVoigt.err.find("--physics hitran"), std::string::npos) << classicVoigt.err;
  const CliRun hitranPressure = run({"--spectra", "pressure"});
  EXPECT_EQ(hitranPressure.code, 2);
  EXPECT_NE(hitranPressure.err.find("--physics classic"), std::string::npos) << hitranPressure.err;

  zqtest::WriteFile(ini(), "[Line Physics]\nModel = exact\n");
  const CliRun bad = run({"--spectra", "pressure"});
  EXPECT_EQ(bad.code, 3);
  EXPECT_NE(bad.err.find("[Line Physics] Model"), std::string::npos) << bad.err;
  EXPECT_TRUE(bad.out.empty());
}

// The Power rows under the HITRAN physics: the band's blackbody power is the Planck integral (nearly
// sigma T^4 over 0 .. 5000 cm-1 at 288 K), and what is absorbed keeps the order absorption must have.
TEST_F(CliHitranTest, PowerRowsKeepTheirPhysicalOrder) {
  const CliRun r = cli({"power", "--ini", ini(), "--physics", "hitran", "--quiet"});
  ASSERT_EQ(r.code, 0) << r.err;
  auto rows = power_rows(r.out);
  ASSERT_EQ(rows.size(), 9u) << r.out;
  const double sigmaT4 = 5.670374419e-8 * std::pow(288.0, 4);
  EXPECT_TRUE(zqtest::RelClose(rows["Blackbody power"], sigmaT4, 1e-11));
  EXPECT_TRUE(zqtest::RelClose(rows["Blackbody band power"], sigmaT4, 1e-6));
  EXPECT_GT(rows["CO2 1x"], 0);
  EXPECT_GT(rows["CO2 2x"], rows["CO2 1x"]);
  EXPECT_GT(rows["Combined 1x"], std::max(rows["CO2 1x"], rows["H2O 1x"]));
  EXPECT_LE(rows["Combined 1x"], rows["Sum 1x"] * (1 + 1e-11));
  EXPECT_LT(rows["Combined 2x"], rows["Blackbody band power"]);
  // The classic rows stay as they were: seven results and the classic blackbody power.
  const CliRun classic = cli({"power", "--ini", ini(), "--quiet"});
  ASSERT_EQ(classic.code, 0) << classic.err;
  EXPECT_EQ(power_rows(classic.out).size(), 8u);
  EXPECT_TRUE(
      zqtest::RelClose(power_rows(classic.out)["Blackbody power"], 5.67e-8 * std::pow(288.0, 4), 1e-11));
}
