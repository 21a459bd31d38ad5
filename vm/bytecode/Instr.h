#pragma once
// One instruction of the stack machine: 16 bytes, stored contiguously in a bytecode.
#include <atomic>
#include <cstdint>

#include "vm/bytecode/InstrCode.h"

namespace xan {

enum TXANParamKind : std::uint16_t { pkSimple, pkConst, pkByRef };

// Operand of the argument instructions, packed into the instruction's Data: the argument
// number (from 0) in the low half, the parameter kind in the high half.
struct TXANParamInfo {
    std::uint16_t Index = 0;
    TXANParamKind Kind = pkSimple;

    constexpr std::uintptr_t Pack() const noexcept {
        return std::uintptr_t(Index) | (std::uintptr_t(Kind) << 16);
    }
    static constexpr TXANParamInfo Unpack(std::uintptr_t data) noexcept {
        return {std::uint16_t(data & 0xFFFF), TXANParamKind((data >> 16) & 0xFFFF)};
    }
};

struct TXANInstr {
    // The operation. Once a bytecode is shared, a breakpoint may rewrite this byte while other
    // threads execute it, so running code reads it through LoadCode().
    std::uint8_t Code = icBreak;
    // Innermost protected block active at emission time; -1 outside every block.
    std::int8_t TryIndex = -1;
    // Bits 0-30: source position; bit 31: a statement starts here (breakable).
    std::uint32_t SourceInfo = 0;
    // The operand: an object address, an instruction address or an integer, by Code.
    std::uintptr_t Data = 0;

    static constexpr std::uint32_t BreakableFlag = 0x80000000u;
    static constexpr std::uint32_t SourcePosMask = 0x7FFFFFFFu;

    std::uint32_t SourcePos() const noexcept { return SourceInfo & SourcePosMask; }
    bool IsBreakable() const noexcept { return (SourceInfo & BreakableFlag) != 0; }

    template <class T>
    T* DataAs() const noexcept { return reinterpret_cast<T*>(Data); }
    std::intptr_t DataInt() const noexcept { return static_cast<std::intptr_t>(Data); }
    TXANParamInfo Param() const noexcept { return TXANParamInfo::Unpack(Data); }

    std::uint8_t LoadCode() const noexcept {
        return std::atomic_ref<std::uint8_t>(const_cast<std::uint8_t&>(Code)).load(std::memory_order_relaxed);
    }
    void StoreCode(std::uint8_t code) noexcept {
        std::atomic_ref<std::uint8_t>(Code).store(code, std::memory_order_relaxed);
    }
};

// A copy of AInstr with another code. The code byte is never read plainly: a breakpoint may be
// rewriting it on another thread while this one copies the instruction.
inline TXANInstr XANInstrWithCode(const TXANInstr& AInstr, std::uint8_t ACode) noexcept {
    TXANInstr copy;
    copy.Code = ACode;
    copy.TryIndex = AInstr.TryIndex;
    copy.SourceInfo = AInstr.SourceInfo;
    copy.Data = AInstr.Data;
    return copy;
}
static_assert(sizeof(TXANInstr) == 16, "instructions are 16-byte records");
using PXANInstr = TXANInstr*;

}  // namespace xan
