#include "zqChartAxisFormat.h"

#include <QStringList>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace {

struct Section {
  QString prefix, suffix;
  int minInt = 0;  // zeros before the decimal point
  int minFrac = 0; // zeros after it
  int maxFrac = 0; // zeros and hashes after it
  bool grouping = false;
  bool scientific = false;
  bool expPlus = false; // "E+": the exponent's sign is always written
  int minExp = 0;
  QChar expChar = u'E';
};

// Splits at ";" outside quotes.
QStringList split_sections(const QString& format) {
  QStringList out;
  QString cur;
  QChar quote;
  for (QChar c : format) {
    if (!quote.isNull()) {
      if (c == quote) quote = QChar();
      cur += c;
    } else if (c == u'"' || c == u'\'') {
      quote = c;
      cur += c;
    } else if (c == u';') {
      out << cur;
      cur.clear();
    } else {
      cur += c;
    }
  }
  out << cur;
  return out;
}

Section parse_section(const QString& s) {
  Section sec;
  bool inDigits = false, afterDigits = false, inFraction = false;
  QChar quote;
  for (int i = 0; i < s.size(); ++i) {
    const QChar c = s[i];
    if (!quote.isNull()) {
      if (c == quote)
        quote = QChar();
      else
        (afterDigits || inDigits ? sec.suffix : sec.prefix) += c;
      continue;
    }
    if (c == u'"' || c == u'\'') {
      quote = c;
      if (inDigits) afterDigits = true, inDigits = false;
      continue;
    }
    const bool digitChar = c == u'0' || c == u'#' || c == u'.' || c == u',';
    if (!afterDigits && digitChar) {
      inDigits = true;
      if (c == u'.')
        inFraction = true;
      else if (c == u',')
        sec.grouping = sec.grouping || !inFraction;
      else if (inFraction) {
        ++sec.maxFrac;
        if (c == u'0') sec.minFrac = sec.maxFrac;
      } else if (c == u'0') {
        ++sec.minInt;
      }
      continue;
    }
    if (inDigits && (c == u'E' || c == u'e') && i + 1 < s.size() && (s[i + 1] == u'+' || s[i + 1] == u'-')) {
      sec.scientific = true;
      sec.expChar = c;
      sec.expPlus = s[i + 1] == u'+';
      i += 2;
      while (i < s.size() && s[i] == u'0')
        ++sec.minExp, ++i;
      --i;
      inDigits = false;
      afterDigits = true;
      continue;
    }
    if (inDigits) inDigits = false, afterDigits = true;
    (afterDigits ? sec.suffix : sec.prefix) += c;
  }
  return sec;
}

// Fixed-point digits of |value| rounded to `decimals` places, halves away from zero on the shortest
// decimal text of the value (0.125 -> 0.13, as a reader rounds the number he sees).
void round_decimal(const std::string& text, int decimals, std::string& intPart, std::string& fracPart) {
  const auto dot = text.find('.');
  intPart = text.substr(0, dot);
  fracPart = dot == std::string::npos ? std::string() : text.substr(dot + 1);
  if (static_cast<int>(fracPart.size()) <= decimals) {
    fracPart.append(decimals - fracPart.size(), '0');
    return;
  }
  const bool up = fracPart[decimals] >= '5';
  fracPart.resize(decimals);
  if (!up) return;
  std::string digits = intPart + fracPart;
  int i = static_cast<int>(digits.size()) - 1;
  for (; i >= 0 && digits[i] == '9'; --i)
    digits[i] = '0';
  if (i < 0)
    digits.insert(digits.begin(), '1');
  else
    ++digits[i];
  intPart = digits.substr(0, digits.size() - decimals);
  fracPart = digits.substr(digits.size() - decimals);
}

// Shortest decimal text of |value| in fixed or scientific notation ("1.25e-04").
std::string shortest_text(double value, std::chars_format fmt) {
  char buf[512];
  auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), fmt);
  return res.ec == std::errc() ? std::string(buf, res.ptr) : std::string("0");
}

QString group_digits(const std::string& digits, QChar separator) {
  QString out;
  const int n = static_cast<int>(digits.size());
  for (int i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0) out += separator;
    out += QChar::fromLatin1(digits[i]);
  }
  return out;
}

