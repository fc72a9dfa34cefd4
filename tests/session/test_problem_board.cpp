// Standing reasons: one per source, cleared by that source alone, the latest shown, refused fields named.
#include "zqProblemBoard.h"

#include <gtest/gtest.h>

using zqsession::TzqProblemBoard;

TEST(ProblemBoard, AReasonStandsUntilItsOwnSourceIsMended) {
  TzqProblemBoard b;
  EXPECT_EQ(b.Shown(), "");
  b.Report("blackbody 3", "Wavenumber range is too narrow or inverted for the curve", "Wavenumber_Max");
  b.Report("humidity", "Pressure must be above 0 mb for the relative humidity", "Pressure");
  EXPECT_EQ(b.Shown(), "Pressure must be above 0 mb for the relative humidity");
  EXPECT_EQ(b.ReasonFor("Wavenumber_Max"), "Wavenumber range is too narrow or inverted for the curve");
  EXPECT_EQ(b.RefusedFields(), (std::vector<std::string>{"Wavenumber_Max", "Pressure"}));
  // Another source succeeding leaves both standing; the humidity mended shows the older reason again.
  b.Clear("plot");
  EXPECT_TRUE(b.Has("humidity"));
  b.Clear("humidity");
  EXPECT_EQ(b.Shown(), "Wavenumber range is too narrow or inverted for the curve");
  EXPECT_EQ(b.ReasonFor("Pressure"), "");
  // A source reporting again replaces its reason and becomes the latest; an empty reason clears it.
  b.Report("humidity", "Temperature must be above 0 K for the relative humidity", "Temp_K");
  b.Report("blackbody 3", "Number_of_Values must be at least 1");
  EXPECT_EQ(b.Shown(), "Number_of_Values must be at least 1");
  EXPECT_EQ(b.ReasonFor("Wavenumber_Max"), "");
  b.Report("blackbody 3", "");
  EXPECT_FALSE(b.Has("blackbody 3"));
  EXPECT_EQ(b.Shown(), "Temperature must be above 0 K for the relative humidity");
  EXPECT_EQ(b.RefusedFields(), std::vector<std::string>{"Temp_K"});
}
