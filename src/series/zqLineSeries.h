// The points and display settings of one chart curve, as plain C++ so data files and the model can fill
// it without a display. The chart widget owns the series, draws them and listens for change
// notifications; a batch of changes (clear + many AddXY) raises one notification when it ends.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

enum class TVertAxis { Left, Right };
enum class THorizAxis { Bottom, Top };
enum class TPenStyle { Solid, Dash, Dot, DashDot, DashDotDot };
enum class TPenMode { Copy, Mask }; // Mask: pixel = pen colour AND what is already drawn
enum class TChartValueOrder { None, Ascending, Descending };

// Colour value of a point that takes its series' own colour.
constexpr int32_t kSeriesOwnColor = 0x20000000;

struct TLinePen {
  TPenStyle Style = TPenStyle::Solid;
  TPenMode Mode = TPenMode::Copy;
  int Width = 1;
};

class TLineSeries {
public:
  // What changed, so the chart can redraw only what is needed.
  enum class Change { Points, Appearance };
  using Listener = std::function<void(TLineSeries&, Change)>;

  TLineSeries() = default;
  TLineSeries(const TLineSeries&) = delete;
  TLineSeries& operator=(const TLineSeries&) = delete;

  // Points, in the order added; never re-sorted.
  const std::vector<double>& XValues() const { return x_; }
  const std::vector<double>& YValues() const { return y_; }
  std::size_t Count() const { return x_.size(); }
  void Clear();
  void Reserve(std::size_t n);
  // Appends one point; label and colour are accepted for compatibility and not stored
  // (every point is drawn in the series colour). Returns the point's index.
  std::size_t AddXY(double x, double y, const std::string& label = {}, int32_t color = kSeriesOwnColor);
  // Replaces all points at once (one notification).
  void Assign(std::vector<double> x, std::vector<double> y);

  // Ordering of x values: kept for compatibility; points are never re-sorted whatever it says.
  TChartValueOrder XOrder = TChartValueOrder::None;
  void SetXOrderNone() { XOrder = TChartValueOrder::None; }

  // Display settings. Setters notify the chart.
  bool Active() const { return active_; }
  void SetActive(bool v);
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& v);
  uint32_t SeriesColor() const { return color_; } // red in the low byte
  void SetSeriesColor(uint32_t v);
  TVertAxis VertAxis() const { return vert_; }
  void SetVertAxis(TVertAxis v);
  THorizAxis HorizAxis() const { return horiz_; }
  void SetHorizAxis(THorizAxis v);
  const TLinePen& LinePen() const { return pen_; }
  void SetPenStyle(TPenStyle v);
  void SetPenMode(TPenMode v);
  void SetPenWidth(int v);
  bool MarksVisible() const { return marks_; }
  void SetMarksVisible(bool v);
  bool PointerVisible() const { return pointer_; }
  void SetPointerVisible(bool v);

  // Batching: between BeginUpdate and EndUpdate point changes are collected and reported once.
  // Clear and AddXY outside a batch open one implicitly; it ends with the next EndUpdate or Flush.
  void BeginUpdate();
  void EndUpdate();
  // Reports pending point changes now (the chart calls this once per event-loop turn).
  void Flush();
  bool HasPendingChanges() const { return pending_; }

  // Called when points or settings change (the chart installs it). Point changes made outside an
  // explicit batch are reported through OnPendingChanges first, so the chart can schedule a single
  // repaint and call Flush later.
  Listener OnChange;
  std::function<void(TLineSeries&)> OnPendingChanges;

private:
  void point_change();
  void appearance_change();

  std::vector<double> x_, y_;
  bool active_ = true;
  std::string title_;
  uint32_t color_ = 0;
  TVertAxis vert_ = TVertAxis::Left;
  THorizAxis horiz_ = THorizAxis::Bottom;
  TLinePen pen_;
  bool marks_ = false;
  bool pointer_ = false;
  int batch_depth_ = 0;
  bool pending_ = false;
};
