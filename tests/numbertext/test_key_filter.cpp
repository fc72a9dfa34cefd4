// Key filter of the numeric edit fields: which typed character may go where.
#include "zqNumberText.h"

#include <gtest/gtest.h>

namespace {

struct KeyCase {
  const char* text;
  int selStart;
  int selLen;
  char32_t key;
  bool accepted;
};

void ExpectCases(std::initializer_list<KeyCase> cases) {
  for (const auto& c : cases) {
    const auto r = zq::FilterNumberKey(c.text, c.selStart, c.selLen, c.key);
    EXPECT_EQ(r.accepted, c.accepted) << '"' << c.text << "\" caret " << c.selStart << " sel " << c.selLen
                                      << " key " << static_cast<unsigned>(c.key);
  }
}

TEST(KeyFilter, DTypesTheExponentLetter) {
  for (char32_t d : {U'd', U'D'}) {
    const auto r = zq::FilterNumberKey("15", 2, 0, d);
    EXPECT_TRUE(r.accepted);
    EXPECT_EQ(r.key, U'E');
  }
  EXPECT_EQ(zq::FilterNumberKey("15", 2, 0, U'e').key, U'e');
  EXPECT_FALSE(zq::FilterNumberKey("1e5", 3, 0, U'd').accepted); // becomes a second exponent letter
}

TEST(KeyFilter, OnlyNumberCharactersAndControlKeys) {
  ExpectCases({{"12", 2, 0, U'5', true},
               {"12", 2, 0, U'a', false},
               {"12", 2, 0, U',', false},
               {"12", 2, 0, U' ', false},
               {"12", 2, 0, U'x', false},
               {"12", 2, 0, U'\u00e9', false},
               {"12", 2, 0, U'\u0665', false}, // Arabic-Indic five is no digit here
               {"12", 2, 0, 8, true},          // backspace
               {"12", 2, 0, 22, true},         // Ctrl+V
               {"12", 2, 0, 13, false},        // carriage return
               {"12", 2, 0, 127, false}});
}

TEST(KeyFilter, OneExponentLetter) {
  ExpectCases({{"1E5", 3, 0, U'e', false},
               {"1E5", 1, 0, U'E', false},
               {"1E5", 1, 1, U'e', true}, // replaces the selected letter
               {"1E5", 0, 3, U'E', true},
               {"15", 1, 0, U'E', true},
               {"1e2E3", 5, 0, U'e', false}}); // both letters pasted in: still refused
}

TEST(KeyFilter, OnePointOutsideTheExponent) {
  ExpectCases({{"1.5", 3, 0, U'.', false},
               {"1.5", 1, 1, U'.', true}, // replaces the selected point
               {"1.5", 0, 3, U'.', true},
               {"15", 1, 0, U'.', true},
               {"1E5", 3, 0, U'.', false}, // inside the exponent
               {"1E5", 2, 0, U'.', true},  // directly after the letter
               {"1E5", 1, 0, U'.', true},
               {"1E55", 2, 2, U'.', true}});
}

TEST(KeyFilter, SignsOnlyAtTheFrontOrAfterTheExponentLetter) {
  ExpectCases({{"", 0, 0, U'-', true},
               {"5", 1, 0, U'-', false},
               {"5", 0, 0, U'-', true},
               {"5", 0, 0, U'+', true},
               {"-5", 0, 0, U'+', false}, // already signed
               {"-5", 0, 1, U'+', true},  // replaces the selected sign
               {"-5", 1, 0, U'-', false},
               {"1E5", 2, 0, U'-', true}, // right after the letter
               {"1E5", 3, 0, U'-', false},
               {"1E-5", 2, 0, U'+', false},
               {"1E-5", 2, 1, U'+', true},
               {"1E", 2, 0, U'-', true}});
}

TEST(KeyFilter, NothingInFrontOfALeadingSign) {
  ExpectCases({{"-3", 0, 0, U'5', false},
               {"-3", 0, 0, 8, false},
               {"-3", 1, 0, U'5', true},
               {"+3", 0, 1, U'5', true}});
}

TEST(KeyFilter, NothingBetweenTheExponentLetterAndItsSign) {
  ExpectCases({{"1E-5", 2, 0, U'5', false},
               {"1E-5", 2, 0, 8, false},
               {"1E-5", 3, 0, U'5', true},
               {"1E5", 2, 0, U'5', true}});
}

TEST(KeyFilter, NoSelectionEndingAtTheExponentLetterBeforeASign) {
  ExpectCases({{"1E-5", 0, 2, U'7', false},
               {"1E-5", 1, 1, U'7', false},
               {"1E-5", 0, 2, U'-', false},
               {"1E-5", 1, 1, U'e', true}, // replacing the letter by a letter keeps the exponent
               {"1E5", 1, 1, U'7', true},  // no sign after the letter
               {"1E-5", 0, 3, U'7', true}});
}

TEST(KeyFilter, CaretOutsideTheTextIsClamped) {
  EXPECT_TRUE(zq::FilterNumberKey("12", 10, 5, U'3').accepted);
  EXPECT_TRUE(zq::FilterNumberKey("12", -4, -1, U'3').accepted);
  EXPECT_FALSE(zq::FilterNumberKey("-2", -4, 0, U'3').accepted);
}

} // namespace
