// The chart properties dialog against a real chart, chart tools, INI store and column data file: slider
// arithmetic, scaling and derivative replots through the data file, opening from right clicks, the axes
// page, chart size, and image files decoded independently of the code that wrote them.
#include "FakePlatform.h"
#include "Read_Generic_Datafile.h"
#include "TestSupport.h"
#include "zqChart.h"
#include "zqChartPropertiesRules.h"
#include "zqChartProperties_Form.h"
#include "zqChart_Tools.h"
#include "zqColor.h"
#include "zqINI_File.h"
#include "zqLegendElement.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QSvgRenderer>
#include <QTabWidget>
#include <QtTest>

#include <filesystem>
#include <memory>

namespace zcp = zqchartprops;

namespace {

// Two series from one column file: y = x^2 and y = 10 x at x = 1..5.
const std::vector<std::string> kIni = {
    "[square]", "Caption=Square", "SeriesType=2", "[linear]", "Caption=Linear", "SeriesType=3",
};

std::vector<std::pair<double, double>> points(const TLineSeries& s) {
  std::vector<std::pair<double, double>> out;
  for (std::size_t i = 0; i < s.Count(); ++i)
    out.emplace_back(s.XValues()[i], s.YValues()[i]);
  return out;
}

QSize image_size(const QString& file, QByteArray* format = nullptr) {
  if (format) *format = QImageReader::imageFormat(file);
  return QImageReader(file).read().size();
}

} // namespace

class ChartPropertiesTest : public QObject {
  Q_OBJECT

  // The main window as the program builds it: chart and legend elements on a form, the chart tools bound
  // to an INI store, and one column file feeding two series.
  struct Window {
    zqtest::TempDir dir;
    QWidget form;
    TChart* chart;
    TzqLegendElement* legends[2];
    TzqINI_File ini;
    TzqGeneric_Datafile data;
    TzqChart_Tools tools;
    Window() {
      form.resize(800, 600);
      // As in the main window, the chart sits on a panel of the form.
      auto* panel = new QWidget(&form);
      panel->setGeometry(0, 0, 610, 410);
      chart = new TChart(panel);
      chart->setGeometry(0, 0, 600, 400);
      for (int i = 0; i < 2; ++i) {
        legends[i] = new TzqLegendElement(&form);
        legends[i]->setObjectName(QStringLiteral("Series_%1_UILegend").arg(i));
        legends[i]->setGeometry(620, 20 + 30 * i, 100, 20);
      }
      zqtest::WriteFile(dir / "data.txt", "1 1 10\n2 4 20\n3 9 30\n4 16 40\n5 25 50\n");
      data.NumberOfColumns = 3;
      data.LoadFromFile((dir / "data.txt").string());
      ini.LoadFromLines(kIni);
      tools.SetChart(chart);
      tools.SetzqINI_File(&ini);
      TzqChartProperties_Form::Install(tools);
      tools.RefreshXType = std::string(
          1, '1'); // the column file's x column (a literal here trips a GCC 12 -Wrestrict false positive)
      tools.AddSeries("square", "1", &data, legends[0]);
      tools.AddSeries("linear", "1", &data, legends[1]);
    }
    TzqChartProperties_Form& dialog() {
      tools.ShowProperties();
      auto* d = TzqChartProperties_Form::Instance();
      if (!d) throw std::logic_error("no dialog");
      return *d;
    }
    const TLineSeries& series(int i) const { return chart->Series(i); }
  };

