// The computation session both front ends drive: every control value of a run as typed values, the
// line lists they are applied to, and the pipeline that forms the three spectra series, the paths and
// the Power page's table. Results carry refusals and notes as data (TzqStatus); the window shows them in
// its status bar, the CLI on stderr with an exit code. Plain C++.
#pragma once

#include "zqColumnBalance.h"
#include "zqPlotModes.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class T_zq_HITRAN;
class TLineSeries;
class TzqContinuumColumnSource;
struct TzqContinuumTable;
class TzqHitranColumnSource;
class TzqINI_File;

namespace zqsession {

// The main window's chart series, in the order the chart tools add them (value = chart series index).
enum class TSeriesRole : int {
  Water = 0,
  CO2 = 1,
  Combined = 2,
  Blackbody1 = 3,
  Blackbody2 = 4,
  Blackbody3 = 5
};
constexpr int SeriesIndex(TSeriesRole role) {
  return static_cast<int>(role);
}
constexpr TSeriesRole kGasRoles[] = {TSeriesRole::Water, TSeriesRole::CO2, TSeriesRole::Combined};
constexpr TSeriesRole kBlackbodyRoles[] = {TSeriesRole::Blackbody1, TSeriesRole::Blackbody2,
                                           TSeriesRole::Blackbody3};
// INI section of a gas role's line list ("h2o", "co2", "Combined"); empty for a blackbody.
std::string SectionOf(TSeriesRole role);
// INI section of a gas's line list, as status sources say it: "h2o", "co2", "O3", "N2O", "CH4".
std::string SectionOf(TzqColumnGas gas);

// What a computation has to say: refusals (nothing could be computed, the series are empty or the
// result missing) and notes (computed, but zero or partial as the physics says), each with its source.
struct TStatusItem {
  std::string Source; // INI section or key the message is about ("h2o", "[CO2] ppmv"); may be empty
  std::string Text;
  bool operator==(const TStatusItem&) const = default;
};
struct TzqStatus {
  std::vector<TStatusItem> Refusals;
  std::vector<TStatusItem> Notes;

