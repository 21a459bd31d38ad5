#include "activescript/ScriptError.h"

namespace xan::as {

TActiveScriptError::TActiveScriptError(EXCEPINFO AExcep, std::uint64_t AContext, plat::Integer ALine,
                                       plat::Integer AColumn, plat::UString ALineText)
    : FExcep(std::move(AExcep)), FContext(AContext), FLine(ALine < 0 ? 0 : ALine), FColumn(AColumn),
      FLineText(std::move(ALineText)) {}

std::span<const plat::TInterfacedObject::InterfaceEntry> TActiveScriptError::InterfaceTable() const noexcept {
    static const InterfaceEntry table[] = {Entry<TActiveScriptError, IActiveScriptError>()};
    return table;
}

HRESULT TActiveScriptError::GetExceptionInfo(EXCEPINFO* excep) noexcept {
    if (!excep) return plat::E_POINTER;
    *excep = FExcep;
    return plat::S_OK;
}

HRESULT TActiveScriptError::GetSourcePosition(std::uint64_t* sourceContext, std::uint32_t* line,
                                              std::int32_t* charPosition) noexcept {
    if (sourceContext) *sourceContext = FContext;
    if (line) *line = static_cast<std::uint32_t>(FLine);
    if (charPosition) *charPosition = FColumn;
    return plat::S_OK;
}

HRESULT TActiveScriptError::GetSourceLineText(plat::UString* text) noexcept {
    if (!text) return plat::E_POINTER;
    *text = FLineText;
    return FLineText.empty() ? plat::E_FAIL : plat::S_OK;
}

}  // namespace xan::as
