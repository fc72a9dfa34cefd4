// Saturation vapour pressure over water for the humidity controls (through a line list's temperature)
// and for the water vapour of the atmosphere column: one formula, defined with the classic formulas.
#pragma once

#include "zqClassicFormulas.h"

// Saturation vapour pressure (mb) at temperature (K): with t = 1 - 373.15 / T,
// 1013.25 exp(13.3185 t - 1.97 t^2 + 0.6445 t^3 - 0.1299 t^4). 0 at or below 0 K.
using zqclassic::SaturationVapourPressure;
