// Desktop habits of the real window: every numeric field names its unit, the shortcuts reach their
// commands, and Save settings writes what the window shows so that the next start shows it again, with
// every other byte of the INI file kept.
#include "Form1TestSupport.h"
#include "TestSupport.h"
#include "zqChart.h"
#include "zqCli.h"
#include "zqHITRAN.h"
#include "zqINI_File.h"
#include "zqLineSeries.h"
#include "zqNumberEdit.h"
#include "zqRadioGroup.h"
#include "zqSpinEdit.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDropEvent>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <memory>
#include <sstream>

using namespace form1test;

namespace {

// A user's INI file: remarks, a key of its own and a section the program does not know.
const std::string kUserIni = "; my settings \xB0\n"
                             "[blackbody 1]\n"
                             "Temperature =   288\n"
                             "\n"
                             "[My Notes]\n"
                             "seen = yes\n";

// The rows of a CSV text, split at commas.
std::vector<QStringList> rows(const std::string& text) {
  std::vector<QStringList> out;
  for (const QString& line : QString::fromStdString(text).split('\n', Qt::SkipEmptyParts))
    out.push_back(line.split(','));
  return out;
}

} // namespace

class Form1DesktopTest : public QObject {
  Q_OBJECT
private slots:
  void everyNumericFieldNamesItsUnit() {
    Harness h({.data = Data::None});
    const auto edits = h.form->findChildren<TzqNumberEdit*>();
    QVERIFY(edits.size() >= 30);
    for (TzqNumberEdit* e : edits)
      QVERIFY2(!e->toolTip().isEmpty(), qPrintable(e->objectName()));
    QVERIFY(h.form->Temp_K_UIzqSpinEdit->toolTip().contains("(K)"));
    QVERIFY(h.form->Pressure_UIzqSpinEdit->toolTip().contains("(mb"));
    QVERIFY(h.form->CO2_Concentration_UIzqSpinEdit->toolTip().contains("(ppm)"));
    QVERIFY(h.form->Wavelength_UIzqSpinEdit->toolTip().contains("(nm)"));
    // A field's own hint stays after its unit.
    QVERIFY(h.form->Pressure2_UIzqNumberEdit->toolTip().contains("Double click to copy value to Pressure"));
  }

