// Start-up and loading: the order in which the window is built, the configuration read, the data files
// loaded and bound to chart series, the controls brought into agreement and the first plot drawn; and
// the end of the run.
#include "Form1.h"
#include "Form1_Column.h"

#include "zqAtmosphere.h"
#include "zqBlackbody.h"
#include "zqChart.h"
#include "zqChart_Tools.h"
#include "zqHITRAN.h"
#include "zqINI_File.h"
#include "zqLegendElement.h"
#include "zqLoadProgress.h"
#include "zqPlatform.h"
#include "zqRadioGroup.h"
#include "zqSpinEdit.h"

#include <QCloseEvent>
#include <QLabel>
#include <QTabWidget>
#include <QVariant>

#include <algorithm>

int TagOf(const QObject* object) {
  QVariant v = object ? object->property("Tag") : QVariant();
  return v.isValid() ? v.toInt() : -1;
}

void SetTag(QObject* object, int tag) {
  object->setProperty("Tag", tag);
}

TForm1::TForm1(QWidget* parent, TFirstRun firstRun) : QMainWindow(parent), firstRun_(firstRun) {
  DefineWindow();
  WireEvents();
  Loading = false;
  // The INI store finishes loading last: command line, defaults, file, then zqINI_File1ReadComplete.
  zqINI_File1->Loaded();
  FormCreate(this);
  RestoreGeometry();
}

TForm1::~TForm1() {
  if (!closed_) FormClose(this);
  // The child widgets outlive these members; their last signals (a field losing focus) must not reach
  // the status board any more.
  tearingDown_ = true;
  zqChart_Tools1->SetzqINI_File(nullptr);
}

void TForm1::zqINI_File1ReadComplete(TzqINI_File* /*Sender*/) {
  // The store raises the event again at the end of its loading; the data must be loaded once.
  zqINI_File1->OnReadComplete = nullptr;
  StartupLog.push_back("zqINI_File1ReadComplete");

  if (firstRun_ == TFirstRun::DemoLists) ProvideDemoLineLists();
  LoadDatafiles();
  ShowDemoNotice();

  // Line lists: water, carbon dioxide and the combined spectrum are series 0, 1 and 2.
  using zqsession::TSeriesRole;
  WaterLines = FindLineList(zqsession::SectionOf(TSeriesRole::Water));
  CO2Lines = FindLineList(zqsession::SectionOf(TSeriesRole::CO2));
  CombinedLines = FindLineList(zqsession::SectionOf(TSeriesRole::Combined));
  Session.Water = WaterLines;
  Session.CO2 = CO2Lines;
  Session.Combined = CombinedLines;
  LoadTraceGasLists();
  zqChart_Tools1->AddSeries("h2o", "spectra", WaterLines, Series_0_UILegend);
  zqChart_Tools1->AddSeries("co2", "spectra", CO2Lines, Series_1_UILegend);
  zqChart_Tools1->AddSeries("Combined", "spectra", CombinedLines, Series_2_UILegend);

  // Blackbody curves: series 3, 4 and 5 on the right axis.
  BindBlackbody("blackbody 1", Series_3_zqSpinEdit, Series_3_UILegend);
  BindBlackbody("blackbody 2", Series_4_zqSpinEdit, Series_4_UILegend);
  BindBlackbody("blackbody 3", Series_5_zqSpinEdit, Series_5_UILegend);

  WaterSeries = &Chart1->Series(zqsession::SeriesIndex(TSeriesRole::Water));
  CO2Series = &Chart1->Series(zqsession::SeriesIndex(TSeriesRole::CO2));
  CombinedSeries = &Chart1->Series(Series_2_UILegend->Tag);

  Wavelength_UIzqSpinEditChange(nullptr);

  // The CO2 mixing ratio starts where the CLI starts: "[CO2] ppmv", refused by name when unusable.
  const zqsession::TCO2Default co2 = zqsession::ReadCO2Default(*zqINI_File1);
  if (co2.Refusal)
    zq::platform().MessageBox("Configuration",
                              co2.Refusal->Text + "; " + zqFloatToText(co2.Value) + " is used", zq::mbOK,
                              zq::MsgIcon::Warning);
  AssignValue(CO2_Concentration_UIzqSpinEdit, co2.Value);
  // The line physics starts where the CLI starts: "[Line Physics] Model", Classic when absent.
  const zqsession::TPhysicsDefault physics = zqsession::ReadPhysicsDefault(*zqINI_File1);
  if (physics.Refusal)
    zq::platform().MessageBox("Configuration",
                              physics.Refusal->Text + "; " + LinePhysicsText(physics.Value) + " is used",
                              zq::mbOK, zq::MsgIcon::Warning);
  ShowLinePhysics(physics.Value);
  // The continuum file of the INI file, else the one beside the water list; on when a file is known.
  LoadStartupContinuum();

  int surface = Atmosphere_Layer_UIRadioGroup->IndexOfText("surface");
  Atmosphere_Layer_UIRadioGroup->SetItemIndex(surface);
  RestoreSavedControls();

  Blackbody_UIzqSpinEditChange(Series_3_zqSpinEdit);
  Blackbody_UIzqSpinEditChange(Series_4_zqSpinEdit);
  Blackbody_UIzqSpinEditChange(Series_5_zqSpinEdit);

  zqChart_Tools1->ReadGraphTitles("graph1");
  zqChart_Tools1->ReadRightAxis("Right Axis");

  ReadStartPlotType();
  Select_Plot(nullptr);
}

