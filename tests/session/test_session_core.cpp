// The main window's Qt-free rules: plot titles and path factors, temperature scales and blackbody power,
// the wavenumber/wavelength pair, nominal layer values in both encodings, and the start-up loader.
#include "FakePlatform.h"
#include "TestSupport.h"
#include "zqBlackbody.h"
#include "zqDatafileLoader.h"
#include "zqHITRAN.h"
#include "zqINI_File.h"
#include "zqPhysicalControls.h"
#include "zqPlotTitles.h"
#include "zqRegisterTypes.h"
#include "zqSession.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>

using namespace zqapp;

namespace {

const PlotTexts kTexts{"288.00", "1013", "10000", "350"};

} // namespace

TEST(PlotTitles, DefaultChoiceIsPerMoleculeRawSpectra) {
  PlotTitles t = BuildPlotTitles({}, 1, kTexts);
  EXPECT_EQ(t.firstLine, "HITRAN Intensities - Spectra (per Molecule)");
  EXPECT_EQ(t.secondLine, "");
  EXPECT_EQ(t.leftAxis, "Absorbance x 1E-20 [cm-1 / (molecule/cm2)]");
  EXPECT_TRUE(t.groupsEnabled);
  EXPECT_TRUE(t.envelopeEnabled);
}

TEST(PlotTitles, OpticalDepthForcesBroadenedTitleAndDisablesGroups) {
  PlotTitles t = BuildPlotTitles({TPlotType::OpticalDepth}, 1, kTexts);
  EXPECT_EQ(t.firstLine, "Temperature and Pressure Broadened - Optical Depth for 1 km");
  EXPECT_EQ(t.secondLine, "288.00 °K   1013 mb   10000 ppm water vapor   350 ppm CO2");
  EXPECT_EQ(t.leftAxis, "ln(Absorption)");
  EXPECT_FALSE(t.groupsEnabled);
  EXPECT_FALSE(t.envelopeEnabled);
}

TEST(PlotTitles, MeanPathAxisQuotesAbsorbedPercentage) {
  PlotTitles t = BuildPlotTitles({TPlotType::MeanPath}, 0.5, kTexts);
  EXPECT_EQ(t.leftAxis, "Distance to absorb 50.00% of energy (meters)");
  EXPECT_EQ(t.firstLine, "HITRAN Intensities - Mean Path");
  EXPECT_EQ(t.secondLine, "10000 ppm water vapor   350 ppm CO2");
  EXPECT_EQ(AbsorbedPercentText(0.05), "5.00");
  EXPECT_EQ(AbsorbedPercentText(1), "100.00");
}

TEST(PlotTitles, ScaledBroadenedSpectraNameUnitsAndConditions) {
  PlotTitles t =
      BuildPlotTitles({TPlotType::Spectra, TSpectraType::DopplerBroadened, TScaling::MixingRatio}, 1, kTexts);
  EXPECT_EQ(t.firstLine, "Doppler Broadened - Spectra");
  EXPECT_EQ(t.leftAxis, "Absorbance x 1E-20 [1 / (molecule * mixing ratio/cm2)]");
  EXPECT_EQ(t.secondLine, "288.00 °K   1013 mb   10000 ppm water vapor   350 ppm CO2");
  EXPECT_EQ(BuildPlotTitles({TPlotType::Spectra, TSpectraType::IOverAlpha}, 1, kTexts).firstLine,
            "HITRAN Intensities / Bandwidth (I/Alpha) - Spectra (per Molecule)");
  EXPECT_EQ(BuildPlotTitles({TPlotType::Spectra, TSpectraType::PressureBroadened}, 1, kTexts).secondLine,
            "288.00 °K   1013 mb");
}

TEST(PlotTitles, DemonstrationListsAreNotCalledHitran) {
  PlotTexts demo = kTexts;
  demo.demoLists = true;
  EXPECT_EQ(BuildPlotTitles({}, 1, demo).firstLine,
            "Demonstration List Intensities - Spectra (per Molecule)");
  EXPECT_EQ(BuildPlotTitles({TPlotType::Spectra, TSpectraType::IOverAlpha}, 1, demo).firstLine,
            "Demonstration List Intensities / Bandwidth (I/Alpha) - Spectra (per Molecule)");
  // Broadened plots name their broadening, whatever the lists.
  EXPECT_EQ(BuildPlotTitles({TPlotType::Spectra, TSpectraType::DopplerBroadened}, 1, demo).firstLine,
            BuildPlotTitles({TPlotType::Spectra, TSpectraType::DopplerBroadened}, 1, kTexts).firstLine);
}

