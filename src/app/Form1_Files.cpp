// Line lists and plotted data through the File menu: opening a line list for water vapour or carbon
// dioxide (any HITRAN file, or a HITRAN-API table), also by dropping a file on the window or from the
// recent files; exporting the plotted series as CSV and copying them, tab-separated, to the clipboard.
#include "Form1.h"

#include "zqChart.h"
#include "zqChart_Tools.h"
#include "zqContinuumUse.h"
#include "zqFirstRun.h"
#include "zqGasLists.h"
#include "zqHITRAN.h"
#include "zqINI_File.h"
#include "zqLegendElement.h"
#include "zqLineListFile.h"
#include "zqLoadProgress.h"
#include "zqPlatform.h"
#include "zqPlotModes.h"
#include "zqRadioGroup.h"
#include "zqSeriesTable.h"
#include "zqSettings.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QUrl>

#include <filesystem>

namespace {

const std::string kWaterSection = zqsession::SectionOf(zqsession::TSeriesRole::Water);
const std::string kCO2Section = zqsession::SectionOf(zqsession::TSeriesRole::CO2);

std::string gas_name(const std::string& section) {
  return section == kWaterSection ? "water vapour (H2O)" : "carbon dioxide (CO2)";
}

std::string file_name(const std::string& path) {
  return std::filesystem::path(path).filename().string();
}

// The local file a drag carries, or an empty text.
QString dropped_file(const QMimeData* data) {
  if (!data || !data->hasUrls()) return {};
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) return url.toLocalFile();
  return {};
}

} // namespace

void TForm1::OpenWaterLines_UIActionClick(QObject* /*Sender*/) {
  AskForLineList(kWaterSection);
}

void TForm1::OpenCO2Lines_UIActionClick(QObject* /*Sender*/) {
  AskForLineList(kCO2Section);
}

namespace {

// The open dialog of a gas's line list, starting in the folder of the list it has.
zq::FileDialogRequest line_list_request(const std::string& gas, const TzqDatafile* current) {
  zq::FileDialogRequest request;
  request.title = "Open line list for " + gas;
  request.filter = "HITRAN line lists (*.par;*.txt;*.data;*.header)|*.par;*.txt;*.data;*.header|"
                   "All Files (*.*)|*.*";
  if (current && !current->Filename.empty())
    request.initialDir = std::filesystem::path(current->Filename).parent_path().string();
  return request;
}

} // namespace

void TForm1::AskForLineList(const std::string& section) {
  if (const auto file =
          zq::platform().OpenFileDialog(line_list_request(gas_name(section), FindDatafile(section))))
    OpenLineList(section, *file);
}

void TForm1::AskForTraceGasList(TzqColumnGas gas) {
  if (const auto file =
          zq::platform().OpenFileDialog(line_list_request(ColumnGasInfo(gas).Name, TraceGasLists[gas].get())))
    OpenTraceGasList(gas, *file);
}

void TForm1::LoadTraceGasLists() {
  zqsession::TConfiguredGasLists loaded = zqsession::LoadConfiguredGasLists(*zqINI_File1);
  for (const TzqColumnGasInfo& gas : ColumnGases()) {
    TraceGasLists[gas.Gas] = std::move(loaded.Lists[gas.Gas]);
    Session.GasLists[gas.Gas] = TraceGasLists[gas.Gas].get();
  }
  for (const zqsession::TStatusItem& e : loaded.Errors)
    zq::platform().MessageBox("Open line list", e.Text, zq::mbOK, zq::MsgIcon::Error);
}

bool TForm1::OpenTraceGasList(TzqColumnGas gas, const std::string& picked) {
  const std::string caption = "Open line list";
  const TLineListPick pick = ResolveLineListFile(picked);
  if (!pick.Error.empty()) {
    zq::platform().MessageBox(caption, pick.Error, zq::mbOK, zq::MsgIcon::Error);
    return false;
  }
  zqsession::TGasListLoad load;
  {
    TzqLoadProgress progress(this);
    load = zqsession::LoadGasList(gas, pick.File, zqINI_File1.get(),
                                  [&](const std::string&, const std::string& file, uint64_t read,
                                      uint64_t total) { progress.Report(file, read, total); });
  }
  if (!load.List) {
    zq::platform().MessageBox(caption, load.Error, zq::mbOK, zq::MsgIcon::Error);
    return false;
  }
  // A run on the Column page works on copies, so the old list may go now.
  TraceGasLists[gas] = std::move(load.List);
  Session.GasLists[gas] = TraceGasLists[gas].get();
  zqINI_File1->WriteString(zqsession::SectionOf(gas), "Filename", pick.File);
  ShowLineFiles();
  ShowColumnGases();
  if (Session.Controls.Gas == gas) Select_Plot(nullptr);
  return true;
}

