// TGrepRun: one search of files and folders: the folders walked, the files searched by worker
// threads, each file's result handed on in the order of the walk.
#pragma once

#include "GrepQuery.h"

#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>

namespace quire {

// What a run found, counted as it goes.
struct TGrepCounts {
    int Files = 0;   // searched
    int Matched = 0; // files with a match
    int Hits = 0;    // matches
    int Binary = 0;  // skipped as binary
    int Skipped = 0; // too large, unreadable, or folders not searched
};

class TGrepRun {
public:
    explicit TGrepRun(const TGrepQuery& Query) : FQuery(Query) {}

    // Called on Run's thread: the number of files the walk found (before the first result),
    // then each file's result, skipped ones included, in the walk's order: the paths named
    // in order, a folder's entries sorted by name, its files before its subfolders.
    std::function<void(int Files)> OnWalked;
    std::function<void(const TGrepFileResult& Result)> OnFile;

    // Searches Paths on the calling thread and Threads workers (0: one per processor); returns
    // when every file is done or the run was cancelled. A folder's symbolic links, devices and
    // FIFOs are passed over; links named in Paths are followed.
    void Run(const QStringList& Paths, int Threads = 0);
    // From any thread: no file is started after this, and Run returns soon.
    void Cancel() noexcept { FCancelled = true; }
    bool Cancelled() const noexcept { return FCancelled; }
    const TGrepCounts& Counts() const noexcept { return FCounts; }

    // Whether a file name (its bytes) fits one of the query's name patterns.
    static bool NameFits(const TGrepOptions& Options, const QByteArray& Name);

private:
    struct TEntry {
        QString Path;
        TGrepSkip Problem = TGrepSkip::None; // none: a file to search
        TReadFailure Failure = TReadFailure::None;
        int Errno = 0;
    };
    void walk(const QString& Path, std::vector<TEntry>& Entries) const;
    void walkFolder(const QString& Path, std::vector<TEntry>& Entries) const;
    void count(const TGrepFileResult& Result);

    const TGrepQuery& FQuery;
    std::atomic<bool> FCancelled{false};
    TGrepCounts FCounts;
};

} // namespace quire
