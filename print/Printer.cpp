// The process's printer.
#include "Printer.h"

#include <QCoreApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>

namespace quire {

namespace {

QPrinter* gPrinter = nullptr;

void releasePrinter() {
    delete gPrinter;
    gPrinter = nullptr;
}

} // namespace

QPrinter& Printer() {
    if (!gPrinter) {
        if (QPrinterInfo::availablePrinters().isEmpty()) {
            gPrinter = new QPrinter(QPrinter::HighResolution);
            SetUpFilePrinter(*gPrinter);
        } else {
            QPrinterInfo info = QPrinterInfo::defaultPrinter();
            if (info.isNull()) info = QPrinterInfo::availablePrinters().first();
            gPrinter = new QPrinter(info, QPrinter::HighResolution);
        }
        // Freed with the application object, while the print support it uses still exists.
        qAddPostRoutine(releasePrinter);
    }
    return *gPrinter;
}

void SetUpFilePrinter(QPrinter& Printer) {
    Printer.setOutputFormat(QPrinter::PdfFormat);
    Printer.setPageSize(QPageSize(QPageSize::A4));
    Printer.setPageOrientation(QPageLayout::Portrait);
}

bool IsFilePrinter(const QPrinter& Printer) { return Printer.outputFormat() == QPrinter::PdfFormat; }

QString FilePrinterName() { return QStringLiteral("PDF ファイル"); }

} // namespace quire
