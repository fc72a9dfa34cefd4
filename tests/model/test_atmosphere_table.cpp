// Model atmosphere tables: the embedded AFGL profiles against the report's surface values and the shared
// data files, the ln p interpolation against its own law, the tropopause, and every refusal of the reader.
#include "TestSupport.h"
#include "zqAtmosphereTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <map>

namespace {

const std::map<std::string, std::pair<double, double>> kSurface{
    // name: surface T (K), surface p (mb), as the report prints them
    {"tropical", {299.7, 1013}},           {"midlatitude-summer", {294.2, 1013}},
    {"midlatitude-winter", {272.2, 1018}}, {"subarctic-summer", {287.2, 1010}},
    {"subarctic-winter", {257.2, 1013}},   {"us-standard", {288.2, 1013}}};

const TzqAtmosphereTable& built_in(const std::string& name) {
  const TzqAtmosphereTable* table = BuiltInAtmosphere(name);
  if (!table) throw std::runtime_error("no built-in atmosphere " + name);
  return *table;
}

} // namespace

TEST(AtmosphereTable, BuiltInsHoldTheReportsSixProfiles) {
  const std::vector<std::string> names = BuiltInAtmosphereNames();
  ASSERT_EQ(names.size(), kSurface.size());
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(kSurface.count(name));
    const TzqAtmosphereTable& t = built_in(name);
    EXPECT_EQ(&t, BuiltInAtmosphere(name)); // parsed once
    EXPECT_EQ(t.Name, name);
    EXPECT_FALSE(BuiltInAtmosphereCaption(name).empty());
    ASSERT_EQ(t.Levels(), 50);
    EXPECT_EQ(t.Altitude.front(), 0);
    EXPECT_EQ(t.Altitude.back(), 120);
    EXPECT_EQ(t.Temperature.front(), kSurface.at(name).first);
    EXPECT_EQ(t.Pressure.front(), kSurface.at(name).second);
    EXPECT_EQ(t.GasNames, (std::vector<std::string>{"h2o", "co2", "o3", "n2o", "co", "ch4"}));
    // CO2: the report's one column for all six, 330 ppmv up to 75 km and thinning above.
    ASSERT_EQ(t.GasIndex("CO2"), 1);
    EXPECT_EQ(t.Ppmv[1], built_in("us-standard").Ppmv[1]);
    for (std::size_t i = 0; i < t.Altitude.size(); ++i)
      EXPECT_TRUE(t.Altitude[i] > 75 || t.Ppmv[1][i] == 330) << t.Altitude[i] << " km";
    EXPECT_EQ(t.Ppmv[1].back(), 35);
  }
  EXPECT_EQ(BuiltInAtmosphereCaption("us-standard"), "U.S. standard 1976");
  EXPECT_EQ(BuiltInAtmosphere("venus"), nullptr);
  EXPECT_EQ(BuiltInAtmosphereCaption("venus"), "");
  EXPECT_EQ(built_in("tropical").GasIndex("so2"), -1);
}

TEST(AtmosphereTable, EmbeddedBytesEqualTheSharedDataFiles) {
  const std::filesystem::path dir =
      std::filesystem::path(ABSORBVIEW_SOURCE_ROOT) / "../shared/data/atmospheres";
  if (!std::filesystem::is_directory(dir))
    GTEST_SKIP() << "shared atmosphere files not found beside the project (../shared/data/atmospheres)";
  for (const std::string& name : BuiltInAtmosphereNames()) {
    std::string file = "afgl1986_" + name + ".csv";
    std::replace(file.begin(), file.end(), '-', '_');
    EXPECT_EQ(BuiltInAtmosphereCsv(name), zqtest::ReadFile(dir / file)) << file;
  }
}

