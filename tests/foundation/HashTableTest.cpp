#include "foundation/HashTable.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "foundation/FieldKeyTraits.h"
#include "platform/core/Exception.h"

using namespace xan;
using xan::plat::TObject;
using xan::plat::UString;

namespace {

struct TEntry : TObject {
    XAN_CLASS(TEntry, TObject)
    TEntry(UString key, int* destroyed = nullptr) : Key(std::move(key)), Destroyed(destroyed) {}
    ~TEntry() override {
        if (Destroyed) ++*Destroyed;
    }
    UString Key;
    UString NewKey;  // the key Update gives the item, when set
    int Value = 0;
    int* Destroyed;
};

using TEntryTraits = TXANFieldKeyTraits<TEntry, UString, &TEntry::Key>;
using TUniqueEntryTraits = TXANFieldKeyTraits<TEntry, UString, &TEntry::Key, true>;

// Every key hashes to 0, so all items share one chain.
class TOneBucketTraits : public TXANHashTableTraits {
    XAN_HASH_TRAITS(TOneBucketTraits, TXANHashTableTraits)
    Integer MakeHashI(const TObject*) const override { return 0; }
    Integer MakeHashK(const void*) const override { return 0; }
    bool Compare(const void* key, const TObject* item) const override {
        return *static_cast<const UString*>(key) == static_cast<const TEntry*>(item)->Key;
    }
};

// Update support: items with a negative Value are dropped, others take "K<Value>" as new key.
class TRekeyingTraits : public TXANFieldKeyTraits<TEntry, UString, &TEntry::Key> {
    XAN_HASH_TRAITS(TRekeyingTraits, TXANFieldKeyTraits<TEntry, UString, &TEntry::Key>)
    TXANHashUpdateAction OnUpdate(TObject* item) const override {
        auto* e = static_cast<TEntry*>(item);
        if (e->Value < 0) return uaDelete;
        e->Key = UString::FromLatin1("K" + std::to_string(e->Value));
        return uaNothing;
    }
};

// Update support: an item with a NewKey takes it as its key.
class TMoveToNewKeyTraits : public TXANFieldKeyTraits<TEntry, UString, &TEntry::Key> {
    XAN_HASH_TRAITS(TMoveToNewKeyTraits, TXANFieldKeyTraits<TEntry, UString, &TEntry::Key>)
    TXANHashUpdateAction OnUpdate(TObject* item) const override {
        auto* e = static_cast<TEntry*>(item);
        if (!e->NewKey.empty()) e->Key = e->NewKey;
        return uaNothing;
    }
};

// Hashes fail while g_failHash is set, to check that a failed Add changes nothing.
bool g_failHash = false;
class TFailingTraits : public TXANFieldKeyTraits<TEntry, UString, &TEntry::Key> {
    XAN_HASH_TRAITS(TFailingTraits, TXANFieldKeyTraits<TEntry, UString, &TEntry::Key>)
    Integer MakeHashI(const TObject* item) const override {
        if (g_failHash) plat::Throw<plat::Exception>(u"hash failed");
        return TXANFieldKeyTraits::MakeHashI(item);
    }
};

// Overrides the hashes only: comparing is still the base's assertion.
class TNoCompareTraits : public TXANHashTableTraits {
    XAN_HASH_TRAITS(TNoCompareTraits, TXANHashTableTraits)
    Integer MakeHashI(const TObject*) const override { return 1; }
    Integer MakeHashK(const void*) const override { return 1; }
};

UString K(const char* s) { return UString::FromLatin1(s); }

TEntry* Found(const TXANHashTable& t, const char* key) {
    const UString k = K(key);
    return static_cast<TEntry*>(t.Find(&k));
}
bool RemoveKey(TXANHashTable& t, const char* key) {
    const UString k = K(key);
    return t.Remove(&k);
}

std::vector<std::string> KeysOf(const TXANHashTable& t) {
    std::vector<TObject*> items;
    t.GetAll(items);
    std::vector<std::string> keys;
    for (auto* i : items) keys.push_back(static_cast<TEntry*>(i)->Key.ToUtf8());
    return keys;
}

}  // namespace

TEST(TXANHashTableTraits, AreSingletonClassesWithAParentChain) {
    EXPECT_EQ(TEntryTraits::Class(), TEntryTraits::Class());
    EXPECT_NE(static_cast<TXANHashTableTraitsClass>(TEntryTraits::Class()), TXANHashTableTraits::Class());
    EXPECT_TRUE(TRekeyingTraits::Class()->InheritsFrom(TEntryTraits::Class()));
    EXPECT_TRUE(TRekeyingTraits::Class()->InheritsFrom(TXANHashTableTraits::Class()));
    EXPECT_FALSE(TEntryTraits::Class()->InheritsFrom(TRekeyingTraits::Class()));
    EXPECT_EQ(TXANHashTableTraits::Class()->parent, nullptr);
}

