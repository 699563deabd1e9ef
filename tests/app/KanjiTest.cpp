// Kanji code detection, the built-in converters, the outside library and reading and writing pages.
#include "Cp932Codec.h"
#include "InstalledDouble.h"
#include "KanjiFile.h"
#include "Messages.h"
#include "PlatformError.h"
#include "jconvert.h"
#include "nkf.h"

#include "../../bench/TextGenerator.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <iconv.h>

using namespace quire;
using namespace quire::jconvert;

namespace {

std::string iconvConvert(const char* to, const char* from, const std::string& in, bool* ok) {
    iconv_t cd = iconv_open(to, from);
    std::string out(in.size() * 4 + 16, '\0');
    char* inp = const_cast<char*>(in.data());
    char* outp = out.data();
    size_t inLeft = in.size(), outLeft = out.size();
    *ok = iconv(cd, &inp, &inLeft, &outp, &outLeft) != static_cast<size_t>(-1);
    iconv_close(cd);
    out.resize(out.size() - outLeft);
    return out;
}

// Records what the program tells the user.
class RecordedMessages : public test::TInstalledDouble<TMessageService, &SetMessages> {
public:
    void Show(const QString& Caption, const QString& Text, TMessageIcon) override {
        Shown.push_back(Caption + "|" + Text);
    }
    int Ask(const QString&, const QString&, int, int DefaultButton, TMessageIcon) override { return DefaultButton; }
    std::vector<QString> Shown;
};

QString binFolder() { return QCoreApplication::applicationDirPath() + "/../bin"; }
QString partialFolder() { return QCoreApplication::applicationDirPath() + "/nkf32-partial"; }

const std::string kKanji = "\x8A\xBF\x8E\x9A"; // 漢字

} // namespace

TEST(KanjiDetection, ResultsOfTheScan) {
    EXPECT_EQ(DetectKanjiCode("plain ascii\r\n"), kdAscii);
    EXPECT_EQ(DetectKanjiCode(""), kdAscii);
    EXPECT_EQ(DetectKanjiCode("\x1B$B"), kdJis);
    EXPECT_EQ(DetectKanjiCode("a\x1B$B\x30\x21\x1B(Bb"), kdJis);
    EXPECT_EQ(DetectKanjiCode("\x1B$@\x30\x21"), kdOldJis);
    EXPECT_EQ(DetectKanjiCode(kKanji + "\r\n"), kdShiftJis);
    EXPECT_EQ(DetectKanjiCode("\xB4\xC1\xBB\xFA\r\n"), kdEuc);   // 漢字 in EUC
    EXPECT_EQ(DetectKanjiCode("\xA4\xA2\xA4\xA4"), kdEucOrSjis); // あい in EUC: also valid half-width kana
    EXPECT_EQ(DetectKanjiCode("\xF0\xA1"), kdEuc);
    EXPECT_EQ(DetectKanjiCode("\xE0\x40"), kdShiftJis);
    EXPECT_EQ(DetectKanjiCode("\xE0\xFD"), kdEuc);
    EXPECT_EQ(DetectKanjiCode("\x8E\xA1\x8E\xA2"), kdEucOrSjis); // EUC half-width kana, or Shift-JIS
    EXPECT_EQ(DetectKanjiCode("\x8E\x40"), kdShiftJis);
    // After a half-width kana and 0xE0..0xEF: the bounds of the repeated scan.
    EXPECT_EQ(DetectKanjiCode(std::string("\xB1\xE0\x9C") + "x"), kdShiftJis);
    EXPECT_EQ(DetectKanjiCode(std::string("\xB1\xE0\x9D") + "x"), kdEucOrSjis); // 0x9D is above 0x9C
    EXPECT_EQ(DetectKanjiCode(std::string("\xB1\xE0\xFE") + "x"), kdEuc);
    EXPECT_EQ(DetectKanjiCode("\xB1\x9F"), kdShiftJis); // 0x9F bound in the rule after 0xA1..0xDF
    // The last byte is never looked at as a lead byte.
    EXPECT_EQ(DetectKanjiCode("abc\x81"), kdAscii);
}

