// The warming that restores the balance: the offset dT of the troposphere and the ground (zqColumn-
// Profile's StateProfile) at which the changed state (the CO2 multiple) sends as much infrared up
// through the observer's level as the base state does unwarmed, with water held as fixed vapour or
// fixed relative humidity. Solved by the secant method on the column's own fluxes, each step a column
// computation that recomputes only what the warming changes (the tropospheric layers of one state).
// The first warmed step fetches those layers' cross-sections; later steps interpolate them linearly in
// temperature between the unwarmed and that step's (TzqColumn::SetTemperatureInterpolation); the
// answer is then finished with exact steps from there (one or two), which measures what the
// interpolation cost.
#pragma once

#include "zqColumn.h"

#include <cmath>
#include <string>

struct TzqBalance {
  bool Solved = false;
  std::string Refusal;
  TzqHold Hold = TzqHold::Vapour;
  double Warming = 0;           // K
  int Iterations = 0;           // column computations after the unwarmed one
  double Forcing = 0;           // W/m2: base minus changed flux at the observer's level, unwarmed
  double Imbalance = 0;         // W/m2 left at the solution (changed minus base)
  double FeedbackParameter = 0; // W m-2 K-1: the forcing over the warming (NaN for no forcing)
  // K: the interpolated answer minus the exact one (NaN when not checked).
  double InterpolationError = std::nan("");
  TzqColumnResult Result; // the column at the solution
};

// Flux (W/m2) changes below this count as balanced.
inline constexpr double kBalanceTolerance = 1e-7;

// Solves for dT from firstGuess (K; NaN: the forcing over 3.3 W m-2 K-1, a typical clear-sky
// response). settings' Offset and Hold are replaced; the observer must look down.
// check: finish with exact steps (without it the answer is the interpolated one).
TzqBalance SolveBalance(TzqColumn& column, TzqColumnSettings settings, const TzqColumnSources& sources,
                        TzqHold hold, const TzqColumnProgress& progress = {},
                        double firstGuess = std::nan(""), bool check = true);
