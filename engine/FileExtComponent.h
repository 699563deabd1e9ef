// TFileExtComponent: a component with a sorted, duplicate-free list of file extensions.
#pragma once

#include "SortedStringList.h"

#include <memory>

namespace quire {

// The component base (TStoreComponent) is TObject here. FileExtList compares without regard to
// case; entries include the dot (".pas").
class TFileExtComponent : public TObject {
public:
    TFileExtComponent();
    ~TFileExtComponent() override = default;

    const TSortedStringList& FileExtList() const noexcept { return *FFileExtList; }
    TSortedStringList& FileExtList() noexcept { return *FFileExtList; }
    virtual void SetFileExtList(const TSortedStringList& Value);
    virtual bool HasFileExt(std::string_view Ext) const;

protected:
    // Called once by the constructor of a derived class (after its own members exist),
    // because a base constructor cannot reach overrides.
    void CreateFileExtList();
    virtual std::unique_ptr<TSortedStringList> CreateSortedList();
    virtual void InitFileExtList() {}

private:
    std::unique_ptr<TSortedStringList> FFileExtList;
};

} // namespace quire
