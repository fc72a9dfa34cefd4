// One molecule's HITRAN line list and everything computed from it: line intensities and widths at a
// temperature and pressure, the broadened spectrum on a 50,000-point wavenumber grid (Lorentz or
// Doppler), column density, the chart series (raw lines, I/alpha, spectrum, mean paths, optical
// depth) and the absorbed-power integrals. Registered as the data-file type "HITRAN 100".
#pragma once

#include "zqDatafile.h"
#include "zqHitranRecord.h"

#include <array>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

class TLineSeries;

class T_zq_HITRAN : public TzqDatafile {
public:
  static constexpr long kGridPoints = 50000;

  // Declares the INI parameter "Molecule_type" (string, default "xx", "notrim").
  T_zq_HITRAN();
  ~T_zq_HITRAN() override;

  // Computation parameters. Those the spectrum depends on are changed through the setters below,
  // which mark the spectrum for recomputation; the others the main window assigns directly.
  double WavenumberMin = 0;    // cm-1
  double WavenumberMax = 5000; // cm-1
  double PathFactor = 1;       // m ln 2 for a mean free path, m for an optical thickness
  double MixingRatio = 1000;   // ppm, never below 1e-7
  std::string MoleculeType = " 1";
  double LineWidthLimit = 40; // half widths a pressure-broadened line reaches on each side
  double DopplerLimit = 30;   // Doppler widths outside the range beyond which a line is skipped
  double MaxPath = 0;         // m, upper clamp of plotted mean paths
  double MinPath = 0;         // m, lower clamp
  double Scale = 1;           // 1, or MixingRatio when scaling by mixing ratio
  // The broadened spectrum at grid point k = 1 .. 50,000 (element 0 is unused and stays 0).
  std::array<double, kGridPoints + 1> Spectrum{};
  double Temperature = 0; // K
  bool DopplerBroadening = false;
  bool Locked = false;     // Spectrum is written from outside (the combined spectrum) and never recomputed
  bool Dirty = true;       // Spectrum must be recomputed before its next use
  double Pressure = 0;     // mb
  std::string SpectraType; // "raw", "I/Alpha", "Temperature and Pressure Broadened",
                           // "Temperature, Pressure, and Doppler Broadened"
  std::string Scaling;     // "raw" or "Mixing Ratio"
  std::string PlotType;    // "Spectra", "Optical Depth" or "Mean Path"

  // The kept lines in file order (ascending wavenumber in HITRAN files).
  std::vector<THitranLine> Records;
  // Air pressure shift of each kept line (cm-1/atm), NaN where the record has none; read only by the
  // HITRAN line physics (zqCrossSection.h).
  std::vector<double> PressureShifts;

  // File reading (the base skips comment lines, ">" or "%", before the first data line): each line
  // is tested and, when kept, converted. A field that does not convert throws EHitranConvertError
  // naming the file, the line number and the field; lines kept before it stay.
  // Records of another molecule or isotopologue, lines that are no record, and records with a negative
  // intensity or wavenumber are left out and counted for ReadNote.
  void ProcessLine(std::string_view line) override;
  // A ".data" file with a ".header" beside it (any letter case) is read in the layout the header's JSON
  // gives; a header that cannot be used, or whose row count the data contradicts, stops the reading.
  std::string_view ReadFirstDataLine() override;
  void FinishReading() override;
  void ClearRecords() override;
  std::string ReadNote() const override;
  std::size_t RecordCount() const override { return Records.size(); }

  // A number that identifies the contents of Records and PressureShifts: a new one, never used
  // before by any list, whenever they change (a line read, the list cleared). Results computed from
  // the lines are kept under it (zqCrossSectionCache.h). Code that writes Records itself calls
  // LinesChanged afterwards.
  uint64_t Revision() const { return revision_; }
  void LinesChanged();
  // Takes the lines of other (records, pressure shifts, molecule type) with their revision, so what
  // was computed from other's lines serves this list too.
  void CopyLinesFrom(const T_zq_HITRAN& other);

  // Setters: store the value and set Dirty only when it differs exactly from the stored one.
  void SetWavenumberMin(double x);
  void SetWavenumberMax(double x);
  void SetPressure(double x);
  void SetTemperature(double x);
  void SetLineWidthLimit(double x);
  void SetDopplerBroadening(bool b);
  // Stores max(x, 1e-7); sets Dirty only when leaving the floor (the spectrum depends on the mixing
  // ratio only through its zero test).
  void SetMixingRatio(double x);

  // Grid step (cm-1): the range over 50,000 cut to 0.001 cm-1; 0 when the range cannot carry a grid
  // (narrower than 50 cm-1, inverted, negative minimum, not finite).
  double Step() const;
  // Wavenumber of grid point k with the current range.
  double GridX(long k) const;

  // Intensity and half width of every line at temperature (K) and pressure (mb).
  void AdjustLines(double pressure, double temperature);
  // Recomputes Spectrum when Dirty (and not Locked).
  void UpdateSpectrum();
  void ComputeDopplerSpectrum(double temperature);
  // Absorbing molecules per cm2 per metre of path; 0 when temperature or pressure is not positive.
  double NumberDensity();

