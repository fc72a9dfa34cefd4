// TChart: the program's chart control on QCustomPlot. It owns the line series (stable indices in order of
// creation), draws them in the order their points were added against four axes, zooms with a left-button
// rectangle, scrolls with a right-button drag, exports images, and repaints by itself once per event-loop
// turn after its series change.
#pragma once

#include "zqLineSeries.h"
#include "zqPlatform.h"

#include <QString>
#include <QStringList>
#include <qcustomplot.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

class TChart;
class TChartCurve;
class QCPAbstractItem;

// A wavenumber range marked on the chart: shaded from the bottom axis' lo to hi over the plot's height,
// with its label at the top or the bottom.
struct TChartRange {
  double Lo = 0, Hi = 0; // bottom-axis values
  QString Label;
  QColor Color;           // the shade (its alpha counts); the label is drawn in its opaque colour
  bool LabelAtTop = true; // else at the bottom of the plot
};

enum class TChartAxisKind { Left, Right, Top, Bottom };

// Title of an axis: caption and font (font colour included).
class TChartAxisTitle {
public:
  QString Caption() const;
  void SetCaption(const QString& caption);
  const zq::FontChoice& Font() const { return font_; }
  void SetFont(const zq::FontChoice& font);

private:
  friend class TChartAxis;
  explicit TChartAxisTitle(QCPAxis* axis);
  QCPAxis* axis_;
  zq::FontChoice font_;
};

// One of the chart's four axes. Ranges are in axis values; pixels are chart client coordinates.
class TChartAxis {
public:
  TChartAxisKind Kind() const { return kind_; }
  bool Horizontal() const { return kind_ == TChartAxisKind::Top || kind_ == TChartAxisKind::Bottom; }

  // Automatic: the range follows the data of the shown series on this axis at every repaint.
  bool Automatic() const { return automatic_; }
  void SetAutomatic(bool on);
  // The current range (the automatic one while Automatic is on). Setting one end keeps Automatic as it
  // is (an automatic axis takes its range from the data again at the next repaint). An end set past the
  // other one is kept, so a new range can be set end by end in any order; until the other end follows,
  // a unit range from the minimum is drawn. A value that is not a finite number throws
  // std::invalid_argument.
  double Minimum() const;
  double Maximum() const;
  void SetMinimum(double v);
  void SetMaximum(double v);
  // Both ends at once (in either order) and Automatic off.
  void SetMinMax(double a, double b);
  // Smallest step between labelled ticks; 0 lets the chart choose. Negative values count as their size.
  double Increment() const { return increment_; }
  void SetIncrement(double v);
  bool Logarithmic() const;
  void SetLogarithmic(bool on);
  bool Inverted() const;
  void SetInverted(bool on);
  bool GridVisible() const;
  void SetGridVisible(bool on);
  // Format text of the tick labels in the "#,##0.###" style: "0" a digit always shown, "#" a digit shown
  // when significant, "," thousands grouping, "." the decimal point, "E+00" exponent notation, ";"
  // separates positive;negative;zero sections, quoted text is literal. Empty: "#,##0.###" with as many
  // further decimals as the tick step needs.
  const QString& AxisValuesFormat() const { return format_; }
  void SetAxisValuesFormat(const QString& format);
  TChartAxisTitle& Title() { return title_; }
  const TChartAxisTitle& Title() const { return title_; }
  // Drawn at all: the left and bottom axes always, the right and top ones while a shown series uses them.
  bool Visible() const;

  // Pixel positions of the plot area along this axis, as last laid out: left and right for a horizontal
  // axis, top and bottom for a vertical one (whatever the inversion).
  int IStartPos() const;
  int IEndPos() const;
  // Axis value at a pixel position along the axis, and the pixel of a value.
  double CalcPosPoint(int pixel) const;
  double CalcPosValue(double value) const;

  QCPAxis* Axis() const { return axis_; }

private:
  friend class TChart;
  TChartAxis(TChart& chart, QCPAxis* axis, TChartAxisKind kind);
  void apply_ticker();
  void change_range(double lo, double hi, bool automatic);
  TChart& chart_;
  QCPAxis* axis_;
  TChartAxisKind kind_;
  TChartAxisTitle title_;
  bool automatic_ = true;
  mutable double min_ = 0, max_ = 1; // the range as set or as last taken from the data
  double increment_ = 0;
  bool grid_ = true;
  QString format_;
};

