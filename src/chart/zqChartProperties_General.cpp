// The General page of the chart properties dialog: chart title and font, background colour, chart size,
// and copying or saving the chart (or the whole main window) as an image.
#include "zqChartProperties_Form.h"

#include "zqChart.h"
#include "zqColor.h"
#include "zqColorPanel.h"
#include "zqPlatform.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>

namespace zcp = zqchartprops;

namespace {

// What the save dialog offers; the first entry lists every format that can be written.
constexpr const char* kSaveFilter =
    "All (*.jpeg;*.jpg;*.bmp;*.png;*.pdf;*.svg)|*.jpeg;*.jpg;*.bmp;*.png;*.pdf;*.svg|"
    "JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg|"
    "Bitmaps (*.bmp)|*.bmp|PNG Image File (*.png)|*.png|"
    "PDF Document (*.pdf)|*.pdf|SVG Drawing (*.svg)|*.svg";
// Appended by the save dialog to a name typed without extension, so such a name writes nothing.
constexpr const char* kDefaultExt = "aadummy";

// Largest chart side the size edits may ask for, in pixels: beyond it the chart's drawing buffer alone
// would take hundreds of megabytes.
constexpr int kMaxChartSide = 10000;

} // namespace

// ---- title, background, size ----------------------------------------------------------------------

void TzqChartProperties_Form::TabSheet_GeneralShow() {
  if (!chart_) return;
  title_loading_ = true;
  const QString text = chart_->Title().Text();
  if (GeneralTitle_UIMemo->toPlainText() != text) GeneralTitle_UIMemo->setPlainText(text);
  title_loading_ = false;
  // The background choice and its swatch show the chart's colour.
  const uint32_t color = chart_->Color();
  Series_Color_UIPanel->SetColor(color);
  if (color == 0xFFFFFF)
    Background_Color_UIRadioGroup->SetItemIndex(0);
  else if (color == clBtnFace)
    Background_Color_UIRadioGroup->SetItemIndex(1);
}

void TzqChartProperties_Form::GeneralTitle_UIMemoChange() {
  if (title_loading_ || !chart_) return;
  chart_->Title().SetText(GeneralTitle_UIMemo->toPlainText());
}

void TzqChartProperties_Form::GeneralTitleFont_UIButtonClick() {
  if (!chart_) return;
  if (const auto font = zq::platform().ChooseFont(chart_->Title().Font())) chart_->Title().SetFont(*font);
}

void TzqChartProperties_Form::GeneralChartSize_UICheckBoxClick() {
  const bool live = GeneralChartSize_UICheckBox->isChecked();
  for (QWidget* w : std::initializer_list<QWidget*>{GeneralChartWidth_UIEdit, GeneralChartHeight_UIEdit,
                                                    GeneralChartSize_UIButton})
    w->setEnabled(live);
  // Leaving live sizing gives the chart back to its window's layout, and the window its size from before.
  if (!live && chart_ && chart_->minimumSize() == chart_->maximumSize()) {
    chart_->setMinimumSize(0, 0);
    chart_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    QWidget* window = chart_->window();
    if (window != chart_.data() && window_size_before_live_.isValid())
      window->resize(window_size_before_live_.expandedTo(window->minimumSizeHint()));
    window_size_before_live_ = QSize();
  }
  BindChart(chart_.data());
}

