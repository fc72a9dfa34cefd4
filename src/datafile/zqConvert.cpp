// Conversion tables and formulas. Products are formed in long double and rounded to double at the end,
// and the Kelvin offset is 273 (the program's convention everywhere), not 273.15.
#include "zqConvert.h"
#include "zqPhysicalConstants.h"
#include "zqTextCompare.h"

#include <array>
#include <cstddef>
#include <string>

namespace {

constexpr std::array<std::string_view, 9> kTimeKeys = {"bp->bp",   "bp->b2k",   "bp->year",
                                                       "b2k->bp",  "b2k->b2k",  "b2k->year",
                                                       "year->bp", "year->b2k", "year->year"};
constexpr std::array<std::string_view, 9> kTemperatureKeys = {"c->c", "c->k", "c->f", "k->c", "k->k",
                                                              "k->f", "f->c", "f->k", "f->f"};
constexpr std::array<std::string_view, 16> kLengthKeys = {
    "m->m",  "m->km",  "m->ft",  "m->mi",  "km->m", "km->km", "km->ft", "km->mi",
    "ft->m", "ft->km", "ft->ft", "ft->mi", "mi->m", "mi->km", "mi->ft", "mi->mi"};

template <std::size_t N>
int32_t find_key(const std::array<std::string_view, N>& table, std::string_view key) {
  for (std::size_t i = 0; i < N; ++i)
    if (zqSameText(table[i], key)) return static_cast<int32_t>(i);
  return -1;
}

constexpr long double kKelvinOffset = zqconst::KelvinOffset;
constexpr long double kFiveNinths = 5.0L / 9.0L;
constexpr long double kKm = 0.001L;                           // km per m
constexpr long double kFeetPerKm = 3280.8399L;                // ft per km
constexpr long double kKmPerFoot = 0.0003048L;                // km per ft
constexpr long double kMetresPerMile = 1609.344L;             // m per mi
constexpr long double kMilesPerMetre = 0.000621371192237334L; // 1 / 1609.344, as written
constexpr long double kMilesPerFoot = 0.000189393939393939L;  // 1 / 5280, as written
constexpr long double kFeetPerMile = 5280.0L;

} // namespace

int32_t ConversionCode(std::string_view fromUnit, std::string_view toUnit) {
  std::string key;
  key.reserve(fromUnit.size() + toUnit.size() + 2);
  key.append(fromUnit).append("->").append(toUnit);
  if (int32_t n = find_key(kTimeKeys, key); n >= 0) return 20 + n;
  if (int32_t n = find_key(kTemperatureKeys, key); n >= 0) return 30 + n;
  if (int32_t n = find_key(kLengthKeys, key); n >= 0) return 40 + n;
  return -1;
}

double ConvertValue(int32_t code, double x) {
  if (code >= 40) return LengthConversion(code - 40, x);
  if (code >= 30) return TemperatureConversion(code - 30, x);
  if (code >= 20) return TimeConversion(code - 20, x);
  return -1;
}

double TimeConversion(int32_t number, double x) {
  const long double v = x;
  switch (number) {
  case 0:
  case 4:
  case 8:
    return x;
  case 1:
    return static_cast<double>(v + 50);
  case 2:
    return static_cast<double>(1950 - v);
  case 3:
    return static_cast<double>(v - 50);
  case 5:
    return static_cast<double>(2000 - v);
  case 6:
    return static_cast<double>(1950 - v);
  case 7:
    return static_cast<double>(2000 - v);
  default:
    return 0;
  }
}

double TemperatureConversion(int32_t number, double x) {
  const long double v = x;
  switch (number) {
  case 0:
  case 4:
  case 8:
    return x;
  case 1:
    return static_cast<double>(v + kKelvinOffset);
  case 2:
    return static_cast<double>(v * 1.8L + 32);
  case 3:
    return static_cast<double>(v - kKelvinOffset);
  case 5:
    return static_cast<double>((v - kKelvinOffset) * 1.8L + 32);
  case 6:
    return static_cast<double>((v - 32) * kFiveNinths);
  case 7:
    return static_cast<double>((v - 32) * kFiveNinths + kKelvinOffset);
  default:
    return 0;
  }
}

double LengthConversion(int32_t number, double x) {
  const long double v = x;
  switch (number) {
  case 0:
  case 5:
  case 10:
  case 15:
    return x;
  case 1:
    return static_cast<double>(v * kKm);
  case 2:
    return static_cast<double>(v * kFeetPerKm * kKm);
  case 3:
    return static_cast<double>(v * kMilesPerMetre);
  case 4:
    return static_cast<double>(v * 1000);
  case 6:
    return static_cast<double>(v * kFeetPerKm);
  case 7:
    return static_cast<double>(v * 1000 * kMilesPerMetre);
  case 8:
    return static_cast<double>(v * kKmPerFoot * 1000);
  case 9:
    return static_cast<double>(v * kKmPerFoot);
  case 11:
    return static_cast<double>(v * kMilesPerFoot);
  case 12:
    return static_cast<double>(v * kMetresPerMile);
  case 13:
    return static_cast<double>(v * kMetresPerMile * kKm);
  case 14:
    return static_cast<double>(v * kFeetPerMile);
  default:
    return 0;
  }
}
