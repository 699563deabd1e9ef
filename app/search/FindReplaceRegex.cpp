// TFindReplace: find once and the replace loop with a regular expression.
#include "FindReplace.h"

#include "Editor.h"
#include "Messages.h"
#include "RegexFind.h"

#include <algorithm>
#include <vector>

namespace quire {

namespace {

// One replacement of the replace loop: the match's bytes and what takes their place.
struct TReplacement {
    int Start = 0, Length = 0;
    std::string Bytes;
};

// The replacements made as one edit of the span from the first to the last (in text order).
void replaceAsOneEdit(TEditor& Editor, const std::string& Text, const std::vector<TReplacement>& List) {
    const TReplacement& first = List.front();
    const TReplacement& last = List.back();
    std::string span;
    for (std::size_t i = 0; i < List.size(); ++i) {
        if (i > 0) {
            const int from = List[i - 1].Start + List[i - 1].Length;
            span.append(Text, static_cast<std::size_t>(from), static_cast<std::size_t>(List[i].Start - from));
        }
        span += List[i].Bytes;
    }
    Editor.ReplaceText(first.Start, last.Start + last.Length - first.Start, span);
}

} // namespace

const TRegexPattern* TFindReplace::RegexPattern() {
    const bool matchCase = Options.Has(TSearchOption::MatchCase);
    if (!FRegex || FRegex->Pattern() != SearchText || FRegex->MatchCase() != matchCase)
        FRegex = std::make_shared<const TRegexPattern>(SearchText, matchCase);
    if (FRegex->Valid()) return FRegex.get();
    Messages().Show(QStringLiteral("Quire"), FRegex->ErrorText(), TMessageIcon::Warning);
    return nullptr;
}

bool TFindReplace::findRegexOnce(TEditor& Editor) {
    const TRegexPattern* pattern = HasSearch() ? RegexPattern() : nullptr;
    if (!pattern) return false;
    TRegexMatcher matcher(*pattern, Options.Has(TSearchOption::WholeWord), Editor.ScreenStrings().CharTable());
    const std::string text = Editor.GetText();
    int start = 0, length = 0;
    selection(Editor, start, length);
    if (!RegexSearch(text, start, length, matcher, Options.Has(TSearchOption::Forward))) return false;
    showMatch(Editor, start, length);
    return true;
}

// As the loop with the search routine; each match's replacement is the replacement text with
// the match's groups put in.
void TFindReplace::regexReplaceLoop(TEditor& Editor, const TAsk& Ask) {
    const TRegexPattern* pattern = HasSearch() && !Editor.ReadOnly() ? RegexPattern() : nullptr;
    if (!pattern) return;
    TRegexMatcher matcher(*pattern, Options.Has(TSearchOption::WholeWord), Editor.ScreenStrings().CharTable());
    const bool forward = Options.Has(TSearchOption::Forward);
    // The first search takes an empty match at the caret; after a match, an empty one there
    // would be the same place again.
    // Each takes the text as it stands: one match at a time is the pace of the user's answers.
    replaceLoop(
        Editor, Ask,
        [&](int& Start, int& Length, bool First, std::string& Bytes) {
            const std::string text = Editor.GetText();
            return RegexSearch(text, Start, Length, matcher, forward, !First) &&
                   replacementBytes(Editor, matcher.Expand(ReplaceText), Bytes);
        },
        [&](int Start, int Length, bool First) {
            regexReplaceRest(Editor, Editor.GetText(), Start, Length, matcher, !First);
        });
}

// Every match from the selection on, found in the text as it stands (forward each search
// starts where the match before ended, backward each ends where the one after began), and
// replaced as one edit.
void TFindReplace::regexReplaceRest(TEditor& Editor, const std::string& Text, int Start, int Length,
                                    TRegexMatcher& Matcher, bool AfterMatch) {
    TRegexFinder finder(Text, Matcher);
    const bool forward = Options.Has(TSearchOption::Forward);
    std::vector<TReplacement> list;
    std::size_t at = static_cast<std::size_t>(Start) + (forward ? static_cast<std::size_t>(Length) : 0);
    bool notEmpty = AfterMatch && Length == 0;
    while (at <= Text.size()) {
        const auto m = forward ? finder.Forward(at, notEmpty) : finder.Backward(at, notEmpty);
        if (!m) break;
        TReplacement r{static_cast<int>(m->Start), static_cast<int>(m->End - m->Start), {}};
        if (!replacementBytes(Editor, Matcher.Expand(ReplaceText), r.Bytes)) return;
        list.push_back(std::move(r));
        at = forward ? m->End : m->Start;
        notEmpty = forward ? m->Start == m->End : true;
    }
    if (list.empty()) return;
    if (!forward) std::reverse(list.begin(), list.end());
    replaceAsOneEdit(Editor, Text, list);
    if (!forward) Editor.SetSelStart(list.front().Start);
    Editor.ScrollCaret();
    FShown.Editor = nullptr;
}

} // namespace quire
