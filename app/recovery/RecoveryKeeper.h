// TRecoveryKeeper: the recovery journals of the window's pages, and the journals left by earlier runs.
#pragma once

#include "JournalFormat.h"
#include "JournalReader.h"
#include "PageJournal.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace quire {

class TEditor;
class TJournalWriter;
class TPageJournal;

// A journal file opened for reading with its lock held (closed, and so unlocked, when it goes).
class TLockedFile {
public:
    TLockedFile() = default;
    explicit TLockedFile(int Fd) : FFd(Fd) {}
    TLockedFile(TLockedFile&& Other) noexcept : FFd(std::exchange(Other.FFd, -1)) {}
    TLockedFile& operator=(TLockedFile&& Other) noexcept;
    ~TLockedFile();
    int Fd() const noexcept { return FFd; }
    // Gives the descriptor (and the lock) away.
    int Release() noexcept { return std::exchange(FFd, -1); }

private:
    int FFd = -1;
};

// A journal whose writer is gone, found at start: the newest generation that can be read,
// and the other files of the same journal (older generations, or newer ones that cannot be
// read). All of them stay locked while this lives, so no other start offers them meanwhile.
// A journal none of whose files can be read has Problem, the reason in the user's words, and
// its newest file as Path.
struct TFoundJournal {
    QString Path;
    TLockedFile File;
    TJournalContent Summary;
    QString Problem;
    QDateTime LastChange;
    std::vector<std::pair<QString, TLockedFile>> Others;
};

// Every page's store is observed by a TPageJournal from the moment the page is made. A change
// arms a timer; when it fires (kFlushDelayMs later) each changed journal writes what it has
// gathered, so a journal is at most about a quarter of a second behind the text, and the
// writer makes it durable every few seconds. A snapshot of a page's rows is copied a slice at a
// time from a zero timer, so that keys are handled between the slices however large the page.
//
// The folder: $QUIRE_HOME/recovery when QUIRE_HOME is set, else $XDG_STATE_HOME/quire/recovery
// (an absolute XDG_STATE_HOME only), else ~/.local/state/quire/recovery. Folders it makes get
// mode 0700; the recovery folder must be a folder (not a link) of this user's, and is closed
// to others (0700) before use; journal files are 0600. A folder that cannot be used turns
// journaling off, and the user is told once.
//
// Which journals have no writer: every writer holds an exclusive flock on its journal files
// for as long as it has them open (see TJournalWriter). The kernel releases such a lock when
// the process ends however it ends, and never because of a pid that is used again; so a file
// whose lock a start can take was left by a writer that is gone, whatever runtime folder or
// session that writer ran in. Files are checked to be this user's own and 0600, and to be
// still the file at their name once locked (a writer that replaced it meanwhile is not
// mistaken for a dead one).
class TRecoveryKeeper : public QObject {
    Q_OBJECT

public:
    static constexpr int kFlushDelayMs = 250;
    // A failed write is told once the user has pressed no key for this long: a message box
    // that came up in the middle of typing would take the keys meant for the page.
    static constexpr int kTellAfterQuietMs = 1500;

    // PageOf gives the facts of the page whose main editor is the argument.
    explicit TRecoveryKeeper(std::function<journal::TJournalPage(TEditor*)> PageOf, QObject* Parent = nullptr);
    // Writes what is gathered and keeps the journals of pages still modified.
    ~TRecoveryKeeper() override;

    static QString Folder();
    // Makes the folder if need be; why it cannot be used, or empty.
    static QString PrepareFolder(const QString& Path);
    bool Active() const noexcept { return FWriter != nullptr; }

    // A page's main editor: its store is journaled from now on.
    void Attach(TEditor* Editor);
    // The page goes (saved, or its changes discarded before): its journal goes with it.
    void Detach(TEditor* Editor);
    // The page was saved, or its changes discarded: its journal goes.
    void Forget(TEditor* Editor);
    // The page's facts (code, line end, name) changed: they are written with the next flush.
    void Touch(TEditor* Editor);
    // Writes every change gathered so far (the timer does this by itself).
    void FlushNow();
    // Waits until the writer has done everything asked of it so far (tests).
    void WaitWritten();
    TPageJournal* JournalOf(TEditor* Editor) const;

    // The journals whose writers are gone, newest change first, those that cannot be read
    // among them (with their Problem: damaged, or larger than a page's journal can be, which
    // is not read at all). Temporary files of writers gone for more than a minute are removed.
    std::vector<TFoundJournal> FindOrphans();
    // The text and facts of a found journal, rebuilt (read piece by piece from its file).
    static TJournalContent Replay(const TFoundJournal& Found);
    // Why Content gives no text back, in the user's words; empty when it does.
    static QString Unreadable(const TJournalContent& Content);
    // Removes every file of Found.
    static void Discard(TFoundJournal& Found);
    // Moves every file of Found into the folder "kept" beside the journals, where no start
    // offers them again, and returns where its main file now is (its old path when it could
    // not be moved).
    static QString KeepAside(TFoundJournal& Found);
    // The page of Editor was recovered from Found: Found's files go once the page's own
    // journal is on the disk.
    void Supersede(TEditor* Editor, TFoundJournal&& Found);

    // Tells the user (through OnProblem) when the folder cannot be used, so that no journal
    // will be kept; the start calls it, before any typing the message could interrupt.
    void TellFolderProblem() {
        if (!FWriter && !FProblem.isEmpty()) tell(folderProblem());
    }

    // Called once with the message for the user when journals cannot be written (what is not
    // protected, and why): at the start, or after kTellAfterQuietMs without a key.
    std::function<void(const QString& Message)> OnProblem;

protected:
    // While a problem waits to be told: every key the application gets starts the wait anew.
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void flushAll(TPageJournal::TSnapshotPace Pace);
    // Copies the next slice of every snapshot being taken.
    void continueSnapshots();
    // A write failed on the writer's thread: the journals it failed start afresh.
    void writerFailed();
    QString folderProblem() const;
    // Keeps Why to be told once typing pauses (the first reason given wins).
    void reportProblem(const QString& Why);
    void tell(const QString& Why);

    std::function<journal::TJournalPage(TEditor*)> FPageOf;
    std::unique_ptr<TJournalWriter> FWriter;
    std::map<TEditor*, std::unique_ptr<TPageJournal>> FJournals;
    QTimer FTimer;
    QTimer FSnapshotTimer; // runs while a snapshot is being copied
    QTimer FTellTimer;     // runs while a problem waits to be told; each key starts it again
    QString FUntold;
    QString FProblem;
    bool FTold = false;
};

} // namespace quire
