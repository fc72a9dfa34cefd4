// Text widgets as the content of a file component: bytes in, bytes out, with the document's modified flag
// as the component's.
#include "zqTextEditLink.h"

#include "zqText.h"

#include <QPlainTextEdit>
#include <QTextDocument>
#include <QTextEdit>

namespace {

void replace_all(std::string& text, std::string_view from, std::string_view to) {
  for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
}

} // namespace

TzqTextEditLink::TzqTextEditLink(TzqCustomFile_IO& file, QPlainTextEdit* edit) : file_(file), plain_(edit) {
  Attach(edit);
}

TzqTextEditLink::TzqTextEditLink(TzqCustomFile_IO& file, QTextEdit* edit) : file_(file), rich_(edit) {
  Attach(edit);
}

void TzqTextEditLink::Attach(QWidget* edit) {
  destroyed_ = QObject::connect(edit, &QObject::destroyed, [this] {
    if (file_.LinkedControl() == this) file_.SetLinkedControl(nullptr);
  });
  file_.SetLinkedControl(this);
}

TzqTextEditLink::~TzqTextEditLink() {
  QObject::disconnect(destroyed_);
  if (file_.LinkedControl() == this) file_.SetLinkedControl(nullptr);
}

QTextDocument* TzqTextEditLink::Document() const {
  if (plain_) return plain_->document();
  if (rich_) return rich_->document();
  throw EzqFileError("The text control of this file no longer exists.");
}

void TzqTextEditLink::LoadFromFile(const std::string& path) {
  QTextDocument* document = Document();
  std::string bytes = zqReadFileBytes(path);
  crlf_ = bytes.find("\r\n") != std::string::npos;
  replace_all(bytes, "\r\n", "\n");
  document->setPlainText(zqTextToQString(bytes));
}

void TzqTextEditLink::SaveToFile(const std::string& path) {
  // The raw text keeps non-breaking spaces, which the plain-text view turns into blanks.
  QString text = Document()->toRawText();
  text.replace(QChar::ParagraphSeparator, u'\n').replace(QChar::LineSeparator, u'\n');
  std::string bytes = text.toStdString();
  if (crlf_) replace_all(bytes, "\n", "\r\n");
  zqWriteFileBytes(path, bytes);
}

void TzqTextEditLink::Clear() {
  QTextDocument* document = Document();
  document->clear();
  document->setModified(false);
  crlf_ = false;
}

bool TzqTextEditLink::GetModified() const {
  return (plain_ || rich_) && Document()->isModified();
}

void TzqTextEditLink::SetModified(bool modified) {
  if (plain_ || rich_) Document()->setModified(modified);
}
