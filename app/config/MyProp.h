// TMyProp: the application's settings in memory (quoting, bars, marks, backups, auto-save,
// tab position, the definitions of mode ユーザ). Plain data: TSettings reads and writes it.
#pragma once

#include <QString>
#include <cstdint>

namespace quire {

// Where the page control shows its tabs; the values are those of Stand/TabPosi.
enum class TTabPosition : uint8_t { Top = 0, Bottom = 1, Right = 2, Left = 3 };

struct TMyProp {
    // Inyo/Check: quoted lines are drawn in the quoted-line colour.
    bool QuoteColoring = true;
    // Inyo/Mozi: the mark that makes a line a quoted line in mode 標準.
    QString QuoteMark = QStringLiteral(">");
    // Inyo/PasteMozi: the mark of quoted cut, copy and paste, kept enclosed in "$" quotes
    // (a "$" inside doubled), so that blanks at its ends survive the settings file.
    QString PasteQuoteMark = QStringLiteral("$> $");
    // Bar/Vertical and Bar/Horizontal: the editors' scroll bars.
    bool VerticalBar = false;
    bool HorizontalBar = false;
    // Stand/Wheel: rows scrolled per wheel notch.
    int WheelRows = 3;
    // File/BackUp: backup generations are made before saving.
    bool BackUp = false;
    // Bar/FileSize and Bar/Mozi: the byte size and the character count always shown.
    bool SizeDisplay = false;
    bool CountDisplay = false;
    // Marks/Space, Marks/HSpace, Marks/Tab: marks drawn over blanks.
    bool SpaceMark = false;
    bool HSpaceMark = false;
    bool TabMark = false;
    // File/SaveDlg: ask before saving over a named file.
    bool ConfirmOverwrite = false;
    // File/BackUpDir and File/BackUpDirPath: backups go to this folder.
    bool BackUpDirOn = false;
    QString BackUpDir;
    // File/BackUp_Sedai: 1 to 99.
    int BackUpGenerations = 3;
    // File/AutoSave and File/Time (5 to 120 minutes).
    bool AutoSave = false;
    int AutoSaveMinutes = 5;
    // Stand/TabPosi.
    TTabPosition TabPosition = TTabPosition::Top;
    // File/NewCode and File/NewLineEnd: the kanji code and line end of a new document.
    QString NewKanjiCode = QStringLiteral("S-JIS");
    QString NewLineEnd = QStringLiteral("CRLF");
    // YuzaKey/Str, Comment, LeftBracket, RightBracket: mode ユーザ's string delimiters,
    // line comment and multi-row comment.
    QString UserStr;
    QString UserComment;
    QString UserLeftBracket;
    QString UserRightBracket;

    bool operator==(const TMyProp&) const = default;
};

} // namespace quire
