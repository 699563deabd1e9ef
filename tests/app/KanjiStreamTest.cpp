// Converting in pieces: the built-in converters as a stream, the library in checked pieces,
// reading a file straight into rows, and re-saving a file without holding it whole.
#include "KanjiStream.h"
#include "ConvertAhead.h"
#include "EditorScreenStrings.h"
#include "KanjiConverter.h"
#include "KanjiCutter.h"
#include "KanjiFile.h"
#include "KanjiPlainScan.h"
#include "TestFiles.h"
#include "TextLoader.h"
#include "jconvert.h"
#include "nkf.h"

#include "../../bench/TextGenerator.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <atomic>
#include <cstring>
#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <stdexcept>
#include <thread>

using namespace quire;
using namespace quire::jconvert;

namespace {

const TConversion kAll[] = {TConversion::EucToSjis, TConversion::JisToSjis, TConversion::SjisToEuc,
                            TConversion::SjisToJis};

std::string whole(TConversion c, std::string_view s) {
    switch (c) {
    case TConversion::EucToSjis: return EucToSjis(s);
    case TConversion::JisToSjis: return JisToSjis(s);
    case TConversion::SjisToEuc: return SjisToEuc(s);
    case TConversion::SjisToJis: break;
    }
    return SjisToJis(s);
}

// Bytes that exercise every rule: escapes, half-width kana and sound marks, lead bytes,
// line ends, NUL, all mixed with ordinary text.
std::string oddBytes(std::mt19937& rng, std::size_t n) {
    static const uint8_t kinds[] = {0x1B, '$',  '(',  'B',  'J',  '@',  0x8E, 0x8F, 0xA1, 0xB3, 0xB6, 0xCA, 0xDE, 0xDF,
                                    0x81, 0x82, 0x9F, 0xE0, 0xFC, 0xFD, 0xFF, 0x80, '\r', '\n', 0,    'a',  0x41, 0x7E};
    std::string s;
    for (std::size_t i = 0; i < n; ++i)
        s += static_cast<char>(rng() % 3 == 0 ? static_cast<uint8_t>(rng()) : kinds[rng() % sizeof kinds]);
    return s;
}

// Random places to cut S, from single bytes to long pieces.
std::vector<std::size_t> randomCuts(std::mt19937& rng, std::size_t n) {
    std::vector<std::size_t> cuts;
    for (std::size_t i = 0; i < n;) {
        i += rng() % 4 == 0 ? 1 + rng() % 3 : 1 + rng() % 5000;
        cuts.push_back(std::min(i, n));
    }
    if (cuts.empty()) cuts.push_back(0);
    return cuts;
}

template <typename Feed>
void inPieces(std::string_view s, const std::vector<std::size_t>& cuts, Feed feed) {
    std::size_t from = 0;
    for (std::size_t i = 0; i < cuts.size(); ++i) {
        feed(s.substr(from, cuts[i] - from), i + 1 == cuts.size());
        from = cuts[i];
    }
}

std::string streamed(TConversion c, std::string_view s, const std::vector<std::size_t>& cuts) {
    TKanjiStream stream(c);
    std::string out;
    inPieces(s, cuts, [&](std::string_view piece, bool last) {
        std::string buffer(stream.MaxOutput(piece.size()), '\0');
        out.append(buffer.data(), stream.Convert(piece, last, buffer.data()));
    });
    return out;
}

std::string converted(TConversion c, TConverter converter, std::string_view s, const std::vector<std::size_t>& cuts,
                      int* library = nullptr, int* rejected = nullptr) {
    std::string out;
    TKanjiConverter k(c, converter, [&out](std::string_view piece) { out += piece; });
    inPieces(s, cuts, [&](std::string_view piece, bool last) { k.Convert(piece, last); });
    if (library) *library = k.LibraryPieces();
    if (rejected) *rejected = k.RejectedPieces();
    return out;
}

const std::string& sourceOf(TConversion c, const bench::GeneratedText& t) {
    return c == TConversion::EucToSjis ? t.Euc : c == TConversion::JisToSjis ? t.Jis : t.ShiftJis;
}

// Binds the stand-in library beside the programs for one test.
class WithLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        nkf::Release();
        ASSERT_TRUE(nkf::Bind({QCoreApplication::applicationDirPath() + "/../bin"}));
    }
    void TearDown() override { nkf::Release(); }
};

} // namespace

