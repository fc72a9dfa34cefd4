// The subcommands of absorbview-cli. spectrum and power fill the same computation session the main
// window fills (same INI store, same loader, same pipeline) and write its series or Power table as CSV,
// so a script sees the numbers the chart shows; refusals end the run, notes go to stderr.
#include "zqCli.h"

#include "zqAtmosphere.h"
#include "zqAtmosphereTable.h"
#include "zqBlackbody.h"
#include "zqCliOptions.h"
#include "zqContinuumUse.h"
#include "zqDatafileLoader.h"
#include "zqGasLists.h"
#include "zqHITRAN.h"
#include "zqINI_Default.h"
#include "zqINI_File.h"
#include "zqLineSeries.h"
#include "zqPhysicalControls.h"
#include "zqPlatform.h"
#include "zqRegisterTypes.h"
#include "zqSeriesTable.h"
#include "zqSession.h"

#include <algorithm>
#include <iterator>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <mutex>
#include <sstream>
#include <thread>

using zqcli::CliError;
using zqcli::CommandSpec;
using zqcli::OptionSpec;
using zqcli::ParsedOptions;

namespace {

// ---- platform: the core's message boxes become lines on stderr; nothing waits for a user.

class ConsolePlatform : public zq::Platform {
public:
  explicit ConsolePlatform(std::vector<std::string> args) : args_(std::move(args)) {}
  std::vector<std::pair<std::string, std::string>> messages;

  zq::ModalResult MessageBox(const std::string& caption, const std::string& text, unsigned buttons,
                             zq::MsgIcon) override {
    messages.emplace_back(caption, text);
    if (buttons & zq::mbOK) return zq::ModalResult::OK;
    if (buttons & zq::mbYes) return zq::ModalResult::Yes;
    return zq::ModalResult::Cancel;
  }
  std::optional<std::string> OpenFileDialog(const zq::FileDialogRequest&) override { return std::nullopt; }
  std::optional<std::string> SaveFileDialog(const zq::FileDialogRequest&) override { return std::nullopt; }
  std::optional<uint32_t> ChooseColor(uint32_t) override { return std::nullopt; }
  std::optional<zq::FontChoice> ChooseFont(const zq::FontChoice&) override { return std::nullopt; }
  void SetCursor(zq::CursorKind) override {}
  void Beep() override {}
  void Terminate() override { throw CliError(zqCliUsage, "the INI command line was refused"); }
  std::string ExecutablePath() override {
    std::error_code ec;
    auto path = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : path.string();
  }
  std::vector<std::string> Arguments() override { return args_; }

private:
  std::vector<std::string> args_;
};

class PlatformScope {
public:
  explicit PlatformScope(zq::Platform* p) : previous_(zq::InstallPlatform(p)) {}
  ~PlatformScope() { zq::InstallPlatform(previous_); }
  PlatformScope(const PlatformScope&) = delete;
  PlatformScope& operator=(const PlatformScope&) = delete;

private:
  zq::Platform* previous_;
};

// A message box text as one line: line breaks and runs of blanks become one blank.
std::string one_line(const std::string& text) {
  std::string out;
  for (char c : text) {
    const bool blank = c == '\n' || c == '\r' || c == ' ' || c == '\t';
    if (!blank)
      out += c;
    else if (!out.empty() && out.back() != ' ')
      out += ' ';
  }
  while (!out.empty() && out.back() == ' ')
    out.pop_back();
  return out;
}

// ---- progress: a stage still running after a second says so on stderr, and how long it took.

class Progress {
public:
  Progress(std::ostream& err, bool quiet) : err_(err), quiet_(quiet) {}

