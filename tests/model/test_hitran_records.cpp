// Reading HITRAN line files: the keep tests, column conversion of both record layouts, comment
// skipping, and conversion errors that name file, line and field.
#include "ModelTestHelpers.h"

#include <gtest/gtest.h>

using modeltest::Fields;
using modeltest::LoadText;
using modeltest::Record;

TEST(HitranFilter, MoleculeAndIsotopologueMustMatch) {
  EXPECT_TRUE(zqhitran::LinePasses(Record(modeltest::Fields().Code(" 21")), " 2"));
  EXPECT_FALSE(zqhitran::LinePasses(Record(modeltest::Fields().Code(" 22")), " 2"));
  EXPECT_FALSE(zqhitran::LinePasses(Record(modeltest::Fields().Code(" 12")), " 2"));
  EXPECT_FALSE(zqhitran::LinePasses(Record(modeltest::Fields().Code(" 21")), "xx"));
  EXPECT_FALSE(
      zqhitran::LinePasses(Record(modeltest::Fields().Code(" 21")), "2")); // whole text, blank included
}

TEST(HitranFilter, RInColumn86NeedsPInColumn87) {
  EXPECT_TRUE(zqhitran::LinePasses(Record(modeltest::Fields().At86("RP")), " 2"));
  EXPECT_FALSE(zqhitran::LinePasses(Record(modeltest::Fields().At86("R ")), " 2"));
  EXPECT_FALSE(zqhitran::LinePasses(Record(modeltest::Fields().At86("RQ")), " 2"));
  EXPECT_TRUE(zqhitran::LinePasses(Record(modeltest::Fields().At86("P ")), " 2"));
  // A line ending at column 86 with "R": the missing column 87 counts as a blank.
  std::string cut = Record(modeltest::Fields().At86("R"));
  cut.resize(86);
  EXPECT_FALSE(zqhitran::LinePasses(cut, " 2"));
  // Short and empty lines are tested as if padded with blanks.
  EXPECT_FALSE(zqhitran::LinePasses("", " 2"));
  EXPECT_FALSE(zqhitran::LinePasses(" 2", " 2"));
  EXPECT_TRUE(zqhitran::LinePasses(" 21", " 2"));
}

TEST(HitranFieldText, AcceptsTheWritingsOfHitranFiles) {
  double v = 0;
  ASSERT_TRUE(zqhitran::FieldToReal(" 1.234D-20", v));
  EXPECT_EQ(v, 1.234e-20);
  ASSERT_TRUE(zqhitran::FieldToReal("1.234d-20 ", v));
  EXPECT_EQ(v, 1.234e-20);
  ASSERT_TRUE(zqhitran::FieldToReal("3.618e-05", v));
  EXPECT_EQ(v, 3.618e-05);
  ASSERT_TRUE(zqhitran::FieldToReal(".0746", v));
  EXPECT_EQ(v, 0.0746);
  ASSERT_TRUE(zqhitran::FieldToReal("-.000586", v));
  EXPECT_EQ(v, -0.000586);
  ASSERT_TRUE(zqhitran::FieldToReal("+2.5", v));
  EXPECT_EQ(v, 2.5);
  // Below the double range is a number all the same: it reads as 0, and reading goes on.
  v = 1;
  ASSERT_TRUE(zqhitran::FieldToReal("1.000D-330", v));
  EXPECT_EQ(v, 0);
  ASSERT_TRUE(zqhitran::FieldToReal("-1E-400", v));
  EXPECT_EQ(v, 0);
  ASSERT_TRUE(zqhitran::FieldToReal("1.0E-310", v));
  EXPECT_EQ(v, 1.0e-310);
  for (const char* bad : {"", "    ", "1.0.0", "abc", "inf", "nan", "1e400", "--1", "1 2", "0x10", "1E"})
    EXPECT_FALSE(zqhitran::FieldToReal(bad, v)) << bad;
}

