// Fast passes over the bytes of a JIS or EUC text: counting line ends, finding escapes, and
// skipping plain EUC, sixteen or sixty-four bytes at a time where SSE2 is there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quire::bytescan {

struct TLineEndCount {
    std::size_t Cr = 0;
    std::size_t Lf = 0;
    friend bool operator==(const TLineEndCount&, const TLineEndCount&) = default;
};

// The number of CR bytes and of LF bytes in S.
TLineEndCount CountLineEnds(std::string_view S) noexcept;

// What lies between a place in a JIS text and the next ESC.
struct TJisRun {
    std::size_t Esc = 0;          // the position of the next ESC, or the end
    bool Clean = true;            // every byte before it fits the set: 0x21-0x7E in kanji, below 0x80 else
    std::size_t AfterLineEnd = 0; // the position after the last CR or LF before it, or 0
};

// The length of a leading part of [B, B + N) made only of ASCII and of whole pairs of bytes
// 0xA1-0xFE, found 64 bytes at a time; it ends at the start of a character, where a block
// holds anything else (half-width kana, a stray byte) or fewer than 64 bytes are left. The
// bytes after it are for a careful look.
std::size_t SkipPlainEuc(const char* B, std::size_t N) noexcept;

#if defined(__SSE2__)
// The bytes of V (taken as signed) above Low and below High, as a mask of 0xFF bytes.
inline __m128i Between(__m128i v, char low, char high) noexcept {
    return _mm_and_si128(_mm_cmpgt_epi8(v, _mm_set1_epi8(low)), _mm_cmplt_epi8(v, _mm_set1_epi8(high)));
}
#endif

// Looks at [B + From, B + N) up to its first ESC, in the kanji set or not. Inline: it is
// called once for every run between two escapes.
inline TJisRun ScanJisRun(const char* b, std::size_t from, std::size_t n, bool kanji) noexcept {
    TJisRun r;
    std::size_t i = from;
#if defined(__SSE2__)
    const __m128i esc = _mm_set1_epi8(0x1B);
    const auto mask = [](__m128i m) { return static_cast<unsigned>(_mm_movemask_epi8(m)); };
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    for (; n - i >= 16; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i));
        const unsigned escapes = mask(_mm_cmpeq_epi8(v, esc));
        const unsigned before = escapes != 0 ? (1u << __builtin_ctz(escapes)) - 1 : 0xFFFFu;
        const unsigned unfit = kanji ? ~mask(Between(v, 0x20, 0x7F)) : mask(v);
        if ((unfit & before) != 0) r.Clean = false;
        const unsigned ends = mask(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf))) & before;
        if (ends != 0) r.AfterLineEnd = i + static_cast<std::size_t>(32 - __builtin_clz(ends));
        if (escapes != 0) {
            r.Esc = i + static_cast<std::size_t>(__builtin_ctz(escapes));
            return r;
        }
    }
#endif
    for (; i < n && b[i] != 0x1B; ++i) {
        const auto u = static_cast<uint8_t>(b[i]);
        if (kanji ? u < 0x21 || u > 0x7E : u >= 0x80) r.Clean = false;
        if (b[i] == '\r' || b[i] == '\n') r.AfterLineEnd = i + 1;
    }
    r.Esc = i;
    return r;
}

} // namespace quire::bytescan
