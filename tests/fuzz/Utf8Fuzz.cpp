// libFuzzer target: the UTF-8 codec on any bytes. Whatever the bytes, reading them into
// Shift_JIS rows and writing those back gives the same bytes while the table had room; the
// text converted piece by piece (cut where PieceEnd says) gives the rows converted whole; a
// valid text decodes character by character to its end.
//
// The first byte chooses the piece size; the rest is the text.
#include "OutsideCharTable.h"
#include "Utf8Codec.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace quire;

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const std::size_t pieceSize = 4 + data[0] % 61;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

    TOutsideCharTable table;
    std::string sjis;
    const utf8::TToShiftJis to = utf8::ToShiftJis(text, table, sjis);
    if (to.Unkept == 0) {
        std::string back;
        const utf8::TFromShiftJis from = utf8::FromShiftJis(sjis, &table, back);
        check(from.Lost == 0);
        check(back == text);
    }

    TOutsideCharTable pieceTable;
    utf8::ReserveOwnCodes(text, pieceTable);
    std::string pieces;
    utf8::TToShiftJis result;
    for (std::size_t at = 0; at < text.size();) {
        const std::string_view rest = text.substr(at);
        const std::size_t n = rest.size() <= pieceSize ? rest.size() : utf8::PieceEnd(rest, pieceSize);
        check(n > 0 && n <= rest.size());
        std::string out(utf8::MaxShiftJisSize(n), '\0');
        out.resize(utf8::ConvertPiece(rest.substr(0, n), pieceTable, out.data(), result));
        pieces += out;
        at += n;
    }
    check(pieces == sjis);
    check(result.Unkept == to.Unkept);

    bool multiByte = false;
    if (utf8::IsValid(text, &multiByte)) {
        bool sawMulti = false;
        for (std::size_t i = 0; i < text.size();) {
            const utf8::TDecoded d = utf8::DecodeAt(text, i);
            check(d.Length > 0);
            sawMulti = sawMulti || d.Length > 1;
            i += d.Length;
        }
        check(sawMulti == multiByte);
    }
    return 0;
}
