// TSnapshotCopy: a picture of a store's rows as they were at one moment, copied a slice at a time while they change.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

namespace quire {

class TEditorScreenStrings;

// Copying the rows of a large page takes longer than a key may wait, so the copy is made in
// slices between keys, and the picture must stay that of the moment it began. The rows not yet
// copied are a list of pieces, in order: a run of rows of the store that no change has touched
// since (Live, at their current index), or rows a change was about to replace, kept as they
// were (Kept). Before a change replaces rows of a Live piece, those rows are copied into a
// Kept piece (RowsChanging); after it, the Live pieces behind it move with the rows
// (RowsReplaced). Rows a change inserts belong to no piece: the edits after the picture hold
// them.
//
// The rows are written as the journal's snapshot frame holds them (see AppendRow), after the
// bytes the constructor was given, and the frame's length and checksum are left for whoever
// writes the bytes (EndFrame at FrameStart()).
class TSnapshotCopy {
public:
    TSnapshotCopy(const TEditorScreenStrings& Rows, std::string Prefix);

    // Copies rows until at least Budget bytes were added or none are left; true when done.
    bool Step(const TEditorScreenStrings& Rows, std::size_t Budget);
    bool Done() const noexcept { return FPieces.empty(); }
    // How many runs and kept rows the rows not yet copied are split into.
    std::size_t Pieces() const noexcept { return FPieces.size(); }

    void RowsChanging(const TEditorScreenStrings& Rows, int Row, int Count);
    // False when rows of the picture were replaced without RowsChanging: it cannot be made.
    bool RowsReplaced(int Row, int Deleted, int Inserted);

    // The bytes made so far (all of them once Done).
    std::string& Bytes() noexcept { return FOut; }
    std::size_t FrameStart() const noexcept { return FFrameStart; }
    // Bytes of the snapshot frame's payload so far.
    std::size_t PayloadSize() const noexcept { return FOut.size() - FFrameStart - 5; }

    // A row of the snapshot: its bytes, then LF when it is a LineEnd row, CR when it is
    // Wrapped, nothing after the EndOfFile row.
    static void AppendRow(std::string& Out, const TEditorScreenStrings& Rows, int Row);

private:
    struct TPiece {
        bool Live = true;
        int From = 0;  // Live: the first row's index in the store now
        int Count = 0; // Live: rows in the run
        std::string Kept;
    };

    std::string FOut;
    std::size_t FFrameStart = 0;
    std::deque<TPiece> FPieces;
};

} // namespace quire
