// TPointerStringList: an indexed list of byte strings with three 32-bit values per string.
#pragma once

#include "Object.h"
#include "Partitioning.h"
#include "SplitVector.h"
#include "TextBlock.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quire {

// The three slots of every string (slot 1 data, slot 2 the attribute word, slot 3 the
// second state word) are kept in step with the strings by every operation; a new string
// has 0 in every slot. The list is unsorted. OnChange fires after each change while no
// update is open, and once when the outermost BeginUpdate/EndUpdate bracket closes.
// Rows are kept in a gap buffer, so inserting and deleting near the last change is cheap
// however long the list. A string either points into one of the text blocks the list owns
// (text loaded whole, which then needs neither a copy nor an allocation per row; the blocks
// live until the list is cleared), or is held in its row when it has up to 8 bytes, or has an
// allocation of its own. An index out of range raises std::out_of_range.
//
// The list also knows where each string begins in the text the strings make when each is
// followed by CR LF if the low four bits of its attribute word are 0 (a LineEnd row), by nothing
// otherwise: every change of a string or of those bits keeps a Partitioning of the strings
// current, so TextOffset is O(1) and IndexOfOffset O(log n).
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
    void SetAttrWord(int Index, uint32_t Value);
    uint32_t StateWord(int Index) const { return row(Index).Slot3; }
    void SetStateWord(int Index, uint32_t Value) { row(Index).Slot3 = Value; }

    // Bulk operations for the document store: N empty strings with zero slots inserted at
    // Index, and Count strings deleted from Index. One notification each.
    void InsertEmpty(int Index, int N);
    void DeleteRange(int Index, int N);
    // Replaces string Index and all three of its slots.
    void SetRow(int Index, std::string_view S, uint32_t Data, uint32_t Attr, uint32_t State);
    // Exchanges the whole contents (strings, slots and blocks) with Other; no notification.
    void SwapContents(TPointerStringList& Other) {
        FRows.Swap(Other.FRows);
        FBlocks.swap(Other.FBlocks);
        FOffsets.Swap(Other.FOffsets);
        ++FTextChanges;
        ++Other.FTextChanges;
        RowsReplaced();
        Other.RowsReplaced();
    }
    // Where string Index (0 <= Index <= Count()) begins in the text, and the text's length.
    int TextOffset(int Index) const {
        checkIndex(Index, Count());
        return FOffsets.Start(Index);
    }
    int TextLength() const noexcept { return FOffsets.Length(); }
    // The last index K in From..Count() whose string begins at or before Offset (From when
    // none does; Count() stands for the place after the text).
    int IndexOfOffset(int Offset, int From = 0) const { return FOffsets.PartitionOf(Offset, From); }
    // Counts every change of the strings' text, their number or their order (not of the slots),
    // so that a total kept over the text can tell that a change went past it.
    uint64_t TextChanges() const noexcept { return FTextChanges; }

    // Makes room for N more strings without reallocating.
    void Reserve(int N) { FRows.Reserve(static_cast<std::size_t>(N)); }

    // Takes over a block of text; strings added with AppendRow may point into it.
    void AdoptBlock(TTextBlock&& Block) { FBlocks.push_back(std::move(Block)); }
    // Adds a string with its attribute word (state: not parsed) at the end. When Borrowed,
    // S lies in a block the list owns and the row points into it instead of copying it.
    // No notification: for filling a list that nothing watches yet.
    void AppendRow(std::string_view S, uint32_t Attr, bool Borrowed);
    // Replaces the text of string Index (its slots stay), pointing into a block of the list
    // when Borrowed as AppendRow does.
    void SetText(int Index, std::string_view S, bool Borrowed);
    // True when the text of string Index points into one of the list's blocks.
    bool Borrowed(int Index) const { return isBorrowed(row(Index)); }
    // The block of the list that holds P, or null.
    const TTextBlock* BlockOf(const char* P) const noexcept;

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
    // One string with its slots: in a block of the list (the top bit of Length set: not freed
    // with the row), else up to 8 bytes held in place and longer ones on the heap.
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
    static constexpr uint32_t kBorrowed = 0x80000000u;

    static std::size_t lengthOf(const Row& r) noexcept { return r.Length & ~kBorrowed; }
    // The bytes R takes in the text: its own, and its CR LF when it is a LineEnd row.
    static int spanOf(const Row& r) noexcept { return static_cast<int>(lengthOf(r)) + ((r.Slot2 & 0xFu) == 0 ? 2 : 0); }
    // Tells the offsets that row Index, which took Old bytes of the text, may have changed.
    void spanChanged(int Index, int Old) {
        FOffsets.AddLength(Index, spanOf(FRows[static_cast<std::size_t>(Index)]) - Old);
    }
    static bool isBorrowed(const Row& r) noexcept { return (r.Length & kBorrowed) != 0; }
    static std::string_view textOf(const Row& r) noexcept {
        const std::size_t n = lengthOf(r);
        return {n <= sizeof r.Inline && !isBorrowed(r) ? r.Inline : r.Heap, n};
    }
    static void setText(Row& r, std::string_view s);
    // Sets R's text to S, pointing into a block of the list when Borrowed (an empty S is
    // simply empty).
    void assignText(Row& r, std::string_view s, bool Borrowed);
    static void freeText(Row& r) noexcept {
        if (r.Length > sizeof r.Inline && !isBorrowed(r)) std::free(r.Heap);
        r.Length = 0;
    }
    void freeAll() noexcept;
    Row& row(int Index);
    const Row& row(int Index) const;
    void checkIndex(int Index, int Limit) const;

    SplitVector<Row> FRows;
    std::vector<TTextBlock> FBlocks;
    Partitioning FOffsets;
    uint64_t FTextChanges = 0;
    int FUpdateCount = 0;
};

} // namespace quire
