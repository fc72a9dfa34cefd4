// The read-out under the chart's cursor: wavenumber, wavelength and the value there, and the
// parameters of the strongest line of a list within a small wavenumber window around it. Plain C++.
#pragma once

#include "zqHitranRecord.h"

#include <optional>
#include <span>
#include <string>

namespace zqsession {

// "667.02 cm-1   14.992 um   y = 1.2345e-19" (no wavelength at 0 cm-1 and below; no value when none).
std::string CursorReadoutText(double wavenumber, std::optional<double> value);

// The strongest line (file intensity) with lo <= wavenumber <= hi, or none. lines ascending by
// wavenumber, as HITRAN files are.
const THitranLine* StrongestLineIn(std::span<const THitranLine> lines, double lo, double hi);

// "CO2 line nu 667.3801 cm-1  S 3.1e-19  gamma_air 0.0707  gamma_self 0.0900  E'' 0.0000  n_air 0.76"
std::string LineReadoutText(const std::string& gas, const THitranLine& line);

} // namespace zqsession
