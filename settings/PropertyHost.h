// TPropertyHost: what the settings dialog reads from and writes back to (the main window).
#pragma once

#include "ColorTable.h"
#include "Settings.h"
#include "StyleTable.h"

#include <string>
#include <vector>

namespace quire {

class TEditor;

class TPropertyHost {
public:
    virtual ~TPropertyHost() = default;
    // The active page's focused editor: the dialog shows its settings and measures its width.
    virtual TEditor& ActiveEditor() = 0;
    // The settings as they are now: the active editor's, TMyProp and the bars.
    virtual TSettings CurrentSettings() = 0;
    // Settings onto every editor, TMyProp, the bars, the menu checks, the tab position, the
    // auto-save timer and the bundle. Writes nothing.
    virtual void ApplySettings(const TSettings& Settings) = 0;
    // The colour and style tables in use; the dialog changes them in place.
    virtual TColorTable& ColorTable() = 0;
    virtual TStyleTable& StyleTable() = 0;
    // The tables onto every editor and colouring.
    virtual void ApplyColorsToAll() = 0;
    virtual void ApplyStylesToAll() = 0;
    // Writes the reserved words of mode ユーザ to its keyword file and gives them to every page
    // in that mode. False when the file cannot be written (the user has been told).
    virtual bool SetUserKeyWords(const std::vector<std::string>& Words) = 0;
};

} // namespace quire
