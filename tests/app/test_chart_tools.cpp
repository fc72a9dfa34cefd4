// Chart tools and legend elements against a real chart, an INI store parsed from text, a recording data
// file and a scripted properties dialog; dialogs and messages go through the fake platform.
#include "FakePlatform.h"
#include "zqChart.h"
#include "zqChart_Tools.h"
#include "zqColor.h"
#include "zqDatafile.h"
#include "zqINI_File.h"
#include "zqLegendElement.h"
#include "zqText.h"

#include <QLabel>
#include <QPalette>
#include <QtTest>

#include <memory>
#include <vector>

namespace {

// Records every fill with the display settings in force, and adds one point so a fill is visible.
class RecordingDatafile : public TzqDatafile {
public:
  struct Fill {
    std::string seriesType, xType;
    double yScale, yOffset, xOffset;
    bool derivative;
  };
  std::vector<Fill> fills;
  void FillSeries(TLineSeries& series, const std::string& seriesType, const std::string& xType) override {
    TzqDatafile::FillSeries(series, seriesType, xType);
    fills.push_back({seriesType, xType, YScale, YOffset, XOffset, PlotDerivative});
    series.AddXY(1, 2);
  }
  bool AppliesPlotAdjustments() const override { return true; }
};
class OtherDatafile : public TzqDatafile {};

class ScriptedDialog : public ChartPropertiesView {
public:
  std::vector<SeriesSettings> settings;
  std::function<void()> onSeriesChange;
  TChart* bound = nullptr;
  int shows = 0;
  std::vector<Page> pages;
  int axis = -1;
  int entries = 0;
  int selected = -1;
  std::vector<int> clicked;

  void BindChart(TChart* chart) override { bound = chart; }
  void SetOnSeriesChange(std::function<void()> callback) override { onSeriesChange = std::move(callback); }
  SeriesSettings* GetSeriesSettings(int index) override {
    return index >= 0 && index < int(settings.size()) ? &settings[index] : nullptr;
  }
  void ShowDialog() override { ++shows; }
  void SetActivePage(Page page) override { pages.push_back(page); }
  void SetAxisIndex(int a) override { axis = a; }
  int SeriesEntryCount() const override { return entries; }
  int SelectedSeriesEntry() const override { return selected; }
  void ClickSeriesEntry(int index) override {
    selected = index;
    clicked.push_back(index);
  }
};

const std::vector<std::string> kIni = {
    "[h2o]",
    "Caption=H2O",
    "SeriesType=Spectra",
    "color=$FF0000",
    "[co2]",
    "Caption=CO2",
    "SeriesType=Spectra",
    "color=$0000FF",
    "[Combined]",
    "Caption=Combined",
    "SeriesType=Spectra",
    "Display=no",
    "color=$0080FF",
    "[graph1]",
    "Title=Spectra",
    "xlabel=Wavenumber (cm-1)",
    "ylabel=Absorbance",
    "[Right Axis]",
    "min=0",
    "max=10",
    "label=Blackbody (W/m2/cm-1 x1000)",
};

} // namespace

class ChartToolsTest : public QObject {
  Q_OBJECT