TEST(HitranRead, ReadsTheSixFieldsByColumnFromBothLayouts) {
  // A real 160-character record: the air width touches the self width (".06940.089").
  const std::string rec160 =
      " 21  158.301811 1.115E-30 2.266E-06.06940.089 3341.63500.730.000190       2 1 1 03"
      "       0 1 1 11                    P 29f     3666632029 9 9 711    57.0   59.0";
  const std::string rec100 = Record(modeltest::Fields()
                                        .Nu("2349.143")
                                        .S("3.5D-18")
                                        .Air(".0700")
                                        .Self(".0900")
                                        .Energy("12.3456")
                                        .Exponent(".75"));
  auto list = LoadText(rec160 + "\n" + rec100 + "\n");
  ASSERT_EQ(list->Records.size(), 2u);
  const THitranLine& a = list->Records[0];
  EXPECT_EQ(a.Wavenumber, 158.301811);
  EXPECT_EQ(a.Intensity, 1.115e-30);
  EXPECT_EQ(a.AirWidth, 0.0694);
  EXPECT_EQ(a.SelfWidth, 0.089);
  EXPECT_EQ(a.LowerStateEnergy, 3341.635);
  EXPECT_EQ(a.WidthExponent, 0.73);
  const THitranLine& b = list->Records[1];
  EXPECT_EQ(b.Wavenumber, 2349.143);
  EXPECT_EQ(b.Intensity, 3.5e-18);
  EXPECT_EQ(b.AirWidth, 0.07);
  EXPECT_EQ(b.LowerStateEnergy, 12.3456);
  EXPECT_EQ(b.WidthExponent, 0.75);
}

TEST(HitranRead, SkipsLeadingCommentsOnlyAndKeepsFileOrder) {
  const std::string text = ">header\n%more\n" + modeltest::Line(600, 1e-20, 0.07) + "\n%not a comment now\n" +
                           modeltest::Line(500, 2e-20, 0.07) + "\n" +
                           modeltest::Line(700, 3e-20, 0.07, 0, " 22") + "\n";
  auto list = LoadText(text);
  ASSERT_EQ(list->Records.size(), 2u);
  EXPECT_EQ(list->Records[0].Wavenumber, 600);
  EXPECT_EQ(list->Records[1].Wavenumber, 500);
  EXPECT_EQ(LoadText(text, "xx")->Records.size(), 0u);
}

TEST(HitranRead, BadFieldEndsReadingNamingFileLineAndField) {
  const std::string good = modeltest::Line(600, 1e-20, 0.07);
  const std::string bad = Record(modeltest::Fields().S("1.2X-20"));
  zqtest::TempDir dir;
  const auto file = dir / "bad.par";
  zqtest::WriteFile(file, ">comment\n" + good + "\n" + bad + "\n" + good + "\n");
  auto owned = std::make_unique<T_zq_HITRAN>();
  T_zq_HITRAN& list = *owned;
  list.MoleculeType = " 2";
  try {
    list.LoadFromFile(file.string());
    FAIL() << "no error raised";
  } catch (const EHitranConvertError& e) {
    EXPECT_EQ(e.LineNumber(), 3);
    EXPECT_EQ(e.FileName(), file.string());
    EXPECT_NE(std::string(e.what()).find("Intensity"), std::string::npos);
    EXPECT_NE(std::string(e.what()).find("line 3"), std::string::npos);
    EXPECT_NE(std::string(e.what()).find("bad.par"), std::string::npos);
  }
  EXPECT_EQ(list.Records.size(), 1u); // the line before the error stays
}

TEST(HitranRead, KeptLineTooShortForTheFieldsIsAConversionError) {
  std::string shortLine = modeltest::Line(600, 1e-20, 0.07);
  shortLine.resize(57); // cuts the width exponent (columns 56-59)
  const std::string text = modeltest::Line(500, 1e-20, 0.07) + "\n" + shortLine + "\n";
  try {
    LoadText(text);
    FAIL() << "no error raised";
  } catch (const EHitranConvertError& e) {
    EXPECT_EQ(e.LineNumber(), 2);
    EXPECT_NE(e.Field().find("WidthExponent"), std::string::npos);
  }
  // A short line that fails the keep tests is dropped silently, as is an empty line.
  EXPECT_EQ(LoadText("\n 12\n" + modeltest::Line(500, 1e-20, 0.07) + "\n")->Records.size(), 1u);
}

