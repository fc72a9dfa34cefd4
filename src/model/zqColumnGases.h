// The gases of the atmosphere column as a registry: one record per gas, and every per-gas quantity an
// array indexed by the gas. A new gas is a record here, its partition-sum table and its profile column.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

enum class TzqColumnGas { H2O = 0, CO2 = 1, O3 = 2, N2O = 3, CH4 = 4 };
inline constexpr int kColumnGases = 5;

struct TzqColumnGasInfo {
  TzqColumnGas Gas;
  const char* Name; // as the window and messages say it
  const char* Key;  // lower case: the profile column "<key>_ppmv", the INI section, the CLI's words
  int Molecule;     // HITRAN molecule number
  int Isotopologue; // HITRAN isotopologue number; 0: every isotopologue of the list
  double MolarMass; // g/mol, of the principal isotopologue
  const char* Section; // INI section of its line list ("[O3] Filename")
};

// Every gas of the column, in the order of TzqColumnGas.
std::span<const TzqColumnGasInfo> ColumnGases();
const TzqColumnGasInfo& ColumnGasInfo(TzqColumnGas gas);
// The gas whose Key or Name is name (letter case ignored), or none.
std::optional<TzqColumnGas> ColumnGasNamed(std::string_view name);

// One value per gas.
template <class T> struct TzqPerGas {
  std::array<T, kColumnGases> Values{};
  T& operator[](TzqColumnGas gas) { return Values[static_cast<std::size_t>(gas)]; }
  const T& operator[](TzqColumnGas gas) const { return Values[static_cast<std::size_t>(gas)]; }
  bool operator==(const TzqPerGas&) const = default;
  // Every gas at value (a state's unit multiples, say).
  static constexpr TzqPerGas Filled(T value) {
    TzqPerGas out;
    out.Values.fill(value);
    return out;
  }
};
