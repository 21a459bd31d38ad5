// The automation class registry and the running-object table.
#include <gtest/gtest.h>

#include "OleTestSupport.h"
#include "platform/ole/OleRegistry.h"

namespace xan::plat {
namespace {

using test::TTestDispatch;

ComPtr<IUnknown> NewTestObject() { return ComPtr<IUnknown>(static_cast<IDispatch*>(new TTestDispatch)); }

TEST(OleRegistry, CreateByProgramIdentifierIgnoringCase) {
    RegisterOleClass(u"Velmora.TestObject", NewTestObject);
    ComPtr<IDispatch> a = CreateOleObject(u"velmora.testobject");
    ComPtr<IDispatch> b = CreateOleObject(u"VELMORA.TESTOBJECT");
    ASSERT_TRUE(a);
    ASSERT_TRUE(b);
    EXPECT_NE(a.Get(), b.Get());  // a new object each time
    UnregisterOleClass(u"Velmora.TestObject");
}

TEST(OleRegistry, UnknownIdentifierIsAnInvalidClassString) {
    std::unique_ptr<Exception> e = test::RaisedBy([] { CreateOleObject(u"No.Such.Class"); });
    ASSERT_TRUE(e && e->Is<EOleSysError>());
    EXPECT_EQ(e->Message(), u"Invalid class string");
    EXPECT_EQ(static_cast<EOleSysError&>(*e).ErrorCode, CO_E_CLASSSTRING);
    e = test::RaisedBy([] { GetActiveOleObject(u"No.Such.Class"); });
    ASSERT_TRUE(e && e->Is<EOleSysError>());
    EXPECT_EQ(static_cast<EOleSysError&>(*e).ErrorCode, CO_E_CLASSSTRING);
}

TEST(OleRegistry, FactoryErrorsReachTheCreatorUnchanged) {
    RegisterOleClass(u"Velmora.Failing", []() -> ComPtr<IUnknown> { Throw<Exception>(u"cannot start"); });
    EXPECT_TRUE(test::Raises<Exception>([] { CreateOleObject(u"Velmora.Failing"); }, u"cannot start"));
    TGUID clsid;
    ASSERT_EQ(CLSIDFromProgID(u"Velmora.Failing", clsid), S_OK);
    void* out = nullptr;
    EXPECT_EQ(CoCreateInstance(clsid, IID_IDispatch, &out), E_FAIL);
    EXPECT_EQ(out, nullptr);
    UnregisterOleClass(u"Velmora.Failing");
}

TEST(OleRegistry, ClassIdentifiers) {
    const TGUID clsid{0x12345678, 0x1111, 0x2222, {1, 2, 3, 4, 5, 6, 7, 8}};
    RegisterOleClass(u"Velmora.Fixed", clsid, NewTestObject);
    TGUID found;
    ASSERT_EQ(CLSIDFromProgID(u"velmora.fixed", found), S_OK);
    EXPECT_EQ(found, clsid);
    ComPtr<IDispatch> obj;
    EXPECT_EQ(CoCreateInstance(clsid, IID_IDispatch, obj.PutVoid()), S_OK);
    EXPECT_TRUE(obj);
    EXPECT_EQ(CoCreateInstance(TGUID{1, 2, 3, {}}, IID_IDispatch, obj.PutVoid()), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(CoCreateInstance(clsid, IID_ITypeInfo, obj.PutVoid()), E_NOINTERFACE);
    const TGUID a = RegisterOleClass(u"Velmora.MadeUp1", NewTestObject);
    const TGUID b = RegisterOleClass(u"Velmora.MadeUp2", NewTestObject);
    EXPECT_NE(a, b);
    UnregisterOleClass(u"Velmora.Fixed");
    UnregisterOleClass(u"Velmora.MadeUp1");
    UnregisterOleClass(u"Velmora.MadeUp2");
    EXPECT_EQ(CLSIDFromProgID(u"Velmora.Fixed", found), CO_E_CLASSSTRING);
}

TEST(OleRegistry, RunningObjectsAreRegisteredAndRevoked) {
    const TGUID clsid = RegisterOleClass(u"Velmora.Running", nullptr);
    std::unique_ptr<Exception> e = test::RaisedBy([] { GetActiveOleObject(u"Velmora.Running"); });
    ASSERT_TRUE(e && e->Is<EOleSysError>());
    EXPECT_EQ(static_cast<EOleSysError&>(*e).ErrorCode, MK_E_UNAVAILABLE);
    EXPECT_EQ(e->Message(), u"Operation unavailable");
    // A class without a factory cannot be created.
    e = test::RaisedBy([] { CreateOleObject(u"Velmora.Running"); });
    ASSERT_TRUE(e && e->Is<EOleSysError>());
    EXPECT_EQ(static_cast<EOleSysError&>(*e).ErrorCode, CLASS_E_CLASSNOTAVAILABLE);

    ComPtr<TTestDispatch> obj(new TTestDispatch);
    const std::uint32_t cookie = RegisterActiveObject(static_cast<IDispatch*>(obj.Get()), clsid);
    EXPECT_EQ(obj->RefCount(), 2);
    ComPtr<IDispatch> found = GetActiveOleObject(u"velmora.running");
    EXPECT_EQ(found.Get(), static_cast<IDispatch*>(obj.Get()));
    found = nullptr;
    RevokeActiveObject(cookie);
    EXPECT_EQ(obj->RefCount(), 1);
    RevokeActiveObject(cookie);  // twice is harmless
    e = test::RaisedBy([] { GetActiveOleObject(u"Velmora.Running"); });
    ASSERT_TRUE(e && e->Is<EOleSysError>());
    EXPECT_EQ(static_cast<EOleSysError&>(*e).ErrorCode, MK_E_UNAVAILABLE);
    UnregisterOleClass(u"Velmora.Running");
}

}  // namespace
}  // namespace xan::plat