  static void type(QLineEdit* edit, const QString& text) {
    edit->clear();
    QTest::keyClicks(edit, text);
  }

private slots:
  void rulesOfTheSliders() {
    // Positions: truncation for 0 decimals, halves to even for 1 and 2, saturation far out.
    QCOMPARE(zcp::ToPosition(-10, 2), -1000);
    QCOMPARE(zcp::ToPosition(-0.01, 2), -1);
    QCOMPARE(zcp::ToPosition(-1.9, 0), -1);
    QCOMPARE(zcp::ToPosition(0.25, 1), 2);
    QCOMPARE(zcp::ToPosition(0.35, 1), 4);
    QCOMPARE(zcp::ToPosition(1e12, 2), std::numeric_limits<int>::max());
    QCOMPARE(zcp::ToPosition(-1e12, 0), std::numeric_limits<int>::min());
    QCOMPARE(zcp::ToPosition(5, 3), 0);
    QCOMPARE(zcp::FromPosition(-50, 2), -0.5);
    QCOMPARE(zcp::FromPosition(7, 1), 0.7);
    QCOMPARE(zcp::FromPosition(7, 5), 7.0);
    QCOMPARE(zcp::SliderText(2.987, 0), std::string("2"));
    QCOMPARE(zcp::SliderText(-0.4, 0), std::string("0"));
    QCOMPARE(zcp::SliderText(2.987, 1), std::string("3"));
    QCOMPARE(zcp::SliderText(0.125, 2), std::string("0.12"));
    QCOMPARE(zcp::MultiplierFactor(2, 0), 100.0);
    QCOMPARE(zcp::MultiplierFactor(0, 1), 0.1);
    QCOMPARE(zcp::MultiplierFactor(1, 1), 1.0);
    // Key filters.
    QVERIFY(zcp::KeyAccepted(zcp::KeyFilter::Integer, '-'));
    QVERIFY(!zcp::KeyAccepted(zcp::KeyFilter::Integer, '.'));
    QVERIFY(!zcp::KeyAccepted(zcp::KeyFilter::PositiveInteger, '-'));
    QVERIFY(zcp::KeyAccepted(zcp::KeyFilter::Real, '.'));
    QVERIFY(!zcp::KeyAccepted(zcp::KeyFilter::PositiveReal, '-'));
    QVERIFY(zcp::KeyAccepted(zcp::KeyFilter::PositiveReal, 8));
    QVERIFY(!zcp::KeyAccepted(zcp::KeyFilter::Real, 'e'));
    QVERIFY(!zcp::KeyAccepted(zcp::KeyFilter::Real, 22)); // Ctrl+V
    // JPEG quality and whole numbers.
    QCOMPARE(zcp::JpegQuality("30"), 50);
    QCOMPARE(zcp::JpegQuality("150"), 100);
    QCOMPARE(zcp::JpegQuality(""), 100);
    QCOMPARE(zcp::JpegQuality("75"), 75);
    QCOMPARE(zcp::JpegQuality("$40"), 64);
    QCOMPARE(zcp::JpegQuality("7x"), 100);
    QCOMPARE(zcp::ReadNumber("", 160), 160.0);
    QCOMPARE(zcp::ReadNumber("-", 160), 160.0);
    QCOMPARE(zcp::ReadNumber("2.5", 160), 2.5);
    // Log range.
    QCOMPARE(zcp::LogarithmicRange(-5, 0).min, 1.0);
    QCOMPARE(zcp::LogarithmicRange(-5, 0).max, 10.0);
    QCOMPARE(zcp::LogarithmicRange(0.5, 0.2).max, 5.0);
    QCOMPARE(zcp::LogarithmicRange(2, 300).min, 2.0);
    QCOMPARE(zcp::LogarithmicRange(2, 300).max, 300.0);
    // With data on the axis its positive range replaces the ends that cannot be drawn.
    QCOMPARE(zcp::LogarithmicRange(-5, 0, zcp::AxisRange{0.02, 40}).min, 0.02);
    QCOMPARE(zcp::LogarithmicRange(-5, 0, zcp::AxisRange{0.02, 40}).max, 40.0);
    QCOMPARE(zcp::LogarithmicRange(-5, 100, zcp::AxisRange{0.02, 40}).max, 100.0);
    QCOMPARE(zcp::LogarithmicRange(-5, 0, zcp::AxisRange{0, 0}).min, 1.0);
  }

  void defaultSlidersAndMultiplier() {
    zq::FakePlatform fake;
    Window w;
    auto& d = w.dialog();
    QVERIFY(d.isVisible());
    QCOMPARE(d.windowTitle(), QString("Chart Properties"));
    QCOMPARE(d.Series_UIListBox->count(), 2);
    QCOMPARE(d.Series_UIListBox->item(1)->text(), QString("Linear"));
    QCOMPARE(d.SelectedSeriesEntry(), 0);
    // Scale: -1000 (10, top) to -1 (0.01, bottom), standing at -100 (1).
    QCOMPARE(d.SeriesScale_UIScrollBar->minimum(), -1000);
    QCOMPARE(d.SeriesScale_UIScrollBar->maximum(), -1);
    QCOMPARE(d.SeriesScale_UIScrollBar->value(), -100);
    QCOMPARE(d.SeriesScaleMax_UIEdit->text(), QString("10"));
    QCOMPARE(d.SeriesScaleMin_UIEdit->text(), QString("0.01"));
    QCOMPARE(d.SeriesScaleCur_UIEdit->text(), QString("1"));
    QCOMPARE(d.SeriesOffset_UIScrollBar->minimum(), -1000);
    QCOMPARE(d.SeriesOffset_UIScrollBar->maximum(), 1000);
    QCOMPARE(d.SeriesHoriz_UIScrollBar->value(), 0);
    QCOMPARE(d.SeriesMultiplier_UIRadioGroup->ItemIndex(), 2);

    d.SeriesEnableScaling_UICheckBox->setChecked(true);
    // Multiplier "2" -> "0": range 0.01..10 becomes 1..1000 on the same positions; integers only.
    d.SeriesMultiplier_UIRadioGroup->Button(0)->click();
    SeriesSettings* s = d.GetSeriesSettings(0);
    QCOMPARE(s->ScaleMax, 1000.0);
    QCOMPARE(s->ScaleMin, 1.0);
    QCOMPARE(s->ScaleCur, 1.0);
    QCOMPARE(s->ScaleDecimals, 0);
    QCOMPARE(d.SeriesScale_UIScrollBar->minimum(), -1000);
    QCOMPARE(d.SeriesScale_UIScrollBar->maximum(), -1);
    QCOMPARE(d.SeriesScaleMax_UIEdit->text(), QString("1000"));
    QCOMPARE(d.SeriesScaleMin_UIEdit->text(), QString("1"));
    type(d.SeriesScaleCur_UIEdit, "2.5");
    QCOMPARE(d.SeriesScaleCur_UIEdit->text(), QString("25"));
    QCOMPARE(s->ScaleCur, 25.0);
    QCOMPARE(d.SeriesScale_UIScrollBar->value(), -25);
    // Back to "2": the real filter again, range 0.01..10.
    d.SeriesMultiplier_UIRadioGroup->Button(2)->click();
    QCOMPARE(s->ScaleMax, 10.0);
    QCOMPARE(s->ScaleMin, 0.01);
    QCOMPARE(d.SeriesScaleCur_UIEdit->Filter, zcp::KeyFilter::Real);
    // The other series keeps its own settings.
    QCOMPARE(d.GetSeriesSettings(1)->ScaleMax, 10.0);
    QCOMPARE(d.GetSeriesSettings(2), nullptr);
  }

