// Case and width mapping of code page 932 text.
#include "CharMapping.h"
#include "Cp932Codec.h"

#include <gtest/gtest.h>

using namespace quire::cp932;

namespace {
std::string sj(const QString& s) { return FromUnicode(s); }
QString un(const std::string& s) { return ToUnicode(s); }
} // namespace

TEST(CharMapping, WidthSamples) {
    EXPECT_EQ(un(ToFullWidth(sj(QStringLiteral("ｶﾞ")))), QStringLiteral("ガ"));
    EXPECT_EQ(un(ToFullWidth(sj(QStringLiteral("ﾊﾟ")))), QStringLiteral("パ"));
    EXPECT_EQ(un(ToFullWidth(sj(QStringLiteral("ｳﾞ")))), QStringLiteral("ヴ"));
    EXPECT_EQ(un(ToFullWidth("A1 ")), QStringLiteral("Ａ１　"));
    EXPECT_EQ(un(ToHalfWidth(sj(QStringLiteral("ガパヴ")))), QStringLiteral("ｶﾞﾊﾟｳﾞ"));
    EXPECT_EQ(un(ToHalfWidth(sj(QStringLiteral("Ａ１　")))), QStringLiteral("A1 "));
    // Kanji and hiragana have no half-width form and stay.
    EXPECT_EQ(un(ToHalfWidth(sj(QStringLiteral("漢字ひらがなカナ")))), QStringLiteral("漢字ひらがなｶﾅ"));
}

TEST(CharMapping, WidthMappingHasNoLengthLimit) {
    QString big;
    for (int i = 0; i < 20000; ++i) big += QStringLiteral("ｶﾞＡ");
    const std::string full = ToFullWidth(sj(big));
    EXPECT_EQ(full.size(), 20000u * 4);
    EXPECT_EQ(ToHalfWidth(full), sj(QString(big).replace(QStringLiteral("Ａ"), QStringLiteral("A"))));
}

TEST(CharMapping, MappingNeverLosesText) {
    // A sound mark after a kana that has no voiced form stays a separate half-width mark;
    // invalid bytes pass through both mappings untouched.
    const std::string odd = sj(QStringLiteral("ｱﾞ")) + "\x80\xFF";
    const std::string full = ToFullWidth(odd);
    EXPECT_EQ(un(full).left(1), QStringLiteral("ア"));
    EXPECT_EQ(full.substr(full.size() - 2), "\x80\xFF");
    EXPECT_EQ(ToHalfWidth(std::string("\x80\xFF")), "\x80\xFF");
}

TEST(CharMapping, CaseMappingSkipsTrailBytes) {
    // "ア" is 0x83 0x41 (trail "A"), "ャ" is 0x83 0x61 (trail "a"): neither may change.
    const std::string s = "ab\x83\x41\x83\x61Z";
    EXPECT_EQ(ToUpper(s), "AB\x83\x41\x83\x61Z");
    EXPECT_EQ(ToLower(s), "ab\x83\x41\x83\x61z");
}

TEST(CharMapping, CaseMappingOfFullWidthAndGreek) {
    EXPECT_EQ(un(ToUpper(sj(QStringLiteral("ａｂｃαβ")))), QStringLiteral("ＡＢＣΑΒ"));
    EXPECT_EQ(un(ToLower(sj(QStringLiteral("ＡＢＣΑΒ")))), QStringLiteral("ａｂｃαβ"));
    EXPECT_EQ(ToUpper(std::string("\x80x")), "\x80X");
}

TEST(CharMapping, CaseMappingKeepsTheBytesOfCharactersWithoutACase) {
    // 纊 has an NEC-selected code (0xED40) and an IBM code (0xFA5C): it keeps the one it had.
    EXPECT_EQ(ToUpper(std::string("\xED\x40"
                                  "a\xFA\x5C")),
              "\xED\x40"
              "A\xFA\x5C");
    EXPECT_EQ(ToLower(std::string("\xED\x40"
                                  "A")),
              "\xED\x40"
              "a");
    // The small roman numeral one in both of its codes becomes the capital of row 13.
    EXPECT_EQ(ToUpper(std::string("\xEE\xEF\xFA\x40")), "\x87\x54\x87\x54");
    // A lead byte with a trail byte that makes no character is left as it is.
    EXPECT_EQ(ToUpper(std::string("\x85\x61")), "\x85\x61");
}

TEST(CharMapping, WidthMappingKeepsTheBytesOfCharactersWithoutAWidthPartner) {
    // 纊 has an NEC-selected code (0xED40) and an IBM code (0xFA5C): each keeps its own,
    // while the letters beside it change.
    EXPECT_EQ(ToHalfWidth(std::string("\xED\x40"
                                      "\x82\x60"
                                      "\xFA\x5C")),
              "\xED\x40"
              "A"
              "\xFA\x5C");
    EXPECT_EQ(ToFullWidth(std::string("\xED\x40"
                                      "A"
                                      "\xFA\x5C")),
              "\xED\x40"
              "\x82\x60"
              "\xFA\x5C");
    // The roman numeral one in the NEC row 13 (0x8754) and in the IBM rows (0xFA4A).
    EXPECT_EQ(ToFullWidth(std::string("\x87\x54\xFA\x4A")), "\x87\x54\xFA\x4A");
    EXPECT_EQ(ToHalfWidth(std::string("\x87\x54\xFA\x4A")), "\x87\x54\xFA\x4A");
    // A lead byte followed by a byte that makes no character with it stays whole.
    EXPECT_EQ(ToFullWidth(std::string("\x85\x41")), "\x85\x41");
    EXPECT_EQ(ToHalfWidth(std::string("\x85\x41")), "\x85\x41");
}

TEST(CharMapping, WidthMappingOfEveryCharacterRoundTripsOrStays) {
    // Every valid code: a character without a width partner comes back with its own bytes;
    // one with a partner goes there and back to a character of the same text.
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (lead > 0x9F && lead < 0xE0) continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (DecodeChar(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)) == 0) continue;
            const std::string ch{static_cast<char>(lead), static_cast<char>(trail)};
            const std::string half = ToHalfWidth(ch);
            if (half == ch) continue;
            EXPECT_EQ(un(ToFullWidth(half)), un(ch)) << std::hex << lead << trail;
        }
    }
    for (int b = 0x20; b < 0x7F; ++b) {
        const std::string ch(1, static_cast<char>(b));
        EXPECT_EQ(ToHalfWidth(ToFullWidth(ch)), ch) << b;
    }
}
