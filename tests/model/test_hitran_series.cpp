// The chart series of a line list and the absorbed-power integrals, including the refusals that
// keep NaN, infinity and divisions by zero out of every series and result.
#include "ModelTestHelpers.h"
#include "zqLineSeries.h"
#include "zqPlotModes.h"

#include <gtest/gtest.h>

#include <cctype>

using modeltest::Line;
using modeltest::LoadText;
namespace {
constexpr long N = T_zq_HITRAN::kGridPoints;

std::unique_ptr<T_zq_HITRAN> Sample() {
  auto list = LoadText(Line(450, 1e-20, 0.05) + "\n" + Line(1000, 2e-20, 0.05) + "\n" + Line(1500, 0, 0.05) +
                       "\n" + Line(6000, 1e-20, 0.05) + "\n");
  list->SetWavenumberMin(0);
  list->SetWavenumberMax(5000);
  list->SetTemperature(288);
  list->SetPressure(1013);
  list->SetMixingRatio(350);
  list->MaxPath = 1000;
  list->MinPath = 0;
  return list;
}

void ExpectAllFinite(const TLineSeries& s) {
  for (std::size_t i = 0; i < s.Count(); ++i)
    ASSERT_TRUE(std::isfinite(s.XValues()[i]) && std::isfinite(s.YValues()[i])) << i;
}

void Fill(T_zq_HITRAN& list, TLineSeries& s, const char* plot, const char* spectra,
          const char* scaling = "raw") {
  list.PlotType = plot;
  list.SpectraType = spectra;
  list.Scaling = scaling;
  list.PlotSeries(s, "spectra", "wavenumber");
}
} // namespace

TEST(HitranSeries, RawLinesShowFileValuesInTheRange) {
  auto list = Sample();
  TLineSeries s;
  s.AddXY(1, 1);
  Fill(*list, s, "Spectra", "raw");
  ASSERT_EQ(s.Count(), 3u); // 6000 cm-1 is outside the range
  EXPECT_EQ(s.XValues()[1], 1000);
  EXPECT_DOUBLE_EQ(s.YValues()[1], 2e-20 * 1e20);
  EXPECT_EQ(s.YValues()[2], 1e-8); // intensity 0
  Fill(*list, s, "Spectra", "I/Alpha");
  EXPECT_DOUBLE_EQ(s.YValues()[1], 2.0 / 0.05);
  Fill(*list, s, "Spectra", "raw", "Mixing Ratio");
  EXPECT_DOUBLE_EQ(s.YValues()[1], 2e-20 * 1e20 * 350);
}

TEST(HitranSeries, LineMeanPathsClampAndZeroIntensityPlotsAtMaxPath) {
  auto list = Sample();
  list->PathFactor = 1;
  TLineSeries s;
  Fill(*list, s, "Mean Path", "raw");
  ASSERT_EQ(s.Count(), 3u);
  const double q = 1 / (M_PI * list->NumberDensity() * 4);
  EXPECT_TRUE(zqtest::RelClose(s.YValues()[1], q / 2e-20, 1e-14));
  EXPECT_EQ(s.YValues()[2], 1000);
  list->MinPath = 1e9;
  Fill(*list, s, "Mean Path", "raw");
  EXPECT_EQ(s.YValues()[1], 1000); // raised to MinPath, then lowered to MaxPath
}

TEST(HitranSeries, SpectrumScalingAndGrid) {
  auto list = Sample();
  TLineSeries raw, scaled;
  Fill(*list, raw, "Spectra", "Temperature and Pressure Broadened");
  Fill(*list, scaled, "Spectra", "Temperature and Pressure Broadened", "Mixing Ratio");
  ASSERT_EQ(raw.Count(), static_cast<std::size_t>(N));
  EXPECT_EQ(raw.XValues().front(), 0.1);
  EXPECT_EQ(raw.XValues().back(), 5000);
  EXPECT_DOUBLE_EQ(raw.YValues()[9999], list->Spectrum[10000] * 1e20);
  for (std::size_t i = 0; i < raw.Count(); i += 97)
    EXPECT_DOUBLE_EQ(scaled.YValues()[i], raw.YValues()[i] * 350);
  EXPECT_FALSE(list->DopplerBroadening);
  Fill(*list, raw, "Spectra", "Temperature, Pressure, and Doppler Broadened");
  EXPECT_TRUE(list->DopplerBroadening);
  Fill(*list, raw, "Nothing", "raw");
  EXPECT_EQ(raw.Count(), 0u);
}

