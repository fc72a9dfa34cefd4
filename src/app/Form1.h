// TForm1: the main window. Its controls and event wiring are defined in Form1_Definition.cpp; the handlers
// live by concern in Form1_Startup.cpp (start-up and loading), Form1_Plot.cpp (plot assembly and chart
// mouse handling), Form1_Parameters.cpp (physical parameter controls), Form1_Power.cpp (absorbed power)
// Form1_Menu.cpp (menu bar, first-run demonstration lists), Form1_Settings.cpp (saved settings),
// Form1_Desktop.cpp (shortcuts, tooltips) and Form1_Column.cpp (atmosphere column).
#pragma once

#include "zqDatafileLoader.h"
#include "zqPhysicalControls.h"
#include "zqPlotTitles.h"
#include "zqProblemBoard.h"
#include "zqSession.h"

#include <QMainWindow>

class QComboBox;

#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

class QAction;
class QCheckBox;
class QDialog;
class QDragEnterEvent;
class QDropEvent;
class QLabel;
class QMenu;
class QPushButton;
class QTabWidget;
class QToolBar;
class QWidget;
class T_zq_Atmosphere;
class T_zq_Blackbody;
class T_zq_HITRAN;
class TChart;
class TChartAxis;
class TLineSeries;
class TzqChart_Tools;
class TzqColumnPage;
struct TColumnPageRun;
class TzqINI_File;
class TzqLegendElement;
class TzqNumberEdit;
class TzqRadioGroup;
class TzqSpinEdit;

// Whether start-up writes the demonstration line lists when the default ones are missing.
enum class TFirstRun { DemoLists, Off };

class TForm1 : public QMainWindow {
  Q_OBJECT
public:
  // Builds the window from its definition, loads the configuration and the data files, draws the first
  // plot and runs FormCreate: the whole start-up.
  explicit TForm1(QWidget* parent = nullptr, TFirstRun firstRun = TFirstRun::DemoLists);
  ~TForm1() override;

  // ---- components
  std::unique_ptr<TzqINI_File> zqINI_File1;
  TChart* Chart1 = nullptr;
  TzqChart_Tools* zqChart_Tools1 = nullptr;

  // ---- controls (owned by the window)
  QTabWidget* PageControl1 = nullptr;
  QWidget* UITabSheet_General = nullptr;
  QWidget* UITabSheet_TP = nullptr;
  QWidget* UITabSheet_MeanPath = nullptr;
  QWidget* UITabSheet_Power = nullptr;
  QWidget* UITabSheet_Column = nullptr;
  QWidget* UITabSheet_test = nullptr;

  TzqRadioGroup* Plot_Type_UIRadioGroup = nullptr;
  TzqRadioGroup* Spectra_Type_UIRadioGroup = nullptr;
  TzqRadioGroup* Scaling_UIRadioGroup = nullptr;
  TzqRadioGroup* PathType_UIRadioGroup = nullptr;
  TzqRadioGroup* Atmosphere_Layer_UIRadioGroup = nullptr;
  TzqRadioGroup* H2O_Mixing_Ratio_UIRadioGroup = nullptr;
  TzqRadioGroup* Planet_UIRadioGroup = nullptr;
  TzqRadioGroup* Line_Physics_UIRadioGroup = nullptr; // item 0 Classic, 1 HITRAN (the enum's values)
  TzqRadioGroup* BB_Power_RadioGroup = nullptr;
  QCheckBox* Continuum_UICheckBox = nullptr; // beside "Line physics": add the water-vapour continuum
  QCheckBox* BB_Envelope_UICheckBox = nullptr;
  QCheckBox* Transparent_UICheckBox = nullptr;
  QPushButton* Button1 = nullptr;
  QPushButton* Absorbance_UIButton = nullptr;
  QPushButton* Mean_Path_UIButton = nullptr;
  QPushButton* Plot_Linewidth_UIButton = nullptr;
  QPushButton* Plot_Linewidth_Path_UIButton = nullptr;
  QPushButton* L3_UIButton = nullptr;