TEST(KanjiDetection, BinaryWithinTheFirst512Bytes) {
    EXPECT_EQ(DetectKanjiCode(std::string("ab\x01"
                                          "cd",
                                          5)),
              kdBinary);
    EXPECT_EQ(DetectKanjiCode(std::string("ab\xFF"
                                          "cd")),
              kdBinary);
    std::string late(600, 'a');
    late[550] = '\x01';
    EXPECT_EQ(DetectKanjiCode(late), kdBinary); // found by the main scan instead
    std::string lastByte(100, 'a');
    lastByte.back() = '\x01';
    EXPECT_EQ(DetectKanjiCode(lastByte), kdAscii); // the last byte is excluded from both
}

TEST(KanjiDetection, GeneratedTextsInTheThreeCodes) {
    const auto t = bench::GenerateJapaneseText(200000, 7);
    EXPECT_EQ(DetectKanjiCode(t.ShiftJis), kdShiftJis);
    EXPECT_EQ(DetectKanjiCode(t.Euc), kdEuc);
    EXPECT_EQ(DetectKanjiCode(t.Jis), kdJis);
    EXPECT_TRUE(JisToSjis(t.Jis) == t.ShiftJis);
    EXPECT_TRUE(EucToSjis(t.Euc) == t.ShiftJis);
    EXPECT_TRUE(SjisToEuc(t.ShiftJis) == t.Euc);
}

TEST(KanjiDetection, GeneratedTextsHaveExactlyTheAskedSize) {
    // The benchmarks open a text of exactly the editor's limit: the size must be the one asked,
    // also where the last lines had to be cut short, and the three codes must still agree.
    for (const std::size_t size : {std::size_t(0), std::size_t(1), std::size_t(2), std::size_t(31), std::size_t(33),
                                   std::size_t(1000), std::size_t(65537)}) {
        for (const uint32_t seed : {1u, 2u, 3u}) {
            const auto t = bench::GenerateJapaneseText(size, seed);
            EXPECT_EQ(t.ShiftJis.size(), size) << "seed " << seed;
            EXPECT_TRUE(JisToSjis(t.Jis) == t.ShiftJis) << size << " seed " << seed;
            EXPECT_TRUE(EucToSjis(t.Euc) == t.ShiftJis) << size << " seed " << seed;
            EXPECT_EQ(bench::GenerateShiftJis(size, seed), t.ShiftJis);
        }
    }
}

TEST(LineEnds, DetectionAndConversion) {
    EXPECT_EQ(DetectLineEnd("no line end"), leNone);
    EXPECT_EQ(DetectLineEnd("a\r\nb\nc"), leCrLf);
    EXPECT_EQ(DetectLineEnd("a\nb\r\n"), leLf);
    EXPECT_EQ(DetectLineEnd("a\rb"), leCr);
    EXPECT_EQ(DetectLineEnd("a\r"), leCr);
    EXPECT_EQ(ConvertLineEnd("a\r\nb\r\n", leLf), "a\nb\n");
    EXPECT_EQ(ConvertLineEnd("a\r\nb\r\n", leCr), "a\rb\r");
    EXPECT_EQ(ConvertLineEnd("a\nb", leCrLf), "a\r\nb");
    EXPECT_EQ(ConvertLineEnd("a\r\nb", leCrLf), "a\r\nb");
    EXPECT_EQ(ConvertLineEnd("none", leLf), "none");
    // A lone CR in a CR LF text is not a CR LF: it stays, and so does the byte after it.
    EXPECT_EQ(ConvertLineEnd("a\r\nb\rc", leLf), "a\nb\rc");
}

TEST(KanjiPairs, EveryJisX0208CharacterRoundTrips) {
    int checked = 0;
    for (int a = 0x21; a <= 0x74; ++a) {
        for (int b = 0x21; b <= 0x7E; ++b) {
            const auto [s1, s2] = JisToSjisPair(static_cast<uint8_t>(a), static_cast<uint8_t>(b));
            const auto [j1, j2] = SjisToJisPair(s1, s2);
            ASSERT_EQ(j1, a);
            ASSERT_EQ(j2, b);
            const std::string sjis{static_cast<char>(s1), static_cast<char>(s2)};
            ASSERT_EQ(EucToSjis(SjisToEuc(sjis)), sjis);
            ASSERT_EQ(JisToSjis(SjisToJis(sjis)), sjis);
            const std::string jis{'\x1B', '$', 'B', static_cast<char>(a), static_cast<char>(b), '\x1B', '(', 'J'};
            ASSERT_EQ(SjisToJis(sjis), jis);
            ++checked;
        }
    }
    EXPECT_EQ(checked, 84 * 94);
}

