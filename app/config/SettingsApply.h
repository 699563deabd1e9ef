// Puts the settings on editors and colourings: the editor settings, the font, the colour
// table and the style table; and reads an editor's settings back for writing them.
#pragma once

#include "ColorTable.h"
#include "Editor.h"
#include "EditorSettings.h"
#include "StyleTable.h"

#include <QFont>

namespace quire {

class TFountain;

// The editor settings onto one editor: undo list, tab width, free caret, auto indent, marks,
// URL and mail recognition, line-number bar, ruler, margins, wrap rules and word wrap (the
// text is re-wrapped once).
void ApplyEditorSettings(TEditor& Editor, const TEditorSettings& Settings);
// The same settings as the editor has them now.
TEditorSettings ReadEditorSettings(TEditor& Editor);

// The font a name and a point size stand for; "FixedSys" is drawn with the grid font.
QFont EditorFont(const QString& Name, int PointSize);
// The scroll bars the two flags ask for.
TScrollStyle ScrollBarsOf(bool Vertical, bool Horizontal);

// ApplyColors on an editor sets every colour and always tells the editor. The other colour
// and style functions change only what differs and tell the colouring's listeners once, or
// not at all when nothing differs, so that applying them again re-parses and repaints nothing.

// An editor's own colours: text and background, plain tokens, quoted lines (in their
// colour only while QuoteColoring is on), selection, URL, mail, brackets, the return,
// end-of-file and underline marks, and the line-number bar.
void ApplyColors(TEditor& Editor, const TColorTable& Colors, bool QuoteColoring);
// A language colouring's colours (Delphi, ini, HTML, Perl, C++, Basic); others are left alone.
void ApplyColors(TFountain& Fountain, const TColorTable& Colors);
// Mode ユーザ's colours on an editor's own colouring: reserved words, strings, comments and
// the first bracket.
void ApplyUserModeColors(TEditor& Editor, const TColorTable& Colors);
// Mode 標準's colours on an editor's own colouring: strings, reserved words and the first
// bracket in the text colour; comments (the quoted lines) in the quoted-line colour while
// QuoteColoring is on, else in the text colour.
void ApplyNormalModeColors(TEditor& Editor, const TColorTable& Colors, bool QuoteColoring);

// An editor's own styles: plain tokens, URL, mail, quoted lines, and in mode ユーザ
// (UserMode) its reserved words, strings, comments and first bracket.
void ApplyStyles(TEditor& Editor, const TStyleTable& Styles, bool UserMode);
// A language colouring's styles; for HTML the whole-tag style also goes to character
// references and the string style to attribute values.
void ApplyStyles(TFountain& Fountain, const TStyleTable& Styles);

} // namespace quire