  void typingAndSlidingReplotThroughTheDatafile() {
    zq::FakePlatform fake;
    Window w;
    auto& d = w.dialog();
    d.SeriesEnableScaling_UICheckBox->setChecked(true);
    SeriesSettings* s = d.GetSeriesSettings(0);
    // "0." is a number being typed: kept, not applied.
    type(d.SeriesScaleCur_UIEdit, "0.");
    QCOMPARE(d.SeriesScaleCur_UIEdit->text(), QString("0."));
    QCOMPARE(d.SeriesScaleCur_UIEdit->Tag, 1);
    QCOMPARE(s->ScaleCur, 0.0); // the "0" typed before the point
    QTest::keyClicks(d.SeriesScaleCur_UIEdit, "5");
    QCOMPARE(s->ScaleCur, 0.5);
    QCOMPARE(d.SeriesScale_UIScrollBar->value(), -50);
    QCOMPARE(d.SeriesScaleCur_UIEdit->Tag, 0);
    type(d.SeriesOffsetCur_UIEdit, "-3");
    QCOMPARE(s->OffsetCur, -3.0);
    QCOMPARE(d.SeriesOffset_UIScrollBar->value(), 3); // vertical bars run negated
    // Moving the shift bar writes its value into the edit and replots.
    d.SeriesHoriz_UIScrollBar->setValue(10);
    QCOMPARE(d.SeriesHorizCur_UIEdit->text(), QString("10"));
    QCOMPARE(s->HorizCur, 10.0);
    using P = std::vector<std::pair<double, double>>;
    QCOMPARE(points(w.series(0)), (P{{11, -2.5}, {12, -1}, {13, 1.5}, {14, 5}, {15, 9.5}}));
    QCOMPARE(points(w.series(1)), (P{{1, 10}, {2, 20}, {3, 30}, {4, 40}, {5, 50}}));
    // The derivative applies with the scaling: slopes 3, 5, 7, 9 midway between the samples.
    d.SeriesDerivative_UICheckBox->setChecked(true);
    QCOMPARE(points(w.series(0)), (P{{11.5, -1.5}, {12.5, -0.5}, {13.5, 0.5}, {14.5, 1.5}}));
    // Without "Enable Scalling" the series is plotted unscaled, the derivative still applies, and every
    // scaling control is disabled.
    d.SeriesEnableScaling_UICheckBox->setChecked(false);
    QCOMPARE(points(w.series(0)), (P{{1.5, 3}, {2.5, 5}, {3.5, 7}, {4.5, 9}}));
    for (QWidget* c : std::initializer_list<QWidget*>{
             d.SeriesScaleMax_UIEdit, d.SeriesScaleMin_UIEdit, d.SeriesScaleCur_UIEdit,
             d.SeriesOffsetMax_UIEdit, d.SeriesOffsetMin_UIEdit, d.SeriesOffsetCur_UIEdit,
             d.SeriesHorizMax_UIEdit, d.SeriesHorizMin_UIEdit, d.SeriesHorizCur_UIEdit,
             d.SeriesScale_UIScrollBar, d.SeriesOffset_UIScrollBar, d.SeriesHoriz_UIScrollBar,
             d.SeriesSetDefaults_UIButton, d.SeriesMultiplier_UIRadioGroup})
      QVERIFY2(!c->isEnabled(), qPrintable(c->objectName()));
    QCOMPARE(s->ScaleCur, 0.5); // kept for when scaling is enabled again
    d.SeriesDerivative_UICheckBox->setChecked(false);
    QCOMPARE(points(w.series(0)), (P{{1, 1}, {2, 4}, {3, 9}, {4, 16}, {5, 25}}));
    // "Set Defaults" restores 1, 0, 0 and replots.
    d.SeriesEnableScaling_UICheckBox->setChecked(true);
    QVERIFY(d.SeriesSetDefaults_UIButton->isEnabled());
    type(d.SeriesScaleCur_UIEdit, "0.");
    d.SeriesSetDefaults_UIButton->click();
    QCOMPARE(s->ScaleCur, 1.0);
    QCOMPARE(s->OffsetCur, 0.0);
    QCOMPARE(s->HorizCur, 0.0);
    QCOMPARE(d.SeriesScaleCur_UIEdit->text(), QString("1"));
    QCOMPARE(d.SeriesOffsetCur_UIEdit->text(), QString("0"));
    QCOMPARE(d.SeriesHorizCur_UIEdit->text(), QString("0"));
    QCOMPARE(d.SeriesScale_UIScrollBar->value(), -100);
    QCOMPARE(points(w.series(0)), (P{{1, 1}, {2, 4}, {3, 9}, {4, 16}, {5, 25}}));
  }

