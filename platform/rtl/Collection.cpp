#include "platform/rtl/Collection.h"

#include <algorithm>
#include <memory>

#include "platform/core/Assert.h"
#include "platform/rtl/RtlErrors.h"
#include "platform/rtl/UpdateBracket.h"

namespace xan::plat {

TCollectionItem::~TCollectionItem() {
    if (collection_) collection_->RemoveItem(this);
}

void TCollectionItem::SetCollection(TCollection* collection) {
    if (collection == collection_) return;
    if (collection_) collection_->RemoveItem(this);
    if (collection) collection->InsertItem(this);
}

Integer TCollectionItem::Index() const noexcept {
    if (!collection_) return -1;
    auto& items = collection_->items_;
    return static_cast<Integer>(std::find(items.begin(), items.end(), this) - items.begin());
}

void TCollectionItem::SetIndex(Integer index) {
    if (collection_) collection_->MoveItem(this, index);
}

void TCollectionItem::Changed(bool allItems) {
    if (collection_) collection_->ItemChanged(allItems ? nullptr : this);
}

TCollection::TCollection(TClass itemClass, TPersistent* owner) : itemClass_(itemClass), owner_(owner) {
    XAN_ASSERT("Collection", itemClass && itemClass->InheritsFrom(TCollectionItem::StaticClass()) && itemClass->create);
}

TCollection::~TCollection() {
    ++updateCount_;  // no update notices while going
    Clear();
}

TCollectionItem* TCollection::Items(Integer index) const {
    if (index < 0 || index >= Count()) RaiseListIndexError(index);
    return items_[static_cast<std::size_t>(index)];
}

TCollectionItem* TCollection::FindItemID(Integer id) const noexcept {
    for (TCollectionItem* item : items_)
        if (item->id_ == id) return item;
    return nullptr;
}

TCollectionItem* TCollection::Add() {
    std::unique_ptr<TCollectionItem> item(static_cast<TCollectionItem*>(CreateInstance(itemClass_)));
    InsertItem(item.get());
    return item.release();
}

TCollectionItem* TCollection::Insert(Integer index) {
    if (index < 0 || index > Count()) RaiseListIndexError(index);
    TCollectionItem* item = nullptr;
    WithinUpdate(*this, [&] {
        item = Add();
        MoveItem(item, index);
    });
    return item;
}

void TCollection::Delete(Integer index) {
    TCollectionItem* item = Items(index);
    Notify(item, TCollectionNotification::cnDeleting);
    delete item;  // leaves through RemoveItem
}

void TCollection::Clear() {
    if (items_.empty()) return;
    WithinUpdate(*this, [&] {
        while (!items_.empty()) Delete(Count() - 1);
    });
}

void TCollection::Assign(const TPersistent* source) {
    auto* other = dynamic_cast<const TCollection*>(source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    if (other == this) return;
    WithinUpdate(*this, [&] {
        Clear();
        for (TCollectionItem* from : other->items_) Add()->Assign(from);
    });
}

void TCollection::EndUpdate() {
    if (updateCount_ == 0) return;
    if (--updateCount_ == 0) Changed();
}

void TCollection::Changed() {
    if (updateCount_ == 0) Update(nullptr);
}

void TCollection::InsertItem(TCollectionItem* item) {
    items_.push_back(item);
    item->collection_ = this;
    item->id_ = nextId_++;
    Notify(item, TCollectionNotification::cnAdded);
    Changed();
}

void TCollection::RemoveItem(TCollectionItem* item) {
    Notify(item, TCollectionNotification::cnExtracting);
    items_.erase(std::remove(items_.begin(), items_.end(), item), items_.end());
    item->collection_ = nullptr;
    Changed();
}

void TCollection::ItemChanged(TCollectionItem* item) {
    if (updateCount_ == 0) Update(item);
}

void TCollection::MoveItem(TCollectionItem* item, Integer index) {
    Integer from = item->Index();
    if (index < 0 || index >= Count()) RaiseListIndexError(index);
    if (from == index) return;
    items_.erase(items_.begin() + from);
    items_.insert(items_.begin() + index, item);
    ItemChanged(nullptr);
}

}  // namespace xan::plat
