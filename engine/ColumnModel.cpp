// The column model of a row.
#include "ColumnModel.h"

#include "ShiftJis.h"

namespace quire {

TDelimiters DefaultDelimiters() {
    TDelimiters d;
    auto range = [&d](int from, int to) {
        for (int c = from; c <= to; ++c) d.set(static_cast<size_t>(c));
    };
    range(0x00, 0x2F);
    range(0x3A, 0x40);
    range(0x5B, 0x5E);
    range(0x60, 0x60);
    range(0x7B, 0x80);
    range(0xA0, 0xA5);
    range(0xFD, 0xFF);
    return d;
}

namespace {
char singleByteCode(unsigned char c, const TColumnContext& C) {
    return static_cast<char>(C.Delimiters.test(c) ? TColumnCode::Delimiter : TColumnCode::Ordinary);
}
} // namespace

std::string ColumnAttributes(std::string_view S, const TColumnContext& C) {
    const std::size_t limit = C.WordWrap ? static_cast<std::size_t>(C.WrapByte) + 3 : 1000;
    std::string a;
    a.reserve(std::min(limit + 8, S.size() + 8));
    for (std::size_t i = 0; i < S.size() && a.size() < limit; ++i) {
        const auto c = static_cast<unsigned char>(S[i]);
        if (sjis::IsLeadByte(c)) {
            a.push_back(static_cast<char>(TColumnCode::Lead));
            a.push_back(static_cast<char>(TColumnCode::Trail));
            ++i; // the trail byte (a lone lead byte at the end still makes "45")
        } else if (c == '\t') {
            const int w = C.TabWidthAt(static_cast<int>(a.size()));
            a.push_back(singleByteCode(c, C));
            a.append(static_cast<std::size_t>(w - 1), static_cast<char>(TColumnCode::TabPad));
        } else {
            a.push_back(singleByteCode(c, C));
        }
    }
    return a;
}

int TextWidth(std::string_view S, const TColumnContext& C) {
    // The same walk as ColumnAttributes, so that a lone lead byte at the end counts two
    // columns in both.
    int col = 0;
    for (std::size_t i = 0; i < S.size(); ++i) {
        const auto c = static_cast<unsigned char>(S[i]);
        if (sjis::IsLeadByte(c)) {
            col += 2;
            ++i;
        } else if (c == '\t') {
            col += C.TabWidthAt(col);
        } else {
            col += 1;
        }
    }
    return col;
}

std::string DisplayText(std::string_view S, const TColumnContext& C) {
    if (S.find('\t') == std::string_view::npos) return std::string(S);
    std::string out;
    out.reserve(S.size() + 16);
    int col = 0;
    for (std::size_t i = 0; i < S.size(); ++i) {
        const auto c = static_cast<unsigned char>(S[i]);
        if (sjis::IsLeadByte(c) && i + 1 < S.size()) {
            out.append(S.substr(i, 2));
            col += 2;
            ++i;
        } else if (c == '\t') {
            const int w = C.TabWidthAt(col);
            out.append(static_cast<std::size_t>(w), ' ');
            col += w;
        } else {
            out.push_back(static_cast<char>(c));
            col += 1;
        }
    }
    return out;
}

} // namespace quire
