#pragma once
// What the code generation of every dialect shares: the modes an expression is emitted in, and
// the scope that gives the instructions emitted inside it their source position.
#include <cstdint>

#include "vm/bytecode/ByteCode.h"

namespace xan {

// What an expression's value is for: discarded, left on the stack, or consumed by a jump.
enum TXANExprEmitRes : std::uint8_t { erNoRes, erStack, erPopJmpIfTrue, erPopJmpIfFalse };

// Emits inside a source position and restores the previous one on every way out.
class TXANSourcePosScope {
public:
    TXANSourcePosScope(TXANByteCode* ACode, std::int32_t APos) : FCode(ACode) { ACode->BeginSourcePos(APos, FOld); }
    TXANSourcePosScope(const TXANSourcePosScope&) = delete;
    TXANSourcePosScope& operator=(const TXANSourcePosScope&) = delete;
    ~TXANSourcePosScope() { FCode->EndSourcePos(FOld); }

private:
    TXANByteCode* FCode;
    std::int32_t FOld = -1;
};

}  // namespace xan