TEST(KanjiPairs, OwnEucAgreesWithTheSystemConverter) {
    // Every character that the system's Shift_JIS and EUC-JP both define is converted alike.
    // The only disagreement allowed: none is expected, since both follow JIS X 0208.
    int agreed = 0;
    std::vector<std::string> disagreements;
    for (int a = 0x21; a <= 0x74; ++a) {
        for (int b = 0x21; b <= 0x7E; ++b) {
            const auto [s1, s2] = JisToSjisPair(static_cast<uint8_t>(a), static_cast<uint8_t>(b));
            const std::string sjis{static_cast<char>(s1), static_cast<char>(s2)};
            bool ok = false;
            const std::string theirs = iconvConvert("EUC-JP", "SHIFT_JIS", sjis, &ok);
            if (!ok) continue; // a cell neither defines
            if (theirs == SjisToEuc(sjis)) {
                ++agreed;
            } else {
                char buf[32];
                std::snprintf(buf, sizeof buf, "%02X%02X", a, b);
                disagreements.push_back(buf);
            }
        }
    }
    EXPECT_GT(agreed, 6800);
    EXPECT_TRUE(disagreements.empty()) << disagreements.size() << " disagree, first " << disagreements.front();
}

TEST(KanjiConverters, HalfWidthKanaSavedAsJis) {
    // ｶﾞ, ﾊﾟ and ｳﾞ become ガ, パ and ヴ; a kana without a voiced form keeps its mark apart.
    EXPECT_EQ(SjisToJis("\xB6\xDE"), "\x1B$B\x25\x2C\x1B(J");
    EXPECT_EQ(SjisToJis("\xCA\xDF"), "\x1B$B\x25\x51\x1B(J");
    EXPECT_EQ(SjisToJis("\xB3\xDE"), "\x1B$B\x25\x74\x1B(J");
    EXPECT_EQ(SjisToJis("\xB1\xDE"), "\x1B$B\x25\x22\x21\x2B\x1B(J");
    EXPECT_EQ(SjisToJis("\xA1"), "\x1B$B\x21\x23\x1B(J"); // ｡ is in the symbol row
    // A text ending in a kanji ends with ESC ( J; a line end leaves kanji mode first.
    EXPECT_EQ(SjisToJis("a" + kKanji + "\r\nb"), "a\x1B$B\x34\x41\x3B\x7A\x1B(J\r\nb");
}

TEST(KanjiConverters, EucHalfWidthKanaAndOddInput) {
    EXPECT_EQ(EucToSjis("\x8E\xB1\x8E\xB2"), "\xB1\xB2");
    EXPECT_EQ(SjisToEuc("\xB1"), "\x8E\xB1");
    // Lone last bytes are never read past: reading keeps them; EUC, which has no such
    // character, gets "?".
    EXPECT_EQ(SjisToEuc("a\x8A"), "a?");
    EXPECT_EQ(EucToSjis("a\xB4"), "a\xB4");
    EXPECT_EQ(JisToSjis("\x1B$B\x30"), "\x30");
    EXPECT_EQ(JisToSjis("\x1B"), "");
    // An old-JIS escape turns kanji mode on in the converter too.
    EXPECT_EQ(JisToSjis("\x1B$@\x34\x41\x1B(Bx"), "\x8A\xBFx");
}

TEST(KanjiConverters, UnsafeCharactersForJisAndEuc) {
    const std::string ibm = "\xFA\x40"; // an IBM extension: no JIS X 0208 pair
    const std::string text = "ok" + kKanji + ibm + "\xF0\x40" + "\x80";
    const auto unsafe = FindJisUnsafeChars(text);
    ASSERT_EQ(unsafe.size(), 3u);
    EXPECT_EQ(unsafe[0].Offset, 6u);
    EXPECT_EQ(unsafe[0].Bytes, ibm);
    EXPECT_EQ(unsafe[1].Offset, 8u);  // user-defined area
    EXPECT_EQ(unsafe[2].Offset, 10u); // not a character
    EXPECT_TRUE(FindJisUnsafeChars("plain \xB1\xB2 " + kKanji).empty());
    EXPECT_EQ(FindJisUnsafeChars(text, 1).size(), 1u);
}

