// TOwnColouring: what modes 標準 and ユーザ give the editor's own colouring (the one it uses
// when no shared language colouring is set): URL and mail recognition, the line-comment
// marker, the string delimiters, the first bracket and the reserved words.
#pragma once

#include "MyProp.h"

#include <string>
#include <vector>

namespace quire {

class TEditor;

// Texts are Shift_JIS bytes, as the colouring reads them.
struct TOwnColouring {
    bool Url = false;
    bool Mail = false;
    std::string Commenter;   // a comment runs from it to the end of the row; empty: none
    std::string Quotation;   // its first character encloses strings; empty: none
    std::string LeftBracket; // the first bracket: a comment over several rows; empty: none
    std::string RightBracket;
    std::vector<std::string> ReserveWords;

    // Mode 標準: URL and mail recognition on, the quote mark as the line-comment marker so
    // that quoted lines show in their colour, and no strings, first bracket or reserved words.
    static TOwnColouring Normal(const TMyProp& Settings);
    // Mode ユーザ: no URL or mail recognition; the user's string delimiters, comment and
    // multi-row comment (YuzaKey), and the user's reserved words.
    static TOwnColouring User(const TMyProp& Settings, const std::vector<std::string>& Words);

    // Puts this on Editor's own colouring. Only what differs is changed, so that applying the
    // same again repaints nothing. The first bracket item is added when the editor has none.
    void ApplyTo(TEditor& Editor) const;
};

} // namespace quire
