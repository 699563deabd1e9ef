// TSortedStringList.
#include "SortedStringList.h"

#include <gtest/gtest.h>

using namespace quire;

TEST(SortedStringList, CompareTextFoldsAsciiOnly) {
    EXPECT_EQ(CompareText("abc", "ABC"), 0);
    EXPECT_LT(CompareText("ab", "abc"), 0);
    EXPECT_GT(CompareText("b", "A"), 0);
    // "ア" (0x83 0x41) and "ャ" (0x83 0x61) differ only in a trail byte: never equal.
    EXPECT_NE(CompareText("\x83\x41", "\x83\x61"), 0);
}

TEST(SortedStringList, AssignSortsDropsDuplicatesAndNotifiesOnce) {
    TSortedStringList list;
    int calls = 0;
    list.OnChange = [&](TObject*) { ++calls; };
    list.Assign(std::vector<std::string>{"while", "Begin", "begin", "end", "BEGIN"});
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(list.Strings(), (std::vector<std::string>{"Begin", "end", "while"}));
    list.Assign(std::vector<std::string>{"end", "while", "Begin"});
    EXPECT_EQ(calls, 1); // nothing changed
    EXPECT_EQ(list.Add("END"), 1);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(list.Text(), "Begin\r\nend\r\nwhile\r\n");
    list.SetText("b\na\r\nc");
    EXPECT_EQ(list.Strings(), (std::vector<std::string>{"a", "b", "c"}));
}
