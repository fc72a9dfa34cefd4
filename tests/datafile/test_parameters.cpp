// Reading declared parameters from an INI section: kinds, defaults, quotes and the trim options.
#include "Read_Generic_Datafile.h"
#include "zqINI_File.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Declared : TzqDatafile {
  std::string NoTrim, Trim, AsRead, Missing2;
  int32_t Count = -7;
  double Value = -7;
  Declared() {
    AddParameter(&NoTrim, "string", "Molecule_type", "xx", 0, "notrim");
    AddParameter(&Trim, "String", "Trimmed", "", 0, "trim");
    AddParameter(&AsRead, "string", "AsRead", "", 0);
    AddParameter(&Missing2, "string", "Absent", "dflt", 0, "notrim");
    AddParameter(&Count, "Integer", "Number_of_Values", "", 200.9);
    AddParameter(&Value, "real", "Temperature", "", 273);
  }
};

void load(TzqINI_File& ini, const std::vector<std::string>& lines) {
  ini.LoadFromLines(lines);
}

} // namespace

TEST(DatafileParameterReading, QuotesAndOptions) {
  TzqINI_File ini;
  load(ini, {"[CO2]", "Molecule_type = \" 2\"", "Trimmed = \" 2 \"", "AsRead = \" 2\"",
             "Number_of_Values = 50", "Temperature = 300.5"});
  Declared d;
  d.ReadParameters(ini, "co2");
  EXPECT_EQ(d.NoTrim, " 2");
  EXPECT_EQ(d.Trim, "2");
  EXPECT_EQ(d.AsRead, "\" 2\"");
  EXPECT_EQ(d.Missing2, "dflt");
  EXPECT_EQ(d.Count, 50);
  EXPECT_EQ(d.Value, 300.5);
}

TEST(DatafileParameterReading, DefaultsWhenKeysAreMissing) {
  TzqINI_File ini;
  load(ini, {"[Other]", "Temperature = 1"});
  Declared d;
  d.ReadParameters(ini, "Empty");
  EXPECT_EQ(d.NoTrim, "xx");
  EXPECT_EQ(d.Trim, "");
  EXPECT_EQ(d.Count, 200); // truncated default
  EXPECT_EQ(d.Value, 273);
}

TEST(DatafileParameterReading, GenericFileFromItsSection) {
  TzqINI_File ini;
  load(ini,
       {"[Core]", "Header = \"age depth\"", "Missing = NaN;-999", "NumberOfColumns = 3", "First_Line = 1"});
  TzqGeneric_Datafile g;
  g.ReadParameters(ini, "Core");
  EXPECT_EQ(g.Header, "age depth");
  EXPECT_EQ(g.Missing, "NaN;-999");
  EXPECT_EQ(g.NumberOfColumns, 3);
  EXPECT_EQ(g.FirstLine, 1);

  TzqGeneric_Datafile defaults;
  defaults.ReadParameters(ini, "Nothing");
  EXPECT_EQ(defaults.Header, "");
  EXPECT_EQ(defaults.Missing, "NaN");
  EXPECT_EQ(defaults.NumberOfColumns, 2);
  EXPECT_EQ(defaults.FirstLine, 0);
}
