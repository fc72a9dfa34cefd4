// The Column page's controls and its background run of the atmosphere column or of the warming to
// balance. The run works on a session and copies of the two line lists of its own, so the window may
// read a list again (or close) while it runs; progress and the cancel flag are the column's own. A run
// can be kept as the background the next runs are drawn and compared against.
#pragma once

#include "zqColumn.h"
#include "zqColumnReport.h"
#include "zqSession.h"

#include <QObject>
#include <QString>

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QProgressBar;
class QPushButton;
class QThread;
class QTimer;
class T_zq_HITRAN;
struct TzqContinuumTable;
class TzqNumberEdit;
class TzqSpinEdit;

// What one run of the page did: the column, when it was computed, and the warming to balance, when it
// was asked for (after the column, which must have computed).
struct TColumnPageRun {
  std::optional<zqsession::TColumnRun> Column;
  std::optional<zqsession::TBalanceRun> Balance;
  TzqHold Hold = TzqHold::Vapour; // of the balance
  // Both runs' refusals and notes, the column's first.
  zqsession::TzqStatus Status() const;
};

class TzqColumnPage : public QObject {
  Q_OBJECT
public:
  explicit TzqColumnPage(QObject* parent);
  ~TzqColumnPage() override; // cancels a run and waits for it

  // Inputs (K, %, ppm, multiple, km, layers, cm-1) and results (W/m2, read-only).
  TzqSpinEdit* SurfaceTemperature = nullptr;
  TzqSpinEdit* RelativeHumidity = nullptr;
  TzqSpinEdit* CO2 = nullptr;
  TzqSpinEdit* CO2Factor = nullptr;
  TzqPerGas<TzqSpinEdit*> GasFactor{}; // the multiples of O3, N2O and CH4 in the changed state
  TzqSpinEdit* Warming = nullptr;      // K, of the CO2 multiple's state (TzqColumnSettings::Offset)
  QComboBox* Hold = nullptr;           // "Fixed vapour", "Fixed RH": how water follows a warming
  TzqSpinEdit* TopAltitude = nullptr;
  TzqSpinEdit* Layers = nullptr;
  TzqSpinEdit* WavenumberMin = nullptr;
  TzqSpinEdit* WavenumberMax = nullptr;
  // The atmosphere: item data is the settings value ("standard", a built-in name or a profile's path).
  QComboBox* Atmosphere = nullptr;
  QPushButton* OpenProfileButton = nullptr;
  QCheckBox* SurfaceFromTable = nullptr; // a table's ground at the table's own temperature
  TzqSpinEdit* H2OScale = nullptr;       // multiple of a table's water vapour
  TzqSpinEdit* ObserverAltitude = nullptr;
  QComboBox* Look = nullptr; // "Looking down", "Looking up"
  QPushButton* ComputeButton = nullptr;
  QPushButton* BalanceButton = nullptr; // "Find warming to balance", for the hold chosen
  QPushButton* CancelButton = nullptr;
  QProgressBar* Progress = nullptr;
  TzqNumberEdit* OLR1x = nullptr;
  TzqNumberEdit* OLRNx = nullptr;
  TzqNumberEdit* ForcingTOA = nullptr;
  TzqNumberEdit* ForcingTropopause = nullptr;
  TzqNumberEdit* SurfaceDownwelling1x = nullptr;
  TzqNumberEdit* SurfaceDownwellingNx = nullptr;
  TzqNumberEdit* SurfaceEmission = nullptr;
  TzqNumberEdit* ObserverFlux1x = nullptr;
  TzqNumberEdit* ObserverFluxNx = nullptr;
  TzqNumberEdit* EmissionHeight1x = nullptr;   // km
  TzqNumberEdit* TropopauseAltitude = nullptr; // km
  TzqNumberEdit* TropopausePressure = nullptr; // mb
  QLabel* AtmosphereCaption = nullptr;         // of the run the results are for
  // Every figure in the order of zqsession::ColumnFigureRows(): this run, the background, this run minus
  // the background (the last two shown only while a background is kept).
  std::vector<TzqNumberEdit*> Figures, BackgroundFigures, DifferenceFigures;
  // The balance figures in the order of zqsession::BalanceFigureRows(), in the same three columns.
  std::vector<TzqNumberEdit*> BalanceFigures, BackgroundBalanceFigures, DifferenceBalanceFigures;
  QGridLayout* ResultsGrid = nullptr;
  QLabel* Coverage = nullptr; // the line lists' holes inside the band of the results
  QLabel* Gases = nullptr;    // the gases the column uses, each with its list file and amount

