// Model atmospheres as tables: the CSV reader with its refusals, interpolation in ln p, the tropopause,
// and the six embedded AFGL 1986 profiles parsed once from the library's bytes.
#include "zqAtmosphereTable.h"

#include "zqCustomFile_IO.h"
#include "zqINI_File.h"
#include "zqTextCompare.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <limits>
#include <stdexcept>
#include <system_error>

extern const unsigned char zqAtmosphere_tropicalBytes[];
extern const std::size_t zqAtmosphere_tropicalSize;
extern const unsigned char zqAtmosphere_midlatitude_summerBytes[];
extern const std::size_t zqAtmosphere_midlatitude_summerSize;
extern const unsigned char zqAtmosphere_midlatitude_winterBytes[];
extern const std::size_t zqAtmosphere_midlatitude_winterSize;
extern const unsigned char zqAtmosphere_subarctic_summerBytes[];
extern const std::size_t zqAtmosphere_subarctic_summerSize;
extern const unsigned char zqAtmosphere_subarctic_winterBytes[];
extern const std::size_t zqAtmosphere_subarctic_winterSize;
extern const unsigned char zqAtmosphere_us_standardBytes[];
extern const std::size_t zqAtmosphere_us_standardSize;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kMinTemperature = 100, kMaxTemperature = 400; // K: beyond any terrestrial air
constexpr double kMaxPpmv = 1e6;                               // the whole air
constexpr std::uintmax_t kMaxFileBytes = 10u << 20;            // a table of levels is a few kilobytes
// The tropopause of the World Meteorological Organization: the lowest level at which the lapse rate
// falls to 2 K/km or less and the mean lapse rate from there to every level within the next 2 km stays
// at most 2 K/km (WMO, "Meteorology - a three-dimensional science", WMO Bulletin 6 (4), 134-138 (1957)).
constexpr double kTropopauseLapseRate = 2; // K/km
constexpr double kTropopauseDepth = 2;     // km

// ---- interpolation

// a + t (b - a) for t in [0, 1], exact at both ends and kept between a and b, so a run of t gives a
// monotone run of values even where rounding would step past an end.
double lerp_between(double a, double b, double t) {
  if (t <= 0) return a;
  if (t >= 1) return b;
  return std::clamp(a + t * (b - a), std::min(a, b), std::max(a, b));
}

// Where a coordinate falls in the table: between level Lower and Lower + 1 at fraction T; T = 0 at a
// level itself and outside the table (Lower is then the nearest end level).
struct TSegment {
  std::size_t Lower = 0;
  double T = 0;
};

// The segment of pressure p_mb (not NaN) in ln p; levels strictly falling in pressure.
TSegment pressure_segment(const std::vector<double>& p, double p_mb) {
  if (p_mb >= p.front()) return {0, 0};
  if (p_mb <= p.back()) return {p.size() - 1, 0};
  const auto upper = std::lower_bound(p.begin(), p.end(), p_mb, std::greater<>());
  const auto k = static_cast<std::size_t>(upper - p.begin()); // 1 <= k <= size - 1
  if (p[k] == p_mb) return {k, 0};
  const double t = (std::log(p_mb) - std::log(p[k - 1])) / (std::log(p[k]) - std::log(p[k - 1]));
  return {k - 1, t};
}

// The segment of altitude z_km (not NaN); levels strictly rising in altitude.
TSegment altitude_segment(const std::vector<double>& z, double z_km) {
  if (z_km <= z.front()) return {0, 0};
  if (z_km >= z.back()) return {z.size() - 1, 0};
  const auto upper = std::lower_bound(z.begin(), z.end(), z_km);
  const auto k = static_cast<std::size_t>(upper - z.begin());
  if (z[k] == z_km) return {k, 0};
  return {k - 1, (z_km - z[k - 1]) / (z[k] - z[k - 1])};
}

