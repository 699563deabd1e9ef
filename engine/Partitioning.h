// Partitioning: the start offsets of consecutive partitions of a text, found both ways in logarithmic time.
#pragma once

#include "SplitVector.h"

#include <cassert>
#include <cstdint>

namespace quire {

// A text cut into Partitions() consecutive partitions (the rows of a document, each with the
// bytes it takes in the text). Start(k) is where partition k begins; Start(Partitions()) is the
// text's length. The starts are kept in a gap buffer, so inserting and removing partitions near
// the last change is cheap. A change of one partition's length moves every start after it: that
// move is not written into each of them at once but kept as one step (FStepLength, owed by every
// start after FStepPartition), which the next changes carry along as they move through the
// list. Edits that stay near each other thus cost O(1) each, Start is O(1) and PartitionOf is a
// binary search. Offsets are 32-bit: the texts stay below 2 GB.
//
// Invariants: FStarts holds Partitions() + 1 values; the start of k is FStarts[k] for
// k <= FStepPartition and FStarts[k] + FStepLength after it; the starts never decrease and the
// first is 0.
class Partitioning {
public:
    Partitioning() { FStarts.PushBack(0); }
    Partitioning(const Partitioning&) = delete;
    Partitioning& operator=(const Partitioning&) = delete;

    int Partitions() const noexcept { return static_cast<int>(FStarts.Size()) - 1; }
    int Length() const noexcept { return Start(Partitions()); }

    // 0 <= K <= Partitions().
    int Start(int K) const noexcept {
        assert(K >= 0 && K <= Partitions());
        const int v = FStarts[static_cast<std::size_t>(K)];
        return K > FStepPartition ? v + FStepLength : v;
    }

    // The last partition K in [From, Partitions()] with Start(K) <= Offset (From when none is).
    // Partitions() itself is a candidate: it stands for the place after the text.
    int PartitionOf(int Offset, int From = 0) const noexcept {
        int lo = From, hi = Partitions();
        if (lo >= hi || Start(lo + 1) > Offset) return lo;
        // Start(lo) <= Offset holds throughout; the answer lies in [lo, hi].
        while (lo < hi) {
            const int mid = lo + (hi - lo + 1) / 2;
            if (Start(mid) <= Offset)
                lo = mid;
            else
                hi = mid - 1;
        }
        return lo;
    }

    // Partition K grows by Delta bytes (shrinks when it is negative).
    void AddLength(int K, int Delta) {
        assert(K >= -1 && K < Partitions());
        if (Delta == 0) return;
        if (FStepLength == 0) {
            FStepPartition = K;
        } else if (K >= FStepPartition) {
            applyStepTo(K);
        } else if (FStepPartition - K < Partitions() - FStepPartition) {
            backStepTo(K);
        } else {
            applyStepTo(Partitions());
            FStepPartition = K;
        }
        FStepLength += Delta;
    }

    // N partitions of Length bytes each are inserted before partition K (K <= Partitions()).
    void Insert(int K, int N, int Length) {
        assert(K >= 0 && K <= Partitions() && N >= 0);
        if (N == 0) return;
        if (FStepPartition < K) applyStepTo(K);
        const int start = Start(K);
        FStarts.InsertN(static_cast<std::size_t>(K), static_cast<std::size_t>(N), start);
        FStepPartition += N;
        if (Length == 0) return;
        for (int i = 1; i < N; ++i) FStarts[static_cast<std::size_t>(K + i)] = start + i * Length;
        AddLength(K + N - 1, N * Length);
    }

    // Partitions K..K+N-1 go, and their bytes with them.
    void Remove(int K, int N) {
        assert(K >= 0 && N >= 0 && K + N <= Partitions());
        if (N == 0) return;
        const int removed = Start(K + N) - Start(K);
        if (FStepPartition < K + N) applyStepTo(K + N);
        FStarts.Delete(static_cast<std::size_t>(K), static_cast<std::size_t>(N));
        FStepPartition -= N;
        AddLength(K - 1, -removed);
    }

    void Clear() noexcept {
        FStarts.Clear();
        FStarts.PushBack(0);
        FStepPartition = -1;
        FStepLength = 0;
    }

    void Swap(Partitioning& Other) noexcept {
        FStarts.Swap(Other.FStarts);
        std::swap(FStepPartition, Other.FStepPartition);
        std::swap(FStepLength, Other.FStepLength);
    }

private:
    // The step is written into the starts FStepPartition+1..K and then owed from K on.
    void applyStepTo(int K) {
        if (FStepLength != 0)
            FStarts.AddToRange(static_cast<std::size_t>(FStepPartition + 1), static_cast<std::size_t>(K + 1),
                               FStepLength);
        FStepPartition = K;
        if (FStepPartition >= Partitions()) {
            FStepPartition = Partitions();
            FStepLength = 0;
        }
    }
    // The step is taken back out of the starts K+1..FStepPartition and then owed from K on.
    void backStepTo(int K) {
        if (FStepLength != 0)
            FStarts.AddToRange(static_cast<std::size_t>(K + 1), static_cast<std::size_t>(FStepPartition + 1),
                               -FStepLength);
        FStepPartition = K;
    }

    SplitVector<int> FStarts;
    int FStepPartition = -1;
    int FStepLength = 0;
};

} // namespace quire
