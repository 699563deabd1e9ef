// THistoryCombo: an editable combo box with a history kept in the settings file.
#include "HistoryCombo.h"

#include "Profile.h"
#include "ProgramFolder.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>

namespace quire {

namespace {
const QString kSection = QStringLiteral("Combo");

bool isArrow(int Key) { return Key == Qt::Key_Down || Key == Qt::Key_Up; }
} // namespace

THistoryCombo::THistoryCombo(const QString& Prefix, QWidget* Parent) : QComboBox(Parent), FPrefix(Prefix) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert); // the history is kept by MoveTextToTop alone
    setMaxCount(MaxHistory);
    setMinimumContentsLength(24);
    view()->installEventFilter(this);
    lineEdit()->installEventFilter(this);
}

QStringList THistoryCombo::History() const {
    QStringList items;
    for (int i = 0; i < count(); ++i) items << itemText(i);
    return items;
}

void THistoryCombo::LoadHistory() {
    clear();
    const QString file = SettingsFileName();
    for (int i = 0; i < MaxHistory; ++i) {
        const QString entry = profile::ReadString(file, kSection, FPrefix + QString::number(i));
        if (entry.isEmpty()) break;
        addItem(entry);
    }
    setEditText(QString());
}

void THistoryCombo::SaveHistory() {
    if (currentText().isEmpty()) return;
    const QString file = SettingsFileName();
    for (int i = 0; i < count() && i < MaxHistory; ++i)
        if (!itemText(i).isEmpty()) profile::WriteString(file, kSection, FPrefix + QString::number(i), itemText(i));
}

void THistoryCombo::ClearHistory() {
    clear();
    setEditText(QString());
    const QString file = SettingsFileName();
    for (int i = 0; i < MaxHistory; ++i) profile::WriteString(file, kSection, FPrefix + QString::number(i), QString());
}

void THistoryCombo::MoveTextToTop() {
    const QString text = currentText();
    if (text.isEmpty()) return;
    const int at = findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (at == 0) return;
    if (at > 0)
        removeItem(at);
    else if (count() >= MaxHistory)
        removeItem(count() - 1);
    insertItem(0, text);
    setCurrentIndex(0);
    setEditText(text);
}

void THistoryCombo::keyPressEvent(QKeyEvent* Event) {
    if (isArrow(Event->key()) && Event->modifiers() == Qt::NoModifier) {
        showPopup();
        return;
    }
    QComboBox::keyPressEvent(Event);
}

// While the list is open it gets the keys: the arrows move in it, Enter and Escape end it as
// usual, and any other key closes it and goes on to the text.
bool THistoryCombo::eventFilter(QObject* Watched, QEvent* Event) {
    if (Watched == lineEdit() && Event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(Event);
        if (isArrow(key->key()) && key->modifiers() == Qt::NoModifier) {
            showPopup();
            return true;
        }
    }
    if (Watched == view() && Event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(Event)->key();
        const bool listKey = isArrow(key) || key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
        if (!listKey) {
            hidePopup();
            if (lineEdit()) QCoreApplication::sendEvent(lineEdit(), Event);
            return true;
        }
    }
    return QComboBox::eventFilter(Watched, Event);
}

} // namespace quire
