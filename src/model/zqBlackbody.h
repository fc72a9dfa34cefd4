// Planck blackbody curves as a data file: the spectral exitance per unit wavenumber at one
// temperature on an evenly spaced wavenumber grid, plotted times 1000 against the right axis.
// Registered as the data-file type "blackbody".
#pragma once

#include "zqDatafile.h"

#include <array>
#include <cstdint>
#include <string>

class T_zq_Blackbody : public TzqDatafile {
public:
  static constexpr int32_t kMaxValues = 50001;

  // XMin 0, XMax 5000 cm-1; declares "Temperature" (real, 273) and "Number_of_Values" (Integer, 200).
  T_zq_Blackbody();

  double Temperature = 300.0;     // K, as read from the INI file
  int32_t Number_of_Values = 200; // grid points N; above 50,001 only 50,001 are used
  int32_t WavelengthExponent = 3;
  std::array<double, kMaxValues + 1> Values{}; // entry i: the curve at grid point i = 1..N (W m-2 per m-1)

  // Recomputes entries 1..N for temperature (K) on the grid XMin + i * step. At or below 5 K the
  // table is cleared first; at or below 0.1 K nothing more is computed. Entries from the first value
  // below 1e-400 on are 0.
  void ComputeValues(double temperature);
  // Clears the series and adds the N points (x in cm-1, y = 1000 * value).
  void AddValuesToSeries(TLineSeries& series);

  // Number of grid points actually used: Number_of_Values limited to 0..50,001.
  int32_t ValueCount() const;
  // Grid step (cm-1), truncated to 0.001; negative when XMax < XMin.
  double Step() const;
  // Why the last ComputeValues computed nothing; empty when it computed.
  const std::string& Reason() const { return reason_; }
  // A remark on a computed table (Number_of_Values limited to 50,001); empty if none.
  const std::string& Note() const { return note_; }

private:
  std::string reason_, note_;
  bool limit_logged_ = false;
};
