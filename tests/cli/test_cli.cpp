// absorbview-cli against the model it drives: each subcommand's CSV equals what the model objects
// give for the same settings, and bad command lines end with the right exit code and message.
#include "CliRun.h"
#include "TestSupport.h"
#include "zqAtmosphere.h"
#include "zqBlackbody.h"
#include "zqCli.h"
#include "zqColumnMemory.h"
#include "zqDemoLines.h"
#include "zqHITRAN.h"
#include "zqHitranColumnSource.h"
#include "zqHitranPhysics.h"
#include "zqINI_File.h"
#include "zqLineSeries.h"
#include "zqPlanck.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <sstream>

namespace {

using clitest::cli;
using clitest::CliRun;

std::vector<std::vector<std::string>> csv(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    std::vector<std::string> cells;
    std::istringstream cellsIn(line);
    for (std::string cell; std::getline(cellsIn, cell, ',');)
      cells.push_back(cell);
    rows.push_back(cells);
  }
  return rows;
}

// A folder with the demonstration line lists and an INI file that only adds a comment, so the
// built-in defaults name the files and they are found beside the INI file.
class CliTest : public ::testing::Test {
protected:
  void SetUp() override {
    WriteDemoLineLists(dir.path());
    zqtest::WriteFile(ini(), "; test configuration\n");
  }
  std::string ini() const { return (dir / "absorbview.ini").string(); }

  // A line list loaded and set up as the tool sets it up.
  std::unique_ptr<T_zq_HITRAN> model(const char* file, const char* molecule, double lo, double hi, double t,
                                     double p, double ppm) {
    auto list = std::make_unique<T_zq_HITRAN>();
    list->MoleculeType = molecule;
    list->LoadFromFile((dir / file).string());
    list->SetWavenumberMin(lo);
    list->SetWavenumberMax(hi);
    list->SetTemperature(t);
    list->SetPressure(p);
    list->SetLineWidthLimit(200);
    list->MaxPath = 1000;
    list->MinPath = 0;
    list->SetMixingRatio(ppm);
    return list;
  }

  zqtest::TempDir dir;
};

} // namespace

TEST_F(CliTest, OpticalDepthMatchesTheModel) {
  const CliRun r =
      cli({"spectrum", "--ini", ini(), "--plot", "Optical Depth", "--spectra", "pressure", "--min", "600",
           "--max", "800", "--temperature", "250", "--pressure", "500", "--co2", "400", "--h2o", "3000"});
  ASSERT_EQ(r.code, 0) << r.err;
  const auto rows = csv(r.out);
  ASSERT_EQ(rows.size(), 50001u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"wavenumber_cm-1", "H2O", "CO2", "Combined"}));

  auto co2 = model("02_CO2.txt", " 2", 600, 800, 250, 500, 400);
  co2->PlotType = "Optical Depth";
  co2->SpectraType = "Temperature and Pressure Broadened";
  co2->Scaling = "raw";
  TLineSeries expected;
  co2->FillSeries(expected, "spectra", "wavenumber");
  ASSERT_EQ(expected.Count(), 50000u);
  for (std::size_t i = 0; i < expected.Count(); i += 997) {
    EXPECT_NEAR(std::stod(rows[i + 1][0]), expected.XValues()[i], 1e-9);
    EXPECT_TRUE(zqtest::RelClose(std::stod(rows[i + 1][2]), expected.YValues()[i], 1e-10, 1e-10)) << i;
  }
}

// Broadened spectra with raw scaling: the combined column is the mixing-ratio weighted sum of the two
// gases; with "Mixing Ratio" scaling each gas column grows by its mixing ratio and the combined one
// stays as it was.
TEST_F(CliTest, CombinedSpectrumAndScaling) {
  const std::vector<std::string> base = {"spectrum", "--ini", ini(),   "--spectra", "pressure",
                                         "--min",    "1500",  "--max", "1700",      "--co2",
                                         "350",      "--h2o", "10000", "--quiet"};
  CliRun raw = cli(base);
  auto scaledArgs = base;
  scaledArgs.insert(scaledArgs.end(), {"--scaling", "Mixing Ratio"});
  CliRun scaled = cli(scaledArgs);
  ASSERT_EQ(raw.code, 0) << raw.err;
  ASSERT_EQ(scaled.code, 0) << scaled.err;
  const auto a = csv(raw.out), b = csv(scaled.out);
  ASSERT_EQ(a.size(), b.size());
  double peak = 0;
  for (std::size_t i = 1; i < a.size(); i += 101) {
    const double h2o = std::stod(a[i][1]), co2 = std::stod(a[i][2]), combined = std::stod(a[i][3]);
    peak = std::max(peak, h2o);
    EXPECT_TRUE(zqtest::RelClose(combined, 10000 * h2o + 350 * co2, 1e-9, 1e-12)) << i;
    EXPECT_TRUE(zqtest::RelClose(std::stod(b[i][1]), 10000 * h2o, 1e-9, 1e-12));
    EXPECT_TRUE(zqtest::RelClose(std::stod(b[i][2]), 350 * co2, 1e-9, 1e-12));
    EXPECT_EQ(b[i][3], a[i][3]);
  }
  EXPECT_GT(peak, 0.0);
}

