// The plot modes a line list can fill its series for, as typed values, and the one table of the texts
// that name them in the line lists' fields, the INI file and the command line. Texts are parsed once at
// those edges; everything inside passes the enums.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// Values equal the item indices of the window's radio groups.
enum class TPlotType { Spectra = 0, OpticalDepth = 1, MeanPath = 2 };
enum class TSpectraType { Raw = 0, IOverAlpha = 1, PressureBroadened = 2, DopplerBroadened = 3 };
enum class TScaling { Raw = 0, MixingRatio = 1 };

// "Spectra", "Optical Depth", "Mean Path"
const std::string& PlotTypeText(TPlotType type);
// "raw", "I/Alpha", "Temperature and Pressure Broadened", "Temperature, Pressure, and Doppler Broadened"
const std::string& SpectraTypeText(TSpectraType type);
// "raw", "Mixing Ratio"
const std::string& ScalingText(TScaling scaling);

// The value a text names (compared exactly), or empty for any other text.
std::optional<TPlotType> ParsePlotType(std::string_view text);
std::optional<TSpectraType> ParseSpectraType(std::string_view text);
std::optional<TScaling> ParseScaling(std::string_view text);

// The value of a radio item index, or empty outside the group.
std::optional<TPlotType> PlotTypeOfIndex(int index);
std::optional<TSpectraType> SpectraTypeOfIndex(int index);
std::optional<TScaling> ScalingOfIndex(int index);

// Whether a plot has one point per line (raw lines, I/alpha, line mean paths) rather than one per grid
// point: a plot of lines is written one row per line and gas, a grid plot one row per wavenumber.
bool IsLinePlot(TPlotType plot, TSpectraType spectra);
