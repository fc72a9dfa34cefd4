// First run and start-up options, without Qt: where the loader finds a file, when the demonstration
// lists are written (and where, and only once), how loaded demonstration lists are recognised and
// announced, reading progress through the loader, and the program's own command-line options.
#include "FakePlatform.h"
#include "TestSupport.h"
#include "zqDatafileLoader.h"
#include "zqDemoLines.h"
#include "zqFirstRun.h"
#include "zqINI_File.h"
#include "zqRegisterTypes.h"
#include "zqStartOptions.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

// A folder pair like a fresh installation: the executable's (INI) folder and a separate current folder.
class FirstRunTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    if (DatafileTypes().Count() == 0) RegisterDatafileTypes();
  }
  void SetUp() override {
    saved_ = fs::current_path();
    fs::create_directories(exe());
    fs::create_directories(cwd());
    fs::current_path(cwd());
  }
  void TearDown() override { fs::current_path(saved_); }
  fs::path exe() const { return dir / "install"; }
  fs::path cwd() const { return dir / "work"; }
  std::string iniDir() const { return exe().string() + "/"; }
  static std::string real_record() {
    std::string s = std::string(" 21") + "  667.379003" + " 2.868E-19" + " 1.467E+00" + ".0787" + "0.103" +
                    "  325.9818" + "0.76" + "-.002160";
    s.resize(160, ' ');
    return s + "\n";
  }
  // The default configuration's two line lists, read by the loader as the window reads them.
  TLoadedDatafiles load_defaults() {
    TzqINI_File ini;
    ini.SetFilename((exe() / "absorbview.ini").string());
    ini.LoadFromLines({"[Application]", "NumberOfFiles = 2", "File 1 = h2o", "File 2 = CO2", "[h2o]",
                       "FileType = HITRAN 100", "Filename = 01_h2o_161_only.txt", "Molecule_type = \" 1\"",
                       "[CO2]", "FileType = HITRAN 100", "Filename = 02_CO2.txt", "Molecule_type = \" 2\""});
    TLoadedDatafiles list;
    LoadDatafiles(ini, list);
    return list;
  }

  zq::FakePlatform fake;
  zqtest::TempDir dir;
  fs::path saved_;
};

} // namespace

TEST_F(FirstRunTest, FindDataFileLooksAsWrittenThenBesideTheIniFile) {
  EXPECT_EQ(FindDataFileOnDisk("a.txt", iniDir()), "");
  zqtest::WriteFile(exe() / "a.txt", "x");
  EXPECT_EQ(FindDataFileOnDisk("a.txt", iniDir()), iniDir() + "a.txt");
  EXPECT_EQ(FindDataFileOnDisk("a.txt", exe().string()), iniDir() + "a.txt"); // separator added
  zqtest::WriteFile(cwd() / "a.txt", "y");
  EXPECT_EQ(FindDataFileOnDisk("a.txt", iniDir()), "a.txt"); // the current folder wins
  fs::create_directory(cwd() / "folder");
  EXPECT_EQ(FindDataFileOnDisk("folder", iniDir()), ""); // a folder is not a data file
  EXPECT_EQ(FindDataFileOnDisk("", iniDir()), "");
}

TEST_F(FirstRunTest, MissingListsAreWrittenBesideTheExecutableOnceAndRecognised) {
  const TFirstRunResult first = ProvideDemoLineLists(DefaultLineListNames(), iniDir(), cwd());
  ASSERT_EQ(first.outcome, TFirstRunResult::Outcome::Generated) << first.message;
  EXPECT_EQ(first.folder, fs::path(iniDir()));
  EXPECT_NE(first.message.find("DEMONSTRATION"), std::string::npos);
  EXPECT_NE(first.message.find(exe().string()), std::string::npos);
  for (const std::string& name : DefaultLineListNames()) {
    EXPECT_TRUE(IsDemoLineListFile(exe() / name)) << name;
    EXPECT_FALSE(fs::exists(cwd() / name)) << name;
  }
  // A later run finds them and writes nothing.
  const auto written = fs::last_write_time(exe() / "02_CO2.txt");
  const TFirstRunResult second = ProvideDemoLineLists(DefaultLineListNames(), iniDir(), cwd());
  EXPECT_EQ(second.outcome, TFirstRunResult::Outcome::NotNeeded);
  EXPECT_TRUE(second.message.empty());
  EXPECT_EQ(fs::last_write_time(exe() / "02_CO2.txt"), written);

  // Loaded, both are recognised by their header; the window says so in its title and status bar.
  const TLoadedDatafiles list = load_defaults();
  EXPECT_TRUE(fake.messages.empty());
  EXPECT_GT(FindDatafile(list, "CO2")->RecordCount(), 1000u);
  EXPECT_EQ(DemoListSections(list), (std::vector<std::string>{"h2o", "CO2"}));
  const TDemoNotice notice = DemoNotice(DemoListSections(list));
  EXPECT_NE(notice.title.find("demonstration line lists"), std::string::npos);
  EXPECT_NE(notice.title.find("not HITRAN data"), std::string::npos);
  EXPECT_NE(notice.status.find("demonstration line lists (h2o and CO2)"), std::string::npos);
}

