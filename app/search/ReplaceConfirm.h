// TReplaceConfirm: the question asked before each replacement, placed beside the caret, with
// the buttons Yes, No, Cancel and All.
#pragma once

#include <QMessageBox>

namespace quire {

enum class TReplaceAnswer { Yes, No, Cancel, All };

class TReplaceConfirm : public QMessageBox {
    Q_OBJECT

public:
    TReplaceConfirm(const QString& SearchText, const QString& ReplaceText, QWidget* Parent = nullptr);

    // The question, its lines ended with CR LF.
    static QString Question(const QString& SearchText, const QString& ReplaceText);
    // The dialog's top left: above the caret's row with one row free between, or below the
    // row when that would leave the screen at the top; 2 pixels right of the caret, or moved
    // left to end 4 pixels inside the screen's right edge.
    static QPoint Place(const QPoint& Caret, int RowHeight, const QSize& Size, const QRect& Screen);
    // Moves the dialog beside the caret (Caret in global coordinates).
    void PlaceAt(const QPoint& Caret, int RowHeight);
    // The button that closed the dialog; Cancel when it was closed another way.
    TReplaceAnswer Answer() const;

    QAbstractButton* AllButton() const { return FAll; }

private:
    QAbstractButton* FAll = nullptr;
};

} // namespace quire
