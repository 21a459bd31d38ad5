// The dispatch loop. Every instruction is one block; control goes from block to block through
// a table of label addresses (computed goto) where the compiler offers it, else through a
// switch. The stack top and the instruction pointer live in locals; the frame's IP is written
// only where somebody else may look at it (hooks, breaks, exceptions).
#include "vm/interp/Interpreter.h"

#include <bit>
#include <exception>

#include "platform/core/Assert.h"
#include "platform/ole/VarErrors.h"
#include "vm/bytecode/ByteCode.h"
#include "vm/bytecode/Fusion.h"
#include "vm/bytecode/VMConstants.h"
#include "vm/compiler/GlobalObjects.h"
#include "vm/interp/ArrayOps.h"
#include "vm/interp/ElementAccess.h"
#include "vm/interp/ElementRefs.h"
#include "vm/interp/SlotOps.h"
#include "vm/interp/VMErrors.h"
#include "vm/interp/ValueOps.h"

#if defined(__GNUC__) || defined(__clang__)
#define XAN_COMPUTED_GOTO 1
#else
#define XAN_COMPUTED_GOTO 0
#endif

namespace xan {

using namespace plat;

namespace {

constexpr const char* Unit = "XANSctVM";

inline void Pop(Variant*& sp) noexcept { (--sp)->Clear(); }
// Pops a value known to own nothing (a number or a Boolean). Every slot above the top stays
// Empty, so an activation that ends normally has only its locals to release.
inline void PopScalar(Variant*& sp) noexcept { (--sp)->VType = varEmpty; }

inline bool Truth(const Variant& v) { return v.VType == varBoolean ? v.VBoolean != 0 : VarToBool(v); }

// A set is a 32-bit integer whose bit k stands for element k (0..31).
inline std::int32_t SetElement(const Variant& v) {
    const std::int32_t e = VarToInt32(v);
    if (e < 0 || e > 31) EXANVMRuntime::RaiseError(retViolatesBounds);
    return e;
}

// Bits lo..hi; an empty range (lo above hi) adds nothing.
inline std::uint32_t RangeMask(std::int32_t lo, std::int32_t hi) noexcept {
    if (lo > hi) return 0;
    const std::uint32_t upTo = hi == 31 ? 0xFFFFFFFFu : (2u << hi) - 1u;
    const std::uint32_t below = (1u << lo) - 1u;
    return upTo & ~below;
}

[[noreturn]] void RaiseRuntime(TXANRuntimeErrorType AType) { EXANVMRuntime::RaiseError(AType); }

// A call took the operand slots [AFrom, ATo): array elements passed there by reference are
// written back.
inline void CompleteElementRefs(TXANCallStackFrame& AFrame, const Variant* AFrom, const Variant* ATo) {
    if (AFrame.ElementRefs && !AFrame.ElementRefs->Empty()) AFrame.ElementRefs->Complete(AFrom, ATo);
}

// The dispatch index of AInstr under the machine's terminate flag AFlag. The empty asm hides
// that the code is a byte: otherwise GCC ands in 8 bits and widens the result again on every
// dispatch.
inline std::uint32_t DispatchIndex(PXANInstr AInstr, std::uint32_t AFlag) noexcept {
    std::uint32_t code = AInstr->LoadCode();
#if defined(__GNUC__) && !defined(__clang__)
    asm("" : "+r"(code));
#endif
    return code & AFlag;
}

// Where a jump to ALabel goes. Never none once code is complete: saying so spares the test for
// none where a helper answers the target as the next instruction (none meaning "not done").
[[gnu::always_inline]] inline PXANInstr TargetOf(const TXANLabel* ALabel) noexcept {
    const PXANInstr to = ALabel->FTarget;
    if (!to) __builtin_unreachable();
    return to;
}

// A comparison followed by icPopJmpIfFalse / icPopJmpIfTrue (at AAfter) branches at once: where
// control goes for AAnswer, the Boolean never stored. None when the next instruction is another
// (a breakpoint patched onto it included).
inline PXANInstr BranchTarget(PXANInstr AAfter, bool AAnswer) noexcept {
    const std::uint8_t code = AAfter->LoadCode();
    if (code != icPopJmpIfFalse && code != icPopJmpIfTrue) return nullptr;
    return AAnswer == (code == icPopJmpIfTrue) ? TargetOf(AAfter->DataAs<TXANLabel>()) : AAfter + 1;
}

// A one-index element read through a call site whose array variable AVar the machine cached,
// in place: false when the machine's general way must do it. The element goes to the site's
// result slot.
inline bool ReadCachedElement(Variant& AVar, const TXANCall& ACall, Variant* sp) {
    return XANReadElementInPlace(AVar, sp[-1 - ACall.FArgsOffset].Deref(), sp[-1 - ACall.FResOffset]);
}

// An assignment of the top of the stack through a call site whose variable AVar the machine
// cached: to the variable itself, or to one element in place. False when the machine's
// general way must do it.
inline bool AssignCachedSite(Variant& AVar, const TXANCall& ACall, Variant* sp) {
    if (ACall.FArgCount == 0) {
        XANStoreOperand(AVar, sp[-1]);
        return true;
    }
    return XANWriteElementInPlace(AVar, sp[-1 - ACall.FArgsOffset].Deref(), sp[-1]);
}

// Push a scalar (raw bits of type AType: a number or a Boolean) onto the Empty slot above the top.
inline void PushScalar(Variant*& sp, VarType AType, std::int64_t ABits) noexcept {
    sp->VType = AType;
    sp->VInt64 = ABits;
    ++sp;
}

// Whether the reference in ASlot stands for an array element (which has no address to keep).
inline bool IsElementRef(const TXANCallStackFrame& AFrame, const Variant* ASlot) {
    return AFrame.ElementRefs && AFrame.ElementRefs->Holds(ASlot);
}

}  // namespace

[[noreturn, gnu::cold]] static void RaiseTooDeep() {
    Throw<EXANVMRuntime>(u"Stack overflow: script calls are nested too deeply");
}

// AThreadVM: the caller's look-up of the thread's record when the caller runs this machine's
// code (which a call reuses), else none. ADepth: the caller's depth plus one (checked by the
// caller). AStack: the activation's slots.
[[gnu::always_inline]] inline void TXANInterpreter::LinkFrame(TXANThread& AThread, TXANCallStackFrame& AFrame,
                                                            TXANVMInterpretContext& ACtx, TXANThreadVM* AThreadVM,
                                                            std::int32_t ADepth, Variant* AStack) noexcept {
    TXANByteCode& code = *ACtx.Code;
    AFrame.Stack = AStack;
    AFrame.LocalsEnd = AStack + code.LocalVarCount();
    AFrame.Next = AThread.FCallStack;
    AFrame.VM = this;
    AFrame.Ctx = &ACtx;
    AFrame.CurNS = code.InitialNamespace();
    AFrame.IP = code.Code();
    AFrame.ExcSt = nullptr;
    AFrame.ElementRefs = nullptr;
    AFrame.ThreadVM = AThreadVM;
    AFrame.Depth = ADepth;
    AThread.FCallStack = &AFrame;
}

void TXANInterpreter::EnterFrame(TXANThread& AThread, TXANCallStackFrame& AFrame, TXANVMInterpretContext& ACtx) {
    XAN_ASSERT(Unit, ACtx.Code && ACtx.Code->Count() > 0);
    const TXANCallStackFrame* caller = AThread.FCallStack;
    const std::int32_t depth = caller ? caller->Depth + 1 : 1;
    if (depth > FMaxDepth) RaiseTooDeep();
    Variant* const stack = AThread.FStackPool.AsquireStack(ACtx.Code->StackSize());
    LinkFrame(AThread, AFrame, ACtx, caller && caller->VM == this ? caller->ThreadVM : nullptr, depth, stack);
}

inline void TXANInterpreter::UnlinkFrame(TXANThread& AThread, TXANCallStackFrame& AFrame) noexcept {
    if (ActivationHooksDue()) OnActivationLeave(AThread, AFrame);
    if (AFrame.ElementRefs) {
        delete AFrame.ElementRefs;
        AFrame.ElementRefs = nullptr;
    }
    AThread.FCallStack = AFrame.Next;
}

void TXANInterpreter::LeaveFrame(TXANThread& AThread, TXANCallStackFrame& AFrame) noexcept {
    UnlinkFrame(AThread, AFrame);
    const TXANByteCode& code = *AFrame.Ctx->Code;
    AThread.FStackPool.ReleaseStack(code.StackSize(), code.LocalVarCount());
}

// The activation Interpret runs: linked on entry, ended on every way out.
class TXANInterpreter::TActivation {
public:
    TActivation(TXANInterpreter& AVM, TXANThread& AThread, TXANVMInterpretContext& ACtx) : vm_(AVM), thread_(AThread) {
        AVM.EnterFrame(AThread, Frame, ACtx);
    }
    ~TActivation() { vm_.LeaveFrame(thread_, Frame); }
    TActivation(const TActivation&) = delete;
    TActivation& operator=(const TActivation&) = delete;

