// Base of every chart data source (line lists, generated curves, column files): declared INI parameters,
// line-by-line file reading with comment skipping, column names, display settings and x-unit conversion,
// and the fill operation. Also the registry that creates a data-file object from its FileType name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

class TLineSeries;
class TzqINI_File;

// Where a declared parameter stores the value read: text, 32-bit integer or double.
using TzqParameterTarget = std::variant<std::string*, int32_t*, double*>;

// One declared INI parameter of a data file's section.
struct TzqDatafileParameter {
  TzqParameterTarget Target;
  std::string Kind;         // "string", "Integer" or "real" (letter case ignored)
  std::string Key;          // key in the object's section
  std::string DefaultText;  // default for kind "string"
  double DefaultNumber = 0; // default for "Integer" (truncated towards zero) and "real"
  std::string Options;      // kind "string": "notrim" (unquote), "trim" (unquote and trim), else as read
};

// A named column of a column file; Column counts from 1.
struct TzqColumnName {
  std::string Name;
  int32_t Column = 0;
};

namespace zq_datafile_detail {
class LineReader;
}

class TzqDatafile {
public:
  TzqDatafile();
  virtual ~TzqDatafile();
  TzqDatafile(const TzqDatafile&) = delete;
  TzqDatafile& operator=(const TzqDatafile&) = delete;

  std::string Filename;            // file last given to LoadFromFile
  double XOffset = 0;              // added to every plotted x
  double YScale = 1;               // multiplies every plotted y
  double YOffset = 0;              // added to y after scaling
  bool PlotDerivative = false;     // plot the slope between successive samples
  bool DerivativeAtSample = false; // slope at the later sample's x instead of midway
  std::string SeriesType;          // texts last passed to FillSeries
  std::string XType;
  std::vector<TzqColumnName> ColumnNames;
  TLineSeries* Series = nullptr; // series last filled; not owned
  double XMin = 0;
  double XMax = 0;
  int32_t NumberOfColumns = -1;
  int32_t FirstLine = 0;
  std::string Missing = "nan";
  std::string Header;
  std::string XUnitsDefault = "bp";
  int32_t XConversion = -1; // conversion code chosen by SetXUnits; -1: none
  std::string XSourceUnits;
  // Optional: told during LoadFromFile how far reading has come (bytes of the file read so far and the
  // file's size): once before the first line, then after every ReadProgressStep bytes or more, so a
  // caller can show progress on a large file without slowing the reading loop.
  std::function<void(uint64_t bytesRead, uint64_t total)> OnReadProgress;
  static constexpr uint64_t ReadProgressStep = 2u << 20;
  // The longest line read (bytes, without its ending). A longer one ends the reading with an error
  // naming the line, so memory stays bounded whatever the file holds.
  static constexpr std::size_t MaxLineLength = 1u << 20;

  // Reads the file: filename, when not empty, becomes Filename; a file that does not exist is skipped
  // silently (the loader reports it). Errors raised by ProcessLine pass to the caller; records added so
  // far stay, and the file is closed in every case. A file that exists but cannot be read throws
  // std::runtime_error.
  void LoadFromFile(const std::string& filename = {});

  // Skips leading comment lines (first character ">" or "%") and returns the first data line. An empty
  // line is a data line. Returns the last line read when every line is a comment, and an empty text for
  // an empty file. The view stays valid until the next line is read.
  virtual std::string_view ReadFirstDataLine();
  // Handles one line (without its line ending); the base ignores it.
  virtual void ProcessLine(std::string_view line);
  // Called once after the last line was handled, to check the file as a whole; the base does nothing.
  virtual void FinishReading() {}
  // Fills the series from the object; the base calls FillSeries inside one update batch of the series.
  virtual void PlotSeries(TLineSeries& series, const std::string& seriesType, const std::string& xType);
  // The base remembers the series and both texts, empties the series and keeps its points in the order
  // added. Descendants call it first and then add points.
  virtual void FillSeries(TLineSeries& series, const std::string& seriesType, const std::string& xType);
  // Whether XOffset, YScale, YOffset and PlotDerivative change what FillSeries plots. Computed curves
  // (line lists, blackbody tables) ignore them; the chart's properties dialog offers them only where true.
  virtual bool AppliesPlotAdjustments() const { return false; }

