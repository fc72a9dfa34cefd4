// Number text grammar and general format of the numeric edit fields.
#include "zqNumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace {

struct ParseCase {
  const char* text;
  double value;
};

TEST(NumberTextParse, AcceptsTheGrammar) {
  const ParseCase cases[] = {
      {"0", 0},
      {"12", 12},
      {"-12", -12},
      {"+12", 12},
      {"   5", 5},
      {"5.", 5},
      {".5", 0.5},
      {".", 0},
      {"E5", 0},
      {"e5", 0},
      {"+.", 0},
      {"1E5", 1e5},
      {"1e-5", 1e-5},
      {"1E+2", 100},
      {"-.5e1", -5},
      {"1.5E-6", 1.5e-6},
      {"0.1", 0.1},
      {"007", 7},
      {"1E-0005", 1e-5},
      {"288.00", 288},
      {"123456789012345678901234567890", 1.2345678901234568e29},
      {"0.000000000000000000000000000001E30", 1},
      {"1.7976931348623157E308", std::numeric_limits<double>::max()},
  };
  for (const auto& c : cases) {
    const auto v = zq::ParseNumberText(c.text);
    ASSERT_TRUE(v.has_value()) << c.text;
    EXPECT_EQ(*v, c.value) << c.text;
  }
}

TEST(NumberTextParse, RefusesAnythingElse) {
  for (const char* text :
       {"",      "  ",    "+",   "-",  "5 ",   "1,000", "1 000", "abc", "1E",  "1E+",   "1e-",
        "1.2.3", "1e5e5", "--1", "1-", "0x10", "inf",   "nan",   "\t5", "5,5", "1E5.5", "1d5"}) {
    EXPECT_FALSE(zq::ParseNumberText(text).has_value()) << '"' << text << '"';
  }
}

TEST(NumberTextParse, OverflowIsUnreadableAndUnderflowIsZero) {
  EXPECT_FALSE(zq::ParseNumberText("1E309").has_value());
  EXPECT_FALSE(zq::ParseNumberText("-2E308").has_value());
  EXPECT_FALSE(zq::ParseNumberText("1E99999999999999999999999999").has_value());
  EXPECT_EQ(zq::ParseNumberText("1E-400"), 0.0);
  EXPECT_EQ(zq::ParseNumberText("-1E-99999999999999999999999999"), 0.0);
  EXPECT_EQ(zq::ParseNumberText("0E99999999999999999999999999"), 0.0);
  // The smallest subnormal still reads.
  EXPECT_EQ(zq::ParseNumberText("4.9406564584124654E-324"), std::numeric_limits<double>::denorm_min());
}

struct FormatCase {
  double value;
  int precision;
  const char* text;
};

TEST(NumberTextFormat, GeneralFormat) {
  const FormatCase cases[] = {
      {0, 8, "0"},
      {-0.0, 8, "0"},
      {1, 8, "1"},
      {-1, 8, "-1"},
      {1.0 / 3, 8, "0.33333333"},
      {-2.0 / 3, 8, "-0.66666667"},
      {123456789, 8, "1.2345679E8"},
      {12345678, 8, "12345678"},
      {99999999.5, 8, "1E8"}, // rounding carries into a ninth integer digit
      {12346, 4, "1.235E4"},
      {0.000012, 4, "0.000012"},
      {0.000001, 4, "1E-6"},
      {0.00001, 8, "0.00001"},
      {1.5e-6, 8, "1.5E-6"},
      {0.0000099999, 4, "0.00001"}, // rounds up to the fixed range
      {1e21, 8, "1E21"},
      {-1.25e-7, 8, "-1.25E-7"},
      {288, 8, "288"},
      {1000000, 7, "1000000"},
      {10000000, 7, "1E7"},
      {666.67, 8, "666.67"},
      {14999.93, 8, "14999.93"},
      {16125.49, 4, "1.613E4"},
      {2.5, 1, "3"}, // halves away from zero
      {-2.5, 1, "-3"},
      {0.125, 2, "0.13"},
      {0.15, 1, "0.1"}, // 0.15 is a little below the half in binary
      {123, 0, "1E2"},  // precision below 1 acts as 1
      {0.1, 40, "0.10000000000000001"},
      {std::numeric_limits<double>::max(), 17, "1.7976931348623157E308"},
      {std::numeric_limits<double>::max(), 2, "1.7E308"}, // 1.8E308 would not read back
      {-1.791e308, 1, "-1E308"},
      {1.55e308, 2, "1.6E308"}, // still a double after rounding up
      {std::numeric_limits<double>::denorm_min(), 8, "4.9406565E-324"},
      {std::numeric_limits<double>::infinity(), 8, "INF"},
      {-std::numeric_limits<double>::infinity(), 8, "-INF"},
      {std::nan(""), 8, "NAN"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(zq::FormatGeneral(c.value, c.precision), c.text) << c.value << " at " << c.precision;
}

TEST(NumberTextFormat, WrittenTextReadsBack) {
  std::mt19937_64 rng(20261207);
  std::uniform_real_distribution<double> mantissa(-10, 10);
  std::uniform_int_distribution<int> exponent(-320, 300);
  for (int i = 0; i < 5000; ++i) {
    const double v = mantissa(rng) * std::pow(10.0, exponent(rng));
    // Seventeen digits identify every double exactly.
    const auto exact = zq::ParseNumberText(zq::FormatGeneral(v, 17));
    ASSERT_TRUE(exact.has_value()) << v;
    EXPECT_EQ(*exact, v);
    for (int precision : {1, 4, 8}) {
      const auto rounded = zq::ParseNumberText(zq::FormatGeneral(v, precision));
      ASSERT_TRUE(rounded.has_value()) << v;
      EXPECT_LE(std::fabs(*rounded - v), std::fabs(v) * 0.5 * std::pow(10.0, 1 - precision) * (1 + 1e-12))
          << v << " at " << precision;
    }
  }
}

} // namespace
