// Writing and reading the binary property stream.
#include "PropertyStream.h"

#include <limits>

namespace quire {

namespace {

const QByteArray kSignature = QByteArrayLiteral("TPF0");

void putShortString(QByteArray& out, const QByteArray& s) {
    const QByteArray cut = s.left(255);
    out.append(static_cast<char>(cut.size()));
    out.append(cut);
}

void putLittleEndian(QByteArray& out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.append(static_cast<char>((v >> (8 * i)) & 0xFF));
}

bool isShortAscii(const QString& s) {
    if (s.size() > 255) return false;
    for (QChar c : s)
        if (c.unicode() >= 0x80) return false;
    return true;
}

// Reads from a byte array; every read checks the bounds and marks the reader failed.
class Cursor {
public:
    explicit Cursor(const QByteArray& b) : b_(b) {}
    bool ok() const { return ok_; }
    bool atEnd() const { return pos_ >= b_.size(); }
    std::uint8_t byte() {
        if (pos_ >= b_.size()) return fail(), 0;
        return static_cast<std::uint8_t>(b_[pos_++]);
    }
    QByteArray bytes(qint64 n) {
        if (n < 0 || n > b_.size() - pos_) return fail(), QByteArray();
        const QByteArray r = b_.mid(pos_, n);
        pos_ += n;
        return r;
    }
    std::int64_t littleEndian(int n) {
        std::uint32_t v = 0;
        for (int i = 0; i < n; ++i) v |= std::uint32_t(byte()) << (8 * i);
        return v;
    }
    QString shortString() {
        const int n = byte();
        return QString::fromLatin1(bytes(n));
    }
    void fail() { ok_ = false; }

private:
    const QByteArray& b_;
    qint64 pos_ = 0;
    bool ok_ = true;
};

bool readValue(Cursor& in, TPropertyValue& v) {
    v.Type = static_cast<TValueType>(in.byte());
    switch (v.Type) {
    case TValueType::vaInt8: v.Int = static_cast<std::int8_t>(in.littleEndian(1)); break;
    case TValueType::vaInt16: v.Int = static_cast<std::int16_t>(in.littleEndian(2)); break;
    case TValueType::vaInt32: v.Int = static_cast<std::int32_t>(in.littleEndian(4)); break;
    case TValueType::vaString:
    case TValueType::vaIdent: v.Text = in.shortString(); break;
    case TValueType::vaFalse:
    case TValueType::vaTrue: break;
    case TValueType::vaSet:
        for (QString m = in.shortString(); in.ok() && !m.isEmpty(); m = in.shortString()) v.Set << m;
        break;
    case TValueType::vaUtf8String: v.Text = QString::fromUtf8(in.bytes(in.littleEndian(4))); break;
    default: return false;
    }
    return in.ok();
}

} // namespace

bool TPropertyValue::IsInteger() const noexcept {
    return Type == TValueType::vaInt8 || Type == TValueType::vaInt16 || Type == TValueType::vaInt32;
}

TPropertyWriter::TPropertyWriter(const QString& ClassName, const QString& ObjectName) : FBytes(kSignature) {
    putShortString(FBytes, ClassName.toLatin1());
    putShortString(FBytes, ObjectName.toLatin1());
}

void TPropertyWriter::name(const QString& Name) { putShortString(FBytes, Name.toLatin1()); }

void TPropertyWriter::WriteInteger(const QString& Name, int Value) {
    name(Name);
    if (Value >= std::numeric_limits<std::int8_t>::min() && Value <= std::numeric_limits<std::int8_t>::max()) {
        FBytes.append(static_cast<char>(TValueType::vaInt8));
        putLittleEndian(FBytes, static_cast<std::uint32_t>(Value), 1);
    } else if (Value >= std::numeric_limits<std::int16_t>::min() && Value <= std::numeric_limits<std::int16_t>::max()) {
        FBytes.append(static_cast<char>(TValueType::vaInt16));
        putLittleEndian(FBytes, static_cast<std::uint32_t>(Value), 2);
    } else {
        FBytes.append(static_cast<char>(TValueType::vaInt32));
        putLittleEndian(FBytes, static_cast<std::uint32_t>(Value), 4);
    }
}

void TPropertyWriter::WriteBool(const QString& Name, bool Value) {
    name(Name);
    FBytes.append(static_cast<char>(Value ? TValueType::vaTrue : TValueType::vaFalse));
}

void TPropertyWriter::WriteString(const QString& Name, const QString& Value) {
    name(Name);
    if (isShortAscii(Value)) {
        FBytes.append(static_cast<char>(TValueType::vaString));
        putShortString(FBytes, Value.toLatin1());
    } else {
        const QByteArray utf8 = Value.toUtf8();
        FBytes.append(static_cast<char>(TValueType::vaUtf8String));
        putLittleEndian(FBytes, static_cast<std::uint32_t>(utf8.size()), 4);
        FBytes.append(utf8);
    }
}

void TPropertyWriter::WriteIdent(const QString& Name, const QString& Value) {
    name(Name);
    FBytes.append(static_cast<char>(TValueType::vaIdent));
    putShortString(FBytes, Value.toLatin1());
}

void TPropertyWriter::WriteSet(const QString& Name, const QStringList& Members) {
    name(Name);
    FBytes.append(static_cast<char>(TValueType::vaSet));
    for (const QString& m : Members) putShortString(FBytes, m.toLatin1());
    FBytes.append('\0');
}

QByteArray TPropertyWriter::Finish() const { return FBytes + QByteArray(1, '\0'); }

std::optional<TStreamedObject> ReadPropertyStream(const QByteArray& Bytes) {
    if (!Bytes.startsWith(kSignature)) return std::nullopt;
    Cursor in(Bytes);
    in.bytes(kSignature.size());
    TStreamedObject object;
    object.ClassName = in.shortString();
    object.ObjectName = in.shortString();
    for (;;) {
        const QString name = in.shortString();
        if (!in.ok()) return std::nullopt;
        if (name.isEmpty()) break;
        TStreamedProperty p{name, {}};
        if (!readValue(in, p.Value)) return std::nullopt;
        object.Properties.push_back(std::move(p));
    }
    return object;
}

} // namespace quire
