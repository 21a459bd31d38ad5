#pragma once
// TXANVirtMachine: the object a host holds for one script.
//
// It is created with a language, compiles the source through that language into global objects
// and bytecode (Initialize), runs the global code (Open), and then lets the host call
// procedures, read and write global variables, evaluate expressions, execute statements and
// publish host objects; Close forgets the compiled script. The language-neutral engine asks the
// host about types, exceptions and object creation through the events below.
//
// Lifecycle operations and compile-time operations are serialised by a re-entrant section;
// running code (RunProc, ReadVar, WriteVar, Eval, ExecStmt) takes no lock: each thread enters
// the machine through its own entry flag, so several threads may run one open machine at once.
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "foundation/NameHashTable.h"
#include "platform/core/Exception.h"
#include "platform/core/Method.h"
#include "platform/core/Sync.h"
#include "platform/ole/ComIntf.h"
#include "vm/bytecode/ByteCode.h"
#include "vm/compiler/LanguageInterface.h"
#include "vm/compiler/Namespaces.h"
#include "vm/interp/Interpreter.h"
#include "vm/machine/Breakpoints.h"
#include "vm/machine/ExternObjects.h"
#include "vm/machine/VMDebuggerBase.h"
#include "vm/machine/VMIndexes.h"
#include "vm/machine/VMSource.h"

namespace xan {

class TXANVirtMachine;
class TXANCodeObject;
class TPreparedDynCode;

enum TXANVMState : std::uint8_t { msUninitialized, msInitialized, msActive };

// The host hooks. Sender is the machine.
using TXANOnIsTest =
    plat::Event<void(TXANVirtMachine* Sender, const plat::Variant& AObj, const plat::Variant& AType, bool& AResult)>;
using TXANOnExceptionIsTest =
    plat::Event<void(TXANVirtMachine* Sender, plat::Exception* E, const plat::Variant& AType, bool& AResult)>;
// The exception object the host makes from a raised value (the machine owns it afterwards).
using TXANOnVarToException =
    plat::Event<void(TXANVirtMachine* Sender, const plat::Variant& V, plat::Exception*& AResult)>;
using TXANOnExceptionToVar = plat::Event<void(TXANVirtMachine* Sender, plat::Exception* E, plat::Variant& AResult)>;
using TXANOnFormatException =
    plat::Event<void(TXANVirtMachine* Sender, plat::Integer ALine, plat::Integer ALinePos, plat::Exception* E)>;
using TXANOnEventMake =
    plat::Event<void(TXANVirtMachine* Sender, const plat::UString& AProcName, plat::Variant& AResult)>;
using TXANOnNew = plat::Event<void(TXANVirtMachine* Sender, const plat::Variant& AType, plat::Variant* AArgs,
                                   plat::Integer AArgCount, plat::Variant& AResult)>;

class TXANVirtMachine : public TXANInterpreter, public IXANGlobalScope {
public:
    // Holds one reference to the language for the machine's life.
    explicit TXANVirtMachine(IXANLanguage* ALanguage);
    ~TXANVirtMachine() override;

    // ---- Lifecycle -----------------------------------------------------------------------
    // Compiles ASource. A compile error is reported through OnFormatException with its line
    // and column, everything compiled so far is released, and the error propagates.
    void Initialize(const plat::UString& ASource);
    // Runs the global code; the machine stays active even when the global code raises.
    // With a debugger, the machine is attached to it until Close: its breaks and steps are
    // reported there.
    void Open(TXANVMDebuggerBase* ADebugger = nullptr);
    // Stops running code (threads inside fail with the abort error), forgets the script.
    // Script code of this machine cannot close it.
    void Close();
    TXANVMState State() const noexcept { return FState; }

    // ---- Running (machine active; entered on the calling thread) ---------------------------
    plat::Variant RunProc(const plat::UString& AName);
    // A by-reference parameter reaches its argument in AArgs (or the target of a by-reference
    // value there); a by-value parameter gets a copy, so AArgs can be passed again unchanged.
    plat::Variant RunProc(const plat::UString& AName, std::span<plat::Variant> AArgs);
    plat::Variant ReadVar(const plat::UString& AName);
    void WriteVar(const plat::UString& AName, const plat::Variant& AValue);
    plat::Variant Eval(TPreparedDynCode& APrepared);
    plat::Variant Eval(const plat::UString& AExpr);
    void ExecStmt(TPreparedDynCode& APrepared);
    void ExecStmt(const plat::UString& AStmt);
    // Enter / leave the machine on the calling thread to bracket several calls (nestable).
    void Lock();
    void Unlock();

