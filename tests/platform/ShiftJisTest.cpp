// Shift_JIS byte-string routines at character boundaries.
#include "ShiftJis.h"

#include <gtest/gtest.h>
#include <string>

using namespace quire::sjis;

namespace {
// "表" is 0x95 0x5C: its trail byte is "\". "ソ" is 0x83 0x5C. "ア" is 0x83 0x41: trail "A".
const std::string kHyo = "\x95\x5C";
const std::string kA = "\x83\x41";
} // namespace

TEST(ShiftJis, LeadByteSet) {
    int count = 0;
    for (int c = 0; c < 256; ++c) count += IsLeadByte(static_cast<unsigned char>(c)) ? 1 : 0;
    EXPECT_EQ(count, (0x9F - 0x81 + 1) + (0xFC - 0xE0 + 1));
    EXPECT_FALSE(IsLeadByte(static_cast<unsigned char>(0x80)));
    EXPECT_TRUE(IsLeadByte(static_cast<unsigned char>(0x81)));
    EXPECT_TRUE(IsLeadByte(static_cast<unsigned char>(0x9F)));
    EXPECT_FALSE(IsLeadByte(static_cast<unsigned char>(0xA0)));
    EXPECT_FALSE(IsLeadByte(static_cast<unsigned char>(0xDF)));
    EXPECT_TRUE(IsLeadByte(static_cast<unsigned char>(0xE0)));
    EXPECT_TRUE(IsLeadByte(static_cast<unsigned char>(0xFC)));
    EXPECT_FALSE(IsLeadByte(static_cast<unsigned char>(0xFD)));
}

TEST(ShiftJis, TrailByteThatLooksLikeAsciiIsATrailByte) {
    const std::string s = "a" + kHyo + "\\" + kA + "A";
    // 1-based: a=1, 0x95=2, 0x5C=3, "\"=4, 0x83=5, 0x41=6, "A"=7
    EXPECT_EQ(ByteType(s, 1), TMbcsByteType::mbSingleByte);
    EXPECT_EQ(ByteType(s, 2), TMbcsByteType::mbLeadByte);
    EXPECT_EQ(ByteType(s, 3), TMbcsByteType::mbTrailByte);
    EXPECT_EQ(ByteType(s, 4), TMbcsByteType::mbSingleByte);
    EXPECT_EQ(ByteType(s, 5), TMbcsByteType::mbLeadByte);
    EXPECT_TRUE(IsTrailByteAt(s, 6));
    EXPECT_FALSE(IsTrailByteAt(s, 7));
    EXPECT_FALSE(IsLeadByteAt(s, 3));
    // Outside the text: a single byte, never a crash.
    EXPECT_EQ(ByteType(s, 0), TMbcsByteType::mbSingleByte);
    EXPECT_EQ(ByteType(s, 99), TMbcsByteType::mbSingleByte);
}

TEST(ShiftJis, TrailBytesInTheLeadRangeFollowTheirLead) {
    // 0x81 0x81 is "＝": the second 0x81 is a trail byte; the third byte begins a character.
    const std::string s = "\x81\x81\x81\x40";
    EXPECT_TRUE(IsLeadByteAt(s, 1));
    EXPECT_TRUE(IsTrailByteAt(s, 2));
    EXPECT_TRUE(IsLeadByteAt(s, 3));
    EXPECT_TRUE(IsTrailByteAt(s, 4));
}

TEST(ShiftJis, CharCountsAndByteLengths) {
    const std::string s = "ab" + kHyo + "c" + kA;
    EXPECT_EQ(CharCount(s, 0), 0u);
    EXPECT_EQ(CharCount(s, 2), 2u);
    EXPECT_EQ(CharCount(s, 3), 3u); // the lead byte of 表 begins a character
    EXPECT_EQ(CharCount(s, 4), 3u);
    EXPECT_EQ(CharCount(s, s.size()), 5u);
    EXPECT_EQ(CharCount(s, 1000), 5u);
    EXPECT_EQ(CharsToBytes(s, 3), 4u);
    EXPECT_EQ(CharsToBytes(s, 5), s.size());
    EXPECT_EQ(CharsToBytes(s, 50), s.size());
    // A lone lead byte at the end is one character of one byte.
    EXPECT_EQ(CharLengthAt(std::string("a\x81"), 1), 1u);
}

TEST(ShiftJis, ContainsCharOnlyAtCharacterBoundaries) {
    const std::string rules = kHyo + kA + "!";
    EXPECT_TRUE(ContainsChar(rules, kHyo));
    EXPECT_TRUE(ContainsChar(rules, kA));
    EXPECT_TRUE(ContainsChar(rules, "!"));
    EXPECT_FALSE(ContainsChar(rules, "\\")); // the trail byte of 表
    EXPECT_FALSE(ContainsChar(rules, "A"));  // the trail byte of ア
    EXPECT_FALSE(ContainsChar(rules, "\x5C\x83"));
    EXPECT_FALSE(ContainsChar(rules, ""));
}

TEST(ShiftJis, SplitLinesAtEveryKindOfLineEnd) {
    using V = std::vector<std::string_view>;
    EXPECT_EQ(SplitLines("a\r\nb"), (V{"a", "b"}));
    EXPECT_EQ(SplitLines("a\r\n"), (V{"a"}));
    EXPECT_EQ(SplitLines("a\rb\nc"), (V{"a", "b", "c"}));
    EXPECT_EQ(SplitLines("a\n\rb"), (V{"a", "", "b"}));
    EXPECT_EQ(SplitLines("\r\n\r\n"), (V{"", ""}));
    EXPECT_EQ(SplitLines(""), V{});
    EXPECT_EQ(SplitLines("x"), V{"x"});
    // A trail byte is never a line end (none are CR or LF), so a kanji before CR stays whole.
    const std::string k = kHyo + "\r\n" + kA;
    EXPECT_EQ(SplitLines(k), (V{kHyo, kA}));
}

TEST(ShiftJis, LeadingBlankWidth) {
    EXPECT_EQ(LeadingBlankWidth(""), 0);
    EXPECT_EQ(LeadingBlankWidth("  a"), 2);
    EXPECT_EQ(LeadingBlankWidth("\x81\x40 a"), 3);
    EXPECT_EQ(LeadingBlankWidth("\t a"), 0);
    EXPECT_EQ(LeadingBlankWidth(" \x81"), 1); // a lone lead byte is no blank
}
