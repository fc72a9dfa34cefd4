// The program's own command-line options, taken out before the INI store sees the arguments (it treats
// any switch it does not know as a request for help): "--screenshot FILE", the first plot's "--plot TYPE"
// and "--spectra TYPE" (texts of the plot-mode table, e.g. "Optical Depth", "Voigt"), each also as
// "--name=VALUE", "--version" and "--help" (also "-h", "/?", "-?").
#pragma once

#include <string>
#include <vector>

struct TStartOptions {
  std::string ScreenshotFile;       // empty: run normally
  std::string Plot, Spectra;        // empty: the window's defaults
  bool ShowVersion = false;         // print the version and end
  bool ShowHelp = false;            // print StartOptionsHelp() and end (no window system needed)
  std::vector<std::string> IniArgs; // every other argument, in order, for the INI command line
  std::string Error;                // not empty when an option of the program's own is malformed
};

TStartOptions SplitStartOptions(const std::vector<std::string>& args);

// Every option of the window's command line, one a line, the names padded to one column (no tabs, so
// the lines stay aligned in a terminal and in a message box with a fixed-pitch font alike).
std::vector<std::string> StartOptionsHelp();
