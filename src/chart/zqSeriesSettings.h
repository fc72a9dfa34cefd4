// Per-series display settings of the chart properties dialog, and the part of that dialog the chart
// tools drive (binding, showing a page, the series list, the change callback). The dialog implements
// ChartPropertiesView; the chart tools create it through their CreatePropertiesDialog hook, so the tools
// build and test without the dialog's widgets.
#pragma once

#include <functional>
#include <string>

class TChart;

// What the scale, offset and shift sliders and the derivative box of one series hold.
struct SeriesSettings {
  double OffsetMax = 1000;
  double OffsetMin = -1000;
  double OffsetCur = 0; // added to y after scaling
  int OffsetDecimals = 0;
  double ScaleMax = 10;
  double ScaleMin = 0.01;
  double ScaleCur = 1; // multiplies y
  int ScaleDecimals = 2;
  double HorizMax = 1000;
  double HorizMin = -1000;
  double HorizCur = 0; // added to x
  int HorizDecimals = 0;
  bool EnableScaling = false; // offset, scale and shift apply only when set
  bool ShowMarkers = false;
  bool ShowValues = false;
  bool Derivative = false;
};

class ChartPropertiesView {
public:
  // Pages of PageControl1.
  enum class Page { Series, General, Axes };

  virtual ~ChartPropertiesView() = default;

  virtual void BindChart(TChart* chart) = 0;
  virtual void SetOnSeriesChange(std::function<void()> callback) = 0;
  // None when index is outside the settings list.
  virtual SeriesSettings* GetSeriesSettings(int index) = 0;

  // Shows the dialog without making it modal.
  virtual void ShowDialog() = 0;
  virtual void SetActivePage(Page page) = 0;
  // RadioGroup_Axis: 0 Left, 1 Right, 2 Top, 3 Bottom.
  virtual void SetAxisIndex(int axis) = 0;
  // Series_UIListBox: number of entries, the selected entry (-1 for none), and selecting an entry
  // followed by its click handler, as a user's click would.
  virtual int SeriesEntryCount() const = 0;
  virtual int SelectedSeriesEntry() const = 0;
  virtual void ClickSeriesEntry(int index) = 0;

  // Why the scale, offset, shift and derivative settings of series index would change nothing (shown
  // beside the disabled controls); empty when they apply. Unset: they apply to every series.
  std::function<std::string(int index)> WhyNoAdjustments;
};
