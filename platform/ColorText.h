// The text form of colours in the settings file: a colour name such as "clRed" or "clWindow",
// else "$" and eight hexadecimal digits, or a decimal number.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>

namespace quire {

// Colours are 0x00BBGGRR; 0x80000000 plus an index names a system colour.

// The colour's name when it has one ("clRed", "clBackground"), else "$" and eight upper-case
// hexadecimal digits ("$00123456").
QString ColorToString(uint32_t Color);

// A name (compared without regard to case), "$" and one to eight hexadecimal digits, or a
// decimal number that fits 32 bits ("clRed", "$000000FF" and "255" are all red); nothing for
// any other text.
std::optional<uint32_t> StringToColor(const QString& Text);

} // namespace quire
