// The column's profile from a table of levels (a built-in model atmosphere or the user's profile file):
// levels evenly spaced in ln p from the table's surface pressure to the pressure of the top altitude;
// between the table's levels T and ln(mixing ratio) linear in ln p (the table's own interpolation);
// water as the table gives it times the water-vapour factor; CO2 the user's amount everywhere; the
// ground at the table's T(0) unless the user sets it; the tropopause at the column level nearest (in
// ln p) to the table's (the lowest level where the lapse rate falls to 2 K/km and stays there).
#include "zqAtmosphereTable.h"
#include "zqColumnProfile.h"
#include "zqINI_File.h"

#include <cmath>
#include <filesystem>

namespace {

int nearest_level(const std::vector<double>& levelPressure, double p) {
  int best = 0;
  for (std::size_t i = 1; i < levelPressure.size(); ++i)
    if (std::fabs(std::log(levelPressure[i] / p)) <
        std::fabs(std::log(levelPressure[static_cast<std::size_t>(best)] / p)))
      best = static_cast<int>(i);
  return best;
}

} // namespace

TzqColumnProfile BuildTableProfile(const TzqColumnSettings& s) {
  TzqColumnProfile out;
  TzqAtmosphereTable read;
  const TzqAtmosphereTable* table = BuiltInAtmosphere(s.Atmosphere);
  if (table) {
    out.Atmosphere = BuiltInAtmosphereCaption(s.Atmosphere);
  } else {
    std::string error;
    read = ReadAtmosphereFile(s.Atmosphere, error);
    if (!error.empty()) {
      out.Refusal = error;
      return out;
    }
    table = &read;
    out.Atmosphere = std::filesystem::path(s.Atmosphere).filename().string();
  }
  const double top = table->Altitude.back();
  if (s.TopAltitude > top) {
    out.Refusal =
        out.Atmosphere + " reaches " + zqFloatToText(top, ".") + " km: choose a top altitude of at most that";
    return out;
  }
  const int n = s.Layers;
  const double ps = table->Pressure.front();
  out.LevelPressure = LogPressureLevels(ps, table->PressureAt(s.TopAltitude), n);
  out.SurfaceTemperature = s.SurfaceFromTable ? table->Temperature.front() : s.SurfaceTemperature;
  const auto temperature = [&](double p) {
    return s.Isothermal ? out.SurfaceTemperature : table->TemperatureAt(p);
  };
  for (double p : out.LevelPressure) {
    out.LevelTemperature.push_back(temperature(p));
    out.LevelAltitude.push_back(table->AltitudeAt(p) - table->Altitude.front()); // the table's own scale
  }
  // A table whose temperature never stops falling has its tropopause at the column's top.
  out.TropopauseLevel =
      table->TropopauseLevel() < 0 ? n : nearest_level(out.LevelPressure, table->TropopausePressure());

  // Each gas from its column, CO2 from the settings, water scaled.
  TzqPerGas<int> column;
  TzqPerGas<double> scale;
  for (const TzqColumnGasInfo& gas : ColumnGases()) {
    column[gas.Gas] = table->GasIndex(gas.Key);
    scale[gas.Gas] = gas.Gas == TzqColumnGas::H2O ? s.H2OScale : 1;
    if (column[gas.Gas] < 0 && gas.Gas != TzqColumnGas::CO2)
      out.Notes.push_back(out.Atmosphere + " has no " + gas.Key + "_ppmv column: the column has no " +
                          gas.Name);
  }
  const auto ppmv = [&](TzqColumnGas gas, double p) {
    if (gas == TzqColumnGas::CO2) return s.CO2;
    return column[gas] < 0 ? 0.0 : scale[gas] * table->PpmvAt(column[gas], p);
  };
  for (const TzqColumnGasInfo& gas : ColumnGases())
    for (double p : out.LevelPressure)
      out.LevelPpmv[gas.Gas].push_back(ppmv(gas.Gas, p));

  out.Layers.resize(static_cast<std::size_t>(n));
  for (std::size_t k = 0; k < out.Layers.size(); ++k) {
    const double pBottom = out.LevelPressure[k], pTop = out.LevelPressure[k + 1];
    const std::vector<double> kinks = table->PressuresWithin(pTop, pBottom);
    TzqColumnLayer& layer = out.Layers[k];
    layer.Pressure = (pBottom + pTop) / 2;
    layer.Temperature = MassWeightedMean(temperature, pTop, pBottom, kinks);
    for (const TzqColumnGasInfo& gas : ColumnGases())
      layer.Ppmv[gas.Gas] =
          gas.Gas == TzqColumnGas::CO2
              ? s.CO2
              : MassWeightedMean([&](double p) { return ppmv(gas.Gas, p); }, pTop, pBottom, kinks);
    layer.AirColumn = AirColumnOf(pBottom - pTop);
  }
  return out;
}
