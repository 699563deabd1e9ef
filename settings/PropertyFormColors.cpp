// TPropertyForm: the colour page, which changes the host's colour and style tables in place.
#include "Unit7.h"

#include "ColorItems.h"
#include "Dialogs.h"
#include "Editor.h"
#include "PropertyHost.h"

#include <QCheckBox>
#include <QFrame>
#include <QListWidget>
#include <QPushButton>

namespace quire {

namespace {
TColor colorOf(const QColor& C) {
    return static_cast<TColor>(C.red()) | static_cast<TColor>(C.green()) << 8 | static_cast<TColor>(C.blue()) << 16;
}
} // namespace

void TPropertyForm::ShowColorItem(int Index) {
    const TColor c = FHost.ColorTable().Color(static_cast<TColorIndex>(Index));
    QPalette pal = ColorPreview->palette();
    // System colours (the desktop's, say) shown as the editors show them.
    pal.setColor(QPalette::Window, FHost.ActiveEditor().ToQColor(c, true));
    ColorPreview->setPalette(pal);
    const auto slot = TColorItems::Slot(Index);
    const TStyleFlags flags = slot ? FHost.StyleTable().Flags(*slot) : TStyleFlags{};
    Cek_Bold->setChecked(flags.Bold);
    Cek_Italic->setChecked(flags.Italic);
    Cek_UnderLine->setChecked(flags.Underline);
    for (QCheckBox* box : {Cek_Bold, Cek_Italic, Cek_UnderLine}) box->setEnabled(slot.has_value());
}

QColor TPropertyForm::SwatchColor() const { return ColorPreview->palette().color(QPalette::Window); }

void TPropertyForm::ListBoxClick() {
    const int i = ListBox->currentRow();
    Btn_ColorSelect->setEnabled(i >= 0);
    Btn_Reset->setEnabled(i >= 0);
    if (i >= 0) ShowColorItem(i);
}

void TPropertyForm::Btn_ColorSelectClick() {
    const int i = ListBox->currentRow();
    if (i < 0) return;
    const auto index = static_cast<TColorIndex>(i);
    QColor c = FHost.ActiveEditor().ToQColor(FHost.ColorTable().Color(index), true);
    if (!Dialogs().ChooseColor(this, c)) return;
    FHost.ColorTable().SetColor(index, colorOf(c));
    FColorsChanged = true;
    ShowColorItem(i);
}

void TPropertyForm::StyleBoxClick() {
    const int i = ListBox->currentRow();
    const auto slot = i >= 0 ? TColorItems::Slot(i) : std::nullopt;
    if (!slot) return;
    FHost.StyleTable().Flags(*slot) = {Cek_Bold->isChecked(), Cek_Italic->isChecked(), Cek_UnderLine->isChecked()};
    FStylesChanged = true;
}

void TPropertyForm::Btn_ResetClick() {
    const int i = ListBox->currentRow();
    if (i < 0) return;
    TColorItems::Reset(i, FHost.ColorTable(), FHost.StyleTable());
    FColorsChanged = FStylesChanged = true;
    ListBoxClick();
}

void TPropertyForm::Btn_AllResetClick() {
    TColorItems::ResetAll(FHost.ColorTable(), FHost.StyleTable());
    FColorsChanged = FStylesChanged = true;
    ListBoxClick();
}

} // namespace quire
