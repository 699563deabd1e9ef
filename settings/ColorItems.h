// The 37 items of the settings dialog's colour page: their captions, the style slot an item
// owns, and what the two reset buttons put back.
#pragma once

#include "ColorTable.h"
#include "StyleTable.h"

#include <QString>
#include <optional>

namespace quire {

class TColorItems {
public:
    static constexpr int Count = TColorTable::Count;

    // "通常文字", "通常背景", ...: the caption of item Index (0 to 36) in the list.
    static QString Caption(int Index);
    // The style slot the item owns; none for items that are colours only.
    static std::optional<TStyleSlot> Slot(int Index);

    // One item back to its reset colour and, when it owns a slot, its reset style. The
    // selection text (item 2) shares slot 1 with the plain text and leaves it alone; the C++
    // reserved words (item 28) lose their bold here, unlike in ResetAll.
    static void Reset(int Index, TColorTable& Colors, TStyleTable& Styles);
    // Every item and every slot back to its reset value (the C++ reserved words bold).
    static void ResetAll(TColorTable& Colors, TStyleTable& Styles);
};

} // namespace quire
