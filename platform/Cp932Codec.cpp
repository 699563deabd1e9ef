// Conversion between code page 932 (Shift_JIS) bytes and UTF-16.
//
// The tables are built once from the system's iconv "CP932" converter, which agrees with
// Windows on every double-byte code and keeps the control bytes 0x1A, 0x1C and 0x7F. After
// that every conversion is a table look-up.
#include "Cp932Codec.h"

#include "Cp932Table.h"
#include "OutsideCharTable.h"
#include "ShiftJis.h"

#include <array>
#include <cerrno>
#include <iconv.h>
#include <memory>
#include <utility>
#include <vector>

namespace quire::cp932 {
namespace {

constexpr char16_t kEscapeBase = 0xDC00; // invalid byte B decodes to kEscapeBase + B

constexpr std::pair<char16_t, int32_t> kBestFit[] = {
    {0x301C, 0x8160}, {0x2212, 0x817C}, {0x2016, 0x8161}, {0x00A2, 0x8191},
    {0x00A3, 0x8192}, {0x00AC, 0x81CA}, {0x2014, 0x815C},
};

// Converts the two bytes In with Cd; returns the number of bytes written to Out (at most
// 8), or 0 when the converter rejects them.
size_t convertPair(iconv_t cd, const char (&in)[2], char (&out)[8]) {
    char buffer[2] = {in[0], in[1]};
    char* inp = buffer;
    char* outp = out;
    size_t inLeft = 2, outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &inp, &inLeft, &outp, &outLeft) == static_cast<size_t>(-1) || inLeft != 0) return 0;
    return sizeof out - outLeft;
}

struct Tables {
    // Double-byte code (lead << 8 | trail) to Unicode; 0 where the code is not valid.
    std::vector<char16_t> toUnicode = std::vector<char16_t>(0x10000, 0);
    // Unicode to code page 932: 0x0000-0x00FF a single byte, above a double-byte code,
    // -1 where there is no code.
    std::vector<int32_t> fromUnicode = std::vector<int32_t>(0x10000, -1);
    // The codes of fromUnicode that decode to their own character again; -1 elsewhere.
    std::vector<int32_t> exact = std::vector<int32_t>(0x10000, -1);

    Tables() {
        for (int code = 0x8100; code < 0x10000; ++code)
            toUnicode[code] = DoubleByteChar(static_cast<unsigned char>(code >> 8), static_cast<unsigned char>(code));
        for (int b = 0; b < 0x80; ++b) fromUnicode[b] = b;
        for (int b = 0xA1; b <= 0xDF; ++b) fromUnicode[0xFF61 + (b - 0xA1)] = b;

        // Several double-byte codes share one character (NEC and IBM twins); let the
        // system's encoder pick the code for each, as Windows does.
        iconv_t enc = iconv_open("CP932", "UTF-16LE");
        if (enc == reinterpret_cast<iconv_t>(-1)) return;
        for (int code = 0; code < 0x10000; ++code) {
            const char16_t u = toUnicode[code];
            if (u == 0 || fromUnicode[u] != -1) continue;
            const char in[2] = {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
            char out[8];
            if (convertPair(enc, in, out) == 2) {
                fromUnicode[u] = (static_cast<unsigned char>(out[0]) << 8) | static_cast<unsigned char>(out[1]);
            } else {
                fromUnicode[u] = code;
            }
        }
        iconv_close(enc);
        // What Linux input methods and web pages give for characters code page 932 holds
        // under other code points: the wave dash, minus, double vertical line, cent, pound,
        // not sign and em dash.
        for (const auto& [ch, code] : kBestFit)
            if (fromUnicode[ch] == -1) fromUnicode[ch] = code;
        for (int u = 0; u < 0x10000; ++u) {
            const int32_t code = fromUnicode[u];
            if (code < 0) continue;
            char16_t back = 0;
            if (code < 0x80)
                back = static_cast<char16_t>(code);
            else if (code >= 0xA1 && code <= 0xDF)
                back = static_cast<char16_t>(0xFF61 + (code - 0xA1));
            else if (code >= 0x100)
                back = toUnicode[code];
            if (back == u) exact[u] = code;
        }
    }
};

const Tables& tables() {
    static const Tables instance;
    return instance;
}

// Puts the table's character Ch in place of a code: a character beyond the BMP takes two
// units (never more than the code's two bytes), a raw byte its escape or U+FFFD.
void putTableChar(QChar* out, qsizetype& n, char32_t ch, bool display) {
    if (ch >= TOutsideCharTable::RawByteBase && ch <= TOutsideCharTable::RawByteBase + 0xFF) {
        out[n++] = QChar(display ? char16_t(0xFFFD)
                                 : static_cast<char16_t>(kEscapeBase + (ch - TOutsideCharTable::RawByteBase)));
    } else if (ch >= 0x10000) {
        out[n++] = QChar(QChar::highSurrogate(ch));
        out[n++] = QChar(QChar::lowSurrogate(ch));
    } else {
        out[n++] = QChar(static_cast<char16_t>(ch));
    }
}

QString decode(std::string_view bytes, bool display, const TOutsideCharTable* table) {
    const Tables& t = tables();
    QString result;
    result.resize(static_cast<qsizetype>(bytes.size()));
    QChar* out = result.data();
    qsizetype n = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    for (std::size_t i = 0; i < size;) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            out[n++] = QChar(c);
            ++i;
        } else if (c >= 0xA1 && c <= 0xDF) {
            out[n++] = QChar(static_cast<char16_t>(0xFF61 + (c - 0xA1)));
            ++i;
        } else if (table && c >= 0xF0 && c <= 0xF9 && i + 1 < size && table->CharOf(c, p[i + 1]) != 0) {
            putTableChar(out, n, table->CharOf(c, p[i + 1]), display);
            i += 2;
        } else if (sjis::IsLeadByte(c) && i + 1 < size && t.toUnicode[(c << 8) | p[i + 1]] != 0) {
            out[n++] = QChar(t.toUnicode[(c << 8) | p[i + 1]]);
            i += 2;
        } else {
            // A byte that begins no valid character; the byte after it is read afresh.
            out[n++] = QChar(display ? char16_t(0xFFFD) : char16_t(kEscapeBase + c));
            ++i;
        }
    }
    result.truncate(n);
    return result;
}

} // namespace

