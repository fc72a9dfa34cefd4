#include "zqColumnGases.h"

namespace {

// Molar masses: HITRAN's isotopologue table (H2(16)O 18.010565, (12)C(16)O2 43.989830 g/mol).
constexpr std::array<TzqColumnGasInfo, kColumnGases> kGases = {{
    {TzqColumnGas::H2O, "Water vapour", "h2o", 1, 0, 18.010565},
    {TzqColumnGas::CO2, "CO2", "co2", 2, 0, 43.989830},
}};

} // namespace

std::span<const TzqColumnGasInfo> ColumnGases() {
  return kGases;
}

const TzqColumnGasInfo& ColumnGasInfo(TzqColumnGas gas) {
  return kGases[static_cast<std::size_t>(gas)];
}
