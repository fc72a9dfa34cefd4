#include "zqStartOptions.h"

TStartOptions SplitStartOptions(const std::vector<std::string>& args) {
  static const std::string name = "--screenshot";
  TStartOptions options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    std::string file;
    if (arg == "--version") {
      options.ShowVersion = true;
      continue;
    }
    if (arg == name) {
      if (i + 1 < args.size()) file = args[++i];
    } else if (arg.rfind(name + "=", 0) == 0) {
      file = arg.substr(name.size() + 1);
    } else {
      options.IniArgs.push_back(arg);
      continue;
    }
    if (file.empty()) {
      options.Error = "--screenshot needs the name of the PNG file to write";
    } else if (!options.ScreenshotFile.empty()) {
      options.Error = "--screenshot may be given once";
    } else {
      options.ScreenshotFile = file;
    }
  }
  return options;
}