TEST(AtmosphereTable, InterpolationIsExactAtLevelsFollowsItsLawBetweenAndClampsOutside) {
  for (const std::string& name : BuiltInAtmosphereNames()) {
    SCOPED_TRACE(name);
    const TzqAtmosphereTable& t = built_in(name);
    for (std::size_t i = 0; i < t.Altitude.size(); ++i) {
      EXPECT_EQ(t.TemperatureAt(t.Pressure[i]), t.Temperature[i]);
      EXPECT_EQ(t.AltitudeAt(t.Pressure[i]), t.Altitude[i]);
      EXPECT_EQ(t.PressureAt(t.Altitude[i]), t.Pressure[i]);
      for (std::size_t g = 0; g < t.GasNames.size(); ++g)
        EXPECT_EQ(t.PpmvAt(static_cast<int>(g), t.Pressure[i]), t.Ppmv[g][i]);
      if (i == 0) continue;
      // The middle in ln p: arithmetic means of T and z, the geometric mean of a mixing ratio and, at
      // the middle altitude, of the pressures.
      const double p0 = t.Pressure[i - 1], p1 = t.Pressure[i], mid = std::sqrt(p0 * p1);
      EXPECT_NEAR(t.TemperatureAt(mid), (t.Temperature[i - 1] + t.Temperature[i]) / 2, 1e-9);
      EXPECT_NEAR(t.AltitudeAt(mid), (t.Altitude[i - 1] + t.Altitude[i]) / 2, 1e-9);
      EXPECT_TRUE(zqtest::RelClose(t.PressureAt((t.Altitude[i - 1] + t.Altitude[i]) / 2), mid, 1e-12));
      EXPECT_TRUE(zqtest::RelClose(t.PpmvAt(0, mid), std::sqrt(t.Ppmv[0][i - 1] * t.Ppmv[0][i]), 1e-12));
      // Monotone within the interval, and the altitude round trip.
      double last_t = t.Temperature[i - 1];
      for (int k = 1; k <= 16; ++k) {
        const double p = p0 * std::pow(p1 / p0, k / 16.0), temperature = t.TemperatureAt(p);
        EXPECT_GE((temperature - last_t) * (t.Temperature[i] - t.Temperature[i - 1]), 0) << p;
        last_t = temperature;
        EXPECT_TRUE(zqtest::RelClose(t.PressureAt(t.AltitudeAt(p)), p, 1e-12)) << p;
      }
    }
    EXPECT_EQ(t.TemperatureAt(2000), t.Temperature.front());
    EXPECT_EQ(t.TemperatureAt(0), t.Temperature.back());
    EXPECT_EQ(t.PressureAt(-1), t.Pressure.front());
    EXPECT_EQ(t.PressureAt(500), t.Pressure.back());
    EXPECT_TRUE(std::isnan(t.TemperatureAt(NAN)) && std::isnan(t.PpmvAt(99, 500)));
  }
}

TEST(AtmosphereTable, ZeroMixingRatiosInterpolateWithoutNaN) {
  std::string error;
  const TzqAtmosphereTable t = ReadAtmosphereCsv(
      "z_km,p_mb,T_K,x_ppmv\n0,1000,290,0\n1,100,280,4\n2,10,270,0\n3,1,260,0\n", "z", error);
  ASSERT_EQ(error, "");
  const int x = t.GasIndex("X");
  EXPECT_DOUBLE_EQ(t.PpmvAt(x, std::sqrt(1000.0 * 100)), 2); // linear in ln p beside a zero
  EXPECT_DOUBLE_EQ(t.PpmvAt(x, std::sqrt(100.0 * 10)), 2);
  EXPECT_EQ(t.PpmvAt(x, std::sqrt(10.0)), 0);
  EXPECT_EQ(t.PpmvAt(x, 1000), 0);
}

TEST(AtmosphereTable, TropopauseSkipsTheSurfaceInversion) {
  double tropical = 0;
  for (const std::string& name : BuiltInAtmosphereNames()) {
    const TzqAtmosphereTable& t = built_in(name);
    const int level = t.TropopauseLevel();
    ASSERT_GE(level, 0) << name;
    const double z = t.Altitude[static_cast<std::size_t>(level)];
    EXPECT_TRUE(z >= 5 && z <= 20) << name << ": " << z << " km";
    EXPECT_EQ(t.TropopausePressure(), t.Pressure[static_cast<std::size_t>(level)]);
    if (name == "tropical")
      tropical = z;
    else
      EXPECT_LT(z, tropical) << name;
  }
  // The U.S. standard's is its defining 11 km; the sub-arctic winter is warmer at 1 km than at the
  // ground, and its tropopause lies far above.
  const TzqAtmosphereTable& standard = built_in("us-standard");
  EXPECT_EQ(standard.Altitude[static_cast<std::size_t>(standard.TropopauseLevel())], 11);
  const TzqAtmosphereTable& winter = built_in("subarctic-winter");
  ASSERT_GT(winter.Temperature[1], winter.Temperature[0]);
  EXPECT_EQ(winter.Altitude[static_cast<std::size_t>(winter.TropopauseLevel())], 9);
  std::string error;
  const TzqAtmosphereTable falling = ReadAtmosphereCsv("z_km,p_mb,T_K\n0,1000,290\n1,900,280\n", "f", error);
  EXPECT_EQ(falling.TropopauseLevel(), -1);
  EXPECT_TRUE(std::isnan(falling.TropopausePressure()));
}

