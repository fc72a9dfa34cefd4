// TzqRadioGroup: a captioned box of radio buttons with one selected item (or none, -1). Selecting an
// item, by a click or from code, runs OnClick once; selecting the item already selected runs nothing.
// Item texts are kept as written ("Temp && Pressure" shows as Temp & Pressure). Items run down one column
// unless SetColumns spreads them over more, row by row.
#pragma once

#include <QGroupBox>
#include <QStringList>

#include <functional>
#include <vector>

class QButtonGroup;
class QRadioButton;

class TzqRadioGroup : public QGroupBox {
  Q_OBJECT
public:
  explicit TzqRadioGroup(QWidget* parent = nullptr);

  void SetItems(const QStringList& items);
  // Columns of the item grid (at least 1); takes effect at the next SetItems.
  void SetColumns(int columns) { columns_ = columns < 1 ? 1 : columns; }
  const QStringList& Items() const { return items_; }
  int ItemCount() const { return static_cast<int>(items_.size()); }
  // The item text as written, without the "&&" doubling resolved.
  QString ItemText(int index) const;
  // Index of the first item whose text equals text ignoring letter case, or -1.
  int IndexOfText(const QString& text) const;

  int ItemIndex() const { return index_; }
  // Selects index (-1 for none); runs OnClick when the selection changes.
  void SetItemIndex(int index);
  QRadioButton* Button(int index) const;

  std::function<void(TzqRadioGroup& sender)> OnClick;

private:
  void clicked(int index);

  QStringList items_;
  std::vector<QRadioButton*> buttons_;
  QButtonGroup* group_ = nullptr;
  int index_ = -1;
  int columns_ = 1;
};
