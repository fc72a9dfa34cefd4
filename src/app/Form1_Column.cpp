// The Column page: the atmosphere column of the two line lists in the atmosphere chosen, computed on a
// thread of its own with a progress bar and a cancel, its figures shown as numbers beside those of a
// kept background run, its observed spectra and heating rates drawn in the column's plots, and both
// runs exported as CSV.
#include "Form1_Column.h"

#include "Form1.h"

#include "zqAtmosphereTable.h"
#include "zqBlackbody.h"
#include "zqChart.h"
#include "zqColor.h"
#include "zqCustomFile_IO.h"
#include "zqGasLists.h"
#include "zqHITRAN.h"
#include "zqINI_File.h"
#include "zqLegendElement.h"
#include "zqLineCoverage.h"
#include "zqNumberEdit.h"
#include "zqOutgoingRadiation.h"
#include "zqPlatform.h"
#include "zqPlotTitles.h"
#include "zqRadioGroup.h"
#include "zqSpinEdit.h"

#include <QAction>
#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTabWidget>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>
#include <filesystem>
#include <limits>
#include <utility>

namespace {

constexpr int kEditHeight = 21;
constexpr int kSpinColumn = 3 + 13; // gap and width of the spin buttons beside an edit
constexpr int kResultWidth = 62;    // a figure of the results: five significant digits and a sign

// An input field in a cell of its own (the edits place their helpers beside themselves).
template <class Edit>
Edit* column_field(QGridLayout* grid, int row, const char* name, const QString& caption, const QString& unit,
                   const QString& tip, double value, double lower, double upper) {
  auto* cell = new QWidget;
  cell->setObjectName(QString(name) + "_Cell");
  auto* e = new Edit(cell);
  e->BeginLoading();
  e->setObjectName(name);
  e->SetValueMin(lower);
  e->SetValueMax(upper);
  e->SetValueDefault(value);
  e->SetLimitValue(true);
  e->SetPrecision(6);
  // The text is written even for a value equal to the edit's initial one (0: Band Min), so no input
  // starts blank.
  AssignValue(e, value);
  e->setGeometry(0, 0, 80, kEditHeight);
  e->setToolTip(tip);
  cell->setFixedSize(80 + (std::is_same_v<Edit, TzqSpinEdit> ? kSpinColumn : 0), kEditHeight + 1);
  grid->addWidget(new QLabel(caption), row, 0);
  grid->addWidget(cell, row, 1);
  grid->addWidget(new QLabel(unit), row, 2);
  return e;
}

// A read-only figure of the results in a cell of its own.
TzqNumberEdit* result_field(QGridLayout* grid, int row, int column, const QString& name, const QString& tip) {
  auto* cell = new QWidget;
  cell->setObjectName(name + "_Cell");
  auto* e = new TzqNumberEdit(cell);
  e->BeginLoading();
  e->setObjectName(name);
  e->SetPrecision(5); // five significant digits
  e->setGeometry(0, 0, kResultWidth, kEditHeight);
  e->setToolTip(tip);
  e->setText("");
  e->SetReadOnly(true);
  cell->setFixedSize(kResultWidth, kEditHeight + 1);
  grid->addWidget(cell, row, column);
  return e;
}

// A row of the results grid: its caption, then this run's figure, the background's and their
// difference, each appended to its list.
void figure_row(QGridLayout* grid, int row, const QString& caption, const QString& key, const QString& tip,
                std::vector<TzqNumberEdit*>& current, std::vector<TzqNumberEdit*>& background,
                std::vector<TzqNumberEdit*>& difference) {
  grid->addWidget(new QLabel(caption), row, 0);
  current.push_back(result_field(grid, row, 1, key + "_UIEdit", tip));
  background.push_back(
      result_field(grid, row, 2, key + "_Background_UIEdit", "The background run's figure: " + tip));
  difference.push_back(
      result_field(grid, row, 3, key + "_Difference_UIEdit", "This run minus the background: " + tip));
}

QComboBox* column_choice(const char* name, const QStringList& items, const QString& tip) {
  auto* c = new QComboBox;
  c->setObjectName(name);
  c->addItems(items);
  c->setToolTip(tip);
  return c;
}

// The colour of a kept run's curve: its current curve's colour, most of the way to white.
uint32_t dimmed(uint32_t color) {
  QColor c = zqColorToQColor(color);
  const auto towards_white = [](int v) { return v + (255 - v) * 3 / 5; };
  c.setRgb(towards_white(c.red()), towards_white(c.green()), towards_white(c.blue()));
  return zqQColorToColor(c);
}

// The heating curves: one colour per band (in band order), the total in black ($00BBGGRR).
constexpr uint32_t kBandColors[] = {0xD06000, 0x0000C0, 0x00A000, 0x0080FF, 0x800080, 0x808000};
constexpr uint32_t kTotalColor = 0x000000;

void restore_range(TChartAxis& axis, bool automatic, double lo, double hi) {
  if (automatic)
    axis.SetAutomatic(true);
  else
    axis.SetMinMax(lo, hi);
}

// The column's own chart series: first the background's two spectra, then the rebalanced spectrum,
// then the heating curves.
constexpr int kRebalancedSeries = 2;
constexpr int kFirstHeatingSeries = 3;
// The rebalanced spectrum's colour ($00BBGGRR): apart from the blue and red of 1x and Nx and the
// Planck curves' black and yellows.
constexpr uint32_t kRebalancedColor = 0x00A000;

} // namespace

bool TzqColumnPage::HeatingShown() const {
  return PlotView && PlotView->currentIndex() == 1;
}

zqsession::TColumnQuantity TzqColumnPage::QuantityChoice() const {
  return Quantity && Quantity->currentIndex() == 1 ? zqsession::TColumnQuantity::BrightnessTemperature
                                                   : zqsession::TColumnQuantity::Flux;
}

zqsession::TColumnXUnit TzqColumnPage::XUnitChoice() const {
  return XUnit && XUnit->currentIndex() == 1 ? zqsession::TColumnXUnit::Wavelength
                                             : zqsession::TColumnXUnit::Wavenumber;
}

void TzqColumnPage::SelectAtmosphere(const std::string& value) {
  const QString data = QString::fromStdString(value);
  int index = Atmosphere->findData(data);
  if (index < 0) {
    // A built-in name in another letter case is that atmosphere; anything else names a profile file.
    for (const std::string& name : BuiltInAtmosphereNames())
      if (QString::fromStdString(name).compare(data, Qt::CaseInsensitive) == 0)
        index = Atmosphere->findData(QString::fromStdString(name));
  }
  if (index < 0) {
    Atmosphere->addItem(QString::fromStdString(std::filesystem::path(value).filename().string()), data);
    index = Atmosphere->count() - 1;
    Atmosphere->setItemData(index, data, Qt::ToolTipRole);
  }
  Atmosphere->setCurrentIndex(index);
}

TzqColumnPage::TzqColumnPage(QObject* parent) : QObject(parent) {
  timer_ = new QTimer(this);
  timer_->setInterval(100);
  connect(timer_, &QTimer::timeout, this, [this] {
    if (Progress) Progress->setValue(permille_.load());
  });
}

TzqColumnPage::~TzqColumnPage() {
  CancelAndWait();
}

void TzqColumnPage::UseContinuumOf(const zqsession::TzqSession& session) {
  next_continuum_ = session.ColumnUsesContinuum() ? session.ContinuumTable() : nullptr;
}

