// A standard atmosphere of eight layers with constant lapse rates, giving pressure (mb) and
// temperature (K) at an altitude (km) for the altitude box of the main window.
#pragma once

#include <string>
#include <vector>

struct TAtmosphereLayer {
  double BaseAltitude;    // km
  double LapseRate;       // K per km of height within the layer
  double BaseTemperature; // K at BaseAltitude
  double BasePressure;    // mb at BaseAltitude
};

class T_zq_Atmosphere {
public:
  // g * M / R with altitudes in km: K per km.
  static constexpr long double HydrostaticConstant = 9.80665L * 28.9644L / 8.31432L;

  T_zq_Atmosphere();

  // Pressure in mb at altitude h (km); also leaves it in LastPressure and the temperature in
  // LastTemperature. An altitude the layers cannot describe (not a finite number, a temperature of
  // 0 K or below, or a pressure beyond the range of a double) is refused: Reason() says why, the
  // result and both Last values are 0.
  long double PressureAt(long double h);

  // Why the last PressureAt was refused; empty when it computed.
  const std::string& Reason() const { return reason_; }

  std::vector<TAtmosphereLayer> Layers;
  long double LastPressure = 0;
  long double LastTemperature = 0;

private:
  std::string reason_;
};