TEST(HitranSeries, MeanPathsAndOpticalDepths) {
  auto list = Sample();
  list->PathFactor = std::log(2.0);
  TLineSeries paths, depths;
  Fill(*list, paths, "Mean Path", "Temperature and Pressure Broadened");
  Fill(*list, depths, "Optical Depth", "raw");
  ASSERT_EQ(paths.Count(), static_cast<std::size_t>(N));
  const double n = list->NumberDensity();
  EXPECT_TRUE(zqtest::RelClose(n, 350 * 2.5294256e15, 1e-15));
  const double q = std::log(2.0) / (M_PI * n * 4);
  const double s = list->Spectrum[10000];
  EXPECT_TRUE(zqtest::RelClose(paths.YValues()[9999], std::min(q / s, 1000.0), 1e-13));
  EXPECT_EQ(paths.YValues()[30000], 1000); // no line near 3000 cm-1: spectrum 0
  EXPECT_TRUE(
      zqtest::RelClose(depths.YValues()[9999], std::log(s * M_PI * n * 1000 * 4 / std::log(2.0)), 1e-13));
  EXPECT_EQ(depths.YValues()[30000], -5);
}

TEST(HitranSeries, OpticalDepthOfAnAllZeroSpectrumIsMinusFive) {
  auto list = Sample();
  list->SetMixingRatio(0);
  list->SetTemperature(280);
  TLineSeries s;
  Fill(*list, s, "Optical Depth", "raw");
  ASSERT_EQ(s.Count(), static_cast<std::size_t>(N));
  for (double y : s.YValues())
    ASSERT_EQ(y, -5);
  // Computed as the physics says: a note, not a refusal.
  EXPECT_NE(list->Note().find("floor"), std::string::npos);
  EXPECT_TRUE(list->Reason().empty());
}

TEST(HitranSeries, RangesThatCannotCarryAGridLeaveTheSeriesEmptyWithAReason) {
  auto list = Sample();
  TLineSeries s;
  struct Range {
    double min, max;
    const char* reason;
  };
  for (const Range& r : {Range{0, 40, "at least 50 cm-1"}, Range{100, 100, "above the minimum"},
                         Range{5000, 0, "above the minimum"}, Range{-10, 500, "negative"}}) {
    list->SetWavenumberMin(r.min);
    list->SetWavenumberMax(r.max);
    for (const char* plot : {"Spectra", "Optical Depth", "Mean Path"}) {
      s.AddXY(1, 1);
      Fill(*list, s, plot, "Temperature and Pressure Broadened");
      EXPECT_EQ(s.Count(), 0u) << plot << " " << r.min << ".." << r.max;
      EXPECT_NE(list->Reason().find(r.reason), std::string::npos) << list->Reason();
    }
    list->AddSpectrum(s); // called directly, as the window's hidden buttons do
    EXPECT_EQ(s.Count(), 0u);
    EXPECT_EQ(list->FractionBelowPath(1e9), 0);
    EXPECT_EQ(list->AbsorbedBlackbodyPower(1e9), 0);
  }
  list->SetWavenumberMin(0);
  list->SetWavenumberMax(50);
  EXPECT_EQ(list->Step(), 0.001);
}

TEST(HitranSeries, UnphysicalStatesGiveEmptyOrZeroResultsWithAReason) {
  TLineSeries s;
  {
    auto list = Sample(); // 0 K: nothing can be computed
    list->SetTemperature(0);
    Fill(*list, s, "Spectra", "Temperature and Pressure Broadened");
    ExpectAllFinite(s);
    for (double y : s.YValues())
      ASSERT_EQ(y, 0);
    EXPECT_NE(list->Reason().find("0 K"), std::string::npos);
    Fill(*list, s, "Mean Path", "Temperature and Pressure Broadened");
    EXPECT_EQ(s.Count(), 0u);
    Fill(*list, s, "Mean Path", "raw");
    EXPECT_EQ(s.Count(), 0u);
    Fill(*list, s, "Spectra", "Temperature, Pressure, and Doppler Broadened");
    ExpectAllFinite(s);
    EXPECT_EQ(list->AbsorbedBlackbodyPower(1000), 0);
    EXPECT_EQ(list->NumberDensity(), 0);
    list->SetTemperature(-5);
    list->AdjustLines(1013, -5);
    EXPECT_EQ(list->Records[0].AdjustedWidth, 0);
  }
  {
    auto list = Sample(); // no pressure: no molecules, endless paths
    list->SetPressure(0);
    Fill(*list, s, "Mean Path", "Temperature and Pressure Broadened");
    ASSERT_EQ(s.Count(), static_cast<std::size_t>(N));
    for (double y : s.YValues())
      ASSERT_EQ(y, 1000);
    Fill(*list, s, "Optical Depth", "raw");
    for (double y : s.YValues())
      ASSERT_EQ(y, -5);
    EXPECT_NE(list->Note().find("Pressure"), std::string::npos);
    EXPECT_TRUE(list->Reason().empty());
    EXPECT_EQ(list->FractionBelowPath(1e30), 0);
  }
  {
    auto list = Sample(); // path factor 0: no path to absorb nothing over
    list->PathFactor = 0;
    Fill(*list, s, "Optical Depth", "raw");
    EXPECT_EQ(s.Count(), 0u);
    Fill(*list, s, "Mean Path", "Temperature and Pressure Broadened");
    EXPECT_EQ(s.Count(), 0u);
    EXPECT_NE(list->Reason().find("Path factor"), std::string::npos);
  }
}

