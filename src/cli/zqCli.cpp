// The subcommands of absorbview-cli. Each one sets the line lists, blackbody and atmosphere objects
// exactly as the main window's controls would (same INI store, same loader, same setters and fill
// operations) and writes the resulting series as CSV, so a script sees the numbers the chart shows.
#include "zqCli.h"

#include "zqAtmosphere.h"
#include "zqBlackbody.h"
#include "zqCliOptions.h"
#include "zqDatafileLoader.h"
#include "zqHITRAN.h"
#include "zqINI_Default.h"
#include "zqINI_File.h"
#include "zqLineSeries.h"
#include "zqPhysicalControls.h"
#include "zqPlatform.h"
#include "zqRegisterTypes.h"

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

struct Session {
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

T_zq_HITRAN& line_list(Session& s, const std::string& name) {
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
void load_line_lists(Session& s, ConsolePlatform& platform, Progress& progress, std::ostream& err) {
  register_types_once();
  progress.Timed("reading the line lists", [&] { LoadDatafiles(*s.ini, s.files); });
  if (!platform.messages.empty()) {
    std::string text;
    for (const auto& [caption, message] : platform.messages)
      text += (text.empty() ? "" : "; ") + caption + ": " + one_line(message);
    std::string dir = s.ini->Directory().empty() ? std::string(".") : s.ini->Directory();
    throw CliError(zqCliInputFile, text + " (looked in the current folder " +
                                       std::filesystem::current_path().string() + " and in " + dir + ")");
  }
  for (const char* name : {"h2o", "co2"})
    if (line_list(s, name).Records.empty())
      err << "absorbview-cli: warning: the line list [" << name << "] holds no lines\n";
}

// ---- the model set-up of the window's controls

struct ModelControls {
  double wavenumberMin = 0, wavenumberMax = 5000;
  double maxPath = 1000, minPath = 0;
  double pressure = 1013, temperature = 288;
  double lineWidthLimit = 200;
  std::string plotType = "Spectra", spectraType = "raw", scaling = "raw";
  double pathMultiplier = 1;
  bool meanFreePath = false; // path type: mean free path (1/2) instead of optical thickness (1/e)
  double co2 = 350, h2o = 10000;
};

void apply_controls(const ModelControls& c, T_zq_HITRAN& water, T_zq_HITRAN& co2, T_zq_HITRAN& combined) {
  for (T_zq_HITRAN* list : {&co2, &water, &combined}) {
    list->SetWavenumberMin(c.wavenumberMin);
    list->SetWavenumberMax(c.wavenumberMax);
    list->MaxPath = c.maxPath;
    list->MinPath = c.minPath;
    list->SetPressure(c.pressure);
    list->SetTemperature(c.temperature);
    list->SetLineWidthLimit(c.lineWidthLimit);
    list->PlotType = c.plotType;
    list->SpectraType = c.spectraType;
    list->Scaling = c.scaling;
    list->PathFactor = c.meanFreePath ? c.pathMultiplier * std::log(2.0) : c.pathMultiplier;
  }
  co2.SetMixingRatio(c.co2);
  water.SetMixingRatio(c.h2o);
  combined.SetMixingRatio(1);
}

// The combined spectrum: mixing-ratio weighted sum of the two gases' current spectra.
void combine_spectra(T_zq_HITRAN& water, T_zq_HITRAN& co2, T_zq_HITRAN& combined, double w, double q) {
  combined.Locked = true;
  const double* ws = water.SpectrumData();
  const double* cs = co2.SpectrumData();
  double* out = combined.SpectrumData();
  for (long k = 1; k <= T_zq_HITRAN::kGridPoints; ++k)
    out[k] = w * ws[k] + q * cs[k];
}

void check_reason(T_zq_HITRAN& list, const std::string& name) {
  if (!list.Reason().empty()) throw CliError(zqCliFailed, "[" + name + "] " + list.Reason());
}

ModelControls read_controls(const ParsedOptions& o, TzqINI_File& ini) {
  ModelControls c;
  c.wavenumberMin = o.Number("min", 0);
  c.wavenumberMax = o.Number("max", 5000);
  if (c.wavenumberMax - c.wavenumberMin < 50)
    throw CliError(zqCliUsage, "the wavenumber range must be at least 50 cm-1 wide (--min " +
                                   o.Text("min", "0") + " --max " + o.Text("max", "5000") + ")");
  c.temperature = o.Number("temperature", 288);
  c.pressure = o.Number("pressure", 1013);
  c.co2 = o.Number("co2", double(ini.ReadReal("CO2", "ppmv", 350)));
  c.h2o = o.Number("h2o", 10000);
  c.lineWidthLimit = o.Number("line-width-limit", 200);
  c.pathMultiplier = o.Number("path-multiplier", 1);
  c.meanFreePath = o.Text("path-type", "thickness") == "free";
  c.maxPath = o.Number("max-path", 1000);
  c.minPath = o.Number("min-path", 0);
  if (c.minPath > c.maxPath) throw CliError(zqCliUsage, "--min-path must not exceed --max-path");
  return c;
}

// ---- output

std::string number(double v) {
  char text[40];
  std::snprintf(text, sizeof text, "%.12g", v);
  return text;
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
  try {
    zqReplaceFileBytes(o.Text("output", ""), text);
  } catch (const EzqFileError& e) {
    throw CliError(zqCliFailed, e.what());
  }
}

std::string series_csv(const std::vector<std::pair<std::string, const TLineSeries*>>& series) {
  std::ostringstream s;
  // Grid plots give every series the same points: one row per wavenumber, one column per series.
  bool sameGrid = true;
  const TLineSeries* first = nullptr;
  for (const auto& [name, ser] : series) {
    if (ser->Count() == 0) continue;
    if (!first)
      first = ser;
    else if (ser->XValues() != first->XValues())
      sameGrid = false;
  }
  if (first && sameGrid) {
    s << "wavenumber_cm-1";
    std::vector<const TLineSeries*> cols;
    for (const auto& [name, ser] : series)
      if (ser->Count() != 0) {
        s << ',' << name;
        cols.push_back(ser);
      }
    s << '\n';
    for (std::size_t i = 0; i < first->Count(); ++i) {
      s << number(first->XValues()[i]);
      for (const TLineSeries* c : cols)
        s << ',' << number(c->YValues()[i]);
      s << '\n';
    }
    return s.str();
  }
  // Line plots: one row per line and gas.
  s << "gas,wavenumber_cm-1,value\n";
  for (const auto& [name, ser] : series)
    for (std::size_t i = 0; i < ser->Count(); ++i)
      s << name << ',' << number(ser->XValues()[i]) << ',' << number(ser->YValues()[i]) << '\n';
  return s.str();
}

// ---- subcommands

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

const std::string kSpectraPressure = "Temperature and Pressure Broadened";
const std::string kSpectraDoppler = "Temperature, Pressure, and Doppler Broadened";

std::vector<OptionSpec> gas_options(bool withPlot) {
  std::vector<OptionSpec> v;
  v.push_back(text("ini", "INI file (also /ini FILE)", "absorbview.ini beside the program"));
  v.push_back(text("output", "write the CSV to this file instead of the standard output"));
  v.push_back(flag("quiet", "no progress messages"));
  if (withPlot) {
    v.push_back(choice("plot", {"Spectra", "Optical Depth", "Mean Path"}, "\"Spectra\"", "plot type"));
    v.push_back(choice("spectra",
                       {"raw", "I/Alpha", kSpectraPressure, kSpectraDoppler, "pressure", "doppler"},
                       "\"raw\"", "spectra type (\"pressure\" and \"doppler\" name the broadened ones)"));
    v.push_back(choice("scaling", {"raw", "Mixing Ratio"}, "\"raw\"", "scaling of the Spectra plots"));
  } else {
    v.push_back(choice("spectra", {"pressure", "doppler"}, "\"pressure\"", "broadening of the spectra"));
  }
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
         "Writes a Planck curve as CSV: wavenumber (cm-1) and spectral exitance x 1000 (W/m2/cm-1 x 1000).",
         {text("ini", "INI file (also /ini FILE)", "absorbview.ini beside the program"),
          text("output", "write the CSV to this file instead of the standard output"),
          num("temperature", 0.1, 200000, "Temperature of [blackbody 1] in the INI file", "temperature, K"),
          num("min", 0, 1e6, "0", "lower end of the wavenumber range, cm-1"),
          num("max", 0, 1e6, "5000", "upper end of the wavenumber range, cm-1"),
          num("values", 1, 50001, "Number_of_Values of [blackbody 1]", "number of points")}});
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

std::string full_spectra_type(const std::string& t) {
  if (t == "pressure") return kSpectraPressure;
  if (t == "doppler") return kSpectraDoppler;
  return t;
}

// The three line lists of a run, loaded and set as the window's controls would set them.
struct GasLists {
  Session session;
  T_zq_HITRAN* water = nullptr;
  T_zq_HITRAN* co2 = nullptr;
  T_zq_HITRAN* combined = nullptr;
};

void prepare_lists(GasLists& g, const ModelControls& c, ConsolePlatform& platform, Progress& progress,
                   std::ostream& err) {
  load_line_lists(g.session, platform, progress, err);
  g.water = &line_list(g.session, "h2o");
  g.co2 = &line_list(g.session, "co2");
  g.combined = &line_list(g.session, "Combined");
  apply_controls(c, *g.water, *g.co2, *g.combined);
}

int run_spectrum(const ParsedOptions& o, std::ostream& out, std::ostream& err, ConsolePlatform& platform) {
  Progress progress(err, o.Has("quiet"));
  GasLists g;
  g.session.ini = open_ini(o);
  ModelControls c = read_controls(o, *g.session.ini);
  c.plotType = o.Text("plot", "Spectra");
  c.spectraType = full_spectra_type(o.Text("spectra", "raw"));
  c.scaling = o.Text("scaling", "raw");
  prepare_lists(g, c, platform, progress, err);
  T_zq_HITRAN& water = *g.water;
  T_zq_HITRAN& co2 = *g.co2;
  T_zq_HITRAN& combined = *g.combined;

  TLineSeries waterSeries, co2Series, combinedSeries;
  progress.Timed("computing the spectra", [&] {
    co2.FillSeries(co2Series, "spectra", "wavenumber");
    water.FillSeries(waterSeries, "spectra", "wavenumber");
    check_reason(co2, "co2");
    check_reason(water, "h2o");
    combine_spectra(water, co2, combined, c.h2o, c.co2);
    combined.FillSeries(combinedSeries, "spectra", "wavenumber");
    check_reason(combined, "Combined");
  });
  emit(o, out, series_csv({{"H2O", &waterSeries}, {"CO2", &co2Series}, {"Combined", &combinedSeries}}));
  return zqCliOK;
}

int run_power(const ParsedOptions& o, std::ostream& out, std::ostream& err, ConsolePlatform& platform) {
  Progress progress(err, o.Has("quiet"));
  GasLists g;
  g.session.ini = open_ini(o);
  ModelControls c = read_controls(o, *g.session.ini);
  c.spectraType = full_spectra_type(o.Text("spectra", "pressure"));
  const double P = o.Number("path", 1000);
  prepare_lists(g, c, platform, progress, err);
  T_zq_HITRAN& water = *g.water;
  T_zq_HITRAN& co2 = *g.co2;
  T_zq_HITRAN& combined = *g.combined;

  double co2_1x = 0, co2_2x = 0, h2o_1x = 0, combined_1x = 0, combined_2x = 0;
  progress.Timed("computing the absorbed power", [&] {
    TLineSeries scratch;
    co2.FillSeries(scratch, "spectra",
                   "wavenumber"); // takes the spectra type, brings the spectrum up to date
    water.FillSeries(scratch, "spectra", "wavenumber");
    check_reason(co2, "co2");
    check_reason(water, "h2o");
    co2_1x = co2.AbsorbedBlackbodyPower(P);
    co2_2x = co2.AbsorbedBlackbodyPower(2 * P);
    h2o_1x = water.AbsorbedBlackbodyPower(P);
    combine_spectra(water, co2, combined, c.h2o, c.co2);
    combined_1x = combined.AbsorbedBlackbodyPower(P);
    combine_spectra(water, co2, combined, c.h2o, 2 * c.co2);
    combined_2x = combined.AbsorbedBlackbodyPower(P);
    check_reason(combined, "Combined");
  });
  std::ostringstream csv;
  csv << "result,W/m2\n";
  csv << "CO2 1x," << number(co2_1x) << "\n";
  csv << "CO2 2x," << number(co2_2x) << "\n";
  csv << "H2O 1x," << number(h2o_1x) << "\n";
  csv << "Sum 1x," << number(co2_1x + h2o_1x) << "\n";
  csv << "Sum 2x," << number(h2o_1x + co2_2x) << "\n";
  csv << "Combined 1x," << number(combined_1x) << "\n";
  csv << "Combined 2x," << number(combined_2x) << "\n";
  csv << "Blackbody power," << number(zqapp::BlackbodyPower(c.temperature)) << "\n";
  emit(o, out, csv.str());
  return zqCliOK;
}

int run_blackbody(const ParsedOptions& o, std::ostream& out, std::ostream& err) {
  Session s;
  s.ini = open_ini(o);
  T_zq_Blackbody bb;
  bb.ReadParameters(*s.ini, "blackbody 1");
  bb.XMin = o.Number("min", 0);
  bb.XMax = o.Number("max", 5000);
  if (bb.XMax <= bb.XMin) throw CliError(zqCliUsage, "--max must lie above --min");
  if (o.Has("values")) bb.Number_of_Values = int32_t(o.Number("values", 500));
  const double t = o.Number("temperature", bb.Temperature);
  if (!(t > 0.1)) throw CliError(zqCliUsage, "the temperature must lie above 0.1 K");
  bb.ComputeValues(t);
  if (!bb.Reason().empty()) err << "absorbview-cli: " << bb.Reason() << "\n";
  TLineSeries series;
  bb.AddValuesToSeries(series);
  std::ostringstream csv;
  csv << "wavenumber_cm-1,exitance_W_m-2_per_cm-1_x1000\n";
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
