// The search routine: double-byte boundaries, case folding, whole words, both directions, and
// a random comparison with a plain step-by-step search that marks every byte first.
#include "Search.h"

#include "CharMapping.h"
#include "ShiftJis.h"

#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <string>
#include <vector>

using namespace quire;

namespace {

TSearchOptions options(bool forward, bool matchCase = false, bool wholeWord = false) {
    TSearchOptions o;
    o.Set(TSearchOption::Forward, forward);
    o.Set(TSearchOption::MatchCase, matchCase);
    o.Set(TSearchOption::WholeWord, wholeWord);
    return o;
}

// The offset found from the selection (Start, Length), or -1.
int find(std::string_view text, std::string_view pattern, TSearchOptions o, int start = 0, int length = 0) {
    int s = start, l = length;
    if (!Search(text, s, l, pattern, o)) return -1;
    return s;
}

// Every match in one direction, each search starting from the one before, as F3 repeats it.
std::vector<int> all(std::string_view text, std::string_view pattern, TSearchOptions o) {
    std::vector<int> found;
    int s = o.Has(TSearchOption::Forward) ? 0 : static_cast<int>(text.size()), l = 0;
    while (Search(text, s, l, pattern, o)) found.push_back(s);
    return found;
}

// The search as plain steps: every byte marked single, lead or trail first, candidates
// visited one by one, whole words found by skipping bytes.
std::optional<int> plainSearch(std::string_view text, int s, int l, std::string pattern, TSearchOptions o,
                               int following = -1) {
    const int n = static_cast<int>(text.size());
    if (pattern.empty() || n == 0 || s < 0 || s > n || l < 0) return std::nullopt;
    const bool matchCase = o.Has(TSearchOption::MatchCase), whole = o.Has(TSearchOption::WholeWord);
    if (!matchCase) pattern = cp932::ToUpper(pattern);
    const int m = static_cast<int>(pattern.size());
    enum Mark { Single, Lead, Trail };
    std::vector<Mark> mark(static_cast<size_t>(n), Single);
    for (int i = 0; i < n;) {
        if (sjis::IsLeadByte(text[static_cast<size_t>(i)]) && i + 1 < n) {
            mark[static_cast<size_t>(i)] = Lead;
            mark[static_cast<size_t>(i + 1)] = Trail;
            i += 2;
        } else
            ++i;
    }
    auto at = [&](int i) { return static_cast<unsigned char>(text[static_cast<size_t>(i)]); };
    auto delim = [&](int i) { return IsSearchDelimiter(at(i)); };
    auto trail = [&](int i) { return i >= 0 && i < n && mark[static_cast<size_t>(i)] == Trail; };
    auto compare = [&](int c) {
        int i = c;
        for (int k = 0; k < m;) {
            const int pl = static_cast<int>(sjis::CharLengthAt(pattern, static_cast<size_t>(k)));
            if (i >= n) return false;
            const int tl = mark[static_cast<size_t>(i)] == Lead ? 2 : 1;
            if (tl != pl) return false;
            const auto p1 = static_cast<unsigned char>(pattern[static_cast<size_t>(k)]);
            if (pl == 1) {
                if ((matchCase ? at(i) : SearchUpperTable()[at(i)]) != p1) return false;
            } else {
                const auto p2 = static_cast<unsigned char>(pattern[static_cast<size_t>(k + 1)]);
                bool ok = at(i) == p1 && at(i + 1) == p2;
                if (!ok && !matchCase) {
                    const int t1 = at(i), t2 = at(i + 1);
                    ok = (p1 == 0x82 && t1 == 0x82 && p2 >= 0x60 && p2 <= 0x79 && t2 == p2 + 0x21) ||
                         (p1 == 0x83 && t1 == 0x83 && p2 >= 0x9F && p2 <= 0xB6 && t2 == p2 + 0x20) ||
                         (p1 == 0x84 && t1 == 0x84 && p2 >= 0x40 && p2 <= 0x4E && t2 == p2 + 0x30) ||
                         (p1 == 0x84 && t1 == 0x84 && p2 >= 0x4F && p2 <= 0x60 && t2 == p2 + 0x31) ||
                         (p1 == 0x87 && t1 == 0xEE && p2 >= 0x54 && p2 <= 0x5D && t2 == p2 + 0x9B);
                }
                if (!ok) return false;
            }
            i += pl;
            k += pl;
        }
        return !whole ||
               (c + m < n ? delim(c + m) : following < 0 || IsSearchDelimiter(static_cast<unsigned char>(following)));
    };
    if (o.Has(TSearchOption::Forward)) {
        int c = s + l;
        if (trail(c)) ++c;
        const int last = n - m;
        while (c <= last) {
            if (trail(c)) {
                ++c;
                continue;
            }
            if (whole && !(!delim(c) && (c == 0 || delim(c - 1)))) {
                while (c <= last && !delim(c)) ++c;
                while (c <= last && delim(c)) ++c;
                if (c > last) return std::nullopt;
                continue;
            }
            if (compare(c)) return c;
            ++c;
        }
        return std::nullopt;
    }
    int c = s - m;
    if (trail(c)) --c;
    while (c >= 0) {
        if (trail(c)) {
            --c;
            continue;
        }
        if (whole) {
            const int before = c;
            while (c >= 0 && delim(c)) --c;
            if (c < 0) return std::nullopt;
            while (c >= 0 && !delim(c)) --c;
            ++c;
            if (c != before) continue;
        }
        if (compare(c)) return c;
        --c;
    }
    return std::nullopt;
}

const std::string kKanjiA = "\x8A\x61"; // a kanji whose trail byte is the letter "a"

} // namespace

