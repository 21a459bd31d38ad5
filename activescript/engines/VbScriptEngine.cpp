#include "activescript/engines/VbScriptEngine.h"

#include <algorithm>
#include <vector>

#include "activescript/ScriptEngine.h"
#include "activescript/debug/DebugIntf.h"
#include "activescript/debug/DebugObjects.h"
#include "lang/vb/VbLanguage.h"
#include "platform/ole/OleError.h"
#include "platform/ole/OleRegistry.h"
#include "platform/text/NumText.h"
#include "vm/debug/VMDebugger.h"
#include "vm/interp/Thread.h"
#include "vm/machine/VMIndexes.h"
#include "vm/machine/VirtMachine.h"

namespace xan::as {

namespace {

using plat::Variant;
// The dialect's language object; the one place this layer names it.
using TVbLanguage = ::xan::vb::TXANVbLanguage;

// A debug variable of the machine: texts as the machine's debugger writes them; children are
// the machine's own (copies, so they stay readable after the break).
class TVbDebugVar final : public TLanguageDebugVar {
public:
    explicit TVbDebugVar(const TXANPasDebugVar& AVar) : FChildren(AVar.Children) {
        Name = AVar.Name;
        Type = AVar.Type_;
        Value = AVar.Value;
        Attributes = OBJECT_ATTRIB_ACCESS_PUBLIC;
    }
    bool Expandable() const override { return FChildren.Get() != nullptr; }
    std::vector<TLanguageDebugVarRef> Children() override {
        std::vector<TLanguageDebugVarRef> list;
        if (FChildren)
            FChildren->Enum([&](const TXANPasDebugVar& AChild, void*, bool&) { list.push_back(std::make_shared<TVbDebugVar>(AChild)); },
                            nullptr);
        return list;
    }

private:
    TXANPasDebugVarChildrenRef FChildren;
};

// One frame of the machine's break snapshot.
class TVbFrame final : public TLanguageFrame {
public:
    TVbFrame(TXANPasStackFramesRef ASnapshot, TXANPasStackFrame* AFrame)
        : FSnapshot(std::move(ASnapshot)), FFrame(AFrame) {}
    UString Description(bool ALong) override {
        if (!ALong) return FFrame->Description();
        return FFrame->Description() + UString(u", line: ") + plat::IntToStr(FFrame->Line());
    }
    Integer Line() override { return FFrame->Line(); }
    TLanguageDebugVarRef Variables() override {
        TXANPasDebugVar root;
        FFrame->GetVariables(root);
        return std::make_shared<TVbDebugVar>(root);
    }
    TLanguageEvalResult Evaluate(const UString& AExpr) override {
        Variant value;
        TLanguageEvalResult result;
        result.Ok = FFrame->Eval(AExpr, value);
        TXANPasDebugVar var;
        if (result.Ok)
            TDebugVarUtils::FillVar(AExpr, TDebugVarUtils::TypeName(value), FFrame->VM()->Language(), value, var);
        else
            FFrame->Eval(AExpr, var);  // the message of the failure
        result.Value = std::make_shared<TVbDebugVar>(var);
        return result;
    }

private:
    TXANPasStackFramesRef FSnapshot;
    TXANPasStackFrame* FFrame;
};

// Debugging on the machine's own debugger: user breakpoints by line, steps, requested breaks
// and the break snapshot's frames. The machine is opened under the debugger only when a host
// is set, so a script nobody debugs runs without activation hooks.
class TVbDebug final : public TLanguageDebug {
public:
    explicit TVbDebug(TXANVirtMachine& AMachine) : FMachine(AMachine) {
        FDebugger.OnBreak = TXANOnBreak::Bind<&TVbDebug::OnBreak>(this);
    }
    // The debugger the machine opens under; none while nobody debugs.
    TXANVMDebugger* Debugger() noexcept { return FHost ? &FDebugger : nullptr; }
    void SourceChanged(const UString& ASource) { FLineCount = static_cast<Integer>(LineStartsOf(ASource.view()).size()); }

