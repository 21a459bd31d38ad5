#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/rtl/Component.h"
#include "platform/rtl/RtlErrors.h"
#include "tests/platform/rtl/RaiseCheck.h"

namespace xan::plat {
namespace {

using testing::RaisedMessage;

std::vector<std::string>& Journal() {
    static std::vector<std::string> journal;
    return journal;
}

// Logs what happens to it: loading, notifications about other components, destruction.
class Probe : public TComponent {
    XAN_CLASS(Probe, TComponent)
    explicit Probe(TComponent* owner = nullptr, const char16_t* name = u"") : TComponent(owner) {
        SetName(name);
    }
    ~Probe() override {
        Destroying();
        Journal().push_back("destroy " + Name().ToUtf8());
    }
    TComponent* watched = nullptr;
    bool wasLoadingInLoaded = false;

protected:
    void Loaded() override {
        wasLoadingInLoaded = HasState(csLoading);
        Journal().push_back("loaded " + Name().ToUtf8());
    }
    void Notification(TComponent* c, TOperation op) override {
        TComponent::Notification(c, op);
        if (op == TOperation::opRemove && c == watched) {
            watched = nullptr;
            Journal().push_back(Name().ToUtf8() + " forgets " + c->Name().ToUtf8());
        }
    }
};

class ComponentTest : public ::testing::Test {
protected:
    void SetUp() override { Journal().clear(); }
};

TEST_F(ComponentTest, OwnerKeepsOwnedComponentsInOrderAndDestroysThem) {
    auto* form = new Probe(nullptr, u"Form");
    auto* a = new Probe(form, u"A");
    auto* b = new Probe(form, u"B");
    new Probe(b, u"Inner");
    ASSERT_EQ(form->ComponentCount(), 2);
    EXPECT_EQ(form->Components(0), a);
    EXPECT_EQ(form->Components(1), b);
    EXPECT_EQ(b->ComponentIndex(), 1);
    EXPECT_EQ(form->FindComponent(u"b"), b);
    EXPECT_EQ(form->FindComponent(u"Inner"), nullptr);  // not owned directly
    EXPECT_EQ(a->Owner(), form);
    EXPECT_EQ(RaisedMessage<EListError>([&] { form->Components(2); }), u"List index out of bounds (2)");
    delete form;
    // Owned components go last first, each after its own owned components.
    EXPECT_EQ(Journal(), (std::vector<std::string>{"destroy Form", "destroy B", "destroy Inner", "destroy A"}));
}

TEST_F(ComponentTest, DeletingAnOwnedComponentLeavesTheOwner) {
    Probe form(nullptr, u"Form");
    auto* a = new Probe(&form, u"A");
    auto* b = new Probe(&form, u"B");
    b->watched = a;
    delete a;
    EXPECT_EQ(form.ComponentCount(), 1);
    EXPECT_EQ(form.Components(0), b);
    // The owner told its other components.
    EXPECT_EQ(b->watched, nullptr);
}

TEST_F(ComponentTest, NamesAreValidatedAndUniquePerOwner) {
    Probe form(nullptr, u"Form");
    auto* a = new Probe(&form, u"Button1");
    auto* b = new Probe(&form, u"Button2");
    EXPECT_EQ(RaisedMessage<EComponentError>([&] { b->SetName(u"BUTTON1"); }),
              u"A component named BUTTON1 already exists");
    EXPECT_EQ(RaisedMessage<EComponentError>([&] { b->SetName(u"1st"); }), u"'1st' is not a valid component name");
    EXPECT_EQ(RaisedMessage<EComponentError>([&] { b->SetName(u"a.b"); }), u"'a.b' is not a valid component name");
    EXPECT_EQ(b->Name(), u"Button2");
    a->SetName(u"button1");  // renaming itself is no clash
    b->SetName(u"");
    b->SetName(u"_ok9");
    Probe other(nullptr, u"Other");
    auto* clash = new Probe(&other, u"_OK9");
    EXPECT_EQ(RaisedMessage<EComponentError>([&] { form.InsertComponent(clash); }),
              u"A component named _OK9 already exists");
    EXPECT_EQ(clash->Owner(), &other);
}

TEST_F(ComponentTest, InsertAndRemoveTransferOwnership) {
    Probe first(nullptr, u"First");
    Probe second(nullptr, u"Second");
    auto* c = new Probe(&first, u"C");
    second.InsertComponent(c);
    EXPECT_EQ(first.ComponentCount(), 0);
    EXPECT_EQ(c->Owner(), &second);
    second.RemoveComponent(c);
    EXPECT_EQ(c->Owner(), nullptr);
    EXPECT_EQ(second.ComponentCount(), 0);
    delete c;  // the caller owns it now
}

TEST_F(ComponentTest, FreeNotificationIsMutualAndRemovable) {
    auto* a = new Probe(nullptr, u"A");
    Probe b(nullptr, u"B");
    b.watched = a;
    b.FreeNotification(a);
    EXPECT_TRUE(a->HasState(csFreeNotification));
    delete a;
    EXPECT_EQ(b.watched, nullptr);
    EXPECT_EQ(Journal(), (std::vector<std::string>{"destroy A", "B forgets A"}));

    auto* c = new Probe(nullptr, u"C");
    auto* d = new Probe(nullptr, u"D");
    c->watched = d;
    d->watched = c;
    d->FreeNotification(c);
    delete d;  // mutual: c hears about d too
    EXPECT_EQ(c->watched, nullptr);
    auto* e = new Probe(nullptr, u"E");
    c->watched = e;
    c->FreeNotification(e);
    c->RemoveFreeNotification(e);
    delete e;
    EXPECT_EQ(c->watched, e);  // no longer notified (the pointer is stale, not dereferenced)
    delete c;
}

TEST_F(ComponentTest, SiblingsLearnWhenTheOwnerDestroysAWatchedComponent) {
    auto* form = new Probe(nullptr, u"Form");
    auto* watcher = new Probe(form, u"Watcher");
    auto* target = new Probe(form, u"Target");
    watcher->watched = target;
    watcher->FreeNotification(target);
    delete form;  // Target goes first (last owned), and Watcher hears of it
    auto& j = Journal();
    auto pos = std::find(j.begin(), j.end(), "Watcher forgets Target");
    ASSERT_NE(pos, j.end());
    EXPECT_LT(pos - j.begin(), std::find(j.begin(), j.end(), "destroy Watcher") - j.begin());
}

TEST_F(ComponentTest, DestroyingStateIsVisibleToOwnedComponents) {
    struct Checker : Probe {
        using Probe::Probe;
        // Runs before this component's own Destroying call in ~Probe.
        ~Checker() override { *flag = HasState(csDestroying); }
        bool* flag = nullptr;
    };
    bool saw = true;
    auto* alone = new Checker(nullptr, u"Alone");
    alone->flag = &saw;
    delete alone;
    EXPECT_FALSE(saw);
    auto* form = new Probe(nullptr, u"Form");
    auto* child = new Checker(form, u"Child");
    child->flag = &saw;
    delete form;  // the owner marks its whole tree first
    EXPECT_TRUE(saw);
}

TEST_F(ComponentTest, LoadingBracketCallsLoadedOwnerFirstAfterStateCleared) {
    Probe form(nullptr, u"Form");
    auto* a = new Probe(&form, u"A");
    auto* b = new Probe(&form, u"B");
    new Probe(a, u"A1");
    form.BeginLoading();
    EXPECT_TRUE(form.HasState(csLoading));
    EXPECT_TRUE(b->HasState(csLoading));
    EXPECT_TRUE(a->Components(0)->HasState(csLoading));
    form.EndLoading();
    EXPECT_EQ(Journal(), (std::vector<std::string>{"loaded Form", "loaded A", "loaded A1", "loaded B"}));
    EXPECT_FALSE(form.HasState(csLoading));
    EXPECT_FALSE(b->wasLoadingInLoaded);
}

TEST_F(ComponentTest, VirtualConstructorThroughTheClass) {
    Probe form(nullptr, u"Form");
    TComponent* c = CreateComponent(Probe::StaticClass(), &form);
    EXPECT_TRUE(c->Is<Probe>());
    EXPECT_EQ(c->Owner(), &form);
    EXPECT_EQ(RaisedMessage<EComponentError>([&] { CreateComponent(TObject::StaticClass(), &form); }),
              u"Class TObject is not a component class");
    EXPECT_EQ(form.ComponentCount(), 1);
}

TEST(IsValidIdent, AsciiLettersDigitsAndUnderscore) {
    EXPECT_TRUE(IsValidIdent(u"_"));
    EXPECT_TRUE(IsValidIdent(u"a1_B"));
    EXPECT_FALSE(IsValidIdent(u""));
    EXPECT_FALSE(IsValidIdent(u"9a"));
    EXPECT_FALSE(IsValidIdent(u"é"));
    EXPECT_FALSE(IsValidIdent(u"a b"));
}

}  // namespace
}  // namespace xan::plat
