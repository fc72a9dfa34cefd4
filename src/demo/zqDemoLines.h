// Demonstration line lists for carbon dioxide and water vapour, computed from published molecular
// constants so that a fresh installation can draw spectra before real HITRAN files are obtained.
// The lists are written in the 100-character HITRAN record layout that the line-list reader takes.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

// One computed line with the HITRAN fields it is written with.
struct DemoLine {
  double Wavenumber = 0;       // cm-1
  double Intensity = 0;        // cm-1 / (molecule cm-2) at 296 K, scaled by isotopic abundance
  double EinsteinA = 0;        // s-1
  double AirWidth = 0;         // cm-1 / atm at 296 K
  double SelfWidth = 0;        // cm-1 / atm at 296 K
  double LowerStateEnergy = 0; // cm-1
  double WidthExponent = 0;    // temperature exponent of the air width
  int UpperGlobal = 0;         // vibrational level indices (columns 68-70, 71-73)
  int LowerGlobal = 0;
  std::string UpperLocal; // rotational quanta, 9 characters (columns 74-82)
  std::string LowerLocal; // rotational quanta, 9 characters (columns 83-91)
  std::string Band;       // vibrational labels, e.g. "01101-00001" or "010-000"
  double BandOrigin = 0;  // vibrational origin of the band (cm-1)
};

// One vibrational band of a demonstration list: its origin and the sum of its line intensities.
struct DemoBand {
  std::string Name;
  double Origin = 0;   // cm-1
  double Strength = 0; // sum of the band's line intensities, cm-1 / (molecule cm-2)
  int Lines = 0;
};

// Principal isotopologue of CO2 (HITRAN molecule " 2", isotopologue "1"): the bending fundamental
// near 667 cm-1 with its hot bands and the asymmetric-stretch bands near 2349 cm-1. Sorted by
// wavenumber.
std::vector<DemoLine> DemoCO2Lines();

// Principal isotopologue of H2O (" 1", isotopologue "1"): the pure-rotation band and the bending
// fundamental near 1595 cm-1. Sorted by wavenumber.
std::vector<DemoLine> DemoH2OLines();

// Principal isotopologue of O3 (" 3", isotopologue "1"): a simplified 9.6 um (nu3) band, a symmetric-top
// stand-in for the real asymmetric-top band (zqDemoO3.cpp says what it leaves out). Sorted by wavenumber.
std::vector<DemoLine> DemoO3Lines();

// Band summaries of a list, in order of first appearance of each band.
std::vector<DemoBand> DemoBands(const std::vector<DemoLine>& lines);

// Sum of the intensities of the lines with lo <= wavenumber <= hi.
double DemoIntensitySum(const std::vector<DemoLine>& lines, double lo, double hi);

// Total internal partition functions at 296 K used for the intensities.
double DemoCO2PartitionFunction();
double DemoH2OPartitionFunction();

// One line as a 100-character HITRAN record; molecule is the two-character code (" 2"), the
// isotopologue is "1".
std::string FormatHitranRecord(const std::string& molecule, const DemoLine& line);

// The comment lines (each beginning with ">") that open a demonstration file.
std::string DemoLineListHeader(const std::string& moleculeName, const std::string& fileName);

// True when the file begins like DemoLineListHeader: a demonstration list, not HITRAN data. False for
// any other file and for a file that cannot be read.
bool IsDemoLineListFile(const std::filesystem::path& file);

// Writes "02_CO2.txt" and "01_h2o_161_only.txt" into folder (created if missing); with keepExisting
// a file that is already there (perhaps a real list) is left alone, and so is a link, even one that
// points nowhere. A link is never replaced: without keepExisting it is an error. Throws
// std::runtime_error naming the file when a file cannot be written completely.
// Names in leave (file names such as "02_CO2.txt") are not written at all.
void WriteDemoLineLists(const std::filesystem::path& folder, bool keepExisting = false,
                        const std::vector<std::string>& leave = {});

// Writes the ozone demonstration list "03_o3_666_demo.txt" into folder (not among the first run's lists:
// the program opens it only when asked, as any O3 list).
void WriteDemoO3List(const std::filesystem::path& folder);
