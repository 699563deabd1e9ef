// TRegexPattern: a regular expression of find, replace and grep, compiled once, with the runs
// of plain characters that every match of it holds.
#pragma once

#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace quire {

// The expression is Qt's (PCRE2, compiled just in time) over the characters of a row, with
// Unicode properties: \d takes the full-width digits as well, \w kanji and kana, and without
// MatchCase letters compare by Unicode case folding, which finds full-width, Greek, Cyrillic
// and roman-numeral capitals as the search routine does. Matching is thread-safe: threads may
// share one pattern.
class TRegexPattern {
public:
    TRegexPattern() = default;
    TRegexPattern(const QString& Pattern, bool MatchCase);

    const QString& Pattern() const noexcept { return FPattern; }
    bool MatchCase() const noexcept { return FMatchCase; }
    bool Valid() const { return FExact.isValid(); }
    // Why the pattern is no expression, in the user's words, quoting the engine's message and
    // the place; empty when it is valid.
    QString ErrorText() const;
    // The engine's message alone, and the character (from 1) where it found the fault.
    QString EngineError() const { return FExact.errorString(); }
    int ErrorColumn() const;

    // The expression for a page whose codes keep every Unicode character apart (a UTF-8 or
    // UTF-16 page). Pages in the other codes hold the characters input methods give for some
    // code page 932 characters (the wave dash U+301C, ...) as those characters: there the
    // pattern's such characters are replaced by the ones the page shows.
    const QRegularExpression& Expression(bool UnicodePage) const { return UnicodePage ? FExact : FNear; }

    // Runs of plain characters that every match holds somewhere (in Literals' order, longest
    // first); empty when none is known. A text without one of them has no match.
    const QStringList& Literals() const noexcept { return FLiterals; }

private:
    QString FPattern;
    bool FMatchCase = true;
    QRegularExpression FExact;
    QRegularExpression FNear;
    QStringList FLiterals;
};

// Each character of Text with a code page 932 code of another character in its place (the
// ones the wave dash and its kind take) replaced by that character.
QString WithNearCharacters(const QString& Text);

// The runs of plain characters that every match of Pattern holds: the characters outside
// groups, classes and escapes that no quantifier makes optional, when the pattern has no
// alternative at its top and sets no options; without MatchCase only characters that have no
// case. None when the pattern is anything less plain.
QStringList RequiredLiterals(const QString& Pattern, bool MatchCase);

} // namespace quire
