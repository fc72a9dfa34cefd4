// The column's export without widgets: its '#' header gives back every setting of both runs (read back
// into settings equal to the runs'), and its table joins the runs on their own wavenumbers; a band from
// 0 cm-1 on a wavelength axis; the warmings to balance belong to the settings they were found for, and
// the header names them.
#include "zqColumnReport.h"
#include "zqContinuumUse.h"
#include "zqOutgoingRadiation.h"
#include "zqSeriesTable.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <sstream>

using namespace zqsession;

namespace {

// Every field away from its default, so a field written from another one shows.
TzqColumnSettings unusual_settings(double offset) {
  TzqColumnSettings s;
  s.SurfaceTemperature = 281.25 + offset;
  s.RelativeHumidity = 42.5 + offset;
  s.CO2 = 415.5 + offset;
  s.CO2Factor = 3.5 + offset;
  s.Offset = 1.25 + offset;
  s.Hold = TzqHold::RH;
  s.StratosphericH2O = 4.25 + offset;
  s.WavenumberMin = 600 + offset;
  s.WavenumberMax = 700.5 + offset;
  s.Step = 0.125;
  s.Layers = 17 + static_cast<int>(offset);
  s.TopAltitude = 55.5 + offset;
  s.Isothermal = true;
  s.AngleNodes = 6;
  s.Threads = 3;
  s.Atmosphere = "/data/my profile, v2.csv";
  s.SurfaceFromTable = false;
  s.H2OScale = 1.75 + offset;
  TzqColumnState more;
  more.GasFactor[TzqColumnGas::H2O] = 0.5;
  more.GasFactor[TzqColumnGas::CO2] = 4 + offset;
  more.TemperatureOffset = 0.5 + offset;
  s.MoreStates = {more, TzqColumnState{}};
  s.ObserverAltitude = 12.5 + offset;
  s.Look = TzqLook::Up;
  s.HeatingBands = {{600, 650}, {650, 700.5 + offset}};
  return s;
}

TColumnSnapshot run_on(std::vector<double> wavenumber, double offset) {
  TColumnSnapshot r;
  r.Settings = unusual_settings(offset);
  r.Atmosphere = "Profile " + std::to_string(static_cast<int>(offset));
  r.Wavenumber = wavenumber;
  for (int state = 0; state < 2; ++state)
    for (double nu : wavenumber) {
      r.Observed[state].push_back(nu * 1e-3 + state + offset);
      r.Brightness[state].push_back(200 + nu * 0.01 + state + offset);
    }
  r.Figures.assign(ColumnFigureRows().size(), 1 + offset);
  r.Figures[9] = std::nan(""); // no emission height
  return r;
}

// A solved balance as the session gives it: the changed state's spectra at the warming in its result.
TzqBalance solved_balance(TzqHold hold, double warming, std::size_t points) {
  TzqBalance b;
  b.Solved = true;
  b.Hold = hold;
  b.Warming = warming;
  b.Forcing = 4.5;
  b.FeedbackParameter = b.Forcing / warming;
  b.Iterations = 3 + static_cast<int>(hold);
  b.InterpolationError = 1e-4 * warming;
  b.Result.Diagnostics.resize(2);
  for (std::size_t j = 0; j < points; ++j) {
    b.Result.Diagnostics[1].Observed.push_back(0.25 + warming + static_cast<double>(j));
    b.Result.Diagnostics[1].BrightnessTemperature.push_back(250 + warming + static_cast<double>(j));
  }
  return b;
}

// "# <run>: Name = value" lines of a header, by run and name.
std::map<std::string, std::map<std::string, std::string>> header_fields(const std::string& header) {
  std::map<std::string, std::map<std::string, std::string>> fields;
  std::istringstream in(header);
  for (std::string line; std::getline(in, line);) {
    EXPECT_TRUE(line.starts_with("# ")) << line;
    const auto colon = line.find(": "), equals = line.find(" = ");
    if (colon == std::string::npos || equals == std::string::npos || equals < colon) continue;
    const std::string name = line.substr(colon + 2, equals - colon - 2);
    EXPECT_FALSE(fields[line.substr(2, colon - 2)].count(name)) << "twice: " << line;
    fields[line.substr(2, colon - 2)][name] = line.substr(equals + 3);
  }
  return fields;
}

// Settings read back from the header's values: the test's own reader of what the header promises.
TzqColumnSettings settings_of(std::map<std::string, std::string> f) {
  const auto number = [&](const char* name) {
    EXPECT_TRUE(f.count(name)) << name;
    return std::stod(f[name]);
  };
  const auto yes = [&](const char* name) {
    EXPECT_TRUE(f[name] == "yes" || f[name] == "no") << name << " = " << f[name];
    return f[name] == "yes";
  };
  TzqColumnSettings s;
  s.SurfaceTemperature = number("SurfaceTemperature");
  s.RelativeHumidity = number("RelativeHumidity");
  s.CO2 = number("CO2");
  s.CO2Factor = number("CO2Factor");
  s.Offset = number("Offset");
  s.Hold = f["Hold"] == "rh" ? TzqHold::RH : TzqHold::Vapour;
  s.StratosphericH2O = number("StratosphericH2O");
  s.WavenumberMin = number("WavenumberMin");
  s.WavenumberMax = number("WavenumberMax");
  s.Step = number("Step");
  s.Layers = static_cast<int>(number("Layers"));
  s.TopAltitude = number("TopAltitude");
  s.Isothermal = yes("Isothermal");
  s.AngleNodes = static_cast<int>(number("AngleNodes"));
  s.Threads = static_cast<unsigned>(number("Threads"));
  s.Atmosphere = f["Atmosphere"];
  s.SurfaceFromTable = yes("SurfaceFromTable");
  s.H2OScale = number("H2OScale");
  std::istringstream states(f["MoreStates"] == "none" ? "" : f["MoreStates"]);
  for (std::string state; std::getline(states, state, ';');) {
    TzqColumnState st;
    char gas1[8], gas2[8], hold[8];
    double f1 = 0, f2 = 0;
    EXPECT_EQ(std::sscanf(state.c_str(), " %7s x %lf %7s x %lf warmed %lf K %7s", gas1, &f1, gas2, &f2,
                          &st.TemperatureOffset, hold),
              6)
        << state;
    EXPECT_EQ(std::string(gas1) + std::string(gas2), "h2oco2");
    st.GasFactor[TzqColumnGas::H2O] = f1;
    st.GasFactor[TzqColumnGas::CO2] = f2;
    st.Hold = std::string(hold) == "rh" ? TzqHold::RH : TzqHold::Vapour;
    s.MoreStates.push_back(st);
  }
  if (f["ObserverAltitude"] != "top") s.ObserverAltitude = number("ObserverAltitude");
  s.Look = f["Look"] == "up" ? TzqLook::Up : TzqLook::Down;
  std::istringstream bands(f["HeatingBands"] == "default" ? "" : f["HeatingBands"]);
  for (std::string band; std::getline(bands, band, ',');) {
    TzqBand b;
    EXPECT_EQ(std::sscanf(band.c_str(), " %lf-%lf cm-1", &b.Min, &b.Max), 2) << band;
    s.HeatingBands.push_back(b);
  }
  return s;
}

} // namespace

