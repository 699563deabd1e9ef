// Kanji codes on files as they are found: JIS X 0212 and stray bytes in EUC, the forms a page's
// outside characters take in JIS and EUC, JIS's own ASCII escape, detection where the counts
// leave it open, and UTF-16.
#include "JisCodes.h"
#include "KanjiFile.h"
#include "OutsideCharTable.h"
#include "OutsideCodes.h"
#include "Utf16Codec.h"
#include "jconvert.h"
#include "nkf.h"

#include "../../bench/TextGenerator.h"

#include <QCoreApplication>
#include <gtest/gtest.h>
#include <iconv.h>
#include <random>

using namespace quire;
using namespace quire::jconvert;

namespace {

std::string u8(const char8_t* s) { return std::string(reinterpret_cast<const char*>(s)); }

// Converts In with the system's iconv; nullopt when it rejects any of it.
std::optional<std::string> systemConvert(const char* to, const char* from, const std::string& in) {
    iconv_t cd = iconv_open(to, from);
    std::string out(in.size() * 4 + 16, '\0');
    char* inp = const_cast<char*>(in.data());
    char* outp = out.data();
    size_t inLeft = in.size(), outLeft = out.size();
    const bool ok = iconv(cd, &inp, &inLeft, &outp, &outLeft) != static_cast<size_t>(-1);
    iconv_close(cd);
    if (!ok) return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

// Reads Bytes in Code as the editor does and writes the text back in the same code.
std::string roundTrip(const std::string& bytes, std::string_view code = {}) {
    const TKanjiText t = DecodeKanjiText(bytes, TConverter::BuiltIn, code);
    return EncodeCode(t.Text, t.KanjiCode, TConverter::BuiltIn, t.CharTable.get());
}

// EUC bytes that form whole characters only (ASCII, JIS X 0208 and JIS X 0212 pairs,
// half-width katakana after 0x8E).
bool validEuc(std::string_view s) {
    const auto eucByte = [](unsigned char c) { return c >= 0xA1 && c <= 0xFE; };
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const auto at = [&](std::size_t k) { return i + k < s.size() ? static_cast<unsigned char>(s[i + k]) : 0; };
        if (c < 0x80)
            i += 1;
        else if (c == 0x8E && at(1) >= 0xA1 && at(1) <= 0xDF)
            i += 2;
        else if (c == 0x8F && eucByte(at(1)) && eucByte(at(2)))
            i += 3;
        else if (eucByte(c) && eucByte(at(1)))
            i += 2;
        else
            return false;
    }
    return true;
}

} // namespace

// A dictionary's ō ū è ñ é ó in EUC are JIS X 0212 (0x8F and a pair): each reads as one
// character of the page's table, the ASCII around it stays, and the text saves as it was.
TEST(RealFiles, EucWithJisX0212CharactersComesBackByteForByte) {
    // (Japanese first: a 0x8F before any other byte above 0x7F makes the counts say Shift_JIS.)
    const std::string dictionary = u8(u8"東京 Tōkyō kyūri キュウリ crème piñata café canción\n");
    const std::optional<std::string> euc = systemConvert("EUC-JP", "UTF-8", dictionary);
    ASSERT_TRUE(euc);
    ASSERT_NE(euc->find('\x8F'), std::string::npos);
    const TKanjiText t = DecodeKanjiText(*euc, TConverter::BuiltIn);
    EXPECT_EQ(t.KanjiCode, kEucName);
    EXPECT_TRUE(t.KeepsBytes);
    ASSERT_TRUE(t.CharTable);
    EXPECT_EQ(t.CharTable->Size(), 6u); // ō ū è ñ é ó
    EXPECT_EQ(t.Text.substr(4, 2), "\x20T");
    EXPECT_EQ(t.Text.substr(8, 2), "ky"); // T ō ky: the k after a three-byte character stays
    EXPECT_TRUE(EncodeCode(t.Text, kEucName, TConverter::BuiltIn, t.CharTable.get()) == *euc);
    // Its characters are themselves in UTF-8 and UTF-16, as the system reads the EUC.
    EXPECT_EQ(EncodeCode(t.Text, kUtf8Name, TConverter::BuiltIn, t.CharTable.get()), dictionary);
    // Shift_JIS has none of them: the first is named, and each is written as "?".
    const TLostChar lost = FirstLostChar(t.Text, kShiftJisName, t.CharTable.get());
    EXPECT_EQ(lost.Offset, 6u);
    EXPECT_EQ(EncodeCode(t.Text, kShiftJisName, TConverter::BuiltIn, t.CharTable.get()).substr(4, 6), " T?ky?");
    EXPECT_TRUE(FirstLostChar(t.Text, kEucName, t.CharTable.get()).Bytes.empty());
    // The library knows no JIS X 0212: such a text goes to the built-in converters.
    nkf::Release();
    ASSERT_TRUE(nkf::Bind({QCoreApplication::applicationDirPath() + "/../bin"}));
    EXPECT_TRUE(DecodeKanjiText(*euc).Text == t.Text);
    nkf::Release();
}

