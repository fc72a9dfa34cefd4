// TChart behaviour offscreen: series order and ownership, pixel/value conversion, click classification
// with the cancel-mouse flag, zoom and scroll, coalesced repaints, mask drawing and image export.
#include "zqChart.h"
#include "zqColor.h"

#include "TestSupport.h"

#include <QApplication>
#include <QFile>
#include <QMouseEvent>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

constexpr uint32_t kRed = 0x0000FF; // $00BBGGRR
constexpr uint32_t kGreen = 0x00FF00;
constexpr uint32_t kBlue = 0xFF0000;

// A shown 800 x 600 chart with fixed 0..10 ranges on the left and bottom axes.
struct Fixture {
  TChart chart;
  Fixture() {
    chart.resize(800, 600);
    chart.setLocale(QLocale::c());
    chart.show();
    chart.BottomAxis().SetMinMax(0, 10);
    chart.LeftAxis().SetMinMax(0, 10);
    chart.Refresh();
  }
  QPoint pixel(double x, double y) {
    return QPoint(qRound(chart.BottomAxis().CalcPosValue(x)), qRound(chart.LeftAxis().CalcPosValue(y)));
  }
};

void send_mouse(TChart& chart, QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons held,
                Qt::KeyboardModifiers mods = Qt::NoModifier) {
  QMouseEvent e(type, QPointF(pos), QPointF(chart.mapToGlobal(pos)), button, held, mods);
  QApplication::sendEvent(&chart, &e);
}

void drag(TChart& chart, QPoint from, QPoint to, Qt::MouseButton button) {
  send_mouse(chart, QEvent::MouseButtonPress, from, button, button);
  const QPoint mid = (from + to) / 2;
  send_mouse(chart, QEvent::MouseMove, mid, Qt::NoButton, button);
  send_mouse(chart, QEvent::MouseMove, to, Qt::NoButton, button);
  send_mouse(chart, QEvent::MouseButtonRelease, to, button, Qt::NoButton);
}

QColor color_of(uint32_t c) {
  return zqColorToQColor(c);
}

} // namespace

class TestChart : public QObject {
  Q_OBJECT
private slots:

  void wavelength_ticks_are_round_and_inside_the_range() {
    // 500-2000 cm-1 is 5-20 um: whole micrometres (and halves) at most, never crowded.
    for (const auto& [lo, hi] : {std::pair{500.0, 2000.0}, std::pair{0.0, 5000.0}, std::pair{640.0, 700.0}}) {
      const std::vector<double> ticks = TChart::WavelengthTicks(lo, hi, 9);
      QVERIFY(!ticks.empty());
      QVERIFY(static_cast<int>(ticks.size()) <= 9);
      for (double um : ticks) {
        const double nu = 1e4 / um;
        QVERIFY(nu >= lo - 1e-9 && nu <= hi + 1e-9);
        // A round number: at most two significant digits.
        const double scale = std::pow(10.0, std::floor(std::log10(um)) - 1);
        QVERIFY2(std::abs(um / scale - std::round(um / scale)) < 1e-9, qPrintable(QString::number(um)));
      }
      QVERIFY(std::is_sorted(ticks.begin(), ticks.end()));
    }
    QVERIFY(TChart::WavelengthTicks(10, 5, 9).empty());
    QVERIFY(TChart::WavelengthTicks(-10, 0, 9).empty());
  }

  void marked_ranges_replace_their_group_only() {
    TChart chart;
    chart.SetMarkedRanges("bands", {{600, 740, "CO2 15 um", QColor(0, 0, 255, 30)}, {0, 500, "", Qt::gray}});
    chart.SetMarkedRanges("gaps", {{133, 666, "no water lines", Qt::gray}});
    QCOMPARE(chart.MarkedRanges("bands").size(), std::size_t(2));
    QCOMPARE(chart.itemCount(), 3 + 2); // one shade each, a label for the named ones
    chart.SetMarkedRanges("bands", {});
    QVERIFY(chart.MarkedRanges("bands").empty());
    QCOMPARE(chart.MarkedRanges("gaps").front().Label, QString("no water lines"));
    QCOMPARE(chart.itemCount(), 2);
    QVERIFY(chart.MarkedRanges("none").empty());
  }

