// The framework scanner and the editor parser, one row at a time.
#include "DocumentMode.h"
#include "EditorFountain.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace quire;

namespace {

using Tokens = std::vector<std::string>;

// The tokens of one row as "start+length:kind".
Tokens tokens(TFountain& f, const std::string& text, TRowState state = TRowState::Initial()) {
    auto p = f.CreateParser();
    p->StartRow(text, state);
    Tokens out;
    for (int k; (k = p->NextToken()) != kindEnd;)
        out.push_back(std::to_string(p->TokenStart()) + "+" + std::to_string(p->TokenLength()) + ":" +
                      std::to_string(k));
    return out;
}

class ParserTest : public ::testing::Test {
protected:
    void SetUp() override { f = TFountain::Create<TEditorFountain>(); }
    void TearDown() override { SetCurrentDocumentMode(StandardDocumentMode()); }
    std::unique_ptr<TEditorFountain> f;
};

} // namespace

TEST_F(ParserTest, EmptyAndBlankRowsEndAtOnce) {
    EXPECT_EQ(tokens(*f, ""), Tokens{});
    EXPECT_EQ(tokens(*f, "   \x01\x1F "), Tokens{});
}

TEST_F(ParserTest, WordsTabsAndSymbols) {
    EXPECT_EQ(tokens(*f, "ab  _c9"), (Tokens{"0+2:11", "4+3:11"}));
    EXPECT_EQ(tokens(*f, "ab\tcd"), (Tokens{"0+2:11", "2+1:9", "3+2:11"}));
    EXPECT_EQ(tokens(*f, "a+=b"), (Tokens{"0+1:11", "1+1:1", "2+1:1", "3+1:11"}));
    EXPECT_EQ(tokens(*f, "9abc"), (Tokens{"0+1:3", "1+3:11"}));
}

TEST_F(ParserTest, Numbers) {
    EXPECT_EQ(tokens(*f, "12. "), (Tokens{"0+2:4", "2+1:1"})); // the point is given back
    EXPECT_EQ(tokens(*f, "3.14e-10"), (Tokens{"0+8:4"}));
    EXPECT_EQ(tokens(*f, "5E3"), (Tokens{"0+3:4"}));
    EXPECT_EQ(tokens(*f, "5e+"), (Tokens{"0+3:4"}));
    EXPECT_EQ(tokens(*f, "1.e5"), (Tokens{"0+4:4"}));
    EXPECT_EQ(tokens(*f, "42"), (Tokens{"0+2:3"}));
}

TEST_F(ParserTest, DoubleByteClasses) {
    // ０１ (digits), ＡＢ (Latin), あー (hiragana with the long mark), アイ (katakana),
    // 漢字 (kanji), 、 (symbol), ｱｲ (half-width kana), ｡ (half-width punctuation).
    EXPECT_EQ(tokens(*f, "\x82\x4F\x82\x50\x81\x44"), (Tokens{"0+6:14"}));
    EXPECT_EQ(tokens(*f, "\x82\x60\x82\x81"), (Tokens{"0+4:15"}));
    EXPECT_EQ(tokens(*f, "\x82\xA0\x81\x5B\x82\xA2"), (Tokens{"0+6:16"}));
    EXPECT_EQ(tokens(*f, "\x83\x41\x83\x43"), (Tokens{"0+4:17"}));
    EXPECT_EQ(tokens(*f, "\x8A\xBF\x8E\x9A\xE0\x40"), (Tokens{"0+6:18"}));
    EXPECT_EQ(tokens(*f, "\x81\x41\x82\xA0"), (Tokens{"0+2:12", "2+2:16"}));
    EXPECT_EQ(tokens(*f, "\xB1\xB2\xA1"), (Tokens{"0+2:20", "2+1:19"}));
    EXPECT_EQ(tokens(*f, "\x83\xA6"), (Tokens{"0+2:12"}));         // Greek: a symbol of 0x83
    EXPECT_EQ(tokens(*f, "\x82\x30"), (Tokens{"0+1:1", "1+1:3"})); // no valid trail byte
}

TEST_F(ParserTest, ScansNeverLeaveTheRow) {
    // A lead byte as the last byte of the row.
    EXPECT_EQ(tokens(*f, "a\x81"), (Tokens{"0+1:11", "1+1:12"}));
    EXPECT_EQ(tokens(*f, "a\x8A"), (Tokens{"0+1:11", "1+1:18"}));
    EXPECT_EQ(tokens(*f, "\x82"), (Tokens{"0+1:1"}));
}

TEST_F(ParserTest, BracketsAcrossRowsAndTheBracketOffState) {
    f->Brackets().AddBracket("{", "}");
    f->Brackets().AddBracket("(*", "*)");
    auto p = f->CreateParser();
    p->StartRow("x (* comment", TRowState::Initial());
    EXPECT_EQ(p->NextToken(), kindWord);
    EXPECT_EQ(p->NextToken(), kindBracket);
    EXPECT_EQ(p->BracketIndex(), 1);
    EXPECT_EQ(tokens(*f, "still *) y", TRowState{1, 0, 0, 0, 0}), (Tokens{"0+8:6", "9+1:11"}));
    EXPECT_EQ(tokens(*f, "{a}b"), (Tokens{"0+3:6", "3+1:11"}));
    // BracketIndex -2: brackets are not recognised.
    EXPECT_EQ(tokens(*f, "{a}", TRowState::NotParsed()), (Tokens{"0+1:1", "1+1:11", "2+1:1"}));
}

