#pragma once
// TActiveXRunner: the runner of the languages whose scripts run in an engine of the script-engine
// service (VBScript, JScript, PerlScript, ObjectREXXScript, TclScript, Python, LuaScript). It
// creates the engine by the language's program identifier, gives it a site (TAXSite) through
// which the engine asks for the control's named objects and reports errors, loads the source,
// adds the named objects and the named-values holder, and serves calls, variables, expressions
// and statements through the engine's interfaces.
//
// Errors the engine reports are kept by a TAXScriptErrorHolder and raised as EOleSysError with
// the engine's description and, when asked, "Source: $<control> [line: L, pos: P]" (the engine's
// line from 0 and position from 1). The script's dispatch object is handed out wrapped in a
// TAXCodeObject, so that a caller reaching the script through it gets the same message.
#include "activescript/ActiveScript.h"
#include "activescript/debug/DebugIntf.h"
#include "components/Runner.h"
#include "platform/ole/ComPtr.h"
#include "platform/ole/InterfacedObject.h"

namespace xan {

// The name under which the breakpoint-condition converter reaches a debugged engine.
inline constexpr char16_t XANConditionConverterName[] = u"XANCONDCVTR_946F_D2188D24F6F9";
inline constexpr char16_t SEngineCannotDebug[] = u"Script engine does not support debugging.";
inline constexpr char16_t STooManyParameters[] = u"Too many parameters.";
inline constexpr std::size_t XANMaxRunProcArgs = 64;

// Registers the service's engines once per process (later calls do nothing); the runner does it
// before it creates its first engine.
void XANEnsureScriptEngines();

// The last error the engine reported, shared by a runner and the code objects it handed out.
class TAXScriptErrorHolder {
public:
    TAXScriptErrorHolder(bool AAddSrcInfo, TXANScriptControl* ASource) noexcept
        : FAddSrcInfo(AAddSrcInfo), FSource(ASource) {}
    TAXScriptErrorHolder(const TAXScriptErrorHolder&) = delete;
    TAXScriptErrorHolder& operator=(const TAXScriptErrorHolder&) = delete;

    TAXScriptErrorHolder* AddRef() noexcept {
        ++FRefCount;
        return this;
    }
    void Release() noexcept {
        if (--FRefCount <= 0) delete this;
    }

    void SetError(as::IActiveScriptError* AError) noexcept { FLastError = AError; }
    void ClearScriptError() noexcept { FLastError = nullptr; }
    bool HasError() const noexcept { return FLastError != nullptr; }
    // The recorded error's description, with the source information when asked; AMsg is left
    // alone when no error is recorded.
    void FormatScriptError(plat::UString& AMsg) const;
    // Raises the recorded error (and clears it); nothing when none is recorded.
    void CheckScriptError();

private:
    ~TAXScriptErrorHolder() = default;
    plat::HRESULT ErrorCode() const;

    plat::Integer FRefCount = 1;
    plat::ComPtr<as::IActiveScriptError> FLastError;
    bool FAddSrcInfo;
    TXANScriptControl* FSource;  // its identity in messages; not owned
};

// The engine's script dispatch object as the control hands it out.
class TAXCodeObject : public plat::TInterfacedObject, public plat::IDispatch {
    XAN_CLASS(TAXCodeObject, plat::TInterfacedObject)
    TAXCodeObject(TAXScriptErrorHolder* AErrorHolder, plat::IDispatch* AOrigin) noexcept;
    ~TAXCodeObject() override;

