#include "tools/velmora/Session.h"

#include <ostream>

#include "components/ExceptionsUnit.h"
#include "components/NativeLanguages.h"
#include "components/NativeRunner.h"
#include "platform/core/Assert.h"
#include "wrappers/SystemWrappers.h"
#include "platform/ole/VarConsts.h"
#include "platform/ole/Variant.h"
#include "platform/text/Format.h"
#include "tools/velmora/UiObject.h"

namespace xan::cli {

using plat::UString;
using plat::Variant;

namespace {

// A message as one line per line of the terminal: the machine's texts break lines with CR LF.
std::string TerminalText(const UString& AMessage) {
    std::string text = AMessage.ToUtf8();
    for (auto at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) text.erase(at, 1);
    return text;
}

UString ValueText(const Variant& AValue, IXANLanguage& ALanguage) {
    const plat::VarData& v = AValue.Deref();
    UString text;
    switch (v.VType) {
        case plat::varEmpty: ALanguage.GetUnassignedText(text); return text;
        case plat::varNull: ALanguage.GetNullText(text); return text;
        case plat::varDispatch:
        case plat::varUnknown:
            if (!v.VPointer) {
                ALanguage.GetNilText(text);
                return text;
            }
            return UString(u"[object]");
        default:
            if (v.VType & plat::varArray)
                return UString(u"[array of ") + plat::VarTypeName(v.VType & plat::varTypeMask) + UString(u"]");
            return plat::VarToUString(v);
    }
}

}  // namespace

TXANScriptLanguage ControlLanguage(ScriptLanguage ALanguage) {
    switch (ALanguage) {
        case ScriptLanguage::Pascal: return slPascal;
        case ScriptLanguage::Vb: return slNativeVb;
        case ScriptLanguage::JScript: return slJScript;
        case ScriptLanguage::Perl: return slPerl;
        case ScriptLanguage::Rexx: return slRexx;
        case ScriptLanguage::Tcl: return slTCL;
        case ScriptLanguage::Python: return slPython;
        case ScriptLanguage::Lua: return slLua;
    }
    return slPascal;
}

namespace {
// Special values of the engines' languages print as our VBScript dialect writes them.
TXANScriptLanguage TextLanguage(ScriptLanguage ALanguage) {
    const TXANScriptLanguage control = ControlLanguage(ALanguage);
    return XANLanguageKind(control) == slkNative ? control : slNativeVb;
}
}  // namespace

// Errors name the session's source (a file, "<eval>", "<stdin>") rather than the control.
class TSession::TControl : public TXANScriptControl {
    XAN_CLASS(TControl, TXANScriptControl)
    TControl() = default;
    explicit TControl(TSession* ASession) : FSession(ASession) {}
    void FormatSourceInfo(plat::Integer ALine, plat::Integer APos, plat::Exception& E) override {
        FSession->NoteSourceInfo(ALine, APos, E);
    }

private:
    TSession* FSession = nullptr;
};

TSession::TSession(ScriptLanguage ALanguage, std::ostream& AOut, std::ostream& AErr)
    : FKind(ALanguage), FOut(AOut), FErr(AErr), FLanguage(XANNewNativeLanguage(TextLanguage(ALanguage))) {
    XANRegisterExceptionWrappers();
    Adopt(NewControl());
}

TSession::~TSession() = default;

TXANVirtMachine& TSession::Machine() {
    TXANVirtMachine* vm = XANMachineOf(*FControl);
    XAN_ASSERT("velmora", vm != nullptr);
    return *vm;
}

void TSession::Adopt(std::unique_ptr<TXANScriptControl> AControl) { FControl = std::move(AControl); }

std::unique_ptr<TXANScriptControl> TSession::NewControl() {
    auto control = std::make_unique<TControl>(this);
    control->SetLanguage(ControlLanguage(FKind));
    if (XANLanguageKind(control->Language()) == slkActiveX) {
        control->AddObject(UIObjectName, Variant(NewUIObject().Get()), false);
        return control;
    }
    control->AddUnit(System_sw::Class(), false);
    control->AddUnit(Exceptions_sw::Class(), true);
    return control;
}

void TSession::NoteSourceInfo(plat::Integer ALine, plat::Integer APos, plat::Exception& E) {
    if (XANHasSourceMarker(E.Message().view())) return;
    FPlace = {true, ALine, APos, E.Message()};
    E.SetMessage(plat::Format(u"%s\r\nSource: %s [line: %d, pos: %d]", E.Message(), UString::FromUtf8(FSourceName),
                              ALine, APos));
}

void TSession::Report(const plat::Exception& E) {
    FOut.flush();
    if (FPlace.Known)
        FErr << FSourceName << ':' << FPlace.Line + FLineOffset + 1 << ':' << FPlace.Column
             << ": error: " << TerminalText(FPlace.Message) << '\n';
    FErr << "velmora: " << E.ClassName().ToUtf8() << ": " << TerminalText(E.Message()) << '\n';
}

bool TSession::Print(const Variant& AValue) {
    UString text;
    if (!Guard([&] { text = ValueText(AValue, *FLanguage); })) return false;
    FOut << text.ToUtf8() << '\n';
    return true;
}

}  // namespace xan::cli
