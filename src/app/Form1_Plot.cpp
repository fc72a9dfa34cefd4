// Plot assembly and chart mouse handling: the controls are copied into the three line lists, each fills
// its series for the chosen plot, the combined spectrum is formed, the titles say what is shown; the
// "Mean Path" page's handlers, the blackbody refresh, and the chart's clicks.
#include "Form1.h"

#include "zqBlackbody.h"
#include "zqChart.h"
#include "zqChart_Tools.h"
#include "zqHITRAN.h"
#include "zqPlatform.h"
#include "zqPlotTitles.h"
#include "zqRadioGroup.h"
#include "zqSpinEdit.h"

#include <QCheckBox>

#include <cmath>
#include <exception>

namespace {

zqapp::PlotChoice choice_of(const TzqRadioGroup* plot, const TzqRadioGroup* spectra,
                            const TzqRadioGroup* scaling) {
  return {plot->ItemIndex(), spectra->ItemIndex(), scaling->ItemIndex()};
}

std::string text_of(const QLineEdit* e) {
  return e->text().toStdString();
}

} // namespace

std::string TForm1::RefusalOf(std::initializer_list<const T_zq_HITRAN*> lists) {
  for (const auto* l : lists)
    if (l && !l->Reason().empty()) return l->Reason();
  return {};
}

void TForm1::ReportLineLists(std::initializer_list<const T_zq_HITRAN*> lists) {
  std::string why = RefusalOf(lists);
  for (const auto* l : lists)
    if (why.empty() && l && !l->Note().empty()) why = l->Note();
  why.empty() ? ClearProblem() : ReportProblem(why);
}

void TForm1::ApplyControls() {
  zqapp::PlotChoice c = choice_of(Plot_Type_UIRadioGroup, Spectra_Type_UIRadioGroup, Scaling_UIRadioGroup);
  // The multiplier counts only while it is in range; otherwise the path factor stays as it was.
  std::optional<zqapp::PathSetting> path;
  if (Path_Multiplier_UIzqSpinEdit->InRange())
    path =
        zqapp::PathFromMultiplier(PathType_UIRadioGroup->ItemIndex(), Path_Multiplier_UIzqSpinEdit->Value());
  for (T_zq_HITRAN* lines : {CO2Lines, WaterLines, CombinedLines}) {
    if (!lines) continue;
    lines->SetWavenumberMin(Wavenumber_Min_UIzqSpinEdit->Value());
    lines->SetWavenumberMax(Wavenumber_Max_UIzqSpinEdit->Value());
    lines->MaxPath = Max_Mean_Free_Path_UIzqSpinEdit->Value();
    lines->MinPath = Min_Mean_Free_Path_UIzqSpinEdit->Value();
    lines->SetPressure(Pressure_UIzqSpinEdit->Value());
    lines->SetTemperature(Temp_K_UIzqSpinEdit->Value());
    lines->SetLineWidthLimit(alpha_Multiplier_UIzqSpinEdit->Value());
    lines->PlotType = zqapp::PlotTypeText(c.plotType);
    lines->SpectraType = zqapp::SpectraTypeText(c.spectraType);
    lines->Scaling = zqapp::ScalingText(c.scaling);
    if (path) lines->PathFactor = path->pathFactor;
  }
  if (path) Percent_Absorbed_UIzqNumberEdit->SetValue(path->fraction);
  if (CO2Lines) CO2Lines->SetMixingRatio(CO2_Concentration_UIzqSpinEdit->Value());
  if (WaterLines) WaterLines->SetMixingRatio(Water_Concentration_UIzqSpinEdit->Value());
  // The combined spectrum already carries the mixing ratios.
  if (CombinedLines) CombinedLines->SetMixingRatio(1);
}

void TForm1::Compute_Combined_Spectra(int waterIndex, int co2Index, int combinedIndex) {
  auto* water = dynamic_cast<T_zq_HITRAN*>(zqChart_Tools1->GetSeriesDatafile(waterIndex));
  auto* co2 = dynamic_cast<T_zq_HITRAN*>(zqChart_Tools1->GetSeriesDatafile(co2Index));
  auto* combined = dynamic_cast<T_zq_HITRAN*>(zqChart_Tools1->GetSeriesDatafile(combinedIndex));
  if (!water || !co2 || !combined) return;
  combined->Locked = true;
  double w = Water_Concentration_UIzqSpinEdit->Value();
  double q = CO2_Concentration_UIzqSpinEdit->Value();
  if (DoubleCO2) q = 2 * q;
  const double* sw = water->SpectrumData();
  const double* sc = co2->SpectrumData();
  double* out = combined->SpectrumData();
  for (long k = 1; k <= T_zq_HITRAN::kGridPoints; ++k)
    out[k] = w * sw[k] + q * sc[k];
}

void TForm1::SetChartTitles(const std::string& firstLine, const std::string* secondLine,
                            const std::string& left) {
  QStringList lines{QString::fromUtf8(firstLine)};
  if (secondLine) lines << QString::fromUtf8(*secondLine);
  Chart1->Title().SetLines(lines);
  Chart1->LeftAxis().Title().SetCaption(QString::fromUtf8(left));
}

