#pragma once

// A captioned group of mutually exclusive radio buttons addressed by item
// index, with the items filled column by column: with 7 items in 4 columns,
// items 0 and 1 form the first column, 2 and 3 the second, and so on.

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QGridLayout;
class QRadioButton;

namespace lumora::app {

class RadioGroup : public QGroupBox {
    Q_OBJECT
  public:
    explicit RadioGroup(QWidget* parent = nullptr);

    // Replaces all items; the selection is cleared.
    void setItems(const QStringList& items);
    QStringList items() const { return items_; }
    int count() const { return static_cast<int>(items_.size()); }

    void setColumns(int columns);
    int columns() const { return columns_; }

    // -1 when no item is selected.
    int itemIndex() const;
    // Out-of-range values clear the selection.
    void setItemIndex(int index);

    QRadioButton* button(int index) const;

  signals:
    // The operator chose an item (also when it was already selected).
    void itemClicked(int index);
    // The selection changed, by the operator or by setItemIndex().
    void itemIndexChanged(int index);

  private:
    void arrange();

    QStringList items_;
    int columns_ = 1;
    QButtonGroup* group_;
    QGridLayout* grid_;
};

}  // namespace lumora::app
