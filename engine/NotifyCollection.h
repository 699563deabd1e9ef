// TNotifyCollection: an owned list of items that tells its owner when an item changes.
#pragma once

#include "Object.h"

#include <memory>
#include <vector>

namespace quire {

class TNotifyCollection;

// An item of a TNotifyCollection. Changed tells the collection, which tells its owner.
class TNotifyCollectionItem : public TObject {
public:
    explicit TNotifyCollectionItem(TNotifyCollection* Collection) : FCollection(Collection) {}
    TNotifyCollection* Collection() const noexcept { return FCollection; }
    int Index() const noexcept;
    virtual void Assign(const TNotifyCollectionItem& Source) {}

protected:
    void Changed();

private:
    TNotifyCollection* FCollection;
};

// Add, Delete and Clear change the collection; so does any change of an item. Each change
// calls OnChange with the collection as the sender, unless an update is open, in which case
// EndUpdate of the outermost bracket notifies once.
class TNotifyCollection : public TObject {
public:
    explicit TNotifyCollection(TObject* Owner) : FOwner(Owner) {}
    ~TNotifyCollection() override;

    TNotifyEvent OnChange;

    TObject* Owner() const noexcept { return FOwner; }
    int Count() const noexcept { return static_cast<int>(FItems.size()); }
    TNotifyCollectionItem* Item(int Index) const { return FItems.at(static_cast<size_t>(Index)).get(); }
    int IndexOf(const TNotifyCollectionItem* Item) const noexcept;

    virtual TNotifyCollectionItem* Add();
    void Delete(int Index);
    void Clear();

    void BeginUpdate() noexcept { ++FUpdateCount; }
    void EndUpdate();
    int UpdateCount() const noexcept { return FUpdateCount; }

    // Called with the item that changed, or with none when the collection as a whole did.
    virtual void Update(TNotifyCollectionItem* Item);
    // A handler to hook to the sub-objects of items: any change of theirs is a change here.
    TNotifyEvent ChangedHandler() {
        return [this](TObject*) { Changed(); };
    }

protected:
    virtual std::unique_ptr<TNotifyCollectionItem> CreateItem() = 0;
    void Changed();

private:
    TObject* FOwner;
    std::vector<std::unique_ptr<TNotifyCollectionItem>> FItems;
    int FUpdateCount = 0;
};

} // namespace quire
