// The data-file base: which lines reach ProcessLine (comments, line endings, buffer refills), loading
// failures, declared parameters, columns, x units, the base fill, and the FileType registry.
#include "zqDatafile.h"

#include "TestSupport.h"
#include "zqLineSeries.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

// Records every line it is given, so tests can see exactly what reading passes on.
class LineRecorder : public TzqDatafile {
public:
  std::vector<std::string> Lines;
  std::vector<std::size_t> LineNumbers;
  int ThrowAtLine = -1;
  void ProcessLine(std::string_view line) override {
    if (static_cast<int>(Lines.size()) == ThrowAtLine) throw std::runtime_error("bad line");
    Lines.emplace_back(line);
    LineNumbers.push_back(LinesRead());
  }
  std::size_t RecordCount() const override { return Lines.size(); }
};

std::vector<std::string> lines_of(const std::string& content) {
  zqtest::TempDir dir;
  zqtest::WriteFile(dir / "f.txt", content);
  LineRecorder f;
  f.LoadFromFile((dir / "f.txt").string());
  return f.Lines;
}

using Lines = std::vector<std::string>;

} // namespace

TEST(DatafileReading, CommentLinesBeforeTheFirstDataLineAreSkipped) {
  EXPECT_EQ(lines_of(">a\n%b\n1 2\n>c\n3 4\n"), (Lines{"1 2", ">c", "3 4"}));
  EXPECT_EQ(lines_of("1 2\n3 4\n"), (Lines{"1 2", "3 4"}));
  // A file of comments passes only its last line; an empty file passes one empty text.
  EXPECT_EQ(lines_of(">a\n%b\n>c\n"), (Lines{">c"}));
  EXPECT_EQ(lines_of(""), (Lines{""}));
  // An empty line has no comment mark, so it is the first data line.
  EXPECT_EQ(lines_of(">a\n\n>b\n1\n"), (Lines{"", ">b", "1"}));
}

TEST(DatafileReading, LineNumbersCountSkippedComments) {
  zqtest::TempDir dir;
  zqtest::WriteFile(dir / "f.txt", ">a\n%b\n1\n2");
  LineRecorder f;
  f.LoadFromFile((dir / "f.txt").string());
  EXPECT_EQ(f.LineNumbers, (std::vector<std::size_t>{3, 4}));
  f.LoadFromFile(); // counting starts again with each load
  EXPECT_EQ(f.LineNumbers, (std::vector<std::size_t>{3, 4, 3, 4}));
}

TEST(DatafileReading, LineEndings) {
  EXPECT_EQ(lines_of("a\r\nb\r\n"), (Lines{"a", "b"}));
  EXPECT_EQ(lines_of("a\nb"), (Lines{"a", "b"}));
  EXPECT_EQ(lines_of("a\r\nb\r"), (Lines{"a", "b"}));
  EXPECT_EQ(lines_of("a\n\n"), (Lines{"a", ""}));
  EXPECT_EQ(lines_of("\n"), (Lines{""}));
  // A lone CR ends a line too (files from old Macintosh editors), and CR LF stays one ending.
  EXPECT_EQ(lines_of("a\rb\n"), (Lines{"a", "b"}));
  EXPECT_EQ(lines_of("a\rb\rc"), (Lines{"a", "b", "c"}));
  EXPECT_EQ(lines_of("a\r\rb\r\n\nc\n\r"), (Lines{"a", "", "b", "", "c", ""}));
  EXPECT_EQ(lines_of(std::string("a\0b\nc", 5)), (Lines{std::string("a\0b", 3), "c"}));
}

TEST(DatafileReading, LinesAcrossBufferRefillsAndLongerThanTheBuffer) {
  // Lines of varying length cross every refill boundary; one line is far longer than any buffer block.
  std::string content;
  Lines expected;
  for (int i = 0; i < 60000; ++i) {
    std::string line = std::to_string(i) + std::string(i % 37, 'x');
    expected.push_back(line);
    content += line + (i % 3 == 0 ? "\r\n" : "\n");
  }
  const std::string huge(TzqDatafile::MaxLineLength, 'h'); // the longest line allowed
  expected.push_back(huge);
  content += huge + "\r\n";
  expected.push_back("last");
  content += "last";
  EXPECT_EQ(lines_of(content), expected);
}

