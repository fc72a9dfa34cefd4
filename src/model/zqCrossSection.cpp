// The HITRAN-mode cross-section, summed by the one line summation (zqLineSum.h): pass 1 computes each
// line's intensity, widths, centre and window, pass 2 sums each grid point over the lines in file
// order. Each point therefore gets the same sum, bit for bit, whatever the number of threads.
#include "zqCrossSection.h"

#include "zqFaddeeva.h"
#include "zqGrid.h"
#include "zqHITRAN.h"
#include "zqHitranPhysics.h"
#include "zqLineSum.h"
#include "zqPartitionSums.h"
#include "zqPhysicalConstants.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <numbers>
#include <tuple>

namespace {

constexpr long N = T_zq_HITRAN::kGridPoints;
constexpr const char* kCancelled = "The computation was cancelled";

using Placed = THitranPlacedLine;
using Kind = THitranPlacedLine::TKind;

// Validated conditions of one computation.
struct Setup {
  const zqtips::TIsotopologue* iso = nullptr;
  double q_ref = 0, q_t = 0;
  double doppler = 0; // gammaD / nu*
  double step = 0;
  double inv_step = 0; // 1 / step on an evenly spaced grid; 0 on any other (whose points are searched)
  const std::vector<THitranCoarseGrid>* coarse = nullptr; // the far wings' levels, when they are used
};

// Lines left out or completed, counted per thread of pass 1.
struct Counts {
  long unknown_shift = 0, no_width = 0, bad = 0;
};

std::string format(const char* pattern, double a, double b = 0) {
  char text[256];
  std::snprintf(text, sizeof text, pattern, a, b);
  return text;
}

std::string validate(const THitranLineSet& lines, const THitranConditions& c, Setup& setup) {
  setup.iso = zqtips::FindIsotopologue(lines.Molecule, lines.Isotopologue);
  if (!setup.iso) {
    std::string known;
    for (const zqtips::TIsotopologue& iso : zqtips::Isotopologues())
      known += (known.empty() ? "" : ", ") + std::string(iso.Name);
    return format("HITRAN line physics has no partition sum for molecule %g, isotopologue %g", lines.Molecule,
                  lines.Isotopologue) +
           " (available: " + known + ")";
  }
  if (!c.Grid.empty()) {
    const std::span<const double> g = c.Grid;
    if (g.size() > static_cast<std::size_t>(INT32_MAX) - 1) return "The wavenumber grid has too many points";
    setup.step = g.size() > 1 ? (g.back() - g.front()) / static_cast<double>(g.size() - 1) : 1.0;
    bool even = true;
    for (std::size_t k = 0; k < g.size(); ++k) {
      if (!std::isfinite(g[k]) || (k > 0 && !(g[k] > g[k - 1])))
        return "The wavenumber grid must be finite and ascending";
      if (k > 0) even = even && std::fabs((g[k] - g[k - 1]) - setup.step) <= 1e-6 * setup.step;
    }
    setup.inv_step = even ? 1 / setup.step : 0;
    const std::span<const double> e = c.CellEdges;
    if (!e.empty()) {
      bool enclose = e.size() == g.size() + 1;
      for (std::size_t k = 0; enclose && k < g.size(); ++k)
        enclose = std::isfinite(e[k]) && std::isfinite(e[k + 1]) && e[k] <= g[k] && g[k] <= e[k + 1] &&
                  e[k] < e[k + 1];
      if (!enclose) return "The cell edges must be one more than the grid's points and enclose each point";
    }
  } else if (!c.CellEdges.empty()) {
    return "Cell edges need a grid of the caller's own";
  } else if (const char* problem = zqgrid::GridProblem(c.WavenumberMin, c.WavenumberMax, N, setup.step)) {
    return problem;
  } else {
    setup.inv_step = 1 / setup.step;
  }
  const zqtips::TPartitionSum q_t = zqtips::PartitionSum(*setup.iso, c.Temperature);
  if (!q_t.Valid()) return q_t.Refusal;
  const zqtips::TPartitionSum q_ref = zqtips::PartitionSum(*setup.iso, zqconst::HitranReferenceTemperature);
  if (!q_ref.Valid()) return q_ref.Refusal;
  setup.q_t = q_t.Q;
  setup.q_ref = q_ref.Q;
  setup.doppler = zqphys::DopplerWidthFactor(c.Temperature, setup.iso->MolarMass);
  if (!(c.Pressure >= 0) || !std::isfinite(c.Pressure)) return "Pressure must be a number of 0 mb or more";
  if (c.Profile == THitranProfile::Lorentz && c.Pressure == 0)
    return "The Lorentz profile needs a pressure above 0 mb";
  if (!(c.MixingRatio >= 0 && c.MixingRatio <= 1e6))
    return "Mixing ratio must lie between 0 and 1,000,000 ppm";
  if (!(c.LineWidthLimit > 0) || !std::isfinite(c.LineWidthLimit))
    return "Line-width limit must be a number above 0";
  return {};
}

// Index of the first grid point above v (as std::upper_bound, in O(1) on an evenly spaced grid: the
// quotient lands within a point or two of it and the doubles themselves decide; any other ascending
// grid, as a resolving grid, is searched from there).
int32_t first_above(std::span<const double> x, double inv_step, double v) {
  if (inv_step == 0) return static_cast<int32_t>(std::upper_bound(x.begin(), x.end(), v) - x.begin());
  const long n = static_cast<long>(x.size());
  const double guess = std::floor((v - x[0]) * inv_step);
  long k = !(guess > 0) ? 0 : guess >= static_cast<double>(n) ? n : static_cast<long>(guess);
  for (int steps = 0; k < n && x[static_cast<std::size_t>(k)] <= v; ++k)
    if (++steps > 8) return static_cast<int32_t>(std::upper_bound(x.begin() + k, x.end(), v) - x.begin());
  for (int steps = 0; k > 0 && x[static_cast<std::size_t>(k - 1)] > v; --k)
    if (++steps > 8) return static_cast<int32_t>(std::upper_bound(x.begin(), x.begin() + k, v) - x.begin());
  return static_cast<int32_t>(k);
}

// The cells of a cell-mean computation: edges, one more than the points.
struct Cells {
  std::span<const double> edges;
};

// Cells are integrated exactly within kExactWithin half widths, or widths of its own cell, of the line's
// centre (on a grid made finer around lines, the cells nearby are at most a little wider).
// Beyond, where the profile falls as 1/d^2 at most, Simpson's rule on a cell of width h errs by
// (h/d)^4/24 of its value (below 1e-5), and beyond kSimpsonWithin the point value at its centre by
// (h/d)^2/4 (below 6e-5); summed over a wing, both stay below 1e-6 of the line's area.
constexpr double kExactWithin = 8, kSimpsonWithin = 64;

// (Tref/T)^n_air of the exponents seen last: line lists use a few dozen distinct exponents, so most
// lines find theirs here instead of calling pow. Each thread of pass 1 keeps its own.
class WidthFactorCache {
public:
  explicit WidthFactorCache(double temperature) : temperature_(temperature) {}
  double operator()(double n) {
    uint64_t bits;
    std::memcpy(&bits, &n, sizeof bits);
    // Open addressing with a few probes; a full neighbourhood just computes the factor.
    std::size_t i = static_cast<std::size_t>((bits * 0x9E3779B97F4A7C15ull) >> 56);
    for (int probe = 0; probe < 8; ++probe, i = (i + 1) % kSize) {
      Entry& e = entries_[i];
      if (!e.used) {
        e = {n, zqphys::WidthTemperatureFactor(n, temperature_), true};
        return e.factor;
      }
      if (e.n == n) return e.factor;
    }
    return zqphys::WidthTemperatureFactor(n, temperature_);
  }

private:
  static constexpr std::size_t kSize = 256;
  struct Entry {
    double n = 0, factor = 0;
    bool used = false;
  };
  double temperature_;
  std::array<Entry, kSize> entries_{};
};

// The cell of v: edges[k] <= v < edges[k + 1], -1 below the first edge, cells.size() from the last.
int32_t cell_of(const Cells& cells, double inv_step, double v) {
  return first_above(cells.edges, inv_step, v) - 1;
}

// Places a line of a cell-mean computation whose half width is below kHitranPointValuesFrom cells: the
// cells its window [nu - W, nu + W] meets, and those integrated exactly.
bool place_cells(Placed& out, double centre, double halfWidth, double cellWidth, const Cells& cells,
                 double inv_step) {
  const int32_t last = static_cast<int32_t>(cells.edges.size()) - 2;
  const double below = out.Mid - out.Reach, above = out.Mid + out.Reach;
  if (!(above > cells.edges.front() && below < cells.edges.back())) return false;
  out.Lo = std::max(0, cell_of(cells, inv_step, below));
  out.Hi = std::min(last, cell_of(cells, inv_step, above));
  if (out.Lo > out.Hi) return false;
  const double scale = std::max(halfWidth, cellWidth);
  auto cell_at = [&](double v) { return std::clamp(cell_of(cells, inv_step, v), out.Lo, out.Hi); };
  out.CoreLo = cell_at(centre - kExactWithin * scale);
  out.CoreHi = cell_at(centre + kExactWithin * scale);
  out.NearLo = cell_at(centre - kSimpsonWithin * scale);
  out.NearHi = cell_at(centre + kSimpsonWithin * scale);
  out.CellMean = true;
  return true;
}

// The line's profile value (cm2/molecule) at distance d (cm-1) from its centre, with exactly the
// arithmetic of the kernels (zqFaddeeva.h), so a grid point at the plinth's distance gets the plinth.
double value_at_distance(const Placed& pl, double d) {
  switch (pl.Kind) {
  case Kind::Lorentz:
    return pl.C / (d * d + pl.A);
  case Kind::Gauss:
    return pl.A * std::exp(-(pl.C * d) * (pl.C * d));
  case Kind::Voigt:
    return pl.A * zqvoigt::ReW(pl.C * d, pl.Y);
  case Kind::None:
    break;
  }
  return 0;
}

// Coarse wings (the continuum's convention). A line's wing f(d) - plinth is summed on coarse grids of
// steps H_l = H_0 4^l, each carrying the wing where it is smooth on the scale of its step: beyond
// D_l = 16 H_l of the centre. The cubic through the four nodes around a point errs by
// (u+1) u (u-1) (u-2) H^4 f''''/24 (u its place between nodes), which keeps one sign, so over a Lorentz
// wing from D it adds up to 0.73 (H / D)^4 C / D of the line's C = S gammaL / pi: about 1e-7 of a line's
// area near the ground. Each level l has a quartic q_l(d) = Q0 + Q2 d^2 + Q4 d^4 matched to the wing
// at D_l in value, slope and curvature (so a cubic sees no jump there but in the third derivative):
//   the grid's points add  f - plinth - q_first   within D_first (the first level the line uses, whose
//                                                  step is at least a quarter of the line's width);
//   level l adds           f - plinth - q_(l+1)    for D_l <= |d| < D_(l+1) (25 cm-1 on the last),
//                          q_l - q_(l+1)           within D_l (q_(l+1) = 0 on the last level);
// which sum to the line's value everywhere, to the cubics' error. Each level's sums are interpolated
// onto the next finer level's nodes, the finest onto the points. A narrow line costs 128 points and
// 128 nodes per level instead of 5000 points at 0.01 cm-1.
constexpr double kCoarseSplit = 16;
constexpr std::size_t kMaxCoarseLevels = 6;

struct Quartic {
  double q0 = 0, q2 = 0, q4 = 0;
  double operator()(double d) const {
    const double d2 = d * d;
    return q0 + (q2 + q4 * d2) * d2;
  }
};

// The quartic matched to the line's wing at split; its slope and curvature by central differences
// (their errors, ~1e-7 relative, only bend the quartic: the parts still sum to the line's value).
Quartic wing_quartic(const Placed& pl, double split) {
  const double e = 1e-3 * split;
  const double f0 = value_at_distance(pl, split) - pl.Plinth;
  const double fp = value_at_distance(pl, split + e) - pl.Plinth,
               fm = value_at_distance(pl, split - e) - pl.Plinth;
  const double f1 = (fp - fm) / (2 * e), f2 = (fp - 2 * f0 + fm) / (e * e);
  Quartic q;
  q.q4 = (f2 * split - f1) / (8 * split * split * split);
  q.q2 = (f1 - 4 * q.q4 * split * split * split) / (2 * split);
  q.q0 = f0 - (q.q2 + q.q4 * split * split) * split * split;
  return q;
}

// The coarse levels of a grid of mean step `step` over [first, last]: H_0 = 4 steps (fewer nodes than
// points), as many levels as have D_l below the reach; none when H_0 would exceed it.
std::vector<THitranCoarseGrid> coarse_levels(double step, double first, double last) {
  std::vector<THitranCoarseGrid> levels;
  for (double h = 4 * step; kCoarseSplit * h < kContinuumWingReach && levels.size() < kMaxCoarseLevels;
       h *= 4) {
    THitranCoarseGrid g;
    g.Step = h;
    g.Origin = first - 2 * h;
    const auto nodes = static_cast<std::size_t>(std::floor((last - first) / h)) + 5;
    g.X.resize(nodes);
    for (std::size_t j = 0; j < nodes; ++j)
      g.X[j] = g.Origin + static_cast<double>(j) * h;
    levels.push_back(std::move(g));
  }
  return levels;
}

// The nodes of a level within reach of a line's centre, {0, -1} when none.
std::pair<int32_t, int32_t> nodes_within(const THitranCoarseGrid& g, double mid, double reach, bool open) {
  const double last = static_cast<double>(g.X.size() - 1);
  double lo = std::ceil((mid - reach - g.Origin) / g.Step),
         hi = std::floor((mid + reach - g.Origin) / g.Step);
  if (open) { // |d| < reach: leave out a node exactly at it
    if (g.Origin + lo * g.Step <= mid - reach) ++lo;
    if (g.Origin + hi * g.Step >= mid + reach) --hi;
  }
  lo = std::max(lo, 0.0);
  hi = std::min(hi, last);
  if (lo > hi) return {0, -1};
  return {static_cast<int32_t>(lo), static_cast<int32_t>(hi)};
}

// Makes a line of the continuum's convention a coarse-wing line when some level's step is at least a quarter
// of its width: Lo .. Hi become the points within that level's D.
void place_coarse(Placed& out, double width, const Setup& s, const std::vector<double>& x) {
  const std::vector<THitranCoarseGrid>& levels = *s.coarse;
  std::size_t first = 0;
  while (first < levels.size() && levels[first].Step < width / 4)
    ++first;
  if (first == levels.size()) return; // too wide for any level: summed straight
  const double split = kCoarseSplit * levels[first].Step;
  const Quartic q = wing_quartic(out, split);
  out.Split = split;
  out.Q0 = q.q0;
  out.Q2 = q.q2;
  out.Q4 = q.q4;
  const int32_t lo = std::max(out.Lo, first_above(x, s.inv_step, out.Mid - split));
  const int32_t hi = std::min(out.Hi, first_above(x, s.inv_step, out.Mid + split) - 1);
  out.Lo = lo <= hi ? lo : 0;
  out.Hi = lo <= hi ? hi : -1;
  out.FirstLevel = static_cast<int8_t>(first);
  out.Coarse = true;
}

Placed place(const THitranLine& line, double shift, const Setup& s, const std::vector<double>& x,
             const THitranConditions& c, const Cells* cells, Counts& counts, WidthFactorCache& width_factor) {
  using namespace zqphys;
  constexpr double kLn2 = std::numbers::ln2, kPi = std::numbers::pi;
  Placed out;
  if (!std::isfinite(shift)) {
    ++counts.unknown_shift;
    shift = 0;
  }
  const double T = c.Temperature, p = c.Pressure;
  const double gl =
      LorentzHalfWidthAt(width_factor(line.WidthExponent), line.AirWidth, line.SelfWidth, p, c.MixingRatio);
  out.Nu = line.Wavenumber;
  out.Shift = PressureShift(shift, p);
  const double centre = ShiftedCentre(line.Wavenumber, shift, p);
  const double gd = centre * s.doppler;
  if (!std::isfinite(gl) || !(gl >= 0) || !std::isfinite(centre) || !std::isfinite(gd)) {
    ++counts.bad;
    return out;
  }
  // A Lorentz width whose square underflows has no usable profile: such a line is Doppler-only.
  const bool has_l = gl * gl >= DBL_MIN, has_d = gd > 0;
  double w = 0;
  Kind kind = Kind::None;
  switch (c.Profile) {
  case THitranProfile::Lorentz:
    if (has_l) kind = Kind::Lorentz, w = gl;
    break;
  case THitranProfile::Doppler:
    if (has_d) kind = Kind::Gauss, w = gd;
    break;
  case THitranProfile::Voigt:
    // Without a Lorentz width the Voigt profile is the Gauss one.
    if (has_d) kind = gl > 0 ? Kind::Voigt : Kind::Gauss, w = std::max(gl, gd);
    break;
  }
  if (kind == Kind::None) {
    ++counts.no_width;
    return out;
  }
  // Under the continuum's convention a line reaches 25 cm-1 from its shifted centre, whatever its width.
  const double reach = c.ContinuumWings ? kContinuumWingReach : c.LineWidthLimit * w;
  out.Reach = reach;
  out.Mid = c.ContinuumWings ? out.Nu + out.Shift : out.Nu;
  // A line much narrower than its cell adds cell means; a wider one its point values.
  const double half_width = kind == Kind::Voigt ? VoigtHalfWidth(gl, gd) : w;
  double cell_width = 0, widest_near = 0;
  if (cells) {
    auto width_at = [&](double v) {
      const auto k = static_cast<std::size_t>(
          std::clamp(cell_of(*cells, s.inv_step, v), 0, static_cast<int32_t>(cells->edges.size()) - 2));
      return cells->edges[k + 1] - cells->edges[k];
    };
    cell_width = widest_near = width_at(centre);
    // On a grid made finer around other lines, the cells a few half widths out may be wider.
    if (s.inv_step == 0)
      for (double at : {1.0, 2.0, 4.0})
        widest_near =
            std::max({widest_near, width_at(centre - at * half_width), width_at(centre + at * half_width)});
  }
  // (Within the rounding of cell edges: a grid cut at a quarter half width gives point values.)
  if (half_width * (1 + 1e-9) < kHitranPointValuesFrom * widest_near) {
    if (!place_cells(out, centre, half_width, cell_width, *cells, s.inv_step))
      return out; // does not reach the grid
  } else {
    // Window nu - W < x <= nu + W around the unshifted position (as bisection to the right finds it),
    // or around the shifted centre under the continuum's convention.
    const double below = out.Mid - reach, above = out.Mid + reach;
    if (!(above >= x.front() && below < x.back())) return out; // does not reach the grid
    out.Lo = first_above(x, s.inv_step, below);
    out.Hi = first_above(x, s.inv_step, above) - 1;
    if (out.Lo > out.Hi) return out; // does not reach the grid: its intensity is not needed
  }
  const double S = LineIntensity(line.Intensity, line.Wavenumber, line.LowerStateEnergy, T, s.q_ref, s.q_t);
  if (!std::isfinite(S)) {
    ++counts.bad;
    return out;
  }
  out.Kind = kind;
  out.S = S;
  out.GammaL = kind == Kind::Gauss ? 0 : gl;
  out.GammaD = kind == Kind::Lorentz ? 0 : gd;
  if (kind == Kind::Lorentz) {
    out.C = S * gl / kPi;
    out.A = gl * gl;
  } else {
    out.C = std::sqrt(kLn2) / gd;
    out.A = S * std::sqrt(kLn2 / kPi) / gd;
    out.Y = out.C * gl;
  }
  if (c.ContinuumWings) {
    out.Plinth = value_at_distance(out, reach);
    if (!out.CellMean && s.coarse) place_coarse(out, w, s, x);
  }
  return out;
}

// The cells' edges of a cell-mean computation on the points x: the conditions' own; on the 50,000-point
// grid WavenumberMin + (k + 1/2) Step (integer k, as the points); on another grid halfway between points.
std::vector<double> cell_edges(const THitranConditions& c, const std::vector<double>& x, double step) {
  if (!c.CellEdges.empty()) return {c.CellEdges.begin(), c.CellEdges.end()};
  const std::size_t n = x.size();
  std::vector<double> e(n + 1);
  if (c.Grid.empty()) {
    for (std::size_t k = 0; k <= n; ++k)
      e[k] = c.WavenumberMin + (static_cast<double>(k) + 0.5) * step;
    return e;
  }
  for (std::size_t k = 1; k < n; ++k)
    e[k] = x[k - 1] + 0.5 * (x[k] - x[k - 1]);
  const double first = n > 1 ? x[1] - x[0] : step, last = n > 1 ? x[n - 1] - x[n - 2] : step;
  e[0] = x[0] - 0.5 * first;
  e[n] = x[n - 1] + 0.5 * last;
  return e;
}

// A cancelled computation leaves nothing behind but the refusal.
void cancel(THitranCrossSection& result) {
  result = THitranCrossSection{};
  result.Refusal = kCancelled;
  result.Cancelled = true;
}

void add_run(double* sigma, const double* x, const Placed& pl, int32_t lo, int32_t hi) {
  switch (pl.Kind) {
  case Kind::Lorentz:
    zqvoigt::AddLorentz(sigma, x, lo, hi, pl.Nu, pl.Shift, pl.C, pl.A);
    break;
  case Kind::Gauss:
    zqvoigt::AddGauss(sigma, x, lo, hi, pl.Nu, pl.Shift, pl.C, pl.A);
    break;
  case Kind::Voigt:
    zqvoigt::AddVoigt(sigma, x, lo, hi, pl.Nu, pl.Shift, pl.C, pl.Y, pl.A);
    break;
  case Kind::None:
    break;
  }
}

// The line with its amplitude times f, for the weights of Simpson's rule.
Placed scaled(Placed pl, double f) {
  if (pl.Kind == Kind::Lorentz)
    pl.C *= f;
  else
    pl.A *= f;
  return pl;
}

// The line's profile value at v (cm2/molecule), by the scalar forms of the kernels.
double value_at(const Placed& pl, double v) {
  return value_at_distance(pl, (v - pl.Nu) - pl.Shift);
}

// Runs of a line of the continuum's convention at points lo .. hi, its values f(d) formed by the
// kernels: the line's share beyond the plinth, max(0, f(d) - plinth), on the points of a line summed
// straight (Clamped, in blocks); f(d) - plinth - q(d) on the coarse-wing line's points near the centre
// and on its levels' nodes (Less; within a rounding of 0 at the plinth's distance, where the
// cross-section's own clamp takes it). The loops after the kernel are branch-free, so they vectorise.
enum class WingPart { Clamped, Less };

void add_wing_run(double* sigma, const double* x, const Placed& pl, int32_t lo, int32_t hi, WingPart part,
                  const Quartic& q = {}) {
  // Local constants and unaliased pointers: the loops below vectorise only so.
  const double plinth = pl.Plinth, nu = pl.Nu, shift = pl.Shift, q0 = q.q0, q2 = q.q2, q4 = q.q4;
  if (part == WingPart::Clamped) {
    constexpr int32_t kBlock = 256;
    alignas(64) std::array<double, kBlock> buffer;
    for (int32_t a = lo; a <= hi; a += kBlock) {
      const int32_t n = std::min(kBlock, hi - a + 1);
      std::fill_n(buffer.begin(), n, 0.0);
      add_run(buffer.data(), x + a, pl, 0, n - 1);
      double* __restrict out = sigma + a;
      const double* __restrict f = buffer.data();
#pragma omp simd
      for (int32_t i = 0; i < n; ++i)
        out[i] += std::max(0.0, f[i] - plinth);
    }
    return;
  }
  add_run(sigma, x, pl, lo, hi);
  double* __restrict out = sigma;
  const double* __restrict at = x;
#pragma omp simd
  for (int32_t i = lo; i <= hi; ++i) {
    const double d = (at[i] - nu) - shift, d2 = d * d;
    out[i] -= plinth + (q0 + (q2 + q4 * d2) * d2);
  }
}

// A coarse-wing line's piece on a level's nodes lo .. hi (see place_coarse).
void add_level_run(double* sum, const double* nodes, const Placed& pl, const THitranWingPiece& piece,
                   int32_t lo, int32_t hi) {
  const Quartic less{piece.Less[0], piece.Less[1], piece.Less[2]};
  const Quartic core{piece.Core[0], piece.Core[1], piece.Core[2]};
  const int32_t core_lo = std::max(lo, piece.CoreLo), core_hi = std::min(hi, piece.CoreHi);
  auto wing = [&](int32_t a, int32_t b) {
    if (a <= b) add_wing_run(sum, nodes, pl, a, b, WingPart::Less, less);
  };
  if (core_lo > core_hi) return wing(lo, hi);
  wing(lo, core_lo - 1);
  for (int32_t j = core_lo; j <= core_hi; ++j)
    sum[j] += core((nodes[j] - pl.Nu) - pl.Shift);
  wing(core_hi + 1, hi);
}

// The pieces of every coarse-wing line on every level (lines split between the threads): level l adds
// the wing minus q_(l+1) out to D_(l+1) (the reach on the last level, where q_(l+1) = 0), and
// q_l - q_(l+1) within D_l.
std::vector<THitranWingPiece> wing_pieces(TzqWorkerPool& pool, unsigned parts,
                                          const std::vector<Placed>& lines,
                                          const std::vector<THitranCoarseGrid>& levels) {
  const std::size_t n_levels = levels.size();
  std::vector<THitranWingPiece> pieces(lines.size() * n_levels);
  auto fill = [&](unsigned part) {
    const auto [first, last] = zqsum::Share(static_cast<long>(lines.size()), parts, part);
    for (long i = first; i < last; ++i) {
      const Placed& pl = lines[static_cast<std::size_t>(i)];
      if (!pl.Coarse) continue;
      Quartic own{pl.Q0, pl.Q2, pl.Q4};
      for (std::size_t l = static_cast<std::size_t>(pl.FirstLevel); l < n_levels; ++l) {
        const bool top = l + 1 == n_levels;
        const Quartic next = top ? Quartic{} : wing_quartic(pl, kCoarseSplit * levels[l + 1].Step);
        THitranWingPiece& piece = pieces[static_cast<std::size_t>(i) * n_levels + l];
        piece.Less[0] = next.q0, piece.Less[1] = next.q2, piece.Less[2] = next.q4;
        piece.Core[0] = own.q0 - next.q0, piece.Core[1] = own.q2 - next.q2, piece.Core[2] = own.q4 - next.q4;
        std::tie(piece.Lo, piece.Hi) =
            nodes_within(levels[l], pl.Mid, top ? pl.Reach : kCoarseSplit * levels[l + 1].Step, !top);
        std::tie(piece.CoreLo, piece.CoreHi) =
            nodes_within(levels[l], pl.Mid, kCoarseSplit * levels[l].Step, true);
        own = next;
      }
    }
  };
  pool.Run(parts, fill);
  return pieces;
}

// A line's run of point values, as its rule says.
void add_point_run(double* sigma, const double* x, const Placed& pl, int32_t lo, int32_t hi) {
  if (pl.Coarse)
    add_wing_run(sigma, x, pl, lo, hi, WingPart::Less, Quartic{pl.Q0, pl.Q2, pl.Q4});
  else if (pl.Plinth > 0)
    add_wing_run(sigma, x, pl, lo, hi, WingPart::Clamped);
  else
    add_run(sigma, x, pl, lo, hi);
}

// Adds a coarse level's sum, interpolated by the cubic through the four nodes around each point (points
// split between the threads; each is its own sum, so the bits do not depend on their number).
void add_coarse_sum(TzqWorkerPool& pool, unsigned parts, std::vector<double>& sigma,
                    const std::vector<double>& x, const THitranCoarseGrid& g,
                    const std::vector<double>& sum) {
  const auto last = static_cast<double>(sum.size()) - 3;
  auto interpolate = [&](unsigned part) {
    const auto [first, end] = zqsum::Share(static_cast<long>(sigma.size()), parts, part);
    for (auto k = static_cast<std::size_t>(first); k < static_cast<std::size_t>(end); ++k) {
      const double t = (x[k] - g.Origin) / g.Step;
      const double j = std::clamp(std::floor(t), 1.0, last);
      const double u = t - j;
      const auto i = static_cast<std::size_t>(j);
      // Lagrange weights of the nodes j - 1 .. j + 2 at u (0 at node j, 1 at node j + 1).
      const double wm = -u * (u - 1) * (u - 2) / 6, w0 = (u + 1) * (u - 1) * (u - 2) / 2,
                   w1 = -(u + 1) * u * (u - 2) / 2, w2 = (u + 1) * u * (u - 1) / 6;
      sigma[k] += wm * sum[i - 1] + w0 * sum[i] + w1 * sum[i + 1] + w2 * sum[i + 2];
    }
  };
  pool.Run(parts, interpolate);
}

// The line's share of its area between the wavenumbers from and to.
double share(const Placed& pl, double from, double to) {
  const double a = (from - pl.Nu) - pl.Shift, b = (to - pl.Nu) - pl.Shift;
  switch (pl.Kind) {
  case Kind::Lorentz:
    return zqphys::LorentzProfileShare(a, b, pl.GammaL);
  case Kind::Gauss:
    return zqphys::GaussProfileShare(a, b, pl.GammaD);
  case Kind::Voigt:
    return zqphys::VoigtProfileShare(a, b, pl.GammaL, pl.GammaD);
  case Kind::None:
    break;
  }
  return 0;
}

// The line's share of its area below a wavenumber, by an approximation fixed for a run of cells (the
// Voigt region of the run's point nearest the centre), so that its differences at the run's edges are
// the same in every part of a computation.
class Cumulative {
public:
  Cumulative(const Placed& pl, double from, double to) : pl_(pl) {
    if (pl.Kind == Kind::Voigt)
      region_ = zqvoigt::IntervalRegion(distance(from) * pl.C, distance(to) * pl.C, pl.Y);
  }
  double operator()(double v) const {
    const double d = distance(v);
    switch (pl_.Kind) {
    case Kind::Lorentz:
      return zqphys::LorentzProfileCumulative(d, pl_.GammaL);
    case Kind::Gauss:
      return zqphys::GaussProfileCumulative(d, pl_.GammaD);
    case Kind::Voigt:
      return zqvoigt::ReWCumulative(d * pl_.C, pl_.Y, region_) * std::numbers::inv_sqrtpi;
    case Kind::None:
      break;
    }
    return 0;
  }

private:
  double distance(double v) const { return (v - pl_.Nu) - pl_.Shift; }
  const Placed& pl_;
  zqvoigt::Region region_ = zqvoigt::Region::Central;
};

// Adds a cell-mean line's values to the cells lo .. hi of its window (a part's share of it). The cells
// at the window's ends get S times their share of the window over their width; those near the centre
// the same from differences of the cumulative share. The next ones take Simpson's rule (f(left) +
// 4 f(centre) + f(right)) / 6: the centres are added here, an edge between two such cells to edge_sum
// (each of its cells takes it, see combine_edges), and the outer edges of a run to its end cells
// directly. The far wings take the values at the cells' centres.
void add_cell_run(double* sigma, double* edge_sum, const double* edges, const double* centres,
                  const Placed& pl, int32_t lo, int32_t hi) {
  const double from = pl.Mid - pl.Reach, to = pl.Mid + pl.Reach;
  // The plinth's share of the cells p .. q (the continuum's convention; 0 otherwise).
  auto minus_plinth = [&](int32_t p, int32_t q) {
    if (pl.Plinth == 0) return;
    for (int32_t k = std::max(p, lo); k <= std::min(q, hi); ++k) {
      const double a = edges[k], b = edges[k + 1];
      sigma[k] -= pl.Plinth * (std::min(b, to) - std::max(a, from)) / (b - a);
    }
  };
  auto exact = [&](int32_t k) {
    if (k < lo || k > hi) return;
    const double a = edges[k], b = edges[k + 1];
    sigma[k] += pl.S * share(pl, std::max(a, from), std::min(b, to)) / (b - a);
    minus_plinth(k, k);
  };
  auto core = [&](int32_t p, int32_t q) { // cells p .. q, all inside the window
    const int32_t a = std::max(p, lo), b = std::min(q, hi);
    if (a > b) return;
    const Cumulative cumulative(pl, edges[p], edges[q + 1]);
    double below = cumulative(edges[a]);
    for (int32_t k = a; k <= b; ++k) {
      const double above = cumulative(edges[k + 1]);
      sigma[k] += pl.S * (above - below) / (edges[k + 1] - edges[k]);
      below = above;
    }
    minus_plinth(a, b);
  };
  auto point = [&](int32_t p, int32_t q) {
    const int32_t a = std::max(p, lo), b = std::min(q, hi);
    if (a <= b) add_point_run(sigma, centres, pl, a, b);
  };
  auto simpson = [&](int32_t p, int32_t q) { // cells p .. q, all inside the window
    const int32_t a = std::max(p, lo), b = std::min(q, hi);
    if (a > b) return;
    add_run(sigma, centres, scaled(pl, 4.0 / 6), a, b);
    const Placed sixth = scaled(pl, 1.0 / 6);
    if (std::max(p + 1, a) <= b) add_run(edge_sum, edges, sixth, std::max(p + 1, a), b);
    if (a == p) sigma[p] += value_at(sixth, edges[p]);
    if (b == q) sigma[q] += value_at(sixth, edges[q + 1]);
    minus_plinth(a, b);
  };
  exact(pl.Lo);
  point(pl.Lo + 1, pl.NearLo - 1);
  simpson(std::max(pl.NearLo, pl.Lo + 1), pl.CoreLo - 1);
  core(std::max(pl.CoreLo, pl.Lo + 1), std::min(pl.CoreHi, pl.Hi - 1));
  simpson(pl.CoreHi + 1, std::min(pl.NearHi, pl.Hi - 1));
  point(pl.NearHi + 1, pl.Hi - 1);
  if (pl.Hi > pl.Lo) exact(pl.Hi);
}

// Each cell takes the Simpson edge terms of its two edges.
void combine_edges(std::vector<double>& sigma, const std::vector<double>& edge_sum) {
  for (std::size_t k = 0; k < sigma.size(); ++k)
    sigma[k] += edge_sum[k] + edge_sum[k + 1];
}

} // namespace

