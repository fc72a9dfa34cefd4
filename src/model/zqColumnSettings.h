// Everything an atmosphere column computation takes, the states it compares, the observer and the
// heating-rate bands, and the checks that refuse what cannot be computed.
#pragma once

#include "zqColumnGases.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// Which way the observer looks: down sees the upward flux through its level, up the downward flux.
enum class TzqLook { Down, Up };

// A wavenumber band (cm-1).
struct TzqBand {
  double Min = 0, Max = 0;
  bool operator==(const TzqBand&) const = default;
};

// How water vapour follows a warming: its mixing ratios stay ("fixed vapour"), or its relative
// humidity stays ("fixed RH").
enum class TzqHold { Vapour, RH };

// One state of the column: multiples of the profile's gas amounts, and a warming of the troposphere.
struct TzqColumnState {
  TzqPerGas<double> GasFactor = TzqPerGas<double>::Filled(1);
  // K: the ground and every level at or below the tropopause pressure warm by this; levels above keep
  // their temperatures. Water follows Hold.
  double TemperatureOffset = 0;
  TzqHold Hold = TzqHold::Vapour;
  bool operator==(const TzqColumnState&) const = default;
};

// Units: K, percent, ppm, cm-1, km.
struct TzqColumnSettings {
  double SurfaceTemperature = 288; // K, 150 to 350
  double RelativeHumidity = 60;    // percent, 0 to 100, held up to the tropopause (standard atmosphere)
  double CO2 = 350;                // ppm, well mixed
  double CO2Factor = 2;            // the multiple compared with CO2 (>= 0)
  // The multiples of the other gases in the same changed state (1: unchanged; CO2's entry is not used,
  // CO2Factor is), so "2x CH4" is CO2Factor 1 and GasFactors[CH4] 2.
  TzqPerGas<double> GasFactors = TzqPerGas<double>::Filled(1);
  double Offset = 0;               // K, the warming of the CO2 multiple's state (-50 to 50)
  TzqHold Hold = TzqHold::Vapour;  // how water follows that warming
  double StratosphericH2O = 5;     // ppm above the tropopause, or the tropopause value if lower
  double WavenumberMin = 0;        // cm-1
  double WavenumberMax = 2500;     // cm-1
  double Step = 0.01;              // cm-1, largest grid step; the band is cut into equal steps
  int Layers = 60;                 // evenly spaced in log-pressure, 1 to 500
  double TopAltitude = 70;         // km, above 0 and at most 100
  bool Isothermal = false;         // every level at the surface temperature
  int AngleNodes = 4;              // Gauss-Legendre nodes in the cosine of zenith angle, 1 to 64
  unsigned Threads = 0;            // 1: the calling thread only; otherwise the program's worker pool

  // "standard" (the program's standard atmosphere with the humidity rule), the name of a built-in
  // model atmosphere, or the path of a profile file.
  std::string Atmosphere = "standard";
  bool SurfaceFromTable = true; // a table's surface at the table's own T(0), not SurfaceTemperature
  double H2OScale = 1;          // a table's water vapour multiplied by this, 0 to 10
  // States beyond the first two (1x and the CO2 multiple), in this order.
  std::vector<TzqColumnState> MoreStates;
  std::optional<double> ObserverAltitude; // km, 0 to the top; none: the top
  TzqLook Look = TzqLook::Down;
  std::vector<TzqBand> HeatingBands; // empty: DefaultHeatingBands()

  bool operator==(const TzqColumnSettings&) const = default;
};

// Why the settings cannot be computed; empty when they can.
std::string CheckColumnSettings(const TzqColumnSettings& settings);

bool IsStandardAtmosphere(const TzqColumnSettings& settings);

// The states a computation compares: 1x, the changed state (CO2Factor and GasFactors, warmed by Offset),
// then MoreStates.
std::vector<TzqColumnState> ColumnStates(const TzqColumnSettings& settings);
// The multiples of the changed state, CO2's from CO2Factor.
TzqPerGas<double> ChangedFactors(const TzqColumnSettings& settings);
// The gases the changed state changes (multiple other than 1), in the registry's order.
std::vector<TzqColumnGas> ChangedGases(const TzqColumnSettings& settings);
// When the changed state changes two gases or more, one state per changed gas with its multiple alone
// (no warming), in ChangedGases' order, so the forcing of each can be told apart; else none.
std::vector<TzqColumnState> OneGasStates(const TzqColumnSettings& settings);

// 0-550, 550-800, 800-1250 and 1250-2500 cm-1: the far infrared water band, the CO2 band, the
// window, and the water bending band.
std::vector<TzqBand> DefaultHeatingBands();
const std::vector<TzqBand>& HeatingBandsOf(const TzqColumnSettings& settings);

// The column's wavenumber grid: the midpoints of equal steps that cut the band into whole steps no
// larger than the requested one.
struct TzqColumnGrid {
  std::size_t Points = 0;
  double Min = 0, Step = 0;
  double At(std::size_t j) const { return Min + (static_cast<double>(j) + 0.5) * Step; }
};
TzqColumnGrid ColumnGrid(const TzqColumnSettings& settings);