namespace {
// Asks for the end of the file while it still holds the line it is about to return, as an override that
// stops at the end of the file does.
class PeekingReader : public LineRecorder {
public:
  std::string_view ReadFirstDataLine() override {
    std::string_view line;
    ReadLine(line);
    Eof();
    return line;
  }
};
} // namespace

TEST(DatafileReading, LineEndingExactlyAtABlockBoundaryStaysValidWhileTheEndIsTested) {
  for (std::size_t boundary : {65536u, 131072u, 262144u, 524288u, 1048576u}) {
    const std::string first(boundary - 1, 'a');
    // The CR of a CR LF pair may be the last byte of a block, its LF the first of the next.
    for (const std::string& ending : {std::string("\n"), std::string("\r\n"), std::string("\r")}) {
      for (const std::string& rest : {std::string("b\n"), std::string("\rb"), std::string()}) {
        zqtest::TempDir dir;
        zqtest::WriteFile(dir / "f.txt", first + ending + rest);
        PeekingReader f;
        f.LoadFromFile((dir / "f.txt").string());
        const Lines expected = rest.empty()    ? Lines{first}
                               : rest == "b\n" ? Lines{first, "b"}
                                               : Lines{first, "", "b"};
        EXPECT_EQ(f.Lines, expected) << "boundary " << boundary << " ending " << ending.size();
      }
    }
  }
}

TEST(DatafileReading, LineWithoutAnEndWithinTheLimitIsAnErrorNamingItAndEarlierLinesStay) {
  // A file without line breaks (or a binary file) must not be read into memory whole, nor be read as
  // nothing without a word.
  for (const std::string& ending : {std::string("\n"), std::string()}) {
    zqtest::TempDir dir;
    const auto file = dir / "blob.bin";
    zqtest::WriteFile(file, "first\r\nsecond\n" + std::string(TzqDatafile::MaxLineLength + 1, '\0') + ending);
    LineRecorder f;
    try {
      f.LoadFromFile(file.string());
      FAIL() << "no error raised";
    } catch (const std::runtime_error& e) {
      const std::string what = e.what();
      EXPECT_NE(what.find("Line 3 "), std::string::npos) << what;
      EXPECT_NE(what.find("blob.bin"), std::string::npos) << what;
    }
    EXPECT_EQ(f.Lines, (Lines{"first", "second"}));
  }
}

TEST(DatafileReading, ProgressIsToldAtTheStartAndEveryFewMegabytesOnly) {
  zqtest::TempDir dir;
  const std::string line(99, 'r');
  std::string content;
  for (int i = 0; i < 70000; ++i) // 7,000,000 bytes
    content += line + "\n";
  zqtest::WriteFile(dir / "big.txt", content);
  LineRecorder f;
  std::vector<std::pair<uint64_t, uint64_t>> calls;
  std::size_t linesAtFirstCall = 99;
  f.OnReadProgress = [&](uint64_t read, uint64_t total) {
    if (calls.empty()) linesAtFirstCall = f.Lines.size();
    calls.emplace_back(read, total);
  };
  f.LoadFromFile((dir / "big.txt").string());
  EXPECT_EQ(f.Lines.size(), 70000u);
  ASSERT_GE(calls.size(), 3u);
  EXPECT_LE(calls.size(), 1 + content.size() / TzqDatafile::ReadProgressStep);
  EXPECT_EQ(linesAtFirstCall, 0u); // told before the first line, so a dialog can open first
  EXPECT_EQ(calls.front(), std::make_pair(uint64_t{0}, uint64_t{content.size()}));
  for (std::size_t i = 1; i < calls.size(); ++i) {
    EXPECT_GE(calls[i].first - calls[i - 1].first, TzqDatafile::ReadProgressStep);
    EXPECT_LE(calls[i].first, calls[i].second);
    EXPECT_EQ(calls[i].second, content.size());
  }
  // Without a callback the same file reads the same lines.
  LineRecorder quiet;
  quiet.LoadFromFile((dir / "big.txt").string());
  EXPECT_EQ(quiet.Lines, f.Lines);
}

