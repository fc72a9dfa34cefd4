// Parsing rules, case-insensitive lookups, typed reads with their defaults, number text and the string
// helpers of the INI store.
#include "FakePlatform.h"
#include "zqINI_File.h"

#include "TestSupport.h"

#include <clocale>
#include <cstdlib>
#include <gtest/gtest.h>

#include <iostream>
#include <sstream>

namespace {

using Lines = std::vector<std::string>;

// A store filled from INI text as the file reader fills it.
struct Store {
  zq::FakePlatform platform;
  TzqINI_File ini;
  explicit Store(std::string_view text = "") { ini.LoadFromLines(zqSplitLines(text)); }
  Lines sections() {
    Lines names;
    ini.GetSectionNames(names);
    return names;
  }
  Lines keys(const std::string& section) {
    Lines names;
    ini.GetKeyNames(section, names);
    return names;
  }
};

TEST(IniParsing, CommentsHeadersAndKeyLines) {
  Store s("top = 1\n"
          "  ; semi = x\n"
          "/slash = x\n"
          ":colon = x\n"
          "'quote = x\n"
          "no equals sign here\n"
          "\t[ Spaced Name ]  \n"
          "a=1\n"
          "[Unclosed\n"
          "b = 2\n");
  EXPECT_EQ(s.sections(), (Lines{" Spaced Name ", "Unclose", "__StartOfFile"}));
  EXPECT_EQ(s.keys("__StartOfFile"), Lines{"top"});
  EXPECT_EQ(s.ini.ReadString(" spaced name ", "A"), "1");
  EXPECT_EQ(s.ini.ReadString("UNCLOSE", "b"), "2");
}

TEST(IniParsing, ValueKeepsEverythingAfterTheFirstEquals) {
  Store s("[CO2]\n"
          "Molecule_type = \" 2\"\n"
          "Filename =  13_oh_61_only.txt  not used yet  \n"
          "expr = a = b ; remark\n"
          "empty =\n");
  EXPECT_EQ(s.ini.ReadString("CO2", "Molecule_type"), "\" 2\"");
  EXPECT_EQ(s.ini.ReadString("CO2", "Filename"), "13_oh_61_only.txt  not used yet");
  EXPECT_EQ(s.ini.ReadString("CO2", "expr"), "a = b ; remark");
  // A stored empty value is returned, not the default.
  EXPECT_EQ(s.ini.ReadString("CO2", "empty", "fallback"), "");
  EXPECT_EQ(s.ini.FindRecord("CO2", "empty")->DefaultValue, "fallback");
}

TEST(IniParsing, LaterKeyWinsAndSectionsMergeAcrossReads) {
  Store s("[h2o]\nFileType = skip\nfiletype = Blackbody\nColor = 1\n");
  s.ini.LoadFromLines({"[H2O]", "COLOR = 2", "extra = 3"});
  EXPECT_EQ(s.ini.ReadString("h2o", "FileType"), "Blackbody");
  EXPECT_EQ(s.sections(), Lines{"h2o"}); // first spelling kept
  EXPECT_EQ(s.keys("H2O"), (Lines{"FileType", "Color", "extra"}));
  EXPECT_EQ(s.ini.ReadString("h2o", "color"), "2");
  EXPECT_EQ(s.ini.FindRecord("h2o", "color")->ParsedValue, "2");
}

TEST(IniParsing, BytesAboveAsciiAreNeverBlanksOrLetters) {
  // 0xA0 (no-break space in Windows-1252) and UTF-8 sequences are ordinary bytes.
  Store s("[Temp\xE9rature]\n\xA0key\xA0 = \xA0value\xC2\xB0\xA0\n[Temp\xC3\x89rature]\nk = utf8\n");
  EXPECT_EQ(s.ini.ReadString("TEMP\xE9RATURE", "\xA0KEY\xA0"), "\xA0value\xC2\xB0\xA0");
  EXPECT_EQ(s.ini.ReadString("temp\xC3\x89rature", "K"), "utf8");
  // Case folding is ASCII only: the Windows-1252 lower-case e-acute is not the upper-case E-acute.
  EXPECT_EQ(s.ini.FindRecord("TEMP\xC9RATURE", "\xA0key\xA0"), nullptr);
}

TEST(IniParsing, TextReadInPiecesGivesTheSameStoreAndLimitsTheLineLength) {
  // Line endings of every kind, CR LF pairs split across the reading pieces, long lines, a BOM.
  std::string text = "\xEF\xBB\xBF[First]\r\n";
  const char* endings[] = {"\n", "\r", "\r\n"};
  for (int i = 0; i < 30000; ++i)
    text += "k" + std::to_string(i) + " = " + std::string(static_cast<std::size_t>(i % 13) * 7, 'v') +
            endings[i % 3];
  text += std::string(65536 - text.size() % 65536 - 1, ' ') + "\r\nlast = 1";
  Store pieces;
  std::istringstream in(text);
  pieces.ini.LoadFromText(in);
  Store whole(std::string_view(text).substr(3));
  EXPECT_EQ(pieces.sections(), (Lines{"First"}));
  EXPECT_EQ(pieces.keys("First"), whole.keys("First"));
  EXPECT_EQ(pieces.keys("First").size(), 30001u);
  EXPECT_EQ(pieces.ini.ReadString("First", "k29998"), whole.ini.ReadString("First", "k29998"));

  // A file without line breaks is no INI file: the lines before it stay, the error names the line.
  Store blob;
  std::istringstream bad("[S]\na = 1\n" + std::string(3u << 20, '\0'));
  try {
    blob.ini.LoadFromText(bad);
    FAIL() << "no error";
  } catch (const EzqFileError& e) {
    EXPECT_NE(std::string(e.what()).find("Line 3 "), std::string::npos) << e.what();
  }
  EXPECT_EQ(blob.ini.ReadString("S", "a"), "1");
}

TEST(IniLookup, SectionIndexIsSortedIgnoringCase) {
  Store s("[beta]\nk=1\n[Alpha]\nk=1\n[gamma]\nk=1\n[ALPHA2]\nk=1\n[EmptyHeader]\n");
  // A header without keys creates no section.
  EXPECT_EQ(s.sections(), (Lines{"Alpha", "ALPHA2", "beta", "gamma"}));
  EXPECT_TRUE(s.keys("nowhere").empty());
}

TEST(IniRead, MissingKeysAreCreated) {
  Store s("[S]\nexisting = 1\n");
  EXPECT_EQ(s.ini.ReadString("S", "plain"), "");
  EXPECT_EQ(s.ini.ReadString("New", "withDefault", "dflt"), "dflt");
  EXPECT_EQ(s.keys("s"), (Lines{"existing", "plain"}));
  EXPECT_EQ(s.ini.FindRecord("new", "WITHDEFAULT")->DefaultValue, "dflt");
  EXPECT_EQ(s.ini.ReadString("new", "withdefault", "other"), "dflt");
  EXPECT_EQ(s.ini.CurrentSection(), "new");
}

TEST(IniRead, NumbersTruncateAndBadNumbersReadZero) {
  Store s("[N]\na = 2.9\nb = -2.9\nc = $0000FF\nd =\ne = 1E-20\nf =  12  \ng = 1e\nh = 3000000000\n"
          "i = 2,5\nj = +.5\nk = 5.\nl = 1e5000\n");
  EXPECT_EQ(s.ini.ReadInteger("N", "a"), 2);
  EXPECT_EQ(s.ini.ReadInteger("N", "b"), -2);
  EXPECT_EQ(s.ini.ReadInteger("N", "c"), 0);
  EXPECT_EQ(s.ini.ReadInteger("N", "d", 7), 0); // empty is a bad number, not the default
  EXPECT_EQ(s.ini.ReadReal("N", "e"), 1E-20L);
  EXPECT_EQ(s.ini.ReadInteger("N", "f"), 12);
  EXPECT_EQ(s.ini.ReadReal("N", "g"), 0);
  EXPECT_EQ(s.ini.ReadInteger("N", "h"), 0); // does not fit 32 bits
  EXPECT_EQ(s.ini.ReadReal("N", "h"), 3e9L);
  EXPECT_EQ(s.ini.ReadReal("N", "j"), 0.5L);
  EXPECT_EQ(s.ini.ReadReal("N", "k"), 5.0L);
  EXPECT_EQ(s.ini.ReadReal("N", "l"), 0); // out of range
  EXPECT_EQ(s.ini.ReadInteger("N", "missing", 5), 5);
  EXPECT_EQ(s.ini.ReadString("N", "missing"), "5");
  EXPECT_EQ(s.ini.ReadReal("N", "tiny", 1e-20L), 1e-20L);
  EXPECT_EQ(s.ini.ReadString("N", "tiny"), "1E-20");
  EXPECT_EQ(s.ini.ReadReal("N", "half", 0.5L), 0.5L);
  EXPECT_EQ(s.ini.ReadString("N", "half"), "0.5");
}

TEST(NumberText, DecimalSeparatorIsTheGivenOne) {
  long double v = -1;
  EXPECT_TRUE(zqTextToReal("0,5", v, ","));
  EXPECT_EQ(v, 0.5L);
  EXPECT_FALSE(zqTextToReal("0.5", v, ","));
  EXPECT_TRUE(zqTextToReal("-1,25E2", v, ","));
  EXPECT_EQ(v, -125.0L);
  EXPECT_FALSE(zqTextToReal("0,5", v, "."));
  EXPECT_FALSE(zqTextToReal("", v, "."));
  EXPECT_FALSE(zqTextToReal(".", v, "."));
  EXPECT_FALSE(zqTextToReal("1 2", v, "."));
  EXPECT_FALSE(zqTextToReal("inf", v, "."));
  EXPECT_FALSE(zqTextToReal("nan", v, "."));
  EXPECT_EQ(zqFloatToText(0.5L, ","), "0,5");
  EXPECT_EQ(zqFloatToText(1.5e20L, ","), "1,5E20");
}

// Switches the process to a locale whose decimal separator is a comma for the lifetime of the object:
// an installed one, one compiled into a temporary folder, or else the injected separator.
class CommaLocale {
public:
  CommaLocale() : saved_(std::setlocale(LC_NUMERIC, nullptr)) {
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8"})
      if (std::setlocale(LC_NUMERIC, name)) return;
    std::string command =
        "localedef -i de_DE -f UTF-8 '" + (dir_ / "de_DE.UTF-8").string() + "' >/dev/null 2>&1";
    if (std::system(command.c_str()) == 0) {
      ::setenv("LOCPATH", dir_.path().c_str(), 1);
      if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) return;
      ::unsetenv("LOCPATH");
    }
    injected = true;
    zqOverrideDecimalSeparator(",");
  }
  ~CommaLocale() {
    zqOverrideDecimalSeparator(std::nullopt);
    std::setlocale(LC_NUMERIC, saved_.c_str());
    ::unsetenv("LOCPATH");
  }
  bool injected = false;

private:
  std::string saved_;
  zqtest::TempDir dir_;
};

