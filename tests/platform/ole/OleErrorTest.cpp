// Result codes and their texts, the OLE error classes, SafeCall and OleCheck, GUID text.
#include <gtest/gtest.h>

#include "OleTestSupport.h"
#include "platform/ole/VarErrors.h"

namespace xan::plat {
namespace {

TEST(HResult, DocumentedValues) {
    EXPECT_EQ(static_cast<std::uint32_t>(E_FAIL), 0x80004005u);
    EXPECT_EQ(static_cast<std::uint32_t>(E_INVALIDARG), 0x80070057u);
    EXPECT_EQ(static_cast<std::uint32_t>(DISP_E_UNKNOWNNAME), 0x80020006u);
    EXPECT_EQ(static_cast<std::uint32_t>(DISP_E_MEMBERNOTFOUND), 0x80020003u);
    EXPECT_EQ(static_cast<std::uint32_t>(DISP_E_TYPEMISMATCH), 0x80020005u);
    EXPECT_EQ(static_cast<std::uint32_t>(DISP_E_BADPARAMCOUNT), 0x8002000Eu);
    EXPECT_EQ(static_cast<std::uint32_t>(DISP_E_EXCEPTION), 0x80020009u);
    EXPECT_EQ(static_cast<std::uint32_t>(TYPE_E_ELEMENTNOTFOUND), 0x8002802Bu);
    EXPECT_EQ(static_cast<std::uint32_t>(CO_E_CLASSSTRING), 0x800401F3u);
    EXPECT_EQ(static_cast<std::uint32_t>(MK_E_UNAVAILABLE), 0x800401E3u);
    EXPECT_TRUE(Failed(E_FAIL));
    EXPECT_TRUE(Succeeded(S_FALSE));
}

TEST(HResult, SystemTextsAndTheFallback) {
    EXPECT_EQ(SysErrorText(E_FAIL), u"Unspecified error");
    EXPECT_EQ(SysErrorText(DISP_E_TYPEMISMATCH), u"Type mismatch.");
    EXPECT_EQ(SysErrorText(CO_E_CLASSSTRING), u"Invalid class string");
    EXPECT_EQ(SysErrorText(MK_E_UNAVAILABLE), u"Operation unavailable");
    EXPECT_EQ(SysErrorText(E_NOINTERFACE), u"No such interface supported");
    EXPECT_TRUE(SysErrorText(static_cast<HRESULT>(0x8012ABCDu)).empty());
    EXPECT_EQ(OleErrorText(static_cast<HRESULT>(0x8012ABCDu)), u"OLE error 8012ABCD");
    EXPECT_EQ(OleErrorText(0x42), u"OLE error 00000042");
    EXPECT_EQ(OleErrorText(SCRIPT_E_REPORTED), u"OLE error 80020101");
    EXPECT_EQ(OleErrorText(DISP_E_BADPARAMCOUNT), u"Invalid number of parameters.");
}

TEST(OleError, SysErrorTakesTheSystemTextWhenGivenNone) {
    EOleSysError e(UString(), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(e.Message(), u"Unknown name.");
    EXPECT_EQ(e.ErrorCode, DISP_E_UNKNOWNNAME);
    EOleSysError own(u"custom", E_FAIL);
    EXPECT_EQ(own.Message(), u"custom");
    EXPECT_TRUE(own.Is<EOleError>());
    EXPECT_TRUE(own.Is<Exception>());
    EXPECT_EQ(own.ClassName(), u"EOleSysError");
}

TEST(OleError, OleCheckRaisesOnlyForFailures) {
    EXPECT_NO_THROW(OleCheck(S_OK));
    EXPECT_NO_THROW(OleCheck(S_FALSE));
    std::unique_ptr<Exception> e = test::RaisedBy([] { OleCheck(E_NOTIMPL); });
    ASSERT_TRUE(e && e->Is<EOleSysError>());
    EXPECT_EQ(static_cast<EOleSysError&>(*e).ErrorCode, E_NOTIMPL);
    EXPECT_EQ(e->Message(), u"Not implemented");
}

TEST(OleError, InvokeErrorsBecomeExceptions) {
    EXCEPINFO ei;
    ei.description = u"it broke";
    ei.scode = static_cast<HRESULT>(0x80040001u);
    ei.source = u"Src";
    std::unique_ptr<Exception> e = test::RaisedBy([&] { RaiseInvokeError(DISP_E_EXCEPTION, ei); });
    ASSERT_TRUE(e && e->Is<EOleException>());
    EXPECT_EQ(e->Message(), u"it broke");
    EXPECT_EQ(static_cast<EOleException&>(*e).ErrorCode, static_cast<HRESULT>(0x80040001u));
    // No description: the system text of the scode, or the generic text.
    EXCEPINFO bare;
    bare.scode = static_cast<HRESULT>(0x80040001u);
    e = test::RaisedBy([&] { RaiseInvokeError(DISP_E_EXCEPTION, bare); });
    EXPECT_EQ(e->Message(), u"OLE error 80040001");
    e = test::RaisedBy([&] { RaiseInvokeError(DISP_E_TYPEMISMATCH, bare); });
    ASSERT_TRUE(e && e->Is<EOleSysError>() && !e->Is<EOleException>());
    EXPECT_EQ(e->Message(), u"Type mismatch.");
}

TEST(SafeCall, ExceptionsBecomeCodes) {
    EXPECT_EQ(SafeCall([] {}), S_OK);
    EXPECT_EQ(SafeCall([]() -> HRESULT { return S_FALSE; }), S_FALSE);
    EXPECT_EQ(SafeCall([] { Throw<EOleSysError>(UString(), E_NOTIMPL); }), E_NOTIMPL);
    EXPECT_EQ(SafeCall([] { Throw<Exception>(u"x"); }), E_FAIL);
    EXPECT_EQ(SafeCall([] { throw std::bad_alloc(); }), E_OUTOFMEMORY);
    EXPECT_EQ(SafeCall([] { Throw<EAbort>(u"stop"); }), E_ABORT);
    EXPECT_EQ(SafeCall([] { throw 42; }), E_FAIL);
}

TEST(SafeCall, InvokeFormFillsTheExceptionRecord) {
    EXCEPINFO ei;
    ei.helpFile = u"stale";
    EXPECT_EQ(SafeCallInvoke([] { Throw<Exception>(u"bad"); }, &ei, u"Me."), DISP_E_EXCEPTION);
    EXPECT_EQ(ei.source, u"Me.");
    EXPECT_EQ(ei.description, u"bad");
    EXPECT_EQ(ei.scode, E_FAIL);
    EXPECT_TRUE(ei.helpFile.empty());
    EXPECT_EQ(SafeCallInvoke([] { Throw<EOleException>(u"d", E_ABORT, u"Own", u"h.hlp", 7u); }, &ei, u"Me."),
              DISP_E_EXCEPTION);
    EXPECT_EQ(ei.source, u"Own");
    EXPECT_EQ(ei.scode, E_ABORT);
    EXPECT_EQ(ei.helpFile, u"h.hlp");
    EXPECT_EQ(ei.helpContext, 7u);
    EXPECT_EQ(SafeCallInvoke([] { Throw<EOleSysError>(UString(), DISP_E_BADPARAMCOUNT); }, &ei, u"Me."),
              DISP_E_EXCEPTION);
    EXPECT_EQ(ei.scode, DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(ei.description, u"Invalid number of parameters.");
    EXPECT_EQ(SafeCallInvoke([] { RaiseVarTypeCast(); }, &ei, u"Me."), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(SafeCallInvoke([] { Throw<Exception>(u"no record"); }, nullptr, u"Me."), DISP_E_EXCEPTION);
}

TEST(Guid, TextRoundTrip) {
    EXPECT_EQ(GUIDToString(IID_IDispatch), u"{00020400-0000-0000-C000-000000000046}");
    TGUID g;
    ASSERT_TRUE(TryStringToGUID(u"{e298cc73-406c-418b-a455-e8afc284156c}", g));
    EXPECT_EQ(GUIDToString(g), u"{E298CC73-406C-418B-A455-E8AFC284156C}");
    EXPECT_FALSE(TryStringToGUID(u"E298CC73-406C-418B-A455-E8AFC284156C", g));
    EXPECT_FALSE(TryStringToGUID(u"{E298CC73-406C-418B-A455-E8AFC284156G}", g));
    EXPECT_FALSE(TryStringToGUID(u"{E298CC73+406C-418B-A455-E8AFC284156C}", g));
}

}  // namespace
}  // namespace xan::plat
