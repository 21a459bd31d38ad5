#pragma once
// TActiveScriptError: the error record an engine hands its site's OnScriptError.
#include "activescript/ActiveScript.h"
#include "platform/ole/InterfacedObject.h"

namespace xan::as {

class TActiveScriptError : public plat::TInterfacedObject, public IActiveScriptError {
    XAN_CLASS(TActiveScriptError, plat::TInterfacedObject)
    // ALine from 0 (-1 unknown, reported as 0); AColumn from 1 (0 unknown).
    TActiveScriptError(EXCEPINFO AExcep, std::uint64_t AContext, plat::Integer ALine, plat::Integer AColumn,
                       plat::UString ALineText);

    HRESULT GetExceptionInfo(EXCEPINFO* excep) noexcept override;
    HRESULT GetSourcePosition(std::uint64_t* sourceContext, std::uint32_t* line,
                              std::int32_t* charPosition) noexcept override;
    HRESULT GetSourceLineText(plat::UString* text) noexcept override;

protected:
    std::span<const InterfaceEntry> InterfaceTable() const noexcept override;

private:
    EXCEPINFO FExcep;
    std::uint64_t FContext;
    plat::Integer FLine;
    plat::Integer FColumn;
    plat::UString FLineText;
};

}  // namespace xan::as
