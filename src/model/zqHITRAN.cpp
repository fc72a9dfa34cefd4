// Line-list reading, parameter setters, the chart series and the absorbed-power integrals. The
// spectrum computations themselves are in zqHITRANSpectrum.cpp.
#include "zqHITRAN.h"

#include "zqClassicFormulas.h"
#include "zqGrid.h"
#include "zqLineSeries.h"
#include "zqPlotModes.h"
#include "zqSeriesPoints.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double kDisplayFactor = 1e20;
constexpr double kMixingRatioFloor = 1e-7; // ppm
constexpr double kRawFloor = 1e-8;         // plotted for a line without intensity
constexpr double kOpticalDepthFloor = -5;  // ln of the optical depth is raised to this

} // namespace

T_zq_HITRAN::T_zq_HITRAN() {
  AddParameter(&MoleculeType, "string", "Molecule_type", "xx", 0, "notrim");
}

T_zq_HITRAN::~T_zq_HITRAN() = default;

// ---- reading -------------------------------------------------------------------------------------

void T_zq_HITRAN::ProcessLine(std::string_view line) {
  zqhitran::CheckOneRecord(line, Filename, static_cast<long>(LinesRead()));
  if (!zqhitran::LinePasses(line, MoleculeType)) return;
  Records.push_back(zqhitran::ParseLine(line, Filename, static_cast<long>(LinesRead())));
  PressureShifts.push_back(zqhitran::PressureShift(line));
  placed_.emplace_back(); // working space of the recomputations, grown with the list
  adjusted_ = false;
  Dirty = true;
}

void T_zq_HITRAN::ClearRecords() {
  Records.clear();
  PressureShifts.clear();
  placed_.clear();
  adjusted_ = false;
  Dirty = true;
}

// ---- setters -------------------------------------------------------------------------------------

namespace {
template <class T> void set_marking(T& member, T value, bool& dirty) {
  if (member == value) return;
  member = value;
  dirty = true;
}
} // namespace

void T_zq_HITRAN::SetWavenumberMin(double x) {
  set_marking(WavenumberMin, x, Dirty);
}
void T_zq_HITRAN::SetWavenumberMax(double x) {
  set_marking(WavenumberMax, x, Dirty);
}
void T_zq_HITRAN::SetPressure(double x) {
  set_marking(Pressure, x, Dirty);
}
void T_zq_HITRAN::SetTemperature(double x) {
  set_marking(Temperature, x, Dirty);
}
void T_zq_HITRAN::SetLineWidthLimit(double x) {
  set_marking(LineWidthLimit, x, Dirty);
}
void T_zq_HITRAN::SetDopplerBroadening(bool b) {
  set_marking(DopplerBroadening, b, Dirty);
}

void T_zq_HITRAN::SetMixingRatio(double x) {
  if (x == MixingRatio) return;
  if (MixingRatio == kMixingRatioFloor) Dirty = true;
  // Anything below the floor, and a value that is not a number, is stored as the floor.
  MixingRatio = x >= kMixingRatioFloor ? x : kMixingRatioFloor;
}

// ---- grid and shared helpers ---------------------------------------------------------------------

double T_zq_HITRAN::Step() const {
  double step = 0;
  return grid_problem(step) ? 0 : step;
}

const char* T_zq_HITRAN::grid_problem(double& step) const {
  return zqgrid::GridProblem(WavenumberMin, WavenumberMax, kGridPoints, step);
}

double T_zq_HITRAN::GridX(long k) const {
  return static_cast<double>(WavenumberMin + static_cast<long double>(k) * Step());
}

void T_zq_HITRAN::refuse(const std::string& why) {
  if (reason_.empty() && !why.empty()) reason_ = why;
}

void T_zq_HITRAN::inform(const std::string& why) {
  if (note_.empty() && !why.empty()) note_ = why;
}

void T_zq_HITRAN::take_spectrum_reasons() {
  refuse(spectrum_reason_);
  inform(spectrum_note_);
}

void T_zq_HITRAN::SetThreadCount(unsigned n) {
  threads_ = n;
}

double T_zq_HITRAN::NumberDensity() {
  if (!(Temperature > 0) || !(Pressure > 0)) return 0;
  return zqclassic::ColumnDensity(MixingRatio, Pressure, Temperature);
}

bool T_zq_HITRAN::path_constant(double& q) {
  if (!(PathFactor > 0)) {
    refuse("Path factor must be above 0");
    return false;
  }
  if (!(Temperature > 0)) {
    refuse("Temperature must be above 0 K");
    return false;
  }
  const double n = NumberDensity();
  if (!(n > 0)) {
    // No absorbing molecules: every path is endless.
    inform("Pressure must be above 0 mb: no molecules absorb");
    q = HUGE_VAL;
    return true;
  }
  q = PathFactor / (std::numbers::pi * n * 4);
  return true;
}