TEST_F(CliTest, MeanPathOfTheMeanFreePathType) {
  const CliRun r =
      cli({"spectrum", "--ini", ini(), "--plot", "Mean Path", "--spectra", "doppler", "--min", "2300",
           "--max", "2400", "--path-type", "free", "--path-multiplier", "3", "--max-path", "500"});
  ASSERT_EQ(r.code, 0) << r.err;
  const auto rows = csv(r.out);
  auto co2 = model("02_CO2.txt", " 2", 2300, 2400, 288, 1013, 350);
  co2->MaxPath = 500;
  co2->PathFactor = 3 * std::log(2.0);
  co2->PlotType = "Mean Path";
  co2->SpectraType = "Temperature, Pressure, and Doppler Broadened";
  co2->Scaling = "raw";
  TLineSeries expected;
  co2->FillSeries(expected, "spectra", "wavenumber");
  ASSERT_EQ(rows.size(), expected.Count() + 1);
  for (std::size_t i = 0; i < expected.Count(); i += 499) {
    EXPECT_TRUE(zqtest::RelClose(std::stod(rows[i + 1][2]), expected.YValues()[i], 1e-10)) << i;
    EXPECT_LE(std::stod(rows[i + 1][2]), 500.0);
  }
}

TEST_F(CliTest, RawLinesOnePerLineAndGas) {
  const CliRun r = cli(
      {"spectrum", "--ini", ini(), "--min", "0", "--max", "1000", "--output", (dir / "raw.csv").string()});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(r.out.empty());
  const auto rows = csv(zqtest::ReadFile(dir / "raw.csv"));
  EXPECT_EQ(rows[0], (std::vector<std::string>{"gas", "wavenumber_cm-1", "value"}));
  std::map<std::string, std::size_t> perGas;
  for (std::size_t i = 1; i < rows.size(); ++i)
    ++perGas[rows[i][0]];
  std::size_t co2Lines = 0, h2oLines = 0;
  for (const DemoLine& l : DemoCO2Lines())
    co2Lines += l.Wavenumber <= 1000;
  for (const DemoLine& l : DemoH2OLines())
    h2oLines += l.Wavenumber <= 1000;
  EXPECT_EQ(perGas["CO2"], co2Lines);
  EXPECT_EQ(perGas["H2O"], h2oLines);
  EXPECT_EQ(perGas.count("Combined"), 0u); // the combined list has no lines
  EXPECT_FALSE(std::filesystem::exists(dir / "raw.csv.part"));
}

TEST_F(CliTest, PowerMatchesTheModel) {
  const CliRun r = cli({"power", "--ini", ini(), "--min", "500", "--max", "900", "--temperature", "300",
                        "--path", "2000", "--co2", "350", "--h2o", "10000"});
  ASSERT_EQ(r.code, 0) << r.err;
  std::map<std::string, double> v;
  for (const auto& row : csv(r.out))
    if (row.size() == 2 && row[0] != "result") v[row[0]] = std::stod(row[1]);
  ASSERT_EQ(v.size(), 8u);

  auto co2 = model("02_CO2.txt", " 2", 500, 900, 300, 1013, 350);
  auto h2o = model("01_h2o_161_only.txt", " 1", 500, 900, 300, 1013, 10000);
  for (auto* l : {co2.get(), h2o.get()}) {
    l->PlotType = "Spectra";
    l->SpectraType = "Temperature and Pressure Broadened";
    l->Scaling = "raw";
    l->PathFactor = 1;
  }
  EXPECT_TRUE(zqtest::RelClose(v["CO2 1x"], co2->AbsorbedBlackbodyPower(2000), 1e-10));
  EXPECT_TRUE(zqtest::RelClose(v["CO2 2x"], co2->AbsorbedBlackbodyPower(4000), 1e-10));
  EXPECT_TRUE(zqtest::RelClose(v["H2O 1x"], h2o->AbsorbedBlackbodyPower(2000), 1e-10));
  EXPECT_TRUE(zqtest::RelClose(v["Sum 1x"], v["CO2 1x"] + v["H2O 1x"], 1e-10));
  EXPECT_TRUE(zqtest::RelClose(v["Sum 2x"], v["CO2 2x"] + v["H2O 1x"], 1e-10));
  EXPECT_GT(v["CO2 2x"], v["CO2 1x"]);
  EXPECT_GT(v["Combined 2x"], v["Combined 1x"]);
  EXPECT_LE(v["Combined 1x"], v["Sum 1x"] * (1 + 1e-12)); // overlapping absorption is not counted twice
  EXPECT_TRUE(zqtest::RelClose(v["Blackbody power"], 5.67e-8 * std::pow(300.0, 4), 1e-12));
}

TEST_F(CliTest, BlackbodyAndAtmosphereMatchTheModel) {
  CliRun r = cli({"blackbody", "--ini", ini(), "--temperature", "255", "--min", "100", "--max", "2100",
                  "--values", "20"});
  ASSERT_EQ(r.code, 0) << r.err;
  auto rows = csv(r.out);
  T_zq_Blackbody bb;
  bb.XMin = 100;
  bb.XMax = 2100;
  bb.Number_of_Values = 20;
  bb.ComputeValues(255);
  TLineSeries expected;
  bb.AddValuesToSeries(expected);
  ASSERT_EQ(rows.size(), expected.Count() + 1);
  for (std::size_t i = 0; i < expected.Count(); ++i)
    EXPECT_TRUE(zqtest::RelClose(std::stod(rows[i + 1][1]), expected.YValues()[i], 1e-10));

  r = cli({"atmosphere", "--from", "0", "--to", "30", "--step", "7.5", "--altitude", "11"});
  ASSERT_EQ(r.code, 0) << r.err;
  rows = csv(r.out);
  ASSERT_EQ(rows.size(), 7u); // header, 11, then 0, 7.5, 15, 22.5, 30
  T_zq_Atmosphere atmosphere;
  for (std::size_t i = 1; i < rows.size(); ++i) {
    const double h = std::stod(rows[i][0]);
    const double p = double(atmosphere.PressureAt(h));
    EXPECT_TRUE(zqtest::RelClose(std::stod(rows[i][1]), p, 1e-10)) << h;
    EXPECT_TRUE(zqtest::RelClose(std::stod(rows[i][2]), double(atmosphere.LastTemperature), 1e-10)) << h;
  }
  EXPECT_EQ(rows[2][0], "0");
  EXPECT_NEAR(std::stod(rows[2][1]), 1013.0, 0.5);
}