bool TzqColumnPage::ListsChanged(const T_zq_HITRAN* water, const T_zq_HITRAN* co2) const {
  if (next_continuum_ != (session_.ColumnUsesContinuum() ? session_.ContinuumTable() : nullptr)) return true;
  const std::pair<const T_zq_HITRAN*, const T_zq_HITRAN*> pairs[] = {{water, water_.get()},
                                                                     {co2, co2_.get()}};
  const auto changed = [](const T_zq_HITRAN* list, const T_zq_HITRAN* copy) {
    return !list != !copy || (list && list->Revision() != copy->Revision());
  };
  for (const auto& [list, copy] : pairs)
    if (changed(list, copy)) return true;
  for (const TzqColumnGasInfo& gas : ColumnGases())
    if (changed(trace_[gas.Gas], trace_copies_[gas.Gas].get())) return true;
  return false;
}

void TzqColumnPage::snapshot(const T_zq_HITRAN* water, const T_zq_HITRAN* co2) {
  std::vector<const T_zq_HITRAN*> lists{water, co2};
  std::vector<std::unique_ptr<T_zq_HITRAN>*> copies{&water_, &co2_};
  for (const TzqColumnGasInfo& gas : ColumnGases())
    if (zqsession::IsTraceGas(gas.Gas)) {
      lists.push_back(trace_[gas.Gas]);
      copies.push_back(&trace_copies_[gas.Gas]);
    }
  for (std::size_t i = 0; i < lists.size(); ++i) {
    const T_zq_HITRAN* list = lists[i];
    // The copy is current while it holds the list's revision (a list read again has a new one).
    if (list && *copies[i] && (*copies[i])->Revision() == list->Revision()) continue;
    copies[i]->reset();
    if (!list) continue;
    auto copy = std::make_unique<T_zq_HITRAN>();
    copy->CopyLinesFrom(*list);
    *copies[i] = std::move(copy);
  }
  session_.Water = water_.get();
  session_.CO2 = co2_.get();
  for (const TzqColumnGasInfo& gas : ColumnGases())
    session_.GasLists[gas.Gas] = trace_copies_[gas.Gas].get();
}

zqsession::TzqStatus TColumnPageRun::Status() const {
  zqsession::TzqStatus status;
  if (Column) status = Column->Status;
  if (Balance) status.Append(Balance->Status);
  return status;
}

bool TzqColumnPage::Start(const T_zq_HITRAN* water, const T_zq_HITRAN* co2,
                          const TzqColumnSettings& settings) {
  return start(water, co2, settings, true, std::nullopt);
}

bool TzqColumnPage::StartBalance(const T_zq_HITRAN* water, const T_zq_HITRAN* co2,
                                 const TzqColumnSettings& settings, TzqHold hold, bool column) {
  return start(water, co2, settings, column, hold);
}

bool TzqColumnPage::start(const T_zq_HITRAN* water, const T_zq_HITRAN* co2, const TzqColumnSettings& settings,
                          bool column, std::optional<TzqHold> balance) {
  if (thread_) return false;
  snapshot(water, co2);
  session_.ShareContinuum(next_continuum_); // shared read-only with the run's thread
  settings_ = settings;
  run_ = {};
  run_.Hold = balance.value_or(TzqHold::Vapour);
  cancel_ = false;
  permille_ = 0;
  Progress->setValue(0);
  thread_ = QThread::create([this, column, balance] {
    // The bar's share of each computation: the column (which fetches every layer) half of it before a
    // balance.
    const double split = !balance ? 1 : column ? 0.5 : 0;
    const auto share = [this](double from, double width) {
      TzqColumnProgress progress;
      progress.Cancel = &cancel_;
      progress.OnProgress = [this, from, width](double done) {
        permille_ = static_cast<int>(std::lround(1000 * (from + width * done)));
      };
      return progress;
    };
    if (column) run_.Column = session_.ComputeColumn(settings_, share(0, split));
    if (balance && (!run_.Column || run_.Column->Result.Computed))
      run_.Balance = session_.ComputeBalance(settings_, *balance, share(split, 1 - split));
  });
  // Emitted on the run's thread; the slot runs on the window's.
  connect(thread_, &QThread::finished, this, &TzqColumnPage::finished, Qt::QueuedConnection);
  thread_->start();
  timer_->start();
  return true;
}

void TzqColumnPage::CancelAndWait() {
  if (!thread_) return;
  cancel_ = true;
  thread_->wait();
  delete thread_;
  thread_ = nullptr;
  timer_->stop();
}

void TzqColumnPage::finished() {
  if (!thread_) return; // dropped by CancelAndWait
  thread_->wait();
  delete thread_;
  thread_ = nullptr;
  timer_->stop();
  const bool computed = run_.Column && run_.Column->Result.Computed;
  if (computed) {
    Last = run_.Column->Result;
    LastSettings = settings_;
    zqsession::TColumnSnapshot next = zqsession::ColumnSnapshotOf(run_.Column->Result, settings_);
    next.Continuum = session_.ColumnUsesContinuum();
    zqsession::CarryBalances(Current ? &*Current : nullptr, next);
    Current = std::move(next);
  } else if (run_.Column) {
    Last.reset();
    Current.reset();
  }
  if (run_.Balance && Current) zqsession::AddBalance(*Current, settings_, run_.Hold, run_.Balance->Balance);
  const bool done = (!run_.Column || computed) && (!run_.Balance || run_.Balance->Balance.Solved);
  Progress->setValue(done ? 1000 : 0);
  // Handed on and let go: the level fluxes of both runs are large (what is shown is in Current), and the
  // handler may start the next run, which fills run_ again.
  const TColumnPageRun run = std::exchange(run_, {});
  if (OnFinished) OnFinished(run);
}