TEST(SearchTest, FailsAtOnceOnEmptyInputOrASelectionOutsideTheText) {
    int s = 0, l = 0;
    EXPECT_FALSE(Search("abc", s, l, "", options(true)));
    EXPECT_FALSE(Search("", s, l, "a", options(true)));
    s = -1;
    EXPECT_FALSE(Search("abc", s, l, "a", options(true)));
    s = 4;
    EXPECT_FALSE(Search("abc", s, l, "a", options(false)));
    s = 0, l = -1;
    EXPECT_FALSE(Search("abc", s, l, "a", options(true)));
    // A failed search leaves the selection as it was.
    s = 1, l = 1;
    EXPECT_FALSE(Search("abc", s, l, "x", options(true)));
    EXPECT_EQ(1, s);
    EXPECT_EQ(1, l);
}

TEST(SearchTest, ForwardStartsAfterTheSelectionAndBackwardOneTextLengthBeforeItsStart) {
    const std::string text = "abc abc abc";
    EXPECT_EQ(0, find(text, "abc", options(true), 0, 0));
    EXPECT_EQ(4, find(text, "abc", options(true), 0, 3));
    EXPECT_EQ(4, find(text, "abc", options(true), 1, 0));
    EXPECT_EQ(8, find(text, "abc", options(false), 11, 0));
    EXPECT_EQ(4, find(text, "abc", options(false), 8, 3));
    EXPECT_EQ(-1, find(text, "abc", options(false), 2, 0));
    EXPECT_EQ((std::vector<int>{0, 4, 8}), all(text, "abc", options(true)));
    EXPECT_EQ((std::vector<int>{8, 4, 0}), all(text, "abc", options(false)));
    // Overlapping matches: each search starts after (before) the last match.
    EXPECT_EQ((std::vector<int>{0, 2}), all("aaaaa", "aa", options(true)));
    EXPECT_EQ((std::vector<int>{3, 1}), all("aaaaa", "aa", options(false)));
    int s = 0, l = 0;
    ASSERT_TRUE(Search("xxabc", s, l, "ABC", options(true)));
    EXPECT_EQ(2, s);
    EXPECT_EQ(3, l);
}

TEST(SearchTest, ALetterEqualToAKanjisTrailByteIsNeverMatchedInsideTheKanji) {
    const std::string text = kKanjiA + kKanjiA + "a" + kKanjiA;
    EXPECT_EQ((std::vector<int>{4}), all(text, "a", options(true, true)));
    EXPECT_EQ((std::vector<int>{4}), all(text, "A", options(true)));
    EXPECT_EQ((std::vector<int>{4}), all(text, "a", options(false, true)));
    EXPECT_EQ((std::vector<int>{4}), all(text, "A", options(false)));
    // A selection ending on a trail byte starts the search after the character.
    EXPECT_EQ(4, find(text, "a", options(true), 0, 1));
    // "\x61\x8A" spans the end of one kanji and the start of the next: never a match.
    EXPECT_EQ(-1, find(text, "a\x8A", options(true, true)));
    // The trail byte is a double-byte character's, so a single-byte pattern never meets it, and
    // a double-byte pattern never meets a single byte.
    EXPECT_EQ((std::vector<int>{0, 2, 5}), all(text, kKanjiA, options(true, true)));
    EXPECT_EQ(-1, find("a", "\x82\x81", options(true)));
}

