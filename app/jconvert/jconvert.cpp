// Kanji code detection and the program's built-in converters.
#include "jconvert.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

namespace quire::jconvert {

namespace {

inline uint8_t at(std::string_view s, std::size_t i) noexcept { return static_cast<uint8_t>(s[i]); }
inline bool in(uint8_t c, uint8_t lo, uint8_t hi) noexcept { return c >= lo && c <= hi; }

// The JIS X 0208 cell of each half-width katakana 0xA1..0xDF; the row is 0x21 for
// ｡ ｢ ｣ ､ ･ ｰ ﾞ ﾟ and 0x25 (katakana) for the others.
constexpr uint8_t kKanaCell[63] = {
    0x23, 0x56, 0x57, 0x22, 0x26, 0x72, 0x21, 0x23, 0x25, 0x27, 0x29, 0x63, 0x65, 0x67, 0x43, 0x3C,
    0x22, 0x24, 0x26, 0x28, 0x2A, 0x2B, 0x2D, 0x2F, 0x31, 0x33, 0x35, 0x37, 0x39, 0x3B, 0x3D, 0x3F,
    0x41, 0x44, 0x46, 0x48, 0x4A, 0x4B, 0x4C, 0x4D, 0x4E, 0x4F, 0x52, 0x55, 0x58, 0x5B, 0x5E, 0x5F,
    0x60, 0x61, 0x62, 0x64, 0x66, 0x68, 0x69, 0x6A, 0x6B, 0x6C, 0x6D, 0x6F, 0x73, 0x2B, 0x2C,
};

bool kanaInSymbolRow(uint8_t c) noexcept { return in(c, 0xA1, 0xA5) || c == 0xB0 || c == 0xDE || c == 0xDF; }

} // namespace

namespace {

// ESC $ B is JIS, ESC $ @ old JIS; I moves past what was looked at.
void scanEscape(std::string_view s, std::size_t& i, int& result) noexcept {
    ++i; // the byte after ESC is looked at
    if (at(s, i) == '$') {
        ++i;
        if (i < s.size()) {
            if (at(s, i) == 'B')
                result = kdJis;
            else if (at(s, i) == 0x40)
                result = kdOldJis;
            ++i;
        }
    } else {
        ++i;
    }
}

// A byte from 0xA1 to 0xDF at I: half-width katakana in Shift-JIS, or the first byte of an EUC
// character; the byte after it decides, or leaves it undecided. I ends on the last byte
// looked at, except after the look-ahead, where it ends past it (Advance false).
bool scanA1toDF(std::string_view s, std::size_t& i, int& result) noexcept {
    const uint8_t d = at(s, ++i);
    if (in(d, 0xF0, 0xFE)) {
        result = kdEuc;
    } else if (in(d, 0xA1, 0xDF)) {
        result = kdEucOrSjis;
    } else if (in(d, 0xE0, 0xEF)) {
        result = kdEucOrSjis;
        // Look further while bytes stay above 0x3F: a Shift-JIS lead byte or an EUC-only byte
        // settles it.
        std::size_t k = i;
        while (k < s.size() && at(s, k) >= 0x40 && result == kdEucOrSjis) {
            const uint8_t x = at(s, k);
            if (in(x, 0x81, 0x8D) || in(x, 0x8F, 0x9C))
                result = kdShiftJis;
            else if (x == 0xFD || x == 0xFE)
                result = kdEuc;
            ++k;
        }
        i = k;
        return false;
    } else if (d <= 0x9F) {
        result = kdShiftJis;
    }
    return true;
}

// One byte of 0x80 or above at I (and the byte after it where that decides).
void scanHighByte(std::string_view s, std::size_t& i, int& result) noexcept {
    const uint8_t c = at(s, i);
    if (in(c, 0x81, 0x8D) || in(c, 0x8F, 0x9F)) {
        result = kdShiftJis;
    } else if (c == 0x8E) {
        const uint8_t d = at(s, ++i);
        if (in(d, 0x40, 0x7E) || in(d, 0x80, 0xA0) || in(d, 0xE0, 0xFC))
            result = kdShiftJis;
        else if (in(d, 0xA1, 0xDF))
            result = kdEucOrSjis;
    } else if (in(c, 0xF0, 0xFE)) {
        result = kdEuc;
    } else if (in(c, 0xE0, 0xEF)) {
        const uint8_t d = at(s, ++i);
        if (in(d, 0x40, 0x7E) || in(d, 0x80, 0xA0))
            result = kdShiftJis;
        else if (in(d, 0xFD, 0xFE))
            result = kdEuc;
        else if (in(d, 0xA1, 0xFC))
            result = kdEucOrSjis;
    }
}

} // namespace

int DetectKanjiCode(std::string_view s) noexcept {
    const std::size_t n = s.size();
    // Binary: a control byte below 0x08 or 0xFF among the first 512 bytes (the last excluded).
    const std::size_t check = std::min<std::size_t>(512, n == 0 ? 0 : n - 1);
    for (std::size_t i = 0; i < check; ++i) {
        if (at(s, i) < 0x08 || at(s, i) == 0xFF) return kdBinary;
    }
    int result = kdAscii;
    std::size_t i = 0; // the byte at position i + 1
    while (i + 1 < n && (result == kdAscii || result == kdEucOrSjis)) {
        const uint8_t c = at(s, i);
        if (c == 0x1B) {
            scanEscape(s, i, result);
            continue;
        }
        if (c < 0x08 || c == 0xFF) {
            result = kdBinary;
        } else if (in(c, 0xA1, 0xDF)) {
            if (!scanA1toDF(s, i, result)) continue;
        } else if (c > 0x7F) {
            scanHighByte(s, i, result);
        }
        ++i;
    }
    return result;
}

namespace {

// How a reading of a text as EUC or as Shift-JIS looks: characters of no code (lone bytes,
// pairs JIS X 0208 does not assign), and full-width kana, which ordinary Japanese is full of.
struct TReadingLook {
    std::size_t Invalid = 0;
    std::size_t Kana = 0;
    void Pair(uint8_t row, uint8_t cell) noexcept {
        if (!IsJisX0208(row, cell))
            ++Invalid;
        else if (row == 0x24 || row == 0x25)
            ++Kana;
    }
};

TReadingLook lookAsEuc(std::string_view s) noexcept {
    TReadingLook r;
    for (std::size_t i = 0; i < s.size();) {
        const uint8_t c = at(s, i);
        const auto next = [&](std::size_t k) { return i + k < s.size() ? at(s, i + k) : uint8_t(0); };
        if (c < 0x80) {
            ++i;
        } else if (c == 0x8E && in(next(1), 0xA1, 0xDF)) {
            i += 2;
        } else if (c == 0x8F && in(next(1), 0xA1, 0xFE) && in(next(2), 0xA1, 0xFE)) {
            i += 3; // JIS X 0212: assigned or not, it is the form of an EUC character
        } else if (in(c, 0xA1, 0xFE) && in(next(1), 0xA1, 0xFE)) {
            r.Pair(c & 0x7F, next(1) & 0x7F);
            i += 2;
        } else {
            ++r.Invalid;
            ++i;
        }
    }
    return r;
}

TReadingLook lookAsShiftJis(std::string_view s) noexcept {
    TReadingLook r;
    for (std::size_t i = 0; i < s.size();) {
        const uint8_t c = at(s, i);
        const uint8_t d = i + 1 < s.size() ? at(s, i + 1) : 0;
        if (c < 0x80 || in(c, 0xA1, 0xDF)) {
            ++i;
        } else if ((in(c, 0x81, 0x9F) || in(c, 0xE0, 0xFC)) && in(d, 0x40, 0xFC) && d != 0x7F) {
            if (c < 0xF0) {
                const auto [row, cell] = SjisToJisPair(c, d);
                r.Pair(row, cell);
            }
            i += 2;
        } else {
            ++r.Invalid;
            ++i;
        }
    }
    return r;
}

} // namespace

int ResolveDetection(std::string_view s, int detection) noexcept {
    if (detection == kdBinary) {
        const bool jis = s.find("\x1B$B") != std::string_view::npos && s.find('\0') == std::string_view::npos &&
                         std::none_of(s.begin(), s.end(), [](char c) { return static_cast<uint8_t>(c) >= 0x80; });
        return jis ? kdJis : kdBinary;
    }
    if (detection != kdEucOrSjis) return detection;
    const TReadingLook euc = lookAsEuc(s), sjis = lookAsShiftJis(s);
    if (euc.Invalid == 0 && (sjis.Invalid > 0 || euc.Kana > sjis.Kana)) return kdEuc;
    return kdShiftJis;
}

int DetectLineEnd(std::string_view s) noexcept {
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\n') return leLf;
        if (s[i] == '\r') return (i + 1 < s.size() && s[i + 1] == '\n') ? leCrLf : leCr;
    }
    return leNone;
}