    // ---- Compile-time operations (machine initialized or active) ---------------------------
    // ADebugNamespace: the scope of a paused frame, or none for the global scope.
    std::unique_ptr<TPreparedDynCode> PrepareExpr(const plat::UString& AExpr,
                                                  TXANAbstractNamespace* ADebugNamespace = nullptr);
    std::unique_ptr<TPreparedDynCode> PrepareStmt(const plat::UString& AStmt);
    // False when a host object already has the name.
    bool AddExternObject(plat::IDispatch* AObj, const plat::UString& AName, bool APublishMembers);
    // The script as a dispatch object; the caller receives one reference.
    plat::IDispatch* GetCodeObject();
    // User breakpoints by line (from 0), on the first breakable instruction of the line (the
    // global code is asked first, then every procedure in declaration order). False when the
    // line has none. They stop every thread; without a debugger a stop just continues.
    // Compiling again forgets them.
    bool SetBreakpoint(plat::Integer ALine);
    void RemoveBreakpoint(plat::Integer ALine);
    // Whether a breakpoint on ALine would be set (the line holds a breakable instruction).
    bool HasBreakableLine(plat::Integer ALine);

    // Unassigned, then whatever OnEventMake makes of it.
    void MakeEventHandler(const plat::UString& AProcName, plat::Variant& AResult) override;

    // ---- Host hooks ------------------------------------------------------------------------
    TXANOnIsTest OnIsTest;
    TXANOnExceptionIsTest OnExceptionIsTest;
    TXANOnVarToException OnVarToException;
    TXANOnExceptionToVar OnExceptionToVar;
    TXANOnFormatException OnFormatException;
    TXANOnEventMake OnEventMake;
    TXANOnNew OnNew;

    // ---- Engine-internal access ------------------------------------------------------------
    const TXANVMId& Id() const noexcept { return FId; }
    IXANLanguage* Language() const noexcept { return FLanguage; }
    const TXANVMSource& Source() const noexcept { return FSource; }
    TXANAbstractNamespace* GlobalNamespace() noexcept { return &FGlobalNamespace; }
    TXANNameHashTable& ScriptGlobals() noexcept { return FScriptGlobals; }
    // The language's built-in object named AName, made on the first request; null when the
    // language has none of that name. Safe from any thread running the machine.
    TXANGlobalObject* IntrinsicObject(Integer AName);
    TXANExternObjects& ExternObjects() noexcept { return FExternObjects; }
    // The script object with dispatch id AId (1 .. DispIdCount() - 1), or none.
    TXANDispIdObject* ObjectByDispId(plat::DISPID AId) const noexcept;
    plat::DISPID DispIdCount() const noexcept { return FDispIdsCount; }
    const std::vector<TXANProcObject*>& Procedures() const noexcept { return FProcedures; }
    TXANByteCode* GlobalByteCode() const noexcept { return FGlobalByteCode.get(); }
    TXANVMDebuggerBase* Debugger() const noexcept { return FDebugger; }
    TXANVMBreakpoints& Breakpoints() noexcept { return FBreakpoints; }
    // The line (from 0) of AFrame's current instruction, in the frame's own source (prepared
    // code has one) or the script's.
    plat::Integer FrameLine(const TXANCallStackFrame& AFrame) const;
    // Runs one activation on AThread (the calling thread's object).
    void RunCode(TXANThread& AThread, TXANByteCode* ACode, plat::Variant* AArgs, plat::Variant* AResult,
                 TXANVMSource* ASource) {
        TXANVMInterpretContext ctx{ACode, AArgs, AResult, ASource};
        Interpret(AThread, ctx);
    }
    // Runs AProc with its arguments in AArgs (the caller checked their count); by-value
    // parameters get their copies first.
    void RunProcCode(TXANThread& AThread, TXANProcObject& AProc, plat::Variant* AArgs, plat::Variant* AResult);
    // Converts a source position with ASource and calls OnFormatException.
    void FormatException(const TXANVMSource& ASource, plat::Integer ASourcePos, plat::Exception* E);