TEST(KanjiStream, PiecesConvertExactlyAsTheWholeText) {
    std::mt19937 rng(11);
    const auto t = bench::GenerateJapaneseText(60000, 12);
    for (TConversion c : kAll) {
        for (int trial = 0; trial < 30; ++trial) {
            const std::string s = trial < 10 ? sourceOf(c, t) : oddBytes(rng, 1 + rng() % 3000);
            const std::string expected = whole(c, s);
            ASSERT_TRUE(streamed(c, s, randomCuts(rng, s.size())) == expected)
                << "conversion " << static_cast<int>(c) << " trial " << trial;
        }
        EXPECT_EQ(streamed(c, "", {0}), "");
    }
    // A kana whose sound mark comes in the next piece still takes it.
    EXPECT_EQ(streamed(TConversion::SjisToJis, "\xB6\xDE", {1, 2}), SjisToJis("\xB6\xDE"));
    EXPECT_EQ(streamed(TConversion::JisToSjis, "\x1B$B\x34\x41\x1B(B", {1, 2, 4, 5, 8}), "\x8A\xBF");
}

TEST_F(WithLibrary, LibraryPiecesGiveExactlyTheOwnConvertersResult) {
    std::mt19937 rng(5);
    const auto t = bench::GenerateJapaneseText(3u << 20, 13);
    for (TConversion c : kAll) {
        int library = 0, rejected = 0;
        const std::string& s = sourceOf(c, t);
        EXPECT_TRUE(converted(c, TConverter::Auto, s, randomCuts(rng, s.size()), &library, &rejected) == whole(c, s))
            << static_cast<int>(c);
        EXPECT_GT(library, 2) << static_cast<int>(c); // megabyte pieces went to the library
        EXPECT_EQ(rejected, 0) << static_cast<int>(c);
        // Broken bytes too: a piece the library gets wrong is converted by the built-in converters;
        // in megabytes of them the pieces are cut wherever the built-in converters start afresh.
        const std::string big = oddBytes(rng, 3u << 20);
        ASSERT_TRUE(converted(c, TConverter::Auto, big, randomCuts(rng, big.size())) == whole(c, big))
            << static_cast<int>(c);
        for (int trial = 0; trial < 20; ++trial) {
            const std::string odd = oddBytes(rng, 1 + rng() % 4000);
            ASSERT_TRUE(converted(c, TConverter::Auto, odd, randomCuts(rng, odd.size())) == whole(c, odd))
                << static_cast<int>(c) << " trial " << trial;
        }
    }
}

