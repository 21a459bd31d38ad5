#include "vm/bytecode/Fusion.h"

#include "vm/bytecode/Operands.h"
#include "vm/bytecode/VMConstants.h"

namespace xan {

namespace {

struct TFusedPair {
    TXANInstrCode First;
    TXANInstrCode Second;
    TXANInstrCode Fused;
};

// Literal and local constant pushes are the same instruction for the loop (both push the value
// their operand points at); so is pushing zero, once fused (its operand then points at a
// shared zero).
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
    {icPushArg, icPlus, icArgPlus},
    {icPushArg, icMinus, icArgMinus},
    {icPushArg, icMultiply, icArgMultiply},
    {icPushArg, icLess, icArgLess},
    {icPushArg, icLessEqual, icArgLessEqual},
    {icPushArg, icGreater, icArgGreater},
    {icPushArg, icGreaterEqual, icArgGreaterEqual},
    {icForInc, icForJmpIfLE, icForIncJmpIfLE},
    {icForDec, icForJmpIfGE, icForDecJmpIfGE},
    {icPushArg, icAssignResult, icArgAssignResult},
    {icPushLocalVar, icAssignResult, icLocalAssignResult},
};

bool IsLiteralPush(const TXANInstr& AInstr) noexcept {
    return AInstr.Code == icPushLiteral || AInstr.Code == icPushLocalConst || AInstr.Code == icPush0;
}

TXANInstrCode FusedCode(const TXANInstr& AFirst, const TXANInstr& ASecond) noexcept {
    const auto first = IsLiteralPush(AFirst) ? icPushLiteral : static_cast<TXANInstrCode>(AFirst.Code);
    for (const TFusedPair& pair : Pairs) {
        if (pair.First != first || pair.Second != ASecond.Code) continue;
        // A loop's step and its test must belong to the same loop.
        if ((first == icForInc || first == icForDec) && AFirst.Data != ASecond.Data) return icBreak;
        return pair.Fused;
    }
    return icBreak;
}

// "Push an argument or a local, push a literal or a local, operate": the first push takes the
// triple's code, the second push and the operation stay a fused pair.
struct TFusedTriple {
    TXANInstrCode First;
    TXANInstrCode Second;  // icPushLiteral stands for every literal push
    TXANInstrCode Third;
    TXANInstrCode Fused;
};

constexpr TFusedTriple Triples[] = {
    {icPushArg, icPushLiteral, icPlus, icArgLiteralPlus},
    {icPushArg, icPushLiteral, icMinus, icArgLiteralMinus},
    {icPushArg, icPushLiteral, icMultiply, icArgLiteralMultiply},
    {icPushArg, icPushLiteral, icLess, icArgLiteralLess},
    {icPushArg, icPushLiteral, icLessEqual, icArgLiteralLessEqual},
    {icPushArg, icPushLiteral, icGreater, icArgLiteralGreater},
    {icPushArg, icPushLiteral, icGreaterEqual, icArgLiteralGreaterEqual},
    {icPushArg, icPushLiteral, icEqual, icArgLiteralEqual},
    {icPushArg, icPushLiteral, icNotEqual, icArgLiteralNotEqual},
    {icPushLocalVar, icPushLiteral, icPlus, icLocalLiteralPlus},
    {icPushLocalVar, icPushLiteral, icMinus, icLocalLiteralMinus},
    {icPushLocalVar, icPushLiteral, icLess, icLocalLiteralLess},
    {icPushLocalVar, icPushLiteral, icLessEqual, icLocalLiteralLessEqual},
    {icPushLocalVar, icPushLiteral, icGreater, icLocalLiteralGreater},
    {icPushLocalVar, icPushLiteral, icGreaterEqual, icLocalLiteralGreaterEqual},
    {icPushLocalVar, icPushLocalVar, icPlus, icLocalLocalPlus},
    {icPushLocalVar, icPushLocalVar, icMinus, icLocalLocalMinus},
    {icPushLocalVar, icPushLocalVar, icMultiply, icLocalLocalMultiply},
    {icPushLocalVar, icPushLocalVar, icLess, icLocalLocalLess},
    {icPushLocalVar, icPushLocalVar, icLessEqual, icLocalLocalLessEqual},
    {icPushLocalVar, icPushLocalVar, icGreater, icLocalLocalGreater},
    {icPushLocalVar, icPushLocalVar, icGreaterEqual, icLocalLocalGreaterEqual},
};

TXANInstrCode FusedTripleCode(const TXANInstr* AFirst) noexcept {
    const auto second = IsLiteralPush(AFirst[1]) ? icPushLiteral : static_cast<TXANInstrCode>(AFirst[1].Code);
    for (const TFusedTriple& triple : Triples)
        if (triple.First == AFirst[0].Code && triple.Second == second && triple.Third == AFirst[2].Code)
            return triple.Fused;
    return icBreak;
}

bool IsTripleCode(std::uint8_t ACode) noexcept {
    for (const TFusedTriple& triple : Triples)
        if (triple.Fused == ACode) return true;
    return false;
}

// AInstr becomes the head of a fused group with code AFused.
void MakeHead(TXANInstr& AInstr, TXANInstrCode AFused) noexcept {
    if (AInstr.Code == icPush0) AInstr.Data = reinterpret_cast<std::uintptr_t>(&XANInteger0);
    AInstr.Code = AFused;
}

void Unfuse(TXANInstr& AInstr) noexcept {
    AInstr.StoreCode(XANUnfusedCode(static_cast<TXANInstrCode>(AInstr.LoadCode())));
}

}  // namespace

void XANFuseInstructions(TXANInstr* ACode, std::int32_t ACount) noexcept {
    for (std::int32_t i = 0; i + 1 < ACount; ++i) {
        if (i + 2 < ACount) {
            const TXANInstrCode triple = FusedTripleCode(ACode + i);
            if (triple != icBreak) {
                MakeHead(ACode[i], triple);
                MakeHead(ACode[i + 1], FusedCode(ACode[i + 1], ACode[i + 2]));
                i += 2;  // neither the literal push nor the operation starts another group
                continue;
            }
        }
        const TXANInstrCode fused = FusedCode(ACode[i], ACode[i + 1]);
        if (fused == icBreak) continue;
        MakeHead(ACode[i], fused);
        ++i;  // the second instruction is not the first of another pair
    }
}

void XANUnfuseBefore(TXANInstr* ACode, std::int32_t AIndex) noexcept {
    // The head of a triple two before; then the head of whatever group starts just before (a
    // pair, a triple, or the pair inside the triple just unfused).
    if (AIndex >= 2 && IsTripleCode(ACode[AIndex - 2].LoadCode())) Unfuse(ACode[AIndex - 2]);
    if (AIndex >= 1) Unfuse(ACode[AIndex - 1]);
}

TXANInstrCode XANUnfusedCode(TXANInstrCode ACode) noexcept {
    if (ACode < XANFirstFusedCode) return ACode;
    for (const TFusedPair& pair : Pairs)
        if (pair.Fused == ACode) return pair.First;
    for (const TFusedTriple& triple : Triples)
        if (triple.Fused == ACode) return triple.First;
    return ACode;
}

}  // namespace xan
