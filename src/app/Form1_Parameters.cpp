// Physical parameter controls: the handlers that keep temperatures, pressure, nominal layer, water
// vapour and humidity, the wavenumber/wavelength pair, the wavenumber range and the altitude box
// consistent. None of them redraws the spectra; the blackbody curves follow at once.
#include "Form1.h"

#include "zqAtmosphere.h"
#include "zqChart_Tools.h"
#include "zqFlagGuard.h"
#include "zqHITRAN.h"
#include "zqINI_File.h"
#include "zqNumberText.h"
#include "zqRadioGroup.h"
#include "zqSpinEdit.h"

#include <algorithm>
#include <cmath>

namespace {

void set_text(TzqNumberEdit* e, const std::string& text) {
  e->setText(QString::fromStdString(text));
}

// A field the user is typing in keeps its text until the typing ends (Temperature_UIEditExit), so that
// each keystroke's synchronisation does not rewrite the number being typed.
void show_text(TzqNumberEdit* e, const std::string& text) {
  if (!e->hasFocus()) set_text(e, text);
}

// The edit's number when its text reads as one.
std::optional<double> readable_value(TzqNumberEdit* e) {
  if (!zq::ParseNumberText(e->text().toStdString())) return std::nullopt;
  return e->Value();
}

} // namespace

void AssignValue(TzqNumberEdit* edit, double v) {
  auto shown = zq::ParseNumberText(edit->text().toStdString());
  if (shown && *shown == v) return;
  if (v != edit->LastSetValue()) {
    edit->SetValue(v);
    return;
  }
  QString text = QString::fromStdString(zq::FormatGeneral(v, edit->Precision()));
  if (text != edit->text()) edit->setText(text);
  edit->Validate();
}

// ---- wavenumber / wavelength

void TForm1::Wavenumber_UIzqSpinEditChange(QObject* /*Sender*/) {
  if (auto other = zqapp::OtherWaveUnit(Wavenumber_UIzqSpinEdit->Value()))
    AssignValue(Wavelength_UIzqSpinEdit, *other);
}

void TForm1::Wavelength_UIzqSpinEditChange(QObject* /*Sender*/) {
  if (auto other = zqapp::OtherWaveUnit(Wavelength_UIzqSpinEdit->Value()))
    AssignValue(Wavenumber_UIzqSpinEdit, *other);
}

// ---- temperatures

void TForm1::Temp_K_UIzqSpinEditChange(QObject* /*Sender*/) {
  if (UpdatingTemperatures) return;
  // Text that is not a number, or a number no 32-bit real holds, keeps the previous temperature; the
  // texts are then rewritten from it.
  auto v = readable_value(Temp_K_UIzqSpinEdit);
  TakeTemperature(Temp_K_UIzqSpinEdit, v ? zqapp::FromKelvin(*v) : std::nullopt);
}

void TForm1::Temp_C_UIzqSpinEditChange(QObject* /*Sender*/) {
  if (UpdatingTemperatures) return;
  auto v = readable_value(Temp_C_UIzqSpinEdit);
  TakeTemperature(Temp_C_UIzqSpinEdit, v ? zqapp::FromCelsius(*v) : std::nullopt);
}

void TForm1::Temp_F_UIzqSpinEditChange(QObject* /*Sender*/) {
  if (UpdatingTemperatures) return;
  auto v = readable_value(Temp_F_UIzqSpinEdit);
  TakeTemperature(Temp_F_UIzqSpinEdit, v ? zqapp::FromFahrenheit(*v) : std::nullopt);
}

// A temperature typed in one scale: at or below 0 K it is refused where it was typed (the other scales
// keep the last usable one); otherwise it becomes the current temperature everywhere.
void TForm1::TakeTemperature(TzqSpinEdit* typed, std::optional<zqapp::Temperatures> t) {
  if (t) {
    if (const std::string why = zqapp::TemperatureReason(t->K); !why.empty()) {
      ReportProblem("temperature", why, typed->objectName().toStdString());
      return;
    }
    CurrentTemperatureK = t->K, CurrentTemperatureC = t->C, CurrentTemperatureF = t->F;
  }
  ClearProblem("temperature");
  SynchroniseTemperatures();
}

// Every field the user types a number into says at once when its text is no number (and shows red); the
// computations refuse such a field instead of reading it as another value.
void TForm1::WatchNumberFields() {
  for (TzqNumberEdit* e : findChildren<TzqNumberEdit*>()) {
    if (e->ReadOnly()) continue;
    connect(e, &TzqNumberEdit::changed, this, [this, e] {
      const std::string name = e->objectName().toStdString();
      const std::string why = zqapp::UnreadableNumberReason(e->text().toStdString());
      ReportProblem("field " + name, why.empty() ? why : FieldLabel(e) + ": " + why, name);
      // A plot refused for unreadable fields stops saying so once they all read.
      if (problems_.Has("plot inputs") && UnreadableInputs().empty()) ClearProblem("plot inputs");
    });
  }
}

