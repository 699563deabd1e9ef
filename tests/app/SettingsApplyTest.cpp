// The colour and style tables and the editor settings put on editors and colourings.
#include "SettingsApply.h"
#include "BasicFountain.h"
#include "CppFountain.h"
#include "DelphiFountain.h"
#include "Editor.h"
#include "FountainFactory.h"
#include "HTMLFountain.h"
#include "IniFountain.h"
#include "PerlFountain.h"

#include <gtest/gtest.h>

using namespace quire;

namespace {

// Every entry a colour of its own: 0x010000 + index.
TColorTable distinctColors() {
    TColorTable t;
    for (int i = 0; i < TColorTable::Count; ++i)
        t.SetColor(static_cast<TColorIndex>(i), 0x010000u + static_cast<TColor>(i));
    return t;
}
TColor distinct(TColorIndex i) { return 0x010000u + static_cast<TColor>(i); }

template <typename T>
std::unique_ptr<T> fountain() {
    return TFountain::Create<T>();
}

TColor bracketColor(TFountain& f, int i) { return f.Brackets().Items(i)->ItemColor().Color(); }
uint8_t bracketStyle(TFountain& f, int i) { return f.Brackets().Items(i)->ItemColor().Style(); }

} // namespace

TEST(SettingsApply, EditorColoursComeFromTheirEntries) {
    using C = TColorIndex;
    int changes = 0;
    TEditor e;
    e.View().Brackets().AddBracket("", "");
    const TColorTable t = distinctColors();
    e.View().Fountain().AddChangeHandler(&changes, [&changes](TObject*) { ++changes; });
    ApplyColors(e, t, true);
    EXPECT_EQ(changes, 1) << "the editor's colouring hears of the change once";
    TEditorColors& v = e.View().Colors();
    EXPECT_EQ(e.FontColor(), distinct(C::Font));
    EXPECT_EQ(e.Color(), distinct(C::Bk));
    for (TFountainColor* c : {&v.Ank(), &v.DBCS(), &v.Int(), &v.Symbol()}) EXPECT_EQ(c->Color(), distinct(C::Font));
    for (TFountainColor* c : std::initializer_list<TFountainColor*>{
             &v.Ank(), &v.DBCS(), &v.Int(), &v.Str(), &v.Symbol(), &v.Reserve(), &v.Url(), &v.Mail(), &v.Comment()})
        EXPECT_EQ(c->BkColor(), distinct(C::Bk));
    EXPECT_EQ(v.Comment().Color(), distinct(C::Inyo));
    EXPECT_EQ(v.Select().Color(), distinct(C::SelFont));
    EXPECT_EQ(v.Select().BkColor(), distinct(C::SelBk));
    EXPECT_EQ(v.Url().Color(), distinct(C::URL));
    EXPECT_EQ(v.Mail().Color(), distinct(C::Mail));
    EXPECT_EQ(bracketColor(e.View().Fountain(), 0), distinct(C::Font));
    EXPECT_EQ(e.View().Brackets().Items(0)->ItemColor().BkColor(), distinct(C::Bk));
    EXPECT_EQ(e.Marks().RetMark().Color(), distinct(C::RET));
    EXPECT_EQ(e.Marks().EofMark().Color(), distinct(C::EOFMark));
    EXPECT_EQ(e.Marks().Underline().Color(), distinct(C::UnderLine));
    EXPECT_EQ(e.Leftbar().Color(), distinct(C::Ruler));
    EXPECT_EQ(e.Leftbar().BkColor(), distinct(C::BkRuler));
    // Without quote colouring quoted lines are plain text.
    ApplyColors(e, t, false);
    EXPECT_EQ(v.Comment().Color(), distinct(C::Font));
    // Mode ユーザ takes its own three.
    ApplyUserModeColors(e, t);
    EXPECT_EQ(v.Reserve().Color(), distinct(C::YuzaKeyWord));
    EXPECT_EQ(v.Str().Color(), distinct(C::YuzaStr));
    EXPECT_EQ(v.Comment().Color(), distinct(C::YuzaComment));
    EXPECT_EQ(bracketColor(e.View().Fountain(), 0), distinct(C::YuzaComment));
}

