// TGrepResults: a running search of files and the lines of its page of results.
#include "GrepResults.h"

#include "KanjiFile.h"
#include "PathCodec.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace quire {

namespace {

// Results reach the page at most this often (the first at once), so that a search with many
// results does not keep the window busy laying out its rows.
constexpr int kAppendEveryMs = 50;

// A path as one line shows it: control characters (a line end in a name) as U+FFFD.
QString shownPath(const QString& Path) {
    QString shown = DisplayPath(Path);
    for (QChar& c : shown)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) c = QChar(0xFFFD);
    return shown;
}

QString heading(const TGrepOptions& O, const QStringList& Paths) {
    QStringList shown;
    for (const QString& p : Paths) shown << shownPath(p);
    QStringList options;
    if (O.MatchCase) options << QStringLiteral("大文字/小文字を区別");
    if (O.WholeWord) options << QStringLiteral("単語単位");
    if (O.RegExp) options << QStringLiteral("正規表現");
    if (O.Recursive) options << QStringLiteral("サブフォルダーも");
    return QStringLiteral("「%1」をファイルから検索: %2（%3）%4")
        .arg(O.Pattern, shown.join(QStringLiteral("、")),
             O.Globs.isEmpty() ? QStringLiteral("すべてのファイル") : O.Globs.join(u';'),
             options.isEmpty() ? QString() : QStringLiteral(" [") + options.join(QStringLiteral("、")) + u']');
}

} // namespace

TGrepResults::TGrepResults(TGrepOptions Options, QWidget* Bar) : FQuery(std::move(Options)), FRun(FQuery), FBar(Bar) {
    FLater.setSingleShot(true);
    connect(&FLater, &QTimer::timeout, this, [this] { drain(); });
    if (FBar) {
        auto* layout = new QHBoxLayout(FBar);
        layout->setContentsMargins(4, 2, 4, 2);
        FProgress = new QLabel(FBar);
        FProgress->setObjectName(QStringLiteral("GrepProgress"));
        FProgress->setTextFormat(Qt::PlainText);
        FCancel = new QPushButton(QStringLiteral("キャンセル"), FBar);
        FCancel->setObjectName(QStringLiteral("Btn_GrepCancel"));
        layout->addWidget(FProgress, 1);
        layout->addWidget(FCancel);
        connect(FCancel, &QPushButton::clicked, this, [this] { Cancel(); });
    }
}

TGrepResults::~TGrepResults() {
    FRun.Cancel();
    if (FThread.joinable()) FThread.join();
    delete FBar.data();
}

void TGrepResults::Start(const QStringList& Paths) {
    FRunning = true;
    QString lines;
    addLine(lines, heading(FQuery.Options(), Paths));
    if (OnAppend) OnAppend(lines);
    FSinceAppend.start();
    showProgress();
    if (FBar) FBar->show();
    // The worker hands each result over and wakes this thread once for all it has queued.
    auto wake = [this] {
        QMetaObject::invokeMethod(
            this, [this] { drain(); }, Qt::QueuedConnection);
    };
    FRun.OnWalked = [this](int Total) {
        const std::lock_guard lock(FMutex);
        FTotal = Total;
    };
    FRun.OnFile = [this, wake](const TGrepFileResult& Result) {
        bool first = false;
        {
            const std::lock_guard lock(FMutex);
            first = FQueue.empty();
            FQueue.push_back(Result);
        }
        if (first) wake();
    };
    FThread = std::thread([this, Paths, wake] {
        FRun.Run(Paths);
        {
            const std::lock_guard lock(FMutex);
            FDone = true;
        }
        wake();
    });
}

void TGrepResults::Cancel() { FRun.Cancel(); }

const TGrepLink* TGrepResults::LinkAt(int Index) const {
    if (Index < 0 || Index >= static_cast<int>(FLinks.size())) return nullptr;
    const TGrepLink& link = FLinks[static_cast<std::size_t>(Index)];
    return link.Path.isEmpty() ? nullptr : &link;
}

void TGrepResults::addLine(QString& Lines, const QString& Line, TGrepLink Link) {
    Lines += Line;
    Lines += QStringLiteral("\r\n");
    FLinks.push_back(std::move(Link));
}

