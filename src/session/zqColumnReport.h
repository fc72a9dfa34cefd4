// What a column run shows and reports, in a small copy that can be kept beside the next run: its
// observed spectra and brightness temperatures, its heating rates, its figures and settings, the
// warmings to balance found for it; the texts of its plots; and the CSV export of two runs with every
// setting of each in '#' lines. Plain C++, so both front ends and the tests use the same texts and
// numbers.
#pragma once

#include "zqColumn.h"
#include "zqColumnBalance.h"

#include <array>
#include <cmath>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zqsession {

// Wavelength (um) of a wavenumber (cm-1): lambda = 10^4 / nu (1 cm = 10^4 um).
double WavelengthOfWavenumber(double wavenumber);

// The wavelengths (um) a spectrum plot shows of a band: all of it up to 100 um; a band reaching further
// towards 0 cm-1 shows its first 100 um, since a linear wavelength axis out to the grid's first point
// (2 million um at 0.005 cm-1) would leave the rest of the band a sliver.
std::pair<double, double> ColumnWavelengthRange(const TzqColumnSettings& settings);
inline constexpr double kLongestWavelengthShown = 100; // um

// What the column's spectrum plot shows per grid point.
enum class TColumnQuantity { Flux, BrightnessTemperature };
// Its x axis.
enum class TColumnXUnit { Wavenumber, Wavelength };

// The x values a plot draws for wavenumbers (cm-1) in the unit.
std::vector<double> ColumnChartX(const std::vector<double>& wavenumber, TColumnXUnit unit);

// One figure of a run's results, in the order of ColumnFigures.
struct TColumnFigureRow {
  const char* Key;     // "OLR_1x": names the window's fields
  const char* Caption; // "OLR 1x"; with the unit it names the figure
  const char* Unit;    // "W/m2", "km", "mb"
  const char* Tip;
};
const std::vector<TColumnFigureRow>& ColumnFigureRows();

// The warming to balance found for one water hold, as shown and reported.
struct TBalanceFigures {
  double Warming = 0;           // K
  double FeedbackParameter = 0; // W m-2 K-1; NaN without a forcing
  double Forcing = 0;           // W/m2 at the observer's level, unwarmed
  int Iterations = 0;
  double InterpolationError = std::nan(""); // K; NaN when not measured
  // The CO2 multiple at that warming as observed, per grid point: W m-2 per cm-1, and K.
  std::vector<double> Observed, Brightness;
};

// The balances found for a run's settings, one per hold. A balance replaces the settings' Offset and
// Hold, so those two do not matter for which run they belong to (SameBalanceSettings).
struct TColumnBalances {
  std::optional<TBalanceFigures> Vapour, RH;
  std::optional<TzqHold> Latest; // the hold found last: its rebalanced spectrum is the one drawn
  bool Empty() const { return !Vapour && !RH; }
  const std::optional<TBalanceFigures>& Of(TzqHold hold) const { return hold == TzqHold::RH ? RH : Vapour; }
  std::optional<TBalanceFigures>& Of(TzqHold hold) { return hold == TzqHold::RH ? RH : Vapour; }
};

// The run as it is drawn and reported; none of the level-by-level fluxes, so keeping one costs a few
// grid-sized arrays. Index 0 is the first state (1x), 1 the second (the CO2 multiple).
struct TColumnSnapshot {
  TzqColumnSettings Settings;
  std::string Atmosphere;        // caption of the profile's atmosphere
  double SurfaceTemperature = 0; // K, of the ground as computed (a table's own T(0) when chosen)
  double ObserverAltitude = 0;   // km, of the observer's level
  bool ObserverAtTop = true;     // the observer's level is the column's top
  TzqLook Look = TzqLook::Down;
  std::vector<double> Wavenumber;              // cm-1
  std::array<std::vector<double>, 2> Observed; // W m-2 per cm-1
  std::array<std::vector<double>, 2> Brightness;
  std::vector<double> LayerAltitude; // km, midpoints of the layers
  std::vector<TzqBand> Bands;
  std::array<std::vector<std::vector<double>>, 2> BandHeating; // K/day, [band][layer]
  std::array<std::vector<double>, 2> Heating;                  // K/day per layer
  std::vector<double> Figures;                                 // ColumnFigureRows() order; NaN: none
  TColumnBalances Balances;
  bool Continuum = false; // the water-vapour continuum was added to water
};

// The snapshot of a computed result and the settings it was computed for.
TColumnSnapshot ColumnSnapshotOf(const TzqColumnResult& result, const TzqColumnSettings& settings);

// The spectrum of a state in a quantity (W m-2 per cm-1, or K).
const std::vector<double>& SnapshotSpectrum(const TColumnSnapshot& run, int state, TColumnQuantity quantity);

// Both runs on the same wavenumbers, point for point (a difference needs no interpolation).
bool SameGrid(const TColumnSnapshot& a, const TColumnSnapshot& b);

// a - b for every figure; NaN where either is NaN.
std::vector<double> FigureDifferences(const TColumnSnapshot& a, const TColumnSnapshot& b);

