// Plot assembly checked against the model directly: every Plot Type x Spectra Type x Scaling
// combination, the titles, the path multiplier, inputs that cannot be computed, the hidden buttons,
// "Transparent plots" and the chart's mouse handlers.
#include "Form1TestSupport.h"
#include "zqChart.h"
#include "zqChartProperties_Form.h"
#include "zqChart_Tools.h"
#include "zqHITRAN.h"
#include "zqNumberEdit.h"
#include "zqPhysicalControls.h"
#include "zqPlotTitles.h"
#include "zqRadioGroup.h"
#include "zqSpinEdit.h"

#include <QCheckBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <cmath>

using namespace form1test;

namespace {

std::unique_ptr<T_zq_HITRAN> load(const std::filesystem::path& file, const char* molecule) {
  auto l = std::make_unique<T_zq_HITRAN>();
  l->MoleculeType = molecule;
  l->LoadFromFile(file.string());
  return l;
}

// The parameters the window's controls hold in these tests (band 500..800 cm-1, surface layer).
void configure(T_zq_HITRAN& l, int plot, int spectra, int scaling, double mixingRatio) {
  l.SetWavenumberMin(BandMin);
  l.SetWavenumberMax(BandMax);
  l.MaxPath = 1000;
  l.MinPath = 0;
  l.SetPressure(1013);
  l.SetTemperature(288);
  l.SetLineWidthLimit(200);
  l.PlotType = PlotTypeText(*PlotTypeOfIndex(plot));
  l.SpectraType = SpectraTypeText(*SpectraTypeOfIndex(spectra));
  l.Scaling = ScalingText(*ScalingOfIndex(scaling));
  l.PathFactor = 1;
  l.SetMixingRatio(mixingRatio);
}

bool same_points(const TLineSeries& a, const TLineSeries& b) {
  return a.XValues() == b.XValues() && a.YValues() == b.YValues();
}

void set_range(TForm1& f, const QString& lo, const QString& hi) {
  Type(f.Wavenumber_Min_UIzqSpinEdit, lo);
  Type(f.Wavenumber_Max_UIzqSpinEdit, hi);
}

} // namespace

// Runs on the demonstration lists the program writes on a first run, so the window is tested on any
// checkout; RealListsPlotTest runs the same cases again on the real lists where they exist.
class Form1PlotTest : public QObject {
  Q_OBJECT
public:
  explicit Form1PlotTest(Data data = Data::Demo) : data_(data) {}

protected:
  const Data data_;
  std::unique_ptr<Harness> h;
  TForm1* f = nullptr;

private slots:
  void init() {
    if (data_ != Data::Demo && !HaveHitran())
      QSKIP("real HITRAN line lists not found beside the project; the demonstration-list run covers these "
            "cases");
    h = std::make_unique<Harness>(StartOptions{.data = data_});
    f = h->form.get();
    f->show();
    QVERIFY(QTest::qWaitForWindowExposed(f));
    set_range(*f, "500", "800");
  }
  void cleanup() { h.reset(); }

  void everyCombinationMatchesTheModel() {
    auto water = load(h->waterFile(), " 1");
    auto co2 = load(h->co2File(), " 2");
    T_zq_HITRAN combined;
    combined.Locked = true;
    for (int plot = 0; plot <= 2; ++plot)
      for (int spectra = 0; spectra <= 3; ++spectra)
        for (int scaling = 0; scaling <= 1; ++scaling) {
          Click(f->Plot_Type_UIRadioGroup, 0); // the other groups are disabled for optical depths
          Click(f->Spectra_Type_UIRadioGroup, spectra);
          Click(f->Scaling_UIRadioGroup, scaling);
          Click(f->Plot_Type_UIRadioGroup, plot);
          QTest::mouseClick(f->Button1, Qt::LeftButton);
          QByteArray where = QByteArray::number(plot) + "/" + QByteArray::number(spectra) + "/" +
                             QByteArray::number(scaling);

          TLineSeries w, c, x;
          configure(*water, plot, spectra, scaling, 10000);
          configure(*co2, plot, spectra, scaling, 350);
          water->FillSeries(w, "", "");
          co2->FillSeries(c, "", "");
          for (long k = 1; k <= T_zq_HITRAN::kGridPoints; ++k)
            combined.Spectrum[k] = 10000 * water->Spectrum[k] + 350 * co2->Spectrum[k];
          configure(combined, plot, spectra, scaling, 1);
          combined.FillSeries(x, "", "");

          QVERIFY2(same_points(*f->WaterSeries, w), where);
          QVERIFY2(same_points(*f->CO2Series, c), where);
          QVERIFY2(w.Count() > 0, where);
          bool rawLines = spectra == 0 && plot != 1;
          bool byLine = rawLines || (spectra == 1 && plot == 0);
          QVERIFY2(byLine ? x.Count() == 0 : x.Count() == 50000, where);
          if (!byLine) QVERIFY2(same_points(*f->CombinedSeries, x), where);
          QVERIFY2(AllFinite(*f->WaterSeries) && AllFinite(*f->CombinedSeries), where);
          QVERIFY2(f->StatusText().isEmpty(), qPrintable(f->StatusText()));
        }
  }

