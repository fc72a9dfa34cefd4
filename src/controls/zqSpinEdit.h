// TzqSpinButtons: a narrow column with an up button, a slider strip and a down button that report
// signed step counts (click, auto-repeat while held, drag, arrow keys, wheel). TzqSpinEdit: a number
// edit with such a column placed just right of it in the same parent; every step goes through Step.
#pragma once

#include "zqErrorHold.h"
#include "zqNumberEdit.h"

#include <QBasicTimer>
#include <QPointer>
#include <QWidget>

#include <functional>

class QPushButton;

class TzqSpinButtons : public QWidget {
  Q_OBJECT

public:
  static constexpr int FirstDelay = 500;     // ms from button down to the first repeated step
  static constexpr int RepeatInterval = 100; // ms between later repeated steps

  explicit TzqSpinButtons(QWidget* parent = nullptr);
  ~TzqSpinButtons() override;

  // Called with a signed number of steps and the modifier keys of that moment.
  std::function<void(TzqSpinButtons&, int value, Qt::KeyboardModifiers shift)> OnChange;

  // OnChange with +1 / -1 / n and the current keyboard modifiers.
  void Up() { Change(1); }
  void Down() { Change(-1); }
  void Change(int n);

  void StartRepeat();
  void StopRepeat();
  bool Repeating() const;
  // Interval of the auto-repeat timer now (FirstDelay until the first tick, then RepeatInterval).
  int CurrentRepeatInterval() const;
  // One tick of the auto-repeat timer (the timer calls it; tests may call it to step time). An error
  // of the step stops the repeat and passes on.
  void RepeatTick();

  QPushButton* UpButton() const { return up_; }
  QPushButton* DownButton() const { return down_; }
  QWidget* Slider() const { return slider_; }
  bool Dragging() const { return dragging_; }

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void timerEvent(QTimerEvent* event) override;

private:
  bool HandleKey(QObject* from, QKeyEvent* event);
  // Hands a button the event that may make it click, holding the click's step error until the
  // button is done, then passes the error on.
  bool DeliverToButton(QObject* button, QEvent* event);
  void LayOut();

  QPushButton* up_ = nullptr;
  QPushButton* down_ = nullptr;
  QWidget* slider_ = nullptr;
  QBasicTimer timer_;
  int interval_ = FirstDelay;
  zq::ErrorHold errors_;
  int repeatDirection_ = 1; // the button that started the repeat, used when neither button has focus
  bool dragging_ = false;
  int lastDragY_ = 0;
};

class TzqSpinEdit : public TzqNumberEdit {
  Q_OBJECT

public:
  explicit TzqSpinEdit(QWidget* parent = nullptr);
  ~TzqSpinEdit() override;

  // The column beside the edit (named "zqSpinButtons"), a sibling in the edit's parent.
  TzqSpinButtons* SpinButtons() const { return buttons_; }
  void Loaded() override;
  void setVisible(bool visible) override;

protected:
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool event(QEvent* event) override;

private:
  void LayOutSpinButtons();
  void UpdateSpinButtonsEnabled();

  QPointer<TzqSpinButtons> buttons_;
};