namespace {
std::string_view lineEndBytes(int kind) {
    switch (kind) {
    case leCrLf: return "\r\n";
    case leCr: return "\r";
    case leLf: return "\n";
    default: return {};
    }
}
} // namespace

std::string ConvertLineEnd(std::string_view text, int target) {
    std::string out(text);
    ConvertLineEndInPlace(out, target);
    return out;
}

void ConvertLineEndInPlace(std::string& text, int target) {
    const int own = DetectLineEnd(text);
    const std::string_view from = lineEndBytes(own);
    const std::string_view to = lineEndBytes(target);
    if (own == leNone || own == target || to.empty()) return;
    // Only whole line ends of the text's own kind are replaced: a lone CR in a CR LF text
    // stays, together with the byte after it. A line end that does not grow is replaced in
    // place (the write position never passes the read position).
    std::string grown;
    if (to.size() > from.size()) grown.reserve(text.size() + text.size() / 16);
    char* const base = text.data();
    const std::size_t n = text.size();
    std::size_t r = 0, w = 0;
    auto put = [&](const char* p, std::size_t k) {
        if (to.size() > from.size()) {
            grown.append(p, k);
        } else {
            if (base + w != p) std::memmove(base + w, p, k);
            w += k;
        }
    };
    while (r < n) {
        const void* hit = std::memchr(base + r, from[0], n - r);
        const std::size_t pos = hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - base) : n;
        put(base + r, pos - r);
        r = pos;
        if (r >= n) break;
        if (text.compare(r, from.size(), from) == 0) {
            put(to.data(), to.size());
            r += from.size();
        } else {
            put(base + r, 1);
            ++r;
        }
    }
    if (to.size() > from.size())
        text = std::move(grown);
    else
        text.resize(w);
}

