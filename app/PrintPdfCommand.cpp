// Printing a file to PDF from the command line.
#include "PrintPdfCommand.h"

#include "Fonts.h"
#include "KanjiFile.h"
#include "PlatformError.h"
#include "PrintProgress.h"
#include "Printer.h"
#include "PrinterStore.h"
#include "ProgramFolder.h"
#include "StrPrint.h"
#include "Unit1.h"
#include "nkf.h"

#include <QApplication>
#include <QFileInfo>
#include <QPrinter>

#include <cstdio>

namespace quire {

namespace {

void complain(const QString& Text) { std::fputs(("quire: " + Text + QLatin1Char('\n')).toUtf8().constData(), stderr); }

// The bound conversion library is released on every path.
struct NkfBinding {
    NkfBinding() { nkf::Bind(); }
    ~NkfBinding() { nkf::Release(); }
    NkfBinding(const NkfBinding&) = delete;
    NkfBinding& operator=(const NkfBinding&) = delete;
};

// The file as the editor holds it: its lines decoded to Shift_JIS, cut at a NUL byte, and
// the table of the characters outside code page 932 that the lines' codes stand for.
struct TPrintedFile {
    TPrintLines Lines;
    std::shared_ptr<TOutsideCharTable> CharTable;
};

TPrintedFile readFile(const QString& Path) {
    const QFileInfo info(Path);
    if (!info.isFile() || !info.isReadable()) throw EPlatformError(("ファイルを開けません: " + Path).toStdString());
    if (info.size() > TMainForm::MaxFileSize) throw EPlatformError(("ファイルが大きすぎます: " + Path).toStdString());
    TKanjiText read = ReadKanjiFile(Path);
    std::string& text = read.Text;
    if (const std::size_t nul = text.find('\0'); nul != std::string::npos) {
        complain(QStringLiteral("%1: NUL 文字から後ろは印刷されません。").arg(Path));
        text.resize(nul);
    }
    return {SplitPrintLines(text), std::move(read.CharTable)};
}

int print(const QString& Output, const QString& Input) {
    const QString path = TMainForm::NormalizedPath(Input);
    if (TMainForm::NormalizedPath(Output) == path) {
        complain(QStringLiteral("%1: 印刷するファイルに PDF を上書きすることはできません。").arg(path));
        return 1;
    }
    const TPrintedFile file = readFile(path);
    QPrinter device(QPrinter::HighResolution);
    SetUpFilePrinter(device);
    device.setOutputFileName(QFileInfo(Output).absoluteFilePath());
    TStringsPrinter printer(nullptr, &device);
    printer.SetFont(TStringsPrinter::MainFormFont());
    if (LoadPrinterOptions(printer, SettingsFileName()) == TStoredOptions::Damaged)
        complain(QStringLiteral("保存された印刷設定を読めません。既定の設定で印刷します。"));
    printer.SetFileName(path);
    printer.SetCharTable(file.CharTable.get());
    TPrintProgress quiet;
    printer.SetProgress(&quiet);
    printer.Print(file.Lines);
    if (printer.PrintedPageCount() == 0) {
        complain(
            QStringLiteral("印刷するページがありません（ページの範囲と奇数・偶数ページの指定を確かめてください）。"));
        return 1;
    }
    return 0;
}

} // namespace

int PrintPdfCommand(int argc, char* argv[]) {
    // No window is shown, so no display is needed, whatever platform the environment names.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quire"));
    const QStringList args = QApplication::arguments().mid(2);
    if (args.size() != 2 || args[0].isEmpty() || args[1].isEmpty()) {
        complain(QStringLiteral("usage: quire --print-pdf OUT.pdf FILE"));
        return 2;
    }
    InstallFontSubstitutions();
    const NkfBinding binding;
    try {
        return print(args[0], args[1]);
    } catch (const std::exception& e) {
        complain(QString::fromUtf8(e.what()));
        return 1;
    }
}

} // namespace quire
