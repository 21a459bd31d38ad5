#include "platform/ole/HResult.h"

#include <cstdio>

namespace xan::plat {

namespace {

struct CodeText {
    HRESULT code;
    const char16_t* text;
};

// The operating system's standard texts for the codes the engine meets.
constexpr CodeText kTexts[] = {
    {S_OK, u"The operation completed successfully."},
    {S_FALSE, u"Incorrect function."},
    {E_NOTIMPL, u"Not implemented"},
    {E_NOINTERFACE, u"No such interface supported"},
    {E_POINTER, u"Invalid pointer"},
    {E_ABORT, u"Operation aborted"},
    {E_FAIL, u"Unspecified error"},
    {E_UNEXPECTED, u"Catastrophic failure"},
    {E_ACCESSDENIED, u"Access is denied."},
    {E_HANDLE, u"The handle is invalid."},
    {E_OUTOFMEMORY, u"Not enough memory resources are available to complete this operation."},
    {E_INVALIDARG, u"The parameter is incorrect."},
    {DISP_E_UNKNOWNINTERFACE, u"Unknown interface."},
    {DISP_E_MEMBERNOTFOUND, u"Member not found."},
    {DISP_E_PARAMNOTFOUND, u"Parameter not found."},
    {DISP_E_TYPEMISMATCH, u"Type mismatch."},
    {DISP_E_UNKNOWNNAME, u"Unknown name."},
    {DISP_E_NONAMEDARGS, u"No named arguments."},
    {DISP_E_BADVARTYPE, u"Bad variable type."},
    {DISP_E_EXCEPTION, u"Exception occurred."},
    {DISP_E_OVERFLOW, u"Out of present range."},
    {DISP_E_BADINDEX, u"Invalid index."},
    {DISP_E_UNKNOWNLCID, u"Unknown language."},
    {DISP_E_ARRAYISLOCKED, u"Memory is locked."},
    {DISP_E_BADPARAMCOUNT, u"Invalid number of parameters."},
    {DISP_E_PARAMNOTOPTIONAL, u"Parameter not optional."},
    {DISP_E_BADCALLEE, u"Invalid callee."},
    {DISP_E_NOTACOLLECTION, u"Does not support a collection."},
    {DISP_E_DIVBYZERO, u"Division by zero."},
    {TYPE_E_ELEMENTNOTFOUND, u"Element not found."},
    {TYPE_E_TYPEMISMATCH, u"Type mismatch."},
    {CLASS_E_NOAGGREGATION, u"Class does not support aggregation (or class object is remote)"},
    {CLASS_E_CLASSNOTAVAILABLE, u"ClassFactory cannot supply requested class"},
    {REGDB_E_CLASSNOTREG, u"Class not registered"},
    {MK_E_UNAVAILABLE, u"Operation unavailable"},
    {CO_E_CLASSSTRING, u"Invalid class string"},
};

}  // namespace

UString SysErrorText(HRESULT code) {
    for (const CodeText& t : kTexts)
        if (t.code == code) return UString(t.text);
    return UString();
}

UString OleErrorText(HRESULT code) {
    UString text = SysErrorText(code);
    if (!text.empty()) return text;
    char buf[32];
    std::snprintf(buf, sizeof buf, "OLE error %.8X", static_cast<unsigned>(static_cast<std::uint32_t>(code)));
    return UString::FromLatin1(buf);
}

}  // namespace xan::plat