// Every byte sequence an EUC file may hold comes back unchanged: a lone lead byte at the end,
// a lead byte before ASCII, bytes of no character, JIS X 0212 cells that the set leaves empty.
TEST(RealFiles, AnyEucBytesSaveBackAsTheyWere) {
    const std::string cases[] = {
        "end \xA4",         "\x8E",         "\xA4k", "\x8F\xAB\xB1k", "\x8F\xAB", "\x8F\xA1\xA1", "\x80\x81\xA0\xFF",
        "\x8E\x41\x8E\xE0", "\xB0\xA1\xA4", "a\x8F", "\xFE\xFE\xA1",
    };
    for (const std::string& bytes : cases) {
        const TKanjiText t = DecodeKanjiText(bytes, TConverter::BuiltIn, kEucName);
        EXPECT_TRUE(t.KeepsBytes) << testing::PrintToString(bytes);
        EXPECT_EQ(roundTrip(bytes, kEucName), bytes);
    }
    // Random bytes without NUL, read in pieces of every size by the streaming reader as well.
    std::mt19937 random(7);
    for (int n = 0; n < 300; ++n) {
        std::string bytes(random() % 40 + 1, ' ');
        for (char& c : bytes) c = static_cast<char>(random() % 2 ? 0xA1 + random() % 94 : random() % 255 + 1);
        if (n % 3 == 0) bytes[random() % bytes.size()] = '\x8F';
        EXPECT_EQ(roundTrip(bytes, kEucName), bytes) << n;
    }
}

// A UTF-8 page's 〜 − ‖ ¢ £ ¬ — are JIS X 0208 characters: saved as EUC or JIS they take those
// codes, and nothing is asked. A character with no form in JIS X 0208 (é) is named as lost for
// JIS and written as "?"; EUC holds it as JIS X 0212. No user-defined code is written as it is.
TEST(RealFiles, AUtf8PagesCharactersInEucAndJis) {
    const TKanjiText t = DecodeKanjiText(u8(u8"〜−‖¢£¬— é\n"), TConverter::BuiltIn);
    const std::string euc = EncodeCode(t.Text, kEucName, TConverter::BuiltIn, t.CharTable.get());
    EXPECT_EQ(euc, "\xA1\xC1\xA1\xDD\xA1\xC2\xA1\xF1\xA1\xF2\xA2\xCC\xA1\xBD \x8F\xAB\xB1\n");
    EXPECT_TRUE(FirstLostChar(t.Text, kEucName, t.CharTable.get()).Bytes.empty());
    const std::string jis = EncodeCode(t.Text, kJisName, TConverter::BuiltIn, t.CharTable.get());
    EXPECT_EQ(jis, "\x1B$B\x21\x41\x21\x5D\x21\x42\x21\x71\x21\x72\x22\x4C\x21\x3D\x1B(J ?\n");
    EXPECT_EQ(FirstLostChar(t.Text, kJisName, t.CharTable.get()).Offset, 15u);
    // The system reads them as these characters, except U+2014, which it calls U+2015.
    EXPECT_EQ(systemConvert("UTF-8", "EUC-JP", euc), u8(u8"〜−‖¢£¬― é\n"));
    // Shift_JIS: code page 932 writes the seven with its own codes.
    EXPECT_EQ(EncodeCode(t.Text, kShiftJisName, TConverter::BuiltIn, t.CharTable.get()),
              "\x81\x60\x81\x7C\x81\x61\x81\x91\x81\x92\x81\xCA\x81\x5C ?\n");
    // Codes from 0xF0 with no form: "?", never bytes that are no EUC or JIS.
    for (const char* text : {"\xF0\x40", "\xF9\xFC", "\xFC\x4B", "\x80", "a\x8A", "\x88\x20"}) {
        EXPECT_TRUE(validEuc(SjisToEuc(text))) << testing::PrintToString(SjisToEuc(text));
        const std::string j = SjisToJis(text);
        EXPECT_TRUE(std::none_of(j.begin(), j.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; }))
            << testing::PrintToString(j);
        EXPECT_NE(SjisToEuc(text).find('?'), std::string::npos);
    }
}

// An IBM extension of a Shift_JIS page that JIS X 0212 holds is written in EUC as that form,
// as the system's converter does it.
TEST(RealFiles, IbmExtensionsTakeTheirJisX0212Form) {
    const std::string sjis = "\xFA\x5C"; // 丨
    EXPECT_EQ(EncodeCode(sjis, kEucName, TConverter::BuiltIn, nullptr), systemConvert("EUC-JP", "CP932", sjis));
    EXPECT_EQ(EncodeCode(sjis, kJisName, TConverter::BuiltIn, nullptr), "?");
}

