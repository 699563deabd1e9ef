// Random edits, undo and redo with word wrap on and off, mirrored on a plain string.
#include "Cp932Table.h"
#include "StoreInvariants.h"

#include <gtest/gtest.h>
#include <random>

using namespace quire;
using namespace quire::test;

namespace {

std::string randomText(std::mt19937& rng, int maxPieces) {
    static const char* pieces[] = {
        "a",        "b",    " ",
        "word",     "\t",   "(*",
        "*)",       "(",    "*",
        ")",        "\r\n", "\r\n",
        "\n",       "\r",
        "\x82\xA0", // あ
        "\x8A\xBF", // 漢
        "\x81\x42", // 。 (hangs with FollowPunctuation)
        "\x81\x75", // 「 (may not end a row with Leading)
        "\x81\x76", // 」 (may not start a row)
        "\x83\x41", // ア: its trail byte is "A"
        "\x95\x5C", // 表: its trail byte is "\"
        ",",        ".",    "abcdefghijklmnopqrstuvwxyz0123456789",
        "\x81",     // a lone lead byte
        "\x88\x9F", // 亜: its trail byte is a lead byte too
        "\x85",     // a lead byte that pairs with nothing: the byte after it is read afresh
        "\x81\x40", // the full-width space, which the character count leaves out
    };
    std::string s;
    const int n = static_cast<int>(rng() % static_cast<unsigned>(maxPieces + 1));
    for (int i = 0; i < n; ++i) s += pieces[rng() % (sizeof pieces / sizeof *pieces)];
    return s;
}

void checkInvariants(FakeEditor& e, const std::string& model, const std::string& where) {
    const std::string problem = CheckStoreInvariants(*e.Store, model);
    ASSERT_TRUE(problem.empty()) << where << ": " << problem;
}

// The character count as the count command defines it: each line of the model counted alone.
int64_t fullCount(const std::string& model) {
    int64_t n = 0;
    for (const std::string_view line : sjis::SplitLines(model)) n += cp932::CountCharacters(line);
    return n;
}

void runRandomEdits(uint32_t seed, int steps) {
    std::mt19937 rng(seed);
    FakeEditor e;
    e.Screen = 3; // a short horizon, so that re-parsing stops and resumes often
    std::string model;
    TModelHistory history;
    const std::string where0 = "seed " + std::to_string(seed);
    for (int step = 0; step < steps; ++step) {
        TEditorScreenStrings& s = *e.Store;
        const std::string where = where0 + " step " + std::to_string(step);
        const unsigned op = rng() % 100;
        if (op < 70) {
            const int n = s.Count();
            const int row = static_cast<int>(rng() % static_cast<unsigned>(n + 1));
            const int maxCount = n - row;
            const int count =
                maxCount > 0 ? static_cast<int>(rng() % static_cast<unsigned>(std::min(maxCount, 4) + 1)) : 0;
            std::string text = randomText(rng, 6);
            if (count == 0 && text.empty()) text = "z";
            auto [offset, length] = RowSpan(s, row, count);
            history.Edited(model, s.UndoObj().ListMax());
            model = NormalizedLineEnds(model.replace(offset, length, text));
            // The caret goes after the new text, measured from the edit's base row as every
            // editing operation measures it.
            const int base = s.BaseRow(row);
            const int after = s.RowOffset(row, base) + static_cast<int>(NormalizedLineEnds(text).size());
            s.ReplaceRows(row, count, text);
            s.SetCaretByOffset(&e, base, after);
            const int expected = CharacterBoundary(s, static_cast<int>(offset + NormalizedLineEnds(text).size()));
            ASSERT_EQ(CaretOffset(s, e.CaretRow, e.CaretCol), expected)
                << where << " (row " << row << ", base " << base << ")";
        } else if (op < 82) {
            history.StepBack(model);
            s.Undo();
        } else if (op < 92) {
            history.StepForward(model);
            s.Redo();
        } else if (op < 95) {
            s.SetWordWrap(!s.WordWrap());
            history.Clear();
            ASSERT_FALSE(s.UndoObj().CanUndo()) << where;
        } else {
            TEditorWrapOption& w = s.WrapOption();
            w.BeginUpdate();
            w.SetWrapByte(20 + static_cast<int>(rng() % 12));
            w.SetWordBreak(rng() % 2);
            w.SetFollowPunctuation(rng() % 2);
            w.SetLeading(rng() % 2);
            w.SetFollowRetMark(rng() % 2);
            w.EndUpdate();
            if (s.WordWrap()) history.Clear();
        }
        ASSERT_EQ(s.UndoObj().CanUndo(), !history.Undo.empty()) << where;
        ASSERT_EQ(s.UndoObj().CanRedo(), !history.Redo.empty()) << where;
        checkInvariants(e, model, where);
        if (::testing::Test::HasFatalFailure()) return;
        // The running count follows every step without counting the whole text again.
        ASSERT_EQ(e.Store->CharacterCount(), fullCount(model)) << where;
        ASSERT_EQ(e.Store->WholeTextCounts(), 1) << where;
    }
    // Undoing everything that is left restores the text of that moment.
    while (e.Store->UndoObj().CanUndo()) e.Store->Undo();
    if (!history.Undo.empty()) {
        EXPECT_EQ(e.Store->GetTextStr(), history.Undo.front()) << where0;
    }
}

} // namespace

