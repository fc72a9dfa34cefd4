// The menu bar, the first run and the screenshot option on the real window: demonstration lists written
// and announced (and still announced on a later run), nothing written with real lists, each menu
// command, the load progress dialog, and the program itself run with --screenshot.
#include "Form1TestSupport.h"
#include "zqChart.h"
#include "zqChartProperties_Form.h"
#include "zqDemoLines.h"
#include "zqLoadProgress.h"
#include "zqScreenshot.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QProgressDialog>
#include <QTest>

#include <memory>

using namespace form1test;

namespace {

bool shown(const zq::FakePlatform& fake, const std::string& caption, const std::string& part) {
  for (const auto& m : fake.messages)
    if (m.caption == caption && m.text.find(part) != std::string::npos) return true;
  return false;
}

// Runs the program; its exit code, or -1 when it did not finish in time.
int run_program(const QStringList& args, const std::filesystem::path& folder, QString* err = nullptr) {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("QT_QPA_PLATFORM", "offscreen");
  p.setProcessEnvironment(env);
  p.setWorkingDirectory(QString::fromStdString(folder.string()));
  p.start(ABSORBVIEW_EXE, args);
  if (!p.waitForFinished(120000)) {
    p.kill();
    p.waitForFinished();
    return -1;
  }
  if (err) *err = QString::fromLocal8Bit(p.readAllStandardError());
  return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

// Records the label of every progress dialog shown anywhere in the application.
class ProgressSpy : public QObject {
public:
  ProgressSpy() { qApp->installEventFilter(this); }
  ~ProgressSpy() override { qApp->removeEventFilter(this); }
  QStringList labels;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show)
      if (auto* d = qobject_cast<QProgressDialog*>(watched)) labels << d->labelText();
    return false;
  }
};

} // namespace

class Form1MenuTest : public QObject {
  Q_OBJECT
private slots:
  void firstRunWritesDemonstrationListsAndSaysSo() {
    std::unique_ptr<Harness> h = std::make_unique<Harness>(StartOptions{.data = Data::Demo});
    TForm1& f = *h->form;
    QVERIFY2(h->fake.messages.empty(), h->fake.messages.empty() ? "" : h->fake.messages[0].text.c_str());
    QVERIFY(IsDemoLineListFile(h->co2File()));
    QVERIFY(IsDemoLineListFile(h->waterFile()));
    QVERIFY(f.WaterSeries->Count() > 0);
    QVERIFY(f.CO2Series->Count() > 0);
    QVERIFY(f.windowTitle().contains("demonstration line lists"));
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    QVERIFY(f.DemoLists_UILabel->isVisible());
    QVERIFY(f.DemoLists_UILabel->text().contains("demonstration line lists (h2o and CO2)"));
    // The plot's own problems use the other part of the status bar and leave the notice alone.
    QTest::mouseClick(f.Button1, Qt::LeftButton);
    QVERIFY(f.DemoLists_UILabel->isVisible());

    // A later run finds the written lists, writes nothing and still says what they are.
    const auto written = std::filesystem::last_write_time(h->co2File());
    h->form.reset();
    h->form = std::make_unique<TForm1>();
    QCOMPARE(std::filesystem::last_write_time(h->co2File()), written);
    QVERIFY(h->form->windowTitle().contains("demonstration line lists"));
    QCOMPARE(h->form->DemoLineListSections, (std::vector<std::string>{"h2o", "CO2"}));
  }

  void realListsWriteNothingAndShowThePlainTitle() {
    if (!HaveHitran()) QSKIP("HITRAN line lists not found beside the project");
    Harness h({.data = Data::Band});
    QCOMPARE(h.form->windowTitle(), QString("Absorbview"));
    QVERIFY(h.form->DemoLineListSections.empty());
    QVERIFY(!IsDemoLineListFile(h.co2File()));
    QVERIFY(!IsDemoLineListFile(h.waterFile()));
    h.form->show();
    QVERIFY(!h.form->DemoLists_UILabel->isVisible());
  }