  void scalingChangesOnlyWaterAndCarbonDioxide() {
    Click(f->Spectra_Type_UIRadioGroup, 2);
    std::vector<double> water = f->WaterSeries->YValues(), co2 = f->CO2Series->YValues(),
                        combined = f->CombinedSeries->YValues();
    Click(f->Scaling_UIRadioGroup, 1);
    QCOMPARE(f->CombinedSeries->YValues(), combined);
    for (std::size_t k = 0; k < water.size(); k += 997) {
      QVERIFY(zqtest::RelClose(f->WaterSeries->YValues()[k], 10000 * water[k], 1e-12));
      QVERIFY(zqtest::RelClose(f->CO2Series->YValues()[k], 350 * co2[k], 1e-12));
    }
  }

  void titlesSayWhatIsShown() {
    Click(f->Plot_Type_UIRadioGroup, 1);
    QCOMPARE(f->Chart1->Title().Lines(),
             (QStringList{"Temperature and Pressure Broadened - Optical Depth for 1 km",
                          QString::fromUtf8("288.00 °K   1013 mb   10000 ppm water vapor   350 ppm CO2")}));
    QCOMPARE(f->Chart1->LeftAxis().Title().Caption(), QString("ln(Absorption)"));
    QVERIFY(!f->Scaling_UIRadioGroup->isEnabled());
    QVERIFY(!f->Spectra_Type_UIRadioGroup->isEnabled());
    QVERIFY(!f->BB_Envelope_UICheckBox->isEnabled());

    Click(f->PathType_UIRadioGroup, 0); // mean free path: multiplier 1 absorbs one half
    Click(f->Plot_Type_UIRadioGroup, 2);
    QCOMPARE(f->Chart1->LeftAxis().Title().Caption(),
             QString("Distance to absorb 50.00% of energy (meters)"));
    QVERIFY(f->Spectra_Type_UIRadioGroup->isEnabled());
  }

  void pathMultiplierAndPathRange() {
    // Under the Spectra plot the path edits change the fraction at once and the chart at Update Plot.
    const QStringList spectraTitle = f->Chart1->Title().Lines();
    const std::vector<double> spectra = f->WaterSeries->YValues();
    Click(f->PathType_UIRadioGroup, 0);
    Type(f->Path_Multiplier_UIzqSpinEdit, "3");
    QCOMPARE(f->Percent_Absorbed_UIzqNumberEdit->text(), QString("0.875"));
    Type(f->Max_Mean_Free_Path_UIzqSpinEdit, "50");
    QCOMPARE(f->Chart1->Title().Lines(), spectraTitle);
    QCOMPARE(f->WaterSeries->YValues(), spectra);
    QCOMPARE(f->Plot_Type_UIRadioGroup->ItemIndex(), 0);
    Type(f->Max_Mean_Free_Path_UIzqSpinEdit, "1000");
    // Under the Mean Path plot they redraw it.
    Click(f->Plot_Type_UIRadioGroup, 2);
    QCOMPARE(f->Chart1->LeftAxis().Title().Caption(),
             QString("Distance to absorb 87.50% of energy (meters)"));
    Click(f->PathType_UIRadioGroup, 1);
    QVERIFY(std::abs(f->Percent_Absorbed_UIzqNumberEdit->Value() - (1 - std::exp(-3.0))) < 1e-7);
    QCOMPARE(f->Chart1->LeftAxis().Title().Caption(),
             QString("Distance to absorb 95.02% of energy (meters)"));

    Type(f->Path_Multiplier_UIzqSpinEdit, "500");
    QCOMPARE(f->Path_Multiplier_UIzqSpinEdit->text(), QString("100"));
    Type(f->Path_Multiplier_UIzqSpinEdit, "0.05");
    f->Max_Mean_Free_Path_UIzqSpinEdit->setFocus(); // typing ends
    QCOMPARE(f->Path_Multiplier_UIzqSpinEdit->text(), QString("0.1"));
    // The raised multiplier is applied (optical thickness: 1 - e^-0.1 absorbed), and shown whole.
    QVERIFY(std::abs(f->Percent_Absorbed_UIzqNumberEdit->Value() - (1 - std::exp(-0.1))) < 1e-7);
    QCOMPARE(f->WaterLines->PathFactor, 0.1);
    QVERIFY(ShowsWholeText(*f->Percent_Absorbed_UIzqNumberEdit));
    Type(f->Path_Multiplier_UIzqSpinEdit, "1");
    QCOMPARE(f->Percent_Absorbed_UIzqNumberEdit->text(), QString("0.63212056"));
    QVERIFY(ShowsWholeText(*f->Percent_Absorbed_UIzqNumberEdit));
    QString absorbed = f->Percent_Absorbed_UIzqNumberEdit->text();
    Type(f->Path_Multiplier_UIzqSpinEdit, "");
    QVERIFY(f->Path_Multiplier_UIzqSpinEdit->text().isEmpty());
    QCOMPARE(f->Percent_Absorbed_UIzqNumberEdit->text(), absorbed);

    // Typing the y range of the mean paths replots them clamped to it.
    Type(f->Max_Mean_Free_Path_UIzqSpinEdit, "50");
    QVERIFY(f->WaterSeries->Count() > 0);
    for (double y : f->WaterSeries->YValues())
      QVERIFY(y <= 50 && y >= 0);
  }

