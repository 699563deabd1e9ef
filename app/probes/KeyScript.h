// TKeyScript: keys read from standard input and typed into the program, for tests that drive the real editor without a
// display.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QSocketNotifier>

namespace quire {

// Active only when the environment variable QUIRE_TEST_KEYS is set and Qt runs on its
// "offscreen" platform (no display, no user): a desktop session never reads keys this way.
//
// Each line of standard input is one step: "t TEXT" types each character of TEXT (UTF-8), and
// "k KEYS" presses a key combination in QKeySequence's words ("Return", "Backspace",
// "Ctrl+Z"). The keys go where a keyboard's would: to the focus widget (the active modal
// dialog's, when one is up), and a combination that is a window command's shortcut triggers
// that command, unless the focus widget takes it first. After each step the line "ok N" (N
// counts the steps) is written to standard output and flushed, so a test knows what the
// program has handled and when.
class TKeyScript : public QObject {
    Q_OBJECT

public:
    static bool Wanted();
    explicit TKeyScript(QObject* Parent = nullptr);

private:
    void readInput();
    void runNext();
    void scheduleNext();
    void runLine(const QByteArray& Line);
    void typeText(const QString& Text);
    void pressKeys(const QString& Keys);

    QSocketNotifier FNotifier;
    QByteArray FBuffer;
    int FSteps = 0;
    bool FScheduled = false; // a call of runNext is queued
};

} // namespace quire
