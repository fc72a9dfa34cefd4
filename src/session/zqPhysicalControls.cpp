#include "zqPhysicalControls.h"

#include "zqINI_File.h"
#include "zqNumberText.h"

#include <cmath>
#include <cstdio>

namespace zqapp {

namespace {

std::optional<Temperatures> if_finite(const Temperatures& t) {
  if (!std::isfinite(t.K) || !std::isfinite(t.C) || !std::isfinite(t.F)) return std::nullopt;
  return t;
}

} // namespace

std::optional<Temperatures> FromKelvin(double k) {
  Temperatures t;
  t.K = static_cast<float>(k);
  t.C = static_cast<float>(t.K - KelvinOffset);
  t.F = static_cast<float>(t.C * 9.0 / 5.0 + 32.0);
  return if_finite(t);
}

std::optional<Temperatures> FromCelsius(double c) {
  Temperatures t;
  t.C = static_cast<float>(c);
  t.K = static_cast<float>(t.C + KelvinOffset);
  t.F = static_cast<float>(t.C * 9.0 / 5.0 + 32.0);
  return if_finite(t);
}

std::optional<Temperatures> FromFahrenheit(double f) {
  Temperatures t;
  t.F = static_cast<float>(f);
  t.C = static_cast<float>((t.F - 32.0) * 5.0 / 9.0);
  t.K = static_cast<float>(t.C + KelvinOffset);
  return if_finite(t);
}

std::string Fixed2(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%3.2f", v);
  return buf;
}

double BlackbodyPower(double kelvin) {
  long double k = kelvin;
  return static_cast<double>(StefanBoltzmann * k * k * k * k);
}

std::optional<double> TemperatureForPower(double power) {
  if (!std::isfinite(power) || power <= 0) return std::nullopt;
  return static_cast<double>(std::pow(static_cast<long double>(power) / StefanBoltzmann, 0.25L));
}

double RoundTo2Decimals(double v) {
  // Above about 1.8e306 the hundredfold value overflows; such a number has no decimals to round anyway.
  const double hundredfold = v * 100.0;
  if (!std::isfinite(hundredfold)) return v;
  return zq::RoundHalfEven(hundredfold) / 100.0;
}

std::optional<double> OtherWaveUnit(double v) {
  if (v == 0 || !std::isfinite(v)) return std::nullopt;
  const double other = 1e7 / v;
  if (!std::isfinite(other)) return std::nullopt; // v below about 1e-301: no real holds the other unit
  return RoundTo2Decimals(other);
}

std::optional<LayerTokens> SplitLayerValue(const std::string& value) {
  // Fold the UTF-8 degree sign into the single Windows-1252 byte so both spellings split alike.
  std::string folded;
  folded.reserve(value.size() + 1);
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '\xC2' && i + 1 < value.size() && value[i + 1] == '\xB0') continue;
    folded += value[i];
  }
  folded += ' ';
  auto parts = SplitByChars(folded, " \xB0");
  if (parts.size() != 4) return std::nullopt;
  return LayerTokens{parts[0], parts[1], parts[2], parts[3]};
}

std::optional<std::string> LayerToken(const LayerTokens& t, const std::string& unit) {
  if (t[1] == unit) return t[0];
  if (t[3] == unit) return t[2];
  return std::nullopt;
}

std::optional<double> LayerNumber(const std::string& token) {
  long double v = 0;
  if (!zqIniTextToReal(token, v)) return std::nullopt;
  return static_cast<double>(v);
}

std::optional<double> SaturationMixingRatio(long double saturationPressure, double pressure) {
  if (!std::isfinite(pressure) || pressure <= 0) return std::nullopt;
  double s = static_cast<double>(saturationPressure / pressure * 1000000.0L);
  if (!std::isfinite(s) || s <= 0) return std::nullopt;
  return s;
}

double HumidityOfWater(double water, double saturation) {
  return water * 100 / saturation;
}

double WaterOfHumidity(double humidity, double saturation) {
  return saturation * humidity / 100;
}

std::string UnreadableNumberReason(const std::string& text) {
  if (text.empty() || zq::ParseNumberText(text)) return {};
  // The start of a number: an optional sign, digits with at most one point, then an exponent mark with
  // an optional sign and nothing after it; or a lone sign or point.
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  bool digits = false, point = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9')
      digits = true;
    else if ((c == '.' || c == ',') && !point)
      point = true;
    else
      break;
  }
  if (i == text.size()) return {}; // "-", ".", "1."
  if (digits && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    if (i == text.size()) return {}; // "1e", "1e-"
  }
  return "\"" + text + "\" is not a number";
}

std::string TemperatureReason(double kelvin) {
  return kelvin > 0 ? std::string() : std::string("Temperature must be above 0 K");
}

} // namespace zqapp
