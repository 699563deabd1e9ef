// The document store and Lines: text in and out, the edit primitive, change records.
#include "FakeEditor.h"

#include <gtest/gtest.h>

using namespace quire;
using namespace quire::test;
using Rows = std::vector<std::string>;

TEST(ScreenStrings, SetTextStrSplitsAtEveryLineEnd) {
    FakeEditor e;
    e.Store->SetTextStr("a\r\nb");
    EXPECT_EQ(RowsOf(*e.Store), (Rows{"a|L", "b|E"}));
    e.Store->SetTextStr("a\r\n");
    EXPECT_EQ(RowsOf(*e.Store), (Rows{"a|L"}));
    EXPECT_EQ(e.Lines.Count(), 1);
    e.Store->SetTextStr("a\rb\nc");
    EXPECT_EQ(RowsOf(*e.Store), (Rows{"a|L", "b|L", "c|E"}));
    e.Store->SetTextStr("");
    EXPECT_EQ(e.Store->Count(), 0);
    e.Store->SetTextStr(std::string_view("x\r\ny\0z", 6));
    EXPECT_EQ(RowsOf(*e.Store), (Rows{"x|L", "y|E"})); // stops at the first NUL
    e.Store->SetTextStr(std::string("a\r\n\0b", 5));
    EXPECT_EQ(RowsOf(*e.Store), (Rows{"a|L"}));
}

TEST(ScreenStrings, GetTextStrRoundTrips) {
    FakeEditor e;
    for (const char* t : {"", "a", "a\r\n", "\r\n\r\n", "a\r\nb\r\n\r\nc", "\x82\xA0\r\n\x95\x5C"}) {
        e.Store->SetTextStr(t);
        EXPECT_EQ(e.Store->GetTextStr(), t);
        EXPECT_EQ(e.Lines.Text(), t);
    }
}

TEST(ScreenStrings, GetRowsTextRanges) {
    FakeEditor e;
    e.Store->WrapOption().SetWrapByte(20);
    e.Store->SetWordWrap(true);
    e.Store->SetTextStr(std::string(30, 'x') + "\r\nshort");
    ASSERT_EQ(RowsOf(*e.Store), (Rows{std::string(20, 'x') + "|W", std::string(10, 'x') + "|L", "short|E"}));
    TRowAttribute attr;
    int n = 0;
    EXPECT_EQ(e.Store->GetRowsText(0, -1, attr, n), std::string(30, 'x') + "\r\n");
    EXPECT_EQ(attr, TRowAttribute::LineEnd);
    EXPECT_EQ(n, 2);
    EXPECT_EQ(e.Lines.Get(0), std::string(30, 'x'));
    EXPECT_EQ(e.Lines.Get(1), "short");
    EXPECT_EQ(e.Lines.Count(), 2);
    EXPECT_EQ(e.Store->GetRowsText(1, 5, attr, n), std::string(10, 'x') + "\r\nshort");
    EXPECT_EQ(n, 2);
    EXPECT_EQ(attr, TRowAttribute::EndOfFile);
    EXPECT_EQ(e.Store->GetRowsText(3, 1, attr, n), "");
    EXPECT_EQ(attr, TRowAttribute::NoAttribute);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(e.Store->GetRowsText(-1, 1, attr, n), "");
    EXPECT_EQ(e.Lines.LineToRow(1), 2);
    EXPECT_EQ(e.Store->LineStartRow(1), 0);
    EXPECT_EQ(e.Store->LineEndRow(0), 1);
    EXPECT_EQ(e.Store->LineEndRow(-3), -3);
}

TEST(ScreenStrings, LinesAddOnEmptyAndAfterTextWithoutLineEnd) {
    FakeEditor e;
    EXPECT_EQ(e.Lines.Add("x"), 0);
    EXPECT_EQ(RowsOf(*e.Store), (Rows{"x|L"}));
    EXPECT_EQ(e.CaretRow, 1);
    EXPECT_EQ(e.CaretCol, 0);

    FakeEditor f;
    f.Store->SetTextStr("abc");
    f.Lines.Add("x");
    EXPECT_EQ(RowsOf(*f.Store), (Rows{"abc|L", "x|E"}));
    EXPECT_EQ(f.Store->UndoObj().UndoList().Count(), 1);
    EXPECT_EQ(f.CaretRow, 1);
    EXPECT_EQ(f.CaretCol, 1);
    f.Store->Undo();
    EXPECT_EQ(RowsOf(*f.Store), (Rows{"abc|E"}));
}

