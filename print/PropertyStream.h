// The binary property stream in which an object's published properties are stored.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

namespace quire {

// Layout: the signature "TPF0"; the class name and the object name as short strings (a
// length byte, then that many bytes); then each property as its name (a short string), a
// type tag and the value; an empty name (one zero byte) ends the list. Integers are little
// endian. The stream says what every value is, so a reader needs no schema to walk it.
enum class TValueType : std::uint8_t {
    vaInt8 = 2,        // 1 byte, signed
    vaInt16 = 3,       // 2 bytes, signed
    vaInt32 = 4,       // 4 bytes, signed
    vaString = 6,      // short string of ASCII
    vaIdent = 7,       // short string naming an enumeration value
    vaFalse = 8,       // no value bytes
    vaTrue = 9,        // no value bytes
    vaSet = 11,        // short strings of the members, ended by an empty one
    vaUtf8String = 20, // 4-byte length, then UTF-8
};

struct TPropertyValue {
    TValueType Type = TValueType::vaInt8;
    int Int = 0;     // the integer types
    QString Text;    // vaString, vaIdent, vaUtf8String
    QStringList Set; // vaSet

    bool IsInteger() const noexcept;
    bool IsBool() const noexcept { return Type == TValueType::vaFalse || Type == TValueType::vaTrue; }
    bool IsString() const noexcept { return Type == TValueType::vaString || Type == TValueType::vaUtf8String; }
};

struct TStreamedProperty {
    QString Name;
    TPropertyValue Value;
};

struct TStreamedObject {
    QString ClassName;
    QString ObjectName;
    std::vector<TStreamedProperty> Properties;
};

// Writes one object's properties in order. Names (class, object, property, identifiers,
// set members) are ASCII of at most 255 characters.
class TPropertyWriter {
public:
    TPropertyWriter(const QString& ClassName, const QString& ObjectName);
    void WriteInteger(const QString& Name, int Value);
    void WriteBool(const QString& Name, bool Value);
    void WriteString(const QString& Name, const QString& Value);
    void WriteIdent(const QString& Name, const QString& Value);
    void WriteSet(const QString& Name, const QStringList& Members);
    // The whole stream, with the end of the list.
    QByteArray Finish() const;

private:
    void name(const QString& Name);
    QByteArray FBytes;
};

// The object in Bytes, or nothing when the stream is not a well-formed property stream
// (wrong signature, unknown type tag, a value running past the end).
std::optional<TStreamedObject> ReadPropertyStream(const QByteArray& Bytes);

} // namespace quire