  void keyFiltersAndUnreadableText() {
    zq::FakePlatform fake;
    Window w;
    auto& d = w.dialog();
    d.SeriesEnableScaling_UICheckBox->setChecked(true);
    type(d.SeriesOffsetMax_UIEdit, "2.5e3");
    QCOMPARE(d.SeriesOffsetMax_UIEdit->text(), QString("253"));
    QCOMPARE(d.GetSeriesSettings(0)->OffsetMax, 253.0);
    // A minus sign inside a number does not convert: the old value comes back.
    type(d.SeriesOffsetMin_UIEdit, "-4");
    QTest::keyClicks(d.SeriesOffsetMin_UIEdit, "-");
    QCOMPARE(d.SeriesOffsetMin_UIEdit->text(), QString("-4"));
    QCOMPARE(d.GetSeriesSettings(0)->OffsetMin, -4.0);
    type(d.General_JPEG_Quality_UIEdit, "-7.5");
    QCOMPARE(d.General_JPEG_Quality_UIEdit->text(), QString("75"));
    type(d.AxisIncrement_UIEdit, "-0.5");
    QCOMPARE(d.AxisIncrement_UIEdit->text(), QString("0.5"));
  }

  void seriesAxesLineTypeMarkers() {
    zq::FakePlatform fake;
    Window w;
    auto& d = w.dialog();
    d.ClickSeriesEntry(1);
    d.RadioGroup_SeriesVertAxis->Button(1)->click();
    QCOMPARE(w.series(1).VertAxis(), TVertAxis::Right);
    QCOMPARE(w.series(0).VertAxis(), TVertAxis::Left);
    d.RadioGroup_SeriesHorizAxis->Button(0)->click();
    QCOMPARE(w.series(1).HorizAxis(), THorizAxis::Top);
    d.LineType_UIComboBox->setCurrentIndex(3);
    emit d.LineType_UIComboBox->activated(3);
    QCOMPARE(w.series(1).LinePen().Style, TPenStyle::DashDot);
    d.SeriesMarkers_UICheckBox->setChecked(true);
    d.SeriesValues_UICheckBox->setChecked(true);
    QVERIFY(w.series(1).PointerVisible());
    QVERIFY(w.series(1).MarksVisible());
    QVERIFY(d.GetSeriesSettings(1)->ShowMarkers);
    // Selecting the other series shows its own state.
    d.ClickSeriesEntry(0);
    QCOMPARE(d.LineType_UIComboBox->currentIndex(), 0);
    QCOMPARE(d.RadioGroup_SeriesVertAxis->ItemIndex(), 0);
    QCOMPARE(d.RadioGroup_SeriesHorizAxis->ItemIndex(), 1);
    QVERIFY(!d.SeriesMarkers_UICheckBox->isChecked());
    QVERIFY(!w.series(0).PointerVisible());
    d.ClickSeriesEntry(1);
    QCOMPARE(d.LineType_UIComboBox->currentIndex(), 3);
    QCOMPARE(d.RadioGroup_SeriesHorizAxis->ItemIndex(), 0);
  }

