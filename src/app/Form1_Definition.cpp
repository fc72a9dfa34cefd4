// The main window's definition: every control with its object name, caption, items, limits, precision and
// stored value, the components (chart, chart tools, INI store), and, in WireEvents, which handler each
// event runs. No behaviour lives here.
#include "Form1.h"

#include "zqStartOptions.h"

#include "zqChart.h"
#include "zqChartProperties_Form.h"
#include "zqChart_Tools.h"
#include "zqINI_Default.h"
#include "zqINI_File.h"
#include "zqLegendElement.h"
#include "zqNumberEdit.h"
#include "zqRadioGroup.h"
#include "zqSpinEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <vector>

namespace {

constexpr int EditHeight = 21;
constexpr int SpinColumn = 3 + 13;  // gap and width of the spin buttons beside an edit
constexpr int kResultPrecision = 5; // significant digits of a result field

// The ratio texts are padded with blanks, which needs a face whose digits and blank share one advance.
// Asking by the generic family with the monospace hint finds such a face whatever fonts are installed
// (and on systems without a "monospace" alias); the size stays the window's.
QFont fixed_pitch_font(const QFont& base) {
  QFont font = base;
  font.setFamilies({QStringLiteral("monospace")});
  font.setStyleHint(QFont::Monospace);
  font.setFixedPitch(true);
  return font;
}

// Stored properties of one numeric field, in the order the definition applies them.
struct Field {
  const char* name;
  QString text;
  double valueMin = 0;
  double valueMax = 0;
  std::optional<double> value = std::nullopt; // assigned through SetValue after the text
  int precision = 8;
  bool limit = false;
  double valueDefault = 0;
  int maxLength = 0;
  int width = 65;
  // A result field is made wide enough to show this text whole (its longest value at its precision).
  const char* fits = nullptr;
};

// Spin edits and number edits place helpers beside themselves in their parent, so each lives in a
// small cell of its own that layouts can place like any other widget.
template <class Edit> Edit* make_field(const Field& f, QWidget*& cell) {
  cell = new QWidget;
  cell->setObjectName(QString(f.name) + "_Cell");
  auto* e = new Edit(cell);
  e->BeginLoading();
  e->setObjectName(f.name);
  e->setText(f.text);
  if (f.maxLength > 0) e->setMaxLength(f.maxLength);
  e->SetValueMin(f.valueMin);
  e->SetValueMax(f.valueMax);
  e->SetValueDefault(f.valueDefault);
  if (f.value) e->SetValue(*f.value);
  e->SetPrecision(f.precision);
  e->SetLimitValue(f.limit);
  int width = f.width;
  // Frame and text margins of a line edit take about 8 pixels besides the text.
  if (f.fits) width = std::max(width, e->fontMetrics().horizontalAdvance(QString(f.fits)) + 12);
  e->setGeometry(0, 0, width, EditHeight);
  int extra = std::is_same_v<Edit, TzqSpinEdit> ? SpinColumn : 0;
  cell->setFixedSize(width + extra, EditHeight + 1);
  return e;
}

QLabel* label(const QString& text, QWidget* parent = nullptr) {
  return new QLabel(text, parent);
}

QString tr8(const char* utf8) {
  return QString::fromUtf8(utf8);
}

TzqRadioGroup* radio_group(const char* name, const QString& caption, const QStringList& items, int index) {
  auto* g = new TzqRadioGroup;
  g->setObjectName(name);
  g->setTitle(caption);
  g->SetItems(items);
  g->SetItemIndex(index); // no handler is attached yet
  return g;
}

QPushButton* button(const char* name, const QString& caption) {
  auto* b = new QPushButton(caption);
  b->setObjectName(name);
  return b;
}

// A button the definition keeps hidden (its handler is still wired and called from code).
QPushButton* hidden_button(QBoxLayout* box, const char* name, const QString& caption) {
  QPushButton* b = button(name, caption);
  b->setVisible(false);
  box->addWidget(b);
  return b;
}

// A captioned box with a "Min" and a "Max" field.
QGroupBox* min_max_box(const char* name, const QString& caption, QWidget* min, QWidget* max) {
  auto* box = new QGroupBox(caption);
  box->setObjectName(name);
  auto* g = new QGridLayout(box);
  g->addWidget(label("Min"), 0, 0);
  g->addWidget(min, 0, 1);
  g->addWidget(label("Max"), 1, 0);
  g->addWidget(max, 1, 1);
  return box;
}

QCheckBox* check_box(const char* name, const QString& caption) {
  auto* c = new QCheckBox(caption);
  c->setObjectName(name);
  return c;
}

// A legend element with its colour swatch, in a cell wide enough for both.
TzqLegendElement* legend(const char* name, QWidget*& cell, int width = 110) {
  cell = new QWidget;
  cell->setObjectName(QString(name) + "_Cell");
  auto* l = new TzqLegendElement(cell);
  l->setObjectName(name);
  l->setGeometry(0, 0, width, 20);
  l->AdjustSize();
  cell->setFixedSize(width + TzqLegendElement::PanelGap + TzqLegendElement::PanelSize, 21);
  return l;
}

} // namespace