// The chart title: lines of text shown above the plot, with a font.
class TChartTitle {
public:
  const QStringList& Lines() const { return lines_; }
  void SetLines(const QStringList& lines);
  // All lines as one text, separated by line breaks; setting splits at line breaks (one line without).
  QString Text() const;
  void SetText(const QString& text);
  void Add(const QString& line);
  void Clear();
  const zq::FontChoice& Font() const { return font_; }
  void SetFont(const zq::FontChoice& font);

private:
  friend class TChart;
  explicit TChartTitle(TChart& chart);
  void apply();
  TChart& chart_;
  QCPTextElement* element_ = nullptr;
  QStringList lines_;
  zq::FontChoice font_;
};

class TChart : public QCustomPlot {
  Q_OBJECT
public:
  explicit TChart(QWidget* parent = nullptr);
  ~TChart() override;

  // Series: created by the chart, owned by it, never removed; index = order of creation.
  TLineSeries& AddSeries();
  int SeriesCount() const { return static_cast<int>(series_.size()); }
  // Throws std::out_of_range for an index outside 0..SeriesCount()-1.
  TLineSeries& Series(int index);
  const TLineSeries& Series(int index) const;
  // Index of a series of this chart, -1 for any other.
  int IndexOfSeries(const TLineSeries& series) const;
  // Curves are drawn in series order; a series beneath is drawn before all the others, so where it
  // coincides with them they hide it and it shows where it differs. Off for a new series.
  void SetSeriesBeneath(const TLineSeries& series, bool beneath);
  bool SeriesBeneath(const TLineSeries& series) const;

  TChartAxis& LeftAxis() { return *axes_[0]; }
  TChartAxis& RightAxis() { return *axes_[1]; }
  TChartAxis& TopAxis() { return *axes_[2]; }
  TChartAxis& BottomAxis() { return *axes_[3]; }
  TChartAxis& Axis(TChartAxisKind kind) { return *axes_[static_cast<int>(kind)]; }
  const TChartAxis& Axis(TChartAxisKind kind) const { return *axes_[static_cast<int>(kind)]; }

  TChartTitle& Title() { return *title_; }
  const TChartTitle& Title() const { return *title_; }

  // The chart's own legend (the program shows its own legend elements, so it starts hidden).
  bool LegendVisible() const;
  void SetLegendVisible(bool on);
  // The names the legend lists: the titles of the shown series that have points, in series order.
  QStringList LegendTexts();
  // The corner of the plot the legend sits in (default the upper right), where it hides the least.
  Qt::Alignment LegendCorner() const;
  void SetLegendCorner(Qt::Alignment corner);

  // Background colour of the whole control, as the program's colour value (red in the low byte; a
  // window-system colour allowed). Default white.
  uint32_t Color() const { return color_; }
  void SetColor(uint32_t color);
  // Back wall: the plot area behind the curves. With a clear brush (the default) the background colour
  // shows through; otherwise it is filled with its colour (default white).
  uint32_t BackWallColor() const { return back_wall_color_; }
  void SetBackWallColor(uint32_t color);
  bool BackWallTransparent() const { return back_wall_transparent_; }
  void SetBackWallTransparent(bool clear);
  // Width and height are the widget's own: width(), height(), resize().

  // Zoom and scroll. Zooming or scrolling turns Automatic off on the axes it changes; UndoZoom brings
  // every axis back to the range settings it had before the first zoom or scroll.
  void ZoomRect(const QRect& pixels);
  void ScrollBy(int dx, int dy);
  void UndoZoom();
  bool Zoomed() const { return zoomed_; }
  // "Reset Zoom": the way back to the full range, for a menu or button of the window (the chart pops up no
  // menu of its own: the window uses the right-button release for its properties dialog). A double
  // click and a left-button drag up or to the left do the same.
  QAction* UndoZoomAction() const { return undo_zoom_action_; }

  // Images. DrawToImage fills an image of that size with background (a program colour value), then
  // draws the chart laid out for that size on it (the chart's own colour covers the background wherever
  // it paints). SaveToBitmapFile writes the chart at its current size as a BMP file, replacing
  // the file only once the new one is complete; false when it cannot be written.
  QImage DrawToImage(const QSize& size, uint32_t background);
  void CopyToClipboardBitmap();
  bool SaveToBitmapFile(const QString& fileName);

  // Repaint requests are coalesced: Invalidate schedules one repaint for the next event-loop turn.
  // Refresh reports pending series changes and repaints now.
  void Invalidate();
  void Refresh();
  // Completed repaints so far (the count OnAfterDraw sees).
  int RepaintCount() const { return repaint_count_; }

  // Set by the chart's mouse-down handling before it raises a click event; a handler clears it to let
  // the click still start zooming (left button) or scrolling (right button).
  bool CancelMouse = false;

