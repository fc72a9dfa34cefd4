// Plot assembly and chart mouse handling: the controls are copied into the three line lists, each fills
// its series for the chosen plot, the combined spectrum is formed, the titles say what is shown; the
// "Mean Path" page's handlers, the blackbody refresh, and the chart's clicks.
#include "Form1.h"

#include "zqGasLists.h"

#include "zqBlackbody.h"
#include "zqChart.h"
#include "zqChart_Tools.h"
#include "zqHITRAN.h"
#include "zqPlatform.h"
#include "zqPlotTitles.h"
#include "zqRadioGroup.h"
#include "zqSession.h"
#include "zqSpinEdit.h"

#include <QCheckBox>

#include <cmath>
#include <exception>
#include <utility>

namespace {

std::string text_of(const QLineEdit* e) {
  return e->text().toStdString();
}

} // namespace

void TForm1::ShowStatus(const std::string& source, const zqsession::TzqStatus& status) {
  ReportProblem(source, status.Headline());
}

TLinePhysics TForm1::LinePhysicsOfControls() const {
  return Line_Physics_UIRadioGroup->ItemIndex() == static_cast<int>(TLinePhysics::Hitran)
             ? TLinePhysics::Hitran
             : TLinePhysics::Classic;
}

zqapp::PlotChoice TForm1::PlotChoiceOfControls() const {
  // The radio items are the enums' values (the spectra types: the items of the physics shown); an item
  // outside a group keeps the first choice.
  const TLinePhysics physics = LinePhysicsOfControls();
  return {PlotTypeOfIndex(Plot_Type_UIRadioGroup->ItemIndex()).value_or(TPlotType::Spectra),
          SpectraTypeOfIndex(physics, Spectra_Type_UIRadioGroup->ItemIndex()).value_or(TSpectraType::Raw),
          ScalingOfIndex(Scaling_UIRadioGroup->ItemIndex()).value_or(TScaling::Raw), physics,
          ContinuumUsedByControls()};
}

namespace {
// The Spectra Type group's captions, item by item as SpectraTypeItems(physics).
QStringList spectra_captions(TLinePhysics physics) {
  QStringList captions;
  for (TSpectraType type : SpectraTypeItems(physics))
    captions << QString::fromStdString(SpectraTypeCaption(type)).replace("&", "&&");
  return captions;
}
} // namespace

void TForm1::ShowLinePhysics(TLinePhysics physics) {
  const int wanted = static_cast<int>(physics);
  const int shown = Spectra_Type_UIRadioGroup->ItemCount() ==
                            static_cast<int>(spectra_captions(TLinePhysics::Hitran).size())
                        ? static_cast<int>(TLinePhysics::Hitran)
                        : static_cast<int>(TLinePhysics::Classic);
  // The groups change without running their click handlers: the caller decides whether to draw.
  auto physicsClick = std::exchange(Line_Physics_UIRadioGroup->OnClick, nullptr);
  auto spectraClick = std::exchange(Spectra_Type_UIRadioGroup->OnClick, nullptr);
  Line_Physics_UIRadioGroup->SetItemIndex(wanted);
  if (shown != wanted) {
    const TSpectraType type =
        SpectraTypeOfIndex(static_cast<TLinePhysics>(shown), Spectra_Type_UIRadioGroup->ItemIndex())
            .value_or(TSpectraType::Raw);
    Spectra_Type_UIRadioGroup->SetItems(spectra_captions(physics));
    Spectra_Type_UIRadioGroup->SetItemIndex(SpectraTypeIndex(physics, type));
  }
  Line_Physics_UIRadioGroup->OnClick = std::move(physicsClick);
  Spectra_Type_UIRadioGroup->OnClick = std::move(spectraClick);
}

std::string TForm1::SelectStartPlot(const std::string& plot, const std::string& spectra) {
  const TLinePhysics physics = LinePhysicsOfControls();
  if (!spectra.empty()) {
    const auto type = ParseSpectraName(spectra, physics);
    if (!type || !PhysicsHasSpectraType(physics, *type))
      return "--spectra \"" + spectra + "\" is not a spectra type of the " + LinePhysicsText(physics) +
             " line physics ([Line Physics] Model in the INI file)";
    Spectra_Type_UIRadioGroup->SetItemIndex(SpectraTypeIndex(physics, *type));
  }
  if (const auto type = ParsePlotType(plot)) Plot_Type_UIRadioGroup->SetItemIndex(static_cast<int>(*type));
  return {};
}

