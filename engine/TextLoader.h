// TTextLoader: splits a text that arrives in pieces into rows, as assigning the whole text does.
#pragma once

#include "RowAttributeStringList.h"
#include "TextBlock.h"

#include <cstddef>
#include <string_view>

namespace quire {

// Appends to List one LineEnd row per line of the text handed over with Add, piece after
// piece: a line ends at CR LF, at a lone CR or at a lone LF, also when a line or a CR LF is
// cut between two pieces. The text ends at its first NUL byte; what follows is dropped.
// Finish gives the last row EndOfFile unless the text ends with a line end; an empty text
// gives no row. The rows' bytes live in blocks that List owns, so a row costs no allocation
// of its own (a line cut between two pieces is the exception).
class TTextLoader {
public:
    explicit TTextLoader(TRowAttributeStringList& List) noexcept : FList(List) {}
    TTextLoader(const TTextLoader&) = delete;
    TTextLoader& operator=(const TTextLoader&) = delete;

    // The next piece, copied into blocks of the list.
    void Add(std::string_view Piece);
    // Room for N more bytes of text in a block of the list, to be written in place and then
    // handed over with Commit (the next piece without a copy). Valid until the next call.
    char* Room(std::size_t N);
    // The first Written bytes of the room are the next piece.
    void Commit(std::size_t Written);
    // The next piece in a block that the list takes over: its rows point into it.
    void Add(TTextBlock&& Block);
    // The text is complete.
    void Finish();
    // True once a NUL byte has ended the text.
    bool CutAtNul() const noexcept { return FCut; }

private:
    // Drops what follows a NUL in Piece and notes the cut.
    std::string_view cutAtNul(std::string_view Piece);
    // Rows for the lines that end in [P, End), which follows the unfinished line in one block
    // of the list; the bytes after the last line end become the unfinished line.
    void splitRows(const char* P, const char* End);
    // Makes room for N more bytes after the unfinished line in a block of the list.
    void reserve(std::size_t N);

    static constexpr std::size_t kBlockSize = std::size_t(32) << 20;

    TRowAttributeStringList& FList;
    const char* FLine = nullptr; // the unfinished line: bytes since the last line end
    std::size_t FLineLength = 0;
    char* FFill = nullptr; // where Add copies to, in the newest block of the list
    char* FFillEnd = nullptr;
    std::size_t FTotal = 0;
    bool FAfterCr = false; // the last byte was a CR: an LF that follows belongs to it
    bool FCut = false;
};

} // namespace quire
