// The arithmetic behind the main window's coupled parameter controls: temperature scales, blackbody power,
// the wavenumber/wavelength pair, nominal atmosphere layer values and the saturation mixing ratio.
// Plain C++; the window only moves these values between its edits.
#pragma once

#include "zqPhysicalConstants.h"

#include <array>
#include <optional>
#include <string>

namespace zqapp {

// Celsius offset of the whole program (273, not 273.15), and the power fields' Stefan-Boltzmann constant.
constexpr double KelvinOffset = zqconst::KelvinOffset;
constexpr long double StefanBoltzmann = zqconst::ClassicStefanBoltzmann; // W m-2 K-4

// The gas temperature in three scales, each kept as a 32-bit real.
struct Temperatures {
  float K = 0, C = 0, F = 0;
};
// Empty when a scale does not fit a 32-bit real (beyond about 3.4e38): a conversion error, so the
// caller keeps the temperature it had.
std::optional<Temperatures> FromKelvin(double k);
std::optional<Temperatures> FromCelsius(double c);
std::optional<Temperatures> FromFahrenheit(double f);

// "%3.2f"
std::string Fixed2(double v);

// 5.67e-8 T^4 (W/m2), rounded to a 64-bit real.
double BlackbodyPower(double kelvin);
// (power / 5.67e-8)^0.25; empty for a power that is not a positive finite number.
std::optional<double> TemperatureForPower(double power);

// Rounds 100 x v half to even and divides by 100.
double RoundTo2Decimals(double v);
// The other member of the wavenumber (cm-1) / wavelength (nm) pair: 1e7 / v to two decimals; empty for 0
// and for a v so small that 1e7 / v overflows.
std::optional<double> OtherWaveUnit(double v);

// A nominal layer value split at blanks and degree signs into number, unit, number, unit. The degree sign
// may be the Windows-1252 byte B0 or the UTF-8 pair C2 B0. Empty unless exactly four tokens result.
using LayerTokens = std::array<std::string, 4>;
std::optional<LayerTokens> SplitLayerValue(const std::string& value);
// The number token that carries unit ("mb", "K", "C" or "F", compared exactly), if any.
std::optional<std::string> LayerToken(const LayerTokens& t, const std::string& unit);

// A layer's number token as a real (read like every INI number), or empty when it is not a number.
std::optional<double> LayerNumber(const std::string& token);

// Saturation mixing ratio (ppm) for a saturation pressure and a gas pressure, both mb; empty when the
// pressure is not positive or the result is not a positive finite number.
std::optional<double> SaturationMixingRatio(long double saturationPressure, double pressure);
// The humidity pair at a saturation mixing ratio (ppm): relative humidity (%) of a water vapour mixing
// ratio (ppm), and back.
double HumidityOfWater(double water, double saturation);
double WaterOfHumidity(double humidity, double saturation);

// Why a field's text is refused as a number: empty for an empty text, a readable number, or the start of
// one being typed ("-", "1e", "2.5E-"); otherwise "<text>" is not a number (also a number beyond the
// 64-bit range such as 1e400, which must never stand for another value).
std::string UnreadableNumberReason(const std::string& text);
// Why a temperature (K) cannot be used: empty when above 0 K.
std::string TemperatureReason(double kelvin);

} // namespace zqapp
