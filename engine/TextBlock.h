// TTextBlock: a block of text bytes, allocated once and never filled beforehand.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <new>
#include <utility>

namespace quire {

// Invariant: Size() <= Capacity(); the bytes past Size() are not initialised. A block is
// written through Data() and then handed to a row list, whose rows may point into it; the
// block never moves once made, so those pointers stay valid as long as the list keeps it.
class TTextBlock {
public:
    TTextBlock() noexcept = default;
    // Raises std::bad_alloc when the memory cannot be had.
    explicit TTextBlock(std::size_t Capacity) : FCapacity(Capacity) {
        FData = static_cast<char*>(std::malloc(Capacity > 0 ? Capacity : 1));
        if (!FData) throw std::bad_alloc();
    }
    TTextBlock(TTextBlock&& Other) noexcept
        : FData(std::exchange(Other.FData, nullptr)), FSize(std::exchange(Other.FSize, 0)),
          FCapacity(std::exchange(Other.FCapacity, 0)) {}
    TTextBlock& operator=(TTextBlock&& Other) noexcept {
        TTextBlock old(std::move(*this));
        std::swap(FData, Other.FData);
        std::swap(FSize, Other.FSize);
        std::swap(FCapacity, Other.FCapacity);
        return *this;
    }
    TTextBlock(const TTextBlock&) = delete;
    TTextBlock& operator=(const TTextBlock&) = delete;
    ~TTextBlock() { std::free(FData); }

    char* Data() noexcept { return FData; }
    const char* Data() const noexcept { return FData; }
    std::size_t Size() const noexcept { return FSize; }
    std::size_t Capacity() const noexcept { return FCapacity; }
    // The first N bytes hold text (N <= Capacity()).
    void SetSize(std::size_t N) noexcept { FSize = N; }
    // True when P points into the block (or just past its end).
    bool Holds(const char* P) const noexcept { return FData && P >= FData && P <= FData + FCapacity; }

private:
    char* FData = nullptr;
    std::size_t FSize = 0;
    std::size_t FCapacity = 0;
};

} // namespace quire
