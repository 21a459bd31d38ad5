#include "tools/velmora/DebugTarget.h"

#include <cstdint>

namespace xan::cli {

using plat::Integer;
using plat::UString;

TDebugTarget::TDebugTarget(ScriptLanguage ALanguage, std::ostream& AOut, std::ostream& AErr, bool ASynchBreaks)
    : FSession(ALanguage, AOut, AErr) {
    FDebugger.SetIsSynchBreaks(ASynchBreaks);
}

bool TDebugTarget::Load(const std::string& AName, const UString& ASource) {
    FName = AName;
    TXANScriptControl& control = Control();
    FSession.SetSourceName(AName);
    control.SetDebugger(&FDebugger);
    control.SetDebugName(UString::FromUtf8(AName));
    FModule = control.DebugModule();
    control.Source().SetText(ASource.view());
    FLines.clear();
    for (Integer i = 0; i < control.Source().Count(); ++i) FLines.push_back(control.Source().Get(i).ToUtf8());
    return FSession.Guard([&] { control.Prepare(); });
}

std::string TDebugTarget::SourceLine(Integer ALine) const {
    if (ALine < 0 || ALine >= LineCount()) return {};
    std::string text = FLines[static_cast<std::size_t>(ALine)];
    if (!text.empty() && text.back() == '\r') text.pop_back();
    return text;
}

TXANBreakpoint* TDebugTarget::SetBreakpoint(int ALine) {
    TXANBreakpoint* bp = FDebugger.SetBreakpoint(FModule, ALine - 1);
    if (!bp->Data()) bp->SetData(reinterpret_cast<void*>(static_cast<std::intptr_t>(FNextNumber++)));
    return bp;
}

int TDebugTarget::NumberOf(const TXANBreakpoint* ABreakpoint) const {
    return ABreakpoint ? static_cast<int>(reinterpret_cast<std::intptr_t>(ABreakpoint->Data())) : 0;
}

TXANBreakpoint* TDebugTarget::ByNumber(int ANumber) const {
    for (Integer i = 0; i < FDebugger.BreakpointCount(); ++i)
        if (NumberOf(FDebugger.Breakpoints(i)) == ANumber) return FDebugger.Breakpoints(i);
    return nullptr;
}

std::string VariableText(const TXANVariable& AVariable) {
    return AVariable.Name().ToUtf8() + ": " + AVariable.Type_().ToUtf8() + " = " + AVariable.Value().ToUtf8();
}

bool IsEvalError(const TXANVariable& AVariable) { return AVariable.Type_() == u"Error"; }

std::string FirstLine(const UString& AMessage) {
    std::string text = AMessage.ToUtf8();
    return text.substr(0, text.find_first_of("\r\n"));
}

}  // namespace xan::cli
