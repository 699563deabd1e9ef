// TSpinEdit: a number field with up and down arrows whose text is free, so that what the user
// typed is checked (and reported when it is no number) by the dialog, not silently undone.
#pragma once

#include <QAbstractSpinBox>

namespace quire {

class TSpinEdit : public QAbstractSpinBox {
    Q_OBJECT

public:
    // The arrows step within Min to Max; the text may hold anything until it is checked.
    TSpinEdit(int Min, int Max, QWidget* Parent = nullptr);

    QString Text() const;
    void SetText(const QString& Value);
    // The number the field holds; raises EPlatformError when it holds none.
    int Value() const;
    void SetValue(int Value);

    void stepBy(int Steps) override;

protected:
    StepEnabled stepEnabled() const override;

private:
    int FMin;
    int FMax;
};

} // namespace quire