void TForm1::BuildColumnPage() {
  auto* page = new TzqColumnPage(this);
  page->setObjectName("ColumnPage");
  ColumnPage = page;
  const TzqColumnSettings d;

  // The page scrolls: the inputs, the plot's choices and the results are taller than the window.
  UITabSheet_Column = new QWidget;
  UITabSheet_Column->setObjectName("UITabSheet_Column");
  auto* outer = new QVBoxLayout(UITabSheet_Column);
  outer->setContentsMargins(0, 0, 0, 0);
  auto* scroll = new QScrollArea;
  scroll->setObjectName("Column_UIScrollArea");
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  auto* content = new QWidget;
  content->setObjectName("Column_Content_UIPanel");
  auto* v = new QVBoxLayout(content);
  v->setContentsMargins(4, 4, 4, 4);
  auto* title = new QLabel("Clear-sky atmosphere column (HITRAN, Voigt)");
  title->setObjectName("Column_Title_UILabel");
  v->addWidget(title);

  auto* inputs = new QGridLayout;
  int row = 0;
  page->Atmosphere = new QComboBox;
  page->Atmosphere->setObjectName("Column_Atmosphere_UIComboBox");
  page->Atmosphere->addItem("Standard atmosphere", QString::fromStdString(d.Atmosphere));
  for (const std::string& name : BuiltInAtmosphereNames())
    page->Atmosphere->addItem(QString::fromStdString(BuiltInAtmosphereCaption(name)),
                              QString::fromStdString(name));
  page->Atmosphere->setToolTip(
      "The column's atmosphere: the program's standard atmosphere (its profile follows "
      "the surface temperature and RH), an AFGL 1986 model atmosphere, or a profile "
      "file (CSV with z_km, p_mb, T_K and <gas>_ppmv columns)");
  inputs->addWidget(new QLabel("Atmosphere"), row, 0);
  inputs->addWidget(page->Atmosphere, row++, 1, 1, 2);
  page->OpenProfileButton = new QPushButton("Open profile...");
  page->OpenProfileButton->setObjectName("Column_Open_Profile_UIButton");
  page->OpenProfileButton->setToolTip("Choose a profile file (CSV: z_km, p_mb, T_K, h2o_ppmv, ...) as the "
                                      "atmosphere");
  inputs->addWidget(page->OpenProfileButton, row++, 1, 1, 2);
  page->SurfaceFromTable = new QCheckBox("Surface at the table's temperature");
  page->SurfaceFromTable->setObjectName("Column_Surface_From_Table_UICheckBox");
  page->SurfaceFromTable->setChecked(d.SurfaceFromTable);
  page->SurfaceFromTable->setToolTip("With a model atmosphere or profile: the ground at the table's own "
                                     "temperature at 0 km (K); off: at the Surface Temperature below");
  inputs->addWidget(page->SurfaceFromTable, row++, 0, 1, 3);
  page->SurfaceTemperature = column_field<TzqSpinEdit>(
      inputs, row++, "Column_Surface_Temperature_UIzqSpinEdit", "Surface Temperature", "K",
      "Surface temperature in K (150 to 350); the standard atmosphere's profile follows it, a table's ground "
      "takes it when the box above is off",
      d.SurfaceTemperature, 150, 350);
  page->RelativeHumidity = column_field<TzqSpinEdit>(
      inputs, row++, "Column_RH_UIzqSpinEdit", "Surface RH", "%",
      "Relative humidity in percent (0 to 100), held up to the tropopause (standard atmosphere; a table has "
      "its own water)",
      d.RelativeHumidity, 0, 100);
  page->H2OScale = column_field<TzqSpinEdit>(
      inputs, row++, "Column_H2O_Scale_UIzqSpinEdit", "Water-vapour factor", "x",
      "Multiple of a table's water vapour at every level (0 to 10; 1: as the table gives it)", d.H2OScale, 0,
      10);
  page->CO2 = column_field<TzqSpinEdit>(inputs, row++, "Column_CO2_UIzqSpinEdit", "CO2", "ppm",
                                        "CO2 in ppm by volume, well mixed", d.CO2, 0, 1000000);
  page->CO2Factor = column_field<TzqSpinEdit>(
      inputs, row++, "Column_CO2_Factor_UIzqSpinEdit", "CO2 multiple", "x",
      "The multiple of the CO2 amount compared with it (2: doubled CO2)", d.CO2Factor, 0, 1000);
  for (const TzqColumnGasInfo& gas : ColumnGases())
    if (zqsession::IsTraceGas(gas.Gas))
      page->GasFactor[gas.Gas] = column_field<TzqSpinEdit>(
          inputs, row++, (std::string("Column_") + gas.Name + "_Factor_UIzqSpinEdit").c_str(),
          QString("%1 multiple").arg(gas.Name), "x",
          QString("The multiple of the atmosphere's %1 in the changed state (0: none; 1: unchanged). With "
                  "the CO2 multiple at 1 the results are its forcing alone")
              .arg(gas.Name),
          1, 0, 1000);
  page->Warming = column_field<TzqSpinEdit>(
      inputs, row++, "Column_Warming_UIzqSpinEdit", "Warming", "K",
      "Warming of the ground and troposphere in K (-50 to 50) applied to the CO2 multiple's state; levels "
      "above the tropopause keep their temperatures, water follows the hold below",
      d.Offset, -50, 50);
  page->Hold = column_choice("Column_Hold_UIComboBox", {"Fixed vapour", "Fixed RH"},
                             "How water vapour follows a warming (the Warming above and the warming to "
                             "balance): its mixing ratios held, or its relative humidity held");
  page->Hold->setCurrentIndex(d.Hold == TzqHold::RH ? 1 : 0);
  inputs->addWidget(new QLabel("Water held"), row, 0);
  inputs->addWidget(page->Hold, row++, 1, 1, 2);
  page->TopAltitude =
      column_field<TzqSpinEdit>(inputs, row++, "Column_Top_UIzqSpinEdit", "Top Altitude", "km",
                                "Top of the column in km (above 0, at most 100)", d.TopAltitude, 0, 100);
  page->ObserverAltitude = column_field<TzqSpinEdit>(
      inputs, row++, "Column_Observer_Altitude_UIzqSpinEdit", "Observer altitude", "km",
      "Altitude of the observer in km (0 to the top altitude): the flux through its level is the observed "
      "spectrum",
      d.TopAltitude, 0, 100);
  page->ShownTopAltitude = d.TopAltitude;
  page->Look =
      column_choice("Column_Look_UIComboBox", {"Looking down", "Looking up"},
                    "Looking down sees the upward flux through the observer's level (from the top: the "
                    "outgoing radiation), looking up the downward flux");
  inputs->addWidget(new QLabel("Observer"), row, 0);
  inputs->addWidget(page->Look, row++, 1, 1, 2);
  page->Layers = column_field<TzqSpinEdit>(inputs, row++, "Column_Layers_UIzqSpinEdit", "Layers", "",
                                           "Number of layers (1 to 500), evenly spaced in log-pressure",
                                           d.Layers, 1, 500);
  page->WavenumberMin =
      column_field<TzqSpinEdit>(inputs, row++, "Column_Wavenumber_Min_UIzqSpinEdit", "Band Min", "cm-1",
                                "Lower end of the band in cm-1", d.WavenumberMin, 0, 100000);
  page->WavenumberMax =
      column_field<TzqSpinEdit>(inputs, row++, "Column_Wavenumber_Max_UIzqSpinEdit", "Band Max", "cm-1",
                                "Upper end of the band in cm-1", d.WavenumberMax, 0, 100000);
  v->addLayout(inputs);

  auto* buttons = new QHBoxLayout;
  page->ComputeButton = new QPushButton("Compute");
  page->ComputeButton->setObjectName("Column_Compute_UIButton");
  page->CancelButton = new QPushButton("Cancel");
  page->CancelButton->setObjectName("Column_Cancel_UIButton");
  page->CancelButton->setEnabled(false);
  buttons->addWidget(page->ComputeButton);
  buttons->addWidget(page->CancelButton);
  v->addLayout(buttons);
  page->BalanceButton = new QPushButton("Find warming to balance");
  page->BalanceButton->setObjectName("Column_Balance_UIButton");
  page->BalanceButton->setToolTip(
      "Solve for the warming of the ground and troposphere at which the CO2 multiple sends as much "
      "infrared up through the observer's level as 1x does unwarmed, with the water held as chosen "
      "(several column computations; the observer must look down)");
  v->addWidget(page->BalanceButton);
  page->Progress = new QProgressBar;
  page->Progress->setObjectName("Column_UIProgressBar");
  page->Progress->setRange(0, 1000);
  page->Progress->setValue(0);
  page->Progress->setTextVisible(false);
  v->addWidget(page->Progress);

  auto* plot = new QGroupBox("Column plot");
  plot->setObjectName("Column_Plot_UIGroupBox");
  auto* choices = new QGridLayout(plot);
  page->PlotView =
      column_choice("Column_Plot_View_UIComboBox", {"Outgoing radiation", "Heating rates"},
                    "The column's plot (Plot Type \"Outgoing Radiation\"): the observed spectra, or "
                    "the heating rates by band against altitude");
  page->Quantity =
      column_choice("Column_Quantity_UIComboBox", {"Flux", "Brightness temperature"},
                    "The spectra as flux per wavenumber (W m-2 per cm-1) or as the temperature of "
                    "the blackbody that gives that flux (K)");
  page->XUnit = column_choice("Column_X_Unit_UIComboBox", {"cm-1", "um"},
                              "The spectra against wavenumber (cm-1) or wavelength (um = 10000 / cm-1)");
  const std::pair<const char*, QComboBox*> rows[] = {
      {"Show", page->PlotView}, {"Quantity", page->Quantity}, {"x axis", page->XUnit}};
  for (int i = 0; i < 3; ++i) {
    choices->addWidget(new QLabel(rows[i].first), i, 0);
    choices->addWidget(rows[i].second, i, 1);
  }
  page->KeepButton = new QPushButton("Keep as background");
  page->KeepButton->setObjectName("Column_Keep_UIButton");
  page->KeepButton->setToolTip("Keep this run: the next runs are drawn over it and compared with it");
  page->ClearBackgroundButton = new QPushButton("Clear background");
  page->ClearBackgroundButton->setObjectName("Column_Clear_Background_UIButton");
  page->ClearBackgroundButton->setToolTip("Drop the kept run");
  page->ShowDifference = new QCheckBox("Show difference");
  page->ShowDifference->setObjectName("Column_Show_Difference_UICheckBox");
  page->ShowDifference->setToolTip("Draw this run minus the background (both on the same wavenumber grid)");
  page->ExportButton = new QPushButton("Export...");
  page->ExportButton->setObjectName("Column_Export_UIButton");
  page->ExportButton->setToolTip(
      "Save the spectra of this run and the background, in the quantity shown, with "
      "every setting of each run, as CSV");
  choices->addWidget(page->KeepButton, 3, 0);
  choices->addWidget(page->ClearBackgroundButton, 3, 1);
  page->ShowRebalanced = new QCheckBox("Rebalanced");
  page->ShowRebalanced->setObjectName("Column_Show_Rebalanced_UICheckBox");
  page->ShowRebalanced->setChecked(true);
  page->ShowRebalanced->setToolTip("Draw the CO2 multiple at the last warming to balance found beside 1x "
                                   "and the unwarmed multiple (not with the difference)");
  choices->addWidget(page->ShowDifference, 4, 0);
  choices->addWidget(page->ExportButton, 4, 1);
  choices->addWidget(page->ShowRebalanced, 5, 0);
  v->addWidget(plot);

  // The figures under a heading per unit (no unit column: three columns of figures must fit the page).
  auto* box = new QGroupBox("Results");
  box->setObjectName("Column_Results_UIGroupBox");
  auto* results = new QGridLayout(box);
  results->setContentsMargins(4, 4, 4, 4);
  results->setHorizontalSpacing(2);
  page->ResultsGrid = results;
  const char* headers[] = {"This run", "Background", "Difference"};
  for (int c = 0; c < 3; ++c) {
    auto* header = new QLabel(headers[c]);
    header->setAlignment(Qt::AlignCenter);
    header->setObjectName(QString("Column_Results_Header_%1_UILabel").arg(c));
    results->addWidget(header, 0, 1 + c);
  }
  const std::vector<zqsession::TColumnFigureRow>& figures = zqsession::ColumnFigureRows();
  int r = 0;
  for (std::size_t i = 0; i < figures.size(); ++i) {
    const zqsession::TColumnFigureRow& f = figures[i];
    if (i == 0 || std::string(f.Unit) != figures[i - 1].Unit) {
      const std::string unit = f.Unit;
      const QString heading = unit == "W/m2" ? "Fluxes (W/m2)"
                              : unit == "km" ? "Heights (km)"
                                             : "Pressures (mb)";
      auto* label = new QLabel("<b>" + heading + "</b>");
      // Below the first (which shares its row with the column titles) a heading spans the row, so a
      // long one does not widen the captions' column.
      if (r == 0)
        results->addWidget(label, r, 0);
      else
        results->addWidget(label, ++r, 0, 1, 4);
    }
    ++r;
    const QString key = QString("Column_%1").arg(f.Key);
    const QString tip = QString("%1, %2").arg(f.Tip, f.Unit);
    figure_row(results, r, f.Caption, key, tip, page->Figures, page->BackgroundFigures,
               page->DifferenceFigures);
  }
  TzqNumberEdit** named[] = {&page->OLR1x,
                             &page->OLRNx,
                             &page->ForcingTOA,
                             &page->ForcingTropopause,
                             &page->SurfaceDownwelling1x,
                             &page->SurfaceDownwellingNx,
                             &page->SurfaceEmission,
                             &page->ObserverFlux1x,
                             &page->ObserverFluxNx,
                             &page->EmissionHeight1x,
                             &page->TropopauseAltitude,
                             &page->TropopausePressure};
  for (std::size_t i = 0; i < std::size(named) && i < page->Figures.size(); ++i)
    *named[i] = page->Figures[i];
  // The balance's figures, a heading per quantity and a row per hold.
  const std::vector<zqsession::TBalanceFigureRow>& balance = zqsession::BalanceFigureRows();
  for (std::size_t i = 0; i < balance.size(); ++i) {
    const zqsession::TBalanceFigureRow& f = balance[i];
    if (i == 0 || std::string(f.Heading) != balance[i - 1].Heading)
      results->addWidget(new QLabel(QString("<b>%1</b>").arg(f.Heading)), ++r, 0, 1, 4);
    ++r;
    const QString key = QString("Column_%1").arg(f.Key);
    const QString tip = QString(f.Tip) + (*f.Unit ? QString(", %1").arg(f.Unit) : QString());
    figure_row(results, r, f.Label, key, tip, page->BalanceFigures, page->BackgroundBalanceFigures,
               page->DifferenceBalanceFigures);
  }
  page->AtmosphereCaption = new QLabel;
  page->AtmosphereCaption->setObjectName("Column_Atmosphere_Caption_UILabel");
  page->AtmosphereCaption->setWordWrap(true);
  results->addWidget(page->AtmosphereCaption, r + 1, 0, 1, 4);
  v->addWidget(box);
  page->Coverage = new QLabel;
  page->Coverage->setObjectName("Column_Coverage_UILabel");
  page->Coverage->setWordWrap(true);
  v->addWidget(page->Coverage);
  page->Gases = new QLabel;
  page->Gases->setObjectName("Column_Gases_UILabel");
  page->Gases->setWordWrap(true);
  v->addWidget(page->Gases);
  v->addStretch(1);
  scroll->setWidget(content);
  outer->addWidget(scroll);
  PageControl1->addTab(UITabSheet_Column, "Column");

  connect(page->ComputeButton, &QPushButton::clicked, this,
          [this] { Column_Compute_UIButtonClick(nullptr); });
  connect(page->CancelButton, &QPushButton::clicked, this, [this] { Column_Cancel_UIButtonClick(nullptr); });
  connect(page->BalanceButton, &QPushButton::clicked, this,
          [this] { Column_Balance_UIButtonClick(nullptr); });
  connect(page->OpenProfileButton, &QPushButton::clicked, this,
          [this] { Column_OpenProfile_UIButtonClick(nullptr); });
  connect(page->Atmosphere, &QComboBox::currentIndexChanged, this, [this] { ColumnInputsChanged(); });
  connect(page->SurfaceFromTable, &QCheckBox::toggled, this, [this] { ColumnInputsChanged(); });
  connect(page->TopAltitude, &TzqNumberEdit::changed, this, [this] { Column_Top_Changed(); });
  for (QComboBox* c : {page->PlotView, page->Quantity, page->XUnit})
    connect(c, &QComboBox::currentIndexChanged, this, [this] { ColumnPlotChoiceChanged(); });
  for (QCheckBox* c : {page->ShowDifference, page->ShowRebalanced})
    connect(c, &QCheckBox::toggled, this, [this] { ColumnPlotChoiceChanged(); });
  connect(page->KeepButton, &QPushButton::clicked, this, [this] { Column_Keep_UIButtonClick(nullptr); });
  connect(page->ClearBackgroundButton, &QPushButton::clicked, this,
          [this] { Column_ClearBackground_UIButtonClick(nullptr); });
  connect(page->ExportButton, &QPushButton::clicked, this, [this] { Column_Export_UIButtonClick(nullptr); });
  page->OnFinished = [this](const TColumnPageRun& run) { ColumnFinished(run); };
  ColumnInputsChanged();
  ShowColumnFigures();
}

