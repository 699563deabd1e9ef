// Shortcut texts such as "Shift+Ctrl+F3": the key names, and conversion to and from Qt key sequences.
#pragma once

#include <QKeySequence>
#include <QString>
#include <QStringList>

namespace quire {

// The key names a shortcut text may end with, in the order the key list of the customisation
// dialog offers them: F1-F12, Tab, Home, End, Space, BkSp, Enter, Ins, Del, Up, Down, Right,
// Left, PgUp, PgDn, @, A-Z, 1-9, 0, - [ \ ] , . ; :
const QStringList& KeyNames();

// The shortcut a text names: modifier prefixes "Shift+", "Ctrl+" and "Alt+" in any order
// (letter case ignored), then exactly one key name. A text that names no key (the empty text
// included) gives the empty sequence.
QKeySequence TextToShortcut(const QString& Text);

// The text of a shortcut, prefixes in the order "Shift+", "Ctrl+", "Alt+". Empty for the empty
// sequence and for a shortcut that cannot be written with the names above (another key, a
// Meta modifier, more than one chord).
QString ShortcutToText(const QKeySequence& Shortcut);

// The text in its written form: TextToShortcut then ShortcutToText.
QString CanonicalShortcutText(const QString& Text);

} // namespace quire
