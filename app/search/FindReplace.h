// TFindReplace: what the main window keeps of the last search (search text, replacement,
// option set) and what it does with it on an editor: find once and the replace loop.
#pragma once

#include "RegexPattern.h"
#include "ReplaceConfirm.h"
#include "Search.h"

#include <QString>
#include <functional>
#include <memory>
#include <string>

namespace quire {

class TEditor;

class TFindReplace {
public:
    // Answers the question before a replacement; the match is selected in the editor.
    using TAsk = std::function<TReplaceAnswer(TEditor& Editor)>;

    QString SearchText; // empty until the first search
    QString ReplaceText;
    TSearchOptions Options;

    bool HasSearch() const noexcept { return !SearchText.isEmpty(); }

    // With RegExp: the search text compiled for the options (once for each text and case
    // rule), or null after telling the user what is wrong with it.
    const TRegexPattern* RegexPattern();

    // Searches the editor's text from its selection in the direction of the options; selects
    // the match and scrolls it into view. Nothing changes when there is none.
    bool FindOnce(TEditor& Editor);

    // Finds and replaces, asking Ask before each replacement while Confirm is set, once or
    // (with ReplaceAll) to the end of the text. What is replaced without a question is one
    // edit, undone as one step.
    void ReplaceLoop(TEditor& Editor, const TAsk& Ask);

    // Asks with a TReplaceConfirm placed at the editor's caret, through the dialog service.
    static TReplaceAnswer AskAtCaret(TEditor& Editor, const QString& SearchText, const QString& ReplaceText);

private:
    // A match the editor could not select as it is (past column 1000 of a long row): while
    // the editor shows the selection it got, the next search starts from the match itself.
    struct TShownMatch {
        const TEditor* Editor = nullptr; // compared, never used
        int Start = 0, Length = 0, ShownStart = 0, ShownLength = 0;
    };

    bool patternBytes(TEditor& Editor, std::string& Pattern) const;
    // The replacement as the bytes of Editor's document; false, after telling the user, when
    // the document's code cannot hold it.
    static bool replacementBytes(TEditor& Editor, const QString& Replacement, std::string& Bytes);
    void selection(TEditor& Editor, int& Start, int& Length) const;
    void showMatch(TEditor& Editor, int Start, int Length);
    // The rest of the loop without questions.
    void replaceRest(TEditor& Editor, int Start, int Length, const std::string& Pattern,
                     const std::string& Replacement);

    // Finds the next match from the selection Start/Length (First: the loop's first search)
    // and gives its replacement as Bytes; false ends the loop.
    using TNextMatch = std::function<bool(int& Start, int& Length, bool First, std::string& Bytes)>;
    // Replaces every match from the selection on without questions.
    using TReplaceRest = std::function<void(int Start, int Length, bool First)>;
    void replaceLoop(TEditor& Editor, const TAsk& Ask, const TNextMatch& Next, const TReplaceRest& Rest);

    // The regular-expression forms of find once and the replace loop (FindReplaceRegex.cpp).
    bool findRegexOnce(TEditor& Editor);
    void regexReplaceLoop(TEditor& Editor, const TAsk& Ask);
    // AfterMatch: the caret stands where a match was replaced (an empty match there is passed).
    void regexReplaceRest(TEditor& Editor, const std::string& Text, int Start, int Length, class TRegexMatcher& Matcher,
                          bool AfterMatch);

    TShownMatch FShown;
    std::shared_ptr<const TRegexPattern> FRegex;
};

} // namespace quire
