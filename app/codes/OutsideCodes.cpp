// TPageCodes and the forms of a page's characters in the other codes.
#include "OutsideCodes.h"

#include "Cp932Codec.h"
#include "JisCodes.h"
#include "OutsideCharTable.h"
#include "ShiftJis.h"

namespace quire {

using jconvert::TOutsideForm;

namespace {

bool isTrail(unsigned char c) noexcept { return c >= 0x40 && c <= 0xFC && c != 0x7F; }

// The form of Code (lead 0xF0-0xFC) in JIS or EUC, as TPageCodes::Form tells it.
TOutsideForm formOf(int code, bool jis, const TOutsideCharTable* table) noexcept {
    const char32_t ch = CharOfCode(static_cast<unsigned char>(code >> 8), static_cast<unsigned char>(code), table);
    if (ch == 0) return {TOutsideForm::Lost, 0};
    if (ch >= TOutsideCharTable::RawByteBase + 0x80 && ch <= TOutsideCharTable::RawByteBase + 0xFF)
        return jis ? TOutsideForm{TOutsideForm::Lost, 0} : TOutsideForm{TOutsideForm::Byte, int(ch & 0xFF)};
    if (const int c = jis::Code0208Of(ch); c >= 0) return {TOutsideForm::Jis0208, c};
    if (const int c = jis::Code0212Of(ch); c >= 0 && !jis) return {TOutsideForm::Jis0212, c};
    return {TOutsideForm::Lost, 0};
}

} // namespace

char32_t CharOfCode(unsigned char lead, unsigned char trail, const TOutsideCharTable* table) noexcept {
    if (table)
        if (const char32_t ch = table->CharOf(lead, trail)) return ch;
    return cp932::DecodeChar(lead, trail);
}

int TPageCodes::codeOf(char32_t ch) {
    const int code = FWritable ? FWritable->CodeOf(ch) : -1;
    if (code >= 0) return code;
    ++FUnkept;
    return kGeta;
}

int TPageCodes::Code0212(int code) {
    const char32_t ch = jis::CharOf0212(code);
    return ch == 0 ? -1 : codeOf(ch);
}

int TPageCodes::RawByte(uint8_t b) {
    ++FStray;
    return codeOf(TOutsideCharTable::RawByteBase + b);
}

TOutsideForm TPageCodes::Form(int code, bool jis) const { return formOf(code, jis, FTable); }

TKeptChar KeptInJis(std::string_view text, std::size_t i, bool jis, const TOutsideCharTable* table) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80 || (c >= 0xA1 && c <= 0xDF)) return {true, 1};
    const bool pair = sjis::IsLeadByte(c) && i + 1 < text.size() && isTrail(static_cast<unsigned char>(text[i + 1]));
    if (!pair) return {false, 1};
    const auto d = static_cast<unsigned char>(text[i + 1]);
    if (c < 0xF0) {
        const auto [row, cell] = jconvert::SjisToJisPair(c, d);
        return {jconvert::IsJisX0208(row, cell), 2};
    }
    return {formOf(c << 8 | d, jis, table).Kind != TOutsideForm::Lost, 2};
}

int ShiftJisCodeOf(char32_t ch) noexcept {
    if (ch >= 0x10000 || (ch >= 0xD800 && ch <= 0xDFFF)) return -1;
    return cp932::EncodeChar(static_cast<char16_t>(ch));
}

std::string ShiftJisOfTable(std::string_view text, const TOutsideCharTable& table) {
    std::string out;
    if (table.Empty()) return std::string(text);
    out.reserve(text.size());
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    std::size_t copied = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (p[i] < 0x80 || !sjis::IsLeadByte(p[i]) || i + 1 == n) continue;
        const char32_t ch = p[i] >= 0xF0 ? table.CharOf(p[i], p[i + 1]) : 0;
        if (ch != 0) {
            out.append(text.substr(copied, i - copied));
            const int code = ShiftJisCodeOf(ch);
            if (code < 0)
                out += '?';
            else if (code < 0x100)
                out += static_cast<char>(code);
            else
                out += {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
            copied = i + 2;
        }
        ++i; // the trail byte
    }
    if (copied == 0) return std::string(text);
    out.append(text.substr(copied));
    return out;
}

} // namespace quire
