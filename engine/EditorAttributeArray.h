// TEditorAttributeArray: a cursor over the columns of one text.
#pragma once

#include <string>
#include <string_view>

namespace quire {

// The attribute string is the column attribute string with "0" appended as an end marker.
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
        if (FCode == '4') Prev();
    }

    char Code() const noexcept { return FCode; }
    int Column() const noexcept { return FColumn; }
    int ByteCount() const noexcept { return FByteCount; }
    int ColumnCount() const noexcept { return static_cast<int>(FAttributes.size()) - 1; }
    std::string_view CurrentChar() const noexcept;
    // The character after the current one; the cursor does not move.
    std::string_view NextChar() noexcept;

private:
    char codeAt(int column) const noexcept { return FAttributes[static_cast<size_t>(column - 1)]; }

    char FCode = ' ';
    std::string FAttributes = "0";
    int FColumn = 0;
    std::string_view FText;
    int FByteCount = 0;
};

} // namespace quire
