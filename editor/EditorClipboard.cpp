// The clipboard's text with the bytes behind it.
#include "EditorClipboard.h"

#include "Cp932Codec.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

namespace quire {

namespace {
const QString kBytesType = QStringLiteral("application/x-quire-cp932");
} // namespace

const char* BoxMimeType() { return "application/x-teditor-box-type"; }

bool ClipboardHasText() {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    return data && data->hasText();
}

bool ClipboardHoldsBox() {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    return data && data->hasText() && data->hasFormat(QString::fromLatin1(BoxMimeType()));
}

TClipboardText ReadClipboardText(QString* Lost) {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (!data || !data->hasText()) return {};
    TClipboardText t{data->text(), {}};
    // The bytes are used while the plain text still matches them: another program may have
    // put new text there since.
    const QByteArray own = data->data(kBytesType);
    if (!own.isEmpty() && cp932::ToDisplay(std::string_view(own.constData(), static_cast<size_t>(own.size()))) == t.Text) {
        t.Bytes.assign(own.constData(), static_cast<size_t>(own.size()));
    } else if (Lost) {
        t.Bytes = cp932::FromUnicode(t.Text, Lost);
    } else {
        t.Bytes = cp932::FromUnicode(t.Text);
    }
    return t;
}

void WriteClipboardText(const TClipboardText& T, bool Box) {
    auto* data = new QMimeData;
    data->setText(T.Text);
    const QByteArray bytes(T.Bytes.data(), static_cast<qsizetype>(T.Bytes.size()));
    if (cp932::ToDisplay(T.Bytes) == T.Text) data->setData(kBytesType, bytes);
    if (Box) data->setData(QString::fromLatin1(BoxMimeType()), bytes + '\0');
    QApplication::clipboard()->setMimeData(data);
}

} // namespace quire