THitranLineSet HitranLineSet(const T_zq_HITRAN& list) {
  THitranLineSet set;
  set.Lines = list.Records;
  set.PressureShifts = list.PressureShifts;
  std::string_view code = list.MoleculeType;
  while (!code.empty() && code.front() == ' ')
    code.remove_prefix(1);
  int molecule = 0;
  const auto [end, error] = std::from_chars(code.data(), code.data() + code.size(), molecule);
  set.Molecule = error == std::errc() && end == code.data() + code.size() ? molecule : 0;
  set.Isotopologue = 1;
  return set;
}

THitranPlacement PlaceHitranLines(const THitranLineSet& set, const THitranConditions& c) {
  THitranPlacement out;
  THitranCrossSection& result = out.Result;
  Setup s;
  result.Refusal = validate(set, c, s);
  if (!result.Refusal.empty()) return out;
  result.Step = s.step;
  if (!c.Grid.empty()) {
    result.X.assign(c.Grid.begin(), c.Grid.end());
  } else {
    result.X.resize(N);
    for (long k = 1; k <= N; ++k)
      result.X[static_cast<std::size_t>(k - 1)] = c.WavenumberMin + static_cast<double>(k) * s.step;
  }
  result.NumberDensity = zqphys::NumberDensity(c.MixingRatio, c.Pressure, c.Temperature);
  Cells cells;
  if (c.CellAverage) {
    out.Edges = cell_edges(c, result.X, s.step);
    out.Centres.resize(result.X.size());
    for (std::size_t k = 0; k < out.Centres.size(); ++k)
      out.Centres[k] = out.Edges[k] + 0.5 * (out.Edges[k + 1] - out.Edges[k]);
    cells.edges = out.Edges;
  }
  if (c.ContinuumWings && c.CoarseWings && result.X.size() > 1) {
    out.Coarse = coarse_levels(s.step, result.X.front(), result.X.back());
    if (!out.Coarse.empty()) s.coarse = &out.Coarse;
  }

  TzqWorkerPool& pool = TzqWorkerPool::Shared();
  const unsigned parts = zqsum::PartsFor(c.Threads, pool);
  const long n = static_cast<long>(set.Lines.size());
  // Each part keeps the lines of its share that reach the grid (a vector of its own: only kept lines
  // touch memory); joined in part order, they are in file order.
  std::array<std::vector<Placed>, zqsum::kMaxParts> kept;
  std::vector<WidthFactorCache> width_factors(parts, WidthFactorCache(c.Temperature));
  std::array<Counts, zqsum::kMaxParts> counts{};
  zqsum::TPlacedRuns runs;
  const bool done = zqsum::PlaceLines(
      pool, parts, n,
      [&](unsigned part, long line, long) {
        const auto u = static_cast<std::size_t>(line);
        const double shift = u < set.PressureShifts.size() ? set.PressureShifts[u] : std::nan("");
        if (kept[part].empty()) {
          const auto [first, last] = zqsum::Share(n, parts, part);
          kept[part].reserve(static_cast<std::size_t>(last - first));
        }
        const Placed pl = place(set.Lines[u], shift, s, result.X, c, c.CellAverage ? &cells : nullptr,
                                counts[part], width_factors[part]);
        if (pl.Kind == Kind::None) return zqsum::TPlacement::Skipped;
        kept[part].push_back(pl);
        return zqsum::TPlacement::Placed;
      },
      runs, c.Cancel);
  if (!done) {
    cancel(result);
    return out;
  }
  std::size_t kept_lines = 0;
  for (unsigned p = 0; p < parts; ++p)
    kept_lines += kept[p].size();
  out.Lines.reserve(kept_lines);
  for (unsigned p = 0; p < parts; ++p)
    out.Lines.insert(out.Lines.end(), kept[p].begin(), kept[p].end());
  for (const Placed& pl : out.Lines)
    result.Pairs += pl.Hi - pl.Lo + 1;
  if (!out.Coarse.empty()) {
    out.Pieces = wing_pieces(pool, parts, out.Lines, out.Coarse);
    for (const THitranWingPiece& piece : out.Pieces)
      result.Pairs += piece.Hi - piece.Lo + 1;
  }
  result.LinesUsed = static_cast<long>(out.Lines.size());

  Counts total;
  for (unsigned p = 0; p < parts; ++p) {
    total.unknown_shift += counts[p].unknown_shift;
    total.no_width += counts[p].no_width;
    total.bad += counts[p].bad;
  }
  if (total.unknown_shift > 0)
    result.Notes.push_back(format("%g lines have no pressure shift in their records; it is taken as 0",
                                  static_cast<double>(total.unknown_shift)));
  if (total.no_width > 0)
    result.Notes.push_back(format("%g lines have no width at these conditions and were left out",
                                  static_cast<double>(total.no_width)));
  if (total.bad > 0)
    result.Notes.push_back(format("%g lines give no finite intensity, width or position and were left out",
                                  static_cast<double>(total.bad)));
  if (c.Profile == THitranProfile::Voigt && c.Pressure == 0)
    result.Notes.push_back(
        "At 0 mb the lines have no Lorentz width: the Voigt profile is the Doppler profile");
  return out;
}

