// TEditingHost: what the editing operations need from the control that shows the text: the
// caret and its moves, the selection's anchoring and extending, and repainting.
#pragma once

#include "EditorLink.h"

namespace quire {

class TEditorCaret;

class TEditingHost : public TEditorLink {
public:
    // The caret options (tab width, auto-indent, free caret and the like).
    virtual TEditorCaret& Caret() = 0;
    virtual bool ReadOnly() const = 0;
    virtual bool OverWrite() const = 0;
    // Moves the caret to ARow, then ACol, without showing it in between or after.
    virtual void MoveCaretTo(int ARow, int ACol) = 0;
    // Suspends and restores the underline of the caret's row; calls nest.
    virtual void UnderlineBeginUpdate() = 0;
    virtual void UnderlineEndUpdate() = 0;
    // Starts a selection at the caret, and extends it to where the caret now is.
    virtual void AnchorSelection() = 0;
    virtual void ExtendSelection() = 0;
    // Repaints the whole text area.
    virtual void RepaintText() = 0;

    // Hides the caret, and with Underline also suspends the caret-row underline, for the
    // lifetime of the guard: steps that move the caret several times show it once at the end.
    class TCaretUpdate {
    public:
        explicit TCaretUpdate(TEditingHost& Host, bool Underline = false) : FHost(Host), FUnderline(Underline) {
            FHost.CaretBeginUpdate();
            if (FUnderline) FHost.UnderlineBeginUpdate();
        }
        ~TCaretUpdate() {
            if (FUnderline) FHost.UnderlineEndUpdate();
            FHost.CaretEndUpdate();
        }
        TCaretUpdate(const TCaretUpdate&) = delete;
        TCaretUpdate& operator=(const TCaretUpdate&) = delete;

    private:
        TEditingHost& FHost;
        bool FUnderline;
    };
};

} // namespace quire
