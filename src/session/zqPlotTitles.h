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
  TLinePhysics physics = TLinePhysics::Classic;
  bool continuum = false; // the water-vapour continuum is added (zqsession::ContinuumUsed)
};

// Edit texts quoted in the second title line.
struct PlotTexts {
  std::string tempK;
  std::string pressure;
  std::string water;
  std::string co2;
  bool demoLists = false; // the line lists shown are the demonstration lists, not HITRAN's
};

struct PlotTitles {
  std::string firstLine;
  std::string secondLine; // may be empty; it is still appended as a title line
  std::string leftAxis;
  bool groupsEnabled = true;   // Scaling and Spectra Type groups (the HITRAN physics: Scaling only,
                               // its optical depth follows the chosen profile)
  bool envelopeEnabled = true; // "Times BB Envelope"
};

PlotTitles BuildPlotTitles(const PlotChoice& choice, double absorbedFraction, const PlotTexts& texts);

// What the chart's legend calls a curve: the gas, what of it is drawn (lines, profile) and the
// conditions that shape it, e.g. "H2O, Voigt, 288 K, 1013 mb" or "CO2 lines, 350 ppm".
struct LegendConditions {
  double temperature = 0;     // K
  double pressure = 0;        // mb
  double water = 0;           // ppm
  double co2 = 0;             // ppm, of the second gas
  std::string second = "CO2"; // the second gas (the HITRAN physics' gas choice: CO2, O3, N2O, CH4)
};
enum class LegendGas { Water, CO2, Combined };
std::string GasLegendText(LegendGas gas, const PlotChoice& choice, const LegendConditions& conditions);
// "Planck 288 K"
std::string PlanckLegendText(double kelvin);

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
