// Case and width mapping of code page 932 text.
//
// Each character is decoded, mapped in UTF-16 and encoded again; a mapping that would not
// survive the way back into code page 932 is not applied, so no text is ever lost.
#include "CharMapping.h"

#include "Cp932Codec.h"
#include "ShiftJis.h"

#include <QString>
#include <memory>
#include <mutex>
#include <unicode/translit.h>
#include <unicode/unistr.h>

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

template <typename MapOne>
std::string mapEach(std::string_view text, MapOne mapOne) {
    const QString u = ToUnicode(text);
    std::string out;
    out.reserve(text.size());
    const qsizetype n = u.size();
    for (qsizetype i = 0; i < n;) {
        const qsizetype used = mapOne(u, i, out);
        i += used;
    }
    return out;
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

bool isSoundMark(QChar c) { return c.unicode() == 0xFF9E || c.unicode() == 0xFF9F; }

} // namespace

std::string ToUpper(std::string_view text) { return caseMap(text, true); }
std::string ToLower(std::string_view text) { return caseMap(text, false); }

// The whole text mapped at once, when all of the result has codes (the common case).
static bool mapWhole(Transliterator& t, std::string_view text, std::string& out) {
    return encodeAll(t.map(ToUnicode(text)), out);
}

std::string ToHalfWidth(std::string_view text) {
    if (std::string out; mapWhole(toHalf(), text, out)) return out;
    return mapEach(text, [](const QString& u, qsizetype i, std::string& out) -> qsizetype {
        const QString one = u.mid(i, 1);
        if (!encodeAll(toHalf().map(one), out)) out += FromUnicode(one);
        return 1;
    });
}

std::string ToFullWidth(std::string_view text) {
    if (std::string out; mapWhole(toFull(), text, out)) return out;
    return mapEach(text, [](const QString& u, qsizetype i, std::string& out) -> qsizetype {
        // A half-width kana and its sound mark make one full-width character when one exists.
        if (i + 1 < u.size() && isSoundMark(u[i + 1])) {
            const QString pair = u.mid(i, 2);
            const QString mapped = toFull().map(pair);
            if (mapped.size() == 1 && encodeAll(mapped, out)) return 2;
        }
        const QString one = u.mid(i, 1);
        if (!encodeAll(toFull().map(one), out)) out += FromUnicode(one);
        return 1;
    });
}

} // namespace quire::cp932
