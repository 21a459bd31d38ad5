#include "vm/bytecode/Fusion.h"

#include <atomic>

#include "vm/bytecode/Operands.h"
#include "vm/bytecode/VMConstants.h"

namespace xan {

namespace {

// One row of XAN_FUSED_CODES: the fused code and the codes of its group (two to four).
struct TFusedGroup {
    TXANInstrCode Fused;
    TXANInstrCode Codes[MaxFusedGroupSize];
    int Size;
};

template <class... Codes>
constexpr TFusedGroup Group(TXANInstrCode AFused, Codes... ACodes) noexcept {
    static_assert(sizeof...(Codes) >= 2 && sizeof...(Codes) <= MaxFusedGroupSize, "a group of two or more");
    TFusedGroup group{AFused, {}, int(sizeof...(Codes))};
    int k = 0;
    ((group.Codes[k++] = ACodes), ...);
    return group;
}

constexpr TFusedGroup Groups[] = {
#define XAN_FUSED_GROUP(...) Group(__VA_ARGS__),
    XAN_FUSED_CODES(XAN_FUSED_GROUP)
#undef XAN_FUSED_GROUP
};

// Literal and local constant pushes are the same instruction for the loop (both push the value
// their operand points at); so is pushing zero, once fused (its operand then points at a
// shared zero).
TXANInstrCode GroupCodeOf(const TXANInstr& AInstr) noexcept {
    const auto code = static_cast<TXANInstrCode>(AInstr.Code);
    return code == icPushLocalConst || code == icPush0 ? icPushLiteral : code;
}

bool SameCodes(const TFusedGroup& AGroup, const TXANInstr* AFirst) noexcept {
    for (int k = 0; k < AGroup.Size; ++k)
        if (GroupCodeOf(AFirst[k]) != AGroup.Codes[k]) return false;
    return true;
}

// The operands the fused form of a group relies on, beyond the codes: a loop's step and its
// test belong to the same loop; an element read or store through a call site passes one index
// (the reference just pushed) and, for a read, reserves one result slot just below it.
bool OperandsFit(const TFusedGroup& AGroup, const TXANInstr* AFirst) noexcept {
    const TXANInstrCode first = AGroup.Codes[0];
    if (first == icForInc || first == icForDec) return AFirst[0].Data == AFirst[1].Data;
    const TXANInstrCode last = AGroup.Codes[AGroup.Size - 1];
    if (last == icGlobCall) {
        const TXANCall& call = *AFirst[2].DataAs<TXANCall>();
        return AFirst[0].DataInt() == 1 && call.FArgCount == 1 && call.FArgsOffset == 0 && call.FResOffset == 1;
    }
    if (last == icAssignGlobCall) {
        const TXANCall& call = *AFirst[2].DataAs<TXANCall>();
        return call.FArgCount == 1 && call.FArgsOffset == 1;
    }
    return true;
}

// The largest group that starts at AFirst and ends before ALimit; none when no group does.
const TFusedGroup* GroupAt(const TXANInstr* AFirst, const TXANInstr* ALimit) noexcept {
    const TFusedGroup* best = nullptr;
    for (const TFusedGroup& group : Groups)
        if (group.Size <= ALimit - AFirst && (!best || group.Size > best->Size) && SameCodes(group, AFirst) &&
            OperandsFit(group, AFirst))
            best = &group;
    return best;
}

const TFusedGroup* GroupOf(std::uint8_t AFused) noexcept {
    for (const TFusedGroup& group : Groups)
        if (group.Fused == AFused) return &group;
    return nullptr;
}

// A fused group reads each literal it pushes through the push's operand, wherever the push
// stands in the group (`a[i] := 0` pushes zero second): a push of zero points at a shared zero
// (the plain instruction ignores its operand).
void PointZeroPushes(TXANInstr* AFirst, int ASize) noexcept {
    for (int k = 0; k < ASize; ++k)
        if (AFirst[k].Code == icPush0) AFirst[k].Data = reinterpret_cast<std::uintptr_t>(&XANInteger0);
}

int FuseAt(TXANInstr* AFirst, const TXANInstr* ALimit) noexcept;

// Fuses the groups of [AFirst, ALimit) one after another, each the largest that starts there.
void FuseRange(TXANInstr* AFirst, const TXANInstr* ALimit) noexcept {
    while (ALimit - AFirst > 1) {
        const int size = FuseAt(AFirst, ALimit);
        // No instruction of a group starts another group past its end.
        AFirst += size ? size : 1;
    }
}

// Fuses the largest group at AFirst that ends before ALimit, and the instructions after its
// head as if they stood alone (the largest group at its second instruction, then the next
// group after that one, and so on): a group that cannot take its short way runs its head alone
// and leaves the rest to the groups (or the plain instructions) after it. Answers the group's
// size; 0 when none starts there.
int FuseAt(TXANInstr* AFirst, const TXANInstr* ALimit) noexcept {
    const TFusedGroup* group = GroupAt(AFirst, ALimit);
    if (!group) return 0;
    FuseRange(AFirst + 1, AFirst + group->Size);
    PointZeroPushes(AFirst, group->Size);
    AFirst->Code = group->Fused;
    return group->Size;
}

void Unfuse(TXANInstr& AInstr) noexcept {
    AInstr.StoreCode(XANUnfusedCode(static_cast<TXANInstrCode>(AInstr.LoadCode())));
}

std::atomic<bool> GFusionEnabled{true};

}  // namespace

void XANSetFusionEnabled(bool AEnabled) noexcept { GFusionEnabled.store(AEnabled, std::memory_order_relaxed); }
bool XANFusionEnabled() noexcept { return GFusionEnabled.load(std::memory_order_relaxed); }

void XANFuseInstructions(TXANInstr* ACode, std::int32_t ACount) noexcept {
    if (XANFusionEnabled()) FuseRange(ACode, ACode + ACount);
}

void XANUnfuseBefore(TXANInstr* ACode, std::int32_t AIndex) noexcept {
    // Every group that starts before AIndex and reaches it: a group of n covers the n - 1
    // instructions after its head. The farthest first, so that the heads inside it are seen too.
    for (std::int32_t back = MaxFusedGroupSize - 1; back >= 1; --back) {
        if (AIndex < back) continue;
        const TFusedGroup* group = GroupOf(ACode[AIndex - back].LoadCode());
        if (group && group->Size > back) Unfuse(ACode[AIndex - back]);
    }
}

TXANInstrCode XANUnfusedCode(TXANInstrCode ACode) noexcept {
    if (ACode < XANFirstFusedCode) return ACode;
    const TFusedGroup* group = GroupOf(ACode);
    return group ? group->Codes[0] : ACode;
}

}  // namespace xan
