// The window definition of the chart properties dialog: its three pages, every control with its object
// name, caption, key filter and starting value, and the one place where control events meet handlers.
#include "zqChartProperties_Form.h"

#include "zqColorPanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QVBoxLayout>

using zqchartprops::KeyFilter;

namespace {

template <class T> T* named(T* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

TzqPropertiesEdit* edit(const char* name, KeyFilter filter, int width = 64) {
  auto* e = named(new TzqPropertiesEdit, name);
  e->Filter = filter;
  e->setFixedWidth(width);
  return e;
}

QCheckBox* check(const char* name, const char* caption) {
  return named(new QCheckBox(QString::fromLatin1(caption)), name);
}

QPushButton* button(const char* name, const char* caption) {
  return named(new QPushButton(QString::fromLatin1(caption)), name);
}

QScrollBar* scroll_bar(const char* name, Qt::Orientation orientation) {
  auto* bar = named(new QScrollBar(orientation), name);
  bar->setSingleStep(1);
  bar->setPageStep(10);
  return bar;
}

// The dialog keeps its 583 x 406 size: pages and groups use tight margins.
void compact(QLayout* layout) {
  layout->setContentsMargins(6, 4, 6, 4);
  layout->setSpacing(4);
}

QHBoxLayout* labelled(const char* caption, QWidget* field) {
  auto* row = new QHBoxLayout;
  row->addWidget(new QLabel(QString::fromLatin1(caption)));
  row->addWidget(field);
  row->addStretch(1);
  return row;
}

// A vertical slider group: maximum edit on top, the bar with the current value beside it, minimum below.
QGroupBox* vertical_slider(const char* caption, TzqPropertiesEdit* max, QScrollBar* bar,
                           TzqPropertiesEdit* cur, TzqPropertiesEdit* min) {
  auto* box = new QGroupBox(QString::fromLatin1(caption));
  auto* grid = new QGridLayout(box);
  compact(grid);
  grid->addWidget(new QLabel(QStringLiteral("Max")), 0, 0);
  grid->addWidget(max, 0, 1);
  bar->setMinimumHeight(120);
  grid->addWidget(bar, 1, 0, Qt::AlignHCenter);
  auto* curColumn = new QVBoxLayout;
  curColumn->addStretch(1);
  curColumn->addWidget(new QLabel(QStringLiteral("Current")));
  curColumn->addWidget(cur);
  curColumn->addStretch(1);
  grid->addLayout(curColumn, 1, 1);
  grid->addWidget(new QLabel(QStringLiteral("Min")), 2, 0);
  grid->addWidget(min, 2, 1);
  grid->setRowStretch(1, 1);
  return box;
}

TzqRadioGroup* radio_group(const char* name, const char* caption, const QStringList& items, int columns) {
  auto* g = named(new TzqRadioGroup, name);
  g->setTitle(QString::fromLatin1(caption));
  g->SetColumns(columns);
  g->SetItems(items);
  return g;
}

} // namespace

void TzqChartProperties_Form::build_series_page() {
  TabSheet_Series = named(new QWidget, "TabSheet_Series");
  auto* page = new QHBoxLayout(TabSheet_Series);
  compact(page);

  // Left: the series and where and how each is drawn.
  auto* left = new QVBoxLayout;
  left->setSpacing(3);
  Series_UIListBox = named(new QListWidget, "Series_UIListBox");
  Series_UIListBox->setFixedWidth(150);
  left->addWidget(Series_UIListBox, 1);
  RadioGroup_SeriesVertAxis = radio_group("RadioGroup_SeriesVertAxis", "Vertical Axis",
                                          {QStringLiteral("Left"), QStringLiteral("Right")}, 2);
  RadioGroup_SeriesHorizAxis = radio_group("RadioGroup_SeriesHorizAxis", "Horizontal Axis",
                                           {QStringLiteral("Top"), QStringLiteral("Bottom")}, 2);
  for (auto* g : {RadioGroup_SeriesVertAxis, RadioGroup_SeriesHorizAxis}) {
    g->setFixedWidth(150);
    left->addWidget(g);
  }
  LineType_UIComboBox = named(new QComboBox, "LineType_UIComboBox");
  LineType_UIComboBox->addItems({QStringLiteral("Solid"), QStringLiteral("Dash"), QStringLiteral("Dot"),
                                 QStringLiteral("DashDot"), QStringLiteral("DashDotDot")});
  left->addWidget(new QLabel(QStringLiteral("Line Type")));
  left->addWidget(LineType_UIComboBox);
  page->addLayout(left);

  // Middle: scale and offset sliders over the x-shift slider.
  SeriesScaleMax_UIEdit = edit("SeriesScaleMax_UIEdit", KeyFilter::Real);
  SeriesScaleMin_UIEdit = edit("SeriesScaleMin_UIEdit", KeyFilter::Real);
  SeriesScaleCur_UIEdit = edit("SeriesScaleCur_UIEdit", KeyFilter::Real);
  SeriesScale_UIScrollBar = scroll_bar("SeriesScale_UIScrollBar", Qt::Vertical);
  SeriesOffsetMax_UIEdit = edit("SeriesOffsetMax_UIEdit", KeyFilter::Integer);
  SeriesOffsetMin_UIEdit = edit("SeriesOffsetMin_UIEdit", KeyFilter::Integer);
  SeriesOffsetCur_UIEdit = edit("SeriesOffsetCur_UIEdit", KeyFilter::Integer);
  SeriesOffset_UIScrollBar = scroll_bar("SeriesOffset_UIScrollBar", Qt::Vertical);
  SeriesHorizMax_UIEdit = edit("SeriesHorizMax_UIEdit", KeyFilter::Integer);
  SeriesHorizMin_UIEdit = edit("SeriesHorizMin_UIEdit", KeyFilter::Integer);
  SeriesHorizCur_UIEdit = edit("SeriesHorizCur_UIEdit", KeyFilter::Integer);
  SeriesHoriz_UIScrollBar = scroll_bar("SeriesHoriz_UIScrollBar", Qt::Horizontal);
  SeriesMultiplier_UIRadioGroup =
      radio_group("SeriesMultiplier_UIRadioGroup", "Decimals",
                  {QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2")}, 3);

  auto* middle = new QVBoxLayout;
  auto* sliders = new QHBoxLayout;
  auto* scale = vertical_slider("Scale", SeriesScaleMax_UIEdit, SeriesScale_UIScrollBar,
                                SeriesScaleCur_UIEdit, SeriesScaleMin_UIEdit);
  static_cast<QGridLayout*>(scale->layout())->addWidget(SeriesMultiplier_UIRadioGroup, 3, 0, 1, 2);
  sliders->addWidget(scale);
  sliders->addWidget(vertical_slider("Offset", SeriesOffsetMax_UIEdit, SeriesOffset_UIScrollBar,
                                     SeriesOffsetCur_UIEdit, SeriesOffsetMin_UIEdit));
  middle->addLayout(sliders, 1);
  auto* shift = new QGroupBox(QStringLiteral("Shift"));
  auto* shiftGrid = new QGridLayout(shift);
  compact(shiftGrid);
  shiftGrid->addWidget(SeriesHorizMin_UIEdit, 0, 0);
  shiftGrid->addWidget(SeriesHoriz_UIScrollBar, 0, 1);
  shiftGrid->addWidget(SeriesHorizMax_UIEdit, 0, 2);
  shiftGrid->addWidget(SeriesHorizCur_UIEdit, 1, 1, Qt::AlignHCenter);
  shiftGrid->setColumnStretch(1, 1);
  middle->addWidget(shift);
  page->addLayout(middle, 1);

  // Right: what applies to the series as a whole.
  auto* right = new QVBoxLayout;
  SeriesEnableScaling_UICheckBox = check("SeriesEnableScaling_UICheckBox", "Enable Scalling");
  SeriesMarkers_UICheckBox = check("SeriesMarkers_UICheckBox", "Show Markers");
  SeriesValues_UICheckBox = check("SeriesValues_UICheckBox", "Show Values");
  SeriesDerivative_UICheckBox = check("SeriesDerivative_UICheckBox", "Plot Derivative");
  SeriesSetDefaults_UIButton = button("SeriesSetDefaults_UIButton", "Set Defaults");
  Read_ini_UIButton = button("Read_ini_UIButton", "Read ini");
  Save_ini_UIButton = button("Save_ini_UIButton", "Save ini");
  for (QWidget* w : std::initializer_list<QWidget*>{
           SeriesEnableScaling_UICheckBox, SeriesSetDefaults_UIButton, SeriesMarkers_UICheckBox,
           SeriesValues_UICheckBox, SeriesDerivative_UICheckBox, Read_ini_UIButton, Save_ini_UIButton})
    right->addWidget(w);
  right->addStretch(1);
  Read_ini_UIButton->hide();
  Save_ini_UIButton->hide();
  page->addLayout(right);
}

void TzqChartProperties_Form::build_general_page() {
  TabSheet_General = named(new QWidget, "TabSheet_General");
  auto* page = new QHBoxLayout(TabSheet_General);
  compact(page);

  auto* title = new QGroupBox(QStringLiteral("Title"));
  auto* titleColumn = new QVBoxLayout(title);
  GeneralTitle_UIMemo = named(new QPlainTextEdit, "GeneralTitle_UIMemo");
  GeneralTitleFont_UIButton = button("GeneralTitleFont_UIButton", "Font...");
  titleColumn->addWidget(GeneralTitle_UIMemo, 1);
  titleColumn->addWidget(GeneralTitleFont_UIButton, 0, Qt::AlignLeft);
  page->addWidget(title, 1);

  auto* middle = new QVBoxLayout;
  auto* image = new QGroupBox(QStringLiteral("Image"));
  auto* imageColumn = new QVBoxLayout(image);
  GeneralImageSelect_UIRadioGroup =
      radio_group("GeneralImageSelect_UIRadioGroup", "Copy or save",
                  {QStringLiteral("Just the Graph"), QStringLiteral("Full Application")}, 1);
  GeneralImageSelect_UIRadioGroup->SetItemIndex(0);
  GeneralCopyToClipboard_UIButton = button("GeneralCopyToClipboard_UIButton", "Copy to Clipboard");
  GeneralSave_UIButton = button("GeneralSave_UIButton", "Save ...");
  General_JPEG_Quality_UIEdit = edit("General_JPEG_Quality_UIEdit", KeyFilter::PositiveInteger, 48);
  General_JPEG_Quality_UIEdit->setText(QStringLiteral("100"));
  General_JPEG_Quality_UIEdit->setToolTip(QStringLiteral("50 to 100"));
  imageColumn->addWidget(GeneralImageSelect_UIRadioGroup);
  imageColumn->addWidget(GeneralCopyToClipboard_UIButton);
  imageColumn->addWidget(GeneralSave_UIButton);
  imageColumn->addLayout(labelled("JPEG Quality", General_JPEG_Quality_UIEdit));
  middle->addWidget(image);

  Background_Color_UIRadioGroup = radio_group("Background_Color_UIRadioGroup", "Background",
                                              {QStringLiteral("White"), QStringLiteral("Grey")}, 2);
  Series_Color_UIPanel = named(new TzqColorPanel, "Series_Color_UIPanel");
  Series_Color_UIPanel->setFixedSize(17, 17);
  Series_Color_UIPanel->SetColor(0xFFFFFF);
  Series_Color_UIPanel->setToolTip(QStringLiteral("Pick a background colour"));
  static_cast<QGridLayout*>(Background_Color_UIRadioGroup->layout())->addWidget(Series_Color_UIPanel, 0, 2);
  middle->addWidget(Background_Color_UIRadioGroup);
  middle->addStretch(1);
  page->addLayout(middle);

  GroupBox1 = named(new QGroupBox(QStringLiteral("Chart Size")), "GroupBox1");
  auto* size = new QVBoxLayout(GroupBox1);
  GeneralChartSize_UICheckBox = check("GeneralChartSize_UICheckBox", "Live Update");
  GeneralChartWidth_UIEdit = edit("GeneralChartWidth_UIEdit", KeyFilter::PositiveInteger, 56);
  GeneralChartHeight_UIEdit = edit("GeneralChartHeight_UIEdit", KeyFilter::PositiveInteger, 56);
  GeneralChartSize_UIButton = button("GeneralChartSize_UIButton", "200 x 320");
  size->addWidget(GeneralChartSize_UICheckBox);
  size->addLayout(labelled("Width", GeneralChartWidth_UIEdit));
  size->addLayout(labelled("Height", GeneralChartHeight_UIEdit));
  size->addWidget(GeneralChartSize_UIButton);
  size->addStretch(1);
  for (QWidget* w : std::initializer_list<QWidget*>{GeneralChartWidth_UIEdit, GeneralChartHeight_UIEdit,
                                                    GeneralChartSize_UIButton})
    w->setEnabled(false);
  auto* right = new QVBoxLayout;
  right->addWidget(GroupBox1);
  right->addStretch(1);
  page->addLayout(right);
}

void TzqChartProperties_Form::build_axes_page() {
  TabSheet_Axes = named(new QWidget, "TabSheet_Axes");
  auto* page = new QHBoxLayout(TabSheet_Axes);
  compact(page);

  auto* left = new QVBoxLayout;
  RadioGroup_Axis = radio_group(
      "RadioGroup_Axis", "Axis",
      {QStringLiteral("Left"), QStringLiteral("Right"), QStringLiteral("Top"), QStringLiteral("Bottom")}, 1);
  RadioGroup_Axis->SetItemIndex(0);
  left->addWidget(RadioGroup_Axis);
  CheckBox_AxisLog = check("CheckBox_AxisLog", "Log");
  CheckBox_AxisInvert = check("CheckBox_AxisInvert", "Invert");
  CheckBox_AxisDisplayGrid = check("CheckBox_AxisDisplayGrid", "Grid");
  CheckBox_AxisAutomatic = check("CheckBox_AxisAutomatic", "Automatic");
  for (QWidget* w : std::initializer_list<QWidget*>{CheckBox_AxisLog, CheckBox_AxisInvert,
                                                    CheckBox_AxisDisplayGrid, CheckBox_AxisAutomatic})
    left->addWidget(w);
  left->addStretch(1);
  page->addLayout(left);

  auto* range = new QGroupBox(QStringLiteral("Range"));
  auto* rangeGrid = new QGridLayout(range);
  // Wide enough for the longest shortest text of a double (17 digits, sign, point and exponent).
  const int rangeWidth =
      QFontMetrics(font()).horizontalAdvance(QStringLiteral("-1.2345678901234567e-300")) + 12;
  AxesMinimum_UIEdit = edit("AxesMinimum_UIEdit", KeyFilter::Real, rangeWidth);
  AxesMaximum_UIEdit = edit("AxesMaximum_UIEdit", KeyFilter::Real, rangeWidth);
  AxisIncrement_UIEdit = edit("AxisIncrement_UIEdit", KeyFilter::PositiveReal, rangeWidth);
  AxesMinMaxWarning_UILabel =
      named(new QLabel(QStringLiteral("Min must be less than Max")), "AxesMinMaxWarning_UILabel");
  QPalette warn = AxesMinMaxWarning_UILabel->palette();
  warn.setColor(QPalette::WindowText, QColor(255, 0, 0));
  AxesMinMaxWarning_UILabel->setPalette(warn);
  AxesMinMaxWarning_UILabel->hide();
  rangeGrid->addWidget(new QLabel(QStringLiteral("Maximum")), 0, 0);
  rangeGrid->addWidget(AxesMaximum_UIEdit, 0, 1);
  rangeGrid->addWidget(new QLabel(QStringLiteral("Minimum")), 1, 0);
  rangeGrid->addWidget(AxesMinimum_UIEdit, 1, 1);
  rangeGrid->addWidget(AxesMinMaxWarning_UILabel, 2, 0, 1, 2);
  rangeGrid->addWidget(new QLabel(QStringLiteral("Increment")), 3, 0);
  rangeGrid->addWidget(AxisIncrement_UIEdit, 3, 1);
  rangeGrid->setRowStretch(4, 1);
  rangeGrid->setColumnStretch(2, 1);

  auto* labels = new QGroupBox(QStringLiteral("Labels"));
  auto* labelGrid = new QGridLayout(labels);
  AxisLabel_UIEdit = edit("AxisLabel_UIEdit", KeyFilter::None, 200);
  AxesLabelFont_UIButton = button("AxesLabelFont_UIButton", "Font...");
  Axis_Format_UIComboBox = named(new QComboBox, "Axis_Format_UIComboBox");
  Axis_Format_UIComboBox->setEditable(true);
  Axis_Format_UIComboBox->addItems(
      {QString(), QStringLiteral("###0"), QStringLiteral("###0.00"), QStringLiteral("#,##0.###")});
  labelGrid->addWidget(new QLabel(QStringLiteral("Label")), 0, 0);
  labelGrid->addWidget(AxisLabel_UIEdit, 0, 1);
  labelGrid->addWidget(AxesLabelFont_UIButton, 1, 1, Qt::AlignLeft);
  labelGrid->addWidget(new QLabel(QStringLiteral("Format - Default = #,##0.###")), 2, 0, 1, 2);
  labelGrid->addWidget(Axis_Format_UIComboBox, 3, 1);
  labelGrid->setRowStretch(4, 1);
  labelGrid->setColumnStretch(2, 1);

  auto* right = new QVBoxLayout;
  right->addWidget(range);
  right->addWidget(labels);
  page->addLayout(right, 1);
}

void TzqChartProperties_Form::connect_handlers() {
  // Every handler runs through run_handler, so an error becomes a message instead of unwinding through Qt.
  auto on = [this](void (TzqChartProperties_Form::*handler)()) {
    return [this, handler] { run_handler(handler); };
  };
  connect(Series_UIListBox, &QListWidget::currentRowChanged, this, [this, on](int) {
    if (!selecting_entry_) on (&TzqChartProperties_Form::Series_UIListBoxClick)();
  });
  for (auto* e : {SeriesScaleMax_UIEdit, SeriesScaleMin_UIEdit, SeriesScaleCur_UIEdit, SeriesOffsetMax_UIEdit,
                  SeriesOffsetMin_UIEdit, SeriesOffsetCur_UIEdit, SeriesHorizMax_UIEdit,
                  SeriesHorizMin_UIEdit, SeriesHorizCur_UIEdit})
    connect(e, &QLineEdit::textChanged, this, on(&TzqChartProperties_Form::Series_UIEditChange));
  connect(SeriesScale_UIScrollBar, &QScrollBar::valueChanged, this,
          on(&TzqChartProperties_Form::SeriesScale_UIScrollBarChange));
  connect(SeriesOffset_UIScrollBar, &QScrollBar::valueChanged, this,
          on(&TzqChartProperties_Form::SeriesOffset_UIScrollBarChange));
  connect(SeriesHoriz_UIScrollBar, &QScrollBar::valueChanged, this,
          on(&TzqChartProperties_Form::SeriesHoriz_UIScrollBarChange));
  SeriesMultiplier_UIRadioGroup->OnClick = [on](auto&) {
    on (&TzqChartProperties_Form::SeriesMultiplier_UIRadioGroupClick)();
  };
  connect(SeriesSetDefaults_UIButton, &QPushButton::clicked, this,
          on(&TzqChartProperties_Form::SeriesSetDefaults_UIButtonClick));
  connect(SeriesEnableScaling_UICheckBox, &QCheckBox::toggled, this,
          on(&TzqChartProperties_Form::SeriesEnableScaling_UICheckBoxClick));
  connect(SeriesDerivative_UICheckBox, &QCheckBox::toggled, this,
          on(&TzqChartProperties_Form::SeriesDerivative_UICheckBoxClick));
  connect(SeriesValues_UICheckBox, &QCheckBox::toggled, this,
          on(&TzqChartProperties_Form::SeriesValues_UICheckBoxClick));
  connect(SeriesMarkers_UICheckBox, &QCheckBox::toggled, this,
          on(&TzqChartProperties_Form::SeriesMarkers_UICheckBoxClick));
  RadioGroup_SeriesVertAxis->OnClick = [on](auto&) {
    on (&TzqChartProperties_Form::RadioGroup_SeriesVertAxisClick)();
  };
  RadioGroup_SeriesHorizAxis->OnClick = [on](auto&) {
    on (&TzqChartProperties_Form::RadioGroup_SeriesHorizAxisClick)();
  };
  // A user's choice only: showing a series' pen style selects the item without this handler.
  connect(LineType_UIComboBox, &QComboBox::activated, this,
          on(&TzqChartProperties_Form::LineType_UIComboBoxChange));

  connect(PageControl1, &QTabWidget::currentChanged, this, [this, on](int) {
    if (PageControl1->currentWidget() == TabSheet_General)
      on (&TzqChartProperties_Form::TabSheet_GeneralShow)();
  });
  connect(GeneralTitle_UIMemo, &QPlainTextEdit::textChanged, this,
          on(&TzqChartProperties_Form::GeneralTitle_UIMemoChange));
  connect(GeneralTitleFont_UIButton, &QPushButton::clicked, this,
          on(&TzqChartProperties_Form::GeneralTitleFont_UIButtonClick));
  connect(GeneralCopyToClipboard_UIButton, &QPushButton::clicked, this,
          on(&TzqChartProperties_Form::GeneralCopyToClipboard_UIButtonClick));
  connect(GeneralSave_UIButton, &QPushButton::clicked, this,
          on(&TzqChartProperties_Form::GeneralSave_UIButtonClick));
  connect(GeneralChartSize_UICheckBox, &QCheckBox::toggled, this,
          on(&TzqChartProperties_Form::GeneralChartSize_UICheckBoxClick));
  // Sizes apply when typing ends (Enter or leaving the field): "99999" must not pass through 9, 99, ...
  // each resizing the main window on the way.
  connect(GeneralChartWidth_UIEdit, &QLineEdit::editingFinished, this,
          on(&TzqChartProperties_Form::GeneralChartSize_UIEditChange));
  connect(GeneralChartHeight_UIEdit, &QLineEdit::editingFinished, this,
          on(&TzqChartProperties_Form::GeneralChartSize_UIEditChange));
  connect(GeneralChartSize_UIButton, &QPushButton::clicked, this,
          on(&TzqChartProperties_Form::GeneralChartSize_UIButtonClick));
  Background_Color_UIRadioGroup->OnClick = [on](auto&) {
    on (&TzqChartProperties_Form::Background_Color_UIRadioGroupClick)();
  };
  Series_Color_UIPanel->OnClick = [on](auto&) { on (&TzqChartProperties_Form::Series_Color_UIPanelClick)(); };

  RadioGroup_Axis->OnClick = [on](auto&) { on (&TzqChartProperties_Form::RadioGroup_AxisClick)(); };
  connect(CheckBox_AxisLog, &QCheckBox::toggled, this, on(&TzqChartProperties_Form::CheckBox_AxisLogClick));
  connect(CheckBox_AxisInvert, &QCheckBox::toggled, this,
          on(&TzqChartProperties_Form::CheckBox_AxisInvertClick));
  connect(CheckBox_AxisDisplayGrid, &QCheckBox::toggled, this,
          on(&TzqChartProperties_Form::CheckBox_AxisDisplayGridClick));
  connect(CheckBox_AxisAutomatic, &QCheckBox::toggled, this,
          on(&TzqChartProperties_Form::CheckBox_AxisAutomaticClick));
  connect(AxesMinimum_UIEdit, &QLineEdit::textChanged, this,
          on(&TzqChartProperties_Form::AxesMinimum_UIEditChange));
  connect(AxesMaximum_UIEdit, &QLineEdit::textChanged, this,
          on(&TzqChartProperties_Form::AxesMaximum_UIEditChange));
  connect(AxisLabel_UIEdit, &QLineEdit::textChanged, this,
          on(&TzqChartProperties_Form::AxisLabel_UIEditChange));
  connect(AxesLabelFont_UIButton, &QPushButton::clicked, this,
          on(&TzqChartProperties_Form::AxesLabelFont_UIButtonClick));
  connect(AxisIncrement_UIEdit, &QLineEdit::textChanged, this,
          on(&TzqChartProperties_Form::AxisIncrement_UIEditChange));
  connect(Axis_Format_UIComboBox, &QComboBox::editTextChanged, this,
          on(&TzqChartProperties_Form::Axis_Format_UIComboBoxChange));
}