TEST(LegendTexts, NameGasWhatIsDrawnAndTheConditionsThatShapeIt) {
  const LegendConditions k{288, 1013, 10000, 350};
  EXPECT_EQ(GasLegendText(LegendGas::Water, {}, k), "H2O lines");
  EXPECT_EQ(GasLegendText(LegendGas::CO2, {TPlotType::Spectra, TSpectraType::Raw, TScaling::MixingRatio}, k),
            "CO2 lines, 350 ppm");
  EXPECT_EQ(GasLegendText(LegendGas::CO2, {TPlotType::Spectra, TSpectraType::IOverAlpha}, k),
            "CO2 lines / width");
  EXPECT_EQ(GasLegendText(LegendGas::Water, {TPlotType::Spectra, TSpectraType::PressureBroadened}, k),
            "H2O, pressure broadened, 288 K, 1013 mb");
  EXPECT_EQ(GasLegendText(LegendGas::Combined, {TPlotType::MeanPath, TSpectraType::DopplerBroadened}, k),
            "H2O + CO2, 10000 + 350 ppm, Doppler, 288 K, 1013 mb");
  // The classic optical depth is pressure broadened unless Doppler is chosen; the HITRAN one follows
  // its profile, and its raw-line types mean Voigt there.
  EXPECT_EQ(GasLegendText(LegendGas::CO2, {TPlotType::OpticalDepth, TSpectraType::Raw}, k),
            "CO2, 350 ppm, pressure broadened, 288 K, 1013 mb");
  const PlotChoice hitranDepth{TPlotType::OpticalDepth, TSpectraType::Raw, TScaling::Raw,
                               TLinePhysics::Hitran};
  EXPECT_EQ(GasLegendText(LegendGas::CO2, hitranDepth, k), "CO2, 350 ppm, Voigt, 288 K, 1013 mb");
  const PlotChoice lorentz{TPlotType::Spectra, TSpectraType::Lorentz, TScaling::Raw, TLinePhysics::Hitran};
  EXPECT_EQ(GasLegendText(LegendGas::Water, lorentz, {250.5, 500, 1, 2}), "H2O, Lorentz, 250.5 K, 500 mb");
  EXPECT_EQ(PlanckLegendText(288), "Planck 288 K");
}

TEST(PathMultiplier, MeanFreePathHalvesAndOpticalThicknessUsesE) {
  zqsession::TPathSetting half = zqsession::PathFromMultiplier(zqsession::TPathType::MeanFreePath, 3);
  EXPECT_NEAR(half.Fraction, 0.875, 1e-15);
  EXPECT_NEAR(half.PathFactor, 3 * std::log(2.0), 1e-15);
  zqsession::TPathSetting e = zqsession::PathFromMultiplier(zqsession::TPathType::OpticalThickness, 3);
  EXPECT_DOUBLE_EQ(e.PathFactor, 3);
  EXPECT_NEAR(e.Fraction, 1 - std::exp(-3.0), 1e-15);
}

TEST(PathMultiplier, ClampedTextKeepsTheMultiplierBetweenBounds) {
  EXPECT_EQ(ClampedEditText("500", 0.1, 100), "100");
  EXPECT_EQ(ClampedEditText("0.05", 0.1, 100), "0.1");
  EXPECT_EQ(ClampedEditText("-1", 0.1, 100), "0.1");
  EXPECT_FALSE(ClampedEditText("50", 0.1, 100));
  // A text that is no number stays as typed (its field says so) instead of becoming a bound.
  EXPECT_FALSE(ClampedEditText("abc", 0.1, 100));
  EXPECT_FALSE(ClampedEditText("1e400", 0.1, 100));
  EXPECT_EQ(ReadEditText("", 7), 7);
  EXPECT_EQ(ReadEditText("2.5", 7), 2.5);
}

TEST(Temperatures, ThreeScalesUseTheOffset273) {
  Temperatures c = FromCelsius(15).value();
  EXPECT_EQ(Fixed2(c.K), "288.00");
  EXPECT_EQ(Fixed2(c.F), "59.00");
  Temperatures k = FromKelvin(737).value();
  EXPECT_EQ(Fixed2(k.C), "464.00");
  EXPECT_EQ(Fixed2(k.F), "867.20");
  Temperatures f = FromFahrenheit(59).value();
  EXPECT_EQ(Fixed2(f.C), "15.00");
  EXPECT_EQ(Fixed2(f.K), "288.00");
}

