// Line lists opened from the window's File menu and the table writer of exported data: what a pick
// resolves to (plain files of any name, HITRAN-API tables by file or folder), which files are refused
// with a reason, and the grid and long table layouts.
#include "FakePlatform.h"
#include "TestSupport.h"
#include "zqDemoLines.h"
#include "zqHITRAN.h"
#include "zqINI_Default.h"
#include "zqINI_File.h"
#include "zqLineListFile.h"
#include "zqLineSeries.h"
#include "zqRegisterTypes.h"
#include "zqSeriesTable.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

class LineListFileTest : public ::testing::Test {
protected:
  void SetUp() override {
    if (DatafileTypes().Count() == 0) RegisterDatafileTypes();
    WriteDemoLineLists(dir.path());
    ini.INI_Default = INI_DefaultLines();
    ini.Ignore_CmdLine = true;
    ini.Loaded();
  }
  std::string water() const { return (dir / "01_h2o_161_only.txt").string(); }
  std::string co2() const { return (dir / "02_CO2.txt").string(); }

  zq::FakePlatform fake;
  zqtest::TempDir dir;
  TzqINI_File ini;
};

} // namespace

TEST_F(LineListFileTest, HitranApiTablesResolveToTheirRecords) {
  fs::create_directory(dir / "api");
  fs::copy_file(water(), dir / "api" / "H2O.data");
  zqtest::WriteFile(dir / "api" / "H2O.header", "{\"table_name\": \"H2O\"}");
  const std::string data = (dir / "api" / "H2O.data").string();
  EXPECT_EQ(ResolveLineListFile((dir / "api").string()).File, data);
  EXPECT_EQ(ResolveLineListFile((dir / "api" / "H2O.header").string()).File, data);
  EXPECT_EQ(ResolveLineListFile(data).File, data);
  // Any name is a line file; a relative pick becomes absolute.
  const fs::path saved = fs::current_path();
  fs::current_path(dir.path());
  EXPECT_EQ(ResolveLineListFile("02_CO2.txt").File, co2());
  fs::current_path(saved);

  // Refusals say why.
  fs::create_directory(dir / "empty");
  EXPECT_NE(ResolveLineListFile((dir / "empty").string()).Error.find("no HITRAN-API table"),
            std::string::npos);
  fs::copy_file(co2(), dir / "api" / "CO2.data");
  zqtest::WriteFile(dir / "api" / "CO2.header", "{}");
  EXPECT_NE(ResolveLineListFile((dir / "api").string()).Error.find("2 HITRAN-API tables"), std::string::npos);
  zqtest::WriteFile(dir / "api" / "lonely.header", "{}");
  EXPECT_NE(ResolveLineListFile((dir / "api" / "lonely.header").string()).Error, "");
  EXPECT_NE(ResolveLineListFile((dir / "missing.par").string()).Error, "");
  EXPECT_EQ(ResolveLineListFile((dir / "missing.par").string()).File, "");
}

TEST_F(LineListFileTest, ALoadGivesAFullListOrAReason) {
  const TLineListLoad good = LoadLineListFile(ini, "h2o", water());
  ASSERT_TRUE(good.List) << good.Error;
  EXPECT_GT(good.List->RecordCount(), 100u);
  EXPECT_EQ(good.List->Filename, water());

  // 160-character records (a HITRANonline .par) read as the 100-character ones they start with.
  std::string longRecords;
  for (const std::string& line : zqSplitLines(zqtest::ReadFile(water())))
    longRecords += line.size() == 100 ? line + std::string(60, ' ') + "\n" : line + "\n";
  zqtest::WriteFile(dir / "h2o.par", longRecords);
  const TLineListLoad wide = LoadLineListFile(ini, "h2o", (dir / "h2o.par").string());
  ASSERT_TRUE(wide.List) << wide.Error;
  EXPECT_EQ(wide.List->RecordCount(), good.List->RecordCount());

  // Carbon dioxide lines are no water lines; text is no line list.
  const TLineListLoad wrongGas = LoadLineListFile(ini, "h2o", co2());
  EXPECT_FALSE(wrongGas.List);
  EXPECT_NE(wrongGas.Error.find("no line of this gas"), std::string::npos);
  EXPECT_NE(wrongGas.Error.find("molecule number 1 of [h2o]"), std::string::npos) << wrongGas.Error;
  // A file of another isotopologue of water says which one it holds.
  std::string deuterated;
  for (std::string line : zqSplitLines(zqtest::ReadFile(water())))
    if (line.rfind(" 11", 0) == 0) deuterated += line.replace(2, 1, "4") + "\n";
  zqtest::WriteFile(dir / "hdo.par", deuterated);
  const TLineListLoad hdo = LoadLineListFile(ini, "h2o", (dir / "hdo.par").string());
  EXPECT_FALSE(hdo.List);
  EXPECT_NE(hdo.Error.find(" records of molecule 1 isotopologue 4"), std::string::npos) << hdo.Error;
  zqtest::WriteFile(dir / "notes.txt", "shopping list\n");
  const TLineListLoad junk = LoadLineListFile(ini, "co2", (dir / "notes.txt").string());
  EXPECT_FALSE(junk.List);
  EXPECT_NE(junk.Error, "");
}