  TzqSpinEdit* Wavenumber_Min_UIzqSpinEdit = nullptr;
  TzqSpinEdit* Wavenumber_Max_UIzqSpinEdit = nullptr;
  TzqSpinEdit* Water_Concentration_UIzqSpinEdit = nullptr;
  TzqSpinEdit* CO2_Concentration_UIzqSpinEdit = nullptr;
  // The second series' gas (CO2, O3, N2O, CH4) and the amount of a gas other than CO2 (ppm).
  QComboBox* Gas_UIComboBox = nullptr;
  TzqSpinEdit* Gas_Concentration_UIzqSpinEdit = nullptr;
  TzqSpinEdit* RH_UIzqSpinEdit = nullptr;
  TzqNumberEdit* Saturated_H2O_UIzqSpinEdit = nullptr;
  TzqSpinEdit* Temp_K_UIzqSpinEdit = nullptr;
  TzqSpinEdit* Temp_C_UIzqSpinEdit = nullptr;
  TzqSpinEdit* Temp_F_UIzqSpinEdit = nullptr;
  TzqSpinEdit* Pressure_UIzqSpinEdit = nullptr;
  TzqSpinEdit* Wavenumber_UIzqSpinEdit = nullptr;
  TzqSpinEdit* Wavelength_UIzqSpinEdit = nullptr;
  TzqSpinEdit* Altitude_UIzqSpinEdit = nullptr;
  TzqNumberEdit* Pressure2_UIzqNumberEdit = nullptr;
  TzqNumberEdit* Temperature2_UIzqNumberEdit = nullptr;
  TzqSpinEdit* Max_Mean_Free_Path_UIzqSpinEdit = nullptr;
  TzqSpinEdit* Min_Mean_Free_Path_UIzqSpinEdit = nullptr;
  TzqSpinEdit* Path_Multiplier_UIzqSpinEdit = nullptr;
  TzqNumberEdit* Percent_Absorbed_UIzqNumberEdit = nullptr;
  TzqSpinEdit* alpha_Multiplier_UIzqSpinEdit = nullptr;
  TzqSpinEdit* LayerThickness_UIzqSpinEdit = nullptr;
  TzqSpinEdit* Temp_K_2_UIzqSpinEdit = nullptr;
  TzqSpinEdit* Power_UIzqSpinEdit = nullptr;
  TzqSpinEdit* Wavenumber_Min_2_UIzqSpinEdit = nullptr;
  TzqSpinEdit* Wavenumber_Max_2_UIzqSpinEdit = nullptr;
  TzqNumberEdit* CO2_bb_1x_UIEdit = nullptr;
  TzqNumberEdit* CO2_bb_2x_UIEdit = nullptr;
  TzqNumberEdit* H2O_bb_1x_UIEdit = nullptr;
  TzqNumberEdit* Total_bb_1x_UIEdit = nullptr;
  TzqNumberEdit* Total_bb_2x_UIEdit = nullptr;
  TzqNumberEdit* Combined_1x_UIzqNumberEdit = nullptr;
  TzqNumberEdit* Combined_2x_UIzqNumberEdit = nullptr;
  TzqNumberEdit* Band_Power_UIzqNumberEdit = nullptr; // HITRAN physics: blackbody power over the band
  TzqNumberEdit* Power_Path_UIzqNumberEdit = nullptr; // read-only: the path the results are for (m)
  TzqSpinEdit* Series_3_zqSpinEdit = nullptr;
  TzqSpinEdit* Series_4_zqSpinEdit = nullptr;
  TzqSpinEdit* Series_5_zqSpinEdit = nullptr;
  TzqLegendElement* Series_0_UILegend = nullptr;
  TzqLegendElement* Series_1_UILegend = nullptr;
  TzqLegendElement* Series_2_UILegend = nullptr;
  TzqLegendElement* Series_3_UILegend = nullptr;
  TzqLegendElement* Series_4_UILegend = nullptr;
  TzqLegendElement* Series_5_UILegend = nullptr;
  QLabel* DemoLists_UILabel = nullptr; // status bar notice while demonstration lists are shown
  QLabel* LineFiles_UILabel = nullptr; // status bar: the line files, once one was opened from the menu

