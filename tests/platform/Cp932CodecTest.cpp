// Conversion between code page 932 and UTF-16.
#include "Cp932Codec.h"
#include "Cp932Table.h"
#include "ShiftJis.h"

#include <gtest/gtest.h>
#include <iconv.h>
#include <random>

using namespace quire::cp932;

namespace {
std::string bytes(std::initializer_list<int> list) {
    std::string s;
    for (int b : list) s.push_back(static_cast<char>(b));
    return s;
}
} // namespace

TEST(Cp932Codec, DecodesJapaneseText) {
    // "日本語テキスト" plus ASCII and a half-width katakana.
    const std::string s = bytes({0x93, 0xFA, 0x96, 0x7B, 0x8C, 0xEA, 'a', 0xB1});
    EXPECT_EQ(ToUnicode(s), QStringLiteral("日本語aｱ"));
    EXPECT_EQ(FromUnicode(QStringLiteral("日本語aｱ")), s);
}

TEST(Cp932Codec, EveryValidDoubleByteCodeRoundTrips) {
    int valid = 0, userDefined = 0, twins = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!quire::sjis::IsLeadByte(static_cast<unsigned char>(lead))) continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            const std::string code = bytes({lead, trail});
            const char16_t u = DecodeChar(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail));
            const QString text = ToUnicode(code);
            if (u == 0) {
                // Not a character: both bytes survive the way back.
                EXPECT_EQ(FromUnicode(text), code) << std::hex << lead << " " << trail;
                continue;
            }
            ++valid;
            if (u >= 0xE000 && u <= 0xF8FF) ++userDefined;
            ASSERT_EQ(text.size(), 1);
            EXPECT_EQ(text[0].unicode(), u);
            bool lossy = true;
            const std::string back = FromUnicode(text, &lossy);
            EXPECT_FALSE(lossy);
            if (back != code) {
                // A twin (NEC/IBM): it must re-encode to a code that decodes to the same character.
                ++twins;
                ASSERT_EQ(back.size(), 2u);
                EXPECT_EQ(ToUnicode(back), text);
            }
        }
    }
    EXPECT_EQ(valid, 9604);
    EXPECT_EQ(userDefined, 1880);
    EXPECT_EQ(twins, 398);
}

TEST(Cp932Codec, InvalidBytesAreKeptAndShownAsReplacement) {
    const std::string s = bytes({'a', 0x80, 0xA0, 0xFD, 0xFE, 0xFF, 0x85, 0x40, 0x81, 0x0A, 'b', 0x81});
    const QString display = ToDisplay(s);
    // 0x85 0x40 is unassigned: 0x85 is shown as one replacement and 0x40 read alone as "@".
    EXPECT_EQ(display.count(QChar(0xFFFD)), 8);
    EXPECT_TRUE(display.contains(QLatin1Char('@')));
    EXPECT_TRUE(display.contains(QLatin1Char('\n'))); // a trail byte that is not one is read afresh
    EXPECT_EQ(FromUnicode(ToUnicode(s)), s);
    bool lossy = true;
    FromUnicode(ToUnicode(s), &lossy);
    EXPECT_FALSE(lossy);
}

TEST(Cp932Codec, ControlBytesStayAsTheyAre) {
    const std::string s = bytes({0x1A, 0x1C, 0x7F, 0x00, 0x5C, 0x7E});
    const QString u = ToUnicode(s);
    ASSERT_EQ(u.size(), 6);
    EXPECT_EQ(u[0].unicode(), 0x1A);
    EXPECT_EQ(u[2].unicode(), 0x7F);
    EXPECT_EQ(u[3].unicode(), 0x00);
    EXPECT_EQ(FromUnicode(u), s);
}

TEST(Cp932Codec, UnrepresentableCharactersBecomeQuestionMarksAndAreReported) {
    bool lossy = false;
    EXPECT_EQ(FromUnicode(QStringLiteral("aé😀b"), &lossy), "a??b");
    EXPECT_TRUE(lossy);
    EXPECT_EQ(FromUnicode(QString(QChar(0xD800)), &lossy), "?"); // a lone high surrogate
    EXPECT_TRUE(lossy);
    FromUnicode(QStringLiteral("plain"), &lossy);
    EXPECT_FALSE(lossy);
}

// True when S holds a valid double-byte code that re-encodes to its NEC/IBM twin.
static bool holdsTwin(const std::string& s) {
    for (size_t i = 0; i < s.size();) {
        const auto lead = static_cast<unsigned char>(s[i]);
        const auto trail = i + 1 < s.size() ? static_cast<unsigned char>(s[i + 1]) : 0;
        const char16_t u = quire::sjis::IsLeadByte(lead) ? DecodeChar(lead, trail) : 0;
        if (u != 0 && EncodeChar(u) != ((lead << 8) | trail)) return true;
        i += u != 0 ? 2 : 1;
    }
    return false;
}

