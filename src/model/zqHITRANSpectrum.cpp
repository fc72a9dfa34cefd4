// The broadened spectrum of a line list, summed by the one line summation (zqLineSum.h): pass 1
// adjusts the lines and places them on the grid (index decisions as extended precision takes them,
// computed in double precision and checked), pass 2 sums each point over the placed lines in file
// order. Each point therefore gets the same sum whatever the number of threads, and nothing is
// allocated.
#include "zqHITRAN.h"

#include "zqClassicFormulas.h"
#include "zqFaddeeva.h"
#include "zqGrid.h"
#include "zqLineSum.h"
#include "zqWorkerPool.h"

#include <algorithm>
#include <cctype>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <stdexcept>

namespace {

constexpr long N = T_zq_HITRAN::kGridPoints;
constexpr double kZeroSpectrumMixingRatio = 2e-7; // ppm
constexpr long double kDopplerWindow = 5;         // Doppler widths each side

using AdjustFactors = zqclassic::TLineAdjustment;

bool contains_ignoring_case(std::string_view text, std::string_view part) {
  auto eq = [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
  };
  return std::search(text.begin(), text.end(), part.begin(), part.end(), eq) != text.end();
}

AdjustFactors adjust_factors(const std::string& moleculeType, long double p, long double t) {
  // Rotational partition function: T^1.5 for the nonlinear molecules water, ozone and methane.
  return zqclassic::LineAdjustment(contains_ignoring_case(" 1, 3, 6", moleculeType), p, t);
}

void adjust_line(THitranLine& line, const AdjustFactors& f) {
  line.AdjustedIntensity = zqclassic::AdjustedIntensity(line.Intensity, line.LowerStateEnergy, f);
  line.AdjustedWidth = zqclassic::AdjustedWidth(line.AirWidth, f);
}

// Grid points lo..hi, given the centre index m and reach h (both integral, possibly huge); false
// when the line touches no point.
bool clip_to_grid(double m, double h, int32_t& lo, int32_t& hi) {
  const double first = std::max<double>(1, m - h), last = std::min<double>(N, m + h);
  if (!(first <= last)) return false;
  lo = static_cast<int32_t>(first);
  hi = static_cast<int32_t>(last);
  return true;
}

// The grid and reach of one pressure-broadened recomputation.
struct LorentzFrame {
  double min, max, step, inv_step, limit;
};

// Distance of grid point anchor from nu, min + anchor * step - nu, carried as a double-double so
// that the only rounding is the final one: d = (k - anchor) * step + r then stays accurate to a few
// units in the last place even close to a line centre far from 0 cm-1.
double grid_offset(const LorentzFrame& f, double anchor, double nu) {
  const double p = anchor * f.step;
  const double p_err = std::fma(anchor, f.step, -p);
  const double s = f.min + p;
  const double b = s - f.min;
  const double s_err = (f.min - (s - b)) + (p - b);
  return (s - nu) + (s_err + p_err);
}

// The reach of the last width placed, with the limit and step it was computed for.
struct ReachCache {
  double width = -1, limit = 0, step = 0;
  double reach = 0;
};

// Nearest integer, halves to even, for |v| < 2^51 (the current rounding mode does the work).
double round_half_even(double v) {
  constexpr double kShift = 6755399441055744.0; // 1.5 * 2^52
  return v >= 0 ? (v + kShift) - kShift : -((-v + kShift) - kShift);
}

// The extended-precision decisions of the grid definition, for values too close to a boundary to
// be called in double precision.
bool skipped_exact(const LorentzFrame& f, double g, double nu) {
  const long double w = static_cast<long double>(g) * f.limit;
  return nu < f.min - w || nu > f.max + w;
}
double reach_exact(const LorentzFrame& f, double g) {
  return static_cast<double>(std::trunc(static_cast<long double>(g) * f.limit / f.step));
}
double centre_exact(const LorentzFrame& f, double nu) {
  return static_cast<double>(zqgrid::RoundHalfEven((nu - static_cast<long double>(f.min)) / f.step));
}

// Relative error bound of the double-precision quotients below (a few roundings of 2^-53 each).
constexpr double kCloseCall = 4e-15;

// Places one line: skip test, reach h = Trunc(w / step), centre index m rounded half to even, and
// the offset r of an anchor grid point. Taken in double precision and handed to the extended
// versions only when a value lies too close to a boundary to call; lines sharing a width share the
// reach, so even such widths cost one extended division per run of equal widths.
bool place_lorentz(const THitranLine& line, const LorentzFrame& f, ReachCache& cache,
                   T_zq_HITRAN::PlacedLine& out) {
  const double g = line.AdjustedWidth;
  const double g2 = g * g, sg = line.AdjustedIntensity * g;
  // Lines whose profile cannot be formed (no width, values beyond double range) add nothing.
  if (!(g > 0) || !(g2 >= DBL_MIN) || !std::isfinite(g2) || !std::isfinite(sg)) return false;
  const double nu = line.Wavenumber;
  const double w = g * f.limit;
  if (!(w >= 0)) return false;
  const double tol = kCloseCall * (std::fabs(f.min) + std::fabs(f.max) + w + std::fabs(nu));
  const double below = f.min - w, above = f.max + w;
  if (nu < below - tol || nu > above + tol) return false;
  if ((nu < below + tol || nu > above - tol || !std::isfinite(tol)) && skipped_exact(f, g, nu)) return false;

  if (g != cache.width || f.limit != cache.limit || f.step != cache.step) {
    const double q = w * f.inv_step;
    double h = std::trunc(q);
    if (!(q < 0x1p50) || q - h < kCloseCall * q || h + 1 - q < kCloseCall * q) h = reach_exact(f, g);
    cache = {g, f.limit, f.step, h};
  }
  const double t = (nu - f.min) * f.inv_step;
  double m = round_half_even(t);
  if (!(std::fabs(t) < 0x1p50) || std::fabs(std::fabs(t - m) - 0.5) < kCloseCall * std::fabs(t)) {
    m = centre_exact(f, nu);
    if (!(std::fabs(m) < 0x1p50)) return false; // so far off the grid that its profile vanishes there
  }
  if (!clip_to_grid(m, cache.reach, out.lo, out.hi)) return false;
  // Anchor on the centre point, or on the grid end nearest to a centre outside the grid, so that
  // d = (k - anchor) * step + r never cancels.
  const double anchor = std::clamp<double>(m, 0, N + 1);
  out.m = static_cast<int32_t>(anchor);
  out.a = grid_offset(f, anchor, nu);
  out.b = sg;
  out.c = g2;
  return true;
}

// Molecular mass for the Doppler width: 18 for code 1, 44 for code 2, else 30.
double molecular_mass(const std::string& moleculeType) {
  std::string_view text = moleculeType;
  while (!text.empty() && text.front() == ' ')
    text.remove_prefix(1);
  long code = 0;
  const char* first = text.data();
  const char* last = text.data() + text.size();
  if (!text.empty() && text.front() == '+') ++first;
  auto [end, error] = std::from_chars(first, last, code);
  if (text.empty() || error != std::errc() || end != last)
    throw std::invalid_argument("'" + moleculeType + "' is not a valid integer value");
  return code == 1 ? 18 : code == 2 ? 44 : 30;
}

} // namespace

