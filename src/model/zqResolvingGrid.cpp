// The resolving grid: the thick lines of every gas with the reach of their finer cells, then one march
// through the plot cells that steps each time by the smallest step the lines near it ask for.
#include "zqResolvingGrid.h"

#include "zqHitranPhysics.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace {

using Placed = THitranPlacedLine;
using Kind = THitranPlacedLine::TKind;

// A thick line as the march sees it: its centre, and the zones where it asks for finer cells (cm-1).
// A Gauss-like core (Doppler, or Voigt with y < 1) of half width g asks for steps of g times the fraction
// out to where its optical depth falls below the thin depth: a Gaussian is no smoother away from its
// centre. A Lorentz-like profile of half width gamma asks for the same within kFlatWithin half widths,
// then for the fraction of max(gamma, d - (kFlatWithin - 1) gamma) out to where its wing falls below the
// thin depth: the wing changes on the scale of its distance d from the centre. Sampled so finely the line
// keeps its point values (the cross-section checks its cells out to 4 half widths), whose mean of
// exp(-tau) converges far faster than that of cell means.
constexpr double kFlatWithin = 5;

struct Thick {
  double centre = 0;
  double gauss_width = 0, gauss_zone = 0;
  double lorentz_width = 0, lorentz_zone = 0;
  double reach = 0; // beyond this distance it asks for no step below the plot cell's
};

// The distance at which a Lorentz wing S gammaL / (pi d^2) over the column falls to thin.
double wing_zone(const Placed& pl, double column, double thin) {
  return std::sqrt(pl.S * column * pl.GammaL / (std::numbers::pi * thin));
}

// Whether a thick line's wing is still thick where its window ends: the cross-section steps there, and
// the grid puts a cell edge at the step (a cell holding it would be all in or all out).
bool thick_at_window_end(const Placed& pl, double column, double thin) {
  return pl.Kind != Kind::Gauss &&
         pl.S * column * pl.GammaL / (std::numbers::pi * pl.Reach * pl.Reach) >= thin;
}

// The thick line's zones, or none (false) when it is thin everywhere.
bool thick_line(const Placed& pl, double column, double thin, double plotStep, double fraction, Thick& t) {
  double peak = 0, half_width = 0;
  switch (pl.Kind) {
  case Kind::Lorentz:
    half_width = pl.GammaL;
    peak = pl.S * zqphys::LorentzProfile(0, pl.GammaL) * column;
    if (peak >= thin) t.lorentz_width = half_width, t.lorentz_zone = half_width * std::sqrt(peak / thin - 1);
    break;
  case Kind::Gauss:
    half_width = pl.GammaD;
    peak = pl.S * zqphys::GaussProfile(0, pl.GammaD) * column;
    if (peak >= thin)
      t.gauss_width = half_width, t.gauss_zone = half_width * std::sqrt(std::log2(peak / thin));
    break;
  case Kind::Voigt:
    half_width = zqphys::VoigtHalfWidth(pl.GammaL, pl.GammaD);
    peak = pl.S * zqphys::VoigtProfile(0, pl.GammaL, pl.GammaD) * column;
    if (peak < thin) break;
    if (pl.Y < 1) {
      t.gauss_width = half_width;
      t.gauss_zone = half_width * std::sqrt(std::log2(peak / thin));
      if (const double wing = wing_zone(pl, column, thin); wing > t.gauss_zone)
        t.lorentz_width = half_width, t.lorentz_zone = wing;
    } else {
      t.lorentz_width = half_width;
      t.lorentz_zone = wing_zone(pl, column, thin);
    }
    break;
  case Kind::None:
    break;
  }
  if (!(peak >= thin) || !(half_width > 0)) return false;
  // Every zone spans the flat steps (a line just thick enough has a narrow one); beyond its window a
  // line adds nothing.
  if (t.gauss_width > 0) t.gauss_zone = std::max(t.gauss_zone, kFlatWithin * t.gauss_width);
  if (t.lorentz_width > 0) t.lorentz_zone = std::max(t.lorentz_zone, kFlatWithin * t.lorentz_width);
  const double window = pl.Reach + std::fabs(pl.Shift);
  t.gauss_zone = std::min(t.gauss_zone, window);
  t.lorentz_zone = std::min(t.lorentz_zone, window);
  t.centre = pl.Nu + pl.Shift;
  t.reach = std::max(t.gauss_width > 0 ? t.gauss_zone : 0.0,
                     t.lorentz_width > 0
                         ? std::min(t.lorentz_zone, plotStep / fraction + (kFlatWithin - 1) * t.lorentz_width)
                         : 0.0) +
            plotStep;
  return true;
}

// The step a thick line asks for at distance d from its centre: within a zone as above; beyond it no
// more than reaching the zone and its step there, so that steps never jump into a zone.
double step_asked(const Thick& t, double d, double fraction) {
  double step = HUGE_VAL;
  if (t.gauss_width > 0) {
    const double inside = fraction * t.gauss_width;
    step = d <= t.gauss_zone ? inside : inside + (d - t.gauss_zone);
  }
  if (t.lorentz_width > 0) {
    const double w = t.lorentz_width, zone = t.lorentz_zone;
    auto inside = [&](double at) { return fraction * std::max(w, at - (kFlatWithin - 1) * w); };
    step = std::min(step, d <= zone ? inside(d) : inside(zone) + (d - zone));
  }
  return step;
}

