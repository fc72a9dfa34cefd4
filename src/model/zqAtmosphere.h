// A standard atmosphere of eight layers with constant lapse rates, giving pressure (mb) and
// temperature (K) at an altitude (km) for the altitude box of the main window.
#pragma once

#include "zqPhysicalConstants.h"

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
  static constexpr long double HydrostaticConstant =
      zqconst::StandardGravity * zqconst::AirMolarMass / zqconst::AtmosphereGasConstant;

  T_zq_Atmosphere();

  // Pressure in mb at altitude h (km); also leaves it in LastPressure and the temperature in
  // LastTemperature. An altitude the layers cannot describe (not a finite number, a temperature of
  // 0 K or below, or a pressure beyond the range of a double) is refused: Reason() says why, the
  // result and both Last values are 0.
  long double PressureAt(long double h);

  // The altitude (km) where the pressure is p (mb): the inverse of PressureAt, solved on it, so the two
  // agree to rounding; LastPressure and LastTemperature are left at that altitude. Pressures outside
  // the altitudes -40 to 300 km, or not a number, are refused (Reason() says why; the result is 0).
  long double AltitudeAt(long double p);

  // Why the last PressureAt or AltitudeAt was refused; empty when it computed.
  const std::string& Reason() const { return reason_; }

  std::vector<TAtmosphereLayer> Layers;
  long double LastPressure = 0;
  long double LastTemperature = 0;

private:
  std::string reason_;
};