void TzqChartProperties_Form::GeneralChartSize_UIEditChange() {
  if (Updating || !chart_) return;
  Updating = true;
  const auto side = [](const QString& text, double def) {
    const double v = std::trunc(zcp::ReadNumber(text.toStdString(), def));
    return static_cast<int>(std::clamp(v, 1.0, double(kMaxChartSide)));
  };
  int width = side(GeneralChartWidth_UIEdit->text(), 100);
  int height = side(GeneralChartHeight_UIEdit->text(), 160);
  QWidget* window = chart_->window();
  const QSize old = chart_->size();
  if (window != chart_.data()) {
    if (!window_size_before_live_.isValid()) window_size_before_live_ = window->size();
    // The chart grows its window by what it grows; the window must stay within the screen.
    if (const QScreen* screen = window->screen()) {
      const QSize frame = window->frameGeometry().size() - window->size();
      const QSize room = screen->availableGeometry().size() - frame;
      width = zcp::ChartSideWithin(width, old.width(), window->width(), room.width());
      height = zcp::ChartSideWithin(height, old.height(), window->height(), room.height());
    }
  }
  // Fixed, so the layout of the chart's window does not undo it.
  chart_->setFixedSize(width, height);
  if (window != chart_.data()) {
    // A smaller chart shrinks its window again (a layout only ever grows it to fit).
    const QSize wanted = window->size() + (QSize(width, height) - old);
    window->resize(wanted.expandedTo(window->minimumSizeHint()));
  }
  // The edits show the size applied.
  GeneralChartWidth_UIEdit->SetText(std::to_string(width));
  GeneralChartHeight_UIEdit->SetText(std::to_string(height));
  Updating = false;
}

void TzqChartProperties_Form::GeneralChartSize_UIButtonClick() {
  Updating = true;
  GeneralChartWidth_UIEdit->SetText("320");
  GeneralChartHeight_UIEdit->SetText("200");
  Updating = false;
  GeneralChartSize_UIEditChange();
}

void TzqChartProperties_Form::Background_Color_UIRadioGroupClick() {
  if (!chart_) return;
  const int item = Background_Color_UIRadioGroup->ItemIndex();
  if (item == 0)
    chart_->SetColor(0xFFFFFF);
  else if (item == 1)
    chart_->SetColor(clBtnFace);
  else
    return;
  Series_Color_UIPanel->SetColor(chart_->Color());
}

void TzqChartProperties_Form::Series_Color_UIPanelClick() {
  const auto color = zq::platform().ChooseColor(zqResolveColor(Series_Color_UIPanel->Color()));
  if (!color) return;
  Series_Color_UIPanel->SetColor(*color);
  if (chart_) chart_->SetColor(*color);
}

// ---- images ----------------------------------------------------------------------------------------

QImage TzqChartProperties_Form::SelectedImage() {
  if (!chart_) return {};
  if (GeneralImageSelect_UIRadioGroup->ItemIndex() != 1) return chart_->DrawToImage(chart_->size(), clWindow);
  // The main window is the window that holds the chart. Its contents are rendered rather than read back
  // from the screen, so this dialog or any other window lying over it does not end up in the picture.
  QWidget* window = chart_->window();
  QImage image = window ? window->grab().toImage() : QImage();
  if (image.isNull())
    zq::platform().MessageBox("Chart Properties", "The application window could not be captured.", zq::mbOK,
                              zq::MsgIcon::Error);
  return image;
}

void TzqChartProperties_Form::GeneralCopyToClipboard_UIButtonClick() {
  if (!chart_) return;
  if (GeneralImageSelect_UIRadioGroup->ItemIndex() != 1) {
    chart_->CopyToClipboardBitmap();
    return;
  }
  const QImage image = SelectedImage();
  if (!image.isNull()) QGuiApplication::clipboard()->setImage(image.convertToFormat(QImage::Format_RGB32));
}

void TzqChartProperties_Form::GeneralSave_UIButtonClick() {
  if (!chart_) return;
  zq::FileDialogRequest request;
  request.title = "Save Chart Image";
  request.filter = kSaveFilter;
  request.defaultExt = kDefaultExt;
  const auto name = zq::platform().SaveFileDialog(request);
  if (!name) return;
  SaveImageAs(QString::fromStdString(*name));
}

void TzqChartProperties_Form::report_save_failure(const QString& fileName, const QString& why) {
  zq::platform().MessageBox(
      "Chart Properties",
      QStringLiteral("The image could not be saved as\n%1\n\n%2").arg(fileName, why).toStdString(), zq::mbOK,
      zq::MsgIcon::Error);
}