TEST_F(CliTest, BadCommandLinesSayWhatIsWrong) {
  struct Case {
    std::vector<std::string> args;
    int code;
    std::string message;
  };
  const std::string missingIni = (dir / "missing.ini").string();
  const std::vector<Case> cases = {
      {{}, 2, "usage: absorbview-cli"},
      {{"spectra"}, 2, "unknown subcommand \"spectra\""},
      {{"spectrum", "--colour", "red"}, 2, "unknown option --colour"},
      {{"spectrum", "--temperature", "warm"}, 2, "\"warm\" is not a number"},
      {{"spectrum", "--temperature", "nan"}, 2, "is not a number"},
      {{"spectrum", "--temperature", "+-5"}, 2, "is not a number"},
      {{"spectrum", "--temperature", "1e999"}, 2, "is not a number"},
      {{"spectrum", "--pressure", "-5"}, 2, "out of range"},
      {{"power", "--path-multiplier", "500"}, 2, "out of range"},
      {{"spectrum", "--plot", "Pie"}, 2, "is not one of"},
      {{"spectrum", "--min"}, 2, "--min needs a value"},
      {{"spectrum", "--min", "1", "--min", "2"}, 2, "more than once"},
      {{"spectrum", "--ini", ini(), "--min", "600", "--max", "640"}, 2, "at least 50 cm-1"},
      {{"atmosphere"}, 2, "--altitude"},
      {{"spectrum", "--ini", missingIni}, 3, missingIni},
      {{"blackbody", "/ini", missingIni}, 3, "INI file not found"},
      {{"spectrum", "--ini", ini(), "--output", (dir / "no folder" / "x.csv").string()}, 1, "no folder"},
  };
  for (const Case& c : cases) {
    const CliRun r = cli(c.args);
    std::string joined;
    for (const auto& a : c.args)
      joined += a + " ";
    EXPECT_EQ(r.code, c.code) << joined << "\n" << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << joined << "\n" << r.err;
  }
}

TEST_F(CliTest, MissingLineFileIsNamed) {
  std::filesystem::remove(dir / "02_CO2.txt");
  const CliRun r = cli({"power", "--ini", ini()});
  EXPECT_EQ(r.code, 3);
  EXPECT_NE(r.err.find("02_CO2.txt"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find(dir.path().string()), std::string::npos) << r.err;
  EXPECT_TRUE(r.out.empty());
}

TEST(CliHelp, EverySubcommandDescribesItsOptions) {
  const std::map<std::string, std::vector<std::string>> expected = {
      {"spectrum",
       {"--plot", "--spectra", "--scaling", "--min", "--max", "--temperature", "--output", "--ini"}},
      {"power", {"--path", "--co2", "--h2o", "--min", "--max"}},
      {"blackbody", {"--temperature", "--values"}},
      {"atmosphere", {"--altitude", "--from", "--to", "--step"}}};
  for (const auto& [command, options] : expected) {
    const CliRun r = cli({command, "--help"});
    EXPECT_EQ(r.code, 0);
    for (const auto& o : options)
      EXPECT_NE(r.out.find(o), std::string::npos) << command << " " << o;
  }
  const CliRun top = cli({"--help"});
  EXPECT_EQ(top.code, 0);
  for (const auto& [command, options] : expected)
    EXPECT_NE(top.out.find(command), std::string::npos);
}

// "--ini NAME" without a folder names a file in the current folder, as any command-line tool would,
// and the file's Filename keys are used.
TEST_F(CliTest, RelativeIniNameIsTheCurrentFolder) {
  std::filesystem::rename(dir / "01_h2o_161_only.txt", dir / "other water.txt");
  zqtest::WriteFile(dir / "mine.ini", "[h2o]\nFilename = other water.txt\n");
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  const CliRun r = cli({"power", "--ini", "mine.ini", "--quiet"});
  std::filesystem::current_path(previous);
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("H2O 1x,"), std::string::npos);
}

