#include "vm/bytecode/ByteCode.h"

#include <algorithm>

#include "platform/core/Assert.h"
#include "vm/bytecode/CodeEpoch.h"
#include "vm/bytecode/CompileError.h"
#include "vm/bytecode/Fusion.h"

namespace xan {

namespace {
constexpr const char* Unit = "XANSctVMByteCode";
}

TXANByteCode::TXANByteCode() = default;
// Call sites cached by address must not outlive the code they belong to.
TXANByteCode::~TXANByteCode() { TXANCodeEpoch::Advance(); }

void TXANByteCode::BeginEmit(const plat::UString& ADescription, TXANAbstractNamespace* AInitialNamespace,
                             std::int32_t ASourcePos) {
    FDescription = ADescription;
    FInitialNamespace = AInitialNamespace;
    FCurSourcePos = ASourcePos;
}

void TXANByteCode::BeginSourcePos(std::int32_t ASourcePos, std::int32_t& AOldSourcePos) noexcept {
    AOldSourcePos = FCurSourcePos;
    FCurSourcePos = ASourcePos;
}

void TXANByteCode::Grow() {
    const std::int32_t capacity = std::max(4, FCodeLength * 2);
    auto code = std::make_unique<TXANInstr[]>(std::size_t(capacity));
    std::copy(FCode.get(), FCode.get() + FCount, code.get());
    FCode = std::move(code);
    FCodeLength = capacity;
}

void TXANByteCode::Emit(TXANInstrCode ACode, std::uintptr_t AData) {
    XAN_ASSERT(Unit, FCurSourcePos >= 0);
    if (FCount == FCodeLength) Grow();
    FMinSourcePos = std::min(FMinSourcePos, FCurSourcePos);
    FMaxSourcePos = std::max(FMaxSourcePos, FCurSourcePos);
    TXANInstr& instr = FCode[std::size_t(FCount)];
    instr.Code = ACode;
    instr.TryIndex = FCurrentProtBlock ? std::int8_t(FCurrentProtBlock->FIndex) : std::int8_t(-1);
    instr.Data = AData;
    instr.SourceInfo = std::uint32_t(FCurSourcePos) & TXANInstr::SourcePosMask;
    if (FNextInstrBreakable) {
        instr.SourceInfo |= TXANInstr::BreakableFlag;
        FNextInstrBreakable = false;
    }
    ++FCount;
}

template <class T>
T* TXANByteCode::AddItem() {
    auto item = std::make_unique<T>();
    T* raw = item.get();
    FItems.push_back(std::move(item));
    return raw;
}

TXANLabel* TXANByteCode::CreateLabel() {
    FLabels.reserve(FLabels.size() + 1);  // so that the push below cannot fail after AddItem
    TXANLabel* label = AddItem<TXANLabel>();
    FLabels.push_back(label);
    return label;
}

void TXANByteCode::BindLabel(TXANLabel* ALabel) noexcept { ALabel->FBoundIndex = FCount; }

std::int32_t TXANByteCode::AddLocalVarArray(std::int32_t ALength) noexcept {
    const std::int32_t first = FLocalVarCount;
    FLocalVarCount += ALength;
    return first;
}

TXANCall* TXANByteCode::AddCall(std::int32_t AName, const plat::UString& AStrName, TXANBracketType ABracketType,
                                std::int32_t AArgCount, bool AHasObject, bool AHasValue, bool AIsResUsed) {
    TXANCall* call = AddItem<TXANCall>();
    call->FName = AName;
    call->FStrName = AStrName;
    call->FBracketType = ABracketType;
    call->FArgCount = AArgCount;
    call->FArgsOffset = AArgCount - 1 + (AHasValue ? 1 : 0);
    call->FObjectOffset = call->FArgsOffset + 1;
    call->FResOffset = call->FArgsOffset + 1 + (AHasObject ? 1 : 0);
    call->FResMask = AIsResUsed ? 0xFFFFFFFFu : 0u;
    return call;
}

TXANFor* TXANByteCode::NewFor(TXANLabel* AJmpLabel, std::int32_t ALoopLocalVar, bool AIsStepUsed) {
    TXANFor* loop = AddItem<TXANFor>();
    loop->FJmpLabel = AJmpLabel;
    loop->FStepVar = AIsStepUsed ? AddLocalVar() : -1;
    loop->FToVar = AddLocalVar();
    loop->FLoopVarRef = AddLocalVar();
    loop->FLoopLocalVar = ALoopLocalVar;
    return loop;
}

TXANFor* TXANByteCode::AddFor(TXANLabel* AJmpLabel, bool AIsStepUsed) { return NewFor(AJmpLabel, -1, AIsStepUsed); }

TXANFor* TXANByteCode::AddFor(TXANLabel* AJmpLabel, std::int32_t ALoopLocalVar, bool AIsStepUsed) {
    return NewFor(AJmpLabel, ALoopLocalVar, AIsStepUsed);
}

TXANArray* TXANByteCode::AddArray(std::int32_t ADimCount, std::uint16_t AElemVarType) {
    TXANArray* array = AddItem<TXANArray>();
    array->FArgsOffset = 2 * ADimCount - 1;
    array->FElemVarType = AElemVarType;
    array->FDimCount = ADimCount;
    return array;
}

TXANArrayRedim* TXANByteCode::AddArrayRedim(std::int32_t ADimCount, std::uint16_t AElemVarType, bool APreserve) {
    return AddArrayRedim(ADimCount, AElemVarType, APreserve, -1);
}

TXANArrayRedim* TXANByteCode::AddArrayRedim(std::int32_t ADimCount, std::uint16_t AElemVarType, bool APreserve,
                                            std::int32_t AArrayLocalVar) {
    TXANArrayRedim* redim = AddItem<TXANArrayRedim>();
    redim->FArgsOffset = 2 * ADimCount - 1;
    redim->FElemVarType = AElemVarType;
    redim->FDimCount = ADimCount;
    redim->FPreserve = APreserve;
    redim->FArrayOffset = 2 * ADimCount;
    redim->FArrayLocalVar = AArrayLocalVar;
    return redim;
}

TXANTry* TXANByteCode::BeginProtectedBlock() {
    // The try index of an instruction is a signed byte; a routine with more blocks cannot be
    // represented, and the script author must hear so rather than get wrong handlers.
    if (FTryCount >= MaxProtectedBlocks)
        plat::Throw<EXANCompileBase>(u"Too many protected blocks (try statements) in one routine; at most 128 "
                                     u"are allowed",
                                     std::max(FCurSourcePos, 0));
    FTries.reserve(FTries.size() + 1);
    TXANTry* block = AddItem<TXANTry>();
    FTries.push_back(block);
    block->FIndex = FTryCount++;
    block->FParent = FCurrentProtBlock;
    FCurrentProtBlock = block;
    return block;
}

void TXANByteCode::EndProtectedBlock() {
    XAN_ASSERT(Unit, FCurrentProtBlock != nullptr);
    FCurrentProtBlock = FCurrentProtBlock->FParent;
}

TXANExcJump* TXANByteCode::AddExcJmp(TXANTry* ATry, TXANLabel* ALabel) {
    TXANExcJump* jump = AddItem<TXANExcJump>();
    jump->FTry = ATry;
    jump->FLabel = ALabel;
    return jump;
}

void TXANByteCode::EndEmit() {
    ResolveLabels();
    CheckOperandLabelsBound();
    ComputeStackSize();
    BuildTryArray();
    XANFuseInstructions(FCode.get(), FCount);  // last: the passes above read the plain codes
}

void TXANByteCode::ResolveLabels() {
    for (TXANLabel* label : FLabels) {
        // A label bound after the last instruction has no instruction to point at; only an
        // unused label may be in that state, which CheckOperandLabelsBound verifies.
        const bool bound = label->FBoundIndex >= 0 && label->FBoundIndex < FCount;
        label->FTarget = bound ? &FCode[std::size_t(label->FBoundIndex)] : nullptr;
    }
    for (TXANLabel* label : FLabels) ShortenJumpChain(label);
}

// Moves the label along a chain of icJump instructions to its end, so that every instruction
// using it jumps there in one step. A cycle of jumps stops the walk before it repeats a target.
void TXANByteCode::ShortenJumpChain(TXANLabel* ALabel) {
    if (!ALabel->FTarget) return;
    std::vector<PXANInstr> visited{ALabel->FTarget};
    while (ALabel->FTarget->Code == icJump) {
        const TXANLabel* next = ALabel->FTarget->DataAs<TXANLabel>();
        if (!next || !next->FTarget) return;  // reported by CheckOperandLabelsBound
        if (std::find(visited.begin(), visited.end(), next->FTarget) != visited.end()) return;
        ALabel->FTarget = next->FTarget;
        visited.push_back(next->FTarget);
    }
}

// Every label an emitted instruction relies on must point at an instruction; anything else is
// a code-generator defect.
void TXANByteCode::CheckOperandLabelsBound() const {
    auto check = [](const TXANLabel* label) { XAN_ASSERT(Unit, label && label->FTarget); };
    for (std::int32_t i = 0; i < FCount; ++i) {
        const TXANInstr& instr = FCode[std::size_t(i)];
        switch (instr.Code) {
            case icJump: case icJmpIfTrue: case icJmpIfFalse: case icPopJmpIfTrue: case icPopJmpIfFalse:
            case icPopJmpIfEqual: case icPopJmpIfNotEqual: case icCaseJmpIfEqual: case icCaseJmpIfInRange:
                check(instr.DataAs<TXANLabel>());
                break;
            case icForJmpIfLE: case icForJmpIfGE: case icForJmpStep:
                check(instr.DataAs<TXANFor>()->FJmpLabel);
                break;
            case icExceptJmpIfIs:
                check(instr.DataAs<TXANExcJump>()->FLabel);
                break;
            case icCallFinally:
                check(instr.DataAs<TXANTry>()->FFinallyLabel);
                break;
            default:
                break;
        }
    }
    for (const TXANTry* block : FTries)
        if (block->FHandlerLabel) check(block->FHandlerLabel);
}

void TXANByteCode::BuildTryArray() {
    FTryArray.assign(FTries.begin(), FTries.end());  // creation order is FIndex order
}

PXANInstr TXANByteCode::GetFirstBreakInstr(std::int32_t AStartPos, std::int32_t ALength) const noexcept {
    const std::int64_t last = std::int64_t(AStartPos) + ALength - 1;
    if (AStartPos > FMaxSourcePos || last < FMinSourcePos) return nullptr;
    for (std::int32_t i = 0; i < FCount; ++i) {
        TXANInstr& instr = FCode[std::size_t(i)];
        const std::int64_t pos = instr.SourcePos();
        if (instr.IsBreakable() && pos >= AStartPos && pos <= last) return &instr;
    }
    return nullptr;
}

}  // namespace xan
