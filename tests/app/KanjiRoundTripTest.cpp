// Whether a JIS or EUC text survives being read and written back, checked while it streams by.
#include "KanjiRoundTrip.h"
#include "KanjiPlainScan.h"
#include "KanjiStream.h"
#include "jconvert.h"

#include "../../bench/TextGenerator.h"

#include <gtest/gtest.h>
#include <random>

using namespace quire;
using namespace quire::jconvert;

namespace {

// The rule stated plainly, as the test's own reference: a JIS text as (character set, byte)
// pairs, the escape sequences only choosing sets, ASCII and JIS-Roman one set, and a line end
// ASCII in any set.
std::vector<std::pair<char, char>> jisPairs(std::string_view s) {
    std::vector<std::pair<char, char>> out;
    char set = 'B';
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\x1B' && i + 2 < s.size() && (s[i + 1] == '$' || s[i + 1] == '(')) {
            set = s[i + 1] == '$' ? 'K' : s[i + 2] == 'J' ? 'B' : s[i + 2];
            i += 2;
            continue;
        }
        out.emplace_back(s[i] == '\r' || s[i] == '\n' ? 'B' : set, s[i]);
    }
    return out;
}

bool keepsBytesWhole(TConversion reading, std::string_view s) {
    if (reading == TConversion::JisToSjis) return jisPairs(SjisToJis(JisToSjis(s))) == jisPairs(s);
    return SjisToEuc(EucToSjis(s)) == s;
}

// The check fed as the editor feeds it: each piece read, then what converting it gave, that
// in two parts so that its cuts differ from the pieces'.
bool keepsBytesStreamed(TConversion reading, std::string_view s, std::mt19937& rng) {
    TKanjiRoundTrip check(reading);
    TKanjiStream stream(reading);
    for (std::size_t i = 0; i <= s.size();) {
        const std::size_t n = std::min<std::size_t>(s.size() - i, rng() % 3 == 0 ? rng() % 4 : rng() % 3000);
        const std::string_view piece = s.substr(i, n);
        const bool last = i + n == s.size();
        check.Read(piece);
        std::string out(stream.MaxOutput(piece.size()), '\0');
        const std::size_t written = stream.Convert(piece, last, out.data());
        const std::size_t half = written / 2;
        check.Converted(std::string_view(out.data(), half));
        check.Converted(std::string_view(out.data() + half, written - half));
        if (last) break;
        i += n;
    }
    return check.Finish();
}

// A text in the code with a few bytes changed at random (NUL never: it ends a text first).
std::string mutated(std::string s, std::mt19937& rng) {
    static const char odd[] = {'\x1B', '$',    '(',    'I',    'J',  '@',  '\x8E',
                               '\x8F', '\xA1', '\xFE', '\x80', '\r', '\n', '\xDF'};
    const int changes = static_cast<int>(rng() % 3);
    for (int k = 0; k < changes && !s.empty(); ++k) s[rng() % s.size()] = odd[rng() % sizeof odd];
    return s;
}

} // namespace

TEST(KanjiRoundTrip, StreamedCheckAgreesWithTheWholeTextRule) {
    std::mt19937 rng(41);
    const auto t = bench::GenerateJapaneseText(20000, 43);
    for (TConversion reading : {TConversion::EucToSjis, TConversion::JisToSjis}) {
        const std::string& source = reading == TConversion::JisToSjis ? t.Jis : t.Euc;
        int kept = 0, changed = 0;
        for (int trial = 0; trial < 300; ++trial) {
            const std::size_t from = rng() % source.size();
            const std::string s = mutated(source.substr(from, rng() % 4000), rng);
            const bool expected = keepsBytesWhole(reading, s);
            ASSERT_EQ(keepsBytesStreamed(reading, s, rng), expected)
                << "reading " << static_cast<int>(reading) << " trial " << trial;
            (expected ? kept : changed) += 1;
        }
        // Both answers came up often enough to mean something.
        EXPECT_GT(kept, 30);
        EXPECT_GT(changed, 30);
        EXPECT_TRUE(keepsBytesStreamed(reading, source, rng));
        EXPECT_TRUE(keepsBytesStreamed(reading, "", rng));
    }
}

