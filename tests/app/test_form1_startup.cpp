// Start-up of the real window: the end state with the default configuration and the real line lists,
// the run without data files, missing or mistyped series sections, INI text in both encodings, the
// window definition, and errors that reach the event boundary.
#include "Form1TestSupport.h"
#include "zqApplication.h"
#include "zqChart.h"
#include "zqChart_Tools.h"
#include "zqLegendElement.h"
#include "zqNumberEdit.h"
#include "zqRadioGroup.h"
#include "zqSpinEdit.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

#include <memory>
#include <stdexcept>

using namespace form1test;

namespace {

QString text(TzqNumberEdit* e) {
  return e->text();
}

// The blank and the digits whose advance differs from the blank's in font, or empty when they all agree.
QString uneven_digit_advances(const QFont& font) {
  QFontMetricsF metrics(font);
  const qreal blank = metrics.horizontalAdvance(QChar(' '));
  QString uneven;
  for (QChar digit : QStringLiteral("0123456789"))
    if (metrics.horizontalAdvance(digit) != blank)
      uneven +=
          QStringLiteral("'%1' %2 vs blank %3; ").arg(digit).arg(metrics.horizontalAdvance(digit)).arg(blank);
  return uneven;
}

class ThrowingObject : public QObject {
protected:
  bool event(QEvent* e) override {
    if (e->type() == QEvent::User) throw std::invalid_argument("'abc' is not a valid floating point value");
    return QObject::event(e);
  }
};

} // namespace

