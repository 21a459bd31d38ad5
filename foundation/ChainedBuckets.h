#pragma once
// The bucket array shared by the identifier table and the traits-driven table.
//
// A bucket (and the tail of a chain) is empty, a bare item, or a chain node; the low address bit
// tells a node from an item. A bucket with one item therefore holds the bare item, and a chain
// node is allocated only on a collision. Chains are kept in one shape: a node's Next is never
// empty (removing the tail item collapses its node into a bare item), so every node earns its
// allocation.
//
// Bucket counts are powers of two and a bucket is `hash & mask`. Growth doubles the array and
// is all-or-nothing: everything that can fail (allocation, the caller's hash function) happens
// before the first link changes, so a failed Add leaves the table exactly as it was.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace xan::detail {

template <class T>
struct TChainNode;

// A bucket head or a node's Next.
template <class T>
class TChainLink {
public:
    bool Empty() const noexcept { return raw_ == 0; }
    bool IsNode() const noexcept { return (raw_ & 1u) != 0; }
    TChainNode<T>* Node() const noexcept { return reinterpret_cast<TChainNode<T>*>(raw_ & ~std::uintptr_t(1)); }
    T* Item() const noexcept { return IsNode() ? Node()->Item : reinterpret_cast<T*>(raw_); }

    static TChainLink OfItem(T* item) noexcept { return TChainLink(reinterpret_cast<std::uintptr_t>(item)); }
    static TChainLink OfNode(TChainNode<T>* node) noexcept {
        return TChainLink(reinterpret_cast<std::uintptr_t>(node) | 1u);
    }

    TChainLink() noexcept = default;

private:
    explicit TChainLink(std::uintptr_t raw) noexcept : raw_(raw) {}
    std::uintptr_t raw_ = 0;

    template <class>
    friend class TChainedBuckets;
};

template <class T>
struct TChainNode {
    T* Item;
    TChainLink<T> Next;
};

template <class T>
class TChainedBuckets {
    static_assert(alignof(T) >= 2, "the low address bit of an item tells it from a chain node");

public:
    using Link = TChainLink<T>;
    using Node = TChainNode<T>;

    TChainedBuckets() noexcept = default;
    explicit TChainedBuckets(std::size_t bucketCount) { Allocate(bucketCount); }
    TChainedBuckets(const TChainedBuckets&) = delete;
    TChainedBuckets& operator=(const TChainedBuckets&) = delete;
    ~TChainedBuckets() { Drain([](T*) noexcept {}); }

    std::size_t Count() const noexcept { return count_; }
    std::size_t BucketCount() const noexcept { return bucketCount_; }

    T* Find(std::uint32_t hash, auto&& matches) const {
        if (bucketCount_ == 0) return nullptr;
        for (const Link* at = &buckets_[hash & Mask()]; !at->Empty();) {
            if (matches(at->Item())) return at->Item();
            if (!at->IsNode()) break;
            at = &at->Node()->Next;
        }
        return nullptr;
    }

    // Doubles the bucket array (4 buckets when there are none) when the count has reached the
    // bucket count, so the load factor never exceeds 1.
    void GrowIfFull(auto&& hashOf) {
        if (count_ == bucketCount_) Rehash(bucketCount_ == 0 ? 4 : bucketCount_ * 2, hashOf);
    }

    // Puts the item at the head of its bucket. Only the chain node can fail to allocate, and
    // that happens before anything changes. Requires at least one bucket.
    void InsertHead(T* item, std::uint32_t hash) {
        Link& head = buckets_[hash & Mask()];
        if (head.Empty())
            head = Link::OfItem(item);
        else
            head = Link::OfNode(new Node{item, head});
        ++count_;
    }

    // Unlinks the first item of its bucket that matches; null when none does.
    T* Unlink(std::uint32_t hash, auto&& matches) {
        if (bucketCount_ == 0) return nullptr;
        Link* previous = nullptr;
        for (Link* at = &buckets_[hash & Mask()]; !at->Empty();) {
            T* item = at->Item();
            if (matches(item)) {
                UnlinkAt(previous, at);
                return item;
            }
            if (!at->IsNode()) break;
            previous = at;
            at = &at->Node()->Next;
        }
        return nullptr;
    }

    // Visits buckets in ascending order and each chain from its head, so within a bucket the
    // most recently inserted item comes first.
    void ForEach(auto&& visit) const {
        for (std::size_t b = 0; b < bucketCount_; ++b) {
            for (const Link* at = &buckets_[b]; !at->Empty();) {
                visit(at->Item());
                if (!at->IsNode()) break;
                at = &at->Node()->Next;
            }
        }
    }

    // Visits every item bucket by bucket with its bucket index; `removeIt(item, bucket)`
    // answering true unlinks the item and hands it to `removed(item)`. The table is consistent
    // after every step, so an exception from either callback loses nothing.
    void RemoveIf(auto&& removeIt, auto&& removed) {
        for (std::size_t b = 0; b < bucketCount_; ++b) {
            Link* previous = nullptr;
            Link* at = &buckets_[b];
            while (!at->Empty()) {
                T* item = at->Item();
                const bool wasNode = at->IsNode();
                if (removeIt(item, b)) {
                    UnlinkAt(previous, at);
                    removed(item);
                    if (wasNode) continue;  // `at` now holds the rest of the chain
                    break;
                }
                if (!wasNode) break;
                previous = at;
                at = &at->Node()->Next;
            }
        }
    }

