#include "vm/bytecode/Fusion.h"

#include "vm/bytecode/Operands.h"
#include "vm/bytecode/VMConstants.h"

namespace xan {

namespace {

// One row of XAN_FUSED_CODES: the fused code and the codes of its group (two or three).
struct TFusedGroup {
    TXANInstrCode Fused;
    TXANInstrCode Codes[3];
    int Size;
};

constexpr TFusedGroup Group(TXANInstrCode AFused, TXANInstrCode AFirst, TXANInstrCode ASecond) noexcept {
    return {AFused, {AFirst, ASecond, icBreak}, 2};
}
constexpr TFusedGroup Group(TXANInstrCode AFused, TXANInstrCode AFirst, TXANInstrCode ASecond,
                            TXANInstrCode AThird) noexcept {
    return {AFused, {AFirst, ASecond, AThird}, 3};
}

constexpr TFusedGroup Groups[] = {
#define XAN_FUSED_GROUP(...) Group(__VA_ARGS__),
    XAN_FUSED_CODES(XAN_FUSED_GROUP)
#undef XAN_FUSED_GROUP
};

// The fused code of the pair (AFirst, ASecond) or of the triple (AFirst, ASecond, AThird);
// icBreak when there is none.
constexpr TXANInstrCode GroupCode(TXANInstrCode AFirst, TXANInstrCode ASecond,
                                  TXANInstrCode AThird = icBreak) noexcept {
    const int size = AThird == icBreak ? 2 : 3;
    for (const TFusedGroup& group : Groups)
        if (group.Size == size && group.Codes[0] == AFirst && group.Codes[1] == ASecond && group.Codes[2] == AThird)
            return group.Fused;
    return icBreak;
}

// A triple that cannot take its short way runs its first push alone and leaves the rest to the
// pair its second and third instructions form: every triple needs that pair.
constexpr bool EveryTripleEndsInAPair() noexcept {
    for (const TFusedGroup& group : Groups)
        if (group.Size == 3 && GroupCode(group.Codes[1], group.Codes[2]) == icBreak) return false;
    return true;
}
static_assert(EveryTripleEndsInAPair(), "the last two instructions of a fused triple must be a fused pair");

// Literal and local constant pushes are the same instruction for the loop (both push the value
// their operand points at); so is pushing zero, once fused (its operand then points at a
// shared zero).
TXANInstrCode GroupCodeOf(const TXANInstr& AInstr) noexcept {
    const auto code = static_cast<TXANInstrCode>(AInstr.Code);
    return code == icPushLocalConst || code == icPush0 ? icPushLiteral : code;
}

TXANInstrCode FusedCode(const TXANInstr& AFirst, const TXANInstr& ASecond) noexcept {
    const TXANInstrCode first = GroupCodeOf(AFirst);
    const TXANInstrCode fused = GroupCode(first, GroupCodeOf(ASecond));
    // A loop's step and its test must belong to the same loop.
    if (fused != icBreak && (first == icForInc || first == icForDec) && AFirst.Data != ASecond.Data) return icBreak;
    return fused;
}

TXANInstrCode FusedTripleCode(const TXANInstr* AFirst) noexcept {
    return GroupCode(GroupCodeOf(AFirst[0]), GroupCodeOf(AFirst[1]), GroupCodeOf(AFirst[2]));
}

const TFusedGroup* GroupOf(std::uint8_t AFused) noexcept {
    for (const TFusedGroup& group : Groups)
        if (group.Fused == AFused) return &group;
    return nullptr;
}

bool IsTripleCode(std::uint8_t ACode) noexcept {
    const TFusedGroup* group = GroupOf(ACode);
    return group && group->Size == 3;
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
    const TFusedGroup* group = GroupOf(ACode);
    return group ? group->Codes[0] : ACode;
}

}  // namespace xan
