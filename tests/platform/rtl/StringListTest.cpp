#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/rtl/Component.h"
#include "platform/rtl/ObjectList.h"
#include "platform/rtl/RtlErrors.h"
#include "platform/rtl/StringList.h"
#include "tests/platform/rtl/RaiseCheck.h"

namespace xan::plat {
namespace {

using testing::RaisedMessage;

// Records the change events and can refuse changes from the before-change hook, the way a
// list whose owner must be in a given state does.
class GuardedList : public TStringList {
public:
    bool refuse = false;
    std::vector<std::string> log;

    GuardedList() {
        OnChanging = [this](TObject*) { log.push_back("changing"); };
        OnChange = [this](TObject*) { log.push_back("change"); };
    }

protected:
    void Changing() override {
        TStringList::Changing();
        if (refuse) Throw<EListError>(u"Invalid state");
    }
};

class Tracked : public TObject {
public:
    explicit Tracked(int& alive) : alive_(alive) { ++alive_; }
    ~Tracked() override { --alive_; }

private:
    int& alive_;
};

TEST(StringList, AddInsertDeleteAndIndexOf) {
    TStringList list;
    EXPECT_EQ(list.Add(u"one"), 0);
    EXPECT_EQ(list.Add(u"three"), 1);
    list.Insert(1, u"two");
    list.Insert(3, u"four");  // at Count: appends
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list.Get(1), u"two");
    EXPECT_EQ(list.IndexOf(u"THREE"), 2);  // case-insensitive by default
    list.SetCaseSensitive(true);
    EXPECT_EQ(list.IndexOf(u"THREE"), -1);
    list.Delete(0);
    EXPECT_EQ(list.Get(0), u"two");
    list.Put(0, u"2");
    EXPECT_EQ(list.Text(), u"2\r\nthree\r\nfour\r\n");
    list.Move(0, 2);
    EXPECT_EQ(list.Text(), u"three\r\nfour\r\n2\r\n");
    list.Exchange(0, 1);
    EXPECT_EQ(list.Get(0), u"four");
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

TEST(StringList, IndexErrorsNameTheIndex) {
    TStringList list;
    list.Add(u"a");
    EXPECT_EQ(RaisedMessage<EListError>([&] { list.Get(1); }), u"List index out of bounds (1)");
    EXPECT_EQ(RaisedMessage<EListError>([&] { list.Delete(-1); }), u"List index out of bounds (-1)");
    EXPECT_EQ(RaisedMessage<EListError>([&] { list.Insert(2, u"x"); }), u"List index out of bounds (2)");
    EXPECT_EQ(RaisedMessage<EListError>([&] { list.PutObject(5, nullptr); }), u"List index out of bounds (5)");
    EXPECT_EQ(list.Count(), 1);
}

TEST(StringList, TextSplitsAtEveryKindOfLineBreak) {
    TStringList list;
    list.SetText(u"a\r\nb\nc\rd");
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list.Get(3), u"d");
    list.SetText(u"a\n\rb");  // LF then CR: two breaks, an empty line between
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Get(1), u"");
    list.SetText(u"x\r\n");  // a final break does not add a line
    EXPECT_EQ(list.Count(), 1);
    list.SetText(u"x\r\n\r\n");
    EXPECT_EQ(list.Count(), 2);
    list.SetText(u"");
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Text(), u"");
}

TEST(StringList, TextPutsABreakAfterEachLine) {
    TStringList list;
    list.Add(u"x");
    list.Add(u"");
    EXPECT_EQ(list.Text(), u"x\r\n\r\n");
    list.SetLineBreak(u"\n");
    EXPECT_EQ(list.Text(), u"x\n\n");
    TStringList copy;
    copy.SetText(list.Text());
    EXPECT_TRUE(copy.Equals(list));
}

TEST(StringList, NotifiesBeforeAndAfterEachChange) {
    GuardedList list;
    list.Add(u"a");
    list.Put(0, u"b");
    list.Delete(0);
    EXPECT_EQ(list.log, (std::vector<std::string>{"changing", "change", "changing", "change", "changing", "change"}));
}

