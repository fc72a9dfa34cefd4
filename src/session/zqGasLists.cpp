#include "zqGasLists.h"

#include "zqHITRAN.h"
#include "zqINI_File.h"

#include <cstdio>
#include <exception>

namespace zqsession {

namespace {

// HITRAN's molecule field: the number right-aligned in two columns.
std::string molecule_field(int molecule) {
  char text[8];
  std::snprintf(text, sizeof text, "%2d", molecule);
  return text;
}

bool has_section(const TzqINI_File& ini, const std::string& section) {
  try {
    return ini.HasSection(section);
  } catch (const std::exception&) {
    return false;
  }
}

} // namespace

bool IsTraceGas(TzqColumnGas gas) {
  return gas != TzqColumnGas::H2O && gas != TzqColumnGas::CO2;
}

TGasListLoad LoadGasList(TzqColumnGas gas, const std::string& file, TzqINI_File* ini,
                         const TLoadProgress& progress) {
  const TzqColumnGasInfo& info = ColumnGasInfo(gas);
  const std::string section = SectionOf(gas);
  TGasListLoad result;
  auto list = std::make_unique<T_zq_HITRAN>();
  if (ini && has_section(*ini, section)) list->ReadParameters(*ini, section);
  // The registry decides the molecule, so a section that says otherwise cannot mislabel the list.
  list->MoleculeType = molecule_field(info.Molecule);
  if (progress)
    list->OnReadProgress = [&](uint64_t read, uint64_t total) { progress(section, file, read, total); };
  try {
    list->LoadFromFile(file);
  } catch (const std::exception& e) {
    result.Error = file + " could not be read as the " + info.Name + " line list: " + e.what();
    return result;
  }
  list->OnReadProgress = nullptr;
  if (list->Records.empty()) {
    const std::string held = list->ReadNote();
    result.Error = file + " holds no " + info.Name + " line (HITRAN molecule " +
                   std::to_string(info.Molecule) + ", isotopologue 1)" +
                   (held.empty() ? ": it holds no HITRAN record" : ". " + held);
    return result;
  }
  result.List = std::move(list);
  return result;
}

TConfiguredGasLists LoadConfiguredGasLists(TzqINI_File& ini, const TLoadProgress& progress) {
  TConfiguredGasLists out;
  for (const TzqColumnGasInfo& gas : ColumnGases()) {
    if (!IsTraceGas(gas.Gas)) continue;
    const std::string section = SectionOf(gas.Gas);
    const T_zq_ini_Record* record = ini.FindRecord(section, "Filename");
    if (!record || zqTrim(record->Value).empty()) continue;
    const std::string written = record->Value;
    const std::string file = FindDataFileOnDisk(written, ini.Directory());
    if (file.empty()) {
      out.Errors.push_back({section, FileNotFoundText(section, written)});
      continue;
    }
    TGasListLoad load = LoadGasList(gas.Gas, file, &ini, progress);
    if (load.List)
      out.Lists[gas.Gas] = std::move(load.List);
    else
      out.Errors.push_back({section, load.Error});
  }
  return out;
}

} // namespace zqsession
