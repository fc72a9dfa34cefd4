#include "zqPlotModes.h"

#include <array>

namespace {

template <class E, std::size_t N>
const std::string& text_of(const std::array<std::string, N>& table, E value) {
  return table.at(static_cast<std::size_t>(value));
}

template <class E, std::size_t N>
std::optional<E> parse(const std::array<std::string, N>& table, std::string_view text) {
  for (std::size_t i = 0; i < N; ++i)
    if (table[i] == text) return static_cast<E>(i);
  return std::nullopt;
}

template <class E, std::size_t N> std::optional<E> of_index(const std::array<std::string, N>&, int index) {
  if (index < 0 || index >= static_cast<int>(N)) return std::nullopt;
  return static_cast<E>(index);
}

} // namespace

// In enum order; the line lists compare these texts exactly. Function statics, so a caller's own static
// initialisation may already use them.
static const std::array<std::string, 3>& plot_types() {
  static const std::array<std::string, 3> t = {"Spectra", "Optical Depth", "Mean Path"};
  return t;
}
static const std::array<std::string, 4>& spectra_types() {
  static const std::array<std::string, 4> t = {"raw", "I/Alpha", "Temperature and Pressure Broadened",
                                               "Temperature, Pressure, and Doppler Broadened"};
  return t;
}
static const std::array<std::string, 2>& scalings() {
  static const std::array<std::string, 2> t = {"raw", "Mixing Ratio"};
  return t;
}

const std::string& PlotTypeText(TPlotType type) {
  return text_of(plot_types(), type);
}
const std::string& SpectraTypeText(TSpectraType type) {
  return text_of(spectra_types(), type);
}
const std::string& ScalingText(TScaling scaling) {
  return text_of(scalings(), scaling);
}

std::optional<TPlotType> ParsePlotType(std::string_view text) {
  return parse<TPlotType>(plot_types(), text);
}
std::optional<TSpectraType> ParseSpectraType(std::string_view text) {
  return parse<TSpectraType>(spectra_types(), text);
}
std::optional<TScaling> ParseScaling(std::string_view text) {
  return parse<TScaling>(scalings(), text);
}

std::optional<TPlotType> PlotTypeOfIndex(int index) {
  return of_index<TPlotType>(plot_types(), index);
}
std::optional<TSpectraType> SpectraTypeOfIndex(int index) {
  return of_index<TSpectraType>(spectra_types(), index);
}
std::optional<TScaling> ScalingOfIndex(int index) {
  return of_index<TScaling>(scalings(), index);
}

bool IsLinePlot(TPlotType plot, TSpectraType spectra) {
  switch (plot) {
  case TPlotType::Spectra:
    return spectra == TSpectraType::Raw || spectra == TSpectraType::IOverAlpha;
  case TPlotType::MeanPath:
    return spectra == TSpectraType::Raw;
  case TPlotType::OpticalDepth:
    return false;
  }
  return false;
}