  void series_are_owned_in_order_with_stable_indices() {
    TChart chart;
    QCOMPARE(chart.SeriesCount(), 0);
    TLineSeries& a = chart.AddSeries();
    TLineSeries& b = chart.AddSeries();
    TLineSeries& c = chart.AddSeries();
    QCOMPARE(chart.SeriesCount(), 3);
    QCOMPARE(&chart.Series(0), &a);
    QCOMPARE(&chart.Series(2), &c);
    QCOMPARE(chart.IndexOfSeries(b), 1);
    TLineSeries foreign;
    QCOMPARE(chart.IndexOfSeries(foreign), -1);
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, chart.Series(3));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, chart.Series(-1));
    // Each new series gets a colour of its own.
    QVERIFY(a.SeriesColor() != b.SeriesColor());
    QVERIFY(!chart.LegendVisible());
  }

  // Points are drawn in the order added: a "Z" through (0,0) (10,0) (0,10) (10,10) draws its two
  // horizontal strokes; sorting by x would draw two vertical ones instead.
  void points_are_drawn_in_order_added() {
    Fixture f;
    f.chart.BottomAxis().SetMinMax(-1, 11);
    f.chart.LeftAxis().SetMinMax(-1, 11);
    f.chart.BottomAxis().SetGridVisible(false);
    f.chart.LeftAxis().SetGridVisible(false);
    TLineSeries& s = f.chart.AddSeries();
    s.SetSeriesColor(kBlue);
    for (auto [x, y] : {std::pair{0.0, 0.0}, {10.0, 0.0}, {0.0, 10.0}, {10.0, 10.0}})
      s.AddXY(x, y);
    f.chart.Refresh();
    QCOMPARE(s.XValues(), (std::vector<double>{0, 10, 0, 10}));
    const QImage img = f.chart.grab().toImage();
    QCOMPARE(img.pixelColor(f.pixel(5, 0)), color_of(kBlue));
    QCOMPARE(img.pixelColor(f.pixel(5, 10)), color_of(kBlue));
    QCOMPARE(img.pixelColor(f.pixel(0, 5)), QColor(Qt::white));
    QCOMPARE(img.pixelColor(f.pixel(10, 5)), QColor(Qt::white));
  }

  void automatic_ranges_follow_shown_series_on_their_axis() {
    TChart chart;
    TLineSeries& left = chart.AddSeries();
    TLineSeries& right = chart.AddSeries();
    right.SetVertAxis(TVertAxis::Right);
    left.Assign({400, 300, 2000}, {-5, 7, 2});
    right.Assign({100, 900}, {1e-3, 2e-3});
    QCOMPARE(chart.BottomAxis().Minimum(), 100.0);
    QCOMPARE(chart.BottomAxis().Maximum(), 2000.0);
    QCOMPARE(chart.LeftAxis().Minimum(), -5.0);
    QCOMPARE(chart.LeftAxis().Maximum(), 7.0);
    QCOMPARE(chart.RightAxis().Maximum(), 2e-3);
    QVERIFY(chart.RightAxis().Visible());
    QVERIFY(!chart.TopAxis().Visible());
    // A hidden series keeps its points and no longer counts.
    right.SetActive(false);
    QCOMPARE(right.Count(), std::size_t(2));
    QCOMPARE(chart.BottomAxis().Minimum(), 300.0);
    QVERIFY(!chart.RightAxis().Visible());
    // Logarithmic: only positive values count.
    chart.LeftAxis().SetLogarithmic(true);
    QCOMPARE(chart.LeftAxis().Minimum(), 2.0);
  }

  // The right axis range is set end by end (minimum first): a minimum above the old maximum must not be
  // refused or lost.
  void range_ends_set_one_at_a_time_in_any_order() {
    TChart chart;
    TChartAxis& axis = chart.RightAxis();
    axis.SetAutomatic(false);
    axis.SetMinimum(300);
    axis.SetMaximum(1000);
    QCOMPARE(axis.Minimum(), 300.0);
    QCOMPARE(axis.Maximum(), 1000.0);
    axis.SetMinMax(50, 20); // either order
    QCOMPARE(axis.Minimum(), 20.0);
    QCOMPARE(axis.Maximum(), 50.0);
    QVERIFY(!axis.Automatic());
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, axis.SetMinimum(std::nan("")));
    QCOMPARE(axis.Minimum(), 20.0);
  }

  void pixel_and_value_conversion() {
    Fixture f;
    f.chart.BottomAxis().SetMinMax(0, 5000);
    f.chart.Refresh();
    TChartAxis& b = f.chart.BottomAxis();
    TChartAxis& l = f.chart.LeftAxis();
    QVERIFY(b.IStartPos() > 0 && b.IStartPos() < b.IEndPos() && b.IEndPos() < f.chart.width());
    QVERIFY(l.IStartPos() > 0 && l.IStartPos() < l.IEndPos() && l.IEndPos() < f.chart.height());
    QCOMPARE(b.CalcPosPoint(b.IStartPos()), 0.0);
    QCOMPARE(b.CalcPosPoint(b.IEndPos()), 5000.0);
    QCOMPARE(l.CalcPosPoint(l.IStartPos()), 10.0); // the top of a vertical axis is its maximum
    QCOMPARE(l.CalcPosPoint(l.IEndPos()), 0.0);
    // The pixel of 667.123 cm-1 maps back to it within one pixel's width.
    const int px = qRound(b.CalcPosValue(667.123));
    QVERIFY(std::abs(b.CalcPosPoint(px) - 667.123) <= 5000.0 / (b.IEndPos() - b.IStartPos()));
    // Inversion swaps the ends; the pixel extent stays.
    const int start = b.IStartPos();
    b.SetInverted(true);
    f.chart.Refresh();
    QCOMPARE(b.IStartPos(), start);
    QCOMPARE(b.CalcPosPoint(b.IStartPos()), 5000.0);
    // Logarithmic: the middle pixel is the geometric mean.
    b.SetInverted(false);
    b.SetLogarithmic(true);
    b.SetMinMax(1, 1000);
    f.chart.Refresh();
    QVERIFY(zqtest::RelClose(b.CalcPosPoint((b.IStartPos() + b.IEndPos()) / 2), std::sqrt(1000.0), 0.01));
  }

  void clicks_are_classified_and_cancel_mouse_blocks_zoom() {
    Fixture f;
    TLineSeries& s = f.chart.AddSeries();
    s.Assign({0, 5, 10}, {2, 2, 2});
    f.chart.Refresh();
    QString got;
    int index = -2;
    TChartAxis* axisHit = nullptr;
    bool clear = false;
    f.chart.OnClickSeries = [&](TChart& sender, TLineSeries& series, int i, Qt::MouseButton b,
                                Qt::KeyboardModifiers, int, int) {
      QCOMPARE(&sender, &f.chart);
      QCOMPARE(&series, &s);
      QCOMPARE(b, Qt::LeftButton);
      got = "series";
      index = i;
      if (clear) sender.CancelMouse = false;
    };
    f.chart.OnClickBackground = [&](TChart& sender, Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
      got = QStringLiteral("background %1 %2").arg(x).arg(y);
      if (clear) sender.CancelMouse = false;
    };
    f.chart.OnClickAxis = [&](TChart&, TChartAxis& axis, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
      got = "axis";
      axisHit = &axis;
    };
    int mouseUps = 0;
    f.chart.OnMouseUp = [&](TChart&, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { ++mouseUps; };

    // Near the point at x = 5 (within the tolerance), on the curve.
    const QPoint onCurve = f.pixel(5, 2) + QPoint(1, 2);
    send_mouse(f.chart, QEvent::MouseButtonPress, onCurve, Qt::LeftButton, Qt::LeftButton);
    send_mouse(f.chart, QEvent::MouseButtonRelease, onCurve, Qt::LeftButton, Qt::NoButton);
    QCOMPARE(got, QStringLiteral("series"));
    QCOMPARE(index, 1);
    QCOMPARE(mouseUps, 1);

    const QPoint empty = f.pixel(5, 8);
    send_mouse(f.chart, QEvent::MouseButtonPress, empty, Qt::RightButton, Qt::RightButton);
    send_mouse(f.chart, QEvent::MouseButtonRelease, empty, Qt::RightButton, Qt::NoButton);
    QCOMPARE(got, QStringLiteral("background %1 %2").arg(empty.x()).arg(empty.y()));
    QCOMPARE(mouseUps, 2);

    // Below the plot area, on the bottom axis' tick labels.
    const QPoint onAxis(f.pixel(5, 0).x(), f.chart.LeftAxis().IEndPos() + 8);
    send_mouse(f.chart, QEvent::MouseButtonPress, onAxis, Qt::LeftButton, Qt::LeftButton);
    send_mouse(f.chart, QEvent::MouseButtonRelease, onAxis, Qt::LeftButton, Qt::NoButton);
    QCOMPARE(got, QStringLiteral("axis"));
    QCOMPARE(axisHit, &f.chart.BottomAxis());

    // A handler that leaves the flag set stops the drag from zooming...
    drag(f.chart, f.pixel(2, 8), f.pixel(4, 6), Qt::LeftButton);
    QVERIFY(f.chart.CancelMouse);
    QVERIFY(!f.chart.Zoomed());
    QCOMPARE(f.chart.BottomAxis().Maximum(), 10.0);
    // ...one that clears it lets the same drag zoom.
    clear = true;
    drag(f.chart, f.pixel(2, 8), f.pixel(4, 6), Qt::LeftButton);
    QVERIFY(f.chart.Zoomed());
    QVERIFY(std::abs(f.chart.BottomAxis().Minimum() - 2) < 0.05);
    QVERIFY(std::abs(f.chart.BottomAxis().Maximum() - 4) < 0.05);
    QVERIFY(std::abs(f.chart.LeftAxis().Maximum() - 8) < 0.05);
  }

  void zoom_and_the_ways_back_to_the_full_range() {
    Fixture f;
    TLineSeries& s = f.chart.AddSeries();
    s.Assign({0, 100}, {0, 50});
    f.chart.BottomAxis().SetAutomatic(true);
    f.chart.LeftAxis().SetAutomatic(true);
    f.chart.Refresh();
    f.chart.ZoomRect(QRect(f.pixel(20, 40), f.pixel(60, 10)));
    f.chart.Refresh();
    QVERIFY(!f.chart.BottomAxis().Automatic());
    QVERIFY(f.chart.BottomAxis().Maximum() < 61);
    // Dragging up and to the left goes back.
    drag(f.chart, f.pixel(50, 20), f.pixel(30, 30), Qt::LeftButton);
    QVERIFY(!f.chart.Zoomed());
    QVERIFY(f.chart.BottomAxis().Automatic());
    QCOMPARE(f.chart.BottomAxis().Maximum(), 100.0);
    // A double click and the action do too.
    f.chart.ZoomRect(QRect(f.pixel(20, 40), f.pixel(60, 10)));
    send_mouse(f.chart, QEvent::MouseButtonDblClick, f.pixel(30, 30), Qt::LeftButton, Qt::LeftButton);
    QVERIFY(!f.chart.Zoomed());
    QCOMPARE(f.chart.LeftAxis().Maximum(), 50.0);
    f.chart.ZoomRect(QRect(f.pixel(20, 40), f.pixel(60, 10)));
    f.chart.UndoZoomAction()->trigger();
    QVERIFY(!f.chart.Zoomed());
    // A fixed range set while zoomed is what the way back returns to.
    f.chart.ZoomRect(QRect(f.pixel(20, 40), f.pixel(60, 10)));
    f.chart.RightAxis().SetMinMax(200, 300);
    f.chart.UndoZoom();
    QCOMPARE(f.chart.RightAxis().Minimum(), 200.0);
  }

  // A right-button drag scrolls and reports it before the mouse-up; a right click without moving does
  // not count as a scroll.
  void right_drag_scrolls_and_reports_before_mouse_up() {
    Fixture f;
    f.chart.AddSeries().Assign({0, 10}, {0, 10});
    f.chart.Refresh();
    QStringList log;
    f.chart.OnAllowScroll = [&](TChart&, TChartAxis& axis) {
      log << (axis.Horizontal() ? QStringLiteral("scroll x") : QStringLiteral("scroll y"));
    };
    f.chart.OnMouseUp = [&](TChart&, Qt::MouseButton b, Qt::KeyboardModifiers, int, int) {
      log << (b == Qt::RightButton ? QStringLiteral("up right") : QStringLiteral("up other"));
    };
    send_mouse(f.chart, QEvent::MouseButtonPress, f.pixel(5, 5), Qt::RightButton, Qt::RightButton);
    send_mouse(f.chart, QEvent::MouseButtonRelease, f.pixel(5, 5), Qt::RightButton, Qt::NoButton);
    QCOMPARE(log, QStringList{QStringLiteral("up right")});
    log.clear();
    const double span = f.chart.BottomAxis().Maximum() - f.chart.BottomAxis().Minimum();
    drag(f.chart, f.pixel(5, 5), f.pixel(7, 5), Qt::RightButton);
    QVERIFY(log.size() >= 2);
    QCOMPARE(log.first(), QStringLiteral("scroll x"));
    QCOMPARE(log.last(), QStringLiteral("up right"));
    QVERIFY(!log.contains(QStringLiteral("scroll y")));
    // The content follows the mouse: 2 units to the right shows 2 units less on the left.
    QVERIFY(std::abs(f.chart.BottomAxis().Minimum() + 2) < 0.05);
    QVERIFY(std::abs(f.chart.BottomAxis().Maximum() - f.chart.BottomAxis().Minimum() - span) < 1e-9);
  }

  void many_point_changes_give_one_repaint() {
    Fixture f;
    TLineSeries& a = f.chart.AddSeries();
    TLineSeries& b = f.chart.AddSeries();
    int draws = 0;
    f.chart.OnAfterDraw = [&](TChart& sender) {
      QCOMPARE(&sender, &f.chart);
      ++draws;
    };
    QApplication::processEvents();
    draws = 0;
    const int before = f.chart.RepaintCount();
    f.chart.BottomAxis().SetAutomatic(true);
    for (int k = 0; k < 5000; ++k) {
      a.AddXY(k, k % 7);
      b.AddXY(-k, k % 3);
    }
    a.SetSeriesColor(kGreen);
    f.chart.Title().SetText(QStringLiteral("filled"));
    QCOMPARE(draws, 0); // nothing is drawn while the handler still runs
    QApplication::processEvents();
    QCOMPARE(draws, 1);
    QCOMPARE(f.chart.RepaintCount(), before + 1);
    QVERIFY(!a.HasPendingChanges());
    QCOMPARE(f.chart.BottomAxis().Minimum(), -4999.0);
    QApplication::processEvents();
    QCOMPARE(draws, 1);
  }

  // The properties dialog refreshes itself after each draw and writes the same settings back; that must
  // not start another repaint (and so an endless round of them).
  void writing_unchanged_settings_after_a_draw_does_not_repaint_again() {
    Fixture f;
    QApplication::processEvents();
    int draws = 0;
    f.chart.OnAfterDraw = [&](TChart& c) {
      ++draws;
      c.Title().SetText(c.Title().Text());
      c.Title().SetFont(c.Title().Font());
      c.LeftAxis().SetMinMax(0, 10);
      c.LeftAxis().SetAutomatic(false);
      c.BottomAxis().Title().SetCaption(c.BottomAxis().Title().Caption());
      c.BottomAxis().SetAxisValuesFormat(c.BottomAxis().AxisValuesFormat());
      c.BottomAxis().SetIncrement(c.BottomAxis().Increment());
      c.SetColor(c.Color());
      c.SetBackWallTransparent(c.BackWallTransparent());
    };
    f.chart.Title().SetText(QStringLiteral("x"));
    for (int i = 0; i < 5; ++i)
      QApplication::processEvents();
    QCOMPARE(draws, 1);
  }

  // Mask mode: where two curves cross, the pixel is the AND of both colours, on the widget's own
  // buffers as well as in exported images.
  void mask_pen_ands_with_what_is_drawn() {
    Fixture f;
    TLineSeries& red = f.chart.AddSeries();
    TLineSeries& green = f.chart.AddSeries();
    red.SetSeriesColor(kRed | 0x00FF00);  // yellow: FF FF 00
    green.SetSeriesColor(kGreen | kBlue); // cyan:   00 FF FF
    red.Assign({0, 10}, {5, 5});
    green.Assign({5, 5}, {0, 10});
    red.SetPenMode(TPenMode::Mask);
    green.SetPenMode(TPenMode::Mask);
    f.chart.Refresh();
    const QPoint cross = f.pixel(5, 5);
    const QImage screen = f.chart.grab().toImage();
    QCOMPARE(screen.pixelColor(cross), QColor(0, 255, 0)); // yellow AND cyan = green
    QCOMPARE(screen.pixelColor(f.pixel(2, 5)), QColor(255, 255, 0));
    QCOMPARE(screen.pixelColor(f.pixel(5, 2)), QColor(0, 255, 255));
    const QImage exported = f.chart.DrawToImage(f.chart.size(), 0xFFFFFF);
    QCOMPARE(exported.pixelColor(cross), QColor(0, 255, 0));
    // Copy mode: the later curve covers the earlier one.
    green.SetPenMode(TPenMode::Copy);
    f.chart.Refresh();
    QCOMPARE(f.chart.grab().toImage().pixelColor(cross), QColor(0, 255, 255));
  }

  // Mask mode draws exactly the pixels copy mode draws: runs along the top and bottom of the plot area
  // (curves clamped to the axis range) included, on screen and in exported images.
  void mask_pen_keeps_runs_along_the_edges() {
    Fixture f;
    f.chart.BottomAxis().SetGridVisible(false);
    f.chart.LeftAxis().SetGridVisible(false);
    TLineSeries& s = f.chart.AddSeries();
    s.SetSeriesColor(kRed);
    s.Assign({0, 2, 3, 6, 7, 10}, {10, 10, 0, 0, 10, 10});
    auto red_pixels = [&](const QImage& img) {
      int n = 0;
      for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
          n += img.pixelColor(x, y) == QColor(Qt::red);
      return n;
    };
    f.chart.Refresh();
    const QImage copied = f.chart.grab().toImage();
    const int edgeRun = f.pixel(2, 10).x() - f.pixel(0, 10).x();
    QVERIFY(red_pixels(copied) > 3 * edgeRun);
    s.SetPenMode(TPenMode::Mask);
    f.chart.Refresh();
    const QImage masked = f.chart.grab().toImage();
    QCOMPARE(red_pixels(masked), red_pixels(copied));
    QCOMPARE(red_pixels(f.chart.DrawToImage(f.chart.size(), 0xFFFFFF)), red_pixels(copied));
  }

  void pen_styles_leave_gaps() {
    Fixture f;
    TLineSeries& s = f.chart.AddSeries();
    s.SetSeriesColor(kBlue);
    s.Assign({0, 10}, {5, 5});
    auto blue_pixels = [&] {
      f.chart.Refresh();
      const QImage img = f.chart.grab().toImage();
      const int y = f.pixel(0, 5).y();
      int n = 0;
      for (int x = f.pixel(1, 5).x(); x < f.pixel(9, 5).x(); ++x)
        n += img.pixelColor(x, y) == color_of(kBlue);
      return n;
    };
    const int solid = blue_pixels();
    QVERIFY(solid > 500);
    for (TPenStyle style : {TPenStyle::Dash, TPenStyle::Dot, TPenStyle::DashDot, TPenStyle::DashDotDot}) {
      s.SetPenStyle(style);
      const int n = blue_pixels();
      QVERIFY2(n > solid / 4 && n < solid * 9 / 10, qPrintable(QString::number(n)));
    }
  }

  void markers_and_value_labels_only_when_asked() {
    Fixture f;
    f.chart.BottomAxis().SetGridVisible(false);
    f.chart.LeftAxis().SetGridVisible(false);
    TLineSeries& s = f.chart.AddSeries();
    s.SetSeriesColor(kRed);
    s.Assign({2, 5, 8}, {5, 5, 5});
    auto at = [&](QPoint offset) {
      f.chart.Refresh();
      return f.chart.grab().toImage().pixelColor(f.pixel(5, 5) + offset);
    };
    const QPoint besideLine(0, -2); // on a marker, off the line
    const QPoint aboveLine(0, -14); // inside a value label
    QCOMPARE(at(besideLine), QColor(Qt::white));
    QCOMPARE(at(aboveLine), QColor(Qt::white));
    s.SetPointerVisible(true);
    QCOMPARE(at(besideLine), color_of(kRed));
    s.SetMarksVisible(true);
    QVERIFY(at(aboveLine) != QColor(Qt::white));
    // A hidden series draws nothing and keeps its points.
    s.SetActive(false);
    QCOMPARE(at(QPoint(0, 0)), QColor(Qt::white));
    QCOMPARE(s.Count(), std::size_t(3));
  }

  void bitmap_file_decodes_to_the_chart_size() {
    Fixture f;
    f.chart.resize(640, 400);
    TLineSeries& s = f.chart.AddSeries();
    s.SetSeriesColor(kRed);
    s.Assign({0, 10}, {5, 5});
    f.chart.Refresh();
    zqtest::TempDir dir;
    const QString file = QString::fromStdString((dir / "chart.bmp").string());
    QVERIFY(f.chart.SaveToBitmapFile(file));
    QFile raw(file);
    QVERIFY(raw.open(QIODevice::ReadOnly));
    QCOMPARE(raw.read(2), QByteArray("BM"));
    raw.close();
    QImage back;
    QVERIFY(back.load(file, "BMP"));
    QCOMPARE(back.size(), QSize(640, 400));
    QCOMPARE(back.pixelColor(f.pixel(5, 5)), color_of(kRed));
    // A folder that does not exist: reported, nothing written.
    const QString bad = QString::fromStdString((dir / "missing" / "chart.bmp").string());
    QVERIFY(!f.chart.SaveToBitmapFile(bad));
    QVERIFY(!QFile::exists(bad));
  }

  void image_of_another_size_leaves_the_widget_layout_alone() {
    Fixture f;
    const int start = f.chart.BottomAxis().IStartPos(), end = f.chart.BottomAxis().IEndPos();
    const QImage img = f.chart.DrawToImage(QSize(320, 200), clWindow);
    QCOMPARE(img.size(), QSize(320, 200));
    QCOMPARE(f.chart.BottomAxis().IStartPos(), start);
    QCOMPARE(f.chart.BottomAxis().IEndPos(), end);
    f.chart.CopyToClipboardBitmap();
    QCOMPARE(QApplication::clipboard()->image().size(), f.chart.size());
  }

  void axis_labels_use_the_format_and_increment() {
    Fixture f;
    TChartAxis& b = f.chart.BottomAxis();
    b.SetMinMax(0, 5000);
    auto labels = [&] {
      f.chart.Refresh();
      return b.Axis()->tickVectorLabels();
    };
    QVERIFY(labels().contains(QStringLiteral("1,000"))); // empty format: "#,##0.###"
    b.SetAxisValuesFormat(QStringLiteral("###0.00"));
    QVERIFY(labels().contains(QStringLiteral("1000.00")));
    b.SetAxisValuesFormat(QStringLiteral("###0"));
    QVERIFY(labels().contains(QStringLiteral("1000")));
    b.SetIncrement(250);
    const QVector<double> ticks = (labels(), b.Axis()->tickVector());
    QVERIFY(ticks.size() >= 2);
    for (double t : ticks)
      QCOMPARE(std::fmod(t, 250.0), 0.0);
    // Close ticks on a small range keep distinct labels.
    b.SetIncrement(0);
    b.SetAxisValuesFormat(QString());
    b.SetMinMax(0, 0.001);
    const QVector<QString> small = labels();
    QVERIFY2(small.contains(QStringLiteral("0.001")),
             qPrintable(QStringList(small.begin(), small.end()).join(' ')));
    QCOMPARE(QSet<QString>(small.begin(), small.end()).size(), small.size());
  }

  void title_lines_and_fonts() {
    TChart chart;
    chart.Title().SetText(QStringLiteral("HITRAN Intensities - Spectra"));
    chart.Title().Add(QString());
    QCOMPARE(chart.Title().Lines(), (QStringList{QStringLiteral("HITRAN Intensities - Spectra"), QString()}));
    chart.Title().SetText(QStringLiteral("a\r\nb\n"));
    QCOMPARE(chart.Title().Lines(), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
    QCOMPARE(chart.Title().Text(), QStringLiteral("a\nb"));
    zq::FontChoice font = chart.Title().Font();
    font.color = kRed;
    font.bold = false;
    chart.Title().SetFont(font);
    QCOMPARE(chart.Title().Font().color, kRed);
    chart.LeftAxis().Title().SetCaption(QStringLiteral("absorbance"));
    QCOMPARE(chart.LeftAxis().Title().Caption(), QStringLiteral("absorbance"));
    QCOMPARE(chart.LeftAxis().Axis()->label(), QStringLiteral("absorbance"));
  }
};

QTEST_MAIN(TestChart)
#include "test_chart.moc"