class Form1StartupTest : public QObject {
  Q_OBJECT
private slots:
  // The default configuration on the lists a first run writes, and again on the real lists where they
  // exist beside the project.
  void defaultConfiguration_data() {
    QTest::addColumn<bool>("real");
    QTest::newRow("demonstration lists") << false;
    QTest::newRow("real lists") << true;
  }
  void defaultConfiguration() {
    QFETCH(bool, real);
    if (real && !HaveHitran())
      QSKIP("real HITRAN line lists not found beside the project; the demonstration-list row covers this");
    Harness h({.data = real ? Data::Full : Data::Demo});
    TForm1& f = *h.form;
    QVERIFY2(h.fake.messages.empty(), h.fake.messages.empty() ? "" : h.fake.messages[0].text.c_str());
    QCOMPARE(f.StartupLog, (std::vector<std::string>{"zqINI_File1ReadComplete", "FormCreate"}));

    QCOMPARE(f.Atmosphere_Layer_UIRadioGroup->ItemIndex(), 7);
    QCOMPARE(f.Atmosphere_Layer_UIRadioGroup->ItemText(7), QString("Surface"));
    QCOMPARE(text(f.Pressure_UIzqSpinEdit), QString("1013"));
    QCOMPARE(text(f.Temp_K_UIzqSpinEdit), QString("288.00"));
    QCOMPARE(text(f.Temp_C_UIzqSpinEdit), QString("15.00"));
    QCOMPARE(text(f.Temp_F_UIzqSpinEdit), QString("59.00"));
    QCOMPARE(text(f.Temp_K_2_UIzqSpinEdit), QString("288.00"));
    QCOMPARE(text(f.Power_UIzqSpinEdit), QString("390.08"));
    QCOMPARE(text(f.Wavenumber_Min_UIzqSpinEdit), QString("0"));
    QCOMPARE(text(f.Wavenumber_Max_UIzqSpinEdit), QString("5000"));
    QCOMPARE(text(f.Wavenumber_Min_2_UIzqSpinEdit), QString("0"));
    QCOMPARE(text(f.Wavenumber_Max_2_UIzqSpinEdit), QString("5000"));
    QCOMPARE(text(f.Wavenumber_UIzqSpinEdit), QString("666.67"));
    QCOMPARE(text(f.Wavelength_UIzqSpinEdit), QString("14999.93"));
    QCOMPARE(text(f.Water_Concentration_UIzqSpinEdit), QString("10000"));
    QCOMPARE(text(f.RH_UIzqSpinEdit), QString("62.01"));
    QCOMPARE(text(f.Saturated_H2O_UIzqSpinEdit), QString("16125"));

    // Blackbody curves 3, 4, 5 at 288, 300 and 200 K on the right axis, 500 points from 10 to 5000 cm-1.
    for (int n = 3; n <= 5; ++n) {
      const TLineSeries& s = f.Chart1->Series(n);
      QCOMPARE(s.Count(), std::size_t(500));
      QCOMPARE(s.VertAxis(), TVertAxis::Right);
      QCOMPARE(s.XValues().front(), 10.0);
      QCOMPARE(s.XValues().back(), 5000.0);
    }
    QCOMPARE(text(f.Series_3_zqSpinEdit), QString("288"));
    QCOMPARE(text(f.Series_4_zqSpinEdit), QString("300"));
    QCOMPARE(text(f.Series_5_zqSpinEdit), QString("200"));
    // 288 K at 670 cm-1 (grid point 67): about 4.1 on the axis (10 x W/m2/cm-1).
    QVERIFY(std::abs(f.Chart1->Series(3).YValues()[66] - 4.1) < 0.1);

    // Demonstration lists are not called HITRAN's.
    QCOMPARE(f.Chart1->Title().Lines(),
             (QStringList{real ? "HITRAN Intensities - Spectra (per Molecule)"
                               : "Demonstration List Intensities - Spectra (per Molecule)",
                          QString()}));
    QCOMPARE(f.Chart1->LeftAxis().Title().Caption(), QString("Absorbance x 1E-20 [cm-1 / (molecule/cm2)]"));
    QCOMPARE(f.Chart1->BottomAxis().Title().Caption(), QString("Wavenumber (cm-1)"));
    QCOMPARE(f.Chart1->RightAxis().Title().Caption(), QString("Blackbody (W/m2/cm-1 x10)"));
    QCOMPARE(f.Chart1->RightAxis().Maximum(), 10.0);

    // Raw lines: one point per line in range; the combined list has no lines.
    QCOMPARE(f.WaterSeries->Count(), LinesInRange(*f.WaterLines, 0, 5000));
    QCOMPARE(f.CO2Series->Count(), LinesInRange(*f.CO2Lines, 0, 5000));
    QVERIFY(f.WaterSeries->Count() > (real ? 40000u : 1000u));
    QVERIFY(f.CO2Series->Count() > (real ? 60000u : 1000u));
    QCOMPARE(f.CombinedSeries->Count(), std::size_t(0));
    QCOMPARE(f.Series_0_UILegend->text(), QString("H2O"));
    QCOMPARE(f.Series_1_UILegend->text(), QString("CO2"));
    QCOMPARE(f.Series_2_UILegend->text(), QString("Combined"));
    QVERIFY(f.Series_3_UILegend->text().isEmpty());
    QVERIFY(!f.Chart1->Series(2).Active()); // "Display = no"
    QVERIFY(f.StatusText().isEmpty());

    // ABSORBVIEW_SCREENSHOT=docs/main-window.png regenerates the documentation's picture of this state.
    if (real && qEnvironmentVariableIsSet("ABSORBVIEW_SCREENSHOT")) {
      f.show();
      QVERIFY(QTest::qWaitForWindowExposed(&f));
      f.Chart1->Refresh();
      QVERIFY(f.grab().save(qEnvironmentVariable("ABSORBVIEW_SCREENSHOT")));
    }
  }

