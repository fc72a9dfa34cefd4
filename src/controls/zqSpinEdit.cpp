// TzqSpinButtons and TzqSpinEdit: the spin column's buttons, auto-repeat, slider drag and keys, and
// its placement beside the edit.
#include "zqSpinEdit.h"

#include "zqNumberText.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QTimerEvent>
#include <QWheelEvent>

namespace {

// A push button that paints a small filled triangle instead of a caption, so that the arrows do not
// depend on a symbol font being installed.
class ArrowButton : public QPushButton {
public:
  ArrowButton(bool up, QWidget* parent) : QPushButton(parent), up_(up) {}

protected:
  void paintEvent(QPaintEvent*) override {
    QStylePainter p(this);
    QStyleOptionButton opt;
    initStyleOption(&opt);
    opt.text.clear();
    p.drawControl(QStyle::CE_PushButtonBevel, opt);
    const int half = std::max(1, std::min((width() - 4) / 2, height() - 4));
    const int cx = width() / 2 + (isDown() ? 1 : 0);
    const int cy = height() / 2 + (isDown() ? 1 : 0);
    const int top = cy - half / 2;
    const int bottom = top + half;
    const QPolygon arrow =
        up_ ? QPolygon({QPoint(cx, top), QPoint(cx - half, bottom), QPoint(cx + half, bottom)})
            : QPolygon({QPoint(cx, bottom), QPoint(cx - half, top), QPoint(cx + half, top)});
    const QColor colour =
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText);
    p.setPen(colour);
    p.setBrush(colour);
    p.drawPolygon(arrow);
  }

private:
  bool up_;
};

} // namespace

TzqSpinButtons::TzqSpinButtons(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  up_ = new ArrowButton(true, this);
  up_->setObjectName("SpinUpButton");
  up_->setFocusPolicy(Qt::StrongFocus);
  down_ = new ArrowButton(false, this);
  down_->setObjectName("SpinDnButton");
  down_->setFocusPolicy(Qt::StrongFocus);
  auto* slider = new QFrame(this);
  slider->setObjectName("SpinSlider");
  slider->setFrameShape(QFrame::Panel);
  slider->setFrameShadow(QFrame::Raised);
  slider->setCursor(Qt::SizeVerCursor);
  slider_ = slider;
  for (QWidget* w : {static_cast<QWidget*>(up_), static_cast<QWidget*>(down_), slider_})
    w->installEventFilter(this);
  connect(up_, &QPushButton::clicked, this, [this] { errors_.Call([this] { Up(); }); });
  connect(down_, &QPushButton::clicked, this, [this] { errors_.Call([this] { Down(); }); });

  resize(13, 25);
  LayOut();
}

TzqSpinButtons::~TzqSpinButtons() = default;

void TzqSpinButtons::Change(int n) {
  if (OnChange) OnChange(*this, n, QGuiApplication::keyboardModifiers());
}

void TzqSpinButtons::StartRepeat() {
  interval_ = FirstDelay;
  timer_.start(interval_, Qt::PreciseTimer, this);
}

void TzqSpinButtons::StopRepeat() {
  timer_.stop();
}

bool TzqSpinButtons::Repeating() const {
  return timer_.isActive();
}

int TzqSpinButtons::CurrentRepeatInterval() const {
  return interval_;
}

void TzqSpinButtons::timerEvent(QTimerEvent* event) {
  if (event->timerId() == timer_.timerId())
    RepeatTick();
  else
    QWidget::timerEvent(event);
}

void TzqSpinButtons::RepeatTick() {
  if (interval_ != RepeatInterval) {
    interval_ = RepeatInterval;
    if (timer_.isActive()) timer_.start(interval_, Qt::PreciseTimer, this);
  }
  // The focused button decides; the button that started the repeat stands in when focus is elsewhere.
  const int direction = up_->hasFocus() ? 1 : down_->hasFocus() ? -1 : repeatDirection_;
  try {
    Change(direction);
  } catch (...) {
    StopRepeat(); // a failing step must not be repeated
    throw;
  }
}

bool TzqSpinButtons::eventFilter(QObject* watched, QEvent* event) {
  if (watched == slider_) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
      lastDragY_ = static_cast<QMouseEvent*>(event)->position().toPoint().y();
      dragging_ = true;
      setFocus(Qt::MouseFocusReason);
      return true;
    case QEvent::MouseMove:
      if (dragging_) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const int y = mouse->position().toPoint().y();
        if (OnChange) OnChange(*this, lastDragY_ - y, mouse->modifiers());
        lastDragY_ = y;
      }
      return true;
    case QEvent::MouseButtonRelease:
      dragging_ = false;
      return true;
    default:
      return QWidget::eventFilter(watched, event);
    }
  }
  if (watched == up_ || watched == down_) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
      if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        repeatDirection_ = watched == up_ ? 1 : -1;
        StartRepeat();
      }
      break;
    case QEvent::MouseButtonRelease:
      if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) StopRepeat();
      break; // the button's own release then clicks: the final step
    case QEvent::KeyPress:
      return HandleKey(watched, static_cast<QKeyEvent*>(event));
    case QEvent::KeyRelease: {
      const auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() == Qt::Key_Space && !key->isAutoRepeat()) StopRepeat();
      break;
    }
    default:
      break;
    }
  }
  return QWidget::eventFilter(watched, event);
}

