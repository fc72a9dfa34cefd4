// A small framed swatch that shows one of the program's colours and reports a left click. The legend
// elements put one beside each check box; the chart properties dialog uses one for the background.
#pragma once

#include <QFrame>

#include <cstdint>
#include <functional>

class TzqColorPanel : public QFrame {
  Q_OBJECT
public:
  explicit TzqColorPanel(QWidget* parent = nullptr);

  uint32_t Color() const { return color_; } // red in the low byte; window-system colours allowed
  void SetColor(uint32_t color);

  int Tag = 0;
  // A left click released over the panel.
  std::function<void(TzqColorPanel& sender)> OnClick;

protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

private:
  uint32_t color_ = 0;
  bool pressed_ = false;
};
