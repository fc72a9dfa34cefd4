// The program's own command-line options, taken out before the INI store sees the arguments (it treats
// any switch it does not know as a request for help): "--screenshot FILE", the first plot's "--plot TYPE"
// and "--spectra TYPE" (texts of the plot-mode table, e.g. "Optical Depth", "Voigt"), each also as
// "--name=VALUE", and "--version".
#pragma once

#include <string>
#include <vector>

struct TStartOptions {
  std::string ScreenshotFile;       // empty: run normally
  std::string Plot, Spectra;        // empty: the window's defaults
  bool ShowVersion = false;         // print the version and end
  std::vector<std::string> IniArgs; // every other argument, in order, for the INI command line
  std::string Error;                // not empty when an option of the program's own is malformed
};

TStartOptions SplitStartOptions(const std::vector<std::string>& args);
