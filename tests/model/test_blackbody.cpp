// Blackbody curves: grid, Planck values, the low-temperature and underflow rules, the limits of
// Number_of_Values, and creation through the data-file registry.
#include "TestSupport.h"
#include "zqBlackbody.h"
#include "zqHITRAN.h"
#include "zqLineSeries.h"
#include "zqRegisterTypes.h"
#include "zq_LogFiles.h"

#include <gtest/gtest.h>

namespace {
std::unique_ptr<T_zq_Blackbody> Curve(double xmin, double xmax, int32_t n) {
  auto b = std::make_unique<T_zq_Blackbody>();
  b->XMin = xmin;
  b->XMax = xmax;
  b->Number_of_Values = n;
  return b;
}
// Planck exitance per unit wavenumber, W m-2 per m-1, at wavenumber nu (cm-1).
double Planck(long double nu, long double t) {
  const long double lambda = 0.01L / nu;
  return static_cast<double>(3.741771e-16L /
                             (lambda * lambda * lambda * (std::exp(0.01438775L / (lambda * t)) - 1)));
}
} // namespace

TEST(Blackbody, GridPointsStartOneStepAboveXMin) {
  struct Case {
    double xmin, xmax;
    int32_t n;
    double step, first, last;
  };
  for (const Case& c : {Case{0, 5000, 500, 10, 10, 5000}, Case{400, 800, 500, 0.8, 400.8, 800},
                        Case{0, 1000, 3, 333.333, 333.333, 999.999}}) {
    auto b = Curve(c.xmin, c.xmax, c.n);
    EXPECT_EQ(b->Step(), c.step);
    b->ComputeValues(288);
    TLineSeries s;
    b->AddValuesToSeries(s);
    ASSERT_EQ(s.Count(), static_cast<std::size_t>(c.n));
    EXPECT_DOUBLE_EQ(s.XValues().front(), c.first);
    EXPECT_DOUBLE_EQ(s.XValues().back(), c.last);
    EXPECT_TRUE(zqtest::RelClose(s.YValues().back(), 1000 * Planck(c.last, 288), 1e-12));
  }
}

TEST(Blackbody, ValueAt667AndTheDefaults) {
  auto b = Curve(666, 667, 1);
  b->ComputeValues(288);
  EXPECT_NEAR(b->Values[1], 0.00411, 0.000005);
  TLineSeries s;
  b->AddValuesToSeries(s);
  EXPECT_NEAR(s.YValues()[0], 4.11, 0.005);
  T_zq_Blackbody fresh;
  EXPECT_EQ(fresh.Temperature, 300);
  EXPECT_EQ(fresh.Number_of_Values, 200);
  EXPECT_EQ(fresh.XMax, 5000);
  ASSERT_EQ(fresh.ParameterCount(), 2);
  EXPECT_EQ(fresh.ParameterAt(0)->Key, "Temperature");
  EXPECT_EQ(fresh.ParameterAt(0)->DefaultNumber, 273);
  EXPECT_EQ(fresh.ParameterAt(1)->Key, "Number_of_Values");
  EXPECT_EQ(fresh.ParameterAt(1)->DefaultNumber, 200);
}

TEST(Blackbody, LowTemperaturesClearAndUnderflowStops) {
  auto b = Curve(0, 5000, 500);
  b->ComputeValues(300);
  b->ComputeValues(0);
  TLineSeries s;
  b->AddValuesToSeries(s);
  ASSERT_EQ(s.Count(), 500u);
  for (double y : s.YValues())
    EXPECT_EQ(y, 0);
  b->ComputeValues(300);
  b->ComputeValues(3);
  // exp(c2 nu / T) reaches 1e-400 near 2100 cm-1 at 3 K: low points are filled, the rest stay 0.
  EXPECT_GT(b->Values[1], 0);
  EXPECT_EQ(b->Values[500], 0);
  int32_t last = 0;
  for (int32_t i = 1; i <= 500; ++i)
    if (b->Values[i] > 0) last = i;
  EXPECT_LT(last, 500);
  EXPECT_TRUE(zqtest::RelClose(b->Values[1], Planck(10, 3), 1e-12));
}

