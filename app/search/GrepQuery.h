// TGrepQuery: what a search of files looks for, and its search of one file in whatever code the
// file is: the code detected, the text read as the editor reads it, every match with its line
// and column.
#pragma once

#include "GrepNeedle.h"
#include "RegexPattern.h"
#include "RegularFile.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quire {

struct TGrepOptions {
    QString Pattern;
    bool MatchCase = false;
    bool WholeWord = false;
    bool RegExp = false;
    // A folder named is searched (false: it is refused, as a file is expected), through its
    // subfolders too with Recursive.
    bool NamedFolders = true;
    bool Recursive = true;
    // File name patterns ("*.txt"); none: every file. Files named themselves are always searched.
    QStringList Globs;
    bool GlobCaseless = false;
};

// One match: its line and column (the column in characters, both from 1), its length in
// characters, and which of the file's lines holds it.
struct TGrepHit {
    int Line = 0;
    int Column = 0;
    int Length = 0;
    int Text = 0; // index into TGrepFileResult::Lines
};

enum class TGrepSkip {
    None,
    Binary,     // holds bytes no text has (a NUL, or one of the binary bytes at its start)
    TooLarge,   // more than the editor opens
    Unreadable, // Failure and Errno say why
    Folder,     // a folder named where only files are searched
};

struct TGrepFileResult {
    QString Path;
    std::string Code; // the code's shown name: "S-JIS", "EUC", "JIS", "UTF-8", "UTF-16LE", "UTF-16BE"
    std::vector<TGrepHit> Hits;
    QStringList Lines; // the text of the lines with matches, each once
    TGrepSkip Skipped = TGrepSkip::None;
    TReadFailure Failure = TReadFailure::None;
    int Errno = 0;
};

// Compiled once, used by any number of threads at once.
class TGrepQuery {
public:
    explicit TGrepQuery(TGrepOptions Options);

    const TGrepOptions& Options() const noexcept { return FOptions; }
    // Why the pattern cannot be searched for (an empty one, a bad expression), or empty.
    QString Error() const;
    // The compiled expression with RegExp, else null.
    const TRegexPattern* Regex() const noexcept { return FRegex.get(); }

    // Searches the bytes of a file.
    TGrepFileResult SearchBytes(const QString& Path, std::string_view Bytes) const;
    // Reads and searches a file (a regular file of at most the editor's limit; a larger one is
    // skipped as TooLarge, one that cannot be read as Unreadable); a binary one is not read
    // past its start.
    TGrepFileResult SearchFile(const QString& Path) const;

private:
    void searchText(std::string_view Text, const class TOutsideCharTable* Table, TGrepFileResult& Result,
                    int FirstLine = 1) const;
    void searchLinesWith(std::string_view Bytes, std::string_view Needle, int Detection, TGrepFileResult& Result) const;
    std::vector<std::pair<std::size_t, std::size_t>> literalMatches(std::string_view Text,
                                                                    class TOutsideCharTable* Table) const;
    std::vector<std::pair<std::size_t, std::size_t>> regexMatches(std::string_view Text,
                                                                  const class TOutsideCharTable* Table) const;

    TGrepOptions FOptions;
    std::shared_ptr<const TRegexPattern> FRegex;
    TGrepNeedle FNeedle; // a literal pattern's, for UTF-8 and EUC texts
};

} // namespace quire