TEST(RandomEdits, TextInvariantsAndUndoAgainstAModel) {
    for (uint32_t seed = 1; seed <= 100; ++seed) {
        runRandomEdits(seed, 600);
        if (HasFatalFailure()) return;
    }
}

TEST(RandomEdits, UndoingEveryStepRestoresTheOriginal) {
    std::mt19937 rng(99);
    FakeEditor e;
    e.Store->WrapOption().SetWrapByte(20);
    e.Store->SetWordWrap(true);
    const std::string original = NormalizedLineEnds(randomText(rng, 40));
    e.Store->SetTextStr(original);
    for (int i = 0; i < 60; ++i) {
        const int n = e.Store->Count();
        const int row = static_cast<int>(rng() % static_cast<unsigned>(n + 1));
        const int count = n > row ? 1 : 0;
        e.Store->ReplaceRows(row, count, randomText(rng, 5) + "x");
    }
    int steps = 0;
    while (e.Store->UndoObj().CanUndo()) {
        e.Store->Undo();
        ++steps;
    }
    EXPECT_EQ(steps, 60);
    EXPECT_EQ(e.Store->GetTextStr(), original);
}

// Lead bytes that pair with nothing and trail bytes that are lead bytes too, wrapped: the rows
// of a line are then decoded as the whole line is, a character may pair across a row's end, and
// the running count must measure each change with the bytes before and after it.
TEST(RandomEdits, TheCountFollowsEditsOfWrappedLinesOfLeadBytes) {
    // Line ends are rare, so that lines run over several rows and edits start mid-line.
    static const char* pieces[] = {"\x85", "\x88\x9F", "\x88", "\x9F", "\x81\x40", "a"};
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        std::mt19937 rng(seed);
        FakeEditor e;
        TEditorScreenStrings& s = *e.Store;
        s.WrapOption().SetWrapByte(20 + static_cast<int>(seed % 5));
        s.SetWordWrap(true);
        auto text = [&](int n) {
            std::string t;
            for (int i = 0; i < n; ++i)
                t += rng() % 40 == 0 ? "\r\n" : pieces[rng() % (sizeof pieces / sizeof *pieces)];
            return t;
        };
        std::string model = NormalizedLineEnds(text(400));
        s.SetTextStr(model);
        ASSERT_EQ(s.CharacterCount(), fullCount(model)) << "seed " << seed;
        for (int step = 0; step < 150; ++step) {
            const int row = static_cast<int>(rng() % static_cast<unsigned>(s.Count() + 1));
            const int count = row < s.Count() ? static_cast<int>(rng() % 2) : 0;
            const std::string piece = text(1 + static_cast<int>(rng() % 4));
            if (rng() % 5 == 0) {
                s.Undo();
            } else {
                s.ReplaceRows(row, count, piece);
            }
            ASSERT_EQ(s.CharacterCount(), fullCount(s.GetTextStr())) << "seed " << seed << " step " << step;
        }
        EXPECT_EQ(s.WholeTextCounts(), 1) << "seed " << seed;
    }
}

// A line of nothing but lead bytes pairs up from its start whatever rows it is wrapped into, so
// an edit at its end must be counted with every byte of the line before it.
TEST(RandomEdits, TheCountOfALongRunOfLeadBytesFollowsAnEditAtItsEnd) {
    struct TCase {
        const char* Head;
        int Pairs;
        const char* Added;
    };
    const TCase cases[] = {
        {"\x85", 60, "a"}, {"\x85", 61, "\x9F"}, {"", 60, "a"}, {"\x88", 45, "\x40"}, {"\x85", 30, ""}};
    for (const TCase& c : cases) {
        FakeEditor e;
        TEditorScreenStrings& s = *e.Store;
        s.WrapOption().SetWrapByte(20);
        s.SetWordWrap(true);
        std::string line = c.Head;
        for (int i = 0; i < c.Pairs; ++i) line += "\x88\x9F";
        s.SetTextStr(line + "\r\nnext\r\n");
        const std::string where = testing::PrintToString(c.Head) + " " + std::to_string(c.Pairs);
        ASSERT_EQ(s.CharacterCount(), fullCount(s.GetTextStr())) << where;
        const int row = s.LineEndRow(0);
        s.ReplaceRows(row, 1, std::string(s.Get(row)) + c.Added + "\r\n");
        EXPECT_EQ(s.CharacterCount(), fullCount(s.GetTextStr())) << where;
        s.Undo();
        EXPECT_EQ(s.CharacterCount(), fullCount(line + "\r\nnext\r\n")) << where;
        EXPECT_EQ(s.WholeTextCounts(), 1) << where;
    }
}
