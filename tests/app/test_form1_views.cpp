// The views around the chart on the real window: the legend names each curve drawn, the toolbar's
// band labels and wavelength axis, images at a chosen size, the read-out under the cursor with the
// parameters of a line near it, the holes of a pieced-together list shaded and named, and the user
// guide.
#include "Form1TestSupport.h"
#include "zqChart.h"
#include "zqHITRAN.h"
#include "zqLegendElement.h"
#include "zqLineCoverage.h"
#include "zqRadioGroup.h"
#include "zqSpinEdit.h"

#include <QAction>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QTest>
#include <QTextBrowser>

using namespace form1test;

class Form1ViewsTest : public QObject {
  Q_OBJECT
private slots:
  void legendNamesEveryCurveDrawn() {
    Harness h({.data = Data::Demo});
    TForm1& f = *h.form;
    // Raw lines of both gases, the three Planck curves; the hidden mixture is not listed.
    QCOMPARE(f.Chart1->LegendTexts(),
             (QStringList{"H2O lines", "CO2 lines", "Planck 288 K", "Planck 300 K", "Planck 200 K"}));
    Click(f.Spectra_Type_UIRadioGroup, 2);
    QCOMPARE(f.Chart1->LegendTexts().value(0), QString("H2O, pressure broadened, 288 K, 1013 mb"));
    Type(f.Series_4_zqSpinEdit, "310");
    QCOMPARE(f.Chart1->LegendTexts().value(3), QString("Planck 310 K"));
    // A curve hidden by its check box leaves the legend.
    f.Series_0_UILegend->click();
    QVERIFY(!f.Chart1->LegendTexts().contains("H2O, pressure broadened, 288 K, 1013 mb"));
    f.Legend_UIAction->trigger();
    QVERIFY(!f.Chart1->LegendVisible());
  }

  void bandLabelsAndWavelengthAxis() {
    Harness h({.data = Data::Demo});
    TForm1& f = *h.form;
    QVERIFY(f.Chart1->MarkedRanges("bands").empty());
    f.BandLabels_UIAction->trigger();
    const std::vector<TChartRange> bands = f.Chart1->MarkedRanges("bands");
    QCOMPARE(bands.size(), zqsession::KnownBands().size());
    QCOMPARE(bands[1].Label, QString("CO2 15 um"));
    f.BandLabels_UIAction->trigger();
    QVERIFY(f.Chart1->MarkedRanges("bands").empty());

    // The top axis labels round wavelengths, at the wavenumbers of those wavelengths.
    QVERIFY(f.Chart1->WavelengthTopAxis());
    f.Chart1->Refresh();
    QVERIFY(f.Chart1->TopAxis().Axis()->visible());
    QCOMPARE(f.Chart1->TopAxis().Axis()->range(), f.Chart1->BottomAxis().Axis()->range());
    f.WavelengthAxis_UIAction->trigger();
    QVERIFY(!f.Chart1->WavelengthTopAxis());
  }

  void imageAtAChosenSizeAndScale() {
    Harness h({.data = Data::Demo});
    TForm1& f = *h.form;
    const QString png = QString::fromStdString((h.dir / "chart.png").string());
    QVERIFY(f.Chart1->SaveImage(png, 1500, 900, 2));
    const QImage image(png);
    QCOMPARE(image.size(), QSize(1500, 900));
    QVERIFY(f.Chart1->SaveImage(QString::fromStdString((h.dir / "chart.pdf").string()), 1500, 900, 2));
    QVERIFY(std::filesystem::file_size(h.dir / "chart.pdf") > 1000);
    QVERIFY(!f.Chart1->SaveImage(QString::fromStdString((h.dir / "chart.xyz").string()), 100, 100, 1));
    QVERIFY(!std::filesystem::exists(h.dir / "chart.xyz"));
  }

  void readoutUnderTheCursorNamesTheLineNearIt() {
    Harness h({.data = Data::Demo});
    TForm1& f = *h.form;
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    f.Series_0_UILegend->click(); // water hidden: only CO2 lines are read out
    f.Chart1->Refresh();
    // The strongest CO2 line of the list: the cursor on its position reads it out.
    const auto& lines = f.CO2Lines->Records;
    const auto strongest = std::max_element(
        lines.begin(), lines.end(), [](const auto& a, const auto& b) { return a.Intensity < b.Intensity; });
    const TChartAxis& bottom = f.Chart1->BottomAxis();
    const TChartAxis& left = f.Chart1->LeftAxis();
    const int x = static_cast<int>(std::lround(bottom.CalcPosValue(strongest->Wavenumber)));
    const int y = (left.IStartPos() + left.IEndPos()) / 2;
    QTest::mouseMove(f.Chart1, QPoint(x, y));
    const QString text = f.Readout_UILabel->text();
    QVERIFY2(text.contains(" cm-1") && text.contains(" um"), qPrintable(text));
    QVERIFY2(text.contains(QString("CO2 line nu %1").arg(strongest->Wavenumber, 0, 'f', 4)),
             qPrintable(text));
    QVERIFY(text.contains("gamma_air") && text.contains("E''"));
    // Outside the plot nothing is read out.
    QTest::mouseMove(f.Chart1, QPoint(2, 2));
    QVERIFY(f.Readout_UILabel->text().isEmpty());
  }

  void holesOfAPiecedTogetherListAreShadedAndNamed() {
    if (!HaveHitran()) QSKIP("needs the real line lists in ../shared/data/hitran");
    Harness h({.data = Data::Full});
    TForm1& f = *h.form;
    QVERIFY2(f.Coverage_UILabel->text().contains("water list: no lines 133-666 cm-1"),
             qPrintable(f.Coverage_UILabel->text()));
    bool shaded = false;
    for (const TChartRange& r : f.Chart1->MarkedRanges("gaps"))
      shaded = shaded || (std::abs(r.Lo - 133.4) < 0.1 && std::abs(r.Hi - 666.4) < 0.1);
    QVERIFY(shaded);
    // Only what lies in the plotted range is named.
    Type(f.Wavenumber_Min_UIzqSpinEdit, "2000");
    Type(f.Wavenumber_Max_UIzqSpinEdit, "2300");
    QTest::mouseClick(f.Button1, Qt::LeftButton);
    QVERIFY(!f.Coverage_UILabel->text().contains("water"));
  }

  void userGuideExplainsPagesPhysicsAndData() {
    Harness h({.data = Data::Demo});
    TForm1& f = *h.form;
    QCOMPARE(f.UserGuide_UIAction->shortcut(), QKeySequence(Qt::Key_F1));
    f.UserGuide_UIAction->trigger();
    auto* dialog = f.findChild<QDialog*>("UserGuide_UIDialog");
    QVERIFY(dialog && dialog->isVisible());
    const QString text = dialog->findChild<QTextBrowser*>()->toPlainText();
    for (const char* topic :
         {"Plot Type", "Mean Path", "Power", "Column", "Classic", "HITRAN", "Limits of the data"})
      QVERIFY2(text.contains(topic), topic);
  }
};

std::vector<std::unique_ptr<QObject>> MakeViewsTests() {
  std::vector<std::unique_ptr<QObject>> v;
  v.push_back(std::make_unique<Form1ViewsTest>());
  return v;
}

#include "test_form1_views.moc"
