// The application icon renders with Qt's own SVG renderer (the one desktop shells based on Qt use)
// without a warning about unsupported features, and draws something in the middle and nothing outside
// its rounded square.
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTest>

class IconTest : public QObject {
  Q_OBJECT
private slots:
  void rendersCleanlyAtMenuSizes() {
    QTest::failOnWarning(QRegularExpression(".*"));
    QSvgRenderer renderer(QStringLiteral(ABSORBVIEW_ICON));
    QVERIFY(renderer.isValid());
    QCOMPARE(renderer.defaultSize(), QSize(128, 128));
    for (int size : {16, 48, 256}) {
      QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
      image.fill(Qt::transparent);
      QPainter painter(&image);
      renderer.render(&painter);
      painter.end();
      QVERIFY2(qAlpha(image.pixel(size / 2, size / 2)) == 255, qPrintable(QString::number(size)));
      QCOMPARE(qAlpha(image.pixel(0, 0)), 0); // the corners stay round
    }
  }
};

QTEST_MAIN(IconTest)
#include "test_icon.moc"
