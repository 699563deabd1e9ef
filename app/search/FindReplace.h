// TFindReplace: what the main window keeps of the last search (search text, replacement,
// option set) and what it does with it on an editor: find once and the replace loop.
#pragma once

#include "ReplaceConfirm.h"
#include "Search.h"

#include <QString>
#include <functional>
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
    void selection(TEditor& Editor, int& Start, int& Length) const;
    void showMatch(TEditor& Editor, int Start, int Length);
    // The rest of the loop without questions.
    void replaceRest(TEditor& Editor, int Start, int Length, const std::string& Pattern,
                     const std::string& Replacement);

    TShownMatch FShown;
};

} // namespace quire