void T_zq_HITRAN::zero_spectrum() {
  std::fill(Spectrum.begin(), Spectrum.end(), 0.0);
}

void T_zq_HITRAN::sanitize_spectrum() {
  // A value beyond double range absorbs everything; no number may stand for it (0 would say nothing
  // absorbs), so the spectrum is refused, naming the strongest line that reaches the first such point.
  long bad = 0, first = 0;
  for (long k = 1; k <= kGridPoints; ++k)
    if (!std::isfinite(Spectrum[static_cast<std::size_t>(k)]) && bad++ == 0) first = k;
  if (bad == 0) return;
  const double x = GridX(first);
  const THitranLine *strongest = nullptr, *reaching = nullptr;
  auto stronger = [](const THitranLine& a, const THitranLine* b) {
    return !b || !(a.AdjustedIntensity <= b->AdjustedIntensity);
  };
  for (const THitranLine& line : Records) {
    if (stronger(line, strongest)) strongest = &line;
    // An infinite width reaches everywhere too.
    if (!(std::fabs(line.Wavenumber - x) > LineWidthLimit * line.AdjustedWidth) && stronger(line, reaching))
      reaching = &line;
  }
  if (reaching) strongest = reaching;
  char text[160];
  std::snprintf(text, sizeof text, "%ld spectrum values are too large to represent (the first at %g cm-1)",
                bad, x);
  spectrum_reason_ = text;
  if (strongest) {
    std::snprintf(text, sizeof text, ": the line at %.6f cm-1 with intensity %g is too strong to compute",
                  strongest->Wavenumber, strongest->Intensity);
    spectrum_reason_ += text;
  }
  zero_spectrum();
}

