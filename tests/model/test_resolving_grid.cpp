// The resolving grid: with it, the absorbed power of saturated lines far narrower than the plot cells
// (Doppler, and Voigt at low pressure) is that of the point cross-sections sampled finely around each
// line, where the cells' own points miss them or spread them (cell means) over the cell; beyond its point
// limit it is made coarser and says so.
#include "ModelTestHelpers.h"
#include "zqCrossSection.h"
#include "zqHitranPhysics.h"
#include "zqResolvingGrid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iostream>

namespace {

// CO2 lines at 300-350 cm-1 (plot cells of 0.001 cm-1) from saturated to thin, one on a cell edge.
std::unique_ptr<T_zq_HITRAN> lines() {
  std::string text;
  const double places[] = {305.2, 310.1234, 320.0005, 330.45678, 340.0};
  const double strengths[] = {3e-19, 2e-20, 1e-21, 3e-23, 1e-29};
  for (int i = 0; i < 5; ++i)
    text += modeltest::Line(places[i], strengths[i], 0.07, 100) + "\n";
  return modeltest::LoadText(text, " 2");
}

THitranConditions plot(THitranProfile profile, double pressure) {
  THitranConditions c;
  c.Temperature = 250;
  c.Pressure = pressure;
  c.MixingRatio = 400;
  c.Profile = profile;
  c.WavenumberMin = 300;
  c.WavenumberMax = 350;
  return c;
}

TEST(ResolvingGrid, GivesTheAbsorptionOfTheLinesSampledFinely) {
  const auto list = lines();
  for (const auto& [profile, pressure] :
       {std::pair{THitranProfile::Doppler, 1013.25}, std::pair{THitranProfile::Voigt, 5.0}}) {
    const THitranConditions c = plot(profile, pressure);
    const double n = zqphys::NumberDensity(400, pressure, 250), L = 1000;
    const THitranResolvedGas gas{HitranLineSet(*list), c, n * L * 100};
    const TResolvingGrid grid = HitranResolvingGrid({&gas, 1});
    ASSERT_TRUE(grid.Valid()) << grid.Refusal;
    EXPECT_TRUE(grid.Notes.empty());
    EXPECT_EQ(grid.First.size(), 50001u);
    EXPECT_EQ(grid.Edges.front(), 300.0005);
    EXPECT_EQ(grid.Edges.back(), grid.PlotX.back() + 0.0005);
    THitranConditions fine = c;
    fine.Grid = grid.X;
    fine.CellEdges = grid.Edges;
    fine.CellAverage = true;
    const THitranCrossSection on_grid = ComputeHitranCrossSection(gas.Lines, fine);
    ASSERT_TRUE(on_grid.Valid()) << on_grid.Refusal;
    const double mine = zqphys::AbsorbedBlackbodyPowerOfPieces(grid.X, grid.Width, on_grid.Sigma, n, L, 250);

    // The reference: point values every 2e-6 cm-1 over each line's window (nothing absorbs outside).
    const THitranPlacement placed = PlaceHitranLines(gas.Lines, c);
    std::vector<double> x;
    for (const THitranPlacedLine& l : placed.Lines)
      for (double v = l.Nu - l.Reach; v < l.Nu + l.Reach; v += 2e-6)
        x.push_back(v);
    std::sort(x.begin(), x.end());
    THitranConditions sampled = c;
    sampled.Grid = x;
    const THitranCrossSection points = ComputeHitranCrossSection(gas.Lines, sampled);
    ASSERT_TRUE(points.Valid()) << points.Refusal;
    const std::vector<double> width(x.size(), 2e-6);
    const double reference = zqphys::AbsorbedBlackbodyPowerOfPieces(x, width, points.Sigma, n, L, 250);
    std::cout << grid.X.size() << " points for " << grid.ResolvedLines << " thick lines: " << mine
              << " W/m2, sampled " << reference << "\n";
    EXPECT_EQ(grid.ResolvedLines, 4);
    // Each line on its own to a few 1e-4 (a band of many averages far better: see the session's tests).
    EXPECT_NEAR(mine / reference, 1, 1e-3);

    // Too few points allowed: coarser, with a note, within the limit.
    TResolvingGridOptions few;
    few.MaxPoints = 50100;
    const TResolvingGrid coarse = HitranResolvingGrid({&gas, 1}, few);
    ASSERT_EQ(coarse.Notes.size(), 1u);
    EXPECT_NE(coarse.Notes[0].find("50100 points"), std::string::npos) << coarse.Notes[0];
    EXPECT_LE(coarse.X.size(), 50100u);
    EXPECT_GT(coarse.StepFraction, few.StepFraction);
  }
}

} // namespace