QString ToUnicode(std::string_view bytes, const TOutsideCharTable* table) { return decode(bytes, false, table); }

QString ToDisplay(std::string_view bytes, const TOutsideCharTable* table) { return decode(bytes, true, table); }

std::string FromUnicode(QStringView text, bool* lossy) {
    QString lost;
    std::string result = FromUnicode(text, lossy ? &lost : nullptr);
    if (lossy) *lossy = !lost.isEmpty();
    return result;
}

std::string FromUnicode(QStringView text, QString* lost) { return FromUnicode(text, nullptr, lost); }

std::string FromUnicode(QStringView text, TOutsideCharTable* table, QString* lost) {
    const Tables& t = tables();
    std::string result;
    result.reserve(static_cast<std::size_t>(text.size()) * 2);
    auto lose = [&](QStringView ch) {
        result.push_back('?');
        if (lost && !lost->contains(ch)) lost->append(ch);
    };
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t u = text[i].unicode();
        if (u >= kEscapeBase + 0x80 && u <= kEscapeBase + 0xFF) {
            result.push_back(static_cast<char>(u - kEscapeBase));
            continue;
        }
        const bool pair = QChar::isHighSurrogate(u) && i + 1 < size && text[i + 1].isLowSurrogate();
        if (table) {
            // A page with a table keeps every character: those without an exact code take
            // codes of the table.
            const char32_t ch = pair ? QChar::surrogateToUcs4(u, text[i + 1].unicode()) : char32_t(u);
            const int code = QChar::isSurrogate(u) && !pair ? -1 : CodeFor(ch, *table);
            if (code < 0)
                lose(text.mid(i, pair ? 2 : 1));
            else if (code < 0x100)
                result.push_back(static_cast<char>(code));
            else {
                result.push_back(static_cast<char>(code >> 8));
                result.push_back(static_cast<char>(code & 0xFF));
            }
            if (pair) ++i;
            continue;
        }
        if (pair) {
            lose(text.mid(i, 2)); // a character beyond the BMP: code page 932 has none
            ++i;
            continue;
        }
        const int32_t code = QChar::isSurrogate(u) ? -1 : t.fromUnicode[u];
        if (code < 0) {
            lose(text.mid(i, 1));
        } else if (code < 0x100) {
            result.push_back(static_cast<char>(code));
        } else {
            result.push_back(static_cast<char>(code >> 8));
            result.push_back(static_cast<char>(code & 0xFF));
        }
    }
    return result;
}

TPageChar PageCharAt(std::string_view s, std::size_t i, const TOutsideCharTable* table) noexcept {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) return {c, 1};
    if (c >= 0xA1 && c <= 0xDF) return {char32_t(0xFF61 + (c - 0xA1)), 1};
    if (!sjis::IsLeadByte(c) || i + 1 == s.size()) return {};
    const auto trail = static_cast<unsigned char>(s[i + 1]);
    char32_t ch = table && c >= 0xF0 && c <= 0xF9 ? table->CharOf(c, trail) : 0;
    if (ch == 0) ch = DecodeChar(c, trail);
    return ch == 0 ? TPageChar{} : TPageChar{ch, 2};
}

char16_t DecodeChar(unsigned char lead, unsigned char trail) noexcept {
    if (lead < 0x80) return lead == 0 ? 0 : lead;
    if (lead >= 0xA1 && lead <= 0xDF) return static_cast<char16_t>(0xFF61 + (lead - 0xA1));
    if (!sjis::IsLeadByte(lead)) return 0;
    return tables().toUnicode[(lead << 8) | trail];
}

int EncodeExact(char32_t ch) noexcept {
    if (ch >= 0x10000 || (ch >= 0xD800 && ch <= 0xDFFF)) return -1;
    return tables().exact[ch];
}

int EncodeChar(char16_t ch) noexcept {
    if (QChar::isSurrogate(ch)) return -1;
    return tables().fromUnicode[ch];
}

int CodeFor(char32_t ch, TOutsideCharTable& table) {
    const bool bmp = ch < 0x10000 && (ch < 0xD800 || ch > 0xDFFF);
    const int code = table.ExactUnicode() ? EncodeExact(ch) : bmp ? tables().fromUnicode[ch] : -1;
    if (code >= 0 && (!TOutsideCharTable::IsUserDefined(code) || table.Reserve(code))) return code;
    return table.CodeOf(ch);
}

} // namespace quire::cp932
