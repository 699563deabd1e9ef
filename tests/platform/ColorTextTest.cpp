// The text form of colours in the settings file.
#include "ColorText.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <random>

using quire::ColorToString;
using quire::StringToColor;

TEST(ColorText, RedReadsTheSameInEveryForm) {
    for (const char* text : {"$000000FF", "clRed", "255", "CLRED", "clred", "$ff", " 255 "})
        EXPECT_EQ(StringToColor(QString::fromLatin1(text)), std::optional<uint32_t>(0x0000FF)) << text;
}

TEST(ColorText, NamedColoursAreWrittenByNameAndReadBack) {
    const std::pair<const char*, uint32_t> named[] = {
        {"clBlack", 0x000000},    {"clMaroon", 0x000080},       {"clGreen", 0x008000},        {"clOlive", 0x008080},
        {"clNavy", 0x800000},     {"clPurple", 0x800080},       {"clTeal", 0x808000},         {"clGray", 0x808080},
        {"clSilver", 0xC0C0C0},   {"clRed", 0x0000FF},          {"clLime", 0x00FF00},         {"clYellow", 0x00FFFF},
        {"clBlue", 0xFF0000},     {"clFuchsia", 0xFF00FF},      {"clAqua", 0xFFFF00},         {"clWhite", 0xFFFFFF},
        {"clWindow", 0x80000005}, {"clWindowText", 0x80000008}, {"clBackground", 0x80000001}, {"clBtnFace", 0x8000000F},
        {"clNone", 0x1FFFFFFF},
    };
    for (const auto& [name, value] : named) {
        EXPECT_EQ(ColorToString(value), QString::fromLatin1(name));
        EXPECT_EQ(StringToColor(QString::fromLatin1(name)), std::optional<uint32_t>(value)) << name;
    }
}

TEST(ColorText, OtherColoursAreWrittenAsEightUpperCaseHexDigits) {
    EXPECT_EQ(ColorToString(0x00ABCDEF), QStringLiteral("$00ABCDEF"));
    EXPECT_EQ(ColorToString(0x00000001), QStringLiteral("$00000001"));
    EXPECT_EQ(ColorToString(0x80000063), QStringLiteral("$80000063"));
    EXPECT_EQ(ColorToString(0xFFFFFFFF), QStringLiteral("$FFFFFFFF"));
}

TEST(ColorText, NumbersAtTheEdgesOfThirtyTwoBits) {
    EXPECT_EQ(StringToColor("4294967295"), std::optional<uint32_t>(0xFFFFFFFF));
    EXPECT_EQ(StringToColor("-2147483647"), std::optional<uint32_t>(0x80000001)); // clBackground
    EXPECT_EQ(StringToColor("-2147483648"), std::optional<uint32_t>(0x80000000));
    EXPECT_EQ(StringToColor("$FFFFFFFF"), std::optional<uint32_t>(0xFFFFFFFF));
    EXPECT_EQ(StringToColor("0"), std::optional<uint32_t>(0));
}

TEST(ColorText, TextThatIsNoColourIsRefused) {
    for (const char* text : {"", "$", "$123456789", "red", "clRedd", "12abc", "$12G4", "$ 12", "$-1", "0x0000FF",
                             "4294967296", "-2147483649", "1.5", "$+1"})
        EXPECT_EQ(StringToColor(QString::fromLatin1(text)), std::nullopt) << text;
}

TEST(ColorText, EveryWrittenColourReadsBackAsItself) {
    std::mt19937 random(15);
    std::vector<uint32_t> values = {0,          1,          0xFFFFFF,   0x1000000, 0x7FFFFFFF,
                                    0x80000000, 0x80000018, 0x80000019, 0xFFFFFFFF};
    for (int i = 0; i < 2000; ++i) values.push_back(static_cast<uint32_t>(random()));
    for (int i = 0; i < 200; ++i) values.push_back(static_cast<uint32_t>(random()) & 0xFFFFFF);
    for (const uint32_t v : values) {
        const QString text = ColorToString(v);
        EXPECT_EQ(StringToColor(text), std::optional<uint32_t>(v)) << text.toStdString();
        if (text.startsWith(QLatin1Char('$'))) {
            EXPECT_EQ(text, text.toUpper());
        }
    }
}
