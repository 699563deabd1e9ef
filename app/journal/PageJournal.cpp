// TPageJournal: a page's changes turned into journal records.
#include "PageJournal.h"

#include "EditorScreenStrings.h"
#include "JournalWriter.h"

#include <algorithm>
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

void TPageJournal::RowsReplaced(const TEditorScreenStrings& Rows, int Row, int Deleted, int Inserted,
                                std::string_view RemovedText) {
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
    closeEdit(); // kept for the file the snapshot replaces
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

void TPageJournal::Flush(const TEditorScreenStrings& Rows, bool Modified, const TJournalPage& Page) {
    if (!Modified) {
        Forget();
        return;
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

void TPageJournal::startGeneration(const TEditorScreenStrings& Rows, const TJournalPage& Page) {
    std::string bytes(kMagic);
    AppendFrame(bytes, TFrameKind::Header,
                EncodeHeader(TJournalHeader{FId, FGeneration + 1, static_cast<uint64_t>(::getpid()), nowMs()}));
    AppendFrame(bytes, TFrameKind::Page, EncodePage(Page));
    const std::size_t before = bytes.size();
    AppendSnapshot(bytes, Rows);
    if (bytes.size() == before) { // more than a frame holds: nothing to write
        FNeedSnapshot = true;
        FRetryAfter = std::chrono::steady_clock::now() + FRetryDelay;
        return;
    }
    ++FGeneration;
    FTextBytes = bytes.size() - before - kFrameOverhead;
    FLogBytes = FBuiltBytes = 0;
    FPage = Page;
    FNeedSnapshot = false;
    FOpen = true;
    FWriter.Begin(FId, FGeneration, std::move(bytes));
}

void TPageJournal::AppendSnapshot(std::string& Out, const TEditorScreenStrings& Rows) {
    const int count = Rows.Count();
    std::size_t size = 10 + kFrameOverhead;
    for (int r = 0; r < count; ++r) size += Rows.Get(r).size() + 1;
    Out.reserve(Out.size() + size);
    const std::size_t start = BeginFrame(Out, TFrameKind::Snapshot);
    PutVarint(Out, static_cast<uint64_t>(count));
    for (int r = 0; r < count; ++r) {
        Out += Rows.Get(r);
        switch (Rows.RowAttribute(r)) {
        case TRowAttribute::LineEnd: Out += '\n'; break;
        case TRowAttribute::Wrapped: Out += '\r'; break;
        default: break; // EndOfFile: only the last row, ended by the snapshot's end
        }
    }
    EndFrame(Out, start);
}

void TPageJournal::Supersede(std::string Path, int Fd) {
    FWriter.Retire(FId, std::move(Path), Fd);
    FOpen = true;
}

void TPageJournal::Forget() {
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