    TXANCallStackFrame Frame;

private:
    TXANInterpreter& vm_;
    TXANThread& thread_;
};

void TXANInterpreter::Interpret(TXANThread& AThread, TXANVMInterpretContext& ACtx) {
    TActivation activation(*this, AThread, ACtx);
    if (ActivationHooksDue()) OnActivationEnter(AThread, activation.Frame);
    Run(AThread, activation.Frame);
}

namespace {

// The slots of a pooled frame about to run ACode: its own when they are enough, else the
// thread's pool's.
inline Variant* InlineSlots(TXANThread& AThread, TXANInlineFrame& AFrame, const TXANByteCode& ACode) {
    const std::int32_t size = ACode.StackSize();
    return size <= TXANInlineFrame::OwnSlotCount ? AFrame.OwnSlots : AThread.FStackPool.AsquireStack(size);
}

// Gives back (and clears) what InlineSlots handed out; the operand stack is empty.
inline void ReleaseInlineSlots(TXANThread& AThread, TXANInlineFrame& AFrame) noexcept {
    const TXANByteCode& code = *AFrame.OwnCtx.Code;
    if (AFrame.Stack == AFrame.OwnSlots)
        XANPopTo(AFrame.LocalsEnd, AFrame.Stack);
    else
        AThread.FStackPool.ReleaseStack(code.StackSize(), code.LocalVarCount());
}

}  // namespace

// Inline: it runs on every script call, from the dispatch loop only.
[[gnu::always_inline]] inline TXANInlineFrame& TXANInterpreter::EnterInline(TXANThread& AThread,
                                                                           const TXANCallStackFrame& ACaller,
                                                                           TXANByteCode* ACode, Variant* AArgs,
                                                                           Variant* AResult, Variant* ACallerTop) {
    const std::int32_t depth = ACaller.Depth + 1;
    if (depth > FMaxDepth) RaiseTooDeep();
    TXANFramePool& pool = AThread.FFramePool;
    TXANInlineFrame& callee = pool.Acquire();
    // OwnCtx.Source stays none: a pooled frame only ever runs the machine's own code.
    callee.OwnCtx.Code = ACode;
    callee.OwnCtx.Args = AArgs;
    callee.OwnCtx.Result = AResult;
    callee.CallerTop = ACallerTop;
    bool linked = false;
    try {
        LinkFrame(AThread, callee, callee.OwnCtx, ACaller.ThreadVM, depth, InlineSlots(AThread, callee, *ACode));
        linked = true;
        if (ActivationHooksDue()) OnActivationEnter(AThread, callee);
    } catch (...) {
        if (linked) {
            LeaveInline(AThread, &callee);
        } else {
            pool.Release();
        }
        throw;
    }
    return callee;
}

inline TXANCallStackFrame* TXANInterpreter::LeaveInline(TXANThread& AThread, TXANCallStackFrame* AFrame) noexcept {
    TXANCallStackFrame* caller = AFrame->Next;
    UnlinkFrame(AThread, *AFrame);
    ReleaseInlineSlots(AThread, *static_cast<TXANInlineFrame*>(AFrame));
    AThread.FFramePool.Release();
    return caller;
}

// Empties the operand stack of AFrame after an exception: the whole area, as an instruction
// that failed may have left a value in the slot above the top.
static void ResetOperands(TXANCallStackFrame& AFrame) noexcept {
    const TXANByteCode& code = *AFrame.Ctx->Code;
    XANPopTo(AFrame.Stack + code.StackSize(), AFrame.LocalsEnd);
    if (AFrame.ElementRefs) AFrame.ElementRefs->Abandon();
}

PXANInstr TXANInterpreter::RouteException(TXANThread& AThread, TXANCallStackFrame*& AFrame,
                                          const TXANCallStackFrame* AEntry) {
    // A loop rather than recursion: script calls do not nest on the native stack, so neither
    // may the way out of them. The escaping exception is kept across frames and made current
    // again for each caller's handling.
    std::exception_ptr escaped;
    for (;;) {
        try {
            try {
                if (escaped) std::rethrow_exception(escaped);
                throw;
            } catch (...) {
                ResetOperands(*AFrame);  // first: the handling may itself throw
                if (const PXANInstr handler = HandleException(AThread, *AFrame)) return handler;
                throw;
            }
        } catch (...) {
            if (AFrame == AEntry) throw;  // the entry frame's activation ends it on the way out
            escaped = std::current_exception();
        }
        AFrame = LeaveInline(AThread, AFrame);
    }
}

// ---- The loop's helpers. Each instruction's work is written once here; the loop's cases
// ---- call it with their code as a template argument where the work depends on it, so every
// ---- case gets its own copy with the code's constants folded in, and no case re-reads its
// ---- code byte (another thread may patch a breakpoint onto it meanwhile). A helper does one
// ---- way through an instruction and answers whether it applied (or the next instruction, none
// ---- when it did not); the case dispatches after each way on its own, because ways that
// ---- shared a tail would share its code and pay a jump and register copies on the hot path.

namespace {

// The running frame's slots and context, reloaded whenever the frame changes.
[[gnu::always_inline]] inline void LoadFrame(const TXANCallStackFrame& AFrame, Variant*& stack, Variant*& args,
                                             Variant*& result) noexcept {
    const TXANVMInterpretContext& ctx = *AFrame.Ctx;
    stack = AFrame.Stack;
    args = ctx.Args;
    result = ctx.Result;
}

// A call's operands (the ARemoved slots below the top) popped, after array elements passed
// there by reference are written back: the new top.
[[gnu::always_inline]] inline Variant* PopCallOperands(TXANCallStackFrame& AFrame, Variant* sp, std::int32_t ARemoved) {
    CompleteElementRefs(AFrame, sp - ARemoved, sp);
    return XANPopTo(sp, sp - ARemoved);
}

// ---- Operators, by instruction code.

constexpr bool IsArithmetic(TXANInstrCode ACode) noexcept {
    return ACode == icPlus || ACode == icMinus || ACode == icMultiply || ACode == icMod || ACode == icDivide ||
           ACode == icIntDiv;
}
// Two Integers take a short way under + - * mod div (a quotient of / is a Double: the general
// operation).
constexpr bool HasIntArith(TXANInstrCode ACode) noexcept { return ACode != icDivide; }
constexpr bool IsComparison(TXANInstrCode ACode) noexcept {
    return ACode == icLess || ACode == icLessEqual || ACode == icGreater || ACode == icGreaterEqual ||
           ACode == icEqual || ACode == icNotEqual;
}

// Two Integers under arithmetic code Code: false when the general operation must decide (an
// overflow; for mod and div a zero divisor, an error, and -1, whose quotient can overflow; every
// quotient of /).
template <TXANInstrCode Code>
[[gnu::always_inline]] inline bool IntArith(std::int32_t l, std::int32_t r, std::int32_t& out) noexcept {
    static_assert(IsArithmetic(Code), "an arithmetic instruction");
    if constexpr (!HasIntArith(Code)) {
        (void)l, (void)r, (void)out;
        return false;
    } else if constexpr (Code == icMod || Code == icIntDiv) {
        if (r == 0 || r == -1) return false;
        out = Code == icMod ? l % r : l / r;
        return true;
    } else {
        constexpr VarOp op = Code == icPlus ? VarOp::Add : Code == icMinus ? VarOp::Sub : VarOp::Mul;
        return VarInt32Op(op, l, r, out);
    }
}

// Two Doubles take a short way under + - * / (mod and div, which round their operands, go to the
// general operation). A quotient of Doubles is the processor's: a zero divisor gives an
// infinity or NaN, as the general operation does.
constexpr bool HasFloatArith(TXANInstrCode ACode) noexcept { return ACode != icMod && ACode != icIntDiv; }

template <TXANInstrCode Code>
[[gnu::always_inline]] inline double FloatArith(double l, double r) noexcept {
    if constexpr (Code == icPlus)
        return l + r;
    else if constexpr (Code == icMinus)
        return l - r;
    else if constexpr (Code == icMultiply)
        return l * r;
    else
        return l / r;
}

template <TXANInstrCode Code>
[[gnu::always_inline]] inline bool IntCompare(std::int32_t l, std::int32_t r) noexcept {
    static_assert(IsComparison(Code), "a comparison instruction");
    if constexpr (Code == icLess)
        return l < r;
    else if constexpr (Code == icLessEqual)
        return l <= r;
    else if constexpr (Code == icGreater)
        return l > r;
    else if constexpr (Code == icGreaterEqual)
        return l >= r;
    else if constexpr (Code == icEqual)
        return l == r;
    else
        return l != r;
}

// S[1] := S[1] op S[0] by the general operation.
[[gnu::always_inline]] inline void GeneralBinary(Variant*& sp, TXANBinaryOp AOp) {
    TXANValueOps::BinaryOp(sp[-2], sp[-1], sp[-2], AOp);
    Pop(sp);
}

// S[1] := S[1] compared with S[0], by the general comparison.
[[gnu::always_inline]] inline void GeneralCompare(Variant*& sp, TXANCompareKind AKind) {
    const bool answer = TXANValueOps::Compare(sp[-2], sp[-1], AKind);
    Pop(sp);
    sp[-1].SetBool(answer);
}

// icPlus, icMinus, icMultiply, icMod, icIntDiv on two Integers whose result fits: done in place (true),
// else nothing done. The Doubles' way is a separate step, so that each way out of the
// instruction dispatches on its own.
template <TXANInstrCode Code>
[[gnu::always_inline]] inline bool IntArithmetic(Variant*& sp) noexcept {
    Variant& l = sp[-2];
    const Variant& r = sp[-1];
    std::int32_t out;
    if (l.VType != varInteger || r.VType != varInteger || !IntArith<Code>(l.VInteger, r.VInteger, out)) return false;
    l.VInteger = out;
    PopScalar(sp);
    return true;
}

// icPlus, icMinus, icMultiply on two Doubles: done in place (true), else nothing done.
template <TXANInstrCode Code>
[[gnu::always_inline]] inline bool FloatArithmetic(Variant*& sp) noexcept {
    Variant& l = sp[-2];
    const Variant& r = sp[-1];
    if (l.VType != varDouble || r.VType != varDouble) return false;
    l.VDouble = FloatArith<Code>(l.VDouble, r.VDouble);
    PopScalar(sp);
    return true;
}

// icLess .. icNotEqual at AInstr on two Integers followed by a conditional jump: the operands
// popped and the jump's target or the instruction after it answered; else none, nothing done.
template <TXANInstrCode Code>
[[gnu::always_inline]] inline PXANInstr IntBranch(PXANInstr AInstr, Variant*& sp) noexcept {
    const Variant& l = sp[-2];
    const Variant& r = sp[-1];
    if (l.VType != varInteger || r.VType != varInteger) return nullptr;
    const PXANInstr to = BranchTarget(AInstr + 1, IntCompare<Code>(l.VInteger, r.VInteger));
    if (!to) return nullptr;
    PopScalar(sp);
    PopScalar(sp);
    return to;
}

// icLess .. icNotEqual on two Integers: the Boolean stored (true); else nothing done.
template <TXANInstrCode Code>
[[gnu::always_inline]] inline bool IntComparison(Variant*& sp) noexcept {
    Variant& l = sp[-2];
    const Variant& r = sp[-1];
    if (l.VType != varInteger || r.VType != varInteger) return false;
    l.SetRaw(varBoolean, IntCompare<Code>(l.VInteger, r.VInteger) ? VarTrue : VarFalse);
    PopScalar(sp);
    return true;
}

// icPopJmpIfEqual / icPopJmpIfNotEqual: whether S[1] equals S[0], both popped.
[[gnu::always_inline]] inline bool PopEqual(Variant*& sp) {
    const bool equal = TXANValueOps::Compare(sp[-2], sp[-1], ckEQ);
    Pop(sp);
    Pop(sp);
    return equal;
}

// ---- Counting loops.

// icForInc / icForDec: the loop variable moves by one.
template <TXANInstrCode Step>
[[gnu::always_inline]] inline void StepLoop(const TXANFor& ALoop, Variant* stack) {
    static_assert(Step == icForInc || Step == icForDec, "a loop step");
    Variant& var = *XANRawAddress<Variant>(stack[ALoop.FLoopVarRef]);
    std::int32_t out;
    if (var.VType == varInteger && VarInt32Op(Step == icForInc ? VarOp::Add : VarOp::Sub, var.VInteger, 1, out))
        var.VInteger = out;
    else
        TXANValueOps::BinaryOp(var, XANInteger1, var, Step == icForInc ? boAdd : boSubtract);
}

// icForJmpIfLE / icForJmpIfGE / icForJmpStep: whether the loop runs again, counting upward (the
// variable not above the last value) or downward.
[[gnu::always_inline]] inline bool LoopGoesOn(const TXANFor& ALoop, Variant* stack, bool AUpward) {
    const Variant& var = *XANRawAddress<Variant>(stack[ALoop.FLoopVarRef]);
    const Variant& last = stack[ALoop.FToVar];
    if (var.VType == varInteger && last.VType == varInteger)
        return AUpward ? var.VInteger <= last.VInteger : var.VInteger >= last.VInteger;
    return TXANValueOps::Compare(var, last, AUpward ? ckLE : ckGE);
}

// ---- Fused groups (one row of XAN_FUSED_CODES each; vm/bytecode/Fusion.h), tried in five
// ---- ways: a comparison of Integers branching at once, the Integer way (for "assign to the
// ---- result", the only way), the Double way, an element read or written in place through a
// ---- cached call site, and the head's own unfused work, after which the next instruction (the
// ---- head of the group inside, or a plain instruction) does the rest. The short ways skip the
// ---- instructions the group covers.

// The value that the push AInstr of a group makes, where it stands (icPushLiteral stands for
// every literal push; a fused icPush0 points at a shared zero).
template <TXANInstrCode Push>
[[gnu::always_inline]] inline const VarData& PushedValue(const TXANInstr& AInstr, Variant* stack, Variant* args) {
    if constexpr (Push == icPushLiteral) {
        return *AInstr.DataAs<const Variant>();
    } else if constexpr (Push == icPushLocalVar) {
        return stack[AInstr.Data];
    } else {
        static_assert(Push == icPushArg, "a push of a literal, a local or an argument");
        XAN_ASSERT(Unit, args);
        return args[AInstr.Param().Index].Deref();
    }
}

constexpr bool IsLoopStep(TXANInstrCode ACode) noexcept { return ACode == icForInc || ACode == icForDec; }

// What a group does, told by its codes.
enum class TGroupShape {
    LoopStep,           // step a loop, test it
    PushToResult,       // push, assign to the result
    PushOp,             // push, operate (the pushed value is the right operand)
    PushPushOp,         // push, push, operate
    PushOpToLocal,      // push, operate, assign to a local
    PushPushOpToLocal,  // push, push, operate, assign to a local
    PushThenGroup,      // push, then a group "push, push, operate"
    OpLiteralOp,        // operate on the stack, push a literal, operate
    ElementRead,        // reserve the result, push the index (a local by reference or a literal),
                        // call a global site
    ElementStore,       // push a local by reference, push a literal, assign through a global site
    ExpressionToLocal   // push three values, operate twice, operate with a literal twice, assign to
                        // a local: `s := (s + i * j + 7) mod 1000003`
};

constexpr bool IsPush(TXANInstrCode ACode) noexcept {
    return ACode == icPushLiteral || ACode == icPushLocalVar || ACode == icPushArg;
}

template <TXANInstrCode... Codes>
struct TGroup {
    static constexpr int Size = sizeof...(Codes);
    static constexpr TXANInstrCode Code[Size] = {Codes...};
    static constexpr TXANInstrCode Last = Code[Size - 1];
    static constexpr TGroupShape Shape = [] {
        if (Size == 2) {
            if (IsLoopStep(Code[0])) return TGroupShape::LoopStep;
            return Last == icAssignResult ? TGroupShape::PushToResult : TGroupShape::PushOp;
        }
        if (Size == 10) return TGroupShape::ExpressionToLocal;
        if (Size == 4) return IsPush(Code[2]) ? TGroupShape::PushThenGroup : TGroupShape::PushPushOpToLocal;
        if (IsArithmetic(Code[0])) return TGroupShape::OpLiteralOp;
        if (Last == icAssignLocalVar) return TGroupShape::PushOpToLocal;
        if (Last == icGlobCall) return TGroupShape::ElementRead;
        if (Last == icAssignGlobCall) return TGroupShape::ElementStore;
        return TGroupShape::PushPushOp;
    }();
    // The operation of a group that operates; its left operand is the top of the stack unless
    // two values are pushed.
    static constexpr bool TwoPushes = Shape == TGroupShape::PushPushOp || Shape == TGroupShape::PushPushOpToLocal;
    static constexpr bool ToLocal = Shape == TGroupShape::PushOpToLocal || Shape == TGroupShape::PushPushOpToLocal;
    static constexpr bool Operates = Shape == TGroupShape::PushOp || TwoPushes || ToLocal;
    static constexpr TXANInstrCode Op = !Operates ? icBreak : TwoPushes ? Code[2] : Code[1];
    static_assert(!ToLocal || IsArithmetic(Op), "only arithmetic assigns to a local at once");
    static_assert(Shape != TGroupShape::ElementRead ||
                      (Code[0] == icPush && (Code[1] == icPushLocalVarRef || Code[1] == icPushLiteral)),
                  "an element read reserves its result and passes its index by reference or as a literal");
    static_assert(Shape != TGroupShape::OpLiteralOp || (Code[1] == icPushLiteral && IsArithmetic(Last)),
                  "an operation on the stack is followed by a literal operation");
    static_assert(Shape != TGroupShape::PushThenGroup || (IsPush(Code[0]) && IsPush(Code[1])),
                  "a push before a group of two pushes and an operation");
    static_assert(Shape != TGroupShape::ElementStore ||
                      (Code[0] == icPushLocalVarRef && Code[1] == icPushLiteral),
                  "an element store passes its index by reference and stores a literal");
    static_assert(Shape != TGroupShape::ExpressionToLocal ||
                      (IsPush(Code[0]) && IsPush(Code[1]) && IsPush(Code[2]) && IsArithmetic(Code[3]) &&
                       IsArithmetic(Code[4]) && Code[5] == icPushLiteral && IsArithmetic(Code[6]) &&
                       Code[7] == icPushLiteral && IsArithmetic(Code[8]) && Last == icAssignLocalVar),
                  "a statement: three pushes, two operations, two literal operations, an assignment to a local");
};

// The group whose ways a fused case runs: its own, or for a push heading a group, the group
// after the push.
template <bool PushFirst, TXANInstrCode... Codes>
struct TWaysOf {
    using Type = TGroup<Codes...>;
};
template <TXANInstrCode Head, TXANInstrCode... Rest>
struct TWaysOf<true, Head, Rest...> {
    using Type = TGroup<Rest...>;
};

// The operands of an operating group: the left one (the top of the stack, or the first push)
// and the right one (the last push).
template <class G>
[[gnu::always_inline]] inline const VarData& LeftOperand(PXANInstr AInstr, Variant* sp, Variant* stack, Variant* args) {
    if constexpr (G::TwoPushes)
        return PushedValue<G::Code[0]>(AInstr[0], stack, args);
    else
        return sp[-1];
}
template <class G>
[[gnu::always_inline]] inline const VarData& RightOperand(PXANInstr AInstr, Variant* stack, Variant* args) {
    constexpr int at = G::TwoPushes ? 1 : 0;
    return PushedValue<G::Code[at]>(AInstr[at], stack, args);
}

// Where an operating group's number goes, and the instruction after the group: in place of
// the left operand on the stack, onto the stack, or into a local (the left operand popped when
// it was on the stack). ABits are the raw bits of a value of type AType (a number or Boolean).
template <class G>
[[gnu::always_inline]] inline PXANInstr PutResult(PXANInstr AInstr, Variant*& sp, Variant* stack, VarType AType,
                                                  std::int64_t ABits) noexcept {
    if constexpr (G::ToLocal) {
        if constexpr (!G::TwoPushes) PopScalar(sp);
        // As icAssignLocalVar: the local's old value released, the number stored.
        stack[AInstr[G::Size - 1].Data].SetRaw(AType, ABits);
    } else if constexpr (G::TwoPushes) {
        PushScalar(sp, AType, ABits);
    } else {
        sp[-1].VType = AType;
        sp[-1].VInt64 = ABits;
    }
    return AInstr + G::Size;
}
[[gnu::always_inline]] inline std::int64_t DoubleBits(double AValue) noexcept {
    return std::bit_cast<std::int64_t>(AValue);
}

// A comparison on Integers followed by a conditional jump branches at once: the jump's target
// or the instruction after it; none (nothing done) for other operands, other groups, or when no
// jump follows (the Integer way then stores the Boolean).
template <class G>
[[gnu::always_inline]] inline PXANInstr BranchWay(PXANInstr AInstr, Variant*& sp, Variant* stack, Variant* args) {
    if constexpr (!G::Operates || !IsComparison(G::Op)) {
        return nullptr;
    } else {
        const VarData& l = LeftOperand<G>(AInstr, sp, stack, args);
        if (l.VType != varInteger) return nullptr;
        const VarData& r = RightOperand<G>(AInstr, stack, args);
        if (r.VType != varInteger) return nullptr;
        const PXANInstr to = BranchTarget(AInstr + G::Size, IntCompare<G::Op>(l.VInteger, r.VInteger));
        if (!to) return nullptr;
        if constexpr (!G::TwoPushes) PopScalar(sp);
        return to;
    }
}

// A whole statement's expression `a op2 (b op1 c) op3 k1 op4 k2` on Integers, every step within
// range (the operands read where they stand, the steps' results kept in registers): false when
// an operand is no Integer or a step must take the general way; nothing is written.
template <class G>
[[gnu::always_inline]] inline bool ExpressionInt(PXANInstr AInstr, Variant* stack, Variant* args,
                                                 std::int32_t& out) {
    static_assert(G::Shape == TGroupShape::ExpressionToLocal, "a statement group");
    const VarData& a = PushedValue<G::Code[0]>(AInstr[0], stack, args);
    const VarData& b = PushedValue<G::Code[1]>(AInstr[1], stack, args);
    const VarData& c = PushedValue<G::Code[2]>(AInstr[2], stack, args);
    const VarData& k1 = PushedValue<icPushLiteral>(AInstr[5], stack, args);
    const VarData& k2 = PushedValue<icPushLiteral>(AInstr[7], stack, args);
    // One test for the five types.
    if (((a.VType ^ varInteger) | (b.VType ^ varInteger) | (c.VType ^ varInteger) | (k1.VType ^ varInteger) |
         (k2.VType ^ varInteger)) != 0)
        return false;
    std::int32_t inner, left, first;
    return IntArith<G::Code[3]>(b.VInteger, c.VInteger, inner) && IntArith<G::Code[4]>(a.VInteger, inner, left) &&
           IntArith<G::Code[6]>(left, k1.VInteger, first) && IntArith<G::Code[8]>(first, k2.VInteger, out);
}

// The Integer way: a loop's step and its test, a push assigned to the result, a whole statement
// assigned to a local, or an operation on two Integers (a comparison stores its Boolean).
template <class G>
[[gnu::always_inline]] inline PXANInstr IntWay(PXANInstr AInstr, Variant*& sp, Variant* stack, Variant* args,
                                               Variant* result) {
    if constexpr (G::Shape == TGroupShape::LoopStep) {
        // A loop's step and its test of the same loop, for an Integer within range.
        constexpr TXANInstrCode step = G::Code[0];
        static_assert((step == icForInc && G::Last == icForJmpIfLE) || (step == icForDec && G::Last == icForJmpIfGE),
                      "a loop's step and its test in the same direction");
        const TXANFor& loop = *AInstr->DataAs<TXANFor>();
        Variant& var = *XANRawAddress<Variant>(stack[loop.FLoopVarRef]);
        const Variant& last = stack[loop.FToVar];
        std::int32_t out;
        if (var.VType != varInteger || last.VType != varInteger ||
            !VarInt32Op(step == icForInc ? VarOp::Add : VarOp::Sub, var.VInteger, 1, out))
            return nullptr;
        var.VInteger = out;
        if (step == icForInc ? out <= last.VInteger : out >= last.VInteger) return TargetOf(loop.FJmpLabel);
        return AInstr + 2;
    } else if constexpr (G::Shape == TGroupShape::PushToResult) {
        const VarData& v = PushedValue<G::Code[0]>(*AInstr, stack, args);
        XAN_ASSERT(Unit, result);
        result->Assign(v);
        return AInstr + 2;
    } else if constexpr (G::Shape == TGroupShape::ExpressionToLocal) {
        std::int32_t out;
        if (!ExpressionInt<G>(AInstr, stack, args, out)) return nullptr;
        // As icAssignLocalVar: the local's old value released, the number stored.
        stack[AInstr[G::Size - 1].Data].SetRaw(varInteger, out);
        return AInstr + G::Size;
    } else if constexpr (G::Shape == TGroupShape::OpLiteralOp) {
        Variant& l = sp[-2];
        const Variant& r = sp[-1];
        const VarData& k = PushedValue<icPushLiteral>(AInstr[1], stack, args);
        if (l.VType != varInteger || r.VType != varInteger || k.VType != varInteger) return nullptr;
        std::int32_t first, out;
        if (!IntArith<G::Code[0]>(l.VInteger, r.VInteger, first) || !IntArith<G::Last>(first, k.VInteger, out))
            return nullptr;
        l.VInteger = out;
        PopScalar(sp);
        return AInstr + G::Size;
    } else if constexpr (!G::Operates || !(IsComparison(G::Op) || HasIntArith(G::Op))) {
        return nullptr;
    } else {
        const VarData& l = LeftOperand<G>(AInstr, sp, stack, args);
        if (l.VType != varInteger) return nullptr;
        const VarData& r = RightOperand<G>(AInstr, stack, args);
        if (r.VType != varInteger) return nullptr;
        if constexpr (IsComparison(G::Op)) {
            return PutResult<G>(AInstr, sp, stack, varBoolean,
                                IntCompare<G::Op>(l.VInteger, r.VInteger) ? VarTrue : VarFalse);
        } else {
            std::int32_t out;
            if (!IntArith<G::Op>(l.VInteger, r.VInteger, out)) return nullptr;
            return PutResult<G>(AInstr, sp, stack, varInteger, out);
        }
    }
}

template <class G>
[[gnu::always_inline]] inline PXANInstr FloatWay(PXANInstr AInstr, Variant*& sp, Variant* stack, Variant* args) {
    if constexpr (G::Shape == TGroupShape::OpLiteralOp) {
        if constexpr (!HasFloatArith(G::Code[0]) || !HasFloatArith(G::Last)) {
            return nullptr;
        } else {
            Variant& l = sp[-2];
            const Variant& r = sp[-1];
            const VarData& k = PushedValue<icPushLiteral>(AInstr[1], stack, args);
            if (l.VType != varDouble || r.VType != varDouble || k.VType != varDouble) return nullptr;
            l.VDouble = FloatArith<G::Last>(FloatArith<G::Code[0]>(l.VDouble, r.VDouble), k.VDouble);
            PopScalar(sp);
            return AInstr + G::Size;
        }
    } else if constexpr (!G::Operates || IsComparison(G::Op) || !HasFloatArith(G::Op)) {
        return nullptr;
    } else {
        const VarData& l = LeftOperand<G>(AInstr, sp, stack, args);
        const VarData& r = RightOperand<G>(AInstr, stack, args);
        if (l.VType != varDouble || r.VType != varDouble) return nullptr;
        return PutResult<G>(AInstr, sp, stack, varDouble, DoubleBits(FloatArith<G::Op>(l.VDouble, r.VDouble)));
    }
}

// The index an element group passes: a local by reference (followed) or a literal.
template <TXANInstrCode Push>
[[gnu::always_inline]] inline const VarData& IndexOperand(const TXANInstr& AInstr, Variant* stack) {
    if constexpr (Push == icPushLocalVarRef)
        return stack[AInstr.Data].Deref();
    else
        return PushedValue<Push>(AInstr, stack, nullptr);
}

// `a[i]` or `a[2]` read or `a[i] := literal` stored where the element stands, when the group's call site
// has resolved to a variable holding an array (as the loop's icGlobCall / icAssignGlobCall
// would do it, without the index pushed by reference and popped again); none, nothing done,
// otherwise. The fusion pass checked the call's operands: one index, just below the literal.
template <class G>
[[gnu::always_inline]] inline PXANInstr ElementWay(PXANInstr AInstr, Variant*& sp, Variant* stack, Variant* args,
                                                   const TXANCallStackFrame& AFrame) {
    if constexpr (G::Shape != TGroupShape::ElementRead && G::Shape != TGroupShape::ElementStore) {
        return nullptr;
    } else {
        constexpr int indexAt = G::Shape == TGroupShape::ElementRead ? 1 : 0;
        const TXANCall& call = *AInstr[2].DataAs<TXANCall>();
        const TXANSiteTarget target = call.FSiteCache.Lookup(AFrame.ThreadVM, AFrame.CurNS);
        if (!target || !target.IsVariable()) return nullptr;
        const VarData& index = IndexOperand<G::Code[indexAt]>(AInstr[indexAt], stack);
        if constexpr (G::Shape == TGroupShape::ElementRead) {
            if (!XANReadElementInPlace(target.Variable(stack, args), index, *sp)) return nullptr;
            ++sp;
        } else {
            if (!XANWriteElementInPlace(target.Variable(stack, args), index, *AInstr[1].DataAs<const Variant>()))
                return nullptr;
        }
        return AInstr + 3;
    }
}

// One push of a group, alone.
template <TXANInstrCode Push>
[[gnu::always_inline]] inline void PushAlone(const TXANInstr& AInstr, Variant*& sp, Variant* stack, Variant* args) {
    if constexpr (Push == icPush) {
        sp += AInstr.DataInt();  // reserved slots are Empty already
    } else if constexpr (Push == icPushLocalVarRef) {
        XANSetRef(*sp++, &stack[AInstr.Data]);
    } else {
        XANPushCopy(sp, PushedValue<Push>(AInstr, stack, args));
    }
}

// The general operation of an arithmetic instruction.
constexpr TXANBinaryOp BinaryOpOf(TXANInstrCode ACode) noexcept {
    return ACode == icPlus       ? boAdd
           : ACode == icMinus    ? boSubtract
           : ACode == icMultiply ? boMultiply
           : ACode == icMod      ? boMod
           : ACode == icIntDiv   ? boIntDiv
                                 : boDivide;
}

// Arithmetic instruction Code on the two values on top of the stack, as its own case does it.
template <TXANInstrCode Code>
[[gnu::always_inline]] inline void OperateAlone(Variant*& sp) {
    static_assert(IsArithmetic(Code), "an arithmetic instruction");
    if constexpr (HasIntArith(Code))
        if (IntArithmetic<Code>(sp)) return;
    if constexpr (HasFloatArith(Code))
        if (FloatArithmetic<Code>(sp)) return;
    GeneralBinary(sp, BinaryOpOf(Code));
}

// The work of the group's instructions before its operation, alone (for an operation on the
// stack heading a group, that operation): its head, or both pushes
// of a group that makes two (the group inside it, starting at the second push, would find the
// same operands and fail as well). The operation's own instruction goes on from there.
template <class G>
[[gnu::always_inline]] inline PXANInstr UnfusedWay(PXANInstr AInstr, Variant*& sp, Variant* stack, Variant* args) {
    constexpr TXANInstrCode head = G::Code[0];
    if constexpr (IsLoopStep(head)) {
        const TXANFor& loop = *AInstr->DataAs<TXANFor>();
        Variant& var = *XANRawAddress<Variant>(stack[loop.FLoopVarRef]);
        TXANValueOps::BinaryOp(var, XANInteger1, var, head == icForInc ? boAdd : boSubtract);
        return AInstr + 1;
    } else if constexpr (G::Shape == TGroupShape::OpLiteralOp) {
        OperateAlone<head>(sp);
        return AInstr + 1;
    } else if constexpr (G::TwoPushes || G::Shape == TGroupShape::ElementRead ||
                         G::Shape == TGroupShape::ElementStore) {
        PushAlone<head>(AInstr[0], sp, stack, args);
        PushAlone<G::Code[1]>(AInstr[1], sp, stack, args);
        return AInstr + 2;
    } else {
        PushAlone<head>(AInstr[0], sp, stack, args);
        return AInstr + 1;
    }
}

}  // namespace

// ---- The loop's vocabulary: what has to stay a macro because it transfers control (a helper
// ---- cannot jump to a label of the loop) or names the loop's registers (ip, sp, frame and
// ---- the frame's slots, all locals of Run).

// A running machine's flag has every bit set, a terminating one's none, so the code indexes a
// table that covers every byte value (no mask needed) and becomes icBreak on termination.
#define XAN_CODE() DispatchIndex(ip, FTerminateFlag.load(std::memory_order_relaxed))
#if XAN_COMPUTED_GOTO
// The dispatch table: the codes' labels, then enough invalid entries that every byte value
// has one (the entries past 255 are never read; the table need not be counted by hand).
#define XAN_LABEL_ADDR(name, ...) &&L_##name,
#define XAN_INVALID4 &&L_invalid, &&L_invalid, &&L_invalid, &&L_invalid,
#define XAN_INVALID16 XAN_INVALID4 XAN_INVALID4 XAN_INVALID4 XAN_INVALID4
#define XAN_INVALID64 XAN_INVALID16 XAN_INVALID16 XAN_INVALID16 XAN_INVALID16
#define XAN_INVALID256 XAN_INVALID64 XAN_INVALID64 XAN_INVALID64 XAN_INVALID64
#define DISPATCH() goto* dispatchTable[XAN_CODE()]
#define OP(code) \
    case code:   \
    L_##code
#else
#define DISPATCH() goto dispatch
#define OP(code) case code
#endif
#define NEXT()      \
    do {            \
        ++ip;       \
        DISPATCH(); \
    } while (0)
#define JUMP(label)                 \
    do {                            \
        ip = (label)->FTarget;      \
        DISPATCH();                 \
    } while (0)
#define XAN_GO_TO(instr) \
    do {                 \
        ip = (instr);    \
        DISPATCH();      \
    } while (0)
#define SYNC_IP() (frame->IP = ip)

// The case of one row of XAN_FUSED_CODES: the group's codes pick its ways. A push heading a
// group of two pushes and an operation is done first; that group's ways follow, as its own
// case would run them, without a dispatch between.
#define XAN_FUSED_CASE(fused, ...)                                                                 \
    OP(fused) : {                                                                                  \
        using G = typename TWaysOf<TGroup<__VA_ARGS__>::Shape == TGroupShape::PushThenGroup,       \
                                   __VA_ARGS__>::Type;                                             \
        if constexpr (TGroup<__VA_ARGS__>::Shape == TGroupShape::PushThenGroup) {                  \
            PushAlone<TGroup<__VA_ARGS__>::Code[0]>(*ip, sp, stack, args);                         \
            ++ip;                                                                                  \
        }                                                                                          \
        if (const PXANInstr to = BranchWay<G>(ip, sp, stack, args)) XAN_GO_TO(to);                 \
        if (const PXANInstr next = IntWay<G>(ip, sp, stack, args, result)) XAN_GO_TO(next);        \
        if (const PXANInstr next = FloatWay<G>(ip, sp, stack, args)) XAN_GO_TO(next);              \
        if (const PXANInstr next = ElementWay<G>(ip, sp, stack, args, *frame)) XAN_GO_TO(next);    \
        ip = UnfusedWay<G>(ip, sp, stack, args);                                                   \
        DISPATCH();                                                                                \
    }

// Enters the script procedure whose bytecode is code (checked by the machine) with its
// arguments from callArgs and its result slot callResult: its frame links to the running one,
// and the loop goes on with its first instruction, the registers set from what is known here
// rather than reloaded.
#define XAN_ENTER(code, callArgs, callResult)                                                    \
    {                                                                                            \
        TXANByteCode* const entered = (code);                                                    \
        Variant* const enteredArgs = (callArgs);                                                 \
        Variant* const enteredResult = (callResult);                                             \
        TXANInlineFrame& callee = EnterInline(thread, *frame, entered, enteredArgs, enteredResult, sp); \
        frame = &callee;                                                                         \
        stack = frame->Stack;                                                                    \
        args = enteredArgs;                                                                      \
        result = enteredResult;                                                                  \
        ip = entered->Code();                                                                    \
        sp = callee.LocalsEnd;                                                                   \
        DISPATCH();                                                                              \
    }
// icGlobCall / icGlobCallRef (ref): the site's cached answer first (a script procedure entered
// in this loop, a built-in run, a variable read, an element read in place), else the machine's
// call hook.
#define XAN_GLOB_CALL(ref)                                                                                  \
    {                                                                                                       \
        SYNC_IP();                                                                                          \
        TXANCall& call = *ip->DataAs<TXANCall>();                                                           \
        const TXANSiteTarget target = call.FSiteCache.Lookup(frame->ThreadVM, frame->CurNS); \
        if (target && target.IsProc()) {                                                                    \
            Variant* const callArgs = sp - 1 - call.FArgsOffset;                                            \
            Variant* const callResult = sp - 1 - call.FResOffset;                                           \
            if (!call.FArgsByValue) target.AsProc()->TakeByValueCopies(callArgs);                           \
            XAN_ENTER(target.AsProc()->ByteCode(), callArgs, callResult);                                   \
        }                                                                                                   \
        if (target && target.IsIntrinsic()) {                                                               \
            target.AsIntrinsic()->Execute(this, &call, sp - 1 - call.FArgsOffset, sp[-1 - call.FResOffset]);  \
            CompleteElementRefs(*frame, sp - call.FResOffset, sp);                                          \
            sp = XANPopTo(sp, sp - call.FResOffset);                                                        \
            NEXT();                                                                                         \
        }                                                                                                   \
        if (target && call.FArgCount == 0) {                                                                \
            /* A variable read or passed by reference: no arguments to pop. */                              \
            XANLoadVariable(target.Variable(stack, args), sp[-1 - call.FResOffset], ref);                   \
            NEXT();                                                                                         \
        }                                                                                                   \
        if (ref || !target || !ReadCachedElement(target.Variable(stack, args), call, sp)) {                 \
            const TXANCallExit exit = DoGlobCall(thread, *frame, call, sp - 1, ref);                        \
            if (exit.Kind == TXANCallExit::ceEnter)                                                         \
                XAN_ENTER(exit.Code, sp - 1 - call.FArgsOffset, sp - 1 - call.FResOffset);                  \
            if (exit.Kind == TXANCallExit::ceReturn) goto do_return;                                        \
            if (exit.Kind == TXANCallExit::ceJump) {                                                        \
                sp = XANPopTo(sp, frame->LocalsEnd);                                                        \
                if (frame->ElementRefs) frame->ElementRefs->Abandon();                                      \
                ip = exit.Target;                                                                           \
                DISPATCH();                                                                                 \
            }                                                                                               \
        }                                                                                                   \
        CompleteElementRefs(*frame, sp - call.FResOffset, sp);                                              \
        sp = XANPopTo(sp, sp - call.FResOffset);                                                            \
        NEXT();                                                                                             \
    }

template <TXANInterpreter::TCallHook Hook, bool Assigns>
[[gnu::always_inline]] inline Variant* TXANInterpreter::RunCallHook(TXANThread& AThread, TXANCallStackFrame& AFrame,
                                                                    PXANInstr AIp, Variant* ATop) {
    TXANCall& call = *AIp->DataAs<TXANCall>();
    (this->*Hook)(AThread, AFrame, call, ATop - 1);
    return PopCallOperands(AFrame, ATop, Assigns ? call.FArgCount + 2 : call.FResOffset);
}

void TXANInterpreter::Run(TXANThread& AThread, TXANCallStackFrame& AEntry) {
    TXANThread& thread = AThread;
    TXANCallStackFrame* frame = &AEntry;
    // The running frame's slots and context, reloaded whenever the frame changes.
    Variant* stack;
    Variant* args;
    Variant* result;
    LoadFrame(*frame, stack, args, result);
    PXANInstr ip = frame->IP;
    Variant* sp = frame->LocalsEnd;  // one above the top of the operand stack: TOS is sp[-1]
#if XAN_COMPUTED_GOTO
    static void* const dispatchTable[] = {XAN_INSTR_CODES(XAN_LABEL_ADDR) XAN_INVALID256};
    static_assert(sizeof(dispatchTable) / sizeof(dispatchTable[0]) >= 256, "an entry for every byte value");
#endif

    for (;;) {
        try {
#if XAN_COMPUTED_GOTO
            DISPATCH();
#else
        dispatch:
#endif
            switch (XAN_CODE()) {
                OP(icBreak) : {
                    SYNC_IP();
                    std::uint8_t covered = icBreak;
                    if (DoBreak(thread, *frame, covered) == baRerun) DISPATCH();
                    // Run a copy of the covered instruction with its own code, then come back
                    // to the instruction after the breakpoint.
                    TXANInstr* copy = frame->BreakCopy;
                    // Unfused: what follows the copy is the jump back, not the rest of a group.
                    copy[0] = XANInstrWithCode(*ip, XANUnfusedCode(static_cast<TXANInstrCode>(covered)));
                    copy[1] = XANInstrWithCode(*ip, icBreakpointJmp);
                    copy[1].Data = reinterpret_cast<std::uintptr_t>(ip + 1);
                    ip = copy;
                    DISPATCH();
                }
                OP(icBreakpointJmp) : {
                    ip = ip->DataAs<TXANInstr>();
                    DISPATCH();
                }
                OP(icRet) : {
                do_return:
                    XANPopTo(sp, frame->LocalsEnd);
                    if (frame == &AEntry) return;
                    // Back in the caller's loop: complete its call instruction, whose arguments
                    // lie between the result slot and the caller's top.
                    const TXANInlineFrame& done = *static_cast<TXANInlineFrame*>(frame);
                    Variant* const callerTop = done.CallerTop;
                    Variant* const afterResult = done.OwnCtx.Result + 1;
                    frame = LeaveInline(thread, frame);
                    LoadFrame(*frame, stack, args, result);
                    ip = frame->IP;
                    CompleteElementRefs(*frame, afterResult, callerTop);
                    sp = XANPopTo(callerTop, afterResult);
                    NEXT();
                }
                OP(icJump) : { JUMP(ip->DataAs<TXANLabel>()); }
                OP(icPop) : {
                    Pop(sp);
                    NEXT();
                }
                OP(icPush) : {
                    // Reserved result slots: every slot above the top is Empty already (pops
                    // clear what they remove), so reserving is moving the top.
#ifndef NDEBUG
                    for (std::intptr_t n = 0; n < ip->DataInt(); ++n) XAN_ASSERT(Unit, sp[n].VType == varEmpty);
#endif
                    sp += ip->DataInt();
                    NEXT();
                }
                OP(icPush0) : {
                    (sp++)->SetRaw(varInteger, 0);
                    NEXT();
                }
                OP(icPushUnassigned) : {
                    (sp++)->Clear();
                    NEXT();
                }
                OP(icPushLiteral) : OP(icPushLocalConst) : {
                    XANPushCopy(sp, *ip->DataAs<const Variant>());
                    NEXT();
                }
                OP(icPushLocalVar) : {
                    XANPushCopy(sp, stack[ip->Data]);
                    NEXT();
                }
                OP(icPushArg) : {
                    XANPushCopy(sp, PushedValue<icPushArg>(*ip, stack, args));
                    NEXT();
                }
                OP(icPushResult) : {
                    XAN_ASSERT(Unit, result);
                    XANPushCopy(sp, *result);
                    NEXT();
                }
                OP(icPushLocalVarRef) : {
                    XANSetRef(*sp++, &stack[ip->Data]);
                    NEXT();
                }
                OP(icPushArgRef) : {
                    XAN_ASSERT(Unit, args);
                    const TXANParamInfo p = ip->Param();
                    Variant& arg = args[p.Index];
                    switch (p.Kind) {
                        case pkSimple:
                            // Procedure calls hand a by-value parameter its own copy on entry;
                            // code run without one still never writes through to the caller.
                            if (arg.IsRef()) {
                                Variant value(arg.Deref());
                                arg.MoveFrom(value);
                            }
                            XANSetRef(*sp++, &arg);
                            break;
                        case pkConst:
                            (sp++)->Assign(arg.Deref());
                            break;
                        default:
                            XANSetRef(*sp++, &arg.DerefMut());
                            break;
                    }
                    NEXT();
                }
                OP(icPushResultRef) : {
                    XAN_ASSERT(Unit, result);
                    XANSetRef(*sp++, result);
                    NEXT();
                }

                OP(icGreater) : {
                    if (const PXANInstr to = IntBranch<icGreater>(ip, sp)) XAN_GO_TO(to);
                    if (IntComparison<icGreater>(sp)) NEXT();
                    GeneralCompare(sp, ckGT);
                    NEXT();
                }
                OP(icGreaterEqual) : {
                    if (const PXANInstr to = IntBranch<icGreaterEqual>(ip, sp)) XAN_GO_TO(to);
                    if (IntComparison<icGreaterEqual>(sp)) NEXT();
                    GeneralCompare(sp, ckGE);
                    NEXT();
                }
                OP(icLess) : {
                    if (const PXANInstr to = IntBranch<icLess>(ip, sp)) XAN_GO_TO(to);
                    if (IntComparison<icLess>(sp)) NEXT();
                    GeneralCompare(sp, ckLT);
                    NEXT();
                }
                OP(icLessEqual) : {
                    if (const PXANInstr to = IntBranch<icLessEqual>(ip, sp)) XAN_GO_TO(to);
                    if (IntComparison<icLessEqual>(sp)) NEXT();
                    GeneralCompare(sp, ckLE);
                    NEXT();
                }
                OP(icEqual) : {
                    if (const PXANInstr to = IntBranch<icEqual>(ip, sp)) XAN_GO_TO(to);
                    if (IntComparison<icEqual>(sp)) NEXT();
                    GeneralCompare(sp, ckEQ);
                    NEXT();
                }
                OP(icNotEqual) : {
                    if (const PXANInstr to = IntBranch<icNotEqual>(ip, sp)) XAN_GO_TO(to);
                    if (IntComparison<icNotEqual>(sp)) NEXT();
                    GeneralCompare(sp, ckNE);
                    NEXT();
                }
                OP(icRefEqual) : {
                    GeneralCompare(sp, ckRefEQ);
                    NEXT();
                }
                OP(icRefNotEqual) : {
                    GeneralCompare(sp, ckRefNE);
                    NEXT();
                }
                OP(icIn) : {
                    const std::int32_t e = VarToInt32(sp[-2]);
                    const auto s = std::uint32_t(VarToInt32(sp[-1]));
                    Pop(sp);
                    sp[-1].SetBool(((s >> (e & 31)) & 1u) != 0);
                    NEXT();
                }
                OP(icIs) : {
                    SYNC_IP();
                    const bool answer = DoIsTest(sp[-2], sp[-1]);
                    Pop(sp);
                    sp[-1].SetBool(answer);
                    NEXT();
                }

                OP(icPlus) : {
                    if (IntArithmetic<icPlus>(sp)) NEXT();
                    if (FloatArithmetic<icPlus>(sp)) NEXT();
                    GeneralBinary(sp, boAdd);
                    NEXT();
                }
                OP(icMinus) : {
                    if (IntArithmetic<icMinus>(sp)) NEXT();
                    if (FloatArithmetic<icMinus>(sp)) NEXT();
                    GeneralBinary(sp, boSubtract);
                    NEXT();
                }
                OP(icMultiply) : {
                    if (IntArithmetic<icMultiply>(sp)) NEXT();
                    if (FloatArithmetic<icMultiply>(sp)) NEXT();
                    GeneralBinary(sp, boMultiply);
                    NEXT();
                }
                OP(icMod) : {
                    if (IntArithmetic<icMod>(sp)) NEXT();
                    GeneralBinary(sp, boMod);
                    NEXT();
                }
                OP(icStrConcat) : {
                    GeneralBinary(sp, boConcat);
                    NEXT();
                }
                OP(icImp) : {
                    GeneralBinary(sp, boImp);
                    NEXT();
                }
                OP(icEqv) : {
                    GeneralBinary(sp, boEqv);
                    NEXT();
                }
                OP(icOr) : {
                    GeneralBinary(sp, boOr);
                    NEXT();
                }
                OP(icXor) : {
                    GeneralBinary(sp, boXor);
                    NEXT();
                }
                OP(icDivide) : {
                    if (FloatArithmetic<icDivide>(sp)) NEXT();
                    GeneralBinary(sp, boDivide);
                    NEXT();
                }
                OP(icIntDiv) : {
                    if (IntArithmetic<icIntDiv>(sp)) NEXT();
                    GeneralBinary(sp, boIntDiv);
                    NEXT();
                }
                OP(icAnd) : {
                    GeneralBinary(sp, boAnd);
                    NEXT();
                }
                OP(icShl) : {
                    GeneralBinary(sp, boShl);
                    NEXT();
                }
                OP(icShr) : {
                    GeneralBinary(sp, boShr);
                    NEXT();
                }
                OP(icPower) : {
                    GeneralBinary(sp, boPower);
                    NEXT();
                }
                OP(icUnaryPlus) : { NEXT(); }
                OP(icUnaryMinus) : {
                    TXANValueOps::Negate(sp[-1], sp[-1]);
                    NEXT();
                }
                OP(icUnaryNot) : {
                    TXANValueOps::Not(sp[-1], sp[-1]);
                    NEXT();
                }
                OP(icJmpIfTrue) : {
                    if (Truth(sp[-1])) JUMP(ip->DataAs<TXANLabel>());
                    NEXT();
                }
                OP(icJmpIfFalse) : {
                    if (!Truth(sp[-1])) JUMP(ip->DataAs<TXANLabel>());
                    NEXT();
                }
                OP(icPopJmpIfTrue) : {
                    const bool taken = Truth(sp[-1]);
                    Pop(sp);
                    if (taken) JUMP(ip->DataAs<TXANLabel>());
                    NEXT();
                }
                OP(icPopJmpIfFalse) : {
                    const bool taken = !Truth(sp[-1]);
                    Pop(sp);
                    if (taken) JUMP(ip->DataAs<TXANLabel>());
                    NEXT();
                }
                OP(icPopJmpIfEqual) : {
                    if (PopEqual(sp)) JUMP(ip->DataAs<TXANLabel>());
                    NEXT();
                }
                OP(icPopJmpIfNotEqual) : {
                    if (!PopEqual(sp)) JUMP(ip->DataAs<TXANLabel>());
                    NEXT();
                }
                OP(icAddValToSet) : {
                    const std::int32_t e = SetElement(sp[-1]);
                    const auto set = std::uint32_t(VarToInt32(sp[-2]));
                    Pop(sp);
                    sp[-1].SetInteger(std::int32_t(set | (1u << e)));
                    NEXT();
                }
                OP(icAddRangeToSet) : {
                    const std::int32_t lo = SetElement(sp[-2]);
                    const std::int32_t hi = SetElement(sp[-1]);
                    const auto set = std::uint32_t(VarToInt32(sp[-3]));
                    Pop(sp);
                    Pop(sp);
                    sp[-1].SetInteger(std::int32_t(set | RangeMask(lo, hi)));
                    NEXT();
                }

                OP(icGlobCall) : XAN_GLOB_CALL(false)
                OP(icGlobCallRef) : XAN_GLOB_CALL(true)
                OP(icMemberCall) : OP(icMemberCallRef) : {
                    SYNC_IP();
                    sp = RunCallHook<&TXANInterpreter::DoMemberCall, false>(thread, *frame, ip, sp);
                    NEXT();
                }
                OP(icUnnamedCall) : {
                    SYNC_IP();
                    sp = RunCallHook<&TXANInterpreter::DoUnnamedCall, false>(thread, *frame, ip, sp);
                    NEXT();
                }
                OP(icUnnamedCallRef) : {
                    SYNC_IP();
                    sp = RunCallHook<&TXANInterpreter::DoUnnamedCallRef, false>(thread, *frame, ip, sp);
                    NEXT();
                }
                OP(icNewUnnamedCall) : {
                    SYNC_IP();
                    sp = RunCallHook<&TXANInterpreter::DoNewUnnamedCall, false>(thread, *frame, ip, sp);
                    NEXT();
                }
                OP(icAssignGlobCall) : {
                    SYNC_IP();
                    TXANCall& call = *ip->DataAs<TXANCall>();
                    const TXANSiteTarget target = call.FSiteCache.Lookup(frame->ThreadVM, frame->CurNS);
                    if (target.IsVariable() && AssignCachedSite(target.Variable(stack, args), call, sp)) {
                        sp = PopCallOperands(*frame, sp, call.FArgCount + 1);
                        NEXT();
                    }
                    DoAssignGlobCall(thread, *frame, call, sp - 1);
                    sp = PopCallOperands(*frame, sp, call.FArgCount + 1);
                    NEXT();
                }
                OP(icAssignMemberCall) : {
                    SYNC_IP();
                    sp = RunCallHook<&TXANInterpreter::DoAssignMemberCall, true>(thread, *frame, ip, sp);
                    NEXT();
                }
                OP(icAssignUnnamedCall) : {
                    SYNC_IP();
                    sp = RunCallHook<&TXANInterpreter::DoAssignUnnamedCall, true>(thread, *frame, ip, sp);
                    NEXT();
                }

                OP(icAssignLValue) : {
                    Variant& ref = sp[-2];
                    if (!ref.IsRef()) RaiseRuntime(retCannotAssign);
                    if (frame->ElementRefs && frame->ElementRefs->StoreThrough(&ref, sp[-1])) {
                        Pop(sp);
                        Pop(sp);
                        NEXT();
                    }
                    XANStoreOperand(ref.DerefMut(), sp[-1]);
                    Pop(sp);
                    Pop(sp);
                    NEXT();
                }
                OP(icAssignLocalVar) : {
                    stack[ip->Data].MoveFrom(*--sp);
                    NEXT();
                }
                OP(icAssignArg) : {
                    XAN_ASSERT(Unit, args);
                    const TXANParamInfo p = ip->Param();
                    Variant& arg = args[p.Index];
                    if (p.Kind == pkConst) RaiseRuntime(retCannotAssign);
                    // A by-value parameter replaces whatever its slot holds (a reference to
                    // the caller's variable included); a by-reference one writes through.
                    (p.Kind == pkByRef ? arg.DerefMut() : arg).MoveFrom(*--sp);
                    NEXT();
                }
                OP(icAssignResult) : {
                    XAN_ASSERT(Unit, result);
                    result->MoveFrom(*--sp);
                    NEXT();
                }
                OP(icAssignGlobalVar) : {
                    ip->DataAs<TXANVarObject>()->Value.MoveFrom(*--sp);
                    NEXT();
                }
                OP(icAssignGlobalConst) : {
                    ip->DataAs<TXANConstObject>()->Value.MoveFrom(*--sp);
                    NEXT();
                }

                OP(icForInitLValue) : {
                    const TXANFor& loop = *ip->DataAs<TXANFor>();
                    Variant& ref = sp[-2];
                    if (!ref.IsRef() || IsElementRef(*frame, &ref)) RaiseRuntime(retLoopVar);
                    Variant& var = ref.DerefMut();
                    XANSetRawAddress(stack[loop.FLoopVarRef], &var);
                    var.MoveFrom(sp[-1]);
                    Pop(sp);
                    Pop(sp);
                    NEXT();
                }
                OP(icForInitLocal) : {
                    const TXANFor& loop = *ip->DataAs<TXANFor>();
                    Variant& var = stack[loop.FLoopLocalVar];
                    XANSetRawAddress(stack[loop.FLoopVarRef], &var);
                    var.MoveFrom(*--sp);
                    NEXT();
                }
                OP(icForInc) : {
                    StepLoop<icForInc>(*ip->DataAs<TXANFor>(), stack);
                    NEXT();
                }
                OP(icForDec) : {
                    StepLoop<icForDec>(*ip->DataAs<TXANFor>(), stack);
                    NEXT();
                }
                OP(icForIncStep) : {
                    const TXANFor& loop = *ip->DataAs<TXANFor>();
                    Variant& var = *XANRawAddress<Variant>(stack[loop.FLoopVarRef]);
                    TXANValueOps::BinaryOp(var, stack[loop.FStepVar], var, boAdd);
                    NEXT();
                }
                OP(icForJmpIfLE) : {
                    const TXANFor& loop = *ip->DataAs<TXANFor>();
                    if (LoopGoesOn(loop, stack, true)) JUMP(loop.FJmpLabel);
                    NEXT();
                }
                OP(icForJmpIfGE) : {
                    const TXANFor& loop = *ip->DataAs<TXANFor>();
                    if (LoopGoesOn(loop, stack, false)) JUMP(loop.FJmpLabel);
                    NEXT();
                }
                OP(icForJmpStep) : {
                    const TXANFor& loop = *ip->DataAs<TXANFor>();
                    // A step of 0 counts as upward.
                    const bool upward = TXANValueOps::Compare(stack[loop.FStepVar], XANInteger0, ckGE);
                    if (LoopGoesOn(loop, stack, upward)) JUMP(loop.FJmpLabel);
                    NEXT();
                }
                OP(icCaseJmpIfEqual) : {
                    // The case value is the left operand, the selector the right.
                    const bool equal = TXANValueOps::Compare(sp[-1], sp[-2], ckEQ);
                    Pop(sp);
                    if (equal) {
                        Pop(sp);
                        JUMP(ip->DataAs<TXANLabel>());
                    }
                    NEXT();
                }
                OP(icCaseJmpIfInRange) : {
                    const Variant& selector = sp[-3];
                    const bool inside = TXANValueOps::Compare(selector, sp[-2], ckGE) &&
                                        TXANValueOps::Compare(selector, sp[-1], ckLE);
                    Pop(sp);
                    Pop(sp);
                    if (inside) {
                        Pop(sp);
                        JUMP(ip->DataAs<TXANLabel>());
                    }
                    NEXT();
                }

                OP(icRaise) : {
                    SYNC_IP();
                    DoRaise(thread, *frame, sp[-1]);
                    // A raise hook that returns has not raised; never fall into the next
                    // instruction as if the statement had completed.
                    AssertFailed(Unit, "the raise hook returned", __FILE__, __LINE__);
                }
                OP(isReraise) : {
                    SYNC_IP();
                    DoReraise(thread, *frame, &stack[ip->Data]);
                    AssertFailed(Unit, "the re-raise hook returned", __FILE__, __LINE__);
                }
                OP(icRaiseEBCFromFinally) : { RaiseRuntime(retEBCFromFinally); }
                OP(icCallFinally) : {
                    const TXANTry& block = *ip->DataAs<TXANTry>();
                    // Running as the copy a breakpoint made, the finally code must come back
                    // to the real next instruction: the copy may be overwritten by a breakpoint
                    // inside the finally code.
                    const PXANInstr next = ip == frame->BreakCopy ? frame->BreakCopy[1].DataAs<TXANInstr>() : ip + 1;
                    XANSetRawAddress(stack[block.FFinallyRetVar], next);
                    JUMP(block.FFinallyLabel);
                }
                OP(icFinallyRet) : {
                    ip = XANRawAddress<TXANInstr>(stack[ip->DataAs<TXANTry>()->FFinallyRetVar]);
                    DISPATCH();
                }
                OP(icExceptJmpIfIs) : {
                    SYNC_IP();
                    TXANExcJump& jump = *ip->DataAs<TXANExcJump>();
                    const bool matches = DoExceptJmpIfIs(thread, *frame, jump, sp[-1]);
                    Pop(sp);
                    if (matches) JUMP(jump.FLabel);
                    NEXT();
                }
                OP(icExceptDone) : {
                    SYNC_IP();
                    DoExceptDone(thread, *frame);
                    NEXT();
                }
                OP(icExceptToVar) : {
                    SYNC_IP();
                    sp->Clear();
                    DoExceptToVar(thread, *frame, &stack[ip->Data], *sp);
                    ++sp;
                    NEXT();
                }
                OP(icSetNamespace) : {
                    frame->CurNS = ip->DataAs<TXANAbstractNamespace>();
                    NEXT();
                }

                OP(icArrayCreate) : {
                    const TXANArray& array = *ip->DataAs<TXANArray>();
                    Variant* bounds = sp - 2 * array.FDimCount;
                    {  // no Variant may live across a computed goto
                        Variant created = XANCreateArray(array, bounds);
                        sp = XANPopTo(sp, bounds + 1);
                        bounds->MoveFrom(created);
                    }
                    NEXT();
                }
                OP(icArrayRedimLValue) : {
                    const TXANArrayRedim& redim = *ip->DataAs<TXANArrayRedim>();
                    Variant* bounds = sp - 2 * redim.FDimCount;
                    Variant& ref = bounds[-1];
                    if (!ref.IsRef() || IsElementRef(*frame, &ref)) RaiseRuntime(retCannotAssign);
                    XANRedimArray(redim, bounds, ref);
                    sp = XANPopTo(sp, bounds - 1);
                    NEXT();
                }
                OP(icArrayRedimLocal) : {
                    const TXANArrayRedim& redim = *ip->DataAs<TXANArrayRedim>();
                    Variant* bounds = sp - 2 * redim.FDimCount;
                    XANRedimArray(redim, bounds, stack[redim.FArrayLocalVar]);
                    sp = XANPopTo(sp, bounds);
                    NEXT();
                }
                OP(icEventHandlerMake) : {
                    SYNC_IP();
                    sp->Clear();
                    MakeEventHandler(*ip->DataAs<const UString>(), *sp);
                    ++sp;
                    NEXT();
                }

                // The fused instructions, one case per row of the table.
                XAN_FUSED_CODES(XAN_FUSED_CASE)

                default:
#if XAN_COMPUTED_GOTO
                L_invalid:
#endif
                    RaiseRuntime(retIEInvalidInstr);
            }
        } catch (...) {
            frame->IP = ip;
            ip = RouteException(thread, frame, &AEntry);
            LoadFrame(*frame, stack, args, result);
            sp = frame->LocalsEnd;
        }
    }
}

#undef XAN_CODE
#undef DISPATCH
#undef OP
#undef NEXT
#undef JUMP
#undef SYNC_IP
#undef XAN_GO_TO
#undef XAN_FUSED_CASE
#undef XAN_ENTER
#undef XAN_GLOB_CALL
#if XAN_COMPUTED_GOTO
#undef XAN_LABEL_ADDR
#undef XAN_INVALID4
#undef XAN_INVALID16
#undef XAN_INVALID64
#undef XAN_INVALID256
#endif

}  // namespace xan
