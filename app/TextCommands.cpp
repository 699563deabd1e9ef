// The text commands' computations.
#include "TextCommands.h"

#include "Cp932Codec.h"
#include "Settings.h"
#include "ShiftJis.h"

namespace quire {

namespace {

QStringView slice(QStringView s, qsizetype from, qsizetype count) { return s.mid(from, count); }
std::string_view slice(std::string_view s, qsizetype from, qsizetype count) {
    return s.substr(static_cast<size_t>(from), static_cast<size_t>(count));
}
int code(QChar c) { return c.unicode(); }
int code(char c) { return static_cast<unsigned char>(c); }

// The lines of Text, each with Mark before it and CR LF after it.
template <typename S, typename Text, typename Mark>
S quoted(Text text, const Mark& mark) {
    const auto size = static_cast<qsizetype>(text.size());
    S out;
    out.reserve(static_cast<size_t>(size + size / 8 + 4));
    qsizetype start = 0;
    while (start < size) {
        qsizetype end = start;
        while (end < size && code(text[end]) != '\r' && code(text[end]) != '\n') ++end;
        out += mark;
        out += slice(text, start, end - start);
        out += "\r\n";
        // CR LF is one line end; a lone CR or LF is one too.
        const bool crlf = end + 1 < size && code(text[end]) == '\r' && code(text[end + 1]) == '\n';
        start = end + (crlf ? 2 : 1);
    }
    return out;
}

} // namespace

QString QuoteLines(const QString& Text, const QString& Mark) { return quoted<QString>(QStringView(Text), Mark); }

std::string QuoteLines(std::string_view Text, std::string_view Mark) { return quoted<std::string>(Text, Mark); }

std::string ZenDigitsToAscii(std::string_view Text) {
    std::string out;
    out.reserve(Text.size());
    for (std::size_t i = 0; i < Text.size();) {
        const std::size_t n = sjis::CharLengthAt(Text, i);
        const auto trail = n == 2 ? static_cast<unsigned char>(Text[i + 1]) : 0;
        if (n == 2 && static_cast<unsigned char>(Text[i]) == 0x82 && trail >= 0x4F && trail <= 0x58) {
            out += static_cast<char>('0' + (trail - 0x4F));
        } else {
            out.append(Text.substr(i, n));
        }
        i += n;
    }
    return out;
}

} // namespace quire
