// Breaking one logical line into screen rows.
#include "WordWrap.h"

#include "ShiftJis.h"

#include <algorithm>

namespace quire {

namespace {
bool isIn(std::string_view rules, std::string_view ch) { return sjis::ContainsChar(rules, ch); }
// A word break may end a row after a delimiter, a tab or a double-byte character.
bool breaksAfter(TColumnCode c) {
    return c == TColumnCode::Delimiter || c == TColumnCode::TabPad || c == TColumnCode::Trail;
}
} // namespace

const std::vector<TWrapPiece>& TLineBreaker::Break(std::string_view L) {
    FPieces.clear();
    const int W = FContext.WrapByte;
    std::string attrs = ColumnAttributes(L, FContext);
    if (static_cast<int>(attrs.size()) < W) {
        FPieces.push_back({0, L.size(), TRowAttribute::LineEnd});
        return FPieces;
    }
    const int wordFloor = W / 3;
    const int leadFloor = (W / 5) * 4;
    std::size_t base = 0;
    std::string_view rest = L;
    TEditorAttributeArray& a = FCursor;
    a.Reset(rest, attrs);
    a.GoToColumn(W);
    for (;;) {
        if (a.Code() == TColumnCode::End) {
            if (!rest.empty()) {
                FPieces.push_back({base, rest.size(), TRowAttribute::LineEnd});
            } else if (!FOptions.FollowRetMark()) {
                FPieces.push_back({base, 0, TRowAttribute::LineEnd});
            } else {
                FPieces.back().Attribute = TRowAttribute::LineEnd;
            }
            return FPieces;
        }
        if (a.Code() == TColumnCode::Lead) {
            a.Prev(); // a double-byte character straddles the edge: it starts the next row
        } else if (FOptions.WordBreak() && a.ColumnCount() > W) {
            while (!breaksAfter(a.Code()) && a.Column() > wordFloor) a.BackUpOneChar();
        }
        if (FOptions.FollowPunctuation()) hangPunctuation(W);
        if (FOptions.Leading() && a.Column() < a.ColumnCount()) keepLeadingAndFollowing(leadFloor);
        // A lone lead byte at the end counts two columns for one byte: never cut past the end,
        // and always take at least one character so that the loop ends.
        std::size_t n = std::min(static_cast<std::size_t>(std::max(a.ByteCount(), 0)), rest.size());
        if (n == 0) n = sjis::CharLengthAt(rest, 0);
        FPieces.push_back({base, n, TRowAttribute::Wrapped});
        base += n;
        rest.remove_prefix(n);
        attrs = ColumnAttributes(rest, FContext);
        a.Reset(rest, attrs);
        a.GoToColumn(W);
    }
}

void TLineBreaker::hangPunctuation(int W) {
    // Punctuation may hang past the edge, up to two columns.
    TEditorAttributeArray& a = FCursor;
    while (a.Column() < W + 2 && isIn(FOptions.PunctuationStr(), a.NextChar())) {
        a.Next();
        if (a.Code() == TColumnCode::Lead) a.Next();
    }
}

void TLineBreaker::keepLeadingAndFollowing(int leadFloor) {
    // A character that may not end a row moves to the next one, and so does the character
    // before one that may not begin a row; never back past the floor.
    TEditorAttributeArray& a = FCursor;
    while (a.Column() > leadFloor && isIn(FOptions.LeadStr(), a.CurrentChar())) a.BackUpOneChar();
    if (a.Column() + 1 >= a.ColumnCount()) return;
    std::string_view next = a.NextChar();
    std::string_view cur = a.CurrentChar();
    if (!isIn(FOptions.FollowStr(), next)) return;
    while (a.Column() > leadFloor && (isIn(FOptions.LeadStr(), cur) || isIn(FOptions.FollowStr(), next))) {
        a.BackUpOneChar();
        next = cur;
        cur = a.CurrentChar();
    }
}

int TLineBreaker::RowCount(std::string_view L) {
    if (!FContext.WordWrap || TextWidth(L, FContext) < FContext.WrapByte) return 1;
    return static_cast<int>(Break(L).size());
}

} // namespace quire
