#include "zqColumnGases.h"

#include "zqTextCompare.h"

namespace {

// Molar masses: HITRAN's isotopologue table (H2(16)O 18.010565, (12)C(16)O2 43.989830, (16)O3
// 47.984745, (14)N2(16)O 44.001062, (12)CH4 16.031300 g/mol; src/model/data/tips/README.md). The lists
// of water and CO2 keep their first isotopologue as they always did (0 here: the list decides); the
// newer gases name it, so a list of another isotopologue is refused by name.
constexpr std::array<TzqColumnGasInfo, kColumnGases> kGases = {{
    {TzqColumnGas::H2O, "Water vapour", "h2o", 1, 0, 18.010565, "h2o"},
    {TzqColumnGas::CO2, "CO2", "co2", 2, 0, 43.989830, "CO2"},
    {TzqColumnGas::O3, "O3", "o3", 3, 1, 47.984745, "O3"},
    {TzqColumnGas::N2O, "N2O", "n2o", 4, 1, 44.001062, "N2O"},
    {TzqColumnGas::CH4, "CH4", "ch4", 6, 1, 16.031300, "CH4"},
}};


} // namespace

std::span<const TzqColumnGasInfo> ColumnGases() {
  return kGases;
}

const TzqColumnGasInfo& ColumnGasInfo(TzqColumnGas gas) {
  return kGases[static_cast<std::size_t>(gas)];
}

std::optional<TzqColumnGas> ColumnGasNamed(std::string_view name) {
  for (const TzqColumnGasInfo& gas : kGases)
    if (zqSameText(name, gas.Key) || zqSameText(name, gas.Name)) return gas.Gas;
  return std::nullopt;
}
