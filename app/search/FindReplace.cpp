// TFindReplace: find once and the replace loop on an editor.
#include "FindReplace.h"

#include "Cp932Codec.h"
#include "Dialogs.h"
#include "Editor.h"
#include "Messages.h"
#include "RowSearch.h"

#include <algorithm>
#include <vector>

namespace quire {

namespace {

// The text of a combo as the bytes of Editor's document; false when they cannot hold it (a
// UTF-8 page holds every character, through its table).
bool toBytes(TEditor& Editor, const QString& Text, std::string& Bytes) {
    QString lost;
    Bytes = cp932::FromUnicode(Text, Editor.ScreenStrings().CharTable(), &lost);
    return lost.isEmpty();
}

} // namespace

bool TFindReplace::patternBytes(TEditor& Editor, std::string& Pattern) const {
    // A search text with characters outside the code page cannot occur in the document.
    return HasSearch() && toBytes(Editor, SearchText, Pattern);
}

void TFindReplace::selection(TEditor& Editor, int& Start, int& Length) const {
    Start = Editor.SelStart();
    Length = Editor.SelLength();
    if (FShown.Editor == &Editor && Start == FShown.ShownStart && Length == FShown.ShownLength) {
        Start = FShown.Start;
        Length = FShown.Length;
    }
}

void TFindReplace::showMatch(TEditor& Editor, int Start, int Length) {
    Editor.SetSelStart(Start);
    Editor.SetSelLength(Length);
    Editor.ScrollCaret();
    FShown = TShownMatch{&Editor, Start, Length, Editor.SelStart(), Editor.SelLength()};
    if (FShown.ShownStart == Start && FShown.ShownLength == Length) FShown.Editor = nullptr;
}

bool TFindReplace::FindOnce(TEditor& Editor) {
    if (Options.Has(TSearchOption::RegExp)) return findRegexOnce(Editor);
    std::string pattern;
    if (!patternBytes(Editor, pattern)) return false;
    int start = 0, length = 0;
    selection(Editor, start, length);
    if (!TRowSearch(Editor.ScreenStrings(), pattern, Options).Find(start, length)) return false;
    showMatch(Editor, start, length);
    return true;
}

TReplaceAnswer TFindReplace::AskAtCaret(TEditor& Editor, const QString& SearchText, const QString& ReplaceText) {
    TReplaceConfirm box(SearchText, ReplaceText, Editor.window());
    const QRect caret = Editor.CaretRect();
    box.PlaceAt(Editor.viewport()->mapToGlobal(caret.topLeft()), Editor.RowHeight());
    Dialogs().Exec(box);
    return box.Answer();
}

bool TFindReplace::replacementBytes(TEditor& Editor, const QString& Replacement, std::string& Bytes) {
    if (toBytes(Editor, Replacement, Bytes)) return true;
    Messages().Show(QStringLiteral("Quire"),
                    QStringLiteral("置換語に、この文書の文字コードで表せない文字があります。\r\r") + Replacement,
                    TMessageIcon::Warning);
    return false;
}

// Each search reads the rows as the editor holds them, replacements made before included.
void TFindReplace::ReplaceLoop(TEditor& Editor, const TAsk& Ask) {
    if (Options.Has(TSearchOption::RegExp)) {
        regexReplaceLoop(Editor, Ask);
        return;
    }
    std::string pattern, replacement;
    if (!patternBytes(Editor, pattern) || Editor.ReadOnly()) return;
    if (!replacementBytes(Editor, ReplaceText, replacement)) return;
    replaceLoop(
        Editor, Ask,
        [&](int& Start, int& Length, bool, std::string& Bytes) {
            Bytes = replacement;
            return TRowSearch(Editor.ScreenStrings(), pattern, Options).Find(Start, Length);
        },
        [&](int Start, int Length, bool) { replaceRest(Editor, Start, Length, pattern, replacement); });
}

// The loop of find and replace, whatever finds the matches: one match at a time shown and
// asked about, or with ReplaceAll and no questions the rest at once.
void TFindReplace::replaceLoop(TEditor& Editor, const TAsk& Ask, const TNextMatch& Next, const TReplaceRest& Rest) {
    int start = 0, length = 0;
    selection(Editor, start, length);
    const bool forward = Options.Has(TSearchOption::Forward);
    std::string replacement;
    for (bool first = true;; first = false) {
        if (Options.Has(TSearchOption::ReplaceAll) && !Options.Has(TSearchOption::Confirm)) {
            Rest(start, length, first);
            return;
        }
        if (!Next(start, length, first, replacement)) return;
        showMatch(Editor, start, length);
        if (Options.Has(TSearchOption::Confirm)) {
            const TReplaceAnswer answer = Ask(Editor);
            if (answer == TReplaceAnswer::Cancel) return;
            if (answer == TReplaceAnswer::No) {
                if (!Options.Has(TSearchOption::ReplaceAll)) return;
                continue;
            }
            if (answer == TReplaceAnswer::All) {
                Options.Set(TSearchOption::ReplaceAll, true);
                Options.Set(TSearchOption::Confirm, false);
            }
        }
        Editor.ReplaceText(start, length, replacement);
        FShown.Editor = nullptr;
        // Backward, the caret goes back to the match's start, so that the next search starts
        // before the text just inserted.
        if (forward)
            start += static_cast<int>(replacement.size());
        else
            Editor.SetSelStart(start);
        length = 0;
        if (!Options.Has(TSearchOption::ReplaceAll)) return;
    }
}

// The matches the loop would replace one by one, found on the text as it stands before the
// first of them, and replaced each in its place as one edit (one undo step).
//
// Forward, a search after a replacement starts just after the inserted text; on the text as
// it was, the same search starts just after the match and finds the same next match: the
// bytes before it pair up the same way (the replacement ends with a whole character), and
// for whole words the byte after a match is a delimiter, so the byte before it is never
// looked at. Backward, the next match ends at most where the replaced one began, where the
// text now holds the replacement's first byte: the search is cut there and told that byte for
// the whole-word test (TRowSearch::FindAll).
void TFindReplace::replaceRest(TEditor& Editor, int Start, int Length, const std::string& Pattern,
                               const std::string& Replacement) {
    const std::vector<int> starts =
        TRowSearch(Editor.ScreenStrings(), Pattern, Options).FindAll(Start, Length, Replacement);
    if (starts.empty()) return;
    Editor.ReplaceRanges(starts, static_cast<int>(Pattern.size()), Replacement);
    if (!Options.Has(TSearchOption::Forward)) Editor.SetSelStart(starts.front());
    Editor.ScrollCaret();
    FShown.Editor = nullptr;
}

} // namespace quire