TEST_F(CliTest, OutputIsNeverWrittenThroughALinkPlantedBesideIt) {
  namespace fs = std::filesystem;
  const fs::path victim = dir / "victim.txt";
  zqtest::WriteFile(victim, "precious\n");
  for (const char* suffix : {".part", ".tmp", ".zqb", ".new", ".bak"})
    fs::create_symlink(victim, dir / (std::string("out.csv") + suffix));
  const CliRun r = cli({"blackbody", "--ini", ini(), "--output", (dir / "out.csv").string()});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(zqtest::ReadFile(victim), "precious\n");
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dir / "out.csv")));
  EXPECT_EQ(zqtest::ReadFile(dir / "out.csv"), cli({"blackbody", "--ini", ini()}).out);

  // A link under the output name itself is written through, as a shell's redirection would, and stays.
  fs::create_directory(dir / "results");
  fs::create_symlink(fs::path("results") / "bb.csv", dir / "bb.csv");
  ASSERT_EQ(cli({"blackbody", "--ini", ini(), "--output", (dir / "bb.csv").string()}).code, 0);
  EXPECT_TRUE(fs::is_symlink(dir / "bb.csv"));
  EXPECT_EQ(zqtest::ReadFile(dir / "results" / "bb.csv"), zqtest::ReadFile(dir / "out.csv"));
  // Nothing else is left behind.
  std::size_t entries = 0;
  for (const auto& e : fs::directory_iterator(dir / "results")) {
    ++entries;
    EXPECT_EQ(e.path().filename(), "bb.csv");
  }
  EXPECT_EQ(entries, 1u);
}

// A blackbody curve the model refuses (no points asked for) ends the run with exit 1 and writes no
// file; the temperature bound the help states is the one the check applies.
TEST_F(CliTest, BlackbodyRefusalIsAFailureAndWritesNothing) {
  for (const char* count : {"-1", "0"}) {
    zqtest::WriteFile(ini(), std::string("[blackbody 1]\nNumber_of_Values = ") + count + "\n");
    const auto target = dir / "bb.csv";
    const CliRun r = cli({"blackbody", "--ini", ini(), "--output", target.string()});
    EXPECT_EQ(r.code, 1) << count << "\n" << r.err;
    EXPECT_FALSE(r.err.empty());
    EXPECT_FALSE(std::filesystem::exists(target)) << count;
    EXPECT_FALSE(std::filesystem::exists(dir / "bb.csv.part")) << count;
  }
  zqtest::WriteFile(ini(), "; defaults\n");
  EXPECT_NE(cli({"blackbody", "--help"}).out.find("0.1"), std::string::npos);
  EXPECT_EQ(cli({"blackbody", "--ini", ini(), "--temperature", "0.1"}).code, 0);
  EXPECT_EQ(cli({"blackbody", "--ini", ini(), "--temperature", "0.09"}).code, 2);
}

// The header names what the values are: 10 x W m-2 per cm-1, checked against Planck's law written
// out here with CODATA constants (the curve's own constants differ in the sixth digit).
TEST_F(CliTest, BlackbodyHeaderStatesTheUnitOfItsValues) {
  const CliRun r = cli({"blackbody", "--ini", ini(), "--temperature", "288", "--min", "100", "--max", "2100",
                        "--values", "20"});
  ASSERT_EQ(r.code, 0) << r.err;
  const auto rows = csv(r.out);
  ASSERT_EQ(rows[0], (std::vector<std::string>{"wavenumber_cm-1", "exitance_W_m-2_per_cm-1_x10"}));
  const double h = 6.62607015e-34, c = 299792458.0, k = 1.380649e-23, pi = 3.14159265358979323846;
  for (std::size_t i = 1; i < rows.size(); ++i) {
    const double nu = std::stod(rows[i][0]) * 100; // m-1
    const double perM = 2 * pi * h * c * c * nu * nu * nu / std::expm1(h * c * nu / (k * 288));
    const double perCm = perM * 100; // W m-2 per cm-1
    EXPECT_TRUE(zqtest::RelClose(std::stod(rows[i][1]), 10 * perCm, 1e-3)) << rows[i][0];
  }
}

// "[CO2] ppmv" is the CO2 default of the tool as of the window; a value that is no mixing ratio is
// refused by name instead of reaching the combined spectrum.
TEST_F(CliTest, IniCO2MixingRatioIsCheckedAndUsed) {
  const std::vector<std::string> args = {"spectrum", "--ini", ini(),   "--spectra", "pressure",
                                         "--min",    "600",   "--max", "700",       "--quiet"};
  auto with = [&](std::vector<std::string> more) {
    auto a = args;
    a.insert(a.end(), more.begin(), more.end());
    return cli(a);
  };
  const CliRun explicit400 = with({"--co2", "400"});
  zqtest::WriteFile(ini(), "[CO2]\nppmv = 400\n");
  const CliRun fromIni = with({});
  ASSERT_EQ(fromIni.code, 0) << fromIni.err;
  EXPECT_EQ(fromIni.out, explicit400.out);
  for (const char* bad : {"-350", "NaN", "1e400", "lots"}) {
    zqtest::WriteFile(ini(), std::string("[CO2]\nppmv = ") + bad + "\n");
    const CliRun r = with({});
    EXPECT_EQ(r.code, 3) << bad;
    EXPECT_NE(r.err.find("[CO2] ppmv"), std::string::npos) << r.err;
    EXPECT_TRUE(r.out.empty()) << bad;
  }
}

// Notes the window shows (a zero spectrum, values too large to plot) reach stderr, and the columns
// of a grid plot stay the same whatever the values: a point left out is an empty cell.
TEST_F(CliTest, NotesReachStderrAndGridLayoutStays) {
  CliRun r = cli({"spectrum", "--ini", ini(), "--spectra", "pressure", "--min", "600", "--max", "700",
                  "--co2", "0", "--quiet"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.err.find("note: [co2] Mixing ratio is at its floor"), std::string::npos) << r.err;

  // Two lines so strong that their plotted values overflow (the spectrum itself still fits a double).
  std::string co2 = zqtest::ReadFile(dir / "02_CO2.txt");
  const std::size_t last = co2.rfind('\n', co2.size() - 2) + 1; // a data record, after the comments
  std::string huge = co2.substr(last, co2.find('\n', last) - last);
  huge.replace(3, 12, "  650.000000");
  huge.replace(15, 10, "1.000E+290");
  zqtest::WriteFile(dir / "02_CO2.txt", co2 + huge + "\n" + huge + "\n");
  r = cli({"spectrum", "--ini", ini(), "--spectra", "pressure", "--scaling", "Mixing Ratio", "--min", "600",
           "--max", "700", "--quiet"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.err.find("note: [co2]"), std::string::npos) << r.err;
  const auto rows = csv(r.out);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"wavenumber_cm-1", "H2O", "CO2", "Combined"}));
  EXPECT_EQ(rows.size(), 50001u);
}