  // The column's plot: spectra or heating rates, flux or brightness temperature, cm-1 or um; a kept
  // background and the difference from it; the CSV export of both runs.
  QComboBox* PlotView = nullptr; // "Outgoing radiation", "Heating rates"
  QComboBox* Quantity = nullptr; // "Flux", "Brightness temperature"
  QComboBox* XUnit = nullptr;    // "cm-1", "um"
  QPushButton* KeepButton = nullptr;
  QPushButton* ClearBackgroundButton = nullptr;
  QCheckBox* ShowDifference = nullptr;
  QCheckBox* ShowRebalanced = nullptr; // the latest balance's spectrum beside 1x and Nx
  QPushButton* ExportButton = nullptr;
  bool HeatingShown() const;
  zqsession::TColumnQuantity QuantityChoice() const;
  zqsession::TColumnXUnit XUnitChoice() const;
  // Selects the item of an atmosphere value, adding one named by its file name for a profile's path.
  void SelectAtmosphere(const std::string& value);

  // The last computation that finished, with the settings it was made for; empty before one did and
  // after a refused or cancelled one.
  std::optional<TzqColumnResult> Last;
  TzqColumnSettings LastSettings;
  // What the plot draws of it, and of the run kept as background (which stays through refusals).
  std::optional<zqsession::TColumnSnapshot> Current, Background;

  // The Outgoing Radiation plot is on the chart; the legend texts and blackbody temperatures it replaced.
  bool PlotShown = false;
  std::vector<QString> SavedLegends;
  std::vector<double> SavedBlackbodyTemperatures;
  // The plot's Planck curves (K): the surface's and two colder ones, shown and set in the Blackbody panel.
  std::array<double, 3> PlanckTemperatures{288, 250, 220};
  bool SettingPlanck = false; // while the panel is given the plot's temperatures
  QString SavedBottomTitle;   // the bottom axis' title and range the column's plots replaced
  bool SavedBottomAutomatic = true;
  double SavedBottomMin = 0, SavedBottomMax = 1;
  // The chart series the column adds after those of the chart tools (background, heating curves); -1
  // until the first column plot.
  int FirstExtraSeries = -1;
  double ShownTopAltitude = 0; // the top the observer follows while it sits there

  bool Running() const { return thread_ != nullptr; }
  // Starts a run of the column on copies of the lists (kept while the lists stay the same, so the
  // column's cache of layer cross-sections serves the next run); false when one is running already.
  bool Start(const T_zq_HITRAN* water, const T_zq_HITRAN* co2, const TzqColumnSettings& settings);
  // Starts the warming to balance for hold, after the column itself when column is set (the results
  // shown are not those of settings); the balance joins the current run's. False while one runs.
  bool StartBalance(const T_zq_HITRAN* water, const T_zq_HITRAN* co2, const TzqColumnSettings& settings,
                    TzqHold hold, bool column);
  // The continuum the next run adds to water (the window session's table when its column uses it, else
  // none).
  void UseContinuumOf(const zqsession::TzqSession& session);
  // A list is not the one the last run copied (another, none, or read again since), or the continuum
  // of the next run is not the last run's.
  bool ListsChanged(const T_zq_HITRAN* water, const T_zq_HITRAN* co2) const;
  // The lists of O3, N2O and CH4 the next run copies (any may be none: that gas absorbs nothing).
  void SetTraceLists(const TzqPerGas<const T_zq_HITRAN*>& lists) { trace_ = lists; }
  void Cancel() { cancel_ = true; }
  // Cancels a run and returns when its thread has ended; its result is dropped.
  void CancelAndWait();
  // Runs on the window's thread when a run ended (not after CancelAndWait).
  std::function<void(const TColumnPageRun&)> OnFinished;

private:
  bool start(const T_zq_HITRAN* water, const T_zq_HITRAN* co2, const TzqColumnSettings& settings, bool column,
             std::optional<TzqHold> balance);
  void finished();
  void snapshot(const T_zq_HITRAN* water, const T_zq_HITRAN* co2);

  zqsession::TzqSession session_;
  std::unique_ptr<T_zq_HITRAN> water_, co2_;
  TzqPerGas<const T_zq_HITRAN*> trace_{};
  TzqPerGas<std::unique_ptr<T_zq_HITRAN>> trace_copies_;
  std::shared_ptr<const TzqContinuumTable> next_continuum_;
  std::atomic<bool> cancel_{false};
  std::atomic<int> permille_{0};
  QThread* thread_ = nullptr;
  QTimer* timer_ = nullptr;
  TColumnPageRun run_;
  TzqColumnSettings settings_;
};