void TForm1::ColumnInputsChanged() {
  TzqColumnPage& p = *ColumnPage;
  const bool table = p.Atmosphere->currentData().toString().toStdString() != TzqColumnSettings{}.Atmosphere;
  p.SurfaceFromTable->setEnabled(table);
  p.SurfaceTemperature->setEnabled(!table || !p.SurfaceFromTable->isChecked());
  p.RelativeHumidity->setEnabled(!table);
  p.H2OScale->setEnabled(table);
  p.Quantity->setEnabled(!p.HeatingShown()); // the heating rates have neither
  p.XUnit->setEnabled(!p.HeatingShown());
}

void TForm1::Column_Top_Changed() {
  // An observer above the top is refused when the column runs, not moved while the top is typed.
  TzqColumnPage& p = *ColumnPage;
  if (!p.TopAltitude->InRange()) return;
  const double top = p.TopAltitude->Value();
  if (p.ObserverAltitude->InRange() && p.ObserverAltitude->Value() == p.ShownTopAltitude)
    AssignValue(p.ObserverAltitude, top);
  p.ShownTopAltitude = top;
}

void TForm1::Column_OpenProfile_UIButtonClick(QObject* /*Sender*/) {
  TzqColumnPage& p = *ColumnPage;
  zq::FileDialogRequest request;
  request.title = "Open atmosphere profile";
  request.filter = "Profiles (*.csv *.txt)|*.csv;*.txt|All Files (*.*)|*.*";
  const std::string current = p.Atmosphere->currentData().toString().toStdString();
  if (!BuiltInAtmosphere(current) && current != TzqColumnSettings{}.Atmosphere)
    request.initialDir = std::filesystem::path(current).parent_path().string();
  const auto file = zq::platform().OpenFileDialog(request);
  if (!file) return;
  // Read now, so a file that cannot serve is said before it is chosen (a run reads it again).
  std::string error;
  ReadAtmosphereFile(*file, error);
  if (!error.empty()) {
    zq::platform().MessageBox("Open atmosphere profile", error, zq::mbOK, zq::MsgIcon::Error);
    return;
  }
  p.SelectAtmosphere(*file);
}

