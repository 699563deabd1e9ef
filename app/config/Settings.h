// TSettings: the editor and application settings of the settings file, read at start in one
// order and written by the settings dialog. Plain data with reading and writing; no widgets.
#pragma once

#include "EditorSettings.h"
#include "MyProp.h"

namespace quire {

struct TSettings {
    TEditorSettings Editor;
    TMyProp MyProp;
    // Bar/Tool: the tool bar, its panel and the tab close button; Bar/Status: the status bar.
    bool ToolBar = true;
    bool StatusBar = true;

    // Every key, in the order of the start-up: a missing key, or an integer key that is not
    // a number, gives the default. Numbers out of their range are limited (backup
    // generations 1 to 99, auto-save 5 to 120 minutes, wheel rows from 0); a tab position
    // other than 0 to 3 means the left.
    void Load(const QString& File);
    // Writes every key that Load reads.
    void Save(const QString& File) const;

    bool operator==(const TSettings&) const = default;
};

// The paste quote mark as Inyo/PasteMozi stores it, enclosed in "$" quotes: the text between
// the first pair of them, a doubled "$" standing for one ("$> $" gives "> "). A value that does
// not begin with "$" gives no mark; without a closing "$" the mark runs to the value's end.
QString PasteMark(const QString& Stored);

} // namespace quire
