#pragma once
// TXANScriptControl: the component through which a host uses one script.
//
// The host sets the language and the source, gives the script host objects and plain values by
// name, optionally attaches a debugger, and then prepares (compiles), opens (runs the global
// code) and uses the script: calls procedures, reads and writes variables, evaluates
// expressions, executes statements, and hooks script procedures to host events. The control
// owns one runner while it is prepared or active and forwards all execution to it.
//
//   TXANScriptControl script;
//   script.SetLanguage(slPascal);
//   script.Source().SetText(u"function Twice(x); begin Result := 2 * x; end;");
//   script.AddObject(u"App", TObject_sw::ToVar(&app), false);
//   script.Open();
//   Variant four = script.RunProc(u"Twice", args);
//
// Every operation checks the control's state first; a state outside its allowed set raises
// EXANScriptControl "Invalid script control state" and changes nothing.
#include <initializer_list>
#include <memory>
#include <span>
#include <vector>

#include "components/EventHandlers.h"
#include "components/NamedItems.h"
#include "components/Runner.h"
#include "components/ScriptSource.h"
#include "components/ScriptTypes.h"
#include "foundation/HashTable.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/TypInfo.h"
#include "wrappers/WrapperClasses.h"

namespace xan {

class TXANScriptDebuggerBase;
class TXANDebugModule;

using TXANStateSet = std::uint8_t;
template <class... S>
constexpr TXANStateSet XANStates(S... AStates) noexcept {
    return static_cast<TXANStateSet>(((1u << AStates) | ...));
}

class TXANScriptControl : public plat::TComponent {
    XAN_CLASS(TXANScriptControl, plat::TComponent)
    explicit TXANScriptControl(plat::TComponent* AOwner = nullptr);
    ~TXANScriptControl() override;

    // ---- Published properties ---------------------------------------------------------------------
    bool Active() const noexcept { return FState == ssActive; }
    // True opens (closing again on a runtime error of the global code) unless active; False
    // closes an active control (a prepared one stays prepared). While the component is being
    // loaded the value is only remembered: Loaded applies it once every property is read.
    void SetActive(bool AValue);
    plat::TStrings& Source() noexcept { return *FSource; }
    const plat::TStrings& Source() const noexcept { return *FSource; }
    void SetSource(const plat::TStrings* AValue);  // copies the lines
    TXANScriptDebuggerBase* Debugger() const noexcept { return FDebugger; }
    void SetDebugger(TXANScriptDebuggerBase* AValue);
    plat::UString DebugName() const;
    void SetDebugName(const plat::UString& AValue);
    TXANScriptLanguage Language() const noexcept { return FLanguage; }
    void SetLanguage(TXANScriptLanguage AValue);
    bool ExceptionSourceInfo() const noexcept { return FExceptionSourceInfo; }
    void SetExceptionSourceInfo(bool AValue);
    plat::TNotifyEvent BeforePrepare;
    plat::TNotifyEvent BeforeOpen;
    plat::TNotifyEvent AfterClose;

    // ---- Public properties --------------------------------------------------------------------------
    TXANScriptControlState State() const noexcept { return FState; }
    // Prepared or active: the script's own dispatch object (its procedures and globals).
    plat::IDispatch* CodeObject() const;
    plat::Variant Script() const;
    TXANDebugModule* DebugModule() const noexcept { return FDebugModule; }
    void SetDebugModule(TXANDebugModule* AValue);

    // ---- Lifecycle -------------------------------------------------------------------------------------
    void Prepare();
    void Open(bool ACloseOnRuntimeError = true);
    void Close(bool AClearObjects = false, bool AClearEventHandler = false);

    // ---- Named objects and values ------------------------------------------------------------------
    // Obj's dispatch interface (none when it holds no dispatch object) under AName.
    void AddObject(const plat::UString& AName, const plat::Variant& AObj, bool APublishMembers);
    void AddOrSetValue(const plat::UString& AName, const plat::Variant& AValue);
    bool TryReadValue(const plat::UString& AName, plat::Variant& AResult) const;
    // Every named component AOwner owns, in its order, wrapped as a host object.
    void AddChildren(plat::TComponent* AOwner, bool APublishMembers);
    void AddUnit(const TXANUnitWrapperClass* AWrapperClass, bool APublishMembers);
    void AddUnits(std::initializer_list<const TXANUnitWrapperClass*> AWrapperClasses, bool APublishMembers);
    void AddAllUnits(bool APublishMembers);
    plat::ComPtr<plat::IDispatch> GetUnitInstance(const TXANUnitWrapperClass* AWrapperClass);
    void RemoveObject(const plat::UString& AName);
    void ClearObjects();