TEST(HitranSeries, HugeFileValuesNeverReachTheChartAsInfinity) {
  const std::string huge = modeltest::Record(modeltest::Fields().Nu("1001").S("1.7E+308"));
  auto list = LoadText(Line(1000, 1e-20, 0.05) + "\n" + huge + "\n" + huge + "\n");
  list->SetWavenumberMin(0);
  list->SetWavenumberMax(5000);
  list->SetTemperature(296);
  list->SetPressure(1013);
  TLineSeries s;
  for (const char* spectra : {"raw", "I/Alpha"}) {
    Fill(*list, s, "Spectra", spectra);
    ExpectAllFinite(s);
    EXPECT_FALSE(list->Note().empty()) << spectra;
  }
  // A broadened value beyond the double range absorbs everything: no number, 0 least of all, stands
  // for it, so the spectrum, its optical depth and its absorbed power are refused, naming the line
  // (the fill then holds zeros that the refusal stands over, as for every refused spectrum).
  for (const char* plot : {"Spectra", "Optical Depth"}) {
    Fill(*list, s, plot, "Temperature and Pressure Broadened");
    ExpectAllFinite(s);
    EXPECT_NE(list->Reason().find("the line at 1001.000000 cm-1 with intensity 1.7e+308"), std::string::npos)
        << list->Reason();
  }
  EXPECT_EQ(list->AbsorbedBlackbodyPower(1000), 0);
  EXPECT_NE(list->Reason().find("too large to represent"), std::string::npos);
  for (long k = 1; k <= N; ++k)
    ASSERT_TRUE(std::isfinite(list->Spectrum[k]));
}

TEST(AbsorbedPower, IntegralsOverPathsBelowL) {
  auto list = Sample();
  list->PathFactor = 1;
  list->UpdateSpectrum();
  const double q = 1 / (M_PI * list->NumberDensity() * 4);
  long below = 0;
  long double power = 0;
  const double L = 1000;
  for (long k = 1; k <= N; ++k) {
    const double path = list->Spectrum[k] > 0 ? q / list->Spectrum[k] : 1e6;
    if (path >= L) continue;
    ++below;
    const long double lambda = 0.01L / (k * 0.1L);
    power += 3.74183e-16L / (lambda * lambda * lambda * (std::exp(0.014388L / (lambda * 288)) - 1)) *
             (1 - std::exp(-L / path));
  }
  ASSERT_GT(below, 0);
  EXPECT_DOUBLE_EQ(list->FractionBelowPath(L), static_cast<double>(below) / N);
  EXPECT_TRUE(
      zqtest::RelClose(list->AbsorbedBlackbodyPower(L), static_cast<double>(0.1L * power / 0.01L), 1e-12));
  EXPECT_EQ(list->WeightedAbsorption(L), 0); // no weight table
  std::vector<double> ones(N, 1.0);
  EXPECT_GT(list->WeightedAbsorption(L, ones), 0);
  EXPECT_EQ(list->AbsorbedBlackbodyPower(1e-30), 0); // no point absorbs within so short a path
}

TEST(AbsorbedPower, BringsTheSpectrumUpToDateEvenWhenNothingCanBeIntegrated) {
  // The combined spectrum is built from the line lists' spectra right after these integrals.
  auto list = Sample();
  list->UpdateSpectrum();
  list->SetTemperature(250);
  list->PathFactor = 0;
  EXPECT_EQ(list->AbsorbedBlackbodyPower(1000), 0);
  EXPECT_FALSE(list->Dirty);
  auto fresh = Sample();
  fresh->SetTemperature(250);
  fresh->UpdateSpectrum();
  EXPECT_EQ(list->Spectrum[10000], fresh->Spectrum[10000]);
  list->PathFactor = 1;
  list->SetPressure(0); // no molecules: nothing absorbed, and the spectrum is zero
  EXPECT_EQ(list->FractionBelowPath(1e30), 0);
  EXPECT_FALSE(list->Dirty);
  EXPECT_EQ(list->Spectrum[10000], 0);
}

