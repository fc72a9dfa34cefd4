// Line-list reading, parameter setters and the shared helpers of T_zq_HITRAN. The chart series are
// filled in zqHITRANSeries.cpp, the absorbed-power integrals in zqHITRANIntegrals.cpp, the spectrum
// computations in zqHITRANSpectrum.cpp.
#include "zqHITRAN.h"

#include "zqClassicFormulas.h"
#include "zqGrid.h"
#include "zqHitranApiTable.h"
#include "zqINI_File.h"

#include <atomic>
#include <cmath>

namespace {

constexpr double kMixingRatioFloor = 1e-7; // ppm

} // namespace

T_zq_HITRAN::T_zq_HITRAN() {
  AddParameter(&MoleculeType, "string", "Molecule_type", "xx", 0, "notrim");
}

T_zq_HITRAN::~T_zq_HITRAN() = default;

// ---- reading -------------------------------------------------------------------------------------

void T_zq_HITRAN::ProcessLine(std::string_view line) {
  const long number = static_cast<long>(LinesRead());
  zqhitran::CheckOneRecord(line, Filename, number, layout_);
  const zqhitran::TLineVerdict verdict = zqhitran::JudgeLine(line, MoleculeType, layout_);
  if (verdict != zqhitran::TLineVerdict::Blank) ++rows_seen_;
  switch (verdict) {
  case zqhitran::TLineVerdict::Kept:
    break;
  case zqhitran::TLineVerdict::OtherMolecule:
  case zqhitran::TLineVerdict::OtherIsotopologue:
    ++left_out_[std::string(line.substr(0, 3))];
    return;
  case zqhitran::TLineVerdict::NotARecord:
    ++not_records_;
    return;
  case zqhitran::TLineVerdict::BranchFilter:
  case zqhitran::TLineVerdict::Blank:
    return;
  }
  const THitranLine record = zqhitran::ParseLine(line, Filename, number, layout_);
  // No line absorbs less than nothing, and none lies below 0 cm-1.
  if (record.Intensity < 0) {
    if (negative_++ == 0) first_negative_line_ = number;
    return;
  }
  if (record.Wavenumber < 0) {
    if (below_zero_++ == 0) first_below_zero_line_ = number;
    return;
  }
  Records.push_back(record);
  PressureShifts.push_back(zqhitran::PressureShift(line, layout_));
  placed_.emplace_back(); // working space of the recomputations, grown with the list
  LinesChanged();
}

std::string_view T_zq_HITRAN::ReadFirstDataLine() {
  layout_ = zqhitran::StandardLayout();
  header_.clear();
  rows_seen_ = 0;
  if (zqhitranapi::HasExtension(Filename, ".data")) {
    header_ = zqhitranapi::TablePartner(Filename, ".header");
    if (!header_.empty()) layout_ = zqhitranapi::ReadTableHeader(header_);
  }
  return TzqDatafile::ReadFirstDataLine();
}

void T_zq_HITRAN::FinishReading() {
  // A table cut short or grown since its header was written does not hold what the header says.
  if (layout_.Rows >= 0 && rows_seen_ != layout_.Rows)
    throw std::runtime_error("The table header " + header_ + " says the table holds " +
                             std::to_string(layout_.Rows) + " records, but " + Filename + " holds " +
                             std::to_string(rows_seen_));
}

std::string T_zq_HITRAN::ReadNote() const {
  std::string text;
  auto add = [&text](const std::string& part) { text += (text.empty() ? "" : ", ") + part; };
  for (const auto& [code, count] : left_out_) {
    const std::string molecule = zqTrim(code.substr(0, 2)), iso = code.substr(2, 1);
    add(std::to_string(count) + (count == 1 ? " record" : " records") + " of molecule " + molecule +
        " isotopologue " + iso);
  }
  if (not_records_ > 0)
    add(std::to_string(not_records_) + (not_records_ == 1 ? " line" : " lines") +
        " that are no HITRAN record");
  if (negative_ > 0)
    add(std::to_string(negative_) + (negative_ == 1 ? " record" : " records") +
        " with a negative intensity (the first on line " + std::to_string(first_negative_line_) + ")");
  if (below_zero_ > 0)
    add(std::to_string(below_zero_) + (below_zero_ == 1 ? " record" : " records") +
        " at a negative wavenumber (the first on line " + std::to_string(first_below_zero_line_) + ")");
  if (text.empty()) return {};
  return "Reading " + (Filename.empty() ? std::string("the list") : Filename) + " left out " + text +
         "; this list holds molecule " + zqTrim(MoleculeType) + " isotopologue 1 only";
}

