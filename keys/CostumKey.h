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

constexpr int KeyCommandCount = 68;
constexpr int KeySectionCount = 7;

// The 68 commands in the order in which they are shown and written.
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

// Writes all 68 texts, in table order, to "Key.dat" (created when missing; other lines kept).
// Raises EPlatformError when the file cannot be written.
void WriteKeyTable(const std::array<QString, KeyCommandCount>& Texts);

} // namespace quire
