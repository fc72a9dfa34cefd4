// Planck curve table, computed in extended precision with an early stop once values underflow.
#include "zqBlackbody.h"

#include "zqGrid.h"
#include "zqLineSeries.h"
#include "zqPhysicalConstants.h"
#include "zqPlanck.h"
#include "zqSeriesPoints.h"
#include "zq_LogFiles.h"

#include <algorithm>
#include <cmath>

namespace {
// The curves' Planck pair: c1 (W m2), c2 (m K).
constexpr long double kC1 = zqconst::ClassicPlanckC1;
constexpr long double kC2 = zqconst::ClassicPlanckC2;
constexpr long double kUnderflow = 1e-400L; // the table ends at the first value below it
constexpr double kClearBelow = 5.0;         // K
constexpr double kNothingBelow = 0.1;       // K
constexpr double kPlotMultiplier = 1000;
} // namespace

T_zq_Blackbody::T_zq_Blackbody() {
  XMin = 0;
  XMax = 5000;
  AddParameter(&Temperature, "real", "Temperature", "", 273);
  AddParameter(&Number_of_Values, "Integer", "Number_of_Values", "", 200);
}

int32_t T_zq_Blackbody::ValueCount() const {
  return std::clamp<int32_t>(Number_of_Values, 0, kMaxValues);
}

double T_zq_Blackbody::Step() const {
  return zqgrid::TruncatedStep(XMin, XMax, ValueCount());
}

void T_zq_Blackbody::ComputeValues(double temperature) {
  reason_.clear();
  note_.clear();
  if (Number_of_Values < 1) {
    reason_ = "Number_of_Values must be at least 1";
    return;
  }
  if (Number_of_Values > kMaxValues) {
    note_ = "Number_of_Values is limited to 50001";
    if (!limit_logged_)
      DefaultLogFiles.Log("Blackbody Number_of_Values " + std::to_string(Number_of_Values) +
                          " is limited to 50001");
    limit_logged_ = true;
  }
  const int32_t n = ValueCount();
  if (!(zqgrid::TruncatedStep(10, 10000, n) > 0)) return;
  // A temperature that is not a number is treated like 0 K.
  const bool known = std::isfinite(temperature);
  if (!known || temperature <= kClearBelow) std::fill(Values.begin(), Values.begin() + n + 1, 0.0);
  if (!known || temperature <= kNothingBelow) {
    if (!known) reason_ = "Temperature is not a number";
    return;
  }
  const long double step = Step();
  if (!(step > 0)) {
    reason_ = "Wavenumber range is too narrow or inverted for the curve";
    return;
  }
  const long double t = temperature;
  for (int32_t i = 1; i <= n; ++i) {
    const long double wavenumber = XMin + i * step; // cm-1
    if (!(wavenumber > 0)) {
      Values[static_cast<std::size_t>(i)] = 0; // no radiation at or below 0 cm-1
      continue;
    }
    const long double lambda = 0.01L / wavenumber; // m
    long double power = 1;
    for (int32_t e = 0; e < WavelengthExponent; ++e)
      power *= lambda;
    const long double f = zqplanck::ClassicLaw(kC1, kC2, power, lambda, t);
    if (f < kUnderflow) {
      // Nothing of an earlier temperature's curve may stay beyond the stop.
      std::fill(Values.begin() + i, Values.begin() + n + 1, 0.0);
      return;
    }
    Values[static_cast<std::size_t>(i)] = static_cast<double>(f);
  }
}

void T_zq_Blackbody::AddValuesToSeries(TLineSeries& series) {
  const long double step = Step();
  TzqSeriesBatch batch(series);
  series.Clear();
  series.SetXOrderNone();
  const int32_t n = ValueCount();
  series.Reserve(static_cast<std::size_t>(n));
  for (int32_t i = 1; i <= n; ++i)
    zqmodel::AddFinitePoint(series, static_cast<double>(XMin + i * step),
                            kPlotMultiplier * Values[static_cast<std::size_t>(i)]);
}
