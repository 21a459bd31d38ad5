#include "components/ExceptionsUnit.h"

#include <type_traits>

#include "components/ScriptTypes.h"
#include "platform/core/Exception.h"
#include "platform/ole/OleError.h"
#include "vm/interp/VMErrors.h"
#include "vm/machine/VirtMachine.h"
#include "wrappers/SystemWrappers.h"

namespace xan {

namespace {

using plat::UString;

// The class wrapper of one exception class E whose parent class is wrapped by ParentSw.
template <class E, class ParentSw>
struct TExceptionSw : TXANClassWrapperT<TExceptionSw<E, ParentSw>, E, ParentSw> {
    static void AddMembers(TXANClassMembers<E>& m) {
        if constexpr (std::is_same_v<E, plat::Exception>)
            m.Property(u"Message", [](plat::Exception& e) { return e.Message(); },
                       [](plat::Exception& e, const UString& text) { e.SetMessage(text); });
        if constexpr (std::is_constructible_v<E, UString>) m.template Constructor<UString>();
    }
};

using Exception_sw = TExceptionSw<plat::Exception, TObject_sw>;
using EAbort_sw = TExceptionSw<plat::EAbort, Exception_sw>;
using EOutOfMemory_sw = TExceptionSw<plat::EOutOfMemory, Exception_sw>;
using EConvertError_sw = TExceptionSw<plat::EConvertError, Exception_sw>;
using EAssertionFailed_sw = TExceptionSw<plat::EAssertionFailed, Exception_sw>;
using EListError_sw = TExceptionSw<plat::EListError, Exception_sw>;
using EStackOverflow_sw = TExceptionSw<plat::EStackOverflow, Exception_sw>;
using EExternal_sw = TExceptionSw<plat::EExternal, Exception_sw>;
using EIntError_sw = TExceptionSw<plat::EIntError, EExternal_sw>;
using EDivByZero_sw = TExceptionSw<plat::EDivByZero, EIntError_sw>;
using ERangeError_sw = TExceptionSw<plat::ERangeError, EIntError_sw>;
using EIntOverflow_sw = TExceptionSw<plat::EIntOverflow, EIntError_sw>;
using EMathError_sw = TExceptionSw<plat::EMathError, EExternal_sw>;
using EInvalidOp_sw = TExceptionSw<plat::EInvalidOp, EMathError_sw>;
using EZeroDivide_sw = TExceptionSw<plat::EZeroDivide, EMathError_sw>;
using EOverflow_sw = TExceptionSw<plat::EOverflow, EMathError_sw>;
using EUnderflow_sw = TExceptionSw<plat::EUnderflow, EMathError_sw>;
using EVariantError_sw = TExceptionSw<plat::EVariantError, Exception_sw>;
using EVariantTypeCastError_sw = TExceptionSw<plat::EVariantTypeCastError, EVariantError_sw>;
using EVariantInvalidOpError_sw = TExceptionSw<plat::EVariantInvalidOpError, EVariantError_sw>;
using EVariantOverflowError_sw = TExceptionSw<plat::EVariantOverflowError, EVariantError_sw>;
using EVariantInvalidArgError_sw = TExceptionSw<plat::EVariantInvalidArgError, EVariantError_sw>;
using EVariantBadVarTypeError_sw = TExceptionSw<plat::EVariantBadVarTypeError, EVariantError_sw>;
using EVariantBadIndexError_sw = TExceptionSw<plat::EVariantBadIndexError, EVariantError_sw>;
using EVariantNotAnArrayError_sw = TExceptionSw<plat::EVariantNotAnArrayError, EVariantError_sw>;
using EVariantArrayCreateError_sw = TExceptionSw<plat::EVariantArrayCreateError, EVariantError_sw>;
using EVariantArrayLockedError_sw = TExceptionSw<plat::EVariantArrayLockedError, EVariantError_sw>;
using EOSError_sw = TExceptionSw<plat::EOSError, Exception_sw>;
using EInOutError_sw = TExceptionSw<plat::EInOutError, Exception_sw>;
using EOleError_sw = TExceptionSw<plat::EOleError, Exception_sw>;
using EOleSysError_sw = TExceptionSw<plat::EOleSysError, EOleError_sw>;
using EOleException_sw = TExceptionSw<plat::EOleException, EOleSysError_sw>;
using EXANVMRuntime_sw = TExceptionSw<EXANVMRuntime, Exception_sw>;
using EXANVirtMachine_sw = TExceptionSw<EXANVirtMachine, Exception_sw>;
using EXANScriptControl_sw = TExceptionSw<EXANScriptControl, Exception_sw>;

template <class... W>
struct TWrapperList {
    static void Register() { (RegisterClassWrapper(W::Class()), ...); }
    static void AddTypes(TXANUnitMembers& m) { (m.Type(W::Class()), ...); }
};

// Parents before their descendants.
using TAllExceptions =
    TWrapperList<Exception_sw, EAbort_sw, EOutOfMemory_sw, EConvertError_sw, EAssertionFailed_sw, EListError_sw,
                 EStackOverflow_sw, EExternal_sw, EIntError_sw, EDivByZero_sw, ERangeError_sw, EIntOverflow_sw,
                 EMathError_sw, EInvalidOp_sw, EZeroDivide_sw, EOverflow_sw, EUnderflow_sw, EVariantError_sw,
                 EVariantTypeCastError_sw, EVariantInvalidOpError_sw, EVariantOverflowError_sw,
                 EVariantInvalidArgError_sw, EVariantBadVarTypeError_sw, EVariantBadIndexError_sw,
                 EVariantNotAnArrayError_sw, EVariantArrayCreateError_sw, EVariantArrayLockedError_sw, EOSError_sw,
                 EInOutError_sw, EOleError_sw, EOleSysError_sw, EOleException_sw, EXANVMRuntime_sw,
                 EXANVirtMachine_sw, EXANScriptControl_sw>;

}  // namespace

void Exceptions_sw::AddMembers(TXANUnitMembers& m) { TAllExceptions::AddTypes(m); }

void XANRegisterExceptionWrappers() {
    static const bool done = [] {
        TAllExceptions::Register();
        RegisterUnitWrapper(Exceptions_sw::Class());
        return true;
    }();
    (void)done;
}

}  // namespace xan