  void shortcutsReachTheirCommands() {
    Harness h({.data = Data::None});
    TForm1& f = *h.form;
    f.show();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QSignalSpy update(f.Button1, &QPushButton::clicked);
    QTest::keyClick(&f, Qt::Key_F5);
    QCOMPARE(update.count(), 1);
    QCOMPARE(f.SaveSettings_UIAction->shortcut(), QKeySequence("Ctrl+S"));
    QSignalSpy save(f.SaveSettings_UIAction, &QAction::triggered);
    QTest::keyClick(&f, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(save.count(), 1);
    QVERIFY(std::filesystem::exists(h.dir / "absorbview.ini"));
    QTest::keyClick(&f, Qt::Key_Q, Qt::ControlModifier);
    QVERIFY(!f.isVisible());
  }

  void savedSettingsComeBackAtTheNextStart() {
    Harness h({.data = Data::Demo, .ini = kUserIni});
    TForm1& f = *h.form;
    AssignValue(f.Temp_K_UIzqSpinEdit, 250);
    AssignValue(f.Pressure_UIzqSpinEdit, 500);
    AssignValue(f.CO2_Concentration_UIzqSpinEdit, 700);
    AssignValue(f.Series_3_zqSpinEdit, 255);
    Click(f.Scaling_UIRadioGroup, 1);
    // The HITRAN physics with its Doppler profile (an item the classic group has at another place).
    Click(f.Line_Physics_UIRadioGroup, 1);
    Click(f.Spectra_Type_UIRadioGroup, SpectraTypeIndex(TLinePhysics::Hitran, TSpectraType::Doppler));
    const std::pair<const char*, const char*> column[] = {{"Column_Surface_Temperature_UIzqSpinEdit", "291"},
                                                          {"Column_RH_UIzqSpinEdit", "35"},
                                                          {"Column_CO2_UIzqSpinEdit", "420"},
                                                          {"Column_CO2_Factor_UIzqSpinEdit", "4"},
                                                          {"Column_Top_UIzqSpinEdit", "40"},
                                                          {"Column_Layers_UIzqSpinEdit", "12"},
                                                          {"Column_Wavenumber_Min_UIzqSpinEdit", "550"},
                                                          {"Column_Wavenumber_Max_UIzqSpinEdit", "780"}};
    for (const auto& [name, text] : column)
      AssignValue(f.findChild<TzqSpinEdit*>(name), QString(text).toDouble());
    f.Chart1->Series(1).SetSeriesColor(0x123456);
    f.setGeometry(QRect(30, 40, 900, 650));
    f.SaveSettings_UIAction->trigger();
    QVERIFY(h.fake.messages.empty());

    const std::string saved = zqtest::ReadFile(h.dir / "absorbview.ini");
    // The user's lines keep their bytes; only the value of the changed key is new.
    QVERIFY(saved.starts_with(
        "; my settings \xB0\n[blackbody 1]\nTemperature =   255\n\n[My Notes]\nseen = yes\n"));
    QCOMPARE(zqtest::ReadFile(h.dir / "absorbview.bak"), kUserIni);

    TForm1 next(nullptr, TFirstRun::Off);
    QCOMPARE(next.Temp_K_UIzqSpinEdit->text(), f.Temp_K_UIzqSpinEdit->text());
    QCOMPARE(next.Temp_C_UIzqSpinEdit->text(), f.Temp_C_UIzqSpinEdit->text());
    QCOMPARE(next.Pressure_UIzqSpinEdit->text(), QString("500"));
    QCOMPARE(next.CO2_Concentration_UIzqSpinEdit->text(), QString("700"));
    QCOMPARE(next.Series_3_zqSpinEdit->text(), QString("255"));
    QCOMPARE(next.Scaling_UIRadioGroup->ItemIndex(), 1);
    QCOMPARE(next.LinePhysicsOfControls(), TLinePhysics::Hitran);
    QCOMPARE(next.PlotChoiceOfControls().spectraType, TSpectraType::Doppler);
    for (const auto& [name, text] : column)
      QCOMPARE(next.findChild<TzqSpinEdit*>(name)->text(), QString(text));
    QCOMPARE(next.Atmosphere_Layer_UIRadioGroup->ItemIndex(), f.Atmosphere_Layer_UIRadioGroup->ItemIndex());
    QCOMPARE(next.Chart1->Series(1).SeriesColor(), 0x123456u);
    QCOMPARE(next.geometry(), QRect(30, 40, 900, 650));
    // The plot drawn at start-up is the one saved: the same points.
    QCOMPARE(next.CO2Series->YValues(), f.CO2Series->YValues());
    // Nothing changed since: saving again writes the same bytes.
    next.SaveSettings_UIAction->trigger();
    QCOMPARE(zqtest::ReadFile(h.dir / "absorbview.ini"), saved);
  }

  void fileMenuOpensWithEveryCommand();
  void openedLineListTakesEffectAndIsRemembered();
  void openedContinuumTakesEffectAndIsRemembered();
  void droppedFileAsksWhichGas();
  void exportAndCopyGiveThePlottedNumbers();
  void exportIsWhatTheCommandLineToolWrites();

  void aSaveThatFailsSaysSoAndWritesNothing() {
    Harness h({.data = Data::None, .ini = kUserIni});
    h.fake.messages.clear(); // the lists that were not found
    h.fake.saveAnswers.push_back((h.dir / "no such folder" / "a.ini").string());
    h.form->SaveSettingsAs_UIAction->trigger();
    QCOMPARE(h.fake.messages.size(), std::size_t(1));
    QCOMPARE(h.fake.messages[0].caption, std::string("Save settings"));
    QVERIFY(h.fake.messages[0].text.find("no such folder") != std::string::npos);
    QCOMPARE(zqtest::ReadFile(h.dir / "absorbview.ini"), kUserIni);
    // Cancelling the dialog saves nothing and says nothing.
    h.form->SaveSettingsAs_UIAction->trigger();
    QCOMPARE(h.fake.messages.size(), std::size_t(1));
  }
};

// A continuum file opened from the menu: a damaged one is refused by name and changes nothing shown; a
// good one switches the continuum on, darkens the water spectrum, is acknowledged in the About box and
// the export, and comes back at the next start.
void Form1DesktopTest::openedContinuumTakesEffectAndIsRemembered() {
  Harness h({.data = Data::Demo, .ini = kUserIni + "[Line Physics]\nModel = HITRAN\n"});
  TForm1& f = *h.form;
  QVERIFY(!f.Continuum_UICheckBox->isEnabled()); // no file known
  f.Spectra_Type_UIRadioGroup->SetItemIndex(4);  // Voigt
  f.Button1->click();
  const std::vector<double> lines = f.WaterSeries->YValues();
  QVERIFY(!lines.empty());

  zqtest::WriteFile(h.dir / "text.nc", "not netCDF\n");
  h.fake.openAnswers.push_back((h.dir / "text.nc").string());
  f.OpenContinuum_UIAction->trigger();
  QCOMPARE(h.fake.messages.size(), std::size_t(1));
  QCOMPARE(h.fake.messages[0].caption, std::string("Open continuum file"));
  QVERIFY(h.fake.messages[0].text.find((h.dir / "text.nc").string() + " is not a netCDF file") !=
          std::string::npos);
  QVERIFY(!f.Continuum_UICheckBox->isEnabled());
  QCOMPARE(f.WaterSeries->YValues(), lines);

  if (zqtest::ContinuumFile().empty())
    QSKIP("Continuum file not found beside the project (../shared/data/continuum/absco-ref_wv-mt-ckd.nc)");
  const std::string file = zqtest::ContinuumFile().string();
  h.fake.messages.clear();
  h.fake.openAnswers.push_back(file);
  f.OpenContinuum_UIAction->trigger();
  QVERIFY(h.fake.messages.empty());
  QVERIFY(f.Continuum_UICheckBox->isEnabled() && f.Continuum_UICheckBox->isChecked());
  QVERIFY(f.WaterSeries->YValues() != lines); // replotted with the continuum
  QVERIFY(f.PlottedDataText(',').rfind("# Water vapour continuum", 0) == 0);
  QVERIFY(f.PlottedDataText('\t').rfind("wavenumber_cm-1", 0) == 0);
  f.About_UIAction->trigger();
  QCOMPARE(h.fake.messages.size(), std::size_t(1));
  QVERIFY(h.fake.messages[0].text.find("Mlawer") != std::string::npos);
  QVERIFY(h.fake.messages[0].text.find("AER") != std::string::npos);
  // Unticked: the lines alone again, bit for bit.
  f.Continuum_UICheckBox->click();
  QCOMPARE(f.WaterSeries->YValues(), lines);

  f.SaveSettings_UIAction->trigger();
  QVERIFY(zqtest::ReadFile(h.dir / "absorbview.ini").find("File = " + file) != std::string::npos);
  TForm1 next(nullptr, TFirstRun::Off);
  QCOMPARE(next.ContinuumFile, file);
  QVERIFY(next.Continuum_UICheckBox->isEnabled() && next.Continuum_UICheckBox->isChecked());
}

// Also draws the README's picture of the File menu: with ABSORBVIEW_DOCS_DIR set (to the docs folder)
// the window with its open File menu is written there as file-menu.png.
void Form1DesktopTest::fileMenuOpensWithEveryCommand() {
  Harness h({.data = Data::Demo});
  TForm1& f = *h.form;
  f.resize(1100, 720);
  f.show();
  QVERIFY(QTest::qWaitForWindowExposed(&f));
  const QPoint at =
      f.menuBar()->mapTo(&f, f.menuBar()->actionGeometry(f.File_UIMenu->menuAction()).bottomLeft());
  f.File_UIMenu->popup(f.mapToGlobal(at));
  QVERIFY(QTest::qWaitForWindowExposed(f.File_UIMenu));
  QStringList texts;
  for (QAction* a : f.File_UIMenu->actions())
    if (!a->isSeparator()) texts << a->text();
  QCOMPARE(texts.size(), 14);
  for (QAction* a : {f.SaveSettings_UIAction, f.ExportData_UIAction, f.Exit_UIAction})
    QVERIFY(f.File_UIMenu->actionGeometry(a).isValid());
  QVERIFY(f.File_UIMenu->sizeHint().height() >
          10 * f.File_UIMenu->actionGeometry(f.Exit_UIAction).height() / 2);

  if (const QByteArray docs = qgetenv("ABSORBVIEW_DOCS_DIR"); !docs.isEmpty()) {
    QImage shot = f.grab().toImage();
    QPainter painter(&shot);
    const QPixmap menu = f.File_UIMenu->grab();
    painter.drawPixmap(at, menu);
    painter.setPen(QColor(0x80, 0x80, 0x80));
    painter.drawRect(QRect(at, menu.size()).adjusted(0, 0, -1, -1));
    painter.end();
    QVERIFY(shot.save(QString::fromLocal8Bit(docs) + "/file-menu.png"));
  }
  f.File_UIMenu->close();
}

void Form1DesktopTest::openedLineListTakesEffectAndIsRemembered() {
  Harness h({.data = Data::Demo, .ini = kUserIni});
  TForm1& f = *h.form;
  // A HITRAN-API download: records in H2O.data, their description in H2O.header beside it.
  std::filesystem::create_directory(h.dir / "api");
  std::filesystem::copy_file(h.waterFile(), h.dir / "api" / "H2O.data");
  zqtest::WriteFile(h.dir / "api" / "H2O.header", "{\"table_name\": \"H2O\"}");
  const std::string data = (h.dir / "api" / "H2O.data").string();
  const std::size_t points = f.WaterSeries->Count();
  f.WaterSeries->Clear();
  h.fake.openAnswers.push_back((h.dir / "api").string());
  f.OpenWaterLines_UIAction->trigger();
  QVERIFY(h.fake.messages.empty());
  QCOMPARE(f.WaterLines->Filename, data);
  QCOMPARE(f.FindDatafile("h2o"), static_cast<TzqDatafile*>(f.WaterLines));
  QCOMPARE(f.WaterSeries->Count(), points); // replotted at once
  QVERIFY(f.windowTitle().contains("H2O.data"));
  QVERIFY(f.LineFiles_UILabel->text().contains("H2O: H2O.data"));
  QVERIFY(f.LineFiles_UILabel->text().contains("CO2: 02_CO2.txt"));
  QCOMPARE(f.zqINI_File1->ReadString("h2o", "Filename"), data);
  QCOMPARE(f.Recent_UIMenu->actions().size(), 1);
  QVERIFY(f.Recent_UIMenu->isEnabled());

  // A file that is no line list is refused with its reason; the list shown stays.
  zqtest::WriteFile(h.dir / "notes.txt", "shopping list\n");
  T_zq_HITRAN* shown = f.CO2Lines;
  h.fake.openAnswers.push_back((h.dir / "notes.txt").string());
  f.OpenCO2Lines_UIAction->trigger();
  QCOMPARE(h.fake.messages.size(), std::size_t(1));
  QCOMPARE(h.fake.messages[0].caption, std::string("Open line list"));
  QCOMPARE(f.CO2Lines, shown);
  QVERIFY(f.CO2Series->Count() > 0);

  // Saved, the choice and the recent file come back at the next start.
  f.SaveSettings_UIAction->trigger();
  TForm1 next(nullptr, TFirstRun::Off);
  QCOMPARE(next.WaterLines->Filename, data);
  QCOMPARE(next.RecentFiles, std::vector<std::string>{data});
  QCOMPARE(next.WaterSeries->Count(), points);
}

void Form1DesktopTest::droppedFileAsksWhichGas() {
  Harness h({.data = Data::Demo});
  TForm1& f = *h.form;
  std::filesystem::copy_file(h.co2File(), h.dir / "carbon.par");
  const QString file = QString::fromStdString((h.dir / "carbon.par").string());
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(file)});
  f.show();
  QVERIFY(QTest::qWaitForWindowExposed(&f));
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&f, &enter);
  QVERIFY(enter.isAccepted());
  h.fake.messageAnswers.push_back(zq::ModalResult::Cancel);
  QDropEvent cancelled(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&f, &cancelled);
  QCOMPARE(h.fake.messages.size(), std::size_t(1));
  QVERIFY(f.CO2Lines->Filename != file.toStdString());

  h.fake.messageAnswers.push_back(zq::ModalResult::No); // No: carbon dioxide
  QDragEnterEvent again(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&f, &again);
  QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&f, &dropped);
  QCOMPARE(h.fake.messages.size(), std::size_t(2));
  QVERIFY(h.fake.messages[1].text.find("carbon dioxide") != std::string::npos);
  QCOMPARE(f.CO2Lines->Filename, file.toStdString());
}

