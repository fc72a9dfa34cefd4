// absorbview-cli with the water-vapour continuum: --continuum off and no file known give the bytes of
// before; a file named or found beside the line lists is used, acknowledged in the "#" lines, and the
// "continuum" spectra type is the continuum's cross-section x 1e20; a damaged file ends the run with
// exit code 3 naming it and the reason, for every subcommand that takes one.
#include "CliRun.h"
#include "ContinuumTestFiles.h"
#include "TestSupport.h"
#include "zqCli.h"
#include "zqContinuum.h"
#include "zqContinuumUse.h"
#include "zqDemoLines.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>

namespace {

using clitest::cli;
using clitest::CliRun;

// The table after its "#" lines: the header, then rows of numbers.
std::vector<std::vector<double>> rows_of(const std::string& text, std::string& comments) {
  std::istringstream in(text);
  std::vector<std::vector<double>> rows;
  bool header = false;
  for (std::string line; std::getline(in, line);) {
    if (!header && line.rfind("#", 0) == 0) {
      comments += line + "\n";
      continue;
    }
    if (!header) {
      header = true;
      continue;
    }
    rows.push_back(clitest::NumberCells(line));
  }
  return rows;
}

// The value of a "label,value" row.
double row_value(const std::string& text, const std::string& label) {
  const std::size_t at = text.find("\n" + label + ",");
  EXPECT_NE(at, std::string::npos) << label;
  return at == std::string::npos ? std::nan("") : std::stod(text.substr(at + label.size() + 2));
}

class CliContinuumTest : public ::testing::Test {
protected:
  void SetUp() override {
    WriteDemoLineLists(dir.path());
    zqtest::WriteFile(ini(), "; test configuration\n");
  }
  std::string ini() const { return (dir / "absorbview.ini").string(); }
  std::vector<std::string> spectrum(std::vector<std::string> more) const {
    std::vector<std::string> a = {"spectrum", "--ini", ini(),  "--physics", "hitran", "--min",
                                  "300",      "--max", "1300", "--h2o",     "12000",  "--quiet"};
    a.insert(a.end(), more.begin(), more.end());
    return a;
  }
  zqtest::TempDir dir;
};

} // namespace

TEST_F(CliContinuumTest, OffKeepsTheBytesAndAFileNamedOrBesideTheListsIsUsedAndAcknowledged) {
  ZQ_REQUIRE_CONTINUUM();
  const CliRun none = cli(spectrum({"--spectra", "voigt"}));
  ASSERT_EQ(none.code, 0) << none.err;
  EXPECT_EQ(none.out.rfind("wavenumber_cm-1,", 0), 0u); // no "#" lines without the continuum
  const CliRun off = cli(spectrum({"--spectra", "voigt", "--continuum", "off"}));
  EXPECT_EQ(off.out, none.out);

  const std::string file = zqtest::ContinuumFile().string();
  const CliRun named = cli(spectrum({"--spectra", "voigt", "--continuum", file}));
  ASSERT_EQ(named.code, 0) << named.err;
  std::string comments;
  const auto on = rows_of(named.out, comments);
  EXPECT_EQ(comments, zqsession::ContinuumCommentLines());
  EXPECT_NE(comments.find("Mlawer"), std::string::npos);
  EXPECT_NE(comments.find("AER"), std::string::npos);
  std::string none_comments;
  const auto before = rows_of(none.out, none_comments);
  ASSERT_EQ(on.size(), before.size());
  // Water gains the continuum where the lines leave the window dark; CO2 keeps its values.
  int darker = 0;
  for (std::size_t k = 0; k < on.size(); ++k) {
    ASSERT_EQ(on[k][2], before[k][2]) << k;
    darker += on[k][1] > before[k][1] * 1.01;
  }
  EXPECT_GT(darker, 10000);

  // Numbers without it (the Doppler profile, the lines as read) are not acknowledged.
  for (const char* type : {"doppler", "raw"}) {
    const CliRun r = cli(spectrum({"--spectra", type, "--continuum", file}));
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.substr(0, 1), "#") << type;
  }

  // The published name beside the line lists (a link to the shared copy): found without the option,
  // and "off" still turns it off.
  std::filesystem::create_symlink(file, dir / zqsession::kContinuumFileName);
  EXPECT_EQ(cli(spectrum({"--spectra", "voigt"})).out, named.out);
  EXPECT_EQ(cli(spectrum({"--spectra", "voigt", "--continuum", "off"})).out, none.out);

  // The continuum alone, x 1e20, against the model's cross-sections at the same conditions.
  const CliRun alone = cli(spectrum({"--spectra", "continuum"}));
  ASSERT_EQ(alone.code, 0) << alone.err;
  std::string c2;
  const auto rows = rows_of(alone.out, c2);
  ASSERT_EQ(rows.size(), 50000u);
  std::string error;
  const TzqContinuumTable table = ReadContinuumFile(file, error);
  std::vector<double> x, sigma(rows.size());
  for (const auto& row : rows)
    x.push_back(row[0]);
  ContinuumCrossSections(table, 288, 1013, 0.012, x, sigma);
  for (std::size_t k = 0; k < rows.size(); ++k) {
    ASSERT_TRUE(zqtest::RelClose(rows[k][1], sigma[k] * 1e20, 1e-11)) << k;
    ASSERT_EQ(rows[k][2], 0) << k;
  }
  const CliRun refused = cli(spectrum({"--spectra", "continuum", "--continuum", "off"}));
  EXPECT_EQ(refused.code, 1);
  EXPECT_NE(refused.err.find("Continuum spectra type"), std::string::npos) << refused.err;
}