// Applies the definition; the caller wires the events afterwards, so stored values raise no handlers.
void TForm1::DefineWindow() {
  setObjectName("Form1");
  setWindowTitle("Absorbview");
  resize(1280, 860);

  auto* central = new QWidget;
  central->setObjectName("Form1_Client");
  auto* grid = new QGridLayout(central);
  grid->setContentsMargins(4, 4, 4, 4);

  Chart1 = new TChart;
  Chart1->setObjectName("Chart1");
  Chart1->setMinimumSize(600, 400);
  Chart1->Title().SetLines({"TChart"});
  Chart1->BottomAxis().Title().SetCaption("Wavenumber");
  Chart1->LeftAxis().Title().SetCaption("absorbance");
  // The chart's legend names each curve drawn (gas, profile, conditions) beside the legend check boxes.
  Chart1->SetLegendVisible(true);
  Chart1->RightAxis().SetGridVisible(false);
  Chart1->TopAxis().SetGridVisible(false);
  Chart1->SetBackWallColor(0xFFFFFF);
  Chart1->SetBackWallTransparent(true);

  PageControl1 = new QTabWidget;
  PageControl1->setObjectName("PageControl1");
  PageControl1->setFixedWidth(360);
  BuildGeneralPage();
  BuildTPPage();
  BuildMeanPathPage();
  BuildPowerPage();
  BuildColumnPage();
  BuildTestPage();

  grid->addWidget(BuildChartBox(), 0, 0);
  grid->addWidget(PageControl1, 0, 1);
  grid->addWidget(BuildBelowChart(), 1, 0, 1, 2);
  grid->setRowStretch(0, 1);
  grid->setColumnStretch(0, 1);
  setCentralWidget(central);

  statusLabel_ = new QLabel;
  statusLabel_->setObjectName("Status_UILabel");
  statusBar()->addWidget(statusLabel_, 1);
  DemoLists_UILabel = new QLabel;
  DemoLists_UILabel->setObjectName("DemoLists_UILabel");
  DemoLists_UILabel->setStyleSheet("QLabel { color: #a00000; font-weight: bold; }");
  DemoLists_UILabel->setVisible(false);
  statusBar()->addPermanentWidget(Coverage_UILabel);
  statusBar()->addPermanentWidget(Readout_UILabel);
  statusBar()->addPermanentWidget(DemoLists_UILabel);
  // A passing message ("Settings saved to ...") gets the whole bar; the notice comes back after it.
  connect(statusBar(), &QStatusBar::messageChanged, this, [this](const QString& message) {
    if (!DemoLineListSections.empty()) DemoLists_UILabel->setVisible(message.isEmpty());
  });
  BuildMenuBar();
  DefineDesktopHabits();

  // Non-visual components come after the visual controls.
  zqChart_Tools1 = new TzqChart_Tools(this);
  zqChart_Tools1->setObjectName("zqChart_Tools1");
  zqChart_Tools1->SetChart(Chart1);
  TzqChartProperties_Form::Install(*zqChart_Tools1);

  zqINI_File1 = std::make_unique<TzqINI_File>();
  zqINI_File1->OpenOnLoad = true;
  zqINI_File1->AutoOpenDialog = false;
  zqINI_File1->SetMakeBackup(false);
  zqINI_File1->CmdLineParms = "/ini";
  zqINI_File1->CmdLineHelp = StartOptionsHelp(); // for a switch it does not know
  zqINI_File1->INI_Default = INI_DefaultLines();
  zqChart_Tools1->SetzqINI_File(zqINI_File1.get());

  for (auto* e : findChildren<TzqNumberEdit*>())
    e->Loaded();
}

void TForm1::BuildMenuBar() {
  auto action = [this](QMenu* menu, const char* name, const QString& caption) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(name);
    return a;
  };
  File_UIMenu = menuBar()->addMenu("&File");
  File_UIMenu->setObjectName("File_UIMenu");
  OpenINI_UIAction = action(File_UIMenu, "OpenINI_UIAction", "&Open INI file...");
  SaveChartImage_UIAction = action(File_UIMenu, "SaveChartImage_UIAction", "&Save chart image...");
  File_UIMenu->addSeparator();
  Exit_UIAction = action(File_UIMenu, "Exit_UIAction", "E&xit");
  Help_UIMenu = menuBar()->addMenu("&Help");
  Help_UIMenu->setObjectName("Help_UIMenu");
  About_UIAction = action(Help_UIMenu, "About_UIAction", "&About Absorbview");
  UserGuide_UIAction = action(Help_UIMenu, "UserGuide_UIAction", "&User guide");
  UserGuide_UIAction->setShortcut(QKeySequence(Qt::Key_F1));
  HitranHelp_UIAction = action(Help_UIMenu, "HitranHelp_UIAction", "How to get &HITRAN data");
  ContinuumHelp_UIAction = action(Help_UIMenu, "ContinuumHelp_UIAction", "How to get the &continuum");
}