void SumHitranLines(THitranPlacement& placement, unsigned threads, const std::atomic<bool>* cancelFlag) {
  THitranCrossSection& result = placement.Result;
  if (!result.Valid() || result.X.empty()) return;
  const long n = static_cast<long>(result.X.size());
  result.Sigma.assign(static_cast<std::size_t>(n), 0.0);
  TzqWorkerPool& pool = TzqWorkerPool::Shared();
  const unsigned parts = zqsum::PartsFor(threads, pool);
  std::vector<int32_t> delta(parts > 1 ? static_cast<std::size_t>(n) + 1 : 0);
  double* sigma = result.Sigma.data();
  const double* x = result.X.data();
  const std::vector<Placed>& lines = placement.Lines;
  const bool cells = !placement.Edges.empty();
  std::vector<double> edge_sum(cells ? static_cast<std::size_t>(n) + 1 : 0, 0.0);
  const bool done = zqsum::SumLines(
      pool, parts, zqsum::TPlacedRuns::Whole(static_cast<long>(lines.size())), 0, static_cast<int32_t>(n),
      delta,
      [&](long i) {
        const Placed& pl = lines[static_cast<std::size_t>(i)];
        return std::pair{pl.Lo, pl.Hi};
      },
      [&](long i, int32_t lo, int32_t hi) {
        const Placed& pl = lines[static_cast<std::size_t>(i)];
        if (pl.CellMean)
          add_cell_run(sigma, edge_sum.data(), placement.Edges.data(), placement.Centres.data(), pl, lo, hi);
        else
          add_point_run(sigma, x, pl, lo, hi);
      },
      cancelFlag);
  if (!done) {
    cancel(result);
    return;
  }
  if (cells) combine_edges(result.Sigma, edge_sum);
  if (const std::vector<THitranCoarseGrid>& levels = placement.Coarse; !levels.empty()) {
    // The far wings on their levels, each summed as the points are (nodes split between the threads,
    // each node over the lines in file order), the coarsest first, each interpolated onto the next finer
    // level's nodes and the finest onto the points.
    std::vector<double> coarser;
    for (std::size_t l = levels.size(); l-- > 0;) {
      const THitranCoarseGrid& g = levels[l];
      std::vector<double> sum(g.X.size(), 0.0);
      std::vector<int32_t> node_delta(parts > 1 ? g.X.size() + 1 : 0);
      const bool level_done = zqsum::SumLines(
          pool, parts, zqsum::TPlacedRuns::Whole(static_cast<long>(lines.size())), 0,
          static_cast<int32_t>(g.X.size()), node_delta,
          [&](long i) {
            const THitranWingPiece& piece = placement.Pieces[static_cast<std::size_t>(i) * levels.size() + l];
            return std::pair{piece.Lo, piece.Hi};
          },
          [&](long i, int32_t lo, int32_t hi) {
            const auto u = static_cast<std::size_t>(i);
            add_level_run(sum.data(), g.X.data(), lines[u], placement.Pieces[u * levels.size() + l], lo, hi);
          },
          cancelFlag);
      if (!level_done) {
        cancel(result);
        return;
      }
      if (!coarser.empty()) add_coarse_sum(pool, parts, sum, g.X, levels[l + 1], coarser);
      coarser = std::move(sum);
    }
    add_coarse_sum(pool, parts, result.Sigma, result.X, levels.front(), coarser);
  }
  // Each line adds nothing below 0 under the continuum's convention; its two parts, summed, may miss 0
  // by a rounding near the plinth's distance, which no cross-section keeps.
  if (std::any_of(lines.begin(), lines.end(), [](const Placed& pl) { return pl.Plinth > 0 || pl.Coarse; }))
    for (double& v : result.Sigma)
      v = std::max(v, 0.0);

  // Intensities far beyond any real line can overflow a sum. Such a point absorbs everything, so no
  // number stands for it in a result (0 would say it absorbs nothing): the computation is refused.
  const auto bad =
      std::find_if(result.Sigma.begin(), result.Sigma.end(), [](double v) { return !std::isfinite(v); });
  if (bad != result.Sigma.end()) {
    const long count = std::count_if(bad, result.Sigma.end(), [](double v) { return !std::isfinite(v); });
    result.Refusal =
        format("The cross-section is too large to represent at %g grid points (the first at %g cm-1)",
               static_cast<double>(count), x[bad - result.Sigma.begin()]) +
        OverflowingLinesText(placement, static_cast<int32_t>(bad - result.Sigma.begin()));
    result.Sigma.clear();
  }
}