TEST(KanjiCutter, EveryPieceConvertsAloneAsWithinTheWholeText) {
    // Line ends, alone or where they are no line end: after an ESC (or in a kanji pair).
    const std::string kLineEndish[] = {"\r", "\n", "\x1B\n", "\x1B\r"};
    std::mt19937 rng(37);
    const auto t = bench::GenerateJapaneseText(3u << 20, 41);
    for (TConversion c : kAll) {
        for (int trial = 0; trial < 80; ++trial) {
            // Pieces of a megabyte in the first trial, small ones after; from the tenth trial on
            // with bytes that break the rules: a few somewhere (the text turns from plain to not
            // plain on the way), or many.
            const std::size_t size = trial == 0 ? TKanjiCutter::kPiece : 16 + rng() % 400;
            std::string s = trial == 0 ? sourceOf(c, t) : sourceOf(c, t).substr(rng() % 500000, 30000);
            const int mutations = trial < 10 ? 0 : trial < 50 ? 1 + static_cast<int>(rng() % 3) : 600;
            for (int k = 0; k < mutations; ++k)
                s.insert(rng() % s.size(),
                         mutations < 4 && k == 0 ? kLineEndish[rng() % 4] : oddBytes(rng, 1 + rng() % 5));
            TKanjiCutter cutter(c, size);
            // Half the trials tell the cutter what a plain scan of the text found so far.
            const bool reading = c == TConversion::EucToSjis || c == TConversion::JisToSjis;
            std::optional<TKanjiPlainScan> scan;
            if (reading && trial % 2 == 1) scan.emplace(c);
            std::string joined, alone;
            int pieces = 0;
            // Now and then the text comes a few bytes at a time: the cutter looks at each.
            std::vector<std::size_t> cuts = randomCuts(rng, s.size());
            if (trial % 4 == 3) {
                cuts.clear();
                for (std::size_t i = 0; i < s.size();) cuts.push_back(i = std::min(s.size(), i + 1 + rng() % 8));
            }
            inPieces(s, cuts, [&](std::string_view piece, bool last) {
                const bool plain = scan && scan->Add(piece);
                cutter.Add(
                    piece, last,
                    [&](std::string& p, bool) {
                        joined += p;
                        alone += whole(c, p);
                        ++pieces;
                    },
                    plain);
            });
            ASSERT_TRUE(joined == s) << static_cast<int>(c) << " trial " << trial;
            ASSERT_TRUE(alone == whole(c, s)) << static_cast<int>(c) << " trial " << trial;
            EXPECT_GT(pieces, 2) << static_cast<int>(c) << " trial " << trial;
        }
    }
}

TEST(KanjiCutter, APlainTextIsNotCutInsideAnEscapeItsScanHasNotJudged) {
    // The first piece ends with ESC LF: the scan waits for the escape's last byte, and the
    // LF, which belongs to the escape, is no place to cut.
    const std::string s = std::string(40, 'a') + "\x1B\n(Bdef\r\nxyz\r\n";
    TKanjiCutter cutter(TConversion::JisToSjis, 16);
    TKanjiPlainScan scan(TConversion::JisToSjis);
    std::string alone;
    for (const std::string_view piece : {std::string_view(s).substr(0, 42), std::string_view(s).substr(42)}) {
        const bool last = piece.data() != s.data();
        cutter.Add(
            piece, last, [&](std::string& p, bool) { alone += JisToSjis(p); }, scan.Add(piece));
    }
    EXPECT_EQ(alone, JisToSjis(s));
}

TEST_F(WithLibrary, ConversionsOnTwoThreadsDoNotMixTheirOptions) {
    // A file read converts on a second thread while a write may convert on the main one; the
    // library keeps its option between two calls, so each call must take its turn whole.
    const auto t = bench::GenerateJapaneseText(4000, 43);
    const std::string euc = t.Euc.substr(0, t.Euc.rfind('\n', 600) + 1);
    const std::string sjis = t.ShiftJis.substr(0, t.ShiftJis.rfind('\n', 600) + 1);
    std::atomic<int> wrong{0};
    const auto convertMany = [&wrong](const std::string& in, const char* option, const std::string& expected) {
        std::string out(nkf::OutputRoom(in.size()), '\0');
        for (int k = 0; k < 30000; ++k) {
            const auto n = nkf::ConvertRaw(in.c_str(), in.size(), option, out.data());
            if (!n || std::string_view(out.data(), *n) != expected) ++wrong;
        }
    };
    std::thread reading(convertMany, euc, "-E -s", EucToSjis(euc));
    convertMany(sjis, "-S -j", SjisToJis(sjis));
    reading.join();
    EXPECT_EQ(wrong.load(), 0);
}

