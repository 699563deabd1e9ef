// The editing operations without a window: typing, Return, Backspace, Delete, tabs, box
// paste, indenting and moving the selection, each checked for its text, its caret and its
// one undo step.
#include "FakeEditingHost.h"

#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <string>

using namespace quire;
using quire::test::FakeEditingHost;

namespace {

const std::string kA = "\x82\xA0"; // あ

// One operation on one text: where the caret stands (and what is selected), what is done,
// and the text and caret after it. Undo must bring back the text before.
struct TEditCase {
    const char* Name;
    std::string Text;
    int Row, Col;                                // the caret, placed after Setup unless Setup selected
    std::function<void(FakeEditingHost&)> Setup; // options and the selection
    std::function<void(TEditorEditing&)> Op;
    std::string Expected;
    int ExpectedRow, ExpectedCol; // -1: not checked
    int UndoSteps = 1;            // a selection deleted first is a step of its own
};

void wrapAt20(FakeEditingHost& h) {
    h.Store->WrapOption().SetWrapByte(20);
    h.Store->SetWordWrap(true);
}

void runCase(const TEditCase& c) {
    FakeEditingHost h;
    h.Lines.SetText(c.Text);
    if (c.Setup) c.Setup(h);
    if (!h.Sel.Selected()) h.SetRowCol(c.Row, c.Col);
    c.Op(h.Editing);
    EXPECT_EQ(h.Lines.Text(), c.Expected) << c.Name;
    if (c.ExpectedRow >= 0) {
        EXPECT_EQ(h.Row(), c.ExpectedRow) << c.Name;
    }
    if (c.ExpectedCol >= 0) {
        EXPECT_EQ(h.Col(), c.ExpectedCol) << c.Name;
    }
    EXPECT_EQ(h.CaretHidden, 0) << c.Name << ": the caret is shown again";
    EXPECT_EQ(h.UnderlineHidden, 0) << c.Name << ": the underline is back";
    if (c.Expected != c.Text) {
        for (int i = 0; i < c.UndoSteps; ++i) h.Undo();
        EXPECT_EQ(h.Lines.Text(), c.Text) << c.Name << ": one undo step";
    }
}

} // namespace

TEST(EditingOperationsTest, TypingTabsAndReturn) {
    const TEditCase cases[] = {
        {"typing past the row end pads",
         "ab\r\n",
         0,
         5,
         {},
         [](TEditorEditing& e) { e.TypeText("x"); },
         "ab   x\r\n",
         0,
         6},
        {"overwriting half a double-byte character leaves a space", kA + "z\r\n", 0, 0,
         [](FakeEditingHost& h) { h.IsOverWrite = true; }, [](TEditorEditing& e) { e.TypeText("x"); }, "x z\r\n", 0, 1},
        {"overwriting a whole one", kA + "z\r\n", 0, 0, [](FakeEditingHost& h) { h.IsOverWrite = true; },
         [](TEditorEditing& e) { e.TypeText("xy"); }, "xyz\r\n", 0, 2},
        {"a soft tab", "abc\r\n", 0, 3, [](FakeEditingHost& h) { h.CaretOptions.SoftTab = true; },
         [](TEditorEditing& e) { e.InsertTab(); }, "abc     \r\n", 0, 8},
        {"a hard tab", "abc\r\n", 0, 3, {}, [](TEditorEditing& e) { e.InsertTab(); }, "abc\t\r\n", 0, 8},
        {"a soft tab reaches only to the wrap edge", std::string(18, 'a'), 0, 18,
         [](FakeEditingHost& h) {
             wrapAt20(h);
             h.CaretOptions.SoftTab = true;
         },
         [](TEditorEditing& e) { e.InsertTab(); }, std::string(18, 'a') + "  ", -1, -1},
        {"a tab in overwrite mode only moves", "abc", 0, 3, [](FakeEditingHost& h) { h.IsOverWrite = true; },
         [](TEditorEditing& e) { e.InsertTab(); }, "abc", 0, 8},
        {"Return keeps the indent",
         "    abc\r\n",
         0,
         5,
         {},
         [](TEditorEditing& e) { e.NewLine(false); },
         "    a\r\n    bc\r\n",
         1,
         4},
        {"Return indents with tabs", "    abc\r\n", 0, 5,
         [](FakeEditingHost& h) {
             h.CaretOptions.TabIndent = true;
             h.CaretOptions.SetTabSpaceCount(4);
         },
         [](TEditorEditing& e) { e.NewLine(false); }, "    a\r\n\tbc\r\n", 1, 4},
        {"Shift+Return opens a line above the logical line", "  " + std::string(30, 'w') + "\r\n", 1, 3, wrapAt20,
         [](TEditorEditing& e) { e.NewLine(true); }, "  \r\n  " + std::string(30, 'w') + "\r\n", 0, 2},
        {"Return after the final line end",
         "abc\r\n",
         1,
         0,
         {},
         [](TEditorEditing& e) { e.NewLine(false); },
         "abc\r\n\r\n",
         2,
         0},
        {"Shift+Return over a selection does nothing", "abcdef\r\n", 0, 0,
         [](FakeEditingHost& h) { h.Select(0, 1, 0, 3); }, [](TEditorEditing& e) { e.NewLine(true); }, "abcdef\r\n", -1,
         -1},
        {"Return over a selection replaces it", "abcdef\r\n", 0, 0, [](FakeEditingHost& h) { h.Select(0, 1, 0, 3); },
         [](TEditorEditing& e) { e.NewLine(false); }, "a\r\ndef\r\n", 1, 0, 2},
    };
    for (const TEditCase& c : cases) runCase(c);
}

