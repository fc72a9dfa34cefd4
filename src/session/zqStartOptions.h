// The program's own command-line options, taken out before the INI store sees the arguments (it treats
// any switch it does not know as a request for help): "--screenshot FILE" or "--screenshot=FILE", and
// "--version".
#pragma once

#include <string>
#include <vector>

struct TStartOptions {
  std::string ScreenshotFile;       // empty: run normally
  bool ShowVersion = false;         // print the version and end
  std::vector<std::string> IniArgs; // every other argument, in order, for the INI command line
  std::string Error;                // not empty when an option of the program's own is malformed
};

TStartOptions SplitStartOptions(const std::vector<std::string>& args);
