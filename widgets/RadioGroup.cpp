// TRadioGroup: a titled group of radio buttons whose choice is one item index.
#include "RadioGroup.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

namespace quire {

TRadioGroup::TRadioGroup(const QString& Caption, const QStringList& Items, QWidget* Parent)
    : QGroupBox(Caption, Parent) {
    auto* layout = new QVBoxLayout(this);
    auto* group = new QButtonGroup(this);
    for (const QString& caption : Items) {
        auto* button = new QRadioButton(caption, this);
        group->addButton(button, static_cast<int>(FItems.size()));
        layout->addWidget(button);
        FItems.push_back(button);
    }
}

int TRadioGroup::ItemIndex() const {
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i]->isChecked()) return static_cast<int>(i);
    return -1;
}

void TRadioGroup::SetItemIndex(int Value) {
    if (Value >= 0 && Value < Count()) {
        FItems[static_cast<size_t>(Value)]->setChecked(true);
        return;
    }
    // An exclusive group cannot uncheck its last checked button; lift that for a moment.
    if (QButtonGroup* group = FItems.empty() ? nullptr : FItems.front()->group()) {
        group->setExclusive(false);
        for (QRadioButton* b : FItems) b->setChecked(false);
        group->setExclusive(true);
    }
}

} // namespace quire
