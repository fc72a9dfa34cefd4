#include "zqChart.h"

#include "zqChartAxisFormat.h"
#include "zqColor.h"
#include "zqText.h"

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QRubberBand>
#include <QSaveFile>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <type_traits>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// How close (pixels) a click must come to a curve to hit it.
constexpr double kHitTolerance = 4;
// How far (pixels) the mouse must move before a press becomes a zoom or a scroll, so that a click with a
// shaky hand neither zooms nor counts as a scroll.
constexpr int kDragThreshold = 4;

// Default series colours in order of creation ($00BBGGRR): red, green, blue, fuchsia, teal, navy,
// maroon, olive, purple, gray, black.
constexpr uint32_t kPalette[] = {0x0000FF, 0x008000, 0xFF0000, 0xFF00FF, 0x808000, 0x800000,
                                 0x000080, 0x008080, 0x800080, 0x808080, 0x000000};

QFont to_qfont(const zq::FontChoice& f) {
  QFont font = QApplication::font();
  if (!f.name.empty()) font.setFamily(zqTextToQString(f.name));
  if (f.size > 0) font.setPointSize(f.size);
  font.setBold(f.bold);
  font.setItalic(f.italic);
  font.setUnderline(f.underline);
  font.setStrikeOut(f.strikeOut);
  return font;
}

zq::FontChoice default_font(int extraSize, bool bold) {
  const QFont app = QApplication::font();
  zq::FontChoice f;
  f.name = app.family().toStdString();
  f.size = (app.pointSize() > 0 ? app.pointSize() : 9) + extraSize;
  f.bold = bold;
  f.color = 0; // black
  return f;
}

bool same_font(const zq::FontChoice& a, const zq::FontChoice& b) {
  return a.name == b.name && a.size == b.size && a.bold == b.bold && a.italic == b.italic &&
         a.underline == b.underline && a.strikeOut == b.strikeOut && a.color == b.color;
}

QChar first_char(const QString& s, QChar fallback) {
  return s.isEmpty() ? fallback : s.at(0);
}

// Ticks of the base ticker, labels from the axis' format text.
template <class Base> class FormattedTicker : public Base {
public:
  explicit FormattedTicker(const TChartAxis& axis) : axis_(axis) {}

protected:
  QVector<double> createTickVector(double tickStep, const QCPRange& range) override {
    // Logarithmic ticks have no common step: each label decides its own decimals.
    step_ = std::is_same_v<Base, QCPAxisTickerLog> ? 0 : tickStep;
    return Base::createTickVector(tickStep, range);
  }
  QString getTickLabel(double tick, const QLocale& locale, QChar, int) override {
    // Ticks of a linear axis are multiples of the step; snap away the rounding noise near zero.
    if (step_ > 0 && std::fabs(tick) < step_ * 1e-9) tick = 0;
    return zqFormatAxisValue(tick, axis_.AxisValuesFormat(), step_, first_char(locale.decimalPoint(), u'.'),
                             first_char(locale.groupSeparator(), u','));
  }

private:
  const TChartAxis& axis_;
  double step_ = 0;
};

// The top axis as wavelengths: ticks at round wavelengths placed at their wavenumbers (10^4 / um).
class WavelengthTicker : public QCPAxisTicker {
protected:
  QVector<double> createTickVector(double, const QCPRange& range) override {
    QVector<double> ticks;
    for (double um : TChart::WavelengthTicks(range.lower, range.upper, tickCount() + 4))
      ticks << 1e4 / um;
    return ticks;
  }
  QVector<double> createSubTickVector(int, const QVector<double>&) override { return {}; }
  QString getTickLabel(double tick, const QLocale& locale, QChar, int) override {
    return locale.toString(1e4 / tick, 'g', 4);
  }
};

// Pixel of a value along an axis; NaN for a value that cannot be drawn there. The linear case is one
// multiply-add, which keeps mapping 300,000 points cheap.
class AxisMap {
public:
  explicit AxisMap(const QCPAxis* axis) : axis_(axis), log_(axis->scaleType() == QCPAxis::stLogarithmic) {
    if (!log_) {
      const QCPRange r = axis->range();
      const double p0 = axis->coordToPixel(r.lower), p1 = axis->coordToPixel(r.upper);
      a_ = (p1 - p0) / (r.upper - r.lower);
      b_ = p0 - a_ * r.lower;
    }
  }
  double operator()(double v) const {
    if (!std::isfinite(v)) return kNaN;
    if (!log_) return a_ * v + b_;
    return v > 0 ? axis_->coordToPixel(v) : kNaN;
  }
  bool linear() const { return !log_; }
  double a() const { return a_; }
  double b() const { return b_; }

private:
  const QCPAxis* axis_;
  bool log_;
  double a_ = 1, b_ = 0;
};

// Liang-Barsky: clips the segment a-b to box; false when nothing of it lies inside.
bool clip_segment(QPointF& a, QPointF& b, const QRectF& box) {
  const double dx = b.x() - a.x(), dy = b.y() - a.y();
  double t0 = 0, t1 = 1;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {a.x() - box.left(), box.right() - a.x(), a.y() - box.top(), box.bottom() - a.y()};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0)
      t0 = std::max(t0, t);
    else
      t1 = std::min(t1, t);
    if (t0 > t1) return false;
  }
  const QPointF start = a;
  if (t1 < 1) b = QPointF(start.x() + t1 * dx, start.y() + t1 * dy);
  if (t0 > 0) a = QPointF(start.x() + t0 * dx, start.y() + t0 * dy);
  return true;
}

double distance_to_segment(const QPointF& p, const QPointF& a, const QPointF& b, double& t) {
  const double dx = b.x() - a.x(), dy = b.y() - a.y();
  const double len2 = dx * dx + dy * dy;
  t = len2 > 0 ? std::clamp(((p.x() - a.x()) * dx + (p.y() - a.y()) * dy) / len2, 0.0, 1.0) : 0.0;
  return std::hypot(p.x() - (a.x() + t * dx), p.y() - (a.y() + t * dy));
}

Qt::PenStyle qt_pen_style(TPenStyle s) {
  switch (s) {
  case TPenStyle::Dash:
    return Qt::DashLine;
  case TPenStyle::Dot:
    return Qt::DotLine;
  case TPenStyle::DashDot:
    return Qt::DashDotLine;
  case TPenStyle::DashDotDot:
    return Qt::DashDotDotLine;
  case TPenStyle::Solid:
    break;
  }
  return Qt::SolidLine;
}

} // namespace

