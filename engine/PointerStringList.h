// TPointerStringList: an indexed list of byte strings with three 32-bit values per string.
#pragma once

#include "Object.h"
#include "SplitVector.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace quire {

// The three slots of every string (slot 1 data, slot 2 the attribute word, slot 3 the
// second state word) are kept in step with the strings by every operation; a new string
// has 0 in every slot. The list is unsorted. OnChange fires after each change while no
// update is open, and once when the outermost BeginUpdate/EndUpdate bracket closes.
// Rows are kept in a gap buffer, so inserting and deleting near the last change is cheap
// however long the list. An index out of range raises std::out_of_range.
class TPointerStringList : public TObject {
public:
    TPointerStringList() = default;
    TPointerStringList(const TPointerStringList&) = delete;
    TPointerStringList& operator=(const TPointerStringList&) = delete;
    ~TPointerStringList() override;

    TNotifyEvent OnChange;

    int Count() const noexcept { return static_cast<int>(FRows.Size()); }

    // The bytes of string Index; valid until that string changes.
    std::string_view Get(int Index) const;
    std::string Strings(int Index) const { return std::string(Get(Index)); }
    void Put(int Index, std::string_view S);
    int Add(std::string_view S);
    void Insert(int Index, std::string_view S);
    void Delete(int Index);
    void Clear();

    uint32_t Data(int Index) const { return row(Index).Slot1; }
    void SetData(int Index, uint32_t Value) { row(Index).Slot1 = Value; }
    uint32_t AttrWord(int Index) const { return row(Index).Slot2; }
    void SetAttrWord(int Index, uint32_t Value) { row(Index).Slot2 = Value; }
    uint32_t StateWord(int Index) const { return row(Index).Slot3; }
    void SetStateWord(int Index, uint32_t Value) { row(Index).Slot3 = Value; }

    // Bulk operations for the document store: N empty strings with zero slots inserted at
    // Index, and Count strings deleted from Index. One notification each.
    void InsertEmpty(int Index, int N);
    void DeleteRange(int Index, int N);
    // Replaces string Index and all three of its slots.
    void SetRow(int Index, std::string_view S, uint32_t Data, uint32_t Attr, uint32_t State);
    // Exchanges the whole contents (strings and slots) with Other; no notification.
    void SwapContents(TPointerStringList& Other) {
        FRows.Swap(Other.FRows);
        RowsReplaced();
        Other.RowsReplaced();
    }
    // Makes room for N more strings without reallocating.
    void Reserve(int N) { FRows.Reserve(static_cast<std::size_t>(N)); }

    void BeginUpdate() noexcept { ++FUpdateCount; }
    void EndUpdate();
    int UpdateCount() const noexcept { return FUpdateCount; }

protected:
    virtual void Changed();
    // Told after rows were inserted or deleted at Index, and after the whole contents were
    // exchanged, so that derived lists can keep facts about row ranges current.
    virtual void RowsInserted(int Index, int N) {}
    virtual void RowsDeleted(int Index, int N) {}
    virtual void RowsReplaced() {}

private:
    // One string with its slots: up to 8 bytes are held in place, longer ones on the heap.
    struct Row {
        union {
            char* Heap;
            char Inline[8];
        };
        uint32_t Length;
        uint32_t Slot1;
        uint32_t Slot2;
        uint32_t Slot3;
    };
    static_assert(sizeof(Row) == 24);

    static std::string_view textOf(const Row& r) noexcept {
        return {r.Length <= sizeof r.Inline ? r.Inline : r.Heap, r.Length};
    }
    static void setText(Row& r, std::string_view s);
    static void freeText(Row& r) noexcept {
        if (r.Length > sizeof r.Inline) std::free(r.Heap);
        r.Length = 0;
    }
    Row& row(int Index);
    const Row& row(int Index) const;
    void checkIndex(int Index, int Limit) const;

    SplitVector<Row> FRows;
    int FUpdateCount = 0;
};

} // namespace quire
