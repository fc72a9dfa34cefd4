// The plot modes a line list can fill its series for, as typed values, and the one table of the texts
// that name them in the line lists' fields, the INI file and the command line. Texts are parsed once at
// those edges; everything inside passes the enums.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

// Values equal the item indices of the window's radio groups (for the spectra types: of the classic
// group; the HITRAN group's items are SpectraTypeItems(TLinePhysics::Hitran)).
// OutgoingRadiation is the atmosphere column's top-of-atmosphere spectrum: the window draws it from
// the column, never from one line list.
enum class TPlotType { Spectra = 0, OpticalDepth = 1, MeanPath = 2, OutgoingRadiation = 3 };
// Lorentz, Doppler and Voigt are the line profiles of the HITRAN line physics; the classic model has
// its own two broadened types. The raw-line types belong to both. Continuum is the HITRAN physics' water
// vapour continuum (MT_CKD) alone, no line profile.
enum class TSpectraType {
  Raw = 0,
  IOverAlpha = 1,
  PressureBroadened = 2,
  DopplerBroadened = 3,
  Lorentz = 4,
  Doppler = 5,
  Voigt = 6,
  Continuum = 7
};
enum class TScaling { Raw = 0, MixingRatio = 1 };
// The line physics: the classic teaching model (default) or HITRAN's own formulas.
enum class TLinePhysics { Classic = 0, Hitran = 1 };

// "Spectra", "Optical Depth", "Mean Path", "Outgoing Radiation"
const std::string& PlotTypeText(TPlotType type);
// "raw", "I/Alpha", "Temperature and Pressure Broadened", "Temperature, Pressure, and Doppler Broadened",
// "Lorentz", "Doppler", "Voigt", "Continuum"
const std::string& SpectraTypeText(TSpectraType type);
// "raw", "Mixing Ratio"
const std::string& ScalingText(TScaling scaling);
// "Classic", "HITRAN"
const std::string& LinePhysicsText(TLinePhysics physics);

// The value a text names (compared exactly), or empty for any other text.
std::optional<TPlotType> ParsePlotType(std::string_view text);
std::optional<TSpectraType> ParseSpectraType(std::string_view text);
std::optional<TScaling> ParseScaling(std::string_view text);
// Compared without letter case and surrounding blanks (an INI value or a command-line word).
std::optional<TLinePhysics> ParseLinePhysics(std::string_view text);

// The name a spectra type's radio item shows ("Raw", "Raw / Bandwidth", "Temp & Pressure", "Doppler",
// "Lorentz", "Voigt", "Continuum"; the classic and the HITRAN Doppler types share "Doppler").
const std::string& SpectraTypeCaption(TSpectraType type);
// A spectra type named the way a user may: its table text, its radio caption ("Temp && Pressure" too) or
// the command line's short names "pressure", "doppler", "lorentz", "voigt"; without letter case and
// surrounding blanks. The names the two physics share ("Doppler") give that physics' own type.
std::optional<TSpectraType> ParseSpectraName(std::string_view text, TLinePhysics physics);

// The value of a radio item index, or empty outside the group (the spectra types: the classic group).
std::optional<TPlotType> PlotTypeOfIndex(int index);
std::optional<TSpectraType> SpectraTypeOfIndex(int index);
std::optional<TScaling> ScalingOfIndex(int index);

// The Spectra Type group's items under a line physics, in item order: the raw-line types, then the
// physics' own broadened types.
std::span<const TSpectraType> SpectraTypeItems(TLinePhysics physics);
std::optional<TSpectraType> SpectraTypeOfIndex(TLinePhysics physics, int index);
// The item of a type in the group of a physics; a broadened type of the other physics gives the item
// at its own position (Lorentz <-> pressure broadened, Doppler <-> Doppler broadened, Voigt -> pressure
// broadened), so switching the physics keeps the choice as close as the other group allows.
int SpectraTypeIndex(TLinePhysics physics, TSpectraType type);
// Whether a spectra type is one of the HITRAN line profiles (Continuum is none), and whether a physics
// computes it.
bool IsHitranProfile(TSpectraType type);
bool PhysicsHasSpectraType(TLinePhysics physics, TSpectraType type);

// Whether a plot has one point per line (raw lines, I/alpha, line mean paths) rather than one per grid
// point: a plot of lines is written one row per line and gas, a grid plot one row per wavenumber.
bool IsLinePlot(TPlotType plot, TSpectraType spectra);
// The same under a line physics: in the HITRAN physics every path plot comes from the cross-section
// (a raw-line type there means the Voigt profile), so only the raw Spectra plots have points per line.
bool IsLinePlot(TLinePhysics physics, TPlotType plot, TSpectraType spectra);
