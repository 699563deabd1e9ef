// TNotifyCollection and its items.
#include "NotifyCollection.h"

namespace quire {

int TNotifyCollectionItem::Index() const noexcept { return FCollection ? FCollection->IndexOf(this) : -1; }

void TNotifyCollectionItem::Changed() {
    if (FCollection && FCollection->UpdateCount() == 0) FCollection->Update(this);
}

TNotifyCollection::~TNotifyCollection() {
    // Items must not notify a collection that is going away.
    OnChange = nullptr;
    FItems.clear();
}

int TNotifyCollection::IndexOf(const TNotifyCollectionItem* Item) const noexcept {
    for (size_t i = 0; i < FItems.size(); ++i) {
        if (FItems[i].get() == Item) return static_cast<int>(i);
    }
    return -1;
}

TNotifyCollectionItem* TNotifyCollection::Add() {
    FItems.push_back(CreateItem());
    TNotifyCollectionItem* item = FItems.back().get();
    Changed();
    return item;
}

void TNotifyCollection::Delete(int Index) {
    if (Index < 0 || Index >= Count()) return;
    FItems.erase(FItems.begin() + Index);
    Changed();
}

void TNotifyCollection::Clear() {
    if (FItems.empty()) return;
    BeginUpdate();
    FItems.clear();
    EndUpdate();
}

void TNotifyCollection::EndUpdate() {
    if (FUpdateCount <= 0) return;
    if (--FUpdateCount == 0) Changed();
}

void TNotifyCollection::Changed() {
    if (FUpdateCount == 0) Update(nullptr);
}

void TNotifyCollection::Update(TNotifyCollectionItem*) {
    if (OnChange) OnChange(this);
}

} // namespace quire
