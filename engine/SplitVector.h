// SplitVector: a gap buffer of trivially copyable records.
#pragma once

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

namespace quire {

// Invariants: the storage holds Part1 elements, then a gap of GapLength unused slots, then
// the rest. Size() == Part1 + (Capacity - Part1 - GapLength). Inserting or deleting at the
// gap costs O(1); moving the gap costs the distance moved, so edits that stay near each
// other are cheap however large the list is. The gap grows geometrically, so appending
// costs O(1) amortised. Elements are moved with memmove: T must be trivially copyable.
template <typename T>
class SplitVector {
    static_assert(std::is_trivially_copyable_v<T>, "SplitVector moves elements with memmove");

public:
    SplitVector() = default;
    SplitVector(const SplitVector&) = delete;
    SplitVector& operator=(const SplitVector&) = delete;
    ~SplitVector() { std::free(body_); }

    std::size_t Size() const noexcept { return part1_ + (capacity_ - part1_ - gap_); }
    bool Empty() const noexcept { return Size() == 0; }

    T& operator[](std::size_t i) noexcept {
        assert(i < Size());
        return i < part1_ ? body_[i] : body_[i + gap_];
    }
    const T& operator[](std::size_t i) const noexcept {
        assert(i < Size());
        return i < part1_ ? body_[i] : body_[i + gap_];
    }

    // Makes room for N more elements so that the next inserts do not reallocate.
    void Reserve(std::size_t n) {
        if (gap_ < n) grow(n - gap_);
    }

    // Inserts N copies of Value before position Pos (0 <= Pos <= Size()).
    void InsertN(std::size_t pos, std::size_t n, const T& value) {
        assert(pos <= Size());
        if (n == 0) return;
        if (gap_ < n) grow(std::max(n, capacity_ / 2 + 16));
        moveGapTo(pos);
        for (std::size_t i = 0; i < n; ++i) body_[part1_ + i] = value;
        part1_ += n;
        gap_ -= n;
    }
    void Insert(std::size_t pos, const T& value) { InsertN(pos, 1, value); }
    void PushBack(const T& value) { InsertN(Size(), 1, value); }

    // Removes N elements from position Pos (Pos + N <= Size()).
    void Delete(std::size_t pos, std::size_t n) noexcept {
        assert(pos + n <= Size());
        if (n == 0) return;
        moveGapTo(pos);
        gap_ += n;
    }

    // Adds Delta to the elements Start..End-1: for containers of numbers.
    void AddToRange(std::size_t start, std::size_t end, const T& delta) noexcept {
        assert(start <= end && end <= Size());
        const std::size_t firstEnd = std::min(end, part1_);
        for (std::size_t i = start; i < firstEnd; ++i) body_[i] += delta;
        for (std::size_t i = std::max(start, part1_); i < end; ++i) body_[i + gap_] += delta;
    }

    void Swap(SplitVector& other) noexcept {
        std::swap(body_, other.body_);
        std::swap(capacity_, other.capacity_);
        std::swap(part1_, other.part1_);
        std::swap(gap_, other.gap_);
    }

    void Clear() noexcept {
        std::free(body_);
        body_ = nullptr;
        capacity_ = part1_ = gap_ = 0;
    }

private:
    void moveGapTo(std::size_t pos) noexcept {
        if (pos == part1_) return;
        if (gap_ > 0) {
            if (pos < part1_) {
                std::memmove(body_ + pos + gap_, body_ + pos, sizeof(T) * (part1_ - pos));
            } else {
                std::memmove(body_ + part1_, body_ + part1_ + gap_, sizeof(T) * (pos - part1_));
            }
        }
        part1_ = pos;
    }

    void grow(std::size_t extra) {
        // Put the gap at the end, then enlarge the block behind it.
        moveGapTo(Size());
        const std::size_t newCapacity = capacity_ + extra;
        T* body = static_cast<T*>(std::realloc(static_cast<void*>(body_), sizeof(T) * newCapacity));
        if (!body) throw std::bad_alloc();
        body_ = body;
        gap_ += newCapacity - capacity_;
        capacity_ = newCapacity;
    }

    T* body_ = nullptr;
    std::size_t capacity_ = 0;
    std::size_t part1_ = 0;
    std::size_t gap_ = 0;
};

} // namespace quire
