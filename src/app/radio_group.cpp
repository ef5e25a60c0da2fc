#include "app/radio_group.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

namespace lumora::app {

RadioGroup::RadioGroup(QWidget* parent)
    : QGroupBox(parent), group_(new QButtonGroup(this)), grid_(new QGridLayout(this)) {
    group_->setExclusive(true);
    grid_->setContentsMargins(8, 0, 4, 0);
    grid_->setHorizontalSpacing(4);
    grid_->setVerticalSpacing(0);
    connect(group_, &QButtonGroup::idClicked, this, &RadioGroup::itemClicked);
    connect(group_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked) {
            emit itemIndexChanged(id);
        }
    });
}

void RadioGroup::setItems(const QStringList& items) {
    const bool hadSelection = itemIndex() >= 0;
    for (QAbstractButton* old : group_->buttons()) {
        group_->removeButton(old);
        delete old;
    }
    items_ = items;
    for (int i = 0; i < count(); ++i) {
        auto* radio = new QRadioButton(items_[i], this);
        group_->addButton(radio, i);
    }
    arrange();
    if (hadSelection) {
        emit itemIndexChanged(-1);
    }
}

void RadioGroup::setColumns(int columns) {
    columns_ = columns < 1 ? 1 : columns;
    arrange();
}

int RadioGroup::itemIndex() const {
    return group_->checkedId();
}

void RadioGroup::setItemIndex(int index) {
    if (index == itemIndex()) {
        return;
    }
    if (index >= 0 && index < count()) {
        group_->button(index)->setChecked(true);
        return;
    }
    // An exclusive group refuses to uncheck its last checked button.
    QAbstractButton* checked = group_->checkedButton();
    if (checked == nullptr) {
        return;
    }
    group_->setExclusive(false);
    checked->setChecked(false);
    group_->setExclusive(true);
    emit itemIndexChanged(-1);
}

QRadioButton* RadioGroup::button(int index) const {
    return qobject_cast<QRadioButton*>(group_->button(index));
}

void RadioGroup::arrange() {
    while (grid_->count() > 0) {
        delete grid_->takeAt(0);
    }
    for (int c = 0; c < grid_->columnCount(); ++c) {
        grid_->setColumnStretch(c, 0);
    }
    if (items_.isEmpty()) {
        return;
    }
    const int perColumn = (count() + columns_ - 1) / columns_;
    for (int i = 0; i < count(); ++i) {
        grid_->addWidget(group_->button(i), i % perColumn, i / perColumn);
    }
    // Equal columns, as wide as the group allows, whatever the item texts.
    for (int c = 0; c < columns_; ++c) {
        grid_->setColumnStretch(c, 1);
    }
}

}  // namespace lumora::app
