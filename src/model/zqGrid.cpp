// Exact step truncation: the range difference and its product with 1000 are exact in extended
// precision for ordinary inputs, so one correction of the quotient's integer part makes it exact.
#include "zqGrid.h"

#include <cmath>

namespace zqgrid {

double TruncatedStep(double lo, double hi, long n) {
  if (n < 1 || !std::isfinite(lo) || !std::isfinite(hi)) return 0;
  const long double scaled = (static_cast<long double>(hi) - lo) * 1000.0L; // exact: 53 + 10 bits
  const long double magnitude = std::fabs(scaled);
  const long double count = static_cast<long double>(n);
  long double whole = std::floor(magnitude / count);
  // The division rounds; step the integer part until whole * n <= |scaled| < (whole + 1) * n.
  // Beyond 2^52 steps no correction is representable (and none is needed for any real range).
  if (whole < 0x1p52L) {
    if (whole > 0 && whole * count > magnitude) whole -= 1;
    if ((whole + 1) * count <= magnitude) whole += 1;
  }
  const double step = static_cast<double>(whole / 1000.0L);
  return scaled < 0 ? -step : step;
}

const char* GridProblem(double lo, double hi, long n, double& step) {
  step = 0;
  if (!std::isfinite(lo) || !std::isfinite(hi)) return "Wavenumber range is not a number";
  if (lo < 0) return "Wavenumber minimum must not be negative";
  if (hi <= lo) return "Wavenumber maximum must be above the minimum";
  step = TruncatedStep(lo, hi, n);
  if (step <= 0) return "Wavenumber range must be at least 50 cm-1 wide";
  return nullptr;
}

long double RoundHalfEven(long double v) {
  return std::nearbyint(v);
}

} // namespace zqgrid
