// TPointerStringList.
#include "PointerStringList.h"

#include <algorithm>
#include <cassert>
#include <stdexcept>

namespace quire {

TPointerStringList::~TPointerStringList() { freeAll(); }

void TPointerStringList::freeAll() noexcept {
    for (std::size_t i = 0; i < FRows.Size(); ++i) freeText(FRows[i]);
    FRows.Clear();
    FBlocks.clear();
    FOffsets.Clear();
    ++FTextChanges;
}

void TPointerStringList::checkIndex(int Index, int Limit) const {
    if (Index < 0 || Index > Limit) {
        throw std::out_of_range("List index out of bounds (" + std::to_string(Index) + ")");
    }
}

TPointerStringList::Row& TPointerStringList::row(int Index) {
    checkIndex(Index, Count() - 1);
    return FRows[static_cast<std::size_t>(Index)];
}

const TPointerStringList::Row& TPointerStringList::row(int Index) const {
    checkIndex(Index, Count() - 1);
    return FRows[static_cast<std::size_t>(Index)];
}

void TPointerStringList::setText(Row& r, std::string_view s) {
    if (s.size() >= kBorrowed) throw std::length_error("row too long");
    if (s.size() <= sizeof r.Inline) {
        char buffer[sizeof r.Inline];
        std::memcpy(buffer, s.data(), s.size()); // S may point into R itself
        freeText(r);
        std::memcpy(r.Inline, buffer, s.size());
    } else {
        char* heap = static_cast<char*>(std::malloc(s.size()));
        if (!heap) throw std::bad_alloc();
        std::memcpy(heap, s.data(), s.size());
        freeText(r);
        r.Heap = heap;
    }
    r.Length = static_cast<uint32_t>(s.size());
}

std::string_view TPointerStringList::Get(int Index) const { return textOf(row(Index)); }

void TPointerStringList::Put(int Index, std::string_view S) {
    Row& r = row(Index);
    const int old = spanOf(r);
    setText(r, S);
    spanChanged(Index, old);
    ++FTextChanges;
    Changed();
}

int TPointerStringList::Add(std::string_view S) {
    const int index = Count();
    Insert(index, S);
    return index;
}

void TPointerStringList::Insert(int Index, std::string_view S) {
    checkIndex(Index, Count());
    Row r{};
    setText(r, S);
    try {
        FRows.Insert(static_cast<std::size_t>(Index), r);
    } catch (...) {
        freeText(r);
        throw;
    }
    FOffsets.Insert(Index, 1, spanOf(r));
    ++FTextChanges;
    RowsInserted(Index, 1);
    Changed();
}

void TPointerStringList::Delete(int Index) {
    checkIndex(Index, Count() - 1);
    DeleteRange(Index, 1);
}

void TPointerStringList::InsertEmpty(int Index, int N) {
    checkIndex(Index, Count());
    if (N <= 0) return;
    FRows.InsertN(static_cast<std::size_t>(Index), static_cast<std::size_t>(N), Row{});
    FOffsets.Insert(Index, N, spanOf(Row{}));
    ++FTextChanges;
    RowsInserted(Index, N);
    Changed();
}

void TPointerStringList::DeleteRange(int Index, int N) {
    if (N <= 0) return;
    checkIndex(Index, Count() - 1);
    checkIndex(Index + N, Count());
    for (int i = Index; i < Index + N; ++i) freeText(FRows[static_cast<std::size_t>(i)]);
    FRows.Delete(static_cast<std::size_t>(Index), static_cast<std::size_t>(N));
    FOffsets.Remove(Index, N);
    ++FTextChanges;
    RowsDeleted(Index, N);
    Changed();
}

void TPointerStringList::SetRow(int Index, std::string_view S, uint32_t Data, uint32_t Attr, uint32_t State) {
    Row& r = row(Index);
    const int old = spanOf(r);
    setText(r, S);
    r.Slot1 = Data;
    r.Slot2 = Attr;
    r.Slot3 = State;
    spanChanged(Index, old);
    ++FTextChanges;
}

void TPointerStringList::SetAttrWord(int Index, uint32_t Value) {
    Row& r = row(Index);
    const int old = spanOf(r);
    r.Slot2 = Value;
    spanChanged(Index, old);
}

void TPointerStringList::assignText(Row& r, std::string_view s, bool Borrowed) {
    if (!Borrowed || s.empty()) {
        setText(r, s);
        return;
    }
    if (s.size() >= kBorrowed) throw std::length_error("row too long");
    assert(std::any_of(FBlocks.begin(), FBlocks.end(), [&](const TTextBlock& b) { return b.Holds(s.data()); }));
    freeText(r);
    r.Heap = const_cast<char*>(s.data());
    r.Length = static_cast<uint32_t>(s.size()) | kBorrowed;
}

void TPointerStringList::SetText(int Index, std::string_view S, bool Borrowed) {
    Row& r = row(Index);
    const int old = spanOf(r);
    assignText(r, S, Borrowed);
    spanChanged(Index, old);
    ++FTextChanges;
}

void TPointerStringList::AppendRow(std::string_view S, uint32_t Attr, bool Borrowed) {
    Row r{};
    assignText(r, S, Borrowed);
    r.Slot2 = Attr;
    try {
        FRows.PushBack(r);
    } catch (...) {
        freeText(r);
        throw;
    }
    FOffsets.Insert(Count() - 1, 1, spanOf(r));
    ++FTextChanges;
    RowsInserted(Count() - 1, 1);
}

const TTextBlock* TPointerStringList::BlockOf(const char* P) const noexcept {
    for (const TTextBlock& b : FBlocks)
        if (b.Holds(P)) return &b;
    return nullptr;
}

void TPointerStringList::Clear() {
    const int count = Count();
    freeAll();
    if (count == 0) return;
    RowsDeleted(0, count);
    Changed();
}

void TPointerStringList::EndUpdate() {
    if (FUpdateCount <= 0) return;
    if (--FUpdateCount == 0) Changed();
}

void TPointerStringList::Changed() {
    if (FUpdateCount == 0 && OnChange) OnChange(this);
}

} // namespace quire
