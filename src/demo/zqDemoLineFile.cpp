// Writing the demonstration lists: band summaries, the 100-character HITRAN record of one line, the
// explanatory comment lines, and the two files themselves (each written as a new file that replaces the
// old one complete, so an interrupted run never leaves a truncated list under the real name).
#include "zqDemoLines.h"

#include "zqCustomFile_IO.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <stdexcept>
#include <system_error>

namespace {

// Fixed-width field "F5.4"/"F5.3" as HITRAN writes it: without the leading zero when it would not fit.
std::string width_field(double value, int decimals) {
  char text[32];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  std::string s = text;
  if (s.size() > 5 && s[0] == '0') s.erase(0, 1);
  if (s.size() < 5) s.insert(0, 5 - s.size(), ' ');
  return s.substr(0, 5);
}

std::string fit9(const std::string& text) {
  std::string s = text.substr(0, 9);
  if (s.size() < 9) s.insert(0, 9 - s.size(), ' ');
  return s;
}

// Opens every demonstration file, so the program can tell such a file from real data when it reads it.
constexpr const char* kDemoMarker = "> ABSORBVIEW DEMONSTRATION LINE LIST";

struct ListSpec {
  const char* molecule;
  const char* name;
  const char* fileName;
};

// True when path names a symbolic link, even one that points nowhere.
bool is_link(const std::filesystem::path& path) {
  std::error_code ec;
  return std::filesystem::is_symlink(std::filesystem::symlink_status(path, ec));
}

void write_list(const std::filesystem::path& folder, const ListSpec& spec,
                const std::vector<DemoLine>& lines) {
  const std::filesystem::path target = folder / spec.fileName;
  // A link leads to the user's own data (or to where it will be): never replaced by a demonstration.
  if (is_link(target))
    throw std::runtime_error(target.string() + " is a link to the user's line list; it is not replaced");
  std::string text = DemoLineListHeader(spec.name, spec.fileName);
  for (const DemoLine& line : lines)
    text += FormatHitranRecord(spec.molecule, line) + '\n';
  zqReplaceFileBytes(target.string(), text);
}

} // namespace

std::vector<DemoBand> DemoBands(const std::vector<DemoLine>& lines) {
  std::vector<DemoBand> bands;
  std::map<std::string, std::size_t> index;
  for (const DemoLine& line : lines) {
    auto [it, added] = index.emplace(line.Band, bands.size());
    if (added) bands.push_back({line.Band, line.BandOrigin, 0.0, 0});
    DemoBand& band = bands[it->second];
    band.Strength += line.Intensity;
    ++band.Lines;
  }
  return bands;
}

double DemoIntensitySum(const std::vector<DemoLine>& lines, double lo, double hi) {
  double sum = 0.0;
  for (const DemoLine& line : lines)
    if (line.Wavenumber >= lo && line.Wavenumber <= hi) sum += line.Intensity;
  return sum;
}

std::string FormatHitranRecord(const std::string& molecule, const DemoLine& line) {
  char numbers[128];
  std::snprintf(numbers, sizeof numbers, "%12.6f%10.3E%10.3E", line.Wavenumber, line.Intensity,
                line.EinsteinA);
  std::string record = molecule.substr(0, 2);
  record.insert(record.end(), 2 - record.size(), ' ');
  record += '1';
  record += numbers;
  record += width_field(line.AirWidth, 4);
  record += width_field(line.SelfWidth, 3);
  char rest[64];
  std::snprintf(rest, sizeof rest, "%10.4f%4.2f%8.6f%3d%3d", line.LowerStateEnergy, line.WidthExponent, 0.0,
                line.UpperGlobal, line.LowerGlobal);
  record += rest;
  record += fit9(line.UpperLocal);
  record += fit9(line.LowerLocal);
  record += "000 0 0 0"; // no uncertainty or reference codes: these lines have no measured source
  return record;
}

std::string DemoLineListHeader(const std::string& moleculeName, const std::string& fileName) {
  std::string h;
  h += std::string(kDemoMarker) + " - " + moleculeName + " - NOT HITRAN DATA.\n";
  h += "> Computed by absorbview-demolists from published molecular constants (band origins, rotational\n";
  h += "> and distortion constants, band strengths, dipole moment) for the principal isotopologue only.\n";
  h += "> Line positions, intensities (296 K, scaled by natural abundance) and widths are approximate and\n";
  h += "> many bands are missing: use this file to try the program, not for quantitative work.\n";
  h +=
      "> To use real data: on HITRANonline (hitran.org) open the line-by-line search, choose this molecule\n";
  h +=
      "> and only its principal isotopologue, the range 0 to 5000 cm-1 and the \".par\" output format, and\n";
  h += "> save the result as \"" + fileName +
       "\" beside the Absorbview executable or in the current folder,\n";
  h += "> replacing this file.\n";
  return h;
}

void WriteDemoLineLists(const std::filesystem::path& folder, bool keepExisting,
                        const std::vector<std::string>& leave) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) throw std::runtime_error("cannot create folder " + folder.string() + ": " + ec.message());
  const ListSpec co2{" 2", "carbon dioxide (12C16O2)", "02_CO2.txt"};
  const ListSpec h2o{" 1", "water vapour (H2 16O)", "01_h2o_161_only.txt"};
  // Kept means any entry under the name, a link that points nowhere included.
  auto present = [&](const char* name) {
    return std::filesystem::exists(std::filesystem::symlink_status(folder / name, ec));
  };
  auto left = [&](const char* name) { return std::find(leave.begin(), leave.end(), name) != leave.end(); };
  if (!left(co2.fileName) && (!keepExisting || !present(co2.fileName)))
    write_list(folder, co2, DemoCO2Lines());
  if (!left(h2o.fileName) && (!keepExisting || !present(h2o.fileName)))
    write_list(folder, h2o, DemoH2OLines());
}

bool IsDemoLineListFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  const std::string marker = kDemoMarker;
  std::string start(marker.size(), '\0');
  if (!in.read(start.data(), static_cast<std::streamsize>(start.size()))) return false;
  return start == marker;
}

void WriteDemoO3List(const std::filesystem::path& folder) {
  write_list(folder, {" 3", "O3", "03_o3_666_demo.txt"}, DemoO3Lines());
}
