// Adding computed points to a chart series: a value that overflowed to infinity or is not a number
// never reaches the chart.
#pragma once

#include "zqLineSeries.h"

#include <cmath>
#include <string>

namespace zqmodel {

// Appends (x, y) in the series colour; false (nothing added) when either is not finite.
inline bool AddFinitePoint(TLineSeries& series, double x, double y) {
  static const std::string no_label;
  if (!std::isfinite(x) || !std::isfinite(y)) return false;
  series.AddXY(x, y, no_label, kSeriesOwnColor);
  return true;
}

} // namespace zqmodel
