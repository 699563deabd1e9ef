// TKanjiCutter: gathers the pieces of a text into pieces for the conversion library, each cut
// where the built-in converters start afresh.
#pragma once

#include "jconvert.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace quire {

// Takes a text in pieces of any length and hands it on in pieces of about a megabyte, each
// cut at a place where the built-in converters start afresh: after a line end (for JIS input one
// read in ASCII mode; for JIS output after two line-end bytes in a row, so that no kanji mode
// is open). A piece grows past the size until such a place comes. Converting each handed-on
// piece by itself therefore gives what converting the whole text at once gives.
class TKanjiCutter {
public:
    using TTake = std::function<void(std::string& Piece, bool Last)>;
    static constexpr std::size_t kPiece = std::size_t(1) << 20;

    // PieceSize: the size pieces are cut at (or after); tests take small ones.
    explicit TKanjiCutter(jconvert::TConversion Conversion, std::size_t PieceSize = kPiece);

    // The next piece of the text (Last: none follows). Every piece that is complete goes to
    // Take, in order (Last for the text's final one, which may be empty); Take may keep the
    // string's bytes (move them away). Plain tells that the text up to the end of Piece, but
    // for its last two bytes, is known to be plain (TKanjiPlainScan), which makes cutting JIS
    // cheap: no line end of a plain text lies in kanji mode.
    void Add(std::string_view Piece, bool Last, const TTake& Take, bool Plain = false);

private:
    // The end of the last place in FInput where the built-in converters start afresh (0: none).
    std::size_t lastCleanCut(bool Plain);
    std::size_t lastCleanJisCut();
    std::size_t lastPlainJisCut();
    // Hands the first Length bytes of FInput to Take.
    void handOn(std::size_t Length, bool Last, const TTake& Take);

    jconvert::TConversion FConversion;
    std::size_t FPieceSize;
    std::string FInput;       // bytes not handed on yet
    std::string FPiece;       // the piece being handed on
    std::size_t FScanned = 0; // FInput holds no clean cut before this
    bool FJisKanji = false;   // JIS input as the built-in converter reads FInput from FScanned
    bool FPlainCuts = false;  // JIS input: FScanned was set by the cut of a plain text
};

} // namespace quire