// A quantity linear in the segment's coordinate: temperature and altitude in ln p (the hypsometric
// equation of a layer of constant scale height, z2 - z1 = H ln(p1 / p2); Wallace & Hobbs, Atmospheric
// Science, 2nd ed. (2006), eq. 3.29).
double linear_in_segment(const std::vector<double>& v, TSegment s) {
  return s.T == 0 ? v[s.Lower] : lerp_between(v[s.Lower], v[s.Lower + 1], s.T);
}

// A positive quantity whose logarithm is linear in the segment's coordinate: pressure in z (an
// isothermal layer, p = p1 exp(-(z - z1) / H), same reference) and mixing ratios in ln p (a power law in
// pressure between levels). Where either end is 0 the quantity itself is linear, so a zero stays exact
// and no logarithm of 0 is taken.
double log_linear_in_segment(const std::vector<double>& v, TSegment s) {
  if (s.T == 0) return v[s.Lower];
  const double a = v[s.Lower], b = v[s.Lower + 1];
  if (!(a > 0 && b > 0)) return lerp_between(a, b, s.T);
  return std::clamp(std::exp(lerp_between(std::log(a), std::log(b), s.T)), std::min(a, b), std::max(a, b));
}

// ---- the CSV reader

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
    s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

std::vector<std::string_view> split_fields(std::string_view line) {
  std::vector<std::string_view> fields;
  for (;;) {
    const std::size_t comma = line.find(',');
    fields.push_back(trim(line.substr(0, comma)));
    if (comma == std::string_view::npos) return fields;
    line.remove_prefix(comma + 1);
  }
}

std::string lower(std::string_view s) {
  std::string out(s);
  std::transform(out.begin(), out.end(), out.begin(), zqAsciiLower);
  return out;
}

constexpr std::string_view kPpmvSuffix = "_ppmv";

bool ends_with_ppmv(std::string_view name) {
  return name.size() >= kPpmvSuffix.size() &&
         zqSameText(name.substr(name.size() - kPpmvSuffix.size()), kPpmvSuffix);
}

std::string number_text(double v) {
  return zqFloatToText(v, ".");
}

// A refusal of the reader: the message with its line.
struct TRefusal {
  int Line;
  std::string Reason;
};

// Where the reader finds each column it uses.
struct TColumns {
  int Altitude = -1, Pressure = -1, Temperature = -1;
  std::vector<int> Gases; // field index per gas, in GasNames order
  std::size_t Count = 0;  // fields in the header
};

TColumns read_header(std::string_view line, int line_number, std::vector<std::string>& gas_names) {
  TColumns columns;
  const std::vector<std::string_view> fields = split_fields(line);
  columns.Count = fields.size();
  std::vector<std::string> seen;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const std::string name = lower(fields[i]);
    if (!name.empty() && std::find(seen.begin(), seen.end(), name) != seen.end())
      throw TRefusal{line_number, "column " + std::string(fields[i]) + " appears twice in the header"};
    seen.push_back(name);
    const int index = static_cast<int>(i);
    if (name == "z_km")
      columns.Altitude = index;
    else if (name == "p_mb")
      columns.Pressure = index;
    else if (name == "t_k")
      columns.Temperature = index;
    else if (ends_with_ppmv(name)) {
      const std::string gas = name.substr(0, name.size() - kPpmvSuffix.size());
      if (gas.empty()) throw TRefusal{line_number, "column " + std::string(fields[i]) + " names no gas"};
      gas_names.push_back(gas);
      columns.Gases.push_back(index);
    }
  }
  for (const auto& [index, name] : {std::pair{columns.Altitude, "z_km"}, std::pair{columns.Pressure, "p_mb"},
                                    std::pair{columns.Temperature, "T_K"}})
    if (index < 0)
      throw TRefusal{line_number,
                     std::string("the header has no column ") + name + " (a table needs z_km, p_mb and T_K)"};
  return columns;
}