// ---- column

namespace {

std::map<std::string, double> column_rows(const std::string& out) {
  std::map<std::string, double> rows;
  const auto cells = csv(out);
  for (std::size_t i = 1; i < cells.size(); ++i)
    if (cells[i].size() == 2) rows[cells[i][0]] = std::stod(cells[i][1]);
  return rows;
}

} // namespace

// The CSV's rows in their order, equal to the model's column on the same lists; the spectrum file's
// points integrate to the OLR of the rows.
TEST_F(CliTest, ColumnWritesTheModelsFluxesAndSpectrum) {
  const auto spectrum = dir / "olr.csv";
  const CliRun r =
      cli({"column", "--ini", ini(),      "--co2",        "400",    "--min",      "600",
           "--max",  "750",   "--layers", "12",           "--step", "0.05",       "--top",
           "50",     "--rh",  "40",       "--co2-factor", "3",      "--spectrum", spectrum.string(),
           "--quiet"});
  ASSERT_EQ(r.code, 0) << r.err;
  const auto rows = csv(r.out);
  std::vector<std::string> names;
  for (const auto& row : rows)
    names.push_back(row.at(0));
  EXPECT_EQ(names,
            (std::vector<std::string>{"result", "OLR 1x", "OLR 2x", "Forcing TOA", "Forcing tropopause",
                                      "Surface downwelling 1x", "Surface downwelling 2x", "Surface emission",
                                      "Observer flux 1x", "Observer flux Nx", "Emission height 1x km"}));
  EXPECT_EQ(rows[0][1], "W/m2");

  const auto water = model("01_h2o_161_only.txt", " 1", 0, 5000, 288, 1013, 1);
  const auto co2 = model("02_CO2.txt", " 2", 0, 5000, 288, 1013, 1);
  ASSERT_FALSE(water->Records.empty() || co2->Records.empty());
  TzqHitranColumnSource source(water.get(), co2.get());
  TzqColumnSettings s;
  s.CO2 = 400;
  s.CO2Factor = 3;
  s.RelativeHumidity = 40;
  s.WavenumberMin = 600;
  s.WavenumberMax = 750;
  s.Layers = 12;
  s.Step = 0.05;
  s.TopAltitude = 50;
  TzqColumn column;
  const TzqColumnResult m = column.Compute(s, source);
  ASSERT_TRUE(m.Computed) << m.Refusal;
  EXPECT_GT(m.ForcingTOA, 0);
  const auto v = column_rows(r.out);
  const std::pair<const char*, double> expected[] = {{"OLR 1x", m.OLR1x},
                                                     {"OLR 2x", m.OLRNx},
                                                     {"Forcing TOA", m.ForcingTOA},
                                                     {"Forcing tropopause", m.ForcingTropopause},
                                                     {"Surface downwelling 1x", m.SurfaceDownwelling1x},
                                                     {"Surface downwelling 2x", m.SurfaceDownwellingNx},
                                                     {"Surface emission", m.SurfaceEmission}};
  for (const auto& [name, value] : expected)
    EXPECT_TRUE(zqtest::RelClose(v.at(name), value, 1e-11, 1e-12))
        << name << " " << v.at(name) << " " << value;

  const auto points = csv(zqtest::ReadFile(spectrum));
  ASSERT_EQ(points.size(), m.Wavenumber.size() + 1);
  EXPECT_EQ(points[0],
            (std::vector<std::string>{"wavenumber_cm-1", "OLR_1x", "OLR_2x", "Tb_1x_K", "Tb_Nx_K"}));
  double olr1 = 0, olr2 = 0;
  for (std::size_t i = 1; i < points.size(); ++i) {
    const double nu = std::stod(points[i][0]);
    olr1 += std::stod(points[i][1]) * m.Step;
    olr2 += std::stod(points[i][2]) * m.Step;
    // The brightness temperature of the default observer (the top looking down) is that of the OLR.
    for (int state : {1, 2})
      ASSERT_TRUE(zqtest::RelClose(std::stod(points[i][2 + state]),
                                   zqplanck::BrightnessTemperature(nu, std::stod(points[i][state])), 1e-10))
          << nu;
  }
  EXPECT_NEAR(olr1, v.at("OLR 1x"), 1e-8 * olr1);
  EXPECT_NEAR(olr2, v.at("OLR 2x"), 1e-8 * olr2);
}

