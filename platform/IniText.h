// TIniText: the lines of an ini file, each kept as the bytes it was read with.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

namespace quire {

// Sections of "key=value" lines. Every line keeps its own bytes and its own line end, so
// Bytes() gives back exactly what was parsed, and a change rewrites only the line it touches:
// comments, other keys and bytes that are neither UTF-8 nor Shift_JIS stay as they were.
//
// Invariants: Bytes() is the byte order mark (when there was one) followed by every line's
// bytes and line end, in order; every line but the last has a line end.
//
// For matching and reading, a line is decoded as UTF-8 when its bytes are valid UTF-8, else
// as code page 932 (files of the older program, and such files with UTF-8 lines added).
// Lines written here are UTF-8. Section and key names compare without regard to case; the
// first section of a name holds its keys, and the first key of a name in it counts.
class TIniText {
public:
    TIniText() = default;
    explicit TIniText(const QByteArray& Bytes);

    QByteArray Bytes() const;
    int LineCount() const { return static_cast<int>(FLines.size()); }
    // Line Index as it will be written, line end included.
    QByteArray LineBytes(int Index) const;

    // The value of Key (trimmed, one pair of enclosing quotes removed); nothing when the
    // section or key is missing.
    std::optional<QString> Value(const QString& Section, const QString& Key) const;
    bool HasSection(const QString& Section) const;

    // Why Key=Value cannot be written into Section, or empty when it can. A CR, LF or NUL
    // would end the line and start lines of its own, so no name or value may carry one; a
    // key may not hold "=" nor start with ";" or "[", a section name may not hold "]", and
    // neither may be empty or begin or end with blanks (they would read back otherwise).
    static QString WriteProblem(const QString& Section, const QString& Key, const QString& Value);

    // Sets Key=Value, adding the key after the section's last non-blank line, or the section
    // at the end of the file. False when the key already read so (nothing changed). The
    // caller checks WriteProblem first.
    bool SetValue(const QString& Section, const QString& Key, const QString& Value);
    // Remove one key, or a section with its keys; false when there was nothing to remove.
    bool RemoveKey(const QString& Section, const QString& Key);
    bool RemoveSection(const QString& Section);

private:
    struct TLine {
        QByteArray Raw; // the line's bytes without its line end
        QByteArray End; // "\r\n", "\n", "\r", or empty for a last line without one
        QString Text;   // Raw decoded
    };
    // Lines [First, End) of a section: First is the line after its header.
    struct TRange {
        int Header, First, End;
    };

    std::optional<TRange> FindSection(const QString& Name) const;
    int FindKey(const TRange& R, const QString& Key) const;
    void InsertLine(int At, const QString& Text);

    QByteArray FBom;
    QByteArray FLineEnd = "\n"; // for new lines: the file's first line end
    std::vector<TLine> FLines;
};

} // namespace quire