// Every valid double-byte code: those not reported unsafe convert to JIS that a strict
// ISO-2022-JP decoder (the system's) accepts, and those reported give JIS it rejects (the NEC
// special characters ①, Ⅰ, ㈱, written by the row and cell arithmetic) or "?" (the IBM
// extensions 髙, 﨑 and the user-defined codes, whose rows lie outside JIS).
TEST(KanjiConverters, UnsafeCharactersAreExactlyThoseOutsideJisX0208) {
    iconv_t cd = iconv_open("UTF-8", "ISO-2022-JP");
    ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
    int checked = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (lead >= 0xA0 && lead <= 0xDF) continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail == 0x7F) continue;
            const std::string ch{static_cast<char>(lead), static_cast<char>(trail)};
            if (cp932::DecodeChar(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)) == 0) continue;
            std::string jis = SjisToJis(ch);
            char out[16];
            char* in = jis.data();
            char* o = out;
            size_t inLeft = jis.size(), outLeft = sizeof out;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            const bool accepted = iconv(cd, &in, &inLeft, &o, &outLeft) != static_cast<size_t>(-1) && inLeft == 0;
            const bool kept = accepted && jis != "?"; // a character JIS cannot hold is "?" alone
            EXPECT_EQ(FindJisUnsafeChars(ch).empty(), kept) << std::hex << lead << " " << trail;
            ++checked;
        }
    }
    iconv_close(cd);
    EXPECT_GT(checked, 9000);
    for (const char* c : {"\x87\x40", "\x87\x54", "\x87\x8D", "\xFB\xFC", "\xFA\xB1"})
        EXPECT_EQ(FindJisUnsafeChars(c).size(), 1u) << c;
}

TEST(KanjiFile, ReadingSetsCodeAndLineEnd) {
    const auto t = bench::GenerateJapaneseText(5000, 3);
    const TKanjiText jis = DecodeKanjiText(t.Jis, TConverter::BuiltIn);
    EXPECT_EQ(jis.KanjiCode, "JIS ASCII"); // the generator's JIS returns to ASCII with ESC ( B
    EXPECT_EQ(jis.LineEndCode, std::optional<std::string>("CRLF"));
    EXPECT_TRUE(jis.Text == t.ShiftJis);
    const TKanjiText euc = DecodeKanjiText(ConvertLineEnd(t.Euc, leLf), TConverter::BuiltIn);
    EXPECT_EQ(euc.KanjiCode, "EUC");
    EXPECT_EQ(euc.LineEndCode, std::optional<std::string>("LF"));
    const TKanjiText empty = DecodeKanjiText("", TConverter::BuiltIn);
    EXPECT_EQ(empty.KanjiCode, "S-JIS");
    EXPECT_FALSE(empty.LineEndCode.has_value());
    EXPECT_EQ(DecodeKanjiText("no end", TConverter::BuiltIn).LineEndCode, std::optional<std::string>("CRLF"));
    const TKanjiText old = DecodeKanjiText("\x1B$@\x34\x41", TConverter::BuiltIn);
    EXPECT_EQ(old.KanjiCode, "S-JIS"); // old JIS is taken as it is
    EXPECT_EQ(old.Text, "\x1B$@\x34\x41");
    const TKanjiText binary = DecodeKanjiText(std::string("\x01\x02"
                                                          "bin",
                                                          5),
                                              TConverter::BuiltIn);
    EXPECT_EQ(binary.KanjiCode, "S-JIS");
    EXPECT_EQ(binary.Detection, kdBinary);
}

TEST(KanjiFile, WritingAndReadingBackEveryCodeAndLineEnd) {
    QTemporaryDir dir;
    const auto t = bench::GenerateJapaneseText(20000, 5);
    for (const char* code : {"S-JIS", "JIS", "EUC"}) {
        for (const char* eol : {"CRLF", "CR", "LF"}) {
            const QString path = dir.filePath(QString("page-%1-%2.txt").arg(code, eol));
            WritePage(t.ShiftJis, code, eol, path, TConverter::BuiltIn);
            const TKanjiText back = ReadKanjiFile(path, TConverter::BuiltIn);
            EXPECT_EQ(back.KanjiCode, code);
            EXPECT_EQ(back.LineEndCode, std::optional<std::string>(eol));
            // The text comes back with its line ends as written; as the store holds it, it is
            // the text that was saved. (Compared as a whole: the texts are long.)
            EXPECT_TRUE(ConvertLineEnd(back.Text, leCrLf) == t.ShiftJis) << code << " " << eol;
        }
    }
}