// The plottable that draws one TLineSeries straight from its vectors (no copy), in the order the points
// were added. Per pixel column it draws only the first, lowest, highest and last point of the run of
// consecutive points that fall into that column, which looks the same as drawing them all.
class TChartCurve : public QCPAbstractPlottable {
public:
  TChartCurve(TLineSeries& series, QCPAxis* keyAxis, QCPAxis* valueAxis)
      : QCPAbstractPlottable(keyAxis, valueAxis), series_(series) {
    setAntialiased(false);
    setAntialiasedFill(false);
  }
  TLineSeries& series() const { return series_; }
  void invalidate_ranges() { ranges_valid_ = false; }

  double selectTest(const QPointF&, bool, QVariant*) const override { return -1; }
  QCPRange getKeyRange(bool& found, QCP::SignDomain domain) const override {
    return pick(true, domain, found);
  }
  QCPRange getValueRange(bool& found, QCP::SignDomain domain, const QCPRange&) const override {
    return pick(false, domain, found);
  }

  // Distance in pixels from p to the drawn curve and the index of the point nearest to where it passes.
  double distance_to(const QPointF& p, int& index) const {
    const AxisMap kx(keyAxis()), vy(valueAxis());
    const auto& X = series_.XValues();
    const auto& Y = series_.YValues();
    double best = std::numeric_limits<double>::infinity();
    index = -1;
    QPointF prev;
    bool havePrev = false;
    for (std::size_t i = 0; i < X.size(); ++i) {
      const QPointF cur(kx(X[i]), vy(Y[i]));
      if (std::isnan(cur.x()) || std::isnan(cur.y())) {
        havePrev = false;
        continue;
      }
      double d, t = 0;
      if (havePrev) {
        // Skip segments whose bounding box is far from p (most of them).
        if (std::min(prev.x(), cur.x()) - kHitTolerance > p.x() ||
            std::max(prev.x(), cur.x()) + kHitTolerance < p.x() ||
            std::min(prev.y(), cur.y()) - kHitTolerance > p.y() ||
            std::max(prev.y(), cur.y()) + kHitTolerance < p.y()) {
          prev = cur;
          continue;
        }
        d = distance_to_segment(p, prev, cur, t);
      } else {
        d = std::hypot(p.x() - cur.x(), p.y() - cur.y());
        t = 1;
      }
      if (d < best) {
        best = d;
        index = static_cast<int>(t < 0.5 && havePrev ? i - 1 : i);
      }
      prev = cur;
      havePrev = true;
    }
    return best;
  }

  void sync_appearance(QCustomPlot& plot) {
    setKeyAxis(series_.HorizAxis() == THorizAxis::Top ? plot.xAxis2 : plot.xAxis);
    setValueAxis(series_.VertAxis() == TVertAxis::Right ? plot.yAxis2 : plot.yAxis);
    setVisible(series_.Active());
    setName(zqTextToQString(series_.Title()));
    setPen(make_pen());
  }

protected:
  void draw(QCPPainter* painter) override {
    if (!series_.Active() || series_.Count() == 0 || !keyAxis() || !valueAxis()) return;
    const QPen pen = make_pen();
    const double margin = pen.widthF() + 2;
    const QRectF box = QRectF(clipRect()).adjusted(-margin, -margin, margin, margin);
    decimate(box);

    if (series_.LinePen().Mode == TPenMode::Mask)
      draw_masked(painter, pen, box);
    else {
      painter->setPen(pen);
      painter->setBrush(Qt::NoBrush);
      draw_clipped(painter, box);
    }

    if (series_.PointerVisible()) draw_pointers(painter);
    if (series_.MarksVisible()) draw_marks(painter);
  }

  void drawLegendIcon(QCPPainter* painter, const QRectF& rect) const override {
    painter->setPen(make_pen());
    painter->drawLine(QLineF(rect.left(), rect.center().y(), rect.right(), rect.center().y()));
  }

private:
  struct Extent {
    bool found = false;
    double lo = 0, hi = 0;
    void add(double v) {
      if (!found)
        lo = hi = v, found = true;
      else
        lo = std::min(lo, v), hi = std::max(hi, v);
    }
  };

  QPen make_pen() const {
    QPen pen(zqColorToQColor(series_.SeriesColor()), std::max(1, series_.LinePen().Width),
             qt_pen_style(series_.LinePen().Style));
    pen.setCapStyle(Qt::FlatCap);
    return pen;
  }

  QCPRange pick(bool keys, QCP::SignDomain domain, bool& found) const {
    if (!ranges_valid_ || series_.HasPendingChanges()) {
      for (auto* e : {&x_all_, &x_pos_, &y_all_, &y_pos_})
        *e = Extent();
      for (double v : series_.XValues())
        if (std::isfinite(v)) {
          x_all_.add(v);
          if (v > 0) x_pos_.add(v);
        }
      for (double v : series_.YValues())
        if (std::isfinite(v)) {
          y_all_.add(v);
          if (v > 0) y_pos_.add(v);
        }
      ranges_valid_ = !series_.HasPendingChanges();
    }
    const Extent& e = domain == QCP::sdPositive ? (keys ? x_pos_ : y_pos_) : (keys ? x_all_ : y_all_);
    found = e.found;
    return QCPRange(e.lo, e.hi);
  }

  // Fills pts_ with the points to draw, NaN points marking gaps.
  void decimate(const QRectF& box) {
    const AxisMap kx(keyAxis()), vy(valueAxis());
    if (kx.linear() && vy.linear()) {
      // The common case without a call per point; non-finite values come out non-finite.
      const double ka = kx.a(), kb = kx.b(), va = vy.a(), vb = vy.b();
      decimate_with([=](double x) { return ka * x + kb; }, [=](double y) { return va * y + vb; }, box);
    } else {
      decimate_with(kx, vy, box);
    }
  }