TEST(Cp932Codec, RandomBytesNeverLoseAByte) {
    std::mt19937 rng(932);
    int tested = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string s(static_cast<size_t>(rng() % 40), '\0');
        for (char& c : s) c = static_cast<char>(rng() & 0xFF);
        if (holdsTwin(s)) continue; // a twin comes back as its other code by design
        ++tested;
        EXPECT_EQ(FromUnicode(ToUnicode(s)), s);
        EXPECT_LE(ToDisplay(s).size(), static_cast<qsizetype>(s.size()));
    }
    EXPECT_GT(tested, 2000);
}

TEST(Cp932Codec, AgreesWithTheSystemConverterOnTwins) {
    // The encoder must choose the same code as iconv for every character it knows.
    iconv_t cd = iconv_open("CP932", "UTF-16LE");
    ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
    int checked = 0;
    for (int u = 0x80; u < 0x10000; ++u) {
        if (u >= 0xD800 && u <= 0xDFFF) continue;
        const int ours = EncodeChar(static_cast<char16_t>(u));
        if (ours < 0x100) continue;
        char in[2] = {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
        char out[4];
        char* inp = in;
        char* outp = out;
        size_t inLeft = 2, outLeft = 4;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(iconv(cd, &inp, &inLeft, &outp, &outLeft), static_cast<size_t>(-1));
        ASSERT_EQ(4 - outLeft, 2u);
        const int theirs = (static_cast<unsigned char>(out[0]) << 8) | static_cast<unsigned char>(out[1]);
        EXPECT_EQ(ours, theirs) << std::hex << u;
        ++checked;
    }
    iconv_close(cd);
    EXPECT_GT(checked, 9000);
}

// What input methods and web pages give for code page 932's own wave dash, minus, double
// vertical line, cent, pound, not sign and em dash takes those codes; characters without a
// code become "?" and are named, each once.
TEST(Cp932Codec, InputMethodCharactersTakeTheirCodesAndTheRestAreNamed) {
    EXPECT_EQ(FromUnicode(QStringLiteral("\u301C\u2212\u2016\u00A2\u00A3\u00AC\u2014")),
              "\x81\x60\x81\x7C\x81\x61\x81\x91\x81\x92\x81\xCA\x81\x5C");
    // The code page's own characters for them decode as before.
    EXPECT_EQ(ToUnicode("\x81\x60"), QStringLiteral("\uFF5E"));
    QString lost;
    EXPECT_EQ(FromUnicode(QStringLiteral("a\u00E9b\U0001F600\uD55C\u00E9"), &lost), "a?b???");
    EXPECT_EQ(lost, QStringLiteral("\u00E9\U0001F600\uD55C"));
    bool lossy = false;
    FromUnicode(QStringLiteral("\u301C"), &lossy);
    EXPECT_FALSE(lossy);
}

TEST(Cp932Count, LeavesOutSpacesTabsFullWidthSpacesAndLineEnds) {
    using quire::cp932::CountCharacters;
    EXPECT_EQ(3, CountCharacters(quire::cp932::FromUnicode(QStringLiteral("あ a　b\t"))));
    EXPECT_EQ(0, CountCharacters(quire::cp932::FromUnicode(QStringLiteral(" \t　\r\n"))));
    EXPECT_EQ(0, CountCharacters(""));
    // Half-width kana and bytes that make no character count one each.
    EXPECT_EQ(4, CountCharacters("\xB6\xDE\x80\xFF"));
}

// The count is the number of UTF-16 units ToUnicode gives, but for the left-out ones; fed in
// pieces cut anywhere it is the same.
TEST(Cp932Count, CountsTheUnitsOfTheDecodedTextAlsoInPieces) {
    std::mt19937 rng(5);
    const unsigned char bytes[] = {0x81, 0x40, 0x82, 0xA0, 0x88, 0x9F, 0x85, 0x20, 0x09, 0x41, 0xB6, 0xFC, 0xFF, 0x80};
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        const int n = static_cast<int>(rng() % 40);
        for (int i = 0; i < n; ++i) text += static_cast<char>(bytes[rng() % sizeof bytes]);
        int64_t units = 0;
        for (const QChar c : quire::cp932::ToUnicode(text))
            units += c != QLatin1Char(' ') && c != QLatin1Char('\t') && c.unicode() != 0x3000;
        ASSERT_EQ(quire::cp932::CountCharacters(text), units) << "round " << round;
        quire::cp932::TCharCounter pieces;
        for (std::size_t at = 0; at < text.size();) {
            const std::size_t len = std::min<std::size_t>(text.size() - at, rng() % 4);
            pieces.Add(std::string_view(text).substr(at, len));
            at += len;
        }
        ASSERT_EQ(pieces.Finish(), units) << "round " << round;
    }
}