TEST(SeriesTable, GridRowsLeaveMissingPointsEmptyAndLinesUseTheLongLayout) {
  TLineSeries a, b;
  a.AddXY(1, 0.5);
  a.AddXY(2, 1e-20);
  b.AddXY(2, 3);
  b.AddXY(3.25, -4);
  EXPECT_EQ(SeriesTableText({{"H2O", &a}, {"CO2", &b}}, false),
            "wavenumber_cm-1,H2O,CO2\n1,0.5,\n2,1e-20,3\n3.25,,-4\n");
  EXPECT_EQ(SeriesTableText({{"H2O", &a}, {"CO2", &b}}, true, '\t'),
            "gas\twavenumber_cm-1\tvalue\nH2O\t1\t0.5\nH2O\t2\t1e-20\nCO2\t2\t3\nCO2\t3.25\t-4\n");
  EXPECT_EQ(SeriesTableText({}, false), "wavenumber_cm-1\n");
  EXPECT_EQ(TableNumber(1.0 / 3), "0.333333333333");
}

namespace {

// The header HAPI writes for a table of 160-character records, with extra columns when given.
std::string TableHeader(long rows, const std::string& extra = "") {
  return R"({"table_name": "H2O", "number_of_rows": )" + std::to_string(rows) +
         R"(, "table_type": "column-fixed",
  "order": ["molec_id", "local_iso_id", "nu", "sw", "a", "gamma_air", "gamma_self", "elower", "n_air",
            "delta_air", "global_upper_quanta", "global_lower_quanta", "local_upper_quanta",
            "local_lower_quanta", "ierr", "iref", "line_mixing_flag", "gp", "gpp"],
  "format": {"molec_id": "%2d", "local_iso_id": "%1d", "nu": "%12.6f", "sw": "%10.3E", "a": "%10.3E",
             "gamma_air": "%5.4f", "gamma_self": "%5.3f", "elower": "%10.4f", "n_air": "%4.2f",
             "delta_air": "%8.6f", "global_upper_quanta": "%15s", "global_lower_quanta": "%15s",
             "local_upper_quanta": "%15s", "local_lower_quanta": "%15s", "ierr": "%6s", "iref": "%12s",
             "line_mixing_flag": "%1s", "gp": "%7.1f", "gpp": "%7.1f"})" +
         extra + "}";
}

} // namespace

TEST_F(LineListFileTest, HitranApiTablesAreReadAsTheirHeaderDescribesThem) {
  const TLineListLoad plain = LoadLineListFile(ini, "h2o", water());
  ASSERT_TRUE(plain.List) << plain.Error;
  long rows = 0;
  std::string records;
  for (const std::string& line : zqSplitLines(zqtest::ReadFile(water())))
    if (line.size() == 100) {
      records += line + std::string(60, ' ') + ",0.5,12\n"; // two extra columns after a separator
      ++rows;
    }
  fs::create_directory(dir / "api");
  zqtest::WriteFile(dir / "api" / "H2O.DATA", records);
  const std::string extra =
      R"(, "extra": ["sw_unc", "n"], "extra_format": {"sw_unc": "%3.1f", "n": "%2d"}, "extra_separator": ",")";
  auto load_with = [&](const std::string& header) {
    zqtest::WriteFile(dir / "api" / "H2O.HEADER", header);
    return LoadLineListFile(ini, "h2o", ResolveLineListFile((dir / "api").string()).File);
  };
  // Capital extensions are found; the extra columns are no records run together.
  const TLineListLoad table = load_with(TableHeader(rows, extra));
  ASSERT_TRUE(table.List) << table.Error;
  EXPECT_EQ(table.List->RecordCount(), plain.List->RecordCount());
  EXPECT_EQ(ResolveLineListFile((dir / "api" / "H2O.HEADER").string()).File,
            (dir / "api" / "H2O.DATA").string());

  // Headers that contradict the data, or describe no record, are refused with the reason.
  EXPECT_NE(load_with(TableHeader(rows)).Error.find("records run together"), std::string::npos);
  EXPECT_NE(
      load_with(TableHeader(rows + 1, extra)).Error.find("says the table holds " + std::to_string(rows + 1)),
      std::string::npos);
  EXPECT_NE(load_with("{\"format\": ").Error.find("is not valid JSON"), std::string::npos);
  std::string wider = TableHeader(rows, extra); // moves every field after nu by two columns
  wider.replace(wider.find("\"%12.6f\""), 8, "\"%14.6f\"");
  EXPECT_NE(load_with(wider).Error.find("field Wavenumber (columns 4-17) of line 1"), std::string::npos);
  EXPECT_NE(load_with(TableHeader(rows, extra + R"(, "position": {"sw": 10})"))
                .Error.find("nu (columns 4-15) and sw (columns 11-20) overlap"),
            std::string::npos);
}

TEST_F(LineListFileTest, WhatStandsWhereRecordsShouldBeIsNamed) {
  zqtest::WriteFile(dir / "t.header", "{}");
  auto reason = [&] { return ResolveLineListFile((dir / "t.header").string()).Error; };
  fs::create_symlink("/dev/zero", dir / "t.data");
  EXPECT_NE(reason().find("is a device"), std::string::npos) << reason();
  fs::remove(dir / "t.data");
  ASSERT_EQ(::mkfifo((dir / "t.data").c_str(), 0600), 0);
  EXPECT_NE(reason().find("named pipe"), std::string::npos) << reason();
  EXPECT_NE(ResolveLineListFile((dir / "t.data").string()).Error.find("named pipe"), std::string::npos);
  fs::remove(dir / "t.data");
  fs::create_symlink(dir / "loop2", dir / "t.data");
  fs::create_symlink(dir / "t.data", dir / "loop2");
  EXPECT_NE(reason().find("loop of symbolic links"), std::string::npos) << reason();
  // Reading such a file directly refuses it too, without opening (a FIFO would wait).
  fs::remove(dir / "t.data");
  ASSERT_EQ(::mkfifo((dir / "t.data").c_str(), 0600), 0);
  T_zq_HITRAN list;
  EXPECT_THROW(list.LoadFromFile((dir / "t.data").string()), std::runtime_error);
}
