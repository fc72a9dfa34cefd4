// Line lists opened from the window's File menu and the table writer of exported data: what a pick
// resolves to (plain files of any name, HITRAN-API tables by file or folder), which files are refused
// with a reason, and the grid and long table layouts.
#include "FakePlatform.h"
#include "TestSupport.h"
#include "zqDemoLines.h"
#include "zqINI_Default.h"
#include "zqINI_File.h"
#include "zqLineListFile.h"
#include "zqLineSeries.h"
#include "zqRegisterTypes.h"
#include "zqSeriesTable.h"

#include <gtest/gtest.h>

#include <filesystem>

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
