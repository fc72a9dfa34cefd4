// The Qt platform's message boxes: captions and texts built from INI bytes show as the user wrote them,
// whether the INI file was saved as UTF-8 or as Windows-1252.
#include "zqQtPlatform.h"

#include <QDir>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

namespace {

struct Shown {
  QString title, text;
};

// Runs MessageBox and closes the box as soon as it is up, recording what it showed.
Shown show_and_close(zq::QtPlatform& platform, const std::string& caption, const std::string& text) {
  Shown shown;
  QTimer timer;
  timer.setInterval(10);
  QObject::connect(&timer, &QTimer::timeout, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      shown = {box->windowTitle(), box->text()};
      box->accept();
    }
  });
  timer.start();
  platform.MessageBox(caption, text, zq::mbOK, zq::MsgIcon::None);
  return shown;
}

} // namespace

class TestQtPlatform : public QObject {
  Q_OBJECT
private slots:
  void messageTextsDecodeWindows1252AndUtf8() {
    zq::QtPlatform platform(std::vector<std::string>{});
    // "Température" with the Windows-1252 byte E9, a section name "[Atmosphère]" in UTF-8.
    Shown cp1252 = show_and_close(platform, "Temp\xE9rature",
                                  "[Couche \xB0"
                                  "C]");
    QCOMPARE(cp1252.title, QString::fromUtf8("Température"));
    QCOMPARE(cp1252.text, QString::fromUtf8("[Couche °C]"));
    Shown utf8 = show_and_close(platform, "File not found", "[Atmosph\xC3\xA8re]");
    QCOMPARE(utf8.title, QString("File not found"));
    QCOMPARE(utf8.text, QString::fromUtf8("[Atmosphère]"));
  }

  // Qt reads a filter's patterns from the parentheses of its label and splits them at spaces only
  // (QFileDialog::setNameFilters); a semicolon there would make one pattern that matches no file.
  void fileDialogFiltersSplitIntoPatternsQtMatches() {
    const std::string filter = "HITRAN line lists (*.par;*.txt)|*.par;*.txt|Images|*.png;*.jpg|"
                               "All Files (*.*)|*.*";
    const QStringList entries = QString::fromStdString(zq::QtFilterFromPipeFilter(filter)).split(";;");
    QCOMPARE(entries.size(), 3);
    const QRegularExpression inParentheses(R"(^(.*)\(([^()]*)\)$)");
    const QStringList files{"a.par", "b.txt", "c.png", "d.jpg", "e.dat"};
    const QStringList expected[] = {{"a.par", "b.txt"}, {"c.png", "d.jpg"}, files};
    for (int i = 0; i < entries.size(); ++i) {
      const QRegularExpressionMatch m = inParentheses.match(entries[i]);
      QVERIFY2(m.hasMatch(), qPrintable(entries[i]));
      QVERIFY(!m.captured(1).contains('('));
      const QStringList patterns = m.captured(2).split(' ', Qt::SkipEmptyParts);
      QStringList matched;
      for (const QString& f : files)
        if (QDir::match(patterns, f)) matched << f;
      QCOMPARE(matched, expected[i]);
    }
  }
};

QTEST_MAIN(TestQtPlatform)
#include "test_qt_platform.moc"