TEST(ColumnReportTest, ExportHeaderGivesBackEverySettingOfBothRuns) {
  const TColumnSnapshot current = run_on({600.5, 601.5}, 0), background = run_on({600.5, 601.5}, 1);
  const auto fields = header_fields(ColumnExportHeader(current, &background, TColumnQuantity::Flux));
  ASSERT_TRUE(fields.count("current") && fields.count("background"));
  EXPECT_EQ(settings_of(fields.at("current")), current.Settings);
  EXPECT_EQ(settings_of(fields.at("background")), background.Settings);
  for (const auto& [run, snapshot] : {std::pair{"current", &current}, std::pair{"background", &background}}) {
    const auto& f = fields.at(run);
    EXPECT_EQ(f.at("atmosphere caption"), snapshot->Atmosphere);
    EXPECT_EQ(f.at("result OLR 1x (W/m2)"), TableNumber(snapshot->Figures[0]));
    EXPECT_EQ(f.at("result Emission height 1x (km)"), "none");
  }
  // The defaults read back as well ("top", "default", no more states).
  TColumnSnapshot plain = current;
  plain.Settings = TzqColumnSettings{};
  const auto alone =
      header_fields(ColumnExportHeader(plain, nullptr, TColumnQuantity::BrightnessTemperature));
  EXPECT_FALSE(alone.count("background"));
  EXPECT_EQ(settings_of(alone.at("current")), TzqColumnSettings{});
}

