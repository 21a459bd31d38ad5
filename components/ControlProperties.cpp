// The script control's published properties and the event types the layer registers.
#include "components/DebuggerIntf.h"
#include "components/EventHandlers.h"
#include "components/ScriptControl.h"

#include <mutex>
#include <vector>

namespace xan {

using plat::TObject;
using plat::TPropInfo;
using plat::UString;

namespace {

TXANScriptControl& Control(TObject& AObject) { return static_cast<TXANScriptControl&>(AObject); }

TPropInfo BoolProp(UString AName, bool (TXANScriptControl::*AGetter)() const noexcept,
                   void (TXANScriptControl::*ASetter)(bool)) {
    TPropInfo p = plat::NewProp(std::move(AName), plat::BooleanTypeInfo());
    p.GetOrd = [AGetter](TObject& o) -> plat::Int64 { return (Control(o).*AGetter)() ? 1 : 0; };
    p.SetOrd = [ASetter](TObject& o, plat::Int64 v) { (Control(o).*ASetter)(v != 0); };
    return p;
}

TPropInfo SourceProp() {
    static const plat::TTypeInfo type = plat::MakeClassTypeInfo(plat::TStrings::StaticClass());
    TPropInfo p = plat::NewProp(u"Source", &type);
    p.GetObject = [](TObject& o) -> TObject* { return &Control(o).Source(); };
    p.SetObject = [](TObject& o, TObject* v) { Control(o).SetSource(static_cast<plat::TStrings*>(v)); };
    return p;
}

TPropInfo DebuggerProp() {
    static const plat::TTypeInfo type = plat::MakeClassTypeInfo(TXANScriptDebuggerBase::StaticClass());
    TPropInfo p = plat::NewProp(u"Debugger", &type);
    p.GetObject = [](TObject& o) -> TObject* { return Control(o).Debugger(); };
    p.SetObject = [](TObject& o, TObject* v) { Control(o).SetDebugger(static_cast<TXANScriptDebuggerBase*>(v)); };
    return p;
}

TPropInfo DebugNameProp() {
    TPropInfo p = plat::NewProp(u"DebugName", plat::StringTypeInfo());
    p.GetStr = [](TObject& o) { return Control(o).DebugName(); };
    p.SetStr = [](TObject& o, const UString& v) { Control(o).SetDebugName(v); };
    return p;
}

TPropInfo LanguageProp() {
    TPropInfo p = plat::NewProp(u"Language", XANScriptLanguageTypeInfo());
    p.GetOrd = [](TObject& o) -> plat::Int64 { return Control(o).Language(); };
    p.SetOrd = [](TObject& o, plat::Int64 v) { Control(o).SetLanguage(static_cast<TXANScriptLanguage>(v)); };
    return p;
}

}  // namespace

plat::PTypeInfo XANScriptLanguageTypeInfo() {
    static const plat::TTypeInfo type = plat::MakeEnumTypeInfo(
        u"TXANScriptLanguage",
        {u"slVBScript", u"slJScript", u"slPerl", u"slRexx", u"slTCL", u"slPython", u"slLua", u"slPascal", u"slNativeVb"});
    return &type;
}

void XANRegisterScriptControlProperties() {
    using C = TXANScriptControl;
    plat::RegisterProperties<C>({
        BoolProp(u"Active", &C::Active, &C::SetActive),
        SourceProp(),
        DebuggerProp(),
        DebugNameProp(),
        LanguageProp(),
        BoolProp(u"ExceptionSourceInfo", &C::ExceptionSourceInfo, &C::SetExceptionSourceInfo),
        plat::EventProp<C>(u"BeforePrepare", &C::BeforePrepare, plat::NotifyEventTypeInfo()),
        plat::EventProp<C>(u"BeforeOpen", &C::BeforeOpen, plat::NotifyEventTypeInfo()),
        plat::EventProp<C>(u"AfterClose", &C::AfterClose, plat::NotifyEventTypeInfo()),
    });
}

void XANRegisterEventWrapper(std::unique_ptr<TXANEventWrapperClass> AClass) {
    static std::mutex guard;
    static std::vector<std::unique_ptr<TXANEventWrapperClass>> kept;
    std::lock_guard<std::mutex> lock(guard);
    RegisterEventWrapper(AClass.get());
    kept.push_back(std::move(AClass));
}

void XANRegisterNotifyEventType() { XANRegisterEventType<void(TObject*)>(plat::NotifyEventTypeInfo()); }

}  // namespace xan
