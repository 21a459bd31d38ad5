#pragma once
// Scalar types shared by every layer. The names follow the host-language vocabulary the engine
// speaks (Integer is 32-bit, Cardinal unsigned 32-bit, and so on).
#include <cstddef>
#include <cstdint>

namespace xan::plat {

using Integer = std::int32_t;
using Cardinal = std::uint32_t;
using SmallInt = std::int16_t;
using ShortInt = std::int8_t;
using Byte = std::uint8_t;
using Word = std::uint16_t;
using LongWord = std::uint32_t;
using Int64 = std::int64_t;
using UInt64 = std::uint64_t;

// Days since 1899-12-30; the fraction is the time of day.
using TDateTime = double;

using HRESULT = std::int32_t;
using DISPID = std::int32_t;
using LCID = std::uint32_t;

struct TGUID {
    std::uint32_t D1 = 0;
    std::uint16_t D2 = 0, D3 = 0;
    std::uint8_t D4[8] = {};
    friend bool operator==(const TGUID&, const TGUID&) = default;
};

inline constexpr TGUID GUID_NULL{};

}  // namespace xan::plat