double field_number(const std::vector<std::string_view>& fields, int index, std::string_view column,
                    int line_number) {
  long double value = 0;
  const std::string_view text = fields[static_cast<std::size_t>(index)];
  if (!zqTextToReal(text, value, ".") || !std::isfinite(static_cast<double>(value)))
    throw TRefusal{line_number, std::string(column) + " \"" + std::string(text) + "\" is no finite number"};
  return static_cast<double>(value);
}

// Adds one data row to the table, refusing what no column can use.
void read_row(std::string_view line, int line_number, const TColumns& columns, TzqAtmosphereTable& table) {
  const std::vector<std::string_view> fields = split_fields(line);
  if (fields.size() != columns.Count)
    throw TRefusal{line_number, std::to_string(fields.size()) + " fields where the header has " +
                                    std::to_string(columns.Count)};
  const double z = field_number(fields, columns.Altitude, "z_km", line_number);
  const double p = field_number(fields, columns.Pressure, "p_mb", line_number);
  const double t = field_number(fields, columns.Temperature, "T_K", line_number);
  if (table.Altitude.empty() && z != 0)
    throw TRefusal{line_number, "the first level is at " + number_text(z) +
                                    " km; it must be at 0 km, since the column's surface is at z = 0"};
  if (!table.Altitude.empty() && !(z > table.Altitude.back()))
    throw TRefusal{line_number, "altitude must rise from level to level (" + number_text(z) + " km after " +
                                    number_text(table.Altitude.back()) + " km)"};
  if (!(p > 0)) throw TRefusal{line_number, "pressure must be above 0 mb (" + number_text(p) + " mb)"};
  if (!table.Pressure.empty() && !(p < table.Pressure.back()))
    throw TRefusal{line_number, "pressure must fall with altitude (" + number_text(p) + " mb after " +
                                    number_text(table.Pressure.back()) + " mb)"};
  if (!(t >= kMinTemperature && t <= kMaxTemperature))
    throw TRefusal{line_number, "temperature " + number_text(t) + " K is outside " +
                                    number_text(kMinTemperature) + "-" + number_text(kMaxTemperature) + " K"};
  std::vector<double> ppmv(columns.Gases.size());
  for (std::size_t g = 0; g < columns.Gases.size(); ++g) {
    const std::string column = table.GasNames[g] + std::string(kPpmvSuffix);
    ppmv[g] = field_number(fields, columns.Gases[g], column, line_number);
    if (!(ppmv[g] >= 0 && ppmv[g] <= kMaxPpmv))
      throw TRefusal{line_number, column + " " + number_text(ppmv[g]) + " is outside 0-" +
                                      number_text(kMaxPpmv) + " ppmv"};
  }
  table.Altitude.push_back(z);
  table.Pressure.push_back(p);
  table.Temperature.push_back(t);
  for (std::size_t g = 0; g < ppmv.size(); ++g)
    table.Ppmv[g].push_back(ppmv[g]);
}

TzqAtmosphereTable parse_csv(std::string_view text) {
  constexpr std::string_view bom = "\xEF\xBB\xBF";
  if (text.substr(0, bom.size()) == bom) text.remove_prefix(bom.size());
  TzqAtmosphereTable table;
  TColumns columns;
  bool have_header = false;
  int line_number = 0, header_line = 0, last_row_line = 0;
  while (!text.empty()) {
    const std::size_t eol = text.find('\n');
    const std::string_view line = trim(text.substr(0, eol));
    text = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
    ++line_number;
    if (line.empty() || line.front() == '#') continue;
    if (!have_header) {
      columns = read_header(line, line_number, table.GasNames);
      table.Ppmv.resize(table.GasNames.size());
      have_header = true;
      header_line = line_number;
    } else {
      read_row(line, line_number, columns, table);
      last_row_line = line_number;
    }
  }
  if (!have_header)
    throw TRefusal{std::max(line_number, 1), "no header row (the text is empty or holds only comments)"};
  if (table.Levels() < 2)
    throw TRefusal{last_row_line > 0 ? last_row_line : header_line,
                   "the table has " + std::to_string(table.Levels()) + " level" +
                       (table.Levels() == 1 ? "" : "s") + "; it needs at least 2"};
  return table;
}

