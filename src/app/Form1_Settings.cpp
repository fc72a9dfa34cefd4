// File > Save settings and Save settings as...: the values of the input controls, the blackbody
// temperatures, the series colours and the window's frame go into the INI store, which is saved in update
// mode (every other byte of the file stays). The next start reads them back before its first plot.
// Nothing is saved unless asked: closing the window never writes or asks.
#include "Form1.h"

#include "Form1_Column.h"
#include "zqChart.h"
#include "zqChart_Tools.h"
#include "zqContinuumUse.h"
#include "zqHITRAN.h"
#include "zqINI_File.h"
#include "zqPlatform.h"
#include "zqPlotModes.h"
#include "zqRadioGroup.h"
#include "zqSession.h"
#include "zqSettings.h"
#include "zqSpinEdit.h"
#include "zqText.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QScreen>
#include <QSignalBlocker>
#include <QStatusBar>

#include <cmath>
#include <cstdio>
#include <optional>
#include <utility>

namespace {

// The input fields whose values are saved, in the order start-up gives them back: each field's change
// handler may set the ones after it (temperature and pressure choose the layer, water sets humidity).
constexpr const char* kSavedFields[] = {
    "Wavenumber_Min_UIzqSpinEdit",
    "Wavenumber_Max_UIzqSpinEdit",
    "Temp_K_UIzqSpinEdit",
    "Pressure_UIzqSpinEdit",
    "Water_Concentration_UIzqSpinEdit",
    "CO2_Concentration_UIzqSpinEdit",
    "Max_Mean_Free_Path_UIzqSpinEdit",
    "Min_Mean_Free_Path_UIzqSpinEdit",
    "Path_Multiplier_UIzqSpinEdit",
    "alpha_Multiplier_UIzqSpinEdit",
    "Temp_K_2_UIzqSpinEdit",
    "Wavenumber_Min_2_UIzqSpinEdit",
    "Wavenumber_Max_2_UIzqSpinEdit",
    "Column_Surface_Temperature_UIzqSpinEdit",
    "Column_RH_UIzqSpinEdit",
    "Column_CO2_UIzqSpinEdit",
    "Column_CO2_Factor_UIzqSpinEdit",
    "Column_Warming_UIzqSpinEdit",
    "Column_Top_UIzqSpinEdit",
    "Column_H2O_Scale_UIzqSpinEdit",
    "Column_Observer_Altitude_UIzqSpinEdit", // after the top, which an observer at the top follows
    "Column_Layers_UIzqSpinEdit",
    "Column_Wavenumber_Min_UIzqSpinEdit",
    "Column_Wavenumber_Max_UIzqSpinEdit",
};

// The plot choices; their clicks plot, so start-up sets them quietly and plots once afterwards. The
// spectra type's item is one of the saved line physics' items, which start-up shows first.
constexpr const char* kSavedGroups[] = {"Plot_Type_UIRadioGroup", "Spectra_Type_UIRadioGroup",
                                        "Scaling_UIRadioGroup", "PathType_UIRadioGroup"};

// The Column page's choices: a combo box by its item index, the atmosphere by its value ("standard", a
// built-in name or a profile's path), a check box as yes or no. Start-up sets them quietly.
constexpr const char* kSavedChoices[] = {"Column_Look_UIComboBox", "Column_Hold_UIComboBox",
                                         "Column_Plot_View_UIComboBox", "Column_Quantity_UIComboBox",
                                         "Column_X_Unit_UIComboBox"};
constexpr const char* kAtmosphereChoice = "Column_Atmosphere_UIComboBox";
constexpr const char* kSavedChecks[] = {"Column_Surface_From_Table_UICheckBox",
                                        "Column_Show_Rebalanced_UICheckBox"};

// The number a field shows (its text as the user reads it, locale separator); none for an empty or
// unreadable text, which is then not saved.
std::optional<double> field_value(const TzqNumberEdit* edit) {
  long double v = 0;
  if (!zqTextToReal(edit->text().toStdString(), v) || !std::isfinite(v)) return std::nullopt;
  return static_cast<double>(v);
}

// "$bbggrr", the INI colour notation (red in the low byte, as in memory).
std::string ini_color(uint32_t color) {
  char text[16];
  std::snprintf(text, sizeof text, "$%06X", static_cast<unsigned>(color & 0xFFFFFFu));
  return text;
}

} // namespace