std::string count_text(double v) {
  char text[64];
  std::snprintf(text, sizeof text, "%.0f", v);
  return text;
}

// Marches through the plot cells, with a cell edge at every cut (ascending); false when the grid would
// pass maxPoints.
bool march(const std::vector<Thick>& thick, const std::vector<double>& cuts, const std::vector<double>& edges,
           double fraction, std::size_t maxPoints, TResolvingGrid& grid) {
  const std::size_t cells = edges.size() - 1;
  grid.First.assign(1, 0);
  grid.First.reserve(cells + 1);
  grid.Edges.assign(1, edges[0]);
  std::vector<const Thick*> near;
  std::size_t next = 0, next_cut = 0;
  for (std::size_t k = 0; k < cells; ++k) {
    const double end = edges[k + 1];
    double x = edges[k];
    for (;;) {
      while (next < thick.size() && thick[next].centre - thick[next].reach <= x)
        near.push_back(&thick[next++]);
      std::erase_if(near, [&](const Thick* t) { return t->centre + t->reach < x; });
      const double remaining = end - x;
      double step = remaining;
      for (const Thick* t : near)
        step = std::min(step, step_asked(*t, std::fabs(x - t->centre), fraction));
      if (grid.Edges.size() > maxPoints) return false;
      // Never a sliver at the cell's end: a last piece shorter than two steps goes in halves (each half
      // still asks again, a line may lie in the second).
      if (step < remaining && remaining < 2 * step) step = 0.5 * remaining;
      while (next_cut < cuts.size() && cuts[next_cut] <= x)
        ++next_cut;
      if (next_cut < cuts.size() && cuts[next_cut] < std::min(x + step, end)) step = cuts[next_cut] - x;
      if (step >= remaining) break;
      x += step;
      grid.Edges.push_back(x);
    }
    grid.Edges.push_back(end);
    grid.First.push_back(grid.Edges.size() - 1);
  }
  return true;
}

} // namespace

TResolvingGrid HitranResolvingGrid(std::span<const THitranResolvedGas> gases,
                                   const TResolvingGridOptions& o) {
  TResolvingGrid grid;
  std::vector<Thick> thick;
  std::vector<double> edges, cuts;
  std::string refusal = "A resolving grid needs a gas";
  for (const THitranResolvedGas& gas : gases) {
    THitranConditions c = gas.Conditions;
    c.CellAverage = true; // places narrow lines by the cells they meet, as their cell means take them
    c.Grid = {};
    c.CellEdges = {};
    const THitranPlacement placement = PlaceHitranLines(gas.Lines, c);
    if (!placement.Result.Valid()) {
      refusal = placement.Result.Refusal;
      continue;
    }
    if (edges.empty()) {
      edges = placement.Edges;
      grid.PlotX = placement.Result.X;
      grid.PlotStep = placement.Result.Step;
    } else if (placement.Edges != edges) {
      grid.Refusal = "The gases of a resolving grid must share their plot grid";
      return grid;
    }
    for (const Placed& pl : placement.Lines)
      if (Thick t; thick_line(pl, gas.Column, o.ThinDepth, placement.Result.Step, o.StepFraction, t)) {
        thick.push_back(t);
        if (thick_at_window_end(pl, gas.Column, o.ThinDepth)) {
          cuts.push_back(pl.Nu - pl.Reach);
          cuts.push_back(pl.Nu + pl.Reach);
        }
      }
  }
  if (edges.empty()) {
    grid.Refusal = refusal;
    return grid;
  }
  grid.ResolvedLines = static_cast<long>(thick.size());
  std::sort(cuts.begin(), cuts.end());
  std::sort(thick.begin(), thick.end(),
            [](const Thick& a, const Thick& b) { return a.centre - a.reach < b.centre - b.reach; });

  // Coarser by halves until the grid fits; at the coarsest every plot cell is one fine cell.
  const std::size_t limit = std::max(o.MaxPoints, edges.size() - 1);
  double fraction = o.StepFraction;
  while (!march(thick, cuts, edges, fraction, limit, grid))
    fraction *= 2;
  grid.StepFraction = fraction;
  if (fraction > o.StepFraction)
    grid.Notes.push_back("The lines that absorb strongly would need more than " +
                         count_text(static_cast<double>(o.MaxPoints)) +
                         " points to resolve; they were resolved " + count_text(fraction / o.StepFraction) +
                         " times coarser, so optical depths, paths and absorbed power are less exact");

  const std::size_t n = grid.Edges.size() - 1;
  grid.X.resize(n);
  grid.Width.resize(n);
  for (std::size_t j = 0; j < n; ++j) {
    grid.Width[j] = grid.Edges[j + 1] - grid.Edges[j];
    grid.X[j] = grid.Edges[j] + 0.5 * grid.Width[j];
  }
  return grid;
}