// Digits of |value| as the section writes them; zero tells whether every written digit is 0.
QString format_digits(double value, const Section& sec, QChar decimalPoint, QChar groupSeparator,
                      bool& zero) {
  int exponent = 0;
  std::string intPart, fracPart;
  if (sec.scientific && value != 0) {
    const std::string text = shortest_text(value, std::chars_format::scientific);
    const auto e = text.find('e');
    exponent = std::atoi(text.c_str() + e + 1);
    round_decimal(text.substr(0, e), sec.maxFrac, intPart, fracPart);
    if (intPart.size() > 1) {
      // Rounding carried into a further digit (9.96 -> 10.0): one more in the exponent.
      ++exponent;
      intPart.pop_back();
      fracPart = (intPart.size() > 1 ? intPart.substr(1) : std::string()) + fracPart;
      fracPart.resize(sec.maxFrac);
      intPart.resize(1);
    }
  } else {
    round_decimal(shortest_text(value, std::chars_format::fixed), sec.maxFrac, intPart, fracPart);
  }
  while (static_cast<int>(fracPart.size()) > sec.minFrac && !fracPart.empty() && fracPart.back() == '0')
    fracPart.pop_back();
  zero = intPart.find_first_not_of('0') == std::string::npos &&
         fracPart.find_first_not_of('0') == std::string::npos;
  const std::size_t firstNonZero = intPart.find_first_not_of('0');
  intPart = firstNonZero == std::string::npos ? std::string() : intPart.substr(firstNonZero);
  const int minInt = sec.scientific ? std::max(sec.minInt, 1) : sec.minInt;
  if (static_cast<int>(intPart.size()) < minInt) intPart.insert(0, minInt - intPart.size(), '0');

  QString out = sec.grouping ? group_digits(intPart, groupSeparator) : QString::fromLatin1(intPart);
  if (!fracPart.empty()) out += decimalPoint + QString::fromLatin1(fracPart);
  if (sec.scientific) {
    out += sec.expChar;
    if (exponent < 0)
      out += u'-';
    else if (sec.expPlus)
      out += u'+';
    QString e = QString::number(std::abs(exponent));
    if (e.size() < sec.minExp) e.prepend(QString(sec.minExp - e.size(), u'0'));
    out += e;
  }
  return out;
}

// Decimals that make x a whole number (within rounding noise), up to 16.
int decimals_needed(double x) {
  x = std::fabs(x);
  if (x == 0) return 0;
  for (int d = 0; d <= 15; ++d) {
    const double scaled = x * std::pow(10.0, d);
    if (std::fabs(scaled - std::round(scaled)) <= 1e-7 * scaled) return d;
  }
  return 16;
}

QString default_pattern(double value, double step) {
  const double magnitude = std::fabs(value);
  const int decimals = decimals_needed(step > 0 ? step : value);
  if (magnitude >= 1e15 || decimals > 15) return QStringLiteral("0.###E+0");
  return QStringLiteral("#,##0.") + QString(std::max(3, decimals), u'#');
}

} // namespace

QString zqFormatAxisValue(double value, const QString& format, double step, QChar decimalPoint,
                          QChar groupSeparator) {
  if (std::isnan(value)) return QStringLiteral("NAN");
  if (std::isinf(value)) return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
  const QStringList sections = split_sections(format.isEmpty() ? default_pattern(value, step) : format);

  const Section first = parse_section(sections[0]);
  bool zero = false;
  QString digits = format_digits(value, first, decimalPoint, groupSeparator, zero);
  if (zero && sections.size() >= 3 && !sections[2].isEmpty()) {
    const Section zs = parse_section(sections[2]);
    return zs.prefix + format_digits(0, zs, decimalPoint, groupSeparator, zero) + zs.suffix;
  }
  if (value < 0 && !zero) {
    if (sections.size() >= 2 && !sections[1].isEmpty()) {
      const Section neg = parse_section(sections[1]);
      return neg.prefix + format_digits(value, neg, decimalPoint, groupSeparator, zero) + neg.suffix;
    }
    return u'-' + first.prefix + digits + first.suffix;
  }
  return first.prefix + digits + first.suffix;
}
