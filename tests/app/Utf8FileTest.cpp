// UTF-8 files read into a page's rows and written back: detection before the Japanese codes,
// every file of a corpus saved unchanged byte for byte, and what the other codes would lose.
#include "EditorScreenStrings.h"
#include "KanjiFile.h"
#include "OutsideCharTable.h"
#include "TestFiles.h"
#include "TextLoader.h"
#include "Utf8Codec.h"
#include "jconvert.h"

#include "../../bench/TextGenerator.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quire;
using namespace quire::jconvert;

namespace {

std::string u8(const char8_t* s) { return std::string(reinterpret_cast<const char*>(s)); }

std::string readFile(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll().toStdString();
}

// Opens Path as the editor does (straight into the rows) and saves the page unchanged, in
// its own code and line end, to Out.
TKanjiText openAndSave(const QString& path, const QString& out, std::string_view asCode = {}) {
    TEditorScreenStrings store;
    TKanjiText r;
    store.LoadText([&](TTextLoader& l) { r = ReadKanjiFile(path, l, TConverter::BuiltIn, asCode); });
    WritePage(store.GetTextStr(), r.KanjiCode, r.LineEndCode.value_or(kCrLfName), out, TConverter::BuiltIn,
              r.CharTable.get());
    return r;
}

// The corpus: each a file as a user may have it.
std::vector<std::string> corpus() {
    const std::string japanese = u8(u8"日本語の文章です。「かぎかっこ」、ｶﾀｶﾅ、ＡＢＣ、①と髙橋。\n");
    std::string big;
    while (big.size() < (3u << 20)) big += japanese + u8(u8"naïve café 😀 𠮷 한국어 〜～ −－ ‖∥ ¢£¬ —―\n");
    return {
        u8(u8"日本語だけのファイル\n二行目\n"),
        u8(u8"Accents: àéîõü ÀÉÎÕÜ ß Ø æ ñ ç, and ASCII\r\n"),
        u8(u8"Emoji 😀👍🏽🇯🇵 and CJK outside JIS X 0208: 𠮷 丂 丟 䨺 鿋\r\n"),
        "\xEF\xBB\xBF" + u8(u8"BOM 付きの UTF-8\r\n"),
        u8(u8"wave dashes 〜 and ～ side by side: 〜～〜\n"),
        u8(u8"no line end at all, 한글"),
        u8(u8"user-defined \uE000\uE001 beside é and \uE757\n"),
        big, // several read pieces
    };
}

} // namespace

TEST(Utf8File, DetectionComesBeforeTheJapaneseCodes) {
    const auto t = bench::GenerateJapaneseText(4000, 2);
    EXPECT_EQ(GuessKanjiText(u8(u8"日本語\n")).KanjiCode, kUtf8Name);
    EXPECT_EQ(GuessKanjiText("\xEF\xBB\xBFplain").KanjiCode, kUtf8BomName);
    EXPECT_EQ(GuessKanjiText("plain ASCII").KanjiCode, kShiftJisName);
    EXPECT_EQ(GuessKanjiText(t.ShiftJis).KanjiCode, kShiftJisName);
    EXPECT_EQ(GuessKanjiText(t.Euc).KanjiCode, kEucName);
    EXPECT_TRUE(IsJisName(GuessKanjiText(t.Jis).KanjiCode));
    EXPECT_EQ(DetectFileCode(u8(u8"é")), kdUtf8);
    EXPECT_EQ(DetectFileCode(t.Euc), kdEuc);
    // Valid except for one byte far into the file: not UTF-8.
    const std::string almost = std::string(2u << 20, 'a') + u8(u8"日本") + "\x82\xA0";
    EXPECT_EQ(DetectFileCode(almost), DetectKanjiCode(almost));
}

TEST(Utf8File, EveryFileOfTheCorpusSavesByteForByte) {
    QTemporaryDir dir;
    const std::vector<std::string> files = corpus();
    for (std::size_t i = 0; i < files.size(); ++i) {
        const QString in = quire::test::WriteTestFile(dir, QString("in%1.txt").arg(i), files[i]);
        const QString out = dir.filePath(QString("out%1.txt").arg(i));
        const TKanjiText r = openAndSave(in, out);
        EXPECT_TRUE(IsUtf8Name(r.KanjiCode)) << i << " read as " << r.KanjiCode;
        EXPECT_TRUE(r.KeepsBytes) << i;
        EXPECT_TRUE(readFile(out) == files[i]) << "file " << i << " changed on saving";
        // The decoding of the whole bytes agrees with the reading straight into rows.
        const TKanjiText whole = DecodeKanjiText(files[i], TConverter::BuiltIn);
        EXPECT_EQ(whole.KanjiCode, r.KanjiCode);
        EXPECT_TRUE(EncodeCode(whole.Text, whole.KanjiCode, TConverter::BuiltIn, whole.CharTable.get()) == files[i])
            << i;
    }
}

