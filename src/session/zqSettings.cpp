#include "zqSettings.h"

#include "zqINI_File.h"

#include <algorithm>
#include <exception>

namespace zqsettings {

namespace {

std::optional<long> read_integer(const TzqINI_File& ini, const char* key) {
  const T_zq_ini_Record* r = ini.FindRecord(kWindowSection, key);
  long double v = 0;
  if (!r || !zqIniTextToReal(r->Value, v) || v != static_cast<long double>(static_cast<long>(v)))
    return std::nullopt;
  return static_cast<long>(v);
}

bool plausible_size(long v) {
  return v >= 100 && v <= 100000;
}

bool plausible_position(long v) {
  return v >= -100000 && v <= 100000;
}

} // namespace

std::optional<TWindowGeometry> ReadWindowGeometry(const TzqINI_File& ini) {
  const auto left = read_integer(ini, "Left"), top = read_integer(ini, "Top");
  const auto width = read_integer(ini, "Width"), height = read_integer(ini, "Height");
  if (!left || !top || !width || !height) return std::nullopt;
  if (!plausible_position(*left) || !plausible_position(*top) || !plausible_size(*width) ||
      !plausible_size(*height))
    return std::nullopt;
  TWindowGeometry g{static_cast<int>(*left), static_cast<int>(*top), static_cast<int>(*width),
                    static_cast<int>(*height), false};
  const auto maximized = read_integer(ini, "Maximized");
  g.Maximized = maximized && *maximized != 0;
  return g;
}

void WriteWindowGeometry(TzqINI_File& ini, const TWindowGeometry& g) {
  ini.WriteInteger(kWindowSection, "Left", g.Left);
  ini.WriteInteger(kWindowSection, "Top", g.Top);
  ini.WriteInteger(kWindowSection, "Width", g.Width);
  ini.WriteInteger(kWindowSection, "Height", g.Height);
  ini.WriteInteger(kWindowSection, "Maximized", g.Maximized ? 1 : 0);
}

namespace {
constexpr const char* kViewKeys[] = {"Legend", "Band Labels", "Wavelength Axis"};
} // namespace

TChartViews ReadChartViews(const TzqINI_File& ini) {
  TChartViews v;
  bool* flags[] = {&v.Legend, &v.BandLabels, &v.WavelengthAxis};
  for (int i = 0; i < 3; ++i)
    if (const T_zq_ini_Record* r = ini.FindRecord(kWindowSection, kViewKeys[i])) {
      const std::string text = zqUpperCase(zqTrim(r->Value));
      if (text == "YES") *flags[i] = true;
      if (text == "NO") *flags[i] = false;
    }
  return v;
}

void WriteChartViews(TzqINI_File& ini, const TChartViews& v) {
  const bool flags[] = {v.Legend, v.BandLabels, v.WavelengthAxis};
  for (int i = 0; i < 3; ++i)
    ini.WriteString(kWindowSection, kViewKeys[i], flags[i] ? "yes" : "no");
}

std::optional<std::string> ReadControl(const TzqINI_File& ini, const std::string& name) {
  const T_zq_ini_Record* r = ini.FindRecord(kControlsSection, name);
  if (!r) return std::nullopt;
  return r->Value;
}

void WriteControl(TzqINI_File& ini, const std::string& name, const std::string& text) {
  ini.WriteString(kControlsSection, name, text);
}

std::vector<std::string> ReadRecentFiles(const TzqINI_File& ini) {
  std::vector<std::string> files;
  for (std::size_t i = 1; i <= kMaxRecentFiles; ++i) {
    const T_zq_ini_Record* r = ini.FindRecord(kRecentSection, "File" + std::to_string(i));
    // A file name keeps every byte (blanks at its ends too); an emptied slot holds nothing.
    if (r && !r->Value.empty()) files.push_back(r->Value);
  }
  return files;
}

void WriteRecentFiles(TzqINI_File& ini, const std::vector<std::string>& files) {
  for (std::size_t i = 1; i <= kMaxRecentFiles; ++i) {
    const std::string key = "File" + std::to_string(i);
    // Slots that were never used stay out of the file; used ones are emptied.
    if (i <= files.size())
      ini.WriteString(kRecentSection, key, files[i - 1]);
    else if (ini.FindRecord(kRecentSection, key))
      ini.WriteString(kRecentSection, key, "");
  }
}

std::vector<std::string> WithRecentFile(std::vector<std::string> files, const std::string& file) {
  files.erase(std::remove(files.begin(), files.end(), file), files.end());
  files.insert(files.begin(), file);
  if (files.size() > kMaxRecentFiles) files.resize(kMaxRecentFiles);
  return files;
}

std::string SaveSettingsFile(TzqINI_File& ini, const std::string& file) {
  const TzqINI_File_WriteMode mode = ini.WriteMode;
  const bool append = ini.AppendChangedKeys;
  ini.WriteMode = zqWM_Update;
  ini.AppendChangedKeys = true;
  std::string error;
  try {
    ini.SaveToFile(file);
  } catch (const std::exception& e) {
    error = e.what();
  }
  ini.WriteMode = mode;
  ini.AppendChangedKeys = append;
  return error;
}

} // namespace zqsettings
