#include "zqLineListFile.h"

#include "zqHITRAN.h"
#include "zqHitranApiTable.h"
#include "zqINI_File.h"

#include <exception>
#include <filesystem>
#include <vector>

namespace fs = std::filesystem;

namespace {

bool is_file(const fs::path& p) {
  return NotAReadableFileReason(p.string()).empty();
}

std::string absolute_text(const fs::path& p) {
  std::error_code ec;
  const fs::path a = fs::absolute(p, ec);
  return (ec ? p : a).lexically_normal().string();
}

} // namespace

TLineListPick ResolveLineListFile(const std::string& picked) {
  using zqhitranapi::HasExtension;
  using zqhitranapi::TablePartner;
  const fs::path path(picked);
  std::error_code ec;
  if (fs::is_directory(path, ec)) {
    // A HITRAN-API download folder: the one table whose records and header are both there (either in
    // any letter case).
    std::vector<fs::path> tables;
    for (const auto& entry : fs::directory_iterator(path, ec)) {
      const fs::path p = entry.path();
      if (HasExtension(p.string(), ".data") && is_file(p) && !TablePartner(p.string(), ".header").empty())
        tables.push_back(p);
    }
    if (tables.empty())
      return {{}, "The folder " + picked + " holds no HITRAN-API table (a .data file with its .header)."};
    if (tables.size() > 1)
      return {{},
              "The folder " + picked + " holds " + std::to_string(tables.size()) +
                  " HITRAN-API tables; open the .data file of the one you want."};
    return {absolute_text(tables.front()), {}};
  }
  if (HasExtension(picked, ".header")) {
    const std::string data = TablePartner(picked, ".data");
    if (data.empty()) {
      // Say what stands under the name the records would have, not only that no file is there.
      const std::string expected = fs::path(path).replace_extension(".data").string();
      return {{},
              "The records of " + picked + " are missing: " + expected + " " +
                  NotAReadableFileReason(expected) + "."};
    }
    return {absolute_text(data), {}};
  }
  if (const std::string why = NotAReadableFileReason(picked); !why.empty())
    return {{}, picked + " " + why + "."};
  return {absolute_text(path), {}};
}

TLineListLoad LoadLineListFile(TzqINI_File& ini, const std::string& section, const std::string& file,
                               const TLoadProgress& progress) {
  TLineListLoad result;
  std::unique_ptr<TzqDatafile> object =
      DatafileTypes().CreateByType(ini.ReadString(section, "FileType", "Generic"));
  if (!object) {
    result.Error = "The section [" + section + "] names no known file type.";
    return result;
  }
  object->ReadParameters(ini, section);
  if (progress)
    object->OnReadProgress = [&](uint64_t read, uint64_t total) { progress(section, file, read, total); };
  try {
    object->LoadFromFile(file);
  } catch (const std::exception& e) {
    result.Error = file + " could not be read:\n\n" + e.what();
    return result;
  }
  object->OnReadProgress = nullptr;
  if (object->RecordCount() == 0) {
    // The number the list keeps, as the user would look for it in the file's first columns, and what was
    // left out, which says what the file holds instead (another isotopologue, another molecule).
    const auto* list = dynamic_cast<const T_zq_HITRAN*>(object.get());
    const std::string molecule = list ? zqTrim(list->MoleculeType) : std::string();
    const std::string leftOut = object->ReadNote();
    result.Error = file + " holds no line of this gas that can be read (HITRAN records of 100 or 160 " +
                   "characters with molecule number " + (molecule.empty() ? "?" : molecule) + " of [" +
                   section + "] and isotopologue 1)." + (leftOut.empty() ? "" : "\n\n" + leftOut + ".");
    return result;
  }
  result.List = std::move(object);
  return result;
}

std::unique_ptr<TzqDatafile> ReplaceDatafile(TLoadedDatafiles& list, const std::string& section,
                                             std::unique_ptr<TzqDatafile> object) {
  for (TLoadedDatafile& entry : list)
    if (zqUpperCase(entry.Name) == zqUpperCase(section)) {
      std::swap(entry.Object, object);
      return object;
    }
  list.push_back({section, std::move(object)});
  return nullptr;
}