  template <class MapX, class MapY>
  void decimate_with(const MapX& mapX, const MapY& mapY, const QRectF& box) {
    const auto& X = series_.XValues();
    const auto& Y = series_.YValues();
    const double left = box.left(), right = box.right();
    pts_.clear();
    // The current run: points in one pixel column (side 0) or beyond one side of the box (-1, +1).
    int side = 0;
    double column = kNaN;
    QPointF entry, low, high, exit;
    bool lowFirst = true, open = false;
    auto push = [this](const QPointF& p) {
      if (pts_.empty() || pts_.back() != p) pts_.push_back(p);
    };
    auto close = [&] {
      if (!open) return;
      push(entry);
      if (side == 0) {
        push(lowFirst ? low : high);
        push(lowFirst ? high : low);
      }
      push(exit);
      open = false;
    };
    const std::size_t n = X.size();
    for (std::size_t i = 0; i < n; ++i) {
      const double px = mapX(X[i]), py = mapY(Y[i]);
      if (!std::isfinite(px) || !std::isfinite(py)) {
        close();
        if (!pts_.empty() && !std::isnan(pts_.back().x())) pts_.push_back(QPointF(kNaN, kNaN));
        continue;
      }
      const int s = px < left ? -1 : px > right ? 1 : 0;
      // Columns as the drawing rounds them.
      const double col = std::floor(px + 0.5);
      if (open && s == side && (s != 0 || col == column)) {
        exit = QPointF(px, py);
        // Screen y grows downwards: "low" is the largest pixel y.
        if (s == 0 && py > low.y())
          low = exit, lowFirst = false;
        else if (s == 0 && py < high.y())
          high = exit, lowFirst = true;
        continue;
      }
      close();
      open = true;
      side = s;
      column = col;
      entry = low = high = exit = QPointF(px, py);
      lowFirst = true;
    }
    close();
  }

  // Draws pts_ clipped to box. Whole pixels, as QCustomPlot's own aliased lines and the axes' pixel
  // conversion round them, so a curve lands on the pixel of its value.
  void draw_clipped(QCPPainter* painter, const QRectF& box) {
    std::vector<QPointF> piece;
    std::vector<QPoint> whole;
    auto flush = [&] {
      if (piece.size() >= 2) {
        whole.clear();
        for (const QPointF& p : piece)
          if (whole.empty() || whole.back() != p.toPoint()) whole.push_back(p.toPoint());
        if (whole.size() == 1) whole.push_back(whole.back());
        painter->drawPolyline(whole.data(), static_cast<int>(whole.size()));
      }
      piece.clear();
    };
    for (std::size_t i = 1; i < pts_.size(); ++i) {
      QPointF a = pts_[i - 1], b = pts_[i];
      if (std::isnan(a.x()) || std::isnan(b.x())) {
        flush();
        continue;
      }
      const QPointF end = b;
      if (!clip_segment(a, b, box)) {
        flush();
        continue;
      }
      if (piece.empty() || piece.back() != a) {
        flush();
        piece.push_back(a);
      }
      piece.push_back(b);
      if (b != end) flush();
    }
    flush();
  }

  // Mask mode: each pixel of the curve becomes pen colour AND the colour below. Stroking the polyline
  // with a raster operation makes Qt's raster engine fall back to a slow, thread-dispatching span path
  // (over 100 ms for six curves), so the curve is drawn normally onto white (the neutral element of AND)
  // and that image is combined with what is drawn in one raster-operation blit.
  void draw_masked(QCPPainter* painter, const QPen& pen, const QRectF& box) {
    // The clip the layer set (QCustomPlot shifts it a pixel up from clipRect()), so the image covers the
    // row of the axis maximum as copy mode does.
    const QRect area = painter->hasClipping() ? painter->clipBoundingRect().toAlignedRect() : clipRect();
    if (area.isEmpty()) return;
    const qreal dpr = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    const QSize size = (QSizeF(area.size()) * dpr).toSize();
    if (mask_image_.size() != size) mask_image_ = QImage(size, QImage::Format_RGB32);
    mask_image_.setDevicePixelRatio(dpr);
    mask_image_.fill(Qt::white);
    {
      QCPPainter p(&mask_image_);
      p.setAntialiasing(false);
      p.translate(-area.topLeft());
      p.setPen(pen);
      p.setBrush(Qt::NoBrush);
      draw_clipped(&p, box);
    }
    const QPainter::CompositionMode old = painter->compositionMode();
    painter->setCompositionMode(QPainter::RasterOp_SourceAndDestination);
    painter->drawImage(area.topLeft(), mask_image_);
    painter->setCompositionMode(old);
    draw_edges_copied(painter, area, dpr);
  }

  // The axis lines frame the plot area on its outermost rows and columns. ANDed with their black a curve
  // clamped to the range (a mean path at its maximum) would vanish, so there the curve is drawn as copy
  // mode draws it: its own pixels over the line.
  void draw_edges_copied(QCPPainter* painter, const QRect& area, qreal dpr) {
    const int w = mask_image_.width(), h = mask_image_.height();
    const int t = std::max(1, qRound(dpr)); // one logical pixel in device pixels
    for (const QRect strip :
         {QRect(0, 0, w, t), QRect(0, h - t, w, t), QRect(0, 0, t, h), QRect(w - t, 0, t, h)}) {
      QImage edge = mask_image_.copy(strip).convertToFormat(QImage::Format_ARGB32);
      bool any = false;
      for (int y = 0; y < edge.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(edge.scanLine(y));
        for (int x = 0; x < edge.width(); ++x) {
          if ((line[x] & 0xFFFFFF) == 0xFFFFFF)
            line[x] = 0; // white: nothing of the curve here
          else
            any = true;
        }
      }
      if (!any) continue;
      edge.setDevicePixelRatio(dpr);
      painter->drawImage(QPointF(area.left() + strip.left() / dpr, area.top() + strip.top() / dpr), edge);
    }
  }

  void draw_pointers(QCPPainter* painter) {
    const AxisMap kx(keyAxis()), vy(valueAxis());
    const QRectF area = clipRect();
    painter->setPen(QPen(Qt::black, 1));
    painter->setBrush(zqColorToQColor(series_.SeriesColor()));
    QPoint last(INT_MIN, INT_MIN);
    const auto& X = series_.XValues();
    const auto& Y = series_.YValues();
    for (std::size_t i = 0; i < X.size(); ++i) {
      const QPointF p(kx(X[i]), vy(Y[i]));
      if (std::isnan(p.x()) || std::isnan(p.y()) || !area.contains(p)) continue;
      const QPoint pix = p.toPoint();
      if (pix == last) continue; // one marker per pixel is all that can be seen
      last = pix;
      painter->drawRect(QRectF(p.x() - 3, p.y() - 3, 6, 6));
    }
  }

