// The standard atmosphere: its layer table and pressure and temperature at altitudes, including
// layer boundaries and the refusal of altitudes the layers cannot describe.
#include "TestSupport.h"
#include "zqAtmosphere.h"

#include <gtest/gtest.h>

TEST(Atmosphere, LayerTable) {
  T_zq_Atmosphere a;
  EXPECT_NEAR(static_cast<double>(T_zq_Atmosphere::HydrostaticConstant), 34.163195, 1e-6);
  struct Row {
    double base, lapse, t, p;
  };
  const Row rows[] = {{0, -6.5, 288.0, 1013.0},    {11, 0, 216.5, 226.0605},
                      {20, 1, 216.5, 54.63220},    {32, 2.8, 228.5, 8.650934},
                      {47, 0, 270.5, 1.103953},    {51, -2.8, 270.5, 0.6661177},
                      {71, -2, 214.5, 0.03930143}, {84.852, 0, 186.796, 0.003702477}};
  ASSERT_EQ(a.Layers.size(), 8u);
  for (std::size_t i = 0; i < 8; ++i) {
    EXPECT_EQ(a.Layers[i].BaseAltitude, rows[i].base);
    EXPECT_EQ(a.Layers[i].LapseRate, rows[i].lapse);
    EXPECT_NEAR(a.Layers[i].BaseTemperature, rows[i].t, 1e-9);
    EXPECT_TRUE(zqtest::RelClose(a.Layers[i].BasePressure, rows[i].p, 5e-7)) << i;
  }
}

TEST(Atmosphere, PressureAndTemperatureAtAltitudes) {
  T_zq_Atmosphere a;
  struct Point {
    double h, p, t, rel;
  };
  for (const Point& x :
       {Point{0, 1013.0, 288.0, 1e-15}, Point{5, 539.88, 255.5, 1e-5}, Point{11, 226.06, 216.5, 1e-5},
        Point{15, 120.25, 216.5, 1e-4}, Point{30, 11.681, 226.5, 1e-4}, Point{100, 0.000232, 186.796, 5e-3},
        Point{-1, 1139.08, 294.5, 1e-5}}) {
    const long double p = a.PressureAt(x.h);
    EXPECT_TRUE(zqtest::RelClose(static_cast<double>(p), x.p, x.rel))
        << x.h << " km: " << static_cast<double>(p);
    EXPECT_EQ(a.LastPressure, p);
    EXPECT_NEAR(static_cast<double>(a.LastTemperature), x.t, 1e-9) << x.h;
    EXPECT_TRUE(a.Reason().empty());
  }
  // A boundary gives the same result from the layer below as from the layer above.
  const long double below = a.PressureAt(20);
  EXPECT_TRUE(zqtest::RelClose(static_cast<double>(below), a.Layers[2].BasePressure, 1e-12));
}

TEST(Atmosphere, RefusesAltitudesTheLayersCannotDescribe) {
  T_zq_Atmosphere a;
  for (long double h : {std::numeric_limits<long double>::quiet_NaN(),
                        std::numeric_limits<long double>::infinity(), -1e300L}) {
    EXPECT_EQ(a.PressureAt(h), 0);
    EXPECT_FALSE(a.Reason().empty());
    EXPECT_EQ(a.LastTemperature, 0);
  }
  a.PressureAt(1);
  EXPECT_TRUE(a.Reason().empty());
}