  // Fills series by PlotType, SpectraType and Scaling; seriesType and xType do not matter here.
  void FillSeries(TLineSeries& series, const std::string& seriesType, const std::string& xType) override;
  void AddRawLines(TLineSeries& series);
  void AddIntensityOverWidth(TLineSeries& series);
  void AddLineMeanPaths(TLineSeries& series);
  void AddSpectrum(TLineSeries& series);
  void AddMeanPaths(TLineSeries& series);
  void AddOpticalDepths(TLineSeries& series);

  // Absorbed-power integrals for a path of L metres over the grid.
  double FractionBelowPath(double L);
  // weights[i] belongs to grid point i + 1; missing weights count as 0 (no table: result 0).
  double WeightedAbsorption(double L, std::span<const double> weights = {});
  double AbsorbedBlackbodyPower(double L); // W/m2
  // Saturation vapour pressure over water at Temperature (mb); 0 at or below 0 K.
  long double SaturationPressure() const;
  // Spectrum by grid point: SpectrumData()[k] for k = 1 .. 50,000.
  double* SpectrumData() { return Spectrum.data(); }

  // Why the last fill or integral could not be computed from the parameters (series empty or zero,
  // result 0), for the window to show, e.g. "Wavenumber range must be at least 50 cm-1 wide"; empty
  // when it was computed.
  const std::string& Reason() const { return reason_; }
  // What the window may tell about a result that was computed but is zero or partial as the physics
  // says (mixing ratio at its floor, no pressure, values too large to plot left out); empty if none.
  const std::string& Note() const { return note_; }

  // Threads used by recomputations (1 or more; the default uses every core). Results are identical
  // whatever the count.
  void SetThreadCount(unsigned n);

  // One computation of a grid spectrum splits the lines once (adjusting and placing them) and the
  // grid once (each thread sums its points over the placed lines in file order).
  struct PlacedLine {
    double a, b, c;    // Lorentz: r, S*gamma, gamma^2. Doppler: centre, sigma, amplitude
    int32_t lo, hi, m; // grid points lo..hi; m the anchor point of r
  };

private:
  // Pass 1 splits the lines between the threads and calls place_one(line, slot) for each, in file
  // order within a part; pass 2 splits the grid and calls sum_run(placed, lo, hi) for every placed
  // line in file order, clipped to the part's points. Stop ends the lines (those before it count).
  template <class PlaceOne, class SumRun> void place_and_sum(PlaceOne place_one, SumRun sum_run);
  // Why the range cannot carry a grid, or nullptr (step then holds the grid step).
  const char* grid_problem(double& step) const;
  void refuse(const std::string& why);
  void inform(const std::string& why);
  void take_spectrum_reasons(); // the current Spectrum's reason and note
  void reset_reason() {
    reason_.clear();
    note_.clear();
  }
  void zero_spectrum();
  void compute_lorentz(double step);
  void compute_doppler(double temperature, double step, double mass);
  void sanitize_spectrum();
  // Q of the mean paths; false (with a reason) when it cannot be formed.
  bool path_constant(double& q);
  // Common start of the path series: Q, or the series emptied when it cannot be formed.
  bool path_series_ready(TLineSeries& series, double& q);
  // Common start of the absorbed-power integrals: Q and the step, the spectrum brought up to date;
  // false (result 0) when they cannot be formed.
  bool integral_ready(double& q, double& step);
  void add_point(TLineSeries& series, double x, double y);
  template <class YOf> void add_grid_points(TLineSeries& series, YOf y_of);
  template <class YOf> void add_line_points(TLineSeries& series, YOf y_of);

  // What reading left out: records by their code (columns 1-3), lines that are no record, records with
  // a negative intensity or wavenumber, each with the line of the first.
  std::map<std::string, long> left_out_;
  zqhitran::THitranLayout layout_;
  std::string header_; // the table header that gave layout_, or empty
  long rows_seen_ = 0; // non-blank lines of this reading
  long not_records_ = 0, negative_ = 0, first_negative_line_ = 0, below_zero_ = 0, first_below_zero_line_ = 0;
  std::string reason_, note_;
  std::string spectrum_reason_; // why the current Spectrum could not be computed
  std::string spectrum_note_;   // why it is zero or partial
  unsigned threads_ = 0;        // 0: every core
  // AdjustedIntensity/AdjustedWidth hold the lines at adjusted_p_, adjusted_t_ for adjusted_type_.
  bool adjusted_ = false;
  double adjusted_p_ = 0, adjusted_t_ = 0;
  std::string adjusted_type_;
  std::vector<PlacedLine> placed_;                    // one per record, reused by every recomputation
  std::array<double, kGridPoints + 1> grid_x_{};      // Doppler grid wavenumbers, rounded to doubles
  std::array<int32_t, kGridPoints + 2> pair_delta_{}; // lines starting minus ending at each point
  long dropped_points_ = 0;
  uint64_t revision_ = 0; // 0 until the first line: no contents to keep results of
};