TEST_F(WithLibrary, ConvertingAheadGivesTheWholeConversionInOrder) {
    std::mt19937 rng(23);
    const auto t = bench::GenerateJapaneseText(3u << 20, 29);
    for (TConversion c : kAll) {
        const std::string& s = sourceOf(c, t);
        const std::string expected = whole(c, s);
        for (TConverter converter : {TConverter::Auto, TConverter::BuiltIn}) {
            for (bool rooms : {false, true}) {
                // Pieces in rooms come from a reader, which leaves the cutting to the other thread.
                const auto cutOn = rooms ? TConvertAhead::TCutOn::Converter : TConvertAhead::TCutOn::Caller;
                std::string out;
                TKanjiOutputSink sink([&out](std::string_view piece) { out += piece; });
                TConvertAhead ahead(c, converter, sink, cutOn);
                inPieces(s, randomCuts(rng, s.size()), [&](std::string_view piece, bool last) {
                    if (rooms) { // each piece in the room given for it, used again as soon as allowed
                        char* room = ahead.InputRoom(5000);
                        std::memcpy(room, piece.data(), piece.size());
                        piece = std::string_view(room, piece.size());
                    }
                    ahead.Convert(piece, last);
                });
                ahead.Finish();
                EXPECT_TRUE(out == expected) << static_cast<int>(c) << " rooms " << rooms;
                if (converter == TConverter::Auto) {
                    EXPECT_GT(ahead.LibraryPieces(), 2) << static_cast<int>(c);
                }
            }
        }
    }
}

TEST(KanjiStream, WhatTheSinkRaisesWhileConvertingAheadReachesTheCaller) {
    struct Failing : TKanjiSink {
        std::string room = std::string(1 << 20, '\0');
        int commits = 0;
        char* Room(std::size_t n) override {
            room.resize(std::max(room.size(), n));
            return room.data();
        }
        void Commit(std::size_t) override {
            if (++commits == 3) throw std::runtime_error("disk gone");
        }
    } sink;
    const auto t = bench::GenerateJapaneseText(1u << 20, 31);
    bool raised = false;
    try {
        TConvertAhead ahead(TConversion::EucToSjis, TConverter::BuiltIn, sink);
        for (std::size_t i = 0; i < t.Euc.size(); i += 1000)
            ahead.Convert(std::string_view(t.Euc).substr(i, 1000), i + 1000 >= t.Euc.size());
        ahead.Finish();
    } catch (const std::runtime_error& e) {
        raised = std::string(e.what()) == "disk gone";
    }
    EXPECT_TRUE(raised);
    EXPECT_EQ(sink.commits, 3);
}

TEST_F(WithLibrary, AResultThatFailsTheCheckIsReplacedByTheOwnConverters) {
    // One half-width kana takes ESC $ B, two bytes and ESC ( J in JIS: more than the six
    // bytes the library may write for one byte, so its result is cut.
    int library = 0, rejected = 0;
    const std::string jis = SjisToJis("\xB1");
    ASSERT_EQ(jis.size(), 8u);
    EXPECT_EQ(converted(TConversion::SjisToJis, TConverter::Auto, "\xB1", {1}, &library, &rejected), jis);
    EXPECT_EQ(library, 0);
    EXPECT_EQ(rejected, 1);
    // Without the check the library's cut result would have been written.
    EXPECT_EQ(nkf::Convert("\xB1", "-S -j"), std::optional<std::string>(jis.substr(0, 6)));
}

TEST_F(WithLibrary, TheEditorsShiftJisIsNeverTakenForAnotherCode) {
    const std::string text = "\xFB\xFC\x8B\xB4\x82\xB3\x82\xF1\r\n"; // 髙橋さん: 髙 looks like EUC
    // Left to guess, the library takes the page's text for EUC and "converts" it unchanged.
    EXPECT_EQ(nkf::Convert(text, "-e"), std::optional<std::string>(text));
    // Told that it is Shift-JIS, it converts it.
    EXPECT_EQ(nkf::Convert(text, "-S -e"), std::optional<std::string>(SjisToEuc(text)));
    // Saved as JIS through the library: the line ends with its CR LF and comes back right.
    const std::string jis = EncodePage(text, "JIS", "CRLF");
    EXPECT_EQ(jis, EncodePage(text, "JIS", "CRLF", TConverter::BuiltIn));
    EXPECT_EQ(jis.substr(jis.size() - 5), "\x1B(J\r\n");
    EXPECT_EQ(DecodeKanjiText(jis).KanjiCode, "JIS");
    EXPECT_EQ(DecodeKanjiText(jis).Text, "?" + text.substr(2)); // JIS has no form for 髙
    // Saved as EUC: the EUC bytes, CR LF kept. 髙 (an IBM extension) is in neither JIS X 0208
    // nor JIS X 0212, so EUC has no form for it: "?" (the editor asks before saving such a
    // page); the rest comes back right.
    const std::string euc = EncodePage(text, "EUC", "CRLF");
    EXPECT_EQ(euc, EncodePage(text, "EUC", "CRLF", TConverter::BuiltIn));
    EXPECT_EQ(euc.substr(0, 1), "?");
    EXPECT_EQ(EucToSjis(euc.substr(1)), text.substr(2));
    EXPECT_EQ(FindJisUnsafeChars(text).size(), 1u);
    const std::string kept = "\x8B\xB4\x82\xB3\x82\xF1\r\n"; // 橋さん
    EXPECT_EQ(DecodeKanjiText(EncodePage(kept, "EUC", "LF")).Text, "\x8B\xB4\x82\xB3\x82\xF1\n");
}