std::optional<TzqColumnSettings> TForm1::ColumnSettingsOfControls(zqsession::TzqStatus& status) const {
  TzqColumnPage& p = *ColumnPage;
  TzqColumnSettings s;
  s.SurfaceTemperature = p.SurfaceTemperature->GetValue();
  s.RelativeHumidity = p.RelativeHumidity->GetValue();
  s.CO2 = p.CO2->GetValue();
  s.CO2Factor = p.CO2Factor->GetValue();
  for (const TzqColumnGasInfo& gas : ColumnGases())
    if (p.GasFactor[gas.Gas]) s.GasFactors[gas.Gas] = p.GasFactor[gas.Gas]->GetValue();
  s.Offset = p.Warming->GetValue();
  s.Hold = p.Hold->currentIndex() == 1 ? TzqHold::RH : TzqHold::Vapour;
  s.TopAltitude = p.TopAltitude->GetValue();
  const double layers = p.Layers->GetValue();
  s.Layers = static_cast<int>(layers);
  s.WavenumberMin = p.WavenumberMin->GetValue();
  s.WavenumberMax = p.WavenumberMax->GetValue();
  s.Atmosphere = p.Atmosphere->currentData().toString().toStdString();
  s.SurfaceFromTable = p.SurfaceFromTable->isChecked();
  s.H2OScale = p.H2OScale->GetValue();
  // An observer at the top is the column's default one.
  if (const double observer = p.ObserverAltitude->GetValue(); observer != s.TopAltitude)
    s.ObserverAltitude = observer;
  s.Look = p.Look->currentIndex() == 1 ? TzqLook::Up : TzqLook::Down;
  std::string why =
      s.Layers == layers ? CheckColumnSettings(s) : "The number of layers must be a whole number";
  if (why.empty()) return s;
  status.Refuse("column", why);
  return std::nullopt;
}

namespace {
// The results of this run go while a run for other inputs is under way (the kept background's stay).
void clear_this_run(TzqColumnPage& p) {
  for (std::vector<TzqNumberEdit*>* column :
       {&p.Figures, &p.DifferenceFigures, &p.BalanceFigures, &p.DifferenceBalanceFigures})
    for (TzqNumberEdit* e : *column)
      e->setText("");
  p.AtmosphereCaption->clear();
  p.Coverage->clear();
}

void show_running(TzqColumnPage& p, bool running) {
  p.ComputeButton->setEnabled(!running);
  p.BalanceButton->setEnabled(!running);
  p.CancelButton->setEnabled(running);
}
} // namespace

void TForm1::ColumnInputsRefused(const zqsession::TzqStatus& status) {
  // The results on the page are always those of the inputs shown: a refusal leaves none.
  TzqColumnPage& p = *ColumnPage;
  clear_this_run(p);
  p.Last.reset();
  p.Current.reset();
  p.Progress->setValue(0);
  ShowColumnFigures();
  ShowStatus("column", status);
}

void TForm1::Column_Compute_UIButtonClick(QObject* /*Sender*/) {
  if (ColumnPage->Running()) return;
  zqsession::TzqStatus status;
  const std::optional<TzqColumnSettings> s = ColumnSettingsOfControls(status);
  if (!s) {
    ColumnInputsRefused(status);
    return;
  }
  clear_this_run(*ColumnPage);
  ShowColumnGases();
  ColumnPage->SetTraceLists(TraceLists());
  ColumnPage->Start(WaterLines, CO2Lines, *s);
  show_running(*ColumnPage, true);
}

void TForm1::Column_Balance_UIButtonClick(QObject* /*Sender*/) {
  TzqColumnPage& p = *ColumnPage;
  if (p.Running()) return;
  zqsession::TzqStatus status;
  const std::optional<TzqColumnSettings> s = ColumnSettingsOfControls(status);
  if (!s) {
    ColumnInputsRefused(status);
    return;
  }
  p.SetTraceLists(TraceLists());
  // The balance is drawn and shown beside the column of the same inputs: computed first unless shown.
  const bool column = !p.Current || !zqsession::SameColumnResults(p.Current->Settings, *s) ||
                      p.ListsChanged(WaterLines, CO2Lines);
  if (column)
    clear_this_run(p);
  else
    p.Current->Settings = p.LastSettings = *s; // at most another hold, which changed nothing
  p.StartBalance(WaterLines, CO2Lines, *s, s->Hold, column);
  show_running(p, true);
}

void TForm1::Column_Cancel_UIButtonClick(QObject* /*Sender*/) {
  ColumnPage->Cancel();
}

namespace {
void show_figure(TzqNumberEdit* edit, const std::optional<double>& value) {
  if (!value)
    edit->setText("");
  else if (std::isnan(*value))
    edit->setText("none");
  else
    AssignValue(edit, *value);
}
} // namespace

