// Puts the settings on editors and colourings.
#include "SettingsApply.h"

#include "BasicFountain.h"
#include "Cp932Codec.h"
#include "CppFountain.h"
#include "DelphiFountain.h"
#include "HTMLFountain.h"
#include "IniFountain.h"
#include "PerlFountain.h"

#include <algorithm>
#include <vector>

namespace quire {

namespace {

// Colour items that take one entry of the colour table and one slot of the style table.
struct TTarget {
    std::vector<TFountainColor*> Colors;
    TColorIndex Color;
    TStyleSlot Style;
};
using TTargets = std::vector<TTarget>;

// Color and the colours of the first Count brackets of Fountain.
std::vector<TFountainColor*> withBrackets(TFountainColor* Color, TFountain& Fountain, int Count) {
    std::vector<TFountainColor*> colors;
    if (Color) colors.push_back(Color);
    for (int i = 0; i < std::min(Count, Fountain.Brackets().Count()); ++i)
        colors.push_back(&Fountain.Brackets().Items(i)->ItemColor());
    return colors;
}

TTargets languageTargets(TFountain& F) {
    using C = TColorIndex;
    using S = TStyleSlot;
    if (auto* f = dynamic_cast<TDelphiFountain*>(&F))
        return {{{&f->Reserve()}, C::DelKeyWord, S::DelKeyWord},
                {{&f->Str()}, C::DelStr, S::DelStr},
                {withBrackets(&f->Comment(), F, 2), C::DelComment, S::DelComment}};
    if (auto* f = dynamic_cast<TIniFountain*>(&F))
        return {{withBrackets(nullptr, F, 1), C::IniSection, S::IniSection}, {{&f->Comment()}, C::IniKey, S::IniKey}};
    if (auto* f = dynamic_cast<THTMLFountain*>(&F))
        return {{{&f->TagColor(), &f->Ampersand()}, C::HTMLAmpersand, S::HTMLAmpersand},
                {{&f->TagElement()}, C::HTMLElement, S::HTMLElement},
                {{&f->TagAttribute()}, C::HTMLAttribute, S::HTMLAttribute},
                {{&f->Str(), &f->TagAttributeValue()}, C::HTMLAttValue, S::HTMLAttValue},
                {withBrackets(nullptr, F, 1), C::HTMLComment, S::HTMLComment}};
    if (auto* f = dynamic_cast<TPerlFountain*>(&F))
        return {{{&f->Reserve()}, C::PerlKeyWord, S::PerlKeyWord},
                {{&f->Str()}, C::PerlStr, S::PerlStr},
                {{&f->Comment()}, C::PerlComment, S::PerlComment}};
    if (auto* f = dynamic_cast<TCppFountain*>(&F))
        return {{{&f->Reserve()}, C::CKeyWord, S::CKeyWord},
                {{&f->Str()}, C::CStr, S::CStr},
                {withBrackets(&f->Comment(), F, 1), C::CComment, S::CComment}};
    if (auto* f = dynamic_cast<TBasicFountain*>(&F))
        return {{{&f->Reserve()}, C::BasicKeyWord, S::BasicKeyWord},
                {{&f->Str()}, C::BasicStr, S::BasicStr},
                {{&f->Comment()}, C::BasicComment, S::BasicComment}};
    return {};
}

// Mode ユーザ on an editor's own colouring.
TTargets userTargets(TEditor& E) {
    TEditorColors& v = E.View().Colors();
    return {{{&v.Reserve()}, TColorIndex::YuzaKeyWord, TStyleSlot::YuzaKeyWord},
            {{&v.Str()}, TColorIndex::YuzaStr, TStyleSlot::YuzaStr},
            {withBrackets(&v.Comment(), E.View().Fountain(), 1), TColorIndex::YuzaComment, TStyleSlot::YuzaComment}};
}

// Plain, double-byte, number and symbol tokens.
std::vector<TFountainColor*> plainTokens(TEditorColors& v) { return {&v.Ank(), &v.DBCS(), &v.Int(), &v.Symbol()}; }

// An editor's own styles: plain tokens, URL, mail and quoted lines, and mode ユーザ's after them.
TTargets editorStyleTargets(TEditor& E, bool UserMode) {
    TEditorColors& v = E.View().Colors();
    TTargets t = {{plainTokens(v), TColorIndex::Font, TStyleSlot::Stand},
                  {{&v.Url()}, TColorIndex::URL, TStyleSlot::URL},
                  {{&v.Mail()}, TColorIndex::Mail, TStyleSlot::Mail},
                  {{&v.Comment()}, TColorIndex::Inyo, TStyleSlot::Inyo}};
    if (UserMode) {
        const TTargets user = userTargets(E);
        t.insert(t.end(), user.begin(), user.end());
    }
    return t;
}

enum class TAttribute { Color, Style };

uint32_t valueOf(const TFountainColor& C, TAttribute What) { return What == TAttribute::Color ? C.Color() : C.Style(); }

// Gives each colour item of Targets its colour or its style from the tables (an item named
// twice takes the later). The listeners of Broadcast hear of it once, and not at all when
// every item has its value already: nothing is re-parsed or repainted for nothing.
void apply(const TTargets& Targets, TAttribute What, const TColorTable& Colors, const TStyleTable& Styles,
           TNotifyPersistent& Broadcast) {
    std::vector<std::pair<TFountainColor*, uint32_t>> values;
    for (const TTarget& t : Targets)
        for (TFountainColor* c : t.Colors)
            values.emplace_back(c, What == TAttribute::Color ? Colors[t.Color] : Styles.FontStyle(t.Style));
    bool changes = false;
    for (size_t i = 0; i < values.size() && !changes; ++i) {
        const bool later = std::any_of(values.begin() + static_cast<long>(i) + 1, values.end(),
                                       [&](const auto& v) { return v.first == values[i].first; });
        changes = !later && valueOf(*values[i].first, What) != values[i].second;
    }
    if (!changes) return;
    const TNotifyUpdateGuard batch(Broadcast);
    for (const auto& [item, value] : values)
        if (What == TAttribute::Color)
            item->SetColor(value);
        else
            item->SetStyle(static_cast<uint8_t>(value));
}

void applyColors(const TTargets& Targets, const TColorTable& Colors, TNotifyPersistent& Broadcast) {
    apply(Targets, TAttribute::Color, Colors, TStyleTable(), Broadcast);
}

void applyStyles(const TTargets& Targets, const TStyleTable& Styles, TNotifyPersistent& Broadcast) {
    apply(Targets, TAttribute::Style, TColorTable(), Styles, Broadcast);
}

TEditorWrapOption wrapOptionOf(TEditor& E, const TEditorSettings& s) {
    TEditorWrapOption w;
    w.Assign(E.WrapOption());
    w.SetWrapByte(s.WrapByte);
    w.SetWordBreak(s.WordBreak);
    w.SetFollowRetMark(s.FollowRetMark);
    w.SetLeading(s.Leading);
    w.SetFollowStr(cp932::FromUnicode(s.FollowStr));
    w.SetLeadStr(cp932::FromUnicode(s.LeadStr));
    w.SetFollowPunctuation(s.FollowPunctuation);
    w.SetPunctuationStr(cp932::FromUnicode(s.PunctuationStr));
    return w;
}

} // namespace

void ApplyEditorSettings(TEditor& E, const TEditorSettings& s) {
    E.SetUndoListMax(s.UndoListMax);
    E.Caret().SetTabSpaceCount(s.TabSpaceCount);
    E.Caret().FreeCaret = s.FreeCaret;
    E.Caret().AutoIndent = s.AutoIndent;
    E.Marks().Underline().SetVisible(s.UnderlineMark);
    E.Marks().EofMark().SetVisible(s.EofMark);
    E.Marks().RetMark().SetVisible(s.RetMark);
    E.View().SetUrl(s.Url);
    E.View().SetMail(s.Mail);
    E.Leftbar().SetVisible(s.Leftbar);
    E.Ruler().SetVisible(s.Ruler);
    E.Margin().SetLeft(s.MarginLeft);
    E.Margin().SetTop(s.MarginTop);
    E.Margin().SetLine(s.MarginLine);
    E.Margin().SetCharacter(s.MarginCharacter);
    // The wrap rules before word wrap goes on, after it goes off: the text is re-wrapped once.
    const TEditorWrapOption w = wrapOptionOf(E, s);
    if (s.WordWrap) {
        E.SetWrapOption(w);
        E.SetWordWrap(true);
    } else {
        E.SetWordWrap(false);
        E.SetWrapOption(w);
    }
}

TEditorSettings ReadEditorSettings(TEditor& E) {
    TEditorSettings s;
    s.UndoListMax = E.UndoListMax();
    s.TabSpaceCount = E.Caret().TabSpaceCount();
    s.FreeCaret = E.Caret().FreeCaret;
    s.AutoIndent = E.Caret().AutoIndent;
    s.UnderlineMark = E.Marks().Underline().Visible();
    s.WordWrap = E.WordWrap();
    s.EofMark = E.Marks().EofMark().Visible();
    s.RetMark = E.Marks().RetMark().Visible();
    s.Url = E.View().Url();
    s.Mail = E.View().Mail();
    s.Leftbar = E.Leftbar().Visible();
    s.Ruler = E.Ruler().Visible();
    s.MarginLeft = E.Margin().Left();
    s.MarginTop = E.Margin().Top();
    s.MarginLine = E.Margin().Line();
    s.MarginCharacter = E.Margin().Character();
    const TEditorWrapOption& w = E.WrapOption();
    s.WrapByte = w.WrapByte();
    s.WordBreak = w.WordBreak();
    s.FollowRetMark = w.FollowRetMark();
    s.Leading = w.Leading();
    s.FollowStr = cp932::ToUnicode(w.FollowStr());
    s.LeadStr = cp932::ToUnicode(w.LeadStr());
    s.FollowPunctuation = w.FollowPunctuation();
    s.PunctuationStr = cp932::ToUnicode(w.PunctuationStr());
    return s;
}

QFont EditorFont(const QString& Name, int PointSize) {
    QFont f(Name);
    f.setPointSize(std::clamp(PointSize, 4, 144));
    return f;
}

TScrollStyle ScrollBarsOf(bool Vertical, bool Horizontal) {
    if (Vertical && Horizontal) return TScrollStyle::ssBoth;
    if (Vertical) return TScrollStyle::ssVertical;
    return Horizontal ? TScrollStyle::ssHorizontal : TScrollStyle::ssNone;
}

void ApplyColors(TEditor& E, const TColorTable& c, bool QuoteColoring) {
    using C = TColorIndex;
    E.SetFontColor(c[C::Font]);
    E.SetColor(c[C::Bk]);
    {
        const TNotifyUpdateGuard batch(E.View().Fountain().NotifyEventList());
        TEditorColors& v = E.View().Colors();
        for (TFountainColor* t : plainTokens(v)) t->SetColor(c[C::Font]);
        v.Comment().SetColor(QuoteColoring ? c[C::Inyo] : c[C::Font]);
        for (TFountainColor* t : std::initializer_list<TFountainColor*>{
                 &v.Ank(), &v.DBCS(), &v.Int(), &v.Str(), &v.Symbol(), &v.Reserve(), &v.Url(), &v.Mail(), &v.Comment()})
            t->SetBkColor(c[C::Bk]);
        v.Select().SetColor(c[C::SelFont]);
        v.Select().SetBkColor(c[C::SelBk]);
        v.Url().SetColor(c[C::URL]);
        v.Mail().SetColor(c[C::Mail]);
        E.View().Brackets().SetAllColor(c[C::Font]);
        E.View().Brackets().SetAllBkColor(c[C::Bk]);
    }
    E.Marks().RetMark().SetColor(c[C::RET]);
    E.Marks().EofMark().SetColor(c[C::EOFMark]);
    E.Marks().Underline().SetColor(c[C::UnderLine]);
    E.Leftbar().SetColor(c[C::Ruler]);
    E.Leftbar().SetBkColor(c[C::BkRuler]);
}

void ApplyColors(TFountain& Fountain, const TColorTable& Colors) {
    applyColors(languageTargets(Fountain), Colors, Fountain.NotifyEventList());
}

void ApplyUserModeColors(TEditor& E, const TColorTable& Colors) {
    applyColors(userTargets(E), Colors, E.View().Fountain().NotifyEventList());
}

void ApplyNormalModeColors(TEditor& E, const TColorTable& Colors, bool QuoteColoring) {
    TEditorColors& v = E.View().Colors();
    const TTargets targets = {
        {withBrackets(&v.Str(), E.View().Fountain(), 1), TColorIndex::Font, TStyleSlot::Stand},
        {{&v.Reserve()}, TColorIndex::Font, TStyleSlot::Stand},
        {{&v.Comment()}, QuoteColoring ? TColorIndex::Inyo : TColorIndex::Font, TStyleSlot::Inyo}};
    applyColors(targets, Colors, E.View().Fountain().NotifyEventList());
}

void ApplyStyles(TEditor& E, const TStyleTable& s, bool UserMode) {
    applyStyles(editorStyleTargets(E, UserMode), s, E.View().Fountain().NotifyEventList());
}

void ApplyStyles(TFountain& Fountain, const TStyleTable& Styles) {
    applyStyles(languageTargets(Fountain), Styles, Fountain.NotifyEventList());
}

} // namespace quire