TEST(NumberText, IniNumbersReadWithAPointUnderEveryLocale) {
  Store s("[N]\npoint = 0.5\ncomma = 0,5\nboth = 1.000,5\nexp = 1.5E-20\nint = 2.9\n");
  EXPECT_EQ(zqDecimalSeparator(), ".");
  EXPECT_EQ(s.ini.ReadReal("N", "point"), 0.5L);
  EXPECT_EQ(s.ini.ReadReal("N", "comma"), 0); // no other separator under the C locale
  {
    CommaLocale comma;
    if (comma.injected) std::cout << "[ NOTE     ] no comma locale available: separator injected\n";
    EXPECT_EQ(zqDecimalSeparator(), ",");
    // The default configuration is written with points: it must read the same on a German desktop.
    EXPECT_EQ(s.ini.ReadReal("N", "point"), 0.5L);
    EXPECT_EQ(s.ini.ReadReal("N", "exp"), 1.5E-20L);
    EXPECT_EQ(s.ini.ReadInteger("N", "int"), 2);
    EXPECT_EQ(s.ini.ReadReal("N", "comma"), 0.5L); // the user's own separator is taken as well
    EXPECT_EQ(s.ini.ReadReal("N", "both"), 0);     // grouping is no number
    EXPECT_EQ(s.ini.ReadInteger("N", "comma"), 0);
    // What the store writes reads back under any locale.
    EXPECT_EQ(s.ini.ReadReal("N", "dflt", 2.25L), 2.25L);
    EXPECT_EQ(s.ini.ReadString("N", "dflt"), "2.25");
    s.ini.WriteReal("N", "fixed", 1, 2.5L);
    EXPECT_EQ(s.ini.ReadString("N", "fixed"), " 2.5");
    s.ini.WriteReal("N", "general", 0.125L);
    EXPECT_EQ(s.ini.ReadString("N", "general"), "0.125");
    // Number fields and titles keep following the locale.
    long double v = 0;
    EXPECT_FALSE(zqTextToReal("0.5", v));
    EXPECT_EQ(zqFloatToText(0.5L), "0,5");
  }
  EXPECT_EQ(zqDecimalSeparator(), ".");
  EXPECT_EQ(s.ini.ReadReal("N", "dflt"), 2.25L);
  EXPECT_EQ(s.ini.ReadReal("N", "general"), 0.125L);
}