  // One main window per test: a chart and six legend elements named as the window defines them.
  struct Window {
    QWidget form;
    TChart* chart;
    TzqLegendElement* legends[6];
    TzqINI_File ini;
    TzqChart_Tools tools;
    explicit Window(const std::vector<std::string>& lines = kIni) {
      form.resize(800, 600);
      chart = new TChart(&form);
      chart->setGeometry(0, 0, 600, 400);
      for (int i = 0; i < 6; ++i) {
        legends[i] = new TzqLegendElement(&form);
        legends[i]->setObjectName(QStringLiteral("Series_%1_UILegend").arg(i));
        legends[i]->setGeometry(620, 20 + 30 * i, 100, 20);
      }
      ini.LoadFromLines(lines);
      tools.SetChart(chart);
      tools.SetzqINI_File(&ini);
    }
  };

private slots:
  void seriesAreCreatedInOrderAndBound() {
    zq::FakePlatform fake;
    Window w;
    RecordingDatafile water, co2;
    QCOMPARE(w.tools.AddSeries("h2o", "spectra", &water, w.legends[0]), 0);
    QCOMPARE(w.tools.AddSeries("co2", "spectra", &co2, w.legends[1]), 1);
    QCOMPARE(w.tools.AddSeries("Combined", "spectra", nullptr, w.legends[2]), 2);
    QCOMPARE(w.chart->SeriesCount(), 3);
    QCOMPARE(int(w.tools.SeriesRecords().size()), 3);
    QCOMPARE(w.tools.SeriesRecords()[1].Section, std::string("co2"));
    QCOMPARE(w.tools.SeriesRecords()[1].SeriesType, std::string("Spectra"));
    QCOMPARE(w.tools.SeriesRecords()[1].Legend.data(), w.legends[1]);
    for (int i = 0; i < 3; ++i) {
      QCOMPARE(w.legends[i]->SeriesIndex(), i);
      QCOMPARE(w.legends[i]->Tag, i);
      QCOMPARE(w.legends[i]->FSeries_Color_UIPanel()->Tag, i);
      QCOMPARE(w.legends[i]->Tools.data(), &w.tools);
    }
    QCOMPARE(w.chart->Series(1).Title(), std::string("CO2"));
    QCOMPARE(w.legends[1]->text(), QString("CO2"));
    // The kind goes to the data file as its x-type; the series' points come from it.
    QCOMPARE(int(co2.fills.size()), 1);
    QCOMPARE(co2.fills[0].seriesType, std::string("Spectra"));
    QCOMPARE(co2.fills[0].xType, std::string("spectra"));
    QCOMPARE(co2.Series, &w.chart->Series(1));
    QCOMPARE(int(w.chart->Series(1).Count()), 1);
    QCOMPARE(w.tools.GetSeriesDatafile(0), static_cast<TzqDatafile*>(&water));
    QCOMPARE(w.tools.GetSeriesDatafile(2), nullptr);
    QCOMPARE(w.tools.GetSeriesDatafile(3), nullptr);
    QCOMPARE(w.tools.GetSeriesDatafile(-1), nullptr);
    QVERIFY(fake.messages.empty());
  }

  void legendElementsAreFoundByName() {
    zq::FakePlatform fake;
    Window w;
    w.tools.AddSeries("h2o", "spectra");
    w.tools.AddSeries("co2", "spectra");
    QCOMPARE(w.tools.SeriesRecords()[1].Legend.data(), w.legends[1]);
    QCOMPARE(w.legends[1]->SeriesIndex(), 1);
    QVERIFY(w.chart->Series(1).Active());
  }

  void aSeriesWithoutLegendStaysHidden() {
    zq::FakePlatform fake;
    Window w;
    delete w.legends[0];
    // A control named like a legend element that is not one is reported and not used.
    auto* label = new QLabel(&w.form);
    label->setObjectName("Series_1_UILegend");
    delete w.legends[1];
    w.tools.AddSeries("h2o", "spectra");
    QVERIFY(fake.messages.empty());
    w.tools.AddSeries("co2", "spectra");
    QVERIFY(!w.chart->Series(0).Active());
    QVERIFY(!w.chart->Series(1).Active());
    QCOMPARE(w.tools.SeriesRecords()[1].Legend.data(), nullptr);
    QCOMPARE(int(fake.messages.size()), 1);
    QVERIFY(fake.messages[0].text.find("Series_1_UILegend") != std::string::npos);
  }