TEST(ScreenStrings, LinesDeleteOfTheLastLineKeepsTheLineEndBefore) {
    FakeEditor e;
    e.Store->SetTextStr("a\r\nb");
    e.Lines.Delete(1);
    EXPECT_EQ(RowsOf(*e.Store), (Rows{"a|L"}));
    EXPECT_EQ(e.Store->GetTextStr(), "a\r\n");
    EXPECT_GT(e.SelectionsCleared, 0);
    EXPECT_EQ(e.CaretHidden, 0);
}

TEST(ScreenStrings, LinesPutAndInsert) {
    FakeEditor e;
    e.Store->SetTextStr("a\r\nb\r\nc");
    e.Lines.Put(1, "B");
    e.Lines.Insert(0, "first");
    e.Lines.Put(3, "C"); // the last line keeps having no line end
    EXPECT_EQ(e.Store->GetTextStr(), "first\r\na\r\nB\r\nC");
    e.Lines.Insert(4, "after"); // beyond the last row: Add
    EXPECT_EQ(e.Store->GetTextStr(), "first\r\na\r\nB\r\nC\r\nafter");
    EXPECT_THROW(e.Lines.Get(9), std::out_of_range);
    EXPECT_THROW(e.Lines.Put(9, "x"), std::out_of_range);
    EXPECT_THROW(e.Lines.Delete(-1), std::out_of_range);
    EXPECT_EQ(e.Store->UndoObj().UndoList().Count(), 4);
}

TEST(ScreenStrings, AssignPutsTheCaretBelowTheText) {
    FakeEditor e;
    e.Lines.Assign({"one", "two"});
    EXPECT_EQ(e.Store->GetTextStr(), "one\r\ntwo\r\n");
    EXPECT_EQ(e.CaretRow, 2);
    EXPECT_EQ(e.CaretCol, 0);
    EXPECT_FALSE(e.Store->UndoObj().CanUndo());
}

TEST(ScreenStrings, ReplaceRowsGuardsAndChangeRecord) {
    FakeEditor e;
    e.Store->SetTextStr("a\r\nb\r\nc\r\n");
    const std::size_t before = e.Records.size();
    e.Store->ReplaceRows(-1, 1, "x");
    e.Store->ReplaceRows(2, 2, "x"); // beyond the last row
    e.Store->ReplaceRows(1, 0, "");  // nothing to do
    EXPECT_EQ(e.Records.size(), before);
    EXPECT_EQ(e.Store->GetTextStr(), "a\r\nb\r\nc\r\n");

    e.Store->ReplaceRows(1, 1, "B\r\nB2\r\n");
    EXPECT_EQ(e.Store->GetTextStr(), "a\r\nB\r\nB2\r\nc\r\n");
    ASSERT_EQ(e.Records.size(), before + 1);
    const TChangeRecord r = e.Records.back();
    EXPECT_TRUE(r.Changed);
    // The replaced row ended its line, so the next line was taken in and rebuilt too.
    EXPECT_EQ(r.ChangedRow, 1);
    EXPECT_EQ(r.DeletedRows, 2);
    EXPECT_EQ(r.InsertedRows, 3);
    EXPECT_EQ(e.Store->ChangeRecord.Changed, false); // zeroed after the notification

    // Replacing a row without its line end joins it with the next line.
    e.Store->ReplaceRows(0, 1, "A");
    EXPECT_EQ(e.Store->GetTextStr(), "AB\r\nB2\r\nc\r\n");
    // Appending text at the end.
    e.Store->ReplaceRows(e.Store->Count(), 0, "end");
    EXPECT_EQ(RowsOf(*e.Store).back(), "end|E");
}

TEST(ScreenStrings, AppendingAfterALastRowWithoutLineEndContinuesIt) {
    FakeEditor e;
    e.Store->SetTextStr("abc");
    e.Store->ReplaceRows(1, 0, "def\r\n");
    EXPECT_EQ(RowsOf(*e.Store), (Rows{"abcdef|L"}));
}

