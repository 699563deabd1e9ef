// TRegexPattern: a compiled regular expression and the plain characters its matches hold.
#include "RegexPattern.h"

#include "Cp932Codec.h"

#include <algorithm>
#include <optional>

namespace quire {

namespace {

// A character whose every form compares equal only to itself without regard to case (kanji,
// kana, digits, punctuation): a search for its code finds each place a caseless match has it.
bool hasNoCase(char32_t U) {
    switch (QChar::category(U)) {
    case QChar::Letter_Uppercase:
    case QChar::Letter_Lowercase:
    case QChar::Letter_Titlecase: return false;
    default: break;
    }
    return QChar::toUpper(U) == U && QChar::toLower(U) == U && QChar::toCaseFolded(U) == U;
}

bool isAsciiAlnum(QChar C) { return C.unicode() < 0x80 && C.isLetterOrNumber(); }

// Reads the pattern from the left, collecting runs of plain characters. Any construct it is not
// sure of gives up (Failed), which only costs the search its shortcut.
class LiteralScanner {
public:
    LiteralScanner(const QString& Pattern, bool MatchCase) : p_(Pattern), n_(Pattern.size()), matchCase_(MatchCase) {}

    std::optional<QStringList> Scan() {
        while (i_ < n_) {
            if (!step()) return std::nullopt;
        }
        flush();
        std::stable_sort(runs_.begin(), runs_.end(),
                         [](const QString& a, const QString& b) { return a.size() > b.size(); });
        return runs_;
    }

private:
    QChar at(qsizetype k) const { return k < n_ ? p_[k] : QChar(); }

    void flush() {
        if (!run_.isEmpty()) runs_ << run_;
        run_.clear();
        lastLength_ = 0;
    }
    // An atom that is no plain character: the run ends before it.
    void opaque(qsizetype Length) {
        flush();
        i_ += Length;
    }
    // After a quantifier: optional (Min 0) takes the last character out of the run; the run
    // ends in every case, the character may repeat.
    void quantified(bool Optional, qsizetype Length) {
        if (Optional && lastLength_ > 0) run_.chop(lastLength_);
        flush();
        i_ += Length;
        if (at(i_) == u'?' || at(i_) == u'+') ++i_; // lazy or possessive
    }

    bool step() {
        const QChar c = p_[i_];
        switch (c.unicode()) {
        case u'*':
        case u'?': quantified(true, 1); return true;
        case u'+': quantified(false, 1); return true;
        case u'{': return braces();
        case u'|':
        case u')': return false;
        case u'(': return group();
        case u'[': {
            const qsizetype end = classEnd(i_);
            if (end < 0) return false;
            opaque(end - i_);
            return true;
        }
        case u'.':
        case u'^':
        case u'$': opaque(1); return true;
        case u'\\': return escape();
        default: literal(); return true;
        }
    }

    // A quantifier {n}, {n,} or {n,m}; anything else is given up.
    bool braces() {
        qsizetype k = i_ + 1;
        int min = 0;
        bool digits = false;
        while (at(k).isDigit()) {
            min = std::min(min * 10 + at(k).digitValue(), 100000);
            digits = true;
            ++k;
        }
        if (!digits) return false;
        if (at(k) == u',') {
            ++k;
            while (at(k).isDigit()) ++k;
        }
        if (at(k) != u'}') return false;
        quantified(min == 0, k + 1 - i_);
        return true;
    }

    bool group() {
        if (at(i_ + 1) == u'?') {
            // Options ((?i), (?x), (?-s), ...) would change what the characters mean.
            const QChar o = at(i_ + 2);
            if (o.isLetter() || o == u'-' || o == u'^') {
                const bool named = o == u'P' && (at(i_ + 3) == u'<' || at(i_ + 3) == u'=' || at(i_ + 3) == u'>');
                if (!named) return false;
            }
        }
        int depth = 0;
        for (qsizetype k = i_; k < n_; ++k) {
            const QChar d = p_[k];
            if (d == u'\\') {
                if (at(k + 1) == u'Q') return false;
                ++k;
            } else if (d == u'[') {
                k = classEnd(k);
                if (k < 0) return false;
                --k;
            } else if (d == u'(') {
                ++depth;
            } else if (d == u')' && --depth == 0) {
                opaque(k + 1 - i_);
                return true;
            }
        }
        return false;
    }

