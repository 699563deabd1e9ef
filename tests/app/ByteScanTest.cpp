// The fast byte passes against plain byte-by-byte references, at every alignment and length.
#include "ByteScan.h"

#include <gtest/gtest.h>
#include <random>
#include <string>

using namespace quire::bytescan;

namespace {

// Random bytes drawn mostly from Alphabet, now and then any byte.
std::string randomBytes(std::mt19937& rng, std::size_t n, std::string_view alphabet) {
    std::string s(n, '\0');
    for (char& c : s) c = rng() % 8 == 0 ? static_cast<char>(rng()) : alphabet[rng() % alphabet.size()];
    return s;
}

TJisRun jisRunByBytes(std::string_view s, std::size_t from, bool kanji) {
    TJisRun r;
    std::size_t i = from;
    for (; i < s.size() && s[i] != '\x1B'; ++i) {
        const auto u = static_cast<unsigned char>(s[i]);
        if (kanji ? (u < 0x21 || u > 0x7E) : u >= 0x80) r.Clean = false;
        if (s[i] == '\r' || s[i] == '\n') r.AfterLineEnd = i + 1;
    }
    r.Esc = i;
    return r;
}

// The length of the longest leading part made of ASCII and pairs 0xA1-0xFE, and whether each
// position up to it is the start of a character.
std::size_t plainEucPrefix(std::string_view s, std::vector<bool>& starts) {
    starts.assign(s.size() + 1, false);
    std::size_t i = 0;
    for (;;) {
        starts[i] = true;
        if (i == s.size()) return i;
        const auto u = static_cast<unsigned char>(s[i]);
        if (u < 0x80) {
            ++i;
            continue;
        }
        const auto pairs = [](unsigned char c) { return c >= 0xA1 && c <= 0xFE; };
        if (i + 1 < s.size() && pairs(u) && pairs(static_cast<unsigned char>(s[i + 1]))) {
            i += 2;
            continue;
        }
        return i;
    }
}

} // namespace

TEST(ByteScan, CountsLineEndsAsByteByByte) {
    std::mt19937 rng(3);
    for (int trial = 0; trial < 300; ++trial) {
        const std::string s = randomBytes(rng, rng() % 700, "\r\n\r\nab\xA4\xA2");
        const std::size_t from = rng() % (s.size() + 1);
        const std::string_view v = std::string_view(s).substr(from);
        TLineEndCount expected;
        for (char c : v) {
            expected.Cr += c == '\r';
            expected.Lf += c == '\n';
        }
        const TLineEndCount got = CountLineEnds(v);
        ASSERT_EQ(got.Cr, expected.Cr) << "trial " << trial;
        ASSERT_EQ(got.Lf, expected.Lf) << "trial " << trial;
    }
    // Long runs of line ends, past what one round of byte counters holds.
    const std::string many(100003, '\n');
    EXPECT_EQ(CountLineEnds(many).Lf, many.size());
    EXPECT_EQ(CountLineEnds(many).Cr, 0u);
    EXPECT_EQ(CountLineEnds(std::string(70001, '\r')).Cr, 70001u);
}

TEST(ByteScan, FindsTheEscapeAndJudgesTheRunAsByteByByte) {
    std::mt19937 rng(5);
    for (int trial = 0; trial < 2000; ++trial) {
        const std::string s = randomBytes(rng, rng() % 120, "\x1B\x1B\r\n!~ \x7F\x21\x34\x41\x80");
        const std::size_t from = rng() % (s.size() + 1);
        for (bool kanji : {false, true}) {
            const TJisRun expected = jisRunByBytes(s, from, kanji);
            const TJisRun got = ScanJisRun(s.data(), from, s.size(), kanji);
            ASSERT_EQ(got.Esc, expected.Esc) << "trial " << trial << " kanji " << kanji;
            ASSERT_EQ(got.Clean, expected.Clean) << "trial " << trial << " kanji " << kanji;
            ASSERT_EQ(got.AfterLineEnd, expected.AfterLineEnd) << "trial " << trial << " kanji " << kanji;
        }
    }
}

TEST(ByteScan, SkipsOnlyWholePlainEucCharacters) {
    std::mt19937 rng(7);
    std::vector<bool> starts;
    int skippedFar = 0;
    for (int trial = 0; trial < 3000; ++trial) {
        // Mostly pairs and ASCII in runs of every length; sometimes a stray byte or kana.
        std::string s;
        const std::size_t n = rng() % 600;
        while (s.size() < n) {
            const bool high = rng() % 2 == 0;
            const std::size_t run = high ? 2 * (1 + rng() % 20) - (rng() % 50 == 0) : 1 + rng() % 40;
            for (std::size_t k = 0; k < run; ++k) s += high ? static_cast<char>(0xA1 + rng() % 94) : 'a';
            if (rng() % 60 == 0) s += rng() % 2 ? "\x8E\xB1" : "\xA0";
        }
        const std::size_t plain = plainEucPrefix(s, starts);
        const std::size_t got = SkipPlainEuc(s.data(), s.size());
        ASSERT_LE(got, plain) << "trial " << trial;
        ASSERT_TRUE(starts[got]) << "trial " << trial << " stopped inside a character at " << got;
        if (plain == s.size() && got + 128 >= s.size() && s.size() > 256) ++skippedFar;
        if (plain == s.size()) {
            ASSERT_GE(got + 64, s.size()) << "trial " << trial << ": a plain text was left to the careful look";
        }
    }
    EXPECT_GT(skippedFar, 100);
}
