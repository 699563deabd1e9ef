// What the text commands compute apart from the window: the paste quote mark, quoting lines,
// full-width digits and the character count.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace quire {

// Text split into lines at CR LF, a lone CR and a lone LF (a final line end adds no line; an
// empty text has none), each line with Mark before it and CR LF after it, the last included.
// For the clipboard's text and for code page 932 bytes alike (line ends are single bytes there,
// never the trail byte of a double-byte character).
QString QuoteLines(const QString& Text, const QString& Mark);
std::string QuoteLines(std::string_view Text, std::string_view Mark);

// Every full-width digit "０" to "９" (0x82 0x4F to 0x82 0x58) replaced by the ASCII digit; the
// same bytes met as part of another character are left alone.
std::string ZenDigitsToAscii(std::string_view Text);

} // namespace quire
