#include "foundation/HashFunctions.h"

#include <cstdint>

namespace xan {

Integer StrHash(std::u16string_view AKey) noexcept {
    std::uint32_t h = 0;
    for (char16_t c : AKey) h = StrHashStep(h, c);
    return static_cast<Integer>(h);
}

Integer IntHash(Integer AKey) noexcept {
    std::uint32_t x = static_cast<std::uint32_t>(AKey);
    x += ~(x << 9);
    x ^= x >> 14;
    x += x << 4;
    x ^= x >> 10;
    return static_cast<Integer>(x);
}

Integer PtrHash(const void* AKey) noexcept {
    const std::uint64_t address = reinterpret_cast<std::uintptr_t>(AKey);
    const std::uint32_t folded = static_cast<std::uint32_t>(address) ^ static_cast<std::uint32_t>(address >> 32);
    return IntHash(static_cast<Integer>(folded));
}

}  // namespace xan
