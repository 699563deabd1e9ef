// UTF-8 text: detection and conversion to and from Shift_JIS rows.
//
// Both conversions run over a whole file: ASCII goes through eight bytes at a time, and every
// other character is one look-up in the code page 932 tables.
#include "Utf8Codec.h"

#include "Cp932Codec.h"
#include "OutsideCharTable.h"
#include "ShiftJis.h"

#include <bit>
#include <cstdint>
#include <cstring>

namespace quire::utf8 {
namespace {

constexpr uint64_t kHighBits = 0x8080808080808080ULL;
static_assert(std::endian::native == std::endian::little, "the word-wise checks read bytes in little-endian order");
constexpr int kGeta = 0x81AC; // 〓, the mark of a character that could not be kept

bool isContinuation(unsigned char c) noexcept { return (c & 0xC0) == 0x80; }

// The number of ASCII bytes from P (at most N), eight at a time.
std::size_t asciiRun(const unsigned char* p, std::size_t n) noexcept {
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t w;
        std::memcpy(&w, p + i, 8);
        if (w & kHighBits) break;
    }
    while (i < n && p[i] < 0x80) ++i;
    return i;
}

void putCode(char*& out, int code) noexcept {
    if (code < 0x100) {
        *out++ = static_cast<char>(code);
    } else {
        *out++ = static_cast<char>(code >> 8);
        *out++ = static_cast<char>(code & 0xFF);
    }
}

} // namespace

TDecoded DecodeAt(std::string_view s, std::size_t i) noexcept {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const std::size_t n = s.size();
    const unsigned char c = p[i];
    if (c < 0x80) return {c, 1};
    if (c >= 0xC2 && c <= 0xDF) {
        if (i + 1 < n && isContinuation(p[i + 1])) return {char32_t((c & 0x1F) << 6 | (p[i + 1] & 0x3F)), 2};
        return {};
    }
    if (c >= 0xE0 && c <= 0xEF) {
        if (i + 2 >= n || !isContinuation(p[i + 1]) || !isContinuation(p[i + 2])) return {};
        if (c == 0xE0 && p[i + 1] < 0xA0) return {};  // overlong
        if (c == 0xED && p[i + 1] >= 0xA0) return {}; // a surrogate
        return {char32_t((c & 0x0F) << 12 | (p[i + 1] & 0x3F) << 6 | (p[i + 2] & 0x3F)), 3};
    }
    if (c >= 0xF0 && c <= 0xF4) {
        if (i + 3 >= n || !isContinuation(p[i + 1]) || !isContinuation(p[i + 2]) || !isContinuation(p[i + 3]))
            return {};
        if (c == 0xF0 && p[i + 1] < 0x90) return {};  // overlong
        if (c == 0xF4 && p[i + 1] >= 0x90) return {}; // past U+10FFFF
        return {char32_t((c & 0x07) << 18 | (p[i + 1] & 0x3F) << 12 | (p[i + 2] & 0x3F) << 6 | (p[i + 3] & 0x3F)), 4};
    }
    return {};
}

bool IsValid(std::string_view bytes, bool* multiByte) noexcept {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    bool multi = false;
    for (std::size_t i = 0; i < n;) {
        i += asciiRun(p + i, n - i);
        if (i >= n) break;
        multi = true;
        // Runs of three-byte sequences (Japanese, most symbols) are checked four bytes at a
        // time: a lead byte E1-EC or EE-EF and two continuation bytes (E0 and ED, with their
        // narrower second bytes, go through the full decoder).
        while (i + 4 <= n) {
            uint32_t w;
            std::memcpy(&w, p + i, 4);
            if ((w & 0x00C0C0F0u) != 0x008080E0u || (w & 0x0F) == 0 || (w & 0x0F) == 0x0D) break;
            i += 3;
        }
        if (i >= n) break;
        if (p[i] < 0x80) continue;
        const std::size_t len = DecodeAt(bytes, i).Length;
        if (len == 0) return false;
        i += len;
    }
    if (multiByte) *multiByte = multi;
    return true;
}

bool IsUtf8File(std::string_view bytes) noexcept {
    if (StartsWithBom(bytes)) return true;
    bool multi = false;
    return IsValid(bytes, &multi) && multi;
}

void ReserveOwnCodes(std::string_view s, TOutsideCharTable& table) {
    // Every user-defined character (U+E000-U+E757, "\xEE\x80\x80" to "\xEE\x9D\x97") of the
    // text keeps its own code.
    for (std::size_t at = s.find('\xEE'); at != std::string_view::npos; at = s.find('\xEE', at + 1)) {
        const TDecoded d = DecodeAt(s, at);
        if (d.Length != 3 || d.Ch > 0xE757) continue;
        const int code = cp932::EncodeExact(d.Ch);
        if (code >= 0) table.Reserve(code);
    }
}

std::size_t PieceEnd(std::string_view s, std::size_t n) noexcept {
    return n >= s.size() ? s.size() : UncutLength(s.substr(0, n));
}

