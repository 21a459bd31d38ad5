#pragma once
// TXANByteCode: the emitter the code generators drive, and the finished, read-only code the
// interpreter runs. After EndEmit the only change is the one-byte breakpoint patch of a Code.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/core/UString.h"
#include "platform/ole/Variant.h"
#include "vm/bytecode/Instr.h"
#include "vm/bytecode/Operands.h"

namespace xan {

class TXANAbstractNamespace;

class TXANByteCode {
public:
    // TryIndex is a signed byte, so one bytecode holds at most this many protected blocks.
    static constexpr std::int32_t MaxProtectedBlocks = 128;

    TXANByteCode();
    TXANByteCode(const TXANByteCode&) = delete;
    TXANByteCode& operator=(const TXANByteCode&) = delete;
    ~TXANByteCode();

    void BeginEmit(const plat::UString& ADescription, TXANAbstractNamespace* AInitialNamespace,
                   std::int32_t ASourcePos);
    void BeginSourcePos(std::int32_t ASourcePos, std::int32_t& AOldSourcePos) noexcept;
    void EndSourcePos(std::int32_t AOldSourcePos) noexcept { FCurSourcePos = AOldSourcePos; }
    void SetNextInstrBreakable() noexcept { FNextInstrBreakable = true; }
    void ManualResetNextInstrBreakable() noexcept { FNextInstrBreakable = false; }

    void Emit(TXANInstrCode ACode, std::uintptr_t AData = 0);
    void Emit(TXANInstrCode ACode, const void* AData) { Emit(ACode, reinterpret_cast<std::uintptr_t>(AData)); }
    void Emit(TXANInstrCode ACode, TXANParamInfo AParam) { Emit(ACode, AParam.Pack()); }

    TXANLabel* CreateLabel();
    void BindLabel(TXANLabel* ALabel) noexcept;
    std::int32_t AddLocalVar() noexcept { return FLocalVarCount++; }
    std::int32_t AddLocalVarArray(std::int32_t ALength) noexcept;

    TXANCall* AddCall(std::int32_t AName, const plat::UString& AStrName, TXANBracketType ABracketType,
                      std::int32_t AArgCount, bool AHasObject, bool AHasValue, bool AIsResUsed);
    TXANFor* AddFor(TXANLabel* AJmpLabel, bool AIsStepUsed);
    TXANFor* AddFor(TXANLabel* AJmpLabel, std::int32_t ALoopLocalVar, bool AIsStepUsed);
    TXANArray* AddArray(std::int32_t ADimCount, std::uint16_t AElemVarType);
    TXANArrayRedim* AddArrayRedim(std::int32_t ADimCount, std::uint16_t AElemVarType, bool APreserve);
    TXANArrayRedim* AddArrayRedim(std::int32_t ADimCount, std::uint16_t AElemVarType, bool APreserve,
                                  std::int32_t AArrayLocalVar);
    // Takes AObject, which an instruction will point to, for the life of the code.
    template <class T>
    T* Adopt(std::unique_ptr<T> AObject) {
        T* raw = AObject.get();
        FItems.push_back(std::make_unique<TXANOwnedObject<T>>(std::move(AObject)));
        return raw;
    }
    // A copy of AValue for icPushLiteral, owned by the code.
    const plat::Variant* AddLiteral(const plat::Variant& AValue) { return Adopt(std::make_unique<plat::Variant>(AValue)); }

    // Raises a compile error when the code already holds MaxProtectedBlocks blocks.
    TXANTry* BeginProtectedBlock();
    void EndProtectedBlock();
    void BeginExcHdrCode(TXANTry* ATry) noexcept { ATry->FHdrHierLow = FNextExcHdrRangeId++; }
    void EndExcHdrCode(TXANTry* ATry) noexcept { ATry->FHdrHierHigh = FNextExcHdrRangeId++; }
    TXANExcJump* AddExcJmp(TXANTry* ATry, TXANLabel* ALabel);

    // Resolves labels (shortening jump chains), computes the stack size, builds the try table.
    void EndEmit();

    // First breakable instruction whose position lies in [AStartPos, AStartPos + ALength - 1].
    PXANInstr GetFirstBreakInstr(std::int32_t AStartPos, std::int32_t ALength) const noexcept;

    // Read access for the interpreter, the debugger and tests.
    PXANInstr Code() const noexcept { return FCode.get(); }
    std::int32_t Count() const noexcept { return FCount; }
    std::int32_t StackSize() const noexcept { return FStackSize; }
    std::int32_t StackLocalsOffset() const noexcept { return FStackLocalsOffset; }
    std::int32_t LocalVarCount() const noexcept { return FLocalVarCount; }
    std::int32_t TryCount() const noexcept { return FTryCount; }
    TXANTry* TryAt(std::int32_t AIndex) const noexcept { return FTryArray[std::size_t(AIndex)]; }
    TXANAbstractNamespace* InitialNamespace() const noexcept { return FInitialNamespace; }
    const plat::UString& Description() const noexcept { return FDescription; }
    std::int32_t MinSourcePos() const noexcept { return FMinSourcePos; }
    std::int32_t MaxSourcePos() const noexcept { return FMaxSourcePos; }
    std::int32_t CurSourcePos() const noexcept { return FCurSourcePos; }
    std::int32_t IndexOf(const TXANInstr* AInstr) const noexcept { return std::int32_t(AInstr - FCode.get()); }

private:
    template <class T>
    T* AddItem();
    TXANFor* NewFor(TXANLabel* AJmpLabel, std::int32_t ALoopLocalVar, bool AIsStepUsed);
    void Grow();
    void ResolveLabels();
    void ShortenJumpChain(TXANLabel* ALabel);
    void CheckOperandLabelsBound() const;
    void ComputeStackSize();
    void BuildTryArray();

    std::unique_ptr<TXANInstr[]> FCode;
    std::int32_t FCodeLength = 0;
    std::int32_t FCount = 0;
    std::vector<std::unique_ptr<TXANOperand>> FItems;  // every operand, in creation order
    std::vector<TXANLabel*> FLabels;                   // the labels among FItems
    std::vector<TXANTry*> FTries;                      // the blocks among FItems
    std::int32_t FTryCount = 0;
    std::vector<TXANTry*> FTryArray;                   // entry i: the block with FIndex i
    TXANTry* FCurrentProtBlock = nullptr;
    std::int32_t FStackSize = 0;
    std::int32_t FStackLocalsOffset = 0;
    TXANAbstractNamespace* FInitialNamespace = nullptr;
    std::int32_t FNextExcHdrRangeId = 0;
    std::int32_t FCurSourcePos = -1;
    std::int32_t FMaxSourcePos = 0;
    std::int32_t FMinSourcePos = 0;
    bool FNextInstrBreakable = false;
    plat::UString FDescription;
    std::int32_t FLocalVarCount = 0;
};

}  // namespace xan
