// TTimingProbe: measures, for developers, how long the user waits for the editor's screen.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>

class QWidget;

namespace quire {

class TEditor;

// Switched on by the environment variable QUIRE_TIMING; then the program measures one thing,
// writes "quire-timing: WHAT MS ms" to standard error and ends at once (nothing is saved or
// asked). The time runs to the end of the paint that shows the result, that is, until the
// editor's screen has been drawn and handed to the window system.
//   open             from the start of the program to the first screen of the document
//   end[:DELAY]      Ctrl+End pressed DELAY ms (default 0) after that first screen, to the
//                    screen that shows the end of the document
//   edit:ROW[:DELAY] the caret put on row ROW DELAY ms after the first screen, then an "x"
//                    typed there, to the screen that shows it
//   keys[:DELAY]     from DELAY ms after the first screen, an "x" typed every 10 ms until the
//                    page's recovery journal is on the disk and a second more: the longest any
//                    key waited (for its turn and its handling) until the journal was there,
//                    and ("after MS ms") in that second after it
// After a key, the line also gives the time the key's handling took by itself ("key MS ms")
// and the caret row and top row it left.
// The start of the program is QUIRE_TIMING_T0 (CLOCK_MONOTONIC in nanoseconds, as the
// benchmark that starts the program sets it), or else the moment the probe was installed.
// With a file on the command line only a screen that shows some text counts. A message the
// program would show (a file refused, a read that failed) ends the measurement: its text is
// written as "quire-timing: stopped: TEXT" and the program ends with status 1.
class TTimingProbe : public QObject {
public:
    // Installs the probe on the application when QUIRE_TIMING asks for one.
    static void InstallFromEnvironment(bool ExpectText);

    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    enum class TStep { FirstScreen, Action, Done };
    TTimingProbe(const QString& What, int Row, int Delay, bool ExpectText, qint64 Start);
    // The screen that was waited for has been shown.
    void screenShown();
    void act();
    // Types the next key of "keys", and ends once the journal has been on the disk a while.
    void typeKey();
    [[noreturn]] void finish(const char* What, qint64 From);
    static qint64 now();

    QString FWhat;
    int FRow;
    int FDelay;
    bool FExpectText;
    qint64 FStart;
    qint64 FActionStart = 0;
    qint64 FKeyTime = 0;
    TStep FStep = TStep::FirstScreen;
    bool FShownPending = false;
    QPointer<TEditor> FEditor;
    qint64 FKeyDue = 0;       // when the next key of "keys" was meant to come
    qint64 FJournalSeen = 0;  // when the journal file was first seen
    qint64 FLongestWait = 0;  // before that
    qint64 FLongestAfter = 0; // after it
    int FKeys = 0;
};

} // namespace quire