void TForm1::Line_Physics_UIRadioGroupClick(QObject* /*Sender*/) {
  ShowLinePhysics(LinePhysicsOfControls());
  Select_Plot(nullptr);
}

// The controls, read once into the session's typed values.
void TForm1::ApplyControls() {
  zqsession::TControls& c = Session.Controls;
  const zqapp::PlotChoice choice = PlotChoiceOfControls();
  c.WavenumberMin = Wavenumber_Min_UIzqSpinEdit->Value();
  c.WavenumberMax = Wavenumber_Max_UIzqSpinEdit->Value();
  c.MaxPath = Max_Mean_Free_Path_UIzqSpinEdit->Value();
  c.MinPath = Min_Mean_Free_Path_UIzqSpinEdit->Value();
  c.Pressure = Pressure_UIzqSpinEdit->Value();
  c.Temperature = Temp_K_UIzqSpinEdit->Value();
  c.LineWidthLimit = alpha_Multiplier_UIzqSpinEdit->Value();
  c.PlotType = choice.plotType;
  c.SpectraType = choice.spectraType;
  c.Scaling = choice.scaling;
  c.Physics = choice.physics;
  c.Continuum = Continuum_UICheckBox->isEnabled() && Continuum_UICheckBox->isChecked();
  c.Water = Water_Concentration_UIzqSpinEdit->Value();
  c.CO2 = CO2_Concentration_UIzqSpinEdit->Value();
  // The second series' gas: CO2, or O3, N2O, CH4 at the amount beside the choice (HITRAN physics).
  c.Gas =
      Gas_UIComboBox ? static_cast<TzqColumnGas>(Gas_UIComboBox->currentData().toInt()) : TzqColumnGas::CO2;
  if (zqsession::IsTraceGas(c.Gas) && Gas_Concentration_UIzqSpinEdit)
    c.GasPpm[c.Gas] = Gas_Concentration_UIzqSpinEdit->Value();
  // The multiplier counts only while it is in range; otherwise the path factor stays as it was.
  c.PathFactor.reset();
  if (Path_Multiplier_UIzqSpinEdit->InRange()) {
    const auto type = PathType_UIRadioGroup->ItemIndex() == 1 ? zqsession::TPathType::OpticalThickness
                                                              : zqsession::TPathType::MeanFreePath;
    const zqsession::TPathSetting path =
        zqsession::PathFromMultiplier(type, Path_Multiplier_UIzqSpinEdit->Value());
    c.PathFactor = path.PathFactor;
    Percent_Absorbed_UIzqNumberEdit->SetValue(path.Fraction);
  }
  Session.ApplyControls();
}

zqsession::TzqSession::TSeriesSink TForm1::ChartSink(bool throughTools) {
  zqsession::TzqSession::TSeriesSink sink;
  sink.Series = [this](zqsession::TSeriesRole role) -> TLineSeries* {
    const int index = zqsession::SeriesIndex(role);
    return index < Chart1->SeriesCount() ? &Chart1->Series(index) : nullptr;
  };
  if (throughTools)
    sink.Plot = [this](zqsession::TSeriesRole role, T_zq_HITRAN&) {
      zqChart_Tools1->RefreshSeries(zqsession::SeriesIndex(role), "wavenumber");
    };
  return sink;
}

void TForm1::SetChartTitles(const std::string& firstLine, const std::string* secondLine,
                            const std::string& left) {
  QStringList lines{QString::fromUtf8(firstLine)};
  if (secondLine) lines << QString::fromUtf8(*secondLine);
  Chart1->Title().SetLines(lines);
  Chart1->LeftAxis().Title().SetCaption(QString::fromUtf8(left));
}

