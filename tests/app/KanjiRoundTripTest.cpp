// Whether a JIS or EUC text survives being read and written back, checked while it streams by.
#include "KanjiRoundTrip.h"
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
    static const char odd[] = {'\x1B', '$', '(', 'I', 'J', '@', '\x8E', '\x8F', '\xA1', '\xFE', '\x80', '\r', '\n', '\xDF'};
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
            ASSERT_EQ(keepsBytesStreamed(reading, s, rng), expected) << "reading " << static_cast<int>(reading) << " trial " << trial;
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