TEST(KanjiFile, AFailedWriteLeavesTheOldFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("keep.txt");
    WritePage("old text", "S-JIS", "CRLF", path);
    EXPECT_THROW(WritePage("new", "S-JIS", "CRLF", dir.filePath("missing/keep.txt")), EPlatformError);
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    if (!QFile(dir.filePath("probe")).open(QIODevice::WriteOnly)) { // not root: the folder is read-only
        EXPECT_THROW(WritePage("new", "S-JIS", "CRLF", path), EPlatformError);
    }
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "old text");
    EXPECT_THROW(ReadKanjiFile(dir.filePath("nope.txt")), EPlatformError);
}

TEST(NkfLibrary, PresentGivesTheSameAsTheOwnConverters) {
    nkf::Release();
    ASSERT_TRUE(nkf::Bind({binFolder()})) << binFolder().toStdString();
    EXPECT_TRUE(nkf::LibraryPath().contains("nkf32"));
    const auto t = bench::GenerateJapaneseText(50000, 11);
    EXPECT_TRUE(nkf::Convert(t.Jis, "-s") == t.ShiftJis);
    EXPECT_TRUE(nkf::Convert(t.Euc, "-s") == t.ShiftJis);
    EXPECT_TRUE(nkf::Convert(t.ShiftJis, "-e") == SjisToEuc(t.ShiftJis));
    EXPECT_TRUE(nkf::Convert(t.ShiftJis, "-j") == SjisToJis(t.ShiftJis));
    EXPECT_TRUE(nkf::Convert(t.Euc, "-j") == SjisToJis(t.ShiftJis));
    // The input ends at its first zero byte.
    EXPECT_EQ(nkf::Convert(std::string("ab\0cd", 5), "-s"), std::optional<std::string>("ab"));
    EXPECT_TRUE(DecodeKanjiText(t.Jis).Text == t.ShiftJis);
    EXPECT_TRUE(EncodePage(t.ShiftJis, "EUC", "LF") == EncodePage(t.ShiftJis, "EUC", "LF", TConverter::BuiltIn));
    nkf::Release();
}

TEST(NkfLibrary, AbsentMeansTheOwnConverters) {
    nkf::Release();
    EXPECT_FALSE(nkf::Bind({QDir::tempPath() + "/no-such-folder"}));
    EXPECT_FALSE(nkf::Convert("abc", "-s").has_value());
    const auto t = bench::GenerateJapaneseText(5000, 2);
    EXPECT_TRUE(DecodeKanjiText(t.Jis).Text == t.ShiftJis);
    nkf::Release();
}

TEST(NkfLibrary, AMissingFunctionTellsTheUserOnEachCall) {
    RecordedMessages messages;
    nkf::Release();
    ASSERT_TRUE(nkf::Bind({partialFolder()}));
    EXPECT_TRUE(nkf::Available());
    EXPECT_FALSE(nkf::Convert("\x1B$B\x34\x41\x1B(B", "-s").has_value());
    ASSERT_EQ(messages.Shown.size(), 1u);
    EXPECT_EQ(messages.Shown[0], "PANIC!!|NkfConvert: LHA.DLL not loaded.");
    EXPECT_FALSE(nkf::Convert("x", "-s").has_value());
    EXPECT_EQ(messages.Shown.size(), 2u);
    // Reading still gives the text, by the built-in converter.
    EXPECT_EQ(DecodeKanjiText("\x1B$B\x34\x41\x1B(B").Text, "\x8A\xBF");
    nkf::Release();
}

TEST(KanjiFile, SavingKeepsTheFilesPermissionsAndSymbolicLinks) {
    QTemporaryDir dir;
    const QString path = dir.filePath("script.pl");
    WritePage("old", "S-JIS", "LF", path);
    const auto mode = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup;
    ASSERT_TRUE(QFile::setPermissions(path, mode));
    WritePage("new", "S-JIS", "LF", path);
    EXPECT_EQ(QFile::permissions(path) & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser), mode);
    // Saving through a symbolic link writes the file it points at and keeps the link.
    const QString link = dir.filePath("link.pl");
    ASSERT_TRUE(QFile::link(path, link));
    WritePage("through the link", "S-JIS", "LF", link);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "through the link");
}
