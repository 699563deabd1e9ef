// Kanji code detection and the program's own converters.
#include "jconvert.h"

#include <algorithm>
#include <array>
#include <cstring>

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

bool kanaInSymbolRow(uint8_t c) noexcept {
    return in(c, 0xA1, 0xA5) || c == 0xB0 || c == 0xDE || c == 0xDF;
}

} // namespace

namespace {

// ESC $ B is JIS, ESC $ @ old JIS; I moves past what was looked at.
void scanEscape(std::string_view s, std::size_t& i, int& result) noexcept {
    ++i; // the byte after ESC is looked at
    if (at(s, i) == '$') {
        ++i;
        if (i < s.size()) {
            if (at(s, i) == 'B') result = kdJis;
            else if (at(s, i) == 0x40) result = kdOldJis;
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
            if (in(x, 0x81, 0x8D) || in(x, 0x8F, 0x9C)) result = kdShiftJis;
            else if (x == 0xFD || x == 0xFE) result = kdEuc;
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
        if (in(d, 0x40, 0x7E) || in(d, 0x80, 0xA0) || in(d, 0xE0, 0xFC)) result = kdShiftJis;
        else if (in(d, 0xA1, 0xDF)) result = kdEucOrSjis;
    } else if (in(c, 0xF0, 0xFE)) {
        result = kdEuc;
    } else if (in(c, 0xE0, 0xEF)) {
        const uint8_t d = at(s, ++i);
        if (in(d, 0x40, 0x7E) || in(d, 0x80, 0xA0)) result = kdShiftJis;
        else if (in(d, 0xFD, 0xFE)) result = kdEuc;
        else if (in(d, 0xA1, 0xFC)) result = kdEucOrSjis;
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
    const int own = DetectLineEnd(text);
    const std::string_view from = lineEndBytes(own);
    const std::string_view to = lineEndBytes(target);
    if (own == leNone || own == target || to.empty()) return std::string(text);
    // Only whole line ends of the text's own kind are replaced: a lone CR in a CR LF text
    // stays, together with the byte after it.
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size();) {
        if (text.compare(i, from.size(), from) == 0) {
            out += to;
            i += from.size();
        } else {
            out += text[i++];
        }
    }
    return out;
}

std::pair<uint8_t, uint8_t> JisToSjisPair(uint8_t a, uint8_t b) noexcept {
    const auto s1 = static_cast<uint8_t>(((a + 1) >> 1) + (a < 0x5F ? 0x70 : 0xB0));
    const auto s2 = static_cast<uint8_t>(b + ((a & 1) == 0 ? 0x7E : (b < 0x60 ? 0x1F : 0x20)));
    return {s1, s2};
}

namespace {

// JisToSjisPair for every JIS X 0208 row/cell pair, as the two bytes high then low.
const std::array<uint16_t, 94 * 94>& jisTable() {
    static const std::array<uint16_t, 94 * 94> table = [] {
        std::array<uint16_t, 94 * 94> t{};
        for (int a = 0; a < 94; ++a) {
            for (int b = 0; b < 94; ++b) {
                const auto [s1, s2] = JisToSjisPair(static_cast<uint8_t>(a + 0x21), static_cast<uint8_t>(b + 0x21));
                t[static_cast<size_t>(a * 94 + b)] = static_cast<uint16_t>((s1 << 8) | s2);
            }
        }
        return t;
    }();
    return table;
}

// JisToSjisPair through the table when both bytes are in 0x21..0x7E.
inline std::pair<uint8_t, uint8_t> jisToSjisFast(const std::array<uint16_t, 94 * 94>& t, uint8_t a,
                                                 uint8_t b) noexcept {
    const unsigned i = a - 0x21u, k = b - 0x21u;
    if (i < 94 && k < 94) {
        const uint16_t v = t[i * 94 + k];
        return {static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)};
    }
    return JisToSjisPair(a, b);
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

// The converters write through a pointer into a buffer and cut it to what was written at the
// end: a capacity check per character (Room) instead of a growth check per byte appended.
class Output {
public:
    explicit Output(std::size_t capacity) {
        buffer_.resize(capacity + 16);
        o_ = buffer_.data();
        limit_ = o_ + buffer_.size();
    }
    // Makes sure that N more bytes fit.
    void Room(std::size_t n) {
        if (static_cast<std::size_t>(limit_ - o_) >= n) return;
        const std::size_t used = static_cast<std::size_t>(o_ - buffer_.data());
        buffer_.resize(std::max(buffer_.size() + buffer_.size() / 2, used + n));
        o_ = buffer_.data() + used;
        limit_ = buffer_.data() + buffer_.size();
    }
    // Copies the run of plain ASCII bytes at P (none above 0x7F, no ESC) eight at a time and
    // returns where the run ends.
    const uint8_t* CopyAscii(const uint8_t* p, const uint8_t* end) {
        constexpr uint64_t high = 0x8080808080808080ULL;
        constexpr uint64_t ones = 0x0101010101010101ULL;
        constexpr uint64_t esc = 0x1B1B1B1B1B1B1B1BULL;
        while (end - p >= 8) {
            uint64_t w;
            std::memcpy(&w, p, 8);
            const uint64_t x = w ^ esc; // a zero byte where w holds ESC
            if ((w & high) || ((x - ones) & ~x & high)) break;
            Room(8);
            std::memcpy(o_, p, 8);
            o_ += 8;
            p += 8;
        }
        Room(16); // enough for the character that ends the run
        return p;
    }
    void Put(uint8_t c) noexcept { *o_++ = static_cast<char>(c); }
    void Put(uint8_t a, uint8_t b) noexcept {
        o_[0] = static_cast<char>(a);
        o_[1] = static_cast<char>(b);
        o_ += 2;
    }
    void Put(std::pair<uint8_t, uint8_t> p) noexcept { Put(p.first, p.second); }
    void Put3(const char* s) noexcept {
        o_[0] = s[0];
        o_[1] = s[1];
        o_[2] = s[2];
        o_ += 3;
    }
    std::string Take() {
        buffer_.resize(static_cast<std::size_t>(o_ - buffer_.data()));
        return std::move(buffer_);
    }

private:
    std::string buffer_;
    char* o_;
    char* limit_;
};

} // namespace

std::string JisToSjis(std::string_view s) {
    Output out(s.size());
    const auto& table = jisTable();
    bool kanji = false;
    const auto* p = reinterpret_cast<const uint8_t*>(s.data());
    const auto* end = p + s.size();
    while (p < end) {
        if (!kanji && *p < 0x80 && (p = out.CopyAscii(p, end)) >= end) break;
        const uint8_t c = *p;
        if (c == 0x1B) {
            if (end - p > 1) {
                if (p[1] == '$') kanji = true;
                else if (p[1] == '(') kanji = false;
            }
            p += std::min<std::ptrdiff_t>(3, end - p);
        } else if (kanji && end - p > 1) {
            out.Put(jisToSjisFast(table, c, p[1]));
            p += 2;
        } else {
            out.Put(c);
            ++p;
        }
    }
    return out.Take();
}

namespace {

// Converts S character by character: runs of ASCII are copied as they are, and Step writes
// the character at P (not a run's ASCII) and returns where the next one starts.
template <typename Step>
std::string convertChars(std::string_view s, std::size_t reserve, Step step) {
    Output out(reserve);
    const auto* p = reinterpret_cast<const uint8_t*>(s.data());
    const auto* end = p + s.size();
    while (p < end) {
        if (*p < 0x80 && (p = out.CopyAscii(p, end)) >= end) break;
        out.Room(2);
        p = step(out, p, end);
    }
    return out.Take();
}

} // namespace

std::string EucToSjis(std::string_view s) {
    const auto& table = jisTable();
    return convertChars(s, s.size(), [&table](Output& out, const uint8_t* p, const uint8_t* end) {
        const uint8_t c = *p;
        if (c <= 0x80 || c == 0xFF) {
            out.Put(c);
            return p + 1;
        }
        if (c == 0x8E) { // half-width katakana: its second byte
            if (end - p > 1) out.Put(p[1]);
            return p + std::min<std::ptrdiff_t>(2, end - p);
        }
        if (end - p > 1) {
            out.Put(jisToSjisFast(table, c & 0x7F, p[1] & 0x7F));
            return p + 2;
        }
        out.Put(c); // a lone last byte is kept
        return p + 1;
    });
}

std::string SjisToEuc(std::string_view s) {
    return convertChars(s, s.size() + s.size() / 8, [](Output& out, const uint8_t* p, const uint8_t* end) {
        const uint8_t c = *p;
        if (c < 0x80) {
            out.Put(c);
            return p + 1;
        }
        if (in(c, 0xA1, 0xDF)) { // half-width katakana
            out.Put(0x8E, c);
            return p + 1;
        }
        if (end - p > 1) {
            const auto [j1, j2] = SjisToJisPair(c, p[1]);
            out.Put(j1 | 0x80, j2 | 0x80);
            return p + 2;
        }
        out.Put(c); // a lone last byte is kept
        return p + 1;
    });
}

std::string SjisToJis(std::string_view s) {
    Output out(s.size() + s.size() / 2);
    bool kanji = false;
    const auto* p = reinterpret_cast<const uint8_t*>(s.data());
    const auto* end = p + s.size();
    while (p < end) {
        out.Room(16); // the most one character and the escapes around it take
        const uint8_t c = *p;
        if (c < 0x80) {
            if (kanji) {
                out.Put3("\x1B(J");
                kanji = false;
            }
            out.Put(c);
            ++p;
            continue;
        }
        if (!kanji) {
            out.Put3("\x1B$B");
            kanji = true;
        }
        if (in(c, 0xA1, 0xDF)) {
            // Half-width katakana become full-width; a sound mark joins the kana before it.
            const uint8_t row = kanaInSymbolRow(c) ? 0x21 : 0x25;
            uint8_t cell = kKanaCell[c - 0xA1];
            ++p;
            if (p < end && *p == 0xDE) {
                if (c == 0xB3) {
                    cell = 0x74;
                    ++p;
                } else if (in(c, 0xB6, 0xC4) || in(c, 0xCA, 0xCE)) {
                    cell += 1;
                    ++p;
                }
            } else if (p < end && *p == 0xDF && in(c, 0xCA, 0xCE)) {
                cell += 2;
                ++p;
            }
            out.Put(row, cell);
        } else if (end - p > 1) {
            out.Put(SjisToJisPair(c, p[1]));
            p += 2;
        } else {
            out.Put(c); // a lone last byte is kept
            ++p;
        }
    }
    out.Room(3);
    if (kanji) out.Put3("\x1B(J");
    return out.Take();
}

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
