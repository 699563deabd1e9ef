// Keeping bytes in the settings file as lines of hexadecimal digits, and the printer's
// options stored that way in section "Printer".
#pragma once

#include <QByteArray>
#include <QString>

namespace quire {

class TStringsPrinter;

// Every byte as two upper-case hexadecimal digits, cut into lines of 64 digits (the last
// may be shorter): the count under Ident + "_c", the lines under Ident + "_d0", "_d1", ...
// Line keys that a shorter stream no longer uses are deleted, from the highest down; an
// empty stream deletes the count too. Raises EPlatformError when the file cannot be written.
void WriteHexLines(const QString& File, const QString& Section, const QString& Ident, const QByteArray& Bytes);

// The bytes back: a missing line reads as empty and a pair that is not hexadecimal as 0.
// A count above MaxHexLines is not one this program wrote: it gives no bytes.
QByteArray ReadHexLines(const QString& File, const QString& Section, const QString& Ident);
constexpr int MaxHexLines = 1024;

// The printer's options under section "Printer", key name "Ident", of the settings file.
void SavePrinterOptions(const TStringsPrinter& Printer, const QString& File);
// What loading found. With None (nothing stored) and Damaged (lines that do not hold a
// printer's property stream) the options are left as they were.
enum class TStoredOptions { Loaded, None, Damaged };
TStoredOptions LoadPrinterOptions(TStringsPrinter& Printer, const QString& File);

} // namespace quire
