// The "Power" page: Compute against the model, the doubled-CO2 combined spectrum, the performance log,
// refusal of unusable inputs, the band coupling and the blackbody spin edits.
#include "Form1TestSupport.h"
#include "zqBlackbody.h"
#include "zqChart.h"
#include "zqChart_Tools.h"
#include "zqHITRAN.h"
#include "zqNumberEdit.h"
#include "zqNumberText.h"
#include "zqSpinEdit.h"

#include <QPushButton>
#include <QTest>

#include <cmath>

using namespace form1test;

// Runs on the demonstration lists the program writes on a first run, so the window is tested on any
// checkout; RealListsPowerTest runs the same cases again on the real lists where they exist.
class Form1PowerTest : public QObject {
  Q_OBJECT
public:
  explicit Form1PowerTest(Data data = Data::Demo) : data_(data) {}

protected:
  const Data data_;
  std::unique_ptr<Harness> h;
  TForm1* f = nullptr;

  double value(TzqNumberEdit* e) {
    bool ok = false;
    double v = e->text().toDouble(&ok);
    if (!ok) qWarning("%s holds no number: '%s'", qPrintable(e->objectName()), qPrintable(e->text()));
    return ok ? v : NAN;
  }

private slots:
  void init() {
    if (data_ != Data::Demo && !HaveHitran())
      QSKIP("real HITRAN line lists not found beside the project; the demonstration-list run covers these "
            "cases");
    h = std::make_unique<Harness>(StartOptions{.data = data_});
    f = h->form.get();
    f->show();
    QVERIFY(QTest::qWaitForWindowExposed(f));
    // The band on this page drives the General page's range.
    Type(f->Wavenumber_Min_2_UIzqSpinEdit, "500");
    Type(f->Wavenumber_Max_2_UIzqSpinEdit, "800");
  }
  void cleanup() { h.reset(); }

  void bandFollowsBothWays() {
    QCOMPARE(f->Wavenumber_Min_UIzqSpinEdit->text(), QString("500"));
    QCOMPARE(f->Wavenumber_Max_UIzqSpinEdit->text(), QString("800"));
    auto* bb = dynamic_cast<T_zq_Blackbody*>(f->zqChart_Tools1->GetSeriesDatafile(4));
    QVERIFY(bb);
    QCOMPARE(bb->XMin, 500.0);
    QCOMPARE(f->Chart1->Series(4).XValues().front(), 500.6);
    Type(f->Wavenumber_Max_UIzqSpinEdit, "900");
    QCOMPARE(f->Wavenumber_Max_2_UIzqSpinEdit->text(), QString("900"));
  }

  void computeMatchesTheModelAndIsOrdered() {
    QTest::mouseClick(f->L3_UIButton, Qt::LeftButton);
    QVERIFY2(f->StatusText().isEmpty(), qPrintable(f->StatusText()));
    double co2_1x = value(f->CO2_bb_1x_UIEdit), co2_2x = value(f->CO2_bb_2x_UIEdit);
    double h2o_1x = value(f->H2O_bb_1x_UIEdit);
    double total_1x = value(f->Total_bb_1x_UIEdit), total_2x = value(f->Total_bb_2x_UIEdit);
    double comb_1x = value(f->Combined_1x_UIzqNumberEdit), comb_2x = value(f->Combined_2x_UIzqNumberEdit);
    for (double v : {co2_1x, co2_2x, h2o_1x, total_1x, total_2x, comb_1x, comb_2x})
      QVERIFY(std::isfinite(v) && v > 0);
    // Every result is shown whole.
    for (const QLineEdit* e :
         {f->CO2_bb_1x_UIEdit, f->CO2_bb_2x_UIEdit, f->H2O_bb_1x_UIEdit, f->Total_bb_1x_UIEdit,
          f->Total_bb_2x_UIEdit, f->Combined_1x_UIzqNumberEdit, f->Combined_2x_UIzqNumberEdit})
      QVERIFY2(ShowsWholeText(*e), qPrintable(e->objectName() + ": " + e->text()));
    QVERIFY(co2_2x >= co2_1x);
    QVERIFY(comb_2x >= comb_1x);
    // The fields show five significant digits: a sum of shown values agrees to their rounding.
    const double shown = 1e-4;
    QVERIFY(zqtest::RelClose(total_1x, co2_1x + h2o_1x, shown));
    QVERIFY(zqtest::RelClose(total_2x, co2_2x + h2o_1x, shown));

    // The same sums straight from the model, with the window's parameters (path 1000 m, 288 K, 1013 mb).
    T_zq_HITRAN co2;
    co2.MoleculeType = " 2";
    co2.LoadFromFile(h->co2File().string());
    co2.SetWavenumberMin(500);
    co2.SetWavenumberMax(800);
    co2.SetPressure(1013);
    co2.SetTemperature(288);
    co2.SetLineWidthLimit(200);
    co2.SetMixingRatio(350);
    co2.PathFactor = 1;
    co2.MaxPath = 1000; // where the spectrum is 0 the path counts as 1000 x MaxPath
    double ref = co2.AbsorbedBlackbodyPower(1000);
    QCOMPARE(f->CO2_bb_1x_UIEdit->text().toStdString(), zq::FormatGeneral(ref, 5));
    QVERIFY2(zqtest::RelClose(co2_1x, ref, shown),
             qPrintable(QString("%1 vs %2").arg(co2_1x, 0, 'g', 12).arg(ref, 0, 'g', 12)));
    QCOMPARE(f->CO2_bb_2x_UIEdit->text().toStdString(),
             zq::FormatGeneral(co2.AbsorbedBlackbodyPower(2000), 5));

    // The combined list keeps the doubled-CO2 spectrum until the next plot.
    const double* comb = f->CombinedLines->SpectrumData();
    const double* water = f->WaterLines->SpectrumData();
    for (long k = 1; k <= T_zq_HITRAN::kGridPoints; k += 4999)
      QCOMPARE(comb[k], 10000 * water[k] + 700 * co2.SpectrumData()[k]);

    std::string log = zqtest::ReadFile(h->dir / "Performance_Log.txt");
    QVERIFY(log.find(" - L3_UIButton - ") != std::string::npos);
    QVERIFY(log.find(" sec  ") != std::string::npos);
  }