TEST_F(ParserTest, QuotedStringsAndReservedWords) {
    f->SetReserveWordList({"begin"});
    auto p = f->CreateParser();
    p->StartRow("BEGIN beginning", TRowState::Initial());
    p->NextToken();
    EXPECT_TRUE(p->IsReserveWord());
    EXPECT_EQ(p->TokenColor(), &f->Reserve());
    p->NextToken();
    EXPECT_FALSE(p->IsReserveWord());
    EXPECT_EQ(p->TokenColor(), &f->Colors().Ank());
}

TEST_F(ParserTest, MailAndUrl) {
    f->SetMail(true);
    f->SetUrl(true);
    EXPECT_EQ(tokens(*f, "mail me@host.example.jp now"), (Tokens{"0+4:11", "5+18:22", "24+3:11"}));
    EXPECT_EQ(tokens(*f, "@host.jp"), (Tokens{"0+1:1", "1+4:11", "5+1:1", "6+2:11"}));
    EXPECT_EQ(tokens(*f, "http://a.example/x?y=1#z"), (Tokens{"0+24:21"}));
    EXPECT_EQ(tokens(*f, "www.example.jp"), (Tokens{"0+14:21"}));
    // Text that passes the mail test is mail even when it begins like a URL.
    EXPECT_EQ(tokens(*f, "www.x@y.jp"), (Tokens{"0+10:22"}));
    f->SetMail(false);
    f->SetUrl(false);
    EXPECT_EQ(tokens(*f, "a@b.c")[0], "0+1:11");
}

TEST_F(ParserTest, CommenterInTheStandardModeOnlyAtTheRowStart) {
    f->SetCommenter(";");
    EXPECT_EQ(tokens(*f, "; all comment"), (Tokens{"0+13:7"}));
    EXPECT_EQ(tokens(*f, "a ; b"), (Tokens{"0+1:11", "2+1:1", "4+1:11"}));
    EXPECT_EQ(tokens(*f, "  ; indented"), (Tokens{"2+1:1", "4+8:11"}));
    SetCurrentDocumentMode("Delphi");
    EXPECT_EQ(tokens(*f, "a ; b"), (Tokens{"0+1:11", "2+3:7"}));
}

TEST_F(ParserTest, QuotationControlCodesAndHexPrefix) {
    f->SetQuotation("\"");
    EXPECT_EQ(tokens(*f, "x \"a\"\"b\" y"), (Tokens{"0+1:11", "2+6:26", "9+1:11"}));
    EXPECT_EQ(tokens(*f, "'s'"), (Tokens{"0+1:1", "1+1:11", "2+1:1"})); // quotes have no scanner here
    f->SetControlCode(true);
    EXPECT_EQ(tokens(*f, "#$1F #13 #"), (Tokens{"0+4:28", "5+3:27", "9+1:27"}));
    f->SetControlCode(false);
    EXPECT_EQ(tokens(*f, "#13"), (Tokens{"0+1:1", "1+2:3"}));
    f->SetHexPrefix("0x");
    EXPECT_EQ(tokens(*f, "0XFF 0x1g"), (Tokens{"0+4:23", "5+3:23", "8+1:11"}));
    auto p = f->CreateParser();
    p->StartRow("0XFF", TRowState::Initial());
    p->NextToken();
    EXPECT_EQ(p->TokenColor(), &f->Colors().Int());
}

TEST_F(ParserTest, ResumingCarriedOverTokens) {
    // A word carried over with Remain 3: the first three bytes finish it.
    EXPECT_EQ(tokens(*f, "abc def", TRowState{-1, 0, 3, kindWord, 0}), (Tokens{"0+3:11", "4+3:11"}));
    // Blanks before the carried-over part shorten it; they belong to no token.
    EXPECT_EQ(tokens(*f, "  c def", TRowState{-1, 0, 3, kindQuotation, 0}), (Tokens{"2+1:26", "4+3:11"}));
    // A Remain beyond the row is cut to the row.
    EXPECT_EQ(tokens(*f, "ab", TRowState{-1, 0, 200, kindWord, 0}), (Tokens{"0+2:11"}));
    // A closing marker resumed: the bracket closes.
    f->Brackets().AddBracket("(*", "*)");
    auto p = f->CreateParser();
    p->StartRow(") x", TRowState{0, 0, 1, kindBracket, 0});
    EXPECT_EQ(p->NextToken(), kindBracket);
    EXPECT_EQ(p->TokenLength(), 1);
    EXPECT_EQ(p->BracketIndex(), -1);
    EXPECT_EQ(p->NextToken(), kindWord);
    // A line comment carried by wrapping is resumed by its scanner.
    EXPECT_EQ(tokens(*f, "rest of it", TRowState{-1, 0, 0, kindLineComment, 0}), (Tokens{"0+10:7"}));
}

TEST_F(ParserTest, EmptyRightBracketRunsToTheLineEnd) {
    f->Brackets().AddBracket("--", "");
    auto p = f->CreateParser();
    p->StartRow("a -- to the end", TRowState::Initial());
    EXPECT_EQ(p->NextToken(), kindWord);
    EXPECT_EQ(p->NextToken(), kindBracket);
    EXPECT_EQ(p->TokenLength(), 13);
    EXPECT_EQ(p->BracketIndex(), -1);
    EXPECT_EQ(p->NextToken(), kindEnd);
}
