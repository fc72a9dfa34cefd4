// The atmosphere column: a clear-sky column of the standard atmosphere with water vapour and CO2, and
// its outgoing infrared spectrum for a CO2 amount and a multiple of it, line by line on a grid of its
// own. The absorption comes from a cross-section source (the HITRAN engine, or a synthetic one in
// tests); the column caches what the source gives, so a new CO2 multiple or humidity only re-solves
// the radiative transfer.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

// Everything a column computation takes. Units: K, percent, ppm, cm-1, km.
struct TzqColumnSettings {
  double SurfaceTemperature = 288; // K, 150 to 350
  double RelativeHumidity = 60;    // percent, 0 to 100, held up to the tropopause
  double CO2 = 350;                // ppm, well mixed
  double CO2Factor = 2;            // the multiple compared with CO2 (>= 0)
  double StratosphericH2O = 5;     // ppm above the tropopause, or the tropopause value if lower
  double WavenumberMin = 0;        // cm-1
  double WavenumberMax = 2500;     // cm-1
  double Step = 0.01;              // cm-1, largest grid step; the band is cut into equal steps
  int Layers = 60;                 // evenly spaced in log-pressure, 1 to 500
  double TopAltitude = 70;         // km, above 0 and at most 100
  bool Isothermal = false;         // every level at the surface temperature
  int AngleNodes = 4;              // Gauss-Legendre nodes in the cosine of zenith angle, 1 to 64
  unsigned Threads = 0;            // 1: the calling thread only; otherwise the program's worker pool

  bool operator==(const TzqColumnSettings&) const = default;
};

// The absorbing gases of the column.
enum class TzqColumnGas { H2O = 0, CO2 = 1 };
inline constexpr int kColumnGases = 2;

// One layer's conditions as a cross-section source sees them.
struct TzqLayerConditions {
  int Layer = 0;          // 0 = the lowest
  double Temperature = 0; // K
  double Pressure = 0;    // mb
  double H2O = 0;         // ppm
  double CO2 = 0;         // ppm, at 1x
};

// Where the column's absorption comes from.
class TzqCrossSectionSource {
public:
  virtual ~TzqCrossSectionSource() = default;
  // Absorption cross-sections (cm2 per molecule) of gas in a layer at every grid wavenumber (cm-1),
  // written into sigma (same length, arriving filled with 0). Called on the column's calling thread, one call
  // at a time, so the source may use the worker pool itself. False refuses the computation with reason
  // filled.
  virtual bool CrossSections(TzqColumnGas gas, const TzqLayerConditions& layer,
                             std::span<const double> wavenumber, std::span<double> sigma,
                             std::string& reason) = 0;
  // True when the gas's cross-sections change with the mixing ratios (self-broadening): the cache then
  // recomputes them when the gas's amount changes. False (the default): they depend on T and p only.
  virtual bool DependsOnMixingRatio(TzqColumnGas) const { return false; }
  // Changes whenever what the source computes changes (other lines, other settings), so the cache
  // knows to drop what it holds.
  virtual uint64_t Revision() const { return 0; }
};

// The column's levels and layers. Level 0 is the surface, level N the top; layer k lies between
// levels k and k + 1.
struct TzqColumnLayer {
  double Pressure = 0;    // mb, mass-weighted mean
  double Temperature = 0; // K, mass-weighted mean
  double H2O = 0;         // ppm, mass-weighted mean
  double CO2 = 0;         // ppm at 1x
  double AirColumn = 0;   // molecules of air per cm2
};
struct TzqColumnProfile {
  std::vector<double> LevelPressure;    // mb
  std::vector<double> LevelTemperature; // K
  std::vector<TzqColumnLayer> Layers;
  int TropopauseLevel = 0; // the first level above which temperature stops falling
  std::string Refusal;     // why no profile could be built; empty when built
  std::vector<std::string> Notes;
};

// Builds the levels, layer means and gas amounts of a column (no spectra). Refuses bad settings.
TzqColumnProfile BuildColumnProfile(const TzqColumnSettings& settings);
// Why the settings cannot be computed; empty when they can.
std::string CheckColumnSettings(const TzqColumnSettings& settings);
// Temperature (K) of the column's profile at pressure p (mb): the rule behind the level temperatures.
double ColumnTemperatureAt(const TzqColumnSettings& settings, double p);

// Progress and cancellation of one computation. OnProgress gets the fraction done (0 to 1) on the
// calling thread; Cancel is read between layers and between spectral chunks.
struct TzqColumnProgress {
  std::function<void(double)> OnProgress;
  const std::atomic<bool>* Cancel = nullptr;
};

// Fluxes in W/m2, spectra in W m-2 per cm-1. "Nx" is the CO2Factor multiple.
struct TzqColumnResult {
  bool Computed = false;
  std::string Refusal; // why nothing was computed (bad settings, a refused source, a cancel)
  std::vector<std::string> Notes;

  std::vector<double> Wavenumber; // cm-1, the midpoints of the grid steps
  std::vector<double> OLR1xSpectrum, OLRNxSpectrum;
  double Step = 0; // cm-1, the step used
  double OLR1x = 0, OLRNx = 0;
  double ForcingTOA = 0;        // OLR1x - OLRNx
  double ForcingTropopause = 0; // net upward flux at the tropopause, 1x minus Nx
  double SurfaceDownwelling1x = 0, SurfaceDownwellingNx = 0;
  double SurfaceEmission = 0;    // blackbody exitance of the surface over the band
  double TropopausePressure = 0; // mb
  TzqColumnProfile Profile;
};

// A column computation with its cache of layer cross-sections.
class TzqColumn {
public:
  TzqColumnResult Compute(const TzqColumnSettings& settings, TzqCrossSectionSource& source,
                          const TzqColumnProgress& progress = {});
  // Drops the cached cross-sections.
  void ClearCache();
  // Layer cross-sections fetched from a source by the last Compute (0 when all came from the cache).
  int LastFetches() const { return last_fetches_; }

private:
  TzqColumnResult compute(const TzqColumnSettings& settings, TzqCrossSectionSource& source,
                          const TzqColumnProgress& progress);

  struct Entry {
    bool valid = false;
    double temperature = 0, pressure = 0, h2o = 0, co2 = 0;
    std::vector<float> sigma; // cm2 per molecule at the grid points; floats: 120 MB at the defaults
  };
  const TzqCrossSectionSource* source_ = nullptr;
  uint64_t revision_ = 0;
  double grid_min_ = 0, grid_step_ = 0;
  std::size_t grid_points_ = 0;
  std::vector<Entry> entries_; // layer * kColumnGases + gas
  int last_fetches_ = 0;
  // The 1x solution of the last computation, reused when only the CO2 multiple (or the thread count)
  // changes and no cross-section was fetched again.
  struct OneX {
    bool valid = false;
    TzqColumnSettings key;
    std::vector<double> spectrum, tropopauseSums, surfaceSums; // per point; per chunk
  } one_x_;
};