  void menuBarHoldsTheCommands() {
    Harness h({.data = Data::None});
    TForm1& f = *h.form;
    QCOMPARE(f.menuBar()->actions().size(), 2);
    QCOMPARE(f.File_UIMenu->objectName(), QString("File_UIMenu"));
    QStringList file, help;
    for (QAction* a : f.File_UIMenu->actions())
      if (!a->isSeparator()) file << a->objectName();
    for (QAction* a : f.Help_UIMenu->actions())
      help << a->objectName();
    QCOMPARE(file, (QStringList{"OpenWaterLines_UIAction", "OpenCO2Lines_UIAction", "OpenO3Lines_UIAction",
                                "OpenN2OLines_UIAction", "OpenCH4Lines_UIAction", "OpenContinuum_UIAction",
                                "Recent_UIMenuAction", "OpenINI_UIAction", "SaveSettings_UIAction",
                                "SaveSettingsAs_UIAction", "ExportData_UIAction", "CopyData_UIAction",
                                "SaveChartImage_UIAction", "Exit_UIAction"}));
    QCOMPARE(help, (QStringList{"About_UIAction", "UserGuide_UIAction", "HitranHelp_UIAction",
                                "ContinuumHelp_UIAction"}));

    f.About_UIAction->trigger();
    QVERIFY(shown(h.fake, "About Absorbview", "Absorbview " ABSORBVIEW_VERSION));
    QVERIFY(shown(h.fake, "About Absorbview", "absorbview.ini"));
    f.HitranHelp_UIAction->trigger();
    QVERIFY(shown(h.fake, "How to get HITRAN data", "hitran.org"));
    QVERIFY(shown(h.fake, "How to get HITRAN data", "02_CO2.txt"));
    // Where AER publishes the continuum, its licence and where to put it; not acknowledged while unused.
    QVERIFY(!shown(h.fake, "About Absorbview", "Mlawer"));
    f.ContinuumHelp_UIAction->trigger();
    for (const char* text : {"github.com/AER-RC/MT_CKD_H2O", "data/absco-ref_wv-mt-ckd.nc", "release 4.3",
                             "sold commercially", "beside the line lists"})
      QVERIFY2(shown(h.fake, "How to get the continuum", text), text);

    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    f.Exit_UIAction->trigger();
    QVERIFY(!f.isVisible());
    QVERIFY(f.LoadedDatafiles.empty()); // closing ran FormClose
  }

