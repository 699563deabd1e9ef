// TEditorProp.
#include "EditorProp.h"

namespace quire {

TEditorProp::TEditorProp() : Font(QStringLiteral("FixedSys")) { Font.setPixelSize(16); }

void TEditorProp::Assign(TEditor& s) {
    try {
        Color = s.Color();
        FCaret.Assign(s.Caret());
        Font = s.font();
        FontColor = s.FontColor();
        FLeftbar.Assign(s.Leftbar());
        FMargin.Assign(s.Margin());
        FMarks.Assign(s.Marks());
        FReserveWordList.Assign(s.ReserveWordList());
        FRuler.Assign(s.Ruler());
        ScrollBars = s.ScrollBars();
        UndoListMax = s.UndoListMax();
        FView.Assign(s.View());
        WordWrap = s.WordWrap();
        FWrapOption.Assign(s.WrapOption());
    } catch (...) {
    }
}

void TEditorProp::Assign(TEditorProp& s) {
    try {
        Color = s.Color;
        FCaret.Assign(s.FCaret);
        Font = s.Font;
        FontColor = s.FontColor;
        FLeftbar.Assign(s.FLeftbar);
        FMargin.Assign(s.FMargin);
        FMarks.Assign(s.FMarks);
        FReserveWordList.Assign(s.FReserveWordList);
        FRuler.Assign(s.FRuler);
        ScrollBars = s.ScrollBars;
        UndoListMax = s.UndoListMax;
        FView.Assign(s.FView);
        WordWrap = s.WordWrap;
        FWrapOption.Assign(s.FWrapOption);
        FileExtList().Assign(s.FileExtList());
    } catch (...) {
    }
}

void TEditorProp::AssignTo(TEditor& d) {
    try {
        d.SetColor(Color);
        d.SetCaret(FCaret);
        d.SetEditorFont(Font);
        d.SetFontColor(FontColor);
        d.SetLeftbar(FLeftbar);
        d.SetMargin(FMargin);
        d.SetMarks(FMarks);
        d.SetReserveWordList(FReserveWordList.Strings());
        d.SetRuler(FRuler);
        d.SetScrollBars(ScrollBars);
        d.SetUndoListMax(UndoListMax);
        d.SetView(FView);
        if (WordWrap) {
            d.SetWrapOption(FWrapOption);
            d.SetWordWrap(true);
        } else {
            d.SetWordWrap(false);
            d.SetWrapOption(FWrapOption);
        }
    } catch (...) {
    }
}

} // namespace quire
