// The performance report text and its log file, driven by a hand-set clock.
#include "LogTestEnv.h"
#include "zqPerformance.h"

#include <filesystem>

using namespace std::chrono_literals;

TEST(PerformanceText, MinutesOnlyWhenPresentHoursDropped) {
  EXPECT_EQ(zqlog::PerformanceText("", 1min + 5250ms), "1 min  5 sec  250 ms");
  EXPECT_EQ(zqlog::PerformanceText("", 800ms), "0 sec  800 ms");
  EXPECT_EQ(zqlog::PerformanceText("", 1h + 2min), "2 min  0 sec  0 ms");
  EXPECT_EQ(zqlog::PerformanceText("", 0ns), "0 sec  0 ms");
  EXPECT_EQ(zqlog::PerformanceText("L3_UIButton", 2340ms), "L3_UIButton - 2 sec  340 ms");
}

TEST(PerformanceText, MillisecondsRoundToNearest) {
  EXPECT_EQ(zqlog::PerformanceText("", 5249999999ns), "5 sec  250 ms");
  EXPECT_EQ(zqlog::PerformanceText("", 59999600us), "1 min  0 sec  0 ms");
  EXPECT_EQ(zqlog::PerformanceText("", 1400us), "0 sec  1 ms");
  EXPECT_EQ(zqlog::PerformanceText("", -5s), "0 sec  0 ms");
}

TEST_F(LogEnvTest, ReportsGoToPerformanceLog) {
  StartPerformanceTimer("L3_UIButton");
  Advance(2340ms);
  StopPerformanceTimer();
  StartPerformanceTimer("");
  Advance(800ms);
  StopPerformanceTimer();
  std::string stamp = "2026/03/04 09:05:07 PM - ";
  EXPECT_EQ(Lines("Performance_Log.txt"),
            (std::vector<std::string>{stamp + "File created - Performance_Log.txt",
                                      stamp + "L3_UIButton - 2 sec  340 ms", stamp + "0 sec  800 ms"}));
  EXPECT_FALSE(std::filesystem::exists(dir / "Log.txt"));
  EXPECT_FALSE(std::filesystem::exists(dir / "Errors.txt"));
}

TEST_F(LogEnvTest, TimingAcrossMidnightUsesElapsedTime) {
  local = {2026, 3, 4, 23, 59, 59};
  StartPerformanceTimer("night");
  Advance(3s);
  local = {2026, 3, 5, 0, 0, 2};
  StopPerformanceTimer();
  EXPECT_EQ(Lines("Performance_Log.txt").back(), "2026/03/05 12:00:02 AM - night - 3 sec  0 ms");
}

TEST_F(LogEnvTest, UnwritablePerformanceLogDoesNotDisturbTheCaller) {
  std::filesystem::create_directory(dir / "Performance_Log.txt");
  StartPerformanceTimer("L3_UIButton");
  Advance(1s);
  testing::internal::CaptureStderr();
  EXPECT_NO_THROW(StopPerformanceTimer());
  EXPECT_NE(testing::internal::GetCapturedStderr().find("Performance_Log.txt"), std::string::npos);
}
