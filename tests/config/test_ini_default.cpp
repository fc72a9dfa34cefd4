// The embedded default configuration: its exact layout and every key that the program reads from it.
#include "FakePlatform.h"
#include "TestSupport.h"
#include "zqINI_Default.h"
#include "zqINI_File.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <memory>

namespace {

struct Expected {
  const char* section;
  const char* key;
  const char* value;
};

// Values as stored after trimming.
const Expected kDefaults[] = {
    {"Application", "NumberOfFiles", "6"},
    {"Application", "File 1", "h2o"},
    {"Application", "File 2", "CO2"},
    {"Application", "File 3", "Blackbody 1"},
    {"Application", "File 4", "Blackbody 2"},
    {"Application", "File 5", "Blackbody 3"},
    {"Application", "File 6", "combined"},
    {"graph1", "Title", "Spectra"},
    {"graph1", "xlabel", "Wavenumber (cm-1)"},
    {"graph1", "ylabel", "Absorbance x 1E-20 [cm-1 / (molecule/cm2)]"},
    {"graph2", "Title", "Mean Free Path"},
    {"graph2", "xlabel", "Wavenumber (cm-1)"},
    {"graph2", "ylabel", "Optical Thickness (m)"},
    {"Axes", "xmin", "400"},
    {"Axes", "xmax", "800"},
    {"Axes", "ymin", "0"},
    {"Axes", "ymax", "1"},
    {"Axes", "yDivisions", "5"},
    {"Right Axis", "min", "0"},
    {"Right Axis", "max", "10"},
    {"Right Axis", "label", "Blackbody (W/m2/cm-1 x10)"},
    {"Right Axis - Venus", "min", "0"},
    {"Right Axis - Venus", "max", "100"},
    {"Right Axis - Venus", "label", "Blackbody (W/m2/cm-1 x10)"},
    {"X Series", "Type", "value"},
    {"CO2", "Caption", "CO2"},
    {"CO2", "Filename", "02_CO2.txt"},
    {"CO2", "FileType", "HITRAN 100"},
    {"CO2", "SeriesType", "Spectra"},
    {"CO2", "Record_type", "100"},
    {"CO2", "x-type", "wavenumber"},
    {"CO2", "Molecule_type", "\" 2\""},
    {"CO2", "color", "$0000FF"},
    {"CO2", "ppmv", "350"},
    {"h2o", "Caption", "H2O"},
    {"h2o", "Filename", "01_h2o_161_only.txt"},
    {"h2o", "FileType", "HITRAN 100"},
    {"h2o", "SeriesType", "Spectra"},
    {"h2o", "Record_type", "100"},
    {"h2o", "x-type", "wavenumber"},
    {"h2o", "Molecule_type", "\" 1\""},
    {"h2o", "color", "$FF0000"},
    {"OH", "Record_type", "100"},
    {"OH", "Molecule_type", "\"13\""},
    {"Combined", "Caption", "Combined"},
    {"Combined", "FileType", "HITRAN 100"},
    {"Combined", "SeriesType", "Spectra"},
    {"Combined", "x-type", "wavenumber"},
    {"Combined", "Display", "no"},
    {"Combined", "color", "$0080FF"},
    {"blackbody 1", "Caption", "Blackbody - Main"},
    {"blackbody 1", "FileType", "Blackbody"},
    {"blackbody 1", "SeriesType", "Blackbody"},
    {"blackbody 1", "Temperature", "288"},
    {"blackbody 1", "Number_of_Values", "500"},
    {"blackbody 1", "x-type", "wavenumber"},
    {"blackbody 1", "color", "$000000"},
    {"blackbody 2", "Caption", "Blackbody 2"},
    {"blackbody 2", "FileType", "Blackbody"},
    {"blackbody 2", "SeriesType", "Blackbody"},
    {"blackbody 2", "Temperature", "300"},
    {"blackbody 2", "Number_of_Values", "500"},
    {"blackbody 2", "x-type", "wavenumber"},
    {"blackbody 2", "color", "$00e0e0"},
    {"blackbody 3", "Caption", "Blackbody 3"},
    {"blackbody 3", "FileType", "Blackbody"},
    {"blackbody 3", "SeriesType", "Blackbody"},
    {"blackbody 3", "Temperature", "200"},
    {"blackbody 3", "Number_of_Values", "500"},
    {"blackbody 3", "x-type", "wavenumber"},
    {"blackbody 3", "color", "$00c0c0"},
    {"Atmosphere Layers", "Mesopause",
     "0.003 mb  -86.2\xB0"
     "C"},
    {"Atmosphere Layers", "Mesosphere",
     "0.1  mb  -50  \xB0"
     "C"},
    {"Atmosphere Layers", "Stratopause",
     "1    mb   -2.5\xB0"
     "C"},
    {"Atmosphere Layers", "Stratosphere",
     "54    mb  -44.5\xB0"
     "C"},
    {"Atmosphere Layers", "Tropopause 2",
     "226    mb  -70  \xB0"
     "C"},
    {"Atmosphere Layers", "Tropopause 1",
     "226    mb  -56.5\xB0"
     "C"},
    {"Atmosphere Layers", "Troposphere",
     "500    mb  -20  \xB0"
     "C"},
    {"Atmosphere Layers", "Surface",
     "1013    mb   15  \xB0"
     "C"},
};

// The store as start-up leaves it with no INI file present.
struct DefaultStore {
  zq::FakePlatform platform;
  TzqINI_File ini;
  int readComplete = 0;
  DefaultStore() {
    platform.executablePath = "/nonexistent-absorbview-folder/absorbview";
    ini.INI_Default = INI_DefaultLines();
    ini.OnReadComplete = [this](TzqINI_File&) { ++readComplete; };
    ini.Loaded();
  }
};

TEST(IniDefault, EveryDocumentedKeyHoldsItsValue) {
  DefaultStore s;
  EXPECT_EQ(s.readComplete, 1);
  for (const auto& e : kDefaults) {
    const T_zq_ini_Record* r = s.ini.FindRecord(e.section, e.key);
    ASSERT_NE(r, nullptr) << "[" << e.section << "] " << e.key;
    EXPECT_EQ(r->Value, e.value) << "[" << e.section << "] " << e.key;
  }
  EXPECT_EQ(s.ini.FindRecord("OH", "Filename")->Value.rfind("13_oh_61_only.txt", 0), 0u);
  EXPECT_NE(s.ini.FindRecord("OH", "Filename")->Value.find("not used yet"), std::string::npos);
  // The first of two lines stays the key's default.
  EXPECT_EQ(s.ini.FindRecord("blackbody 1", "FileType")->DefaultValue, "skip");
  EXPECT_EQ(s.ini.FindRecord("OH", "Record_type")->DefaultValue.rfind("160", 0), 0u);
  EXPECT_EQ(s.ini.FindRecord("CO2", "color")->DefaultValue, "$0000FF");

  std::vector<std::string> names;
  s.ini.GetSectionNames(names);
  EXPECT_EQ(names,
            (std::vector<std::string>{"Application", "Atmosphere Layers", "Axes", "blackbody 1",
                                      "blackbody 2", "blackbody 3", "CO2", "Combined", "graph1", "graph2",
                                      "h2o", "OH", "Right Axis", "Right Axis - Venus", "X Series"}));
  // Nothing more than the documented keys (and the OH file name) is defined.
  std::size_t keys = 0;
  for (const auto& n : names) {
    std::vector<std::string> k;
    s.ini.GetKeyNames(n, k);
    keys += k.size();
  }
  EXPECT_EQ(keys, std::size(kDefaults) + 1);
}

TEST(IniDefault, HandlerThatDetachesItselfRunsOnceWithAFileToo) {
  zq::FakePlatform platform;
  zqtest::TempDir dir;
  zqtest::WriteFile(dir / "absorbview.ini", "[CO2]\ncolor = $123456\n");
  platform.executablePath = (dir / "absorbview").string();
  TzqINI_File ini;
  ini.INI_Default = INI_DefaultLines();
  auto runs = std::make_shared<int>(0);
  std::string colorSeen;
  // The handler owns state through its captures, which detaching destroys while it runs.
  ini.OnReadComplete = [runs, &colorSeen](TzqINI_File& sender) {
    sender.OnReadComplete = nullptr;
    ++*runs;
    colorSeen = sender.ReadString("co2", "COLOR");
  };
  ini.Loaded();
  EXPECT_EQ(*runs, 1);
  EXPECT_EQ(colorSeen, "$123456");
  EXPECT_EQ(ini.FindRecord("CO2", "color")->DefaultValue, "$0000FF");
  EXPECT_EQ(ini.ReadString("CO2", "Caption"), "CO2");
}

TEST(IniDefault, TextLayoutIsExact) {
  std::string_view text = INI_DefaultText();
  auto lines = INI_DefaultLines();
  ASSERT_GE(lines.size(), 6u);
  EXPECT_EQ(lines[0].substr(0, 1), ";");
  EXPECT_EQ(lines[1].substr(0, 1), ";");
  EXPECT_EQ(lines[2], "");
  EXPECT_EQ(lines[3], "[Application]");
  // Ends with an empty line and two lines of one blank each.
  EXPECT_EQ(text.substr(text.size() - 6), "\n\n \n \n");
  // The degree sign is one Windows-1252 byte, never a UTF-8 pair; only LF line breaks.
  EXPECT_EQ(text.find("\xC2\xB0"), std::string_view::npos);
  EXPECT_NE(text.find("\xB0"), std::string_view::npos);
  EXPECT_EQ(text.find('\r'), std::string_view::npos);
  int colors = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (zqUpperCase(lines[i]).rfind("COLOR", 0) != 0) continue;
    ++colors;
    ASSERT_GT(i, 0u);
    // The comment above names the blue, green and red digit pairs right above them.
    EXPECT_EQ(lines[i - 1].substr(0, 1), ";");
    EXPECT_EQ(lines[i - 1].find("bbggrr"), lines[i].find('$') + 1);
    EXPECT_EQ(zqTrim(lines[i - 1].substr(1, lines[i - 1].find("bbggrr") - 1)), "");
  }
  EXPECT_EQ(colors, 6);
  int fileTypes = 0;
  for (std::size_t i = 0; i < lines.size() && lines[i] != "[blackbody 2]"; ++i)
    if (i > 0 && zqUpperCase(zqTrim(lines[i])).rfind("FILETYPE", 0) == 0 &&
        std::find(lines.begin(), lines.begin() + static_cast<long>(i), "[blackbody 1]") !=
            lines.begin() + static_cast<long>(i))
      ++fileTypes;
  EXPECT_EQ(fileTypes, 2);
}

} // namespace
