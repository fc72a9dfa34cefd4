// What File > Save settings keeps besides the keys the program reads anyway (line files, chart titles,
// colours): the values of the window's input controls, its size and position, and the line files opened
// lately, each in a section of its own. Plain C++ over the INI store; the window maps its widgets.
#pragma once

#include <optional>
#include <string>
#include <vector>

class TzqINI_File;

namespace zqsettings {

constexpr const char* kControlsSection = "Controls";
constexpr const char* kWindowSection = "Window";
constexpr const char* kRecentSection = "Recent Files";
constexpr std::size_t kMaxRecentFiles = 8;

// The window's frame on the desktop, in screen pixels; Width and Height of the normal (not maximised)
// frame.
struct TWindowGeometry {
  int Left = 0, Top = 0, Width = 0, Height = 0;
  bool Maximized = false;
  bool operator==(const TWindowGeometry&) const = default;
};

// The saved geometry; none unless all four numbers are there and the size is plausible (100 to 100,000
// pixels), so a damaged entry leaves the window at its default size.
std::optional<TWindowGeometry> ReadWindowGeometry(const TzqINI_File& ini);
void WriteWindowGeometry(TzqINI_File& ini, const TWindowGeometry& geometry);

// The chart's views, "[Window] Legend", "Band Labels" and "Wavelength Axis" = yes or no; a key that is
// missing or says neither keeps the default.
struct TChartViews {
  bool Legend = true, BandLabels = false, WavelengthAxis = true;
  bool operator==(const TChartViews&) const = default;
};
TChartViews ReadChartViews(const TzqINI_File& ini);
void WriteChartViews(TzqINI_File& ini, const TChartViews& views);

// The text saved for a control (by object name); none when nothing was saved. Never creates the key.
std::optional<std::string> ReadControl(const TzqINI_File& ini, const std::string& name);
void WriteControl(TzqINI_File& ini, const std::string& name, const std::string& text);

// Recent line files, newest first ("File1" ... "File8"; empty entries skipped).
std::vector<std::string> ReadRecentFiles(const TzqINI_File& ini);
void WriteRecentFiles(TzqINI_File& ini, const std::vector<std::string>& files);
// file moved to the front; a second entry for it dropped; at most kMaxRecentFiles kept.
std::vector<std::string> WithRecentFile(std::vector<std::string> files, const std::string& file);

// Saves the store to file in update mode with the changed keys appended: every line of the old file
// keeps its bytes unless its key changed; through the store's temporary file, backup and links. Empty on
// success, else what went wrong.
std::string SaveSettingsFile(TzqINI_File& ini, const std::string& file);

} // namespace zqsettings
