#include "zqPlotTitles.h"

#include "zqINI_File.h"
#include "zqNumberText.h"

#include <cmath>
#include <cstdio>

namespace zqapp {

namespace {

std::string trim_blanks(const std::string& s) {
  auto b = s.find_first_not_of(' ');
  if (b == std::string::npos) return {};
  auto e = s.find_last_not_of(' ');
  return s.substr(b, e - b + 1);
}

} // namespace

std::string PlotTypeText(int plotType) {
  switch (plotType) {
  case 1:
    return "Optical Depth";
  case 2:
    return "Mean Path";
  default:
    return "Spectra";
  }
}

std::string SpectraTypeText(int spectraType) {
  switch (spectraType) {
  case 1:
    return "I/Alpha";
  case 2:
    return "Temperature and Pressure Broadened";
  case 3:
    return "Temperature, Pressure, and Doppler Broadened";
  default:
    return "raw";
  }
}

std::string ScalingText(int scaling) {
  return scaling == 1 ? "Mixing Ratio" : "raw";
}

std::string AbsorbedPercentText(double fraction) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%4.2f", 100.0 * fraction);
  return buf;
}

std::string DistanceAxisTitle(double fraction) {
  return "Distance to absorb " + AbsorbedPercentText(fraction) + "% of energy (meters)";
}

PlotTitles BuildPlotTitles(const PlotChoice& c, double absorbedFraction, const PlotTexts& t) {
  static const char* const captions[] = {"Spectra", "Optical Depth for 1 km", "Mean Path"};
  static const char* const starts[] = {"HITRAN Intensities", "HITRAN Intensities / Bandwidth (I/Alpha)",
                                       "Temperature and Pressure Broadened", "Doppler Broadened"};
  PlotTitles r;
  std::string caption = (c.plotType >= 0 && c.plotType <= 2) ? captions[c.plotType] : "";
  std::string start = (c.spectraType >= 0 && c.spectraType <= 3) ? starts[c.spectraType] : "";

  switch (c.plotType) {
  case 0: {
    std::string units = c.spectraType == 0 ? "cm-1" : "1";
    std::string per = c.scaling == 0 ? "molecule" : "molecule * mixing ratio";
    r.leftAxis = "Absorbance x 1E-20 [" + units + " / (" + per + "/cm2)]";
    break;
  }
  case 1:
    r.leftAxis = "ln(Absorption)";
    break;
  case 2:
    r.leftAxis = DistanceAxisTitle(absorbedFraction);
    break;
  default:
    break;
  }

  r.envelopeEnabled = c.plotType == 0;
  r.groupsEnabled = c.plotType != 1;
  if (c.plotType == 1) start = "Temperature and Pressure Broadened";

  r.firstLine = start + " - " + caption;
  if (c.scaling == 0 && c.plotType == 0) r.firstLine += " (per Molecule)";

  std::string second;
  if (c.spectraType != 0 || c.plotType == 1) second += t.tempK + " °K   " + t.pressure + " mb   ";
  if (c.scaling == 1 || c.plotType != 0) second += t.water + " ppm water vapor   " + t.co2 + " ppm CO2   ";
  r.secondLine = trim_blanks(second);
  return r;
}

PathSetting PathFromMultiplier(int pathType, double m) {
  if (pathType == 1) return {m, 1.0 - std::exp(-m)};
  double factor = m * std::log(2.0);
  return {factor, 1.0 - std::exp(-factor)};
}

double ReadEditText(const std::string& text, double def) {
  if (text.empty()) return def;
  return zq::ParseNumberText(text).value_or(def);
}

std::optional<std::string> ClampedEditText(const std::string& text, double lower, double upper) {
  double v = ReadEditText(text, 1000);
  if (!(v >= lower)) return zqFloatToText(lower);
  if (v > upper) return zqFloatToText(upper);
  return std::nullopt;
}

} // namespace zqapp