void Form1DesktopTest::exportAndCopyGiveThePlottedNumbers() {
  Harness h({.data = Data::Demo});
  TForm1& f = *h.form;
  const std::string csv = (h.dir / "out.csv").string();
  // The first plot: raw lines, one row per line and gas.
  h.fake.saveAnswers.push_back(csv);
  f.ExportData_UIAction->trigger();
  QVERIFY(h.fake.messages.empty());
  auto lines = rows(zqtest::ReadFile(csv));
  QCOMPARE(lines.at(0), (QStringList{"gas", "wavenumber_cm-1", "value"}));
  QCOMPARE(lines.size(), 1 + f.WaterSeries->Count() + f.CO2Series->Count());
  QCOMPARE(lines.at(1).at(0), QString("H2O"));
  const double y0 = f.WaterSeries->YValues()[0];
  QVERIFY(std::abs(lines.at(1).at(2).toDouble() - y0) <= 1e-11 * std::abs(y0));

  // A grid plot: one row per wavenumber, a column per gas shown.
  Click(f.Spectra_Type_UIRadioGroup, 2);
  h.fake.saveAnswers.push_back(csv);
  f.ExportData_UIAction->trigger();
  const std::string grid = zqtest::ReadFile(csv);
  lines = rows(grid);
  QCOMPARE(lines.at(0), (QStringList{"wavenumber_cm-1", "H2O", "CO2"}));
  QCOMPARE(lines.size(), 1 + f.WaterSeries->Count());
  const std::size_t k = f.WaterSeries->Count() / 2;
  QCOMPARE(lines.at(1 + k).at(0).toDouble(), f.WaterSeries->XValues()[k]);
  QVERIFY(std::abs(lines.at(1 + k).at(2).toDouble() - f.CO2Series->YValues()[k]) <=
          1e-11 * std::abs(f.CO2Series->YValues()[k]));

  // The clipboard holds the same table, tab-separated.
  f.CopyData_UIAction->trigger();
  QCOMPARE(QApplication::clipboard()->text().replace('\t', ',').toStdString(), grid);

  // A file that cannot be written is named in a message.
  h.fake.saveAnswers.push_back((h.dir / "no such folder" / "a.csv").string());
  f.ExportData_UIAction->trigger();
  QCOMPARE(h.fake.messages.size(), std::size_t(1));
  QCOMPARE(h.fake.messages[0].caption, std::string("Export plotted data"));
}

