// TPageJournal: a page's changes turned into journal records.
#include "PageJournal.h"

#include "EditorScreenStrings.h"
#include "JournalWriter.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <unistd.h>

namespace quire {

using namespace journal;

namespace {

constexpr std::string_view kCrLf = "\r\n";

int64_t nowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

} // namespace

TPageJournal::TPageJournal(TJournalWriter& Writer, std::string Id, std::chrono::milliseconds RetryDelay)
    : FWriter(Writer), FId(std::move(Id)), FRetryDelay(RetryDelay) {}

void TPageJournal::markDirty() {
    if (FDirty) return;
    FDirty = true;
    if (OnDirty) OnDirty();
}

void TPageJournal::RowsChanging(const TEditorScreenStrings& Rows, int Row, int Count) {
    if (!FCopy) return;
    // Each change may split the rows still to copy, and each looks at every piece of them, so a
    // replace-all of many hits would cost the square of its hits. Past a bound the rest is
    // copied at once (the rows are still those of the picture), as a snapshot always was.
    if (FCopy->Pieces() >= kMaxCopyPieces)
        ContinueSnapshot(Rows, SIZE_MAX);
    else
        FCopy->RowsChanging(Rows, Row, Count);
}

void TPageJournal::RowsReplaced(const TEditorScreenStrings& Rows, int Row, int Deleted, int Inserted,
                                std::string_view RemovedText) {
    if (FCopy && !FCopy->RowsReplaced(Row, Deleted, Inserted)) {
        FCopy.reset(); // a fresh snapshot follows; the records so far go to the file before
        FNeedSnapshot = true;
    }
    if (FNeedSnapshot) { // the coming snapshot holds this edit
        markDirty();
        return;
    }
    // Typing into one line replaces the rows the edit before made: the two become one record.
    if (!FEdit || Row != FEdit->Start || Deleted != FEdit->Inserted) {
        closeEdit();
        FEdit.emplace();
        FEdit->Start = Row;
        FEdit->Deleted = Deleted;
        FEdit->OldText.assign(RemovedText);
    }
    TOpenJournalEdit& e = *FEdit;
    e.Inserted = Inserted;
    e.NewText.clear();
    e.Breaks.clear();
    e.LastAttribute = TRowAttribute::LineEnd;
    for (int r = Row; r < Row + Inserted; ++r) {
        e.NewText += Rows.Get(r);
        e.LastAttribute = Rows.RowAttribute(r);
        if (e.LastAttribute == TRowAttribute::LineEnd)
            e.NewText += kCrLf;
        else if (e.LastAttribute == TRowAttribute::Wrapped && r + 1 < Row + Inserted)
            e.Breaks.push_back(e.NewText.size());
    }
    markDirty();
}

void TPageJournal::TextReplaced(const TEditorScreenStrings&) {
    FCopy.reset(); // a picture of rows that are gone
    closeEdit();   // kept for the file the snapshot replaces
    FNeedSnapshot = true;
    markDirty();
}

void TPageJournal::ChangesBegun(const TEditorScreenStrings&) {
    closeEdit();
    FSet.emplace();
}

void TPageJournal::ChangesEnded(const TEditorScreenStrings&) {
    closeEdit();
    if (FSet && FSet->Count > 0) EncodeEditSet(FPending, FSet->Count, FSet->Parts, FSet->OldCrc);
    FSet.reset();
}

void TPageJournal::closeEdit() {
    if (!FEdit) return;
    const std::string& o = FEdit->OldText;
    const std::string& n = FEdit->NewText;
    const std::size_t common = std::min(o.size(), n.size());
    std::size_t prefix = 0;
    while (prefix < common && o[prefix] == n[prefix]) ++prefix;
    std::size_t suffix = 0;
    while (suffix < common - prefix && o[o.size() - 1 - suffix] == n[n.size() - 1 - suffix]) ++suffix;
    TEditRecord r;
    r.Start = static_cast<uint64_t>(FEdit->Start);
    r.Deleted = static_cast<uint64_t>(FEdit->Deleted);
    r.Inserted = static_cast<uint64_t>(FEdit->Inserted);
    r.Prefix = prefix;
    r.Suffix = suffix;
    r.Middle = std::string_view(n).substr(prefix, n.size() - prefix - suffix);
    r.LastAttribute = FEdit->LastAttribute;
    r.Breaks = std::move(FEdit->Breaks);
    if (FSet) {
        EncodeEditPart(FSet->Parts, r);
        FSet->OldCrc = Crc32(o, FSet->OldCrc);
        ++FSet->Count;
    } else {
        r.OldCrc = Crc32(o);
        EncodeEdit(FPending, r);
    }
    FBuiltBytes += n.size();
    FTextBytes = FTextBytes + n.size() >= o.size() ? FTextBytes + n.size() - o.size() : 0;
    FEdit.reset();
}

bool TPageJournal::snapshotDue() const {
    const uint64_t text = std::max(FTextBytes, kMinLogBytes);
    return FLogBytes > text || FBuiltBytes > kBuiltFactor * text;
}

void TPageJournal::Flush(const TEditorScreenStrings& Rows, bool Modified, const TJournalPage& Page,
                         TSnapshotPace Pace) {
    if (!Modified) {
        Forget();
        return;
    }
    if (FCopy) {
        // The edits since the snapshot began follow it once it is complete.
        if (Pace == TSnapshotPace::InSteps) return;
        ContinueSnapshot(Rows, SIZE_MAX);
    }
    const auto now = std::chrono::steady_clock::now();
    if (FOpen && !FNeedSnapshot && FWriter.Failed(FId)) {
        // A write was lost: what follows cannot build on the file; a new snapshot will.
        FNeedSnapshot = true;
        FRetryAfter = now + FRetryDelay;
    }
    closeEdit();
    if (FNeedSnapshot || snapshotDue()) {
        if (now < FRetryAfter) return; // stays dirty; the keeper comes back
        // The file the snapshot replaces gets the edits it lacks, should the new one not
        // make it to the disk.
        if (FOpen && !FPending.empty()) {
            std::string bytes;
            AppendFrame(bytes, TFrameKind::Edits, FPending);
            FWriter.Append(FId, std::move(bytes));
        }
        FPending.clear();
        FDirty = false;
        startGeneration(Rows, Page);
        if (Pace == TSnapshotPace::AtOnce) ContinueSnapshot(Rows, SIZE_MAX);
        return;
    }
    FDirty = false;
    std::string bytes;
    if (!FPending.empty()) AppendFrame(bytes, TFrameKind::Edits, FPending);
    FPending.clear();
    if (!(Page == FPage)) {
        AppendFrame(bytes, TFrameKind::Page, EncodePage(Page));
        FPage = Page;
    }
    if (bytes.empty()) return;
    FLogBytes += bytes.size();
    FWriter.Append(FId, std::move(bytes));
}

void TPageJournal::appendPending() {
    if (FPending.empty()) return;
    std::string bytes;
    AppendFrame(bytes, TFrameKind::Edits, FPending);
    FPending.clear();
    FLogBytes += bytes.size();
    FWriter.Append(FId, std::move(bytes));
}

void TPageJournal::startGeneration(const TEditorScreenStrings& Rows, const TJournalPage& Page) {
    // The rows are pictured as they are now; the edits from now on are recorded after them.
    std::string bytes(kMagic);
    AppendFrame(bytes, TFrameKind::Header,
                EncodeHeader(TJournalHeader{FId, FGeneration + 1, static_cast<uint64_t>(::getpid()), nowMs()}));
    AppendFrame(bytes, TFrameKind::Page, EncodePage(Page));
    FCopy = std::make_unique<TSnapshotCopy>(Rows, std::move(bytes));
    FPage = Page;
    FNeedSnapshot = false;
    FLogBytes = FBuiltBytes = 0;
}

void TPageJournal::ContinueSnapshot(const TEditorScreenStrings& Rows, std::size_t Budget) {
    if (FCopy && FCopy->Step(Rows, Budget)) finishGeneration();
}

void TPageJournal::finishGeneration() {
    const std::unique_ptr<TSnapshotCopy> copy = std::move(FCopy);
    if (copy->PayloadSize() > std::numeric_limits<uint32_t>::max()) { // more than a frame holds
        FNeedSnapshot = true;
        FRetryAfter = std::chrono::steady_clock::now() + FRetryDelay;
        return;
    }
    ++FGeneration;
    FTextBytes = copy->PayloadSize();
    FLogBytes = FBuiltBytes = 0;
    FOpen = true;
    FWriter.Begin(FId, FGeneration, std::move(copy->Bytes()), copy->FrameStart());
    // The edits made while the rows were copied.
    appendPending();
}

void TPageJournal::Supersede(std::string Path, int Fd) {
    FWriter.Retire(FId, std::move(Path), Fd);
    FOpen = true;
}

void TPageJournal::Forget() {
    FCopy.reset();
    FEdit.reset();
    FSet.reset();
    FPending.clear();
    if (FOpen) FWriter.Remove(FId);
    FOpen = false;
    FNeedSnapshot = true;
    FDirty = false;
    FLogBytes = FBuiltBytes = FTextBytes = 0;
    FRetryAfter = {};
}

} // namespace quire
