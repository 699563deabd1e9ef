// The process's printer: the system's default printer, or a PDF file printer when no
// printer is installed.
#pragma once

#include <QString>

class QPrinter;

namespace quire {

// Created on first use and kept until the application object ends; printer set-up changes
// it for every later print.
QPrinter& Printer();

// Makes Printer a PDF file printer: A4 portrait at the printer's resolution. The file is
// chosen when printing.
void SetUpFilePrinter(QPrinter& Printer);

// True when the printer writes a PDF file rather than going to a print queue.
bool IsFilePrinter(const QPrinter& Printer);

// The name shown for a PDF file printer.
QString FilePrinterName();

} // namespace quire
