#include "vm/Fusion.h"

#include "vm/Operands.h"

namespace xan {

namespace {

struct TFusedPair {
    TXANInstrCode First;
    TXANInstrCode Second;
    TXANInstrCode Fused;
};

// Literal and local constant pushes are the same instruction for the loop (both push the value
// their operand points at).
constexpr TFusedPair Pairs[] = {
    {icPushLiteral, icPlus, icLiteralPlus},
    {icPushLiteral, icMinus, icLiteralMinus},
    {icPushLiteral, icMultiply, icLiteralMultiply},
    {icPushLiteral, icMod, icLiteralMod},
    {icPushLiteral, icLess, icLiteralLess},
    {icPushLiteral, icLessEqual, icLiteralLessEqual},
    {icPushLiteral, icGreater, icLiteralGreater},
    {icPushLiteral, icGreaterEqual, icLiteralGreaterEqual},
    {icPushLiteral, icEqual, icLiteralEqual},
    {icPushLiteral, icNotEqual, icLiteralNotEqual},
    {icPushLocalVar, icPlus, icLocalPlus},
    {icPushLocalVar, icMinus, icLocalMinus},
    {icPushLocalVar, icMultiply, icLocalMultiply},
    {icPushLocalVar, icLess, icLocalLess},
    {icPushLocalVar, icLessEqual, icLocalLessEqual},
    {icPushLocalVar, icGreater, icLocalGreater},
    {icPushLocalVar, icGreaterEqual, icLocalGreaterEqual},
    {icForInc, icForJmpIfLE, icForIncJmpIfLE},
    {icForDec, icForJmpIfGE, icForDecJmpIfGE},
};

TXANInstrCode FusedCode(const TXANInstr& AFirst, const TXANInstr& ASecond) noexcept {
    const auto first = AFirst.Code == icPushLocalConst ? icPushLiteral : static_cast<TXANInstrCode>(AFirst.Code);
    for (const TFusedPair& pair : Pairs) {
        if (pair.First != first || pair.Second != ASecond.Code) continue;
        // A loop's step and its test must belong to the same loop.
        if ((first == icForInc || first == icForDec) && AFirst.Data != ASecond.Data) return icBreak;
        return pair.Fused;
    }
    return icBreak;
}

}  // namespace

void XANFuseInstructions(TXANInstr* ACode, std::int32_t ACount) noexcept {
    for (std::int32_t i = 0; i + 1 < ACount; ++i) {
        const TXANInstrCode fused = FusedCode(ACode[i], ACode[i + 1]);
        if (fused == icBreak) continue;
        ACode[i].Code = fused;
        ++i;  // the second instruction is not the first of another pair
    }
}

TXANInstrCode XANUnfusedCode(TXANInstrCode ACode) noexcept {
    if (ACode < XANFirstFusedCode) return ACode;
    for (const TFusedPair& pair : Pairs)
        if (pair.Fused == ACode) return pair.First;
    return ACode;
}

}  // namespace xan