// ---- the embedded atmospheres

struct TBuiltIn {
  std::string_view Name, WindowCaption, TableCaption;
  const unsigned char* Bytes;
  const std::size_t* Size;
};

const std::array<TBuiltIn, 6> kBuiltIns{{
    {"tropical", "Tropical", "Tropical (15 N)", zqAtmosphere_tropicalBytes, &zqAtmosphere_tropicalSize},
    {"midlatitude-summer", "Mid-latitude summer", "Mid-latitude summer (45 N, July)",
     zqAtmosphere_midlatitude_summerBytes, &zqAtmosphere_midlatitude_summerSize},
    {"midlatitude-winter", "Mid-latitude winter", "Mid-latitude winter (45 N, January)",
     zqAtmosphere_midlatitude_winterBytes, &zqAtmosphere_midlatitude_winterSize},
    {"subarctic-summer", "Sub-arctic summer", "Sub-arctic summer (60 N, July)",
     zqAtmosphere_subarctic_summerBytes, &zqAtmosphere_subarctic_summerSize},
    {"subarctic-winter", "Sub-arctic winter", "Sub-arctic winter (60 N, January)",
     zqAtmosphere_subarctic_winterBytes, &zqAtmosphere_subarctic_winterSize},
    {"us-standard", "U.S. standard 1976", "U.S. standard 1976", zqAtmosphere_us_standardBytes,
     &zqAtmosphere_us_standardSize},
}};

const TBuiltIn* find_built_in(std::string_view name) {
  for (const TBuiltIn& b : kBuiltIns)
    if (zqSameText(b.Name, name)) return &b;
  return nullptr;
}

std::string_view text_of(const TBuiltIn& b) {
  return {reinterpret_cast<const char*>(b.Bytes), *b.Size};
}

} // namespace

// ---- TzqAtmosphereTable

int TzqAtmosphereTable::GasIndex(std::string_view name) const {
  for (std::size_t i = 0; i < GasNames.size(); ++i)
    if (zqSameText(GasNames[i], name)) return static_cast<int>(i);
  return -1;
}

double TzqAtmosphereTable::TemperatureAt(double p_mb) const {
  if (Empty() || std::isnan(p_mb)) return kNaN;
  return linear_in_segment(Temperature, pressure_segment(Pressure, p_mb));
}

double TzqAtmosphereTable::PpmvAt(int gas, double p_mb) const {
  if (Empty() || std::isnan(p_mb) || gas < 0 || gas >= static_cast<int>(Ppmv.size())) return kNaN;
  return log_linear_in_segment(Ppmv[static_cast<std::size_t>(gas)], pressure_segment(Pressure, p_mb));
}

double TzqAtmosphereTable::AltitudeAt(double p_mb) const {
  if (Empty() || std::isnan(p_mb)) return kNaN;
  return linear_in_segment(Altitude, pressure_segment(Pressure, p_mb));
}

std::vector<double> TzqAtmosphereTable::PressuresWithin(double pTop, double pBottom) const {
  std::vector<double> out;
  for (auto it = Pressure.rbegin(); it != Pressure.rend(); ++it)
    if (*it > pTop && *it < pBottom) out.push_back(*it);
  return out;
}

double TzqAtmosphereTable::PressureAt(double z_km) const {
  if (Empty() || std::isnan(z_km)) return kNaN;
  return log_linear_in_segment(Pressure, altitude_segment(Altitude, z_km));
}

