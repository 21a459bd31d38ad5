#include "vm/interp/VMErrors.h"

#include <array>
#include <cstdio>

namespace xan {

void RaiseVMShouldBeNotInitialized() { plat::Throw<EXANVirtMachine>(SVMShouldBeNotInitialized); }
void RaiseVMShouldBeInitialized() { plat::Throw<EXANVirtMachine>(SVMShouldBeInitialized); }
void RaiseVMShouldBeActive() { plat::Throw<EXANVirtMachine>(SVMShouldBeActive); }

namespace {

constexpr std::array<const char16_t*, retIENoBreakpointInfo + 1> RuntimeMessages = {
    u"Undeclared identifier: '%s'",
    u"BREAK or CONTINUE outside of loop",
    u"Cannot BREAK, CONTINUE or EXIT out of a FINALLY clause",
    u"Invalid assignment",
    u"Invalid argument count",
    u"Invalid type cast or type mismatch",
    u"Object required but nil found",
    u"For loop control variable must be simple local variable",
    u"Cannot raise nil exception",
    u"Cannot raise locked exception",
    u"Low can be applied only to an array",
    u"High can be applied only to an array",
    u"Constant expression violates subrange bounds",
    u"Invalid DispId",
    u"Procedural type required.",
    u"Variable or constant required.",
    u"Script execution has been aborted.",
    u"Internal error: Invalid object kind",
    u"Internal error: Invalid bracket type",
    u"Internal error: Invalid instruction code",
    u"Internal error: No breakpoint info found",
};

constexpr const char16_t* UnknownKindMessage = u"Internal error: Invalid exception type";

// Replaces the first "%s" of a fixed message; messages without one are returned unchanged.
plat::UString SubstituteName(const plat::UString& message, const plat::UString& name) {
    const std::int32_t at = message.Find(u"%s");
    if (at < 0) return message;
    return message.Substr(0, at) + name + message.Substr(at + 2);
}

}  // namespace

plat::UString EXANVMRuntime::MessageOf(TXANRuntimeErrorType AErrorType) {
    if (AErrorType < 0 || static_cast<std::size_t>(AErrorType) >= RuntimeMessages.size())
        return UnknownKindMessage;
    return RuntimeMessages[static_cast<std::size_t>(AErrorType)];
}

void EXANVMRuntime::RaiseError(TXANRuntimeErrorType AErrorType) {
    plat::Throw<EXANVMRuntime>(MessageOf(AErrorType));
}

void EXANVMRuntime::RaiseError(TXANRuntimeErrorType AErrorType, const plat::UString& AStrName) {
    plat::Throw<EXANVMRuntime>(SubstituteName(MessageOf(AErrorType), AStrName));
}

plat::UString EXANVMRuntime::MessageOf(plat::HRESULT AInvokeRes, const plat::EXCEPINFO& EInfo) {
    plat::HRESULT code = AInvokeRes;
    plat::UString text;
    if (AInvokeRes == plat::DISP_E_TYPEMISMATCH) {
        text = MessageOf(retTypeMismatch);
    } else if (AInvokeRes == plat::DISP_E_EXCEPTION) {
        text = EInfo.description;
        code = EInfo.scode;
    } else if (AInvokeRes == plat::DISP_E_BADPARAMCOUNT) {
        text = MessageOf(retInvalidParamCount);
    }
    if (text.empty()) text = plat::SysErrorText(code);
    if (text.empty()) {
        char hex[9];
        std::snprintf(hex, sizeof hex, "%.8X", static_cast<unsigned>(code));
        text = plat::UString(u"OLE error ") + plat::UString::FromLatin1(hex);
    }
    return text;
}

void EXANVMRuntime::RaiseError(plat::HRESULT AInvokeRes, plat::EXCEPINFO& EInfo, bool AFinalizeEInfo) {
    plat::UString text = MessageOf(AInvokeRes, EInfo);
    if (AFinalizeEInfo) EInfo.Clear();
    plat::Throw<EXANVMRuntime>(std::move(text));
}

}  // namespace xan
