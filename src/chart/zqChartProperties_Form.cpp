// The chart properties dialog: creation, the single instance, the link to the chart tools, and the Series
// page (the list of series, the scale/offset/shift slider groups and the per-series display settings).
#include "zqChartProperties_Form.h"

#include "zqChart.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QListWidget>
#include <QScreen>
#include <QScrollBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <stdexcept>

namespace zcp = zqchartprops;

namespace {
TzqChartProperties_Form* the_instance = nullptr;
} // namespace

// ---- edits ----------------------------------------------------------------------------------------

void TzqPropertiesEdit::SetText(const std::string& text) {
  const QString q = QString::fromStdString(text);
  if (q != this->text()) setText(q);
}

void TzqPropertiesEdit::keyPressEvent(QKeyEvent* event) {
  const QString typed = event->text();
  // Keys without a character (arrows, Home, End), Delete, and the keys that end typing (Enter applies a
  // chart size, Escape closes the dialog) always reach the edit.
  const bool passes = event->key() == Qt::Key_Delete || event->key() == Qt::Key_Return ||
                      event->key() == Qt::Key_Enter || event->key() == Qt::Key_Escape;
  if (Filter != zcp::KeyFilter::None && !typed.isEmpty() && !passes) {
    const char32_t key = typed.at(0).unicode();
    if (!zcp::KeyAccepted(Filter, key)) {
      event->accept();
      return;
    }
  }
  QLineEdit::keyPressEvent(event);
}

// ---- creation and the single instance ---------------------------------------------------------------

TzqChartProperties_Form::TzqChartProperties_Form(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("zqChartProperties_Form"));
  setWindowTitle(QStringLiteral("Chart Properties"));
  // Closing the main window ends the program even while this window is open.
  setAttribute(Qt::WA_QuitOnClose, false);
  resize(583, 406);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  PageControl1 = new QTabWidget;
  PageControl1->setObjectName(QStringLiteral("PageControl1"));
  layout->addWidget(PageControl1);
  build_series_page();
  build_general_page();
  build_axes_page();
  PageControl1->addTab(TabSheet_Series, QStringLiteral("Series"));
  PageControl1->addTab(TabSheet_General, QStringLiteral("General"));
  PageControl1->addTab(TabSheet_Axes, QStringLiteral("Axes"));
  connect_handlers();
  if (!the_instance) the_instance = this;
  FormCreate();
}

TzqChartProperties_Form::~TzqChartProperties_Form() {
  if (the_instance == this) the_instance = nullptr;
}

TzqChartProperties_Form* TzqChartProperties_Form::Instance() {
  return the_instance;
}

void TzqChartProperties_Form::RefreshOpen() {
  if (the_instance && the_instance->isVisible()) the_instance->RefreshFromChart();
}

void TzqChartProperties_Form::RefreshFromChart() {
  if (!chart_) return;
  // Fields being typed in keep what the user is typing.
  if (!GeneralChartWidth_UIEdit->hasFocus() && !GeneralChartHeight_UIEdit->hasFocus())
    BindChart(chart_.data());
  if (PageControl1->currentWidget() == TabSheet_Axes && !AxesMinimum_UIEdit->hasFocus() &&
      !AxesMaximum_UIEdit->hasFocus() && !AxisIncrement_UIEdit->hasFocus() && !AxisLabel_UIEdit->hasFocus() &&
      !Axis_Format_UIComboBox->hasFocus())
    RadioGroup_AxisClick();
}

void TzqChartProperties_Form::run_handler(void (TzqChartProperties_Form::*handler)()) {
  try {
    (this->*handler)();
  } catch (const std::exception& e) {
    zq::platform().MessageBox("Chart Properties", e.what(), zq::mbOK, zq::MsgIcon::Error);
  }
}

// ---- what the chart tools use -------------------------------------------------------------------------

void TzqChartProperties_Form::BindChart(TChart* chart) {
  chart_ = chart;
  Updating = true;
  if (chart) {
    GeneralChartWidth_UIEdit->SetText(std::to_string(chart->width()));
    GeneralChartHeight_UIEdit->SetText(std::to_string(chart->height()));
  }
  Updating = false;
}

void TzqChartProperties_Form::SetOnSeriesChange(std::function<void()> callback) {
  on_series_change_ = std::move(callback);
}

SeriesSettings* TzqChartProperties_Form::GetSeriesSettings(int index) {
  if (index < 0 || index >= static_cast<int>(settings_.size())) return nullptr;
  return &settings_[static_cast<std::size_t>(index)];
}

