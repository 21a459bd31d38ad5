#pragma once
// The two error classes of the virtual machine.
//
// EXANVirtMachine reports misuse of the machine by its host (wrong lifecycle state) with one of
// three fixed texts. EXANVMRuntime reports errors of running script code; every kind has one
// fixed message so hosts and tests can rely on the text.
#include <cstdint>

#include "platform/core/Exception.h"
#include "platform/ole/ComIntf.h"

namespace xan {

class EXANVirtMachine : public plat::Exception {
    XAN_CLASS(EXANVirtMachine, plat::Exception)
    using Exception::Exception;
};

inline constexpr const char16_t* SVMShouldBeNotInitialized = u"Virtual machine should be not initialized.";
inline constexpr const char16_t* SVMShouldBeInitialized = u"Virtual machine should be initialized.";
inline constexpr const char16_t* SVMShouldBeActive = u"Virtual machine should be active.";
inline constexpr const char16_t* SVMCannotCloseFromOwnCode = u"Virtual machine cannot be closed by its own running code.";

[[noreturn]] void RaiseVMShouldBeNotInitialized();
[[noreturn]] void RaiseVMShouldBeInitialized();
[[noreturn]] void RaiseVMShouldBeActive();

enum TXANRuntimeErrorType : std::int32_t {
    retUndeclaredId,
    retOutsideOfLoop,
    retEBCFromFinally,
    retCannotAssign,
    retInvalidParamCount,
    retTypeMismatch,
    retObjectRequired,
    retLoopVar,
    retCannotRaiseNil,
    retCannotRaiseLocked,
    retLowOnlyArray,
    retHighOnlyArray,
    retViolatesBounds,
    retInvalidDispId,
    retProcRequired,
    retValObjRequired,
    retAborted,
    retIEInvalidObjKind,
    retIEInvalidBracketType,
    retIEInvalidInstr,
    retIENoBreakpointInfo,
};

class EXANVMRuntime : public plat::Exception {
    XAN_CLASS(EXANVMRuntime, plat::Exception)
    using Exception::Exception;

    // The fixed message of a kind; "%s" in it stands for a name.
    static plat::UString MessageOf(TXANRuntimeErrorType AErrorType);

    [[noreturn]] static void RaiseError(TXANRuntimeErrorType AErrorType);
    // The message formatted with a name (used for undeclared identifiers).
    [[noreturn]] static void RaiseError(TXANRuntimeErrorType AErrorType, const plat::UString& AStrName);
    // A failed dispatch call: the type-mismatch and argument-count codes give those kinds'
    // messages, an exception gives its description (and its scode as the code); without a
    // text, the system text of the code, else "OLE error XXXXXXXX". AFinalizeEInfo releases
    // the exception record's strings.
    [[noreturn]] static void RaiseError(plat::HRESULT AInvokeRes, plat::EXCEPINFO& EInfo, bool AFinalizeEInfo);
    static plat::UString MessageOf(plat::HRESULT AInvokeRes, const plat::EXCEPINFO& EInfo);
};

}  // namespace xan
