// TKanjiCutter.
#include "KanjiCutter.h"

#include "ByteScan.h"

#include <algorithm>
#include <cstring>

namespace quire {

using jconvert::TConversion;

namespace {

bool isLineEnd(char c) noexcept { return c == '\r' || c == '\n'; }

// The position after the last CR or LF in [B + From, B + N), or 0 when there is none.
std::size_t afterLastLineEnd(const char* b, std::size_t from, std::size_t n) {
    std::size_t best = 0;
    for (char c : {'\r', '\n'}) {
        if (const void* hit = ::memrchr(b + from, c, n - from))
            best = std::max(best, static_cast<std::size_t>(static_cast<const char*>(hit) - b) + 1);
    }
    return best;
}

} // namespace

TKanjiCutter::TKanjiCutter(TConversion Conversion, std::size_t PieceSize)
    : FConversion(Conversion), FPieceSize(std::max<std::size_t>(PieceSize, 1)) {
    FInput.reserve(FPieceSize + FPieceSize / 4);
}

void TKanjiCutter::Add(std::string_view Piece, bool Last, const TTake& Take, bool Plain) {
    for (;;) {
        if (FInput.size() < FPieceSize && !Piece.empty()) {
            const std::size_t take = std::min(FPieceSize - FInput.size(), Piece.size());
            FInput.append(Piece.data(), take);
            Piece.remove_prefix(take);
        }
        if (Last && Piece.empty()) {
            handOn(FInput.size(), true, Take);
            return;
        }
        if (FInput.size() < FPieceSize) return; // more is to come
        const std::size_t cut = lastCleanCut(Plain);
        if (cut == 0) {
            // No place to cut yet: the piece grows until one comes.
            if (Piece.empty()) return;
            const std::size_t take = std::min(FPieceSize, Piece.size());
            FInput.append(Piece.data(), take);
            Piece.remove_prefix(take);
            continue;
        }
        handOn(cut, false, Take);
        FScanned -= cut;
    }
}

void TKanjiCutter::handOn(std::size_t Length, bool Last, const TTake& Take) {
    // The gathered bytes become the piece without a copy; the few after the cut begin the
    // next one, in the buffer of the piece before (when Take left it).
    std::swap(FInput, FPiece);
    FInput.assign(FPiece, Length, std::string::npos);
    FInput.reserve(FPieceSize + FPieceSize / 4);
    FPiece.resize(Length);
    Take(FPiece, Last);
}

std::size_t TKanjiCutter::lastCleanCut(bool Plain) {
    const char* b = FInput.data();
    const std::size_t n = FInput.size();
    std::size_t cut = 0;
    switch (FConversion) {
    case TConversion::EucToSjis:
    case TConversion::SjisToEuc:
        // After any CR or LF: neither begins a character of more than one byte.
        cut = afterLastLineEnd(b, FScanned, n);
        FScanned = n;
        break;
    case TConversion::SjisToJis:
        // After two line-end bytes in a row: the second is a character of its own, which
        // leaves the kanji mode closed.
        for (std::size_t i = n; i > std::max<std::size_t>(FScanned, 1) && cut == 0; --i)
            if (isLineEnd(b[i - 1]) && isLineEnd(b[i - 2])) cut = i;
        FScanned = n;
        break;
    case TConversion::JisToSjis: cut = Plain ? lastPlainJisCut() : lastCleanJisCut(); break;
    }
    return cut;
}

std::size_t TKanjiCutter::lastPlainJisCut() {
    // In a plain text a kanji pair holds no CR or LF and every ESC begins an escape: after
    // the last line end the text is in ASCII mode. The last two bytes may begin an escape
    // that is not judged yet, so a line end there is not taken.
    const std::size_t n = FInput.size();
    const std::size_t judged = n > 2 ? n - 2 : 0;
    std::size_t cut = 0;
    if (judged > FScanned) {
        cut = afterLastLineEnd(FInput.data(), FScanned, judged);
        FScanned = judged;
    }
    FPlainCuts = true;
    return cut;
}

std::size_t TKanjiCutter::lastCleanJisCut() {
    if (FPlainCuts) {
        // The text turned out not to be plain: reading starts again from the start of FInput,
        // a clean place, which is in ASCII mode.
        FPlainCuts = false;
        FScanned = 0;
        FJisKanji = false;
    }
    // As the built-in converter reads it: in ASCII mode every byte but ESC stands alone, so a line
    // end there is a clean place; in kanji mode bytes go in pairs, and an ESC that is the
    // second byte of a pair is no escape. An escape cut by the end waits. Runs between
    // escapes are passed over sixteen bytes at a time.
    const char* b = FInput.data();
    const std::size_t n = FInput.size();
    std::size_t cut = 0;
    while (FScanned < n) {
        std::size_t esc = FScanned;
        if (FJisKanji) {
            // The first ESC at an even distance from here starts an escape.
            while ((esc = bytescan::ScanJisRun(b, esc, n, true).Esc) < n && (esc - FScanned) % 2 != 0) ++esc;
            if (esc == n) { // pairs to the end; a lone last byte waits
                FScanned += (n - FScanned) / 2 * 2;
                break;
            }
        } else {
            const bytescan::TJisRun run = bytescan::ScanJisRun(b, FScanned, n, false);
            esc = run.Esc;
            if (run.AfterLineEnd != 0) cut = run.AfterLineEnd;
            if (esc == n) {
                FScanned = n;
                break;
            }
        }
        FScanned = esc;
        if (n - FScanned < 3) break;
        if (b[FScanned + 1] == '$')
            FJisKanji = true;
        else if (b[FScanned + 1] == '(')
            FJisKanji = false;
        FScanned += 3;
    }
    return cut;
}

} // namespace quire
