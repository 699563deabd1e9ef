// TGrepResults: a search of files running for a page of results: the search on a thread of
// its own, its results turned into the page's lines as they come, the progress line with its
// キャンセル button, and where each line's match is.
#pragma once

#include "GrepRun.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class QLabel;
class QPushButton;
class QWidget;

namespace quire {

// The place a line of the results names: the file, and the match's line, column and length
// (line and column from 1, the column and the length in characters). Path is empty for the
// other lines (the heading, notes, the counts).
struct TGrepLink {
    QString Path;
    int Line = 0;
    int Column = 0;
    int Length = 0;
};

class TGrepResults : public QObject {
    Q_OBJECT

public:
    // The longest text of a line shown after the place, in characters: a longer line is shown
    // around its match.
    static constexpr int MaxShownText = 500;

    // Bar: the page's widget the progress line goes into (shown while the search runs).
    TGrepResults(TGrepOptions Options, QWidget* Bar);
    // Stops the search and waits for its thread.
    ~TGrepResults() override;

    // Lines for the page, each ending with a line end; the first call brings the heading.
    std::function<void(const QString& Lines)> OnAppend;
    // The search has ended (done or cancelled) and the counts line is on the page.
    std::function<void()> OnFinished;

    // Starts searching Paths.
    void Start(const QStringList& Paths);
    void Cancel();
    bool Running() const noexcept { return FRunning; }
    // The place named by line Index of the page (0-based), or null.
    const TGrepLink* LinkAt(int Index) const;
    const TGrepCounts& Counts() const noexcept { return FCounts; }
    const TGrepOptions& Options() const noexcept { return FQuery.Options(); }

    // The line of one match: "path(line,column)  [code]: text".
    static QString HitLine(const TGrepFileResult& Result, const TGrepHit& Hit);
    // The note for a file that was not searched (none for a binary one, which is only counted).
    static QString SkipNote(const TGrepFileResult& Result);
    // The last line: the counts (and whether the search was cancelled).
    static QString CountsLine(const TGrepCounts& Counts, bool Cancelled);

private:
    void drain();
    void addLine(QString& Lines, const QString& Line, TGrepLink Link = {});
    void showProgress();

    TGrepQuery FQuery;
    TGrepRun FRun;
    std::thread FThread;
    std::mutex FMutex;
    std::deque<TGrepFileResult> FQueue; // guarded by FMutex, as are the two below
    int FTotal = -1;
    bool FDone = false;
    bool FRunning = false;
    std::vector<TGrepLink> FLinks;
    TGrepCounts FCounts;
    QString FCurrent;
    QElapsedTimer FSinceAppend;
    QTimer FLater;
    QPointer<QWidget> FBar;
    QLabel* FProgress = nullptr;
    QPushButton* FCancel = nullptr;
};

} // namespace quire