  // ---- menu bar
  QMenu* File_UIMenu = nullptr;
  QMenu* Help_UIMenu = nullptr;
  QAction* OpenINI_UIAction = nullptr;
  QAction* SaveChartImage_UIAction = nullptr;
  QAction* OpenWaterLines_UIAction = nullptr;
  QAction* OpenCO2Lines_UIAction = nullptr;
  QMenu* Recent_UIMenu = nullptr;
  QAction* ExportData_UIAction = nullptr;
  QAction* CopyData_UIAction = nullptr;
  QAction* SaveSettings_UIAction = nullptr;
  QAction* SaveSettingsAs_UIAction = nullptr;
  QAction* Exit_UIAction = nullptr;
  QAction* About_UIAction = nullptr;
  QAction* HitranHelp_UIAction = nullptr;
  QAction* ContinuumHelp_UIAction = nullptr;
  QAction* OpenContinuum_UIAction = nullptr;
  QAction* UserGuide_UIAction = nullptr;

  // ---- chart toolbar and views (Form1_Views.cpp)
  QToolBar* Chart_UIToolBar = nullptr;
  QAction* ZoomIn_UIAction = nullptr;
  QAction* SaveImageAt_UIAction = nullptr;
  QAction* CopyImage_UIAction = nullptr;
  QAction* Legend_UIAction = nullptr;
  QAction* BandLabels_UIAction = nullptr;
  QAction* WavelengthAxis_UIAction = nullptr;
  QLabel* Readout_UILabel = nullptr;  // status bar: what lies under the cursor
  QLabel* Coverage_UILabel = nullptr; // status bar: the line lists' holes in the plotted range
  QDialog* UserGuide_UIDialog = nullptr;
  void ShowBandLabels(bool on);
  // Shades the holes of the shown lists' coverage in the plotted range and names them.
  void ShowLineGaps();
  void ShowReadoutAt(int x, int y);
  // Asks size and scale, then the file, and saves the chart image there.
  void SaveImageAt_UIActionClick(QObject* Sender);
  void UserGuide_UIActionClick(QObject* Sender);

  // ---- window state
  TLoadedDatafiles LoadedDatafiles;
  T_zq_HITRAN* WaterLines = nullptr;
  T_zq_HITRAN* CO2Lines = nullptr;
  T_zq_HITRAN* CombinedLines = nullptr;
  // The lists of O3, N2O and CH4 ("[O3] Filename" ..., File > Open line list for ...); none for a gas
  // without one. The session's GasLists point at them.
  TzqPerGas<std::unique_ptr<T_zq_HITRAN>> TraceGasLists;
  TzqPerGas<QAction*> OpenGasLines_UIActions{};
  // The computation the window drives: its controls written in as typed values, the three line lists.
  zqsession::TzqSession Session;
  TLineSeries* WaterSeries = nullptr;
  TLineSeries* CO2Series = nullptr;
  TLineSeries* CombinedSeries = nullptr;
  std::unique_ptr<T_zq_Atmosphere> Atmosphere;
  float CurrentTemperatureK = 0;
  float CurrentTemperatureC = 0;
  float CurrentTemperatureF = 0;
  bool UpdatingTemperatures = false;
  bool UpdatingWavenumberRange = false;
  bool UpdatingWaterVapour = false;
  bool ChartScrolled = false;
  // Set while the window is built from its definition.
  bool Loading = true;
  // The start-up handlers in the order they ran ("zqINI_File1ReadComplete", "FormCreate").
  std::vector<std::string> StartupLog;

