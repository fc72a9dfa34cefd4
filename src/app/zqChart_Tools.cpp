// Chart set-up from the INI store, series records, legend binding and the properties dialog link.
#include "zqChart_Tools.h"

#include "zqChart.h"
#include "zqColor.h"
#include "zqDatafile.h"
#include "zqINI_File.h"
#include "zqLegendElement.h"
#include "zqPlatform.h"
#include "zqText.h"

#include <QWidget>

#include <cmath>

TzqChart_Tools::TzqChart_Tools(QObject* parent) : TzqLegendTools(parent) {}

TzqChart_Tools::~TzqChart_Tools() = default;

TChart* TzqChart_Tools::Chart() const {
  return chart_.data();
}

void TzqChart_Tools::SetChart(TChart* chart) {
  chart_ = chart; // QPointer: a destroyed chart reads as none
  if (!chart) return;
  chart->RightAxis().SetGridVisible(false);
  chart->TopAxis().SetGridVisible(false);
}

QWidget* TzqChart_Tools::OwnerWindow() const {
  return chart_ ? chart_->window() : nullptr;
}

void TzqChart_Tools::ReadGraphTitles(const std::string& section) {
  if (!chart_ || !ini_) return;
  chart_->Title().SetLines({zqTextToQString(ini_->ReadString(section, "Title", "Chart title"))});
  chart_->LeftAxis().Title().SetCaption(zqTextToQString(ini_->ReadString(section, "ylabel", "Chart ylabel")));
  chart_->BottomAxis().Title().SetCaption(
      zqTextToQString(ini_->ReadString(section, "xlabel", "Chart xlabel")));
  std::string title2 = ini_->ReadString(section, "Title2", "");
  if (!title2.empty()) chart_->Title().Add(zqTextToQString(title2));
}

void TzqChart_Tools::ReadRightAxis(const std::string& section) {
  if (!chart_ || !ini_) return;
  TChartAxis& axis = chart_->RightAxis();
  axis.Title().SetCaption(zqTextToQString(ini_->ReadString(section, "label", "Right Axis label")));
  auto min = static_cast<double>(ini_->ReadReal(section, "min"));
  auto max = static_cast<double>(ini_->ReadReal(section, "max"));
  // Both ends at once: setting the minimum first could pass the old maximum. A value beyond the 64-bit
  // range (such as 1e400) is no limit either; the range stays as it was.
  if (std::isfinite(min) && std::isfinite(max) && min < max) axis.SetMinMax(min, max);
}

int TzqChart_Tools::AddSeries(std::string section, const std::string& kind, TzqDatafile* datafile,
                              TzqLegendElement* legend) {
  if (!chart_ || !ini_) return -1;
  TLineSeries& series = chart_->AddSeries();
  series.SetXOrderNone();
  series.SetActive(false);
  const int n = chart_->SeriesCount() - 1;
  const std::string number = std::to_string(n);
  if (section.empty()) section = "series " + number;

  std::string color = ini_->ReadString(section, "color");
  if (!color.empty() && color != "$") {
    if (auto value = zqTextToInteger(color)) series.SetSeriesColor(static_cast<uint32_t>(*value));
  }

  if (!legend) legend = find_legend(n);
  if (legend) {
    legend->FSeries_Color_UIPanel()->SetColor(series.SeriesColor());
    legend->Tools = this;
    legend->SetSeriesIndex(n);
    std::string display = ini_->ReadString(section, "Display", "yes");
    legend->setChecked(zqUpperCase(display) == "YES");
    ApplyLegendCheck(legend);
  }

  ini_->ReadString(section, "Caption", "Series " + number); // stores the default caption
  records_.emplace_back();
  BindSeries(n, section, datafile, legend, kind);
  return n;
}

void TzqChart_Tools::BindSeries(int index, const std::string& section, TzqDatafile* datafile,
                                TzqLegendElement* legend, const std::string& kind) {
  if (index < 0 || index >= static_cast<int>(records_.size()) || !ini_) return;
  std::string caption = ini_->ReadString(section, "Caption");
  std::string seriesType = ini_->ReadString(section, "SeriesType");
  records_[index] = TSeriesRecord{section, seriesType, legend, datafile};
  if (legend) {
    legend->SetSeriesIndex(index);
    legend->setText(zqTextToQString(caption));
  }
  TLineSeries* series = series_at(index);
  if (!series) return;
  series->SetTitle(caption);
  if (datafile) datafile->PlotSeries(*series, seriesType, kind);
}

void TzqChart_Tools::RefreshSeries(int index, const std::string& xType) {
  if (index < 0 || index >= static_cast<int>(records_.size())) return;
  const TSeriesRecord& record = records_[index];
  TLineSeries* series = series_at(index);
  if (!series || !record.Datafile) return;
  const SeriesSettings* settings = dialog_ ? dialog_->GetSeriesSettings(index) : nullptr;
  TzqDatafile& datafile = *record.Datafile;
  if (settings && settings->EnableScaling) {
    datafile.YScale = settings->ScaleCur;
    datafile.YOffset = settings->OffsetCur;
    datafile.XOffset = settings->HorizCur;
  } else {
    datafile.YScale = 1;
    datafile.YOffset = 0;
    datafile.XOffset = 0;
  }
  datafile.PlotDerivative = settings && settings->Derivative;
  datafile.SetXUnits(ChartXUnits);
  datafile.PlotSeries(*series, record.SeriesType, xType);
}