TEST_F(CliContinuumTest, ColumnAndPowerTakeItAndSayWhoseItIs) {
  ZQ_REQUIRE_CONTINUUM();
  const std::string file = zqtest::ContinuumFile().string();
  const std::vector<std::string> column = {"column", "--ini",    ini(), "--min",  "760", "--max",
                                           "1000",   "--layers", "6",   "--step", "0.1", "--quiet"};
  const CliRun off = cli(column);
  std::vector<std::string> withFile = column;
  withFile.insert(withFile.end(), {"--continuum", file});
  const CliRun on = cli(withFile);
  ASSERT_EQ(off.code, 0) << off.err;
  ASSERT_EQ(on.code, 0) << on.err;
  EXPECT_EQ(on.out.rfind(zqsession::ContinuumCommentLines(), 0), 0u);
  EXPECT_LT(row_value(on.out, "OLR 1x"), row_value(off.out, "OLR 1x") - 1); // the window closes a little
  const CliRun power = cli({"power", "--ini", ini(), "--physics", "hitran", "--min", "300", "--max", "1300",
                            "--continuum", file, "--quiet"});
  ASSERT_EQ(power.code, 0) << power.err;
  EXPECT_EQ(power.out.rfind(zqsession::ContinuumCommentLines() + "result,W/m2\n", 0), 0u);
}

TEST_F(CliContinuumTest, DamagedFilesEndTheRunWithExitThreeNamingThem) {
  std::vector<zqtest::Var> missing = zqtest::small_table(), nan = zqtest::small_table();
  missing.erase(missing.begin() + 3); // self_texp
  nan[1].Values[3] = std::numeric_limits<double>::quiet_NaN();
  zqtest::write_netcdf(dir / "missing.nc", missing);
  zqtest::write_netcdf(dir / "nan.nc", nan);
  zqtest::WriteFile(dir / "text.nc", "not netCDF\n");
  const std::pair<const char*, const char*> cases[] = {
      {"missing.nc", "'self_texp'"}, {"nan.nc", "'self_absco_ref'"}, {"text.nc", "is not a netCDF file"}};
  for (const auto& [name, why] : cases)
    for (const char* command : {"spectrum", "power", "column"}) {
      const std::string file = (dir / name).string();
      const CliRun r = cli(
          {command, "--ini", ini(), "--continuum", file, "--quiet", "--output", (dir / "out.csv").string()});
      EXPECT_EQ(r.code, 3) << command << " " << name;
      EXPECT_NE(r.err.find(file), std::string::npos) << r.err;
      EXPECT_NE(r.err.find(why), std::string::npos) << r.err;
      EXPECT_FALSE(std::filesystem::exists(dir / "out.csv")) << command;
    }
}
