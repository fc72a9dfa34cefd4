// First run on a fresh machine: when the line lists of the default configuration are missing, the
// demonstration lists are written where the loader looks for them, before anything is loaded; and a
// window whose lists turn out to be demonstration lists (now or on a later run) says so.
#pragma once

#include "zqDatafileLoader.h"

#include <filesystem>
#include <string>
#include <vector>

class TzqINI_File;

// The line lists the default configuration reads: "02_CO2.txt" and "01_h2o_161_only.txt".
const std::vector<std::string>& DefaultLineListNames();

struct TFirstRunResult {
  enum class Outcome { NotNeeded, Generated, Failed };
  Outcome outcome = Outcome::NotNeeded;
  std::filesystem::path folder; // where the lists were written (Generated)
  std::string message;          // what to tell on the terminal (Generated, Failed; a link that points
                                // nowhere under a default name is told with any outcome)
};

// The Filename values of the line-list sections [h2o] and [CO2] (the lists the window plots), read
// without creating anything in the store.
std::vector<std::string> ConfiguredLineListFiles(const TzqINI_File& ini);

// When one of the configured files is a default line list that is found neither as written (relative
// to the current folder) nor in iniDirectory (the loader's own search; the INI folder is the
// executable's folder unless /ini chose another file), writes the demonstration lists into
// iniDirectory, or into currentFolder when that cannot be written. A list already in the target folder
// is kept, and so is a link under a default name, even one that points nowhere: the message then says
// what it lacks. Other file names are left to the loader's "File not found". Never throws.
TFirstRunResult ProvideDemoLineLists(const std::vector<std::string>& configured,
                                     const std::string& iniDirectory,
                                     const std::filesystem::path& currentFolder);

// The sections among the loaded data files whose file is a demonstration list, in list order.
std::vector<std::string> DemoListSections(const TLoadedDatafiles& list);

// What the window shows while demonstration lists are loaded: its title and the status bar's notice.
struct TDemoNotice {
  std::string title;
  std::string status;
};
// sections: as DemoListSections gives them; with none, the plain title and no notice.
TDemoNotice DemoNotice(const std::vector<std::string>& sections);

// Step-by-step instructions for downloading the real line lists from HITRANonline.
std::string HitranInstructions();
