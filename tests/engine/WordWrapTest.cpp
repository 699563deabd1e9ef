// The column model, the wrap rules and breaking lines into rows.
#include "WordWrap.h"
#include "EditorAttributeArray.h"
#include "FakeEditor.h"

#include <gtest/gtest.h>

using namespace quire;
using namespace quire::test;
using Rows = std::vector<std::string>;

namespace {

// The widths in columns of the rows a line breaks into.
std::vector<int> widths(const std::string& line, const TEditorWrapOption& o, int tab = 8) {
    TColumnContext c;
    c.TabSpaceCount = tab;
    c.WordWrap = true;
    c.WrapByte = o.WrapByte();
    TLineBreaker b(c, o);
    std::vector<int> w;
    for (const TWrapPiece& p : b.Break(line)) w.push_back(TextWidth(line.substr(p.Offset, p.Length), c));
    return w;
}

std::string repeat(const std::string& s, int n) {
    std::string r;
    for (int i = 0; i < n; ++i) r += s;
    return r;
}

const std::string kA = "\x82\xA0";    // あ
const std::string kMaru = "\x81\x42"; // 。
const std::string kKagi = "\x81\x75"; // 「

} // namespace

TEST(ColumnModel, AttributesOfTabsDelimitersAndDoubleBytes) {
    TColumnContext c;
    EXPECT_EQ(ColumnAttributes("ab c", c), "1121");
    EXPECT_EQ(ColumnAttributes("a\tb", c), "123333331"); // the tab reaches column 8
    EXPECT_EQ(ColumnAttributes(kA + "_", c), "451");
    EXPECT_EQ(ColumnAttributes("\xB1\xA1", c), "12"); // half-width katakana is no delimiter; 0xA1 is
    EXPECT_EQ(ColumnAttributes("x\x81", c), "145");   // a lone lead byte at the end still makes "45"
    EXPECT_EQ(TextWidth("x\x81", c), 3);
    EXPECT_EQ(TextWidth("a\tb", c), 9);
    EXPECT_EQ(DisplayText("a\tb", c), "a       b");
    c.WordWrap = true;
    c.WrapByte = 20;
    EXPECT_EQ(ColumnAttributes(std::string(40, 'a'), c).size(), 23u); // cut at WrapByte + 3
    // A tab at column 18 takes 2 columns with wrapping on (the wrap edge), 6 with it off.
    EXPECT_EQ(TextWidth(std::string(18, 'a') + "\t", c), 20);
    c.WordWrap = false;
    EXPECT_EQ(TextWidth(std::string(18, 'a') + "\t", c), 24);
    EXPECT_EQ(ColumnAttributes(std::string(2000, 'a'), c).size(), 1000u);
}

TEST(ColumnModel, DefaultDelimiters) {
    const TDelimiters d = DefaultDelimiters();
    for (int ch : {0x00, 0x09, 0x20, 0x2F, 0x3A, 0x40, 0x5B, 0x5E, 0x60, 0x7B, 0x80, 0xA0, 0xA5, 0xFD, 0xFF})
        EXPECT_TRUE(d.test(static_cast<size_t>(ch))) << ch;
    for (int ch : {int('0'), int('9'), int('A'), int('z'), int('_'), 0xA6, 0xDF, 0x81, 0xFC})
        EXPECT_FALSE(d.test(static_cast<size_t>(ch))) << ch;
}

TEST(AttributeArray, WalksColumnsAndBytes) {
    TEditorAttributeArray a;
    const std::string text = "a\t" + kA;
    TColumnContext c;
    c.TabSpaceCount = 4;
    a.Reset(text, ColumnAttributes(text, c)); // "1" "2333" "45"
    EXPECT_EQ(a.ColumnCount(), 6);
    EXPECT_EQ(a.Column(), 1);
    EXPECT_EQ(a.CurrentChar(), "a");
    a.GoToColumn(4); // inside the tab
    EXPECT_EQ(a.Code(), TColumnCode::TabPad);
    EXPECT_EQ(a.ByteCount(), 2);
    EXPECT_EQ(a.CurrentChar(), "\t");
    EXPECT_EQ(a.NextChar(), kA);
    EXPECT_EQ(a.Column(), 4); // NextChar does not move
    a.GoToColumn(5);
    EXPECT_EQ(a.Code(), TColumnCode::Lead);
    EXPECT_EQ(a.CurrentChar(), kA);
    a.Next();
    EXPECT_EQ(a.Code(), TColumnCode::Trail);
    EXPECT_EQ(a.CurrentChar(), kA);
    EXPECT_EQ(a.NextChar(), "");
    a.BackUpOneChar();
    EXPECT_EQ(a.Column(), 4);
    a.GoToColumn(1);
    EXPECT_EQ(a.ByteCount(), 1);
    a.Prev(); // nothing below column 2
    EXPECT_EQ(a.Column(), 1);
    a.GoToColumn(100);
    EXPECT_EQ(a.Code(), TColumnCode::End);
    EXPECT_EQ(a.CurrentChar(), "");
}

