// The window's saved settings: geometry, control values and recent files written through the store's
// update writer read back the same from the file, damaged entries read as nothing, and a save that
// cannot be done says so and leaves the file as it was.
#include "FakePlatform.h"
#include "TestSupport.h"
#include "zqContinuumUse.h"
#include "zqINI_File.h"
#include "zqSettings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

using namespace zqsettings;

namespace {

std::unique_ptr<TzqINI_File> load(const std::filesystem::path& file) {
  auto ini = std::make_unique<TzqINI_File>();
  ini->Ignore_CmdLine = true;
  ini->SetFilename(file.string());
  ini->Loaded();
  return ini;
}

std::unique_ptr<TzqINI_File> load_text(const std::string& text) {
  auto ini = std::make_unique<TzqINI_File>();
  std::vector<std::string> lines;
  for (std::size_t b = 0, e; b < text.size(); b = e + 1) {
    e = text.find('\n', b);
    if (e == std::string::npos) e = text.size();
    lines.push_back(text.substr(b, e - b));
  }
  ini->LoadFromLines(lines);
  return ini;
}

} // namespace

TEST(Settings, SavedValuesReadBackFromTheFileAndTheOldLinesStay) {
  zq::FakePlatform platform;
  zqtest::TempDir dir;
  const std::string original = "; my notes\n[Controls]\nTemp_K_UIzqSpinEdit =\t 250\n";
  zqtest::WriteFile(dir / "a.ini", original);
  auto ini = load(dir / "a.ini");
  const TWindowGeometry g{-20, 35, 1024, 700, true};
  WriteWindowGeometry(*ini, g);
  WriteControl(*ini, "Temp_K_UIzqSpinEdit", "250"); // unchanged: its spacing stays
  WriteControl(*ini, "Pressure_UIzqSpinEdit", "500");
  WriteRecentFiles(*ini, WithRecentFile({"/d/a.par", "/d/b.par"}, "/d/b.par"));
  const TChartViews views{false, true, false}; // every flag off its default
  WriteChartViews(*ini, views);
  ASSERT_EQ(SaveSettingsFile(*ini, (dir / "a.ini").string()), "");

  const std::string saved = zqtest::ReadFile(dir / "a.ini");
  EXPECT_EQ(saved.substr(0, original.size()), original);
  auto again = load(dir / "a.ini");
  EXPECT_EQ(ReadWindowGeometry(*again), g);
  EXPECT_EQ(ReadControl(*again, "pressure_uizqspinedit"), "500");
  EXPECT_EQ(ReadControl(*again, "Temp_K_UIzqSpinEdit"), "250");
  EXPECT_EQ(ReadControl(*again, "RH_UIzqSpinEdit"), std::nullopt);
  EXPECT_EQ(ReadRecentFiles(*again), (std::vector<std::string>{"/d/b.par", "/d/a.par"}));
  EXPECT_EQ(ReadChartViews(*again), views);
  EXPECT_EQ(ReadChartViews(*load_text("[Window]\nLegend = perhaps\nBand Labels = YES\n")),
            (TChartViews{true, true, true}));
  // Reading created nothing, so saving again writes the same bytes.
  ASSERT_EQ(SaveSettingsFile(*again, (dir / "a.ini").string()), "");
  EXPECT_EQ(zqtest::ReadFile(dir / "a.ini"), saved);

  // Fewer recent files than before: the old slots are emptied, not left to come back.
  WriteRecentFiles(*again, {"/d/c.par"});
  ASSERT_EQ(SaveSettingsFile(*again, (dir / "a.ini").string()), "");
  EXPECT_EQ(ReadRecentFiles(*load(dir / "a.ini")), (std::vector<std::string>{"/d/c.par"}));
}

TEST(Settings, DamagedGeometryIsIgnored) {
  for (const char* window :
       {"Left=1\nTop=2\nWidth=800\n", "Left=1\nTop=2\nWidth=800\nHeight=abc\n",
        "Left=1\nTop=2\nWidth=800\nHeight=50\n", "Left=1\nTop=2\nWidth=800.5\nHeight=600\n",
        "Left=1e9\nTop=2\nWidth=800\nHeight=600\n"}) {
    TzqINI_File ini;
    ini.LoadFromLines(zqSplitLines(std::string("[Window]\n") + window));
    EXPECT_EQ(ReadWindowGeometry(ini), std::nullopt) << window;
  }
  TzqINI_File ini;
  ini.LoadFromLines(zqSplitLines("[window]\nLeft=1\nTop=2\nWidth=800\nHeight=600\n"));
  EXPECT_EQ(ReadWindowGeometry(ini), (TWindowGeometry{1, 2, 800, 600, false}));
}

