#pragma once
// TXANCodeEpoch: a process-wide count of frees of bytecode, scopes, threads' machine records and
// global variables, and of changes to any machine's published host objects.
//
// Call sites remember what their names resolved to, keyed by addresses: once any of those
// objects is freed, its address may come back as another object, and a newly published name
// may hide what a name found before; so every remembered answer is given up rather than traced
// to what it depended on. Both are rare next to calls.
#include <atomic>
#include <cstdint>

namespace xan {

class TXANCodeEpoch {
public:
    static std::uint32_t Current() noexcept { return FValue.load(std::memory_order_acquire); }
    static void Advance() noexcept { FValue.fetch_add(1, std::memory_order_acq_rel); }

private:
    static inline std::atomic<std::uint32_t> FValue{1};  // from 1: an empty cache entry never matches
};

}  // namespace xan
