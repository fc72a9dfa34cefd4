#include "zqColumnMemory.h"

#include <cmath>
#include <cstdio>
#include <unistd.h>

namespace {

// Bytes per grid point and layer: a float cross-section per gas and the two float bases of water.
constexpr double kPerPointAndLayer = 2 * sizeof(float) + 2 * sizeof(float);
// Bytes per grid point whatever the layers: result wavenumbers and two spectra, and one fetch's grid,
// cross-section, its copy, the interpolation pair and the work split.
constexpr double kPerPoint = 3 * sizeof(double) + 7 * sizeof(double);
// Bytes per grid point, level and state: the upward and downward spectral fluxes (floats).
constexpr double kPerPointLevelAndState = 2 * sizeof(float);
// Bytes per grid point and state: the top's spectrum, the observed spectrum and its brightness
// temperature.
constexpr double kPerPointAndState = 3 * sizeof(double);

std::string gigabytes(double bytes) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f GB", bytes / 1e9);
  return text;
}

} // namespace

double ColumnMemoryBytes(const TzqColumnSettings& s) {
  const auto points = static_cast<double>(ColumnGrid(s).Points);
  const double layers = std::fmax(1.0, s.Layers);
  const auto states = static_cast<double>(ColumnStates(s).size());
  return points * (kPerPoint + kPerPointAndState * states + kPerPointAndLayer * layers +
                   kPerPointLevelAndState * states * (layers + 1));
}

double ColumnMemoryLimit() {
  const long pages = ::sysconf(_SC_PHYS_PAGES), size = ::sysconf(_SC_PAGESIZE);
  if (pages <= 0 || size <= 0) return 4.0 * (1u << 30);
  return 0.5 * static_cast<double>(pages) * static_cast<double>(size);
}

std::string ColumnMemoryProblem(const TzqColumnSettings& s, double limit) {
  const double need = ColumnMemoryBytes(s);
  if (!(need > limit)) return {};
  return "The column would need about " + gigabytes(need) +
         " of memory with this band, grid step and number of layers, more than the " + gigabytes(limit) +
         " (half of this machine's memory) a column may use: choose a coarser step, a narrower band or fewer "
         "layers";
}
