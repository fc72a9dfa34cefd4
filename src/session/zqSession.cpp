#include "zqSession.h"

#include "zqHITRAN.h"
#include "zqHitranMode.h"
#include "zqINI_File.h"
#include "zqLineSeries.h"

#include <algorithm>
#include <cmath>

namespace zqsession {

std::string SectionOf(TSeriesRole role) {
  switch (role) {
  case TSeriesRole::Water:
    return "h2o";
  case TSeriesRole::CO2:
    return "co2";
  case TSeriesRole::Combined:
    return "Combined";
  default:
    return {};
  }
}

std::string SectionOf(TzqColumnGas gas) {
  switch (gas) {
  case TzqColumnGas::H2O:
    return SectionOf(TSeriesRole::Water);
  case TzqColumnGas::CO2:
    return SectionOf(TSeriesRole::CO2);
  default:
    return ColumnGasInfo(gas).Section;
  }
}

TzqPerGas<double> TControls::DefaultGasPpm() {
  TzqPerGas<double> ppm{};
  ppm[TzqColumnGas::O3] = 0.0266;
  ppm[TzqColumnGas::N2O] = 0.32;
  ppm[TzqColumnGas::CH4] = 1.7;
  return ppm;
}

// ---- status

void TzqStatus::Refuse(std::string source, std::string text) {
  if (!text.empty()) Refusals.push_back({std::move(source), std::move(text)});
}

void TzqStatus::Note(std::string source, std::string text) {
  if (text.empty()) return;
  TStatusItem item{std::move(source), std::move(text)};
  if (std::find(Notes.begin(), Notes.end(), item) == Notes.end()) Notes.push_back(std::move(item));
}

void TzqStatus::Take(const T_zq_HITRAN* list, const std::string& source) {
  if (!list) return;
  Refuse(source, list->Reason());
  Note(source, list->ReadNote());
  Note(source, list->Note());
}

void TzqStatus::Append(const TzqStatus& other) {
  for (const TStatusItem& r : other.Refusals)
    Refusals.push_back(r);
  for (const TStatusItem& n : other.Notes)
    Note(n.Source, n.Text);
}

std::string TzqStatus::Headline() const {
  if (!Refusals.empty()) return Refusals.front().Text;
  if (!Notes.empty()) return Notes.front().Text;
  return {};
}

// ---- controls

TPathSetting PathFromMultiplier(TPathType type, double m) {
  if (type == TPathType::OpticalThickness) return {m, 1.0 - std::exp(-m)};
  const double factor = m * std::log(2.0);
  return {factor, 1.0 - std::exp(-factor)};
}

TCO2Default ReadCO2Default(TzqINI_File& ini) {
  TCO2Default d;
  // Read only when present, so reading never adds the key to the store.
  if (!ini.FindRecord("CO2", "ppmv")) return d;
  const std::string text = ini.ReadString("CO2", "ppmv", "350");
  long double v = 0;
  if (zqTextToReal(text, v) && std::isfinite(v) && v >= 0 && v <= 1e6)
    d.Value = static_cast<double>(v);
  else
    d.Refusal = TStatusItem{"[CO2] ppmv",
                            "[CO2] ppmv = \"" + text + "\" is not a mixing ratio from 0 to 1000000 ppm"};
  return d;
}

TPhysicsDefault ReadPhysicsDefault(TzqINI_File& ini) {
  TPhysicsDefault d;
  // Read only when present, so reading never adds the key to the store.
  if (!ini.FindRecord(kPhysicsSection, kPhysicsKey)) return d;
  const std::string text = ini.ReadString(kPhysicsSection, kPhysicsKey, "Classic");
  if (const auto v = ParseLinePhysics(text))
    d.Value = *v;
  else
    d.Refusal = TStatusItem{std::string("[") + kPhysicsSection + "] " + kPhysicsKey,
                            std::string("[") + kPhysicsSection + "] " + kPhysicsKey + " = \"" + text +
                                "\" is neither Classic nor HITRAN"};
  return d;
}

// ---- pipeline

T_zq_HITRAN* TzqSession::ListOf(TSeriesRole role) const {
  switch (role) {
  case TSeriesRole::Water:
    return Water;
  case TSeriesRole::CO2:
    return CO2;
  case TSeriesRole::Combined:
    return Combined;
  default:
    return nullptr;
  }
}

T_zq_HITRAN* TzqSession::GasList(TzqColumnGas gas) const {
  switch (gas) {
  case TzqColumnGas::H2O:
    return Water;
  case TzqColumnGas::CO2:
    return CO2;
  default:
    return GasLists[gas];
  }
}

void TzqSession::ApplyControls() {
  const TControls& c = Controls;
  std::vector<T_zq_HITRAN*> lists{CO2, Water, Combined};
  for (const TzqColumnGasInfo& gas : ColumnGases())
    if (gas.Gas != TzqColumnGas::H2O && gas.Gas != TzqColumnGas::CO2) lists.push_back(GasLists[gas.Gas]);
  for (T_zq_HITRAN* list : lists) {
    if (!list) continue;
    list->SetWavenumberMin(c.WavenumberMin);
    list->SetWavenumberMax(c.WavenumberMax);
    list->MaxPath = c.MaxPath;
    list->MinPath = c.MinPath;
    list->SetPressure(c.Pressure);
    list->SetTemperature(c.Temperature);
    list->SetLineWidthLimit(c.LineWidthLimit);
    list->PlotType = PlotTypeText(c.PlotType);
    list->SpectraType = SpectraTypeText(c.SpectraType);
    list->Scaling = ScalingText(c.Scaling);
    if (c.PathFactor) list->PathFactor = *c.PathFactor;
  }
  if (CO2) CO2->SetMixingRatio(c.CO2);
  if (Water) Water->SetMixingRatio(c.Water);
  for (const TzqColumnGasInfo& gas : ColumnGases())
    if (T_zq_HITRAN* list = GasLists[gas.Gas]) list->SetMixingRatio(c.GasPpm[gas.Gas]);
  // The combined spectrum already carries the mixing ratios.
  if (Combined) Combined->SetMixingRatio(1);
}

void TzqSession::CombineSpectra(double co2Factor) {
  if (!Water || !CO2 || !Combined) return;
  Combined->Locked = true;
  const double w = Controls.Water;
  const double q = co2Factor * Controls.CO2;
  const double* sw = Water->SpectrumData();
  const double* sc = CO2->SpectrumData();
  double* out = Combined->SpectrumData();
  for (long k = 1; k <= T_zq_HITRAN::kGridPoints; ++k)
    out[k] = w * sw[k] + q * sc[k];
}

namespace {

void plot(const TzqSession::TSeriesSink& sink, TSeriesRole role, T_zq_HITRAN& list) {
  if (sink.Plot) return sink.Plot(role, list);
  if (TLineSeries* s = sink.Series ? sink.Series(role) : nullptr)
    list.PlotSeries(*s, "spectra", "wavenumber");
}

void clear(const TzqSession::TSeriesSink& sink, TSeriesRole role) {
  if (TLineSeries* s = sink.Series ? sink.Series(role) : nullptr) s->Clear();
}

} // namespace

// A source spectrum that could not be computed must not feed the combined curve.
bool TzqSession::sources_refused(TzqStatus& status) const {
  TzqStatus sources;
  sources.Take(Water, "h2o");
  sources.Take(CO2, "co2");
  status.Append(sources);
  return sources.Refused();
}

// The path factor the lists hold after ApplyControls (kept from before while the multiplier is out of
// range); the combined list's is the one its series uses.
static double path_factor_of(const TzqSession& s) {
  if (s.Controls.PathFactor) return *s.Controls.PathFactor;
  for (const T_zq_HITRAN* list : {s.Combined, s.Water, s.CO2})
    if (list) return list->PathFactor;
  return 1;
}

// A broadened type of the other physics cannot be computed: refused by name, every gas series emptied.
static bool wrong_physics(const TzqSession& s, const TzqSession::TSeriesSink& sink, TzqStatus& status) {
  const TControls& c = s.Controls;
  if (PhysicsHasSpectraType(c.Physics, c.SpectraType)) return false;
  status.Refuse("", "Spectra type \"" + SpectraTypeText(c.SpectraType) + "\" is not one of the " +
                        LinePhysicsText(c.Physics) + " line physics");
  for (TSeriesRole role : kGasRoles)
    if (TLineSeries* series = sink.Series ? sink.Series(role) : nullptr) series->Clear();
  return true;
}

// A second gas other than CO2 has only the HITRAN physics' spectra (the classic model knows two gases),
// and water keeps the first series: refused by name, every gas series emptied.
static bool wrong_gas(const TzqSession& s, const TzqSession::TSeriesSink& sink, TzqStatus& status) {
  const TControls& c = s.Controls;
  if (c.Gas == TzqColumnGas::CO2) return false;
  if (c.Gas == TzqColumnGas::H2O)
    status.Refuse("", "Water vapour has the first series: choose another gas for the second");
  else if (c.Physics != TLinePhysics::Hitran)
    status.Refuse(SectionOf(c.Gas),
                  std::string("The classic line physics knows water vapour and CO2 only: ") +
                      ColumnGasInfo(c.Gas).Name + " needs the HITRAN line physics");
  else if (!s.SecondList())
    status.Refuse(SectionOf(c.Gas), std::string("No line list is open for ") + ColumnGasInfo(c.Gas).Name);
  else
    return false;
  for (TSeriesRole role : kGasRoles)
    if (TLineSeries* series = sink.Series ? sink.Series(role) : nullptr) series->Clear();
  return true;
}

TzqStatus TzqSession::ComputeSpectra(const TSeriesSink& sink) {
  ApplyControls();
  const TControls& c = Controls;
  if (TzqStatus status; wrong_gas(*this, sink, status)) return status;
  if (c.Physics == TLinePhysics::Hitran) {
    TzqStatus status;
    if (wrong_physics(*this, sink, status)) return status;
    // The raw-line plots are the file's values: the same in both physics, drawn as below.
    if (!IsLinePlot(c.Physics, c.PlotType, c.SpectraType))
      return FillHitranSeries(
          ComputeHitranGases(Water, SecondList(), c, continuum_.get(), HitranResolvedPath(c)), c,
          path_factor_of(*this), sink.Series);
  }
  if (Water) plot(sink, TSeriesRole::Water, *Water);
  if (T_zq_HITRAN* second = SecondList()) plot(sink, TSeriesRole::CO2, *second);
  TzqStatus status;
  if (!sources_refused(status) && Combined) {
    CombineSpectra();
    plot(sink, TSeriesRole::Combined, *Combined);
    status.Take(Combined, "Combined");
  } else {
    clear(sink, TSeriesRole::Combined);
  }
  return status;
}

TzqStatus TzqSession::ComputePaths(const TSeriesSink& sink, float pressure, float temperature) {
  ApplyControls();
  TzqStatus status;
  if (wrong_gas(*this, sink, status)) return status;
  if (!CO2 || !Water || !Combined) return status;
  if (Controls.Physics == TLinePhysics::Hitran) {
    // The mean paths of the cross-sections at the controls' conditions.
    TControls c = Controls;
    c.PlotType = TPlotType::MeanPath;
    if (!IsHitranProfile(c.SpectraType)) c.SpectraType = TSpectraType::Voigt;
    return FillHitranSeries(
        ComputeHitranGases(Water, SecondList(), c, continuum_.get(), HitranResolvedPath(c)), c,
        path_factor_of(*this), sink.Series);
  }
  auto series = [&](TSeriesRole role) { return sink.Series ? sink.Series(role) : nullptr; };
  CO2->AdjustLines(pressure, temperature);
  Water->AdjustLines(pressure, temperature);
  if (TLineSeries* s = series(TSeriesRole::CO2)) CO2->AddMeanPaths(*s);
  if (TLineSeries* s = series(TSeriesRole::Water)) Water->AddMeanPaths(*s);
  if (!sources_refused(status)) {
    CombineSpectra();
    if (TLineSeries* s = series(TSeriesRole::Combined)) Combined->AddMeanPaths(*s);
    status.Take(Combined, "Combined");
  } else {
    clear(sink, TSeriesRole::Combined);
  }
  return status;
}

TzqStatus TzqSession::ComputeLineView(TLineView view, const TSeriesSink& sink, float pressure,
                                      float temperature) {
  ApplyControls();
  if (TzqStatus status; wrong_gas(*this, sink, status)) return status;
  // The views fill the two gases' series only.
  auto series = [&](TSeriesRole role) -> TLineSeries* {
    if (role == TSeriesRole::Combined || !sink.Series) return nullptr;
    return sink.Series(role);
  };
  if (Controls.Physics == TLinePhysics::Hitran && view != TLineView::RawLines) {
    TControls c = Controls;
    c.PlotType = view == TLineView::LineMeanPaths ? TPlotType::MeanPath : TPlotType::Spectra;
    c.Scaling = TScaling::Raw;
    if (!IsHitranProfile(c.SpectraType)) c.SpectraType = TSpectraType::Voigt;
    return FillHitranSeries(
        ComputeHitranGases(Water, SecondList(), c, continuum_.get(), HitranResolvedPath(c)), c,
        path_factor_of(*this), series);
  }
  if (view == TLineView::AdjustedSpectrum) {
    if (!CO2 || !Water) return {};
    CO2->AdjustLines(pressure, temperature);
    Water->AdjustLines(pressure, temperature);
  }
  TzqStatus status;
  for (TSeriesRole role : {TSeriesRole::CO2, TSeriesRole::Water}) {
    T_zq_HITRAN* list = role == TSeriesRole::CO2 ? SecondList() : ListOf(role);
    TLineSeries* s = series(role);
    if (!list || !s) continue;
    switch (view) {
    case TLineView::RawLines:
      list->AddRawLines(*s);
      break;
    case TLineView::LineMeanPaths:
      list->AddLineMeanPaths(*s);
      break;
    case TLineView::AdjustedSpectrum:
      list->AddSpectrum(*s);
      break;
    }
  }
  status.Take(Water, "h2o");
  status.Take(CO2, "co2");
  return status;
}

TPowerResult TzqSession::ComputePower(double P) {
  if (TPowerResult refused; wrong_gas(*this, {}, refused.Status)) return refused;
  if (Controls.Physics == TLinePhysics::Hitran) {
    TControls c = Controls;
    // The raw-line types have no spectrum of their own: their power is the Voigt profile's.
    if (!IsHitranProfile(c.SpectraType)) c.SpectraType = TSpectraType::Voigt;
    // Resolved for the longest path of the table, the doubled CO2 path.
    return HitranPowerTable(ComputeHitranGases(Water, SecondList(), c, continuum_.get(), 2 * P), c, P);
  }
  TPowerResult r;
  if (!CO2 || !Water || !Combined) {
    r.Status.Refuse("", "Compute needs the line lists [h2o], [co2] and [Combined]");
    return r;
  }
  TPowerTable t;
  t.CO2_1x = CO2->AbsorbedBlackbodyPower(P);
  t.CO2_2x = CO2->AbsorbedBlackbodyPower(2 * P);
  t.H2O_1x = Water->AbsorbedBlackbodyPower(P);
  // The sums above brought both source spectra up to date; a plot of raw lines does not, so the
  // combined spectrum is formed again from them before it is integrated.
  r.Status.Take(CO2, "co2");
  r.Status.Take(Water, "h2o");
  if (r.Status.Refused()) return r;
  CombineSpectra();
  t.Combined_1x = Combined->AbsorbedBlackbodyPower(P);
  CombineSpectra(2);
  t.Combined_2x = Combined->AbsorbedBlackbodyPower(P);
  r.Status.Take(Combined, "Combined");
  if (r.Status.Refused()) return r;
  t.Total_1x = t.CO2_1x + t.H2O_1x;
  t.Total_2x = t.H2O_1x + t.CO2_2x;
  r.Table = t;
  return r;
}

} // namespace zqsession
