// TJournalWriter: writes the recovery journals' files on a thread of their own, and makes them durable.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace quire {

// All file work of the journals happens here, in the order it was asked for, so that the
// window never waits for a disk: the window thread hands over bytes, this thread writes them.
//
// Files: a journal's generation G of id I is the file "I.G.journal" in the folder, mode 0600.
// It is written whole under a temporary name and renamed into place, so a journal file is
// never seen without its snapshot; edits are appended to it. While this process holds a
// journal file open it holds an exclusive flock on it: the kernel drops that lock when the
// process ends in any way (a crash, a kill, a power cut), so a later start knows a journal
// whose lock it can take has no writer any more.
//
// Durability: each file is fdatasync'ed at most once per SyncInterval, some time after it was
// written to; the generations a new one replaces, and journals handed over with Retire, are
// removed only once the new one has been synced. A write that fails marks the journal Failed:
// its later appends are skipped (they would build on bytes that are missing) until Begin
// writes a new generation.
class TJournalWriter {
public:
    using TClock = std::chrono::steady_clock;

    // Folder must exist and be the user's own.
    explicit TJournalWriter(std::string Folder, std::chrono::milliseconds SyncInterval = std::chrono::seconds(3));
    // Finishes every write asked for, syncs what is not yet synced, and closes the files,
    // keeping them (their locks go with them).
    ~TJournalWriter();
    TJournalWriter(const TJournalWriter&) = delete;
    TJournalWriter& operator=(const TJournalWriter&) = delete;

    const std::string& Folder() const noexcept { return FFolder; }
    static std::string FileName(const std::string& Id, uint64_t Generation);

    // A new generation of journal Id holding Bytes (magic, header, page and snapshot); the
    // one before it is removed once this one is on the disk. When OpenFrame is given, the
    // frame that starts there (the last one) is ended on this object's thread: its length and
    // checksum, a pass over a large snapshot that the window need not wait for.
    void Begin(const std::string& Id, uint64_t Generation, std::string Bytes,
               std::size_t OpenFrame = std::string::npos);
    // Bytes appended to the current generation of Id.
    void Append(const std::string& Id, std::string Bytes);
    // Every file of journal Id goes (a clean save, changes discarded).
    void Remove(const std::string& Id);
    // The journal file Path, open as Fd with its lock held, is replaced by journal Id: it is
    // removed once Id has a generation on the disk, or with Remove(Id); kept if neither comes.
    void Retire(const std::string& Id, std::string Path, int Fd);

    // A write of journal Id failed since its last Begin.
    bool Failed(const std::string& Id) const;
    // Called on the writing thread each time a write or a sync fails, so that a failure that
    // comes after the last change is heard of without waiting for another one (the handler
    // must only hand the news on to its own thread).
    void SetOnFailure(std::function<void()> Handler);
    // The last failure: the file and the system's error number (Path empty when none came),
    // cleared by reading it.
    struct TError {
        std::string Path;
        int Errno = 0;
    };
    TError TakeError();
    // Waits until everything asked for so far has been done (syncs that are not due yet
    // excepted).
    void WaitIdle();
    // Syncs done so far (for tests).
    int SyncCount() const;

private:
    struct TFile {
        int Fd = -1;
        std::string Path;
    };
    // A journal as this thread keeps it (touched by the writing thread only).
    struct TJournal {
        TFile Current;
        std::vector<TFile> Retired;
        bool Dirty = false;
        bool NewName = false; // the folder must be synced for the current file's name
        TClock::time_point LastSync{};
    };

    void post(std::function<void()> Task);
    void run();
    void begin(const std::string& Id, uint64_t Generation, const std::string& Bytes);
    void append(const std::string& Id, const std::string& Bytes);
    void remove(const std::string& Id);
    void syncDue(bool All);
    bool sync(TJournal& J);
    void closeAll();
    void fail(const std::string& Id, const std::string& What, int Error);
    std::string path(const std::string& Name) const { return FFolder + "/" + Name; }

    const std::string FFolder;
    const std::chrono::milliseconds FSyncInterval;
    std::map<std::string, TJournal> FJournals; // writing thread only
    int FFolderFd = -1;

    mutable std::mutex FMutex;
    std::condition_variable FWake;
    std::condition_variable FIdle;
    std::deque<std::function<void()>> FQueue;
    bool FBusy = false;
    bool FStop = false;
    std::set<std::string> FFailed;
    TError FError;
    std::function<void()> FOnFailure;
    int FSyncs = 0;
    std::thread FThread;
};

} // namespace quire