TEST(Temperatures, AScaleBeyondA32BitRealIsNoTemperature) {
  EXPECT_FALSE(FromKelvin(1e39));
  EXPECT_FALSE(FromCelsius(-1e39));
  EXPECT_FALSE(FromFahrenheit(1e300));
  // 3e38 K fits, but its Fahrenheit value (about 5.4e38) does not.
  EXPECT_FALSE(FromKelvin(3e38));
  EXPECT_TRUE(FromKelvin(1e38));
}

TEST(Temperatures, BlackbodyPowerBothWays) {
  EXPECT_EQ(Fixed2(BlackbodyPower(288)), "390.08");
  EXPECT_EQ(Fixed2(BlackbodyPower(737)), "16728.35");
  auto t = TemperatureForPower(390.08);
  ASSERT_TRUE(t);
  EXPECT_NEAR(*t, 288.0001, 5e-5);
  EXPECT_EQ(Fixed2(*t), "288.00");
  EXPECT_FALSE(TemperatureForPower(0));
  EXPECT_FALSE(TemperatureForPower(-5));
  EXPECT_FALSE(TemperatureForPower(NAN));
}

TEST(WavePair, OtherUnitToTwoDecimals) {
  EXPECT_FALSE(OtherWaveUnit(0));
  EXPECT_EQ(*OtherWaveUnit(1000), 10000);
  EXPECT_EQ(*OtherWaveUnit(3), 3333333.33);
  // Near the top of the 64-bit range: no inf, neither from 1e7 / v nor from the rounding.
  EXPECT_FALSE(OtherWaveUnit(1e-305));
  EXPECT_DOUBLE_EQ(*OtherWaveUnit(1e-300), 1e307);
  EXPECT_EQ(RoundTo2Decimals(1e307), 1e307);
  EXPECT_EQ(*OtherWaveUnit(15000), 666.67);
  EXPECT_EQ(*OtherWaveUnit(666.67), 14999.93);
  EXPECT_EQ(*OtherWaveUnit(14999.93), 666.67);  // the exchange stops here
  EXPECT_EQ(RoundTo2Decimals(667.125), 667.12); // halves to even
  EXPECT_EQ(RoundTo2Decimals(667.135), 667.14);
}

TEST(LayerValues, DegreeSignSplitsInEitherEncoding) {
  auto ansi = SplitLayerValue("0.003 mb  -86.2\xB0"
                              "C");
  auto utf8 = SplitLayerValue("0.003 mb  -86.2\xC2\xB0"
                              "C");
  ASSERT_TRUE(ansi);
  ASSERT_TRUE(utf8);
  EXPECT_EQ(*ansi, (LayerTokens{"0.003", "mb", "-86.2", "C"}));
  EXPECT_EQ(*ansi, *utf8);
  auto surface = SplitLayerValue("1013    mb   15  \xC2\xB0"
                                 "C");
  ASSERT_TRUE(surface);
  EXPECT_EQ(LayerToken(*surface, "mb"), "1013");
  EXPECT_EQ(LayerToken(*surface, "C"), "15");
  EXPECT_FALSE(LayerToken(*surface, "K"));
  EXPECT_FALSE(LayerToken(*surface, "c")); // units compare exactly
}

TEST(LayerValues, OnlyFourTokensCount) {
  EXPECT_FALSE(SplitLayerValue("226 mb"));
  EXPECT_FALSE(SplitLayerValue("226 mb -56.5 C extra"));
  auto kelvinFirst = SplitLayerValue("250 K 500 mb");
  ASSERT_TRUE(kelvinFirst);
  EXPECT_EQ(LayerToken(*kelvinFirst, "mb"), "500");
  EXPECT_EQ(LayerToken(*kelvinFirst, "K"), "250");
  EXPECT_EQ(LayerNumber("-86.2"), -86.2);
  EXPECT_FALSE(LayerNumber("abc"));
}