  void draw_marks(QCPPainter* painter) {
    const AxisMap kx(keyAxis()), vy(valueAxis());
    const QRectF area = clipRect();
    const QFontMetrics fm(painter->font());
    const QLocale locale = parentPlot()->locale();
    painter->setPen(QPen(Qt::black, 1));
    painter->setBrush(QColor(255, 255, 225));
    double freeFrom = -std::numeric_limits<double>::infinity();
    const auto& X = series_.XValues();
    const auto& Y = series_.YValues();
    for (std::size_t i = 0; i < X.size(); ++i) {
      const QPointF p(kx(X[i]), vy(Y[i]));
      if (std::isnan(p.x()) || std::isnan(p.y()) || !area.contains(p) || p.x() < freeFrom) continue;
      // Labels that would overlap the previous one are left out.
      const QString text =
          zqFormatAxisValue(Y[i], QStringLiteral("#,##0.###"), 0, first_char(locale.decimalPoint(), u'.'),
                            first_char(locale.groupSeparator(), u','));
      const QRectF r(p.x() - fm.horizontalAdvance(text) / 2.0 - 2, p.y() - fm.height() - 8,
                     fm.horizontalAdvance(text) + 4, fm.height() + 2);
      if (r.left() < freeFrom) continue;
      painter->drawRect(r);
      painter->drawText(r, Qt::AlignCenter, text);
      freeFrom = r.right() + 2;
    }
  }

  TLineSeries& series_;
  std::vector<QPointF> pts_;
  QImage mask_image_;
  mutable bool ranges_valid_ = false;
  mutable Extent x_all_, x_pos_, y_all_, y_pos_;
};

// ---- axis title ------------------------------------------------------------------------------------

TChartAxisTitle::TChartAxisTitle(QCPAxis* axis) : axis_(axis), font_(default_font(0, false)) {
  axis_->setLabelFont(to_qfont(font_));
  axis_->setLabelColor(zqColorToQColor(font_.color));
}

QString TChartAxisTitle::Caption() const {
  return axis_->label();
}

// Setters that change nothing do not repaint: an after-draw handler that writes the same settings back
// (the properties dialog refreshing itself) must not start an endless round of repaints.
void TChartAxisTitle::SetCaption(const QString& caption) {
  if (caption == axis_->label()) return;
  axis_->setLabel(caption);
  static_cast<TChart*>(axis_->parentPlot())->Invalidate();
}

void TChartAxisTitle::SetFont(const zq::FontChoice& font) {
  if (same_font(font, font_)) return;
  font_ = font;
  axis_->setLabelFont(to_qfont(font_));
  axis_->setLabelColor(zqColorToQColor(font_.color));
  static_cast<TChart*>(axis_->parentPlot())->Invalidate();
}

// ---- axis ------------------------------------------------------------------------------------------

TChartAxis::TChartAxis(TChart& chart, QCPAxis* axis, TChartAxisKind kind)
    : chart_(chart), axis_(axis), kind_(kind), title_(axis) {
  axis_->setTickLabels(true);
  axis_->setTicks(true);
  axis_->setTickLabelFont(to_qfont(default_font(0, false)));
  axis_->setRange(min_, max_);
  apply_ticker();
}

void TChartAxis::apply_ticker() {
  QSharedPointer<QCPAxisTicker> ticker;
  if (Logarithmic()) {
    auto* log = new FormattedTicker<QCPAxisTickerLog>(*this);
    log->setLogBase(10);
    log->setSubTickCount(8);
    ticker.reset(log);
  } else if (increment_ > 0) {
    auto* fixed = new FormattedTicker<QCPAxisTickerFixed>(*this);
    fixed->setTickStep(increment_);
    // The increment is the smallest step: a multiple of it is used when labels would crowd.
    fixed->setScaleStrategy(QCPAxisTickerFixed::ssMultiples);
    ticker.reset(fixed);
  } else {
    ticker.reset(new FormattedTicker<QCPAxisTicker>(*this));
  }
  axis_->setTicker(ticker);
  chart_.Invalidate();
}

namespace {
void require_finite(double v) {
  if (!std::isfinite(v)) throw std::invalid_argument("An axis limit must be a finite number");
}
} // namespace

void TChartAxis::change_range(double lo, double hi, bool automatic) {
  require_finite(lo);
  require_finite(hi);
  if (automatic == automatic_ && lo == min_ && hi == max_) return;
  min_ = lo;
  max_ = hi;
  automatic_ = automatic;
  chart_.remember_changed(*this);
  chart_.Invalidate();
}

void TChartAxis::SetAutomatic(bool on) {
  change_range(min_, max_, on);
}

double TChartAxis::Minimum() const {
  if (automatic_) chart_.automatic_range(*this);
  return min_;
}

double TChartAxis::Maximum() const {
  if (automatic_) chart_.automatic_range(*this);
  return max_;
}

// An end set past the other one is kept: the range becomes valid again when the other end follows
// (setting a new range end by end must not depend on the order). Until then the axis draws a unit range
// from the minimum.
void TChartAxis::SetMinimum(double v) {
  change_range(v, Maximum(), automatic_);
}

void TChartAxis::SetMaximum(double v) {
  change_range(Minimum(), v, automatic_);
}

void TChartAxis::SetMinMax(double a, double b) {
  require_finite(a);
  require_finite(b);
  change_range(std::min(a, b), std::max(a, b), false);
}

void TChartAxis::SetIncrement(double v) {
  v = std::isfinite(v) ? std::fabs(v) : 0;
  if (v == increment_) return;
  increment_ = v;
  apply_ticker();
}

bool TChartAxis::Logarithmic() const {
  return axis_->scaleType() == QCPAxis::stLogarithmic;
}

void TChartAxis::SetLogarithmic(bool on) {
  if (on == Logarithmic()) return;
  axis_->setScaleType(on ? QCPAxis::stLogarithmic : QCPAxis::stLinear);
  apply_ticker();
}

bool TChartAxis::Inverted() const {
  return axis_->rangeReversed();
}

void TChartAxis::SetInverted(bool on) {
  if (on == Inverted()) return;
  axis_->setRangeReversed(on);
  chart_.Invalidate();
}

bool TChartAxis::GridVisible() const {
  return grid_;
}

void TChartAxis::SetGridVisible(bool on) {
  if (on == grid_) return;
  grid_ = on;
  chart_.Invalidate();
}

void TChartAxis::SetAxisValuesFormat(const QString& format) {
  if (format == format_) return;
  format_ = format;
  chart_.Invalidate(); // tick labels are made anew at every repaint
}

bool TChartAxis::Visible() const {
  return chart_.axis_in_use(*this);
}

// The same extent the pixel conversion uses: a horizontal axis runs from left to left + width, a vertical
// one from bottom - height to bottom.
int TChartAxis::IStartPos() const {
  const QCPAxisRect* r = axis_->axisRect();
  return Horizontal() ? r->left() : r->bottom() - r->height();
}

int TChartAxis::IEndPos() const {
  const QCPAxisRect* r = axis_->axisRect();
  return Horizontal() ? r->left() + r->width() : r->bottom();
}