void T_zq_HITRAN::AdjustLines(double pressure, double temperature) {
  if (!(temperature > 0)) {
    // No state of the gas to adjust to: nothing absorbs.
    for (THitranLine& line : Records)
      line.AdjustedIntensity = line.AdjustedWidth = 0;
    adjusted_ = false;
    refuse("Temperature must be above 0 K");
    return;
  }
  const AdjustFactors f = adjust_factors(MoleculeType, pressure, temperature);
  for (THitranLine& line : Records)
    adjust_line(line, f);
  adjusted_ = true;
  adjusted_p_ = pressure;
  adjusted_t_ = temperature;
  adjusted_type_ = MoleculeType;
}

void T_zq_HITRAN::UpdateSpectrum() {
  if (Locked || !Dirty) return;
  Dirty = false;
  spectrum_reason_.clear();
  spectrum_note_.clear();
  if (DopplerBroadening) {
    ComputeDopplerSpectrum(Temperature);
    return;
  }
  double step = 0;
  const char* problem = grid_problem(step);
  zero_spectrum();
  if (problem) {
    spectrum_reason_ = problem;
    return;
  }
  if (MixingRatio < kZeroSpectrumMixingRatio) {
    spectrum_note_ = "Mixing ratio is at its floor of 1e-7 ppm: the spectrum is zero";
    return;
  }
  if (!(Temperature > 0)) {
    spectrum_reason_ = "Temperature must be above 0 K";
    return;
  }
  if (!(Pressure > 0)) {
    spectrum_note_ = "Pressure must be above 0 mb: no molecules absorb";
    return;
  }
  compute_lorentz(step);
  sanitize_spectrum();
}

template <class PlaceOne, class SumRun> void T_zq_HITRAN::place_and_sum(PlaceOne place_one, SumRun sum_run) {
  TzqWorkerPool& pool = TzqWorkerPool::Shared();
  const unsigned parts = zqsum::PartsFor(threads_, pool);
  // Records may have changed since reading (it is a public field): the working space follows it.
  if (placed_.size() != Records.size()) placed_.resize(Records.size());
  zqsum::TPlacedRuns runs;
  zqsum::PlaceLines(
      pool, parts, static_cast<long>(Records.size()),
      [&](unsigned, long line, long slot) {
        return place_one(Records[static_cast<std::size_t>(line)], placed_[static_cast<std::size_t>(slot)]);
      },
      runs, nullptr);
  zqsum::SumLines(
      pool, parts, runs, 1, static_cast<int32_t>(N) + 1, pair_delta_,
      [&](long slot) {
        const PlacedLine& pl = placed_[static_cast<std::size_t>(slot)];
        return std::pair{pl.lo, pl.hi};
      },
      [&](long slot, int32_t lo, int32_t hi) { sum_run(placed_[static_cast<std::size_t>(slot)], lo, hi); },
      nullptr);
}

