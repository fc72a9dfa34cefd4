// TzqTextEditLink: a QPlainTextEdit or QTextEdit as the linked text control of a file component. Files
// are decoded as UTF-8, or as Windows-1252 when they are not valid UTF-8, and written as UTF-8 with the
// line ends they were read with.
#pragma once

#include "zqCustomFile_IO.h"

#include <QMetaObject>
#include <QPointer>

class QPlainTextEdit;
class QTextDocument;
class QTextEdit;
class QWidget;

class TzqTextEditLink : public TzqLinkedContent {
public:
  // Links the edit to file at once. The link must not outlive file; when the edit is destroyed first,
  // the file is unlinked.
  TzqTextEditLink(TzqCustomFile_IO& file, QPlainTextEdit* edit);
  TzqTextEditLink(TzqCustomFile_IO& file, QTextEdit* edit);
  ~TzqTextEditLink() override;
  TzqTextEditLink(const TzqTextEditLink&) = delete;
  TzqTextEditLink& operator=(const TzqTextEditLink&) = delete;

  Kind ContentKind() const override { return Kind::Text; }
  void LoadFromFile(const std::string& path) override;
  void SaveToFile(const std::string& path) override;
  void Clear() override;
  bool GetModified() const override;
  void SetModified(bool modified) override;

private:
  TzqCustomFile_IO& file_;
  QPointer<QPlainTextEdit> plain_;
  QPointer<QTextEdit> rich_;
  QMetaObject::Connection destroyed_;
  bool crlf_ = false; // the file read last had "\r\n" line ends

  void Attach(QWidget* edit);
  QTextDocument* Document() const;
};
