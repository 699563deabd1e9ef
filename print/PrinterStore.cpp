// Hexadecimal lines in the settings file, and the printer's stored options.
#include "PrinterStore.h"

#include "Profile.h"
#include "PropertyStream.h"
#include "StrPrint.h"

#include <algorithm>

namespace quire {

namespace {

constexpr int kDigitsPerLine = 64;
const QString kPrinterSection = QStringLiteral("Printer");
const QString kPrinterIdent = QStringLiteral("Ident");

QString countKey(const QString& Ident) { return Ident + QStringLiteral("_c"); }
QString lineKey(const QString& Ident, int Line) { return Ident + QStringLiteral("_d") + QString::number(Line); }

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

} // namespace

void WriteHexLines(const QString& File, const QString& Section, const QString& Ident, const QByteArray& Bytes) {
    const QByteArray hex = Bytes.toHex().toUpper();
    const int lines = static_cast<int>((hex.size() + kDigitsPerLine - 1) / kDigitsPerLine);
    const int old = std::min(profile::ReadInteger(File, Section, countKey(Ident), 0), MaxHexLines);
    for (int i = old - 1; i >= lines; --i) profile::DeleteKey(File, Section, lineKey(Ident, i));
    if (lines == 0) {
        profile::DeleteKey(File, Section, countKey(Ident));
        return;
    }
    profile::WriteInteger(File, Section, countKey(Ident), lines);
    for (int i = 0; i < lines; ++i)
        profile::WriteString(File, Section, lineKey(Ident, i),
                             QString::fromLatin1(hex.mid(qsizetype(i) * kDigitsPerLine, kDigitsPerLine)));
}

QByteArray ReadHexLines(const QString& File, const QString& Section, const QString& Ident) {
    const int lines = profile::ReadInteger(File, Section, countKey(Ident), 0);
    QByteArray bytes;
    if (lines <= 0 || lines > MaxHexLines) return bytes;
    for (int i = 0; i < lines; ++i) {
        const QByteArray digits = profile::ReadString(File, Section, lineKey(Ident, i)).toLatin1();
        for (qsizetype k = 0; k + 1 < digits.size(); k += 2) {
            const int high = hexDigit(digits[k]), low = hexDigit(digits[k + 1]);
            bytes.append(high < 0 || low < 0 ? '\0' : static_cast<char>(high * 16 + low));
        }
    }
    return bytes;
}

void SavePrinterOptions(const TStringsPrinter& Printer, const QString& File) {
    WriteHexLines(File, kPrinterSection, kPrinterIdent, Printer.WriteProperties());
}

TStoredOptions LoadPrinterOptions(TStringsPrinter& Printer, const QString& File) {
    const QByteArray bytes = ReadHexLines(File, kPrinterSection, kPrinterIdent);
    if (bytes.isEmpty()) return TStoredOptions::None;
    const std::optional<TStreamedObject> object = ReadPropertyStream(bytes);
    if (!object || object->ClassName != QStringLiteral("TStringsPrinter")) return TStoredOptions::Damaged;
    Printer.ReadProperties(*object);
    return TStoredOptions::Loaded;
}

} // namespace quire
