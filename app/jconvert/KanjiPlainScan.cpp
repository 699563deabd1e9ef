// TKanjiPlainScan.
#include "KanjiPlainScan.h"

#include "ByteScan.h"
#include "CutCharacter.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace quire {

namespace {

bool inRange(uint8_t c, uint8_t from, uint8_t to) noexcept { return c >= from && c <= to; }

} // namespace

// True when each of the eight bytes of W is in 0xA1-0xFE (the low seven bits in 0x21-0x7E).
inline bool eightEucBytes(uint64_t w) noexcept {
    constexpr uint64_t high = 0x8080808080808080ULL, ones = 0x0101010101010101ULL;
    if ((w & high) != high) return false;
    const uint64_t low = w & ~high;
    return ((low + ones) & high) == 0 && (((low | high) - 0x21 * ones) & high) == high;
}

std::size_t TKanjiPlainScan::takeEuc(std::string_view s, bool Last) {
    const auto* const b = reinterpret_cast<const uint8_t*>(s.data());
    const std::size_t n = s.size();
    std::size_t i = 0;
    std::size_t careful = 0; // up to here bytes are looked at one by one
    while (i < n) {
        // Long plain stretches 64 bytes at a time; then runs of ASCII, and runs of JIS X 0208
        // pairs, eight bytes at a time.
        if (i >= careful) {
            i += bytescan::SkipPlainEuc(s.data() + i, n - i);
            careful = i + 64;
        }
        for (uint64_t w; n - i >= 8; i += 8) {
            std::memcpy(&w, b + i, 8);
            if ((w & 0x8080808080808080ULL) != 0 && !eightEucBytes(w)) break;
        }
        if (i == n) break;
        const uint8_t c = b[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        if (n - i < 2) {
            if (Last) FPlain = false;
            return i; // the second byte comes with the next piece
        }
        const uint8_t d = b[i + 1];
        if (!(inRange(c, 0xA1, 0xFE) && inRange(d, 0xA1, 0xFE)) && !(c == 0x8E && inRange(d, 0xA1, 0xDF))) {
            FPlain = false;
            return n;
        }
        i += 2;
    }
    return n;
}

std::size_t TKanjiPlainScan::takeJis(std::string_view s, bool Last) {
    const auto* const b = reinterpret_cast<const uint8_t*>(s.data());
    const std::size_t n = s.size();
    std::size_t i = 0;
    while (i < n) {
        const bytescan::TJisRun run = bytescan::ScanJisRun(s.data(), i, n, FKanji);
        const std::size_t esc = run.Esc;
        if (!run.Clean) break;
        if (FKanji && (esc - i) % 2 != 0) {
            // A pair cut by the end waits; an ESC as the second byte of a pair is no escape.
            if (esc == n && !Last) return n - 1;
            break;
        }
        i = esc;
        if (i == n) return n;
        if (n - i < 3) {
            if (!Last) return i; // the escape goes on in the next piece
            break;
        }
        if (b[i + 1] == '$' && (b[i + 2] == 'B' || b[i + 2] == '@'))
            FKanji = true;
        else if (b[i + 1] == '(' && (b[i + 2] == 'B' || b[i + 2] == 'J'))
            FKanji = false;
        else
            break;
        i += 3;
    }
    if (i < n) FPlain = false;
    return n;
}

std::size_t TKanjiPlainScan::take(std::string_view Piece, bool Last) {
    return FJis ? takeJis(Piece, Last) : takeEuc(Piece, Last);
}

bool TKanjiPlainScan::Add(std::string_view Piece) {
    if (!FPlain) return false;
    // The cut character or escape the piece before left, finished first.
    if (!FinishCutCharacter(FCarry, Piece, false, [this](std::string_view s, bool Last) { return take(s, Last); }))
        return FPlain;
    if (FPlain) FCarry.assign(Piece.substr(take(Piece, false)));
    return FPlain;
}

bool TKanjiPlainScan::Finish() {
    if (FPlain && !FCarry.empty()) take(FCarry, true);
    FCarry.clear();
    return FPlain;
}

} // namespace quire