TEST(DatafileLoading, MissingFileReadsNothingAndKeepsTheName) {
  zqtest::TempDir dir;
  LineRecorder f;
  f.LoadFromFile((dir / "absent.txt").string());
  EXPECT_EQ(f.Filename, (dir / "absent.txt").string());
  EXPECT_TRUE(f.Lines.empty());
  // An empty name reloads the file last named.
  zqtest::WriteFile(dir / "absent.txt", "x\n");
  f.LoadFromFile();
  EXPECT_EQ(f.Lines, (Lines{"x"}));
}

TEST(DatafileLoading, FolderIsAnErrorNotSilence) {
  zqtest::TempDir dir;
  LineRecorder f;
  EXPECT_THROW(f.LoadFromFile(dir.path().string()), std::runtime_error);
}

TEST(DatafileLoading, ErrorInALineStopsReadingKeepsEarlierRecordsAndClosesTheFile) {
  zqtest::TempDir dir;
  zqtest::WriteFile(dir / "f.txt", "1\n2\n3\n4\n");
  LineRecorder f;
  f.ThrowAtLine = 2;
  EXPECT_THROW(f.LoadFromFile((dir / "f.txt").string()), std::runtime_error);
  EXPECT_EQ(f.Lines, (Lines{"1", "2"}));
  // The file is closed again: a second load starts from its first line.
  f.ThrowAtLine = -1;
  f.Lines.clear();
  f.LoadFromFile();
  EXPECT_EQ(f.Lines, (Lines{"1", "2", "3", "4"}));
}

TEST(DatafileParameters, DeclarationOrderAndBounds) {
  struct Declared : TzqDatafile {
    std::string Text;
    int32_t Count = 0;
    double Value = 0;
    Declared() {
      AddParameter(&Text, "string", "A", "def", 0, "notrim");
      AddParameter(&Count, "Integer", "B", "", 2.9);
      AddParameter(&Value, "REAL", "C", "", 1.5);
    }
  } d;
  ASSERT_EQ(d.ParameterCount(), 3);
  EXPECT_EQ(d.ParameterAt(-1), nullptr);
  EXPECT_EQ(d.ParameterAt(3), nullptr);
  ASSERT_NE(d.ParameterAt(0), nullptr);
  EXPECT_EQ(d.ParameterAt(0)->Key, "A");
  EXPECT_EQ(d.ParameterAt(0)->Options, "notrim");
  EXPECT_EQ(std::get<int32_t*>(d.ParameterAt(1)->Target), &d.Count);
  EXPECT_EQ(d.ParameterAt(2)->DefaultNumber, 1.5);
}

TEST(DatafileParameters, KindMustFitTheMember) {
  TzqDatafile d;
  std::string s;
  int32_t i = 0;
  EXPECT_THROW(d.AddParameter(&s, "Integer", "k", "", 0), std::invalid_argument);
  EXPECT_THROW(d.AddParameter(&i, "real", "k", "", 0), std::invalid_argument);
  EXPECT_THROW(d.AddParameter(&i, "bool", "k", "", 0), std::invalid_argument);
  EXPECT_THROW(d.AddParameter(static_cast<double*>(nullptr), "real", "k", "", 0), std::invalid_argument);
  EXPECT_EQ(d.ParameterCount(), 0);
}

TEST(DatafileParameters, UnquoteKeepsBlanksInsideQuotes) {
  EXPECT_EQ(UnquoteParameterText("\" 2\""), " 2");
  EXPECT_EQ(UnquoteParameterText("  \" 2 \"  "), " 2 ");
  EXPECT_EQ(UnquoteParameterText("\"a\"\"b\"\"\"\"c\""), "a\"b\"\"c");
  EXPECT_EQ(UnquoteParameterText("\"a\"b\""), "a\"b");
  EXPECT_EQ(UnquoteParameterText(" a \"b\" "), "a \"b\"");
  EXPECT_EQ(UnquoteParameterText("\"abc"), "\"abc");
  EXPECT_EQ(UnquoteParameterText("\""), "");
  EXPECT_EQ(UnquoteParameterText("\"\""), "");
  EXPECT_EQ(UnquoteParameterText("   "), "");
}

