// TReplaceConfirm: the question asked before each replacement.
#include "ReplaceConfirm.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

namespace quire {

TReplaceConfirm::TReplaceConfirm(const QString& SearchText, const QString& ReplaceText, QWidget* Parent)
    : QMessageBox(QMessageBox::Question, QStringLiteral("Quire"), QString(), QMessageBox::NoButton, Parent) {
    // The question's line end is the platform's own on screen.
    setText(Question(SearchText, ReplaceText).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    setTextFormat(Qt::PlainText);
    setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    button(QMessageBox::Yes)->setText(QStringLiteral("はい(&Y)"));
    button(QMessageBox::No)->setText(QStringLiteral("いいえ(&N)"));
    button(QMessageBox::Cancel)->setText(QStringLiteral("キャンセル"));
    FAll = addButton(QStringLiteral("すべて(&A)"), QMessageBox::YesRole);
    setDefaultButton(QMessageBox::Yes);
    setEscapeButton(QMessageBox::Cancel);
}

QString TReplaceConfirm::Question(const QString& SearchText, const QString& ReplaceText) {
    return QStringLiteral(" ") + SearchText + QStringLiteral(" ") + QStringLiteral("  を") + QStringLiteral("\r\n") +
           QStringLiteral(" ") + ReplaceText + QStringLiteral(" ") + QStringLiteral("  に 置き換えますか？");
}

QPoint TReplaceConfirm::Place(const QPoint& Caret, int RowHeight, const QSize& Size, const QRect& Screen) {
    int top = Caret.y() - Size.height() - RowHeight;
    if (top < Screen.top()) top = Caret.y() + RowHeight;
    int left = Caret.x() + 2;
    if (left + Size.width() > Screen.right()) left = Screen.left() + Screen.width() - Size.width() - 4;
    return {left, top};
}

void TReplaceConfirm::PlaceAt(const QPoint& Caret, int RowHeight) {
    const QScreen* screen = QGuiApplication::screenAt(Caret);
    if (!screen) screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    adjustSize();
    move(Place(Caret, RowHeight, sizeHint().expandedTo(size()), area));
}

TReplaceAnswer TReplaceConfirm::Answer() const {
    QAbstractButton* b = clickedButton();
    if (!b) return TReplaceAnswer::Cancel;
    if (b == FAll) return TReplaceAnswer::All;
    switch (standardButton(b)) {
    case QMessageBox::Yes: return TReplaceAnswer::Yes;
    case QMessageBox::No: return TReplaceAnswer::No;
    default: return TReplaceAnswer::Cancel;
    }
}

} // namespace quire
