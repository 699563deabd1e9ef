// Undo and redo through the store.
#include "FakeEditor.h"

#include <gtest/gtest.h>

using namespace quire;
using namespace quire::test;
using Rows = std::vector<std::string>;

namespace {
// Types one character at the caret the way an editor does: one ReplaceRows, caret after it.
void typeAtEnd(FakeEditor& e, const std::string& ch) {
    TEditorScreenStrings& s = *e.Store;
    if (s.Count() == 0) {
        s.ReplaceRows(0, 0, ch);
        e.CaretRow = 0;
        e.CaretCol = static_cast<int>(ch.size());
        return;
    }
    const int row = s.Count() - 1;
    s.ReplaceRows(row, 1, s.Strings(row) + ch);
    s.SetCaretByOffset(&e, row, static_cast<int>(s.Get(row).size()));
}
} // namespace

TEST(Undo, ThreeInsertionsThreeSteps) {
    FakeEditor e;
    typeAtEnd(e, "a");
    typeAtEnd(e, "b");
    typeAtEnd(e, "c");
    EXPECT_EQ(e.Store->GetTextStr(), "abc");
    EXPECT_EQ(e.CaretCol, 3);
    for (int i = 0; i < 3; ++i) e.Store->Undo();
    EXPECT_EQ(e.Store->GetTextStr(), "");
    EXPECT_FALSE(e.Store->UndoObj().CanUndo());
    EXPECT_EQ(e.CaretCol, 0);
    for (int i = 0; i < 3; ++i) e.Store->Redo();
    EXPECT_EQ(e.Store->GetTextStr(), "abc");
    EXPECT_EQ(e.CaretCol, 3); // where it stood before the undo
    EXPECT_FALSE(e.Store->UndoObj().CanRedo());
    EXPECT_EQ(e.CaretHidden, 0);
}

TEST(Undo, ANewEditEmptiesTheRedoList) {
    FakeEditor e;
    typeAtEnd(e, "a");
    typeAtEnd(e, "b");
    e.Store->Undo();
    EXPECT_TRUE(e.Store->UndoObj().CanRedo());
    typeAtEnd(e, "x");
    EXPECT_FALSE(e.Store->UndoObj().CanRedo());
    EXPECT_EQ(e.Store->GetTextStr(), "ax");
    e.Store->Redo(); // nothing to redo
    EXPECT_EQ(e.Store->GetTextStr(), "ax");
}

TEST(Undo, ListMaxKeepsTheNewest) {
    FakeEditor e;
    for (int i = 0; i < 70; ++i) typeAtEnd(e, "x");
    EXPECT_EQ(e.Store->UndoObj().UndoList().Count(), 64);
    int steps = 0;
    while (e.Store->UndoObj().CanUndo()) {
        e.Store->Undo();
        ++steps;
    }
    EXPECT_EQ(steps, 64);
    EXPECT_EQ(e.Store->GetTextStr(), std::string(6, 'x'));
    e.Store->UndoObj().SetListMax(10);
    EXPECT_EQ(e.Store->UndoObj().ListMax(), 64);
    e.Store->UndoObj().SetListMax(100);
    EXPECT_EQ(e.Store->UndoObj().ListMax(), 100);
}

TEST(Undo, LoweringListMaxKeepsTheLength) {
    FakeEditor e;
    e.Store->UndoObj().SetListMax(100);
    for (int i = 0; i < 80; ++i) typeAtEnd(e, "x");
    e.Store->UndoObj().SetListMax(64);
    typeAtEnd(e, "y");
    EXPECT_EQ(e.Store->UndoObj().UndoList().Count(), 80);
}

TEST(Undo, DeletingTheLastLineWithoutLineEndRestoresEndOfFile) {
    FakeEditor e;
    e.Store->SetTextStr("a\r\nb");
    e.Lines.Delete(1);
    EXPECT_EQ(RowsOf(*e.Store), (Rows{"a|L"}));
    e.Store->Undo();
    EXPECT_EQ(RowsOf(*e.Store), (Rows{"a|L", "b|E"}));
}

TEST(Undo, CaretOfTheRecordIsTheOneBeforeTheEdit) {
    FakeEditor e;
    e.Store->SetTextStr("one\r\ntwo\r\n");
    e.CaretRow = 1;
    e.CaretCol = 2;
    e.Store->ReplaceRows(0, 1, "ONE\r\n");
    e.CaretRow = 0;
    e.CaretCol = 3;
    e.Store->Undo();
    EXPECT_EQ(e.CaretRow, 1);
    EXPECT_EQ(e.CaretCol, 2);
    e.Store->Redo();
    EXPECT_EQ(e.CaretRow, 0); // where it stood before the undo
    EXPECT_EQ(e.CaretCol, 3);
    EXPECT_EQ(e.Store->GetTextStr(), "ONE\r\ntwo\r\n");
}

TEST(Undo, TheFocusedEditorsCaretIsRecorded) {
    FakeEditor a;
    FakeEditor b(a);
    a.Store->SetTextStr("text\r\n");
    a.CaretCol = 1;
    b.CaretCol = 4;
    b.HasFocus = true;
    a.Store->ReplaceRows(0, 1, "TEXT\r\n");
    EXPECT_EQ(a.Store->UndoObj().UndoList().Last()->CaretCol, 4);
    b.CaretCol = 0;
    a.Store->Undo();
    EXPECT_EQ(b.CaretCol, 4);
    EXPECT_EQ(a.CaretCol, 1);
}

