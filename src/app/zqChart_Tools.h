// TzqChart_Tools ties the main window's chart to the INI store and the data files: it reads the chart
// titles and the right axis range, creates one line series per configured section with its caption and
// colour, binds it to a legend element and a data file, replots a series with the properties dialog's
// settings, and opens that dialog on the page that fits a right click. Record index = chart series index.
#pragma once

#include "zqLegendTools.h"
#include "zqSeriesSettings.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

class QWidget;
class TChart;
class TLineSeries;
class TzqColorPanel;
class TzqDatafile;
class TzqINI_File;
class TzqLegendElement;

class TzqChart_Tools : public TzqLegendTools {
  Q_OBJECT
public:
  // One per chart series, in series order.
  struct TSeriesRecord {
    std::string Section;
    std::string SeriesType; // the section's "SeriesType", passed to the data file
    QPointer<TzqLegendElement> Legend;
    TzqDatafile* Datafile = nullptr; // not owned
  };

  explicit TzqChart_Tools(QObject* parent = nullptr);
  ~TzqChart_Tools() override;

  TChart* Chart() const;
  // Hides the grids of the right and top axes. The tools forget a chart that is destroyed.
  void SetChart(TChart* chart);
  TzqINI_File* zqINI_File() const { return ini_; }
  // Not owned; the owner clears it (SetzqINI_File(nullptr)) before destroying the store.
  void SetzqINI_File(TzqINI_File* ini) { ini_ = ini; }
  // The window that holds the chart; legend elements are looked up there by object name.
  QWidget* OwnerWindow() const;

  // x-unit name handed to each data file before it replots, and the x-type used when the properties
  // dialog asks for a replot. Nothing in the program sets them; they stay empty.
  std::string ChartXUnits;
  std::string RefreshXType;

  const std::vector<TSeriesRecord>& SeriesRecords() const { return records_; }

  // Chart title ("Title", "Title2"), left ("ylabel") and bottom ("xlabel") axis titles from section.
  void ReadGraphTitles(const std::string& section);
  // Right axis title ("label") and, when min < max, its fixed range ("min", "max").
  void ReadRightAxis(const std::string& section);

  // Creates the next chart series for section (empty: "series <n>") with its colour, caption and
  // visibility, binds it to the legend element (looked up as "Series_<n>_UILegend" when none is passed)
  // and to the data file, and returns its index; -1 when no chart or INI store is bound.
  int AddSeries(std::string section, const std::string& kind, TzqDatafile* datafile = nullptr,
                TzqLegendElement* legend = nullptr);
  void BindSeries(int index, const std::string& section, TzqDatafile* datafile, TzqLegendElement* legend,
                  const std::string& kind);
  // Replots series index through its data file with the dialog's scale, offset, shift and derivative.
  void RefreshSeries(int index, const std::string& xType);
  TzqDatafile* GetSeriesDatafile(int index) const;

  // The data file of a series section, checked for the class its series needs. When datafile is none,
  // or not a T, a message names the section and the result is none, so the series is bound without a
  // data file and stays empty. expected describes T for the message ("a HITRAN line list").
  template <class T>
  static T* CheckSeriesDatafile(const std::string& section, TzqDatafile* datafile,
                                const std::string& expected) {
    if (!datafile) {
      ReportSeriesDatafileProblem(section, "is not among the loaded data files");
      return nullptr;
    }
    auto* typed = dynamic_cast<T*>(datafile);
    if (!typed) ReportSeriesDatafileProblem(section, "is not " + expected);
    return typed;
  }
  static void ReportSeriesDatafileProblem(const std::string& section, const std::string& problem);

  // Shows or hides the series of the element's Tag as the element is checked.
  void ApplyLegendCheck(TzqLegendElement* element) override;
  // Colour dialog for the panel; on OK the panel and the series of its Tag take the colour.
  void PickSeriesColor(TzqColorPanel* panel) override;

  // The properties dialog, created on first use through CreatePropertiesDialog and then kept.
  void ShowProperties();
  // The dialog made (on first use) and bound to the chart without showing it, for a caller that uses
  // one of its operations, such as saving the chart image; nullptr when it cannot be made.
  ChartPropertiesView* PreparePropertiesDialog();
  void ShowSeriesProperties(int index) override;
  // X, Y in chart pixels: the General page inside the axes' extent, else the Axes page on the axis
  // beside or below which the point lies (0 Left, 1 Right, 2 Top, 3 Bottom).
  void ShowPropertiesAt(int X, int Y);
  // The dialog's series-change callback: replots the series selected in its list when its data file
  // takes the dialog's settings; any other series is left as it is (a replot could only lose its curve).
  void PropertiesChanged();
  // Why the dialog's scale, offset, shift and derivative do nothing for series index; empty when they act.
  std::string WhyNoAdjustments(int index) const;

  // Makes the properties dialog; without it ShowProperties does nothing. The tools own what it returns
  // and free it with themselves, so any Qt parent it gets must be destroyed after the tools (the main
  // window that holds the tools is such a parent).
  std::function<std::unique_ptr<ChartPropertiesView>(TzqChart_Tools& sender)> CreatePropertiesDialog;
  ChartPropertiesView* PropertiesDialog() const { return dialog_.get(); }

private:
  TLineSeries* series_at(int index) const;
  TzqLegendElement* find_legend(int index) const;

  QPointer<TChart> chart_;
  TzqINI_File* ini_ = nullptr;
  std::vector<TSeriesRecord> records_;
  std::unique_ptr<ChartPropertiesView> dialog_;
};