// ---- series ------------------------------------------------------------------------------------

void T_zq_HITRAN::add_point(TLineSeries& series, double x, double y) {
  if (!zqmodel::AddFinitePoint(series, x, y)) ++dropped_points_;
}

namespace {
// Empties the series for a filler, holding it in one change batch.
void start_fill(TLineSeries& series) {
  series.Clear();
  series.SetXOrderNone();
}
} // namespace

template <class YOf> void T_zq_HITRAN::add_line_points(TLineSeries& series, YOf y_of) {
  TzqSeriesBatch batch(series);
  start_fill(series);
  dropped_points_ = 0;
  for (const THitranLine& line : Records)
    if (WavenumberMin <= line.Wavenumber && line.Wavenumber <= WavenumberMax)
      add_point(series, line.Wavenumber, y_of(line));
  if (dropped_points_ > 0)
    inform(std::to_string(dropped_points_) + " points too large to plot were left out");
}

template <class YOf> void T_zq_HITRAN::add_grid_points(TLineSeries& series, YOf y_of) {
  TzqSeriesBatch batch(series);
  start_fill(series);
  dropped_points_ = 0;
  double step = 0;
  if (const char* problem = grid_problem(step)) {
    refuse(problem);
    return;
  }
  series.Reserve(kGridPoints);
  for (long k = 1; k <= kGridPoints; ++k)
    add_point(series, static_cast<double>(WavenumberMin + static_cast<long double>(k) * step),
              y_of(Spectrum[k]));
  if (dropped_points_ > 0)
    inform(std::to_string(dropped_points_) + " points too large to plot were left out");
}

void T_zq_HITRAN::FillSeries(TLineSeries& series, const std::string& seriesType, const std::string& xType) {
  reset_reason();
  TzqDatafile::FillSeries(series, seriesType, xType);
  if (!(WavenumberMax > WavenumberMin) || !(WavenumberMin >= 0)) {
    double step;
    refuse(grid_problem(step));
    return;
  }
  // The texts are parsed here once; a misspelt one is a refusal, not a silently empty series.
  const auto plot = ParsePlotType(PlotType);
  const auto spectra = ParseSpectraType(SpectraType);
  const auto scaling = ParseScaling(Scaling);
  if (!plot) return refuse("Unknown plot type \"" + PlotType + "\"");
  if (!spectra) return refuse("Unknown spectra type \"" + SpectraType + "\"");
  if (!scaling) return refuse("Unknown scaling \"" + Scaling + "\"");
  // The line profiles of the HITRAN physics are computed by the session from the cross-section, never
  // by the classic fillers.
  if (IsHitranProfile(*spectra))
    return refuse("Spectra type \"" + SpectraType + "\" needs the HITRAN line physics");
  SetDopplerBroadening(*spectra == TSpectraType::DopplerBroadened);
  Scale = *scaling == TScaling::Raw ? 1 : MixingRatio;
  switch (*plot) {
  case TPlotType::Spectra:
    if (*spectra == TSpectraType::Raw)
      AddRawLines(series);
    else if (*spectra == TSpectraType::IOverAlpha)
      AddIntensityOverWidth(series);
    else
      AddSpectrum(series);
    break;
  case TPlotType::MeanPath:
    if (*spectra == TSpectraType::Raw)
      AddLineMeanPaths(series);
    else
      AddMeanPaths(series);
    break;
  case TPlotType::OpticalDepth:
    AddOpticalDepths(series);
    break;
  }
}

void T_zq_HITRAN::AddRawLines(TLineSeries& series) {
  reset_reason();
  const double f = kDisplayFactor * Scale;
  add_line_points(series,
                  [f](const THitranLine& l) { return l.Intensity > 0 ? l.Intensity * f : kRawFloor; });
}

void T_zq_HITRAN::AddIntensityOverWidth(TLineSeries& series) {
  reset_reason();
  const double f = kDisplayFactor * Scale;
  // A line without width has no meaningful intensity over width; it is shown at the floor too.
  add_line_points(series, [f](const THitranLine& l) {
    return l.Intensity > 0 && l.AirWidth > 0 ? l.Intensity * f / l.AirWidth : kRawFloor;
  });
}

namespace {
double clamp_path(double y, double minPath, double maxPath) {
  if (y < minPath) y = minPath;
  if (y > maxPath) y = maxPath;
  return y;
}
} // namespace

bool T_zq_HITRAN::path_series_ready(TLineSeries& series, double& q) {
  reset_reason();
  if (path_constant(q)) return true;
  TzqSeriesBatch batch(series);
  start_fill(series);
  return false;
}