    // IXANGlobalScope
    TXANNameSearchRes SearchGlobal(TXANThread* AThread, Integer AName, const plat::UString* AStrName) override;
    const std::vector<TXANGlobalValuedObject*>& GlobalConsts() const override { return FGlobalConsts; }
    const std::vector<TXANGlobalValuedObject*>& GlobalVars() const override { return FGlobalVars; }

protected:
    bool DoIsTest(const plat::Variant& AObj, const plat::Variant& AType) override;
    // Stepping (VirtMachineDebug.cpp). The interpreter calls the activation hooks only while a
    // debugger is attached: without one, activations cost nothing extra.
    void OnActivationEnter(TXANThread& AThread, TXANCallStackFrame& AFrame) override;
    void OnActivationLeave(TXANThread& AThread, TXANCallStackFrame& AFrame) noexcept override;
    TXANBreakAction DoBreak(TXANThread& AThread, TXANCallStackFrame& AFrame, std::uint8_t& ACovered) override;
    // The call instructions: names resolved at run time through the frame's namespace chain.
    TXANCallExit DoGlobCall(TXANThread& AThread, TXANCallStackFrame& AFrame, TXANCall& ACall, plat::Variant* ATop,
                            bool ARef) override;
    void DoAssignGlobCall(TXANThread& AThread, TXANCallStackFrame& AFrame, TXANCall& ACall,
                          plat::Variant* ATop) override;
    void DoMemberCall(TXANThread& AThread, TXANCallStackFrame& AFrame, TXANCall& ACall, plat::Variant* ATop) override;
    void DoAssignMemberCall(TXANThread& AThread, TXANCallStackFrame& AFrame, TXANCall& ACall,
                            plat::Variant* ATop) override;
    void DoUnnamedCall(TXANThread& AThread, TXANCallStackFrame& AFrame, TXANCall& ACall, plat::Variant* ATop) override;
    void DoUnnamedCallRef(TXANThread& AThread, TXANCallStackFrame& AFrame, TXANCall& ACall,
                          plat::Variant* ATop) override;
    void DoAssignUnnamedCall(TXANThread& AThread, TXANCallStackFrame& AFrame, TXANCall& ACall,
                             plat::Variant* ATop) override;
    void DoNewUnnamedCall(TXANThread& AThread, TXANCallStackFrame& AFrame, TXANCall& ACall,
                          plat::Variant* ATop) override;
    // Script exceptions: every activation an exception passes through reports its position
    // to the host, then continues at a handler of its own or lets the exception leave.
    PXANInstr HandleException(TXANThread& AThread, TXANCallStackFrame& AFrame) override;
    void DoRaise(TXANThread& AThread, TXANCallStackFrame& AFrame, plat::Variant& AValue) override;
    void DoReraise(TXANThread& AThread, TXANCallStackFrame& AFrame, plat::Variant* AState) override;
    bool DoExceptJmpIfIs(TXANThread& AThread, TXANCallStackFrame& AFrame, TXANExcJump& AJump,
                         plat::Variant& AType) override;
    void DoExceptDone(TXANThread& AThread, TXANCallStackFrame& AFrame) override;
    void DoExceptToVar(TXANThread& AThread, TXANCallStackFrame& AFrame, plat::Variant* AState,
                       plat::Variant& AResult) override;

private:
    friend class TVMParserCallbacks;
    class TEntry;