TEST(Utf8File, MixedLineEndsComeBackAsTheFirst) {
    QTemporaryDir dir;
    const QString in = quire::test::WriteTestFile(dir, "mixed.txt", u8(u8"一\r\n二\n三\r四"));
    const QString out = dir.filePath("out.txt");
    const TKanjiText r = openAndSave(in, out);
    EXPECT_EQ(r.LineEndCode, std::optional<std::string>(kCrLfName));
    EXPECT_EQ(readFile(out), u8(u8"一\r\n二\r\n三\r\n四"));
}

TEST(Utf8File, ReadingAgainAsUtf8KeepsEvenBytesThatAreNotUtf8) {
    QTemporaryDir dir;
    const std::string bytes = u8(u8"ok 日本 ") + "\x82\xA0\xFF" + u8(u8" é\n");
    const QString in = quire::test::WriteTestFile(dir, "odd.txt", bytes);
    const QString out = dir.filePath("out.txt");
    EXPECT_FALSE(IsUtf8Name(GuessKanjiText(bytes).KanjiCode));
    const TKanjiText r = openAndSave(in, out, kUtf8Name);
    EXPECT_EQ(r.KanjiCode, kUtf8Name);
    EXPECT_TRUE(r.KeepsBytes);
    EXPECT_TRUE(readFile(out) == bytes);
    // An empty file read as UTF-8 is a UTF-8 page with a table for what will be typed.
    const QString empty = quire::test::WriteTestFile(dir, "empty.txt", "");
    EXPECT_TRUE(openAndSave(empty, out, kUtf8Name).CharTable != nullptr);
}

TEST(Utf8File, AFileNeedingMoreCodesThanTheAreaHoldsDoesNotKeepItsBytes) {
    std::string file;
    for (char32_t c = 0x20000; c < 0x20000 + TOutsideCharTable::Capacity + 1; ++c) utf8::AppendChar(file, c);
    const TKanjiText r = DecodeKanjiText(file, TConverter::BuiltIn);
    EXPECT_EQ(r.Unkept, 1u);
    EXPECT_FALSE(r.KeepsBytes);
}

TEST(Utf8File, TheFirstCharacterEachCodeWouldLose) {
    const TKanjiText r = DecodeKanjiText(u8(u8"日本 é 😀\n"), TConverter::BuiltIn);
    const TLostChar sjis = FirstLostChar(r.Text, kShiftJisName, r.CharTable.get());
    EXPECT_EQ(sjis.Offset, 5u);
    ASSERT_EQ(sjis.Bytes.size(), 2u);
    EXPECT_EQ(r.CharTable->CharOf(static_cast<unsigned char>(sjis.Bytes[0]), static_cast<unsigned char>(sjis.Bytes[1])),
              U'\u00E9');
    EXPECT_EQ(FirstLostChar(r.Text, kJisName, r.CharTable.get()).Offset, 5u);
    EXPECT_EQ(FirstLostChar(r.Text, kEucName, r.CharTable.get()).Offset, 8u); // EUC holds é (JIS X 0212)
    EXPECT_TRUE(FirstLostChar(r.Text, kUtf8Name, r.CharTable.get()).Bytes.empty());
    // Without characters of the table, Shift_JIS loses nothing; UTF-8 loses a byte that is
    // no character.
    EXPECT_TRUE(FirstLostChar("\x93\xFA", kShiftJisName, r.CharTable.get()).Bytes.empty());
    EXPECT_EQ(FirstLostChar("ab\x80", kUtf8Name, nullptr).Offset, 2u);
}

TEST(Utf8File, SavedAsUtf8WithAndWithoutTheByteOrderMark) {
    const std::string sjis = "\x93\xFA\x96\x7B\r\n"; // 日本
    EXPECT_EQ(EncodePage(sjis, kUtf8Name, kLfName), u8(u8"日本\n"));
    EXPECT_EQ(EncodePage(sjis, kUtf8BomName, kCrLfName), "\xEF\xBB\xBF" + u8(u8"日本\r\n"));
}

// The file is read a megabyte at a time, and its first piece decides whether it may be UTF-8:
// a character cut by the end of a piece must not make it look invalid.
TEST(Utf8File, ACharacterCutByEveryPieceBoundaryAtEveryOffset) {
    QTemporaryDir dir;
    const std::string chars[] = {u8(u8"é"), u8(u8"日"), u8(u8"😀")};
    for (const std::string& ch : chars) {
        for (std::size_t before = 1; before < ch.size(); ++before) {
            // The character starts Before bytes ahead of each of the first three megabytes' ends.
            std::string file;
            for (std::size_t mib = 1; mib <= 3; ++mib) {
                file.resize((mib << 20) - before, 'a');
                file += ch;
            }
            file += "\n";
            const QString in = quire::test::WriteTestFile(dir, "cut.txt", file);
            const QString out = dir.filePath("out.txt");
            const TKanjiText r = openAndSave(in, out);
            EXPECT_EQ(r.KanjiCode, kUtf8Name) << ch.size() << "-byte character, " << before << " before the cut";
            EXPECT_TRUE(readFile(out) == file) << ch.size() << "-byte character, " << before << " before the cut";
        }
    }
}
