// TSnapshotCopy.
#include "SnapshotCopy.h"

#include "EditorScreenStrings.h"
#include "JournalFormat.h"

#include <algorithm>
#include <cstdint>

namespace quire {

using namespace journal;

TSnapshotCopy::TSnapshotCopy(const TEditorScreenStrings& Rows, std::string Prefix) : FOut(std::move(Prefix)) {
    const int count = Rows.Count();
    // Room for every row with its line end, so the buffer is never moved while it grows.
    FOut.reserve(FOut.size() + kFrameOverhead + 10 + static_cast<std::size_t>(Rows.TextLength()) +
                 static_cast<std::size_t>(count));
    FFrameStart = BeginFrame(FOut, TFrameKind::Snapshot);
    PutVarint(FOut, static_cast<uint64_t>(count));
    if (count > 0) FPieces.push_back(TPiece{true, 0, count, {}});
}

void TSnapshotCopy::AppendRow(std::string& Out, const TEditorScreenStrings& Rows, int Row) {
    Out += Rows.Get(Row);
    switch (Rows.RowAttribute(Row)) {
    case TRowAttribute::LineEnd: Out += '\n'; break;
    case TRowAttribute::Wrapped: Out += '\r'; break;
    default: break; // EndOfFile: only the last row, ended by the snapshot's end
    }
}

bool TSnapshotCopy::Step(const TEditorScreenStrings& Rows, std::size_t Budget) {
    const std::size_t until = Budget > SIZE_MAX - FOut.size() ? SIZE_MAX : FOut.size() + Budget;
    while (!FPieces.empty() && FOut.size() < until) {
        TPiece& p = FPieces.front();
        if (!p.Live) {
            FOut += p.Kept;
            FPieces.pop_front();
            continue;
        }
        while (p.Count > 0 && FOut.size() < until) {
            AppendRow(FOut, Rows, p.From);
            ++p.From;
            --p.Count;
        }
        if (p.Count == 0) FPieces.pop_front();
    }
    return Done();
}

void TSnapshotCopy::RowsChanging(const TEditorScreenStrings& Rows, int Row, int Count) {
    const int end = Row + Count;
    for (auto it = FPieces.begin(); it != FPieces.end(); ++it) {
        if (!it->Live || it->From >= end || it->From + it->Count <= Row) continue;
        // The rows of this run that the change replaces are kept as they are now; the rows
        // before and after them stay a run of their own each.
        const int first = std::max(it->From, Row), last = std::min(it->From + it->Count, end);
        TPiece kept{false, 0, last - first, {}};
        for (int r = first; r < last; ++r) AppendRow(kept.Kept, Rows, r);
        TPiece after{true, last, it->From + it->Count - last, {}};
        it->Count = first - it->From;
        if (it->Count == 0)
            *it = std::move(kept);
        else
            it = FPieces.insert(it + 1, std::move(kept));
        if (after.Count > 0) it = FPieces.insert(it + 1, std::move(after));
    }
}

bool TSnapshotCopy::RowsReplaced(int Row, int Deleted, int Inserted) {
    const int shift = Inserted - Deleted;
    for (auto it = FPieces.begin(); it != FPieces.end(); ++it) {
        if (!it->Live || it->From + it->Count <= Row) continue;
        // RowsChanging took every replaced row out of the runs; a run that still holds one
        // was changed without it, and the picture is lost.
        if (it->From < Row + Deleted) {
            if (Deleted > 0) return false;
        } else {
            it->From += shift;
            continue;
        }
        // Rows were inserted inside the run: it goes on after them.
        TPiece after{true, Row + Inserted, it->From + it->Count - Row, {}};
        it->Count = Row - it->From;
        it = FPieces.insert(it + 1, std::move(after));
    }
    return true;
}

} // namespace quire