std::string OverflowingLinesText(const THitranPlacement& placement, int32_t k) {
  // The lines that reach point k, strongest there first: one of them is far beyond any real line.
  std::vector<std::pair<double, double>> strength; // (value at k, position)
  std::vector<double> one(placement.Result.X.size(), 0.0);
  for (const Placed& pl : placement.Lines)
    if (pl.Lo <= k && k <= pl.Hi) {
      one[static_cast<std::size_t>(k)] = 0;
      add_run(one.data(), placement.Result.X.data(), pl, k, k);
      const double v = one[static_cast<std::size_t>(k)];
      strength.emplace_back(std::isnan(v) ? HUGE_VAL : std::fabs(v), pl.Nu);
    }
  std::sort(strength.begin(), strength.end(), std::greater<>());
  if (strength.empty()) return {};
  std::string text = ": it comes from the line";
  if (strength.size() > 1) text += "s";
  for (std::size_t i = 0; i < strength.size() && i < 3; ++i)
    text += (i == 0 ? " at " : ", ") + format("%.6f", strength[i].second);
  if (strength.size() > 3) text += format(" and %g more", static_cast<double>(strength.size() - 3));
  return text + " cm-1; check their intensities in the line list";
}

THitranCrossSection ComputeHitranCrossSection(const THitranLineSet& set, const THitranConditions& c) {
  THitranPlacement placement = PlaceHitranLines(set, c);
  SumHitranLines(placement, c.Threads, c.Cancel);
  return std::move(placement.Result);
}

TVoigtRegionCounts CountVoigtRegions(const THitranLineSet& set, const THitranConditions& c) {
  TVoigtRegionCounts counts;
  THitranConditions voigt = c;
  voigt.Profile = THitranProfile::Voigt;
  const THitranPlacement placement = PlaceHitranLines(set, voigt);
  for (const Placed& pl : placement.Lines) {
    if (pl.Kind == Kind::Gauss) counts.Gauss += pl.Hi - pl.Lo + 1;
    if (pl.Kind != Kind::Voigt) continue;
    for (int32_t k = pl.Lo; k <= pl.Hi; ++k) {
      const double xk = ((placement.Result.X[static_cast<std::size_t>(k)] - pl.Nu) - pl.Shift) * pl.C;
      switch (zqvoigt::RegionOf(xk, pl.Y)) {
      case zqvoigt::Region::Central:
        ++counts.Central;
        break;
      case zqvoigt::Region::Mid:
        ++counts.Mid;
        break;
      case zqvoigt::Region::Far:
        ++counts.Far;
        break;
      }
    }
  }
  return counts;
}
