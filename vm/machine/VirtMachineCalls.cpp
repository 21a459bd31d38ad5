// The machine's call instructions: every use of a name that code generation left to run time,
// every member access and every indexing of a value.
#include "platform/core/Assert.h"
#include "platform/ole/SafeArray.h"
#include "vm/bytecode/ByteCode.h"
#include "vm/interp/ElementAccess.h"
#include "vm/interp/ElementRefs.h"
#include "vm/interp/HostDispatch.h"
#include "vm/interp/SlotOps.h"
#include "vm/interp/VMErrors.h"
#include "vm/machine/CodeObject.h"
#include "vm/machine/ThreadGlobals.h"
#include "vm/machine/VMIndexes.h"
#include "vm/machine/VirtMachine.h"

namespace xan {

using plat::Variant;

namespace {

Variant* ArgsOf(Variant* ATop, const TXANCall& ACall) noexcept { return ATop - ACall.FArgsOffset; }
Variant& ResultOf(Variant* ATop, const TXANCall& ACall) noexcept { return *(ATop - ACall.FResOffset); }
Variant& ObjectSlotOf(Variant* ATop, const TXANCall& ACall) noexcept { return *(ATop - ACall.FObjectOffset); }

// Inside a function whose own name denotes its result, F(x) calls F: the parents of the
// current scope are asked until one answers something other than the result variable.
TXANNameSearchRes FindInParentsPastResult(TXANThread& AThread, TXANCallStackFrame& AFrame, TXANCall& ACall) {
    for (TXANAbstractNamespace* ns = AFrame.CurNS->Parent(); ns; ns = ns->Parent()) {
        TXANNameSearchRes r = ns->Find(&AThread, ACall.FName, &ACall.FStrName);
        if (r.ObjKind != srResult) return r;
    }
    return TXANNameSearchRes::Result();
}

// F(x), and F x as a statement, call F even inside F; a bare F (or F[i]) is its result.
bool CallsPastResult(const TXANCall& ACall) noexcept {
    return ACall.FBracketType == bkVbRound || (ACall.FBracketType == bkNon && ACall.FArgCount > 0);
}

// What ACall's name denotes in the frame's scope, from the thread's call-site cache when this
// site resolved it before. AVMIndex is the running machine's index. APastResult: a call with
// round brackets looks past the function's result variable (the answer is cached as such, so
// a recursive call does not search the parent scopes every time).
TXANNameSearchRes FindCallName(TXANThread& AThread, TXANCallStackFrame& AFrame, TXANCall& ACall,
                               std::int32_t AVMIndex, bool APastResult) {
    TXANThreadVM* threadVM = AFrame.ThreadVM;
    if (!threadVM) threadVM = AFrame.ThreadVM = TVMIndexes::ThreadVMOf(&AThread, AVMIndex);
    TXANSiteNameCache* cache = threadVM ? &threadVM->FGlobals->CurrentSiteCache() : nullptr;
    TXANNameSearchRes r;
    if (cache && cache->Lookup(&ACall, AFrame.CurNS, ACall.FName, r)) return r;
    r = AFrame.CurNS->Find(&AThread, ACall.FName, &ACall.FStrName);
    if (r.ObjKind == srResult && APastResult) r = FindInParentsPastResult(AThread, AFrame, ACall);
    if (cache) cache->Store(&ACall, AFrame.CurNS, ACall.FName, r);
    return r;
}

// What this site resolved its name to before, when the thread's view of the globals is still
// the one of the machine's host-object table AChangeNumber: without refreshing anything.
inline bool CachedCallName(const TXANCallStackFrame& AFrame, const TXANCall& ACall, std::int32_t AChangeNumber,
                           TXANNameSearchRes& ARes) {
    TXANSiteNameCache* cache = AFrame.ThreadVM ? AFrame.ThreadVM->FGlobals->SiteCacheIfCurrent(AChangeNumber) : nullptr;
    return cache && cache->Lookup(&ACall, AFrame.CurNS, ACall.FName, ARes);
}

// Lets the dispatch loop do by itself what the site ACall, found in the site-name cache as of
// code epoch AEpoch, just did with ATarget: call the procedure, read, write or pass the
// variable (argument-less sites), or index it in place (one index).
void Remember(const TXANCallStackFrame& AFrame, TXANCall& ACall, std::uint32_t AEpoch, TXANSiteTarget ATarget) noexcept {
    ACall.FSiteCache.Store(AFrame.ThreadVM, AFrame.CurNS, AEpoch, ATarget);
}

}  // namespace

TXANCallExit TXANVirtMachine::CallStatement(const TXANNameSearchRes& ARes, TXANCall& ACall, bool ARef) {
    if (ACall.FBracketType != bkNon || ACall.FResMask != 0 || ARef) EXANVMRuntime::RaiseError(retTypeMismatch);
    TXANLabel* label = ARes.ObjKind == srExit    ? ACall.FExitLabel
                       : ARes.ObjKind == srBreak ? ACall.FBreakLabel
                                                 : ACall.FContinueLabel;
    if (label) return {TXANCallExit::ceJump, {label->FTarget}};
    if (ARes.ObjKind == srExit) return {TXANCallExit::ceReturn, {nullptr}};
    EXANVMRuntime::RaiseError(retOutsideOfLoop);
}

TXANCallExit TXANVirtMachine::CallScriptProc(TXANProcObject& AProc, TXANCall& ACall, Variant* AArgs) {
    if (ACall.FBracketType == bkBlock) EXANVMRuntime::RaiseError(retTypeMismatch);
    if (ACall.FArgCount != AProc.ParamCount()) EXANVMRuntime::RaiseError(retInvalidParamCount);
    if (ACall.FResMask != 0 && AProc.FResMask == 0) EXANVMRuntime::RaiseError(retTypeMismatch);
    TXANByteCode* code = AProc.ByteCode();
    XAN_ASSERT("XANSctVM", code && code->Count() > 0);  // the dispatch loop enters it unchecked
    AProc.TakeByValueCopies(AArgs);
    return TXANCallExit::Enter(code);
}

void TXANVirtMachine::CallExternalMember(TXANThread& AThread, const TXANNameSearchRes& ARes, TXANCall& ACall,
                                         Variant* AArgs, Variant& AResult) {
    TXANExternObject* ext = ARes.Extern();
    if (ext->FCodeObject)
        ext->FCodeObject->InvokeMember(AThread, ARes.DispId, ACall.FBracketType, ACall.FResMask, ACall.FArgCount, AArgs,
                                       AResult);
    else
        XANInvokeHostMember(ext->FObj, ARes.DispId, ACall.FBracketType, ACall.FResMask, ACall.FArgCount, AArgs,
                            AResult);
}

// The value a name denotes: a copy, or (ARef) a reference where the name is a variable.
static void LoadValueOf(TXANCallStackFrame& AFrame, const TXANNameSearchRes& ARes, bool ARef, Variant& AValue) {
    const TXANVMInterpretContext& ctx = *AFrame.Ctx;
    switch (ARes.ObjKind) {
        case srExternal: AValue = Variant(ARes.Extern()->FObj); return;
        case srGlobalVar:
            if (ARef)
                AValue = Variant::RefTo(&ARes.ValuedObject()->Value);
            else
                AValue.Assign(ARes.ValuedObject()->Value);
            return;
        case srGlobalConst: AValue.Assign(ARes.ValuedObject()->Value); return;
        case srLocalVar: {
            Variant& slot = AFrame.Stack[ARes.LocalVarIndex];
            if (ARef)
                AValue = Variant::RefTo(&slot);
            else
                AValue.Assign(slot.Deref());
            return;
        }
        case srLocalConst: AValue.Assign(*ARes.LocalConst); return;
        case srLocalConstSlot: AValue.Assign(AFrame.Stack[ARes.LocalVarIndex].Deref()); return;
        case srParam: {
            Variant& arg = ctx.Args[ARes.ParamInfo.Index];
            if (!ARef || ARes.ParamInfo.Kind == pkConst)
                AValue.Assign(arg.Deref());
            else if (ARes.ParamInfo.Kind == pkByRef)
                AValue = Variant::RefTo(&arg.DerefMut());
            else
                AValue = Variant::RefTo(&arg);  // a by-value argument is a copy taken on entry
            return;
        }
        case srResult:
            if (ARef)
                AValue = Variant::RefTo(ctx.Result);
            else
                AValue.Assign(*ctx.Result);
            return;
        case srDebugVar: AValue.Assign(ARes.DebugVar->Deref()); return;
        default: EXANVMRuntime::RaiseError(retIEInvalidObjKind);
    }
}

// name[i] or name(i): one index, the commonest element access.
static bool IsOneIndex(const TXANCall& ACall) noexcept {
    return ACall.FArgCount == 1 && (ACall.FBracketType == bkBlock || ACall.FBracketType == bkVbRound);
}

// The variable a name denotes as a site target (a global, a local, a parameter), or none.
static TXANSiteTarget VariableTarget(const TXANNameSearchRes& ARes) noexcept {
    switch (ARes.ObjKind) {
        case srGlobalVar: return TXANSiteTarget::Global(&ARes.ValuedObject()->Value);
        case srLocalVar: return TXANSiteTarget::Local(ARes.LocalVarIndex);
        case srParam: return TXANSiteTarget::Param(ARes.ParamInfo.Index);
        default: return {};
    }
}

// The variable a name denotes (references followed) when it holds an array, else none.
static Variant* ArrayVariable(TXANCallStackFrame& AFrame, const TXANNameSearchRes& ARes) {
    const TXANSiteTarget var = VariableTarget(ARes);
    if (!var) return nullptr;
    Variant& value = var.Variable(AFrame.Stack, AFrame.Ctx->Args).DerefMut();
    return value.IsArray() ? &value : nullptr;
}

// name[i] read from the array variable AVar the name denotes, where the element stands: false
// when the general indexing must do it.
static bool ReadElementInPlace(TXANCallStackFrame& AFrame, TXANSiteTarget AVar, const TXANCall& ACall, Variant* ATop) {
    return AVar && XANReadElementInPlace(AVar.Variable(AFrame.Stack, AFrame.Ctx->Args), ArgsOf(ATop, ACall)->Deref(),
                                         ResultOf(ATop, ACall));
}

// name[i] := AValue into the array variable the name denotes, in place when nothing needs
// converting: false when the general indexed assignment must do it (or raise).
static bool WriteElementInPlace(TXANCallStackFrame& AFrame, const TXANNameSearchRes& ARes, Variant* AArgs,
                                const Variant& AValue) {
    if (ARes.ObjKind == srParam && ARes.ParamInfo.Kind == pkConst) return false;
    const TXANSiteTarget var = VariableTarget(ARes);
    return var && XANWriteElementInPlace(var.Variable(AFrame.Stack, AFrame.Ctx->Args), AArgs->Deref(), AValue);
}

// An element of the array in AVariable passed by reference: the result slot refers to a cell
// holding the element's value, written back when the call that takes the argument returns.
static void PassElementByRef(TXANCallStackFrame& AFrame, Variant& AVariable, const TXANCall& ACall, Variant* AArgs,
                             Variant& AResult) {
    const TXANArrayIndices indices = XANArrayIndices(AVariable.Array(), ACall.FArgCount, AArgs);
    Variant element;
    AVariable.Array().Get(indices.Span(), element);
    if (!AFrame.ElementRefs) AFrame.ElementRefs = new TXANElementRefs;
    AResult = Variant::RefTo(AFrame.ElementRefs->Add(&AVariable, indices, element, &AResult));
}

// The commonest global calls once the site has resolved its name on this thread: a script
// procedure, a built-in routine, a global variable read or passed by reference, an element of
// an array variable read in place. Every other case, and every first call of a site, takes the full way.
TXANCallExit TXANVirtMachine::DoGlobCall(TXANThread& AThread, TXANCallStackFrame& AFrame, TXANCall& ACall,
                                         Variant* ATop, bool ARef) {
    TXANNameSearchRes r;
    const std::uint32_t epoch = TXANCodeEpoch::Current();
    const std::int32_t change = FExternObjects.ChangeNumber();
    if (!CachedCallName(AFrame, ACall, change, r)) return GlobCall(AThread, AFrame, ACall, ATop, ARef);
    if (r.ObjKind == srProcedure) {
        const TXANCallExit exit = CallScriptProc(*r.Proc(), ACall, ArgsOf(ATop, ACall));
        // The call passed its checks: from now on the dispatch loop enters it by itself.
        Remember(AFrame, ACall, epoch, TXANSiteTarget::Proc(r.Proc()));
        return exit;
    }
    if (r.ObjKind == srIntrinsic) {
        r.Intrinsic()->Execute(this, &ACall, ArgsOf(ATop, ACall), ResultOf(ATop, ACall));
        Remember(AFrame, ACall, epoch, TXANSiteTarget::Intrinsic(r.Intrinsic()));
        return {};
    }
    if (r.ObjKind == srGlobalVar && ACall.FBracketType == bkNon) {
        XANLoadVariable(r.ValuedObject()->Value, ResultOf(ATop, ACall), ARef);
        if (ACall.FArgCount == 0) Remember(AFrame, ACall, epoch, VariableTarget(r));
        return {};
    }
    if (!ARef && IsOneIndex(ACall)) {
        const TXANSiteTarget var = VariableTarget(r);
        if (ReadElementInPlace(AFrame, var, ACall, ATop)) {
            Remember(AFrame, ACall, epoch, var);
            return {};
        }
    }
    return GlobCall(AThread, AFrame, r, ACall, ATop, ARef);
}

[[gnu::noinline]] TXANCallExit TXANVirtMachine::GlobCall(TXANThread& AThread, TXANCallStackFrame& AFrame,
                                                         TXANCall& ACall, Variant* ATop, bool ARef) {
    const TXANNameSearchRes r = FindCallName(AThread, AFrame, ACall, FId.Index, CallsPastResult(ACall));
    return GlobCall(AThread, AFrame, r, ACall, ATop, ARef);
}

[[gnu::noinline]] TXANCallExit TXANVirtMachine::GlobCall(TXANThread& AThread, TXANCallStackFrame& AFrame, const TXANNameSearchRes& r,
                                       TXANCall& ACall, Variant* ATop, bool ARef) {
    Variant* args = ArgsOf(ATop, ACall);
    Variant& result = ResultOf(ATop, ACall);
    switch (r.ObjKind) {
        case srNotFound: EXANVMRuntime::RaiseError(retUndeclaredId, ACall.FStrName);
        case srProcedure: return CallScriptProc(*r.Proc(), ACall, args);
        case srExternalMember: CallExternalMember(AThread, r, ACall, args, result); return {};
        case srIntrinsic: r.Intrinsic()->Execute(this, &ACall, args, result); return {};
        case srExit:
        case srBreak:
        case srContinue: return CallStatement(r, ACall, ARef);
        default: break;
    }
    if (ACall.FBracketType == bkNon && !ARef && r.ObjKind == srGlobalVar) {
        result.Assign(r.ValuedObject()->Value);  // reading a global: the commonest value
        return {};
    }
    // Elements of an array held in a variable are read where they stand, without copying the
    // array value (and its reference count) first.
    if (ACall.FBracketType == bkBlock || ACall.FBracketType == bkVbRound) {
        if (Variant* array = ArrayVariable(AFrame, r)) {
            const bool writable = r.ObjKind != srParam || r.ParamInfo.Kind != pkConst;
            if (ARef && writable)
                PassElementByRef(AFrame, *array, ACall, args, result);
            else
                XANIndexValue(*array, ACall.FArgCount, args, result);
            return {};
        }
    }
    // A local value rather than the thread's scratch slot: indexing may call a host object
    // that calls back into script code on this thread.
    Variant value;
    LoadValueOf(AFrame, r, ARef, value);
    switch (ACall.FBracketType) {
        case bkNon: result.MoveFrom(value); break;
        case bkRound: EXANVMRuntime::RaiseError(retTypeMismatch);
        default: XANIndexValue(value, ACall.FArgCount, args, result); break;
    }
    return {};
}

Variant& TXANVirtMachine::AssignTarget(TXANCallStackFrame& AFrame, const TXANNameSearchRes& ARes) {
    switch (ARes.ObjKind) {
        case srGlobalVar: return ARes.ValuedObject()->Value;
        case srLocalVar: return AFrame.Stack[ARes.LocalVarIndex];
        case srResult: return *AFrame.Ctx->Result;
        case srParam: {
            Variant& arg = AFrame.Ctx->Args[ARes.ParamInfo.Index];
            if (ARes.ParamInfo.Kind == pkConst) EXANVMRuntime::RaiseError(retCannotAssign);
            return ARes.ParamInfo.Kind == pkByRef ? arg.DerefMut() : arg;
        }
        default: EXANVMRuntime::RaiseError(retCannotAssign);
    }
}

// The commonest assignments once the site has resolved its name on this thread: a global
// variable, and an element of an array variable stored in place. Everything else the full way.
void TXANVirtMachine::DoAssignGlobCall(TXANThread& AThread, TXANCallStackFrame& AFrame, TXANCall& ACall,
                                       Variant* ATop) {
    TXANNameSearchRes r;
    const std::uint32_t epoch = TXANCodeEpoch::Current();
    const std::int32_t change = FExternObjects.ChangeNumber();
    if (!CachedCallName(AFrame, ACall, change, r)) {
        r = FindCallName(AThread, AFrame, ACall, FId.Index, false);
    } else if (r.ObjKind == srGlobalVar && ACall.FBracketType == bkNon) {
        XANStoreOperand(r.ValuedObject()->Value, *ATop);
        if (ACall.FArgCount == 0) Remember(AFrame, ACall, epoch, VariableTarget(r));
        return;
    } else if (IsOneIndex(ACall) && WriteElementInPlace(AFrame, r, ArgsOf(ATop, ACall), *ATop)) {
        Remember(AFrame, ACall, epoch, VariableTarget(r));
        return;
    }
    AssignGlobCall(AThread, AFrame, r, ACall, ATop);
}

[[gnu::noinline]] void TXANVirtMachine::AssignGlobCall(TXANThread& AThread, TXANCallStackFrame& AFrame,
                                                       const TXANNameSearchRes& r, TXANCall& ACall, Variant* ATop) {
    Variant& value = *ATop;
    Variant* args = ArgsOf(ATop, ACall);
    if (r.ObjKind == srNotFound) EXANVMRuntime::RaiseError(retUndeclaredId, ACall.FStrName);
    if (r.ObjKind == srExternalMember) {
        TXANExternObject* ext = r.Extern();
        if (ext->FCodeObject)
            ext->FCodeObject->InvokePropPut(AThread, r.DispId, ACall.FBracketType, ACall.FArgCount, args, value);
        else
            XANHostPropPut(ext->FObj, r.DispId, ACall.FBracketType, ACall.FArgCount, args, value);
        return;
    }
    Variant& target = AssignTarget(AFrame, r);
    switch (ACall.FBracketType) {
        case bkNon: XANStoreOperand(target, value); break;
        case bkRound: EXANVMRuntime::RaiseError(retCannotAssign);
        default: XANIndexedAssign(target, ACall.FArgCount, args, value); break;
    }
}

// Member AName of AObj: the in-process id when AObj is a script of this engine.
void TXANVirtMachine::MemberOf(TXANCall& ACall, plat::IDispatch* AObj, TXANCodeObject*& ACodeObject,
                               plat::DISPID& AId) {
    if (!AObj) EXANVMRuntime::RaiseError(retObjectRequired);
    ACodeObject = TXANCodeObject::FromDispatch(AObj);
    bool found;
    if (ACodeObject) {
        found = ACodeObject->GetIdOfName(ACall.FName, AId);
    } else {
        const char16_t* names[1] = {ACall.FStrName.c_str()};
        found = plat::Succeeded(AObj->GetIDsOfNames(plat::IID_NULL, names, 1, 0, &AId));
    }
    if (!found) EXANVMRuntime::RaiseError(retUndeclaredId, ACall.FStrName);
}

void TXANVirtMachine::DoMemberCall(TXANThread& AThread, TXANCallStackFrame&, TXANCall& ACall, Variant* ATop) {
    // The slot keeps the object alive for the whole call.
    plat::IDispatch* obj = XANObjectOf(ObjectSlotOf(ATop, ACall));
    TXANCodeObject* codeObject = nullptr;
    plat::DISPID id = 0;
    MemberOf(ACall, obj, codeObject, id);
    Variant* args = ArgsOf(ATop, ACall);
    Variant& result = ResultOf(ATop, ACall);
    if (codeObject)
        codeObject->InvokeMember(AThread, id, ACall.FBracketType, ACall.FResMask, ACall.FArgCount, args, result);
    else
        XANInvokeHostMember(obj, id, ACall.FBracketType, ACall.FResMask, ACall.FArgCount, args, result);
}

void TXANVirtMachine::DoAssignMemberCall(TXANThread& AThread, TXANCallStackFrame&, TXANCall& ACall, Variant* ATop) {
    plat::IDispatch* obj = XANObjectOf(ObjectSlotOf(ATop, ACall));
    TXANCodeObject* codeObject = nullptr;
    plat::DISPID id = 0;
    MemberOf(ACall, obj, codeObject, id);
    Variant* args = ArgsOf(ATop, ACall);
    if (codeObject)
        codeObject->InvokePropPut(AThread, id, ACall.FBracketType, ACall.FArgCount, args, *ATop);
    else
        XANHostPropPut(obj, id, ACall.FBracketType, ACall.FArgCount, args, *ATop);
}

void TXANVirtMachine::DoUnnamedCall(TXANThread&, TXANCallStackFrame&, TXANCall& ACall, Variant* ATop) {
    if (ACall.FBracketType == bkRound) EXANVMRuntime::RaiseError(retTypeMismatch);
    if (ACall.FBracketType == bkNon) EXANVMRuntime::RaiseError(retIEInvalidBracketType);
    XANIndexValue(ObjectSlotOf(ATop, ACall), ACall.FArgCount, ArgsOf(ATop, ACall), ResultOf(ATop, ACall));
}

void TXANVirtMachine::DoUnnamedCallRef(TXANThread& AThread, TXANCallStackFrame& AFrame, TXANCall& ACall,
                                       Variant* ATop) {
    Variant& object = ObjectSlotOf(ATop, ACall);
    const bool indexing = ACall.FBracketType == bkVbRound || ACall.FBracketType == bkBlock;
    if (indexing && object.IsRef() && object.DerefMut().IsArray())
        return PassElementByRef(AFrame, object.DerefMut(), ACall, ArgsOf(ATop, ACall), ResultOf(ATop, ACall));
    DoUnnamedCall(AThread, AFrame, ACall, ATop);
}

void TXANVirtMachine::DoAssignUnnamedCall(TXANThread&, TXANCallStackFrame&, TXANCall& ACall, Variant* ATop) {
    if (ACall.FBracketType == bkNon || ACall.FBracketType == bkRound) EXANVMRuntime::RaiseError(retCannotAssign);
    Variant& object = ObjectSlotOf(ATop, ACall);
    // An array that is no variable's (a function's result, a host property's value) would take
    // the store and be dropped with it.
    if (!object.IsRef() && object.IsArray()) EXANVMRuntime::RaiseError(retCannotAssign);
    XANIndexedAssign(object, ACall.FArgCount, ArgsOf(ATop, ACall), *ATop);
}

void TXANVirtMachine::DoNewUnnamedCall(TXANThread&, TXANCallStackFrame&, TXANCall& ACall, Variant* ATop) {
    Variant& result = ResultOf(ATop, ACall);
    result.Clear();
    if (OnNew) OnNew(this, ObjectSlotOf(ATop, ACall), ArgsOf(ATop, ACall), ACall.FArgCount, result);
}

}  // namespace xan
