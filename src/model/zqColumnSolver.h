// The column's radiative transfer: upward and downward spectral fluxes at every level, for each state,
// from the layers' optical depths.
//
// Transfer: non-scattering, LTE, plane-parallel; black ground at the profile's surface temperature;
// zero downward intensity at the top; within a layer the Planck source is linear in optical depth
// between its level values. Intensities at Gauss-Legendre cosines mu give the fluxes
// F = 2 pi sum w mu I. Every grid point is computed on its own, so the fluxes are identical for any
// number of threads.
#pragma once

#include "zqOpticalDepths.h"

#include <string>
#include <vector>

// The fluxes of one state. Spectra in W m-2 per cm-1 at each level (0 = the ground) and grid point,
// kept as floats (1e-7 relative: far below anything shown, and half the memory of a fine grid); the
// level integrals and the top's upward spectrum in full precision.
struct TzqSpectralFluxes {
  std::vector<std::vector<float>> Up, Down; // [level][point]
  std::vector<double> TopUp;                // the upward spectrum at the top
  std::vector<double> LevelUp, LevelDown;   // W/m2 at every level: the spectra's midpoint-rule integrals
};

// A layer and gas that absorb.
struct TzqAbsorber {
  std::size_t Layer;
  TzqColumnGas Gas;
};

struct TzqSolveRequest {
  std::vector<const TzqColumnProfile*> Profiles; // per state (states without a warming share one)
  TzqColumnGrid Grid;
  int AngleNodes = 4;
  unsigned Threads = 0; // 1: the calling thread only; otherwise the worker pool
  const TzqOpticalDepths* Depths = nullptr;
  std::vector<TzqAbsorber> Absorbers;
  std::vector<TzqColumnState> States;
  std::vector<TzqSpectralFluxes*> Out; // per state; null: that state is not solved
  double ProgressFrom = 0;             // the progress bar's share already done
};

// Fills every requested state's fluxes. The level integrals are summed chunk by chunk in grid order
// and the chunks in order, so they do not depend on the threads either. False on a cancel (reason filled, the
// fluxes unusable); std::bad_alloc when memory runs out.
bool SolveColumn(const TzqSolveRequest& request, const TzqColumnProgress& progress, std::string& reason);