TEST(NumberText, GeneralFormatWithFifteenDigits) {
  EXPECT_EQ(zqFloatToText(288.0L, "."), "288");
  EXPECT_EQ(zqFloatToText(-2.5L, "."), "-2.5");
  EXPECT_EQ(zqFloatToText(0.0L, "."), "0");
  EXPECT_EQ(zqFloatToText(1e-20L, "."), "1E-20");
  EXPECT_EQ(zqFloatToText(0.00001L, "."), "0.00001");
  EXPECT_EQ(zqFloatToText(0.000001L, "."), "1E-6");
  EXPECT_EQ(zqFloatToText(1.0L / 3.0L, "."), "0.333333333333333");
  EXPECT_EQ(zqFloatToText(123456789012345.0L, "."), "123456789012345");
  EXPECT_EQ(zqFloatToText(1234567890123456.0L, "."), "1.23456789012346E15");
  EXPECT_EQ(zqFloatToText(1013.25L, "."), "1013.25");
}

TEST(IniRead, ReadByIndexFollowsTheIndexAndKeepsTheCurrentList) {
  Store empty;
  EXPECT_EQ(empty.ini.ReadByIndex(-1, 0), "");
  EXPECT_EQ(empty.ini.ReadByIndex(0, 0), "");
  Store s("[b]\nx = bx\ny = by\n[A]\nz = az\n");
  EXPECT_EQ(s.ini.ReadByIndex(0, 0), "az");
  EXPECT_EQ(s.ini.ReadByIndex(1, 1), "by");
  EXPECT_EQ(s.ini.ReadByIndex(5, 0), "bx"); // invalid section index: the current list stays
  EXPECT_EQ(s.ini.ReadByIndex(1, 2), "");
  EXPECT_EQ(s.ini.ReadByIndex(1, -1), "");
}