TEST(DatafileDefaults, InitialValues) {
  TzqDatafile d;
  EXPECT_EQ(d.XConversion, -1);
  EXPECT_EQ(d.NumberOfColumns, -1);
  EXPECT_EQ(d.Missing, "nan");
  EXPECT_EQ(d.XUnitsDefault, "bp");
  EXPECT_EQ(d.YScale, 1);
  EXPECT_EQ(d.Series, nullptr);
  EXPECT_EQ(d.ParameterCount(), 0);
}

TEST(DatafileColumns, IndexIgnoresCaseFirstEntryWins) {
  TzqDatafile d;
  d.ColumnNames = {{"Depth", 3}, {"age", 1}, {"DEPTH", 5}};
  EXPECT_EQ(d.ColumnIndex("depth"), 3);
  EXPECT_EQ(d.ColumnIndex("AGE"), 1);
  EXPECT_EQ(d.ColumnIndex("age "), -1);
  d.ClearColumns();
  EXPECT_EQ(d.ColumnIndex("depth"), -1);
}

TEST(DatafileUnits, NoSourceUnitMeansNoConversion) {
  TzqDatafile d;
  d.SetXUnits("bp");
  EXPECT_EQ(d.XConversion, -1);
  d.XSourceUnits = "km";
  d.SetXUnits("M");
  EXPECT_EQ(d.XConversion, 44);
  EXPECT_EQ(d.ConvertX(2.5), 2500);
}

TEST(DatafileFill, BaseEmptiesTheSeriesAndNotifiesOnce) {
  TLineSeries s;
  int notifications = 0;
  s.OnChange = [&](TLineSeries&, TLineSeries::Change c) {
    notifications += c == TLineSeries::Change::Points;
  };
  s.AddXY(1, 2);
  s.Flush();
  notifications = 0;
  s.XOrder = TChartValueOrder::Ascending;
  TzqDatafile d;
  d.PlotSeries(s, "2", "wavenumber");
  EXPECT_EQ(s.Count(), 0u);
  EXPECT_EQ(s.XOrder, TChartValueOrder::None);
  EXPECT_EQ(d.Series, &s);
  EXPECT_EQ(d.SeriesType, "2");
  EXPECT_EQ(d.XType, "wavenumber");
  EXPECT_EQ(notifications, 1);
}

namespace {
struct First : TzqDatafile {};
struct Second : TzqDatafile {};
} // namespace

TEST(DatafileRegistry, LastRegistrationWinsAndCaseIsIgnored) {
  TzqDatafile_TypeList types;
  types.RegisterType<First>("HITRAN 100");
  types.RegisterType<First>("Generic");
  EXPECT_EQ(types.CreateByType("Nothing"), nullptr);
  EXPECT_EQ(types.CreateByType("HITRAN100"), nullptr); // whole text, no trimming
  EXPECT_EQ(types.CreateByType(" Generic"), nullptr);
  auto a = types.CreateByType("hitran 100");
  ASSERT_NE(a, nullptr);
  EXPECT_NE(dynamic_cast<First*>(a.get()), nullptr);

  types.RegisterType<Second>("generic");
  auto b = types.CreateByType("Generic");
  auto c = types.CreateByType("GENERIC");
  EXPECT_NE(dynamic_cast<Second*>(b.get()), nullptr);
  EXPECT_NE(dynamic_cast<Second*>(c.get()), nullptr);
  EXPECT_NE(b.get(), c.get()); // a new object each time
  EXPECT_EQ(types.Count(), 3u);
}

TEST(DatafileRegistry, ProgramRegistryIsOneObject) {
  EXPECT_EQ(&DatafileTypes(), &DatafileTypes());
}

TEST(DatafileText, PrintableBytesEscapesEverythingButPrintableAscii) {
  EXPECT_EQ(PrintableBytes("1.5E-20 abc"), "1.5E-20 abc");
  EXPECT_EQ(PrintableBytes(std::string("a\0b\x1b\x7f\x80\xff\\\t", 9)),
            "a\\x00b\\x1B\\x7F\\x80\\xFF\\\\\\x09");
  // The escaped form names every byte, so distinct texts stay distinct.
  EXPECT_NE(PrintableBytes("\\x00"), PrintableBytes(std::string("\0", 1)));
}