    void RequireInitializedOrActive() const;
    bool RunningOnCallingThread() const noexcept;
    void Compile(const plat::UString& ASource);
    void EmitGlobalCode();
    void Cleanup() noexcept;
    void ReportCompileError(const TXANVMSource& ASource) noexcept;
    // TVMParserCallbacks
    void GlobalObjParsed(std::unique_ptr<TXANGlobalObject>& AObj, bool& ADuplicateName);
    void GlobalStmtParsed(std::unique_ptr<IXANEmitable> AStmt);
    void AssignDispId(TXANDispIdObject* AObj);
    std::unique_ptr<TPreparedDynCode> Prepare(const plat::UString& AText, bool AIsExpr,
                                              TXANAbstractNamespace* ANamespace);
    TXANProcObject* FindProcForRun(TXANThreadVM& AThreadVM, const plat::UString& AName);
    TXANGlobalValuedObject* FindValObjForAccess(TXANThreadVM& AThreadVM, const plat::UString& AName);
    // Call machinery (VirtMachineCalls.cpp).
    TXANCallExit CallStatement(const TXANNameSearchRes& ARes, TXANCall& ACall, bool ARef);
    // icGlobCall / icGlobCallRef the full way: ACall's name resolved (to ARes when given).
    TXANCallExit GlobCall(TXANThread& AThread, TXANCallStackFrame& AFrame, TXANCall& ACall, plat::Variant* ATop,
                          bool ARef);
    TXANCallExit GlobCall(TXANThread& AThread, TXANCallStackFrame& AFrame, const TXANNameSearchRes& ARes,
                          TXANCall& ACall, plat::Variant* ATop, bool ARef);
    // icAssignGlobCall the full way, ACall's name resolved to ARes.
    void AssignGlobCall(TXANThread& AThread, TXANCallStackFrame& AFrame, const TXANNameSearchRes& ARes,
                        TXANCall& ACall, plat::Variant* ATop);
    // Checks a call of a script procedure and takes its by-value copies: the interpreter runs it.
    TXANCallExit CallScriptProc(TXANProcObject& AProc, TXANCall& ACall, plat::Variant* AArgs);
    void CallExternalMember(TXANThread& AThread, const TXANNameSearchRes& ARes, TXANCall& ACall, plat::Variant* AArgs,
                            plat::Variant& AResult);
    void LoadValue(TXANThread& AThread, TXANCallStackFrame& AFrame, const TXANNameSearchRes& ARes, bool ARef);
    plat::Variant& AssignTarget(TXANCallStackFrame& AFrame, const TXANNameSearchRes& ARes);
    void ReportPosition(TXANCallStackFrame& AFrame, plat::Exception* E) noexcept;
    void MemberOf(TXANCall& ACall, plat::IDispatch* AObj, TXANCodeObject*& ACodeObject, plat::DISPID& AId);
    // Debugging (VirtMachineDebug.cpp).
    TXANThreadVM& ThreadVMOf(TXANThread& AThread, TXANCallStackFrame& AFrame);
    // AFrame's thread record when it steps: a debugger is attached, the thread is not in a break
    // for this machine, and AFrame qualifies for the stepping base; else none.
    TXANThreadVM* SteppingRecord(TXANThread& AThread, TXANCallStackFrame& AFrame);
    void SetStepBPsFrom(TXANThread& AThread, TXANThreadVM& AThreadVM, TXANCallStackFrame& AFrame,
                        const TXANCallStackFrame* ABase, bool ASkipLine);
    void ReArmAfterCall(TXANThread& AThread, TXANCallStackFrame& AFrame);
    void SetExcStepBPs(TXANThread& AThread, TXANCallStackFrame& AFrame, const TXANTry* AHandler);
    // Whether AThread is stopped in a debugger break for this machine.
    bool InBreak(TXANThread& AThread, TXANCallStackFrame& AFrame);
    // The break procedure at AFrame's current instruction, then the resume kind's effect.
    void BreakAt(TXANThread& AThread, TXANCallStackFrame& AFrame, TXANThreadVM& AThreadVM, TXANVMBreakKind AKind);
    // The line's instruction and its bytecode, or none.
    PXANInstr FindLineInstr(plat::Integer ALine, TXANByteCode*& ACode) const;

    TXANVMState FState = msUninitialized;
    IXANLanguage* FLanguage;
    mutable plat::CriticalSection FSection;
    TXANVMId FId;
    plat::IDispatch* FCodeObject = nullptr;  // one reference, made by Initialize
    TXANVMSource FSource;
    TXANNameHashTable FScriptGlobals{true};
    std::vector<TXANDispIdObject*> FScriptGlobalsByDispId;  // entry 0 unused
    plat::DISPID FDispIdsCount = 1;
    TXANExternObjects FExternObjects;
    plat::CriticalSection FIntrinsicsSection;  // guards FIntrinsicObjects, which grows as scripts run
    TXANNameHashTable FIntrinsicObjects{true};
    std::vector<TXANProcObject*> FProcedures;
    std::vector<TXANGlobalValuedObject*> FGlobalVars;
    std::vector<TXANGlobalValuedObject*> FGlobalConsts;
    TGlobalObjectsNamespace FGlobalNamespace{this};
    std::vector<std::unique_ptr<IXANEmitable>> FGlobalStmts;  // from parsing until emitted
    std::unique_ptr<TXANByteCode> FGlobalByteCode;
    TXANVMDebuggerBase* FDebugger = nullptr;
    TXANVMBreakpoints FBreakpoints{FSource};
};

}  // namespace xan