TEST(KanjiRoundTrip, JisCharactersCountAndEscapesDoNot) {
    const char* const kanji = "\x1B$B\x34\x41\x1B(B";
    // The escape that closes kanji may name ASCII or JIS-Roman; a redundant escape adds nothing.
    EXPECT_TRUE(TKanjiRoundTrip::Same(kanji, "\x1B$B\x34\x41\x1B(J", "JIS"));
    EXPECT_TRUE(TKanjiRoundTrip::Same("a\x1B(Bb", "ab", "JIS"));
    EXPECT_TRUE(TKanjiRoundTrip::Same("\x1B$B\x34\x41\x1B$B\x34\x41", "\x1B$@\x34\x41\x34\x41", "JIS"));
    // A line end inside kanji is ASCII all the same.
    EXPECT_TRUE(TKanjiRoundTrip::Same("\x1B$B\x34\x41\r\n\x34\x41", "\x1B$B\x34\x41\x1B(B\r\n\x1B$B\x34\x41", "JIS"));
    // The same bytes in another set are other characters; an ESC that starts nothing is one.
    EXPECT_FALSE(TKanjiRoundTrip::Same("\x1B(I\x31", "\x1B(B\x31", "JIS"));
    EXPECT_FALSE(TKanjiRoundTrip::Same("\x1B$B\x34\x41", "\x34\x41", "JIS"));
    EXPECT_FALSE(TKanjiRoundTrip::Same("a\x1Bx", "ax", "JIS"));
    EXPECT_TRUE(TKanjiRoundTrip::Same("a\x1Bx", "a\x1Bx", "JIS"));
    // Other codes compare bytes.
    EXPECT_FALSE(TKanjiRoundTrip::Same("a\x1B(Bb", "ab", "EUC"));
}

namespace {

bool plainInPieces(TConversion reading, std::string_view s, std::mt19937& rng) {
    TKanjiPlainScan scan(reading);
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t n = std::min<std::size_t>(s.size() - i, rng() % 3 == 0 ? 1 + rng() % 3 : 1 + rng() % 3000);
        scan.Add(s.substr(i, n));
        i += n;
    }
    return scan.Finish();
}

} // namespace

TEST(KanjiPlainScan, EveryCharacterItCallsPlainSurvivesBeingWrittenBack) {
    // The rule's ground: each of these characters converts one to one.
    for (int a = 0xA1; a <= 0xFE; ++a) {
        for (int b = 0xA1; b <= 0xFE; ++b) {
            const std::string euc{static_cast<char>(a), static_cast<char>(b)};
            ASSERT_EQ(SjisToEuc(EucToSjis(euc)), euc) << a << " " << b;
            const std::string jis =
                std::string("\x1B$B") + static_cast<char>(a & 0x7F) + static_cast<char>(b & 0x7F) + "\x1B(B";
            ASSERT_TRUE(TKanjiRoundTrip::Same(SjisToJis(JisToSjis(jis)), jis, "JIS")) << a << " " << b;
        }
    }
    for (int k = 0xA1; k <= 0xDF; ++k) {
        const std::string euc{'\x8E', static_cast<char>(k)};
        ASSERT_EQ(SjisToEuc(EucToSjis(euc)), euc) << k;
    }
}

TEST(KanjiPlainScan, APlainTextKeepsItsBytesWhateverThePieces) {
    std::mt19937 rng(47);
    const auto t = bench::GenerateJapaneseText(20000, 53);
    for (TConversion reading : {TConversion::EucToSjis, TConversion::JisToSjis}) {
        const std::string& source = reading == TConversion::JisToSjis ? t.Jis : t.Euc;
        EXPECT_TRUE(plainInPieces(reading, source, rng));
        int plain = 0, other = 0;
        for (int trial = 0; trial < 400; ++trial) {
            const std::string s = mutated(source.substr(rng() % source.size(), rng() % 4000), rng);
            TKanjiPlainScan whole(reading);
            whole.Add(s);
            const bool isPlain = whole.Finish();
            ASSERT_EQ(plainInPieces(reading, s, rng), isPlain) << "trial " << trial;
            if (isPlain) {
                ASSERT_TRUE(keepsBytesWhole(reading, s)) << "trial " << trial;
            }
            (isPlain ? plain : other) += 1;
        }
        EXPECT_GT(plain, 30);
        EXPECT_GT(other, 30);
    }
    // What only the full check can judge.
    for (const char* s : {"\x8F\xB0\xA1", "\xA1", "\x8E\xE0",
                          "\x80"
                          "a"}) {
        TKanjiPlainScan scan(TConversion::EucToSjis);
        scan.Add(s);
        EXPECT_FALSE(scan.Finish()) << s;
    }
    for (const char* s : {"\x1B(I\x31", "\x1B$B\x34", "\x1B$B\x34\x41\r\n", "a\x1B", "\xB1", "\x1B$B\x34\x1B(B"}) {
        TKanjiPlainScan scan(TConversion::JisToSjis);
        scan.Add(s);
        EXPECT_FALSE(scan.Finish()) << s;
    }
}
