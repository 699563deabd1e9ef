// The search over a document's rows against the search of its whole text, and replacing every
// match in place against replacing them one after another.
#include "RowSearch.h"

#include "ShiftJis.h"
#include "StoreInvariants.h"

#include <gtest/gtest.h>
#include <random>

using namespace quire;
using namespace quire::test;

namespace {

// Lines of few kinds of bytes, so that patterns meet them often: letters, delimiters, a kanji
// whose trail byte is "a", full-width letters, a lone lead byte, CR LF, lone LF and CR.
std::string randomText(std::mt19937& rng, int pieces) {
    static const char* kPieces[] = {"a",        "ab",   "A",   " ",    "_",    "\x8A\x61", "\x82\x60",
                                    "\x82\x81", "\x81", "xyz", "\r\n", "\r\n", "\n",       "\r"};
    std::string s;
    for (int i = 0; i < pieces; ++i) s += kPieces[rng() % (sizeof kPieces / sizeof *kPieces)];
    return s;
}

// A document loaded whole (its rows lie in the loader's block) or assigned, with or without
// word wrap, then edited here and there so that some rows are copies of their own.
void makeDocument(FakeEditor& e, std::mt19937& rng) {
    TEditorScreenStrings& s = *e.Store;
    const bool wrap = rng() % 2;
    s.WrapOption().SetWrapByte(20);
    s.SetWordWrap(wrap);
    const std::string text = randomText(rng, 20 + static_cast<int>(rng() % 200));
    s.LoadText([&](TTextLoader& loader) {
        for (std::size_t at = 0; at < text.size(); at += 37) loader.Add(std::string_view(text).substr(at, 37));
    });
    for (int edits = static_cast<int>(rng() % 4); edits > 0 && s.Count() > 0; --edits) {
        const int row = static_cast<int>(rng() % static_cast<unsigned>(s.Count()));
        s.ReplaceRows(row, 1, randomText(rng, 3) + "\r\n");
    }
}

std::string randomPattern(std::mt19937& rng, const std::string& text) {
    if (!text.empty() && rng() % 4 > 0) {
        const std::size_t from = rng() % text.size();
        return text.substr(from, 1 + rng() % 4);
    }
    return randomText(rng, 1 + static_cast<int>(rng() % 2));
}

TSearchOptions randomOptions(std::mt19937& rng) {
    TSearchOptions o;
    o.Set(TSearchOption::Forward, rng() % 2);
    o.Set(TSearchOption::MatchCase, rng() % 2);
    o.Set(TSearchOption::WholeWord, rng() % 3 == 0);
    return o;
}

// The replace loop on a plain string: find from the selection, replace, go on after the new
// text (forward) or before it (backward), until nothing is found.
std::string replaceOneByOne(std::string text, int s, int l, const std::string& pattern, const std::string& with,
                            TSearchOptions o) {
    const bool forward = o.Has(TSearchOption::Forward);
    while (Search(text, s, l, pattern, o)) {
        text.replace(static_cast<std::size_t>(s), pattern.size(), with);
        if (forward) s += static_cast<int>(with.size());
        l = 0;
    }
    return text;
}

} // namespace

TEST(RowSearch, FindsWhatTheSearchOfTheWholeTextFinds) {
    std::mt19937 rng(2024);
    for (int round = 0; round < 3000; ++round) {
        FakeEditor e;
        makeDocument(e, rng);
        const std::string text = e.Store->GetTextStr();
        const std::string pattern = randomPattern(rng, text);
        const TSearchOptions o = randomOptions(rng);
        const int n = static_cast<int>(text.size());
        const int start = static_cast<int>(rng() % static_cast<unsigned>(n + 2)) - 1,
                  length = static_cast<int>(rng() % 3);
        int wantS = start, wantL = length, gotS = start, gotL = length;
        const bool want = Search(text, wantS, wantL, pattern, o);
        const bool got = TRowSearch(*e.Store, pattern, o).Find(gotS, gotL);
        ASSERT_EQ(want, got) << "round " << round << " text " << testing::PrintToString(text) << " pattern "
                             << testing::PrintToString(pattern) << " options " << o.Bits() << " from " << start;
        if (got) {
            ASSERT_EQ(wantS, gotS) << "round " << round;
            ASSERT_EQ(wantL, gotL) << "round " << round;
        }
    }
}

