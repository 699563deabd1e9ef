// Shift_JIS (code page 932) byte-string routines.
#include "ShiftJis.h"

namespace quire::sjis {

TMbcsByteType ByteType(std::string_view s, std::size_t pos) noexcept {
    if (pos < 1 || pos > s.size()) return TMbcsByteType::mbSingleByte;
    const std::size_t target = pos - 1;
    std::size_t i = 0;
    while (i < target) {
        if (IsLeadByte(s[i])) {
            if (i + 1 == target) return TMbcsByteType::mbTrailByte;
            i += 2;
        } else {
            ++i;
        }
    }
    return IsLeadByte(s[target]) ? TMbcsByteType::mbLeadByte : TMbcsByteType::mbSingleByte;
}

bool IsLeadByteAt(std::string_view s, std::size_t pos) noexcept {
    return ByteType(s, pos) == TMbcsByteType::mbLeadByte;
}

bool IsTrailByteAt(std::string_view s, std::size_t pos) noexcept {
    return ByteType(s, pos) == TMbcsByteType::mbTrailByte;
}

std::size_t CharCount(std::string_view s, std::size_t n) noexcept {
    if (n > s.size()) n = s.size();
    std::size_t count = 0;
    for (std::size_t i = 0; i < n; i += IsLeadByte(s[i]) ? 2 : 1) ++count;
    return count;
}

std::size_t CharsToBytes(std::string_view s, std::size_t chars) noexcept {
    std::size_t i = 0;
    while (chars > 0 && i < s.size()) {
        i += CharLengthAt(s, i);
        --chars;
    }
    return i;
}

bool ContainsChar(std::string_view rules, std::string_view ch) noexcept {
    if (ch.empty()) return false;
    for (std::size_t i = 0; i < rules.size();) {
        const std::size_t len = CharLengthAt(rules, i);
        if (rules.substr(i, len) == ch) return true;
        i += len;
    }
    return false;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(text.substr(start, i - start));
            i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

int LeadingBlankWidth(std::string_view s) noexcept {
    int width = 0;
    std::size_t i = 0;
    while (i < s.size()) {
        if (s[i] == ' ') {
            width += 1;
            i += 1;
        } else if (i + 1 < s.size() && static_cast<unsigned char>(s[i]) == 0x81 &&
                   static_cast<unsigned char>(s[i + 1]) == 0x40) {
            width += 2;
            i += 2;
        } else {
            break;
        }
    }
    return width;
}

} // namespace quire::sjis
