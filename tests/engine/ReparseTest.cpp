// Keeping the row states current: Reparse, ReparseAll and their stopping rules.
#include "FakeEditor.h"

#include <chrono>
#include <gtest/gtest.h>

using namespace quire;
using namespace quire::test;

namespace {
std::string lines(int n, const std::string& text = "plain") {
    std::string s;
    for (int i = 0; i < n; ++i) s += text + "\r\n";
    return s;
}
} // namespace

TEST(Reparse, ReparseAllParsesTwoScreensFromTheTop) {
    FakeEditor e;
    e.Screen = 5;
    e.Store->SetTextStr(lines(100));
    EXPECT_EQ(e.Top, 0) << "a new text is shown from its top";
    e.Top = 3;
    e.Store->ReparseAll();
    for (int r = 0; r <= 13; ++r) EXPECT_EQ(e.Store->BracketIndex(r), -1) << r;
    EXPECT_EQ(e.Store->BracketIndex(14), -2);
    EXPECT_EQ(e.Store->BracketIndex(99), -2);
}

TEST(Reparse, OpeningABracketUpdatesUpToTheHorizonAndForgetsTheRest) {
    FakeEditor e;
    e.Screen = 5;
    e.Store->SetTextStr(lines(100));
    // Parse everything first, as painting the whole text would.
    e.Store->Reparse(99, false);
    for (int r = 0; r < 100; ++r) ASSERT_EQ(e.Store->BracketIndex(r), -1) << r;
    e.Invalidated.clear();
    e.Store->ReplaceRows(3, 1, "(*\r\n");
    // Rows 4..13 (two screens from row 3) are now inside the bracket; the rest unknown.
    for (int r = 4; r <= 13; ++r) EXPECT_EQ(e.Store->BracketIndex(r), 0) << r;
    for (int r = 14; r < 100; ++r) EXPECT_EQ(e.Store->BracketIndex(r), -2) << r;
    EXPECT_EQ(e.Store->LastReparseVisited(), 11);
    EXPECT_EQ(e.Records.back().ReparsedRows, 11); // row 3 is a new row, rows 4..13 changed
    EXPECT_FALSE(e.Invalidated.empty());
    // Painting row 50 parses on from the last known row, and the states agree with a full parse.
    e.Store->Reparse(50, false);
    const std::vector<TRowState> full = FullStates(*e.Store);
    for (int r = 0; r <= 50; ++r) EXPECT_EQ(e.Store->RowState(r), full[static_cast<size_t>(r)]) << r;
}

TEST(Reparse, StopsAtTheFirstRowWhoseStateAlreadyMatches) {
    FakeEditor e;
    e.Screen = 50;
    e.Store->SetTextStr(lines(40));
    e.Store->ReplaceRows(10, 1, "changed but no bracket\r\n");
    // Rows 10 and 11 were rebuilt (the replaced row ended its line, so the next one joined
    // in); row 12 already held the state the walk reached.
    EXPECT_EQ(e.Records.back().ReparsedRows, 2);
    EXPECT_EQ(e.Store->LastReparseVisited(), 3);
    for (int r = 0; r < 40; ++r) EXPECT_EQ(e.Store->BracketIndex(r), -1);
}

TEST(Reparse, ClosingMarkerSplitByAWrap) {
    FakeEditor e;
    e.Store->WrapOption().SetWrapByte(20);
    e.Store->SetWordWrap(true);
    // "(*" then text so that "*)" straddles the wrap at column 20.
    e.Store->SetTextStr("(*" + std::string(17, 'x') + "*)after\r\nnext\r\n");
    ASSERT_EQ(e.Store->Strings(0).back(), '*');
    EXPECT_EQ(e.Store->BracketIndex(1), -1); // closed by the marker that straddles the wrap
    EXPECT_EQ(e.Store->Remain(1), 1);        // ")" finishes the marker begun on row 0
    EXPECT_EQ(e.Store->BracketIndex(2), -1);
    // Inserting a character before the marker moves it off the edge: row 1 is inside now.
    e.Store->ReplaceRows(0, 1, "(*" + std::string(18, 'x') + "*");
    EXPECT_EQ(e.Store->BracketIndex(1), 0);
    EXPECT_EQ(e.Store->Remain(1), 0);
}

TEST(Reparse, InsertingManyRowsKeepsParsedRowsAPrefix) {
    // Found by the random edits: rows inserted by an edit are not parsed yet, and the rows
    // after them that were parsed before must be forgotten past the horizon too.
    FakeEditor e;
    e.Screen = 1;
    e.Store->SetTextStr(lines(30));
    e.Store->Reparse(29, false);
    e.Store->ReplaceRows(2, 0, lines(10, "(*"));
    bool parsed = true;
    const std::vector<TRowState> full = FullStates(*e.Store);
    for (int r = 0; r < e.Store->Count(); ++r) {
        if (e.Store->BracketIndex(r) == -2) {
            parsed = false;
            continue;
        }
        EXPECT_TRUE(parsed) << "row " << r << " is parsed after one that is not";
        EXPECT_EQ(e.Store->RowState(r), full[static_cast<size_t>(r)]) << r;
    }
}

