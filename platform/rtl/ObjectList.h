#pragma once
// TObjectList<T>: an ordered list of object pointers that may own its objects (freed when
// deleted, cleared or when the list goes). Index errors raise EListError
// "List index out of bounds (n)".
#include <algorithm>
#include <vector>

#include "platform/core/Types.h"
#include "platform/rtl/RtlErrors.h"

namespace xan::plat {

template <class T>
class TObjectList {
public:
    explicit TObjectList(bool ownsObjects = true) : owns_(ownsObjects) {}
    TObjectList(const TObjectList&) = delete;
    TObjectList& operator=(const TObjectList&) = delete;
    ~TObjectList() { Clear(); }

    Integer Count() const noexcept { return static_cast<Integer>(items_.size()); }
    bool OwnsObjects() const noexcept { return owns_; }

    T* Items(Integer index) const {
        Check(index, Count());
        return items_[static_cast<std::size_t>(index)];
    }
    T* operator[](Integer index) const { return Items(index); }

    Integer Add(T* item) {
        items_.push_back(item);
        return Count() - 1;
    }
    // Adds unless already present; answers whether it was added.
    bool AddIfAbsent(T* item) {
        if (IndexOf(item) >= 0) return false;
        items_.push_back(item);
        return true;
    }
    void Insert(Integer index, T* item) {
        Check(index, Count() + 1);
        items_.insert(items_.begin() + index, item);
    }
    void Delete(Integer index) {
        T* item = Extract(index);
        if (owns_) delete item;
    }
    // Removes without freeing; the caller owns the result.
    T* Extract(Integer index) {
        Check(index, Count());
        T* item = items_[static_cast<std::size_t>(index)];
        items_.erase(items_.begin() + index);
        return item;
    }
    // Removes the first occurrence (freeing it when owned); its former index or -1.
    Integer Remove(T* item) {
        Integer index = IndexOf(item);
        if (index >= 0) Delete(index);
        return index;
    }
    Integer IndexOf(const T* item) const noexcept {
        auto it = std::find(items_.begin(), items_.end(), item);
        return it == items_.end() ? -1 : static_cast<Integer>(it - items_.begin());
    }
    void Clear() noexcept {
        std::vector<T*> items;
        items.swap(items_);
        if (owns_)
            for (T* item : items) delete item;
    }

    auto begin() const noexcept { return items_.begin(); }
    auto end() const noexcept { return items_.end(); }

private:
    static void Check(Integer index, Integer limit) {
        if (index < 0 || index >= limit) RaiseListIndexError(index);
    }
    std::vector<T*> items_;
    bool owns_;
};

}  // namespace xan::plat
