// TPageJournal: the recovery journal of one page: its store's changes turned into records.
#pragma once

#include "JournalFormat.h"
#include "SnapshotCopy.h"
#include "StoreObserver.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quire {

class TJournalWriter;

// The edit a page journal is gathering: rows Start..Start+Deleted-1 whose text was OldText
// have become Inserted rows with NewText (Wrapped rows ending at Breaks, the last one
// LastAttribute). Outside the journal's class, so that its optional member can be made
// while that class is still being defined (clang requires it).
struct TOpenJournalEdit {
    int Start = 0;
    int Deleted = 0;
    int Inserted = 0;
    std::string OldText;
    std::string NewText;
    std::vector<uint64_t> Breaks;
    TRowAttribute LastAttribute = TRowAttribute::LineEnd;
};

// Listens to a page's store. While the page is modified its journal is a file (see
// TJournalWriter) that holds a snapshot of the rows and, after it, the edits since.
//
// The work per keystroke is small and touches only the rows the edit replaced: consecutive
// edits of the same rows (typing into one line) are merged into one record, kept in memory
// as the old and the new text of those rows. Flush, called by the keeper some time after a
// change, encodes what has gathered and hands it to the writer; it takes a fresh snapshot
// (a new generation of the file) only when the journal has none, when the rows were made
// anew, when a write failed, when the edits written since the snapshot have grown past the
// text's size (and at least MinLogBytes), or when replaying them would build rows of more
// than kBuiltFactor times that (each record's new rows are built whole, so short records on
// a long line cost the line each), so a large page is never rewritten per keystroke and
// reading a journal back costs a small multiple of its text.
//
// A snapshot is the rows as they were when it began. Flush may take it at once, or (InSteps)
// only begin it: ContinueSnapshot then copies a slice of the rows per call, between keys, while
// the edits made meanwhile are recorded as usual and follow the snapshot in the new file.
class TPageJournal : public TStoreObserver {
public:
    enum class TSnapshotPace { AtOnce, InSteps };
    // The bytes of rows one ContinueSnapshot copies: about a millisecond's work.
    static constexpr std::size_t kSnapshotSlice = std::size_t(2) << 20;
    // The pieces the rows still to copy may be split into before the rest is copied at once.
    static constexpr std::size_t kMaxCopyPieces = 1024;

    static constexpr uint64_t kMinLogBytes = 64 * 1024;
    static constexpr uint64_t kBuiltFactor = 4;

    // RetryDelay: how long after a failed write the next snapshot waits.
    TPageJournal(TJournalWriter& Writer, std::string Id,
                 std::chrono::milliseconds RetryDelay = std::chrono::seconds(10));

    void RowsReplaced(const TEditorScreenStrings& Rows, int Row, int Deleted, int Inserted,
                      std::string_view RemovedText) override;
    void TextReplaced(const TEditorScreenStrings& Rows) override;
    // The edits between these two become one record (a set of parts), not one each.
    void ChangesBegun(const TEditorScreenStrings& Rows) override;
    void ChangesEnded(const TEditorScreenStrings& Rows) override;
    void RowsChanging(const TEditorScreenStrings& Rows, int Row, int Count) override;

    // Run when the first change after a Flush comes (the keeper arms its timer).
    std::function<void()> OnDirty;
    bool Dirty() const noexcept { return FDirty; }
    // The page's facts changed: the next Flush writes them.
    void Touch() { markDirty(); }
    const std::string& Id() const noexcept { return FId; }

    // Writes what changed since the last Flush. A page that is not Modified keeps no journal.
    void Flush(const TEditorScreenStrings& Rows, bool Modified, const journal::TJournalPage& Page,
               TSnapshotPace Pace = TSnapshotPace::AtOnce);
    // A snapshot is being copied (begun by Flush InSteps).
    bool Copying() const noexcept { return FCopy != nullptr; }
    // Copies the next Budget bytes of the snapshot being taken; when it is complete, hands it
    // and the edits made since it began to the writer.
    void ContinueSnapshot(const TEditorScreenStrings& Rows, std::size_t Budget = kSnapshotSlice);
    // The page was saved, or its changes discarded: its journal goes.
    void Forget();
    // The journal file Path (open as Fd, its lock held) is what this page was recovered
    // from: it goes once this journal is on the disk, or with Forget.
    void Supersede(std::string Path, int Fd);

    // Bytes written since the last snapshot, and the text's size as the journal counts it.
    uint64_t LogBytes() const noexcept { return FLogBytes; }
    // Bytes of rows that replaying the records since the snapshot builds.
    uint64_t BuiltBytes() const noexcept { return FBuiltBytes; }
    uint64_t TextBytes() const noexcept { return FTextBytes; }
    uint64_t Generation() const noexcept { return FGeneration; }

private:
    void markDirty();
    void closeEdit();
    void startGeneration(const TEditorScreenStrings& Rows, const journal::TJournalPage& Page);
    void finishGeneration();
    // Hands the edit records gathered to the writer.
    void appendPending();
    bool snapshotDue() const;

    TJournalWriter& FWriter;
    const std::string FId;
    uint64_t FGeneration = 0;
    // No file yet, or the rows were made anew: the next Flush writes a snapshot, and edits
    // before it need no record.
    bool FNeedSnapshot = true;
    bool FOpen = false; // a generation was begun and not removed
    bool FDirty = false;
    std::optional<TOpenJournalEdit> FEdit;
    // The set of edits being gathered between ChangesBegun and ChangesEnded: its parts
    // encoded so far, how many, and the check of their old text in turn.
    struct TOpenSet {
        std::string Parts;
        uint64_t Count = 0;
        uint32_t OldCrc = 0;
    };
    std::optional<TOpenSet> FSet;
    std::unique_ptr<TSnapshotCopy> FCopy; // the snapshot being taken
    std::string FPending;                 // encoded edit records not yet handed to the writer
    journal::TJournalPage FPage;
    uint64_t FLogBytes = 0;
    uint64_t FBuiltBytes = 0;
    uint64_t FTextBytes = 0;
    const std::chrono::milliseconds FRetryDelay;
    // After a failed snapshot the next one waits a while, so a full disk does not turn each
    // flush of a large page into a copy of its whole text.
    std::chrono::steady_clock::time_point FRetryAfter{};
};

} // namespace quire
