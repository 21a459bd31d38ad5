#include "vm/machine/VirtMachine.h"

#include "foundation/NameTable.h"
#include "platform/core/Assert.h"
#include "vm/bytecode/CompileError.h"
#include "vm/interp/Thread.h"
#include "vm/interp/VMErrors.h"
#include "vm/machine/CodeObject.h"
#include "vm/machine/PreparedDynCode.h"
#include "vm/machine/ThreadGlobals.h"
#include "vm/machine/VMParserCallbacks.h"

namespace xan {

using plat::UString;
using plat::Variant;

// The entry protocol of the run operations: the calling thread's record for this machine is
// locked for the duration, and unlocked on every way out.
class TXANVirtMachine::TEntry {
public:
    explicit TEntry(const TXANVirtMachine& AVM) : FThreadVM(TVMIndexes::Instance().ThreadVM(AVM.FId)) {
        if (!FThreadVM.Lock()) RaiseVMShouldBeActive();
    }
    ~TEntry() { FThreadVM.Unlock(); }
    TEntry(const TEntry&) = delete;
    TEntry& operator=(const TEntry&) = delete;

    TXANThreadVM& ThreadVM() const noexcept { return FThreadVM; }
    TXANThread& Thread() const noexcept { return *FThreadVM.FThread; }

private:
    TXANThreadVM& FThreadVM;
};

TXANVirtMachine::TXANVirtMachine(IXANLanguage* ALanguage) : FLanguage(ALanguage) {
    XAN_ASSERT("XANSctVM", ALanguage != nullptr);
    FLanguage->AddRef();
    FId = TVMIndexes::Instance().AsquireId(this);
    FActivationHooks = false;
}

TXANVirtMachine::~TXANVirtMachine() {
    try {
        Close();
    } catch (...) {
    }
    TVMIndexes::Instance().ReleaseId(FId);
    FLanguage->Release();
}

void TXANVirtMachine::RequireInitializedOrActive() const {
    if (FState == msUninitialized) RaiseVMShouldBeInitialized();
}

// ---- Compiling ---------------------------------------------------------------------------------

void TXANVirtMachine::Initialize(const UString& ASource) {
    plat::SectionGuard guard(FSection);
    if (FState != msUninitialized) RaiseVMShouldBeNotInitialized();
    try {
        Compile(ASource);
    } catch (...) {
        ReportCompileError(FSource);
        Cleanup();
        throw;
    }
    FState = msInitialized;
}

void TXANVirtMachine::Compile(const UString& ASource) {
    FSource.SetText(ASource);
    {
        TVMParserCallbacks callbacks(this);
        std::unique_ptr<IXANParserBase> parser = FLanguage->CreateParser(&callbacks);
        parser->Parse(ASource);
    }
    // Once emitted, the syntax is freed: the bytecode owns everything its instructions point to,
    // so a compiled script keeps its code, not its trees.
    for (TXANProcObject* proc : FProcedures) {
        proc->EmitByteCode(&FGlobalNamespace);
        proc->ReleaseSyntax();
    }
    EmitGlobalCode();
    FCodeObject = TXANCodeObject::Create(*this);
}

void TXANVirtMachine::EmitGlobalCode() {
    FGlobalByteCode = std::make_unique<TXANByteCode>();
    FGlobalByteCode->BeginEmit(u"Global code", &FGlobalNamespace, 0);
    for (auto& stmt : FGlobalStmts) stmt->Emit(&FGlobalNamespace, FGlobalByteCode.get());
    FGlobalByteCode->Emit(icRet);
    FGlobalByteCode->EndEmit();
    FGlobalStmts.clear();
}

// Inside a catch block: a compile error tells the host its line and column before it leaves.
void TXANVirtMachine::ReportCompileError(const TXANVMSource& ASource) noexcept {
    try {
        throw;
    } catch (const plat::RaisedException& raised) {
        plat::Exception* e = raised.Object();
        if (e && e->Is<EXANCompileBase>()) {
            try {
                FormatException(ASource, static_cast<EXANCompileBase*>(e)->SourcePos(), e);
            } catch (...) {
                // A failing host handler must not replace the compile error.
            }
        }
    } catch (...) {
    }
}

void TXANVirtMachine::FormatException(const TXANVMSource& ASource, plat::Integer ASourcePos, plat::Exception* E) {
    if (!OnFormatException) return;
    plat::Integer line = -1, column = -1;
    ASource.PosToLine(ASourcePos, line, column);
    OnFormatException(this, line, column, E);
}

void TXANVirtMachine::Cleanup() noexcept {
    if (FCodeObject) {
        FCodeObject->Release();
        FCodeObject = nullptr;
    }
    FBreakpoints.Clear();
    FSource.Clear();
    FGlobalByteCode.reset();
    FGlobalStmts.clear();
    FDispIdsCount = 1;
    FScriptGlobalsByDispId.clear();
    FProcedures.clear();
    FGlobalVars.clear();
    FGlobalConsts.clear();
    FScriptGlobals.Clear();
    {
        plat::SectionGuard guard(FIntrinsicsSection);
        FIntrinsicObjects.Clear();
    }
    FExternObjects.Close();
}

void TXANVirtMachine::GlobalObjParsed(std::unique_ptr<TXANGlobalObject>& AObj, bool& ADuplicateName) {
    ADuplicateName = !FScriptGlobals.Add(AObj.get());
    if (ADuplicateName) return;
    TXANGlobalObject* obj = AObj.release();
    if (!obj->Is<TXANDispIdObject>()) return;
    AssignDispId(static_cast<TXANDispIdObject*>(obj));
    switch (obj->GetGlobalObjType()) {
        case gtVar: FGlobalVars.push_back(static_cast<TXANGlobalValuedObject*>(obj)); break;
        case gtConst: FGlobalConsts.push_back(static_cast<TXANGlobalValuedObject*>(obj)); break;
        case gtProcedure: FProcedures.push_back(static_cast<TXANProcObject*>(obj)); break;
        default: break;
    }
}

void TXANVirtMachine::AssignDispId(TXANDispIdObject* AObj) {
    if (FScriptGlobalsByDispId.empty()) FScriptGlobalsByDispId.resize(4);
    if (static_cast<std::size_t>(FDispIdsCount) >= FScriptGlobalsByDispId.size())
        FScriptGlobalsByDispId.resize(FScriptGlobalsByDispId.size() * 2);
    AObj->FDispId = FDispIdsCount;
    FScriptGlobalsByDispId[static_cast<std::size_t>(FDispIdsCount++)] = AObj;
}

void TXANVirtMachine::GlobalStmtParsed(std::unique_ptr<IXANEmitable> AStmt) { FGlobalStmts.push_back(std::move(AStmt)); }

TXANGlobalObject* TXANVirtMachine::IntrinsicObject(Integer AName) {
    plat::SectionGuard guard(FIntrinsicsSection);
    if (auto* known = static_cast<TXANGlobalObject*>(FIntrinsicObjects.Find(AName))) return known;
    const TXANBuiltin* builtin = XANFindBuiltin(FLanguage->Builtins(), GlobalNameTable().GetNameIndexes(AName)->Name.view());
    if (!builtin) return nullptr;
    std::unique_ptr<TXANGlobalObject> made(builtin->Make());
    XAN_ASSERT("VirtMachine", made->FName == AName);
    FIntrinsicObjects.Add(made.get());
    return made.release();
}

TXANDispIdObject* TXANVirtMachine::ObjectByDispId(plat::DISPID AId) const noexcept {
    if (AId < 1 || AId >= FDispIdsCount) return nullptr;
    return FScriptGlobalsByDispId[static_cast<std::size_t>(AId)];
}

// ---- Open and close ----------------------------------------------------------------------------

void TXANVirtMachine::Open(TXANVMDebuggerBase* ADebugger) {
    plat::SectionGuard guard(FSection);
    if (FState != msInitialized) RaiseVMShouldBeInitialized();
    FState = msActive;
    FTerminateFlag.store(TerminateRunning, std::memory_order_relaxed);
    if (ADebugger) ADebugger->Attach(this);
    FDebugger = ADebugger;
    if (ADebugger) XANWatchSteps(&FActivationHooks);
    TVMIndexes::Instance().MarkOpened(FId, ADebugger ? ADebugger->Id() : -1);
    TXANThread* thread = TVMIndexes::Instance().InitThread(FId);
    RunCode(*thread, FGlobalByteCode.get(), nullptr, nullptr, nullptr);
}

// Script code of this machine running on the calling thread (closing it from there would free
// the code under the running instruction, or wait for itself forever).
bool TXANVirtMachine::RunningOnCallingThread() const noexcept {
    const TXANThread* thread = TVMIndexes::CurrentThread();
    for (const TXANCallStackFrame* f = thread ? thread->FCallStack : nullptr; f; f = f->Next)
        if (f->VM == this) return true;
    return false;
}

void TXANVirtMachine::Close() {
    plat::SectionGuard guard(FSection);
    if (FState == msUninitialized) return;
    if (RunningOnCallingThread()) plat::Throw<EXANVirtMachine>(SVMCannotCloseFromOwnCode);
    TVMIndexes::Instance().MarkClosingAndWait(FId);
    if (FDebugger) FDebugger->Detach(this);
    FDebugger = nullptr;
    XANUnwatchSteps(&FActivationHooks);
    FState = msUninitialized;
    Cleanup();
}

// ---- Running -----------------------------------------------------------------------------------

void TXANVirtMachine::RunProcCode(TXANThread& AThread, TXANProcObject& AProc, Variant* AArgs, Variant* AResult) {
    AProc.TakeByValueCopies(AArgs);
    RunCode(AThread, AProc.ByteCode(), AArgs, AResult, nullptr);
}

// A name that is not what the operation needs: a script global of another kind, or unknown.
[[noreturn]] static void RaiseWrongGlobal(TXANNameHashTable& AGlobals, const UString& AName,
                                          TXANRuntimeErrorType AWrongKind) {
    const Integer id = GlobalNameTable().GetNameIndex(AName, false);
    if (id >= 0 && AGlobals.Find(id)) EXANVMRuntime::RaiseError(AWrongKind);
    EXANVMRuntime::RaiseError(retUndeclaredId, AName);
}

TXANProcObject* TXANVirtMachine::FindProcForRun(TXANThreadVM& AThreadVM, const UString& AName) {
    if (TXANProcObject* proc = AThreadVM.FGlobals->FindProcByStrName(AName)) return proc;
    RaiseWrongGlobal(FScriptGlobals, AName, retProcRequired);
}

TXANGlobalValuedObject* TXANVirtMachine::FindValObjForAccess(TXANThreadVM& AThreadVM, const UString& AName) {
    if (TXANGlobalValuedObject* obj = AThreadVM.FGlobals->FindValObjByStrName(AName)) return obj;
    RaiseWrongGlobal(FScriptGlobals, AName, retValObjRequired);
}

Variant TXANVirtMachine::RunProc(const UString& AName) { return RunProc(AName, {}); }

Variant TXANVirtMachine::RunProc(const UString& AName, std::span<Variant> AArgs) {
    TEntry entry(*this);
    TXANProcObject* proc = FindProcForRun(entry.ThreadVM(), AName);
    if (static_cast<std::size_t>(proc->ParamCount()) != AArgs.size()) EXANVMRuntime::RaiseError(retInvalidParamCount);
    // The host's values stay as they are, whatever the script does with its by-value copies,
    // so the same arguments can be passed again; by-reference parameters reach them.
    const auto count = static_cast<std::int32_t>(AArgs.size());
    TXANPoolSlots slots(entry.Thread().FStackPool, count + 1);
    for (std::int32_t i = 0; i < count; ++i) slots[std::size_t(i)] = Variant::RefTo(&AArgs[std::size_t(i)]);
    Variant& result = slots[std::size_t(count)];
    RunProcCode(entry.Thread(), *proc, slots.Data(), &result);
    return Variant(std::move(result));
}

Variant TXANVirtMachine::ReadVar(const UString& AName) {
    TEntry entry(*this);
    return Variant(FindValObjForAccess(entry.ThreadVM(), AName)->Value.Deref());
}

// The stored value is the target of a by-reference AValue: a global must never hold the
// address of a host variable that may be gone when the script reads it.
void TXANVirtMachine::WriteVar(const UString& AName, const Variant& AValue) {
    TEntry entry(*this);
    TXANGlobalValuedObject* obj = FindValObjForAccess(entry.ThreadVM(), AName);
    if (obj->GetGlobalObjType() == gtConst) EXANVMRuntime::RaiseError(retCannotAssign);
    obj->Value.Assign(AValue.Deref());
}

Variant TXANVirtMachine::Eval(TPreparedDynCode& APrepared) {
    XAN_ASSERT("XANSctVM", APrepared.VM() == this);
    TEntry entry(*this);
    Variant result;
    RunCode(entry.Thread(), APrepared.ByteCode(), nullptr, &result, &APrepared.Source());
    return result;
}

Variant TXANVirtMachine::Eval(const UString& AExpr) {
    std::unique_ptr<TPreparedDynCode> prepared = PrepareExpr(AExpr);
    return Eval(*prepared);
}

void TXANVirtMachine::ExecStmt(TPreparedDynCode& APrepared) {
    XAN_ASSERT("XANSctVM", APrepared.VM() == this);
    TEntry entry(*this);
    RunCode(entry.Thread(), APrepared.ByteCode(), nullptr, nullptr, &APrepared.Source());
}

void TXANVirtMachine::ExecStmt(const UString& AStmt) {
    std::unique_ptr<TPreparedDynCode> prepared = PrepareStmt(AStmt);
    ExecStmt(*prepared);
}

void TXANVirtMachine::Lock() {
    if (!TVMIndexes::Instance().ThreadVM(FId).Lock()) RaiseVMShouldBeActive();
}

void TXANVirtMachine::Unlock() { TVMIndexes::Instance().ThreadVM(FId).Unlock(); }

// ---- Compile-time operations -------------------------------------------------------------------

std::unique_ptr<TPreparedDynCode> TXANVirtMachine::PrepareExpr(const UString& AExpr,
                                                               TXANAbstractNamespace* ADebugNamespace) {
    return Prepare(AExpr, true, ADebugNamespace ? ADebugNamespace : &FGlobalNamespace);
}

std::unique_ptr<TPreparedDynCode> TXANVirtMachine::PrepareStmt(const UString& AStmt) {
    return Prepare(AStmt, false, &FGlobalNamespace);
}

std::unique_ptr<TPreparedDynCode> TXANVirtMachine::Prepare(const UString& AText, bool AIsExpr,
                                                           TXANAbstractNamespace* ANamespace) {
    plat::SectionGuard guard(FSection);
    RequireInitializedOrActive();
    auto prepared = std::make_unique<TPreparedDynCode>(this, AText);
    try {
        std::unique_ptr<IXANParserBase> parser = FLanguage->CreateParser(&TVMEvalParserCallbacks::Instance());
        std::unique_ptr<IXANEmitable> parsed = AIsExpr ? parser->ParseExpr(AText) : parser->ParseStmt(AText);
        XAN_ASSERT("XANSctVM", parsed != nullptr);
        TXANByteCode* code = prepared->ByteCode();
        code->BeginEmit(AText, ANamespace, 0);
        parsed->Emit(ANamespace, code);
        if (AIsExpr) code->Emit(icAssignResult);
        code->Emit(icRet);
        code->EndEmit();
    } catch (...) {
        ReportCompileError(prepared->Source());
        throw;
    }
    return prepared;
}

bool TXANVirtMachine::AddExternObject(plat::IDispatch* AObj, const UString& AName, bool APublishMembers) {
    plat::SectionGuard guard(FSection);
    RequireInitializedOrActive();
    return FExternObjects.Add(AObj, AName, APublishMembers);
}

plat::IDispatch* TXANVirtMachine::GetCodeObject() {
    plat::SectionGuard guard(FSection);
    RequireInitializedOrActive();
    FCodeObject->AddRef();
    return FCodeObject;
}

PXANInstr TXANVirtMachine::FindLineInstr(plat::Integer ALine, TXANByteCode*& ACode) const {
    std::int32_t pos = -1, length = 0;
    FSource.LineToPos(ALine, pos, length);
    if (pos < 0) return nullptr;
    ACode = FGlobalByteCode.get();
    if (PXANInstr instr = ACode->GetFirstBreakInstr(pos, length)) return instr;
    for (TXANProcObject* proc : FProcedures) {
        ACode = proc->ByteCode();
        if (PXANInstr instr = ACode ? ACode->GetFirstBreakInstr(pos, length) : nullptr) return instr;
    }
    return nullptr;
}

bool TXANVirtMachine::SetBreakpoint(plat::Integer ALine) {
    plat::SectionGuard guard(FSection);
    RequireInitializedOrActive();
    TXANByteCode* code = nullptr;
    const PXANInstr instr = FindLineInstr(ALine, code);
    if (!instr) return false;
    FBreakpoints.SetUserBP(*code, instr);
    return true;
}

bool TXANVirtMachine::HasBreakableLine(plat::Integer ALine) {
    plat::SectionGuard guard(FSection);
    RequireInitializedOrActive();
    TXANByteCode* code = nullptr;
    return FindLineInstr(ALine, code) != nullptr;
}

void TXANVirtMachine::RemoveBreakpoint(plat::Integer ALine) {
    plat::SectionGuard guard(FSection);
    RequireInitializedOrActive();
    TXANByteCode* code = nullptr;
    if (const PXANInstr instr = FindLineInstr(ALine, code)) FBreakpoints.RemoveUserBP(instr);
}

// ---- Hooks -------------------------------------------------------------------------------------

void TXANVirtMachine::MakeEventHandler(const UString& AProcName, Variant& AResult) {
    AResult.Clear();
    if (OnEventMake) OnEventMake(this, AProcName, AResult);
}

bool TXANVirtMachine::DoIsTest(const Variant& AObj, const Variant& AType) {
    bool result = false;
    if (OnIsTest) OnIsTest(this, AObj, AType, result);
    return result;
}

TXANNameSearchRes TXANVirtMachine::SearchGlobal(TXANThread* AThread, Integer AName, const UString* AStrName) {
    TXANThreadVM* data = TVMIndexes::ThreadVMOf(AThread, FId.Index);
    if (!data) return TXANNameSearchRes::NotFound();
    return data->FGlobals->Search(AName, AStrName);
}

}  // namespace xan