std::size_t UncutLength(std::string_view s) noexcept {
    // A sequence is at most four bytes: a lead byte among the last three starts one that may
    // go on past the end, and is left for the next piece. Stray continuation bytes decode
    // alone wherever the cut falls.
    const std::size_t n = s.size();
    for (std::size_t k = 1; k <= 3 && k <= n; ++k) {
        const auto c = static_cast<unsigned char>(s[n - k]);
        if (isContinuation(c)) continue;
        return c >= 0xC0 ? n - k : n;
    }
    return n;
}

std::size_t ConvertPiece(std::string_view s, TOutsideCharTable& table, char* const start, TToShiftJis& r) {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const std::size_t n = s.size();
    char* out = start;
    for (std::size_t i = 0; i < n;) {
        const std::size_t run = asciiRun(p + i, n - i);
        std::memcpy(out, p + i, run);
        out += run;
        i += run;
        if (i >= n) break;
        const TDecoded d = DecodeAt(s, i);
        int code;
        if (d.Length == 0) {
            code = table.CodeOf(TOutsideCharTable::RawByteBase + p[i]);
            ++i;
        } else {
            code = cp932::CodeFor(d.Ch, table);
            i += d.Length;
        }
        if (code < 0) {
            code = kGeta;
            ++r.Unkept;
        }
        putCode(out, code);
    }
    return static_cast<std::size_t>(out - start);
}

TToShiftJis ToShiftJis(std::string_view s, TOutsideCharTable& table, std::string& result) {
    ReserveOwnCodes(s, table);
    TToShiftJis r;
    const std::size_t base = result.size();
    result.resize(base + MaxShiftJisSize(s.size()));
    result.resize(base + ConvertPiece(s, table, result.data() + base, r));
    return r;
}

namespace {

// Writes the UTF-8 form of Ch at Out (at most four bytes; a raw byte escape of the table as
// its byte) and returns the end.
char* putChar(char* out, char32_t ch) noexcept {
    if (ch >= TOutsideCharTable::RawByteBase + 0x80 && ch <= TOutsideCharTable::RawByteBase + 0xFF) {
        *out++ = static_cast<char>(ch - TOutsideCharTable::RawByteBase);
    } else if (ch < 0x80) {
        *out++ = static_cast<char>(ch);
    } else if (ch < 0x800) {
        *out++ = static_cast<char>(0xC0 | ch >> 6);
        *out++ = static_cast<char>(0x80 | (ch & 0x3F));
    } else if (ch < 0x10000) {
        *out++ = static_cast<char>(0xE0 | ch >> 12);
        *out++ = static_cast<char>(0x80 | (ch >> 6 & 0x3F));
        *out++ = static_cast<char>(0x80 | (ch & 0x3F));
    } else {
        *out++ = static_cast<char>(0xF0 | ch >> 18);
        *out++ = static_cast<char>(0x80 | (ch >> 12 & 0x3F));
        *out++ = static_cast<char>(0x80 | (ch >> 6 & 0x3F));
        *out++ = static_cast<char>(0x80 | (ch & 0x3F));
    }
    return out;
}

} // namespace

void AppendChar(std::string& out, char32_t ch) {
    char buffer[4];
    out.append(buffer, static_cast<std::size_t>(putChar(buffer, ch) - buffer));
}

TFromShiftJis FromShiftJis(std::string_view s, const TOutsideCharTable* table, std::string& result) {
    TFromShiftJis r;
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const std::size_t n = s.size();
    const std::size_t base = result.size();
    // Japanese text grows by half (two bytes become three); the result grows further when a
    // text needs it (half-width katakana: one byte becomes three).
    result.resize(base + n + n / 2 + 16);
    char* out = result.data() + base;
    char* end = result.data() + result.size();
    for (std::size_t i = 0; i < n;) {
        const std::size_t run = asciiRun(p + i, n - i);
        if (run > 0) {
            if (static_cast<std::size_t>(end - out) < run + 4) {
                const std::size_t used = static_cast<std::size_t>(out - result.data());
                result.resize(used + (n - i) * 3 + 16);
                out = result.data() + used;
                end = result.data() + result.size();
            }
            std::memcpy(out, p + i, run);
            out += run;
            i += run;
            if (i >= n) break;
        }
        if (end - out < 4) {
            const std::size_t used = static_cast<std::size_t>(out - result.data());
            result.resize(used + (n - i) * 3 + 16);
            out = result.data() + used;
            end = result.data() + result.size();
        }
        auto [ch, len] = cp932::PageCharAt(s, i, table);
        if (ch == 0) {
            ch = 0xFFFD;
            if (r.Lost++ == 0) r.FirstLost = i;
        }
        out = putChar(out, ch);
        i += len;
    }
    result.resize(static_cast<std::size_t>(out - result.data()));
    return r;
}

} // namespace quire::utf8