  void withoutDataFilesTheWindowStillOpens() {
    Harness h({.data = Data::None});
    TForm1& f = *h.form;
    QCOMPARE(h.fake.messages.size(), std::size_t(2));
    QCOMPARE(h.fake.messages[0].caption, std::string("File not found"));
    QCOMPARE(h.fake.messages[0].text,
             std::string("The data file specified in the ini file via\n\n   [h2o]\n"
                         "   filename = 01_h2o_161_only.txt\n\nCould not be found "));
    QCOMPARE(h.fake.messages[1].caption, std::string("File not found"));
    QVERIFY(h.fake.messages[1].text.find("[CO2]\n   filename = 02_CO2.txt") != std::string::npos);
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    QCOMPARE(f.StartupLog, (std::vector<std::string>{"zqINI_File1ReadComplete", "FormCreate"}));
    QCOMPARE(text(f.Temp_K_UIzqSpinEdit), QString("288.00"));
    QCOMPARE(f.WaterSeries->Count(), std::size_t(0));
    QCOMPARE(f.Chart1->Series(3).Count(), std::size_t(500));
  }

  void missingOrMistypedSectionsAreNamedAndTheWindowOpens() {
    // h2o is not listed; blackbody 1 is a line list instead of a blackbody curve.
    Harness h({.data = Data::None,
               .ini = "[Application]\nNumberOfFiles = 5\nFile 1 = CO2\nFile 2 = Blackbody 1\n"
                      "File 3 = Blackbody 2\nFile 4 = Blackbody 3\nFile 5 = combined\n"
                      "[blackbody 1]\nFileType = HITRAN 100\n"});
    TForm1& f = *h.form;
    auto shown = [&](const std::string& part) {
      for (const auto& m : h.fake.messages)
        if (m.text.find(part) != std::string::npos) return true;
      return false;
    };
    QVERIFY(shown("[h2o] is not among the loaded data files"));
    QVERIFY(shown("[blackbody 1] is not a blackbody curve"));
    QVERIFY(f.WaterLines == nullptr);
    QCOMPARE(f.Chart1->SeriesCount(), 6);
    QCOMPARE(TagOf(f.Series_3_zqSpinEdit), -1);
    QCOMPARE(f.Chart1->Series(3).Count(), std::size_t(0));
    QCOMPARE(f.Chart1->Series(4).Count(), std::size_t(500));
    // Everything still works without the water list.
    QTest::mouseClick(f.Button1, Qt::LeftButton);
    QTest::mouseClick(f.L3_UIButton, Qt::LeftButton);
    QVERIFY(f.StatusText().contains("[h2o]"));
    Type(f.Series_3_zqSpinEdit, "250"); // Tag -1: draws nothing, changes nothing
    QCOMPARE(f.Chart1->Series(3).Count(), std::size_t(0));
  }

  void iniTextInEitherEncoding() {
    // UTF-8 file named by /ini in another folder: degree sign C2 B0 and a caption with non-ASCII text.
    zqtest::TempDir other;
    zqtest::WriteFile(other / "utf8.ini", "[Atmosphere Layers]\nSurface = 1013 mb 20 \xC2\xB0"
                                          "C\n[h2o]\nCaption = Wasserdampf \xC2\xB0\n");
    {
      Harness h({.data = Data::None, .args = {"/ini", (other / "utf8.ini").string()}});
      QCOMPARE(text(h.form->Temp_C_UIzqSpinEdit), QString("20.00"));
      QCOMPARE(text(h.form->Temp_K_UIzqSpinEdit), QString("293.00"));
      // The store raises its read-complete event twice when a file was read; loading runs once.
      QCOMPARE(h.form->StartupLog, (std::vector<std::string>{"zqINI_File1ReadComplete", "FormCreate"}));
      QCOMPARE(h.form->Series_0_UILegend->text(), QString::fromUtf8("Wasserdampf °"));
    }
    {
      Harness h({.data = Data::None,
                 .ini = "[Atmosphere Layers]\nSurface = 1013 mb 20 \xB0"
                        "C\n[h2o]\nCaption = Wasserdampf \xB0\n"});
      QCOMPARE(text(h.form->Temp_C_UIzqSpinEdit), QString("20.00"));
      QCOMPARE(h.form->Series_0_UILegend->text(), QString::fromUtf8("Wasserdampf °"));
    }
  }