TEST(ScreenStrings, ReplacingRowsBeforeAnEmptyLastRowKeepsTheLineEnd) {
    // Found by the random edits: a wrapped line that exactly fills its rows ends with an
    // empty last row; replacing the rows before it with a line end must keep that line end.
    FakeEditor e;
    e.Store->WrapOption().SetWrapByte(20);
    e.Store->SetWordWrap(true);
    e.Store->SetTextStr("\r\n" + std::string(20, 'x'));
    ASSERT_EQ(RowsOf(*e.Store), (Rows{"|L", std::string(20, 'x') + "|W", "|E"}));
    e.Store->ReplaceRows(0, 2, "\n");
    EXPECT_EQ(e.Store->GetTextStr(), "\r\n");
    e.Store->Undo();
    EXPECT_EQ(e.Store->GetTextStr(), "\r\n" + std::string(20, 'x'));
}

TEST(ScreenStrings, AppendingAfterTheEmptyLastRowOfAWrappedLine) {
    FakeEditor e;
    e.Store->WrapOption().SetWrapByte(20);
    e.Store->SetWordWrap(true);
    e.Store->SetTextStr(std::string(20, 'x'));
    ASSERT_EQ(RowsOf(*e.Store), (Rows{std::string(20, 'x') + "|W", "|E"}));
    e.Store->ReplaceRows(2, 0, "yy");
    EXPECT_EQ(RowsOf(*e.Store), (Rows{std::string(20, 'x') + "|W", "yy|E"}));
}

TEST(ScreenStrings, ClearResetsEverything) {
    FakeEditor e;
    e.Store->SetTextStr("a\r\nb");
    e.Store->ReplaceRows(0, 1, "z\r\n");
    e.CaretRow = 1;
    e.CaretCol = 1;
    e.Lines.Clear();
    EXPECT_EQ(e.Store->Count(), 0);
    EXPECT_FALSE(e.Store->UndoObj().CanUndo());
    EXPECT_EQ(e.CaretRow, 0);
    EXPECT_EQ(e.CaretCol, 0);
    ASSERT_FALSE(e.Records.empty());
    EXPECT_EQ(e.Records.back().DeletedRows, 2);
}

TEST(ScreenStrings, ClampCaretsAfterTheTextShrinks) {
    FakeEditor e;
    e.Store->SetTextStr("a\r\nb\r\nc\r\nd");
    e.CaretRow = 3;
    e.Top = 3;
    e.Store->ReplaceRows(1, 3, "");
    EXPECT_EQ(RowsOf(*e.Store), (Rows{"a|L"}));
    EXPECT_EQ(e.CaretRow, 1); // the place after the final line end
    EXPECT_EQ(e.Top, 1);
    e.CaretRow = 5;
    e.Store->ReplaceRows(0, 1, "q");
    EXPECT_EQ(e.CaretRow, 0); // the last row has no line end: the caret stays on it
}

TEST(ScreenStrings, CaretByOffset) {
    FakeEditor e;
    e.Store->SetTextStr("ab\tc\r\n\x82\xA0x\r\nlast");
    EXPECT_EQ(e.Store->CaretPosByOffset(0, 0).Col, 0);
    EXPECT_EQ(e.Store->CaretPosByOffset(0, 3).Col, 8); // after the tab
    const TCaretPos inCrLf = e.Store->CaretPosByOffset(0, 5);
    EXPECT_EQ(inCrLf.Row, 0);
    EXPECT_EQ(inCrLf.Col, 9);
    const TCaretPos second = e.Store->CaretPosByOffset(0, 6 + 2);
    EXPECT_EQ(second.Row, 1);
    EXPECT_EQ(second.Col, 2);
    const TCaretPos past = e.Store->CaretPosByOffset(1, 1000);
    EXPECT_EQ(past.Row, 2); // the last row has no line end
    EXPECT_EQ(past.Col, 4);
    e.Store->SetTextStr("a\r\n");
    const TCaretPos end = e.Store->CaretPosByOffset(0, 3);
    EXPECT_EQ(end.Row, 1);
    EXPECT_EQ(end.Col, 0);
}

TEST(ScreenStrings, TheStoreDiesWithItsLastEditor) {
    auto* first = new FakeEditor;
    auto* second = new FakeEditor(*first); // a second view of the same document
    first->Store->SetTextStr("shared");
    EXPECT_EQ(second->Store->GetTextStr(), "shared");
    EXPECT_EQ(first->Store->EditorCount(), 2);
    second->HasFocus = true;
    EXPECT_EQ(first->Store->ActiveEditor(), second);
    delete first;
    EXPECT_EQ(second->Store->EditorCount(), 1);
    EXPECT_EQ(second->Store->GetTextStr(), "shared");
    delete second; // frees the store (checked by the sanitizer build)
}
