#include "platform/ole/OleError.h"

#include <memory>

namespace xan::plat {

EOleSysError::EOleSysError(UString message, HRESULT code)
    : EOleError(message.empty() ? OleErrorText(code) : std::move(message)), ErrorCode(code) {}

EOleException::EOleException(UString message, HRESULT code, UString source, UString helpFile,
                             std::uint32_t helpContext)
    : EOleSysError(std::move(message), code),
      Source(std::move(source)),
      HelpFile(std::move(helpFile)),
      HelpContext(helpContext) {}

void RaiseOleError(HRESULT code) { Throw<EOleSysError>(UString(), code); }

void RaiseInvokeError(HRESULT code, const EXCEPINFO& excep) {
    if (code != DISP_E_EXCEPTION) RaiseOleError(code);
    const HRESULT scode = excep.scode ? excep.scode : DISP_E_EXCEPTION;
    Throw<EOleException>(excep.description, scode, excep.source, excep.helpFile, excep.helpContext);
}

namespace detail {

HRESULT CurrentExceptionToHResult() noexcept {
    try {
        std::unique_ptr<Exception> e(TranslateCurrentException());
        if (e->InheritsFrom(EOleSysError::StaticClass())) {
            const HRESULT code = static_cast<EOleSysError&>(*e).ErrorCode;
            return Failed(code) ? code : E_FAIL;
        }
        if (e->InheritsFrom(EOutOfMemory::StaticClass())) return E_OUTOFMEMORY;
        if (e->InheritsFrom(EAbort::StaticClass())) return E_ABORT;
        return E_FAIL;
    } catch (...) {
        return E_OUTOFMEMORY;  // translating failed: only an allocation can do that
    }
}

HRESULT CurrentExceptionToInvokeResult(EXCEPINFO* excep, std::u16string_view source) noexcept {
    try {
        std::unique_ptr<Exception> e(TranslateCurrentException());
        if (e->InheritsFrom(EVariantTypeCastError::StaticClass())) return DISP_E_TYPEMISMATCH;
        if (excep) {
            excep->Clear();
            excep->source = UString(source);
            excep->description = e->Message();
            excep->scode = E_FAIL;
            if (e->InheritsFrom(EOleSysError::StaticClass())) {
                const HRESULT code = static_cast<EOleSysError&>(*e).ErrorCode;
                if (Failed(code)) excep->scode = code;
            }
            if (e->InheritsFrom(EOleException::StaticClass())) {
                auto& oe = static_cast<EOleException&>(*e);
                if (!oe.Source.empty()) excep->source = oe.Source;
                excep->helpFile = oe.HelpFile;
                excep->helpContext = oe.HelpContext;
            }
        }
        return DISP_E_EXCEPTION;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

}  // namespace detail

}  // namespace xan::plat
