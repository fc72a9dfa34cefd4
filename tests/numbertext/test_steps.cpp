// Step sizes, wheel notches, half-to-even rounding and the spin column's geometry.
#include "zqNumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(StepSize, FollowsTheModifierTable) {
  struct Row {
    bool alt, shift, ctrl;
    double size;
  };
  const Row rows[] = {{false, false, false, 1},  {false, false, true, 100}, {false, true, false, 10},
                      {false, true, true, 1000}, {true, false, false, 0.1}, {true, false, true, 0.001},
                      {true, true, false, 0.01}, {true, true, true, 0.0001}};
  for (const auto& r : rows) {
    zq::StepModifiers m;
    m.alt = r.alt;
    m.shift = r.shift;
    m.ctrl = r.ctrl;
    EXPECT_EQ(zq::StepSize(m), r.size) << r.alt << r.shift << r.ctrl;
  }
}

TEST(WheelSteps, WholeNotchesTruncatedTowardsZero) {
  EXPECT_EQ(zq::WheelSteps(120), 1);
  EXPECT_EQ(zq::WheelSteps(-120), -1);
  EXPECT_EQ(zq::WheelSteps(119), 0);
  EXPECT_EQ(zq::WheelSteps(-119), 0);
  EXPECT_EQ(zq::WheelSteps(359), 2);
  EXPECT_EQ(zq::WheelSteps(-359), -2);
  EXPECT_EQ(zq::WheelSteps(0, 240, true), 2);  // Alt turned the wheel horizontal
  EXPECT_EQ(zq::WheelSteps(0, 240, false), 0); // a plain horizontal wheel is no step
  EXPECT_EQ(zq::WheelSteps(-120, 240, true), -1);
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(zq::RoundHalfEven(2.5), 2);
  EXPECT_EQ(zq::RoundHalfEven(3.5), 4);
  EXPECT_EQ(zq::RoundHalfEven(0.5), 0);
  EXPECT_EQ(zq::RoundHalfEven(-2.5), -2);
  EXPECT_EQ(zq::RoundHalfEven(-3.5), -4);
  EXPECT_EQ(zq::RoundHalfEven(2.4999999), 2);
  EXPECT_EQ(zq::RoundHalfEven(2.5000001), 3);
  EXPECT_EQ(zq::RoundHalfEven(-0.4), 0);
  EXPECT_EQ(zq::RoundHalfEven(1612549.5), 1612550);
  EXPECT_EQ(zq::RoundHalfEven(4503599627370497.0), 4503599627370497.0); // odd, beyond 2^52
  EXPECT_TRUE(std::isinf(zq::RoundHalfEven(std::numeric_limits<double>::infinity())));
}

TEST(RoundHalfEven, Int32SaturatesAtItsLimits) {
  EXPECT_EQ(zq::RoundHalfEvenToInt32(2.5), 2);
  EXPECT_EQ(zq::RoundHalfEvenToInt32(-3.5), -4);
  EXPECT_EQ(zq::RoundHalfEvenToInt32(3e9), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(zq::RoundHalfEvenToInt32(2147483647.4), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(zq::RoundHalfEvenToInt32(-3e9), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(zq::RoundHalfEvenToInt32(std::nan("")), 0);
}

TEST(SpinColumnLayout, ButtonsShareWhatTheSliderLeaves) {
  struct Row {
    int h, button, sliderTop, sliderHeight, downTop;
  };
  const Row rows[] = {
      {21, 9, 9, 3, 12}, {25, 11, 11, 3, 14}, {22, 9, 9, 4, 13}, {2, 0, 0, 2, 2}, {-5, 0, 0, 0, 0}};
  for (const auto& r : rows) {
    const auto l = zq::LayOutSpinColumn(r.h);
    EXPECT_EQ(l.buttonHeight, r.button) << r.h;
    EXPECT_EQ(l.sliderTop, r.sliderTop) << r.h;
    EXPECT_EQ(l.sliderHeight, r.sliderHeight) << r.h;
    EXPECT_EQ(l.downTop, r.downTop) << r.h;
  }
}

} // namespace
