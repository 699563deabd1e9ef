// TRecoveryKeeper: the pages' journals, their folder, and the journals earlier runs left behind.
#include "RecoveryKeeper.h"

#include "Editor.h"
#include "JournalWriter.h"
#include "PageJournal.h"
#include "PathCodec.h"
#include "SafeFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quire {

namespace {

// Temporary files of a writer that is gone are removed only after this long, so that a
// writer that has just made one and not yet locked it is never robbed of it.
constexpr qint64 kStaleTempSeconds = 60;

QString systemError() { return SystemErrorText(errno); }

// A page's text is at most 2 GB (its offsets are 32-bit); its journal holds a snapshot of it
// and, before the next snapshot, at most about as much again in records. A file larger than
// that is no journal of a page and is not read.
constexpr uint64_t kMaxJournalSize = 3 * (uint64_t(1) << 31);

// The file open as Fd, as a journal source.
journal::TJournalSource sourceOf(int fd) {
    struct stat st {};
    return journal::TJournalSource(fd, ::fstat(fd, &st) == 0 ? static_cast<uint64_t>(st.st_size) : 0);
}

// Why a journal file cannot give its text back, in the user's words; empty when it can.
QString unreadable(const TJournalContent& c) {
    if (c.OutOfMemory) return QStringLiteral("記録を読むためのメモリーが足りません");
    if (!c.Usable) return QStringLiteral("記録が壊れています");
    return {};
}

// The summary of the journal file open as Fd, or why it cannot be read.
TJournalContent summaryOf(int fd, QString& problem) {
    const journal::TJournalSource source = sourceOf(fd);
    if (source.Size() > kMaxJournalSize) {
        problem = QStringLiteral("記録が大きすぎます（%1 MB。ページの記録は %2 MB を超えません）")
                      .arg(source.Size() >> 20)
                      .arg(kMaxJournalSize >> 20);
        return {};
    }
    TJournalContent c = TJournalReader::Summary(source);
    problem = unreadable(c);
    return c;
}

// One file of the folder that looks like a journal's, opened and locked: its writer is gone.
struct Candidate {
    QString Path;
    QString Id;
    uint64_t Generation = 0;
    bool Temporary = false;
    TLockedFile File;
    QDateTime Modified;
};

// Opens Path and takes its lock; nothing when the file is not this user's own journal file
// (0600, a regular file) or its writer still holds it.
std::optional<Candidate> lockCandidate(const QString& Path) {
    static const QRegularExpression name(QStringLiteral("^([0-9A-Za-z-]+)\\.([0-9]+)\\.journal(\\.tmp)?$"));
    const QRegularExpressionMatch m = name.match(QFileInfo(Path).fileName());
    if (!m.hasMatch()) return std::nullopt;
    const QByteArray path = QFile::encodeName(Path);
    TLockedFile file(::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    struct stat st {
    }, now{};
    if (file.Fd() < 0 || ::fstat(file.Fd(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::getuid() ||
        (st.st_mode & 077) != 0)
        return std::nullopt;
    if (::flock(file.Fd(), LOCK_EX | LOCK_NB) != 0) return std::nullopt; // its writer is alive
    // A writer that replaced the file just now released the old one's lock: that is not a
    // dead writer.
    if (::stat(path.constData(), &now) != 0 || now.st_ino != st.st_ino || now.st_dev != st.st_dev) return std::nullopt;
    Candidate c;
    c.Path = Path;
    c.Id = m.captured(1);
    c.Generation = m.captured(2).toULongLong();
    c.Temporary = m.capturedLength(3) > 0;
    c.File = std::move(file);
    c.Modified = QDateTime::fromMSecsSinceEpoch(qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000);
    return c;
}

// The journal of one id whose files (newest generation first) are Files: the newest
// generation that can be read is offered and the others go with it. When none can, the
// journal is offered all the same, with the reason, so that it is never removed without the
// user having seen it.
TFoundJournal newestReadable(std::vector<Candidate>& files) {
    TFoundJournal f;
    bool newest = true;
    for (Candidate& c : files) {
        if (f.Path.isEmpty()) {
            QString problem;
            TJournalContent summary = summaryOf(c.File.Fd(), problem);
            if (problem.isEmpty() || newest) { // the one offered, or the newest for its reason
                f.Summary = std::move(summary);
                f.Problem = problem;
                f.LastChange = c.Modified;
            }
            newest = false;
            if (problem.isEmpty()) {
                f.Path = c.Path;
                f.File = std::move(c.File);
                continue;
            }
        }
        f.Others.emplace_back(c.Path, std::move(c.File));
    }
    if (f.Path.isEmpty()) { // the newest file stands for the journal
        f.Path = f.Others.front().first;
        f.File = std::move(f.Others.front().second);
        f.Others.erase(f.Others.begin());
    }
    return f;
}

void unlinkFile(const QString& path) { ::unlink(QFile::encodeName(path).constData()); }

} // namespace

TLockedFile& TLockedFile::operator=(TLockedFile&& Other) noexcept {
    if (this != &Other) {
        if (FFd >= 0) ::close(FFd);
        FFd = std::exchange(Other.FFd, -1);
    }
    return *this;
}

TLockedFile::~TLockedFile() {
    if (FFd >= 0) ::close(FFd);
}

TRecoveryKeeper::TRecoveryKeeper(std::function<journal::TJournalPage(TEditor*)> PageOf, QObject* Parent)
    : QObject(Parent), FPageOf(std::move(PageOf)) {
    FTimer.setSingleShot(true);
    connect(&FTimer, &QTimer::timeout, this, [this] { flushAll(TPageJournal::TSnapshotPace::InSteps); });
    FSnapshotTimer.setSingleShot(true);
    connect(&FSnapshotTimer, &QTimer::timeout, this, [this] { continueSnapshots(); });
    FTellTimer.setSingleShot(true);
    connect(&FTellTimer, &QTimer::timeout, this, [this] { tell(FUntold); });
    const QString folder = Folder();
    FProblem = PrepareFolder(folder);
    if (!FProblem.isEmpty()) return;
    FWriter = std::make_unique<TJournalWriter>(QFile::encodeName(folder).toStdString());
    // A write that fails after the last key is retried and told without waiting for a key.
    FWriter->SetOnFailure([this] {
        QMetaObject::invokeMethod(
            this, [this] { writerFailed(); }, Qt::QueuedConnection);
    });
}

void TRecoveryKeeper::writerFailed() {
    for (auto& [editor, journal] : FJournals)
        if (FWriter->Failed(journal->Id())) journal->Touch(); // its next flush starts afresh
    if (!FTimer.isActive()) FTimer.start(kFlushDelayMs);
}

TRecoveryKeeper::~TRecoveryKeeper() {
    FTimer.stop();
    flushAll(TPageJournal::TSnapshotPace::AtOnce);
    for (auto& [editor, journal] : FJournals) editor->ScreenStrings().SetObserver(nullptr);
    FJournals.clear();
    FWriter.reset(); // finishes the writes and syncs
}

QString TRecoveryKeeper::Folder() {
    const QString home = qEnvironmentVariable("QUIRE_HOME");
    if (!home.isEmpty()) return QDir::cleanPath(home + QStringLiteral("/recovery"));
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || !QDir::isAbsolutePath(state)) state = QDir::homePath() + QStringLiteral("/.local/state");
    return QDir::cleanPath(state + QStringLiteral("/quire/recovery"));
}

QString TRecoveryKeeper::PrepareFolder(const QString& Path) {
    // Each missing folder on the way is made closed to others from the start.
    const QStringList parts = QDir::cleanPath(Path).split(QLatin1Char('/'));
    QString at;
    for (const QString& part : parts) {
        at += part;
        if (!at.isEmpty() && ::mkdir(QFile::encodeName(at).constData(), 0700) != 0 && errno != EEXIST)
            return QStringLiteral("フォルダー \"%1\" を作れません: %2").arg(at, systemError());
        at += QLatin1Char('/');
    }
    const QByteArray name = QFile::encodeName(Path);
    struct stat st {};
    if (::lstat(name.constData(), &st) != 0)
        return QStringLiteral("フォルダー \"%1\" を調べられません: %2").arg(Path, systemError());
    if (!S_ISDIR(st.st_mode)) return QStringLiteral("\"%1\" はフォルダーではありません").arg(Path);
    if (st.st_uid != ::getuid())
        return QStringLiteral("フォルダー \"%1\" は別のユーザー（UID %2）のものです").arg(Path).arg(st.st_uid);
    if ((st.st_mode & 0777) != 0700 && ::chmod(name.constData(), 0700) != 0)
        return QStringLiteral("フォルダー \"%1\" をほかのユーザーから閉じられません: %2").arg(Path, systemError());
    return {};
}

void TRecoveryKeeper::Attach(TEditor* Editor) {
    if (!FWriter || FJournals.count(Editor)) return;
    // Unique among the journals of every run: the moment, the process and a count of the
    // process's own (one process may have had several windows).
    static std::atomic<int> count{0};
    const QString id = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss-")) +
                       QString::number(::getpid()) + QLatin1Char('-') + QString::number(++count);
    auto journal = std::make_unique<TPageJournal>(*FWriter, id.toStdString());
    journal->OnDirty = [this] {
        if (!FTimer.isActive()) FTimer.start(kFlushDelayMs);
    };
    Editor->ScreenStrings().SetObserver(journal.get());
    FJournals[Editor] = std::move(journal);
}

void TRecoveryKeeper::Detach(TEditor* Editor) {
    auto it = FJournals.find(Editor);
    if (it == FJournals.end()) return;
    Editor->ScreenStrings().SetObserver(nullptr);
    it->second->Forget();
    FJournals.erase(it);
}

void TRecoveryKeeper::Forget(TEditor* Editor) {
    if (TPageJournal* j = JournalOf(Editor)) j->Forget();
}

void TRecoveryKeeper::Touch(TEditor* Editor) {
    if (TPageJournal* j = JournalOf(Editor)) j->Touch();
}

TPageJournal* TRecoveryKeeper::JournalOf(TEditor* Editor) const {
    auto it = FJournals.find(Editor);
    return it == FJournals.end() ? nullptr : it->second.get();
}

void TRecoveryKeeper::FlushNow() {
    FTimer.stop();
    flushAll(TPageJournal::TSnapshotPace::AtOnce);
}

void TRecoveryKeeper::continueSnapshots() {
    bool again = false;
    for (auto& [editor, journal] : FJournals) {
        if (!journal->Copying()) continue;
        journal->ContinueSnapshot(editor->ScreenStrings());
        again = again || journal->Copying();
    }
    if (again) FSnapshotTimer.start(0);
}

void TRecoveryKeeper::WaitWritten() {
    if (FWriter) FWriter->WaitIdle();
}

void TRecoveryKeeper::flushAll(TPageJournal::TSnapshotPace Pace) {
    bool again = false, copying = false;
    for (auto& [editor, journal] : FJournals) {
        if (Pace == TPageJournal::TSnapshotPace::AtOnce) journal->ContinueSnapshot(editor->ScreenStrings(), SIZE_MAX);
        if (journal->Dirty()) journal->Flush(editor->ScreenStrings(), editor->Modified(), FPageOf(editor), Pace);
        again = again || journal->Dirty();
        copying = copying || journal->Copying();
    }
    if (copying && !FSnapshotTimer.isActive()) FSnapshotTimer.start(0);
    if (FWriter) {
        const TJournalWriter::TError error = FWriter->TakeError();
        if (!error.Path.empty())
            reportProblem(
                QStringLiteral(
                    "復元用の記録を書けません。最後に記録できた後の変更（これから入力するものも含めて）は、"
                    "Quire が異常終了すると復元できません。書き込めるようになれば、記録は自動で"
                    "書き直します。ファイルに保存した内容は失われません。\r\rファイル \"%1\" に書き込めません: %2")
                    .arg(DisplayPath(DecodePath(QByteArray::fromStdString(error.Path))), SystemErrorText(error.Errno)));
    } else if (!FJournals.empty() || !FProblem.isEmpty()) {
        reportProblem(folderProblem());
    }
    if (again && !FTimer.isActive()) FTimer.start(kFlushDelayMs);
}

QString TRecoveryKeeper::folderProblem() const {
    return QStringLiteral("復元用の記録を書けません。編集は続けられますが、Quire "
                          "が異常終了したときにこれからの変更を復元できません。\r\r") +
           FProblem;
}

void TRecoveryKeeper::reportProblem(const QString& Why) {
    if (FTold || Why.isEmpty() || FTellTimer.isActive()) return;
    FUntold = Why;
    FTellTimer.start(kTellAfterQuietMs);
    qApp->installEventFilter(this);
}

bool TRecoveryKeeper::eventFilter(QObject* Watched, QEvent* Event) {
    const QEvent::Type t = Event->type();
    if (t == QEvent::KeyPress || t == QEvent::InputMethod) FTellTimer.start(kTellAfterQuietMs);
    return QObject::eventFilter(Watched, Event);
}

void TRecoveryKeeper::tell(const QString& Why) {
    if (FTold) return;
    FTold = true;
    FTellTimer.stop();
    qApp->removeEventFilter(this);
    if (OnProblem) OnProblem(Why);
}

std::vector<TFoundJournal> TRecoveryKeeper::FindOrphans() {
    std::vector<TFoundJournal> found;
    const QString folder = Folder();
    if (!QFileInfo(folder).isDir()) return found;
    std::map<QString, std::vector<Candidate>> byId;
    const QDateTime now = QDateTime::currentDateTime();
    for (const QString& entry : QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name)) {
        std::optional<Candidate> c = lockCandidate(folder + QLatin1Char('/') + entry);
        if (!c) continue;
        if (c->Temporary) {
            if (c->Modified.secsTo(now) > kStaleTempSeconds) unlinkFile(c->Path);
            continue;
        }
        byId[c->Id].push_back(std::move(*c));
    }
    for (auto& [id, files] : byId) {
        std::sort(files.begin(), files.end(),
                  [](const Candidate& a, const Candidate& b) { return a.Generation > b.Generation; });
        found.push_back(newestReadable(files));
    }
    std::sort(found.begin(), found.end(),
              [](const TFoundJournal& a, const TFoundJournal& b) { return a.LastChange > b.LastChange; });
    return found;
}

TJournalContent TRecoveryKeeper::Replay(const TFoundJournal& Found) {
    return TJournalReader::Replay(sourceOf(Found.File.Fd()));
}

QString TRecoveryKeeper::Unreadable(const TJournalContent& Content) { return unreadable(Content); }

QString TRecoveryKeeper::KeepAside(TFoundJournal& Found) {
    // Moved while still locked, so no other start can be reading them as they go.
    const QString kept = Folder() + QStringLiteral("/kept");
    QString moved = Found.Path;
    if (::mkdir(QFile::encodeName(kept).constData(), 0700) == 0 || errno == EEXIST) {
        auto move = [&kept](const QString& path) {
            const QString to = kept + QLatin1Char('/') + QFileInfo(path).fileName();
            return ::rename(QFile::encodeName(path).constData(), QFile::encodeName(to).constData()) == 0 ? to : path;
        };
        moved = move(Found.Path);
        for (const auto& [path, file] : Found.Others) move(path);
    }
    Found.File = TLockedFile();
    Found.Others.clear();
    return moved;
}

void TRecoveryKeeper::Discard(TFoundJournal& Found) {
    // Removed while still locked, so no other start can be reading them as they go.
    if (!Found.Path.isEmpty()) unlinkFile(Found.Path);
    for (const auto& [path, file] : Found.Others) unlinkFile(path);
    Found.File = TLockedFile();
    Found.Others.clear();
}

void TRecoveryKeeper::Supersede(TEditor* Editor, TFoundJournal&& Found) {
    TPageJournal* j = JournalOf(Editor);
    if (!j) return; // without journaling the old journal stays for a later start
    j->Supersede(QFile::encodeName(Found.Path).toStdString(), Found.File.Release());
    for (auto& [path, file] : Found.Others) j->Supersede(QFile::encodeName(path).toStdString(), file.Release());
    Found.Others.clear();
}

} // namespace quire
