// TPointerStringList: strings and their three slots stay in step.
#include "PointerStringList.h"

#include <gtest/gtest.h>
#include <random>
#include <stdexcept>
#include <tuple>
#include <vector>

using namespace quire;

namespace {
using Item = std::tuple<std::string, uint32_t, uint32_t, uint32_t>;

std::vector<Item> contents(const TPointerStringList& l) {
    std::vector<Item> v;
    for (int i = 0; i < l.Count(); ++i) v.emplace_back(l.Strings(i), l.Data(i), l.AttrWord(i), l.StateWord(i));
    return v;
}
} // namespace

TEST(PointerStringList, NewItemsHaveZeroSlots) {
    TPointerStringList l;
    l.Add("a");
    l.Insert(0, "b");
    l.InsertEmpty(1, 2);
    ASSERT_EQ(l.Count(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(l.Data(i), 0u);
        EXPECT_EQ(l.AttrWord(i), 0u);
        EXPECT_EQ(l.StateWord(i), 0u);
    }
    EXPECT_EQ(l.Get(0), "b");
    EXPECT_EQ(l.Get(1), "");
    EXPECT_EQ(l.Get(3), "a");
}

TEST(PointerStringList, SlotsStayInStepThroughInsertAndDelete) {
    TPointerStringList l;
    for (int i = 0; i < 5; ++i) {
        l.Add(std::string(static_cast<size_t>(i * 7), static_cast<char>('a' + i)));
        l.SetData(i, 100 + i);
        l.SetAttrWord(i, 200 + i);
        l.SetStateWord(i, 300 + i);
    }
    l.Insert(2, "new");
    l.Delete(0);
    l.DeleteRange(3, 2);
    const std::vector<Item> expected = {
        {std::string(7, 'b'), 101, 201, 301},
        {"new", 0, 0, 0},
        {std::string(14, 'c'), 102, 202, 302},
    };
    EXPECT_EQ(contents(l), expected);
    l.Put(2, "short");
    EXPECT_EQ(l.AttrWord(2), 202u); // Put keeps the slots
    l.Clear();
    EXPECT_EQ(l.Count(), 0);
}

TEST(PointerStringList, MirrorsAModelUnderRandomEdits) {
    TPointerStringList l;
    std::vector<Item> model;
    std::mt19937 rng(11);
    for (int step = 0; step < 5000; ++step) {
        const int n = static_cast<int>(model.size());
        const unsigned op = rng() % 4;
        std::string s(rng() % 20, static_cast<char>('a' + step % 26));
        if (op == 0 || n == 0) {
            const int at = static_cast<int>(rng() % static_cast<unsigned>(n + 1));
            l.Insert(at, s);
            l.SetAttrWord(at, static_cast<uint32_t>(step));
            model.insert(model.begin() + at, Item{s, 0, static_cast<uint32_t>(step), 0});
        } else if (op == 1) {
            const int at = static_cast<int>(rng() % static_cast<unsigned>(n));
            l.Delete(at);
            model.erase(model.begin() + at);
        } else if (op == 2) {
            const int at = static_cast<int>(rng() % static_cast<unsigned>(n));
            l.Put(at, s);
            std::get<0>(model[static_cast<size_t>(at)]) = s;
        } else {
            const int at = static_cast<int>(rng() % static_cast<unsigned>(n));
            l.SetRow(at, s, 1, 2, 3);
            model[static_cast<size_t>(at)] = Item{s, 1, 2, 3};
        }
    }
    EXPECT_EQ(contents(l), model);
}

TEST(PointerStringList, ChangeNotification) {
    TPointerStringList l;
    int calls = 0;
    l.OnChange = [&](TObject*) { ++calls; };
    l.Add("a");
    EXPECT_EQ(calls, 1);
    l.BeginUpdate();
    l.Add("b");
    l.Delete(0);
    l.Put(0, "c");
    EXPECT_EQ(calls, 1);
    l.EndUpdate();
    EXPECT_EQ(calls, 2);
    l.Clear();
    EXPECT_EQ(calls, 3);
    l.Clear(); // already empty: no change
    EXPECT_EQ(calls, 3);
}

TEST(PointerStringList, IndexErrors) {
    TPointerStringList l;
    l.Add("x");
    EXPECT_THROW(l.Get(1), std::out_of_range);
    EXPECT_THROW(l.Get(-1), std::out_of_range);
    EXPECT_THROW(l.Insert(3, "y"), std::out_of_range);
    EXPECT_THROW(l.Delete(1), std::out_of_range);
    EXPECT_THROW(l.DeleteRange(0, 2), std::out_of_range);
    EXPECT_EQ(l.Count(), 1);
}

TEST(PointerStringList, PutFromItsOwnText) {
    TPointerStringList l;
    l.Add("0123456789abcdef");
    l.Put(0, l.Get(0).substr(2, 5)); // the source lies inside the row being replaced
    EXPECT_EQ(l.Get(0), "23456");
    l.Put(0, l.Get(0).substr(1, 3));
    EXPECT_EQ(l.Get(0), "345");
}
