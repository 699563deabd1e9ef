// TRegexMatcher: a regular expression matched over the characters of Shift_JIS rows, its
// matches mapped back to the rows' bytes.
#pragma once

#include "RegexPattern.h"
#include "RowMatcher.h"

#include <QRegularExpressionMatch>
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

namespace quire {

class TOutsideCharTable;

// A row's bytes are read as the characters of its page (Table's codes as their characters, a
// byte of no character as U+FFFD), so "." is one character and a match starts and ends only
// between characters. With whole words a match must begin a word and end one, by the search
// routine's delimiter bytes. One matcher serves one page (or file) on one thread.
class TRegexMatcher final : public TRowMatcher {
public:
    // Pattern must be valid and outlive the matcher; Table is the page's (or none).
    TRegexMatcher(const TRegexPattern& Pattern, bool WholeWord, const TOutsideCharTable* Table);

    std::optional<TByteRange> Next(std::string_view Row, std::size_t From, bool NotEmptyAtFrom) override;

    // Bytes that every match holds, as this page writes them: a row without them has no match.
    // Empty when the pattern names none that the page writes one way only.
    const std::string& Needle() const noexcept { return FNeedle; }
    // False when the pattern needs a character this page cannot hold: nothing can match.
    bool Possible() const noexcept { return FPossible; }

    // Replacement with the groups of the last match Next found: \0-\9 and $0-$9 (also $& and
    // ${N}) give group N, \t a tab and \n a line end, \\ and $$ a sign; anything else stays.
    QString Expand(const QString& Replacement) const;

private:
    void decode(std::string_view Row);
    void chooseNeedle();
    bool wholeWordAt(std::string_view Row, const TByteRange& Range) const;

    const TRegexPattern& FPattern;
    QRegularExpression FExpression;
    const TOutsideCharTable* FTable;
    bool FWholeWord;
    std::string FNeedle;
    bool FPossible = true;
    // The row decoded last: its bytes, its characters, and the byte each UTF-16 unit begins
    // at (a surrogate pair's both at its character's), with the row's length after the last.
    std::string FRow;
    bool FDecoded = false;
    QString FChars;
    std::vector<std::uint32_t> FByteOf;
    QRegularExpressionMatch FLast;
};

} // namespace quire