// The same column apart from the CO2 multiple's warming and water hold (Offset, Hold): the settings a
// balance found for one of them serves.
bool SameBalanceSettings(const TzqColumnSettings& a, const TzqColumnSettings& b);

// A column computed for a gives the results of b: the same settings, or another hold of an unwarmed
// multiple (a hold only says how water follows a warming).
bool SameColumnResults(const TzqColumnSettings& a, const TzqColumnSettings& b);

// A new run's balances: those of the run before when it had the same settings (SameBalanceSettings),
// else none, since balance figures belong to the settings they were found for.
void CarryBalances(const TColumnSnapshot* before, TColumnSnapshot& run);

// Adds a balance the session found for settings to the run's: a solved one becomes its hold's (and the
// latest), an unsolved one leaves that hold without. False, adding nothing, when settings are not the
// run's (SameBalanceSettings).
bool AddBalance(TColumnSnapshot& run, const TzqColumnSettings& settings, TzqHold hold,
                const TzqBalance& balance);

// The water-vapour feedback factor: the warming to balance with fixed relative humidity over that with
// fixed vapour (dimensionless; NaN for no warming at fixed vapour). Manabe and Wetherald (1967), J. Atmos.
// Sci. 24, 241-259, found nearly twice the warming with the relative humidity held.
double WaterVapourFeedbackFactor(double warmingRH, double warmingVapour);

// The balance figures as the results show them: the warming to balance (K) and the feedback parameter
// (W m-2 K-1) of each hold, then the feedback factor once both holds are found; none where not found,
// NaN where found but without a value (no forcing). Each under a heading (the quantity and its unit)
// with a label (the hold); the caption names it whole.
struct TBalanceFigureRow {
  const char* Key;     // "Balance_Warming_RH": names the window's fields
  const char* Caption; // "Warming to balance, fixed RH"; with the unit it names the figure
  const char* Unit;    // "K", "W m-2 K-1"; empty for a ratio
  const char* Heading; // "Warming to balance (K)"
  const char* Label;   // "Fixed RH"
  const char* Tip;
};
const std::vector<TBalanceFigureRow>& BalanceFigureRows();
std::vector<std::optional<double>> BalanceFigureValues(const TColumnBalances& balances);
// a - b where both have a value.
std::vector<std::optional<double>> BalanceFigureDifferences(const std::vector<std::optional<double>>& a,
                                                            const std::vector<std::optional<double>>& b);

// The spectrum of the latest balance (the CO2 multiple at its warming) in a quantity; none without one.
const std::vector<double>* RebalancedSpectrum(const TColumnSnapshot& run, TColumnQuantity quantity);
// "fixed vapour", "fixed RH".
std::string HoldText(TzqHold hold);
// "3x CO2, warmed 1.04 K (fixed RH)": the changed state (as ChangedStateText names it) at a warming
// (three significant digits).
std::string WarmedStateText(const TzqColumnSettings& settings, double warming, TzqHold hold);

// Every field of the settings as "Name = value" in declaration order (numbers as zqFloatToText writes
// them, yes/no, "top" for no observer altitude, "default" for no heating bands).
std::vector<std::string> ColumnSettingsLines(const TzqColumnSettings& settings);

// The changed state and the first as legends name them: "2x CO2" and "1x CO2" when CO2 alone changes (or
// nothing does), else each changed gas's multiple ("2x CH4", "0x O3", "2x CO2 + 2x CH4"; "1x CH4").
std::string ChangedStateText(const TzqColumnSettings& settings);
std::string BaseStateText(const TzqColumnSettings& settings);

// The plot's texts.
struct TColumnPlotTexts {
  std::string FirstLine, SecondLine, LeftAxis, BottomAxis;
};
// The spectrum plot: observed, or current minus background when difference.
TColumnPlotTexts ColumnSpectrumTexts(const TColumnSnapshot& run, TColumnQuantity quantity, TColumnXUnit unit,
                                     bool difference);
TColumnPlotTexts ColumnHeatingTexts(const TColumnSnapshot& run);
// The conditions of a run in one line: atmosphere, surface, water, CO2, layers, observer.
std::string ColumnConditionsText(const TColumnSnapshot& run);
// "Top of atmosphere" or "10 km, looking up": where a spectrum is seen from.
std::string ObserverText(const TColumnSnapshot& run);
// "0-550 cm-1".
std::string BandText(const TzqBand& band);

// The export of a run and, when given, a background: '#' lines naming the quantity and, per run, its
// atmosphere caption, every setting, every figure and the balances found for it; then the CSV table
// (zqSeriesTable's layout: wavenumber_cm-1, current_1x, current_Nx, background_1x, background_Nx; on
// different grids a run's cells are empty at the other's wavenumbers).
std::string ColumnExportHeader(const TColumnSnapshot& current, const TColumnSnapshot* background,
                               TColumnQuantity quantity);
std::string ColumnExportTable(const TColumnSnapshot& current, const TColumnSnapshot* background,
                              TColumnQuantity quantity);

} // namespace zqsession
