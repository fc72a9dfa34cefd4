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
  // Cell means instead of point values: the value at point k is the mean of sigma over its cell (on the
  // 50,000-point grid x(k) - Step/2 .. x(k) + Step/2; on a grid of the caller's own CellEdges, or halfway
  // to the neighbours), each line's share of the cell taken from its profile's integral, so a line
  // narrower than a cell keeps its area. A line whose half width is kHitranPointValuesFrom cells or more
  // keeps its point values (they differ from its cell means by less than 0.6 %, its area not at all).
  bool CellAverage = false;
  // With Grid: the edges of the points' cells, Grid.size() + 1 of them, ascending, point k inside
  // [CellEdges[k], CellEdges[k + 1]]. Used with CellAverage; it must outlive the computation.
  std::span<const double> CellEdges;
  // The line-wing convention of the water-vapour continuum (zqContinuum.h): every line reaches
  // kContinuumWingReach cm-1 from its pressure-shifted centre, whatever its width, and its profile value
  // there (the plinth) is subtracted, so a line adds f(d) - f(25 cm-1) >= 0 for |d| <= 25 cm-1 and
  // nothing beyond. Set it for water when the continuum is added; LineWidthLimit is then not used.
  bool ContinuumWings = false;
  // With ContinuumWings, the far wings (beyond a few cm-1) are summed on a coarser grid and interpolated
  // back (relative error below 1e-4 in a wing, far below in any band integral); false sums every point
  // of every wing, the reference for that method.
  bool CoarseWings = true;
};

// cm-1 from a line's centre that a line reaches under the continuum's convention (Mlawer et al. 2012).
inline constexpr double kContinuumWingReach = 25;

// Half widths, in cells, from which a line of a cell-mean computation keeps its point values.
inline constexpr double kHitranPointValuesFrom = 4;

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
  std::vector<double> Sigma; // cm2/molecule at X (with CellAverage, over X's cells); empty when refused
  double NumberDensity = 0;  // molecules/cm3 of this gas at the conditions
  long LinesUsed = 0;        // lines whose window reaches the grid
  double Pairs = 0;          // line-point (or line-cell) pairs evaluated
  std::string Refusal;       // why nothing was computed; empty when Sigma is valid
  bool Cancelled = false;    // refused because the conditions' Cancel was raised
  std::vector<std::string> Notes;
  bool Valid() const { return Refusal.empty(); }
};

// sigma(x) = sum over lines of S_i(T) f_i(x - nu*_i), where line i adds at grid points
// nu_i - W_i < x <= nu_i + W_i, W_i = LineWidthLimit * max(gammaL, gammaD) for Voigt (gammaL alone for
// Lorentz, gammaD alone for Doppler), centred on the unshifted nu_i as HITRAN's own tools do. With
// CellAverage, line i adds its share of [nu_i - W_i, nu_i + W_i] that lies in each cell, over the cell's
// width: exactly from the profile's integral (zqHitranPhysics.h) in the cells within 8 half widths or 8
// widths of its own cell of its centre and at its window's ends; beyond, where the profile is smooth on
// the scale of a cell, by Simpson's rule on the cell's edges and centre (relative error below 1e-5),
// and beyond 64 of them by the value at the cell's centre (below 6e-5); each line's area is kept to
// about 1e-6.
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
  double S = 0, GammaL = 0, GammaD = 0, Reach = 0; // S(T), the widths in use and W (cm-1)
  int32_t Lo = 0, Hi = -1;         // window: 0-based grid indices Lo .. Hi (cells when CellMean)
  int32_t CoreLo = 0, CoreHi = -1; // CellMean: the cells integrated exactly besides Lo and Hi, and
  int32_t NearLo = 0, NearHi = -1; // those beyond them up to these by Simpson's rule
  TKind Kind = TKind::None;
  bool CellMean = false; // adds cell means (the conditions' CellAverage, and narrow enough)
  // The continuum's wing convention: the window is Mid -/+ Reach (Mid = Nu + Shift; otherwise Nu) and
  // the profile value at Reach, Plinth, is subtracted (0 without the convention).
  double Mid = 0, Plinth = 0;
  // Coarse wings: Lo .. Hi are the points within Split of the centre, where the line adds its wing
  // value minus the quartic Q0 + Q2 d^2 + Q4 d^4 matched to it at Split; the rest goes onto the coarse
  // levels from FirstLevel on (see zqCrossSection.cpp).
  double Split = 0, Q0 = 0, Q2 = 0, Q4 = 0;
  int8_t FirstLevel = 0;
  bool Coarse = false;
};
// One coarse level of a computation's far wings: nodes Origin + j Step, j = 0 .. X.size() - 1, two
// beyond each end of the grid, so that every point has four nodes around it.
struct THitranCoarseGrid {
  double Origin = 0, Step = 0;
  std::vector<double> X;
};
// What a coarse-wing line adds on one level: on its nodes Lo .. Hi the wing minus the quartic Less,
// on the nodes CoreLo .. CoreHi (within the level's own split) the quartic Core instead.
struct THitranWingPiece {
  double Less[3] = {0, 0, 0}, Core[3] = {0, 0, 0}; // Q0, Q2, Q4
  int32_t Lo = 0, Hi = -1, CoreLo = 0, CoreHi = -1;
};
struct THitranPlacement {
  THitranCrossSection Result;            // everything but Sigma (empty until pass 2)
  std::vector<THitranPlacedLine> Lines;  // the lines that reach the grid, in file order
  std::vector<double> Edges, Centres;    // CellAverage: the cells' edges and midpoints
  std::vector<THitranCoarseGrid> Coarse; // ContinuumWings with CoarseWings: the far wings' levels
  std::vector<THitranWingPiece> Pieces;  // line i's piece on level l at i * Coarse.size() + l
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
