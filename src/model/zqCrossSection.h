// The absorption cross-section of one gas in the HITRAN line-physics mode: every line's intensity at
// T, its Lorentz and Doppler widths and pressure-shifted centre (zqHitranPhysics.h), spread with a
// unit-area Lorentz, Gauss (Doppler) or Voigt profile over the 50,000-point grid. Qt-free; what cannot
// be computed comes back as a refusal text, what the user should know as notes.
#pragma once

#include "zqHitranRecord.h"

#include <atomic>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

class T_zq_HITRAN;

enum class THitranProfile { Lorentz, Doppler, Voigt };

// The state of the gas and the grid of one computation.
struct THitranConditions {
  double Temperature = 296;  // K, 1 .. 5000 (the partition-sum tables)
  double Pressure = 1013.25; // mb, total pressure
  double MixingRatio = 400;  // ppm of this gas (self broadening), 0 .. 1e6
  THitranProfile Profile = THitranProfile::Voigt;
  double LineWidthLimit = 200; // a line reaches this many half widths on each side of its file position
  double WavenumberMin = 500;  // cm-1: grid x(k) = WavenumberMin + k * Step, k = 1 .. 50,000, Step the
  double WavenumberMax = 700;  // range over 50,000 cut to 0.001 cm-1 (as the classic grid)
  unsigned Threads = 0;        // threads to use; 0 = every core. The result is the same for any count.
  // A grid of the caller's own instead of the 50,000 points: ascending and evenly spaced (as the
  // atmosphere column's), any number of points; WavenumberMin/Max are then not used. It must outlive
  // the computation.
  std::span<const double> Grid;
  // When set and raised, the computation stops within a few lines and leaves no result (Cancelled).
  const std::atomic<bool>* Cancel = nullptr;
};

// The lines of one isotopologue: records as read, their pressure shifts (cm-1/atm, one per record;
// NaN or a missing entry is taken as 0 with a note) and the HITRAN molecule/isotopologue numbers.
struct THitranLineSet {
  std::span<const THitranLine> Lines;
  std::span<const double> PressureShifts;
  int Molecule = 0;
  int Isotopologue = 1;
};

// The lines of a loaded list: its molecule number from MoleculeType and isotopologue 1 (the only one
// the list keeps).
THitranLineSet HitranLineSet(const T_zq_HITRAN& list);

struct THitranCrossSection {
  double Step = 0;           // cm-1
  std::vector<double> X;     // X[k - 1] = WavenumberMin + k * Step (doubles built with integer k), or
                             // a copy of the conditions' Grid
  std::vector<double> Sigma; // cm2/molecule at X; empty when refused
  double NumberDensity = 0;  // molecules/cm3 of this gas at the conditions
  long LinesUsed = 0;        // lines whose window reaches the grid
  double Pairs = 0;          // line-point pairs evaluated
  std::string Refusal;       // why nothing was computed; empty when Sigma is valid
  bool Cancelled = false;    // refused because the conditions' Cancel was raised
  std::vector<std::string> Notes;
  bool Valid() const { return Refusal.empty(); }
};

// sigma(x) = sum over lines of S_i(T) f_i(x - nu*_i), where line i adds at grid points
// nu_i - W_i < x <= nu_i + W_i, W_i = LineWidthLimit * max(gammaL, gammaD) for Voigt (gammaL alone for
// Lorentz, gammaD alone for Doppler), centred on the unshifted nu_i as HITRAN's own tools do.
THitranCrossSection ComputeHitranCrossSection(const THitranLineSet& lines,
                                              const THitranConditions& conditions);

// The two passes of ComputeHitranCrossSection, for callers that time or reuse them. Pass 1 computes
// every line's intensity, widths, centre and window (lines split between the threads); pass 2 sums the
// profiles of the lines that reach the grid (grid split between the threads).
struct THitranPlacedLine {
  enum class TKind : uint8_t { None, Lorentz, Gauss, Voigt };
  double Nu = 0, Shift = 0;   // file position and pressure shift (cm-1): the centre is Nu + Shift
  double C = 0, A = 0, Y = 0; // Lorentz: S gammaL / pi, gammaL^2; Gauss: sqrt(ln2)/gammaD, amplitude;
                              // Voigt: the same and y = C gammaL
  int32_t Lo = 0, Hi = -1;    // window: 0-based grid indices Lo .. Hi
  TKind Kind = TKind::None;
};
struct THitranPlacement {
  THitranCrossSection Result;           // everything but Sigma (empty until pass 2)
  std::vector<THitranPlacedLine> Lines; // the lines that reach the grid, in file order
};
THitranPlacement PlaceHitranLines(const THitranLineSet& lines, const THitranConditions& conditions);
// Fills placement.Result.Sigma (nothing when the placement was refused). threads: 0 = every core. A
// raised cancel flag leaves the result cancelled, with no Sigma. A sum too large for a double refuses the
// result (Sigma empty), naming the lines it comes from.
void SumHitranLines(THitranPlacement& placement, unsigned threads, const std::atomic<bool>* cancel = nullptr);
// Names the lines that reach grid point k (0-based), strongest there first, for that refusal.
std::string OverflowingLinesText(const THitranPlacement& placement, int32_t k);

// How many line-point pairs of a Voigt computation fall in each region of the Faddeeva kernel, and how
// many use the pure Gauss profile (lines without Lorentz width). For benchmark reports.
struct TVoigtRegionCounts {
  double Central = 0, Mid = 0, Far = 0, Gauss = 0;
};
TVoigtRegionCounts CountVoigtRegions(const THitranLineSet& lines, const THitranConditions& conditions);
