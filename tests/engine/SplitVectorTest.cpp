// SplitVector against a plain vector under random inserts and deletes.
#include "SplitVector.h"

#include <gtest/gtest.h>
#include <random>
#include <vector>

TEST(SplitVector, MirrorsAVectorUnderRandomEdits) {
    quire::SplitVector<int> sv;
    std::vector<int> model;
    std::mt19937 rng(7);
    for (int step = 0; step < 20000; ++step) {
        const size_t size = model.size();
        const int op = static_cast<int>(rng() % 3);
        if (op < 2 || size == 0) {
            const size_t pos = rng() % (size + 1);
            const size_t n = 1 + rng() % 5;
            sv.InsertN(pos, n, step);
            model.insert(model.begin() + static_cast<long>(pos), n, step);
        } else {
            const size_t pos = rng() % size;
            const size_t n = 1 + rng() % std::min<size_t>(size - pos, 4);
            sv.Delete(pos, n);
            model.erase(model.begin() + static_cast<long>(pos), model.begin() + static_cast<long>(pos + n));
        }
        ASSERT_EQ(sv.Size(), model.size()) << "step " << step;
        if (step % 97 == 0) {
            for (size_t i = 0; i < model.size(); ++i) ASSERT_EQ(sv[i], model[i]) << "step " << step;
        }
    }
    for (size_t i = 0; i < model.size(); ++i) ASSERT_EQ(sv[i], model[i]);
    sv.Clear();
    EXPECT_TRUE(sv.Empty());
}
