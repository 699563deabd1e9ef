// Partitioning against a plain vector of partition lengths under random edits, and the row
// offsets of a string list against a count of its rows.
#include "Partitioning.h"
#include "PointerStringList.h"

#include <gtest/gtest.h>
#include <random>
#include <vector>

using quire::Partitioning;

namespace {

// The starts a vector of lengths gives, and the partition that holds each offset, compared
// with those of the partitioning.
::testing::AssertionResult agrees(const Partitioning& p, const std::vector<int>& lengths) {
    if (p.Partitions() != static_cast<int>(lengths.size()))
        return ::testing::AssertionFailure() << "partitions " << p.Partitions() << " != " << lengths.size();
    int start = 0;
    for (std::size_t k = 0; k <= lengths.size(); ++k) {
        if (p.Start(static_cast<int>(k)) != start)
            return ::testing::AssertionFailure()
                   << "start of " << k << ": " << p.Start(static_cast<int>(k)) << " != " << start;
        if (k < lengths.size()) start += lengths[k];
    }
    // Every offset (and one past the end) lands in the last partition that starts at or before it.
    int k = 0;
    for (int offset = 0; offset <= start + 1; ++offset) {
        while (k < static_cast<int>(lengths.size()) && p.Start(k + 1) <= offset) ++k;
        if (p.PartitionOf(offset) != k)
            return ::testing::AssertionFailure()
                   << "offset " << offset << " in " << p.PartitionOf(offset) << ", not " << k;
    }
    return ::testing::AssertionSuccess();
}

} // namespace

TEST(Partitioning, MirrorsAVectorOfLengthsUnderRandomEdits) {
    for (uint32_t seed = 1; seed <= 4; ++seed) {
        std::mt19937 rng(seed);
        Partitioning p;
        std::vector<int> lengths;
        for (int step = 0; step < 3000; ++step) {
            const int n = static_cast<int>(lengths.size());
            const unsigned op = rng() % 10;
            // Edits cluster (as typing does) and now and then jump far, so the step moves both ways.
            const int at = n == 0 ? 0 : static_cast<int>(rng() % static_cast<unsigned>(n));
            if (op < 3 || n == 0) {
                const int count = 1 + static_cast<int>(rng() % 4), length = static_cast<int>(rng() % 5);
                const int k = static_cast<int>(rng() % static_cast<unsigned>(n + 1));
                p.Insert(k, count, length);
                lengths.insert(lengths.begin() + k, static_cast<std::size_t>(count), length);
            } else if (op < 5) {
                const int count = 1 + static_cast<int>(rng() % static_cast<unsigned>(std::min(n - at, 3)));
                p.Remove(at, count);
                lengths.erase(lengths.begin() + at, lengths.begin() + at + count);
            } else {
                const int delta = static_cast<int>(rng() % 7) - std::min(lengths[static_cast<std::size_t>(at)], 3);
                p.AddLength(at, delta);
                lengths[static_cast<std::size_t>(at)] += delta;
            }
            if (step % 7 == 0) {
                ASSERT_TRUE(agrees(p, lengths)) << "seed " << seed << " step " << step;
            }
        }
        ASSERT_TRUE(agrees(p, lengths)) << "seed " << seed;
    }
}

TEST(Partitioning, FindsFromAPartitionOnAndKeepsEmptyPartitionsApart) {
    Partitioning p;
    p.Insert(0, 5, 3);  // 0 3 6 9 12 | 15
    p.AddLength(2, -3); // partition 2 is empty: 0 3 6 6 9 | 12
    EXPECT_EQ(p.Start(3), 6);
    EXPECT_EQ(p.PartitionOf(6), 3) << "an empty partition gives way to the one after it";
    EXPECT_EQ(p.PartitionOf(5, 2), 2) << "From holds when no later partition starts early enough";
    EXPECT_EQ(p.PartitionOf(100), 5) << "past the end is the place after the last partition";
    p.Remove(0, 5);
    EXPECT_EQ(p.Length(), 0);
    EXPECT_EQ(p.PartitionOf(7), 0);
}

TEST(PointerStringList, KnowsWhereEachStringBeginsThroughEveryChange) {
    std::mt19937 rng(11);
    quire::TPointerStringList list;
    auto check = [&](int step) {
        std::vector<int> starts{0};
        for (int i = 0; i < list.Count(); ++i)
            starts.push_back(starts.back() + static_cast<int>(list.Get(i).size()) +
                             ((list.AttrWord(i) & 0xF) == 0 ? 2 : 0));
        ASSERT_EQ(list.TextLength(), starts.back()) << "step " << step;
        for (int i = 0; i <= list.Count(); ++i) {
            ASSERT_EQ(list.TextOffset(i), starts[static_cast<std::size_t>(i)]) << "string " << i << " step " << step;
            int last = i; // strings that take no byte all begin where the next one does
            while (last < list.Count() &&
                   starts[static_cast<std::size_t>(last + 1)] == starts[static_cast<std::size_t>(i)])
                ++last;
            ASSERT_EQ(list.IndexOfOffset(starts[static_cast<std::size_t>(i)]), last)
                << "string " << i << " step " << step;
        }
    };
    for (int step = 0; step < 4000; ++step) {
        const int n = list.Count();
        const int at = n == 0 ? 0 : static_cast<int>(rng() % static_cast<unsigned>(n));
        const std::string text(rng() % 12, 'x');
        switch (n == 0 ? 0 : rng() % 8) {
        case 0: list.Insert(static_cast<int>(rng() % static_cast<unsigned>(n + 1)), text); break;
        case 1: list.InsertEmpty(at, 1 + static_cast<int>(rng() % 3)); break;
        case 2: list.DeleteRange(at, 1 + static_cast<int>(rng() % static_cast<unsigned>(std::min(n - at, 3)))); break;
        case 3: list.Put(at, text); break;
        case 4: list.SetAttrWord(at, (list.AttrWord(at) & ~0xFu) | (rng() % 3)); break;
        case 5: list.SetRow(at, text, 0, rng() % 3, 0); break;
        case 6: list.AppendRow(text, rng() % 3, false); break;
        default: list.Delete(at); break;
        }
        check(step);
    }
}