    // ---- Host events --------------------------------------------------------------------------------
    void ClearEventHandlers();
    TXANScriptEventHandler* GetEventHandler(const plat::UString& AProcName, const TXANEventWrapperClass* AEventType);
    void HookEvent(plat::TObject* AInstance, plat::PPropInfo APropInfo, const plat::UString& AProcName);
    void HookEvent(plat::TObject* AInstance, const plat::UString& APropName, const plat::UString& AProcName);

    // ---- Running ------------------------------------------------------------------------------------
    // Prepared forms belong to the caller; they are valid until the control closes.
    TXANPreparedCodeRef PrepareExpr(const plat::UString& AExpression);
    TXANPreparedCodeRef PrepareStmt(const plat::UString& AStatement);
    plat::Variant Eval(const plat::UString& AExpression);
    plat::Variant Eval(TXANPreparedCode& APreparedExpr);
    void ExecuteStatement(const plat::UString& AStatement);
    void ExecuteStatement(TXANPreparedCode& APreparedStmt);
    plat::Variant RunProc(const plat::UString& AName);
    // Arguments in parameter order; a by-reference parameter writes back into its argument.
    plat::Variant RunProc(const plat::UString& AName, std::span<plat::Variant> AArgs);
    plat::Variant ReadVar(const plat::UString& AName);
    void WriteVar(const plat::UString& AName, const plat::Variant& AValue);

    // ---- For runners and debuggers ----------------------------------------------------------------
    // EXANScriptControl "Invalid script control state" unless the state is in AAllowed.
    void CheckState(TXANStateSet AAllowed) const;
    TRunnerBase* Runner() const noexcept { return FRunner.get(); }
    const TXANHashTable& NamedItems() const noexcept { return FNamedItems; }
    plat::IDispatch* NamedValuesHolderDispatch() const noexcept;
    // A stable number that tells the controls of a process apart in error messages.
    std::uint32_t Identity() const noexcept { return FIdentity; }
    // Called for an error leaving the script (with ExceptionSourceInfo): unless the message
    // names a source position already, appends "Source: $<identity> [line: L, pos: P]". A host
    // may override it to name its sources its own way.
    virtual void FormatSourceInfo(plat::Integer ALine, plat::Integer ALinePos, plat::Exception& E);

protected:
    virtual void DoBeforePrepare();
    virtual void DoBeforeOpen();
    virtual void DoAfterClose();
    void Loaded() override;
    void Notification(plat::TComponent* AComponent, plat::TOperation AOperation) override;

private:
    std::unique_ptr<TRunnerBase> NewRunner();
    void BindNamedValues();
    void AddNamedObject(const plat::UString& AName, plat::IDispatch* AObj, bool APublishMembers);
    TNamedItem* FindItem(const plat::UString& AName) const;
    TRunnerBase& ActiveRunner(TXANStateSet AAllowed) const;
    void CheckLanguageFits(TXANScriptLanguage ALanguage, TXANScriptDebuggerBase* ADebugger) const;

    TXANScriptControlState FState = ssInactive;
    std::unique_ptr<TRunnerBase> FRunner;
    plat::ComPtr<plat::IDispatch> FCodeObject;
    plat::ComPtr<TNamedValuesHolder> FNamedValuesHolder;
    TXANHashTable FNamedItems;
    std::vector<std::unique_ptr<TXANScriptEventHandler>> FEventHandlers;
    std::unique_ptr<TScriptSourceStrings> FSource;
    TXANScriptDebuggerBase* FDebugger = nullptr;
    TXANScriptLanguage FLanguage = slVBScript;
    bool FExceptionSourceInfo = true;
    TXANDebugModule* FDebugModule = nullptr;
    plat::UString FLoadingDebugName;
    bool FLoadingActive = false;
    std::uint32_t FIdentity;
};

// Whether a message names a source position already: its last "[" is directly followed by "line:".
bool XANHasSourceMarker(std::u16string_view AMessage) noexcept;

// Registers the control's published properties with the run-time type information, so hosts
// store and restore them like those of other components (done once, by the first control).
void XANRegisterScriptControlProperties();
// The language enumeration's type information (its names are the languages' identifiers).
plat::PTypeInfo XANScriptLanguageTypeInfo();

}  // namespace xan
