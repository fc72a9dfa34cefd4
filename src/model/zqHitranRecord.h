// One absorption line of a HITRAN line list and the reading of its fixed-width text record. The
// fields sit in the same columns in the old 100-character and the 160-character records, so one
// column reader serves both; numbers are parsed by column because neighbouring fields may touch.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

// One kept line, 64 bytes. Wavenumber, widths and energy in cm-1; intensities in
// cm-1 / (molecule cm-2); widths per atmosphere.
struct alignas(64) THitranLine {
  double Wavenumber = 0;
  double Intensity = 0;
  double AirWidth = 0;
  double SelfWidth = 0; // self broadening: the HITRAN line physics only (the classic model uses air alone)
  double LowerStateEnergy = 0;
  double WidthExponent = 0;     // n_air: the HITRAN line physics only (the classic model's exponent is 0.5)
  double AdjustedIntensity = 0; // the classic model's intensity and width at its last conditions
  double AdjustedWidth = 0;
};
static_assert(sizeof(THitranLine) == 64, "a line record must fit one cache line");

// A field of a record that is not a number. Carries the file, the 1-based line number and the
// field so the user can find the bad record.
class EHitranConvertError : public std::runtime_error {
public:
  EHitranConvertError(std::string file, long lineNumber, std::string field, std::string text);
  const std::string& FileName() const { return file_; }
  long LineNumber() const { return line_; }
  const std::string& Field() const { return field_; }
  const std::string& FieldText() const { return text_; }

private:
  std::string file_;
  long line_;
  std::string field_;
  std::string text_;
};

namespace zqhitran {

// Where the fields of a record stand: 1-based first column and width. The standard layout is the
// 100/160-character HITRAN record; a HITRAN-API table's header may place them elsewhere and add columns.
struct TFieldPlace {
  std::size_t Column = 0, Width = 0;
  std::size_t End() const { return Column + Width - 1; } // last column
};
struct THitranLayout {
  TFieldPlace Molecule{1, 2}, Isotopologue{3, 1};
  // Wavenumber, Intensity, AirWidth, SelfWidth, LowerStateEnergy, WidthExponent, in record order.
  TFieldPlace Fields[6] = {{4, 12}, {16, 10}, {36, 5}, {41, 5}, {46, 10}, {56, 4}};
  TFieldPlace Shift{60, 8};  // delta_air; Width 0 when the table has none
  std::size_t Branch = 86;   // the column whose "R" must be followed by "P"; 0 when the table has none
  std::size_t Longest = 160; // the longest record (trailing blanks aside)
  long Rows = -1;            // records the table holds, -1 when not said
};
const THitranLayout& StandardLayout();

// The three keep tests: molecule code in columns 1-2 equal to moleculeType, isotopologue "1" in
// column 3, and "R" in column 86 only when followed by "P". A character past the end of a short
// line counts as a blank.
bool LinePasses(std::string_view line, std::string_view moleculeType);

// Why a line is not kept, so reading can count what it leaves out.
enum class TLineVerdict {
  Kept,
  OtherMolecule,     // a record of another molecule number
  OtherIsotopologue, // a record of the molecule, but not isotopologue 1
  BranchFilter,      // "R" in column 86 not followed by "P"
  Blank,             // an empty or blank line
  NotARecord,        // columns 1-3 are no molecule and isotopologue number
};
TLineVerdict JudgeLine(std::string_view line, std::string_view moleculeType,
                       const THitranLayout& layout = StandardLayout());

// Records hold 100 or 160 characters. Throws std::runtime_error naming file and line when the line,
// without trailing blanks, is longer: records run together there (a lost line break), and keeping the
// first would drop the others without a word.
void CheckOneRecord(std::string_view line, const std::string& file, long lineNumber,
                    const THitranLayout& layout = StandardLayout());

// Converts the six fields of a kept line. Throws EHitranConvertError (file and line number as
// given) for a field that is missing, cut short or not a finite number.
THitranLine ParseLine(std::string_view line, const std::string& file, long lineNumber,
                      const THitranLayout& layout = StandardLayout());

// The air pressure shift delta_air (cm-1/atm, columns 60-67) of a record, read only by the HITRAN line
// physics; NaN when the record has no such field or it is not a number (never throws, so reading a
// file for the classic model is unchanged).
double PressureShift(std::string_view line, const THitranLayout& layout = StandardLayout());

// Text-to-real of one field: blanks around it allowed, the first "D"/"d" read as "E", leading
// sign, no leading zero needed (".0746", "-.000586"); a value too small for a double reads as 0 (or
// a subnormal). False when the text is no finite number or too large for a double.
bool FieldToReal(std::string_view text, double& value);

} // namespace zqhitran
