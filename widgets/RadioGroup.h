// TRadioGroup: a titled group of radio buttons whose choice is one item index.
#pragma once

#include <QGroupBox>
#include <QStringList>
#include <vector>

class QRadioButton;

namespace quire {

class TRadioGroup : public QGroupBox {
    Q_OBJECT

public:
    TRadioGroup(const QString& Caption, const QStringList& Items, QWidget* Parent = nullptr);
    // The checked item, or -1 when none is.
    int ItemIndex() const;
    // Checks item Value; an index outside the items checks none.
    void SetItemIndex(int Value);
    QRadioButton* Item(int Index) const { return FItems.at(static_cast<size_t>(Index)); }
    int Count() const { return static_cast<int>(FItems.size()); }

private:
    std::vector<QRadioButton*> FItems;
};

} // namespace quire
