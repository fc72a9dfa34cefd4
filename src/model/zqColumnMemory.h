// How much memory an atmosphere column will take, estimated from its settings before anything is
// allocated, and the share of the machine's memory a column may use, so that settings which pass every
// other check (a fine step over a wide band) are refused by name instead of exhausting the machine.
#pragma once

#include "zqColumn.h"

#include <cstdint>
#include <string>

// Bytes a column computation holds at its peak for these settings: per grid point the cached layer
// cross-sections (two gases, floats), the water-vapour interpolation bases, every state's fluxes at
// every level, the result spectra and the
// temporaries of one cross-section fetch; the spectrum CSV is written as it is formed and adds nothing.
double ColumnMemoryBytes(const TzqColumnSettings& settings);

// The most a column may take: half of the machine's physical memory (sysconf), or 4 GiB when the
// system does not say.
double ColumnMemoryLimit();

// Why the settings would take more memory than limit bytes, with both figures; empty when they fit.
std::string ColumnMemoryProblem(const TzqColumnSettings& settings, double limit = ColumnMemoryLimit());