TEST(RowSearch, ReplacingEveryMatchInPlaceIsOneUndoStepAndEqualsReplacingThemOneByOne) {
    std::mt19937 rng(77);
    for (int round = 0; round < 1500; ++round) {
        FakeEditor e;
        makeDocument(e, rng);
        TEditorScreenStrings& s = *e.Store;
        const std::string before = s.GetTextStr();
        const int64_t countBefore = s.CharacterCount();
        std::string pattern = randomPattern(rng, before);
        // A match that begins or ends inside a CR LF is not replaced in place as in a string.
        if (pattern.find_first_of("\r\n") != std::string::npos) pattern = "a";
        const std::string with = rng() % 3 == 0 ? std::string() : randomText(rng, 1 + static_cast<int>(rng() % 2));
        if (with.find_first_of("\r\n") != std::string::npos) continue;
        // What is typed as the replacement ends with a whole character.
        if (sjis::IsLeadByteAt(with, with.size())) continue; // positions count from 1
        const TSearchOptions o = randomOptions(rng);
        const int start = static_cast<int>(rng() % static_cast<unsigned>(before.size() + 1));
        const std::vector<int> starts = TRowSearch(s, pattern, o).FindAll(start, 0, with);
        const std::string expected = replaceOneByOne(before, start, 0, pattern, with, o);
        const std::string where = "round " + std::to_string(round) + " text " + testing::PrintToString(before) +
                                  " pattern " + testing::PrintToString(pattern) + " with " +
                                  testing::PrintToString(with) + " options " + std::to_string(o.Bits());
        if (starts.empty()) {
            ASSERT_EQ(expected, before) << where;
            continue;
        }
        const int undoSteps = s.UndoObj().UndoList().Count();
        s.ReplaceRanges(starts, static_cast<int>(pattern.size()), with);
        ASSERT_EQ(s.GetTextStr(), expected) << where;
        ASSERT_EQ(s.UndoObj().UndoList().Count(), undoSteps + 1) << where;
        const std::string problem = CheckStoreInvariants(s, expected);
        ASSERT_TRUE(problem.empty()) << where << ": " << problem;
        s.Undo();
        ASSERT_EQ(s.GetTextStr(), before) << where;
        ASSERT_EQ(s.CharacterCount(), countBefore) << where;
        s.Redo();
        ASSERT_EQ(s.GetTextStr(), expected) << where;
        ASSERT_TRUE(CheckStoreInvariants(s, expected).empty()) << where;
    }
}

TEST(RowSearch, ReadsARowsBlockInPlaceWhereItHoldsTheText) {
    FakeEditor e;
    std::string text;
    for (int i = 0; i < 2000; ++i) text += "line " + std::to_string(i) + " \x82\xA0\r\n";
    e.Store->LoadText([&](TTextLoader& loader) { loader.Add(text); });
    std::string buffer;
    const std::string_view whole = e.Store->RowsText(0, e.Store->Count(), buffer);
    EXPECT_EQ(whole, text);
    EXPECT_TRUE(buffer.empty()) << "a text with CR LF line ends, read whole, is read where it lies";
    e.Store->ReplaceRows(1000, 1, "changed\r\n");
    EXPECT_EQ(e.Store->RowsText(0, 1000, buffer).size(), text.find("line 1000"));
    EXPECT_TRUE(buffer.empty()) << "the rows before a change still lie in the block";
    e.Store->RowsText(999, 3, buffer);
    EXPECT_EQ(buffer, "line 999 \x82\xA0\r\nchanged\r\nline 1001 \x82\xA0\r\n") << "a changed row is copied";
    int s = 0, l = 0;
    TSearchOptions o;
    o.Set(TSearchOption::Forward, true);
    EXPECT_TRUE(TRowSearch(*e.Store, "1999", o).Find(s, l));
    EXPECT_EQ(s, static_cast<int>(e.Store->GetTextStr().find("1999")));
}