void T_zq_HITRAN::AddLineMeanPaths(TLineSeries& series) {
  double q = 0;
  if (!path_series_ready(series, q)) return;
  const double minPath = MinPath, maxPath = MaxPath;
  // A line without intensity absorbs nothing: its path is endless and plots at MaxPath.
  add_line_points(series, [=](const THitranLine& l) {
    return clamp_path(l.Intensity > 0 ? q / l.Intensity : maxPath, minPath, maxPath);
  });
}

void T_zq_HITRAN::AddSpectrum(TLineSeries& series) {
  reset_reason();
  UpdateSpectrum();
  take_spectrum_reasons();
  const double f = kDisplayFactor * Scale;
  add_grid_points(series, [f](double s) { return s * f; });
}

void T_zq_HITRAN::AddMeanPaths(TLineSeries& series) {
  double q = 0;
  if (!path_series_ready(series, q)) return;
  UpdateSpectrum();
  take_spectrum_reasons();
  const double minPath = MinPath, maxPath = MaxPath;
  add_grid_points(series, [=](double s) { return clamp_path(s > 0 ? q / s : maxPath, minPath, maxPath); });
}

void T_zq_HITRAN::AddOpticalDepths(TLineSeries& series) {
  double q = 0;
  if (!path_series_ready(series, q)) return;
  UpdateSpectrum();
  take_spectrum_reasons();
  // Optical depth of a 1000 m path per unit spectrum; 0 without molecules.
  const double d = std::numbers::pi * (NumberDensity() * 1000) * 4 / PathFactor;
  add_grid_points(series, [d](double s) {
    const double v = s * d;
    return v > 0 ? std::fmax(std::log(v), kOpticalDepthFloor) : kOpticalDepthFloor;
  });
}

// ---- integrals -----------------------------------------------------------------------------------

namespace {
// The absorbed-power sums visit the grid points whose path is shorter than L.
template <class Visit>
bool for_paths_below(const std::array<double, T_zq_HITRAN::kGridPoints + 1>& spectrum, double q,
                     double maxPath, double L, Visit visit) {
  for (long k = 1; k <= T_zq_HITRAN::kGridPoints; ++k) {
    const double s = spectrum[k];
    const double path = s > 0 ? q / s : maxPath * 1000;
    if (path < L) visit(k, path);
  }
  return true;
}
} // namespace

bool T_zq_HITRAN::integral_ready(double& q, double& step) {
  reset_reason();
  // The spectrum is brought up to date even when no integral can be formed: the combined spectrum
  // is built from it next.
  UpdateSpectrum();
  take_spectrum_reasons();
  if (!path_constant(q) || std::isinf(q)) return false; // no molecules: nothing is absorbed
  if (const char* problem = grid_problem(step)) {
    refuse(problem);
    return false;
  }
  return true;
}

double T_zq_HITRAN::FractionBelowPath(double L) {
  double q = 0, step = 0;
  if (!integral_ready(q, step)) return 0;
  long count = 0;
  for_paths_below(Spectrum, q, MaxPath, L, [&](long, double) { ++count; });
  return static_cast<double>(count) / kGridPoints;
}

double T_zq_HITRAN::WeightedAbsorption(double L, std::span<const double> weights) {
  double q = 0, step = 0;
  if (!integral_ready(q, step)) return 0;
  double sum = 0;
  for_paths_below(Spectrum, q, MaxPath, L, [&](long k, double path) {
    const std::size_t i = static_cast<std::size_t>(k - 1);
    if (i < weights.size()) sum += (1 - std::exp(-L / path)) * weights[i];
  });
  if (!std::isfinite(sum)) {
    refuse("Weighted absorption is too large to represent");
    return 0;
  }
  return sum;
}

double T_zq_HITRAN::AbsorbedBlackbodyPower(double L) {
  double q = 0, step = 0;
  if (!integral_ready(q, step)) return 0;
  const long double t = Temperature;
  long double sum = 0;
  for_paths_below(Spectrum, q, MaxPath, L, [&](long k, double path) {
    const long double lambda = 0.01L / (WavenumberMin + static_cast<long double>(k) * step); // m
    const long double b = zqclassic::Planck(zqconst::ClassicPowerPlanckC1, zqconst::ClassicPowerPlanckC2,
                                            lambda * lambda * lambda, lambda, t);
    sum += b * (1 - std::exp(-static_cast<long double>(L) / path));
  });
  const double power = static_cast<double>(step * sum / 0.01L);
  if (!std::isfinite(power)) {
    refuse("Absorbed power is too large to represent");
    return 0;
  }
  return power;
}

long double T_zq_HITRAN::SaturationPressure() const {
  return zqclassic::SaturationVapourPressure(Temperature);
}