  void unusableInputsLeaveCurvesEmptyAndSayWhy() {
    Click(f->Spectra_Type_UIRadioGroup, 2);
    Type(f->Pressure_UIzqSpinEdit, "0");
    QTest::mouseClick(f->Button1, Qt::LeftButton);
    QVERIFY(f->StatusText().contains("Pressure must be above 0 mb"));
    QVERIFY(AllFinite(*f->WaterSeries) && AllFinite(*f->CO2Series) && AllFinite(*f->CombinedSeries));

    Type(f->Pressure_UIzqSpinEdit, "1013");
    set_range(*f, "500", "520");
    QTest::mouseClick(f->Button1, Qt::LeftButton);
    QCOMPARE(f->StatusText(), QString("Wavenumber range must be at least 50 cm-1 wide"));
    QCOMPARE(f->WaterSeries->Count(), std::size_t(0));
    QCOMPARE(f->CombinedSeries->Count(), std::size_t(0));

    set_range(*f, "500", "800");
    Type(f->Temp_K_UIzqSpinEdit, "0");
    Click(f->Plot_Type_UIRadioGroup, 1);
    QVERIFY(!f->StatusText().isEmpty());
    QVERIFY(AllFinite(*f->WaterSeries) && AllFinite(*f->CombinedSeries));

    // A multiplier of 0 (set without the key-up that clamps it) is out of range: the path factor and the
    // absorbed fraction keep their values.
    Type(f->Temp_K_UIzqSpinEdit, "288");
    QString absorbed = f->Percent_Absorbed_UIzqNumberEdit->text();
    f->Path_Multiplier_UIzqSpinEdit->setText("0");
    QTest::mouseClick(f->Button1, Qt::LeftButton);
    QCOMPARE(f->Percent_Absorbed_UIzqNumberEdit->text(), absorbed);
    QCOMPARE(f->WaterLines->PathFactor, 1.0);
    QVERIFY(AllFinite(*f->WaterSeries) && AllFinite(*f->CombinedSeries));

    // An inverted range leaves the blackbody curves empty instead of running backwards.
    f->Path_Multiplier_UIzqSpinEdit->setText("1");
    Type(f->Wavenumber_Min_UIzqSpinEdit, "900");
    for (int n = 3; n <= 5; ++n)
      QCOMPARE(f->Chart1->Series(n).Count(), std::size_t(0));
    QVERIFY(!f->StatusText().isEmpty());
    Type(f->Wavenumber_Min_UIzqSpinEdit, "500");
    QCOMPARE(f->Chart1->Series(3).Count(), std::size_t(500));
    for (auto* e : f->findChildren<TzqNumberEdit*>())
      QVERIFY2(!e->text().contains("NAN", Qt::CaseInsensitive) &&
                   !e->text().contains("INF", Qt::CaseInsensitive),
               qPrintable(e->objectName()));
  }

