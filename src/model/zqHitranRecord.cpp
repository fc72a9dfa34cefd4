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

// 1-based column, width, and name of each converted field, in record order.
struct FieldSpec {
  std::size_t column;
  std::size_t width;
  const char* name;
};
constexpr std::array<FieldSpec, 6> kFields{{{4, 12, "Wavenumber (columns 4-15)"},
                                            {16, 10, "Intensity (columns 16-25)"},
                                            {36, 5, "AirWidth (columns 36-40)"},
                                            {41, 5, "SelfWidth (columns 41-45)"},
                                            {46, 10, "LowerStateEnergy (columns 46-55)"},
                                            {56, 4, "WidthExponent (columns 56-59)"}}};

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

TLineVerdict JudgeLine(std::string_view line, std::string_view moleculeType) {
  const char code[2] = {column_char(line, 1), column_char(line, 2)};
  if (moleculeType != std::string_view(code, 2)) {
    if (line.find_first_not_of(" \t\r\n") == std::string_view::npos) return TLineVerdict::Blank;
    // HITRAN writes the molecule number right-aligned in two columns and the isotopologue as one digit
    // or letter (0 for the tenth, A and B beyond).
    const bool number = (code[0] == ' ' || std::isdigit(static_cast<unsigned char>(code[0]))) &&
                        std::isdigit(static_cast<unsigned char>(code[1])) &&
                        std::isalnum(static_cast<unsigned char>(column_char(line, 3)));
    return number ? TLineVerdict::OtherMolecule : TLineVerdict::NotARecord;
  }
  if (column_char(line, 3) != '1') return TLineVerdict::OtherIsotopologue;
  if (column_char(line, 86) == 'R' && column_char(line, 87) != 'P') return TLineVerdict::BranchFilter;
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

void CheckOneRecord(std::string_view line, const std::string& file, long lineNumber) {
  constexpr std::size_t kLongestRecord = 160;
  if (line.size() <= kLongestRecord) return;
  std::size_t length = line.size();
  while (length > kLongestRecord && is_blank(line[length - 1]))
    --length;
  if (length <= kLongestRecord) return;
  throw std::runtime_error("line " + std::to_string(lineNumber) + " in " +
                           (file.empty() ? std::string("(no file)") : file) + " holds " +
                           std::to_string(length) +
                           " characters, more than one record of 100 or 160: "
                           "records run together there, and reading stops at it");
}

double PressureShift(std::string_view line) {
  constexpr std::size_t kColumn = 60, kWidth = 8;
  double value = std::nan("");
  if (line.size() < kColumn - 1 + kWidth || !FieldToReal(line.substr(kColumn - 1, kWidth), value))
    return std::nan("");
  return value;
}

THitranLine ParseLine(std::string_view line, const std::string& file, long lineNumber) {
  std::array<double, 6> values{};
  for (std::size_t i = 0; i < kFields.size(); ++i) {
    const FieldSpec& f = kFields[i];
    // A field cut off by the end of the line is not converted: it would silently read as a
    // different number.
    if (line.size() < f.column - 1 + f.width) {
      std::string_view rest = line.size() >= f.column ? line.substr(f.column - 1) : std::string_view();
      throw EHitranConvertError(file, lineNumber, std::string(f.name) + " (line too short)",
                                std::string(rest));
    }
    std::string_view text = line.substr(f.column - 1, f.width);
    if (!FieldToReal(text, values[i])) throw EHitranConvertError(file, lineNumber, f.name, std::string(text));
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