TEST(EditingOperationsTest, BackspaceAndDelete) {
    auto backspace = [](TEditorEditing& e) { e.Backspace(); };
    auto del = [](TEditorEditing& e) { e.DeleteChar(); };
    const TEditCase cases[] = {
        {"Backspace at a row's start joins it to the row above", "ab\r\ncd\r\n", 1, 0, {}, backspace, "abcd\r\n", 0, 2},
        {"Backspace in the indent goes back to an earlier row's",
         "    x\r\n        y\r\n",
         1,
         8,
         {},
         backspace,
         "    x\r\n    y\r\n",
         1,
         4},
        {"Backspace at a continuation row takes the last character above", std::string(25, 'w') + "\r\n", 1, 0,
         wrapAt20, backspace, std::string(24, 'w') + "\r\n", -1, -1},
        {"Backspace takes a double-byte character whole", "x" + kA + "y", 0, 3,
         [](FakeEditingHost& h) { h.CaretOptions.BackSpaceUnIndent = false; }, backspace, "xy", 0, 1},
        {"Backspace in the free space past the end only moves", "ab", 0, 5,
         [](FakeEditingHost& h) { h.CaretOptions.BackSpaceUnIndent = false; }, backspace, "ab", 0, 4},
        {"Delete at a row's end joins the next row", "ab\r\ncd", 0, 2, {}, del, "abcd", 0, 2},
        {"Delete at the end of a row without a line end", "abcd", 0, 4, {}, del, "abcd", 0, 4},
        {"Delete takes the last row's line end", "ab\r\n", 0, 2, {}, del, "ab", 0, 2},
        {"Delete past the end pads before joining", "ab\r\ncd", 0, 4, {}, del, "ab  cd", 0, 4},
        {"Delete takes a double-byte character whole", kA + "\tx", 0, 0, {}, del, "\tx", 0, 0},
        {"Delete inside a tab takes the tab", "\tx", 0, 4, {}, del, "x", 0, 0},
        {"Delete with a selection deletes it", "abcdef", 0, 0, [](FakeEditingHost& h) { h.Select(0, 1, 0, 4); }, del,
         "aef", 0, 1},
        {"read-only: Backspace changes nothing", "abc", 0, 2, [](FakeEditingHost& h) { h.IsReadOnly = true; },
         backspace, "abc", 0, 2},
    };
    for (const TEditCase& c : cases) runCase(c);
}