  // A status-bar reason goes as soon as its cause is mended; meanwhile the refused field shows red with
  // the reason as its tooltip.
  void reasonsGoWhenTheirCauseIsMended() {
    TzqSpinEdit* max = f->Wavenumber_Max_UIzqSpinEdit;
    max->setFocus();
    max->selectAll();
    QTest::keyClicks(max, "1"); // the first key of "1000"
    QVERIFY2(!f->StatusText().isEmpty(), "an inverted range is explained");
    QCOMPARE(max->FontColor(), max->ColorOfErrors());
    QCOMPARE(max->toolTip(), f->StatusText());
    QTest::keyClicks(max, "000");
    QCOMPARE(f->StatusText(), QString());
    QCOMPARE(max->FontColor(), max->ColorOfFont());
    QCOMPARE(f->Chart1->Series(3).Count(), std::size_t(500));

    Type(f->Pressure_UIzqSpinEdit, "0");
    Type(f->Water_Concentration_UIzqSpinEdit, "5000");
    QCOMPARE(f->StatusText(), QString("Pressure must be above 0 mb for the relative humidity"));
    QCOMPARE(f->Pressure_UIzqSpinEdit->FontColor(), f->Pressure_UIzqSpinEdit->ColorOfErrors());
    f->Pressure_UIzqSpinEdit->setText("1013"); // in one change, so the humidity is formed at 1013 mb
    QCOMPARE(f->StatusText(), QString());
    QCOMPARE(f->Pressure_UIzqSpinEdit->FontColor(), f->Pressure_UIzqSpinEdit->ColorOfFont());
    // The humidity left stale while refused is formed again from the water vapour.
    const double rh = f->RH_UIzqSpinEdit->Value();
    Type(f->Water_Concentration_UIzqSpinEdit, "5000");
    QCOMPARE(f->RH_UIzqSpinEdit->Value(), rh);
  }

  void hiddenButtons() {
    f->Absorbance_UIButtonClick(nullptr);
    QCOMPARE(f->Chart1->Title().Lines(), QStringList{"Absorbance (from HITRAN data)"});
    // One point per line inside the range (the band list holds only those; the demonstration list more).
    QCOMPARE(f->WaterSeries->Count(), LinesInRange(*f->WaterLines, BandMin, BandMax));
    f->Plot_Linewidth_UIButtonClick(nullptr);
    QCOMPARE(f->Chart1->Title().Lines(), QStringList{"Absorbance (Adjust for Temperature and Pressure)"});
    QCOMPARE(f->WaterSeries->Count(), std::size_t(50000));
    f->Plot_Linewidth_Path_UIButtonClick(nullptr);
    QCOMPARE(f->Chart1->Title().Lines(), QStringList{"Opacity"});
    QCOMPARE(f->Chart1->LeftAxis().Title().Caption(),
             QString("Distance to absorb 63.21% of energy (meters)"));
    QCOMPARE(f->CombinedSeries->Count(), std::size_t(50000));
    QVERIFY(AllFinite(*f->CombinedSeries));
  }

  // Scale, offset, shift and derivative act on generic column files only. For the window's computed
  // curves the dialog does not offer them and says why, and nothing it holds empties or moves a curve.
  void seriesSettingsLeaveComputedCurvesAlone() {
    f->zqChart_Tools1->ShowSeriesProperties(0);
    TzqChartProperties_Form* dialog = TzqChartProperties_Form::Instance();
    QVERIFY(dialog);
    for (int n : {0, 2, 3, 4}) {
      f->zqChart_Tools1->ShowSeriesProperties(n);
      QCOMPARE(dialog->SelectedSeriesEntry(), n);
      for (QWidget* w : std::initializer_list<QWidget*>{
               dialog->SeriesEnableScaling_UICheckBox, dialog->SeriesScaleCur_UIEdit,
               dialog->SeriesOffset_UIScrollBar, dialog->SeriesHorizCur_UIEdit,
               dialog->SeriesSetDefaults_UIButton}) {
        QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
        QVERIFY2(w->toolTip().contains("would change nothing"), qPrintable(w->objectName()));
      }
      QTest::mouseClick(f->Button1, Qt::LeftButton);
      const TLineSeries& series = f->Chart1->Series(n);
      const std::vector<double> xs = series.XValues(), ys = series.YValues();
      SeriesSettings* settings = dialog->GetSeriesSettings(n);
      QVERIFY(settings);
      *settings = {.OffsetCur = 50, .ScaleCur = 2, .HorizCur = 500, .EnableScaling = true};
      dialog->SeriesSetDefaults_UIButtonClick(); // replots through the chart tools
      settings->ScaleCur = 2;
      f->zqChart_Tools1->PropertiesChanged();
      QCOMPARE(series.XValues(), xs);
      QCOMPARE(series.YValues(), ys);
      QTest::mouseClick(f->Button1, Qt::LeftButton);
      QCOMPARE(series.YValues(), ys);
      if (n != 2) QVERIFY(!ys.empty()); // the combined curve is empty for raw lines
    }
  }