std::string TForm1::FieldLabel(const TzqNumberEdit* e) {
  std::string name = e->objectName().toStdString();
  name = name.substr(0, name.find("_UI"));
  std::replace(name.begin(), name.end(), '_', ' ');
  return name;
}

std::string TForm1::UnreadableInputs() const {
  for (const TzqNumberEdit* e :
       {static_cast<TzqNumberEdit*>(Pressure_UIzqSpinEdit), static_cast<TzqNumberEdit*>(Temp_K_UIzqSpinEdit),
        static_cast<TzqNumberEdit*>(Water_Concentration_UIzqSpinEdit),
        static_cast<TzqNumberEdit*>(CO2_Concentration_UIzqSpinEdit),
        static_cast<TzqNumberEdit*>(Wavenumber_Min_UIzqSpinEdit),
        static_cast<TzqNumberEdit*>(Wavenumber_Max_UIzqSpinEdit),
        static_cast<TzqNumberEdit*>(alpha_Multiplier_UIzqSpinEdit)})
    if (const std::string why = zqapp::UnreadableNumberReason(e->text().toStdString()); !why.empty())
      return FieldLabel(e) + ": " + why;
  return {};
}

// Writes the temperature everywhere it is shown; the guard makes the edits' own handlers return at once,
// and the first blackbody curve is recomputed without writing back.
void TForm1::SynchroniseTemperatures() {
  if (Loading || UpdatingTemperatures) return;
  zq::FlagGuard guard(UpdatingTemperatures);
  show_text(Temp_K_UIzqSpinEdit, zqapp::Fixed2(CurrentTemperatureK));
  show_text(Temp_C_UIzqSpinEdit, zqapp::Fixed2(CurrentTemperatureC));
  show_text(Temp_F_UIzqSpinEdit, zqapp::Fixed2(CurrentTemperatureF));
  show_text(Temp_K_2_UIzqSpinEdit, zqapp::Fixed2(CurrentTemperatureK));
  AssignValue(Series_3_zqSpinEdit, Temp_K_UIzqSpinEdit->Value());
  Pressure_UIzqSpinEditChange(nullptr);
  show_text(Power_UIzqSpinEdit, zqapp::Fixed2(zqapp::BlackbodyPower(CurrentTemperatureK)));
}

// Leaving a temperature or power field shows it in the common format again.
void TForm1::Temperature_UIEditExit(QObject* /*Sender*/) {
  SynchroniseTemperatures();
}

// ---- nominal atmosphere layer

std::optional<zqapp::LayerTokens> TForm1::LayerTokensOf(int index) const {
  std::string key = Atmosphere_Layer_UIRadioGroup->ItemText(index).toStdString();
  return zqapp::SplitLayerValue(zqINI_File1->ReadString("Atmosphere Layers", key,
                                                        "1012 mb 15 \xB0"
                                                        "C"));
}

std::string TForm1::LayerProblem(int index, const std::string& token) const {
  return "Atmosphere layer \"" + Atmosphere_Layer_UIRadioGroup->ItemText(index).toStdString() + "\": \"" +
         token + "\" is not a number";
}

void TForm1::Atmosphere_Layer_UIRadioGroupClick(QObject* /*Sender*/) {
  int index = Atmosphere_Layer_UIRadioGroup->ItemIndex();
  if (index < 0 || Atmosphere_Layer_UIRadioGroup->ItemText(index).compare("Custom", Qt::CaseInsensitive) == 0)
    return;
  auto t = LayerTokensOf(index);
  if (!t) return;
  // A value whose numbers do not read as numbers changes nothing; the controls then hold no layer.
  for (const char* unit : {"mb", "K", "C", "F"})
    if (auto token = zqapp::LayerToken(*t, unit); token && !zqapp::LayerNumber(*token)) {
      ReportProblem("layer", LayerProblem(index, *token));
      SelectCustomLayer();
      return;
    }
  ClearProblem("layer");
  if (auto p = zqapp::LayerToken(*t, "mb")) set_text(Pressure_UIzqSpinEdit, *p);
  struct Scale {
    const char* unit;
    TzqSpinEdit* edit;
    void (TForm1::*handler)(QObject*);
  };
  for (const Scale& s : {Scale{"K", Temp_K_UIzqSpinEdit, &TForm1::Temp_K_UIzqSpinEditChange},
                         Scale{"C", Temp_C_UIzqSpinEdit, &TForm1::Temp_C_UIzqSpinEditChange},
                         Scale{"F", Temp_F_UIzqSpinEdit, &TForm1::Temp_F_UIzqSpinEditChange}}) {
    if (auto v = zqapp::LayerToken(*t, s.unit)) {
      set_text(s.edit, *v);
      (this->*s.handler)(s.edit);
    }
  }
  // The steps above may have switched the group to "Custom" in between.
  Atmosphere_Layer_UIRadioGroup->SetItemIndex(index);
}

