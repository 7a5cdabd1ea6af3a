#include "document/radio_group.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

TRadioGroup::TRadioGroup(const QString& name, const QString& caption, const QStringList& items,
                         QWidget* parent, bool horizontal)
    : QGroupBox(caption, parent) {
    setObjectName(name);
    QBoxLayout* layout = horizontal ? static_cast<QBoxLayout*>(new QHBoxLayout(this))
                                    : static_cast<QBoxLayout*>(new QVBoxLayout(this));
    auto* group = new QButtonGroup(this);
    for (qsizetype i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        button->setObjectName(name + QStringLiteral("Item") + QString::number(i));
        group->addButton(button, static_cast<int>(i));
        layout->addWidget(button);
        items_.push_back(button);
        connect(button, &QRadioButton::clicked, this, &TRadioGroup::Click);
    }
}

int TRadioGroup::ItemIndex() const {
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i]->isChecked()) return static_cast<int>(i);
    return -1;
}

void TRadioGroup::SetItemIndex(int index) {
    if (index >= 0 && static_cast<size_t>(index) < items_.size())
        items_[static_cast<size_t>(index)]->setChecked(true);
}
