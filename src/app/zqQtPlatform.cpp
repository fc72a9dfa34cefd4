#include "zqQtPlatform.h"

#include "zqText.h"

#include <QApplication>
#include <QColorDialog>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QStandardPaths>
#include <QStringList>
#include <QTimer>

#include <iostream>
#include <utility>

namespace zq {

QtPlatform::QtPlatform(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    args_.emplace_back(argv[i]);
}

ModalResult QtPlatform::MessageBox(const std::string& caption, const std::string& text, unsigned buttons,
                                   MsgIcon icon) {
  if (unattended_) {
    std::cerr << caption << ": " << text << std::endl;
    static const std::pair<MsgButton, ModalResult> order[] = {
        {mbOK, ModalResult::OK},         {mbYes, ModalResult::Yes},     {mbNo, ModalResult::No},
        {mbCancel, ModalResult::Cancel}, {mbAbort, ModalResult::Abort}, {mbRetry, ModalResult::Retry},
        {mbIgnore, ModalResult::Ignore}};
    for (const auto& [flag, result] : order)
      if (buttons & flag) return result;
    return ModalResult::OK;
  }
  QMessageBox box(parent_);
  // Captions and texts carry INI bytes (section names, captions), which may be Windows-1252.
  box.setWindowTitle(zqTextToQString(caption));
  const QString shown = zqTextToQString(text);
  // A text with indented lines is a table (the command-line help): shown in a fixed-pitch face so its
  // columns stay aligned.
  if (shown.contains(QStringLiteral("\n  "))) {
    box.setTextFormat(Qt::RichText);
    box.setText("<pre>" + shown.toHtmlEscaped() + "</pre>");
  } else {
    box.setText(shown);
  }
  switch (icon) {
  case MsgIcon::Information:
    box.setIcon(QMessageBox::Information);
    break;
  case MsgIcon::Warning:
    box.setIcon(QMessageBox::Warning);
    break;
  case MsgIcon::Error:
    box.setIcon(QMessageBox::Critical);
    break;
  case MsgIcon::Question:
    box.setIcon(QMessageBox::Question);
    break;
  case MsgIcon::None:
    break;
  }
  QMessageBox::StandardButtons std;
  if (buttons & mbOK) std |= QMessageBox::Ok;
  if (buttons & mbCancel) std |= QMessageBox::Cancel;
  if (buttons & mbYes) std |= QMessageBox::Yes;
  if (buttons & mbNo) std |= QMessageBox::No;
  if (buttons & mbAbort) std |= QMessageBox::Abort;
  if (buttons & mbRetry) std |= QMessageBox::Retry;
  if (buttons & mbIgnore) std |= QMessageBox::Ignore;
  if (std == QMessageBox::NoButton) std = QMessageBox::Ok;
  box.setStandardButtons(std);
  switch (box.exec()) {
  case QMessageBox::Ok:
    return ModalResult::OK;
  case QMessageBox::Cancel:
    return ModalResult::Cancel;
  case QMessageBox::Yes:
    return ModalResult::Yes;
  case QMessageBox::No:
    return ModalResult::No;
  case QMessageBox::Abort:
    return ModalResult::Abort;
  case QMessageBox::Retry:
    return ModalResult::Retry;
  case QMessageBox::Ignore:
    return ModalResult::Ignore;
  default:
    return ModalResult::None;
  }
}

std::string QtFilterFromPipeFilter(const std::string& filter) {
  QStringList parts = QString::fromStdString(filter).split('|');
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    // Qt takes the patterns from the label's parentheses and splits them at spaces only, so the label
    // is rebuilt around the space-separated patterns.
    QString label = parts[i];
    QString patterns = parts[i + 1];
    patterns.replace(';', ' ');
    if (const qsizetype open = label.lastIndexOf('('); open >= 0) label = label.left(open).trimmed();
    out << label + " (" + patterns + ")";
  }
  return out.join(";;").toStdString();
}

namespace {
QString start_path(const FileDialogRequest& r) {
  if (r.fileName.empty()) return QString::fromStdString(r.initialDir);
  if (r.initialDir.empty()) return QString::fromStdString(r.fileName);
  return QString::fromStdString(r.initialDir + "/" + r.fileName);
}
} // namespace

std::optional<std::string> QtPlatform::OpenFileDialog(const FileDialogRequest& r) {
  if (unattended_) return std::nullopt;
  QString f = QFileDialog::getOpenFileName(parent_, QString::fromStdString(r.title), start_path(r),
                                           QString::fromStdString(QtFilterFromPipeFilter(r.filter)));
  if (f.isEmpty()) return std::nullopt;
  return f.toStdString();
}

std::optional<std::string> QtPlatform::SaveFileDialog(const FileDialogRequest& r) {
  if (unattended_) return std::nullopt;
  QFileDialog dialog(parent_, QString::fromStdString(r.title), start_path(r),
                     QString::fromStdString(QtFilterFromPipeFilter(r.filter)));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  if (!r.defaultExt.empty()) dialog.setDefaultSuffix(QString::fromStdString(r.defaultExt));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().first().toStdString();
}

std::optional<uint32_t> QtPlatform::ChooseColor(uint32_t initial) {
  if (unattended_) return std::nullopt;
  // Colours travel with red in the low byte.
  QColor start(initial & 0xFF, (initial >> 8) & 0xFF, (initial >> 16) & 0xFF);
  QColor c = QColorDialog::getColor(start, parent_);
  if (!c.isValid()) return std::nullopt;
  return uint32_t(c.red()) | (uint32_t(c.green()) << 8) | (uint32_t(c.blue()) << 16);
}

std::optional<FontChoice> QtPlatform::ChooseFont(const FontChoice& initial) {
  if (unattended_) return std::nullopt;
  QFont start(QString::fromStdString(initial.name), initial.size);
  start.setBold(initial.bold);
  start.setItalic(initial.italic);
  start.setUnderline(initial.underline);
  start.setStrikeOut(initial.strikeOut);
  bool ok = false;
  QFont f = QFontDialog::getFont(&ok, start, parent_);
  if (!ok) return std::nullopt;
  FontChoice out = initial;
  out.name = f.family().toStdString();
  out.size = f.pointSize() > 0 ? f.pointSize() : initial.size;
  out.bold = f.bold();
  out.italic = f.italic();
  out.underline = f.underline();
  out.strikeOut = f.strikeOut();
  return out;
}

void QtPlatform::SetCursor(CursorKind cursor) {
  if (cursor == CursorKind::HourGlass) {
    if (!cursorOverridden_) QApplication::setOverrideCursor(Qt::WaitCursor);
    cursorOverridden_ = true;
  } else if (cursorOverridden_) {
    QApplication::restoreOverrideCursor();
    cursorOverridden_ = false;
  }
}

void QtPlatform::Beep() {
  QApplication::beep();
}

void QtPlatform::Terminate() {
  // Ends the application as soon as its message loop runs (or at once if it already runs).
  QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
}

std::string QtPlatform::ExecutablePath() {
  return QCoreApplication::applicationFilePath().toStdString();
}

std::string QtPlatform::UserConfigFolder() {
  const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  return base.isEmpty() ? std::string() : (base + "/absorbview").toStdString();
}

} // namespace zq
