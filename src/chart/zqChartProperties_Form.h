// TzqChartProperties_Form, the "Chart Properties" window: per-series display settings (axes, line type,
// markers, value labels, y scale, y offset, x shift and derivative, applied through the series' data
// file by the chart tools), the chart's title, background, size and image export, and per-axis title,
// range, scale type and format. One non-modal instance for the whole program, made by the chart tools.
#pragma once

#include "zqChart.h"
#include "zqChartPropertiesRules.h"
#include "zqRadioGroup.h"
#include "zqSeriesSettings.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QImage;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QScrollBar;
class QTabWidget;

class TzqColorPanel;

// An edit of the dialog: a free Tag for the owner and a filter for typed characters (a refused key is
// dropped silently).
class TzqPropertiesEdit : public QLineEdit {
  Q_OBJECT
public:
  explicit TzqPropertiesEdit(QWidget* parent = nullptr) : QLineEdit(parent) {}
  int Tag = 0;
  zqchartprops::KeyFilter Filter = zqchartprops::KeyFilter::None;
  // Replaces the text only when it differs, so the caret of a field being typed in stays put.
  void SetText(const std::string& text);

protected:
  void keyPressEvent(QKeyEvent* event) override;
};

class TzqChartProperties_Form : public QWidget, public ChartPropertiesView {
  Q_OBJECT
public:
  explicit TzqChartProperties_Form(QWidget* parent = nullptr);
  ~TzqChartProperties_Form() override;

  // ---- for the chart tools and the main window
  // Lets the chart tools make this dialog on their first ShowProperties. A template so the chart library
  // needs nothing of the window's tools, which live above it.
  template <class Tools> static void Install(Tools& tools) {
    tools.CreatePropertiesDialog = [](Tools&) -> std::unique_ptr<ChartPropertiesView> {
      // A top-level window of its own, owned by the tools through the pointer they keep.
      return std::make_unique<TzqChartProperties_Form>();
    };
  }
  // The one dialog, or none before the chart tools made it.
  static TzqChartProperties_Form* Instance();
  // After every repaint of the chart: an open dialog shows the chart's size and axis values again
  // (fields being typed in are left alone).
  static void RefreshOpen();
  void RefreshFromChart();

  // ChartPropertiesView
  void BindChart(TChart* chart) override;
  void SetOnSeriesChange(std::function<void()> callback) override;
  SeriesSettings* GetSeriesSettings(int index) override;
  void ShowDialog() override;
  void SetActivePage(Page page) override;
  void SetAxisIndex(int axis) override;
  int SeriesEntryCount() const override;
  int SelectedSeriesEntry() const override;
  void ClickSeriesEntry(int index) override;

  TChart* BoundChart() const { return chart_.data(); }
  // While set, the slider edits and the chart size edits ignore their changes.
  bool Updating = true;

  // Image export. The image the "Just the Graph" / "Full Application" choice selects; empty (after a
  // message) when the window cannot be captured.
  QImage SelectedImage();
  // Writes the selected image by the file name's extension: ".jpg"/".jpeg" as JPEG at the quality of
  // General_JPEG_Quality_UIEdit, ".bmp", ".png", and ".pdf"/".svg" as vector drawings. Any other
  // extension writes nothing. False (after a message) when nothing was written.
  bool SaveImageAs(const QString& fileName);

  // ---- controls (objectName = member name)
  QTabWidget* PageControl1 = nullptr;
  QWidget* TabSheet_Series = nullptr;
  QWidget* TabSheet_General = nullptr;
  QWidget* TabSheet_Axes = nullptr;

  QListWidget* Series_UIListBox = nullptr;
  TzqRadioGroup* RadioGroup_SeriesVertAxis = nullptr;
  TzqRadioGroup* RadioGroup_SeriesHorizAxis = nullptr;
  QComboBox* LineType_UIComboBox = nullptr;
  QCheckBox* SeriesEnableScaling_UICheckBox = nullptr;
  QCheckBox* SeriesMarkers_UICheckBox = nullptr;
  QCheckBox* SeriesValues_UICheckBox = nullptr;
  QCheckBox* SeriesDerivative_UICheckBox = nullptr;
  QPushButton* SeriesSetDefaults_UIButton = nullptr;
  QPushButton* Read_ini_UIButton = nullptr;
  QPushButton* Save_ini_UIButton = nullptr;
  TzqPropertiesEdit* SeriesScaleMax_UIEdit = nullptr;
  TzqPropertiesEdit* SeriesScaleMin_UIEdit = nullptr;
  TzqPropertiesEdit* SeriesScaleCur_UIEdit = nullptr;
  QScrollBar* SeriesScale_UIScrollBar = nullptr;
  TzqRadioGroup* SeriesMultiplier_UIRadioGroup = nullptr;
  TzqPropertiesEdit* SeriesOffsetMax_UIEdit = nullptr;
  TzqPropertiesEdit* SeriesOffsetMin_UIEdit = nullptr;
  TzqPropertiesEdit* SeriesOffsetCur_UIEdit = nullptr;
  QScrollBar* SeriesOffset_UIScrollBar = nullptr;
  TzqPropertiesEdit* SeriesHorizMax_UIEdit = nullptr;
  TzqPropertiesEdit* SeriesHorizMin_UIEdit = nullptr;
  TzqPropertiesEdit* SeriesHorizCur_UIEdit = nullptr;
  QScrollBar* SeriesHoriz_UIScrollBar = nullptr;