  void coloursComeFromIniText() {
    zq::FakePlatform fake;
    Window w({"[a]", "color=$0000FF", "[b]", "color=$", "[c]", "color=abc", "[d]", "color=-2147483633", "[e]",
              "color=$8000000F", "[f]", "color=16711680", "[g]", "color=$FFFFFFFFF"});
    const char* sections[] = {"a", "b", "c", "d", "e", "f", "g"};
    for (const char* s : sections)
      w.tools.AddSeries(s, "spectra");
    // "$0000FF" is red (red in the low byte), both on the series and on its swatch.
    QCOMPARE(w.chart->Series(0).SeriesColor(), 0x0000FFu);
    QCOMPARE(w.legends[0]->FSeries_Color_UIPanel()->Color(), 0x0000FFu);
    QCOMPARE(zqColorToQColor(w.chart->Series(0).SeriesColor()), QColor(Qt::red));
    // "$", "abc" and a value beyond 32 bits keep the colour the chart chose.
    TChart fresh;
    for (int i = 0; i < 7; ++i)
      fresh.AddSeries();
    QCOMPARE(w.chart->Series(1).SeriesColor(), fresh.Series(1).SeriesColor());
    QCOMPARE(w.chart->Series(2).SeriesColor(), fresh.Series(2).SeriesColor());
    QCOMPARE(w.chart->Series(6).SeriesColor(), fresh.Series(6).SeriesColor());
    // Negative values name window-system colours, written in decimal or in hexadecimal.
    QCOMPARE(w.chart->Series(3).SeriesColor(), clBtnFace);
    QCOMPARE(w.chart->Series(4).SeriesColor(), clBtnFace);
    QCOMPARE(zqColorToQColor(clBtnFace), QGuiApplication::palette().color(QPalette::Button));
    QCOMPARE(w.chart->Series(5).SeriesColor(), 0xFF0000u);
    QCOMPARE(zqColorToQColor(0xFF0000u), QColor(Qt::blue));
  }

  void captionsAndDisplayFromIni() {
    zq::FakePlatform fake;
    Window w({"[u]", "Caption=Temp\xC3\xA9rature", "Display=YES", "[w]", "Caption=Temp\xE9rature \x80",
              "Display=no", "[x]", "Display=1", "[y]", "Display=true", "[z]"});
    for (const char* s : {"u", "w", "x", "y", "z"})
      w.tools.AddSeries(s, "spectra");
    QCOMPARE(w.legends[0]->text(), QString::fromUtf8("Temp\xC3\xA9rature"));
    QCOMPARE(w.legends[1]->text(), QString::fromUtf8("Temp\xC3\xA9rature \xE2\x82\xAC"));
    // The series title keeps the bytes as stored.
    QCOMPARE(w.chart->Series(1).Title(), std::string("Temp\xE9rature \x80"));
    const bool shown[] = {true, false, false, false, true};
    for (int i = 0; i < 5; ++i) {
      QCOMPARE(w.legends[i]->isChecked(), shown[i]);
      QCOMPARE(w.chart->Series(i).Active(), shown[i]);
    }
    // Missing keys take their defaults and keep them in the store.
    QCOMPARE(w.ini.FindRecord("z", "Display")->Value, std::string("yes"));
    QCOMPARE(w.legends[4]->text(), QString("Series 4"));
    QCOMPARE(w.chart->Series(4).Title(), std::string("Series 4"));
    QCOMPARE(w.ini.FindRecord("x", "Caption")->Value, std::string("Series 2"));
  }

  void emptySectionNameUsesSeriesNumber() {
    zq::FakePlatform fake;
    Window w({"[series 1]", "Caption=Second", "SeriesType=Blackbody"});
    w.tools.AddSeries("first", "spectra");
    RecordingDatafile data;
    w.tools.AddSeries("", "blackbody", &data);
    QCOMPARE(w.tools.SeriesRecords()[1].Section, std::string("series 1"));
    QCOMPARE(w.legends[1]->text(), QString("Second"));
    QCOMPARE(data.fills.at(0).seriesType, std::string("Blackbody"));
  }

  void nothingHappensWithoutChartOrStore() {
    zq::FakePlatform fake;
    TzqChart_Tools tools;
    QCOMPARE(tools.AddSeries("h2o", "spectra"), -1);
    tools.ReadGraphTitles("graph1");
    tools.ReadRightAxis("Right Axis");
    tools.RefreshSeries(0, "wavenumber");
    tools.ShowProperties();
    QVERIFY(tools.SeriesRecords().empty());
    // A destroyed chart is forgotten.
    auto* chart = new TChart;
    tools.SetChart(chart);
    delete chart;
    QCOMPARE(tools.Chart(), nullptr);
  }