    // Detaches everything (the table is empty and bucketless before the first callback runs),
    // then releases the chain nodes and hands each item to `release`.
    void Drain(auto&& release) noexcept {
        std::unique_ptr<Link[]> old = std::move(buckets_);
        const std::size_t oldCount = bucketCount_;
        bucketCount_ = 0;
        count_ = 0;
        for (std::size_t b = 0; b < oldCount; ++b) {
            Link at = old[b];
            while (!at.Empty()) {
                T* item = at.Item();
                Link next;
                if (at.IsNode()) {
                    next = at.Node()->Next;
                    delete at.Node();
                }
                release(item);
                at = next;
            }
        }
    }

    // A fresh, empty array; only valid while the table holds no items.
    void Allocate(std::size_t bucketCount) {
        buckets_ = std::make_unique<Link[]>(bucketCount);
        bucketCount_ = bucketCount;
    }

    // Redistributes every item over `newCount` buckets (a power of two; may equal the current
    // count). Old buckets are taken from the highest index down and each chain from its head,
    // every item going to the head of its new bucket.
    void Rehash(std::size_t newCount, auto&& hashOf) {
        std::unique_ptr<Link[]> fresh = std::make_unique<Link[]>(newCount);
        std::vector<std::uint32_t> targets = PlanTargets(newCount, hashOf);
        Node* pool = AllocateNodes(NodeShortfall(targets, fresh.get()));
        // From here on nothing can fail.
        std::size_t k = 0;
        for (std::size_t b = bucketCount_; b-- > 0;) {
            Link at = std::exchange(buckets_[b], Link());
            while (!at.Empty()) {
                T* item = at.Item();
                Link next;
                if (at.IsNode()) {
                    next = at.Node()->Next;
                    pool = PushNode(pool, at.Node());
                }
                Link& head = fresh[targets[k++]];
                if (head.Empty()) {
                    head = Link::OfItem(item);
                } else {
                    Node* node = pool;
                    pool = NextInPool(pool);
                    *node = Node{item, head};
                    head = Link::OfNode(node);
                }
                at = next;
            }
        }
        FreeNodes(pool);
        buckets_ = std::move(fresh);
        bucketCount_ = newCount;
    }

private:
    std::size_t Mask() const noexcept { return bucketCount_ - 1; }

    // Removes the element `at` points to; `previous` is the link holding the node whose Next
    // is `at` (null at the bucket head).
    void UnlinkAt(Link* previous, Link* at) noexcept {
        --count_;
        if (at->IsNode()) {
            Node* node = at->Node();
            *at = node->Next;
            delete node;
        } else if (previous) {
            Node* owner = previous->Node();
            *previous = Link::OfItem(owner->Item);
            delete owner;
        } else {
            *at = Link();
        }
    }

    // The new bucket of every item, in the order Rehash visits them.
    std::vector<std::uint32_t> PlanTargets(std::size_t newCount, auto&& hashOf) const {
        std::vector<std::uint32_t> targets;
        targets.reserve(count_);
        const std::uint32_t mask = static_cast<std::uint32_t>(newCount - 1);
        for (std::size_t b = bucketCount_; b-- > 0;) {
            for (const Link* at = &buckets_[b]; !at->Empty();) {
                targets.push_back(static_cast<std::uint32_t>(hashOf(at->Item())) & mask);
                if (!at->IsNode()) break;
                at = &at->Node()->Next;
            }
        }
        return targets;
    }

    // How many nodes Rehash must have beyond those it frees on the way, at its worst moment.
    // `scratch` is the zeroed new array, used for per-bucket counts and zeroed again.
    std::size_t NodeShortfall(const std::vector<std::uint32_t>& targets, Link* scratch) const {
        std::size_t freed = 0, needed = 0, shortfall = 0, k = 0;
        for (std::size_t b = bucketCount_; b-- > 0;) {
            for (const Link* at = &buckets_[b]; !at->Empty();) {
                if (at->IsNode()) ++freed;
                if (scratch[targets[k++]].raw_++ != 0) ++needed;
                if (needed > freed && needed - freed > shortfall) shortfall = needed - freed;
                if (!at->IsNode()) break;
                at = &at->Node()->Next;
            }
        }
        for (std::uint32_t t : targets) scratch[t] = Link();
        return shortfall;
    }

    static Node* NextInPool(Node* node) noexcept { return node->Next.Node(); }
    static Node* PushNode(Node* pool, Node* node) noexcept {
        node->Item = nullptr;
        node->Next = pool ? Link::OfNode(pool) : Link();
        return node;
    }
    static Node* AllocateNodes(std::size_t n) {
        Node* pool = nullptr;
        try {
            for (std::size_t i = 0; i < n; ++i) pool = PushNode(pool, new Node{nullptr, Link()});
        } catch (...) {
            FreeNodes(pool);
            throw;
        }
        return pool;
    }
    static void FreeNodes(Node* pool) noexcept {
        while (pool) delete std::exchange(pool, NextInPool(pool));
    }

    std::unique_ptr<Link[]> buckets_;
    std::size_t bucketCount_ = 0;
    std::size_t count_ = 0;
};

}  // namespace xan::detail
