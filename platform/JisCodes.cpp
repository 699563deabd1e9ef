// The JIS X 0208 and JIS X 0212 tables, built once from the system's iconv "EUC-JP" converter
// (which holds both sets: JIS X 0212 as the three bytes 0x8F row cell).
#include "JisCodes.h"

#include <array>
#include <cstring>
#include <iconv.h>
#include <unordered_map>

namespace quire::jis {
namespace {

constexpr int kCells = 94;

// The characters whose JIS X 0208 code EUC-JP gives to another character (U+2014 is EUC-JP's
// U+2015), or that input methods give in place of code page 932's own: their codes as code
// page 932 has them.
constexpr std::pair<char32_t, int> kNearForms[] = {
    {0x301C, 0x2141}, {0x2212, 0x215D}, {0x2016, 0x2142}, {0x00A2, 0x2171},
    {0x00A3, 0x2172}, {0x00AC, 0x224C}, {0x2014, 0x213D},
};

// Decodes In (EUC-JP bytes) to one UTF-32 character, or 0.
char32_t decode(iconv_t cd, const char* in, std::size_t n) {
    char buffer[4];
    std::memcpy(buffer, in, n);
    char* inp = buffer;
    char32_t out = 0;
    char* outp = reinterpret_cast<char*>(&out);
    std::size_t inLeft = n, outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &inp, &inLeft, &outp, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0 || outLeft != 0)
        return 0;
    return out;
}

struct TTables {
    std::array<char32_t, kCells * kCells> From0212{};
    std::unordered_map<char32_t, uint16_t> To0212;
    std::unordered_map<char32_t, uint16_t> To0208;

    TTables() {
        iconv_t cd = iconv_open("UTF-32LE", "EUC-JP");
        if (cd == reinterpret_cast<iconv_t>(-1)) return;
        for (int row = 0; row < kCells; ++row) {
            for (int cell = 0; cell < kCells; ++cell) {
                const int code = (row + 0x21) << 8 | (cell + 0x21);
                const char pair[3] = {static_cast<char>(0x8F), static_cast<char>(row + 0xA1),
                                      static_cast<char>(cell + 0xA1)};
                if (const char32_t ch = decode(cd, pair + 1, 2)) To0208.emplace(ch, code);
                if (const char32_t ch = decode(cd, pair, 3)) {
                    From0212[static_cast<std::size_t>(row * kCells + cell)] = ch;
                    To0212.emplace(ch, code);
                }
            }
        }
        iconv_close(cd);
        for (const auto& [ch, code] : kNearForms) To0208[ch] = static_cast<uint16_t>(code);
    }
};

const TTables& tables() {
    static const TTables t;
    return t;
}

int find(const std::unordered_map<char32_t, uint16_t>& map, char32_t ch) {
    const auto it = map.find(ch);
    return it == map.end() ? -1 : it->second;
}

} // namespace

char32_t CharOf0212(int code) noexcept {
    const unsigned row = static_cast<unsigned>((code >> 8) - 0x21), cell = static_cast<unsigned>((code & 0xFF) - 0x21);
    if (row >= kCells || cell >= kCells) return 0;
    return tables().From0212[row * kCells + cell];
}

int Code0212Of(char32_t ch) noexcept { return find(tables().To0212, ch); }

int Code0208Of(char32_t ch) noexcept { return find(tables().To0208, ch); }

} // namespace quire::jis