double TChartAxis::CalcPosPoint(int pixel) const {
  return axis_->pixelToCoord(pixel);
}

double TChartAxis::CalcPosValue(double value) const {
  return axis_->coordToPixel(value);
}

// ---- title -----------------------------------------------------------------------------------------

TChartTitle::TChartTitle(TChart& chart) : chart_(chart), font_(default_font(2, true)) {
  element_ = new QCPTextElement(&chart);
  chart.plotLayout()->insertRow(0);
  chart.plotLayout()->addElement(0, 0, element_);
  apply();
}

void TChartTitle::apply() {
  element_->setText(lines_.join(u'\n'));
  element_->setFont(to_qfont(font_));
  element_->setTextColor(zqColorToQColor(font_.color));
  chart_.Invalidate();
}

void TChartTitle::SetLines(const QStringList& lines) {
  if (lines == lines_) return;
  lines_ = lines;
  apply();
}

QString TChartTitle::Text() const {
  return lines_.join(u'\n');
}

void TChartTitle::SetText(const QString& text) {
  static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
  QStringList lines = text.split(lineBreak);
  // A text that ends with a line break has no further, empty line.
  if (lines.size() > 1 && lines.back().isEmpty()) lines.pop_back();
  SetLines(lines);
}

void TChartTitle::Add(const QString& line) {
  lines_ << line;
  apply();
}

void TChartTitle::Clear() {
  if (lines_.isEmpty()) return;
  lines_.clear();
  apply();
}

void TChartTitle::SetFont(const zq::FontChoice& font) {
  if (same_font(font, font_)) return;
  font_ = font;
  apply();
}

// ---- chart -----------------------------------------------------------------------------------------

TChart::TChart(QWidget* parent) : QCustomPlot(parent) {
  repaint_timer_ = new QTimer(this);
  repaint_timer_->setSingleShot(true);
  repaint_timer_->setInterval(0);
  connect(repaint_timer_, &QTimer::timeout, this, [this] { repaint_now(QCustomPlot::rpRefreshHint); });

  axes_[0].reset(new TChartAxis(*this, yAxis, TChartAxisKind::Left));
  axes_[1].reset(new TChartAxis(*this, yAxis2, TChartAxisKind::Right));
  axes_[2].reset(new TChartAxis(*this, xAxis2, TChartAxisKind::Top));
  axes_[3].reset(new TChartAxis(*this, xAxis, TChartAxisKind::Bottom));
  title_.reset(new TChartTitle(*this));
  legend->setVisible(false);
  // The legend sits in the plot's upper right corner, small and see-through enough not to hide a curve.
  {
    QFont font = legend->font();
    font.setPointSizeF(std::max(7.0, font.pointSizeF() - 1));
    legend->setFont(font);
    legend->setBrush(QColor(255, 255, 255, 210));
    legend->setBorderPen(QPen(QColor(160, 160, 160)));
    axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignTop | Qt::AlignRight);
  }
  setLocale(QLocale()); // tick labels with the user's decimal point and thousands separator
  setInteractions(QCP::Interactions());
  setMouseTracking(true); // the read-out under the cursor follows it without a button
  setPlottingHint(QCP::phFastPolylines, true);

  rubber_band_ = new QRubberBand(QRubberBand::Rectangle, this);
  undo_zoom_action_ = new QAction(tr("Reset Zoom"), this);
  connect(undo_zoom_action_, &QAction::triggered, this, [this] { UndoZoom(); });
  addAction(undo_zoom_action_);

  connect(this, &QCustomPlot::afterReplot, this, [this] {
    ++repaint_count_;
    if (OnAfterDraw) OnAfterDraw(*this);
  });
  apply_background();
}

TChart::~TChart() {
  for (auto& s : series_) {
    s->OnChange = nullptr;
    s->OnPendingChanges = nullptr;
  }
}

TLineSeries& TChart::AddSeries() {
  auto owned = std::make_unique<TLineSeries>();
  TLineSeries& s = *owned;
  s.SetSeriesColor(kPalette[series_.size() % std::size(kPalette)]);
  auto* curve = new TChartCurve(s, xAxis, yAxis);
  curve->sync_appearance(*this);
  curve->addToLegend();
  s.OnChange = [this](TLineSeries& changed, TLineSeries::Change what) { series_changed(changed, what); };
  s.OnPendingChanges = [this](TLineSeries&) { Invalidate(); };
  series_.push_back(std::move(owned));
  curves_.push_back(curve);
  Invalidate();
  return s;
}

TLineSeries& TChart::Series(int index) {
  if (index < 0 || index >= SeriesCount()) throw std::out_of_range("Series index out of range");
  return *series_[index];
}

const TLineSeries& TChart::Series(int index) const {
  if (index < 0 || index >= SeriesCount()) throw std::out_of_range("Series index out of range");
  return *series_[index];
}

int TChart::IndexOfSeries(const TLineSeries& series) const {
  for (std::size_t i = 0; i < series_.size(); ++i)
    if (series_[i].get() == &series) return static_cast<int>(i);
  return -1;
}

void TChart::SetSeriesBeneath(const TLineSeries& series, bool beneath) {
  TChartCurve* curve = curve_of(series);
  if (!curve || beneath == SeriesBeneath(series)) return;
  const QString name = beneath ? QStringLiteral("beneath") : QStringLiteral("main");
  if (!layer(name)) addLayer(name, layer(QStringLiteral("main")), limBelow);
  curve->setLayer(name);
  Invalidate();
}

bool TChart::SeriesBeneath(const TLineSeries& series) const {
  const TChartCurve* curve = curve_of(series);
  return curve && curve->layer() && curve->layer()->name() == QStringLiteral("beneath");
}

TChartCurve* TChart::curve_of(const TLineSeries& series) const {
  const int i = IndexOfSeries(series);
  return i < 0 ? nullptr : curves_[i];
}

void TChart::series_changed(TLineSeries& series, TLineSeries::Change change) {
  TChartCurve* curve = curve_of(series);
  if (!curve) return;
  if (change == TLineSeries::Change::Points)
    curve->invalidate_ranges();
  else
    curve->sync_appearance(*this);
  Invalidate();
}

QStringList TChart::LegendTexts() {
  prepare_axes();
  QStringList texts;
  for (int i = 0; i < legend->itemCount(); ++i)
    if (auto* item = qobject_cast<QCPPlottableLegendItem*>(legend->item(i)))
      texts << item->plottable()->name();
  return texts;
}

bool TChart::LegendVisible() const {
  return legend->visible();
}

void TChart::SetLegendVisible(bool on) {
  if (on == legend->visible()) return;
  legend->setVisible(on);
  Invalidate();
}

