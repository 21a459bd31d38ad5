#include "components/ScriptControl.h"

#include <atomic>
#include <mutex>

#include "components/ActiveXRunner.h"
#include "components/DebuggerIntf.h"
#include "components/ScriptDebugger.h"
#include "components/NativeRunner.h"
#include "platform/ole/HResult.h"
#include "platform/ole/OleError.h"
#include "platform/text/Format.h"
#include "wrappers/Conversions.h"
#include "wrappers/SystemWrappers.h"

namespace xan {

using plat::UString;
using plat::Variant;

namespace {

const TXANScriptLanguageInfo kLanguages[XANScriptLanguageCount] = {
    {slkActiveX, u"VBScript", u"slVBScript"},      {slkActiveX, u"JScript", u"slJScript"},
    {slkActiveX, u"PerlScript", u"slPerl"},        {slkActiveX, u"ObjectREXXScript", u"slRexx"},
    {slkActiveX, u"TclScript", u"slTCL"},          {slkActiveX, u"Python", u"slPython"},
    {slkActiveX, u"LuaScript", u"slLua"},          {slkNative, u"Pascal", u"slPascal"},
    {slkNative, u"NativeVb", u"slNativeVb"},
};

[[noreturn]] void RaiseNamedItemError(const char16_t* AFormat, const UString& AName) {
    plat::Raise(new plat::EOleSysError(plat::Format(AFormat, AName), plat::E_FAIL));
}

std::uint32_t NextIdentity() noexcept {
    static std::atomic<std::uint32_t> last{0x5C0000};
    return ++last;
}

}  // namespace

const TXANScriptLanguageInfo& XANLanguageInfo(TXANScriptLanguage ALanguage) { return kLanguages[ALanguage]; }

bool XANHasSourceMarker(std::u16string_view AMessage) noexcept {
    const auto bracket = AMessage.rfind(u'[');
    return bracket != std::u16string_view::npos && AMessage.substr(bracket + 1).starts_with(u"line:");
}

// ---- Construction --------------------------------------------------------------------------------

TXANScriptControl::TXANScriptControl(plat::TComponent* AOwner)
    : TComponent(AOwner), FNamedItems(TNamedItemsTraits::Class(), true),
      FSource(std::make_unique<TScriptSourceStrings>(this)), FIdentity(NextIdentity()) {
    static std::once_flag registered;
    std::call_once(registered, [] {
        XANRegisterNotifyEventType();
        XANRegisterScriptControlProperties();
    });
}

TXANScriptControl::~TXANScriptControl() {
    Destroying();
    if (FState != ssInactive) plat::CatchAll([&] { Close(false, true); });
    if (FDebugger) {
        TXANScriptDebuggerBase* debugger = std::exchange(FDebugger, nullptr);
        RemoveFreeNotification(debugger);
        debugger->DetachScript(this);
    }
    FDebugModule = nullptr;
    FEventHandlers.clear();
    FNamedItems.Clear();
}

void TXANScriptControl::CheckState(TXANStateSet AAllowed) const {
    if (!(AAllowed & XANStates(FState))) plat::Throw<EXANScriptControl>(UString(SInvalidScriptControlState));
}

TRunnerBase& TXANScriptControl::ActiveRunner(TXANStateSet AAllowed) const {
    CheckState(AAllowed);
    return *FRunner;
}

// ---- Events ------------------------------------------------------------------------------------------

void TXANScriptControl::DoBeforePrepare() { BeforePrepare.Fire(this); }
void TXANScriptControl::DoBeforeOpen() { BeforeOpen.Fire(this); }
void TXANScriptControl::DoAfterClose() { AfterClose.Fire(this); }

// ---- Lifecycle -----------------------------------------------------------------------------------

std::unique_ptr<TRunnerBase> TXANScriptControl::NewRunner() {
    const TXANScriptLanguageInfo& info = XANLanguageInfo(FLanguage);
    if (info.Kind == slkNative) return std::make_unique<TNativeRunner>(this, FExceptionSourceInfo);
    return std::make_unique<TActiveXRunner>(this, FExceptionSourceInfo);
}

void TXANScriptControl::BindNamedValues() {
    FNamedValuesHolder = plat::ComPtr<TNamedValuesHolder>(new TNamedValuesHolder());
    std::vector<plat::TObject*> items;
    FNamedItems.GetAll(items);
    for (plat::TObject* each : items) {
        auto& item = static_cast<TNamedItem&>(*each);
        if (item.Kind == nikValue) FNamedValuesHolder->AddValue(item.Name, item.Value);
    }
}

void TXANScriptControl::Prepare() {
    CheckState(XANStates(ssInactive));
    DoBeforePrepare();
    FRunner = NewRunner();
    TRunnerDebugBase* runnerDebug = FDebugger ? FDebugger->RunnerDebug() : nullptr;
    try {
        BindNamedValues();
        FRunner->Prepare(runnerDebug);
        FCodeObject = plat::ComPtr<plat::IDispatch>::Attach(FRunner->GetCodeObject());
    } catch (...) {
        FRunner.reset();
        FCodeObject = nullptr;
        FNamedValuesHolder = nullptr;
        throw;
    }
    FState = ssPrepared;
}

void TXANScriptControl::Open(bool ACloseOnRuntimeError) {
    CheckState(XANStates(ssInactive, ssPrepared));
    if (FState == ssInactive) Prepare();
    DoBeforeOpen();
    FState = ssActive;
    try {
        FRunner->Open();
    } catch (...) {
        if (ACloseOnRuntimeError) Close(false, true);
        throw;
    }
}

void TXANScriptControl::Close(bool AClearObjects, bool AClearEventHandler) {
    if (FState != ssInactive) {
        FRunner->Close();
        FCodeObject = nullptr;
        FNamedValuesHolder = nullptr;
        FRunner.reset();
        FState = ssInactive;
    }
    if (AClearObjects) ClearObjects();
    if (AClearEventHandler) ClearEventHandlers();
    DoAfterClose();
}

// ---- Properties ----------------------------------------------------------------------------------

void TXANScriptControl::SetActive(bool AValue) {
    if (HasState(plat::csLoading)) {
        FLoadingActive = AValue;
        return;
    }
    if (AValue && FState != ssActive) Open(true);
    else if (!AValue && FState == ssActive) Close(false, true);
}

void TXANScriptControl::SetSource(const plat::TStrings* AValue) { FSource->Assign(AValue); }

void TXANScriptControl::CheckLanguageFits(TXANScriptLanguage ALanguage, TXANScriptDebuggerBase* ADebugger) const {
    for (plat::Integer i = 0; i < ADebugger->ScriptCount(); ++i) {
        const TXANScriptControl* other = ADebugger->Scripts(i);
        if (other != this && XANLanguageKind(other->Language()) != XANLanguageKind(ALanguage))
            plat::Throw<EXANScriptControl>(UString(SMixedLanguageKinds));
    }
}

void TXANScriptControl::SetLanguage(TXANScriptLanguage AValue) {
    CheckState(XANStates(ssInactive));
    if (FDebugger) CheckLanguageFits(AValue, FDebugger);
    FLanguage = AValue;
    if (FDebugger) FDebugger->ScriptLanguageChanged(this);
}

void TXANScriptControl::SetDebugger(TXANScriptDebuggerBase* AValue) {
    CheckState(XANStates(ssInactive));
    if (AValue) CheckLanguageFits(FLanguage, AValue);
    if (AValue == FDebugger) return;
    if (FDebugger) {
        TXANScriptDebuggerBase* old = std::exchange(FDebugger, nullptr);
        RemoveFreeNotification(old);
        FDebugModule = nullptr;
        old->DetachScript(this);
    }
    if (AValue) {
        FDebugger = AValue;
        FreeNotification(AValue);
        AValue->AttachScript(this);
    }
}

UString TXANScriptControl::DebugName() const { return FDebugModule ? FDebugModule->Name() : UString(); }

void TXANScriptControl::SetDebugName(const UString& AValue) {
    if (HasState(plat::csLoading)) {
        FLoadingDebugName = AValue;
        return;
    }
    if (AValue == DebugName()) return;
    if (AValue.empty()) SetDebugModule(nullptr);
    else if (FDebugger) SetDebugModule(FDebugger->FindOrAddModule(AValue));
}

void TXANScriptControl::SetDebugModule(TXANDebugModule* AValue) {
    if (AValue == FDebugModule) return;
    if (AValue && AValue->Debugger() != FDebugger) return;
    FDebugModule = AValue;
    if (FDebugger) FDebugger->DebugNameChanged(this);
}

void TXANScriptControl::SetExceptionSourceInfo(bool AValue) {
    CheckState(XANStates(ssInactive));
    FExceptionSourceInfo = AValue;
}

plat::IDispatch* TXANScriptControl::CodeObject() const {
    CheckState(XANStates(ssPrepared, ssActive));
    return FCodeObject.Get();
}

Variant TXANScriptControl::Script() const { return Variant(CodeObject()); }

plat::IDispatch* TXANScriptControl::NamedValuesHolderDispatch() const noexcept {
    return static_cast<plat::IDispatch*>(FNamedValuesHolder.Get());
}

void TXANScriptControl::Loaded() {
    TComponent::Loaded();
    if (!FLoadingDebugName.empty()) SetDebugName(std::exchange(FLoadingDebugName, UString()));
    if (std::exchange(FLoadingActive, false)) SetActive(true);
}

void TXANScriptControl::Notification(plat::TComponent* AComponent, plat::TOperation AOperation) {
    TComponent::Notification(AComponent, AOperation);
    if (AOperation == plat::TOperation::opRemove && AComponent == FDebugger) {
        FDebugger = nullptr;
        FDebugModule = nullptr;
    }
}

void TXANScriptControl::FormatSourceInfo(plat::Integer ALine, plat::Integer ALinePos, plat::Exception& E) {
    if (XANHasSourceMarker(E.Message().view())) return;
    E.SetMessage(plat::Format(SSourceInfoFormat, E.Message(), FIdentity, ALine, ALinePos));
}

// ---- Named items ---------------------------------------------------------------------------------

TNamedItem* TXANScriptControl::FindItem(const UString& AName) const {
    const UString key = XANNamedItemKey(AName);
    return static_cast<TNamedItem*>(FNamedItems.Find(&key));
}

void TXANScriptControl::AddNamedObject(const UString& AName, plat::IDispatch* AObj, bool APublishMembers) {
    if (FindItem(AName)) RaiseNamedItemError(SNamedItemExists, AName);
    auto item = std::make_unique<TNamedItem>();
    item->Kind = nikObject;
    item->UppName = XANNamedItemKey(AName);
    item->Name = AName;
    item->Value = Variant(AObj);
    item->PubMembers = APublishMembers;
    FNamedItems.Add(item.get());
    TNamedItem& added = *item.release();
    if (FState != ssInactive) FRunner->AddNamedObjectToEngine(added);
}

void TXANScriptControl::AddObject(const UString& AName, const Variant& AObj, bool APublishMembers) {
    AddNamedObject(AName, XANDispatchOf(AObj).Get(), APublishMembers);
}

void TXANScriptControl::AddOrSetValue(const UString& AName, const Variant& AValue) {
    TNamedItem* item = FindItem(AName);
    if (item && item->Kind == nikObject) RaiseNamedItemError(SValueNamedItemRequired, AName);
    if (!item) {
        auto made = std::make_unique<TNamedItem>();
        made->Kind = nikValue;
        made->UppName = XANNamedItemKey(AName);
        made->Name = AName;
        FNamedItems.Add(made.get());
        item = made.release();
    }
    item->Value = Variant(AValue.Deref());
    if (FState != ssInactive) FNamedValuesHolder->AddValue(item->Name, item->Value);
}

bool TXANScriptControl::TryReadValue(const UString& AName, Variant& AResult) const {
    const TNamedItem* item = FindItem(AName);
    if (!item || item->Kind != nikValue) {
        AResult.Clear();
        return false;
    }
    AResult = item->Value;
    return true;
}

void TXANScriptControl::AddChildren(plat::TComponent* AOwner, bool APublishMembers) {
    for (plat::Integer i = 0; i < AOwner->ComponentCount(); ++i) {
        plat::TComponent* child = AOwner->Components(i);
        if (!child->Name().empty())
            AddNamedObject(child->Name(), XANDispatchOf(TObject_sw::ToVar(child)).Get(), APublishMembers);
    }
}

plat::ComPtr<plat::IDispatch> TXANScriptControl::GetUnitInstance(const TXANUnitWrapperClass* AWrapperClass) {
    const plat::ComPtr<TXANUnitWrapper> unit = AWrapperClass->Create(this);
    return plat::ComPtr<plat::IDispatch>(static_cast<plat::IDispatch*>(unit.Get()));
}

void TXANScriptControl::AddUnit(const TXANUnitWrapperClass* AWrapperClass, bool APublishMembers) {
    AddNamedObject(AWrapperClass->GetUnitName(), GetUnitInstance(AWrapperClass).Get(), APublishMembers);
}

void TXANScriptControl::AddUnits(std::initializer_list<const TXANUnitWrapperClass*> AWrapperClasses,
                                 bool APublishMembers) {
    for (const TXANUnitWrapperClass* each : AWrapperClasses) AddUnit(each, APublishMembers);
}

void TXANScriptControl::AddAllUnits(bool APublishMembers) {
    for (const TXANUnitWrapperClass* each : GetUnitWrappers()) AddUnit(each, APublishMembers);
}

void TXANScriptControl::RemoveObject(const UString& AName) {
    CheckState(XANStates(ssInactive));
    const UString key = XANNamedItemKey(AName);
    FNamedItems.Remove(&key);
}

void TXANScriptControl::ClearObjects() {
    CheckState(XANStates(ssInactive));
    FNamedItems.Clear();
}

// ---- Host events ---------------------------------------------------------------------------------

void TXANScriptControl::ClearEventHandlers() { FEventHandlers.clear(); }

TXANScriptEventHandler* TXANScriptControl::GetEventHandler(const UString& AProcName,
                                                           const TXANEventWrapperClass* AEventType) {
    const TXANScriptEventHandlerClass* handlerClass = AEventType->GetScriptHandlerClass();
    const UString key = XANNamedItemKey(AProcName);
    for (const auto& handler : FEventHandlers)
        if (handler->HandlerClass() == handlerClass && XANNamedItemKey(handler->ProcName()) == key)
            return handler.get();
    FEventHandlers.push_back(handlerClass->Create(this, AProcName));
    return FEventHandlers.back().get();
}

void TXANScriptControl::HookEvent(plat::TObject* AInstance, plat::PPropInfo APropInfo, const UString& AProcName) {
    const TXANEventWrapperClass* eventType = FindEventWrapper(APropInfo->PropType);
    TXANScriptEventHandler* handler = GetEventHandler(AProcName, eventType);
    plat::SetMethodProp(*AInstance, APropInfo, handler->GetHandler());
}

void TXANScriptControl::HookEvent(plat::TObject* AInstance, const UString& APropName, const UString& AProcName) {
    plat::PPropInfo prop = plat::GetPropInfo(*AInstance, APropName.view());
    if (!prop) plat::Throw<EXANScriptControl>(plat::Format(SPropertyNotFound, APropName));
    HookEvent(AInstance, prop, AProcName);
}

// ---- Running -------------------------------------------------------------------------------------

TXANPreparedCodeRef TXANScriptControl::PrepareExpr(const UString& AExpression) {
    return ActiveRunner(XANStates(ssPrepared, ssActive)).PrepareExpr(AExpression);
}

TXANPreparedCodeRef TXANScriptControl::PrepareStmt(const UString& AStatement) {
    return ActiveRunner(XANStates(ssPrepared, ssActive)).PrepareStmt(AStatement);
}

Variant TXANScriptControl::Eval(const UString& AExpression) {
    return ActiveRunner(XANStates(ssActive)).Eval(AExpression);
}

Variant TXANScriptControl::Eval(TXANPreparedCode& APreparedExpr) {
    return ActiveRunner(XANStates(ssActive)).Eval(APreparedExpr);
}

void TXANScriptControl::ExecuteStatement(const UString& AStatement) {
    ActiveRunner(XANStates(ssActive)).ExecStmt(AStatement);
}

void TXANScriptControl::ExecuteStatement(TXANPreparedCode& APreparedStmt) {
    ActiveRunner(XANStates(ssActive)).ExecStmt(APreparedStmt);
}

Variant TXANScriptControl::RunProc(const UString& AName) { return ActiveRunner(XANStates(ssActive)).RunProc(AName); }

Variant TXANScriptControl::RunProc(const UString& AName, std::span<Variant> AArgs) {
    return ActiveRunner(XANStates(ssActive)).RunProc(AName, AArgs);
}

Variant TXANScriptControl::ReadVar(const UString& AName) { return ActiveRunner(XANStates(ssActive)).ReadVar(AName); }

void TXANScriptControl::WriteVar(const UString& AName, const Variant& AValue) {
    ActiveRunner(XANStates(ssActive)).WriteVar(AName, AValue);
}

// ---- Event handler base --------------------------------------------------------------------------

void TXANScriptEventHandler::CallProc(std::span<Variant> AArgs) { FOwner->RunProc(FProcName, AArgs); }

}  // namespace xan
