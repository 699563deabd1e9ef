// TTextLoader.
#include "TextLoader.h"

#include "ShiftJis.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace quire {

namespace {

constexpr uint32_t kLineEnd = static_cast<uint32_t>(TRowAttribute::LineEnd);

} // namespace

std::string_view TTextLoader::cutAtNul(std::string_view Piece) {
    if (FCut) return {};
    const std::size_t nul = Piece.find('\0');
    if (nul == std::string_view::npos) return Piece;
    FCut = true;
    return Piece.substr(0, nul);
}

void TTextLoader::splitRows(const char* p, const char* end) {
    if (FAfterCr && p < end) {
        FAfterCr = false;
        if (*p == '\n') FLine = ++p;
    }
    for (const char* e; (e = sjis::FindLineEnd(p, end)) != end;) {
        FList.AppendRow(std::string_view(FLine, static_cast<std::size_t>(e - FLine)), kLineEnd, true);
        p = e + 1;
        if (*e == '\r') {
            if (p == end)
                FAfterCr = true;
            else if (*p == '\n')
                ++p;
        }
        FLine = p;
    }
    FLineLength = static_cast<std::size_t>(end - FLine);
}

void TTextLoader::reserve(std::size_t n) {
    if (FFill && static_cast<std::size_t>(FFillEnd - FFill) >= n) return;
    // A new block, at least as large as the text so far (up to a limit), so that a text
    // given in many small pieces takes few blocks; the unfinished line moves into it.
    const std::size_t capacity = FLineLength + std::max(n, std::min(kBlockSize, std::max<std::size_t>(FTotal, 4096)));
    TTextBlock block(capacity);
    char* data = block.Data();
    if (FLineLength > 0) std::memcpy(data, FLine, FLineLength);
    FList.AdoptBlock(std::move(block));
    FLine = data;
    FFill = data + FLineLength;
    FFillEnd = data + capacity;
}

void TTextLoader::Add(std::string_view Piece) {
    if (FCut || Piece.empty()) return;
    std::memcpy(Room(Piece.size()), Piece.data(), Piece.size());
    Commit(Piece.size());
}

char* TTextLoader::Room(std::size_t N) {
    reserve(N);
    return FFill;
}

void TTextLoader::Commit(std::size_t Written) {
    const std::string_view piece = cutAtNul(std::string_view(FFill, Written));
    if (piece.empty()) return;
    const char* start = FFill;
    FFill += piece.size();
    FTotal += piece.size();
    splitRows(start, FFill);
}

void TTextLoader::Add(TTextBlock&& Block) {
    const std::string_view piece = cutAtNul(std::string_view(Block.Data(), Block.Size()));
    if (piece.empty()) return;
    if (FLineLength > 0) {
        // The unfinished line lies elsewhere: the piece is copied after it.
        Add(piece);
        return;
    }
    FList.AdoptBlock(std::move(Block));
    FTotal += piece.size();
    FFill = FFillEnd = nullptr; // the block is full
    FLine = piece.data();
    splitRows(piece.data(), piece.data() + piece.size());
}

void TTextLoader::Finish() {
    if (FLineLength > 0) {
        FList.AppendRow(std::string_view(FLine, FLineLength), static_cast<uint32_t>(TRowAttribute::EndOfFile), true);
    }
    FLine = nullptr;
    FLineLength = 0;
    FFill = FFillEnd = nullptr;
}

} // namespace quire