  // Opens the chart properties at chart pixels X, Y (a right click that did not end a scroll): the chart
  // tools' ShowPropertiesAt, which makes the properties dialog on first use.
  std::function<void(int X, int Y)> OnShowChartProperties;
  // Runs after every repaint of the chart, so an open properties dialog can show the chart as drawn.
  std::function<void()> OnChartDrawn;
  // Starts program with args as a new process; false when it could not be started.
  std::function<bool(const std::string& program, const std::vector<std::string>& args)> OnStartProgram;
  // The sections whose line list was a demonstration list at start-up (empty with real data).
  std::vector<std::string> DemoLineListSections;
  // Line files opened lately, newest first; saved with the settings.
  std::vector<std::string> RecentFiles;
  // The file the session's continuum table was read from; empty while none is loaded.
  std::string ContinuumFile;

  // ---- start-up and loading (Form1_Startup.cpp)
  void zqINI_File1ReadComplete(TzqINI_File* Sender);
  void LoadDatafiles();
  void ReadDatafileParameters(TzqDatafile& object, const std::string& section);
  TzqDatafile* FindDatafile(const std::string& name) const;
  T_zq_HITRAN* FindLineList(const std::string& name) const;
  void FormCreate(QObject* Sender);
  void FormClose(QObject* Sender);

