#include "zqLineSeries.h"

void TLineSeries::point_change() {
  if (pending_) return; // one notification per batch
  pending_ = true;
  if (batch_depth_ == 0 && OnPendingChanges) OnPendingChanges(*this);
}

void TLineSeries::appearance_change() {
  if (OnChange) OnChange(*this, Change::Appearance);
}

void TLineSeries::Clear() {
  x_.clear();
  y_.clear();
  point_change();
}

void TLineSeries::Reserve(std::size_t n) {
  x_.reserve(n);
  y_.reserve(n);
}

std::size_t TLineSeries::AddXY(double x, double y, const std::string&, int32_t) {
  x_.push_back(x);
  y_.push_back(y);
  point_change();
  return x_.size() - 1;
}

void TLineSeries::Assign(std::vector<double> x, std::vector<double> y) {
  if (y.size() > x.size()) y.resize(x.size());
  if (x.size() > y.size()) x.resize(y.size());
  x_ = std::move(x);
  y_ = std::move(y);
  point_change();
}

void TLineSeries::BeginUpdate() {
  ++batch_depth_;
}

void TLineSeries::EndUpdate() {
  if (batch_depth_ > 0) --batch_depth_;
  if (batch_depth_ == 0) Flush();
}

void TLineSeries::Flush() {
  if (!pending_ || batch_depth_ > 0) return;
  pending_ = false;
  if (OnChange) OnChange(*this, Change::Points);
}

#define ZQ_SETTER(Name, member)                                                                              \
  void TLineSeries::Name(decltype(member) v) {                                                               \
    if (member == v) return;                                                                                 \
    member = v;                                                                                              \
    appearance_change();                                                                                     \
  }
ZQ_SETTER(SetActive, active_)
ZQ_SETTER(SetSeriesColor, color_)
ZQ_SETTER(SetVertAxis, vert_)
ZQ_SETTER(SetHorizAxis, horiz_)
ZQ_SETTER(SetPenStyle, pen_.Style)
ZQ_SETTER(SetPenMode, pen_.Mode)
ZQ_SETTER(SetPenWidth, pen_.Width)
ZQ_SETTER(SetMarksVisible, marks_)
ZQ_SETTER(SetPointerVisible, pointer_)
#undef ZQ_SETTER

void TLineSeries::SetTitle(const std::string& v) {
  if (title_ == v) return;
  title_ = v;
  appearance_change();
}
