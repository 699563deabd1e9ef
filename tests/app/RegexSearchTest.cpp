// Regular expressions over Shift_JIS rows: matches only between characters, classes of kanji,
// Unicode digits and case, whole words, the selection contract of find, groups in the
// replacement, the plain runs every match holds, and a random comparison of the finder (which
// passes over lines without those runs) with a plain walk over every line.
#include "RegexFind.h"

#include "Cp932Codec.h"
#include "OutsideCharTable.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

using namespace quire;

namespace {

std::string sj(const char* Utf8) { return cp932::FromUnicode(QString::fromUtf8(Utf8)); }
std::string utf8(std::string_view Bytes, const TOutsideCharTable* Table = nullptr) {
    return cp932::ToUnicode(Bytes, Table).toStdString();
}

// Every match of Pattern in Text, one after another, as the texts they cover.
std::vector<std::string> matches(const std::string& Text, const QString& Pattern, bool MatchCase = true,
                                 bool WholeWord = false, const TOutsideCharTable* Table = nullptr) {
    const TRegexPattern pattern(Pattern, MatchCase);
    EXPECT_TRUE(pattern.Valid()) << pattern.ErrorText().toStdString();
    TRegexMatcher matcher(pattern, WholeWord, Table);
    TRegexFinder finder(Text, matcher);
    std::vector<std::string> found;
    std::size_t at = 0;
    bool notEmpty = false;
    while (const auto m = finder.Forward(at, notEmpty)) {
        found.push_back(utf8(std::string_view(Text).substr(m->Start, m->End - m->Start), Table));
        at = m->End;
        notEmpty = m->Start == m->End;
    }
    return found;
}

using Texts = std::vector<std::string>;

} // namespace