// The layer check: any difference between the selected layer and the pressure or temperature selects
// "Custom".
void TForm1::Pressure_UIzqSpinEditChange(QObject* /*Sender*/) {
  // A humidity refused for this pressure or temperature is formed again once they allow it.
  if (problems_.Has("humidity") && !UpdatingWaterVapour) Water_Concentration_UIzqSpinEditChange(nullptr);
  int index = Atmosphere_Layer_UIRadioGroup->ItemIndex();
  if (index < 0 || Atmosphere_Layer_UIRadioGroup->ItemText(index).compare("Custom", Qt::CaseInsensitive) == 0)
    return;
  auto t = LayerTokensOf(index);
  if (!t) return;
  auto number = [&](const std::string& token) {
    auto v = zqapp::LayerNumber(token);
    if (!v) ReportProblem("layer", LayerProblem(index, token));
    return v;
  };
  double layerPressure = 1000;
  if (auto p = zqapp::LayerToken(*t, "mb")) {
    auto v = number(*p);
    if (!v) return;
    layerPressure = *v;
  }
  if (Pressure_UIzqSpinEdit->Value() != layerPressure) {
    SelectCustomLayer();
    return;
  }
  const std::pair<const char*, TzqSpinEdit*> scales[] = {
      {"K", Temp_K_UIzqSpinEdit}, {"C", Temp_C_UIzqSpinEdit}, {"F", Temp_F_UIzqSpinEdit}};
  for (const auto& [unit, edit] : scales) {
    auto token = zqapp::LayerToken(*t, unit);
    if (!token) continue;
    auto v = number(*token);
    if (!v) return;
    if (*v != edit->Value()) {
      SelectCustomLayer();
      return;
    }
  }
}

void TForm1::SelectCustomLayer() {
  Atmosphere_Layer_UIRadioGroup->SetItemIndex(Atmosphere_Layer_UIRadioGroup->IndexOfText("custom"));
}

// ---- wavenumber range and planet presets

void TForm1::Wavenumber_MinMax_UIzqSpinEditChange(QObject* /*Sender*/) {
  if (UpdatingWavenumberRange) return;
  zq::FlagGuard guard(UpdatingWavenumberRange);
  AssignValue(Wavenumber_Min_2_UIzqSpinEdit, Wavenumber_Min_UIzqSpinEdit->Value());
  AssignValue(Wavenumber_Max_2_UIzqSpinEdit, Wavenumber_Max_UIzqSpinEdit->Value());
  RefreshBlackbodies();
}

void TForm1::Planet_UIRadioGroupClick(QObject* /*Sender*/) {
  struct Preset {
    double alpha, wavenumberMax, pressure, kelvin, water, co2;
    const char* rightAxis;
  };
  static const Preset venus{200, 10000, 93196, 737, 0, 965000, "Right Axis - Venus"};
  static const Preset earth{800, 3000, 1013, 288, 10000, 350, "Right Axis"};
  const Preset& p = Planet_UIRadioGroup->ItemIndex() == 0 ? venus : earth;
  AssignValue(alpha_Multiplier_UIzqSpinEdit, p.alpha);
  AssignValue(Wavenumber_Max_UIzqSpinEdit, p.wavenumberMax);
  AssignValue(Wavenumber_Max_2_UIzqSpinEdit, p.wavenumberMax);
  AssignValue(Pressure_UIzqSpinEdit, p.pressure);
  AssignValue(Temp_K_UIzqSpinEdit, p.kelvin);
  AssignValue(Water_Concentration_UIzqSpinEdit, p.water);
  AssignValue(CO2_Concentration_UIzqSpinEdit, p.co2);
  zqChart_Tools1->ReadRightAxis(p.rightAxis);
}

// ---- water vapour and humidity

void TForm1::H2O_Mixing_Ratio_UIRadioGroupClick(QObject* /*Sender*/) {
  int index = H2O_Mixing_Ratio_UIRadioGroup->ItemIndex();
  if (index < 0 || index >= H2O_Mixing_Ratio_UIRadioGroup->ItemCount() - 1) return;
  Water_Concentration_UIzqSpinEdit->setText(H2O_Mixing_Ratio_UIRadioGroup->ItemText(index).trimmed());
}