  bool Refused() const { return !Refusals.empty(); }
  void Refuse(std::string source, std::string text);
  void Note(std::string source, std::string text); // a note already held is not repeated
  // The list's current reason (a refusal) and note, under its section name.
  void Take(const T_zq_HITRAN* list, const std::string& source);
  void Append(const TzqStatus& other);
  // The one line a status bar shows: the first refusal, else the first note; empty when all is well.
  std::string Headline() const;
};

// The one-gas views of the Mean Path page and the hidden buttons: the lines as read ("Absorbance"), each
// line's mean path ("Mean Path"), the spectrum at the controls' conditions ("Plot Spectra").
enum class TLineView { RawLines, LineMeanPaths, AdjustedSpectrum };

// Path type of the "Mean Path" page: what the path multiplier m counts.
enum class TPathType { MeanFreePath = 0, OpticalThickness = 1 }; // factor m ln 2 (1/2), or m (1/e)

// Every control value the spectra depend on, typed. Defaults are the window's start-up values.
struct TControls {
  double WavenumberMin = 0, WavenumberMax = 5000; // cm-1
  double MaxPath = 1000, MinPath = 0;             // m, clamps of the plotted paths
  double Pressure = 1013;                         // mb
  double Temperature = 288;                       // K
  double LineWidthLimit = 200;                    // half widths a pressure-broadened line reaches
  TPlotType PlotType = TPlotType::Spectra;
  TSpectraType SpectraType = TSpectraType::Raw;
  TScaling Scaling = TScaling::Raw;
  TLinePhysics Physics = TLinePhysics::Classic;
  // The path factor of the lists; empty while the multiplier is out of range (the lists keep theirs).
  std::optional<double> PathFactor = 1;
  double Water = 10000; // ppm
  double CO2 = 350;     // ppm
  // The gas of the second series (CO2's role) under the HITRAN physics: CO2, or a gas of the registry
  // whose list is loaded (O3, N2O, CH4) at its GasPpm. Water keeps the first series.
  TzqColumnGas Gas = TzqColumnGas::CO2;
  TzqPerGas<double> GasPpm = DefaultGasPpm();
  // The U.S. standard 1976 surface amounts (AFGL 1986): O3 0.0266, N2O 0.32, CH4 1.7 ppm; water and
  // CO2 entries unused (Water and CO2 are).
  static TzqPerGas<double> DefaultGasPpm();
  // The ppm of the second series' gas.
  double SecondGasPpm() const { return Gas == TzqColumnGas::CO2 ? CO2 : GasPpm[Gas]; }
  // The water-vapour continuum switch: with a table loaded, the HITRAN physics' water and the column's
  // water add it (zqContinuumUse.h). The front ends set it when a continuum file is known.
  bool Continuum = false;
};

// Path factor and absorbed fraction (0..1) of a multiplier m for a path type.
struct TPathSetting {
  double PathFactor;
  double Fraction;
};
TPathSetting PathFromMultiplier(TPathType type, double multiplier);

// The Power page's results (W/m2) for a path of P metres.
struct TPowerTable {
  double CO2_1x = 0, CO2_2x = 0, H2O_1x = 0, Total_1x = 0, Total_2x = 0, Combined_1x = 0, Combined_2x = 0;
  // HITRAN physics: the blackbody power over the band (exact Planck integral); the classic table has none.
  std::optional<double> BandPower;
};
struct TPowerResult {
  TzqStatus Status;
  std::optional<TPowerTable> Table; // empty when refused
};

// The CO2 mixing ratio both front ends start from: "[CO2] ppmv" of the INI file (350 when absent). A
// value that is not a finite number within 0..1,000,000 ppm is refused by name and 350 is kept; the
// refusal says what is wrong, not what follows (the window goes on with 350, the CLI stops).
struct TCO2Default {
  double Value = 350;
  std::optional<TStatusItem> Refusal;
};
TCO2Default ReadCO2Default(TzqINI_File& ini);

// The note of a column run for a gas its profile holds that no list serves ("O3 has no line list: it
// absorbs nothing in the column"), under the gas's section; and whether a note is one (the window shows
// these beside the gases of the Column page rather than in its status bar).
TStatusItem NoListNote(TzqColumnGas gas);
bool IsNoListNote(const TStatusItem& note);

// The atmosphere column's results with what it has to say (source "column", or the list at fault).
struct TColumnRun {
  TzqStatus Status;
  TzqColumnResult Result; // Computed is false when refused
};

// The warming to balance with what the column had to say.
struct TBalanceRun {
  TzqStatus Status;
  TzqBalance Balance; // Solved is false when refused
};

// The line physics both front ends start from: "[Line Physics] Model" of the INI file ("Classic" or
// "HITRAN", letter case ignored; Classic when absent). Any other value is refused by name and Classic
// is kept.
inline constexpr const char* kPhysicsSection = "Line Physics";
inline constexpr const char* kPhysicsKey = "Model";
struct TPhysicsDefault {
  TLinePhysics Value = TLinePhysics::Classic;
  std::optional<TStatusItem> Refusal;
};
TPhysicsDefault ReadPhysicsDefault(TzqINI_File& ini);

class TzqSession {
public:
  TzqSession();
  ~TzqSession();
  TzqSession(const TzqSession&) = delete;
  TzqSession& operator=(const TzqSession&) = delete;

  // Not owned; any may be none (a missing list refuses what needs it).
  T_zq_HITRAN* Water = nullptr;
  T_zq_HITRAN* CO2 = nullptr;
  T_zq_HITRAN* Combined = nullptr;
  // The lists of the other gases of the registry (O3, N2O, CH4); the water and CO2 entries are not used
  // (Water and CO2 are). A gas without a list absorbs nothing in the column, with a note.
  TzqPerGas<T_zq_HITRAN*> GasLists{};
  TControls Controls;

  // The list of any gas of the registry: Water and CO2 for those two, GasLists for the others.
  T_zq_HITRAN* GasList(TzqColumnGas gas) const;
  // The list of the second series: GasList(Controls.Gas).
  T_zq_HITRAN* SecondList() const { return GasList(Controls.Gas); }
  // The water-vapour continuum file, read through ReadContinuumFile: the session's table on success;
  // a file refused is named with the reason (source "Continuum") and the table held stays as it was.
  TzqStatus LoadContinuum(const std::string& file);
  // No table (the switch alone does not load one).
  void ClearContinuum();
  // The table another session holds, shared (none: the continuum off); the switch follows it.
  void ShareContinuum(std::shared_ptr<const TzqContinuumTable> table);
  const std::shared_ptr<const TzqContinuumTable>& ContinuumTable() const { return continuum_; }
  // Whether the plots, paths and Power table add the continuum (ContinuumUsed of the controls).
  bool UsesContinuum() const;
  // Whether the column adds it: the switch and a table.
  bool ColumnUsesContinuum() const;