    void SetHost(TLanguageDebugHost* AHost) override { FHost = AHost; }
    Integer CodeLineAt(Integer ALine) override {
        if (FMachine.State() == msUninitialized) return -1;
        for (Integer line = std::max<Integer>(ALine, 0); line < FLineCount; ++line)
            if (FMachine.HasBreakableLine(line)) return line;
        return -1;
    }
    void SetLineBreakpoint(Integer ALine, bool AEnabled) override {
        if (AEnabled) FMachine.SetBreakpoint(ALine);
        else FMachine.RemoveBreakpoint(ALine);
    }
    void RequestBreak() override { FDebugger.CauseBreak(); }
    std::vector<std::unique_ptr<TLanguageFrame>> Frames() override {
        const TXANPasStackFramesRef snapshot = FSnapshot ? FSnapshot : LiveFrames();
        std::vector<std::unique_ptr<TLanguageFrame>> frames;
        for (std::int32_t i = 0; i < snapshot->Count(); ++i)
            frames.push_back(std::make_unique<TVbFrame>(snapshot, snapshot->Items(i)));
        return frames;
    }

private:
    static TDebugStopReason ReasonOf(TXANVMBreakKind AKind) {
        switch (AKind) {
            case bkBreakpoint: return TDebugStopReason::Breakpoint;
            case bkStep: return TDebugStopReason::Step;
            case bkCausedBreak: break;
        }
        return TDebugStopReason::Halt;
    }
    static TXANVMResumeKind MachineResume(TDebugResume AResume) {
        switch (AResume) {
            case TDebugResume::StepInto: return rkStepInto;
            case TDebugResume::StepOver: return rkStepOver;
            case TDebugResume::Ignore: return rkIgnore;
            case TDebugResume::Abort: return rkAbort;
            case TDebugResume::Continue: break;
        }
        return rkContinue;
    }
    // This machine's activations on the calling thread while another engine has stopped it.
    TXANPasStackFramesRef LiveFrames() const {
        auto frames = std::make_shared<TXANPasStackFrames>(plat::CurrentThreadId());
        const TXANThread* thread = TVMIndexes::CurrentThread();
        for (TXANCallStackFrame* f = thread ? thread->FCallStack : nullptr; f; f = f->Next)
            if (f->VM == &FMachine) frames->Add(f);
        return frames;
    }
    void OnBreak(TXANVMDebugger*, TXANVMBreakKind AKind, TXANVirtMachine*, Integer, const TXANPasStackFramesRef& ACallStack,
                 TXANVMResumeKind& AResume) {
        TLanguageDebugHost* host = FHost;
        if (!host) return;
        TXANPasStackFramesRef outer = std::exchange(FSnapshot, ACallStack);
        try {
            AResume = MachineResume(host->Stopped(ReasonOf(AKind)));
        } catch (...) {
            FSnapshot = std::move(outer);
            throw;
        }
        FSnapshot = std::move(outer);
    }

    TXANVirtMachine& FMachine;
    TXANVMDebugger FDebugger;
    TLanguageDebugHost* FHost = nullptr;
    TXANPasStackFramesRef FSnapshot;  // during a stop
    Integer FLineCount = 0;
};

// The script text parsed before the start is compiled as one program (the dialect declares
// procedures and globals for the whole program); its global code runs once at the start.
// Text parsed after the start runs as statements of the global scope.
class TVbAdapter : public TLanguageAdapter {
public:
    TVbAdapter() : FMachine(new TVbLanguage()), FDebug(FMachine) {
        FMachine.OnFormatException = [this](TXANVirtMachine*, Integer ALine, Integer AColumn, plat::Exception*) {
            if (FPlace.Known) return;  // the innermost activation reported first
            FPlace = {true, ALine, AColumn};
        };
    }
    ~TVbAdapter() override { FMachine.Close(); }

    TLanguageDebug* Debugging() override { return &FDebug; }

    UString ErrorSource() const override { return UString(u"VBScript"); }
    bool CaseInsensitiveNames() const override { return true; }

    std::unique_ptr<TScriptBlock> Parse(const UString& ACode) override {
        if (FMachine.State() == msActive) return std::make_unique<TStatements>(*this, ACode);
        UString source = FSource.empty() ? ACode : FSource + std::u16string_view(u"\r\n") + ACode;
        Guard([&] { FMachine.Initialize(source); });
        FSource = std::move(source);
        FDebug.SourceChanged(FSource);
        for (const TItem& item : FItems) FMachine.AddExternObject(item.Obj.Get(), item.Name, item.GlobalMembers);
        return std::make_unique<TOpen>(*this);
    }

    Variant Evaluate(const UString& ACode, bool AIsExpression) override {
        RequireActive();
        Variant result;
        Guard([&] {
            if (AIsExpression) result = FMachine.Eval(ACode);
            else FMachine.ExecStmt(ACode);
        });
        return result;
    }

    void AddNamedItem(const UString& AName, IDispatch* AObject, bool, bool AGlobalMembers) override {
        // Compiling again forgets host objects, so they are kept to be added anew.
        FItems.push_back({AName, plat::ComPtr<IDispatch>(AObject), AGlobalMembers});
        if (FMachine.State() != msUninitialized) FMachine.AddExternObject(AObject, AName, AGlobalMembers);
    }

    UString FindGlobal(const UString& AName) override {
        if (FMachine.State() == msUninitialized) return UString();
        plat::ComPtr<IDispatch> code = plat::ComPtr<IDispatch>::Attach(FMachine.GetCodeObject());
        const char16_t* names[] = {AName.c_str()};
        DISPID id = plat::DISPID_UNKNOWN;
        return plat::Succeeded(code->GetIDsOfNames(plat::IID_NULL, names, 1, 0, &id)) ? AName : UString();
    }

    // Through the machine's code object, which tells procedures from variables by the flags.
    // A procedure read without arguments is not a value: another language asking for
    // `other.Twice` gets told so, and calls it as a method instead of running it here.
    bool IsProcedure(const UString& AName) override {
        RequireActive();
        plat::ComPtr<IDispatch> code;
        const DISPID id = IdOf(AName, code);
        const TXANDispIdObject* target = FMachine.ObjectByDispId(id);
        return target && target->FGlobalObjType == gtProcedure;
    }

