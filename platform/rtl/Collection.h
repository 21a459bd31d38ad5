#pragma once
// TCollection / TCollectionItem: a collection owns items of one item class. Each item gets a
// unique, never reused ID in its collection; items can be added, inserted, moved, deleted and
// found by ID. Every change of the collection or of an item ends in the virtual Update (with
// the changed item, or null when the whole collection changed), at most once per
// BeginUpdate/EndUpdate bracket; Notify tells of each item's arrival and departure.
#include <vector>

#include "platform/core/Types.h"
#include "platform/rtl/Persistent.h"

namespace xan::plat {

class TCollection;

enum class TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

class TCollectionItem : public TPersistent {
    XAN_CLASS(TCollectionItem, TPersistent)
    TCollectionItem() = default;
    // Leaves its collection.
    ~TCollectionItem() override;

    TCollection* Collection() const noexcept { return collection_; }
    // Moves the item to another collection (or out of any, null); the caller then owns it.
    void SetCollection(TCollection* collection);
    Integer ID() const noexcept { return id_; }
    Integer Index() const noexcept;  // -1 outside a collection
    void SetIndex(Integer index);    // moves the item; EListError when out of range
    // The class name unless a descendant has a better one.
    virtual UString DisplayName() const { return ClassName(); }

protected:
    // Reports a change of this item (or of all items) to the collection.
    void Changed(bool allItems);

private:
    friend class TCollection;
    TCollection* collection_ = nullptr;
    Integer id_ = 0;
};

class TCollection : public TPersistent {
    XAN_CLASS(TCollection, TPersistent)
    // `itemClass` must be a TCollectionItem descendant with a default constructor.
    explicit TCollection(TClass itemClass, TPersistent* owner = nullptr);
    ~TCollection() override;

    TClass ItemClass() const noexcept { return itemClass_; }
    TPersistent* Owner() const noexcept { return owner_; }
    Integer Count() const noexcept { return static_cast<Integer>(items_.size()); }
    TCollectionItem* Items(Integer index) const;  // EListError when out of range
    TCollectionItem* FindItemID(Integer id) const noexcept;

    TCollectionItem* Add();
    TCollectionItem* Insert(Integer index);  // EListError when index is outside 0..Count
    void Delete(Integer index);              // frees the item
    void Clear();

    // Copies another collection: as many items, each assigned from its counterpart.
    void Assign(const TPersistent* source) override;

    void BeginUpdate() noexcept { ++updateCount_; }
    void EndUpdate();
    Integer UpdateCount() const noexcept { return updateCount_; }

protected:
    virtual void Update(TCollectionItem* item) { (void)item; }
    virtual void Notify(TCollectionItem* item, TCollectionNotification action) {
        (void)item;
        (void)action;
    }
    void Changed();

private:
    friend class TCollectionItem;
    void InsertItem(TCollectionItem* item);
    void RemoveItem(TCollectionItem* item);
    void ItemChanged(TCollectionItem* item);
    void MoveItem(TCollectionItem* item, Integer index);

    TClass itemClass_;
    TPersistent* owner_;
    std::vector<TCollectionItem*> items_;
    Integer nextId_ = 0;
    Integer updateCount_ = 0;
};

}  // namespace xan::plat