  // Declares a parameter; throws std::invalid_argument when the kind is unknown or does not match the
  // target's type (a programming error).
  void AddParameter(TzqParameterTarget target, const std::string& kind, const std::string& key,
                    const std::string& defaultText, double defaultNumber, const std::string& options = {});
  // The parameter at index, or nullptr when index is negative or not below ParameterCount().
  const TzqDatafileParameter* ParameterAt(int32_t index) const;
  int32_t ParameterCount() const { return static_cast<int32_t>(Parameters.size()); }
  // Reads every declared parameter from the section into its target, in declaration order.
  void ReadParameters(TzqINI_File& ini, const std::string& section);

  // Records belong to the descendant, which keeps them in a container of its own record type and
  // clears it here; the base has none.
  virtual void ClearRecords() {}
  virtual std::size_t RecordCount() const { return 0; }
  // What reading the file left out that the user must hear of (a sentence), or empty.
  virtual std::string ReadNote() const { return {}; }

  void ClearColumns() { ColumnNames.clear(); }
  // Column number of the first entry named name (letter case ignored), or -1.
  int32_t ColumnIndex(std::string_view name) const;

  // XConversion := conversion code from XSourceUnits to unitName (-1 when there is none).
  void SetXUnits(const std::string& unitName);
  double ConvertX(double x) const;

protected:
  // Reads every line of the open file: ReadFirstDataLine, then each following line, each passed to
  // ProcessLine exactly once in file order. Does nothing when no file is open.
  void ReadAllLines();
  // For ReadFirstDataLine overrides: the next line without its line ending (LF, CR LF or a lone CR), valid
  // until the next call; false at the end of the file. Lines are served from one reused buffer. A line
  // longer than MaxLineLength throws std::runtime_error naming the line.
  bool ReadLine(std::string_view& line);
  // True when no further line can be read. Never invalidates the line last read.
  bool Eof();
  // Number of lines read from the open file so far (the last line read is line LinesRead()), for messages
  // that name a line.
  std::size_t LinesRead() const { return lines_read_; }

private:
  std::vector<TzqDatafileParameter> Parameters;
  std::unique_ptr<zq_datafile_detail::LineReader> file_; // open only during LoadFromFile
  std::size_t lines_read_ = 0;
};

// Holds a series in one update batch for the object's lifetime, so a whole fill (clear and every point)
// reaches the chart as one change, also when an error passes.
class TzqSeriesBatch {
public:
  explicit TzqSeriesBatch(TLineSeries& series);
  ~TzqSeriesBatch();
  TzqSeriesBatch(const TzqSeriesBatch&) = delete;
  TzqSeriesBatch& operator=(const TzqSeriesBatch&) = delete;

private:
  TLineSeries& series_;
};

// Parameter text unquoting: trim blanks; when the rest begins and ends with a double quote, keep what lies
// between them with every doubled quote made single. Blanks inside the quotes stay (" 2" gives blank, 2).
std::string UnquoteParameterText(std::string_view text);

// Bytes of a data file as they may appear in a message: printable ASCII stays, every other byte (control
// characters, NUL, bytes above 126) is written as \xNN, and a backslash as \\, so that no escape
// sequence reaches a terminal and no NUL cuts a message short.
std::string PrintableBytes(std::string_view bytes);

// Why path is no file of lines that can be read, as the end of a sentence naming it ("is a folder, not a
// file", "is a named pipe (FIFO)...", "is a link in a loop of links", "does not exist"); empty when it
// is a regular file. Never opens the path, so a FIFO or a device cannot make the caller wait.
std::string NotAReadableFileReason(const std::string& path);

// Creates a new object of one data-file class.
using TzqDatafileClass = std::function<std::unique_ptr<TzqDatafile>()>;

// FileType name -> data-file class. Filled once during program initialisation (no static registration).
class TzqDatafile_TypeList {
public:
  // Appends an entry; nothing is checked, a name may be registered twice (the later one wins).
  void RegisterType(const std::string& name, TzqDatafileClass cls);
  template <class T> void RegisterType(const std::string& name) {
    RegisterType(name, [] { return std::unique_ptr<TzqDatafile>(std::make_unique<T>()); });
  }
  // A new object of the class registered last under name (whole text, letter case ignored), or nullptr.
  std::unique_ptr<TzqDatafile> CreateByType(std::string_view name) const;
  std::size_t Count() const { return entries_.size(); }

private:
  struct Entry {
    std::string Name;
    TzqDatafileClass Class;
  };
  std::vector<Entry> entries_;
};

// The program's one registry, created at the first call.
TzqDatafile_TypeList& DatafileTypes();
