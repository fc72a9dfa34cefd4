#include "zqHitranMode.h"

#include "zqContinuum.h"
#include "zqContinuumUse.h"
#include "zqCrossSectionCache.h"
#include "zqHITRAN.h"
#include "zqHitranPhysics.h"
#include "zqLineSeries.h"
#include "zqPlanck.h"
#include "zqSeriesPoints.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <tuple>

namespace zqsession {

namespace {

// ln of the optical depth is raised to this, as in the classic plot.
constexpr double kLogDepthFloor = -5;

std::string count_text(long n) {
  return std::to_string(n);
}

// Fills series with (x_k, y_of(k)); points that are not finite are left out and counted in a note.
template <class YOf>
void fill_grid(TLineSeries& series, const std::vector<double>& x, YOf y_of, TzqStatus& status,
               const std::string& source) {
  TzqSeriesBatch batch(series);
  series.Clear();
  series.SetXOrderNone();
  series.Reserve(x.size());
  long dropped = 0;
  for (std::size_t k = 0; k < x.size(); ++k)
    if (!zqmodel::AddFinitePoint(series, x[k], y_of(k))) ++dropped;
  if (dropped > 0) status.Note(source, count_text(dropped) + " points too large to plot were left out");
}

void clear_series(TLineSeries* series) {
  if (series) series->Clear();
}

double clamp_path(double y, double minPath, double maxPath) {
  return std::min(std::max(y, minPath), maxPath);
}

// One role's plot from its cross-section values (cm2/molecule, x ppm for Combined) on the gases' cells
// and the number density that turns them into optical depth.
void fill_role(TLineSeries& series, const THitranGases& g, const std::vector<double>& sigma, double density,
               double scale, const TControls& c, double pathFactor, TzqStatus& status,
               const std::string& source) {
  const std::span<const double> all = sigma, widths = g.Width;
  auto piece = [&](std::size_t k) { return all.subspan(g.First[k], g.First[k + 1] - g.First[k]); };
  auto width = [&](std::size_t k) { return widths.subspan(g.First[k], g.First[k + 1] - g.First[k]); };
  switch (c.PlotType) {
  case TPlotType::Spectra: {
    const double f = kHitranDisplayFactor * scale;
    fill_grid(
        series, g.PlotX,
        [&](std::size_t k) {
          if (!g.Resolved) return sigma[k] * f;
          double area = 0, w = 0;
          for (std::size_t j = g.First[k]; j < g.First[k + 1]; ++j)
            area += g.Width[j] * sigma[j], w += g.Width[j];
          return area / w * f;
        },
        status, source);
    return;
  }
  case TPlotType::OpticalDepth:
    if (!(density > 0)) status.Note(source, "No molecules absorb: the optical depth is 0");
    fill_grid(
        series, g.PlotX,
        [&](std::size_t k) {
          const double tau = zqphys::EffectiveOpticalDepth(piece(k), width(k), density, kOpticalDepthPath);
          return tau > 0 ? std::fmax(std::log(tau), kLogDepthFloor) : kLogDepthFloor;
        },
        status, source);
    return;
  case TPlotType::MeanPath: {
    if (!(pathFactor > 0)) {
      status.Refuse(source, "Path factor must be above 0");
      series.Clear();
      return;
    }
    if (!(density > 0)) status.Note(source, "No molecules absorb: every path is endless");
    const double fraction = -std::expm1(-pathFactor);
    fill_grid(
        series, g.PlotX,
        [&](std::size_t k) {
          const double path =
              zqphys::PathForFractionOfPiece(piece(k), width(k), density, fraction, c.MaxPath);
          return clamp_path(path > 0 ? path : c.MaxPath, c.MinPath, c.MaxPath);
        },
        status, source);
    return;
  }
  case TPlotType::OutgoingRadiation:
    status.Refuse(source, "The Outgoing Radiation plot comes from the atmosphere column, not from one gas");
    series.Clear();
    return;
  }
}

// The plot cells of gases computed on the plot grid: one point each.
void plot_cells(THitranGases& g, const THitranCrossSection& cs) {
  g.PlotX = cs.X;
  g.First.resize(cs.X.size() + 1);
  for (std::size_t k = 0; k < g.First.size(); ++k)
    g.First[k] = k;
  g.Width.assign(cs.X.size(), cs.Step);
  if (!cs.X.empty()) {
    g.BandMin = cs.X.front() - 0.5 * cs.Step;
    g.BandMax = cs.X.back() + 0.5 * cs.Step;
  }
}

} // namespace

THitranProfile HitranProfileOf(TSpectraType type) {
  switch (type) {
  case TSpectraType::Lorentz:
    return THitranProfile::Lorentz;
  case TSpectraType::Doppler:
    return THitranProfile::Doppler;
  default:
    return THitranProfile::Voigt;
  }
}

THitranConditions HitranConditions(const TControls& c, double mixingRatioPpm) {
  THitranConditions h;
  h.Temperature = c.Temperature;
  h.Pressure = c.Pressure;
  h.MixingRatio = mixingRatioPpm;
  h.Profile = HitranProfileOf(c.SpectraType);
  h.LineWidthLimit = c.LineWidthLimit;
  h.WavenumberMin = c.WavenumberMin;
  h.WavenumberMax = c.WavenumberMax;
  h.CellAverage = true;
  return h;
}

double HitranResolvedPath(const TControls& c) {
  switch (c.PlotType) {
  case TPlotType::OpticalDepth:
    return kOpticalDepthPath;
  case TPlotType::MeanPath:
    return c.MaxPath;
  default:
    return 0;
  }
}

const THitranCrossSection* THitranGases::Of(TSeriesRole role) const {
  if (role == TSeriesRole::Water && HasWater && Water.Valid()) return &Water;
  if (role == TSeriesRole::CO2 && HasCO2 && CO2.Valid()) return &CO2;
  return nullptr;
}

double THitranGases::DensityOf(TSeriesRole role) const {
  switch (role) {
  case TSeriesRole::Water:
    return WaterDensity;
  case TSeriesRole::CO2:
    return CO2Density;
  default:
    return UnitDensity;
  }
}

std::vector<double> THitranGases::Combined(double co2Factor) const {
  const THitranCrossSection* w = Of(TSeriesRole::Water);
  const THitranCrossSection* q = Of(TSeriesRole::CO2);
  if (!w || !q || w->Sigma.size() != q->Sigma.size()) return {};
  std::vector<double> out(w->Sigma.size());
  const double a = WaterPpm, b = co2Factor * CO2Ppm;
  for (std::size_t k = 0; k < out.size(); ++k)
    out[k] = a * w->Sigma[k] + b * q->Sigma[k];
  return out;
}

void AddContinuum(const TzqContinuumTable& table, const TControls& c, THitranCrossSection& cs) {
  if (!cs.Valid() || cs.Sigma.size() != cs.X.size()) return;
  std::vector<double> continuum(cs.X.size());
  ContinuumCrossSections(table, c.Temperature, c.Pressure, c.Water / 1e6, cs.X, continuum);
  for (std::size_t k = 0; k < continuum.size(); ++k)
    cs.Sigma[k] += continuum[k];
}

THitranGases ComputeHitranGases(const T_zq_HITRAN* water, const T_zq_HITRAN* co2, const TControls& c,
                                const TzqContinuumTable* continuum, double resolvedPathM,
                                const TResolvingGridOptions& resolution) {
  THitranGases g;
  const TzqContinuumTable* table = ContinuumUsed(c, continuum != nullptr) ? continuum : nullptr;
  const bool continuumOnly = c.SpectraType == TSpectraType::Continuum;
  // The continuum belongs to pressure broadening: the Doppler profile has none to add it to.
  const bool withLines = table && c.SpectraType != TSpectraType::Doppler && !continuumOnly;
  if (table && c.SpectraType == TSpectraType::Doppler)
    g.Status.Note(kContinuumSection,
                  "The Doppler profile has no pressure broadening: the continuum is not added");
  // The continuum alone is smooth on the plot grid: nothing to resolve.
  if (continuumOnly) resolvedPathM = 0;
  g.WaterPpm = c.Water;
  g.CO2Ppm = c.SecondGasPpm();
  g.WaterDensity = zqphys::NumberDensity(c.Water, c.Pressure, c.Temperature);
  g.CO2Density = zqphys::NumberDensity(g.CO2Ppm, c.Pressure, c.Temperature);
  g.UnitDensity = zqphys::NumberDensity(1, c.Pressure, c.Temperature);

  // The resolving grid of both gases (one grid, so that the combined spectrum adds point by point).
  TResolvingGrid grid;
  if (resolvedPathM > 0) {
    std::vector<THitranResolvedGas> gases;
    for (const auto& [list, ppm, density] :
         {std::tuple{water, c.Water, g.WaterDensity}, std::tuple{co2, g.CO2Ppm, g.CO2Density}})
      if (list) {
        THitranConditions conditions = HitranConditions(c, ppm);
        conditions.ContinuumWings = withLines && list == water;
        gases.push_back({HitranLineSet(*list), conditions, density * resolvedPathM * 100});
      }
    grid = HitranResolvingGrid(gases, resolution);
    g.Resolved = grid.Valid();
    for (const std::string& note : grid.Notes)
      g.Status.Note("", note);
  }
  auto compute = [&](const T_zq_HITRAN* list, double ppm, THitranCrossSection& out,
                     const std::string& source) {
    if (!list) return false;
    THitranConditions conditions = HitranConditions(c, ppm);
    if (g.Resolved) {
      conditions.Grid = grid.X;
      conditions.CellEdges = grid.Edges;
    }
    const bool isWater = list == water;
    if (continuumOnly) {
      // The plot grid of the gas without its lines (zeros), then water's continuum on it.
      THitranLineSet none = HitranLineSet(*list);
      none.Lines = {};
      none.PressureShifts = {};
      out = ComputeHitranCrossSection(none, conditions);
      if (!table)
        out.Refusal =
            "The Continuum spectra type needs the water-vapour continuum: open its file (File > Open "
            "continuum file...) and switch it on";
      else if (isWater)
        AddContinuum(*table, c, out);
      g.Status.Refuse(source, out.Refusal);
      for (const std::string& note : out.Notes)
        g.Status.Note(source, note);
      return true;
    }
    if (withLines && isWater) {
      conditions.ContinuumWings = true;
      out = *TzqCrossSectionCache::Shared().Get(list->Revision(), HitranLineSet(*list), conditions);
      AddContinuum(*table, c, out);
    } else {
      out = *TzqCrossSectionCache::Shared().Get(list->Revision(), HitranLineSet(*list), conditions);
    }
    g.Status.Refuse(source, out.Refusal);
    g.Status.Note(source, list->ReadNote());
    for (const std::string& note : out.Notes)
      g.Status.Note(source, note);
    return true;
  };
  g.HasWater = compute(water, c.Water, g.Water, "h2o");
  g.HasCO2 = compute(co2, g.CO2Ppm, g.CO2, SectionOf(c.Gas));
  if (g.Resolved) {
    g.PlotX = std::move(grid.PlotX);
    g.First = std::move(grid.First);
    g.Width = std::move(grid.Width);
    g.BandMin = grid.Edges.front();
    g.BandMax = grid.Edges.back();
  } else if (const THitranCrossSection* cs = g.Of(TSeriesRole::Water) ? &g.Water
                                             : g.Of(TSeriesRole::CO2) ? &g.CO2
                                                                      : nullptr) {
    plot_cells(g, *cs);
  }
  return g;
}

TzqStatus FillHitranSeries(const THitranGases& g, const TControls& c, double pathFactor,
                           const std::function<TLineSeries*(TSeriesRole)>& series_of) {
  TzqStatus status = g.Status;
  auto series = [&](TSeriesRole role) { return series_of ? series_of(role) : nullptr; };
  const bool scaled = c.Scaling == TScaling::MixingRatio;
  for (TSeriesRole role : {TSeriesRole::Water, TSeriesRole::CO2}) {
    TLineSeries* s = series(role);
    if (!s) continue;
    const THitranCrossSection* cs = g.Of(role);
    if (!cs) {
      clear_series(s);
      continue;
    }
    const double ppm = role == TSeriesRole::Water ? g.WaterPpm : g.CO2Ppm;
    fill_role(*s, g, cs->Sigma, g.DensityOf(role), scaled ? ppm : 1.0, c, pathFactor, status,
              role == TSeriesRole::CO2 ? SectionOf(c.Gas) : SectionOf(role));
  }
  // The combined spectrum already carries the mixing ratios: never scaled again.
  if (TLineSeries* s = series(TSeriesRole::Combined)) {
    const std::vector<double> sigma = g.Combined();
    if (sigma.empty() || status.Refused())
      clear_series(s);
    else
      fill_role(*s, g, sigma, g.UnitDensity, 1.0, c, pathFactor, status, SectionOf(TSeriesRole::Combined));
  }
  return status;
}

TPowerResult HitranPowerTable(const THitranGases& g, const TControls& c, double P) {
  TPowerResult r;
  r.Status = g.Status;
  const THitranCrossSection* w = g.Of(TSeriesRole::Water);
  const THitranCrossSection* q = g.Of(TSeriesRole::CO2);
  if (r.Status.Refused()) return r;
  if (!w || !q) {
    r.Status.Refuse("", "Compute needs the line lists [h2o] and [co2]");
    return r;
  }
  const double t = c.Temperature;
  const std::vector<double> exitance = zqphys::ExitanceOfPieces(w->X, g.Width, t);
  auto absorbed = [&](const std::vector<double>& sigma, double density, double path) {
    return zqphys::AbsorbedPowerOfPieces(exitance, sigma, density, path);
  };
  TPowerTable table;
  table.CO2_1x = absorbed(q->Sigma, g.CO2Density, P);
  table.CO2_2x = absorbed(q->Sigma, g.CO2Density, 2 * P);
  table.H2O_1x = absorbed(w->Sigma, g.WaterDensity, P);
  table.Combined_1x = absorbed(g.Combined(1), g.UnitDensity, P);
  table.Combined_2x = absorbed(g.Combined(2), g.UnitDensity, P);
  table.Total_1x = table.CO2_1x + table.H2O_1x;
  table.Total_2x = table.H2O_1x + table.CO2_2x;
  // The band the sums cover: the plot cells'.
  table.BandPower = zqplanck::BandExitance(g.BandMin, g.BandMax, t);
  for (double v : {table.CO2_1x, table.CO2_2x, table.H2O_1x, table.Combined_1x, table.Combined_2x})
    if (!std::isfinite(v)) {
      r.Status.Refuse("", "Absorbed power is too large to represent");
      return r;
    }
  r.Table = table;
  return r;
}

} // namespace zqsession
