#include "zqColumnReport.h"

#include "zqContinuumUse.h"
#include "zqGasLists.h"

#include "zqINI_File.h"
#include "zqLineSeries.h"
#include "zqNumberText.h"
#include "zqSeriesTable.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

namespace zqsession {

namespace {

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

std::string number(double v) {
  return zqFloatToText(v, ".");
}

std::string yes_no(bool v) {
  return v ? "yes" : "no";
}

std::string look_text(TzqLook look) {
  return look == TzqLook::Up ? "up" : "down";
}

std::string hold_text(TzqHold hold) {
  return hold == TzqHold::RH ? "rh" : "vapour";
}

std::string states_text(const std::vector<TzqColumnState>& states) {
  if (states.empty()) return "none";
  std::string text;
  for (const TzqColumnState& state : states) {
    text += text.empty() ? "" : "; ";
    // Water and CO2 always; another gas only when its multiple is not 1.
    std::string factors;
    for (const TzqColumnGasInfo& gas : ColumnGases())
      if (!zqsession::IsTraceGas(gas.Gas) || state.GasFactor[gas.Gas] != 1)
        factors +=
            (factors.empty() ? "" : " ") + std::string(gas.Key) + " x " + number(state.GasFactor[gas.Gas]);
    text += factors + " warmed " + number(state.TemperatureOffset) + " K " + hold_text(state.Hold);
  }
  return text;
}

// The other gases' multiples in the changed state: "o3 x 0 ch4 x 2", "none" when all are 1.
std::string gas_factors_text(const TzqColumnSettings& s) {
  std::string text;
  for (const TzqColumnGasInfo& gas : ColumnGases())
    if (zqsession::IsTraceGas(gas.Gas) && s.GasFactors[gas.Gas] != 1)
      text += (text.empty() ? "" : " ") + std::string(gas.Key) + " x " + number(s.GasFactors[gas.Gas]);
  return text.empty() ? "none" : text;
}

std::string bands_text(const std::vector<TzqBand>& bands) {
  if (bands.empty()) return "default";
  std::string text;
  for (const TzqBand& b : bands)
    text += (text.empty() ? "" : ", ") + BandText(b);
  return text;
}

// A header line stays one line whatever a value holds (a path may hold a line break).
std::string one_line(std::string text) {
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  return text;
}

// The gases the legends name: CO2 unless another gas changes.
std::vector<TzqColumnGas> named_gases(const TzqColumnSettings& s) {
  std::vector<TzqColumnGas> gases = ChangedGases(s);
  if (gases.empty() || (gases.size() == 1 && gases[0] == TzqColumnGas::CO2)) return {TzqColumnGas::CO2};
  return gases;
}

std::string states_named(const TzqColumnSettings& s, bool changed) {
  const TzqPerGas<double> f = ChangedFactors(s);
  std::string text;
  for (TzqColumnGas gas : named_gases(s))
    text += (text.empty() ? "" : " + ") + (changed ? number(f[gas]) : std::string("1")) + "x " +
            ColumnGasInfo(gas).Name;
  return text;
}

constexpr TzqHold kHolds[] = {TzqHold::Vapour, TzqHold::RH};

// "# <run>: result <caption> (<unit>) = <value>", the way every figure of a run is named.
std::string result_line(const std::string& start, const std::string& caption, const std::string& unit,
                        double value) {
  return start + "result " + caption + (unit.empty() ? "" : " (" + unit + ")") + " = " +
         (std::isnan(value) ? std::string("none") : TableNumber(value)) + "\n";
}

} // namespace

double WavelengthOfWavenumber(double wavenumber) {
  return 1e4 / wavenumber;
}

std::pair<double, double> ColumnWavelengthRange(const TzqColumnSettings& s) {
  const double longest =
      s.WavenumberMin > 0 ? WavelengthOfWavenumber(s.WavenumberMin) : std::numeric_limits<double>::infinity();
  return {WavelengthOfWavenumber(s.WavenumberMax), std::min(longest, kLongestWavelengthShown)};
}

std::vector<double> ColumnChartX(const std::vector<double>& wavenumber, TColumnXUnit unit) {
  if (unit == TColumnXUnit::Wavenumber) return wavenumber;
  std::vector<double> x;
  x.reserve(wavenumber.size());
  for (double nu : wavenumber)
    x.push_back(WavelengthOfWavenumber(nu));
  return x;
}

const std::vector<TColumnFigureRow>& ColumnFigureRows() {
  static const std::vector<TColumnFigureRow> rows = {
      {"OLR_1x", "OLR 1x", "W/m2", "Outgoing longwave radiation over the band"},
      {"OLR_Nx", "OLR Nx", "W/m2", "Outgoing longwave radiation at the CO2 multiple"},
      {"Forcing_TOA", "Forcing TOA", "W/m2", "OLR 1x - OLR Nx"},
      {"Forcing_Tropopause", "Forcing tropopause", "W/m2",
       "Change of the net upward flux at the tropopause, 1x - Nx"},
      {"Surface_Down_1x", "Surface down 1x", "W/m2", "Downward flux at the surface"},
      {"Surface_Down_Nx", "Surface down Nx", "W/m2", "Downward flux at the surface at the CO2 multiple"},
      {"Surface_Emission", "Surface emission", "W/m2", "Blackbody emission of the surface over the band"},
      {"Observer_Flux_1x", "Observer flux 1x", "W/m2",
       "Flux over the band through the observer's level in the direction it looks"},
      {"Observer_Flux_Nx", "Observer flux Nx", "W/m2", "The observer's flux at the CO2 multiple"},
      {"Emission_Height_1x", "Emission height 1x", "km",
       "Altitude whose temperature is the effective temperature of the outgoing flux (none when no level is "
       "that cold)"},
      {"Tropopause_Altitude", "Tropopause", "km", "Altitude of the tropopause level"},
      {"Tropopause_Pressure", "Tropopause", "mb", "Pressure of the tropopause level"},
  };
  return rows;
}

TColumnSnapshot ColumnSnapshotOf(const TzqColumnResult& r, const TzqColumnSettings& s) {
  TColumnSnapshot v;
  v.Settings = s;
  v.Atmosphere = r.Profile.Atmosphere;
  v.SurfaceTemperature = r.Profile.SurfaceTemperature;
  v.ObserverAltitude = r.ObserverAltitude;
  v.ObserverAtTop = r.ObserverLevel == static_cast<int>(r.Profile.Layers.size());
  v.Look = r.Look;
  v.Wavenumber = r.Wavenumber;
  v.Bands = r.Bands;
  const std::vector<double>& z = r.Profile.LevelAltitude;
  for (std::size_t k = 0; k + 1 < z.size(); ++k)
    v.LayerAltitude.push_back((z[k] + z[k + 1]) / 2);
  for (std::size_t state = 0; state < 2 && state < r.Diagnostics.size(); ++state) {
    const std::span<const double> observed = r.ObservedSpectrum(state);
    v.Observed[state].assign(observed.begin(), observed.end());
    v.Brightness[state] = r.Diagnostics[state].BrightnessTemperature;
    v.BandHeating[state] = r.Diagnostics[state].BandHeating;
    v.Heating[state] = r.Diagnostics[state].Heating;
  }
  const auto observed_flux = [&](std::size_t state) {
    return state < r.Diagnostics.size() ? r.Diagnostics[state].ObservedFlux : kNone;
  };
  const auto tropopause = static_cast<std::size_t>(r.Profile.TropopauseLevel);
  v.Figures = {r.OLR1x,
               r.OLRNx,
               r.ForcingTOA,
               r.ForcingTropopause,
               r.SurfaceDownwelling1x,
               r.SurfaceDownwellingNx,
               r.SurfaceEmission,
               observed_flux(0),
               observed_flux(1),
               r.Diagnostics.empty() ? kNone : r.Diagnostics[0].EmissionHeight,
               tropopause < z.size() ? z[tropopause] : kNone,
               r.TropopausePressure};
  return v;
}

bool SameBalanceSettings(const TzqColumnSettings& a, const TzqColumnSettings& b) {
  TzqColumnSettings x = a;
  x.Offset = b.Offset;
  x.Hold = b.Hold;
  return x == b;
}

bool SameColumnResults(const TzqColumnSettings& a, const TzqColumnSettings& b) {
  TzqColumnSettings x = a;
  if (a.Offset == 0 && b.Offset == 0) x.Hold = b.Hold;
  return x == b;
}

void CarryBalances(const TColumnSnapshot* before, TColumnSnapshot& run) {
  run.Balances =
      before && before->Continuum == run.Continuum && SameBalanceSettings(before->Settings, run.Settings)
          ? before->Balances
          : TColumnBalances{};
}

bool AddBalance(TColumnSnapshot& run, const TzqColumnSettings& settings, TzqHold hold, const TzqBalance& b) {
  if (!SameBalanceSettings(run.Settings, settings)) return false;
  std::optional<TBalanceFigures>& figures = run.Balances.Of(hold);
  figures.reset();
  if (run.Balances.Latest == hold) run.Balances.Latest.reset();
  if (!b.Solved) return true;
  TBalanceFigures f;
  f.Warming = b.Warming;
  f.FeedbackParameter = b.FeedbackParameter;
  f.Forcing = b.Forcing;
  f.Iterations = b.Iterations;
  f.InterpolationError = b.InterpolationError;
  if (b.Result.Diagnostics.size() > 1) {
    f.Observed = b.Result.ObservedSpectrum(1);
    f.Brightness = b.Result.Diagnostics[1].BrightnessTemperature;
  }
  figures = std::move(f);
  run.Balances.Latest = hold;
  return true;
}

double WaterVapourFeedbackFactor(double warmingRH, double warmingVapour) {
  return warmingVapour == 0 ? kNone : warmingRH / warmingVapour;
}

const std::vector<TBalanceFigureRow>& BalanceFigureRows() {
  static const std::vector<TBalanceFigureRow> rows = {
      {"Balance_Warming_Vapour", "Warming to balance, fixed vapour", "K", "Warming to balance (K)",
       "Fixed vapour",
       "The warming of the ground and troposphere at which the CO2 multiple sends as much infrared up "
       "through the observer's level as 1x does unwarmed, water vapour mixing ratios held"},
      {"Balance_Warming_RH", "Warming to balance, fixed RH", "K", "Warming to balance (K)", "Fixed RH",
       "The warming of the ground and troposphere at which the CO2 multiple sends as much infrared up "
       "through the observer's level as 1x does unwarmed, relative humidity held"},
      {"Balance_Feedback_Vapour", "Feedback parameter, fixed vapour", "W m-2 K-1",
       "Feedback parameter (W m-2 K-1)", "Fixed vapour",
       "The forcing at the observer's level over the warming to balance, water vapour held"},
      {"Balance_Feedback_RH", "Feedback parameter, fixed RH", "W m-2 K-1", "Feedback parameter (W m-2 K-1)",
       "Fixed RH", "The forcing at the observer's level over the warming to balance, relative humidity held"},
      {"Balance_Feedback_Factor", "Water vapour feedback factor", "", "Water vapour feedback factor",
       "RH / vapour", "The warming to balance with fixed RH over that with fixed vapour"},
  };
  return rows;
}

std::vector<std::optional<double>> BalanceFigureValues(const TColumnBalances& b) {
  const auto value = [&b](TzqHold hold, double TBalanceFigures::*figure) {
    const std::optional<TBalanceFigures>& f = b.Of(hold);
    return f ? std::optional((*f).*figure) : std::nullopt;
  };
  return {value(TzqHold::Vapour, &TBalanceFigures::Warming), value(TzqHold::RH, &TBalanceFigures::Warming),
          value(TzqHold::Vapour, &TBalanceFigures::FeedbackParameter),
          value(TzqHold::RH, &TBalanceFigures::FeedbackParameter),
          b.Vapour && b.RH ? std::optional(WaterVapourFeedbackFactor(b.RH->Warming, b.Vapour->Warming))
                           : std::nullopt};
}

std::vector<std::optional<double>> BalanceFigureDifferences(const std::vector<std::optional<double>>& a,
                                                            const std::vector<std::optional<double>>& b) {
  std::vector<std::optional<double>> d(a.size());
  for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
    if (a[i] && b[i]) d[i] = *a[i] - *b[i]; // NaN stays NaN
  return d;
}

const std::vector<double>* RebalancedSpectrum(const TColumnSnapshot& run, TColumnQuantity quantity) {
  if (!run.Balances.Latest) return nullptr;
  const std::optional<TBalanceFigures>& f = run.Balances.Of(*run.Balances.Latest);
  if (!f) return nullptr;
  return quantity == TColumnQuantity::Flux ? &f->Observed : &f->Brightness;
}

std::string HoldText(TzqHold hold) {
  return hold == TzqHold::RH ? "fixed RH" : "fixed vapour";
}

std::string WarmedStateText(const TzqColumnSettings& settings, double warming, TzqHold hold) {
  return ChangedStateText(settings) + ", warmed " + zq::FormatGeneral(warming, 3) + " K (" + HoldText(hold) +
         ")";
}

const std::vector<double>& SnapshotSpectrum(const TColumnSnapshot& run, int state, TColumnQuantity quantity) {
  const auto i = static_cast<std::size_t>(state);
  return quantity == TColumnQuantity::Flux ? run.Observed[i] : run.Brightness[i];
}

bool SameGrid(const TColumnSnapshot& a, const TColumnSnapshot& b) {
  return a.Wavenumber == b.Wavenumber;
}

std::vector<double> FigureDifferences(const TColumnSnapshot& a, const TColumnSnapshot& b) {
  std::vector<double> d(a.Figures.size(), kNone);
  for (std::size_t i = 0; i < d.size() && i < b.Figures.size(); ++i)
    d[i] = a.Figures[i] - b.Figures[i]; // NaN stays NaN
  return d;
}

std::vector<std::string> ColumnSettingsLines(const TzqColumnSettings& s) {
  std::vector<std::string> lines{"SurfaceTemperature = " + number(s.SurfaceTemperature),
                                 "RelativeHumidity = " + number(s.RelativeHumidity),
                                 "CO2 = " + number(s.CO2),
                                 "CO2Factor = " + number(s.CO2Factor),
                                 "Offset = " + number(s.Offset),
                                 "Hold = " + hold_text(s.Hold),
                                 "StratosphericH2O = " + number(s.StratosphericH2O),
                                 "WavenumberMin = " + number(s.WavenumberMin),
                                 "WavenumberMax = " + number(s.WavenumberMax),
                                 "Step = " + number(s.Step),
                                 "Layers = " + std::to_string(s.Layers),
                                 "TopAltitude = " + number(s.TopAltitude),
                                 "Isothermal = " + yes_no(s.Isothermal),
                                 "AngleNodes = " + std::to_string(s.AngleNodes),
                                 "Threads = " + std::to_string(s.Threads),
                                 "Atmosphere = " + s.Atmosphere,
                                 "SurfaceFromTable = " + yes_no(s.SurfaceFromTable),
                                 "H2OScale = " + number(s.H2OScale),
                                 "MoreStates = " + states_text(s.MoreStates),
                                 "ObserverAltitude = " +
                                     (s.ObserverAltitude ? number(*s.ObserverAltitude) : std::string("top")),
                                 "Look = " + look_text(s.Look),
                                 "HeatingBands = " + bands_text(s.HeatingBands)};
  // Only where another gas changes, so a CO2 run's header stays as it was.
  if (const std::string others = gas_factors_text(s); others != "none")
    lines.push_back("GasFactors = " + others);
  return lines;
}

std::string BandText(const TzqBand& band) {
  return number(band.Min) + "-" + number(band.Max) + " cm-1";
}

std::string ChangedStateText(const TzqColumnSettings& s) {
  return states_named(s, true);
}

std::string BaseStateText(const TzqColumnSettings& s) {
  return states_named(s, false);
}

std::string ObserverText(const TColumnSnapshot& run) {
  if (run.ObserverAtTop && run.Look == TzqLook::Down) return "Top of atmosphere";
  return number(run.ObserverAltitude) + " km, looking " + look_text(run.Look);
}

std::string ColumnConditionsText(const TColumnSnapshot& run) {
  const TzqColumnSettings& s = run.Settings;
  std::string text;
  if (IsStandardAtmosphere(s)) {
    text = number(s.SurfaceTemperature) + " K surface   " + number(s.RelativeHumidity) + " % RH";
  } else {
    text = run.Atmosphere + "   " + number(run.SurfaceTemperature) + " K surface" +
           (s.SurfaceFromTable ? " (table)" : "") + "   H2O x " + number(s.H2OScale);
  }
  text += "   " + number(s.CO2) + " ppm CO2 and x " + number(s.CO2Factor);
  if (const std::string others = gas_factors_text(s); others != "none") text += ", " + others;
  if (s.Offset != 0) text += " warmed " + number(s.Offset) + " K (" + HoldText(s.Hold) + ")";
  text += "   " + std::to_string(s.Layers) + " layers to " + number(s.TopAltitude) + " km";
  if (!(run.ObserverAtTop && run.Look == TzqLook::Down)) text += "   seen at " + ObserverText(run);
  return text;
}

TColumnPlotTexts ColumnSpectrumTexts(const TColumnSnapshot& run, TColumnQuantity quantity, TColumnXUnit unit,
                                     bool difference) {
  TColumnPlotTexts t;
  const bool flux = quantity == TColumnQuantity::Flux;
  const bool outgoing = run.ObserverAtTop && run.Look == TzqLook::Down;
  t.FirstLine =
      std::string(flux ? (outgoing ? "Outgoing Radiation" : "Radiation") : "Brightness Temperature") +
      (outgoing ? " at the Top of the Atmosphere"
                : " Seen at " + number(run.ObserverAltitude) + " km Looking " +
                      (run.Look == TzqLook::Up ? "Up" : "Down"));
  t.FirstLine =
      difference ? "Difference from the Background: " + t.FirstLine : t.FirstLine + " (HITRAN, Voigt)";
  t.SecondLine = ColumnConditionsText(run);
  const std::string direction = run.Look == TzqLook::Up ? "Downward" : "Upward";
  t.LeftAxis = quantity == TColumnQuantity::Flux ? direction + " flux per wavenumber [W m-2 / cm-1]"
                                                 : std::string("Brightness temperature [K]");
  if (difference) t.LeftAxis = "Difference: " + t.LeftAxis;
  t.BottomAxis = unit == TColumnXUnit::Wavelength ? "Wavelength (um)" : "Wavenumber (cm-1)";
  return t;
}

TColumnPlotTexts ColumnHeatingTexts(const TColumnSnapshot& run) {
  TColumnPlotTexts t;
  t.FirstLine = "Heating Rates by Band, " + ChangedStateText(run.Settings) + " Dashed (HITRAN, Voigt)";
  t.SecondLine = ColumnConditionsText(run);
  t.LeftAxis = "Altitude [km]";
  t.BottomAxis = "Heating rate (K/day)";
  return t;
}

std::string ColumnExportHeader(const TColumnSnapshot& current, const TColumnSnapshot* background,
                               TColumnQuantity quantity) {
  std::string h = "# Absorbview atmosphere column: observed spectra\n";
  h += quantity == TColumnQuantity::Flux ? "# quantity: flux per wavenumber, W m-2 per cm-1\n"
                                         : "# quantity: brightness temperature, K\n";
  h += "# 1x: the first state; Nx: CO2 times each run's CO2Factor\n";
  if (current.Continuum || (background && background->Continuum)) h += ContinuumCommentLines();
  const std::pair<const char*, const TColumnSnapshot*> runs[] = {{"current", &current},
                                                                 {"background", background}};
  for (const auto& [name, run] : runs) {
    if (!run) continue;
    const std::string start = std::string("# ") + name + ": ";
    h += start + one_line("atmosphere caption = " + run->Atmosphere) + "\n";
    h += start + "seen from = " + ObserverText(*run) + "\n";
    if (run->Continuum) h += start + "water-vapour continuum = MT_CKD\n";
    for (const std::string& line : ColumnSettingsLines(run->Settings))
      h += start + one_line(line) + "\n";
    const std::vector<TColumnFigureRow>& rows = ColumnFigureRows();
    for (std::size_t i = 0; i < rows.size() && i < run->Figures.size(); ++i)
      h += result_line(start, rows[i].Caption, rows[i].Unit, run->Figures[i]);
    // The balances found, by the captions of the results; a hold not found is not named.
    const std::vector<TBalanceFigureRow>& balance = BalanceFigureRows();
    const std::vector<std::optional<double>> values = BalanceFigureValues(run->Balances);
    for (std::size_t i = 0; i < balance.size() && i < values.size(); ++i)
      if (values[i]) h += result_line(start, balance[i].Caption, balance[i].Unit, *values[i]);
    for (TzqHold hold : kHolds)
      if (const std::optional<TBalanceFigures>& f = run->Balances.Of(hold)) {
        const std::string tag = ", " + HoldText(hold);
        h += result_line(start, "Balance forcing" + tag, "W/m2", f->Forcing);
        h += result_line(start, "Balance iterations" + tag, "", f->Iterations);
        h += result_line(start, "Balance interpolation error" + tag, "K", f->InterpolationError);
      }
  }
  return h;
}

std::string ColumnExportTable(const TColumnSnapshot& current, const TColumnSnapshot* background,
                              TColumnQuantity quantity) {
  std::vector<const TColumnSnapshot*> runs{&current};
  if (background) runs.push_back(background);
  const char* names[] = {"current", "background"};
  std::vector<std::unique_ptr<TLineSeries>> series;
  TNamedSeries columns;
  for (std::size_t r = 0; r < runs.size(); ++r)
    for (int state = 0; state < 2; ++state) {
      auto s = std::make_unique<TLineSeries>();
      s->Assign(runs[r]->Wavenumber, SnapshotSpectrum(*runs[r], state, quantity));
      columns.emplace_back(std::string(names[r]) + (state == 0 ? "_1x" : "_Nx"), s.get());
      series.push_back(std::move(s));
    }
  return SeriesTableText(columns, false, ',');
}

} // namespace zqsession
