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
static const std::array<std::string, 4>& plot_types() {
  static const std::array<std::string, 4> t = {"Spectra", "Optical Depth", "Mean Path", "Outgoing Radiation"};
  return t;
}
static const std::array<std::string, 8>& spectra_types() {
  static const std::array<std::string, 8> t = {"raw",
                                               "I/Alpha",
                                               "Temperature and Pressure Broadened",
                                               "Temperature, Pressure, and Doppler Broadened",
                                               "Lorentz",
                                               "Doppler",
                                               "Voigt",
                                               "Continuum"};
  return t;
}
static const std::array<std::string, 2>& scalings() {
  static const std::array<std::string, 2> t = {"raw", "Mixing Ratio"};
  return t;
}
static const std::array<std::string, 2>& line_physics() {
  static const std::array<std::string, 2> t = {"Classic", "HITRAN"};
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
const std::string& LinePhysicsText(TLinePhysics physics) {
  return text_of(line_physics(), physics);
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
namespace {
// A user's word as compared: trimmed of blanks, in lower case (ASCII).
std::string folded(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
    text.remove_suffix(1);
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}
} // namespace

std::optional<TLinePhysics> ParseLinePhysics(std::string_view text) {
  const std::string wanted = folded(text);
  for (std::size_t i = 0; i < line_physics().size(); ++i)
    if (folded(line_physics()[i]) == wanted) return static_cast<TLinePhysics>(i);
  return std::nullopt;
}

const std::string& SpectraTypeCaption(TSpectraType type) {
  static const std::array<std::string, 8> t = {"Raw",     "Raw / Bandwidth", "Temp & Pressure", "Doppler",
                                               "Lorentz", "Doppler",         "Voigt",           "Continuum"};
  return text_of(t, type);
}

std::optional<TSpectraType> ParseSpectraName(std::string_view text, TLinePhysics physics) {
  std::string wanted = folded(text);
  for (std::size_t at = wanted.find("&&"); at != std::string::npos; at = wanted.find("&&", at))
    wanted.erase(at, 1);
  // The physics' own items first, so a shared caption names that physics' type.
  for (TSpectraType type : SpectraTypeItems(physics))
    if (folded(SpectraTypeCaption(type)) == wanted || folded(SpectraTypeText(type)) == wanted) return type;
  for (std::size_t i = 0; i < spectra_types().size(); ++i) {
    const auto type = static_cast<TSpectraType>(i);
    if (folded(SpectraTypeCaption(type)) == wanted || folded(spectra_types()[i]) == wanted) return type;
  }
  if (wanted == "pressure") return TSpectraType::PressureBroadened;
  return std::nullopt;
}

std::optional<TPlotType> PlotTypeOfIndex(int index) {
  return of_index<TPlotType>(plot_types(), index);
}
std::optional<TSpectraType> SpectraTypeOfIndex(int index) {
  return SpectraTypeOfIndex(TLinePhysics::Classic, index);
}
std::optional<TScaling> ScalingOfIndex(int index) {
  return of_index<TScaling>(scalings(), index);
}

namespace {
constexpr TSpectraType kClassicItems[] = {TSpectraType::Raw, TSpectraType::IOverAlpha,
                                          TSpectraType::PressureBroadened, TSpectraType::DopplerBroadened};
constexpr TSpectraType kHitranItems[] = {TSpectraType::Raw,     TSpectraType::IOverAlpha,
                                         TSpectraType::Lorentz, TSpectraType::Doppler,
                                         TSpectraType::Voigt,   TSpectraType::Continuum};
} // namespace

std::span<const TSpectraType> SpectraTypeItems(TLinePhysics physics) {
  if (physics == TLinePhysics::Hitran) return kHitranItems;
  return kClassicItems;
}

std::optional<TSpectraType> SpectraTypeOfIndex(TLinePhysics physics, int index) {
  const auto items = SpectraTypeItems(physics);
  if (index < 0 || index >= static_cast<int>(items.size())) return std::nullopt;
  return items[static_cast<std::size_t>(index)];
}

int SpectraTypeIndex(TLinePhysics physics, TSpectraType type) {
  const auto items = SpectraTypeItems(physics);
  for (std::size_t i = 0; i < items.size(); ++i)
    if (items[i] == type) return static_cast<int>(i);
  switch (type) {
  case TSpectraType::PressureBroadened:
  case TSpectraType::Lorentz:
  case TSpectraType::Voigt:
  case TSpectraType::Continuum: // a pressure effect, like the classic pressure broadening
    return 2;
  default:
    return 3;
  }
}

bool IsHitranProfile(TSpectraType type) {
  return type == TSpectraType::Lorentz || type == TSpectraType::Doppler || type == TSpectraType::Voigt;
}

bool PhysicsHasSpectraType(TLinePhysics physics, TSpectraType type) {
  const auto items = SpectraTypeItems(physics);
  for (TSpectraType t : items)
    if (t == type) return true;
  return false;
}

bool IsLinePlot(TLinePhysics physics, TPlotType plot, TSpectraType spectra) {
  if (physics == TLinePhysics::Classic) return IsLinePlot(plot, spectra);
  return plot == TPlotType::Spectra && (spectra == TSpectraType::Raw || spectra == TSpectraType::IOverAlpha);
}

bool IsLinePlot(TPlotType plot, TSpectraType spectra) {
  switch (plot) {
  case TPlotType::Spectra:
    return spectra == TSpectraType::Raw || spectra == TSpectraType::IOverAlpha;
  case TPlotType::MeanPath:
    return spectra == TSpectraType::Raw;
  case TPlotType::OpticalDepth:
  case TPlotType::OutgoingRadiation:
    return false;
  }
  return false;
}
