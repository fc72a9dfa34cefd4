// Synthetic cross-section sources for the atmosphere column: grey absorbers and a CO2-like band of
// lines whose width follows pressure and temperature. Shared by the column tests and benchmark.
#pragma once

#include "zqColumn.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

namespace columntest {

// The same cross-section (cm2 per molecule) at every wavenumber in [lo, hi], per gas.
class GreySource : public TzqCrossSectionSource {
public:
  GreySource(double h2o, double co2, double lo = 0, double hi = 1e9) : sigma_{h2o, co2}, lo_(lo), hi_(hi) {}
  bool CrossSections(TzqColumnGas gas, const TzqLayerConditions&, std::span<const double> wavenumber,
                     std::span<double> sigma, std::string&) override {
    ++calls;
    for (std::size_t j = 0; j < wavenumber.size(); ++j)
      sigma[j] = wavenumber[j] >= lo_ && wavenumber[j] <= hi_ ? sigma_[static_cast<int>(gas)] : 0;
    return true;
  }
  int calls = 0;

private:
  double sigma_[kColumnGases];
  double lo_, hi_;
};

// A CO2-like band: lines every 1.56 cm-1 from the centre 667 cm-1 out to +-90 cm-1, strongest near
// the centre, each with an area-normalised Lorentz shape whose half width combines a pressure width
// 0.07 (p / 1013.25) (296 / T)^0.75 with a Doppler-like floor; lines reach 25 cm-1 each side. Water
// is a weak grey absorber below 500 cm-1 and above 1300 cm-1 unless turned off.
class BandSource : public TzqCrossSectionSource {
public:
  explicit BandSource(double strength = 3e-19, double waterSigma = 0)
      : strength_(strength), water_(waterSigma) {}
  bool CrossSections(TzqColumnGas gas, const TzqLayerConditions& layer, std::span<const double> wavenumber,
                     std::span<double> sigma, std::string&) override {
    ++calls;
    if (gas == TzqColumnGas::H2O) {
      for (std::size_t j = 0; j < wavenumber.size(); ++j)
        sigma[j] = wavenumber[j] < 500 || wavenumber[j] > 1300 ? water_ : 0;
      return true;
    }
    const double lorentz = 0.07 * layer.Pressure / 1013.25 * std::pow(296 / layer.Temperature, 0.75);
    const double doppler = 6e-4 * std::sqrt(layer.Temperature / 296);
    const double gamma = std::sqrt(lorentz * lorentz + doppler * doppler);
    for (int m = -58; m <= 58; ++m) {
      const double centre = 667 + 1.56 * m;
      const double s = strength_ * std::exp(-std::pow(m * 1.56 / 40, 2));
      // the grid is ascending: visit only the points within reach
      const auto from = std::lower_bound(wavenumber.begin(), wavenumber.end(), centre - 25);
      for (auto it = from; it != wavenumber.end() && *it <= centre + 25; ++it) {
        const double d = *it - centre;
        sigma[static_cast<std::size_t>(it - wavenumber.begin())] +=
            s * gamma / (std::numbers::pi * (gamma * gamma + d * d));
      }
    }
    return true;
  }
  int calls = 0;

private:
  double strength_, water_;
};

} // namespace columntest
