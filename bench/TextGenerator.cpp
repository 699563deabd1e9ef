// A deterministic generator of Japanese test text.
//
// Characters are chosen as JIS X 0208 row/cell pairs; the three codes are computed from the
// pair by arithmetic, so the generator needs no converter and the codes agree exactly.
#include "TextGenerator.h"

#include <algorithm>
#include <array>
#include <random>
#include <string>
#include <string_view>

namespace quire::bench {
namespace {

// A JIS X 0208 character as its row and cell (0x21-0x7E each), or an ASCII byte (row 0).
struct Char {
    uint8_t Row;
    uint8_t Cell;
};

class Writer {
public:
    Writer(GeneratedText& out, bool all) : out_(out), all_(all) {}

    void Put(Char c) {
        if (c.Row == 0) {
            out_.ShiftJis.push_back(static_cast<char>(c.Cell));
            if (all_) {
                out_.Euc.push_back(static_cast<char>(c.Cell));
                if (kanji_) {
                    out_.Jis += "\x1B(B";
                    kanji_ = false;
                }
                out_.Jis.push_back(static_cast<char>(c.Cell));
            }
            return;
        }
        // JIS row/cell to Shift_JIS.
        const int j1 = c.Row, j2 = c.Cell;
        const int s1 = ((j1 + 1) >> 1) + (j1 <= 0x5E ? 0x70 : 0xB0);
        const int s2 = (j1 & 1) ? j2 + (j2 <= 0x5F ? 0x1F : 0x20) : j2 + 0x7E;
        out_.ShiftJis.push_back(static_cast<char>(s1));
        out_.ShiftJis.push_back(static_cast<char>(s2));
        if (all_) {
            out_.Euc.push_back(static_cast<char>(j1 | 0x80));
            out_.Euc.push_back(static_cast<char>(j2 | 0x80));
            if (!kanji_) {
                out_.Jis += "\x1B$B";
                kanji_ = true;
            }
            out_.Jis.push_back(static_cast<char>(j1));
            out_.Jis.push_back(static_cast<char>(j2));
        }
    }
    void Ascii(std::string_view s) {
        for (char ch : s) Put({0, static_cast<uint8_t>(ch)});
    }
    void LineEnd() { Ascii("\r\n"); }
    std::size_t Size() const { return out_.ShiftJis.size(); }

private:
    GeneratedText& out_;
    bool all_;
    bool kanji_ = false;
};

constexpr std::array<std::string_view, 16> kWords = {"Quire", "editor", "text", "file", "line", "wrap",
                                                     "kanji", "code",   "undo", "redo", "row",  "save",
                                                     "open",  "find",   "tab",  "mode"};

// Full-width punctuation: 、。「」・ー！？（） as JIS cells of row 0x21.
constexpr std::array<uint8_t, 10> kPunct = {0x22, 0x23, 0x56, 0x57, 0x26, 0x3C, 0x2A, 0x29, 0x4A, 0x4B};

// A line comes out at most kLineSlack - 4 bytes longer than its target (an indent, the
// last characters added, the line end); kTailRoom leaves room for one such line.
constexpr std::size_t kLineSlack = 16;
constexpr std::size_t kTailRoom = 2 * kLineSlack;

void generate(GeneratedText& out, std::size_t size, uint32_t seed, bool all) {
    std::mt19937 rng(seed);
    Writer w(out, all);
    out.ShiftJis.reserve(size + 512);
    if (all) {
        out.Euc.reserve(size + 512);
        out.Jis.reserve(size + size / 4 + 512);
    }
    auto pick = [&](uint32_t n) { return static_cast<uint32_t>(rng() % n); };
    while (w.Size() < size) {
        // The text ends at exactly Size bytes: the lines near the end are made shorter, and the
        // last few bytes are a line of ASCII.
        const std::size_t left = size - w.Size();
        if (left <= kTailRoom) {
            w.Ascii(std::string(left < 2 ? left : left - 2, 'x'));
            if (left >= 2) w.LineEnd();
            break;
        }
        // Line length: mostly short to medium lines, now and then a long paragraph, sometimes empty.
        const uint32_t kind = pick(20);
        std::size_t target = kind == 0 ? 0 : kind < 16 ? 10 + pick(70) : 200 + pick(1800);
        target = std::min(target, left - kLineSlack);
        if (kind == 1) w.Ascii("  "); // an indented line
        const std::size_t start = w.Size();
        while (w.Size() - start < target) {
            const uint32_t what = pick(100);
            if (what < 35) { // kanji, level 1 (rows 0x30-0x4F)
                const int n = 1 + static_cast<int>(pick(4));
                for (int i = 0; i < n; ++i)
                    w.Put({static_cast<uint8_t>(0x30 + pick(0x1F)), static_cast<uint8_t>(0x21 + pick(0x5E))});
            } else if (what < 65) { // hiragana
                const int n = 1 + static_cast<int>(pick(6));
                for (int i = 0; i < n; ++i) w.Put({0x24, static_cast<uint8_t>(0x21 + pick(0x53))});
            } else if (what < 75) { // katakana
                const int n = 2 + static_cast<int>(pick(5));
                for (int i = 0; i < n; ++i) w.Put({0x25, static_cast<uint8_t>(0x21 + pick(0x56))});
            } else if (what < 85) { // punctuation
                w.Put({0x21, kPunct[pick(kPunct.size())]});
            } else if (what < 95) { // an ASCII word
                w.Ascii(kWords[pick(kWords.size())]);
                w.Ascii(" ");
            } else { // digits
                w.Ascii(std::to_string(pick(100000)));
            }
        }
        w.LineEnd();
    }
}

} // namespace

GeneratedText GenerateJapaneseText(std::size_t Size, uint32_t Seed) {
    GeneratedText out;
    generate(out, Size, Seed, true);
    return out;
}

std::string GenerateShiftJis(std::size_t Size, uint32_t Seed) {
    GeneratedText out;
    generate(out, Size, Seed, false);
    return std::move(out.ShiftJis);
}

} // namespace quire::bench