std::pair<uint8_t, uint8_t> JisToSjisPair(uint8_t a, uint8_t b) noexcept {
    const auto s1 = static_cast<uint8_t>(((a + 1) >> 1) + (a < 0x5F ? 0x70 : 0xB0));
    const auto s2 = static_cast<uint8_t>(b + ((a & 1) == 0 ? 0x7E : (b < 0x60 ? 0x1F : 0x20)));
    return {s1, s2};
}

namespace {

// JisToSjisPair for every JIS X 0208 row/cell pair: the two bytes as they are written.
struct TJisTable {
    char Pairs[94 * 94][2];
};

const TJisTable& jisTable() {
    static const TJisTable table = [] {
        TJisTable t{};
        for (int a = 0; a < 94; ++a) {
            for (int b = 0; b < 94; ++b) {
                const auto [s1, s2] = JisToSjisPair(static_cast<uint8_t>(a + 0x21), static_cast<uint8_t>(b + 0x21));
                t.Pairs[a * 94 + b][0] = static_cast<char>(s1);
                t.Pairs[a * 94 + b][1] = static_cast<char>(s2);
            }
        }
        return t;
    }();
    return table;
}

// Writes the Shift-JIS pair of the JIS pair (A, B) at O, through the table when both bytes
// are in 0x21..0x7E; returns where the output goes on.
inline char* putJisAsSjis(const TJisTable& t, char* o, uint8_t a, uint8_t b) noexcept {
    const unsigned i = a - 0x21u, k = b - 0x21u;
    if (i < 94 && k < 94) {
        std::memcpy(o, t.Pairs[i * 94 + k], 2);
    } else {
        const auto [s1, s2] = JisToSjisPair(a, b);
        o[0] = static_cast<char>(s1);
        o[1] = static_cast<char>(s2);
    }
    return o + 2;
}

} // namespace

