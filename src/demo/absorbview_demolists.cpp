// absorbview-demolists FOLDER: writes the demonstration line lists "02_CO2.txt" and
// "01_h2o_161_only.txt" into FOLDER, for a first run before real HITRAN files are installed.
#include "zqDemoLines.h"

#include <cstring>
#include <exception>
#include <iostream>

int main(int argc, char** argv) {
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::cout << "usage: absorbview-demolists FOLDER\n"
                 "Writes the demonstration line lists 02_CO2.txt and 01_h2o_161_only.txt into FOLDER.\n"
                 "They are computed from molecular constants and are not HITRAN data.\n";
    return 0;
  }
  if (argc != 2 || argv[1][0] == '\0') {
    std::cerr << "usage: absorbview-demolists FOLDER\n";
    return 2;
  }
  try {
    WriteDemoLineLists(argv[1]);
  } catch (const std::exception& e) {
    std::cerr << "absorbview-demolists: " << e.what() << '\n';
    return 1;
  }
  std::cout << "wrote 02_CO2.txt and 01_h2o_161_only.txt in " << argv[1] << '\n';
  return 0;
}
