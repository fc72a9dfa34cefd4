// The saturation formula in extended precision, evaluated in Horner form.
#include "zqSaturation.h"

#include <cmath>

long double SaturationVapourPressure(long double temperature) {
  if (!(temperature > 0)) return 0;
  const long double t = 1 - 373.15L / temperature;
  return 1013.25L * std::exp(t * (13.3185L - t * (1.97L - t * (0.6445L - t * 0.1299L))));
}
