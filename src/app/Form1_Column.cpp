// The Column page: the atmosphere column of the two line lists, computed on a thread of its own with a
// progress bar and a cancel, its fluxes shown as numbers and its top spectrum kept for the Outgoing
// Radiation plot.
#include "Form1_Column.h"

#include "Form1.h"
#include "zqBlackbody.h"
#include "zqChart.h"
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

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>
#include <limits>
#include <utility>

namespace {

constexpr int kEditHeight = 21;
constexpr int kSpinColumn = 3 + 13; // gap and width of the spin buttons beside an edit

// A number field in a cell of its own (the edits place their helpers beside themselves).
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
  e->SetLimitValue(upper > lower);
  e->SetPrecision(upper > lower ? 6 : 5); // results: five significant digits
  // The text is written even for a value equal to the edit's initial one (0: Band Min), so no input
  // starts blank.
  if (upper > lower || value != 0) AssignValue(e, value);
  e->setGeometry(0, 0, 80, kEditHeight);
  e->setToolTip(tip);
  cell->setFixedSize(80 + (std::is_same_v<Edit, TzqSpinEdit> ? kSpinColumn : 0), kEditHeight + 1);
  grid->addWidget(new QLabel(caption), row, 0);
  grid->addWidget(cell, row, 1);
  grid->addWidget(new QLabel(unit), row, 2);
  return e;
}

} // namespace

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

