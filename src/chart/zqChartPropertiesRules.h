// Qt-free arithmetic of the chart properties dialog: slider positions and their values, the text the
// slider edits show, the edits' key filters, number reading with defaults, the scale multiplier, the
// range a logarithmic axis needs, and the JPEG quality read from its edit.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zqchartprops {

// The chart side (pixels) to apply for requested: at least 1, and no larger than keeps the chart's window
// within the screen, given the chart's and the window's current side and the room the screen offers
// for the window (a window already beyond the screen is brought back by a smaller chart).
// A rectangle in screen pixels.
struct Box {
  int x = 0, y = 0, width = 0, height = 0;
};
// Where a window of the given size opens beside owner: right of it when it fits on the screen, else left
// of it, else against the screen's right edge; top aligned with owner and kept within the screen. An
// empty screen rectangle (unknown) places it right of owner.
Box PlaceBeside(const Box& owner, int width, int height, const Box& screen);

int ChartSideWithin(int requested, int chartSide, int windowSide, int screenRoom);

// Which typed characters an edit accepts (backspace is always accepted by the filtering kinds).
enum class KeyFilter {
  None,            // everything
  Integer,         // digits, "-"
  PositiveInteger, // digits
  Real,            // digits, "-", "."
  PositiveReal,    // digits, "."
};
bool KeyAccepted(KeyFilter filter, char32_t key);

// Slider position of a value: decimals 0 truncates towards zero, 1 and 2 scale by 10 or 100 and round
// halves to even, any other gives 0. Positions beyond the 32-bit range saturate.
int ToPosition(double value, int decimals);
// Value of a slider position: position / 10^decimals for 0, 1 or 2 decimals, the position itself otherwise.
double FromPosition(int position, int decimals);
// What a slider edit shows of value: truncated (0 decimals), rounded to tenths (1) or hundredths (2),
// as the shortest decimal text.
std::string SliderText(double value, int decimals);
// The shortest decimal text of a value (15 significant digits, the locale's decimal separator).
std::string ShortestText(double value);

// An edit's text as a real with the locale conversion; empty when it does not convert (an empty text
// does not convert either).
std::optional<double> ReadReal(std::string_view text);
// Empty text or one that does not convert gives def.
double ReadNumber(std::string_view text, double def);
// Whole number in decimal or "$" hexadecimal; empty or unconvertible text gives def.
int ReadWholeNumber(std::string_view text, int def);
// JPEG quality from its edit: empty or unreadable means 100; limited to 50..100.
int JpegQuality(std::string_view text);

// A slider edit that holds the start of a number ("-", ".", "0.") is left alone while it is typed.
bool IsPartialNumber(std::string_view text);

// Factor applied to the scale range when the multiplier changes from oldDecimals to newDecimals
// (the slider positions keep their range): 100, 10, 1, 0.1 or 0.01.
double MultiplierFactor(int oldDecimals, int newDecimals);

// The range an axis takes before it becomes logarithmic: a minimum not above 0 becomes the smallest
// positive value of the data on the axis (1 without such data), a maximum not above the minimum the
// data's largest value (minimum x 10 when that is not above it either).
struct AxisRange {
  double min;
  double max;
};
AxisRange LogarithmicRange(double min, double max, std::optional<AxisRange> positiveData = std::nullopt);

} // namespace zqchartprops
