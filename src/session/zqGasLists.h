// The line list of any gas of the column registry, read from a file the user or the INI store names:
// "[O3] Filename" and the like at start-up, File > Open line list for ..., the CLI's --o3-lines FILE.
// A file holding no record of the gas (another molecule or isotopologue) is refused by name, saying
// what it holds. Plain C++.
#pragma once

#include "zqDatafileLoader.h"
#include "zqSession.h"

#include <memory>
#include <string>
#include <vector>

class T_zq_HITRAN;
class TzqINI_File;

namespace zqsession {

// A new list of gas read from file: the gas's HITRAN molecule (isotopologue 1, the one a list keeps),
// with the parameters of the gas's INI section when ini holds it; or, with no list, why it cannot be
// used.
struct TGasListLoad {
  std::unique_ptr<T_zq_HITRAN> List;
  std::string Error;
};
TGasListLoad LoadGasList(TzqColumnGas gas, const std::string& file, TzqINI_File* ini = nullptr,
                         const TLoadProgress& progress = {});

// The lists of the gases beyond water and CO2 that the INI store names ("[O3] Filename" ...), each
// found as the start-up loader finds data files (as written, else beside the INI file). A gas whose
// section names no file has no list; one whose file is missing or unusable has an error under its section.
struct TConfiguredGasLists {
  TzqPerGas<std::unique_ptr<T_zq_HITRAN>> Lists;
  std::vector<TStatusItem> Errors;
};
TConfiguredGasLists LoadConfiguredGasLists(TzqINI_File& ini, const TLoadProgress& progress = {});

// True for the gases whose lists live beside Water and CO2 (TzqSession::GasLists): O3, N2O, CH4.
bool IsTraceGas(TzqColumnGas gas);

} // namespace zqsession
