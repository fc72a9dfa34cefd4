// The views around the chart: its toolbar (zoom, reset, image at a chosen resolution, copy, legend, band
// labels, wavelength axis), the shading of known bands and of holes in the line lists, the read-out
// under the cursor, and the user guide.
#include "Form1.h"

#include "Form1_Column.h"
#include "zqChart.h"
#include "zqColumnReport.h"
#include "zqHITRAN.h"
#include "zqLineCoverage.h"
#include "zqPlatform.h"
#include "zqReadout.h"
#include "zqSpinEdit.h"
#include "zqUserGuide.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>
#include <QStatusBar>
#include <QTextBrowser>
#include <QToolBar>
#include <QVBoxLayout>

#include <cmath>

namespace {

// How near (pixels) a line must be to the cursor for its parameters to be read out.
constexpr int kReadoutPixels = 4;

const QColor kBandShade(70, 130, 220, 28);
const QColor kGapShade(120, 120, 120, 45);

} // namespace

QWidget* TForm1::BuildChartBox() {
  auto* box = new QWidget;
  box->setObjectName("Chart_UIBox");
  auto* v = new QVBoxLayout(box);
  v->setContentsMargins(0, 0, 0, 0);
  v->setSpacing(0);
  Chart_UIToolBar = new QToolBar("Chart");
  Chart_UIToolBar->setObjectName("Chart_UIToolBar");
  Chart_UIToolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
  auto action = [this](const char* name, const QString& caption, const QString& tip, bool checkable = false) {
    auto* a = Chart_UIToolBar->addAction(caption);
    a->setObjectName(name);
    a->setToolTip(tip);
    a->setCheckable(checkable);
    return a;
  };
  ZoomIn_UIAction =
      action("ZoomIn_UIAction", "Zoom in", "Zoom into the middle of the plot (or drag a rectangle)");
  Chart_UIToolBar->addAction(Chart1->UndoZoomAction());
  Chart1->UndoZoomAction()->setObjectName("ResetZoom_UIAction");
  Chart1->UndoZoomAction()->setToolTip("Back to the full range (or double click the plot)");
  Chart_UIToolBar->addSeparator();
  SaveImageAt_UIAction = action("SaveImageAt_UIAction", "Save image...",
                                "Save the chart as PNG, JPEG, BMP or PDF at a chosen size");
  CopyImage_UIAction = action("CopyImage_UIAction", "Copy", "Copy the chart to the clipboard");
  Chart_UIToolBar->addSeparator();
  Legend_UIAction = action("Legend_UIAction", "Legend", "Name every curve in the plot", true);
  Legend_UIAction->setChecked(Chart1->LegendVisible());
  BandLabels_UIAction =
      action("BandLabels_UIAction", "Band labels",
             "Mark CO2 15 um and 4.3 um, H2O rotation and 6.3 um, the 8-12 um window", true);
  WavelengthAxis_UIAction =
      action("WavelengthAxis_UIAction", "Wavelength axis", "Wavelength (um) on the top axis", true);
  WavelengthAxis_UIAction->setChecked(true);
  Chart1->SetWavelengthTopAxis(true);
  v->addWidget(Chart_UIToolBar);
  v->addWidget(Chart1, 1);

  connect(ZoomIn_UIAction, &QAction::triggered, this, [this] {
    const QRect r = Chart1->axisRect()->rect();
    Chart1->ZoomRect(QRect(r.x() + r.width() / 4, r.y() + r.height() / 4, r.width() / 2, r.height() / 2));
  });
  connect(SaveImageAt_UIAction, &QAction::triggered, this, [this] { SaveImageAt_UIActionClick(nullptr); });
  connect(CopyImage_UIAction, &QAction::triggered, this, [this] { Chart1->CopyToClipboardBitmap(); });
  connect(Legend_UIAction, &QAction::toggled, this, [this](bool on) { Chart1->SetLegendVisible(on); });
  connect(BandLabels_UIAction, &QAction::toggled, this, [this](bool on) { ShowBandLabels(on); });
  // The top axis' wavelengths stand on the bottom axis' wavenumbers, which some column plots do not have.
  connect(WavelengthAxis_UIAction, &QAction::toggled, this,
          [this](bool on) { Chart1->SetWavelengthTopAxis(on && !ChartXIsColumnOwn()); });

  Readout_UILabel = new QLabel;
  Readout_UILabel->setObjectName("Readout_UILabel");
  Coverage_UILabel = new QLabel;
  Coverage_UILabel->setObjectName("Coverage_UILabel");
  Coverage_UILabel->setStyleSheet("QLabel { color: #505050; }");
  Chart1->OnMouseMove = [this](TChart&, int x, int y) { ShowReadoutAt(x, y); };
  Chart1->OnMouseLeave = [this](TChart&) { Readout_UILabel->clear(); };
  return box;
}

void TForm1::ShowBandLabels(bool on) {
  std::vector<TChartRange> ranges;
  if (on)
    for (const zqsession::TSpectralBand& b : zqsession::KnownBands())
      if (const auto x = ChartXOfBand(b.Lo, b.Hi))
        ranges.push_back({x->first, x->second, QString::fromUtf8(b.Label), kBandShade});
  Chart1->SetMarkedRanges("bands", ranges);
}

