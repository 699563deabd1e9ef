// The checks the settings dialog runs on its number fields: reading a number strictly and
// bringing it into the field's range.
#pragma once

#include <QString>

namespace quire {

// The number a field holds (blanks around it allowed). Raises EPlatformError naming the text
// when it is not a whole decimal number.
int FieldNumber(const QString& Text);

// A text the settings file can hold on one line: raises EPlatformError when it has a line
// break (CR or LF) or a NUL character.
void CheckSettingText(const QString& Text);

// Undo list size: below 64 becomes 64.
int CheckUndoMax(int Value) noexcept;
// Tab width: 1 or less becomes 2, 3 becomes 4, 5 becomes 6, 7 and from 9 up become 8, so that
// only 2, 4, 6 and 8 remain.
int CheckTabCount(int Value) noexcept;
// Wheel rows: from 0, no upper bound.
int CheckWheelRows(int Value) noexcept;
// Margins: 0 to 100.
int CheckMargin(int Value) noexcept;
// Wrap width: 20 to 250.
int CheckWrapByte(int Value) noexcept;
// Backup generations: 1 to 99.
int CheckGenerations(int Value) noexcept;
// Auto-save interval in minutes: 5 to 120.
int CheckInterval(int Value) noexcept;

// The paste quote mark as the user types it, and as TMyProp keeps it: enclosed in "$"
// quotes, a "$" inside doubled, so that blanks at its ends survive the settings file.
QString DollarQuoted(const QString& Mark);
// The text between the first pair of "$" quotes, a doubled "$" standing for one; a value that
// does not begin with "$" is taken as it stands.
QString DollarUnquoted(const QString& Stored);

} // namespace quire