std::pair<uint8_t, uint8_t> SjisToJisPair(uint8_t a, uint8_t b) noexcept {
    auto j1 = static_cast<uint8_t>((a < 0xA0 ? a - 0x70 : a - 0xB0) * 2);
    uint8_t j2 = b;
    if (b < 0x9F) {
        j1 = static_cast<uint8_t>(j1 - 1);
        j2 = static_cast<uint8_t>(b - (b < 0x80 ? 0x1F : 0x20));
    } else {
        j2 = static_cast<uint8_t>(b - 0x7E);
    }
    return {j1, j2};
}

namespace {

// The cores below keep the output position in a local pointer (a member would have to be
// reloaded after every byte written through a char pointer) and write into a buffer that
// the caller made large enough (MaxConvertedSize), so that no byte needs a capacity check.

const uint8_t* bytesOf(std::string_view s) noexcept { return reinterpret_cast<const uint8_t*>(s.data()); }

// Copies the run of plain ASCII bytes at P (none above 0x7F, no ESC) eight at a time to O and
// returns where the copying stopped: at the word that holds the run's end, or where fewer
// than eight bytes are left. O moves along.
inline const uint8_t* copyAscii(const uint8_t* p, const uint8_t* end, char*& o) noexcept {
    constexpr uint64_t high = 0x8080808080808080ULL;
    constexpr uint64_t ones = 0x0101010101010101ULL;
    constexpr uint64_t esc = 0x1B1B1B1B1B1B1B1BULL;
    char* q = o;
    while (end - p >= 8) {
        uint64_t w;
        std::memcpy(&w, p, 8);
        const uint64_t x = w ^ esc; // a zero byte where w holds ESC
        if ((w & high) || ((x - ones) & ~x & high)) break;
        std::memcpy(q, p, 8);
        q += 8;
        p += 8;
    }
    o = q;
    return p;
}

inline char* put3(char* o, const char* s) noexcept {
    std::memcpy(o, s, 3);
    return o + 3;
}

TConvertStep stepResult(const uint8_t* begin, const uint8_t* p, const char* start, const char* o) noexcept {
    return {static_cast<std::size_t>(p - begin), static_cast<std::size_t>(o - start)};
}

// Copies the ASCII run at P (copyAscii), then the byte that stopped it when that is ASCII too;
// returns where the reading goes on.
inline const uint8_t* copyAsciiRun(const uint8_t* p, const uint8_t* end, char*& o) noexcept {
    if ((p = copyAscii(p, end, o)) < end && *p < 0x80) *o++ = static_cast<char>(*p++);
    return p;
}

// Converts the run of EUC characters of JIS X 0208 at P (one table look-up each) to O and
// returns where it ends; O moves along.
inline const uint8_t* copyEucPairs(const TJisTable& table, const uint8_t* p, const uint8_t* end, char*& o) noexcept {
    while (end - p >= 2) {
        const unsigned a = p[0] - 0xA1u, b = p[1] - 0xA1u;
        if (a >= 94 || b >= 94) break;
        std::memcpy(o, table.Pairs[a * 94 + b], 2);
        o += 2;
        p += 2;
    }
    return p;
}

TConvertStep eucToSjis(const uint8_t* begin, const uint8_t* end, bool last, char* out) noexcept {
    const TJisTable& table = jisTable();
    const uint8_t* p = begin;
    char* o = out;
    while (p < end) {
        p = copyEucPairs(table, p, end, o);
        if (p >= end) break;
        const uint8_t c = *p;
        if (c < 0x80) {
            p = copyAsciiRun(p, end, o);
        } else if (c == 0x80 || c == 0xFF) {
            *o++ = static_cast<char>(c);
            ++p;
        } else if (end - p < 2) {
            if (!last) break;                           // the first byte of a character waits for the next piece
            if (c != 0x8E) *o++ = static_cast<char>(c); // a lone last byte is kept (0x8E alone goes)
            ++p;
        } else if (c == 0x8E) { // half-width katakana: its second byte
            *o++ = static_cast<char>(p[1]);
            p += 2;
        } else {
            o = putJisAsSjis(table, o, c & 0x7F, p[1] & 0x7F);
            p += 2;
        }
    }
    return stepResult(begin, p, out, o);
}

inline bool eucByte(uint8_t c) noexcept { return in(c, 0xA1, 0xFE); }

inline char* putCode(char* o, int code) noexcept {
    o[0] = static_cast<char>(code >> 8);
    o[1] = static_cast<char>(code & 0xFF);
    return o + 2;
}

// EUC with a page's outside characters: a JIS X 0212 character (0x8F and a pair) and each byte
// that is part of no character take codes of Codes, so that writing the text back gives
// every byte again.
TConvertStep eucToSjisOutside(const uint8_t* begin, const uint8_t* end, bool last, char* out,
                              TOutsideCodes& codes) noexcept {
    const TJisTable& table = jisTable();
    const uint8_t* p = begin;
    char* o = out;
    while (p < end) {
        p = copyEucPairs(table, p, end, o);
        if (p >= end) break;
        const uint8_t c = *p;
        if (c < 0x80) {
            p = copyAsciiRun(p, end, o);
            continue;
        }
        const std::ptrdiff_t whole = c == 0x8F ? 3 : (c == 0x8E || eucByte(c)) ? 2 : 1;
        if (end - p < whole && !last) break; // the rest of the character comes with the next piece
        if (c == 0x8E && end - p >= 2 && in(p[1], 0xA1, 0xDF)) {
            *o++ = static_cast<char>(p[1]);
            p += 2;
            continue;
        }
        if (c == 0x8F && end - p >= 3 && eucByte(p[1]) && eucByte(p[2])) {
            const int code = codes.Code0212((p[1] & 0x7F) << 8 | (p[2] & 0x7F));
            if (code >= 0) {
                o = putCode(o, code);
                p += 3;
                continue;
            }
        }
        o = putCode(o, codes.RawByte(c)); // a byte of no character: 0x80-0xA0 but 0x8E, 0xFF, a cut pair
        ++p;
    }
    return stepResult(begin, p, out, o);
}

TConvertStep jisToSjis(const uint8_t* begin, const uint8_t* end, bool last, bool& kanji, char* out) noexcept {
    const TJisTable& table = jisTable();
    const uint8_t* p = begin;
    char* o = out;
    while (p < end) {
        if (kanji) {
            // A run of pairs up to the next escape.
            while (end - p >= 2 && *p != 0x1B) {
                o = putJisAsSjis(table, o, p[0], p[1]);
                p += 2;
            }
        } else if (*p < 0x80) {
            if ((p = copyAscii(p, end, o)) >= end) break;
        }
        if (p >= end) break;
        const uint8_t c = *p;
        if (c == 0x1B) {
            if (end - p < 3 && !last) break; // the escape waits for its last bytes
            if (end - p > 1) {
                if (p[1] == '$')
                    kanji = true;
                else if (p[1] == '(')
                    kanji = false;
            }
            p += std::min<std::ptrdiff_t>(3, end - p);
        } else if (kanji) {
            if (!last) break;            // the first byte of a pair
            *o++ = static_cast<char>(c); // a lone last byte is kept
            ++p;
        } else {
            *o++ = static_cast<char>(c);
            ++p;
        }
    }
    return stepResult(begin, p, out, o);
}

// SjisToJisPair as look-ups without branches: the first byte is First[a] less one when
// Shifted[b], the second is Second[b].
struct TSjisTables {
    uint8_t First[256];
    uint8_t Second[256];
    uint8_t Shifted[256];
    // 1 for a lead byte whose JIS row lies in 0x21-0x7E (0x81-0x9F, 0xE0-0xEF), and for a trail
    // byte (0x40-0x7E, 0x80-0xFC).
    uint8_t Lead[256];
    uint8_t Trail[256];
};

const TSjisTables& sjisTables() {
    static const TSjisTables tables = [] {
        TSjisTables t{};
        for (int v = 0; v < 256; ++v) {
            const auto b = static_cast<uint8_t>(v);
            t.First[v] = SjisToJisPair(b, 0x9F).first;   // the first byte with no shift
            t.Second[v] = SjisToJisPair(0x81, b).second; // the second byte depends on b alone
            t.Shifted[v] = v < 0x9F ? 1 : 0;
            t.Lead[v] = in(b, 0x81, 0x9F) || in(b, 0xE0, 0xEF);
            t.Trail[v] = in(b, 0x40, 0xFC) && b != 0x7F;
        }
        return t;
    }();
    return tables;
}

// Writes the JIS pair of the Shift-JIS pair (C, D) at O, with Top added to both bytes (0x80
// for EUC); returns where the output goes on.
inline char* putSjisAsJis(const TSjisTables& t, char* o, uint8_t c, uint8_t d, uint8_t top) noexcept {
    o[0] = static_cast<char>(static_cast<uint8_t>(t.First[c] - t.Shifted[d]) | top);
    o[1] = static_cast<char>(t.Second[d] | top);
    return o + 2;
}

// What the character at P (not a half-width katakana) is written as: NotInTable for a pair
// that the arithmetic converts (Code 2: it takes two bytes), else its outside form (Code of
// Lost: the bytes it takes).
inline TOutsideForm formOf(const TSjisTables& t, const uint8_t* p, const uint8_t* end, const TConvertOptions& options,
                           bool jis) noexcept {
    const uint8_t c = p[0];
    const bool pair = end - p >= 2 && t.Trail[p[1]] && (t.Lead[c] || in(c, 0xF0, 0xFC));
    if (pair && t.Lead[c]) return {TOutsideForm::NotInTable, 2};
    if (pair && options.Codes) {
        const TOutsideForm form = options.Codes->Form(c << 8 | p[1], jis);
        const bool fits = form.Kind == TOutsideForm::Jis0208 || (!jis && form.Kind != TOutsideForm::Lost);
        if (form.Kind != TOutsideForm::NotInTable && fits) return form;
    }
    return {TOutsideForm::Lost, pair ? 2 : 1};
}

// The full-width JIS pair of the half-width katakana C, joined with a sound mark at Next
// (nullptr when none follows); Joined tells whether the mark was taken.
std::pair<uint8_t, uint8_t> kanaPair(uint8_t c, const uint8_t* next, bool& joined) noexcept {
    const uint8_t row = kanaInSymbolRow(c) ? 0x21 : 0x25;
    uint8_t cell = kKanaCell[c - 0xA1];
    joined = false;
    if (next && *next == 0xDE) {
        if (c == 0xB3) {
            cell = 0x74;
            joined = true;
        } else if (in(c, 0xB6, 0xC4) || in(c, 0xCA, 0xCE)) {
            cell += 1;
            joined = true;
        }
    } else if (next && *next == 0xDF && in(c, 0xCA, 0xCE)) {
        cell += 2;
        joined = true;
    }
    return {row, cell};
}

// Shift-JIS into JIS (ToJis) or EUC: the same pairs, with the high bit set in EUC. Half-width
// katakana stay half-width in EUC after the byte 0x8E; in JIS, which has none, they become
// full-width, joined with a sound mark that follows. JIS switches between ASCII and kanji
// with escapes (Kanji: whether kanji is on); the text ends in ASCII. Not inlined into
// ConvertPiece: there, beside the other cores, it cost them 5-10% (kanji_bench).
template <bool ToJis>
[[gnu::noinline]] TConvertStep sjisTo(const uint8_t* begin, const uint8_t* end, bool last, bool& kanji, char* out,
                                      const TConvertOptions& options) noexcept {
    const TSjisTables& tables = sjisTables();
    const char toAscii[3] = {'\x1B', '(', options.JisAscii};
    const uint8_t* p = begin;
    char* o = out;
    while (p < end) {
        const uint8_t c = *p;
        if (c < 0x80) {
            if (ToJis && kanji) {
                o = put3(o, toAscii);
                kanji = false;
            }
            p = copyAsciiRun(p, end, o);
            continue;
        }
        const bool kana = in(c, 0xA1, 0xDF);
        // A character that the end of the piece may cut waits for the next piece; in JIS a
        // half-width katakana too, which a sound mark there would join.
        if (end - p < 2 && !last && (ToJis || !kana)) break;
        TOutsideForm form{TOutsideForm::NotInTable, 1};
        if (!kana) form = formOf(tables, p, end, options, ToJis);
        if (form.Kind == TOutsideForm::Lost || form.Kind == TOutsideForm::Byte) {
            if (ToJis && kanji) {
                o = put3(o, toAscii);
                kanji = false;
            }
            *o++ = form.Kind == TOutsideForm::Byte ? static_cast<char>(form.Code) : '?';
            p += form.Kind == TOutsideForm::Byte ? 2 : form.Code;
            continue;
        }
        if (ToJis && !kanji) {
            o = put3(o, "\x1B$B");
            kanji = true;
        }
        if (kana && ToJis) {
            bool joined = false;
            const auto [row, cell] = kanaPair(c, end - p > 1 ? p + 1 : nullptr, joined);
            o[0] = static_cast<char>(row);
            o[1] = static_cast<char>(cell);
            o += 2;
            p += joined ? 2 : 1;
        } else if (kana) {
            o[0] = static_cast<char>(0x8E);
            o[1] = static_cast<char>(c);
            o += 2;
            ++p;
        } else if (form.Kind == TOutsideForm::NotInTable) {
            o = putSjisAsJis(tables, o, c, p[1], ToJis ? 0 : 0x80);
            p += 2;
        } else {
            if (form.Kind == TOutsideForm::Jis0212) *o++ = static_cast<char>(0x8F);
            o = putCode(o, form.Code | (ToJis ? 0 : 0x8080));
            p += 2;
        }
    }
    if (ToJis && last && kanji) {
        o = put3(o, toAscii);
        kanji = false;
    }
    return stepResult(begin, p, out, o);
}

// Converts S whole, piece by piece through a small buffer, into a string that is reserved
// once for the usual size and never filled beforehand.
std::string convertWhole(TConversion conversion, std::string_view s, std::size_t reserve) {
    constexpr std::size_t kPiece = std::size_t(1) << 15;
    const std::unique_ptr<char[]> buffer(new char[MaxConvertedSize(conversion, kPiece)]);
    std::string out;
    out.reserve(reserve);
    bool kanji = false;
    for (;;) {
        const std::size_t take = std::min(kPiece, s.size());
        const bool last = take == s.size();
        const TConvertStep step = ConvertPiece(conversion, s.substr(0, take), last, kanji, buffer.get());
        out.append(buffer.get(), step.Written);
        s.remove_prefix(step.Read);
        if (last) return out;
    }
}

} // namespace

