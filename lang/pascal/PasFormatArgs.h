#pragma once
// Script values as arguments of the platform's Format: each stays a variant until its
// specifier says what it must be, and is then converted with the variant conversions.
#include <deque>
#include <span>
#include <vector>

#include "platform/ole/Variant.h"
#include "platform/text/Format.h"

namespace xan::pas {

// A late-converted argument over AValue, which must outlive the Format call.
plat::FormatArg VariantFormatArg(const plat::Variant& AValue) noexcept;

// Variants borrowed by the arguments of one Format call; owns the elements taken out of arrays.
class TVariantFormatArgs {
public:
    void Add(const plat::Variant& AValue);
    // Every element of a one-dimensional array, from its low bound to its high bound.
    void AddElements(const plat::SafeArray& AArray);
    std::span<const plat::FormatArg> Args() const noexcept { return FArgs; }

private:
    std::deque<plat::Variant> FElements;  // a deque: the arguments point into it
    std::vector<plat::FormatArg> FArgs;
};

}  // namespace xan::pas
