// The clipboard's text with the bytes behind it.
#include "EditorClipboard.h"

#include "Cp932Codec.h"
#include "ShiftJis.h"

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
    // One pass: QString::replace moves the rest of the text again for every batch of matches.
    QString text(Text.size(), Qt::Uninitialized);
    QChar* out = text.data();
    const QChar* in = Text.constData();
    const qsizetype n = Text.size();
    qsizetype k = 0;
    for (qsizetype i = 0; i < n; ++i)
        if (!(in[i] == u'\r' && i + 1 < n && in[i + 1] == u'\n')) out[k++] = in[i];
    text.truncate(k);
    return text;
}

namespace {

// Appends the UTF-8 of Text, each CR that stands before an LF left out. Written through a
// pointer into room made at once (three bytes at most for each UTF-16 unit).
void appendUtf8WithLf(QByteArray& Out, QStringView Text) {
    const qsizetype n = Text.size();
    const qsizetype base = Out.size();
    Out.resize(base + 3 * n);
    char* o = Out.data() + base;
    const char16_t* in = Text.utf16();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = in[i];
        if (c < 0x80) {
            if (!(c == u'\r' && i + 1 < n && in[i + 1] == u'\n')) *o++ = static_cast<char>(c);
        } else if (c < 0x800) {
            *o++ = static_cast<char>(0xC0 | (c >> 6));
            *o++ = static_cast<char>(0x80 | (c & 0x3F));
        } else if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(in[i + 1])) {
            const char32_t u = QChar::surrogateToUcs4(c, in[++i]);
            *o++ = static_cast<char>(0xF0 | (u >> 18));
            *o++ = static_cast<char>(0x80 | ((u >> 12) & 0x3F));
            *o++ = static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            *o++ = static_cast<char>(0x80 | (u & 0x3F));
        } else {
            const char16_t u = QChar::isSurrogate(c) ? char16_t(0xFFFD) : c;
            *o++ = static_cast<char>(0xE0 | (u >> 12));
            *o++ = static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            *o++ = static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    Out.truncate(o - Out.constData());
}

// Bytes converted at a time: pieces end after a byte that ends a character and is no CR, so
// neither a double-byte character nor a CR LF is cut.
constexpr std::size_t kPiece = 64 * 1024;

std::size_t pieceEnd(std::string_view Bytes, std::size_t From) {
    auto cuts = [&](std::size_t e) {
        const char c = Bytes[e - 1];
        return !sjis::IsLeadByte(c) && c != '\r';
    };
    std::size_t e = std::min(Bytes.size(), From + kPiece);
    if (e == Bytes.size()) return e;
    for (std::size_t back = e; back > From + kPiece / 2; --back)
        if (cuts(back)) return back;
    while (e < Bytes.size() && !cuts(e)) ++e;
    return e;
}

} // namespace

QByteArray ClipboardUtf8(std::string_view Bytes, const TOutsideCharTable* Table) {
    QByteArray out;
    out.reserve(static_cast<qsizetype>(Bytes.size() + Bytes.size() / 2 + 3 * kPiece + 16));
    for (std::size_t at = 0; at < Bytes.size();) {
        const std::size_t end = pieceEnd(Bytes, at);
        appendUtf8WithLf(out, cp932::ToDisplay(Bytes.substr(at, end - at), Table));
        at = end;
    }
    return out;
}

TClipboardMime::TClipboardMime(std::string Bytes, bool Box, std::shared_ptr<const TOutsideCharTable> Table)
    : FBytes(std::move(Bytes)), FBox(Box), FTable(std::move(Table)) {}

TClipboardMime::TClipboardMime(TSource Source, std::shared_ptr<const TOutsideCharTable> Table)
    : FSource(std::move(Source)), FTable(std::move(Table)) {}

QStringList TClipboardMime::formats() const {
    QStringList list{QStringLiteral("text/plain"), kOwnBytes};
    if (Box()) list << QString::fromLatin1(BoxMimeType());
    return list;
}

bool TClipboardMime::hasFormat(const QString& MimeType) const { return formats().contains(MimeType); }

QVariant TClipboardMime::retrieveData(const QString& MimeType, QMetaType Type) const {
    if (MimeType == QLatin1String("text/plain") || MimeType == QLatin1String("text/plain;charset=utf-8")) {
        QByteArray utf8;
        if (FSource.Bytes) {
            utf8 = ClipboardUtf8(FSource.Bytes(), FTable.get());
        } else {
            if (!FConverted) FUtf8 = ClipboardUtf8(FBytes, FTable.get());
            FConverted = true;
            utf8 = FUtf8;
        }
        if (Type.id() == QMetaType::QString) return QString::fromUtf8(utf8);
        return utf8;
    }
    if (MimeType == kOwnBytes) return byteArray(Bytes());
    if (MimeType == QLatin1String(BoxMimeType()) && Box()) return byteArray(Bytes()) + '\0';
    return {};
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
    if (const auto* own = dynamic_cast<const TClipboardMime*>(data); own && own->Table() == Table) {
        // An editor's own copy: its bytes as they are.
        std::string bytes = own->Bytes();
        return {QString::fromUtf8(ClipboardUtf8(bytes, Table)), std::move(bytes)};
    }
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