void TForm1::ShowLineGaps() {
  // The band of the plot shown: the column's under its plots, else the General page's.
  double lo = Wavenumber_Min_UIzqSpinEdit->Value(), hi = Wavenumber_Max_UIzqSpinEdit->Value();
  if (ColumnPage && ColumnPage->PlotShown && ColumnPage->Current) {
    lo = ColumnPage->Current->Settings.WavenumberMin;
    hi = ColumnPage->Current->Settings.WavenumberMax;
  }
  std::vector<TChartRange> ranges;
  QStringList texts;
  const std::pair<const T_zq_HITRAN*, const char*> lists[] = {{WaterLines, "water"}, {CO2Lines, "CO2"}};
  for (const auto& [list, name] : lists) {
    if (!list) continue;
    const auto gaps = zqsession::GapsWithin(zqsession::FindLineGaps(list->Records), lo, hi);
    for (const zqsession::TLineGap& g : gaps)
      if (const auto x = ChartXOfBand(g.Lo, g.Hi))
        ranges.push_back({x->first, x->second, QString("no %1 lines").arg(name), kGapShade, false});
    if (!gaps.empty()) texts << QString::fromStdString(zqsession::LineGapsText(name, gaps));
  }
  Chart1->SetMarkedRanges("gaps", ranges);
  Coverage_UILabel->setText(texts.join("; "));
  Coverage_UILabel->setToolTip(texts.isEmpty()
                                   ? QString()
                                   : "The line lists have no lines in these ranges: the absorption "
                                     "there is missing, not zero in nature");
}

void TForm1::ShowReadoutAt(int x, int y) {
  TChartAxis& bottom = Chart1->BottomAxis();
  TChartAxis& left = Chart1->LeftAxis();
  if (x < bottom.IStartPos() || x > bottom.IEndPos() || y < left.IStartPos() || y > left.IEndPos()) {
    Readout_UILabel->clear();
    return;
  }
  if (ChartXIsColumnOwn() && ColumnPage->HeatingShown()) {
    Readout_UILabel->setText(QString("%1 K/day   %2 km")
                                 .arg(bottom.CalcPosPoint(x), 0, 'g', 4)
                                 .arg(left.CalcPosPoint(y), 0, 'g', 4));
    return;
  }
  // Under the column's wavelength axis the pixel's wavenumber is 10^4 over its wavelength (the
  // relation is its own inverse).
  const auto wavenumber_at = [&](int pixel) {
    const double v = bottom.CalcPosPoint(pixel);
    return ChartXIsColumnOwn() ? zqsession::WavelengthOfWavenumber(v) : v;
  };
  const double nu = wavenumber_at(x);
  std::string text = zqsession::CursorReadoutText(nu, left.CalcPosPoint(y));
  // The strongest line of a shown gas within a few pixels of the cursor.
  const double halfWindow = std::abs(wavenumber_at(x + kReadoutPixels) - nu);
  const THitranLine* best = nullptr;
  std::string gas;
  const std::pair<const T_zq_HITRAN*, TLineSeries*> lists[] = {{WaterLines, WaterSeries},
                                                               {CO2Lines, CO2Series}};
  for (const auto& [list, series] : lists) {
    if (!list || !series || !series->Active()) continue;
    const THitranLine* l = zqsession::StrongestLineIn(list->Records, nu - halfWindow, nu + halfWindow);
    if (l && (!best || l->Intensity > best->Intensity)) best = l, gas = list == WaterLines ? "H2O" : "CO2";
  }
  if (best) text += "   |   " + zqsession::LineReadoutText(gas, *best);
  Readout_UILabel->setText(QString::fromStdString(text));
}

void TForm1::SaveImageAt_UIActionClick(QObject* /*Sender*/) {
  QDialog dialog(this);
  dialog.setObjectName("SaveImageAt_UIDialog");
  dialog.setWindowTitle("Save chart image");
  auto* form = new QFormLayout(&dialog);
  auto* width = new QSpinBox;
  auto* height = new QSpinBox;
  for (QSpinBox* b : {width, height}) {
    b->setRange(16, 20000);
    b->setSuffix(" px");
  }
  width->setValue(Chart1->width() * 2);
  height->setValue(Chart1->height() * 2);
  auto* scale = new QComboBox;
  scale->addItems({"1", "1.5", "2", "3", "4"});
  scale->setCurrentIndex(2);
  scale->setToolTip("Fonts and lines are this many times their size on screen");
  form->addRow("Width", width);
  form->addRow("Height", height);
  form->addRow("Text and line scale", scale);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  form->addRow(buttons);
  connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  if (dialog.exec() != QDialog::Accepted) return;

  zq::FileDialogRequest request;
  request.title = "Save chart image";
  request.filter = "PNG image (*.png)|*.png|JPEG image (*.jpg;*.jpeg)|*.jpg;*.jpeg|Bitmap (*.bmp)|*.bmp|"
                   "PDF document (*.pdf)|*.pdf";
  request.defaultExt = "png";
  const auto file = zq::platform().SaveFileDialog(request);
  if (!file) return;
  if (!Chart1->SaveImage(QString::fromStdString(*file), width->value(), height->value(),
                         scale->currentText().toDouble()))
    zq::platform().MessageBox("Save chart image",
                              "The image could not be written to\n" + *file +
                                  "\n\nUse the extension .png, .jpg, .bmp or .pdf.",
                              zq::mbOK, zq::MsgIcon::Error);
}

void TForm1::UserGuide_UIActionClick(QObject* /*Sender*/) {
  if (!UserGuide_UIDialog) {
    UserGuide_UIDialog = new QDialog(this);
    UserGuide_UIDialog->setObjectName("UserGuide_UIDialog");
    UserGuide_UIDialog->setWindowTitle("Absorbview user guide");
    UserGuide_UIDialog->resize(720, 640);
    auto* v = new QVBoxLayout(UserGuide_UIDialog);
    auto* text = new QTextBrowser;
    text->setObjectName("UserGuide_UITextBrowser");
    text->setOpenExternalLinks(true);
    text->setHtml(UserGuideHtml());
    v->addWidget(text);
  }
  UserGuide_UIDialog->show();
  UserGuide_UIDialog->raise();
}
