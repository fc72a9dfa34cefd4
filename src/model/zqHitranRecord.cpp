// Column reading of HITRAN records. Kept deliberately allocation-free: a 40 MB line file holds a
// quarter of a million records and each costs six field conversions.
#include "zqHitranRecord.h"

#include "zqDatafile.h"

#include <array>
#include <cctype>
#include <cfloat>
#include <charconv>
#include <cmath>

EHitranConvertError::EHitranConvertError(std::string file, long lineNumber, std::string field,
                                         std::string text)
    : std::runtime_error("'" + PrintableBytes(text) + "' is not a valid floating point value: field " +
                         field + " of line " + std::to_string(lineNumber) + " in " +
                         (file.empty() ? std::string("(no file)") : file)),
      file_(std::move(file)), line_(lineNumber), field_(std::move(field)), text_(std::move(text)) {}

namespace zqhitran {
namespace {

// Name of each converted field, in record order.
constexpr std::array<const char*, 6> kFieldNames{"Wavenumber", "Intensity",        "AirWidth",
                                                 "SelfWidth",  "LowerStateEnergy", "WidthExponent"};

char column_char(std::string_view line, std::size_t column) {
  return column <= line.size() ? line[column - 1] : ' ';
}

bool is_blank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

bool LinePasses(std::string_view line, std::string_view moleculeType) {
  return JudgeLine(line, moleculeType) == TLineVerdict::Kept;
}

const THitranLayout& StandardLayout() {
  static const THitranLayout layout;
  return layout;
}

TLineVerdict JudgeLine(std::string_view line, std::string_view moleculeType, const THitranLayout& layout) {
  const std::size_t m = layout.Molecule.Column, iso = layout.Isotopologue.Column;
  const char code[2] = {column_char(line, m), column_char(line, m + 1)};
  if (moleculeType != std::string_view(code, 2)) {
    if (line.find_first_not_of(" \t\r\n") == std::string_view::npos) return TLineVerdict::Blank;
    // HITRAN writes the molecule number right-aligned in two columns and the isotopologue as one digit
    // or letter (0 for the tenth, A and B beyond).
    const bool number = (code[0] == ' ' || std::isdigit(static_cast<unsigned char>(code[0]))) &&
                        std::isdigit(static_cast<unsigned char>(code[1])) &&
                        std::isalnum(static_cast<unsigned char>(column_char(line, iso)));
    return number ? TLineVerdict::OtherMolecule : TLineVerdict::NotARecord;
  }
  if (column_char(line, iso) != '1') return TLineVerdict::OtherIsotopologue;
  const std::size_t b = layout.Branch;
  if (b > 0 && column_char(line, b) == 'R' && column_char(line, b + 1) != 'P')
    return TLineVerdict::BranchFilter;
  return TLineVerdict::Kept;
}

bool FieldToReal(std::string_view text, double& value) {
  while (!text.empty() && is_blank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && is_blank(text.back()))
    text.remove_suffix(1);
  std::array<char, 64> buffer{};
  if (text.empty() || text.size() > buffer.size()) return false;
  std::size_t n = 0;
  bool exponent_letter_seen = false;
  for (char c : text) {
    if (!exponent_letter_seen && (c == 'D' || c == 'd')) {
      c = 'E';
      exponent_letter_seen = true;
    }
    buffer[n++] = c;
  }
  const char* first = buffer.data();
  const char* last = buffer.data() + n;
  bool negative = false;
  if (*first == '+' || *first == '-') {
    negative = *first == '-';
    ++first;
  }
  // A second sign, or letters such as "inf"/"nan", are not numbers in a line record.
  if (first == last || !(std::isdigit(static_cast<unsigned char>(*first)) || *first == '.')) return false;
  double parsed = 0;
  auto [end, error] = std::from_chars(first, last, parsed, std::chars_format::general);
  if (error == std::errc::result_out_of_range) {
    // Too small for a double is still a number: it reads as 0 (or a subnormal), as an extended
    // conversion stored into a double gives. Too large stays an error.
    long double wide = 0;
    auto [wide_end, wide_error] = std::from_chars(first, last, wide, std::chars_format::general);
    if (wide_error != std::errc() || wide_end != last || !(std::fabs(wide) < DBL_MIN)) return false;
    parsed = static_cast<double>(wide);
    end = wide_end;
    error = std::errc();
  }
  if (error != std::errc() || end != last || !std::isfinite(parsed)) return false;
  value = negative ? -parsed : parsed;
  return true;
}

void CheckOneRecord(std::string_view line, const std::string& file, long lineNumber,
                    const THitranLayout& layout) {
  const std::size_t kLongestRecord = layout.Longest;
  if (line.size() <= kLongestRecord) return;
  std::size_t length = line.size();
  while (length > kLongestRecord && is_blank(line[length - 1]))
    --length;
  if (length <= kLongestRecord) return;
  throw std::runtime_error(
      "line " + std::to_string(lineNumber) + " in " + (file.empty() ? std::string("(no file)") : file) +
      " holds " + std::to_string(length) + " characters, more than one record of " +
      (kLongestRecord == 160 ? std::string("100 or 160") : std::to_string(kLongestRecord)) +
      ": "
      "records run together there, and reading stops at it");
}

double PressureShift(std::string_view line, const THitranLayout& layout) {
  const std::size_t kColumn = layout.Shift.Column, kWidth = layout.Shift.Width;
  if (kWidth == 0) return std::nan("");
  double value = std::nan("");
  if (line.size() < kColumn - 1 + kWidth || !FieldToReal(line.substr(kColumn - 1, kWidth), value))
    return std::nan("");
  return value;
}

THitranLine ParseLine(std::string_view line, const std::string& file, long lineNumber,
                      const THitranLayout& layout) {
  std::array<double, 6> values{};
  for (std::size_t i = 0; i < kFieldNames.size(); ++i) {
    const TFieldPlace& f = layout.Fields[i];
    // Formed only for a message: reading stays free of allocations.
    auto name = [&] {
      return std::string(kFieldNames[i]) + " (columns " + std::to_string(f.Column) + "-" +
             std::to_string(f.End()) + ")";
    };
    // A field cut off by the end of the line is not converted: it would silently read as a
    // different number.
    if (line.size() < f.Column - 1 + f.Width) {
      std::string_view rest = line.size() >= f.Column ? line.substr(f.Column - 1) : std::string_view();
      throw EHitranConvertError(file, lineNumber, name() + " (line too short)", std::string(rest));
    }
    std::string_view text = line.substr(f.Column - 1, f.Width);
    if (!FieldToReal(text, values[i])) throw EHitranConvertError(file, lineNumber, name(), std::string(text));
  }
  THitranLine result;
  result.Wavenumber = values[0];
  result.Intensity = values[1];
  result.AirWidth = values[2];
  result.SelfWidth = values[3];
  result.LowerStateEnergy = values[4];
  result.WidthExponent = values[5];
  return result;
}

} // namespace zqhitran
