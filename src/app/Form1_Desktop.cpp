// Desktop habits of the main window: keyboard shortcuts of the common actions, a tooltip with the unit on
// every numeric field (so a field's unit is known without finding its label), and dropping line files.
#include "Form1.h"

#include "zqNumberEdit.h"

#include <QAction>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>

namespace {

struct FieldHint {
  const char* name;
  const char* text;
};

// What each numeric field holds and in which unit. A field missing here gets no tooltip; the widget
// test checks that every numeric field of the window has one.
constexpr FieldHint kFieldHints[] = {
    {"Wavenumber_Min_UIzqSpinEdit", "Lowest wavenumber plotted (cm-1)"},
    {"Wavenumber_Max_UIzqSpinEdit", "Highest wavenumber plotted (cm-1)"},
    {"Water_Concentration_UIzqSpinEdit", "Water vapour mixing ratio (ppm)"},
    {"CO2_Concentration_UIzqSpinEdit", "Carbon dioxide mixing ratio (ppm)"},
    {"Gas_Concentration_UIzqSpinEdit",
     "Mixing ratio of the second series' gas when it is O3, N2O or CH4 (ppm)"},
    {"RH_UIzqSpinEdit", "Relative humidity (%)"},
    {"Saturated_H2O_UIzqSpinEdit", "Water vapour mixing ratio at saturation (ppm)"},
    {"Temp_K_UIzqSpinEdit", "Gas temperature (K)"},
    {"Temp_C_UIzqSpinEdit", "Gas temperature (\u00B0C)"},
    {"Temp_F_UIzqSpinEdit", "Gas temperature (\u00B0F)"},
    {"Pressure_UIzqSpinEdit", "Gas pressure (mb; 1013 mb is one atmosphere)"},
    {"Wavenumber_UIzqSpinEdit", "Wavenumber (cm-1) = 10^7 / wavelength"},
    {"Wavelength_UIzqSpinEdit", "Wavelength (nm) = 10^7 / wavenumber"},
    {"Altitude_UIzqSpinEdit", "Altitude in the standard atmosphere (km)"},
    {"Pressure2_UIzqNumberEdit", "Standard-atmosphere pressure at the altitude (mb)"},
    {"Temperature2_UIzqNumberEdit", "Standard-atmosphere temperature at the altitude (K)"},
    {"Max_Mean_Free_Path_UIzqSpinEdit", "Top of the path axis (m)"},
    {"Min_Mean_Free_Path_UIzqSpinEdit", "Bottom of the path axis (m)"},
    {"Path_Multiplier_UIzqSpinEdit", "Path length in units of the chosen path type (0.1 to 100, no unit)"},
    {"Percent_Absorbed_UIzqNumberEdit", "Fraction of the radiation absorbed along the path (0 to 1)"},
    {"alpha_Multiplier_UIzqSpinEdit", "Line width limit (half widths a line reaches)"},
    {"LayerThickness_UIzqSpinEdit", "Layer thickness (test field; nothing reads it)"},
    {"Temp_K_2_UIzqSpinEdit", "Surface temperature (K)"},
    {"Power_UIzqSpinEdit", "Blackbody power at the surface temperature (W/m2)"},
    {"Wavenumber_Min_2_UIzqSpinEdit", "Lowest wavenumber of the power band (cm-1)"},
    {"Wavenumber_Max_2_UIzqSpinEdit", "Highest wavenumber of the power band (cm-1)"},
    {"CO2_bb_1x_UIEdit", "Power absorbed by CO2 (W/m2)"},
    {"CO2_bb_2x_UIEdit", "Power absorbed by doubled CO2 (W/m2)"},
    {"H2O_bb_1x_UIEdit", "Power absorbed by water vapour (W/m2)"},
    {"Total_bb_1x_UIEdit", "Sum of the powers absorbed by the two gases (W/m2)"},
    {"Total_bb_2x_UIEdit", "Sum of the powers absorbed, CO2 doubled (W/m2)"},
    {"Combined_1x_UIzqNumberEdit", "Power absorbed by the mixture (W/m2)"},
    {"Combined_2x_UIzqNumberEdit", "Power absorbed by the mixture, CO2 doubled (W/m2)"},
    {"Power_Path_UIzqNumberEdit", "Path length the power results are for (m)"},
    {"Band_Power_UIzqNumberEdit",
     "HITRAN physics: blackbody power over the band, the exact Planck integral (W/m2)"},
    {"Series_3_zqSpinEdit", "Temperature of blackbody curve 1 (K)"},
    {"Series_4_zqSpinEdit", "Temperature of blackbody curve 2 (K)"},
    {"Series_5_zqSpinEdit", "Temperature of blackbody curve 3 (K)"},
};

} // namespace