TEST(WrapOption, ClampingNotificationAndAssign) {
    TEditorWrapOption o;
    int calls = 0;
    o.OnChange = [&](TObject*) { ++calls; };
    o.SetWrapByte(5);
    EXPECT_EQ(o.WrapByte(), 20);
    o.SetWrapByte(1000);
    EXPECT_EQ(o.WrapByte(), 250);
    EXPECT_EQ(calls, 2);
    o.SetWrapByte(250);
    o.SetFollowStr(o.FollowStr());
    EXPECT_EQ(calls, 2);
    TEditorWrapOption other;
    other.SetLeading(true);
    other.SetLeadStr("(");
    o.Assign(other);
    EXPECT_EQ(calls, 3);
    EXPECT_TRUE(o.Leading());
    EXPECT_EQ(o.LeadStr(), "(");
    EXPECT_EQ(o.WrapByte(), 80);
}

TEST(WordWrap, ExactFitAndFollowRetMark) {
    TEditorWrapOption o;
    o.SetWrapByte(20);
    EXPECT_EQ(widths(std::string(20, 'a'), o), (std::vector<int>{20, 0}));
    o.SetFollowRetMark(true);
    EXPECT_EQ(widths(std::string(20, 'a'), o), (std::vector<int>{20}));
    EXPECT_EQ(widths(std::string(19, 'a'), o), (std::vector<int>{19}));
    EXPECT_EQ(widths("", o), (std::vector<int>{0}));
}

TEST(WordWrap, ADoubleByteCharacterAcrossTheEdgeStartsTheNextRow) {
    TEditorWrapOption o;
    o.SetWrapByte(20);
    EXPECT_EQ(widths(std::string(19, 'a') + kA + "bc", o), (std::vector<int>{19, 4}));
}

TEST(WordWrap, WordBreak) {
    TEditorWrapOption o;
    o.SetWrapByte(20);
    o.SetWordBreak(true);
    // Each row ends just after a space.
    const std::string words = "alpha beta gamma delta epsilon zeta eta theta";
    TColumnContext c;
    c.WordWrap = true;
    c.WrapByte = 20;
    TLineBreaker b(c, o);
    std::vector<std::string> rows;
    for (const TWrapPiece& p : b.Break(words)) rows.push_back(words.substr(p.Offset, p.Length));
    EXPECT_EQ(rows, (std::vector<std::string>{"alpha beta gamma ", "delta epsilon zeta ", "eta theta"}));
    // No delimiter: backing up stops at a third of the width.
    EXPECT_EQ(widths(std::string(30, 'a'), o), (std::vector<int>{6, 6, 18}));
}

TEST(WordWrap, HangingPunctuation) {
    TEditorWrapOption o;
    o.SetWrapByte(20);
    o.SetFollowPunctuation(true);
    EXPECT_EQ(widths(repeat(kA, 10) + kMaru + "more", o), (std::vector<int>{22, 4}));
    // A straddling character given up, then two full stops taken: W + 3 at most... here 21.
    EXPECT_EQ(widths(std::string(19, 'a') + kMaru + kMaru + "b", o), (std::vector<int>{23, 1}));
}

TEST(WordWrap, LeadingAndFollowingRules) {
    TEditorWrapOption o;
    o.SetWrapByte(20);
    o.SetLeading(true);
    // "「" in columns 19-20 moves to the next row.
    EXPECT_EQ(widths(std::string(18, 'a') + kKagi + "bcd", o), (std::vector<int>{18, 5}));
    // A row may not begin with "、": the character before it goes along.
    const std::string ten = "\x81\x41"; // 、
    EXPECT_EQ(widths(repeat(kA, 10) + ten + "x", o), (std::vector<int>{18, 5}));
}

TEST(WordWrap, StoreSwitchingAndRuleChanges) {
    FakeEditor e;
    e.Store->SetTextStr(std::string(50, 'q') + "\r\n\tx\r\nend");
    e.Store->ReplaceRows(2, 1, "END");
    ASSERT_TRUE(e.Store->UndoObj().CanUndo());
    e.Store->WrapOption().SetWrapByte(20);
    EXPECT_TRUE(e.Store->UndoObj().CanUndo()); // wrap is off: nothing re-wrapped
    e.Store->SetWordWrap(true);
    EXPECT_FALSE(e.Store->UndoObj().CanUndo());
    EXPECT_EQ(RowsOf(*e.Store), (Rows{std::string(20, 'q') + "|W", std::string(20, 'q') + "|W",
                                      std::string(10, 'q') + "|L", "\tx|L", "END|E"}));
    EXPECT_EQ(e.Lines.Count(), 3);
    const int views = e.Views;
    e.Store->WrapOption().SetWrapByte(20); // unchanged: no re-wrap
    EXPECT_EQ(e.Views, views);
    e.Store->WrapOption().BeginUpdate();
    e.Store->WrapOption().SetWrapByte(25);
    e.Store->WrapOption().SetWordBreak(true);
    e.Store->WrapOption().EndUpdate();
    EXPECT_EQ(e.Views, views + 1); // two rule changes, one re-wrap
    // Word break with no delimiter gives up at a third of 25: rows of 8, 8, 8, 8 and 18.
    EXPECT_EQ(e.Store->Count(), 7);
    e.CaretCol = 7;
    e.Store->SetWordWrap(false);
    EXPECT_EQ(RowsOf(*e.Store), (Rows{std::string(50, 'q') + "|L", "\tx|L", "END|E"}));
    EXPECT_EQ(e.CaretCol, 0);
    e.Store->SetWordWrap(true);
    e.Store->SetWordWrap(false);
    EXPECT_EQ(e.Store->GetTextStr(), std::string(50, 'q') + "\r\n\tx\r\nEND");
    EXPECT_FALSE(e.Store->UndoObj().CanUndo());
}

