// UTF-16 detection and the conversion of UTF-16 text to and from Shift_JIS rows.
#include "Utf16Codec.h"
#include "Cp932Codec.h"
#include "OutsideCharTable.h"

#include <QString>
#include <gtest/gtest.h>

using namespace quire;

namespace {

// The UTF-16 bytes of Text in either order.
std::string units(const QString& text, bool big) {
    std::string out;
    for (const QChar c : text) {
        const char hi = static_cast<char>(c.unicode() >> 8), lo = static_cast<char>(c.unicode() & 0xFF);
        out += big ? hi : lo;
        out += big ? lo : hi;
    }
    return out;
}

} // namespace

TEST(Utf16Detection, TheByteOrderMarkOrNulBytesThatLeaveNoDoubt) {
    struct TCase {
        std::string Bytes;
        bool Utf16, Big, Bom;
    };
    const QString ascii = QStringLiteral("plain text\r\n");
    const QString japanese = QStringLiteral("日本語　一二三のテキスト");
    const TCase cases[] = {
        {"\xFF\xFE" + units(japanese, false), true, false, true},
        {"\xFE\xFF" + units(japanese, true), true, true, true},
        {units(ascii + japanese, false), true, false, false},
        {units(ascii + japanese, true), true, true, false},
        {units(japanese, false), false, false, false},                           // no NUL byte: nothing is certain
        {units(ascii, false) + "x", false, false, false},                        // an odd length
        {std::string("\x01\x00\x02\x00\x00\x03", 6), false, false, false},       // control units
        {units(ascii, false) + std::string("\x00\xDC", 2), false, false, false}, // a lone low surrogate
        {std::string("a\0b\0\0c\0d", 8), false, false, false},                   // NULs at both places alike
        {"plain ASCII", false, false, false},
    };
    for (const TCase& c : cases) {
        const utf16::TKind k = utf16::Detect(c.Bytes);
        EXPECT_EQ(k.Utf16, c.Utf16) << testing::PrintToString(c.Bytes);
        if (c.Utf16) {
            EXPECT_EQ(k.BigEndian, c.Big) << testing::PrintToString(c.Bytes);
            EXPECT_EQ(k.Bom, c.Bom) << testing::PrintToString(c.Bytes);
        }
    }
}

TEST(Utf16Conversion, PiecesNeverCutAPairAndGiveTheWholeConversion) {
    const QString text = QStringLiteral("日本 é 😀 〜 𠮷 \uE000 abc\r\n");
    for (const bool big : {false, true}) {
        const std::string bytes = units(text, big);
        TOutsideCharTable wholeTable;
        utf16::ReserveOwnCodes(bytes, big, wholeTable);
        utf16::TToShiftJis r;
        std::string whole(utf16::MaxShiftJisSize(bytes.size()), '\0');
        whole.resize(utf16::ConvertPiece(bytes, big, wholeTable, whole.data(), r));
        EXPECT_EQ(r.Invalid + r.Unkept, 0u);
        EXPECT_EQ(whole.substr(0, 4), "\x93\xFA\x96\x7B"); // 日本 take their code page 932 codes
        EXPECT_EQ(whole.substr(whole.size() - 8), std::string("\xF0\x40 abc\r\n")); // U+E000 keeps its own
        for (std::size_t step = 4; step <= 9; ++step) {
            TOutsideCharTable table;
            utf16::ReserveOwnCodes(bytes, big, table);
            std::string pieces;
            for (std::string_view rest = bytes; !rest.empty();) {
                const std::size_t end = utf16::PieceEnd(rest, step, big);
                ASSERT_GT(end, 0u) << step;
                char buffer[32];
                pieces.append(buffer, utf16::ConvertPiece(rest.substr(0, end), big, table, buffer, r));
                rest.remove_prefix(end);
            }
            EXPECT_EQ(pieces, whole) << "pieces of " << step;
            std::string back;
            EXPECT_EQ(utf16::FromShiftJis(pieces, &table, big, back), 0u);
            EXPECT_EQ(back, bytes) << "pieces of " << step;
        }
    }
}

TEST(Utf16Conversion, WhatCannotBeKept) {
    TOutsideCharTable table;
    utf16::TToShiftJis r;
    const std::string odd =
        units(QStringLiteral("a"), false) + std::string("\x00\xD8", 2) + units(QStringLiteral("b"), false) + "z";
    char out[16];
    const std::size_t n = utf16::ConvertPiece(odd, false, table, out, r);
    EXPECT_EQ(r.Invalid, 2u); // the lone high surrogate and the last odd byte
    EXPECT_EQ(std::string(out, n), "a\x81\xAC"
                                   "b");
    // A raw byte of a table (from a UTF-8 file) and bytes that are no character become U+FFFD.
    const int raw = table.CodeOf(TOutsideCharTable::RawByteBase + 0x80);
    const std::string sjis = {static_cast<char>(raw >> 8), static_cast<char>(raw & 0xFF), '\x80'};
    std::string back;
    EXPECT_EQ(utf16::FromShiftJis(sjis, &table, false, back), 2u);
    EXPECT_EQ(back, units(QStringLiteral("\uFFFD\uFFFD"), false));
}