TEST(SearchTest, WithoutMatchCaseFullWidthCapitalsFindSmallLetters) {
    const std::string upper = "\x82\x60\x82\x61\x82\x79"; // ＡＢＺ
    const std::string lower = "\x82\x81\x82\x82\x82\x9A"; // ａｂｚ
    const std::string text = "xx" + lower + "yy" + upper;
    EXPECT_EQ((std::vector<int>{2, 10}), all(text, upper, options(true)));
    EXPECT_EQ((std::vector<int>{2, 10}), all(text, lower, options(true)));
    EXPECT_EQ((std::vector<int>{10}), all(text, upper, options(true, true)));
    EXPECT_EQ((std::vector<int>{2}), all(text, lower, options(true, true)));
    EXPECT_EQ((std::vector<int>{10, 2}), all(text, upper, options(false)));
    // ASCII letters fold; a full-width letter never meets a half-width one.
    EXPECT_EQ((std::vector<int>{0, 4}), all("Abc aBC", "abc", options(true)));
    EXPECT_EQ(-1, find("abz", upper, options(true)));
}

TEST(SearchTest, GreekCyrillicAndRomanNumeralsFoldAtTheEdgesOfTheirRanges) {
    struct Case {
        const char* Capital;
        const char* Small;
    };
    const Case cases[] = {
        {"\x83\x9F", "\x83\xBF"}, {"\x83\xB6", "\x83\xD6"}, // Greek Α α, Ω ω
        {"\x84\x40", "\x84\x70"}, {"\x84\x4E", "\x84\x7E"}, // Cyrillic А а, Н н
        {"\x84\x4F", "\x84\x80"}, {"\x84\x60", "\x84\x91"}, // О о (after the gap at 0x7F), Я я
        {"\x87\x54", "\xEE\xEF"}, {"\x87\x5D", "\xEE\xF8"}, // roman numerals Ⅰ ⅰ, Ⅹ ⅹ
    };
    for (const Case& c : cases) {
        const std::string text = std::string("-") + c.Small + "-" + c.Capital;
        SCOPED_TRACE(testing::PrintToString(text));
        EXPECT_EQ((std::vector<int>{1, 4}), all(text, c.Capital, options(true)));
        EXPECT_EQ((std::vector<int>{1, 4}), all(text, c.Small, options(true)));
        EXPECT_EQ((std::vector<int>{4}), all(text, c.Capital, options(true, true)));
    }
    // Past the ranges nothing folds: the byte before the Greek capitals, and the Cyrillic 0x847F.
    EXPECT_EQ(-1, find("\x83\xBE", "\x83\x9E", options(true)));
    EXPECT_EQ(-1, find("\x84\x7F", "\x84\x4F", options(true)));
}

TEST(SearchTest, WholeWordsAreSplitByTheUnderscoreAndOtherDelimiters) {
    EXPECT_EQ(0, find("foo_bar", "foo", options(true, false, true)));
    EXPECT_EQ(4, find("foo_bar", "bar", options(true, false, true)));
    EXPECT_EQ(4, find("foo_bar", "bar", options(false, false, true), 7));
    EXPECT_EQ(0, find("foo_bar", "foo", options(false, false, true), 7));
    EXPECT_EQ(7, find("foobar bar", "bar", options(true, false, true)));
    EXPECT_EQ(7, find("foobar bar", "bar", options(false, false, true), 10));
    EXPECT_EQ(-1, find("foobar", "bar", options(false, false, true), 6));
    // Digits, kanji and half-width katakana belong to words.
    EXPECT_EQ(5, find("bar1 bar", "bar", options(true, false, true)));
    EXPECT_EQ(6, find("\x8A\xBF"
                      "bar bar",
                      "bar", options(true, false, true)));
    EXPECT_EQ(-1, find("bar\xB1", "bar", options(true, false, true)));
    // A word at the end of the text needs no delimiter after it; a word inside another does.
    EXPECT_EQ(5, find("bars bar", "bar", options(true, false, true)));
    EXPECT_EQ((std::vector<int>{8, 0}), all("foo-bar foo", "foo", options(false, false, true)));
}

TEST(SearchTest, TheUpperCaseTableChangesOnlyTheAsciiLetters) {
    const auto& table = SearchUpperTable();
    for (int b = 0; b < 256; ++b) EXPECT_EQ(b >= 'a' && b <= 'z' ? b - 32 : b, table[static_cast<size_t>(b)]) << b;
}