TEST(Undo, SwitchingWordWrapEmptiesBothLists) {
    FakeEditor e;
    typeAtEnd(e, "a");
    typeAtEnd(e, "b");
    e.Store->Undo();
    e.Store->SetWordWrap(true);
    EXPECT_FALSE(e.Store->UndoObj().CanUndo());
    EXPECT_FALSE(e.Store->UndoObj().CanRedo());
}

TEST(Undo, UndoOfAWrappedEditRewrapsByTheCurrentRules) {
    FakeEditor e;
    e.Store->WrapOption().SetWrapByte(20);
    e.Store->SetWordWrap(true);
    e.Store->SetTextStr(std::string(30, 'a') + "\r\nz");
    const Rows before = RowsOf(*e.Store);
    e.Store->ReplaceRows(1, 1, "bb\r\ncc\r\n");
    e.Store->Undo();
    EXPECT_EQ(RowsOf(*e.Store), before);
    const TChangeRecord r = e.Records.back();
    EXPECT_TRUE(r.Changed);
    e.Store->Redo();
    EXPECT_EQ(e.Store->GetTextStr(), std::string(20, 'a') + "bb\r\ncc\r\nz");
}

// A key typed into a long line: each undo and redo record keeps what the key changed, not
// the line (a 50 MB line once cost 50 MB a key), and still gives every step back exactly.
TEST(Undo, KeysTypedIntoALongLineCostTheKeysNotTheLine) {
    struct Case {
        bool Wrap;
        std::string Key;
    };
    for (const Case& c : {Case{false, "x"}, Case{true, "x"}, Case{false, "\x82\xA0"}, Case{true, "\x82\xA0"}}) {
        SCOPED_TRACE(std::string("wrap ") + (c.Wrap ? "on" : "off") + ", key of " + std::to_string(c.Key.size()));
        FakeEditor e;
        e.Store->UndoObj().SetListMax(100);
        e.Store->WrapOption().SetWrapByte(80);
        e.Store->SetWordWrap(c.Wrap);
        std::string line;
        while (line.size() < 256 * 1024) line += "abc \x88\x9F\x88\xA0 defgh ";
        e.Store->SetTextStr("first\r\n" + line + "\r\nlast");
        std::vector<std::string> texts{e.Store->GetTextStr()};
        for (int k = 0; k < 100; ++k) {
            // Into the middle of the long line, wherever its rows are.
            const int row = e.Store->Count() / 2;
            std::string text(e.Store->Get(row));
            const std::size_t space = text.find(' ', text.size() / 2);
            text.insert(space == std::string::npos ? text.size() : space + 1, c.Key);
            if (e.Store->RowAttribute(row) == TRowAttribute::LineEnd) text += "\r\n";
            e.Store->ReplaceRows(row, 1, text);
            texts.push_back(e.Store->GetTextStr());
        }
        const auto held = [](const TUndoDataList& list) {
            std::size_t bytes = 0;
            for (int i = 0; i < list.Count(); ++i) bytes += list.Item(i)->RemovedText.capacity();
            return bytes;
        };
        EXPECT_LT(held(e.Store->UndoObj().UndoList()), 100 * 64u);
        for (int k = 100; k > 0; --k) {
            e.Store->Undo();
            ASSERT_EQ(e.Store->GetTextStr(), texts[static_cast<std::size_t>(k - 1)]) << "undo to step " << k - 1;
        }
        EXPECT_LT(held(e.Store->UndoObj().RedoList()), 100 * 64u);
        for (int k = 1; k <= 100; ++k) {
            e.Store->Redo();
            ASSERT_EQ(e.Store->GetTextStr(), texts[static_cast<std::size_t>(k)]) << "redo to step " << k;
        }
        EXPECT_LT(held(e.Store->UndoObj().UndoList()), 100 * 64u);
    }
}

// The lists alone, without a document.
TEST(UndoLists, NewEditsEmptyTheRedoListButARedoKeepsIt) {
    TEditorUndoObj u;
    u.NewRecord(1, 2)->Row = 7;
    u.PushRedo(*u.UndoList().Last(), 3, 4);
    u.DeleteLastUndo();
    ASSERT_TRUE(u.CanRedo());
    EXPECT_EQ(u.RedoList().Last()->Row, 7);
    EXPECT_EQ(u.RedoList().Last()->CaretRow, 3);
    EXPECT_EQ(u.RedoList().Last()->CaretCol, 4);
    u.NewRecord(0, 0, TEditorUndoObj::TRedoList::Keep);
    EXPECT_TRUE(u.CanRedo());
    const UndoRecord* fresh = u.NewRecord(5, 6);
    EXPECT_FALSE(u.CanRedo());
    EXPECT_EQ(fresh->CaretRow, 5);
    EXPECT_EQ(fresh->CaretCol, 6);
}

TEST(UndoLists, TheOldestRecordGoesBeyondTheMaximum) {
    TEditorUndoObj u;
    for (int i = 0; i < TEditorUndoObj::DefaultListMax + 3; ++i) u.NewRecord(0, 0)->Row = i;
    EXPECT_EQ(u.UndoList().Count(), TEditorUndoObj::DefaultListMax);
    EXPECT_EQ(u.UndoList().Item(0)->Row, 3);
    EXPECT_EQ(u.UndoList().Last()->Row, TEditorUndoObj::DefaultListMax + 2);
}