TEST(HitranRead, RealFilesReadCompletely) {
  ZQ_REQUIRE_HITRAN();
  auto co2 = std::make_unique<T_zq_HITRAN>();
  co2->MoleculeType = " 2";
  co2->LoadFromFile((zqtest::HitranDir() / "co2_626_hitran.par").string());
  EXPECT_EQ(co2->Records.size(), 64639u);
  EXPECT_EQ(co2->Records.front().Wavenumber, 158.301811);
  EXPECT_EQ(co2->Records.back().Wavenumber, 4999.998008);
  auto h2o = std::make_unique<T_zq_HITRAN>();
  h2o->MoleculeType = " 1";
  h2o->LoadFromFile((zqtest::HitranDir() / "h2o_161_hitran.par").string());
  EXPECT_EQ(h2o->Records.size(), 41312u);
  for (std::size_t i = 1; i < h2o->Records.size(); ++i)
    ASSERT_LE(h2o->Records[i - 1].Wavenumber, h2o->Records[i].Wavenumber);
}

TEST(HitranRead, EveryLineEndingKeepsEveryRecord) {
  std::string lf, cr, crlf, mixed;
  const char* endings[] = {"\n", "\r", "\r\n"};
  for (int i = 0; i < 3000; ++i) {
    // 100- and 160-character records, some with blanks after the record.
    std::string line = modeltest::Line(500 + i * 0.01, 1e-20, 0.07);
    if (i % 2) line.resize(160, ' ');
    lf += line + "\n";
    cr += line + "\r";
    crlf += line + "\r\n";
    mixed += line + endings[i % 3];
  }
  for (const std::string* text : {&lf, &cr, &crlf, &mixed}) {
    auto list = LoadText(*text);
    ASSERT_EQ(list->Records.size(), 3000u);
    EXPECT_EQ(list->Records[2999].Wavenumber, 500 + 2999 * 0.01);
  }
}

TEST(HitranRead, RecordsRunTogetherOnOneLineAreAnErrorNamingTheLine) {
  // Keeping the first record of such a line would drop the others without a word. The second record
  // may be the one that passes the keep tests, so every line is checked. Records of real files are
  // filled to their last column.
  auto full = [](const std::string& code, std::size_t length) {
    std::string line = modeltest::Line(500, 1e-20, 0.07, 0, code);
    line.resize(length, ' ');
    line.back() = '0';
    return line;
  };
  const std::string kept = full(" 21", 160);
  for (const std::string& glued : {kept + kept, full(" 22", 160) + kept, full(" 21", 100) + full(" 21", 100)}) {
    zqtest::TempDir dir;
    const auto file = dir / "glued.par";
    zqtest::WriteFile(file, kept + "   \n" + glued + "\n" + kept + "\n");
    auto list = std::make_unique<T_zq_HITRAN>();
    list->MoleculeType = " 2";
    try {
      list->LoadFromFile(file.string());
      FAIL() << "no error raised";
    } catch (const std::runtime_error& e) {
      const std::string what = e.what();
      EXPECT_NE(what.find("line 2 "), std::string::npos) << what;
      EXPECT_NE(what.find("glued.par"), std::string::npos) << what;
    }
    EXPECT_EQ(list->Records.size(), 1u); // the first line, with blanks after its record, was read
  }
}

TEST(HitranRead, BytesOfABadFieldAreShownEscapedInTheMessage) {
  // An escape sequence would reach the terminal and a NUL would cut the message before the line number.
  std::string bad = modeltest::Line(600, 1e-20, 0.07);
  const std::string field("\x1b[2J\0\\\xe9 12", 10);
  bad.replace(15, 10, field);
  try {
    LoadText(bad + "\n");
    FAIL() << "no error raised";
  } catch (const EHitranConvertError& e) {
    const std::string what = e.what();
    EXPECT_EQ(e.FieldText(), field); // the data itself stays as it was
    EXPECT_NE(what.find("'\\x1B[2J\\x00\\\\\\xE9 12'"), std::string::npos) << what;
    EXPECT_NE(what.find("line 1"), std::string::npos) << what;
    for (char c : what)
      EXPECT_TRUE(c >= 0x20 && c <= 0x7E) << "byte " << int(static_cast<unsigned char>(c));
  }
}