void TzqChartProperties_Form::ShowDialog() {
  // Opened beside the chart's window, not over the chart; left where the user put it while it is open.
  if (!isVisible() && chart_) {
    const QWidget* owner = chart_->window();
    const QScreen* screen = owner->screen();
    const QRect room = screen ? screen->availableGeometry() : QRect();
    const zcp::Box placed =
        zcp::PlaceBeside(zcp::Box{owner->frameGeometry().x(), owner->frameGeometry().y(),
                                  owner->frameGeometry().width(), owner->frameGeometry().height()},
                         frameGeometry().width(), frameGeometry().height(),
                         zcp::Box{room.x(), room.y(), room.width(), room.height()});
    move(placed.x, placed.y);
  }
  show();
  raise();
  activateWindow();
}

void TzqChartProperties_Form::SetActivePage(Page page) {
  QWidget* sheet = page == Page::Series    ? TabSheet_Series
                   : page == Page::General ? TabSheet_General
                                           : TabSheet_Axes;
  PageControl1->setCurrentWidget(sheet);
}

void TzqChartProperties_Form::SetAxisIndex(int axis) {
  // The page shows the axis as it is now, also when that axis was chosen already.
  if (RadioGroup_Axis->ItemIndex() == axis)
    run_handler(&TzqChartProperties_Form::RadioGroup_AxisClick);
  else
    RadioGroup_Axis->SetItemIndex(axis);
}

int TzqChartProperties_Form::SeriesEntryCount() const {
  return Series_UIListBox->count();
}

int TzqChartProperties_Form::SelectedSeriesEntry() const {
  return Series_UIListBox->currentRow();
}

void TzqChartProperties_Form::ClickSeriesEntry(int index) {
  selecting_entry_ = true;
  Series_UIListBox->setCurrentRow(index);
  selecting_entry_ = false;
  run_handler(&TzqChartProperties_Form::Series_UIListBoxClick);
}

// ---- showing ----------------------------------------------------------------------------------------

void TzqChartProperties_Form::FormCreate() {
  settings_.clear();
  Updating = true;
  // The three slider groups start in their integer or real key filters as the window definition set them.
  update_scaling_enabled();
}

void TzqChartProperties_Form::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous()) run_handler(&TzqChartProperties_Form::FormShow);
}

void TzqChartProperties_Form::keyPressEvent(QKeyEvent* event) {
  // Escape closes (hides) the dialog, as it closes any dialog.
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    close();
    event->accept();
    return;
  }
  QWidget::keyPressEvent(event);
}

bool TzqChartProperties_Form::event(QEvent* e) {
  const bool result = QWidget::event(e);
  if (e->type() == QEvent::WindowActivate) run_handler(&TzqChartProperties_Form::FormActivate);
  return result;
}

void TzqChartProperties_Form::FormShow() {
  if (settings_.empty()) Series_UIListBox->clear();
  if (!chart_ || chart_->SeriesCount() == 0) return;
  Read_ini_UIButton->hide();
  Save_ini_UIButton->hide();
  if (!settings_.empty()) return; // the list is built once
  selecting_entry_ = true;
  Series_UIListBox->clear();
  settings_.reserve(static_cast<std::size_t>(chart_->SeriesCount()));
  for (int i = 0; i < chart_->SeriesCount(); ++i) {
    Series_UIListBox->addItem(QString::fromStdString(chart_->Series(i).Title()));
    settings_.emplace_back();
  }
  Series_UIListBox->setCurrentRow(0);
  selecting_entry_ = false;
  Updating = false;
  Series_UIListBoxClick();
  update_scaling_enabled();
  RadioGroup_AxisClick();
  CheckBox_AxisAutomaticClick();
}

void TzqChartProperties_Form::FormActivate() {
  Series_UIListBoxClick();
  RadioGroup_AxisClick();
  TabSheet_GeneralShow();
}

// ---- the series page ----------------------------------------------------------------------------------

std::vector<TzqChartProperties_Form::SliderGroup> TzqChartProperties_Form::slider_groups() const {
  using S = SeriesSettings;
  return {
      {SeriesScaleMax_UIEdit, SeriesScaleMin_UIEdit, SeriesScaleCur_UIEdit, SeriesScale_UIScrollBar,
       &S::ScaleMax, &S::ScaleMin, &S::ScaleCur, &S::ScaleDecimals, true},
      {SeriesOffsetMax_UIEdit, SeriesOffsetMin_UIEdit, SeriesOffsetCur_UIEdit, SeriesOffset_UIScrollBar,
       &S::OffsetMax, &S::OffsetMin, &S::OffsetCur, &S::OffsetDecimals, true},
      {SeriesHorizMax_UIEdit, SeriesHorizMin_UIEdit, SeriesHorizCur_UIEdit, SeriesHoriz_UIScrollBar,
       &S::HorizMax, &S::HorizMin, &S::HorizCur, &S::HorizDecimals, false},
  };
}