void TGrepResults::drain() {
    if (!FRunning) return;
    std::deque<TGrepFileResult> results;
    bool done = false;
    {
        const std::lock_guard lock(FMutex);
        done = FDone;
        // Once matches are shown, the next wait a little, gathering more.
        if (!done && FCounts.Hits > 0 && FSinceAppend.elapsed() < kAppendEveryMs) {
            if (!FLater.isActive()) FLater.start(kAppendEveryMs - static_cast<int>(FSinceAppend.elapsed()));
            return;
        }
        results.swap(FQueue);
    }
    QString lines;
    for (const TGrepFileResult& r : results) {
        FCurrent = r.Path;
        switch (r.Skipped) {
        case TGrepSkip::None:
            ++FCounts.Files;
            FCounts.Hits += static_cast<int>(r.Hits.size());
            if (!r.Hits.empty()) ++FCounts.Matched;
            for (const TGrepHit& hit : r.Hits)
                addLine(lines, HitLine(r, hit), {r.Path, hit.Line, hit.Column, hit.Length});
            break;
        case TGrepSkip::Binary: ++FCounts.Binary; break;
        default:
            ++FCounts.Skipped;
            addLine(lines, SkipNote(r));
            break;
        }
    }
    if (done) {
        FRunning = false;
        addLine(lines, CountsLine(FCounts, FRun.Cancelled()));
    }
    if (!lines.isEmpty() && OnAppend) OnAppend(lines);
    FSinceAppend.restart();
    if (done) {
        if (FBar) FBar->hide();
        if (OnFinished) OnFinished();
    } else {
        showProgress();
    }
}

void TGrepResults::showProgress() {
    if (!FProgress) return;
    int total = -1;
    {
        const std::lock_guard lock(FMutex);
        total = FTotal;
    }
    const int seen = FCounts.Files + FCounts.Binary + FCounts.Skipped;
    const QString files =
        total < 0 ? QStringLiteral("ファイルを探しています") : QStringLiteral("%1 / %2 ファイル").arg(seen).arg(total);
    FProgress->setText(QStringLiteral("検索中… %1、%2 件  %3").arg(files).arg(FCounts.Hits).arg(shownPath(FCurrent)));
}

QString TGrepResults::HitLine(const TGrepFileResult& Result, const TGrepHit& Hit) {
    QString text = Result.Lines[Hit.Text];
    // A long line is shown from a little before its match.
    const QList<uint> chars = text.toUcs4();
    if (chars.size() > MaxShownText) {
        const qsizetype from = std::clamp<qsizetype>(Hit.Column - 1 - MaxShownText / 5, 0, chars.size() - MaxShownText);
        text = (from > 0 ? QStringLiteral("…") : QString()) +
               QString::fromUcs4(reinterpret_cast<const char32_t*>(chars.constData()) + from, MaxShownText) +
               (from + MaxShownText < chars.size() ? QStringLiteral("…") : QString());
    }
    return QStringLiteral("%1(%2,%3)  [%4]: %5")
        .arg(shownPath(Result.Path))
        .arg(Hit.Line)
        .arg(Hit.Column)
        .arg(QString::fromStdString(Result.Code), text);
}

QString TGrepResults::SkipNote(const TGrepFileResult& Result) {
    const QString path = shownPath(Result.Path);
    switch (Result.Skipped) {
    case TGrepSkip::TooLarge:
        return QStringLiteral("%1: %2 MB を超えるため検索しませんでした").arg(path).arg(MaxTextFileSize >> 20);
    case TGrepSkip::Unreadable: {
        TRegularFileRead read;
        read.Failure = Result.Failure;
        read.Errno = Result.Errno;
        return path + QStringLiteral(": ") +
               ReadFailureMessage(Result.Path, read).section(QStringLiteral("\r\r"), 0, 0);
    }
    case TGrepSkip::Folder: return path + QStringLiteral(": フォルダーです");
    case TGrepSkip::None:
    case TGrepSkip::Binary: break;
    }
    return {};
}

QString TGrepResults::CountsLine(const TGrepCounts& Counts, bool Cancelled) {
    QString line = QStringLiteral("%1 件（%2 ファイル）が見つかりました。検索したファイル %3")
                       .arg(Counts.Hits)
                       .arg(Counts.Matched)
                       .arg(Counts.Files);
    if (Counts.Binary > 0) line += QStringLiteral("、バイナリのため除いたファイル %1").arg(Counts.Binary);
    if (Counts.Skipped > 0) line += QStringLiteral("、検索できなかったファイル %1").arg(Counts.Skipped);
    if (Cancelled) line += QStringLiteral("（キャンセルしました）");
    return line;
}

} // namespace quire