void TForm1::BuildGeneralPage() {
  QWidget *cMin, *cMax, *cWater, *cCO2, *cRH, *cSat;
  Wavenumber_Min_UIzqSpinEdit = make_field<TzqSpinEdit>({.name = "Wavenumber_Min_UIzqSpinEdit",
                                                         .text = "0",
                                                         .valueMax = 1000000000,
                                                         .limit = true,
                                                         .maxLength = 7},
                                                        cMin);
  Wavenumber_Max_UIzqSpinEdit = make_field<TzqSpinEdit>({.name = "Wavenumber_Max_UIzqSpinEdit",
                                                         .text = "5000",
                                                         .valueMax = 1000000000,
                                                         .limit = true,
                                                         .maxLength = 7},
                                                        cMax);
  Water_Concentration_UIzqSpinEdit = make_field<TzqSpinEdit>({.name = "Water_Concentration_UIzqSpinEdit",
                                                              .text = "10000",
                                                              .valueMax = 1000000,
                                                              .precision = 7,
                                                              .limit = true},
                                                             cWater);
  CO2_Concentration_UIzqSpinEdit = make_field<TzqSpinEdit>(
      {.name = "CO2_Concentration_UIzqSpinEdit", .text = "350", .valueMax = 1000000, .limit = true}, cCO2);
  RH_UIzqSpinEdit = make_field<TzqSpinEdit>(
      {.name = "RH_UIzqSpinEdit", .text = "0", .valueMax = 200, .precision = 4, .limit = true}, cRH);
  Saturated_H2O_UIzqSpinEdit =
      make_field<TzqNumberEdit>({.name = "Saturated_H2O_UIzqSpinEdit", .text = ""}, cSat);
  cSat->setVisible(false);

  UITabSheet_General = new QWidget;
  UITabSheet_General->setObjectName("UITabSheet_General");
  auto* v = new QVBoxLayout(UITabSheet_General);

  QGroupBox* range = min_max_box("Wavenumber_UIGroupBox", "Wavenumber", cMin, cMax);
  static_cast<QGridLayout*>(range->layout())->addWidget(label("cm-1"), 0, 2);
  v->addWidget(range);

  auto* mix = new QGroupBox("Mixing Ratio (ppm)");
  mix->setObjectName("Mixing_Ratio_UIGroupBox");
  auto* mg = new QGridLayout(mix);
  mg->addWidget(label("Water"), 0, 0);
  mg->addWidget(cWater, 0, 1);
  mg->addWidget(label("RH %"), 0, 2);
  mg->addWidget(cRH, 0, 3);
  mg->addWidget(label("CO2"), 1, 0);
  mg->addWidget(cCO2, 1, 1);
  mg->addWidget(cSat, 2, 1);
  // The second series' gas: the HITRAN physics draws any gas with a list (File > Open line list for ...).
  QWidget* cGas = nullptr;
  Gas_Concentration_UIzqSpinEdit = make_field<TzqSpinEdit>({.name = "Gas_Concentration_UIzqSpinEdit",
                                                            .text = "1.7",
                                                            .valueMax = 1000000,
                                                            .precision = 7,
                                                            .limit = true},
                                                           cGas);
  Gas_UIComboBox = new QComboBox;
  Gas_UIComboBox->setObjectName("Gas_UIComboBox");
  Gas_UIComboBox->setToolTip("The gas of the second series beside water vapour (O3, N2O and CH4: HITRAN line "
                             "physics, with a line list opened for the gas), and its mixing ratio in ppm");
  const zqsession::TControls defaults;
  for (const TzqColumnGasInfo& gas : ColumnGases())
    if (gas.Gas != TzqColumnGas::H2O) Gas_UIComboBox->addItem(gas.Name, static_cast<int>(gas.Gas));
  connect(Gas_UIComboBox, &QComboBox::currentIndexChanged, this, [this, defaults] {
    const auto gas = static_cast<TzqColumnGas>(Gas_UIComboBox->currentData().toInt());
    Gas_Concentration_UIzqSpinEdit->setEnabled(gas != TzqColumnGas::CO2);
    if (gas != TzqColumnGas::CO2) AssignValue(Gas_Concentration_UIzqSpinEdit, defaults.GasPpm[gas]);
  });
  Gas_Concentration_UIzqSpinEdit->setEnabled(false);
  mg->addWidget(label("Gas"), 3, 0);
  mg->addWidget(Gas_UIComboBox, 3, 1);
  mg->addWidget(cGas, 3, 2, 1, 2);
  v->addWidget(mix);
  v->addStretch(1);
  PageControl1->addTab(UITabSheet_General, "General");
}

