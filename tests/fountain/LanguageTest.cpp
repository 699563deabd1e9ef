// The six language fountains: their definitions and the rules of their parsers.
#include "BasicFountain.h"
#include "CppFountain.h"
#include "DelphiFountain.h"
#include "FountainFactory.h"
#include "HTMLFountain.h"
#include "IniFountain.h"
#include "PerlFountain.h"
#include "StoreInvariants.h"

#include <gtest/gtest.h>
#include <random>

using namespace quire;
using namespace quire::test;

namespace {

// The kinds of the tokens of a row.
std::vector<int> kinds(TFountain& f, const std::string& text, TRowState state = TRowState::Initial()) {
    auto p = f.CreateParser();
    p->StartRow(text, state);
    std::vector<int> out;
    for (int k; (k = p->NextToken()) != kindEnd;) out.push_back(k);
    return out;
}

// The colour each token of a row gets, by the fountain's property name ("" for none).
std::vector<TFountainColor*> colors(TFountain& f, const std::string& text) {
    auto p = f.CreateParser();
    p->StartRow(text, TRowState::Initial());
    std::vector<TFountainColor*> out;
    while (p->NextToken() != kindEnd) out.push_back(p->TokenColor());
    return out;
}

// The row states of a text when all rows are parsed.
std::vector<TRowState> states(TFountain& f, const std::string& text, int wrap = 0) {
    FakeEditor e;
    e.ParserFactory = [&f] { return std::unique_ptr<TRowStateParser>(f.CreateParser()); };
    e.Screen = 1000;
    if (wrap) {
        e.Store->WrapOption().SetWrapByte(wrap);
        e.Store->SetWordWrap(true);
    }
    e.Store->SetTextStr(text);
    std::vector<TRowState> out;
    for (int r = 0; r < e.Store->Count(); ++r) out.push_back(e.Store->RowState(r));
    return out;
}

} // namespace

TEST(LanguageFountains, Definitions) {
    struct Expect {
        std::string name;
        int words;
        std::vector<std::string> exts;
        std::vector<std::pair<std::string, std::string>> brackets;
    };
    const std::vector<Expect> all = {
        {"Basic", 74, {".bas"}, {{"/*", "*/"}}},
        {"Perl", 225, {".cgi", ".pl"}, {}},
        {"HTML", 0, {".htm", ".html"}, {{"<!--", "-->"}}},
        {"ini", 0, {".inf", ".ini"}, {{"[", "]"}}},
        {"Delphi", 94, {".dpr", ".inc", ".pas"}, {{"{", "}"}, {"(*", "*)"}}},
        {"C++", 48, {".c", ".cpp", ".h"}, {{"/*", "*/"}}},
    };
    for (const Expect& x : all) {
        auto f = CreateLanguageFountain(x.name);
        ASSERT_TRUE(f) << x.name;
        EXPECT_EQ(f->ReserveWordList().Count(), x.words) << x.name;
        EXPECT_EQ(f->FileExtList().Strings(), x.exts) << x.name;
        ASSERT_EQ(f->Brackets().Count(), static_cast<int>(x.brackets.size())) << x.name;
        for (int i = 0; i < f->Brackets().Count(); ++i) {
            EXPECT_EQ(f->Brackets().Items(i)->LeftBracket, x.brackets[static_cast<size_t>(i)].first);
            EXPECT_EQ(f->Brackets().Items(i)->RightBracket, x.brackets[static_cast<size_t>(i)].second);
        }
        EXPECT_TRUE(f->HasFileExt(x.exts.front())) << x.name;
        // Every colour starts as none and reports to the fountain's listeners.
        int calls = 0;
        f->AddChangeHandler(&calls, [&](TObject*) { ++calls; });
        int colours = 0;
        f->EnumColors([&](const std::string&, TFountainColor& c) {
            EXPECT_EQ(c.Color(), clNone);
            c.SetColor(static_cast<TColor>(colours));
            ++colours;
        });
        EXPECT_EQ(calls, colours) << x.name;
    }
    EXPECT_FALSE(CreateLanguageFountain("Cobol"));
    // Entries stand as written, also those no single token can match.
    EXPECT_TRUE(CreateLanguageFountain("Basic")->ReserveWordList().Contains("as date"));
}

