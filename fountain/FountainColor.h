// TFountainColor, the colour items and the bracket collection of a fountain.
#pragma once

#include "NotifyCollection.h"
#include "NotifyPersistent.h"

#include <cstdint>
#include <string>

namespace quire {

// Colour values are 0x00BBGGRR; 0x80000000 + index names a system colour.
using TColor = uint32_t;
// "None": the painter uses the view's own colour.
constexpr TColor clNone = 0x1FFFFFFF;

// Font style bits.
enum TFontStyleBits : uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

// The colour of a token kind. Setters notify only on a real change.
class TFountainColor : public TNotifyPersistent {
public:
    TColor BkColor() const noexcept { return FBkColor; }
    TColor Color() const noexcept { return FColor; }
    uint8_t Style() const noexcept { return FStyle; }
    void SetBkColor(TColor Value) { SetField(FBkColor, Value); }
    void SetColor(TColor Value) { SetField(FColor, Value); }
    void SetStyle(uint8_t Value) { SetField(FStyle, Value); }
    // Copies all three values and notifies once.
    void Assign(const TFountainColor& Source);
    bool operator==(const TFountainColor& o) const noexcept {
        return FBkColor == o.FBkColor && FColor == o.FColor && FStyle == o.FStyle;
    }

private:
    TColor FBkColor = clNone;
    TColor FColor = clNone;
    uint8_t FStyle = 0;
};

// A collection item that owns one colour; a change of the colour is a change of the collection.
class TFountainColorItem : public TNotifyCollectionItem {
public:
    explicit TFountainColorItem(TNotifyCollection* Collection);
    TFountainColor& ItemColor() noexcept { return FItemColor; }
    const TFountainColor& ItemColor() const noexcept { return FItemColor; }
    void SetItemColor(const TFountainColor& Value) { FItemColor.Assign(Value); }
    void Assign(const TNotifyCollectionItem& Source) override;

private:
    TFountainColor FItemColor;
};

// A multi-row bracket: from LeftBracket up to and including RightBracket. Writing the two
// strings sends no notification.
class TFountainBracketItem : public TFountainColorItem {
public:
    using TFountainColorItem::TFountainColorItem;
    std::string LeftBracket;
    std::string RightBracket;
    void Assign(const TNotifyCollectionItem& Source) override;
};

// The brackets of a fountain: at most 14, since a row state keeps the open bracket's index
// plus 2 in four bits.
class TFountainBracketCollection : public TNotifyCollection {
public:
    static constexpr int Limit = 14;
    using TNotifyCollection::TNotifyCollection;

    // Raises std::runtime_error with the two-line message on a fifteenth item.
    TNotifyCollectionItem* Add() override;
    TFountainBracketItem* AddBracket(const std::string& Left, const std::string& Right);
    TFountainBracketItem* Items(int Index) const { return static_cast<TFountainBracketItem*>(Item(Index)); }
    // Clears and copies every item of Source within one update: one notification.
    void Assign(const TFountainBracketCollection& Source);

protected:
    std::unique_ptr<TNotifyCollectionItem> CreateItem() override;
};

} // namespace quire