void TForm1::DefineDesktopHabits() {
  // The File menu's commands for line lists, settings and data, around those the menu bar already has.
  auto action = [this](const char* name, const QString& caption, QAction* before) {
    auto* a = new QAction(caption, this);
    a->setObjectName(name);
    File_UIMenu->insertAction(before, a);
    return a;
  };
  QAction* first = File_UIMenu->actions().value(0);
  OpenWaterLines_UIAction = action("OpenWaterLines_UIAction", "Open line list for &water vapour...", first);
  OpenCO2Lines_UIAction = action("OpenCO2Lines_UIAction", "Open line list for &carbon dioxide...", first);
  // One entry per further gas of the column: "Open line list for ozone (O3)...".
  const std::pair<TzqColumnGas, const char*> others[] = {{TzqColumnGas::O3, "&ozone (O3)"},
                                                         {TzqColumnGas::N2O, "&nitrous oxide (N2O)"},
                                                         {TzqColumnGas::CH4, "&methane (CH4)"}};
  for (const auto& [gas, caption] : others) {
    const std::string name = std::string("Open") + ColumnGasInfo(gas).Name + "Lines_UIAction";
    QAction* a = action(name.c_str(), QString("Open line list for %1...").arg(caption), first);
    OpenGasLines_UIActions[gas] = a;
    connect(a, &QAction::triggered, this, [this, gas = gas] { AskForTraceGasList(gas); });
  }
  OpenContinuum_UIAction = action("OpenContinuum_UIAction", "Open co&ntinuum file...", first);
  Recent_UIMenu = new QMenu("&Recent line lists", this);
  Recent_UIMenu->setObjectName("Recent_UIMenu");
  Recent_UIMenu->setEnabled(false);
  Recent_UIMenu->menuAction()->setObjectName("Recent_UIMenuAction");
  File_UIMenu->insertMenu(first, Recent_UIMenu);
  File_UIMenu->insertSeparator(first);
  QAction* afterIni = File_UIMenu->actions().value(File_UIMenu->actions().indexOf(OpenINI_UIAction) + 1);
  SaveSettings_UIAction = action("SaveSettings_UIAction", "&Save settings", afterIni);
  SaveSettings_UIAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  SaveSettingsAs_UIAction = action("SaveSettingsAs_UIAction", "Save settings &as...", afterIni);
  File_UIMenu->insertSeparator(afterIni);
  ExportData_UIAction = action("ExportData_UIAction", "&Export plotted data...", SaveChartImage_UIAction);
  ExportData_UIAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
  CopyData_UIAction = action("CopyData_UIAction", "Co&py data", SaveChartImage_UIAction);
  SaveChartImage_UIAction->setText("Save chart &image...");

  for (const FieldHint& hint : kFieldHints) {
    auto* edit = findChild<TzqNumberEdit*>(hint.name);
    if (!edit) continue;
    // A field's own hint (what a double click does) stays, after the unit.
    const QString own = edit->toolTip();
    edit->setToolTip(QString::fromUtf8(hint.text) + (own.isEmpty() ? QString() : "\n" + own));
  }

  // Update Plot is a button, not a menu item: a window-wide shortcut clicks it.
  auto* update = new QShortcut(QKeySequence(Qt::Key_F5), this);
  update->setObjectName("UpdatePlot_UIShortcut");
  connect(update, &QShortcut::activated, Button1, &QPushButton::click);
  Button1->setToolTip("Update Plot (F5)");
  Exit_UIAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

  // A line file dropped on the window opens as a line list (Form1_Files.cpp).
  setAcceptDrops(true);
  LineFiles_UILabel = new QLabel;
  LineFiles_UILabel->setObjectName("LineFiles_UILabel");
  LineFiles_UILabel->setVisible(false);
  statusBar()->addPermanentWidget(LineFiles_UILabel);
}

std::vector<std::pair<QAction*, void (TForm1::*)(QObject*)>> TForm1::DesktopHandlers() {
  return {{OpenWaterLines_UIAction, &TForm1::OpenWaterLines_UIActionClick},
          {OpenCO2Lines_UIAction, &TForm1::OpenCO2Lines_UIActionClick},
          {OpenContinuum_UIAction, &TForm1::OpenContinuum_UIActionClick},
          {SaveSettings_UIAction, &TForm1::SaveSettings_UIActionClick},
          {SaveSettingsAs_UIAction, &TForm1::SaveSettingsAs_UIActionClick},
          {ExportData_UIAction, &TForm1::ExportData_UIActionClick},
          {CopyData_UIAction, &TForm1::CopyData_UIActionClick}};
}
