// TFormStringsPrint: the print dialog ("印刷"): font, margins, columns, line numbers,
// header and footer; prints or previews, and keeps the options in the settings file.
#pragma once

#include "StrPrint.h"

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace quire {

class TFormStringsPrint : public QDialog {
    Q_OBJECT

public:
    explicit TFormStringsPrint(QWidget* Parent = nullptr);

    // Copies Printer's options into the dialog's own copy and shows them; Lines (may be
    // null: the print and preview buttons are then disabled) are what is printed.
    void Setup(const TStringsPrinter& Printer, const TPrintLines* Lines);

    // The dialog's copy of the options; every change of a control reaches it at once.
    TStringsPrinter StringsPrinter1;

    // "プリンタ設定(&Q)", "印刷(&X)", "プレビュー(&P)".
    void Button4Click();
    void Button5Click();
    void Button6Click();

    QComboBox* ComboBox1 = nullptr;
    QComboBox* ComboBox2 = nullptr;
    QSpinBox* SpinEdit1 = nullptr;
    QSpinBox* SpinEdit2 = nullptr;
    QSpinBox* SpinEdit3 = nullptr;
    QSpinBox* SpinEdit4 = nullptr;
    QSpinBox* SpinEdit5 = nullptr;
    QGroupBox* RadioGroup1 = nullptr;
    QGroupBox* RadioGroup2 = nullptr;
    QGroupBox* RadioGroup3 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label12 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button4 = nullptr;
    QPushButton* Button5 = nullptr;
    QPushButton* Button6 = nullptr;

    // The index chosen in a radio group, -1 when none is.
    static int ItemIndex(const QGroupBox* Group);
    static void SetItemIndex(QGroupBox* Group, int Index);

private:
    QWidget* createFontBox();
    QWidget* createMarginBox();
    QWidget* createColumnBox();
    QWidget* createBandBox(bool Header);
    QWidget* createPrinterBox();
    QWidget* createKeywordBox();
    QGroupBox* radioGroup(const QString& Name, const QString& Title, const QStringList& Items);
    QSpinBox* spinEdit(const QString& Name);
    void connectControls();
    void fillFontLists();
    void showPrinter();
    void showOptions();
    void saveOptions();

    const TPrintLines* FLines = nullptr;
};

// Opens the dialog on a copy of Printer's options for Lines; when it closes with OK (after
// printing), the options are copied back and the result is true. Without a printer, false.
bool ShowPrintDialog(TStringsPrinter* Printer, const TPrintLines& Lines, QWidget* Parent);

} // namespace quire