// The three mode texts are parsed from one table: each named text fills the series, a misspelt one
// leaves it empty and says which text was not understood.
TEST(HitranSeries, MisspeltModeTextsAreRefusedByName) {
  auto list = Sample();
  TLineSeries s;
  struct Case {
    const char *plot, *spectra, *scaling, *reason;
  };
  for (const Case& c :
       {Case{"spectra", "raw", "raw", "Unknown plot type \"spectra\""},
        Case{"Spectra", "Raw", "raw", "Unknown spectra type \"Raw\""},
        Case{"Optical Depth", "Temperature and Pressure Broadened", "mixing ratio",
             "Unknown scaling \"mixing ratio\""},
        // The column's plot: one line list cannot draw it.
        Case{"Outgoing Radiation", "Temperature and Pressure Broadened", "raw",
             "The Outgoing Radiation plot comes from the atmosphere column, not from one line list"}}) {
    s.AddXY(1, 1);
    Fill(*list, s, c.plot, c.spectra, c.scaling);
    EXPECT_EQ(s.Count(), 0u) << c.plot;
    EXPECT_EQ(list->Reason(), c.reason);
  }
  for (TPlotType plot : {TPlotType::Spectra, TPlotType::OpticalDepth, TPlotType::MeanPath})
    for (TSpectraType spectra : {TSpectraType::Raw, TSpectraType::IOverAlpha, TSpectraType::PressureBroadened,
                                 TSpectraType::DopplerBroadened}) {
      Fill(*list, s, PlotTypeText(plot).c_str(), SpectraTypeText(spectra).c_str(),
           ScalingText(TScaling::MixingRatio).c_str());
      EXPECT_EQ(list->Reason(), "");
      EXPECT_GT(s.Count(), 0u);
      // A plot of lines has one point per line in the range; a grid plot one per grid point.
      EXPECT_EQ(s.Count() == 50000u, !IsLinePlot(plot, spectra))
          << PlotTypeText(plot) << "/" << SpectraTypeText(spectra);
    }
}

TEST(PlotModes, TextsRoundTripAndRadioIndicesAreTheEnumValues) {
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(ParsePlotType(PlotTypeText(*PlotTypeOfIndex(i))), PlotTypeOfIndex(i));
  EXPECT_EQ(PlotTypeText(TPlotType::OutgoingRadiation), "Outgoing Radiation");
  EXPECT_FALSE(IsLinePlot(TPlotType::OutgoingRadiation, TSpectraType::Raw));
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(ParseSpectraType(SpectraTypeText(*SpectraTypeOfIndex(i))), SpectraTypeOfIndex(i));
  for (int i = 0; i < 2; ++i)
    EXPECT_EQ(ParseScaling(ScalingText(*ScalingOfIndex(i))), ScalingOfIndex(i));
  EXPECT_FALSE(PlotTypeOfIndex(4));
  EXPECT_FALSE(SpectraTypeOfIndex(-1));
  EXPECT_FALSE(ParseScaling(""));
  EXPECT_EQ(SpectraTypeText(TSpectraType::DopplerBroadened), "Temperature, Pressure, and Doppler Broadened");
}

TEST(PlotModes, SpectraNamesOfButtonsTableAndCommandLineNameTheSameTypes) {
  // Every radio item's caption and table text names its own type under its physics, in any case.
  for (TLinePhysics physics : {TLinePhysics::Classic, TLinePhysics::Hitran})
    for (TSpectraType type : SpectraTypeItems(physics)) {
      std::string upper = SpectraTypeCaption(type);
      for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      EXPECT_EQ(ParseSpectraName(SpectraTypeCaption(type), physics), type);
      EXPECT_EQ(ParseSpectraName(" " + upper + " ", physics), type);
      EXPECT_EQ(ParseSpectraName(SpectraTypeText(type), physics), type);
    }
  EXPECT_EQ(ParseSpectraName("Temp && Pressure", TLinePhysics::Classic), TSpectraType::PressureBroadened);
  EXPECT_EQ(ParseSpectraName("pressure", TLinePhysics::Classic), TSpectraType::PressureBroadened);
  // "Doppler" is each physics' own; a name of the other physics still parses (and is refused by name).
  EXPECT_EQ(ParseSpectraName("doppler", TLinePhysics::Classic), TSpectraType::DopplerBroadened);
  EXPECT_EQ(ParseSpectraName("doppler", TLinePhysics::Hitran), TSpectraType::Doppler);
  EXPECT_EQ(ParseSpectraName("voigt", TLinePhysics::Classic), TSpectraType::Voigt);
  EXPECT_EQ(ParseSpectraName("Temp", TLinePhysics::Classic), std::nullopt);
  EXPECT_EQ(ParseSpectraName("", TLinePhysics::Hitran), std::nullopt);
}
