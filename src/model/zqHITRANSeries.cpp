// T_zq_HITRAN's chart series: raw lines, intensity over width, line mean paths, the spectrum, mean
// paths and optical depths, chosen by FillSeries from the parsed plot modes.
#include "zqHITRAN.h"

#include "zqLineSeries.h"
#include "zqPlotModes.h"
#include "zqSeriesPoints.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double kDisplayFactor = 1e20;
constexpr double kRawFloor = 1e-8;        // plotted for a line without intensity
constexpr double kOpticalDepthFloor = -5; // ln of the optical depth is raised to this

} // namespace

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
