// Conversion codes of every table with their boundaries, and the tabled formulas and factors.
#include "zqConvert.h"

#include <gtest/gtest.h>

namespace {
double conv(const char* from, const char* to, double x) {
  return ConvertValue(ConversionCode(from, to), x);
}
} // namespace

TEST(ConversionCode, TablesGiveTheirOffsetsAndOrder) {
  EXPECT_EQ(ConversionCode("bp", "bp"), 20);
  EXPECT_EQ(ConversionCode("b2k", "year"), 25);
  EXPECT_EQ(ConversionCode("year", "year"), 28);
  EXPECT_EQ(ConversionCode("c", "c"), 30);
  EXPECT_EQ(ConversionCode("k", "k"), 34);
  EXPECT_EQ(ConversionCode("f", "f"), 38);
  EXPECT_EQ(ConversionCode("m", "m"), 40);
  EXPECT_EQ(ConversionCode("km", "mi"), 47);
  EXPECT_EQ(ConversionCode("mi", "mi"), 55);
}

TEST(ConversionCode, IgnoresCaseAndRejectsMixedKindsAndEmpty) {
  EXPECT_EQ(ConversionCode("BP", "Year"), 22);
  EXPECT_EQ(ConversionCode("C", "K"), 31);
  EXPECT_EQ(ConversionCode("FT", "Mi"), 51);
  EXPECT_EQ(ConversionCode("m", "c"), -1);
  EXPECT_EQ(ConversionCode("", ""), -1);
  EXPECT_EQ(ConversionCode("", "bp"), -1);
  EXPECT_EQ(ConversionCode(" bp", "bp"), -1); // no trimming
  EXPECT_EQ(ConversionCode("bp-", ">bp"), -1);
}

TEST(ConvertValue, CodeBoundaries) {
  EXPECT_EQ(ConvertValue(19, 5), -1);
  EXPECT_EQ(ConvertValue(-1, 5), -1);
  EXPECT_EQ(ConvertValue(20, 123), 123);
  EXPECT_EQ(ConvertValue(29, 5), 0); // time number 9
  EXPECT_EQ(ConvertValue(39, 5), 0); // temperature number 9
  EXPECT_EQ(ConvertValue(56, 5), 0); // length number 16
  EXPECT_EQ(TimeConversion(-1, 5), 0);
  EXPECT_EQ(TemperatureConversion(-1, 5), 0);
  EXPECT_EQ(LengthConversion(-1, 5), 0);
}

TEST(ConvertValue, Time) {
  EXPECT_EQ(conv("bp", "bp", 123), 123);
  EXPECT_EQ(conv("BP", "Year", 100), 1850);
  EXPECT_EQ(conv("bp", "b2k", 100), 150);
  EXPECT_EQ(conv("b2k", "bp", 100), 50);
  EXPECT_EQ(conv("b2k", "year", 100), 1900);
  EXPECT_EQ(conv("year", "bp", 1900), 50);
  EXPECT_EQ(conv("year", "b2k", 1900), 100);
  EXPECT_EQ(conv("year", "year", 1900), 1900);
}

TEST(ConvertValue, TemperatureUses273) {
  EXPECT_EQ(conv("c", "k", 0), 273);
  EXPECT_EQ(conv("k", "c", 300), 27);
  EXPECT_EQ(conv("c", "f", 100), 212);
  EXPECT_EQ(conv("k", "f", 273), 32);
  EXPECT_EQ(conv("f", "c", 212), 100);
  EXPECT_EQ(conv("f", "c", 32), 0);
  EXPECT_EQ(conv("f", "k", 212), 373);
  EXPECT_DOUBLE_EQ(conv("f", "c", 0), -160.0 / 9.0);
  EXPECT_EQ(conv("k", "k", -5.5), -5.5);
}

TEST(ConvertValue, LengthFactors) {
  EXPECT_DOUBLE_EQ(conv("ft", "m", 1), 0.3048);
  EXPECT_DOUBLE_EQ(conv("m", "ft", 1), 3.2808399);
  EXPECT_EQ(conv("mi", "ft", 1), 5280);
  EXPECT_DOUBLE_EQ(conv("m", "km", 1500), 1.5);
  EXPECT_EQ(conv("km", "m", 1.5), 1500);
  EXPECT_DOUBLE_EQ(conv("km", "ft", 1), 3280.8399);
  EXPECT_DOUBLE_EQ(conv("ft", "km", 1), 0.0003048);
  EXPECT_DOUBLE_EQ(conv("mi", "m", 1), 1609.344);
  EXPECT_DOUBLE_EQ(conv("mi", "km", 1), 1.609344);
  EXPECT_DOUBLE_EQ(conv("m", "mi", 1609.344), 1.0);
  EXPECT_DOUBLE_EQ(conv("km", "mi", 1.609344), 1.0);
  EXPECT_NEAR(conv("ft", "mi", 5280), 1.0, 3e-15); // the tabled factor is 1/5280 cut after 15 digits
  EXPECT_DOUBLE_EQ(conv("m", "mi", 1), 0.000621371192237334);
  EXPECT_DOUBLE_EQ(conv("ft", "mi", 1), 0.000189393939393939);
  EXPECT_EQ(conv("ft", "ft", 7), 7);
}