  // ---- plot assembly and chart mouse handling (Form1_Plot.cpp)
  void Select_Plot(QObject* Sender);
  void ApplyControls();
  // The three plot radio groups and the line physics as typed choices.
  zqapp::PlotChoice PlotChoiceOfControls() const;
  TLinePhysics LinePhysicsOfControls() const;
  // Selects a line physics and gives the Spectra Type group that physics' items, keeping the chosen
  // type as close as the new items allow; draws nothing.
  void ShowLinePhysics(TLinePhysics physics);
  void Line_Physics_UIRadioGroupClick(QObject* Sender);
  // Selects the plot and spectra type items of the start options (texts of the plot-mode table; empty
  // keeps an item) and draws; the reason when one cannot be selected under the physics shown.
  std::string SelectStartPlot(const std::string& plot, const std::string& spectra);
  void RefreshBlackbodies();
  // The chart legend's names of the gas curves for the plot of the controls.
  void ShowGasLegends();
  void Mean_Path_UIButtonClick(QObject* Sender);
  void Absorbance_UIButtonClick(QObject* Sender);
  void Path_Min_Max_UIEditKeyUp(QObject* Sender);
  void Path_Multiplier_UIzqSpinEditChange(QObject* Sender);
  void Path_Multiplier_UIzqSpinEditKeyUp(QObject* Sender);
  void Path_Multiplier_UIEditExit(QObject* Sender);
  void Plot_Linewidth_UIButtonClick(QObject* Sender);
  void Plot_Linewidth_Path_UIButtonClick(QObject* Sender);
  void Transparent_UICheckBoxClick(QObject* Sender);
  void Chart1AllowScroll(TChart& Sender, TChartAxis& Axis);
  void Chart1MouseUp(TChart& Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
  void Chart1ClickBackground(TChart& Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X,
                             int Y);
  void Chart1ClickAxis(TChart& Sender, TChartAxis& Axis, Qt::MouseButton Button, Qt::KeyboardModifiers Shift,
                       int X, int Y);
  void Chart1ClickSeries(TChart& Sender, TLineSeries& Series, int ValueIndex, Qt::MouseButton Button,
                         Qt::KeyboardModifiers Shift, int X, int Y);
  void Chart1AfterDraw(TChart& Sender);
  void ClampEditText(TzqNumberEdit* edit, double lower, double upper);

  // ---- physical parameter controls (Form1_Parameters.cpp)
  void Wavenumber_UIzqSpinEditChange(QObject* Sender);
  void Wavelength_UIzqSpinEditChange(QObject* Sender);
  void Temp_K_UIzqSpinEditChange(QObject* Sender);
  void Temp_C_UIzqSpinEditChange(QObject* Sender);
  void Temp_F_UIzqSpinEditChange(QObject* Sender);
  void SynchroniseTemperatures();
  void Temperature_UIEditExit(QObject* Sender);
  void Atmosphere_Layer_UIRadioGroupClick(QObject* Sender);
  void Pressure_UIzqSpinEditChange(QObject* Sender);
  void SelectCustomLayer();
  void Altitude_UIzqSpinEditChange(QObject* Sender);
  void Pressure2_UIEditDblClick(QObject* Sender);
  void Temperature2_UIEditDblClick(QObject* Sender);
  void Wavenumber_MinMax_UIzqSpinEditChange(QObject* Sender);
  void Planet_UIRadioGroupClick(QObject* Sender);
  void H2O_Mixing_Ratio_UIRadioGroupClick(QObject* Sender);
  void Water_Concentration_UIzqSpinEditChange(QObject* Sender);
  void RH_UIzqSpinEditChange(QObject* Sender);

  // ---- menu bar and first run (Form1_Menu.cpp)
  // Opens another INI file: the program starts again on it (/ini FILE) and this window closes, since the
  // configuration is read once per run.
  void OpenINI_UIActionClick(QObject* Sender);
  // Saves the chart image through the chart properties dialog's save (its image choice and formats).
  void SaveChartImage_UIActionClick(QObject* Sender);
  void Exit_UIActionClick(QObject* Sender);
  void About_UIActionClick(QObject* Sender);
  void HitranHelp_UIActionClick(QObject* Sender);
  // Before the data files load: writes the demonstration lists when the default line lists are missing.
  void ProvideDemoLineLists();
  // After they load: title and status bar say so when a line list is a demonstration list.
  void ShowDemoNotice();

  // ---- the water-vapour continuum (Form1_Continuum.cpp)
  void OpenContinuum_UIActionClick(QObject* Sender);
  void ContinuumHelp_UIActionClick(QObject* Sender);
  void Continuum_UICheckBoxClick(QObject* Sender);
  // Reads file as the continuum and plots with it; a refused file is named with the reason and the table
  // and plot shown stay. True when it was read.
  bool OpenContinuumFile(const std::string& file);
  // At start-up: the INI file's continuum file, else the one beside the water line list, when known.
  void LoadStartupContinuum();
  // The check box (enabled while a file is loaded) and the Column page's next run follow the session.
  void ShowContinuumState();
  // Whether the plots, paths and Power table of the controls add the continuum.
  bool ContinuumUsedByControls() const;

  // ---- line lists and plotted data through the File menu (Form1_Files.cpp)
  void OpenWaterLines_UIActionClick(QObject* Sender);
  void OpenCO2Lines_UIActionClick(QObject* Sender);
  // The open dialog for the line list of section ("h2o" or "co2").
  void AskForLineList(const std::string& section);
  // Reads picked (a line file, a HITRAN-API .data or .header file or its folder) as the line list of
  // section and shows it at once; on failure says why and keeps the list shown. True when it was opened.
  bool OpenLineList(const std::string& section, const std::string& picked);
  // Reads the INI file's lists of O3, N2O and CH4 at start-up; a missing or unusable one is said by name.
  void LoadTraceGasLists();
  void AskForTraceGasList(TzqColumnGas gas);
  // Reads picked as the line list of O3, N2O or CH4; on failure says why and keeps the list it had.
  bool OpenTraceGasList(TzqColumnGas gas, const std::string& picked);
  TzqPerGas<const T_zq_HITRAN*> TraceLists() const;
  // The Column page's line of gases: each with its list file and amount.
  void ShowColumnGases();
  // A file dropped on the window: asks which gas, then opens it.
  void DropLineList(const std::string& file);
  void ShowLineFiles();
  void RebuildRecentMenu();
  // The plotted gas series as a table (CSV with ',', spreadsheet text with '\t').
  std::string PlottedDataText(char separator) const;
  bool ShowsLinePlot() const;
  void ExportData_UIActionClick(QObject* Sender);
  // The file chosen in a save dialog for a CSV export (in the settings' folder), none when cancelled.
  std::optional<std::string> ChooseCsvToSave(const std::string& title, const std::string& fileName);
  void CopyData_UIActionClick(QObject* Sender);

  // ---- saved settings (Form1_Settings.cpp): written only on request
  void SaveSettings_UIActionClick(QObject* Sender);
  void SaveSettingsAs_UIActionClick(QObject* Sender);
  // Writes the window's state into the INI store (not yet to disk).
  void StoreSettings();
  // StoreSettings, then the store saved to file; a failure is shown and gives false.
  bool SaveSettingsTo(const std::string& file);
  // At start-up, before the first plot: the saved control values and plot choices.
  void RestoreSavedControls();
  // After start-up: the saved size and position of the window.
  void RestoreGeometry();

  // ---- absorbed power (Form1_Power.cpp)
  void L3_UIButtonClick(QObject* Sender);
  void Power_UIzqSpinEditChange(QObject* Sender);
  void Temp_K_2_UIzqSpinEditChange(QObject* Sender);
  void Wavenumber_MinMax_2_UIzqSpinEditChange(QObject* Sender);
  void Blackbody_UIzqSpinEditChange(QObject* Sender);

  // ---- atmosphere column (Form1_Column.cpp)
  // The Column page's controls and its background run (a child of the window; Form1_Column.h).
  TzqColumnPage* ColumnPage = nullptr;
  void Column_Compute_UIButtonClick(QObject* Sender);
  void Column_Cancel_UIButtonClick(QObject* Sender);
  // The warming to balance for the page's water hold (the column first when the results shown are for
  // other inputs); its figures join the results and its spectrum the Outgoing Radiation plot.
  void Column_Balance_UIButtonClick(QObject* Sender);
  // The page's values as column settings, or empty with the refusal added to status.
  std::optional<TzqColumnSettings> ColumnSettingsOfControls(zqsession::TzqStatus& status) const;
  // The Outgoing Radiation plot: the last column's top spectrum at 1x and Nx CO2 (series 0 and 1) with
  // Planck curves at the surface temperature, 250 K and 220 K (series 3 to 5); computes the column
  // with the Column page's values first when none was computed yet.
  void DrawOutgoingRadiation();
  // Gives the series and legends back to the line lists and blackbodies after that plot.
  void LeaveOutgoingRadiation();
  // A Blackbody panel temperature edited while that plot is shown: the plot's Planck curve follows.
  void OutgoingRadiationPlanckEdited(TzqSpinEdit* spin);
  // Picks a profile file for the Column page's atmosphere; a file that cannot serve is said and not taken.
  void Column_OpenProfile_UIButtonClick(QObject* Sender);
  // The inputs a choice of atmosphere, surface or plot makes meaningful are the ones enabled.
  void ColumnInputsChanged();
  // An observer at the top stays at the top when the top changes.
  void Column_Top_Changed();
  // A choice of the column's plot (view, quantity, x unit, difference): that plot is drawn.
  void ColumnPlotChoiceChanged();
  // Keeps the shown run as the background of the plot and the results; Clear drops it.
  void Column_Keep_UIButtonClick(QObject* Sender);
  void Column_ClearBackground_UIButtonClick(QObject* Sender);
  // Writes the spectra of this run and the background with every setting of each as a CSV file.
  void Column_Export_UIButtonClick(QObject* Sender);
  // The figures of this run, the background and their difference in the results.
  void ShowColumnFigures();
  // The column's plot is drawn, and its x axis is not wavenumbers (heating rates, or wavelengths).
  bool ChartXIsColumnOwn() const;
  // A wavenumber range (cm-1) on the chart's x axis as drawn; none when the x axis is no spectrum.
  std::optional<std::pair<double, double>> ChartXOfBand(double lo, double hi) const;
  // Selects the first plot type from the INI file, if it names one.
  void ReadStartPlotType();

  // The status bar's explanation of why something could not be computed (empty when all is well).
  QString StatusText() const;

protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

private:
  // Window definition (Form1_Definition.cpp).
  void DefineWindow();
  void WireEvents();
  void BuildGeneralPage();
  void BuildTPPage();
  void BuildMeanPathPage();
  void BuildPowerPage();
  void BuildColumnPage();
  void ColumnFinished(const TColumnPageRun& run);
  // A run cannot start with the page's values: no results of the old ones stay, the reason is said.
  void ColumnInputsRefused(const zqsession::TzqStatus& status);
  void DrawColumnSpectra();
  void DrawColumnHeating();
  TLineSeries& ColumnExtraSeries(int k); // the k-th of the column's own series, added when needed
  void BuildTestPage();
  QWidget* BuildBelowChart();
  QWidget* BuildChartBox(); // the chart under its toolbar
  void BuildMenuBar();
  void DefineDesktopHabits();
  // The File menu commands DefineDesktopHabits adds, each with its handler (wired in WireEvents).
  std::vector<std::pair<QAction*, void (TForm1::*)(QObject*)>> DesktopHandlers();

  // Shared steps.
  void BindBlackbody(const std::string& section, TzqSpinEdit* spin, TzqLegendElement* legend);
  T_zq_Blackbody* BlackbodyOfSeries(int index) const;
  void DrawBlackbody(T_zq_Blackbody& b, TLineSeries& series, double kelvin);
  std::optional<double> SaturationMixingRatio();
  void TakeTemperature(TzqSpinEdit* typed, std::optional<zqapp::Temperatures> t);
  void WatchNumberFields();
  static std::string FieldLabel(const TzqNumberEdit* e);
  // "<field>: <why>" for the first plot input whose text is no number; empty when all read.
  std::string UnreadableInputs() const;
  void SetChartTitles(const std::string& firstLine, const std::string* secondLine, const std::string& left);
  void ClearLineSeries();
  void PickWavenumberAt(Qt::MouseButton button, int x, int y);
  // The status bar's reason from source (see TzqProblemBoard); field names the edit whose value was
  // refused, which then shows red with the reason as its tooltip until the source succeeds again.
  void ReportProblem(const std::string& source, const std::string& why, const std::string& field = {});
  void ClearProblem(const std::string& source);
  // Source's reason is a computation's first refusal, else its first note; cleared when it has neither.
  void ShowStatus(const std::string& source, const zqsession::TzqStatus& status);
  // The chart's gas series as the session fills them; throughTools replots them through the chart tools.
  zqsession::TzqSession::TSeriesSink ChartSink(bool throughTools);
  // A layer's INI value split into its four tokens, or empty.
  std::optional<zqapp::LayerTokens> LayerTokensOf(int index) const;
  std::string LayerProblem(int index, const std::string& token) const;

  std::unordered_map<QObject*, std::function<void(QObject*)>> keyUpHandlers_;
  std::unordered_map<QObject*, std::function<void(QObject*)>> doubleClickHandlers_;
  QLabel* statusLabel_ = nullptr;
  zqsession::TzqProblemBoard problems_;
  bool tearingDown_ = false;
  std::vector<std::string> refusedFields_; // the edits shown refused now
  void show_problems();
  bool closed_ = false;
  TFirstRun firstRun_ = TFirstRun::DemoLists;
};

// Gives an edit the value v unless its text already reads as v; unlike SetValue alone this also writes
// a value equal to the last one set from code after the user has typed something else.
void AssignValue(TzqNumberEdit* edit, double v);

// The "Tag" of a control (the series index a blackbody spin edit draws; -1 when unbound).
int TagOf(const QObject* object);
void SetTag(QObject* object, int tag);
