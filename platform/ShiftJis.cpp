// Shift_JIS (code page 932) byte-string routines.
#include "ShiftJis.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quire::sjis {

TMbcsByteType ByteType(std::string_view s, std::size_t pos) noexcept {
    if (pos < 1 || pos > s.size()) return TMbcsByteType::mbSingleByte;
    const std::size_t target = pos - 1;
    std::size_t i = 0;
    while (i < target) {
        if (IsLeadByte(s[i])) {
            if (i + 1 == target) return TMbcsByteType::mbTrailByte;
            i += 2;
        } else {
            ++i;
        }
    }
    return IsLeadByte(s[target]) ? TMbcsByteType::mbLeadByte : TMbcsByteType::mbSingleByte;
}

bool IsLeadByteAt(std::string_view s, std::size_t pos) noexcept {
    return ByteType(s, pos) == TMbcsByteType::mbLeadByte;
}

bool IsTrailByteAt(std::string_view s, std::size_t pos) noexcept {
    return ByteType(s, pos) == TMbcsByteType::mbTrailByte;
}

std::size_t CharCount(std::string_view s, std::size_t n) noexcept {
    if (n > s.size()) n = s.size();
    std::size_t count = 0;
    for (std::size_t i = 0; i < n; i += IsLeadByte(s[i]) ? 2 : 1) ++count;
    return count;
}

std::size_t CharsToBytes(std::string_view s, std::size_t chars) noexcept {
    std::size_t i = 0;
    while (chars > 0 && i < s.size()) {
        i += CharLengthAt(s, i);
        --chars;
    }
    return i;
}

bool ContainsChar(std::string_view rules, std::string_view ch) noexcept {
    if (ch.empty()) return false;
    for (std::size_t i = 0; i < rules.size();) {
        const std::size_t len = CharLengthAt(rules, i);
        if (rules.substr(i, len) == ch) return true;
        i += len;
    }
    return false;
}

const char* FindLineEnd(const char* p, const char* end) noexcept {
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    while (end - p >= 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const int hits = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf)));
        if (hits) return p + __builtin_ctz(static_cast<unsigned>(hits));
        p += 16;
    }
#endif
    while (p < end && *p != '\r' && *p != '\n') ++p;
    return p;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    const char* start = begin;
    for (const char* e; (e = FindLineEnd(start, end)) != end;) {
        lines.emplace_back(start, static_cast<std::size_t>(e - start));
        start = e + ((*e == '\r' && e + 1 < end && e[1] == '\n') ? 2 : 1);
    }
    if (start < end) lines.emplace_back(start, static_cast<std::size_t>(end - start));
    return lines;
}

std::string WithCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    const char* const end = text.data() + text.size();
    const char* start = text.data();
    for (const char* e; (e = FindLineEnd(start, end)) != end;) {
        out.append(start, e);
        out += "\r\n";
        start = e + ((*e == '\r' && e + 1 < end && e[1] == '\n') ? 2 : 1);
    }
    out.append(start, end);
    return out;
}

int LeadingBlankWidth(std::string_view s) noexcept {
    int width = 0;
    std::size_t i = 0;
    while (i < s.size()) {
        if (s[i] == ' ') {
            width += 1;
            i += 1;
        } else if (i + 1 < s.size() && static_cast<unsigned char>(s[i]) == 0x81 &&
                   static_cast<unsigned char>(s[i + 1]) == 0x40) {
            width += 2;
            i += 2;
        } else {
            break;
        }
    }
    return width;
}

} // namespace quire::sjis