    // The place after the class that starts at K, or -1.
    qsizetype classEnd(qsizetype K) const {
        qsizetype k = K + 1;
        if (at(k) == u'^') ++k;
        if (at(k) == u']') ++k;
        while (k < n_) {
            const QChar d = p_[k];
            if (d == u'\\') {
                k += 2;
            } else if (d == u'[' && at(k + 1) == u':') {
                const qsizetype close = p_.indexOf(QStringLiteral(":]"), k + 2);
                if (close < 0) return -1;
                k = close + 2;
            } else if (d == u']') {
                return k + 1;
            } else {
                ++k;
            }
        }
        return -1;
    }

    bool escape() {
        const QChar d = at(i_ + 1);
        if (d.isNull() || d == u'Q') return false;
        if (!isAsciiAlnum(d)) {
            // An escaped sign is that sign.
            ++i_;
            literal();
            return true;
        }
        qsizetype length = 2;
        if (d == u'c') length = 3;
        const QChar after = at(i_ + 2);
        const bool braced = QStringLiteral("xopPgkN").contains(d) && after == u'{';
        const bool named = (d == u'k' || d == u'g') && (after == u'<' || after == u'\'');
        if (braced || named) {
            const QChar close = after == u'{' ? u'}' : after == u'<' ? u'>' : u'\'';
            const qsizetype end = p_.indexOf(close, i_ + 3);
            if (end < 0) return false;
            length = end + 1 - i_;
        }
        opaque(length);
        return true;
    }

    // The plain character at i_ (an escape's backslash is already passed).
    void literal() {
        const QChar c = p_[i_];
        qsizetype length = 1;
        char32_t u = c.unicode();
        if (c.isHighSurrogate() && at(i_ + 1).isLowSurrogate()) {
            u = QChar::surrogateToUcs4(c, p_[i_ + 1]);
            length = 2;
        }
        const bool usable = u != 0xFFFD && !QChar::isSurrogate(u) && (matchCase_ || hasNoCase(u));
        if (!usable) {
            opaque(length);
            return;
        }
        run_.append(p_.mid(i_, length));
        lastLength_ = length;
        i_ += length;
    }

    const QString& p_;
    const qsizetype n_;
    const bool matchCase_;
    qsizetype i_ = 0;
    QString run_;
    qsizetype lastLength_ = 0;
    QStringList runs_;
};

QRegularExpression compiled(const QString& Pattern, bool MatchCase) {
    QRegularExpression::PatternOptions o = QRegularExpression::UseUnicodePropertiesOption;
    if (!MatchCase) o |= QRegularExpression::CaseInsensitiveOption;
    QRegularExpression e(Pattern, o);
    if (e.isValid()) e.optimize();
    return e;
}

} // namespace

QString WithNearCharacters(const QString& Text) {
    QString out = Text;
    for (QChar& c : out) {
        if (c.isSurrogate() || c.unicode() < 0x80 || cp932::EncodeExact(c.unicode()) >= 0) continue;
        const int code = cp932::EncodeChar(c.unicode());
        if (code < 0) continue;
        const char16_t near =
            cp932::DecodeChar(static_cast<unsigned char>(code >> 8), static_cast<unsigned char>(code));
        // Only characters that mean nothing to the expression: ¥ (0x5C) stays, or it would
        // become the escape sign.
        if (near >= 0x80 && near != c.unicode()) c = QChar(near);
    }
    return out;
}

QStringList RequiredLiterals(const QString& Pattern, bool MatchCase) {
    return LiteralScanner(Pattern, MatchCase).Scan().value_or(QStringList());
}

TRegexPattern::TRegexPattern(const QString& Pattern, bool MatchCase)
    : FPattern(Pattern), FMatchCase(MatchCase), FExact(compiled(Pattern, MatchCase)) {
    const QString near = WithNearCharacters(Pattern);
    FNear = near == Pattern ? FExact : compiled(near, MatchCase);
    if (FExact.isValid()) FLiterals = RequiredLiterals(Pattern, MatchCase);
}

int TRegexPattern::ErrorColumn() const {
    const qsizetype offset = std::clamp<qsizetype>(FExact.patternErrorOffset(), 0, FPattern.size());
    return static_cast<int>(QStringView(FPattern).left(offset).toUcs4().size()) + 1;
}

QString TRegexPattern::ErrorText() const {
    if (Valid()) return QString();
    return QStringLiteral("正規表現に誤りがあります（%1 文字目: %2）。\r\r%3")
        .arg(ErrorColumn())
        .arg(EngineError(), FPattern);
}

} // namespace quire
