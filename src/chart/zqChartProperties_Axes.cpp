// The Axes page of the chart properties dialog: for the axis chosen in RadioGroup_Axis its title and
// font, automatic or fixed range (a minimum must stay below the maximum), logarithmic scale, inversion,
// grid, label increment and value format.
#include "zqChartProperties_Form.h"

#include "zqChart.h"
#include "zqPlatform.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

#include <cmath>

namespace zcp = zqchartprops;

TChartAxis* TzqChartProperties_Form::selected_axis() const {
  const int item = RadioGroup_Axis->ItemIndex();
  if (!chart_ || item < 0 || item > 3) return nullptr;
  // Items "Left", "Right", "Top", "Bottom" in the order of TChartAxisKind.
  return &chart_->Axis(static_cast<TChartAxisKind>(item));
}

void TzqChartProperties_Form::show_min_max_warning(bool show) {
  const QColor text = show ? QColor(255, 0, 0) : QApplication::palette().color(QPalette::Text);
  for (QLineEdit* e :
       {static_cast<QLineEdit*>(AxesMinimum_UIEdit), static_cast<QLineEdit*>(AxesMaximum_UIEdit)}) {
    QPalette p = e->palette();
    p.setColor(QPalette::Text, text);
    e->setPalette(p);
  }
  AxesMinMaxWarning_UILabel->setVisible(show);
}

void TzqChartProperties_Form::RadioGroup_AxisClick() {
  TChartAxis* axis = selected_axis();
  if (!axis) return;
  // Showing an axis must not write its values back (rounded by their text) into it.
  axis_loading_ = true;
  CheckBox_AxisLog->setChecked(axis->Logarithmic());
  CheckBox_AxisInvert->setChecked(axis->Inverted());
  CheckBox_AxisDisplayGrid->setChecked(axis->GridVisible());
  CheckBox_AxisAutomatic->setChecked(axis->Automatic());
  AxisLabel_UIEdit->SetText(axis->Title().Caption().toStdString());
  AxesMinimum_UIEdit->SetText(zcp::ShortestText(axis->Minimum()));
  AxesMaximum_UIEdit->SetText(zcp::ShortestText(axis->Maximum()));
  AxisIncrement_UIEdit->SetText(zcp::ShortestText(axis->Increment()));
  if (Axis_Format_UIComboBox->currentText() != axis->AxisValuesFormat())
    Axis_Format_UIComboBox->setEditText(axis->AxisValuesFormat());
  show_min_max_warning(false);
  AxesMinimum_UIEdit->setEnabled(!axis->Automatic());
  AxesMaximum_UIEdit->setEnabled(!axis->Automatic());
  axis_loading_ = false;
}

void TzqChartProperties_Form::CheckBox_AxisLogClick() {
  TChartAxis* axis = selected_axis();
  if (axis_loading_ || !axis) return;
  const bool log = CheckBox_AxisLog->isChecked();
  // Both axes of a direction follow the choice, so curves on the right axis keep their shape against
  // those on the left and each axis' ticks say how it is scaled.
  for (TChartAxis* a : {axis, &chart_->TwinAxis(*axis)}) {
    if (log && !a->Logarithmic()) {
      std::optional<zcp::AxisRange> data;
      double lo = 0, hi = 0;
      if (chart_->DataRange(*a, true, lo, hi)) data = zcp::AxisRange{lo, hi};
      const zcp::AxisRange r = zcp::LogarithmicRange(a->Minimum(), a->Maximum(), data);
      if (a->Automatic())
        a->SetMinimum(r.min), a->SetMaximum(r.max); // an automatic axis stays automatic
      else
        a->SetMinMax(r.min, r.max);
    }
    a->SetLogarithmic(log);
  }
  RadioGroup_AxisClick(); // the range (and Automatic) may have changed
}

void TzqChartProperties_Form::CheckBox_AxisInvertClick() {
  TChartAxis* axis = selected_axis();
  if (!axis_loading_ && axis) axis->SetInverted(CheckBox_AxisInvert->isChecked());
}

void TzqChartProperties_Form::CheckBox_AxisDisplayGridClick() {
  TChartAxis* axis = selected_axis();
  if (!axis_loading_ && axis) axis->SetGridVisible(CheckBox_AxisDisplayGrid->isChecked());
}

void TzqChartProperties_Form::CheckBox_AxisAutomaticClick() {
  const bool automatic = CheckBox_AxisAutomatic->isChecked();
  AxesMinimum_UIEdit->setEnabled(!automatic);
  AxesMaximum_UIEdit->setEnabled(!automatic);
  TChartAxis* axis = selected_axis();
  if (axis_loading_ || !axis) return;
  axis->SetAutomatic(automatic);
  // A fixed range starts from the range shown now.
  RadioGroup_AxisClick();
}

void TzqChartProperties_Form::AxesMinimum_UIEditChange() {
  TChartAxis* axis = selected_axis();
  if (axis_loading_ || !axis) return;
  const double x = zcp::ReadNumber(AxesMinimum_UIEdit->text().toStdString(), axis->Minimum());
  const bool valid = axis->Maximum() > x;
  if (valid) axis->SetMinimum(x);
  show_min_max_warning(!valid);
}

void TzqChartProperties_Form::AxesMaximum_UIEditChange() {
  TChartAxis* axis = selected_axis();
  if (axis_loading_ || !axis) return;
  const double x = zcp::ReadNumber(AxesMaximum_UIEdit->text().toStdString(), axis->Maximum());
  const bool valid = axis->Minimum() < x;
  if (valid) axis->SetMaximum(x);
  show_min_max_warning(!valid);
}

void TzqChartProperties_Form::AxisLabel_UIEditChange() {
  TChartAxis* axis = selected_axis();
  if (!axis_loading_ && axis) axis->Title().SetCaption(AxisLabel_UIEdit->text());
}

void TzqChartProperties_Form::AxesLabelFont_UIButtonClick() {
  TChartAxis* axis = selected_axis();
  if (!axis) return;
  if (const auto font = zq::platform().ChooseFont(axis->Title().Font())) axis->Title().SetFont(*font);
}

void TzqChartProperties_Form::AxisIncrement_UIEditChange() {
  TChartAxis* axis = selected_axis();
  if (axis_loading_ || !axis) return;
  const std::string text = AxisIncrement_UIEdit->text().toStdString();
  double a = text.empty() ? 0 : zcp::ReadNumber(text, axis->Increment());
  if (a < 0) {
    a = std::fabs(a);
    AxisIncrement_UIEdit->SetText(zcp::ShortestText(a));
  }
  axis->SetIncrement(a);
}

void TzqChartProperties_Form::Axis_Format_UIComboBoxChange() {
  TChartAxis* axis = selected_axis();
  if (!axis_loading_ && axis) axis->SetAxisValuesFormat(Axis_Format_UIComboBox->currentText());
}