void TForm1::ShowColumnFigures() {
  TzqColumnPage& p = *ColumnPage;
  const bool background = p.Background.has_value();
  const std::vector<double> differences = p.Current && p.Background
                                              ? zqsession::FigureDifferences(*p.Current, *p.Background)
                                              : std::vector<double>{};
  for (std::size_t i = 0; i < p.Figures.size(); ++i) {
    show_figure(p.Figures[i], p.Current ? std::optional(p.Current->Figures[i]) : std::nullopt);
    show_figure(p.BackgroundFigures[i],
                p.Background ? std::optional(p.Background->Figures[i]) : std::nullopt);
    show_figure(p.DifferenceFigures[i],
                i < differences.size() ? std::optional(differences[i]) : std::nullopt);
  }
  const std::size_t rows = zqsession::BalanceFigureRows().size();
  const auto balances = [rows](const std::optional<zqsession::TColumnSnapshot>& run) {
    return run ? zqsession::BalanceFigureValues(run->Balances) : std::vector<std::optional<double>>(rows);
  };
  const std::vector<std::optional<double>> now = balances(p.Current), then = balances(p.Background),
                                           change = zqsession::BalanceFigureDifferences(now, then);
  for (std::size_t i = 0; i < p.BalanceFigures.size() && i < rows; ++i) {
    show_figure(p.BalanceFigures[i], now[i]);
    show_figure(p.BackgroundBalanceFigures[i], then[i]);
    show_figure(p.DifferenceBalanceFigures[i], change[i]);
  }
  // The background's columns are there while a background is kept.
  for (const std::vector<TzqNumberEdit*>* column :
       {&p.BackgroundFigures, &p.DifferenceFigures, &p.BackgroundBalanceFigures, &p.DifferenceBalanceFigures})
    for (TzqNumberEdit* e : *column)
      e->parentWidget()->setVisible(background);
  for (int c = 1; c < 3; ++c)
    if (QLayoutItem* item = p.ResultsGrid->itemAtPosition(0, 1 + c)) item->widget()->setVisible(background);
  QStringList captions;
  if (p.Current) captions << "This run: " + QString::fromStdString(p.Current->Atmosphere);
  if (p.Background)
    captions << "Background: " + QString::fromStdString(zqsession::ColumnConditionsText(*p.Background));
  p.AtmosphereCaption->setText(captions.join("\n"));
  p.KeepButton->setEnabled(p.Current.has_value());
  p.ExportButton->setEnabled(p.Current.has_value());
  p.ClearBackgroundButton->setEnabled(background);
  p.ShowDifference->setEnabled(background);
  p.ShowRebalanced->setEnabled(p.Current && p.Current->Balances.Latest);
}

void TForm1::ColumnFinished(const TColumnPageRun& run) {
  TzqColumnPage& p = *ColumnPage;
  show_running(p, false);
  ShowColumnFigures();
  // A gas without a list is said on the page's line of gases (ShowColumnGases), not in the status bar.
  zqsession::TzqStatus status = run.Status();
  std::erase_if(status.Notes, zqsession::IsNoListNote);
  ShowStatus("column", status);
  ShowColumnGases();
  // The results leave out what the lists lack: said beside them.
  if (run.Column) {
    QStringList holes;
    if (run.Column->Result.Computed)
      for (const auto& [list, name] : {std::pair{WaterLines, "water"}, std::pair{CO2Lines, "CO2"}})
        if (list)
          if (const std::string text = zqsession::LineGapsText(
                  name, zqsession::GapsWithin(zqsession::FindLineGaps(list->Records),
                                              p.LastSettings.WavenumberMin, p.LastSettings.WavenumberMax));
              !text.empty())
            holes << QString::fromStdString(text);
    p.Coverage->setText(holes.join("\n"));
  }
  // A new surface gives the plot's surface Planck curve its temperature: the ground's as computed.
  if (run.Column && p.Current) p.PlanckTemperatures[0] = p.Current->SurfaceTemperature;
  if (p.Current && PlotChoiceOfControls().plotType == TPlotType::OutgoingRadiation) DrawOutgoingRadiation();
}

void TForm1::Column_Keep_UIButtonClick(QObject* /*Sender*/) {
  TzqColumnPage& p = *ColumnPage;
  if (!p.Current) return;
  p.Background = p.Current;
  ShowColumnFigures();
  if (p.PlotShown) DrawOutgoingRadiation();
}

void TForm1::Column_ClearBackground_UIButtonClick(QObject* /*Sender*/) {
  TzqColumnPage& p = *ColumnPage;
  p.Background.reset();
  {
    const QSignalBlocker quiet(p.ShowDifference);
    p.ShowDifference->setChecked(false);
  }
  ShowColumnFigures();
  if (p.PlotShown) DrawOutgoingRadiation();
}

void TForm1::ColumnPlotChoiceChanged() {
  ColumnInputsChanged();
  if (Loading) return;
  // Another x quantity: the old zoom means nothing on it.
  if (Chart1->Zoomed()) Chart1->UndoZoom();
  const int column = static_cast<int>(TPlotType::OutgoingRadiation);
  if (Plot_Type_UIRadioGroup->ItemIndex() != column)
    Plot_Type_UIRadioGroup->SetItemIndex(column); // its click draws the plot
  else
    Select_Plot(nullptr);
}

void TForm1::Column_Export_UIButtonClick(QObject* /*Sender*/) {
  TzqColumnPage& p = *ColumnPage;
  if (!p.Current) return;
  const auto file = ChooseCsvToSave("Export column spectra", "column.csv");
  if (!file) return;
  const zqsession::TColumnSnapshot* background = p.Background ? &*p.Background : nullptr;
  const zqsession::TColumnQuantity quantity = p.QuantityChoice();
  try {
    // The old file stays whole until the new one is complete.
    zqReplaceFileWith(*file, [&](const zqFileWriter& write) {
      write(zqsession::ColumnExportHeader(*p.Current, background, quantity));
      write(zqsession::ColumnExportTable(*p.Current, background, quantity));
    });
    statusBar()->showMessage(QString::fromStdString("Column spectra exported to " + *file), 5000);
  } catch (const std::exception& e) {
    zq::platform().MessageBox("Export column spectra",
                              "The spectra could not be written to\n" + *file + "\n\n" + e.what(), zq::mbOK,
                              zq::MsgIcon::Error);
  }
}

void TForm1::OutgoingRadiationPlanckEdited(TzqSpinEdit* spin) {
  TzqColumnPage& p = *ColumnPage;
  const TzqSpinEdit* spins[] = {Series_3_zqSpinEdit, Series_4_zqSpinEdit, Series_5_zqSpinEdit};
  for (int i = 0; i < 3; ++i)
    if (spin == spins[i] && !p.SettingPlanck && spin->InRange()) {
      p.PlanckTemperatures[i] = spin->Value();
      DrawOutgoingRadiation();
    }
}

bool TForm1::ChartXIsColumnOwn() const {
  return ColumnPage && ColumnPage->PlotShown &&
         (ColumnPage->HeatingShown() || ColumnPage->XUnitChoice() == zqsession::TColumnXUnit::Wavelength);
}

std::optional<std::pair<double, double>> TForm1::ChartXOfBand(double lo, double hi) const {
  if (!ChartXIsColumnOwn()) return std::pair{lo, hi};
  if (ColumnPage->HeatingShown()) return std::nullopt;
  // Wavenumber 0 is an endless wavelength: the range ends far beyond anything drawn.
  return std::pair{zqsession::WavelengthOfWavenumber(hi),
                   zqsession::WavelengthOfWavenumber(std::max(lo, hi * 1e-6))};
}

TLineSeries& TForm1::ColumnExtraSeries(int k) {
  TzqColumnPage& p = *ColumnPage;
  if (p.FirstExtraSeries < 0) p.FirstExtraSeries = Chart1->SeriesCount();
  while (Chart1->SeriesCount() <= p.FirstExtraSeries + k)
    Chart1->AddSeries();
  return Chart1->Series(p.FirstExtraSeries + k);
}