TEST(StringHelpers, BeforeAfterAndPosition) {
  EXPECT_EQ(TextBefore("/INI=x", "ini", false), "/");
  EXPECT_EQ(TextBefore("/INI=x", "ini", true), "");
  EXPECT_EQ(TextAfter("a=b=c", "=", true), "b=c");
  EXPECT_EQ(TextAfter("abc", "=", true), "");
  EXPECT_EQ(PosFrom("abcABC", "abc", 2, false), 4);
  EXPECT_EQ(PosFrom("abcABC", "abc", 2, true), 0);
  EXPECT_EQ(PosFrom("abc", "a", -3, true), 1);
  EXPECT_EQ(PosFrom("abc", "c", 4, true), 0);
  EXPECT_EQ(PosFrom("abc", "", 1, true), 0);
}

TEST(StringHelpers, UnquoteAndSplit) {
  EXPECT_EQ(Unquote("  \" a \"\"b\"\" \"  "), "a \"b\"");
  EXPECT_EQ(Unquote("\""), "");
  EXPECT_EQ(Unquote("\"\""), "");
  EXPECT_EQ(Unquote("x\"y\""), "x\"y\"");
  EXPECT_EQ(SplitByChars("0.003 mb  -86.2\xB0"
                         "C ",
                         " \xB0"),
            (Lines{"0.003", "mb", "-86.2", "C"}));
  EXPECT_EQ(SplitByChars("1x2X3", "x"), (Lines{"1", "2", "3"}));
  EXPECT_TRUE(SplitByChars("  \t ", " \t").empty());
  EXPECT_EQ(zqSplitLines("a\r\nb\rc\n\nd"), (Lines{"a", "b", "c", "", "d"}));
  EXPECT_EQ(zqSplitLines("a\n"), Lines{"a"});
}

} // namespace
