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

namespace {

// The HITRAN physics' titles: the profile and the physics by name, the cross-section's unit, and the
// conditions the widths depend on (temperature, pressure and, through self broadening, both mixing
// ratios) on every broadened plot. The raw-line Spectra plots are the file's values: classic titles.
PlotTitles hitran_titles(const PlotChoice& c, double absorbedFraction, const PlotTexts& t) {
  static const char* const captions[] = {"Spectra", "Optical Depth for 1 km", "Mean Path"};
  PlotTitles r;
  const bool perMolecule = c.scaling == TScaling::Raw;
  std::string profile = "Voigt";
  if (c.spectraType == TSpectraType::Lorentz) profile = "Lorentz";
  if (c.spectraType == TSpectraType::Doppler) profile = "Doppler";
  std::string shape = profile + " Profile";
  // The continuum joins the pressure-broadened profiles (never Doppler's), or stands alone.
  if (c.continuum && c.spectraType != TSpectraType::Doppler) shape += " + MT_CKD Continuum";
  if (c.spectraType == TSpectraType::Continuum) shape = "MT_CKD Water Vapor Continuum";
  switch (c.plotType) {
  case TPlotType::Spectra:
    r.leftAxis = perMolecule ? "Cross-section x 1E20 [cm2/molecule]"
                             : "Cross-section x 1E20 x mixing ratio [cm2/molecule x ppm]";
    break;
  case TPlotType::OpticalDepth:
    r.leftAxis = "ln(Optical Depth) of 1 km, sigma n L";
    break;
  case TPlotType::MeanPath:
  case TPlotType::OutgoingRadiation: // titled before
    r.leftAxis = DistanceAxisTitle(absorbedFraction);
    break;
  }
  r.envelopeEnabled = c.plotType == TPlotType::Spectra;
  r.groupsEnabled = true;
  r.firstLine = shape + ", HITRAN Line Physics - " + captions[static_cast<int>(c.plotType)];
  if (perMolecule && c.plotType == TPlotType::Spectra) r.firstLine += " (per Molecule)";
  r.secondLine = trim_blanks(t.tempK + " °K   " + t.pressure + " mb   " + t.water + " ppm water vapor   " +
                             t.co2 + " ppm CO2   ");
  return r;
}

} // namespace

PlotTitles BuildPlotTitles(const PlotChoice& c, double absorbedFraction, const PlotTexts& t) {
  if (c.plotType == TPlotType::OutgoingRadiation) {
    // The column's own spectrum; its conditions are the Column page's, which the window adds.
    PlotTitles r;
    r.firstLine = "Outgoing Radiation at the Top of the Atmosphere (HITRAN, Voigt)";
    r.leftAxis = "Upward flux per wavenumber [W m-2 / cm-1]";
    r.envelopeEnabled = false;
    r.groupsEnabled = false;
    return r;
  }
  if (c.physics == TLinePhysics::Hitran && !IsLinePlot(c.physics, c.plotType, c.spectraType))
    return hitran_titles(c, absorbedFraction, t);
  static const char* const captions[] = {"Spectra", "Optical Depth for 1 km", "Mean Path"};
  static const char* const starts[] = {"HITRAN Intensities", "HITRAN Intensities / Bandwidth (I/Alpha)",
                                       "Temperature and Pressure Broadened", "Doppler Broadened"};
  static const char* const demoStarts[] = {"Demonstration List Intensities",
                                           "Demonstration List Intensities / Bandwidth (I/Alpha)"};
  PlotTitles r;
  std::string caption = captions[static_cast<int>(c.plotType)];
  // A HITRAN profile asked of the classic physics (refused by the session) is named as it stands.
  std::string start = c.spectraType <= TSpectraType::DopplerBroadened
                          ? starts[static_cast<int>(c.spectraType)]
                          : SpectraTypeText(c.spectraType);
  if (t.demoLists && c.spectraType <= TSpectraType::IOverAlpha)
    start = demoStarts[static_cast<int>(c.spectraType)];
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
  case TPlotType::OutgoingRadiation: // titled before
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

namespace {
std::string number_text(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.6g", v);
  return buf;
}
} // namespace

std::string GasLegendText(LegendGas gas, const PlotChoice& c, const LegendConditions& k) {
  const std::string names[] = {"H2O", k.second, "H2O + " + k.second};
  std::string text = names[static_cast<int>(gas)];
  const bool lines = IsLinePlot(c.physics, c.plotType, c.spectraType);
  if (lines) text += c.spectraType == TSpectraType::IOverAlpha ? " lines / width" : " lines";
  // The amounts count wherever the plot depends on them: scaled spectra, depths and paths, the mixture.
  const bool amounts =
      gas == LegendGas::Combined || c.scaling == TScaling::MixingRatio || c.plotType != TPlotType::Spectra;
  if (amounts) {
    if (gas == LegendGas::Water) text += ", " + number_text(k.water) + " ppm";
    if (gas == LegendGas::CO2) text += ", " + number_text(k.co2) + " ppm";
    if (gas == LegendGas::Combined) text += ", " + number_text(k.water) + " + " + number_text(k.co2) + " ppm";
  }
  if (lines) return text;
  // The profile the curve is broadened with (the classic optical depth is always pressure broadened).
  std::string profile;
  switch (c.spectraType) {
  case TSpectraType::Lorentz:
    profile = "Lorentz";
    break;
  case TSpectraType::Doppler:
  case TSpectraType::DopplerBroadened:
    profile = "Doppler";
    break;
  case TSpectraType::PressureBroadened:
    profile = "pressure broadened";
    break;
  case TSpectraType::Continuum:
    profile = "MT_CKD continuum";
    break;
  default:
    profile = c.physics == TLinePhysics::Hitran ? "Voigt" : "pressure broadened";
  }
  if (c.physics == TLinePhysics::Classic && c.plotType == TPlotType::OpticalDepth &&
      c.spectraType != TSpectraType::DopplerBroadened)
    profile = "pressure broadened";
  if (c.continuum && c.physics == TLinePhysics::Hitran && gas != LegendGas::CO2 && profile != "Doppler" &&
      c.spectraType != TSpectraType::Continuum)
    profile += " + continuum";
  return text + ", " + profile + ", " + number_text(k.temperature) + " K, " + number_text(k.pressure) + " mb";
}

std::string PlanckLegendText(double kelvin) {
  return "Planck " + number_text(kelvin) + " K";
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
