// Qt-free rules of the numeric edit fields: the number text they accept and show, the filter that
// decides which typed characters may reach the text, wheel and spin step sizes, half-to-even rounding
// and the spin column's geometry. The widgets in controls/ only move text and events through these.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zq {

// Reads a number: optional leading blanks, optional sign, digits with an optional "." and an optional
// exponent ("E"/"e", optional sign, at least one digit), nothing after. Digits may be missing on either
// side of the point ("5.", ".5"; "." and "E5" read as 0). The period is the only decimal separator.
// Empty when the text does not follow that grammar or names a number too large for a double; a number
// too small for a double reads as 0.
std::optional<double> ParseNumberText(std::string_view text);

// General format with `precision` significant digits (clamped to 1..17): fixed notation when the
// rounded value has at most `precision` digits before the point and a magnitude of at least 0.00001,
// else mantissa, "E", an optional "-" and the exponent without leading zeros (1.2345679E8, 1E-6).
// Trailing zeros and an unneeded point are dropped; halves round away from zero; zero is "0".
// Infinities and NaN are written "INF", "-INF" and "NAN" (which ParseNumberText refuses).
std::string FormatGeneral(double value, int precision);

// What a typed character becomes: refused, or accepted (possibly changed, "d" becomes "E").
struct KeyFilterResult {
  bool accepted = false;
  char32_t key = 0;
};

// The key filter of a number field. `text` holds one character per caret position (the widget maps
// each UTF-16 unit to one byte); `selStart` is the 0-based caret or selection start and `selLen` the
// selection length. Digits, signs, "E"/"e", "." and control characters other than carriage return
// may be typed, subject to the placement rules of signs, points and the exponent letter.
KeyFilterResult FilterNumberKey(std::string_view text, int selStart, int selLen, char32_t key);

// Modifier keys held during a step.
struct StepModifiers {
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
};

// Size of one step: 1, Ctrl 100, Shift 10, Shift+Ctrl 1000; with Alt 0.1, 0.001, 0.01, 0.0001.
double StepSize(StepModifiers modifiers);

// Whole wheel notches in a wheel delta (120 per notch), truncated towards zero. Some platforms turn a
// wheel turned with Alt held into a horizontal one, so with Alt the horizontal delta stands in for a
// missing vertical one.
int WheelSteps(int verticalDelta, int horizontalDelta = 0, bool alt = false);

// Nearest integer, halves to even (2.5 -> 2, 3.5 -> 4, -2.5 -> -2). NaN and infinities pass through.
double RoundHalfEven(double value);
// RoundHalfEven as a 32-bit integer; values beyond the int32 range saturate, NaN gives 0.
int32_t RoundHalfEvenToInt32(double value);

// Vertical layout of the spin column of height h: up button, slider strip, down button.
struct SpinColumnLayout {
  int buttonHeight = 0; // both buttons
  int sliderTop = 0;
  int sliderHeight = 0;
  int downTop = 0;
};
SpinColumnLayout LayOutSpinColumn(int height);

} // namespace zq
