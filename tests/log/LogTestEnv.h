// A test's private log world: its own temporary folder as the log folder and a clock the test sets by
// hand. Both are restored when the fixture ends.
#pragma once

#include "TestSupport.h"
#include "zq_LogFiles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

class LogEnvTest : public ::testing::Test {
protected:
  LogEnvTest() {
    previous_clock_ = zqlog::InstallClock({[this] { return local; }, [this] { return monotonic; }});
    previous_folder_ = zqlog::InstallLogFolder(dir.path());
  }
  ~LogEnvTest() override {
    zqlog::InstallClock(previous_clock_);
    zqlog::InstallLogFolder(previous_folder_);
  }

  // The lines of a file in the test folder; every line must end with CR LF.
  std::vector<std::string> Lines(const std::string& name) const {
    std::string text = zqtest::ReadFile(dir / name);
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < text.size()) {
      size_t end = text.find("\r\n", pos);
      EXPECT_NE(end, std::string::npos) << name << " has a line without CR LF";
      if (end == std::string::npos) end = text.size();
      lines.push_back(text.substr(pos, end - pos));
      pos = end + 2;
    }
    return lines;
  }

  void Advance(std::chrono::milliseconds ms) { monotonic += ms; }

  zqtest::TempDir dir;
  zqlog::LocalTime local{2026, 3, 4, 21, 5, 7};
  std::chrono::steady_clock::time_point monotonic{std::chrono::hours(1000)};

private:
  zqlog::Clock previous_clock_;
  std::filesystem::path previous_folder_;
};
