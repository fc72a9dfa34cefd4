// A progress dialog for the start-up reading of large line lists: it opens only for a file larger than
// a few megabytes, follows the reader's progress reports and closes when the loading is over.
#pragma once

#include <QPointer>

#include <cstdint>
#include <memory>
#include <string>

class QProgressDialog;
class QWidget;

class TzqLoadProgress {
public:
  // Files up to this size load without a dialog.
  static constexpr uint64_t ShowAbove = 4'000'000;

  explicit TzqLoadProgress(QWidget* parent);
  ~TzqLoadProgress();
  TzqLoadProgress(const TzqLoadProgress&) = delete;
  TzqLoadProgress& operator=(const TzqLoadProgress&) = delete;

  // One report of the reader: bytes read so far of a file of total bytes.
  void Report(const std::string& file, uint64_t bytesRead, uint64_t total);

  // The dialog while a large file is being read, else nullptr.
  QProgressDialog* Dialog() const { return dialog_.get(); }
  // How many files have shown the dialog.
  int FilesShown() const { return filesShown_; }

private:
  QPointer<QWidget> parent_;
  std::unique_ptr<QProgressDialog> dialog_;
  std::string file_;
  int filesShown_ = 0;
};
