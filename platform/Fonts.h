// Maps the font names kept in settings ("FixedSys", "ＭＳ Ｐゴシック") onto installed Japanese fonts.
#pragma once

#include <QString>
#include <QStringList>

class QFont;

namespace quire {

// The family that renders the editor's monospace grid: every full-width glyph is exactly
// two half-width cells at even pixel sizes.
QString JapaneseMonospaceFamily();
// The proportional family used for the interface.
QString JapaneseProportionalFamily();

// Installs the substitutions once; call after the application object exists.
void InstallFontSubstitutions();

// True when Font has glyphs of its own for kana and kanji (no fallback to another family).
bool DrawsJapanese(const QFont& Font);
// True when Family is fixed-pitch on the editor's column grid (measured at an even pixel
// size): its half-width glyphs, narrow and wide letters alike, are one width and its
// full-width ones exactly two of them.
bool FitsTheGrid(const QString& Family);
// The installed families that draw Japanese and fit the grid, in the database's order.
QStringList GridFamilies();

} // namespace quire