TEST(ColumnReportTest, ExportTableJoinsTheRunsOnTheirWavenumbers) {
  const TColumnSnapshot current = run_on({600.5, 601.5, 602.5}, 0);
  // The same grid: one row per wavenumber, the quantity asked for.
  const TColumnSnapshot same = run_on({600.5, 601.5, 602.5}, 1);
  EXPECT_TRUE(SameGrid(current, same));
  const std::string table = ColumnExportTable(current, &same, TColumnQuantity::BrightnessTemperature);
  std::istringstream in(table);
  std::vector<std::string> rows;
  for (std::string line; std::getline(in, line);)
    rows.push_back(line);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0], "wavenumber_cm-1,current_1x,current_Nx,background_1x,background_Nx");
  EXPECT_EQ(rows[2], "601.5," + TableNumber(current.Brightness[0][1]) + "," +
                         TableNumber(current.Brightness[1][1]) + "," + TableNumber(same.Brightness[0][1]) +
                         "," + TableNumber(same.Brightness[1][1]));
  // Another grid: every wavenumber of either, a run's cells empty where it has none.
  const TColumnSnapshot other = run_on({601.5, 603}, 1);
  EXPECT_FALSE(SameGrid(current, other));
  EXPECT_EQ(ColumnExportTable(current, &other, TColumnQuantity::Flux),
            "wavenumber_cm-1,current_1x,current_Nx,background_1x,background_Nx\n"
            "600.5,0.6005,1.6005,,\n"
            "601.5,0.6015,1.6015,1.6015,2.6015\n"
            "602.5,0.6025,1.6025,,\n"
            "603,,,1.603,2.603\n");
  // Without a background: the current run's columns alone.
  EXPECT_TRUE(ColumnExportTable(current, nullptr, TColumnQuantity::Flux)
                  .starts_with("wavenumber_cm-1,current_1x,current_Nx\n"));
  // Differences of the figures: NaN where either has none.
  const std::vector<double> d = FigureDifferences(other, current);
  EXPECT_EQ(d[0], 1.0);
  EXPECT_TRUE(std::isnan(d[9]));
}

TEST(ColumnReportTest, BandFromZeroOnAWavelengthAxis) {
  TzqColumnSettings s;
  s.WavenumberMin = 0;
  s.WavenumberMax = 2500;
  EXPECT_EQ(ColumnWavelengthRange(s), (std::pair{4.0, kLongestWavelengthShown}));
  s.WavenumberMin = 500;
  s.WavenumberMax = 800;
  EXPECT_EQ(ColumnWavelengthRange(s), (std::pair{12.5, 20.0}));
  // The Planck curves' brightness temperature: level lines with two ends of finite wavelength.
  s.WavenumberMin = 0;
  const auto curves = OutgoingRadiationCurves(s, {288, 250, 220}, TColumnQuantity::BrightnessTemperature,
                                              TColumnXUnit::Wavelength);
  ASSERT_EQ(curves.size(), 3u);
  for (const TPlanckCurve& c : curves) {
    ASSERT_EQ(c.X.size(), 2u);
    EXPECT_EQ(c.Y, std::vector<double>(2, c.Temperature));
    EXPECT_EQ(c.X[0], 1e4 / ColumnGrid(s).At(0));
    EXPECT_EQ(c.X[1], 12.5); // 800 cm-1
  }
}

