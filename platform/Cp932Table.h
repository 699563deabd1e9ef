// The double-byte characters of code page 932, and the character count of a text, without Qt.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quire::cp932 {

// The UTF-16 character of the double-byte code Lead Trail, or 0 when it is not a valid code
// (the table comes from the system's iconv "CP932" converter, built once).
char16_t DoubleByteChar(unsigned char Lead, unsigned char Trail) noexcept;

// The characters of a text as the character count counts them: the text decoded to UTF-16 the
// way cp932::ToUnicode does (a valid double-byte code one unit, every other byte one unit of its
// own, the byte after a lead byte that makes no valid code read afresh), and every unit counted
// but the space, the tab, the full-width space (0x81 0x40), CR and LF.
//
// The text may come in pieces: a lead byte that ends one piece is paired with the first byte
// of the next. Decoding starts afresh after every byte that is no lead byte (such a byte always
// ends a character), so the count of a text is the sum of the counts of pieces cut after such
// bytes; a line end is one.
class TCharCounter {
public:
    void Add(std::string_view Piece) noexcept;
    // The count, a lead byte left waiting at the end counted as a character of its own.
    int64_t Finish() noexcept {
        if (FPending >= 0) ++FCount;
        FPending = -1;
        return FCount;
    }

private:
    int64_t FCount = 0;
    int FPending = -1; // a lead byte that ended the last piece
};

int64_t CountCharacters(std::string_view Text) noexcept;

} // namespace quire::cp932