void TForm1::Select_Plot(QObject* /*Sender*/) {
  zq::HourGlass hourglass;
  ApplyControls();
  zqChart_Tools1->RefreshSeries(0, "wavenumber");
  zqChart_Tools1->RefreshSeries(1, "wavenumber");
  // A source spectrum that could not be computed must not feed the combined curve.
  if (RefusalOf({WaterLines, CO2Lines}).empty()) {
    Compute_Combined_Spectra(0, 1, 2);
    zqChart_Tools1->RefreshSeries(2, "wavenumber");
  } else if (CombinedSeries) {
    CombinedSeries->Clear();
  }

  zqapp::PlotChoice c = choice_of(Plot_Type_UIRadioGroup, Spectra_Type_UIRadioGroup, Scaling_UIRadioGroup);
  zqapp::PlotTexts texts{text_of(Temp_K_UIzqSpinEdit), text_of(Pressure_UIzqSpinEdit),
                         text_of(Water_Concentration_UIzqSpinEdit), text_of(CO2_Concentration_UIzqSpinEdit)};
  zqapp::PlotTitles t = zqapp::BuildPlotTitles(c, Percent_Absorbed_UIzqNumberEdit->Value(), texts);
  BB_Envelope_UICheckBox->setEnabled(t.envelopeEnabled);
  Scaling_UIRadioGroup->setEnabled(t.groupsEnabled);
  Spectra_Type_UIRadioGroup->setEnabled(t.groupsEnabled);
  SetChartTitles(t.firstLine, &t.secondLine, t.leftAxis);
  ReportLineLists({WaterLines, CO2Lines, CombinedLines});
}

void TForm1::Mean_Path_UIButtonClick(QObject* /*Sender*/) {
  ApplyControls();
  if (PathType_UIRadioGroup->ItemIndex() == 1)
    SetChartTitles("Optical Thickness (computed from HITRAN data)", nullptr, "Optical Thickness (m)");
  else
    SetChartTitles("Mean Free Path (computed from HITRAN data)", nullptr, "Mean Free Path (m)");
  if (WaterLines && WaterSeries) WaterLines->AddLineMeanPaths(*WaterSeries);
  if (CO2Lines && CO2Series) CO2Lines->AddLineMeanPaths(*CO2Series);
  ReportLineLists({WaterLines, CO2Lines});
}

void TForm1::Absorbance_UIButtonClick(QObject* /*Sender*/) {
  ApplyControls();
  SetChartTitles("Absorbance (from HITRAN data)", nullptr, "Absorbance x 1e20 cm-1/(molecule/cm2)");
  if (WaterLines && WaterSeries) WaterLines->AddRawLines(*WaterSeries);
  if (CO2Lines && CO2Series) CO2Lines->AddRawLines(*CO2Series);
}

void TForm1::Path_Min_Max_UIEditKeyUp(QObject* /*Sender*/) {
  if (Min_Mean_Free_Path_UIzqSpinEdit->Value() < Max_Mean_Free_Path_UIzqSpinEdit->Value())
    Mean_Path_UIButtonClick(nullptr);
}

void TForm1::Path_Multiplier_UIzqSpinEditChange(QObject* /*Sender*/) {
  if (Path_Multiplier_UIzqSpinEdit->InRange()) Mean_Path_UIButtonClick(nullptr);
}

// While the user types, a number below the lower bound may still grow ("0" of "0.05"); it is raised to
// the bound when the typing ends (Path_Multiplier_UIEditExit). Above the upper bound it is cut at once.
void TForm1::Path_Multiplier_UIzqSpinEditKeyUp(QObject* /*Sender*/) {
  if (Path_Multiplier_UIzqSpinEdit->text().isEmpty()) return;
  if (Path_Multiplier_UIzqSpinEdit->hasFocus())
    ClampEditText(Path_Multiplier_UIzqSpinEdit, -HUGE_VAL, 100);
  else
    ClampEditText(Path_Multiplier_UIzqSpinEdit, 0.1, 100);
  Mean_Path_UIButtonClick(nullptr);
}

void TForm1::Path_Multiplier_UIEditExit(QObject* /*Sender*/) {
  if (Path_Multiplier_UIzqSpinEdit->text().isEmpty()) return;
  ClampEditText(Path_Multiplier_UIzqSpinEdit, 0.1, 100);
}

double TForm1::ReadEditValue(TzqNumberEdit* edit, double def) const {
  return zqapp::ReadEditText(text_of(edit), def);
}

void TForm1::ClampEditText(TzqNumberEdit* edit, double lower, double upper) {
  if (auto text = zqapp::ClampedEditText(text_of(edit), lower, upper))
    edit->setText(QString::fromStdString(*text));
}

