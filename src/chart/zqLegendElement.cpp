// Legend element: check box, its colour swatch kept beside it, and the handlers that reach the chart tools.
#include "zqLegendElement.h"

#include <QEvent>

TzqLegendElement::TzqLegendElement(QWidget* parent) : QCheckBox(parent) {
  panel_ = new TzqColorPanel(parent);
  panel_->resize(PanelSize, PanelSize);
  panel_->OnClick = [this](TzqColorPanel& sender) { Series_Color_UIPanelClick(sender); };
  SetSeriesIndex(-1);
  // toggled also fires when the state is set from code, so a program change shows or hides the series
  // just like a click.
  connect(this, &QCheckBox::toggled, this, &TzqLegendElement::Series_UICheckBoxClick);
  setContextMenuPolicy(Qt::CustomContextMenu);
  connect(this, &QWidget::customContextMenuRequested, this, &TzqLegendElement::ShowProperties_OnRightClick);
  AdjustSize();
}

TzqLegendElement::~TzqLegendElement() {
  // The swatch lives in the parent; it is ours to free unless the parent already did.
  delete panel_.data();
}

void TzqLegendElement::SetSeriesIndex(int index) {
  series_index_ = index;
  Tag = index;
  if (panel_) panel_->Tag = index;
}

void TzqLegendElement::AdjustSize() {
  if (!panel_) return;
  if (panel_->parentWidget() != parentWidget()) {
    panel_->setParent(parentWidget());
    if (parentWidget()) panel_->setVisible(!isHidden());
  }
  panel_->move(x() + width() + PanelGap, y());
  panel_->raise();
}

void TzqLegendElement::Series_Color_UIPanelClick(TzqColorPanel& sender) {
  if (Tools) Tools->PickSeriesColor(&sender);
}

void TzqLegendElement::Series_UICheckBoxClick() {
  if (Tools) Tools->ApplyLegendCheck(this);
}

void TzqLegendElement::ShowProperties_OnRightClick() {
  if (Tools) Tools->ShowSeriesProperties(SeriesIndex());
}

bool TzqLegendElement::event(QEvent* event) {
  bool handled = QCheckBox::event(event);
  if (event->type() == QEvent::ParentChange) AdjustSize();
  return handled;
}

void TzqLegendElement::moveEvent(QMoveEvent* event) {
  QCheckBox::moveEvent(event);
  AdjustSize();
}

void TzqLegendElement::resizeEvent(QResizeEvent* event) {
  AdjustSize();
  QCheckBox::resizeEvent(event);
}

void TzqLegendElement::setVisible(bool visible) {
  QCheckBox::setVisible(visible);
  // The swatch is shown and hidden with its element, never as a window of its own.
  if (panel_ && panel_->parentWidget()) panel_->setVisible(visible);
}