void T_zq_HITRAN::ClearRecords() {
  left_out_.clear();
  not_records_ = negative_ = first_negative_line_ = below_zero_ = first_below_zero_line_ = 0;
  Records.clear();
  PressureShifts.clear();
  placed_.clear();
  LinesChanged();
}

void T_zq_HITRAN::LinesChanged() {
  static std::atomic<uint64_t> last{0};
  revision_ = last.fetch_add(1, std::memory_order_relaxed) + 1;
  adjusted_ = false;
  Dirty = true;
}

void T_zq_HITRAN::CopyLinesFrom(const T_zq_HITRAN& other) {
  Records = other.Records;
  PressureShifts = other.PressureShifts;
  MoleculeType = other.MoleculeType;
  placed_.resize(Records.size());
  adjusted_ = false;
  Dirty = true;
  revision_ = other.revision_;
}

// ---- setters -------------------------------------------------------------------------------------

namespace {
template <class T> void set_marking(T& member, T value, bool& dirty) {
  if (member == value) return;
  member = value;
  dirty = true;
}
} // namespace

void T_zq_HITRAN::SetWavenumberMin(double x) {
  set_marking(WavenumberMin, x, Dirty);
}
void T_zq_HITRAN::SetWavenumberMax(double x) {
  set_marking(WavenumberMax, x, Dirty);
}
void T_zq_HITRAN::SetPressure(double x) {
  set_marking(Pressure, x, Dirty);
}
void T_zq_HITRAN::SetTemperature(double x) {
  set_marking(Temperature, x, Dirty);
}
void T_zq_HITRAN::SetLineWidthLimit(double x) {
  set_marking(LineWidthLimit, x, Dirty);
}
void T_zq_HITRAN::SetDopplerBroadening(bool b) {
  set_marking(DopplerBroadening, b, Dirty);
}

void T_zq_HITRAN::SetMixingRatio(double x) {
  if (x == MixingRatio) return;
  if (MixingRatio == kMixingRatioFloor) Dirty = true;
  // Anything below the floor, and a value that is not a number, is stored as the floor.
  MixingRatio = x >= kMixingRatioFloor ? x : kMixingRatioFloor;
}

// ---- grid and shared helpers ---------------------------------------------------------------------

double T_zq_HITRAN::Step() const {
  double step = 0;
  return grid_problem(step) ? 0 : step;
}

const char* T_zq_HITRAN::grid_problem(double& step) const {
  return zqgrid::GridProblem(WavenumberMin, WavenumberMax, kGridPoints, step);
}

double T_zq_HITRAN::GridX(long k) const {
  return static_cast<double>(WavenumberMin + static_cast<long double>(k) * Step());
}

void T_zq_HITRAN::refuse(const std::string& why) {
  if (reason_.empty() && !why.empty()) reason_ = why;
}

void T_zq_HITRAN::inform(const std::string& why) {
  if (note_.empty() && !why.empty()) note_ = why;
}

void T_zq_HITRAN::take_spectrum_reasons() {
  refuse(spectrum_reason_);
  inform(spectrum_note_);
}

void T_zq_HITRAN::SetThreadCount(unsigned n) {
  threads_ = n;
}

double T_zq_HITRAN::NumberDensity() {
  if (!(Temperature > 0) || !(Pressure > 0)) return 0;
  return zqclassic::ColumnDensity(MixingRatio, Pressure, Temperature);
}

bool T_zq_HITRAN::path_constant(double& q) {
  if (!(PathFactor > 0)) {
    refuse("Path factor must be above 0");
    return false;
  }
  if (!(Temperature > 0)) {
    refuse("Temperature must be above 0 K");
    return false;
  }
  const double n = NumberDensity();
  if (!(n > 0)) {
    // No absorbing molecules: every path is endless.
    inform("Pressure must be above 0 mb: no molecules absorb");
    q = HUGE_VAL;
    return true;
  }
  q = PathFactor / (std::numbers::pi * n * 4);
  return true;
}

long double T_zq_HITRAN::SaturationPressure() const {
  return zqclassic::SaturationVapourPressure(Temperature);
}
