// Random edits, undo and redo with word wrap on and off, mirrored on a plain string.
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
        "\x81", // a lone lead byte
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
