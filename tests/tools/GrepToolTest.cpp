// quire-grep from the outside: its lines, its exit codes (grep's: 0 found, 1 not found, 2
// trouble), its options and its usage.
#include "Cp932Codec.h"
#include "TestFiles.h"
#include "jconvert.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct ToolRun {
    int Code;
    QByteArray Out;
    QByteArray Err;
};

ToolRun grep(const QStringList& Args) {
    QProcess p;
    p.start(QStringLiteral(QUIRE_BIN_DIR "/quire-grep"), Args);
    p.waitForFinished(30000);
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

} // namespace

TEST(GrepTool, PrintsEachMatchInUtf8WithItsPlaceAndCode) {
    QTemporaryDir dir;
    const std::string sjis = quire::cp932::FromUnicode(QStringLiteral("一行目\r\nその検索語と検索語\r\n"));
    const QString a = quire::test::WriteTestFile(dir, "a.txt", sjis);
    const QString b = quire::test::WriteTestFile(dir, "b.txt", quire::jconvert::SjisToEuc(sjis));
    const ToolRun r = grep({QStringLiteral("検索語"), a, b});
    EXPECT_EQ(0, r.Code) << r.Err.toStdString();
    EXPECT_EQ(QStringLiteral("%1:2:3:[S-JIS] その検索語と検索語\n%1:2:7:[S-JIS] その検索語と検索語\n"
                             "%2:2:3:[EUC] その検索語と検索語\n%2:2:7:[EUC] その検索語と検索語\n")
                  .arg(a, b),
              QString::fromUtf8(r.Out));
}

TEST(GrepTool, ExitCodesFollowGrep) {
    QTemporaryDir dir;
    const QString a = quire::test::WriteTestFile(dir, "a.txt", std::string("alpha beta\n"));
    QDir(dir.path()).mkdir(QStringLiteral("sub"));
    quire::test::WriteTestFile(dir, "sub/c.log", std::string("alphabet\n"));
    const QString d = quire::test::WriteTestFile(dir, "sub/d.txt", std::string("ALPHA\n"));
    struct Case {
        QStringList Args;
        int Code;
        int Lines;       // on standard output
        const char* Err; // part of standard error, or null for none
    };
    const Case cases[] = {
        {{"alpha", a}, 0, 1, nullptr},
        {{"gamma", a}, 1, 0, nullptr},
        {{"-r", "alpha", dir.path()}, 0, 2, nullptr},
        {{"-ri", "alpha", dir.path()}, 0, 3, nullptr},
        {{"-r", "-i", "-w", "alpha", dir.path()}, 0, 2, nullptr},
        {{"-r", "--include", "*.log", "alpha", dir.path()}, 0, 1, nullptr},
        {{"-r", "--include=*.txt", "-e", "^al.*t$", dir.path()}, 1, 0, nullptr},
        {{"--regex", "-i", "^al.*a$", d}, 0, 1, nullptr},
        {{"alpha", dir.path()}, 2, 0, "is a folder"},
        {{"alpha", a, dir.path() + "/none.txt"}, 2, 1, "none.txt"},
        {{"-e", "(alpha", a}, 2, 0, "bad regular expression at character 7"},
        {{"", a}, 2, 0, "empty"},
        {{"alpha"}, 2, 0, "usage"},
        {{"-x", "alpha", a}, 2, 0, "usage"},
        {{"--", "-r", a}, 1, 0, nullptr},
    };
    for (const Case& c : cases) {
        const ToolRun r = grep(c.Args);
        const std::string what = c.Args.join(u' ').toStdString();
        EXPECT_EQ(c.Code, r.Code) << what << "\n" << r.Err.toStdString();
        EXPECT_EQ(c.Lines, r.Out.count('\n')) << what << "\n" << r.Out.toStdString();
        if (c.Err)
            EXPECT_TRUE(r.Err.contains(c.Err)) << what << ": " << r.Err.toStdString();
        else
            EXPECT_TRUE(r.Err.isEmpty()) << what << ": " << r.Err.toStdString();
    }
}

TEST(GrepTool, HelpAndVersion) {
    const ToolRun help = grep({"--help"});
    EXPECT_EQ(0, help.Code);
    EXPECT_TRUE(help.Out.startsWith("usage: quire-grep"));
    const ToolRun version = grep({"--version"});
    EXPECT_EQ(0, version.Code);
    EXPECT_EQ(QByteArray("quire-grep " QUIRE_VERSION "\n"), version.Out);
}