TEST(Humidity, SaturationMixingRatioAtTheSurface) {
  T_zq_HITRAN water;
  water.SetTemperature(288);
  EXPECT_NEAR(static_cast<double>(water.SaturationPressure()), 16.335, 5e-4);
  auto s = SaturationMixingRatio(water.SaturationPressure(), 1013);
  ASSERT_TRUE(s);
  EXPECT_NEAR(*s, 16125.49, 0.01);
  EXPECT_NEAR(HumidityOfWater(10000, *s), 62.01, 0.005);
  // The pair is one rule read both ways: saturation is 100 %, and a humidity comes back as itself.
  EXPECT_DOUBLE_EQ(WaterOfHumidity(100, *s), *s);
  for (double rh : {0.5, 37.0, 62.01, 100.0, 250.0})
    EXPECT_NEAR(HumidityOfWater(WaterOfHumidity(rh, *s), *s), rh, 1e-12 * rh);
  EXPECT_FALSE(SaturationMixingRatio(water.SaturationPressure(), 0));
  EXPECT_FALSE(SaturationMixingRatio(0, 1013)); // 0 K gives no saturation pressure
}

// ---- start-up loader

namespace {

// One 160-character HITRAN record.
std::string hitran_line(int molecule, double wavenumber, double intensity) {
  char buf[200];
  std::snprintf(buf, sizeof buf, "%2d1%12.6f%10.3E%10.3E.0700%5.3f%10.4f%4.2f%8.6f", molecule, wavenumber,
                intensity, 1.0, 0.090, 100.0, 0.70, 0.0);
  std::string s = buf;
  s.resize(160, ' ');
  return s + "\n";
}

class LoaderTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    if (DatafileTypes().Count() == 0) RegisterDatafileTypes();
  }
  void SetUp() override {
    saved_ = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
  }
  void TearDown() override { std::filesystem::current_path(saved_); }
  void Load(const std::vector<std::string>& lines) {
    ini.SetFilename((dir.path() / "inidir" / "absorbview.ini").string());
    ini.LoadFromLines(lines);
    LoadDatafiles(ini, list);
  }

  zq::FakePlatform fake;
  zqtest::TempDir dir;
  TzqINI_File ini;
  TLoadedDatafiles list;
  std::filesystem::path saved_;
};

} // namespace

TEST_F(LoaderTest, MissingFileIsReportedAndTheObjectStays) {
  Load({"[Application]", "NumberOfFiles = 1", "File 1 = h2o", "[h2o]", "FileType = HITRAN 100",
        "Filename = missing.txt", "Molecule_type = \" 1\""});
  ASSERT_EQ(fake.messages.size(), 1u);
  EXPECT_EQ(fake.messages[0].caption, "File not found");
  EXPECT_EQ(fake.messages[0].text, "The data file specified in the ini file via\n\n   [h2o]\n   filename = "
                                   "missing.txt\n\nCould not be found ");
  ASSERT_EQ(list.size(), 1u);
  EXPECT_NE(dynamic_cast<T_zq_HITRAN*>(FindDatafile(list, "H2O")), nullptr);
}

TEST_F(LoaderTest, FileIsFoundInTheCurrentFolderThenBesideTheIniFile) {
  zqtest::WriteFile(dir / "co2.txt", hitran_line(2, 667, 1e-19) + hitran_line(2, 668, 2e-19));
  std::filesystem::create_directory(dir / "inidir");
  zqtest::WriteFile(dir / "inidir" / "h2o.txt", hitran_line(1, 1595, 3e-19));
  Load({"[Application]", "NumberOfFiles = 2", "File 1 = co2", "File2 = h2o", "[co2]", "FileType = HITRAN 100",
        "Filename = co2.txt", "Molecule_type = \" 2\"", "[h2o]", "FileType = HITRAN 100",
        "Filename = h2o.txt", "Molecule_type = \" 1\""});
  EXPECT_TRUE(fake.messages.empty());
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(FindDatafile(list, "co2")->RecordCount(), 2u);
  EXPECT_EQ(FindDatafile(list, "h2o")->RecordCount(), 1u); // key without blank, file beside the INI file
}

TEST_F(LoaderTest, DefaultsSkipsAndTypes) {
  // No NumberOfFiles and no file key: a section "DataFile" is file 1; without FileType it is Generic.
  Load({"[DataFile]", "Header = x", "[blackbody 1]", "FileType = skip", "FileType = Blackbody"});
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].Name, "DataFile");
  EXPECT_EQ(dynamic_cast<T_zq_Blackbody*>(list[0].Object.get()), nullptr);

  TLoadedDatafiles second;
  TzqINI_File other;
  other.LoadFromLines({"[Application]", "NumberOfFiles = 4", "File 1 = nosuch", "File 2 = ", "File 3 = odd",
                       "File 4 = blackbody 1", "[odd]", "FileType = Spreadsheet", "[blackbody 1]",
                       "FileType = skip", "FileType = Blackbody", "Temperature = 250"});
  LoadDatafiles(other, second);
  ASSERT_EQ(second.size(), 1u); // missing section, empty entry and unknown type are skipped silently
  auto* bb = dynamic_cast<T_zq_Blackbody*>(FindDatafile(second, "Blackbody 1"));
  ASSERT_NE(bb, nullptr);
  EXPECT_EQ(bb->Temperature, 250);
  EXPECT_TRUE(fake.messages.empty());
}