int TzqAtmosphereTable::TropopauseLevel() const {
  const std::size_t n = Temperature.size();
  const auto lapse = [&](std::size_t i, std::size_t j) { // K/km between levels i < j
    return (Temperature[i] - Temperature[j]) / (Altitude[j] - Altitude[i]);
  };
  const double limit = kTropopauseLapseRate + 1e-9; // a printed 2.0 K/km counts as 2 despite rounding
  // A surface inversion, or air barely cooling at the ground, is no tropopause: the troposphere
  // begins where temperature first falls faster than the limit.
  std::size_t i = 0;
  while (i + 1 < n && !(lapse(i, i + 1) > limit))
    ++i;
  for (; i + 1 < n; ++i) {
    bool stays = lapse(i, i + 1) <= limit;
    for (std::size_t j = i + 2; stays && j < n && Altitude[j] - Altitude[i] <= kTropopauseDepth; ++j)
      stays = lapse(i, j) <= limit;
    if (stays) return static_cast<int>(i);
  }
  return -1;
}

double TzqAtmosphereTable::TropopausePressure() const {
  const int level = TropopauseLevel();
  return level < 0 ? kNaN : Pressure[static_cast<std::size_t>(level)];
}

// ---- reading

TzqAtmosphereTable ReadAtmosphereCsv(std::string_view text, std::string name, std::string& error) {
  try {
    TzqAtmosphereTable table = parse_csv(text);
    table.Caption = name;
    table.Name = std::move(name);
    error.clear();
    return table;
  } catch (const TRefusal& refusal) {
    error = "line " + std::to_string(refusal.Line) + ": " + refusal.Reason;
    return {};
  }
}

TzqAtmosphereTable ReadAtmosphereFile(const std::string& path, std::string& error) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path file(path);
  if (fs::is_directory(file, ec)) {
    error = path + ": is a folder, not an atmosphere table";
    return {};
  }
  if (!fs::exists(file, ec)) {
    error = path + ": no such file";
    return {};
  }
  const std::uintmax_t size = fs::file_size(file, ec);
  if (!ec && size > kMaxFileBytes) {
    error = path + ": " + std::to_string(size) + " bytes is too large for an atmosphere table (at most " +
            std::to_string(kMaxFileBytes >> 20) + " MiB)";
    return {};
  }
  std::string bytes;
  try {
    bytes = zqReadFileBytes(path);
  } catch (const EzqFileError& e) {
    error = e.what(); // names the file
    return {};
  }
  TzqAtmosphereTable table = ReadAtmosphereCsv(bytes, file.stem().string(), error);
  if (!error.empty())
    error = path + ": " + error;
  else
    table.Caption = file.filename().string();
  return table;
}

// ---- the embedded atmospheres

std::vector<std::string> BuiltInAtmosphereNames() {
  std::vector<std::string> names;
  for (const TBuiltIn& b : kBuiltIns)
    names.emplace_back(b.Name);
  return names;
}

std::string BuiltInAtmosphereCaption(std::string_view name) {
  const TBuiltIn* b = find_built_in(name);
  return b ? std::string(b->WindowCaption) : std::string();
}

std::string_view BuiltInAtmosphereCsv(std::string_view name) {
  const TBuiltIn* b = find_built_in(name);
  return b ? text_of(*b) : std::string_view();
}

const TzqAtmosphereTable* BuiltInAtmosphere(std::string_view name) {
  const TBuiltIn* b = find_built_in(name);
  if (!b) return nullptr;
  // Parsed together on first use; a function-local static is initialised once even under threads.
  static const std::array<TzqAtmosphereTable, kBuiltIns.size()> tables = [] {
    std::array<TzqAtmosphereTable, kBuiltIns.size()> parsed;
    for (std::size_t i = 0; i < kBuiltIns.size(); ++i) {
      std::string error;
      parsed[i] = ReadAtmosphereCsv(text_of(kBuiltIns[i]), std::string(kBuiltIns[i].Name), error);
      // The embedded tables are checked by the tests; failing here means the build embedded wrong bytes.
      if (!error.empty())
        throw std::logic_error("embedded atmosphere " + std::string(kBuiltIns[i].Name) + ": " + error);
      parsed[i].Caption = std::string(kBuiltIns[i].TableCaption);
    }
    return parsed;
  }();
  return &tables[static_cast<std::size_t>(b - kBuiltIns.data())];
}