void TForm1::StoreSettings() {
  TzqINI_File& ini = *zqINI_File1;
  for (const char* name : kSavedFields)
    if (auto* edit = findChild<TzqNumberEdit*>(name))
      if (auto value = field_value(edit)) zqsettings::WriteControl(ini, name, zqFloatToText(*value, "."));
  for (const char* name : kSavedGroups)
    if (auto* group = findChild<TzqRadioGroup*>(name))
      zqsettings::WriteControl(ini, name, std::to_string(group->ItemIndex()));
  for (const char* name : kSavedChoices)
    if (auto* combo = findChild<QComboBox*>(name))
      zqsettings::WriteControl(ini, name, std::to_string(combo->currentIndex()));
  if (auto* combo = findChild<QComboBox*>(kAtmosphereChoice))
    zqsettings::WriteControl(ini, kAtmosphereChoice, combo->currentData().toString().toStdString());
  for (const char* name : kSavedChecks)
    if (auto* check = findChild<QCheckBox*>(name))
      zqsettings::WriteControl(ini, name, check->isChecked() ? "yes" : "no");

  // The line physics, blackbody temperatures and series colours live in the keys start-up reads anyway.
  // The physics is written only when it differs from the one configured, in whatever spelling that has.
  const zqsession::TPhysicsDefault configuredPhysics = zqsession::ReadPhysicsDefault(ini);
  if (configuredPhysics.Refusal || configuredPhysics.Value != LinePhysicsOfControls())
    ini.WriteString(zqsession::kPhysicsSection, zqsession::kPhysicsKey,
                    LinePhysicsText(LinePhysicsOfControls()));
  // The continuum file opened, unless the next start finds it anyway.
  if (!ContinuumFile.empty() && ContinuumFile != zqsession::StartupContinuumFile(
                                                     ini, WaterLines ? WaterLines->Filename : std::string()))
    zqsession::WriteContinuumFile(ini, ContinuumFile);
  const auto& records = zqChart_Tools1->SeriesRecords();
  for (TzqSpinEdit* spin : {Series_3_zqSpinEdit, Series_4_zqSpinEdit, Series_5_zqSpinEdit}) {
    const int index = TagOf(spin);
    if (index < 0 || index >= static_cast<int>(records.size())) continue;
    if (auto value = field_value(spin))
      ini.WriteString(records[index].Section, "Temperature", zqFloatToText(*value, "."));
  }
  for (int i = 0; i < static_cast<int>(records.size()) && i < Chart1->SeriesCount(); ++i) {
    // Only a colour that differs from the configured one is written, in whatever spelling that has.
    const uint32_t color = Chart1->Series(i).SeriesColor();
    const T_zq_ini_Record* configured = ini.FindRecord(records[i].Section, "color");
    const auto current = configured ? zqTextToInteger(configured->Value) : std::nullopt;
    if (color <= 0xFFFFFFu && (!current || static_cast<uint32_t>(*current) != color))
      ini.WriteString(records[i].Section, "color", ini_color(color));
  }

  const QRect frame = normalGeometry();
  zqsettings::WriteWindowGeometry(ini, {frame.x(), frame.y(), frame.width(), frame.height(), isMaximized()});
  zqsettings::WriteRecentFiles(ini, RecentFiles);
  zqsettings::WriteChartViews(ini, {Legend_UIAction->isChecked(), BandLabels_UIAction->isChecked(),
                                    WavelengthAxis_UIAction->isChecked()});
}

