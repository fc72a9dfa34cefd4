#include "zqStartOptions.h"

#include "zqPlotModes.h"

TStartOptions SplitStartOptions(const std::vector<std::string>& args) {
  TStartOptions options;
  const std::pair<std::string, std::string TStartOptions::*> names[] = {
      {"--screenshot", &TStartOptions::ScreenshotFile},
      {"--plot", &TStartOptions::Plot},
      {"--spectra", &TStartOptions::Spectra}};
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--version") {
      options.ShowVersion = true;
      continue;
    }
    if (arg == "--help" || arg == "-h" || arg == "/?" || arg == "-?") {
      options.ShowHelp = true;
      continue;
    }
    const std::pair<std::string, std::string TStartOptions::*>* option = nullptr;
    std::string value;
    bool given = false;
    for (const auto& n : names) {
      if (arg == n.first) {
        option = &n;
        if (i + 1 < args.size()) value = args[++i];
        given = true;
      } else if (arg.rfind(n.first + "=", 0) == 0) {
        option = &n;
        value = arg.substr(n.first.size() + 1);
        given = true;
      }
      if (given) break;
    }
    if (!option) {
      options.IniArgs.push_back(arg);
      continue;
    }
    std::string& target = options.*(option->second);
    if (value.empty())
      options.Error = option->first == "--screenshot" ? "--screenshot needs the name of the PNG file to write"
                                                      : option->first + " needs a value";
    else if (!target.empty())
      options.Error = option->first + " may be given once";
    else
      target = value;
  }
  if (options.Error.empty() && !options.Plot.empty() && !ParsePlotType(options.Plot))
    options.Error = "--plot \"" + options.Plot + "\" is not one of Spectra, Optical Depth, Mean Path";
  if (options.Error.empty() && !options.Spectra.empty() &&
      !ParseSpectraName(options.Spectra, TLinePhysics::Classic) &&
      !ParseSpectraName(options.Spectra, TLinePhysics::Hitran))
    options.Error = "--spectra \"" + options.Spectra +
                    "\" is not a spectra type (e.g. Raw, Temp & Pressure, Doppler, Voigt)";
  return options;
}

std::vector<std::string> StartOptionsHelp() {
  const std::pair<const char*, const char*> options[] = {
      {"/ini FILE", "the INI file to use (default: absorbview.ini beside the program)"},
      {"--plot TYPE", "the first plot: Spectra, Optical Depth, Mean Path or Outgoing Radiation"},
      {"--spectra TYPE", "the first spectra type: Raw, Raw / Bandwidth, Temp & Pressure, Doppler, Lorentz,"},
      {"", "Voigt, or the short names pressure, doppler, lorentz, voigt (any letter case)"},
      {"--screenshot FILE", "write the window's picture to the PNG file after start-up and end"},
      {"--version", "print the version and end"},
      {"--help, /?", "print this help and end"}};
  std::vector<std::string> lines{"Usage: absorbview [options]", "", "Options:"};
  for (const auto& [name, text] : options) {
    std::string line = "  " + std::string(name);
    line.resize(22, ' ');
    lines.push_back(line + text);
  }
  lines.push_back("");
  lines.push_back(
      "absorbview-cli computes the same plots and tables without a window; see absorbview-cli --help.");
  return lines;
}