namespace {

// The rows of a file read straight into a list, and what reading it said.
std::pair<std::vector<std::string>, TKanjiText> readIntoRows(const QString& path, TConverter converter) {
    TEditorScreenStrings store;
    TKanjiText r;
    store.LoadText([&](TTextLoader& l) { r = ReadKanjiFile(path, l, converter); });
    std::vector<std::string> rows;
    for (int i = 0; i < store.Count(); ++i)
        rows.push_back(store.Strings(i) + "|" + std::to_string(static_cast<int>(store.RowAttribute(i))));
    return {rows, r};
}

std::vector<std::string> rowsOf(const std::string& text) {
    TEditorScreenStrings store;
    store.SetTextStr(text);
    std::vector<std::string> rows;
    for (int i = 0; i < store.Count(); ++i)
        rows.push_back(store.Strings(i) + "|" + std::to_string(static_cast<int>(store.RowAttribute(i))));
    return rows;
}

} // namespace

TEST_F(WithLibrary, ReadingIntoRowsGivesTheRowsOfTheDecodedText) {
    QTemporaryDir dir;
    const auto t = bench::GenerateJapaneseText((5u << 20) / 2, 17); // more than two read pieces
    const std::string lateEuc = std::string(1200000, 'a') + "\r\n" + t.Euc.substr(0, 5000);
    // An EUC file with a character of JIS X 0212 in its second read piece (kept through the
    // table), and a JIS file with a kana set the writer does not use (not kept).
    std::string late0212 = t.Euc;
    late0212.replace(1500000 - 1500000 % 2, 3, "\x8F\xB0\xA1");
    const std::string kanaSet = ConvertLineEnd(t.Jis, leLf) + "\x1B(I\x31\x1B(B\r\n";
    const std::vector<std::string> files = {
        t.ShiftJis, t.Euc,     ConvertLineEnd(t.Jis, leLf),      lateEuc,
        "",         "plain\r", std::string("\x82\xA0\0rest", 7), std::string(1u << 20, 'x') + "\r\n",
        late0212,   kanaSet};
    for (TConverter converter : {TConverter::Auto, TConverter::BuiltIn}) {
        for (std::size_t i = 0; i < files.size(); ++i) {
            const QString path = quire::test::WriteTestFile(dir, QString("f%1.txt").arg(i), files[i]);
            const TKanjiText expected = DecodeKanjiText(files[i], converter);
            const auto [rows, read] = readIntoRows(path, converter);
            EXPECT_TRUE(rows == rowsOf(expected.Text)) << "file " << i;
            EXPECT_EQ(read.KanjiCode, expected.KanjiCode) << "file " << i;
            EXPECT_EQ(read.LineEndCode, expected.LineEndCode) << "file " << i;
            EXPECT_EQ(read.Detection, expected.Detection) << "file " << i;
            EXPECT_EQ(read.HasNul, expected.HasNul) << "file " << i;
            EXPECT_EQ(read.KeepsBytes, expected.KeepsBytes) << "file " << i;
        }
    }
    EXPECT_EQ(DecodeKanjiText(lateEuc).KanjiCode, "EUC");
    EXPECT_TRUE(DecodeKanjiText(t.Euc).KeepsBytes);
    EXPECT_TRUE(DecodeKanjiText(t.Jis).KeepsBytes);
    // Texts of many pieces, converted on a second thread, as the whole conversion gives them.
    EXPECT_TRUE(DecodeKanjiText(t.Euc).Text == EucToSjis(t.Euc));
    EXPECT_TRUE(DecodeKanjiText(t.Jis, TConverter::BuiltIn).Text == JisToSjis(t.Jis));
    EXPECT_TRUE(DecodeKanjiText(late0212).KeepsBytes);
    EXPECT_FALSE(DecodeKanjiText(kanaSet).KeepsBytes);
}