// The saturation mixing ratio (ppm) at the Kelvin temperature and the pressure, shown in the hidden
// edit; empty (with the reason in the status bar) when it cannot be formed.
std::optional<double> TForm1::SaturationMixingRatio() {
  if (!WaterLines) {
    ReportProblem("humidity", "Relative humidity needs the water vapour line list [h2o]");
    return std::nullopt;
  }
  double kelvin = Temp_K_UIzqSpinEdit->Value();
  double pressure = Pressure_UIzqSpinEdit->Value();
  if (!(kelvin > 0)) {
    ReportProblem("humidity", "Temperature must be above 0 K for the relative humidity",
                  Temp_K_UIzqSpinEdit->objectName().toStdString());
    return std::nullopt;
  }
  if (!(pressure > 0)) {
    ReportProblem("humidity", "Pressure must be above 0 mb for the relative humidity",
                  Pressure_UIzqSpinEdit->objectName().toStdString());
    return std::nullopt;
  }
  WaterLines->SetTemperature(kelvin);
  auto s = zqapp::SaturationMixingRatio(WaterLines->SaturationPressure(), pressure);
  if (!s) {
    ReportProblem("humidity", "No saturation pressure at this temperature",
                  Temp_K_UIzqSpinEdit->objectName().toStdString());
    return std::nullopt;
  }
  ClearProblem("humidity");
  AssignValue(Saturated_H2O_UIzqSpinEdit, zq::RoundHalfEven(*s));
  return s;
}

void TForm1::Water_Concentration_UIzqSpinEditChange(QObject* /*Sender*/) {
  int index = H2O_Mixing_Ratio_UIRadioGroup->ItemIndex();
  if (H2O_Mixing_Ratio_UIRadioGroup->ItemText(index).trimmed() != Water_Concentration_UIzqSpinEdit->text())
    H2O_Mixing_Ratio_UIRadioGroup->SetItemIndex(H2O_Mixing_Ratio_UIRadioGroup->ItemCount() - 1);
  if (UpdatingWaterVapour) return;
  zq::FlagGuard guard(UpdatingWaterVapour);
  if (auto s = SaturationMixingRatio())
    AssignValue(RH_UIzqSpinEdit, zqapp::HumidityOfWater(Water_Concentration_UIzqSpinEdit->Value(), *s));
}

void TForm1::RH_UIzqSpinEditChange(QObject* /*Sender*/) {
  if (UpdatingWaterVapour) return;
  {
    zq::FlagGuard guard(UpdatingWaterVapour);
    auto s = SaturationMixingRatio();
    if (!s) return;
    AssignValue(Water_Concentration_UIzqSpinEdit, zqapp::WaterOfHumidity(RH_UIzqSpinEdit->Value(), *s));
  }
  // The water edit's limit may have clamped the value; the humidity then follows the clamped value.
  if (Water_Concentration_UIzqSpinEdit->Value() >= 1000000) Water_Concentration_UIzqSpinEditChange(nullptr);
}

// ---- altitude box

void TForm1::Altitude_UIzqSpinEditChange(QObject* /*Sender*/) {
  if (!Atmosphere) return;
  // An altitude that is no number shows no layer (its field says why) rather than sea level.
  if (!zqapp::UnreadableNumberReason(Altitude_UIzqSpinEdit->text().toStdString()).empty()) {
    Pressure2_UIzqNumberEdit->clear();
    Temperature2_UIzqNumberEdit->clear();
    return;
  }
  long double pressure = Atmosphere->PressureAt(Altitude_UIzqSpinEdit->Value());
  if (!Atmosphere->Reason().empty()) {
    Pressure2_UIzqNumberEdit->clear();
    Temperature2_UIzqNumberEdit->clear();
    ReportProblem("altitude", Atmosphere->Reason(), Altitude_UIzqSpinEdit->objectName().toStdString());
    return;
  }
  ClearProblem("altitude");
  AssignValue(Pressure2_UIzqNumberEdit, static_cast<double>(pressure));
  AssignValue(Temperature2_UIzqNumberEdit, static_cast<double>(Atmosphere->LastTemperature));
}

void TForm1::Pressure2_UIEditDblClick(QObject* /*Sender*/) {
  if (Pressure2_UIzqNumberEdit->text().isEmpty()) return; // nothing computed to copy
  AssignValue(Pressure_UIzqSpinEdit, Pressure2_UIzqNumberEdit->Value());
}

void TForm1::Temperature2_UIEditDblClick(QObject* /*Sender*/) {
  if (Temperature2_UIzqNumberEdit->text().isEmpty()) return;
  Temp_K_2_UIzqSpinEdit->setText(Temperature2_UIzqNumberEdit->text());
}
