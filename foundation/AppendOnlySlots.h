#pragma once
// An append-only array of pointers whose slots never move, so that readers need no lock.
//
// Storage is a fixed list of segments of doubling size (64, 128, 256, ... slots); growing adds
// a segment and never copies one. A slot is published once by a writer (who serialises with
// other writers) and may then be read from any thread that learned its index.
#include <atomic>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace xan::detail {

template <class T>
class TAppendOnlySlots {
public:
    TAppendOnlySlots() noexcept = default;
    TAppendOnlySlots(const TAppendOnlySlots&) = delete;
    TAppendOnlySlots& operator=(const TAppendOnlySlots&) = delete;
    ~TAppendOnlySlots() {
        for (auto& segment : segments_) delete[] segment.load(std::memory_order_relaxed);
    }

    // Makes slot `index` storable; the only step that can fail (out of memory).
    void Reserve(std::uint32_t index) {
        const Place p = Locate(index);
        if (segments_[p.segment].load(std::memory_order_relaxed)) return;
        auto* slots = new std::atomic<T*>[SegmentSize(p.segment)]();
        segments_[p.segment].store(slots, std::memory_order_release);
    }

    void Publish(std::uint32_t index, T* value) noexcept {
        const Place p = Locate(index);
        segments_[p.segment].load(std::memory_order_relaxed)[p.offset].store(value, std::memory_order_release);
    }

    T* Get(std::uint32_t index) const noexcept {
        const Place p = Locate(index);
        return segments_[p.segment].load(std::memory_order_acquire)[p.offset].load(std::memory_order_acquire);
    }

    // Calls `visit` for the slots 0 .. count-1 (all published).
    void ForEachUpTo(std::uint32_t count, auto&& visit) const {
        for (std::uint32_t i = 0; i < count; ++i) visit(Get(i));
    }

private:
    static constexpr unsigned kFirstSegmentBits = 6;
    static constexpr std::size_t kSegmentCount = 32 - kFirstSegmentBits + 1;

    struct Place {
        unsigned segment;
        std::size_t offset;
    };
    static constexpr std::size_t SegmentSize(unsigned segment) noexcept {
        return std::size_t(1) << (segment + kFirstSegmentBits);
    }
    // Segment s starts at slot 64 * (2^s - 1).
    static Place Locate(std::uint32_t index) noexcept {
        const std::uint32_t q = (index >> kFirstSegmentBits) + 1;
        const unsigned segment = static_cast<unsigned>(std::bit_width(q)) - 1;
        const std::size_t start = ((std::size_t(1) << segment) - 1) << kFirstSegmentBits;
        return {segment, index - start};
    }

    std::atomic<std::atomic<T*>*> segments_[kSegmentCount] = {};
};

}  // namespace xan::detail