void TForm1::Select_Plot(QObject* /*Sender*/) {
  // A field that holds no number is never read as another value: nothing is plotted until it is mended.
  if (const std::string why = UnreadableInputs(); !why.empty()) {
    ReportProblem("plot inputs", "Not plotted. " + why);
    return;
  }
  if (PlotChoiceOfControls().plotType == TPlotType::OutgoingRadiation) {
    ApplyControls(); // the lists still follow the controls: the Power page integrates them
    return DrawOutgoingRadiation();
  }
  LeaveOutgoingRadiation();
  ShowLineGaps();
  zq::HourGlass hourglass;
  ApplyControls();
  const zqsession::TzqStatus status = Session.ComputeSpectra(ChartSink(true));

  zqapp::PlotTexts texts{text_of(Temp_K_UIzqSpinEdit), text_of(Pressure_UIzqSpinEdit),
                         text_of(Water_Concentration_UIzqSpinEdit), text_of(CO2_Concentration_UIzqSpinEdit),
                         !DemoLineListSections.empty()};
  ShowGasLegends();
  zqapp::PlotTitles t =
      zqapp::BuildPlotTitles(PlotChoiceOfControls(), Percent_Absorbed_UIzqNumberEdit->Value(), texts);
  BB_Envelope_UICheckBox->setEnabled(t.envelopeEnabled);
  Scaling_UIRadioGroup->setEnabled(t.groupsEnabled);
  Spectra_Type_UIRadioGroup->setEnabled(t.groupsEnabled);
  SetChartTitles(t.firstLine, &t.secondLine, t.leftAxis);
  ShowStatus("plot", status);
}

void TForm1::ShowGasLegends() {
  const zqsession::TControls& c = Session.Controls;
  const zqapp::LegendConditions k{c.Temperature, c.Pressure, c.Water, c.SecondGasPpm(),
                                  ColumnGasInfo(c.Gas).Name};
  using zqsession::TSeriesRole;
  const std::pair<TSeriesRole, zqapp::LegendGas> gases[] = {
      {TSeriesRole::Water, zqapp::LegendGas::Water},
      {TSeriesRole::CO2, zqapp::LegendGas::CO2},
      {TSeriesRole::Combined, zqapp::LegendGas::Combined}};
  for (const auto& [role, gas] : gases)
    if (const int n = zqsession::SeriesIndex(role); n < Chart1->SeriesCount())
      Chart1->Series(n).SetTitle(zqapp::GasLegendText(gas, PlotChoiceOfControls(), k));
}

// The Mean Path page's edits redraw the paths only while the Mean Path plot is the one shown, so the
// chart always shows what the Plot Type group says; under any other plot they take effect at the next
// Update Plot (the absorbed fraction beside the multiplier follows at once).
void TForm1::Mean_Path_UIButtonClick(QObject* /*Sender*/) {
  if (PlotChoiceOfControls().plotType != TPlotType::MeanPath) return ApplyControls();
  Select_Plot(nullptr);
}

void TForm1::Absorbance_UIButtonClick(QObject* /*Sender*/) {
  ApplyControls();
  SetChartTitles("Absorbance (from HITRAN data)", nullptr, "Absorbance x 1e20 cm-1/(molecule/cm2)");
  ShowStatus("plot", Session.ComputeLineView(zqsession::TLineView::RawLines, ChartSink(false)));
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
    ShowStatus("plot", Session.ComputeLineView(zqsession::TLineView::AdjustedSpectrum, ChartSink(false),
                                               static_cast<float>(Pressure_UIzqSpinEdit->Value()),
                                               CurrentTemperatureK));
  } catch (const std::exception& e) {
    ReportProblem("plot", e.what());
  }
}

void TForm1::Plot_Linewidth_Path_UIButtonClick(QObject* /*Sender*/) {
  ApplyControls();
  zq::HourGlass hourglass;
  try {
    SetChartTitles("Opacity", nullptr, zqapp::DistanceAxisTitle(Percent_Absorbed_UIzqNumberEdit->Value()));
    if (!CO2Lines || !WaterLines || !CombinedLines) return;
    ShowStatus("plot",
               Session.ComputePaths(ChartSink(false), static_cast<float>(Pressure_UIzqSpinEdit->Value()),
                                    CurrentTemperatureK));
  } catch (const std::exception& e) {
    ReportProblem("plot", e.what());
  }
}

T_zq_Blackbody* TForm1::BlackbodyOfSeries(int index) const {
  return dynamic_cast<T_zq_Blackbody*>(zqChart_Tools1->GetSeriesDatafile(index));
}

void TForm1::RefreshBlackbodies() {
  double lo = Wavenumber_Min_UIzqSpinEdit->Value();
  double hi = Wavenumber_Max_UIzqSpinEdit->Value();
  for (zqsession::TSeriesRole role : zqsession::kBlackbodyRoles) {
    const int n = zqsession::SeriesIndex(role);
    if (n >= Chart1->SeriesCount()) break;
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