void TForm1::BuildTPPage() {
  QWidget *cK, *cC, *cF, *cP;
  Temp_K_UIzqSpinEdit =
      make_field<TzqSpinEdit>({.name = "Temp_K_UIzqSpinEdit", .text = "0", .limit = true}, cK);
  Temp_C_UIzqSpinEdit = make_field<TzqSpinEdit>({.name = "Temp_C_UIzqSpinEdit", .text = "15"}, cC);
  Temp_F_UIzqSpinEdit = make_field<TzqSpinEdit>({.name = "Temp_F_UIzqSpinEdit", .text = ""}, cF);
  Pressure_UIzqSpinEdit = make_field<TzqSpinEdit>(
      {.name = "Pressure_UIzqSpinEdit", .text = "0", .valueMax = 100000, .limit = true}, cP);

  UITabSheet_TP = new QWidget;
  UITabSheet_TP->setObjectName("UITabSheet_TP");
  auto* v = new QVBoxLayout(UITabSheet_TP);

  auto* temps = new QGroupBox("Temperature");
  temps->setObjectName("Temperature_UIGroupBox");
  auto* tg = new QGridLayout(temps);
  tg->addWidget(cK, 0, 0);
  tg->addWidget(label(tr8("°K")), 0, 1);
  tg->addWidget(cC, 1, 0);
  tg->addWidget(label(tr8("°C")), 1, 1);
  tg->addWidget(cF, 2, 0);
  tg->addWidget(label(tr8("°F")), 2, 1);
  auto* pressure = new QGroupBox("Pressure");
  pressure->setObjectName("Pressure_UIGroupBox");
  auto* pg = new QHBoxLayout(pressure);
  pg->addWidget(cP);
  pg->addWidget(label("mb"));
  pg->addStretch(1);
  auto* top = new QHBoxLayout;
  top->addWidget(temps);
  top->addWidget(pressure);
  v->addLayout(top);

  Atmosphere_Layer_UIRadioGroup =
      radio_group("Atmosphere_Layer_UIRadioGroup", "Nominal Atmosphere Layer",
                  {"Mesopause", "Mesosphere", "Stratopause", "Stratosphere", "Tropopause 2", "Tropopause 1",
                   "Troposphere", "Surface", "Custom"},
                  7);
  H2O_Mixing_Ratio_UIRadioGroup = radio_group("H2O_Mixing_Ratio_UIRadioGroup", "H2O Ratio",
                                              {"          0", "          0", "          0", "          5",
                                               "      100", "      500", "    5000", "  10000", "Custom"},
                                              7);
  H2O_Mixing_Ratio_UIRadioGroup->setFont(fixed_pitch_font(H2O_Mixing_Ratio_UIRadioGroup->font()));
  auto* layers = new QHBoxLayout;
  layers->addWidget(Atmosphere_Layer_UIRadioGroup, 3);
  layers->addWidget(H2O_Mixing_Ratio_UIRadioGroup, 2);
  v->addLayout(layers);

  Planet_UIRadioGroup = radio_group("Planet_UIRadioGroup", "Planet Surface", {"Venus", "Earth"}, -1);
  v->addWidget(Planet_UIRadioGroup);
  Line_Physics_UIRadioGroup =
      radio_group("Line_Physics_UIRadioGroup", "Line physics", {"Classic", "HITRAN"}, 0);
  // The continuum joins the HITRAN physics' water; enabled once its file is loaded.
  Continuum_UICheckBox = check_box("Continuum_UICheckBox", "Continuum");
  Continuum_UICheckBox->setEnabled(false);
  Continuum_UICheckBox->setToolTip("Add AER's MT_CKD water-vapour continuum to the HITRAN physics' water "
                                   "vapour and the Column page (File > Open continuum file...)");
  auto* physicsRow = new QHBoxLayout;
  physicsRow->addWidget(Line_Physics_UIRadioGroup, 1);
  physicsRow->addWidget(Continuum_UICheckBox);
  v->addLayout(physicsRow);

  Plot_Linewidth_UIButton = hidden_button(v, "Plot_Linewidth_UIButton", "Plot Spectra");
  Plot_Linewidth_Path_UIButton = hidden_button(v, "Plot_Linewidth_Path_UIButton", "Plot Path");
  v->addStretch(1);
  PageControl1->addTab(UITabSheet_TP, "T && P");
}

void TForm1::BuildMeanPathPage() {
  QWidget *cMax, *cMin, *cMul, *cPct;
  Max_Mean_Free_Path_UIzqSpinEdit = make_field<TzqSpinEdit>(
      {.name = "Max_Mean_Free_Path_UIzqSpinEdit", .text = "1000", .value = 1000.0}, cMax);
  Min_Mean_Free_Path_UIzqSpinEdit =
      make_field<TzqSpinEdit>({.name = "Min_Mean_Free_Path_UIzqSpinEdit", .text = "0"}, cMin);
  // The multiplier's range is the one its key-up handler clamps to; an empty or zero multiplier is out of
  // range and leaves the path factor alone.
  Path_Multiplier_UIzqSpinEdit = make_field<TzqSpinEdit>(
      {.name = "Path_Multiplier_UIzqSpinEdit", .text = "1", .valueMin = 0.1, .valueMax = 100, .value = 1.0},
      cMul);
  Percent_Absorbed_UIzqNumberEdit = make_field<TzqNumberEdit>(
      {.name = "Percent_Absorbed_UIzqNumberEdit", .text = "1", .value = 1.0, .fits = "0.000000000"}, cPct);
  Percent_Absorbed_UIzqNumberEdit->SetReadOnly(true);

  UITabSheet_MeanPath = new QWidget;
  UITabSheet_MeanPath->setObjectName("UITabSheet_MeanPath");
  auto* v = new QVBoxLayout(UITabSheet_MeanPath);
  v->addWidget(min_max_box("Mean_Path_Axis_UIGroupBox", "Y Axis (m)", cMin, cMax));

  PathType_UIRadioGroup = radio_group("PathType_UIRadioGroup", "Path type",
                                      {"Mean Free Path   (1/2)", "Optical Thickness (1/e)"}, 1);
  v->addWidget(PathType_UIRadioGroup);
  auto* mul = new QGridLayout;
  mul->addWidget(label("Multiplier"), 0, 0);
  mul->addWidget(cMul, 0, 1);
  mul->addWidget(label("Absorbed"), 1, 0);
  mul->addWidget(cPct, 1, 1);
  v->addLayout(mul);

  Absorbance_UIButton = hidden_button(v, "Absorbance_UIButton", "Absorbance");
  Mean_Path_UIButton = hidden_button(v, "Mean_Path_UIButton", "Mean Path");
  v->addStretch(1);
  PageControl1->addTab(UITabSheet_MeanPath, "Mean Path");
}

