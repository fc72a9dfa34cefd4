// One entry of the main window's own chart legend: a check box that shows or hides its series, with a
// 17 x 17 colour swatch just right of it that picks the series colour. A right click asks the chart
// tools for the properties dialog on that series. Unbound (SeriesIndex -1, no Tools) until the chart
// tools add its series.
#pragma once

#include "zqColorPanel.h"
#include "zqLegendTools.h"

#include <QCheckBox>
#include <QPointer>

class TzqLegendElement : public QCheckBox {
  Q_OBJECT
public:
  static constexpr int PanelSize = 17; // pixels
  static constexpr int PanelGap = 3;   // pixels between the check box and its swatch

  explicit TzqLegendElement(QWidget* parent = nullptr);
  ~TzqLegendElement() override;

  // Shown in the element's parent, owned by the element.
  TzqColorPanel* FSeries_Color_UIPanel() const { return panel_; }

  // The chart tools that bound the element; none until they add its series.
  QPointer<TzqLegendTools> Tools;
  // Chart series index as the click handlers read it; SetSeriesIndex keeps it equal to SeriesIndex.
  int Tag = -1;

  int SeriesIndex() const { return series_index_; }
  // Writes the index into SeriesIndex, Tag and the panel's Tag.
  void SetSeriesIndex(int index);

  // Puts the swatch into the element's current parent, right of the element and level with its top.
  void AdjustSize();

  void Series_Color_UIPanelClick(TzqColorPanel& sender);
  void Series_UICheckBoxClick();
  void ShowProperties_OnRightClick();

  void setVisible(bool visible) override;

protected:
  bool event(QEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

private:
  QPointer<TzqColorPanel> panel_;
  int series_index_ = -1;
};
