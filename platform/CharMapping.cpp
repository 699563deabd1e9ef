// Case and width mapping of code page 932 text.
//
// Each character is decoded, mapped in UTF-16 and encoded again; a mapping that would not
// survive the way back into code page 932 is not applied, so no text is ever lost.
#include "CharMapping.h"

#include "Cp932Codec.h"
#include "ShiftJis.h"

#include <QString>
#include <algorithm>
#include <memory>
#include <mutex>
#include <unicode/translit.h>
#include <unicode/unistr.h>
#include <unordered_map>

namespace quire::cp932 {
namespace {

// Encodes Mapped when every character of it has a code; returns false otherwise.
bool encodeAll(const QString& mapped, std::string& out) {
    bool lossy = false;
    std::string bytes = FromUnicode(mapped, &lossy);
    if (lossy) return false;
    out += bytes;
    return true;
}

// Character by character, so that a character without a case partner keeps its own bytes:
// encoding it again could give another code of the same character (the NEC-selected and
// the IBM codes of one kanji), which a search for the original bytes would no longer find.
std::string caseMap(std::string_view text, bool upper) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::string_view ch = text.substr(i, sjis::CharLengthAt(text, i));
        const QString u = ToUnicode(ch);
        bool mapped = false;
        if (u.size() == 1) {
            const QChar m = upper ? u[0].toUpper() : u[0].toLower();
            mapped = m != u[0] && encodeAll(QString(m), out);
        }
        if (!mapped) out += ch;
        i += ch.size();
    }
    return out;
}

class Transliterator {
public:
    explicit Transliterator(const char* id) {
        UErrorCode status = U_ZERO_ERROR;
        t_.reset(icu::Transliterator::createInstance(icu::UnicodeString(id), UTRANS_FORWARD, status));
        if (U_FAILURE(status)) t_.reset();
    }
    QString map(const QString& s) {
        if (!t_) return s;
        std::lock_guard lock(mutex_);
        icu::UnicodeString us(reinterpret_cast<const UChar*>(s.utf16()), static_cast<int32_t>(s.size()));
        t_->transliterate(us);
        return QString(reinterpret_cast<const QChar*>(us.getBuffer()), us.length());
    }

private:
    std::unique_ptr<icu::Transliterator> t_;
    std::mutex mutex_;
};

Transliterator& toHalf() {
    static Transliterator t("Fullwidth-Halfwidth");
    return t;
}
Transliterator& toFull() {
    static Transliterator t("Halfwidth-Fullwidth");
    return t;
}

// The half-width voiced and semi-voiced sound marks (ﾞ and ﾟ), single bytes.
bool isSoundMark(char c) { return static_cast<unsigned char>(c) == 0xDE || static_cast<unsigned char>(c) == 0xDF; }

// Bytes that make no character decode to the escapes U+DC80-U+DCFF; a character that holds
// one is left as it is.
bool hasInvalidByte(const QString& u) {
    return std::any_of(u.begin(), u.end(), [](QChar c) { return c.unicode() >= 0xDC80 && c.unicode() <= 0xDCFF; });
}

// Maps the text character by character through T, so that a character the mapping leaves
// alone keeps its own bytes (re-encoding it could give the other code of an NEC/IBM twin,
// which a search for the original bytes would no longer find), and a character whose
// mapping code page 932 cannot hold stays as it was. With Pairs, a half-width kana and the
// sound mark after it are mapped together (ｶﾞ becomes ガ) when that gives one character.
// The mappings of the characters met are remembered: ICU is asked once per distinct one.
std::string widthMap(Transliterator& t, std::string_view text, bool pairs) {
    std::unordered_map<std::string, std::string> known;
    auto mapped = [&](std::string_view ch) -> const std::string& {
        auto [it, fresh] = known.try_emplace(std::string(ch));
        if (fresh) {
            const QString u = ToUnicode(ch);
            const QString m = hasInvalidByte(u) ? u : t.map(u);
            if (m == u || !encodeAll(m, it->second)) it->second = std::string(ch);
        }
        return it->second;
    };
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = sjis::CharLengthAt(text, i);
        if (pairs && n == 1 && i + 1 < text.size() && isSoundMark(text[i + 1])) {
            // Both are single bytes (half-width kana and sound marks are): one character
            // when the pair has a full-width form, else each on its own.
            const std::string& both = mapped(text.substr(i, 2));
            if (ToUnicode(both).size() == 1) {
                out += both;
                i += 2;
                continue;
            }
        }
        out += mapped(text.substr(i, n));
        i += n;
    }
    return out;
}

} // namespace

std::string ToUpper(std::string_view text) { return caseMap(text, true); }
std::string ToLower(std::string_view text) { return caseMap(text, false); }

std::string ToHalfWidth(std::string_view text) { return widthMap(toHalf(), text, false); }

std::string ToFullWidth(std::string_view text) { return widthMap(toFull(), text, true); }

} // namespace quire::cp932