void TForm1::BuildPowerPage() {
  QWidget *cT, *cPow, *cMin, *cMax;
  Temp_K_2_UIzqSpinEdit =
      make_field<TzqSpinEdit>({.name = "Temp_K_2_UIzqSpinEdit", .text = "300", .value = 300.0}, cT);
  Power_UIzqSpinEdit = make_field<TzqSpinEdit>({.name = "Power_UIzqSpinEdit", .text = ""}, cPow);
  Wavenumber_Min_2_UIzqSpinEdit = make_field<TzqSpinEdit>({.name = "Wavenumber_Min_2_UIzqSpinEdit",
                                                           .text = "2500",
                                                           .valueMax = 1000000000,
                                                           .value = 2500.0,
                                                           .limit = true,
                                                           .maxLength = 7},
                                                          cMin);
  Wavenumber_Max_2_UIzqSpinEdit = make_field<TzqSpinEdit>({.name = "Wavenumber_Max_2_UIzqSpinEdit",
                                                           .text = "2500",
                                                           .valueMax = 1000000000,
                                                           .value = 2500.0,
                                                           .limit = true,
                                                           .maxLength = 7},
                                                          cMax);

  UITabSheet_Power = new QWidget;
  UITabSheet_Power->setObjectName("UITabSheet_Power");
  auto* v = new QVBoxLayout(UITabSheet_Power);
  auto* title = label("Amount of energy absorbed");
  title->setObjectName("Power_Title_UILabel");
  v->addWidget(title);

  auto* inputs = new QGridLayout;
  inputs->addWidget(label("Surface Temperature"), 0, 0);
  inputs->addWidget(cT, 0, 1);
  inputs->addWidget(label("K"), 0, 2);
  inputs->addWidget(label("Blackbody Power"), 1, 0);
  inputs->addWidget(cPow, 1, 1);
  inputs->addWidget(label("W/m2"), 1, 2);
  // The path the results are for is the Mean Path page's "Y Axis Max": shown here, set there.
  QWidget* cPath;
  Power_Path_UIzqNumberEdit = make_field<TzqNumberEdit>(
      {.name = "Power_Path_UIzqNumberEdit", .text = "1000", .value = 1000.0}, cPath);
  Power_Path_UIzqNumberEdit->SetReadOnly(true);
  Power_Path_UIzqNumberEdit->setToolTip("Set as \"Max\" of the Mean Path page's Y Axis; 2x CO2 doubles it");
  inputs->addWidget(label("Path length"), 2, 0);
  inputs->addWidget(cPath, 2, 1);
  inputs->addWidget(label("m (Mean Path page, Y Axis Max)"), 2, 2);
  connect(Max_Mean_Free_Path_UIzqSpinEdit, &QLineEdit::textChanged, Power_Path_UIzqNumberEdit,
          &QLineEdit::setText);
  v->addLayout(inputs);

  v->addWidget(min_max_box("Wavenumber_2_UIGroupBox", "Wavenumber", cMin, cMax));

  auto* panel = new QGroupBox("Blackbody (W/m2)");
  panel->setObjectName("Blackbody_UIPanel");
  auto* pg = new QGridLayout(panel);
  pg->addWidget(label("1x"), 0, 1);
  pg->addWidget(label("2x"), 0, 2);
  const char* rows[] = {"CO2", "H2O", "Sum", "Combined"};
  for (int r = 0; r < 4; ++r)
    pg->addWidget(label(rows[r]), r + 1, 0);
  auto result = [&](const char* name, int row, int col) {
    QWidget* cell;
    auto* e =
        make_field<TzqNumberEdit>({.name = name, .text = "", .width = 90, .fits = "-0.00012345678"}, cell);
    // Five significant digits: more than the line data carry would be noise to a reader.
    e->SetPrecision(kResultPrecision);
    e->SetReadOnly(true);
    pg->addWidget(cell, row, col);
    return e;
  };
  CO2_bb_1x_UIEdit = result("CO2_bb_1x_UIEdit", 1, 1);
  CO2_bb_2x_UIEdit = result("CO2_bb_2x_UIEdit", 1, 2);
  H2O_bb_1x_UIEdit = result("H2O_bb_1x_UIEdit", 2, 1);
  Total_bb_1x_UIEdit = result("Total_bb_1x_UIEdit", 3, 1);
  Total_bb_2x_UIEdit = result("Total_bb_2x_UIEdit", 3, 2);
  Combined_1x_UIzqNumberEdit = result("Combined_1x_UIzqNumberEdit", 4, 1);
  Combined_2x_UIzqNumberEdit = result("Combined_2x_UIzqNumberEdit", 4, 2);
  pg->addWidget(label("Band (HITRAN)"), 5, 0);
  Band_Power_UIzqNumberEdit = result("Band_Power_UIzqNumberEdit", 5, 1);
  v->addWidget(panel);

  L3_UIButton = button("L3_UIButton", "Compute");
  v->addWidget(L3_UIButton);
  v->addStretch(1);
  PageControl1->addTab(UITabSheet_Power, "Power");
}

