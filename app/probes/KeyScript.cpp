// TKeyScript: keys from standard input, delivered as a keyboard's would be.
#include "KeyScript.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <unistd.h>

namespace quire {

namespace {

// Where a key goes: the focus widget; else the one of the active modal dialog or window (or
// of the first window shown, before any is active).
QWidget* keyTarget() {
    if (QWidget* w = QApplication::focusWidget()) return w;
    QWidget* window = QApplication::activeModalWidget();
    if (!window) window = QApplication::activeWindow();
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (window || !w->isVisible()) continue;
        // Nothing is active yet: the window is activated, as a window manager does with a
        // new window, and it gives the focus where it gives it to a user.
        w->activateWindow();
        QCoreApplication::processEvents();
        window = w;
    }
    if (!window) return nullptr;
    if (QWidget* w = QApplication::focusWidget()) return w;
    return window->focusWidget() ? window->focusWidget() : window;
}

// The text a key gives (the control characters of Return, Backspace, Escape, Tab, Ctrl+letter).
QString keyText(int Key, Qt::KeyboardModifiers Modifiers) {
    switch (Key) {
    case Qt::Key_Return: return QStringLiteral("\r");
    case Qt::Key_Enter: return QStringLiteral("\r");
    case Qt::Key_Backspace: return QStringLiteral("\b");
    case Qt::Key_Escape: return QStringLiteral("\x1b");
    case Qt::Key_Tab: return QStringLiteral("\t");
    default: break;
    }
    if (Key >= Qt::Key_A && Key <= Qt::Key_Z)
        return (Modifiers & Qt::ControlModifier) ? QString(QChar(Key - Qt::Key_A + 1)) : QString(QChar(Key)).toLower();
    return {};
}

void sendKey(QWidget* Target, int Key, Qt::KeyboardModifiers Modifiers, const QString& Text) {
    QKeyEvent press(QEvent::KeyPress, Key, Modifiers, Text);
    QCoreApplication::sendEvent(Target, &press);
    QKeyEvent release(QEvent::KeyRelease, Key, Modifiers, Text);
    QCoreApplication::sendEvent(Target, &release);
}

} // namespace

bool TKeyScript::Wanted() {
    return qEnvironmentVariableIsSet("QUIRE_TEST_KEYS") &&
           QGuiApplication::platformName() == QLatin1String("offscreen");
}

TKeyScript::TKeyScript(QObject* Parent) : QObject(Parent), FNotifier(STDIN_FILENO, QSocketNotifier::Read) {
    connect(&FNotifier, &QSocketNotifier::activated, this, [this] { readInput(); });
}

void TKeyScript::readInput() {
    char buffer[4096];
    const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (n <= 0) {
        FNotifier.setEnabled(false); // the test closed its end
        return;
    }
    FBuffer.append(buffer, n);
    scheduleNext();
}

void TKeyScript::runNext() {
    // One step at a time, with the events in between handled as between a keyboard's keys: a
    // dialog a key closed is gone before the next key comes. The next step is asked for before
    // this one runs, so that a step that opens a modal dialog has the following steps typed
    // into it by the dialog's own event loop.
    FScheduled = false;
    const qsizetype end = FBuffer.indexOf('\n');
    if (end < 0) return;
    const QByteArray line = FBuffer.left(end);
    FBuffer.remove(0, end + 1);
    scheduleNext();
    runLine(line);
}

void TKeyScript::scheduleNext() {
    if (FScheduled || !FBuffer.contains('\n')) return;
    FScheduled = true;
    QTimer::singleShot(0, this, [this] { runNext(); });
}

void TKeyScript::runLine(const QByteArray& Line) {
    const QString rest = QString::fromUtf8(Line.mid(2));
    if (Line.startsWith("t "))
        typeText(rest);
    else if (Line.startsWith("k "))
        pressKeys(rest);
    std::printf("ok %d\n", ++FSteps);
    std::fflush(stdout);
}

void TKeyScript::typeText(const QString& Text) {
    for (char32_t c : Text.toUcs4()) {
        QWidget* target = keyTarget();
        if (!target) return;
        const QString text = QString::fromUcs4(&c, 1);
        const int key = c < 0x80 && QChar(c).isLetterOrNumber() ? QChar(c).toUpper().unicode() : int(Qt::Key_unknown);
        sendKey(target, key, Qt::NoModifier, text);
    }
}

void TKeyScript::pressKeys(const QString& Keys) {
    const QKeySequence sequence(Keys, QKeySequence::PortableText);
    QWidget* target = keyTarget();
    if (sequence.isEmpty() || !target) return;
    const QKeyCombination combination = sequence[0];
    const int key = combination.key();
    const Qt::KeyboardModifiers modifiers = combination.keyboardModifiers();
    const QString text = keyText(key, modifiers);
    // As the keyboard's way: the focus widget may claim the combination first; otherwise a
    // window command with it as its shortcut runs.
    QKeyEvent over(QEvent::ShortcutOverride, key, modifiers, text);
    over.ignore();
    QCoreApplication::sendEvent(target, &over);
    if (!over.isAccepted()) {
        const QKeySequence pressed(combination);
        for (QAction* a : target->window()->findChildren<QAction*>()) {
            if (a->isEnabled() && a->shortcuts().contains(pressed)) {
                a->trigger();
                return;
            }
        }
    }
    sendKey(target, key, modifiers, text);
}

} // namespace quire
