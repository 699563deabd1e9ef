// TStringsPrinterInfo and the paper table of the platform's paper codes 1 to 68.
#include "StrPrintInfo.h"

#include "Printer.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>

#include <iterator>

namespace quire {

namespace {

// Indexed by paper code - 1. Sizes in inches are rounded to whole millimetres.
constexpr TPaperKind kPapers[] = {
    {"DMPAPER_LETTER", 216, 279},
    {"DMPAPER_LETTERSMALL", 216, 279},
    {"DMPAPER_TABLOID", 279, 432},
    {"DMPAPER_LEDGER", 279, 432},
    {"DMPAPER_LEGAL", 216, 356},
    {"DMPAPER_STATEMENT", 140, 216},
    {"DMPAPER_EXECUTIVE", 184, 267},
    {"DMPAPER_A3", 297, 420},
    {"DMPAPER_A4", 210, 297},
    {"DMPAPER_A4SMALL", 210, 297},
    {"DMPAPER_A5", 148, 210},
    {"DMPAPER_B4", 250, 354},
    {"DMPAPER_B5", 182, 257},
    {"DMPAPER_FOLIO", 216, 330},
    {"DMPAPER_QUARTO", 215, 275},
    {"DMPAPER_10X14", 254, 356},
    {"DMPAPER_11X17", 279, 432},
    {"DMPAPER_NOTE", 216, 279},
    {"DMPAPER_ENV_9", 98, 225},
    {"DMPAPER_ENV_10", 105, 241},
    {"DMPAPER_ENV_11", 114, 264},
    {"DMPAPER_ENV_12", 121, 279},
    {"DMPAPER_ENV_14", 127, 292},
    {"DMPAPER_CSHEET", 432, 559},
    {"DMPAPER_DSHEET", 559, 864},
    {"DMPAPER_ESHEET", 864, 1118},
    {"DMPAPER_ENV_DL", 110, 220},
    {"DMPAPER_ENV_C5", 162, 229},
    {"DMPAPER_ENV_C3", 324, 458},
    {"DMPAPER_ENV_C4", 229, 324},
    {"DMPAPER_ENV_C6", 114, 162},
    {"DMPAPER_ENV_C65", 114, 229},
    {"DMPAPER_ENV_B4", 250, 353},
    {"DMPAPER_ENV_B5", 176, 250},
    {"DMPAPER_ENV_B6", 125, 176},
    {"DMPAPER_ENV_ITALY", 110, 230},
    {"DMPAPER_ENV_MONARCH", 98, 191},
    {"DMPAPER_ENV_PERSONAL", 92, 165},
    {"DMPAPER_FANFOLD_US", 279, 378},
    {"DMPAPER_FANFOLD_STD_GERMAN", 216, 305},
    {"DMPAPER_FANFOLD_LGL_GERMAN", 216, 330},
    {"DMPAPER_ISO_B4", 250, 353},
    {"DMPAPER_JAPANESE_POSTCARD", 100, 148},
    {"DMPAPER_9X11", 229, 279},
    {"DMPAPER_10X11", 254, 279},
    {"DMPAPER_15X11", 279, 381},
    {"DMPAPER_ENV_INVITE", 220, 220},
    {"DMPAPER_RESERVED_48", 0, 0},
    {"DMPAPER_RESERVED_49", 0, 0},
    {"DMPAPER_LETTER_EXTRA", 241, 305},
    {"DMPAPER_LEGAL_EXTRA", 241, 381},
    {"DMPAPER_TABLOID_EXTRA", 297, 457},
    {"DMPAPER_A4_EXTRA", 235, 322},
    {"DMPAPER_LETTER_TRANSVERSE", 216, 279},
    {"DMPAPER_A4_TRANSVERSE", 210, 297},
    {"DMPAPER_LETTER_EXTRA_TRANSVERSE", 241, 305},
    {"DMPAPER_A_PLUS", 227, 356},
    {"DMPAPER_B_PLUS", 305, 487},
    {"DMPAPER_LETTER_PLUS", 216, 322},
    {"DMPAPER_A4_PLUS", 210, 330},
    {"DMPAPER_A5_TRANSVERSE", 148, 210},
    {"DMPAPER_B5_TRANSVERSE", 182, 257},
    {"DMPAPER_A3_EXTRA", 322, 445},
    {"DMPAPER_A5_EXTRA", 174, 235},
    {"DMPAPER_B5_EXTRA", 201, 276},
    {"DMPAPER_A2", 420, 594},
    {"DMPAPER_A3_TRANSVERSE", 297, 420},
    {"DMPAPER_A3_EXTRA_TRANSVERSE", 322, 445},
};
static_assert(std::size(kPapers) == TStringsPrinterInfo::LastPaperCode, "one row per paper code 1..68");

} // namespace

QPrinter& TStringsPrinterInfo::Printer() const { return FPrinter ? *FPrinter : quire::Printer(); }

const TPaperKind* TStringsPrinterInfo::PaperKind(int Code) noexcept {
    if (Code < FirstPaperCode || Code > LastPaperCode) return nullptr;
    return &kPapers[Code - FirstPaperCode];
}

QString TStringsPrinterInfo::PrinterName() const {
    const QPrinter& p = Printer();
    return IsFilePrinter(p) ? FilePrinterName() : p.printerName();
}

int TStringsPrinterInfo::PaperCode() const { return Printer().pageLayout().pageSize().windowsId(); }

QString TStringsPrinterInfo::PaperName() const {
    const TPaperKind* kind = PaperKind(PaperCode());
    return kind ? QString::fromLatin1(kind->Name) : QString();
}

QSize TStringsPrinterInfo::PaperSize() const {
    const TPaperKind* kind = PaperKind(PaperCode());
    return kind ? QSize(kind->Width, kind->Height) : QSize(0, 0);
}

} // namespace quire
