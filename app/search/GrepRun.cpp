// TGrepRun: the walk of the folders and the worker threads of one search of files.
#include "GrepRun.h"

#include "PathCodec.h"

#include <QThread>
#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <dirent.h>
#include <fnmatch.h>
#include <mutex>
#include <optional>
#include <sys/stat.h>
#include <thread>

namespace quire {

namespace {

QString joined(const QString& Folder, const QByteArray& Name) {
    return (Folder.endsWith(u'/') ? Folder : Folder + u'/') + DecodePath(Name);
}

// Names in the order a file list shows them: letters of either case together ("a.txt" before
// "B.TXT"), names that differ only in case by their bytes.
bool namedBefore(const QByteArray& A, const QByteArray& B) {
    const int folded = qstricmp(A.constData(), B.constData());
    return folded != 0 ? folded < 0 : A < B;
}

} // namespace

bool TGrepRun::NameFits(const TGrepOptions& Options, const QByteArray& Name) {
    if (Options.Globs.isEmpty()) return true;
    const int flags = Options.GlobCaseless ? FNM_CASEFOLD : 0;
    for (const QString& glob : Options.Globs) {
        // "*.*" is every file, as users of other systems know it.
        if (Options.GlobCaseless && glob == QStringLiteral("*.*")) return true;
        if (fnmatch(EncodePath(glob).constData(), Name.constData(), flags) == 0) return true;
    }
    return false;
}

void TGrepRun::walkFolder(const QString& Path, std::vector<TEntry>& Entries) const {
    const QByteArray folder = EncodePath(Path);
    DIR* dir = opendir(folder.constData());
    if (!dir) {
        Entries.push_back({Path, TGrepSkip::Unreadable, TReadFailure::System, errno});
        return;
    }
    std::vector<QByteArray> names;
    while (const dirent* e = readdir(dir)) {
        const QByteArray name(e->d_name);
        if (name != "." && name != "..") names.push_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end(), namedBefore);
    std::vector<QString> subfolders;
    for (const QByteArray& name : names) {
        struct stat st {};
        const QByteArray full = folder + (folder.endsWith('/') ? "" : "/") + name;
        if (lstat(full.constData(), &st) != 0) continue;
        if (S_ISDIR(st.st_mode)) {
            if (FQuery.Options().Recursive) subfolders.push_back(joined(Path, name));
        } else if (S_ISREG(st.st_mode) && NameFits(FQuery.Options(), name)) {
            Entries.push_back({joined(Path, name)});
        }
    }
    for (const QString& sub : subfolders) walkFolder(sub, Entries);
}

void TGrepRun::walk(const QString& Path, std::vector<TEntry>& Entries) const {
    struct stat st {};
    if (stat(EncodePath(Path).constData(), &st) != 0) {
        Entries.push_back(
            {Path, TGrepSkip::Unreadable, errno == ENOENT ? TReadFailure::Missing : TReadFailure::System, errno});
        return;
    }
    if (!S_ISDIR(st.st_mode)) {
        Entries.push_back({Path});
        return;
    }
    if (FQuery.Options().NamedFolders)
        walkFolder(Path, Entries);
    else
        Entries.push_back({Path, TGrepSkip::Folder});
}

void TGrepRun::count(const TGrepFileResult& Result) {
    switch (Result.Skipped) {
    case TGrepSkip::None:
        ++FCounts.Files;
        FCounts.Hits += static_cast<int>(Result.Hits.size());
        if (!Result.Hits.empty()) ++FCounts.Matched;
        break;
    case TGrepSkip::Binary: ++FCounts.Binary; break;
    default: ++FCounts.Skipped; break;
    }
}

// The workers take the files in order and leave each result in its slot; this thread hands
// the results on in order as they come.
void TGrepRun::Run(const QStringList& Paths, int Threads) {
    std::vector<TEntry> entries;
    for (const QString& path : Paths) walk(path, entries);
    if (OnWalked) OnWalked(static_cast<int>(entries.size()));
    const std::size_t n = entries.size();
    std::vector<std::optional<TGrepFileResult>> done(n);
    std::mutex mutex;
    std::condition_variable filled;
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t i; !FCancelled && (i = next++) < n;) {
            const TEntry& e = entries[i];
            TGrepFileResult r;
            if (e.Problem == TGrepSkip::None) {
                r = FQuery.SearchFile(e.Path);
            } else {
                r.Path = e.Path;
                r.Skipped = e.Problem;
                r.Failure = e.Failure;
                r.Errno = e.Errno;
            }
            const std::lock_guard lock(mutex);
            done[i] = std::move(r);
            filled.notify_all();
        }
        const std::lock_guard lock(mutex);
        filled.notify_all();
    };
    const int threads = std::clamp(Threads > 0 ? Threads : QThread::idealThreadCount(), 1, 16);
    std::vector<std::thread> workers;
    for (int t = 0; t < threads && static_cast<std::size_t>(t) < n; ++t) workers.emplace_back(work);
    for (std::size_t i = 0; i < n; ++i) {
        std::optional<TGrepFileResult> r;
        {
            std::unique_lock lock(mutex);
            filled.wait(lock, [&] { return done[i].has_value() || FCancelled; });
            if (FCancelled) break; // results already found are not handed on either
            r = std::move(done[i]);
            done[i].reset();
        }
        count(*r);
        if (OnFile) OnFile(*r);
    }
    for (std::thread& w : workers) w.join();
}

} // namespace quire