// Checks that hold whatever the lines: an isothermal column sends up the surface's Planck emission over
// the band, however much it absorbs; without absorbers the top sees the surface and nothing changes.
TEST_F(CliTest, ColumnIsothermalAndTransparentLimits) {
  const std::vector<std::string> base = {"column", "--ini",    ini(), "--min",  "550",  "--max",
                                         "800",    "--layers", "8",   "--step", "0.05", "--quiet"};
  auto run = [&](std::vector<std::string> more) {
    auto a = base;
    a.insert(a.end(), more.begin(), more.end());
    const CliRun r = cli(a);
    EXPECT_EQ(r.code, 0) << r.err;
    return column_rows(r.out);
  };
  const double planck = zqplanck::BandExitance(550, 800, 300);
  for (const char* co2 : {"400", "20000"}) {
    const auto v = run({"--isothermal", "--surface-temperature", "300", "--rh", "100", "--co2", co2});
    EXPECT_NEAR(v.at("OLR 1x"), planck, 1e-6 * planck) << co2;
    EXPECT_NEAR(v.at("OLR 2x"), planck, 1e-6 * planck) << co2;
    EXPECT_NEAR(v.at("Surface emission"), planck, 1e-9 * planck);
    EXPECT_NEAR(v.at("Forcing TOA"), 0, 1e-6 * planck);
  }
  const auto clear = run({"--co2", "0", "--rh", "0"});
  const double emission = clear.at("Surface emission");
  EXPECT_NEAR(clear.at("OLR 1x"), emission, 1e-6 * emission);
  EXPECT_EQ(clear.at("OLR 2x"), clear.at("OLR 1x"));
  EXPECT_EQ(clear.at("Forcing TOA"), 0);
  EXPECT_EQ(clear.at("Forcing tropopause"), 0);
  EXPECT_EQ(clear.at("Surface downwelling 1x"), 0);
}

// A built-in atmosphere seen from the ground: the observer's flux is the surface downwelling, the
// profile file holds every level with fluxes that close with its heating rates, and the options that
// belong to the other kind of atmosphere are refused by name.
TEST_F(CliTest, ColumnAtmosphereObserverAndProfile) {
  const auto profile = dir / "levels.csv";
  const std::vector<std::string> base = {"column", "--ini",   ini(),         "--min", "550",
                                         "--max",  "800",     "--layers",    "10",    "--step",
                                         "0.1",    "--quiet", "--atmosphere"};
  auto run = [&](std::vector<std::string> more) {
    auto a = base;
    a.insert(a.end(), more.begin(), more.end());
    return cli(a);
  };
  const CliRun r = run({"midlatitude-winter", "--observer", "0", "--look", "up", "--heating-bands",
                        "550-700,700-800", "--profile-output", profile.string()});
  ASSERT_EQ(r.code, 0) << r.err;
  const auto v = column_rows(r.out);
  EXPECT_EQ(v.at("Observer flux 1x"), v.at("Surface downwelling 1x"));
  EXPECT_EQ(v.at("Observer flux Nx"), v.at("Surface downwelling 2x"));
  EXPECT_NEAR(v.at("Surface emission"), zqplanck::BandExitance(550, 800, 272.2), 1e-9); // the table's ground

  const auto rows = csv(zqtest::ReadFile(profile));
  ASSERT_EQ(rows.size(), 12u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{
                         "altitude_km", "pressure_mb", "temperature_K", "h2o_ppmv", "co2_ppmv", "up_1x",
                         "down_1x", "up_Nx", "down_Nx", "heating_1x_K_per_day", "heating_Nx_K_per_day",
                         "heating_1x_550-700_K_per_day", "heating_Nx_550-700_K_per_day",
                         "heating_1x_700-800_K_per_day", "heating_Nx_700-800_K_per_day"}));
  EXPECT_EQ(rows[1][0] + "," + rows[1][1] + "," + rows[1][2], "0,1018,272.2");
  EXPECT_EQ(std::stod(rows[11][5]), v.at("OLR 1x"));
  EXPECT_EQ(std::stod(rows[1][6]), v.at("Surface downwelling 1x"));
  EXPECT_TRUE(rows[11][9].empty()); // no layer above the top
  for (int state : {0, 1}) {
    const std::size_t up = 5 + 2 * state, heating = 9 + state;
    double absorbed = 0, bands = 0;
    for (std::size_t i = 1; i < 11; ++i) {
      const double dp = std::stod(rows[i][1]) - std::stod(rows[i + 1][1]);
      absorbed += std::stod(rows[i][heating]) * 1004 * dp * 100 / (9.80665 * 86400);
      bands +=
          std::stod(rows[i][heating + 2]) + std::stod(rows[i][heating + 4]) - std::stod(rows[i][heating]);
    }
    const double divergence = std::stod(rows[1][up]) - std::stod(rows[1][up + 1]) - std::stod(rows[11][up]) +
                              std::stod(rows[11][up + 1]);
    EXPECT_NEAR(absorbed, divergence, 1e-9 * std::fabs(divergence) + 1e-10) << state;
    EXPECT_NEAR(bands, 0, 1e-5) << state;
  }

  EXPECT_EQ(run({"tropical", "--rh", "50"}).code, 2);
  EXPECT_NE(run({"tropical", "--rh", "50"}).err.find("--rh applies to the standard atmosphere only"),
            std::string::npos);
  EXPECT_EQ(run({"standard", "--h2o-scale", "2"}).code, 2);
  EXPECT_EQ(run({"tropical", "--heating-bands", "700-"}).code, 2);
  EXPECT_EQ(run({"tropical", "--observer", "71"}).code, 2);
  const CliRun missing = run({(dir / "none.csv").string()});
  EXPECT_EQ(missing.code, 3);
  EXPECT_NE(missing.err.find("none.csv"), std::string::npos);
}