TEST(TXANHashTableTraits, BaseOperationsAreDefaultsOrAssertionFailures) {
    auto traits = TXANHashTableTraits::Class();
    TXANHashTable table(traits, false);
    TEntry e(K("A"));
    const UString key = K("A");
    EXPECT_TRUE(traits->BeforeAdd(&e, table));
    EXPECT_EQ(traits->OnUpdate(&e), uaNothing);
    EXPECT_THROW(traits->MakeHashI(&e), plat::RaisedException);
    EXPECT_THROW(traits->MakeHashK(&key), plat::RaisedException);
    EXPECT_THROW(traits->Compare(&key, &e), plat::RaisedException);
    try {
        traits->MakeHashK(&key);
    } catch (const plat::RaisedException& r) {
        EXPECT_TRUE(r.Object()->Is<plat::EAssertionFailed>());
        EXPECT_NE(r.Object()->Message().Find(u"XANHashTable"), -1);
    }
}

TEST(TXANHashTable, UsingTheBaseTraitsFailsWithoutChangingTheTable) {
    TXANHashTable table(TXANHashTableTraits::Class(), false);
    TEntry e(K("A"));
    EXPECT_THROW(table.Add(&e), plat::RaisedException);
    EXPECT_EQ(table.Count(), 0);
    const UString key = K("A");
    EXPECT_EQ(table.Find(&key), nullptr);  // no buckets yet: nothing to hash

    TXANHashTable partial(TNoCompareTraits::Class(), false);
    ASSERT_TRUE(partial.Add(&e));
    EXPECT_THROW(partial.Find(&key), plat::RaisedException);
}

TEST(TXANHashTable, AllocatesNoBucketsUntilTheFirstAdd) {
    TXANHashTable t(TEntryTraits::Class(), true);
    EXPECT_EQ(t.BucketCount(), 0);
    EXPECT_EQ(Found(t, "A"), nullptr);
    EXPECT_FALSE(RemoveKey(t, "A"));
    std::vector<TObject*> none;
    t.GetAll(none);
    EXPECT_TRUE(none.empty());
    t.Update();
    ASSERT_TRUE(t.Add(new TEntry(K("A"))));
    EXPECT_EQ(t.BucketCount(), 4);
    EXPECT_EQ(Found(t, "A")->Key, u"A");
}

TEST(TXANHashTable, DefaultTraitsAcceptDuplicateKeysNewestFound) {
    TXANHashTable t(TEntryTraits::Class(), true);
    auto* first = new TEntry(K("X"));
    auto* second = new TEntry(K("X"));
    ASSERT_TRUE(t.Add(first));
    ASSERT_TRUE(t.Add(second));
    EXPECT_EQ(t.Count(), 2);
    EXPECT_EQ(Found(t, "X"), second);
    ASSERT_TRUE(RemoveKey(t, "X"));
    EXPECT_EQ(Found(t, "X"), first);
}

TEST(TXANHashTable, UniqueKeyTraitsRefuseASecondItemWithTheKey) {
    int destroyed = 0;
    {
        TXANHashTable t(TUniqueEntryTraits::Class(), true);
        ASSERT_TRUE(t.Add(new TEntry(K("X"), &destroyed)));
        TEntry duplicate(K("X"), &destroyed);
        EXPECT_FALSE(t.Add(&duplicate));
        EXPECT_EQ(t.Count(), 1);
        EXPECT_EQ(destroyed, 0);
        EXPECT_TRUE(t.Add(new TEntry(K("Y"), &destroyed)));
    }
    EXPECT_EQ(destroyed, 3);
}

TEST(TXANHashTable, KeysOfOtherTypes) {
    struct TByClass : TObject {
        XAN_CLASS(TByClass, TObject)
        explicit TByClass(plat::TClass c) : Cls(c) {}
        plat::TClass Cls;
    };
    struct TById : TObject {
        XAN_CLASS(TById, TObject)
        explicit TById(std::uint16_t id) : Id(id) {}
        std::uint16_t Id;
    };
    TXANHashTable byClass(TXANFieldKeyTraits<TByClass, plat::TClass, &TByClass::Cls, true>::Class(), true);
    byClass.Add(new TByClass(TEntry::StaticClass()));
    byClass.Add(new TByClass(TObject::StaticClass()));
    TByClass again(TObject::StaticClass());
    EXPECT_FALSE(byClass.Add(&again));
    EXPECT_EQ(byClass.Count(), 2);
    plat::TClass key = TEntry::StaticClass();
    ASSERT_NE(byClass.Find(&key), nullptr);
    EXPECT_EQ(static_cast<TByClass*>(byClass.Find(&key))->Cls, key);

    TXANHashTable byId(TXANFieldKeyTraits<TById, std::uint16_t, &TById::Id>::Class(), true);
    for (std::uint16_t i = 0; i < 100; ++i) byId.Add(new TById(i));
    std::uint16_t k = 42;
    ASSERT_NE(byId.Find(&k), nullptr);
    EXPECT_EQ(static_cast<TById*>(byId.Find(&k))->Id, 42);
}

