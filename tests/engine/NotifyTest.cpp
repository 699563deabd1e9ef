// Notification classes: TNotifyPersistent, TMethodList, TNotifyEventList, TNotifyCollection.
#include "FileExtComponent.h"
#include "MethodList.h"
#include "NotifyCollection.h"
#include "NotifyEventList.h"
#include "NotifyPersistent.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace quire;

TEST(NotifyPersistent, OneNotificationPerUpdateBracket) {
    TNotifyPersistent p;
    int calls = 0;
    TObject* sender = nullptr;
    p.OnChange = [&](TObject* s) {
        ++calls;
        sender = s;
    };
    p.Changed();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(sender, &p);
    p.BeginUpdate();
    p.BeginUpdate();
    p.Changed();
    p.Changed();
    p.EndUpdate();
    EXPECT_EQ(calls, 1); // still inside the outer bracket
    p.EndUpdate();
    EXPECT_EQ(calls, 2);
    p.EndUpdate(); // unbalanced: ignored
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(p.UpdateCount(), 0);
}

TEST(NotifyPersistent, NotificationFromItselfIsIgnored) {
    TNotifyPersistent a, b;
    int calls = 0;
    a.OnChange = [&](TObject*) { ++calls; };
    a.ChangedProc(&b);
    EXPECT_EQ(calls, 1);
    a.ChangedProc(&a);
    EXPECT_EQ(calls, 1);
    b.OnChange = a.ChangedHandler(); // b's changes are a's changes
    b.Changed();
    EXPECT_EQ(calls, 2);
}

TEST(MethodList, RemoveDeletesTheLastEqualEntry) {
    std::vector<std::string> log;
    int x = 0, y = 0;
    TMethodList list;
    list.Add({&x, 0, [&](TObject*) { log.push_back("x1"); }});
    list.Add({&y, 0, [&](TObject*) { log.push_back("y"); }});
    list.Add({&x, 0, [&](TObject*) { log.push_back("x2"); }});
    list.Add({&x, 1, [&](TObject*) { log.push_back("x-other"); }});
    list.Remove(&x);
    ASSERT_EQ(list.Count(), 3);
    for (int i = 0; i < list.Count(); ++i) list[i].Code(nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"x1", "y", "x-other"}));
    list.Remove(&x);
    list.Remove(&x); // nothing left that is equal
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.IndexOf(&x, 1), 1);
}

TEST(NotifyEventList, CallsEveryHandlerInOrderWithTheOwner) {
    TObject owner;
    TNotifyEventList list(&owner);
    std::vector<int> order;
    std::vector<TObject*> senders;
    int a = 0, b = 0;
    list.Add(&a, [&](TObject* s) {
        order.push_back(1);
        senders.push_back(s);
    });
    list.Add(&b, [&](TObject* s) {
        order.push_back(2);
        senders.push_back(s);
    });
    list.Changed();
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
    EXPECT_EQ(senders, (std::vector<TObject*>{&owner, &owner}));
    list.BeginUpdate();
    list.Changed();
    EXPECT_EQ(order.size(), 2u);
    list.EndUpdate();
    EXPECT_EQ(order.size(), 4u);
    list.Remove(&a);
    list.Changed();
    EXPECT_EQ(order.back(), 2);
    EXPECT_EQ(order.size(), 5u);
}

TEST(NotifyEventList, AHandlerMayRemoveAnother) {
    TObject owner;
    TNotifyEventList list(&owner);
    int a = 0, b = 0, calledB = 0;
    list.Add(&a, [&](TObject*) { list.Remove(&b); });
    list.Add(&b, [&](TObject*) { ++calledB; });
    list.Changed();
    EXPECT_EQ(calledB, 0);
    EXPECT_EQ(list.Count(), 1);
}

namespace {
class TTestItem : public TNotifyCollectionItem {
public:
    using TNotifyCollectionItem::TNotifyCollectionItem;
    void SetValue(int v) {
        if (v == value) return;
        value = v;
        Changed();
    }
    int value = 0;
};
class TTestCollection : public TNotifyCollection {
public:
    using TNotifyCollection::TNotifyCollection;

protected:
    std::unique_ptr<TNotifyCollectionItem> CreateItem() override { return std::make_unique<TTestItem>(this); }
};
} // namespace

TEST(NotifyCollection, TellsItsOwnerWhenAnItemChanges) {
    TObject owner;
    TTestCollection c(&owner);
    int calls = 0;
    c.OnChange = [&](TObject* s) {
        ++calls;
        EXPECT_EQ(s, &c);
    };
    auto* item = static_cast<TTestItem*>(c.Add());
    EXPECT_EQ(calls, 1);
    item->SetValue(5);
    EXPECT_EQ(calls, 2);
    item->SetValue(5); // no real change
    EXPECT_EQ(calls, 2);
    c.BeginUpdate();
    c.Add();
    item->SetValue(6);
    c.Delete(1);
    EXPECT_EQ(calls, 2);
    c.EndUpdate();
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(item->Index(), 0);
    c.Clear();
    EXPECT_EQ(calls, 4);
    EXPECT_EQ(c.Count(), 0);
}

TEST(FileExtComponent, SortedDuplicateFreeCaseInsensitive) {
    TFileExtComponent c;
    c.FileExtList().Add(".pas");
    c.FileExtList().Add(".DPR");
    c.FileExtList().Add(".PAS");
    c.FileExtList().Add(".inc");
    ASSERT_EQ(c.FileExtList().Count(), 3);
    EXPECT_EQ(c.FileExtList()[0], ".DPR");
    EXPECT_EQ(c.FileExtList()[1], ".inc");
    EXPECT_EQ(c.FileExtList()[2], ".pas");
    EXPECT_TRUE(c.HasFileExt(".Pas"));
    EXPECT_TRUE(c.HasFileExt(".dpr"));
    EXPECT_FALSE(c.HasFileExt("pas"));
    EXPECT_FALSE(c.HasFileExt(".pa"));
}