TEST(RegexSearchTest, AMatchNeverStartsOrEndsInsideADoubleByteCharacter) {
    struct Case {
        std::string Text;
        const char* Pattern;
        Texts Expected;
    };
    const Case cases[] = {
        // 表 is 0x95 0x5C: its trail byte is the backslash; ア (0x83 0x41) ends in "A".
        {sj("表示"), R"(\\)", {}},
        {sj("表示"), R"(\\.)", {}},
        {sj("アA"), "A", {"A"}},
        {sj("ァ@"), "@", {"@"}},
        {sj("ア") + "A" + sj("ア"), "[@-Z]", {"A"}},
        {sj("漢a字"), ".", {"漢", "a", "字"}},
        {sj("漢字"), "^.", {"漢"}},
        {sj("ｱｲｳ"), "ｲ.", {"ｲｳ"}},
        {sj("全角　空白"), R"(\s)", {"　"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.Expected, matches(c.Text, QString::fromUtf8(c.Pattern))) << c.Pattern << " in " << utf8(c.Text);
}

TEST(RegexSearchTest, ClassesHoldKanjiAndDigitsWordsAndCaseAreUnicodes) {
    struct Case {
        const char* Text;
        const char* Pattern;
        bool MatchCase;
        Texts Expected;
    };
    const Case cases[] = {
        {"これは漢字です。日本語", "[一-龠]+", true, {"漢字", "日本語"}},
        {"ひらがなカタカナ", "[ぁ-ん]+", true, {"ひらがな"}},
        {"第１２章 34頁", R"(\d+)", true, {"１２", "34"}},
        {"漢字abc_１ かな", R"(\w+)", true, {"漢字abc_１", "かな"}},
        {"ＡＢＣ ａｂｃ", "ａｂｃ", true, {"ａｂｃ"}},
        {"ＡＢＣ ａｂｃ", "ａｂｃ", false, {"ＡＢＣ", "ａｂｃ"}},
        {"ABC abc", "abc", false, {"ABC", "abc"}},
        {"Α α Д д", "[αд]", false, {"Α", "α", "Д", "д"}},
        {"Ⅰ ⅰ", "ⅰ", false, {"Ⅰ", "ⅰ"}},
        {"Ⅰ ⅰ", "ⅰ", true, {"ⅰ"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.Expected, matches(sj(c.Text), QString::fromUtf8(c.Pattern), c.MatchCase))
            << c.Pattern << " in " << c.Text << (c.MatchCase ? " (match case)" : "");
}

TEST(RegexSearchTest, WholeWordsAreSplitByTheSearchRoutinesDelimiters) {
    struct Case {
        const char* Text;
        const char* Pattern;
        Texts Expected;
    };
    const Case cases[] = {
        {"foo_bar foobar barfoo foo", "foo", {"foo", "foo"}},
        {"a_b ab", R"(\w+)", {"a_b", "ab"}},
        {"漢字 漢字です", "漢字", {"漢字"}},
        {"x1 x12 y", R"(x\d)", {"x1"}},
        {"", "^", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.Expected, matches(sj(c.Text), QString::fromUtf8(c.Pattern), true, true))
            << c.Pattern << " in " << c.Text;
}

TEST(RegexSearchTest, FindKeepsTheSelectionContractOfTheSearchRoutine) {
    struct Case {
        const char* Text;
        const char* Pattern;
        int Start, Length;
        bool Forward;
        int FoundStart, FoundLength; // -1: not found
    };
    const Case cases[] = {
        {"ab ab ab", "ab", 0, 0, true, 0, 2},
        {"ab ab ab", "ab", 0, 2, true, 3, 2},
        {"ab ab ab", "ab", 8, 0, false, 6, 2},
        {"ab ab ab", "ab", 6, 2, false, 3, 2},
        {"ab ab ab", "ab", 1, 0, false, -1, 0},
        // An empty match at the caret is passed over, so F3 moves on.
        {"a\r\nb\r\nc", "^", 0, 0, true, 3, 0},
        {"a\r\nb\r\nc", "^", 3, 0, true, 6, 0},
        {"a\r\nb\r\nc", "^", 6, 0, true, -1, 0},
        {"a\r\nb\r\nc", "^", 7, 0, false, 6, 0},
        {"a\r\nb\r\nc", "^", 6, 0, false, 3, 0},
        {"a\r\nb\r\nc", "$", 0, 0, true, 1, 0},
        // Matches stay within a line.
        {"a\r\nb a b", R"(a\s+b)", 0, 0, true, 5, 3},
        {"a\r\nb", R"(a\s*b)", 0, 0, true, -1, 0},
        // Backward: the last of the line's matches that ends at the caret.
        {"12 345", R"(\d+)", 6, 0, false, 3, 3},
        {"12 345", R"(\d+)", 5, 0, false, 0, 2},
        // The plain runs lead the search; a line holding one without a match is passed.
        {"東京駅\r\n京都\r\n東京都", "東京[都府]", 0, 0, true, 14, 6},
        {"東京都\r\n東京駅\r\n", "東京[都府]", 16, 0, false, 0, 6},
        {"", "x", 0, 0, true, -1, 0},
    };
    for (const Case& c : cases) {
        const std::string text = sj(c.Text);
        const TRegexPattern pattern(QString::fromUtf8(c.Pattern), true);
        TRegexMatcher matcher(pattern, false, nullptr);
        int s = c.Start, l = c.Length;
        const bool found = RegexSearch(text, s, l, matcher, c.Forward);
        const std::string what = std::string(c.Pattern) + (c.Forward ? " forward from " : " backward from ") +
                                 std::to_string(c.Start) + "+" + std::to_string(c.Length);
        EXPECT_EQ(c.FoundStart >= 0, found) << what;
        if (found && c.FoundStart >= 0) {
            EXPECT_EQ(c.FoundStart, s) << what;
            EXPECT_EQ(c.FoundLength, l) << what;
        }
    }
}

TEST(RegexSearchTest, TheReplacementTakesTheGroupsOfTheMatch) {
    struct Case {
        const char* Pattern;
        const char* Text;
        const char* Replacement;
        const char* Expected;
    };
    const Case cases[] = {
        {R"((\d+)年(\d+)月)", "2024年5月", R"($2/\1)", "5/2024"},
        {R"((\d+)年(\d+)月)", "2024年5月", R"(\0!$&)", "2024年5月!2024年5月"},
        {"(a)", "a", R"($$1 \\1 ${1}x \t)", "$1 \\1 ax \t"},
        {"(a)(b)?", "a", R"([\2][$9])", "[][]"},
        {"x", "x", R"(a\nb)", "a\r\nb"},
        {"(漢)(字)", "漢字", R"(\2\1$)", "字漢$"},
        {"x", "x", R"(\q${z}$)", R"(\q${z}$)"},
    };
    for (const Case& c : cases) {
        const std::string text = sj(c.Text);
        const TRegexPattern pattern(QString::fromUtf8(c.Pattern), true);
        TRegexMatcher matcher(pattern, false, nullptr);
        ASSERT_TRUE(matcher.Next(text, 0, false)) << c.Pattern;
        EXPECT_EQ(c.Expected, matcher.Expand(QString::fromUtf8(c.Replacement)).toStdString()) << c.Replacement;
    }
}

TEST(RegexSearchTest, TheRequiredRunsAreThoseEveryMatchHolds) {
    struct Case {
        const char* Pattern;
        bool MatchCase;
        std::vector<const char*> Expected;
    };
    const Case cases[] = {
        {"東京[都府]", true, {"東京"}},
        {R"(\d{4}年)", true, {"年"}},
        {"ab*c", true, {"a", "c"}},
        {"abc?", true, {"ab"}},
        {"a+bc", true, {"bc", "a"}},
        {"a{0,3}b", true, {"b"}},
        {"a{2}b", true, {"a", "b"}},
        {"x(a|b)y", true, {"x", "y"}},
        {R"(\.txt$)", true, {".txt"}},
        {R"([abc\]]def)", true, {"def"}},
        {R"(\x{41}BC\p{Han}語)", true, {"BC", "語"}},
        {"漢字abc", false, {"漢字"}},
        {"ＡＢ１２", false, {"１２"}},
        {"a|b", true, {}},
        {"(?i)abc", true, {}},
        {R"(\Qa.b\E)", true, {}},
        {"abc", false, {}},
    };
    for (const Case& c : cases) {
        QStringList expected;
        for (const char* e : c.Expected) expected << QString::fromUtf8(e);
        EXPECT_EQ(expected, RequiredLiterals(QString::fromUtf8(c.Pattern), c.MatchCase)) << c.Pattern;
    }
}

TEST(RegexSearchTest, CodesThePageWritesTwoWaysOrNotAtAllAndTheWaveDash) {
    // ∵ is 0x81E6 and, as an NEC twin, 0x879A: both read as U+2235.
    const std::string twins = "\x81\xE6" + sj("です") + " \x87\x9A" + sj("です");
    EXPECT_EQ(Texts({"∵です", "∵です"}), matches(twins, QStringLiteral("∵です")));
    // é has no code in a Shift_JIS page: nothing can match.
    const TRegexPattern accent(QStringLiteral("caf\u00E9"), true);
    EXPECT_FALSE(TRegexMatcher(accent, false, nullptr).Possible());
    // In a UTF-8 page it is a code of the page's table.
    TOutsideCharTable table;
    const std::string utf8Page = cp932::FromUnicode(QStringLiteral("un caf\u00E9 \U0001F600"), &table, nullptr);
    EXPECT_EQ(Texts({"café"}), matches(utf8Page, QStringLiteral("caf\u00E9"), true, false, &table));
    EXPECT_EQ(Texts({"\xF0\x9F\x98\x80"}), matches(utf8Page, QStringLiteral("\U0001F600"), true, false, &table));
    EXPECT_EQ(Texts({"c", "a", "f", "é", " ", "\xF0\x9F\x98\x80"}),
              matches(utf8Page.substr(3), QStringLiteral("."), true, false, &table));
    // The wave dash an input method gives (U+301C) finds the page's 0x8160 (read as U+FF5E).
    const std::string dash = sj("1～2");
    EXPECT_EQ(Texts({"1～2"}), matches(dash, QStringLiteral("1\u301C2")));
    EXPECT_EQ(Texts({"～"}), matches(dash, QStringLiteral("[\u301C]")));
}

TEST(RegexSearchTest, ABadPatternIsAMessageQuotingTheEngine) {
    const TRegexPattern bad(QStringLiteral("漢字(ab"), true);
    EXPECT_FALSE(bad.Valid());
    const QString text = bad.ErrorText();
    EXPECT_TRUE(text.contains(QStringLiteral("missing closing parenthesis"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("漢字(ab"))) << text.toStdString();
    EXPECT_TRUE(TRegexPattern(QStringLiteral("ok"), true).ErrorText().isEmpty());
}

// The finder, which leaves out lines without the required runs and searches backward by
// them, finds what a walk over every line with the matcher alone finds, both ways.
TEST(RegexSearchTest, TheFinderAgreesWithAWalkOverEveryLine) {
    const char* words[] = {"東京", "都", "府", "駅", "∵", "です", "ab", "AB", "1", "２３", " ", "ｱ"};
    const char* ends[] = {"\r\n", "\r", "\n"};
    const char* patterns[] = {"東京[都府]", R"(\d+)", "ab", "∵です", R"(b\s*[都1])", "^東京", "です$", "(?i)ab", "x*"};
    std::mt19937 rng(36);
    for (int round = 0; round < 300; ++round) {
        std::string text;
        const int pieces = static_cast<int>(rng() % 40);
        for (int i = 0; i < pieces; ++i)
            text += rng() % 5 == 0 ? std::string(ends[rng() % 3]) : sj(words[rng() % std::size(words)]);
        if (rng() % 4 == 0) text += "\x87\x9A"; // the NEC twin of ∵
        const char* p = patterns[rng() % std::size(patterns)];
        const TRegexPattern pattern(QString::fromUtf8(p), rng() % 2 == 0);
        TRegexMatcher matcher(pattern, rng() % 3 == 0, nullptr);
        // Every line's matches, one after another.
        std::vector<TByteRange> expected;
        TRegexFinder lines(text, matcher);
        for (std::size_t start = 0;;) {
            const TByteRange line = lines.LineAround(start);
            const std::string_view row = std::string_view(text).substr(line.Start, line.End - line.Start);
            std::size_t from = 0;
            bool notEmpty = false;
            while (const auto r = matcher.Next(row, from, notEmpty)) {
                expected.push_back({line.Start + r->Start, line.Start + r->End});
                from = r->End;
                notEmpty = r->Start == r->End;
            }
            if (line.End >= text.size()) break;
            start = lines.NextLineStart(line.End);
        }
        TRegexFinder finder(text, matcher);
        std::vector<TByteRange> forward, backward;
        std::size_t at = 0;
        bool notEmpty = false;
        while (const auto m = finder.Forward(at, notEmpty)) {
            forward.push_back(*m);
            at = m->End;
            notEmpty = m->Start == m->End;
        }
        std::size_t limit = text.size();
        notEmpty = false;
        while (const auto m = finder.Backward(limit, notEmpty)) {
            backward.insert(backward.begin(), *m);
            limit = m->Start;
            notEmpty = true;
        }
        ASSERT_EQ(expected, forward) << "round " << round << ", pattern " << p << ", text " << utf8(text);
        ASSERT_EQ(expected, backward) << "round " << round << ", pattern " << p << ", text " << utf8(text);
    }
}