  void windowDefinition() {
    Harness h({.data = Data::None});
    TForm1& f = *h.form;
    const char* names[] = {"Chart1",
                           "PageControl1",
                           "Plot_Type_UIRadioGroup",
                           "Spectra_Type_UIRadioGroup",
                           "Scaling_UIRadioGroup",
                           "PathType_UIRadioGroup",
                           "BB_Envelope_UICheckBox",
                           "Button1",
                           "Transparent_UICheckBox",
                           "Wavenumber_Min_UIzqSpinEdit",
                           "Wavenumber_Max_UIzqSpinEdit",
                           "Max_Mean_Free_Path_UIzqSpinEdit",
                           "Min_Mean_Free_Path_UIzqSpinEdit",
                           "Path_Multiplier_UIzqSpinEdit",
                           "Percent_Absorbed_UIzqNumberEdit",
                           "Pressure_UIzqSpinEdit",
                           "Temp_K_UIzqSpinEdit",
                           "Temp_C_UIzqSpinEdit",
                           "Temp_F_UIzqSpinEdit",
                           "alpha_Multiplier_UIzqSpinEdit",
                           "CO2_Concentration_UIzqSpinEdit",
                           "Water_Concentration_UIzqSpinEdit",
                           "RH_UIzqSpinEdit",
                           "Saturated_H2O_UIzqSpinEdit",
                           "Wavenumber_UIzqSpinEdit",
                           "Wavelength_UIzqSpinEdit",
                           "Atmosphere_Layer_UIRadioGroup",
                           "H2O_Mixing_Ratio_UIRadioGroup",
                           "Planet_UIRadioGroup",
                           "Altitude_UIzqSpinEdit",
                           "Pressure2_UIzqNumberEdit",
                           "Temperature2_UIzqNumberEdit",
                           "Temp_K_2_UIzqSpinEdit",
                           "Power_UIzqSpinEdit",
                           "Wavenumber_Min_2_UIzqSpinEdit",
                           "Wavenumber_Max_2_UIzqSpinEdit",
                           "CO2_bb_1x_UIEdit",
                           "CO2_bb_2x_UIEdit",
                           "H2O_bb_1x_UIEdit",
                           "Total_bb_1x_UIEdit",
                           "Total_bb_2x_UIEdit",
                           "Combined_1x_UIzqNumberEdit",
                           "Combined_2x_UIzqNumberEdit",
                           "L3_UIButton",
                           "Series_3_zqSpinEdit",
                           "Series_4_zqSpinEdit",
                           "Series_5_zqSpinEdit",
                           "UITabSheet_test",
                           "LayerThickness_UIzqSpinEdit",
                           "BB_Power_RadioGroup",
                           "Absorbance_UIButton",
                           "Mean_Path_UIButton",
                           "Plot_Linewidth_UIButton",
                           "Plot_Linewidth_Path_UIButton"};
    for (const char* n : names)
      QVERIFY2(f.findChild<QObject*>(n), n);
    for (int i = 0; i <= 5; ++i)
      QVERIFY(f.findChild<TzqLegendElement*>(QString("Series_%1_UILegend").arg(i)));

    QTabWidget* pages = f.PageControl1;
    QCOMPARE(pages->count(), 6);
    QCOMPARE(pages->tabText(1), QString("T && P")); // shown as T & P
    QStringList shown;
    for (int i = 0; i < pages->count(); ++i)
      if (pages->isTabVisible(i)) shown << pages->tabText(i);
    QCOMPARE(shown, (QStringList{"General", "T && P", "Mean Path", "Power", "Column"}));

    QCOMPARE(f.Spectra_Type_UIRadioGroup->Items(),
             (QStringList{"Raw", "Raw / Bandwidth", "Temp && Pressure", "Doppler"}));
    QCOMPARE(f.PathType_UIRadioGroup->ItemIndex(), 1);
    QCOMPARE(f.Planet_UIRadioGroup->ItemIndex(), -1);
    QCOMPARE(f.H2O_Mixing_Ratio_UIRadioGroup->ItemText(5), QString("      500"));
    // The ratio texts' blanks and digits must share one advance in the face actually used, whichever
    // fonts the machine has.
    for (int i = 0; i < f.H2O_Mixing_Ratio_UIRadioGroup->ItemCount(); ++i) {
      QRadioButton* item = f.H2O_Mixing_Ratio_UIRadioGroup->Button(i);
      QVERIFY2(uneven_digit_advances(item->font()).isEmpty(),
               qPrintable(QFontInfo(item->font()).family() + ": " + uneven_digit_advances(item->font())));
    }
    QCOMPARE(f.L3_UIButton->text(), QString("Compute"));
    QCOMPARE(f.Button1->text(), QString("Update Plot"));

    QCOMPARE(f.RH_UIzqSpinEdit->Precision(), 4);
    QCOMPARE(f.Water_Concentration_UIzqSpinEdit->Precision(), 7);
    QCOMPARE(f.Water_Concentration_UIzqSpinEdit->ValueMax(), 1000000.0);
    QCOMPARE(f.Pressure2_UIzqNumberEdit->Precision(), 6);
    QCOMPARE(f.Series_5_zqSpinEdit->Precision(), 5);
    QCOMPARE(f.Series_5_zqSpinEdit->ValueDefault(), 288.0);
    QCOMPARE(f.Series_5_zqSpinEdit->ValueMax(), 200000.0);
    QVERIFY(f.Series_5_zqSpinEdit->LimitValue());
    QCOMPARE(f.Wavenumber_Max_2_UIzqSpinEdit->maxLength(), 7);
    QCOMPARE(f.Pressure_UIzqSpinEdit->ValueMax(), 100000.0);
    QVERIFY(f.Pressure2_UIzqNumberEdit->ReadOnly());
    QVERIFY(f.Percent_Absorbed_UIzqNumberEdit->ReadOnly());
    QVERIFY(f.Saturated_H2O_UIzqSpinEdit->isHidden() ||
            !f.Saturated_H2O_UIzqSpinEdit->parentWidget()->isVisibleTo(&f));
    QVERIFY(!f.Mean_Path_UIButton->isVisibleTo(&f));
    QVERIFY(!f.Plot_Linewidth_Path_UIButton->isVisibleTo(&f));
  }

