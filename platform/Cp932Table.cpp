// The code page 932 double-byte table and the character count.
#include "Cp932Table.h"

#include "ShiftJis.h"

#include <iconv.h>
#include <vector>

namespace quire::cp932 {

namespace {

std::vector<char16_t> buildTable() {
    std::vector<char16_t> table(0x10000, 0);
    iconv_t cd = iconv_open("UTF-16LE", "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1)) return table;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!sjis::IsLeadByte(static_cast<unsigned char>(lead))) continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail == 0x7F) continue;
            char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            char out[8];
            char* inp = in;
            char* outp = out;
            std::size_t inLeft = 2, outLeft = sizeof out;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            if (iconv(cd, &inp, &inLeft, &outp, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0 ||
                sizeof out - outLeft != 2)
                continue;
            table[static_cast<std::size_t>((lead << 8) | trail)] =
                static_cast<char16_t>(static_cast<unsigned char>(out[0]) | (static_cast<unsigned char>(out[1]) << 8));
        }
    }
    iconv_close(cd);
    return table;
}

const std::vector<char16_t>& table() {
    static const std::vector<char16_t> instance = buildTable();
    return instance;
}

} // namespace

char16_t DoubleByteChar(unsigned char Lead, unsigned char Trail) noexcept {
    return table()[static_cast<std::size_t>((Lead << 8) | Trail)];
}

void TCharCounter::Add(std::string_view Piece) noexcept {
    const std::vector<char16_t>& t = table();
    const auto* p = reinterpret_cast<const unsigned char*>(Piece.data());
    const std::size_t size = Piece.size();
    std::size_t i = 0;
    if (FPending >= 0 && size > 0) {
        const char16_t u = t[static_cast<std::size_t>((FPending << 8) | p[0])];
        FCount += u == 0 || u != 0x3000; // a lead byte without its pair counts on its own
        i = u != 0 ? 1 : 0;
        FPending = -1;
    }
    int64_t n = 0;
    while (i < size) {
        const unsigned char c = p[i];
        if (sjis::IsLeadByte(c)) {
            if (i + 1 == size) {
                FPending = c;
                break;
            }
            const char16_t u = t[static_cast<std::size_t>((c << 8) | p[i + 1])];
            if (u != 0) {
                n += u != 0x3000;
                i += 2;
                continue;
            }
        }
        n += c != ' ' && c != '\t' && c != '\r' && c != '\n';
        ++i;
    }
    FCount += n;
}

int64_t CountCharacters(std::string_view Text) noexcept {
    TCharCounter counter;
    counter.Add(Text);
    return counter.Finish();
}

} // namespace quire::cp932
