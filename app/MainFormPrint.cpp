// The main window's print command: the stored print options, the current document's lines
// and the print dialog.
#include "Unit1.h"

#include "Editor.h"
#include "PrinterStore.h"
#include "ProgramFolder.h"
#include "StrPrint.h"
#include "strpefm.h"

namespace quire {

TStringsPrinter& TMainForm::StringsPrinter() {
    if (!FStringsPrinter) {
        FStringsPrinter = new TStringsPrinter(this);
        FStringsPrinter->SetFont(TStringsPrinter::MainFormFont());
    }
    return *FStringsPrinter;
}

void TMainForm::Mm_PrintClick() {
    TStringsPrinter& printer = StringsPrinter();
    LoadPrinterOptions(printer, SettingsFileName());
    printer.SetFileName(CurrentFileName());
    printer.SetCharTable(CurrentEditor()->ScreenStrings().CharTable());
    const TPrintLines lines = SplitPrintLines(CurrentEditor()->GetText());
    ShowPrintDialog(&printer, lines, this);
}

} // namespace quire
