#include "zqRadioGroup.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

TzqRadioGroup::TzqRadioGroup(QWidget* parent) : QGroupBox(parent) {
  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(6, 4, 6, 4);
  layout->setVerticalSpacing(1);
  group_ = new QButtonGroup(this);
  group_->setExclusive(true);
  connect(group_, &QButtonGroup::idClicked, this, &TzqRadioGroup::clicked);
}

void TzqRadioGroup::SetItems(const QStringList& items) {
  for (auto* b : buttons_)
    delete b;
  buttons_.clear();
  items_ = items;
  index_ = -1;
  for (int i = 0; i < items.size(); ++i) {
    auto* b = new QRadioButton(items[i], this); // "&&" shows as "&"
    b->setObjectName(objectName() + "_Item" + QString::number(i));
    group_->addButton(b, i);
    static_cast<QGridLayout*>(layout())->addWidget(b, i / columns_, i % columns_);
    buttons_.push_back(b);
  }
}

QString TzqRadioGroup::ItemText(int index) const {
  return index >= 0 && index < items_.size() ? items_[index] : QString();
}

int TzqRadioGroup::IndexOfText(const QString& text) const {
  for (int i = 0; i < items_.size(); ++i)
    if (items_[i].compare(text, Qt::CaseInsensitive) == 0) return i;
  return -1;
}

QRadioButton* TzqRadioGroup::Button(int index) const {
  return index >= 0 && index < static_cast<int>(buttons_.size()) ? buttons_[index] : nullptr;
}

void TzqRadioGroup::SetItemIndex(int index) {
  if (index < -1 || index >= ItemCount()) index = -1;
  if (index == index_) return;
  index_ = index;
  if (index < 0) {
    // An exclusive group cannot uncheck its last button; lift the rule for a moment.
    group_->setExclusive(false);
    for (auto* b : buttons_)
      b->setChecked(false);
    group_->setExclusive(true);
  } else {
    buttons_[index]->setChecked(true);
  }
  if (OnClick) OnClick(*this);
}

void TzqRadioGroup::clicked(int index) {
  if (index == index_) return;
  index_ = index;
  if (OnClick) OnClick(*this);
}
