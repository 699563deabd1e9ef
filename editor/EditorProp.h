// TEditorProp: one set of editor settings that the application keeps and copies onto every
// editor, and that can be read back from an editor.
#pragma once

#include "Editor.h"
#include "FileExtComponent.h"

#include <QFont>

namespace quire {

class TEditorProp : public TFileExtComponent {
public:
    TEditorProp();

    TColor Color = 0xFFFFFF;
    TEditorCaret& Caret() noexcept { return FCaret; }
    QFont Font;
    TColor FontColor = 0x000000;
    TEditorLeftbar& Leftbar() noexcept { return FLeftbar; }
    TEditorMargin& Margin() noexcept { return FMargin; }
    TEditorMarks& Marks() noexcept { return FMarks; }
    TSortedStringList& ReserveWordList() noexcept { return FReserveWordList; }
    TEditorRuler& Ruler() noexcept { return FRuler; }
    TScrollStyle ScrollBars = TScrollStyle::ssNone;
    // The undo list's limit: kept with the others so that every page gets the same.
    int UndoListMax = 64;
    TEditorViewInfo& View() noexcept { return FView; }
    bool WordWrap = false;
    TEditorWrapOption& WrapOption() noexcept { return FWrapOption; }

    // Copies the settings of an editor, or of another bundle (with its file extensions).
    // A failure while copying ends the copying silently.
    void Assign(TEditor& Source);
    void Assign(TEditorProp& Source);
    // Applies the settings to an editor: the wrap rules and WordWrap in the order that
    // re-wraps the text once.
    void AssignTo(TEditor& Dest);
    void AssignTo(TEditorProp& Dest) { Dest.Assign(*this); }

private:
    TEditorCaret FCaret;
    TEditorLeftbar FLeftbar;
    TEditorMargin FMargin;
    TEditorMarks FMarks;
    TSortedStringList FReserveWordList;
    TEditorRuler FRuler;
    TEditorViewInfo FView;
    TEditorWrapOption FWrapOption;
};

} // namespace quire
