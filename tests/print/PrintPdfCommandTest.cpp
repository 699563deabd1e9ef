// "quire --print-pdf OUT.pdf FILE" run as a program.
#include "PdfWords.h"

#include "PrinterStore.h"
#include "Profile.h"
#include "ProgramFolder.h"
#include "StrPrint.h"
#include "TestFiles.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quire;
using namespace quire::test;

namespace {

struct CommandRun {
    int ExitCode = -1;
    QString Errors;
};

// Platform is QT_QPA_PLATFORM for the run (none when empty).
CommandRun runQuire(const QStringList& Args, const QString& Platform = {}) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY")); // it needs none
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    if (!Platform.isEmpty()) env.insert(QStringLiteral("QT_QPA_PLATFORM"), Platform);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(QUIRE_BIN_DIR "/quire"), Args);
    if (!p.waitForFinished(120000)) return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2, QString::fromUtf8(p.readAllStandardError())};
}

QString write(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    return test::WriteTestFile(dir.path(), name, bytes);
}

} // namespace

TEST(PrintPdfCommand, PrintsAFileWithTheStoredOptions) {
    QTemporaryDir dir;
    TStringsPrinter options;
    options.SetHeader(QStringLiteral("%F p%p"));
    options.SetHeaderAlign(TStringsPrinterHeaderAlign::haLeft);
    options.SetFooter(QStringLiteral("end"));
    options.SetFooterAlign(TStringsPrinterHeaderAlign::haCenter);
    options.SetLineNumber(true);
    SavePrinterOptions(options, SettingsFileName());
    // EUC-JP text: read the way the editor reads files.
    const QString input = write(dir, QStringLiteral("euc.txt"), "first\n\xc6\xfc\xcb\xdc\xb8\xec\nlast\n");
    const QString output = dir.filePath(QStringLiteral("out.pdf"));
    const CommandRun r = runQuire({QStringLiteral("--print-pdf"), output, input});
    ASSERT_EQ(r.ExitCode, 0) << r.Errors.toStdString();
    const PdfDocument doc = ReadPdf(output);
    ASSERT_EQ(doc.PageCount, 1);
    // Each number touches its line: "1:first".
    EXPECT_EQ(doc.PageText(1), QStringLiteral("euc.txt p1 1:first 2:日本語 3:last end"));
    // It takes no part in the hand-off of files to a running instance.
    EXPECT_EQ(profile::ReadString(SettingsFileName(), QStringLiteral("App"), QStringLiteral("FileName"),
                                  QStringLiteral("<none>")),
              QStringLiteral("<none>"));
}

TEST(PrintPdfCommand, FailuresAreReportedWithANonZeroExit) {
    QTemporaryDir dir;
    const QString output = dir.filePath(QStringLiteral("out.pdf"));
    CommandRun r = runQuire({QStringLiteral("--print-pdf"), output, dir.filePath(QStringLiteral("missing.txt"))});
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_TRUE(r.Errors.contains(QStringLiteral("missing.txt"))) << r.Errors.toStdString();
    EXPECT_FALSE(QFile::exists(output));

    const QString input = write(dir, QStringLiteral("a.txt"), "text\r\n");
    r = runQuire({QStringLiteral("--print-pdf"), dir.filePath(QStringLiteral("no/folder/out.pdf")), input});
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_TRUE(r.Errors.contains(QStringLiteral("out.pdf"))) << r.Errors.toStdString();

    // The text file itself is never overwritten by its PDF.
    r = runQuire({QStringLiteral("--print-pdf"), input, input});
    EXPECT_EQ(r.ExitCode, 1);
    QFile kept(input);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("text\r\n"));

    r = runQuire({QStringLiteral("--print-pdf"), output});
    EXPECT_EQ(r.ExitCode, 2);
    EXPECT_TRUE(r.Errors.contains(QStringLiteral("usage"))) << r.Errors.toStdString();

    // Damaged stored options: printed with the defaults, and said so.
    profile::WriteInteger(SettingsFileName(), QStringLiteral("Printer"), QStringLiteral("Ident_c"), 1);
    profile::WriteString(SettingsFileName(), QStringLiteral("Printer"), QStringLiteral("Ident_d0"),
                         QStringLiteral("54504631"));
    r = runQuire({QStringLiteral("--print-pdf"), output, input});
    EXPECT_EQ(r.ExitCode, 0) << r.Errors.toStdString();
    EXPECT_FALSE(r.Errors.isEmpty());
    EXPECT_EQ(ReadPdf(output).PageText(1), QStringLiteral("text"));

    // A range that leaves no page.
    TStringsPrinter options;
    options.SetRangeOption(TStringsPrinterRangeOption::roLimited);
    options.SetStartPage(3);
    SavePrinterOptions(options, SettingsFileName());
    QFile::remove(output);
    r = runQuire({QStringLiteral("--print-pdf"), output, input});
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_FALSE(QFile::exists(output));
}

// A UTF-8 file's characters that code page 932 lacks, or holds only as other characters, print
// as themselves, not as the boxes of their stand-in codes.
TEST(PrintPdfCommand, PrintsTheCharactersOfAUtf8FileOutsideCodePage932) {
    QTemporaryDir dir;
    const QString input =
        write(dir, QStringLiteral("utf8.txt"), QStringLiteral("caf\u00E9 \u301C \u2014 \u65E5\u672C\n").toUtf8());
    const QString output = dir.filePath(QStringLiteral("out.pdf"));
    // A platform that needs a display, named by the environment, is not used either.
    const CommandRun r = runQuire({QStringLiteral("--print-pdf"), output, input}, QStringLiteral("xcb"));
    ASSERT_EQ(r.ExitCode, 0) << r.Errors.toStdString();
    EXPECT_EQ(ReadPdf(output).PageText(1), QStringLiteral("caf\u00E9 \u301C \u2014 \u65E5\u672C"));
}
