// Colour swatch drawing and click detection.
#include "zqColorPanel.h"

#include "zqColor.h"

#include <QMouseEvent>
#include <QPainter>

TzqColorPanel::TzqColorPanel(QWidget* parent) : QFrame(parent) {
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setLineWidth(1);
}

void TzqColorPanel::SetColor(uint32_t color) {
  if (color == color_) return;
  color_ = color;
  update();
}

void TzqColorPanel::paintEvent(QPaintEvent* event) {
  {
    QPainter painter(this);
    painter.fillRect(contentsRect(), zqColorToQColor(color_));
  }
  QFrame::paintEvent(event); // the frame on top
}

void TzqColorPanel::mousePressEvent(QMouseEvent* event) {
  pressed_ = event->button() == Qt::LeftButton;
  QFrame::mousePressEvent(event);
}

void TzqColorPanel::mouseReleaseEvent(QMouseEvent* event) {
  bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
  pressed_ = false;
  QFrame::mouseReleaseEvent(event);
  if (click && OnClick) OnClick(*this);
}
