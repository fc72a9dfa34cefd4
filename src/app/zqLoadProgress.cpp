#include "zqLoadProgress.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProgressDialog>

TzqLoadProgress::TzqLoadProgress(QWidget* parent) : parent_(parent) {}

TzqLoadProgress::~TzqLoadProgress() = default;

void TzqLoadProgress::Report(const std::string& file, uint64_t bytesRead, uint64_t total) {
  if (file != file_) {
    file_ = file;
    dialog_.reset();
    if (total <= ShowAbove) return;
    dialog_ = std::make_unique<QProgressDialog>(parent_.data());
    dialog_->setObjectName("LoadProgress_UIDialog");
    dialog_->setWindowTitle("Absorbview");
    dialog_->setLabelText(QStringLiteral("Reading %1 (%2 MB)...")
                              .arg(QFileInfo(QString::fromStdString(file)).fileName())
                              .arg(static_cast<double>(total) / 1e6, 0, 'f', 1));
    dialog_->setCancelButton(nullptr); // a half-read list would plot as if it were complete
    dialog_->setWindowModality(Qt::ApplicationModal);
    dialog_->setMinimumDuration(0);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    dialog_->setRange(0, 1000);
    ++filesShown_;
  }
  if (!dialog_) return;
  const int permille = total == 0 ? 0 : static_cast<int>(std::min<uint64_t>(bytesRead, total) * 1000 / total);
  dialog_->setValue(permille);
  // Reports come every few megabytes, so the dialog repaints without slowing the reading; user input
  // waits until the window is there.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