void TForm1::DrawOutgoingRadiation() {
  TzqColumnPage& p = *ColumnPage;
  if (!p.Current) {
    // Nothing computed yet: compute with the page's values; the plot follows when the run ends.
    if (!p.Running()) Column_Compute_UIButtonClick(nullptr);
    return;
  }
  TzqLegendElement* legends[] = {Series_0_UILegend, Series_1_UILegend, Series_2_UILegend,
                                 Series_3_UILegend, Series_4_UILegend, Series_5_UILegend};
  TzqSpinEdit* spins[] = {Series_3_zqSpinEdit, Series_4_zqSpinEdit, Series_5_zqSpinEdit};
  if (!p.PlotShown) {
    p.SavedLegends.clear();
    for (TzqLegendElement* l : legends)
      p.SavedLegends.push_back(l ? l->text() : QString());
    p.SavedBlackbodyTemperatures.clear();
    for (TzqSpinEdit* spin : spins)
      p.SavedBlackbodyTemperatures.push_back(spin->Value());
    p.SavedBottomTitle = Chart1->BottomAxis().Title().Caption();
    p.SavedBottomAutomatic = Chart1->BottomAxis().Automatic();
    p.SavedBottomMin = Chart1->BottomAxis().Minimum();
    p.SavedBottomMax = Chart1->BottomAxis().Maximum();
    p.PlanckTemperatures = zqsession::OutgoingRadiationTemperatures(p.Current->SurfaceTemperature);
    p.PlotShown = true;
  }
  // The Blackbody panel shows the temperatures of the plot's Planck curves (and sets them).
  p.SettingPlanck = true;
  for (int i = 0; i < 3; ++i)
    AssignValue(spins[i], p.PlanckTemperatures[i]);
  p.SettingPlanck = false;
  if (p.FirstExtraSeries >= 0)
    for (int n = p.FirstExtraSeries; n < Chart1->SeriesCount(); ++n)
      Chart1->Series(n).Clear();
  // The bottom axis: as the other plots had it for wavenumbers, from the data for heating rates, and
  // the band's first 100 um for wavelengths.
  TChartAxis& bottom = Chart1->BottomAxis();
  // Heating rates crowd the upper right (near 0 K/day at every height); the lower left stays free.
  Chart1->SetLegendCorner(p.HeatingShown() ? Qt::AlignBottom | Qt::AlignLeft : Qt::AlignTop | Qt::AlignRight);
  if (p.HeatingShown()) {
    bottom.SetAutomatic(true);
    DrawColumnHeating();
  } else {
    if (p.XUnitChoice() == zqsession::TColumnXUnit::Wavelength) {
      const auto [shortest, longest] = zqsession::ColumnWavelengthRange(p.Current->Settings);
      bottom.SetMinMax(shortest, longest);
    } else {
      restore_range(bottom, p.SavedBottomAutomatic, p.SavedBottomMin, p.SavedBottomMax);
    }
    DrawColumnSpectra();
  }
  // The top axis' wavelengths and the marked bands stand on wavenumbers.
  Chart1->SetWavelengthTopAxis(WavelengthAxis_UIAction->isChecked() && !ChartXIsColumnOwn());
  ShowBandLabels(BandLabels_UIAction->isChecked());
  ShowLineGaps();
  const zqapp::PlotTitles t = zqapp::BuildPlotTitles(PlotChoiceOfControls(), 0, {});
  BB_Envelope_UICheckBox->setEnabled(t.envelopeEnabled);
  Scaling_UIRadioGroup->setEnabled(t.groupsEnabled);
  Spectra_Type_UIRadioGroup->setEnabled(t.groupsEnabled);
}

void TForm1::DrawColumnSpectra() {
  using namespace zqsession;
  TzqColumnPage& p = *ColumnPage;
  const TColumnSnapshot& c = *p.Current;
  const TColumnSnapshot* background = p.Background ? &*p.Background : nullptr;
  const TColumnQuantity quantity = p.QuantityChoice();
  const TColumnXUnit unit = p.XUnitChoice();
  bool difference = background && p.ShowDifference->isChecked();
  if (difference && !SameGrid(c, *background)) {
    ReportProblem("column plot",
                  "No difference drawn: the background run has another wavenumber grid (band or "
                  "step), so both runs are drawn");
    difference = false;
  } else {
    ClearProblem("column plot");
  }

  // The background beneath, so the current run is drawn over it.
  if (background && !difference)
    for (int state = 0; state < 2; ++state) {
      TLineSeries& b = ColumnExtraSeries(state);
      Chart1->SetSeriesBeneath(b, true);
      b.SetSeriesColor(dimmed(Chart1->Series(state).SeriesColor()));
      b.SetPenWidth(1);
      b.SetPenStyle(TPenStyle::Solid);
      b.SetTitle("Background, " +
                 (state == 0 ? BaseStateText(background->Settings) : ChangedStateText(background->Settings)));
      b.Assign(ColumnChartX(background->Wavenumber, unit), SnapshotSpectrum(*background, state, quantity));
    }
  const std::vector<double> x = ColumnChartX(c.Wavenumber, unit);
  const std::string states[] = {BaseStateText(c.Settings),
                                c.Settings.Offset == 0
                                    ? ChangedStateText(c.Settings)
                                    : WarmedStateText(c.Settings, c.Settings.Offset, c.Settings.Hold)};
  for (int state = 0; state < 2; ++state) {
    std::vector<double> y = SnapshotSpectrum(c, state, quantity);
    if (difference) {
      const std::vector<double>& b = SnapshotSpectrum(*background, state, quantity);
      for (std::size_t j = 0; j < y.size(); ++j)
        y[j] -= b[j];
    }
    Chart1->Series(state).SetTitle(difference ? states[state] + ", this run minus background"
                                              : ObserverText(c) + ", " + states[state]);
    Chart1->Series(state).Assign(x, std::move(y));
  }
  Chart1->Series(2).Clear();
  // The multiple at the warming that restores the balance, beneath the unwarmed one: on a dense
  // spectrum the curve drawn last covers the others, and it differs from them in a few bands only.
  const std::vector<double>* rebalanced =
      difference || !p.ShowRebalanced->isChecked() ? nullptr : RebalancedSpectrum(c, quantity);
  if (rebalanced && rebalanced->size() == x.size()) {
    const TzqHold hold = *c.Balances.Latest;
    TLineSeries& r = ColumnExtraSeries(kRebalancedSeries);
    Chart1->SetSeriesBeneath(r, true);
    r.SetSeriesColor(kRebalancedColor);
    r.SetPenWidth(1);
    r.SetPenStyle(TPenStyle::Solid);
    r.SetTitle(ObserverText(c) + ", " + WarmedStateText(c.Settings, c.Balances.Of(hold)->Warming, hold));
    r.Assign(x, *rebalanced);
  }
  // The Planck curves bound the spectra; a difference has none.
  std::vector<TPlanckCurve> curves =
      OutgoingRadiationCurves(c.Settings, p.PlanckTemperatures, quantity, unit);
  for (int i = 0; i < 3; ++i) {
    TLineSeries& planck = Chart1->Series(3 + i);
    planck.SetTitle(zqapp::PlanckLegendText(p.PlanckTemperatures[i]) + (i == 0 ? " (surface)" : ""));
    planck.SetVertAxis(TVertAxis::Left); // the same axis as the spectra they bound
    if (difference)
      planck.Clear();
    else
      planck.Assign(std::move(curves[i].X), std::move(curves[i].Y));
  }

  TzqLegendElement* legends[] = {Series_0_UILegend, Series_1_UILegend, Series_2_UILegend,
                                 Series_3_UILegend, Series_4_UILegend, Series_5_UILegend};
  const QString where = c.ObserverAtTop && c.Look == TzqLook::Down ? "Top" : "Seen";
  // The legend names the changed gas: "Top, 2x CO2", "Top, 2x CH4", "0x O3, difference".
  const QString base = QString::fromStdString(BaseStateText(c.Settings));
  const QString changed = QString::fromStdString(ChangedStateText(c.Settings));
  const QString texts[] = {difference ? base.section(' ', 0, 0) + ", difference" : where + ", " + base,
                           difference ? (ChangedGases(c.Settings).size() > 1 || !changed.endsWith(" CO2")
                                             ? changed
                                             : changed.section(' ', 0, 0)) +
                                            ", difference"
                                      : where + ", " + changed,
                           "(not used)",
                           "",
                           "",
                           ""};
  for (int i = 0; i < 6; ++i)
    if (legends[i]) {
      legends[i]->setText(texts[i]);
      legends[i]->setEnabled(i < 2 || (i > 2 && !difference)); // the plot has no third curve
    }

  const TColumnPlotTexts t = ColumnSpectrumTexts(c, quantity, unit, difference);
  SetChartTitles(t.FirstLine, &t.SecondLine, t.LeftAxis);
  Chart1->BottomAxis().Title().SetCaption(QString::fromStdString(t.BottomAxis));
}

