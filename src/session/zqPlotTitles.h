// What the plot choices of the main window mean: the chart title lines and left-axis title, and the
// edit-text rules of the "Mean Path" page. Plain C++ so every
// combination is unit tested without a display.
#pragma once

#include "zqPlotModes.h"

#include <optional>
#include <string>

namespace zqapp {

// The three plot choices.
struct PlotChoice {
  TPlotType plotType = TPlotType::Spectra;
  TSpectraType spectraType = TSpectraType::Raw;
  TScaling scaling = TScaling::Raw;
};

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

// An edit's text as a real, def when it is empty or does not read as a number.
double ReadEditText(const std::string& text, double def);
// The text an edit must take to stay within [lower, upper] (the bound's shortest text), or empty when it
// may stay as it is. Text that does not read as a number counts as 1000.
std::optional<std::string> ClampedEditText(const std::string& text, double lower, double upper);

} // namespace zqapp
