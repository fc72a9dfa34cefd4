#include "zqDatafileLoader.h"

#include "zqINI_File.h"
#include "zqPlatform.h"
#include "zqTextCompare.h"

#include <algorithm>
#include <exception>
#include <filesystem>

namespace {

bool section_exists(TzqINI_File& ini, const std::string& name) {
  try {
    std::vector<std::string> names;
    ini.GetSectionNames(names);
    for (const auto& s : names)
      if (zqSameText(s, name)) return true;
  } catch (const std::exception&) {
    // Any failure while checking counts as an absent section.
  }
  return false;
}

// The highest n of a "File n" or "Filen" key in [Application] (0 when there is none). Entries beyond it
// are empty, so a mistyped NumberOfFiles (2000000000) does not run billions of look-ups that each add an
// empty key to the store.
int last_listed_file(TzqINI_File& ini) {
  std::vector<std::string> keys;
  ini.GetKeyNames("Application", keys);
  int last = 0;
  for (const std::string& key : keys) {
    if (key.size() < 5 || !zqSameText(key.substr(0, 4), "File")) continue;
    std::size_t i = key[4] == ' ' ? 5 : 4;
    if (i >= key.size() || key.size() - i > 9) continue;
    int n = 0;
    for (; i < key.size() && key[i] >= '0' && key[i] <= '9'; ++i)
      n = n * 10 + (key[i] - '0');
    if (i == key.size() && n > last) last = n;
  }
  return last;
}

bool file_exists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

void load_file(TzqINI_File& ini, const std::string& name, TzqDatafile& object,
               const TLoadProgress& progress) {
  std::string written = ini.ReadString(name, "Filename");
  if (written.empty()) return; // generated series have no file
  const std::string file = FindDataFileOnDisk(written, ini.Directory());
  if (file.empty()) {
    zq::platform().MessageBox("File not found", FileNotFoundText(name, written), zq::mbOK, zq::MsgIcon::None);
    return;
  }
  // The object hears progress only while this load runs.
  struct ProgressScope {
    TzqDatafile& object;
    ~ProgressScope() { object.OnReadProgress = nullptr; }
  } scope{object};
  if (progress)
    object.OnReadProgress = [&](uint64_t read, uint64_t total) { progress(name, file, read, total); };
  try {
    object.LoadFromFile(file);
  } catch (const std::exception& e) {
    // The lines read before the bad one stay; the user must know the list is incomplete.
    zq::platform().MessageBox("Data file error",
                              "The data file\n\n   [" + name + "]\n   filename = " + written +
                                  "\n\ncould not be read completely:\n\n" + e.what(),
                              zq::mbOK, zq::MsgIcon::Error);
  }
}

} // namespace

std::string FindDataFileOnDisk(const std::string& written, const std::string& iniDirectory) {
  if (written.empty()) return {};
  if (file_exists(written)) return written;
  std::string dir = iniDirectory;
  if (!dir.empty() && dir.back() != '/') dir += '/';
  const std::string beside = dir + written;
  return file_exists(beside) ? beside : std::string();
}

std::string FileNotFoundText(const std::string& section, const std::string& filename) {
  return "The data file specified in the ini file via\n\n   [" + section + "]\n   filename = " + filename +
         "\n\nCould not be found ";
}

void LoadDatafiles(TzqINI_File& ini, TLoadedDatafiles& list, const TLoadProgress& progress) {
  list.clear();
  int n = ini.ReadInteger("Application", "NumberOfFiles", 1);
  if (n > 1) n = std::min(n, std::max(1, last_listed_file(ini)));
  for (int i = 1; i <= n; ++i) {
    std::string name = ini.ReadString("Application", "File" + std::to_string(i), i == 1 ? "DataFile" : "");
    name = ini.ReadString("Application", "File " + std::to_string(i), name);
    if (name.empty() || !section_exists(ini, name)) continue;
    std::string type = ini.ReadString(name, "FileType", "Generic");
    std::unique_ptr<TzqDatafile> object = DatafileTypes().CreateByType(type);
    if (!object) continue;
    object->ReadParameters(ini, name);
    TzqDatafile& ref = *object;
    list.push_back({name, std::move(object)});
    load_file(ini, name, ref, progress);
  }
}

TzqDatafile* FindDatafile(const TLoadedDatafiles& list, const std::string& name) {
  for (const auto& entry : list)
    if (zqSameText(entry.Name, name)) return entry.Object.get();
  return nullptr;
}
