// quire-kanji and quire-lex given bad input and unwritable output: options out of range,
// folders, devices and FIFOs where a file is expected, standard input, and a full disk.
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

struct ToolRun {
    bool Finished;
    int Code;
    QByteArray Out;
    QByteArray Err;
};

// Runs a tool of the build with Args; Input goes to its standard input, its output to
// OutputFile when one is given.
ToolRun run(const QString& tool, const QStringList& args, const QByteArray& input = {},
            const QString& outputFile = {}) {
    QProcess p;
    if (!outputFile.isEmpty()) p.setStandardOutputFile(outputFile);
    p.start(QStringLiteral(QUIRE_BIN_DIR "/") + tool, args);
    p.waitForStarted();
    p.write(input);
    p.closeWriteChannel();
    const bool finished = p.waitForFinished(10000);
    if (!finished) {
        p.kill();
        p.waitForFinished();
    }
    return {finished, p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

const QStringList kTools = {QStringLiteral("quire-kanji"), QStringLiteral("quire-lex")};

class ToolInputOutput : public ::testing::Test {
protected:
    QString file(const QString& name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return f.fileName();
    }
    QTemporaryDir dir;
};

} // namespace

TEST_F(ToolInputOutput, OptionsOutOfRangeAreUsageErrors) {
    const QString text = file("a.txt", "abc\tdef\r\n");
    for (const QStringList& bad : {QStringList{"--tab", "0"},
                                   {"--tab", "-8"},
                                   {"--tab", "3"},
                                   {"--tab", "10"},
                                   {"--wrap", "5"},
                                   {"--wrap", "-1"},
                                   {"--wrap", "251"}}) {
        const ToolRun r = run("quire-lex", bad + QStringList{text});
        EXPECT_TRUE(r.Finished);
        EXPECT_EQ(r.Code, 2) << bad.join(' ').toStdString() << ": " << r.Err.toStdString();
        EXPECT_TRUE(r.Err.contains("usage")) << r.Err.toStdString();
    }
    for (const QStringList& good :
         {QStringList{"--tab", "2"}, {"--tab", "8"}, {"--wrap", "0"}, {"--wrap", "20"}, {"--wrap", "250"}}) {
        const ToolRun r = run("quire-lex", good + QStringList{text});
        EXPECT_EQ(r.Code, 0) << good.join(' ').toStdString() << ": " << r.Err.toStdString();
        EXPECT_TRUE(r.Out.startsWith("0 [")) << r.Out.toStdString();
    }
}

TEST_F(ToolInputOutput, OnlyRegularFilesAreRead) {
    const QString fifo = dir.filePath("fifo");
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    for (const QString& tool : kTools) {
        for (const QStringList& args : {QStringList{"/dev/zero"}, QStringList{fifo}, QStringList{dir.path()}}) {
            const QStringList full = tool == "quire-kanji" ? QStringList{"--guess"} + args : args;
            const ToolRun r = run(tool, full);
            ASSERT_TRUE(r.Finished) << tool.toStdString() << " blocked on " << args[0].toStdString();
            EXPECT_EQ(r.Code, 1) << tool.toStdString() << " " << args[0].toStdString();
            EXPECT_TRUE(r.Err.contains(QFile::encodeName(args[0])) && r.Err.contains("not a regular file"))
                << r.Err.toStdString();
            EXPECT_TRUE(r.Out.isEmpty());
        }
    }
    // The conversion and the reserved-word list too.
    EXPECT_EQ(run("quire-kanji", {"/dev/zero"}).Code, 1);
    EXPECT_EQ(run("quire-lex", {"--reserved", "/dev/zero", file("b.txt", "x")}).Code, 1);
}

TEST_F(ToolInputOutput, StandardInputWhenAskedFor) {
    const QByteArray sjis = "\x93\xFA\x96\x7B\x8C\xEA\r\n";
    const ToolRun guess = run("quire-kanji", {"--guess", "-"}, sjis);
    EXPECT_EQ(guess.Code, 0) << guess.Err.toStdString();
    EXPECT_EQ(guess.Out, "-: S-JIS CRLF\n");
    const ToolRun same = run("quire-kanji", {"-"}, sjis);
    EXPECT_EQ(same.Out, sjis);
    const ToolRun lex = run("quire-lex", {"--rows", "-"}, "ab\r\ncd");
    EXPECT_EQ(lex.Code, 0) << lex.Err.toStdString();
    EXPECT_EQ(lex.Out, run("quire-lex", {"--rows", file("c.txt", "ab\r\ncd")}).Out);
    EXPECT_EQ(lex.Out.count('\n'), 2) << lex.Out.toStdString();
}

TEST_F(ToolInputOutput, AFullDiskIsAMessageAndAFailure) {
    if (!QFile::exists("/dev/full")) GTEST_SKIP() << "no /dev/full on this system";
    const QString text = file("a.txt", "\x93\xFA\x96\x7B\x8C\xEA\r\nabc\r\n");
    const QList<QPair<QString, QStringList>> runs = {
        {"quire-kanji", {"--guess", text}},
        {"quire-kanji", {"--detect", text}},
        {"quire-kanji", {text}},
        {"quire-kanji", {"--code", "EUC", text}},
        {"quire-lex", {text}},
    };
    for (const auto& [tool, args] : runs) {
        const ToolRun r = run(tool, args, {}, "/dev/full");
        EXPECT_TRUE(r.Finished);
        EXPECT_NE(r.Code, 0) << tool.toStdString() << " " << args.join(' ').toStdString();
        EXPECT_TRUE(r.Err.contains("cannot write the output") && r.Err.contains(strerror(ENOSPC)))
            << r.Err.toStdString();
    }
}

// A file name that is not UTF-8 (a Latin-1 "é" here) is read and named with its own bytes.
TEST_F(ToolInputOutput, FileNamesOfAnyBytesAreFound) {
    const QByteArray name = QFile::encodeName(dir.path()) + "/caf\xE9.txt";
    // The shell makes the file under its real bytes, gives the name to the tool and removes it.
    for (const QString& tool : kTools) {
        QProcess p;
        const QString script = QStringLiteral("n=\"$(printf '%1/caf\\351.txt')\"; printf 'abc\\r\\n' > \"$n\"; "
                                              "\"$0\" $1 \"$n\"; status=$?; rm -f \"$n\"; exit $status")
                                   .arg(dir.path());
        const QString option = tool == QLatin1String("quire-kanji") ? "--guess" : "--rows";
        p.start(QStringLiteral("/bin/sh"),
                {QStringLiteral("-c"), script, QStringLiteral(QUIRE_BIN_DIR "/") + tool, option});
        ASSERT_TRUE(p.waitForFinished(10000));
        EXPECT_EQ(p.exitCode(), 0) << tool.toStdString() << ": " << p.readAllStandardError().toStdString();
        const QByteArray out = p.readAllStandardOutput();
        if (tool == QLatin1String("quire-kanji"))
            EXPECT_TRUE(out.startsWith(name + ": ")) << out.toStdString();
        else
            EXPECT_TRUE(out.contains("bytes=3")) << out.toStdString();
    }
}

// --help prints the usage and --version the project's version, both on standard output with
// status 0; --help to a full disk fails.
TEST_F(ToolInputOutput, HelpAndVersion) {
    for (const QString& tool : kTools) {
        const ToolRun help = run(tool, {"--help"});
        EXPECT_EQ(help.Code, 0) << tool.toStdString() << ": " << help.Err.toStdString();
        EXPECT_TRUE(help.Out.startsWith("usage: " + tool.toUtf8())) << help.Out.toStdString();
        EXPECT_TRUE(help.Err.isEmpty()) << help.Err.toStdString();
        const ToolRun version = run(tool, {"--version"});
        EXPECT_EQ(version.Code, 0) << tool.toStdString();
        EXPECT_EQ(version.Out, tool.toUtf8() + " " QUIRE_VERSION "\n");
        if (QFile::exists("/dev/full")) {
            EXPECT_EQ(run(tool, {"--version"}, {}, "/dev/full").Code, 1) << tool.toStdString();
        }
    }
}
