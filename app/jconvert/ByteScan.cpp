// The byte passes of ByteScan.h.
#include "ByteScan.h"

#include <algorithm>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quire::bytescan {

namespace {

#if defined(__SSE2__)
__m128i load(const char* p) noexcept { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }

unsigned maskOf(__m128i v) noexcept { return static_cast<unsigned>(_mm_movemask_epi8(v)); }

// The sum of the byte counters in the two halves of V.
std::size_t sumBytes(__m128i v) noexcept {
    const __m128i sums = _mm_sad_epu8(v, _mm_setzero_si128());
    return static_cast<std::size_t>(_mm_cvtsi128_si32(sums)) +
           static_cast<std::size_t>(_mm_cvtsi128_si32(_mm_srli_si128(sums, 8)));
}
#endif

// One bit a byte of the 64 at B: the high bit set, and the high bit set with the low seven
// bits in 0x21-0x7E (a byte of 0xA1-0xFE).
struct TEucMasks {
    uint64_t High = 0;
    uint64_t Pair = 0;
};

TEucMasks eucMasks(const char* b) noexcept {
    TEucMasks m;
#if defined(__SSE2__)
    const __m128i top = _mm_set1_epi8(static_cast<char>(0x80));
    for (int k = 0; k < 4; ++k) {
        const __m128i v = load(b + 16 * k);
        m.High |= uint64_t{maskOf(v)} << (16 * k);
        m.Pair |= uint64_t{maskOf(Between(_mm_xor_si128(v, top), 0x20, 0x7F))} << (16 * k);
    }
#else
    for (int k = 0; k < 64; ++k) {
        const auto u = static_cast<uint8_t>(b[k]);
        m.High |= uint64_t{u >= 0x80} << k;
        m.Pair |= uint64_t{u >= 0xA1 && u <= 0xFE} << k;
    }
#endif
    return m;
}

// How far a block of 64 bytes whose high bytes are all 0xA1-0xFE is taken: 64 when its runs
// of high bytes pair up, 63 when only the last run is odd (its last byte begins a pair that
// the next block ends), 0 when a run inside it is odd.
std::size_t pairedRuns(uint64_t high) noexcept {
    while (high != 0) {
        const int start = __builtin_ctzll(high);
        const uint64_t from = high >> start;
        const int length = ~from == 0 ? 64 - start : __builtin_ctzll(~from);
        if (start + length == 64) return length % 2 == 0 ? 64 : 63;
        if (length % 2 != 0) return 0;
        high &= ~(((uint64_t{1} << length) - 1) << start);
    }
    return 64;
}

} // namespace

TLineEndCount CountLineEnds(std::string_view s) noexcept {
    TLineEndCount n;
    const char* p = s.data();
    std::size_t left = s.size();
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    while (left >= 16) {
        // Byte counters count at most 255 hits each before they are added up.
        const std::size_t steps = std::min<std::size_t>(left / 16, 255);
        __m128i crs = _mm_setzero_si128(), lfs = _mm_setzero_si128();
        for (std::size_t k = 0; k < steps; ++k, p += 16) {
            const __m128i v = load(p);
            crs = _mm_sub_epi8(crs, _mm_cmpeq_epi8(v, cr));
            lfs = _mm_sub_epi8(lfs, _mm_cmpeq_epi8(v, lf));
        }
        n.Cr += sumBytes(crs);
        n.Lf += sumBytes(lfs);
        left -= steps * 16;
    }
#endif
    for (; left > 0; --left, ++p) {
        n.Cr += *p == '\r';
        n.Lf += *p == '\n';
    }
    return n;
}

std::size_t SkipPlainEuc(const char* b, std::size_t n) noexcept {
    std::size_t i = 0;
    while (n - i >= 64) {
        const TEucMasks m = eucMasks(b + i);
        if ((m.High & ~m.Pair) != 0) break;
        const std::size_t taken = pairedRuns(m.High);
        if (taken == 0) break;
        i += taken;
    }
    return i;
}

} // namespace quire::bytescan