// The warming to balance for both holds, and the column warmed by it sending up what the unwarmed
// one did.
TEST_F(CliTest, ColumnBalanceAndOffset) {
  const std::vector<std::string> base = {"column",   "--ini", ini(),    "--min", "550",  "--max", "800",
                                         "--layers", "10",    "--step", "0.1",   "--rh", "70",    "--quiet"};
  auto run = [&](std::vector<std::string> more) {
    auto a = base;
    a.insert(a.end(), more.begin(), more.end());
    return cli(a);
  };
  const CliRun b = run({"--balance", "--hold", "both"});
  ASSERT_EQ(b.code, 0) << b.err;
  const auto v = column_rows(b.out);
  const double vapour = v.at("Warming to balance K (fixed vapour)"),
               rh = v.at("Warming to balance K (fixed RH)");
  EXPECT_GT(vapour, 0);
  EXPECT_GT(rh, vapour);
  EXPECT_NEAR(v.at("Water vapour feedback factor"), rh / vapour, 1e-9);
  EXPECT_NEAR(v.at("Feedback parameter W/m2/K (fixed RH)") * rh, v.at("Forcing TOA"), 1e-8);
  EXPECT_GE(v.at("Balance iterations (fixed RH)"), 1);

  const std::size_t at = b.out.find("(fixed RH),") + 11;
  const CliRun warmed = run({"--offset", b.out.substr(at, b.out.find('\n', at) - at), "--hold", "rh"});
  ASSERT_EQ(warmed.code, 0) << warmed.err;
  const auto w = column_rows(warmed.out);
  EXPECT_NEAR(w.at("OLR 2x"), w.at("OLR 1x"), 1e-5);
  EXPECT_EQ(run({"--hold", "both"}).code, 2);
}

TEST_F(CliTest, ColumnRefusesBadSettingsWithoutWriting) {
  const auto target = dir / "col.csv";
  auto code = [&](std::vector<std::string> more) {
    std::vector<std::string> a = {"column", "--ini", ini(), "--quiet", "--output", target.string()};
    a.insert(a.end(), more.begin(), more.end());
    const CliRun r = cli(a);
    EXPECT_FALSE(r.err.empty());
    return r.code;
  };
  EXPECT_EQ(code({"--layers", "2.5"}), 2);
  EXPECT_EQ(code({"--min", "800", "--max", "700"}), 2);
  EXPECT_EQ(code({"--rh", "120"}), 2);
  // The spectrum cannot be written into a folder that does not exist: a failed run, no CSV.
  EXPECT_EQ(code({"--min", "600", "--max", "700", "--layers", "4", "--step", "0.1", "--spectrum",
                  (dir / "missing" / "s.csv").string()}),
            1);
  EXPECT_FALSE(std::filesystem::exists(target));
}