TEST_F(WithLibrary, ANulAfterTheFirst512BytesIsFoundWhateverTheConverter) {
    QTemporaryDir dir;
    const auto t = bench::GenerateJapaneseText(4000, 19);
    for (const std::string& code : {t.Euc, t.Jis, t.ShiftJis}) {
        std::string bytes = code;
        bytes[700] = '\0';
        for (TConverter converter : {TConverter::Auto, TConverter::BuiltIn}) {
            const TKanjiText decoded = DecodeKanjiText(bytes, converter);
            EXPECT_TRUE(decoded.HasNul);
            const auto [rows, read] = readIntoRows(quire::test::WriteTestFile(dir, "nul.txt", bytes), converter);
            EXPECT_TRUE(read.HasNul);
            // The text ends before the NUL, as the built-in converters read the bytes before it.
            const std::string before = DecodeKanjiText(bytes.substr(0, 700), TConverter::BuiltIn).Text;
            EXPECT_TRUE(decoded.Text == before);
            EXPECT_TRUE(rows == rowsOf(before));
        }
    }
}

namespace {

// What reading Bytes into the line store, taking its text and encoding it give.
std::string resavedWhole(const std::string& bytes, const std::string& code, const std::string& eol,
                         TConverter converter) {
    const TKanjiText r = DecodeKanjiText(bytes, converter);
    TEditorScreenStrings store;
    store.SetTextStr(r.Text);
    return EncodePage(store.GetTextStr(), code.empty() ? r.KanjiCode : code,
                      eol.empty() ? r.LineEndCode.value_or(kCrLfName) : eol, converter);
}

std::string resavedStream(const std::string& bytes, const std::string& code, const std::string& eol,
                          TConverter converter) {
    std::string out;
    ResaveKanjiText(bytes, code, eol, converter, [&out](std::string_view s) { out += s; });
    return out;
}

} // namespace

TEST_F(WithLibrary, ResavingAsAStreamGivesWhatTheWholeTextGives) {
    const auto t = bench::GenerateJapaneseText(3u << 20, 23);
    std::mt19937 rng(29);
    std::vector<std::string> inputs = {t.ShiftJis,
                                       t.Euc,
                                       t.Jis,
                                       ConvertLineEnd(t.ShiftJis, leCr),
                                       "",
                                       "a",
                                       "a\r",
                                       "\r",
                                       "a\rb\nc\r\n\r",
                                       "\xB6\xDE\xCA\xDF\r\n",
                                       "x\x82",
                                       std::string("ab\0cd\r\n", 7),
                                       std::string(1500000, 'y') + "\r" + std::string(10, 'z')};
    for (int i = 0; i < 6; ++i) inputs.push_back(oddBytes(rng, 2000));
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        for (const std::string code : {"", "S-JIS", "JIS", "EUC"}) {
            for (const std::string eol : {"", "CRLF", "CR", "LF"}) {
                for (TConverter converter : {TConverter::Auto, TConverter::BuiltIn}) {
                    if (inputs[i].size() > 100000 && eol != "" && code != "") continue; // enough for the long ones
                    ASSERT_TRUE(resavedStream(inputs[i], code, eol, converter) ==
                                resavedWhole(inputs[i], code, eol, converter))
                        << "input " << i << " code " << code << " eol " << eol << " converter "
                        << static_cast<int>(converter);
                }
            }
        }
    }
}
