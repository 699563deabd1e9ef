// TStringsPrinterInfo: the selected printer's name, and its paper's name and size.
#pragma once

#include <QSize>
#include <QString>

class QPrinter;

namespace quire {

// One row of the paper table: the paper code's platform name and the paper's size in whole
// millimetres, portrait. The reserved codes 48 and 49 have no size.
struct TPaperKind {
    const char* Name;
    int Width;
    int Height;
};

class TStringsPrinterInfo {
public:
    static constexpr int FirstPaperCode = 1;
    static constexpr int LastPaperCode = 68;

    // Printer is the printer asked about (not owned); null means the process's printer.
    explicit TStringsPrinterInfo(QPrinter* Printer = nullptr) : FPrinter(Printer) {}
    void SetPrinter(QPrinter* Printer) noexcept { FPrinter = Printer; }
    QPrinter& Printer() const;

    // The row of Code, or null outside 1..68.
    static const TPaperKind* PaperKind(int Code) noexcept;

    QString PrinterName() const;
    // The paper code of the printer's current paper (0 when it has none).
    int PaperCode() const;
    // Empty for a paper code outside the table.
    QString PaperName() const;
    // Width and height in millimetres; 0 x 0 for a paper code outside the table.
    QSize PaperSize() const;

private:
    QPrinter* FPrinter;
};

} // namespace quire
