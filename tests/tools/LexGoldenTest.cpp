// quire-lex against the expected token dumps under tests/data/lex: every NAME.txt is run with
// the arguments in NAME.args (one per line) and must print NAME.expected exactly.
// scripts/update-lex-golden regenerates the expected files when behaviour changes on purpose.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(LexGolden, EveryExampleMatchesItsExpectedDump) {
    const QDir dir(QStringLiteral(QUIRE_LEX_DATA));
    const QStringList inputs = dir.entryList({"*.txt"}, QDir::Files, QDir::Name);
    ASSERT_FALSE(inputs.isEmpty());
    for (const QString& input : inputs) {
        const QString base = input.left(input.size() - 4);
        QStringList args = QString::fromUtf8(readAll(dir.filePath(base + ".args"))).split('\n', Qt::SkipEmptyParts);
        args << input;
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.start(QStringLiteral(QUIRE_BIN_DIR "/quire-lex"), args);
        ASSERT_TRUE(p.waitForFinished(30000)) << input.toStdString();
        EXPECT_EQ(p.exitCode(), 0) << input.toStdString() << ": " << p.readAllStandardError().toStdString();
        const QByteArray expected = readAll(dir.filePath(base + ".expected"));
        ASSERT_FALSE(expected.isEmpty()) << base.toStdString() << ".expected is missing";
        const QByteArray actual = p.readAllStandardOutput();
        EXPECT_EQ(actual.toStdString(), expected.toStdString()) << "for " << input.toStdString();
    }
}

TEST(LexTool, ErrorsAndUsage) {
    QProcess p;
    p.start(QStringLiteral(QUIRE_BIN_DIR "/quire-lex"), {"--wrap", "x", "a.txt"});
    p.waitForFinished(30000);
    EXPECT_EQ(p.exitCode(), 2);
    p.start(QStringLiteral(QUIRE_BIN_DIR "/quire-lex"), {"/nonexistent/a.txt"});
    p.waitForFinished(30000);
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_TRUE(p.readAllStandardError().contains("/nonexistent/a.txt"));
    p.start(QStringLiteral(QUIRE_BIN_DIR "/quire-lex"), {"--fountain", "Cobol", "a.txt"});
    p.waitForFinished(30000);
    EXPECT_EQ(p.exitCode(), 2);
}
