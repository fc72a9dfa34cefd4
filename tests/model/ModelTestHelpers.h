// Builders shared by the model tests: fixed-width line records, line lists loaded from text, and
// subsets of the real HITRAN files.
#pragma once

#include "TestSupport.h"
#include "zqHITRAN.h"

#include <cmath>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace modeltest {

// Fields of one record as text, placed right-aligned in their columns of a 100-character record.
struct Fields {
  std::string code = " 21"; // columns 1-3
  std::string nu = "667.661427";
  std::string s = "2.963E-19";
  std::string air = ".0746";
  std::string self = "0.101";
  std::string energy = "0.0000";
  std::string exponent = "0.73";
  std::string at86; // columns 86.. when not empty
  std::size_t length = 100;

  // Chainable setters: Fields().Code(" 22").Nu("500").
  Fields& Code(std::string v) { return code = std::move(v), *this; }
  Fields& Nu(std::string v) { return nu = std::move(v), *this; }
  Fields& S(std::string v) { return s = std::move(v), *this; }
  Fields& Air(std::string v) { return air = std::move(v), *this; }
  Fields& Self(std::string v) { return self = std::move(v), *this; }
  Fields& Energy(std::string v) { return energy = std::move(v), *this; }
  Fields& Exponent(std::string v) { return exponent = std::move(v), *this; }
  Fields& At86(std::string v) { return at86 = std::move(v), *this; }
};

inline void put(std::string& line, std::size_t column, std::size_t width, const std::string& text) {
  const std::string t = text.size() > width ? text.substr(0, width) : text;
  line.replace(column - 1 + width - t.size(), t.size(), t);
}

inline std::string Record(const Fields& f) {
  std::string line(std::max<std::size_t>(f.length, 100), ' ');
  line.replace(0, f.code.size(), f.code);
  put(line, 4, 12, f.nu);
  put(line, 16, 10, f.s);
  put(line, 26, 10, "1.000E+00");
  put(line, 36, 5, f.air);
  put(line, 41, 5, f.self);
  put(line, 46, 10, f.energy);
  put(line, 56, 4, f.exponent);
  if (!f.at86.empty()) line.replace(85, f.at86.size(), f.at86);
  line.resize(f.length);
  return line;
}

// A record of molecule code " 2" (or code) with wavenumber nu, intensity s and air width.
inline std::string Line(double nu, double s, double air, double energy = 0, const std::string& code = " 21") {
  char b[3][32];
  std::snprintf(b[0], sizeof b[0], "%.6f", nu);
  std::snprintf(b[1], sizeof b[1], "%.3E", s);
  std::snprintf(b[2], sizeof b[2], "%.4f", air);
  char e[32];
  std::snprintf(e, sizeof e, "%.4f", energy);
  Fields f;
  f.code = code;
  f.nu = b[0];
  f.s = b[1];
  f.air = std::string(b[2]).substr(1); // ".0500": the HITRAN way, without the leading zero
  f.energy = e;
  return Record(f);
}

// A line list with molecule type moleculeType read from text written to a temporary file.
inline std::unique_ptr<T_zq_HITRAN> LoadText(const std::string& text,
                                             const std::string& moleculeType = " 2") {
  zqtest::TempDir dir;
  const auto file = dir / "lines.par";
  zqtest::WriteFile(file, text);
  auto list = std::make_unique<T_zq_HITRAN>();
  list->MoleculeType = moleculeType;
  list->LoadFromFile(file.string());
  return list;
}

// The records of a real HITRAN file whose wavenumber lies in [lo, hi], as text.
inline std::string RealSubset(const std::string& name, double lo, double hi) {
  std::ifstream in(zqtest::HitranDir() / name);
  std::string line, out;
  while (std::getline(in, line)) {
    const double nu = std::atof(line.substr(3, 12).c_str());
    if (nu >= lo && nu <= hi) out += line + "\n";
  }
  return out;
}

// Straightforward pressure-broadened spectrum in extended precision, summed without rounding.
inline std::vector<long double> ReferenceLorentz(const T_zq_HITRAN& list) {
  const long N = T_zq_HITRAN::kGridPoints;
  std::vector<long double> out(N + 1, 0.0L);
  const long double step = list.Step(), min = list.WavenumberMin, max = list.WavenumberMax;
  const long double T = list.Temperature, P = list.Pressure;
  const long double ratio = 296.0L / T;
  const long double R = list.MoleculeType == " 1" ? std::pow(ratio, 1.5L) : ratio;
  const long double E = (296.0L - T) / (296.0L * T * 0.69503563L);
  const long double G = std::sqrt(ratio) * P / 1013.0L;
  for (const THitranLine& l : list.Records) {
    const long double S = static_cast<double>(l.Intensity * R * std::exp(-l.LowerStateEnergy * E));
    const long double g = static_cast<double>(l.AirWidth * G);
    const long double w = g * list.LineWidthLimit;
    if (l.Wavenumber < min - w || l.Wavenumber > max + w) continue;
    const long h = static_cast<long>(std::trunc(w / step));
    const long m = static_cast<long>(std::nearbyint((l.Wavenumber - min) / step));
    for (long k = std::max(1L, m - h); k <= std::min(N, m + h); ++k) {
      const long double d = std::fabs(min + k * step - l.Wavenumber);
      out[k] += S * g / (g * g + d * d);
    }
  }
  return out;
}

// Straightforward Doppler spectrum in extended precision (molecule code 1: mass 18, 2: 44).
inline std::vector<long double> ReferenceDoppler(const T_zq_HITRAN& list) {
  const long N = T_zq_HITRAN::kGridPoints;
  std::vector<long double> out(N + 1, 0.0L);
  const long double step = list.Step(), min = list.WavenumberMin, max = list.WavenumberMax;
  const long double mass = list.MoleculeType == " 1" ? 18 : 44;
  for (const THitranLine& l : list.Records) {
    const double sigma = static_cast<double>(l.Wavenumber * 4.298e-5L * std::sqrt(list.Temperature / mass));
    const long double a = l.Intensity / (sigma * std::sqrt(3.14159265358979323846264338327950288L));
    if (l.Wavenumber < min - list.DopplerLimit * sigma || l.Wavenumber > max + list.DopplerLimit * sigma)
      continue;
    const long h = static_cast<long>(std::nearbyint(5 * sigma / step));
    const long m = static_cast<long>(std::nearbyint((l.Wavenumber - min) / step));
    if (m - h > N) break;
    for (long k = std::max(1L, m - h); k <= std::min(N, m + h); ++k) {
      const long double u = (static_cast<double>(min + k * step) - l.Wavenumber) / sigma;
      out[k] += a * std::exp(-u * u);
    }
  }
  return out;
}

// Largest relative difference of the spectrum from a reference, over points where the reference
// is not negligible against its own peak (1e-30 of it).
inline double WorstRelative(const T_zq_HITRAN& list, const std::vector<long double>& ref) {
  long double peak = 0;
  for (long double v : ref)
    peak = std::max(peak, v);
  double worst = 0;
  for (long k = 1; k <= T_zq_HITRAN::kGridPoints; ++k) {
    if (ref[k] <= peak * 1e-30L) continue;
    worst = std::max(worst, static_cast<double>(std::fabs(list.Spectrum[k] - ref[k]) / ref[k]));
  }
  return worst;
}

} // namespace modeltest