TEST(ColumnReportTest, BalancesBelongToTheSettingsTheyWereFoundFor) {
  // The multiple's warming and hold do not tell columns apart for a balance; the column itself they do,
  // unless neither is warmed.
  const TzqColumnSettings base = unusual_settings(0);
  TzqColumnSettings other = base, elsewhere = base, unwarmed = base, held = base;
  other.Offset = -3;
  other.Hold = TzqHold::Vapour;
  elsewhere.CO2 = 800;
  unwarmed.Offset = held.Offset = 0;
  held.Hold = TzqHold::Vapour;
  EXPECT_TRUE(SameBalanceSettings(base, other) && !SameBalanceSettings(base, elsewhere));
  EXPECT_TRUE(!SameColumnResults(base, other) && SameColumnResults(unwarmed, held));

  // Each hold's figures, the ratio once both are found, the latest one's spectrum drawn.
  TColumnSnapshot run = run_on({600.5, 601.5, 602.5}, 0);
  const TzqBalance vapour = solved_balance(TzqHold::Vapour, 1.25, 3),
                   rh = solved_balance(TzqHold::RH, 2.5, 3);
  EXPECT_TRUE(AddBalance(run, other, TzqHold::Vapour, vapour));
  EXPECT_EQ(BalanceFigureValues(run.Balances),
            (std::vector<std::optional<double>>{1.25, std::nullopt, 3.6, std::nullopt, std::nullopt}));
  EXPECT_TRUE(AddBalance(run, other, TzqHold::RH, rh));
  EXPECT_EQ(BalanceFigureValues(run.Balances),
            (std::vector<std::optional<double>>{1.25, 2.5, 3.6, 1.8, 2.0}));
  ASSERT_NE(RebalancedSpectrum(run, TColumnQuantity::BrightnessTemperature), nullptr);
  EXPECT_EQ(*RebalancedSpectrum(run, TColumnQuantity::BrightnessTemperature),
            rh.Result.Diagnostics[1].BrightnessTemperature);
  EXPECT_FALSE(AddBalance(run, elsewhere, TzqHold::Vapour, solved_balance(TzqHold::Vapour, 9, 3)));
  EXPECT_EQ(run.Balances.Vapour->Warming, 1.25);

  // A new run keeps them for the same column only; beside a background, differences where both have one.
  TColumnSnapshot next = run_on({600.5, 601.5, 602.5}, 0);
  next.Settings = other;
  CarryBalances(&run, next);
  EXPECT_EQ(BalanceFigureValues(next.Balances), BalanceFigureValues(run.Balances));
  next.Settings = elsewhere;
  CarryBalances(&run, next);
  EXPECT_TRUE(next.Balances.Empty());
  AddBalance(next, elsewhere, TzqHold::Vapour, solved_balance(TzqHold::Vapour, 1, 3));
  EXPECT_EQ(BalanceFigureDifferences(BalanceFigureValues(next.Balances), BalanceFigureValues(run.Balances)),
            (std::vector<std::optional<double>>{-0.25, std::nullopt, 4.5 - 3.6, std::nullopt, std::nullopt}));

  // A balance not found leaves its hold without figures, and with them the ratio and the spectrum.
  TzqBalance refused;
  refused.Refusal = "cancelled";
  EXPECT_TRUE(AddBalance(run, base, TzqHold::RH, refused));
  EXPECT_EQ(BalanceFigureValues(run.Balances)[4], std::nullopt);
  EXPECT_EQ(RebalancedSpectrum(run, TColumnQuantity::Flux), nullptr);
  EXPECT_TRUE(std::isnan(WaterVapourFeedbackFactor(1, 0)));
  TzqColumnSettings three;
  three.CO2Factor = 3;
  EXPECT_EQ(WarmedStateText(three, 1.04123, TzqHold::RH), "3x CO2, warmed 1.04 K (fixed RH)");
  TzqColumnSettings methane;
  methane.CO2Factor = 1;
  methane.GasFactors[TzqColumnGas::CH4] = 2;
  EXPECT_EQ(WarmedStateText(methane, 0.5, TzqHold::Vapour), "2x CH4, warmed 0.5 K (fixed vapour)");
}

