// The command table of the key customisation, and "Key.dat": reading, applying and writing shortcuts.
#pragma once

#include <QString>
#include <array>
#include <functional>

class QAction;
class QObject;

namespace quire {

// One customisable command. Texts are UTF-8.
struct TKeyCommand {
    const char* Section;  // the section of "Key.dat"
    const char* Key;      // the key within it
    const char* Default;  // the shortcut text when the key is absent; "" for none
    const char* MenuItem; // object name of the main-menu item that carries the shortcut
    const char* Mirror;   // object name of an item in another menu given the same shortcut, or null
    const char* Caption;  // the command's node in the dialog; "group / item" stands under a sub-group
};

// The commands in the order in which they are shown and written. A command is one row: the
// count, the dialog's tree and "Key.dat" follow the table.
inline constexpr auto kKeyCommands = std::to_array<TKeyCommand>({
    {"File", "New", "Ctrl+N", "Mm_New", nullptr, "新規作成"},
    {"File", "Open", "Ctrl+O", "Mm_Open", nullptr, "開く..."},
    {"File", "Reload", "", "N21", nullptr, "読み直し"},
    {"File", "Save", "Ctrl+S", "Mm_Save", nullptr, "上書き保存"},
    {"File", "SaveAs", "", "Mm_SaveAs", nullptr, "名前をつけて保存..."},
    {"File", "SaveAll", "", "Mm_SaveAll", nullptr, "すべて保存"},
    {"File", "FileClose", "Ctrl+F4", "Mm_FileClose", "N18", "閉じる"},
    {"File", "CloseAll", "", "N17", nullptr, "すべて閉じる"},
    {"File", "S-JIS", "", "Mm_ShiftJIS", nullptr, "保存時の文字コード / Shift-JIS"},
    {"File", "JIS", "", "Mm_JIS", nullptr, "保存時の文字コード / JIS"},
    {"File", "EUC", "", "Mm_EUC", nullptr, "保存時の文字コード / EUC"},
    {"File", "UTF-8", "", "Mm_UTF8", nullptr, "保存時の文字コード / UTF-8"},
    {"File", "UTF-8BOM", "", "Mm_UTF8BOM", nullptr, "保存時の文字コード / UTF-8 (BOM)"},
    {"File", "UTF-16LE", "", "Mm_UTF16LE", nullptr, "保存時の文字コード / UTF-16LE"},
    {"File", "UTF-16BE", "", "Mm_UTF16BE", nullptr, "保存時の文字コード / UTF-16BE"},
    {"File", "CRLF", "", "Mm_CRLF", nullptr, "保存時の文字コード / CRLF"},
    {"File", "CR", "", "Mm_CR", nullptr, "保存時の文字コード / CR"},
    {"File", "LF", "", "Mm_LF", nullptr, "保存時の文字コード / LF"},
    {"File", "Print", "Ctrl+P", "Mm_Print", nullptr, "印刷..."},
    {"File", "SaveClose", "Ctrl+E", "Mm_SaveClose", nullptr, "保存して終了"},
    {"File", "Close", "Alt+F4", "Mm_Close", nullptr, "終了"},
    {"Edit", "Undo", "Ctrl+Z", "Mm_Undo", nullptr, "アンドゥ"},
    {"Edit", "Redo", "Ctrl+Alt+Z", "Mm_Redo", nullptr, "リドゥ"},
    {"Edit", "Cut", "Ctrl+X", "mm_Cut", "Pm_Cut", "切り取り"},
    {"Edit", "Copy", "Ctrl+C", "Mm_Copy", "Pm_Copy", "コピー"},
    {"Edit", "Paste", "Ctrl+V", "Mm_Paste", "Pm_Paste", "貼り付け"},
    {"Edit", "PlusCut", "", "MmPlusCut", "PmPlusCut", "その他 / 追加切り取り"},
    {"Edit", "PlusCopy", "", "MmPlusCopy", "PmPlusCopy", "その他 / 追加コピー"},
    {"Edit", "InyoCut", "", "MmInyoCut", "PmInyoCut", "その他 / 引用付き切り取り"},
    {"Edit", "InyoCopy", "", "MmInyoCopy", "PmInyoCopy", "その他 / 引用付きコピー"},
    {"Edit", "InyoPaste", "Ctrl+Q", "Mm_Inyo_Paste", "Q1", "その他 / 引用付き貼り付け"},
    {"Edit", "PasteBox", "Ctrl+K", "Mm_PasteBox", "Pm_PasteBox", "その他 / 矩形貼り付け"},
    {"Edit", "LowerCase", "Ctrl+L", "Mm_LowerCase", "Pm_LowerCase", "変換 / 小文字に変換"},
    {"Edit", "UpperCase", "Ctrl+Alt+L", "Mm_UpperCase", "Pm_UpperCase", "変換 / 大文字に変換"},
    {"Edit", "ZenToHan", "Ctrl+H", "Mm_ZenToHan", "Pm_ZenToHan", "変換 / 半角に変換"},
    {"Edit", "HanToZen", "Ctrl+Alt+H", "Mm_HanToZen", "Pm_HanToZen", "変換 / 全角に変換"},
    {"Edit", "Int_ZenToHan", "", "Mm_int_ZenToHan", "Pm_int_ZenToHan", "変換 / 全数→半数"},
    {"Edit", "Indent", "Tab", "Mm_TabInd", "Pm_TabInd", "変換 / インデント"},
    {"Edit", "UnIndent", "Shift+Tab", "Mm_TabUnInd", "Pm_TabUnInd", "変換 / 逆インデント"},
    {"Edit", "SelectAll", "Ctrl+A", "Mm_SelectAll", nullptr, "すべて選択"},
    {"Edit", "FreeCursor", "Ctrl+Alt+F", "Mm_FreeCursol", nullptr, "フリーカーソル"},
    {"Edit", "Box", "Ctrl+B", "Mm_Box", nullptr, "矩形選択"},
    {"Edit", "AutoIndent", "", "Mm_AutoIndent", nullptr, "オートインデント"},
    {"Find", "Find", "Ctrl+F", "Mm_Find", nullptr, "検索..."},
    {"Find", "Replace", "Ctrl+R", "Mm_Replace", nullptr, "置換..."},
    {"Find", "Grep", "", "Mm_Grep", nullptr, "ファイルから検索..."},
    {"Find", "FindBefore", "Shift+F3", "Mm_NextFind", nullptr, "前を検索"},
    {"Find", "FindNext", "F3", "Mm_NextBefore", nullptr, "次を検索"},
    {"Find", "JumpRow", "Ctrl+J", "Mm_JumpRow", nullptr, "指定行に移動..."},
    {"View", "ModeNormal", "", "Mm_mode_Normal", nullptr, "編集モード / 標準"},
    {"View", "ModeDel", "", "Mm_mode_Delphi", nullptr, "編集モード / Delphi"},
    {"View", "ModeIni", "", "Mm_mode_Ini", nullptr, "編集モード / ini"},
    {"View", "ModeHTML", "", "Mm_mode_HTML", nullptr, "編集モード / HTML"},
    {"View", "ModePerl", "", "Mm_mode_Perl", nullptr, "編集モード / Perl"},
    {"View", "ModeCpp", "", "Mm_mode_C", nullptr, "編集モード / C++"},
    {"View", "ModeBasic", "", "Mm_mode_Basic", nullptr, "編集モード / Basic"},
    {"View", "ModeYuza", "", "Mm_mode_yuza", nullptr, "編集モード / ユーザ"},
    {"View", "ToolBar", "", "Mm_ToolBar", nullptr, "ツールバー"},
    {"View", "StatusBar", "", "Mm_StatusBar", nullptr, "ステータスバー"},
    {"View", "Count", "F5", "Mm_GetCount", nullptr, "文字数の表示"},
    {"View", "Size", "F6", "Mm_GetSize", nullptr, "ファイルサイズの表示"},
    {"Window", "NextTab", "Alt+Right", "Mm_NextTab", nullptr, "次のページ"},
    {"Window", "BeforeTab", "Alt+Left", "Mm_BeforeTab", nullptr, "前のページ"},
    {"Window", "PageRight", "", "R1", nullptr, "ページの移動 / 右に移動"},
    {"Window", "PageLeft", "", "L1", nullptr, "ページの移動 / 左に移動"},
    {"Window", "Top", "", "Mm_Top", nullptr, "常に最前面表示"},
    {"Window", "Division", "F9", "Mm_Division", nullptr, "画面分割"},
    {"Tool", "Font", "", "Mm_Font", nullptr, "フォント..."},
    {"Tool", "Property", "Alt+Enter", "Mm_Property", nullptr, "各種設定..."},
    {"Tool", "Key", "", "MmKey", nullptr, "キーカスタマイズ..."},
    {"Help", "Help", "F1", "ff1", nullptr, "トピックの検索..."},
    {"Help", "Readme", "", "Mm_Readme", nullptr, "readme.txt..."},
    {"Help", "Version", "", "Mm_Version", nullptr, "バージョン情報..."},
});

constexpr int KeyCommandCount = static_cast<int>(kKeyCommands.size());
constexpr int KeySectionCount = 7;

// The commands of kKeyCommands.
const std::array<TKeyCommand, KeyCommandCount>& KeyCommands();

// The sections File, Edit, Find, View, Window, Tool, Help, in order, with the caption of their
// group node in the dialog ("ファイル", ..., "ヘルプ").
struct TKeySection {
    const char* Name;
    const char* Caption;
};
const std::array<TKeySection, KeySectionCount>& KeySections();

// Finds a menu item by its object name; null when the window has no such item (yet).
using TActionLookup = std::function<QAction*(const QString& Name)>;

// A lookup over every QAction below Root (menus, tool bars and popups parented to it).
TActionLookup ActionsOf(QObject& Root);

// The key file: "Key.dat" in the program folder.
QString KeyFileName();

// The shortcut text of command Index as "Key.dat" gives it, in its written form: the table's
// default when the file or the key is absent, empty when the key is present with an empty or
// unreadable value. Reading never creates the file.
QString ReadKeyText(int Index);

// Gives command Index's menu item and its mirror the shortcut Text names (none for the empty
// or an unreadable text). Items the lookup does not find are skipped.
void SetCommandShortcut(const TActionLookup& Lookup, int Index, const QString& Text);

// The shortcut text command Index's menu item carries now; Fallback when there is no such item.
QString CommandShortcutText(const TActionLookup& Lookup, int Index, const QString& Fallback);

// Apply key table: every command's item (and mirror) gets its shortcut from "Key.dat".
void ApplyKeyTable(const TActionLookup& Lookup);

// Writes every command's text, in table order, to "Key.dat" (created when missing; other lines kept).
// Raises EPlatformError when the file cannot be written.
void WriteKeyTable(const std::array<QString, KeyCommandCount>& Texts);

} // namespace quire
