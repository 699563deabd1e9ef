// UTF-8 detection and the conversion of UTF-8 text to and from Shift_JIS rows with a table of
// the characters code page 932 lacks.
#include "Utf8Codec.h"
#include "Cp932Codec.h"
#include "OutsideCharTable.h"

#include <QStringDecoder>
#include <gtest/gtest.h>
#include <random>

using namespace quire;

namespace {

std::string u8(const char8_t* s) { return std::string(reinterpret_cast<const char*>(s)); }

std::string toSjis(std::string_view utf8, TOutsideCharTable& table, std::size_t* unkept = nullptr) {
    std::string out;
    const utf8::TToShiftJis r = utf8::ToShiftJis(utf8, table, out);
    if (unkept) *unkept = r.Unkept;
    return out;
}

std::string toUtf8(std::string_view sjis, const TOutsideCharTable& table) {
    std::string out;
    const utf8::TFromShiftJis r = utf8::FromShiftJis(sjis, &table, out);
    EXPECT_EQ(r.Lost, 0u) << "first lost at " << r.FirstLost;
    return out;
}

int codeAt(std::string_view sjis, std::size_t i) {
    return static_cast<unsigned char>(sjis[i]) << 8 | static_cast<unsigned char>(sjis[i + 1]);
}

// The reference for validity: Qt's strict decoder.
bool qtValid(std::string_view s) {
    QStringDecoder d(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = d(QByteArrayView(s.data(), static_cast<qsizetype>(s.size())));
    return !d.hasError();
}

} // namespace

TEST(Utf8Detection, TellsUtf8FromTheJapaneseCodesAndAscii) {
    EXPECT_TRUE(utf8::IsUtf8File(u8(u8"日本語のテキスト\r\n")));
    EXPECT_TRUE(utf8::IsUtf8File(u8(u8"caf\u00e9")));
    EXPECT_TRUE(utf8::IsUtf8File("\xEF\xBB\xBF")); // a BOM alone
    EXPECT_TRUE(utf8::IsUtf8File("\xEF\xBB\xBF"
                                 "abc\x82\xA0")); // a BOM decides, whatever follows
    EXPECT_FALSE(utf8::IsUtf8File("plain ascii\r\n"));
    EXPECT_FALSE(utf8::IsUtf8File(""));
    EXPECT_FALSE(utf8::IsUtf8File("\x93\xFA\x96\x7B\x8C\xEA")); // 日本語 in Shift_JIS
    EXPECT_FALSE(utf8::IsUtf8File("\xC6\xFC\xCB\xDC\xB8\xEC")); // 日本語 in EUC
    EXPECT_FALSE(utf8::IsUtf8File("\x1B$B%F%9%H\x1B(B"));       // JIS is ASCII bytes
}

TEST(Utf8Detection, RejectsEveryMalformedSequence) {
    const char* bad[] = {
        "a\x80",    // a stray continuation byte
        "\xC3",     // cut short at the end
        "\xE6\x97", // cut short
        ("\xE6\x97"
         "a"),              // continuation missing
        "\xC0\x80",         // overlong NUL
        "\xC1\xBF",         // overlong
        "\xE0\x80\xAF",     // overlong
        "\xF0\x80\x80\xAF", // overlong
        "\xED\xA0\x80",     // a surrogate
        "\xF4\x90\x80\x80", // past U+10FFFF
        "\xF5\x80\x80\x80",
        "\xFF",
    };
    for (const char* b : bad) {
        EXPECT_FALSE(utf8::IsValid(b)) << b;
        EXPECT_FALSE(qtValid(b)) << "the reference disagrees on " << b;
    }
    EXPECT_TRUE(utf8::IsValid("\xED\x9F\xBF"));     // U+D7FF, just below the surrogates
    EXPECT_TRUE(utf8::IsValid("\xF4\x8F\xBF\xBF")); // U+10FFFF
}

TEST(Utf8Detection, AgreesWithAStrictDecoderOnRandomBytes) {
    // Random strings built from pieces of valid and broken sequences, around every boundary.
    const std::vector<std::string> pieces = {"a",        "\n",       "\xC3\xA9", "\xE3\x81\x82", "\xF0\x9F\x98\x80",
                                             "\x80",     "\xBF",     "\xC0",     "\xC2",         "\xE0",
                                             "\xE0\xA0", "\xED",     "\xED\x9F", "\xEF\xBF",     "\xF0",
                                             "\xF4\x8F", "\xF4\x90", "\xFE",     "abcdefgh"};
    std::mt19937 rng(7);
    for (int n = 0; n < 20000; ++n) {
        std::string s;
        const int count = static_cast<int>(rng() % 12);
        for (int k = 0; k < count; ++k) s += pieces[rng() % pieces.size()];
        ASSERT_EQ(utf8::IsValid(s), qtValid(s)) << "seed step " << n;
    }
}

TEST(Utf8Conversion, ExactCharactersTakeTheirCodesAndTheOthersTableCodes) {
    TOutsideCharTable table;
    const std::string sjis = toSjis(u8(u8"日本\uFF5E\u301C\u00E9"), table);
    ASSERT_EQ(sjis.size(), 10u);
    EXPECT_EQ(codeAt(sjis, 0), 0x93FA);
    EXPECT_EQ(codeAt(sjis, 2), 0x967B);
    EXPECT_EQ(codeAt(sjis, 4), 0x8160); // ～ U+FF5E is what 0x8160 decodes to
    // 〜 U+301C and é have no exact code: not the best-fit 0x8160, but codes of the table.
    EXPECT_TRUE(TOutsideCharTable::IsUserDefined(codeAt(sjis, 6)));
    EXPECT_TRUE(TOutsideCharTable::IsUserDefined(codeAt(sjis, 8)));
    EXPECT_NE(codeAt(sjis, 6), codeAt(sjis, 8));
    EXPECT_EQ(table.CharOf(codeAt(sjis, 6)), U'\u301C');
    EXPECT_EQ(table.CharOf(codeAt(sjis, 8)), U'\u00E9');
    EXPECT_EQ(table.Size(), 2u);
}

TEST(Utf8Conversion, EveryFileOfTheCorpusComesBackByteForByte) {
    const std::vector<std::string> corpus = {
        "",
        "plain ASCII\r\nwith lines\n",
        u8(u8"日本語のテキスト、「かぎ」。ｶﾀｶﾅ\r\n"),
        u8(u8"caf\u00e9 na\u00efve \u00c5ngstr\u00f6m \u00a5 \\ \u203e"),
        u8(u8"emoji \U0001F600\U0001F44D and 𠮷野家, 한국어, \u4E02"),
        "\xEF\xBB\xBF" + u8(u8"BOM の付いたファイル\n"),
        u8(u8"波 〜 と ～, − and －, ‖ ∥, ¢ ￠, £ ￡, ¬ ￢, — ―"),
        u8(u8"私用 \uE000 \uE757 \uF8FF mixed with é"),
        u8(u8"\uFEFF in the middle, U+0080 \u0080, NUL-free controls \x01\x1a\x7f"),
        "not UTF-8 at all \x82\xA0\xFF\xC3 but kept",
    };
    for (const std::string& file : corpus) {
        TOutsideCharTable table;
        const std::string sjis = toSjis(file, table);
        EXPECT_EQ(toUtf8(sjis, table), file);
    }
}

TEST(Utf8Conversion, TheFilesOwnUserDefinedCharactersKeepTheirCodes) {
    // U+E757 has the area's last code 0xF9FC, which the table would give first.
    TOutsideCharTable table;
    const std::string sjis = toSjis(u8(u8"\u00E9\uE757\uE000"), table);
    ASSERT_EQ(sjis.size(), 6u);
    EXPECT_EQ(codeAt(sjis, 2), 0xF9FC);
    EXPECT_EQ(codeAt(sjis, 4), 0xF040);
    EXPECT_EQ(codeAt(sjis, 0), 0xF9FB);
    EXPECT_EQ(table.CharOf(0xF9FC), 0u);
    // Typed later, a user-defined character whose code the table has given away takes
    // another code, and still comes back as itself.
    TOutsideCharTable typed;
    const int e = cp932::CodeFor(U'\u00E9', typed);
    ASSERT_EQ(e, 0xF9FC);
    const int pua = cp932::CodeFor(U'\uE757', typed);
    EXPECT_NE(pua, 0xF9FC);
    EXPECT_EQ(typed.CharOf(pua), U'\uE757');
}

TEST(Utf8Conversion, AFullTableKeepsWhatFitsAndCountsTheRest) {
    std::string file;
    for (char32_t c = 0x10000; c < 0x10000 + TOutsideCharTable::Capacity + 3; ++c) utf8::AppendChar(file, c);
    utf8::AppendChar(file, U'\uE000'); // reserves one code more
    TOutsideCharTable table;
    std::size_t unkept = 0;
    const std::string sjis = toSjis(file, table, &unkept);
    EXPECT_EQ(table.Size(), std::size_t(TOutsideCharTable::Capacity - 1));
    EXPECT_EQ(unkept, 4u);
    EXPECT_EQ(codeAt(sjis, sjis.size() - 4), 0x81AC);
    EXPECT_EQ(codeAt(sjis, sjis.size() - 2), 0xF040);
}

TEST(Utf8Conversion, BytesThatAreNoCharacterAreCountedOnTheWayOut) {
    TOutsideCharTable table;
    std::string out;
    const utf8::TFromShiftJis r = utf8::FromShiftJis(std::string("ab\x80"
                                                                 "c\x81",
                                                                 5),
                                                     &table, out);
    EXPECT_EQ(r.Lost, 2u);
    EXPECT_EQ(r.FirstLost, 2u);
    EXPECT_EQ(out, u8(u8"ab\uFFFDc\uFFFD"));
}

TEST(OutsideCharTable, SlotsAreTheUserDefinedCodesInOrder) {
    for (int slot = 0; slot < TOutsideCharTable::Capacity; ++slot) {
        const int code = TOutsideCharTable::CodeOfSlot(slot);
        ASSERT_EQ(TOutsideCharTable::SlotOf(code), slot);
        ASSERT_EQ(cp932::DecodeChar(static_cast<unsigned char>(code >> 8), static_cast<unsigned char>(code)),
                  char16_t(0xE000 + slot))
            << std::hex << code;
    }
    EXPECT_FALSE(TOutsideCharTable::IsUserDefined(0xF07F));
    EXPECT_FALSE(TOutsideCharTable::IsUserDefined(0xEFFC));
    EXPECT_FALSE(TOutsideCharTable::IsUserDefined(0xFA40));
    EXPECT_FALSE(TOutsideCharTable::IsUserDefined(0xF03F));
}

// A table made again from its entries gives every code the same character, refuses what would
// break its invariants, and gives the next new character the code the first would have given.
TEST(OutsideCharTable, EntriesMakeTheSameTableAgain) {
    TOutsideCharTable first;
    first.Reserve(0xF9FB);
    for (char32_t ch : {U'é', U'😀', U'〜'}) first.CodeOf(ch);
    TOutsideCharTable again;
    for (const auto& [code, ch] : first.Entries()) EXPECT_TRUE(again.Put(code, ch)) << std::hex << code;
    EXPECT_EQ(again.Entries(), first.Entries());
    EXPECT_EQ(again.Size(), 3u);
    EXPECT_EQ(again.CodeOf(U'ñ'), first.CodeOf(U'ñ'));
    EXPECT_FALSE(again.Put(0xF9FB, U'x')); // reserved
    EXPECT_FALSE(again.Put(0xF040, U'é')); // é has a code
    EXPECT_FALSE(again.Put(0x8140, U'x')); // no user-defined code
    EXPECT_TRUE(again.Put(0xF040, U'x'));
    EXPECT_EQ(again.CharOf(0xF040), U'x');
}

TEST(OutsideCharTable, TextWithATableKeepsTypedCharactersAndShowsThem) {
    TOutsideCharTable table;
    const QString typed = QStringLiteral("日本 〜 é 😀 한");
    QString lost;
    const std::string bytes = cp932::FromUnicode(typed, &table, &lost);
    EXPECT_TRUE(lost.isEmpty()) << lost.toStdString();
    EXPECT_EQ(table.Size(), 4u);
    EXPECT_EQ(cp932::ToDisplay(bytes, &table), typed);
    EXPECT_EQ(cp932::ToUnicode(bytes, &table), typed);
    // Without the table the same text loses é, 😀 and 한, and 〜 takes its best-fit code.
    const std::string plain = cp932::FromUnicode(typed, &lost);
    EXPECT_EQ(lost, QStringLiteral("é😀한"));
    EXPECT_EQ(cp932::ToDisplay(plain), QStringLiteral("日本 ～ ? ? ?"));
}

TEST(Utf8Conversion, PiecesCutAnywhereGiveTheWholeConversion) {
    const std::string text = u8(u8"日本語 é 😀 〜 ～ 𠮷 \uE000") + "\xE3\x81" + u8(u8"abc") + "\xF0\x9F\x98\x80\x80\x80";
    TOutsideCharTable wholeTable;
    const std::string whole = toSjis(text, wholeTable);
    // Pieces of four bytes and more (a whole sequence always fits).
    for (std::size_t step = 4; step <= 13; ++step) {
        TOutsideCharTable table;
        utf8::ReserveOwnCodes(text, table);
        utf8::TToShiftJis r;
        std::string pieces;
        for (std::size_t i = 0; i < text.size();) {
            const std::size_t end = utf8::PieceEnd(std::string_view(text).substr(i), step);
            ASSERT_GT(end, 0u);
            char buffer[64];
            pieces.append(buffer, utf8::ConvertPiece(std::string_view(text).substr(i, end), table, buffer, r));
            i += end;
        }
        EXPECT_EQ(pieces, whole) << "pieces of " << step;
        EXPECT_EQ(toUtf8(pieces, table), text) << "pieces of " << step;
    }
}