TEST_F(FirstRunTest, RealListsInEitherFolderMeanNothingIsWritten) {
  zqtest::WriteFile(exe() / "02_CO2.txt", real_record());
  zqtest::WriteFile(cwd() / "01_h2o_161_only.txt", real_record());
  EXPECT_EQ(ProvideDemoLineLists(DefaultLineListNames(), iniDir(), cwd()).outcome,
            TFirstRunResult::Outcome::NotNeeded);
  EXPECT_EQ(zqtest::ReadFile(exe() / "02_CO2.txt"), real_record());
  EXPECT_FALSE(fs::exists(exe() / "01_h2o_161_only.txt"));
  EXPECT_FALSE(fs::exists(cwd() / "02_CO2.txt"));
  EXPECT_TRUE(DemoListSections(load_defaults()).empty());
  EXPECT_EQ(DemoNotice({}).title, "Absorbview");
  EXPECT_EQ(DemoNotice({}).status, "");
}

TEST_F(FirstRunTest, OneMissingListIsAddedAndOnlyItIsAnnounced) {
  zqtest::WriteFile(exe() / "02_CO2.txt", real_record());
  ASSERT_EQ(ProvideDemoLineLists(DefaultLineListNames(), iniDir(), cwd()).outcome,
            TFirstRunResult::Outcome::Generated);
  EXPECT_EQ(zqtest::ReadFile(exe() / "02_CO2.txt"), real_record()); // the real list is kept
  EXPECT_EQ(DemoListSections(load_defaults()), std::vector<std::string>{"h2o"});
  EXPECT_NE(DemoNotice({"h2o"}).status.find("(h2o)"), std::string::npos);
}

TEST_F(FirstRunTest, UnwritableExecutableFolderFallsBackToTheCurrentFolderThenReports) {
  // A folder below a plain file cannot be created, not even by an administrator.
  zqtest::WriteFile(dir / "plain", "x");
  const std::string blocked = (dir / "plain" / "bin").string();
  const TFirstRunResult fallback = ProvideDemoLineLists(DefaultLineListNames(), blocked, cwd());
  ASSERT_EQ(fallback.outcome, TFirstRunResult::Outcome::Generated) << fallback.message;
  EXPECT_EQ(fallback.folder, cwd());
  EXPECT_TRUE(IsDemoLineListFile(cwd() / "02_CO2.txt"));
  // The loader now finds them as written, in the current folder.
  EXPECT_EQ(FindDataFileOnDisk("02_CO2.txt", blocked), "02_CO2.txt");

  const TFirstRunResult failed =
      ProvideDemoLineLists(DefaultLineListNames(), blocked, dir / "plain" / "work");
  EXPECT_EQ(failed.outcome, TFirstRunResult::Outcome::NotNeeded); // found in the current folder
  fs::current_path(dir.path());
  const TFirstRunResult none = ProvideDemoLineLists(DefaultLineListNames(), blocked, dir / "plain" / "work");
  EXPECT_EQ(none.outcome, TFirstRunResult::Outcome::Failed);
  EXPECT_NE(none.message.find("could not be written"), std::string::npos);
  EXPECT_NE(none.message.find("plain/bin"), std::string::npos) << none.message;
  EXPECT_NE(none.message.find("plain/work"), std::string::npos) << none.message;
}

TEST_F(FirstRunTest, OnlyTheDefaultNamesTheConfigurationReadsAreProvided) {
  // Other line-list files are the user's: missing, they are the loader's "File not found".
  EXPECT_EQ(ProvideDemoLineLists({"/data/co2.par", "my_h2o.par"}, iniDir(), cwd()).outcome,
            TFirstRunResult::Outcome::NotNeeded);
  EXPECT_EQ(ProvideDemoLineLists({}, iniDir(), cwd()).outcome, TFirstRunResult::Outcome::NotNeeded);
  EXPECT_FALSE(fs::exists(exe() / "02_CO2.txt"));
  EXPECT_EQ(ProvideDemoLineLists({"/data/co2.par", "01_h2o_161_only.txt"}, iniDir(), cwd()).outcome,
            TFirstRunResult::Outcome::Generated);

  // The configured names come from [h2o] and [CO2] as stored, and reading them creates nothing.
  TzqINI_File ini;
  ini.LoadFromLines({"[CO2]", "Filename = /data/co2.par", "[h2o]", "Caption = H2O"});
  EXPECT_EQ(ConfiguredLineListFiles(ini), std::vector<std::string>{"/data/co2.par"});
  EXPECT_EQ(ini.FindRecord("h2o", "Filename"), nullptr);
}