TEST(DelphiFountain, PropertyDeclarationsAndCharacterConstants) {
    auto f = TFountain::Create<TDelphiFountain>();
    EXPECT_EQ(kinds(*f, "property P: T read FP write SetP; x := read;"),
              (std::vector<int>{kindWord, kindWord, kindSymbol, kindWord, kindReserved, kindWord, kindReserved,
                                kindWord, kindSymbol, kindWord, kindSymbol, kindSymbol, kindWord, kindSymbol}));
    EXPECT_EQ(kinds(*f, "#13#10 #$1F $FF"), (std::vector<int>{50, 50, 51, kindHex}));
    const auto c = colors(*f, "#13 #$1F $FF");
    EXPECT_EQ(c[0], &f->Str());
    EXPECT_EQ(c[1], &f->Str());
    EXPECT_EQ(c[2], &f->Int());
    EXPECT_EQ(kinds(*f, "a // c"), (std::vector<int>{kindWord, kindLineComment}));
    EXPECT_EQ(kinds(*f, "a / b"), (std::vector<int>{kindWord, kindSymbol, kindWord}));
    // A declaration that spans rows carries Element 1.
    const auto s = states(*f, "property P: T\r\n  read FP;\r\nread\r\n");
    EXPECT_EQ(s[1].Element, 1);
    EXPECT_EQ(s[2].Element, 0);
}

TEST(DelphiFountain, AsmBlocksOverManyRows) {
    auto f = TFountain::Create<TDelphiFountain>();
    const std::string text = "begin\r\nasm\r\n  mov eax, 1\r\n  db 'str' { comment }\r\nend;\r\nx := 1;\r\n";
    const auto s = states(*f, text);
    EXPECT_EQ(s[2].Element, 2);
    EXPECT_EQ(s[3].Element, 2);
    EXPECT_EQ(s[4].Element, 2);
    EXPECT_EQ(s[5].Element, 0);
    EXPECT_EQ(kinds(*f, "mov eax, 1", s[2]), (std::vector<int>{52, 52, 52, 52}));
    EXPECT_EQ(kinds(*f, "db 'str' { comment }", s[3]), (std::vector<int>{52, kindSingleQuoted, kindBracket}));
    auto p = f->CreateParser();
    p->StartRow("mov end", s[2]);
    p->NextToken();
    EXPECT_EQ(p->TokenColor(), &f->AsmBlock());
    EXPECT_FALSE(p->IsReserveWord());
    p->NextToken();
    EXPECT_EQ(p->TokenKind(), kindWord); // "end" closes the block and stays reserved
    EXPECT_EQ(p->TokenColor(), &f->Reserve());
}

TEST(HTMLFountain, TagSequenceAndRowsInsideATag) {
    auto f = TFountain::Create<THTMLFountain>();
    EXPECT_EQ(kinds(*f, "<a href=\"x.html\" name=y>"),
              (std::vector<int>{50, 52, 53, 54, kindDoubleQuoted, 53, 54, 55, 51}));
    EXPECT_EQ(kinds(*f, "</p>"), (std::vector<int>{50, 52, 51}));
    EXPECT_EQ(kinds(*f, "&amp; & x"), (std::vector<int>{56, 56, kindWord}));
    auto p = f->CreateParser();
    p->StartRow("&amp;x", TRowState::Initial());
    p->NextToken();
    EXPECT_EQ(p->TokenLength(), 5);
    EXPECT_EQ(p->TokenColor(), &f->Ampersand());
    const auto s = states(*f, "<img\r\n src=\"p.png\" alt=z>\r\ntext\r\n");
    EXPECT_EQ(s[1].Element, 1);
    EXPECT_EQ(s[1].PrevData, 52);
    EXPECT_EQ(kinds(*f, " src=\"p.png\" alt=z>", s[1]), (std::vector<int>{53, 54, kindDoubleQuoted, 53, 54, 55, 51}));
    EXPECT_EQ(s[2].Element, 0);
    EXPECT_EQ(kinds(*f, "see http://a.jp/ or me@a.jp"), (std::vector<int>{kindWord, kindUrl, kindWord, kindMail}));
    EXPECT_EQ(kinds(*f, "<!-- note --> x"), (std::vector<int>{kindBracket, kindWord}));
    EXPECT_EQ(kinds(*f, "<a x=>"), (std::vector<int>{50, 52, 53, 54, 55, 51})); // an empty value
}

TEST(IniFountain, SectionsAndKeyLines) {
    auto f = TFountain::Create<TIniFountain>();
    EXPECT_EQ(kinds(*f, "[Section]"), (std::vector<int>{kindBracket}));
    EXPECT_EQ(kinds(*f, "key=value ; more"), (std::vector<int>{kindWord, kindLineComment}));
    const auto c = colors(*f, "key=value");
    EXPECT_EQ(c[0], nullptr); // the key has no colour
    EXPECT_EQ(c[1], &f->Comment());
}