Qt::Alignment TChart::LegendCorner() const {
  return axisRect()->insetLayout()->insetAlignment(0);
}

void TChart::SetLegendCorner(Qt::Alignment corner) {
  if (corner == LegendCorner()) return;
  axisRect()->insetLayout()->setInsetAlignment(0, corner);
  Invalidate();
}

void TChart::SetColor(uint32_t color) {
  if (color == color_) return;
  color_ = color;
  apply_background();
}

void TChart::SetBackWallColor(uint32_t color) {
  if (color == back_wall_color_) return;
  back_wall_color_ = color;
  apply_background();
}

void TChart::SetBackWallTransparent(bool clear) {
  if (clear == back_wall_transparent_) return;
  back_wall_transparent_ = clear;
  apply_background();
}

void TChart::apply_background() {
  const QColor chartColor = zqColorToQColor(color_);
  setBackground(QBrush(chartColor));
  // The plot area is always painted opaque, in the back wall's colour or, with a clear back wall, in the
  // chart's: curves drawn in mask mode combine with what is below them, and an unpainted layer buffer
  // is transparent black, which would swallow them.
  axisRect()->setBackground(QBrush(back_wall_transparent_ ? chartColor : zqColorToQColor(back_wall_color_)));
  Invalidate();
}

// ---- ranges ----------------------------------------------------------------------------------------

bool TChart::axis_in_use(const TChartAxis& axis) const {
  if (axis.Kind() == TChartAxisKind::Left || axis.Kind() == TChartAxisKind::Bottom) return true;
  for (const TChartCurve* c : curves_)
    if (c->series().Active() && (c->keyAxis() == axis.axis_ || c->valueAxis() == axis.axis_)) return true;
  return false;
}

bool TChart::DataRange(const TChartAxis& axis, bool positiveOnly, double& lo, double& hi) const {
  const QCP::SignDomain domain = positiveOnly ? QCP::sdPositive : QCP::sdBoth;
  bool found = false;
  QCPRange total;
  for (const TChartCurve* c : curves_) {
    if (!c->series().Active()) continue;
    bool f = false;
    QCPRange r;
    if (axis.Horizontal() && c->keyAxis() == axis.axis_)
      r = c->getKeyRange(f, domain);
    else if (!axis.Horizontal() && c->valueAxis() == axis.axis_)
      r = c->getValueRange(f, domain, QCPRange());
    if (!f) continue;
    if (found)
      total.expand(r);
    else
      total = r, found = true;
  }
  if (found) lo = total.lower, hi = total.upper;
  return found;
}

TChartAxis& TChart::TwinAxis(const TChartAxis& axis) {
  switch (axis.Kind()) {
  case TChartAxisKind::Left:
    return RightAxis();
  case TChartAxisKind::Right:
    return LeftAxis();
  case TChartAxisKind::Top:
    return BottomAxis();
  case TChartAxisKind::Bottom:
    break;
  }
  return TopAxis();
}

void TChart::automatic_range(const TChartAxis& axis) {
  double lo = 0, hi = 0;
  if (!DataRange(axis, axis.Logarithmic(), lo, hi)) return; // no data: the axis keeps its range
  axis.min_ = lo;
  axis.max_ = hi;
}

void TChart::prepare_axes() {
  // The legend names the curves drawn (shown series with points and a title), in series order.
  std::vector<TChartCurve*> listed;
  for (TChartCurve* c : curves_)
    if (c->series().Active() && c->series().Count() > 0 && !c->series().Title().empty()) listed.push_back(c);
  bool same = legend->itemCount() == static_cast<int>(listed.size());
  for (std::size_t i = 0; same && i < listed.size(); ++i)
    same = legend->itemWithPlottable(listed[i]) == legend->item(static_cast<int>(i));
  if (!same) {
    legend->clearItems();
    for (TChartCurve* c : listed)
      c->addToLegend();
  }
  for (auto& a : axes_) {
    const bool visible = axis_in_use(*a);
    a->axis_->setVisible(visible);
    a->axis_->grid()->setVisible(visible && a->grid_);
    if (a->automatic_) automatic_range(*a);
    double lo = a->min_, hi = a->max_;
    if (!(hi > lo)) {
      // A single value (or an end set past the other one): show a range around it.
      if (a->Logarithmic() && lo > 0)
        hi = lo * 10, lo /= 10;
      else if (a->automatic_)
        lo -= 1, hi = lo + 2;
      else
        hi = lo + 1;
    }
    a->axis_->setRange(lo, hi);
  }
  if (wavelength_top_) {
    TChartAxis& top = TopAxis();
    top.axis_->setVisible(true);
    top.axis_->grid()->setVisible(false);
    top.axis_->setScaleType(QCPAxis::stLinear);
    top.axis_->setRangeReversed(BottomAxis().Inverted());
    top.axis_->setRange(BottomAxis().axis_->range());
  }
}

std::vector<double> TChart::WavelengthTicks(double lo, double hi, int maxTicks) {
  std::vector<double> out;
  if (!(hi > lo) || !(hi > 0) || maxTicks < 1) return out;
  lo = std::max(lo, hi * 1e-6); // wavenumber 0 is an endless wavelength
  const double longest = 1e4 / lo, shortest = 1e4 / hi;
  // Round wavelengths from fine to coarse sets of mantissas. Towards wavenumber 0 every decade closes
  // up, so each set keeps only ticks far enough (in wavenumber) from the last one kept, starting at the
  // short-wavelength end; the coarsest set that keeps nearly as many ticks as the best one wins, for
  // the roundest labels.
  static const std::vector<std::vector<double>> mantissas = {{1, 1.5, 2, 2.5, 3, 3.5, 4, 4.5, 5, 6, 7, 8, 9},
                                                             {1, 2, 3, 4, 5, 6, 7, 8, 9},
                                                             {1, 2, 3, 4, 5, 7},
                                                             {1, 2, 5},
                                                             {1, 3},
                                                             {1}};
  const double spacing = (hi - lo) / (maxTicks - 0.5); // at most maxTicks ticks
  std::vector<std::vector<double>> candidates;
  std::size_t most = 0;
  for (const auto& m : mantissas) {
    std::vector<double> all;
    for (int e = static_cast<int>(std::floor(std::log10(shortest))) - 1;
         e <= static_cast<int>(std::ceil(std::log10(longest))); ++e)
      for (double v : m) {
        const double um = v * std::pow(10.0, e);
        if (um >= shortest && um <= longest) all.push_back(um);
      }
    std::sort(all.begin(), all.end());
    std::vector<double> kept;
    for (double um : all)
      if (kept.empty() || 1e4 / kept.back() - 1e4 / um >= spacing) kept.push_back(um);
    most = std::max(most, kept.size());
    candidates.push_back(std::move(kept));
  }
  for (auto it = candidates.rbegin(); it != candidates.rend(); ++it)
    if (4 * it->size() >= 3 * most) return *it;
  return out;
}