TEST(AtmosphereTable, ReaderAcceptsCommentsCrlfAndCaseAndRefusesBadTablesByLine) {
  // Comments, CRLF, an upper-case header, a byte-order mark and blank trailing lines read as the plain text.
  std::string text(BuiltInAtmosphereCsv("tropical")), variant = "\xEF\xBB\xBF# AFGL tropical\r\n";
  for (char c : text.substr(0, text.find('\n')))
    variant += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  for (char c : text.substr(text.find('\n')))
    variant += c == '\n' ? std::string("\r\n") : std::string(1, c);
  std::string error = "stale";
  const TzqAtmosphereTable read = ReadAtmosphereCsv(variant + "\r\n\n", "mine", error);
  EXPECT_EQ(error, "");
  const TzqAtmosphereTable& tropical = built_in("tropical");
  EXPECT_EQ(read.Name, "mine");
  EXPECT_EQ(read.Pressure, tropical.Pressure);
  EXPECT_EQ(read.Temperature, tropical.Temperature);
  EXPECT_EQ(read.Ppmv, tropical.Ppmv);

  const std::string head = "z_km,p_mb,T_K,air_cm3,h2o_ppmv\n0,1013,290,x,100\n";
  const std::vector<std::pair<std::string, std::string>> cases{
      {"", "line 1: no header row"},
      {"# only\nz_km,p_mb,h2o_ppmv\n", "line 2: the header has no column T_K"},
      {"z_km,p_mb,T_K,z_km\n", "line 1: column z_km appears twice"},
      {"z_km,p_mb,T_K,_ppmv\n", "line 1: column _ppmv names no gas"},
      {head + "\n\n", "line 2: the table has 1 level; it needs at least 2"},
      {head + "1,904,280,x\n", "line 3: 4 fields where the header has 5"},
      {head + "1,904,abc,x,1\n", "line 3: T_K \"abc\" is no finite number"},
      {head + "1,904,280,x,1e400\n", "line 3: h2o_ppmv \"1e400\" is no finite number"},
      {head + "1,904,280,x,nan\n", "line 3: h2o_ppmv \"nan\" is no finite number"},
      {"z_km,p_mb,T_K\n0.5,1013,290\n", "line 2: the first level is at 0.5 km; it must be at 0 km"},
      {head + "0,904,280,x,1\n", "line 3: altitude must rise from level to level (0 km after 0 km)"},
      {head + "1,904,280,x,1\n2,905,280,x,1\n",
       "line 4: pressure must fall with altitude (905 mb after 904 mb)"},
      {"z_km,p_mb,T_K\n0,0,290\n", "line 2: pressure must be above 0 mb (0 mb)"},
      {head + "1,904,450,x,1\n", "line 3: temperature 450 K is outside 100-400 K"},
      {head + "1,904,99,x,1\n", "line 3: temperature 99 K is outside 100-400 K"},
      {head + "1,904,280,x,-1\n", "line 3: h2o_ppmv -1 is outside 0-1000000 ppmv"},
      {head + "1,904,280,x,1000001\n", "line 3: h2o_ppmv 1000001 is outside 0-1000000 ppmv"},
  };
  for (const auto& [csv, expected] : cases) {
    const TzqAtmosphereTable refused = ReadAtmosphereCsv(csv, "bad", error);
    EXPECT_EQ(error.substr(0, expected.size()), expected) << csv;
    EXPECT_TRUE(refused.Empty() && refused.GasNames.empty()) << csv;
  }
}

TEST(AtmosphereTable, FileReaderNamesTheFileAndRefusesHugeOnes) {
  zqtest::TempDir dir;
  zqtest::WriteFile(dir / "venus.csv", "z_km,p_mb,T_K\n0,1000,290\n1,900,280\n");
  std::string error;
  const TzqAtmosphereTable read = ReadAtmosphereFile((dir / "venus.csv").string(), error);
  EXPECT_EQ(error, "");
  EXPECT_EQ(read.Name, "venus");
  EXPECT_EQ(read.Levels(), 2);

  zqtest::WriteFile(dir / "bad.csv", "z_km,p_mb,T_K\n0,1000,290\n");
  const std::string huge = (dir / "huge.csv").string();
  zqtest::WriteFile(huge, "z_km,p_mb,T_K\n");
  std::filesystem::resize_file(huge, (10u << 20) + 1);
  for (const std::string name : {"bad.csv", "missing.csv", "huge.csv", ""}) {
    const std::string path = (dir / name).string();
    EXPECT_TRUE(ReadAtmosphereFile(path, error).Empty()) << path;
    EXPECT_EQ(error.find(path), 0u) << error;
  }
  EXPECT_NE(error.find("folder"), std::string::npos) << error;
  EXPECT_NE((ReadAtmosphereFile(huge, error), error).find("10 MiB"), std::string::npos) << error;
}
