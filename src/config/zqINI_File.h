// TzqINI_File: the configuration store. Named sections of key/value records filled at start-up from the
// command line, the default text INI_Default and the INI file; typed reads with defaults; writing back in
// three modes. Also the 8-bit string helpers that other modules reuse. Text is bytes throughout.
#pragma once

#include "zqCustomFile_IO.h"

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// ---- 8-bit string helpers (positions count from 1; "ignoring case" means ASCII letters only)

// Removes leading and trailing characters with codes up to 32.
std::string zqTrim(std::string_view text);
// ASCII letters upper-cased, every other byte kept.
std::string zqUpperCase(std::string_view text);
// Text before the first occurrence of separator; empty when separator does not occur.
std::string TextBefore(const std::string& text, const std::string& separator, bool caseSensitive);
// Text after the first occurrence of separator; empty when separator does not occur.
std::string TextAfter(const std::string& text, const std::string& separator, bool caseSensitive);
// Position of sought in text searching from start (below 1 counts as 1); 0 when absent or start is past
// the end.
int PosFrom(const std::string& text, const std::string& sought, int start, bool caseSensitive);
// Trims; a text enclosed in double quotes loses them and doubled quotes become single; trims again.
std::string Unquote(const std::string& text);
// The non-empty runs of characters that are not delimiters (delimiters matched ignoring case).
std::vector<std::string> SplitByChars(const std::string& text, const std::string& delimiters);
// Splits bytes into lines at CR LF, LF or a lone CR; a final line break does not start another line.
std::vector<std::string> zqSplitLines(std::string_view bytes);

// ---- values in INI text
// A value is written as it stands unless reading would not give back its bytes: it holds a byte below 32
// other than a tab, or DEL, or begins or ends with a blank, or begins with the two characters
// backslash and double quote. Such a value is written as backslash, double quote, the value with
// \\ \" \n \r \t and \xHH for the other control bytes, and a closing double quote. Everything else
// (every value a file held so far, the quoted Molecule_type included) is read and written unchanged.
std::string zqIniValueText(std::string_view value);
// The value a stored text stands for: the decoded text of an escaped value, else the text itself.
std::string zqIniValueOf(std::string_view text);
// The longest line an INI file may hold (bytes); reading refuses a longer one, so a save does too.
constexpr std::size_t kMaxIniLineBytes = std::size_t{1} << 20;

// ---- number text, with the process locale's decimal separator (localeconv())

// The decimal separator of the process locale ("." when it has none), unless overridden.
std::string zqDecimalSeparator();
// Fixes the separator instead of the process locale (for machines without a comma locale); an empty
// optional returns to the locale.
void zqOverrideDecimalSeparator(std::optional<std::string> separator);
// Text to real: blanks around, optional sign, digits with one optional decimal separator, optional
// exponent. False for anything else, for an empty text and for values out of range.
bool zqTextToReal(std::string_view text, long double& value, std::string_view decimalSeparator);
bool zqTextToReal(std::string_view text, long double& value);
// A number in INI text: "." as decimal separator always, and also the process locale's separator where it
// is another single character that cannot be part of a number otherwise (a German "0,5"). A configuration
// written with points then reads the same under every locale.
bool zqIniTextToReal(std::string_view text, long double& value);
// General format with 15 significant digits: "0.5", "288", "1E-20", "1.5E20".
std::string zqFloatToText(long double value, std::string_view decimalSeparator);
std::string zqFloatToText(long double value);

// ---- the store

// One key of one section. All fields are 8-bit text.
struct T_zq_ini_Record {
  std::string Key;          // as first stored
  std::string Value;        // what every read returns
  std::string DefaultValue; // from INI_Default, or the default of the last ReadString with a default
  std::string ParsedValue;  // last value parsed from text
  std::string CmdLineValue; // forced by the command line; while set, parsing never overwrites Value
  std::string Status;       // write bookkeeping: "", "A", "M" or "W"
};

struct T_zq_ini_Section {
  std::string Name; // spelled as when first created
  std::vector<std::unique_ptr<T_zq_ini_Record>> Records;
};

enum TzqINI_File_WriteMode { zqWM_Update = 0, zqWM_Generate = 1, zqWM_AddSection = 2 };

class TzqINI_File : public TzqFile_IO_Events<TzqINI_File> {
public:
  static constexpr const char* StartOfFile = "__StartOfFile";
  static constexpr const char* NullValue = "NullValue_xx";

  TzqINI_File();
  ~TzqINI_File() override;

  // Start-up loading: command line, INI_Default, the file, OnReadComplete. The application calls it once
  // after setting the properties.
  void Loaded() override;

  // ---- properties
  bool WindowsCompatible = false;
  TzqINI_File_WriteMode WriteMode = zqWM_Update;
  // Update mode only: keys added or changed in memory that the old file has no line for are written
  // too, at the end of their section's lines (or in a new section at the end), instead of being lost.
  // Every other line keeps its bytes. Off by default: the plain update writer copies the old lines only.
  bool AppendChangedKeys = false;
  bool IgnoreNotFound = true;
  bool Ignore_CmdLine = false;
  // Where the file goes when no /ini names one and the program's folder cannot be written (an installed
  // copy): this folder, created when missing, with the same file name. Empty: always the program's folder.
  // Taken from the platform's UserConfigFolder at creation.
  std::string UserFolder;
  std::string CmdLineParms = "/ini";
  std::vector<std::string> CmdLineHelp;
  std::vector<std::string> CmdLineMap;
  std::vector<std::string> INI_Default;
  // Called with the help text before it is shown; may change or empty it.
  std::function<void(TzqINI_File&, std::string& String1)> OnCmdLnHelp;
  std::function<void(TzqINI_File&)> OnMapCmdLine;