// What a line list holds that cannot be a line is left out and said, never taken silently; a value
// that no double can hold refuses the result instead of becoming 0.
TEST_F(CliTest, LeftOutRecordsAreCountedAndOverflowsRefuseTheResult) {
  const auto water = dir / "01_h2o_161_only.txt";
  std::string edited;
  long isotopologue2 = 0, kept = 0;
  for (std::string line : zqSplitLines(zqtest::ReadFile(water))) {
    if (line.size() >= 100 && line.rfind(" 11", 0) == 0) {
      if (kept % 2 == 1) {
        line[2] = '2'; // half the water lines marked isotopologue 2
        ++isotopologue2;
      } else if (kept == 0 || kept == 2) {
        line.replace(15, 10, " -1.00E-19"); // S < 0
      } else if (kept == 4) {
        line.replace(3, 12, "   -5.000000"); // below 0 cm-1
      }
      ++kept;
    }
    edited += line + "\n";
  }
  ASSERT_GT(isotopologue2, 100);
  zqtest::WriteFile(water, edited);
  for (const char* physics : {"classic", "hitran"}) {
    const CliRun r = cli({"power", "--ini", ini(), "--physics", physics, "--quiet"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.err.find("note: [h2o] Reading " + water.string() + " left out " +
                         std::to_string(isotopologue2) +
                         " records of molecule 1 isotopologue 2, 2 records with a negative intensity (the "
                         "first on line "),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("1 record at a negative wavenumber"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("no width"), std::string::npos) << r.err;
  }
  const CliRun raw = cli({"spectrum", "--ini", ini(), "--quiet"});
  ASSERT_EQ(raw.code, 0) << raw.err;
  for (const auto& row : csv(raw.out))
    for (std::size_t i = 1; i < row.size(); ++i)
      EXPECT_FALSE(!row[i].empty() && row[i][0] == '-') << row[0];

  // One CO2 line far beyond any real intensity: the power it absorbs is not 0, it is refused by line.
  const auto co2 = dir / "02_CO2.txt";
  std::string strong = zqSplitLines(zqtest::ReadFile(co2)).back();
  strong.replace(15, 10, " 9.99E+307");
  zqtest::WriteFile(co2, strong + "\n");
  for (const char* physics : {"classic", "hitran"}) {
    const CliRun r = cli({"power", "--ini", ini(), "--physics", physics, "--quiet"});
    EXPECT_EQ(r.code, 1) << physics << ": " << r.out;
    EXPECT_TRUE(r.out.empty()) << physics;
    EXPECT_NE(r.err.find("too large to represent"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(zqTrim(strong.substr(3, 12)) + " cm-1"), std::string::npos) << r.err;
  }
}

TEST_F(CliTest, MessagesNameWhatTheUserGave) {
  // The CO2 multiple was not given: the message says what the default multiple makes of --co2.
  const CliRun co2 = cli({"column", "--ini", ini(), "--quiet", "--co2", "1e6"});
  EXPECT_EQ(co2.code, 2);
  EXPECT_NE(co2.err.find("CO2 1000000 ppm times its multiple 2 is above 1000000 ppm"), std::string::npos)
      << co2.err;
  // An unusable INI value stops the CLI: it does not claim a fallback it does not take.
  zqtest::WriteFile(ini(), "[CO2]\nppmv = lots\n");
  const CliRun ppmv = cli({"spectrum", "--ini", ini(), "--quiet"});
  EXPECT_EQ(ppmv.code, 3);
  EXPECT_NE(ppmv.err.find("[CO2] ppmv = \"lots\""), std::string::npos) << ppmv.err;
  EXPECT_EQ(ppmv.err.find("is used"), std::string::npos) << ppmv.err;
}

TEST_F(CliTest, ColumnBeyondTheMachinesMemoryIsRefusedBeforeAllocating) {
  TzqColumnSettings s;
  s.Layers = 1;
  s.Step = 1e-5;
  s.WavenumberMin = 6000;
  s.WavenumberMax = 7500;
  if (ColumnMemoryProblem(s).empty())
    GTEST_SKIP() << "this machine has room for a " << ColumnMemoryBytes(s) / 1e9 << " GB column";
  const auto spectrum = dir / "olr.csv";
  const CliRun r = cli({"column", "--ini", ini(), "--quiet", "--layers", "1", "--step", "1e-5", "--min",
                        "6000", "--max", "7500", "--spectrum", spectrum.string()});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("GB of memory"), std::string::npos) << r.err;
  EXPECT_TRUE(r.out.empty());
  EXPECT_FALSE(std::filesystem::exists(spectrum));
}

// The further gases on the command line: a list of another molecule is refused by name, saying what it
// holds; a named list draws its gas's HITRAN spectrum (and only under that physics); and with two gases
// changed the forcing of each alone is the forcing of a run that changes it alone.
TEST_F(CliTest, FurtherGasesTheirListsSpectraAndForcings) {
  WriteDemoO3List(dir.path());
  const std::string o3 = (dir / "03_o3_666_demo.txt").string(), co2 = (dir / "02_CO2.txt").string();
  const CliRun wrong = cli({"column", "--ini", ini(), "--quiet", "--ch4-lines", co2});
  EXPECT_EQ(wrong.code, 3);
  EXPECT_NE(wrong.err.find("holds no CH4 line (HITRAN molecule 6, isotopologue 1)"), std::string::npos)
      << wrong.err;
  EXPECT_NE(wrong.err.find("records of molecule 2 isotopologue 1"), std::string::npos) << wrong.err;

  const std::vector<std::string> spectrum = {"spectrum", "--ini",      ini(),    "--quiet",      "--gas",
                                             "o3",       "--o3-lines", o3,       "--min",        "1000",
                                             "--max",    "1080",       "--plot", "Optical Depth"};
  auto classic = spectrum;
  EXPECT_EQ(cli(classic).code, 1);
  EXPECT_NE(cli(classic).err.find("O3 needs the HITRAN line physics"), std::string::npos);
  auto hitran = spectrum;
  hitran.insert(hitran.end(), {"--physics", "hitran", "--spectra", "voigt"});
  const CliRun s = cli(hitran);
  ASSERT_EQ(s.code, 0) << s.err;
  const auto rows = csv(s.out);
  ASSERT_GT(rows.size(), 100u);
  ASSERT_EQ(rows[0].size(), 4u);
  EXPECT_EQ(rows[0][2], "O3");
  // ln tau of 1 km: above the floor of -5 inside the band, rising with the amount.
  double peak = -5;
  for (std::size_t i = 1; i < rows.size(); ++i)
    peak = std::max(peak, std::stod(rows[i][2]));
  EXPECT_GT(peak, -5);
  hitran.insert(hitran.end(), {"--gas-ppm", "10"});
  double richer = -5;
  for (const auto& row : csv(cli(hitran).out))
    if (row.size() == 4 && row[0] != "wavenumber_cm-1") richer = std::max(richer, std::stod(row[2]));
  EXPECT_GT(richer - peak, 1); // 376 times the default 0.0266 ppm

  const std::vector<std::string> column = {"column", "--ini", ini(),        "--quiet",  "--min",
                                           "550",    "--max", "1100",       "--layers", "10",
                                           "--step", "0.1",   "--o3-lines", o3};
  auto both = column;
  both.insert(both.end(), {"--o3-factor", "0"});
  const CliRun b = cli(both);
  ASSERT_EQ(b.code, 0) << b.err;
  EXPECT_EQ(b.err.find("[O3] O3 has no line list"), std::string::npos);
  EXPECT_NE(b.err.find("[CH4] CH4 has no line list"), std::string::npos) << b.err;
  const auto v = column_rows(b.out);
  auto alone = column;
  alone.insert(alone.end(), {"--o3-factor", "0", "--co2-factor", "1"});
  const auto a = column_rows(cli(alone).out);
  EXPECT_EQ(v.at("Forcing TOA O3 alone"), a.at("Forcing TOA"));
  EXPECT_LT(a.at("Forcing TOA"), -0.1); // ozone taken away: more leaves the top
  EXPECT_EQ(a.count("Forcing TOA O3 alone"), 0u);
  EXPECT_GT(v.at("Forcing TOA CO2 alone"), 0.1);
}
