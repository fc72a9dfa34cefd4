// A grid that resolves the lines whose absorption depends on their shape, for optical depths, paths
// and absorbed power: each cell of the plot grid is cut into finer cells around every line that reaches
// a set optical depth over the path, graded with the distance from its centre. A thin line's absorption
// is its area, which the cross-section's cell means keep, so it needs no finer cells; a thick one absorbs
// the mean of 1 - exp(-tau) over its cell, which only a grid finer than the line can give. Qt-free.
#pragma once

#include "zqCrossSection.h"

#include <cstddef>
#include <span>
#include <string>
#include <vector>

// One gas of a resolving grid: its lines, the conditions of its cross-section on the plot grid, and the
// column its lines are judged by (number density x the longest path, molecules/cm2).
struct THitranResolvedGas {
  THitranLineSet Lines;
  THitranConditions Conditions;
  double Column = 0;
};

struct TResolvingGridOptions {
  // A fine cell near a line is at most this fraction of the larger of the line's half width and the
  // distance from its centre (the profile, and so exp(-tau), changes on that scale).
  double StepFraction = 0.25;
  // A line needs finer cells only where its optical depth over the column exceeds this: below, its
  // absorption 1 - exp(-tau) is tau, its cell mean, to within tau / 2.
  double ThinDepth = 1e-3;
  // Fine points beyond which the grid is made coarser, with a note (the two gases' cross-sections on it
  // take about 50 bytes a point).
  std::size_t MaxPoints = 10'000'000;
};

struct TResolvingGrid {
  std::vector<double> PlotX;           // the plot grid's points, the centres of its cells
  double PlotStep = 0;                 // cm-1
  std::vector<std::size_t> First;      // plot cell k holds the fine points First[k] .. First[k + 1] - 1
  std::vector<double> X, Edges, Width; // fine points (the middles of their cells), the cells' edges and
                                       // widths (cm-1)
  long ResolvedLines = 0;              // lines thick enough to be given finer cells
  double StepFraction = 0;             // the fraction used (larger than asked when the grid was made coarser)
  std::string Refusal;                 // why there is no grid (the plot grid cannot be formed)
  std::vector<std::string> Notes;
  bool Valid() const { return Refusal.empty(); }
};

// The resolving grid of the gases' plot grid (WavenumberMin/Max of the first gas's conditions; every gas
// must share them). A gas whose lines cannot be placed (its cross-section refuses) adds no finer cells.
TResolvingGrid HitranResolvingGrid(std::span<const THitranResolvedGas> gases,
                                   const TResolvingGridOptions& options = {});