  void opensFromRightClicksAndFollowsTheChart() {
    zq::FakePlatform fake;
    Window w;
    w.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.form));
    w.chart->replot();
    // A right click on a legend element opens the Series page on its series.
    w.legends[1]->ShowProperties_OnRightClick();
    auto* d = TzqChartProperties_Form::Instance();
    QVERIFY(d && d->isVisible());
    QCOMPARE(d->PageControl1->currentWidget(), d->TabSheet_Series);
    QCOMPARE(d->SelectedSeriesEntry(), 1);
    QCOMPARE(d->objectName(), QString("zqChartProperties_Form"));
    // Inside the plot area: General; left of it: Axes on "Left"; below: "Bottom".
    const TChartAxis& bottom = w.chart->BottomAxis();
    const TChartAxis& left = w.chart->LeftAxis();
    const int midX = (bottom.IStartPos() + bottom.IEndPos()) / 2;
    const int midY = (left.IStartPos() + left.IEndPos()) / 2;
    w.tools.ShowPropertiesAt(midX, midY);
    QCOMPARE(d->PageControl1->currentWidget(), d->TabSheet_General);
    w.tools.ShowPropertiesAt(bottom.IStartPos() - 5, midY);
    QCOMPARE(d->PageControl1->currentWidget(), d->TabSheet_Axes);
    QCOMPARE(d->RadioGroup_Axis->ItemIndex(), 0);
    w.tools.ShowPropertiesAt(midX, left.IEndPos() + 5);
    QCOMPARE(d->RadioGroup_Axis->ItemIndex(), 3);
    QCOMPARE(d->AxisLabel_UIEdit->text(), w.chart->BottomAxis().Title().Caption());
    // Still the one dialog.
    QCOMPARE(TzqChartProperties_Form::Instance(), d);
    QCOMPARE(static_cast<ChartPropertiesView*>(d), w.tools.PropertiesDialog());
    // After a repaint an open dialog shows the chart's size and the axis as zoomed.
    w.chart->BottomAxis().SetMinMax(2, 4);
    w.chart->resize(500, 300);
    w.chart->replot();
    TzqChartProperties_Form::RefreshOpen();
    QCOMPARE(d->GeneralChartWidth_UIEdit->text(), QString("500"));
    QCOMPARE(d->GeneralChartHeight_UIEdit->text(), QString("300"));
    QCOMPARE(d->AxesMinimum_UIEdit->text(), QString("2"));
    QCOMPARE(d->AxesMaximum_UIEdit->text(), QString("4"));
    // Closing only hides it; the settings survive.
    d->GetSeriesSettings(0)->ScaleCur = 3;
    d->close();
    w.tools.ShowSeriesProperties(0);
    QCOMPARE(TzqChartProperties_Form::Instance(), d);
    QCOMPARE(d->GetSeriesSettings(0)->ScaleCur, 3.0);
    QCOMPARE(d->SeriesScaleCur_UIEdit->text(), QString("3"));
  }

  void refreshAfterEachRepaintEnds() {
    zq::FakePlatform fake;
    Window w;
    w.chart->OnAfterDraw = [](TChart&) { TzqChartProperties_Form::RefreshOpen(); };
    w.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.form));
    auto& d = w.dialog();
    d.SetActivePage(ChartPropertiesView::Page::Axes);
    d.SetAxisIndex(0);
    w.chart->LeftAxis().SetMinMax(3, 7);
    QTest::qWait(100);
    QCOMPARE(d.AxesMinimum_UIEdit->text(), QString("3"));
    QCOMPARE(d.AxesMaximum_UIEdit->text(), QString("7"));
    // Showing the chart's state in the dialog changes nothing on the chart, so no repaint follows.
    const int repaints = w.chart->RepaintCount();
    QTest::qWait(200);
    QCOMPARE(w.chart->RepaintCount(), repaints);
    QCOMPARE(w.chart->LeftAxis().Minimum(), 3.0);
  }

  void axesPage() {
    zq::FakePlatform fake;
    Window w;
    auto& d = w.dialog();
    TChartAxis& left = w.chart->LeftAxis();
    left.SetMinMax(-5, 0);
    d.SetAxisIndex(0); // as a right click left of the plot does
    QVERIFY(!d.CheckBox_AxisAutomatic->isChecked());
    QVERIFY(d.AxesMinimum_UIEdit->isEnabled());
    QCOMPARE(d.AxesMinimum_UIEdit->text(), QString("-5"));
    // Log on -5..0: the range becomes the data's positive one first, and the right axis follows.
    double lo = 0, hi = 0;
    QVERIFY(w.chart->DataRange(left, true, lo, hi));
    QVERIFY(lo > 0 && hi > lo);
    d.CheckBox_AxisLog->setChecked(true);
    QVERIFY(left.Logarithmic());
    QVERIFY(w.chart->RightAxis().Logarithmic());
    QVERIFY(!w.chart->BottomAxis().Logarithmic());
    QCOMPARE(left.Minimum(), lo);
    QCOMPARE(left.Maximum(), hi);
    d.CheckBox_AxisLog->setChecked(false);
    QVERIFY(!left.Logarithmic());
    QVERIFY(!w.chart->RightAxis().Logarithmic());
    // An automatic axis stays automatic and keeps its data's smallest positive value, not 1.
    TChartAxis& bottom = w.chart->BottomAxis();
    bottom.SetMinMax(-5, 0);
    bottom.SetAutomatic(true);
    d.SetAxisIndex(3);
    d.CheckBox_AxisLog->setChecked(true);
    QVERIFY(bottom.Logarithmic() && w.chart->TopAxis().Logarithmic());
    QVERIFY(bottom.Automatic());
    QVERIFY(w.chart->DataRange(bottom, true, lo, hi));
    QCOMPARE(bottom.Minimum(), lo);
    d.CheckBox_AxisLog->setChecked(false);
    left.SetMinMax(1, 10);
    d.SetAxisIndex(0);
    // A minimum above the maximum: warning, red edits, axis unchanged.
    d.AxesMinimum_UIEdit->setText("20");
    QVERIFY(!d.AxesMinMaxWarning_UILabel->isHidden());
    QCOMPARE(d.AxesMinMaxWarning_UILabel->text(), QString("Min must be less than Max"));
    QCOMPARE(d.AxesMinimum_UIEdit->palette().color(QPalette::Text), QColor(255, 0, 0));
    QCOMPARE(d.AxesMaximum_UIEdit->palette().color(QPalette::Text), QColor(255, 0, 0));
    QCOMPARE(left.Minimum(), 1.0);
    type(d.AxesMinimum_UIEdit, "3");
    QVERIFY(d.AxesMinMaxWarning_UILabel->isHidden());
    QVERIFY(d.AxesMinimum_UIEdit->palette().color(QPalette::Text) != QColor(255, 0, 0));
    QCOMPARE(left.Minimum(), 3.0);
    d.AxesMaximum_UIEdit->setText("2");
    QVERIFY(!d.AxesMinMaxWarning_UILabel->isHidden());
    QCOMPARE(left.Maximum(), 10.0);
    type(d.AxesMaximum_UIEdit, "12");
    QCOMPARE(left.Maximum(), 12.0);
    // Automatic, invert, grid, increment, label, format.
    d.CheckBox_AxisAutomatic->setChecked(true);
    QVERIFY(left.Automatic());
    QVERIFY(!d.AxesMinimum_UIEdit->isEnabled());
    d.CheckBox_AxisInvert->setChecked(true);
    QVERIFY(left.Inverted());
    d.CheckBox_AxisDisplayGrid->setChecked(false);
    QVERIFY(!left.GridVisible());
    type(d.AxisIncrement_UIEdit, "2.5");
    QCOMPARE(left.Increment(), 2.5);
    d.AxisIncrement_UIEdit->clear();
    QCOMPARE(left.Increment(), 0.0);
    type(d.AxisLabel_UIEdit, "Absorbance");
    QCOMPARE(left.Title().Caption(), QString("Absorbance"));
    d.Axis_Format_UIComboBox->setCurrentIndex(2);
    QCOMPARE(left.AxisValuesFormat(), QString("###0.00"));
    fake.fontAnswers.push_back(zq::FontChoice{"Serif", 14, true});
    d.AxesLabelFont_UIButton->click();
    QCOMPARE(left.Title().Font().size, 14);
    // Another axis shows its own state and leaves this one alone.
    d.RadioGroup_Axis->SetItemIndex(1);
    QVERIFY(!d.CheckBox_AxisInvert->isChecked());
    QCOMPARE(d.Axis_Format_UIComboBox->currentText(), QString());
    QVERIFY(left.Inverted());
    QCOMPARE(left.AxisValuesFormat(), QString("###0.00"));
  }

  void generalPageTitleBackgroundSize() {
    zq::FakePlatform fake;
    Window w;
    w.chart->Title().SetText("One\nTwo");
    auto& d = w.dialog();
    d.SetActivePage(ChartPropertiesView::Page::General);
    QCOMPARE(d.GeneralTitle_UIMemo->toPlainText(), QString("One\nTwo"));
    d.GeneralTitle_UIMemo->setPlainText("New title\nsecond line");
    QCOMPARE(w.chart->Title().Lines(), (QStringList{"New title", "second line"}));
    fake.fontAnswers.push_back(zq::FontChoice{"Serif", 18, true});
    d.GeneralTitleFont_UIButton->click();
    QCOMPARE(w.chart->Title().Font().size, 18);
    QVERIFY(w.chart->Title().Font().bold);
    fake.fontAnswers.push_back(std::nullopt);
    d.GeneralTitleFont_UIButton->click();
    QCOMPARE(w.chart->Title().Font().size, 18);
    d.Background_Color_UIRadioGroup->Button(1)->click();
    QCOMPARE(w.chart->Color(), clBtnFace);
    fake.colorAnswers.push_back(0x00FF00);
    d.Series_Color_UIPanel->OnClick(*d.Series_Color_UIPanel);
    QCOMPARE(w.chart->Color(), 0x00FF00u);
    QCOMPARE(d.Series_Color_UIPanel->Color(), 0x00FF00u);
    fake.colorAnswers.push_back(std::nullopt);
    d.Series_Color_UIPanel->OnClick(*d.Series_Color_UIPanel);
    QCOMPARE(w.chart->Color(), 0x00FF00u);
    // Chart size: only with "Live Update"; "200 x 320" makes it 320 wide and 200 high.
    QVERIFY(!d.GeneralChartSize_UIButton->isEnabled());
    QCOMPARE(d.GeneralChartWidth_UIEdit->text(), QString("600"));
    d.GeneralChartSize_UICheckBox->setChecked(true);
    QVERIFY(d.GeneralChartSize_UIButton->isEnabled());
    d.GeneralChartSize_UIButton->click();
    QCOMPARE(w.chart->width(), 320);
    QCOMPARE(w.chart->height(), 200);
    type(d.GeneralChartWidth_UIEdit, "450");
    QCOMPARE(w.chart->width(), 320); // applied when typing ends
    QTest::keyClick(d.GeneralChartWidth_UIEdit, Qt::Key_Return);
    QCOMPARE(w.chart->width(), 450);
    d.GeneralChartHeight_UIEdit->clear(); // empty: 160
    QTest::keyClick(d.GeneralChartHeight_UIEdit, Qt::Key_Return);
    QCOMPARE(w.chart->height(), 160);
    type(d.GeneralChartHeight_UIEdit, "0");
    QTest::keyClick(d.GeneralChartHeight_UIEdit, Qt::Key_Return);
    QCOMPARE(w.chart->height(), 1);
    QCOMPARE(d.GeneralChartHeight_UIEdit->text(), QString("1")); // the size applied
    d.GeneralChartSize_UICheckBox->setChecked(false);
    QVERIFY(!d.GeneralChartWidth_UIEdit->isEnabled());
    QVERIFY(w.chart->maximumWidth() > 10000); // back to its window's layout
  }

  // A huge width typed with Live Update on keeps the chart's window on the screen, a smaller chart
  // shrinks the window again, and leaving Live Update gives the window its size from before.
  void liveSizeKeepsTheWindowOnTheScreen() {
    zq::FakePlatform fake;
    Window w;
    w.form.setGeometry(0, 0, 400, 300);
    w.chart->setGeometry(0, 0, 300, 200);
    w.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.form));
    const QSize before = w.form.size();
    const QRect screen = w.form.screen()->availableGeometry();
    auto& d = w.dialog();
    d.SetActivePage(ChartPropertiesView::Page::General);
    d.GeneralChartSize_UICheckBox->setChecked(true);
    type(d.GeneralChartWidth_UIEdit, "99999");
    QCOMPARE(w.chart->width(), 300); // nothing applied while typing
    QTest::keyClick(d.GeneralChartWidth_UIEdit, Qt::Key_Return);
    QVERIFY(w.chart->width() > 300);
    QVERIFY2(w.form.frameGeometry().width() <= screen.width(), qPrintable(QString::number(w.form.width())));
    QCOMPARE(d.GeneralChartWidth_UIEdit->text(), QString::number(w.chart->width()));
    type(d.GeneralChartWidth_UIEdit, "200");
    QTest::keyClick(d.GeneralChartWidth_UIEdit, Qt::Key_Return);
    QCOMPARE(w.chart->width(), 200);
    QCOMPARE(w.form.width(), before.width() - 100);
    d.GeneralChartSize_UICheckBox->setChecked(false);
    QCOMPARE(w.form.size(), before);
  }

  void placementRules() {
    using zcp::Box;
    const Box screen{0, 0, 1920, 1080};
    auto at = [&](const Box& owner, int width, int height) {
      const Box b = zcp::PlaceBeside(owner, width, height, screen);
      return std::pair{b.x, b.y};
    };
    QCOMPARE(at({100, 50, 800, 600}, 583, 406), (std::pair{900, 50}));     // right of the owner
    QCOMPARE(at({700, 50, 800, 600}, 583, 406), (std::pair{117, 50}));     // no room right: left
    QCOMPARE(at({200, 900, 1600, 600}, 583, 406), (std::pair{1337, 674})); // neither: screen edge
    QCOMPARE(at({-50, -20, 100, 100}, 583, 406), (std::pair{50, 0}));
    QCOMPARE(zcp::PlaceBeside({10, 10, 100, 100}, 50, 50, {}).x, 110); // screen unknown
    // Chart sides: the window grows by what the chart grows and must stay within the room.
    QCOMPARE(zcp::ChartSideWithin(99999, 600, 800, 1920), 1720);
    QCOMPARE(zcp::ChartSideWithin(700, 600, 800, 1920), 700);
    QCOMPARE(zcp::ChartSideWithin(0, 600, 800, 1920), 1);
    QCOMPARE(zcp::ChartSideWithin(900, 600, 3000, 1920),
             1); // a window beyond the screen: the chart gives way
  }

  // The dialog opens beside the chart's window, not over the chart, and Escape closes it.
  void opensBesideTheWindowAndEscapeCloses() {
    zq::FakePlatform fake;
    Window w;
    const QRect screen = w.form.screen()->availableGeometry();
    w.form.setGeometry(screen.x(), screen.y() + 40, std::max(100, screen.width() - 700), 500);
    w.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.form));
    auto& d = w.dialog();
    QVERIFY(d.isVisible());
    QVERIFY2(d.frameGeometry().left() >= w.form.frameGeometry().right(),
             qPrintable(QString("%1 %2").arg(d.frameGeometry().left()).arg(w.form.frameGeometry().right())));
    QCOMPARE(d.frameGeometry().top(), w.form.frameGeometry().top());
    QTest::keyClick(&d, Qt::Key_Escape);
    QVERIFY(!d.isVisible());
    // Escape in one of its fields closes it too.
    w.tools.ShowProperties();
    QVERIFY(d.isVisible());
    d.SetActivePage(ChartPropertiesView::Page::General);
    QTest::keyClick(d.GeneralChartWidth_UIEdit, Qt::Key_Escape);
    QVERIFY(!d.isVisible());
  }

  void jpegQualityIsClampedAndReadable() {
    zq::FakePlatform fake;
    Window w;
    auto& d = w.dialog();
    zqtest::TempDir dir;
    auto save = [&](const QString& quality, const std::string& name) {
      d.General_JPEG_Quality_UIEdit->setText(quality);
      const QString file = QString::fromStdString((dir / name).string());
      if (!d.SaveImageAs(file)) return QByteArray();
      QFile f(file);
      return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray q30 = save("30", "q30.jpg"), q50 = save("50", "q50.jpeg");
    const QByteArray q150 = save("150", "q150.JPG"), q100 = save("100", "q100.jpg"),
                     empty = save("", "e.jpg");
    QVERIFY(!q50.isEmpty() && !q100.isEmpty());
    QCOMPARE(q30, q50);
    QCOMPARE(q150, q100);
    QCOMPARE(empty, q100);
    QVERIFY(q50.size() < q100.size());
    QByteArray format;
    QCOMPARE(image_size(QString::fromStdString((dir / "q50.jpeg").string()), &format), w.chart->size());
    QCOMPARE(format, QByteArray("jpeg"));
    // The reference: the same image written directly at quality 50 gives the same bytes.
    QBuffer reference;
    reference.open(QIODevice::WriteOnly);
    QImageWriter writer(&reference, "jpeg");
    writer.setQuality(50);
    QVERIFY(
        writer.write(w.chart->DrawToImage(w.chart->size(), clWindow).convertToFormat(QImage::Format_RGB32)));
    QCOMPARE(reference.data(), q50);
    QVERIFY(fake.messages.empty());
  }

  void imageFilesAndUnknownExtensions() {
    zq::FakePlatform fake;
    Window w;
    auto& d = w.dialog();
    zqtest::TempDir dir;
    const auto path = [&](const std::string& name) { return QString::fromStdString((dir / name).string()); };
    // Through the save dialog, which offers every format and "aadummy" as the default extension.
    fake.saveAnswers.push_back(path("chart.bmp").toStdString());
    d.GeneralSave_UIButton->click();
    QCOMPARE(fake.saveRequests.back().defaultExt, std::string("aadummy"));
    QVERIFY(fake.saveRequests.back().filter.find("*.bmp") != std::string::npos);
    QVERIFY(fake.saveRequests.back().filter.find("*.svg") != std::string::npos);
    QByteArray format;
    QCOMPARE(image_size(path("chart.bmp"), &format), QSize(600, 400));
    QCOMPARE(format, QByteArray("bmp"));
    QVERIFY(d.SaveImageAs(path("chart.png")));
    QCOMPARE(image_size(path("chart.png"), &format), QSize(600, 400));
    QCOMPARE(format, QByteArray("png"));
    QVERIFY(d.SaveImageAs(path("chart.svg")));
    QCOMPARE(QSvgRenderer(path("chart.svg")).viewBox().size(), QSize(600, 400));
    QVERIFY(d.SaveImageAs(path("chart.pdf")));
    QCOMPARE(QByteArray::fromStdString(zqtest::ReadFile(dir / "chart.pdf").substr(0, 5)),
             QByteArray("%PDF-"));
    QVERIFY(fake.messages.empty());
    // A name without extension gets "aadummy": nothing is written, and the user is told.
    fake.saveAnswers.push_back(path("chart.aadummy").toStdString());
    d.GeneralSave_UIButton->click();
    QVERIFY(!std::filesystem::exists(dir / "chart.aadummy"));
    QCOMPARE(int(fake.messages.size()), 1);
    QVERIFY(fake.messages[0].text.find("Nothing was saved") != std::string::npos);
    QVERIFY(!d.SaveImageAs(path("chart.gif")));
    QVERIFY(!std::filesystem::exists(dir / "chart.gif"));
    // "Full Application": the window that holds the chart.
    d.GeneralImageSelect_UIRadioGroup->Button(1)->click();
    QVERIFY(d.SaveImageAs(path("window.bmp")));
    QCOMPARE(image_size(path("window.bmp")), w.form.size());
    QVERIFY(d.SaveImageAs(path("window.jpg")));
    QCOMPARE(image_size(path("window.jpg")), w.form.size());
    QCOMPARE(d.SelectedImage().size(), w.form.size());
    // A file that cannot be written is reported, and an existing file of that name is kept.
    zqtest::WriteFile(dir / "keep.png", "old");
    std::filesystem::permissions(dir.path(),
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    const bool readOnly = !QFile(path("probe")).open(QIODevice::WriteOnly); // root may write anyway
    if (readOnly) {
      QVERIFY(!d.SaveImageAs(path("keep.png")));
      QVERIFY(fake.messages.back().text.find("could not be saved") != std::string::npos);
      QCOMPARE(zqtest::ReadFile(dir / "keep.png"), std::string("old"));
    }
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_all);
  }

  void clipboardGetsTheChart() {
    zq::FakePlatform fake;
    Window w;
    auto& d = w.dialog();
    QGuiApplication::clipboard()->clear();
    d.GeneralCopyToClipboard_UIButton->click();
    QCOMPARE(QGuiApplication::clipboard()->image().size(), QSize(600, 400));
    d.GeneralImageSelect_UIRadioGroup->Button(1)->click();
    d.GeneralCopyToClipboard_UIButton->click();
    QCOMPARE(QGuiApplication::clipboard()->image().size(), w.form.size());
  }

  void screenshot() {
    // Writes a picture of the dialog where ABSORBVIEW_SCREENSHOT_DIR names a folder (docs/ is made so).
    zq::FakePlatform fake;
    Window w;
    w.chart->Title().SetText("Absorption by water vapour and CO2");
    w.chart->LeftAxis().Title().SetCaption("absorbance");
    auto& d = w.dialog();
    d.ClickSeriesEntry(0);
    d.SeriesEnableScaling_UICheckBox->setChecked(true);
    const QImage image = d.grab().toImage();
    const QByteArray dir = qgetenv("ABSORBVIEW_SCREENSHOT_DIR");
    if (!dir.isEmpty()) {
      QVERIFY(image.save(QString::fromLocal8Bit(dir) + "/chart-properties.png"));
      d.SetActivePage(ChartPropertiesView::Page::General);
      QVERIFY(d.grab().save(QString::fromLocal8Bit(dir) + "/chart-properties-general.png"));
      d.SetActivePage(ChartPropertiesView::Page::Axes);
      QVERIFY(d.grab().save(QString::fromLocal8Bit(dir) + "/chart-properties-axes.png"));
    }
    QCOMPARE(image.size(), d.size());
    QCOMPARE(d.size(), QSize(583, 406));
  }
};

QTEST_MAIN(ChartPropertiesTest)
#include "test_chart_properties.moc"
