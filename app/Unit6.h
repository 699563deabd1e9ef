// TSetRowForm: the go-to-line dialog (caption "指定行へ移動"): a row number for the current
// editor's caret.
#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace quire {

class TEditor;

class TSetRowForm : public QDialog {
    Q_OBJECT

public:
    TSetRowForm(QWidget* Parent, TEditor& Editor);

    QLineEdit* Edit1 = nullptr;
    QPushButton* Button1 = nullptr; // OK (the default button)
    QPushButton* Button2 = nullptr; // キャンセル

    // OK: the caret goes to the row named (counted from 1, limited to the rows), which becomes
    // the top row, and the dialog closes. A text that is no number is reported and the dialog
    // stays open.
    void Button1Click();

protected:
    // Activation: the field shows the caret's row, counted from 1, focused and selected.
    void showEvent(QShowEvent* Event) override;

private:
    TEditor& FEditor;
};

} // namespace quire
