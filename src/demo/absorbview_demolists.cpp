// absorbview-demolists [--keep] FOLDER: writes the demonstration line lists "02_CO2.txt" and
// "01_h2o_161_only.txt" into FOLDER, for a first run before real HITRAN files are installed.
#include "zqDemoLines.h"

#include <exception>
#include <iostream>
#include <string>

namespace {

constexpr const char* kUsage = "usage: absorbview-demolists [--keep] [--o3] FOLDER\n";

} // namespace

int main(int argc, char** argv) {
  bool keep = false, o3 = false;
  std::string folder;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::cout << kUsage
                << "Writes the demonstration line lists 02_CO2.txt and 01_h2o_161_only.txt into FOLDER.\n"
                   "They are computed from molecular constants and are not HITRAN data.\n"
                   "  --keep   leave a list that is already in FOLDER (a real one, perhaps) untouched\n"
                   "  --o3     write the ozone demonstration list 03_o3_666_demo.txt instead\n";
      return 0;
    }
    if (arg == "--keep") {
      keep = true;
    } else if (arg == "--o3") {
      o3 = true;
    } else if (folder.empty() && !arg.empty() && arg[0] != '-') {
      folder = arg;
    } else {
      std::cerr << "absorbview-demolists: unexpected argument \"" << arg << "\"\n" << kUsage;
      return 2;
    }
  }
  if (folder.empty()) {
    std::cerr << kUsage;
    return 2;
  }
  try {
    if (o3) {
      WriteDemoO3List(folder);
      std::cout << "wrote 03_o3_666_demo.txt in " << folder << '\n';
      return 0;
    }
    WriteDemoLineLists(folder, keep);
  } catch (const std::exception& e) {
    std::cerr << "absorbview-demolists: " << e.what() << '\n';
    return 1;
  }
  std::cout << (keep ? "demonstration line lists are in " : "wrote 02_CO2.txt and 01_h2o_161_only.txt in ")
            << folder << '\n';
  return 0;
}