// The hidden "Plot Spectra" and "Plot Path" buttons: their computation's errors end up in the status bar.
void TForm1::Plot_Linewidth_UIButtonClick(QObject* /*Sender*/) {
  ApplyControls();
  SetChartTitles("Absorbance (Adjust for Temperature and Pressure)", nullptr,
                 "Absorbance x 1e20 cm-1/(molecule/cm2)");
  try {
    float p = static_cast<float>(Pressure_UIzqSpinEdit->Value());
    float t = CurrentTemperatureK;
    if (!CO2Lines || !WaterLines) return;
    CO2Lines->AdjustLines(p, t);
    WaterLines->AdjustLines(p, t);
    CO2Lines->AddSpectrum(*CO2Series);
    WaterLines->AddSpectrum(*WaterSeries);
    ReportLineLists({WaterLines, CO2Lines});
  } catch (const std::exception& e) {
    ReportProblem(e.what());
  }
}

void TForm1::Plot_Linewidth_Path_UIButtonClick(QObject* /*Sender*/) {
  ApplyControls();
  zq::HourGlass hourglass;
  try {
    float p = static_cast<float>(Pressure_UIzqSpinEdit->Value());
    SetChartTitles("Opacity", nullptr, zqapp::DistanceAxisTitle(Percent_Absorbed_UIzqNumberEdit->Value()));
    if (!CO2Lines || !WaterLines || !CombinedLines) return;
    CO2Lines->AdjustLines(p, CurrentTemperatureK);
    WaterLines->AdjustLines(p, CurrentTemperatureK);
    CO2Lines->AddMeanPaths(*CO2Series);
    WaterLines->AddMeanPaths(*WaterSeries);
    if (RefusalOf({WaterLines, CO2Lines}).empty()) {
      Compute_Combined_Spectra(0, 1, 2);
      CombinedLines->AddMeanPaths(*CombinedSeries);
    } else {
      CombinedSeries->Clear();
    }
    ReportLineLists({WaterLines, CO2Lines, CombinedLines});
  } catch (const std::exception& e) {
    ReportProblem(e.what());
  }
}

T_zq_Blackbody* TForm1::BlackbodyOfSeries(int index) const {
  return dynamic_cast<T_zq_Blackbody*>(zqChart_Tools1->GetSeriesDatafile(index));
}

void TForm1::RefreshBlackbodies() {
  double lo = Wavenumber_Min_UIzqSpinEdit->Value();
  double hi = Wavenumber_Max_UIzqSpinEdit->Value();
  for (int n = 3; n <= 5 && n < Chart1->SeriesCount(); ++n) {
    T_zq_Blackbody* b = BlackbodyOfSeries(n);
    if (!b || (lo == b->XMin && hi == b->XMax)) continue;
    auto* spin = findChild<TzqSpinEdit*>(QString("Series_%1_zqSpinEdit").arg(n));
    if (!spin) continue;
    b->XMin = lo;
    b->XMax = hi;
    DrawBlackbody(*b, Chart1->Series(n), spin->Value());
  }
}

void TForm1::Transparent_UICheckBoxClick(QObject* /*Sender*/) {
  TPenMode mode = Transparent_UICheckBox->isChecked() ? TPenMode::Mask : TPenMode::Copy;
  for (TLineSeries* s : {CO2Series, WaterSeries, CombinedSeries})
    if (s) s->SetPenMode(mode);
}

void TForm1::Chart1AllowScroll(TChart& /*Sender*/, TChartAxis& /*Axis*/) {
  ChartScrolled = true;
}

void TForm1::Chart1MouseUp(TChart& /*Sender*/, Qt::MouseButton Button, Qt::KeyboardModifiers /*Shift*/, int X,
                           int Y) {
  if (Button == Qt::RightButton && !ChartScrolled && OnShowChartProperties) OnShowChartProperties(X, Y);
  ChartScrolled = false;
}

// A left click inside the plot area (or just below it, over the bottom axis labels) picks the wavenumber
// under the mouse, to two decimals.
void TForm1::PickWavenumberAt(Qt::MouseButton button, int x, int y) {
  if (button != Qt::LeftButton) return;
  TChartAxis& bottom = Chart1->BottomAxis();
  TChartAxis& left = Chart1->LeftAxis();
  if (x > bottom.IStartPos() && x < bottom.IEndPos() && y > left.IStartPos() && y < left.IEndPos() + 20)
    Wavenumber_UIzqSpinEdit->SetValue(zqapp::RoundTo2Decimals(bottom.CalcPosPoint(x)));
}

void TForm1::Chart1ClickBackground(TChart& Sender, Qt::MouseButton Button, Qt::KeyboardModifiers /*Shift*/,
                                   int X, int Y) {
  PickWavenumberAt(Button, X, Y);
  Sender.CancelMouse = false; // the click may still start the chart's own zoom or scroll
}

void TForm1::Chart1ClickAxis(TChart& Sender, TChartAxis& /*Axis*/, Qt::MouseButton Button,
                             Qt::KeyboardModifiers Shift, int X, int Y) {
  Chart1ClickBackground(Sender, Button, Shift, X, Y);
}

void TForm1::Chart1ClickSeries(TChart& Sender, TLineSeries& /*Series*/, int /*ValueIndex*/,
                               Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y) {
  Chart1ClickBackground(Sender, Button, Shift, X, Y);
}

void TForm1::Chart1AfterDraw(TChart& /*Sender*/) {
  if (OnChartDrawn) OnChartDrawn();
}
