// Loading a text in pieces, rows that point into the list's blocks, and wrapping in place.
#include "TextLoader.h"
#include "FakeEditor.h"
#include "ShiftJis.h"
#include "WordWrap.h"

#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <stdexcept>

using namespace quire;
using namespace quire::test;

namespace {

// The rows a text gives when assigned whole: split at CR LF, lone CR and lone LF, ended at
// the first NUL, the last row EndOfFile unless the text ends with a line end.
std::vector<std::string> expectedRows(std::string_view text) {
    text = text.substr(0, text.find('\0'));
    std::vector<std::string> rows;
    for (std::string_view line : sjis::SplitLines(text)) rows.push_back(std::string(line) + "|L");
    if (!text.empty() && text.back() != '\r' && text.back() != '\n') rows.back().back() = 'E';
    return rows;
}

// Loads Text cut at the given places, each piece copied or handed over as a block.
std::vector<std::string> loadInPieces(std::string_view text, const std::vector<std::size_t>& cuts, bool blocks) {
    TEditorStringList list;
    TTextLoader loader(list);
    std::size_t from = 0;
    for (std::size_t cut : cuts) {
        const std::string_view piece = text.substr(from, cut - from);
        if (blocks) {
            TTextBlock block(piece.size());
            std::memcpy(block.Data(), piece.data(), piece.size());
            block.SetSize(piece.size());
            loader.Add(std::move(block));
        } else {
            loader.Add(piece);
        }
        from = cut;
    }
    loader.Finish();
    return RowsOf(list);
}

} // namespace

TEST(TextLoader, PiecesGiveTheRowsOfTheWholeText) {
    const std::vector<std::string> texts = {
        "",
        "a",
        "a\r\nb",
        "a\r\n",
        "\r\n",
        "\r",
        "\n\n",
        "a\rb\nc",
        "a\r\r\nb",
        "ab\0cd\r\n",
        "\0",
        "x\r\n\0",
        "\r\n\r",
        "line\n\r\n",
        "\x82\xA0\r\n\x82",
        std::string("end\r", 4),
        std::string(300, 'z') + "\r\n" + std::string(20, 'y'),
    };
    std::mt19937 rng(7);
    for (const std::string& t : texts) {
        const std::vector<std::string> expected = expectedRows(t);
        for (int trial = 0; trial < 40; ++trial) {
            std::vector<std::size_t> cuts;
            for (std::size_t i = 1; i < t.size(); ++i)
                if (rng() % 3 == 0) cuts.push_back(i);
            cuts.push_back(t.size());
            const bool blocks = trial % 2 == 1;
            EXPECT_EQ(loadInPieces(t, cuts, blocks), expected) << "text \"" << t << "\" trial " << trial;
        }
    }
}

TEST(TextLoader, TellsOfTheNulThatEndedTheText) {
    TEditorStringList list;
    TTextLoader loader(list);
    loader.Add("one\r\ntw");
    EXPECT_FALSE(loader.CutAtNul());
    loader.Add(std::string_view("o\0three\r\n", 9));
    loader.Add("four\r\n");
    loader.Finish();
    EXPECT_TRUE(loader.CutAtNul());
    EXPECT_EQ(RowsOf(list), (std::vector<std::string>{"one|L", "two|E"}));
}

TEST(BorrowedRows, ABlockIsUsedInPlaceUntilARowChanges) {
    FakeEditor e;
    const std::string text = "short\r\na row longer than eight bytes\r\nanother row\r\nthe last\r\n";
    e.Store->SetTextStr(text);
    for (int r = 0; r < 4; ++r) EXPECT_TRUE(e.Store->Borrowed(r)) << r;
    // The edit makes its own rows anew (the line after an edited line end joins in).
    e.Store->ReplaceRows(1, 1, "changed and long enough\r\n");
    EXPECT_TRUE(e.Store->Borrowed(0));
    EXPECT_FALSE(e.Store->Borrowed(1));
    EXPECT_FALSE(e.Store->Borrowed(2));
    EXPECT_TRUE(e.Store->Borrowed(3));
    EXPECT_EQ(e.Store->GetTextStr(), "short\r\nchanged and long enough\r\nanother row\r\nthe last\r\n");
    e.Store->Undo();
    EXPECT_EQ(e.Store->GetTextStr(), text);
    e.Store->Clear();
    EXPECT_EQ(e.Store->Count(), 0);
}

TEST(BorrowedRows, AFailedLoadLeavesTheDocument) {
    FakeEditor e;
    e.Store->SetTextStr("kept\r\n");
    EXPECT_THROW(e.Store->LoadText([](TTextLoader& l) {
        l.Add("new\r\ntext");
        throw std::runtime_error("read failed");
    }),
                 std::runtime_error);
    EXPECT_EQ(e.Store->GetTextStr(), "kept\r\n");
}

namespace {

// The rows of Text wrapped line by line by the breaker, as wrapping builds them.
std::vector<std::string> wrappedRows(TEditorScreenStrings& s, std::string_view text) {
    const TColumnContext context = s.ColumnContext();
    TLineBreaker breaker(context, s.WrapOption());
    std::vector<std::string> rows;
    const char* a = "LWEN";
    for (std::string_view line : sjis::SplitLines(text)) {
        for (const TWrapPiece& p : breaker.Break(line))
            rows.push_back(std::string(line.substr(p.Offset, p.Length)) + "|" + a[static_cast<int>(p.Attribute)]);
    }
    if (!text.empty() && text.back() != '\n') rows.back().back() = 'E';
    return rows;
}

} // namespace

TEST(WrapInPlace, SameRowsAsBreakingEachLineAndBackAgain) {
    FakeEditor e;
    std::string text;
    std::mt19937 rng(3);
    for (int i = 0; i < 300; ++i) {
        const int n = static_cast<int>(rng() % 200);
        for (int k = 0; k < n; ++k) text += (rng() % 5 == 0) ? std::string(" ") : (rng() % 3 == 0 ? "\x8A\xBF" : "w");
        text += "\r\n";
    }
    text += "last line without an end that is long enough to wrap more than once at twenty";
    e.Store->SetTextStr(text);
    e.Store->ReplaceRows(5, 1, "an edited row, now held on its own and long enough to wrap\r\n");
    const std::string edited = e.Store->GetTextStr();
    e.Store->WrapOption().SetWrapByte(20);
    e.Store->SetWordWrap(true);
    EXPECT_EQ(RowsOf(*e.Store), wrappedRows(*e.Store, edited));
    EXPECT_EQ(e.Store->GetTextStr(), edited);
    // Re-wrapping wrapped rows (other rules) and unwrapping give the same text back.
    e.Store->WrapOption().SetWrapByte(33);
    EXPECT_EQ(RowsOf(*e.Store), wrappedRows(*e.Store, edited));
    e.Store->SetWordWrap(false);
    EXPECT_EQ(e.Store->GetTextStr(), edited);
    EXPECT_EQ(RowsOf(*e.Store), expectedRows(edited));
    // Rows from the block were broken and joined again without a copy.
    EXPECT_TRUE(e.Store->Borrowed(0));
    EXPECT_FALSE(e.Store->Borrowed(5));
}
