// Evenly spaced wavenumber grids shared by the line list (50,000 points) and the blackbody curves
// (N points): the step is the range over the number of points, cut towards zero to 0.001 cm-1, and
// point i lies at min + i * step.
#pragma once

#include <cstdint>

namespace zqgrid {

// Trunc((hi - lo) / n * 1000) / 1000 with the truncation taken on the exact quotient, so a range of
// 400 cm-1 over 50,000 points gives 0.008 and never 0.007. Negative for hi < lo; 0 when n < 1 or
// the values are not finite.
double TruncatedStep(double lo, double hi, long n);

// Why [lo, hi] cannot carry a grid of n points, or nullptr; step then holds TruncatedStep(lo, hi, n).
const char* GridProblem(double lo, double hi, long n, double& step);

// Nearest integer, halves to the even neighbour (the rounding of the line-centre index).
long double RoundHalfEven(long double v);

} // namespace zqgrid