TLineSeries* TzqChartProperties_Form::selected_series() const {
  const int index = Series_UIListBox->currentRow();
  if (!chart_ || index < 0 || index >= chart_->SeriesCount()) return nullptr;
  return &chart_->Series(index);
}

void TzqChartProperties_Form::series_changed() {
  if (on_series_change_) on_series_change_();
}

void TzqChartProperties_Form::ShowSettings() {
  if (Updating || !current_) return;
  Updating = true;
  const SeriesSettings& s = *current_;
  for (const SliderGroup& g : slider_groups()) {
    const int decimals = s.*g.decimalsField;
    const double sign = g.negated ? -1 : 1;
    // Range before position, so the position is not clamped to the old range.
    int lo = zcp::ToPosition(sign * (g.negated ? s.*g.maxField : s.*g.minField), decimals);
    int hi = zcp::ToPosition(sign * (g.negated ? s.*g.minField : s.*g.maxField), decimals);
    g.bar->setRange(lo, hi);
    g.bar->setValue(zcp::ToPosition(sign * (s.*g.curField), decimals));
  }
  SeriesEnableScaling_UICheckBox->setChecked(s.EnableScaling);
  SeriesMarkers_UICheckBox->setChecked(s.ShowMarkers);
  SeriesValues_UICheckBox->setChecked(s.ShowValues);
  SeriesDerivative_UICheckBox->setChecked(s.Derivative);
  for (const SliderGroup& g : slider_groups()) {
    const int decimals = s.*g.decimalsField;
    format_edit(g.max, s.*g.maxField, decimals);
    format_edit(g.min, s.*g.minField, decimals);
    format_edit(g.cur, s.*g.curField, decimals);
  }
  if (const TLineSeries* series = selected_series()) {
    int item = 0;
    switch (series->LinePen().Style) {
    case TPenStyle::Dash:
      item = 1;
      break;
    case TPenStyle::Dot:
      item = 2;
      break;
    case TPenStyle::DashDot:
      item = 3;
      break;
    case TPenStyle::DashDotDot:
      item = 4;
      break;
    default:
      item = 0;
    }
    LineType_UIComboBox->setCurrentIndex(item);
  }
  Updating = false;
}

void TzqChartProperties_Form::format_edit(TzqPropertiesEdit* edit, double value, int decimals) {
  if (edit->Tag == 0) edit->SetText(zcp::SliderText(value, decimals));
}

void TzqChartProperties_Form::parse_edit(TzqPropertiesEdit* edit, double& field) {
  edit->Tag = 1;
  const std::string text = edit->text().toStdString();
  if (zcp::IsPartialNumber(text)) return; // the start of a number being typed stays as it is
  if (const auto v = zcp::ReadReal(text)) {
    field = *v;
    edit->Tag = 0;
  } else {
    edit->SetText(zcp::ShortestText(field));
  }
}

void TzqChartProperties_Form::scroll_bar_changed(const SliderGroup& group) {
  // While the settings are shown the edits get their texts from the settings themselves; a bar clamped
  // to a new range must not overwrite them (nor a number being typed).
  if (Updating || !current_) return;
  double value = zcp::FromPosition(group.bar->value(), current_->*group.decimalsField);
  if (group.negated) value = -value;
  group.cur->SetText(zcp::ShortestText(value));
}

void TzqChartProperties_Form::SeriesScale_UIScrollBarChange() {
  scroll_bar_changed(slider_groups()[0]);
}

void TzqChartProperties_Form::SeriesOffset_UIScrollBarChange() {
  scroll_bar_changed(slider_groups()[1]);
}

void TzqChartProperties_Form::SeriesHoriz_UIScrollBarChange() {
  scroll_bar_changed(slider_groups()[2]);
}

void TzqChartProperties_Form::Series_UIEditChange() {
  if (Updating || !current_) return;
  Updating = true;
  for (const SliderGroup& g : slider_groups()) {
    parse_edit(g.max, current_->*g.maxField);
    parse_edit(g.min, current_->*g.minField);
    parse_edit(g.cur, current_->*g.curField);
  }
  Updating = false;
  ShowSettings();
  series_changed();
}

void TzqChartProperties_Form::SeriesMultiplier_UIRadioGroupClick() {
  if (!current_) return;
  const int item = SeriesMultiplier_UIRadioGroup->ItemIndex();
  if (item < 0) return;
  const double factor = zcp::MultiplierFactor(current_->ScaleDecimals, item);
  current_->ScaleMax *= factor;
  current_->ScaleMin *= factor;
  current_->ScaleDecimals = item;
  SeriesScaleCur_UIEdit->Filter = item == 0 ? zcp::KeyFilter::Integer : zcp::KeyFilter::Real;
  ShowSettings();
}

