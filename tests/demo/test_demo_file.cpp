// The written demonstration files: record layout column by column, the comment header, reading them
// back with the line-list reader, and refusing to write where it cannot.
#include "FakePlatform.h"
#include "TestSupport.h"
#include "zqDemoLines.h"
#include "zqHITRAN.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

} // namespace

TEST(DemoFile, RecordColumnsFollowTheHitranLayout) {
  DemoLine l;
  l.Wavenumber = 667.661364;
  l.Intensity = 2.95e-19;
  l.EinsteinA = 1.234;
  l.AirWidth = 0.0712;
  l.SelfWidth = 0.0926;
  l.LowerStateEnergy = 106.1297;
  l.WidthExponent = 0.75;
  l.UpperGlobal = 2;
  l.LowerGlobal = 1;
  l.UpperLocal = "         ";
  l.LowerLocal = "     Q 16";
  const std::string r = FormatHitranRecord(" 2", l);
  ASSERT_EQ(r.size(), 100u);
  EXPECT_EQ(r.substr(0, 3), " 21");
  EXPECT_EQ(r.substr(3, 12), "  667.661364");
  EXPECT_EQ(r.substr(15, 10), " 2.950E-19");
  EXPECT_EQ(r.substr(25, 10), " 1.234E+00");
  EXPECT_EQ(r.substr(35, 5), ".0712");
  EXPECT_EQ(r.substr(40, 5), "0.093");
  EXPECT_EQ(r.substr(45, 10), "  106.1297");
  EXPECT_EQ(r.substr(55, 4), "0.75");
  EXPECT_EQ(r.substr(67, 6), "  2  1");
  EXPECT_EQ(r.substr(82, 9), "     Q 16");
  // The reader drops a line with "R" in column 86 unless "P" follows; the branch letter sits in 88.
  l.LowerLocal = "     R 16";
  EXPECT_EQ(FormatHitranRecord(" 2", l)[85], ' ');
  EXPECT_EQ(FormatHitranRecord(" 2", l)[87], 'R');
}

TEST(DemoFile, WritesBothListsWithHeaderAndFullRecords) {
  zqtest::TempDir dir;
  WriteDemoLineLists(dir.path() / "new folder");
  const struct {
    const char* file;
    const char* molecule;
    std::size_t count;
  } lists[] = {{"02_CO2.txt", " 21", DemoCO2Lines().size()},
               {"01_h2o_161_only.txt", " 11", DemoH2OLines().size()}};
  for (const auto& list : lists) {
    const auto lines = splitLines(zqtest::ReadFile(dir.path() / "new folder" / list.file));
    std::size_t header = 0;
    while (header < lines.size() && !lines[header].empty() && lines[header][0] == '>')
      ++header;
    ASSERT_GE(header, 3u);
    const std::string text = zqtest::ReadFile(dir.path() / "new folder" / list.file).substr(0, 2000);
    EXPECT_NE(text.find("NOT HITRAN DATA"), std::string::npos);
    EXPECT_NE(text.find("HITRANonline"), std::string::npos);
    EXPECT_NE(text.find(std::string("\"") + list.file + "\""), std::string::npos);
    EXPECT_NE(text.find("\".par\""), std::string::npos);
    ASSERT_EQ(lines.size() - header, list.count);
    for (std::size_t i = header; i < lines.size(); ++i) {
      ASSERT_EQ(lines[i].size(), 100u) << list.file << " line " << i + 1;
      ASSERT_EQ(lines[i].substr(0, 3), list.molecule);
    }
  }
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "new folder" / "02_CO2.txt.tmp"));
}

// The line-list reader skips the comment header and keeps every record with the written values.
TEST(DemoFile, LineListReaderTakesEveryRecord) {
  zq::FakePlatform platform;
  zqtest::TempDir dir;
  WriteDemoLineLists(dir.path());
  const std::vector<DemoLine> expected = DemoCO2Lines();
  T_zq_HITRAN list;
  list.MoleculeType = " 2";
  list.LoadFromFile((dir.path() / "02_CO2.txt").string());
  ASSERT_EQ(list.Records.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_NEAR(list.Records[i].Wavenumber, expected[i].Wavenumber, 5e-7);
    EXPECT_TRUE(zqtest::RelClose(list.Records[i].Intensity, expected[i].Intensity, 1e-3));
    EXPECT_NEAR(list.Records[i].AirWidth, expected[i].AirWidth, 5e-5);
    EXPECT_NEAR(list.Records[i].LowerStateEnergy, expected[i].LowerStateEnergy, 5e-5);
  }
  T_zq_HITRAN water;
  water.MoleculeType = " 1";
  water.LoadFromFile((dir.path() / "01_h2o_161_only.txt").string());
  EXPECT_EQ(water.Records.size(), DemoH2OLines().size());
  EXPECT_TRUE(platform.messages.empty());
}

