// The column and the humidity controls share the classic formula.
#include "zqSaturation.h"

#include "zqClassicFormulas.h"

long double SaturationVapourPressure(long double temperature) {
  return zqclassic::SaturationVapourPressure(temperature);
}