  QPlainTextEdit* GeneralTitle_UIMemo = nullptr;
  QPushButton* GeneralTitleFont_UIButton = nullptr;
  TzqRadioGroup* GeneralImageSelect_UIRadioGroup = nullptr;
  QPushButton* GeneralCopyToClipboard_UIButton = nullptr;
  QPushButton* GeneralSave_UIButton = nullptr;
  TzqPropertiesEdit* General_JPEG_Quality_UIEdit = nullptr;
  QGroupBox* GroupBox1 = nullptr;
  QCheckBox* GeneralChartSize_UICheckBox = nullptr;
  TzqPropertiesEdit* GeneralChartWidth_UIEdit = nullptr;
  TzqPropertiesEdit* GeneralChartHeight_UIEdit = nullptr;
  QPushButton* GeneralChartSize_UIButton = nullptr;
  TzqRadioGroup* Background_Color_UIRadioGroup = nullptr;
  TzqColorPanel* Series_Color_UIPanel = nullptr;

  TzqRadioGroup* RadioGroup_Axis = nullptr;
  QCheckBox* CheckBox_AxisLog = nullptr;
  QCheckBox* CheckBox_AxisInvert = nullptr;
  QCheckBox* CheckBox_AxisDisplayGrid = nullptr;
  QCheckBox* CheckBox_AxisAutomatic = nullptr;
  TzqPropertiesEdit* AxesMinimum_UIEdit = nullptr;
  TzqPropertiesEdit* AxesMaximum_UIEdit = nullptr;
  QLabel* AxesMinMaxWarning_UILabel = nullptr;
  TzqPropertiesEdit* AxisIncrement_UIEdit = nullptr;
  TzqPropertiesEdit* AxisLabel_UIEdit = nullptr;
  QPushButton* AxesLabelFont_UIButton = nullptr;
  QComboBox* Axis_Format_UIComboBox = nullptr;

  // ---- handlers
  void FormCreate();
  void FormShow();
  void FormActivate();
  void Series_UIListBoxClick();
  void Series_UIEditChange();
  void SeriesScale_UIScrollBarChange();
  void SeriesOffset_UIScrollBarChange();
  void SeriesHoriz_UIScrollBarChange();
  void SeriesMultiplier_UIRadioGroupClick();
  void SeriesSetDefaults_UIButtonClick();
  void SeriesEnableScaling_UICheckBoxClick();
  void SeriesDerivative_UICheckBoxClick();
  void SeriesValues_UICheckBoxClick();
  void SeriesMarkers_UICheckBoxClick();
  void RadioGroup_SeriesVertAxisClick();
  void RadioGroup_SeriesHorizAxisClick();
  void LineType_UIComboBoxChange();

  void TabSheet_GeneralShow();
  void GeneralTitle_UIMemoChange();
  void GeneralTitleFont_UIButtonClick();
  void GeneralCopyToClipboard_UIButtonClick();
  void GeneralSave_UIButtonClick();
  void GeneralChartSize_UICheckBoxClick();
  void GeneralChartSize_UIEditChange();
  void GeneralChartSize_UIButtonClick();
  void Background_Color_UIRadioGroupClick();
  void Series_Color_UIPanelClick();

  void RadioGroup_AxisClick();
  void CheckBox_AxisLogClick();
  void CheckBox_AxisInvertClick();
  void CheckBox_AxisDisplayGridClick();
  void CheckBox_AxisAutomaticClick();
  void AxesMinimum_UIEditChange();
  void AxesMaximum_UIEditChange();
  void AxisLabel_UIEditChange();
  void AxesLabelFont_UIButtonClick();
  void AxisIncrement_UIEditChange();
  void Axis_Format_UIComboBoxChange();

protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool event(QEvent* event) override;

private:
  // Window definition (zqChartProperties_Definition.cpp).
  void build_series_page();
  void build_general_page();
  void build_axes_page();
  void connect_handlers();
  // Runs a handler; an error it raises becomes a message instead of unwinding through Qt's signals.
  void run_handler(void (TzqChartProperties_Form::*handler)());

  // One slider group: three edits, the scroll bar and the settings fields they show.
  struct SliderGroup {
    TzqPropertiesEdit* max;
    TzqPropertiesEdit* min;
    TzqPropertiesEdit* cur;
    QScrollBar* bar;
    double SeriesSettings::*maxField;
    double SeriesSettings::*minField;
    double SeriesSettings::*curField;
    int SeriesSettings::*decimalsField;
    bool negated; // vertical bars run from the maximum at the top
  };
  std::vector<SliderGroup> slider_groups() const;
  void ShowSettings();
  void scroll_bar_changed(const SliderGroup& group);
  void parse_edit(TzqPropertiesEdit* edit, double& field);
  void format_edit(TzqPropertiesEdit* edit, double value, int decimals);
  void update_scaling_enabled();
  void series_changed();
  TLineSeries* selected_series() const;
  TChartAxis* selected_axis() const;
  void show_min_max_warning(bool show);
  bool write_image(const QString& fileName, const QString& ext);
  void report_save_failure(const QString& fileName, const QString& why);

  QPointer<TChart> chart_;
  std::vector<SeriesSettings> settings_;
  SeriesSettings* current_ = nullptr;
  std::function<void()> on_series_change_;
  bool axis_loading_ = false;  // the axis page is being filled from the chart
  bool title_loading_ = false; // the title memo is being filled from the chart
  bool selecting_entry_ = false;
  QSize window_size_before_live_; // the chart's window before live sizing changed it
};
