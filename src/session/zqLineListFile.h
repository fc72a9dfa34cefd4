// Opening a line list the user picked: any file of HITRAN records (100 or 160 characters, whatever its
// name), or a HITRAN-API table (a ".data" file of records with its ".header" beside it), picked as
// either file or as the folder that holds it. The new list is read completely into a new object before
// it may replace the one shown, so a file that cannot be used leaves the window as it was. Plain C++.
#pragma once

#include "zqDatafileLoader.h"

#include <memory>
#include <string>

class TzqINI_File;

// The file of records for what was picked (absolute), or why there is none.
struct TLineListPick {
  std::string File;
  std::string Error;
};
TLineListPick ResolveLineListFile(const std::string& picked);

// A new data-file object of the section's FileType with the section's parameters, file read into it;
// or, with no object, why it cannot be used (unreadable, a read error, no line of the section's
// molecule). progress hears the reading as at start-up.
struct TLineListLoad {
  std::unique_ptr<TzqDatafile> List;
  std::string Error;
};
TLineListLoad LoadLineListFile(TzqINI_File& ini, const std::string& section, const std::string& file,
                               const TLoadProgress& progress = {});

// Puts object in place of the list's entry for section (letter case ignored) and returns the object it
// replaced (kept alive by the caller until nothing refers to it); the entry is appended when missing.
std::unique_ptr<TzqDatafile> ReplaceDatafile(TLoadedDatafiles& list, const std::string& section,
                                             std::unique_ptr<TzqDatafile> object);
