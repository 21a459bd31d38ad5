#pragma once
// The process-wide pseudo-random generator. Its whole state is RandSeed, a 32-bit value, so
// setting RandSeed replays a sequence exactly. Each draw advances the state by the linear
// congruential step  seed := seed * 1664525 + 1013904223 (mod 2^32)  and uses the new state.
// Safe to use from several threads at once (each draw takes one step atomically).
#include <cstdint>

#include "platform/core/Types.h"

namespace xan::plat {

Integer RandSeed() noexcept;
void SetRandSeed(Integer seed) noexcept;
// Seeds from the clock.
void Randomize() noexcept;

double Random() noexcept;  // in [0, 1): the new state / 2^32
// In [0, range): the high 32 bits of state * range. A range of 0 or below has no value to
// answer and raises ERangeError "Random range must be positive".
Integer Random(Integer range);

// The step itself, for tests and for generators with a private state.
constexpr std::uint32_t NextRandSeed(std::uint32_t seed) noexcept { return seed * 1664525u + 1013904223u; }

}  // namespace xan::plat
