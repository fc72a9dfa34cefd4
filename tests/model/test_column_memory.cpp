// The column's memory estimate: it bounds what the settings imply before anything is allocated, grows
// with the layers, and refuses by name with both figures.
#include "zqColumnMemory.h"

#include <gtest/gtest.h>

#include <unistd.h>

TEST(ColumnMemory, EstimateCoversTheCacheAndRefusesSettingsBeyondTheLimit) {
  TzqColumnSettings fine; // allowed by every other check: one layer, a 1e-5 cm-1 step over 1500 cm-1
  fine.Layers = 1;
  fine.Step = 1e-5;
  fine.WavenumberMin = 6000;
  fine.WavenumberMax = 7500;
  const double points = 1.5e8;
  // At least what such a run was measured to take (52 bytes per point) before the CSV.
  EXPECT_GE(ColumnMemoryBytes(fine), 52 * points);
  // Every further layer caches two float cross-sections per point.
  TzqColumnSettings more = fine;
  more.Layers = 2;
  EXPECT_GE(ColumnMemoryBytes(more) - ColumnMemoryBytes(fine), 2 * sizeof(float) * points);

  const std::string why = ColumnMemoryProblem(fine, 8e9);
  EXPECT_NE(why.find("8.0 GB"), std::string::npos) << why;
  EXPECT_NE(why.find("memory"), std::string::npos) << why;
  EXPECT_EQ(ColumnMemoryProblem(fine, 1e12), "");
  // The defaults (60 layers, 0.01 cm-1 over 0-2500 cm-1) fit well within 1 GB.
  EXPECT_EQ(ColumnMemoryProblem(TzqColumnSettings{}, 1e9), "");

  const double physical = static_cast<double>(::sysconf(_SC_PHYS_PAGES)) * ::sysconf(_SC_PAGESIZE);
  EXPECT_GT(ColumnMemoryLimit(), 0);
  EXPECT_LE(ColumnMemoryLimit(), physical);
}
