// Number text grammar, general format, key filter and step rules of the numeric edit fields.
#include "zqNumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace zq {

namespace {

bool is_digit(char c) {
  return c >= '0' && c <= '9';
}
bool is_sign(char c) {
  return c == '+' || c == '-';
}
bool is_exponent_letter(char c) {
  return c == 'e' || c == 'E';
}

// 1-based position of c in s, 0 when absent.
int position_of(std::string_view s, char c) {
  const auto i = s.find(c);
  return i == std::string_view::npos ? 0 : static_cast<int>(i) + 1;
}

// Decimal exponents beyond this are overflow or underflow whatever the mantissa holds.
constexpr long long kExponentCap = 1'000'000'000'000'000;

} // namespace

std::optional<double> ParseNumberText(std::string_view text) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n && text[i] == ' ')
    ++i;
  bool negative = false;
  if (i < n && is_sign(text[i])) {
    negative = text[i] == '-';
    ++i;
  }
  if (i == n) return std::nullopt; // nothing after the sign
  const std::size_t int_begin = i;
  while (i < n && is_digit(text[i]))
    ++i;
  const std::string_view int_digits = text.substr(int_begin, i - int_begin);
  std::string_view frac_digits;
  if (i < n && text[i] == '.') {
    const std::size_t frac_begin = ++i;
    while (i < n && is_digit(text[i]))
      ++i;
    frac_digits = text.substr(frac_begin, i - frac_begin);
  }
  long long exponent = 0;
  if (i < n && is_exponent_letter(text[i])) {
    ++i;
    bool exp_negative = false;
    if (i < n && is_sign(text[i])) {
      exp_negative = text[i] == '-';
      ++i;
    }
    const std::size_t exp_begin = i;
    while (i < n && is_digit(text[i])) {
      exponent = std::min(exponent * 10 + (text[i] - '0'), kExponentCap);
      ++i;
    }
    if (i == exp_begin) return std::nullopt; // an exponent needs at least one digit
    if (exp_negative) exponent = -exponent;
  }
  if (i != n) return std::nullopt;

  // Significant digits only, so that the magnitude test and the conversion see the same number.
  std::string digits;
  digits.reserve(int_digits.size() + frac_digits.size());
  digits.append(int_digits);
  digits.append(frac_digits);
  const auto first = digits.find_first_not_of('0');
  const double zero = negative ? -0.0 : 0.0;
  if (first == std::string::npos) return zero;
  const auto last = digits.find_last_not_of('0');
  // Value = 0.d1d2... x 10^(point), with point counted from the first significant digit.
  const long long point =
      static_cast<long long>(int_digits.size()) - static_cast<long long>(first) + exponent;
  if (point > std::numeric_limits<double>::max_exponent10 + 1) return std::nullopt;
  if (point < std::numeric_limits<double>::min_exponent10 - 20) return zero;
  std::string normal = "0.";
  normal.append(digits, first, last - first + 1);
  normal += 'e';
  normal += std::to_string(point);
  double value = 0;
  const auto [end, ec] = std::from_chars(normal.data(), normal.data() + normal.size(), value);
  if (end != normal.data() + normal.size()) return std::nullopt;
  if (ec == std::errc::result_out_of_range) {
    if (point > 0) return std::nullopt;
    return zero;
  }
  if (ec != std::errc() || !std::isfinite(value)) return std::nullopt;
  return negative ? -value : value;
}

namespace {

// The general-format text of a finite non-zero value. Rounding goes to nearest with halves away from
// zero, or towards zero when round_up is false.
std::string format_general(double value, int precision, bool round_up) {
  // Every significant digit of the binary value (at most 767), so that rounding sees exact halves.
  char buffer[1024];
  const int len = std::snprintf(buffer, sizeof buffer, "%.780e", std::fabs(value));
  const std::string_view exact(buffer, static_cast<std::size_t>(std::max(len, 0)));
  const auto e_pos = exact.find('e');
  std::string mantissa;
  mantissa += exact[0];
  mantissa.append(exact.substr(2, e_pos - 2));
  int exponent = std::stoi(std::string(exact.substr(e_pos + 1)));

  std::string digits = mantissa.substr(0, static_cast<std::size_t>(precision));
  if (round_up && mantissa[static_cast<std::size_t>(precision)] >= '5') {
    int k = precision - 1;
    while (k >= 0 && digits[static_cast<std::size_t>(k)] == '9')
      digits[static_cast<std::size_t>(k--)] = '0';
    if (k < 0) {
      digits.insert(digits.begin(), '1');
      digits.pop_back();
      ++exponent;
    } else {
      ++digits[static_cast<std::size_t>(k)];
    }
  }
  while (digits.size() > 1 && digits.back() == '0')
    digits.pop_back();

  std::string out = value < 0 ? "-" : "";
  if (exponent < precision && exponent >= -5) {
    if (exponent >= 0) {
      const auto int_len = static_cast<std::size_t>(exponent) + 1;
      if (digits.size() <= int_len) {
        out += digits;
        out.append(int_len - digits.size(), '0');
      } else {
        out.append(digits, 0, int_len);
        out += '.';
        out.append(digits, int_len);
      }
    } else {
      out += "0.";
      out.append(static_cast<std::size_t>(-exponent - 1), '0');
      out += digits;
    }
  } else {
    out += digits[0];
    if (digits.size() > 1) {
      out += '.';
      out.append(digits, 1);
    }
    out += 'E';
    out += std::to_string(exponent);
  }
  return out;
}

} // namespace

