// TzqNumberEdit: moves text, keys and wheel events between QLineEdit and the number text rules.
#include "zqNumberEdit.h"

#include "zqNumberText.h"
#include "zqPlatform.h"

#include <QKeyEvent>
#include <QPalette>
#include <QWheelEvent>

namespace {

zq::StepModifiers step_modifiers(Qt::KeyboardModifiers m) {
  return {m.testFlag(Qt::ShiftModifier), m.testFlag(Qt::ControlModifier), m.testFlag(Qt::AltModifier)};
}

// One byte per UTF-16 unit, so that byte positions are caret positions; characters outside Latin-1
// become "?", which no number rule treats specially.
std::string caret_text(const QString& text) {
  return text.toLatin1().toStdString();
}

} // namespace

TzqNumberEdit::TzqNumberEdit(QWidget* parent) : QLineEdit(parent) {
  const QPalette pal = palette();
  colorWhenReadOnly_ = pal.color(QPalette::Button);
  colorWhenReadWrite_ = pal.color(QPalette::Base);
  colorOfErrors_ = QColor(255, 0, 0);
  colorOfFont_ = pal.color(QPalette::Text);
  resize(65, 21);
  ApplyBackground();
  connect(this, &QLineEdit::textChanged, this, [this] { Change(); });
}

TzqNumberEdit::~TzqNumberEdit() = default;

void TzqNumberEdit::WriteText(double v) {
  SetText(QString::fromStdString(zq::FormatGeneral(v, precision_)));
}

void TzqNumberEdit::SetText(const QString& text) {
  errors_.Run([&] { setText(text); });
}

std::optional<double> TzqNumberEdit::ReadText() const {
  return zq::ParseNumberText(caret_text(text()));
}

double TzqNumberEdit::GetValue() {
  if (text().isEmpty()) return valueDefault_;
  if (!ReadText()) {
    SetFontColor(colorOfErrors_);
    return valueDefault_;
  }
  Validate();
  // Validating may have rewritten the text (clamping, or a change handler).
  const auto v = ReadText();
  if (!v) {
    SetFontColor(colorOfErrors_);
    return valueDefault_;
  }
  return *v;
}

void TzqNumberEdit::SetValue(double v) {
  if (v == lastSetValue_) return;
  lastSetValue_ = v;
  WriteText(v);
  Validate();
}

int32_t TzqNumberEdit::AsInt() {
  return zq::RoundHalfEvenToInt32(GetValue());
}

void TzqNumberEdit::SetColorWhenReadOnly(const QColor& c) {
  colorWhenReadOnly_ = c;
  ApplyBackground();
}

void TzqNumberEdit::SetColorWhenReadWrite(const QColor& c) {
  colorWhenReadWrite_ = c;
  ApplyBackground();
}

void TzqNumberEdit::SetColorOfErrors(const QColor& c) {
  colorOfErrors_ = c;
  Validate();
}

void TzqNumberEdit::SetColorOfFont(const QColor& c) {
  colorOfFont_ = c;
  Validate();
}

QColor TzqNumberEdit::FontColor() const {
  return palette().color(QPalette::Text);
}
QColor TzqNumberEdit::BackgroundColor() const {
  return palette().color(QPalette::Base);
}

void TzqNumberEdit::SetLimitValue(bool v) {
  limitValue_ = v;
  Validate();
}

void TzqNumberEdit::Validate() {
  if (busy_) return;
  busy_ = true;
  try {
    if (limitValue_)
      Clamp();
    else
      CheckRange();
  } catch (...) {
    busy_ = false;
    throw;
  }
  busy_ = false;
}

void TzqNumberEdit::CheckRange() {
  SetFontColor(InRange() ? colorOfFont_ : colorOfErrors_);
}

bool TzqNumberEdit::InRange() const {
  if (valueMin_ == valueMax_) return true;
  const double v = text().isEmpty() ? valueDefault_ : ReadText().value_or(valueDefault_);
  return valueMin_ <= v && v <= valueMax_;
}

void TzqNumberEdit::Clamp() {
  if (loading_ || valueMin_ == valueMax_) return;
  // A text that is no number (1e400 included) stays as typed and red; it is never clamped into a value.
  if (!text().isEmpty() && !ReadText()) {
    SetFontColor(colorOfErrors_);
    return;
  }
  const double v = GetValue();
  double c = v < valueMin_ ? valueMin_ : v;
  if (c > valueMax_) c = valueMax_;
  if (c != lastSetValue_) {
    SetValue(c);
  } else if (const auto shown = ReadText(); shown && *shown != c) {
    // The clamped value was the last one written by code, so SetValue would leave the out-of-range
    // text standing; write it anyway, or a limited field would report a value beyond its limit.
    WriteText(c);
  }
  SetFontColor(colorOfFont_);
}