void TzqChartProperties_Form::SeriesSetDefaults_UIButtonClick() {
  if (!current_) return;
  current_->ScaleCur = 1;
  current_->OffsetCur = 0;
  current_->HorizCur = 0;
  // A current edit left holding a partly typed number would otherwise keep showing it.
  for (const SliderGroup& g : slider_groups())
    g.cur->Tag = 0;
  Updating = false;
  ShowSettings();
  series_changed();
}

void TzqChartProperties_Form::update_scaling_enabled() {
  // Settings that would change nothing for this series are not offered; the tooltip says why.
  const int row = Series_UIListBox->currentRow();
  const std::string why = current_ && WhyNoAdjustments ? WhyNoAdjustments(row) : std::string();
  const bool applies = why.empty();
  const bool on = current_ && current_->EnableScaling && applies;
  const QString tip = QString::fromStdString(why);
  std::vector<QWidget*> controls = {SeriesSetDefaults_UIButton, SeriesMultiplier_UIRadioGroup};
  for (const SliderGroup& g : slider_groups())
    controls.insert(controls.end(), {g.max, g.min, g.cur, g.bar});
  for (QWidget* w : controls) {
    w->setEnabled(on);
    w->setToolTip(tip);
  }
  for (QCheckBox* box : {SeriesEnableScaling_UICheckBox, SeriesDerivative_UICheckBox}) {
    box->setEnabled(applies);
    box->setToolTip(tip);
  }
}

void TzqChartProperties_Form::SeriesEnableScaling_UICheckBoxClick() {
  if (!current_) return;
  current_->EnableScaling = SeriesEnableScaling_UICheckBox->isChecked();
  update_scaling_enabled();
  series_changed();
}

void TzqChartProperties_Form::SeriesDerivative_UICheckBoxClick() {
  if (!current_) return;
  current_->Derivative = SeriesDerivative_UICheckBox->isChecked();
  series_changed();
}

void TzqChartProperties_Form::SeriesValues_UICheckBoxClick() {
  if (!current_) return;
  if (TLineSeries* s = selected_series()) s->SetMarksVisible(SeriesValues_UICheckBox->isChecked());
  current_->ShowValues = SeriesValues_UICheckBox->isChecked();
}

void TzqChartProperties_Form::SeriesMarkers_UICheckBoxClick() {
  if (!current_) return;
  if (TLineSeries* s = selected_series()) s->SetPointerVisible(SeriesMarkers_UICheckBox->isChecked());
  current_->ShowMarkers = SeriesMarkers_UICheckBox->isChecked();
}

void TzqChartProperties_Form::RadioGroup_SeriesVertAxisClick() {
  TLineSeries* s = selected_series();
  const int item = RadioGroup_SeriesVertAxis->ItemIndex();
  if (s && item >= 0) s->SetVertAxis(item == 1 ? TVertAxis::Right : TVertAxis::Left);
}

void TzqChartProperties_Form::RadioGroup_SeriesHorizAxisClick() {
  TLineSeries* s = selected_series();
  const int item = RadioGroup_SeriesHorizAxis->ItemIndex();
  if (s && item >= 0) s->SetHorizAxis(item == 1 ? THorizAxis::Bottom : THorizAxis::Top);
}

void TzqChartProperties_Form::LineType_UIComboBoxChange() {
  TLineSeries* s = selected_series();
  if (!s) return;
  static constexpr TPenStyle styles[] = {TPenStyle::Solid, TPenStyle::Dash, TPenStyle::Dot,
                                         TPenStyle::DashDot, TPenStyle::DashDotDot};
  const int item = LineType_UIComboBox->currentIndex();
  s->SetPenStyle(item >= 0 && item < 5 ? styles[item] : TPenStyle::Solid);
}

void TzqChartProperties_Form::Series_UIListBoxClick() {
  current_ = GetSeriesSettings(Series_UIListBox->currentRow());
  if (!current_) return;
  // Partly typed text belongs to the series shown before.
  for (const SliderGroup& g : slider_groups())
    for (TzqPropertiesEdit* e : {g.max, g.min, g.cur})
      e->Tag = 0;
  Updating = true;
  SeriesMultiplier_UIRadioGroup->SetItemIndex(current_->ScaleDecimals);
  SeriesScaleCur_UIEdit->Filter =
      current_->ScaleDecimals == 0 ? zcp::KeyFilter::Integer : zcp::KeyFilter::Real;
  if (const TLineSeries* s = selected_series()) {
    RadioGroup_SeriesVertAxis->SetItemIndex(s->VertAxis() == TVertAxis::Right ? 1 : 0);
    RadioGroup_SeriesHorizAxis->SetItemIndex(s->HorizAxis() == THorizAxis::Bottom ? 1 : 0);
  }
  Updating = false;
  ShowSettings();
  update_scaling_enabled();
}
