// The gases of the atmosphere column as a registry: one record per gas, and every per-gas quantity an
// array indexed by the gas. A new gas is a record here, its partition-sum table and its profile column.
#pragma once

#include <array>
#include <cstddef>
#include <span>

enum class TzqColumnGas { H2O = 0, CO2 = 1 };
inline constexpr int kColumnGases = 2;

struct TzqColumnGasInfo {
  TzqColumnGas Gas;
  const char* Name; // as the window and messages say it
  const char* Key;  // lower case: the profile column "<key>_ppmv", the INI section, the CLI's words
  int Molecule;     // HITRAN molecule number
  int Isotopologue; // HITRAN isotopologue number; 0: every isotopologue of the list
  double MolarMass; // g/mol, of the principal isotopologue
};

// Every gas of the column, in the order of TzqColumnGas.
std::span<const TzqColumnGasInfo> ColumnGases();
const TzqColumnGasInfo& ColumnGasInfo(TzqColumnGas gas);

// One value per gas.
template <class T> struct TzqPerGas {
  std::array<T, kColumnGases> Values{};
  T& operator[](TzqColumnGas gas) { return Values[static_cast<std::size_t>(gas)]; }
  const T& operator[](TzqColumnGas gas) const { return Values[static_cast<std::size_t>(gas)]; }
  bool operator==(const TzqPerGas&) const = default;
};
