// The highlighting modes of a page: their names, menu items, command-line switches, shared
// colourings and keyword files, and the mode a file's extension chooses. No widgets.
#pragma once

#include <QString>
#include <optional>

namespace quire {

// The modes, in the order of the 編集モード menu.
enum class TEditMode { Normal, Delphi, Ini, HTML, Perl, Cpp, Basic, Yuza };

inline constexpr int EditModeCount = 8;

// "標準", "Delphi", "ini", "HTML", "Perl", "C++", "Basic", "ユーザ": the name kept in a page's
// Mode and shown in the status bar.
QString ModeName(TEditMode Mode);
// The mode of a name; none for anything else.
std::optional<TEditMode> ModeOfName(const QString& Name);
// The mode of a page whose Mode holds Name: 標準 for a name that is no mode.
TEditMode ModeOfPage(const QString& Name);

// The menu item that chooses the mode ("Mm_mode_Normal", ...).
QString ModeItemName(TEditMode Mode);
// The name of the shared language colouring of the mode (as the fountain factory knows it);
// empty for 標準 and ユーザ, which colour with the editor's own colouring.
QString ModeColouringName(TEditMode Mode);
// The keyword file that replaces the shared colouring's reserved words at start ("Delphi.qre",
// "Perl.qre", "Cpp.qre", "Basic.qre"); empty for modes without one.
QString ModeKeywordFileName(TEditMode Mode);
// The keyword file of mode ユーザ, read each time the mode is chosen.
inline const QString UserKeywordFileName = QStringLiteral("KeyWord.qre");

// The mode a command-line switch forces ("/html", "/ini", "/del", "/perl", "/cpp", "/basic",
// "/user", compared exactly); none for any other parameter.
std::optional<TEditMode> ModeOfSwitch(const QString& Param);

// The mode a file extension chooses (with its dot; compared lower-cased): ".htm" and ".html"
// HTML, ".ini" and ".inf" ini, ".pas" Delphi, ".cgi" and ".pl" Perl, ".c", ".cpp" and ".h"
// C++, ".bas" Basic, anything else 標準. ユーザ is never chosen by extension.
TEditMode ModeForExtension(const QString& Ext);
// The mode the extension of Path chooses.
TEditMode ModeForPath(const QString& Path);

} // namespace quire
