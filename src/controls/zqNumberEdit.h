// TzqNumberEdit: a one-line edit that holds a real number. It shows values in general format with a
// chosen number of significant digits, reads its text back, filters typed keys, colours out-of-range or
// unreadable text, can clamp to a range, and steps the value with the mouse wheel (number text rules
// live in core/zqNumberText.h).
#pragma once

#include "zqErrorHold.h"

#include <QColor>
#include <QLineEdit>

#include <cstdint>
#include <functional>
#include <optional>

class TzqNumberEdit : public QLineEdit {
  Q_OBJECT

public:
  explicit TzqNumberEdit(QWidget* parent = nullptr);
  ~TzqNumberEdit() override;

  // Runs synchronously after every text change, from code or typing (before the range colouring).
  std::function<void(TzqNumberEdit&)> OnChange;
  // A typed character that passed the key filter; setting key to 0 drops it.
  std::function<void(TzqNumberEdit&, char32_t& key)> OnKeyPress;
  // Any key released while the edit has the focus (key is a Qt::Key code).
  std::function<void(TzqNumberEdit&, int key, Qt::KeyboardModifiers shift)> OnKeyUp;
  std::function<void(TzqNumberEdit&)> OnDblClick;

  // A free integer for the owner (default 0).
  int Tag() const { return tag_; }
  void SetTag(int v) { tag_ = v; }

  // Range and default. Storing them changes nothing on screen; an equal min and max mean "no range".
  double ValueMin() const { return valueMin_; }
  void SetValueMin(double v) { valueMin_ = v; }
  double ValueMax() const { return valueMax_; }
  void SetValueMax(double v) { valueMax_ = v; }
  double ValueDefault() const { return valueDefault_; }
  void SetValueDefault(double v) { valueDefault_ = v; }

  // The text as a number: ValueDefault for an empty or unreadable text (which also turns the font to
  // ColorOfErrors); a readable value is validated first (clamped when LimitValue is set).
  double GetValue();
  // Writes v in general format unless v equals LastSetValue; then validates.
  void SetValue(double v);
  double Value() { return GetValue(); }
  double AsDouble() { return GetValue(); }
  void SetAsDouble(double v) { SetValue(v); }
  // The value rounded to the nearest integer, halves to even (saturating at the int32 limits).
  int32_t AsInt();
  void SetAsInt(int32_t v) { SetValue(v); }
  double LastSetValue() const { return lastSetValue_; }

  // Significant digits of the written text (default 8); takes effect at the next SetValue.
  int Precision() const { return precision_; }
  void SetPrecision(int v) { precision_ = v; }

  QColor ColorWhenReadOnly() const { return colorWhenReadOnly_; }
  void SetColorWhenReadOnly(const QColor& c);
  QColor ColorWhenReadWrite() const { return colorWhenReadWrite_; }
  void SetColorWhenReadWrite(const QColor& c);
  QColor ColorOfErrors() const { return colorOfErrors_; }
  void SetColorOfErrors(const QColor& c);
  QColor ColorOfFont() const { return colorOfFont_; }
  void SetColorOfFont(const QColor& c);
  // What the edit shows now.
  QColor FontColor() const;
  QColor BackgroundColor() const;

  // Sets the text; an error of the change handler propagates to the caller (use it rather than
  // setText when a handler may fail).
  void SetText(const QString& text);

  // Read-only state; QLineEdit::setReadOnly works as well (the colours follow either way).
  bool ReadOnly() const { return isReadOnly(); }
  void SetReadOnly(bool v) { setReadOnly(v); }

  bool LimitValue() const { return limitValue_; }
  void SetLimitValue(bool v);
  bool DisableMouseWheel() const { return disableMouseWheel_; }
  void SetDisableMouseWheel(bool v) { disableMouseWheel_ = v; }

  // A value refused by what uses it (not by the edit's own range): while why is not empty the font shows
  // ColorOfErrors and the tooltip says why. An empty why ends the refusal.
  void SetRefusal(const QString& why);
  QString Refusal() const { return refusal_; }

  // Clamp when LimitValue is set, else CheckRange; ignored when re-entered.
  void Validate();
  // Font colour: ColorOfFont when InRange, else ColorOfErrors.
  void CheckRange();
  // True when ValueMin = ValueMax or the text's value (ValueDefault when unreadable) lies in the range.
  // Reads the text without side effects.
  bool InRange() const;
  // Clamps the value into [ValueMin, ValueMax] (nothing while loading or when ValueMin = ValueMax).
  void Clamp();
  // Adds steps x step size (1, 10, 100, 1000 with Shift/Ctrl; 0.1 .. 0.0001 with Alt) to the value.
  void Step(int steps, Qt::KeyboardModifiers modifiers);
  // The key filter: false when `key` must not be typed; may change the key ("d" becomes "E").
  virtual bool IsValidKey(char32_t& key);

  // Window-definition loading: between BeginLoading and Loaded no clamping happens. Loaded applies the
  // end-of-loading rule (a text equal to objectName() becomes ValueDefault).
  void BeginLoading() { loading_ = true; }
  virtual void Loaded();
  bool IsLoading() const { return loading_; }

signals:
  // Emitted with OnChange after every text change.
  void changed(TzqNumberEdit* sender);

protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void changeEvent(QEvent* event) override;

private:
  void Change();
  void WriteText(double v);
  void SetFontColor(const QColor& c);
  void ApplyBackground();
  std::optional<double> ReadText() const;

  double valueMin_ = 0;
  double valueMax_ = 0;
  double valueDefault_ = 0;
  double lastSetValue_ = 0;
  int precision_ = 8;
  int tag_ = 0;
  QColor colorWhenReadOnly_;
  QColor colorWhenReadWrite_;
  QColor colorOfErrors_;
  QColor colorOfFont_;
  bool limitValue_ = false;
  QString refusal_;
  QString toolTipBeforeRefusal_;
  bool disableMouseWheel_ = false;
  bool busy_ = false;
  zq::ErrorHold errors_; // OnChange errors wait until QLineEdit has finished a text change
  bool loading_ = false;
};