TzqDatafile* TzqChart_Tools::GetSeriesDatafile(int index) const {
  if (index < 0 || index >= static_cast<int>(records_.size())) return nullptr;
  return records_[index].Datafile;
}

void TzqChart_Tools::ReportSeriesDatafileProblem(const std::string& section, const std::string& problem) {
  zq::platform().MessageBox("Chart series",
                            "The section [" + section + "] " + problem + ".\n\nIts curve stays empty.",
                            zq::mbOK, zq::MsgIcon::Warning);
}

void TzqChart_Tools::ApplyLegendCheck(TzqLegendElement* element) {
  if (!chart_ || !element) return;
  if (TLineSeries* series = series_at(element->Tag)) series->SetActive(element->isChecked());
}

void TzqChart_Tools::PickSeriesColor(TzqColorPanel* panel) {
  if (!panel) return;
  // The dialog starts on the colour as shown, also for a window-system colour.
  auto chosen = zq::platform().ChooseColor(zqResolveColor(panel->Color()));
  if (!chosen) return;
  panel->SetColor(*chosen);
  if (!chart_) return;
  if (TLineSeries* series = series_at(panel->Tag)) series->SetSeriesColor(*chosen);
}

ChartPropertiesView* TzqChart_Tools::PreparePropertiesDialog() {
  if (!chart_) return nullptr;
  if (!dialog_) {
    if (!CreatePropertiesDialog) return nullptr;
    dialog_ = CreatePropertiesDialog(*this);
    if (!dialog_) return nullptr;
    dialog_->SetOnSeriesChange([this] { PropertiesChanged(); });
    dialog_->WhyNoAdjustments = [this](int index) { return WhyNoAdjustments(index); };
  }
  dialog_->BindChart(chart_.data());
  return dialog_.get();
}

void TzqChart_Tools::ShowProperties() {
  if (PreparePropertiesDialog() && chart_->SeriesCount() > 0) dialog_->ShowDialog();
}

void TzqChart_Tools::ShowSeriesProperties(int index) {
  ShowProperties();
  if (!dialog_) return;
  dialog_->SetActivePage(ChartPropertiesView::Page::Series);
  if (index >= 0 && index < dialog_->SeriesEntryCount()) dialog_->ClickSeriesEntry(index);
}

void TzqChart_Tools::ShowPropertiesAt(int X, int Y) {
  ShowProperties();
  if (!dialog_ || !chart_) return;
  const TChartAxis& bottom = chart_->BottomAxis();
  const TChartAxis& left = chart_->LeftAxis();
  // A later test wins, so a point both left of and below the plot area picks the bottom axis.
  int axis = -1; // inside
  if (X < bottom.IStartPos()) axis = 0;
  if (X > bottom.IEndPos()) axis = 1;
  if (Y < left.IStartPos()) axis = 2;
  if (Y > left.IEndPos()) axis = 3;
  if (axis < 0) {
    dialog_->SetActivePage(ChartPropertiesView::Page::General);
  } else {
    dialog_->SetActivePage(ChartPropertiesView::Page::Axes);
    dialog_->SetAxisIndex(axis);
  }
}

void TzqChart_Tools::PropertiesChanged() {
  if (!dialog_) return;
  const int index = dialog_->SelectedSeriesEntry();
  // A computed curve is filled by its model, not by a replot; replotting it here would only empty it.
  if (WhyNoAdjustments(index).empty()) RefreshSeries(index, RefreshXType);
}

std::string TzqChart_Tools::WhyNoAdjustments(int index) const {
  const TzqDatafile* datafile = GetSeriesDatafile(index);
  if (!datafile)
    return "This series has no data file of its own, so scale, offset, shift and derivative "
           "would change nothing.";
  if (!datafile->AppliesPlotAdjustments())
    return "Scale, offset, shift and derivative act on generic column files only; this curve is computed "
           "by its model, so they would change nothing.";
  return {};
}

TLineSeries* TzqChart_Tools::series_at(int index) const {
  if (!chart_ || index < 0 || index >= chart_->SeriesCount()) return nullptr;
  return &chart_->Series(index);
}

TzqLegendElement* TzqChart_Tools::find_legend(int index) const {
  QWidget* owner = OwnerWindow();
  if (!owner) return nullptr;
  const QString name = QStringLiteral("Series_%1_UILegend").arg(index);
  QObject* found = owner->findChild<QObject*>(name);
  if (!found) return nullptr;
  auto* legend = qobject_cast<TzqLegendElement*>(found);
  if (!legend) {
    // Reported instead of failing the whole start-up: the series simply has no legend.
    zq::platform().MessageBox("Chart series",
                              "The control " + name.toStdString() + " is not a legend element.\n\nSeries " +
                                  std::to_string(index) + " is shown without one.",
                              zq::mbOK, zq::MsgIcon::Warning);
  }
  return legend;
}
