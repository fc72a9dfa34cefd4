// The file actions' behaviour and the list of components that Save All covers.
#include "zqFileActions.h"

#include "zqCustomFile_IO.h"
#include "zqPlatform.h"

#include <QApplication>
#include <QWidget>

#include <algorithm>
#include <exception>

namespace {

std::vector<TzqCustomFile_IO*>& registered() {
  static std::vector<TzqCustomFile_IO*> files;
  return files;
}

// Saving shows dialogs, during which components may come and go: each one is checked before it is used.
bool still_listed(TzqCustomFile_IO* file) {
  const auto& files = registered();
  return std::find(files.begin(), files.end(), file) != files.end();
}

// Runs work and shows an error it raises; returns whether it finished.
template <class Work> bool run_reported(Work&& work) {
  try {
    work();
    return true;
  } catch (const std::exception& e) {
    zq::platform().MessageBox("Error", e.what(), zq::mbOK, zq::MsgIcon::Error);
  } catch (...) {
    zq::platform().MessageBox("Error", "An unknown error occurred.", zq::mbOK, zq::MsgIcon::Error);
  }
  return false;
}

} // namespace

TzqFileRegistration::TzqFileRegistration(TzqCustomFile_IO& file) : file_(&file) {
  registered().push_back(file_);
}

TzqFileRegistration::~TzqFileRegistration() {
  auto& files = registered();
  files.erase(std::find(files.begin(), files.end(), file_));
}

std::vector<TzqCustomFile_IO*> zqRegisteredFiles() {
  return registered();
}

TzqFileAction::TzqFileAction(Operation operation, QObject* parent) : QAction(parent), operation_(operation) {
  setEnabled(false);
  connect(this, &QAction::triggered, this, &TzqFileAction::Run);
}

void TzqFileAction::SetzqFile_IO(TzqCustomFile_IO* file) {
  file_ = file;
  setEnabled(file_ != nullptr);
}

void TzqFileAction::Run() {
  if (!file_) return;
  run_reported([this] {
    switch (operation_) {
    case Operation::New:
      file_->FileNew();
      break;
    case Operation::Open:
      file_->FileOpen();
      break;
    case Operation::Save:
      file_->FileSave();
      break;
    case Operation::SaveAs:
      file_->FileSaveAs();
      break;
    }
  });
}

void zqFileSaveAll() {
  for (TzqCustomFile_IO* file : zqRegisteredFiles())
    if (still_listed(file) && file->GetModified()) run_reported([file] { file->FileSave(); });
}

void zqFileExit() {
  for (TzqCustomFile_IO* file : zqRegisteredFiles()) {
    if (!still_listed(file)) continue;
    bool goOn = false;
    if (!run_reported([&] { goOn = file->QuerySave(); }) || !goOn) return;
  }
  if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
    QApplication::closeAllWindows();
    // The windows closeAllWindows tries to close; one still shown refused.
    const auto windows = QApplication::topLevelWidgets();
    if (std::any_of(windows.begin(), windows.end(), [](QWidget* w) {
          return w->isVisible() && w->windowType() != Qt::Desktop &&
                 !w->testAttribute(Qt::WA_DontShowOnScreen);
        }))
      return;
  }
  zq::platform().Terminate();
}
