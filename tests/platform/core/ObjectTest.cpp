#include "platform/core/Object.h"

#include <gtest/gtest.h>

#include "platform/core/Exception.h"
#include "platform/core/Method.h"

using namespace xan::plat;

namespace {
class TAnimal : public TObject {
    XAN_CLASS(TAnimal, TObject)
    int legs = 4;
};
class TBird : public TAnimal {
    XAN_CLASS(TBird, TAnimal)
    explicit TBird(int) {}
};

std::vector<std::uintptr_t> g_freed;
void RecordFree(TObject* o) { g_freed.push_back(reinterpret_cast<std::uintptr_t>(o)); }
}  // namespace

TEST(TObject, ClassReferencesDescribeTheHierarchy) {
    TBird bird(1);
    EXPECT_EQ(bird.ClassName(), u"TBird");
    EXPECT_EQ(bird.ClassParent(), TAnimal::StaticClass());
    EXPECT_TRUE(bird.InheritsFrom(TObject::StaticClass()));
    EXPECT_TRUE(bird.Is<TAnimal>());
    EXPECT_FALSE(TAnimal().Is<TBird>());
    EXPECT_EQ(bird.InstanceSize(), sizeof(TBird));
    EXPECT_TRUE(bird.ClassNameIs(u"tbird"));
    EXPECT_EQ(TObject::StaticClass()->parent, nullptr);
}

TEST(TObject, VirtualConstructionThroughClassReference) {
    TObject* o = CreateInstance(TAnimal::StaticClass());
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(o->ClassType(), TAnimal::StaticClass());
    delete o;
    EXPECT_EQ(CreateInstance(TBird::StaticClass()), nullptr);  // no default constructor
}

TEST(TObject, DestructorNotifiesTheFreeHook) {
    g_freed.clear();
    SetObjectFreeHook(&RecordFree);
    auto* a = new TAnimal;
    const auto address = reinterpret_cast<std::uintptr_t>(a);
    delete a;
    SetObjectFreeHook(nullptr);
    ASSERT_EQ(g_freed.size(), 1u);
    EXPECT_EQ(g_freed[0], address);
}

TEST(RaiseProtocol, UnacquiredExceptionIsFreedWithTheHandle) {
    g_freed.clear();
    SetObjectFreeHook(&RecordFree);
    try {
        Throw<EConvertError>(u"bad");
    } catch (const RaisedException& r) {
        EXPECT_TRUE(r.Object()->Is<EConvertError>());
        EXPECT_STREQ(r.what(), "bad");
    }
    SetObjectFreeHook(nullptr);
    EXPECT_EQ(g_freed.size(), 1u);
}

TEST(RaiseProtocol, AcquireThenReraiseTheSameObject) {
    Exception* held = nullptr;
    try {
        Throw<EDivByZero>(u"Division by zero");
    } catch (const RaisedException& r) {
        held = AcquireExceptionObject(r);
        EXPECT_EQ(r.Object(), nullptr);
        EXPECT_EQ(AcquireExceptionObject(r), nullptr);
    }
    ASSERT_NE(held, nullptr);
    try {
        Reraise(held);
    } catch (const RaisedException& r) {
        EXPECT_EQ(r.Object(), held);
        EXPECT_TRUE(r.IsReraise());
        EXPECT_TRUE(held->Is<EIntError>());
    }
}

TEST(RaiseProtocol, ForeignExceptionsBecomePlatformObjects) {
    auto e = CatchAll([] { throw std::runtime_error("boom"); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->Message(), u"boom");
    e = CatchAll([] { throw std::bad_alloc(); });
    EXPECT_TRUE(e->Is<EOutOfMemory>());
    e = CatchAll([] { throw 42; });
    EXPECT_TRUE(e->Is<EExternal>());
    EXPECT_FALSE(CatchAll([] {}));
}

namespace {
struct Counter {
    int total = 0;
    void Add(int n) { total += n; }
};
}  // namespace

TEST(Event, MemberFunctionLambdaAndUnassigned) {
    Counter c;
    auto ev = Event<void(int)>::Bind<&Counter::Add>(&c);
    ev(3);
    EXPECT_EQ(c.total, 3);
    EXPECT_EQ(ev.AsMethod().Data, &c);

    int captured = 0;
    Event<int(int)> twice = [&captured](int n) { captured = n; return 2 * n; };
    EXPECT_EQ(twice(21), 42);
    EXPECT_EQ(captured, 21);

    Event<void(int)> none;
    EXPECT_FALSE(none);
    none.Fire(1);  // skipped, no crash
    auto copy = Event<void(int)>::FromMethod(ev.AsMethod());
    copy.Fire(2);
    EXPECT_EQ(c.total, 5);
}