  void computeWithUnusableInputsShowsNothing() {
    QTest::mouseClick(f->L3_UIButton, Qt::LeftButton);
    QVERIFY(!f->CO2_bb_1x_UIEdit->text().isEmpty());
    // Without pressure there are no molecules: nothing is absorbed, and the status bar says why.
    Type(f->Pressure_UIzqSpinEdit, "0");
    QTest::mouseClick(f->L3_UIButton, Qt::LeftButton);
    QCOMPARE(f->CO2_bb_1x_UIEdit->text(), QString("0"));
    QCOMPARE(f->Combined_2x_UIzqNumberEdit->text(), QString("0"));
    QVERIFY(f->StatusText().contains("Pressure must be above 0 mb"));
    Type(f->Pressure_UIzqSpinEdit, "1013");
    Type(f->Wavenumber_Max_2_UIzqSpinEdit, "520");
    QTest::mouseClick(f->L3_UIButton, Qt::LeftButton);
    QCOMPARE(f->StatusText(), QString("Wavenumber range must be at least 50 cm-1 wide"));
    QVERIFY(f->Total_bb_2x_UIEdit->text().isEmpty());
  }

  void blackbodySpinEdits() {
    std::vector<double> first = f->Chart1->Series(3).YValues(), second = f->Chart1->Series(4).YValues();
    Type(f->Series_4_zqSpinEdit, "250");
    QVERIFY(f->Chart1->Series(4).YValues() != second);
    QCOMPARE(f->Chart1->Series(3).YValues(), first);
    QCOMPARE(f->Temp_K_UIzqSpinEdit->text(), QString("288.00"));

    Type(f->Series_3_zqSpinEdit, "300");
    QVERIFY(f->Chart1->Series(3).YValues() != first);
    QCOMPARE(f->Temp_K_UIzqSpinEdit->text(), QString("300.00"));
    QCOMPARE(f->Temp_K_2_UIzqSpinEdit->text(), QString("300.00"));
    QCOMPARE(f->Power_UIzqSpinEdit->text(), QString("459.27"));

    // The gas temperature drives the first curve without writing back.
    Type(f->Temp_K_2_UIzqSpinEdit, "250");
    QCOMPARE(f->Series_3_zqSpinEdit->text(), QString("250"));
    QCOMPARE(f->Chart1->Series(3).YValues(), f->Chart1->Series(4).YValues());
  }
};

class RealListsPowerTest : public Form1PowerTest {
  Q_OBJECT
public:
  RealListsPowerTest() : Form1PowerTest(Data::Band) {}
};

std::vector<std::unique_ptr<QObject>> MakePowerTests() {
  std::vector<std::unique_ptr<QObject>> v;
  v.push_back(std::make_unique<Form1PowerTest>());
  v.push_back(std::make_unique<RealListsPowerTest>());
  return v;
}

#include "test_form1_power.moc"
