// Case and width mapping of code page 932 text, as the locale's string mapping does it.
#pragma once

#include <string>
#include <string_view>

namespace quire::cp932 {

// Upper or lower case of every character that has a case partner in code page 932
// (ASCII letters, full-width Latin, Greek and Cyrillic letters). Trail bytes are never
// mistaken for letters; invalid bytes are kept as they are.
std::string ToUpper(std::string_view text);
std::string ToLower(std::string_view text);

// Full-width to half-width (ガ becomes ｶﾞ, Ａ becomes A, the full-width space a space)
// and back (ｶﾞ becomes ガ, ﾊﾟ パ, ｳﾞ ヴ). A character whose mapping code page 932 cannot
// hold is kept unchanged. There is no length limit.
std::string ToHalfWidth(std::string_view text);
std::string ToFullWidth(std::string_view text);

} // namespace quire::cp932