void TForm1::BuildTestPage() {
  QWidget *cLayer, *cAlpha;
  LayerThickness_UIzqSpinEdit =
      make_field<TzqSpinEdit>({.name = "LayerThickness_UIzqSpinEdit", .text = "8", .value = 8.0}, cLayer);
  alpha_Multiplier_UIzqSpinEdit = make_field<TzqSpinEdit>(
      {.name = "alpha_Multiplier_UIzqSpinEdit", .text = "200", .value = 200.0}, cAlpha);

  UITabSheet_test = new QWidget;
  UITabSheet_test->setObjectName("UITabSheet_test");
  auto* v = new QVBoxLayout(UITabSheet_test);
  v->addWidget(label("Test page - for debug"));
  auto* g = new QGridLayout;
  g->addWidget(label("layer thickness"), 0, 0);
  g->addWidget(cLayer, 0, 1);
  g->addWidget(label("Line width limit"), 1, 0);
  g->addWidget(cAlpha, 1, 1);
  v->addLayout(g);
  BB_Power_RadioGroup = radio_group("BB_Power_RadioGroup", "BlackbodyPower", {"Lambda^3", "Lambda^5"}, -1);
  v->addWidget(BB_Power_RadioGroup);
  BB_Envelope_UICheckBox = check_box("BB_Envelope_UICheckBox", "Times BB Envelope");
  v->addWidget(BB_Envelope_UICheckBox);
  v->addStretch(1);
  PageControl1->addTab(UITabSheet_test, "T");
}

QWidget* TForm1::BuildBelowChart() {
  auto* below = new QWidget;
  below->setObjectName("Below_Chart_UIPanel");
  auto* h = new QHBoxLayout(below);
  h->setContentsMargins(0, 0, 0, 0);

  Plot_Type_UIRadioGroup = radio_group(
      "Plot_Type_UIRadioGroup", "Plot Type",
      {"Spectra / Absorbance", "Optical Depth - ln(1-x%)", "Mean Path to Absorb x%", "Outgoing Radiation"},
      0);
  Spectra_Type_UIRadioGroup = radio_group("Spectra_Type_UIRadioGroup", "Spectra Type",
                                          {"Raw", "Raw / Bandwidth", "Temp && Pressure", "Doppler"}, 0);
  Scaling_UIRadioGroup =
      radio_group("Scaling_UIRadioGroup", "Scaling", {"For 1 molecule", "Times mixing ratio"}, 0);
  h->addWidget(Plot_Type_UIRadioGroup);
  h->addWidget(Spectra_Type_UIRadioGroup);
  h->addWidget(Scaling_UIRadioGroup);

  auto* legendBox = new QVBoxLayout;
  QWidget *l0, *l1, *l2;
  Series_0_UILegend = legend("Series_0_UILegend", l0);
  Series_1_UILegend = legend("Series_1_UILegend", l1);
  Series_2_UILegend = legend("Series_2_UILegend", l2);
  legendBox->addWidget(l0);
  legendBox->addWidget(l1);
  legendBox->addWidget(l2);
  Button1 = button("Button1", "Update Plot");
  Transparent_UICheckBox = check_box("Transparent_UICheckBox", "Transparent plots");
  legendBox->addWidget(Button1);
  legendBox->addWidget(Transparent_UICheckBox);
  h->addLayout(legendBox);

  QWidget *cWn, *cWl, *cAlt, *cP2, *cT2;
  Wavenumber_UIzqSpinEdit =
      make_field<TzqSpinEdit>({.name = "Wavenumber_UIzqSpinEdit", .text = "15000", .width = 80}, cWn);
  Wavelength_UIzqSpinEdit =
      make_field<TzqSpinEdit>({.name = "Wavelength_UIzqSpinEdit", .text = "15000", .width = 80}, cWl);
  auto* waves = new QGridLayout;
  waves->addWidget(label("Wavenumber"), 0, 0);
  waves->addWidget(cWn, 0, 1);
  waves->addWidget(label("cm-1"), 0, 2);
  waves->addWidget(label("Wavelength"), 1, 0);
  waves->addWidget(cWl, 1, 1);
  waves->addWidget(label("nm"), 1, 2);
  h->addLayout(waves);

  Altitude_UIzqSpinEdit = make_field<TzqSpinEdit>({.name = "Altitude_UIzqSpinEdit", .text = ""}, cAlt);
  Pressure2_UIzqNumberEdit = make_field<TzqNumberEdit>(
      {.name = "Pressure2_UIzqNumberEdit", .text = "", .precision = 6, .width = 80}, cP2);
  Temperature2_UIzqNumberEdit =
      make_field<TzqNumberEdit>({.name = "Temperature2_UIzqNumberEdit", .text = "", .width = 80}, cT2);
  Pressure2_UIzqNumberEdit->SetReadOnly(true);
  Temperature2_UIzqNumberEdit->SetReadOnly(true);
  Pressure2_UIzqNumberEdit->setToolTip("Double click to copy value to Pressure");
  Temperature2_UIzqNumberEdit->setToolTip("Double click to copy value to Surface Temperature");
  auto* altitude = new QGroupBox;
  altitude->setObjectName("Altitude_UIPanel");
  auto* ag = new QGridLayout(altitude);
  ag->addWidget(label("Alt (km)"), 0, 0);
  ag->addWidget(cAlt, 0, 1);
  ag->addWidget(label("Pressure"), 1, 0);
  ag->addWidget(cP2, 1, 1);
  ag->addWidget(label("Temperature"), 2, 0);
  ag->addWidget(cT2, 2, 1);
  h->addWidget(altitude);

  auto* bb = new QGroupBox("Blackbody Plots (K)");
  bb->setObjectName("Blackbody_Plots_UIPanel");
  auto* bg = new QGridLayout(bb);
  const char* spins[] = {"Series_3_zqSpinEdit", "Series_4_zqSpinEdit", "Series_5_zqSpinEdit"};
  const char* texts[] = {"300", "300", "200"};
  const double defaults[] = {300, 300, 288};
  const char* legends[] = {"Series_3_UILegend", "Series_4_UILegend", "Series_5_UILegend"};
  TzqSpinEdit** spinTargets[] = {&Series_3_zqSpinEdit, &Series_4_zqSpinEdit, &Series_5_zqSpinEdit};
  TzqLegendElement** legendTargets[] = {&Series_3_UILegend, &Series_4_UILegend, &Series_5_UILegend};
  for (int i = 0; i < 3; ++i) {
    QWidget *cs, *cl;
    *spinTargets[i] = make_field<TzqSpinEdit>({.name = spins[i],
                                               .text = texts[i],
                                               .valueMax = 200000,
                                               .precision = 5,
                                               .limit = true,
                                               .valueDefault = defaults[i]},
                                              cs);
    SetTag(*spinTargets[i], -1);
    *legendTargets[i] = legend(legends[i], cl, 20);
    bg->addWidget(cl, i, 0);
    bg->addWidget(cs, i, 1);
  }
  h->addWidget(bb);
  h->addStretch(1);
  return below;
}

