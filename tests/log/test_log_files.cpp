// Stamped log lines, file and directory creation, appending, and logging that survives unwritable files.
#include "LogTestEnv.h"

#include <filesystem>
#include <stdexcept>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const char* const kStamp = "2026/03/04 09:05:07 PM";

std::string Stamped(const std::string& message) {
  return std::string(kStamp) + " - " + message;
}

} // namespace

TEST(LogStamp, TwelveHourClockWithZeroPaddedFields) {
  EXPECT_EQ(zqlog::FormatStamp({2026, 3, 4, 9, 5, 7}), "2026/03/04 09:05:07 AM");
  EXPECT_EQ(zqlog::FormatStamp({2026, 12, 31, 23, 59, 59}), "2026/12/31 11:59:59 PM");
  EXPECT_EQ(zqlog::FormatStamp({2027, 1, 1, 0, 0, 0}), "2027/01/01 12:00:00 AM");
  EXPECT_EQ(zqlog::FormatStamp({2027, 1, 1, 12, 30, 0}), "2027/01/01 12:30:00 PM");
  EXPECT_EQ(zqlog::FormatStamp({999, 1, 1, 13, 0, 0}), "0999/01/01 01:00:00 PM");
}

TEST_F(LogEnvTest, TimeStampedPutsStampDashMessage) {
  Tzq_LogFiles log;
  EXPECT_EQ(log.TimeStamped("hello"), Stamped("hello"));
  local.Hour = 0;
  EXPECT_EQ(log.TimeStamped(""), "2026/03/04 12:05:07 AM - ");
}

TEST_F(LogEnvTest, FirstLogCreatesFileAndRecordsItsCreation) {
  Tzq_LogFiles log;
  log.Log("first");
  log.Log("second");
  EXPECT_EQ(Lines("Log.txt"), (std::vector<std::string>{Stamped("File created - Log.txt"), Stamped("first"),
                                                        Stamped("second")}));
  EXPECT_FALSE(fs::exists(dir / "Errors.txt"));
}

TEST_F(LogEnvTest, AppendingKeepsEarlierLinesVerbatim) {
  zqtest::WriteFile(dir / "Log.txt", "written by an earlier run\r\nsecond old line\r\n");
  Tzq_LogFiles log;
  log.Log("new");
  EXPECT_EQ(zqtest::ReadFile(dir / "Log.txt"),
            "written by an earlier run\r\nsecond old line\r\n" + Stamped("new") + "\r\n");
  // A second object appends to the same file rather than starting over.
  Tzq_LogFiles other;
  other.Log("later");
  EXPECT_EQ(Lines("Log.txt").size(), 4u);
  EXPECT_EQ(Lines("Log.txt").back(), Stamped("later"));
}

TEST_F(LogEnvTest, LogErrorWritesTheSameLineToBothFiles) {
  Tzq_LogFiles log;
  log.LogError("disk on fire");
  EXPECT_TRUE(log.ErrorsLogged);
  EXPECT_EQ(Lines("Errors.txt"), std::vector<std::string>{Stamped("disk on fire")});
  EXPECT_EQ(Lines("Log.txt"),
            (std::vector<std::string>{Stamped("File created - Log.txt"), Stamped("File created - Errors.txt"),
                                      Stamped("disk on fire")}));
}

TEST_F(LogEnvTest, LogFileInMissingDirectoryCreatesTheChain) {
  Tzq_LogFiles log;
  log.SetLogFile("a/b/Log.txt");
  log.Log("deep");
  std::string created_dir = (dir / "a/b").string();
  EXPECT_EQ(Lines("a/b/Log.txt"),
            (std::vector<std::string>{Stamped("File created - a/b/Log.txt"),
                                      Stamped("Created directory - " + created_dir), Stamped("deep")}));
}