void TChart::SetWavelengthTopAxis(bool on) {
  if (on == wavelength_top_) return;
  wavelength_top_ = on;
  if (on) {
    TopAxis().axis_->setTicker(QSharedPointer<QCPAxisTicker>(new WavelengthTicker));
    if (TopAxis().Title().Caption().isEmpty())
      TopAxis().Title().SetCaption(QStringLiteral("Wavelength (um)"));
  } else {
    TopAxis().axis_->setScaleType(TopAxis().Logarithmic() ? QCPAxis::stLogarithmic : QCPAxis::stLinear);
    TopAxis().apply_ticker();
    if (TopAxis().Title().Caption() == QStringLiteral("Wavelength (um)")) TopAxis().Title().SetCaption({});
  }
  Invalidate();
}

void TChart::SetMarkedRanges(const QString& group, const std::vector<TChartRange>& ranges) {
  MarkedGroup& g = marked_[group];
  for (QCPAbstractItem* item : g.items)
    removeItem(item);
  g.items.clear();
  g.ranges = ranges;
  if (!layer(QStringLiteral("marks")))
    addLayer(QStringLiteral("marks"), layer(QStringLiteral("grid")), limAbove);
  for (const TChartRange& r : ranges) {
    auto* rect = new QCPItemRect(this);
    rect->setLayer(QStringLiteral("marks"));
    rect->setClipToAxisRect(true);
    for (QCPItemPosition* p : {rect->topLeft, rect->bottomRight}) {
      p->setTypeX(QCPItemPosition::ptPlotCoords);
      p->setTypeY(QCPItemPosition::ptAxisRectRatio);
      p->setAxes(xAxis, yAxis);
      p->setAxisRect(axisRect());
    }
    rect->topLeft->setCoords(std::min(r.Lo, r.Hi), 0);
    rect->bottomRight->setCoords(std::max(r.Lo, r.Hi), 1);
    rect->setPen(Qt::NoPen);
    rect->setBrush(r.Color);
    g.items.push_back(rect);
    if (r.Label.isEmpty()) continue;
    auto* text = new QCPItemText(this);
    text->setLayer(QStringLiteral("marks"));
    text->setClipToAxisRect(true);
    text->position->setTypeX(QCPItemPosition::ptPlotCoords);
    text->position->setTypeY(QCPItemPosition::ptAxisRectRatio);
    text->position->setAxes(xAxis, yAxis);
    text->position->setAxisRect(axisRect());
    text->position->setCoords((r.Lo + r.Hi) / 2, r.LabelAtTop ? 0.01 : 0.99);
    text->setPositionAlignment((r.LabelAtTop ? Qt::AlignTop : Qt::AlignBottom) | Qt::AlignHCenter);
    text->setText(r.Label);
    QColor ink = r.Color;
    ink.setAlpha(255);
    text->setColor(ink.darker(160));
    QFont font = this->font();
    font.setPointSizeF(std::max(7.0, font.pointSizeF() - 1));
    text->setFont(font);
    g.items.push_back(text);
  }
  Invalidate();
}

std::vector<TChartRange> TChart::MarkedRanges(const QString& group) const {
  const auto it = marked_.find(group);
  return it == marked_.end() ? std::vector<TChartRange>{} : it->second.ranges;
}

bool TChart::SaveImage(const QString& fileName, int width, int height, double scale) {
  if (width < 1 || height < 1 || !(scale > 0)) return false;
  const QString ext = QFileInfo(fileName).suffix().toLower();
  flush_pending();
  prepare_axes();
  // The chart draws itself at width/scale x height/scale and the painter scales it up, so fonts and
  // lines keep their proportions at any resolution.
  const int w = std::max(1, static_cast<int>(std::lround(width / scale)));
  const int h = std::max(1, static_cast<int>(std::lround(height / scale)));
  if (ext == "pdf") return savePdf(fileName, w, h);
  const char* format = ext == "png"                      ? "PNG"
                       : (ext == "jpg" || ext == "jpeg") ? "JPG"
                       : ext == "bmp"                    ? "BMP"
                                                         : nullptr;
  if (!format) return false;
  return saveRastered(fileName, w, h, scale, format, 95);
}

void TChart::updateLayout() {
  if (axes_[0]) prepare_axes();
  QCustomPlot::updateLayout();
}

void TChart::remember_ranges() {
  if (zoomed_) return;
  for (int i = 0; i < 4; ++i)
    saved_[i] = {axes_[i]->automatic_, axes_[i]->min_, axes_[i]->max_};
  zoomed_ = true;
}

// While zoomed, a range the program sets becomes what UndoZoom returns to.
void TChart::remember_changed(const TChartAxis& axis) {
  if (!zoomed_) return;
  saved_[static_cast<int>(axis.Kind())] = {axis.automatic_, axis.min_, axis.max_};
}

void TChart::set_range(TChartAxis& axis, double a, double b) {
  if (!std::isfinite(a) || !std::isfinite(b) || a == b) return;
  axis.automatic_ = false;
  axis.min_ = std::min(a, b);
  axis.max_ = std::max(a, b);
  // At once, so that the next mouse move maps pixels with the new range.
  axis.axis_->setRange(axis.min_, axis.max_);
  Invalidate();
}

void TChart::ZoomRect(const QRect& pixels) {
  const QRect r = pixels.normalized();
  if (r.width() < 1 || r.height() < 1) return;
  remember_ranges();
  for (auto& a : axes_) {
    if (!axis_in_use(*a)) continue;
    if (a->Horizontal())
      set_range(*a, a->axis_->pixelToCoord(r.left()), a->axis_->pixelToCoord(r.right()));
    else
      set_range(*a, a->axis_->pixelToCoord(r.top()), a->axis_->pixelToCoord(r.bottom()));
  }
}

void TChart::ScrollBy(int dx, int dy) {
  remember_ranges();
  for (auto& a : axes_) {
    const int d = a->Horizontal() ? dx : dy;
    if (d == 0 || !axis_in_use(*a)) continue;
    if (OnAllowScroll) OnAllowScroll(*this, *a);
    const QCPRange r = a->axis_->range();
    set_range(*a, a->axis_->pixelToCoord(a->axis_->coordToPixel(r.lower) - d),
              a->axis_->pixelToCoord(a->axis_->coordToPixel(r.upper) - d));
  }
}