// Every event of the window and the handler it runs, in one place.
void TForm1::WireEvents() {
  zqINI_File1->OnReadComplete = [this](TzqINI_File& s) { zqINI_File1ReadComplete(&s); };
  WatchNumberFields();

  auto onClick = [this](TzqRadioGroup* g, void (TForm1::*h)(QObject*)) {
    g->OnClick = [this, h](TzqRadioGroup& s) { (this->*h)(&s); };
  };
  onClick(Plot_Type_UIRadioGroup, &TForm1::Select_Plot);
  onClick(Spectra_Type_UIRadioGroup, &TForm1::Select_Plot);
  onClick(Scaling_UIRadioGroup, &TForm1::Select_Plot);
  onClick(PathType_UIRadioGroup, &TForm1::Mean_Path_UIButtonClick);
  onClick(Atmosphere_Layer_UIRadioGroup, &TForm1::Atmosphere_Layer_UIRadioGroupClick);
  onClick(H2O_Mixing_Ratio_UIRadioGroup, &TForm1::H2O_Mixing_Ratio_UIRadioGroupClick);
  onClick(Planet_UIRadioGroup, &TForm1::Planet_UIRadioGroupClick);
  onClick(Line_Physics_UIRadioGroup, &TForm1::Line_Physics_UIRadioGroupClick);

  auto clicked = [this](QAbstractButton* b, void (TForm1::*h)(QObject*)) {
    connect(b, &QAbstractButton::clicked, this, [this, b, h] { (this->*h)(b); });
  };
  clicked(BB_Envelope_UICheckBox, &TForm1::Select_Plot);
  clicked(Button1, &TForm1::Select_Plot);
  clicked(Transparent_UICheckBox, &TForm1::Transparent_UICheckBoxClick);
  clicked(Continuum_UICheckBox, &TForm1::Continuum_UICheckBoxClick);
  clicked(Mean_Path_UIButton, &TForm1::Mean_Path_UIButtonClick);
  clicked(Absorbance_UIButton, &TForm1::Absorbance_UIButtonClick);
  clicked(Plot_Linewidth_UIButton, &TForm1::Plot_Linewidth_UIButtonClick);
  clicked(Plot_Linewidth_Path_UIButton, &TForm1::Plot_Linewidth_Path_UIButtonClick);
  clicked(L3_UIButton, &TForm1::L3_UIButtonClick);

  auto onChange = [this](TzqNumberEdit* e, void (TForm1::*h)(QObject*)) {
    e->OnChange = [this, h](TzqNumberEdit& s) { (this->*h)(&s); };
  };
  onChange(Path_Multiplier_UIzqSpinEdit, &TForm1::Path_Multiplier_UIzqSpinEditChange);
  onChange(Wavenumber_UIzqSpinEdit, &TForm1::Wavenumber_UIzqSpinEditChange);
  onChange(Wavelength_UIzqSpinEdit, &TForm1::Wavelength_UIzqSpinEditChange);
  onChange(Temp_K_UIzqSpinEdit, &TForm1::Temp_K_UIzqSpinEditChange);
  onChange(Temp_C_UIzqSpinEdit, &TForm1::Temp_C_UIzqSpinEditChange);
  onChange(Temp_F_UIzqSpinEdit, &TForm1::Temp_F_UIzqSpinEditChange);
  onChange(Altitude_UIzqSpinEdit, &TForm1::Altitude_UIzqSpinEditChange);
  onChange(Pressure_UIzqSpinEdit, &TForm1::Pressure_UIzqSpinEditChange);
  onChange(Wavenumber_Min_UIzqSpinEdit, &TForm1::Wavenumber_MinMax_UIzqSpinEditChange);
  onChange(Wavenumber_Max_UIzqSpinEdit, &TForm1::Wavenumber_MinMax_UIzqSpinEditChange);
  onChange(Water_Concentration_UIzqSpinEdit, &TForm1::Water_Concentration_UIzqSpinEditChange);
  onChange(RH_UIzqSpinEdit, &TForm1::RH_UIzqSpinEditChange);
  onChange(Power_UIzqSpinEdit, &TForm1::Power_UIzqSpinEditChange);
  onChange(Temp_K_2_UIzqSpinEdit, &TForm1::Temp_K_2_UIzqSpinEditChange);
  onChange(Wavenumber_Min_2_UIzqSpinEdit, &TForm1::Wavenumber_MinMax_2_UIzqSpinEditChange);
  onChange(Wavenumber_Max_2_UIzqSpinEdit, &TForm1::Wavenumber_MinMax_2_UIzqSpinEditChange);
  onChange(Series_3_zqSpinEdit, &TForm1::Blackbody_UIzqSpinEditChange);
  onChange(Series_4_zqSpinEdit, &TForm1::Blackbody_UIzqSpinEditChange);
  onChange(Series_5_zqSpinEdit, &TForm1::Blackbody_UIzqSpinEditChange);

  for (TzqNumberEdit* e :
       {static_cast<TzqNumberEdit*>(Temp_K_UIzqSpinEdit), static_cast<TzqNumberEdit*>(Temp_C_UIzqSpinEdit),
        static_cast<TzqNumberEdit*>(Temp_F_UIzqSpinEdit), static_cast<TzqNumberEdit*>(Temp_K_2_UIzqSpinEdit),
        static_cast<TzqNumberEdit*>(Power_UIzqSpinEdit)})
    connect(e, &QLineEdit::editingFinished, this, [this, e] { Temperature_UIEditExit(e); });

  connect(Path_Multiplier_UIzqSpinEdit, &QLineEdit::editingFinished, this,
          [this] { Path_Multiplier_UIEditExit(Path_Multiplier_UIzqSpinEdit); });

  // Key-up and double-click events reach the window through its event filter.
  auto keyUp = [this](QWidget* w, void (TForm1::*h)(QObject*)) {
    keyUpHandlers_[w] = [this, h](QObject* s) { (this->*h)(s); };
    w->installEventFilter(this);
  };
  keyUp(Max_Mean_Free_Path_UIzqSpinEdit, &TForm1::Path_Min_Max_UIEditKeyUp);
  keyUp(Min_Mean_Free_Path_UIzqSpinEdit, &TForm1::Path_Min_Max_UIEditKeyUp);
  keyUp(Path_Multiplier_UIzqSpinEdit, &TForm1::Path_Multiplier_UIzqSpinEditKeyUp);
  keyUp(Percent_Absorbed_UIzqNumberEdit, &TForm1::Path_Multiplier_UIzqSpinEditKeyUp);
  auto dblClick = [this](QWidget* w, void (TForm1::*h)(QObject*)) {
    doubleClickHandlers_[w] = [this, h](QObject* s) { (this->*h)(s); };
    w->installEventFilter(this);
  };
  dblClick(Pressure2_UIzqNumberEdit, &TForm1::Pressure2_UIEditDblClick);
  dblClick(Temperature2_UIzqNumberEdit, &TForm1::Temperature2_UIEditDblClick);

  Chart1->OnAllowScroll = [this](TChart& c, TChartAxis& a) { Chart1AllowScroll(c, a); };
  Chart1->OnMouseUp = [this](TChart& c, Qt::MouseButton b, Qt::KeyboardModifiers s, int x, int y) {
    Chart1MouseUp(c, b, s, x, y);
  };
  Chart1->OnClickBackground = [this](TChart& c, Qt::MouseButton b, Qt::KeyboardModifiers s, int x, int y) {
    Chart1ClickBackground(c, b, s, x, y);
  };
  Chart1->OnClickAxis = [this](TChart& c, TChartAxis& a, Qt::MouseButton b, Qt::KeyboardModifiers s, int x,
                               int y) { Chart1ClickAxis(c, a, b, s, x, y); };
  Chart1->OnClickSeries = [this](TChart& c, TLineSeries& ser, int i, Qt::MouseButton b,
                                 Qt::KeyboardModifiers s, int x,
                                 int y) { Chart1ClickSeries(c, ser, i, b, s, x, y); };
  Chart1->OnAfterDraw = [this](TChart& c) { Chart1AfterDraw(c); };
  // Slopes of spectra and blackbody curves mean nothing here, so the dialog does not offer "Plot Derivative".
  auto hideDerivative = [] {
    if (auto* dialog = TzqChartProperties_Form::Instance()) dialog->SeriesDerivative_UICheckBox->hide();
  };
  OnShowChartProperties = [this, hideDerivative](int x, int y) {
    zqChart_Tools1->ShowPropertiesAt(x, y);
    hideDerivative();
  };
  OnChartDrawn = [hideDerivative] {
    hideDerivative();
    TzqChartProperties_Form::RefreshOpen();
  };

  auto triggered = [this](QAction* a, void (TForm1::*h)(QObject*)) {
    connect(a, &QAction::triggered, this, [this, a, h] { (this->*h)(a); });
  };
  triggered(OpenINI_UIAction, &TForm1::OpenINI_UIActionClick);
  triggered(SaveChartImage_UIAction, &TForm1::SaveChartImage_UIActionClick);
  for (auto [a, h] : DesktopHandlers())
    triggered(a, h);
  triggered(Exit_UIAction, &TForm1::Exit_UIActionClick);
  triggered(About_UIAction, &TForm1::About_UIActionClick);
  triggered(HitranHelp_UIAction, &TForm1::HitranHelp_UIActionClick);
  triggered(ContinuumHelp_UIAction, &TForm1::ContinuumHelp_UIActionClick);
  triggered(UserGuide_UIAction, &TForm1::UserGuide_UIActionClick);
  OnStartProgram = [](const std::string& program, const std::vector<std::string>& args) {
    QStringList list;
    for (const auto& a : args)
      list << QString::fromStdString(a);
    return QProcess::startDetached(QString::fromStdString(program), list);
  };
}