TEST(EditingOperationsTest, PastingIndentingAndMovingTheSelection) {
    const TEditCase cases[] = {
        {"box paste below the last row makes rows",
         "12345\r\nabc",
         1,
         2,
         {},
         [](TEditorEditing& e) { e.BoxPaste("XX\r\nYY\r\nZZ"); },
         "12345\r\nabXXc\r\n  YY\r\n  ZZ\r\n",
         3,
         4},
        {"box paste over a box selection", "abcd\r\nefgh\r\n", 0, 0,
         [](FakeEditingHost& h) {
             h.Sel.Mode = TSelectionMode::Box;
             h.Select(0, 1, 1, 3);
         },
         [](TEditorEditing& e) { e.BoxPaste("X\r\nY"); }, "aXd\r\neYh\r\n", 1, 2},
        {"inserted text with LF is stored with CR LF",
         "ab",
         0,
         1,
         {},
         [](TEditorEditing& e) { e.InsertText("1\n2"); },
         "a1\r\n2b",
         1,
         1},
        {"replacing by text offsets",
         "abc\r\ndef",
         0,
         0,
         {},
         [](TEditorEditing& e) { e.ReplaceText(2, 3, "XY"); },
         "abXYdef",
         0,
         4},
        {"moving the selection past the end of the row above", "ab\r\nhello\r\nzz", 0, 0,
         [](FakeEditingHost& h) { h.Select(1, 0, 1, 5); }, [](TEditorEditing& e) { e.DragMove(0, 3); },
         "ab hello\r\n\r\nzz", 0, 8},
        {"moving it far past the end", "ab\r\nhello\r\nzz", 0, 0, [](FakeEditingHost& h) { h.Select(1, 0, 1, 5); },
         [](TEditorEditing& e) { e.DragMove(0, 10); }, "ab        hello\r\n\r\nzz", 0, 15},
        {"moving it down past the end of the last row", "ab\r\nhello\r\nzz", 0, 0,
         [](FakeEditingHost& h) { h.Select(0, 0, 0, 2); }, [](TEditorEditing& e) { e.DragMove(2, 5); },
         "\r\nhello\r\nzz   ab", 2, 7},
        {"a drop inside the selection changes nothing", "hello", 0, 0, [](FakeEditingHost& h) { h.Select(0, 1, 0, 4); },
         [](TEditorEditing& e) { e.DragMove(0, 2); }, "hello", -1, -1},
        {"copying it", "hello", 0, 0, [](FakeEditingHost& h) { h.Select(0, 0, 0, 2); },
         [](TEditorEditing& e) { e.DragCopy(0, 5); }, "hellohe", 0, 7},
    };
    for (const TEditCase& c : cases) runCase(c);
}

TEST(EditingOperationsTest, IndentAndUnindentKeepTheSelection) {
    FakeEditingHost h;
    h.Lines.SetText("one\r\ntwo\r\n  three\r\nfour\r\n");
    h.Select(0, 0, 3, 0);
    h.Editing.IndentSelection();
    EXPECT_EQ(h.Lines.Text(), "\tone\r\n\ttwo\r\n\t  three\r\nfour\r\n");
    // The selection follows the text: it starts after the new tab of its first row.
    EXPECT_TRUE(h.Sel.Selected());
    EXPECT_EQ(h.Editing.SelectedText(), "one\r\n\ttwo\r\n\t  three\r\n");
    h.Editing.UnindentSelection();
    EXPECT_EQ(h.Lines.Text(), "one\r\ntwo\r\n  three\r\nfour\r\n");
    h.Editing.UnindentSelection(); // spaces are never removed
    EXPECT_EQ(h.Lines.Text(), "one\r\ntwo\r\n  three\r\nfour\r\n");
    // A box takes its tab at its left edge and stays where it was.
    h.Lines.SetText("abc\r\ndef\r\n");
    h.Sel.Mode = TSelectionMode::Box;
    h.Select(0, 1, 1, 2);
    const int repaints = h.Repaints;
    h.Editing.IndentSelection();
    EXPECT_EQ(h.Lines.Text(), "a\tbc\r\nd\tef\r\n");
    EXPECT_TRUE(h.Sel.Selected());
    EXPECT_GT(h.Repaints, repaints);
}