TEST(TXANHashTable, RemovingFromAChainKeepsTheOthers) {
    const char* keys[] = {"A", "B", "C", "D", "E"};
    for (const char* victim : keys) {
        TXANHashTable t(TOneBucketTraits::Class(), true);
        for (const char* k : keys) t.Add(new TEntry(K(k)));
        ASSERT_TRUE(RemoveKey(t, victim));
        EXPECT_FALSE(RemoveKey(t, victim));
        EXPECT_EQ(t.Count(), 4);
        for (const char* k : keys)
            if (std::string(k) != victim) {
                EXPECT_NE(Found(t, k), nullptr) << k << " after removing " << victim;
            }
        EXPECT_EQ(KeysOf(t).size(), 4u);
    }
}

TEST(TXANHashTable, GetAllFormsVisitTheSameItemsInTheSameOrder) {
    TXANHashTable t(TOneBucketTraits::Class(), true);
    for (const char* k : {"A", "B", "C"}) t.Add(new TEntry(K(k)));
    EXPECT_EQ(KeysOf(t), (std::vector<std::string>{"C", "B", "A"}));  // newest first in a bucket

    std::vector<std::string> viaEvent;
    t.GetAll(TXANHashTableItemProc([&](TObject* i) { viaEvent.push_back(static_cast<TEntry*>(i)->Key.ToUtf8()); }));
    EXPECT_EQ(viaEvent, KeysOf(t));

    std::vector<std::string> viaProc;
    t.GetAll([](TObject* i, void* data) {
        static_cast<std::vector<std::string>*>(data)->push_back(static_cast<TEntry*>(i)->Key.ToUtf8());
    }, &viaProc);
    EXPECT_EQ(viaProc, KeysOf(t));

    t.GetAll(TXANHashTableItemProc());  // an unassigned method is skipped
}

TEST(TXANHashTable, ChangingTheTableFromAnEnumerationCallbackIsCaught) {
    TXANHashTable t(TEntryTraits::Class(), true);
    t.Add(new TEntry(K("A")));
    t.Add(new TEntry(K("B")));
    TEntry extra(K("C"));
    EXPECT_THROW(t.GetAll(TXANHashTableItemProc([&](TObject*) { t.Add(&extra); })), plat::RaisedException);
    EXPECT_THROW(t.GetAll(TXANHashTableItemProc([&](TObject*) { RemoveKey(t, "A"); })), plat::RaisedException);
    EXPECT_THROW(t.GetAll(TXANHashTableItemProc([&](TObject*) { t.Clear(); })), plat::RaisedException);
    EXPECT_EQ(t.Count(), 2);
    EXPECT_NE(Found(t, "A"), nullptr);
    EXPECT_TRUE(t.Add(new TEntry(K("C"))));
    t.GetAll(TXANHashTableItemProc([](TObject*) {}));  // the guard was released after the failures
}

TEST(TXANHashTable, UpdateDeletesAndRehashesChangedKeys) {
    int destroyed = 0;
    TXANHashTable t(TRekeyingTraits::Class(), true);
    for (int i = 0; i < 12; ++i) {
        auto* e = new TEntry(K(("old" + std::to_string(i)).c_str()), &destroyed);
        e->Value = i % 3 == 0 ? -1 : i * 10;
        t.Add(e);
    }
    const Integer buckets = t.BucketCount();
    t.Update();
    EXPECT_EQ(destroyed, 4);  // 0, 3, 6, 9
    EXPECT_EQ(t.Count(), 8);
    EXPECT_EQ(t.BucketCount(), buckets);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(Found(t, ("old" + std::to_string(i)).c_str()), nullptr);
        TEntry* e = Found(t, ("K" + std::to_string(i * 10)).c_str());
        if (i % 3 == 0)
            EXPECT_EQ(e, nullptr);
        else
            ASSERT_NE(e, nullptr) << i;
    }
    t.Clear();
    EXPECT_EQ(destroyed, 12);
    EXPECT_EQ(t.BucketCount(), 0);
}