namespace {

// Writes through a temporary file that replaces fileName only once complete, so a failed save never
// destroys an existing file. write returns an error text, empty on success.
QString write_atomically(const QString& fileName, const std::function<QString(QSaveFile&)>& write) {
  QSaveFile file(fileName);
  if (!file.open(QIODevice::WriteOnly)) return file.errorString();
  const QString error = write(file);
  if (!error.isEmpty()) {
    file.cancelWriting();
    return error;
  }
  if (!file.commit()) return file.errorString();
  return {};
}

QString write_raster(const QString& fileName, const QImage& image, const char* format, int quality) {
  return write_atomically(fileName, [&](QSaveFile& file) {
    QImageWriter writer(&file, format);
    if (quality >= 0) writer.setQuality(quality);
    if (!writer.write(image.convertToFormat(QImage::Format_RGB32))) return writer.errorString();
    return QString();
  });
}

} // namespace

bool TzqChartProperties_Form::SaveImageAs(const QString& fileName) {
  if (!chart_) return false;
  const QString ext = QFileInfo(fileName).suffix().toLower();
  const bool known =
      ext == "jpg" || ext == "jpeg" || ext == "bmp" || ext == "png" || ext == "pdf" || ext == "svg";
  if (!known) {
    zq::platform().MessageBox(
        "Chart Properties",
        QStringLiteral("Nothing was saved: \"%1\" does not end in .jpg, .jpeg, .bmp, .png, .pdf or .svg.")
            .arg(QFileInfo(fileName).fileName())
            .toStdString(),
        zq::mbOK, zq::MsgIcon::Information);
    return false;
  }
  return write_image(fileName, ext);
}

bool TzqChartProperties_Form::write_image(const QString& fileName, const QString& ext) {
  zq::HourGlass busy;
  const bool fullWindow = GeneralImageSelect_UIRadioGroup->ItemIndex() == 1;
  QString error;
  if (ext == "pdf" || ext == "svg") {
    // Vector drawings: the chart draws itself into the painter; a whole window is rendered widget by widget.
    QWidget* window = fullWindow ? chart_->window() : nullptr;
    const QSize size = window ? window->size() : chart_->size();
    if (!window) chart_->Refresh();
    auto draw = [&](QPaintDevice& device) {
      QCPPainter painter(&device);
      if (window) {
        window->render(&painter);
      } else {
        painter.setMode(QCPPainter::pmVectorized);
        chart_->toPainter(&painter, size.width(), size.height());
      }
      return painter.end() ? QString() : QStringLiteral("The drawing could not be completed.");
    };
    error = write_atomically(fileName, [&](QSaveFile& file) {
      if (ext == "pdf") {
        QPdfWriter pdf(&file);
        pdf.setResolution(72); // one point per pixel
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setPageSize(QPageSize(QSizeF(size), QPageSize::Point, QString(), QPageSize::ExactMatch));
        pdf.setTitle(chart_->Title().Text());
        return draw(pdf);
      }
      QSvgGenerator svg;
      svg.setOutputDevice(&file);
      svg.setSize(size);
      svg.setViewBox(QRect(QPoint(0, 0), size));
      svg.setTitle(chart_->Title().Text());
      return draw(svg);
    });
  } else if (ext == "bmp" && !fullWindow) {
    if (!chart_->SaveToBitmapFile(fileName)) error = QStringLiteral("The file could not be written.");
  } else {
    const QImage image = SelectedImage();
    if (image.isNull()) return false; // already reported
    if (ext == "bmp") {
      error = write_raster(fileName, image, "bmp", -1);
    } else if (ext == "png") {
      error = write_raster(fileName, image, "png", -1);
    } else {
      const int quality = zcp::JpegQuality(General_JPEG_Quality_UIEdit->text().toStdString());
      error = write_raster(fileName, image, "jpeg", quality);
    }
  }
  if (!error.isEmpty()) {
    report_save_failure(fileName, error);
    return false;
  }
  return true;
}