TEST(SettingsApply, LanguageColoursComeFromTheirEntries) {
    using C = TColorIndex;
    const TColorTable t = distinctColors();
    auto delphi = fountain<TDelphiFountain>();
    ApplyColors(*delphi, t);
    EXPECT_EQ(delphi->Reserve().Color(), distinct(C::DelKeyWord));
    EXPECT_EQ(delphi->Str().Color(), distinct(C::DelStr));
    EXPECT_EQ(delphi->Comment().Color(), distinct(C::DelComment));
    EXPECT_EQ(bracketColor(*delphi, 0), distinct(C::DelComment));
    EXPECT_EQ(bracketColor(*delphi, 1), distinct(C::DelComment));
    EXPECT_EQ(delphi->AsmBlock().Color(), clNone);
    auto ini = fountain<TIniFountain>();
    ApplyColors(*ini, t);
    EXPECT_EQ(bracketColor(*ini, 0), distinct(C::IniSection));
    EXPECT_EQ(ini->Comment().Color(), distinct(C::IniKey));
    auto html = fountain<THTMLFountain>();
    ApplyColors(*html, t);
    EXPECT_EQ(html->TagColor().Color(), distinct(C::HTMLAmpersand));
    EXPECT_EQ(html->Ampersand().Color(), distinct(C::HTMLAmpersand));
    EXPECT_EQ(html->TagElement().Color(), distinct(C::HTMLElement));
    EXPECT_EQ(html->TagAttribute().Color(), distinct(C::HTMLAttribute));
    EXPECT_EQ(html->Str().Color(), distinct(C::HTMLAttValue));
    EXPECT_EQ(html->TagAttributeValue().Color(), distinct(C::HTMLAttValue));
    EXPECT_EQ(bracketColor(*html, 0), distinct(C::HTMLComment));
    auto perl = fountain<TPerlFountain>();
    ApplyColors(*perl, t);
    EXPECT_EQ(perl->Reserve().Color(), distinct(C::PerlKeyWord));
    EXPECT_EQ(perl->Str().Color(), distinct(C::PerlStr));
    EXPECT_EQ(perl->Comment().Color(), distinct(C::PerlComment));
    auto cpp = fountain<TCppFountain>();
    ApplyColors(*cpp, t);
    EXPECT_EQ(cpp->Reserve().Color(), distinct(C::CKeyWord));
    EXPECT_EQ(cpp->Str().Color(), distinct(C::CStr));
    EXPECT_EQ(cpp->Comment().Color(), distinct(C::CComment));
    EXPECT_EQ(bracketColor(*cpp, 0), distinct(C::CComment));
    auto basic = fountain<TBasicFountain>();
    ApplyColors(*basic, t);
    EXPECT_EQ(basic->Reserve().Color(), distinct(C::BasicKeyWord));
    EXPECT_EQ(basic->Str().Color(), distinct(C::BasicStr));
    EXPECT_EQ(basic->Comment().Color(), distinct(C::BasicComment));
}

