// The generic column file: which lines become records (header, first line, column count), column names,
// missing values, derivative placement, offsets and scale, and that points keep file order.
#include "Read_Generic_Datafile.h"

#include "TestSupport.h"
#include "zqLineSeries.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace {

using Points = std::vector<std::pair<double, double>>;
using Rows = std::vector<std::vector<std::string>>;

struct GenericFile {
  zqtest::TempDir dir;
  TzqGeneric_Datafile file;

  // The constructor's parameter defaults, as the loader would store them from an empty section.
  GenericFile() {
    file.Missing = "NaN";
    file.NumberOfColumns = 2;
  }
  void Load(const std::string& content) {
    zqtest::WriteFile(dir / "data.txt", content);
    file.LoadFromFile((dir / "data.txt").string());
  }
  Rows Records() const {
    Rows rows;
    for (std::size_t r = 0; r < file.Records.Count(); ++r) {
      rows.emplace_back();
      for (std::size_t c = 0; c < file.Records.TokenCount(r); ++c)
        rows.back().emplace_back(file.Records.Token(r, c));
    }
    return rows;
  }
  Points Plot(const std::string& y_column, const std::string& x_column) {
    TLineSeries s;
    file.PlotSeries(s, y_column, x_column);
    Points p;
    for (std::size_t i = 0; i < s.Count(); ++i)
      p.emplace_back(s.XValues()[i], s.YValues()[i]);
    return p;
  }
};

} // namespace

TEST(GenericParameters, DeclaredInOrderWithDefaults) {
  TzqGeneric_Datafile f;
  ASSERT_EQ(f.ParameterCount(), 4);
  EXPECT_EQ(f.ParameterAt(0)->Key, "Header");
  EXPECT_EQ(f.ParameterAt(0)->Options, "notrim");
  EXPECT_EQ(f.ParameterAt(1)->Key, "Missing");
  EXPECT_EQ(f.ParameterAt(1)->DefaultText, "NaN");
  EXPECT_EQ(f.ParameterAt(2)->Key, "NumberOfColumns");
  EXPECT_EQ(f.ParameterAt(2)->DefaultNumber, 2);
  EXPECT_EQ(f.ParameterAt(3)->Key, "First_Line");
  EXPECT_EQ(f.ParameterAt(3)->Kind, "Integer");
  EXPECT_EQ(f.ParameterAt(4), nullptr);
}

TEST(GenericReading, HeaderThenFirstLineSkips) {
  GenericFile g;
  g.file.Header = "DATA";
  g.file.FirstLine = 1;
  g.Load("a\nDATA\nunits\n1 2\n3 4\n");
  EXPECT_EQ(g.Records(), (Rows{{"1", "2"}, {"3", "4"}}));
}

TEST(GenericReading, HeaderMatchesExactlyOrNothingIsRead) {
  GenericFile g;
  g.file.Header = "DATA";
  g.Load("1 2\ndata\n DATA\n3 4\n");
  EXPECT_TRUE(g.Records().empty());

  GenericFile last;
  last.file.Header = "DATA";
  last.Load("1 2\nDATA");
  EXPECT_TRUE(last.Records().empty());
}

TEST(GenericReading, FirstLineWithoutHeaderAndBeyondTheEnd) {
  GenericFile g;
  g.file.FirstLine = 2;
  g.Load("x y\nm m\n1 2\n3 4");
  EXPECT_EQ(g.Records(), (Rows{{"1", "2"}, {"3", "4"}}));

  GenericFile past;
  past.file.FirstLine = 10;
  past.Load("1 2\n3 4\n");
  EXPECT_TRUE(past.Records().empty());
}

TEST(GenericReading, NoCommentSkippingAndOnlyLinesWithTheColumnCount) {
  GenericFile g;
  g.Load(">1 2\n1 2 3\n\n  4\t5 \r\n6\n7 8");
  EXPECT_EQ(g.Records(), (Rows{{">1", "2"}, {"4", "5"}, {"7", "8"}}));

  GenericFile three;
  three.file.NumberOfColumns = 3;
  three.Load("1 2\n1 2 3\n1 2 3 4\n");
  EXPECT_EQ(three.Records(), (Rows{{"1", "2", "3"}}));
}

TEST(GenericColumns, HeaderTokensNameTheColumns) {
  GenericFile g;
  g.file.Header = "age  depth\td18O";
  g.file.NumberOfColumns = 3;
  g.Load("age  depth\td18O\n10 1 -3\n20 2 -4\n");
  EXPECT_EQ(g.file.ColumnIndex("DEPTH"), 2);
  EXPECT_EQ(g.file.ColumnIndex("d18o"), 3);
  EXPECT_EQ(g.Plot("3", "depth"), (Points{{1, -3}, {2, -4}}));
  // A column's number serves as its name as well.
  EXPECT_EQ(g.Plot("2", "1"), (Points{{10, 1}, {20, 2}}));
}

