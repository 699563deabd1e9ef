// TFindReplace: find once and the replace loop on an editor.
#include "FindReplace.h"

#include "Cp932Codec.h"
#include "Dialogs.h"
#include "Editor.h"
#include "Messages.h"

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
    const std::string text = Editor.GetText();
    int start = 0, length = 0;
    selection(Editor, start, length);
    if (!Search(text, start, length, pattern, Options)) return false;
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

// The text is built once; each replacement made here is mirrored on it, so that the next
// search sees what the editor holds.
bool TFindReplace::replacementBytes(TEditor& Editor, const QString& Replacement, std::string& Bytes) {
    if (toBytes(Editor, Replacement, Bytes)) return true;
    Messages().Show(QStringLiteral("Quire"),
                    QStringLiteral("置換語に、この文書の文字コードで表せない文字があります。\r\r") + Replacement,
                    TMessageIcon::Warning);
    return false;
}

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
        [&](const std::string& Text, int& Start, int& Length, bool, std::string& Bytes) {
            Bytes = replacement;
            return Search(Text, Start, Length, pattern, Options);
        },
        [&](const std::string& Text, int Start, int Length, bool) {
            replaceRest(Editor, Text, Start, Length, pattern, replacement);
        });
}

// The loop of find and replace, whatever finds the matches: one match at a time shown and
// asked about, or with ReplaceAll and no questions the rest at once.
void TFindReplace::replaceLoop(TEditor& Editor, const TAsk& Ask, const TNextMatch& Next, const TReplaceRest& Rest) {
    std::string text = Editor.GetText();
    int start = 0, length = 0;
    selection(Editor, start, length);
    const bool forward = Options.Has(TSearchOption::Forward);
    std::string replacement;
    for (bool first = true;; first = false) {
        if (Options.Has(TSearchOption::ReplaceAll) && !Options.Has(TSearchOption::Confirm)) {
            Rest(text, start, length, first);
            return;
        }
        if (!Next(text, start, length, first, replacement)) return;
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
        text.replace(static_cast<size_t>(start), static_cast<size_t>(length), replacement);
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
// first of them, and replaced as one edit of the span from the first to the last.
//
// Forward, a search after a replacement starts just after the inserted text; on the text as
// it was, the same search starts just after the match and finds the same next match: the
// bytes before it pair up the same way (the replacement ends with a whole character), and
// for whole words the byte after a match is a delimiter, so the byte before it is never
// looked at. Backward, the next match ends at most where the replaced one began, where the
// text now holds the replacement's first byte: the searcher is narrowed to the bytes before
// and told that byte for the whole-word test.
void TFindReplace::replaceRest(TEditor& Editor, const std::string& Text, int Start, int Length,
                               const std::string& Pattern, const std::string& Replacement) {
    TSearcher searcher(Text, Pattern, Options);
    std::vector<int> starts;
    int s = Start, l = Length;
    const bool forward = Options.Has(TSearchOption::Forward);
    int following = -1; // backward: the first byte of the edited text from the last match on
    while (searcher.Find(s, l)) {
        starts.push_back(s);
        if (forward) {
            s += l;
        } else {
            const bool adjacent = starts.size() > 1 && s + l == starts[starts.size() - 2];
            const int after = adjacent ? following
                                       : (s + l < static_cast<int>(Text.size())
                                              ? static_cast<unsigned char>(Text[static_cast<size_t>(s + l)])
                                              : -1);
            following = Replacement.empty() ? after : static_cast<unsigned char>(Replacement.front());
            searcher.SetEnd(s, following);
        }
        l = 0;
    }
    if (starts.empty()) return;
    if (!forward) std::reverse(starts.begin(), starts.end());
    const int m = searcher.PatternLength();
    std::string span;
    span.reserve(static_cast<size_t>(starts.back() + m - starts.front()) + starts.size() * Replacement.size());
    for (size_t i = 0; i < starts.size(); ++i) {
        if (i > 0)
            span.append(Text, static_cast<size_t>(starts[i - 1] + m),
                        static_cast<size_t>(starts[i] - starts[i - 1] - m));
        span += Replacement;
    }
    Editor.ReplaceText(starts.front(), starts.back() + m - starts.front(), span);
    if (!forward) Editor.SetSelStart(starts.front());
    Editor.ScrollCaret();
    FShown.Editor = nullptr;
}

} // namespace quire