TEST_F(FirstRunTest, HitranInstructionsNameTheFilesAndTheChoices) {
  const std::string t = HitranInstructions();
  for (const char* part : {"hitran.org", "Line-by-line", "H2(16)O", "12C16O2", "0 to 5000 cm-1", ".par",
                           "01_h2o_161_only.txt", "02_CO2.txt", "100 and of 160"})
    EXPECT_NE(t.find(part), std::string::npos) << part;
}

TEST_F(FirstRunTest, LoaderPassesReadingProgressWithTheSectionAndFile) {
  std::string content;
  while (content.size() < 5'000'000)
    content += real_record();
  zqtest::WriteFile(exe() / "big.par", content);
  TzqINI_File ini;
  ini.SetFilename((exe() / "absorbview.ini").string());
  ini.LoadFromLines({"[Application]", "File 1 = CO2", "[CO2]", "FileType = HITRAN 100", "Filename = big.par",
                     "Molecule_type = \" 2\""});
  TLoadedDatafiles list;
  std::vector<uint64_t> reads;
  LoadDatafiles(ini, list,
                [&](const std::string& section, const std::string& file, uint64_t read, uint64_t total) {
                  EXPECT_EQ(section, "CO2");
                  EXPECT_EQ(file, iniDir() + "big.par");
                  EXPECT_EQ(total, content.size());
                  reads.push_back(read);
                });
  ASSERT_GE(reads.size(), 2u);
  EXPECT_EQ(reads.front(), 0u);
  EXPECT_EQ(FindDatafile(list, "CO2")->RecordCount(), content.size() / 161);
  EXPECT_FALSE(FindDatafile(list, "CO2")->OnReadProgress); // the object keeps no link to the caller
}

TEST(StartOptions, ScreenshotIsTakenOutAndEverythingElseGoesToTheIniCommandLine) {
  TStartOptions o = SplitStartOptions({"/ini", "a.ini", "--screenshot", "shot.png", "/x"});
  EXPECT_EQ(o.ScreenshotFile, "shot.png");
  EXPECT_EQ(o.IniArgs, (std::vector<std::string>{"/ini", "a.ini", "/x"}));
  EXPECT_EQ(o.Error, "");
  EXPECT_EQ(SplitStartOptions({"--screenshot=b.png"}).ScreenshotFile, "b.png");
  EXPECT_EQ(SplitStartOptions({}).ScreenshotFile, "");
  const TStartOptions plot =
      SplitStartOptions({"--plot", "Optical Depth", "/ini", "x.ini", "--spectra=Voigt"});
  EXPECT_EQ(plot.Plot, "Optical Depth");
  EXPECT_EQ(plot.Spectra, "Voigt");
  EXPECT_EQ(plot.IniArgs, (std::vector<std::string>{"/ini", "x.ini"}));
  EXPECT_TRUE(plot.Error.empty());
  EXPECT_NE(SplitStartOptions({"--plot", "Depth"}).Error, "");
  // The buttons' names, the table's texts and the command line's short names, in any letter case.
  for (const char* name : {"voigt", "DOPPLER", "Temp & Pressure", "Temp && Pressure", "pressure", "I/Alpha"})
    EXPECT_EQ(SplitStartOptions({"--spectra", name}).Error, "") << name;
  EXPECT_NE(SplitStartOptions({"--spectra", "Temp"}).Error, "");
  EXPECT_NE(SplitStartOptions({"--plot"}).Error, "");
  EXPECT_EQ(SplitStartOptions({"/ini", "--screenshot.ini"}).IniArgs,
            (std::vector<std::string>{"/ini", "--screenshot.ini"}));
  EXPECT_NE(SplitStartOptions({"--screenshot"}).Error, "");
  EXPECT_NE(SplitStartOptions({"--screenshot="}).Error, "");
  EXPECT_NE(SplitStartOptions({"--screenshot", "a.png", "--screenshot", "b.png"}).Error, "");
  // Help is answered before any window: every option of the window is listed, in one column.
  for (const char* help : {"--help", "-h", "/?", "-?"})
    EXPECT_TRUE(SplitStartOptions({help}).ShowHelp) << help;
  std::string help;
  for (const std::string& line : StartOptionsHelp()) {
    EXPECT_EQ(line.find('\t'), std::string::npos) << line;
    // Every description starts in the same column.
    if (line.starts_with("  ")) {
      EXPECT_TRUE(line.size() > 22 && line[21] == ' ' && line[22] != ' ') << line;
    }
    help += line + "\n";
  }
  for (const char* option : {"/ini", "--plot", "--spectra", "--screenshot", "--version", "--help"})
    EXPECT_NE(help.find(option), std::string::npos) << option;
  const TStartOptions v = SplitStartOptions({"/ini", "a.ini", "--version"});
  EXPECT_TRUE(v.ShowVersion);
  EXPECT_EQ(v.IniArgs, (std::vector<std::string>{"/ini", "a.ini"}));
  EXPECT_FALSE(o.ShowVersion);
}