    plat::HRESULT GetTypeInfoCount(std::uint32_t* count) noexcept override;
    plat::HRESULT GetTypeInfo(std::uint32_t index, plat::LCID locale, plat::ITypeInfo** out) noexcept override;
    plat::HRESULT GetIDsOfNames(const plat::TGUID& iid, const char16_t* const* names, std::uint32_t count,
                                plat::LCID locale, plat::DISPID* ids) noexcept override;
    plat::HRESULT Invoke(plat::DISPID id, const plat::TGUID& iid, plat::LCID locale, std::uint16_t flags,
                         plat::DISPPARAMS* params, plat::Variant* result, plat::EXCEPINFO* excep,
                         std::uint32_t* argErr) noexcept override;

protected:
    std::span<const InterfaceEntry> InterfaceTable() const noexcept override;

private:
    TAXScriptErrorHolder* FErrorHolder;  // one reference
    plat::ComPtr<plat::IDispatch> FOrigin;
};

class TActiveXRunner;
class TActiveXRunnerDebug;
class TAXAppDebugger;
class TAXConditionConverter;

// What the engine asks of the host.
class TAXSite : public plat::TInterfacedObject,
                public as::IActiveScriptSite,
                public as::IActiveScriptSiteWindow,
                public as::IActiveScriptSiteDebug {
    XAN_CLASS(TAXSite, plat::TInterfacedObject)
    explicit TAXSite(TActiveXRunner* ARunner);
    ~TAXSite() override;
    // The runner is going away; the engine may still hold the site.
    void Detach() noexcept { FRunner = nullptr; }

    // IActiveScriptSite
    plat::HRESULT GetLCID(plat::LCID* locale) noexcept override;
    plat::HRESULT GetItemInfo(const char16_t* name, std::uint32_t mask, plat::IUnknown** item,
                              plat::ITypeInfo** typeInfo) noexcept override;
    plat::HRESULT GetDocVersionString(plat::UString* version) noexcept override;
    plat::HRESULT OnScriptTerminate(const plat::Variant*, const plat::EXCEPINFO*) noexcept override { return plat::S_OK; }
    plat::HRESULT OnStateChange(as::SCRIPTSTATE) noexcept override { return plat::S_OK; }
    plat::HRESULT OnScriptError(as::IActiveScriptError* error) noexcept override;
    plat::HRESULT OnEnterScript() noexcept override { return plat::S_OK; }
    plat::HRESULT OnLeaveScript() noexcept override { return plat::S_OK; }
    // IActiveScriptSiteWindow
    plat::HRESULT GetWindow(void** window) noexcept override;
    plat::HRESULT EnableModeless(bool) noexcept override { return plat::S_OK; }
    // IActiveScriptSiteDebug: the debugging layer answers these; without it there is nothing.
    plat::HRESULT GetDocumentContextFromPosition(std::uint64_t, std::uint32_t, std::uint32_t,
                                                 as::IDebugDocumentContext** context) noexcept override;
    plat::HRESULT GetApplication(as::IDebugApplication** application) noexcept override;
    plat::HRESULT GetRootApplicationNode(as::IDebugApplicationNode** node) noexcept override;
    plat::HRESULT OnScriptErrorDebug(as::IActiveScriptError* error, bool* enterDebugger,
                                     bool* callOnScriptErrorWhenContinuing) noexcept override;

protected:
    std::span<const InterfaceEntry> InterfaceTable() const noexcept override;

private:
    TActiveXRunner* FRunner;  // not counted
    plat::ComPtr<TAXConditionConverter> FCondCvtr;
};

// An expression or statement kept as text: the engine parses it when it runs.
class TAXDynCode : public TXANPreparedCode {
public:
    explicit TAXDynCode(plat::UString AText) noexcept : FText(std::move(AText)) {}
    const plat::UString& Text() const noexcept { return FText; }

private:
    plat::UString FText;
};

class TActiveXRunner : public TRunnerBase {
public:
    TActiveXRunner(TXANScriptControl* ASControl, bool AAddSrcInfo);
    ~TActiveXRunner() override;

    TXANScriptLangKind GetLangKind() const override { return slkActiveX; }
    void Prepare(TRunnerDebugBase* ARunnerDebug) override;
    void Open() override;
    void Close() override;
    void AddNamedObjectToEngine(const TNamedItem& AItem) override;
    plat::Variant RunProc(const plat::UString& AName) override;
    plat::Variant RunProc(const plat::UString& AName, std::span<plat::Variant> AArgs) override;
    plat::Variant ReadVar(const plat::UString& AName) override;
    void WriteVar(const plat::UString& AName, const plat::Variant& AValue) override;
    TXANPreparedCodeRef PrepareExpr(const plat::UString& AExpr) override;
    TXANPreparedCodeRef PrepareStmt(const plat::UString& AStmt) override;
    plat::Variant Eval(TXANPreparedCode& APreparedExpr) override;
    plat::Variant Eval(const plat::UString& AExpr) override;
    void ExecStmt(TXANPreparedCode& APreparedStmt) override;
    void ExecStmt(const plat::UString& AStmt) override;
    plat::IDispatch* GetCodeObject() override;
    void AdjustBreakpoint(plat::Integer ALine, bool AEnabled, bool ADelete, bool& AIsValid) override;

    // For the site.
    TXANScriptControl& Control() const noexcept { return *FSControl; }
    TAXScriptErrorHolder& ErrorHolder() const noexcept { return *FErrorHolder; }
    // While debugging: the runner debug object and the script's debug document; none otherwise.
    TActiveXRunnerDebug* RunnerDebug() const noexcept { return FAppDebugger ? FRunnerDebug : nullptr; }
    as::IDebugDocumentHelper* Helper() const noexcept { return FHelper.Get(); }
    // The debug document of the script; none without one.
    plat::ComPtr<as::IDebugDocument> Document() const;
    // The characters of ALine (from 0) in the debug document: its start and length.
    void LineRange(plat::Integer ALine, std::uint32_t& AStart, std::uint32_t& ALength) const;

private:
    void CreateEngine();
    void CreateDebugDocument(const plat::UString& AText);
    void ParseText(const plat::UString& AText, std::uint64_t AContext, std::uint32_t AFlags, plat::Variant* AResult);
    void AddItem(const plat::UString& AName, std::uint32_t AFlags);
    // The call algorithm: AArgs in parameter order (reversed for the call, not copied).
    plat::Variant Invoke(const plat::UString& AName, std::uint16_t AFlags, std::span<plat::Variant> AArgs,
                         bool AWantResult);
    // After a failed engine call: the recorded script error, else the failure code.
    void RaiseFailure(plat::HRESULT AResult, const plat::EXCEPINFO& AExcep);
    void Check(plat::HRESULT AResult);

    TXANScriptControl* FSControl;
    bool FAddSrcInfo;
    plat::ComPtr<TAXSite> FSite;
    TActiveXRunnerDebug* FRunnerDebug = nullptr;
    plat::ComPtr<TAXAppDebugger> FAppDebugger;
    plat::ComPtr<as::IDebugDocumentHelper> FHelper;
    plat::ComPtr<as::IActiveScript> FScript;
    plat::ComPtr<as::IActiveScriptParse> FScriptParse;
    std::uint32_t FSourceContext = 0;
    TAXScriptErrorHolder* FErrorHolder;  // one reference
    plat::ComPtr<TAXCodeObject> FCodeObject;
};

}  // namespace xan
