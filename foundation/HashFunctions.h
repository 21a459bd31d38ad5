#pragma once
// The hash functions every table of the engine uses. All arithmetic is on 32-bit words with
// wrap-around, so hash values (and therefore bucket placement and enumeration order) are the
// same on every platform.
#include <cstdint>
#include <string_view>

#include "platform/core/Types.h"

namespace xan {

using plat::Integer;

// h := h * 4 + c over the UTF-16 code units; the empty text hashes to 0.
Integer StrHash(std::u16string_view AKey) noexcept;

// Avalanche mix of a 32-bit integer: name ids and addresses are dense or aligned, and a bucket
// index is only the low bits of the hash, so every input bit must reach the low bits.
Integer IntHash(Integer AKey) noexcept;

// IntHash of an address. A 64-bit address is folded to 32 bits (high half xor low half) first,
// so objects that differ only above bit 31 still tend to land in different buckets.
Integer PtrHash(const void* AKey) noexcept;

// The code units a text is hashed over may come from a transformation of the stored text
// (upper-cased lookups); this is the one step of StrHash.
constexpr std::uint32_t StrHashStep(std::uint32_t h, char16_t c) noexcept { return h * 4u + c; }

}  // namespace xan
