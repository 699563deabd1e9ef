// UTF-16 text: detection and conversion to and from Shift_JIS rows.
#include "Utf16Codec.h"

#include "Cp932Codec.h"
#include "OutsideCharTable.h"
#include "ShiftJis.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace quire::utf16 {
namespace {

constexpr int kGeta = 0x81AC; // 〓, the mark of a character that could not be kept
constexpr std::size_t kSample = std::size_t(1) << 20;

char16_t unitAt(const unsigned char* p, bool big) noexcept {
    return static_cast<char16_t>(big ? (p[0] << 8 | p[1]) : (p[1] << 8 | p[0]));
}

bool isHigh(char16_t u) noexcept { return u >= 0xD800 && u <= 0xDBFF; }
bool isLow(char16_t u) noexcept { return u >= 0xDC00 && u <= 0xDFFF; }

// Whether the units of S (whole, even length) are characters throughout: none below U+0009,
// every surrogate in its pair (a high one at the very end may be cut by the sample).
bool unitsAreText(std::string_view s, bool big) noexcept {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const std::size_t n = s.size();
    for (std::size_t i = 0; i < n; i += 2) {
        const char16_t u = unitAt(p + i, big);
        if (u < 0x09) return false;
        if (isLow(u)) return false;
        if (isHigh(u)) {
            if (i + 2 >= n) return true;
            if (!isLow(unitAt(p + i + 2, big))) return false;
            i += 2;
        }
    }
    return true;
}

void putCode(char*& out, int code) noexcept {
    if (code < 0x100) {
        *out++ = static_cast<char>(code);
    } else {
        *out++ = static_cast<char>(code >> 8);
        *out++ = static_cast<char>(code & 0xFF);
    }
}

char* putUnit(char* out, char16_t u, bool big) noexcept {
    const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
    out[0] = big ? hi : lo;
    out[1] = big ? lo : hi;
    return out + 2;
}

} // namespace

TKind Detect(std::string_view bytes) noexcept {
    if (bytes.substr(0, 2) == kBomLe) return {true, false, true};
    if (bytes.substr(0, 2) == kBomBe) return {true, true, true};
    if (bytes.size() < 2 || bytes.size() % 2 != 0) return {};
    const std::string_view sample = bytes.substr(0, kSample);
    // Without a zero byte it is no UTF-16 (most files: memchr passes them many times faster
    // than the count below).
    if (std::memchr(sample.data(), 0, sample.size()) == nullptr) return {};
    // Zero high bytes (ASCII, line ends) far outnumber zero low bytes (U+3000, U+4E00, ...).
    std::size_t zeros[2] = {0, 0};
    for (std::size_t i = 0; i < sample.size(); ++i)
        if (sample[i] == '\0') ++zeros[i % 2];
    const bool big = zeros[0] > zeros[1];
    const std::size_t high = zeros[big ? 0 : 1], low = zeros[big ? 1 : 0];
    if (high * 256 < sample.size() || high < 4 * low) return {};
    // Text has line ends; a short one without is mostly ASCII.
    const char cr[2] = {big ? '\0' : '\r', big ? '\r' : '\0'}, lf[2] = {big ? '\0' : '\n', big ? '\n' : '\0'};
    bool lineEnd = false;
    for (std::size_t i = 0; i + 1 < sample.size() && !lineEnd; i += 2)
        lineEnd = (sample[i] == cr[0] && sample[i + 1] == cr[1]) || (sample[i] == lf[0] && sample[i + 1] == lf[1]);
    if (!lineEnd && high * 4 < sample.size()) return {};
    if (!unitsAreText(sample, big)) return {};
    return {true, big, false};
}

void ReserveOwnCodes(std::string_view s, bool big, TOutsideCharTable& table) {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    for (std::size_t i = 0; i + 1 < s.size(); i += 2) {
        const char16_t u = unitAt(p + i, big);
        if (u >= 0xE000 && u <= 0xE757)
            if (const int code = cp932::EncodeExact(u); code >= 0) table.Reserve(code);
    }
}

std::size_t PieceEnd(std::string_view s, std::size_t n, bool big) noexcept {
    if (n >= s.size()) return s.size();
    n &= ~std::size_t(1);
    if (n >= 2 && isHigh(unitAt(reinterpret_cast<const unsigned char*>(s.data()) + n - 2, big))) n -= 2;
    return n;
}

std::size_t ConvertPiece(std::string_view s, bool big, TOutsideCharTable& table, char* const start, TToShiftJis& r) {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const std::size_t n = s.size();
    char* out = start;
    for (std::size_t i = 0; i < n;) {
        if (n - i < 2) { // a last odd byte
            ++r.Invalid;
            break;
        }
        const char16_t u = unitAt(p + i, big);
        i += 2;
        if (u < 0x80) {
            *out++ = static_cast<char>(u);
            continue;
        }
        char32_t ch = u;
        if (isHigh(u) && n - i >= 2 && isLow(unitAt(p + i, big))) {
            ch = 0x10000 + ((u - 0xD800) << 10) + (unitAt(p + i, big) - 0xDC00);
            i += 2;
        } else if (isHigh(u) || isLow(u)) {
            ++r.Invalid;
            putCode(out, kGeta);
            continue;
        }
        int code = cp932::CodeFor(ch, table);
        if (code < 0) {
            code = kGeta;
            ++r.Unkept;
        }
        putCode(out, code);
    }
    return static_cast<std::size_t>(out - start);
}

std::size_t FromShiftJis(std::string_view s, const TOutsideCharTable* table, bool big, std::string& result) {
    std::size_t lost = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const std::size_t n = s.size();
    // Every byte gives at most two bytes: ASCII and half-width katakana one unit, a double-byte
    // character one unit or a surrogate pair.
    const std::size_t base = result.size();
    result.resize(base + 2 * n);
    char* out = result.data() + base;
    for (std::size_t i = 0; i < n;) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            out = putUnit(out, c, big);
            ++i;
            continue;
        }
        auto [ch, len] = cp932::PageCharAt(s, i, table);
        if (ch == 0 || (ch >= 0xD800 && ch <= 0xDFFF)) { // no character, or a raw byte of the table
            ch = 0xFFFD;
            ++lost;
        }
        if (ch >= 0x10000) {
            out = putUnit(out, static_cast<char16_t>(0xD800 + ((ch - 0x10000) >> 10)), big);
            out = putUnit(out, static_cast<char16_t>(0xDC00 + ((ch - 0x10000) & 0x3FF)), big);
        } else {
            out = putUnit(out, static_cast<char16_t>(ch), big);
        }
        i += len;
    }
    result.resize(static_cast<std::size_t>(out - result.data()));
    return lost;
}

} // namespace quire::utf16
