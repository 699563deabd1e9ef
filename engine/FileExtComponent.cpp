// TFileExtComponent.
#include "FileExtComponent.h"

namespace quire {

TFileExtComponent::TFileExtComponent() : FFileExtList(std::make_unique<TSortedStringList>()) {}

void TFileExtComponent::CreateFileExtList() {
    FFileExtList = CreateSortedList();
    InitFileExtList();
}

std::unique_ptr<TSortedStringList> TFileExtComponent::CreateSortedList() {
    return std::make_unique<TSortedStringList>();
}

void TFileExtComponent::SetFileExtList(const TSortedStringList& Value) { FFileExtList->Assign(Value); }

bool TFileExtComponent::HasFileExt(std::string_view Ext) const { return FFileExtList->Contains(Ext); }

} // namespace quire