TEST(Settings, RecentFilesNewestFirstWithoutRepeatsAndLimited) {
  std::vector<std::string> files;
  for (int i = 0; i < 12; ++i)
    files = WithRecentFile(files, "f" + std::to_string(i % 10));
  EXPECT_EQ(files, (std::vector<std::string>{"f1", "f0", "f9", "f8", "f7", "f6", "f5", "f4"}));
}

TEST(Settings, AFailedSaveSaysWhyAndKeepsTheFile) {
  zq::FakePlatform platform;
  zqtest::TempDir dir;
  zqtest::WriteFile(dir / "a.ini", "[Controls]\nx = 1\n");
  auto ini = load(dir / "a.ini");
  WriteControl(*ini, "x", "2");
  const std::string error = SaveSettingsFile(*ini, (dir / "missing" / "b.ini").string());
  EXPECT_NE(error, "");
  EXPECT_EQ(zqtest::ReadFile(dir / "a.ini"), "[Controls]\nx = 1\n");
  EXPECT_EQ(ini->WriteMode, zqWM_Update);
  EXPECT_FALSE(ini->AppendChangedKeys); // the store's own settings are back
}

TEST(Settings, AFileNameWithLineBreaksIsSavedAsItsBytesAndRewiresNothing) {
  // A legal Linux folder name that looks like INI lines; CR, a NUL and blanks at the ends likewise.
  zq::FakePlatform platform;
  zqtest::TempDir dir;
  zqtest::WriteFile(dir / "a.ini", "[CO2]\nFilename = 02_CO2.txt\n");
  auto ini = load(dir / "a.ini");
  const std::vector<std::string> files = {"/home/u/dl/x\n[CO2]\nFilename = /tmp/evil.par/h2o.par",
                                          "/d/cr\r[h2o]\rFilename = /tmp/e.par", std::string("/d/n\0ul", 7),
                                          "  /d/blanks.par  "};
  WriteRecentFiles(*ini, files);
  ASSERT_EQ(SaveSettingsFile(*ini, (dir / "a.ini").string()), "");
  auto again = load(dir / "a.ini");
  EXPECT_EQ(again->ReadString("CO2", "Filename"), "02_CO2.txt");
  EXPECT_EQ(again->FindRecord("h2o", "Filename"), nullptr);
  EXPECT_EQ(ReadRecentFiles(*again), files);
}

// "[Continuum] File" read back from the saved file; a relative name is the INI file's folder's; without
// it, the published name beside the water line list when it is there, else none.
TEST(Settings, ContinuumFileReadsBackAndElseIsFoundBesideTheWaterList) {
  zq::FakePlatform platform;
  zqtest::TempDir dir;
  zqtest::WriteFile(dir / "a.ini", "[h2o]\nFilename = lines/01.par\n");
  auto ini = load(dir / "a.ini");
  EXPECT_EQ(zqsession::IniContinuumFile(*ini), "");
  const std::string water = (dir / "lines" / "01.par").string();
  EXPECT_EQ(zqsession::StartupContinuumFile(*ini, water), "");
  std::filesystem::create_directory(dir / "lines");
  zqtest::WriteFile(dir / "lines" / zqsession::kContinuumFileName, "x");
  EXPECT_EQ(zqsession::StartupContinuumFile(*ini, water),
            (dir / "lines" / zqsession::kContinuumFileName).string());

  const std::string named = "/data/aer/my continuum.nc";
  zqsession::WriteContinuumFile(*ini, named);
  ASSERT_EQ(SaveSettingsFile(*ini, (dir / "a.ini").string()), "");
  auto again = load(dir / "a.ini");
  EXPECT_EQ(zqsession::IniContinuumFile(*again), named);
  EXPECT_EQ(zqsession::StartupContinuumFile(*again, water), named); // the INI file's comes first
  zqsession::WriteContinuumFile(*again, "mtckd/absco.nc");
  ASSERT_EQ(SaveSettingsFile(*again, (dir / "a.ini").string()), "");
  EXPECT_EQ(std::filesystem::path(zqsession::IniContinuumFile(*load(dir / "a.ini"))),
            std::filesystem::path(load(dir / "a.ini")->Directory()) / "mtckd" / "absco.nc");
}