TEST(TXANHashTable, UpdateOnANonOwningTableOnlyUnlinks) {
    TXANHashTable t(TRekeyingTraits::Class(), false);
    int destroyed = 0;
    TEntry keep(K("a"), &destroyed), drop(K("b"), &destroyed);
    keep.Value = 1;
    drop.Value = -1;
    t.Add(&keep);
    t.Add(&drop);
    t.Update();
    EXPECT_EQ(destroyed, 0);
    EXPECT_EQ(t.Count(), 1);
    EXPECT_EQ(Found(t, "K1"), &keep);
}

TEST(TXANHashTable, AFailedGrowthLeavesTheTableAsItWas) {
    TXANHashTable t(TFailingTraits::Class(), false);
    std::vector<std::unique_ptr<TEntry>> entries;
    for (const char* k : {"A", "B", "C", "D", "E"}) entries.push_back(std::make_unique<TEntry>(K(k)));
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(t.Add(entries[i].get()));
    const auto before = KeysOf(t);
    g_failHash = true;
    EXPECT_THROW(t.Add(entries[4].get()), plat::RaisedException);
    g_failHash = false;
    EXPECT_EQ(t.Count(), 4);
    EXPECT_EQ(t.BucketCount(), 4);
    EXPECT_EQ(KeysOf(t), before);
    EXPECT_EQ(Found(t, "E"), nullptr);
    ASSERT_TRUE(t.Add(entries[4].get()));
    EXPECT_EQ(t.BucketCount(), 8);
    for (const char* k : {"A", "B", "C", "D", "E"}) EXPECT_NE(Found(t, k), nullptr) << k;
}

TEST(TXANHashTable, ManyItemsInChainsSurviveGrowthAndRemoval) {
    // Keys that differ only in their 17th-from-last unit collide completely under StrHash, so
    // chains stay long through every growth.
    TXANHashTable t(TEntryTraits::Class(), true);
    auto key = [](int i) { return "k" + std::to_string(i % 50) + std::string(16, 'x') + std::to_string(i / 50); };
    for (int i = 0; i < 2000; ++i) ASSERT_TRUE(t.Add(new TEntry(K(key(i).c_str()))));
    EXPECT_EQ(t.Count(), 2000);
    EXPECT_EQ(t.BucketCount(), 2048);
    for (int i = 0; i < 2000; ++i) ASSERT_NE(Found(t, key(i).c_str()), nullptr) << i;
    for (int i = 0; i < 2000; i += 3) ASSERT_TRUE(RemoveKey(t, key(i).c_str()));
    for (int i = 0; i < 2000; ++i) EXPECT_EQ(Found(t, key(i).c_str()) != nullptr, i % 3 != 0) << i;
    EXPECT_EQ(KeysOf(t).size(), static_cast<std::size_t>(t.Count()));
}

TEST(TXANHashTable, MisuseIsAnAssertionFailure) {
    EXPECT_THROW(TXANHashTable(nullptr, true), plat::RaisedException);
    TXANHashTable t(TEntryTraits::Class(), true);
    EXPECT_THROW(t.Add(nullptr), plat::RaisedException);
    EXPECT_THROW(t.GetAll(nullptr, nullptr), plat::RaisedException);
}

TEST(TXANHashTable, UpdateCanGatherEveryItemIntoOneChainAndSpreadItAgain) {
    // Keys differing only 17 units from the end share one StrHash, hence one bucket.
    auto colliding = [](int i) { return UString::FromLatin1(std::to_string(i) + std::string(16, 'q')); };
    auto spread = [](int i) { return UString::FromLatin1("s" + std::to_string(i)); };
    TXANHashTable t(TMoveToNewKeyTraits::Class(), true);
    std::vector<TEntry*> entries;
    for (int i = 0; i < 30; ++i) {
        entries.push_back(new TEntry(spread(i)));
        t.Add(entries.back());
    }
    for (int i = 0; i < 30; ++i) entries[i]->NewKey = colliding(i);
    t.Update();  // needs a chain node for all but one item, where there were few before
    for (int i = 0; i < 30; ++i) {
        const UString k = colliding(i);
        ASSERT_EQ(t.Find(&k), entries[i]) << i;
    }
    EXPECT_EQ(KeysOf(t).size(), 30u);
    for (int i = 0; i < 30; ++i) entries[i]->NewKey = spread(i);
    t.Update();
    for (int i = 0; i < 30; ++i) {
        const UString k = spread(i);
        ASSERT_EQ(t.Find(&k), entries[i]) << i;
    }
    EXPECT_EQ(KeysOf(t).size(), 30u);
}
