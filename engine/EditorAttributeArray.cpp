// TEditorAttributeArray.
#include "EditorAttributeArray.h"

namespace quire {

void TEditorAttributeArray::Reset(std::string_view Text, std::string_view Attributes) {
    FText = Text;
    FAttributes.assign(Attributes);
    FAttributes.push_back(static_cast<char>(TColumnCode::End));
    FColumn = 0;
    FByteCount = 0;
    FCode = TColumnCode::Ordinary;
    Next();
}

void TEditorAttributeArray::Next() noexcept {
    if (FCode == TColumnCode::End) return;
    ++FColumn;
    FCode = codeAt(FColumn);
    if (FCode != TColumnCode::TabPad) ++FByteCount;
}

void TEditorAttributeArray::Prev() noexcept {
    if (FColumn < 2) return;
    if (FCode != TColumnCode::TabPad) --FByteCount;
    --FColumn;
    FCode = codeAt(FColumn);
}

void TEditorAttributeArray::GoToColumn(int N) noexcept {
    while (FCode != TColumnCode::End && FColumn < N) Next();
    while (FColumn > 1 && FColumn > N) Prev();
}

std::string_view TEditorAttributeArray::CurrentChar() const noexcept {
    const auto size = static_cast<int>(FText.size());
    auto bytes = [&](int start, int len) -> std::string_view {
        // Start is 0-based; a range that leaves the text yields what lies inside it.
        if (start < 0 || start >= size) return {};
        return FText.substr(static_cast<size_t>(start), static_cast<size_t>(std::min(len, size - start)));
    };
    switch (FCode) {
    case TColumnCode::End: return {};
    case TColumnCode::Trail: return bytes(FByteCount - 2, 2);
    case TColumnCode::Lead: return bytes(FByteCount - 1, 2);
    default: return bytes(FByteCount - 1, 1);
    }
}

std::string_view TEditorAttributeArray::NextChar() noexcept {
    if (FCode == TColumnCode::End) return {};
    Next();
    const std::string_view c = CurrentChar();
    Prev();
    return c;
}

} // namespace quire
