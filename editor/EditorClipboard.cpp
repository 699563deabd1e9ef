// The clipboard's text with the bytes behind it.
#include "EditorClipboard.h"

#include "Cp932Codec.h"

#include <QApplication>
#include <QMimeData>

namespace quire {

namespace {

const QString kOwnBytes = QStringLiteral("application/x-quire-cp932");

QByteArray byteArray(std::string_view Bytes) { return QByteArray(Bytes.data(), static_cast<qsizetype>(Bytes.size())); }

} // namespace

const char* BoxMimeType() { return "application/x-teditor-box-type"; }

TClipboardText TClipboardText::FromBytes(std::string_view Bytes, const TOutsideCharTable* Table) {
    return {cp932::ToDisplay(Bytes, Table), std::string(Bytes)};
}

QString ClipboardPlainText(const QString& Text) {
    QString text = Text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

bool ClipboardHasText(QClipboard::Mode Mode) {
    const QMimeData* data = QApplication::clipboard()->mimeData(Mode);
    return data && data->hasText();
}

bool ClipboardHoldsBox() {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    return data && data->hasText() && data->hasFormat(QString::fromLatin1(BoxMimeType()));
}

TClipboardText ReadClipboardText(QClipboard::Mode Mode, QString* Lost, TOutsideCharTable* Table) {
    const QMimeData* data = QApplication::clipboard()->mimeData(Mode);
    if (!data || !data->hasText()) return {};
    TClipboardText t{data->text(), {}};
    // The bytes are used while the plain text still matches them: another program may have
    // put new text there since.
    const QByteArray own = data->data(kOwnBytes);
    const std::string_view bytes(own.constData(), static_cast<size_t>(own.size()));
    if (!own.isEmpty() && ClipboardPlainText(cp932::ToDisplay(bytes, Table)) == t.Text) {
        t.Bytes = bytes;
    } else {
        QString lost;
        t.Bytes = cp932::FromUnicode(t.Text, Table, &lost);
        if (Lost) *Lost = lost;
    }
    return t;
}

QMimeData* ClipboardMimeData(const TClipboardText& T, bool Box, const TOutsideCharTable* Table) {
    auto* data = new QMimeData;
    const QString text = ClipboardPlainText(T.Text);
    data->setText(text);
    if (ClipboardPlainText(cp932::ToDisplay(T.Bytes, Table)) == text) data->setData(kOwnBytes, byteArray(T.Bytes));
    if (Box) data->setData(QString::fromLatin1(BoxMimeType()), byteArray(T.Bytes) + '\0');
    return data;
}

void WriteClipboardText(const TClipboardText& T, bool Box, QClipboard::Mode Mode, const TOutsideCharTable* Table) {
    QApplication::clipboard()->setMimeData(ClipboardMimeData(T, Box, Table), Mode);
}

} // namespace quire
