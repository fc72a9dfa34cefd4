// The HITRAN-mode cross-section in two passes over the shared worker pool: the lines are split between
// the threads to compute each line's intensity, widths, centre and window, then the grid is split so
// that each thread sums its own points over the lines in file order. Each point therefore gets the same
// sum, bit for bit, whatever the number of threads.
#include "zqCrossSection.h"

#include "zqFaddeeva.h"
#include "zqGrid.h"
#include "zqHITRAN.h"
#include "zqHitranPhysics.h"
#include "zqPartitionSums.h"
#include "zqPhysicalConstants.h"
#include "zqWorkerPool.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace {

constexpr long N = T_zq_HITRAN::kGridPoints;
constexpr unsigned kMaxParts = 64;

enum class Kind : uint8_t { None, Lorentz, Gauss, Voigt };

// One line ready for the grid: its window lo..hi (0-based grid indices), file position nu and pressure
// shift (the centre is nu + shift), and the kernel's constants (Lorentz: S gammaL / pi, gammaL^2; Gauss:
// sqrt(ln2)/gammaD, amplitude; Voigt: the same and y).
struct Placed {
  double nu = 0, shift = 0, c = 0, a = 0, y = 0;
  int32_t lo = 0, hi = -1;
  Kind kind = Kind::None;
};

// Validated conditions of one computation.
struct Setup {
  const zqtips::TIsotopologue* iso = nullptr;
  double q_ref = 0, q_t = 0;
  double step = 0;
  std::vector<double> x;
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
  if (const char* problem = zqgrid::GridProblem(c.WavenumberMin, c.WavenumberMax, N, setup.step))
    return problem;
  const zqtips::TPartitionSum q_t = zqtips::PartitionSum(*setup.iso, c.Temperature);
  if (!q_t.Valid()) return q_t.Refusal;
  const zqtips::TPartitionSum q_ref = zqtips::PartitionSum(*setup.iso, zqconst::HitranReferenceTemperature);
  if (!q_ref.Valid()) return q_ref.Refusal;
  setup.q_t = q_t.Q;
  setup.q_ref = q_ref.Q;
  if (!(c.Pressure >= 0) || !std::isfinite(c.Pressure)) return "Pressure must be a number of 0 mb or more";
  if (c.Profile == THitranProfile::Lorentz && c.Pressure == 0)
    return "The Lorentz profile needs a pressure above 0 mb";
  if (!(c.MixingRatio >= 0 && c.MixingRatio <= 1e6))
    return "Mixing ratio must lie between 0 and 1,000,000 ppm";
  if (!(c.LineWidthLimit > 0) || !std::isfinite(c.LineWidthLimit))
    return "Line-width limit must be a number above 0";
  return {};
}

