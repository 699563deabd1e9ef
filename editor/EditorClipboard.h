// The clipboard's text as the editors exchange it: the text other programs see, and the code
// page 932 bytes it stands for, so that text copied from an editor pastes back byte for byte.
#pragma once

#include <QClipboard>
#include <QMimeData>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace quire {

class TOutsideCharTable;

struct TClipboardText {
    // The text for other programs.
    QString Text;
    // The bytes an editor copied, while Text still shows them; otherwise Text converted
    // (characters that code page 932 cannot hold become "?").
    std::string Bytes;

    // Bytes as an editor copies them, with their text (through the page's Table, a UTF-8
    // page's characters outside code page 932, when it has one).
    static TClipboardText FromBytes(std::string_view Bytes, const TOutsideCharTable* Table = nullptr);
    TClipboardText operator+(const TClipboardText& Other) const { return {Text + Other.Text, Bytes + Other.Bytes}; }
};

// The plain text other programs get for Text: line ends as LF, the Linux way.
QString ClipboardPlainText(const QString& Text);
// The same for code page 932 bytes (through a UTF-8 page's Table), as UTF-8, in one pass.
QByteArray ClipboardUtf8(std::string_view Bytes, const TOutsideCharTable* Table = nullptr);

// An editor's copy on the clipboard, or X's primary selection: the code page 932 bytes, turned
// into the text other programs read only when one of them asks for it (a large copy costs its
// bytes, not their conversion, and nothing if nobody pastes it). The bytes are either taken
// when the copy is made, or asked of a source whenever they are needed (the primary selection,
// which is always what the editor has selected).
class TClipboardMime : public QMimeData {
public:
    struct TSource {
        std::function<std::string()> Bytes;
        std::function<bool()> Box; // a rectangular copy
    };
    TClipboardMime(std::string Bytes, bool Box, std::shared_ptr<const TOutsideCharTable> Table);
    TClipboardMime(TSource Source, std::shared_ptr<const TOutsideCharTable> Table);

    std::string Bytes() const { return FSource.Bytes ? FSource.Bytes() : FBytes; }
    bool Box() const { return FSource.Box ? FSource.Box() : FBox; }
    const TOutsideCharTable* Table() const noexcept { return FTable.get(); }
    QStringList formats() const override;
    bool hasFormat(const QString& MimeType) const override;

protected:
    QVariant retrieveData(const QString& MimeType, QMetaType Type) const override;

private:
    std::string FBytes;
    bool FBox = false;
    TSource FSource;
    std::shared_ptr<const TOutsideCharTable> FTable;
    // The text of the bytes taken at the copy, made at the first request.
    mutable QByteArray FUtf8;
    mutable bool FConverted = false;
};

// The clipboard's text (Mode: the clipboard, or X's primary selection); empty when it holds
// none. Characters that had to become "?" in Bytes are collected once each, in order, into
// Lost when it is given. With the page's Table the bytes are the page's own: its characters
// outside code page 932 take the table's codes (and the table grows by new ones).
TClipboardText ReadClipboardText(QClipboard::Mode Mode = QClipboard::Clipboard, QString* Lost = nullptr,
                                 TOutsideCharTable* Table = nullptr);
// True when the clipboard holds text.
bool ClipboardHasText(QClipboard::Mode Mode = QClipboard::Clipboard);
// T as the clipboard carries it: the plain text with LF line ends for every program, the
// bytes in the program's own format while they show as that text, and for a rectangular copy
// (Box) the marker "TEditor Box Type".
QMimeData* ClipboardMimeData(const TClipboardText& T, bool Box = false, const TOutsideCharTable* Table = nullptr);
// Puts T on the clipboard (or X's primary selection) as ClipboardMimeData gives it.
void WriteClipboardText(const TClipboardText& T, bool Box = false, QClipboard::Mode Mode = QClipboard::Clipboard,
                        const TOutsideCharTable* Table = nullptr);
// The clipboard format that marks a rectangular copy.
const char* BoxMimeType();
// True when the clipboard holds a rectangular copy.
bool ClipboardHoldsBox();

} // namespace quire