  void closingFreesTheDataFilesSafely() {
    Harness h({.data = Data::None});
    TForm1& f = *h.form;
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    f.close();
    QVERIFY(f.LoadedDatafiles.empty());
    QVERIFY(f.zqChart_Tools1->GetSeriesDatafile(3) == nullptr);
    // Handlers that still run afterwards find nothing to draw.
    Type(f.Series_4_zqSpinEdit, "250");
    Type(f.Temp_K_UIzqSpinEdit, "300");
    QTest::mouseClick(f.Button1, Qt::LeftButton);
    QCOMPARE(f.Chart1->Series(4).XValues().front(), 10.0);
  }

  void errorAtTheEventBoundaryBecomesAMessage() {
    zq::FakePlatform fake;
    ThrowingObject o;
    QEvent e(QEvent::User);
    QCoreApplication::sendEvent(&o, &e);
    QCOMPARE(fake.messages.size(), std::size_t(1));
    QCOMPARE(fake.messages[0].caption, std::string("Error"));
    QVERIFY(fake.messages[0].text.find("not a valid floating point value") != std::string::npos);
  }
};

std::vector<std::unique_ptr<QObject>> MakeStartupTests() {
  std::vector<std::unique_ptr<QObject>> v;
  v.push_back(std::make_unique<Form1StartupTest>());
  return v;
}

#include "test_form1_startup.moc"
