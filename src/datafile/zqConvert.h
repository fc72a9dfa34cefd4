// Unit conversions for plotted x values: dates (bp, b2k, year), temperatures (c, k, f) and lengths
// (m, km, ft, mi). A pair of unit names is turned once into an integer conversion code, and values are
// then converted with that code; -1 means "no conversion".
#pragma once

#include <cstdint>
#include <string_view>

// 20 + n for the n-th time key, 30 + n for a temperature key, 40 + n for a length key, -1 when the pair
// "from->to" is in no table. Letter case is ignored; the time table is searched first, then temperature,
// then length.
int32_t ConversionCode(std::string_view fromUnit, std::string_view toUnit);

// Converts x with a code from ConversionCode. A code below 20 gives -1; a code whose number lies outside
// its kind's table gives 0.
double ConvertValue(int32_t code, double x);

// One kind's conversion by its number within the kind's table; a number outside the table gives 0.
double TimeConversion(int32_t number, double x);
double TemperatureConversion(int32_t number, double x);
double LengthConversion(int32_t number, double x);
