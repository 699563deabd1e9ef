// Fountains, their colours and brackets, and the change broadcast.
#include "EditorFountain.h"

#include <gtest/gtest.h>
#include <stdexcept>

using namespace quire;

TEST(FountainColor, NotifiesOnlyOnARealChange) {
    TFountainColor c;
    int calls = 0;
    c.OnChange = [&](TObject* s) {
        ++calls;
        EXPECT_EQ(s, &c);
    };
    EXPECT_EQ(c.BkColor(), clNone);
    EXPECT_EQ(c.Color(), clNone);
    c.SetColor(0xFF);
    c.SetColor(0xFF);
    c.SetStyle(fsBold | fsItalic);
    EXPECT_EQ(calls, 2);
    TFountainColor other;
    other.SetBkColor(1);
    other.SetColor(2);
    other.SetStyle(4);
    c.Assign(other);
    EXPECT_EQ(calls, 3);
    EXPECT_TRUE(c == other);
}

TEST(FountainBrackets, FourteenAtMostWithTheTwoLineMessage) {
    auto f = TFountain::Create<TEditorFountain>();
    TFountainBracketCollection& b = f->Brackets();
    for (int i = 0; i < 14; ++i) b.AddBracket("<" + std::to_string(i), ">");
    try {
        b.Add();
        FAIL() << "a fifteenth item was accepted";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "TFountainBracketCollection\r\nYou can not add item over 14");
    }
    EXPECT_EQ(b.Count(), 14);
}

TEST(FountainBrackets, AssignNotifiesOnceAndStopsAtTheLimit) {
    auto source = TFountain::Create<TEditorFountain>();
    source->Brackets().AddBracket("{", "}");
    source->Brackets().AddBracket("(*", "*)");
    source->Brackets().Items(1)->ItemColor().SetColor(0x123456);
    auto f = TFountain::Create<TEditorFountain>();
    int calls = 0;
    int listener = 0;
    f->AddChangeHandler(&listener, [&](TObject* s) {
        ++calls;
        EXPECT_EQ(s, f.get());
    });
    f->SetBrackets(source->Brackets());
    EXPECT_EQ(calls, 1);
    ASSERT_EQ(f->Brackets().Count(), 2);
    EXPECT_EQ(f->Brackets().Items(1)->LeftBracket, "(*");
    EXPECT_EQ(f->Brackets().Items(1)->ItemColor().Color(), 0x123456u);
    f->Brackets().Items(0)->ItemColor().SetStyle(fsBold); // an item's colour is a change
    EXPECT_EQ(calls, 2);
    f->Brackets().Items(0)->LeftBracket = "["; // the strings are plain fields
    EXPECT_EQ(calls, 2);
    f->RemoveChangeHandler(&listener);
    f->Brackets().Items(0)->ItemColor().SetStyle(0);
    EXPECT_EQ(calls, 2);
}

TEST(Fountain, ReservedWordsAreSortedCaseInsensitiveAndBroadcastOnce) {
    auto f = TFountain::Create<TEditorFountain>();
    int calls = 0;
    f->AddChangeHandler(&calls, [&](TObject*) { ++calls; });
    f->SetReserveWordList({"while", "Begin", "BEGIN", "end"});
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(f->ReserveWordList().Count(), 3);
    EXPECT_TRUE(f->ReserveWordList().Contains("WHILE"));
    f->Reserve().SetColor(0xFF);
    EXPECT_EQ(calls, 2);
}

TEST(Fountain, ItalicAnywhereIsFound) {
    auto f = TFountain::Create<TEditorFountain>();
    EXPECT_FALSE(f->HasItalicStyle());
    f->Colors().Str().SetStyle(fsItalic);
    EXPECT_TRUE(f->HasItalicStyle());
    f->Colors().Str().SetStyle(0);
    f->Brackets().AddBracket("{", "}")->ItemColor().SetStyle(fsItalic | fsBold);
    EXPECT_TRUE(f->HasItalicStyle());
}

TEST(EditorFountain, SetAllLeavesSelectAndNotifiesOnce) {
    auto f = TFountain::Create<TEditorFountain>();
    int calls = 0;
    f->AddChangeHandler(&calls, [&](TObject*) { ++calls; });
    f->SetAllColor(0x0000FF);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(f->Colors().Ank().Color(), 0x0000FFu);
    EXPECT_EQ(f->Colors().Url().Color(), 0x0000FFu);
    EXPECT_EQ(f->Reserve().Color(), 0x0000FFu);
    EXPECT_EQ(f->Colors().Select().Color(), 0xFFFFFFu);
    EXPECT_EQ(f->Colors().Select().BkColor(), 0x800000u);
    f->SetAllStyle(fsUnderline);
    f->SetAllBkColor(0xEEEEEE);
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(f->Colors().DBCS().Style(), fsUnderline);
    EXPECT_EQ(f->Colors().Select().BkColor(), 0x800000u);
}

TEST(EditorFountain, ColorsAssignIsOneNotification) {
    auto a = TFountain::Create<TEditorFountain>();
    auto b = TFountain::Create<TEditorFountain>();
    b->Colors().Ank().SetColor(1);
    b->Colors().Select().SetColor(2);
    b->Reserve().SetColor(3);
    int calls = 0;
    a->AddChangeHandler(&calls, [&](TObject*) { ++calls; });
    a->SetColors(b->Colors());
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(a->Colors().Ank().Color(), 1u);
    EXPECT_EQ(a->Colors().Select().Color(), 2u);
    EXPECT_EQ(a->Reserve().Color(), 3u);
}

TEST(EditorFountain, BracketSetAllIsOneNotification) {
    auto f = TFountain::Create<TEditorFountain>();
    f->Brackets().AddBracket("{", "}");
    f->Brackets().AddBracket("<", ">");
    int calls = 0;
    f->AddChangeHandler(&calls, [&](TObject*) { ++calls; });
    f->EditorBrackets().SetAllColor(0xABCDEF);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(f->Brackets().Items(1)->ItemColor().Color(), 0xABCDEFu);
}

TEST(FountainParser, NeedsAFountain) {
    try {
        TEditorParser p(nullptr);
        FAIL();
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "TFountainParser.Create need instance of TFountain");
    }
}
