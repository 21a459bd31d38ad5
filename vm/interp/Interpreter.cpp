// The dispatch loop. Every instruction is one block; control goes from block to block through
// a table of label addresses (computed goto) where the compiler offers it, else through a
// switch. The stack top and the instruction pointer live in locals; the frame's IP is written
// only where somebody else may look at it (hooks, breaks, exceptions).
#include "vm/interp/Interpreter.h"

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

// A comparison followed by icPopJmpIfFalse / icPopJmpIfTrue (at AAfter) branches at once: where
// control goes for AAnswer, the Boolean never stored. None when the next instruction is another
// (a breakpoint patched onto it included).
inline PXANInstr BranchTarget(PXANInstr AAfter, bool AAnswer) noexcept {
    const std::uint8_t code = AAfter->LoadCode();
    if (code != icPopJmpIfFalse && code != icPopJmpIfTrue) return nullptr;
    return AAnswer == (code == icPopJmpIfTrue) ? AAfter->DataAs<TXANLabel>()->FTarget : AAfter + 1;
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

// Push a scalar (raw bits of type AType) or a Double onto the Empty slot above the top.
inline void PushScalar(Variant*& sp, VarType AType, std::int64_t ABits) noexcept {
    sp->VType = AType;
    sp->VInt64 = ABits;
    ++sp;
}
inline void PushDouble(Variant*& sp, double AValue) noexcept {
    sp->VType = varDouble;
    sp->VDouble = AValue;
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
    if (FActivationHooks) OnActivationLeave(AThread, AFrame);
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
    if (FActivationHooks) OnActivationEnter(AThread, activation.Frame);
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
        if (FActivationHooks) OnActivationEnter(AThread, callee);
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

void TXANInterpreter::Run(TXANThread& AThread, TXANCallStackFrame& AEntry) {
    TXANThread& thread = AThread;
    TXANCallStackFrame* frame = &AEntry;
    // The running frame's slots and context, reloaded whenever the frame changes.
    Variant* stack;
    Variant* args;
    Variant* result;
#define XAN_LOAD_FRAME()                                          \
    do {                                                          \
        const TXANVMInterpretContext& ctx = *frame->Ctx;          \
        stack = frame->Stack;                                     \
        args = ctx.Args;                                          \
        result = ctx.Result;                                      \
    } while (0)
    XAN_LOAD_FRAME();
    PXANInstr ip = frame->IP;
    Variant* sp = frame->LocalsEnd;  // one above the top of the operand stack: TOS is sp[-1]

// A running machine's flag has every bit set, a terminating one's none, so the code indexes a
// table that covers every byte value (no mask needed) and becomes icBreak on termination.
#define XAN_CODE() DispatchIndex(ip, FTerminateFlag.load(std::memory_order_relaxed))
#if XAN_COMPUTED_GOTO
#define XAN_LABEL_ADDR(name, ...) &&L_##name,
#define XAN_INVALID1 &&L_invalid,
#define XAN_INVALID4 XAN_INVALID1 XAN_INVALID1 XAN_INVALID1 XAN_INVALID1
#define XAN_INVALID16 XAN_INVALID4 XAN_INVALID4 XAN_INVALID4 XAN_INVALID4
#define XAN_INVALID64 XAN_INVALID16 XAN_INVALID16 XAN_INVALID16 XAN_INVALID16
    static void* const dispatchTable[] = {XAN_INSTR_CODES(XAN_LABEL_ADDR) XAN_INVALID64 XAN_INVALID16 XAN_INVALID16
                                              XAN_INVALID16 XAN_INVALID1 XAN_INVALID1 XAN_INVALID1};
    static_assert(sizeof(dispatchTable) / sizeof(dispatchTable[0]) == 256, "one entry per byte value");
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
#define SYNC_IP() (frame->IP = ip)

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
                    copy[0] = *ip;
                    // Unfused: what follows the copy is the jump back, not the rest of a group.
                    copy[0].Code = XANUnfusedCode(static_cast<TXANInstrCode>(covered));
                    copy[1] = *ip;
                    copy[1].Code = icBreakpointJmp;
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
                    XAN_LOAD_FRAME();
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
                    XAN_ASSERT(Unit, args);
                    XANPushCopy(sp, args[ip->Param().Index].Deref());
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

#define XAN_COMPARE(kind, cmp)                                                       \
    {                                                                                \
        Variant& l = sp[-2];                                                         \
        const Variant& r = sp[-1];                                                   \
        if (l.VType == varInteger && r.VType == varInteger) {                        \
            const bool answer = l.VInteger cmp r.VInteger;                           \
            if (const PXANInstr to = BranchTarget(ip + 1, answer)) {                 \
                PopScalar(sp);                                                       \
                PopScalar(sp);                                                       \
                ip = to;                                                             \
                DISPATCH();                                                          \
            }                                                                        \
            l.SetRaw(varBoolean, answer ? VarTrue : VarFalse);                       \
            PopScalar(sp);                                                           \
            NEXT();                                                                  \
        }                                                                            \
        const bool answer = TXANValueOps::Compare(l, r, kind);                       \
        Pop(sp);                                                                     \
        sp[-1].SetBool(answer);                                                      \
        NEXT();                                                                      \
    }
                OP(icGreater) : XAN_COMPARE(ckGT, >)
                OP(icGreaterEqual) : XAN_COMPARE(ckGE, >=)
                OP(icLess) : XAN_COMPARE(ckLT, <)
                OP(icLessEqual) : XAN_COMPARE(ckLE, <=)
                OP(icEqual) : XAN_COMPARE(ckEQ, ==)
                OP(icNotEqual) : XAN_COMPARE(ckNE, !=)
#undef XAN_COMPARE
#define XAN_REF_COMPARE(kind)                                            \
    {                                                                    \
        const bool answer = TXANValueOps::Compare(sp[-2], sp[-1], kind); \
        Pop(sp);                                                         \
        sp[-1].SetBool(answer);                                          \
        NEXT();                                                          \
    }
                // Shared bodies take their variant as a constant: re-reading the code byte
                // could see a breakpoint patched in by another thread meanwhile.
                OP(icRefEqual) : XAN_REF_COMPARE(ckRefEQ)
                OP(icRefNotEqual) : XAN_REF_COMPARE(ckRefNE)
#undef XAN_REF_COMPARE
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

#define XAN_ARITH(op, intFast, floatExpr)                                    \
    {                                                                        \
        Variant& l = sp[-2];                                                 \
        const Variant& r = sp[-1];                                           \
        if (l.VType == varInteger && r.VType == varInteger) {                \
            std::int32_t out;                                                \
            if (!intFast(l.VInteger, r.VInteger, &out)) {                    \
                l.VInteger = out;                                            \
                PopScalar(sp);                                               \
                NEXT();                                                      \
            }                                                                \
        } else if (l.VType == varDouble && r.VType == varDouble) {           \
            l.VDouble = l.VDouble floatExpr r.VDouble;                       \
            PopScalar(sp);                                                   \
            NEXT();                                                          \
        }                                                                    \
        TXANValueOps::BinaryOp(l, r, l, op);                                 \
        Pop(sp);                                                             \
        NEXT();                                                              \
    }
                OP(icPlus) : XAN_ARITH(boAdd, __builtin_add_overflow, +)
                OP(icMinus) : XAN_ARITH(boSubtract, __builtin_sub_overflow, -)
                OP(icMultiply) : XAN_ARITH(boMultiply, __builtin_mul_overflow, *)
#undef XAN_ARITH

#define XAN_BINARY(op)                                   \
    {                                                    \
        TXANValueOps::BinaryOp(sp[-2], sp[-1], sp[-2], op); \
        Pop(sp);                                         \
        NEXT();                                          \
    }
                OP(icStrConcat) : XAN_BINARY(boConcat)
                OP(icImp) : XAN_BINARY(boImp)
                OP(icEqv) : XAN_BINARY(boEqv)
                OP(icOr) : XAN_BINARY(boOr)
                OP(icXor) : XAN_BINARY(boXor)
                OP(icDivide) : XAN_BINARY(boDivide)
                OP(icIntDiv) : XAN_BINARY(boIntDiv)
                OP(icAnd) : XAN_BINARY(boAnd)
                OP(icShl) : XAN_BINARY(boShl)
                OP(icShr) : XAN_BINARY(boShr)
                OP(icPower) : XAN_BINARY(boPower)
#undef XAN_BINARY
                OP(icMod) : {
                    // Integers stay in the loop; a zero divisor (an error) and -1 (whose
                    // quotient can overflow) take the general operation.
                    Variant& l = sp[-2];
                    const Variant& r = sp[-1];
                    if (l.VType == varInteger && r.VType == varInteger && r.VInteger != 0 && r.VInteger != -1) {
                        l.VInteger %= r.VInteger;
                        PopScalar(sp);
                        NEXT();
                    }
                    TXANValueOps::BinaryOp(l, r, l, boMod);
                    Pop(sp);
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
#define XAN_POP_JMP_IF_EQUAL(whenEqual)                                   \
    {                                                                     \
        const bool equal = TXANValueOps::Compare(sp[-2], sp[-1], ckEQ);   \
        Pop(sp);                                                          \
        Pop(sp);                                                          \
        if (equal == (whenEqual)) JUMP(ip->DataAs<TXANLabel>());          \
        NEXT();                                                           \
    }
                OP(icPopJmpIfEqual) : XAN_POP_JMP_IF_EQUAL(true)
                OP(icPopJmpIfNotEqual) : XAN_POP_JMP_IF_EQUAL(false)
#undef XAN_POP_JMP_IF_EQUAL
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
                OP(icGlobCall) : XAN_GLOB_CALL(false)
                OP(icGlobCallRef) : XAN_GLOB_CALL(true)
#undef XAN_GLOB_CALL
#undef XAN_ENTER
// The machine's hook for the instruction's call operand (`call`), then its operands popped.
#define XAN_HOOK_CALL(hook, removed)                     \
    {                                                    \
        hook(thread, *frame, call, sp - 1);              \
        CompleteElementRefs(*frame, sp - (removed), sp); \
        sp = XANPopTo(sp, sp - (removed));               \
        NEXT();                                          \
    }
#define XAN_CALL(hook, removed)                   \
    {                                             \
        SYNC_IP();                                \
        TXANCall& call = *ip->DataAs<TXANCall>(); \
        XAN_HOOK_CALL(hook, removed)              \
    }
                OP(icMemberCall) : OP(icMemberCallRef) : XAN_CALL(DoMemberCall, call.FResOffset)
                OP(icUnnamedCall) : OP(icUnnamedCallRef) : XAN_CALL(DoUnnamedCall, call.FResOffset)
                OP(icNewUnnamedCall) : XAN_CALL(DoNewUnnamedCall, call.FResOffset)
                OP(icAssignGlobCall) : {
                    SYNC_IP();
                    TXANCall& call = *ip->DataAs<TXANCall>();
                    const TXANSiteTarget target = call.FSiteCache.Lookup(frame->ThreadVM, frame->CurNS);
                    if (target && !target.IsProc() && AssignCachedSite(target.Variable(stack, args), call, sp)) {
                        CompleteElementRefs(*frame, sp - (call.FArgCount + 1), sp);
                        sp = XANPopTo(sp, sp - (call.FArgCount + 1));
                        NEXT();
                    }
                    XAN_HOOK_CALL(DoAssignGlobCall, call.FArgCount + 1)
                }
                OP(icAssignMemberCall) : XAN_CALL(DoAssignMemberCall, call.FArgCount + 2)
                OP(icAssignUnnamedCall) : XAN_CALL(DoAssignUnnamedCall, call.FArgCount + 2)
#undef XAN_CALL
#undef XAN_HOOK_CALL

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
#define XAN_FOR_STEP_ONE(overflows, op)                                          \
    {                                                                            \
        const TXANFor& loop = *ip->DataAs<TXANFor>();                            \
        Variant& var = *XANRawAddress<Variant>(stack[loop.FLoopVarRef]);         \
        std::int32_t out;                                                        \
        if (var.VType == varInteger && !overflows(var.VInteger, 1, &out))        \
            var.VInteger = out;                                                  \
        else                                                                     \
            TXANValueOps::BinaryOp(var, XANInteger1, var, op);                   \
        NEXT();                                                                  \
    }
                OP(icForInc) : XAN_FOR_STEP_ONE(__builtin_add_overflow, boAdd)
                OP(icForDec) : XAN_FOR_STEP_ONE(__builtin_sub_overflow, boSubtract)
#undef XAN_FOR_STEP_ONE
                OP(icForIncStep) : {
                    const TXANFor& loop = *ip->DataAs<TXANFor>();
                    Variant& var = *XANRawAddress<Variant>(stack[loop.FLoopVarRef]);
                    TXANValueOps::BinaryOp(var, stack[loop.FStepVar], var, boAdd);
                    NEXT();
                }
#define XAN_FOR_JUMP(direction)                                                    \
    {                                                                              \
        const TXANFor& loop = *ip->DataAs<TXANFor>();                              \
        const bool upward = direction;                                             \
        const Variant& var = *XANRawAddress<Variant>(stack[loop.FLoopVarRef]);     \
        const Variant& last = stack[loop.FToVar];                                  \
        bool taken;                                                                \
        if (var.VType == varInteger && last.VType == varInteger)                   \
            taken = upward ? var.VInteger <= last.VInteger : var.VInteger >= last.VInteger; \
        else                                                                       \
            taken = TXANValueOps::Compare(var, last, upward ? ckLE : ckGE);        \
        if (taken) JUMP(loop.FJmpLabel);                                           \
        NEXT();                                                                    \
    }
                OP(icForJmpIfLE) : XAN_FOR_JUMP(true)
                OP(icForJmpIfGE) : XAN_FOR_JUMP(false)
                // A step of 0 counts as upward.
                OP(icForJmpStep) : XAN_FOR_JUMP(TXANValueOps::Compare(stack[loop.FStepVar], XANInteger0, ckGE))
#undef XAN_FOR_JUMP

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

                // ---- Fused pairs (vm/bytecode/Fusion.h): the short way skips the pair's second
                // ---- instruction; otherwise the first does its own work and the second runs.
#define XAN_SKIP_PAIR()  \
    do {                 \
        ip += 2;         \
        DISPATCH();      \
    } while (0)
#define XAN_ARG() (XAN_ASSERT(Unit, args), args[ip->Param().Index].Deref())
#define XAN_FUSED_ARITH(operand, intFast, floatExpr)                       \
    {                                                                      \
        const VarData& r = operand;                                        \
        Variant& l = sp[-1];                                               \
        if (l.VType == varInteger && r.VType == varInteger) {              \
            std::int32_t out;                                              \
            if (!intFast(l.VInteger, r.VInteger, &out)) {                  \
                l.VInteger = out;                                          \
                XAN_SKIP_PAIR();                                           \
            }                                                              \
        } else if (l.VType == varDouble && r.VType == varDouble) {         \
            l.VDouble = l.VDouble floatExpr r.VDouble;                     \
            XAN_SKIP_PAIR();                                               \
        }                                                                  \
        XANPushCopy(sp, r);                                                \
        NEXT();                                                            \
    }
                OP(icLiteralPlus) : XAN_FUSED_ARITH(*ip->DataAs<const Variant>(), __builtin_add_overflow, +)
                OP(icLiteralMinus) : XAN_FUSED_ARITH(*ip->DataAs<const Variant>(), __builtin_sub_overflow, -)
                OP(icLiteralMultiply) : XAN_FUSED_ARITH(*ip->DataAs<const Variant>(), __builtin_mul_overflow, *)
                OP(icLocalPlus) : XAN_FUSED_ARITH(stack[ip->Data], __builtin_add_overflow, +)
                OP(icLocalMinus) : XAN_FUSED_ARITH(stack[ip->Data], __builtin_sub_overflow, -)
                OP(icLocalMultiply) : XAN_FUSED_ARITH(stack[ip->Data], __builtin_mul_overflow, *)
                OP(icArgPlus) : XAN_FUSED_ARITH(XAN_ARG(), __builtin_add_overflow, +)
                OP(icArgMinus) : XAN_FUSED_ARITH(XAN_ARG(), __builtin_sub_overflow, -)
                OP(icArgMultiply) : XAN_FUSED_ARITH(XAN_ARG(), __builtin_mul_overflow, *)
#undef XAN_FUSED_ARITH
                OP(icLiteralMod) : {
                    const Variant& r = *ip->DataAs<const Variant>();
                    Variant& l = sp[-1];
                    if (l.VType == varInteger && r.VType == varInteger && r.VInteger != 0 &&
                        r.VInteger != -1) {
                        l.VInteger %= r.VInteger;
                        XAN_SKIP_PAIR();
                    }
                    XANPushCopy(sp, r);
                    NEXT();
                }
#define XAN_FUSED_COMPARE(operand, cmp)                                        \
    {                                                                          \
        const VarData& r = operand;                                            \
        Variant& l = sp[-1];                                                   \
        if (l.VType == varInteger && r.VType == varInteger) {                  \
            const bool answer = l.VInteger cmp r.VInteger;                     \
            if (const PXANInstr to = BranchTarget(ip + 2, answer)) {           \
                PopScalar(sp);                                                 \
                ip = to;                                                       \
                DISPATCH();                                                    \
            }                                                                  \
            l.SetRaw(varBoolean, answer ? VarTrue : VarFalse);                 \
            XAN_SKIP_PAIR();                                                   \
        }                                                                      \
        XANPushCopy(sp, r);                                                    \
        NEXT();                                                                \
    }
                OP(icLiteralLess) : XAN_FUSED_COMPARE(*ip->DataAs<const Variant>(), <)
                OP(icLiteralLessEqual) : XAN_FUSED_COMPARE(*ip->DataAs<const Variant>(), <=)
                OP(icLiteralGreater) : XAN_FUSED_COMPARE(*ip->DataAs<const Variant>(), >)
                OP(icLiteralGreaterEqual) : XAN_FUSED_COMPARE(*ip->DataAs<const Variant>(), >=)
                OP(icLiteralEqual) : XAN_FUSED_COMPARE(*ip->DataAs<const Variant>(), ==)
                OP(icLiteralNotEqual) : XAN_FUSED_COMPARE(*ip->DataAs<const Variant>(), !=)
                OP(icLocalLess) : XAN_FUSED_COMPARE(stack[ip->Data], <)
                OP(icLocalLessEqual) : XAN_FUSED_COMPARE(stack[ip->Data], <=)
                OP(icLocalGreater) : XAN_FUSED_COMPARE(stack[ip->Data], >)
                OP(icLocalGreaterEqual) : XAN_FUSED_COMPARE(stack[ip->Data], >=)
                OP(icArgLess) : XAN_FUSED_COMPARE(XAN_ARG(), <)
                OP(icArgLessEqual) : XAN_FUSED_COMPARE(XAN_ARG(), <=)
                OP(icArgGreater) : XAN_FUSED_COMPARE(XAN_ARG(), >)
                OP(icArgGreaterEqual) : XAN_FUSED_COMPARE(XAN_ARG(), >=)
#undef XAN_FUSED_COMPARE
// A triple "push an argument or local (left), push a literal or local, operate": for integers (and, in
// arithmetic, doubles) the result replaces all three and a comparison may branch at once; else
// the push runs alone and the fused pair after it does the rest.
#define XAN_SKIP_TRIPLE() \
    do {                  \
        ip += 3;          \
        DISPATCH();       \
    } while (0)
#define XAN_TRIPLE_ARITH(left, right, intFast, floatExpr)                                \
    {                                                                                    \
        const VarData& l = left;                                                         \
        const VarData& r = right;                                                        \
        std::int32_t out;                                                                \
        if (l.VType == varInteger && r.VType == varInteger && !intFast(l.VInteger, r.VInteger, &out)) { \
            PushScalar(sp, varInteger, out);                                             \
            XAN_SKIP_TRIPLE();                                                           \
        }                                                                                \
        if (l.VType == varDouble && r.VType == varDouble) {                              \
            PushDouble(sp, l.VDouble floatExpr r.VDouble);                               \
            XAN_SKIP_TRIPLE();                                                           \
        }                                                                                \
        XANPushCopy(sp, l);                                                              \
        NEXT();                                                                          \
    }
#define XAN_TRIPLE_COMPARE(left, right, cmp)                                             \
    {                                                                                    \
        const VarData& l = left;                                                         \
        if (l.VType == varInteger) {                                                     \
            const VarData& r = right;                                                    \
            if (r.VType == varInteger) {                                                 \
                const bool answer = l.VInteger cmp r.VInteger;                           \
                if (const PXANInstr to = BranchTarget(ip + 3, answer)) {                 \
                    ip = to;                                                             \
                    DISPATCH();                                                          \
                }                                                                        \
                PushScalar(sp, varBoolean, answer ? VarTrue : VarFalse);                 \
                XAN_SKIP_TRIPLE();                                                       \
            }                                                                            \
        }                                                                                \
        XANPushCopy(sp, l);                                                              \
        NEXT();                                                                          \
    }
#define XAN_LITERAL2 (*ip[1].DataAs<const Variant>())
#define XAN_LOCAL2 (stack[ip[1].Data])
                OP(icArgLiteralPlus) : XAN_TRIPLE_ARITH(XAN_ARG(), XAN_LITERAL2, __builtin_add_overflow, +)
                OP(icArgLiteralMinus) : XAN_TRIPLE_ARITH(XAN_ARG(), XAN_LITERAL2, __builtin_sub_overflow, -)
                OP(icArgLiteralMultiply) :
                    XAN_TRIPLE_ARITH(XAN_ARG(), XAN_LITERAL2, __builtin_mul_overflow, *)
                OP(icArgLiteralLess) : XAN_TRIPLE_COMPARE(XAN_ARG(), XAN_LITERAL2, <)
                OP(icArgLiteralLessEqual) : XAN_TRIPLE_COMPARE(XAN_ARG(), XAN_LITERAL2, <=)
                OP(icArgLiteralGreater) : XAN_TRIPLE_COMPARE(XAN_ARG(), XAN_LITERAL2, >)
                OP(icArgLiteralGreaterEqual) : XAN_TRIPLE_COMPARE(XAN_ARG(), XAN_LITERAL2, >=)
                OP(icArgLiteralEqual) : XAN_TRIPLE_COMPARE(XAN_ARG(), XAN_LITERAL2, ==)
                OP(icArgLiteralNotEqual) : XAN_TRIPLE_COMPARE(XAN_ARG(), XAN_LITERAL2, !=)
                OP(icLocalLiteralPlus) : XAN_TRIPLE_ARITH(stack[ip->Data], XAN_LITERAL2, __builtin_add_overflow, +)
                OP(icLocalLiteralMinus) :
                    XAN_TRIPLE_ARITH(stack[ip->Data], XAN_LITERAL2, __builtin_sub_overflow, -)
                OP(icLocalLiteralLess) : XAN_TRIPLE_COMPARE(stack[ip->Data], XAN_LITERAL2, <)
                OP(icLocalLiteralLessEqual) : XAN_TRIPLE_COMPARE(stack[ip->Data], XAN_LITERAL2, <=)
                OP(icLocalLiteralGreater) : XAN_TRIPLE_COMPARE(stack[ip->Data], XAN_LITERAL2, >)
                OP(icLocalLiteralGreaterEqual) :
                    XAN_TRIPLE_COMPARE(stack[ip->Data], XAN_LITERAL2, >=)
                OP(icLocalLocalPlus) : XAN_TRIPLE_ARITH(stack[ip->Data], XAN_LOCAL2, __builtin_add_overflow, +)
                OP(icLocalLocalMinus) : XAN_TRIPLE_ARITH(stack[ip->Data], XAN_LOCAL2, __builtin_sub_overflow, -)
                OP(icLocalLocalMultiply) : XAN_TRIPLE_ARITH(stack[ip->Data], XAN_LOCAL2, __builtin_mul_overflow, *)
                OP(icLocalLocalLess) : XAN_TRIPLE_COMPARE(stack[ip->Data], XAN_LOCAL2, <)
                OP(icLocalLocalLessEqual) : XAN_TRIPLE_COMPARE(stack[ip->Data], XAN_LOCAL2, <=)
                OP(icLocalLocalGreater) : XAN_TRIPLE_COMPARE(stack[ip->Data], XAN_LOCAL2, >)
                OP(icLocalLocalGreaterEqual) : XAN_TRIPLE_COMPARE(stack[ip->Data], XAN_LOCAL2, >=)
// "Result := argument / local": the value goes straight to the result.
#define XAN_FUSED_ASSIGN_RESULT(value)           \
    {                                            \
        const VarData& v = value;                \
        XAN_ASSERT(Unit, result);                \
        result->Assign(v);                       \
        XAN_SKIP_PAIR();                         \
    }
                OP(icArgAssignResult) : XAN_FUSED_ASSIGN_RESULT(XAN_ARG())
                OP(icLocalAssignResult) : XAN_FUSED_ASSIGN_RESULT(stack[ip->Data])
#undef XAN_FUSED_ASSIGN_RESULT
#undef XAN_ARG
#undef XAN_LITERAL2
#undef XAN_LOCAL2
#undef XAN_TRIPLE_COMPARE
#undef XAN_TRIPLE_ARITH
#undef XAN_SKIP_TRIPLE
#define XAN_FUSED_FOR_STEP(overflows, op, cmp)                                            \
    {                                                                                     \
        const TXANFor& loop = *ip->DataAs<TXANFor>();                                     \
        Variant& var = *XANRawAddress<Variant>(stack[loop.FLoopVarRef]);                  \
        const Variant& last = stack[loop.FToVar];                                         \
        std::int32_t out;                                                                 \
        if (var.VType == varInteger && last.VType == varInteger &&                        \
            !overflows(var.VInteger, 1, &out)) {                                          \
            var.VInteger = out;                                                           \
            if (out cmp last.VInteger) JUMP(loop.FJmpLabel);                              \
            XAN_SKIP_PAIR();                                                              \
        }                                                                                 \
        TXANValueOps::BinaryOp(var, XANInteger1, var, op);                                \
        NEXT();                                                                           \
    }
                OP(icForIncJmpIfLE) : XAN_FUSED_FOR_STEP(__builtin_add_overflow, boAdd, <=)
                OP(icForDecJmpIfGE) : XAN_FUSED_FOR_STEP(__builtin_sub_overflow, boSubtract, >=)
#undef XAN_FUSED_FOR_STEP
#undef XAN_SKIP_PAIR

                default:
#if XAN_COMPUTED_GOTO
                L_invalid:
#endif
                    RaiseRuntime(retIEInvalidInstr);
            }
        } catch (...) {
            frame->IP = ip;
            ip = RouteException(thread, frame, &AEntry);
            XAN_LOAD_FRAME();
            sp = frame->LocalsEnd;
        }
    }
#undef XAN_LOAD_FRAME
#undef XAN_CODE
#undef DISPATCH
#undef OP
#undef NEXT
#undef JUMP
#undef SYNC_IP
#if XAN_COMPUTED_GOTO
#undef XAN_LABEL_ADDR
#undef XAN_INVALID1
#undef XAN_INVALID4
#undef XAN_INVALID16
#undef XAN_INVALID64
#endif
}

}  // namespace xan