void T_zq_HITRAN::compute_lorentz(double step) {
  const bool adjust =
      !adjusted_ || adjusted_p_ != Pressure || adjusted_t_ != Temperature || adjusted_type_ != MoleculeType;
  const AdjustFactors f = adjust_factors(MoleculeType, Pressure, Temperature);
  const LorentzFrame frame{WavenumberMin, WavenumberMax, step, 1 / step, LineWidthLimit};
  double* spectrum = Spectrum.data();
  // The reach of equal widths is shared; each thread of pass 1 keeps its own.
  thread_local ReachCache cache;
  place_and_sum(
      [&](THitranLine& line, PlacedLine& out) {
        if (adjust) adjust_line(line, f);
        return place_lorentz(line, frame, cache, out) ? zqsum::TPlacement::Placed
                                                      : zqsum::TPlacement::Skipped;
      },
      [&](const PlacedLine& pl, int32_t lo, int32_t hi) {
        zqvoigt::AddGridLorentz(spectrum, lo, hi, pl.m, step, pl.a, pl.b, pl.c);
      });
  adjusted_ = true;
  adjusted_p_ = Pressure;
  adjusted_t_ = Temperature;
  if (adjust) adjusted_type_ = MoleculeType;
}

void T_zq_HITRAN::ComputeDopplerSpectrum(double temperature) {
  spectrum_reason_.clear();
  spectrum_note_.clear();
  double step = 0;
  const char* problem = grid_problem(step);
  zero_spectrum();
  const double mass = molecular_mass(MoleculeType);
  if (problem) {
    spectrum_reason_ = problem;
    return;
  }
  if (!(temperature > 0)) {
    spectrum_reason_ = "Temperature must be above 0 K";
    return;
  }
  compute_doppler(temperature, step, mass);
  sanitize_spectrum();
}

void T_zq_HITRAN::compute_doppler(double temperature, double step, double mass) {
  const long double wmin = WavenumberMin, wmax = WavenumberMax, lstep = step, limit = DopplerLimit;
  const long double width_factor = zqclassic::DopplerWidthFactor(temperature, static_cast<long double>(mass));
  const long double root_pi = std::sqrt(std::numbers::pi_v<long double>);
  for (long k = 1; k <= N; ++k)
    grid_x_[static_cast<std::size_t>(k)] = static_cast<double>(wmin + k * lstep);
  double* spectrum = Spectrum.data();
  const double* x = grid_x_.data();
  place_and_sum(
      [&](const THitranLine& line, PlacedLine& out) {
        const long double nu = line.Wavenumber;
        const double sigma = static_cast<double>(nu * width_factor);
        const long double a = line.Intensity / (sigma * root_pi);
        if (!(sigma > 0) || !std::isfinite(a))
          return zqsum::TPlacement::Skipped; // at or below 0 cm-1: no width
        if (nu < wmin - limit * sigma || nu > wmax + limit * sigma) return zqsum::TPlacement::Skipped;
        const long double h = zqgrid::RoundHalfEven(kDopplerWindow * sigma / lstep);
        const long double m = zqgrid::RoundHalfEven((nu - wmin) / lstep);
        if (!std::isfinite(h) || !std::isfinite(m)) return zqsum::TPlacement::Skipped;
        if (m - h > N) return zqsum::TPlacement::Stop; // ascending order: no later line reaches the grid
        if (!clip_to_grid(static_cast<double>(m), static_cast<double>(h), out.lo, out.hi))
          return zqsum::TPlacement::Skipped;
        out.a = line.Wavenumber;
        out.b = sigma;
        out.c = static_cast<double>(a);
        out.m = 0;
        return zqsum::TPlacement::Placed;
      },
      [&](const PlacedLine& pl, int32_t lo, int32_t hi) {
        for (int32_t k = lo; k <= hi; ++k) {
          const double u = (x[k] - pl.a) / pl.b;
          spectrum[k] += pl.c * std::exp(-u * u);
        }
      });
}
