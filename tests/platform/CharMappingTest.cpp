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
    EXPECT_EQ(ToUpper(std::string("\xED\x40" "a\xFA\x5C")), "\xED\x40" "A\xFA\x5C");
    EXPECT_EQ(ToLower(std::string("\xED\x40" "A")), "\xED\x40" "a");
    // The small roman numeral one in both of its codes becomes the capital of row 13.
    EXPECT_EQ(ToUpper(std::string("\xEE\xEF\xFA\x40")), "\x87\x54\x87\x54");
    // A lead byte with a trail byte that makes no character is left as it is.
    EXPECT_EQ(ToUpper(std::string("\x85\x61")), "\x85\x61");
}