bool TForm1::SaveSettingsTo(const std::string& file) {
  StoreSettings();
  const std::string error = zqsettings::SaveSettingsFile(*zqINI_File1, file);
  if (!error.empty()) {
    zq::platform().MessageBox("Save settings", "The settings could not be saved to\n" + file + "\n\n" + error,
                              zq::mbOK, zq::MsgIcon::Error);
    return false;
  }
  statusBar()->showMessage(QString::fromStdString("Settings saved to " + zqINI_File1->FullFilename()), 5000);
  return true;
}

void TForm1::SaveSettings_UIActionClick(QObject* /*Sender*/) {
  SaveSettingsTo(zqINI_File1->FullFilename());
}

void TForm1::SaveSettingsAs_UIActionClick(QObject* /*Sender*/) {
  zq::FileDialogRequest request;
  request.title = "Save settings as";
  request.filter = "INI files (*.ini)|*.ini|All Files (*.*)|*.*";
  request.initialDir = zqINI_File1->Directory();
  request.fileName = zqINI_File1->Filename();
  request.defaultExt = "ini";
  if (const auto file = zq::platform().SaveFileDialog(request)) SaveSettingsTo(*file);
}

void TForm1::RestoreSavedControls() {
  TzqINI_File& ini = *zqINI_File1;
  RecentFiles = zqsettings::ReadRecentFiles(ini);
  RebuildRecentMenu();
  const zqsettings::TChartViews views = zqsettings::ReadChartViews(ini);
  Legend_UIAction->setChecked(views.Legend);
  BandLabels_UIAction->setChecked(views.BandLabels);
  WavelengthAxis_UIAction->setChecked(views.WavelengthAxis);
  for (const char* name : kSavedFields) {
    auto* edit = findChild<TzqNumberEdit*>(name);
    const auto text = zqsettings::ReadControl(ini, name);
    long double value = 0;
    if (edit && text && zqIniTextToReal(*text, value)) AssignValue(edit, static_cast<double>(value));
  }
  for (const char* name : kSavedGroups) {
    auto* group = findChild<TzqRadioGroup*>(name);
    const auto text = zqsettings::ReadControl(ini, name);
    long double value = 0;
    if (!group || !text || !zqIniTextToReal(*text, value)) continue;
    const int index = static_cast<int>(value);
    if (index != value || index < 0 || index >= group->Items().size()) continue;
    auto onClick = std::exchange(group->OnClick, nullptr);
    group->SetItemIndex(index);
    group->OnClick = std::move(onClick);
  }
  for (const char* name : kSavedChoices) {
    auto* combo = findChild<QComboBox*>(name);
    const auto text = zqsettings::ReadControl(ini, name);
    long double value = 0;
    if (!combo || !text || !zqIniTextToReal(*text, value)) continue;
    const int index = static_cast<int>(value);
    if (index != value || index < 0 || index >= combo->count()) continue;
    const QSignalBlocker quiet(combo);
    combo->setCurrentIndex(index);
  }
  if (const auto text = zqsettings::ReadControl(ini, kAtmosphereChoice); text && !text->empty()) {
    const QSignalBlocker quiet(ColumnPage->Atmosphere);
    ColumnPage->SelectAtmosphere(*text);
  }
  for (const char* name : kSavedChecks) {
    auto* check = findChild<QCheckBox*>(name);
    const auto text = zqsettings::ReadControl(ini, name);
    if (!check || !text || (*text != "yes" && *text != "no")) continue;
    const QSignalBlocker quiet(check);
    check->setChecked(*text == "yes");
  }
  ColumnInputsChanged();
}

void TForm1::RestoreGeometry() {
  const auto g = zqsettings::ReadWindowGeometry(*zqINI_File1);
  if (!g) return;
  const QRect frame(g->Left, g->Top, g->Width, g->Height);
  // A frame saved on a screen that is gone keeps its size but not its place.
  bool onScreen = false;
  for (const QScreen* screen : QGuiApplication::screens())
    onScreen = onScreen || screen->availableGeometry().intersects(frame);
  if (onScreen)
    setGeometry(frame);
  else
    resize(frame.size());
  if (g->Maximized) setWindowState(windowState() | Qt::WindowMaximized);
}