std::string FormatGeneral(double value, int precision) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0) return "0";
  precision = std::clamp(precision, 1, 17);
  std::string text = format_general(value, precision, true);
  // Next to the largest double, rounding up can write a number too large to read back (1.8E308 for
  // 1.79E308 at two digits); such a value is cut instead, so that every written text reads.
  if (std::fabs(value) > 1e307 && !ParseNumberText(text)) text = format_general(value, precision, false);
  return text;
}

KeyFilterResult FilterNumberKey(std::string_view text, int selStart, int selLen, char32_t key) {
  const int len = static_cast<int>(text.size());
  selStart = std::clamp(selStart, 0, len);
  selLen = std::clamp(selLen, 0, len - selStart);
  const std::string_view sel_text =
      text.substr(static_cast<std::size_t>(selStart), static_cast<std::size_t>(selLen));

  if (key == U'D' || key == U'd') key = U'E';
  const bool key_is_e = key == U'E' || key == U'e';
  const bool key_is_sign = key == U'+' || key == U'-';
  bool accepted =
      (key >= U'0' && key <= U'9') || key_is_sign || key_is_e || key == U'.' || (key < 32 && key != 13);

  // Both letters count when both are present (only possible by pasting).
  const int p = position_of(text, 'e') + position_of(text, 'E');
  const bool sel_has_e = sel_text.find_first_of("eE") != std::string_view::npos;
  const bool sign_after_e = p != 0 && p < len && is_sign(text[static_cast<std::size_t>(p)]);

  if (key_is_e && p != 0 && !sel_has_e) accepted = false; // a second exponent letter
  if (key == U'.' && text.find('.') != std::string_view::npos && sel_text.find('.') == std::string_view::npos)
    accepted = false;                                          // a second point
  if (key == U'.' && p != 0 && selStart > p) accepted = false; // a point inside the exponent
  if (key_is_sign && len > 0) {
    const bool at_front = selStart == 0 && (!is_sign(text[0]) || selLen > 0);
    const bool after_e = p != 0 && selStart == p && (!sign_after_e || selLen > 0);
    if (!at_front && !after_e) accepted = false;
  }
  if (accepted && selStart == 0 && selLen == 0 && len > 0 && is_sign(text[0]))
    accepted = false; // nothing in front of a leading sign
  if (accepted && selStart == p && selLen == 0 && sign_after_e)
    accepted = false; // nothing between the exponent letter and its sign
  if (accepted && p == selStart + selLen && sign_after_e && !key_is_e)
    accepted = false; // a selection ending at the exponent letter would strand its sign
  return {accepted, key};
}

double StepSize(StepModifiers m) {
  if (m.alt) {
    if (m.shift) return m.ctrl ? 0.0001 : 0.01;
    return m.ctrl ? 0.001 : 0.1;
  }
  if (m.shift) return m.ctrl ? 1000 : 10;
  return m.ctrl ? 100 : 1;
}

int WheelSteps(int verticalDelta, int horizontalDelta, bool alt) {
  const int delta = verticalDelta == 0 && alt ? horizontalDelta : verticalDelta;
  return delta / 120;
}

double RoundHalfEven(double value) {
  if (!std::isfinite(value)) return value;
  const double lower = std::floor(value);
  const double diff = value - lower;
  if (diff < 0.5) return lower;
  if (diff > 0.5) return lower + 1;
  return std::fmod(lower, 2.0) == 0 ? lower : lower + 1;
}

int32_t RoundHalfEvenToInt32(double value) {
  if (std::isnan(value)) return 0;
  const double r = RoundHalfEven(value);
  if (r >= static_cast<double>(std::numeric_limits<int32_t>::max()))
    return std::numeric_limits<int32_t>::max();
  if (r <= static_cast<double>(std::numeric_limits<int32_t>::min()))
    return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(r);
}

SpinColumnLayout LayOutSpinColumn(int height) {
  height = std::max(height, 0);
  SpinColumnLayout l;
  l.buttonHeight = std::max((height - 3) / 2, 0);
  l.sliderTop = l.buttonHeight;
  l.sliderHeight = height - 2 * l.buttonHeight;
  l.downTop = l.sliderTop + l.sliderHeight;
  return l;
}

} // namespace zq
