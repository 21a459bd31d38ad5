#pragma once
// The OLE error exception classes and the translations between exceptions and result codes.
//
//   EOleError      an automation error without a code
//   EOleSysError   carries ErrorCode; an empty message becomes the system text of the code
//                  (or "OLE error XXXXXXXX" when there is none)
//   EOleException  an exception reported by a dispatch object (DISP_E_EXCEPTION): source,
//                  help file and help context besides the code
//
// Interface methods never let exceptions escape: SafeCall runs a body and answers a code;
// SafeCallInvoke additionally fills EXCEPINFO the way Invoke implementations report errors.
// OleCheck raises for a failed code.
#include <string_view>
#include <type_traits>

#include "platform/core/Exception.h"
#include "platform/ole/ComIntf.h"

namespace xan::plat {

class EOleError : public Exception {
    XAN_CLASS(EOleError, Exception)
    using Exception::Exception;
};

class EOleSysError : public EOleError {
    XAN_CLASS(EOleSysError, EOleError)
    EOleSysError() = default;
    EOleSysError(UString message, HRESULT code);
    HRESULT ErrorCode = 0;
};

class EOleException : public EOleSysError {
    XAN_CLASS(EOleException, EOleSysError)
    EOleException() = default;
    EOleException(UString message, HRESULT code, UString source, UString helpFile, std::uint32_t helpContext);
    UString Source;
    UString HelpFile;
    std::uint32_t HelpContext = 0;
};

// EOleSysError with the system text of `code`.
[[noreturn]] void RaiseOleError(HRESULT code);
inline void OleCheck(HRESULT code) {
    if (Failed(code)) RaiseOleError(code);
}
// The error of a failed Invoke: DISP_E_EXCEPTION becomes EOleException with the record's
// description (or the system text of its scode) and scode; any other code EOleSysError.
[[noreturn]] void RaiseInvokeError(HRESULT code, const EXCEPINFO& excep);
inline void OleCheckInvoke(HRESULT code, const EXCEPINFO& excep) {
    if (Failed(code)) RaiseInvokeError(code, excep);
}

namespace detail {
// Inside a catch block: the code for the exception in flight. Plain form: EOleSysError gives
// its ErrorCode, out-of-memory E_OUTOFMEMORY, EAbort E_ABORT, anything else E_FAIL.
HRESULT CurrentExceptionToHResult() noexcept;
// Invoke form: the type-cast error gives DISP_E_TYPEMISMATCH; anything else fills `excep`
// (when given) with `source` (an EOleException's own source wins), the message, the help
// fields and scode (an EOleSysError's code, else E_FAIL), and gives DISP_E_EXCEPTION.
HRESULT CurrentExceptionToInvokeResult(EXCEPINFO* excep, std::u16string_view source) noexcept;
}  // namespace detail

// Runs `body`; S_OK (or the code `body` returns) on success, the exception's code otherwise.
template <class F>
HRESULT SafeCall(F&& body) noexcept {
    try {
        if constexpr (std::is_same_v<std::invoke_result_t<F>, HRESULT>) {
            return body();
        } else {
            body();
            return S_OK;
        }
    } catch (...) {
        return detail::CurrentExceptionToHResult();
    }
}

template <class F>
HRESULT SafeCallInvoke(F&& body, EXCEPINFO* excep, std::u16string_view source) noexcept {
    try {
        if constexpr (std::is_same_v<std::invoke_result_t<F>, HRESULT>) {
            return body();
        } else {
            body();
            return S_OK;
        }
    } catch (...) {
        return detail::CurrentExceptionToInvokeResult(excep, source);
    }
}

}  // namespace xan::plat