  // Upper-cased switch name, "=", value; one line per switch given.
  const std::vector<std::string>& CmdLineValues() const { return cmdLineValues_; }
  // The lines of the target file when the last save began.
  const std::vector<std::string>& OriginalLines() const { return originalLines_; }
  const std::string& CurrentSection() const { return currentSection_; }

  // ---- reading
  virtual std::string ReadString(const std::string& section, const std::string& key);
  virtual std::string ReadString(const std::string& section, const std::string& key, const std::string& def);
  virtual int32_t ReadInteger(const std::string& section, const std::string& key);
  virtual int32_t ReadInteger(const std::string& section, const std::string& key, int32_t def);
  virtual long double ReadReal(const std::string& section, const std::string& key);
  virtual long double ReadReal(const std::string& section, const std::string& key, long double def);
  virtual std::string ReadByIndex(int section, int key);
  virtual void GetSectionNames(std::vector<std::string>& names);
  virtual void GetKeyNames(const std::string& section, std::vector<std::string>& names);
  // The record of section/key, or nullptr; never creates anything.
  const T_zq_ini_Record* FindRecord(const std::string& section, const std::string& key) const;
  // True when the section exists (letter case ignored); never creates anything.
  bool HasSection(const std::string& section) const;

  // ---- parsing
  virtual void LoadFromLines(const std::vector<std::string>& lines);
  // Reads the text in pieces (a UTF-8 byte-order mark skipped); a line over 1 MiB throws EzqFileError
  // naming it, after the lines before it were parsed.
  virtual void LoadFromText(std::istream& in);

  // ---- command line
  // Reads zq::platform().Arguments() and runs ParseCommandLineArgs.
  virtual void ParseCommandLine();
  // Splits the arguments (program path excluded) into switches, applies the ini switch, shows help when
  // asked, then applies CmdLineMap and raises OnMapCmdLine.
  void ParseCommandLineArgs(const std::vector<std::string>& args);
  virtual std::string GetCmdLineValue(const std::string& switchName) const;
  virtual void ApplyCmdLineMap();

  // ---- writing
  virtual void WriteString(const std::string& section, const std::string& key, const std::string& value);
  virtual void WriteInteger(const std::string& section, const std::string& key, int32_t value);
  virtual void WriteReal(const std::string& section, const std::string& key, long double value);
  virtual void WriteReal(const std::string& section, const std::string& key, int decimals, long double value);
  virtual void WriteReal(const std::string& section, const std::string& key, int decimals, float value);
  // Writes the store to name according to WriteMode, through a temporary file and a backup.
  virtual void SaveToFile(const std::string& name);
  // The three writers, each producing the lines of the new file.
  virtual void WriteUpdate(std::vector<std::string>& out);
  virtual void WriteGenerate(std::vector<std::string>& out);
  virtual void WriteAddSection(const std::string& section, std::vector<std::string>& out);

protected:
  virtual void ParseLine(const std::string& line);
  void StoreParsed(const std::string& section, const std::string& key, const std::string& value);
  // True when every switch given is listed in CmdLineParms.
  virtual bool CmdLineSwitchesValid() const;

  std::vector<std::string> originalLines_;

private:
  // A section with a hash index of its keys, so that reading a file of many keys stays linear.
  struct IndexEntry {
    std::unique_ptr<T_zq_ini_Section> section;
    std::unordered_map<std::string, T_zq_ini_Record*> keys; // upper-cased Key -> its record
  };
  const IndexEntry* FindEntry(const std::string& name) const;
  T_zq_ini_Section* FindSection(const std::string& name);
  const T_zq_ini_Section* FindSectionConst(const std::string& name) const;
  T_zq_ini_Record* FindKey(const std::string& section, const std::string& key);
  T_zq_ini_Record& AddKey(const std::string& section, const std::string& key);
  void KeyLines(const T_zq_ini_Section& section, std::vector<std::string>& out);
  // Throws EzqFileError naming the key (or, without a record, the section) when line or the names could
  // not be read back as written.
  void CheckWritable(const std::string& section, const T_zq_ini_Record* record,
                     const std::string& line) const;
  void AppendUnwrittenKeys(std::vector<std::string>& out);
  void ShowHelp();

  std::map<std::string, IndexEntry> index_; // by upper-cased name: the index order
  // The sections in index order for ReadByIndex; rebuilt when a section has been added since.
  mutable std::vector<T_zq_ini_Section*> byPosition_;
  T_zq_ini_Section* currentList_ = nullptr;
  std::string currentSection_ = StartOfFile;
  bool loadingDefaults_ = false;
  std::string originalEol_ = "\n";
  std::vector<std::string> cmdLineValues_;
};