bool TzqSpinButtons::DeliverToButton(QObject* button, QEvent* event) {
  errors_.Run([&] { button->event(event); });
  return true;
}

bool TzqSpinButtons::HandleKey(QObject* from, QKeyEvent* event) {
  switch (event->key()) {
  case Qt::Key_Space:
    if (from != up_ && from != down_) return false;
    if (!timer_.isActive()) {
      repeatDirection_ = from == up_ ? 1 : -1;
      StartRepeat();
    }
    static_cast<QPushButton*>(from)->setDown(true); // released by the button's own key up, which clicks
    return true;
  case Qt::Key_Left:
  case Qt::Key_Down:
    Down();
    down_->setFocus(Qt::OtherFocusReason);
    return true;
  case Qt::Key_Up:
  case Qt::Key_Right:
    Up();
    up_->setFocus(Qt::OtherFocusReason);
    return true;
  case Qt::Key_Alt:
    return true;
  default:
    return false;
  }
}

void TzqSpinButtons::keyPressEvent(QKeyEvent* event) {
  if (HandleKey(this, event))
    event->accept();
  else
    QWidget::keyPressEvent(event);
}

void TzqSpinButtons::wheelEvent(QWheelEvent* event) {
  event->accept();
  const QPoint delta = event->angleDelta();
  Change(zq::WheelSteps(delta.y(), delta.x(), event->modifiers().testFlag(Qt::AltModifier)));
}

void TzqSpinButtons::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  LayOut();
}

void TzqSpinButtons::LayOut() {
  const zq::SpinColumnLayout l = zq::LayOutSpinColumn(height());
  up_->setGeometry(0, 0, width(), l.buttonHeight);
  slider_->setGeometry(0, l.sliderTop, width(), l.sliderHeight);
  down_->setGeometry(0, l.downTop, width(), l.buttonHeight);
}

TzqSpinEdit::TzqSpinEdit(QWidget* parent) : TzqNumberEdit(parent) {
  // Without a parent the column waits inside the edit (out of sight) until the edit gets one.
  buttons_ = new TzqSpinButtons(parent ? parent : this);
  buttons_->setObjectName("zqSpinButtons");
  buttons_->OnChange = [this](TzqSpinButtons&, int steps, Qt::KeyboardModifiers shift) {
    Step(steps, shift);
  };
  LayOutSpinButtons();
}

TzqSpinEdit::~TzqSpinEdit() {
  delete buttons_.data();
}

void TzqSpinEdit::Loaded() {
  TzqNumberEdit::Loaded();
  LayOutSpinButtons();
}

void TzqSpinEdit::setVisible(bool visible) {
  TzqNumberEdit::setVisible(visible);
  if (buttons_ && buttons_->parentWidget() != this) buttons_->setVisible(visible);
}

void TzqSpinEdit::moveEvent(QMoveEvent* event) {
  TzqNumberEdit::moveEvent(event);
  LayOutSpinButtons();
}

void TzqSpinEdit::resizeEvent(QResizeEvent* event) {
  TzqNumberEdit::resizeEvent(event);
  LayOutSpinButtons();
}

void TzqSpinEdit::changeEvent(QEvent* event) {
  TzqNumberEdit::changeEvent(event);
  if (event->type() == QEvent::ReadOnlyChange || event->type() == QEvent::EnabledChange)
    UpdateSpinButtonsEnabled();
}

bool TzqSpinEdit::event(QEvent* event) {
  const bool result = TzqNumberEdit::event(event);
  if (event->type() == QEvent::ParentChange && buttons_) {
    QWidget* home = parentWidget() ? parentWidget() : this;
    if (buttons_->parentWidget() != home) {
      buttons_->setParent(home);
      if (home != this && isHidden() && testAttribute(Qt::WA_WState_ExplicitShowHide))
        buttons_->hide();
      else if (isVisible())
        buttons_->show();
    }
    LayOutSpinButtons();
  }
  return result;
}

void TzqSpinEdit::LayOutSpinButtons() {
  if (!buttons_) return;
  const QRect g = geometry();
  buttons_->setGeometry(g.x() + g.width() + 3, g.y(), buttons_->width(), g.height());
}

void TzqSpinEdit::UpdateSpinButtonsEnabled() {
  if (buttons_) buttons_->setEnabled(isEnabled() && !isReadOnly());
}