  void Timed(const std::string& what, const std::function<void()>& work) {
    if (quiet_) {
      work();
      return;
    }
    const auto start = std::chrono::steady_clock::now();
    bool done = false, announced = false;
    std::mutex m;
    std::condition_variable cv;
    // The watcher writes only while the stage runs; the stage itself writes nothing to err.
    std::thread watcher([&] {
      std::unique_lock lock(m);
      if (!cv.wait_for(lock, std::chrono::seconds(1), [&] { return done; })) {
        err_ << "absorbview-cli: " << what << "..." << std::endl;
        announced = true;
      }
    });
    auto finish = [&] {
      {
        std::lock_guard lock(m);
        done = true;
      }
      cv.notify_one();
      watcher.join();
    };
    try {
      work();
    } catch (...) {
      finish();
      throw;
    }
    finish();
    if (announced) {
      const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      char text[64];
      std::snprintf(text, sizeof text, "%.1f", seconds);
      err_ << "absorbview-cli: " << what << " done in " << text << " s" << std::endl;
    }
  }

private:
  std::ostream& err_;
  bool quiet_;
};

// ---- configuration and data

// The INI store of a run and the data files it names.
struct Configuration {
  std::unique_ptr<TzqINI_File> ini;
  TLoadedDatafiles files;
};

// The window's INI file: "absorbview.ini" beside the executable unless --ini names another.
std::unique_ptr<TzqINI_File> open_ini(const ParsedOptions& options) {
  auto ini = std::make_unique<TzqINI_File>();
  ini->AutoOpenDialog = false;
  ini->SetMakeBackup(false);
  ini->INI_Default = INI_DefaultLines();
  ini->OpenOnLoad = true;
  if (options.Has("ini")) {
    const std::string path = options.Text("ini", "");
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
      throw CliError(zqCliInputFile, "INI file not found: " + std::filesystem::absolute(path, ec).string());
  } else {
    ini->SetFilename("absorbview.ini");
  }
  ini->Loaded();
  return ini;
}

T_zq_HITRAN& line_list(Configuration& s, const std::string& name) {
  auto* list = dynamic_cast<T_zq_HITRAN*>(FindDatafile(s.files, name));
  if (!list)
    throw CliError(zqCliInputFile, "the INI file has no line list [" + name + "] of type \"HITRAN 100\"");
  return *list;
}

void register_types_once() {
  static std::once_flag once;
  std::call_once(once, [] { RegisterDatafileTypes(); });
}

// Loads the configured data files; a missing or unreadable file ends the run with its message.
// The --<gas>-lines option of each gas: "--h2o-lines", "--co2-lines", "--o3-lines", ...
std::string lines_option(const TzqColumnGasInfo& gas) {
  return std::string(gas.Key) + "-lines";
}

// A message of the start-up loader about a section the command line names another file for.
bool overridden(const ParsedOptions& o, const std::string& message) {
  for (const TzqColumnGasInfo& gas : ColumnGases())
    if (o.Has(lines_option(gas)) &&
        zqUpperCase(message).find("[" + zqUpperCase(zqsession::SectionOf(gas.Gas)) + "]") !=
            std::string::npos)
      return true;
  return false;
}

void load_line_lists(Configuration& s, const ParsedOptions& o, ConsolePlatform& platform,
                     Progress& progress) {
  register_types_once();
  progress.Timed("reading the line lists", [&] { LoadDatafiles(*s.ini, s.files); });
  std::erase_if(platform.messages, [&](const auto& m) { return overridden(o, m.second); });
  if (!platform.messages.empty()) {
    std::string text;
    for (const auto& [caption, message] : platform.messages)
      text += (text.empty() ? "" : "; ") + caption + ": " + one_line(message);
    std::string dir = s.ini->Directory().empty() ? std::string(".") : s.ini->Directory();
    throw CliError(zqCliInputFile, text + " (looked in the current folder " +
                                       std::filesystem::current_path().string() + " and in " + dir + ")");
  }
}

// ---- the session's controls from the command line

// The first refusal ends the run (exit 1, nothing written); every note goes to err, as the window would
// show it.
void report(const zqsession::TzqStatus& status, std::ostream& err) {
  if (status.Refused()) {
    const zqsession::TStatusItem& r = status.Refusals.front();
    throw CliError(zqCliFailed, (r.Source.empty() ? "" : "[" + r.Source + "] ") + r.Text);
  }
  for (const zqsession::TStatusItem& n : status.Notes)
    err << "absorbview-cli: note: " << (n.Source.empty() ? "" : "[" + n.Source + "] ") << n.Text << "\n";
}

zqsession::TControls read_controls(const ParsedOptions& o, TzqINI_File& ini) {
  zqsession::TControls c;
  c.WavenumberMin = o.Number("min", 0);
  c.WavenumberMax = o.Number("max", 5000);
  if (c.WavenumberMax - c.WavenumberMin < 50)
    throw CliError(zqCliUsage, "the wavenumber range must be at least 50 cm-1 wide (--min " +
                                   o.Text("min", "0") + " --max " + o.Text("max", "5000") + ")");
  c.Temperature = o.Number("temperature", 288);
  c.Pressure = o.Number("pressure", 1013);
  if (o.Has("co2")) {
    c.CO2 = o.Number("co2", 350);
  } else {
    const zqsession::TCO2Default co2 = zqsession::ReadCO2Default(ini);
    if (co2.Refusal) throw CliError(zqCliInputFile, co2.Refusal->Text);
    c.CO2 = co2.Value;
  }
  c.Water = o.Number("h2o", 10000);
  if (o.Has("physics")) {
    c.Physics = *ParseLinePhysics(o.Text("physics", "classic"));
  } else {
    const zqsession::TPhysicsDefault physics = zqsession::ReadPhysicsDefault(ini);
    if (physics.Refusal) throw CliError(zqCliInputFile, physics.Refusal->Text);
    c.Physics = physics.Value;
  }
  c.LineWidthLimit = o.Number("line-width-limit", 200);
  c.Gas = *ColumnGasNamed(o.Text("gas", "co2"));
  if (o.Has("gas-ppm")) {
    if (!zqsession::IsTraceGas(c.Gas)) throw CliError(zqCliUsage, "--gas-ppm is for --gas o3, n2o or ch4");
    c.GasPpm[c.Gas] = o.Number("gas-ppm", 0);
  }
  const auto pathType = o.Text("path-type", "thickness") == "free" ? zqsession::TPathType::MeanFreePath
                                                                   : zqsession::TPathType::OpticalThickness;
  c.PathFactor = zqsession::PathFromMultiplier(pathType, o.Number("path-multiplier", 1)).PathFactor;
  c.MaxPath = o.Number("max-path", 1000);
  c.MinPath = o.Number("min-path", 0);
  if (c.MinPath > c.MaxPath) throw CliError(zqCliUsage, "--min-path must not exceed --max-path");
  return c;
}

// ---- output

// Twelve significant digits: a rounding of at most 5e-13 relative, far below what a comparison with a
// reference spectrum (1e-7) or the classic model's own digits need.
std::string number(double v) {
  return TableNumber(v);
}

// Writes text to a file through a new file beside it that replaces it complete.
void write_file(const std::string& path, const std::string& text) {
  try {
    zqReplaceFileBytes(path, text);
  } catch (const EzqFileError& e) {
    throw CliError(zqCliFailed, e.what());
  }
}

// Results go to stdout, or to --output through a new file beside it that replaces it complete, so a
// failed run never leaves a truncated file where a good one was and no planted link is written through.
void emit(const ParsedOptions& o, std::ostream& out, const std::string& text) {
  if (!o.Has("output")) {
    out << text;
    out.flush();
    if (!out) throw CliError(zqCliFailed, "cannot write the results to the standard output");
    return;
  }
  write_file(o.Text("output", ""), text);
}

// ---- subcommands

// Lowest blackbody temperature the tool computes (K).
constexpr double kBlackbodyMinimumK = 0.1;

OptionSpec num(const std::string& name, double min, double max, const std::string& def,
               const std::string& help) {
  OptionSpec o;
  o.name = name;
  o.kind = OptionSpec::Number;
  o.min = min;
  o.max = max;
  o.defaultText = def;
  o.help = help;
  return o;
}

OptionSpec choice(const std::string& name, std::vector<std::string> choices, const std::string& def,
                  const std::string& help) {
  OptionSpec o;
  o.name = name;
  o.kind = OptionSpec::Choice;
  o.choices = std::move(choices);
  o.defaultText = def;
  o.help = help;
  return o;
}

OptionSpec text(const std::string& name, const std::string& help, const std::string& def = {}) {
  OptionSpec o;
  o.name = name;
  o.kind = OptionSpec::Text;
  o.help = help;
  o.defaultText = def;
  return o;
}

OptionSpec flag(const std::string& name, const std::string& help) {
  OptionSpec o;
  o.name = name;
  o.kind = OptionSpec::Flag;
  o.help = help;
  return o;
}

// --h2o-lines FILE ... --ch4-lines FILE: a gas's line list instead of the INI file's.
void add_lines_options(std::vector<OptionSpec>& v) {
  for (const TzqColumnGasInfo& gas : ColumnGases())
    v.push_back(text(lines_option(gas), std::string("line list of ") + gas.Name + " (HITRAN molecule " +
                                            std::to_string(gas.Molecule) + " records), instead of [" +
                                            gas.Section + "] Filename of the INI file"));
}

OptionSpec continuum_option(const std::string& use) {
  return text("continuum",
              std::string("AER's MT_CKD water-vapour continuum file (") + zqsession::kContinuumFileName +
                  "), added to " + use + "; \"off\" for none",
              "[Continuum] File of the INI file, else " + std::string(zqsession::kContinuumFileName) +
                  " beside the water line list");
}

std::vector<OptionSpec> gas_options(bool withPlot) {
  std::vector<OptionSpec> v;
  v.push_back(text("ini", "INI file (also /ini FILE)", "absorbview.ini beside the program"));
  v.push_back(text("output", "write the CSV to this file instead of the standard output"));
  v.push_back(flag("quiet", "no progress messages"));
  if (withPlot) {
    v.push_back(choice("plot",
                       {PlotTypeText(TPlotType::Spectra), PlotTypeText(TPlotType::OpticalDepth),
                        PlotTypeText(TPlotType::MeanPath)},
                       "\"Spectra\"", "plot type"));
    v.push_back(choice("spectra",
                       {SpectraTypeText(TSpectraType::Raw), SpectraTypeText(TSpectraType::IOverAlpha),
                        SpectraTypeText(TSpectraType::PressureBroadened),
                        SpectraTypeText(TSpectraType::DopplerBroadened), "pressure", "doppler", "lorentz",
                        "voigt", "continuum"},
                       "\"raw\"",
                       "spectra type: raw types, and classic \"pressure\", \"doppler\" or, with --physics "
                       "hitran, the profiles \"lorentz\", \"doppler\", \"voigt\" and \"continuum\" (water's "
                       "continuum alone, x 1e20)"));
    v.push_back(choice("scaling", {ScalingText(TScaling::Raw), ScalingText(TScaling::MixingRatio)}, "\"raw\"",
                       "scaling of the Spectra plots"));
  } else {
    v.push_back(choice("spectra", {"pressure", "doppler", "lorentz", "voigt"},
                       "\"pressure\" (classic), \"voigt\" (hitran)",
                       "broadening of the spectra: classic \"pressure\", \"doppler\"; hitran \"lorentz\", "
                       "\"doppler\", \"voigt\""));
  }
  v.push_back(choice("physics", {"classic", "hitran"}, "Model of [Line Physics] in the INI file, classic",
                     "line physics: the classic teaching model, or HITRAN's intensities, widths, shifts and "
                     "profiles (values then sigma in cm2/molecule x 1e20)"));
  v.push_back(num("min", 0, 1e6, "0", "lower end of the wavenumber range, cm-1"));
  v.push_back(
      num("max", 0, 1e6, "5000", "upper end of the wavenumber range, cm-1 (at least 50 above --min)"));
  v.push_back(num("temperature", 1, 200000, "288", "gas temperature, K"));
  v.push_back(num("pressure", 1e-6, 1e6, "1013", "gas pressure, mb"));
  v.push_back(num("co2", 0, 1e6, "ppmv of [CO2] in the INI file, 350", "CO2 mixing ratio, ppm"));
  v.push_back(num("h2o", 0, 1e6, "10000", "water vapour mixing ratio, ppm"));
  v.push_back(num("path-multiplier", 0.1, 100, "1", "path multiplier m"));
  v.push_back(choice("path-type", {"thickness", "free"}, "\"thickness\"",
                     "optical thickness (1/e, factor m) or mean free path (1/2, factor m ln 2)"));
  v.push_back(num("line-width-limit", 1, 100000, "200", "half widths a pressure-broadened line reaches"));
  v.push_back(choice("gas", {"co2", "o3", "n2o", "ch4"}, "co2",
                     "gas of the second series beside water (O3, N2O, CH4: HITRAN physics, with its list)"));
  v.push_back(
      num("gas-ppm", 0, 1e6, "O3 0.0266, N2O 0.32, CH4 1.7", "mixing ratio of --gas O3, N2O or CH4, ppm"));
  add_lines_options(v);
  v.push_back(continuum_option("water's Lorentz and Voigt cross-sections with --physics hitran (its lines "
                               "then reach 25 cm-1, their plinth removed)"));
  if (withPlot) {
    v.push_back(num("max-path", 0, 1e15, "1000", "upper clamp of mean paths, m"));
    v.push_back(num("min-path", 0, 1e15, "0", "lower clamp of mean paths, m"));
  } else {
    v.push_back(num("path", 1e-9, 1e15, "1000", "path length P, m"));
  }
  return v;
}

const std::vector<CommandSpec>& commands() {
  static const std::vector<CommandSpec> specs = [] {
    std::vector<CommandSpec> v;
    v.push_back(
        {"spectrum",
         "Writes the water vapour, CO2 and combined series of a plot as CSV: for grid plots one row per\n"
         "wavenumber (columns H2O, CO2, Combined), for line plots one row per line (gas, wavenumber, value).",
         gas_options(true)});
    v.push_back(
        {"power",
         "Writes the blackbody power absorbed over a band (W/m2) by CO2 (1x, 2x), H2O, their sum (1x, 2x) "
         "and\n"
         "the combined spectrum (1x, 2x), as on the window's Power page, with the surface temperature\n"
         "equal to the gas temperature.",
         gas_options(false)});
    v.push_back(
        {"blackbody",
         "Writes a Planck curve as CSV: wavenumber (cm-1) and spectral exitance x 10 (W/m2/cm-1 x 10).",
         {text("ini", "INI file (also /ini FILE)", "absorbview.ini beside the program"),
          text("output", "write the CSV to this file instead of the standard output"),
          num("temperature", kBlackbodyMinimumK, 200000, "Temperature of [blackbody 1] in the INI file",
              "temperature, K"),
          num("min", 0, 1e6, "0", "lower end of the wavenumber range, cm-1"),
          num("max", 0, 1e6, "5000", "upper end of the wavenumber range, cm-1"),
          num("values", 1, 50001, "Number_of_Values of [blackbody 1]", "number of points")}});
    v.push_back(
        {"column",
         "Writes the outgoing longwave radiation (OLR) of a clear-sky column of an atmosphere (the\n"
         "program's standard atmosphere, a built-in model atmosphere or a profile file) with water vapour,\n"
         "CO2 and each of O3, N2O and CH4 that has a line list (HITRAN line physics, Voigt, line by line),\n"
         "for the amounts and the changed state (\"2x\" and \"Nx\" in the rows: --co2-factor and the\n"
         "--o3/--n2o/--ch4-factor multiples), the forcing at the top and at the\n"
         "tropopause, the downward flux at the surface, the surface's emission, the flux an observer sees\n"
         "(--observer, --look) and the emission height, in W/m2 over the band (the height in km).",
         {text("ini", "INI file (also /ini FILE)", "absorbview.ini beside the program"),
          text("output", "write the CSV to this file instead of the standard output"),
          flag("quiet", "no progress messages"),
          text("atmosphere",
               "standard, tropical, midlatitude-summer, midlatitude-winter, subarctic-summer, "
               "subarctic-winter, us-standard, or a profile CSV file (z_km,p_mb,T_K and <gas>_ppmv columns)",
               "standard"),
          num("surface-temperature", 150, 350, "288; with a table its own T at 0 km",
              "surface temperature, K"),
          num("rh", 0, 100, "60",
              "surface relative humidity, held up to the tropopause, percent (standard atmosphere only)"),
          num("h2o-scale", 0, 10, "1", "multiple of a table's water vapour (tables only)"),
          num("co2", 0, 1e6, "ppmv of [CO2] in the INI file, 350", "CO2 mixing ratio, ppm"),
          num("co2-factor", 0, 1e6, "2", "multiple of the CO2 amount compared with it"),
          num("min", 0, 1e6, "0", "lower end of the band, cm-1"),
          num("max", 0, 1e6, "2500", "upper end of the band, cm-1"),
          num("layers", 1, 500, "60", "number of layers, evenly spaced in log-pressure"),
          num("top", 1e-3, 100, "70", "top altitude, km"),
          num("step", 1e-5, 1e3, "0.01", "largest spectral grid step, cm-1"),
          flag("isothermal", "every level at the surface temperature (a check: OLR = surface emission)"),
          num("observer", 0, 100, "the top", "observer altitude, km (the nearest level is used)"),
          num("offset", -50, 50, "0",
              "warming of the ground and the troposphere in the CO2 multiple's state, K (its rows show what "
              "is "
              "left of the forcing)"),
          choice("hold", {"vapour", "rh", "both"}, "vapour",
                 "water under a warming: fixed vapour (mixing ratios) or fixed relative humidity; both with "
                 "--balance"),
          flag("balance", "also solve for the warming that restores the flux through the observer's level"),
          choice("look", {"down", "up"}, "down",
                 "observer's direction: down sees the upward flux, up the downward flux"),
          text("heating-bands", "bands of the heating rates in --profile-output, cm-1, as A-B,C-D,...",
               "0-550,550-800,800-1250,1250-2500"),
          text("spectrum",
               "also write the top-of-atmosphere spectrum (W m-2 per cm-1) and the brightness temperature "
               "of the observed flux (K) as CSV to this file"),
          continuum_option("the water of every layer (its lines then reach 25 cm-1, their plinth removed)"),
          text("profile-output",
               "also write per level altitude, pressure, temperature, each gas's ppmv, the upward and "
               "downward fluxes (W/m2) and the heating rate of the layer above the level (K/day) as CSV "
               "to this file")}});
    // Each gas's list, and the multiples of the trace gases in the changed state beside --co2-factor.
    add_lines_options(v.back().options);
    for (const TzqColumnGasInfo& gas : ColumnGases())
      if (zqsession::IsTraceGas(gas.Gas))
        v.back().options.push_back(num(std::string(gas.Key) + "-factor", 0, 1e6, "1",
                                       std::string("multiple of the ") + gas.Name +
                                           " amount in the changed state (0: none; with --co2-factor 1 "
                                           "the rows are its forcing alone)"));
    OptionSpec altitude = num("altitude", -1e4, 1e4, "", "altitude, km");
    altitude.repeatable = true;
    v.push_back(
        {"atmosphere",
         "Writes pressure (mb) and temperature (K) of the standard atmosphere at altitudes (km) as CSV.",
         {text("output", "write the CSV to this file instead of the standard output"), altitude,
          num("from", -1e4, 1e4, "", "first altitude of a table, km"),
          num("to", -1e4, 1e4, "", "last altitude of a table, km"),
          num("step", 1e-6, 1e4, "1", "altitude step of a table, km")}});
    return v;
  }();
  return specs;
}

std::string main_help() {
  std::string s = "usage: absorbview-cli SUBCOMMAND [options]\n\nSubcommands:\n";
  for (const CommandSpec& c : commands())
    s += "  " + c.name + std::string(12 - c.name.size(), ' ') + c.summary.substr(0, c.summary.find('\n')) +
         "\n";
  s += "\n\"absorbview-cli SUBCOMMAND --help\" lists the options of a subcommand; "
       "\"absorbview-cli --version\" prints the version.\n"
       "Exit codes: 0 done, 1 failed, 2 bad command line, 3 missing or unreadable input file.\n";
  return s;
}

// The --spectra choice: a text of the table, "pressure" / "doppler" for the classic broadened ones, or
// under the HITRAN physics "lorentz" / "doppler" / "voigt" for its profiles. A type of the other physics
// is refused by name.
TSpectraType spectra_type(const std::string& t, TLinePhysics physics) {
  const bool hitran = physics == TLinePhysics::Hitran;
  const std::optional<TSpectraType> v = ParseSpectraName(t, physics);
  if (!v) throw CliError(zqCliUsage, "unknown spectra type \"" + t + "\"");
  if (!PhysicsHasSpectraType(physics, *v))
    throw CliError(zqCliUsage,
                   "spectra type \"" + t + "\" needs --physics " + (hitran ? "classic" : "hitran"));
  return *v;
}

// The three line lists of a run, loaded, in a session set as the window's controls would set it.
struct GasLists {
  Configuration files;
  zqsession::TzqSession session;
  TzqPerGas<std::unique_ptr<T_zq_HITRAN>> own; // lists read for the command line or the trace gases
  TLineSeries series[3];                       // by gas role
  zqsession::TzqSession::TSeriesSink Sink() {
    return {[this](zqsession::TSeriesRole role) { return &series[zqsession::SeriesIndex(role)]; }, {}};
  }
  const TLineSeries& Series(zqsession::TSeriesRole role) const {
    return series[zqsession::SeriesIndex(role)];
  }
};

void prepare_lists(GasLists& g, const ParsedOptions& o, const zqsession::TControls& c,
                   ConsolePlatform& platform, Progress& progress, std::ostream& err) {
  load_line_lists(g.files, o, platform, progress);
  g.session.Combined = &line_list(g.files, zqsession::SectionOf(zqsession::TSeriesRole::Combined));
  // The trace gases' lists the INI file names, then any list the command line names instead.
  progress.Timed("reading the line lists of the other gases", [&] {
    zqsession::TConfiguredGasLists configured = zqsession::LoadConfiguredGasLists(*g.files.ini);
    for (const zqsession::TStatusItem& e : configured.Errors)
      if (!o.Has(std::string(ColumnGasInfo(*ColumnGasNamed(e.Source)).Key) + "-lines"))
        throw CliError(zqCliInputFile, one_line(e.Text));
    for (const TzqColumnGasInfo& gas : ColumnGases()) {
      g.own[gas.Gas] = std::move(configured.Lists[gas.Gas]);
      if (!o.Has(lines_option(gas))) continue;
      const std::string file = o.Text(lines_option(gas), "");
      if (const std::string why = NotAReadableFileReason(file); !why.empty())
        throw CliError(zqCliInputFile, "--" + lines_option(gas) + ": " + file + " " + why);
      zqsession::TGasListLoad load = zqsession::LoadGasList(gas.Gas, file, g.files.ini.get());
      if (!load.List) throw CliError(zqCliInputFile, "--" + lines_option(gas) + ": " + one_line(load.Error));
      g.own[gas.Gas] = std::move(load.List);
    }
  });
  for (const TzqColumnGasInfo& gas : ColumnGases()) {
    T_zq_HITRAN* own = g.own[gas.Gas].get();
    if (gas.Gas == TzqColumnGas::H2O)
      g.session.Water = own ? own : &line_list(g.files, zqsession::SectionOf(gas.Gas));
    else if (gas.Gas == TzqColumnGas::CO2)
      g.session.CO2 = own ? own : &line_list(g.files, zqsession::SectionOf(gas.Gas));
    else
      g.session.GasLists[gas.Gas] = own;
  }
  for (TzqColumnGas gas : {TzqColumnGas::H2O, TzqColumnGas::CO2})
    if (g.session.GasList(gas)->Records.empty())
      err << "absorbview-cli: warning: the line list [" << zqsession::SectionOf(gas) << "] holds no lines\n";
  g.session.Controls = c;
}

// The run's continuum: --continuum FILE (or off); without it, where a computation uses it (needed), the
// INI file's or the one beside the water line list. A file refused ends the run (exit 3) with the reason.
void load_continuum(const ParsedOptions& o, GasLists& g, bool needed) {
  std::string file;
  if (o.Has("continuum")) {
    file = o.Text("continuum", "");
    if (file == "off") return;
  } else if (needed) {
    file = zqsession::StartupContinuumFile(*g.files.ini, g.session.Water ? g.session.Water->Filename : "");
  }
  if (file.empty()) return;
  const zqsession::TzqStatus status = g.session.LoadContinuum(file);
  if (status.Refused()) throw CliError(zqCliInputFile, status.Refusals.front().Text);
  g.session.Controls.Continuum = true;
}

// The "#" lines a table opens with: the acknowledgement when the continuum was used.
std::string comments(bool continuumUsed) {
  return continuumUsed ? zqsession::ContinuumCommentLines() : std::string();
}

int run_spectrum(const ParsedOptions& o, std::ostream& out, std::ostream& err, ConsolePlatform& platform) {
  Progress progress(err, o.Has("quiet"));
  GasLists g;
  g.files.ini = open_ini(o);
  zqsession::TControls c = read_controls(o, *g.files.ini);
  c.PlotType = *ParsePlotType(o.Text("plot", "Spectra"));
  c.SpectraType = spectra_type(o.Text("spectra", "raw"), c.Physics);
  c.Scaling = *ParseScaling(o.Text("scaling", "raw"));
  prepare_lists(g, o, c, platform, progress, err);
  load_continuum(o, g, c.Physics == TLinePhysics::Hitran);

  zqsession::TzqStatus status;
  progress.Timed("computing the spectra", [&] { status = g.session.ComputeSpectra(g.Sink()); });
  report(status, err);
  using zqsession::TSeriesRole;
  emit(o, out,
       SeriesTableText({{"H2O", &g.Series(TSeriesRole::Water)},
                        {ColumnGasInfo(c.Gas).Name, &g.Series(TSeriesRole::CO2)},
                        {"Combined", &g.Series(TSeriesRole::Combined)}},
                       IsLinePlot(c.Physics, c.PlotType, c.SpectraType), ',',
                       comments(zqsession::ContinuumInResults(g.session.Controls,
                                                              g.session.ContinuumTable() != nullptr))));
  return zqCliOK;
}

int run_power(const ParsedOptions& o, std::ostream& out, std::ostream& err, ConsolePlatform& platform) {
  Progress progress(err, o.Has("quiet"));
  GasLists g;
  g.files.ini = open_ini(o);
  zqsession::TControls c = read_controls(o, *g.files.ini);
  const bool hitran = c.Physics == TLinePhysics::Hitran;
  c.SpectraType = spectra_type(o.Text("spectra", hitran ? "voigt" : "pressure"), c.Physics);
  const double P = o.Number("path", 1000);
  prepare_lists(g, o, c, platform, progress, err);
  load_continuum(o, g, hitran);

  // As the window's Compute: the spectra of the chosen type first, then the integrals.
  zqsession::TPowerResult r;
  progress.Timed("computing the absorbed power", [&] {
    r.Status = g.session.ComputeSpectra(g.Sink());
    if (r.Status.Refused()) return;
    r = g.session.ComputePower(P);
  });
  report(r.Status, err);
  const zqsession::TPowerTable& t = *r.Table;
  std::ostringstream csv;
  csv << comments(zqsession::ContinuumInResults(g.session.Controls, g.session.ContinuumTable() != nullptr));
  csv << "result,W/m2\n";
  // The second gas's rows carry its name (CO2 unless --gas names another).
  const std::string second = ColumnGasInfo(c.Gas).Name;
  csv << second << " 1x," << number(t.CO2_1x) << "\n";
  csv << second << " 2x," << number(t.CO2_2x) << "\n";
  csv << "H2O 1x," << number(t.H2O_1x) << "\n";
  csv << "Sum 1x," << number(t.Total_1x) << "\n";
  csv << "Sum 2x," << number(t.Total_2x) << "\n";
  csv << "Combined 1x," << number(t.Combined_1x) << "\n";
  csv << "Combined 2x," << number(t.Combined_2x) << "\n";
  if (t.BandPower) {
    // The exact Stefan-Boltzmann law, and the Planck integral over the band the absorbed sums cover.
    csv << "Blackbody power," << number(zqconst::StefanBoltzmann * std::pow(c.Temperature, 4)) << "\n";
    csv << "Blackbody band power," << number(*t.BandPower) << "\n";
  } else {
    csv << "Blackbody power," << number(zqapp::BlackbodyPower(c.Temperature)) << "\n";
  }
  emit(o, out, csv.str());
  return zqCliOK;
}

// "A-B,C-D,..." (cm-1) as bands.
std::vector<TzqBand> parse_bands(const std::string& text) {
  std::vector<TzqBand> bands;
  std::stringstream list(text);
  for (std::string item; std::getline(list, item, ',');) {
    const std::size_t dash = item.find('-', 1);
    const auto lo = dash == std::string::npos ? std::nullopt : zqcli::ParseNumber(item.substr(0, dash));
    const auto hi = dash == std::string::npos ? std::nullopt : zqcli::ParseNumber(item.substr(dash + 1));
    if (!lo || !hi) throw CliError(zqCliUsage, "--heating-bands: \"" + item + "\" is not a band A-B in cm-1");
    bands.push_back({*lo, *hi});
  }
  if (bands.empty()) throw CliError(zqCliUsage, "--heating-bands needs at least one band A-B");
  return bands;
}

TzqColumnSettings column_settings(const ParsedOptions& o, TzqINI_File& ini) {
  TzqColumnSettings s;
  s.Atmosphere = o.Text("atmosphere", "standard");
  const std::vector<std::string> names = BuiltInAtmosphereNames();
  const bool builtIn = std::find(names.begin(), names.end(), s.Atmosphere) != names.end();
  if (IsStandardAtmosphere(s)) {
    if (o.Has("h2o-scale"))
      throw CliError(zqCliUsage,
                     "--h2o-scale applies to a table's water; the standard atmosphere takes --rh");
  } else {
    // A table has its own water and ground temperature.
    if (o.Has("rh"))
      throw CliError(zqCliUsage, "--rh applies to the standard atmosphere only: " + s.Atmosphere +
                                     " gives its own water vapour (scale it with --h2o-scale)");
    if (!builtIn) {
      std::string error;
      if (ReadAtmosphereFile(s.Atmosphere, error).Empty()) throw CliError(zqCliInputFile, error);
    }
  }
  s.SurfaceFromTable = !o.Has("surface-temperature");
  s.SurfaceTemperature = o.Number("surface-temperature", 288);
  s.RelativeHumidity = o.Number("rh", 60);
  s.H2OScale = o.Number("h2o-scale", 1);
  if (o.Has("co2")) {
    s.CO2 = o.Number("co2", 350);
  } else {
    const zqsession::TCO2Default co2 = zqsession::ReadCO2Default(ini);
    if (co2.Refusal) throw CliError(zqCliInputFile, co2.Refusal->Text);
    s.CO2 = co2.Value;
  }
  s.CO2Factor = o.Number("co2-factor", 2);
  for (const TzqColumnGasInfo& gas : ColumnGases())
    if (zqsession::IsTraceGas(gas.Gas)) s.GasFactors[gas.Gas] = o.Number(std::string(gas.Key) + "-factor", 1);
  s.MoreStates = OneGasStates(s);
  s.WavenumberMin = o.Number("min", 0);
  s.WavenumberMax = o.Number("max", 2500);
  s.Layers = static_cast<int>(o.Number("layers", 60));
  if (s.Layers != o.Number("layers", 60)) throw CliError(zqCliUsage, "--layers must be a whole number");
  s.TopAltitude = o.Number("top", 70);
  s.Step = o.Number("step", 0.01);
  s.Isothermal = o.Has("isothermal");
  if (o.Has("observer")) s.ObserverAltitude = o.Number("observer", 0);
  s.Look = o.Text("look", "down") == "up" ? TzqLook::Up : TzqLook::Down;
  if (o.Has("heating-bands")) s.HeatingBands = parse_bands(o.Text("heating-bands", ""));
  s.Offset = o.Number("offset", 0);
  const std::string hold = o.Text("hold", "vapour");
  if (hold == "both" && !o.Has("balance")) throw CliError(zqCliUsage, "--hold both needs --balance");
  s.Hold = hold == "rh" ? TzqHold::RH : TzqHold::Vapour;
  if (const std::string why = CheckColumnSettings(s); !why.empty()) throw CliError(zqCliUsage, why);
  return s;
}

// Written as they are formed: a fine grid's CSV would otherwise double the column's memory.
void write_csv(const std::string& path, const std::function<void(const zqFileWriter&)>& rows) {
  try {
    zqReplaceFileWith(path, rows);
  } catch (const EzqFileError& e) {
    throw CliError(zqCliFailed, e.what());
  }
}

void write_column_spectrum(const std::string& path, const TzqColumnResult& r, const std::string& comments) {
  write_csv(path, [&](const zqFileWriter& write) {
    write(comments);
    const std::vector<double>&tb1 = r.Diagnostics[0].BrightnessTemperature,
          &tbN = r.Diagnostics[1].BrightnessTemperature;
    write("wavenumber_cm-1,OLR_1x,OLR_2x,Tb_1x_K,Tb_Nx_K\n");
    for (std::size_t j = 0; j < r.Wavenumber.size(); ++j)
      write(number(r.Wavenumber[j]) + ',' + number(r.OLR1xSpectrum[j]) + ',' + number(r.OLRNxSpectrum[j]) +
            ',' + number(tb1[j]) + ',' + number(tbN[j]) + '\n');
  });
}

// One row per level; a layer's heating on the row of the level below it (empty on the top row).
// The gases of the profile file: water, CO2 and each other gas with a list (the ones that absorb).
void write_column_profile(const std::string& path, const TzqColumnResult& r, const std::string& comments,
                          const zqsession::TzqSession& session) {
  std::vector<TzqColumnGasInfo> gases;
  for (const TzqColumnGasInfo& gas : ColumnGases())
    if (!zqsession::IsTraceGas(gas.Gas) || session.GasList(gas.Gas)) gases.push_back(gas);
  write_csv(path, [&](const zqFileWriter& write) {
    write(comments);
    const TzqColumnProfile& p = r.Profile;
    std::string header = "altitude_km,pressure_mb,temperature_K";
    for (const TzqColumnGasInfo& gas : gases)
      header += std::string(",") + gas.Key + "_ppmv";
    header += ",up_1x,down_1x,up_Nx,down_Nx,heating_1x_K_per_day,heating_Nx_K_per_day";
    for (const TzqBand& b : r.Bands)
      for (const char* state : {"1x", "Nx"})
        header += ",heating_" + std::string(state) + '_' + number(b.Min) + '-' + number(b.Max) + "_K_per_day";
    write(header + '\n');
    const TzqStateDiagnostics &one = r.Diagnostics[0], &n = r.Diagnostics[1];
    for (std::size_t i = 0; i < p.LevelPressure.size(); ++i) {
      std::string row =
          number(p.LevelAltitude[i]) + ',' + number(p.LevelPressure[i]) + ',' + number(p.LevelTemperature[i]);
      for (const TzqColumnGasInfo& gas : gases)
        row += ',' + number(p.LevelPpmv[gas.Gas][i]);
      row += ',' + number(one.LevelUp[i]) + ',' + number(one.LevelDown[i]) + ',' + number(n.LevelUp[i]) +
             ',' + number(n.LevelDown[i]);
      const bool layer = i < p.Layers.size();
      row += ',' + (layer ? number(one.Heating[i]) : "") + ',' + (layer ? number(n.Heating[i]) : "");
      for (std::size_t b = 0; b < r.Bands.size(); ++b)
        row += ',' + (layer ? number(one.BandHeating[b][i]) : "") + ',' +
               (layer ? number(n.BandHeating[b][i]) : "");
      write(row + '\n');
    }
  });
}

// The warming to balance for the chosen hold (or both, with the water-vapour feedback factor).
void balance_rows(const ParsedOptions& o, const TzqColumnSettings& s, GasLists& g, Progress& progress,
                  std::ostream& err, std::ostream& csv) {
  const std::string hold = o.Text("hold", "vapour");
  std::vector<TzqHold> holds;
  if (hold != "rh") holds.push_back(TzqHold::Vapour);
  if (hold != "vapour") holds.push_back(TzqHold::RH);
  std::vector<double> warming;
  for (TzqHold h : holds) {
    zqsession::TBalanceRun run;
    progress.Timed(h == TzqHold::RH ? "balancing with fixed RH" : "balancing with fixed vapour",
                   [&] { run = g.session.ComputeBalance(s, h); });
    report(run.Status, err);
    const std::string tag = holds.size() == 1 ? "" : h == TzqHold::RH ? " (fixed RH)" : " (fixed vapour)";
    csv << "Warming to balance K" << tag << "," << number(run.Balance.Warming) << "\n";
    csv << "Feedback parameter W/m2/K" << tag << "," << number(run.Balance.FeedbackParameter) << "\n";
    csv << "Balance iterations" << tag << "," << run.Balance.Iterations << "\n";
    csv << "Balance interpolation error K" << tag << "," << number(run.Balance.InterpolationError) << "\n";
    warming.push_back(run.Balance.Warming);
  }
  if (warming.size() == 2) csv << "Water vapour feedback factor," << number(warming[1] / warming[0]) << "\n";
}

int run_column(const ParsedOptions& o, std::ostream& out, std::ostream& err, ConsolePlatform& platform) {
  Progress progress(err, o.Has("quiet"));
  GasLists g;
  g.files.ini = open_ini(o);
  const TzqColumnSettings s = column_settings(o, *g.files.ini);
  prepare_lists(g, o, zqsession::TControls{}, platform, progress, err);
  load_continuum(o, g, true);
  const std::string notes = comments(g.session.ColumnUsesContinuum());

  zqsession::TColumnRun run;
  progress.Timed("computing the column", [&] { run = g.session.ComputeColumn(s); });
  report(run.Status, err);
  const TzqColumnResult& r = run.Result;
  if (o.Has("spectrum")) write_column_spectrum(o.Text("spectrum", ""), r, notes);
  if (o.Has("profile-output")) write_column_profile(o.Text("profile-output", ""), r, notes, g.session);
  std::ostringstream csv;
  csv << notes;
  csv << "result,W/m2\n";
  csv << "OLR 1x," << number(r.OLR1x) << "\n";
  csv << "OLR 2x," << number(r.OLRNx) << "\n";
  csv << "Forcing TOA," << number(r.ForcingTOA) << "\n";
  csv << "Forcing tropopause," << number(r.ForcingTropopause) << "\n";
  csv << "Surface downwelling 1x," << number(r.SurfaceDownwelling1x) << "\n";
  csv << "Surface downwelling 2x," << number(r.SurfaceDownwellingNx) << "\n";
  csv << "Surface emission," << number(r.SurfaceEmission) << "\n";
  csv << "Observer flux 1x," << number(r.Diagnostics[0].ObservedFlux) << "\n";
  csv << "Observer flux Nx," << number(r.Diagnostics[1].ObservedFlux) << "\n";
  csv << "Emission height 1x km," << number(r.Diagnostics[0].EmissionHeight) << "\n";
  // With two gases changed or more, the forcing of each alone (the states after the first two).
  const int top = static_cast<int>(r.Profile.LevelPressure.size()) - 1;
  const std::vector<TzqColumnGas> changed = ChangedGases(s);
  for (std::size_t k = 0; k < s.MoreStates.size() && k < changed.size(); ++k)
    csv << "Forcing TOA " << ColumnGasInfo(changed[k]).Name << " alone," << number(r.ForcingAt(top, 0, 2 + k))
        << "\n";
  if (o.Has("balance")) balance_rows(o, s, g, progress, err, csv);
  emit(o, out, csv.str());
  return zqCliOK;
}

int run_blackbody(const ParsedOptions& o, std::ostream& out, std::ostream& err) {
  Configuration s;
  s.ini = open_ini(o);
  T_zq_Blackbody bb;
  bb.ReadParameters(*s.ini, "blackbody 1");
  bb.XMin = o.Number("min", 0);
  bb.XMax = o.Number("max", 5000);
  if (bb.XMax <= bb.XMin) throw CliError(zqCliUsage, "--max must lie above --min");
  if (o.Has("values")) bb.Number_of_Values = int32_t(o.Number("values", 500));
  const double t = o.Number("temperature", bb.Temperature);
  // The same bound the help states (--temperature 0.1 .. 200000), also for the INI file's temperature.
  if (!(t >= kBlackbodyMinimumK))
    throw CliError(zqCliUsage, "the temperature must be at least " + number(kBlackbodyMinimumK) + " K");
  bb.ComputeValues(t);
  // A refused curve is a failed run: nothing is written.
  if (!bb.Reason().empty()) throw CliError(zqCliFailed, bb.Reason());
  if (!bb.Note().empty()) err << "absorbview-cli: note: " << bb.Note() << "\n";
  TLineSeries series;
  bb.AddValuesToSeries(series);
  std::ostringstream csv;
  // The curve's values are 1000 x W m-2 per m-1 of wavenumber, which is 10 x W m-2 per cm-1.
  csv << "wavenumber_cm-1,exitance_W_m-2_per_cm-1_x10\n";
  for (std::size_t i = 0; i < series.Count(); ++i)
    csv << number(series.XValues()[i]) << ',' << number(series.YValues()[i]) << '\n';
  emit(o, out, csv.str());
  return zqCliOK;
}

int run_atmosphere(const ParsedOptions& o, std::ostream& out) {
  std::vector<double> altitudes = o.Numbers("altitude");
  if (o.Has("from") || o.Has("to")) {
    if (!o.Has("from") || !o.Has("to")) throw CliError(zqCliUsage, "--from and --to go together");
    const double from = o.Number("from", 0), to = o.Number("to", 0), step = o.Number("step", 1);
    const double count = std::floor((std::fabs(to - from)) / step + 1e-9) + 1;
    if (count > 1e6) throw CliError(zqCliUsage, "the table would have more than 1,000,000 rows");
    const double sign = to >= from ? 1.0 : -1.0;
    for (long i = 0; i < long(count); ++i)
      altitudes.push_back(from + sign * step * double(i));
  }
  if (altitudes.empty()) throw CliError(zqCliUsage, "give --altitude KM, or --from KM --to KM [--step KM]");
  T_zq_Atmosphere atmosphere;
  std::ostringstream csv;
  csv << "altitude_km,pressure_mb,temperature_K\n";
  for (double h : altitudes) {
    const long double p = atmosphere.PressureAt(h);
    if (!atmosphere.Reason().empty())
      throw CliError(zqCliUsage, "altitude " + number(h) + " km: " + atmosphere.Reason());
    csv << number(h) << ',' << number(double(p)) << ',' << number(double(atmosphere.LastTemperature)) << '\n';
  }
  emit(o, out, csv.str());
  return zqCliOK;
}

} // namespace

int RunAbsorbviewCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (!args.empty() && args[0] == "--version") {
    out << "absorbview-cli " ABSORBVIEW_VERSION "\n";
    return zqCliOK;
  }
  if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    (args.empty() ? err : out) << main_help();
    return args.empty() ? zqCliUsage : zqCliOK;
  }
  const CommandSpec* spec = nullptr;
  for (const CommandSpec& c : commands())
    if (c.name == args[0]) spec = &c;
  if (!spec) {
    err << "absorbview-cli: unknown subcommand \"" << args[0] << "\"\n\n" << main_help();
    return zqCliUsage;
  }
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  for (const std::string& a : rest)
    if (a == "--help" || a == "-h") {
      out << zqcli::HelpText(*spec);
      return zqCliOK;
    }
  try {
    const ParsedOptions options = zqcli::ParseOptions(*spec, rest);
    std::vector<std::string> iniArgs;
    // A relative INI name means the current folder here, not the program's folder.
    std::error_code ec;
    if (options.Has("ini"))
      iniArgs = {"/ini", std::filesystem::absolute(options.Text("ini", ""), ec).string()};
    ConsolePlatform platform(iniArgs);
    PlatformScope scope(&platform);
    if (spec->name == "spectrum") return run_spectrum(options, out, err, platform);
    if (spec->name == "power") return run_power(options, out, err, platform);
    if (spec->name == "column") return run_column(options, out, err, platform);
    if (spec->name == "blackbody") return run_blackbody(options, out, err);
    return run_atmosphere(options, out);
  } catch (const CliError& e) {
    err << "absorbview-cli: " << e.what() << "\n";
    return e.Code();
  } catch (const std::exception& e) {
    err << "absorbview-cli: " << one_line(e.what()) << "\n";
    return zqCliFailed;
  }
}