std::size_t MaxConvertedSize(TConversion conversion, std::size_t n) noexcept {
    switch (conversion) {
    case TConversion::JisToSjis: return n;
    case TConversion::EucToSjis: // a byte of no character takes a double-byte code
    case TConversion::SjisToEuc: return 2 * n;
    case TConversion::SjisToJis: break;
    }
    // A half-width kana after ASCII takes ESC $ B and two bytes; the text ends with ESC ( J.
    return 5 * n + 3;
}

TConvertStep ConvertPiece(TConversion conversion, std::string_view text, bool last, bool& kanji, char* out,
                          const TConvertOptions& options) noexcept {
    const uint8_t* const begin = bytesOf(text);
    const uint8_t* const end = begin + text.size();
    switch (conversion) {
    case TConversion::EucToSjis:
        return options.Codes ? eucToSjisOutside(begin, end, last, out, *options.Codes)
                             : eucToSjis(begin, end, last, out);
    case TConversion::JisToSjis: return jisToSjis(begin, end, last, kanji, out);
    case TConversion::SjisToEuc: return sjisTo<false>(begin, end, last, kanji, out, options);
    case TConversion::SjisToJis: break;
    }
    return sjisTo<true>(begin, end, last, kanji, out, options);
}

std::string JisToSjis(std::string_view s) { return convertWhole(TConversion::JisToSjis, s, s.size()); }
std::string EucToSjis(std::string_view s) { return convertWhole(TConversion::EucToSjis, s, s.size()); }
std::string SjisToEuc(std::string_view s) { return convertWhole(TConversion::SjisToEuc, s, s.size() + s.size() / 8); }
std::string SjisToJis(std::string_view s) { return convertWhole(TConversion::SjisToJis, s, s.size() + s.size() / 4); }

