// TWindowSettings: the main window's placement (section Window) and the editor font
// (section Font). Plain data with reading and writing; no widgets.
#pragma once

#include <QString>

namespace quire {

struct TWindowSettings {
    // Window/Maximize, and the normal-state placement Window/Left, Top, Width, Height.
    bool Maximized = false;
    int Left = 0;
    int Top = 27;
    int Width = 869;
    int Height = 638;
    // Font/Name and Font/Size (points).
    QString FontName = QStringLiteral("FixedSys");
    int FontSize = 14;

    // Reads both sections; missing keys and numbers that are not numbers give the defaults.
    void Load(const QString& File);
    // Maximized writes only Maximize=1 (the window was not in its normal state, maximised
    // or minimised, and its normal place is kept as it was); otherwise the four numbers and
    // Maximize=0.
    void SavePlacement(const QString& File) const;
    void SaveFont(const QString& File) const;

    bool operator==(const TWindowSettings&) const = default;
};

} // namespace quire