TEST(SearchTest, AgreesWithAPlainStepByStepSearchOnRandomText) {
    // Bytes that make the cases meet: letters, delimiters, lead bytes and trail bytes of the
    // folded ranges, a half-width katakana, bytes outside the code page.
    const std::vector<unsigned char> alphabet = {'a',  'A',  'b',  'B',  '_',  ' ',  '\r', '\n', '1',  0x82,
                                                 0x60, 0x81, 0x83, 0x9F, 0xBF, 0x84, 0x40, 0x70, 0x87, 0x54,
                                                 0xEE, 0xEF, 0x8A, 0x61, 0x41, 0x5C, 0xB1, 0xFF, 0x80};
    std::mt19937 rng(12345);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    for (int round = 0; round < 30000; ++round) {
        std::string text;
        for (int i = pick(40); i > 0; --i)
            text.push_back(static_cast<char>(alphabet[static_cast<size_t>(pick(static_cast<int>(alphabet.size())))]));
        std::string pattern;
        if (!text.empty() && pick(3) > 0) {
            const int from = pick(static_cast<int>(text.size()));
            pattern = text.substr(static_cast<size_t>(from), static_cast<size_t>(1 + pick(4)));
            if (pick(2)) pattern = pick(2) ? cp932::ToLower(pattern) : cp932::ToUpper(pattern);
        } else {
            for (int i = 1 + pick(3); i > 0; --i)
                pattern.push_back(
                    static_cast<char>(alphabet[static_cast<size_t>(pick(static_cast<int>(alphabet.size())))]));
        }
        const TSearchOptions o = options(pick(2), pick(2), pick(2));
        const int n = static_cast<int>(text.size());
        int s = pick(n + 3) - 1, l = pick(4) - (pick(8) == 0 ? 1 : 0);
        if (s + l > n + 1) l = 0;
        const std::optional<int> expected = plainSearch(text, s, l, pattern, o);
        int gotS = s, gotL = l;
        const bool found = Search(text, gotS, gotL, pattern, o);
        ASSERT_EQ(expected.has_value(), found)
            << "round " << round << " text " << testing::PrintToString(text) << " pattern "
            << testing::PrintToString(pattern) << " options " << o.Bits() << " sel " << s << "," << l;
        if (found) {
            ASSERT_EQ(*expected, gotS) << "round " << round << " text " << testing::PrintToString(text);
        }
    }
}

TEST(SearchTest, RepeatedSearchesOfOneSearcherAgreeWithFreshOnes) {
    std::mt19937 rng(777);
    const std::string piece = "ab \x82\xA0\x8A\x61_a\x82\x60\x82\x81 A";
    std::string text;
    for (int i = 0; i < 3000; ++i) text += piece.substr(rng() % piece.size(), 1 + rng() % 4);
    for (const char* pattern : {"a", "\x82\x81", "ab", "A"}) {
        for (int o = 0; o < 8; ++o) {
            const TSearchOptions opts(static_cast<uint16_t>(o & 1 ? 0x0001 : 0) | (o & 2 ? 0x0002 : 0) |
                                      (o & 4 ? 0x0004 : 0));
            TSearcher searcher(text, pattern, opts);
            int s = opts.Has(TSearchOption::Forward) ? 0 : static_cast<int>(text.size()), l = 0;
            int count = 0;
            while (true) {
                int freshS = s, freshL = l;
                const bool fresh = Search(text, freshS, freshL, pattern, opts);
                const bool again = searcher.Find(s, l);
                ASSERT_EQ(fresh, again) << pattern << " " << o << " after " << count;
                if (!again) break;
                ASSERT_EQ(freshS, s);
                ++count;
            }
            EXPECT_GT(count, 0) << pattern << " " << o;
        }
    }
}

TEST(SearchTest, ANarrowedTextSearchesLikeTheTextWithTheFollowingByteInPlace) {
    // As replacing backward uses it: the text before a replaced match, with the first byte of
    // the replacement after it.
    std::mt19937 rng(99);
    const std::string piece = "ab-\x82\x60 _a";
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        for (int i = 0; i < 30; ++i) text += piece[rng() % piece.size()];
        const int cut = static_cast<int>(rng() % (text.size() + 1));
        if (sjis::IsTrailByteAt(text, static_cast<size_t>(cut) + 1) && cut < static_cast<int>(text.size())) continue;
        const char following = piece[rng() % piece.size()];
        const std::string edited = text.substr(0, static_cast<size_t>(cut)) + following + "zz";
        const TSearchOptions o = options(false, rng() % 2, true);
        TSearcher searcher(text, "ab", o);
        searcher.SetEnd(cut, static_cast<unsigned char>(following));
        int s = cut, l = 0;
        const bool found = searcher.Find(s, l);
        const std::optional<int> expected = plainSearch(edited, cut, 0, "ab", o);
        ASSERT_EQ(expected.has_value(), found) << testing::PrintToString(text) << " cut " << cut;
        if (found) {
            EXPECT_EQ(*expected, s);
        }
    }
}
