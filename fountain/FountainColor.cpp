// TFountainColor, the colour items and the bracket collection.
#include "FountainColor.h"

#include <stdexcept>

namespace quire {

void TFountainColor::Assign(const TFountainColor& Source) {
    FBkColor = Source.FBkColor;
    FColor = Source.FColor;
    FStyle = Source.FStyle;
    Changed();
}

TFountainColorItem::TFountainColorItem(TNotifyCollection* Collection) : TNotifyCollectionItem(Collection) {
    if (Collection) FItemColor.OnChange = Collection->ChangedHandler();
}

void TFountainColorItem::Assign(const TNotifyCollectionItem& Source) {
    if (auto* s = dynamic_cast<const TFountainColorItem*>(&Source)) FItemColor.Assign(s->FItemColor);
}

void TFountainBracketItem::Assign(const TNotifyCollectionItem& Source) {
    if (auto* s = dynamic_cast<const TFountainBracketItem*>(&Source)) {
        LeftBracket = s->LeftBracket;
        RightBracket = s->RightBracket;
    }
    TFountainColorItem::Assign(Source);
}

TNotifyCollectionItem* TFountainBracketCollection::Add() {
    if (Count() >= Limit) {
        throw std::runtime_error("TFountainBracketCollection\r\nYou can not add item over " + std::to_string(Limit));
    }
    return TNotifyCollection::Add();
}

TFountainBracketItem* TFountainBracketCollection::AddBracket(const std::string& Left, const std::string& Right) {
    BeginUpdate();
    TFountainBracketItem* item = nullptr;
    try {
        item = static_cast<TFountainBracketItem*>(Add());
        item->LeftBracket = Left;
        item->RightBracket = Right;
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    return item;
}

void TFountainBracketCollection::Assign(const TFountainBracketCollection& Source) {
    BeginUpdate();
    try {
        Clear();
        for (int i = 0; i < Source.Count(); ++i) Add()->Assign(*Source.Item(i));
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

std::unique_ptr<TNotifyCollectionItem> TFountainBracketCollection::CreateItem() {
    return std::make_unique<TFountainBracketItem>(this);
}

} // namespace quire
