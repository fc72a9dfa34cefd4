#include "zqReadout.h"

#include <algorithm>
#include <cstdio>

namespace zqsession {

std::string CursorReadoutText(double wavenumber, std::optional<double> value) {
  char buf[160];
  int n = std::snprintf(buf, sizeof buf, "%.2f cm-1", wavenumber);
  // Wavelength in um = 10^4 / wavenumber in cm-1.
  if (wavenumber > 0) n += std::snprintf(buf + n, sizeof buf - n, "   %.5g um", 1e4 / wavenumber);
  if (value) std::snprintf(buf + n, sizeof buf - n, "   y = %.5g", *value);
  return buf;
}

const THitranLine* StrongestLineIn(std::span<const THitranLine> lines, double lo, double hi) {
  auto first = std::lower_bound(lines.begin(), lines.end(), lo,
                                [](const THitranLine& l, double v) { return l.Wavenumber < v; });
  const THitranLine* best = nullptr;
  for (auto it = first; it != lines.end() && it->Wavenumber <= hi; ++it)
    if (!best || it->Intensity > best->Intensity) best = &*it;
  return best;
}

std::string LineReadoutText(const std::string& gas, const THitranLine& l) {
  char buf[256];
  std::snprintf(
      buf, sizeof buf, "%s line nu %.4f cm-1  S %.3g  gamma_air %.4f  gamma_self %.4f  E'' %.4f  n_air %.2f",
      gas.c_str(), l.Wavenumber, l.Intensity, l.AirWidth, l.SelfWidth, l.LowerStateEnergy, l.WidthExponent);
  return buf;
}

} // namespace zqsession