bool IsJisX0208(uint8_t row, uint8_t cell) noexcept {
    // The assigned cells of the rows that are not full: symbols, digits and Latin letters,
    // kana, Greek, Cyrillic, box drawing, and the ends of the two kanji levels.
    struct TRange {
        uint8_t Row, First, Last;
    };
    static constexpr TRange kPartial[] = {
        {0x22, 0x21, 0x2E}, {0x22, 0x3A, 0x41}, {0x22, 0x4A, 0x50}, {0x22, 0x5C, 0x6A}, {0x22, 0x72, 0x79},
        {0x22, 0x7E, 0x7E}, {0x23, 0x30, 0x39}, {0x23, 0x41, 0x5A}, {0x23, 0x61, 0x7A}, {0x24, 0x21, 0x73},
        {0x25, 0x21, 0x76}, {0x26, 0x21, 0x38}, {0x26, 0x41, 0x58}, {0x27, 0x21, 0x41}, {0x27, 0x51, 0x71},
        {0x28, 0x21, 0x40}, {0x4F, 0x21, 0x53}, {0x74, 0x21, 0x26},
    };
    if (!in(cell, 0x21, 0x7E)) return false;
    if (row == 0x21 || (in(row, 0x30, 0x73) && row != 0x4F)) return true;
    for (const TRange& r : kPartial)
        if (r.Row == row && in(cell, r.First, r.Last)) return true;
    return false;
}

std::vector<TUnsafeChar> FindJisUnsafeChars(std::string_view s, std::size_t limit) {
    std::vector<TUnsafeChar> found;
    const std::size_t n = s.size();
    for (std::size_t i = 0; i < n && found.size() < limit;) {
        const uint8_t c = at(s, i);
        if (c < 0x80 || in(c, 0xA1, 0xDF)) {
            ++i;
            continue;
        }
        const bool lead = in(c, 0x81, 0x9F) || in(c, 0xE0, 0xFC);
        if (!lead || i + 1 >= n) {
            found.push_back({i, std::string(s.substr(i, 1))});
            ++i;
            continue;
        }
        const auto [j1, j2] = SjisToJisPair(c, at(s, i + 1));
        if (!IsJisX0208(j1, j2)) found.push_back({i, std::string(s.substr(i, 2))});
        i += 2;
    }
    return found;
}

} // namespace quire::jconvert
