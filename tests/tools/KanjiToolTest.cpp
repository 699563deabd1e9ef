// quire-kanji from the outside: its output, its errors and its exit codes.
#include "../../bench/TextGenerator.h"
#include "TestFiles.h"
#include "jconvert.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct ToolRun {
    int Code;
    QByteArray Out;
    QByteArray Err;
};

ToolRun run(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(QUIRE_BIN_DIR "/quire-kanji"), args);
    p.waitForFinished(30000);
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

} // namespace

TEST(KanjiTool, GuessAndDetect) {
    QTemporaryDir dir;
    const auto t = quire::bench::GenerateJapaneseText(3000, 4);
    const QString sjis = quire::test::WriteTestFile(dir, "a.txt", t.ShiftJis);
    const QString euc =
        quire::test::WriteTestFile(dir, "b.txt", quire::jconvert::ConvertLineEnd(t.Euc, quire::jconvert::leLf));
    const QString jis = quire::test::WriteTestFile(dir, "c.txt", t.Jis);
    const QString empty = quire::test::WriteTestFile(dir, "d.txt", "");
    const ToolRun guess = run({"--guess", sjis, euc, jis, empty});
    EXPECT_EQ(guess.Code, 0);
    EXPECT_EQ(QString::fromUtf8(guess.Out),
              QString("%1: S-JIS CRLF\n%2: EUC LF\n%3: JIS ASCII CRLF\n%4: S-JIS CRLF\n").arg(sjis, euc, jis, empty));
    const ToolRun detect = run({"--detect", sjis, euc, jis, empty});
    EXPECT_EQ(QString::fromUtf8(detect.Out), QString("%1: 5\n%2: 4\n%3: 2\n%4: 0\n").arg(sjis, euc, jis, empty));
}

TEST(KanjiTool, ConvertsAsTheEditorSaves) {
    QTemporaryDir dir;
    const auto t = quire::bench::GenerateJapaneseText(3000, 8);
    const QString jis = quire::test::WriteTestFile(dir, "c.txt", t.Jis);
    for (const QStringList& lib : {QStringList{}, QStringList{"--no-library"}}) {
        const ToolRun same = run(lib + QStringList{jis});
        EXPECT_EQ(same.Code, 0);
        // Saved unchanged, the file keeps its own ESC ( B.
        EXPECT_TRUE(same.Out == QByteArray::fromStdString(t.Jis));
        const ToolRun asNew = run(lib + QStringList{"--code", "JIS", jis}); // a new JIS file has ESC ( J
        EXPECT_TRUE(asNew.Out == QByteArray::fromStdString(quire::jconvert::SjisToJis(t.ShiftJis)));
        const ToolRun euc = run(lib + QStringList{"--code", "EUC", "--eol", "LF", jis});
        EXPECT_TRUE(euc.Out ==
                    QByteArray::fromStdString(quire::jconvert::ConvertLineEnd(t.Euc, quire::jconvert::leLf)));
    }
}

TEST(KanjiTool, WarnsAboutCharactersJisCannotHold) {
    QTemporaryDir dir;
    // A kanji first, so that the file is taken as Shift-JIS (0xFA alone would look like EUC).
    const QString path = quire::test::WriteTestFile(dir, "ibm.txt",
                                                    "\x8A\xBF"
                                                    "ab\xFA\x40"
                                                    "cd\r\n");
    const ToolRun r = run({"--code", "JIS", path});
    EXPECT_EQ(r.Code, 0);
    EXPECT_TRUE(r.Err.contains("at line 1, column 4")) << r.Err.toStdString();
    EXPECT_FALSE(r.Out.isEmpty());
}

TEST(KanjiTool, ErrorsAndUsage) {
    const ToolRun missing = run({"--guess", "/nonexistent/file.txt"});
    EXPECT_EQ(missing.Code, 1);
    EXPECT_TRUE(missing.Err.contains("/nonexistent/file.txt"));
    EXPECT_EQ(run({}).Code, 2);
    EXPECT_EQ(run({"--code", "UTF-16", "x"}).Code, 2);
    EXPECT_EQ(run({"--eol"}).Code, 2);
    EXPECT_EQ(run({"a", "b"}).Code, 2);
    const ToolRun noFile = run({"/nonexistent/file.txt"});
    EXPECT_EQ(noFile.Code, 1);
}

TEST(KanjiTool, Utf8FilesAreNamedDetectedAndWrittenBack) {
    QTemporaryDir dir;
    const std::string text = "caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80 \xE3\x80\x9C\n";
    const QString plain = quire::test::WriteTestFile(dir, "u.txt", text);
    const QString bom = quire::test::WriteTestFile(dir, "b.txt", "\xEF\xBB\xBF" + text);
    const ToolRun guess = run({"--guess", plain, bom});
    EXPECT_EQ(QString::fromUtf8(guess.Out), QString("%1: UTF-8 LF\n%2: UTF-8 BOM LF\n").arg(plain, bom));
    const ToolRun detect = run({"--detect", plain, bom});
    EXPECT_EQ(QString::fromUtf8(detect.Out), QString("%1: 7\n%2: 7\n").arg(plain, bom));
    // Unchanged, the bytes come back; é, 😀 and 〜 kept through the table.
    EXPECT_TRUE(run({plain}).Out == QByteArray::fromStdString(text));
    EXPECT_TRUE(run({bom}).Out == QByteArray::fromStdString("\xEF\xBB\xBF" + text));
    EXPECT_TRUE(run({"--code", "UTF-8 BOM", "--eol", "CRLF", plain}).Out ==
                QByteArray::fromStdString("\xEF\xBB\xBF" + text.substr(0, text.size() - 1) + "\r\n"));
    // As Shift_JIS é and 😀 cannot be kept (〜 has its code page 932 code): the tool says where.
    const ToolRun sjis = run({"--code", "S-JIS", plain});
    EXPECT_EQ(sjis.Code, 0);
    EXPECT_TRUE(sjis.Err.contains(QStringLiteral("at line 1, column 4 (é); line 1, column 9 (😀)\n").toUtf8()))
        << sjis.Err.toStdString();
    EXPECT_TRUE(sjis.Out.contains("caf? ")) << sjis.Out.toStdString();
}