  void openIniStartsTheProgramOnTheFileAndCloses() {
    Harness h({.data = Data::None});
    TForm1& f = *h.form;
    std::vector<std::pair<std::string, std::vector<std::string>>> started;
    bool startWorks = true;
    f.OnStartProgram = [&](const std::string& program, const std::vector<std::string>& args) {
      started.emplace_back(program, args);
      return startWorks;
    };
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));

    f.OpenINI_UIAction->trigger(); // cancelled: nothing happens
    QCOMPARE(h.fake.openRequests.size(), std::size_t(1));
    QCOMPARE(h.fake.openRequests[0].initialDir, h.dir.path().string() + "/");
    QVERIFY(started.empty());

    startWorks = false; // the new process cannot start: say so and stay
    h.fake.openAnswers.push_back("/data/venus.ini");
    f.OpenINI_UIAction->trigger();
    QCOMPARE(started.size(), std::size_t(1));
    QVERIFY(shown(h.fake, "Open INI File", "/data/venus.ini"));
    QVERIFY(f.isVisible());

    startWorks = true;
    h.fake.openAnswers.push_back("/data/venus.ini");
    f.OpenINI_UIAction->trigger();
    QCOMPARE(started.size(), std::size_t(2));
    QCOMPARE(started[1].first, h.fake.executablePath);
    QCOMPARE(started[1].second, (std::vector<std::string>{"/ini", "/data/venus.ini"}));
    QVERIFY(!f.isVisible());
  }

  void saveChartImageUsesThePropertiesDialogsSave() {
    Harness h({.data = Data::Demo});
    TForm1& f = *h.form;
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    const std::filesystem::path png = h.dir / "chart.png";
    h.fake.saveAnswers.push_back(png.string());
    f.SaveChartImage_UIAction->trigger();
    QCOMPARE(h.fake.saveRequests.size(), std::size_t(1));
    QCOMPARE(h.fake.saveRequests[0].title, std::string("Save Chart Image"));
    QImage image(QString::fromStdString(png.string()));
    QCOMPARE(image.size(), f.Chart1->size()); // "Just the Graph", the dialog's first choice
    // The dialog did the work without being shown.
    QVERIFY(TzqChartProperties_Form::Instance());
    QVERIFY(!TzqChartProperties_Form::Instance()->isVisible());
    f.SaveChartImage_UIAction->trigger(); // cancelled: nothing more
    QCOMPARE(h.fake.saveRequests.size(), std::size_t(2));
    QVERIFY(h.fake.messages.empty());
  }

  void screenshotIsTheWindowsPicture() {
    Harness h({.data = Data::Demo});
    QString error;
    const std::filesystem::path png = h.dir / "shot.png";
    QVERIFY2(SaveWindowScreenshot(*h.form, QString::fromStdString(png.string()), error), qPrintable(error));
    const QImage image(QString::fromStdString(png.string()));
    QCOMPARE(image.size(), h.form->size());
    // An image is not all one colour: the chart and controls are in it.
    QVERIFY(image.pixel(10, 10) != image.pixel(image.width() / 3, image.height() / 2) ||
            image.pixel(5, image.height() - 5) != image.pixel(10, 10));
    zqtest::WriteFile(h.dir / "plain", "x");
    QVERIFY(
        !SaveWindowScreenshot(*h.form, QString::fromStdString((h.dir / "plain" / "s.png").string()), error));
    QVERIFY(!error.isEmpty());
  }

  void programWritesItsScreenshotAndExits() {
    // The real program, offscreen, with its INI file (absent: defaults) in a folder of its own so the
    // first run writes its lists there and not beside the built program.
    zqtest::TempDir dir;
    const QString ini = QString::fromStdString((dir / "absorbview.ini").string());
    const QString png = QString::fromStdString((dir / "shot.png").string());
    QString err;
    QCOMPARE(run_program({"/ini", ini, "--screenshot", png}, dir.path(), &err), 0);
    QVERIFY2(err.contains("DEMONSTRATION line lists"), qPrintable(err));
    const QImage image(png);
    Harness h({.data = Data::Demo}); // the same window in this process, for its size
    QCOMPARE(image.size(), h.form->size());
    QVERIFY(IsDemoLineListFile(dir / "02_CO2.txt"));

    // A file that cannot be written: a message and a failing exit code, not help and success.
    const QString bad = QString::fromStdString((dir / "shot.png" / "x.png").string());
    QCOMPARE(run_program({"/ini", ini, "--screenshot", bad}, dir.path(), &err), 1);
    QVERIFY2(err.contains("could not be written"), qPrintable(err));
    QCOMPARE(run_program({"--screenshot"}, dir.path(), &err), 2);
  }

  void progressDialogOnlyForLargeFiles() {
    QWidget parent;
    TzqLoadProgress progress(&parent);
    progress.Report("/x/small.txt", 0, TzqLoadProgress::ShowAbove);
    QVERIFY(progress.Dialog() == nullptr);
    progress.Report("/x/02_CO2.txt", 0, 10'000'000);
    QVERIFY(progress.Dialog() != nullptr);
    QVERIFY(progress.Dialog()->isVisible());
    QVERIFY(progress.Dialog()->labelText().contains("02_CO2.txt"));
    progress.Report("/x/02_CO2.txt", 4'000'000, 10'000'000);
    QCOMPARE(progress.Dialog()->value(), 400);
    progress.Report("/x/small.txt", 0, 1000);
    QVERIFY(progress.Dialog() == nullptr);
    QCOMPARE(progress.FilesShown(), 1);
  }

  void largeRealListsLoadBehindTheProgressDialog() {
    if (!HaveHitran()) QSKIP("HITRAN line lists not found beside the project");
    ProgressSpy spy;
    Harness h({.data = Data::Full});
    QCOMPARE(spy.labels.size(), 2); // 10.4 MB of CO2 and 6.7 MB of water vapour
    QVERIFY(spy.labels[0].contains("01_h2o_161_only.txt"));
    QVERIFY(spy.labels[1].contains("02_CO2.txt"));
    QVERIFY(h.fake.messages.empty());
    QVERIFY(h.form->CO2Series->Count() > 60000);
    // The dialog is gone once loading is over.
    QVERIFY(h.form->findChild<QProgressDialog*>() == nullptr);
  }
};

std::vector<std::unique_ptr<QObject>> MakeMenuTests() {
  std::vector<std::unique_ptr<QObject>> v;
  v.push_back(std::make_unique<Form1MenuTest>());
  return v;
}

#include "test_form1_menu.moc"
