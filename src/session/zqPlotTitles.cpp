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
  std::string caption = captions[static_cast<int>(c.plotType)];
  std::string start = starts[static_cast<int>(c.spectraType)];
  const bool spectra = c.plotType == TPlotType::Spectra;
  const bool opticalDepth = c.plotType == TPlotType::OpticalDepth;
  const bool perMolecule = c.scaling == TScaling::Raw;

  switch (c.plotType) {
  case TPlotType::Spectra: {
    std::string units = c.spectraType == TSpectraType::Raw ? "cm-1" : "1";
    std::string per = perMolecule ? "molecule" : "molecule * mixing ratio";
    r.leftAxis = "Absorbance x 1E-20 [" + units + " / (" + per + "/cm2)]";
    break;
  }
  case TPlotType::OpticalDepth:
    r.leftAxis = "ln(Absorption)";
    break;
  case TPlotType::MeanPath:
    r.leftAxis = DistanceAxisTitle(absorbedFraction);
    break;
  }

  r.envelopeEnabled = spectra;
  r.groupsEnabled = !opticalDepth;
  if (opticalDepth) start = "Temperature and Pressure Broadened";

  r.firstLine = start + " - " + caption;
  if (perMolecule && spectra) r.firstLine += " (per Molecule)";

  std::string second;
  if (c.spectraType != TSpectraType::Raw || opticalDepth)
    second += t.tempK + " °K   " + t.pressure + " mb   ";
  if (!perMolecule || !spectra) second += t.water + " ppm water vapor   " + t.co2 + " ppm CO2   ";
  r.secondLine = trim_blanks(second);
  return r;
}

double ReadEditText(const std::string& text, double def) {
  if (text.empty()) return def;
  return zq::ParseNumberText(text).value_or(def);
}

std::optional<std::string> ClampedEditText(const std::string& text, double lower, double upper) {
  // A text that is no number stays as typed (its field says so); it is not replaced by a bound.
  if (!text.empty() && !zq::ParseNumberText(text)) return std::nullopt;
  double v = ReadEditText(text, 1000);
  if (!(v >= lower)) return zqFloatToText(lower);
  if (v > upper) return zqFloatToText(upper);
  return std::nullopt;
}

} // namespace zqapp