void TForm1::BindBlackbody(const std::string& section, TzqSpinEdit* spin, TzqLegendElement* legend) {
  auto* blackbody = TzqChart_Tools::CheckSeriesDatafile<T_zq_Blackbody>(section, FindDatafile(section),
                                                                        "a blackbody curve");
  int index = zqChart_Tools1->AddSeries(section, "blackbody", blackbody, legend);
  // Without its curve the spin edit keeps Tag -1 and draws nothing.
  if (blackbody) {
    SetTag(spin, legend->Tag);
    AssignValue(spin, blackbody->Temperature);
  }
  legend->setText(QString());
  if (index >= 0) Chart1->Series(index).SetVertAxis(TVertAxis::Right);
}

void TForm1::LoadDatafiles() {
  TzqLoadProgress progress(this);
  ::LoadDatafiles(*zqINI_File1, LoadedDatafiles,
                  [&](const std::string&, const std::string& file, uint64_t read, uint64_t total) {
                    progress.Report(file, read, total);
                  });
}

void TForm1::ReadDatafileParameters(TzqDatafile& object, const std::string& section) {
  object.ReadParameters(*zqINI_File1, section);
}

TzqDatafile* TForm1::FindDatafile(const std::string& name) const {
  return ::FindDatafile(LoadedDatafiles, name);
}

T_zq_HITRAN* TForm1::FindLineList(const std::string& name) const {
  return TzqChart_Tools::CheckSeriesDatafile<T_zq_HITRAN>(name, FindDatafile(name), "a HITRAN line list");
}

void TForm1::FormCreate(QObject* /*Sender*/) {
  StartupLog.push_back("FormCreate");
  PageControl1->setTabVisible(PageControl1->indexOf(UITabSheet_test), false);
  Atmosphere = std::make_unique<T_zq_Atmosphere>();
  UpdatingTemperatures = false;
  zq::FontChoice font = Chart1->Title().Font();
  font.color = 0; // black
  Chart1->Title().SetFont(font);
  Wavenumber_MinMax_UIzqSpinEditChange(nullptr);
  Water_Concentration_UIzqSpinEditChange(nullptr);
}

void TForm1::FormClose(QObject* /*Sender*/) {
  closed_ = true;
  // A column run works on copies of its own, but its thread must end before the window does.
  if (ColumnPage) ColumnPage->CancelAndWait();
  // The chart tools forget the objects first, so a late event (a field losing focus as the window
  // closes) finds no data file instead of a freed one.
  const auto records = zqChart_Tools1->SeriesRecords();
  for (int i = 0; i < static_cast<int>(records.size()); ++i)
    if (records[i].Datafile)
      zqChart_Tools1->BindSeries(i, records[i].Section, nullptr, records[i].Legend, "");
  WaterLines = CO2Lines = CombinedLines = nullptr;
  Session.Water = Session.CO2 = Session.Combined = nullptr;
  Session.GasLists = {};
  LoadedDatafiles.clear();
  for (auto& list : TraceGasLists.Values)
    list.reset();
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (!closed_) FormClose(this);
  event->accept();
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyRelease) {
    auto it = keyUpHandlers_.find(watched);
    if (it != keyUpHandlers_.end()) it->second(watched);
  } else if (event->type() == QEvent::MouseButtonDblClick) {
    auto it = doubleClickHandlers_.find(watched);
    if (it != doubleClickHandlers_.end()) it->second(watched);
  }
  return QMainWindow::eventFilter(watched, event);
}

void TForm1::ReportProblem(const std::string& source, const std::string& why, const std::string& field) {
  if (tearingDown_) return;
  problems_.Report(source, why, field);
  show_problems();
}

void TForm1::ClearProblem(const std::string& source) {
  if (tearingDown_) return;
  if (!problems_.Has(source)) return;
  problems_.Clear(source);
  show_problems();
}

void TForm1::show_problems() {
  statusLabel_->setText(QString::fromUtf8(problems_.Shown()));
  std::vector<std::string> refused = problems_.RefusedFields();
  for (const std::string& name : refusedFields_)
    if (std::find(refused.begin(), refused.end(), name) == refused.end())
      if (auto* e = findChild<TzqNumberEdit*>(QString::fromStdString(name))) e->SetRefusal({});
  for (const std::string& name : refused)
    if (auto* e = findChild<TzqNumberEdit*>(QString::fromStdString(name)))
      e->SetRefusal(QString::fromUtf8(problems_.ReasonFor(name)));
  refusedFields_ = std::move(refused);
}

QString TForm1::StatusText() const {
  return statusLabel_->text();
}
