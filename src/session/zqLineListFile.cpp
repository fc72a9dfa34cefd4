#include "zqLineListFile.h"

#include "zqHITRAN.h"
#include "zqINI_File.h"

#include <exception>
#include <filesystem>
#include <vector>

namespace fs = std::filesystem;

namespace {

bool is_file(const fs::path& p) {
  std::error_code ec;
  return fs::is_regular_file(p, ec);
}

std::string absolute_text(const fs::path& p) {
  std::error_code ec;
  const fs::path a = fs::absolute(p, ec);
  return (ec ? p : a).lexically_normal().string();
}

} // namespace

TLineListPick ResolveLineListFile(const std::string& picked) {
  const fs::path path(picked);
  std::error_code ec;
  if (fs::is_directory(path, ec)) {
    // A HITRAN-API download folder: the one table whose records and header are both there.
    std::vector<fs::path> tables;
    for (const auto& entry : fs::directory_iterator(path, ec)) {
      const fs::path p = entry.path();
      if (p.extension() == ".data" && is_file(p) && is_file(fs::path(p).replace_extension(".header")))
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
  if (path.extension() == ".header") {
    const fs::path data = fs::path(path).replace_extension(".data");
    if (!is_file(data))
      return {{}, "The records of " + picked + " are missing: " + data.string() + " is not there."};
    return {absolute_text(data), {}};
  }
  if (!is_file(path)) return {{}, picked + " is not a file that can be read."};
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
    // The number the list keeps, as the user would look for it in the file's first columns.
    const auto* list = dynamic_cast<const T_zq_HITRAN*>(object.get());
    const std::string molecule = list ? zqTrim(list->MoleculeType) : std::string();
    result.Error = file + " holds no line of this gas that can be read (HITRAN records of 100 or 160 " +
                   "characters with molecule number " + (molecule.empty() ? "?" : molecule) + " of [" +
                   section + "]).";
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