bool TForm1::OpenLineList(const std::string& section, const std::string& picked) {
  const std::string caption = "Open line list";
  const TLineListPick pick = ResolveLineListFile(picked);
  if (!pick.Error.empty()) {
    zq::platform().MessageBox(caption, pick.Error, zq::mbOK, zq::MsgIcon::Error);
    return false;
  }
  TLineListLoad load;
  {
    TzqLoadProgress progress(this);
    load = LoadLineListFile(*zqINI_File1, section, pick.File,
                            [&](const std::string&, const std::string& file, uint64_t read, uint64_t total) {
                              progress.Report(file, read, total);
                            });
  }
  auto* list = dynamic_cast<T_zq_HITRAN*>(load.List.get());
  if (!list) {
    zq::platform().MessageBox(
        caption, load.Error.empty() ? "[" + section + "] is not a HITRAN line list." : load.Error, zq::mbOK,
        zq::MsgIcon::Error);
    return false;
  }
  // The chart forgets the old list before it is freed.
  const int index = zqsession::SeriesIndex(section == kWaterSection ? zqsession::TSeriesRole::Water
                                                                    : zqsession::TSeriesRole::CO2);
  const auto records = zqChart_Tools1->SeriesRecords();
  if (index < static_cast<int>(records.size()))
    zqChart_Tools1->BindSeries(index, records[index].Section, list, records[index].Legend, "spectra");
  (section == kWaterSection ? WaterLines : CO2Lines) = list;
  (section == kWaterSection ? Session.Water : Session.CO2) = list;
  const std::unique_ptr<TzqDatafile> previous =
      ReplaceDatafile(LoadedDatafiles, section, std::move(load.List));

  zqINI_File1->WriteString(section, "Filename", pick.File);
  RecentFiles = zqsettings::WithRecentFile(RecentFiles, pick.File);
  RebuildRecentMenu();
  ShowDemoNotice();
  ShowLineFiles();
  ShowColumnGases();
  Select_Plot(nullptr);
  return true;
}

void TForm1::ShowLineFiles() {
  std::string names, paths;
  for (const std::string& section : {kWaterSection, kCO2Section}) {
    const TzqDatafile* d = FindDatafile(section);
    const std::string file = d && !d->Filename.empty() ? d->Filename : "none";
    const std::string gas = section == kWaterSection ? "H2O" : "CO2";
    names += (names.empty() ? "" : ", ") + gas + ": " + file_name(file);
    paths += (paths.empty() ? "" : "\n") + gas + ": " + file;
  }
  // The further gases only once they have a list.
  for (const TzqColumnGasInfo& gas : ColumnGases())
    if (const T_zq_HITRAN* list = TraceGasLists[gas.Gas].get()) {
      names += std::string(", ") + gas.Name + ": " + file_name(list->Filename);
      paths += std::string("\n") + gas.Name + ": " + list->Filename;
    }
  LineFiles_UILabel->setText(QString::fromStdString(names));
  LineFiles_UILabel->setToolTip(QString::fromStdString(paths));
  LineFiles_UILabel->setVisible(true);
  const QString title = windowTitle().section(" \u2014 ", 0, 0);
  setWindowTitle(title + " \u2014 " + QString::fromStdString(names));
}

void TForm1::RebuildRecentMenu() {
  Recent_UIMenu->clear();
  for (const std::string& file : RecentFiles) {
    QMenu* gas = Recent_UIMenu->addMenu(QString::fromStdString(file));
    gas->addAction("as water vapour (H2O)", this, [this, file] { OpenLineList(kWaterSection, file); });
    gas->addAction("as carbon dioxide (CO2)", this, [this, file] { OpenLineList(kCO2Section, file); });
  }
  Recent_UIMenu->setEnabled(!RecentFiles.empty());
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
  if (!dropped_file(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
  const QString file = dropped_file(event->mimeData());
  if (file.isEmpty()) return;
  event->acceptProposedAction();
  DropLineList(file.toStdString());
}

void TForm1::DropLineList(const std::string& file) {
  const zq::ModalResult answer = zq::platform().MessageBox(
      "Open line list",
      "Which gas are the lines of\n" + file +
          "?\n\nYes: water vapour (H2O)\nNo: carbon dioxide (CO2)\nCancel: do not open it",
      zq::mbYes | zq::mbNo | zq::mbCancel, zq::MsgIcon::Question);
  if (answer == zq::ModalResult::Yes)
    OpenLineList(kWaterSection, file);
  else if (answer == zq::ModalResult::No)
    OpenLineList(kCO2Section, file);
}

std::string TForm1::PlottedDataText(char separator) const {
  TNamedSeries series;
  const std::pair<const char*, TLineSeries*> gases[] = {
      {"H2O", WaterSeries}, {"CO2", CO2Series}, {"Combined", CombinedSeries}};
  for (const auto& [name, s] : gases)
    if (s && s->Active() && s->Count() > 0) series.emplace_back(name, s);
  // A CSV export of values that include the continuum acknowledges it.
  const bool acknowledge = separator == ',' && zqsession::ContinuumInResults(
                                                   Session.Controls, Session.ContinuumTable() != nullptr);
  return SeriesTableText(series, ShowsLinePlot(), separator,
                         acknowledge ? zqsession::ContinuumCommentLines() : std::string());
}

bool TForm1::ShowsLinePlot() const {
  const zqapp::PlotChoice choice = PlotChoiceOfControls();
  return IsLinePlot(choice.physics, choice.plotType, choice.spectraType);
}

std::optional<std::string> TForm1::ChooseCsvToSave(const std::string& title, const std::string& fileName) {
  zq::FileDialogRequest request;
  request.title = title;
  request.filter = "CSV files (*.csv)|*.csv|All Files (*.*)|*.*";
  request.initialDir = zqINI_File1->Directory();
  request.fileName = fileName;
  request.defaultExt = "csv";
  return zq::platform().SaveFileDialog(request);
}

void TForm1::ExportData_UIActionClick(QObject* /*Sender*/) {
  const auto file = ChooseCsvToSave("Export plotted data", "absorbview.csv");
  if (!file) return;
  try {
    zqReplaceFileBytes(*file, PlottedDataText(','));
  } catch (const std::exception& e) {
    zq::platform().MessageBox("Export plotted data",
                              "The data could not be written to\n" + *file + "\n\n" + e.what(), zq::mbOK,
                              zq::MsgIcon::Error);
  }
}

void TForm1::CopyData_UIActionClick(QObject* /*Sender*/) {
  QApplication::clipboard()->setText(QString::fromStdString(PlottedDataText('\t')));
}
