#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/rtl/Collection.h"
#include "platform/rtl/RtlErrors.h"
#include "tests/platform/rtl/RaiseCheck.h"

namespace xan::plat {
namespace {

using testing::RaisedMessage;

class Module : public TCollectionItem {
    XAN_CLASS(Module, TCollectionItem)
    const UString& Name() const noexcept { return name_; }
    void SetName(const UString& name) {
        name_ = name;
        Changed(false);
    }
    UString DisplayName() const override { return name_.empty() ? TCollectionItem::DisplayName() : name_; }
    void Assign(const TPersistent* source) override {
        if (auto* other = dynamic_cast<const Module*>(source)) {
            SetName(other->name_);
            return;
        }
        TCollectionItem::Assign(source);
    }

private:
    UString name_;
};

// Records Update and Notify calls as text.
class Modules : public TCollection {
    XAN_CLASS(Modules, TCollection)
    Modules() : TCollection(Module::StaticClass()) {}
    std::vector<std::string> log;
    Module* At(Integer i) const { return static_cast<Module*>(Items(i)); }
    Module* AddNamed(const char16_t* name) {
        auto* m = static_cast<Module*>(Add());
        m->SetName(name);
        return m;
    }

protected:
    void Update(TCollectionItem* item) override {
        log.push_back(item ? "update " + static_cast<Module*>(item)->Name().ToUtf8() : "update all");
    }
    void Notify(TCollectionItem* item, TCollectionNotification action) override {
        static const char* names[] = {"added", "extracting", "deleting"};
        (void)item;
        log.push_back(names[static_cast<int>(action)]);
    }
};

TEST(Collection, ItemsGetUniqueIdsThatAreNeverReused) {
    Modules c;
    Module* a = c.AddNamed(u"a");
    Module* b = c.AddNamed(u"b");
    EXPECT_EQ(a->ID(), 0);
    EXPECT_EQ(b->ID(), 1);
    c.Delete(0);
    Module* d = c.AddNamed(u"d");
    EXPECT_EQ(d->ID(), 2);
    EXPECT_EQ(c.FindItemID(1), b);
    EXPECT_EQ(c.FindItemID(0), nullptr);
    EXPECT_EQ(b->Collection(), &c);
    EXPECT_EQ(d->Index(), 1);
}

TEST(Collection, InsertMoveAndIndexErrors) {
    Modules c;
    c.AddNamed(u"a");
    c.AddNamed(u"c");
    auto* b = static_cast<Module*>(c.Insert(1));
    b->SetName(u"b");
    EXPECT_EQ(c.At(1), b);
    EXPECT_EQ(c.At(2)->Name(), u"c");
    b->SetIndex(0);
    EXPECT_EQ(c.At(0), b);
    EXPECT_EQ(RaisedMessage<EListError>([&] { c.Items(3); }), u"List index out of bounds (3)");
    EXPECT_EQ(RaisedMessage<EListError>([&] { c.Insert(4); }), u"List index out of bounds (4)");
    EXPECT_EQ(RaisedMessage<EListError>([&] { b->SetIndex(-1); }), u"List index out of bounds (-1)");
    EXPECT_EQ(c.Count(), 3);
}

TEST(Collection, ChangesOfTheCollectionAndItsItemsAreReported) {
    Modules c;
    Module* a = c.AddNamed(u"a");
    EXPECT_EQ(c.log, (std::vector<std::string>{"added", "update all", "update a"}));
    c.log.clear();
    c.Delete(0);
    EXPECT_EQ(c.log, (std::vector<std::string>{"deleting", "extracting", "update all"}));
    (void)a;
}

TEST(Collection, UpdateBracketReportsOnceForTheWhole) {
    Modules c;
    c.BeginUpdate();
    c.AddNamed(u"a");
    c.AddNamed(u"b")->SetName(u"bb");
    c.EndUpdate();
    EXPECT_EQ(c.log, (std::vector<std::string>{"added", "added", "update all"}));
}

TEST(Collection, DestroyingAnItemRemovesIt) {
    Modules c;
    Module* a = c.AddNamed(u"a");
    c.AddNamed(u"b");
    delete a;
    EXPECT_EQ(c.Count(), 1);
    EXPECT_EQ(c.At(0)->Name(), u"b");
}

TEST(Collection, ItemsMoveBetweenCollections) {
    Modules from, to;
    Module* a = from.AddNamed(u"a");
    a->SetCollection(&to);
    EXPECT_EQ(from.Count(), 0);
    EXPECT_EQ(to.At(0), a);
    a->SetCollection(nullptr);
    EXPECT_EQ(to.Count(), 0);
    delete a;
}

TEST(Collection, AssignCopiesEveryItem) {
    Modules source, target;
    source.AddNamed(u"x");
    source.AddNamed(u"y");
    target.AddNamed(u"old");
    target.log.clear();
    target.Assign(&source);
    ASSERT_EQ(target.Count(), 2);
    EXPECT_EQ(target.At(0)->Name(), u"x");
    EXPECT_EQ(target.At(1)->DisplayName(), u"y");
    EXPECT_EQ(target.log.back(), "update all");
    EXPECT_EQ(std::count(target.log.begin(), target.log.end(), "update all"), 1);
    TCollectionItem plain;
    EXPECT_EQ(RaisedMessage<EConvertError>([&] { target.At(0)->Assign(&plain); }),
              u"Cannot assign a TCollectionItem to a Module");
    EXPECT_EQ(plain.DisplayName(), u"TCollectionItem");
}

}  // namespace
}  // namespace xan::plat