// A JIS file that returns to ASCII with ESC ( B keeps it; a new JIS file has ESC ( J.
TEST(RealFiles, JisKeepsItsOwnAsciiEscape) {
    const std::string withB = "man \x1B$B\x34\x41\x3B\x7A\x1B(B page\r\n\x1B$B\x24\x22\x1B(B\r\n";
    const TKanjiText t = DecodeKanjiText(withB, TConverter::BuiltIn);
    EXPECT_EQ(t.KanjiCode, kJisAsciiName);
    EXPECT_EQ(ShownCodeName(t.KanjiCode), "JIS");
    EXPECT_TRUE(EncodeCode(t.Text, t.KanjiCode) == withB);
    const std::string withJ = "\x1B$B\x34\x41\x1B(J\n";
    EXPECT_EQ(DecodeKanjiText(withJ).KanjiCode, kJisName);
    EXPECT_EQ(roundTrip(withJ), withJ);
    EXPECT_EQ(EncodeCode("\x8A\xBF", kJisName), "\x1B$B\x34\x41\x1B(J");
    EXPECT_EQ(GuessKanjiText(withB).KanjiCode, kJisAsciiName);
}

// Detection where the counts leave it open: one or two lines of ordinary Japanese in EUC are
// EUC; Shift_JIS that the counts cannot tell stays Shift_JIS; a manual page in JIS with a BEL
// before its first escape is JIS. What the counts decide is as it was.
TEST(RealFiles, DetectionWhereTheCountsLeaveItOpen) {
    struct TCase {
        std::string Utf8;
        const char* From; // the code the file is in
        int Counts;       // what the counts alone say
        int Detected;
    };
    const TCase cases[] = {
        {u8(u8"はい、そうです。"), "EUC-JP", kdEucOrSjis, kdEuc},
        {u8(u8"よろしくお願いいたします。\n"), "EUC-JP", kdEucOrSjis, kdEuc},
        {u8(u8"お世話になっております。\nこれはペンです。\n"), "EUC-JP", kdEucOrSjis, kdEuc},
        {u8(u8"ｶﾀｶﾅ"), "CP932", kdEucOrSjis, kdShiftJis},
        {u8(u8"ｱｲ"), "CP932", kdEucOrSjis, kdShiftJis},
        {u8(u8"漢字とかな"), "CP932", kdShiftJis, kdShiftJis},
        {u8(u8"日本語"), "EUC-JP", kdEuc, kdEuc},
    };
    for (const TCase& c : cases) {
        const std::string bytes = *systemConvert(c.From, "UTF-8", c.Utf8);
        EXPECT_EQ(DetectKanjiCode(bytes), c.Counts) << c.Utf8;
        EXPECT_EQ(DetectFileCode(bytes), c.Detected) << c.Utf8;
    }
    const std::string manual = "\x07"
                               "\x1B$B\x34\x41\x1B(B bell\n";
    EXPECT_EQ(DetectKanjiCode(manual), kdBinary);
    EXPECT_EQ(DetectFileCode(manual), kdJis);
    EXPECT_EQ(DetectFileCode(manual + '\xA4'), kdBinary);
    EXPECT_EQ(DetectFileCode(std::string("\x07\x1B$B\x34\x41\0\x1B(B", 9)), kdBinary);
    EXPECT_EQ(DetectFileCode("\x07 no escape"), kdBinary);
}

// UTF-16 files, little- and big-endian, with and without the byte order mark, come back byte
// for byte, characters beyond the BMP and outside code page 932 included.
TEST(RealFiles, Utf16FilesComeBackByteForByte) {
    const std::string text = u8(u8"UTF-16 の文書: é 😀 〜 𠮷\r\nline two\r\n");
    struct TCase {
        const char* Iconv;
        std::string_view Bom;
        const char* Code;
    };
    const TCase cases[] = {
        {"UTF-16LE", utf16::kBomLe, kUtf16LeName},
        {"UTF-16BE", utf16::kBomBe, kUtf16BeName},
        {"UTF-16LE", "", kUtf16LeNoBomName},
        {"UTF-16BE", "", kUtf16BeNoBomName},
    };
    for (const TCase& c : cases) {
        const std::string bytes = std::string(c.Bom) + *systemConvert(c.Iconv, "UTF-8", text);
        const TKanjiText t = DecodeKanjiText(bytes, TConverter::BuiltIn);
        EXPECT_EQ(t.KanjiCode, c.Code);
        EXPECT_EQ(t.Detection, kdUtf16) << c.Code;
        EXPECT_EQ(t.LineEndCode, std::optional<std::string>(kCrLfName)) << c.Code;
        EXPECT_TRUE(t.KeepsBytes) << c.Code;
        EXPECT_TRUE(EncodeCode(t.Text, t.KanjiCode, TConverter::BuiltIn, t.CharTable.get()) == bytes) << c.Code;
        EXPECT_EQ(EncodePage(t.Text, t.KanjiCode, kLfName, TConverter::BuiltIn, t.CharTable.get()),
                  std::string(c.Bom) + *systemConvert(c.Iconv, "UTF-8", u8(u8"UTF-16 の文書: é 😀 〜 𠮷\nline two\n")))
            << c.Code;
    }
}