TEST(StringList, UpdateBracketFiresOnce) {
    GuardedList list;
    list.BeginUpdate();
    list.Add(u"a");
    list.Add(u"b");
    EXPECT_EQ(list.log, (std::vector<std::string>{"changing"}));
    list.EndUpdate();
    EXPECT_EQ(list.log, (std::vector<std::string>{"changing", "change"}));
    list.log.clear();
    list.SetText(u"x\ny\nz");
    EXPECT_EQ(list.log, (std::vector<std::string>{"changing", "change"}));
}

TEST(StringList, RefusedChangesLeaveTheListAndSkipTheAfterHook) {
    GuardedList list;
    list.SetText(u"keep\nme");
    list.refuse = true;
    list.log.clear();
    EXPECT_EQ(RaisedMessage<EListError>([&] { list.Add(u"x"); }), u"Invalid state");
    EXPECT_EQ(RaisedMessage<EListError>([&] { list.Put(0, u"x"); }), u"Invalid state");
    EXPECT_EQ(RaisedMessage<EListError>([&] { list.Delete(0); }), u"Invalid state");
    EXPECT_EQ(RaisedMessage<EListError>([&] { list.Clear(); }), u"Invalid state");
    EXPECT_EQ(RaisedMessage<EListError>([&] { list.SetText(u"new"); }), u"Invalid state");
    TStringList other;
    other.Add(u"other");
    EXPECT_EQ(RaisedMessage<EListError>([&] { list.Assign(&other); }), u"Invalid state");
    EXPECT_EQ(RaisedMessage<EListError>([&] { list.BeginUpdate(); }), u"Invalid state");
    EXPECT_EQ(list.UpdateCount(), 0);
    EXPECT_EQ(list.Text(), u"keep\r\nme\r\n");
    for (const std::string& event : list.log) EXPECT_EQ(event, "changing");
    list.refuse = false;
    list.Add(u"now");
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.log.back(), "change");
}

TEST(StringList, AssignCopiesLinesAndObjects) {
    TStringList source;
    TObject marker;
    source.AddObject(u"a", &marker);
    source.Add(u"b");
    TStringList target;
    target.Add(u"old");
    target.Assign(&source);
    EXPECT_TRUE(target.Equals(source));
    EXPECT_EQ(target.GetObject(0), &marker);
    EXPECT_EQ(target.IndexOfObject(&marker), 0);
    TPersistent other;
    EXPECT_EQ(RaisedMessage<EConvertError>([&] { target.Assign(&other); }),
              u"Cannot assign a TPersistent to a TStringList");
    EXPECT_EQ(RaisedMessage<EConvertError>([&] { target.Assign(nullptr); }), u"Cannot assign a nil to a TStringList");
}

TEST(StringList, OwningListFreesItsObjects) {
    int alive = 0;
    {
        TStringList list(true);
        list.AddObject(u"a", new Tracked(alive));
        list.AddObject(u"b", new Tracked(alive));
        list.AddObject(u"c", new Tracked(alive));
        list.Delete(0);
        EXPECT_EQ(alive, 2);
        list.PutObject(0, new Tracked(alive));
        EXPECT_EQ(alive, 2);
        TStringList plain;
        plain.Assign(&list);  // a non-owning copy shares the objects
        EXPECT_EQ(plain.GetObject(1), list.GetObject(1));
        TStringList owning(true);
        owning.Assign(&list);  // an owning copy takes the lines only
        EXPECT_EQ(owning.GetObject(0), nullptr);
    }
    EXPECT_EQ(alive, 0);
}

TEST(ObjectList, OwnsRemovesAndChecksIndexes) {
    int alive = 0;
    {
        TObjectList<Tracked> list;
        auto* a = new Tracked(alive);
        list.Add(a);
        list.Add(new Tracked(alive));
        EXPECT_EQ(list.IndexOf(a), 0);
        EXPECT_EQ(RaisedMessage<EListError>([&] { list.Items(2); }), u"List index out of bounds (2)");
        std::unique_ptr<Tracked> taken(list.Extract(0));
        EXPECT_EQ(list.Count(), 1);
        EXPECT_EQ(alive, 2);
    }
    EXPECT_EQ(alive, 0);
    TObjectList<TObject> notifiers(false);
    TObject x;
    EXPECT_TRUE(notifiers.AddIfAbsent(&x));
    EXPECT_FALSE(notifiers.AddIfAbsent(&x));
    EXPECT_EQ(notifiers.Remove(&x), 0);
    EXPECT_EQ(notifiers.Count(), 0);
}

}  // namespace
}  // namespace xan::plat
