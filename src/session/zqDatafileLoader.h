// Start-up loading of the configured data files: one data-file object per "[Application]" entry, created
// through the type registry, its declared parameters read from its section and its file loaded from the
// current folder or the INI file's folder. Plain C++ (messages go through the platform interface).
#pragma once

#include "zqDatafile.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TzqINI_File;

// One loaded entry: the section name as written in "[Application]" and the object it owns.
struct TLoadedDatafile {
  std::string Name;
  std::unique_ptr<TzqDatafile> Object;
};
using TLoadedDatafiles = std::vector<TLoadedDatafile>;

// Where a data file named in the INI store is found: the name as written (a relative name against the
// current folder), else iniDirectory (the INI file's folder) followed by the name. Empty when neither
// is a file.
std::string FindDataFileOnDisk(const std::string& written, const std::string& iniDirectory);

// Reading progress of one data file: its section, its path, the bytes read so far and its size.
using TLoadProgress = std::function<void(const std::string& section, const std::string& file,
                                         uint64_t bytesRead, uint64_t total)>;

// Fills list (cleared first) from the INI store. A file that cannot be found shows the "File not found"
// message and leaves an empty object in the list; a file that stops reading with an error shows
// "Data file error" with the reason and keeps the records read so far. progress, when given, hears
// how reading each file advances (see TzqDatafile::OnReadProgress).
void LoadDatafiles(TzqINI_File& ini, TLoadedDatafiles& list, const TLoadProgress& progress = {});

// The object whose name matches without regard to letter case, or nullptr.
TzqDatafile* FindDatafile(const TLoadedDatafiles& list, const std::string& name);

// When no data file is found for written but a symbolic link stands under that name (as written, or
// beside the INI file), a sentence naming the link and the target it lacks; empty otherwise.
std::string MissingLinkTargetNote(const std::string& written, const std::string& iniDirectory);

// The text of the "File not found" message for a section and its Filename value as written.
std::string FileNotFoundText(const std::string& section, const std::string& filename);
