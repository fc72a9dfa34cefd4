// The shipped H2O 161 and CO2 626 lists beside the project, read once for every benchmark case of a
// program; empty lists when the files are absent (the cases then skip with a message). Mutable: a
// session sets its conditions on the lists it is given.
#pragma once

#include "zqHITRAN.h"

#include <filesystem>
#include <memory>

namespace benchlists {

inline std::unique_ptr<T_zq_HITRAN> Load(const char* name, const char* code) {
  auto l = std::make_unique<T_zq_HITRAN>();
  l->MoleculeType = code;
  const auto file = std::filesystem::path(ABSORBVIEW_HITRAN_DIR) / name;
  if (std::filesystem::exists(file)) l->LoadFromFile(file.string());
  return l;
}

inline T_zq_HITRAN& Water() {
  static const auto list = Load("h2o_161_hitran.par", " 1");
  return *list;
}

inline T_zq_HITRAN& CO2() {
  static const auto list = Load("co2_626_hitran.par", " 2");
  return *list;
}

inline bool Present() {
  return !Water().Records.empty() && !CO2().Records.empty();
}

struct TLists {
  T_zq_HITRAN &h2o, &co2;
  bool ok; // both were read
};
inline TLists Lists() {
  return {Water(), CO2(), Present()};
}

} // namespace benchlists
