// TEditorAttributeArray: a cursor over the columns of one text.
#pragma once

#include "ColumnModel.h"

#include <string>
#include <string_view>

namespace quire {

// The attribute string is the column attribute string with End appended as a marker.
// Column is 1-based (0 before the first step); ByteCount is the number of bytes of the text
// up to and including the current column (a tab's continuation columns add none).
class TEditorAttributeArray {
public:
    void Reset(std::string_view Text, std::string_view Attributes);
    void Next() noexcept;
    void Prev() noexcept;
    void GoToColumn(int N) noexcept;
    // Prev, and once more when the new code is a lead byte.
    void BackUpOneChar() noexcept {
        Prev();
        if (FCode == TColumnCode::Lead) Prev();
    }

    TColumnCode Code() const noexcept { return FCode; }
    int Column() const noexcept { return FColumn; }
    int ByteCount() const noexcept { return FByteCount; }
    int ColumnCount() const noexcept { return static_cast<int>(FAttributes.size()) - 1; }
    std::string_view CurrentChar() const noexcept;
    // The character after the current one; the cursor does not move.
    std::string_view NextChar() noexcept;

private:
    TColumnCode codeAt(int column) const noexcept {
        return static_cast<TColumnCode>(FAttributes[static_cast<size_t>(column - 1)]);
    }

    // Before the first step: no column yet.
    TColumnCode FCode = TColumnCode::Ordinary;
    std::string FAttributes = std::string(1, static_cast<char>(TColumnCode::End));
    int FColumn = 0;
    std::string_view FText;
    int FByteCount = 0;
};

} // namespace quire