void TzqNumberEdit::Step(int steps, Qt::KeyboardModifiers modifiers) {
  SetValue(GetValue() + steps * zq::StepSize(step_modifiers(modifiers)));
}

bool TzqNumberEdit::IsValidKey(char32_t& key) {
  const QString t = text();
  const int selStart = hasSelectedText() ? selectionStart() : cursorPosition();
  const int selLen = hasSelectedText() ? static_cast<int>(selectedText().size()) : 0;
  const zq::KeyFilterResult r = zq::FilterNumberKey(caret_text(t), selStart, selLen, key);
  key = r.key;
  return r.accepted;
}

void TzqNumberEdit::Loaded() {
  loading_ = false;
  if (!objectName().isEmpty() && text() == objectName()) SetValue(valueDefault_);
}

void TzqNumberEdit::keyPressEvent(QKeyEvent* event) {
  const QString typed = event->text();
  // Editing keys (arrows, Delete, Home...) are not typed characters. Most carry no text, but X11 and
  // Wayland give Delete the text "\x7f", which the filter would refuse.
  if (typed.size() != 1 || typed.at(0) == QChar(0x7f)) {
    errors_.Run([&] { QLineEdit::keyPressEvent(event); });
    return;
  }
  const char32_t original = typed.at(0).unicode();
  char32_t key = original;
  if (!IsValidKey(key)) {
    event->accept();
    zq::platform().Beep();
    return;
  }
  if (OnKeyPress) OnKeyPress(*this, key);
  if (key == 0) {
    event->accept();
    return;
  }
  if (key == original) {
    errors_.Run([&] { QLineEdit::keyPressEvent(event); });
    return;
  }
  const QString changed = QString::fromUcs4(&key, 1);
  QKeyEvent replaced(event->type(), key == U'E' ? Qt::Key_E : event->key(), event->modifiers(), changed,
                     event->isAutoRepeat(), static_cast<quint16>(event->count()));
  errors_.Run([&] { QLineEdit::keyPressEvent(&replaced); });
  event->setAccepted(replaced.isAccepted());
}

void TzqNumberEdit::keyReleaseEvent(QKeyEvent* event) {
  QLineEdit::keyReleaseEvent(event);
  if (OnKeyUp && !event->isAutoRepeat()) OnKeyUp(*this, event->key(), event->modifiers());
}

void TzqNumberEdit::mouseDoubleClickEvent(QMouseEvent* event) {
  QLineEdit::mouseDoubleClickEvent(event);
  if (OnDblClick) OnDblClick(*this);
}

void TzqNumberEdit::wheelEvent(QWheelEvent* event) {
  if (isReadOnly() || disableMouseWheel_) {
    QLineEdit::wheelEvent(event);
    return;
  }
  // Some platforms turn a wheel with Alt held into a horizontal one.
  int delta = event->angleDelta().y();
  if (delta == 0 && event->modifiers().testFlag(Qt::AltModifier)) delta = event->angleDelta().x();
  event->accept();
  Step(zq::WheelSteps(delta), event->modifiers());
}

void TzqNumberEdit::changeEvent(QEvent* event) {
  QLineEdit::changeEvent(event);
  if (event->type() == QEvent::ReadOnlyChange) ApplyBackground();
}

void TzqNumberEdit::Change() {
  // A failing handler ends the change notification, as it would had the error passed at once.
  if (OnChange && !errors_.Call([&] { OnChange(*this); })) return;
  emit changed(this);
  CheckRange();
}

void TzqNumberEdit::SetRefusal(const QString& why) {
  if (why == refusal_) return;
  if (refusal_.isEmpty()) toolTipBeforeRefusal_ = toolTip();
  refusal_ = why;
  setToolTip(why.isEmpty() ? toolTipBeforeRefusal_ : why);
  CheckRange();
}

void TzqNumberEdit::SetFontColor(const QColor& requested) {
  const QColor c = refusal_.isEmpty() ? requested : colorOfErrors_;
  QPalette pal = palette();
  if (pal.color(QPalette::Text) == c) return;
  pal.setColor(QPalette::Text, c);
  setPalette(pal);
}

void TzqNumberEdit::ApplyBackground() {
  QPalette pal = palette();
  pal.setColor(QPalette::Base, isReadOnly() ? colorWhenReadOnly_ : colorWhenReadWrite_);
  setPalette(pal);
}
