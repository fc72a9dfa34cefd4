// Tick-label texts from the axis format patterns the properties dialog offers, and the empty default.
#include "zqChartAxisFormat.h"

#include <QTest>

class TestChartAxisFormat : public QObject {
  Q_OBJECT
private slots:
  void patterns_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    // "###0": whole numbers, rounded, no grouping.
    QTest::newRow("int") << "###0" << 1234.56 << "1235";
    QTest::newRow("int zero") << "###0" << 0.0 << "0";
    QTest::newRow("int small") << "###0" << 0.4 << "0";
    QTest::newRow("int negative") << "###0" << -2500.0 << "-2500";
    QTest::newRow("int rounds to zero: no sign") << "###0" << -0.3 << "0";
    // "###0.00": always two decimals.
    QTest::newRow("two decimals") << "###0.00" << 1234.5 << "1234.50";
    QTest::newRow("two decimals round") << "###0.00" << 0.125 << "0.13";
    QTest::newRow("two decimals neg") << "###0.00" << -0.5 << "-0.50";
    // "#,##0.###": grouping, up to three decimals, no trailing zeros.
    QTest::newRow("grouped") << "#,##0.###" << 1234567.891 << "1,234,567.891";
    QTest::newRow("grouped whole") << "#,##0.###" << 5000.0 << "5,000";
    QTest::newRow("grouped fraction") << "#,##0.###" << 0.5 << "0.5";
    QTest::newRow("grouped tiny") << "#,##0.###" << 0.0004 << "0";
    QTest::newRow("grouped negative") << "#,##0.###" << -1234.25 << "-1,234.25";
    QTest::newRow("grouped 999") << "#,##0.###" << 999.0 << "999";
    // Exponent, sections and literal text.
    QTest::newRow("exponent") << "0.00E+00" << 12345.0 << "1.23E+04";
    QTest::newRow("exponent small") << "0.0E-0" << 0.00025 << "2.5E-4";
    QTest::newRow("exponent carry") << "0.0E+0" << 9.96 << "1.0E+1";
    QTest::newRow("sections negative") << "0.0;(0.0)" << -3.25 << "(3.3)";
    QTest::newRow("sections zero") << "0.0;-0.0;'zero'" << 0.0 << "zero";
    QTest::newRow("literal suffix") << "0.0 'cm-1'" << 667.1 << "667.1 cm-1";
    QTest::newRow("hash only zero") << "#" << 0.0 << "";
  }
  void patterns() {
    QFETCH(QString, format);
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(zqFormatAxisValue(value, format), expected);
  }

  // The empty default reads like "#,##0.###" but keeps the decimals the tick step needs, so close ticks
  // never collapse into equal labels.
  void empty_default() {
    QCOMPARE(zqFormatAxisValue(2500, QString(), 500), QStringLiteral("2,500"));
    QCOMPARE(zqFormatAxisValue(0.5, QString(), 0.5), QStringLiteral("0.5"));
    QCOMPARE(zqFormatAxisValue(0.0002, QString(), 0.0002), QStringLiteral("0.0002"));
    QCOMPARE(zqFormatAxisValue(0.00075, QString(), 0.00025), QStringLiteral("0.00075"));
    QCOMPARE(zqFormatAxisValue(0.1 + 0.2, QString(), 0.1), QStringLiteral("0.3"));
    // Logarithmic ticks have no step: the value decides.
    QCOMPARE(zqFormatAxisValue(1e-6, QString(), 0), QStringLiteral("0.000001"));
    QCOMPARE(zqFormatAxisValue(1e20, QString(), 0), QStringLiteral("1E+20"));
    QCOMPARE(zqFormatAxisValue(1e-20, QString(), 0), QStringLiteral("1E-20"));
  }

  void locale_separators() {
    QCOMPARE(zqFormatAxisValue(1234.5, QStringLiteral("#,##0.00"), 0, u',', u'.'),
             QStringLiteral("1.234,50"));
  }

  void not_a_number() {
    QCOMPARE(zqFormatAxisValue(std::nan(""), QStringLiteral("0.0")), QStringLiteral("NAN"));
    QCOMPARE(zqFormatAxisValue(-INFINITY, QString()), QStringLiteral("-INF"));
  }
};

QTEST_GUILESS_MAIN(TestChartAxisFormat)
#include "test_chart_axis_format.moc"