Placed place(const THitranLine& line, double shift, const Setup& s, const THitranConditions& c,
             Counts& counts) {
  using namespace zqphys;
  constexpr double kLn2 = std::numbers::ln2, kPi = std::numbers::pi;
  Placed out;
  if (!std::isfinite(shift)) {
    ++counts.unknown_shift;
    shift = 0;
  }
  const double T = c.Temperature, p = c.Pressure;
  const double S = LineIntensity(line.Intensity, line.Wavenumber, line.LowerStateEnergy, T, s.q_ref, s.q_t);
  const double gl = LorentzHalfWidth(line.AirWidth, line.SelfWidth, line.WidthExponent, T, p, c.MixingRatio);
  const double centre = ShiftedCentre(line.Wavenumber, shift, p);
  out.nu = line.Wavenumber;
  out.shift = PressureShift(shift, p);
  const double gd = DopplerHalfWidth(centre, T, s.iso->MolarMass);
  if (!std::isfinite(S) || !std::isfinite(gl) || !(gl >= 0) || !std::isfinite(centre) || !std::isfinite(gd)) {
    ++counts.bad;
    return out;
  }
  // A Lorentz width whose square underflows has no usable profile: such a line is Doppler-only.
  const bool has_l = gl * gl >= DBL_MIN, has_d = gd > 0;
  double w = 0;
  switch (c.Profile) {
  case THitranProfile::Lorentz:
    if (!has_l) break;
    out.kind = Kind::Lorentz;
    out.c = S * gl / kPi;
    out.a = gl * gl;
    w = gl;
    break;
  case THitranProfile::Doppler:
    if (!has_d) break;
    out.kind = Kind::Gauss;
    w = gd;
    break;
  case THitranProfile::Voigt:
    if (!has_d) break;
    out.kind = gl > 0 ? Kind::Voigt : Kind::Gauss; // no Lorentz width: the Voigt profile is the Gauss one
    w = std::max(gl, gd);
    break;
  }
  if (out.kind == Kind::None) {
    ++counts.no_width;
    return out;
  }
  if (out.kind != Kind::Lorentz) {
    out.c = std::sqrt(kLn2) / gd;
    out.a = S * std::sqrt(kLn2 / kPi) / gd;
    out.y = out.c * gl;
  }
  // Window nu - W < x <= nu + W around the unshifted position, as bisection to the right finds it.
  const double reach = c.LineWidthLimit * w;
  const double nu = line.Wavenumber;
  out.lo = static_cast<int32_t>(std::upper_bound(s.x.begin(), s.x.end(), nu - reach) - s.x.begin());
  out.hi = static_cast<int32_t>(std::upper_bound(s.x.begin(), s.x.end(), nu + reach) - s.x.begin()) - 1;
  if (out.lo > out.hi) out.kind = Kind::None;
  return out;
}

std::pair<long, long> share(long count, unsigned parts, unsigned part) {
  return {count * part / parts, count * (part + 1) / parts};
}

void add_run(double* sigma, const double* x, const Placed& pl, int32_t lo, int32_t hi) {
  switch (pl.kind) {
  case Kind::Lorentz:
    zqvoigt::AddLorentz(sigma, x, lo, hi, pl.nu, pl.shift, pl.c, pl.a);
    break;
  case Kind::Gauss:
    zqvoigt::AddGauss(sigma, x, lo, hi, pl.nu, pl.shift, pl.c, pl.a);
    break;
  case Kind::Voigt:
    zqvoigt::AddVoigt(sigma, x, lo, hi, pl.nu, pl.shift, pl.c, pl.y, pl.a);
    break;
  case Kind::None:
    break;
  }
}

// Places every line (pass 1, lines split between the threads); empty refusal when it could.
struct Placement {
  Setup setup;
  std::vector<Placed> lines;
  Counts counts;
  std::string refusal;
};

Placement place_all(const THitranLineSet& set, const THitranConditions& c, TzqWorkerPool& pool,
                    unsigned parts) {
  Placement out;
  out.refusal = validate(set, c, out.setup);
  if (!out.refusal.empty()) return out;
  Setup& s = out.setup;
  s.x.resize(N);
  for (long k = 1; k <= N; ++k)
    s.x[static_cast<std::size_t>(k - 1)] = c.WavenumberMin + static_cast<double>(k) * s.step;
  const long n = static_cast<long>(set.Lines.size());
  out.lines.resize(static_cast<std::size_t>(n));
  std::array<Counts, kMaxParts> counts{};
  auto work = [&](unsigned part) {
    auto [first, last] = share(n, parts, part);
    for (long i = first; i < last; ++i) {
      const auto u = static_cast<std::size_t>(i);
      const double shift = u < set.PressureShifts.size() ? set.PressureShifts[u] : std::nan("");
      out.lines[u] = place(set.Lines[u], shift, s, c, counts[part]);
    }
  };
  pool.Run(parts, work);
  for (unsigned p = 0; p < parts; ++p) {
    out.counts.unknown_shift += counts[p].unknown_shift;
    out.counts.no_width += counts[p].no_width;
    out.counts.bad += counts[p].bad;
  }
  return out;
}

