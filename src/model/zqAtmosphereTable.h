// Model atmospheres as tables of levels: altitude, pressure, temperature and gas mixing ratios, read
// from CSV text, and the six AFGL 1986 profiles embedded in the library
// (src/model/data/atmospheres/README.md).
//
// Between levels everything is interpolated in ln p, the coordinate in which hydrostatic air is close
// to linear. Outside the table the end values hold: a pressure above the surface's gives the surface
// level, one below the top's gives the top level (likewise for altitudes below 0 or above the top).
// An empty table, a NaN argument or an unknown gas index gives NaN.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct TzqAtmosphereTable {
  std::string Name;    // e.g. "tropical"
  std::string Caption; // e.g. "Tropical (15 N)"
  // One entry per level, ascending in altitude; the first level is the surface (0 km).
  std::vector<double> Altitude;    // km
  std::vector<double> Pressure;    // mb, strictly falling
  std::vector<double> Temperature; // K
  // Lower-case gas names of the "<gas>_ppmv" columns in file order ("h2o", "co2", ...), and per gas its
  // volume mixing ratio at every level: Ppmv[gas][level] in ppmv.
  std::vector<std::string> GasNames;
  std::vector<std::vector<double>> Ppmv;

  bool Empty() const { return Altitude.empty(); }
  int Levels() const { return static_cast<int>(Altitude.size()); }

  // Index of a gas in GasNames, letter case ignored; -1 when the table has no such column.
  int GasIndex(std::string_view name) const;

  // Temperature (K) at pressure p_mb (mb): T linear in ln p.
  double TemperatureAt(double p_mb) const;
  // Mixing ratio (ppmv) of gas `gas` at p_mb: ln(mixing ratio) linear in ln p, except where a level
  // bounding the interval holds 0, where the mixing ratio itself is linear in ln p (zeros stay exact).
  double PpmvAt(int gas, double p_mb) const;
  // Altitude (km) at p_mb: z linear in ln p.
  double AltitudeAt(double p_mb) const;
  // Pressure (mb) at altitude z_km (km): ln p linear in z, the inverse of AltitudeAt.
  double PressureAt(double z_km) const;
  // The table's pressures strictly inside (pTop, pBottom), ascending: where its interpolation bends.
  std::vector<double> PressuresWithin(double pTop, double pBottom) const;

  // The tropopause level by the WMO rule: the lowest level where the lapse rate falls to 2 K/km or less
  // and its mean up to every level within 2 km above stays so. The search starts where temperature first
  // falls faster than that, so a surface inversion (winter tables colder at the ground than at 1 km) is
  // not taken for the tropopause. -1 when no level qualifies (the top level never does).
  int TropopauseLevel() const;
  // Pressure (mb) of TropopauseLevel(); NaN when there is none.
  double TropopausePressure() const;
};

// Reads a table from CSV text with a header row. Required columns: z_km, p_mb, T_K (header names in
// any letter case); every "<gas>_ppmv" column becomes a gas; other columns (air_cm3) are ignored.
// Lines starting with '#' and blank lines are skipped; CRLF line ends and a UTF-8 byte-order mark are
// accepted. A table that cannot serve as a column is refused: `error` says why, naming the line
// ("line 7: pressure must fall with altitude (905 mb after 904 mb)"), and the result is empty. On
// success `error` is cleared. Name and Caption are both set to `name`.
TzqAtmosphereTable ReadAtmosphereCsv(std::string_view text, std::string name, std::string& error);

// ReadAtmosphereCsv on the bytes of a file (at most 10 MiB). Name is the file name without folder and
// extension, Caption the file name. Every error message begins with the file's path.
TzqAtmosphereTable ReadAtmosphereFile(const std::string& path, std::string& error);

// The names of the embedded atmospheres, as the command line takes them: "tropical",
// "midlatitude-summer", "midlatitude-winter", "subarctic-summer", "subarctic-winter", "us-standard".
std::vector<std::string> BuiltInAtmosphereNames();
// The window's caption of an embedded atmosphere ("Tropical", ..., "U.S. standard 1976"); empty for an
// unknown name. Names compare ignoring letter case, here and below.
std::string BuiltInAtmosphereCaption(std::string_view name);
// An embedded atmosphere, parsed once on first use (safe from any thread); nullptr for an unknown name.
const TzqAtmosphereTable* BuiltInAtmosphere(std::string_view name);
// The embedded CSV text of an atmosphere, byte for byte the file of src/model/data/atmospheres/; empty
// for an unknown name.
std::string_view BuiltInAtmosphereCsv(std::string_view name);