TEST_F(LoaderTest, OnlyListedEntriesAreVisitedInNumericOrderAndNoKeyIsAdded) {
  const std::vector<std::string> lines{
      "[Application]",        "NumberOfFiles = 1000", "File 12 = blackbody 3",   "File7 = blackbody 2",
      "File 1 = blackbody 1", "File 1000 = nosuch",   "File 1001 = blackbody 4", "[blackbody 1]",
      "FileType = Blackbody", "[blackbody 2]",        "FileType = Blackbody",    "[blackbody 3]",
      "FileType = Blackbody", "[blackbody 4]",        "FileType = Blackbody"};
  ini.LoadFromLines(lines);
  std::vector<std::string> before, after;
  ini.GetKeyNames("Application", before);
  LoadDatafiles(ini, list);
  ini.GetKeyNames("Application", after);
  // Looking up every number up to the count would add keys here (and never end below).
  ASSERT_EQ(after, before);
  ASSERT_EQ(list.size(), 3u); // File 1001 lies beyond NumberOfFiles
  EXPECT_EQ(list[0].Name, "blackbody 1");
  EXPECT_EQ(list[1].Name, "blackbody 2");
  EXPECT_EQ(list[2].Name, "blackbody 3");

  // A count near the 32-bit limit with one entry far out is one look-up, not two billion.
  TzqINI_File huge;
  huge.LoadFromLines({"[Application]", "NumberOfFiles = 2000000000", "File 999999999 = blackbody 1",
                      "[blackbody 1]", "FileType = Blackbody"});
  TLoadedDatafiles hugeList;
  LoadDatafiles(huge, hugeList);
  ASSERT_EQ(hugeList.size(), 1u);
  std::vector<std::string> keys;
  huge.GetKeyNames("Application", keys);
  EXPECT_EQ(keys.size(), 2u);
}

TEST_F(LoaderTest, UnreadableLineIsReportedAndEarlierLinesStay) {
  std::string bad = hitran_line(2, 669, 1e-19);
  bad.replace(15, 10, "  1.0x-19 ");
  zqtest::WriteFile(dir / "co2.txt", hitran_line(2, 667, 1e-19) + bad);
  Load({"[Application]", "File 1 = co2", "[co2]", "FileType = HITRAN 100", "Filename = co2.txt",
        "Molecule_type = \" 2\""});
  ASSERT_EQ(fake.messages.size(), 1u);
  EXPECT_EQ(fake.messages[0].caption, "Data file error");
  EXPECT_NE(fake.messages[0].text.find("filename = co2.txt"), std::string::npos);
  EXPECT_EQ(FindDatafile(list, "co2")->RecordCount(), 1u);
}

// A field's text is refused only when it cannot become a number: not while a number is being typed, and
// never by reading a number beyond the 64-bit range as another value.
TEST(FieldText, UnreadableNumbersAreNamedAndPartialOnesWait) {
  for (const char* typing : {"", "-", ".", "1.", "12e", "1e-", "2.5E+", "1013"})
    EXPECT_EQ(zqapp::UnreadableNumberReason(typing), "") << typing;
  EXPECT_EQ(zqapp::UnreadableNumberReason("1e400"), "\"1e400\" is not a number");
  EXPECT_EQ(zqapp::UnreadableNumberReason("-1e400"), "\"-1e400\" is not a number");
  EXPECT_EQ(zqapp::UnreadableNumberReason("abc"), "\"abc\" is not a number");
  EXPECT_EQ(zqapp::UnreadableNumberReason("1..2"), "\"1..2\" is not a number");
  EXPECT_EQ(zqapp::TemperatureReason(-10), "Temperature must be above 0 K");
  EXPECT_EQ(zqapp::TemperatureReason(0), "Temperature must be above 0 K");
  EXPECT_EQ(zqapp::TemperatureReason(0.5), "");
}