unsigned parts_for(const THitranConditions& c, TzqWorkerPool& pool) {
  return std::clamp(c.Threads == 0 ? pool.Concurrency() : c.Threads, 1u, kMaxParts);
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

THitranCrossSection ComputeHitranCrossSection(const THitranLineSet& set, const THitranConditions& c) {
  THitranCrossSection result;
  TzqWorkerPool& pool = TzqWorkerPool::Shared();
  const unsigned parts = parts_for(c, pool);
  Placement placement = place_all(set, c, pool, parts);
  if (!placement.refusal.empty()) {
    result.Refusal = placement.refusal;
    return result;
  }
  result.Step = placement.setup.step;
  result.X = std::move(placement.setup.x);
  result.Sigma.assign(static_cast<std::size_t>(N), 0.0);
  result.NumberDensity = zqphys::NumberDensity(c.MixingRatio, c.Pressure, c.Temperature);

  // Grid split with an equal number of line-point pairs in each part (line lists are dense in some
  // bands and empty in others): a difference array of the windows gives the pairs per point.
  std::vector<int64_t> delta(static_cast<std::size_t>(N) + 1, 0);
  for (const Placed& pl : placement.lines) {
    if (pl.kind == Kind::None) continue;
    ++result.LinesUsed;
    result.Pairs += pl.hi - pl.lo + 1;
    ++delta[static_cast<std::size_t>(pl.lo)];
    --delta[static_cast<std::size_t>(pl.hi) + 1];
  }
  std::array<int32_t, kMaxParts + 1> bounds{}; // part p sums points bounds[p] .. bounds[p + 1] - 1
  bounds[parts] = N;
  double running = 0;
  int64_t active = 0;
  unsigned next = 1;
  for (long k = 0; k < N && next < parts; ++k) {
    running += static_cast<double>(active += delta[static_cast<std::size_t>(k)]);
    while (next < parts && running >= result.Pairs * next / parts)
      bounds[next++] = static_cast<int32_t>(k + 1);
  }
  for (; next < parts; ++next)
    bounds[next] = N;

  double* sigma = result.Sigma.data();
  const double* x = result.X.data();
  auto accumulate = [&](unsigned part) {
    const int32_t k0 = bounds[part], k1 = bounds[part + 1] - 1;
    if (k0 > k1) return;
    for (const Placed& pl : placement.lines) {
      if (pl.kind == Kind::None) continue;
      const int32_t lo = std::max(pl.lo, k0), hi = std::min(pl.hi, k1);
      if (lo <= hi) add_run(sigma, x, pl, lo, hi);
    }
  };
  pool.Run(parts, accumulate);

  const Counts& n = placement.counts;
  if (n.unknown_shift > 0)
    result.Notes.push_back(format("%g lines have no pressure shift in their records; it is taken as 0",
                                  static_cast<double>(n.unknown_shift)));
  if (n.no_width > 0)
    result.Notes.push_back(format("%g lines have no width at these conditions and were left out",
                                  static_cast<double>(n.no_width)));
  if (n.bad > 0)
    result.Notes.push_back(format("%g lines give no finite intensity, width or position and were left out",
                                  static_cast<double>(n.bad)));
  if (c.Profile == THitranProfile::Voigt && c.Pressure == 0)
    result.Notes.push_back(
        "At 0 mb the lines have no Lorentz width: the Voigt profile is the Doppler profile");
  return result;
}

TVoigtRegionCounts CountVoigtRegions(const THitranLineSet& set, const THitranConditions& c) {
  TVoigtRegionCounts counts;
  TzqWorkerPool& pool = TzqWorkerPool::Shared();
  THitranConditions voigt = c;
  voigt.Profile = THitranProfile::Voigt;
  const Placement placement = place_all(set, voigt, pool, parts_for(c, pool));
  for (const Placed& pl : placement.lines) {
    if (pl.kind == Kind::Gauss) counts.Gauss += pl.hi - pl.lo + 1;
    if (pl.kind != Kind::Voigt) continue;
    for (int32_t k = pl.lo; k <= pl.hi; ++k) {
      const double xk = ((placement.setup.x[static_cast<std::size_t>(k)] - pl.nu) - pl.shift) * pl.c;
      switch (zqvoigt::RegionOf(xk, pl.y)) {
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
