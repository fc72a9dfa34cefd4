// Absorbed power: the "Power" page's Compute button (power absorbed by CO2, water vapour, both, and with
// doubled CO2), the surface temperature / blackbody power / band coupling, and the blackbody spin edits.
#include "Form1.h"

#include "Form1_Column.h"

#include "zqBlackbody.h"
#include "zqChart.h"
#include "zqChart_Tools.h"
#include "zqFlagGuard.h"
#include "zqHITRAN.h"
#include "zqPerformance.h"
#include "zqPlatform.h"
#include "zqPlotTitles.h"
#include "zqSession.h"
#include "zqSpinEdit.h"

namespace {

// The hourglass from the first step of Compute to its end, also when an error passes.
class ComputeCursor {
public:
  ComputeCursor() { show(); }
  ~ComputeCursor() { zq::platform().SetCursor(zq::CursorKind::Default); }
  ComputeCursor(const ComputeCursor&) = delete;
  ComputeCursor& operator=(const ComputeCursor&) = delete;
  void show() { zq::platform().SetCursor(zq::CursorKind::HourGlass); }
};

} // namespace

void TForm1::L3_UIButtonClick(QObject* /*Sender*/) {
  ComputeCursor cursor;
  StartPerformanceTimer("L3_UIButton");
  double path = Max_Mean_Free_Path_UIzqSpinEdit->Value();
  AssignValue(Wavenumber_Min_UIzqSpinEdit, Wavenumber_Min_2_UIzqSpinEdit->Value());
  AssignValue(Wavenumber_Max_UIzqSpinEdit, Wavenumber_Max_2_UIzqSpinEdit->Value());
  Select_Plot(nullptr);
  cursor.show();
  StopPerformanceTimer();

  TzqNumberEdit* results[] = {CO2_bb_1x_UIEdit,          CO2_bb_2x_UIEdit,   H2O_bb_1x_UIEdit,
                              Total_bb_1x_UIEdit,        Total_bb_2x_UIEdit, Combined_1x_UIzqNumberEdit,
                              Combined_2x_UIzqNumberEdit};
  auto refuse = [&](const std::string& why) {
    for (auto* e : results)
      e->clear();
    Band_Power_UIzqNumberEdit->clear();
    ReportProblem("power table", why);
  };
  const zqsession::TPowerResult r = Session.ComputePower(path);
  if (!r.Table) {
    refuse(r.Status.Headline());
    return;
  }
  const zqsession::TPowerTable& t = *r.Table;
  AssignValue(CO2_bb_1x_UIEdit, t.CO2_1x);
  AssignValue(CO2_bb_2x_UIEdit, t.CO2_2x);
  AssignValue(H2O_bb_1x_UIEdit, t.H2O_1x);
  AssignValue(Total_bb_1x_UIEdit, t.Total_1x);
  AssignValue(Total_bb_2x_UIEdit, t.Total_2x);
  AssignValue(Combined_1x_UIzqNumberEdit, t.Combined_1x);
  AssignValue(Combined_2x_UIzqNumberEdit, t.Combined_2x);
  if (t.BandPower)
    AssignValue(Band_Power_UIzqNumberEdit, *t.BandPower);
  else
    Band_Power_UIzqNumberEdit->clear();
  ShowStatus("power table", r.Status);
}

void TForm1::Power_UIzqSpinEditChange(QObject* /*Sender*/) {
  if (UpdatingTemperatures) return;
  auto kelvin = zqapp::TemperatureForPower(Power_UIzqSpinEdit->Value());
  if (!kelvin) {
    ReportProblem("power", "Blackbody power must be above 0 W/m2",
                  Power_UIzqSpinEdit->objectName().toStdString());
    return;
  }
  ClearProblem("power");
  AssignValue(Temp_K_UIzqSpinEdit, *kelvin);
}

void TForm1::Temp_K_2_UIzqSpinEditChange(QObject* /*Sender*/) {
  if (UpdatingTemperatures) return;
  AssignValue(Temp_K_UIzqSpinEdit, Temp_K_2_UIzqSpinEdit->Value());
}

void TForm1::Wavenumber_MinMax_2_UIzqSpinEditChange(QObject* /*Sender*/) {
  if (UpdatingWavenumberRange) return;
  zq::FlagGuard guard(UpdatingWavenumberRange);
  AssignValue(Wavenumber_Min_UIzqSpinEdit, Wavenumber_Min_2_UIzqSpinEdit->Value());
  AssignValue(Wavenumber_Max_UIzqSpinEdit, Wavenumber_Max_2_UIzqSpinEdit->Value());
  RefreshBlackbodies();
}

void TForm1::Blackbody_UIzqSpinEditChange(QObject* Sender) {
  auto* spin = qobject_cast<TzqSpinEdit*>(Sender);
  // Under the Outgoing Radiation plot the panel holds that plot's Planck temperatures.
  if (spin && ColumnPage && ColumnPage->PlotShown) return OutgoingRadiationPlanckEdited(spin);
  int n = TagOf(spin);
  if (!spin || n < 0 || n >= Chart1->SeriesCount()) return;
  if (T_zq_Blackbody* b = BlackbodyOfSeries(n)) DrawBlackbody(*b, Chart1->Series(n), spin->Value());
  if (spin->objectName() == "Series_3_zqSpinEdit" && !UpdatingTemperatures)
    AssignValue(Temp_K_UIzqSpinEdit, spin->Value());
}

// Recomputes and redraws one blackbody curve; a range that carries no grid leaves the curve empty.
void TForm1::DrawBlackbody(T_zq_Blackbody& b, TLineSeries& series, double kelvin) {
  // Each curve's reason is its own: it goes as soon as that curve computes again.
  const std::string source = "blackbody " + std::to_string(Chart1->IndexOfSeries(series));
  b.ComputeValues(kelvin);
  if (!(b.Step() > 0)) {
    series.Clear();
    ReportProblem(source, b.Reason().empty() ? "Wavenumber Max must be above Min" : b.Reason(),
                  Wavenumber_Max_UIzqSpinEdit->objectName().toStdString());
    return;
  }
  b.AddValuesToSeries(series);
  series.SetTitle(zqapp::PlanckLegendText(kelvin));
  ReportProblem(source, b.Reason().empty() ? b.Note() : b.Reason());
}