TEST(Reparse, WithoutAParserEveryRowHasTheInitialState) {
    FakeEditor e;
    e.WithParser = false;
    e.Store->SetTextStr(lines(5, "(*"));
    for (int r = 0; r < 5; ++r) EXPECT_EQ(e.Store->RowState(r), TRowState::Initial());
    EXPECT_EQ(e.Store->Reparse(7, true), 0); // not a row
}

TEST(RowAttributes, PackedFieldsKeepEachOther) {
    TRowAttributeStringList l;
    l.Add("x");
    EXPECT_EQ(l.RowAttribute(0), TRowAttribute::LineEnd);
    EXPECT_EQ(l.BracketIndex(0), -2);
    l.SetRowState(0, TRowState{13, 15, 255, 200, 77});
    l.SetRowAttribute(0, TRowAttribute::EndOfFile);
    EXPECT_EQ(l.RowState(0), (TRowState{13, 15, 255, 200, 77}));
    l.SetBracketIndex(0, -1);
    l.SetRemain(0, 3);
    l.SetPrevData(0, 1);
    EXPECT_EQ(l.RowState(0), (TRowState{-1, 15, 3, 200, 1}));
    EXPECT_EQ(l.RowAttribute(0), TRowAttribute::EndOfFile);
    l.SetElement(0, 2);
    l.SetResumeKind(0, 6);
    EXPECT_EQ(l.RowState(0), (TRowState{-1, 2, 3, 6, 1}));
    EXPECT_EQ(l.AttrWord(0) & 0xFFF00000u, 0u); // nothing beyond bit 19
    // Values beyond the widths are cut to them.
    EXPECT_EQ(TRowAttributeStringList::Packed(TRowState{-1, 17, 300, 256, 0}), (TRowState{-1, 1, 44, 0, 0}));
}

namespace {

// A text whose states change often: brackets opened and closed over many rows.
std::string bracketText(int n) {
    std::string s;
    for (int i = 0; i < n; ++i) {
        s += i % 7 == 0    ? "open (* here\r\n"
             : i % 11 == 0 ? "close *) there\r\n"
                           : "plain row " + std::to_string(i) + "\r\n";
    }
    return s;
}

// Loads N rows of bracketText into a store parsed in the background, with a screen of five rows.
void loadForBackground(FakeEditor& e, int n) {
    e.Background = true;
    e.Screen = 5;
    e.Store->SetTextStr(bracketText(n));
}

// Every row of S has the state a full parse gives it.
void expectStatesOfAFullParse(const TEditorScreenStrings& s) {
    const std::vector<TRowState> full = FullStates(s);
    for (int r = 0; r < s.Count(); ++r) ASSERT_EQ(s.RowState(r), full[static_cast<size_t>(r)]) << r;
}

// Runs the background parse in slices until no row is left; the number of slices.
int parseInSlices(TEditorScreenStrings& s) {
    int slices = 1;
    while (s.ParseAhead(std::chrono::microseconds(200))) ++slices;
    return slices;
}

} // namespace

TEST(BackgroundParse, GivesTheStatesOfAFullParse) {
    FakeEditor e;
    loadForBackground(e, 20000);
    EXPECT_GT(e.BackgroundRequests, 0);
    EXPECT_TRUE(e.Store->ParsePending());
    EXPECT_GT(parseInSlices(*e.Store), 1);
    EXPECT_FALSE(e.Store->ParsePending());
    expectStatesOfAFullParse(*e.Store);
}

TEST(BackgroundParse, EditsWhileItRunsStillEndInTheStatesOfAFullParse) {
    FakeEditor e;
    loadForBackground(e, 20000);
    e.Store->ParseAhead(std::chrono::microseconds(300));
    // A bracket opened near the top, an edit far below the known states, a deletion.
    e.Store->ReplaceRows(2, 1, "(* opened\r\n");
    e.Store->ReplaceRows(15000, 1, "far *) below\r\n");
    e.Store->ParseAhead(std::chrono::microseconds(300));
    e.Store->ReplaceRows(100, 50, "");
    parseInSlices(*e.Store);
    expectStatesOfAFullParse(*e.Store);
}

TEST(BackgroundParse, AnEditFarBelowTheKnownStatesDoesNotParseTheRowsBetween) {
    FakeEditor e;
    loadForBackground(e, 200000);
    const int before = BracketParser::Steps;
    e.Store->ReplaceRows(150000, 1, "typed\r\n");
    // Only the edit's own work: the rows above it wait for the background parse.
    EXPECT_LT(BracketParser::Steps - before, 100);
    EXPECT_EQ(e.Store->BracketIndex(150000), -2);
    EXPECT_TRUE(e.Store->ParsePending());
    // Without a background parse the edit parses its way down, as before.
    FakeEditor plain;
    plain.Screen = 5;
    plain.Store->SetTextStr(bracketText(200000));
    plain.Store->ReplaceRows(150000, 1, "typed\r\n");
    EXPECT_NE(plain.Store->BracketIndex(150000), -2);
}
