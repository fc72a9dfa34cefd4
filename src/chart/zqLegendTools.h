// What a legend element asks of whoever bound it to a chart series: a colour pick, a show/hide, the
// properties dialog. The window's chart tools implement it; the chart library knows only this interface.
#pragma once

#include <QObject>

class TzqColorPanel;
class TzqLegendElement;

class TzqLegendTools : public QObject {
  Q_OBJECT
public:
  using QObject::QObject;
  // Colour dialog for the panel; on OK the panel and the series of its Tag take the colour.
  virtual void PickSeriesColor(TzqColorPanel* panel) = 0;
  // Shows or hides the series of the element's Tag as the element is checked.
  virtual void ApplyLegendCheck(TzqLegendElement* element) = 0;
  // The properties dialog on the series page of index.
  virtual void ShowSeriesProperties(int index) = 0;
};