TEST_F(FirstRunTest, ALinkUnderADefaultNameIsKeptAndItsMissingTargetIsNamed) {
  // The user linked the real list, which is not there (yet): no demonstration list takes its place.
  const fs::path target = dir / "data" / "co2_626.par";
  fs::create_symlink(target, exe() / "02_CO2.txt");
  const TFirstRunResult result = ProvideDemoLineLists(DefaultLineListNames(), iniDir(), cwd());
  EXPECT_EQ(result.outcome, TFirstRunResult::Outcome::Generated); // the other list was missing plainly
  EXPECT_EQ(fs::read_symlink(exe() / "02_CO2.txt"), target);
  EXPECT_FALSE(fs::exists(fs::symlink_status(cwd() / "02_CO2.txt")));
  EXPECT_TRUE(IsDemoLineListFile(exe() / "01_h2o_161_only.txt"));
  EXPECT_NE(result.message.find("02_CO2.txt is a link to " + target.string() + ", which does not exist"),
            std::string::npos)
      << result.message;

  // Loading says the same under "File not found"; the demonstration list is only the other one.
  const TLoadedDatafiles list = load_defaults();
  ASSERT_EQ(fake.messages.size(), 1u);
  EXPECT_EQ(fake.messages[0].caption, "File not found");
  EXPECT_NE(fake.messages[0].text.find("is a link to " + target.string() + ", which does not exist"),
            std::string::npos)
      << fake.messages[0].text;
  EXPECT_EQ(DemoListSections(list), std::vector<std::string>{"h2o"});

  // With the other list present, nothing is written and the link is still told about.
  const TFirstRunResult again = ProvideDemoLineLists(DefaultLineListNames(), iniDir(), cwd());
  EXPECT_EQ(again.outcome, TFirstRunResult::Outcome::NotNeeded);
  EXPECT_NE(again.message.find("which does not exist"), std::string::npos);
}

TEST_F(FirstRunTest, AnInstalledCopyKeepsItsSettingsAndDemonstrationListsInTheUsersFolder) {
  // The program's folder cannot be written (here: it does not exist, which stops root as well).
  zq::FakePlatform platform;
  platform.executablePath = (dir / "usr" / "bin" / "absorbview").string();
  platform.userConfigFolder = (dir / "home" / ".config" / "absorbview").string();
  TzqINI_File ini;
  ini.INI_Default = {"[h2o]", "Filename = 01_h2o_161_only.txt", "[CO2]", "Filename = 02_CO2.txt"};
  ini.Loaded();
  EXPECT_EQ(ini.FullFilename(), platform.userConfigFolder + "/absorbview.ini");
  ini.WriteString("Controls", "x", "1");
  ini.AppendChangedKeys = true;
  ini.SaveToFile(ini.FullFilename());
  EXPECT_TRUE(fs::exists(platform.userConfigFolder + "/absorbview.ini"));
  const TFirstRunResult r = ProvideDemoLineLists(ConfiguredLineListFiles(ini), ini.Directory(), cwd());
  EXPECT_EQ(r.outcome, TFirstRunResult::Outcome::Generated) << r.message;
  EXPECT_TRUE(fs::exists(fs::path(platform.userConfigFolder) / "02_CO2.txt"));
  EXPECT_FALSE(fs::exists(cwd() / "02_CO2.txt"));

  // A file named by /ini stays where it is named; a writable program folder keeps its own file.
  platform.arguments = {"/ini", (cwd() / "mine.ini").string()};
  TzqINI_File chosen;
  chosen.Loaded();
  EXPECT_EQ(chosen.FullFilename(), (cwd() / "mine.ini").string());
  zq::FakePlatform writable;
  writable.executablePath = (exe() / "absorbview").string();
  writable.userConfigFolder = platform.userConfigFolder;
  TzqINI_File beside;
  beside.Loaded();
  EXPECT_EQ(beside.FullFilename(), iniDir() + "absorbview.ini");
}