TEST(EditingOperationsTest, SelectedTextAndLength) {
    const struct {
        const char* Name;
        std::string Text;
        TSelectionMode Mode;
        int R1, C1, R2, C2;
        std::string Selected;
        int Length;
    } cases[] = {
        {"within a row", "abcdef", TSelectionMode::Normal, 0, 1, 0, 4, "bcd", 3},
        {"across rows", "ab\r\ncd\r\nef", TSelectionMode::Normal, 0, 1, 2, 1, "b\r\ncd\r\ne", 8},
        {"backwards", "ab\r\ncd", TSelectionMode::Normal, 1, 1, 0, 1, "b\r\nc", 4},
        {"a box", "abcdef\r\nghijkl\r\nmnopqr\r\n", TSelectionMode::Box, 0, 1, 2, 3, "bc\r\nhi\r\nno\r\n", 12},
        {"a box cutting a double-byte character", "a" + kA + "b\r\nxyzw\r\n", TSelectionMode::Box, 0, 2, 1, 4,
         "b\r\nzw\r\n", 7},
        {"nothing", "abc", TSelectionMode::Normal, 0, 1, 0, 1, "", 0},
    };
    for (const auto& c : cases) {
        FakeEditingHost h;
        h.Lines.SetText(c.Text);
        h.Sel.Mode = c.Mode;
        h.Select(c.R1, c.C1, c.R2, c.C2);
        EXPECT_EQ(h.Editing.SelectedText(), c.Selected) << c.Name;
        EXPECT_EQ(h.Editing.SelLength(), c.Length) << c.Name;
    }
}

// Random operations at random places, with and without a selection, wrap and overwrite: each
// is at most two undo steps (a selection deleted first, then the change), undo gives back the
// text before, redo the text after, and the caret stays within the rows.
TEST(EditingOperationsTest, EveryOperationIsOneUndoStep) {
    std::mt19937 rng(3);
    const char* seeds[] = {"abc\r\n  def\r\n\tghi\r\n", "\x82\xA0\x82\xA2x\r\nyy", "", "    indented\r\n\r\nlast"};
    FakeEditingHost h;
    h.Store->UndoObj().SetListMax(10000);
    auto place = [&] {
        const unsigned rows = static_cast<unsigned>(h.Store->Count());
        h.PlaceCaret(static_cast<int>(rng() % (rows + 1)), static_cast<int>(rng() % 12));
    };
    for (int round = 0; round < 300; ++round) {
        if (round % 60 == 0) {
            h.Store->SetWordWrap(round % 120 == 0);
            h.Store->WrapOption().SetWrapByte(20);
        }
        h.Lines.SetText(seeds[rng() % 4]);
        for (int k = 0; k < 4; ++k) {
            const std::string where = "round " + std::to_string(round) + " step " + std::to_string(k);
            place();
            if (rng() % 3 == 0) {
                h.AnchorSelection();
                place();
                h.ExtendSelection();
            }
            h.IsOverWrite = rng() % 5 == 0;
            const std::string before = h.Lines.Text();
            const int undoCount = h.Store->UndoObj().UndoList().Count();
            TEditorEditing& e = h.Editing;
            const unsigned op = rng() % 9;
            switch (op) {
            case 0: e.TypeText("x"); break;
            case 1: e.TypeText(kA); break;
            case 2: e.NewLine(rng() % 2); break;
            case 3: e.Backspace(); break;
            case 4: e.DeleteChar(); break;
            case 5: e.InsertTab(); break;
            case 6: e.InsertText("p\r\nq"); break;
            case 7: e.BoxPaste("B1\r\nB2"); break;
            case 8: e.DeleteSelection(); break;
            }
            const std::string after = h.Lines.Text();
            // The caret stays within the rows (its column the control then settles on a character
            // within the 1000 columns).
            ASSERT_LE(h.Row(), h.Store->Count()) << where << " op " << op;
            const int steps = h.Store->UndoObj().UndoList().Count() - undoCount;
            ASSERT_LE(steps, 2) << where;
            ASSERT_TRUE(steps > 0 || after == before) << where << ": a change without an undo step";
            if (steps == 2) h.Undo(); // a selection deleted first (Return over a selection)
            if (steps >= 1) {
                h.Undo();
                ASSERT_EQ(h.Lines.Text(), before) << where;
                h.Redo();
                if (steps == 2) h.Redo();
                ASSERT_EQ(h.Lines.Text(), after) << where;
            }
        }
    }
}