TEST(DemoFile, KeepLeavesExistingListsAlone) {
  zqtest::TempDir dir;
  zqtest::WriteFile(dir / "02_CO2.txt", "a real list\n");
  WriteDemoLineLists(dir.path(), true);
  EXPECT_EQ(zqtest::ReadFile(dir / "02_CO2.txt"), "a real list\n");
  EXPECT_NE(zqtest::ReadFile(dir / "01_h2o_161_only.txt").find("NOT HITRAN DATA"), std::string::npos);
  WriteDemoLineLists(dir.path());
  EXPECT_NE(zqtest::ReadFile(dir / "02_CO2.txt").find("NOT HITRAN DATA"), std::string::npos);
}

TEST(DemoFile, ReportsAFolderItCannotWrite) {
  zqtest::TempDir dir;
  zqtest::WriteFile(dir / "plain file", "x");
  try {
    WriteDemoLineLists(dir / "plain file");
    FAIL() << "no error for a folder that is a file";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("plain file"), std::string::npos) << e.what();
  }
}

TEST(DemoFile, DemonstrationFilesAreToldFromOtherFiles) {
  zqtest::TempDir dir;
  WriteDemoLineLists(dir.path());
  EXPECT_TRUE(IsDemoLineListFile(dir / "02_CO2.txt"));
  EXPECT_TRUE(IsDemoLineListFile(dir / "01_h2o_161_only.txt"));
  // A real record, a comment that only mentions the words, a short file, no file, a folder.
  zqtest::WriteFile(dir / "real.par", " 21  667.379003 2.868E-19 1.467E+00.07870.1030  325.9818\n");
  zqtest::WriteFile(dir / "quoted.txt", "> see ABSORBVIEW DEMONSTRATION LINE LIST\n");
  zqtest::WriteFile(dir / "short.txt", "> ABSORBVIEW");
  EXPECT_FALSE(IsDemoLineListFile(dir / "real.par"));
  EXPECT_FALSE(IsDemoLineListFile(dir / "quoted.txt"));
  EXPECT_FALSE(IsDemoLineListFile(dir / "short.txt"));
  EXPECT_FALSE(IsDemoLineListFile(dir / "missing.txt"));
  EXPECT_FALSE(IsDemoLineListFile(dir.path()));
}

TEST(DemoFile, LinksAreNeitherReplacedNorWrittenThrough) {
  namespace fs = std::filesystem;
  zqtest::TempDir dir;
  zqtest::WriteFile(dir / "victim.txt", "precious\n");
  // Names a writer might use for its temporary file lead to someone else's file.
  for (const char* name : {"02_CO2.txt.tmp", "01_h2o_161_only.txt.tmp", "02_CO2.txt.part"})
    fs::create_symlink(dir / "victim.txt", dir / name);
  // The user's list lives elsewhere, not yet downloaded: the link points nowhere.
  fs::create_symlink(dir / "data" / "co2.par", dir / "02_CO2.txt");
  WriteDemoLineLists(dir.path(), true);
  EXPECT_EQ(zqtest::ReadFile(dir / "victim.txt"), "precious\n");
  EXPECT_EQ(fs::read_symlink(dir / "02_CO2.txt"), dir / "data" / "co2.par");
  EXPECT_FALSE(fs::exists(dir / "data"));
  EXPECT_TRUE(IsDemoLineListFile(dir / "01_h2o_161_only.txt"));
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dir / "01_h2o_161_only.txt")));
  // Asked to replace the lists, the writer refuses the link, naming it, and leaves it.
  try {
    WriteDemoLineLists(dir.path());
    FAIL() << "a link was replaced";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("02_CO2.txt"), std::string::npos) << e.what();
  }
  EXPECT_EQ(fs::read_symlink(dir / "02_CO2.txt"), dir / "data" / "co2.par");
  EXPECT_EQ(zqtest::ReadFile(dir / "victim.txt"), "precious\n");
}
