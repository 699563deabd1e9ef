// TJournalWriter: the journals' files, written and synced on a thread of their own.
#include "JournalWriter.h"

#include "JournalFormat.h"

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace quire {

namespace {

// Writes all of Bytes at the file's current end; the error number, or 0.
int writeAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return EIO;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

void closeFile(int fd) {
    if (fd >= 0) ::close(fd); // the lock goes with the last descriptor
}

} // namespace

TJournalWriter::TJournalWriter(std::string Folder, std::chrono::milliseconds SyncInterval)
    : FFolder(std::move(Folder)), FSyncInterval(SyncInterval) {
    FFolderFd = ::open(FFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    FThread = std::thread([this] { run(); });
}

TJournalWriter::~TJournalWriter() {
    {
        const std::lock_guard<std::mutex> lock(FMutex);
        FStop = true;
    }
    FWake.notify_all();
    FThread.join();
    closeFile(FFolderFd);
}

std::string TJournalWriter::FileName(const std::string& Id, uint64_t Generation) {
    return Id + "." + std::to_string(Generation) + ".journal";
}

void TJournalWriter::post(std::function<void()> Task) {
    {
        const std::lock_guard<std::mutex> lock(FMutex);
        FQueue.push_back(std::move(Task));
    }
    FWake.notify_all();
}

void TJournalWriter::Begin(const std::string& Id, uint64_t Generation, std::string Bytes, std::size_t OpenFrame) {
    post([this, Id, Generation, OpenFrame, bytes = std::move(Bytes)]() mutable {
        if (OpenFrame != std::string::npos) journal::EndFrame(bytes, OpenFrame);
        begin(Id, Generation, bytes);
    });
}

void TJournalWriter::Append(const std::string& Id, std::string Bytes) {
    post([this, Id, bytes = std::move(Bytes)] { append(Id, bytes); });
}

void TJournalWriter::Remove(const std::string& Id) {
    post([this, Id] { remove(Id); });
}

void TJournalWriter::Retire(const std::string& Id, std::string Path, int Fd) {
    post([this, Id, p = std::move(Path), Fd] { FJournals[Id].Retired.push_back(TFile{Fd, p}); });
}

bool TJournalWriter::Failed(const std::string& Id) const {
    const std::lock_guard<std::mutex> lock(FMutex);
    return FFailed.count(Id) > 0;
}

TJournalWriter::TError TJournalWriter::TakeError() {
    const std::lock_guard<std::mutex> lock(FMutex);
    return std::exchange(FError, TError());
}

void TJournalWriter::WaitIdle() {
    std::unique_lock<std::mutex> lock(FMutex);
    FIdle.wait(lock, [this] { return FQueue.empty() && !FBusy; });
}

int TJournalWriter::SyncCount() const {
    const std::lock_guard<std::mutex> lock(FMutex);
    return FSyncs;
}

void TJournalWriter::SetOnFailure(std::function<void()> Handler) {
    const std::lock_guard<std::mutex> lock(FMutex);
    FOnFailure = std::move(Handler);
}

void TJournalWriter::fail(const std::string& Id, const std::string& What, int Error) {
    std::function<void()> tell;
    {
        const std::lock_guard<std::mutex> lock(FMutex);
        FFailed.insert(Id);
        FError = TError{What, Error};
        tell = FOnFailure;
    }
    if (tell) tell();
}

// --- the writing thread ----------------------------------------------------------------

void TJournalWriter::run() {
    for (;;) {
        syncDue(false);
        // The earliest moment a written file is due to be synced.
        std::optional<TClock::time_point> due;
        for (const auto& [id, j] : FJournals)
            if (j.Dirty && j.Current.Fd >= 0) {
                const TClock::time_point t = j.LastSync + FSyncInterval;
                if (!due || t < *due) due = t;
            }
        std::function<void()> task;
        {
            std::unique_lock<std::mutex> lock(FMutex);
            FBusy = false;
            FIdle.notify_all();
            const auto ready = [this] { return !FQueue.empty() || FStop; };
            if (due)
                FWake.wait_until(lock, *due, ready);
            else
                FWake.wait(lock, ready);
            if (FQueue.empty()) {
                if (FStop) break;
                continue; // a sync came due
            }
            task = std::move(FQueue.front());
            FQueue.pop_front();
            FBusy = true;
        }
        task();
    }
    syncDue(true);
    closeAll();
    const std::lock_guard<std::mutex> lock(FMutex);
    FBusy = false;
    FIdle.notify_all();
}

void TJournalWriter::begin(const std::string& Id, uint64_t Generation, const std::string& Bytes) {
    const std::string name = path(FileName(Id, Generation));
    const std::string temp = name + ".tmp";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        fail(Id, temp, errno);
        return;
    }
    // The lock is taken before the first byte is written and before the name is visible.
    int error = ::fchmod(fd, 0600) != 0 || ::flock(fd, LOCK_EX) != 0 ? errno : writeAll(fd, Bytes);
    if (error == 0 && ::rename(temp.c_str(), name.c_str()) != 0) error = errno;
    if (error != 0) {
        ::unlink(temp.c_str());
        closeFile(fd);
        fail(Id, name, error);
        return;
    }
    TJournal& j = FJournals[Id];
    if (j.Current.Fd >= 0) j.Retired.push_back(j.Current);
    j.Current = TFile{fd, name};
    j.Dirty = true;
    j.NewName = true;
    j.LastSync = TClock::time_point{}; // a new generation is synced at once, so the old one can go
    const std::lock_guard<std::mutex> lock(FMutex);
    FFailed.erase(Id);
}

void TJournalWriter::append(const std::string& Id, const std::string& Bytes) {
    auto it = FJournals.find(Id);
    if (it == FJournals.end() || it->second.Current.Fd < 0 || Failed(Id)) return;
    TJournal& j = it->second;
    const off_t before = ::lseek(j.Current.Fd, 0, SEEK_END);
    const int error = before < 0 ? errno : writeAll(j.Current.Fd, Bytes);
    if (error != 0) {
        // What did get written is cut off again, so that the file ends with whole frames.
        if (before >= 0) [[maybe_unused]]
            const int cut = ::ftruncate(j.Current.Fd, before);
        fail(Id, j.Current.Path, error);
        return;
    }
    j.Dirty = true;
}

void TJournalWriter::remove(const std::string& Id) {
    auto it = FJournals.find(Id);
    if (it != FJournals.end()) {
        TJournal& j = it->second;
        j.Retired.push_back(j.Current);
        for (const TFile& f : j.Retired) {
            if (!f.Path.empty()) ::unlink(f.Path.c_str()); // removed before its lock goes
            closeFile(f.Fd);
        }
        FJournals.erase(it);
        // The removal reaches the disk too: a discarded journal must not come back.
        if (FFolderFd >= 0) ::fsync(FFolderFd);
    }
    const std::lock_guard<std::mutex> lock(FMutex);
    FFailed.erase(Id);
}

void TJournalWriter::syncDue(bool All) {
    const TClock::time_point now = TClock::now();
    for (auto& [id, j] : FJournals)
        if (j.Dirty && j.Current.Fd >= 0 && (All || now >= j.LastSync + FSyncInterval) && !sync(j))
            fail(id, j.Current.Path, errno);
}

bool TJournalWriter::sync(TJournal& J) {
    if (::fdatasync(J.Current.Fd) != 0) return false;
    if (J.NewName && FFolderFd >= 0 && ::fsync(FFolderFd) != 0) return false;
    J.NewName = false;
    J.Dirty = false;
    J.LastSync = TClock::now();
    // The new generation is on the disk: what it replaces can go.
    for (const TFile& f : J.Retired) {
        if (f.Path != J.Current.Path) ::unlink(f.Path.c_str());
        closeFile(f.Fd);
    }
    J.Retired.clear();
    const std::lock_guard<std::mutex> lock(FMutex);
    ++FSyncs;
    return true;
}

void TJournalWriter::closeAll() {
    for (auto& [id, j] : FJournals) {
        closeFile(j.Current.Fd);
        for (const TFile& f : j.Retired) closeFile(f.Fd);
    }
    FJournals.clear();
}

} // namespace quire
