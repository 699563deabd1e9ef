// TTimingProbe.
#include "TimingProbe.h"

#include "Editor.h"
#include "Messages.h"
#include "RecoveryKeeper.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace quire {

namespace {

// Nothing is shown or asked while a time is measured: the first message ends the program
// with its text, so that a measurement the program cannot make does not wait forever.
class TStopOnMessage : public TMessageService {
public:
    void Show(const QString&, const QString& Text, TMessageIcon) override { stop(Text); }
    int Ask(const QString&, const QString& Text, int, int, TMessageIcon) override { stop(Text); }

private:
    [[noreturn]] static void stop(QString Text) {
        Text.replace(QLatin1Char('\r'), QLatin1Char(' '));
        std::fprintf(stderr, "quire-timing: stopped: %s\n", Text.toUtf8().constData());
        std::fflush(stderr);
        std::_Exit(1);
    }
};

} // namespace

qint64 TTimingProbe::now() {
    timespec t{};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<qint64>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

void TTimingProbe::InstallFromEnvironment(bool ExpectText) {
    const QString request = qEnvironmentVariable("QUIRE_TIMING");
    if (request.isEmpty()) return;
    const QStringList parts = request.split(QLatin1Char(':'));
    const QString what = parts.value(0);
    if (!QStringList{"open", "end", "edit", "keys"}.contains(what)) {
        std::fprintf(stderr, "quire-timing: unknown measurement \"%s\"\n", qPrintable(request));
        return;
    }
    const bool edit = what == QLatin1String("edit");
    const int row = edit ? parts.value(1).toInt() : 0;
    const int delay = parts.value(edit ? 2 : 1).toInt();
    bool ok = false;
    qint64 start = qEnvironmentVariable("QUIRE_TIMING_T0").toLongLong(&ok);
    if (!ok) start = now();
    static TStopOnMessage stopOnMessage;
    SetMessages(&stopOnMessage);
    qApp->installEventFilter(new TTimingProbe(what, row, delay, ExpectText, start));
}

TTimingProbe::TTimingProbe(const QString& What, int Row, int Delay, bool ExpectText, qint64 Start)
    : QObject(qApp), FWhat(What), FRow(Row), FDelay(Delay), FExpectText(ExpectText), FStart(Start) {}

bool TTimingProbe::eventFilter(QObject* Watched, QEvent* Event) {
    if (Event->type() != QEvent::Paint || FShownPending || FStep == TStep::Done) return false;
    auto* editor = Watched->parent() ? qobject_cast<TEditor*>(Watched->parent()) : nullptr;
    if (!editor || Watched != editor->viewport()) return false;
    if (FStep == TStep::FirstScreen && FExpectText && editor->ScreenStrings().Count() == 0) return false;
    if (FStep == TStep::Action && editor != FEditor) return false;
    FEditor = editor;
    // The paint runs after this filter, and the window system gets the picture at the end of
    // the same event: a zero timer fires once both are done.
    FShownPending = true;
    QTimer::singleShot(0, this, [this] {
        FShownPending = false;
        screenShown();
    });
    return false;
}

void TTimingProbe::screenShown() {
    if (FStep == TStep::Action) finish(FWhat == QLatin1String("end") ? "end" : "edit", FActionStart);
    if (FWhat == QLatin1String("open") || !FEditor) finish("open", FStart);
    FStep = TStep::Done; // nothing counts until the action starts
    QTimer::singleShot(FDelay, this, [this] { act(); });
}

void TTimingProbe::act() {
    if (!FEditor) finish("open", FStart);
    TEditor& e = *FEditor;
    if (FWhat == QLatin1String("edit")) {
        // Going to the row is not timed: its screen is painted first.
        e.SetRowCol(FRow, 0);
        // Scrolled there directly: the view follows the caret only while the editor has the
        // focus, which a window without a window manager may never get.
        e.SetTopRow(std::max(0, FRow - 2));
        e.viewport()->repaint();
        QApplication::processEvents();
    }
    FStep = TStep::Action;
    FActionStart = now();
    if (FWhat == QLatin1String("keys")) {
        FStep = TStep::Done; // the keys measure themselves, not a screen
        typeKey();
        return;
    }
    const bool end = FWhat == QLatin1String("end");
    QKeyEvent press(QEvent::KeyPress, end ? Qt::Key_End : Qt::Key_X, end ? Qt::ControlModifier : Qt::NoModifier,
                    end ? QString() : QStringLiteral("x"));
    QApplication::sendEvent(&e, &press);
    FKeyTime = now() - FActionStart;
    e.viewport()->update();
}

void TTimingProbe::typeKey() {
    constexpr qint64 kMs = 1000000;
    const qint64 fired = now();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    if (FEditor) QApplication::sendEvent(FEditor, &press);
    const qint64 done = now();
    const qint64 wait = (FKeyDue > 0 ? fired - FKeyDue : 0) + done - fired;
    qint64& longest = FJournalSeen > 0 ? FLongestAfter : FLongestWait;
    longest = std::max(longest, wait);
    ++FKeys;
    if (FJournalSeen == 0 &&
        !QDir(TRecoveryKeeper::Folder()).entryList({QStringLiteral("*.journal")}, QDir::Files).isEmpty())
        FJournalSeen = done;
    if ((FJournalSeen > 0 && done - FJournalSeen > 1000 * kMs) || done - FActionStart > 120000 * kMs) {
        std::fprintf(stderr, "quire-timing: keys %.3f ms after %.3f ms count %d journal %s\n",
                     static_cast<double>(FLongestWait) / 1e6, static_cast<double>(FLongestAfter) / 1e6, FKeys,
                     FJournalSeen > 0 ? "written" : "never written");
        std::fflush(stderr);
        std::_Exit(FJournalSeen > 0 ? 0 : 1);
    }
    FKeyDue = done + 10 * kMs;
    QTimer::singleShot(10, Qt::PreciseTimer, this, [this] { typeKey(); });
}

void TTimingProbe::finish(const char* What, qint64 From) {
    // What the key did, besides the time: how long its handling took and where the caret went.
    QString detail;
    if (FStep == TStep::Action && FEditor)
        detail = QStringLiteral(" key %1 ms row %2 top %3")
                     .arg(static_cast<double>(FKeyTime) / 1e6, 0, 'f', 3)
                     .arg(FEditor->Row())
                     .arg(FEditor->TopRow());
    std::fprintf(stderr, "quire-timing: %s %.3f ms%s\n", What, static_cast<double>(now() - From) / 1e6,
                 qPrintable(detail));
    std::fflush(stderr);
    std::_Exit(0);
}

} // namespace quire
