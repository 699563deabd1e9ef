// TEditorSettings: the editor settings of the settings file, as the file holds them (text
// as Unicode). Plain data: SettingsApply puts them on an editor and reads them back.
#pragma once

#include <QString>

namespace quire {

struct TEditorSettings {
    // Stand/UndoList: UndoListMax.
    int UndoListMax = 64;
    // Stand/TabCount: the caret's TabSpaceCount.
    int TabSpaceCount = 8;
    // Stand/FreeCursor and Stand/AutoIndent: the caret's FreeCaret and AutoIndent.
    bool FreeCaret = false;
    bool AutoIndent = false;
    // Stand/UnderLine: the caret-row underline mark.
    bool UnderlineMark = false;
    // Col/Check and Col/Int: WordWrap and WrapOption.WrapByte.
    bool WordWrap = false;
    int WrapByte = 80;
    // Marks/EOF, Marks/RET: the end-of-file and return marks.
    bool EofMark = false;
    bool RetMark = false;
    // Marks/URL, Marks/Mail: View.Url and View.Mail.
    bool Url = true;
    bool Mail = false;
    // Ruler/Vertical: the line-number bar; Ruler/Horizontal: the column ruler.
    bool Leftbar = false;
    bool Ruler = false;
    // Margin/Left, Top, Line, Character.
    int MarginLeft = 8;
    int MarginTop = 2;
    int MarginLine = 0;
    int MarginCharacter = 0;
    // WordWrap/Break, FollowRet, Leading, FollowStr, LeadStr, FollowPunc, PuncStr: the wrap rules.
    bool WordBreak = false;
    bool FollowRetMark = false;
    bool Leading = false;
    QString FollowStr = QStringLiteral("、。，．・？！゛゜ヽヾゝゞ々ー）］｝」』!),.:;?]}｡｣､･ｰﾞﾟ");
    QString LeadStr = QStringLiteral("（［｛「『([{｢");
    bool FollowPunctuation = false;
    QString PunctuationStr = QStringLiteral("、。，．,.｡､");

    bool operator==(const TEditorSettings&) const = default;
};

} // namespace quire