TEST(WordWrap, AnEditInsideALongWrappedLineBreaksItAsIfWrappedWhole) {
    // Found by the random edits: word break makes short rows, and a row's break depends on
    // up to WrapByte + 3 columns after its start, which can reach more than one row ahead.
    // Here shortening the line must let the first row take the rest back.
    FakeEditor e;
    e.Store->WrapOption().SetWrapByte(20);
    e.Store->WrapOption().SetWordBreak(true);
    e.Store->SetWordWrap(true);
    e.Store->SetTextStr(" abcdefghijabcdefghijawordb");
    ASSERT_EQ(e.Store->Count(), 3);
    e.Store->ReplaceRows(2, 1, "b");
    EXPECT_EQ(RowsOf(*e.Store), (Rows{" abcdefghijab|E"}));
    e.Store->Undo();
    EXPECT_EQ(e.Store->GetTextStr(), " abcdefghijabcdefghijawordb");
    FakeEditor fresh;
    fresh.Store->WrapOption().Assign(e.Store->WrapOption());
    fresh.Store->SetWordWrap(true);
    fresh.Store->SetTextStr(e.Store->GetTextStr());
    EXPECT_EQ(RowsOf(*e.Store), RowsOf(*fresh.Store));
}

// Each floor and limit of the breaking rules, pinned by a case of its own: a width where
// the rule's own rounding differs from its neighbours', and a run that would go past it.
TEST(WordWrapLimits, LeadingRulesBackUpNoFurtherThanFourFifthsRoundedPerFive) {
    TEditorWrapOption o;
    o.SetWrapByte(22); // (22 div 5) * 4 = 16, where 22 * 4 / 5 would give 17
    o.SetLeading(true);
    // Characters that may not end a row, all the way back past the floor.
    EXPECT_EQ(widths(std::string(10, 'a') + std::string(14, '(') + "b", o), (std::vector<int>{16, 9}));
    // Characters that may not begin a row: the row gives them up down to the same floor.
    EXPECT_EQ(widths(std::string(10, 'a') + std::string(14, ')') + "b", o), (std::vector<int>{16, 9}));
    o.SetWrapByte(20); // 16 again, one column less than the width minus four
    EXPECT_EQ(widths(std::string(10, 'a') + std::string(14, '(') + "b", o), (std::vector<int>{16, 9}));
    o.SetWrapByte(25); // 20
    EXPECT_EQ(widths(std::string(10, 'a') + std::string(20, '(') + "b", o), (std::vector<int>{20, 11}));
}

TEST(WordWrapLimits, PunctuationHangsAtMostTwoColumnsPastTheWidth) {
    TEditorWrapOption o;
    o.SetWrapByte(20);
    o.SetFollowPunctuation(true);
    // Five commas follow a full row: two hang, the rest start the next row.
    EXPECT_EQ(widths(std::string(20, 'a') + std::string(5, ',') + "b", o), (std::vector<int>{22, 4}));
    EXPECT_EQ(widths(std::string(20, 'a') + ",b", o), (std::vector<int>{21, 1}));
    o.SetFollowPunctuation(false);
    EXPECT_EQ(widths(std::string(20, 'a') + std::string(5, ',') + "b", o), (std::vector<int>{20, 6}));
}

TEST(WordWrapLimits, AWordBreakBacksUpNoFurtherThanAThirdOfTheWidth) {
    TEditorWrapOption o;
    o.SetWrapByte(23); // 23 div 3 = 7, where a rounded third would give 8
    o.SetWordBreak(true);
    EXPECT_EQ(widths(std::string(40, 'a'), o), (std::vector<int>{7, 7, 7, 19}));
    o.SetWrapByte(20); // 6
    // A space just above the floor is reached; one below it is not.
    EXPECT_EQ(widths(std::string(6, 'a') + " " + std::string(30, 'a'), o), (std::vector<int>{7, 6, 6, 18}));
    EXPECT_EQ(widths(std::string(4, 'a') + " " + std::string(30, 'a'), o), (std::vector<int>{6, 6, 6, 17}));
}