TEST(ColumnReportTest, ExportHeaderNamesTheBalancesFound) {
  TColumnSnapshot current = run_on({600.5, 601.5}, 0), background = run_on({600.5, 601.5}, 1);
  AddBalance(current, current.Settings, TzqHold::Vapour, solved_balance(TzqHold::Vapour, 1.25, 2));
  AddBalance(current, current.Settings, TzqHold::RH, solved_balance(TzqHold::RH, 2.5, 2));
  TzqBalance unforced = solved_balance(TzqHold::RH, 0.75, 2);
  unforced.FeedbackParameter = std::nan("");
  AddBalance(background, background.Settings, TzqHold::RH, unforced);
  const auto fields = header_fields(ColumnExportHeader(current, &background, TColumnQuantity::Flux));
  const auto& c = fields.at("current");
  EXPECT_EQ(c.at("result Warming to balance, fixed vapour (K)"), "1.25");
  EXPECT_EQ(c.at("result Feedback parameter, fixed RH (W m-2 K-1)"), TableNumber(4.5 / 2.5));
  EXPECT_EQ(c.at("result Water vapour feedback factor"), "2");
  EXPECT_EQ(c.at("result Balance iterations, fixed RH"), "4");
  EXPECT_EQ(c.at("result Balance interpolation error, fixed vapour (K)"), TableNumber(1.25e-4));
  // Only what was found: the background has its fixed-RH balance alone, without a feedback parameter.
  const auto& b = fields.at("background");
  EXPECT_EQ(b.at("result Warming to balance, fixed RH (K)"), "0.75");
  EXPECT_EQ(b.at("result Feedback parameter, fixed RH (W m-2 K-1)"), "none");
  for (const char* absent :
       {"result Warming to balance, fixed vapour (K)", "result Water vapour feedback factor",
        "result Balance iterations, fixed vapour"})
    EXPECT_FALSE(b.count(absent)) << absent;
  // The settings still read back whole beside them.
  EXPECT_EQ(settings_of(c), current.Settings);
}

// A run with the continuum says so and acknowledges AER in the export; its balances never pass to a run
// without it (nor back), whatever the settings.
TEST(ColumnReportTest, ContinuumRunsAreAcknowledgedAndKeepTheirOwnBalances) {
  TColumnSnapshot with = run_on({600.5, 601.5}, 0), without = with;
  with.Continuum = true;
  const std::string plain = ColumnExportHeader(without, nullptr, TColumnQuantity::Flux);
  EXPECT_EQ(plain.find("Mlawer"), std::string::npos);
  const std::string header = ColumnExportHeader(with, &without, TColumnQuantity::Flux);
  EXPECT_NE(header.find(zqsession::ContinuumCommentLines()), std::string::npos);
  const auto fields = header_fields(header);
  EXPECT_EQ(fields.at("current").at("water-vapour continuum"), "MT_CKD");
  EXPECT_FALSE(fields.at("background").count("water-vapour continuum"));

  with.Balances.Vapour = TBalanceFigures{};
  TColumnSnapshot next = run_on({600.5, 601.5}, 0);
  CarryBalances(&with, next);
  EXPECT_FALSE(next.Balances.Vapour);
  next.Continuum = true;
  CarryBalances(&with, next);
  EXPECT_TRUE(next.Balances.Vapour);
}
