#include "tools/velmora/Session.h"

#include <ostream>

#include "lang/pascal/PasLanguage.h"
#include "lang/vb/VbLanguage.h"
#include "platform/ole/VarConsts.h"
#include "platform/ole/Variant.h"
#include "platform/text/Format.h"

namespace xan::cli {

using plat::UString;
using plat::Variant;

namespace {

// A message that already names its source position keeps it: the innermost activation the
// error passed through reported the place where it happened.
bool HasSourceMarker(const UString& AMessage) {
    const auto text = AMessage.view();
    const auto bracket = text.rfind(u'[');
    return bracket != std::u16string_view::npos && text.substr(bracket + 1, 5) == u"line:";
}

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

IXANLanguage* NewLanguage(ScriptLanguage ALanguage) {
    if (ALanguage == ScriptLanguage::Vb) return new TXANVbLanguage();
    return new TXANPasLanguage();
}

TSession::TSession(ScriptLanguage ALanguage, std::ostream& AOut, std::ostream& AErr)
    : FKind(ALanguage), FOut(AOut), FErr(AErr) {
    Adopt(NewMachine());
}

TSession::~TSession() {
    if (FMachine) FMachine->Close();
}

void TSession::Adopt(std::unique_ptr<TXANVirtMachine> AMachine) {
    if (FMachine) FMachine->Close();
    FMachine = std::move(AMachine);
    FLanguage = FMachine->Language();
}

std::unique_ptr<TXANVirtMachine> TSession::NewMachine() {
    auto machine = std::make_unique<TXANVirtMachine>(NewLanguage(FKind));
    machine->OnFormatException = [this](TXANVirtMachine*, plat::Integer ALine, plat::Integer APos, plat::Exception* E) {
        if (!E || HasSourceMarker(E->Message())) return;
        FPlace = {true, ALine, APos, E->Message()};
        E->SetMessage(plat::Format(u"%s\r\nSource: %s [line: %d, pos: %d]", E->Message(),
                                   UString::FromUtf8(FSourceName), ALine, APos));
    };
    return machine;
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