  // Events, called synchronously, sender first. Pixel positions are chart client coordinates.
  std::function<void(TChart& sender, TChartAxis& axis)> OnAllowScroll;
  std::function<void(TChart& sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)>
      OnMouseUp;
  std::function<void(TChart& sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)>
      OnClickBackground;
  std::function<void(TChart& sender, TChartAxis& axis, Qt::MouseButton button, Qt::KeyboardModifiers shift,
                     int x, int y)>
      OnClickAxis;
  std::function<void(TChart& sender, TLineSeries& series, int valueIndex, Qt::MouseButton button,
                     Qt::KeyboardModifiers shift, int x, int y)>
      OnClickSeries;
  std::function<void(TChart& sender)> OnAfterDraw;

  // The range of the shown series' data on an axis (only the positive values when positiveOnly); false
  // when no shown series has such data there.
  bool DataRange(const TChartAxis& axis, bool positiveOnly, double& lo, double& hi) const;
  // The other axis of the same direction (left and right, top and bottom).
  TChartAxis& TwinAxis(const TChartAxis& axis);

  // Marked ranges by group ("bands", "gaps"): setting a group replaces its ranges; an empty list clears
  // it. Ranges are drawn behind the curves.
  void SetMarkedRanges(const QString& group, const std::vector<TChartRange>& ranges);
  std::vector<TChartRange> MarkedRanges(const QString& group) const;

  // The top axis as a wavelength scale (um = 10^4 / cm-1) over the bottom axis' wavenumbers, with ticks
  // at round wavelengths; off gives the top axis back to the series that use it.
  bool WavelengthTopAxis() const { return wavelength_top_; }
  void SetWavelengthTopAxis(bool on);
  // The round wavelengths (um) the top axis labels over the wavenumber range lo..hi (cm-1), at most
  // about maxTicks of them.
  static std::vector<double> WavelengthTicks(double lo, double hi, int maxTicks);

  // The chart drawn at width x height pixels with everything (fonts, lines) scaled by scale, as for an
  // image of a chosen resolution; written as PNG, JPEG, BMP or PDF by the file's extension. False when
  // the extension is none of these or the file cannot be written.
  bool SaveImage(const QString& fileName, int width, int height, double scale);

  // The mouse moved over the chart (no button needed), in chart pixels; and left it.
  std::function<void(TChart& sender, int x, int y)> OnMouseMove;
  std::function<void(TChart& sender)> OnMouseLeave;

  // What lies under a pixel: the series and point index nearest to it when a shown curve passes within
  // a few pixels, else an axis, else the background.
  struct HitResult {
    TLineSeries* series = nullptr;
    int valueIndex = -1;
    TChartAxis* axis = nullptr;
  };
  HitResult HitTest(const QPoint& pixel);

protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void updateLayout() override;

private:
  friend class TChartAxis;
  friend class TChartTitle;
  void series_changed(TLineSeries& series, TLineSeries::Change change);
  void flush_pending();
  void prepare_axes();
  void automatic_range(const TChartAxis& axis);
  void remember_changed(const TChartAxis& axis);
  void repaint_now(QCustomPlot::RefreshPriority priority);
  void apply_background();
  void remember_ranges();
  void set_range(TChartAxis& axis, double a, double b);
  TChartCurve* curve_of(const TLineSeries& series) const;
  bool axis_in_use(const TChartAxis& axis) const;

  void apply_wavelength_axis();
  struct MarkedGroup {
    std::vector<TChartRange> ranges;
    std::vector<QCPAbstractItem*> items; // owned by QCustomPlot
  };
  std::map<QString, MarkedGroup> marked_;
  bool wavelength_top_ = false;

  std::vector<std::unique_ptr<TLineSeries>> series_;
  std::vector<TChartCurve*> curves_; // owned by QCustomPlot, one per series
  std::unique_ptr<TChartAxis> axes_[4];
  std::unique_ptr<TChartTitle> title_;
  uint32_t color_ = 0xFFFFFF;
  uint32_t back_wall_color_ = 0xFFFFFF;
  bool back_wall_transparent_ = true;
  QTimer* repaint_timer_ = nullptr;
  bool flushing_ = false;
  int repaint_count_ = 0;

  // Mouse state.
  enum class Drag { None, Zoom, Scroll };
  Drag drag_ = Drag::None;
  Qt::MouseButton drag_button_ = Qt::NoButton;
  QPoint press_pos_;
  QPoint last_pos_;
  bool scrolled_ = false;
  QRubberBand* rubber_band_ = nullptr;
  QAction* undo_zoom_action_ = nullptr;

  // Range settings before the first zoom or scroll.
  struct SavedRange {
    bool automatic;
    double minimum, maximum;
  };
  bool zoomed_ = false;
  SavedRange saved_[4] = {};
};
