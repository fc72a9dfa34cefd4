#include "zqDatafileLoader.h"

#include "zqINI_File.h"
#include "zqPlatform.h"
#include "zqTextCompare.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <limits>

namespace {

bool section_exists(const TzqINI_File& ini, const std::string& name) {
  try {
    return ini.HasSection(name);
  } catch (const std::exception&) {
    // Any failure while checking counts as an absent section.
    return false;
  }
}

// n of a key "File n" or "Filen" written as the loader looks it up (no sign, no leading zero), else 0.
int32_t file_key_number(const std::string& key) {
  if (key.size() < 5 || !zqSameText(key.substr(0, 4), "File")) return 0;
  const std::string digits = key.substr(key[4] == ' ' ? 5 : 4);
  if (digits.empty() || digits.size() > 10 || digits[0] == '0') return 0;
  int64_t n = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return 0;
    n = n * 10 + (c - '0');
  }
  return n <= std::numeric_limits<int32_t>::max() ? static_cast<int32_t>(n) : 0;
}

// The entry numbers 1..count to visit, ascending: those with a "File n" or "Filen" key, and 1 (whose
// name defaults to "DataFile"). Walking only these keeps a huge NumberOfFiles from looping over numbers
// that name nothing.
std::vector<int32_t> listed_file_numbers(TzqINI_File& ini, int32_t count) {
  std::vector<std::string> keys;
  ini.GetKeyNames("Application", keys);
  std::vector<int32_t> numbers{1};
  for (const std::string& key : keys)
    if (int32_t n = file_key_number(key); n > 1 && n <= count) numbers.push_back(n);
  std::sort(numbers.begin(), numbers.end());
  numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
  return numbers;
}

// The section named by entry n, looked up without adding keys: "File n" wins over "Filen"; entry 1
// defaults to "DataFile".
std::string listed_file_name(const TzqINI_File& ini, int32_t n) {
  const std::string number = std::to_string(n);
  if (const T_zq_ini_Record* r = ini.FindRecord("Application", "File " + number)) return r->Value;
  if (const T_zq_ini_Record* r = ini.FindRecord("Application", "File" + number)) return r->Value;
  return n == 1 ? "DataFile" : std::string();
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
    const std::string note = MissingLinkTargetNote(written, ini.Directory());
    zq::platform().MessageBox("File not found",
                              FileNotFoundText(name, written) + (note.empty() ? "" : "\n\n" + note), zq::mbOK,
                              zq::MsgIcon::None);
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

std::string MissingLinkTargetNote(const std::string& written, const std::string& iniDirectory) {
  if (written.empty() || !FindDataFileOnDisk(written, iniDirectory).empty()) return {};
  std::string dir = iniDirectory;
  if (!dir.empty() && dir.back() != '/') dir += '/';
  for (const std::string& place : {written, dir + written}) {
    std::error_code ec;
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(place, ec))) continue;
    const std::string target = std::filesystem::read_symlink(place, ec).string();
    return place + " is a link to " + (ec ? std::string("a file") : target) + ", which does not exist";
  }
  return {};
}

std::string FileNotFoundText(const std::string& section, const std::string& filename) {
  return "The data file specified in the ini file via\n\n   [" + section + "]\n   filename = " + filename +
         "\n\nCould not be found ";
}

void LoadDatafiles(TzqINI_File& ini, TLoadedDatafiles& list, const TLoadProgress& progress) {
  list.clear();
  const int32_t count = ini.ReadInteger("Application", "NumberOfFiles", 1);
  if (count < 1) return;
  for (int32_t i : listed_file_numbers(ini, count)) {
    const std::string name = listed_file_name(ini, i);
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