  // Where a front end keeps the series of the gas roles. Series gives a role's series (or none); Plot,
  // when set, replots a role from its list the front end's way (the window: through its chart tools,
  // with the properties dialog's settings), else the list fills Series(role) for the chosen plot.
  struct TSeriesSink {
    std::function<TLineSeries*(TSeriesRole role)> Series;
    std::function<void(TSeriesRole role, T_zq_HITRAN& list)> Plot;
  };

  T_zq_HITRAN* ListOf(TSeriesRole role) const;

  // Copies the controls into the three lists (the combined one at mixing ratio 1: it carries them).
  void ApplyControls();
  // Combined = Water ppm x water spectrum + co2Factor x CO2 ppm x CO2 spectrum, marked as written from
  // outside. The sources' spectra are used as they stand.
  void CombineSpectra(double co2Factor = 1);

  // The chart's three series for the plot chosen: water and CO2 from their lists, then the combined one
  // from them (cleared when a source refused). Under the HITRAN physics every grid plot is formed from
  // the gases' cross-sections (zqHitranMode.h) and written into Series(role) directly.
  TzqStatus ComputeSpectra(const TSeriesSink& sink);
  // The "Plot Path" pipeline: lines adjusted to pressure (mb) and temperature (K), as the window holds
  // them in 32-bit reals, then the mean paths of the two gases and of their combination.
  TzqStatus ComputePaths(const TSeriesSink& sink, float pressure, float temperature);
  // One of the line views into the water and CO2 series. AdjustedSpectrum takes the lines to pressure
  // (mb) and temperature (K) first. Under the HITRAN physics the mean paths and the spectrum come
  // from the cross-sections at the controls (Voigt unless a HITRAN profile is chosen); the lines as
  // read are the same in both physics.
  TzqStatus ComputeLineView(TLineView view, const TSeriesSink& sink, float pressure = 0,
                            float temperature = 0);
  // The Power page's table for a path of P metres, from the spectra as the last ComputeSpectra left
  // them (each integral brings its list's spectrum up to date first). Under the HITRAN physics, from the
  // cross-sections at the controls with the exact Planck function.
  TPowerResult ComputePower(double P);

  // The atmosphere column of every gas's list (Water, CO2, GasLists) in the HITRAN line physics (Voigt at
  // each layer's temperature and pressure). Layer cross-sections are kept between calls, so a new CO2
  // multiple or humidity on the same lists, grid and layers only re-solves the transfer; a list read again is
  // noticed and its cross-sections computed anew. Runs on the calling thread (with the worker pool).
  TColumnRun ComputeColumn(const TzqColumnSettings& settings, const TzqColumnProgress& progress = {});
  // The warming of the ground and troposphere that restores the observer's flux after the CO2
  // multiple, water held as hold (zqColumnBalance), on the same column and caches.
  TBalanceRun ComputeBalance(const TzqColumnSettings& settings, TzqHold hold,
                             const TzqColumnProgress& progress = {});

private:
  // A list and the revision of its lines, as the column source last saw them.
  struct TListKey {
    const T_zq_HITRAN* list = nullptr;
    uint64_t revision = 0;
    bool operator==(const TListKey&) const = default;
  };
  static TListKey key_of(const T_zq_HITRAN* list);

  std::shared_ptr<const TzqContinuumTable> continuum_;
  std::unique_ptr<TzqColumn> column_;
  std::unique_ptr<TzqHitranColumnSource> column_source_;
  std::unique_ptr<TzqContinuumColumnSource> column_continuum_;
  TzqColumnSources column_sources_{};
  TzqPerGas<TListKey> column_lists_{};

  bool sources_refused(TzqStatus& status) const;
  // Readies the column and its sources for settings; false with the refusal in status.
  bool prepare_column(const TzqColumnSettings& settings, const TzqColumnProgress& progress,
                      TzqStatus& status);
  // The lists' notes, a note for each gas the profile holds but no list serves, and the column's own.
  void note_column(const TzqColumnResult& result, TzqStatus& status) const;
};

} // namespace zqsession
