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
  if (options.Error.empty() && !options.Spectra.empty() && !ParseSpectraName(options.Spectra, TLinePhysics::Classic) &&
      !ParseSpectraName(options.Spectra, TLinePhysics::Hitran))
    options.Error = "--spectra \"" + options.Spectra +
                    "\" is not a spectra type (e.g. Raw, Temp & Pressure, Doppler, Voigt)";
  return options;
}
