// libFuzzer target: the UTF-16 codec on any bytes. The text converted piece by piece (cut where
// PieceEnd says) gives the rows converted whole; when every unit was a character and the table
// had room, writing the rows back gives the same bytes.
//
// The first byte chooses the byte order and the piece size; the rest is the text.
#include "OutsideCharTable.h"
#include "Utf16Codec.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace quire;

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

// Text read in pieces of about PieceSize bytes into Shift_JIS rows.
std::string toShiftJis(std::string_view text, bool bigEndian, std::size_t pieceSize, TOutsideCharTable& table,
                       utf16::TToShiftJis& result) {
    utf16::ReserveOwnCodes(text, bigEndian, table);
    std::string sjis;
    for (std::size_t at = 0; at < text.size();) {
        const std::string_view rest = text.substr(at);
        const std::size_t n = rest.size() <= pieceSize ? rest.size() : utf16::PieceEnd(rest, pieceSize, bigEndian);
        check(n > 0 && n <= rest.size());
        std::string out(utf16::MaxShiftJisSize(n), '\0');
        out.resize(utf16::ConvertPiece(rest.substr(0, n), bigEndian, table, out.data(), result));
        sjis += out;
        at += n;
    }
    return sjis;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const bool bigEndian = data[0] & 1;
    const std::size_t pieceSize = 4 + (data[0] >> 1) % 61;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

    TOutsideCharTable wholeTable, pieceTable;
    utf16::TToShiftJis whole, pieces;
    const std::string sjis = toShiftJis(text, bigEndian, text.size() + 4, wholeTable, whole);
    check(toShiftJis(text, bigEndian, pieceSize, pieceTable, pieces) == sjis);
    check(pieces.Unkept == whole.Unkept && pieces.Invalid == whole.Invalid);

    if (whole.Unkept == 0 && whole.Invalid == 0) {
        std::string back;
        check(utf16::FromShiftJis(sjis, &wholeTable, bigEndian, back) == 0);
        check(back == text);
    }
    return 0;
}
