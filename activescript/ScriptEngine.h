#pragma once
// TScriptEngine: one script engine of the service, the same for every language. It keeps the
// engine's state, its site, the parsed script blocks that wait for the start, and hands out
// the script dispatch object; the language itself is a TLanguageAdapter made at InitNew.
//
// States: UNINITIALIZED --InitNew--> INITIALIZED --SetScriptState(STARTED)--> STARTED
// (CONNECTED is accepted as STARTED); Close --> CLOSED from anywhere. Script text parsed before
// the start is checked at once (a syntax error is reported then) and runs at the start, in the
// order it was parsed; after the start it runs at once. Every script error reaches the site's
// OnScriptError before the failing call returns, which then answers SCRIPT_E_REPORTED
// (DISP_E_EXCEPTION, with the record filled, for a call through the script dispatch object).
//
// Debugging: when the adapter can be debugged the engine answers IActiveScriptDebug, and when
// its site offers a debug application at the first ParseScriptText the engine joins it
// (TEngineDebug); the texts parsed before the start are its debuggable blocks.
#include <functional>
#include <memory>
#include <vector>

#include "activescript/ActiveScript.h"
#include "activescript/LanguageAdapter.h"
#include "activescript/debug/EngineDebug.h"
#include "platform/ole/ComPtr.h"
#include "platform/ole/InterfacedObject.h"

namespace xan::as {

class TScriptEngine : public plat::TInterfacedObject,
                      public IActiveScript,
                      public IActiveScriptParse,
                      public IActiveScriptDebug {
    XAN_CLASS(TScriptEngine, plat::TInterfacedObject)
    using TAdapterFactory = std::function<std::unique_ptr<TLanguageAdapter>()>;
    explicit TScriptEngine(TAdapterFactory AFactory);
    ~TScriptEngine() override;

    // IActiveScript
    HRESULT SetScriptSite(IActiveScriptSite* site) noexcept override;
    HRESULT GetScriptSite(const TGUID& iid, void** out) noexcept override;
    HRESULT SetScriptState(SCRIPTSTATE state) noexcept override;
    HRESULT GetScriptState(SCRIPTSTATE* state) noexcept override;
    HRESULT Close() noexcept override;
    HRESULT AddNamedItem(const char16_t* name, std::uint32_t flags) noexcept override;
    HRESULT GetScriptDispatch(const char16_t* itemName, IDispatch** out) noexcept override;
    // IActiveScriptParse
    HRESULT InitNew() noexcept override;
    HRESULT ParseScriptText(const char16_t* code, const char16_t* itemName, IUnknown* context,
                            const char16_t* delimiter, std::uint64_t sourceContext, std::uint32_t startingLine,
                            std::uint32_t flags, Variant* result, EXCEPINFO* excep) noexcept override;
    // IActiveScriptDebug (offered only when the adapter can be debugged)
    HRESULT EnumCodeContextsOfPosition(std::uint64_t sourceContext, std::uint32_t charOffset, std::uint32_t charCount,
                                       IEnumDebugCodeContexts** out) noexcept override;

    // For the script dispatch object.
    TLanguageAdapter* Adapter() const noexcept { return FAdapter.get(); }
    // The dispatch id of a global (from 1), made on first request; DISPID_UNKNOWN when none.
    DISPID DispIdOfGlobal(const UString& AName);
    // The global's name for a dispatch id; empty when the id is unknown.
    UString GlobalOfDispId(DISPID AId) const;
    // Runs ABody as script code: the site hears of the entry and the exit, and a failure is
    // reported to the site (and into AExcep) with AStartLine added to its line. Answers S_OK,
    // or AFailCode after a reported failure.
    HRESULT RunScriptCode(const std::function<void()>& ABody, std::uint32_t AStartLine, std::uint64_t AContext,
                          EXCEPINFO* AExcep, HRESULT AFailCode) noexcept;

protected:
    std::span<const InterfaceEntry> InterfaceTable() const noexcept override;

private:
    struct TPendingBlock {
        std::unique_ptr<TScriptBlock> Block;
        std::uint32_t StartLine;
        std::uint64_t Context;
    };
    HRESULT RunPendingBlocks() noexcept;
    void ReportError(const plat::Exception& AError, std::uint32_t AStartLine, std::uint64_t AContext,
                     EXCEPINFO* AExcep) noexcept;

    TAdapterFactory FFactory;
    std::unique_ptr<TLanguageAdapter> FAdapter;
    plat::ComPtr<IActiveScriptSite> FSite;
    SCRIPTSTATE FState = SCRIPTSTATE_UNINITIALIZED;
    std::vector<TPendingBlock> FPending;
    std::vector<UString> FDispNames;  // index + 1 is the dispatch id
    plat::ComPtr<TEngineDebug> FDebug;  // while debugging
    bool FDebugChecked = false;
};

}  // namespace xan::as
