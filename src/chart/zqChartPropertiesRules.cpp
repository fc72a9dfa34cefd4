// Arithmetic of the chart properties dialog (see the header).
#include "zqChartPropertiesRules.h"

#include "zqINI_File.h"
#include "zqNumberText.h"
#include "zqText.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace zqchartprops {

Box PlaceBeside(const Box& owner, int width, int height, const Box& screen) {
  Box b{owner.x + owner.width, owner.y, width, height};
  if (screen.width <= 0 || screen.height <= 0) return b;
  const int right = screen.x + screen.width;
  if (b.x + width > right) b.x = owner.x - width >= screen.x ? owner.x - width : right - width;
  b.x = std::max(b.x, screen.x);
  b.y = std::clamp(b.y, screen.y, std::max(screen.y, screen.y + screen.height - height));
  return b;
}

int ChartSideWithin(int requested, int chartSide, int windowSide, int screenRoom) {
  // The window changes by what the chart changes.
  const long long fits = static_cast<long long>(chartSide) + screenRoom - windowSide;
  const long long limit = std::max<long long>(1, fits);
  return static_cast<int>(std::clamp<long long>(requested, 1, limit));
}

bool KeyAccepted(KeyFilter filter, char32_t key) {
  if (filter == KeyFilter::None) return true;
  if (key == 8) return true; // backspace
  if (key >= '0' && key <= '9') return true;
  const bool negative = filter == KeyFilter::Integer || filter == KeyFilter::Real;
  const bool point = filter == KeyFilter::Real || filter == KeyFilter::PositiveReal;
  return (negative && key == '-') || (point && key == '.');
}

namespace {
int saturate(double v) {
  if (std::isnan(v)) return 0;
  constexpr double lo = std::numeric_limits<int>::min();
  constexpr double hi = std::numeric_limits<int>::max();
  return static_cast<int>(std::clamp(v, lo, hi));
}
} // namespace

int ToPosition(double value, int decimals) {
  switch (decimals) {
  case 0:
    return saturate(std::trunc(value));
  case 1:
    return zq::RoundHalfEvenToInt32(value * 10);
  case 2:
    return zq::RoundHalfEvenToInt32(value * 100);
  default:
    return 0;
  }
}

double FromPosition(int position, int decimals) {
  switch (decimals) {
  case 0:
    return position;
  case 1:
    return position / 10.0;
  case 2:
    return position / 100.0;
  default:
    return position;
  }
}

std::string SliderText(double value, int decimals) {
  switch (decimals) {
  case 0:
    value = std::trunc(value);
    break;
  case 1:
    value = zq::RoundHalfEven(value * 10) / 10;
    break;
  case 2:
    value = zq::RoundHalfEven(value * 100) / 100;
    break;
  default:
    break;
  }
  return ShortestText(value);
}

std::string ShortestText(double value) {
  // -0 from truncating a small negative value reads better as 0.
  return zqFloatToText(value == 0 ? 0.0L : static_cast<long double>(value));
}

std::optional<double> ReadReal(std::string_view text) {
  long double v = 0;
  if (text.empty() || !zqTextToReal(text, v)) return std::nullopt;
  const double d = static_cast<double>(v);
  if (!std::isfinite(d)) return std::nullopt;
  return d;
}

double ReadNumber(std::string_view text, double def) {
  return ReadReal(text).value_or(def);
}

int ReadWholeNumber(std::string_view text, int def) {
  if (text.empty()) return def;
  return zqTextToInteger(text).value_or(def);
}

int JpegQuality(std::string_view text) {
  return std::clamp(ReadWholeNumber(text, 100), 50, 100);
}

bool IsPartialNumber(std::string_view text) {
  return text.empty() || text == "-" || text == "." || text == "0.";
}

double MultiplierFactor(int oldDecimals, int newDecimals) {
  switch (oldDecimals - newDecimals) {
  case 2:
    return 100;
  case 1:
    return 10;
  case -1:
    return 0.1;
  case -2:
    return 0.01;
  default:
    return 1;
  }
}

AxisRange LogarithmicRange(double min, double max, std::optional<AxisRange> positiveData) {
  if (positiveData && !(positiveData->min > 0)) positiveData.reset();
  if (!(min > 0)) min = positiveData ? positiveData->min : 1;
  if (!(max > min)) max = positiveData && positiveData->max > min ? positiveData->max : min * 10;
  return {min, max};
}

} // namespace zqchartprops