TEST(CppFountain, DirectivesNumbersAndComments) {
    auto f = TFountain::Create<TCppFountain>();
    EXPECT_EQ(kinds(*f, "#include <a.h> // x"), (std::vector<int>{51}));
    EXPECT_EQ(kinds(*f, "x = 0x1F + 0 + 12;"), (std::vector<int>{kindWord, kindSymbol, 50, kindSymbol, kindInteger,
                                                                 kindSymbol, kindInteger, kindSymbol}));
    EXPECT_EQ(kinds(*f, "a / b // c"), (std::vector<int>{kindWord, kindSymbol, kindWord, kindLineComment}));
    EXPECT_EQ(kinds(*f, "'c' \"s\""), (std::vector<int>{kindSingleQuoted, kindDoubleQuoted}));
    const auto c = colors(*f, "#define X 0x10");
    EXPECT_EQ(c[0], &f->PreProcessor());
    EXPECT_EQ(colors(*f, "0x10")[0], &f->Int());
    EXPECT_EQ(colors(*f, "while")[0], &f->Reserve());
}

TEST(PerlAndBasic, CommentsStringsAndHex) {
    auto perl = TFountain::Create<TPerlFountain>();
    EXPECT_EQ(kinds(*perl, "my $x = 'a'; # note"), (std::vector<int>{kindWord, kindSymbol, kindWord, kindSymbol,
                                                                     kindSingleQuoted, kindSymbol, kindLineComment}));
    EXPECT_EQ(colors(*perl, "foo")[0], nullptr);        // a plain word keeps the view's colours
    EXPECT_EQ(colors(*perl, "x")[0], &perl->Reserve()); // "x" is an operator in the list
    EXPECT_EQ(colors(*perl, "foreach")[0], &perl->Reserve());
    auto basic = TFountain::Create<TBasicFountain>();
    EXPECT_EQ(kinds(*basic, "Dim x = &H1 ' comment"),
              (std::vector<int>{kindWord, kindWord, kindSymbol, kindSymbol, kindWord, kindLineComment}));
    EXPECT_EQ(kinds(*basic, "0X1F \"s\"\"t\""), (std::vector<int>{50, kindDoubleQuoted}));
    EXPECT_EQ(colors(*basic, "DIM")[0], &basic->Reserve());
}

TEST(LanguageFountains, IncrementalStatesEqualAFullParseUnderRandomEdits) {
    const char* pieces[] = {"(*",     "*)",    "{",      "}",     "/*",    "*/",   "<!--",      "-->",
                            "<a ",    "href=", "\"v\" ", ">",     "asm ",  "end ", "property ", "read ",
                            ";",      "#x ",   "'q' ",   "word ", "0x1F ", "\r\n", "\r\n",      "\x82\xA0\x82\xA2",
                            "&amp; ", "[s]",   "=v",     "// c",  "\t"};
    for (const std::string& name : LanguageFountainNames()) {
        auto f = CreateLanguageFountain(name);
        FakeEditor e;
        const TParserFactory factory = [&f] { return std::unique_ptr<TRowStateParser>(f->CreateParser()); };
        e.ParserFactory = factory;
        e.Screen = 3;
        std::mt19937 rng(17);
        std::string model;
        for (int step = 0; step < 800; ++step) {
            TEditorScreenStrings& s = *e.Store;
            if (step % 200 == 100) {
                s.WrapOption().SetWrapByte(20 + static_cast<int>(rng() % 8));
                s.SetWordWrap(!s.WordWrap());
            } else {
                const int n = s.Count();
                const int row = static_cast<int>(rng() % static_cast<unsigned>(n + 1));
                const int count = n > row ? static_cast<int>(rng() % 2) : 0;
                std::string text;
                for (int i = 0, k = 1 + static_cast<int>(rng() % 4); i < k; ++i)
                    text += pieces[rng() % (sizeof pieces / sizeof *pieces)];
                auto [offset, length] = RowSpan(s, row, count);
                model = NormalizedLineEnds(model.replace(offset, length, text));
                s.ReplaceRows(row, count, text);
            }
            if (s.Count() > 0) s.Reparse(s.Count() - 1, false);
            const std::string problem = CheckStoreInvariants(s, model, factory);
            ASSERT_TRUE(problem.empty()) << name << " step " << step << ": " << problem;
        }
    }
}