TEST(Blackbody, EarlyStopLeavesNothingOfAnEarlierCurve) {
  // 6 K stops near 3800 cm-1; whatever the table held before, the result is the fresh 6 K curve.
  auto fresh = Curve(0, 5000, 500);
  fresh->ComputeValues(6);
  auto reused = Curve(0, 5000, 500);
  reused->ComputeValues(300);
  reused->ComputeValues(6);
  ASSERT_EQ(fresh->Values[500], 0);
  ASSERT_GT(fresh->Values[1], 0);
  for (int32_t i = 0; i <= 500; ++i)
    ASSERT_EQ(reused->Values[i], fresh->Values[i]) << "entry " << i;
}

TEST(Blackbody, InvertedRangeKeepsTheTableAndPlotsDownwards) {
  auto b = Curve(0, 5000, 500);
  b->ComputeValues(288);
  const double kept = b->Values[10];
  b->XMin = 800;
  b->XMax = 400;
  b->ComputeValues(500);
  EXPECT_EQ(b->Values[10], kept);
  TLineSeries s;
  b->AddValuesToSeries(s);
  ASSERT_EQ(s.Count(), 500u);
  EXPECT_DOUBLE_EQ(s.XValues()[0], 799.2);
  EXPECT_DOUBLE_EQ(s.XValues()[499], 400);
}

TEST(Blackbody, NumberOfValuesOutsideItsTableIsRefusedOrLimited) {
  auto b = Curve(0, 5000, 0);
  b->ComputeValues(288);
  EXPECT_FALSE(b->Reason().empty());
  TLineSeries s;
  b->AddValuesToSeries(s);
  EXPECT_EQ(s.Count(), 0u);
  b->Number_of_Values = -7;
  b->ComputeValues(288);
  b->AddValuesToSeries(s);
  EXPECT_EQ(s.Count(), 0u);
  b->Number_of_Values = 60000;
  zqtest::TempDir logs; // the limit is logged
  const auto folder = zqlog::InstallLogFolder(logs.path());
  b->ComputeValues(288);
  zqlog::InstallLogFolder(folder);
  EXPECT_NE(zqtest::ReadFile(logs / "Log.txt").find("limited to 50001"), std::string::npos);
  EXPECT_NE(b->Note().find("50001"), std::string::npos);
  EXPECT_TRUE(b->Reason().empty());
  b->AddValuesToSeries(s);
  ASSERT_EQ(s.Count(), 50001u);
  EXPECT_DOUBLE_EQ(s.XValues().back(), 50001 * 0.099);
  EXPECT_GT(s.YValues().back(), 0);
}

TEST(DatafileTypes, RegisteredInOrderAndFoundIgnoringCase) {
  TzqDatafile_TypeList& types = DatafileTypes();
  const std::size_t before = types.Count();
  RegisterDatafileTypes();
  EXPECT_EQ(types.Count(), before + 3);
  EXPECT_NE(dynamic_cast<T_zq_Blackbody*>(types.CreateByType("Blackbody").get()), nullptr);
  EXPECT_NE(dynamic_cast<T_zq_Blackbody*>(types.CreateByType("BLACKBODY").get()), nullptr);
  auto hitran = types.CreateByType("hitran 100");
  auto* lines = dynamic_cast<T_zq_HITRAN*>(hitran.get());
  ASSERT_NE(lines, nullptr);
  ASSERT_EQ(lines->ParameterCount(), 1);
  EXPECT_EQ(lines->ParameterAt(0)->Key, "Molecule_type");
  EXPECT_EQ(lines->ParameterAt(0)->DefaultText, "xx");
  EXPECT_EQ(lines->ParameterAt(0)->Options, "notrim");
  EXPECT_EQ(types.CreateByType("HITRAN100"), nullptr);
  EXPECT_NE(types.CreateByType("Generic"), nullptr);
}
