// Maps the font names kept in settings ("FixedSys", "ＭＳ Ｐゴシック") onto installed Japanese fonts.
#pragma once

#include <QString>

namespace quire {

// The family that renders the editor's monospace grid: every full-width glyph is exactly
// two half-width cells at even pixel sizes.
QString JapaneseMonospaceFamily();
// The proportional family used for the interface.
QString JapaneseProportionalFamily();

// Installs the substitutions once; call after the application object exists.
void InstallFontSubstitutions();

} // namespace quire
