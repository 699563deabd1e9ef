// Breaking one logical line into screen rows with the Japanese line-breaking rules.
#pragma once

#include "ColumnModel.h"
#include "EditorAttributeArray.h"
#include "EditorWrapOption.h"
#include "RowState.h"

#include <string_view>
#include <vector>

namespace quire {

// One row of a broken line: Length bytes from Offset of the line.
struct TWrapPiece {
    std::size_t Offset;
    std::size_t Length;
    TRowAttribute Attribute;
};

// Breaks one logical line (no line end in it) into rows no wider than WrapByte columns,
// except for hanging punctuation (at most WrapByte + 3). Every row but the last is
// Wrapped; the last is LineEnd. Context must have WordWrap on and WrapByte set.
class TLineBreaker {
public:
    TLineBreaker(const TColumnContext& Context, const TEditorWrapOption& Options)
        : FContext(Context), FOptions(Options) {}

    // The rows of L, in order; valid until the next call.
    const std::vector<TWrapPiece>& Break(std::string_view L);
    // The number of rows of L: 1 when L is narrower than WrapByte.
    int RowCount(std::string_view L);

private:
    // The steps of one break, on the cursor.
    void hangPunctuation(int W);
    void keepLeadingAndFollowing(int leadFloor);

    const TColumnContext& FContext;
    const TEditorWrapOption& FOptions;
    TEditorAttributeArray FCursor;
    std::vector<TWrapPiece> FPieces;
};

} // namespace quire
