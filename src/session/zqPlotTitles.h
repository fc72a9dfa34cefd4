// What the plot choices of the main window mean: the selection texts handed to the line lists, the chart
// title lines and left-axis title, and the path factor of the "Mean Path" page. Plain C++ so every
// combination is unit tested without a display.
#pragma once

#include <optional>
#include <string>

namespace zqapp {

// Item indices of the three plot radio groups.
struct PlotChoice {
  int plotType = 0;    // 0 Spectra, 1 Optical Depth, 2 Mean Path
  int spectraType = 0; // 0 Raw, 1 Raw / Bandwidth, 2 Temp & Pressure, 3 Doppler
  int scaling = 0;     // 0 For 1 molecule, 1 Times mixing ratio
};

// The fixed texts the line lists compare exactly.
std::string PlotTypeText(int plotType);
std::string SpectraTypeText(int spectraType);
std::string ScalingText(int scaling);

// Edit texts quoted in the second title line.
struct PlotTexts {
  std::string tempK;
  std::string pressure;
  std::string water;
  std::string co2;
};

struct PlotTitles {
  std::string firstLine;
  std::string secondLine; // may be empty; it is still appended as a title line
  std::string leftAxis;
  bool groupsEnabled = true;   // Scaling and Spectra Type groups
  bool envelopeEnabled = true; // "Times BB Envelope"
};

PlotTitles BuildPlotTitles(const PlotChoice& choice, double absorbedFraction, const PlotTexts& texts);

// 100 x fraction with two decimals, at least four characters wide (0.5 -> "50.00").
std::string AbsorbedPercentText(double fraction);
// "Distance to absorb 50.00% of energy (meters)"
std::string DistanceAxisTitle(double fraction);

// Path type 1 (optical thickness, 1/e): factor m; path type 0 (mean free path, 1/2): factor m ln 2.
struct PathSetting {
  double pathFactor;
  double fraction; // absorbed fraction 0..1
};
PathSetting PathFromMultiplier(int pathType, double multiplier);

// An edit's text as a real, def when it is empty or does not read as a number.
double ReadEditText(const std::string& text, double def);
// The text an edit must take to stay within [lower, upper] (the bound's shortest text), or empty when it
// may stay as it is. Text that does not read as a number counts as 1000.
std::optional<std::string> ClampedEditText(const std::string& text, double lower, double upper);

} // namespace zqapp