TEST_F(LogEnvTest, EmptyPathWritesNothing) {
  Tzq_LogFiles log;
  EXPECT_TRUE(log.WriteLine("", "ignored"));
  log.SetLogFile("");
  log.Log("nowhere");
  EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST_F(LogEnvTest, RelativePathsDefaultToTheCurrentFolder) {
  zqlog::InstallLogFolder({});
  fs::path previous = fs::current_path();
  fs::current_path(dir.path());
  Tzq_LogFiles log;
  log.Log("here");
  fs::current_path(previous);
  EXPECT_EQ(Lines("Log.txt").back(), Stamped("here"));
}

TEST_F(LogEnvTest, UnopenableLogFileIsReportedOnceAndNeverThrows) {
  fs::create_directory(dir / "Log.txt"); // a directory where the file should be: it cannot be opened
  Tzq_LogFiles log;
  testing::internal::CaptureStderr();
  EXPECT_NO_THROW(log.Log("lost"));
  EXPECT_NO_THROW(log.Log("lost again"));
  std::string err = testing::internal::GetCapturedStderr();
  std::string file = (dir / "Log.txt").string();
  EXPECT_NE(err.find("cannot write log file " + file), std::string::npos) << err;
  EXPECT_EQ(err.find(file), err.rfind(file)) << "reported more than once:\n" << err;
  EXPECT_FALSE(log.WriteLine("Log.txt", "direct"));

  // Once the file is writable again, logging resumes and a new failure is reported again.
  fs::remove(dir / "Log.txt");
  log.Log("back");
  EXPECT_EQ(Lines("Log.txt").back(), Stamped("back"));
  fs::remove(dir / "Log.txt");
  fs::create_directory(dir / "Log.txt");
  testing::internal::CaptureStderr();
  log.Log("lost once more");
  EXPECT_NE(testing::internal::GetCapturedStderr().find(file), std::string::npos);
}

TEST_F(LogEnvTest, UncreatableDirectoryGoesToErrorLogNotToTheCaller) {
  zqtest::WriteFile(dir / "blocker", "a file, not a directory");
  Tzq_LogFiles log;
  log.SetLogFile("blocker/sub/Log.txt");
  testing::internal::CaptureStderr();
  EXPECT_NO_THROW(log.Log("message"));
  std::string err = testing::internal::GetCapturedStderr();
  std::string blocked = (dir / "blocker/sub").string();
  std::string file = (dir / "blocker/sub/Log.txt").string();
  EXPECT_NE(err.find("cannot write log file " + file), std::string::npos) << err;
  EXPECT_EQ(err.find(file), err.rfind(file)) << "reported more than once:\n" << err;
  EXPECT_TRUE(log.ErrorsLogged);
  EXPECT_EQ(Lines("Errors.txt"),
            (std::vector<std::string>{Stamped("*** ERROR - Can not create directory - "), "   " + blocked}));
}

TEST_F(LogEnvTest, BothFilesUnwritableStillReturns) {
  zqtest::WriteFile(dir / "blocker", "x");
  Tzq_LogFiles log;
  log.SetLogFile("blocker/Log.txt");
  log.ErrorFile = "blocker/Errors.txt";
  testing::internal::CaptureStderr();
  EXPECT_NO_THROW(log.LogError("nowhere to go"));
  testing::internal::GetCapturedStderr();
  EXPECT_TRUE(log.ErrorsLogged);
}

TEST_F(LogEnvTest, EnsureDirectoryRaisesToDirectCallers) {
  zqtest::WriteFile(dir / "blocker", "x");
  Tzq_LogFiles log;
  testing::internal::CaptureStderr();
  try {
    log.EnsureDirectory("blocker/x");
    ADD_FAILURE() << "no error raised";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Cannot create blocker/x");
  }
  testing::internal::GetCapturedStderr();
  EXPECT_TRUE(log.ErrorsLogged);

  log.EnsureDirectory("made/here");
  EXPECT_TRUE(DirectoryPresent((dir / "made/here").string()));
  EXPECT_EQ(Lines("Log.txt").back(), Stamped("Created directory - made/here"));
}

TEST_F(LogEnvTest, CreateDirectoryChain) {
  EXPECT_THROW(CreateDirectoryChain(""), std::runtime_error);
  EXPECT_TRUE(CreateDirectoryChain((dir / "x/y/z/").string()));
  EXPECT_TRUE(DirectoryPresent((dir / "x/y/z").string()));
  EXPECT_TRUE(CreateDirectoryChain((dir / "x/y").string())); // already there
  EXPECT_TRUE(CreateDirectoryChain("/"));
  zqtest::WriteFile(dir / "file", "x");
  EXPECT_FALSE(CreateDirectoryChain((dir / "file/sub").string()));
  EXPECT_FALSE(DirectoryPresent((dir / "file").string()));
  EXPECT_FALSE(DirectoryPresent(""));
}