TEST(SettingsApply, StylesOfEditorsAndColourings) {
    TStyleTable s;
    s.Flags(TStyleSlot::Stand) = {true, false, false};
    s.Flags(TStyleSlot::Inyo) = {false, true, false};
    s.Flags(TStyleSlot::YuzaComment) = {true, true, true};
    s.Flags(TStyleSlot::HTMLAmpersand) = {false, true, false};
    s.Flags(TStyleSlot::HTMLAttValue) = {false, false, true};
    s.Flags(TStyleSlot::CComment) = {false, true, false};
    TEditor e;
    e.View().Brackets().AddBracket("/*", "*/");
    TEditorColors& v = e.View().Colors();
    ApplyStyles(e, s, false);
    for (TFountainColor* c : {&v.Ank(), &v.DBCS(), &v.Int(), &v.Symbol()}) EXPECT_EQ(c->Style(), fsBold);
    EXPECT_EQ(v.Url().Style(), fsUnderline);
    EXPECT_EQ(v.Mail().Style(), fsUnderline);
    EXPECT_EQ(v.Comment().Style(), fsItalic);
    EXPECT_EQ(bracketStyle(e.View().Fountain(), 0), 0);
    ApplyStyles(e, s, true);
    EXPECT_EQ(v.Comment().Style(), fsBold | fsItalic | fsUnderline);
    EXPECT_EQ(bracketStyle(e.View().Fountain(), 0), fsBold | fsItalic | fsUnderline);
    auto html = fountain<THTMLFountain>();
    ApplyStyles(*html, s);
    EXPECT_EQ(html->TagColor().Style(), fsItalic);
    EXPECT_EQ(html->Ampersand().Style(), fsItalic);
    EXPECT_EQ(html->Str().Style(), fsUnderline);
    EXPECT_EQ(html->TagAttributeValue().Style(), fsUnderline);
    auto cpp = fountain<TCppFountain>();
    ApplyStyles(*cpp, s);
    EXPECT_EQ(cpp->Reserve().Style(), fsBold); // the default
    EXPECT_EQ(cpp->Comment().Style(), fsItalic);
    EXPECT_EQ(bracketStyle(*cpp, 0), fsItalic);
}

TEST(SettingsApply, EveryLanguageFountainIsCovered) {
    // A colouring the tables do not know would stay uncoloured: each of the six takes some
    // colour from the table.
    for (const std::string& name : LanguageFountainNames()) {
        auto f = CreateLanguageFountain(name);
        ApplyColors(*f, distinctColors());
        int coloured = 0;
        f->EnumColors([&coloured](const std::string&, TFountainColor& c) { coloured += c.Color() != clNone; });
        EXPECT_GE(coloured, 2) << name;
    }
}

TEST(SettingsApply, EditorSettingsOntoAnEditorAndBack) {
    TEditorSettings s;
    s.UndoListMax = 300;
    s.TabSpaceCount = 4;
    s.FreeCaret = true;
    s.AutoIndent = true;
    s.UnderlineMark = true;
    s.WordWrap = true;
    s.WrapByte = 40;
    s.EofMark = s.RetMark = s.Mail = s.Leftbar = s.Ruler = true;
    s.Url = false;
    s.MarginLeft = 30;
    s.MarginTop = 5;
    s.MarginLine = 3;
    s.MarginCharacter = 1;
    s.WordBreak = s.FollowRetMark = s.Leading = s.FollowPunctuation = true;
    s.FollowStr = QStringLiteral("」");
    s.LeadStr = QStringLiteral("「");
    s.PunctuationStr = QStringLiteral("。");
    TEditor e;
    e.Lines().SetText(std::string(100, 'a'));
    ApplyEditorSettings(e, s);
    EXPECT_EQ(ReadEditorSettings(e), s);
    ASSERT_GT(e.ScreenStrings().Count(), 1) << "wrapped";
    for (int i = 0; i < e.ScreenStrings().Count(); ++i) EXPECT_LE(e.ScreenStrings().Strings(i).size(), 40u) << i;
    EXPECT_EQ(e.WrapOption().LeadStr(), "\x81\x75"); // 「 in Shift_JIS
    // Values the editor limits come back limited.
    s.TabSpaceCount = 5;
    s.UndoListMax = 3;
    s.WordWrap = false;
    ApplyEditorSettings(e, s);
    EXPECT_EQ(ReadEditorSettings(e).TabSpaceCount, 4);
    EXPECT_EQ(ReadEditorSettings(e).UndoListMax, 64);
    EXPECT_EQ(e.ScreenStrings().Count(), 1);
}

TEST(SettingsApply, ScrollBarsOfTheTwoFlags) {
    EXPECT_EQ(ScrollBarsOf(true, true), TScrollStyle::ssBoth);
    EXPECT_EQ(ScrollBarsOf(true, false), TScrollStyle::ssVertical);
    EXPECT_EQ(ScrollBarsOf(false, true), TScrollStyle::ssHorizontal);
    EXPECT_EQ(ScrollBarsOf(false, false), TScrollStyle::ssNone);
}