void TChart::UndoZoom() {
  if (!zoomed_) return;
  for (int i = 0; i < 4; ++i) {
    axes_[i]->automatic_ = saved_[i].automatic;
    axes_[i]->min_ = saved_[i].minimum;
    axes_[i]->max_ = saved_[i].maximum;
  }
  zoomed_ = false;
  Invalidate();
}

// ---- repaint ---------------------------------------------------------------------------------------

void TChart::Invalidate() {
  if (!flushing_ && repaint_timer_) repaint_timer_->start();
}

void TChart::Refresh() {
  repaint_now(QCustomPlot::rpImmediateRefresh);
}

void TChart::repaint_now(QCustomPlot::RefreshPriority priority) {
  repaint_timer_->stop();
  flush_pending();
  replot(priority);
}

void TChart::flush_pending() {
  flushing_ = true;
  for (auto& s : series_)
    s->Flush();
  flushing_ = false;
}

// ---- images ----------------------------------------------------------------------------------------

QImage TChart::DrawToImage(const QSize& size, uint32_t background) {
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  if (image.isNull()) return image;
  image.fill(zqColorToQColor(background));
  flush_pending();
  {
    QCPPainter painter(&image);
    toPainter(&painter, size.width(), size.height());
  }
  // Drawing at another size laid the chart out for that size; lay it out for the widget again.
  updateLayout();
  return image;
}

void TChart::CopyToClipboardBitmap() {
  QGuiApplication::clipboard()->setImage(DrawToImage(size(), color_).convertToFormat(QImage::Format_RGB32));
}

bool TChart::SaveToBitmapFile(const QString& fileName) {
  const QImage image = DrawToImage(size(), color_).convertToFormat(QImage::Format_RGB32);
  if (image.isNull()) return false;
  QSaveFile file(fileName);
  if (!file.open(QIODevice::WriteOnly)) return false;
  if (!image.save(&file, "BMP")) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

// ---- mouse -----------------------------------------------------------------------------------------

TChart::HitResult TChart::HitTest(const QPoint& pixel) {
  HitResult hit;
  if (axisRect()->rect().contains(pixel)) {
    double best = kHitTolerance + 1e-9;
    // Topmost (last drawn) first; a later curve wins only when strictly nearer.
    for (int i = SeriesCount() - 1; i >= 0; --i) {
      const TChartCurve* c = curves_[i];
      if (!c->series().Active()) continue;
      int index = -1;
      const double d = c->distance_to(pixel, index);
      if (index >= 0 && d < best) {
        best = d;
        hit.series = series_[i].get();
        hit.valueIndex = index;
      }
    }
    if (hit.series) return hit;
  }
  for (auto& a : axes_) {
    if (axis_in_use(*a) && a->axis_->selectTest(pixel, false) >= 0) {
      hit.axis = a.get();
      return hit;
    }
  }
  return hit;
}

void TChart::mousePressEvent(QMouseEvent* event) {
  if (drag_ != Drag::None) return; // a second button during a drag is ignored
  const QPoint pos = event->position().toPoint();
  const Qt::MouseButton button = event->button();
  const Qt::KeyboardModifiers shift = event->modifiers();
  press_pos_ = last_pos_ = pos;
  scrolled_ = false;
  drag_button_ = button;

  CancelMouse = false;
  const HitResult hit = HitTest(pos);
  if (hit.series) {
    if (OnClickSeries) {
      CancelMouse = true;
      OnClickSeries(*this, *hit.series, hit.valueIndex, button, shift, pos.x(), pos.y());
    }
  } else if (hit.axis) {
    if (OnClickAxis) {
      CancelMouse = true;
      OnClickAxis(*this, *hit.axis, button, shift, pos.x(), pos.y());
    }
  } else if (OnClickBackground) {
    CancelMouse = true;
    OnClickBackground(*this, button, shift, pos.x(), pos.y());
  }
  if (CancelMouse || !axisRect()->rect().contains(pos)) return;
  if (button == Qt::LeftButton)
    drag_ = Drag::Zoom;
  else if (button == Qt::RightButton)
    drag_ = Drag::Scroll;
}

void TChart::leaveEvent(QEvent* event) {
  if (OnMouseLeave) OnMouseLeave(*this);
  QCustomPlot::leaveEvent(event);
}

void TChart::mouseMoveEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  if (OnMouseMove) OnMouseMove(*this, pos.x(), pos.y());
  if (drag_ == Drag::Zoom) {
    if ((pos - press_pos_).manhattanLength() < kDragThreshold) return;
    rubber_band_->setGeometry(QRect(press_pos_, pos).normalized().intersected(axisRect()->rect()));
    rubber_band_->show();
  } else if (drag_ == Drag::Scroll) {
    if (!scrolled_ && (pos - press_pos_).manhattanLength() < kDragThreshold) return;
    scrolled_ = true;
    ScrollBy(pos.x() - last_pos_.x(), pos.y() - last_pos_.y());
    last_pos_ = pos;
  }
}

void TChart::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  if (drag_ != Drag::None && event->button() == drag_button_) {
    if (drag_ == Drag::Zoom) {
      rubber_band_->hide();
      const QPoint d = pos - press_pos_;
      if (std::abs(d.x()) >= kDragThreshold && std::abs(d.y()) >= kDragThreshold) {
        // Dragged down and to the right zooms in; any other direction goes back to the full range.
        if (d.x() > 0 && d.y() > 0)
          ZoomRect(QRect(press_pos_, pos).intersected(axisRect()->rect()));
        else
          UndoZoom();
      }
    }
    drag_ = Drag::None;
  }
  if (OnMouseUp) OnMouseUp(*this, event->button(), event->modifiers(), pos.x(), pos.y());
}

void TChart::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) UndoZoom();
}

void TChart::wheelEvent(QWheelEvent* event) {
  const int steps = event->angleDelta().y() / 120;
  if (steps == 0 || !axisRect()->rect().contains(event->position().toPoint())) return;
  remember_ranges();
  const double factor = std::pow(0.8, steps); // a notch forward shows 80% of the range
  for (auto& a : axes_) {
    if (!axis_in_use(*a)) continue;
    const double centre =
        a->axis_->pixelToCoord(a->Horizontal() ? event->position().x() : event->position().y());
    a->axis_->scaleRange(factor, centre);
    const QCPRange r = a->axis_->range();
    set_range(*a, r.lower, r.upper);
  }
  event->accept();
}