  void missingOrWrongDatafileIsReportedBySection() {
    zq::FakePlatform fake;
    Window w;
    OtherDatafile other;
    RecordingDatafile good;
    QCOMPARE(TzqChart_Tools::CheckSeriesDatafile<RecordingDatafile>("h2o", nullptr, "a line list"), nullptr);
    QCOMPARE(TzqChart_Tools::CheckSeriesDatafile<RecordingDatafile>("co2", &other, "a line list"), nullptr);
    QCOMPARE(TzqChart_Tools::CheckSeriesDatafile<RecordingDatafile>("Combined", &good, "a line list"), &good);
    QCOMPARE(int(fake.messages.size()), 2);
    QVERIFY(fake.messages[0].text.find("[h2o]") != std::string::npos);
    QVERIFY(fake.messages[1].text.find("[co2]") != std::string::npos);
    QVERIFY(fake.messages[1].text.find("a line list") != std::string::npos);
    // The series of a missing data file exists, keeps its index and stays empty; replots do nothing.
    QCOMPARE(w.tools.AddSeries("h2o", "spectra", nullptr, w.legends[0]), 0);
    w.tools.RefreshSeries(0, "wavenumber");
    QCOMPARE(int(w.chart->Series(0).Count()), 0);
  }

  void legendCheckShowsAndHidesItsSeries() {
    zq::FakePlatform fake;
    Window w;
    w.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.form));
    w.tools.AddSeries("h2o", "spectra", nullptr, w.legends[0]);
    QVERIFY(w.chart->Series(0).Active());
    const QPoint box(8, 10); // on the indicator
    QTest::mouseClick(w.legends[0], Qt::LeftButton, {}, box);
    QVERIFY(!w.legends[0]->isChecked());
    QVERIFY(!w.chart->Series(0).Active());
    QTest::mouseClick(w.legends[0], Qt::LeftButton, {}, box);
    QVERIFY(w.chart->Series(0).Active());
    w.legends[0]->setChecked(false); // a change from code acts like a click
    QVERIFY(!w.chart->Series(0).Active());
    // An unbound element touches nothing.
    w.legends[5]->setChecked(true);
    QVERIFY(!w.chart->Series(0).Active());
  }

  void colourPanelPicksTheSeriesColour() {
    zq::FakePlatform fake;
    Window w;
    w.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.form));
    w.tools.AddSeries("h2o", "spectra", nullptr, w.legends[0]);
    TzqColorPanel* panel = w.legends[0]->FSeries_Color_UIPanel();
    fake.colorAnswers.push_back(std::nullopt); // cancelled
    QTest::mouseClick(panel, Qt::LeftButton);
    QCOMPARE(fake.colorRequests, std::vector<uint32_t>{0xFF0000u});
    QCOMPARE(panel->Color(), 0xFF0000u);
    QCOMPARE(w.chart->Series(0).SeriesColor(), 0xFF0000u);
    fake.colorAnswers.push_back(0x00FF00u);
    QTest::mouseClick(panel, Qt::LeftButton);
    QCOMPARE(panel->Color(), 0x00FF00u);
    QCOMPARE(w.chart->Series(0).SeriesColor(), 0x00FF00u);
    // Nothing goes back to the INI store.
    QCOMPARE(w.ini.FindRecord("h2o", "color")->Value, std::string("$FF0000"));
    // A window-system colour opens the dialog on the colour it is shown with.
    panel->SetColor(clBtnFace);
    fake.colorAnswers.push_back(std::nullopt);
    QTest::mouseClick(panel, Qt::LeftButton);
    QCOMPARE(fake.colorRequests.back(), zqQColorToColor(QGuiApplication::palette().color(QPalette::Button)));
  }

  void panelSitsBesideItsElement() {
    QWidget parent;
    parent.resize(300, 200);
    auto* legend = new TzqLegendElement(&parent);
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));
    legend->setGeometry(10, 40, 80, 20);
    TzqColorPanel* panel = legend->FSeries_Color_UIPanel();
    QCOMPARE(panel->parentWidget(), &parent);
    QCOMPARE(panel->geometry(), QRect(93, 40, 17, 17));
    legend->move(20, 50);
    QCOMPARE(panel->pos(), QPoint(103, 50));
    legend->resize(100, 20);
    QCOMPARE(panel->pos(), QPoint(123, 50));
    QWidget other;
    legend->setParent(&other);
    QCOMPARE(panel->parentWidget(), &other);
    legend->hide();
    QVERIFY(!panel->isVisibleTo(&other));
    delete legend;
    QCOMPARE(other.findChildren<TzqColorPanel*>().size(), 0);
  }

  void graphTitlesFromIni() {
    zq::FakePlatform fake;
    Window w({"[graph1]", "Title=Spectra", "xlabel=Wavenumber (cm-1)", "ylabel=Absorbance", "[two]",
              "Title=First", "Title2=Second line", "[blank]", "Title2="});
    w.tools.ReadGraphTitles("graph1");
    QCOMPARE(w.chart->Title().Lines(), QStringList{"Spectra"});
    QCOMPARE(w.chart->BottomAxis().Title().Caption(), QString("Wavenumber (cm-1)"));
    QCOMPARE(w.chart->LeftAxis().Title().Caption(), QString("Absorbance"));
    w.tools.ReadGraphTitles("two");
    QCOMPARE(w.chart->Title().Lines(), (QStringList{"First", "Second line"}));
    w.tools.ReadGraphTitles("blank");
    QCOMPARE(w.chart->Title().Lines(), QStringList{"Chart title"});
    QCOMPARE(w.chart->LeftAxis().Title().Caption(), QString("Chart ylabel"));
    QCOMPARE(w.ini.FindRecord("blank", "xlabel")->Value, std::string("Chart xlabel"));
    // The right and top grids are off once the chart is bound.
    QVERIFY(!w.chart->RightAxis().GridVisible());
    QVERIFY(!w.chart->TopAxis().GridVisible());
  }

  void rightAxisRangeOnlyWhenMinBelowMax() {
    zq::FakePlatform fake;
    Window w({"[Right Axis]", "min=0", "max=10", "label=Blackbody", "[Venus]", "min=20", "max=100", "[equal]",
              "min=5", "max=5", "label=Equal", "[bad]", "min=abc", "max=-3", "[huge]", "min=0", "max=1e400"});
    w.tools.ReadRightAxis("Right Axis");
    TChartAxis& axis = w.chart->RightAxis();
    QCOMPARE(axis.Title().Caption(), QString("Blackbody"));
    QVERIFY(!axis.Automatic());
    QCOMPARE(axis.Minimum(), 0.0);
    QCOMPARE(axis.Maximum(), 10.0);
    // A range entirely above the old one is taken whole.
    w.tools.ReadRightAxis("Venus");
    QCOMPARE(axis.Minimum(), 20.0);
    QCOMPARE(axis.Maximum(), 100.0);
    QCOMPARE(axis.Title().Caption(), QString("Right Axis label"));
    w.tools.ReadRightAxis("equal");
    QCOMPARE(axis.Title().Caption(), QString("Equal"));
    QCOMPARE(axis.Minimum(), 20.0);
    QCOMPARE(axis.Maximum(), 100.0);
    w.tools.ReadRightAxis("bad");
    QCOMPARE(axis.Minimum(), 20.0);
    QCOMPARE(axis.Maximum(), 100.0);
    // A number beyond the 64-bit range is no axis limit; the range stays and nothing is thrown.
    w.tools.ReadRightAxis("huge");
    QCOMPARE(axis.Minimum(), 20.0);
    QCOMPARE(axis.Maximum(), 100.0);
  }

  void refreshAppliesDialogSettings() {
    zq::FakePlatform fake;
    Window w;
    RecordingDatafile water, co2;
    ScriptedDialog* dialog = nullptr;
    w.tools.CreatePropertiesDialog = [&](TzqChart_Tools&) {
      auto d = std::make_unique<ScriptedDialog>();
      dialog = d.get();
      return d;
    };
    w.tools.AddSeries("h2o", "spectra", &water, w.legends[0]);
    w.tools.AddSeries("co2", "spectra", &co2, w.legends[1]);
    // Without a dialog: no scaling.
    water.YScale = 7;
    w.tools.RefreshSeries(0, "wavenumber");
    QCOMPARE(water.fills.back().yScale, 1.0);
    QCOMPARE(water.fills.back().xType, std::string("wavenumber"));

    w.tools.ShowProperties();
    QVERIFY(dialog);
    QCOMPARE(dialog->bound, w.chart);
    QCOMPARE(dialog->shows, 1);
    dialog->settings.resize(2);
    SeriesSettings& s = dialog->settings[1];
    s.ScaleCur = 2.5;
    s.OffsetCur = -3;
    s.HorizCur = 40;
    s.Derivative = true;
    w.tools.RefreshSeries(1, "wavenumber");
    // The derivative applies even while scaling is off.
    QCOMPARE(co2.fills.back().yScale, 1.0);
    QCOMPARE(co2.fills.back().xOffset, 0.0);
    QVERIFY(co2.fills.back().derivative);
    s.EnableScaling = true;
    s.Derivative = false;
    // The dialog's change callback replots its selected series with the tools' RefreshXType.
    dialog->selected = 1;
    w.tools.RefreshXType = "wavelength";
    dialog->onSeriesChange();
    const auto& fill = co2.fills.back();
    QCOMPARE(fill.yScale, 2.5);
    QCOMPARE(fill.yOffset, -3.0);
    QCOMPARE(fill.xOffset, 40.0);
    QVERIFY(!fill.derivative);
    QCOMPARE(fill.xType, std::string("wavelength"));
    const auto fills = co2.fills.size() + water.fills.size();
    dialog->selected = -1;
    dialog->onSeriesChange();
    w.tools.RefreshSeries(2, "wavenumber");
    QCOMPARE(co2.fills.size() + water.fills.size(), fills);
  }

  // Only a data file that takes the settings is replotted for them; the dialog learns why the others
  // do not, so it can say so instead of offering controls that change nothing.
  void settingsReachOnlyDatafilesThatTakeThem() {
    zq::FakePlatform fake;
    Window w;
    RecordingDatafile generic;
    OtherDatafile computed;
    ScriptedDialog* dialog = nullptr;
    w.tools.CreatePropertiesDialog = [&](TzqChart_Tools&) {
      auto d = std::make_unique<ScriptedDialog>();
      dialog = d.get();
      return d;
    };
    w.tools.AddSeries("h2o", "spectra", &generic, w.legends[0]);
    w.tools.AddSeries("co2", "spectra", &computed, w.legends[1]);
    w.tools.AddSeries("Combined", "spectra", nullptr, w.legends[2]);
    w.chart->Series(1).AddXY(5, 6); // a computed curve's points
    w.tools.ShowProperties();
    QVERIFY(dialog && dialog->WhyNoAdjustments);
    QVERIFY(dialog->WhyNoAdjustments(0).empty());
    QVERIFY(!dialog->WhyNoAdjustments(1).empty());
    QVERIFY(!dialog->WhyNoAdjustments(2).empty());
    QVERIFY(!dialog->WhyNoAdjustments(7).empty());
    dialog->settings.resize(3, SeriesSettings{.ScaleCur = 2, .EnableScaling = true});
    dialog->selected = 1;
    dialog->onSeriesChange();
    QCOMPARE(w.chart->Series(1).YValues(), std::vector<double>{6});
    dialog->selected = 0;
    const auto fills = generic.fills.size();
    dialog->onSeriesChange();
    QCOMPARE(generic.fills.size(), fills + 1);
    QCOMPARE(generic.fills.back().yScale, 2.0);
  }

  void propertiesOpenOnThePageThatFits() {
    zq::FakePlatform fake;
    Window w;
    ScriptedDialog* dialog = nullptr;
    w.tools.CreatePropertiesDialog = [&](TzqChart_Tools&) {
      auto d = std::make_unique<ScriptedDialog>();
      dialog = d.get();
      return d;
    };
    // Without series the dialog is made but not shown.
    w.tools.ShowProperties();
    QVERIFY(dialog);
    QCOMPARE(dialog->shows, 0);
    w.tools.AddSeries("h2o", "spectra", nullptr, w.legends[0]);
    w.tools.AddSeries("co2", "spectra", nullptr, w.legends[1]);
    dialog->entries = 2;
    w.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.form));
    w.chart->replot();
    const TChartAxis& bottom = w.chart->BottomAxis();
    const TChartAxis& left = w.chart->LeftAxis();
    QVERIFY(bottom.IStartPos() < bottom.IEndPos());
    QVERIFY(left.IStartPos() < left.IEndPos());
    const int midX = (bottom.IStartPos() + bottom.IEndPos()) / 2;
    const int midY = (left.IStartPos() + left.IEndPos()) / 2;

    w.tools.ShowPropertiesAt(midX, midY);
    QCOMPARE(dialog->pages.back(), ChartPropertiesView::Page::General);
    struct Case {
      int x, y, axis;
    } cases[] = {{bottom.IStartPos() - 5, midY, 0},
                 {bottom.IEndPos() + 5, midY, 1},
                 {midX, left.IStartPos() - 5, 2},
                 {midX, left.IEndPos() + 5, 3},
                 {bottom.IStartPos() - 5, left.IEndPos() + 5, 3}};
    for (const Case& c : cases) {
      dialog->axis = -1;
      w.tools.ShowPropertiesAt(c.x, c.y);
      QCOMPARE(dialog->pages.back(), ChartPropertiesView::Page::Axes);
      QCOMPARE(dialog->axis, c.axis);
    }
    // A right click on a legend element opens its series; one dialog serves every request.
    emit w.legends[1]->customContextMenuRequested(QPoint(2, 2));
    QCOMPARE(dialog->pages.back(), ChartPropertiesView::Page::Series);
    QCOMPARE(dialog->clicked, std::vector<int>{1});
    w.tools.ShowSeriesProperties(5);
    QCOMPARE(dialog->clicked, std::vector<int>{1});
    QCOMPARE(w.tools.PropertiesDialog(), dialog);
  }

  void integerTextForms() {
    QCOMPARE(zqTextToInteger("$0000FF"), std::optional<int32_t>(255));
    QCOMPARE(zqTextToInteger("  -12"), std::optional<int32_t>(-12));
    QCOMPARE(zqTextToInteger("$FFFFFFFF"), std::optional<int32_t>(-1));
    QCOMPARE(zqTextToInteger("0x10"), std::optional<int32_t>(16));
    QCOMPARE(zqTextToInteger("-2147483648"), std::optional<int32_t>(INT32_MIN));
    QCOMPARE(zqTextToInteger("2147483648"), std::nullopt);
    QCOMPARE(zqTextToInteger("$100000000"), std::nullopt);
    for (const char* bad : {"", "$", "-", "12 ", "1.5", "$0G", "abc"})
      QVERIFY2(!zqTextToInteger(bad), bad);
  }

  void textDecoding() {
    QCOMPARE(zqTextToQString("plain"), QString("plain"));
    QCOMPARE(zqTextToQString("\xC2\xB0"
                             "C"),
             QString::fromUtf8("\xC2\xB0"
                               "C"));
    QCOMPARE(zqTextToQString("\xB0"
                             "C"),
             QString::fromUtf8("\xC2\xB0"
                               "C"));
    QCOMPARE(zqTextToQString("\x93q\x94\x81"), QString::fromUtf8("\xE2\x80\x9Cq\xE2\x80\x9D\xC2\x81"));
    QCOMPARE(zqTextToQString(std::string_view("a\0b", 3)).size(), 3);
  }
};

QTEST_MAIN(ChartToolsTest)
#include "test_chart_tools.moc"