  void transparentPlotsMaskOnlyTheSpectra() {
    QTest::mouseClick(f->Transparent_UICheckBox, Qt::LeftButton);
    for (int n = 0; n <= 2; ++n)
      QCOMPARE(f->Chart1->Series(n).LinePen().Mode, TPenMode::Mask);
    QCOMPARE(f->Chart1->Series(3).LinePen().Mode, TPenMode::Copy);
    QTest::mouseClick(f->Transparent_UICheckBox, Qt::LeftButton);
    QCOMPARE(f->Chart1->Series(0).LinePen().Mode, TPenMode::Copy);
  }

  void chartMouse() {
    f->Chart1->BottomAxis().SetMinMax(600, 700);
    f->Chart1->Refresh();
    TChartAxis& bottom = f->Chart1->BottomAxis();
    TChartAxis& left = f->Chart1->LeftAxis();
    int x = static_cast<int>(std::lround(bottom.CalcPosValue(667.123)));
    int y = (left.IStartPos() + left.IEndPos()) / 2;
    double expected = zqapp::RoundTo2Decimals(bottom.CalcPosPoint(x));
    QVERIFY(std::abs(expected - 667.12) < 0.2);
    QTest::mouseClick(f->Chart1, Qt::LeftButton, {}, QPoint(x, y));
    QCOMPARE(f->Wavenumber_UIzqSpinEdit->Value(), expected);
    QCOMPARE(f->Wavelength_UIzqSpinEdit->Value(), *zqapp::OtherWaveUnit(expected));

    // Left of the plot area nothing is picked.
    QTest::mouseClick(f->Chart1, Qt::LeftButton, {}, QPoint(bottom.IStartPos() - 5, y));
    QCOMPARE(f->Wavenumber_UIzqSpinEdit->Value(), expected);

    // A right click without scrolling opens the chart properties dialog.
    QTest::mouseClick(f->Chart1, Qt::RightButton, {}, QPoint(x, y));
    TzqChartProperties_Form* dialog = TzqChartProperties_Form::Instance();
    QVERIFY(dialog && dialog->isVisible());
    // The window's curves are never plotted as slopes: each repaint hides "Plot Derivative" again.
    QVERIFY(dialog->SeriesDerivative_UICheckBox->isHidden());
    dialog->SeriesDerivative_UICheckBox->show();
    f->Chart1->Refresh();
    QVERIFY(dialog->SeriesDerivative_UICheckBox->isHidden());
    dialog->hide();

    std::vector<QPoint> opened;
    f->OnShowChartProperties = [&](int X, int Y) { opened.emplace_back(X, Y); };
    QTest::mouseClick(f->Chart1, Qt::RightButton, {}, QPoint(x, y));
    QCOMPARE(opened, std::vector<QPoint>{QPoint(x, y)});

    // A right-button drag scrolls; its release opens nothing.
    QTest::mousePress(f->Chart1, Qt::RightButton, {}, QPoint(x, y));
    for (int dx = 5; dx <= 40; dx += 5) {
      QMouseEvent move(QEvent::MouseMove, QPointF(x + dx, y), f->Chart1->mapToGlobal(QPointF(x + dx, y)),
                       Qt::NoButton, Qt::RightButton, Qt::NoModifier);
      QApplication::sendEvent(f->Chart1, &move);
    }
    QTest::mouseRelease(f->Chart1, Qt::RightButton, {}, QPoint(x + 40, y));
    QCOMPARE(opened.size(), std::size_t(1));
    QVERIFY(!f->ChartScrolled);
    QVERIFY(bottom.Minimum() != 600); // it did scroll
  }
};

class RealListsPlotTest : public Form1PlotTest {
  Q_OBJECT
public:
  RealListsPlotTest() : Form1PlotTest(Data::Band) {}
};

std::vector<std::unique_ptr<QObject>> MakePlotTests() {
  std::vector<std::unique_ptr<QObject>> v;
  v.push_back(std::make_unique<Form1PlotTest>());
  v.push_back(std::make_unique<RealListsPlotTest>());
  return v;
}

#include "test_form1_plot.moc"
