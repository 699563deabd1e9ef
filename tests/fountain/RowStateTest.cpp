// Row states computed by the editor parser through the store: states carried across rows,
// wraps, and the incremental update against a full parse.
#include "EditorFountain.h"
#include "StoreInvariants.h"

#include <gtest/gtest.h>
#include <random>

using namespace quire;
using namespace quire::test;

namespace {

class RowStateTest : public ::testing::Test {
protected:
    void SetUp() override {
        fountain = TFountain::Create<TEditorFountain>();
        fountain->Brackets().AddBracket("{", "}");
        fountain->Brackets().AddBracket("(*", "*)");
        e.ParserFactory = factory();
        e.Screen = 4;
    }
    TParserFactory factory() {
        return [this] { return std::unique_ptr<TRowStateParser>(fountain->CreateParser()); };
    }
    void wrapAt(int w) {
        e.Store->WrapOption().SetWrapByte(w);
        e.Store->SetWordWrap(true);
    }
    // Tokens of row R as the painter takes them: clipped at the row's end.
    std::vector<std::pair<int, int>> rowTokens(int r) {
        TEditorScreenStrings& s = *e.Store;
        std::string text(s.Get(r));
        const int own = static_cast<int>(text.size());
        if (s.RowAttribute(r) == TRowAttribute::Wrapped && r + 1 < s.Count()) text += s.Get(r + 1);
        auto p = fountain->CreateParser();
        p->StartRow(text, s.RowState(r));
        std::vector<std::pair<int, int>> out; // (kind, length)
        while (p->NextToken() != kindEnd && p->TokenStart() < own)
            out.emplace_back(p->TokenKind(), std::min(p->TokenLength(), own - p->TokenStart()));
        return out;
    }
    std::unique_ptr<TEditorFountain> fountain;
    FakeEditor e;
};

} // namespace

TEST_F(RowStateTest, ABracketOpenedOnOneRowAndClosedLater) {
    e.Store->SetTextStr("a (* one\r\ntwo\r\nthree *) b\r\nc\r\n");
    EXPECT_EQ(e.Store->BracketIndex(0), -1);
    EXPECT_EQ(e.Store->BracketIndex(1), 1);
    EXPECT_EQ(e.Store->BracketIndex(2), 1);
    EXPECT_EQ(e.Store->BracketIndex(3), -1);
    EXPECT_EQ(rowTokens(1), (std::vector<std::pair<int, int>>{{kindBracket, 3}}));
}

TEST_F(RowStateTest, AClosingMarkerSplitByAWrap) {
    wrapAt(20);
    e.Store->SetTextStr("(*" + std::string(17, 'x') + "*)after\r\n");
    ASSERT_EQ(e.Store->Strings(0).back(), '*');
    EXPECT_EQ(e.Store->RowState(1), (TRowState{1, 0, 1, kindBracket, 0}));
    EXPECT_EQ(rowTokens(1), (std::vector<std::pair<int, int>>{{kindBracket, 1}, {kindWord, 5}}));
}

TEST_F(RowStateTest, AWordSplitByAWrapIsOneWordOnBothRows) {
    wrapAt(20);
    e.Store->SetTextStr(std::string(18, ' ') + "abcdefgh tail\r\n");
    // Row 0 ends inside the word; row 1 begins with the rest of it.
    EXPECT_EQ(e.Store->RowState(1).ResumeKind, kindWord);
    EXPECT_EQ(e.Store->RowState(1).Remain, 6);
    const auto first = rowTokens(0);
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first.back(), (std::pair<int, int>{kindWord, 2})); // scanned whole, clipped at the row end
    EXPECT_EQ(rowTokens(1).front(), (std::pair<int, int>{kindWord, 6}));
}

TEST_F(RowStateTest, ALineCommentCarriedAcrossWrappedRows) {
    fountain->SetCommenter(">");
    wrapAt(20);
    e.Store->SetTextStr("> " + std::string(50, 'q') + "\r\nnext\r\n");
    ASSERT_GE(e.Store->Count(), 4);
    EXPECT_EQ(e.Store->RowState(1).ResumeKind, kindLineComment);
    EXPECT_EQ(e.Store->RowState(2).ResumeKind, kindLineComment);
    EXPECT_EQ(rowTokens(1), (std::vector<std::pair<int, int>>{{kindLineComment, 20}}));
    EXPECT_EQ(rowTokens(2), (std::vector<std::pair<int, int>>{{kindLineComment, 12}}));
    const int next = e.Store->Count() - 1;
    EXPECT_EQ(e.Store->RowState(next).ResumeKind, 0);
    EXPECT_EQ(rowTokens(next), (std::vector<std::pair<int, int>>{{kindWord, 4}}));
}

TEST_F(RowStateTest, IncrementalStatesEqualAFullParseUnderRandomEdits) {
    std::mt19937 rng(5);
    const char* pieces[] = {
        "(*", "*)",     "{",       "}",           "word ", "12.5 ", "\r\n", "\r\n", "\x82\xA0\x82\xA2",
        "> ", "\"q\" ", "x@y.jp ", "http://a.b ", "\t"};
    fountain->SetCommenter(">");
    fountain->SetMail(true);
    fountain->SetUrl(true);
    fountain->SetQuotation("\"");
    std::string model;
    for (int step = 0; step < 3000; ++step) {
        TEditorScreenStrings& s = *e.Store;
        if (step % 500 == 250) {
            s.SetWordWrap(!s.WordWrap());
        } else if (step % 700 == 350) {
            s.WrapOption().SetWrapByte(20 + static_cast<int>(rng() % 10));
        } else {
            const int n = s.Count();
            const int row = static_cast<int>(rng() % static_cast<unsigned>(n + 1));
            const int count = n > row ? static_cast<int>(rng() % 2) : 0;
            std::string text;
            for (int i = 0, k = 1 + static_cast<int>(rng() % 4); i < k; ++i) text += pieces[rng() % 14];
            auto [offset, length] = RowSpan(s, row, count);
            model = NormalizedLineEnds(model.replace(offset, length, text));
            s.ReplaceRows(row, count, text);
        }
        // Rows left unparsed are computed on demand first, as painting them would.
        if (s.Count() > 0) s.Reparse(s.Count() - 1, false);
        const std::string problem = CheckStoreInvariants(s, model, factory());
        ASSERT_TRUE(problem.empty()) << "step " << step << ": " << problem;
    }
}