void Form1DesktopTest::exportIsWhatTheCommandLineToolWrites() {
  Harness h({.data = Data::Demo, .ini = "; export\n"});
  TForm1& f = *h.form;
  f.show(); // typing ends in a field that loses the focus, as for a user
  QVERIFY(QTest::qWaitForWindowExposed(&f));
  Type(f.Wavenumber_Min_UIzqSpinEdit, "600");
  Type(f.Wavenumber_Max_UIzqSpinEdit, "700");
  Type(f.Temp_K_UIzqSpinEdit, "250");
  Type(f.Pressure_UIzqSpinEdit, "500");
  f.Spectra_Type_UIRadioGroup->SetItemIndex(2);
  QTest::mouseClick(f.Button1, Qt::LeftButton);
  f.CombinedSeries->SetActive(true); // all three gases shown, as the tool writes them
  const std::string csv = (h.dir / "window.csv").string();
  h.fake.saveAnswers.push_back(csv);
  f.ExportData_UIAction->trigger();
  std::ostringstream out, err;
  QCOMPARE(RunAbsorbviewCli({"spectrum", "--ini", (h.dir / "absorbview.ini").string(), "--min", "600",
                             "--max", "700", "--temperature", "250", "--pressure", "500", "--spectra",
                             "pressure", "--quiet"},
                            out, err),
           0);
  const std::string window = zqtest::ReadFile(csv), tool = out.str();
  const auto at =
      std::mismatch(window.begin(), window.end(), tool.begin(), tool.end()).first - window.begin();
  QVERIFY2(window == tool,
           qPrintable(QString::fromStdString("first difference at byte " + std::to_string(at) +
                                             ": window \"" + window.substr(at > 80 ? at - 80 : 0, 160) +
                                             "\" tool \"" + tool.substr(at > 80 ? at - 80 : 0, 160) + "\"")));
}

std::vector<std::unique_ptr<QObject>> MakeDesktopTests() {
  std::vector<std::unique_ptr<QObject>> v;
  v.push_back(std::make_unique<Form1DesktopTest>());
  return v;
}

#include "test_form1_desktop.moc"