void TForm1::DrawColumnHeating() {
  using namespace zqsession;
  TzqColumnPage& p = *ColumnPage;
  const TColumnSnapshot& c = *p.Current;
  ClearProblem("column plot");
  // Empty, and off the right axis, which would otherwise stay drawn for the blackbodies' series.
  for (int i = 0; i < 6 && i < Chart1->SeriesCount(); ++i) {
    Chart1->Series(i).Clear();
    Chart1->Series(i).SetVertAxis(TVertAxis::Left);
  }
  for (TzqLegendElement* l : {Series_0_UILegend, Series_1_UILegend, Series_2_UILegend, Series_3_UILegend,
                              Series_4_UILegend, Series_5_UILegend})
    if (l) l->setEnabled(false); // the heating curves are named in the chart's legend

  // The bands inside the column's band, then the total; the second state dashed in the same colour.
  struct Curve {
    std::string name;
    uint32_t color;
    const std::vector<double>* rates[2];
  };
  std::vector<Curve> curves;
  for (std::size_t b = 0; b < c.Bands.size(); ++b)
    if (c.Bands[b].Max > c.Settings.WavenumberMin && c.Bands[b].Min < c.Settings.WavenumberMax &&
        b < c.BandHeating[0].size() && b < c.BandHeating[1].size())
      curves.push_back({BandText(c.Bands[b]),
                        kBandColors[b % std::size(kBandColors)],
                        {&c.BandHeating[0][b], &c.BandHeating[1][b]}});
  curves.push_back({"Total", kTotalColor, {&c.Heating[0], &c.Heating[1]}});
  const std::string multiple = zqFloatToText(c.Settings.CO2Factor, ".") + "x CO2";
  int k = kFirstHeatingSeries;
  for (const Curve& curve : curves)
    for (int state = 0; state < 2; ++state) {
      TLineSeries& s = ColumnExtraSeries(k++);
      s.SetSeriesColor(curve.color);
      s.SetPenStyle(state == 0 ? TPenStyle::Solid : TPenStyle::Dash);
      s.SetPenWidth(&curve == &curves.back() ? 2 : 1);
      s.SetTitle(state == 0 ? curve.name : curve.name + ", " + multiple);
      s.Assign(*curve.rates[state], c.LayerAltitude);
    }
  const TColumnPlotTexts t = ColumnHeatingTexts(c);
  SetChartTitles(t.FirstLine, &t.SecondLine, t.LeftAxis);
  Chart1->BottomAxis().Title().SetCaption(QString::fromStdString(t.BottomAxis));
}

void TForm1::LeaveOutgoingRadiation() {
  TzqColumnPage& p = *ColumnPage;
  if (!p.PlotShown) return;
  p.PlotShown = false;
  TzqLegendElement* legends[] = {Series_0_UILegend, Series_1_UILegend, Series_2_UILegend,
                                 Series_3_UILegend, Series_4_UILegend, Series_5_UILegend};
  for (std::size_t i = 0; i < std::size(legends) && i < p.SavedLegends.size(); ++i)
    if (legends[i]) legends[i]->setText(p.SavedLegends[i]);
  for (TzqLegendElement* l : legends)
    if (l) l->setEnabled(true);
  TzqSpinEdit* spins[] = {Series_3_zqSpinEdit, Series_4_zqSpinEdit, Series_5_zqSpinEdit};
  for (std::size_t i = 0; i < std::size(spins) && i < p.SavedBlackbodyTemperatures.size(); ++i)
    AssignValue(spins[i], p.SavedBlackbodyTemperatures[i]);
  if (p.FirstExtraSeries >= 0)
    for (int n = p.FirstExtraSeries; n < Chart1->SeriesCount(); ++n)
      Chart1->Series(n).Clear();
  Chart1->BottomAxis().Title().SetCaption(p.SavedBottomTitle);
  Chart1->SetLegendCorner(Qt::AlignTop | Qt::AlignRight);
  restore_range(Chart1->BottomAxis(), p.SavedBottomAutomatic, p.SavedBottomMin, p.SavedBottomMax);
  Chart1->SetWavelengthTopAxis(WavelengthAxis_UIAction->isChecked());
  ShowBandLabels(BandLabels_UIAction->isChecked());
  ClearProblem("column plot");
  // The blackbodies redraw only when their band changed: mark it unknown.
  for (zqsession::TSeriesRole role : zqsession::kBlackbodyRoles) {
    const int n = zqsession::SeriesIndex(role);
    if (n < Chart1->SeriesCount()) Chart1->Series(n).SetVertAxis(TVertAxis::Right);
    if (T_zq_Blackbody* b = BlackbodyOfSeries(n))
      b->XMin = b->XMax = std::numeric_limits<double>::quiet_NaN();
  }
  RefreshBlackbodies();
  Spectra_Type_UIRadioGroup->setEnabled(true);
  Scaling_UIRadioGroup->setEnabled(true);
}

void TForm1::ReadStartPlotType() {
  // "[Window] Plot Type" names the first plot by its table text (e.g. "Outgoing Radiation").
  const std::string text = zqINI_File1->ReadString("Window", "Plot Type", "");
  if (text.empty()) return;
  if (const std::optional<TPlotType> plot = ParsePlotType(text)) {
    auto click = std::exchange(Plot_Type_UIRadioGroup->OnClick, nullptr);
    Plot_Type_UIRadioGroup->SetItemIndex(static_cast<int>(*plot));
    Plot_Type_UIRadioGroup->OnClick = std::move(click);
  } else {
    zq::platform().MessageBox("Configuration", "[Window] Plot Type \"" + text + "\" is not a plot type",
                              zq::mbOK, zq::MsgIcon::Warning);
  }
}

TzqPerGas<const T_zq_HITRAN*> TForm1::TraceLists() const {
  TzqPerGas<const T_zq_HITRAN*> lists{};
  for (const TzqColumnGasInfo& gas : ColumnGases())
    lists[gas.Gas] = TraceGasLists[gas.Gas].get();
  return lists;
}

void TForm1::ShowColumnGases() {
  if (!ColumnPage || !ColumnPage->Gases) return;
  const TzqColumnPage& p = *ColumnPage;
  QStringList rows;
  for (const TzqColumnGasInfo& gas : ColumnGases()) {
    const T_zq_HITRAN* list = gas.Gas == TzqColumnGas::H2O   ? WaterLines
                              : gas.Gas == TzqColumnGas::CO2 ? CO2Lines
                                                             : TraceGasLists[gas.Gas].get();
    const QString file =
        list && !list->Records.empty()
            ? QString::fromStdString(std::filesystem::path(list->Filename).filename().string())
            : QString("no line list: absorbs nothing");
    QString amount;
    if (gas.Gas == TzqColumnGas::CO2)
      amount = QString("%1 ppm, x %2").arg(p.CO2->GetValue()).arg(p.CO2Factor->GetValue());
    else if (gas.Gas == TzqColumnGas::H2O)
      amount = "the atmosphere's humidity";
    else
      amount = QString("the atmosphere's profile, x %1").arg(p.GasFactor[gas.Gas]->GetValue());
    rows << QString("%1: %2 (%3)").arg(gas.Name, file, amount);
  }
  ColumnPage->Gases->setText("Gases: " + rows.join("; "));
}