    Variant AccessGlobal(const UString& AName, TGlobalAccess AAccess, std::span<VarData> AArgs) override {
        RequireActive();
        plat::ComPtr<IDispatch> code;
        const DISPID id = IdOf(AName, code);
        // The block lists the arguments last first; a put's value comes first.
        std::vector<VarData> block;
        if (AAccess == TGlobalAccess::Put) block.push_back(AArgs.back());
        const std::size_t positional = AAccess == TGlobalAccess::Put ? AArgs.size() - 1 : AArgs.size();
        for (std::size_t i = positional; i-- > 0;) block.push_back(AArgs[i]);
        DISPID named = plat::DISPID_PROPERTYPUT;
        plat::DISPPARAMS params{block.data(), AAccess == TGlobalAccess::Put ? &named : nullptr,
                                static_cast<std::uint32_t>(block.size()), AAccess == TGlobalAccess::Put ? 1u : 0u};
        const std::uint16_t flags = AAccess == TGlobalAccess::Call  ? plat::DISPATCH_METHOD | plat::DISPATCH_PROPERTYGET
                                    : AAccess == TGlobalAccess::Get ? plat::DISPATCH_PROPERTYGET
                                                                    : plat::DISPATCH_PROPERTYPUT;
        // A Sub yields nothing: asking it for a result would be a type mismatch.
        const TXANDispIdObject* target = FMachine.ObjectByDispId(id);
        const bool yields = AAccess != TGlobalAccess::Put && target && target->FResMask != 0;
        Variant result;
        plat::EXCEPINFO excep;
        FPlace = {};
        const HRESULT hr = code->Invoke(id, plat::IID_NULL, 0, flags, &params, yields ? &result : nullptr, &excep, nullptr);
        if (plat::Failed(hr)) {
            const UString text = hr == plat::DISP_E_EXCEPTION ? excep.description : plat::OleErrorText(hr);
            plat::Throw<EScriptError>(text, FPlace.Known ? FPlace.Line : -1, FPlace.Known ? FPlace.Column : 0,
                                      hr == plat::DISP_E_EXCEPTION ? excep.scode : hr);
        }
        return result;
    }

private:
    // The dispatch id of a global of the script, and the code object that knows it.
    DISPID IdOf(const UString& AName, plat::ComPtr<IDispatch>& ACode) {
        ACode = plat::ComPtr<IDispatch>::Attach(FMachine.GetCodeObject());
        const char16_t* names[] = {AName.c_str()};
        DISPID id = plat::DISPID_UNKNOWN;
        const HRESULT hr = ACode->GetIDsOfNames(plat::IID_NULL, names, 1, 0, &id);
        if (plat::Failed(hr)) plat::Throw<EScriptError>(plat::OleErrorText(hr), -1, 0, hr);
        return id;
    }

    struct TPlace {
        bool Known = false;
        Integer Line = -1, Column = 0;
    };
    struct TItem {
        UString Name;
        plat::ComPtr<IDispatch> Obj;
        bool GlobalMembers;
    };
    class TOpen : public TScriptBlock {
    public:
        explicit TOpen(TVbAdapter& AOwner) : FOwner(AOwner) {}
        void Run() override {
            if (FOwner.FMachine.State() == msInitialized) FOwner.Guard([&] { FOwner.FMachine.Open(FOwner.FDebug.Debugger()); });
        }

    private:
        TVbAdapter& FOwner;
    };
    class TStatements : public TScriptBlock {
    public:
        TStatements(TVbAdapter& AOwner, UString AText) : FOwner(AOwner), FText(std::move(AText)) {}
        void Run() override { FOwner.Evaluate(FText, false); }

    private:
        TVbAdapter& FOwner;
        UString FText;
    };

    void RequireActive() {
        if (FMachine.State() != msActive)
            plat::Throw<EScriptError>(UString(u"The script has not been started"), -1, 0, plat::E_UNEXPECTED);
    }

    // Runs ABody; an error leaves as EScriptError with the place the machine reported.
    template <class F>
    void Guard(F&& ABody) {
        FPlace = {};
        std::unique_ptr<plat::Exception> e = plat::CatchAll(ABody);
        if (!e) return;
        if (e->Is<EScriptError>()) plat::Raise(e.release());
        HRESULT code = plat::E_FAIL;
        plat::Throw<EScriptError>(e->Message(), FPlace.Known ? FPlace.Line : -1, FPlace.Known ? FPlace.Column : 0,
                                  code);
    }

    TXANVirtMachine FMachine;
    TVbDebug FDebug;
    UString FSource;
    std::vector<TItem> FItems;
    TPlace FPlace;
};

}  // namespace

void RegisterVbScriptEngine() {
    plat::RegisterOleClass(u"VBScript", [] {
        plat::ComPtr<TScriptEngine> engine(
            new TScriptEngine([] { return std::unique_ptr<TLanguageAdapter>(new TVbAdapter()); }));
        return plat::ComPtr<IUnknown>(static_cast<IActiveScript*>(engine.Get()));
    });
}

}  // namespace xan::as
