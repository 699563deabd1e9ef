// TSpinEdit.
#include "SpinEdit.h"

#include "PropertyChecks.h"

#include <QLineEdit>
#include <algorithm>

namespace quire {

TSpinEdit::TSpinEdit(int Min, int Max, QWidget* Parent) : QAbstractSpinBox(Parent), FMin(Min), FMax(Max) {
    SetValue(Min);
}

QString TSpinEdit::Text() const { return lineEdit()->text(); }
void TSpinEdit::SetText(const QString& Value) { lineEdit()->setText(Value); }
int TSpinEdit::Value() const { return FieldNumber(Text()); }
void TSpinEdit::SetValue(int Value) { SetText(QString::number(Value)); }

void TSpinEdit::stepBy(int Steps) {
    bool ok = false;
    const int now = Text().trimmed().toInt(&ok);
    // From a text that is no number the arrows start at the bottom of the range.
    const long long next = ok ? static_cast<long long>(now) + Steps : FMin;
    SetValue(static_cast<int>(std::clamp<long long>(next, FMin, FMax)));
    selectAll();
}

QAbstractSpinBox::StepEnabled TSpinEdit::stepEnabled() const { return StepUpEnabled | StepDownEnabled; }

} // namespace quire