TEST(GenericPlot, NothingForBadColumnsOrNoRecords) {
  GenericFile g;
  g.Load("1 2\n3 4\n");
  EXPECT_TRUE(g.Plot("x", "1").empty()); // y column not an integer
  EXPECT_TRUE(g.Plot("2", "wavenumber").empty());
  EXPECT_TRUE(g.Plot("3", "1").empty()); // outside the records' width
  EXPECT_TRUE(g.Plot("2", "0").empty());
  EXPECT_TRUE(g.Plot("-1", "1").empty());
  EXPECT_EQ(g.Plot("2", "1"), (Points{{1, 2}, {3, 4}}));
  EXPECT_EQ(g.Plot("1", "2"), (Points{{2, 1}, {4, 3}}));

  GenericFile empty;
  empty.Load("");
  TLineSeries s;
  s.AddXY(9, 9);
  empty.file.PlotSeries(s, "2", "1");
  EXPECT_EQ(s.Count(), 0u);
  EXPECT_EQ(empty.file.Series, &s);
}

TEST(GenericPlot, KeepsFileOrderWithDecreasingX) {
  GenericFile g;
  g.Load("5 1\n3 2\n4 3\n1 4\n");
  EXPECT_EQ(g.Plot("2", "1"), (Points{{5, 1}, {3, 2}, {4, 3}, {1, 4}}));
}

TEST(GenericPlot, MissingMarkersEmptyAndUnconvertibleTokensSkipRecords) {
  GenericFile g;
  g.Load("1 nan\nNAN 2\n2 NaN\n3 abc\n4 1,5\n5 +6\n6 -1e2\n7 1e999\n8 .5\n");
  EXPECT_EQ(g.Plot("2", "1"), (Points{{5, 6}, {6, -100}, {8, 0.5}}));

  GenericFile several;
  several.file.Missing = "NaN;-999";
  several.Load("1 -999\n2 nan\n3 3\n-999 4\n5 -9999\n");
  EXPECT_EQ(several.Plot("2", "1"), (Points{{3, 3}, {5, -9999}}));
}

TEST(GenericPlot, InfinityOnlyWhenTheFileHoldsIt) {
  GenericFile g;
  g.Load("1 inf\n1e308 1\n");
  g.file.XOffset = 1e308; // the sum overflows: that point is dropped, not drawn at infinity
  const Points p = g.Plot("2", "1");
  ASSERT_EQ(p.size(), 1u);
  EXPECT_EQ(p[0].first, 1 + 1e308);
  EXPECT_TRUE(std::isinf(p[0].second));
}

TEST(GenericPlot, OffsetsAndScale) {
  GenericFile g;
  g.Load("1 2\n3 4\n");
  g.file.XOffset = 10;
  g.file.YScale = 2;
  g.file.YOffset = -1;
  EXPECT_EQ(g.Plot("2", "1"), (Points{{11, 3}, {13, 7}}));
}

TEST(GenericPlot, DerivativeMidwayAndRepeatedXSkipped) {
  GenericFile g;
  g.Load("0 0\n1 2\n1 5\n3 6\n");
  g.file.PlotDerivative = true;
  EXPECT_EQ(g.Plot("2", "1"), (Points{{0.5, 2}, {2, 2}}));
  g.file.DerivativeAtSample = true;
  EXPECT_EQ(g.Plot("2", "1"), (Points{{1, 2}, {3, 2}}));
}

TEST(GenericPlot, DerivativeWithOffsetsAndMissingFirstRecord) {
  GenericFile g;
  g.Load("0 nan\n0 0\n2 4\n4 4\n");
  g.file.PlotDerivative = true;
  g.file.XOffset = 1;
  g.file.YScale = 10;
  g.file.YOffset = 1;
  EXPECT_EQ(g.Plot("2", "1"), (Points{{2, 21}, {4, 1}}));
}

TEST(GenericPlot, ConvertedXWhenAConversionIsChosen) {
  GenericFile g;
  g.Load("1 2\n3 4\n");
  g.file.XSourceUnits = "km";
  g.file.SetXUnits("m");
  EXPECT_EQ(g.Plot("2", "1"), (Points{{1000, 2}, {3000, 4}}));
  g.file.PlotDerivative = true;
  EXPECT_EQ(g.Plot("2", "1"), (Points{{2000, 0.001}}));
}
