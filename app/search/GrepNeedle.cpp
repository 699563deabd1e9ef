// TGrepNeedle: the longest run of pattern characters that every match stands on byte for
// byte in UTF-8 and in EUC.
#include "GrepNeedle.h"

#include "Cp932Codec.h"
#include "jconvert.h"

namespace quire {

namespace {

using Byte = unsigned char;

// Whether the search may match a Shift_JIS character with another one when case is ignored:
// ASCII letters, and the full-width Latin, Greek and Cyrillic letters and roman numerals,
// either case (as the search's own case table has them).
bool hasCaseForms(std::string_view Sjis) {
    const auto lead = static_cast<Byte>(Sjis[0]);
    if (Sjis.size() == 1) return (lead >= 'A' && lead <= 'Z') || (lead >= 'a' && lead <= 'z');
    const auto trail = static_cast<Byte>(Sjis[1]);
    switch (lead) {
    case 0x82: return trail >= 0x60 && trail <= 0x9A;
    case 0x83: return trail >= 0x9F && trail <= 0xD6;
    case 0x84: return trail >= 0x40 && trail <= 0x91;
    case 0x87: return trail >= 0x54 && trail <= 0x5D;
    case 0xEE: return trail >= 0xEF && trail <= 0xF8;
    default: return false;
    }
}

// A character of JIS X 0208 that EUC holds as its two bytes plus 0x80 (rows 1-8 and the kanji
// of rows 16-84) and no other EUC bytes read as: the special rows, the extensions and the
// user-defined area are left out.
bool plainJis(std::string_view Sjis) {
    const auto lead = static_cast<Byte>(Sjis[0]);
    return (lead >= 0x81 && lead <= 0x84) || (lead >= 0x88 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xEA);
}

// The longest run of the pattern's characters for which Take gives bytes (an empty string:
// none), those bytes joined.
template <typename F>
std::string longestRun(const QString& Pattern, F Take) {
    std::string best, run;
    for (qsizetype i = 0; i < Pattern.size(); ++i) {
        const qsizetype n = Pattern[i].isHighSurrogate() && i + 1 < Pattern.size() ? 2 : 1;
        const std::string bytes = Take(QStringView(Pattern).mid(i, n));
        i += n - 1;
        if (bytes.empty()) {
            run.clear();
            continue;
        }
        run += bytes;
        if (run.size() > best.size()) best = run;
    }
    return best;
}

} // namespace

TGrepNeedle::TGrepNeedle(const QString& Pattern, bool MatchCase) {
    // A match never leaves its line: a pattern with a line end has none to look for.
    if (Pattern.contains(u'\r') || Pattern.contains(u'\n')) return;
    // A UTF-8 text takes each character's own code page 932 code or one of its table, as the
    // pattern does: equal codes are equal characters, which UTF-8 writes one way.
    FUtf8 = longestRun(Pattern, [&](QStringView Ch) -> std::string {
        if (Ch.size() == 1 && Ch[0].isSurrogate()) return {};
        if (!MatchCase) {
            bool lost = false;
            const std::string sjis = cp932::FromUnicode(Ch, &lost);
            if (lost || sjis.empty() || hasCaseForms(sjis)) return {};
        }
        return Ch.toUtf8().toStdString();
    });
    // An EUC text's ASCII and plain JIS X 0208 characters stand in it as the pattern's codes
    // converted.
    FEuc = longestRun(Pattern, [&](QStringView Ch) -> std::string {
        bool lost = false;
        const std::string sjis = cp932::FromUnicode(Ch, &lost);
        if (lost || sjis.empty() || (!MatchCase && hasCaseForms(sjis))) return {};
        const auto first = static_cast<Byte>(sjis[0]);
        if (sjis.size() == 1) return first >= 0x20 && first <= 0x7E ? sjis : std::string();
        return plainJis(sjis) ? jconvert::SjisToEuc(sjis) : std::string();
    });
}

std::string_view TGrepNeedle::In(int Detection) const noexcept {
    if (Detection == jconvert::kdUtf8) return FUtf8;
    if (Detection == jconvert::kdEuc) return FEuc;
    return {};
}

} // namespace quire