void TzqColumnPage::snapshot(const T_zq_HITRAN* water, const T_zq_HITRAN* co2) {
  const T_zq_HITRAN* lists[2] = {water, co2};
  std::unique_ptr<T_zq_HITRAN>* copies[2] = {&water_, &co2_};
  for (int i = 0; i < 2; ++i) {
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
}

bool TzqColumnPage::Start(const T_zq_HITRAN* water, const T_zq_HITRAN* co2,
                          const TzqColumnSettings& settings) {
  if (thread_) return false;
  snapshot(water, co2);
  settings_ = settings;
  cancel_ = false;
  permille_ = 0;
  Progress->setValue(0);
  thread_ = QThread::create([this] {
    TzqColumnProgress progress;
    progress.Cancel = &cancel_;
    progress.OnProgress = [this](double done) { permille_ = static_cast<int>(std::lround(1000 * done)); };
    run_ = session_.ComputeColumn(settings_, progress);
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
  Progress->setValue(run_.Result.Computed ? 1000 : 0);
  if (run_.Result.Computed) {
    Last = run_.Result;
    LastSettings = settings_;
  } else {
    Last.reset();
  }
  if (OnFinished) OnFinished(run_);
}

void TForm1::BuildColumnPage() {
  auto* page = new TzqColumnPage(this);
  page->setObjectName("ColumnPage");
  ColumnPage = page;
  const TzqColumnSettings d;

  UITabSheet_Column = new QWidget;
  UITabSheet_Column->setObjectName("UITabSheet_Column");
  auto* v = new QVBoxLayout(UITabSheet_Column);
  auto* title = new QLabel("Clear-sky atmosphere column (HITRAN, Voigt)");
  title->setObjectName("Column_Title_UILabel");
  v->addWidget(title);

  auto* inputs = new QGridLayout;
  page->SurfaceTemperature = column_field<TzqSpinEdit>(
      inputs, 0, "Column_Surface_Temperature_UIzqSpinEdit", "Surface Temperature", "K",
      "Surface temperature in K (150 to 350); the standard atmosphere's profile follows it",
      d.SurfaceTemperature, 150, 350);
  page->RelativeHumidity = column_field<TzqSpinEdit>(
      inputs, 1, "Column_RH_UIzqSpinEdit", "Surface RH", "%",
      "Relative humidity in percent (0 to 100), held up to the tropopause", d.RelativeHumidity, 0, 100);
  page->CO2 = column_field<TzqSpinEdit>(inputs, 2, "Column_CO2_UIzqSpinEdit", "CO2", "ppm",
                                        "CO2 in ppm by volume, well mixed", d.CO2, 0, 1000000);
  page->CO2Factor = column_field<TzqSpinEdit>(
      inputs, 3, "Column_CO2_Factor_UIzqSpinEdit", "CO2 multiple", "x",
      "The multiple of the CO2 amount compared with it (2: doubled CO2)", d.CO2Factor, 0, 1000);
  page->TopAltitude =
      column_field<TzqSpinEdit>(inputs, 4, "Column_Top_UIzqSpinEdit", "Top Altitude", "km",
                                "Top of the column in km (above 0, at most 100)", d.TopAltitude, 0, 100);
  page->Layers = column_field<TzqSpinEdit>(inputs, 5, "Column_Layers_UIzqSpinEdit", "Layers", "",
                                           "Number of layers (1 to 500), evenly spaced in log-pressure",
                                           d.Layers, 1, 500);
  page->WavenumberMin =
      column_field<TzqSpinEdit>(inputs, 6, "Column_Wavenumber_Min_UIzqSpinEdit", "Band Min", "cm-1",
                                "Lower end of the band in cm-1", d.WavenumberMin, 0, 100000);
  page->WavenumberMax =
      column_field<TzqSpinEdit>(inputs, 7, "Column_Wavenumber_Max_UIzqSpinEdit", "Band Max", "cm-1",
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
  page->Progress = new QProgressBar;
  page->Progress->setObjectName("Column_UIProgressBar");
  page->Progress->setRange(0, 1000);
  page->Progress->setValue(0);
  page->Progress->setTextVisible(false);
  v->addWidget(page->Progress);

  auto* box = new QGroupBox("Results (W/m2)");
  box->setObjectName("Column_Results_UIGroupBox");
  auto* results = new QGridLayout(box);
  auto result = [&](int row, const char* name, const QString& caption, const QString& tip) {
    auto* e = column_field<TzqNumberEdit>(results, row, name, caption, "W/m2", tip, 0, 0, 0);
    e->setText("");
    e->SetReadOnly(true);
    return e;
  };
  page->OLR1x =
      result(0, "Column_OLR_1x_UIEdit", "OLR 1x", "Outgoing longwave radiation over the band, W/m2");
  page->OLRNx =
      result(1, "Column_OLR_Nx_UIEdit", "OLR Nx", "Outgoing longwave radiation at the CO2 multiple, W/m2");
  page->ForcingTOA = result(2, "Column_Forcing_TOA_UIEdit", "Forcing TOA", "OLR 1x - OLR Nx, W/m2");
  page->ForcingTropopause = result(3, "Column_Forcing_Tropopause_UIEdit", "Forcing tropopause",
                                   "Change of the net upward flux at the tropopause, 1x - Nx, W/m2");
  page->SurfaceDownwelling1x = result(4, "Column_Surface_Down_1x_UIEdit", "Surface downwelling 1x",
                                      "Downward flux at the surface, W/m2");
  page->SurfaceDownwellingNx = result(5, "Column_Surface_Down_Nx_UIEdit", "Surface downwelling Nx",
                                      "Downward flux at the surface at the CO2 multiple, W/m2");
  page->SurfaceEmission = result(6, "Column_Surface_Emission_UIEdit", "Surface emission",
                                 "Blackbody emission of the surface over the band, W/m2");
  v->addWidget(box);
  page->Coverage = new QLabel;
  page->Coverage->setObjectName("Column_Coverage_UILabel");
  page->Coverage->setWordWrap(true);
  v->addWidget(page->Coverage);
  v->addStretch(1);
  PageControl1->addTab(UITabSheet_Column, "Column");

  connect(page->ComputeButton, &QPushButton::clicked, this,
          [this] { Column_Compute_UIButtonClick(nullptr); });
  connect(page->CancelButton, &QPushButton::clicked, this, [this] { Column_Cancel_UIButtonClick(nullptr); });
  page->OnFinished = [this](const zqsession::TColumnRun& run) { ColumnFinished(run); };
}

std::optional<TzqColumnSettings> TForm1::ColumnSettingsOfControls(zqsession::TzqStatus& status) const {
  TzqColumnPage& p = *ColumnPage;
  TzqColumnSettings s;
  s.SurfaceTemperature = p.SurfaceTemperature->GetValue();
  s.RelativeHumidity = p.RelativeHumidity->GetValue();
  s.CO2 = p.CO2->GetValue();
  s.CO2Factor = p.CO2Factor->GetValue();
  s.TopAltitude = p.TopAltitude->GetValue();
  const double layers = p.Layers->GetValue();
  s.Layers = static_cast<int>(layers);
  s.WavenumberMin = p.WavenumberMin->GetValue();
  s.WavenumberMax = p.WavenumberMax->GetValue();
  std::string why =
      s.Layers == layers ? CheckColumnSettings(s) : "The number of layers must be a whole number";
  if (why.empty()) return s;
  status.Refuse("column", why);
  return std::nullopt;
}

void TForm1::Column_Compute_UIButtonClick(QObject* /*Sender*/) {
  if (ColumnPage->Running()) return;
  zqsession::TzqStatus status;
  const std::optional<TzqColumnSettings> s = ColumnSettingsOfControls(status);
  // The results on the page are always those of the inputs shown: a refusal leaves none.
  for (TzqNumberEdit* e :
       {ColumnPage->OLR1x, ColumnPage->OLRNx, ColumnPage->ForcingTOA, ColumnPage->ForcingTropopause,
        ColumnPage->SurfaceDownwelling1x, ColumnPage->SurfaceDownwellingNx, ColumnPage->SurfaceEmission})
    e->setText("");
  ColumnPage->Coverage->clear();
  if (!s) {
    ColumnPage->Last.reset();
    ColumnPage->Progress->setValue(0);
    ShowStatus("column", status);
    return;
  }
  ColumnPage->Start(WaterLines, CO2Lines, *s);
  ColumnPage->ComputeButton->setEnabled(false);
  ColumnPage->CancelButton->setEnabled(true);
}

void TForm1::Column_Cancel_UIButtonClick(QObject* /*Sender*/) {
  ColumnPage->Cancel();
}

void TForm1::ColumnFinished(const zqsession::TColumnRun& run) {
  ColumnPage->ComputeButton->setEnabled(true);
  ColumnPage->CancelButton->setEnabled(false);
  if (run.Result.Computed) {
    const TzqColumnResult& r = run.Result;
    const std::pair<TzqNumberEdit*, double> shown[] = {
        {ColumnPage->OLR1x, r.OLR1x},
        {ColumnPage->OLRNx, r.OLRNx},
        {ColumnPage->ForcingTOA, r.ForcingTOA},
        {ColumnPage->ForcingTropopause, r.ForcingTropopause},
        {ColumnPage->SurfaceDownwelling1x, r.SurfaceDownwelling1x},
        {ColumnPage->SurfaceDownwellingNx, r.SurfaceDownwellingNx},
        {ColumnPage->SurfaceEmission, r.SurfaceEmission}};
    for (const auto& [edit, value] : shown)
      AssignValue(edit, value);
  }
  ShowStatus("column", run.Status);
  // The results leave out what the lists lack: said beside them.
  QStringList holes;
  if (run.Result.Computed)
    for (const auto& [list, name] : {std::pair{WaterLines, "water"}, std::pair{CO2Lines, "CO2"}})
      if (list)
        if (const std::string text =
                zqsession::LineGapsText(name, zqsession::GapsWithin(zqsession::FindLineGaps(list->Records),
                                                                    ColumnPage->LastSettings.WavenumberMin,
                                                                    ColumnPage->LastSettings.WavenumberMax));
            !text.empty())
          holes << QString::fromStdString(text);
  ColumnPage->Coverage->setText(holes.join("\n"));
  // A new surface temperature gives the plot's surface Planck curve its temperature.
  if (run.Result.Computed) ColumnPage->PlanckTemperatures[0] = ColumnPage->LastSettings.SurfaceTemperature;
  if (run.Result.Computed && PlotChoiceOfControls().plotType == TPlotType::OutgoingRadiation)
    DrawOutgoingRadiation();
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

void TForm1::DrawOutgoingRadiation() {
  TzqColumnPage& p = *ColumnPage;
  if (!p.Last) {
    // Nothing computed yet: compute with the page's values; the plot follows when the run ends.
    if (!p.Running()) Column_Compute_UIButtonClick(nullptr);
    return;
  }
  TzqLegendElement* legends[] = {Series_0_UILegend, Series_1_UILegend, Series_2_UILegend,
                                 Series_3_UILegend, Series_4_UILegend, Series_5_UILegend};
  TzqSpinEdit* spins[] = {Series_3_zqSpinEdit, Series_4_zqSpinEdit, Series_5_zqSpinEdit};
  const TzqColumnResult& r = *p.Last;
  const TzqColumnSettings& s = p.LastSettings;
  if (!p.PlotShown) {
    p.SavedLegends.clear();
    for (TzqLegendElement* l : legends)
      p.SavedLegends.push_back(l ? l->text() : QString());
    p.SavedBlackbodyTemperatures.clear();
    for (TzqSpinEdit* spin : spins)
      p.SavedBlackbodyTemperatures.push_back(spin->Value());
    p.PlanckTemperatures = zqsession::OutgoingRadiationTemperatures(s);
    p.PlotShown = true;
  }
  // The Blackbody panel shows the temperatures of the plot's Planck curves (and sets them).
  p.SettingPlanck = true;
  for (int i = 0; i < 3; ++i)
    AssignValue(spins[i], p.PlanckTemperatures[i]);
  p.SettingPlanck = false;
  const QString factor = QString::number(s.CO2Factor);
  const QString texts[] = {"Top, 1x CO2", QString("Top, %1x CO2").arg(factor), "(not used)", "", "", ""};
  for (int i = 0; i < 6; ++i)
    if (legends[i]) legends[i]->setText(texts[i]);
  if (legends[2]) legends[2]->setEnabled(false); // the plot has no third curve
  const std::string names[] = {"Top of atmosphere, 1x CO2",
                               "Top of atmosphere, " + factor.toStdString() + "x CO2",
                               "",
                               zqapp::PlanckLegendText(p.PlanckTemperatures[0]) + " (surface)",
                               zqapp::PlanckLegendText(p.PlanckTemperatures[1]),
                               zqapp::PlanckLegendText(p.PlanckTemperatures[2])};
  for (int i = 0; i < 6 && i < Chart1->SeriesCount(); ++i)
    Chart1->Series(i).SetTitle(names[i]);

  const int count = Chart1->SeriesCount();
  if (count > 0) Chart1->Series(0).Assign(r.Wavenumber, r.OLR1xSpectrum);
  if (count > 1) Chart1->Series(1).Assign(r.Wavenumber, r.OLRNxSpectrum);
  if (count > 2) Chart1->Series(2).Clear();
  std::vector<zqsession::TPlanckCurve> curves = zqsession::OutgoingRadiationCurves(s, p.PlanckTemperatures);
  for (int c = 0; c < 3 && 3 + c < count; ++c) {
    Chart1->Series(3 + c).Assign(std::move(curves[c].X), std::move(curves[c].Y));
    Chart1->Series(3 + c).SetVertAxis(TVertAxis::Left); // the same axis as the spectra they bound
  }

  zqapp::PlotTitles t = zqapp::BuildPlotTitles(PlotChoiceOfControls(), 0, {});
  t.secondLine = QString("%1 K surface   %2 % RH   %3 ppm CO2 and x %4   %5 layers to %6 km")
                     .arg(s.SurfaceTemperature)
                     .arg(s.RelativeHumidity)
                     .arg(s.CO2)
                     .arg(factor)
                     .arg(s.Layers)
                     .arg(s.TopAltitude)
                     .toStdString();
  BB_Envelope_UICheckBox->setEnabled(t.envelopeEnabled);
  Scaling_UIRadioGroup->setEnabled(t.groupsEnabled);
  Spectra_Type_UIRadioGroup->setEnabled(t.groupsEnabled);
  SetChartTitles(t.firstLine, &t.secondLine, t.leftAxis);
}

void TForm1::LeaveOutgoingRadiation() {
  TzqColumnPage& p = *ColumnPage;
  if (!p.PlotShown) return;
  p.PlotShown = false;
  TzqLegendElement* legends[] = {Series_0_UILegend, Series_1_UILegend, Series_2_UILegend,
                                 Series_3_UILegend, Series_4_UILegend, Series_5_UILegend};
  for (std::size_t i = 0; i < std::size(legends) && i < p.SavedLegends.size(); ++i)
    if (legends[i]) legends[i]->setText(p.SavedLegends[i]);
  if (legends[2]) legends[2]->setEnabled(true);
  TzqSpinEdit* spins[] = {Series_3_zqSpinEdit, Series_4_zqSpinEdit, Series_5_zqSpinEdit};
  for (std::size_t i = 0; i < std::size(spins) && i < p.SavedBlackbodyTemperatures.size(); ++i)
    AssignValue(spins[i], p.SavedBlackbodyTemperatures[i]);
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
