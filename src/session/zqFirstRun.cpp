#include "zqFirstRun.h"

#include "zqDemoLines.h"
#include "zqINI_File.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <sstream>

const std::vector<std::string>& DefaultLineListNames() {
  static const std::vector<std::string> names{"02_CO2.txt", "01_h2o_161_only.txt"};
  return names;
}

std::vector<std::string> ConfiguredLineListFiles(const TzqINI_File& ini) {
  std::vector<std::string> files;
  for (const char* section : {"h2o", "CO2"})
    if (const T_zq_ini_Record* r = ini.FindRecord(section, "Filename")) files.push_back(r->Value);
  return files;
}

TFirstRunResult ProvideDemoLineLists(const std::vector<std::string>& configured,
                                     const std::string& iniDirectory,
                                     const std::filesystem::path& currentFolder) {
  TFirstRunResult result;
  const auto& defaults = DefaultLineListNames();
  bool missing = false;
  // A link under a default name leads to the user's data: it stays, and the user hears what it lacks.
  std::string links;
  std::vector<std::string> linked;
  for (const std::string& name : configured) {
    if (std::find(defaults.begin(), defaults.end(), name) == defaults.end() ||
        !FindDataFileOnDisk(name, iniDirectory).empty())
      continue;
    const std::string note = MissingLinkTargetNote(name, iniDirectory);
    if (note.empty()) {
      missing = true;
      continue;
    }
    linked.push_back(name);
    links += (links.empty() ? "absorbview: " : "\nabsorbview: ") + note +
             "; the link is left as it is and no demonstration list takes its place.";
  }
  if (!missing) {
    result.message = links;
    return result;
  }

  std::vector<std::filesystem::path> targets;
  if (!iniDirectory.empty()) targets.emplace_back(iniDirectory);
  if (targets.empty() || std::filesystem::path(iniDirectory) != currentFolder)
    targets.push_back(currentFolder);
  std::string failures;
  for (const auto& folder : targets) {
    try {
      const auto start = std::chrono::steady_clock::now();
      WriteDemoLineLists(folder, true, linked);
      const auto ms =
          std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
              .count();
      result.outcome = TFirstRunResult::Outcome::Generated;
      result.folder = folder;
      result.message = "absorbview: no HITRAN line lists found (02_CO2.txt, 01_h2o_161_only.txt); wrote "
                       "DEMONSTRATION line lists computed from molecular constants into " +
                       folder.string() + " (" + std::to_string(ms) +
                       " ms). They are not HITRAN data: see Help > How to get HITRAN data." +
                       (links.empty() ? "" : "\n" + links);
      return result;
    } catch (const std::exception& e) {
      failures += std::string("\n  ") + e.what();
    }
  }
  result.outcome = TFirstRunResult::Outcome::Failed;
  result.message = "absorbview: no HITRAN line lists found, and the demonstration line lists could not be "
                   "written:" +
                   failures;
  return result;
}

std::vector<std::string> DemoListSections(const TLoadedDatafiles& list) {
  std::vector<std::string> sections;
  for (const auto& entry : list)
    if (entry.Object && !entry.Object->Filename.empty() && IsDemoLineListFile(entry.Object->Filename))
      sections.push_back(entry.Name);
  return sections;
}

TDemoNotice DemoNotice(const std::vector<std::string>& sections) {
  TDemoNotice notice{"Absorbview", ""};
  if (sections.empty()) return notice;
  notice.title = "Absorbview - demonstration line lists, not HITRAN data";
  std::string names;
  for (std::size_t i = 0; i < sections.size(); ++i)
    names += (i == 0 ? "" : i + 1 == sections.size() ? " and " : ", ") + sections[i];
  notice.status = "Showing demonstration line lists (" + names +
                  "), computed from molecular constants, not HITRAN data. Help > How to get HITRAN data.";
  return notice;
}

std::string HitranInstructions() {
  std::ostringstream t;
  t << "Absorbview reads HITRAN line lists. Without them it shows demonstration lists that it computes "
       "from molecular constants (approximate, many bands missing).\n\n"
       "To get the real lists (free registration at HITRANonline, hitran.org):\n"
       "1. Open \"Data Access\" > \"Line-by-line\" search.\n"
       "2. Choose the molecule H2O and only its principal isotopologue H2(16)O.\n"
       "3. Set the range 0 to 5000 cm-1.\n"
       "4. Choose the output format \".par\" (160-character HITRAN2004+ records) and download.\n"
       "5. Save the file as \"01_h2o_161_only.txt\".\n"
       "6. Repeat for CO2 with only 12C16O2, saved as \"02_CO2.txt\".\n\n"
       "Put both files beside the Absorbview executable or in the folder you start it from, replacing "
       "the demonstration lists, and start Absorbview again. Records of 100 and of 160 characters are "
       "both read.";
  return t.str();
}
